// kelo's numbers against an independent double-precision analysis computed here: small
// factors, supplementary points, weak association and very large counts.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engines/kelo/kelo.h"
#include "tests/engines/kelo/kelo_test_support.h"
#include "tests/engines/kelo/reference_ca.h"

namespace {

using kelo_test::KeloCase;
using kelo_test::ReadFile;
using kelo_test::ReadTmp;
using kelo_test::ReferenceCa;
using kelo_test::TmpFile;
using kelo_test::WorkFolder;

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

// A case whose last rows and columns are supplementary.
KeloCase MakeCase(const std::vector<std::vector<double>>& rows, int activeRows, int activeColumns, int nf) {
    KeloCase c;
    const int nl = static_cast<int>(rows.size()), nc = static_cast<int>(rows[0].size());
    for (int i = 0; i < nl; ++i)
        c.rowNames.push_back("R" + std::to_string(i + 1));
    for (int j = 0; j < nc; ++j)
        c.colNames.push_back("C" + std::to_string(j + 1));
    c.rows = rows;
    c.nf = nf;
    if (activeRows < nl || activeColumns < nc) {
        c.nla = activeRows;
        c.nca = activeColumns;
        c.rowFlags = std::string(static_cast<size_t>(activeRows), '1') + std::string(static_cast<size_t>(nl - activeRows), '0');
        c.colFlags = std::string(static_cast<size_t>(activeColumns), '1') +
                     std::string(static_cast<size_t>(nc - activeColumns), '0');
    }
    return c;
}

// Every coordinate of kelo.tmp (columns, then rows) against the reference, up to the sign of
// each factor; kelo.tmp prints 5 decimals, so agreement to the printed digits is 5e-6.
void ExpectCoordinatesAgree(const TmpFile& tmp, const ReferenceCa& reference, int nf, double tolerance) {
    const size_t nc = reference.columnCoord.size(), nl = reference.rowCoord.size();
    ASSERT_EQ(tmp.points.size(), nc + nl);
    for (int a = 0; a < nf; ++a) {
        // The sign from the column farthest from the origin on this factor.
        size_t far = 0;
        for (size_t j = 0; j < nc; ++j)
            if (std::fabs(reference.columnCoord[j][a]) > std::fabs(reference.columnCoord[far][a]))
                far = j;
        const double sign = (tmp.points[far].values[2 + a] >= 0) == (reference.columnCoord[far][a] >= 0) ? 1 : -1;
        for (size_t j = 0; j < nc; ++j)
            EXPECT_NEAR(tmp.points[j].values[2 + a], sign * reference.columnCoord[j][a], tolerance)
                << "column " << j + 1 << " factor " << a + 1;
        for (size_t i = 0; i < nl; ++i)
            EXPECT_NEAR(tmp.points[nc + i].values[2 + a], sign * reference.rowCoord[i][a], tolerance)
                << "row " << i + 1 << " factor " << a + 1;
    }
}

TEST(KeloPrecision, SmallFactorsAndSupplementaryPointsToThePrintedDigits) {
    // 600 x 10 presence table with columns of very different frequencies, three
    // supplementary rows and two supplementary columns: the last factors hold a few percent
    // of the inertia.
    std::mt19937 random(11);
    const double presence[12] = {0.9, 0.8, 0.7, 0.6, 0.5, 0.45, 0.3, 0.2, 0.1, 0.05, 0.5, 0.2};
    std::vector<std::vector<double>> rows(603, std::vector<double>(12));
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < 12; ++j) {
            // Two groups of rows that favour different columns make the first factors large.
            const double shift = (i % 3 == 0 ? 0.3 : -0.15) * (j < 5 ? 1 : -1);
            rows[i][j] = std::bernoulli_distribution(std::clamp(presence[j] + shift, 0.01, 0.99))(random) ? 1 : 0;
        }
    const int nf = 8;
    const ReferenceCa reference(rows, 600, 10, nf);
    WorkFolder folder;
    MakeCase(rows, 600, 10, nf).Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), nf);
    EXPECT_NEAR(tmp.inertia, reference.inertia, 1e-12);
    for (int a = 0; a < nf; ++a) {
        EXPECT_NEAR(tmp.eigen[a][0], reference.eigen[a], 1e-12) << a;
        EXPECT_NEAR(tmp.eigen[a][1], 100 * reference.eigen[a] / reference.inertia, 1e-9) << a;
    }
    ASSERT_LT(tmp.eigen[nf - 1][1], 9.0);  // the last factor is a small one
    ExpectCoordinatesAgree(tmp, reference, nf, 5.01e-6);
}

TEST(KeloPrecision, WeakAssociationKeepsItsSmallFactors) {
    // Counts of about 10000 with two row-by-column patterns of 42.5 and 8.5 added: total inertia
    // about 1.3e-5, the second factor about 7.4% of it with an eigenvalue below 1e-6. One
    // supplementary column and one supplementary row.
    const std::vector<std::vector<double>> rows = {
        {10051, 9966, 9983, 10005},        {9966, 10051, 9983, 9995},   {10034, 9949, 10017, 10000},
        {9949, 10034, 10017, 10000},       {10042.5, 9957.5, 10000, 10003}, {9957.5, 10042.5, 10000, 9997},
        {10010, 9990, 10000, 10002}};
    const ReferenceCa reference(rows, 6, 3, 2);
    ASSERT_NEAR(reference.inertia, 1.3e-5, 0.1e-5);
    ASSERT_LT(reference.eigen[1], 1e-6);
    ASSERT_NEAR(reference.eigen[1] / reference.inertia, 0.074, 0.005);
    WorkFolder folder;
    MakeCase(rows, 6, 3, 2).Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    EXPECT_NEAR(tmp.inertia, reference.inertia, 1e-15);
    for (int a = 0; a < 2; ++a) {
        EXPECT_NEAR(tmp.eigen[a][0], reference.eigen[a], 1e-15) << a;
        EXPECT_NEAR(tmp.eigen[a][1], 100 * reference.eigen[a] / reference.inertia, 1e-6) << a;
    }
    EXPECT_NEAR(tmp.eigen[1][2], 100.0, 1e-6);
    ExpectCoordinatesAgree(tmp, reference, 2, 5.01e-6);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_FALSE(Contains(listing, "valor próprio nulo"));
    EXPECT_TRUE(Contains(listing, "   2    0.00000   7.4"));
}

TEST(KeloPrecision, LargeCountsGiveTheResultsOfTheTableOrAClearRefusal) {
    // The same table scaled by 1e19 (the products of column sums pass the float range) keeps
    // its inertia and coordinates.
    const std::vector<std::vector<double>> base = {{4, 2, 3, 2}, {4, 3, 7, 4}, {25, 10, 12, 4}, {18, 24, 33, 13},
                                                   {10, 6, 7, 2}};
    std::vector<std::vector<double>> scaled = base;
    for (auto& row : scaled)
        for (double& v : row)
            v *= 1e19;
    const ReferenceCa reference(base, 5, 4, 3);
    {
        WorkFolder folder;
        MakeCase(scaled, 5, 4, 3).Write(folder);
        ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
        const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 3);
        EXPECT_NEAR(tmp.inertia, reference.inertia, 1e-12);
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(tmp.eigen[a][0], reference.eigen[a], 1e-12) << a;
        ExpectCoordinatesAgree(tmp, reference, 3, 5.01e-6);
    }
    // One cell of 3e38 beside small counts: nearly all the mass in one cell.
    std::vector<std::vector<double>> huge = base;
    huge[1][2] = 3e38;
    const ReferenceCa hugeReference(huge, 5, 4, 3);
    {
        WorkFolder folder;
        MakeCase(huge, 5, 4, 3).Write(folder);
        ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
        const TmpFile tmp = ReadTmp(folder.File("kelo.tmp"), 3);
        EXPECT_NEAR(tmp.inertia, hugeReference.inertia, 1e-9 * hugeReference.inertia);
        EXPECT_NEAR(tmp.eigen[0][0], hugeReference.eigen[0], 1e-9 * hugeReference.inertia);
        EXPECT_NEAR(tmp.eigen[0][1], 100 * hugeReference.eigen[0] / hugeReference.inertia, 1e-6);
        EXPECT_LE(tmp.eigen[2][2], 100.0 + 1e-6);
    }
    // Counts whose sums pass the double range are refused in the listing, without results.
    std::vector<std::vector<double>> beyond = base;
    beyond[0][0] = 1.5e308;
    beyond[0][1] = 1.5e308;
    {
        WorkFolder folder;
        KeloCase c = MakeCase(beyond, 5, 4, 3);
        c.Write(folder);
        EXPECT_EQ(KeloMain(folder.Path()), kKeloNumericError);
        EXPECT_TRUE(Contains(ReadFile(folder.File("kelo.prn")), "Os valores dos dados são grandes demais para o cálculo"));
        EXPECT_FALSE(std::filesystem::exists(folder.File("kelo.tmp")));
    }
}

}  // namespace
