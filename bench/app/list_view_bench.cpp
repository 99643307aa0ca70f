// Filling the list view with a 100,000 x 20 table, and the statistics of such a table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <random>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "bench/session.h"

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
        bench::StartToolkit();
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

// Opening a 100,000 x 20 native file and showing it in the list view.
void BM_OpenLargeFile(benchmark::State& state) {
    CTabulonDoc* doc = StartedDocument();
    static const std::string path = bench::RunPath("large.tsm");
    {
        CDataSet data;
        Fill(&data, 100000, 20);
        data.ComputeMeanVariance();
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        data.Save(ar);
    }
    for (auto _ : state) {
        state.PauseTiming();
        doc->SetModifiedFlag(FALSE);
        theApp.OnFileNew();
        afx::ProcessPendingEvents();
        state.ResumeTiming();
        theApp.OpenDocumentFile(path.c_str());
        afx::ProcessPendingEvents();
        if (!theApp.GetDocument()->HasData()) state.SkipWithError("the file was not read");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_OpenLargeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
