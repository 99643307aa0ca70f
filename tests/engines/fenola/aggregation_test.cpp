#include "engines/fenola/aggregation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/hierarchy.h"

namespace fenola {
namespace {

// The reference: at every step a full scan of the triangle in storage order, keeping every
// live entry not above the smallest so far.
std::vector<Step> PlainAggregate(Triangle d, int method, const FlexibleCoefficients& c) {
    const std::size_t n = d.Order();
    std::vector<char> live(n, 1);
    std::vector<std::size_t> size(n, 1);
    std::vector<std::size_t> label(n);
    for (std::size_t i = 0; i < n; ++i) label[i] = i + 1;
    std::vector<Step> steps;
    for (std::size_t k = 1; k < n; ++k) {
        bool found = false;
        std::size_t bi = 0;
        std::size_t bj = 0;
        for (std::size_t i = 1; i < n; ++i) {
            if (!live[i]) continue;
            for (std::size_t j = 0; j < i; ++j) {
                if (!live[j]) continue;
                const float v = d(i, j);
                if (!found || !LessNanLast(d(bi, bj), v)) {
                    found = true;
                    bi = i;
                    bj = j;
                }
            }
        }
        const float level = d(bi, bj);
        steps.push_back({bj + 1, bi + 1, label[bj], label[bi], level, size[bj] + size[bi]});
        for (std::size_t m = 0; m < n; ++m) {
            if (!live[m] || m == bi || m == bj) continue;
            float& a = m < bj ? d(bj, m) : d(m, bj);
            const float b = m < bi ? d(bi, m) : d(m, bi);
            a = UpdatedDissimilarity(method, c, a, b, size[bj], size[bi], level);
        }
        live[bi] = 0;
        size[bj] += size[bi];
        size[bi] = 0;
        label[bj] = n + k;
    }
    return steps;
}

void ExpectSameSteps(const std::vector<Step>& a, const std::vector<Step>& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].left, b[k].left) << what << " step " << k + 1;
        EXPECT_EQ(a[k].right, b[k].right) << what << " step " << k + 1;
        EXPECT_EQ(a[k].left_label, b[k].left_label) << what << " step " << k + 1;
        EXPECT_EQ(a[k].right_label, b[k].right_label) << what << " step " << k + 1;
        EXPECT_EQ(a[k].size, b[k].size) << what << " step " << k + 1;
        EXPECT_TRUE(SameValue(a[k].level, b[k].level)) << what << " step " << k + 1;
        if (::testing::Test::HasFailure()) return;
    }
}

// Four objects: d(2,1) = 2, d(3,1) = 3, d(3,2) = 5, d(4,1) = 10, d(4,2) = 12, d(4,3) = 14.
Triangle Four() { return Triangle::FromRows(4, {2, 3, 5, 10, 12, 14}); }

std::vector<float> Levels(const std::vector<Step>& steps) {
    std::vector<float> levels;
    for (const Step& s : steps) levels.push_back(s.level);
    return levels;
}

TEST(Aggregation, FiveMethodsByHand) {
    // Every method joins 1-2, then (1 2)-3, then 4; only the levels differ.
    const FlexibleCoefficients none{};
    Triangle d = Four();
    const std::vector<Step> single = Aggregate(d, kSingleLink, none);
    ASSERT_EQ(single.size(), 3u);
    EXPECT_EQ(single[0].left, 1u);
    EXPECT_EQ(single[0].right, 2u);
    EXPECT_EQ(single[1].left, 1u);
    EXPECT_EQ(single[1].right, 3u);
    EXPECT_EQ(single[1].left_label, 5u);
    EXPECT_EQ(single[1].right_label, 3u);
    EXPECT_EQ(single[2].left, 1u);
    EXPECT_EQ(single[2].right, 4u);
    EXPECT_EQ(single[2].left_label, 6u);
    EXPECT_EQ(single[2].right_label, 4u);
    EXPECT_EQ(single[2].size, 4u);
    EXPECT_EQ(Levels(single), (std::vector<float>{2, 3, 10}));

    d = Four();
    EXPECT_EQ(Levels(Aggregate(d, kCompleteLink, none)), (std::vector<float>{2, 5, 14}));
    // UPGMA: (3 + 5) / 2 = 4, then the mean of 10, 12, 14.
    d = Four();
    EXPECT_EQ(Levels(Aggregate(d, kAverageLink, none)), (std::vector<float>{2, 4, 12}));
    // WPGMA: (10 + 12) / 2 = 11, then (11 + 14) / 2.
    d = Four();
    EXPECT_EQ(Levels(Aggregate(d, kWeightedLink, none)), (std::vector<float>{2, 4, 12.5f}));
    // A code outside 1 to 5 is single link.
    d = Four();
    EXPECT_EQ(Levels(Aggregate(d, 9, none)), (std::vector<float>{2, 3, 10}));
    // Flexible with a level term: 0.5 a + 0.5 b + the step's level: 4 + 2, then 13.5 + 6.
    d = Four();
    EXPECT_EQ(Levels(Aggregate(d, kFlexible, {0.5f, 0.5f, 1.0f, 0.0f})), (std::vector<float>{2, 6, 19.5f}));
}

TEST(Aggregation, EqualMinimaJoinTheOneStoredLaterFirst) {
    // All three pairs at 1: the last in storage order is (3, 2).
    Triangle d = Triangle::FromRows(3, {1, 1, 1});
    std::vector<Step> steps = Aggregate(d, kSingleLink, {});
    EXPECT_EQ(steps[0].left, 2u);
    EXPECT_EQ(steps[0].right, 3u);
    // d(2,1) = d(4,1) = 1 are the minima: (4, 1) lies later.
    d = Triangle::FromRows(4, {1, 2, 3, 1, 5, 6});
    steps = Aggregate(d, kSingleLink, {});
    EXPECT_EQ(steps[0].left, 1u);
    EXPECT_EQ(steps[0].right, 4u);
    // d(3,2) = d(4,1) = 2: a greater row comes later whatever the column.
    d = Triangle::FromRows(4, {4, 4, 2, 2, 9, 9});
    steps = Aggregate(d, kSingleLink, {});
    EXPECT_EQ(steps[0].left, 1u);
    EXPECT_EQ(steps[0].right, 4u);
}

TEST(Aggregation, NanCountsAsLargestAndAPairIsAlwaysFound) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Triangle d = Triangle::FromRows(4, {nan, 3, nan, nan, 7, nan});
    const std::vector<Step> steps = Aggregate(d, kAverageLink, {});
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].left, 1u);
    EXPECT_EQ(steps[0].right, 3u);
    EXPECT_EQ(steps[0].level, 3.0f);
    // Values above 1e25 are joined like any other.
    d = Triangle::FromRows(3, {1e30f, 2e30f, 3e30f});
    EXPECT_EQ(Aggregate(d, kSingleLink, {}).size(), 2u);
}

TEST(Aggregation, FastSearchGivesTheMergesOfAFullScan) {
    // Sizes around the triangle's bands of rows: one band, one row more, several bands with a
    // short last one (the triangle is packed again as clusters die). Each run once as the
    // engine does it and once with every step, scan and packing shared among threads down to
    // a position each.
    std::mt19937 random(7);
    const FlexibleCoefficients flexible{0.6f, 0.3f, 0.1f, -0.2f};
    const std::size_t band = Triangle::kBand;
    for (std::size_t n : {std::size_t{2}, band, band + 1, 5 * band + 10}) {
        for (int method : {1, 2, 3, 4, 5}) {
            for (int kind = 0; kind < 3; ++kind) {
                Triangle d(n);
                std::uniform_real_distribution<float> real(0.0f, 100.0f);
                std::uniform_int_distribution<int> few(0, 4);
                for (float& v : d.Values()) {
                    if (kind == 0) v = real(random);                      // distinct values
                    if (kind == 1) v = static_cast<float>(few(random));   // many ties
                    if (kind == 2) v = few(random) == 0 ? std::numeric_limits<float>::quiet_NaN() : few(random);
                }
                const std::vector<Step> plain = PlainAggregate(d, method, flexible);
                for (std::size_t grain : {kDefaultGrain, std::size_t{1}}) {
                    Triangle fast = d;
                    ExpectSameSteps(Aggregate(fast, method, flexible, grain), plain,
                                    "n " + std::to_string(n) + " method " + std::to_string(method) + " kind " +
                                        std::to_string(kind) + " grain " + std::to_string(grain));
                }
            }
        }
    }
}

TEST(Aggregation, StepThatLowersManyRowsAtOnce) {
    // Object 0 and the last object join first; the last is at 1 from every other object,
    // which are at 10 from each other and from object 0, so by single link every row between
    // them falls to 1 in that step: more rows than a thread lists for the tree. Then the
    // ties at 1 join in storage order.
    const std::size_t n = 600;
    Triangle d(n);
    for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = 0; j < i; ++j) d(i, j) = i == n - 1 ? (j == 0 ? 0.5f : 1.0f) : 10.0f;
    const std::vector<Step> plain = PlainAggregate(d, kSingleLink, {});
    for (std::size_t grain : {kDefaultGrain, std::size_t{1}}) {
        Triangle fast = d;
        ExpectSameSteps(Aggregate(fast, kSingleLink, {}, grain), plain, "grain " + std::to_string(grain));
    }
    EXPECT_EQ(plain[0].left, 1u);
    EXPECT_EQ(plain[0].right, n);
    EXPECT_EQ(plain[1].level, 1.0f);
    EXPECT_EQ(plain[n - 2].level, 1.0f);
}

TEST(Aggregation, FlexibleCoefficientsReproduceSingleAndCompleteLink) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> real(0.0f, 10.0f);
    const std::size_t n = 40;
    Triangle d(n);
    for (float& v : d.Values()) v = real(random);
    for (auto [method, c4] : {std::pair{kSingleLink, -0.5f}, std::pair{kCompleteLink, 0.5f}}) {
        Triangle a = d;
        Triangle b = d;
        ExpectSameSteps(Aggregate(a, kFlexible, {0.5f, 0.5f, 0.0f, c4}), Aggregate(b, method, {}),
                        "c4 " + std::to_string(c4));
    }
}

TEST(Hierarchy, DendrogramOrderAndClassMembers) {
    // Steps 1-3, 2-4, then (1 3)-(2 4): order 1 3 2 4.
    const std::vector<Step> steps{{1, 3, 1, 3, 1.0f, 2}, {2, 4, 2, 4, 2.0f, 2}, {1, 2, 5, 6, 3.0f, 4}};
    const auto positions = DendrogramPositions(4, steps);
    ASSERT_TRUE(positions.has_value());
    EXPECT_EQ(*positions, (std::vector<std::size_t>{1, 3, 2, 4}));
    EXPECT_EQ(ClusterMembers(4, steps, 7), (std::vector<std::size_t>{1, 3, 2, 4}));
    EXPECT_EQ(ClusterMembers(4, steps, 6), (std::vector<std::size_t>{2, 4}));
    // A slot joined twice is not a hierarchy.
    EXPECT_FALSE(DendrogramPositions(3, {{1, 2, 1, 2, 1.0f, 2}, {3, 2, 3, 2, 1.0f, 2}}).has_value());
}

TEST(Hierarchy, ChainOfTwentyThousandObjects) {
    // Single link on points 1, 2, 3, ...: every step adds one object to the chain, so the
    // last cluster is 20,000 levels deep.
    const std::size_t n = 20000;
    std::vector<Step> steps;
    for (std::size_t k = 1; k < n; ++k) steps.push_back({1, k + 1, k == 1 ? 1 : n + k - 1, k + 1, 1.0f, k + 1});
    const auto positions = DendrogramPositions(n, steps);
    ASSERT_TRUE(positions.has_value());
    EXPECT_EQ((*positions)[n - 1], n);
    const std::vector<std::size_t> members = ClusterMembers(n, steps, 2 * n - 1);
    ASSERT_EQ(members.size(), n);
    EXPECT_EQ(members.front(), 1u);
    EXPECT_EQ(members.back(), n);
}

}  // namespace
}  // namespace fenola
