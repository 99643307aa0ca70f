// Eigen-decomposition of a symmetric positive semi-definite matrix by one-sided Jacobi
// rotations, in single precision.
#pragma once

#include <vector>

struct EigenOutcome {
    bool converged = false;  // a full sweep of pairs needed no rotation
    bool finite = true;      // no NaN or infinity appeared
    int sweeps = 0;          // sweeps of pairs made (the last one partial)
};

// a: the n x n matrix, column-major; it is overwritten by its rotated columns.
// values: the eigenvalues (column norms), in decreasing order.
// vectors: the n x n matrix of unit eigenvectors, column-major, column p for values[p];
// a column whose norm does not exceed zeroBelow is given as a zero vector.
// sumOfSquares: the scale of the matrix (sum of the squares of its elements), below which
// products count as zero; a negative value takes it from a. A pair of columns is left alone
// when their cosine is below a tolerance of order n times the float precision and they are
// in decreasing order of norm. At most maxSweeps sweeps are made.
EigenOutcome DiagonaliseSymmetric(int n, std::vector<float>& a, std::vector<float>& values,
                                  std::vector<float>& vectors, float sumOfSquares = -1.0f,
                                  int maxSweeps = 60, float zeroBelow = 0.0f);
