// The outside engines on tables of the sizes users bring, as the GUI starts them:
// mur on 100,000 rows x 50 columns with 5 factors; dazi on 20,000 individuals x 15
// qualitative variables of 5 modalities with 5 factors. And the wide tables whose eigen
// solve dominates: mur on 2,000 rows x 1,000 columns, dazi on 2,000 individuals x 250
// variables of 4 modalities (1,000 modalities), both with 5 factors.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "engines/outside/dazi/dazi.h"
#include "engines/outside/mur/mur.h"

namespace {

std::string MakeFolder(const char* stem) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(stem) + "_XXXXXX")).string();
    return mkdtemp(pattern.data());
}

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// Correlated columns: a few latent factors plus noise, written "%f" as the GUI does.
// With options, as the front-end starts mur by default: 4 planes and the coordinate files;
// without, neither (the analysis alone).
std::string MurFolder(int rows, int cols, bool options) {
    const std::string folder = MakeFolder("mur_bench");
    std::mt19937 random(7);
    std::normal_distribution<double> normal;
    std::string data;
    data.reserve(static_cast<size_t>(rows) * cols * 11);
    for (int i = 1; i <= rows; ++i)
        data += 'L' + std::to_string(i) + "\r\n";
    char buffer[64];
    for (int i = 0; i < rows; ++i) {
        double latent[3] = {normal(random), normal(random), normal(random)};
        for (int j = 0; j < cols; ++j) {
            const double value = 50.0 + 10.0 * latent[j % 3] * (1.0 + j / 50.0) + 5.0 * normal(random);
            std::snprintf(buffer, sizeof buffer, j == 0 ? "%f" : " %f", value);
            data += buffer;
        }
        data += "\r\n";
    }
    WriteText(folder + "/Dados.dat", data);
    std::string par = std::to_string(rows) + " " + std::to_string(rows) + " " + std::to_string(cols) + " " +
                      std::to_string(cols) + " 5\r\n" + folder + "/Dados.dat\r\n" + folder + "/bench.tsm\r\n" +
                      (options ? "4 1 65 2.5\r\n" : "0 1 65 2.5\r\n");
    for (int j = 1; j <= cols; ++j)
        par += 'V' + std::to_string(j) + "\r\n";
    par += options ? "1 0\r\n" : "0 0\r\n";
    WriteText(folder + "/mur.par", par);
    return folder;
}

void RunMur(benchmark::State& state, int rows, int cols, bool options = true) {
    const std::string folder = MurFolder(rows, cols, options);
    for (auto _ : state)
        if (MurMain(folder) != kMurOk)
            state.SkipWithError("mur failed");
    std::filesystem::remove_all(folder);
}

void BM_Mur100000x50Nf5(benchmark::State& state) { RunMur(state, 100000, 50); }
void BM_Mur100000x50Nf5NoOptions(benchmark::State& state) { RunMur(state, 100000, 50, false); }
void BM_Mur2000x1000Nf5(benchmark::State& state) { RunMur(state, 2000, 1000); }

// Qualitative variables of categories coded 1 to n, all modalities active, the
// individuals projected, as the front-end writes dazi.par.
// With options, as the front-end starts dazi by default: the recoded, disjunctive and Burt
// tables, 4 planes and the coordinate files; without, none of them (the analysis alone).
// With follow below 1, each answer of an even variable follows the individual's tendency
// with that probability only, so that no two variables are alike.
std::string DaziFolder(int rows, int cols, int categories, double follow, bool options) {
    const std::string flag = options ? "1" : "0";
    const std::string folder = MakeFolder("dazi_bench");
    const int modalities = cols * categories;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> category(1, categories);
    std::bernoulli_distribution follows(follow);
    std::string data;
    for (int i = 1; i <= rows; ++i)
        data += 'I' + std::to_string(i) + "\r\n";
    for (int i = 0; i < rows; ++i) {
        const int base = category(random);
        for (int j = 0; j < cols; ++j) {
            // Half of the answers follow the individual's own tendency, so the table has structure.
            const bool tendency = j % 2 == 0 && (follow >= 1.0 || follows(random));
            const int value = tendency ? base : category(random);
            if (j)
                data += ' ';
            data += std::to_string(value) + ".000000";
        }
        data += "\r\n";
    }
    WriteText(folder + "/Dados.dat", data);
    std::string par = std::to_string(rows) + " 0 " + std::to_string(cols) + "\r\n" + folder + "/Dados.dat\r\n" +
                      folder + "/bench.tsm\r\n";
    for (int j = 1; j <= cols; ++j)
        par += 'Q' + std::to_string(j) + "\r\n";
    par += flag;
    par += "\r\n" + std::to_string(modalities) + " " + std::to_string(categories) + " \r\n";
    par += flag;
    par += " 1\r\n";
    for (int j = 0; j < cols; ++j)
        par += std::to_string(categories) + "\r\n";
    for (int j = 0; j < cols; ++j)
        for (int k = 1; k <= categories; ++k)
            par += std::to_string(k) + "\r\n";
    std::string ids;
    for (int j = 1; j <= cols; ++j)
        for (int k = 1; k <= categories; ++k)
            ids += 'Q' + std::to_string(j) + "_" + std::to_string(k) + "\r\n";
    par += ids;
    par += flag;
    par += " 0 1\r\n";
    par += std::to_string(modalities + rows) + " " + std::to_string(modalities) + " " + std::to_string(modalities) +
           " " + std::to_string(modalities) + " 5\r\n";
    auto lines = [](const std::string& stream) {
        std::string out;
        for (size_t p = 0; p < stream.size(); p += 80)
            out += stream.substr(p, 80) + "\r\n";
        return out;
    };
    const std::string flags(static_cast<size_t>(modalities), '1');
    par += lines(flags + std::string(static_cast<size_t>(rows), '0')) + lines(flags);
    par += options ? "4" : "0";
    par += " 1 65 2.5\r\n";
    par += ids;
    par += flag;
    par += " 1\r\n";
    WriteText(folder + "/dazi.par", par);
    return folder;
}

void RunDazi(benchmark::State& state, int rows, int cols, int categories, double follow, bool options = true) {
    const std::string folder = DaziFolder(rows, cols, categories, follow, options);
    for (auto _ : state)
        if (DaziMain(folder) != kDaziOk)
            state.SkipWithError("dazi failed");
    std::filesystem::remove_all(folder);
}

void BM_Dazi20000x15x5Nf5(benchmark::State& state) { RunDazi(state, 20000, 15, 5, 1.0); }
void BM_Dazi20000x15x5Nf5NoOptions(benchmark::State& state) { RunDazi(state, 20000, 15, 5, 1.0, false); }
void BM_Dazi2000x250x4Nf5(benchmark::State& state) { RunDazi(state, 2000, 250, 4, 0.6); }

}  // namespace

BENCHMARK(BM_Dazi20000x15x5Nf5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mur100000x50Nf5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Dazi20000x15x5Nf5NoOptions)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mur100000x50Nf5NoOptions)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Dazi2000x250x4Nf5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mur2000x1000Nf5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
