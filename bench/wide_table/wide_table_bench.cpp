// Tables of 2 rows and N variables (N = 20,000, 100,000 and 2,000,000): a text file
// imported with Ficheiro > Importar and a native file opened (up to 1,000,000 variables,
// the most a native file holds), each shown in the main window. The time from the command
// to the picture of the window, and the program's peak resident memory.
//
// Run each size in a process of its own, so that the peak is that size's:
//   wide_table_bench --benchmark_filter='BM_ImportWideTable/2000000'
// The time should grow linearly with N.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "app/data_set.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "bench/session.h"
#include "platform/ui/automation.h"
#include "res/resource_ids.h"

namespace {

constexpr int kRows = 2;

double PeakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Writes the table as import text (a name, then one digit a value: 2 x 2,000,000 is an
// 8 MB file) or as a native file (every variable quantitative). Written before the
// program starts, so that making it does not count in the peak.
std::string MakeFile(int variables, bool native) {
    std::string path = bench::RunPath("wide-" + std::to_string(variables) + (native ? ".tsm" : ".txt"));
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    if (native) {
        std::fprintf(f, "#Tesmo v7.00#\r\n-9.900000\r\n%d\r\n", variables);
        for (int v = 1; v <= variables; ++v) std::fprintf(f, "V%d\r\n1\r\n", v);
    }
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int r = 1; r <= kRows; ++r) {
        std::fprintf(f, "amostra%d", r);
        for (int v = 1; v <= variables; ++v) {
            std::fputc(' ', f);
            std::fputc('0' + digit(rng), f);
        }
        std::fputs(native ? "\r\n" : "\n", f);
    }
    std::fclose(f);
    return path;
}

void StartProgram() {
    static bool started = false;
    if (started) return;
    started = true;
    bench::StartToolkit();
    theApp.InitInstance();
    afx::ProcessPendingEvents();
}

// Runs one open (native) or import of the file and shows the window; the seconds taken.
double OpenAndShow(const std::string& path, bool native) {
    theApp.GetDocument()->SetModifiedFlag(FALSE);
    theApp.OnFileNew();
    afx::ProcessPendingEvents();
    afx::ScriptedUser user;
    if (!native)
        user.OnFileDialog([&](afx::FileDialogRequest& request) {
            request.path = path.c_str();
            return true;
        });
    auto start = std::chrono::steady_clock::now();
    if (native) theApp.OpenDocumentFile(path.c_str());
    else AfxGetMainWnd()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_IMPORT, 0), 0);
    afx::ProcessPendingEvents();
    // Drawn as the screen would show it.
    afx::SaveWindowPng(AfxGetMainWnd(), bench::RunPath("shown.png").c_str());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Run(benchmark::State& state, bool native) {
    const int variables = static_cast<int>(state.range(0));
    const std::string path = MakeFile(variables, native);
    if (path.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    StartProgram();
    double seconds = 0.0;
    for (auto _ : state) {
        seconds = OpenAndShow(path, native);
        state.SetIterationTime(seconds);
        CTabulonDoc* doc = theApp.GetDocument();
        if (!doc->HasData() || doc->GetDataSet()->GetRowCount() != kRows ||
            doc->GetDataSet()->GetVariableCount() != variables ||
            doc->GetView()->GetListCtrl().GetColumnCount() != variables + 1 ||
            doc->GetView()->GetListCtrl().GetItemCount() != kRows)
            state.SkipWithError("the table was not read and shown whole");
    }
    std::remove(path.c_str());
    state.counters["variables"] = variables;
    state.counters["open_and_show_s"] = seconds;
    state.counters["peak_RSS_MB"] = PeakResidentMB();
    state.counters["processors"] = static_cast<double>(std::thread::hardware_concurrency());
}

void BM_ImportWideTable(benchmark::State& state) { Run(state, false); }
BENCHMARK(BM_ImportWideTable)->Arg(20000)->Arg(100000)->Arg(2000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenWideTable(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_OpenWideTable)->Arg(20000)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
