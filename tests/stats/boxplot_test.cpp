// The boxplot command driven from its menu item: options, single and multiple charts, the
// legend's values against the position rule of the quartiles, fences and outlier marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/boxplot_chart.h"
#include "charts/chart_dialogs.h"
#include "platform/gdi/recording_dc.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "tests/stats/enormous_table.h"
#include "tests/support/gui_test.h"

using testsupport::TempFolder;

namespace {

constexpr double X = -9.9;
const std::vector<double> kPeso = {1, 2, X, 3, 4, 30, 5, 6, -20, 7, 8, X};
const std::vector<double> kGrande = {1000000.125, 1000000.25, 1000000.5, 999999.875, 1000000.125, 1000000.0,
                                     1000000.375, 999999.75, 1000000.25, 1000000.625, X, X};

std::string DataFile() {
    std::string s = "#Tesmo v7.00#\r\n-9.900000\r\n5\r\nPeso\r\n1\r\nCor\r\n0\r\n0\r\nGrande\r\n1\r\nNada\r\n1\r\nUltima\r\n1\r\n";
    for (size_t r = 0; r < 12; ++r) {
        char line[200];
        snprintf(line, sizeof line, "r%zu %.10g %zu %.10g %.10g %zu\r\n", r + 1, kPeso[r], r % 3 + 1, kGrande[r], X, r);
        s += line;
    }
    return s;
}

// Median, quartiles, mean and extremes by the position rule, from the float values.
struct Summary {
    double q1 = 0, median = 0, q3 = 0, mean = 0, min = 0, max = 0;
};

Summary Summarise(const std::vector<double>& cells) {
    std::vector<double> x;
    double sum = 0;
    for (double v : cells)
        if (v != X) x.push_back(static_cast<float>(v)), sum += v;
    std::sort(x.begin(), x.end());
    const size_t n = x.size(), m = n / 4;
    auto at = [&](size_t k) { return x[k - 1]; };
    Summary s{};
    switch (n % 4) {
        case 0: s = {(at(m) + at(m + 1)) / 2, (at(2 * m) + at(2 * m + 1)) / 2, (at(3 * m) + at(3 * m + 1)) / 2, 0, 0, 0}; break;
        case 1: s = {at(m + 1), at(2 * m + 1), at(3 * m + 1), 0, 0, 0}; break;
        case 2: s = {at(m + 1), (at(2 * m + 1) + at(2 * m + 2)) / 2, at(3 * m + 2), 0, 0, 0}; break;
        default: s = {at(m + 1), at(2 * m + 2), at(3 * m + 3), 0, 0, 0}; break;
    }
    s.mean = sum / static_cast<double>(n);
    s.min = x.front();
    s.max = x.back();
    return s;
}

std::vector<CString> LegendTexts(CPlotPage* page) {
    CRecordingDC dc;
    page->Draw(&dc, 0, 0, 800, 600);
    std::vector<CString> texts;
    for (const GdiRecord& r : dc.Find("TextOut"))
        if (r.textColor == 0xFF0000) texts.push_back(r.text);
    return texts;
}

// Whether a horizontal segment of the given half-width is drawn at y around x.
bool HasCap(CPlotPage* page, int x, int y, int half) {
    CRecordingDC dc;
    page->Draw(&dc, 0, 0, 800, 600);
    for (const GdiRecord& r : dc.Find("LineTo"))
        if (r.args[1] == y && r.args[3] == y && std::min(r.args[0], r.args[2]) == x - half &&
            std::max(r.args[0], r.args[2]) == x + half)
            return true;
    return false;
}

class BoxplotCommand : public testing::Test {
protected:
    void SetUp() override {
        frame = testsupport::StartTabulon();
        testsupport::WriteBytes(dir.File("caixa.tsm"), DataFile());
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("caixa.tsm").c_str()), nullptr);
    }
    void Run() { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_STATS_BOXPLOT, 0), 0); }

    CMainFrame* frame = nullptr;
    TempFolder dir;
};

TEST_F(BoxplotCommand, SingleChartsShowTheSummaryFencesAndOutliers) {
    ScriptedUser user;
    std::vector<CString> messages;
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });
    user.OnDialog(170, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para boxPlot");
        EXPECT_EQ(d.Items(1078), (std::vector<CString>{"Peso", "Grande", "Nada", "Ultima"}));  // no Cor
        d.Tick(1078, 0);
        d.Tick(1078, 1);
        d.Tick(1078, 2);
        d.Click(1191);
    });
    user.OnDialog(175, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(1028), BST_CHECKED);
        EXPECT_FALSE(d.IsEnabled(1145));
        EXPECT_EQ(d.Checked(1120), BST_CHECKED);
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "BoxPlot");
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        ASSERT_EQ(window.GetShownPages().size(), 2u);  // Nada left out
        auto* peso = dynamic_cast<CBoxPlotChart*>(window.GetShownPages()[0]);
        ASSERT_NE(peso, nullptr);
        const Summary s = Summarise(kPeso);
        auto fixed2 = [](double v) { return FormatString("%.2f", static_cast<double>(static_cast<float>(v))); };
        // A range of 50: two decimals.
        EXPECT_EQ(LegendTexts(peso), (std::vector<CString>{"Máximo - " + fixed2(s.max), "3ºQuartil - " + fixed2(s.q3),
                                                           "Mediana - " + fixed2(s.median), "Média - " + fixed2(s.mean),
                                                           "1ºQuartil - " + fixed2(s.q1), "Mínimo - " + fixed2(s.min),
                                                           " - Média", " - Valor Anómalo"}));
        // Fences one interquartile range from the median: 4.5 -+ 5; 30 and -20 lie beyond.
        EXPECT_FLOAT_EQ(peso->upperFence, static_cast<float>(s.median + (s.q3 - s.q1)));
        EXPECT_FLOAT_EQ(peso->lowerFence, static_cast<float>(s.median - (s.q3 - s.q1)));
        EXPECT_TRUE(HasCap(peso, peso->boxCentreX, peso->WorldToDeviceY(peso->upperFence), 50));
        EXPECT_TRUE(HasCap(peso, peso->boxCentreX, peso->WorldToDeviceY(peso->lowerFence), 50));
        EXPECT_FALSE(HasCap(peso, peso->boxCentreX, peso->WorldToDeviceY(30), 50));
        // Near 1e6 with a spread below 1: three decimals, shortened by the decimals only.
        auto* grande = dynamic_cast<CBoxPlotChart*>(window.GetShownPages()[1]);
        EXPECT_EQ(LegendTexts(grande)[0], "Máximo - 1000000.62");
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/boxplot.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    user.OnDialog(175, [](DialogDriver& d) {
        d.Click(1120);  // outliers no longer marked
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* peso = dynamic_cast<CBoxPlotChart*>(window.GetShownPages()[0]);
        EXPECT_EQ(LegendTexts(peso).size(), 7u);  // no " - Valor Anómalo"
        EXPECT_TRUE(HasCap(peso, peso->boxCentreX, peso->WorldToDeviceY(30), 50));
        EXPECT_TRUE(HasCap(peso, peso->boxCentreX, peso->WorldToDeviceY(-20), 50));
        d.Click(IDCANCEL);
    });
    Run();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, (std::vector<CString>{"A variável Nada não tem valores presentes: o boxplot não é desenhado"}));
}

TEST_F(BoxplotCommand, MultipleChartsGroupTheVariablesOnACommonAxis) {
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        for (int i : {0, 1, 3}) d.Tick(1078, i);
        d.Click(1191);
    });
    std::vector<CString> messages;
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });
    user.OnDialog(175, [](DialogDriver& d) {
        d.Click(1027);
        EXPECT_TRUE(d.IsEnabled(1145));
        d.Type(1145, "6");
        d.Click(1192);  // refused: 2 to 5
        d.Type(1145, "2");
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Peso-Grande", "Ultima"}));
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* first = dynamic_cast<CMultipleBoxplotChart*>(window.GetShownPages()[0]);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->boxCount, 2);
        EXPECT_EQ(first->overallMin, -20.0);
        EXPECT_EQ(first->overallMax, 1000000.625);
        EXPECT_EQ(dynamic_cast<CMultipleBoxplotChart*>(window.GetShownPages()[1])->boxCount, 1);
        EXPECT_TRUE(LegendTexts(first).empty());
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/boxplot_multiple.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    // A count typed under "Sim" no longer counts once "Não" greys its edit.
    user.OnDialog(175, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(1027), BST_CHECKED);
        d.Type(1145, "7");
        d.Click(1028);
        EXPECT_FALSE(d.IsEnabled(1145));
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Peso", "Grande", "Ultima"}));
        d.Click(IDCANCEL);
    });
    Run();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, (std::vector<CString>{"Tem de ser um número inteiro entre 2 e 5"}));
}

// 1e300 .. 6e300, beyond single precision: the box, its whiskers and its legend come from
// the doubles (n = 6: quartiles x2 and x5, median (x3 + x4) / 2), on an axis of 7e299 a step.
TEST(BoxplotBeyondSinglePrecision, TheBoxItsLegendAndItsAxisComeFromTheDoubles) {
    TempFolder dir;
    ScriptedUser user;
    OpenEnormousTable(dir, user);
    if (HasFatalFailure()) return;
    user.OnDialog(175, [](DialogDriver& d) { d.Click(1192); });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* chart = dynamic_cast<CBoxPlotChart*>(window.GetShownPages()[0]);
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(LegendTexts(chart),
                  (std::vector<CString>{"Máximo - 6.000e+300", "3ºQuartil - 5.000e+300", "Mediana - 3.500e+300",
                                        "Média - 3.500e+300", "1ºQuartil - 2.000e+300", "Mínimo - 1.000e+300",
                                        " - Média", " - Valor Anómalo"}));
        CRecordingDC dc;
        chart->Draw(&dc, 0, 0, 800, 600);
        std::vector<CString> yLabels;
        for (const GdiRecord& r : dc.Find("TextOut"))
            if (r.args[0] < chart->originX) yLabels.push_back(r.text);
        EXPECT_EQ(yLabels, (std::vector<CString>{"7e+299", "1.4e+300", "2.1e+300", "2.8e+300", "3.5e+300", "4.2e+300",
                                                 "4.9e+300", "5.6e+300", "6.3e+300"}));
        // The box from the first to the third quartile, inside the plot frame.
        const int top = chart->WorldToDeviceY(5e300), bottom = chart->WorldToDeviceY(2e300);
        EXPECT_GT(top, chart->yAxisTopY);
        EXPECT_LT(bottom, chart->originY);
        bool box = false;
        for (const GdiRecord& r : dc.Find("Rectangle"))
            box = box || (r.args[0] == chart->boxCentreX - 70 && r.args[2] == chart->boxCentreX + 70 &&
                          std::min(r.args[1], r.args[3]) == top && std::max(r.args[1], r.args[3]) == bottom);
        EXPECT_TRUE(box);
        // No value lies beyond a fence (3.5e300 -+ 3e300): the whiskers reach the extremes.
        EXPECT_TRUE(HasCap(chart, chart->boxCentreX, chart->WorldToDeviceY(6e300), 50));
        EXPECT_TRUE(HasCap(chart, chart->boxCentreX, chart->WorldToDeviceY(1e300), 50));
        d.Click(IDCANCEL);
    });
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_STATS_BOXPLOT, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(user.Messages().empty());
}

TEST(BoxplotLegend, ValuesKeepTheirIntegerPartAndLargeOnesTakeAnExponent) {
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(3.14159, 2), "3.14");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(2499.9, 0), "2499");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(-0.5, 0), "0");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(123456789.125, 3), "123456789");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(5e12, 0), "5.000e+12");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(-3e20, 2), "-3.000e+20");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(HUGE_VAL, 0), "N/A");
    EXPECT_EQ(CBoxPlotChart::FormatLegendValue(std::nan(""), 2), "N/A");
    EXPECT_EQ(CPlotChart::FormatTickLabel(5e12f, false, 0), "4999999913984");  // the float's value, not a wrapped int
}

}  // namespace
