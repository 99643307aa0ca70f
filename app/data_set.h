// The document's data set: a data table that also reads and writes the native file,
// imports and exports text rows and takes tab-separated text from the clipboard.
#pragma once

#include <string_view>

#include "app/data_table.h"

// The numeric-text test of the files and dialogs: digits, at most one '.', a '-' only in
// first place; the empty string passes. Every reader of numbers in text takes what it
// passes, and nothing else.
bool IsNumericString(std::string_view text);
// The same test of a C string (its bytes up to the first zero byte).
BOOL IsNumericString(const char* text);
// The number of a numeric text, as atof reads it.
double NumericValue(std::string_view text);

// How the row reader cuts the text for its threads: the bytes read at a time (whole lines;
// the buffer grows for a longer line), the bytes of one task, and the threads (0: one per
// processor). Any layout reads the same table and refuses with the same message.
struct CRowReadLayout {
    size_t batchBytes = size_t(8) << 20;
    size_t pieceBytes = size_t(256) << 10;
    unsigned threads = 0;
};

class CDataSet : public CDataTable {
public:
    CDataSet() = default;
    ~CDataSet() override;

    // The native file: version line, code, number of variables, variable blocks, rows.
    void Save(CArchive& ar) const;
    BOOL Load(CArchive& ar);
    // The row lines: the name, then " %f" per variable, "\r\n".
    void WriteRows(CArchive& ar) const;
    // Reads row lines to the end of the file. With expectedVariables >= 0 every row must
    // hold that many values; otherwise the first row decides.
    BOOL ReadRows(CArchive& ar, int expectedVariables = -1, const CRowReadLayout& layout = CRowReadLayout());

    // The message for the first thing that the reader would refuse or read back otherwise
    // (a name holding a zero byte or a line break, a row name that is not one word, a value
    // that is not finite); empty when the table can be written. With rowsOnly only the rows
    // are checked (the text export).
    CString FindUnwritable(bool rowsOnly) const;

    // Text import: the rows, then default variables.
    BOOL Import(CArchive& ar);
    // The clipboard's text through ParseTabText, then default variables.
    BOOL PasteFromClipboard();
    // Tab-separated text: one row per line, the row name first.
    BOOL ParseTabText(const CString& text);
    // One quantitative variable per column named by its number, code -9.9, statistics.
    void CreateDefaultVariables();

    // The engine data matrix of the complete rows (analyses/engine_matrix.cpp): one
    // identifier line per row (the row name, or the identifier variable's integer code),
    // then one line of "%f" values of the columns per row.
    void WriteEngineMatrix(CStdioFile* file, const std::vector<int>& columns, int identifier) const;
    // A value as the engine data matrix carries it ("%f", six decimals), which is the value
    // that the engines read and compare.
    static CString EngineMatrixValue(double value);

protected:
    // Rows read from a text, kept aside until the whole text is good.
    struct RowCollector {
        explicit RowCollector(int expectedWidth) : width(expectedWidth) {}
        // Adds row k; false (with the message) when its number of values is wrong.
        bool Add(const CString& name, const std::vector<double>& rowValues);
        // Adds a last value to every row so far.
        void AddColumn(double value);
        size_t RowCount() const { return names.size(); }
        CValueBlock values;   // row after row
        std::vector<CString> names;
        int width;
        int k = 1;
    };
    // The collected rows become the table's.
    void TakeRows(RowCollector&& rows);
    // ReadRows, making the first pass of the means (sums, when given) as the rows come.
    BOOL ReadRowLines(CArchive& ar, int expectedVariables, const CRowReadLayout& layout, ValueSums* sums);
};
