// CFile, CStdioFile and CArchive with the class library's semantics. CStdioFile in text
// mode writes "\n" as "\r\n" and reads "\r\n" back as "\n", as on the original platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/core/cstring.h"

using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;

class CFileException : public std::exception {
public:
    enum {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(int cause = none, int osError = 0, const char* fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // The cause of a failed system call, from errno.
    static int CauseFromErrno(int error);

    // A readable message naming the file.
    CString GetErrorMessage() const;
    BOOL GetErrorMessage(char* buffer, UINT max) const;
    const char* what() const noexcept override;

    int m_cause;
    int m_lOsError;
    CString m_strFileName;

private:
    mutable std::string m_what;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        // With modeCreate: a new file only. A name already taken, by a symbolic link too,
        // refuses the open (EEXIST), so nothing is written through a link.
        modeCreateNew = 0x10000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once; throws CFileException on failure.
    CFile(const char* fileName, UINT flags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(const char* fileName, UINT flags, CFileException* error = nullptr);
    virtual void Close();
    void Abort();  // closes without reporting errors
    virtual UINT Read(void* buffer, UINT count);
    // Reads up to count bytes from position on, as they stand, without moving the file's
    // position; several threads may read at once. Fewer only at the end of the file; throws
    // CFileException when the file cannot be read so (a pipe).
    UINT ReadAt(ULONGLONG position, void* buffer, UINT count) const;
    virtual void Write(const void* buffer, UINT count);  // throws on failure
    void Flush();
    ULONGLONG GetLength() const;
    ULONGLONG GetPosition() const;
    ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;
    CString GetFileTitle() const;
    BOOL IsOpen() const { return m_stream != nullptr; }

protected:
    void ThrowFromErrno(int error) const;

    std::FILE* m_stream = nullptr;
    CString m_strFileName;
    UINT m_flags = 0;
};

class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    CStdioFile(const char* fileName, UINT flags);

    BOOL Open(const char* fileName, UINT flags, CFileException* error = nullptr) override;

    // Writes a text; in text mode each "\n" becomes "\r\n". Throws on failure.
    virtual void WriteString(const char* text);
    // Reads one line into text without its line end; FALSE at the end of the file.
    virtual BOOL ReadString(CString& text);
    // Reads at most max - 1 characters of one line, keeping the "\n" (like fgets);
    // nullptr at the end of the file.
    virtual char* ReadString(char* buffer, UINT max);

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;

    BOOL IsTextMode() const { return (m_flags & typeBinary) == 0; }

private:
    int GetChar();  // the next character, with "\r\n" folded to "\n" in text mode; EOF at the end
};

// A file written in place of another. The bytes go to a temporary file beside the real
// target (symbolic links are followed to it, unless replaceLinks asks for a link at the
// target to be replaced itself), which takes the old file's permission bits, and its owner
// and group where the process may set them; Commit then puts it in place of the old file in
// one step. Until then the old file is untouched, and an abandoned write leaves no
// temporary file behind.
class CReplacingFile : public CStdioFile {
public:
    // An option of OpenReplacing: a symbolic link at the target is replaced by the new
    // file, never written through (a folder shared with others may hold links put there).
    static constexpr UINT replaceLinks = 0x20000;

    CReplacingFile() = default;
    ~CReplacingFile() override;

    // Starts writing in place of target: binary, or text with typeText (WriteString then
    // writes "\n" as "\r\n"); options may add replaceLinks. A target that exists but is
    // not a regular file, or that may not be written (read-only), is refused with
    // accessDenied.
    BOOL OpenReplacing(const char* target, CFileException* error = nullptr, UINT options = typeBinary);
    // Puts the written file in place of the target; throws CFileException naming it.
    void Commit();
    // Gives up the write: the temporary file goes, the target stays as it was.
    void Abandon();

private:
    std::string m_real;   // the file that the target's links lead to (system form)
    std::string m_temp;   // the temporary file beside it (system form)
};

namespace afx {
// For tests: file writes fail (as on a full disk) once this many more bytes have been
// written; a negative value turns the fault off.
void FailFileWritesAfter(long long bytes);
}  // namespace afx

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_mode & load) != 0; }
    BOOL IsStoring() const { return (m_mode & load) == 0; }
    CFile* GetFile() const { return m_file; }

    // Writes the bytes of a text as they stand.
    void WriteString(const char* text);
    // Reads one line without its "\n" or "\r\n"; FALSE at the end of the file.
    BOOL ReadString(CString& text);
    // The same into a string whose storage is kept from line to line (long files).
    BOOL ReadLine(std::string& line);
    char* ReadString(char* buffer, UINT max);
    // Reads up to count bytes as they stand; fewer only at the end of the file.
    UINT Read(void* buffer, UINT count);
    // Loading: drops the bytes read ahead and moves the file back to the first byte not yet
    // given, so that the file itself can be read on from there. FALSE, with nothing
    // changed, when the file cannot move back.
    BOOL ReleaseFile();

    void Flush();
    void Close();
    void Abort();

private:
    bool FillBuffer();

    CFile* m_file;
    UINT m_mode;
    std::vector<char> m_buffer;
    size_t m_pos = 0;
    size_t m_len = 0;
    bool m_closed = false;
};
