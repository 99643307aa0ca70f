// Filling the list view with a 100,000 x 20 table, and the statistics of such a table.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"

namespace {

void Fill(CDataSet* data, int rows, int variables) {
    data->SetSize(rows, variables);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1000.0, 1000.0);
    for (int v = 1; v <= variables; ++v) {
        data->SetVariableName(v, FormatString("V%d", v));
        if (v % 5 == 0) data->SetVariableType(v, 0);
    }
    for (int r = 1; r <= rows; ++r) {
        data->SetRowName(r, FormatString("a%d", r));
        for (int v = 1; v <= variables; ++v) data->SetValue(r, v, u(rng));
    }
}

CTabulonDoc* StartedDocument() {
    static bool started = false;
    if (!started) {
        char folder[] = "/tmp/tesmo-bench-XXXXXX";
        afx::InitTestEnvironment(0, nullptr, mkdtemp(folder));
        theApp.InitInstance();
        started = true;
    }
    return theApp.GetDocument();
}

void BM_FillListView(benchmark::State& state) {
    CTabulonDoc* doc = StartedDocument();
    Fill(doc->GetDataSet(), 100000, 20);
    for (auto _ : state) {
        doc->GetView()->ClearTable();
        afx::ProcessPendingEvents();
        doc->GetView()->FillTable();
        afx::ProcessPendingEvents();  // the view shows the rows
    }
}
BENCHMARK(BM_FillListView)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ComputeMeanVariance(benchmark::State& state) {
    CTabulonDoc* doc = StartedDocument();
    Fill(doc->GetDataSet(), 100000, 20);
    for (auto _ : state) doc->GetDataSet()->ComputeMeanVariance();
}
BENCHMARK(BM_ComputeMeanVariance)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
