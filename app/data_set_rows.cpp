// The row lines of the native file and of the text import, read on every processor. The
// text comes in batches of whole lines; each batch is cut into pieces of whole lines; the
// workers first count the rows of every piece, which gives each piece the place of its
// first row, then read every piece straight into its place in the table. The next batch is
// read from the file meanwhile. The table and the refusals are those of reading the lines
// one by one: the first refusal in the file is the one reported, naming its row.
#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "app/data_set.h"
#include "app/data_table_workers.h"
#include "app/status.h"

namespace {

void Fail(const CString& message) { AfxMessageBox(message); }

// The refusal of row k (from 1), whose number of values is not the first row's.
void FailRowLength(int k) { Fail(FormatString("Erro - O número de variáveis da %dª linha não está correcto", k)); }

// A value of a row: numeric text that converts to a finite number.
bool ParseValue(std::string_view text, double* value) {
    if (!IsNumericString(text)) return false;
    const double v = NumericValue(text);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
}

// The powers of ten up to 10^15, as doubles (all exact) and as integers.
constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr auto kTens = [] {
    std::array<std::uint64_t, 16> tens{};
    std::uint64_t ten = 1;
    for (std::uint64_t& t : tens) {
        t = ten;
        ten *= 10;
    }
    return tens;
}();

// The position of the first byte of a word (8 bytes, the first in the low byte) that is not
// a digit; 8 when all are. A byte above a non-digit may be misjudged (a carry), which does
// not matter: only the first counts.
int FirstNonDigit(std::uint64_t word) {
    const std::uint64_t a = word ^ 0x3030303030303030ULL;  // digits become 0 to 9
    const std::uint64_t high = ((a + 0x7676767676767676ULL) | a) & 0x8080808080808080ULL;
    return high ? std::countr_zero(high) / 8 : 8;
}

// The number that the first k (1 to 8) bytes of a word hold as decimal digits.
std::uint64_t DigitsValue(std::uint64_t word, int k) {
    std::uint64_t v = (word - 0x3030303030303030ULL) << (8 * (8 - k));  // leading zeros in front
    v = v * 10 + (v >> 8);
    return (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
            (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
           32;
}

std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The run of digits at s, read 8 bytes at a time: its length, and its value when it has at
// most 15 digits (16 stands for any longer run). -1 when the text ends too soon to tell:
// it is readable up to limit.
[[gnu::always_inline]] inline int DigitRun(const char* s, const char* limit, std::uint64_t* value) {
    if (limit - s < 8) return -1;
    const std::uint64_t first = Load8(s);
    const int k = FirstNonDigit(first);
    if (k < 8) {
        *value = k ? DigitsValue(first, k) : 0;
        return k;
    }
    if (limit - s < 16) return -1;
    const std::uint64_t second = Load8(s + 8);
    const int m = FirstNonDigit(second);
    if (m == 8) return 16;
    *value = DigitsValue(first, 8) * kTens[m] + (m ? DigitsValue(second, m) : 0);
    return 8 + m;
}

// The value of the token at p, which ends at the next blank or at the end of the line;
// p is left at its end. A token is read as ParseValue reads it. The usual form (a sign,
// digits, a point, digits: at most 15 digits in all, as "%f" writes values below a billion)
// is read here at once: it is numeric text, its digits form an integer that a double holds
// exactly, and one division by an exact power of ten gives the correctly rounded value, as
// NumericValue computes it. The text is readable up to limit (the end of the text read, at
// or after the end of the line).
bool ReadValue(const char*& p, const char* end, const char* limit, double* value) {
    const char* const begin = p;
    const bool negative = *p == '-';
    const char* s = begin + negative;
    std::uint64_t digits = 0, fraction = 0;
    const int k = DigitRun(s, limit, &digits);
    if (k >= 0 && k <= 15) {
        const char* after = s + k;
        int decimals = 0;
        if (after < end && *after == '.') {
            decimals = DigitRun(after + 1, limit, &fraction);
            after += 1 + decimals;
        }
        if (decimals >= 0 && k + decimals > 0 && k + decimals <= 15 && (after == end || *after == ' ')) {
            p = after;
            digits = digits * kTens[decimals] + fraction;
            const double v = static_cast<double>(digits) / kPowers[decimals];
            *value = negative ? -v : v;
            return true;
        }
    }
    const void* blank = std::memchr(s, ' ', static_cast<size_t>(end - s));
    p = blank ? static_cast<const char*>(blank) : end;
    return ParseValue(std::string_view(begin, static_cast<size_t>(p - begin)), value);
}

// Calls line(begin, end) for each line of [text, end) until it returns false. A line ended
// by "\n" loses it and a '\r' just before it; a last line without "\n" (the end of the
// file) keeps all its bytes.
template <class F>
void ForEachLine(const char* text, const char* end, F&& line) {
    while (text < end) {
        const char* nl = static_cast<const char*>(std::memchr(text, '\n', static_cast<size_t>(end - text)));
        if (!nl) {
            line(text, end);
            return;
        }
        const char* e = nl > text && nl[-1] == '\r' ? nl - 1 : nl;
        if (!line(text, e)) return;
        text = nl + 1;
    }
}

// A line of blanks (or none) holds no row.
bool IsBlank(const char* p, const char* end) {
    for (; p < end; ++p)
        if (*p != ' ') return false;
    return true;
}

// The number of values of a row line: its words after the first.
size_t CountValues(const char* p, const char* end) {
    size_t words = 0;
    while (p < end) {
        while (p < end && *p == ' ') ++p;
        if (p == end) break;
        ++words;
        while (p < end && *p != ' ') ++p;
    }
    return words > 0 ? words - 1 : 0;
}

enum class Refusal { none, value, count };

// A piece of a batch: whole lines.
struct Piece {
    const char* begin = nullptr;
    const char* end = nullptr;
    size_t rows = 0;       // its lines that are not blank
    size_t firstRow = 0;   // the table row (from 0) of its first
    Refusal refusal = Refusal::none;
    size_t refusedRow = 0;  // from 0, in the table
    int value = 0;          // the refused value's number in its row, from 1
};

// Reads a row line that is not blank: the name, then the values, width of them, into
// name and out when they are given. Returns what the line is refused for, if anything.
Refusal ReadRow(const char* p, const char* end, const char* limit, size_t width, CString* name, double* out,
                int* valueNumber) {
    while (*p == ' ') ++p;
    const void* blank = std::memchr(p, ' ', static_cast<size_t>(end - p));
    const char* nameEnd = blank ? static_cast<const char*>(blank) : end;
    // Up to a zero byte the line holds a name and no value.
    if (std::memchr(p, '\0', static_cast<size_t>(nameEnd - p))) return Refusal::count;
    if (name) name->str().assign(p, static_cast<size_t>(nameEnd - p));
    size_t j = 0;
    p = nameEnd;
    for (;;) {
        while (p < end && *p == ' ') ++p;
        if (p == end) break;
        ++j;
        double v;
        if (!ReadValue(p, end, limit, &v)) {
            *valueNumber = static_cast<int>(std::min<size_t>(j, INT_MAX));
            return Refusal::value;
        }
        if (out && j <= width) out[j - 1] = v;
    }
    return j == width ? Refusal::none : Refusal::count;
}

void CountRows(Piece& piece) {
    size_t rows = 0;
    ForEachLine(piece.begin, piece.end, [&](const char* b, const char* e) {
        rows += !IsBlank(b, e);
        return true;
    });
    piece.rows = rows;
}

// Reads the rows of a piece into the table's names and values (from its first row on), or
// with no table only looks for a refusal; stops at the first refusal.
void ReadPiece(Piece& piece, size_t width, CString* names, double* values) {
    size_t row = piece.firstRow;
    ForEachLine(piece.begin, piece.end, [&](const char* b, const char* e) {
        if (IsBlank(b, e)) return true;
        int valueNumber = 0;
        Refusal r = ReadRow(b, e, piece.end, width, names ? names + row : nullptr, values ? values + row * width : nullptr,
                            &valueNumber);
        if (r != Refusal::none) {
            piece.refusal = r;
            piece.refusedRow = row;
            piece.value = valueNumber;
            return false;
        }
        ++row;
        return true;
    });
}

// Reports the first refusal of the pieces, in file order; false when there is none.
bool ReportRefusal(const std::vector<Piece>& pieces) {
    for (const Piece& piece : pieces) {
        if (piece.refusal == Refusal::none) continue;
        const int k = static_cast<int>(std::min<size_t>(piece.refusedRow + 1, INT_MAX));
        if (piece.refusal == Refusal::value)
            Fail(FormatString("Erro - A %dª variável da %dª linha  não é um número", piece.value, k));
        else
            FailRowLength(k);
        return true;
    }
    return false;
}

// Cuts [begin, end) into pieces of whole lines of about pieceBytes each.
void CutPieces(const char* begin, const char* end, size_t pieceBytes, std::vector<Piece>& pieces) {
    pieces.clear();
    const size_t length = static_cast<size_t>(end - begin);
    const size_t count = std::max<size_t>(1, length / pieceBytes);
    const char* start = begin;
    for (size_t i = 1; i <= count && start < end; ++i) {
        const char* cut = i == count ? end : std::max(start, begin + length / count * i);
        if (cut < end) {
            const void* nl = std::memchr(cut, '\n', static_cast<size_t>(end - cut));
            cut = nl ? static_cast<const char*>(nl) + 1 : end;
        }
        Piece piece;
        piece.begin = start;
        piece.end = cut;
        pieces.push_back(piece);
        start = cut;
    }
}

using CTextBuffer = std::vector<char, CValueAllocator<char>>;

// The text after the header in batches of whole lines, read into two buffers in turn, so
// that the next batch is read while the workers read the last one. A file that can be read
// at positions is read in parts that the workers read at the same time; anything else
// through the archive, by the calling thread. Reading a batch goes Prepare, ReadPart for
// each part (any thread), then Complete.
class CLineBatches {
public:
    // Batches of about bytes, read in eight parts at a time.
    CLineBatches(CArchive& ar, size_t bytes) : m_ar(ar), m_file(ar.GetFile()) {
        if (m_file && m_file->GetLength() > 0 && m_ar.ReleaseFile()) {
            m_position = m_file->GetPosition();
            m_atPositions = m_file->GetLength() > m_position;
        }
        // A small file is read in one batch: the buffers need not be larger.
        m_bytes = static_cast<size_t>(std::clamp<ULONGLONG>(Unread() + (ULONGLONG(64) << 10), 1, std::max<size_t>(bytes, 1)));
        m_partBytes = std::max<size_t>(m_bytes / 8, 1);
    }

    // Moves the lines left over from the last batch to the start of the other buffer.
    // Returns the number of parts to read with ReadPart (none when Complete reads).
    size_t Prepare() {
        const CTextBuffer& from = m_buffers[m_current];
        CTextBuffer& to = m_buffers[1 - m_current];
        m_tail = m_textEnd - m_batchEnd;
        if (to.size() < std::max(m_bytes, 2 * m_tail)) to.resize(std::max(m_bytes, 2 * m_tail));
        if (m_tail) std::memcpy(to.data() + 0, from.data() + m_batchEnd, m_tail);
        m_got.clear();
        if (!m_atPositions || m_ended) return 0;
        m_got.assign((to.size() - m_tail + m_partBytes - 1) / m_partBytes, 0);
        return m_got.size();
    }
    // Reads part i of the next batch.
    void ReadPart(size_t i) {
        CTextBuffer& to = m_buffers[1 - m_current];
        const size_t from = i * m_partBytes;
        m_got[i] = m_file->ReadAt(m_position + from, to.data() + m_tail + from, static_cast<UINT>(PartSize(i)));
    }
    // Makes the next batch the current one: its lines up to the last "\n" (all of them at
    // the end of the text), read on for a line that the buffer cannot hold. False when
    // the text has ended.
    bool Complete() {
        CTextBuffer& to = m_buffers[1 - m_current];
        size_t length = m_tail, batchEnd = 0;
        // The parts read: the text runs on to the first that ended short.
        for (size_t i = 0; i < m_got.size(); ++i) {
            length += m_got[i];
            if (m_got[i] < PartSize(i)) {
                m_ended = true;
                break;
            }
        }
        m_position += length - m_tail;
        for (size_t searched = m_tail, fresh = !m_got.empty();; fresh = false) {
            if (!fresh && !m_ended && length < to.size()) {
                const size_t want = std::min<size_t>(to.size() - length, UINT_MAX);
                const size_t got = m_atPositions ? m_file->ReadAt(m_position, to.data() + length, static_cast<UINT>(want))
                                                 : m_ar.Read(to.data() + length, static_cast<UINT>(want));
                if (m_atPositions) m_position += got;
                m_ended = got < want;
                length += got;
            }
            const void* nl = memrchr(to.data() + searched, '\n', length - searched);
            if (nl) {
                batchEnd = static_cast<size_t>(static_cast<const char*>(nl) - to.data()) + 1;
                break;
            }
            searched = length;
            if (m_ended) {
                batchEnd = length;
                break;
            }
            if (length == to.size()) to.resize(2 * to.size());  // a line longer than the buffer
        }
        m_got.clear();
        m_current = 1 - m_current;
        m_batchEnd = batchEnd;
        m_textEnd = length;
        // The file is left at the end of what was read, as reading through the archive does.
        if (m_ended && m_atPositions) m_file->Seek(static_cast<LONGLONG>(m_position), CFile::begin);
        return batchEnd > 0;
    }

    const char* Begin() const { return m_buffers[m_current].data(); }
    const char* End() const { return Begin() + m_batchEnd; }
    // The position in the file of the end of the text read so far.
    ULONGLONG Position() const { return m_atPositions ? m_position : m_file ? m_file->GetPosition() : 0; }
    // About how many bytes of the text have not been in a batch yet.
    ULONGLONG Unread() const {
        const ULONGLONG length = m_file ? m_file->GetLength() : 0, position = Position();
        return m_textEnd - m_batchEnd + (length > position ? length - position : 0);
    }

private:
    size_t PartSize(size_t i) const {
        return std::min(m_partBytes, m_buffers[1 - m_current].size() - m_tail - i * m_partBytes);
    }

    CArchive& m_ar;
    CFile* m_file;
    size_t m_bytes, m_partBytes;
    bool m_atPositions = false;
    ULONGLONG m_position = 0;  // of the next byte to read, when reading at positions
    CTextBuffer m_buffers[2];
    int m_current = 0;
    size_t m_batchEnd = 0;  // in the current buffer: the end of the batch,
    size_t m_textEnd = 0;   // then the bytes of the next lines read already
    size_t m_tail = 0;      // those bytes, moved to the next buffer
    std::vector<size_t> m_got;  // the bytes each part read
    bool m_ended = false;
};

}  // namespace

bool CDataSet::RowCollector::Add(const CString& name, const std::vector<double>& rowValues) {
    if (width < 0) width = static_cast<int>(rowValues.size());
    if (static_cast<int>(rowValues.size()) != width) {
        FailRowLength(k);
        return false;
    }
    names.push_back(name);
    values.insert(values.end(), rowValues.begin(), rowValues.end());
    ++k;
    return true;
}

void CDataSet::RowCollector::AddColumn(double value) {
    const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
    CValueBlock wider(names.size() * (w + 1));
    for (size_t r = 0; r < names.size(); ++r) {
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(r * w), w, wider.begin() + static_cast<std::ptrdiff_t>(r * (w + 1)));
        wider[r * (w + 1) + w] = value;
    }
    values = std::move(wider);
    width = static_cast<int>(w + 1);
}

void CDataSet::TakeRows(RowCollector&& collected) {
    m_values = std::move(collected.values);
    m_rowNames = std::move(collected.names);
    m_nRows = static_cast<int>(m_rowNames.size());
    m_nVariables = collected.width < 0 ? 0 : collected.width;
}

BOOL CDataSet::ReadRows(CArchive& ar, int expectedVariables, const CRowReadLayout& layout) {
    return ReadRowLines(ar, expectedVariables, layout, nullptr);
}

BOOL CDataSet::ReadRowLines(CArchive& ar, int expectedVariables, const CRowReadLayout& layout, ValueSums* sums) {
    CFile* file = ar.GetFile();
    const size_t pieceBytes = std::max<size_t>(layout.pieceBytes, 1);
    CLineBatches text(ar, layout.batchBytes);

    CValueBlock values;
    std::vector<CString> names;
    std::vector<Piece> pieces;
    size_t rows = 0, bytesRead = 0;
    size_t summed = 0;  // rows added to the sums
    auto sumRows = [&](size_t w) {
        if (sums) sums->Add(values.data() + summed * w, rows - summed, w, 0, w);
        summed = rows;
    };
    long long width = expectedVariables < 0 ? -1 : expectedVariables;
    // Declared last: its threads end before the data they work on goes.
    CTableWorkers workers(layout.threads);

    workers.Run(text.Prepare(), [&](size_t i, unsigned) { text.ReadPart(i); });
    bool more = text.Complete();
    while (more) {
        const char* begin = text.Begin();
        const char* end = text.End();
        const size_t length = static_cast<size_t>(end - begin);
        CutPieces(begin, end, pieceBytes, pieces);
        workers.Run(pieces.size(), [&](size_t i, unsigned) { CountRows(pieces[i]); });
        size_t batchRows = 0;
        for (Piece& piece : pieces) {
            piece.firstRow = rows + batchRows;
            batchRows += piece.rows;
        }
        if (width < 0 && batchRows > 0) {
            // Without a count from the header, the first row's number of values decides.
            ForEachLine(begin, end, [&](const char* b, const char* e) {
                if (IsBlank(b, e)) return true;
                width = static_cast<long long>(CountValues(b, e));
                return false;
            });
        }
        const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
        bytesRead += length;
        // A row of w values takes 2w + 1 bytes at least (a name and w values, each of a
        // byte or more after a blank): a batch with more rows than that holds a row to
        // refuse, which is all that is looked for.
        if (batchRows > length / (2 * w + 1)) {
            workers.Run(pieces.size(), [&](size_t i, unsigned) { ReadPiece(pieces[i], w, nullptr, nullptr); });
            if (ReportRefusal(pieces)) return FALSE;
        }
        if (rows + batchRows > names.capacity()) {
            // Room for the rows that the rest of the text holds at the rows' length so
            // far, and never for more than it could hold at their shortest.
            const double rest = static_cast<double>(text.Unread());
            const double perByte = static_cast<double>(rows + batchRows) / static_cast<double>(bytesRead);
            const size_t most = static_cast<size_t>(rest / static_cast<double>(2 * w + 2)) + 1;
            const size_t capacity = rows + batchRows + std::min(static_cast<size_t>(rest * perByte * 1.02) + 64, most);
            values.reserve(capacity * w);
            names.reserve(capacity);
            // The names are filled front to back to near their end: backed at once, by
            // every thread (fresh memory costs most in the system's zeroing of it).
            char* from = reinterpret_cast<char*>(names.data() + names.size());
            const size_t bytes = (names.capacity() - names.size()) * sizeof(CString);
            const size_t parts = std::max<size_t>(1, bytes >> 21);
            workers.Run(parts, [&](size_t i, unsigned) {
                afx::BackMemory(from + bytes * i / parts, bytes * (i + 1) / parts - bytes * i / parts);
            });
        }
        values.resize((rows + batchRows) * w);
        names.resize(rows + batchRows);
        CString* nameBase = names.data();
        double* valueBase = values.data();
        // The next batch is read meanwhile: in parts among the tasks (first, so that it is
        // ready early), or by this thread.
        const size_t reads = text.Prepare();
        workers.Start(reads + pieces.size(), [&, nameBase, valueBase, reads](size_t i, unsigned) {
            if (i < reads) text.ReadPart(i);
            else ReadPiece(pieces[i - reads], w, nameBase, valueBase);
        });
        // Meanwhile this thread reads the next batch when the workers do not, and adds the
        // rows of the last batch to the sums, in order.
        try {
            if (reads == 0) more = text.Complete();
            sumRows(w);
        } catch (...) {
            workers.Finish();
            throw;
        }
        workers.Finish();
        if (reads > 0) more = text.Complete();
        if (ReportRefusal(pieces)) return FALSE;
        rows += batchRows;
        if (file) SetProgressPos(static_cast<int>(std::min<ULONGLONG>(text.Position(), INT_MAX)));
    }
    sumRows(width < 0 ? 0 : static_cast<size_t>(width));
    // A block much larger than the table (a short last part of the file) is cut to size.
    if (values.capacity() - values.size() > values.size() / 8 + 512) values.shrink_to_fit();
    if (names.capacity() - names.size() > names.size() / 8 + 64) names.shrink_to_fit();
    m_values = std::move(values);
    m_rowNames = std::move(names);
    m_nRows = static_cast<int>(rows);
    m_nVariables = static_cast<int>(width < 0 ? 0 : width);
    return TRUE;
}
