// What a benchmark program sets up and must take down before it ends: a folder of its own
// under the temporary folder ($TMPDIR, else /tmp) for its files, and the toolkit of the
// programs that make windows.
//
// The toolkit starts on first use (offscreen, its settings in the run's folder), and
// RunBenchmarks closes it before main returns: the windows and the toolkit must go before
// the exit handlers destroy the application object. The folder goes with them, so that a
// run leaves nothing behind.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/ui/winapp.h"

namespace bench {

struct Session {
    bool made = false;     // the folder has been asked for
    std::string folder;    // empty when it could not be made
    bool toolkit = false;  // the toolkit has started
};

inline Session& TheSession() {
    static Session session;
    return session;
}

// The run's folder, made on first use; empty when it cannot be made.
inline const std::string& RunFolder() {
    Session& session = TheSession();
    if (!session.made) {
        session.made = true;
        std::string pattern = (std::filesystem::temp_directory_path() / "tesmo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) session.folder = pattern;
    }
    return session.folder;
}

// A path named name in the run's folder; empty when there is no folder.
inline std::string RunPath(const std::string& name) {
    return RunFolder().empty() ? std::string() : RunFolder() + "/" + name;
}

// Starts the toolkit, once per process.
inline void StartToolkit() {
    Session& session = TheSession();
    if (session.toolkit) return;
    afx::InitTestEnvironment(0, nullptr, RunFolder().empty() ? nullptr : RunFolder().c_str());
    session.toolkit = true;
}

// The main of a benchmark program: runs the benchmarks that the command line chooses, then
// closes the toolkit if it started and removes the run's folder.
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Session& session = TheSession();
    if (session.toolkit) afx::ShutdownTestEnvironment();
    std::error_code ignored;
    if (!session.folder.empty()) std::filesystem::remove_all(session.folder, ignored);
    return 0;
}

}  // namespace bench
