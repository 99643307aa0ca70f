// The chart dialogs driven by the scripted user: pages, options of the identifiers and the
// conditioning, the sets of factorial planes, the matrix dialog and the single chart.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "charts/chart_dialogs.h"
#include "platform/ui/shell.h"
#include "res/chart_resource_ids.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

CPointSeries Points(int n, bool groups) {
    std::vector<float> xs, ys;
    std::vector<CString> labels;
    std::vector<int> codes;
    for (int i = 0; i < n; ++i) {
        xs.push_back(static_cast<float>(i % 17));
        ys.push_back(static_cast<float>((i * 7) % 11));
        labels.push_back(FormatString("p%d", i + 1));
        if (groups) codes.push_back(i % 3);
    }
    return CPointSeries(xs, ys, labels, groups ? codes : std::vector<int>{});
}

struct Charts {
    std::vector<std::unique_ptr<CScatterChart>> owned;
    std::vector<CPlotPage*> pages;
    Charts(std::initializer_list<const char*> names, int points = 12) {
        for (const char* name : names) {
            owned.push_back(std::make_unique<CScatterChart>(Points(points, true), "x", "y", name));
            pages.push_back(owned.back().get());
        }
    }
    CScatterChart& operator[](size_t i) { return *owned[i]; }
};

TEST(ChartWindowDialog, PagesIdentifiersConditioningAndItsTwoEndings) {
    Charts charts({"Peso x Altura", "Peso x Idade"});
    CChartWindowDlg dialog(charts.pages, 1, 0);
    dialog.SetCaption("Diagrama de Dispersão");
    dialog.ShowIdentifiersOption(true);
    dialog.ShowConditioningOption(true);
    afx::ScriptedUser user;
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        afx::ProcessPendingEvents();
        EXPECT_EQ(d.Caption(), "Diagrama de Dispersão");
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{CString("Peso x Altura"), CString("Peso x Idade")}));
        EXPECT_EQ(d.Selected(IDC_PAGE_LIST), 0);
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_IDENTIFIERS));
        EXPECT_EQ(d.Checked(IDC_SHOW_IDENTIFIERS), BST_UNCHECKED);
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_CONDITIONING));
        EXPECT_EQ(d.Checked(IDC_SHOW_CONDITIONING), BST_CHECKED);
        EXPECT_FALSE(d.IsVisible(IDC_PLANES_ACTIVE));
        EXPECT_TRUE(d.IsEnabled(IDC_CHART_PREVIOUS));
        EXPECT_FALSE(d.IsEnabled(IDC_ZOOM_IN));
        EXPECT_EQ(dialog.GetChartWnd().GetPage(), charts.pages[0]);

        d.Click(IDC_SHOW_IDENTIFIERS);
        EXPECT_TRUE(dialog.GetShowAllIdentifiers());
        EXPECT_TRUE(charts[1].labelsShown);
        d.Click(IDC_SHOW_CONDITIONING);
        EXPECT_FALSE(charts[0].conditioningShown);
        EXPECT_FALSE(charts[1].conditioningShown);
        d.Select(IDC_PAGE_LIST, 1);
        EXPECT_EQ(dialog.GetCurrentIndex(), 1);
        EXPECT_EQ(dialog.GetChartWnd().GetPage(), charts.pages[1]);
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/chart_window_dialog.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_PREVIOUS);
    EXPECT_TRUE(user.AllAnswered());

    // "Sair", Escape and Enter all end with the finish code.
    for (int way = 0; way < 3; ++way) {
        CChartWindowDlg again(charts.pages, 1, 1);
        again.SetPreviousDisabled(true);
        afx::ScriptedUser finish;
        finish.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
            EXPECT_FALSE(d.IsEnabled(IDC_CHART_PREVIOUS));
            EXPECT_FALSE(d.IsVisible(IDC_SHOW_IDENTIFIERS));
            EXPECT_EQ(d.Selected(IDC_PAGE_LIST), 1);
            if (way == 0) d.Click(IDCANCEL);
            else d.Key(way == 1 ? VK_ESCAPE : VK_RETURN);
        });
        EXPECT_EQ(again.DoModal(), STEP_FINISH) << way;
        EXPECT_TRUE(finish.AllAnswered());
    }
}

TEST(ChartWindowDialog, TheIdentifiersOptionNeedsFewerThanAThousandPoints) {
    for (int n : {999, 1000}) {
        Charts charts({"muitos"}, n);
        CChartWindowDlg dialog(charts.pages, 1, 0);
        dialog.ShowIdentifiersOption(true);
        afx::ScriptedUser user;
        user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
            EXPECT_EQ(d.IsVisible(IDC_SHOW_IDENTIFIERS), n < 1000) << n;
            d.Click(IDCANCEL);
        });
        dialog.DoModal();
        EXPECT_TRUE(user.AllAnswered());
    }
}

TEST(ChartWindowDialog, FactorialPlanesSwitchBetweenTheirSets) {
    Charts active({"F1 x F2", "F1 x F3", "F2 x F3"});
    Charts supplementary({"S F1 x F2", "S F1 x F3", "S F2 x F3"});
    Charts combined({"C F1 x F2", "C F1 x F3", "C F2 x F3"});
    CChartWindowDlg dialog(active.pages, supplementary.pages, combined.pages);
    afx::ScriptedUser user;
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        EXPECT_TRUE(d.IsVisible(IDC_PLANES_ACTIVE));
        EXPECT_EQ(d.Checked(IDC_PLANES_ACTIVE), BST_CHECKED);
        EXPECT_TRUE(d.IsEnabled(IDC_PLANES_COMBINED));
        d.Select(IDC_PAGE_LIST, 2);
        d.Click(IDC_PLANES_SUPPLEMENTARY);
        EXPECT_EQ(d.Items(IDC_PAGE_LIST)[0], "S F1 x F2");
        EXPECT_EQ(d.Selected(IDC_PAGE_LIST), 2);
        EXPECT_EQ(dialog.GetChartWnd().GetPage(), supplementary.pages[2]);
        d.Click(IDC_PLANES_COMBINED);
        EXPECT_EQ(dialog.GetChartWnd().GetPage(), combined.pages[2]);
        // The identifiers go to every plane of the three sets.
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());

    // No supplementary planes: their choices are disabled. No active planes either: the
    // first set that has planes is shown.
    std::vector<CPlotPage*> none;
    CChartWindowDlg partial(active.pages, none, none);
    CChartWindowDlg onlyCombined(none, none, combined.pages);
    afx::ScriptedUser second;
    second.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        EXPECT_TRUE(d.IsEnabled(IDC_PLANES_ACTIVE));
        EXPECT_FALSE(d.IsEnabled(IDC_PLANES_SUPPLEMENTARY));
        EXPECT_FALSE(d.IsEnabled(IDC_PLANES_COMBINED));
        d.Click(IDCANCEL);
    });
    second.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_PLANES_COMBINED), BST_CHECKED);
        EXPECT_EQ(onlyCombined.GetChartWnd().GetPage(), combined.pages[0]);
        d.Click(IDCANCEL);
    });
    partial.DoModal();
    onlyCombined.DoModal();
    EXPECT_TRUE(second.AllAnswered());

    // An empty list of pages shows the background only.
    CChartWindowDlg empty(none, 1, 0);
    afx::ScriptedUser third;
    third.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        EXPECT_EQ(empty.GetChartWnd().GetPage(), nullptr);
        EXPECT_TRUE(d.Items(IDC_PAGE_LIST).empty());
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(empty.DoModal(), STEP_FINISH);
}

TEST(ChartOptions, MarkersAndShownPointsOfOnePageOrOfAll) {
    Charts charts({"Peso x Altura", "Peso x Idade"});
    CChartWindowDlg dialog(charts.pages, 1, 0);
    afx::ScriptedUser user;
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text.Left(44), "Você alterou o estado de alguns marcadores. ");
        return IDOK;
    });
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        EXPECT_TRUE(d.IsEnabled(IDC_OPTIONS_TOGGLE));
        d.Click(IDC_OPTIONS_TOGGLE);
        CChartOptionsDlg* options = dialog.GetOptionsDlg();
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), "<<");
        EXPECT_TRUE(options->IsWindowVisible());

        afx::DialogDriver o(*options);
        std::vector<CString> labels = o.Items(IDC_OPTIONS_POINTS);
        ASSERT_EQ(labels.size(), 12u);
        EXPECT_EQ(labels[0], "p1");
        EXPECT_TRUE(o.IsTicked(IDC_OPTIONS_POINTS, 5));
        EXPECT_EQ(options->GetSlider().GetPos(), 3);   // size 4
        EXPECT_EQ(o.Checked(IDC_OPTIONS_FILLED), BST_CHECKED);

        // "Actual": this page only.
        o.Tick(IDC_OPTIONS_POINTS, 0);
        options->GetSlider().SetPos(1);
        o.Click(IDC_OPTIONS_FILLED);
        o.Click(IDC_OPTIONS_APPLY_CURRENT);
        EXPECT_FALSE(charts[0].IsPointVisible(0));
        EXPECT_EQ(charts[0].GetMarkerSize(), 2);
        EXPECT_FALSE(charts[0].IsFilled());
        EXPECT_TRUE(charts[1].IsPointVisible(0));
        EXPECT_EQ(charts[1].GetMarkerSize(), 4);
        afx::ProcessPendingEvents();
        o.SavePng((testsupport::PictureFolder() + "/chart_options.png").c_str());

        // Another page: its own points and settings.
        d.Select(IDC_PAGE_LIST, 1);
        EXPECT_EQ(options->GetCurrentPage(), 1);
        EXPECT_TRUE(o.IsTicked(IDC_OPTIONS_POINTS, 0));
        EXPECT_EQ(options->GetSlider().GetPos(), 3);
        EXPECT_EQ(o.Checked(IDC_OPTIONS_FILLED), BST_CHECKED);

        // "Todos" with a new size only: every page, no notice.
        options->GetSlider().SetPos(4);
        o.Click(IDC_OPTIONS_APPLY_ALL);
        EXPECT_EQ(charts[0].GetMarkerSize(), 5);
        EXPECT_EQ(charts[1].GetMarkerSize(), 5);
        // With a tick: the notice, and the ticks on this page only.
        o.Click(IDC_OPTIONS_UNTICK_ALL);
        EXPECT_FALSE(o.IsTicked(IDC_OPTIONS_POINTS, 11));
        o.Click(IDC_OPTIONS_APPLY_ALL);
        EXPECT_FALSE(charts[1].IsPointVisible(11));
        EXPECT_TRUE(charts[0].IsPointVisible(11));
        EXPECT_EQ(user.Messages().size(), 1u);
        o.Click(IDC_OPTIONS_TICK_ALL);
        o.Click(IDC_OPTIONS_APPLY_CURRENT);
        EXPECT_TRUE(charts[1].IsPointVisible(11));

        d.Click(IDC_OPTIONS_TOGGLE);
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), ">>");
        EXPECT_FALSE(options->IsWindowVisible());
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());
}

// Where the options open when the chart window dialog stands at a place chosen from its own
// frame; the frames of both.
struct Placement {
    CRect chart, options;
};
Placement OpenOptionsWith(const std::function<CPoint(const CRect&)>& chartAt) {
    Charts charts({"Peso x Altura"});
    CChartWindowDlg dialog(charts.pages, 1, 0);
    Placement placed;
    afx::ScriptedUser user;
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        CRect frame;
        dialog.GetWindowRect(&frame);
        const CPoint at = chartAt(frame);
        dialog.MoveWindow(at.x, at.y, frame.Width(), frame.Height());
        afx::ProcessPendingEvents();
        d.Click(IDC_OPTIONS_TOGGLE);
        ASSERT_NE(dialog.GetOptionsDlg(), nullptr);
        dialog.GetWindowRect(&placed.chart);
        dialog.GetOptionsDlg()->GetWindowRect(&placed.options);
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());
    return placed;
}

TEST(ChartOptions, OpenBesideTheChartDialogAndInsideTheWorkArea) {
    CRect area;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0));
    // Room on the right: the frames' corners meet.
    Placement p = OpenOptionsWith([&](const CRect& frame) { return CPoint(area.left - frame.Width() + 200, area.top + 30); });
    EXPECT_EQ(p.options.left, p.chart.right);
    EXPECT_EQ(p.options.top, p.chart.top);
    EXPECT_GE(p.options.Height(), p.chart.Height());
    // Against the right edge: moved left just enough, at the same height.
    p = OpenOptionsWith([&](const CRect& frame) { return CPoint(area.right - frame.Width(), area.top + 30); });
    EXPECT_EQ(p.options.right, area.right);
    EXPECT_EQ(p.options.top, p.chart.top);
    // A chart dialog whose title bar is above the screen: the options' title bar is not.
    p = OpenOptionsWith([&](const CRect& frame) { return CPoint(area.left - frame.Width() + 200, area.top - 40); });
    EXPECT_EQ(p.options.left, p.chart.right);
    EXPECT_EQ(p.options.top, area.top);
}

TEST(ChartOptions, TheToggleFollowsTheOptionsClosedFromTheirOwnWindow) {
    Charts charts({"Peso x Altura"});
    CChartWindowDlg dialog(charts.pages, 1, 0);
    afx::ScriptedUser user;
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        d.Click(IDC_OPTIONS_TOGGLE);
        CChartOptionsDlg* options = dialog.GetOptionsDlg();
        ASSERT_NE(options, nullptr);
        afx::DialogDriver o(*options);
        o.Key(VK_ESCAPE);
        EXPECT_FALSE(options->IsWindowVisible());
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), ">>");
        // One click shows them again.
        d.Click(IDC_OPTIONS_TOGGLE);
        EXPECT_TRUE(options->IsWindowVisible());
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), "<<");
        o.CloseBox();
        EXPECT_FALSE(options->IsWindowVisible());
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), ">>");
        d.Click(IDC_OPTIONS_TOGGLE);
        EXPECT_TRUE(options->IsWindowVisible());
        // The toggle still hides them.
        d.Click(IDC_OPTIONS_TOGGLE);
        EXPECT_FALSE(options->IsWindowVisible());
        EXPECT_EQ(d.Text(IDC_OPTIONS_TOGGLE), ">>");
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ChartOptions, ThePointListShowsWholeColumns) {
    Charts charts({"muitos"}, 60);
    CChartWindowDlg dialog(charts.pages, 1, 0);
    afx::ScriptedUser user;
    user.OnDialog(IDD_CHART_WINDOW, [&](afx::DialogDriver& d) {
        d.Click(IDC_OPTIONS_TOGGLE);
        ASSERT_NE(dialog.GetOptionsDlg(), nullptr);
        auto* list = static_cast<CListBox*>(dialog.GetOptionsDlg()->GetDlgItem(IDC_OPTIONS_POINTS));
        CRect client;
        list->GetClientRect(&client);
        // Several columns, more than the list shows at once, and none cut at the right edge.
        const int column = list->GetColumnWidth();
        EXPECT_LT(2 * column, client.Width());
        EXPECT_LT(client.Width() % column, client.Width() / column) << client.Width() << " " << column;
        afx::ProcessPendingEvents();
        afx::DialogDriver(*dialog.GetOptionsDlg()).SavePng((testsupport::PictureFolder() + "/chart_options_columns.png").c_str());
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(MatrixDialog, TheTableWithOrWithoutTheCorrelationHeader) {
    CDataTable matrix;
    matrix.SetSize(2, 2);
    matrix.SetTitle("r");
    matrix.SetVariableName(1, "Peso");
    matrix.SetVariableName(2, "Altura");
    matrix.SetRowName(1, "Peso");
    matrix.SetRowName(2, "Altura");
    matrix.SetValue(1, 1, 1.0);
    matrix.SetValue(1, 2, 0.8123);
    matrix.SetValue(2, 1, 0.7964);
    matrix.SetValue(2, 2, 1.0);
    for (int header : {1, 0}) {
        CMatrixResultsDlg dialog(&matrix, header);
        dialog.SetCaption("Matriz de Correlação");
        afx::ScriptedUser user;
        user.OnDialog(IDD_MATRIX_RESULTS, [&](afx::DialogDriver& d) {
            afx::ProcessPendingEvents();
            EXPECT_EQ(d.Caption(), "Matriz de Correlação");
            EXPECT_EQ(d.IsVisible(IDC_MATRIX_HEADER), header == 1);
            auto* list = static_cast<CListCtrl*>(d.Dialog().GetDlgItem(IDC_MATRIX_LIST));
            EXPECT_EQ(list->GetItemCount(), 2);
            EXPECT_EQ(list->GetItemText(0, 2), "0.8123");
            if (header) d.SavePng((testsupport::PictureFolder() + "/matrix_dialog.png").c_str());
            d.Click(header ? IDCANCEL : IDC_CHART_PREVIOUS);
        });
        EXPECT_EQ(dialog.DoModal(), header ? STEP_FINISH : STEP_PREVIOUS);
        EXPECT_TRUE(user.AllAnswered());
    }
}

TEST(SingleChartDialog, ShowsItsPageUnderItsCaption) {
    CScreePlotChart scree({"F1", "F2", "F3"}, {2.5f, 1.0f, 0.4f}, "scree");
    CSingleChartDlg dialog(&scree);
    dialog.SetCaption("Valores Próprios");
    afx::ScriptedUser user;
    user.OnDialog(IDD_SINGLE_CHART, [&](afx::DialogDriver& d) {
        afx::ProcessPendingEvents();
        EXPECT_EQ(d.Caption(), "Valores Próprios");
        EXPECT_EQ(dialog.GetChartWnd().GetPage(), &scree);
        d.SavePng((testsupport::PictureFolder() + "/single_chart_dialog.png").c_str());
        d.Click(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    // The scree plot kept the picture of its first paint.
    EXPECT_NE(scree.GetOwned(), nullptr);
}

}  // namespace
