// Descriptive statistics of 20 quantitative variables over 1,000,000 rows of a loaded
// table: the sorted lists built from the table, then the sixteen statistics of every row.
#include <benchmark/benchmark.h>

#include <random>

#include "app/data_table.h"
#include "res/resources.h"
#include "stats/descriptive_stats.h"
#include "stats/order_statistics.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kVariables = 20;

const CDataTable& LoadedTable() {
    static const CDataTable table = [] {
        RegisterTabulonResources();
        CDataTable t;
        t.SetSize(kRows, kVariables);
        t.SetMissingCode(-9.9f);
        std::mt19937 rng(11);
        std::normal_distribution<double> normal(50.0, 12.0);
        std::uniform_int_distribution<int> pick(0, 99);
        for (int r = 1; r <= kRows; ++r)
            for (int v = 1; v <= kVariables; ++v) {
                // About 1% absent cells; some variables with many ties.
                double x = pick(rng) == 0 ? -9.9 : normal(rng);
                if (v % 4 == 0 && x != -9.9) x = static_cast<double>(static_cast<int>(x));
                t.SetValue(r, v, x);
            }
        t.ComputeMeanVariance();
        return t;
    }();
    return table;
}

void BM_DescriptiveStatistics(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    std::vector<int> variables;
    for (int v = 1; v <= kVariables; ++v) variables.push_back(v);
    for (auto _ : state) {
        COrderStatistics stats(table, variables, table.GetMissingCode());
        std::vector<std::vector<CString>> rows;
        for (int i = 0; i < stats.GetVariableCount(); ++i) rows.push_back(DescribeVariable(stats, i));
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_DescriptiveStatistics)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
