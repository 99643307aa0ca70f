#include "engines/outside/shared/symmetric_eigen.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {
constexpr int kMaxSweeps = 100;
}

SymmetricEigenResult SymmetricEigen(int n, const std::vector<double>& input) {
    SymmetricEigenResult result;
    if (n <= 0)
        return result;
    const std::size_t N = static_cast<std::size_t>(n);
    std::vector<double> a(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(N * N));
    std::vector<double> v(N * N, 0.0);
    for (std::size_t k = 0; k < N; ++k)
        v[k * N + k] = 1.0;
    auto A = [&](std::size_t i, std::size_t j) -> double& { return a[i + j * N]; };

    double scale = 0.0;
    for (double x : a)
        scale += x * x;
    result.converged = false;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        double off = 0.0;
        for (std::size_t q = 1; q < N; ++q)
            for (std::size_t p = 0; p < q; ++p)
                off += A(p, q) * A(p, q);
        // The off-diagonal part is negligible against the matrix as a whole.
        if (off <= scale * 1e-32 || off == 0.0) {
            result.converged = true;
            break;
        }
        for (std::size_t p = 0; p + 1 < N; ++p)
            for (std::size_t q = p + 1; q < N; ++q) {
                const double apq = A(p, q);
                if (apq == 0.0)
                    continue;
                const double app = A(p, p), aqq = A(q, q);
                // Once the element no longer changes the diagonal, drop it.
                if (sweep > 3 && std::fabs(app) + 1e3 * std::fabs(apq) == std::fabs(app) &&
                    std::fabs(aqq) + 1e3 * std::fabs(apq) == std::fabs(aqq)) {
                    A(p, q) = 0.0;
                    A(q, p) = 0.0;
                    continue;
                }
                const double theta = (aqq - app) / (2.0 * apq);
                double t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                if (theta < 0.0)
                    t = -t;
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double s = t * c;
                for (std::size_t r = 0; r < N; ++r) {
                    if (r == p || r == q)
                        continue;
                    const double arp = A(r, p), arq = A(r, q);
                    const double np = c * arp - s * arq;
                    const double nq = s * arp + c * arq;
                    A(r, p) = np;
                    A(p, r) = np;
                    A(r, q) = nq;
                    A(q, r) = nq;
                }
                A(p, p) = app - t * apq;
                A(q, q) = aqq + t * apq;
                A(p, q) = 0.0;
                A(q, p) = 0.0;
                double* vp = &v[p * N];
                double* vq = &v[q * N];
                for (std::size_t r = 0; r < N; ++r) {
                    const double x = vp[r], y = vq[r];
                    vp[r] = c * x - s * y;
                    vq[r] = s * x + c * y;
                }
            }
    }

    std::vector<std::size_t> order(N);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return A(x, x) > A(y, y); });
    result.values.resize(N);
    result.vectors.resize(N * N);
    for (std::size_t k = 0; k < N; ++k) {
        const std::size_t from = order[k];
        result.values[k] = A(from, from);
        const double* column = &v[from * N];
        std::size_t largest = 0;
        for (std::size_t r = 1; r < N; ++r)
            if (std::fabs(column[r]) > std::fabs(column[largest]))
                largest = r;
        const double sign = column[largest] < 0.0 ? -1.0 : 1.0;
        for (std::size_t r = 0; r < N; ++r)
            result.vectors[k * N + r] = sign * column[r];
    }
    return result;
}
