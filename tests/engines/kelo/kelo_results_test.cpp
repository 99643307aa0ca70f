// kelo's numbers against values derived independently of it: the smoking-habits table of
// Greenacre (Theory and Applications of Correspondence Analysis, 1984), whose principal
// inertias and coordinates are published, and small tables solved by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "engines/kelo/kelo.h"
#include "tests/engines/kelo/kelo_test_support.h"

namespace {

using kelo_test::KeloCase;
using kelo_test::ReadFile;
using kelo_test::ReadTmp;
using kelo_test::TmpFile;
using kelo_test::TmpPoint;
using kelo_test::WorkFolder;

// Staff groups by smoking (none, light, medium, heavy), then two supplementary columns
// (alcohol: no, yes) and the national average as a supplementary row.
const std::vector<std::vector<double>> kSmoking = {
    {4, 2, 3, 2, 0, 11}, {4, 3, 7, 4, 1, 17}, {25, 10, 12, 4, 5, 46},
    {18, 24, 33, 13, 10, 78}, {10, 6, 7, 2, 7, 18}, {42, 29, 20, 9, 0, 0}};
// Published principal inertias and principal coordinates (factors 1 and 2).
const double kSmokingEigen[3] = {0.074759, 0.010017, 0.000414};
const double kSmokingInertia = 0.085190;
const double kRowCoord[5][2] = {{-0.066, -0.194}, {0.259, -0.243}, {-0.381, -0.011}, {0.233, 0.058}, {-0.201, 0.079}};
const double kColCoord[4][2] = {{-0.393, -0.030}, {0.099, 0.141}, {0.196, 0.007}, {0.294, -0.198}};
const double kNationalAverage[2] = {-0.258, 0.118};

KeloCase SmokingCase() {
    KeloCase c;
    c.rowNames = {"SM", "JM", "SE", "JE", "SC", "NAT"};
    c.colNames = {"none", "lght", "medm", "hevy", "nodr", "drin"};
    c.rows = kSmoking;
    c.nla = 5;
    c.nca = 4;
    c.rowFlags = "111110";
    c.colFlags = "111100";
    c.nf = 3;
    return c;
}

// Signs of factors are arbitrary: the sign of each factor is taken from one point.
double SignOf(double ours, double published) { return (ours >= 0) == (published >= 0) ? 1.0 : -1.0; }

double SumOfSquares(const TmpPoint& point, int nf, double scale = 1.0) {
    double sum = 0;
    for (int a = 0; a < nf; ++a)
        sum += point.values[2 + a] * point.values[2 + a];
    return sum * scale;
}

TEST(KeloResults, SmokingTableWithSupplementaryRowAndColumns) {
    WorkFolder folder;
    SmokingCase().Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 3);
    ASSERT_EQ(tmp.points.size(), 12u);

    EXPECT_NEAR(tmp.inertia, kSmokingInertia, 3e-6);
    double sum = 0;
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(tmp.eigen[a][0], kSmokingEigen[a], 2e-6);
        EXPECT_NEAR(tmp.eigen[a][1], 100 * kSmokingEigen[a] / kSmokingInertia, 0.01);
        sum += tmp.eigen[a][0];
    }
    EXPECT_NEAR(sum, tmp.inertia, 1e-6);  // all factors together hold the whole inertia
    EXPECT_NEAR(tmp.eigen[2][2], 100.0, 1e-3);

    // Column block first (active, then supplementary), then the rows.
    const double sign[2] = {SignOf(tmp.points[0].values[2], kColCoord[0][0]),
                            SignOf(tmp.points[0].values[3], kColCoord[0][1])};
    const double colTotals[4] = {61, 45, 62, 25};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(tmp.points[j].name, SmokingCase().colNames[j]);
        EXPECT_NEAR(tmp.points[j].values[0], colTotals[j] / 193, 1e-5);
        for (int a = 0; a < 2; ++a)
            EXPECT_NEAR(tmp.points[j].values[2 + a], sign[a] * kColCoord[j][a], 6e-4) << j << " " << a;
    }
    const double rowTotals[5] = {11, 18, 51, 88, 25};
    for (int i = 0; i < 5; ++i) {
        const TmpPoint& row = tmp.points[6 + i];
        EXPECT_NEAR(row.values[0], rowTotals[i] / 193, 1e-5);
        for (int a = 0; a < 2; ++a)
            EXPECT_NEAR(row.values[2 + a], sign[a] * kRowCoord[i][a], 6e-4) << i << " " << a;
    }
    const TmpPoint& national = tmp.points[11];
    EXPECT_EQ(national.name, "NAT");
    for (int a = 0; a < 2; ++a)
        EXPECT_NEAR(national.values[2 + a], sign[a] * kNationalAverage[a], 1e-3);
    // Supplementary columns by the transition formula from the published row coordinates:
    // G(l) = sum_i n(i,l) F(i) / (n(l) sqrt(lambda)).
    for (int l = 4; l < 6; ++l) {
        double total = 0;
        for (int i = 0; i < 5; ++i)
            total += kSmoking[i][l];
        EXPECT_NEAR(tmp.points[l].values[0], total / 193, 1e-5);
        for (int a = 0; a < 2; ++a) {
            double g = 0;
            for (int i = 0; i < 5; ++i)
                g += kSmoking[i][l] * kRowCoord[i][a];
            g /= total * std::sqrt(kSmokingEigen[a]);
            EXPECT_NEAR(tmp.points[l].values[2 + a], sign[a] * g, 2e-3) << l << " " << a;
        }
    }

    // Absolute contributions of the active points make 100 per factor; relative ones make 1
    // over all factors for active points and supplementary rows.
    for (int a = 0; a < 3; ++a) {
        double columns = 0, rows = 0;
        for (int j = 0; j < 4; ++j)
            columns += tmp.points[j].values[0] * std::pow(tmp.points[j].values[2 + a], 2) / tmp.eigen[a][0];
        for (int i = 6; i < 11; ++i)
            rows += tmp.points[i].values[0] * std::pow(tmp.points[i].values[2 + a], 2) / tmp.eigen[a][0];
        EXPECT_NEAR(columns, 1.0, a < 2 ? 1e-4 : 3e-3);
        EXPECT_NEAR(rows, 1.0, a < 2 ? 1e-4 : 3e-3);
    }
    for (int k : {0, 1, 2, 3, 6, 7, 8, 9, 10, 11})
        EXPECT_NEAR(SumOfSquares(tmp.points[k], 3, 1.0 / tmp.points[k].values[1]), 1.0, 2e-3) << k;

    // The listing's contributions of "none" (published: 654 and 29 per mille absolute,
    // 994 and 6 relative).
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_NE(listing.find(" none  0.316   0.16 *"), std::string::npos);
    EXPECT_NE(listing.find("* 65.4  2.9"), std::string::npos);
    EXPECT_NE(listing.find("* 0.99 0.01 0.00 0.00 0.00 0.00 *"), std::string::npos);
    EXPECT_NE(listing.find("           Pontos suplementares\r\n nodr"), std::string::npos);
}

TEST(KeloResults, FewerActiveRowsThanColumnsTransposesWithFlagsAndNamesInFileTerms) {
    // The same table stored the other way round: the supplementary national average is now
    // the last data-file column, named in kelo.par.
    KeloCase c;
    c.rowNames = {"none", "lght", "medm", "hevy"};
    c.colNames = {"SM", "JM", "SE", "JE", "SC", "NAT"};
    for (int j = 0; j < 4; ++j) {
        std::vector<double> row;
        for (int i = 0; i < 6; ++i)
            row.push_back(kSmoking[i][j]);
        c.rows.push_back(row);
    }
    c.nca = 5;
    c.rowFlags = "1111";
    c.colFlags = "111110";
    c.nf = 2;
    WorkFolder folder;
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    ASSERT_EQ(tmp.points.size(), 10u);
    EXPECT_NEAR(tmp.inertia, kSmokingInertia, 3e-6);
    EXPECT_NEAR(tmp.eigen[0][0], kSmokingEigen[0], 2e-6);
    EXPECT_NEAR(tmp.eigen[1][0], kSmokingEigen[1], 2e-6);
    // The first block holds the data file's rows.
    const double sign[2] = {SignOf(tmp.points[0].values[2], kColCoord[0][0]),
                            SignOf(tmp.points[0].values[3], kColCoord[0][1])};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(tmp.points[j].name, c.rowNames[j]);
        for (int a = 0; a < 2; ++a)
            EXPECT_NEAR(tmp.points[j].values[2 + a], sign[a] * kColCoord[j][a], 6e-4);
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tmp.points[4 + i].name, c.colNames[i]);
        for (int a = 0; a < 2; ++a)
            EXPECT_NEAR(tmp.points[4 + i].values[2 + a], sign[a] * kRowCoord[i][a], 6e-4);
    }
    EXPECT_EQ(tmp.points[9].name, "NAT");
    EXPECT_NEAR(tmp.points[9].values[2], sign[0] * kNationalAverage[0], 1e-3);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_NE(listing.find("Pontos-coluna activos\r\n none"), std::string::npos);
    EXPECT_NE(listing.find("          N. total de linhas =>   6"), std::string::npos);
}

TEST(KeloResults, DisconnectedBlocksKeepTheTrivialAxisOutOfFactorOne) {
    // Two blocks {A,B}x{a,b} and {C,D}x{c,d}: S is block diagonal, each block has the trivial
    // eigenvalue 1 and its own 2x2 inertia (1/36 and 1/16). Factor 1 (eigenvalue 1) separates
    // the blocks: with block masses 5/11 and 6/11, standard coordinates +x and -y with
    // 5x = 6y and (5x^2 + 6y^2)/11 = 1, so x = sqrt(6/5), y = sqrt(5/6).
    KeloCase c;
    c.rowNames = {"A", "B", "C", "D"};
    c.colNames = {"a", "b", "c", "d"};
    c.rows = {{1, 1, 0, 0}, {1, 2, 0, 0}, {0, 0, 1, 1}, {0, 0, 3, 1}};
    c.nf = 3;
    WorkFolder folder;
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 3);
    ASSERT_EQ(tmp.points.size(), 8u);
    EXPECT_NEAR(tmp.inertia, 1.0 + 1.0 / 16 + 1.0 / 36, 1e-5);
    EXPECT_NEAR(tmp.eigen[0][0], 1.0, 1e-5);
    EXPECT_NEAR(tmp.eigen[1][0], 1.0 / 16, 1e-6);
    EXPECT_NEAR(tmp.eigen[2][0], 1.0 / 36, 1e-6);
    const double x = std::sqrt(6.0 / 5), y = std::sqrt(5.0 / 6);
    const double s = tmp.points[0].values[2] > 0 ? 1 : -1;
    const double expected[8] = {x, x, -y, -y, x, x, -y, -y};  // columns a..d, rows A..D
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(tmp.points[k].values[2], s * expected[k], 1e-4) << k;
    // Factor 2 lies in block {C,D}: column c at -sqrt(1/16) sqrt(11/6) sqrt(1/2) (its block's
    // standard coordinate -sqrt(2/4) rescaled to the whole table), column d at twice that with
    // the other sign; block {A,B} points are at 0.
    const double c2 = 0.25 * std::sqrt(11.0 / 6) * std::sqrt(0.5);
    const double s2 = tmp.points[3].values[3] > 0 ? 1 : -1;
    EXPECT_NEAR(tmp.points[2].values[3], -s2 * c2, 1e-4);
    EXPECT_NEAR(tmp.points[3].values[3], s2 * 2 * c2, 1e-4);
    EXPECT_NEAR(tmp.points[0].values[3], 0.0, 1e-4);
}

TEST(KeloResults, ZeroColumnAndZeroEigenvalueFinishWithZeros) {
    // Two columns with the profiles (1,0), (0,1), (1/2,1/2) of equal masses: chi-square 4 on
    // N = 6, one inertia of 2/3; row coordinates +1, -1, 0; column coordinates +-sqrt(2/3).
    // A third, empty column gives a second eigenvalue of 0.
    KeloCase c;
    c.rowNames = {"A", "B", "C"};
    c.colNames = {"X", "Y", "Z"};
    c.rows = {{2, 0, 0}, {0, 2, 0}, {1, 1, 0}};
    c.nf = 2;
    c.graphs = "1 1 65 2.5";
    c.options = "0 1";
    WorkFolder folder;
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const std::string tmpText = ReadFile(folder.File("kelo.tmp"));
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_EQ(tmpText.find("nan"), std::string::npos);
    EXPECT_EQ(listing.find("nan"), std::string::npos);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    ASSERT_EQ(tmp.points.size(), 6u);
    EXPECT_NEAR(tmp.inertia, 2.0 / 3, 1e-6);
    EXPECT_NEAR(tmp.eigen[0][0], 2.0 / 3, 1e-6);
    EXPECT_NEAR(tmp.eigen[0][1], 100.0, 1e-3);
    EXPECT_NEAR(tmp.eigen[1][0], 0.0, 1e-6);
    EXPECT_EQ(tmp.eigen[1][1], 0.0);
    const double s = tmp.points[3].values[2] > 0 ? 1 : -1;
    EXPECT_NEAR(tmp.points[3].values[2], s * 1.0, 1e-5);
    EXPECT_NEAR(tmp.points[4].values[2], -s * 1.0, 1e-5);
    EXPECT_NEAR(tmp.points[5].values[2], 0.0, 1e-5);
    EXPECT_NEAR(std::fabs(tmp.points[0].values[2]), std::sqrt(2.0 / 3), 1e-5);
    EXPECT_EQ(tmp.points[2].name, "Z");
    EXPECT_NEAR(tmp.points[2].values[0], 0.0, 1e-6);
    for (const TmpPoint& point : tmp.points)
        EXPECT_EQ(point.values[3], 0.0) << point.name;
    EXPECT_NE(listing.find("valor próprio nulo no factor  2"), std::string::npos);
    EXPECT_NE(listing.find("Perfis das colunas"), std::string::npos);
}

TEST(KeloResults, IdenticalProfilesGiveZeroInertiaWithANote) {
    // Every row is proportional to (1,2,3): no inertia, so no percentage or contribution.
    KeloCase c;
    c.rowNames = {"A", "B", "C"};
    c.colNames = {"X", "Y", "Z"};
    c.rows = {{1, 2, 3}, {2, 4, 6}, {3, 6, 9}};
    c.nf = 2;
    c.graphs = "1 1 65 2.5";
    WorkFolder folder;
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_NE(listing.find("inércia total nula"), std::string::npos);
    EXPECT_EQ(listing.find("nan"), std::string::npos);
    EXPECT_EQ(ReadFile(folder.File("kelo.tmp")).find("nan"), std::string::npos);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    EXPECT_NEAR(tmp.inertia, 0.0, 1e-6);
    for (const auto& eigen : tmp.eigen) {
        EXPECT_EQ(eigen[1], 0.0);
        EXPECT_EQ(eigen[2], 0.0);
    }
    EXPECT_NE(listing.find(" *  0.0  0.0  0.0  0.0  0.0  0.0 * 0.00 0.00"), std::string::npos);
}

TEST(KeloResults, TheUnitOfTheTableDoesNotChangeTheResults) {
    // The presence table of the binary correspondence case, R6 and Leve supplementary: the
    // active 5 x 3 table has the eigenvalues 1/2 and 1/6 (75 % and 25 % of 2/3). An active
    // row with no presence adds nothing: its profile, mass and coordinates are 0. The table
    // in any unit gives the same kelo.tmp, to the last digits of its values.
    KeloCase c;
    c.rowNames = {"R1", "R2", "R3", "R4", "R5", "R0", "R6"};
    c.colNames = {"Olho", "Cabe", "Alto", "Leve"};
    const std::vector<std::vector<double>> presence = {{1, 0, 1, 0}, {1, 1, 0, 0}, {0, 1, 1, 1}, {1, 0, 0, 1},
                                                       {0, 1, 1, 0}, {0, 0, 0, 1}, {1, 1, 0, 1}};
    c.nla = 6;
    c.nca = 3;
    c.rowFlags = "1111110";
    c.colFlags = "1110";
    c.nf = 2;
    std::vector<TmpFile> results;
    for (double unit : {1.0, 1e-7, 1e7}) {
        c.rows = presence;
        for (auto& row : c.rows)
            for (double& value : row)
                value *= unit;
        WorkFolder folder;
        c.Write(folder);
        ASSERT_EQ(KeloMain(folder.Path()), kKeloOk) << unit;
        results.push_back(ReadTmp(folder.File("kelo.tmp"), 2));
        ASSERT_EQ(results.back().points.size(), 11u) << unit;
    }
    const TmpFile& table = results[0];
    EXPECT_NEAR(table.inertia, 2.0 / 3, 1e-12);
    EXPECT_NEAR(table.eigen[0][0], 0.5, 1e-12);
    EXPECT_NEAR(table.eigen[1][0], 1.0 / 6, 1e-12);
    EXPECT_NEAR(table.eigen[0][1], 75.0, 1e-10);
    EXPECT_NEAR(table.eigen[1][2], 100.0, 1e-10);
    const TmpPoint& empty = table.points[9];
    EXPECT_EQ(empty.name, "R0");
    EXPECT_EQ(empty.values[0], 0.0);
    EXPECT_EQ(empty.values[2], 0.0);
    EXPECT_EQ(empty.values[3], 0.0);
    auto same = [](double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b)); };
    for (size_t k = 1; k < results.size(); ++k) {
        const TmpFile& scaled = results[k];
        EXPECT_TRUE(same(scaled.inertia, table.inertia)) << k << " " << scaled.inertia;
        for (size_t a = 0; a < 2; ++a)
            for (size_t v = 0; v < 3; ++v)
                EXPECT_TRUE(same(scaled.eigen[a][v], table.eigen[a][v])) << k << " " << scaled.eigen[a][v];
        for (size_t p = 0; p < table.points.size(); ++p)
            for (size_t v = 0; v < table.points[p].values.size(); ++v)
                EXPECT_TRUE(same(scaled.points[p].values[v], table.points[p].values[v]))
                    << k << " " << table.points[p].name << " " << scaled.points[p].values[v];
    }
}

TEST(KeloResults, ResultValuesNeverFuseOrOverflowInTheResultFile) {
    // Row T is active with a tiny mass m = 0.001/600.001; the supplementary column "s x" lies
    // wholly on it, so its squared distance is (1 - m)^2/m + (1 - m), about 6.0e5.
    KeloCase c;
    c.rowNames = {"A", "B", "C", "T"};
    c.colNames = {"a", "b", "c", "s x"};
    c.rows = {{100, 100, 0, 0}, {100, 0, 100, 0}, {0, 100, 100, 0}, {0.001, 0, 0, 5}};
    c.nca = 3;
    c.rowFlags = "1111";
    c.colFlags = "1110";
    c.nf = 2;
    WorkFolder folder;
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    ASSERT_EQ(tmp.points.size(), 8u);
    for (const TmpPoint& point : tmp.points)
        EXPECT_EQ(point.values.size(), 4u) << point.name;
    EXPECT_EQ(tmp.points[3].name, "s_x");
    const double m = 0.001 / 600.001;
    EXPECT_NEAR(tmp.points[3].values[1], (1 - m) * (1 - m) / m + (1 - m), 2.0);
    EXPECT_NE(ReadFile(folder.File("kelo.prn")).find(" s x   0.008 ******"), std::string::npos);
}

}  // namespace
