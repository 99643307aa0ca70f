// The multiple correspondence command from its menu id: dazi.par as the data definition
// writes it, the refusals of "Executar", and a whole run of the real dazi whose
// eigenvalues are checked against an analysis of the indicator table computed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "analyses/data_definition_dlg.h"
#include "analyses/mca_data_dlg.h"
#include "analyses/mca_report_dlg.h"
#include "analyses/recoding_pages.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/text_viewer.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

// Anos (quantitative), Cor (3 categories), Tipo (4), Zona (2); S11 lacks Tipo.
const char kTable[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n4\r\n"
    "Anos\r\n1\r\n"
    "Cor\r\n0\r\n3\r\nA 1\r\nB 2\r\nC 3\r\n"
    "Tipo\r\n0\r\n4\r\nP 1\r\nQ 2\r\nR 3\r\nS 4\r\n"
    "Zona\r\n0\r\n2\r\nN 1\r\nS 2\r\n"
    "S1 23.000000 1.000000 1.000000 1.000000\r\n"
    "S2 35.000000 2.000000 2.000000 1.000000\r\n"
    "S3 47.000000 3.000000 3.000000 2.000000\r\n"
    "S4 52.000000 1.000000 4.000000 2.000000\r\n"
    "S5 29.000000 2.000000 1.000000 1.000000\r\n"
    "S6 61.000000 3.000000 2.000000 2.000000\r\n"
    "S7 38.000000 1.000000 3.000000 1.000000\r\n"
    "S8 44.000000 2.000000 4.000000 2.000000\r\n"
    "S9 57.000000 3.000000 1.000000 1.000000\r\n"
    "S10 31.000000 1.000000 2.000000 2.000000\r\n"
    "S11 40.000000 2.000000 -9.900000 1.000000\r\n";

constexpr int kRows = 1087, kColumns = 1088, kOptions = 1089;

struct McaRun : AnalysisFixture {
    explicit McaRun(bool withDazi = true) {
        if (withDazi) std::filesystem::create_symlink(DAZI_ENGINE, Dados("dazi.exe"));
        table = folder.File("mca.tsm");
        testsupport::WriteBytes(table, kTable);
        ScriptedUser user;
        EXPECT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
        afx::ProcessPendingEvents();
    }
    // The command as the menu issues it.
    static void Menu() {
        auto* frame = dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(frame->IsCommandEnabled(ID_ANALYSIS_MULTIPLE));
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ANALYSIS_MULTIPLE, 0), 0);
        afx::ProcessPendingEvents();
    }
    // The runner's data definition, taken from its dialog as it shows; the runner keeps
    // its settings from one test to the next, so Fresh puts the options back to theirs.
    static CMultiCorrespDataDlg* Take(DialogDriver& d) {
        definition = dynamic_cast<CMultiCorrespDataDlg*>(&d.Dialog());
        EXPECT_NE(definition, nullptr);
        return definition;
    }
    static void Fresh(DialogDriver& d) {
        const int defaults[7] = {1, 1, 1, 1, 1, 1, 1};
        Take(d)->GetResultsOptions().ApplyConfiguration(defaults);
        definition->UpdateFactorLimit();
    }
    static CMultiCorrespDataDlg* Definition() { return definition; }
    static inline CMultiCorrespDataDlg* definition = nullptr;
    // Ticks variables (0-based) on the selection page and goes on.
    static void Select(ScriptedUser& user, std::vector<int> variables) {
        user.OnDialog(kSelection, [variables](DialogDriver& d) {
            for (int v : variables) d.Tick(kVariableList, v);
            d.Click(kNext);
        });
    }
    // The head of dazi.par: lines 1 to 3.
    std::string Head(int n, int q, int k) const {
        return std::to_string(n) + " " + std::to_string(q) + " " + std::to_string(k) + "\n" + Dados("Dados.dat") +
               "\n" + table + "\n";
    }
    std::string table;
};

void AnswerOk(ScriptedUser& user, int count) {
    for (int i = 0; i < count; ++i) user.OnMessageBox([](const CString&, UINT) { return IDOK; });
}

// Text files are written with "\r\n" line ends.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::vector<double> Numbers(const std::string& line) {
    std::istringstream in(line);
    std::vector<double> out;
    double v;
    while (in >> v) out.push_back(v);
    return out;
}

// Eigenvalues of a symmetric matrix by cyclic Jacobi rotations, largest first.
std::vector<double> Eigenvalues(std::vector<std::vector<double>> a) {
    const size_t n = a.size();
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0;
        for (size_t p = 0; p < n; ++p)
            for (size_t q = p + 1; q < n; ++q) off += a[p][q] * a[p][q];
        if (off < 1e-26) break;
        for (size_t p = 0; p < n; ++p)
            for (size_t q = p + 1; q < n; ++q) {
                if (std::fabs(a[p][q]) < 1e-300) continue;
                double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (size_t k = 0; k < n; ++k) {
                    double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (size_t k = 0; k < n; ++k) {
                    double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
            }
    }
    std::vector<double> d(n);
    for (size_t i = 0; i < n; ++i) d[i] = a[i][i];
    std::sort(d.rbegin(), d.rend());
    return d;
}

}  // namespace

// Two runs on Cor and Tipo: with the individuals projected the report has their rows;
// without, it has none (not the first run's), and dazi.par has no flag lines.
TEST(MultipleCorrespondence, TwoQualitativeColumnsWithAndWithoutProjection) {
    McaRun r;
    ScriptedUser user;
    McaRun::Select(user, {1, 2});   // Cor, Tipo: 10 complete rows
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(kOptions);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        d.Type(IDC_MCA_FACTORS, "2");
        d.Click(IDOK);
    });
    int rowsFirst = -1, rowsSecond = -1, modalities = -1, plotted = -1;
    CMultiCorrespReportDlg* report = nullptr;
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        report = dynamic_cast<CMultiCorrespReportDlg*>(&d.Dialog());
        ASSERT_NE(report, nullptr);
        rowsFirst = report->GetRowTable(0).GetRowCount();
        plotted = static_cast<int>(report->GetActiveRowList().size());
        d.Click(IDOK);
    });
    McaRun::Select(user, {1, 2});
    int maxFactors = 0;
    user.OnDialog(IDD_DATA_DEFINITION, [&](DialogDriver& d) {
        McaRun::Fresh(d);
        maxFactors = McaRun::Definition()->GetResultsOptions().GetMaxFactors();
        d.Click(kOptions);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_MCA_PROJECTION), 1);
        d.Click(IDC_MCA_PROJECTION);
        d.Type(IDC_MCA_FACTORS, "5");
        d.Click(IDOK);
    });
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        rowsSecond = report->GetRowTable(0).GetRowCount() + report->GetRowTable(2).GetRowCount();
        modalities = report->GetColumnTable(0).GetRowCount();
        d.Click(IDC_RESULTS_LISTING);
        d.Click(IDOK);
    });
    McaRun::Menu();
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(rowsFirst, 10);
    EXPECT_EQ(plotted, 10);
    EXPECT_EQ(rowsSecond, 0);
    EXPECT_EQ(modalities, 7);
    EXPECT_EQ(maxFactors, 5);   // 7 modalities less 2 columns
    const std::string ids = "A\nB\nC\nP\nQ\nR\nS\n";
    EXPECT_EQ(testsupport::ReadBytes(r.Dados("dazi.par")),
              Crlf(r.Head(10, 0, 2) + "Cor\nTipo\n" + "1\n" + "7 4 \n" + "1 1\n" + "3\n4\n" + "1\n2\n3\n1\n2\n3\n4\n" + ids +
                  "1 0 1\n" + "7 7 7 7 5\n" + "1 1 65 2.5\n" + ids + "1 1\n"));
    // "Relatório": the recoding listing, then dazi's.
    ASSERT_EQ(user.TextViewers().size(), 2u);
    EXPECT_EQ(user.TextViewers()[0].path, CString(r.Dados("recod.prn").c_str()));
    EXPECT_EQ(user.TextViewers()[1].path, CString(r.Dados("dazi.prn").c_str()));
}

// Projected individuals: line 11 counts them, and the flags are written although every
// modality is active; a quantitative column comes first whatever the order of choice.
TEST(MultipleCorrespondence, ProjectionWritesTheRowFlags) {
    McaRun r;
    ScriptedUser user;
    McaRun::Select(user, {3, 0});   // Zona, Anos: 11 complete rows
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) { d.Click(IDOK); });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(McaRun::Definition()->GetSelectedColumns(), (std::vector<int>{1, 4}));
    EXPECT_EQ(testsupport::ReadBytes(r.Dados("dazi.par")),
              Crlf(r.Head(11, 1, 1) + "Anos\nZona\n" + "2\n3\n" + "1\n" + "5 3 \n" + "1 1\n" + "3\n2\n" +
                  "1\n2\n3\n1\n2\n" + "Ano1\nAno2\nAno3\nN\nS\n" + "1 0 1\n" + "16 5 5 5 1\n" +
                  "1111100000000000\n" + "11111\n" + "1 1 65 2.5\n" + "Ano1\nAno2\nAno3\nN\nS\n" + "1 1\n"));
}

// 85 modality flags: a full line of 80, then 5 flags and the 11 row flags on one line;
// dazi missing: "Erro a executar o %s", and nothing is shown.
TEST(MultipleCorrespondence, EightyFiveFlagsAndNoEngine) {
    McaRun r(false);
    ScriptedUser user;
    McaRun::Select(user, {0, 3});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        McaRun::Definition()->GetColumnTypes().GetColumn(0)->SetClassCount(83);
        McaRun::Definition()->GetColumnTypes().RecomputeTotals();
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    AnswerOk(user, 1);
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    std::string par = testsupport::ReadBytes(r.Dados("dazi.par"));
    const std::string ones(80, '1');
    const std::string flags = ones + "\n" + "11111" + std::string(11, '0') + "\n" + ones + "\n11111\n";
    EXPECT_NE(par.find(Crlf("85 83 \n")), std::string::npos);
    EXPECT_NE(par.find(Crlf("96 85 85 85 1\n" + flags + "1 1 65 2.5\n")), std::string::npos) << par;
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0], FormatString("Erro a executar o %s", r.Dados("dazi.exe").c_str()));
    EXPECT_TRUE(user.TextViewers().empty());
}

// dazi ending on an error: its status is told, "Sim" shows the listing that it wrote, and
// no report is shown, whatever results an earlier run left.
TEST(MultipleCorrespondence, FailedDaziShowsNoReport) {
    McaRun r(false);
    r.InstallEngine("dazi.exe");
    testsupport::WriteBytes(r.Dados("dazi.tmp"), "de outra corrida\r\n");
    testsupport::WriteBytes(r.Dados("exit_code"), "5");
    ScriptedUser user;
    McaRun::Select(user, {1, 2});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "O programa dazi.exe terminou com erro (estado 5). Ver a listagem?");
        return IDYES;
    });
    McaRun::Menu();   // no report may open
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.TextViewers().size(), 1u);   // the fake writes no recoding listing
    EXPECT_EQ(user.TextViewers()[0].path, CString(r.Dados("dazi.prn").c_str()));
    afx::CloseTextViewers();
}

// A dazi.tmp holding a value that is not finite: the message names the file and its line,
// and the report opens with nothing in it.
TEST(MultipleCorrespondence, NonFiniteResultIsRefused) {
    McaRun r(false);
    r.InstallEngine("dazi.exe");
    // One factor, 7 modalities, 10 individuals: "nan" in the third modality's line.
    std::string tmp = "1\n0.5 50 50\n";
    for (int m = 1; m <= 7; ++m) tmp += FormatString("M%d 0.1 %s 0.2\n", m, m == 3 ? "nan" : "0.5").str();
    for (int i = 1; i <= 10; ++i) tmp += FormatString("S%d 0.1 0.5 0.2\n", i).str();
    testsupport::WriteBytes(r.Dados("dazi.out"), tmp);
    ScriptedUser user;
    McaRun::Select(user, {1, 2});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, FormatString("O ficheiro de Relatorio %s tem um valor que não é um número finito na linha 5: "
                                     "os resultados não são mostrados",
                                     r.Dados("dazi.tmp").c_str()));
        return IDOK;
    });
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) {
        auto& report = dynamic_cast<CMultiCorrespReportDlg&>(d.Dialog());
        EXPECT_EQ(report.GetEigenvalueTable().GetRowCount(), 0);
        EXPECT_EQ(report.GetColumnTable(2).GetRowCount(), 0);
        d.Click(IDOK);
    });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
}

// dazi.par cannot be created: the message, and dazi is not started.
TEST(MultipleCorrespondence, UnwritableParameterFileStartsNothing) {
    McaRun r;
    std::filesystem::create_directory(r.Dados("dazi.par"));
    ScriptedUser user;
    AnswerOk(user, 1);
    McaRun::Select(user, {1, 2});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0], "Erro a Abrir o ficheiro");
    EXPECT_TRUE(user.ProcessStarts().empty());
    EXPECT_TRUE(user.TextViewers().empty());
}

// "Executar" refuses: too few active modalities beyond the columns, no factor, a row count
// that is not the table's; each with its message and nothing written.
TEST(MultipleCorrespondence, ExecuteRefusals) {
    McaRun r;
    ScriptedUser user;
    McaRun::Select(user, {3});   // Zona alone: 2 modalities, 1 column
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_ANALYSIS_EXECUTE);
        d.Click(IDC_DEFINITION_CANCEL);
    });
    McaRun::Select(user, {1, 2});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(kOptions);
        d.Click(IDC_ANALYSIS_EXECUTE);   // no factor
        d.Click(kRows);
        // One row: the factor limit is clamped to 1, not 0.
        EXPECT_EQ(McaRun::Definition()->GetResultsOptions().GetMaxFactors(), 1);
        d.Click(IDC_ANALYSIS_EXECUTE);   // rows not the table's
        d.Click(IDC_DEFINITION_CANCEL);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        d.Type(IDC_MCA_FACTORS, "0");
        d.Click(IDOK);
    });
    user.OnDialog(IDD_ROW_COUNT, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_ROW_COUNT), "10");
        d.SavePng((testsupport::PictureFolder() + "/mca_row_count.png").c_str());
        d.Type(IDC_ROW_COUNT, "1");
        d.Click(IDOK);
    });
    AnswerOk(user, 3);
    McaRun::Menu();
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.Messages().size(), 3u);
    EXPECT_EQ(user.Messages()[0], "Tem de haver pelo menos 2 modalidades activas além do número de colunas (1)");
    EXPECT_EQ(user.Messages()[1], "O Numero de factores tem de ser pelo menos 1");
    EXPECT_EQ(user.Messages()[2],
              "O número de linhas (1) é diferente do número de linhas completas do ficheiro de dados (10)");
    EXPECT_FALSE(std::filesystem::exists(r.Dados("Dados.dat")));
    EXPECT_FALSE(std::filesystem::exists(r.Dados("dazi.par")));
}

// The factors edit: a count above the limit is refused on leaving it and by OK.
TEST(MultipleCorrespondence, FactorCountAboveTheLimit) {
    McaRun r;
    ScriptedUser user;
    McaRun::Select(user, {1, 2});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(kOptions);
        d.Click(IDC_DEFINITION_CANCEL);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        d.Type(IDC_MCA_FACTORS, "6");
        d.Focus(IDC_MCA_GRAPHS);
        EXPECT_EQ(d.FocusId(), IDC_MCA_FACTORS);
        d.Click(IDOK);   // refused: still open
        d.SavePng((testsupport::PictureFolder() + "/mca_results_options.png").c_str());
        d.Type(IDC_MCA_FACTORS, "4");
        d.Click(IDOK);
    });
    AnswerOk(user, 2);
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    // Leaving the edit warns, and so does OK as it takes the focus from it.
    ASSERT_EQ(user.Messages().size(), 2u);
    for (const CString& m : user.Messages()) EXPECT_EQ(m, "O número de factores nao pode ser maior que 5");
    EXPECT_EQ(McaRun::Definition()->GetFactorCount(), 4);
}

// "Gravar", then the configuration opened again: the pages, options and columns come
// back, and the factor limit is recomputed from them.
TEST(MultipleCorrespondence, ConfigurationRoundTrip) {
    McaRun r;
    const std::string saved = r.folder.File("mca.tcfg");
    ScriptedUser user;
    McaRun::Select(user, {2, 0});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        CMultiCorrespDataDlg* dlg = McaRun::Definition();
        dlg->GetColumnTypes().GetColumn(0)->SetClassCount(4);
        dlg->GetColumnTypes().GetColumn(1)->SetModalityActive(3, 0);
        dlg->GetColumnTypes().RecomputeTotals();
        dlg->UpdateFactorLimit();
        d.Click(kOptions);
        d.Click(1139);
        d.Click(IDC_DEFINITION_CANCEL);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        d.Click(IDC_MCA_BURT);
        d.Type(IDC_MCA_FACTORS, "3");
        d.Type(IDC_MCA_GRAPHS, "2");
        d.Click(IDOK);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& q) {
        q.path = saved.c_str();
        return true;
    });
    McaRun::Menu();
    ASSERT_TRUE(std::filesystem::exists(saved));
    std::string body = testsupport::ReadBytes(saved);
    EXPECT_NE(body.find(Crlf("10\n1 1 8 7 4\n")), std::string::npos) << body;
    EXPECT_NE(body.find(Crlf("1 1 0 1 1 3 2\n1\n3\n")), std::string::npos) << body;

    // A fresh run from other columns, then the file opened from the selection page.
    McaRun::Select(user, {3});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(IDC_DEFINITION_CANCEL);
    });
    McaRun::Menu();
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& q) {
        q.path = saved.c_str();
        return true;
    });
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) { d.Click(IDC_DEFINITION_CANCEL); });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    CMultiCorrespDataDlg* dlg = McaRun::Definition();
    EXPECT_EQ(dlg->GetSelectedColumns(), (std::vector<int>{1, 3}));
    EXPECT_EQ(dlg->GetColumnTypes().GetModalityTotal(), 8);
    EXPECT_EQ(dlg->GetColumnTypes().GetActiveTotal(), 7);
    EXPECT_EQ(dlg->GetResultsOptions().GetBurtFlag(), 0);
    EXPECT_EQ(dlg->GetResultsOptions().GetMaxFactors(), 5);   // 7 active less 2 columns
    EXPECT_EQ(dlg->GetFactorCount(), 3);
    EXPECT_EQ(dlg->GetSupplementaryColumnCount(), 1);
}

// Names with blanks, an empty name and a backslash are saved in a form that loads back;
// a table whose values have left the saved modality codes is refused on loading.
TEST(MultipleCorrespondence, ConfigurationNamesAndCodesAgainstTheData) {
    McaRun r;
    const std::string table = r.folder.File("olhos.tsm");
    const std::string head = "#Tesmo v7.00#\r\n-9.900000\r\n2\r\n"
                             "Cor olhos\r\n0\r\n3\r\nMuito alto 1\r\n 2\r\nc:\\x 3\r\n"
                             "Tipo\r\n0\r\n2\r\nP 1\r\nQ 2\r\n";
    auto rows = [](const char* third) {
        return std::string("S1 1.000000 1.000000\r\nS2 2.000000 2.000000\r\nS3 ") + third +
               " 1.000000\r\nS4 1.000000 2.000000\r\n";
    };
    // S3's colour with a digit more than the file needs, so that the changes below keep the
    // file's length, which the configuration checks.
    testsupport::WriteBytes(table, head + rows("3.0000000"));
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
    const std::string saved = r.folder.File("olhos.tcfg");
    McaRun::Select(user, {0, 1});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.Click(1139);   // "Gravar"
        d.Click(IDC_DEFINITION_CANCEL);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& q) {
        q.path = saved.c_str();
        return true;
    });
    McaRun::Menu();
    EXPECT_NE(testsupport::ReadBytes(saved).find("Cor\\solhos 1 3 3\r\nMuito\\salto 1 1\r\n\\e 2 1\r\nc:\\\\x 3 1\r\n"
                                                 "Tipo 2 2 2\r\nP 1 1\r\nQ 2 1\r\n"),
              std::string::npos)
        << testsupport::ReadBytes(saved);

    // Another run first, so that the pages come from the file.
    McaRun::Select(user, {1});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) { d.Click(IDC_DEFINITION_CANCEL); });
    McaRun::Menu();
    auto open = [&] {
        user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
        user.OnFileDialog([&](afx::FileDialogRequest& q) {
            q.path = saved.c_str();
            return true;
        });
    };
    open();
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        const CColumnTypesDlg& types = McaRun::Take(d)->GetColumnTypes();
        EXPECT_EQ(types.GetColumn(0)->GetVariableName(), "Cor olhos");
        EXPECT_EQ(types.GetColumn(0)->GetModalityIdentifier(0), "Muito alto");
        EXPECT_EQ(types.GetColumn(0)->GetModalityIdentifier(1), "");
        EXPECT_EQ(types.GetColumn(0)->GetModalityIdentifier(2), "c:\\x");
        d.Click(IDC_DEFINITION_CANCEL);
    });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(McaRun::Definition()->GetSelectedColumns(), (std::vector<int>{1, 2}));

    // S3's colour changed: compared with the codes as Dados.dat carries it, to six decimals,
    // as dazi compares it. 1.0000001 is code 1; 1.4 and 4 are no code of a modality, and are
    // refused before dazi would refuse them.
    for (const char* colour : {"1.0000001", "1.4000000", "4.0000000"}) {
        SCOPED_TRACE(colour);
        testsupport::WriteBytes(table, head + rows(colour));
        ASSERT_NE(theApp.OpenDocumentFile(r.table.c_str()), nullptr);   // so that the table is read again
        ASSERT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
        open();
        if (std::string(colour) == "1.0000001") {
            user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) { d.Click(IDC_DEFINITION_CANCEL); });
        } else {
            user.OnMessageBox([](const CString& text, UINT) {
                EXPECT_EQ(text, kDamaged);
                return IDOK;
            });
        }
        McaRun::Menu();   // a refusal opens no dialog
        EXPECT_TRUE(user.AllAnswered());
    }
}

// The whole command on three qualitative columns and one cut into 3 classes of equal
// frequency: dazi's eigenvalues are those of the indicator table analysed here.
TEST(MultipleCorrespondence, RealDaziEigenvalues) {
    McaRun r;
    ScriptedUser user;
    McaRun::Select(user, {0, 1, 2, 3});
    user.OnDialog(IDD_DATA_DEFINITION, [](DialogDriver& d) {
        McaRun::Fresh(d);
        d.SavePng((testsupport::PictureFolder() + "/mca_definition.png").c_str());
        d.Click(kColumns);
        d.Click(kOptions);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(IDD_COLUMN_TYPES, [](DialogDriver& d) {
        d.SavePng((testsupport::PictureFolder() + "/mca_column_types.png").c_str());
        d.Click(IDOK);
    });
    user.OnDialog(IDD_MCA_RESULTS, [](DialogDriver& d) {
        d.Click(IDC_MCA_PROJECTION);
        d.Type(IDC_MCA_FACTORS, "8");
        d.Click(IDOK);
    });
    CMultiCorrespReportDlg* report = nullptr;
    std::vector<double> shown;
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        report = dynamic_cast<CMultiCorrespReportDlg*>(&d.Dialog());
        ASSERT_NE(report, nullptr);
        d.SavePng((testsupport::PictureFolder() + "/mca_report.png").c_str());
        for (int f = 1; f <= report->GetEigenvalueTable().GetRowCount(); ++f)
            shown.push_back(report->GetEigenvalueTable().GetValue(f, 1));
        // "Relatório": the recoding listing, then dazi's a step away from it in both
        // directions, so that both can be seen.
        d.Click(IDC_RESULTS_LISTING);
        afx::ProcessPendingEvents();
        ASSERT_EQ(afx::OpenTextViewerCount(), 2);
        CRect second, first;
        afx::TextViewerTextArea()->GetWindowRect(&second);
        afx::PressTextViewerButton(afx::TextViewerButton::Close);
        afx::ProcessPendingEvents();
        afx::TextViewerTextArea()->GetWindowRect(&first);
        EXPECT_GE(std::abs(second.left - first.left), 10);
        EXPECT_GE(std::abs(second.top - first.top), 10);
        afx::CloseTextViewers();
        d.Click(IDOK);
    });
    McaRun::Menu();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(McaRun::Definition()->GetResultsOptions().GetMaxFactors(), 8);   // 12 - 4

    // Indicator table of the 10 complete rows: Anos cut after ranks 4 and 7 of its sorted
    // values (35 and 47), then Cor, Tipo, Zona.
    const double anos[10] = {23, 35, 47, 52, 29, 61, 38, 44, 57, 31};
    const int cor[10] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1}, tipo[10] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2},
              zona[10] = {1, 1, 2, 2, 1, 2, 1, 2, 1, 2};
    std::vector<std::vector<double>> z(10, std::vector<double>(12, 0));
    for (int i = 0; i < 10; ++i) {
        z[i][anos[i] <= 35 ? 0 : anos[i] <= 47 ? 1 : 2] = 1;
        z[i][2 + cor[i]] = 1;
        z[i][5 + tipo[i]] = 1;
        z[i][9 + zona[i]] = 1;
    }
    // S = D_r^-1/2 (P - r c') D_c^-1/2; the eigenvalues are those of S'S.
    double total = 40;
    std::vector<double> c(12, 0);
    for (const auto& row : z)
        for (int j = 0; j < 12; ++j) c[j] += row[j] / total;
    std::vector<std::vector<double>> s(10, std::vector<double>(12));
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 12; ++j) s[i][j] = (z[i][j] / total - 0.1 * c[j]) / std::sqrt(0.1 * c[j]);
    std::vector<std::vector<double>> sts(12, std::vector<double>(12, 0));
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 12; ++b)
            for (int i = 0; i < 10; ++i) sts[a][b] += s[i][a] * s[i][b];
    std::vector<double> expected = Eigenvalues(sts);

    std::istringstream in(testsupport::ReadBytes(r.Dados("dazi.tmp")));
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_NEAR(Numbers(line).at(0), 2.0, 1e-5);   // (J - m) / m
    double cumulative = 0;
    for (int f = 0; f < 8; ++f) {
        ASSERT_TRUE(std::getline(in, line));
        std::vector<double> v = Numbers(line);
        ASSERT_EQ(v.size(), 3u) << line;
        cumulative += 100 * expected[static_cast<size_t>(f)] / 2.0;
        EXPECT_NEAR(v[0], expected[static_cast<size_t>(f)], 1e-5) << f;
        EXPECT_NEAR(v[2], cumulative, 1e-3) << f;
    }
    // Twelve modality lines and no individuals.
    int modalities = 0;
    while (std::getline(in, line))
        if (!line.empty()) ++modalities;
    EXPECT_EQ(modalities, 12);
    // The report shows the same eigenvalues, the 12 modalities and no individuals.
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(shown.size(), 8u);
    for (int f = 0; f < 8; ++f) EXPECT_NEAR(shown[static_cast<size_t>(f)], expected[static_cast<size_t>(f)], 1e-5) << f;
    EXPECT_EQ(report->GetColumnTable(2).GetRowCount(), 12);
    EXPECT_EQ(report->GetRowTable(2).GetRowCount(), 0);

    // "Relatório" without the recoding listing: the message, and dazi's is still shown.
    std::filesystem::remove(r.Dados("recod.prn"));
    AnswerOk(user, 1);
    report->OnListings();
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0], "Erro a abrir o notepad");
    ASSERT_EQ(user.TextViewers().size(), 3u);   // after the two that "Relatório" showed above
    EXPECT_EQ(user.TextViewers()[0].path, CString(r.Dados("recod.prn").c_str()));
    EXPECT_EQ(user.TextViewers()[1].path, CString(r.Dados("dazi.prn").c_str()));
    EXPECT_EQ(user.TextViewers()[2].path, CString(r.Dados("dazi.prn").c_str()));

    // A short results file, then none: the tables are emptied and a message says why.
    testsupport::WriteBytes(r.Dados("dazi.tmp"), "2.000000\n0.5 25.0 25.0\n");
    AnswerOk(user, 2);
    report->ReadResults(r.Dados("dazi.tmp").c_str());
    EXPECT_EQ(report->GetEigenvalueTable().GetRowCount(), 0);
    EXPECT_EQ(report->GetColumnTable(2).GetRowCount(), 0);
    std::filesystem::remove(r.Dados("dazi.tmp"));
    report->ReadResults(r.Dados("dazi.tmp").c_str());
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.Messages().size(), 3u);
    EXPECT_EQ(user.Messages()[1], kResultsShortMessage);
    EXPECT_EQ(user.Messages()[2], ("Erro a Abrir o ficheiro de Relatorio - " + r.Dados("dazi.tmp")).c_str());

    // A listing that the viewer refuses is told of once, by the viewer.
    testsupport::WriteBytes(r.Dados("recod.prn"), std::string(" Listagem\r\n") + '\0' + "\r\n");
    AnswerOk(user, 1);
    report->OnListings();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.Messages().size(), 4u);
    EXPECT_EQ(user.Messages()[3], ("Erro - " + r.Dados("recod.prn") + " não é um ficheiro de texto").c_str());
    EXPECT_EQ(user.TextViewers().size(), 4u);
}
