// The chart base: nice scales, layout of the frame, the world-device mapping, tick labels,
// the print header and the errors met while drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "charts/draw_errors.h"
#include "charts/plot_page.h"
#include "platform/gdi/recording_dc.h"
#include "tests/charts/chart_test_support.h"

namespace {

struct Scale {
    double low = 0, high = 0, step = 0;
    int count = 0;
    BYTE hasDecimals = 0;
    int decimals = -1;
    bool ok = false;
};

Scale ScaleOf(float a, float b) {
    Scale s;
    s.ok = CPlotChart::ComputeAxisScale(a, b, s.low, s.high, s.step, s.count, s.hasDecimals, s.decimals);
    return s;
}

// The labels a chart writes for a scale: the low value plus the step, count times, in floats.
std::vector<CString> LabelsOf(const Scale& s) {
    std::vector<CString> out;
    float v = static_cast<float>(s.low);
    out.push_back(CPlotChart::FormatTickLabel(v, s.hasDecimals != 0, s.decimals));
    for (int i = 0; i < s.count; ++i) {
        v += s.step;
        out.push_back(CPlotChart::FormatTickLabel(v, s.hasDecimals != 0, s.decimals));
    }
    return out;
}

std::vector<CString> Texts(std::initializer_list<const char*> texts) {
    std::vector<CString> out;
    for (const char* t : texts) out.emplace_back(t);
    return out;
}

TEST(AxisScale, WorkedExamplesGiveNiceSteps) {
    // 0..23: steps 5, 4, 4, 3 for 5..8 intervals; the smallest is 3.
    Scale s = ScaleOf(0, 23);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.step, 3.0f);
    EXPECT_EQ(s.count, 8);
    EXPECT_EQ(s.low, 0.0f);
    EXPECT_EQ(s.high, 24.0f);
    EXPECT_EQ(s.hasDecimals, 0);
    EXPECT_EQ(LabelsOf(s), Texts({"0", "3", "6", "9", "12", "15", "18", "21", "24"}));

    // 0..1: step 0.2 with one decimal, labels 0.0 to 1.0.
    s = ScaleOf(0, 1);
    EXPECT_FLOAT_EQ(s.step, 0.2f);
    EXPECT_EQ(s.hasDecimals, 1);
    EXPECT_EQ(s.decimals, 1);
    EXPECT_EQ(LabelsOf(s), Texts({"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));

    // 0..7.5: 7.5 / 8 = 0.9375 rounds up to a step of exactly 1, written through the
    // decimals branch with 0 decimals.
    s = ScaleOf(0, 7.5f);
    EXPECT_EQ(s.step, 1.0f);
    EXPECT_EQ(s.hasDecimals, 1);
    EXPECT_EQ(s.decimals, 0);
    EXPECT_EQ(LabelsOf(s), Texts({"0", "1", "2", "3", "4", "5", "6", "7", "8"}));

    // 0..0.75: a step of 0.1 is one decimal, never two.
    s = ScaleOf(0, 0.75f);
    EXPECT_FLOAT_EQ(s.step, 0.1f);
    EXPECT_EQ(s.decimals, 1);

    // A negative minimum starts below it at a multiple of the step: -7..23 by 4.
    s = ScaleOf(-7, 23);
    EXPECT_EQ(s.step, 4.0f);
    EXPECT_EQ(s.low, -8.0f);
    EXPECT_EQ(s.high, 24.0f);
    EXPECT_EQ(s.count, 8);
    // -2.5..-0.3: every label below zero, the last at or above the maximum.
    s = ScaleOf(-2.5f, -0.3f);
    EXPECT_LE(s.low, -2.5f);
    EXPECT_GE(s.high, -0.3f);
    EXPECT_NEAR(s.low / s.step, std::round(s.low / s.step), 1e-4);
}

TEST(AxisScale, EveryScaleCoversItsDataWithFiveToTenIntervals) {
    const float ranges[][2] = {{0, 23},     {1, 5},      {-3, 3},      {0.001f, 0.0013f}, {-1000, 17},
                               {12.5, 13},  {100, 1e6f}, {-1e-3f, 0},  {3.14159f, 2718.28f}, {0, 1e-30f},
                               {0, 1e30f},  {-1e30f, 1e30f}, {7, 7.0001f}, {-5e-20f, 5e-20f}};
    for (const auto& r : ranges) {
        Scale s = ScaleOf(r[0], r[1]);
        SCOPED_TRACE(testing::Message() << r[0] << ".." << r[1]);
        ASSERT_TRUE(s.ok);
        EXPECT_GT(s.step, 0.0f);
        EXPECT_LE(s.low, r[0]);
        EXPECT_GE(s.high, r[1]);
        EXPECT_GE(s.count, 5);
        EXPECT_LE(s.count, 10);
        // In single precision, as the scale of float data is computed.
        const float top = static_cast<float>(s.low) + static_cast<float>(s.count) * static_cast<float>(s.step);
        EXPECT_NEAR(s.high, top, 1e-4 * std::fabs(s.count * s.step));
        // The leading digit of the step is 1..9 followed by zeros.
        const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step)));
        EXPECT_NEAR(mantissa, std::round(mantissa), 1e-4);
    }
}

TEST(AxisScale, ZeroRangesAreWidenedAndNonFiniteInputRefused) {
    Scale s = ScaleOf(5, 5);
    ASSERT_TRUE(s.ok);
    EXPECT_LT(s.low, 5.0f);
    EXPECT_GT(s.high, 5.0f);
    EXPECT_GT(s.step, 0.0f);
    s = ScaleOf(0, 0);
    ASSERT_TRUE(s.ok);
    EXPECT_LE(s.low, -1.0f);
    EXPECT_GE(s.high, 1.0f);
    for (float v : {1e-30f, -1e30f}) {
        s = ScaleOf(v, v);
        ASSERT_TRUE(s.ok) << v;
        EXPECT_LT(s.low, v);
        EXPECT_GT(s.high, v);
        EXPECT_TRUE(std::isfinite(s.high));
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [a, b] : {std::pair{nan, 1.0f}, std::pair{0.0f, nan}, std::pair{-inf, 0.0f}, std::pair{0.0f, inf},
                        std::pair{-3e38f, 3e38f}}) {
        s = ScaleOf(a, b);
        EXPECT_FALSE(s.ok);
        EXPECT_EQ(s.low, 0.0f);
        EXPECT_EQ(s.high, 1.0f);
        EXPECT_EQ(s.count, 5);
    }
}

TEST(AxisScale, TickLabelsTruncateOrUseTheirDecimals) {
    EXPECT_EQ(CPlotChart::FormatTickLabel(3.7f, false, 0), "3");
    EXPECT_EQ(CPlotChart::FormatTickLabel(-3.7f, false, 0), "-3");
    EXPECT_EQ(CPlotChart::FormatTickLabel(0.25f, true, 2), "0.25");
    EXPECT_EQ(CPlotChart::FormatTickLabel(-1.5f, true, 1), "-1.5");
    // -0.6 + 3 x 0.2 lands a hair below zero: still the zero tick.
    EXPECT_EQ(CPlotChart::FormatTickLabel(-0.6f + 0.2f + 0.2f + 0.2f, true, 1), "0.0");
    EXPECT_EQ(CPlotChart::FormatTickLabel(-0.04f, true, 1), "0.0");
    EXPECT_EQ(CPlotChart::FormatTickLabel(-0.06f, true, 1), "-0.1");
}

// A chart with a fixed world window, laid out by its frame.
class CFixedChart : public CPlotChart {
public:
    CFixedChart(float x0, float x1, float y0, float y1, int counts) : CPlotChart("fixa") {
        xLow = x0;
        xHigh = x1;
        yLow = y0;
        yHigh = y1;
        xTickCount = yTickCount = counts;
    }
};

TEST(ChartLayout, FrameMarginsTickSpacingAndMapping) {
    CFixedChart chart(0, 12, 0, 12, 6);
    CRecordingDC dc;
    chart.DrawFrame(&dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.originX, 60);
    EXPECT_EQ(chart.originY, 260);
    EXPECT_EQ(chart.yAxisTopY, 10);
    EXPECT_EQ(chart.xAxisEndX, 390);
    EXPECT_EQ(chart.plotWidth, 320);
    EXPECT_EQ(chart.plotHeight, 240);
    EXPECT_EQ(chart.xTickSpacing, 53);
    EXPECT_EQ(chart.lastXTickX, 378);
    EXPECT_EQ(chart.yTickSpacing, 40);
    EXPECT_EQ(chart.lastYTickY, 20);
    // The white plot frame inside the margins, over the page background.
    auto rects = dc.Find("Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].args, (std::vector<int>{0, 0, 400, 300}));
    EXPECT_EQ(rects[1].args, (std::vector<int>{60, 10, 390, 260}));
    EXPECT_EQ(rects[1].brush.lbColor, RGB(255, 255, 255));

    // x: 60 + 318·x/12, halves rounded down; y: 260 − 240·y/12.
    EXPECT_EQ(chart.WorldToDeviceX(0), 60);
    EXPECT_EQ(chart.WorldToDeviceX(12), 378);
    EXPECT_EQ(chart.WorldToDeviceX(6), 219);     // 159 exactly
    EXPECT_EQ(chart.WorldToDeviceX(3), 140);     // 79.5 → 80 (the negative half goes down)
    EXPECT_EQ(chart.WorldToDeviceY(10), 60);
    EXPECT_EQ(chart.WorldToDeviceY(-1), 280);    // below the axis, outside the frame
    EXPECT_DOUBLE_EQ(chart.DeviceToWorldX(219), 6.0);
    EXPECT_DOUBLE_EQ(chart.DeviceToWorldY(140), 6.0);
    for (int px = 60; px <= 378; px += 7) EXPECT_EQ(chart.WorldToDeviceX(chart.DeviceToWorldX(px)), px);
    for (int py = 20; py <= 260; py += 9) EXPECT_EQ(chart.WorldToDeviceY(chart.DeviceToWorldY(py)), py);

    // The plot frame: left and top edges in, right and bottom edges out.
    EXPECT_TRUE(chart.IsInPlotFrame(60, 10));
    EXPECT_TRUE(chart.IsInPlotFrame(389, 259));
    EXPECT_FALSE(chart.IsInPlotFrame(390, 100));
    EXPECT_FALSE(chart.IsInPlotFrame(100, 260));
    EXPECT_FALSE(chart.IsInPlotFrame(59, 100));
    EXPECT_FALSE(chart.IsInPlotFrame(100, 9));
}

TEST(ChartLayout, FarValuesAreClampedAndNonFiniteOnesHaveNoPosition) {
    CFixedChart chart(0, 12, 0, 12, 6);
    CRecordingDC dc;
    chart.DrawFrame(&dc, 0, 0, 400, 300);
    // At most 2^28 pixels away, whichever side the value lies on.
    EXPECT_EQ(chart.WorldToDeviceX(1e300), 268435456);
    EXPECT_EQ(chart.WorldToDeviceX(-1e300), -268435456);
    EXPECT_EQ(chart.WorldToDeviceY(1e300), -268435456);
    EXPECT_EQ(chart.WorldToDeviceY(-1e300), 268435456);
    EXPECT_TRUE(chart.HasDeviceX(1e300));
    EXPECT_TRUE(chart.HasDeviceY(-1e300));
    // Infinite and NaN values, and one whose distance in pixels overflows a double, have no
    // position; asked for one, the origin comes back.
    for (double v : {HUGE_VAL, -HUGE_VAL, std::nan(""), 1.7e308}) {
        EXPECT_FALSE(chart.HasDeviceX(v)) << v;
        EXPECT_FALSE(chart.HasDeviceY(v)) << v;
        EXPECT_EQ(chart.WorldToDeviceX(v), 60) << v;
        EXPECT_EQ(chart.WorldToDeviceY(v), 260) << v;
    }
}

TEST(ChartLayout, ARectangleAwayFromTheOriginKeepsTheWidthsMeasuredFromZero) {
    CFixedChart chart(-1, 1, 100, 200, 4);
    CRecordingDC dc;
    chart.DrawFrame(&dc, 100, 50, 500, 350);
    EXPECT_EQ(chart.originX, 160);
    EXPECT_EQ(chart.originY, 310);
    EXPECT_EQ(chart.yAxisTopY, 60);
    EXPECT_EQ(chart.plotWidth, 420);    // 500 − 80, not the frame's 330
    EXPECT_EQ(chart.plotHeight, 290);   // 310 − 20
    EXPECT_EQ(chart.xTickSpacing, 105);
    EXPECT_EQ(chart.lastXTickX, 580);
    EXPECT_EQ(chart.yTickSpacing, 72);
    EXPECT_EQ(chart.lastYTickY, 22);
    EXPECT_EQ(chart.WorldToDeviceX(-1), 160);
    EXPECT_EQ(chart.WorldToDeviceX(0), 370);
    EXPECT_EQ(chart.WorldToDeviceY(150), 166);
    for (int px = 160; px <= 580; px += 13) EXPECT_EQ(chart.WorldToDeviceX(chart.DeviceToWorldX(px)), px);
    for (int py = 22; py <= 310; py += 11) EXPECT_EQ(chart.WorldToDeviceY(chart.DeviceToWorldY(py)), py);
}

TEST(ChartLayout, TickCountsOfZeroDoNotDivideByZero) {
    CFixedChart chart(0, 0, 0, 0, 0);
    CRecordingDC dc;
    chart.DrawFrame(&dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.xTickSpacing, 320);
    EXPECT_EQ(chart.yTickSpacing, 240);
    EXPECT_EQ(chart.lastXTickX, 380);
    // A world window of no width maps everything onto the origin.
    EXPECT_EQ(chart.WorldToDeviceX(5), 60);
    EXPECT_EQ(chart.WorldToDeviceY(5), 260);
    chart.DrawXTicks(&dc, CRect(0, 0, 400, 300));
    chart.DrawYTicks(&dc, CRect(0, 0, 400, 300));
    CRect frame(0, 0, 400, 300);
    chart.DrawXLabels(&dc, frame, chart.originX);
    chart.DrawYLabels(&dc, frame, chart.originY);
    // One label on each axis, no tick (the only x tick is at the origin).
    EXPECT_EQ(dc.Find("TextOut").size(), 2u);
    EXPECT_TRUE(dc.Find("LineTo").empty());
}

TEST(ChartLayout, TicksGridLabelsAndTitlesWhereTheLayoutPutsThem) {
    CFixedChart chart(0, 10, -1, 1, 5);
    chart.xStep = 2;
    chart.xHasDecimals = 0;
    chart.yStep = 0.4f;
    chart.yHasDecimals = 1;
    chart.yDecimals = 1;
    CRecordingDC dc;
    CRect frame(0, 0, 400, 300);
    chart.DrawFrame(&dc, 0, 0, 400, 300);
    dc.Clear();
    chart.DrawXTicks(&dc, frame);
    auto lines = dc.Find("LineTo");
    // Five ticks (the one at the origin is skipped), each a tick mark and a grid line.
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{124, 257, 124, 264}));
    EXPECT_EQ(lines[0].pen.lopnStyle, PS_SOLID);
    EXPECT_EQ(lines[1].args, (std::vector<int>{124, 260, 124, 11}));
    EXPECT_EQ(lines[1].pen.lopnStyle, PS_DOT);
    EXPECT_EQ(lines[1].pen.lopnColor, RGB(192, 192, 192));
    dc.Clear();
    chart.DrawYTicks(&dc, frame);
    lines = dc.Find("LineTo");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{57, 212, 64, 212}));
    EXPECT_EQ(lines[1].args, (std::vector<int>{60, 212, 389, 212}));

    dc.Clear();
    CFont* old = dc.SelectObject(CPlotPage::TextFont());
    chart.DrawXLabels(&dc, frame, chart.originX);
    chart.DrawYLabels(&dc, frame, chart.originY);
    auto texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[0].text, "0");
    EXPECT_EQ(texts[0].args, (std::vector<int>{57, 263}));
    EXPECT_EQ(texts[5].text, "10");
    EXPECT_EQ(texts[5].args, (std::vector<int>{380 - 6, 263}));
    // y labels end 5 pixels left of the axis (the recording font is 6 pixels a character).
    EXPECT_EQ(texts[6].text, "-1.0");
    EXPECT_EQ(texts[6].args, (std::vector<int>{60 - 24 - 5, 255}));
    EXPECT_EQ(texts[11].text, "1.0");
    EXPECT_FLOAT_EQ(chart.yHigh, -1.0f + 5 * 0.4f);

    dc.Clear();
    chart.DrawXTitle(&dc, "Peso");
    chart.DrawYTitle(&dc, "Altura");
    texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].args, (std::vector<int>{60 + 165 - 20, 260 + 15 + 6}));
    EXPECT_EQ(texts[0].font.lfWeight, 800);
    EXPECT_EQ(texts[1].args, (std::vector<int>{2, 135 + 9}));
    EXPECT_EQ(texts[1].font.lfEscapement, 900);
    EXPECT_EQ(CString(texts[1].font.lfFaceName), "Times New Roman");
    dc.SelectObject(old);
}

TEST(ChartPage, BackgroundAndPrintHeader) {
    CPlotPage page("pagina");
    page.title = "Diagrama";
    EXPECT_EQ(page.GetName(), "pagina");
    EXPECT_TRUE(page.HasNoPoints());
    EXPECT_EQ(page.GetPointCount(), 1);
    EXPECT_EQ(page.ItemAt(3, 3), -1);
    CRecordingDC dc;
    page.Draw(&dc, 5, 6, 100, 80);
    auto rects = dc.Find("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].args, (std::vector<int>{5, 6, 100, 80}));
    EXPECT_EQ(rects[0].brush.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    LOGBRUSH brush{};
    CGdiObject* current = dc.SelectStockObject(WHITE_BRUSH);
    ASSERT_NE(current, nullptr);
    current->GetObject(sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));   // the previous brush was put back

    RecordingDevice printer;
    printer.horzRes = 4000;
    printer.printer = true;
    CRecordingDC paper(printer);
    CFont title, label, text;
    ASSERT_TRUE(title.CreateFont(40, 20, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(label.CreateFont(30, 10, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(text.CreateFont(30, 10, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    page.DrawHeader(&paper, &title, &label, &text);
    auto texts = paper.Find("TextOut");
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Diagrama");
    EXPECT_EQ(texts[0].args, (std::vector<int>{2000 - 80, 80}));
    EXPECT_EQ(texts[1].text, "Ficheiro:");
    EXPECT_EQ(texts[1].args, (std::vector<int>{200, 210}));
    EXPECT_EQ(texts[2].args, (std::vector<int>{220 + 90, 217}));
    EXPECT_EQ(texts[2].font.lfWeight, 400);
}

TEST(ChartErrors, MessagesDuringPaintingAreShownOnceAfterwards) {
    afx::ScriptedUser user;
    std::vector<CString> seen;
    auto answer = [&](const CString& text, UINT) {
        // Nothing may be shown while a scope is open.
        EXPECT_FALSE(CDrawErrorScope::Active());
        seen.push_back(text);
        return IDOK;
    };
    for (int i = 0; i < 3; ++i) user.OnMessageBox(answer);
    {
        CDrawErrorScope painting;
        ReportDrawError("Erro a seleciona Pen2");
        ReportDrawError("Erro a seleciona Pen2");
        {
            CDrawErrorScope inner;
            ReportDrawError("Erro a seleciona Pen3");
        }
        ReportDrawError("Erro a seleciona Pen2");
        EXPECT_TRUE(seen.empty());
    }
    EXPECT_EQ(seen, Texts({"Erro a seleciona Pen2", "Erro a seleciona Pen3"}));
    {
        CDrawErrorScope painting;
        SetLastError(12);
        ReportDrawLastError();
        ReportDrawLastError();
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2], afx::SystemErrorText(12));
    EXPECT_EQ(user.Captions().back(), "Error");
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
