// The scatter-diagram and linear-regression commands driven from their menu items: the
// variable page's rules, the texts of the regression pages against an independent fit,
// and the charts opened from the regression dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/chart_dialogs.h"
#include "platform/gdi/recording_dc.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "stats/regression.h"
#include "tests/support/gui_test.h"

using testsupport::TempFolder;

namespace {

constexpr double X = -9.9;

// Venda near 1e4 with a small spread, Preco with negatives and absent cells, Fixo constant,
// Grupo with 3 categories (a conditioning candidate), Id with 12 (an identifier only).
const std::vector<double> kPreco = {-1.5, 2.25, X, 4, 0.5, -3, 7.75, 1, X, 2.25, 5.5, -0.25};
const std::vector<double> kVenda = {10000.5, 10001.25, 10000.75, 10002, 10000.25, X,
                                    10003.5, 10000.75, 10001, 10001.5, 10002.25, 10000.125};
const std::vector<double> kFixo = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
const std::vector<double> kGrupo = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3};

std::string DataFile() {
    std::string s = "#Tesmo v7.00#\r\n-9.900000\r\n5\r\nPreco\r\n1\r\nVenda\r\n1\r\nFixo\r\n1\r\n"
                    "Grupo\r\n0\r\n3\r\nNorte 1\r\nSul 2\r\nCentro 3\r\nId\r\n0\r\n12\r\n";
    for (int i = 0; i < 12; ++i) s += "Loja " + std::to_string(100 + i) + "\r\n";
    for (size_t r = 0; r < 12; ++r) {
        char line[200];
        snprintf(line, sizeof line, "r%zu %.10g %.10g %.10g %.10g %zu\r\n", r + 1, kPreco[r], kVenda[r], kFixo[r], kGrupo[r],
                 100 + r);
        s += line;
    }
    return s;
}

struct Fit {
    CString a, b, r;
};

// The least-squares line of y on x over the rows where both are present, from the values
// as single precision, with deviations about the means in long double.
Fit Independent(const std::vector<double>& xs, const std::vector<double>& ys) {
    std::vector<long double> x, y;
    for (size_t i = 0; i < xs.size(); ++i)
        if (xs[i] != X && ys[i] != X) x.push_back(static_cast<float>(xs[i])), y.push_back(static_cast<float>(ys[i]));
    long double mx = 0, my = 0;
    for (size_t i = 0; i < x.size(); ++i) mx += x[i], my += y[i];
    mx /= x.size();
    my /= y.size();
    long double sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) sxx += (x[i] - mx) * (x[i] - mx), syy += (y[i] - my) * (y[i] - my), sxy += (x[i] - mx) * (y[i] - my);
    if (sxx == 0) return {"N/A", "N/A", "N/A"};
    auto text = [](long double v) {
        char b[64];
        snprintf(b, sizeof b, "%f", static_cast<double>(static_cast<float>(v)));
        return CString(b);
    };
    const long double b = sxy / sxx;
    return {text(my - b * mx), text(b), syy == 0 ? CString("N/A") : text(sxy / std::sqrt(sxx * syy))};
}

// The value written after each label of a regression page.
Fit PageTexts(CPlotPage* page) {
    CRecordingDC dc;
    page->Draw(&dc, 0, 0, 600, 400);
    std::map<int, CString> byRow;
    for (const GdiRecord& r : dc.Find("TextOut"))
        if (r.args[0] == 20 + 6 * 17) byRow[r.args[1]] = r.text;
    std::vector<CString> labels;
    for (const GdiRecord& r : dc.Find("TextOut"))
        if (r.args[0] == 20) labels.push_back(r.text);
    EXPECT_EQ(labels, (std::vector<CString>{"Ordenada (a) = ", "Declive (b) = ", "Correlacao (r) = "}));
    return {byRow[20], byRow[40], byRow[60]};
}

class PairedCommands : public testing::Test {
protected:
    void SetUp() override {
        frame = testsupport::StartTabulon();
        testsupport::WriteBytes(dir.File("pares.tsm"), DataFile());
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("pares.tsm").c_str()), nullptr);
    }
    void Run(UINT id) { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    CMainFrame* frame = nullptr;
    TempFolder dir;
};

TEST_F(PairedCommands, RegressionPagesAgreeWithAnIndependentFitAndOpenTheirCharts) {
    ScriptedUser user;
    std::vector<CString> messages;
    for (int i = 0; i < 3; ++i)
        user.OnMessageBox([&](const CString& text, UINT) { messages.push_back(text); return IDOK; });
    user.OnDialog(176, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para recta de regressão linear");
        EXPECT_EQ(d.Items(1154), (std::vector<CString>{"Grupo", "Id"}));
        EXPECT_EQ(d.Items(1155), (std::vector<CString>{"Grupo"}));  // Id has 12 categories
        EXPECT_FALSE(d.IsEnabled(1154));
        d.Click(1139);  // every X, no Y
        d.Click(1192);  // "Tem de escolher pelo menos uma variável"
        d.Tick(1146, 1);  // Venda as Y leaves the X list
        EXPECT_FALSE(d.IsTicked(1079, 1));
        EXPECT_TRUE(d.IsTicked(1079, 0));
        d.Tick(1146, 0);
        EXPECT_FALSE(d.IsTicked(1079, 0));
        d.Click(1192);  // two Y variables
        d.Tick(1146, 0);
        d.Tick(1079, 0);
        for (int i : {3, 4}) d.Tick(1079, i);  // Grupo and Id are not X variables here
        d.Click(1153);  // "Outro" without an identifier
        EXPECT_TRUE(d.IsEnabled(1154));
        d.Click(1192);
        d.Tick(1154, 1);  // Id labels the points
        d.Tick(1155, 0);  // Grupo colours them
        d.Click(1192);
    });
    user.OnDialog(177, [](DialogDriver& d) {
        auto& dialog = static_cast<CRegressionDlg&>(d.Dialog());
        const std::vector<CPlotPage*>& pages = dialog.GetShownPages();
        ASSERT_EQ(pages.size(), 2u);  // Preco and Fixo, in X-list order
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Venda/Preco", "Venda/Fixo"}));
        const Fit expected = Independent(kPreco, kVenda);
        const Fit shown = PageTexts(pages[0]);
        EXPECT_EQ(shown.a, expected.a);
        EXPECT_EQ(shown.b, expected.b);
        EXPECT_EQ(shown.r, expected.r);
        // No spread in x: no line and no correlation, not a division by zero.
        const Fit flat = PageTexts(pages[1]);
        EXPECT_EQ(flat.a, "N/A");
        EXPECT_EQ(flat.b, "N/A");
        EXPECT_EQ(flat.r, "N/A");
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/regression_dialog.png").c_str());
        d.Click(1149);
        d.Click(1147);
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Diagrama de Dispersão e Recta de Regressão Linear (Y/X)");
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_CONDITIONING));
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* chart = dynamic_cast<CRegressionChart*>(window.GetShownPages()[0]);
        ASSERT_NE(chart, nullptr);
        EXPECT_TRUE(chart->HasLine());
        EXPECT_EQ(chart->GetSeries().GetCount(), 9);
        EXPECT_EQ(chart->GetSeries().GetLabel(0), "100");  // Id, not the row name
        // The line spans the x range of the data and the y axis holds both of its ends.
        EXPECT_EQ(chart->minX, -1.5f);  // -3 has no Venda
        EXPECT_EQ(chart->maxX, 7.75f);
        EXPECT_LE(chart->yLow, std::min(chart->fittedAtMin, chart->fittedAtMax));
        EXPECT_GE(chart->yHigh, std::max(chart->fittedAtMin, chart->fittedAtMax));
        EXPECT_FALSE(dynamic_cast<CRegressionChart*>(window.GetShownPages()[1])->HasLine());
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/regression_chart.png").c_str());
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Diagrama de Dispersão e Recta de Regressão Linear (Y/Residuos)");
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* chart = dynamic_cast<CRegressionChart*>(window.GetShownPages()[0]);
        ASSERT_NE(chart, nullptr);
        const CPointSeries& s = chart->GetSeries();
        const float a = std::stof(Independent(kPreco, kVenda).a.GetString());
        const float b = std::stof(Independent(kPreco, kVenda).b.GetString());
        // Residual y - (b x + a) across, the observed y up; the first point is row 1.
        EXPECT_NEAR(s.GetX(0), static_cast<float>(10000.5) - (b * -1.5f + a), 1e-2);
        EXPECT_EQ(s.GetY(0), 10000.5f);
        EXPECT_EQ(window.GetShownPages()[0]->GetName(), "Venda/Preco (Residuos)");
        EXPECT_EQ(window.GetShownPages().size(), 1u);  // Fixo has no line, so no residuals
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/regression_residuals.png").c_str());
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_REGRESSION);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, (std::vector<CString>{"Tem de escolher pelo menos uma variável",
                                              "Só pode escolher uma variável para o eixo do y",
                                              "Tem de selecionar uma variável para o identificador"}));
}

TEST_F(PairedCommands, ScatterDiagramGivesOneChartPerXInListOrderAndKeepsTheChoiceOnAnterior) {
    ScriptedUser user;
    user.OnDialog(176, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para Diagrama de Dispersão");
        for (int i : {0, 2, 3}) d.Tick(1079, i);
        d.Tick(1146, 1);
        d.Click(1153);
        d.Tick(1154, 0);
        d.Click(1152);  // back to the row names: the ticked identifier no longer counts
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Diagrama de dispersão");
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Venda/Preco", "Venda/Fixo", "Venda/Grupo"}));
        EXPECT_FALSE(d.IsVisible(IDC_SHOW_CONDITIONING));
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        auto* chart = dynamic_cast<CScatterChart*>(window.GetShownPages()[0]);
        EXPECT_EQ(chart->GetSeries().GetLabel(0), "r1");
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/scatter_diagram.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    // Back on the variable page the choice is still ticked: "Seguinte" goes on at once.
    auto ticked = [](DialogDriver& d, int list) {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(d.Items(list).size()); ++i)
            if (d.IsTicked(list, i)) out.push_back(i);
        return out;
    };
    user.OnDialog(176, [&](DialogDriver& d) {
        EXPECT_EQ(ticked(d, 1079), (std::vector<int>{0, 2, 3}));
        EXPECT_EQ(ticked(d, 1146), (std::vector<int>{1}));
        EXPECT_EQ(d.Checked(1152), BST_CHECKED);
        d.Click(1153);
        d.Tick(1154, 1);  // Id labels the points
        d.Tick(1155, 0);  // Grupo colours them
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_CONDITIONING));
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        EXPECT_EQ(dynamic_cast<CScatterChart*>(window.GetShownPages()[0])->GetSeries().GetLabel(0), "100");
        d.Click(IDC_CHART_PREVIOUS);
    });
    user.OnDialog(176, [&](DialogDriver& d) {
        EXPECT_EQ(ticked(d, 1079), (std::vector<int>{0, 2, 3}));
        EXPECT_EQ(ticked(d, 1146), (std::vector<int>{1}));
        EXPECT_EQ(d.Checked(1153), BST_CHECKED);
        EXPECT_TRUE(d.IsEnabled(1154));
        EXPECT_EQ(ticked(d, 1154), (std::vector<int>{1}));
        EXPECT_EQ(ticked(d, 1155), (std::vector<int>{0}));
        d.Click(1192);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Venda/Preco", "Venda/Fixo", "Venda/Grupo"}));
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_CONDITIONING));
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_SCATTER);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(user.Messages().empty());
}

TEST_F(PairedCommands, WithoutAnyFittedLineTheResidualButtonsSaySo) {
    ScriptedUser user;
    user.OnDialog(176, [](DialogDriver& d) {
        d.Tick(1079, 2);  // Fixo: every x is 3
        d.Tick(1146, 1);
        d.Click(1192);
    });
    for (int i = 0; i < 2; ++i)
        user.OnMessageBox([](const CString& text, UINT) {
            EXPECT_EQ(text, "Não há recta de regressão: todos os X são iguais");
            return IDOK;
        });
    user.OnDialog(177, [](DialogDriver& d) {
        d.Click(1147);
        d.Click(1148);
        d.Click(1149);  // the points still show, without a line
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        auto& window = static_cast<CChartWindowDlg&>(d.Dialog());
        ASSERT_EQ(window.GetShownPages().size(), 1u);
        EXPECT_FALSE(dynamic_cast<CRegressionChart*>(window.GetShownPages()[0])->HasLine());
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_REGRESSION);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(user.Messages().size(), 2u);
}

TEST_F(PairedCommands, APairOfOnePointHasNoLineWithoutBlamingEqualXs) {
    testsupport::WriteBytes(dir.File("raro.tsm"), "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nY\r\n1\r\nRaro\r\n1\r\n"
                                                  "r1 1.5 2\r\nr2 2.5 -9.9\r\nr3 4 -9.9\r\n");
    {
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("raro.tsm").c_str()), nullptr);
    }
    ScriptedUser user;
    user.OnDialog(176, [](DialogDriver& d) {
        d.Tick(1079, 1);  // Raro: present in one row only
        d.Tick(1146, 0);
        d.Click(1192);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Não há recta de regressão");
        return IDOK;
    });
    user.OnDialog(177, [](DialogDriver& d) {
        d.Click(1148);
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_REGRESSION);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(user.Messages().size(), 1u);
}

TEST_F(PairedCommands, ConditioningChoiceEndsWithItsVariableOrWithNone) {
    const std::vector<CNamedCode> candidates = {{"Grupo", 4}, {"Zona", 7}};
    ScriptedUser user;
    user.OnDialog(188, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar Condicionamento");
        EXPECT_EQ(d.Items(1078), (std::vector<CString>{"Grupo", "Zona"}));
        d.Tick(1078, 0);
        d.Tick(1078, 1);  // one choice at a time
        EXPECT_FALSE(d.IsTicked(1078, 0));
        d.Click(IDOK);
    });
    user.OnDialog(188, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnDialog(188, [](DialogDriver& d) { d.Click(IDCANCEL); });
    CConditioningDlg chosen(candidates);
    EXPECT_EQ(chosen.DoModal(), IDOK);
    EXPECT_EQ(chosen.GetConditioningVariable(), 7);
    CConditioningDlg none(candidates);
    EXPECT_EQ(none.DoModal(), CConditioningDlg::RESULT_NONE);
    EXPECT_EQ(none.GetConditioningVariable(), -1);
    CConditioningDlg left(candidates);
    EXPECT_EQ(left.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
