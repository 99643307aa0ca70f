// Graphic elements on their own: marker geometry and clicks, label placement inside the
// bounds, saved pixels, legend layout and its fixed-entry variant.
#include <gtest/gtest.h>

#include <vector>

#include "charts/graphic_elements.h"
#include "platform/gdi/recording_dc.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

TEST(ChartMarkers, BoxHitTestAndTwoClicksShowAndHideTheLabel) {
    CChartRect marker(100, 50, "P1", 0, 0, 400, 300, kRed, 5);
    // Side 5, half 2: the box is (98, 48) to (103, 53), right and bottom excluded.
    EXPECT_TRUE(marker.MarkerHit(98, 48));
    EXPECT_TRUE(marker.MarkerHit(102, 52));
    EXPECT_FALSE(marker.MarkerHit(103, 50));
    EXPECT_FALSE(marker.MarkerHit(100, 53));
    EXPECT_FALSE(marker.MarkerHit(97, 50));
    ASSERT_NE(marker.GetLabel(), nullptr);
    EXPECT_EQ(marker.GetLabel()->x, 105);
    EXPECT_EQ(marker.GetLabel()->textColour, RGB(0, 0, 255));
    EXPECT_TRUE(marker.IsPointIn(CRect(100, 50, 101, 51)));
    EXPECT_FALSE(marker.IsPointIn(CRect(90, 40, 100, 50)));

    // The change happens at the button-up.
    marker.OnButtonDown(nullptr, 100, 50);
    EXPECT_FALSE(marker.labelShown);
    marker.OnButtonUp(nullptr, 100, 50);
    EXPECT_TRUE(marker.labelShown);
    marker.OnButtonDown(nullptr, 100, 50);
    marker.OnButtonUp(nullptr, 100, 50);
    EXPECT_FALSE(marker.labelShown);

    CChartRect bare(10, 10, 0, 0, 100, 100, kRed, 4);
    EXPECT_EQ(bare.GetLabel(), nullptr);
    bare.OnButtonUp(nullptr, 10, 10);
    EXPECT_TRUE(bare.HitTest(10, 10));
    bare.RestoreInitialPosition(nullptr);   // nothing to put back
}

TEST(ChartMarkers, SquaresAndTrianglesInTheirColoursOrBlack) {
    Canvas c(60, 30);
    CChartRect square(10, 10, 0, 0, 60, 30, kRed, 4);
    CChartPolygon triangle(40, 15, 0, 0, 60, 30, kBlue, 10);
    square.Draw(&c.dc);
    triangle.Draw(&c.dc);
    EXPECT_EQ(c.At(8, 8), kRed);
    EXPECT_EQ(c.At(11, 11), kRed);
    EXPECT_EQ(c.At(12, 10), kWhite);
    // Corners (35, 20), (40, 10), (45, 20).
    EXPECT_EQ(c.At(40, 10), kBlue);
    EXPECT_EQ(c.At(40, 17), kBlue);
    EXPECT_EQ(c.At(36, 12), kWhite);
    EXPECT_EQ(c.At(40, 21), kWhite);

    // Colour hidden: black, and the pen already selected is kept.
    c.dc.FillSolidRect(0, 0, 60, 30, kWhite);
    square.SetColourShown(false);
    square.Draw(&c.dc);
    EXPECT_EQ(c.At(9, 9), kBlack);
    square.SetFilled(false);
    c.dc.FillSolidRect(0, 0, 60, 30, kWhite);
    square.Draw(&c.dc);
    EXPECT_EQ(c.At(8, 8), kBlack);
    EXPECT_EQ(c.At(9, 9), kWhite);
}

TEST(ChartLabels, ALabelThatWouldLeaveItsBoundsFlipsBeforeItsPixelsAreSaved) {
    Canvas c(200, 100);
    c.dc.FillSolidRect(0, 0, 200, 100, kCyan);
    // Anchored near the bottom right corner of the bounds (10, 10)-(150, 80).
    CChartText label(140, 75, "Rótulo", 10, 10, 150, 80, kBlack);
    label.Draw(&c.dc);
    ASSERT_TRUE(label.extent.has_value());
    const CSize ext = *label.extent;
    EXPECT_EQ(label.x, 140 - ext.cx);
    EXPECT_EQ(label.y, 75 - ext.cy);
    EXPECT_EQ(label.initialX, label.x);
    EXPECT_EQ(label.initialY, label.y);
    EXPECT_TRUE(label.IsInsideBounds(label.frameX, label.frameY));
    // The pixels were saved where the label is drawn, not where it started.
    EXPECT_EQ(label.savedRect, CRect(label.x - 2, label.y, label.x - 2 + ext.cx, label.y + ext.cy));
    ASSERT_NE(label.savedPixels, nullptr);
    c.dc.FillSolidRect(0, 0, 200, 100, kRed);
    label.RestorePixels(&c.dc);
    EXPECT_EQ(c.At(label.x, label.y), kCyan);
    EXPECT_EQ(c.At(label.x - 3, label.y), kRed);

    // Near the top: below its anchor.
    CChartText high(20, 5, "x", 10, 10, 150, 80, kBlack);
    high.Draw(&c.dc);
    EXPECT_EQ(high.y, 5 + high.extent->cy);
    EXPECT_EQ(high.x, 20);

    label.ReleaseBitmaps();
    EXPECT_FALSE(label.extent.has_value());
    EXPECT_EQ(label.savedPixels, nullptr);
}

TEST(ChartLabels, DraggingPutsBackThePixelsAndStaysInsideTheBounds) {
    Canvas c(200, 100);
    c.dc.FillSolidRect(0, 0, 200, 100, kCyan);
    CChartText label(40, 40, "Arrasta", 10, 10, 190, 90, kBlack);
    label.Draw(&c.dc);
    label.OnButtonDown(nullptr, 45, 45);
    EXPECT_TRUE(label.IsHighlighted());
    EXPECT_TRUE(label.Drag(&c.dc, 75, 35));
    EXPECT_EQ(label.x, 70);
    EXPECT_EQ(label.y, 30);
    // The old place shows what was under the label.
    for (int y = 40; y < 40 + label.extent->cy; ++y)
        for (int x = 38; x < 70 - 2; ++x) ASSERT_EQ(c.At(x, y), kCyan) << x << "," << y;
    // Refused: the top would pass the bounds; nothing moves.
    EXPECT_FALSE(label.Drag(&c.dc, 75, 10));
    EXPECT_EQ(label.y, 30);
    EXPECT_TRUE(label.Drag(&c.dc, 76, 34));
    EXPECT_EQ(label.x, 71);
    EXPECT_EQ(label.y, 29);
    label.OnButtonUp(nullptr, 76, 34);
    EXPECT_FALSE(label.IsHighlighted());
    label.RestoreInitialPosition(nullptr);
    EXPECT_EQ(label.x, 40);
    EXPECT_EQ(label.lastMouseX, 40);
}

TEST(ChartLegends, LayoutEntriesAndNames) {
    std::vector<COLORREF> colours{kRed, kYellow};
    std::vector<int> codes{4, 9};
    CChartLegend legend(390, 260, 60, 10, 390, 260, &colours, &codes);
    EXPECT_EQ(legend.GetEntryNames(), (std::vector<CString>{CString("4"), CString("9")}));
    legend.SetEntryName(9, "Nove");
    legend.SetEntryName(5, "Cinco");   // no such code
    EXPECT_EQ(legend.GetEntryNames(), (std::vector<CString>{CString("4"), CString("Nove")}));

    CRecordingDC dc;   // 6 pixels a character and 13 high in the legend font
    legend.Draw(&dc);
    ASSERT_TRUE(legend.GetBoxSize().has_value());
    EXPECT_EQ(*legend.GetBoxSize(), CSize(24 + 24, 2 * 13 + 6 + 11));
    EXPECT_EQ(legend.x, 390 - 48 - 2);
    EXPECT_EQ(legend.y, 10 + 125 - 43 / 2);
    ASSERT_EQ(legend.GetEntryCount(), 4u);
    EXPECT_EQ(legend.GetEntry(0)->x, legend.x + 7);
    EXPECT_EQ(legend.GetEntry(0)->y, legend.y + 7);
    EXPECT_EQ(legend.GetEntry(1)->x, legend.x + 17);
    EXPECT_EQ(legend.GetEntry(1)->y, legend.y + 2);
    EXPECT_EQ(legend.GetEntry(2)->y, legend.y + 7 + 16);
    auto* second = dynamic_cast<CChartShape*>(legend.GetEntry(2));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->colour, kYellow);
    // The box: an outline over the plot (hollow brush), then the entries.
    auto rects = dc.Find("Rectangle");
    ASSERT_GE(rects.size(), 1u);
    EXPECT_EQ(rects[0].args, (std::vector<int>{legend.x, legend.y, legend.x + 48, legend.y + 43}));
    EXPECT_EQ(rects[0].brush.lbStyle, BS_NULL);
    auto texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].text, "Nove");

    CChartLegend empty(390, 260, 60, 10, 390, 260, nullptr, nullptr);
    empty.Draw(&dc);
    EXPECT_EQ(*empty.GetBoxSize(), CSize(24, 11));
    EXPECT_EQ(empty.GetEntryCount(), 0u);

    CRowColumnLegend rowsColumns(390, 260, 60, 10, 390, 260);
    rowsColumns.Draw(&dc);
    ASSERT_EQ(rowsColumns.GetEntryCount(), 4u);
    auto* rows = dynamic_cast<CChartRect*>(rowsColumns.GetEntry(0));
    auto* columns = dynamic_cast<CChartPolygon*>(rowsColumns.GetEntry(2));
    ASSERT_NE(rows, nullptr);
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(rows->colour, RGB(0, 0, 255));
    EXPECT_EQ(columns->colour, RGB(255, 0, 0));
    EXPECT_EQ(columns->size, 6);
    EXPECT_EQ(dynamic_cast<CChartText*>(rowsColumns.GetEntry(3))->GetText(), "Colunas");
}

}  // namespace
