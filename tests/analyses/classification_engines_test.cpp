// The classification command from its menu id with the real engines fenola and pilo: the
// hierarchy and the groups are checked against an average-link classification computed
// here from the table, pair by pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "analyses/classification_def_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/text_viewer.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

// Six samples of three variables, with well separated merge levels.
const char kTable[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n3\r\nX\r\n1\r\nY\r\n1\r\nZ\r\n1\r\n"
    "S1 1.000000 1.000000 2.000000\r\n"
    "S2 1.500000 1.000000 2.000000\r\n"
    "S3 5.000000 5.000000 6.000000\r\n"
    "S4 5.000000 6.000000 6.000000\r\n"
    "S5 9.000000 1.000000 8.000000\r\n"
    "S6 9.000000 3.000000 9.000000\r\n";
const double kValues[6][3] = {{1, 1, 2}, {1.5, 1, 2}, {5, 5, 6}, {5, 6, 6}, {9, 1, 8}, {9, 3, 9}};

// Average link over the squared Euclidean distance divided by the square of the number of
// coordinates: each level is the mean of the pair distances between the two clusters.
struct Merge {
    std::set<int> joined;
    double level;
};
std::vector<Merge> AverageLink(const std::vector<std::vector<double>>& objects) {
    const size_t n = objects.size(), m = objects[0].size();
    auto d = [&](int a, int b) {
        double s = 0;
        for (size_t k = 0; k < m; ++k) s += (objects[a][k] - objects[b][k]) * (objects[a][k] - objects[b][k]);
        return s / static_cast<double>(m * m);
    };
    std::vector<std::set<int>> clusters;
    for (size_t i = 0; i < n; ++i) clusters.push_back({static_cast<int>(i)});
    std::vector<Merge> merges;
    while (clusters.size() > 1) {
        size_t best_a = 0, best_b = 1;
        double best = 1e300;
        for (size_t a = 0; a < clusters.size(); ++a)
            for (size_t b = a + 1; b < clusters.size(); ++b) {
                double sum = 0;
                for (int i : clusters[a])
                    for (int j : clusters[b]) sum += d(i, j);
                double mean = sum / static_cast<double>(clusters[a].size() * clusters[b].size());
                if (mean < best) best = mean, best_a = a, best_b = b;
            }
        std::set<int> joined = clusters[best_a];
        joined.insert(clusters[best_b].begin(), clusters[best_b].end());
        merges.push_back({joined, best});
        clusters.erase(clusters.begin() + static_cast<std::ptrdiff_t>(best_b));
        clusters[best_a] = joined;
    }
    return merges;
}

// The levels of sepop.inp, one record per object: name, three I8, the level in E13.6.
std::vector<double> HierarchyLevels(const std::string& bytes) {
    std::vector<double> levels;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        std::string record = bytes.substr(start, end - start);
        levels.push_back(std::atof(record.substr(28).c_str()));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return levels;
}

int Index(DialogDriver& d, int id, const char* text) {
    std::vector<CString> items = d.Items(id);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    ADD_FAILURE() << "no item " << text;
    return 0;
}

// Euclidean distance, average link, nothing printed beyond the hierarchy, in a mode.
void ChooseEuclideanAverage(ScriptedUser& user, int modeButton) {
    user.OnDialog(156, [modeButton](DialogDriver& d) {
        d.Click(modeButton);
        d.Select(1114, Index(d, 1114, "Distância Euclideana"));
        d.Select(1112, Index(d, 1112, "Distância Média (UPGMA)"));
        d.Click(3);
    });
}

struct EngineRun : AnalysisFixture {
    EngineRun() {
        std::filesystem::create_symlink(FENOLA_ENGINE, Dados("fenola.exe"));
        std::filesystem::create_symlink(PILO_ENGINE, Dados("pilo.exe"));
        table = folder.File("seis.tsm");
        testsupport::WriteBytes(table, kTable);
        ScriptedUser user;
        EXPECT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
        afx::ProcessPendingEvents();
    }
    // The command as the menu issues it.
    static void Menu() {
        auto* frame = dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(frame->IsCommandEnabled(ID_ANALYSIS_CLASSIFICATION));
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ANALYSIS_CLASSIFICATION, 0), 0);
        afx::ProcessPendingEvents();
    }
    std::string table;
};

}  // namespace

TEST(ClassificationEngines, RowsCutIntoTheGroupsOfTheMergeLevels) {
    EngineRun r;
    std::vector<std::vector<double>> rows;
    for (const auto& row : kValues) rows.push_back({row[0], row[1]});
    std::vector<Merge> merges = AverageLink(rows);
    ASSERT_EQ(merges.size(), 5u);
    // A cut halfway between the third and the fourth level: the clusters made below it.
    const double cut = (merges[2].level + merges[3].level) / 2;
    std::vector<int> group(6, 0);
    std::vector<std::set<int>> groups;
    for (int i = 0; i < 6; ++i) {
        std::set<int> g{i};
        for (size_t k = 0; k < 3; ++k)
            if (merges[k].joined.count(i) && merges[k].joined.size() > g.size()) g = merges[k].joined;
        if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
    }
    // In this table the dendrogram keeps the samples in table order, so the groups are
    // numbered in the order of their first samples.
    for (size_t g = 0; g < groups.size(); ++g)
        for (int i : groups[g]) group[static_cast<size_t>(i)] = static_cast<int>(g) + 1;
    ASSERT_EQ(groups.size(), 3u);

    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Seleccionar Variáveis para Classificação Automática");
        d.Tick(kVariableList, 0);
        d.Tick(kVariableList, 1);
        d.Click(kNext);
    });
    user.OnDialog(153, [](DialogDriver& d) {
        d.Click(1115);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    ChooseEuclideanAverage(user, 1117);
    user.OnDialog(191, [](DialogDriver& d) {
        d.Click(1177);
        d.Click(1140);
        d.SavePng((testsupport::PictureFolder() + "/classification_results.png").c_str());
        d.Click(IDOK);
    });
    user.OnDialog(159, [cut](DialogDriver& d) {
        d.Type(1119, FormatString("%f", cut));
        d.SavePng((testsupport::PictureFolder() + "/group_division.png").c_str());
        d.Click(IDOK);
    });
    r.Menu();
    EXPECT_TRUE(user.AllAnswered());

    std::vector<double> levels = HierarchyLevels(testsupport::ReadBytes(r.Dados("sepop.inp")));
    ASSERT_EQ(levels.size(), 6u);
    for (size_t k = 0; k < 5; ++k) EXPECT_NEAR(levels[k], merges[k].level, 5e-6 * merges[k].level) << k;   // E13.6: six digits

    std::string expected;
    for (int i = 0; i < 6; ++i) expected += FormatString("S%d  %3d\r\n", i + 1, group[static_cast<size_t>(i)]).str();
    EXPECT_EQ(testsupport::ReadBytes(r.Dados("Dados.gru")), expected);

    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_TRUE(user.TextViewers()[0].modal);
    const std::string listing = user.TextViewers()[0].text.str();
    EXPECT_NE(listing.find("NUMERO DE GRUPOS= 3"), std::string::npos) << listing;
    for (size_t g = 0; g < groups.size(); ++g) {
        std::string line = FormatString(" %5d    ", static_cast<int>(g) + 1).str();
        for (int i : groups[g]) line += FormatString("S%d   ", i + 1).str();
        EXPECT_NE(listing.find("\n" + line + "\n"), std::string::npos) << line;
    }
    afx::CloseTextViewers();
}

TEST(ClassificationEngines, ColumnsClassifiedInModeR) {
    EngineRun r;
    std::vector<std::vector<double>> columns(3, std::vector<double>(6));
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 3; ++j) columns[static_cast<size_t>(j)][static_cast<size_t>(i)] = kValues[i][j];
    std::vector<Merge> merges = AverageLink(columns);

    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);
        d.Tick(kVariableList, 1);
        d.Tick(kVariableList, 2);
        d.Click(kNext);
    });
    user.OnDialog(153, [](DialogDriver& d) {
        d.Click(1115);
        d.SavePng((testsupport::PictureFolder() + "/classification_definition.png").c_str());
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    ChooseEuclideanAverage(user, 1116);
    user.OnDialog(191, [](DialogDriver& d) {
        EXPECT_FALSE(d.IsEnabled(1177));
        d.Click(IDOK);
    });
    r.Menu();
    EXPECT_TRUE(user.AllAnswered());
    std::vector<double> levels = HierarchyLevels(testsupport::ReadBytes(r.Dados("sepop.inp")));
    ASSERT_EQ(levels.size(), 3u);   // one record per variable
    for (size_t k = 0; k < 2; ++k) EXPECT_NEAR(levels[k], merges[k].level, 5e-6 * merges[k].level) << k;   // E13.6: six digits
    EXPECT_NE(testsupport::ReadBytes(r.Dados("fenola.par")).find("\r\n0 4 3\r\n"), std::string::npos);
}
