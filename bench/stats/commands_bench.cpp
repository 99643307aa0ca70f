// The statistics commands over 1,000,000 rows of 20 quantitative variables of a loaded
// table: correlation and covariance matrices, the classes and counts of 20 histograms,
// 20 boxplot summaries, and the regression of one pair with its residual series.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <string>

#include "app/data_table.h"
#include "charts/boxplot_chart.h"
#include "res/resources.h"
#include "stats/correlation_table.h"
#include "stats/histogram.h"
#include "stats/order_statistics.h"
#include "stats/paired_statistics.h"
#include "stats/regression.h"

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
        std::uniform_int_distribution<int> pick(0, 999);
        for (int r = 1; r <= kRows; ++r)
            for (int v = 1; v <= kVariables; ++v) {
                // About 0.1% absent cells (98% of the rows complete); some variables with
                // many ties, some near 1e6 with a spread of about 1.
                double x = pick(rng) == 0 ? -9.9 : normal(rng);
                if (x != -9.9 && v % 4 == 0) x = static_cast<double>(static_cast<int>(x));
                if (x != -9.9 && v % 5 == 0) x = 1e6 + x / 12.0;
                t.SetValue(r, v, static_cast<float>(x));
            }
        t.ComputeMeanVariance();
        return t;
    }();
    return table;
}

std::vector<int> AllVariables() {
    std::vector<int> variables;
    for (int v = 1; v <= kVariables; ++v) variables.push_back(v);
    return variables;
}

// A field of /proc/self/status, in MB ("VmRSS", "VmHWM").
double StatusMB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024.0;
    return 0.0;
}

// The matrix of every variable, with the fastest time and the most memory it took beyond
// the loaded table (the peak resident memory is reset before each).
void MatrixBenchmark(benchmark::State& state, int kind) {
    const CDataTable& table = LoadedTable();
    double fastest = 0.0, extra = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream("/proc/self/clear_refs") << "5";
        const double before = StatusMB("VmRSS");
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        {
            std::vector<int> variables = AllVariables();
            CCorrelationTable matrix(table, variables, table.GetMissingCode(), kind);
            benchmark::DoNotOptimize(matrix.GetValue(2, 1));
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        fastest = fastest == 0.0 ? seconds : std::min(fastest, seconds);
        extra = std::max(extra, StatusMB("VmHWM") - before);
        state.ResumeTiming();
    }
    state.counters["fastest_s"] = fastest;
    state.counters["extra_peak_MB"] = extra;
}

void BM_CorrelationMatrix(benchmark::State& state) { MatrixBenchmark(state, CCorrelationTable::KIND_CORRELATION); }
BENCHMARK(BM_CorrelationMatrix)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(5);

void BM_CovarianceMatrix(benchmark::State& state) { MatrixBenchmark(state, CCorrelationTable::KIND_COVARIANCE); }
BENCHMARK(BM_CovarianceMatrix)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(5);

// The sorted lists of the command, then 25 classes for each variable.
void BM_Histograms(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    for (auto _ : state) {
        COrderStatistics stats(table, AllVariables(), table.GetMissingCode());
        int total = 0;
        for (int i = 0; i < stats.GetVariableCount(); ++i) {
            CHistogramChart chart(&stats, CClassCountDlg::DefaultClassCount(stats.GetValueCount(i)), i, "v");
            total += chart.GetClasses().front().count;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Histograms)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Classes and counts alone, on sorted lists already built.
void BM_HistogramClassesOnly(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    COrderStatistics stats(table, AllVariables(), table.GetMissingCode());
    for (auto _ : state) {
        int total = 0;
        for (int i = 0; i < stats.GetVariableCount(); ++i) {
            CHistogramChart chart(&stats, 25, i, "v");
            total += chart.GetClasses().front().count;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_HistogramClassesOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_BoxplotSummaries(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    for (auto _ : state) {
        COrderStatistics stats(table, AllVariables(), table.GetMissingCode());
        double sum = 0;
        for (int i = 0; i < stats.GetVariableCount(); ++i) {
            CBoxPlotChart chart(&stats, i, 1, stats.GetVariableName(i), 1);
            std::vector<double> beyond;
            stats.CollectAbove(chart.upperFence, i, beyond);
            stats.CollectBelow(chart.lowerFence, i, beyond);
            sum += chart.median + static_cast<double>(beyond.size());
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BoxplotSummaries)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RegressionPair(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    for (auto _ : state) {
        CPairedStatistics stats(table, {1}, 2, -1, -1, table.GetMissingCode());
        CRegressionPage page(&stats, 0, stats.GetVariableName(0));
        benchmark::DoNotOptimize(page.GetObservedSeries()->GetCount() + page.GetFittedSeries()->GetCount());
    }
}
BENCHMARK(BM_RegressionPair)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The pair's series and fitted line alone (what the regression page shows).
void BM_RegressionFitOnly(benchmark::State& state) {
    const CDataTable& table = LoadedTable();
    for (auto _ : state) {
        CPairedStatistics stats(table, {1}, 2, -1, -1, table.GetMissingCode());
        CRegressionPage page(&stats, 0, stats.GetVariableName(0));
        benchmark::DoNotOptimize(page.SlopeText());
    }
}
BENCHMARK(BM_RegressionFitOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
