#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/team.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace fenola {
namespace {

ObjectTable MakeTable(std::size_t nlin, std::size_t ncol, std::vector<float> values) {
    ObjectTable t;
    t.nlin = nlin;
    t.ncol = ncol;
    t.y = std::move(values);
    return t;
}

// Three objects with non-negative values: row totals 4, 4, 2; grand total 10; column
// proportions 0.3, 0.3, 0.4; ranges 2, 2, 3.
ObjectTable Counts() { return MakeTable(3, 3, {1, 0, 3, 2, 2, 0, 0, 1, 1}); }

// d holds (2,1), (3,1), (3,2).
void ExpectTriangle(int idist, const ObjectTable& t, double d21, double d31, double d32) {
    Triangle d;
    ASSERT_FALSE(ComputeDissimilarities(t, idist, d).has_value());
    ASSERT_EQ(d.Order(), 3u);
    EXPECT_NEAR(d(1, 0), d21, 1e-6) << "idist " << idist;
    EXPECT_NEAR(d(2, 0), d31, 1e-6) << "idist " << idist;
    EXPECT_NEAR(d(2, 1), d32, 1e-6) << "idist " << idist;
}

TEST(Dissimilarity, MeasuresOnRawValuesByHand) {
    const ObjectTable t = Counts();
    // Squared differences over ncol^2 = 9.
    ExpectTriangle(kEuclidean, t, 14.0 / 9, 6.0 / 9, 6.0 / 9);
    // Profiles (.25 0 .75), (.5 .5 0), (0 .5 .5); squared differences over 0.3, 0.3, 0.4.
    ExpectTriangle(kChiSquare, t, 0.0625 / 0.3 + 0.25 / 0.3 + 0.5625 / 0.4, 0.0625 / 0.3 + 0.25 / 0.3 + 0.0625 / 0.4,
                   0.25 / 0.3 + 0.25 / 0.4);
    // Absolute differences over range x ncol = 6, 6, 9.
    ExpectTriangle(kGower, t, 1.0 / 6 + 2.0 / 6 + 3.0 / 9, 1.0 / 6 + 1.0 / 6 + 2.0 / 9, 2.0 / 6 + 1.0 / 6 + 1.0 / 9);
    // Absolute differences over the sum of the two totals.
    ExpectTriangle(kSteinhaus, t, 6.0 / 8, 4.0 / 6, 4.0 / 6);
    // Sum of minima m = 1 for every pair: 0.5 (m / ti + m / tj).
    ExpectTriangle(kKulczynski, t, 0.25, 0.375, 0.375);
    // Correlation of (1 0 3) and (2 2 0): sum of cross deviations -30/9 over sqrt(42/9 * 24/9).
    Triangle d;
    ASSERT_FALSE(ComputeDissimilarities(t, kCorrelation, d).has_value());
    EXPECT_NEAR(d(1, 0), -30.0 / std::sqrt(42.0 * 24.0), 1e-6);
}

// Every column is a permutation of 1 2 3, so its z-scores are a permutation of -1 0 1:
// the standardised objects are (-1 -1 0), (0 1 1), (1 0 -1).
ObjectTable Ranks() { return MakeTable(3, 3, {1, 1, 2, 2, 3, 3, 3, 2, 1}); }

TEST(Dissimilarity, MeasuresAfterStandardisingColumnsByHand) {
    ObjectTable t = Ranks();
    StandardiseColumns(t);
    const std::vector<float> expected{-1, -1, 0, 0, 1, 1, 1, 0, -1};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(t.y[i], expected[i], 1e-6);
    ExpectTriangle(kReducedEuclidean, t, 6.0 / 9, 6.0 / 9, 6.0 / 9);
    // Rows standardised again by their own mean and s: sqrt(3) (-1/3 -1/3 2/3),
    // sqrt(3) (-2/3 1/3 1/3), (1 0 -1); cross products over ncol - 1 = 2.
    ExpectTriangle(kCosTheta, t, 0.5, -std::sqrt(3.0) / 2, -std::sqrt(3.0) / 2);
}

TEST(Dissimilarity, ProportionalRowsCorrelateExactlyOne) {
    const ObjectTable t = MakeTable(3, 3, {1, 2, 4, 2, 4, 8, 5, 1, 1});
    Triangle d;
    ASSERT_FALSE(ComputeDissimilarities(t, kCorrelation, d).has_value());
    EXPECT_FLOAT_EQ(d(1, 0), 1.0f);
    SimilaritiesToDissimilarities(d.Values());
    EXPECT_EQ(d(1, 0), 0.0f);
}

TEST(Dissimilarity, SimilaritiesAreClampedBeforeTurningIntoDissimilarities) {
    std::vector<float> d{1.0000002f, 0.25f, -1.5f, -0.5f};
    SimilaritiesToDissimilarities(d);
    EXPECT_EQ(d[0], 0.0f);
    EXPECT_EQ(d[1], 0.75f);
    EXPECT_EQ(d[2], 2.0f);
    EXPECT_EQ(d[3], 1.5f);
}

TEST(Dissimilarity, ColumnsAndRowsWithoutSpreadContributeNothing) {
    // Column 2 is constant and column 4 is zero everywhere.
    const ObjectTable t = MakeTable(3, 5, {1, 7, 0, 0, 3, 2, 7, 2, 0, 0, 0, 7, 1, 0, 1});
    // Gower: the constant column has no range; the others have ranges 2, 2, 3 and ncol = 5.
    ExpectTriangle(kGower, t, 1.0 / 10 + 2.0 / 10 + 3.0 / 15, 1.0 / 10 + 1.0 / 10 + 2.0 / 15,
                   2.0 / 10 + 1.0 / 10 + 1.0 / 15);

    // KI-2 with a column of zeros gives the same values as without it.
    const ObjectTable with_zero = MakeTable(3, 4, {1, 0, 0, 3, 2, 0, 2, 0, 0, 0, 1, 1});
    Triangle a;
    Triangle b;
    ASSERT_FALSE(ComputeDissimilarities(with_zero, kChiSquare, a).has_value());
    ASSERT_FALSE(ComputeDissimilarities(Counts(), kChiSquare, b).has_value());
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(a.Values()[i], b.Values()[i], 1e-6);

    // A constant column standardises to 0 (not NaN); a constant row correlates 0 with any other.
    ObjectTable constant = MakeTable(3, 3, {4, 4, 4, 1, 2, 3, 3, 1, 2});
    Triangle d;
    ASSERT_FALSE(ComputeDissimilarities(constant, kCorrelation, d).has_value());
    EXPECT_EQ(d(1, 0), 0.0f);
    EXPECT_EQ(d(2, 0), 0.0f);
    EXPECT_NEAR(d(2, 1), -0.5, 1e-6);
    ObjectTable column = MakeTable(3, 2, {5, 1, 5, 2, 5, 3});
    StandardiseColumns(column);
    EXPECT_EQ(column.y[0], 0.0f);
    EXPECT_EQ(column.y[2], 0.0f);
    EXPECT_EQ(column.y[4], 0.0f);
    EXPECT_FLOAT_EQ(column.y[5], 1.0f);
}

TEST(Dissimilarity, ZeroRowTotalIsReportedForTheMeasuresThatDivideByIt) {
    const ObjectTable t = MakeTable(3, 2, {1, 2, 0, 0, 3, 1});
    for (int idist : {kChiSquare, kSteinhaus, kKulczynski}) {
        Triangle d;
        const auto object = ComputeDissimilarities(t, idist, d);
        ASSERT_TRUE(object.has_value()) << idist;
        EXPECT_EQ(*object, 1u);
    }
    Triangle d;
    EXPECT_FALSE(ComputeDissimilarities(t, kEuclidean, d).has_value());
    EXPECT_FALSE(ComputeDissimilarities(t, kGower, d).has_value());
}

TEST(Dissimilarity, TriangleHoldsEveryPairOnceInItsOwnPlace) {
    // Orders around the bands of rows, and one large enough to be filled on several threads.
    const std::size_t band = Triangle::kBand;
    Team team;
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, band - 1, band, band + 1, 2 * band + 1,
                          7 * band + 3, std::size_t{700}}) {
        const auto value = [](std::size_t i, std::size_t j) { return static_cast<double>(i * 1000 + j); };
        const Triangle d = Triangle::Filled(n, value, team);
        ASSERT_EQ(d.Values().size(), TriangleSize(n));
        std::vector<int> seen(TriangleSize(n), 0);
        std::vector<float> rows;
        for (std::size_t i = 1; i < n; ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                const std::size_t at = d.Index(i, j);
                ASSERT_LT(at, seen.size()) << n << ' ' << i << ' ' << j;
                ASSERT_EQ(++seen[at], 1) << n << ' ' << i << ' ' << j;
                ASSERT_EQ(d(i, j), static_cast<float>(value(i, j))) << n;
                rows.push_back(static_cast<float>(value(i, j)));
            }
        }
        const Triangle from_rows = Triangle::FromRows(n, rows);
        EXPECT_TRUE(std::ranges::equal(from_rows.Values(), d.Values())) << n;
    }
}

}  // namespace
}  // namespace fenola
