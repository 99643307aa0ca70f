// Order statistics on small tables worked out by hand, and the sort against a reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "app/data_table.h"
#include "stats/order_statistics.h"

namespace {

constexpr float kCode = -9.9f;

// A table of one column per list of values; NAN stands for an absent cell (the code).
CDataTable MakeTable(const std::vector<std::vector<double>>& columns) {
    size_t rows = 0;
    for (const auto& c : columns) rows = std::max(rows, c.size());
    CDataTable t;
    t.SetSize(static_cast<int>(rows), static_cast<int>(columns.size()));
    t.SetMissingCode(kCode);
    for (size_t v = 0; v < columns.size(); ++v) {
        t.SetVariableName(static_cast<int>(v + 1), FormatString("V%d", static_cast<int>(v + 1)));
        for (size_t r = 0; r < rows; ++r) {
            double x = r < columns[v].size() ? columns[v][r] : std::nan("");
            t.SetValue(static_cast<int>(r + 1), static_cast<int>(v + 1), std::isnan(x) ? -9.9 : x);
        }
    }
    t.ComputeMeanVariance();
    return t;
}

struct Quartiles {
    double q1, median, q3;
};

Quartiles QuartilesOf(const std::vector<double>& values) {
    CDataTable t = MakeTable({values});
    COrderStatistics s(t, {1}, kCode);
    Quartiles q{};
    q.median = s.GetQuartiles(0, q.q1, q.q3);
    return q;
}

TEST(OrderStatistics, QuartilesFollowThePositionRuleForEachRemainderOfN) {
    struct Case {
        std::vector<double> values;
        float q1, median, q3;
    };
    const Case cases[] = {
        {{3, 1, 2, 2}, 1.5f, 2.0f, 2.5f},                 // n = 4m
        {{1, 2, 3, 4, 5, 6}, 2.0f, 3.5f, 5.0f},           // n = 4m + 2
        {{5, 4, 3, 2, 1}, 2.0f, 3.0f, 4.0f},              // n = 4m + 1
        {{7, 6, 5, 4, 3, 2, 1}, 2.0f, 4.0f, 6.0f},        // n = 4m + 3
        {{8, 1, 7, 2, 6, 3, 5, 4}, 2.5f, 4.5f, 6.5f},     // n = 8: (x2+x3)/2, (x4+x5)/2, (x6+x7)/2
        {{-2.5}, -2.5f, -2.5f, -2.5f},                    // a single value
        {{4, -1}, -1.0f, 1.5f, 4.0f},                     // two values
        {{3, 1, 2}, 1.0f, 2.0f, 3.0f},                    // three values
    };
    for (const Case& c : cases) {
        Quartiles q = QuartilesOf(c.values);
        EXPECT_EQ(q.q1, c.q1) << c.values.size();
        EXPECT_EQ(q.median, c.median) << c.values.size();
        EXPECT_EQ(q.q3, c.q3) << c.values.size();
    }
}

TEST(OrderStatistics, AbsentCellsAndTiesAreHandledInEveryStatistic) {
    // Rows hold the code exactly, and once a value within 1e-6 of it after narrowing;
    // -9.89 is present.
    CDataTable t = MakeTable({{2, NAN, 5, 2, -9.9000001, 1, 5, -9.89, 2}});
    COrderStatistics s(t, {1}, kCode);
    ASSERT_EQ(s.GetVariableCount(), 1);
    EXPECT_EQ(s.GetValueCount(0), 7);
    EXPECT_EQ(s.GetMin(0), static_cast<double>(-9.89f));
    EXPECT_EQ(s.GetMax(0), 5.0);
    // Sorted: -9.89 1 2 2 2 5 5 (n = 7 = 4*1 + 3): x2, x4, x6.
    double q1 = 0, q3 = 0;
    EXPECT_EQ(s.GetQuartiles(0, q1, q3), 2.0f);
    EXPECT_EQ(q1, 1.0f);
    EXPECT_EQ(q3, 5.0f);
    EXPECT_EQ(s.GetMode(0), 2.0f);
    std::vector<float> distinct = {99.0f};
    EXPECT_EQ(s.GetDistinctValues(0, distinct), 4);
    EXPECT_EQ(distinct, (std::vector<float>{99.0f, -9.89f, 1.0f, 2.0f, 5.0f}));  // appended, not cleared
}

TEST(OrderStatistics, ModePrefersTheFirstOfEquallyLongRunsAndCountsTheLastRun) {
    CDataTable t = MakeTable({{3, 2, 1, 3, 2}, {3, 1, 2, 3}, {7}, {4, 4, 1, 1, 1}});
    COrderStatistics s(t, {1, 2, 3, 4}, kCode);
    EXPECT_EQ(s.GetMode(0), 2.0f);
    EXPECT_EQ(s.GetMode(1), 3.0f);
    EXPECT_EQ(s.GetMode(2), 7.0f);
    EXPECT_EQ(s.GetMode(3), 1.0f);
}

TEST(OrderStatistics, CountBelowResumesFromItsCursorAndCollectStopsAtTheBound) {
    CDataTable t = MakeTable({{5, 2, 4, 1, 3, 2}, {10, 20}});
    COrderStatistics s(t, {1, 2}, kCode);
    EXPECT_EQ(s.CountBelow(2.0f, 0, true, 0), 3);
    EXPECT_EQ(s.CountBelow(4.0f, 0, false, 0), 2);
    EXPECT_EQ(s.CountBelow(4.5f, 0, false, 1), 0);  // the value 5 is never counted
    EXPECT_EQ(s.CountBelow(100.0f, 0, true, 1), 6);  // a restart counts from the start
    EXPECT_EQ(s.CountBelow(15.0f, 1, true, 0), 1);

    std::vector<double> below, above;
    s.CollectBelow(3.0f, 0, below);
    EXPECT_EQ(below, (std::vector<double>{1, 2, 2}));
    s.CollectAbove(3.0f, 0, above);
    EXPECT_EQ(above, (std::vector<double>{5, 4}));
    s.CollectAbove(5.0f, 0, above);  // nothing beyond the maximum
    EXPECT_EQ(above.size(), 2u);
}

TEST(OrderStatistics, SkewnessMatchesTheTextbookFormula) {
    std::vector<double> x = {1, 2, 2, 3, 9, -4, 0.5};
    CDataTable t = MakeTable({x});
    COrderStatistics s(t, {1}, kCode);
    double n = static_cast<double>(x.size()), mean = 0, ss = 0, cube = 0;
    for (double v : x) mean += v;
    mean /= n;
    for (double v : x) ss += (v - mean) * (v - mean);
    double sd = std::sqrt(ss / (n - 1));
    for (double v : x) cube += std::pow((v - mean) / sd, 3);
    EXPECT_NEAR(s.GetSkewness(0, sd), n / ((n - 1) * (n - 2)) * cube, 1e-12);
}

TEST(OrderStatistics, VariablesAreReadInSelectionOrderWithTheirDescriptions) {
    CDataTable t = MakeTable({{1, 2}, {3, 4}, {5, 6}});
    t.SetVariableType(3, 0);
    COrderStatistics s(t, {3, 1}, kCode);
    ASSERT_EQ(s.GetVariableCount(), 2);
    EXPECT_EQ(s.GetVariableName(0), "V3");
    EXPECT_EQ(s.GetVariable(0), t.GetVariable(3));
    EXPECT_EQ(s.GetVariableType(1), 0);  // counted from 1
    EXPECT_EQ(s.GetVariableType(2), 1);
    EXPECT_EQ(s.GetMean(1), 1.5);
    EXPECT_EQ(s.GetVariance(1), 0.5);
    EXPECT_EQ(s.GetMax(0), 6.0);
}

TEST(OrderStatistics, AVariableWithoutPresentValuesHasAnEmptyList) {
    CDataTable t = MakeTable({{NAN, NAN}});
    COrderStatistics s(t, {1}, kCode);
    EXPECT_EQ(s.GetValueCount(0), 0);
    double q1 = 0, q3 = 0;
    EXPECT_TRUE(std::isnan(s.GetQuartiles(0, q1, q3)));
    EXPECT_TRUE(std::isnan(q1) && std::isnan(q3));
    EXPECT_TRUE(std::isnan(s.GetMin(0)) && std::isnan(s.GetMax(0)) && std::isnan(s.GetMode(0)));
    std::vector<float> out;
    EXPECT_EQ(s.GetDistinctValues(0, out), 0);
    EXPECT_EQ(s.CountBelow(1.0f, 0, true, 0), 0);
}

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// The sort must give exactly what a stable comparison sort gives: the same order, with
// equal values (zero and negative zero among them) in their original order.
TEST(OrderStatistics, SortAgreesWithAStableComparisonSort) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> wide(-1e7f, 1e7f);
    std::uniform_int_distribution<int> small(-5, 5);
    for (int round = 0; round < 4; ++round) {
        std::vector<float> v;
        for (int i = 0; i < 20000; ++i) {
            switch (i % 4) {
            case 0: v.push_back(wide(rng)); break;
            case 1: v.push_back(static_cast<float>(small(rng))); break;
            case 2: v.push_back(i % 8 == 2 ? -0.0f : 0.0f); break;
            default: v.push_back(static_cast<float>(small(rng)) * 1e-30f); break;
            }
        }
        if (round == 3) v.resize(1);
        std::vector<float> expected = v;
        std::stable_sort(expected.begin(), expected.end());
        SortValuesStable(v);
        ASSERT_EQ(v.size(), expected.size());
        for (size_t i = 0; i < v.size(); ++i) ASSERT_EQ(Bits(v[i]), Bits(expected[i])) << i;
    }
}

}  // namespace

namespace {
// A large table gives every present cell once, in ascending order, whatever the runs of
// absent cells and ties.
TEST(OrderStatistics, LargeTablesGiveTheSameListsAsASimpleGatherAndSort) {
    const int rows = 600001;  // lists of more than 2 MB: blocks straight from the system
    CDataTable t;
    t.SetSize(rows, 3);
    t.SetMissingCode(kCode);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> pick(0, 9);
    std::normal_distribution<double> normal(0.0, 100.0);
    for (int r = 1; r <= rows; ++r)
        for (int v = 1; v <= 3; ++v) {
            double x = v == 2 ? static_cast<double>(pick(rng)) : normal(rng);  // variable 2: ties only
            if (pick(rng) == 0 || (v == 3 && r > rows / 2)) x = -9.9;         // absent cells, a long run of them
            t.SetValue(r, v, x);
        }
    t.ComputeMeanVariance();
    COrderStatistics s(t, {3, 1, 2}, kCode);
    const int order[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        std::vector<float> expected;
        for (int r = 1; r <= rows; ++r) {
            float x = static_cast<float>(t.GetValue(r, order[i]));
            if (!FloatEquals(x, kCode)) expected.push_back(x);
        }
        std::stable_sort(expected.begin(), expected.end());
        auto values = s.List(i).Values();
        ASSERT_EQ(values.size(), expected.size()) << i;
        EXPECT_TRUE(std::equal(values.begin(), values.end(), expected.begin())) << i;
    }
}
}  // namespace
