// The double-precision eigen solver of the outside engines: residuals, orthogonality and
// order on matrices whose decomposition is checked by multiplying back.
#include "engines/outside/shared/symmetric_eigen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// max |A v - lambda v| and max |V'V - I| of a result.
void ExpectDecomposition(int n, const std::vector<double>& a, const SymmetricEigenResult& r, double tolerance) {
    ASSERT_EQ(r.values.size(), static_cast<size_t>(n));
    EXPECT_TRUE(r.converged);
    const size_t N = static_cast<size_t>(n);
    for (size_t k = 0; k < N; ++k) {
        if (k > 0) {
            EXPECT_GE(r.values[k - 1], r.values[k]);
        }
        double largest = 0;
        for (size_t i = 0; i < N; ++i) {
            double av = 0;
            for (size_t j = 0; j < N; ++j)
                av += a[i + j * N] * r.vectors[k * N + j];
            EXPECT_NEAR(av, r.values[k] * r.vectors[k * N + i], tolerance);
            largest = std::max(largest, std::fabs(r.vectors[k * N + i]));
        }
        // The first component of the largest magnitude (up to rounding) is positive.
        size_t lead = 0;
        while (std::fabs(r.vectors[k * N + lead]) < largest * (1 - 1e-9))
            ++lead;
        EXPECT_GT(r.vectors[k * N + lead], 0.0);
        for (size_t l = 0; l < N; ++l) {
            double dot = 0;
            for (size_t i = 0; i < N; ++i)
                dot += r.vectors[k * N + i] * r.vectors[l * N + i];
            EXPECT_NEAR(dot, k == l ? 1.0 : 0.0, tolerance);
        }
    }
}

TEST(SymmetricEigen, RandomMatrixMultipliesBack) {
    const int n = 40;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(-1, 1);
    std::vector<double> a(static_cast<size_t>(n * n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
            a[static_cast<size_t>(i + j * n)] = a[static_cast<size_t>(j + i * n)] = value(random);
    const SymmetricEigenResult r = SymmetricEigen(n, a);
    ExpectDecomposition(n, a, r, 1e-12);
    double trace = 0, sum = 0;
    for (int i = 0; i < n; ++i) {
        trace += a[static_cast<size_t>(i + i * n)];
        sum += r.values[static_cast<size_t>(i)];
    }
    EXPECT_NEAR(sum, trace, 1e-12);
}

TEST(SymmetricEigen, RepeatedAndZeroEigenvalues) {
    // Q diag(2, 2, 0) Q' with Q a rotation about (1, 1, 1): a double eigenvalue and a null one.
    const double s = 1 / std::sqrt(3.0);
    const std::vector<double> u = {s, s, s};  // the null direction
    std::vector<double> a(9);
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j)
            a[i + j * 3] = 2 * ((i == j ? 1.0 : 0.0) - u[i] * u[j]);
    const SymmetricEigenResult r = SymmetricEigen(3, a);
    ExpectDecomposition(3, a, r, 1e-13);
    EXPECT_NEAR(r.values[0], 2, 1e-13);
    EXPECT_NEAR(r.values[1], 2, 1e-13);
    EXPECT_NEAR(r.values[2], 0, 1e-13);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(r.vectors[6 + i], s, 1e-13);
    // Already diagonal, unordered: only sorted.
    const SymmetricEigenResult d = SymmetricEigen(3, {1, 0, 0, 0, 3, 0, 0, 0, -2});
    EXPECT_EQ(d.values, (std::vector<double>{3, 1, -2}));
    EXPECT_EQ(d.vectors, (std::vector<double>{0, 1, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(SymmetricEigen, TiedComponentsTakeTheSignOfTheFirst) {
    // Eigenvectors whose components are equal in magnitude, some of opposite signs: which of
    // them is larger is a matter of rounding, so the first decides the orientation.
    const SymmetricEigenResult two = SymmetricEigen(2, {2, 1, 1, 2});
    ExpectDecomposition(2, {2, 1, 1, 2}, two, 1e-14);
    EXPECT_GT(two.vectors[2], 0.0);  // (1, -1) / sqrt(2) for the eigenvalue 1
    EXPECT_LT(two.vectors[3], 0.0);
    // Order 3, tridiagonal 2 1: the eigenvalue 2 has (1, 0, -1) / sqrt(2).
    const std::vector<double> t = {2, 1, 0, 1, 2, 1, 0, 1, 2};
    const SymmetricEigenResult three = SymmetricEigen(3, t);
    ExpectDecomposition(3, t, three, 1e-14);
    EXPECT_NEAR(three.values[1], 2.0, 1e-14);
    EXPECT_NEAR(three.vectors[3], std::sqrt(0.5), 1e-14);
    EXPECT_NEAR(three.vectors[5], -std::sqrt(0.5), 1e-14);
}

}  // namespace
