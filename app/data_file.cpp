// The native data file (.tsm) and the text rows shared with import and export.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "app/data_set.h"
#include "app/status.h"
#include "res/resource_ids.h"

namespace {
// Counts beyond this are taken as a damaged file, before anything is allocated for them.
constexpr long kMaxCount = 1000000;

// A count line: numeric text, an integer from 0 to kMaxCount.
bool ParseCount(const CString& line, long* value) {
    if (!IsNumericString(line) || line.Find('.') >= 0) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(line, &end, 10);
    if (line.IsEmpty()) v = 0;
    if (errno == ERANGE || v < 0 || v > kMaxCount) return false;
    *value = v;
    return true;
}

}  // namespace

double NumericValue(std::string_view text) {
    // The same value as atof gives (both round correctly), without its locale and its cost;
    // the texts that IsNumericString lets through and that hold no digit ("-", ".") are 0.
    double v = 0.0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) return text.starts_with('-') ? -HUGE_VAL : HUGE_VAL;
    return r.ec == std::errc() ? v : 0.0;
}

namespace {
// A value of a row: numeric text that converts to a finite number.
bool ParseValue(std::string_view text, double* value) {
    for (size_t i = 0, points = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') continue;
        if (c == '.' && ++points == 1) continue;
        if (c == '-' && i == 0) continue;
        return false;
    }
    double v = NumericValue(text);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
}

void Fail(const CString& message) { AfxMessageBox(message); }
}  // namespace

BOOL IsNumericString(const char* text) {
    if (!text) return TRUE;
    bool point = false;
    for (const char* p = text; *p; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9') continue;
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c == '-' && p == text) continue;
        return FALSE;
    }
    return TRUE;
}

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
    if (!ar.ReadString(line) || !IsNumericString(line)) {
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
        // The code is the last word; the name is everything before it, blanks included.
        line.TrimRight();
        int blank = line.ReverseFind(' ');
        CString codeText = line.Mid(blank + 1);
        errno = 0;
        char* end = nullptr;
        long code = std::strtol(codeText, &end, 10);
        if (blank < 0 || codeText.IsEmpty() || *end != '\0' || errno == ERANGE || code < INT_MIN || code > INT_MAX) {
            Fail(countError);
            return false;
        }
        m_categories.push_back({line.Left(blank), static_cast<int>(code)});
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
        for (double value : m_rows[static_cast<size_t>(r - 1)]) {
            line += ' ';
            line += FormatFixed(value, 6).str();
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

    Clear();
    CString line, version;
    version.LoadString(IDS_FILE_VERSION);
    if (!ar.ReadString(line) || line != version) {
        Fail("A versão do ficheiro de dados não está correcta");
        return FALSE;
    }
    double code = 0;
    if (!ar.ReadString(line) || !IsNumericString(line) || !std::isfinite(code = std::atof(line)) ||
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
        m_variables.push_back(desc);
    }
    if (file) SetProgressPos(static_cast<int>(std::min<ULONGLONG>(file->GetPosition(), INT_MAX)));
    if (!ReadRows(ar, static_cast<int>(count))) {
        Clear();
        return FALSE;
    }
    ComputeMeanVariance();
    return TRUE;
}

bool CDataSet::RowCollector::Add(const CString& name, std::vector<double>&& values) {
    if (width < 0) width = static_cast<int>(values.size());
    if (static_cast<int>(values.size()) != width) {
        Fail(FormatString("Erro - O número de variáveis da %dª linha não está correcto", k));
        return false;
    }
    names.push_back(name);
    rows.push_back(std::move(values));
    ++k;
    return true;
}

void CDataSet::TakeRows(RowCollector&& collected) {
    m_rows = std::move(collected.rows);
    m_rowNames = std::move(collected.names);
    m_nRows = static_cast<int>(m_rows.size());
    m_nVariables = collected.width < 0 ? 0 : collected.width;
}

BOOL CDataSet::ReadRows(CArchive& ar, int expectedVariables) {
    RowCollector rows(expectedVariables);
    CFile* file = ar.GetFile();
    CString line;
    while (ar.ReadString(line)) {
        if (file) SetProgressPos(static_cast<int>(std::min<ULONGLONG>(file->GetPosition(), INT_MAX)));
        // Tokens are separated by runs of blanks (spaces only; a tab belongs to its token).
        const std::string& s = line.str();
        size_t pos = s.find_first_not_of(' ');
        if (pos == std::string::npos) continue;
        size_t end = s.find(' ', pos);
        CString name(s.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        std::vector<double> values;
        int j = 0;
        pos = end == std::string::npos ? s.size() : s.find_first_not_of(' ', end);
        while (pos != std::string::npos && pos < s.size()) {
            end = s.find(' ', pos);
            std::string_view token(s.data() + pos, (end == std::string::npos ? s.size() : end) - pos);
            ++j;
            double v = 0;
            if (!ParseValue(token, &v)) {
                Fail(FormatString("Erro - A %dª variável da %dª linha  não é um número", j, rows.k));
                return FALSE;
            }
            values.push_back(v);
            pos = end == std::string::npos ? std::string::npos : s.find_first_not_of(' ', end);
        }
        if (!rows.Add(name, std::move(values))) return FALSE;
    }
    TakeRows(std::move(rows));
    return TRUE;
}

BOOL CDataSet::Import(CArchive& ar) {
    if (!ReadRows(ar, -1)) return FALSE;
    CreateDefaultVariables();
    return TRUE;
}
