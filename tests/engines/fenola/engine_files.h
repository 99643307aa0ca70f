// Helpers for engine tests: a temporary working folder and whole files as bytes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace engine_test {

class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("tesmo_engine_" + std::to_string(seed()) + "_" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes lines ending in CR LF, as the GUI does.
    void Write(const std::string& name, const std::vector<std::string>& lines) const {
        std::ofstream out(path_ / name, std::ios::binary);
        for (const std::string& line : lines) out << line << "\r\n";
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The file's records without their CR LF.
    std::vector<std::string> Lines(const std::string& name) const {
        std::vector<std::string> lines;
        const std::string text = Read(name);
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

private:
    std::filesystem::path path_;
};

// Index of the first line equal to text at or after from, or lines.size().
inline std::size_t Find(const std::vector<std::string>& lines, const std::string& text, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i] == text) return i;
    return lines.size();
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    return Find(lines, text) != lines.size();
}

inline std::string Pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

}  // namespace engine_test
