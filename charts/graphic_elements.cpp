#include "charts/graphic_elements.h"

#include <cstdio>
#include <unordered_map>

#include "charts/draw_errors.h"
#include "charts/plot_page.h"

namespace {

CFont* g_labelFont = nullptr;
CBrush* g_blackBrush = nullptr;

CFont* MakeArial13() {
    auto* font = new CFont;
    if (!font->CreateFont(13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH, "Arial")) {
        delete font;
        return nullptr;
    }
    return font;
}

CBrush* BlackBrush() {
    if (!g_blackBrush) {
        g_blackBrush = new CBrush;
        if (!g_blackBrush->CreateSolidBrush(RGB(0, 0, 0))) {
            delete g_blackBrush;
            g_blackBrush = nullptr;
        }
    }
    return g_blackBrush;
}

// Markers of one colour share their solid brush and pen for the life of the program, so
// that a chart of many points does not make two drawing objects a point.
CBrush* ColourBrush(COLORREF colour) {
    static auto* brushes = new std::unordered_map<COLORREF, std::unique_ptr<CBrush>>;
    auto& slot = (*brushes)[colour];
    if (!slot) {
        slot = std::make_unique<CBrush>();
        if (!slot->CreateSolidBrush(colour)) slot.reset();
    }
    return slot.get();
}

CPen* ColourPen(COLORREF colour) {
    static auto* pens = new std::unordered_map<COLORREF, std::unique_ptr<CPen>>;
    auto& slot = (*pens)[colour];
    if (!slot) {
        slot = std::make_unique<CPen>();
        if (!slot->CreatePen(PS_SOLID, 1, colour)) slot.reset();
    }
    return slot.get();
}

bool Inside(const CRect& r, int left, int top, int right, int bottom) {
    return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
}

}  // namespace

// --- CChartObject ----------------------------------------------------------------------------

CChartObject::CChartObject(int ax, int ay, int left, int top, int right, int bottom)
    : x(ax), y(ay), initialX(ax), initialY(ay), boundsLeft(left), boundsTop(top), boundsRight(right),
      boundsBottom(bottom) {}

CChartObject::~CChartObject() = default;

void CChartObject::OnButtonDown(CWnd*, int, int) {}

// --- CChartElement ---------------------------------------------------------------------------

CChartElement::CChartElement(int ax, int ay, int left, int top, int right, int bottom)
    : CChartObject(ax, ay, left, top, right, bottom), frameX(ax - 2), frameY(ay) {}

void CChartElement::UpdateFrameOrigin() {
    frameX = x - 2;
    frameY = y;
}

void CChartElement::OnButtonDown(CWnd* wnd, int mx, int my) {
    SetHighlight(wnd, true);
    lastMouseX = mx;
    lastMouseY = my;
}

void CChartElement::OnButtonUp(CWnd* wnd, int, int) { SetHighlight(wnd, false); }

bool CChartElement::HitTest(int px, int py) {
    CRect r;
    GetRect(r, frameX, frameY);
    return r.PtInRect(CPoint(px, py)) != FALSE;
}

bool CChartElement::IsInsideBounds(int fx, int fy) {
    CRect r;
    GetRect(r, fx, fy);
    return Inside(r, boundsLeft, boundsTop, boundsRight, boundsBottom);
}

bool CChartElement::IsHighlighted() { return highlighted != 0; }

void CChartElement::MoveBy(int dx, int dy) {
    x += dx;
    y += dy;
    frameX += dx;
    frameY += dy;
}

bool CChartElement::Drag(CDC* dc, int mx, int my) {
    const int dx = mx - lastMouseX, dy = my - lastMouseY;
    if (!IsInsideBounds(frameX + dx, frameY + dy)) return false;
    if (dc) RestorePixels(dc);
    MoveBy(dx, dy);
    if (dc) {
        SaveAndDraw(dc);
        // The frame goes with the element, drawn inverted like the one it replaces, so that
        // the button-up erases it by drawing it once more.
        if (highlighted) DrawDottedFrame(dc);
    }
    lastMouseX = mx;
    lastMouseY = my;
    return true;
}

void CChartElement::OnMouseMove(CWnd* wnd, int mx, int my) {
    CDC* dc = CPlotChart::CreateOverlayDC(wnd);
    Drag(dc, mx, my);
    CPlotChart::ReleaseOverlayDC(wnd, dc);
}

void CChartElement::SetHighlight(CWnd* wnd, bool on) {
    if ((highlighted != 0) == on) return;
    highlighted = on ? 1 : 0;
    if (CDC* dc = CPlotChart::CreateOverlayDC(wnd)) {
        DrawDottedFrame(dc);
        CPlotChart::ReleaseOverlayDC(wnd, dc);
    }
}

void CChartElement::RestoreInitialPosition(CWnd* wnd) {
    CDC* dc = CPlotChart::CreateOverlayDC(wnd);
    if (dc) RestorePixels(dc);
    MoveBy(initialX - x, initialY - y);
    UpdateFrameOrigin();
    if (dc) SaveAndDraw(dc);
    lastMouseX = x;
    lastMouseY = y;
    CPlotChart::ReleaseOverlayDC(wnd, dc);
}

void CChartElement::DrawDottedFrame(CDC* dc) {
    CPen pen;
    if (!pen.CreatePen(PS_DOT, 1, RGB(0, 0, 0))) {
        ReportDrawLastError();
        return;
    }
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    if (!oldPen || !oldBrush) ReportDrawLastError();
    CRect r;
    GetRect(r, frameX, frameY);
    dc->Rectangle(&r);
    if (oldBrush) dc->SelectObject(oldBrush->m_hObject);
    if (oldPen) dc->SelectObject(oldPen);
}

void CChartElement::SavePixels(CDC* dc, const CRect& rect, std::unique_ptr<CBitmap>& bitmap, CRect& saved) {
    if (!dc || rect.Width() <= 0 || rect.Height() <= 0) return;
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) {
        ReportDrawLastError();
        return;
    }
    if (!bitmap) {
        bitmap = std::make_unique<CBitmap>();
        if (!bitmap->CreateCompatibleBitmap(dc, rect.Width(), rect.Height())) {
            bitmap.reset();
            ReportDrawLastError();
            return;
        }
    }
    CBitmap* old = memory.SelectObject(bitmap.get());
    memory.BitBlt(0, 0, rect.Width(), rect.Height(), dc, rect.left, rect.top, SRCCOPY);
    if (old) memory.SelectObject(old);
    saved = rect;
}

void CChartElement::PutPixelsBack(CDC* dc, CBitmap* bitmap, const CRect& saved) {
    if (!dc || !bitmap) return;
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) {
        ReportDrawLastError();
        return;
    }
    CBitmap* old = memory.SelectObject(bitmap);
    dc->BitBlt(saved.left, saved.top, saved.Width(), saved.Height(), &memory, 0, 0, SRCCOPY);
    if (old) memory.SelectObject(old);
}

// --- CChartText ------------------------------------------------------------------------------

CChartText::CChartText(int ax, int ay, const CString& label, int left, int top, int right, int bottom,
                       COLORREF colour)
    : CChartElement(ax, ay, left, top, right, bottom), textColour(colour), text(label) {}

CFont* CChartText::LabelFont() {
    if (!g_labelFont) g_labelFont = MakeArial13();
    return g_labelFont;
}

void CChartText::ReleaseBitmaps() {
    extent.reset();
    savedPixels.reset();
}

void CChartText::GetRect(CRect& rect, int fx, int fy) {
    const CSize size = extent.value_or(CSize(0, 0));
    rect = CRect(fx, fy, fx + size.cx, fy + size.cy);
}

void CChartText::Measure(CDC* dc) {
    CFont* font = LabelFont();
    CFont* before = font ? dc->SelectObject(font) : nullptr;
    CSize size = dc->GetTextExtent(text);
    if (before) dc->SelectObject(before);
    extent = CSize(size.cx + 4, size.cy);
}

void CChartText::KeepInsideBounds() {
    CRect r;
    GetRect(r, frameX, frameY);
    const int width = extent->cx, height = extent->cy;
    if (r.bottom > boundsBottom) {
        initialY -= height;
        y = initialY;
    }
    if (r.right > boundsRight) {
        initialX -= width;
        x = initialX;
    }
    if (r.top < boundsTop) {
        initialY += height;
        y = initialY;
    }
    UpdateFrameOrigin();
}

void CChartText::DrawText(CDC* dc) {
    CFont* font = LabelFont();
    CFont* before = font ? dc->SelectObject(font) : nullptr;
    if (font && !before) ReportDrawLastError();
    const COLORREF oldColour = dc->SetTextColor(textColour);
    dc->ExtTextOut(x, y, ETO_OPAQUE, nullptr, text, nullptr);
    dc->SetTextColor(oldColour);
    if (before) dc->SelectObject(before);
}

void CChartText::Draw(CDC* dc) {
    if (!dc) return;
    if (!extent) {
        Measure(dc);
        if (!IsInsideBounds(frameX, frameY)) KeepInsideBounds();
        CRect r;
        GetRect(r, frameX, frameY);
        SavePixels(dc, r, savedPixels, savedRect);
    }
    DrawText(dc);
}

void CChartText::SaveAndDraw(CDC* dc) {
    if (!dc) return;
    if (!extent) Measure(dc);
    CRect r;
    GetRect(r, frameX, frameY);
    SavePixels(dc, r, savedPixels, savedRect);
    DrawText(dc);
}

void CChartText::RestorePixels(CDC* dc) { PutPixelsBack(dc, savedPixels.get(), savedRect); }

// --- CChartShape -----------------------------------------------------------------------------

CChartShape::CChartShape(int ax, int ay, int left, int top, int right, int bottom, COLORREF c, short side)
    : CChartElement(ax, ay, left, top, right, bottom), size(side), colour(c) {}

CChartShape::CChartShape(int ax, int ay, const CString& text, int left, int top, int right, int bottom, COLORREF c,
                         short side)
    : CChartElement(ax, ay, left, top, right, bottom), size(side), colour(c),
      label(std::make_unique<CChartText>(ax + 5, ay, text, left, top, right, bottom, RGB(0, 0, 255))) {}

void CChartShape::ReleaseBitmaps() {
    if (label) label->ReleaseBitmaps();
}

bool CChartShape::MarkerHit(int px, int py) const {
    const int h = Half();
    return px >= x - h && px < x - h + size && py >= y - h && py < y - h + size;
}

bool CChartShape::HitTest(int px, int py) {
    return MarkerHit(px, py) || (labelShown && label && label->HitTest(px, py));
}

void CChartShape::OnButtonDown(CWnd* wnd, int px, int py) {
    if (labelShown && label && label->HitTest(px, py)) label->OnButtonDown(wnd, px, py);
}

void CChartShape::OnButtonUp(CWnd* wnd, int px, int py) {
    if (MarkerHit(px, py)) labelShown = labelShown ? 0 : 1;
    else if (labelShown && label && label->HitTest(px, py)) label->OnButtonUp(wnd, px, py);
}

void CChartShape::OnMouseMove(CWnd* wnd, int px, int py) {
    if (labelShown && label && label->IsHighlighted()) label->OnMouseMove(wnd, px, py);
}

void CChartShape::GetRect(CRect& rect, int fx, int fy) { rect = CRect(fx, fy, fx + 5, fy + 5); }

void CChartShape::SaveAndDraw(CDC* dc) { Draw(dc); }

void CChartShape::RestorePixels(CDC*) {}

void CChartShape::RestoreInitialPosition(CWnd* wnd) {
    // Only a shown label can have been moved; a hidden one is left alone.
    if (labelShown && label) label->RestoreInitialPosition(wnd);
}

void CChartShape::SetHighlight(CWnd* wnd, bool on) {
    if (label) label->SetHighlight(wnd, on);
}

bool CChartShape::IsPointIn(const CRect& rect) const { return rect.PtInRect(CPoint(x, y)) != FALSE; }

bool CChartShape::SelectMarkerObjects(CDC* dc, CBrush*& oldBrush, CPen*& oldPen) {
    oldBrush = nullptr;
    oldPen = nullptr;
    CGdiObject* previous = nullptr;
    if (!colourShown) {
        if (filled && BlackBrush()) previous = dc->SelectObject(BlackBrush());
        else previous = dc->SelectStockObject(HOLLOW_BRUSH);
    } else {
        if (filled && ColourBrush(colour)) previous = dc->SelectObject(ColourBrush(colour));
        else if (!filled) previous = dc->SelectStockObject(HOLLOW_BRUSH);
        if (CPen* pen = ColourPen(colour)) oldPen = dc->SelectObject(pen);
        if (!oldPen) ReportDrawLastError();
    }
    oldBrush = static_cast<CBrush*>(previous);
    if (!oldBrush) ReportDrawLastError();
    return oldBrush != nullptr;
}

void CChartShape::Draw(CDC* dc) {
    if (!dc) return;
    CBrush* oldBrush;
    CPen* oldPen;
    SelectMarkerObjects(dc, oldBrush, oldPen);
    DrawShape(dc);
    if (oldBrush) dc->SelectObject(oldBrush->m_hObject);
    if (oldPen) dc->SelectObject(oldPen);
    if (labelShown && label) label->Draw(dc);
}

void CChartRect::DrawShape(CDC* dc) {
    const int h = Half();
    dc->Rectangle(x - h, y - h, x - h + size, y - h + size);
}

void CChartPolygon::DrawShape(CDC* dc) {
    const int h = Half();
    POINT corners[3] = {{x - h, y + h}, {x, y - h}, {x + h, y + h}};
    dc->Polygon(corners, 3);
}

// --- CChartLegend ----------------------------------------------------------------------------

CChartLegend::CChartLegend(int right, int ay, int left, int top, int boundsR, int bottom,
                           const std::vector<COLORREF>* groupColours, const std::vector<int>* codes)
    : CChartElement(right, ay, left, top, boundsR, bottom), rightEdge(right), legendY(ay), colours(groupColours),
      groupCodes(codes) {
    if (groupCodes) {
        for (int code : *groupCodes) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", code);
            entryNames.emplace_back(text);
        }
    }
    font.CreateFont(13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
}

void CChartLegend::SetEntryName(int code, const CString& entryName) {
    if (!groupCodes) return;
    for (size_t i = 0; i < groupCodes->size() && i < entryNames.size(); ++i) {
        if ((*groupCodes)[i] == code) {
            entryNames[i] = entryName;
            return;
        }
    }
}

void CChartLegend::ReleaseBitmaps() {
    savedPixels.reset();
    for (auto& entry : entries)
        if (entry) entry->ReleaseBitmaps();
}

void CChartLegend::OnButtonDown(CWnd* wnd, int mx, int my) {
    CChartElement::OnButtonDown(wnd, mx, my);
    for (auto& entry : entries) {
        if (!entry) continue;
        entry->lastMouseX = mx;
        entry->lastMouseY = my;
    }
}

void CChartLegend::GetRect(CRect& rect, int fx, int fy) {
    const CSize size = boxSize.value_or(CSize(0, 0));
    rect = CRect(fx, fy - 2, fx + size.cx + 3, fy + size.cy);
}

void CChartLegend::MoveBy(int dx, int dy) {
    CChartElement::MoveBy(dx, dy);
    rightEdge += dx;
    legendY += dy;
    for (auto& entry : entries)
        if (entry) entry->MoveBy(dx, dy);
}

void CChartLegend::RestoreInitialPosition(CWnd* wnd) { CChartElement::RestoreInitialPosition(wnd); }

void CChartLegend::Layout(CDC* dc) {
    CFont* before = dc->SelectObject(&font);
    int widest = 0, height = 0;
    for (size_t i = 0; i < entryNames.size(); ++i) {
        CSize size = dc->GetTextExtent(entryNames[i]);
        if (i == 0 || size.cx > widest) {
            widest = size.cx;
            height = size.cy;
        }
    }
    if (before) dc->SelectObject(before);
    const int n = static_cast<int>(entryNames.size());
    boxSize = CSize(widest + 24, n * height + 3 * n + 11);
    x = rightEdge - boxSize->cx - 2;
    y = boundsTop + (boundsBottom - boundsTop) / 2 - boxSize->cy / 2;
    initialX = x;
    initialY = y;
    UpdateFrameOrigin();
}

void CChartLegend::AddEntry(CDC* dc, std::unique_ptr<CChartShape> marker, const CString& entryName,
                            int& currentY) {
    entries.push_back(std::move(marker));
    auto text = std::make_unique<CChartText>(x + 17, currentY - 5, entryName, boundsLeft, boundsTop, boundsRight,
                                             boundsBottom, RGB(0, 0, 0));
    CFont* before = dc->SelectObject(&font);
    const int height = dc->GetTextExtent(entryName).cy;
    if (before) dc->SelectObject(before);
    entries.push_back(std::move(text));
    currentY += height + 3;
}

void CChartLegend::BuildEntries(CDC* dc) {
    if (!entries.empty()) return;
    int currentY = y + 7;
    for (size_t i = 0; i < entryNames.size(); ++i) {
        const COLORREF c = colours && i < colours->size() ? (*colours)[i] : RGB(0, 0, 0);
        AddEntry(dc, std::make_unique<CChartRect>(x + 7, currentY, boundsLeft, boundsTop, boundsRight, boundsBottom, c, 5),
                 entryNames[i], currentY);
    }
}

void CChartLegend::DrawBox(CDC* dc) {
    CGdiObject* before = dc->SelectStockObject(HOLLOW_BRUSH);
    if (!before) ReportDrawLastError();
    dc->Rectangle(x, y, x + boxSize->cx, y + boxSize->cy);
    if (before) dc->SelectObject(before->m_hObject);
    CFont* oldFont = dc->SelectObject(&font);
    BuildEntries(dc);
    for (auto& entry : entries)
        if (entry) entry->Draw(dc);
    if (oldFont) dc->SelectObject(oldFont);
}

void CChartLegend::Draw(CDC* dc) {
    if (!dc) return;
    if (!boxSize) Layout(dc);
    // The first drawing (and the first after ReleaseBitmaps) keeps the pixels under the box.
    if (!savedPixels) SaveAndDraw(dc);
    else DrawBox(dc);
}

void CChartLegend::SaveAndDraw(CDC* dc) {
    if (!dc) return;
    if (!boxSize) Layout(dc);
    CRect r;
    GetRect(r, frameX, frameY);
    SavePixels(dc, r, savedPixels, savedRect);
    DrawBox(dc);
}

void CChartLegend::RestorePixels(CDC* dc) { PutPixelsBack(dc, savedPixels.get(), savedRect); }

// --- CRowColumnLegend ------------------------------------------------------------------------

CRowColumnLegend::CRowColumnLegend(int right, int ay, int left, int top, int boundsR, int bottom)
    : CChartLegend(right, ay, left, top, boundsR, bottom, nullptr, nullptr) {
    entryNames = {CString("Linhas"), CString("Colunas")};
}

void CRowColumnLegend::ReleaseBitmaps() {}

void CRowColumnLegend::BuildEntries(CDC* dc) {
    if (!entries.empty()) return;
    int currentY = y + 7;
    AddEntry(dc,
             std::make_unique<CChartRect>(x + 7, currentY, boundsLeft, boundsTop, boundsRight, boundsBottom,
                                          RGB(0, 0, 255), 5),
             entryNames[0], currentY);
    AddEntry(dc,
             std::make_unique<CChartPolygon>(x + 7, currentY, boundsLeft, boundsTop, boundsRight, boundsBottom,
                                             RGB(255, 0, 0), 6),
             entryNames[1], currentY);
}
