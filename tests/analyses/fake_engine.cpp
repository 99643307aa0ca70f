// A stand-in engine for the runner tests. Started with no arguments, it writes the
// listing "<name>.prn" in its current folder (name: its program name less ".exe"): the
// folder it ran in, where its standard output went, and a second page after a form feed.
// Files in the folder steer it: "sleep_ms" makes it wait that many milliseconds first;
// "<name>.out" is copied to its results file "<name>.tmp"; "exit_code" gives its exit
// status (0 without it); "signal" ends it by that signal.
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

int main(int, char** argv) {
    std::string name = argv[0];
    name = name.substr(name.find_last_of('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
    long ms = 0;
    if (std::ifstream sleep("sleep_ms"); sleep >> ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    char folder[4096] = "";
    if (!getcwd(folder, sizeof folder)) return 2;
    char out[4096] = "";
    ssize_t n = readlink("/proc/self/fd/1", out, sizeof out - 1);
    out[n > 0 ? n : 0] = '\0';
    {
        std::ofstream listing(name + ".prn", std::ios::binary);
        listing << " Listagem de " << name << "\r\n pasta " << folder << "\r\n saida " << out << "\r\n"
                << "\f Vers\xE3o 7.00\r\n";
    }
    if (std::ifstream results(name + ".out", std::ios::binary); results) {
        std::ofstream copy(name + ".tmp", std::ios::binary);
        copy << results.rdbuf();
    }
    int signal = 0;
    if (std::ifstream steer("signal"); steer >> signal) std::raise(signal);
    int status = 0;
    if (std::ifstream steer("exit_code"); steer >> status) return status;
    return 0;
}
