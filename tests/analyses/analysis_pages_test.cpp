// The column, row and options pages, and the data definition of the binary correspondence
// driven through "Executar", with the parameter and configuration files they write.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "analyses/corresp_report_dlg.h"
#include "analyses/pca_results_dlg.h"
#include "analyses/analysis_pages.h"
#include "analyses/data_definition_dlg.h"
#include "analyses/runners.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/text_viewer.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

constexpr UINT kPage = IDD_COLUMNS_SELECT;
constexpr UINT kOptions = IDD_RESULTS_OPTIONS;
constexpr UINT kDefinition150 = IDD_DATA_DEFINITION;
const char kTooFew[] = "Tem de ter pelo menos 2 amostras activas";

std::string Picture(const char* name) { return testsupport::PictureFolder() + "/" + name; }

// What a writer puts into a text file, as bytes on disk.
template <typename Writer>
std::string Written(const testsupport::TempFolder& folder, Writer write) {
    std::string path = folder.File("written.txt");
    CStdioFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    write(file);
    file.Close();
    return testsupport::ReadBytes(path);
}

// Counts shown by the page: active, supplementary.
std::pair<CString, CString> Counts(DialogDriver& d) {
    return {d.Text(IDC_PAGE_ACTIVE_COUNT), d.Text(IDC_PAGE_SUPPLEMENTARY_COUNT)};
}
using Shown = std::pair<CString, CString>;

}  // namespace

TEST(ColumnsPage, ModesTicksAndTotal) {
    AnalysisFixture f;
    CColumnsSelectDlg page;
    EXPECT_EQ(page.GetTotal(), 7);
    EXPECT_EQ(page.GetActive(), 7);
    EXPECT_EQ(page.GetPages().size(), 7u);
    page.SetTotal(3);
    page.SetItemName(0, "Alt");
    page.SetItemName(1, "Pes");
    page.SetItemName(2, "Ida");
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_PAGE_COUNT_LABEL), "Número de Colunas (Variáveis):");
        EXPECT_EQ(d.Text(IDC_PAGE_ITEMS_GROUP), "Colunas (Variáveis):");
        EXPECT_TRUE(d.IsVisible(IDC_PAGE_IDENTIFIERS));
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Alt", "Pes", "Ida"}));
        EXPECT_EQ(d.Checked(IDC_PAGE_ACTIVE_MODE), 1);
        EXPECT_EQ(Counts(d), Shown("3", "0"));
        d.Tick(IDC_PAGE_LIST, 1);   // Pes supplementary
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        // The other mode marks the other set; the counts stay, and coming back restores.
        d.Click(IDC_PAGE_SUPPLEMENTARY_MODE);
        EXPECT_EQ(d.Checked(IDC_PAGE_ACTIVE_MODE), 0);
        EXPECT_FALSE(d.IsTicked(IDC_PAGE_LIST, 0));
        EXPECT_TRUE(d.IsTicked(IDC_PAGE_LIST, 1));
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        d.Click(IDC_PAGE_ACTIVE_MODE);
        EXPECT_TRUE(d.IsTicked(IDC_PAGE_LIST, 0));
        EXPECT_FALSE(d.IsTicked(IDC_PAGE_LIST, 1));
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        // In mode 0 a ticked item is supplementary.
        d.Click(IDC_PAGE_SUPPLEMENTARY_MODE);
        d.Click(IDC_PAGE_SELECT_ALL);
        EXPECT_EQ(Counts(d), Shown("0", "3"));
        d.Tick(IDC_PAGE_LIST, 1);
        d.Tick(IDC_PAGE_LIST, 2);
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        d.SavePng(Picture("columns_page.png").c_str());
        d.Click(IDC_PAGE_OK);
    });
    EXPECT_EQ(page.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(page.GetMode(), 0);
    EXPECT_EQ(page.GetActive(), 2);
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { page.WriteFlags(file); }), "011\r\n");

    // Raising the total adds active items; lowering it drops the last ones.
    page.SetTotal(2);
    user.OnDialog(kPage, [](DialogDriver& d) {
        d.Tick(IDC_PAGE_LIST, 1);
        d.Type(IDC_PAGE_TOTAL, "4");
        d.Focus(IDC_PAGE_LIST);
        EXPECT_EQ(d.Items(IDC_PAGE_LIST).size(), 4u);
        EXPECT_EQ(d.Items(IDC_PAGE_LIST)[3], "var");
        EXPECT_TRUE(d.IsTicked(IDC_PAGE_LIST, 3));
        EXPECT_FALSE(d.IsTicked(IDC_PAGE_LIST, 1));
        EXPECT_EQ(Counts(d), Shown("3", "1"));
        d.Type(IDC_PAGE_TOTAL, "1");
        d.Focus(IDC_PAGE_LIST);
        EXPECT_EQ(d.Items(IDC_PAGE_LIST).size(), 1u);
        EXPECT_EQ(Counts(d), Shown("1", "0"));
        d.Click(IDC_PAGE_OK);   // one active item is not enough
        d.Click(IDC_PAGE_CANCEL);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kTooFew);
        return IDOK;
    });
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(page.GetTotal(), 1);
    EXPECT_EQ(page.GetFlags(), std::vector<int>{1});
}

TEST(ColumnsPage, IdentifierEditedInPlace) {
    AnalysisFixture f;
    CColumnsSelectDlg page;
    page.SetTotal(2);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        d.Tick(IDC_PAGE_LIST, 0);
        d.Select(IDC_PAGE_LIST, 1);
        d.DoubleClick(IDC_PAGE_LIST, 1);
        d.TypeKeys("Peso1");   // the edit takes 4 characters
        d.Focus(IDC_PAGE_TOTAL);
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"var", "Peso"}));
        EXPECT_FALSE(d.IsTicked(IDC_PAGE_LIST, 0));
        EXPECT_TRUE(d.IsTicked(IDC_PAGE_LIST, 1));
        d.Click(IDC_PAGE_CANCEL);
    });
    page.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(page.GetItemName(1), "Peso");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { page.WritePages(file); }), "var\r\nPeso\r\n");
}

// The rows page lists the complete rows; which are active follows the mode.
TEST(RowsPage, CompleteRowsAndActiveRowsByMode) {
    AnalysisFixture f;
    std::vector<int> selection{1, 3};   // S2 has no Peso
    CRowsSelectDlg rows;
    rows.SetSelection(&selection);
    rows.SetTotal(2);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"S1", "S3"}));
        d.Click(IDC_PAGE_SUPPLEMENTARY_MODE);
        d.Tick(IDC_PAGE_LIST, 1);   // S3 supplementary
        EXPECT_EQ(Counts(d), Shown("1", "1"));
        d.Click(IDC_PAGE_CANCEL);
    });
    rows.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    std::vector<int> active, supplementary;
    rows.GetActiveRows(active);
    rows.GetSupplementaryRows(supplementary);
    EXPECT_EQ(active, std::vector<int>{0});
    EXPECT_EQ(supplementary, std::vector<int>{2});
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { rows.WriteFlags(file); }), "10\r\n");
}

TEST(FlagLines, EightyToALineAndOnlyZerosAndOnes) {
    testsupport::TempFolder folder;
    std::vector<int> flags(81, 1);
    flags[80] = 0;
    std::string bytes = Written(folder, [&](CStdioFile& file) { WriteFlagLines(file, flags); });
    EXPECT_EQ(bytes, std::string(80, '1') + "\r\n0\r\n");
    EXPECT_EQ(Written(folder, [&](CStdioFile& file) { WriteFlagLines(file, std::vector<int>(80, 0)); }),
              std::string(80, '0') + "\r\n");
    EXPECT_EQ(Written(folder, [&](CStdioFile& file) { WriteFlagLines(file, {}); }), "");

    auto read = [&](const std::string& text, int count, std::vector<int>& out) {
        testsupport::WriteBytes(folder.File("flags.txt"), text);
        CStdioFile file;
        EXPECT_TRUE(file.Open(folder.File("flags.txt").c_str(), CFile::modeRead | CFile::typeText));
        return ReadFlagLines(file, count, out);
    };
    std::vector<int> out;
    ASSERT_TRUE(read(bytes, 81, out));
    EXPECT_EQ(out, flags);
    std::vector<int> before{7};
    out = before;
    EXPECT_FALSE(read("0120\r\n", 4, out));   // a digit that is no flag
    EXPECT_FALSE(read("01\r\n", 4, out));     // short line
    EXPECT_FALSE(read("01101\r\n", 4, out));  // more than the items
    EXPECT_FALSE(read("", 1, out));
    EXPECT_EQ(out, before);
}

TEST(OptionsPage, FactorLimitsAndMessages) {
    AnalysisFixture f;
    ScriptedUser user;
    std::vector<CString> messages;
    auto note = [&](const CString& text, UINT) {
        messages.push_back(text);
        return IDOK;
    };
    // 2 active columns and 10 active rows: principal components allows 2 factors.
    CResultsOptionsDlg pca;
    pca.SetMaxFactors(7, 1, 0);
    EXPECT_EQ(pca.GetFactorCount(), 7);
    pca.SetMaxFactors(2, 0, 0);   // lowered silently
    EXPECT_EQ(pca.GetFactorCount(), 2);
    EXPECT_EQ(pca.GetFactorLimit(), 2);
    pca.SetOptions(1, 0, 5, 0);
    user.OnMessageBox(note);
    pca.SetMaxFactors(3, 0, 1);
    EXPECT_EQ(pca.GetFactorCount(), 3);
    // The limit never falls below 1, compared as signed numbers.
    pca.SetMaxFactors(-4, 0, 0);
    EXPECT_EQ(pca.GetFactorLimit(), 1);
    EXPECT_EQ(pca.GetFactorCount(), 1);

    // Binary correspondence: at most 1, and it says so even when not asked to warn.
    CFactorOptionsDlg kelo;
    kelo.SetMaxFactors(7, 1, 0);
    EXPECT_EQ(kelo.GetFactorCount(), 6);
    user.OnMessageBox(note);
    kelo.SetMaxFactors(2, 0, 0);
    EXPECT_EQ(kelo.GetFactorCount(), 1);
    kelo.SetMaxFactors(1, 1, 0);
    EXPECT_EQ(kelo.GetFactorLimit(), 1);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "O Numero de factores foi alterado para o minimo do nº de variaveis e de amostras. No caso - 3");
    EXPECT_EQ(messages[1],
              "O Numero de factores foi alterado para o minimo do nº de colunas e de linhas menos um. No caso - 1");

    // The page: a count above the limit is refused until it fits; the checks toggle.
    kelo.SetMaxFactors(4, 1, 0);   // limit 3
    messages.clear();
    user.OnDialog(kOptions, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_OPTIONS_DATA), 0);
        EXPECT_EQ(d.Checked(IDC_OPTIONS_COORDINATE_FILES), 1);
        EXPECT_EQ(d.Text(IDC_OPTIONS_FACTORS), "3");
        d.Click(IDC_OPTIONS_DATA);
        d.Click(IDC_OPTIONS_COORDINATE_FILES);
        d.Type(IDC_OPTIONS_FACTORS, "5");
        d.Focus(IDC_OPTIONS_GRAPHS);
        EXPECT_EQ(d.FocusId(), IDC_OPTIONS_FACTORS);
        d.Click(IDOK);   // the message again, and the page stays open
        EXPECT_EQ(d.FocusId(), IDC_OPTIONS_FACTORS);
        d.Type(IDC_OPTIONS_FACTORS, "2");
        d.Type(IDC_OPTIONS_GRAPHS, "2");
        d.SavePng(Picture("options_page.png").c_str());
        d.Click(IDOK);
    });
    user.OnMessageBox(note);
    user.OnMessageBox(note);
    EXPECT_EQ(kelo.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[0], "O Numero de factores tem de ser menor ou igual que o minimo do nº de variaveis e de "
                           "amostra menos 1. Neste caso - 3");
    EXPECT_EQ(kelo.GetFactorCount(), 2);
    EXPECT_EQ(kelo.GetGraphCount(), 2);
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) {
                  kelo.WriteParameterLine(file);
                  kelo.WriteConfiguration(file);
              }),
              "0 1\r\n0 1 2 2\r\n");
}

namespace {

std::string DataLength(const AnalysisFixture& f) { return std::to_string(std::filesystem::file_size(f.dataPath)); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

// Answers every message box, keeping its text.
void NoteMessages(ScriptedUser& user, std::vector<CString>& messages, int count) {
    for (int i = 0; i < count; ++i)
        user.OnMessageBox([&messages](const CString& text, UINT) {
            messages.push_back(text);
            return IDOK;
        });
}

const char kLowered2[] = "O Numero de factores foi alterado para o minimo do nº de colunas e de linhas menos um. No caso - 2";
const char kLowered1[] = "O Numero de factores foi alterado para o minimo do nº de colunas e de linhas menos um. No caso - 1";

}  // namespace

// The whole binary correspondence command: Zona identifies the rows, S3 and Zona are
// supplementary, the configuration is saved, and kelo runs on the files written.
TEST(BinaryCorrespondence, DefinitionDialogWritesTheMatrixAndKeloPar) {
    AnalysisFixture f;
    std::filesystem::create_symlink(KELO_ENGINE, f.Dados("kelo.exe"));
    CKeloRunner runner;
    ScriptedUser user;
    std::vector<CString> messages;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);   // Altura
        d.Tick(kVariableList, 1);   // Sexo
        d.Tick(kVariableList, 3);   // Zona
        d.Click(kNext);
    });
    NoteMessages(user, messages, 1);   // the selection lowers the factor count to 2
    user.OnDialog(kDefinition150, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Definições de Dados");
        d.Click(kOther);
        d.Click(IDC_DEFINITION_ROWS);   // nothing ticked yet
        d.Tick(kIdentifiers, 1);        // Zona
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(IDC_DEFINITION_COLUMNS);
        d.Click(IDC_DEFINITION_OPTIONS);
        d.SavePng(Picture("data_definition.png").c_str());
        d.Click(IDC_DEFINITION_SAVE);
        d.Click(kExecute);
    });
    NoteMessages(user, messages, 1);   // "Linhas" with "Outro" and no identifier
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Linhas (Amostras) do Ficheiro de Dados");
        EXPECT_EQ(d.Text(IDC_PAGE_COUNT_LABEL), "Número de Linhas (Amostras):");
        EXPECT_FALSE(d.IsVisible(IDC_PAGE_IDENTIFIERS));
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"2.000000", "1.000000", "2.000000"}));
        d.Tick(IDC_PAGE_LIST, 2);   // S3 supplementary
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        d.SavePng(Picture("rows_page.png").c_str());
        d.Click(IDC_PAGE_OK);
    });
    NoteMessages(user, messages, 1);   // 2 active rows: at most 1 factor
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Colunas (Variáveis) no Ficheiro de Dados");
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"Altura", "Sexo", "Zona"}));
        d.Tick(IDC_PAGE_LIST, 2);   // Zona supplementary
        d.Click(IDC_PAGE_OK);
    });
    user.OnDialog(kOptions, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Resultados");
        EXPECT_EQ(d.Text(IDC_OPTIONS_FACTORS), "1");
        d.Click(IDC_OPTIONS_DATA);
        d.Click(IDOK);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& r) {
        r.path = f.folder.File("kelo").c_str();
        return true;
    });
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_LISTING);
        d.Click(IDOK);
    });
    RunAnalysisCommand(f.doc, "Seleccionar Variáveis para Correspondências Binárias", 0, runner);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, (std::vector<CString>{kLowered2, "Tem de selecionar um identificador", kLowered1}));

    EXPECT_EQ(testsupport::ReadBytes(f.Dados("Dados.dat")),
              "2\r\n1\r\n2\r\n1.500000 1.000000 2.000000\r\n1.700000 2.000000 1.000000\r\n"
              "1.650000 2.000000 2.000000\r\n");
    EXPECT_EQ(testsupport::ReadBytes(f.Dados("kelo.par")),
              "3 2 3 2 1\r\n" + f.Dados("Dados.dat") + "\r\n" + f.dataPath +
                  "\r\n110\r\n110\r\n0 1 65 2.5\r\nAltura\r\nSexo\r\nZona\r\n1 1\r\n");
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("kelo.tcfg")),
              "1502\r\n" + f.dataPath + "\r\n" + DataLength(f) + "\r\n-9.900000\r\n3 4\r\n4\r\n" +
                  "3 2 3 2\r\n110\r\n110\r\nAltura\r\nSexo\r\nZona\r\n1\r\n2\r\n4\r\n1 1 1 0\r\n");

    // What the results will ask.
    auto* dlg = static_cast<CDataDefinitionDlg*>(runner.GetAnalysisDialog());
    std::vector<int> active, supplementary;
    dlg->GetActiveRows(active);
    dlg->GetSupplementaryRows(supplementary);
    EXPECT_EQ(active, (std::vector<int>{0, 1}));
    EXPECT_EQ(supplementary, std::vector<int>{2});
    EXPECT_EQ(dlg->GetActiveRowCount(), 2);
    EXPECT_EQ(dlg->GetSupplementaryRowCount(), 1);
    EXPECT_EQ(dlg->GetActiveColumnCount(), 2);
    EXPECT_EQ(dlg->GetSupplementaryColumnCount(), 1);
    EXPECT_EQ(dlg->GetFactorCount(), 1);
    EXPECT_EQ(dlg->GetColumnTotal(), 0);   // a multiple correspondence answer only

    // kelo read the flags as written: 2 active and 1 supplementary point of each kind,
    // and the inertia of the active 2 x 2 table (chi-square over the total, computed here).
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].path, CString(f.Dados("kelo.prn")));
    std::vector<std::string> tmp = Lines(testsupport::ReadBytes(f.Dados("kelo.tmp")));
    ASSERT_EQ(tmp.size(), 8u);
    const double t[2][2] = {{1.5, 1.0}, {1.7, 2.0}};
    double n = 0, r[2] = {0, 0}, c[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) n += t[i][j], r[i] += t[i][j], c[j] += t[i][j];
    double inertia = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            double e = r[i] * c[j] / n;
            inertia += (t[i][j] - e) * (t[i][j] - e) / e / n;
        }
    EXPECT_NEAR(std::stod(tmp[0]), inertia, 1e-5 * inertia + 1e-7);
    EXPECT_EQ(tmp[2].substr(0, 4), "Altu");
    EXPECT_EQ(tmp[3].substr(0, 4), "Sexo");
    EXPECT_EQ(tmp[4].substr(0, 4), "Zona");
    EXPECT_EQ(tmp[5].substr(0, 4), "2   ");
    EXPECT_EQ(tmp[6].substr(0, 4), "1   ");
    EXPECT_EQ(tmp[7].substr(0, 4), "2   ");
    afx::CloseTextViewers();

    // The saved configuration brings every choice back in another runner.
    CKeloRunner other;
    user.OnDialog(kDefinition150, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kOther), 1);
        EXPECT_TRUE(d.IsTicked(kIdentifiers, 1));
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(kCancel);
    });
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_PAGE_ACTIVE_MODE), 1);
        EXPECT_TRUE(d.IsTicked(IDC_PAGE_LIST, 0));
        EXPECT_FALSE(d.IsTicked(IDC_PAGE_LIST, 2));
        EXPECT_EQ(Counts(d), Shown("2", "1"));
        d.Click(IDC_PAGE_CANCEL);
    });
    CString path = f.folder.File("kelo.tcfg").c_str();
    EXPECT_EQ(other.RunFromConfiguration(&path), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
    auto* loaded = static_cast<CDataDefinitionDlg*>(other.GetAnalysisDialog());
    EXPECT_EQ(loaded->GetSelectedColumns(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(loaded->GetColumnsPage().GetFlags(), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(loaded->GetColumnName(2), "Zona");
    EXPECT_EQ(loaded->GetFactorCount(), 1);
    EXPECT_EQ(loaded->GetOptionsPage()->GetDataFlag(), 1);
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { loaded->WriteConfigurationBody(file); }),
              "3 2 3 2\r\n110\r\n110\r\nAltura\r\nSexo\r\nZona\r\n1\r\n2\r\n4\r\n1 1 1 0\r\n");
}

// A configuration whose lines do not hold is refused whole; the dialog keeps its state.
TEST(BinaryCorrespondence, BadConfigurationBodiesAreRefused) {
    AnalysisFixture f;
    std::string head = "1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n3 4\n0\n";
    const char* bodies[] = {
        "3 2 3 2\n120\n110\nA\nB\nC\n1\n2\n4\n1 1 1 0\n",    // a flag that is not 0 or 1
        "3 2 3 2\n110\n11\nA\nB\nC\n1\n2\n4\n1 1 1 0\n",     // a short flag line
        "3 4 3 3\nA\nB\nC\n1\n2\n4\n1 1 1 0\n",              // more active rows than rows
        "3 3 3 3\nA\nB\nC\n1\n2\n9\n1 1 1 0\n",              // no variable 9
        "3 3 3 3\nA\nB\nC\n1\n2\n4\n1 1 -1 0\n",             // a negative factor count
        "3 3 3 3\nA\nB\nC\n1\n2\n4\n",                       // no options line
    };
    CKeloRunner runner;
    auto* dlg = static_cast<CDataDefinitionDlg*>(runner.GetAnalysisDialog());
    std::vector<int> selection{1, 3};
    ScriptedUser user;
    std::vector<CString> messages;
    NoteMessages(user, messages, 1);
    dlg->InitFromData(&selection);
    int index = 0;
    for (const char* body : bodies) {
        std::string path = f.folder.File("bad" + std::to_string(index++) + ".tcfg");
        testsupport::WriteBytes(path, head + body);
        NoteMessages(user, messages, 1);
        CString p = path.c_str();
        EXPECT_EQ(runner.RunFromConfiguration(&p), STEP_CANCEL) << body;
        EXPECT_EQ(dlg->GetSelectedColumns(), selection) << body;
        EXPECT_EQ(dlg->GetRowTotal(), 2) << body;
        EXPECT_EQ(dlg->GetColumnItemTotal(), 2) << body;
        EXPECT_EQ(dlg->GetFactorCount(), 1) << body;
    }
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 7u);
    for (size_t i = 1; i < messages.size(); ++i) EXPECT_EQ(messages[i], kDamaged);

    // The flags are taken as they are, and the active count recounted from them.
    testsupport::WriteBytes(f.folder.File("recount.tcfg"), head + "3 1 2 2\n110\nA\nB\n1\n3\n0 0 1 0\n");
    user.OnDialog(kDefinition150, [](DialogDriver& d) { d.Click(kCancel); });
    CString p = f.folder.File("recount.tcfg").c_str();
    EXPECT_EQ(runner.RunFromConfiguration(&p), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg->GetActiveRowCount(), 2);
    EXPECT_EQ(dlg->GetSupplementaryRowCount(), 1);
}

// "Executar" refuses settings the engine would read wrongly, and runs nothing.
TEST(BinaryCorrespondence, ExecuteRefusals) {
    AnalysisFixture f;
    CKeloRunner runner;
    auto* dlg = static_cast<CDataDefinitionDlg*>(runner.GetAnalysisDialog());
    std::vector<int> selection{1, 2, 4};
    ScriptedUser user;
    std::vector<CString> messages;
    NoteMessages(user, messages, 1);
    dlg->InitFromData(&selection);
    user.OnDialog(kDefinition150, [](DialogDriver& d) {
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(kExecute);   // 4 rows for 3 complete ones
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(kExecute);   // 1 active row
        d.Click(kCancel);
    });
    user.OnDialog(kPage, [](DialogDriver& d) {
        d.Type(IDC_PAGE_TOTAL, "4");
        d.Focus(IDC_PAGE_LIST);
        d.Click(IDC_PAGE_OK);
    });
    NoteMessages(user, messages, 1);
    user.OnDialog(kPage, [](DialogDriver& d) {
        d.Type(IDC_PAGE_TOTAL, "3");
        d.Focus(IDC_PAGE_LIST);
        d.Tick(IDC_PAGE_LIST, 0);
        d.Tick(IDC_PAGE_LIST, 1);
        d.Click(IDC_PAGE_CANCEL);   // nothing is undone
    });
    NoteMessages(user, messages, 2);
    EXPECT_EQ(dlg->DoModal(), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1], "O número de linhas (4) é diferente do número de linhas completas do ficheiro de dados (3)");
    EXPECT_EQ(messages[2], kLowered1);
    EXPECT_EQ(messages[3], "Tem de ter pelo menos 2 linhas activas");
    EXPECT_FALSE(std::filesystem::exists(f.Dados("Dados.dat")));
}

// "Cancelar" on the options page keeps a count typed above the limit; the definition
// lowers it again, so the engine never gets more factors than the data allow.
TEST(BinaryCorrespondence, OptionsCancelledAboveTheLimitAreLowered) {
    AnalysisFixture f;
    CKeloRunner runner;
    auto* dlg = static_cast<CDataDefinitionDlg*>(runner.GetAnalysisDialog());
    std::vector<int> selection{1, 2, 4};
    ScriptedUser user;
    std::vector<CString> messages;
    NoteMessages(user, messages, 1);
    dlg->InitFromData(&selection);
    user.OnDialog(kDefinition150, [](DialogDriver& d) {
        d.Click(IDC_DEFINITION_OPTIONS);
        d.Click(kCancel);
    });
    user.OnDialog(kOptions, [](DialogDriver& d) {
        d.Type(IDC_OPTIONS_FACTORS, "5");
        d.Focus(IDC_OPTIONS_GRAPHS);   // refused, and the focus goes back to the count
        d.Click(IDCANCEL);             // "Cancelar" checks nothing
    });
    NoteMessages(user, messages, 2);
    EXPECT_EQ(dlg->DoModal(), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg->GetFactorCount(), 2);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], kLowered2);
}

// Principal components from the menu command: the same dialog with the "Opções" page, whose
// limit is the smaller active count itself; mur.par has the layout of kelo.par, and mur runs.
TEST(PrincipalComponents, DefinitionWritesMurParAndMurRuns) {
    AnalysisFixture f;
    std::filesystem::create_symlink(MUR_ENGINE, f.Dados("mur.exe"));
    CMurRunner runner;
    auto* dlg = static_cast<CDataDefinitionDlg*>(runner.GetAnalysisDialog());
    ScriptedUser user;
    std::vector<CString> messages;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);
        d.Tick(kVariableList, 1);
        d.Tick(kVariableList, 3);
        d.Click(kNext);
    });
    user.OnDialog(kDefinition150, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Definições de Dados");
        EXPECT_EQ(dlg->GetFactorCount(), 3);   // lowered from 7 without a word
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(IDC_DEFINITION_COLUMNS);
        d.Click(IDC_DEFINITION_OPTIONS);
        d.Click(kExecute);
    });
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"S1", "S2", "S3"}));
        d.Tick(IDC_PAGE_LIST, 0);
        d.Click(IDC_PAGE_OK);
    });
    NoteMessages(user, messages, 1);
    user.OnDialog(kPage, [](DialogDriver& d) {
        d.Tick(IDC_PAGE_LIST, 1);
        d.Click(IDC_PAGE_OK);
    });
    user.OnDialog(kOptions, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Opções");
        EXPECT_EQ(d.Text(IDC_OPTIONS_FACTORS), "2");
        d.Click(IDC_OPTIONS_COORDINATE_FILES);
        d.Type(IDC_OPTIONS_GRAPHS, "1");
        d.Click(IDOK);
    });
    user.OnDialog(IDD_PCA_RESULTS, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_LISTING);
        d.Click(IDOK);
    });
    RunAnalysisCommand(f.doc, "Selecionar Variáveis para Componentes Principais", 1, runner);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, std::vector<CString>{
                            "O Numero de factores foi alterado para o minimo do nº de variaveis e de amostras. No caso - 2"});
    EXPECT_EQ(testsupport::ReadBytes(f.Dados("Dados.dat")),
              "S1\r\nS2\r\nS3\r\n1.500000 1.000000 2.000000\r\n1.700000 2.000000 1.000000\r\n"
              "1.650000 2.000000 2.000000\r\n");
    EXPECT_EQ(testsupport::ReadBytes(f.Dados("mur.par")),
              "3 2 3 2 2\r\n" + f.Dados("Dados.dat") + "\r\n" + f.dataPath +
                  "\r\n011\r\n101\r\n1 1 65 2.5\r\nAltura\r\nSexo\r\nZona\r\n0 0\r\n");
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].path, CString(f.Dados("mur.prn")));
    afx::CloseTextViewers();
}
