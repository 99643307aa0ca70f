// The descriptive-statistics command driven from its menu item by the scripted user, its
// numbers checked against an independent computation of the same definitions, copy, print
// and the statistics menu's states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/gdi/recording_dc.h"
#include "res/resource_ids.h"
#include "stats/descriptive_stats.h"
#include "tests/support/gui_test.h"
#include "ui/dialog_bases.h"

using testsupport::TempFolder;

namespace {

constexpr double kCode = -9.9;
constexpr double X = kCode;  // an absent cell

struct Column {
    const char* name;
    int type;  // as written in the file
    std::vector<double> cells;
};

// Ten rows. Missing values, negatives, a qualitative variable, values near 1e6 with a small
// spread, and the variables whose statistics are partly undefined.
const std::vector<Column>& Columns() {
    static const std::vector<Column> columns = {
        {"Peso", 1, {2.5, X, -1.25, 3, 7.75, X, 3, 0.5, 12, -4}},
        {"Cor", 0, {1, 2, 2, 3, X, 3, 1, 2, 3, 1}},
        {"Grande", 1, {1000000.125, 1000000.25, 1000000.5, 999999.875, 1000000.125, 1000000.0, 1000000.375,
                       999999.75, 1000000.25, 1000000.625}},
        {"Fixo", 1, {5, X, 5, 5.00000001, X, X, X, 5, X, X}},  // one float, two doubles
        {"Dois", 1, {X, 1.5, X, X, X, X, X, X, 4, X}},
        {"Um", 1, {X, X, X, -3.25, X, X, X, X, X, X}},
        {"Nada", 1, {X, X, X, X, X, X, X, X, X, X}},
        {"Centro", 1, {-3, 1, 2, -1, 1, 0, X, X, X, X}},
        {"Tipo2", 2, {0.1, 0.2, 0.7, 0.4, 0.3, X, 1.9, 2.6, -0.8, 0.05}},
        // Distinct cells that single precision cannot tell apart: the variance stays.
        {"Enorme", 1, {10000000.1, X, 10000000.2, X, 10000000.3, X, X, X, X, X}},
    };
    return columns;
}

std::string DataFile() {
    std::string s = std::string("#Tesmo v7.00#\r\n-9.900000\r\n") + std::to_string(Columns().size()) + "\r\n";
    for (const Column& c : Columns()) s += std::string(c.name) + "\r\n" + std::to_string(c.type) + "\r\n" + (c.type == 0 ? "0\r\n" : "");
    for (size_t r = 0; r < 10; ++r) {
        s += 'r' + std::to_string(r + 1);
        for (const Column& c : Columns()) {
            char cell[64];
            snprintf(cell, sizeof cell, " %.10g", c.cells[r]);
            s += cell;
        }
        s += "\r\n";
    }
    return s;
}

CString Fixed(double v) {
    char b[64];
    snprintf(b, sizeof b, "%.4f", v);
    return b;
}

// The sixteen texts of one variable, straight from the definitions: quantities the table
// shows as single precision are narrowed to float, the rest is double.
std::vector<CString> Independent(const Column& c) {
    std::vector<double> x;
    for (double v : c.cells)
        if (std::fabs(static_cast<double>(static_cast<float>(v)) - static_cast<double>(static_cast<float>(kCode))) >= 1e-6)
            x.push_back(v);
    const size_t n = x.size();
    std::vector<CString> row(16, "N/A");
    row[0] = c.name;
    row[1] = FormatString("%d", static_cast<int>(n));
    if (n == 0) return row;
    std::vector<float> y;
    for (double v : x) y.push_back(static_cast<float>(v));
    std::sort(y.begin(), y.end());
    if (c.type == 0) {
        std::map<float, int> counts;
        for (float v : y) ++counts[v];
        float mode = y[0];
        int best = 0;
        for (auto [v, k] : counts)
            if (k > best) best = k, mode = v;
        row[3] = Fixed(mode);
        return row;
    }
    auto at = [&](size_t k) { return static_cast<double>(y[k - 1]); };  // 1-based
    double median = n % 2 ? at((n + 1) / 2) : (at(n / 2) + at(n / 2 + 1)) / 2;
    double q1 = n % 4 == 0 ? (at(n / 4) + at(n / 4 + 1)) / 2 : at(n / 4 + 1);
    double q3 = n % 4 == 0 ? (at(3 * n / 4) + at(3 * n / 4 + 1)) / 2 : at(3 * n / 4 + 1);
    float fmedian = static_cast<float>(median), fq1 = static_cast<float>(q1), fq3 = static_cast<float>(q3);
    double mean = 0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(n);
    float fmean = static_cast<float>(mean);
    row[2] = Fixed(fmean);
    row[4] = Fixed(fmedian);
    row[5] = Fixed(y.front());
    row[6] = Fixed(fq1);
    row[7] = Fixed(fq3);
    row[8] = Fixed(y.back());
    row[12] = Fixed(static_cast<double>(y.back()) - static_cast<double>(y.front()));
    double iqr = static_cast<double>(fq3) - static_cast<double>(fq1);
    row[13] = Fixed(iqr);
    if (iqr != 0) row[15] = Fixed((static_cast<double>(fmean) - static_cast<double>(fmedian)) / iqr);
    if (n < 2) return row;
    double ss = 0;
    for (double v : x) ss += (v - mean) * (v - mean);
    double variance = ss / static_cast<double>(n - 1);
    double s = std::sqrt(variance);
    row[9] = Fixed(variance);
    row[10] = Fixed(s);
    if (fmean != 0) row[11] = Fixed(s / static_cast<double>(fmean));
    if (n >= 3 && s != 0 && y.front() != y.back()) {
        double sum = 0, dn = static_cast<double>(n);
        for (float v : y) sum += std::pow((static_cast<double>(v) - mean) / s, 3);
        row[14] = Fixed(dn / ((dn - 1) * (dn - 2)) * sum);
    }
    return row;
}

std::vector<CString> ListRow(DialogDriver& d, int item) {
    auto* list = static_cast<CListCtrl*>(d.Dialog().GetDlgItem(1078));
    std::vector<CString> row;
    for (int c = 0; c < list->GetColumnCount(); ++c) row.push_back(list->GetItemText(item, c));
    return row;
}

int ListCount(DialogDriver& d) { return static_cast<CListCtrl*>(d.Dialog().GetDlgItem(1078))->GetItemCount(); }

CString HeadingLine() {
    return "Identificador\tn\tMédia\tModa\tMediana\tMínimo\t1º Quartil\t3º Quartil\tMáximo\tVariância\t"
           "Desvio Padrão\tCoef. Variação\tAmplitude\tInt. Interquartil\tCoef. Assimetria\tS'";
}

class DescriptiveCommand : public testing::Test {
protected:
    void SetUp() override {
        frame = testsupport::StartTabulon();
        testsupport::WriteBytes(dir.File("amostra.tsm"), DataFile());
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("amostra.tsm").c_str()), nullptr);
        ASSERT_TRUE(testsupport::Document()->HasData());
    }
    void Run() { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_STATS_DESCRIPTIVE, 0), 0); }

    CMainFrame* frame = nullptr;
    TempFolder dir;
};

TEST_F(DescriptiveCommand, EveryPrintedDigitAgreesWithTheDefinitionsAndAnteriorRebuildsTheTable) {
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para histogramas");
        EXPECT_FALSE(d.IsVisible(1155));
        EXPECT_FALSE(d.IsEnabled(1156));
        d.Click(1139);  // "Todas"
        d.Click(1191);
    });
    user.OnDialog(171, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Estatísticas Descritivas");
        ASSERT_EQ(ListCount(d), static_cast<int>(Columns().size()));
        for (size_t i = 0; i < Columns().size(); ++i)
            EXPECT_EQ(ListRow(d, static_cast<int>(i)), Independent(Columns()[i])) << Columns()[i].name;
        // The rows whose statistics are partly undefined, worked out by hand.
        using R = std::vector<CString>;
        EXPECT_EQ(ListRow(d, 1), (R{"Cor", "9", "N/A", "1.0000", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A",
                                    "N/A", "N/A", "N/A", "N/A", "N/A"}));
        EXPECT_EQ(ListRow(d, 3), (R{"Fixo", "4", "5.0000", "N/A", "5.0000", "5.0000", "5.0000", "5.0000", "5.0000",
                                    "0.0000", "0.0000", "0.0000", "0.0000", "0.0000", "N/A", "N/A"}));
        EXPECT_EQ(ListRow(d, 4), (R{"Dois", "2", "2.7500", "N/A", "2.7500", "1.5000", "1.5000", "4.0000", "4.0000",
                                    "3.1250", "1.7678", "0.6428", "2.5000", "2.5000", "N/A", "0.0000"}));
        EXPECT_EQ(ListRow(d, 5), (R{"Um", "1", "-3.2500", "N/A", "-3.2500", "-3.2500", "-3.2500", "-3.2500",
                                    "-3.2500", "N/A", "N/A", "N/A", "0.0000", "0.0000", "N/A", "N/A"}));
        EXPECT_EQ(ListRow(d, 6), (R{"Nada", "0", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A",
                                    "N/A", "N/A", "N/A", "N/A", "N/A"}));
        EXPECT_EQ(ListRow(d, 9), (R{"Enorme", "3", "10000000.0000", "N/A", "10000000.0000", "10000000.0000",
                                    "10000000.0000", "10000000.0000", "10000000.0000", "0.0100", "0.1000",
                                    "0.0000", "0.0000", "0.0000", "N/A", "N/A"}));
        EXPECT_EQ(ListRow(d, 7)[11], "N/A");           // mean 0: no coefficient of variation
        EXPECT_EQ(ListRow(d, 2)[9], "0.0738");         // 1e6 and a spread of tenths keep their variance
        EXPECT_EQ(ListRow(d, 8)[3], "N/A");            // a type other than 0 reads as quantitative
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/descriptive_stats.png").c_str());
        d.Click(1193);  // "Anterior"
    });
    user.OnDialog(170, [](DialogDriver& d) {
        // Only "Grande" this time: the page kept the last ticks.
        for (int i = 0; i < static_cast<int>(Columns().size()); ++i)
            if (i != 2) d.Tick(1078, i);
        d.Click(1191);
    });
    user.OnDialog(171, [](DialogDriver& d) {
        ASSERT_EQ(ListCount(d), 1);
        EXPECT_EQ(ListRow(d, 0), Independent(Columns()[2]));
        afx::SetClipboardText("antes");
        d.RightClick(1078);
        CString expected = HeadingLine() + "\n";
        for (const CString& cell : Independent(Columns()[2])) expected += cell + "\t";
        expected = expected.Left(expected.GetLength() - 1);
        EXPECT_EQ(afx::ClipboardText(), expected);  // exactly two lines: no newline after the row
        d.Click(IDCANCEL);  // "Sair"
    });
    user.OnPopupMenu([](const afx::PopupMenuRequest& menu) {
        EXPECT_EQ(menu.items, (std::vector<std::pair<CString, UINT>>{{"Imprimir", ID_POPUP_PRINT}, {"Copiar", ID_POPUP_COPY}}));
        return ID_POPUP_COPY;
    });
    Run();
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(DescriptiveCommand, ImprimirWritesThePagesAndACancelledPrintWritesNothing) {
    std::string pdf = dir.File("tabela.pdf");
    std::string cancelled = dir.File("nada.pdf");
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        d.Click(1139);
        d.Click(1191);
    });
    user.OnDialog(171, [](DialogDriver& d) {
        d.RightClickAt(1193, 5, 5);  // outside the list: no menu
        d.RightClick(1078);          // printed
        d.RightClick(1078);          // print dialog cancelled
        d.Key(VK_ESCAPE);  // ends the command like "Sair"
    });
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return ID_POPUP_PRINT; });
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return ID_POPUP_PRINT; });
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        EXPECT_NE(r.flags & PD_NOPAGENUMS, 0u);
        EXPECT_NE(r.flags & PD_NOSELECTION, 0u);
        r.outputFile = pdf.c_str();
        return true;
    });
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = cancelled.c_str();
        return false;
    });
    Run();
    EXPECT_TRUE(user.AllAnswered());
    std::string bytes = testsupport::ReadBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(testsupport::ReadBytes(cancelled), "");
}

TEST_F(DescriptiveCommand, TheMenuOffersTheBuiltCommandsWithDataOnly) {
    for (UINT id : {ID_STATS_DESCRIPTIVE, ID_STATS_RESISTANT_LINE, ID_STATS_CORRELATION, ID_STATS_COVARIANCE,
                    ID_STATS_HISTOGRAM, ID_STATS_SCATTER, ID_STATS_REGRESSION, ID_STATS_BOXPLOT})
        EXPECT_TRUE(frame->IsCommandEnabled(id)) << id;
    testsupport::Document()->DeleteContents();
    for (UINT id : {ID_STATS_DESCRIPTIVE, ID_STATS_RESISTANT_LINE}) EXPECT_FALSE(frame->IsCommandEnabled(id)) << id;
    theApp.OnFileNew();
}

// Nine variables: three bands of four, four and one.
std::vector<std::vector<CString>> NineRows() {
    std::vector<std::vector<CString>> rows;
    for (int v = 0; v < 9; ++v) {
        std::vector<CString> row(16, "N/A");
        row[0] = FormatString("V%d", v + 1);
        row[1] = "7";
        row[2] = "1.5000";
        row[9] = "-0.2500";
        rows.push_back(row);
    }
    return rows;
}

int CountTexts(const CRecordingDC& dc, const char* text) {
    int k = 0;
    for (const GdiRecord& r : dc.Find("TextOut")) k += r.text == text;
    return k;
}

TEST(DescriptivePrint, BandsThatDoNotFitStartANewPage) {
    // A tall page takes the three bands; a short one only two, the third goes over.
    struct Case {
        int height;
        std::vector<CString> footers;
    };
    for (const Case& c : {Case{1100, {"Página - 1/1"}}, Case{800, {"Página - 1/2", "Página - 2/2"}}}) {
        RecordingDevice device;
        device.printer = true;
        device.horzRes = 1200;
        device.vertRes = c.height;
        CRecordingDC dc(device);
        ASSERT_EQ(PrintDescriptivePages(&dc, NineRows(), "/dados/amostra.tsm", {}), static_cast<int>(c.footers.size()));
        EXPECT_EQ(dc.Find("StartPage").size(), c.footers.size());
        std::vector<CString> footers;
        int footerY = 0;
        for (const GdiRecord& r : dc.Find("TextOut"))
            if (r.text.Find("Página") == 0) footers.push_back(r.text), footerY = r.args[1];
        EXPECT_EQ(footers, c.footers);
        // Nothing is printed over the footer.
        for (const GdiRecord& r : dc.Find("TextOut"))
            if (r.text.Find("Página") != 0) {
                EXPECT_LE(r.args[1] + device.charHeight, footerY) << r.text.GetString();
            }
        for (const GdiRecord& r : dc.Find("LineTo")) EXPECT_LE(r.args[3], footerY);
        // Counts print as integers, numbers with three decimals, "N/A" as it is.
        EXPECT_EQ(CountTexts(dc, "7"), 9);
        EXPECT_EQ(CountTexts(dc, "1.500"), 9);
        EXPECT_EQ(CountTexts(dc, "-0.250"), 9);
        EXPECT_EQ(CountTexts(dc, "Estatística Descritiva"), static_cast<int>(c.footers.size()));
        EXPECT_EQ(CountTexts(dc, "/dados/amostra.tsm"), static_cast<int>(c.footers.size()));
        EXPECT_EQ(CountTexts(dc, "Int. Interquartil"), 3);  // one label column per band
        EXPECT_EQ(CountTexts(dc, "V9"), 1);
    }
}

}  // namespace
