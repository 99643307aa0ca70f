// Keyboard hooks of the GUI thread: every key press and release is offered to the installed
// hooks, newest first, before any window sees it. A hook passes the key on with
// CallNextHookEx; a non-zero result keeps it from the windows.
#pragma once

#include "platform/core/win_types.h"

struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

constexpr int WH_KEYBOARD = 2;
constexpr int HC_ACTION = 0;

// Only WH_KEYBOARD on the calling thread (threadId 0 or the GUI thread) is supported.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void* instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

namespace afx {
// The message loop's call for one key event (a virtual-key code); true when a hook kept it.
bool RunKeyboardHooks(UINT vk, bool down);
// How many keyboard hooks are installed.
int KeyboardHookCount();
}  // namespace afx
