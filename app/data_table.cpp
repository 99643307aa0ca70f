#include "app/data_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "app/data_table_workers.h"
#include "app/status.h"
#include "res/resource_ids.h"
#include "ui/list_cells.h"

void CVariableDesc::SetCategories(const std::vector<CNamedCode>& categories) {
    m_categories.clear();
    for (const CNamedCode& c : categories) m_categories.push_back(c);
}

CDataTable::CDataTable() : m_fMissingCode(-9.9f) {}

CDataTable::~CDataTable() = default;

CString CDataTable::GetMissingCodeText() const {
    CString s;
    s.Format("%f", static_cast<double>(m_fMissingCode));
    return s;
}

void CDataTable::SetMissingCodeText(const CString& text) {
    m_fMissingCode = static_cast<float>(std::atof(text));
}

int CDataTable::SetSize(int rows, int variables) {
    Clear();
    rows = std::max(rows, 0);
    variables = std::max(variables, 0);
    m_nVariables = variables;
    m_nRows = rows;
    m_rowNames.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) m_rowNames.push_back(FormatString("%d", r));
    m_variables.assign(static_cast<size_t>(variables), CVariableDesc());
    m_values.assign(static_cast<size_t>(rows) * static_cast<size_t>(variables), 0.0);
    return m_nRows;
}

void CDataTable::Clear() {
    m_values.clear();
    m_rowNames.clear();
    m_variables.clear();
    m_nRows = 0;
    m_nVariables = 0;
}

CDataTable::ValueSums::ValueSums(size_t variables, float missingCode)
    : code(missingCode), sum(variables, 0.0), first(variables, 0.0), n(variables, 0), differs(variables, 0) {}

void CDataTable::ValueSums::Add(const double* rows, size_t count, size_t width, size_t from, size_t to) {
    // At most kChunk variables at a time, their sums in small arrays of their own. An absent
    // cell adds +0.0, which leaves a sum as it is: a sum that starts at +0.0 is never -0.0.
    constexpr size_t kChunk = 16;
    for (; from < to; from += kChunk) {
        const size_t k = std::min(kChunk, to - from);
        double s[kChunk], f[kChunk];
        long c[kChunk];
        // have[v]: a present value seen (c[v] > 0), as a flag of its own: testing the count
        // in the loop instead makes the pass over a large file much slower.
        bool have[kChunk], d[kChunk];
        for (size_t v = 0; v < k; ++v)
            s[v] = sum[from + v], f[v] = first[from + v], c[v] = n[from + v], have[v] = c[v] > 0, d[v] = differs[from + v];
        for (size_t r = 0; r < count; ++r) {
            const double* row = rows + r * width + from;
            for (size_t v = 0; v < k; ++v) {
                const double x = row[v];
                const bool p = !FloatEquals(x, code);
                s[v] += p ? x : 0.0;
                c[v] += p;
                if (!p) continue;
                if (have[v]) d[v] = d[v] || x != f[v];
                else f[v] = x, have[v] = true;
            }
        }
        for (size_t v = 0; v < k; ++v)
            sum[from + v] = s[v], first[from + v] = f[v], n[from + v] = c[v], differs[from + v] = d[v];
    }
}

namespace {
// Runs pass(from, to) over groups of the variables, each group on a thread of its own. A
// thread reads whole cache lines of the rows: a group of fewer than about eight variables
// would read its neighbours' lines as well.
template <class Pass>
void InVariableGroups(size_t rows, size_t m, Pass&& pass) {
    CTableWorkers workers;
    const size_t groups = rows < 4096 ? 1 : std::clamp<size_t>(m / 8, 1, workers.GetThreadCount());
    workers.Run(groups, [&](size_t g, unsigned) { pass(m * g / groups, m * (g + 1) / groups); });
}
}  // namespace

// Two passes in double, the mean first, then the squared deviations from it; each sum runs
// over the rows in order. The variables are shared among the processors in groups, each
// group's sums made row by row by one thread, so the sums are the same as on one.
void CDataTable::ComputeMeanVariance() {
    ValueSums sums(static_cast<size_t>(m_nVariables), m_fMissingCode);
    const size_t m = static_cast<size_t>(m_nVariables), rows = static_cast<size_t>(m_nRows);
    InVariableGroups(rows, m, [&](size_t from, size_t to) { sums.Add(m_values.data(), rows, m, from, to); });
    ComputeMeanVariance(sums);
}

void CDataTable::ComputeMeanVariance(const ValueSums& sums) {
    CString text;
    text.LoadString(IDS_STATUS_ANALYSING);
    BeginProgress(text, m_nVariables);
    const size_t m = static_cast<size_t>(m_nVariables);
    const size_t rows = static_cast<size_t>(m_nRows);
    SetProgressPos(m_nVariables / 2);
    std::vector<double, afx::LargeBlockAllocator<double>> mean(m, 0.0), ss(m, 0.0);
    bool spread = false;
    for (size_t v = 0; v < m; ++v) {
        if (sums.n[v] > 0) mean[v] = sums.differs[v] ? sums.sum[v] / static_cast<double>(sums.n[v]) : sums.first[v];
        spread = spread || (sums.n[v] > 1 && sums.differs[v]);
    }
    if (spread) {
        const float code = sums.code;
        const double* values = m_values.data();
        InVariableGroups(rows, m, [&](size_t from, size_t to) {
            constexpr size_t kChunk = 16;
            for (; from < to; from += kChunk) {
                const size_t k = std::min(kChunk, to - from);
                double s[kChunk] = {}, mu[kChunk];
                std::copy_n(mean.begin() + static_cast<long>(from), k, mu);
                for (size_t r = 0; r < rows; ++r) {
                    const double* row = values + r * m + from;
                    for (size_t v = 0; v < k; ++v) {
                        const double x = row[v];
                        const double dev = x - mu[v];
                        s[v] += FloatEquals(x, code) ? 0.0 : dev * dev;
                    }
                }
                std::copy_n(s, k, ss.begin() + static_cast<long>(from));
            }
        });
    }
    for (size_t v = 0; v < m; ++v) {
        CVariableDesc& desc = m_variables[v];
        desc.SetMean(mean[v]);
        desc.SetVariance(sums.n[v] > 1 && sums.differs[v] ? ss[v] / static_cast<double>(sums.n[v] - 1) : 0.0);
    }
    EndProgress();
}

void CDataTable::BuildModalities(bool force) {
    for (int v = 1; v <= m_nVariables; ++v) BuildVariableModalities(v, force);
}

void CDataTable::BuildVariableModalities(int variable, bool force) {
    CVariableDesc* desc = GetVariable(variable);
    bool rebuild = (force && desc->GetType() == 0) || desc->GetCategoryCount() == 0;
    if (rebuild) desc->SetCategories(CollectDistinctCodes(variable));
}

std::vector<CNamedCode> CDataTable::CollectDistinctCodes(int variable) const {
    std::vector<CNamedCode> list;
    std::set<long long> seen;
    for (int r = 1; r <= m_nRows; ++r) {
        double value = GetValue(r, variable);
        // Absence is judged on the value itself, so that a code such as -9.9 does not
        // yield a modality -9 from its absent cells.
        if (FloatEquals(value, m_fMissingCode) || !std::isfinite(value)) continue;
        double t = std::trunc(value);
        if (t < static_cast<double>(INT32_MIN) || t > static_cast<double>(INT32_MAX)) continue;
        long long c = static_cast<long long>(t);
        if (!seen.insert(c).second) continue;
        list.push_back({"ID", static_cast<int>(c)});
    }
    std::stable_sort(list.begin(), list.end(), [](const CNamedCode& a, const CNamedCode& b) { return a.code < b.code; });
    for (size_t i = 0; i < list.size(); ++i) list[i].name.Format("ID%d", static_cast<int>(i + 1));
    return list;
}

void CDataTable::CountVariableTypes(const std::vector<int>& variables, int& quantitative, int& qualitative) const {
    quantitative = 0;
    qualitative = 0;
    for (int v : variables) {
        if (GetVariableType(v) == 0) ++qualitative;
        else ++quantitative;
    }
}

int CDataTable::GetCompleteRows(const std::vector<int>& variables, std::vector<int>* out) const {
    int count = 0;
    for (int r = 1; r <= m_nRows; ++r) {
        bool complete = std::none_of(variables.begin(), variables.end(), [&](int v) { return IsMissing(r, v); });
        if (!complete) continue;
        ++count;
        if (out) out->push_back(r - 1);
    }
    return count;
}

int CDataTable::GetCompleteRowLabels(int identifier, std::vector<CString>* out, const std::vector<int>& variables) const {
    for (int r = 1; r <= m_nRows; ++r) {
        bool complete = std::none_of(variables.begin(), variables.end(), [&](int v) { return IsMissing(r, v); });
        if (!complete || !out) continue;
        if (identifier == -1) out->push_back(GetRowNameCopy(r));
        else out->push_back(FormatString("%f", GetValue(r, identifier)));
    }
    return m_nRows;
}

void CDataTable::GetQualitativeVariables(std::vector<CNamedCode>* out) const {
    if (!out) return;
    for (int v = 1; v <= m_nVariables; ++v)
        if (GetVariableType(v) == 0) out->push_back({GetVariableName(v), v});
}

void CDataTable::TruncateVariable(int variable) {
    for (int r = 1; r <= m_nRows; ++r) {
        double value = GetValue(r, variable);
        // Absent cells keep the code itself, so they stay absent.
        if (FloatEquals(value, m_fMissingCode)) continue;
        SetValue(r, variable, std::trunc(value));
    }
}

CString CDataTable::WriteText() const {
    std::string out;
    out.reserve(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nVariables + 1) * 12 + 64);
    out += m_strTitle.str();
    out += '\t';
    for (int v = 1; v <= m_nVariables; ++v) {
        if (v > 1) out += '\t';
        out += GetVariableName(v).str();
    }
    out += '\n';
    for (int r = 1; r <= m_nRows; ++r) {
        out += m_rowNames[static_cast<size_t>(r - 1)].str();
        out += '\t';
        for (int v = 1; v <= m_nVariables; ++v) {
            if (v > 1) out += '\t';
            out += FormatString("%f", GetValue(r, v)).str();
        }
        out += '\n';
    }
    return CString(std::move(out));
}

CString HtmlEscaped(const CString& text) {
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

void CDataTable::WriteHtml(CStdioFile* file) const {
    if (!file) return;
    file->WriteString("<table border=\"2\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: collapse\" "
                      "bordercolor=\"#3366FF\" width=\"100%\" >\r\n");
    file->WriteString("<tr>\r\n");
    double w = static_cast<double>(100 / (m_nVariables + 1));
    auto header = [&](const CString& name) {
        file->WriteString(FormatString("<td width=\"%f%%\" bgcolor=\"#0066CC\">\r\n", w));
        file->WriteString(FormatString("<p align=\"center\"><font color=\"#FFFFFF\"><b>%s</b></font></td>\r\n",
                                       HtmlEscaped(name)));
    };
    header("Id");
    for (int v = 1; v <= m_nVariables; ++v) header(GetVariableName(v));
    file->WriteString("</tr>\r\n");
    for (int r = 1; r <= m_nRows; ++r) {
        file->WriteString(FormatString("<tr>\r\n<td width=\"%f%%\" bgcolor=\"#E0E0E0\">\r\n", w));
        file->WriteString(FormatString("<p align=\"center\"><b>%s</b></td>\r\n", HtmlEscaped(GetRowNameCopy(r))));
        for (int v = 1; v <= m_nVariables; ++v) {
            file->WriteString(FormatString("<td width=\"%f%%\" bgcolor=\"#EBEBEB\">\r\n", w));
            file->WriteString(FormatString("<p align=\"center\">%.3f</td>\r\n", GetValue(r, v)));
        }
        file->WriteString("</tr>\r\n");
    }
    file->WriteString("</table>\r\n");
}

void CDataTable::FillListCtrl(CListCtrl* list) const {
    if (!list) return;
    list->InsertColumn(0, m_strTitle, LVCFMT_RIGHT, 60);
    for (int v = 1; v <= m_nVariables; ++v) list->InsertColumn(v, GetVariableName(v), LVCFMT_RIGHT, 60);
    for (int r = 1; r <= m_nRows; ++r) list->InsertItem(r - 1, GetRowNameCopy(r));
    for (int r = 1; r <= m_nRows; ++r)
        for (int v = 1; v <= m_nVariables; ++v) SetListItemNumber(r - 1, GetValue(r, v), FALSE, v, list);
    // The names' column shows the longest name whole, within the list's width.
    list->SetColumnWidth(0, LVSCW_AUTOSIZE);
    CRect client;
    list->GetClientRect(&client);
    if (client.Width() > 0 && list->GetColumnWidth(0) > client.Width()) list->SetColumnWidth(0, client.Width());
}
