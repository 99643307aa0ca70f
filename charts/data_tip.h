// A small pop-up that shows the identifiers of the points under the mouse next to the
// pointer once it has rested on its owner for half a second. It goes as soon as the mouse
// leaves the point, a button or a key is pressed; a click on it is passed to the owner.
#pragma once

#include <vector>

#include "platform/afx.h"

class TFXDataTip : public CWnd {
public:
    static constexpr UINT_PTR kHoverTimer = 1010;
    static constexpr UINT_PTR kClickTimer = 1011;
    static constexpr UINT kHoverDelay = 500;

    TFXDataTip();
    // Hides the tip, lets go of the mouse and forgets the owner; the last tip removes the
    // keyboard hook.
    ~TFXDataTip() override;

    // The pop-up window, owned by the owner's window (or by none yet).
    using CWnd::Create;
    virtual BOOL Create(CWnd* owner);
    BOOL DestroyWindow() override;

    void ClearText() { lines.clear(); }
    void SetText(const std::vector<CString>& texts) { lines.insert(lines.end(), texts.begin(), texts.end()); }
    const std::vector<CString>& GetLines() const { return lines; }
    // The mouse moved to (x, y) in the owner's client area: the hover delay starts again.
    void OnOwnerMouseMove(int x, int y);
    void Hide();
    bool IsShown() const;
    void Enable(bool on) { enabled = on ? 1 : 0; }

    // How many tips exist; whether the keyboard hook is installed.
    static int Count();
    static bool KeyboardHooked();
    // The tip showing now, if any.
    static TFXDataTip* Showing();

    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    // The client button messages: each hides the tip and goes to the owner.
    LRESULT OnLButtonDownMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_LBUTTONDOWN, flags, point); }
    LRESULT OnLButtonUpMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_LBUTTONUP, flags, point); }
    LRESULT OnLButtonDblClkMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_LBUTTONDBLCLK, flags, point); }
    LRESULT OnRButtonDownMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_RBUTTONDOWN, flags, point); }
    LRESULT OnRButtonUpMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_RBUTTONUP, flags, point); }
    LRESULT OnRButtonDblClkMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_RBUTTONDBLCLK, flags, point); }
    LRESULT OnMButtonDownMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_MBUTTONDOWN, flags, point); }
    LRESULT OnMButtonUpMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_MBUTTONUP, flags, point); }
    LRESULT OnMButtonDblClkMsg(WPARAM flags, LPARAM point) { return ForwardClick(WM_MBUTTONDBLCLK, flags, point); }

    DECLARE_MESSAGE_MAP()

private:
    void Show();
    LRESULT ForwardClick(UINT message, WPARAM flags, LPARAM point);
    static LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam);

    CWnd* owner = nullptr;
    std::vector<CString> lines;
    int offsetX, offsetY;
    CRect hoverRect;
    int lastX = -1, lastY = -1;
    int created = 0;
    int enabled = 1;
    UINT_PTR hoverTimer = 0, clickTimer = 0;
};
