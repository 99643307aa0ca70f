// Listing and result-file pieces of the factorial engines kelo, mur and dazi: the banner,
// warning blocks, the echo of a kelo.par-like parameter file, the eigenvalue table with its
// histogram, the table of point coordinates and contributions, and the guarded run that
// leaves no earlier result file behind.
//
//   WriteBanner(prn, "ANÁLISE ...", title, ClampedCount(numeric), ClampedCount(literal), "");
//   FactorTable factors = MakeFactorTable(eigenvalues, trace, nf, zeroBelow);
//   WriteFactorListing(prn, factors, TotalField::Free);
//   PointTable table(prn, factors, 4, true);
//   table.Heading();
//   table.Section("Pontos-coluna activos");
//   table.Point(name, mass, mass, d2, &coordinates[k], count);
#pragma once

#include <cstddef>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engines/common/record_io.h"

// A count in 4 columns, or as wide as it needs.
std::string FormatCount(long long value);

// Banner of the listing: the analysis heading and version, the title between rules, and the
// sizes of the work areas. lead is what the rules and the two size lines begin with ahead of
// their own text (kelo writes them as they stand, mur and dazi after one more blank).
void WriteBanner(RecordWriter& out, const std::string& heading, const std::string& title,
                 long long numeric, long long literal, std::string_view lead = " ");
// A warning block between two rules of " *".
void WriteAlert(RecordWriter& out, const std::string& heading, const std::vector<std::string>& lines);

// A failed read of the parameter file: a warning naming the item and the line. Returns
// whether the read succeeded.
bool CheckParameterRead(RecordWriter& out, const std::string& parameterFile, ReadStatus status,
                        const RecordReader& in, const char* what);

// The parameter file of kelo and mur (kelo.par, mur.par): the counts of rows, active rows,
// columns, active columns and factors, the data file, the title; then the flags of rows and
// columns when some points are not active, the graph options, the column names and two
// options. Their runs derive from it and work with its members, named as members of theirs.
// A read that fails leaves its warning in the listing.
struct ParameterFile {
    ParameterFile(std::string name, const char* notActive) : parName_(std::move(name)), notActive_(notActive) {}

    // Opens the file in folder into par and reads the counts, the data file and the title.
    bool ReadHead(RecordReader& par, RecordWriter& out, const std::string& folder);
    bool CountsValid() const {
        return nl_ >= 1 && nc_ >= 1 && nla_ >= 0 && nla_ <= nl_ && nca_ >= 0 && nca_ <= nc_;
    }
    // The warning of counts that are not valid.
    void WriteInvalidCounts(RecordWriter& out) const;
    // Whether what is left of par can hold the flags (when it holds them) and a line per
    // column name, so that counts the file cannot hold are refused before anything is
    // reserved from them.
    bool CheckNamesFit(const RecordReader& par, RecordWriter& out) const;
    // The flags (when the file holds them), the graph options, the column names (nameWidth
    // columns of a line each; 0 for whole lines) and the options.
    bool ReadRest(RecordReader& par, RecordWriter& out, int nameWidth, std::vector<std::string>& names);
    // Every point active, when the file held no flags.
    void AllActive();
    // The "PARÂMETROS LIDOS" block, the flags when the file held them; count writes the
    // counts in their fields.
    void PrintParameters(RecordWriter& out, std::string (*count)(long long)) const;

    std::string parName_;
    const char* notActive_;  // what the flag headings call points that are not active
    // The file's counts, until a run makes them those of its working table.
    int nl_ = 0, nla_ = 0, nc_ = 0, nca_ = 0, nf_ = 0;
    std::string dataPath_, title_;
    bool flagsRead_ = false;  // some points are not active: the file holds their flags
    std::vector<int> rowFlags_, colFlags_;
    int graphs_ = 0, pages_ = 1, lines_ = 65;
    double deviations_ = 2.5;
    int createFiles_ = 0, printData_ = 0;

private:
    bool Read(ReadStatus status, const RecordReader& par, RecordWriter& out, const char* what) const;
};

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

// Eigenvalues, percentages of the total and cumulative percentages of factors 1 to nf.
// An eigenvalue at or below nullLevel is null (no percentage, coordinates or contributions),
// and so is every percentage when nullTotal is set.
struct FactorTable {
    double total = 0.0;
    bool nullTotal = false;
    double nullLevel = 0.0;
    std::vector<double> values, percent, cumulative;
};
// Factors beyond values.size() and values at or below zeroBelow count as 0, as does a total
// at or below it.
FactorTable MakeFactorTable(const std::vector<double>& values, double total, int nf, double zeroBelow);
// How the heading writes the total: in a field of 9 (kelo) or as wide as it needs.
enum class TotalField { Fixed9, Free };
// The eigenvalue section of the listing: heading with the total, one line per factor with
// its histogram bar of one '.' per percent (at least 1, at most 100), then a note for a
// null total and for each null eigenvalue.
void WriteFactorListing(RecordWriter& out, const FactorTable& table, TotalField totalField);

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
