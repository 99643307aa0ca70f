// Every engine fuzz seed, and every input that once broke an engine, replayed through the
// fuzz targets' own run and judgement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/engine_fuzz.h"

namespace {

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::filesystem::path kSeeds = std::filesystem::path(TESMO_SOURCE_DIR) / "fuzz/seeds";

TEST(EngineFuzzSeeds, EverySeedIsAGoodRunOfItsEngine) {
    for (const char* name : {"kelo", "mur", "dazi", "fenola", "pilo"}) {
        const engine_fuzz::Engine* engine = engine_fuzz::EngineNamed(name);
        ASSERT_NE(engine, nullptr);
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(kSeeds / name)) {
            const engine_fuzz::Outcome run = engine_fuzz::Run(*engine, Bytes(entry.path()));
            EXPECT_EQ(run.status, 0) << entry.path();
            EXPECT_EQ(run.fault, "") << entry.path();
            ++count;
        }
        EXPECT_GT(count, 0) << name;
    }
}

// Inputs that once broke an engine, named after it: "kelo-...", "mur-...".
TEST(EngineFuzzSeeds, EveryRegressionRunsSound) {
    for (const auto& entry : std::filesystem::directory_iterator(kSeeds / "engine-regressions")) {
        const std::string file = entry.path().filename().string();
        const engine_fuzz::Engine* engine = engine_fuzz::EngineNamed(file.substr(0, file.find('-')));
        ASSERT_NE(engine, nullptr) << file;
        EXPECT_EQ(engine_fuzz::Run(*engine, Bytes(entry.path())).fault, "") << file;
    }
}

TEST(EngineFuzzJudgement, ANotANumberThatTheEngineWroteFailsTheRun) {
    // A supplementary row far beyond the others used to print Inf and NaN in mur's listing.
    EXPECT_EQ(engine_fuzz::NotANumberWords("  -NaN  1.5 inf -Infinity inferior nano"),
              (std::set<std::string>{"nan", "inf", "infinity"}));
    EXPECT_TRUE(engine_fuzz::NotANumberWords("inércia Informação 1e308").empty());
    EXPECT_EQ(engine_fuzz::NotANumberWords("-Infs nanx", true), (std::set<std::string>{"inf", "nan"}));
    const auto parts = engine_fuzz::SplitFiles("a\x1e" "b\x1e");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "b");
    EXPECT_EQ(parts[2], "");
}

}  // namespace
