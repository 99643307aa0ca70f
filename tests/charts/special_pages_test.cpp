// The scree plot, the correlation header and the factorial plane of the columns.
#include <gtest/gtest.h>

#include "charts/special_pages.h"
#include "platform/gdi/recording_dc.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

std::vector<CString> Factors(int n) {
    std::vector<CString> out;
    for (int i = 1; i <= n; ++i) out.push_back(FormatString("F%d", i));
    return out;
}

TEST(ScreePlot, DotsJoinedByRedLinesFromAnAxisStartingAtZero) {
    CScreePlotChart chart(Factors(4), {3.2f, 1.5f, 0.8f, 0.5f}, "Valores Proprios");
    EXPECT_EQ(chart.title, "ScreePlot");
    EXPECT_EQ(chart.xTickCount, 4);
    EXPECT_EQ(chart.yLow, 0.0f);
    EXPECT_FLOAT_EQ(chart.yStep, 0.5f);
    EXPECT_EQ(chart.yTickCount, 7);
    Canvas c(400, 300);
    chart.Draw(&c.dc, 0, 0, 400, 300);
    c.Save("scree_plot.png");
    // Factors every 80 pixels from 140; 3.5 at y = 22: 3.2 → 42, 1.5 → 158. A dot is 5
    // pixels, outlined in the pen; each line starts at the centre of its dot.
    EXPECT_EQ(c.At(139, 41), RGB(0, 0, 128));
    EXPECT_EQ(c.At(139, 43), RGB(0, 0, 128));
    EXPECT_EQ(c.At(138, 42), kBlack);
    EXPECT_EQ(c.At(219, 159), RGB(0, 0, 128));
    EXPECT_EQ(c.At(140, 42), kRed);
    bool red = false;
    for (int y = 96; y <= 104; ++y) red |= c.At(180, y) == kRed;
    EXPECT_TRUE(red);

    CScreePlotChart one(Factors(1), {2.0f}, "um");
    CRecordingDC dc;
    one.Draw(&dc, 0, 0, 400, 300);
    EXPECT_EQ(dc.Find("Ellipse").size(), 1u);
    for (const GdiRecord& r : dc.Find("LineTo")) EXPECT_NE(r.pen.lopnColor, RGB(255, 0, 0));

    // No factor at all: a frame and nothing to divide by.
    CScreePlotChart none({}, {}, "nada");
    none.Draw(&dc, 0, 0, 400, 300);
    EXPECT_EQ(none.xTickSpacing, 320);
}

TEST(ScreePlot, TheFirstPaintKeepsTheWindowsImage) {
    CScreePlotChart chart(Factors(3), {2.0f, 1.0f, 0.5f}, "imagem");
    ShownPage shown(&chart, 300, 200);
    chart.AfterPaint(&shown.view);
    auto* image = dynamic_cast<CBitmap*>(chart.GetOwned());
    ASSERT_NE(image, nullptr);
    BITMAP bm{};
    ASSERT_GT(image->GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 300);
    EXPECT_EQ(bm.bmHeight, 200);
    chart.AfterPaint(&shown.view);
    EXPECT_EQ(chart.GetOwned(), image);
}

TEST(CorrelationHeader, SpearmanInRedAndPearsonInBlue) {
    CCorrelationPage page;
    EXPECT_EQ(page.GetName(), "");
    CRecordingDC dc;
    dc.SetTextColor(RGB(1, 2, 3));
    page.Draw(&dc, 10, 20, 300, 60);
    auto texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Spearman");
    EXPECT_EQ(texts[0].args, (std::vector<int>{25, 23}));
    EXPECT_EQ(texts[0].textColor, RGB(255, 0, 0));
    EXPECT_EQ(texts[1].text, "Clássica (Pearson)");
    EXPECT_EQ(texts[1].args, (std::vector<int>{25, 37}));
    EXPECT_EQ(texts[1].textColor, RGB(0, 0, 255));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
}

TEST(FactorialPlane, AFixedSquareWindowWithTheUnitCircleCentredInTheFrame) {
    CPointSeries columns({-0.5f, 0.9f, 3.0f}, {0.2f, -0.7f, -5.0f}, {"c1", "c2", "longe"}, {});
    CFactorialPlaneColumnsChart chart(columns, "Factor 1", "Factor 2", "colunas");
    EXPECT_EQ(chart.title, "Plano Factorial (Colunas)");
    EXPECT_EQ(chart.xLow, -1.6f);
    EXPECT_EQ(chart.yLow, -1.2f);
    CRecordingDC dc;
    chart.Draw(&dc, 0, 0, 400, 300);
    // Plot height 240 for 2.4, so 320 pixels for 3.2, centred in the 330 of the frame.
    EXPECT_EQ(chart.tickOriginX, 65);
    EXPECT_EQ(chart.xTickSpacing, 40);
    EXPECT_EQ(chart.lastXTickX, 385);
    auto ellipses = dc.Find("Ellipse");
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].args, (std::vector<int>{125, 40, 325, 240}));
    EXPECT_EQ(ellipses[0].brush.lbStyle, BS_NULL);
    EXPECT_NEAR(chart.xHigh, 1.6f, 1e-5);

    // Wider: the same circle, further right.
    CFactorialPlaneColumnsChart wide(columns, "Factor 1", "Factor 2", "largo");
    CRecordingDC wideDc;
    wide.Draw(&wideDc, 0, 0, 600, 300);
    EXPECT_EQ(wide.tickOriginX, 165);
    EXPECT_EQ(wideDc.Find("Ellipse")[0].args, (std::vector<int>{225, 40, 425, 240}));

    Canvas c(400, 300);
    CFactorialPlaneColumnsChart shown(columns, "Factor 1", "Factor 2", "quadro");
    shown.ShowAllLabels(true);
    shown.Draw(&c.dc, 0, 0, 400, 300);
    c.Save("factorial_plane_columns.png");
}

}  // namespace
