// Listing and result-file pieces shared by the outside engines mur and dazi: the banner,
// warning blocks, the eigenvalue table with its histogram, the table of point coordinates
// and contributions, the reading of the engine data matrix, and the result-file fields.
#pragma once

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engines/common/record_io.h"
#include "engines/outside/shared/symmetric_eigen.h"

// A name as one token for a result file: leading and trailing blanks and control characters
// dropped, inner ones as '_', an empty name as "_".
std::string ResultName(std::string_view name);
// A number for a result file: shortest text that reads back to the same double; a negative
// zero is written "0" and a value that is not finite "0" (callers never pass one).
void AppendResultNumber(std::string& out, double value);

// A work-area figure computed in long double from the counts, as a count: beyond the range
// of a long long it is the largest one (asterisks in the listing's field).
long long ClampedCount(long double value);

// A count in 4 columns, or as wide as it needs.
std::string FormatCount(long long value);

// Banner of the listing: the analysis heading and version, the title between rules, and the
// sizes of the work areas.
void WriteBanner(RecordWriter& out, const std::string& heading, const std::string& title,
                 long long numeric, long long literal);
// A warning block between two rules of " *".
void WriteAlert(RecordWriter& out, const std::string& heading, const std::vector<std::string>& lines);

// A failed read of the parameter file: a warning naming the item and the line. Returns
// whether the read succeeded.
bool CheckParameterRead(RecordWriter& out, const std::string& parameterFile, ReadStatus status,
                        const RecordReader& in, const char* what);
// Runs an engine's work with the listing open, then closes the listings with closeListings
// (true when all were written): the result file is removed first, so a run that stops early
// leaves no earlier results behind, and again when the run fails; running out of memory is
// a warning in the listing with the given hint; a listing that could not be written fails
// the run. okStatus is the run's success status, noMemoryStatus what a run out of memory
// returns, outputErrorStatus what a good run whose listings were not written returns.
template <class Work, class CloseListings>
int RunKeepingNoStaleResults(RecordWriter& prn, const std::string& resultPath, const std::string& memoryHint,
                             int okStatus, int noMemoryStatus, int outputErrorStatus, Work work,
                             CloseListings closeListings);

// The result file: created (a warning when it cannot be), then closed (a warning and no file
// left when the write failed).
bool CreateResultFile(RecordWriter& tmp, RecordWriter& prn, const std::string& name, const std::string& folder);
bool CloseResultFile(RecordWriter& tmp, RecordWriter& prn, const std::string& name);
// Eigenvalues and vectors of the n x n symmetric matrix m: values that are not finite are a
// warning in the listing (false); a solver that stopped before converging is noted there.
bool SolveEigenForListing(RecordWriter& prn, int n, const std::vector<double>& m,
                          SymmetricEigenResult& out);
// One "eigenvalue percent cumulative" line of a result file.
std::string EigenvalueLine(double value, double percent, double cumulative);

// Eigenvalues, percentages of the total and cumulative percentages of factors 1 to nf.
// Factors beyond values.size() and values at or below zeroBelow count as 0.
struct FactorTable {
    double total = 0.0;
    std::vector<double> values, percent, cumulative;
};
FactorTable MakeFactorTable(const std::vector<double>& values, double total, int nf, double zeroBelow);
// The eigenvalue section of the listing: heading with the total, one line per factor with
// its histogram bar of one '.' per percent (at least 1, at most 100).
void WriteFactorListing(RecordWriter& out, const FactorTable& table);

// The coordinates and contributions section: heading block, then sections and points.
// Shows the first min(nf, 6) factors. The absolute contribution of a point of weight w to
// factor a is 100 w c^2 / lambda(a); the relative one c^2 / d2.
class PointTable {
public:
    PointTable(RecordWriter& out, const FactorTable& factors, int nameWidth, bool showMass);
    void Heading();
    void Section(const std::string& title);
    // d2 is given divided by scale^2 (scale a power of two, 1 for ordinary points), so that a
    // point far out keeps its relative contributions, (c / scale)^2 / d2, where its squared
    // distance passes the largest double; a figure too wide for its field is asterisks.
    void Point(const std::string& name, double mass, double weight, double d2, const double* coordinates,
               std::size_t stride, double scale = 1.0);

private:
    RecordWriter& out_;
    const FactorTable& factors_;
    int nameWidth_;
    bool showMass_;
    std::string line_, absolute_, relative_;
};

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

template <class Work, class CloseListings>
int RunKeepingNoStaleResults(RecordWriter& prn, const std::string& resultPath, const std::string& memoryHint,
                             int okStatus, int noMemoryStatus, int outputErrorStatus, Work work,
                             CloseListings closeListings) {
    std::remove(resultPath.c_str());
    int status;
    try {
        status = work();
    } catch (const std::bad_alloc&) {
        WriteAlert(prn, "ATENÇÃO - MEMÓRIA INSUFICIENTE", {memoryHint});
        status = noMemoryStatus;
    } catch (const std::length_error&) {
        WriteAlert(prn, "ATENÇÃO - MEMÓRIA INSUFICIENTE", {memoryHint});
        status = noMemoryStatus;
    }
    if (!closeListings() && status == okStatus)
        status = outputErrorStatus;
    if (status != okStatus)
        std::remove(resultPath.c_str());
    return status;
}
