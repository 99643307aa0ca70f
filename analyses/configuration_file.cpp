#include "analyses/configuration_file.h"

#include <cerrno>

CConfigurationFile::~CConfigurationFile() { Discard(); }

BOOL CConfigurationFile::OpenForReplace(const CString& target, CFileException* error) {
    Discard();
    m_strTarget = target;
    m_strTemporary = target + ".part";
    return CStdioFile::Open(m_strTemporary, modeCreate | modeWrite | typeText, error);
}

void CConfigurationFile::Close() {
    if (!IsOpen()) return;
    try {
        CStdioFile::Close();
    } catch (CFileException&) {
        afx::RemoveFile(m_strTemporary);
        m_strTemporary.Empty();
        throw;
    }
    int err = 0;
    if (!afx::RenameOver(m_strTemporary, m_strTarget, &err)) {
        afx::RemoveFile(m_strTemporary);
        m_strTemporary.Empty();
        throw CFileException(CFileException::CauseFromErrno(err), err, m_strTarget);
    }
    m_strTemporary.Empty();
}

void CConfigurationFile::Discard() {
    if (IsOpen()) Abort();
    if (!m_strTemporary.IsEmpty()) afx::RemoveFile(m_strTemporary);
    m_strTemporary.Empty();
}
