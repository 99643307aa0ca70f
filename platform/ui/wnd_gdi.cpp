// The parts of CWnd that use drawing objects: the window's font, the colours a static
// control asks its window for (reflected WM_CTLCOLOR), and the cursor (WM_SETCURSOR).
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/shell.h"

namespace {

// Kept with a widget: the font given to SetFont, and the one GetFont made otherwise.
class FontHolder : public QObject {
public:
    explicit FontHolder(QWidget* w) : QObject(w) { setObjectName(Name()); }
    static const char* Name() { return "afxFontHolder"; }
    static FontHolder* Of(QWidget* w, bool create) {
        if (!w) return nullptr;
        auto* h = w->findChild<FontHolder*>(Name(), Qt::FindDirectChildrenOnly);
        return h || !create ? h : new FontHolder(w);
    }
    HGDIOBJ given = nullptr;
    CFont made;
};

LOGFONT LogFontOf(const QFont& f) {
    LOGFONT log{};
    int pixels = f.pixelSize();
    if (pixels <= 0) pixels = static_cast<int>(f.pointSizeF() * 96.0 / 72.0 + 0.5);
    log.lfHeight = -pixels;
    log.lfWeight = f.weight();
    log.lfItalic = f.italic() ? 1 : 0;
    log.lfUnderline = f.underline() ? 1 : 0;
    log.lfStrikeOut = f.strikeOut() ? 1 : 0;
    log.lfCharSet = DEFAULT_CHARSET;
    CString face = afx::FromQ(f.family());
    std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return log;
}

QWidget* g_cursorTarget = nullptr;

}  // namespace

CFont* CWnd::GetFont() const {
    FontHolder* h = FontHolder::Of(m_widget, true);
    if (!h) return nullptr;
    if (CFont* given = CFont::FromHandle(static_cast<HFONT>(h->given))) return given;
    h->given = nullptr;
    LOGFONT log = LogFontOf(m_widget->font());
    h->made.DeleteObject();
    h->made.CreateFontIndirect(&log);
    return &h->made;
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    FontHolder* h = FontHolder::Of(m_widget, true);
    if (!h || !font) return;
    LOGFONT log;
    if (!font->GetLogFont(&log)) return;
    h->given = font->GetSafeHandle();
    m_widget->setFont(afx::gdi::ToQFont(log, m_widget));
    if (redraw) m_widget->update();
}

namespace afx {

QWidget* CursorTarget() { return g_cursorTarget; }

void HostSetCursor(CWnd* wnd, QWidget* w) {
    if (!wnd->FindMessageEntry(WM_SETCURSOR, 0, 0)) return;
    QWidget* previous = g_cursorTarget;
    g_cursorTarget = w;
    LRESULT handled = wnd->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(ToHwnd(w)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    // Not handled: the window's own cursor, the arrow.
    if (!handled) ::SetCursor(LoadStandardCursor(IDC_ARROW));
    g_cursorTarget = previous;
}

void HostCtlColor(CWnd* wnd, QWidget* w) {
    if (!wnd->FindMessageEntry(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0)) return;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr)) return;
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    dc.SetBkColor(GetSysColor(COLOR_BTNFACE));
    LRESULT result = 0;
    if (!wnd->OnChildNotify(WM_CTLCOLOR, reinterpret_cast<WPARAM>(&dc), CTLCOLOR_STATIC, &result)) return;
    // The text in the text colour, on the brush's colour unless the brush is hollow.
    QPalette palette = w->palette();
    bool changed = false;
    QColor text = gdi::ToQColor(dc.GetTextColor());
    if (palette.color(QPalette::WindowText) != text) {
        palette.setColor(QPalette::WindowText, text);
        changed = true;
    }
    LOGBRUSH brush{};
    bool fill = result && ::GetObject(reinterpret_cast<HGDIOBJ>(result), sizeof brush, &brush) && brush.lbStyle != BS_NULL;
    if (fill && palette.color(QPalette::Window) != gdi::ToQColor(brush.lbColor)) {
        palette.setColor(QPalette::Window, gdi::ToQColor(brush.lbColor));
        changed = true;
    }
    // Changing the palette asks for one more paint, which finds nothing to change.
    if (changed) w->setPalette(palette);
    if (w->autoFillBackground() != fill) w->setAutoFillBackground(fill);
}

}  // namespace afx
