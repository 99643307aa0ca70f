// Principal components from its menu command with the real mur, checked against a principal
// components analysis of the correlation matrix computed here; and the mur.tmp reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "analyses/analysis_pages.h"
#include "analyses/coordinates_dlg.h"
#include "analyses/data_definition_dlg.h"
#include "analyses/html_report.h"
#include "analyses/pca_results_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/special_pages.h"
#include "platform/ui/shell.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"
#include "tests/analyses/factor_math.h"
#include "ui/folder_dialog.h"

using namespace analysis_test;

namespace {

constexpr UINT kDataDefinition = 150;
constexpr UINT kMatrixDialog = 179;
constexpr UINT kChartWindow = 174;  // the chart window dialog
constexpr UINT kSingleChart = 185;
constexpr int kMatrixList = 1078;

std::string Picture(const char* name) { return testsupport::PictureFolder() + "/" + name; }

// Seven rows of four measures; G is made a supplementary row and X4 a supplementary column.
const char kPcaTable[] =
    "#Tesmo v7.00#\r\n-9.900000\r\n4\r\n"
    "X1\r\n1\r\nX2\r\n1\r\nX3\r\n1\r\nX4\r\n1\r\n"
    "A 2.000000 3.100000 1.000000 5.000000\r\n"
    "B 4.000000 2.900000 2.500000 3.000000\r\n"
    "C 6.000000 4.200000 2.000000 4.000000\r\n"
    "D 3.000000 5.000000 4.000000 2.000000\r\n"
    "E 5.000000 6.100000 3.500000 6.000000\r\n"
    "F 7.000000 4.800000 5.500000 1.000000\r\n"
    "G 4.500000 4.000000 3.000000 3.500000\r\n";

const double kData[7][4] = {{2, 3.1, 1, 5},   {4, 2.9, 2.5, 3}, {6, 4.2, 2, 4},    {3, 5, 4, 2},
                            {5, 6.1, 3.5, 6}, {7, 4.8, 5.5, 1}, {4.5, 4, 3, 3.5}};

// Principal components of X1..X3 over rows A..F, columns standardised with the divisor n.
struct Components {
    std::vector<double> lambda;
    std::vector<std::vector<double>> columns;       // X1..X3, then X4: [column][factor]
    std::vector<std::vector<double>> rows;          // A..F, then G
    Components() {
        const int n = 6;
        double mean[4] = {0, 0, 0, 0}, sd[4] = {0, 0, 0, 0};
        for (int j = 0; j < 4; ++j) {
            for (int i = 0; i < n; ++i) mean[j] += kData[i][j] / n;
            for (int i = 0; i < n; ++i) sd[j] += std::pow(kData[i][j] - mean[j], 2) / n;
            sd[j] = std::sqrt(sd[j]);
        }
        auto z = [&](int i, int j) { return (kData[i][j] - mean[j]) / sd[j]; };
        std::vector<std::vector<double>> r(3, std::vector<double>(3, 0.0)), v;
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                for (int i = 0; i < n; ++i) r[a][b] += z(i, a) * z(i, b) / n;
        factor_math::Jacobi(r, lambda, v);
        for (int j = 0; j < 3; ++j)
            columns.push_back({v[j][0] * std::sqrt(lambda[0]), v[j][1] * std::sqrt(lambda[1])});
        for (int i = 0; i < 7; ++i) {
            rows.push_back({});
            for (int k = 0; k < 2; ++k) {
                double s = 0;
                for (int j = 0; j < 3; ++j) s += z(i, j) * v[j][static_cast<size_t>(k)];
                rows.back().push_back(s);
            }
        }
        // X4: its correlation with each factor's active row scores.
        std::vector<double> x4;
        for (int k = 0; k < 2; ++k) {
            double c = 0;
            for (int i = 0; i < n; ++i) c += z(i, 3) * rows[static_cast<size_t>(i)][static_cast<size_t>(k)] / n;
            x4.push_back(c / std::sqrt(lambda[static_cast<size_t>(k)]));
        }
        columns.push_back(x4);
    }
};

std::vector<double> Cells(const CString& row) {
    std::istringstream in{std::string(static_cast<const char*>(row))};
    std::string cell;
    std::vector<double> out;
    std::getline(in, cell, '\t');
    while (std::getline(in, cell, '\t')) out.push_back(std::atof(cell.c_str()));
    return out;
}

}  // namespace

TEST(PcaResults, WholeCommandFromTheMenuWithMur) {
    AnalysisFixture f;
    std::filesystem::create_symlink(MUR_ENGINE, f.Dados("mur.exe"));
    const std::string table = f.folder.File("pca.tsm");
    testsupport::WriteBytes(table, kPcaTable);
    {
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
        afx::ProcessPendingEvents();
    }
    const Components pca;
    std::vector<CString> opened;
    afx::LinkOpener previous = afx::SetLinkOpener([&opened](const CString& target) {
        opened.push_back(target);
        return afx::OpenOutcome{afx::OpenOutcome::Exited, 0};
    });
    const std::string reportFolder = f.folder.Path() + "/html";
    std::filesystem::create_directory(reportFolder);

    ScriptedUser user;
    std::vector<CString> messages;
    user.OnMessageBox([&messages](const CString& text, UINT) {   // 4 columns: at most 3 factors
        messages.push_back(text);
        return IDOK;
    });
    user.OnDialog(kSelection, [](DialogDriver& d) {
        for (int i = 0; i < 4; ++i) d.Tick(kVariableList, i);
        d.Click(kNext);
    });
    user.OnDialog(kDataDefinition, [](DialogDriver& d) {
        d.Click(IDC_DEFINITION_ROWS);
        d.Click(IDC_DEFINITION_COLUMNS);
        d.Click(IDC_DEFINITION_OPTIONS);
        d.Click(kExecute);
    });
    user.OnDialog(IDD_COLUMNS_SELECT, [](DialogDriver& d) {
        d.Tick(IDC_PAGE_LIST, 6);   // G supplementary
        d.Click(IDC_PAGE_OK);
    });
    user.OnDialog(IDD_COLUMNS_SELECT, [](DialogDriver& d) {
        d.Tick(IDC_PAGE_LIST, 3);   // X4 supplementary
        d.Click(IDC_PAGE_OK);
    });
    user.OnDialog(IDD_RESULTS_OPTIONS, [](DialogDriver& d) {
        d.Type(IDC_OPTIONS_FACTORS, "2");
        d.Click(IDOK);
    });
    std::vector<CString> eigen, columns, rows, supplementaryRows;
    user.OnDialog(IDD_PCA_RESULTS, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Resultados");
        EXPECT_EQ(d.Text(IDC_RESULTS_FACTOR_COUNT), "2");
        d.SavePng(Picture("pca_results.png").c_str());
        d.Click(IDC_RESULTS_EIGENVALUES);
        d.Click(IDC_RESULTS_COLUMN_COORDINATES);
        d.Click(IDC_RESULTS_ROW_COORDINATES);
        d.Click(IDC_RESULTS_SCREE_PLOT);
        d.Click(IDC_RESULTS_ROW_PLANE);
        d.Click(IDC_RESULTS_HTML);
        d.Click(IDOK);
    });
    user.OnDialog(kMatrixDialog, [&](DialogDriver& d) {
        eigen = d.Dump(kMatrixList);
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        d.Click(IDC_COORDINATES_TOTAL);
        columns = d.Dump(IDC_COORDINATES_LIST);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        rows = d.Dump(IDC_COORDINATES_LIST);
        d.Click(IDC_COORDINATES_SUPPLEMENTARY);
        supplementaryRows = d.Dump(IDC_COORDINATES_LIST);
        d.Click(IDOK);
    });
    user.OnDialog(kSingleChart, [](DialogDriver& d) {
        d.SavePng(Picture("pca_scree_plot.png").c_str());
        d.Click(IDOK);
    });
    user.OnDialog(kChartWindow, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Linhas)");
        d.SavePng(Picture("pca_row_plane.png").c_str());
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_PCA_HTML_OPTIONS, [](DialogDriver& d) {
        d.Click(IDC_HTML_SELECT_ALL);
        EXPECT_EQ(d.Checked(IDC_HTML_COLUMNS_TOTAL), 1);
        EXPECT_EQ(d.Checked(IDC_HTML_ROWS_SUPPLEMENTARY), 1);
        d.Click(IDC_HTML_GENERATE);
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& d) {
        d.Type(IDC_FOLDER_EDIT, reportFolder.c_str());
        d.Click(IDC_FOLDER_OPEN);
    });
    user.OnDialog(IDD_HTML_NOTICE, [](DialogDriver& d) {
        d.Click(IDC_HTML_LINK);
        d.Click(IDOK);
    });
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ANALYSIS_PRINCIPAL, 0), 0);
    afx::SetLinkOpener(previous);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, std::vector<CString>{
                            "O Numero de factores foi alterado para o minimo do nº de variaveis e de amostras. No caso - 3"});

    // Eigenvalues of the correlation matrix, percentages of its trace 3.
    ASSERT_EQ(eigen.size(), 3u);
    double cumulative = 0;
    for (size_t k = 0; k < 2; ++k) {
        std::vector<double> cells = Cells(eigen[k + 1]);
        ASSERT_EQ(cells.size(), 3u);
        cumulative += 100 * pca.lambda[k] / 3;
        EXPECT_NEAR(cells[0], pca.lambda[k], 2e-4);
        EXPECT_NEAR(cells[1], 100 * pca.lambda[k] / 3, 2e-2);
        EXPECT_NEAR(cells[2], cumulative, 2e-2);
    }
    // The axes' signs are the engine's choice: take them from X1, then every value agrees.
    ASSERT_EQ(columns.size(), 5u);   // headings, X1..X3, X4
    EXPECT_EQ(columns[0], "\t1\t2");
    double sign[2];
    for (size_t k = 0; k < 2; ++k) sign[k] = Cells(columns[1])[k] * pca.columns[0][k] < 0 ? -1 : 1;
    for (size_t j = 0; j < 4; ++j) {
        EXPECT_TRUE(columns[j + 1].Left(2) == FormatString("X%d", static_cast<int>(j + 1)));
        std::vector<double> cells = Cells(columns[j + 1]);
        ASSERT_EQ(cells.size(), 2u);
        for (size_t k = 0; k < 2; ++k) EXPECT_NEAR(cells[k], sign[k] * pca.columns[j][k], 2e-4) << j << " " << k;
    }
    ASSERT_EQ(rows.size(), 7u);
    for (size_t i = 0; i < 6; ++i) {
        std::vector<double> cells = Cells(rows[i + 1]);
        ASSERT_EQ(cells.size(), 2u);
        for (size_t k = 0; k < 2; ++k) EXPECT_NEAR(cells[k], sign[k] * pca.rows[i][k], 2e-4) << i << " " << k;
    }
    ASSERT_EQ(supplementaryRows.size(), 2u);
    EXPECT_EQ(supplementaryRows[1].Left(2), "G\t");
    for (size_t k = 0; k < 2; ++k) EXPECT_NEAR(Cells(supplementaryRows[1])[k], sign[k] * pca.rows[6][k], 2e-4);

    // The report: every section, supplementary ones included, and the image beside it.
    const std::string page = testsupport::ReadBytes(reportFolder + "/Relatorio.html");
    EXPECT_NE(page.find("<title> Relatório de Análise em Componentes Principais </title>"), std::string::npos);
    EXPECT_NE(page.find("<h3> 3.2 - Coordenadas das Colunas Suplementares </h3>"), std::string::npos);
    EXPECT_NE(page.find("<h3> 4.3 - Coordenadas das Linhas Totais </h3>"), std::string::npos);
    EXPECT_LT(page.find("<h3> 4.3 - Coordenadas das Linhas Totais </h3>"), page.find("</body> </html>"));
    EXPECT_TRUE(std::filesystem::exists(reportFolder + "/ScreePlot.bmp"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CString((reportFolder + "/Relatorio.html").c_str()));
}

namespace {

class PcaOwner : public TestAnalysisDlg {
public:
    int GetFactorCount() override { return 2; }
    int GetActiveColumnCount() override { return 3; }
    int GetSupplementaryColumnCount() override { return 0; }
    int GetActiveRowCount() override { return 2; }
    int GetSupplementaryRowCount() override { return 1; }
};

const char kMurTmp[] =
    "2\n1.8 60 60\n1.2 40 100\n"
    "X1 0.9 0.1\nX2 -0.5 0.8\nX3 0.3 -0.7\n"
    "A 1.5 -0.2\nB -1.5 0.2\nC 0.4 0.4\n";

// kMurTmp read into a results dialog, and an empty report folder below the start folder.
struct ReadPcaResults {
    explicit ReadPcaResults(const char* folderName) : dlg(&owner), folder(f.folder.Path() + "/" + folderName) {
        testsupport::WriteBytes(f.Dados("mur.tmp"), kMurTmp);
        dlg.ReadResults(f.Dados("mur.tmp").c_str());
        std::filesystem::create_directory(folder);
    }
    AnalysisFixture f;
    PcaOwner owner;
    CPcaResultsDlg dlg;
    const std::string folder;
};

}  // namespace

// mur.tmp as read: counts from the owner, names one token; a short file or a missing one
// leaves nothing of an earlier read.
TEST(PcaResults, ReaderCountsShortAndMissingFiles) {
    AnalysisFixture f;
    PcaOwner owner;
    CPcaResultsDlg dlg(&owner);
    const std::string path = f.Dados("mur.tmp");
    testsupport::WriteBytes(path, kMurTmp);
    ScriptedUser user;
    dlg.ReadResults(path.c_str());
    ASSERT_EQ(dlg.GetColumnTable(0).GetRowCount(), 3);
    EXPECT_EQ(dlg.GetColumnTable(0).GetVariableName(2), "2");
    EXPECT_EQ(dlg.GetColumnTable(1).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetColumnTable(2).GetRowCount(), 3);   // the total is the active table
    EXPECT_DOUBLE_EQ(dlg.GetColumnTable(0).GetValue(2, 2), 0.8);
    EXPECT_EQ(dlg.GetRowTable(1).GetRowNameCopy(1), "C");
    EXPECT_EQ(dlg.GetRowTable(2).GetRowNameCopy(3), "C");
    EXPECT_DOUBLE_EQ(dlg.GetRowTable(2).GetValue(3, 1), 0.4);
    ASSERT_NE(dlg.GetScreePlot(), nullptr);
    EXPECT_EQ(dlg.GetScreePlot()->values, (std::vector<float>{1.8f, 1.2f}));

    // The options dialog was told: no supplementary columns, supplementary rows.
    user.OnDialog(IDD_PCA_HTML_OPTIONS, [](DialogDriver& d) {
        d.Click(IDC_HTML_SELECT_ALL);
        EXPECT_FALSE(d.IsEnabled(IDC_HTML_COLUMNS_SUPPLEMENTARY));
        EXPECT_EQ(d.Checked(IDC_HTML_COLUMNS_TOTAL), 0);
        EXPECT_EQ(d.Checked(IDC_HTML_ROWS_TOTAL), 1);
        d.Click(IDOK);   // "Sair": nothing is written
    });
    EXPECT_NE(dlg.GetHtmlOptions()->DoModal(), HTML_GENERATE_RESULT);

    // A short eigenvalue block and a record with one value short.
    for (const char* damaged : {"2\n1.8 60 60\n", "2\n1.8 60 60\n1.2 40 100\nX1 0.9\n"}) {
        testsupport::WriteBytes(path, damaged);
        user.OnMessageBox([](const CString& text, UINT) {
            EXPECT_EQ(text, kResultsShortMessage);
            return IDOK;
        });
        dlg.ReadResults(path.c_str());
        EXPECT_EQ(dlg.GetEigenvalueTable().GetRowCount(), 0);
        EXPECT_EQ(dlg.GetRowTable(2).GetRowCount(), 0);
        EXPECT_EQ(dlg.GetScreePlot(), nullptr);
    }
    // A value that is not finite, named by its line.
    std::string infinite = kMurTmp;
    infinite.replace(infinite.find("B -1.5 0.2"), 10, "B -inf 0.2");
    testsupport::WriteBytes(path, infinite);
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, FormatString("O ficheiro de Relatorio %s tem um valor que não é um número finito na linha 8: "
                                     "os resultados não são mostrados",
                                     path.c_str()));
        return IDOK;
    });
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetRowTable(2).GetRowCount(), 0);
    testsupport::WriteBytes(path, kMurTmp);
    dlg.ReadResults(path.c_str());
    std::filesystem::remove(path);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kResultsOpenError);
        return IDOK;
    });
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetColumnTable(0).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetScreePlot(), nullptr);
    EXPECT_TRUE(user.AllAnswered());
}

// "Gerar HTML" with the eigenvalue box alone: the head, section 1 and the closing tags; with
// "Sair" in the options nothing is written.
TEST(PcaResults, ReportWithTheEigenvaluesAlone) {
    ReadPcaResults r("so-valores");
    const std::string& folder = r.folder;
    ScriptedUser user;
    user.OnDialog(IDD_PCA_RESULTS, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_HTML);   // "Sair" in the options
        d.Click(IDC_RESULTS_HTML);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_PCA_HTML_OPTIONS, [](DialogDriver& d) {
        d.Click(IDC_HTML_EIGENVALUES);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_PCA_HTML_OPTIONS, [&](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_HTML_EIGENVALUES), 1);   // the ticks stay between showings
        d.Click(IDC_HTML_GENERATE);
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& d) {
        EXPECT_FALSE(std::filesystem::exists(folder + "/Relatorio.html"));
        d.Type(IDC_FOLDER_EDIT, folder.c_str());
        d.Click(IDC_FOLDER_OPEN);
    });
    user.OnDialog(IDD_HTML_NOTICE, [&](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_HTML_LINK), CString((folder + "/Relatorio.html").c_str()));
        d.Click(IDOK);
    });
    r.dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    const std::string page = testsupport::ReadBytes(folder + "/Relatorio.html");
    const std::string head =
        "<html> <head> <meta charset=\"windows-1252\"> <title> Relatório de Análise em Componentes Principais "
        "</title> </head>\n<body>\n <h1 align=\"center\"> Relatório de Análise em Componentes Principais </h1>\n "
        "<font size=\"4\"> <br /> <b> Ficheiro de Dados: </b> " +
        r.f.dataPath + " </font><hr>\n<h2 align=\"center\"> 1 - Valores Próprios e Percentagem de Explicação dos "
                     "Factores </h2>\n<table";
    // The table's own lines end in CR LF; the frame's in LF.
    std::string normalised = page;
    for (size_t at; (at = normalised.find("\r\n")) != std::string::npos;) normalised.replace(at, 2, 1, '\n');
    const std::string tail = "</table>\n<br />\n</body> </html>\n";
    EXPECT_EQ(normalised.substr(0, head.size()), head);
    ASSERT_GT(normalised.size(), tail.size());
    EXPECT_EQ(normalised.substr(normalised.size() - tail.size()), tail);
    EXPECT_EQ(page.find("<h2 align=\"center\"> 2"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder + "/ScreePlot.bmp"));
}

// The data file's path is escaped in the page like every name; the page and both images are
// put in place by renames, so links already in the folder are replaced, their targets kept.
TEST(PcaResults, ReportEscapesThePathAndReplacesLinks) {
    AnalysisFixture f;
    const std::string table = f.folder.File("<img src=x onerror=alert(1)>.tsm");
    testsupport::WriteBytes(table, kTableBytes);
    {
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(table.c_str()), nullptr);
    }
    PcaOwner owner;
    CPcaResultsDlg dlg(&owner);
    testsupport::WriteBytes(f.Dados("mur.tmp"), kMurTmp);
    dlg.ReadResults(f.Dados("mur.tmp").c_str());
    const std::string folder = f.folder.Path() + "/partilhada";
    std::filesystem::create_directory(folder);
    const char* names[] = {"Relatorio.html", "ScreePlot.bmp", "ScreePlot.emf"};
    for (const char* name : names) {
        testsupport::WriteBytes(f.folder.File(std::string("alvo-") + name), "intocado");
        std::filesystem::create_symlink(f.folder.File(std::string("alvo-") + name), folder + "/" + name);
    }
    ScriptedUser user;
    user.OnDialog(IDD_PCA_RESULTS, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_HTML);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_PCA_HTML_OPTIONS, [](DialogDriver& d) {
        d.Click(IDC_HTML_EIGENVALUES);
        d.Click(IDC_HTML_SCREE_PLOT);
        d.Click(IDC_HTML_GENERATE);
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& d) {
        d.Type(IDC_FOLDER_EDIT, folder.c_str());
        d.Click(IDC_FOLDER_OPEN);
    });
    user.OnDialog(IDD_HTML_NOTICE, [](DialogDriver& d) { d.Click(IDOK); });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());

    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(testsupport::ReadBytes(f.folder.File(std::string("alvo-") + name)) == "intocado");
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder + "/" + name)));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);
    EXPECT_TRUE(testsupport::ReadBytes(folder + "/ScreePlot.bmp").substr(0, 2) == "BM");
    EXPECT_TRUE(testsupport::ReadBytes(folder + "/ScreePlot.emf").substr(40, 4) == " EMF");
    const std::string page = testsupport::ReadBytes(folder + "/Relatorio.html");
    EXPECT_NE(page.find("<b> Ficheiro de Dados: </b> " + f.folder.Path() +
                        "/&lt;img src=x onerror=alert(1)&gt;.tsm </font>"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("<img src=x"), std::string::npos);
    EXPECT_NE(page.find("<img src=\"ScreePlot.bmp\">"), std::string::npos);
}

// An image that cannot be written (a full disk, a folder in the metafile's place) is named
// and no page is written: the folder keeps the earlier report, whose page and images agree.
// Once the images can be written, the report is written and its notice shown.
TEST(PcaResults, ReportRefusedWhenAnImageCannotBeWritten) {
    ReadPcaResults r("relatorio");
    const std::string& folder = r.folder;
    testsupport::WriteBytes(folder + "/Relatorio.html", "pagina anterior");
    testsupport::WriteBytes(folder + "/ScreePlot.bmp", "imagem anterior");
    struct Attempt {
        std::string failing;   // the image named in the message, or none
        long long diskLeft;    // bytes that may still be written, or -1 for no limit
    };
    for (const Attempt& a : {Attempt{"/ScreePlot.bmp", 1000}, Attempt{"/ScreePlot.emf", -1}, Attempt{"", -1}}) {
        SCOPED_TRACE(a.failing);
        if (a.failing == "/ScreePlot.emf") std::filesystem::create_directory(folder + a.failing);
        if (a.failing.empty()) std::filesystem::remove(folder + "/ScreePlot.emf");
        ScriptedUser user;
        user.OnDialog(IDD_PCA_RESULTS, [](DialogDriver& d) {
            d.Click(IDC_RESULTS_HTML);
            d.Click(IDOK);
        });
        user.OnDialog(IDD_PCA_HTML_OPTIONS, [](DialogDriver& d) {
            if (!d.Checked(IDC_HTML_SCREE_PLOT)) d.Click(IDC_HTML_SCREE_PLOT);
            d.Click(IDC_HTML_GENERATE);
        });
        user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& d) {
            d.Type(IDC_FOLDER_EDIT, folder.c_str());
            afx::FailFileWritesAfter(a.diskLeft);
            d.Click(IDC_FOLDER_OPEN);
        });
        if (!a.failing.empty()) {
            user.OnMessageBox([&](const CString& text, UINT type) {
                afx::FailFileWritesAfter(-1);
                EXPECT_EQ(text, FormatString("Erro a gravar a imagem %s%s do Relatorio em HTML", folder.c_str(),
                                             a.failing.c_str()));
                EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
                return IDOK;
            });
        } else {
            user.OnDialog(IDD_HTML_NOTICE, [](DialogDriver& d) { d.Click(IDOK); });
        }
        r.dlg.DoModal();
        afx::FailFileWritesAfter(-1);
        EXPECT_TRUE(user.AllAnswered());
        const std::string page = testsupport::ReadBytes(folder + "/Relatorio.html");
        const std::string image = testsupport::ReadBytes(folder + "/ScreePlot.bmp");
        if (a.failing == "/ScreePlot.bmp") {
            EXPECT_EQ(page, "pagina anterior");
            EXPECT_EQ(image, "imagem anterior");
        } else if (a.failing == "/ScreePlot.emf") {
            EXPECT_EQ(page, "pagina anterior");
        } else {
            EXPECT_NE(page.find("<img src=\"ScreePlot.bmp\">"), std::string::npos);
            EXPECT_EQ(image.substr(0, 2), "BM");
            EXPECT_EQ(testsupport::ReadBytes(folder + "/ScreePlot.emf").substr(40, 4), " EMF");
        }
    }
    // Nothing half-written is left beside the names.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);
}
