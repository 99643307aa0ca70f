// The row reader cuts the text into batches and pieces for its threads. Wherever the cuts
// fall (inside a line, between "\r" and "\n", in a run of blanks, at the last line without
// its "\n"), it must read the table that reading the lines one by one gives, value for
// value as atof reads them, and refuse the same line with the same message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/data_set.h"
#include "tests/support/gui_test.h"

using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

struct Table {
    std::vector<std::string> names;
    std::vector<double> values;
    int width = 0;
    std::string message;  // the refusal, empty when the text is read
};

bool IsNumber(const std::string& word) {
    bool point = false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= '0' && c <= '9') continue;
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c == '-' && i == 0) continue;
        return false;
    }
    return true;
}

// The rows of a text read one line at a time, as the file format has them.
Table ReadLineByLine(const std::string& text, int expectedWidth) {
    Table t;
    t.width = expectedWidth;
    int k = 1;
    for (size_t start = 0; start < text.size();) {
        const size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (nl != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        start = nl == std::string::npos ? text.size() : nl + 1;
        std::vector<std::string> words;
        for (size_t p = line.find_first_not_of(' '); p != std::string::npos; p = line.find_first_not_of(' ', p)) {
            const size_t e = line.find(' ', p);
            words.push_back(line.substr(p, e == std::string::npos ? std::string::npos : e - p));
            p = e;
        }
        if (words.empty()) continue;
        if (words[0].find('\0') != std::string::npos) {
            t.message = "Erro - O número de variáveis da " + std::to_string(k) + "ª linha não está correcto";
            return t;
        }
        std::vector<double> row;
        for (size_t j = 1; j < words.size(); ++j) {
            const double v = std::atof(words[j].c_str());
            if (!IsNumber(words[j]) || !std::isfinite(v)) {
                t.message = "Erro - A " + std::to_string(j) + "ª variável da " + std::to_string(k) + "ª linha  não é um número";
                return t;
            }
            row.push_back(v);
        }
        if (t.width < 0) t.width = static_cast<int>(row.size());
        if (static_cast<int>(row.size()) != t.width) {
            t.message = "Erro - O número de variáveis da " + std::to_string(k) + "ª linha não está correcto";
            return t;
        }
        t.names.push_back(words[0]);
        t.values.insert(t.values.end(), row.begin(), row.end());
        ++k;
    }
    if (t.width < 0) t.width = 0;
    return t;
}

// A data set that reads its rows as the native file's reader does, adding them to the sums
// of the means batch by batch, then checks its means and variances against the ones made
// afterwards over the whole table, to the last bit.
struct SummingSet : CDataSet {
    BOOL Read(CArchive& ar, int expectedWidth, const CRowReadLayout& layout) {
        if (expectedWidth < 0) return ReadRows(ar, expectedWidth, layout);
        m_fMissingCode = -9.9f;
        m_variables.assign(static_cast<size_t>(expectedWidth), CVariableDesc());
        ValueSums sums(static_cast<size_t>(expectedWidth), m_fMissingCode);
        if (!ReadRowLines(ar, expectedWidth, layout, &sums)) return FALSE;
        ComputeMeanVariance(sums);
        CDataTable whole = *this;
        whole.ComputeMeanVariance();
        for (int v = 1; v <= expectedWidth; ++v) {
            const double a[2] = {whole.GetVariable(v)->GetMean(), whole.GetVariable(v)->GetVariance()};
            const double b[2] = {GetVariable(v)->GetMean(), GetVariable(v)->GetVariance()};
            EXPECT_EQ(std::memcmp(a, b, sizeof a), 0) << "variable " << v << ": " << b[0] << " " << b[1] << " for " << a[0] << " " << a[1];
        }
        return TRUE;
    }
};

Table ReadWithLayout(const std::string& path, int expectedWidth, const CRowReadLayout& layout) {
    Table t;
    ScriptedUser user;
    user.OnMessageBox([](const CString&, UINT) { return IDOK; });
    SummingSet set;
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load, 64);
    const BOOL ok = set.Read(ar, expectedWidth, layout);
    EXPECT_EQ(ok != FALSE, user.Messages().empty());
    if (!user.Messages().empty()) t.message = user.Messages().front().str();
    user.TakeUnused();
    if (!ok) return t;
    t.width = set.GetVariableCount();
    for (int r = 1; r <= set.GetRowCount(); ++r) {
        t.names.push_back(set.GetRowNameCopy(r).str());
        for (int v = 1; v <= set.GetVariableCount(); ++v) t.values.push_back(set.GetValue(r, v));
    }
    return t;
}

void ExpectSame(const Table& expected, const Table& read) {
    ASSERT_EQ(read.message, expected.message);
    if (!expected.message.empty()) return;
    EXPECT_EQ(read.width, expected.width);
    ASSERT_EQ(read.names, expected.names);
    ASSERT_EQ(read.values.size(), expected.values.size());
    // Bit for bit: -0 stays -0.
    for (size_t i = 0; i < read.values.size(); ++i)
        ASSERT_EQ(std::memcmp(&read.values[i], &expected.values[i], sizeof(double)), 0)
            << "value " << i << ": " << read.values[i] << " for " << expected.values[i];
}

// A value as files hold them, or in one of the other forms that the reader takes or refuses.
std::string Token(std::mt19937& rng, bool allowBad) {
    std::uniform_int_distribution<int> kind(0, allowBad ? 15 : 12);
    std::uniform_real_distribution<double> real(-1e6, 1e6);
    char buffer[64];
    switch (kind(rng)) {
        case 0: case 1: case 2:
            std::snprintf(buffer, sizeof buffer, "%f", real(rng));
            return buffer;
        case 3: case 4: {
            // Up to 16 digits before the point and up to 9 after: on both sides of 8 and of
            // 15 digits in all.
            const double magnitude = std::pow(10.0, std::uniform_int_distribution<int>(0, 16)(rng));
            std::snprintf(buffer, sizeof buffer, "%.*f", std::uniform_int_distribution<int>(0, 9)(rng),
                          real(rng) / 1e6 * magnitude);
            return buffer;
        }
        case 5: return std::to_string(static_cast<int>(real(rng)));
        case 6: return "-0";
        case 7: return std::uniform_int_distribution<int>(0, 1)(rng) ? ".5" : "5.";
        case 8: return std::uniform_int_distribution<int>(0, 1)(rng) ? "-" : ".";
        case 9: return "000123.4500";
        case 10: {
            // More significant digits than a double holds exactly, or more decimals than 22.
            std::string s = std::uniform_int_distribution<int>(0, 1)(rng) ? "-" : "";
            for (int i = std::uniform_int_distribution<int>(16, 30)(rng); i > 0; --i)
                s += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng));
            s.insert(s.size() / 3, ".");
            return s;
        }
        case 11: return "0." + std::string(25, '0') + "17";
        case 12: return "7";
        case 13: {
            static const std::vector<std::string> bad = {"1.2.3", "1-2", "abc", "1\t2", "1,5", "1e5", "+3", "1\r2",
                                                         std::string("4\0", 2)};
            return bad[static_cast<size_t>(std::uniform_int_distribution<int>(0, 8)(rng))];
        }
        case 14: return std::string(400, '9');  // beyond a double
        default: return "5";
    }
}

// A text of rows of the given width with blank lines, runs of blanks, both line ends and
// long names; now and then a refused value, a row of another length or a zero byte.
std::string RandomText(std::mt19937& rng, int width, bool faults) {
    std::string text;
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    const int rows = std::uniform_int_distribution<int>(0, 120)(rng);
    for (int r = 0; r < rows; ++r) {
        if (chance(8)) text += chance(50) ? "" : "   ";
        else {
            if (chance(10)) text += "  ";
            std::string name = std::to_string(r).insert(0, 1, 'r');
            if (chance(20)) name += std::string(static_cast<size_t>(std::uniform_int_distribution<int>(10, 40)(rng)), 'n');
            if (faults && chance(2)) name += std::string("\0z", 2);
            text += name;
            int values = width;
            if (faults && chance(3)) values += chance(50) ? 1 : -1;
            for (int j = 0; j < values; ++j) {
                text += std::string(static_cast<size_t>(std::uniform_int_distribution<int>(1, 3)(rng)), ' ');
                text += Token(rng, faults && chance(4));
            }
            if (chance(10)) text += "  ";
        }
        if (r + 1 < rows || chance(60)) text += chance(50) ? "\r\n" : "\n";
        else if (chance(30)) text += "\r";  // the last line's '\r' stays in it
    }
    return text;
}

const std::vector<CRowReadLayout>& Layouts() {
    static const std::vector<CRowReadLayout> layouts = {
        {1, 1, 3}, {2, 1, 4}, {3, 2, 2}, {7, 5, 4}, {16, 1, 3}, {64, 16, 4}, {1000, 40, 3}, {size_t(1) << 20, size_t(1) << 20, 1},
        CRowReadLayout(),
    };
    return layouts;
}

TEST(RowReader, AnyCutReadsTheTableAndRefusesTheLineThatReadingLineByLineGives) {
    TempFolder dir;
    const std::string path = dir.File("rows.dat");
    std::mt19937 rng(26);
    int refused = 0, read = 0;
    for (int i = 0; i < 160; ++i) {
        const int width = std::uniform_int_distribution<int>(0, 6)(rng);
        const bool faults = i % 2 == 1;
        const std::string text = RandomText(rng, width, faults);
        WriteBytes(path, text);
        for (int expectedWidth : {-1, width}) {
            const Table expected = ReadLineByLine(text, expectedWidth);
            (expected.message.empty() ? read : refused)++;
            for (const CRowReadLayout& layout : Layouts()) {
                SCOPED_TRACE("text " + std::to_string(i) + " width " + std::to_string(expectedWidth) + " batch " +
                             std::to_string(layout.batchBytes) + " piece " + std::to_string(layout.pieceBytes));
                ExpectSame(expected, ReadWithLayout(path, expectedWidth, layout));
                if (HasFatalFailure()) return;
            }
        }
    }
    // Both kinds came up often.
    EXPECT_GT(refused, 60);
    EXPECT_GT(read, 120);
}

TEST(RowReader, RowsLongerOrShorterThanTheFirstBatchSuggestedAndARefusalInTheLastBatch) {
    TempFolder dir;
    const std::string path = dir.File("rows.dat");
    std::string shortRows, longRows;
    for (int r = 1; r <= 3000; ++r) shortRows += std::string("s") += std::to_string(r) += " 1 2\n";
    for (int r = 1; r <= 3000; ++r)
        longRows += "comprida" + std::string(30, 'x') + std::to_string(r) + "   -123456.789012    0.000001\r\n";
    const CRowReadLayout small{4096, 512, 4};
    for (const std::string& text : {shortRows + longRows, longRows + shortRows}) {
        WriteBytes(path, text);
        const Table expected = ReadLineByLine(text, 2);
        ASSERT_EQ(expected.names.size(), 6000u);
        ExpectSame(expected, ReadWithLayout(path, 2, small));
        ExpectSame(expected, ReadWithLayout(path, -1, CRowReadLayout()));
    }
    // The last line, without its "\n", holds a bad second value: its number is that of the
    // rows before it, blank lines not counted.
    const std::string text = longRows + "\n   \n" + shortRows + "fim 3 4x";
    WriteBytes(path, text);
    for (const CRowReadLayout& layout : {small, CRowReadLayout()})
        EXPECT_EQ(ReadWithLayout(path, 2, layout).message, "Erro - A 2ª variável da 6001ª linha  não é um número");
    // Rows far too short for the header's count: the first refusal is still the one named.
    std::string tiny;
    for (int r = 0; r < 3000; ++r) tiny += "b\n";
    for (const char* first : {"a 1 x 3 4 5\n", "a 1 2 3 4 5\n"}) {
        WriteBytes(path, first + tiny);
        const Table expected = ReadLineByLine(first + tiny, 5);
        for (const CRowReadLayout& layout : {small, CRowReadLayout()}) ExpectSame(expected, ReadWithLayout(path, 5, layout));
    }
}

}  // namespace
