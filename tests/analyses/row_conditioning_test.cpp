// The row planes of the factorial results with a conditioning variable: the conditioning
// dialog lists the document's qualitative variables; a tick groups each plane's points by
// their rows' codes with the legend named after the categories; no tick draws them without
// groups; "Sair" shows nothing; a table without qualitative variables goes straight to the
// planes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyses/corresp_report_dlg.h"
#include "analyses/mca_report_dlg.h"
#include "app/tabulon_app.h"
#include "charts/graphic_elements.h"
#include "charts/scatter_chart.h"
#include "res/chart_resource_ids.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

constexpr UINT kConditioning = 188;
constexpr int kConditioningList = 1078;

// Regiao has three categories; the rows' codes are 3 1 2 2 1.
const char kRegionTable[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n4\r\n"
    "Altura\r\n1\r\nRegiao\r\n0\r\n3\r\nNorte 1\r\nCentro 2\r\nSul 3\r\nPeso\r\n1\r\n"
    "Sexo\r\n0\r\n2\r\nF 1\r\nM 2\r\n"
    "L1 1.5 3 60 1\r\nL2 1.7 1 70 2\r\nL3 1.6 2 65 2\r\nL4 1.8 2 80 1\r\nL5 1.4 1 50 1\r\n";

const char kQuantitativeTable[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n2\r\n"
    "Altura\r\n1\r\nPeso\r\n1\r\n"
    "L1 1.5 60\r\nL2 1.7 70\r\nL3 1.6 65\r\nL4 1.8 80\r\nL5 1.4 50\r\n";

// Rows L1, L3, L4 active and L2, L5 supplementary (data-set rows counted from 0); two
// columns; two factors.
class Owner : public TestAnalysisDlg {
public:
    int GetFactorCount() override { return 2; }
    int GetActiveColumnCount() override { return 2; }
    int GetSupplementaryColumnCount() override { return 0; }
    int GetActiveRowCount() override { return 3; }
    int GetSupplementaryRowCount() override { return 2; }
    void GetActiveRows(std::vector<int>& rows) override { rows.insert(rows.end(), {0, 2, 3}); }
    void GetSupplementaryRows(std::vector<int>& rows) override { rows.insert(rows.end(), {1, 4}); }
};

const char kKeloTmp[] =
    "1\n0.3 60 60\n0.2 40 100\n"
    "c1 0.5 0.2 0.3 -0.1\nc2 0.5 0.1 -0.3 0.1\n"
    "r1 0.4 0.1 0.1 0.2\nr3 0.3 0.2 -0.2 0.1\nr4 0.3 0.3 0.0 -0.3\n"
    "s2 0.2 0.1 0.2 0.2\ns5 0.1 0.1 -0.1 -0.2\n";

void OpenTable(AnalysisFixture& f, const char* bytes) {
    const std::string path = f.folder.File("regions.tsm");
    testsupport::WriteBytes(path, bytes);
    ScriptedUser quiet;
    ASSERT_NE(theApp.OpenDocumentFile(path.c_str()), nullptr);
    afx::ProcessPendingEvents();
}

CScatterChart* Plane(CFactorResultsDlg& dlg, int set) {
    const auto& pages = dlg.GetRowPlanes(set);
    return pages.size() == 1 ? dynamic_cast<CScatterChart*>(pages.front()) : nullptr;
}

std::vector<int> Groups(const CScatterChart* chart) {
    std::vector<int> out;
    for (int i = 0; i < chart->GetSeries().GetCount(); ++i) out.push_back(chart->GetSeries().GetGroup(i));
    return out;
}

// The legend's texts as the chart builds them for drawing.
std::vector<CString> LegendTexts(CScatterChart* chart) {
    CClientDC screen(nullptr);
    CDC memory;
    CBitmap bitmap;
    EXPECT_TRUE(memory.CreateCompatibleDC(&screen));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 450, 300));
    CBitmap* old = memory.SelectObject(&bitmap);
    chart->Draw(&memory, 0, 0, 450, 300);
    memory.SelectObject(old);
    return chart->GetLegend() ? chart->GetLegend()->GetEntryNames() : std::vector<CString>{};
}

struct RowConditioning : ::testing::Test {
    AnalysisFixture f;
    Owner owner;
    CCorrespReportDlg dlg{&owner};
    ScriptedUser user;

    void Read() {
        testsupport::WriteBytes(f.Dados("kelo.tmp"), kKeloTmp);
        dlg.ReadResults(f.Dados("kelo.tmp").c_str());
        ASSERT_EQ(dlg.GetRowTable(2).GetRowCount(), 5);
    }
    // Opens the results, presses the row plane button the given times, and closes.
    void PressRowPlane(int times = 1) {
        user.OnDialog(IDD_CORRESP_REPORT, [times](DialogDriver& d) {
            for (int i = 0; i < times; ++i) d.Click(IDC_RESULTS_ROW_PLANE);
            d.Click(IDOK);
        });
    }
};

TEST_F(RowConditioning, TickedVariableGroupsEachSetByItsRows) {
    OpenTable(f, kRegionTable);
    Read();
    PressRowPlane(2);
    user.OnDialog(kConditioning, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar Condicionamento");
        EXPECT_EQ(d.Items(kConditioningList), (std::vector<CString>{"Regiao", "Sexo"}));
        d.Tick(kConditioningList, 0);
        d.Click(IDOK);
    });
    std::vector<int> active, supplementary, total;
    std::vector<CString> legend;
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Linhas)");
        EXPECT_TRUE(d.IsVisible(IDC_SHOW_CONDITIONING));
        EXPECT_EQ(d.Checked(IDC_SHOW_CONDITIONING), 1);
        d.SavePng((testsupport::PictureFolder() + "/row_plane_conditioned.png").c_str());
        for (int set = 0; set < 3; ++set) ASSERT_NE(Plane(dlg, set), nullptr);
        active = Groups(Plane(dlg, 0));
        supplementary = Groups(Plane(dlg, 1));
        total = Groups(Plane(dlg, 2));
        legend = LegendTexts(Plane(dlg, 2));
        d.Click(IDC_SHOW_CONDITIONING);   // read back into the next opening
        d.Click(IDCANCEL);
    });
    // A second press with the check cleared: offered unticked, the pages not coloured.
    user.OnDialog(kConditioning, [](DialogDriver& d) {
        d.Tick(kConditioningList, 1);
        d.Click(IDOK);
    });
    std::vector<int> bySex;
    bool shown = true;
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_SHOW_CONDITIONING), 0);
        bySex = Groups(Plane(dlg, 2));
        shown = Plane(dlg, 2)->conditioningShown != 0;
        d.Click(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(active, (std::vector<int>{3, 2, 2}));
    EXPECT_EQ(supplementary, (std::vector<int>{1, 1}));
    EXPECT_EQ(total, (std::vector<int>{3, 2, 2, 1, 1}));
    EXPECT_EQ(legend, (std::vector<CString>{"Norte", "Centro", "Sul"}));
    EXPECT_EQ(bySex, (std::vector<int>{1, 2, 1, 2, 1}));
    EXPECT_FALSE(shown);
}

TEST_F(RowConditioning, NoTickDrawsWithoutGroupsAndSairShowsNothing) {
    OpenTable(f, kRegionTable);
    Read();
    // First grouped, then no tick: the same pages must not keep the earlier groups.
    PressRowPlane(3);
    user.OnDialog(kConditioning, [](DialogDriver& d) {
        d.Tick(kConditioningList, 0);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) { d.Click(IDCANCEL); });
    user.OnDialog(kConditioning, [](DialogDriver& d) { d.Click(IDOK); });
    bool grouped = true, optionShown = true, legendDrawn = true;
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        optionShown = d.IsVisible(IDC_SHOW_CONDITIONING);
        ASSERT_NE(Plane(dlg, 2), nullptr);
        grouped = Plane(dlg, 2)->GetSeries().HasGroups();
        LegendTexts(Plane(dlg, 2));
        legendDrawn = Plane(dlg, 2)->conditioningShown != 0;   // the legend is drawn only then
        d.Click(IDCANCEL);
    });
    // "Sair": no chart window follows (an unanswered one would fail the script).
    user.OnDialog(kConditioning, [](DialogDriver& d) {
        d.Tick(kConditioningList, 0);
        d.Click(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_FALSE(grouped);
    EXPECT_FALSE(optionShown);
    EXPECT_FALSE(legendDrawn);
}

TEST_F(RowConditioning, TableWithoutQualitativeVariablesOpensThePlaneDirectly) {
    OpenTable(f, kQuantitativeTable);
    Read();
    PressRowPlane();
    bool grouped = true;
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Linhas)");
        ASSERT_NE(Plane(dlg, 2), nullptr);
        grouped = Plane(dlg, 2)->GetSeries().HasGroups();
        d.Click(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_FALSE(grouped);
}

// The multiple correspondence: the plotted individuals are rows L1, L3 and L4, the owner's
// supplementary rows; their plane is grouped by their own codes.
TEST(RowConditioningMultiple, IndividualsTakeTheCodesOfTheirRows) {
    AnalysisFixture f;
    OpenTable(f, kRegionTable);
    class McaOwner : public TestAnalysisDlg {
    public:
        int GetFactorCount() override { return 2; }
        int GetActiveColumnCount() override { return 2; }
        int GetSupplementaryColumnCount() override { return 0; }
        int GetSupplementaryRowCount() override { return 3; }
        void GetSupplementaryRows(std::vector<int>& rows) override { rows.insert(rows.end(), {0, 2, 3}); }
    } owner;
    CMultiCorrespReportDlg dlg(&owner);
    testsupport::WriteBytes(f.Dados("dazi.tmp"), "1\n0.3 60 60\n0.2 40 100\n"
                                                 "c1 0.5 0.2 0.3 -0.1\nc2 0.5 0.1 -0.3 0.1\n"
                                                 "L1 0.4 0.1 0.1 0.2\nL3 0.3 0.2 -0.2 0.1\nL4 0.3 0.3 0.0 -0.3\n");
    dlg.ReadResults(f.Dados("dazi.tmp").c_str());
    ASSERT_EQ(dlg.GetRowTable(0).GetRowCount(), 3);
    ScriptedUser user;
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_ROW_PLANE);
        d.Click(IDOK);
    });
    user.OnDialog(kConditioning, [](DialogDriver& d) {
        d.Tick(kConditioningList, 0);
        d.Click(IDOK);
    });
    std::vector<int> individuals;
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        ASSERT_NE(Plane(dlg, 0), nullptr);
        individuals = Groups(Plane(dlg, 0));
        d.Click(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(individuals, (std::vector<int>{3, 2, 2}));
}

}  // namespace
