#include "platform/core/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/paths.h"

extern char** environ;

namespace afx {

namespace {
// Processes left running at a deadline, collected when they end so none stays a zombie.
std::vector<int>& LeftRunning() {
    static std::vector<int> pids;
    return pids;
}

void CollectLeftRunning() {
    auto& pids = LeftRunning();
    for (size_t i = 0; i < pids.size();) {
        int status = 0;
        pid_t r = waitpid(pids[i], &status, WNOHANG);
        if (r == pids[i] || (r < 0 && errno == ECHILD)) pids.erase(pids.begin() + static_cast<long>(i));
        else ++i;
    }
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}
}  // namespace

bool StartProcess(const char* program, const char* folder, ProcessHandle* process, int* error) {
    CollectLeftRunning();
    process->pid = 0;
    std::string path = NativePath(program ? program : "");
    std::string dir = NativePath(folder ? folder : "");
    // posix_spawn reports a missing program only through the child's exit status on some
    // systems; look first, so the failure is known at once.
    if (access(path.c_str(), X_OK) != 0) {
        if (error) *error = errno;
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error) *error = rc;
        return false;
    }
    process->pid = pid;
    return true;
}

bool ProcessEnded(ProcessHandle& process, int* exitCode) {
    if (process.pid == 0) return true;
    int status = 0;
    pid_t r = waitpid(process.pid, &status, WNOHANG);
    if (r == 0) return false;
    if (exitCode) *exitCode = r == process.pid ? ExitCodeOf(status) : -1;
    process.pid = 0;
    return true;
}

bool WaitForProcess(ProcessHandle& process, unsigned long timeoutMs, const std::function<void()>& whileWaiting,
                    int* exitCode) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (ProcessEnded(process, exitCode)) return true;
        if (Clock::now() >= deadline) {
            LeftRunning().push_back(process.pid);
            process.pid = 0;
            return false;
        }
        if (whileWaiting) whileWaiting();
        auto left = deadline - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(20)));
    }
}

}  // namespace afx
