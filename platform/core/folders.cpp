#include "platform/core/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/core/paths.h"

namespace afx {

namespace {

std::vector<std::string> SplitParts(const char* path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path ? path : ""; ; ++p) {
        if (*p == '/' || *p == '\0') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
            if (*p == '\0') break;
        } else {
            part += *p;
        }
    }
    return parts;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const CString& a, const CString& b) {
    const std::string& x = a.str();
    const std::string& y = b.str();
    size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        char cx = FoldCase(x[i]);
        char cy = FoldCase(y[i]);
        if (cx != cy) return static_cast<unsigned char>(cx) < static_cast<unsigned char>(cy);
    }
    if (x.size() != y.size()) return x.size() < y.size();
    return x < y;
}

}  // namespace

CString NormaliseFolderPath(const char* base, const char* path) {
    std::vector<std::string> parts;
    const char* p = path ? path : "";
    if (*p != '/') parts = SplitParts(base);
    for (std::string& part : SplitParts(p)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? CString("/") : CString(std::move(out));
}

CString ParentFolderPath(const char* folder) {
    std::vector<std::string> parts = SplitParts(folder);
    if (!parts.empty()) parts.pop_back();
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? CString("/") : CString(std::move(out));
}

std::vector<CString> ListSubfolders(const char* folder, const char* prefix, bool includeHidden) {
    std::vector<CString> names;
    std::string start = NativePath(prefix ? prefix : "");
    if (!start.empty() && start[0] == '.') includeHidden = true;
    DIR* dir = opendir(NativePath(folder).c_str());
    if (!dir) return names;
    int fd = dirfd(dir);
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!includeHidden && name[0] == '.') continue;
        if (name.compare(0, start.size(), start) != 0) continue;
        struct stat st;
        if (fstatat(fd, name.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode)) continue;
        CString programName;
        if (ProgramPath(name, &programName)) names.push_back(programName);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

bool CreateFolderPath(const char* path, int* error) {
    std::string native = NativePath(path);
    std::string sofar = (!native.empty() && native[0] == '/') ? "" : ".";
    for (const std::string& part : SplitParts(native.c_str())) {
        sofar += "/" + part;
        struct stat st;
        if (stat(sofar.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) continue;
            if (error) *error = ENOTDIR;
            return false;
        }
        if (errno != ENOENT) {
            if (error) *error = errno;
            return false;
        }
        if (mkdir(sofar.c_str(), 0777) != 0) {
            int e = errno;
            // Someone else made it in the meantime: fine when it is a folder.
            if (e == EEXIST && stat(sofar.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
            if (error) *error = e;
            return false;
        }
    }
    return true;
}

VolumeKind VolumeKindOf(const char* path) {
    CString folder = NormaliseFolderPath("/", path);
    struct statfs fs;
    while (statfs(NativePath(folder).c_str(), &fs) != 0) {
        if (folder == "/") return VolumeKind::Fixed;
        folder = ParentFolderPath(folder);
    }
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9660:        // ISO 9660
    case 0x15013346:    // UDF
        return VolumeKind::OpticalDisc;
    case 0x6969:        // NFS
    case 0x517B:        // SMB
    case 0xFF534D42:    // CIFS
    case 0xFE534D42:    // SMB2
    case 0x564C:        // NCP
    case 0x73757245:    // Coda
    case 0x5346414F:    // AFS
    case 0x01021997:    // 9P
    case 0x00C36400:    // Ceph
        return VolumeKind::Network;
    default:
        return VolumeKind::Fixed;
    }
}

}  // namespace afx
