// kelo on a 2000 x 200 table of 0/1 values with 5 factors, as the GUI starts it
// (4 planes of 65 lines, no data print, no coordinate files).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "engines/kelo/kelo.h"

namespace {

std::string MakeFolder(int graphs) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelo_bench_XXXXXX").string();
    const std::string folder = mkdtemp(pattern.data());
    const int rows = 2000, cols = 200;
    std::mt19937 random(2024);
    std::bernoulli_distribution present(0.3);
    std::ofstream data(folder + "/Dados.dat", std::ios::binary);
    for (int i = 1; i <= rows; ++i)
        data << "A" << i << "\r\n";
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j)
            data << (present(random) ? "1.000000 " : "0.000000 ");
        data << "\r\n";
    }
    std::ofstream par(folder + "/kelo.par", std::ios::binary);
    par << rows << " " << rows << " " << cols << " " << cols << " 5\r\n"
        << folder << "/Dados.dat\r\n" << folder << "/bench.tsm\r\n" << graphs << " 1 65 2.5\r\n";
    for (int j = 1; j <= cols; ++j)
        par << "V" << j << "\r\n";
    par << "0 0\r\n";
    return folder;
}

void Run(benchmark::State& state, int graphs) {
    const std::string folder = MakeFolder(graphs);
    for (auto _ : state) {
        const int status = KeloMain(folder);
        if (status != kKeloOk)
            state.SkipWithError("kelo failed");
    }
    std::filesystem::remove_all(folder);
}

void BM_Kelo2000x200Nf5(benchmark::State& state) { Run(state, 4); }
void BM_Kelo2000x200Nf5NoPlanes(benchmark::State& state) { Run(state, 0); }

}  // namespace

BENCHMARK(BM_Kelo2000x200Nf5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kelo2000x200Nf5NoPlanes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
