// The round trip of a table through Save. Bytes that start with the native file's version
// line are opened as a data file; any other bytes are taken as the clipboard's text and
// pasted. The table is saved and opened again: the reader must take what the writer wrote,
// the two tables must agree (values to the six decimals the file keeps), and saving the
// second table must give the same bytes as saving the first.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "res/resource_ids.h"

namespace round_trip {

inline std::string Escaped(const CString& text) {
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
inline bool SameValue(double a, double b, double epsilon) {
    return std::fabs(a - b) <= 5e-7 * (1 + 1e-9) + std::fabs(a) * epsilon;
}

// Where two tables differ; empty when they hold the same table.
inline std::string Difference(const CDataSet& a, const CDataSet& b) {
    if (a.GetVariableCount() != b.GetVariableCount() || a.GetRowCount() != b.GetRowCount())
        return FormatString("size %d x %d became %d x %d", a.GetRowCount(), a.GetVariableCount(), b.GetRowCount(),
                            b.GetVariableCount())
            .str();
    if (!SameValue(a.GetMissingCode(), b.GetMissingCode(), FLT_EPSILON))
        return FormatString("missing-value code %.9g became %.9g", static_cast<double>(a.GetMissingCode()),
                            static_cast<double>(b.GetMissingCode()))
            .str();
    for (int v = 1; v <= a.GetVariableCount(); ++v) {
        const CVariableDesc& x = *a.GetVariable(v);
        const CVariableDesc& y = *b.GetVariable(v);
        if (x.GetName() != y.GetName())
            return FormatString("variable %d name \"%s\" became \"%s\"", v, Escaped(x.GetName()).c_str(),
                                Escaped(y.GetName()).c_str())
                .str();
        if (x.GetType() != y.GetType())
            return FormatString("variable %d type %d became %d", v, x.GetType(), y.GetType()).str();
        if (x.GetCategoryCount() != y.GetCategoryCount())
            return FormatString("variable %d has %d modalities, then %d", v, x.GetCategoryCount(),
                                y.GetCategoryCount())
                .str();
        for (int i = 0; i < x.GetCategoryCount(); ++i) {
            const CNamedCode& m = x.GetCategories()[static_cast<size_t>(i)];
            const CNamedCode& n = y.GetCategories()[static_cast<size_t>(i)];
            if (m.name != n.name || m.code != n.code)
                return FormatString("variable %d modality \"%s\" %d became \"%s\" %d", v, Escaped(m.name).c_str(),
                                    m.code, Escaped(n.name).c_str(), n.code)
                    .str();
        }
    }
    for (int r = 1; r <= a.GetRowCount(); ++r) {
        if (a.GetRowNameCopy(r) != b.GetRowNameCopy(r))
            return FormatString("row %d name \"%s\" became \"%s\"", r, Escaped(a.GetRowNameCopy(r)).c_str(),
                                Escaped(b.GetRowNameCopy(r)).c_str())
                .str();
        for (int v = 1; v <= a.GetVariableCount(); ++v)
            if (!SameValue(a.GetValue(r, v), b.GetValue(r, v), 2 * DBL_EPSILON))
                return FormatString("row %d variable %d value %.17g became %.17g", r, v, a.GetValue(r, v),
                                    b.GetValue(r, v))
                    .str();
    }
    return {};
}

// What went wrong in the round trip of bytes; empty when nothing did, or when the bytes are
// refused in the first place.
inline std::string Fault(std::string_view bytes) {
    PrepareHeadless();
    static const std::string input = FuzzPath("in"), first = FuzzPath("first"), second = FuzzPath("second");
    afx::ScriptedUser user;
    CDataSet table;
    CString version;
    version.LoadString(IDS_FILE_VERSION);
    if (bytes.starts_with(version.str())) {
        if (!WriteBytes(input, bytes.data(), bytes.size()) || !LoadFile(input, table)) return {};
    } else {
        // As a paste: the clipboard's text ends at its first zero, and a text without rows
        // leaves the document alone.
        if (!table.ParseTabText(CString(std::string(bytes.substr(0, bytes.find('\0'))))) || table.GetRowCount() == 0)
            return {};
        table.CreateDefaultVariables();
    }
    if (!SaveFile(first, table)) return "the table cannot be saved";
    CDataSet reread;
    if (!LoadFile(first, reread))
        return FormatString("the saved file is refused: %s",
                            user.Messages().empty() ? "(no message)" : Escaped(user.Messages().back()).c_str())
            .str();
    std::string difference = Difference(table, reread);
    if (!difference.empty()) return difference;
    if (!SaveFile(second, reread)) return "the table read back cannot be saved";
    if (ReadBytes(first) != ReadBytes(second)) return "saving the table read back gives other bytes";
    return {};
}

}  // namespace round_trip
