// Services of the desktop: opening a file or address with the program the desktop has
// for it (xdg-open), the system colours, and the standard mouse cursors.
#pragma once

#include <functional>

#include "platform/core/cstring.h"
#include "platform/ui/wnd.h"

namespace afx {

// How an opener run ended.
struct OpenOutcome {
    enum Kind {
        Exited,        // the opener ended by itself; value is its exit status (0: opened)
        StartFailed,   // the opener could not be started; value is the errno
        Signalled,     // the opener was killed; value is the signal
        StillRunning,  // still busy with the target when the wait ended (it is left running)
    };
    Kind kind = Exited;
    int value = 0;
};

// Opens a target with the desktop's opener. Tests install their own opener; an empty
// one restores xdg-open. Returns the opener that was installed before.
using LinkOpener = std::function<OpenOutcome(const CString& target)>;
LinkOpener SetLinkOpener(LinkOpener opener);
OpenOutcome OpenLink(const CString& target);

// Runs xdg-open with the target as its one argument (no shell) and waits for its exit
// status at most waitMs milliseconds; a program that is still running then is left to
// run (it is busy showing the target) and reaped later.
OpenOutcome RunXdgOpen(const CString& target, int waitMs = 3000);

}  // namespace afx

// System colours.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
COLORREF GetSysColor(int index);

// The desktop's work area (the primary screen less its panels), in screen coordinates:
// SystemParametersInfo(SPI_GETWORKAREA, 0, &rect, 0). FALSE without a screen.
constexpr UINT SPI_GETWORKAREA = 0x0030;
BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni);

// The mouse pointer's position in screen coordinates.
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
// The longest time between the clicks of a double-click, in milliseconds.
UINT GetDoubleClickTime();

// Standard cursors.
constexpr UINT IDC_ARROW = 32512;
constexpr UINT IDC_HAND = 32649;
HCURSOR LoadStandardCursor(UINT id);
// During WM_SETCURSOR: the cursor shown over the window the message is for. Returns the
// cursor set before.
HCURSOR SetCursor(HCURSOR cursor);
// The cursor set last.
HCURSOR GetCursor();
namespace afx {
// True while the busy pointer stands over all of the program's windows (a long load or wait).
bool IsWaitCursorShown();
}  // namespace afx
