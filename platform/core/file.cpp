#include "platform/core/file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/paths.h"

int CFileException::CauseFromErrno(int error) {
    switch (error) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case ENOSPC:
    case EDQUOT: return diskFull;
    case EIO: return hardIO;
    case ESPIPE: return badSeek;
    case ETXTBSY:
    case EBUSY: return sharingViolation;
    default: return genericException;
    }
}

CString CFileException::GetErrorMessage() const {
    const char* name = m_strFileName.IsEmpty() ? "um ficheiro sem nome" : m_strFileName.GetString();
    switch (m_cause) {
    case none: return "Não ocorreu nenhum erro.";
    case fileNotFound: return FormatString("%s não foi encontrado.", name);
    case badPath: return FormatString("%s tem um caminho inválido.", name);
    case tooManyOpenFiles: return FormatString("Não foi possível abrir %s porque há demasiados ficheiros abertos.", name);
    case accessDenied: return FormatString("O acesso a %s foi negado.", name);
    case invalidFile: return FormatString("Foi associado a %s um identificador de ficheiro inválido.", name);
    case directoryFull: return FormatString("Não foi possível criar %s porque a pasta está cheia.", name);
    case badSeek: return FormatString("Falhou o posicionamento em %s.", name);
    case hardIO: return FormatString("Houve um erro do dispositivo ao aceder a %s.", name);
    case sharingViolation: return FormatString("Houve uma violação de partilha ao aceder a %s.", name);
    case diskFull: return FormatString("Não há espaço suficiente no disco para %s.", name);
    case endOfFile: return FormatString("Houve uma tentativa de aceder a %s para além do fim.", name);
    default: return FormatString("Houve um erro inesperado ao aceder a %s.", name);
    }
}

BOOL CFileException::GetErrorMessage(char* buffer, UINT max) const {
    if (!buffer || max == 0) return FALSE;
    CString m = GetErrorMessage();
    std::snprintf(buffer, max, "%s", m.GetString());
    return TRUE;
}

const char* CFileException::what() const noexcept {
    m_what = GetErrorMessage().str();
    return m_what.c_str();
}

CFile::CFile(const char* fileName, UINT flags) {
    CFileException e;
    if (!Open(fileName, flags, &e)) throw e;
}

CFile::~CFile() {
    if (m_stream) std::fclose(m_stream);
}

BOOL CFile::Open(const char* fileName, UINT flags, CFileException* error) {
    if (m_stream) Close();
    m_strFileName = fileName;
    m_flags = flags;
    const char* mode;
    UINT access = flags & 3;
    bool create = (flags & modeCreate) != 0;
    bool keep = (flags & modeNoTruncate) != 0;
    std::string native = afx::NativePath(fileName);
    if (access == modeRead) {
        // Opened without waiting, so that a named pipe or a device cannot hold the program:
        // only a regular file is read (a folder opens on this system; the original refuses it).
        errno = 0;
        int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        int err = fd < 0 ? errno : 0;
        struct stat st {};
        if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            err = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
            ::close(fd);
            fd = -1;
        }
        if (fd >= 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            m_stream = fdopen(fd, "rb");
            if (!m_stream) {
                err = errno;
                ::close(fd);
            }
        }
        if (!m_stream) {
            if (error) {
                error->m_cause = CFileException::CauseFromErrno(err);
                error->m_lOsError = err;
                error->m_strFileName = fileName;
            }
            return FALSE;
        }
        return TRUE;
    } else if (create && (flags & modeCreateNew)) {
        errno = 0;
        int fd = ::open(native.c_str(), (access == modeWrite ? O_WRONLY : O_RDWR) | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        int err = fd < 0 ? errno : 0;
        if (fd >= 0) {
            m_stream = fdopen(fd, access == modeWrite ? "wb" : "w+b");
            if (!m_stream) {
                err = errno;
                ::close(fd);
                unlink(native.c_str());
            }
        }
        if (!m_stream && error) {
            error->m_cause = CFileException::CauseFromErrno(err);
            error->m_lOsError = err;
            error->m_strFileName = fileName;
        }
        return m_stream ? TRUE : FALSE;
    } else if (create && !keep) {
        mode = access == modeWrite ? "wb" : "w+b";
    } else {
        // Existing content kept: open for update, creating the file first when asked.
        if (create && !afx::PathExists(fileName)) {
            std::FILE* f = std::fopen(native.c_str(), "wb");
            if (f) std::fclose(f);
        }
        mode = "r+b";
    }
    errno = 0;
    m_stream = std::fopen(native.c_str(), mode);
    if (!m_stream) {
        int err = errno;
        if (error) {
            error->m_cause = CFileException::CauseFromErrno(err);
            error->m_lOsError = err;
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    // A folder cannot be written, but keep the original's refusal explicit.
    struct stat st;
    if (fstat(fileno(m_stream), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(m_stream);
        m_stream = nullptr;
        if (error) {
            error->m_cause = CFileException::accessDenied;
            error->m_lOsError = EISDIR;
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    return TRUE;
}

void CFile::ThrowFromErrno(int error) const {
    throw CFileException(CFileException::CauseFromErrno(error), error, m_strFileName);
}

void CFile::Close() {
    if (!m_stream) return;
    std::FILE* f = m_stream;
    m_stream = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) ThrowFromErrno(errno ? errno : EIO);
}

void CFile::Abort() {
    if (m_stream) std::fclose(m_stream);
    m_stream = nullptr;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!m_stream) ThrowFromErrno(EBADF);
    size_t n = std::fread(buffer, 1, count, m_stream);
    if (n < count && std::ferror(m_stream)) ThrowFromErrno(errno ? errno : EIO);
    return static_cast<UINT>(n);
}

UINT CFile::ReadAt(ULONGLONG position, void* buffer, UINT count) const {
    if (!m_stream) ThrowFromErrno(EBADF);
    const int fd = fileno(m_stream);
    char* out = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = pread(fd, out + done, count - done, static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowFromErrno(errno);
        if (n == 0) break;
        done += static_cast<UINT>(n);
    }
    return done;
}

namespace {
long long g_writeBudget = -1;
}

void afx::FailFileWritesAfter(long long bytes) { g_writeBudget = bytes; }

void CFile::Write(const void* buffer, UINT count) {
    if (!m_stream) ThrowFromErrno(EBADF);
    if (count == 0) return;
    if (g_writeBudget >= 0) {
        if (static_cast<long long>(count) > g_writeBudget) {
            g_writeBudget = 0;
            ThrowFromErrno(ENOSPC);
        }
        g_writeBudget -= count;
    }
    errno = 0;
    if (std::fwrite(buffer, 1, count, m_stream) != count) ThrowFromErrno(errno ? errno : EIO);
}

void CFile::Flush() {
    if (m_stream && std::fflush(m_stream) != 0) ThrowFromErrno(errno ? errno : EIO);
}

ULONGLONG CFile::GetLength() const {
    if (!m_stream) return 0;
    std::fflush(m_stream);
    struct stat st;
    if (fstat(fileno(m_stream), &st) != 0) return 0;
    return static_cast<ULONGLONG>(st.st_size);
}

ULONGLONG CFile::GetPosition() const {
    if (!m_stream) return 0;
    long p = std::ftell(m_stream);
    return p < 0 ? 0 : static_cast<ULONGLONG>(p);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    if (!m_stream) ThrowFromErrno(EBADF);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    if (std::fseek(m_stream, static_cast<long>(offset), whence) != 0) ThrowFromErrno(errno ? errno : ESPIPE);
    return GetPosition();
}

CString CFile::GetFileName() const { return afx::FileNameOfPath(m_strFileName); }

CString CFile::GetFileTitle() const { return afx::FileTitleOfPath(m_strFileName); }

CStdioFile::CStdioFile(const char* fileName, UINT flags) {
    CFileException e;
    if (!Open(fileName, flags, &e)) throw e;
}

BOOL CStdioFile::Open(const char* fileName, UINT flags, CFileException* error) {
    return CFile::Open(fileName, flags, error);
}

int CStdioFile::GetChar() {
    int c = std::getc(m_stream);
    if (c == '\r' && IsTextMode()) {
        int next = std::getc(m_stream);
        if (next == '\n') return '\n';
        if (next != EOF) std::ungetc(next, m_stream);
    }
    return c;
}

void CStdioFile::WriteString(const char* text) {
    if (!text) return;
    if (!IsTextMode()) {
        CFile::Write(text, static_cast<UINT>(std::strlen(text)));
        return;
    }
    Write(text, static_cast<UINT>(std::strlen(text)));
}

void CStdioFile::Write(const void* buffer, UINT count) {
    if (!IsTextMode()) {
        CFile::Write(buffer, count);
        return;
    }
    const char* p = static_cast<const char*>(buffer);
    const char* end = p + count;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = nl ? nl : end;
        CFile::Write(p, static_cast<UINT>(stop - p));
        if (!nl) break;
        CFile::Write("\r\n", 2);
        p = nl + 1;
    }
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    if (!m_stream) ThrowFromErrno(EBADF);
    if (!IsTextMode()) return CFile::Read(buffer, count);
    char* out = static_cast<char*>(buffer);
    UINT n = 0;
    while (n < count) {
        int c = GetChar();
        if (c == EOF) break;
        out[n++] = static_cast<char>(c);
    }
    if (std::ferror(m_stream)) ThrowFromErrno(errno ? errno : EIO);
    return n;
}

BOOL CStdioFile::ReadString(CString& text) {
    if (!m_stream) ThrowFromErrno(EBADF);
    std::string line;
    int c;
    bool any = false;
    while ((c = GetChar()) != EOF) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    if (std::ferror(m_stream)) ThrowFromErrno(errno ? errno : EIO);
    // In binary mode the line end may still carry its carriage return.
    if (!line.empty() && line.back() == '\r' && c == '\n') line.pop_back();
    text = CString(std::move(line));
    return any ? TRUE : FALSE;
}

char* CStdioFile::ReadString(char* buffer, UINT max) {
    if (!m_stream) ThrowFromErrno(EBADF);
    if (!buffer || max == 0) return nullptr;
    UINT n = 0;
    while (n + 1 < max) {
        int c = GetChar();
        if (c == EOF) break;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    if (std::ferror(m_stream)) ThrowFromErrno(errno ? errno : EIO);
    return n == 0 ? nullptr : buffer;
}

CArchive::CArchive(CFile* file, UINT mode, int bufferSize)
    : m_file(file), m_mode(mode), m_buffer(static_cast<size_t>(bufferSize < 128 ? 128 : bufferSize)) {}

CArchive::~CArchive() {
    if (!m_closed && IsStoring() && !(m_mode & bNoFlushOnDelete)) {
        try {
            Flush();
        } catch (...) {
        }
    }
}

bool CArchive::FillBuffer() {
    m_pos = 0;
    m_len = m_file->CFile::Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
    return m_len > 0;
}

void CArchive::WriteString(const char* text) {
    if (!text) return;
    size_t n = std::strlen(text);
    while (n > 0) {
        if (m_len == m_buffer.size()) Flush();
        size_t k = std::min(n, m_buffer.size() - m_len);
        std::memcpy(m_buffer.data() + m_len, text, k);
        m_len += k;
        text += k;
        n -= k;
    }
}

BOOL CArchive::ReadString(CString& text) {
    std::string line;
    BOOL any = ReadLine(line);
    text = CString(std::move(line));
    return any;
}

BOOL CArchive::ReadLine(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (m_pos >= m_len && !FillBuffer()) break;
        const char* start = m_buffer.data() + m_pos;
        size_t avail = m_len - m_pos;
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', avail));
        any = true;
        if (nl) {
            line.append(start, static_cast<size_t>(nl - start));
            m_pos += static_cast<size_t>(nl - start) + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return TRUE;
        }
        line.append(start, avail);
        m_pos = m_len;
    }
    return any ? TRUE : FALSE;
}

char* CArchive::ReadString(char* buffer, UINT max) {
    if (!buffer || max == 0) return nullptr;
    UINT n = 0;
    while (n + 1 < max) {
        if (m_pos >= m_len && !FillBuffer()) break;
        char c = m_buffer[m_pos++];
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n == 0 ? nullptr : buffer;
}

UINT CArchive::Read(void* buffer, UINT count) {
    char* out = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (m_pos >= m_len) {
            // What the buffer could not hold goes straight from the file to the caller.
            if (count - done >= m_buffer.size()) {
                UINT n = m_file->CFile::Read(out + done, count - done);
                if (n == 0) break;
                done += n;
                continue;
            }
            if (!FillBuffer()) break;
        }
        size_t k = std::min(static_cast<size_t>(count - done), m_len - m_pos);
        std::memcpy(out + done, m_buffer.data() + m_pos, k);
        m_pos += k;
        done += static_cast<UINT>(k);
    }
    return done;
}

BOOL CArchive::ReleaseFile() {
    if (IsStoring()) return FALSE;
    const size_t ahead = m_len - m_pos;
    if (ahead > 0) {
        try {
            m_file->Seek(-static_cast<LONGLONG>(ahead), CFile::current);
        } catch (const CFileException&) {
            return FALSE;
        }
    }
    m_pos = m_len = 0;
    return TRUE;
}

void CArchive::Flush() {
    if (IsStoring() && m_len > 0) {
        m_file->CFile::Write(m_buffer.data(), static_cast<UINT>(m_len));
        m_len = 0;
    }
}

void CArchive::Close() {
    if (m_closed) return;
    m_closed = true;
    Flush();
}

void CArchive::Abort() {
    m_closed = true;
    m_len = 0;
}

// --- CReplacingFile ---------------------------------------------------------------------------

namespace {
// The file that a path's symbolic links lead to (the path itself when it is no link). A
// link whose file does not exist yet names the file to create.
bool ResolveLinks(std::string path, std::string* out, int* error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *out = path;
            return true;
        }
        std::vector<char> buffer(PATH_MAX + 1);
        ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<size_t>(n) >= buffer.size()) {
            *error = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        std::string link(buffer.data(), static_cast<size_t>(n));
        if (link.empty()) {
            *error = ENOENT;
            return false;
        }
        if (link[0] != '/') {
            size_t slash = path.rfind('/');
            if (slash != std::string::npos) link = path.substr(0, slash + 1) + link;
        }
        path = std::move(link);
    }
    *error = ELOOP;
    return false;
}

void SetError(CFileException* error, int cause, int osError, const char* name) {
    if (!error) return;
    error->m_cause = cause;
    error->m_lOsError = osError;
    error->m_strFileName = name;
}
}  // namespace

CReplacingFile::~CReplacingFile() { Abandon(); }

BOOL CReplacingFile::OpenReplacing(const char* target, CFileException* error, UINT options) {
    Abandon();
    m_strFileName = target;
    m_flags = modeCreate | modeWrite | ((options & typeText) ? typeText : typeBinary);
    int err = 0;
    struct stat old;
    bool exists;
    if (options & replaceLinks) {
        // A link at the target is not the file written: the new file takes its place.
        m_real = afx::NativePath(target);
        exists = lstat(m_real.c_str(), &old) == 0 && !S_ISLNK(old.st_mode);
    } else {
        if (!ResolveLinks(afx::NativePath(target), &m_real, &err)) {
            SetError(error, CFileException::CauseFromErrno(err), err, target);
            return FALSE;
        }
        exists = stat(m_real.c_str(), &old) == 0;
    }
    if (exists) {
        // Only a regular file is replaced; one without write permission is refused even
        // where the system would let the folder's owner replace it.
        if (!S_ISREG(old.st_mode)) {
            SetError(error, CFileException::accessDenied, S_ISDIR(old.st_mode) ? EISDIR : EACCES, target);
            return FALSE;
        }
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(m_real.c_str(), W_OK) != 0) {
            SetError(error, CFileException::accessDenied, EACCES, target);
            return FALSE;
        }
    }
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_temp = m_real + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        err = errno;
        m_temp.clear();
        SetError(error, CFileException::CauseFromErrno(err), err, target);
        return FALSE;
    }
    if (exists) {
        // Owner and group first (changing them may clear the set-id bits that the mode then
        // restores); a process that may not give the file away keeps it as its own.
        if (fchown(fd, old.st_uid, old.st_gid) != 0) (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        if (fchmod(fd, old.st_mode & 07777) != 0) {
            err = errno;
            ::close(fd);
            unlink(m_temp.c_str());
            m_temp.clear();
            SetError(error, CFileException::CauseFromErrno(err), err, target);
            return FALSE;
        }
    }
    m_stream = fdopen(fd, "wb");
    if (!m_stream) {
        err = errno;
        ::close(fd);
        unlink(m_temp.c_str());
        m_temp.clear();
        SetError(error, CFileException::CauseFromErrno(err), err, target);
        return FALSE;
    }
    return TRUE;
}

void CReplacingFile::Commit() {
    if (!m_stream || m_temp.empty()) ThrowFromErrno(EBADF);
    int err = 0;
    if (std::fflush(m_stream) != 0 || fsync(fileno(m_stream)) != 0) err = errno ? errno : EIO;
    std::FILE* f = m_stream;
    m_stream = nullptr;
    if (std::fclose(f) != 0 && err == 0) err = errno ? errno : EIO;
    if (err == 0 && std::rename(m_temp.c_str(), m_real.c_str()) != 0) err = errno;
    if (err != 0) {
        unlink(m_temp.c_str());
        m_temp.clear();
        ThrowFromErrno(err);
    }
    m_temp.clear();
}

void CReplacingFile::Abandon() {
    if (m_stream) std::fclose(m_stream);
    m_stream = nullptr;
    if (!m_temp.empty()) unlink(m_temp.c_str());
    m_temp.clear();
}
