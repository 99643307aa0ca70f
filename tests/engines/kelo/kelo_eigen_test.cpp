// The eigen solver on matrices whose decomposition is known by hand.
#include "engines/kelo/kelo_eigen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(DiagonaliseSymmetric, TwoByTwoByHand) {
    // [[2,1],[1,2]]: eigenvalues 3 and 1, eigenvectors (1,1)/sqrt2 and (1,-1)/sqrt2.
    std::vector<double> a = {2, 1, 1, 2}, values, vectors;
    const EigenOutcome outcome = DiagonaliseSymmetric(2, a, values, vectors);
    EXPECT_TRUE(outcome.converged);
    EXPECT_NEAR(values[0], 3.0, 1e-6);
    EXPECT_NEAR(values[1], 1.0, 1e-6);
    EXPECT_NEAR(std::fabs(vectors[0]), std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(vectors[0], vectors[1], 1e-6);
    EXPECT_NEAR(vectors[2], -vectors[3], 1e-6);
    // A diagonal matrix in increasing order comes back in decreasing order.
    a = {4, 0, 0, 0, 9, 0, 0, 0, 0};
    DiagonaliseSymmetric(3, a, values, vectors, -1.0, 60, 1e-6);
    EXPECT_EQ(values, (std::vector<double>{9, 4, 0}));
    EXPECT_EQ(vectors[1], 1.0);
    EXPECT_EQ(vectors[6] + vectors[7] + vectors[8], 0.0);  // a null column gives a zero vector
}

TEST(DiagonaliseSymmetric, StopsOnNaNAndAfterItsSweeps) {
    std::vector<double> a = {1, std::numeric_limits<double>::quiet_NaN(), 0, 1}, values, vectors;
    EXPECT_FALSE(DiagonaliseSymmetric(2, a, values, vectors).finite);

    // The 6 x 6 matrix with 2 on the diagonal and 1 elsewhere (eigenvalues 7 and 1, five
    // times) needs more than one sweep.
    a.assign(36, 1.0);
    for (int k = 0; k < 6; ++k)
        a[k * 7] = 2.0;
    const EigenOutcome outcome = DiagonaliseSymmetric(6, a, values, vectors, -1.0, 1);
    EXPECT_FALSE(outcome.converged);
    EXPECT_EQ(outcome.sweeps, 1);
    EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend()));
}

}  // namespace
