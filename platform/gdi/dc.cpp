#include "platform/gdi/dc.h"

#include <QGuiApplication>
#include <QScreen>
#include <cerrno>
#include <unordered_set>

#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/wnd.h"

namespace afx::gdi {

namespace {
std::unordered_set<DeviceContext*>& LiveContexts() {
    static auto* live = new std::unordered_set<DeviceContext*>;
    return *live;
}

void HoldState(const State& s) {
    for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap, s.palette}) Hold(h);
}

void UnholdState(const State& s) {
    for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap, s.palette}) Unhold(h);
}
}  // namespace

Device ScreenDevice() {
    Device d;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect g = screen->geometry();
        d.horzRes = g.width();
        d.vertRes = g.height();
    }
    return d;
}

DeviceContext::DeviceContext() {
    LiveContexts().insert(this);
    state.pen = ::GetStockObject(BLACK_PEN);
    state.brush = ::GetStockObject(WHITE_BRUSH);
    state.font = ::GetStockObject(SYSTEM_FONT);
    state.palette = ::GetStockObject(DEFAULT_PALETTE);
    HoldState(state);
}

DeviceContext::~DeviceContext() {
    LiveContexts().erase(this);
    UnholdState(state);
    for (const State& s : saved) UnholdState(s);
    if (attached) attached->m_hDC = nullptr;
    if (standIn) standIn->m_hDC = nullptr;
}

DeviceContext* DeviceContext::Of(HDC dc) {
    if (!dc) return nullptr;
    auto* c = reinterpret_cast<DeviceContext*>(dc);
    return LiveContexts().count(c) ? c : nullptr;
}

HGDIOBJ DeviceContext::Select(HGDIOBJ object, bool palette) {
    Object* o = Find(object);
    if (!o || o->deletePending || (o->kind == Kind::Palette) != palette) {
        SetLastError(EINVAL);
        return nullptr;
    }
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
    case Kind::Pen: slot = &state.pen; break;
    case Kind::Brush: slot = &state.brush; break;
    case Kind::Font: slot = &state.font; break;
    case Kind::Palette: slot = &state.palette; break;
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        // A bitmap goes into one memory context at a time.
        if (!AcceptsBitmaps() || (b->selectedIn && b->selectedIn != this)) {
            SetLastError(EINVAL);
            return nullptr;
        }
        slot = &state.bitmap;
        break;
    }
    }
    HGDIOBJ old = *slot;
    if (old == object) return old;
    Hold(object);
    if (o->kind == Kind::Bitmap) static_cast<Bitmap*>(o)->selectedIn = this;
    *slot = object;
    if (o->kind == Kind::Bitmap) BitmapChanged();
    Unhold(old);
    return old;
}

int DeviceContext::Save() {
    saved.push_back(state);
    HoldState(state);
    return static_cast<int>(saved.size());
}

bool DeviceContext::Restore(int level) {
    const int count = static_cast<int>(saved.size());
    int index = level < 0 ? count + level : level - 1;
    if (index < 0 || index >= count) {
        SetLastError(EINVAL);
        return false;
    }
    State old = state;
    state = saved[static_cast<size_t>(index)];
    std::vector<State> dropped(saved.begin() + index + 1, saved.end());
    saved.resize(static_cast<size_t>(index));
    if (old.bitmap != state.bitmap) BitmapChanged();
    UnholdState(old);
    for (const State& s : dropped) UnholdState(s);
    return true;
}

bool DeviceContext::MoveTo(int x, int y) {
    state.position = {x, y};
    return true;
}

int DeviceContext::StartDoc(const CString&) {
    SetLastError(EINVAL);
    return SP_ERROR;
}
int DeviceContext::StartPage() { return StartDoc(CString()); }
int DeviceContext::EndPage() { return StartDoc(CString()); }
int DeviceContext::EndDoc() { return StartDoc(CString()); }
int DeviceContext::AbortDoc() { return StartDoc(CString()); }

}  // namespace afx::gdi

using afx::gdi::DeviceContext;

namespace {
DeviceContext* Ctx(HDC dc) { return DeviceContext::Of(dc); }
}  // namespace

// --- Plain functions -----------------------------------------------------------------------------

HDC GetDC(HWND window) {
    if (!window) return (new afx::gdi::ScreenContext)->Handle();
    QWidget* w = afx::ToWidget(window);
    auto* c = new afx::gdi::WindowContext(w);
    c->window = window;
    return c->Handle();
}

int ReleaseDC(HWND, HDC dc) {
    DeviceContext* c = Ctx(dc);
    if (!c) return 0;
    delete c;
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    afx::gdi::Device reference = afx::gdi::ScreenDevice();
    if (dc) {
        DeviceContext* c = Ctx(dc);
        if (!c) {
            SetLastError(EINVAL);
            return nullptr;
        }
        reference = c->Caps();
    }
    return (new afx::gdi::MemoryContext(reference))->Handle();
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* c = Ctx(dc);
    if (!c) return FALSE;
    delete c;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* c = Ctx(dc);
    if (!c) {
        SetLastError(EINVAL);
        return nullptr;
    }
    return c->Select(object);
}

int GetDeviceCaps(HDC dc, int index) {
    DeviceContext* c = Ctx(dc);
    if (!c) return 0;
    afx::gdi::Device d = c->Caps();
    switch (index) {
    case HORZRES: return d.horzRes;
    case VERTRES: return d.vertRes;
    case BITSPIXEL: return d.bitsPixel;
    case PLANES: return d.planes;
    case LOGPIXELSX: return d.dpiX;
    case LOGPIXELSY: return d.dpiY;
    default: return 0;
    }
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    DeviceContext* c = Ctx(dc);
    if (!c) {
        SetLastError(EINVAL);
        return nullptr;
    }
    return static_cast<HPALETTE>(c->Select(palette, true));
}

UINT RealizePalette(HDC dc) {
    DeviceContext* c = Ctx(dc);
    auto* p = c ? afx::gdi::FindAs<afx::gdi::Palette>(c->state.palette, afx::gdi::Kind::Palette) : nullptr;
    return p ? static_cast<UINT>(p->entries.size()) : 0;
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    DeviceContext* c = Ctx(dc);
    if (!c || !bits || !info) {
        SetLastError(EINVAL);
        return 0;
    }
    RECT dest{xDest, yDest, xDest + destWidth, yDest + destHeight};
    RECT src{xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight};
    return c->DIBits(dest, src, info, bits, usage, rop);
}

// --- CDC -------------------------------------------------------------------------------------------

CDC::~CDC() {
    if (m_hDC) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC dc) {
    DeviceContext* c = Ctx(dc);
    if (!c) return nullptr;
    if (c->attached) return c->attached;
    if (!c->standIn) {
        c->standIn = std::make_unique<CDC>();
        c->standIn->m_hDC = dc;
    }
    return c->standIn.get();
}

BOOL CDC::Attach(HDC dc) {
    DeviceContext* c = Ctx(dc);
    if (!c || m_hDC) return FALSE;
    m_hDC = dc;
    if (!c->attached) c->attached = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    if (DeviceContext* c = Ctx(dc); c && c->attached == this) c->attached = nullptr;
    return dc;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    if (m_hDC) return FALSE;
    HDC h = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    return h ? Attach(h) : FALSE;
}

BOOL CDC::IsPrinting() const {
    DeviceContext* c = Ctx(m_hDC);
    return c && c->printing;
}

CPen* CDC::SelectObject(CPen* pen) {
    if (!pen) return nullptr;
    return static_cast<CPen*>(CGdiObject::FromHandle(SelectObject(pen->m_hObject)));
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (!brush) return nullptr;
    return static_cast<CBrush*>(CGdiObject::FromHandle(SelectObject(brush->m_hObject)));
}

CFont* CDC::SelectObject(CFont* font) {
    if (!font) return nullptr;
    return static_cast<CFont*>(CGdiObject::FromHandle(SelectObject(font->m_hObject)));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!bitmap) return nullptr;
    return static_cast<CBitmap*>(CGdiObject::FromHandle(SelectObject(bitmap->m_hObject)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(index)));
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL forceBackground) {
    if (!palette) return nullptr;
    return CPalette::FromHandle(::SelectPalette(m_hDC, static_cast<HPALETTE>(palette->m_hObject), forceBackground));
}

UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }

COLORREF CDC::SetTextColor(COLORREF colour) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return CLR_INVALID;
    COLORREF old = c->state.textColor;
    c->state.textColor = colour & 0x00FFFFFFu;
    return old;
}

COLORREF CDC::GetTextColor() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.textColor : CLR_INVALID;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return CLR_INVALID;
    COLORREF old = c->state.bkColor;
    c->state.bkColor = colour & 0x00FFFFFFu;
    return old;
}

COLORREF CDC::GetBkColor() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.bkColor : CLR_INVALID;
}

int CDC::SetBkMode(int mode) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int old = c->state.bkMode;
    c->state.bkMode = mode;
    return old;
}

int CDC::GetBkMode() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.bkMode : 0;
}

int CDC::SetROP2(int mode) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || mode < R2_BLACK || mode > R2_WHITE) return 0;
    int old = c->state.rop2;
    c->state.rop2 = mode;
    return old;
}

int CDC::GetROP2() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.rop2 : 0;
}

UINT CDC::SetTextAlign(UINT flags) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return GDI_ERROR;
    UINT old = c->state.textAlign;
    c->state.textAlign = flags & (TA_CENTER | TA_BASELINE);
    return old;
}

UINT CDC::GetTextAlign() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.textAlign : GDI_ERROR;
}

int CDC::SetMapMode(int mode) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || mode != MM_TEXT) {
        SetLastError(EINVAL);
        return 0;
    }
    int old = c->state.mapMode;
    c->state.mapMode = mode;
    return old;
}

int CDC::GetMapMode() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->state.mapMode : 0;
}

int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

int CDC::SaveDC() {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->Save() : 0;
}

BOOL CDC::RestoreDC(int level) {
    DeviceContext* c = Ctx(m_hDC);
    return c && c->Restore(level);
}

CPoint CDC::MoveTo(int x, int y) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return CPoint();
    CPoint old(c->state.position);
    c->MoveTo(x, y);
    return old;
}

CPoint CDC::GetCurrentPosition() const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? CPoint(c->state.position) : CPoint();
}

BOOL CDC::LineTo(int x, int y) {
    DeviceContext* c = Ctx(m_hDC);
    return c && c->LineTo(x, y);
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    DeviceContext* c = Ctx(m_hDC);
    return c && c->Rectangle(RECT{left, top, right, bottom});
}

BOOL CDC::Rectangle(const RECT* rect) { return rect && Rectangle(rect->left, rect->top, rect->right, rect->bottom); }

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    DeviceContext* c = Ctx(m_hDC);
    return c && c->Ellipse(RECT{left, top, right, bottom});
}

BOOL CDC::Ellipse(const RECT* rect) { return rect && Ellipse(rect->left, rect->top, rect->right, rect->bottom); }

BOOL CDC::Polyline(const POINT* points, int count) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !points || count < 2) return FALSE;
    return c->Polyline(std::vector<POINT>(points, points + count));
}

BOOL CDC::Polygon(const POINT* points, int count) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !points || count < 2) return FALSE;
    return c->Polygon(std::vector<POINT>(points, points + count));
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
    DeviceContext* c = Ctx(m_hDC);
    if (c && rect && brush) c->FillRect(*rect, static_cast<HBRUSH>(brush->m_hObject));
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !rect) return;
    c->state.bkColor = colour & 0x00FFFFFFu;
    c->FillSolidRect(*rect, colour & 0x00FFFFFFu);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, colour);
}

BOOL CDC::TextOut(int x, int y, const char* text, int count) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !text || count < 0) return FALSE;
    return c->TextOut(x, y, CString(text, count));
}

BOOL CDC::TextOut(int x, int y, const CString& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count, const int*) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || (!text && count > 0)) return FALSE;
    if (rect && (options & ETO_OPAQUE)) c->FillSolidRect(*rect, c->state.bkColor);
    if (count == 0) return TRUE;
    return c->TextOut(x, y, CString(text, static_cast<int>(count)));
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const int* widths) {
    return ExtTextOut(x, y, options, rect, text.GetString(), static_cast<UINT>(text.GetLength()), widths);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
    DeviceContext* c = Ctx(m_hDC);
    return c && metrics && c->TextMetrics(metrics);
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !text || !rect) return 0;
    return c->DrawText(count < 0 ? CString(text) : CString(text, count), rect, format);
}

int CDC::DrawText(const CString& text, RECT* rect, UINT format) {
    return DrawText(text.GetString(), text.GetLength(), rect, format);
}

CSize CDC::GetTextExtent(const char* text, int count) const {
    DeviceContext* c = Ctx(m_hDC);
    if (!c || !text || count < 0) return CSize();
    return c->TextExtent(CString(text, count));
}

CSize CDC::GetTextExtent(const CString& text) const { return GetTextExtent(text.GetString(), text.GetLength()); }

COLORREF CDC::GetPixel(int x, int y) const {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->Pixel(x, y) : CLR_INVALID;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return FALSE;
    DeviceContext* s = source ? Ctx(source->m_hDC) : nullptr;
    return c->Blt(RECT{x, y, x + width, y + height}, s, RECT{xSrc, ySrc, xSrc + width, ySrc + height}, rop, false);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return FALSE;
    DeviceContext* s = source ? Ctx(source->m_hDC) : nullptr;
    return c->Blt(RECT{x, y, x + width, y + height}, s, RECT{xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight}, rop,
                  true);
}

int CDC::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    return ::StretchDIBits(m_hDC, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info,
                           usage, rop);
}

int CDC::StartDoc(DOCINFO* info) {
    DeviceContext* c = Ctx(m_hDC);
    if (!c) return SP_ERROR;
    return c->StartDoc(info && info->lpszDocName ? CString(info->lpszDocName) : CString());
}

int CDC::StartDoc(const char* docName) {
    DOCINFO info{static_cast<int>(sizeof(DOCINFO)), docName, nullptr, nullptr, 0};
    return StartDoc(&info);
}

int CDC::StartPage() {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->StartPage() : SP_ERROR;
}

int CDC::EndPage() {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->EndPage() : SP_ERROR;
}

int CDC::EndDoc() {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->EndDoc() : SP_ERROR;
}

int CDC::AbortDoc() {
    DeviceContext* c = Ctx(m_hDC);
    return c ? c->AbortDoc() : SP_ERROR;
}

// --- Window contexts ------------------------------------------------------------------------------

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    // No window: the screen. A window object without a window: no context.
    if (m_hWnd || !wnd) Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CDC* CWnd::GetDC() {
    if (!m_hWnd) return nullptr;
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* dc) {
    if (!dc) return 0;
    return ::ReleaseDC(m_hWnd, dc->GetSafeHdc());
}
