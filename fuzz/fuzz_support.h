// What the fuzz targets share: the program's resources loaded as Tabulon loads them at
// start (the reader compares the version line with the string table's), message boxes
// answered at once so the readers run headless, and native files read and written through
// a file of the process's own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/data_set.h"
#include "platform/ui/automation.h"
#include "res/resources.h"

inline void PrepareHeadless() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterTabulonResources();
    afx::ScriptedUser::SetFailureReporter([](const std::string&) {});
}

// A path of this process's own, for the file named by tag.
inline std::string FuzzPath(const char* tag) {
    return FormatString("/tmp/tesmo-fuzz-%d-%s.tsm", static_cast<int>(getpid()), tag).str();
}

inline bool WriteBytes(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

// Opens the native file at path into set; false when the reader refuses it.
inline bool LoadFile(const std::string& path, CDataSet& set) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) return false;
    CArchive ar(&file, CArchive::load);
    return set.Load(ar) != FALSE;
}

// Saves set as a native file at path.
inline bool SaveFile(const std::string& path, const CDataSet& set) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return false;
    CArchive ar(&file, CArchive::store);
    set.Save(ar);
    ar.Close();
    file.Close();
    return true;
}
