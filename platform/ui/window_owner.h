// Which window a new top-level window of the platform (a text viewer) belongs to.
#pragma once

class CWnd;
class QWidget;

namespace afx {

// The window that asks for a new window: the modal dialog on the screen when there is one
// (a results dialog showing a listing), else the main window. A window that belongs to the
// modal dialog comes up above it and takes input while it stays open.
QWidget* OwnerForNewWindow();

// The window that asks for a message box or a dialog of the toolkit (the print dialog),
// which comes up above it: the given window, else the window in use (a listing viewer, say)
// unless a modal dialog that does not own it stands above it, else the modal dialog on the
// screen, else the main window. A top-level window, or null.
QWidget* AskingWindow(CWnd* given);

// Keeps a modeless window open when the dialog it belongs to closes: it moves to the main
// window, where it stays where it was.
void OutliveOwner(QWidget* window);

}  // namespace afx
