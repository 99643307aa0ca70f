#include "engines/kelo/kelo_eigen.h"

#include <cmath>
#include <algorithm>
#include <cstddef>
#include <numeric>

EigenOutcome DiagonaliseSymmetric(int n, std::vector<double>& a, std::vector<double>& values,
                                  std::vector<double>& vectors, double sumOfSquares, int maxSweeps,
                                  double zeroBelow) {
    EigenOutcome outcome;
    const std::size_t un = static_cast<std::size_t>(n > 0 ? n : 0);
    values.assign(un, 0.0);
    vectors.assign(un * un, 0.0);
    if (n <= 0) {
        outcome.converged = true;
        return outcome;
    }
    if (sumOfSquares < 0.0) {
        sumOfSquares = 0.0;
        for (double v : a)
            sumOfSquares += v * v;
    }
    if (!std::isfinite(sumOfSquares)) {
        outcome.finite = false;
        return outcome;
    }
    // A pair counts as orthogonal when the cosine of its columns' angle is below tolerance
    // (relative, so that small eigenvalues keep their accuracy); floor guards against
    // rotating rounding noise of columns that are zero.
    const double tolerance = std::max(1e-14, static_cast<double>(n) * 4.4e-16);
    const double floor = sumOfSquares * 1e-30;
    const long long pairs = static_cast<long long>(n) * (n - 1) / 2;
    long long counter = pairs;
    long long visited = 0;
    const long long limit = pairs * (maxSweeps > 0 ? maxSweeps : 1);

    while (counter > 0 && visited < limit) {
        for (int p = 0; p < n - 1 && counter > 0; ++p) {
            double* ap = &a[static_cast<std::size_t>(p) * un];
            for (int q = p + 1; q < n && counter > 0; ++q) {
                double* aq = &a[static_cast<std::size_t>(q) * un];
                ++visited;
                // Sums in eight interleaved lanes (vectorisable, and more accurate than one chain).
                constexpr std::size_t kLanes = 8;
                double laneA[kLanes] = {}, laneG[kLanes] = {}, laneP[kLanes] = {}, laneQ[kLanes] = {};
                std::size_t i = 0;
                for (; i + kLanes <= un; i += kLanes)
                    for (std::size_t l = 0; l < kLanes; ++l) {
                        const double x = ap[i + l];
                        const double y = aq[i + l];
                        laneA[l] += (x + y) * (x - y);
                        laneG[l] += x * y;
                        laneP[l] += x * x;
                        laneQ[l] += y * y;
                    }
                for (std::size_t l = 0; i < un; ++i, ++l) {
                    laneA[l] += (ap[i] + aq[i]) * (ap[i] - aq[i]);
                    laneG[l] += ap[i] * aq[i];
                    laneP[l] += ap[i] * ap[i];
                    laneQ[l] += aq[i] * aq[i];
                }
                double alpha = 0.0;
                double gamma = 0.0;
                double normP = 0.0;
                double normQ = 0.0;
                for (std::size_t l = 0; l < kLanes; ++l) {
                    alpha += laneA[l];
                    gamma += laneG[l];
                    normP += laneP[l];
                    normQ += laneQ[l];
                }
                gamma *= 2.0;
                if (!std::isfinite(alpha) || !std::isfinite(gamma)) {
                    outcome.finite = false;
                    outcome.sweeps = static_cast<int>((visited + pairs - 1) / pairs);
                    return outcome;
                }
                const double orthogonal =
                    std::max(floor, 2.0 * tolerance * std::sqrt(normP) * std::sqrt(normQ));
                if (std::fabs(gamma) <= orthogonal && alpha >= 0.0) {
                    --counter;
                    continue;
                }
                counter = pairs;
                // cos(2t) and sin(2t) magnitudes without overflow.
                const double absA = std::fabs(alpha);
                const double absG = std::fabs(gamma);
                double cs2;
                double sn2;
                if (absA >= absG) {
                    const double t = absG / absA;
                    cs2 = 1.0 / std::sqrt(1.0 + t * t);
                    sn2 = t * cs2;
                } else {
                    const double t = absA / absG;
                    sn2 = 1.0 / std::sqrt(1.0 + t * t);
                    cs2 = t * sn2;
                }
                double cs = std::sqrt((1.0 + cs2) * 0.5);
                double sn = sn2 / (2.0 * cs);
                if (alpha < 0.0) {
                    const double swap = cs;
                    cs = sn;
                    sn = swap;
                }
                if (gamma < 0.0)
                    sn = -sn;
                for (std::size_t i = 0; i < un; ++i) {
                    const double x = ap[i];
                    const double y = aq[i];
                    ap[i] = cs * x + sn * y;
                    aq[i] = cs * y - sn * x;
                }
            }
        }
    }
    outcome.sweeps = static_cast<int>((visited + pairs - 1) / (pairs > 0 ? pairs : 1));
    outcome.converged = counter == 0;

    std::vector<double> norms(un);
    for (std::size_t p = 0; p < un; ++p) {
        const double* ap = &a[p * un];
        double norm2 = 0.0;
        for (std::size_t i = 0; i < un; ++i)
            norm2 += ap[i] * ap[i];
        norms[p] = std::sqrt(norm2);
        if (!std::isfinite(norms[p])) {
            outcome.finite = false;
            return outcome;
        }
    }
    // A converged run leaves the norms decreasing already; one stopped early may not.
    std::vector<std::size_t> order(un);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return norms[x] > norms[y]; });
    for (std::size_t k = 0; k < un; ++k) {
        const std::size_t p = order[k];
        const double norm = norms[p];
        values[k] = norm;
        if (norm > zeroBelow && norm > 0.0)
            for (std::size_t i = 0; i < un; ++i)
                vectors[k * un + i] = a[p * un + i] / norm;
    }
    return outcome;
}
