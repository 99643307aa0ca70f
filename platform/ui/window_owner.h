// Which window a new top-level window of the platform belongs to, where it comes up, and
// which windows a modal one holds up.
#pragma once

class CWnd;
class QWidget;
class QWindow;

namespace afx {

// The window that asks for a new window: the modal dialog on the screen when there is one
// (a results dialog showing a listing), else the main window.
QWidget* OwnerForNewWindow();

// The window that asks for a message box or a dialog of the toolkit (the print dialog),
// which comes up above it: the given window, else the window in use (a listing viewer, say)
// unless a modal dialog holds it up, else the modal dialog on the screen, else the main
// window. A top-level window, or null.
QWidget* AskingWindow(CWnd* given);

// Makes a dialog modal before it shows. A dialog of the main window's family (every dialog
// that a command opens) holds up that family only: a window that stands on its own, such as
// a listing viewer, stays usable, as a separate program would. A dialog that such a window
// asks for (the viewer's print dialog) holds up every window, so that modal runs always end
// in the reverse order of their start.
void SetModality(QWidget* dialog);

// Whether a modal window holds up this window (its top-level window) now, as the toolkit
// decided when the modal window showed.
bool BlockedByModal(const QWidget* window);
// Called for the toolkit's notices that a window was held up or let go.
void NoteBlocked(QWindow* window, bool blocked);

// Places a window that stands on its own beside the window that asked for it: on the side
// with more room, level with its top, inside the screen.
void PlaceBeside(QWidget* window, QWidget* asker);

}  // namespace afx
