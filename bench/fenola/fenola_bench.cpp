// Classification speed: the whole run of fenola on its files, and the hierarchy alone
// (dissimilarities plus aggregation), on samples of 10 normal variables, Euclidean distance.
//
// peak_MB is the process's peak resident size so far: run one size per process to read it,
// e.g. fenola_bench --benchmark_filter='FenolaRun/20000/3/'.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "engines/fenola/aggregation.h"
#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/fenola.h"

namespace {

constexpr std::size_t kVariables = 10;

fenola::ObjectTable RandomTable(std::size_t n) {
    std::mt19937 random(2024);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    fenola::ObjectTable t;
    t.nlin = n;
    t.ncol = kVariables;
    t.y.resize(n * kVariables);
    for (float& v : t.y) v = normal(random);
    return t;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Arguments: number of samples, aggregation code.
void BM_Hierarchy(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const int method = static_cast<int>(state.range(1));
    const fenola::ObjectTable table = RandomTable(n);
    for (auto _ : state) {
        fenola::Triangle d;
        fenola::ComputeDissimilarities(table, fenola::kEuclidean, d);
        const auto steps = fenola::Aggregate(d, method, {});
        benchmark::DoNotOptimize(steps.data());
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

// The whole program: fenola.par and Dados.dat in, fenola.prn and sepop.inp out.
void BM_FenolaRun(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const int method = static_cast<int>(state.range(1));
    std::string pattern = (std::filesystem::temp_directory_path() / "fenola_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = pattern;
    {
        const fenola::ObjectTable table = RandomTable(n);
        std::ofstream data(folder / "Dados.dat", std::ios::binary);
        for (std::size_t i = 0; i < n; ++i) data << "S" << i << "\r\n";
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t k = 0; k < kVariables; ++k) data << ' ' << table.At(i, k);
            data << "\r\n";
        }
        std::ofstream par(folder / "fenola.par", std::ios::binary);
        par << n << ' ' << kVariables << "\r\n1 4 " << method << "\r\n"
            << (folder / "Dados.dat").string() << "\r\nbench\r\n";
        for (std::size_t k = 0; k < kVariables; ++k) par << "V" << k << "\r\n";
        par << "0 0 0\r\n";
    }
    for (auto _ : state) {
        if (FenolaMain(folder.string()) != 0) state.SkipWithError("fenola stopped");
    }
    state.counters["peak_MB"] = PeakMegabytes();
    std::filesystem::remove_all(folder);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int n : {5000, 10000, 20000, 40000}) b->Args({n, fenola::kAverageLink});
    b->Args({10000, fenola::kCompleteLink});
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

}  // namespace

BENCHMARK(BM_Hierarchy)->Apply(Sizes);
BENCHMARK(BM_FenolaRun)->Apply(Sizes);
BENCHMARK_MAIN();
