// Eigen-decomposition of a real symmetric matrix in double precision (cyclic Jacobi
// rotations). Used by mur on correlation matrices and by dazi on its modality matrix.
#pragma once

#include <vector>

struct SymmetricEigenResult {
    std::vector<double> values;   // n eigenvalues in decreasing order
    std::vector<double> vectors;  // n x n, column-major: column k is the unit eigenvector of values[k]
    bool converged = true;        // false when the sweeps ran out before the off-diagonal part vanished
};

// a: the n x n symmetric matrix, column-major (only its values are read). Each eigenvector
// is given the sign that makes its component of largest magnitude positive (the first such
// component on ties), so that repeated runs and both engines agree on orientation.
SymmetricEigenResult SymmetricEigen(int n, const std::vector<double>& a);
