// Record-oriented text files of the engine programs.
//
// Reading (parameter and data files; lines may end in CRLF or LF):
//
//   RecordReader in;
//   if (!in.Open("kelo.par", folder)) { ... }       // name in Windows-1252, relative to folder
//   int counts[5];
//   if (in.ReadInts(counts, 5) != ReadStatus::Ok) { ... in.ErrorText() ... }
//   std::string path, title, name;
//   in.ReadLine(path);            // a whole line, line end and trailing blanks removed
//   in.ReadText(title, 128);      // fixed text: the line cut after / padded to 128 columns
//   in.ReadText(name, 4);         // fixed name of 4 columns, blanks included
//   std::vector<int> flags(n);
//   in.ReadDigits(flags.data(), n);      // one-digit flags, 80 a line (blank = 0)
//   in.ReadName(name);            // free-format name: first 4 characters, cut at blank , /
//   std::vector<float> row(nc);
//   in.ReadReals(row.data(), nc); // free format: values across as many lines as needed
//
// A free-format read takes its values from as many lines as it needs, skips empty lines,
// accepts blanks, tabs and commas as separators, stops early at a "/" (the values not
// reached keep what they held), and drops the rest of the last line it touched: the next
// read starts on a new line. Every read reports Ok, EndOfFile (the file ended before the
// read was complete; ValuesRead() tells how many values were stored) or Error (a value
// that is not a number of the asked kind; ErrorText() and LineNumber() describe it).
//
// Writing (listings and result files; every record ends in CR LF, as on the original system):
//
//   RecordWriter out;
//   if (!out.Create("kelo.prn", folder)) { ... }   // created or replaced
//   out.Write(" " + FormatI(n, 4) + FormatF(x, 10, 5) + FormatE(y, 13, 6));
//   out.WriteBlank(2);                              // two empty records
//   WriteContinued(out, FormatText(name, 4), Blanks(4), fields, 10);
//
// FormatI/F/E follow the listing conventions of the engines: right-aligned in their
// field, the field filled with asterisks when the value does not fit, "12." for a real
// with no decimals, "0.123456E+01" for the exponent form. FormatFree writes a value for
// a free-format record (shortest form that reads back to the same value).
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class ReadStatus { Ok, EndOfFile, Error };

// One value of a free-format read that mixes kinds (see RecordReader::ReadItems).
struct FreeItem {
    enum class Type { Int, Float, Double, Name };
    Type type;
    void* target;
    int width = 4;  // names only
};
inline FreeItem FreeInt(int& value) { return {FreeItem::Type::Int, &value}; }
inline FreeItem FreeReal(float& value) { return {FreeItem::Type::Float, &value}; }
inline FreeItem FreeReal(double& value) { return {FreeItem::Type::Double, &value}; }
inline FreeItem FreeName(std::string& value, int width = 4) {
    return {FreeItem::Type::Name, &value, width};
}

class RecordReader {
public:
    RecordReader() = default;
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Opens an existing file. The name is Windows-1252 text (trailing blanks are trimmed,
    // it is converted to UTF-8); a relative name is taken inside folder (a system path)
    // when folder is not empty. False when the file cannot be read.
    bool Open(std::string_view fileName1252, const std::string& folder = {});
    // Same, with a path already in the system's form (UTF-8).
    bool OpenSystemPath(const std::string& path);
    // Reads from text held in memory (used by tests and by callers that already hold a file).
    void OpenText(std::string text);
    bool IsOpen() const { return open_; }
    void Close();
    const std::string& SystemPath() const { return path_; }

    // Free-format reads.
    ReadStatus ReadInts(int* values, int count);
    ReadStatus ReadReals(float* values, int count);
    ReadStatus ReadReals(double* values, int count);
    ReadStatus ReadName(std::string& name, int width = 4);
    // One free-format read of values of different kinds, e.g.
    //   in.ReadItems({FreeInt(graphs), FreeInt(pages), FreeInt(lines), FreeReal(deviations)});
    ReadStatus ReadItems(std::initializer_list<FreeItem> items);

    // Fixed-width reads: one line each.
    ReadStatus ReadText(std::string& text, int width = 128);
    ReadStatus ReadLine(std::string& line);
    ReadStatus ReadDigits(int* values, long long count, int perRecord = 80);
    ReadStatus SkipRecord();

    bool AtEnd() const { return pos_ >= text_.size(); }
    // Lines not read yet (a last line without its line end counts).
    long long LinesLeft() const;
    // Whether the unread text can hold the table of a data file: rows free-format records of
    // one name, then rows records of columns values. Every free-format record needs a line
    // with something on it, and every value at least one character (a digit, or a comma for
    // a null value) unless a "/" ends a read early. Judged before reserving the table, so
    // that counts the file cannot hold are refused at once.
    bool CanHoldTable(long long rows, long long columns) const;
    long long ValuesRead() const { return valuesRead_; }
    int LineNumber() const { return line_; }
    const std::string& ErrorText() const { return error_; }

private:
    // Takes count values; kindOf(item) gives the kind and target of each.
    template <class ItemAt>
    ReadStatus ReadFree(int count, ItemAt itemAt);
    bool NextLine(std::string_view& line);

    std::string text_;
    std::string path_;
    size_t pos_ = 0;
    int line_ = 0;
    long long valuesRead_ = 0;
    std::string error_;
    bool open_ = false;
};

class RecordWriter {
public:
    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates or replaces a file; the name rules are those of RecordReader::Open.
    bool Create(std::string_view fileName1252, const std::string& folder = {});
    bool CreateSystemPath(const std::string& path);
    // Replaces a file in a folder that the user chose, never writing through what stands at
    // the name: the records go into a file created exclusively beside it, which Close renames
    // over the name once all was written. A symbolic link at the name is replaced and its
    // target left alone; a name holding anything but a regular file (a fifo, a device, a
    // folder), or a regular file that nobody may write, is refused without being opened.
    // When the writing fails, the new file is removed and the name keeps what it held.
    bool CreateReplacing(std::string_view fileName1252, const std::string& folder = {});
    bool IsOpen() const { return file_ != nullptr; }
    // Writes one record; the line end is added.
    void Write(std::string_view record);
    void WriteBlank(int count = 1);
    // Flushes and closes (and puts a replacing file in place); false when anything could not
    // be written.
    bool Close();
    bool Good() const { return good_; }
    const std::string& SystemPath() const { return path_; }

private:
    void Flush();
    // Drops a replacing file that was not closed: its name keeps what it held.
    void Abandon();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string path_;
    std::string temporary_;  // the file written by CreateReplacing, until Close renames it
    bool good_ = true;
};

// Field formatters of the listing conventions.
std::string FormatI(long long value, int width);
// A work-area figure computed in long double from the counts, as a count: beyond the range
// of a long long it is the largest one (asterisks in the listing's field).
long long ClampedCount(long double value);
std::string FormatF(double value, int width, int decimals);
// FormatF(value, width, decimals) appended to out, without intermediate strings: result files
// and listings hold hundreds of thousands of such fields.
void AppendFixed(std::string& out, double value, int width, int decimals);
std::string FormatE(double value, int width, int decimals);
// Fixed text field: cut after width characters or padded with blanks on the right.
std::string FormatText(std::string_view text, int width);
// Text padded with blanks to at least width characters, never cut (titles and paths).
std::string PadText(std::string_view text, int width);
std::string Blanks(int count);
std::string Repeat(std::string_view piece, int times);

// One value of a free-format record, shortest form that reads back to the same value.
std::string FormatFree(float value);
std::string FormatFree(double value);
// A free-format record: a blank before every value.
std::string FreeRecord(std::initializer_list<float> values);
std::string FreeRecord(std::initializer_list<double> values);

// Writes fields perRecord at a time: the first record begins with leader, each
// continuation record with continuation. At least one record is written.
void WriteContinued(RecordWriter& out, std::string_view leader, std::string_view continuation,
                    const std::vector<std::string>& fields, int perRecord);
