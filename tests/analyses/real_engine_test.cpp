// One run of the real kelo engine through the runner: the data matrix and a parameter
// file written by a test dialog must be read by the engine as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/text_viewer.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

// kelo.par for every complete row and selected column active, two factors, no planes.
class KeloParameterDlg : public TestAnalysisDlg {
public:
    void WriteParameters(CStdioFile& file) override {
        CDataSet* data = theApp.GetDocument()->GetDataSet();
        int rows = data->GetCompleteRows(m_selectedColumns, nullptr);
        int columns = static_cast<int>(m_selectedColumns.size());
        file.WriteString(FormatString("%d %d %d %d %d\n", rows, rows, columns, columns, 2));
        file.WriteString(m_strDataMatrixPath + "\n");
        file.WriteString(theApp.GetDocument()->GetPathName() + "\n");
        file.WriteString("0 1 65 2.5\n");
        for (int c : m_selectedColumns) file.WriteString(data->GetVariableName(c) + "\n");
        file.WriteString("0 0\n");
    }
};

class KeloRunner : public TestRunner {
public:
    KeloRunner() : TestRunner(false) {
        delete m_pAnalysisDlg;
        m_pAnalysisDlg = new KeloParameterDlg;
    }
};

std::vector<double> Numbers(const std::string& line) {
    std::istringstream in(line);
    std::vector<double> out;
    double v;
    while (in >> v) out.push_back(v);
    return out;
}

}  // namespace

TEST(RealEngine, KeloReadsTheMatrixAndItsInertiaIsTheTables) {
    AnalysisFixture f;
    std::filesystem::create_symlink(KELO_ENGINE, f.Dados("kelo.exe"));
    KeloRunner runner;
    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);   // Altura
        d.Tick(kVariableList, 1);   // Sexo
        d.Tick(kVariableList, 3);   // Zona: every row is complete
        d.Click(kNext);
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kExecute); });
    RunAnalysisCommand(f.doc, "x", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].text.Left(40), "   ANÁLISE DAS CORRESPONDÊNCIAS BINÁRIAS");

    // Total inertia of the 3 x 3 table, computed here as chi-square over the grand total.
    const double t[3][3] = {{1.5, 1, 2}, {1.7, 2, 1}, {1.65, 2, 2}};
    double n = 0, r[3] = {0, 0, 0}, c[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            n += t[i][j];
            r[i] += t[i][j];
            c[j] += t[i][j];
        }
    double inertia = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double e = r[i] * c[j] / n;
            inertia += (t[i][j] - e) * (t[i][j] - e) / e / n;
        }
    std::istringstream tmp(testsupport::ReadBytes(f.Dados("kelo.tmp")));
    std::string line;
    ASSERT_TRUE(std::getline(tmp, line));
    ASSERT_EQ(Numbers(line).size(), 1u);
    EXPECT_NEAR(Numbers(line)[0], inertia, 1e-5 * inertia + 1e-7);
    // The two eigenvalues of a 3 x 3 table make up the whole inertia.
    double sum = 0;
    for (int k = 0; k < 2 && std::getline(tmp, line); ++k) sum += Numbers(line).at(0);
    EXPECT_NEAR(sum, inertia, 1e-5 * inertia + 1e-6);
    afx::CloseTextViewers();
}
