#include "platform/core/paths.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
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

FileStamp StampOfFile(const char* path) {
    FileStamp stamp;
    struct stat st;
    if (stat(NativePath(path).c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<unsigned long long>(st.st_dev);
    stamp.inode = static_cast<unsigned long long>(st.st_ino);
    stamp.size = static_cast<long long>(st.st_size);
    stamp.modifiedSeconds = static_cast<long long>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<long long>(st.st_mtim.tv_nsec);
    stamp.changedSeconds = static_cast<long long>(st.st_ctim.tv_sec);
    stamp.changedNanoseconds = static_cast<long long>(st.st_ctim.tv_nsec);
    return stamp;
}

bool WrittenSince(const char* path, const FileStamp& before) {
    const FileStamp now = StampOfFile(path);
    return now.exists && now != before;
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
