#include "engines/common/separate_groups.h"

#include <gtest/gtest.h>

#include "engines/common/record_io.h"
#include "engines/common/square_matrix.h"
#include "tests/engines/fenola/engine_files.h"

namespace {

using engine_test::TempFolder;

// Six objects joined by the steps 2-5 (1), 1-3 (2), 2-4 (3), 1-6 (4), 1-2 (5): the dendrogram
// reads 1 3 6 2 5 4.
Hierarchy SixObjects() {
    Hierarchy h;
    h.position = {1, 4, 2, 6, 5, 3};
    h.left = {2, 1, 2, 1, 1};
    h.right = {5, 3, 4, 6, 2};
    h.level = {1, 2, 3, 4, 5};
    return h;
}

const std::vector<std::string> kNames{"O1", "O2", "O3", "O4", "O5", "O6"};

struct Cut {
    GroupSeparation separation;
    std::vector<std::string> lines;
};

Cut CutAt(const Hierarchy& h, float cut, const std::vector<std::string>& names = kNames) {
    TempFolder folder;
    RecordWriter out;
    EXPECT_TRUE(out.Create("cut.prn", folder.str()));
    Cut result;
    result.separation = SeparateGroups(out, h, cut, names);
    out.Close();
    result.lines = folder.Lines("cut.prn");
    return result;
}

const std::vector<std::string> kHead{'1' + std::string(49, ' ') + "SEPARACAO EM GRUPOS",
                                     std::string(48, ' ') + std::string(21, '*'), ""};

TEST(SeparateGroups, StepsBelowTheCutAreJoinedAndGroupsFollowTheDendrogram) {
    // At 3.0 the steps 2-5 and 1-3 are joined; 2-4 (level 3.0) and later stay apart:
    // groups {1 3}, {6}, {2 5}, {4} in dendrogram order.
    const Cut cut = CutAt(SixObjects(), 3.0f);
    EXPECT_EQ(cut.separation.outcome, CutOutcome::Groups);
    EXPECT_EQ(cut.separation.groups, 4u);
    EXPECT_EQ(cut.separation.group, (std::vector<std::size_t>{1, 3, 1, 4, 3, 2}));
    std::vector<std::string> expected = kHead;
    for (const std::string& line :
         {std::string("COEFICIENTE DE CORTE=    3.000"), std::string(30, '*'), std::string(), std::string(),
          std::string("NUMERO DE GRUPOS= 4"), std::string(), std::string(), std::string(), std::string(),
          std::string("Grupo    Individuos"), std::string(132, '-'), std::string(), std::string("     1    O1   O3   "),
          std::string(), std::string("     2    O6   "), std::string(), std::string("     3    O2   O5   "),
          std::string(), std::string("     4    O4   ")})
        expected.push_back(line);
    EXPECT_EQ(cut.lines, expected);
}

TEST(SeparateGroups, CutsThatMakeNoGroups) {
    // Below the first level: every object apart, numbered by its place in the dendrogram.
    Cut cut = CutAt(SixObjects(), 0.5f);
    EXPECT_EQ(cut.separation.outcome, CutOutcome::NoGrouping);
    EXPECT_EQ(cut.separation.group, (std::vector<std::size_t>{1, 4, 2, 6, 5, 3}));
    ASSERT_GE(cut.lines.size(), 4u);
    EXPECT_EQ(cut.lines[cut.lines.size() - 4], "NUMERO DE GRUPOS= 6");
    EXPECT_EQ(cut.lines.back(), "NAO HA AGRUPAMENTOS PARA ESTE CORTE");

    // Above the last level: all together.
    cut = CutAt(SixObjects(), 5.5f);
    EXPECT_EQ(cut.separation.outcome, CutOutcome::CutTooLow);
    EXPECT_EQ(cut.separation.group, std::vector<std::size_t>(6, 1));
    ASSERT_GE(cut.lines.size(), 2u);
    EXPECT_EQ(cut.lines[cut.lines.size() - 2], "COEFICIENTE DE CORTE MUITO BAIXO");
    EXPECT_EQ(cut.lines.back(), std::string(32, '*'));
    EXPECT_EQ(cut.lines[3], "COEFICIENTE DE CORTE=    5.500");
}

TEST(SeparateGroups, ACutOf9999IsAnOrdinaryCut) {
    Hierarchy h = SixObjects();
    h.level = {5000, 6000, 9999, 12000, 15000};
    const Cut cut = CutAt(h, 9999.0f);
    EXPECT_EQ(cut.separation.groups, 4u);
    EXPECT_EQ(cut.lines[3], "COEFICIENTE DE CORTE= 9999.000");
}

TEST(SeparateGroups, LongGroupsContinueAfter23Names) {
    // A chain: step k joins object k + 1 to object 1 at level k; cut at the last step.
    Hierarchy h;
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= 26; ++i) {
        h.position.push_back(i);
        names.push_back(std::string(1, static_cast<char>('A' + i - 1)) + "x");
        if (i < 26) {
            h.left.push_back(1);
            h.right.push_back(i + 1);
            h.level.push_back(static_cast<float>(i));
        }
    }
    const Cut cut = CutAt(h, 25.0f, names);
    EXPECT_EQ(cut.separation.groups, 2u);
    ASSERT_GE(cut.lines.size(), 5u);
    std::string first = "     1    ";
    for (char c = 'A'; c < 'A' + 23; ++c) first += std::string(1, c) + "x   ";
    EXPECT_EQ(cut.lines[cut.lines.size() - 4], first);
    EXPECT_EQ(cut.lines[cut.lines.size() - 3], std::string(10, ' ') + "Xx   Yx   ");
    EXPECT_EQ(cut.lines.back(), "     2    Zx   ");
}

TEST(SeparateGroups, HierarchyFileRecords) {
    TempFolder folder;
    RecordWriter out;
    ASSERT_TRUE(out.Create("sepop.inp", folder.str()));
    Hierarchy h = SixObjects();
    h.level[0] = 0.015625f;
    h.level[4] = 12345.5f;
    WriteHierarchyFile(out, h, kNames);
    out.Close();
    const std::vector<std::string> lines = folder.Lines("sepop.inp");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "O1         1       2       5 0.156250E-01");
    EXPECT_EQ(lines[4], "O5         5       1       2 0.123455E+05");
    EXPECT_EQ(lines[5], "O6         3       0       0 0.000000E+00");
}

TEST(PrintSquareMatrix, LowerTriangleInBlocksOf15Columns) {
    const std::size_t n = 17;
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= n; ++i) names.push_back('V' + std::to_string(i));
    // Element (i, j) = i + j / 100 (1-based) below the diagonal; the last diagonal is too wide.
    std::vector<float> m(n * n, 0.0f);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j <= i; ++j) m[i + j * n] = m[j + i * n] = static_cast<float>(i + 1) + (j + 1) / 100.0f;
    m[n * n - 1] = 10000000.0f;
    TempFolder folder;
    RecordWriter out;
    ASSERT_TRUE(out.Create("m.prn", folder.str()));
    PrintSquareMatrix(out, n, m.data(), n, names);
    out.Close();
    const std::vector<std::string> lines = folder.Lines("m.prn");
    // Block 1: 2 blank, heading, rule, rows 1 to 17, rule, heading; block 2: rows 16 and 17.
    ASSERT_EQ(lines.size(), 2u + 4 + 17 + 2 + 4 + 2);
    std::string heading = "      ";
    for (std::size_t j = 1; j <= 15; ++j) heading += "    " + engine_test::Pad(names[j - 1], 4);
    EXPECT_EQ(lines[2], heading);
    EXPECT_EQ(lines[3], "      " + std::string(14 * 8 + 11, '-'));
    EXPECT_EQ(lines[4], " V1   |   1.010");
    EXPECT_EQ(lines[5], " V2   |   2.010   2.020");
    EXPECT_EQ(lines[20].substr(0, 23), " V17  |  17.010  17.020");
    EXPECT_EQ(lines[20].size(), 7u + 15 * 8);
    EXPECT_EQ(lines[23], "");
    EXPECT_EQ(lines[25], "          V16     V17 ");
    EXPECT_EQ(lines[26], "      " + std::string(19, '-'));
    EXPECT_EQ(lines[27], " V16  |  16.160");
    EXPECT_EQ(lines[28], " V17  |  17.160********");
    EXPECT_EQ(lines[30], lines[25]);
}

}  // namespace
