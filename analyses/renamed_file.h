// A file written under a temporary name beside its target and renamed over the target once
// complete: a failed write never leaves a half-written file, and an older file of that name
// survives any failure. The temporary file is created new, so a symbolic link lying in the
// folder is never written through; the rename replaces a link at the target itself.
#pragma once

#include "platform/afx.h"

class CRenamedFile : public CStdioFile {
public:
    CRenamedFile() = default;
    // An open file that was never closed is discarded.
    ~CRenamedFile() override;

    // Opens a new temporary file beside target for writing, as text unless type is
    // typeBinary.
    BOOL OpenForReplace(const CString& target, UINT type = typeText, CFileException* error = nullptr);
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
