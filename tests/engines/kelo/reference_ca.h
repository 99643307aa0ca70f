// An independent correspondence analysis for checking kelo: the eigen-decomposition of the
// cross-product of the standardized residuals, by cyclic two-sided Jacobi rotations in double.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

namespace kelo_test {

// Eigenvalues (decreasing) and unit eigenvectors (vectors[a][j]) of a symmetric matrix.
inline void JacobiEigen(std::vector<std::vector<double>> b, std::vector<double>& values,
                        std::vector<std::vector<double>>& vectors) {
    const std::size_t n = b.size();
    std::vector<std::vector<double>> v(n, std::vector<double>(n, 0.0));
    for (std::size_t k = 0; k < n; ++k)
        v[k][k] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0, all = 0.0;
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = 0; q < n; ++q) {
                all += b[p][q] * b[p][q];
                if (p != q)
                    off += b[p][q] * b[p][q];
            }
        if (off <= 1e-60 * all)
            break;
        for (std::size_t p = 0; p + 1 < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                if (b[p][q] == 0.0)
                    continue;
                // Rotation that zeroes b[p][q] (the smaller angle).
                const double theta = (b[q][q] - b[p][p]) / (2.0 * b[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (std::size_t k = 0; k < n; ++k) {
                    const double bkp = b[k][p], bkq = b[k][q];
                    b[k][p] = c * bkp - s * bkq;
                    b[k][q] = s * bkp + c * bkq;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double bpk = b[p][k], bqk = b[q][k];
                    b[p][k] = c * bpk - s * bqk;
                    b[q][k] = s * bpk + c * bqk;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return b[x][x] > b[y][y]; });
    values.clear();
    vectors.clear();
    for (std::size_t a : order) {
        values.push_back(b[a][a]);
        std::vector<double> column(n);
        for (std::size_t k = 0; k < n; ++k)
            column[k] = v[k][a];
        vectors.push_back(column);
    }
}

// Principal inertias and principal coordinates of a table x (rows of values) whose first
// activeRows rows and activeColumns columns are active; the others are supplementary points.
struct ReferenceCa {
    double inertia = 0;
    std::vector<double> eigen;                     // all non-trivial principal inertias
    std::vector<std::vector<double>> rowCoord;     // [row][factor], every row
    std::vector<std::vector<double>> columnCoord;  // [column][factor], every column

    ReferenceCa(const std::vector<std::vector<double>>& x, std::size_t activeRows, std::size_t activeColumns,
                std::size_t factors) {
        const std::size_t nl = x.size(), nc = x[0].size();
        std::vector<double> r(nl, 0.0), c(nc, 0.0);
        double total = 0;
        for (std::size_t i = 0; i < nl; ++i)
            for (std::size_t j = 0; j < activeColumns; ++j)
                r[i] += x[i][j];
        for (std::size_t j = 0; j < nc; ++j)
            for (std::size_t i = 0; i < activeRows; ++i)
                c[j] += x[i][j];
        for (std::size_t i = 0; i < activeRows; ++i)
            total += r[i];
        // Standardized residuals z(i, j) = (p(i,j) - p(i) p(j)) / sqrt(p(i) p(j)), p = x / total.
        std::vector<std::vector<double>> z(activeRows, std::vector<double>(activeColumns));
        for (std::size_t i = 0; i < activeRows; ++i)
            for (std::size_t j = 0; j < activeColumns; ++j) {
                const double pi = r[i] / total, pj = c[j] / total;
                z[i][j] = (x[i][j] / total - pi * pj) / std::sqrt(pi * pj);
                inertia += z[i][j] * z[i][j];
            }
        std::vector<std::vector<double>> b(activeColumns, std::vector<double>(activeColumns, 0.0));
        for (std::size_t j = 0; j < activeColumns; ++j)
            for (std::size_t k = 0; k < activeColumns; ++k)
                for (std::size_t i = 0; i < activeRows; ++i)
                    b[j][k] += z[i][j] * z[i][k];
        std::vector<std::vector<double>> v;
        JacobiEigen(b, eigen, v);
        eigen.resize(std::min(eigen.size(), activeColumns - 1));
        // Standard column coordinates phi = v / sqrt(p(j)); rows by the barycentric relation,
        // supplementary columns by the transition from the rows.
        rowCoord.assign(nl, std::vector<double>(factors, 0.0));
        columnCoord.assign(nc, std::vector<double>(factors, 0.0));
        for (std::size_t a = 0; a < factors; ++a) {
            const double root = std::sqrt(eigen[a]);
            for (std::size_t i = 0; i < nl; ++i)
                for (std::size_t j = 0; j < activeColumns; ++j)
                    rowCoord[i][a] += x[i][j] / r[i] * v[a][j] / std::sqrt(c[j] / total);
            for (std::size_t j = 0; j < activeColumns; ++j)
                columnCoord[j][a] = root * v[a][j] / std::sqrt(c[j] / total);
            for (std::size_t l = activeColumns; l < nc; ++l) {
                for (std::size_t i = 0; i < activeRows; ++i)
                    columnCoord[l][a] += x[i][l] / c[l] * rowCoord[i][a];
                columnCoord[l][a] /= root;
            }
        }
    }
};

}  // namespace kelo_test
