// The listing viewer: from the request to show a listing of 10 MB or 50 MB to the end of the
// viewer's first paint (offscreen), and the program's resident memory against the file's size.
// Run one size per process (--benchmark_filter=ShowListing/10/ or ShowListing/50/), so that
// each peak is its own.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/session.h"
#include "platform/ui/text_viewer.h"
#include "platform/ui/winapp.h"

namespace {

// A listing as the engines write it: pages of 60 lines behind a form feed, a heading, rows of
// figures of 40 to 130 characters, Windows-1252 text and "\r\n" line ends. Written line by
// line, so that making it does not raise the peak being measured.
std::string MakeListing(long megabytes) {
    std::string path = bench::RunPath("listing-" + std::to_string(megabytes) + ".prn");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    const long target = megabytes * 1024 * 1024;
    long written = 0;
    unsigned seed = 7;
    for (long line = 0; written < target; ++line) {
        char buffer[256];
        int n;
        if (line % 60 == 0) {
            n = std::snprintf(buffer, sizeof buffer, "\f An\xE1lise das Correspond\xEAncias - p\xE1gina %ld\r\n", line / 60 + 1);
        } else {
            seed = seed * 1103515245u + 12345u;
            const int figures = 3 + static_cast<int>((seed >> 16) % 9);
            n = std::snprintf(buffer, sizeof buffer, " %6ld  amostra%-6ld", line, line % 997);
            for (int k = 0; k < figures; ++k)
                n += std::snprintf(buffer + n, sizeof buffer - static_cast<size_t>(n), " %11.6f",
                                   static_cast<double>((seed >> (k % 8)) % 100000) / 997.0 - 50.0);
            n += std::snprintf(buffer + n, sizeof buffer - static_cast<size_t>(n), "\r\n");
        }
        std::fwrite(buffer, 1, static_cast<size_t>(n), f);
        written += n;
    }
    std::fclose(f);
    sync();
    return path;
}

double PeakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_ShowListing(benchmark::State& state) {
    bench::StartToolkit();
    afx::ProcessPendingEvents();
    const std::string path = MakeListing(state.range(0));
    struct stat st{};
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        state.SkipWithError("the listing could not be written");
        return;
    }
    const double before = ResidentMB();
    double first = 0.0, fastest = 0.0, firstPeak = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const bool shown = afx::ShowTextFile(path.c_str(), false);
        afx::ProcessPendingEvents();   // shows the window and paints it
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (!shown || afx::OpenTextViewerCount() != 1) state.SkipWithError("the listing was not shown");
        if (first == 0.0) {
            first = seconds;
            firstPeak = PeakResidentMB();
        }
        fastest = fastest == 0.0 ? seconds : std::min(fastest, seconds);
        afx::CloseTextViewers();
        afx::ProcessPendingEvents();
        state.ResumeTiming();
    }
    const double fileMB = static_cast<double>(st.st_size) / (1024.0 * 1024.0);
    state.counters["file_MB"] = fileMB;
    state.counters["RSS_before_MB"] = before;
    state.counters["peak_RSS_MB"] = firstPeak;
    state.counters["peak_over_file"] = firstPeak / fileMB;
    state.counters["growth_over_file"] = (firstPeak - before) / fileMB;
    state.counters["first_s"] = first;
    state.counters["fastest_s"] = fastest;
    std::remove(path.c_str());
}
BENCHMARK(BM_ShowListing)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
