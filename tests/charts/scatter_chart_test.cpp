// Point series and the scatter chart: the series read from a table, its least-squares
// line, the drawn pixels of a small chart, group colours and the conditioning legend, and
// the mouse: hit testing, label and legend dragging, the selection rectangle.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/data_table.h"
#include "charts/point_series.h"
#include "charts/scatter_chart.h"
#include "platform/gdi/recording_dc.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

constexpr float kMissing = -99.0f;

// Rows A..E: x, y, group; E has no y.
CDataTable SmallTable() {
    CDataTable table;
    table.SetSize(5, 4);
    table.SetMissingCode(kMissing);
    const double rows[5][4] = {{0, 0, 1, 11.9}, {6, 4, 2, 12.2}, {10, 10, 3, 13}, {3, 9, 1, 14.7}, {5, kMissing, 2, 15}};
    const char* names[5] = {"A", "B", "C", "D", "E"};
    for (int r = 0; r < 5; ++r) {
        table.SetRowName(r + 1, names[r]);
        for (int v = 0; v < 4; ++v) table.SetValue(r + 1, v + 1, rows[r][v]);
    }
    return table;
}

TEST(PointSeries, RowsWithAMissingValueAreLeftOutAndLabelsAndGroupsRead) {
    CDataTable table = SmallTable();
    CPointSeries byName(table, 1, 2, -1, 3, kMissing);
    ASSERT_EQ(byName.GetCount(), 4);
    EXPECT_TRUE(byName.HasGroups());
    EXPECT_EQ(byName.GetLabel(3), "D");
    EXPECT_EQ(byName.GetGroup(1), 2);
    EXPECT_EQ(byName.GetX(2), 10.0f);
    EXPECT_EQ(byName.GetMaxX(), 10.0f);
    EXPECT_EQ(byName.GetMinY(), 0.0f);
    std::vector<int> codes{2};
    byName.CollectGroupCodes(codes);
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3}));

    // A label column gives "%d" of its value; without a group column every group is -1.
    CPointSeries byColumn(table, 1, 2, 4, -1, kMissing);
    EXPECT_EQ(byColumn.GetLabel(0), "11");
    EXPECT_EQ(byColumn.GetLabel(3), "14");
    EXPECT_FALSE(byColumn.HasGroups());
    EXPECT_EQ(byColumn.GetGroup(2), -1);
    std::vector<int> groups;
    byColumn.GetGroups(groups);
    EXPECT_TRUE(groups.empty());

    // Copies keep the groups only when the source has them; Append refits.
    CPointSeries copy(byColumn);
    EXPECT_EQ(copy.GetCount(), 4);
    EXPECT_FALSE(copy.HasGroups());
    copy.Append(byName);
    EXPECT_EQ(copy.GetCount(), 8);
    EXPECT_EQ(copy.GetGroup(5), 2);
    EXPECT_FALSE(copy.SetGroups({1, 2}));
    EXPECT_FALSE(copy.HasGroups());
    EXPECT_TRUE(copy.SetGroups({1, 1, 1, 1, 2, 2, 2, 2}));
    EXPECT_TRUE(copy.HasGroups());
}

// Enough rows that the points live in a block of their own: the points kept are the rows
// with both values, in row order, whatever room was set aside for the rows left out.
TEST(PointSeries, ALongTableKeepsEveryCompleteRowInOrder) {
    constexpr int kRows = 120000;
    CDataTable table;
    table.SetSize(kRows, 3);
    table.SetMissingCode(kMissing);
    int kept = 0;
    for (int r = 1; r <= kRows; ++r) {
        const bool absent = r % 7 == 0 || r > kRows - 10;
        table.SetValue(r, 1, absent ? kMissing : r);
        table.SetValue(r, 2, 2.0 * r + 1.0);
        table.SetValue(r, 3, -r - 0.75);
        if (!absent) ++kept;
    }
    CPointSeries series(table, 1, 2, 3, -1, kMissing);
    ASSERT_EQ(series.GetCount(), kept);
    EXPECT_EQ(series.GetLabel(0), "-1");  // -1.75 truncated toward zero
    EXPECT_EQ(series.GetX(6), 8.0f);      // row 7 left out
    EXPECT_EQ(series.GetLabel(6), "-8");
    EXPECT_EQ(series.GetX(kept - 1), static_cast<float>(kRows - 10 - ((kRows - 10) % 7 == 0 ? 1 : 0)));
    EXPECT_NEAR(series.GetSlope(), 2.0f, 1e-4);
    EXPECT_NEAR(series.GetIntercept(), 1.0f, 0.05);

    CPointSeries named(table, 1, 2, -1, -1, kMissing);
    EXPECT_EQ(named.GetLabel(6), "7");  // rows are named from 0
    std::vector<CString> labels;
    named.GetLabels(labels);
    ASSERT_EQ(labels.size(), static_cast<size_t>(kept));
    EXPECT_EQ(labels.back(), named.GetLabel(kept - 1));

    CPointSeries both(series);
    both.Append(named);
    ASSERT_EQ(both.GetCount(), 2 * kept);
    EXPECT_EQ(both.GetLabel(kept), "0");
    EXPECT_EQ(both.GetY(2 * kept - 1), series.GetY(kept - 1));
}

TEST(PointSeries, LeastSquaresLineAgreesWithTheTextbookFormulas) {
    CDataTable table = SmallTable();
    CPointSeries s(table, 1, 2, -1, -1, kMissing);
    // By hand: x̄ = 4.75, ȳ = 5.75, Sxx = 54.75, Sxy = 41.75, Syy = 64.75.
    const double b = 41.75 / 54.75;
    EXPECT_NEAR(s.GetSlope(), b, 1e-6);
    EXPECT_NEAR(s.GetIntercept(), 5.75 - 4.75 * b, 1e-6);
    EXPECT_NEAR(s.GetCorrelation(), 41.75 / std::sqrt(54.75 * 64.75), 1e-6);
    EXPECT_TRUE(s.HasFit());
    EXPECT_FLOAT_EQ(s.sumX, 19.0f);
    EXPECT_FLOAT_EQ(s.sumXY, 0 + 24 + 100 + 27);
    EXPECT_FLOAT_EQ(s.sumYY, 0 + 16 + 100 + 81);

    // Values far from zero next to their spread: y = 2(x − 10⁶) + 3 exactly.
    std::vector<float> xs, ys;
    for (int i = 0; i < 10; ++i) {
        xs.push_back(1e6f + static_cast<float>(i));
        ys.push_back(static_cast<float>(2 * i + 3));
    }
    CPointSeries far(xs, ys, {}, {});
    EXPECT_FLOAT_EQ(far.GetSlope(), 2.0f);
    EXPECT_FLOAT_EQ(far.GetIntercept(), -1999997.0f);
    EXPECT_FLOAT_EQ(far.GetCorrelation(), 1.0f);
}

TEST(PointSeries, NoSpreadInXMeansNoFittedLine) {
    CPointSeries vertical({2, 2, 2}, {1, 5, 9}, {}, {});
    EXPECT_FALSE(vertical.HasFit());
    EXPECT_FALSE(vertical.HasCorrelation());
    EXPECT_EQ(vertical.GetSlope(), 0.0f);
    EXPECT_TRUE(std::isfinite(vertical.GetIntercept()));
    CPointSeries flat({1, 2, 3}, {4, 4, 4}, {}, {});
    EXPECT_TRUE(flat.HasFit());
    EXPECT_EQ(flat.GetSlope(), 0.0f);
    EXPECT_FLOAT_EQ(flat.GetIntercept(), 4.0f);
    EXPECT_FALSE(flat.HasCorrelation());
    CPointSeries one({1}, {1}, {}, {});
    EXPECT_FALSE(one.HasFit());
    CPointSeries none({}, {}, {}, {});
    EXPECT_EQ(none.GetCount(), 0);
    EXPECT_FALSE(none.HasFit());
}

TEST(GroupColours, RedYellowCyanBlueBlackThenDarkerStepsAndNeverWhite) {
    const std::vector<COLORREF> expected = {
        RGB(255, 0, 0),   RGB(255, 255, 0),   RGB(0, 255, 255), RGB(0, 0, 255), RGB(0, 0, 0),
        RGB(200, 0, 0),   RGB(200, 200, 0),   RGB(200, 200, 200), RGB(0, 200, 200), RGB(0, 0, 200),
        RGB(0, 0, 0),     RGB(200, 0, 0),     RGB(200, 200, 0)};
    EXPECT_EQ(CScatterChart::MakeGroupColours(expected.size()), expected);
    EXPECT_EQ(CScatterChart::MakeGroupColours(1), std::vector<COLORREF>{RGB(255, 0, 0)});
    EXPECT_TRUE(CScatterChart::MakeGroupColours(0).empty());
    for (COLORREF c : CScatterChart::MakeGroupColours(40)) EXPECT_NE(c, RGB(255, 255, 255));
}

// The regression charts draw the fitted line between the frame and the points.
class CFittedChart : public CScatterChart {
public:
    using CScatterChart::CScatterChart;
    void Draw(CDC* dc, int l, int t, int r, int b) override {
        DrawFrame(dc, l, t, r, b);
        const CPointSeries& s = GetSeries();
        auto fit = [&](float x) { return s.GetIntercept() + s.GetSlope() * x; };
        DrawColouredLine(dc, WorldToDeviceX(maxX), WorldToDeviceY(fit(maxX)), WorldToDeviceX(minX),
                         WorldToDeviceY(fit(minX)), RGB(255, 0, 0));
        DrawPoints(dc, l, t, r, b);
    }
};

bool AnyInColumn(const Canvas& c, int x, int y0, int y1, COLORREF colour) {
    for (int y = y0; y <= y1; ++y)
        if (c.At(x, y) == colour) return true;
    return false;
}

TEST(ScatterChart, DrawnPixelsOfASmallChart) {
    CDataTable table = SmallTable();
    CPointSeries series(table, 1, 2, -1, 3, kMissing);
    CFittedChart chart(series, "Peso", "Altura", "dispersao");
    EXPECT_EQ(chart.title, "Diagrama de Dispersão");
    Canvas c(400, 300);
    chart.Draw(&c.dc, 0, 0, 400, 300);
    c.Save("scatter_small.png");
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    // Scale 0..12 by 2 on both axes: x ticks every 53 pixels from 60, y every 40 from 260.
    EXPECT_EQ(chart.xLow, 0.0f);
    EXPECT_EQ(chart.xHigh, 12.0f);
    EXPECT_EQ(chart.xTickCount, 6);
    // The frame, right and bottom edges excluded.
    EXPECT_EQ(c.At(60, 110), kBlack);
    EXPECT_EQ(c.At(389, 100), kBlack);
    EXPECT_EQ(c.At(390, 100), face);
    EXPECT_EQ(c.At(200, 10), kBlack);
    EXPECT_EQ(c.At(300, 259), kBlack);
    EXPECT_EQ(c.At(300, 261), face);
    // Tick marks below the axis at x = 113 and 166, none at the origin.
    EXPECT_EQ(c.At(113, 261), kBlack);
    EXPECT_EQ(c.At(166, 262), kBlack);
    EXPECT_EQ(c.At(60, 262), face);
    // y ticks left of the axis at y = 220, none at the origin.
    EXPECT_EQ(c.At(57, 220), kBlack);
    EXPECT_EQ(c.At(57, 260), face);
    // The dotted grid: three grey pixels, three gaps, counted from the axis.
    std::string column;
    for (int y = 256; y >= 245; --y) column += c.At(113, y) == kGrid ? '#' : c.At(113, y) == kWhite ? '.' : '?';
    EXPECT_EQ(column, "..###...###.");
    std::string row;
    for (int x = 64; x < 76; ++x) row += c.At(x, 140) == kGrid ? '#' : c.At(x, 140) == kWhite ? '.' : '?';
    EXPECT_EQ(row, "..###...###.");

    // Markers of 4 pixels centred on the mapped points, in their groups' colours:
    // B (6, 4) → (219, 180) yellow, C (10, 10) → (325, 60) cyan, D (3, 9) → (140, 80) red.
    for (auto [x, y, colour] : {std::tuple{219, 180, kYellow}, std::tuple{325, 60, kCyan}, std::tuple{140, 80, kRed}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(c.At(x - 2, y - 2), colour);
        EXPECT_EQ(c.At(x + 1, y + 1), colour);
        EXPECT_NE(c.At(x + 2, y), colour);
        EXPECT_NE(c.At(x, y + 2), colour);
        EXPECT_NE(c.At(x - 3, y), colour);
    }
    // The fitted line from (10, ŷ(10) = 9.753) → (325, 65) to (0, ŷ(0) = 2.128) → (60, 217),
    // its last pixel left out (the frame's edge stays black).
    EXPECT_EQ(c.At(325, 65), kRed);
    EXPECT_TRUE(AnyInColumn(c, 192, 140, 142, kRed));
    EXPECT_TRUE(AnyInColumn(c, 61, 216, 217, kRed));
    EXPECT_EQ(c.At(60, 217), kBlack);

    // The same chart as a person sees it with every label and named groups.
    chart.ShowAllLabels(true);
    chart.SetGroupNames({{"Baixo", 1}, {"Médio", 2}, {"Alto", 3}});
    Canvas full(400, 300);
    chart.Draw(&full.dc, 0, 0, 400, 300);
    full.Save("scatter_fitted_labels_legend.png");
    EXPECT_EQ(full.At(325, 65), kRed);

    // Hidden points are not drawn.
    chart.ShowAllLabels(false);
    chart.SetPointVisible(1, false);
    EXPECT_FALSE(chart.IsPointVisible(1));
    Canvas again(400, 300);
    chart.Draw(&again.dc, 0, 0, 400, 300);
    EXPECT_NE(again.At(218, 179), kYellow);
    EXPECT_EQ(again.At(139, 79), kRed);
}

TEST(ScatterChart, WithoutGroupsMarkersAreHollowAndBlackAndThereIsNoLegend) {
    CDataTable table = SmallTable();
    CPointSeries series(table, 1, 2, -1, -1, kMissing);
    CScatterChart chart(series, "x", "y", "sem grupos");
    Canvas c(400, 300);
    chart.Draw(&c.dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.GetGroupCodes(), std::vector<int>{-1});
    EXPECT_EQ(chart.GetGroupColours(), std::vector<COLORREF>{kRed});
    EXPECT_EQ(c.At(217, 178), kBlack);
    EXPECT_EQ(c.At(220, 181), kBlack);
    EXPECT_EQ(c.At(218, 179), kWhite);   // hollow
    EXPECT_EQ(chart.ItemAt(350, 135), -1);

    chart.SetFilled(true);
    chart.SetMarkerSize(6);
    Canvas filled(400, 300);
    chart.Draw(&filled.dc, 0, 0, 400, 300);
    EXPECT_EQ(filled.At(218, 179), kBlack);
    EXPECT_EQ(filled.At(216, 177), kBlack);   // side 6: 216..221
    EXPECT_EQ(filled.At(221, 182), kBlack);
}

TEST(ScatterChart, AnEmptySeriesDrawsAnEmptyFrameFromZeroToOne) {
    CPointSeries none({}, {}, {}, {});
    CScatterChart chart(none, "x", "y", "vazio");
    EXPECT_EQ(chart.xLow, 0.0f);
    EXPECT_FLOAT_EQ(chart.xHigh, 1.0f);
    EXPECT_FLOAT_EQ(chart.yHigh, 1.0f);
    CRecordingDC dc;
    chart.Draw(&dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.GetMarkerCount(), 0u);
    EXPECT_EQ(chart.GetPointCount(), 0);
    EXPECT_EQ(chart.ItemAt(100, 100), -1);
    std::vector<CSeriesPoint> samples;
    chart.CollectSelectedSamples(samples);
    EXPECT_TRUE(samples.empty());
}

TEST(ScatterChart, APointWithoutAPositionIsNeitherDrawnNorFound) {
    // B's x is beyond single precision: the scale falls back to 0..1, and B has no place on it.
    CScatterChart chart(CPointSeries({0.5f, HUGE_VALF, 0.25f}, {0.5f, 0.5f, 0.75f}, {"A", "B", "C"}, {}), "x", "y",
                        "longe");
    CRecordingDC dc;
    chart.Draw(&dc, 0, 0, 400, 300);
    ASSERT_EQ(chart.GetMarkerCount(), 3u);
    // The page and the plot frame, then the markers of A and C.
    EXPECT_EQ(dc.Find("Rectangle").size(), 4u);
    EXPECT_EQ(chart.ItemAt(chart.originX, chart.originY), -1);
    std::vector<CString> tips;
    EXPECT_FALSE(chart.GetHoverTexts(tips, chart.originX, chart.originY));
    EXPECT_EQ(chart.ItemAt(chart.WorldToDeviceX(0.25), chart.WorldToDeviceY(0.75)), 2);
    // A selection over the whole page takes A and C only.
    chart.OnButtonDown(nullptr, -1000, -1000);
    chart.OnButtonUp(nullptr, 5000, 5000);
    std::vector<CSeriesPoint> samples;
    chart.CollectSelectedSamples(samples);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].label, CString("A"));
    EXPECT_EQ(samples[1].label, CString("C"));
}

TEST(ScatterChart, ZeroLinesCrossTheAxesWhenTheScaleSpansZero) {
    CScatterChart chart(CPointSeries({-5, 5}, {-5, 5}, {}, {}), "x", "y", "zero");
    chart.SetShowZeroLines(true);
    CRecordingDC dc;
    chart.Draw(&dc, 0, 0, 400, 300);
    const int x0 = chart.WorldToDeviceX(0), y0 = chart.WorldToDeviceY(0);
    bool vertical = false, horizontal = false;
    for (const GdiRecord& r : dc.Find("LineTo")) {
        if (r.rop2 != R2_BLACK) continue;
        vertical |= r.args == std::vector<int>{x0, 260, x0, 10};
        horizontal |= r.args == std::vector<int>{60, y0, 390, y0};
    }
    EXPECT_TRUE(vertical);
    EXPECT_TRUE(horizontal);
}

TEST(ScatterChart, ConditioningLegendOfThreeNamedModalities) {
    CDataTable table = SmallTable();
    CPointSeries series(table, 1, 2, -1, 3, kMissing);
    CScatterChart chart(series, "Peso", "Altura", "condicionado");
    chart.SetGroupNames({{"Baixo", 1}, {"Médio", 2}, {"Alto", 3}});
    chart.ShowAllLabels(true);
    Canvas c(400, 300);
    chart.Draw(&c.dc, 0, 0, 400, 300);
    c.Save("scatter_legend.png");
    CChartLegend* legend = chart.GetLegend();
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->GetEntryNames(),
              (std::vector<CString>{CString("Baixo"), CString("Médio"), CString("Alto")}));

    // Box size {widest name + 24, 3·(height + 3) + 11}, against the right edge, centred in
    // the frame's height.
    CFont* old = c.dc.SelectObject(CChartText::LabelFont());
    CSize widest(0, 0);
    for (const char* name : {"Baixo", "Médio", "Alto"}) {
        const CSize size = c.dc.GetTextExtent(CString(name));
        if (size.cx > widest.cx) widest = size;
    }
    c.dc.SelectObject(old);
    ASSERT_TRUE(legend->GetBoxSize().has_value());
    EXPECT_EQ(*legend->GetBoxSize(), CSize(widest.cx + 24, 3 * widest.cy + 9 + 11));
    EXPECT_EQ(legend->x, 390 - (widest.cx + 24) - 2);
    EXPECT_EQ(legend->y, 10 + 125 - (3 * widest.cy + 20) / 2);
    // Each entry: a 5-pixel square in the group's colour, then its name.
    const COLORREF colours[3] = {kRed, kYellow, kCyan};
    for (int i = 0; i < 3; ++i) {
        const int mx = legend->x + 7, my = legend->y + 7 + i * (widest.cy + 3);
        EXPECT_EQ(c.At(mx, my), colours[i]) << i;
        EXPECT_EQ(c.At(mx - 2, my - 2), colours[i]) << i;
    }
    // The legend answers as item -100.
    EXPECT_EQ(chart.ItemAt(legend->x + 10, legend->y + 10), CScatterChart::kLegendItem);
    chart.ShowConditioning(false);
    EXPECT_EQ(chart.ItemAt(legend->x + 10, legend->y + 10), -1);
}

TEST(ScatterChart, NewGroupsReplaceTheMarkersColoursAndLegend) {
    CDataTable table = SmallTable();
    CScatterChart chart(CPointSeries(table, 1, 2, -1, -1, kMissing), "x", "y", "grupos");
    CRecordingDC dc;
    chart.Draw(&dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.conditioningShown, 0);
    chart.SetPointGroups({1, 2});   // not one a point: nothing changes
    EXPECT_EQ(chart.GetMarkerCount(), 4u);
    EXPECT_EQ(chart.conditioningShown, 0);
    chart.SetPointGroups({7, 7, 8, 9});
    EXPECT_EQ(chart.GetMarkerCount(), 0u);
    EXPECT_EQ(chart.GetLegend(), nullptr);
    EXPECT_EQ(chart.conditioningShown, 1);
    EXPECT_TRUE(chart.IsFilled());
    chart.Draw(&dc, 0, 0, 400, 300);
    EXPECT_EQ(chart.GetGroupCodes(), (std::vector<int>{7, 8, 9}));
    ASSERT_EQ(chart.GetMarkerCount(), 4u);
    EXPECT_EQ(chart.GetMarker(2)->colour, kYellow);
    ASSERT_NE(chart.GetLegend(), nullptr);
    EXPECT_EQ(chart.GetLegend()->GetEntryNames(),
              (std::vector<CString>{CString("7"), CString("8"), CString("9")}));
}

// --- The mouse, on a window that shows the chart through a back buffer ------------------------

// Whether any pixel of the rectangle on the window has the colour.
bool AnyIn(ShownPage& shown, const CRect& r, COLORREF colour) {
    CClientDC dc(&shown.view);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (dc.GetPixel(x, y) == colour) return true;
    return false;
}

TEST(ScatterChartMouse, HitTestingHoverTextsAndLabelDragging) {
    CDataTable table = SmallTable();
    CScatterChart chart(CPointSeries(table, 1, 2, -1, 3, kMissing), "Peso", "Altura", "rato");
    ShownPage shown(&chart, 400, 300);
    CWnd* wnd = &shown.view;
    ASSERT_GT(shown.view.paints, 0);

    // B's marker covers (217..220, 178..181).
    EXPECT_EQ(chart.ItemAt(219, 180), 1);
    EXPECT_EQ(chart.ItemAt(217, 178), 1);
    EXPECT_EQ(chart.ItemAt(221, 180), -1);
    EXPECT_EQ(chart.ItemAt(216, 180), -1);
    std::vector<CString> texts;
    EXPECT_TRUE(chart.GetHoverTexts(texts, 219, 180));
    EXPECT_EQ(texts, std::vector<CString>{CString("B")});
    texts.clear();
    EXPECT_FALSE(chart.GetHoverTexts(texts, 250, 250));

    // A click on the marker shows its label (at the button-up), to the marker's right.
    EXPECT_TRUE(chart.OnButtonDown(wnd, 219, 180));
    CChartText* label = chart.GetMarker(1)->GetLabel();
    EXPECT_FALSE(chart.GetMarker(1)->labelShown);
    EXPECT_TRUE(chart.OnButtonUp(wnd, 219, 180));
    EXPECT_TRUE(chart.GetMarker(1)->labelShown);
    shown.view.Invalidate();
    afx::ProcessPendingEvents();
    EXPECT_EQ(label->x, 224);
    EXPECT_EQ(label->y, 180);
    ASSERT_TRUE(label->extent.has_value());
    const CSize ext = *label->extent;
    const CRect first(224, 180, 224 + ext.cx - 4, 180 + ext.cy);
    EXPECT_TRUE(AnyIn(shown, first, kBlue));
    // The label answers the hit test too, and the hover text.
    EXPECT_EQ(chart.ItemAt(226, 185), 1);

    // Pressing on the label drags the label, not the marker.
    EXPECT_TRUE(chart.OnButtonDown(wnd, 226, 185));
    EXPECT_TRUE(label->IsHighlighted());
    EXPECT_EQ(chart.FindDraggedLabel(), 1);
    chart.OnMouseMove(wnd, 246, 205);
    EXPECT_TRUE(chart.OnButtonUp(wnd, 246, 205));
    EXPECT_FALSE(label->IsHighlighted());
    EXPECT_EQ(label->x, 244);
    EXPECT_EQ(label->y, 200);
    EXPECT_EQ(chart.GetMarker(1)->x, 219);
    const CRect moved(244, 200, 244 + ext.cx - 4, 200 + ext.cy);
    EXPECT_TRUE(AnyIn(shown, moved, kBlue));
    EXPECT_FALSE(AnyIn(shown, CRect(222, 180, 244, 200), kBlue));

    // A step that would leave the frame is refused; the next is measured from the last
    // accepted point.
    EXPECT_TRUE(chart.OnButtonDown(wnd, 246, 205));
    chart.OnMouseMove(wnd, 246, 205 + 200);   // outside the frame: the drag ends
    EXPECT_FALSE(label->IsHighlighted());
    EXPECT_EQ(label->y, 200);
    label->OnButtonDown(nullptr, 246, 205);
    EXPECT_FALSE(label->Drag(nullptr, 246 + 200, 205));
    EXPECT_EQ(label->x, 244);
    EXPECT_TRUE(label->Drag(nullptr, 256, 205));
    EXPECT_EQ(label->x, 254);
    label->OnButtonUp(nullptr, 256, 205);
    shown.view.Invalidate();
    afx::ProcessPendingEvents();

    // "Voltar à Posição Inicial" puts it back where it was first drawn.
    chart.RestoreInitialPosition(wnd, 1);
    EXPECT_EQ(label->x, 224);
    EXPECT_EQ(label->y, 180);
    EXPECT_TRUE(AnyIn(shown, first, kBlue));
    EXPECT_FALSE(AnyIn(shown, CRect(254, 200, 254 + ext.cx, 200 + ext.cy), kBlue));

    // A hidden label stays where it is.
    label->OnButtonDown(nullptr, 226, 185);
    label->Drag(nullptr, 236, 195);
    label->OnButtonUp(nullptr, 236, 195);
    EXPECT_TRUE(chart.OnButtonUp(wnd, 219, 180));   // hides the label
    EXPECT_FALSE(chart.GetMarker(1)->labelShown);
    chart.RestoreInitialPosition(wnd, 1);
    EXPECT_EQ(label->x, 234);
}

TEST(ScatterChartMouse, LabelsNearTheRightAndBottomEdgesFlipInside) {
    // (10, 0) maps onto the frame's right part and onto the x axis.
    CScatterChart chart(CPointSeries({0, 11.9f, 5}, {0, 0.2f, 10}, {"O", "Direita", "T"}, {}), "x", "y", "bordas");
    chart.ShowAllLabels(true);
    Canvas c(400, 300);
    chart.Draw(&c.dc, 0, 0, 400, 300);
    CChartShape* marker = chart.GetMarker(1);
    CChartText* label = marker->GetLabel();
    ASSERT_TRUE(label->extent.has_value());
    const CSize ext = *label->extent;
    // Drawn left of its anchor (anchor − width) and above it.
    EXPECT_EQ(label->x, marker->x + 5 - ext.cx);
    EXPECT_EQ(label->y, marker->y - ext.cy);
    EXPECT_EQ(label->initialX, label->x);
    CRect r;
    label->GetRect(r, label->frameX, label->frameY);
    EXPECT_LE(r.right, 390);
    EXPECT_LE(r.bottom, 260);
    c.Save("scatter_edge_labels.png");
}

TEST(ScatterChartMouse, DraggingTheLegendAndPuttingItBack) {
    CDataTable table = SmallTable();
    CScatterChart chart(CPointSeries(table, 1, 2, -1, 3, kMissing), "Peso", "Altura", "legenda");
    ShownPage shown(&chart, 400, 300);
    CWnd* wnd = &shown.view;
    CChartLegend* legend = chart.GetLegend();
    ASSERT_NE(legend, nullptr);
    const int x0 = legend->x, y0 = legend->y;
    const CChartElement* firstEntry = legend->GetEntry(0);
    const int entryX = firstEntry->x;

    EXPECT_TRUE(chart.OnButtonDown(wnd, x0 + 10, y0 + 10));
    EXPECT_TRUE(legend->IsHighlighted());
    chart.OnMouseMove(wnd, x0 - 90, y0 + 40);
    chart.OnButtonUp(wnd, x0 - 90, y0 + 40);
    EXPECT_FALSE(legend->IsHighlighted());
    EXPECT_EQ(legend->x, x0 - 100);
    EXPECT_EQ(legend->y, y0 + 30);
    EXPECT_EQ(firstEntry->x, entryX - 100);
    // The red entry marker moved with the box; the old place shows the plot again.
    EXPECT_EQ(shown.At(x0 - 100 + 7, y0 + 30 + 7), kRed);
    EXPECT_NE(shown.At(x0 + 7, y0 + 7), kRed);
    EXPECT_EQ(chart.ItemAt(x0 - 95, y0 + 35), CScatterChart::kLegendItem);

    chart.RestoreInitialPosition(wnd, CScatterChart::kLegendItem);
    EXPECT_EQ(legend->x, x0);
    EXPECT_EQ(legend->y, y0);
    EXPECT_EQ(firstEntry->x, entryX);
    EXPECT_EQ(shown.At(x0 + 7, y0 + 7), kRed);
    EXPECT_NE(shown.At(x0 - 100 + 7, y0 + 30 + 7), kRed);
}

TEST(ScatterChartMouse, SelectionRectangleCollectsTheVisiblePointsInside) {
    CDataTable table = SmallTable();
    CScatterChart chart(CPointSeries(table, 1, 2, -1, 3, kMissing), "Peso", "Altura", "selecao");
    ShownPage shown(&chart, 400, 300);
    CWnd* wnd = &shown.view;
    const COLORREF before = shown.At(150, 50);

    // From upper left to lower right around B (219, 180) and D (140, 80).
    EXPECT_FALSE(chart.OnButtonDown(wnd, 100, 50));
    chart.OnMouseMove(wnd, 180, 120);
    chart.OnMouseMove(wnd, 250, 240);
    EXPECT_NE(shown.At(150, 50), before);   // the rubber band shows
    chart.OnButtonUp(wnd, 250, 240);
    EXPECT_EQ(shown.At(150, 50), before);   // and is gone
    EXPECT_TRUE(chart.HasSelection());
    std::vector<CSeriesPoint> samples;
    chart.CollectSelectedSamples(samples);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].label, "B");
    EXPECT_EQ(samples[0].x, 6.0f);
    EXPECT_EQ(samples[0].group, -1);
    EXPECT_EQ(samples[1].label, "D");
    float x1, y1, x2, y2;
    chart.GetSelectionWorldRect(x1, y1, x2, y2);
    EXPECT_NEAR(x1, 12.0 * 40 / 318, 1e-5);
    EXPECT_NEAR(y1, 12.0 * 210 / 240, 1e-5);
    EXPECT_NEAR(x2, 12.0 * 190 / 318, 1e-5);
    EXPECT_NEAR(y2, 1.0, 1e-5);

    // Hidden points are not collected.
    chart.SetPointVisible(3, false);
    samples.clear();
    chart.CollectSelectedSamples(samples);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0].label, "B");
    // ...but still answer the hit test.
    EXPECT_EQ(chart.ItemAt(140, 80), 3);

    // Drawn from lower right to upper left: a selection, but no point inside.
    chart.OnButtonDown(wnd, 250, 240);
    chart.OnMouseMove(wnd, 100, 50);
    chart.OnButtonUp(wnd, 100, 50);
    EXPECT_TRUE(chart.HasSelection());
    samples.clear();
    chart.CollectSelectedSamples(samples);
    EXPECT_TRUE(samples.empty());
    // A click without a move is no selection.
    chart.OnButtonDown(wnd, 120, 120);
    chart.OnButtonUp(wnd, 120, 120);
    EXPECT_FALSE(chart.HasSelection());
}

}  // namespace
