// The program's own text viewer for listings: a read-only window with a fixed-pitch font
// that shows a Windows-1252 text file, form feeds as page breaks (a rule on screen, a new
// sheet on paper), and the buttons "Copiar", "Imprimir" and "Fechar". Only the lines in view
// are drawn, so a listing of any length opens at once.
#pragma once

#include "platform/core/cstring.h"
#include "platform/core/win_types.h"

class CWnd;
class QWidget;

namespace afx {

// Shows a text file. Modeless returns at once and leaves the viewer open; modal returns
// when the viewer is closed (under the scripted user it is only recorded). The busy pointer
// stands from the call until the listing is first drawn. False when the file cannot be read;
// a file that is not a regular file (a named pipe, a device) or that holds a zero byte is
// refused with a message first, and then *told (when given) is set, so that the caller
// adds no message of its own.
bool ShowTextFile(const char* path, bool modal, bool* told = nullptr);

// The text of the most recent viewer while it is open, as shown ("\r\n" read as "\n");
// empty otherwise.
CString LastTextViewerText();

// The viewer opened last that is still open, or null.
QWidget* MostRecentTextViewer();

// For tests, on the most recent viewer that is still open.
enum class TextViewerButton { Copy, Print, Close };
bool PressTextViewerButton(TextViewerButton button);
bool SaveTextViewerPng(const char* path);
int OpenTextViewerCount();
void CloseTextViewers();
// Presses a key in the viewer, as TextViewerKey (automation.h) does.
bool PressTextViewerKey(UINT vk, UINT keyState = 0);
// The area that shows the text, as a window: its pixels through a DC.
CWnd* TextViewerTextArea();
// The first line in view (lines as shown, 0-based); -1 without a viewer.
int TextViewerTopLine();
// Drags the mouse with the left button from one character cell of the text to another, as
// a person selecting (lines as shown and columns 0-based; both cells in view).
bool DragInTextViewer(int fromLine, int fromColumn, int toLine, int toColumn);

}  // namespace afx
