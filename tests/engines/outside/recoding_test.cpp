// Cutting quantitative columns into classes: the three rules, ties, empty classes and values
// outside the given limits.
#include "engines/outside/dazi/recoding.h"

#include <gtest/gtest.h>

namespace {

TEST(RecodeColumn, EqualWidthPutsValuesOnACutInTheLowerClass) {
    // Between 0 and 10 in 4 classes: cuts 2.5, 5 and 7.5.
    const ColumnRecoding r = RecodeColumn({0, 2.5, 2.6, 5, 10, 7.5, 7.6}, {1, 4, {}});
    EXPECT_EQ(r.classOf, (std::vector<int>{0, 0, 1, 1, 3, 2, 3}));
    EXPECT_EQ(r.counts, (std::vector<int>{2, 2, 1, 2}));
    EXPECT_EQ(r.lower, (std::vector<double>{0, 2.5, 5, 7.5}));
    EXPECT_EQ(r.upper, (std::vector<double>{2.5, 5, 7.5, 10}));
    // A middle class that no value reaches stays empty.
    const ColumnRecoding gap = RecodeColumn({0, 1, 9, 10}, {1, 3, {}});
    EXPECT_EQ(gap.counts, (std::vector<int>{2, 0, 2}));
    // A constant column: everything in the first class.
    EXPECT_EQ(RecodeColumn({4, 4, 4}, {1, 2, {}}).counts, (std::vector<int>{3, 0}));
}

TEST(RecodeColumn, EqualFrequencyNeverSplitsTies) {
    // 12 values in 3 classes: cuts at ranks 4 and 8 (35 and 41); the four 35s stay together.
    const ColumnRecoding r = RecodeColumn({23, 35, 41, 35, 52, 35, 60, 18, 44, 35, 27, 50}, {2, 3, {}});
    EXPECT_EQ(r.classOf, (std::vector<int>{0, 0, 1, 0, 2, 0, 2, 0, 2, 0, 0, 2}));
    EXPECT_EQ(r.counts, (std::vector<int>{7, 1, 4}));
    EXPECT_EQ(r.lower, (std::vector<double>{18, 35, 41}));
    EXPECT_EQ(r.upper, (std::vector<double>{35, 41, 60}));
    // Both cuts fall on the same tied value: the middle class is empty.
    const ColumnRecoding empty = RecodeColumn({1, 1, 1, 1, 2, 3}, {2, 3, {}});
    EXPECT_EQ(empty.counts, (std::vector<int>{4, 0, 2}));
    // Ranks rounded up: 7 values in 2 classes cut at rank 4.
    EXPECT_EQ(RecodeColumn({7, 6, 5, 4, 3, 2, 1}, {2, 2, {}}).counts, (std::vector<int>{4, 3}));
}

TEST(RecodeColumn, GivenLimitsCountValuesOutsideThem) {
    const ColumnRecoding r = RecodeColumn({-5, 0, 10, 10.5, 30, 31, 45}, {3, 3, {0, 10, 20, 30}});
    EXPECT_EQ(r.classOf, (std::vector<int>{0, 0, 0, 1, 2, 2, 2}));
    EXPECT_EQ(r.counts, (std::vector<int>{3, 1, 3}));
    EXPECT_EQ(r.below, 1);
    EXPECT_EQ(r.above, 2);
    EXPECT_EQ(r.lower, (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(r.upper, (std::vector<double>{10, 20, 30}));
    // Two equal limits make an empty class.
    EXPECT_EQ(RecodeColumn({1, 5, 9}, {3, 3, {0, 5, 5, 10}}).counts, (std::vector<int>{2, 0, 1}));
}

TEST(RecodeColumn, EqualWidthOverARangeBeyondTheLargestDouble) {
    // From -1e308 to 1e308 the width overflows: the cuts stand a third and two thirds of the
    // way, and each value keeps to its end of the range.
    std::vector<double> values(5, -1e308);
    values.insert(values.end(), 5, 1e308);
    const ColumnRecoding r = RecodeColumn(values, {1, 3, {}});
    EXPECT_EQ(r.classOf, (std::vector<int>{0, 0, 0, 0, 0, 2, 2, 2, 2, 2}));
    EXPECT_EQ(r.counts, (std::vector<int>{5, 0, 5}));
    ASSERT_EQ(r.upper.size(), 3u);
    EXPECT_NEAR(r.upper[0] / 1e308, -1.0 / 3, 1e-15);
    EXPECT_NEAR(r.upper[1] / 1e308, 1.0 / 3, 1e-15);
    EXPECT_EQ(r.upper[2], 1e308);
}

}  // namespace
