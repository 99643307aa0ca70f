#include "engines/outside/shared/symmetric_eigen.h"

#include <Eigen/Eigenvalues>

#include <cmath>
#include <cstddef>

namespace {
// Magnitudes within this share of the largest are ties for the sign rule.
constexpr double kTieShare = 1e-9;
}

SymmetricEigenResult SymmetricEigen(int n, const std::vector<double>& input) {
    SymmetricEigenResult result;
    if (n <= 0)
        return result;
    const std::size_t N = static_cast<std::size_t>(n);
    const Eigen::Map<const Eigen::MatrixXd> a(input.data(), n, n);
    // The solver reads the lower triangle; its eigenvalues come in increasing order.
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(a, Eigen::ComputeEigenvectors);
    result.converged = solver.info() == Eigen::Success;
    const Eigen::VectorXd& values = solver.eigenvalues();
    const Eigen::MatrixXd& vectors = solver.eigenvectors();
    result.values.resize(N);
    result.vectors.resize(N * N);
    for (std::size_t k = 0; k < N; ++k) {
        const Eigen::Index from = static_cast<Eigen::Index>(N - 1 - k);
        result.values[k] = values[from];
        const double* column = vectors.col(from).data();
        double largest = 0.0;
        for (std::size_t r = 0; r < N; ++r)
            largest = std::fmax(largest, std::fabs(column[r]));
        std::size_t lead = 0;
        while (lead + 1 < N && std::fabs(column[lead]) < largest * (1.0 - kTieShare))
            ++lead;
        const double sign = column[lead] < 0.0 ? -1.0 : 1.0;
        for (std::size_t r = 0; r < N; ++r)
            result.vectors[k * N + r] = sign * column[r];
    }
    return result;
}
