// Classification speed: distances plus aggregation, and a whole run of fenola with its files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "engines/fenola/aggregation.h"
#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/fenola.h"

namespace {

fenola::ObjectTable RandomTable(std::size_t n, std::size_t m) {
    std::mt19937 random(2024);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    fenola::ObjectTable t;
    t.nlin = n;
    t.ncol = m;
    t.y.resize(n * m);
    for (float& v : t.y) v = normal(random);
    return t;
}

void Classify(benchmark::State& state, int method) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const fenola::ObjectTable table = RandomTable(n, 10);
    std::vector<float> d;
    for (auto _ : state) {
        fenola::ComputeDissimilarities(table, fenola::kEuclidean, d);
        const auto steps = fenola::Aggregate(d, n, method, {});
        benchmark::DoNotOptimize(steps.data());
    }
}

void BM_EuclideanAverageLink(benchmark::State& state) { Classify(state, fenola::kAverageLink); }
void BM_EuclideanCompleteLink(benchmark::State& state) { Classify(state, fenola::kCompleteLink); }

// The whole program on its files: fenola.par, Dados.dat, fenola.prn and sepop.inp.
void BM_FenolaRun(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const int method = static_cast<int>(state.range(1));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "fenola_bench";
    std::filesystem::create_directories(folder);
    const fenola::ObjectTable table = RandomTable(n, 10);
    {
        std::ofstream data(folder / "Dados.dat", std::ios::binary);
        for (std::size_t i = 0; i < n; ++i) data << "S" << i << "\r\n";
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t k = 0; k < 10; ++k) data << ' ' << table.At(i, k);
            data << "\r\n";
        }
        std::ofstream par(folder / "fenola.par", std::ios::binary);
        par << n << " 10\r\n1 4 " << method << "\r\n" << (folder / "Dados.dat").string() << "\r\nbench\r\n";
        for (int k = 0; k < 10; ++k) par << "V" << k << "\r\n";
        par << "0 0 0\r\n";
    }
    for (auto _ : state) {
        if (FenolaMain(folder.string()) != 0) state.SkipWithError("fenola stopped");
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_EuclideanAverageLink)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EuclideanCompleteLink)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FenolaRun)->Args({5000, fenola::kAverageLink})->Args({10000, fenola::kCompleteLink})
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
