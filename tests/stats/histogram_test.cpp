// The histogram command driven from its menu item: class counts set on their page, the
// classes and counts of each chart, and the tick labels the page draws.
#include <gtest/gtest.h>

#include <cmath>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/chart_dialogs.h"
#include "platform/gdi/recording_dc.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "stats/histogram.h"
#include "tests/stats/enormous_table.h"
#include "tests/support/gui_test.h"

using testsupport::TempFolder;

namespace {

constexpr double X = -9.9;

std::string DataFile() {
    // Thirty rows: Peso 1..10 between absent cells, Cor with the codes 1, 1, 2, 5, Inteiro
    // 0..8, Muitos 30 distinct codes, Nada nothing, Fixo 5 three times.
    std::string s = "#Tesmo v7.00#\r\n-9.900000\r\n6\r\nPeso\r\n1\r\nCor\r\n0\r\n0\r\nInteiro\r\n1\r\nMuitos\r\n0\r\n0\r\n"
                    "Nada\r\n1\r\nFixo\r\n1\r\n";
    for (int r = 0; r < 30; ++r) {
        const double peso = r % 3 == 0 && r / 3 < 10 ? r / 3 + 1 : X;
        const double cor = r < 4 ? std::vector<double>{1, 5, 1, 2}[static_cast<size_t>(r)] : X;
        const double inteiro = r < 9 ? 8 - r : X;
        const double fixo = r >= 27 ? 5 : X;
        char line[200];
        snprintf(line, sizeof line, "r%d %.10g %.10g %.10g %d %.10g %.10g\r\n", r + 1, peso, cor, inteiro, 30 - r, X, fixo);
        s += line;
    }
    return s;
}

std::vector<int> Counts(const CHistogramChart& chart) {
    std::vector<int> counts;
    for (const auto& c : chart.GetClasses()) counts.push_back(c.count);
    return counts;
}

// The texts drawn below the x axis (the tick labels), left to right.
std::vector<CString> XLabels(CPlotPage* page) {
    CRecordingDC dc;
    page->Draw(&dc, 0, 0, 800, 600);
    auto* chart = static_cast<CPlotChart*>(page);
    std::vector<std::pair<int, CString>> found;
    for (const GdiRecord& r : dc.Find("TextOut"))
        if (r.args[1] > chart->originY) found.push_back({r.args[0], r.text});
    std::sort(found.begin(), found.end());
    std::vector<CString> texts;
    for (auto& f : found) texts.push_back(f.second);
    return texts;
}

std::vector<CString> YLabels(CPlotPage* page) {
    CRecordingDC dc;
    page->Draw(&dc, 0, 0, 800, 600);
    auto* chart = static_cast<CPlotChart*>(page);
    std::vector<CString> texts;
    for (const GdiRecord& r : dc.Find("TextOut"))
        if (r.args[0] < chart->originX && r.args[1] < chart->originY) texts.push_back(r.text);
    return texts;
}

class HistogramCommand : public testing::Test {
protected:
    void SetUp() override {
        frame = testsupport::StartTabulon();
        testsupport::WriteBytes(dir.File("hist.tsm"), DataFile());
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("hist.tsm").c_str()), nullptr);
    }
    void Run() { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_STATS_HISTOGRAM, 0), 0); }

    CMainFrame* frame = nullptr;
    TempFolder dir;
};

TEST_F(HistogramCommand, ClassesCountsAndLabelsOfEachKindOfVariable) {
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para histogramas");
        EXPECT_FALSE(d.IsEnabled(1156));
        d.Click(1139);
        d.Click(1191);
    });
    user.OnDialog(173, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar o Número de Classes para Cada Variável");
        EXPECT_EQ(d.Items(1078), (std::vector<CString>{"Peso", "Cor", "Inteiro", "Muitos", "Nada", "Fixo"}));
        EXPECT_EQ(d.Selected(1078), 0);
        EXPECT_EQ(d.Text(1000), "4");  // ten values: floor(sqrt(10)) + 1
        EXPECT_TRUE(d.IsEnabled(1000));
        d.Type(1000, "30");
        d.Focus(1078);  // refused with the range message
        d.Type(1000, "5");
        d.Focus(1078);  // stored for Peso
        d.Select(1078, 1);
        EXPECT_FALSE(d.IsEnabled(1000));  // qualitative
        d.Select(1078, 0);
        EXPECT_EQ(d.Text(1000), "5");
        d.Select(1078, 2);
        EXPECT_EQ(d.Text(1000), "4");  // nine values
        d.Click(1192);
    });
    std::vector<CString> messages;
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });  // the range
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });  // Muitos
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });  // Nada
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Histograma");
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        const std::vector<CPlotPage*>& pages = window.GetShownPages();
        ASSERT_EQ(pages.size(), 5u);  // Nada has none
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Peso", "Cor", "Inteiro", "Muitos", "Fixo"}));
        auto* peso = dynamic_cast<CHistogramChart*>(pages[0]);
        ASSERT_NE(peso, nullptr);
        // 1..10 in five classes: width 1.8, two values each.
        EXPECT_EQ(Counts(*peso), (std::vector<int>{2, 2, 2, 2, 2}));
        EXPECT_FLOAT_EQ(peso->GetClasses()[1].lower, 2.8f);
        EXPECT_EQ(peso->GetClasses().back().upper, 10.0f);
        EXPECT_EQ(XLabels(peso), (std::vector<CString>{"1.00", "2.80", "4.60", "6.40", "8.20", "10.00"}));
        EXPECT_EQ(YLabels(peso), (std::vector<CString>{"0", "1", "2"}));

        auto* cor = dynamic_cast<CHistogramChart*>(pages[1]);
        EXPECT_TRUE(cor->IsOneBarPerValue());
        EXPECT_EQ(Counts(*cor), (std::vector<int>{2, 1, 1}));
        EXPECT_EQ(XLabels(cor), (std::vector<CString>{"1", "2", "5"}));

        // 0..8 in four classes of width 2: the values on 2, 4 and 6 go to the class below.
        auto* inteiro = dynamic_cast<CHistogramChart*>(pages[2]);
        EXPECT_EQ(Counts(*inteiro), (std::vector<int>{3, 2, 2, 2}));

        auto* muitos = dynamic_cast<CHistogramChart*>(pages[3]);
        EXPECT_FALSE(muitos->IsOneBarPerValue());
        ASSERT_EQ(muitos->GetClasses().size(), 25u);
        int total = 0;
        for (int c : Counts(*muitos)) total += c;
        EXPECT_EQ(total, 30);
        EXPECT_EQ(muitos->GetClasses()[0].count, 2);  // 1 and 2 up to 1 + 29/25

        // One value three times: a zero width, everything in the first class, labels drawn.
        auto* fixo = dynamic_cast<CHistogramChart*>(pages[4]);
        EXPECT_EQ(Counts(*fixo), (std::vector<int>{3, 0}));
        EXPECT_EQ(XLabels(fixo), (std::vector<CString>{"5.00", "5.00", "5.00"}));

        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/histogram.png").c_str());
        d.Select(IDC_PAGE_LIST, 1);
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/histogram_qualitative.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    user.OnDialog(173, [](DialogDriver& d) {
        d.Type(1000, "3");
        d.Click(1141);  // one range message for one click
        EXPECT_EQ(d.FocusId(), 1000);
        d.Type(1000, "6");
        d.Click(1141);  // every variable gets 6
        d.Click(1192);
    });
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });  // the range
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });
    user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        EXPECT_EQ(dynamic_cast<CHistogramChart*>(window.GetShownPages()[0])->GetClasses().size(), 6u);
        EXPECT_EQ(dynamic_cast<CHistogramChart*>(window.GetShownPages()[1])->GetClasses().size(), 3u);
        d.Click(IDCANCEL);
    });
    Run();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0], "Tem de ser um número inteiro entre 5 e 25");
    EXPECT_EQ(messages[1], "Algumas modalidades foram agrupadas");
    EXPECT_NE(messages[2].Find("Nada"), -1);
    EXPECT_EQ(messages[3], "Tem de ser um número inteiro entre 5 e 25");
    EXPECT_EQ(messages[4], "Algumas modalidades foram agrupadas");
}

// 1e300 .. 6e300, beyond single precision: three equal classes of 5e300 / 3 hold two values
// each, and their bounds are labelled, scaled by 10^300.
TEST(HistogramBeyondSinglePrecision, ClassesCountsAndLabelsComeFromTheDoubles) {
    TempFolder dir;
    ScriptedUser user;
    OpenEnormousTable(dir, user);
    if (HasFatalFailure()) return;
    user.OnDialog(173, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(1000), "3");
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* chart = dynamic_cast<CHistogramChart*>(window.GetShownPages()[0]);
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(Counts(*chart), (std::vector<int>{2, 2, 2}));
        const double width = 5e300 / 3;
        const double bounds[] = {1e300, 1e300 + width, 1e300 + 2 * width, 6e300};
        const std::vector<CString> labels = XLabels(chart);
        ASSERT_EQ(labels.size(), 5u);  // four bounds and the power of ten
        std::vector<double> drawn;
        for (const auto& c : chart->GetClasses()) drawn.push_back(c.lower);
        drawn.push_back(chart->GetClasses().back().upper);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(drawn[i], bounds[i], 1e-12 * bounds[i]);
            EXPECT_NEAR(std::atof(labels[i]), bounds[i] / 1e300, 1e-12) << labels[i].GetString();
        }
        EXPECT_EQ(labels[4], "(x10^300)");
        EXPECT_EQ(YLabels(chart), (std::vector<CString>{"0", "1", "2"}));
        d.Click(IDCANCEL);
    });
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_STATS_HISTOGRAM, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(user.Messages().empty());
}

TEST(HistogramLabels, LayoutOfLargeSmallAndOutOfIntValues) {
    using L = CHistogramChart::LabelLayout;
    // Near 1e6 with a spread of 1, ten classes on 680 pixels: B = 11 characters, D = 7, one
    // row and one decimal.
    L wide = CHistogramChart::ComputeLabelLayout(680, 10, 1000000.0f, 1000001.0f);
    EXPECT_FALSE(wide.twoRows);
    EXPECT_EQ(wide.decimals, 1);
    EXPECT_EQ(CHistogramChart::FormatLabel(1000000.5, wide), "1000000.5");
    // 25 classes: B = 4, so 2B - 1 = D and the labels are scaled by 10^-6 with 7 decimals.
    L big = CHistogramChart::ComputeLabelLayout(680, 25, 1000000.0f, 1000001.0f);
    EXPECT_TRUE(big.twoRows);
    EXPECT_TRUE(big.scaled);
    EXPECT_EQ(big.exponent, 6);
    EXPECT_EQ(CHistogramChart::FormatLabel(1000000.5, big), "1.0000005");
    // Beyond the range of an int, no decimals: the whole value, not a wrapped integer.
    L huge = CHistogramChart::ComputeLabelLayout(4000, 2, 0.0f, 5e10f);
    EXPECT_FALSE(huge.scaled);
    EXPECT_EQ(huge.decimals, 0);
    EXPECT_EQ(CHistogramChart::FormatLabel(5e10, huge), "50000000000");
    EXPECT_EQ(CHistogramChart::FormatLabel(-0.4, huge), "0");
    // The integer part is sized by the larger end: -500 to 1 needs a sign and three digits.
    L negative = CHistogramChart::ComputeLabelLayout(680, 5, -500.0f, 1.0f);
    EXPECT_EQ(negative.digits, 4);
    // Too narrow for any decimal: never a negative precision.
    L narrow = CHistogramChart::ComputeLabelLayout(40, 25, 0.001f, 0.002f);
    EXPECT_GE(narrow.decimals, 0);
}

TEST(ClassCounts, DefaultIsTheRootPlusOneUpTo25) {
    EXPECT_EQ(CClassCountDlg::DefaultClassCount(100), 11);
    EXPECT_EQ(CClassCountDlg::DefaultClassCount(1000), 25);
    EXPECT_EQ(CClassCountDlg::DefaultClassCount(15), 4);
    EXPECT_EQ(CClassCountDlg::DefaultClassCount(16), 5);
}

}  // namespace
