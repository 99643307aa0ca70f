// A double-precision eigen-decomposition for the tests of the factorial analyses.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace factor_math {

// Eigen-decomposition of a small symmetric matrix by cyclic Jacobi rotations: the
// eigenvalues descending, the eigenvectors as the columns of v.
inline void Jacobi(std::vector<std::vector<double>> a, std::vector<double>& values, std::vector<std::vector<double>>& v) {
    const size_t n = a.size();
    v.assign(n, std::vector<double>(n, 0.0));
    for (size_t i = 0; i < n; ++i) v[i][i] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0;
        for (size_t p = 0; p < n; ++p)
            for (size_t q = p + 1; q < n; ++q) off += a[p][q] * a[p][q];
        if (off < 1e-30) break;
        for (size_t p = 0; p < n; ++p)
            for (size_t q = p + 1; q < n; ++q) {
                if (std::fabs(a[p][q]) < 1e-300) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (size_t k = 0; k < n; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (size_t k = 0; k < n; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (size_t k = 0; k < n; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return a[x][x] > a[y][y]; });
    values.clear();
    std::vector<std::vector<double>> sorted(n, std::vector<double>(n));
    for (size_t k = 0; k < n; ++k) {
        values.push_back(a[order[k]][order[k]]);
        for (size_t i = 0; i < n; ++i) sorted[i][k] = v[i][order[k]];
    }
    v = sorted;
}

}  // namespace factor_math
