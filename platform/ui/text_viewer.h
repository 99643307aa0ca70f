// The program's own text viewer for listings: a read-only window with a fixed-pitch font
// that shows a Windows-1252 text file, form feeds as page breaks (a rule on screen, a new
// sheet on paper), and the buttons "Copiar", "Imprimir" and "Fechar".
#pragma once

#include "platform/core/cstring.h"

namespace afx {

// Shows a text file. Modeless returns at once and leaves the viewer open; modal returns
// when the viewer is closed (under the scripted user it is only recorded). False when the
// file cannot be read.
bool ShowTextFile(const char* path, bool modal);

// The text of the most recent viewer, as shown ("\r\n" read as "\n"); empty before any.
CString LastTextViewerText();

// For tests, on the most recent viewer that is still open.
enum class TextViewerButton { Copy, Print, Close };
bool PressTextViewerButton(TextViewerButton button);
bool SaveTextViewerPng(const char* path);
int OpenTextViewerCount();
void CloseTextViewers();

}  // namespace afx
