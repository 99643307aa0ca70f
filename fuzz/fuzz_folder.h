// A folder of the process's own in the system's temporary folder ($TMPDIR, or /tmp),
// created with the object and removed with what it holds when the object goes.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class FuzzFolder {
public:
    explicit FuzzFolder(const char* prefix = "tesmo-fuzz") {
        std::error_code error;
        std::string name = std::filesystem::temp_directory_path(error).string() + "/" + prefix + "-XXXXXX";
        if (error || !mkdtemp(name.data())) {
            std::perror("tesmo fuzz: cannot create a temporary folder");
            std::abort();
        }
        path = name;
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    // Removes everything the folder holds.
    void Empty() const {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(path, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
    }
    std::string path;
};
