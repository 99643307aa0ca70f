// A native file of 1,000,000 rows x 20 variables (274 MB, in the page cache once written):
// read into a data set with no window, and opened and shown in the main window. The times
// of the reads and opens, the memory the table takes (its values, without the row names),
// and the program's peak resident memory against the file's size. The first argument is the
// number of rows (1,000 make a quick check that the program runs); the read's second is the
// number of digits before the point of the real values, 5, or 9 for values that the
// reader's 8-byte path leaves to the general one.
//
// The first open of a process pays for fresh memory: run each benchmark in a process of its
// own (--benchmark_filter=BM_ReadRows/1000000, then =BM_OpenAndShowRows/1000000); with
// "taskset -c 0" the reader has one thread.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <utility>
#include <random>
#include <string>
#include <thread>

#include "app/data_set.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "bench/session.h"
#include "platform/ui/automation.h"
#include "res/resources.h"

namespace {

constexpr int kVariables = 20;

// Written line by line, so that making the file does not raise the peak being measured.
// Every tenth variable is qualitative (codes 1 to 5); the rest are reals of 6 decimals with
// up to digits digits before the point (about 272 bytes a row with 5).
std::string MakeFile(int rows, int digits) {
    std::string path = bench::RunPath(std::to_string(rows) + "-rows-" + std::to_string(digits) + ".tsm");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    std::fprintf(f, "#Tesmo v7.00#\r\n-9.900000\r\n%d\r\n", kVariables);
    for (int v = 1; v <= kVariables; ++v) {
        if (v % 10 == 0) std::fprintf(f, "Grupo%d\r\n0\r\n5\r\nA 1\r\nB 2\r\nC 3\r\nD 4\r\nE 5\r\n", v);
        else std::fprintf(f, "Medida%d\r\n1\r\n", v);
    }
    std::mt19937 rng(11);
    const double range = std::pow(10.0, digits);
    std::uniform_real_distribution<double> u(-range, range);
    std::uniform_int_distribution<int> code(1, 5);
    for (int r = 1; r <= rows; ++r) {
        std::fprintf(f, "amostra%d", r);
        for (int v = 1; v <= kVariables; ++v) std::fprintf(f, " %f", v % 10 == 0 ? code(rng) : u(rng));
        std::fputs("\r\n", f);
    }
    std::fclose(f);
    sync();  // written out now, not while it is read
    return path;
}

// The process's page faults so far and its processor time in the kernel and in the program,
// in seconds.
void Usage(long* faults, double* systemSeconds, double* userSeconds) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    *faults = usage.ru_minflt + usage.ru_majflt;
    *systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    *userSeconds = static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

double PeakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The process's resident memory now, in MB.
double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The file of that many rows, made once per process.
const std::string& File(int rows, int digits = 5) {
    static std::map<std::pair<int, int>, std::string> files;
    std::string& path = files[{rows, digits}];
    if (path.empty()) path = MakeFile(rows, digits);
    return path;
}

// A data set whose row names can be dropped, so that what is left resident is its values.
struct MeasuredSet : CDataSet {
    void DropRowNames() { std::vector<CString>().swap(m_rowNames); }
};

// Reads the file into a data set as the document does (a 1 MB archive buffer), with no
// window: the reader and the statistics of every variable.
void BM_ReadRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    RegisterTabulonResources();
    const std::string& path = File(rows, static_cast<int>(state.range(1)));
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        state.SkipWithError("the file could not be written");
        return;
    }
    double first = 0.0, fastest = 0.0, tableMB = 0.0;
    for (auto _ : state) {
        malloc_trim(0);
        const double before = ResidentMB();
        auto start = std::chrono::steady_clock::now();
        MeasuredSet set;
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete, 1 << 20);
        const BOOL ok = set.Load(ar);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (!ok || set.GetRowCount() != rows || set.GetVariableCount() != kVariables)
            state.SkipWithError("the file was not read whole");
        if (first == 0.0) {
            first = seconds;
            set.DropRowNames();
            malloc_trim(0);
            tableMB = ResidentMB() - before;
        }
        fastest = fastest == 0.0 ? seconds : std::min(fastest, seconds);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = static_cast<double>(st.st_size) / (1024.0 * 1024.0);
    state.counters["first_read_s"] = first;
    state.counters["fastest_read_s"] = fastest;
    // The values alone take rows x 20 x 8 bytes.
    state.counters["numbers_MB"] = static_cast<double>(rows) * kVariables * sizeof(double) / (1024.0 * 1024.0);
    state.counters["table_MB"] = tableMB;
    state.counters["peak_RSS_MB"] = PeakResidentMB();
    state.counters["processors"] = static_cast<double>(std::thread::hardware_concurrency());
}
BENCHMARK(BM_ReadRows)->Args({1000, 5})->Args({1000000, 5})->Args({1000000, 9})->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_OpenAndShowRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    static bool started = false;
    if (!started) {
        bench::StartToolkit();
        theApp.InitInstance();
        afx::ProcessPendingEvents();
        started = true;
    }
    double before = PeakResidentMB();
    const std::string& path = File(rows);
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        state.SkipWithError("the file could not be written");
        return;
    }
    const std::string picture = bench::RunPath("shown.png");
    // The first open of the program's life pays for fresh memory; later ones reuse it.
    double first = 0.0, fastest = 0.0, firstSystem = 0.0, firstUser = 0.0;
    long firstFaults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        theApp.GetDocument()->SetModifiedFlag(FALSE);
        theApp.OnFileNew();
        afx::ProcessPendingEvents();
        state.ResumeTiming();
        long faultsBefore = 0;
        double systemBefore = 0.0, userBefore = 0.0;
        Usage(&faultsBefore, &systemBefore, &userBefore);
        auto start = std::chrono::steady_clock::now();
        theApp.OpenDocumentFile(path.c_str());
        afx::ProcessPendingEvents();
        // Drawn as the screen would show it: the visible cells are formatted now.
        afx::SaveWindowPng(AfxGetMainWnd(), picture.c_str());
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (first == 0.0) {
            first = seconds;
            long faults = 0;
            double system = 0.0, user = 0.0;
            Usage(&faults, &system, &user);
            firstFaults = faults - faultsBefore;
            firstSystem = system - systemBefore;
            firstUser = user - userBefore;
        }
        fastest = fastest == 0.0 ? seconds : std::min(fastest, seconds);
        CTabulonDoc* doc = theApp.GetDocument();
        if (!doc->HasData() || doc->GetDataSet()->GetRowCount() != rows ||
            doc->GetView()->GetListCtrl().GetItemCount() != rows)
            state.SkipWithError("the file was not read and shown whole");
        state.ResumeTiming();
    }
    double fileMB = static_cast<double>(st.st_size) / (1024.0 * 1024.0);
    double peak = PeakResidentMB();
    state.counters["file_MB"] = fileMB;
    state.counters["peak_RSS_MB"] = peak;
    state.counters["peak_over_file"] = peak / fileMB;
    state.counters["RSS_before_MB"] = before;
    state.counters["first_open_s"] = first;
    state.counters["fastest_open_s"] = fastest;
    state.counters["first_open_faults"] = static_cast<double>(firstFaults);
    state.counters["first_open_system_s"] = firstSystem;
    state.counters["first_open_user_s"] = firstUser;
}
BENCHMARK(BM_OpenAndShowRows)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
