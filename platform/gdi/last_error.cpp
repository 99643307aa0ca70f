#include "platform/gdi/last_error.h"

#include <QString>
#include <cstring>

#include "platform/ui/qt_bridge.h"

namespace {
thread_local DWORD g_lastError = 0;
}

DWORD GetLastError() { return g_lastError; }

void SetLastError(DWORD code) { g_lastError = code; }

namespace afx {
CString SystemErrorText(DWORD code) {
    char buffer[256];
    buffer[0] = '\0';
    // The GNU form returns the text (possibly a static one); the buffer is only a fallback.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    if (!text || !*text) text = "Unknown error";
    return FromQ(QString::fromLocal8Bit(text));
}
}  // namespace afx
