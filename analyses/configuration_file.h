// A configuration file written beside its target and put in its place only when it is
// complete: Close renames it over the target, so a failed save never leaves a
// half-written file and an older configuration survives any failure.
#pragma once

#include "platform/afx.h"

class CConfigurationFile : public CStdioFile {
public:
    CConfigurationFile() = default;
    // An open file that was never closed is discarded.
    ~CConfigurationFile() override;

    // Opens a temporary file beside target for writing as text.
    BOOL OpenForReplace(const CString& target, CFileException* error = nullptr);
    // Closes the temporary file and renames it over the target. Throws CFileException on
    // failure, after removing the temporary file.
    void Close() override;
    // Closes and removes the temporary file; the target is left as it was.
    void Discard();

    CString GetTargetPath() const { return m_strTarget; }

private:
    CString m_strTarget;
    CString m_strTemporary;
};
