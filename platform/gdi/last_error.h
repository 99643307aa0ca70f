// The calling thread's last-error code: failing platform calls (drawing objects, device
// contexts, bitmaps) set it; codes are errno values.
#pragma once

#include "platform/core/cstring.h"

DWORD GetLastError();
void SetLastError(DWORD code);

namespace afx {
// The system's message text for an error code, in the user's language, as Windows-1252.
CString SystemErrorText(DWORD code);
}  // namespace afx
