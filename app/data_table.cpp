#include "app/data_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "app/data_table_workers.h"
#include "app/status.h"
#include "res/resource_ids.h"
#include "ui/list_cells.h"

bool FloatEquals(double a, double b) {
    float fa = static_cast<float>(a);
    float fb = static_cast<float>(b);
    return std::fabs(fa - fb) < 1e-6;
}

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

void CDataTable::ComputeMeanVariance() {
    CString text;
    text.LoadString(IDS_STATUS_ANALYSING);
    BeginProgress(text, m_nVariables);
    // Two passes in double, the mean first, then the squared deviations from it; each sum
    // runs over the rows in order. The variables are shared among the processors in groups,
    // each group's sums made row by row by one thread, so the sums are the same as on one.
    // An absent cell adds +0.0, which leaves a sum as it is: a sum that starts at +0.0 is
    // never -0.0.
    const size_t m = static_cast<size_t>(m_nVariables);
    const size_t rows = static_cast<size_t>(m_nRows);
    const float code = m_fMissingCode;
    // As !FloatEquals(x, code), a NaN included.
    auto present = [code](double x) { return !(std::fabs(static_cast<float>(x) - code) < 1e-6); };
    const double* values = m_values.data();
    // The first present value of each variable (nearly always in the first row).
    std::vector<double> first(m, 0.0);
    std::vector<char> seen(m, 0);
    for (size_t r = 0, missing = m; r < rows && missing > 0; ++r)
        for (size_t v = 0; v < m; ++v)
            if (!seen[v] && present(values[r * m + v])) first[v] = values[r * m + v], seen[v] = 1, --missing;
    std::vector<long> n(m, 0);
    std::vector<double> sum(m, 0.0), mean(m, 0.0), ss(m, 0.0);
    std::vector<char> differs(m, 0);
    // A thread reads whole cache lines of the rows: a group of fewer than about eight
    // variables would read its neighbours' lines as well.
    CTableWorkers workers;
    const size_t groups = rows < 4096 ? 1 : std::clamp<size_t>(m / 8, 1, workers.GetThreadCount());
    // Runs pass(from, count) over the variables of each group, at most kChunk at a time,
    // so that the sums stay in the thread's own small arrays.
    constexpr size_t kChunk = 16;
    auto inGroups = [&](auto&& pass) {
        workers.Run(groups, [&](size_t g, unsigned) {
            for (size_t from = m * g / groups, to = m * (g + 1) / groups; from < to; from += kChunk)
                pass(from, std::min(kChunk, to - from));
        });
    };
    inGroups([&](size_t from, size_t k) {
        double s[kChunk] = {}, f[kChunk];
        long c[kChunk] = {};
        bool d[kChunk] = {};
        std::copy_n(first.begin() + static_cast<long>(from), k, f);
        for (size_t r = 0; r < rows; ++r) {
            const double* row = values + r * m + from;
            for (size_t v = 0; v < k; ++v) {
                const double x = row[v];
                const bool p = present(x);
                s[v] += p ? x : 0.0;
                c[v] += p;
                d[v] = d[v] || (p && x != f[v]);
            }
        }
        std::copy_n(s, k, sum.begin() + static_cast<long>(from));
        std::copy_n(c, k, n.begin() + static_cast<long>(from));
        std::copy_n(d, k, differs.begin() + static_cast<long>(from));
    });
    SetProgressPos(m_nVariables / 2);
    bool spread = false;
    std::vector<char> allEqual(m, 1);
    for (size_t v = 0; v < m; ++v) {
        // The first value is not compared with itself: a first NaN is all equal alone.
        allEqual[v] = std::isnan(first[v]) ? n[v] <= 1 : !differs[v];
        if (n[v] > 0) mean[v] = allEqual[v] ? first[v] : sum[v] / static_cast<double>(n[v]);
        spread = spread || (n[v] > 1 && !allEqual[v]);
    }
    if (spread) {
        inGroups([&](size_t from, size_t k) {
            double s[kChunk] = {}, mu[kChunk];
            std::copy_n(mean.begin() + static_cast<long>(from), k, mu);
            for (size_t r = 0; r < rows; ++r) {
                const double* row = values + r * m + from;
                for (size_t v = 0; v < k; ++v) {
                    const double x = row[v];
                    const double dev = x - mu[v];
                    s[v] += present(x) ? dev * dev : 0.0;
                }
            }
            std::copy_n(s, k, ss.begin() + static_cast<long>(from));
        });
    }
    for (size_t v = 0; v < m; ++v) {
        CVariableDesc& desc = m_variables[v];
        desc.SetMean(mean[v]);
        desc.SetVariance(n[v] > 1 && !allEqual[v] ? ss[v] / static_cast<double>(n[v] - 1) : 0.0);
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

namespace {
// A name as HTML text: '<', '>' and '&' become entities.
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
}  // namespace

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
}
