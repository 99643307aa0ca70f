#include "tests/analyses/analysis_fixture.h"

#include <unistd.h>

#include <filesystem>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace analysis_test {

const char kMismatch[] = "Ficheiro de dados não coincide.\nAbrir primeiro o ficheiro de dados correspondente";
const char kDamaged[] = "O ficheiro de configuração está danificado";

const char kTableBytes[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n4\r\n"
    "Altura\r\n1\r\nSexo\r\n0\r\n2\r\nF 1\r\nM 2\r\nPeso\r\n1\r\nZona\r\n0\r\n2\r\nN 1\r\nS 2\r\n"
    "S1 1.500000 1.000000 60.250000 2.000000\r\n"
    "S2 1.700000 2.000000 -9.900000 1.000000\r\n"
    "S3 1.650000 2.000000 72.000000 2.000000\r\n";

namespace {
const afx::ResourceSet& TestResources() {
    using afx::Ctl;
    namespace Style = afx::Style;
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kDefinition, "Definições de Dados", {0, 0, 230, 150}, {
            {Ctl::GroupBox, -1, "Identificador", {7, 7, 130, 112}},
            {Ctl::Radio, kDefault, "Default (Linhas)", {14, 20, 110, 10}, Style::Group},
            {Ctl::Radio, kOther, "Outro", {14, 32, 110, 10}},
            {Ctl::CheckList, kIdentifiers, "", {14, 46, 116, 66}},
            {Ctl::PushButton, kSave, "Gravar", {150, 20, 70, 14}},
            {Ctl::PushButton, kPrevious, "Anterior", {7, 128, 50, 14}},
            {Ctl::PushButton, kExecute, "Executar", {62, 128, 50, 14}, Style::Default},
            {Ctl::PushButton, kCancel, "Cancelar", {117, 128, 50, 14}},
        }});
        s.dialogs.push_back({kResults, "Resultados", {0, 0, 120, 40}, {
            {Ctl::PushButton, IDOK, "Sair", {35, 14, 50, 14}, Style::Default},
        }});
        return s;
    }();
    return set;
}
}  // namespace

BEGIN_MESSAGE_MAP(TestAnalysisDlg, CAnalysisDlg)
    ON_BN_CLICKED(kDefault, &TestAnalysisDlg::OnDefaultIdentifier)
    ON_BN_CLICKED(kOther, &TestAnalysisDlg::OnOtherIdentifier)
    ON_BN_CLICKED(kSave, &TestAnalysisDlg::OnSave)
    ON_BN_CLICKED(kPrevious, &TestAnalysisDlg::OnPreviousPage)
    ON_BN_CLICKED(kCancel, &TestAnalysisDlg::OnCancelPage)
    ON_BN_CLICKED(kExecute, &TestAnalysisDlg::OnExecute)
END_MESSAGE_MAP()

void TestAnalysisDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%d\n", static_cast<int>(m_selectedColumns.size())));
    WriteSelectedColumns(file);
}

BOOL TestAnalysisDlg::ReadParameters(CStdioFile& file) {
    int count = 0;
    return ReadConfigurationInts(file, &count, 1) && ReadSelectedColumns(file, count);
}

void TestAnalysisDlg::InitFromData(std::vector<int>* selection) {
    ResetIdentifier();
    SetSelectedColumns(*selection);
}

BOOL TestAnalysisDlg::OnInitDialog() {
    BOOL result = CBaseDlg::OnInitDialog();
    UpdateIdentifierControls();
    return result;
}

void TestAnalysisDlg::OnSave() {
    SaveConfiguration([this](CStdioFile& file) { WriteParameters(file); });
}

void TestResultsDlg::ReadResults(CString path) {
    calls.push_back("listing " + GetListingPath().str());
    calls.push_back("folder " + GetWorkFolder().str());
    calls.push_back("read " + path.str());
}

TestRunner::TestRunner(bool withResults)
    : CEngineRunner({.parameterFile = "kelo.par",
                     .program = "kelo.exe",
                     .folder = "dados",
                     .listing = "kelo.prn",
                     .results = "kelo.tmp"},
                    PROGRAM_BINARY_CORRESPONDENCE) {
    m_pAnalysisDlg = new TestAnalysisDlg;
    if (withResults) m_pResultsDlg = new TestResultsDlg(m_pAnalysisDlg);
}

void TestRunner::Run() {
    WriteParameterFile();
    CEngineRunner::Run();
}

AnalysisFixture::AnalysisFixture() {
    afx::AddResources(&TestResources());
    std::filesystem::create_directory(folder.Path() + "/dados");
    testsupport::StartTabulon();   // before the start folder: starting sets it
    theApp.SetWorkDir(folder.Path().c_str());
    dataPath = folder.File("measures.tsm");
    testsupport::WriteBytes(dataPath, kTableBytes);
    ScriptedUser user;
    EXPECT_NE(theApp.OpenDocumentFile(dataPath.c_str()), nullptr);
    afx::ProcessPendingEvents();
    doc = testsupport::Document();
}

AnalysisFixture::~AnalysisFixture() { afx::RemoveResources(&TestResources()); }

void AnalysisFixture::InstallEngine(const char* program) const {
    std::filesystem::create_symlink(FAKE_ENGINE, Dados(program));
}

}  // namespace analysis_test
