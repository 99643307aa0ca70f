// A test-only analysis dialog and runner, and a small table opened from a file, for the
// tests of the analysis base, the configuration files and the runners.
#pragma once

#include <string>
#include <vector>

#include "analyses/analysis_dlg.h"
#include "analyses/engine_runner.h"
#include "analyses/factor_results_dlg.h"
#include "tests/support/gui_test.h"

namespace analysis_test {

constexpr UINT kDefinition = 9150;   // the test dialog's template
constexpr UINT kResults = 9186;
constexpr UINT kSelection = 170;
constexpr int kSave = 1139;          // "Gravar"
constexpr int kPrevious = 1193;      // "Anterior"
constexpr int kCancel = 1007;        // "Cancelar"
constexpr int kExecute = IDC_ANALYSIS_EXECUTE;
constexpr int kDefault = IDC_IDENTIFIER_DEFAULT;
constexpr int kOther = IDC_IDENTIFIER_OTHER;
constexpr int kIdentifiers = IDC_IDENTIFIER_LIST;
constexpr int kVariableList = 1078;
constexpr int kNext = 1191;
constexpr int kOpenConfiguration = 1155;

extern const char kMismatch[];
extern const char kDamaged[];   // a configuration body that cannot be read

// The identifier choice of the base, and a body of "n" then the n selected columns.
class TestAnalysisDlg : public CAnalysisDlg {
public:
    TestAnalysisDlg() : CAnalysisDlg(kDefinition, PROGRAM_BINARY_CORRESPONDENCE, nullptr) {}

    void WriteParameters(CStdioFile& file) override;
    BOOL ReadParameters(CStdioFile& file) override;
    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    void InitFromData(std::vector<int>* selection) override;
    BOOL OnInitDialog() override;

    void OnSave();
    void OnPreviousPage() { EndDialog(STEP_PREVIOUS); }
    void OnCancelPage() { EndDialog(STEP_CANCEL); }
    void OnExecute() { WriteDataMatrix(); }

    DECLARE_MESSAGE_MAP()
};

// Records what the runner hands it.
class TestResultsDlg : public CFactorResultsDlg {
public:
    explicit TestResultsDlg(CAnalysisDlg* owner) : CFactorResultsDlg(kResults, owner, nullptr) {}
    void ReadResults(CString path) override;
    std::vector<std::string> calls;
};

class TestRunner : public CEngineRunner {
public:
    explicit TestRunner(bool withResults);
    void Run() override;
    TestAnalysisDlg* Dialog() const { return static_cast<TestAnalysisDlg*>(m_pAnalysisDlg); }
    TestResultsDlg* Results() const { return static_cast<TestResultsDlg*>(m_pResultsDlg); }
};

// A start folder with an empty "dados", made the application's start folder; and the
// table file measures.tsm beside it, opened as the document:
//   variables Altura (quantitative), Sexo (qualitative F 1, M 2), Peso (quantitative),
//   Zona (qualitative N 1, S 2); rows S1, S2, S3, S2 without Peso (-9.9).
struct AnalysisFixture {
    AnalysisFixture();
    ~AnalysisFixture();
    std::string Dados(const std::string& name) const { return folder.Path() + "/dados/" + name; }
    // Links the fake engine into "dados" under a program name.
    void InstallEngine(const char* program) const;

    testsupport::TempFolder folder;
    std::string dataPath;
    CTabulonDoc* doc = nullptr;
};

extern const char kTableBytes[];

}  // namespace analysis_test
