// Eigen-decomposition of a symmetric positive semi-definite matrix by one-sided Jacobi
// rotations, in double precision.
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
// when their cosine is below a tolerance of order n times the double precision and they are
// in decreasing order of norm. At most maxSweeps sweeps are made.
EigenOutcome DiagonaliseSymmetric(int n, std::vector<double>& a, std::vector<double>& values,
                                  std::vector<double>& vectors, double sumOfSquares = -1.0,
                                  int maxSweeps = 60, double zeroBelow = 0.0);
