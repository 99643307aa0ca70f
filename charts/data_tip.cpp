#include "charts/data_tip.h"

#include <algorithm>

#include "platform/ui/hooks.h"
#include "platform/ui/shell.h"

namespace {
// Where the tip goes from the pointer, unless it would leave the screen.
int g_defaultOffsetX = 10;
int g_defaultOffsetY = 5;

CFont* g_font = nullptr;
HHOOK g_hook = nullptr;
int g_count = 0;
TFXDataTip* g_showing = nullptr;

// The tip font: the description of the stock variable-pitch font.
void CreateTipFont() {
    if (g_font) return;
    LOGFONT log{};
    if (!::GetObject(::GetStockObject(ANSI_VAR_FONT), sizeof log, &log)) return;
    auto* font = new CFont;
    if (font->CreateFontIndirect(&log)) g_font = font;
    else delete font;
}
}  // namespace

BEGIN_MESSAGE_MAP(TFXDataTip, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_CANCELMODE, &TFXDataTip::OnCancelMode)
    ON_MESSAGE(WM_LBUTTONDOWN, &TFXDataTip::OnLButtonDownMsg)
    ON_MESSAGE(WM_LBUTTONUP, &TFXDataTip::OnLButtonUpMsg)
    ON_MESSAGE(WM_LBUTTONDBLCLK, &TFXDataTip::OnLButtonDblClkMsg)
    ON_MESSAGE(WM_RBUTTONDOWN, &TFXDataTip::OnRButtonDownMsg)
    ON_MESSAGE(WM_RBUTTONUP, &TFXDataTip::OnRButtonUpMsg)
    ON_MESSAGE(WM_RBUTTONDBLCLK, &TFXDataTip::OnRButtonDblClkMsg)
    ON_MESSAGE(WM_MBUTTONDOWN, &TFXDataTip::OnMButtonDownMsg)
    ON_MESSAGE(WM_MBUTTONUP, &TFXDataTip::OnMButtonUpMsg)
    ON_MESSAGE(WM_MBUTTONDBLCLK, &TFXDataTip::OnMButtonDblClkMsg)
END_MESSAGE_MAP()

TFXDataTip::TFXDataTip() : offsetX(g_defaultOffsetX), offsetY(g_defaultOffsetY) {
    CreateTipFont();
    if (!g_hook) g_hook = SetWindowsHookEx(WH_KEYBOARD, &TFXDataTip::KeyboardHook, nullptr, 0);
    ++g_count;
}

TFXDataTip::~TFXDataTip() {
    if (GetSafeHwnd()) DestroyWindow();
    if (g_showing == this) g_showing = nullptr;
    owner = nullptr;
    if (--g_count == 0 && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

int TFXDataTip::Count() { return g_count; }
bool TFXDataTip::KeyboardHooked() { return g_hook != nullptr; }
TFXDataTip* TFXDataTip::Showing() { return g_showing; }

BOOL TFXDataTip::Create(CWnd* ownerWnd) {
    owner = ownerWnd;
    CWnd* parent = owner && owner->GetSafeHwnd() ? owner : nullptr;
    created = CreateEx(WS_EX_TOOLWINDOW, nullptr, "", WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS, CRect(0, 0, 10, 10),
                       parent, 0)
                  ? 1
                  : 0;
    return created;
}

BOOL TFXDataTip::DestroyWindow() {
    Hide();
    if (hoverTimer) KillTimer(kHoverTimer);
    if (clickTimer) KillTimer(kClickTimer);
    hoverTimer = clickTimer = 0;
    created = 0;
    return CWnd::DestroyWindow();
}

bool TFXDataTip::IsShown() const { return g_showing == this && IsWindowVisible(); }

void TFXDataTip::OnOwnerMouseMove(int x, int y) {
    if (!enabled || !owner || !owner->GetSafeHwnd()) return;
    CRect client;
    owner->GetClientRect(&client);
    if (!client.PtInRect(CPoint(x, y))) return;
    CPoint screen(x, y);
    owner->ClientToScreen(&screen);
    if (screen.x == lastX && screen.y == lastY) return;
    lastX = screen.x;
    lastY = screen.y;
    if (hoverTimer) KillTimer(kHoverTimer);
    hoverTimer = SetTimer(kHoverTimer, kHoverDelay);
}

void TFXDataTip::OnTimer(UINT_PTR id) {
    if (id == kHoverTimer) {
        KillTimer(kHoverTimer);
        hoverTimer = 0;
        POINT cursor;
        if (GetCursorPos(&cursor) && cursor.x == lastX && cursor.y == lastY) Show();
    } else if (id == kClickTimer) {
        KillTimer(kClickTimer);
        clickTimer = 0;
        Hide();
    }
}

void TFXDataTip::Show() {
    if (!created) return;
    if (g_showing) g_showing->Hide();
    if (lines.empty()) return;
    CClientDC dc(this);
    CFont* old = g_font ? dc.SelectObject(g_font) : nullptr;
    int width = 0, height = 0;
    for (const CString& line : lines) {
        const CSize size = dc.GetTextExtent(line);
        width = std::max<int>(width, size.cx);
        height += size.cy;
    }
    const int screenWidth = dc.GetDeviceCaps(HORZRES);
    if (old) dc.SelectObject(old);
    CRect r(lastX + 5, lastY, lastX + 5 + width, lastY + height);
    r.InflateRect(4, 2);
    // Near the right edge of the screen the tip goes left of the pointer.
    if (r.right > screenWidth) r.OffsetRect(-r.Width(), 0);
    else r.OffsetRect(offsetX, offsetY);
    SetCapture();
    SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    hoverRect = CRect(lastX - 2, lastY - 2, lastX + 2, lastY + 2);
    g_showing = this;
    Invalidate();
}

void TFXDataTip::Hide() {
    if (!GetSafeHwnd()) return;
    ShowWindow(SW_HIDE);
    if (hoverTimer) KillTimer(kHoverTimer);
    hoverTimer = 0;
    if (GetCapture() == this) ReleaseCapture();
    if (g_showing == this) g_showing = nullptr;
}

void TFXDataTip::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_INFOBK));
    CFont* old = g_font ? dc.SelectObject(g_font) : nullptr;
    dc.SetBkColor(GetSysColor(COLOR_INFOBK));
    dc.SetTextColor(GetSysColor(COLOR_INFOTEXT));
    dc.SetTextAlign(TA_CENTER);
    int y = 1;
    for (const CString& line : lines) {
        dc.TextOut(client.Width() / 2, y, line);
        y += dc.GetTextExtent(line).cy;
    }
    if (old) dc.SelectObject(old);
}

void TFXDataTip::OnMouseMove(UINT, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    if (!hoverRect.PtInRect(screen)) Hide();
}

LRESULT TFXDataTip::OnCancelMode(WPARAM, LPARAM) {
    Hide();
    return 0;
}

LRESULT TFXDataTip::ForwardClick(UINT message, WPARAM flags, LPARAM lParam) {
    Hide();
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ClientToScreen(&point);
    if (owner && owner->GetSafeHwnd()) {
        owner->ScreenToClient(&point);
        owner->SendMessage(message, flags, MAKELPARAM(point.x, point.y));
    }
    if (!clickTimer) clickTimer = SetTimer(kClickTimer, GetDoubleClickTime() + 100);
    return 0;
}

LRESULT TFXDataTip::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && g_showing) g_showing->Hide();
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
