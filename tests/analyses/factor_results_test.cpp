// The factorial results dialogs driven as a user drives them: binary correspondence from its
// menu command with the real kelo, checked against a correspondence analysis computed here;
// the HTML report; and the readers' handling of missing and short results files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "analyses/corresp_report_dlg.h"
#include "analyses/coordinates_dlg.h"
#include "analyses/html_report.h"
#include "analyses/pca_results_dlg.h"
#include "analyses/rows_columns_chart.h"
#include "analyses/runners.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/special_pages.h"
#include "platform/ui/shell.h"
#include "platform/ui/text_viewer.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"
#include "tests/analyses/factor_math.h"
#include "ui/folder_dialog.h"

using namespace analysis_test;

namespace {

constexpr UINT kDataDefinition = 150;

std::string Picture(const char* name) { return testsupport::PictureFolder() + "/" + name; }

std::vector<double> Cells(const CString& row) {
    std::vector<double> out;
    std::string text(static_cast<const char*>(row));
    std::istringstream in(text);
    std::string cell;
    std::getline(in, cell, '\t');   // the row name
    while (std::getline(in, cell, '\t')) out.push_back(std::atof(cell.c_str()));
    return out;
}

// Correspondence analysis of the fixture's 3 x 3 table (Altura, Sexo, Zona by S1..S3):
// eigenvalues, column masses, squared distances to the centroid and principal coordinates.
struct Correspondence {
    std::vector<double> lambda, mass, d2;
    std::vector<std::vector<double>> coordinate;   // [column][factor]
    double inertia = 0;

    Correspondence() {
        const double t[3][3] = {{1.5, 1, 2}, {1.7, 2, 1}, {1.65, 2, 2}};
        double n = 0, r[3] = {0, 0, 0}, c[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) n += t[i][j], r[i] += t[i][j], c[j] += t[i][j];
        for (int i = 0; i < 3; ++i) r[i] /= n;
        for (int j = 0; j < 3; ++j) c[j] /= n;
        std::vector<std::vector<double>> s(3, std::vector<double>(3)), sts(3, std::vector<double>(3, 0.0));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s[i][j] = (t[i][j] / n - r[i] * c[j]) / std::sqrt(r[i] * c[j]);
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                for (int i = 0; i < 3; ++i) sts[a][b] += s[i][a] * s[i][b];
        std::vector<std::vector<double>> v;
        factor_math::Jacobi(sts, lambda, v);
        for (int j = 0; j < 3; ++j) {
            mass.push_back(c[j]);
            double d = 0;
            for (int i = 0; i < 3; ++i) d += std::pow(t[i][j] / n / c[j] - r[i], 2) / r[i];
            d2.push_back(d);
            coordinate.push_back({});
            for (int k = 0; k < 2; ++k) coordinate.back().push_back(v[j][k] * std::sqrt(lambda[k]) / std::sqrt(c[j]));
        }
        inertia = lambda[0] + lambda[1] + lambda[2];
    }
};

void AnswerMessages(ScriptedUser& user, std::vector<CString>& messages, int count) {
    for (int i = 0; i < count; ++i)
        user.OnMessageBox([&messages](const CString& text, UINT) {
            messages.push_back(text);
            return IDOK;
        });
}

}  // namespace

// Binary correspondence from its menu command: the selection, "Executar", kelo, then every
// button of the results dialog. Numbers are checked against the analysis computed above.
TEST(CorrespReport, WholeCommandFromTheMenuWithKelo) {
    AnalysisFixture f;
    std::filesystem::create_symlink(KELO_ENGINE, f.Dados("kelo.exe"));
    const Correspondence ca;
    std::vector<CString> opened;
    afx::LinkOpener previous = afx::SetLinkOpener([&opened](const CString& target) {
        opened.push_back(target);
        return afx::OpenOutcome{afx::OpenOutcome::Exited, 0};
    });
    const std::string reportFolder = f.folder.Path() + "/relatorio";
    std::filesystem::create_directory(reportFolder);

    ScriptedUser user;
    std::vector<CString> messages;
    user.OnDialog(kSelection, [](DialogDriver& d) {
        d.Tick(kVariableList, 0);   // Altura
        d.Tick(kVariableList, 1);   // Sexo
        d.Tick(kVariableList, 3);   // Zona
        d.Click(kNext);
    });
    AnswerMessages(user, messages, 1);   // the factor count lowered to 2
    user.OnDialog(kDataDefinition, [](DialogDriver& d) { d.Click(kExecute); });

    std::vector<CString> eigenDump, columnDump, absoluteDump, relativeDump;
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Relatório");
        EXPECT_EQ(d.Text(IDC_RESULTS_FACTOR_COUNT), "2");
        d.SavePng(Picture("corresp_report.png").c_str());
        d.Click(IDC_RESULTS_EIGENVALUES);
        d.Click(IDC_RESULTS_COLUMN_COORDINATES);
        d.Click(IDC_REPORT_ABSOLUTE_COLUMNS);
        d.Click(IDC_REPORT_RELATIVE_COLUMNS);
        d.Click(IDC_RESULTS_SCREE_PLOT);
        d.Click(IDC_RESULTS_COLUMN_PLANE);
        d.Click(IDC_RESULTS_ROW_COLUMN_PLANE);
        d.Click(IDC_RESULTS_HTML);
        // 0 factors: the range message, and "Sair" keeps the dialog open until mended.
        d.Type(IDC_RESULTS_FACTOR_COUNT, "0");
        d.Focus(IDC_RESULTS_EIGENVALUES);
        d.Click(IDOK);
        d.Type(IDC_RESULTS_FACTOR_COUNT, "2");
        d.Click(IDOK);
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Valores Proprios");
        eigenDump = d.Dump(IDC_MATRIX_LIST);
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Coordenadas das Colunas");
        columnDump = d.Dump(IDC_COORDINATES_LIST);
        d.SavePng(Picture("corresp_coordinates.png").c_str());
        d.Click(IDOK);
    });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Contribuições Absolutas das Colunas");
        absoluteDump = d.Dump(IDC_COORDINATES_LIST);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        relativeDump = d.Dump(IDC_COORDINATES_LIST);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_SINGLE_CHART, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "ScreePlot");
        d.SavePng(Picture("scree_plot.png").c_str());
        d.Click(IDOK);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Colunas)");
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), std::vector<CString>{"F1/F2"});
        d.SavePng(Picture("column_plane.png").c_str());
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CHART_WINDOW, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Linhas + Colunas)");
        d.SavePng(Picture("rows_columns_plane.png").c_str());
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CORRESP_HTML_OPTIONS, [&](DialogDriver& d) {
        // No supplementary points: their boxes stay off even after "Selecionar Todos".
        d.Click(IDC_HTML_SELECT_ALL);
        EXPECT_EQ(d.Checked(IDC_HTML_EIGENVALUES), 1);
        EXPECT_EQ(d.Checked(IDC_HTML_COLUMNS_SUPPLEMENTARY), 0);
        EXPECT_FALSE(d.IsEnabled(IDC_HTML_ROWS_TOTAL));
        EXPECT_EQ(d.Checked(1176), 0);
        d.SavePng(Picture("corresp_html_options.png").c_str());
        d.Click(IDC_HTML_GENERATE);
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& d) {
        d.Type(IDC_FOLDER_EDIT, reportFolder.c_str());
        d.Click(IDC_FOLDER_OPEN);
    });
    user.OnDialog(IDD_HTML_NOTICE, [](DialogDriver& d) {
        d.SavePng(Picture("html_notice.png").c_str());
        d.Click(IDC_HTML_LINK);
        d.Click(IDOK);
    });
    AnswerMessages(user, messages, 2);   // the range message, on leaving the edit and again on "Sair"

    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ANALYSIS_BINARY, 0), 0);
    afx::SetLinkOpener(previous);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1], "O número de factores tem de estar no intervalo de 1 a 2");
    EXPECT_EQ(messages[2], messages[1]);

    // Eigenvalues, percentages and cumulated percentages.
    ASSERT_EQ(eigenDump.size(), 3u);
    EXPECT_EQ(eigenDump[0], "\tValor Proprio\t% Exp\t% Acum");
    double cumulative = 0;
    for (size_t k = 0; k < 2; ++k) {
        std::vector<double> cells = Cells(eigenDump[k + 1]);
        ASSERT_EQ(cells.size(), 3u);
        cumulative += 100 * ca.lambda[k] / ca.inertia;
        EXPECT_NEAR(cells[0], ca.lambda[k], 1e-4);
        EXPECT_NEAR(cells[1], 100 * ca.lambda[k] / ca.inertia, 1e-2);
        EXPECT_NEAR(cells[2], cumulative, 1e-2);
    }
    // Columns: mass, squared distance to the centroid, coordinates (up to the axis' sign).
    ASSERT_EQ(columnDump.size(), 4u);
    EXPECT_EQ(columnDump[0], "\tMassa\tDist. Origem\t1\t2");
    for (size_t j = 0; j < 3; ++j) {
        std::vector<double> cells = Cells(columnDump[j + 1]);
        ASSERT_EQ(cells.size(), 4u);
        EXPECT_NEAR(cells[0], ca.mass[j], 1e-3);
        EXPECT_NEAR(cells[1], ca.d2[j], 1e-3);
        for (size_t k = 0; k < 2; ++k) EXPECT_NEAR(std::fabs(cells[2 + k]), std::fabs(ca.coordinate[j][k]), 1e-3);
    }
    // Absolute contributions of the active columns make up 100 on each axis; relative
    // contributions are c^2/d2 and add up to 1 over both axes of a 3 x 3 table.
    ASSERT_EQ(absoluteDump.size(), 4u);
    ASSERT_EQ(relativeDump.size(), 4u);
    double sum[2] = {0, 0};
    for (size_t j = 0; j < 3; ++j) {
        std::vector<double> a = Cells(absoluteDump[j + 1]), r = Cells(relativeDump[j + 1]);
        ASSERT_EQ(a.size(), 2u);
        for (size_t k = 0; k < 2; ++k) {
            sum[k] += a[k];
            const double c = ca.coordinate[j][k];
            EXPECT_NEAR(a[k], 100 * ca.mass[j] * c * c / ca.lambda[k], 0.05);
        }
        EXPECT_NEAR(r[0] + r[1], 1.0, 2e-3);
    }
    EXPECT_NEAR(sum[0], 100, 0.1);
    EXPECT_NEAR(sum[1], 100, 0.1);

    // The report: its sections inside the body, the scree plot image beside it, and the
    // link handed to the opener.
    const std::string page = testsupport::ReadBytes(reportFolder + "/Relatorio.html");
    EXPECT_NE(page.find("<meta charset=\"windows-1252\">"), std::string::npos);
    EXPECT_NE(page.find("<title> Relatório de Análise em Componentes Binários </title>"), std::string::npos);
    const size_t body = page.find("<body>"), end = page.find("</body> </html>");
    ASSERT_NE(body, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const char* const sections[] = {
        "<h2 align=\"center\"> 1 - Valores Próprios e Percentagem de Explicação dos Factores </h2>",
        "<h2 align=\"center\"> 2 - ScreePlot </h2>",
        "<p align=\"center\"><img src=\"ScreePlot.bmp\"></p>",
        "<h2 align=\"center\"> 3 - Coordenadas das Colunas </h2><h3> 3.1 - Coordenadas das Colunas Activas </h3>",
        "<h2 align=\"center\"> 4 - Coordenadas das Linhas </h2><h3> 4.1 - Coordenadas das Linhas Activas </h3>",
        "<h2 align=\"center\"> 5 - Contribuições Absolutas das Colunas </h2>",
        "<h2 align=\"center\"> 6 - Contribuições Absolutas das Linhas </h2>",
        "<h2 align=\"center\"> 7 - Contribuições Relativas das Colunas </h2>",
        "<h2 align=\"center\"> 8 - Contribuições Relativas das Linhas </h2><h3> 8.1 - Contribuições Relativas das "
        "Linhas Activas </h3>"};
    size_t at = body;
    for (const char* s : sections) {
        const size_t found = page.find(s, at);
        EXPECT_TRUE(found != std::string::npos && found < end) << s;
        if (found != std::string::npos) at = found;
    }
    EXPECT_EQ(page.find("Suplementares"), std::string::npos);
    EXPECT_LE(page.size(), end + std::string("</body> </html>\r\n").size());   // nothing after the closing tags
    EXPECT_GT(std::filesystem::file_size(reportFolder + "/ScreePlot.bmp"), 450u * 300u);
    const std::string emf = testsupport::ReadBytes(reportFolder + "/ScreePlot.emf");
    ASSERT_GT(emf.size(), 40u);
    EXPECT_EQ(emf.substr(0, 4), std::string("\x01\0\0\0", 4));   // EMR_HEADER
    // Its frame (0.01 mm) is the 450 x 300 pixels at the screen's resolution.
    auto field = [&emf](size_t at) {
        return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned char>(emf[at])) |
                                    static_cast<uint32_t>(static_cast<unsigned char>(emf[at + 1])) << 8 |
                                    static_cast<uint32_t>(static_cast<unsigned char>(emf[at + 2])) << 16 |
                                    static_cast<uint32_t>(static_cast<unsigned char>(emf[at + 3])) << 24);
    };
    CClientDC screen(nullptr);
    EXPECT_EQ(field(24 + 8), 450 * 2540 / screen.GetDeviceCaps(LOGPIXELSX));
    EXPECT_EQ(field(24 + 12), 300 * 2540 / screen.GetDeviceCaps(LOGPIXELSY));
    // Its description is "Teste" and nothing after it.
    ASSERT_EQ(field(60), 6);
    EXPECT_EQ(emf.substr(88, 12), std::string("T\0e\0s\0t\0e\0\0\0", 12));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CString((reportFolder + "/Relatorio.html").c_str()));
}

namespace {

// A report dialog whose owner answers fixed counts: 2 active and 1 supplementary column,
// 3 active rows, no supplementary row, 2 factors.
class FixedCountsDlg : public TestAnalysisDlg {
public:
    int GetFactorCount() override { return factors; }
    int GetActiveColumnCount() override { return 2; }
    int GetSupplementaryColumnCount() override { return 1; }
    int GetActiveRowCount() override { return 3; }
    int GetSupplementaryRowCount() override { return 0; }
    int factors = 2;
};

const char kKeloTmp[] =
    "0.5\n0.30000 60.0 60.0\n0.20000 40.0 100.0\n"
    // rows first: 3 active rows < 2 active columns is false, so columns come first
    "A 0.50000 0.20000 0.30000 -0.10000\nB 0.50000 0.00000 0.00000 0.00000\nS 0.10000 0.40000 0.20000 0.20000\n"
    "r1 0.40000 0.10000 0.10000 0.20000\nr2 0.30000 0.20000 -0.20000 0.10000\nr3 0.30000 0.30000 0.00000 -0.30000\n";

}  // namespace

// The reader: counts from the owner, blocks in kelo's order, contributions with their guards,
// and neither a missing nor a short file leaves an earlier run's results behind.
TEST(CorrespReport, ReadingContributionsAndFailedReads) {
    AnalysisFixture f;
    FixedCountsDlg owner;
    CCorrespReportDlg dlg(&owner);
    const std::string path = f.Dados("kelo.tmp");
    testsupport::WriteBytes(path, kKeloTmp);
    ScriptedUser user;
    dlg.ReadResults(path.c_str());
    ASSERT_EQ(dlg.GetEigenvalueTable().GetRowCount(), 2);
    EXPECT_DOUBLE_EQ(dlg.GetEigenvalueTable().GetValue(2, 3), 100.0);
    ASSERT_EQ(dlg.GetColumnTable(0).GetRowCount(), 2);
    ASSERT_EQ(dlg.GetColumnTable(1).GetRowCount(), 1);
    ASSERT_EQ(dlg.GetColumnTable(2).GetRowCount(), 3);
    EXPECT_EQ(dlg.GetColumnTable(2).GetRowNameCopy(3), "S");
    EXPECT_EQ(dlg.GetRowTable(0).GetRowNameCopy(3), "r3");
    EXPECT_EQ(dlg.GetRowTable(1).GetRowCount(), 0);
    ASSERT_NE(dlg.GetScreePlot(), nullptr);
    // A: 0.3^2 * 0.5 * 100 / 0.3 = 15; relative 0.09 / 0.2 = 0.45. B: distance 0 gives 0.
    EXPECT_NEAR(dlg.GetContributionTable(0, 0).GetValue(1, 1), 15.0, 1e-9);
    EXPECT_NEAR(dlg.GetContributionTable(2, 0).GetValue(1, 1), 0.45, 1e-9);
    EXPECT_EQ(dlg.GetContributionTable(2, 0).GetValue(2, 1), 0.0);
    // The supplementary column: 0.2^2 * 0.1 * 100 / 0.2 = 2.
    EXPECT_NEAR(dlg.GetContributionTable(0, 1).GetValue(1, 2), 2.0, 1e-9);
    EXPECT_NEAR(dlg.GetContributionTable(0, 2).GetValue(3, 2), 2.0, 1e-9);

    // An eigenvalue of 0 gives absolute contributions of 0, not a division by zero.
    std::string zero = kKeloTmp;
    zero.replace(zero.find("0.20000 40.0"), 12, "0.00000 40.0");
    testsupport::WriteBytes(path, zero);
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetContributionTable(0, 0).GetValue(1, 2), 0.0);
    EXPECT_TRUE(std::isfinite(dlg.GetContributionTable(1, 0).GetValue(1, 2)));

    // A file one line short: a message and nothing shown.
    std::string shortFile = kKeloTmp;
    shortFile.erase(shortFile.rfind("r3"));
    testsupport::WriteBytes(path, shortFile);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kResultsShortMessage);
        return IDOK;
    });
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetEigenvalueTable().GetRowCount(), 0);
    EXPECT_EQ(dlg.GetColumnTable(2).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetContributionTable(3, 2).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetScreePlot(), nullptr);

    // A line with too few fields is short too.
    std::string fewFields = kKeloTmp;
    fewFields.replace(fewFields.find("r2 0.30000 0.20000 -0.20000 0.10000"), 35, "r2 0.30000 0.20000 -0.20000");
    testsupport::WriteBytes(path, fewFields);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kResultsShortMessage);
        return IDOK;
    });
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetRowTable(0).GetRowCount(), 0);

    // "nan", "inf" or a number beyond the double range, and a field that is not a number as a
    // whole (neither 0 nor its leading digits): refused, naming the file and line.
    const char* const nonFinite = "O ficheiro de Relatorio %s tem um valor que não é um número finito na linha %d: "
                                  "os resultados não são mostrados";
    const char* const unreadable =
        "O ficheiro de Relatorio %s tem um valor ilegível na linha %d: os resultados não são mostrados";
    struct Refused {
        const char* good;
        const char* bad;
        int line;
        const char* message;
    };
    for (const Refused& c : {Refused{"0.30000 60.0 60.0", "nan 60.0 60.0", 2, nonFinite},
                             Refused{"S 0.10000 0.40000 0.20000 0.20000", "S 0.10000 0.40000 inf 0.20000", 6, nonFinite},
                             Refused{"r3 0.30000 0.30000 0.00000 -0.30000", "r3 0.3 0.3 0 -1e999", 9, nonFinite},
                             Refused{"0.5\n", "O.5\n", 1, unreadable}, Refused{"0.30000 60.0", "O.14286 60.0", 2, unreadable},
                             Refused{"r1 0.40000 0.10000", "r1 1.O4167 0.10000", 7, unreadable},
                             Refused{"r2 0.30000 0.20000", "r2 0x1p-2 0.20000", 8, unreadable},
                             Refused{"r3 0.30000 0.30000", "r3 0.30000 0,3", 9, unreadable}}) {
        std::string bad = kKeloTmp;
        bad.replace(bad.find(c.good), std::strlen(c.good), c.bad);
        testsupport::WriteBytes(path, bad);
        user.OnMessageBox([&](const CString& text, UINT) {
            EXPECT_EQ(text, FormatString(c.message, path.c_str(), c.line));
            return IDOK;
        });
        dlg.ReadResults(path.c_str());
        EXPECT_EQ(dlg.GetEigenvalueTable().GetRowCount(), 0) << c.bad;
        EXPECT_EQ(dlg.GetColumnTable(2).GetRowCount(), 0) << c.bad;
    }
    // Numbers in every decimal form are read: exponents, a plus sign, an underflow to 0.
    std::string forms = kKeloTmp;
    forms.replace(forms.find("A 0.50000 0.20000 0.30000"), 25, "A 5E-1 +0.2 3.0e-1");
    forms.replace(forms.find("-0.30000"), 8, "-1e-400");
    testsupport::WriteBytes(path, forms);
    dlg.ReadResults(path.c_str());
    ASSERT_EQ(dlg.GetColumnTable(0).GetRowCount(), 2);
    EXPECT_DOUBLE_EQ(dlg.GetColumnTable(0).GetValue(1, 1), 0.5);
    EXPECT_DOUBLE_EQ(dlg.GetColumnTable(0).GetValue(1, 2), 0.2);
    EXPECT_DOUBLE_EQ(dlg.GetColumnTable(0).GetValue(1, 3), 0.3);
    EXPECT_EQ(dlg.GetRowTable(0).GetValue(3, 4), 0.0);

    // A good read, then a missing file: the tables and the scree plot are emptied.
    testsupport::WriteBytes(path, kKeloTmp);
    dlg.ReadResults(path.c_str());
    ASSERT_EQ(dlg.GetColumnTable(0).GetRowCount(), 2);
    std::filesystem::remove(path);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a Abrir o ficheiro de Relatorio");
        return IDOK;
    });
    dlg.ReadResults(path.c_str());
    EXPECT_EQ(dlg.GetColumnTable(0).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetEigenvalueTable().GetRowCount(), 0);
    EXPECT_EQ(dlg.GetContributionTable(0, 0).GetRowCount(), 0);
    EXPECT_EQ(dlg.GetScreePlot(), nullptr);
    EXPECT_TRUE(user.AllAnswered());
}

// With 3 active rows and 5 active columns kelo writes the rows block first.
TEST(CorrespReport, RowsBlockFirstWhenRowsAreFewer) {
    AnalysisFixture f;
    class Owner : public TestAnalysisDlg {
    public:
        int GetFactorCount() override { return 1; }
        int GetActiveColumnCount() override { return 5; }
        int GetSupplementaryColumnCount() override { return 0; }
        int GetActiveRowCount() override { return 3; }
        int GetSupplementaryRowCount() override { return 0; }
    } owner;
    CCorrespReportDlg dlg(&owner);
    std::string text = "1\n0.1 100 100\n";
    for (int i = 1; i <= 3; ++i) text += 'r' + std::to_string(i) + " 0.3 0.1 0.2\n";
    for (int j = 1; j <= 5; ++j) text += 'c' + std::to_string(j) + " 0.2 0.1 0.2\n";
    testsupport::WriteBytes(f.Dados("kelo.tmp"), text);
    dlg.ReadResults(f.Dados("kelo.tmp").c_str());
    ASSERT_EQ(dlg.GetRowTable(0).GetRowCount(), 3);
    ASSERT_EQ(dlg.GetColumnTable(0).GetRowCount(), 5);
    EXPECT_EQ(dlg.GetRowTable(0).GetRowNameCopy(1), "r1");
    EXPECT_EQ(dlg.GetColumnTable(0).GetRowNameCopy(5), "c5");
}

// Planes: one page per factor pair in order, rebuilt when the factor count changes; fewer
// than 2 factors give the message; the rows-and-columns legend shows the colours drawn.
TEST(CorrespReport, PlanesFollowTheFactorCount) {
    AnalysisFixture f;
    FixedCountsDlg owner;
    owner.factors = 3;
    CCorrespReportDlg dlg(&owner);
    std::string text = "0.6\n0.3 50 50\n0.2 33.3 83.3\n0.1 16.7 100\n";
    const char* names[] = {"A", "B", "S", "r1", "r2", "r3"};
    for (const char* n : names) text += std::string(n) + " 0.2 0.3 0.1 -0.2 0.3\n";
    testsupport::WriteBytes(f.Dados("kelo.tmp"), text);
    dlg.ReadResults(f.Dados("kelo.tmp").c_str());
    ScriptedUser user;
    std::vector<CString> pages;
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        d.Click(IDC_RESULTS_COLUMN_PLANE);
        d.Type(IDC_RESULTS_FACTOR_COUNT, "2");
        d.Focus(IDC_RESULTS_EIGENVALUES);
        d.Click(IDC_RESULTS_COLUMN_PLANE);
        d.Click(IDC_RESULTS_ROW_PLANE);
        d.Click(IDOK);
    });
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), (std::vector<CString>{"F1/F2", "F1/F3", "F2/F3"}));
        d.Click(IDCANCEL);
    });
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_PAGE_LIST), std::vector<CString>{"F1/F2"});
        d.Click(IDCANCEL);
    });
    // The table has qualitative variables: the row planes ask for a conditioning first.
    user.OnDialog(188, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnDialog(IDD_CHART_WINDOW, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Plano Factorial (Linhas)");
        d.SavePng(Picture("row_plane.png").c_str());
        d.Click(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(dlg.GetColumnPlanes(2).empty());   // released on closing

    owner.factors = 1;
    user.OnDialog(IDD_CORRESP_REPORT, [&](DialogDriver& d) {
        d.Click(IDC_RESULTS_ROW_COLUMN_PLANE);
        d.Click(IDOK);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kFewFactorsMessage);
        return IDOK;
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());

    // The combined plane: columns first in blue, rows after them in red, and the legend's
    // marks in the same colours.
    CPointSeries columns({0.1f, 0.2f}, {0.1f, -0.1f}, {"A", "B"}, {});
    CPointSeries rows({-0.1f}, {0.3f}, {"r1"}, {});
    CFactorialPlaneRowsColumnsChart chart(columns, "F1", "F2", "F1/F2", rows);
    EXPECT_EQ(chart.GetColumnPointCount(), 2);
    CClientDC screen(nullptr);
    CDC memory;
    CBitmap bitmap;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 450, 300));
    CBitmap* old = memory.SelectObject(&bitmap);
    chart.Draw(&memory, 0, 0, 450, 300);
    ASSERT_EQ(chart.GetMarkerCount(), 3u);
    EXPECT_EQ(chart.GetMarker(0)->colour, CFactorialPlaneRowsColumnsChart::kColumnColour);
    EXPECT_EQ(chart.GetMarker(2)->colour, CFactorialPlaneRowsColumnsChart::kRowColour);
    ASSERT_NE(chart.GetLegend(), nullptr);
    chart.GetLegend()->BuildEntries(&memory);
    EXPECT_EQ(chart.GetLegend()->GetEntryNames(), (std::vector<CString>{"Colunas", "Linhas"}));
    std::vector<COLORREF> marks;
    for (size_t i = 0; i < chart.GetLegend()->GetEntryCount(); ++i)
        if (auto* shape = dynamic_cast<CChartShape*>(chart.GetLegend()->GetEntry(i))) marks.push_back(shape->colour);
    EXPECT_EQ(marks, (std::vector<COLORREF>{CFactorialPlaneRowsColumnsChart::kColumnColour,
                                            CFactorialPlaneRowsColumnsChart::kRowColour}));
    memory.SelectObject(old);
}

// "Sair" closes even when no factor can be asked for; the scree plot of an empty result is a
// message, not an empty page.
TEST(CorrespReport, ExitAndScreePlotWithoutResults) {
    AnalysisFixture f;
    FixedCountsDlg owner;
    owner.factors = 0;
    CCorrespReportDlg dlg(&owner);
    ScriptedUser user;
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, kResultsOpenError);
        return IDOK;
    });
    dlg.ReadResults(f.Dados("missing.tmp").c_str());
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_SCREE_PLOT);
        d.Click(IDC_RESULTS_EIGENVALUES);
        d.Click(IDOK);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Não há resultados para mostrar");
        return IDOK;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Não há resultados para mostrar");
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());

    // Two factors but nothing read: the planes are a message, not an empty chart window.
    owner.factors = 2;
    user.OnDialog(IDD_CORRESP_REPORT, [](DialogDriver& d) {
        d.Click(IDC_RESULTS_COLUMN_PLANE);
        d.Click(IDC_RESULTS_ROW_COLUMN_PLANE);
        d.Click(IDOK);
    });
    for (int i = 0; i < 2; ++i)
        user.OnMessageBox([](const CString& text, UINT) {
            EXPECT_EQ(text, "Não há resultados para mostrar");
            return IDOK;
        });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
}
