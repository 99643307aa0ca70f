#include "platform/core/paths.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/core/cp1252.h"

namespace afx {

std::string NativePath(const char* path) { return Cp1252ToUtf8(path ? path : ""); }

bool ProgramPath(const std::string& native, CString* path) {
    std::string s;
    if (!Utf8ToCp1252(native, &s)) return false;
    if (path) *path = CString(std::move(s));
    return true;
}

bool GetCurrentFolder(CString* folder) {
    std::string buf(4096, '\0');
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE || buf.size() > (1u << 20)) return false;
        buf.resize(buf.size() * 2);
    }
    buf.resize(std::char_traits<char>::length(buf.c_str()));
    return ProgramPath(buf, folder);
}

bool PathExists(const char* path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0;
}

bool IsFolder(const char* path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const char* path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

long long FileClockSeconds() {
    // The coarse clock is the one the kernel stamps files with; the fine clock may run a
    // tick ahead of it.
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return static_cast<long long>(now.tv_sec);
}

bool WrittenSince(const char* path, long long second) {
    // Whole seconds: some file systems keep no finer stamps.
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && static_cast<long long>(st.st_mtim.tv_sec) >= second;
}

static int LastSeparator(const CString& p) {
    int a = p.ReverseFind('/');
    int b = p.ReverseFind('\\');
    return a > b ? a : b;
}

CString FileNameOfPath(const char* path) {
    CString p(path);
    return p.Mid(LastSeparator(p) + 1);
}

CString FolderOfPath(const char* path) {
    CString p(path);
    return p.Left(LastSeparator(p) + 1);
}

CString FileTitleOfPath(const char* path) {
    CString name = FileNameOfPath(path);
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

CString JoinPath(const char* folder, const char* name) {
    CString f(folder);
    if (f.IsEmpty()) return CString(name);
    if (f[f.GetLength() - 1] != '/' && f[f.GetLength() - 1] != '\\') f += '/';
    return f + name;
}

bool RenameOver(const char* source, const char* target, int* error) {
    if (std::rename(NativePath(source).c_str(), NativePath(target).c_str()) == 0) return true;
    if (error) *error = errno;
    return false;
}

bool RemoveFile(const char* path) {
    std::string p = NativePath(path);
    if (std::remove(p.c_str()) == 0) return true;
    struct stat st;
    return stat(p.c_str(), &st) != 0;
}

}  // namespace afx
