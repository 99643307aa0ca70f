// The correlation and covariance matrices driven from their menu items by the scripted
// user; every cell checked against a direct computation of the definitions in the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "stats/correlation_table.h"
#include "platform/ui/text_fit.h"
#include "tests/support/gui_test.h"

using testsupport::TempFolder;

namespace {

constexpr double kCode = -9.9;
constexpr double X = kCode;

struct Column {
    const char* name;
    int type;
    std::vector<double> cells;
};

// Twelve rows: ties, negatives, values near 1e6 with a spread of about 1, a qualitative
// variable, a variable constant over the complete rows only, and one whose present values
// are all equal.
const std::vector<Column>& Columns() {
    static const std::vector<Column> columns = {
        {"Rendimento", 1, {2.5, -1, 3, 3, X, -7.25, 0, 3, 12.5, -1, 4, 0.5}},
        {"Beta", 1, {1000000.25, 999999.5, 1000000.125, 1000001, 1000000, X, 999999.75, 1000000.5, 1000000.25,
                     1000000.875, 999999.375, 1000000}},
        {"Cor", 0, {1, 2, 2, 3, 1, 3, 1, 2, 3, 1, X, 2}},
        {"Igual", 1, {5, X, 5, 5, 5, 5, X, 5, 5, 5, 5, X}},
        {"Quase", 1, {7, 7, 7, 7, 2, 7, 7, 7, 7, 7, 3, 7}},  // varies only where Beta or Cor is absent
        {"Produtividade Anual", 1, {-3, 2, 1, X, 0, 4, -2, 1, 1, -5, 6, 2}},
    };
    return columns;
}

std::string DataFile(const std::vector<Column>& columns) {
    const size_t rows = columns[0].cells.size();
    std::string s = std::string("#Tesmo v7.00#\r\n-9.900000\r\n") + std::to_string(columns.size()) + "\r\n";
    for (const Column& c : columns) s += std::string(c.name) + "\r\n" + std::to_string(c.type) + "\r\n" + (c.type == 0 ? "0\r\n" : "");
    for (size_t r = 0; r < rows; ++r) {
        s += 'r' + std::to_string(r + 1);
        for (const Column& c : columns) {
            char cell[64];
            snprintf(cell, sizeof cell, " %.10g", c.cells[r]);
            s += cell;
        }
        s += "\r\n";
    }
    return s;
}

bool Absent(double v) { return std::fabs(static_cast<double>(static_cast<float>(v)) - static_cast<double>(static_cast<float>(kCode))) < 1e-6; }

// The complete rows of the chosen columns, column by column.
std::vector<std::vector<long double>> Complete(const std::vector<Column>& columns, const std::vector<size_t>& chosen) {
    std::vector<std::vector<long double>> out(chosen.size());
    for (size_t r = 0; r < columns[0].cells.size(); ++r) {
        bool complete = true;
        for (size_t c : chosen) complete = complete && !Absent(columns[c].cells[r]);
        if (!complete) continue;
        for (size_t j = 0; j < chosen.size(); ++j) out[j].push_back(columns[chosen[j]].cells[r]);
    }
    return out;
}

long double Mean(const std::vector<long double>& x) {
    long double s = 0;
    for (long double v : x) s += v;
    return s / static_cast<long double>(x.size());
}

long double Cov(const std::vector<long double>& x, const std::vector<long double>& y) {
    const long double mx = Mean(x), my = Mean(y);
    long double s = 0;
    for (size_t i = 0; i < x.size(); ++i) s += (x[i] - mx) * (y[i] - my);
    return s / static_cast<long double>(x.size() - 1);
}

// Rank by counting: 1 + the values below + half the other equal values.
std::vector<long double> Ranks(const std::vector<long double>& x) {
    std::vector<long double> r;
    for (long double v : x) {
        int below = 0, equal = 0;
        for (long double w : x) below += w < v, equal += w == v;
        r.push_back(1 + below + (equal - 1) / 2.0L);
    }
    return r;
}

CString Cell(long double v) {
    char b[64];
    snprintf(b, sizeof b, "%.4f", static_cast<double>(v));
    return b;
}

CString Pearson(const std::vector<long double>& x, const std::vector<long double>& y) {
    const long double vx = Cov(x, x), vy = Cov(y, y);
    if (x.size() < 2 || vx == 0 || vy == 0) return "N/A";
    return Cell(Cov(x, y) / std::sqrt(vx * vy));
}

CString Spearman(const std::vector<long double>& x, const std::vector<long double>& y) {
    const std::vector<long double> rx = Ranks(x), ry = Ranks(y);
    const long double vx = Cov(rx, rx), vy = Cov(ry, ry);
    if (x.size() < 2 || vx == 0 || vy == 0) return "N/A";
    return Cell(static_cast<float>(Cov(rx, ry) / std::sqrt(vx * vy)));
}

// The lines the matrix list shows: the headings, then one row per variable.
std::vector<CString> Expected(const std::vector<Column>& columns, const std::vector<size_t>& chosen, bool correlation) {
    const auto data = Complete(columns, chosen);
    std::vector<CString> lines;
    CString heading;
    for (size_t c : chosen) heading += CString("\t") + columns[c].name;
    lines.push_back(heading);
    for (size_t i = 0; i < chosen.size(); ++i) {
        CString line = columns[chosen[i]].name;
        for (size_t j = 0; j < chosen.size(); ++j) {
            CString cell;
            if (!correlation) cell = data[i].size() < 2 ? CString("N/A") : Cell(Cov(data[i], data[j]));
            else if (j < i) cell = Pearson(data[i], data[j]);
            else if (j > i) cell = Spearman(data[i], data[j]);
            else cell = Pearson(data[i], data[i]) == "N/A" ? CString("N/A") : CString("1.0000");
            line += "\t" + cell;
        }
        lines.push_back(line);
    }
    return lines;
}

class MatrixCommand : public testing::Test {
protected:
    void Open(const std::vector<Column>& columns) {
        frame = testsupport::StartTabulon();
        testsupport::WriteBytes(dir.File("matriz.tsm"), DataFile(columns));
        ScriptedUser opening;
        ASSERT_NE(theApp.OpenDocumentFile(dir.File("matriz.tsm").c_str()), nullptr);
    }
    void Run(UINT id) { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    CMainFrame* frame = nullptr;
    TempFolder dir;
};

TEST_F(MatrixCommand, CorrelationHoldsPearsonBelowAndSpearmanAboveOverCompleteRows) {
    Open(Columns());
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para matriz de correlação");
        EXPECT_FALSE(d.IsVisible(1155));
        EXPECT_TRUE(d.IsEnabled(1156));
        d.Click(1139);
        d.Click(1191);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "A variável Igual apresenta variância nula");
        return IDOK;
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Matriz de correlação");
        EXPECT_TRUE(d.IsVisible(IDC_MATRIX_HEADER));
        const std::vector<CString> expected = Expected(Columns(), {0, 1, 2, 4, 5}, true);
        EXPECT_EQ(d.Dump(IDC_MATRIX_LIST), expected);
        // "Quase" is constant over the complete rows: no coefficient, not a division by 0.
        EXPECT_EQ(d.Dump(IDC_MATRIX_LIST)[4], "Quase\tN/A\tN/A\tN/A\tN/A\tN/A");
        // Every column is as wide as its heading, the long names included.
        EXPECT_EQ(afx::TextsThatDoNotFit(d.Dialog()), std::vector<std::string>{});
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/correlation_matrix.png").c_str());
        d.Click(IDC_CHART_PREVIOUS);
    });
    user.OnDialog(170, [](DialogDriver& d) {
        // Rendimento and Produtividade Anual only: the rows complete for them alone are used.
        for (int i : {1, 2, 3, 4})
            if (d.IsTicked(1078, i)) d.Tick(1078, i);
        d.Click(1191);
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Dump(IDC_MATRIX_LIST), Expected(Columns(), {0, 5}, true));
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_CORRELATION);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(MatrixCommand, CovarianceIsSymmetricAndKeepsTheSpreadOfLargeValues) {
    Open(Columns());
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para matriz de covariância");
        for (int i : {0, 1, 2, 5}) d.Tick(1078, i);
        d.Click(1191);
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Matriz de covariância");
        EXPECT_FALSE(d.IsVisible(IDC_MATRIX_HEADER));
        const std::vector<CString> lines = d.Dump(IDC_MATRIX_LIST);
        EXPECT_EQ(lines, Expected(Columns(), {0, 1, 2, 5}, false));
        // Beta's variance over its eight complete rows, by hand: 1.2734375 / 7.
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_NE(lines[2].Find("\t0.1819\t"), -1) << lines[2];
        afx::ProcessPendingEvents();
        d.SavePng((testsupport::PictureFolder() + "/covariance_matrix.png").c_str());
        d.Key(VK_ESCAPE);
    });
    Run(ID_STATS_COVARIANCE);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(MatrixCommand, TextbookCasesAndTooFewCompleteRows) {
    const std::vector<Column> line = {{"x", 1, {1, 2, 3, 8}}, {"y", 1, {2, 4, 6, X}}, {"z", 1, {X, 1, X, 2}}};
    Open(line);
    ScriptedUser user;
    user.OnDialog(170, [](DialogDriver& d) {
        d.Tick(1078, 0);
        d.Tick(1078, 1);
        d.Click(1191);
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Dump(IDC_MATRIX_LIST), (std::vector<CString>{"\tx\ty", "x\t1.0000\t1.0000", "y\t1.0000\t1.0000"}));
        d.Click(IDC_CHART_PREVIOUS);
    });
    user.OnDialog(170, [](DialogDriver& d) {
        d.Tick(1078, 2);  // x, y and z share one complete row
        d.Click(1191);
    });
    user.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        const std::vector<CString> lines = d.Dump(IDC_MATRIX_LIST);
        ASSERT_EQ(lines.size(), 4u);
        for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].Mid(2), "N/A\tN/A\tN/A") << lines[i];
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_CORRELATION);
    EXPECT_TRUE(user.AllAnswered());

    ScriptedUser covariance;
    covariance.OnDialog(170, [](DialogDriver& d) {
        d.Tick(1078, 0);
        d.Tick(1078, 1);
        d.Click(1191);
    });
    covariance.OnDialog(IDD_MATRIX_RESULTS, [](DialogDriver& d) {
        EXPECT_EQ(d.Dump(IDC_MATRIX_LIST), (std::vector<CString>{"\tx\ty", "x\t1.0000\t2.0000", "y\t2.0000\t4.0000"}));
        d.Click(IDCANCEL);
    });
    Run(ID_STATS_COVARIANCE);
    EXPECT_TRUE(covariance.AllAnswered());
}

// Ranks by sorting, in long double: 1 + the values below + half the other equal values.
std::vector<long double> SortedRanks(const std::vector<long double>& x) {
    std::vector<size_t> order(x.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return x[a] < x[b]; });
    std::vector<long double> r(x.size());
    for (size_t p = 0; p < order.size();) {
        size_t q = p;
        while (q + 1 < order.size() && x[order[q + 1]] == x[order[p]]) ++q;
        for (size_t j = p; j <= q; ++j) r[order[j]] = (p + q + 2) / 2.0L;
        p = q + 1;
    }
    return r;
}

TEST(MatrixOfManyRows, EveryCellMatchesLongDoubleSumsWhateverThreadSummedItsBlocks) {
    // Enough complete rows for the sums to go in many blocks and the ranks in several slices.
    constexpr int kRows = 150000;
    CDataTable t;
    t.SetSize(kRows, 4);
    t.SetMissingCode(-9.9f);
    std::mt19937 rng(7);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_int_distribution<int> pick(0, 199);
    for (int r = 1; r <= kRows; ++r) {
        const double z = normal(rng);
        t.SetValue(r, 1, 1e6 + z / 8);                                  // near 1e6, spread of 1/8
        t.SetValue(r, 2, std::round(3 * z + normal(rng)));              // whole numbers: many ties
        t.SetValue(r, 3, pick(rng) == 0 ? -9.9 : -2 * z + normal(rng));  // absent now and then
        t.SetValue(r, 4, normal(rng) * 1e-3);
    }
    t.ComputeMeanVariance();
    std::vector<std::vector<long double>> x(4);
    for (int r = 1; r <= kRows; ++r) {
        if (t.IsMissing(r, 3)) continue;
        for (int v = 1; v <= 4; ++v) x[static_cast<size_t>(v - 1)].push_back(t.GetValue(r, v));
    }
    std::vector<std::vector<long double>> ranks;
    for (const auto& column : x) ranks.push_back(SortedRanks(column));
    auto near = [](double got, long double want) { return std::fabs(got - static_cast<double>(want)) <= 1e-12 * std::max(1.0L, std::fabs(want)); };
    for (int kind : {CCorrelationTable::KIND_CORRELATION, CCorrelationTable::KIND_COVARIANCE}) {
        std::vector<int> variables = {1, 2, 3, 4};
        CCorrelationTable m(t, variables, t.GetMissingCode(), kind);
        ASSERT_EQ(m.GetRowCount(), 4);
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j) {
                const double got = m.GetValue(static_cast<int>(i + 1), static_cast<int>(j + 1));
                long double want;
                if (kind == CCorrelationTable::KIND_COVARIANCE) want = Cov(x[i], x[j]);
                else if (j < i) want = Cov(x[i], x[j]) / std::sqrt(Cov(x[i], x[i]) * Cov(x[j], x[j]));
                else if (j > i) want = static_cast<float>(Cov(ranks[i], ranks[j]) / std::sqrt(Cov(ranks[i], ranks[i]) * Cov(ranks[j], ranks[j])));
                else want = 1;
                EXPECT_TRUE(near(got, want)) << kind << " cell " << i << "," << j << ": " << got << " for " << static_cast<double>(want);
            }
        // The complete rows' means and variances go with the columns.
        EXPECT_TRUE(near(m.GetVariable(1)->GetMean(), Mean(x[0])));
        EXPECT_TRUE(near(m.GetVariable(1)->GetVariance(), Cov(x[0], x[0])));
    }
    const std::vector<double> values(x[1].begin(), x[1].end());
    const std::vector<double> mid = CCorrelationTable::MidRanks(values);
    EXPECT_TRUE(std::equal(mid.begin(), mid.end(), ranks[1].begin()));

    // The coefficients of one pair come from the matrix's own sums and formulas: over the
    // variables that are never absent, the same figures to the last bit.
    const float code = t.GetMissingCode();
    std::vector<int> whole = {1, 2, 4};
    CCorrelationTable correlation(t, whole, code, CCorrelationTable::KIND_CORRELATION);
    CCorrelationTable covariance(t, whole, code, CCorrelationTable::KIND_COVARIANCE);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = whole[static_cast<size_t>(i)], b = whole[static_cast<size_t>(j)];
            SCOPED_TRACE(testing::Message() << "variables " << a << ", " << b);
            EXPECT_EQ(CCorrelationTable::Covariance(t, a, b, code), covariance.GetValue(i + 1, j + 1));
            if (j < i) {
                EXPECT_EQ(CCorrelationTable::PearsonCorrelation(t, a, b, code), correlation.GetValue(i + 1, j + 1));
            } else if (j > i) {
                EXPECT_EQ(CCorrelationTable::SpearmanCorrelation(t, a, b, code), correlation.GetValue(i + 1, j + 1));
            }
        }
    // A pair with variable 3 goes over the rows where both are present, those of x.
    EXPECT_TRUE(near(CCorrelationTable::Covariance(t, 3, 1, code), Cov(x[2], x[0])));
    EXPECT_TRUE(near(CCorrelationTable::PearsonCorrelation(t, 3, 1, code),
                     Cov(x[2], x[0]) / std::sqrt(Cov(x[2], x[2]) * Cov(x[0], x[0]))));
    EXPECT_TRUE(near(CCorrelationTable::SpearmanCorrelation(t, 3, 2, code),
                     static_cast<float>(Cov(ranks[2], ranks[1]) / std::sqrt(Cov(ranks[2], ranks[2]) * Cov(ranks[1], ranks[1])))));
}

TEST(MidRanks, TiesShareTheMeanOfTheirPositionsAndSignsOrderCorrectly) {
    EXPECT_EQ(CCorrelationTable::MidRanks({1, 2, 2, 3}), (std::vector<double>{1, 2.5, 2.5, 4}));
    EXPECT_EQ(CCorrelationTable::MidRanks({-0.0, 5, -1e6, 0.0, -2.5, 1e300, 5, 5}),
              (std::vector<double>{3.5, 6, 1, 3.5, 2, 8, 6, 6}));
    // Values that differ below the 16 bits a float keeps are still told apart.
    EXPECT_EQ(CCorrelationTable::MidRanks({1.0 + 1e-15, 1.0, 1.0 - 1e-15}), (std::vector<double>{3, 2, 1}));
}

}  // namespace
