// Message boxes answered at once, so the readers run headless.
#pragma once

#include "platform/ui/automation.h"

inline void QuietMessageBoxes() {
    static bool done = false;
    if (done) return;
    done = true;
    afx::ScriptedUser::SetFailureReporter([](const std::string&) {});
}
