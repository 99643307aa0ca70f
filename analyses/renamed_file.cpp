#include "analyses/renamed_file.h"

#include <unistd.h>

#include <cerrno>

CRenamedFile::~CRenamedFile() { Discard(); }

BOOL CRenamedFile::OpenForReplace(const CString& target, UINT type, CFileException* error) {
    Discard();
    m_strTarget = target;
    static unsigned counter = 0;
    // A name that is taken (an earlier run's leftover, or a link put there) is passed over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        CString temporary = FormatString("%s.~%d-%u", target.GetString(), static_cast<int>(getpid()), counter++);
        CFileException e;
        if (CStdioFile::Open(temporary, modeCreate | modeCreateNew | modeWrite | type, &e)) {
            m_strTemporary = temporary;
            return TRUE;
        }
        if (e.m_lOsError != EEXIST) {
            if (error) *error = e;
            return FALSE;
        }
    }
    if (error) *error = CFileException(CFileException::CauseFromErrno(EEXIST), EEXIST, target);
    return FALSE;
}

void CRenamedFile::Close() {
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

void CRenamedFile::Discard() {
    if (IsOpen()) Abort();
    if (!m_strTemporary.IsEmpty()) afx::RemoveFile(m_strTemporary);
    m_strTemporary.Empty();
}
