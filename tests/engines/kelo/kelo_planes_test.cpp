// The ordering of kelo's profiles on the first factor.
#include "engines/kelo/kelo_planes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(ShellSort, SortsAscendingWithTheIndexPermutation) {
    std::vector<double> keys = {0.3f, -1.0f, 0.2f, 0.2f, 5.0f};
    std::vector<int> index;
    ShellSort(keys, index);
    EXPECT_EQ(keys, (std::vector<double>{-1.0f, 0.2f, 0.2f, 0.3f, 5.0f}));
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(index[3], 0);
    EXPECT_EQ(index[4], 4);

    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(-10.0f, 10.0f);
    std::vector<double> many(1000);
    for (double& v : many)
        v = value(random);
    std::vector<double> sorted = many;
    ShellSort(sorted, index);
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    for (size_t k = 0; k < many.size(); ++k)
        EXPECT_EQ(sorted[k], many[static_cast<size_t>(index[k])]);
}

}  // namespace
