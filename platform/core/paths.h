// File-system helpers. Paths in the program are Windows-1252 strings; the system's
// names are UTF-8, converted exactly where a file is opened, created or listed.
#pragma once

#include <string>

#include "platform/core/cstring.h"

namespace afx {

// The system form (UTF-8) of a program path (Windows-1252).
std::string NativePath(const char* path);

// The program form of a system path; false when it has no Windows-1252 form.
bool ProgramPath(const std::string& native, CString* path);

// The current folder; false when it cannot be read or has no Windows-1252 form.
bool GetCurrentFolder(CString* folder);

bool PathExists(const char* path);
bool IsFolder(const char* path);
bool IsRegularFile(const char* path);

// What a file is at one moment: which file (device and inode), its size, and its
// modification and change stamps to the nanosecond; exists is false when there is none.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0, inode = 0;
    long long size = 0;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;
    long long changedSeconds = 0, changedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOfFile(const char* path);
// Whether path names a file now that is not the file stamped before, or that was written
// or changed since: a file left as it was, or gone, is not.
bool WrittenSince(const char* path, const FileStamp& before);

// The last component of a path ('/' or '\\' separated).
CString FileNameOfPath(const char* path);
// The path up to and including its last separator.
CString FolderOfPath(const char* path);
// The file name without its extension.
CString FileTitleOfPath(const char* path);

// Joins a folder and a name with one '/'.
CString JoinPath(const char* folder, const char* name);

// Replaces target by source in one step (both in the same folder); errno on failure.
bool RenameOver(const char* source, const char* target, int* error = nullptr);

// Removes a file; true when it is gone afterwards.
bool RemoveFile(const char* path);

}  // namespace afx
