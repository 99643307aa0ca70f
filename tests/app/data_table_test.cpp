#include <gtest/gtest.h>

#include <cmath>

#include "app/data_table.h"
#include "tests/support/gui_test.h"
#include "ui/list_cells.h"

namespace {

CDataTable TableWithColumn(const std::vector<double>& values, float code) {
    CDataTable t;
    t.SetSize(static_cast<int>(values.size()), 1);
    t.SetMissingCode(code);
    for (size_t i = 0; i < values.size(); ++i) t.SetValue(static_cast<int>(i) + 1, 1, values[i]);
    return t;
}

TEST(DataTable, SetSizeBuildsNamedRowsAndDefaultVariables) {
    CDataTable t;
    EXPECT_EQ(t.SetSize(3, 2), 3);
    EXPECT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(t.GetVariableCount(), 2);
    EXPECT_EQ(t.GetRowNameCopy(1), "0");
    EXPECT_EQ(t.GetRowNameCopy(3), "2");
    for (int v = 1; v <= 2; ++v) {
        EXPECT_EQ(t.GetVariableName(v), "");
        EXPECT_EQ(t.GetVariableType(v), 1);
        EXPECT_EQ(t.GetVariable(v)->GetCategoryCount(), 0);
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(t.GetValue(r, v), 0.0);
    }
    t.SetValue(1, 1, 7.5);
    t.SetValue(3, 2, -1.0);
    EXPECT_EQ(t.GetValue(1, 1), 7.5);
    EXPECT_EQ(t.GetValue(3, 2), -1.0);
    t.SetSize(1, 1);
    EXPECT_EQ(t.GetValue(1, 1), 0.0);
    t.Clear();
    EXPECT_EQ(t.GetRowCount(), 0);
    EXPECT_EQ(t.GetVariableCount(), 0);
}

TEST(DataTable, MissingValueRuleComparesInSinglePrecisionStrictlyBelowOneMillionth) {
    // 0.5 + 2^-20 lies 9.5e-7 from the code, 0.5 + 2^-19 lies 1.9e-6: both exact in float.
    EXPECT_TRUE(FloatEquals(0.5 + std::ldexp(1.0, -20), 0.5));
    EXPECT_FALSE(FloatEquals(0.5 + std::ldexp(1.0, -19), 0.5));
    // A double that only differs beyond single precision is the code itself.
    EXPECT_TRUE(FloatEquals(-9.9, static_cast<double>(-9.9f)));
    EXPECT_TRUE(FloatEquals(-99.0000001, -99.0));
    EXPECT_FALSE(FloatEquals(-99.1, -99.0));
    CDataTable t = TableWithColumn({1.0, -9.9, 3.0}, -9.9f);
    EXPECT_FALSE(t.IsMissing(1, 1));
    EXPECT_TRUE(t.IsMissing(2, 1));
}

TEST(DataTable, MeanAndVarianceSkipAbsentCellsAndStayFinite) {
    CDataTable t;
    t.SetSize(5, 4);
    t.SetMissingCode(-9.9f);
    const double a[5] = {2, 4, 4, 5, -9.9};          // mean 3.75, sample variance 1.583333...
    const double b[5] = {-9.9, -9.9, -9.9, -9.9, -9.9};  // nothing present
    const double c[5] = {-9.9, 7, -9.9, -9.9, -9.9};     // one value
    const double d[5] = {0.1, 0.1, 0.1, 0.1, 0.1};       // all equal
    for (int r = 1; r <= 5; ++r) {
        t.SetValue(r, 1, a[r - 1]);
        t.SetValue(r, 2, b[r - 1]);
        t.SetValue(r, 3, c[r - 1]);
        t.SetValue(r, 4, d[r - 1]);
    }
    t.ComputeMeanVariance();
    EXPECT_DOUBLE_EQ(t.GetVariable(1)->GetMean(), 3.75);
    EXPECT_DOUBLE_EQ(t.GetVariable(1)->GetVariance(), 4.75 / 3.0);
    EXPECT_EQ(t.GetVariable(2)->GetMean(), 0.0);
    EXPECT_EQ(t.GetVariable(2)->GetVariance(), 0.0);
    EXPECT_EQ(t.GetVariable(3)->GetMean(), 7.0);
    EXPECT_EQ(t.GetVariable(3)->GetVariance(), 0.0);
    EXPECT_EQ(t.GetVariable(4)->GetMean(), 0.1);
    EXPECT_EQ(t.GetVariable(4)->GetVariance(), 0.0);

    // The same columns in a table large enough for its variables to be shared among threads,
    // next to columns of spread values checked against sums in long double.
    const int rows = 6000, variables = 24;
    t.SetSize(rows, variables);
    for (int r = 1; r <= rows; ++r)
        for (int v = 1; v <= variables; ++v) {
            const double* column[] = {a, b, c, d};
            const int i = (r - 1) % 5;
            t.SetValue(r, v, v <= 4 ? (r <= 5 ? column[v - 1][i] : v == 4 ? 0.1 : -9.9) : r % 7 == 0 ? -9.9 : 1e6 + std::sin(r * v));
        }
    t.ComputeMeanVariance();
    EXPECT_DOUBLE_EQ(t.GetVariable(1)->GetMean(), 3.75);
    EXPECT_DOUBLE_EQ(t.GetVariable(1)->GetVariance(), 4.75 / 3.0);
    EXPECT_EQ(t.GetVariable(2)->GetVariance(), 0.0);
    EXPECT_EQ(t.GetVariable(3)->GetMean(), 7.0);
    EXPECT_EQ(t.GetVariable(3)->GetVariance(), 0.0);
    EXPECT_EQ(t.GetVariable(4)->GetMean(), 0.1);
    EXPECT_EQ(t.GetVariable(4)->GetVariance(), 0.0);
    for (int v = 5; v <= variables; ++v) {
        long double sum = 0, ss = 0;
        int n = 0;
        for (int r = 1; r <= rows; ++r)
            if (!t.IsMissing(r, v)) sum += t.GetValue(r, v), ++n;
        const long double mean = sum / n;
        for (int r = 1; r <= rows; ++r)
            if (!t.IsMissing(r, v)) ss += (t.GetValue(r, v) - mean) * (t.GetValue(r, v) - mean);
        EXPECT_NEAR(t.GetVariable(v)->GetMean(), static_cast<double>(mean), 1e-7) << v;
        EXPECT_NEAR(t.GetVariable(v)->GetVariance(), static_cast<double>(ss / (n - 1)), 1e-9) << v;
    }
}

TEST(DataTable, ModalitiesAreDistinctCodesInAscendingOrderWithoutTheMissingCode) {
    CDataTable t = TableWithColumn({3, 1, 3, 2, -99}, -99.0f);
    t.SetVariableType(1, 0);
    t.BuildModalities(false);
    const auto& cats = t.GetVariable(1)->GetCategories();
    ASSERT_EQ(cats.size(), 3u);
    EXPECT_EQ(cats[0].name, "ID1");
    EXPECT_EQ(cats[0].code, 1);
    EXPECT_EQ(cats[1].name, "ID2");
    EXPECT_EQ(cats[1].code, 2);
    EXPECT_EQ(cats[2].name, "ID3");
    EXPECT_EQ(cats[2].code, 3);

    // A non-integer code: its absent cells give no modality of its integer part.
    CDataTable u = TableWithColumn({2.7, -9.9, -2.5, 2.1}, -9.9f);
    u.SetVariableType(1, 0);
    u.BuildVariableModalities(1, true);
    const auto& ucats = u.GetVariable(1)->GetCategories();
    ASSERT_EQ(ucats.size(), 2u);
    EXPECT_EQ(ucats[0].code, -2);
    EXPECT_EQ(ucats[1].code, 2);
}

TEST(DataTable, BuildModalitiesRebuildsOnlyWhenForcedOrMissing) {
    CDataTable t;
    t.SetSize(2, 2);
    t.SetValue(1, 1, 5);
    t.SetValue(2, 1, 6);
    t.SetValue(1, 2, 8);
    t.SetVariableType(1, 0);
    t.GetVariable(1)->SetCategories({{"Alto", 9}});
    t.GetVariable(2)->SetCategories({{"Fixo", 4}});
    t.BuildModalities(false);
    EXPECT_EQ(t.GetVariable(1)->GetCategories()[0].name, "Alto");
    t.BuildModalities(true);
    ASSERT_EQ(t.GetVariable(1)->GetCategoryCount(), 2);
    EXPECT_EQ(t.GetVariable(1)->GetCategories()[1].code, 6);
    // A quantitative variable that has modalities keeps them even when forced.
    EXPECT_EQ(t.GetVariable(2)->GetCategories()[0].name, "Fixo");
}

TEST(DataTable, CompleteRowsAndTheirLabels) {
    CDataTable t;
    t.SetSize(4, 2);
    t.SetMissingCode(-1.0f);
    t.SetValue(2, 1, -1.0);
    t.SetValue(4, 2, -1.0);
    t.SetValue(3, 2, 12.5);
    std::vector<int> rows;
    EXPECT_EQ(t.GetCompleteRows({}, nullptr), 4);
    EXPECT_EQ(t.GetCompleteRows({1, 2}, &rows), 2);
    EXPECT_EQ(rows, (std::vector<int>{0, 2}));
    std::vector<CString> labels;
    EXPECT_EQ(t.GetCompleteRowLabels(-1, &labels, {1}), 4);
    EXPECT_EQ(labels, (std::vector<CString>{"0", "2", "3"}));
    labels.clear();
    t.GetCompleteRowLabels(2, &labels, {1, 2});
    EXPECT_EQ(labels, (std::vector<CString>{"0.000000", "12.500000"}));
    CDataTable empty;
    EXPECT_EQ(empty.GetCompleteRows({1}, nullptr), 0);
}

TEST(DataTable, TypesQualitativeListAndTruncation) {
    CDataTable t = TableWithColumn({2.7, -2.7, -9.9}, -9.9f);
    t.SetVariableName(1, "Idade");
    int quant = -1, qual = -1;
    t.CountVariableTypes({1}, quant, qual);
    EXPECT_EQ(quant, 1);
    EXPECT_EQ(qual, 0);
    t.SetVariableType(1, 0);
    t.CountVariableTypes({1, 1}, quant, qual);
    EXPECT_EQ(quant, 0);
    EXPECT_EQ(qual, 2);
    std::vector<CNamedCode> list;
    t.GetQualitativeVariables(&list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "Idade");
    EXPECT_EQ(list[0].code, 1);
    t.TruncateVariable(1);
    EXPECT_EQ(t.GetValue(1, 1), 2.0);
    EXPECT_EQ(t.GetValue(2, 1), -2.0);
    EXPECT_TRUE(t.IsMissing(3, 1));  // still the code, not -9
}

TEST(DataTable, MissingCodeText) {
    CDataTable t;
    EXPECT_EQ(t.GetMissingCodeText(), "-9.900000");
    t.SetMissingCodeText("12.5abc");
    EXPECT_EQ(t.GetMissingCode(), 12.5f);
    t.SetMissingCodeText("abc");
    EXPECT_EQ(t.GetMissingCode(), 0.0f);
}

TEST(DataTable, WriteTextIsTabSeparatedWithBareLineFeeds) {
    CDataTable t;
    t.SetSize(1, 2);
    t.SetTitle("T");
    t.SetVariableName(1, "A");
    t.SetVariableName(2, "B");
    t.SetRowName(1, "r1");
    t.SetValue(1, 1, 1);
    t.SetValue(1, 2, 2);
    EXPECT_EQ(t.WriteText(), "T\tA\tB\nr1\t1.000000\t2.000000\n");
}

TEST(DataTable, WriteHtmlBytes) {
    testsupport::TempFolder dir;
    std::string path = dir.File("t.html");
    CDataTable t;
    t.SetSize(0, 2);
    t.SetVariableName(1, "a<b");
    t.SetVariableName(2, "c&d");
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        t.WriteHtml(&f);
    }
    const std::string head =
        "<table border=\"2\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: collapse\" "
        "bordercolor=\"#3366FF\" width=\"100%\" >\r\n<tr>\r\n";
    auto cell = [](const char* name) {
        return std::string("<td width=\"33.000000%\" bgcolor=\"#0066CC\">\r\n") +
               "<p align=\"center\"><font color=\"#FFFFFF\"><b>" + name + "</b></font></td>\r\n";
    };
    EXPECT_EQ(testsupport::ReadBytes(path),
              head + cell("Id") + cell("a&lt;b") + cell("c&amp;d") + "</tr>\r\n</table>\r\n");

    t.SetSize(1, 1);
    t.SetVariableName(1, "X");
    t.SetRowName(1, "r");
    t.SetValue(1, 1, 1.23456);
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        t.WriteHtml(&f);
    }
    std::string html = testsupport::ReadBytes(path);
    EXPECT_NE(html.find("<tr>\r\n<td width=\"50.000000%\" bgcolor=\"#E0E0E0\">\r\n<p align=\"center\"><b>r</b></td>\r\n"
                        "<td width=\"50.000000%\" bgcolor=\"#EBEBEB\">\r\n<p align=\"center\">1.235</td>\r\n</tr>\r\n"),
              std::string::npos);
}

TEST(ListCells, IntegerCellsNeverOverflow) {
    EXPECT_EQ(FormatIntegerCell(-2.7), "-2");
    EXPECT_EQ(FormatIntegerCell(2.999), "2");
    EXPECT_EQ(FormatIntegerCell(3e12), "3000000000000");
    EXPECT_EQ(FormatIntegerCell(-3e12), "-3000000000000");
    EXPECT_EQ(FormatIntegerCell(NAN), "N/A");
    EXPECT_EQ(FormatIntegerCell(INFINITY), "N/A");
    EXPECT_EQ(FormatFixed(-2.7, 4), "-2.7000");
    EXPECT_EQ(FormatFixed(2.0005, 3), FormatString("%.3f", 2.0005));
}

}  // namespace
