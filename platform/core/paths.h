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

// The clock that stamps files as they are written, in whole seconds since the epoch.
long long FileClockSeconds();
// Whether path names a file last written in or after the given second of that clock.
bool WrittenSince(const char* path, long long second);

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
