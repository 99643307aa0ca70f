// The main of a benchmark program that starts the application.
#pragma once

#include <benchmark/benchmark.h>

#include "app/tabulon_app.h"

// Runs the benchmarks asked for on the command line; then the windows and the toolkit go,
// before the application object does at exit. Returns the program's exit status.
inline int RunApplicationBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (theApp.m_pMainWnd) afx::ShutdownTestEnvironment();
    return 0;
}
