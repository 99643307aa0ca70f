// Message boxes.
#pragma once

#include "platform/core/cstring.h"

class CWnd;

// Shows a message box owned by the main window; returns IDOK, IDCANCEL, IDYES or IDNO.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = (UINT)-1);

// A short sound that signals a refused action.
void MessageBeep(UINT type);

namespace afx {
int ShowMessageBox(CWnd* owner, const char* text, const char* caption, UINT type);
// How many message boxes have been shown (answered, under the scripted user) so far.
unsigned MessageBoxesShown();
// The caption of the program's message boxes.
CString AppTitle();
}  // namespace afx
