#include "platform/ui/hooks.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/gdi/last_error.h"

namespace {
struct Hook {
    HOOKPROC proc;
};

// Newest first.
std::vector<Hook*>& Chain() {
    static auto* chain = new std::vector<Hook*>;
    return *chain;
}

LRESULT CallFrom(size_t index, int code, WPARAM wParam, LPARAM lParam) {
    if (index >= Chain().size()) return 0;
    return Chain()[index]->proc(code, wParam, lParam);
}
}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void*, DWORD) {
    if (idHook != WH_KEYBOARD || !proc) {
        SetLastError(EINVAL);
        return nullptr;
    }
    auto* hook = new Hook{proc};
    Chain().insert(Chain().begin(), hook);
    return reinterpret_cast<HHOOK>(hook);
}

BOOL UnhookWindowsHookEx(HHOOK handle) {
    auto* hook = reinterpret_cast<Hook*>(handle);
    auto it = std::find(Chain().begin(), Chain().end(), hook);
    if (it == Chain().end()) return FALSE;
    Chain().erase(it);
    delete hook;
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK handle, int code, WPARAM wParam, LPARAM lParam) {
    auto* hook = reinterpret_cast<Hook*>(handle);
    auto it = std::find(Chain().begin(), Chain().end(), hook);
    if (it == Chain().end()) return 0;
    return CallFrom(static_cast<size_t>(it - Chain().begin()) + 1, code, wParam, lParam);
}

namespace afx {
bool RunKeyboardHooks(UINT vk, bool down) {
    // Bit 31 of the key data: the key is being released.
    const LPARAM data = static_cast<LPARAM>(static_cast<std::uint32_t>(down ? 1u : 0xC0000001u));
    return CallFrom(0, HC_ACTION, vk, data) != 0;
}

int KeyboardHookCount() { return static_cast<int>(Chain().size()); }
}  // namespace afx
