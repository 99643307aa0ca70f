// Pieces shared by the outside engines mur and dazi beyond those of every factorial engine
// (engines/common/analysis_listing.h): the reading of the engine data matrix, the eigen solve
// with its warnings, and the fields of their result files.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engines/common/analysis_listing.h"
#include "engines/common/record_io.h"
#include "engines/outside/shared/symmetric_eigen.h"

// A name as one token for a result file: leading and trailing blanks and control characters
// dropped, inner ones as '_', an empty name as "_".
std::string ResultName(std::string_view name);
// A number for a result file: shortest text that reads back to the same double; a negative
// zero is written "0" and a value that is not finite "0" (callers never pass one).
void AppendResultNumber(std::string& out, double value);

// Eigenvalues and vectors of the n x n symmetric matrix m: values that are not finite are a
// warning in the listing (false); a solver that stopped before converging is noted there.
bool SolveEigenForListing(RecordWriter& prn, int n, const std::vector<double>& m,
                          SymmetricEigenResult& out);
// One "eigenvalue percent cumulative" line of a result file.
std::string EigenvalueLine(double value, double percent, double cumulative);

// The engine data matrix: nr identifier lines (each whole line is a name), then nr rows of
// nc values in free format (blanks, tabs or single commas between values, a row's values
// may run over several lines). Values beyond nc on a row's last line, or lines beyond the
// last row, are refused: they mean counts other than those announced. values is
// row-major (element (i, j) at i * nc + j). The file is read in pieces, so that a large
// table costs no more memory than its values.
struct DataMatrix {
    std::vector<std::string> names;
    std::unique_ptr<double[]> values;  // left uninitialised until read: a large table is written once
};
enum class DataReadStatus { Ok, CannotOpen, Failed };
// Reads the matrix at systemPath; on failure writes the warning block to listing.
DataReadStatus ReadDataMatrix(const std::string& systemPath, int nr, int nc, DataMatrix& data,
                              RecordWriter& listing);
