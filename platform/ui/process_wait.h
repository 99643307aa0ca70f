// Starting a hidden program and waiting for it from the GUI thread. While the program
// runs the windows keep painting and show a busy cursor, but mouse, keyboard and close
// requests are dropped, so nothing the user does lands in the middle of a run.
#pragma once

#include "platform/core/process.h"

namespace afx {

// StartProcess, recorded by the scripted user when one is active.
bool StartHiddenProcess(const char* program, const char* folder, ProcessHandle* process, int* error = nullptr);

// Waits for the process at most timeoutMs milliseconds, keeping the windows painted. True
// when it ended; its exit status goes to *exitCode. A process still running at the
// deadline is left running.
bool WaitForProcessPainting(ProcessHandle& process, unsigned long timeoutMs, int* exitCode = nullptr);

}  // namespace afx
