// Listing of a symmetric matrix as its lower triangle (the engines' correlation matrices).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RecordWriter;

// Prints the lower triangle, diagonal included, of the symmetric n x n matrix held column by
// column with leading dimension ld (element (i, j), 0-based, at i + j * ld), in blocks of 15
// columns headed by the names (4 characters each).
void PrintSquareMatrix(RecordWriter& out, std::size_t n, const float* matrix, std::size_t ld,
                       const std::vector<std::string>& names);
