#include "charts/special_pages.h"

#include <algorithm>
#include <cmath>

#include "charts/draw_errors.h"
#include "ui/bitmap_print.h"

// --- CScreePlotChart ---------------------------------------------------------------------------

CScreePlotChart::CScreePlotChart(const std::vector<CString>& factorLabels, const std::vector<float>& eigenvalues,
                                 const CString& chartName)
    : CPlotChart(chartName), labels(factorLabels), values(eigenvalues) {
    title = "ScreePlot";
    float greatest = 0.0f;
    for (size_t i = 0; i < values.size(); ++i)
        if (i == 0 || values[i] > greatest) greatest = values[i];
    xTickCount = static_cast<int>(labels.size());
    ComputeAxisScale(0.0f, greatest, yLow, yHigh, yStep, yTickCount, yHasDecimals, yDecimals);
}

void CScreePlotChart::Draw(CDC* dc, int l, int t, int r, int b) {
    if (!dc) return;
    DrawFrame(dc, l, t, r, b);
    const CRect frame(l, t, r, b);
    DrawXTicks(dc, frame);
    DrawYTicks(dc, frame);
    DrawYLabels(dc, frame, originY);
    for (size_t i = 0; i < labels.size(); ++i) {
        const int x = originX + static_cast<int>(i + 1) * xTickSpacing;
        TextOutAt(dc, labels[i], x - 3 * labels[i].GetLength(), originY + 3);
    }
    for (size_t i = 0; i < values.size(); ++i) {
        // A value without a position on the scale has no dot and no line to it.
        if (!HasDeviceY(values[i])) continue;
        const int x = originX + static_cast<int>(i + 1) * xTickSpacing;
        const int y = WorldToDeviceY(values[i]);
        DrawDot(dc, x, y, RGB(0, 0, 128));
        if (i + 1 < values.size() && HasDeviceY(values[i + 1])) {
            const int nextX = originX + static_cast<int>(i + 2) * xTickSpacing;
            DrawColouredLine(dc, x, y, nextX, WorldToDeviceY(values[i + 1]), RGB(255, 0, 0));
        }
    }
}

void CScreePlotChart::AfterPaint(CWnd* wnd) {
    if (owned || !wnd) return;
    auto* image = new CBitmap;
    CaptureWindowBitmap(wnd, image);
    SetOwned(image);
}

// --- CCorrelationPage --------------------------------------------------------------------------

CCorrelationPage::CCorrelationPage() : CPlotPage(CString()) {}

void CCorrelationPage::Draw(CDC* dc, int l, int t, int r, int b) {
    if (!dc) return;
    CPlotPage::Draw(dc, l, t, r, b);
    const COLORREF old = dc->SetTextColor(RGB(255, 0, 0));
    dc->TextOut(l + 15, t + 3, CString("Spearman"));
    dc->SetTextColor(RGB(0, 0, 255));
    dc->TextOut(l + 15, t + 17, CString("Clássica (Pearson)"));
    dc->SetTextColor(old);
}

// --- CFactorialPlaneColumnsChart ---------------------------------------------------------------

CFactorialPlaneColumnsChart::CFactorialPlaneColumnsChart(const CPointSeries& points, const CString& xAxisTitle,
                                                         const CString& yAxisTitle, const CString& chartName)
    : CScatterChart(points, xAxisTitle, yAxisTitle, chartName) {
    xLow = -1.6f;
    xHigh = 1.6f;
    xStep = 0.4f;
    xTickCount = 8;
    yLow = -1.2f;
    yHigh = 1.2f;
    yStep = 0.3f;
    yTickCount = 8;
    xHasDecimals = yHasDecimals = 1;
    xDecimals = yDecimals = 1;
    title = "Plano Factorial (Colunas)";
    showZeroLines = 1;
}

void CFactorialPlaneColumnsChart::Draw(CDC* dc, int l, int t, int r, int b) {
    if (!dc) return;
    DrawFrame(dc, l, t, r, b);
    // The x axis at the y axis' scale, centred in the frame, so that the circle is round
    // (the float window's last bits must not cost the axis a pixel).
    const double ySpan = static_cast<double>(yHigh) - yLow;
    const int w = ySpan == 0.0 ? plotWidth
                               : static_cast<int>(std::floor(
                                     (tickOriginY - lastYTickY) * (static_cast<double>(xHigh) - xLow) / ySpan + 1e-3));
    tickOriginX = l + leftMargin + (r - edgeMargin - leftMargin - w) / 2;
    xTickSpacing = w / std::max(1, xTickCount);
    lastXTickX = tickOriginX + xTickSpacing * std::max(1, xTickCount);
    DrawPoints(dc, l, t, r, b);
    CGdiObject* before = dc->SelectStockObject(HOLLOW_BRUSH);
    if (!before) ReportDrawLastError();
    dc->Ellipse(WorldToDeviceX(-1.0), WorldToDeviceY(1.0), WorldToDeviceX(1.0), WorldToDeviceY(-1.0));
    if (before) dc->SelectObject(before->m_hObject);
}
