#include "charts/plot_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/shell.h"
#include "charts/draw_errors.h"
#include "ui/bitmap_print.h"

namespace {

CFont* g_textFont = nullptr;
CFont* g_verticalTitleFont = nullptr;
CFont* g_titleFont = nullptr;

CPen* g_gridPen = nullptr;
CPen* g_axisPen = nullptr;
CPen* g_selectionPen = nullptr;
CBrush* g_plotBrush = nullptr;

// A font of the charts; null when it cannot be created.
CFont* NewFont(int height, int escapement, int weight, const char* face) {
    auto* font = new CFont;
    if (!font->CreateFont(height, 0, escapement, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                          CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face)) {
        delete font;
        return nullptr;
    }
    return font;
}

CPen* NewPen(int style, COLORREF colour) {
    auto* pen = new CPen;
    if (!pen->CreatePen(style, 1, colour)) {
        delete pen;
        return nullptr;
    }
    return pen;
}

void CreateSharedFonts() {
    if (!g_textFont) g_textFont = NewFont(13, 0, 400, "Arial");
    if (!g_verticalTitleFont) g_verticalTitleFont = NewFont(15, 900, 800, "Times New Roman");
    if (!g_titleFont) g_titleFont = NewFont(15, 0, 800, "Times New Roman");
}

}  // namespace

// --- CPlotPage -------------------------------------------------------------------------------

CPlotPage::CPlotPage(const CString& pageName) : name(pageName) { CreateSharedFonts(); }

CPlotPage::~CPlotPage() { delete owned; }

void CPlotPage::SetOwned(CObject* object) {
    if (object == owned) return;
    delete owned;
    owned = object;
}

CFont* CPlotPage::TextFont() { return g_textFont; }
CFont* CPlotPage::VerticalTitleFont() { return g_verticalTitleFont; }
CFont* CPlotPage::TitleFont() { return g_titleFont; }

void CPlotPage::GetSelectionWorldRect(float&, float&, float&, float&) {}
void CPlotPage::CollectSelectedSamples(std::vector<CSeriesPoint>&) {}
bool CPlotPage::HasSelection() { return false; }
bool CPlotPage::HasNoPoints() { return true; }
int CPlotPage::GetPointCount() { return 1; }
void CPlotPage::ReleaseElementBitmaps() {}
void CPlotPage::AfterPaint(CWnd*) {}
void CPlotPage::ShowConditioning(bool) {}
void CPlotPage::RestoreInitialPosition(CWnd*, int) {}
int CPlotPage::ItemAt(int, int) { return -1; }
bool CPlotPage::OnMouseMove(CWnd*, int, int) { return false; }
bool CPlotPage::OnButtonDown(CWnd*, int, int) { return false; }
void CPlotPage::ShowAllLabels(bool) {}
bool CPlotPage::OnButtonUp(CWnd*, int, int) { return false; }
bool CPlotPage::GetHoverTexts(std::vector<CString>&, int, int) { return false; }

void CPlotPage::DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont) {
    if (!dc) return;
    const int width = dc->GetDeviceCaps(HORZRES);
    CFont* before = titleFont ? dc->SelectObject(titleFont) : nullptr;
    PrintTextLine(title, 2, dc, 0, width, 0);
    if (labelFont) dc->SelectObject(labelFont);
    const char* label = "Ficheiro:";
    CSize size = dc->GetTextExtent(label, 9);
    dc->TextOut(200, 7 * size.cy, label, 9);
    if (textFont) dc->SelectObject(textFont);
    CString document;
    if (CTabulonDoc* doc = theApp.GetDocument()) document = doc->GetTitle();
    dc->TextOut(220 + size.cx, 7 * size.cy + 7, document);
    if (before) dc->SelectObject(before);
}

void CPlotPage::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    CBrush face;
    CBrush* before = nullptr;
    if (face.CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) before = dc->SelectObject(&face);
    if (!before) ReportDrawLastError();
    dc->Rectangle(left, top, right, bottom);
    if (g_textFont) dc->SelectObject(g_textFont);
    dc->SetBkMode(TRANSPARENT);
    if (before) dc->SelectObject(before);
}

// --- CPlotChart ------------------------------------------------------------------------------

CPlotChart::CPlotChart(const CString& chartName) : CPlotPage(chartName) {
    bottomMargin = 40;
    leftMargin = 60;
    edgeMargin = 10;
}

CPen* CPlotChart::GridPen() { return g_gridPen; }
CPen* CPlotChart::AxisPen() { return g_axisPen; }
CPen* CPlotChart::SelectionPen() { return g_selectionPen; }
CBrush* CPlotChart::PlotBrush() { return g_plotBrush; }

void CPlotChart::CreateSharedObjects() {
    if (!g_gridPen) g_gridPen = NewPen(PS_DOT, RGB(192, 192, 192));
    if (!g_axisPen) g_axisPen = NewPen(PS_SOLID, RGB(0, 0, 0));
    if (!g_selectionPen) g_selectionPen = NewPen(PS_DOT, RGB(0, 0, 0));
    if (!g_plotBrush) {
        g_plotBrush = new CBrush;
        if (!g_plotBrush->CreateSolidBrush(0xFFFFFF)) {
            delete g_plotBrush;
            g_plotBrush = nullptr;
        }
    }
}

void CPlotChart::DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont) {
    CPlotPage::DrawHeader(dc, titleFont, labelFont, textFont);
}

void CPlotChart::Draw(CDC* dc, int left, int top, int right, int bottom) { DrawFrame(dc, left, top, right, bottom); }

void CPlotChart::DrawFrame(CDC* dc, int l, int t, int r, int b) {
    if (!dc) return;
    CPlotPage::Draw(dc, l, t, r, b);
    CreateSharedObjects();
    CBrush* before = g_plotBrush ? dc->SelectObject(g_plotBrush) : nullptr;
    dc->Rectangle(l + leftMargin, t + edgeMargin, r - edgeMargin, b - bottomMargin);
    if (before) dc->SelectObject(before);
    originX = yAxisTopX = l + leftMargin;
    originY = xAxisEndY = b - bottomMargin;
    yAxisTopY = t + edgeMargin;
    xAxisEndX = r - edgeMargin;
    // Measured from device 0: the rectangle's left and top do not enter.
    plotWidth = r - leftMargin - edgeMargin - edgeMargin;
    plotHeight = (b - bottomMargin) - edgeMargin - edgeMargin;
    const int xCount = std::max(1, xTickCount);
    const int yCount = std::max(1, yTickCount);
    xTickSpacing = plotWidth / xCount;
    yTickSpacing = plotHeight / yCount;
    tickOriginX = l + leftMargin;
    lastXTickX = tickOriginX + xTickSpacing * xCount;
    tickOriginY = b - bottomMargin;
    lastYTickY = tickOriginY - yTickSpacing * yCount;
}

namespace {
// The nice scale in the precision T of the data: the range, the step and the ticks are
// computed in T (the candidate steps in double, each rounded to T).
template <class T>
bool NiceScale(T a, T b, double& low, double& high, double& step, int& count, BYTE& hasDecimals, int& decimals) {
    if (a > b) std::swap(a, b);
    T range = b - a;
    if (range == T(0)) {
        // Every value equal: a window around the value.
        const T half = a == T(0) ? T(1) : std::fabs(a) / T(10);
        a -= half;
        b += half;
        range = b - a;
    }
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(range) || !(range > T(0))) {
        low = 0.0f;
        high = 1.0f;
        step = 0.2f;
        count = 5;
        hasDecimals = 1;
        decimals = 1;
        return false;
    }
    // Steps of 5 to 8 intervals; the leading digit is always raised by one.
    double best = 0.0;
    for (int n = 5; n <= 8; ++n) {
        const double d = static_cast<double>(range) / n;
        const double k = std::floor(std::log10(std::fabs(d)));
        const double p = std::pow(10.0, k);
        const double s = static_cast<double>(static_cast<T>((std::floor(d / p) + 1.0) * p));
        if (n == 5 || s < best) best = s;
    }
    const T tStep = static_cast<T>(best);
    const double lg = std::log10(std::fabs(static_cast<double>(tStep)));
    if (lg <= 1e-9) {
        hasDecimals = 1;
        // A step of 0.1 is 1 decimal, whatever the float's last bits say.
        decimals = std::max(0, static_cast<int>(std::ceil(std::fabs(lg) - 1e-4)));
    } else {
        hasDecimals = 0;
        decimals = 0;
    }
    count = static_cast<int>(std::floor(static_cast<double>(range) / tStep)) + 1;
    T tLow = static_cast<T>(std::floor(static_cast<double>(a) / tStep)) * tStep;
    if (tLow > a) {
        ++count;
        tLow -= tStep;
    }
    T tHigh = tLow + static_cast<T>(count) * tStep;
    if (tHigh < b) {
        ++count;
        tHigh += tStep;
    }
    low = tLow;
    high = tHigh;
    step = tStep;
    return true;
}
}  // namespace

bool CPlotChart::ComputeAxisScale(float a, float b, double& low, double& high, double& step, int& count,
                                  BYTE& hasDecimals, int& decimals) {
    return NiceScale(a, b, low, high, step, count, hasDecimals, decimals);
}

bool CPlotChart::ComputeAxisScale(double a, double b, double& low, double& high, double& step, int& count,
                                  BYTE& hasDecimals, int& decimals) {
    return NiceScale(a, b, low, high, step, count, hasDecimals, decimals);
}

CString CPlotChart::FormatTickLabel(double value, bool hasDecimals, int decimals) {
    char text[400];
    if (!hasDecimals) {
        // Truncated toward zero; "%.0f" also holds values beyond the range of an int.
        const double whole = std::trunc(value);
        std::snprintf(text, sizeof text, "%.0f", whole == 0.0 ? 0.0 : whole);
    } else {
        std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 60), value);
        // A sum of steps that lands a hair below zero is still the zero tick.
        bool zero = text[0] == '-';
        for (const char* c = text + 1; zero && *c; ++c) zero = *c == '0' || *c == '.';
        if (zero) return CString(text + 1);
    }
    return CString(text);
}

double CPlotChart::NextTick(double value, double step) const {
    return doubleScale ? value + step : static_cast<float>(value + step);
}

CString CPlotChart::TickLabel(double value, bool hasDecimals, int decimals) const {
    // A double scale's whole values beyond the digits that a double holds are written with
    // an exponent: their last figures mean nothing, and a label of 300 figures would run far
    // off the page.
    if (doubleScale && !hasDecimals && std::fabs(value) >= 1e15) return FormatString("%.15g", value);
    return FormatTickLabel(value, hasDecimals, decimals);
}

CRect CPlotChart::XLabelBox(CDC* dc, const CString& text, int position) const {
    // Centred on the tick by an estimate of 3 pixels a character.
    const CSize size = dc->GetTextExtent(text);
    const int left = position - 3 * text.GetLength();
    return CRect(left, originY + 3, left + size.cx, originY + 3 + size.cy);
}

CRect CPlotChart::LowestXLabelBox(CDC* dc, int startX) const {
    return XLabelBox(dc, TickLabel(xLow, xHasDecimals != 0, xDecimals), startX);
}

void CPlotChart::DrawYLabels(CDC* dc, const CRect& frame, int startY, const CRect* xLabel) {
    double value = yLow;
    int position = startY;
    auto draw = [&](bool lowest) {
        const CString text = TickLabel(value, yHasDecimals != 0, yDecimals);
        const CSize size = dc->GetTextExtent(text);
        // Right-aligned against the axis, 5 pixels above its tick.
        CRect box(CPoint(frame.left + leftMargin - size.cx - 5, position - 5), size);
        // The lowest label rises above the lowest x label where the two would overlap at the
        // corner (both minimums negative).
        if (lowest && xLabel && box.left < xLabel->right && xLabel->left < box.right && box.top < xLabel->bottom &&
            xLabel->top < box.bottom)
            box.OffsetRect(0, xLabel->top - box.bottom);
        TextOutAt(dc, text, box.left, box.top);
    };
    draw(true);
    for (int i = 0; i < yTickCount; ++i) {
        value = NextTick(value, yStep);
        position -= yTickSpacing;
        draw(false);
    }
    yHigh = value;
}

void CPlotChart::DrawXLabels(CDC* dc, const CRect&, int startX) {
    double value = xLow;
    int position = startX;
    auto draw = [&] {
        const CString text = TickLabel(value, xHasDecimals != 0, xDecimals);
        const CRect box = XLabelBox(dc, text, position);
        TextOutAt(dc, text, box.left, box.top);
    };
    draw();
    for (int i = 0; i < xTickCount; ++i) {
        value = NextTick(value, xStep);
        position += xTickSpacing;
        draw();
    }
    xHigh = value;
}

void CPlotChart::DrawXTicks(CDC* dc, const CRect& frame) {
    CPen* before = g_axisPen ? dc->SelectObject(g_axisPen) : nullptr;
    if (!before) ReportDrawLastError();
    const int y = frame.bottom - bottomMargin;
    for (int i = 0; i <= xTickCount; ++i) {
        const int x = tickOriginX + i * xTickSpacing;
        if (x == originX) continue;
        if (g_axisPen && !dc->SelectObject(g_axisPen)) ReportDrawLastError();
        DrawTickMark(dc, x, y, false);
        if (!g_gridPen || !dc->SelectObject(g_gridPen)) ReportDrawLastError();
        dc->MoveTo(x, y);
        dc->LineTo(x, edgeMargin + 1);
    }
    if (before && !dc->SelectObject(before)) ReportDrawLastError();
}

void CPlotChart::DrawYTicks(CDC* dc, const CRect& frame) {
    CPen* before = g_axisPen ? dc->SelectObject(g_axisPen) : nullptr;
    if (!before) ReportDrawError("Erro a seleciona Pen2");
    const int x = frame.left + leftMargin;
    for (int i = 1; i <= yTickCount; ++i) {
        const int y = tickOriginY - i * yTickSpacing;
        if (!g_axisPen || !dc->SelectObject(g_axisPen)) ReportDrawError("Erro a seleciona Pen2");
        DrawTickMark(dc, x, y, true);
        if (!g_gridPen || !dc->SelectObject(g_gridPen)) ReportDrawError("Erro a seleciona Pen3");
        dc->MoveTo(x, y);
        dc->LineTo(frame.right - edgeMargin - 1, y);
    }
    if (before && !dc->SelectObject(before)) ReportDrawError("Erro a seleciona Pen4");
}

void CPlotChart::DrawXTitle(CDC* dc, const CString& text) {
    CFont* before = g_titleFont ? dc->SelectObject(g_titleFont) : nullptr;
    CSize size = dc->GetTextExtent(text);
    const int length = text.GetLength();
    TextOutAt(dc, text, originX + (xAxisEndX - originX) / 2 - (length / 2) * 10, originY + size.cy + 6);
    if (before) dc->SelectObject(before);
}

void CPlotChart::DrawYTitle(CDC* dc, const CString& text) {
    CFont* before = g_verticalTitleFont ? dc->SelectObject(g_verticalTitleFont) : nullptr;
    const int length = text.GetLength();
    const int middle = originY - (originY - yAxisTopY) / 2;
    TextOutAt(dc, text, originX - 58, middle + 3 * (length / 2));
    if (before) dc->SelectObject(before);
}

namespace {
// How far from the origin a device position may lie: far outside any page, and far enough
// inside the int range that the offsets added in drawing cannot overflow.
constexpr long long kFarthestPosition = 1LL << 28;

// The pixels from the origin tick of a world value: (v - low) / (high - low) of the ticks'
// span; NaN or infinite when the value has no position.
double TickOffset(double v, double low, double high, int pixels) {
    const double span = high - low;
    if (span == 0.0) return std::isfinite(v) ? 0.0 : v;
    return (v - low) / span * pixels;
}

int DevicePosition(int origin, double offset) {
    if (!std::isfinite(offset)) return origin;
    const long long position = static_cast<long long>(origin) - RoundToInt(offset);
    return static_cast<int>(std::clamp(position, -kFarthestPosition, kFarthestPosition));
}
}  // namespace

int CPlotChart::WorldToDeviceX(double x) const {
    return DevicePosition(tickOriginX, TickOffset(x, xLow, xHigh, tickOriginX - lastXTickX));
}

int CPlotChart::WorldToDeviceY(double y) const {
    return DevicePosition(tickOriginY, TickOffset(y, yLow, yHigh, tickOriginY - lastYTickY));
}

bool CPlotChart::HasDeviceX(double x) const {
    return std::isfinite(TickOffset(x, xLow, xHigh, tickOriginX - lastXTickX));
}

bool CPlotChart::HasDeviceY(double y) const {
    return std::isfinite(TickOffset(y, yLow, yHigh, tickOriginY - lastYTickY));
}

double CPlotChart::DeviceToWorldX(int px) const {
    const int pixels = tickOriginX - lastXTickX;
    if (pixels == 0) return xLow;
    return (xHigh - xLow) * (tickOriginX - px) / pixels + xLow;
}

double CPlotChart::DeviceToWorldY(int py) const {
    const int pixels = tickOriginY - lastYTickY;
    if (pixels == 0) return yLow;
    return (yHigh - yLow) * (tickOriginY - py) / pixels + yLow;
}

bool CPlotChart::IsInPlotFrame(int x, int y) const {
    return x >= yAxisTopX && x < xAxisEndX && y >= yAxisTopY && y < xAxisEndY;
}

CDC* CPlotChart::CreateOverlayDC(CWnd* wnd) {
    if (!wnd || !wnd->GetSafeHwnd()) return nullptr;
    CDC* dc = wnd->GetDC();
    if (!dc) return nullptr;
    dc->SetROP2(R2_NOTXORPEN);
    dc->SetMapMode(MM_TEXT);
    dc->SetTextAlign(TA_LEFT | TA_TOP);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    return dc;
}

void CPlotChart::ReleaseOverlayDC(CWnd* wnd, CDC* dc) {
    if (wnd && dc) wnd->ReleaseDC(dc);
}

void CPlotChart::TextOutAt(CDC* dc, const CString& text, int x, int y) {
    dc->ExtTextOut(x, y, ETO_OPAQUE, nullptr, text, nullptr);
}

void CPlotChart::DrawTickMark(CDC* dc, int x, int y, bool horizontal) {
    if (horizontal) {
        dc->MoveTo(x - 3, y);
        dc->LineTo(x + 4, y);
    } else {
        dc->MoveTo(x, y - 3);
        dc->LineTo(x, y + 4);
    }
}

void CPlotChart::DrawDiamond(CDC* dc, int x, int y) {
    dc->MoveTo(x, y - 4);
    dc->LineTo(x + 4, y);
    dc->LineTo(x, y + 4);
    dc->LineTo(x - 4, y);
    dc->LineTo(x, y - 4);
}

void CPlotChart::DrawCross(CDC* dc, int x, int y) {
    dc->MoveTo(x - 3, y - 3);
    dc->LineTo(x + 4, y + 4);
    dc->MoveTo(x + 3, y - 3);
    dc->LineTo(x - 4, y + 4);
}

void CPlotChart::DrawDot(CDC* dc, int x, int y, COLORREF colour) {
    CBrush brush;
    if (!brush.CreateSolidBrush(colour)) {
        ReportDrawLastError();
        return;
    }
    CBrush* before = dc->SelectObject(&brush);
    if (!before) {
        ReportDrawLastError();
        return;
    }
    dc->Ellipse(x - 2, y - 2, x + 3, y + 3);
    dc->SelectObject(before);
}

void CPlotChart::DrawColouredLine(CDC* dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    CPen pen;
    if (!pen.CreatePen(PS_SOLID, 1, colour)) {
        ReportDrawLastError();
        return;
    }
    CPen* before = dc->SelectObject(&pen);
    if (!before) {
        ReportDrawLastError();
        return;
    }
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
    dc->SelectObject(before);
}
