#include "charts/boxplot_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CBoxPlotChart::CBoxPlotChart(COrderStatistics* stats, int position, int identify, const CString& pageName,
                             int divisor)
    : CPlotChart(pageName), statistics(stats), widthDivisor(std::max(1, divisor)), identifyOutliers(identify),
      variable(position) {
    title = "BoxPlot";
    mean = stats->GetMean(position);
    minimum = stats->GetMin(position);
    maximum = stats->GetMax(position);
    median = stats->GetQuartiles(position, q1, q3);
    variableName = stats->GetVariableName(position);
    upperFence = median + (q3 - q1);
    lowerFence = median - (q3 - q1);
    const double range = std::fabs(maximum - minimum);
    legendDecimals = range >= 1000.0 ? 0 : range >= 100.0 ? 1 : range >= 1.0 ? 2 : 3;
    doubleScale = true;
    ComputeAxisScale(minimum, maximum, yLow, yHigh, yStep, yTickCount, yHasDecimals, yDecimals);
    xTickCount = 10;
}

CString CBoxPlotChart::FormatLegendValue(double value, int decimals) {
    constexpr int kWidth = 10;
    if (!std::isfinite(value)) return "N/A";
    char text[400];
    if (decimals <= 0) std::snprintf(text, sizeof text, "%.0f", std::trunc(value) + 0.0);
    else std::snprintf(text, sizeof text, "%.*f", decimals, value);
    CString s = text;
    if (s == "-0") s = "0";
    if (s.GetLength() <= kWidth) return s;
    const int point = s.Find('.');
    // Only decimals are dropped; an integer part that fits is kept whole.
    if (point >= 0 && point < kWidth - 1) return s.Left(kWidth);
    if (point >= 0 && point <= kWidth) return s.Left(point);
    std::snprintf(text, sizeof text, "%.3e", value);
    return text;
}

void CBoxPlotChart::SetValueRange(double high, double low) {
    yHigh = high;
    yLow = low;
}

void CBoxPlotChart::SetCentre(int x, int tickOrigin, int lastTick) {
    boxCentreX = x;
    tickOriginY = tickOrigin;
    lastYTickY = lastTick;
}

void CBoxPlotChart::SetFrame(int x0, int y0, int xEnd, int yEnd, int xTop, int yTop) {
    originX = x0;
    originY = y0;
    xAxisEndX = xEnd;
    xAxisEndY = yEnd;
    yAxisTopX = xTop;
    yAxisTopY = yTop;
}

void CBoxPlotChart::DrawXTicks(CDC* dc, const CRect&) {
    DrawTickMark(dc, boxCentreX, originY, false);
    CPen dotted;
    dotted.CreatePen(PS_DOT, 1, RGB(192, 192, 192));
    CPen* before = dc->SelectObject(&dotted);
    dc->MoveTo(boxCentreX, originY);
    dc->LineTo(boxCentreX, yAxisTopY);
    if (before) dc->SelectObject(before);
}

void CBoxPlotChart::DrawName(CDC* dc) { TextOutAt(dc, variableName, boxCentreX - 3 * variableName.GetLength(), originY + 10); }

void CBoxPlotChart::DrawBox(CDC* dc) {
    const int w = 70 / widthDivisor, c = 50 / widthDivisor;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    auto y = [&](double v) { return WorldToDeviceY(v); };
    // A piece with a value that has no position on the scale (not a finite number) is left
    // out.
    auto placed = [&](double v) { return HasDeviceY(v); };
    auto line = [&](int x1, double v1, int x2, double v2) {
        if (!placed(v1) || !placed(v2)) return;
        dc->MoveTo(x1, y(v1));
        dc->LineTo(x2, y(v2));
    };
    if (placed(q1) && placed(q3)) dc->Rectangle(boxCentreX - w, y(q1), boxCentreX + w, y(q3));
    line(boxCentreX - w, median, boxCentreX + w, median);
    auto whisker = [&](double end, double quartile) {
        line(boxCentreX - c, end, boxCentreX + c, end);
        line(boxCentreX, quartile, boxCentreX, end);
    };
    std::vector<double> beyond;
    if (identifyOutliers && upperFence < maximum) {
        statistics->CollectAbove(upperFence, variable, beyond);
        for (double v : beyond)
            if (placed(v)) DrawCross(dc, boxCentreX, y(v));
        whisker(upperFence, q3);
    } else {
        whisker(maximum, q3);
    }
    beyond.clear();
    if (identifyOutliers && lowerFence > minimum) {
        statistics->CollectBelow(lowerFence, variable, beyond);
        for (double v : beyond)
            if (placed(v)) DrawCross(dc, boxCentreX, y(v));
        whisker(lowerFence, q1);
    } else {
        whisker(minimum, q1);
    }
    if (placed(mean)) DrawDiamond(dc, boxCentreX, y(mean));
    line(boxCentreX, q1, boxCentreX, q3);
    if (oldBrush) dc->SelectObject(oldBrush);
    dc->SetBkMode(oldMode);
}

void CBoxPlotChart::DrawLegend(CDC* dc, int l, int t, int r, int b) {
    CBrush face;
    face.CreateSolidBrush(RGB(250, 250, 250));
    CPen blue;
    blue.CreatePen(PS_SOLID, 1, 0xFF0000);
    CBrush* oldBrush = dc->SelectObject(&face);
    CPen* oldPen = dc->SelectObject(&blue);
    dc->Rectangle(l, t, r - 1, b - 1);
    const COLORREF oldColour = dc->SetTextColor(0xFF0000);
    const std::pair<const char*, double> lines[] = {{"Máximo - ", maximum}, {"3ºQuartil - ", q3},
                                                   {"Mediana - ", median}, {"Média - ", mean},
                                                   {"1ºQuartil - ", q1},   {"Mínimo - ", minimum}};
    int y = t + 2;
    for (const auto& [label, value] : lines) {
        TextOutAt(dc, CString(label) + FormatLegendValue(value, legendDecimals), l + 2, y);
        y += 14;
    }
    DrawDiamond(dc, l + 6, t + 102);
    TextOutAt(dc, " - Média", l + 12, t + 96);
    if (identifyOutliers) {
        DrawCross(dc, l + 6, t + 116);
        TextOutAt(dc, " - Valor Anómalo", l + 12, t + 110);
    }
    dc->SetTextColor(oldColour);
    if (oldPen) dc->SelectObject(oldPen);
    if (oldBrush) dc->SelectObject(oldBrush);
}

void CBoxPlotChart::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    DrawFrame(dc, left, top, right, bottom);
    const CRect frame(left, top, right, bottom);
    boxCentreX = originX + (xAxisEndX - originX - 115) / 2;
    DrawYLabels(dc, frame, originY);
    DrawYTicks(dc, frame);
    DrawXTicks(dc, frame);
    DrawName(dc);
    DrawBox(dc);
    const int m = yAxisTopY + (originY - yAxisTopY) / 2;
    DrawLegend(dc, xAxisEndX - 115, m - 65, xAxisEndX, m + 65);
}

// --- CMultipleBoxplotChart -------------------------------------------------------------------

CMultipleBoxplotChart::CMultipleBoxplotChart(COrderStatistics* stats, int first, int count, int identify)
    : CPlotChart(""), firstVariable(first), identifyOutliers(identify ? 1 : 0) {
    const int last = std::min(first + count, stats->GetVariableCount());
    boxCount = std::max(0, last - first);
    CString names;
    if (boxCount > 0) {
        overallMax = stats->GetMax(first);
        overallMin = stats->GetMin(first);
    }
    for (int v = first; v < last; ++v) {
        names += stats->GetVariableName(v);
        if (v + 1 < last) names += "-";
        boxes.push_back(std::make_unique<CBoxPlotChart>(stats, v, identify, "", std::max(1, count)));
        overallMax = std::max(overallMax, stats->GetMax(v));
        overallMin = std::min(overallMin, stats->GetMin(v));
    }
    name = names;
    title = "Boxplot Múltiplo";
    doubleScale = true;
    ComputeAxisScale(overallMin, overallMax, yLow, yHigh, yStep, yTickCount, yHasDecimals, yDecimals);
    xTickCount = 10;
}

CMultipleBoxplotChart::~CMultipleBoxplotChart() = default;

void CMultipleBoxplotChart::DrawXTicks(CDC*, const CRect&) {}

void CMultipleBoxplotChart::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    DrawFrame(dc, left, top, right, bottom);
    const CRect frame(left, top, right, bottom);
    DrawYLabels(dc, frame, originY);
    DrawYTicks(dc, frame);
    DrawXTicks(dc, frame);
    if (boxCount <= 0) return;
    const int s = (xAxisEndX - originX) / boxCount;
    for (int i = 0; i < boxCount; ++i) {
        CBoxPlotChart& box = *boxes[static_cast<size_t>(i)];
        box.SetValueRange(yHigh, yLow);
        const int x = originX + i * s;
        box.SetCentre(x + s / 2, tickOriginY, lastYTickY);
        box.SetFrame(x, xAxisEndY, x + s, xAxisEndY, x, yAxisTopY);
        box.DrawBox(dc);
        box.DrawXTicks(dc, frame);
        box.DrawName(dc);
    }
}
