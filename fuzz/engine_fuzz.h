// What the engine fuzz targets share: one input holds an engine's files one after the other,
// separated by the byte 0x1E; they are written into a scratch folder of the process's own,
// the engine runs there through its entry point, and the run is judged on what it wrote.
//
//   engine_fuzz::Outcome run = engine_fuzz::Run(engine_fuzz::kKelo, bytes);
//   run.fault   // "" when the run is sound, else what is wrong
//
// A run is unsound when the engine ended with status 0 and a file it wrote holds a field
// reading inf or nan, in any case and with either sign (a sanitizer report ends the process
// by itself). Names can be made of any letters, so a word that a name of the input may
// have become is not taken for a number the engine printed.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engines/fenola/fenola.h"
#include "engines/kelo/kelo.h"
#include "engines/outside/dazi/dazi.h"
#include "engines/outside/mur/mur.h"
#include "engines/pilo/pilo.h"
#include "fuzz/fuzz_folder.h"

namespace engine_fuzz {

constexpr char kSeparator = '\x1e';

struct Engine {
    const char* name;
    int (*main)(const std::string& folder);
    std::vector<const char*> inputs;  // the files an input holds, in order
};

inline const Engine kKelo{"kelo", KeloMain, {"kelo.par", "Dados.dat"}};
inline const Engine kMur{"mur", MurMain, {"mur.par", "Dados.dat"}};
inline const Engine kDazi{"dazi", DaziMain, {"dazi.par", "Dados.dat"}};
inline const Engine kFenola{"fenola", FenolaMain, {"fenola.par", "Dados.dat"}};
inline const Engine kPilo{"pilo", PiloMain, {"fenola.par", "Dados.dat", "sepop.inp", "pilo.par"}};

inline const Engine* EngineNamed(std::string_view name) {
    for (const Engine* engine : {&kKelo, &kMur, &kDazi, &kFenola, &kPilo})
        if (name == engine->name) return engine;
    return nullptr;
}

inline std::vector<std::string_view> SplitFiles(std::string_view bytes) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = bytes.find(kSeparator, start);
        parts.push_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

inline bool IsLetter(unsigned char c) { return std::isalpha(c) || c >= 0x80; }

// The words of text (runs of letters) that read inf, infinity or nan in any case; with
// prefixes, also those that a word of text starts with (an engine cuts names to a few
// columns, so a name "infs" comes out as "inf").
inline std::set<std::string> NotANumberWords(std::string_view text, bool prefixes = false) {
    std::set<std::string> words;
    for (size_t i = 0; i < text.size();) {
        if (!IsLetter(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && IsLetter(static_cast<unsigned char>(text[end]))) ++end;
        std::string word(text.substr(i, end - i));
        for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* bad : {"inf", "infinity", "nan"})
            if (word == bad || (prefixes && word.rfind(bad, 0) == 0)) words.insert(bad);
        i = end;
    }
    return words;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outcome {
    int status = -1;    // the engine's status; -1 when it did not run
    std::string fault;  // "" when the run is sound
};

// Runs engine on the files that bytes holds and judges what it wrote.
inline Outcome Run(const Engine& engine, std::string_view bytes) {
    static const FuzzFolder folder("tesmo-engine-fuzz");
    // Every file stays inside the scratch folder: a name with a '/' could lead anywhere.
    if (bytes.find('/') != std::string_view::npos) return {};
    folder.Empty();
    const std::vector<std::string_view> parts = SplitFiles(bytes);
    for (size_t k = 0; k < engine.inputs.size() && k < parts.size(); ++k) {
        std::ofstream out(folder.path + "/" + engine.inputs[k], std::ios::binary);
        out.write(parts[k].data(), static_cast<std::streamsize>(parts[k].size()));
        if (!out) return {};
    }
    const int status = engine.main(folder.path);
    if (status != 0) return {status, {}};
    const std::set<std::string> given = NotANumberWords(bytes, true);
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path, ignored)) {
        const std::string name = entry.path().filename().string();
        bool input = false;
        for (const char* file : engine.inputs) input = input || name == file;
        if (input || !entry.is_regular_file(ignored)) continue;
        for (const std::string& word : NotANumberWords(ReadAll(entry.path())))
            if (!given.count(word))
                return {status, std::string(engine.name) + " ended with status 0 and wrote \"" + word + "\" in " + name};
    }
    return {status, {}};
}

}  // namespace engine_fuzz
