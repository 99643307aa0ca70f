// Child processes: a program started with no arguments in a chosen folder, and the wait
// for its end. A started process is never killed: one still running when a wait gives up
// is left to run and its exit is collected later.
#pragma once

#include <functional>

#include "platform/core/cstring.h"

namespace afx {

struct ProcessHandle {
    int pid = 0;        // 0: no process (a failed start)
};

// Starts program (a path) with no arguments, folder as its current folder and its
// standard streams on /dev/null. False with *error set to the errno of the failure when
// the program cannot be started (missing, not executable, bad folder).
bool StartProcess(const char* program, const char* folder, ProcessHandle* process, int* error = nullptr);

// Whether the process has ended; when it has, *exitCode holds its exit status (128 plus
// the signal number for a process ended by a signal) and the handle is emptied.
bool ProcessEnded(ProcessHandle& process, int* exitCode = nullptr);

// Waits for the process to end, at most timeoutMs milliseconds, calling whileWaiting
// about every 20 ms. True when it ended (or the handle was empty); false at the deadline,
// when the process is left running and collected once it ends.
bool WaitForProcess(ProcessHandle& process, unsigned long timeoutMs, const std::function<void()>& whileWaiting,
                    int* exitCode = nullptr);

}  // namespace afx
