// Saving what was read gives a file that reads back as the same table. An input that starts
// with the native file's version line is opened as a data file; any other input is taken as
// the clipboard's text and pasted. The table is saved and opened again: the reader must take
// what the writer wrote, the two tables must agree (values to the six decimals the file
// keeps), and saving the second table must give the same bytes as saving the first.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "res/resource_ids.h"

namespace {

std::string Escaped(const CString& text) {
    std::string out;
    for (unsigned char c : text.str()) {
        if (c >= ' ' && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// "%f" keeps six decimals: a value read back may move by half a unit of the last one, plus
// the rounding of the decimal text to the nearest double (or float, for the code).
bool SameValue(double a, double b, double epsilon) {
    return std::fabs(a - b) <= 5e-7 * (1 + 1e-9) + std::fabs(a) * epsilon;
}

// Where two tables differ; empty when they hold the same table.
std::string Difference(const CDataSet& a, const CDataSet& b) {
    char buf[160];
    if (a.GetVariableCount() != b.GetVariableCount() || a.GetRowCount() != b.GetRowCount()) {
        std::snprintf(buf, sizeof buf, "size %d x %d became %d x %d", a.GetRowCount(), a.GetVariableCount(),
                      b.GetRowCount(), b.GetVariableCount());
        return buf;
    }
    if (!SameValue(a.GetMissingCode(), b.GetMissingCode(), FLT_EPSILON)) {
        std::snprintf(buf, sizeof buf, "missing-value code %.9g became %.9g", static_cast<double>(a.GetMissingCode()),
                      static_cast<double>(b.GetMissingCode()));
        return buf;
    }
    for (int v = 1; v <= a.GetVariableCount(); ++v) {
        const CVariableDesc& x = *a.GetVariable(v);
        const CVariableDesc& y = *b.GetVariable(v);
        if (x.GetName() != y.GetName())
            return "variable " + std::to_string(v) + " name \"" + Escaped(x.GetName()) + "\" became \"" +
                   Escaped(y.GetName()) + "\"";
        if (x.GetType() != y.GetType())
            return "variable " + std::to_string(v) + " type " + std::to_string(x.GetType()) + " became " +
                   std::to_string(y.GetType());
        if (x.GetCategoryCount() != y.GetCategoryCount())
            return "variable " + std::to_string(v) + " has " + std::to_string(x.GetCategoryCount()) +
                   " modalities, then " + std::to_string(y.GetCategoryCount());
        for (int i = 0; i < x.GetCategoryCount(); ++i) {
            const CNamedCode& m = x.GetCategories()[static_cast<size_t>(i)];
            const CNamedCode& n = y.GetCategories()[static_cast<size_t>(i)];
            if (m.name != n.name || m.code != n.code)
                return "variable " + std::to_string(v) + " modality \"" + Escaped(m.name) + "\" " +
                       std::to_string(m.code) + " became \"" + Escaped(n.name) + "\" " + std::to_string(n.code);
        }
    }
    for (int r = 1; r <= a.GetRowCount(); ++r) {
        if (a.GetRowNameCopy(r) != b.GetRowNameCopy(r))
            return "row " + std::to_string(r) + " name \"" + Escaped(a.GetRowNameCopy(r)) + "\" became \"" +
                   Escaped(b.GetRowNameCopy(r)) + "\"";
        for (int v = 1; v <= a.GetVariableCount(); ++v) {
            if (!SameValue(a.GetValue(r, v), b.GetValue(r, v), 2 * DBL_EPSILON)) {
                std::snprintf(buf, sizeof buf, "row %d variable %d value %.17g became %.17g", r, v, a.GetValue(r, v),
                              b.GetValue(r, v));
                return buf;
            }
        }
    }
    return {};
}

[[noreturn]] void Mismatch(const std::string& what) {
    std::fprintf(stderr, "round trip: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareHeadless();
    static const std::string input = FuzzPath("in"), first = FuzzPath("first"), second = FuzzPath("second");
    afx::ScriptedUser user;
    CDataSet table;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    CString version;
    version.LoadString(IDS_FILE_VERSION);
    if (bytes.starts_with(version.str())) {
        if (!WriteBytes(input, data, size) || !LoadFile(input, table)) return 0;
    } else {
        // As a paste: the clipboard's text ends at its first zero, and a text without rows
        // leaves the document alone.
        if (!table.ParseTabText(CString(std::string(bytes.c_str()))) || table.GetRowCount() == 0) return 0;
        table.CreateDefaultVariables();
    }
    if (!SaveFile(first, table)) return 0;
    CDataSet reread;
    if (!LoadFile(first, reread)) {
        Mismatch("the saved file is refused: " +
                 (user.Messages().empty() ? std::string("(no message)") : Escaped(user.Messages().back())));
    }
    std::string difference = Difference(table, reread);
    if (!difference.empty()) Mismatch(difference);
    if (!SaveFile(second, reread)) return 0;
    if (ReadBytes(first) != ReadBytes(second)) Mismatch("saving the table read back gives other bytes");
    return 0;
}
