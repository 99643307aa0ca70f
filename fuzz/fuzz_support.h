// What the fuzz targets share: the program's resources loaded as Tabulon loads them at
// start (the reader compares the version line with the string table's), message boxes
// answered at once so the readers run headless, and native files read and written through
// a file of the process's own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/data_set.h"
#include "fuzz/fuzz_folder.h"
#include "platform/ui/automation.h"
#include "res/resources.h"

inline void PrepareHeadless() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterTabulonResources();
    afx::ScriptedUser::SetFailureReporter([](const std::string&) {});
}

// A path in the process's own folder, for the file named by tag.
inline std::string FuzzPath(const char* tag) {
    static const FuzzFolder folder;
    return folder.path + "/" + tag + ".tsm";
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

// Saves set as a native file at path; false when it cannot be created or written.
inline bool SaveFile(const std::string& path, const CDataSet& set) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return false;
    try {
        CArchive ar(&file, CArchive::store);
        set.Save(ar);
        ar.Close();
        file.Close();
    } catch (const CFileException&) {
        return false;
    }
    return true;
}
