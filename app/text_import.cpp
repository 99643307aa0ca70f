// Tab-separated text from the clipboard, and the default variables of imported data.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/data_set.h"

namespace {
// A row name that can be saved and read back: blanks and control characters become '_'.
CString CleanRowName(const std::string& raw, int row) {
    CString name(raw);
    for (int i = 0; i < name.GetLength(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c <= ' ' || c == 0x7F) name.SetAt(i, '_');
    }
    if (name.IsEmpty()) name.Format("%d", row);
    return name;
}
}  // namespace

void CDataSet::CreateDefaultVariables() {
    // Built in place and named by their numbers from 0: a table may have millions.
    m_variables.clear();
    m_variables.resize(static_cast<size_t>(m_nVariables));
    char digits[16];
    for (int i = 0; i < m_nVariables; ++i) {
        CVariableDesc& desc = m_variables[static_cast<size_t>(i)];
        const char* end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        desc.SetName(CString(digits, static_cast<int>(end - digits)));
        desc.SetType(1);
    }
    m_fMissingCode = -9.9f;
    ComputeMeanVariance();
}

BOOL CDataSet::ParseTabText(const CString& text) {
    RowCollector rows(-1);
    bool shortRows = true;   // every row so far ended with a tab
    const std::string& s = text.str();
    const double absent = static_cast<double>(-9.9f);
    size_t start = 0;
    while (start < s.size()) {
        size_t nl = s.find('\n', start);
        std::string line = s.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        start = nl == std::string::npos ? s.size() : nl + 1;
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            AfxMessageBox("Os dados não podem ser compostos apenas por uma coluna");
            return FALSE;
        }
        CString name = CleanRowName(line.substr(0, tab), rows.k);
        // A tab that ends the line adds no field; an empty field between two tabs is absent.
        std::string rest = line.substr(tab + 1);
        bool fields = !rest.empty();
        bool endsWithTab = fields && rest.back() == '\t';
        if (endsWithTab) rest.pop_back();
        std::vector<double> values;
        int j = 0;
        size_t pos = 0;
        while (fields) {
            size_t next = rest.find('\t', pos);
            std::string field = rest.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
            ++j;
            double v = absent;
            if (!field.empty() && (!IsNumericString(field.c_str()) || !std::isfinite(v = NumericValue(field)))) {
                AfxMessageBox(FormatString("Erro - A %dª variável da %dª linha  não é um número", j, rows.k));
                return FALSE;
            }
            values.push_back(v);
            if (next == std::string::npos) break;
            pos = next + 1;
        }
        // A spreadsheet row whose last cell is empty ends with a tab: that cell is absent.
        // When the rows read so far all ended so and this one has a cell more, it was theirs
        // that were empty.
        int width = static_cast<int>(values.size());
        if (endsWithTab && rows.width >= 0 && width + 1 == rows.width) {
            values.push_back(absent);
        } else if (shortRows && rows.RowCount() > 0 && width == rows.width + 1) {
            rows.AddColumn(absent);
        }
        shortRows = shortRows && endsWithTab;
        if (!rows.Add(name, values)) return FALSE;
    }
    TakeRows(std::move(rows));
    return TRUE;
}

BOOL CDataSet::PasteFromClipboard() {
    COleDataObject data;
    if (!data.AttachClipboard() || !data.IsDataAvailable(CF_TEXT)) return FALSE;
    HGLOBAL block = data.GetGlobalData(CF_TEXT);
    if (!block) return FALSE;
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    size_t size = GlobalSize(block);
    CString text(bytes ? std::string(bytes, strnlen(bytes, size)) : std::string());
    GlobalUnlock(block);
    GlobalFree(block);
    if (!ParseTabText(text)) return FALSE;
    // A clipboard text without a row holds no table: the paste does nothing.
    if (m_nRows == 0) return FALSE;
    CreateDefaultVariables();
    return TRUE;
}
