// The native data file (.tsm) and the text rows shared with import and export.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/data_set.h"
#include "app/status.h"
#include "res/resource_ids.h"

namespace {
// Counts beyond this are taken as a damaged file, before anything is allocated for them.
constexpr long kMaxCount = 1000000;

// A zero byte cannot stand in a line of the file: the names that hold one could not be
// written back.
bool HasZeroByte(const CString& line) { return line.str().find('\0') != std::string::npos; }

// The leading integer of a text, as "%d" reads it: blanks, an optional sign, digits. False
// when there is none or it is beyond the int range.
bool LeadingInteger(const char* text, long* value) {
    while (*text == ' ' || *text == '\t') ++text;
    const char* digits = text + (*text == '-' || *text == '+');
    if (*digits < '0' || *digits > '9') return false;
    errno = 0;
    long v = std::strtol(text, nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    *value = v;
    return true;
}

// A count line: numeric text read by its leading integer, as atoi does ("1.0" is 1; an
// empty line is 0), from 0 to kMaxCount.
bool ParseCount(const CString& line, long* value) {
    if (HasZeroByte(line) || !IsNumericString(line)) return false;
    errno = 0;
    long v = std::strtol(line, nullptr, 10);
    if (errno == ERANGE || v < 0 || v > kMaxCount) return false;
    *value = v;
    return true;
}

// A modality line: the name, a blank, the code. The code is the last word when that word
// is an integer (so names may hold blanks); otherwise the name is the first word and the
// code the leading integer of the text after it ("F 1 x" is F with 1).
bool ParseModality(CString line, CNamedCode* modality) {
    if (HasZeroByte(line)) return false;
    line.TrimRight();
    int blank = line.ReverseFind(' ');
    if (blank < 0) return false;
    CString last = line.Mid(blank + 1);
    errno = 0;
    char* end = nullptr;
    long code = std::strtol(last, &end, 10);
    if (!last.IsEmpty() && *end == '\0' && errno != ERANGE && code >= INT_MIN && code <= INT_MAX) {
        *modality = {line.Left(blank), static_cast<int>(code)};
        return true;
    }
    int first = line.Find(' ');
    if (!LeadingInteger(line.Mid(first + 1), &code)) return false;
    *modality = {line.Left(first), static_cast<int>(code)};
    return true;
}

}  // namespace

double NumericValue(std::string_view text) {
    // The same value as atof gives (both round correctly), without its locale and its cost;
    // the texts that IsNumericString lets through and that hold no digit ("-", ".") are 0.
    // Most texts ("%f" of a value below a billion) hold at most 15 significant digits: their
    // digits form an integer that a double holds exactly, and one division by an exact power
    // of ten, rounded once, gives the correctly rounded value.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    std::uint64_t digits = 0;
    int significant = 0, decimals = 0;
    bool point = false, any = false, simple = true;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') {
            simple = false;
            break;
        }
        any = true;
        if (significant > 0 || c != '0') ++significant;
        if (significant > 15) {
            simple = false;
            break;
        }
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        if (point) ++decimals;
    }
    if (simple && any && decimals <= 22) {
        double v = static_cast<double>(digits) / kPowers[decimals];
        return negative ? -v : v;
    }
    double v = 0.0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) return text.starts_with('-') ? -HUGE_VAL : HUGE_VAL;
    return r.ec == std::errc() ? v : 0.0;
}

namespace {
void Fail(const CString& message) { AfxMessageBox(message); }
}  // namespace

bool IsNumericString(std::string_view text) {
    bool point = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
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

BOOL IsNumericString(const char* text) { return !text || IsNumericString(std::string_view(text)); }

void CVariableDesc::Write(CArchive& ar) const {
    ar.WriteString(m_strName + "\r\n");
    ar.WriteString(FormatString("%d\r\n", m_nType));
    if (m_nType != 0) return;
    ar.WriteString(FormatString("%d\r\n", GetCategoryCount()));
    for (const CNamedCode& c : m_categories) ar.WriteString(FormatString("%s %d\r\n", c.name, c.code));
}

bool CVariableDesc::Read(CArchive& ar, int variableNumber) {
    CString line;
    const CString typeError = FormatString("Erro - O tipo da %dª variável está errado", variableNumber);
    const CString countError = FormatString("Erro - O numero de modalidades da variavel %dª está errado", variableNumber);
    if (!ar.ReadString(line)) {
        Fail(typeError);
        return false;
    }
    m_strName = line;
    if (HasZeroByte(m_strName) || !ar.ReadString(line) || HasZeroByte(line) || !IsNumericString(line)) {
        Fail(typeError);
        return false;
    }
    // Any type but 0 (qualitative) reads as 1 (quantitative).
    m_nType = std::atoi(line) == 0 ? 0 : 1;
    m_categories.clear();
    if (m_nType != 0) return true;
    long count = 0;
    if (!ar.ReadString(line) || !ParseCount(line, &count)) {
        Fail(countError);
        return false;
    }
    for (long i = 0; i < count; ++i) {
        if (!ar.ReadString(line)) {
            Fail(countError);
            return false;
        }
        CNamedCode modality;
        if (!ParseModality(line, &modality)) {
            Fail(countError);
            return false;
        }
        m_categories.push_back(modality);
    }
    return true;
}

CDataSet::~CDataSet() = default;

void CDataSet::Save(CArchive& ar) const {
    CString version;
    version.LoadString(IDS_FILE_VERSION);
    ar.WriteString(version + "\r\n");
    ar.WriteString(FormatString("%f\r\n", static_cast<double>(m_fMissingCode)));
    ar.WriteString(FormatString("%d\r\n", m_nVariables));
    for (int v = 1; v <= m_nVariables; ++v) GetVariable(v)->Write(ar);
    WriteRows(ar);
}

void CDataSet::WriteRows(CArchive& ar) const {
    std::string line;
    for (int r = 1; r <= m_nRows; ++r) {
        line = m_rowNames[static_cast<size_t>(r - 1)].str();
        const double* row = GetRowValues(r);
        for (int v = 0; v < m_nVariables; ++v) {
            line += ' ';
            line += FormatFixed(row[v], 6).str();
        }
        line += "\r\n";
        ar.WriteString(line.c_str());
    }
}

BOOL CDataSet::Load(CArchive& ar) {
    CString text;
    text.LoadString(IDS_STATUS_READING);
    CFile* file = ar.GetFile();
    ULONGLONG length = file ? file->GetLength() : 0;
    BeginProgress(text, static_cast<int>(std::min<ULONGLONG>(length, INT_MAX)));
    // A refused or unreadable file ends the reading on the status bar too; a table read
    // ends it once its means are computed.
    struct EndOnFailure {
        bool armed = true;
        ~EndOnFailure() {
            if (armed) EndProgress();
        }
    } endOnFailure;

    Clear();
    CString line, version;
    version.LoadString(IDS_FILE_VERSION);
    if (!ar.ReadString(line) || HasZeroByte(line) || line != version) {
        Fail("A versão do ficheiro de dados não está correcta");
        return FALSE;
    }
    double code = 0;
    if (!ar.ReadString(line) || HasZeroByte(line) || !IsNumericString(line) || !std::isfinite(code = std::atof(line)) ||
        !std::isfinite(static_cast<float>(code))) {
        Fail("O código de ausência definido no ficheiro não e um número");
        return FALSE;
    }
    m_fMissingCode = static_cast<float>(code);
    long count = 0;
    if (!ar.ReadString(line) || !ParseCount(line, &count)) {
        Fail("Erro - O número de variáveis não está correcto");
        return FALSE;
    }
    for (long i = 1; i <= count; ++i) {
        CVariableDesc desc;
        if (!desc.Read(ar, static_cast<int>(i))) {
            Clear();
            return FALSE;
        }
        m_variables.push_back(std::move(desc));
    }
    if (file) SetProgressPos(static_cast<int>(std::min<ULONGLONG>(file->GetPosition(), INT_MAX)));
    ValueSums sums(static_cast<size_t>(count), m_fMissingCode);
    if (!ReadRowLines(ar, static_cast<int>(count), CRowReadLayout(), &sums)) {
        Clear();
        return FALSE;
    }
    ComputeMeanVariance(sums);
    endOnFailure.armed = false;
    return TRUE;
}

namespace {
// A name the reader gives back as it stands: no zero byte, no line break.
bool IsWritableName(const CString& name) { return name.str().find_first_of(std::string("\0\n", 2)) == std::string::npos; }
}  // namespace

CString CDataSet::FindUnwritable(bool rowsOnly) const {
    if (!rowsOnly) {
        for (int v = 1; v <= m_nVariables; ++v) {
            const CVariableDesc* desc = GetVariable(v);
            if (!IsWritableName(desc->GetName())) return FormatString("Erro - O nome da %dª variável não pode ser gravado", v);
            if (desc->GetType() != 0) continue;
            int m = 0;
            for (const CNamedCode& c : desc->GetCategories()) {
                ++m;
                if (!IsWritableName(c.name))
                    return FormatString("Erro - O nome da %dª modalidade da %dª variável não pode ser gravado", m, v);
            }
        }
    }
    for (int r = 1; r <= m_nRows; ++r) {
        // A row name is the first word of its line.
        const std::string& name = m_rowNames[static_cast<size_t>(r - 1)].str();
        if (name.empty() || name.find_first_of(std::string(" \0\n", 3)) != std::string::npos)
            return FormatString("Erro - O nome da %dª linha não pode ser gravado", r);
        const double* row = GetRowValues(r);
        for (int j = 0; j < m_nVariables; ++j)
            if (!std::isfinite(row[j]))
                return FormatString("Erro - A %dª variável da %dª linha  não é um número", j + 1, r);
    }
    return CString();
}

BOOL CDataSet::Import(CArchive& ar) {
    if (!ReadRows(ar, -1)) return FALSE;
    CreateDefaultVariables();
    return TRUE;
}
