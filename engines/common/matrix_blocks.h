// Printing of a data matrix in blocks of columns in an engine listing.
//
//   // a: column-major, element (i, j) (0-based) at a[i + j * lda]; names of 4 characters
//   PrintMatrixBlocks(listing, kind, nrows, ncols, a, lda, rowNames, colNames);
//
// kind 1: 10 columns a block, F12.2; kind 2: 15 columns, F8.2; kind 3: 20 columns, F6.0;
// kind 4: 15 columns, F8.4. Any other kind prints as kind 1.
#pragma once

#include <string>
#include <vector>

#include "engines/common/record_io.h"

void PrintMatrixBlocks(RecordWriter& out, int kind, int nrows, int ncols, const float* a, int lda,
                       const std::vector<std::string>& rowNames,
                       const std::vector<std::string>& colNames);
void PrintMatrixBlocks(RecordWriter& out, int kind, int nrows, int ncols, const double* a, int lda,
                       const std::vector<std::string>& rowNames,
                       const std::vector<std::string>& colNames);
