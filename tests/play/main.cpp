// tabulon_play SCRIPT: starts Tabulon in a fresh start folder, plays SCRIPT through the
// scripted user and exits 0 when everything went as written, 1 on any failure (one line
// each on standard error) and 2 when the script cannot be read.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "app/tabulon_app.h"
#include "tests/play/player.h"
#include "tests/play/script.h"

namespace fs = std::filesystem;

namespace {

void WriteStderr(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(2, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

// Ends a run that overstays its limit, even when the GUI thread is blocked: it runs on its
// own thread and leaves with _exit, keeping the run's folder for a look.
class Watchdog {
public:
    Watchdog(std::string script, std::string tmp, int seconds)
        : m_script(std::move(script)), m_tmp(std::move(tmp)), m_seconds(seconds), m_thread([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::seconds(m_seconds), [this] { return m_done; })) return;
        int line = play::g_playingLine, dialog = play::g_dialogLine;
        std::string where = line > 0 ? m_script + ":" + std::to_string(line) + ": " : m_script + ": ";
        std::string what = "timeout: the run took longer than " + std::to_string(m_seconds) + " s";
        if (line == 0) what += " (while starting Tabulon)";
        if (dialog > 0 && dialog != line) what += " (in the dialog answers of line " + std::to_string(dialog) + ")";
        WriteStderr(where + what + "\ntabulon_play: kept " + m_tmp + "\n");
        _exit(1);
    }

    std::string m_script, m_tmp;
    int m_seconds;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;
};

// Links the engine programs of the build into the run's own dados folder.
bool LinkEngines(const play::Script& script, const fs::path& dados, std::string* error) {
    fs::create_directories(dados);
    std::vector<std::string> names = script.engines;
    if (!script.enginesGiven) {
        std::error_code ec;
        // Only the programs: files that Tabulon run from build/ left there (Dados.dat, a
        // listing) would be shared by every run through their links.
        for (const auto& entry : fs::directory_iterator(TESMO_BUILD_DADOS_DIR, ec))
            if (entry.is_regular_file() && entry.path().extension() == ".exe")
                names.push_back(entry.path().filename().string());
    }
    for (const std::string& name : names) {
        fs::path target = fs::path(TESMO_BUILD_DADOS_DIR) / name;
        if (!fs::exists(target) && fs::exists(target.string() + ".exe")) target += ".exe";
        if (!fs::is_regular_file(target)) {
            *error = "no engine program \"" + name + "\" in " TESMO_BUILD_DADOS_DIR;
            return false;
        }
        std::error_code ec;
        fs::create_symlink(target, dados / target.filename(), ec);
        if (ec) {
            *error = "cannot link " + target.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon_play SCRIPT\n");
        return 2;
    }
    std::error_code ec;
    std::string scriptPath = fs::absolute(argv[1], ec).lexically_normal().string();
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read the script\n", scriptPath.c_str());
        return 2;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    play::Script script;
    try {
        script = play::ParseScript(text, scriptPath);
    } catch (const play::ParseError& e) {
        std::fprintf(stderr, "%s:%d: %s\n", scriptPath.c_str(), e.Line(), e.what());
        return 2;
    }

    // The run's own folder: start folder, engines, profile and home.
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tabulon-play-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "tabulon_play: cannot make a folder in %s\n", base && *base ? base : "/tmp");
        return 1;
    }
    const std::string tmp = pattern;
    Watchdog watchdog(scriptPath, tmp, script.timeoutSeconds);
    std::string error;
    int failures = 0;
    if (!LinkEngines(script, fs::path(tmp) / "dados", &error)) {
        std::fprintf(stderr, "%s: %s\n", scriptPath.c_str(), error.c_str());
        ++failures;
    }
    // The case's own files are played from a copy: what the program writes beside them is
    // the run's, and the source tree stays as it was.
    script.copy = tmp + "/caso";
    fs::copy(script.folder, script.copy, fs::copy_options::recursive, ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot copy the case's folder: %s\n", scriptPath.c_str(), ec.message().c_str());
        ++failures;
    }
    fs::create_directories(fs::path(tmp) / "config");
    fs::create_directories(fs::path(tmp) / "home");
    fs::create_directories(fs::path(tmp) / "runtime");
    fs::permissions(fs::path(tmp) / "runtime", fs::perms::owner_all, ec);
    setenv("XDG_RUNTIME_DIR", (tmp + "/runtime").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (tmp + "/config").c_str(), 1);
    setenv("HOME", (tmp + "/home").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (chdir(tmp.c_str()) != 0) {
        std::fprintf(stderr, "tabulon_play: cannot enter %s\n", tmp.c_str());
        ++failures;
    }

    if (failures == 0) {
        // Tabulon starts as its own program does, with an empty command line; its profile
        // goes to the run's XDG_CONFIG_HOME.
        afx::InitTestEnvironment(argc, argv, nullptr);
        if (!theApp.InitApplication() || !theApp.InitInstance()) {
            std::fprintf(stderr, "%s: Tabulon did not start\n", scriptPath.c_str());
            ++failures;
        } else {
            play::Player player(script, tmp);
            player.Play();
            failures += player.FailureCount();
        }
        theApp.ExitInstance();
        afx::ShutdownTestEnvironment();
    }

    fs::current_path("/", ec);
    if (failures > 0) {
        std::fprintf(stderr, "tabulon_play: kept %s\n", tmp.c_str());
        return 1;
    }
    fs::remove_all(tmp, ec);
    return 0;
}
