// Eigen-decomposition of a real symmetric matrix in double precision, by the self-adjoint
// solver of the Eigen library (Householder tridiagonalisation, then implicit symmetric QR).
// Used by mur on correlation matrices and by dazi on its modality matrix.
#pragma once

#include <vector>

struct SymmetricEigenResult {
    std::vector<double> values;   // n eigenvalues in decreasing order
    std::vector<double> vectors;  // n x n, column-major: column k is the unit eigenvector of values[k]
    bool converged = true;        // false when the iterations ran out before the off-diagonal part vanished
};

// a: the n x n symmetric matrix, column-major (only its values are read). Each eigenvector
// is given the sign that makes its component of largest magnitude positive; components
// whose magnitudes differ from the largest by rounding alone count as ties, and the first
// of them decides, so that the orientation does not depend on the last bits of a solver.
SymmetricEigenResult SymmetricEigen(int n, const std::vector<double>& a);
