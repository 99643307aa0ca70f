#include "analyses/factor_results_dlg.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "analyses/analysis_dlg.h"
#include "analyses/coordinates_dlg.h"
#include "analyses/engine_runner.h"
#include "analyses/html_report.h"
#include "analyses/rows_columns_chart.h"
#include "app/status.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "charts/chart_dialogs.h"
#include "charts/special_pages.h"
#include "platform/gdi/metafile_dc.h"
#include "stats/regression.h"
#include "res/resource_ids.h"
#include "ui/bitmap_print.h"

const char kFewFactorsMessage[] = "Tem de escolher mais de um factor para serem produzidos gráficos";
const char kResultsOpenError[] = "Erro a Abrir o ficheiro de Relatorio";
const char kResultsShortMessage[] =
    "O ficheiro de Relatorio tem menos linhas ou valores do que a análise pede: os resultados não são mostrados";
const char kResultsNonFiniteMessage[] =
    "O ficheiro de Relatorio %s tem um valor que não é um número finito na linha %d: os resultados não são mostrados";
const char kResultsUnreadableMessage[] =
    "O ficheiro de Relatorio %s tem um valor ilegível na linha %d: os resultados não são mostrados";

namespace {

const char kNoResultsMessage[] = "Não há resultados para mostrar";

std::vector<std::string> SplitFields(const CString& line) {
    std::vector<std::string> out;
    std::string current;
    for (const char* p = line; *p; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

void DeletePages(std::vector<CPlotPage*>& pages) {
    for (CPlotPage* p : pages) delete p;
    pages.clear();
}

CString FactorName(int a) { return FormatString("F%d", a); }

// Writes a file of the given type (typeText or typeBinary) in place of path through write,
// which returns false for a write it gave up. A link already at path (the folder may be a
// shared one) is replaced, never written through. False when the file cannot be opened,
// written or put in place; any earlier file of that name then stays as it was.
bool ReplaceFileWith(const CString& path, UINT type, const std::function<bool(CStdioFile&)>& write) {
    CReplacingFile file;
    if (!file.OpenReplacing(path, nullptr, type | CReplacingFile::replaceLinks)) return false;
    try {
        if (!write(file)) return false;
        file.Commit();
    } catch (CFileException&) {
        return false;
    }
    return true;
}

}  // namespace

CFactorResultsDlg::CFactorResultsDlg(UINT templateId, CAnalysisDlg* owner, CWnd* parent)
    : CDialog(templateId, parent), m_pOwner(owner) {}

CFactorResultsDlg::~CFactorResultsDlg() {
    // Runs during static destruction too: only plain memory is released here.
    ReleaseCharts(true);
}

int CFactorResultsDlg::OwnerFactorCount() const { return m_pOwner ? m_pOwner->GetFactorCount() : 0; }

void CFactorResultsDlg::GetRowCounts(int& active, int& supplementary) {
    active = m_pOwner ? m_pOwner->GetActiveRowCount() : 0;
    supplementary = m_pOwner ? m_pOwner->GetSupplementaryRowCount() : 0;
}

// --- Opening and closing -----------------------------------------------------------------------

BOOL CFactorResultsDlg::OnInitDialog() {
    m_bColumnIdentifiers = m_bRowIdentifiers = m_bRowColumnIdentifiers = 0;
    m_bShowConditioning = 1;
    m_nFactors = OwnerFactorCount();
    return CDialog::OnInitDialog();
}

void CFactorResultsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    if (GetDlgItem(IDC_RESULTS_FACTOR_COUNT)) DDX_Text(dx, IDC_RESULTS_FACTOR_COUNT, m_nFactors);
}

namespace {
// The edit's value as typed (0 when it is not a number).
int ReadFactorEdit(CWnd* dlg) {
    CString text;
    dlg->GetDlgItemText(IDC_RESULTS_FACTOR_COUNT, text);
    return std::atoi(text);
}
}  // namespace

void CFactorResultsDlg::OnFactorCountChange() {
    if (!GetDlgItem(IDC_RESULTS_FACTOR_COUNT)) return;
    const int typed = ReadFactorEdit(this);
    const int limit = OwnerFactorCount();
    if (typed >= 1 && typed <= limit) {
        if (typed != m_nFactors) ReleaseCharts(false);
        m_nFactors = typed;
        return;
    }
    AfxMessageBox(FormatString("O número de factores tem de estar no intervalo de 1 a %d", limit));
    if (CWnd* edit = GetDlgItem(IDC_RESULTS_FACTOR_COUNT)) GotoDlgCtrl(edit);
}

void CFactorResultsDlg::OnOK() {
    if (CWnd* edit = GetDlgItem(IDC_RESULTS_FACTOR_COUNT)) {
        (void)edit;
        const int typed = ReadFactorEdit(this);
        const int limit = OwnerFactorCount();
        // With no factor to choose from, "Sair" still closes.
        if (limit >= 1 && (typed < 1 || typed > limit)) return;
        if (limit >= 1) m_nFactors = typed;
    }
    ReleaseCharts(true);
    EndDialog(IDOK);
}

void CFactorResultsDlg::OnCancel() {
    ReleaseCharts(true);
    CDialog::OnCancel();
}

void CFactorResultsDlg::ReleaseCharts(bool screePlot) {
    if (screePlot) {
        delete m_pScreePlot;
        m_pScreePlot = nullptr;
    }
    for (int i = 0; i < 3; ++i) {
        DeletePages(m_columnPlanes[i]);
        DeletePages(m_rowPlanes[i]);
        DeletePages(m_rowColumnPlanes[i]);
    }
    m_nRowPlaneConditioning = -1;
}

void CFactorResultsDlg::ClearResults() {
    ReleaseCharts(true);
    m_eigenvalues.SetSize(0, 0);
    for (int i = 0; i < 3; ++i) {
        m_columnTables[i].SetSize(0, 0);
        m_rowTables[i].SetSize(0, 0);
    }
    m_nEigenvalueCount = 0;
    m_activeRows.clear();
    m_supplementaryRows.clear();
}

// --- Reading -----------------------------------------------------------------------------------

void CFactorResultsDlg::StartReading(CStdioFile& file) {
    m_nResultLine = m_nNonFiniteLine = m_nUnreadableLine = 0;
    CString status;
    status.LoadString(IDS_STATUS_REPORT);
    BeginProgress(status, static_cast<int>(file.GetLength()));
}

bool CFactorResultsDlg::ReadResultLine(CStdioFile& file, CString& line) {
    if (!file.ReadString(line)) return false;
    ++m_nResultLine;
    SetProgressPos(static_cast<int>(file.GetPosition()));
    return true;
}

bool CFactorResultsDlg::ParseResultValues(const std::vector<std::string>& fields, size_t from, size_t count,
                                          double* values) {
    for (size_t j = 0; j < count; ++j) {
        const std::string& field = fields[from + j];
        // The whole field must be a number: a garbled one ("O.14286", "1.O4167") has no value,
        // whatever its first characters would read as.
        const char* first = field.data() + (field.size() > 1 && field[0] == '+' && field[1] != '-' ? 1 : 0);
        const char* last = field.data() + field.size();
        double value = 0.0;
        const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
        if (end != last || (error != std::errc() && error != std::errc::result_out_of_range)) {
            m_nUnreadableLine = m_nResultLine;
            return false;
        }
        // Beyond the double range: an overflow is infinite, an underflow as near zero as a
        // double goes (the C numeric locale is always in force).
        if (error == std::errc::result_out_of_range) value = std::strtod(first, nullptr);
        // "nan", "inf" or a number beyond the double range would pass into the tables and planes.
        if (!std::isfinite(value)) {
            m_nNonFiniteLine = m_nResultLine;
            return false;
        }
        values[j] = value;
    }
    return true;
}

void CFactorResultsDlg::ReportUnreadResults(const CString& path) {
    if (m_nUnreadableLine > 0)
        AfxMessageBox(FormatString(kResultsUnreadableMessage, path.GetString(), m_nUnreadableLine));
    else if (m_nNonFiniteLine > 0)
        AfxMessageBox(FormatString(kResultsNonFiniteMessage, path.GetString(), m_nNonFiniteLine));
    else
        AfxMessageBox(kResultsShortMessage);
}

bool CFactorResultsDlg::FillEigenvalueTable(CStdioFile& file) {
    bool complete = true;
    CString line;
    if (ReadResultLine(file, line)) {
        // The line that opens the block holds one number (a count, or the total inertia).
        const std::vector<std::string> fields = SplitFields(line);
        double count = 0.0;
        if (fields.size() != 1) {
            m_nUnreadableLine = m_nResultLine;
            complete = false;
        } else if (ParseResultValues(fields, 0, 1, &count)) {
            m_nEigenvalueCount = std::fabs(count) < 1e9 ? static_cast<int>(count) : 0;
        } else {
            complete = false;
        }
    } else {
        complete = false;
    }
    const int k = std::max(0, OwnerFactorCount());
    m_eigenvalues.SetSize(k, 3);
    m_eigenvalues.SetVariableName(1, "Valor Proprio");
    m_eigenvalues.SetVariableName(2, "% Exp");
    m_eigenvalues.SetVariableName(3, "% Acum");
    for (int i = 1; i <= k; ++i) {
        m_eigenvalues.SetRowName(i, FormatString("%d", i));
        std::vector<std::string> fields;
        if (complete && ReadResultLine(file, line)) fields = SplitFields(line);
        else complete = false;
        if (fields.size() < 3) complete = false;
        // What the file lacks stays 0.
        double values[3] = {0.0, 0.0, 0.0};
        if (complete && !ParseResultValues(fields, 0, 3, values)) complete = false;
        for (int j = 0; j < 3; ++j) m_eigenvalues.SetValue(i, j + 1, values[j]);
    }
    return complete;
}

bool CFactorResultsDlg::ReadRecord(CStdioFile& file, CDataTable& table, CDataTable& total, int row, int totalRow,
                                   int from, int values) {
    CString line;
    if (!ReadResultLine(file, line)) return false;
    std::vector<std::string> fields = SplitFields(line);
    if (static_cast<int>(fields.size()) < values + 1) return false;
    std::vector<double> numbers(static_cast<size_t>(values));
    if (!ParseResultValues(fields, 1, numbers.size(), numbers.data())) return false;
    table.SetRowName(row, fields[0].c_str());
    total.SetRowName(totalRow, fields[0].c_str());
    for (int j = 0; j < values; ++j) {
        table.SetValue(row, from + j, numbers[static_cast<size_t>(j)]);
        total.SetValue(totalRow, from + j, numbers[static_cast<size_t>(j)]);
    }
    return true;
}

void CFactorResultsDlg::LoadResults() {
    delete m_pScreePlot;
    m_pScreePlot = nullptr;
    std::vector<CString> labels;
    std::vector<float> values;
    for (int i = 1; i <= m_eigenvalues.GetRowCount(); ++i) {
        labels.push_back(m_eigenvalues.GetRowNameCopy(i));
        values.push_back(static_cast<float>(m_eigenvalues.GetValue(i, 1)));
    }
    if (!values.empty()) m_pScreePlot = new CScreePlotChart(labels, values, "ScreePlot");
    LoadRowLists();
}

void CFactorResultsDlg::LoadRowLists() {
    m_activeRows.clear();
    m_supplementaryRows.clear();
    if (!m_pOwner) return;
    m_pOwner->GetActiveRows(m_activeRows);
    m_pOwner->GetSupplementaryRows(m_supplementaryRows);
}

// --- Planes ------------------------------------------------------------------------------------

namespace {
// Column a and column b of every row of the table (columns from 1 + offset), the row names
// as labels.
std::unique_ptr<CPointSeries> PairSeries(const CDataTable& table, int a, int b, int offset) {
    std::vector<float> xs, ys;
    std::vector<CString> labels;
    for (int r = 1; r <= table.GetRowCount(); ++r) {
        xs.push_back(static_cast<float>(table.GetValue(r, a + offset)));
        ys.push_back(static_cast<float>(table.GetValue(r, b + offset)));
        labels.push_back(table.GetRowNameCopy(r));
    }
    return std::make_unique<CPointSeries>(xs, ys, labels, std::vector<int>{});
}

// The factor count the table can serve: no more than its columns from 1 + offset.
int UsableFactors(const CDataTable& table, int k, int offset) {
    return std::max(0, std::min(k, table.GetVariableCount() - offset));
}
}  // namespace

void CFactorResultsDlg::BuildScatterPages(CDataTable& table, std::vector<CPlotPage*>& pages, int offset) {
    if (table.GetRowCount() == 0) {
        SetProgressPos(m_nFactors);
        return;
    }
    const int k = UsableFactors(table, m_nFactors, offset);
    for (int a = 1; a <= k; ++a) {
        for (int b = a + 1; b <= k; ++b) {
            auto series = PairSeries(table, a, b, offset);
            auto* chart = new CScatterChart(*series, FactorName(a), FactorName(b), FactorName(a) + "/" + FactorName(b));
            chart->SetShowZeroLines(true);
            pages.push_back(chart);
        }
    }
}

void CFactorResultsDlg::BuildRowColumnPairPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages,
                                                int offset) {
    if (columns.GetRowCount() == 0 && rows.GetRowCount() == 0) return;
    // A table without rows has no columns either: the other one decides.
    int k = m_nFactors;
    if (columns.GetRowCount() > 0) k = std::min(k, UsableFactors(columns, m_nFactors, offset));
    if (rows.GetRowCount() > 0) k = std::min(k, UsableFactors(rows, m_nFactors, offset));
    for (int a = 1; a <= k; ++a)
        for (int b = a + 1; b <= k; ++b) {
            auto columnSeries = PairSeries(columns, a, b, offset);
            auto rowSeries = PairSeries(rows, a, b, offset);
            pages.push_back(new CFactorialPlaneRowsColumnsChart(*columnSeries, FactorName(a), FactorName(b),
                                                                FactorName(a) + "/" + FactorName(b), *rowSeries));
        }
}

void CFactorResultsDlg::BuildRowPlanePages(CDataTable& rows, std::vector<CPlotPage*>& pages) {
    BuildScatterPages(rows, pages, 0);
}

void CFactorResultsDlg::BuildRowColumnPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages) {
    BuildRowColumnPairPages(columns, rows, pages, 0);
}

void CFactorResultsDlg::BuildPlanes(std::vector<CPlotPage*>* target, CDataTable* first, CDataTable* second, int kind) {
    CString status;
    status.LoadString(IDS_STATUS_CHARTS);
    BeginProgress(status, 3 * std::max(1, m_nFactors));
    for (int i = 0; i < 3; ++i) {
        if (kind == 0) {
            const int k = UsableFactors(first[i], m_nFactors, 0);
            if (first[i].GetRowCount() == 0) continue;
            for (int a = 1; a <= k; ++a)
                for (int b = a + 1; b <= k; ++b) {
                    auto series = PairSeries(first[i], a, b, 0);
                    target[i].push_back(new CFactorialPlaneColumnsChart(*series, FactorName(a), FactorName(b),
                                                                        FactorName(a) + "/" + FactorName(b)));
                }
        } else if (kind == 1) {
            BuildRowPlanePages(first[i], target[i]);
        } else {
            BuildRowColumnPages(first[i], second[i], target[i]);
        }
        SetProgressPos((i + 1) * m_nFactors);
    }
    EndProgress();
}

void CFactorResultsDlg::BuildColumnPlanes() { BuildPlanes(m_columnPlanes, m_columnTables, nullptr, 0); }

void CFactorResultsDlg::BuildRowColumnPlanes() { BuildPlanes(m_rowColumnPlanes, m_columnTables, m_rowTables, 2); }

void CFactorResultsDlg::ShowPlanes(std::vector<CPlotPage*>* planes, const char* caption, BYTE* showAll,
                                   BYTE* showConditioning) {
    if (planes[0].empty() && planes[1].empty() && planes[2].empty()) {
        AfxMessageBox(kNoResultsMessage);
        return;
    }
    CChartWindowDlg dlg(planes[0], planes[1], planes[2], this);
    dlg.ShowIdentifiersOption(true);
    dlg.SetCaption(caption);
    dlg.SetShowAllIdentifiers(*showAll != 0);
    if (showConditioning) {
        dlg.ShowConditioningOption(true);
        dlg.SetShowConditioning(*showConditioning != 0);
    }
    dlg.DoModal();
    *showAll = dlg.GetShowAllIdentifiers() ? 1 : 0;
    if (showConditioning) *showConditioning = dlg.GetShowConditioning() ? 1 : 0;
}

void CFactorResultsDlg::ShowColumnPlane() {
    if (OwnerFactorCount() < 2 || m_nFactors < 2) {
        AfxMessageBox(kFewFactorsMessage);
        return;
    }
    if (m_columnPlanes[2].empty()) {
        for (auto& v : m_columnPlanes) DeletePages(v);
        BuildColumnPlanes();
    }
    ShowPlanes(m_columnPlanes, "Plano Factorial (Colunas)", &m_bColumnIdentifiers);
}

void CFactorResultsDlg::PrepareRowPlanes(const CDataTable* data, int variable) {
    if (m_rowPlanes[2].empty() || m_nRowPlaneConditioning != variable) {
        // Pages grouped by another variable cannot lose their groups: they are built anew.
        for (auto& v : m_rowPlanes) DeletePages(v);
        BuildPlanes(m_rowPlanes, m_rowTables, nullptr, 1);
        m_nRowPlaneConditioning = -1;
    }
    if (!data || variable < 1 || variable > data->GetVariableCount()) return;
    // The code of a row is its value of the variable truncated toward zero; rows are
    // data-set row indices counted from 0.
    auto codes = [&](const std::vector<int>& rows) {
        std::vector<int> out;
        out.reserve(rows.size());
        for (int r : rows) {
            const double value = r >= 0 && r < data->GetRowCount() ? data->GetValue(r + 1, variable) : 0.0;
            out.push_back(static_cast<int>(std::trunc(value)));
        }
        return out;
    };
    const std::vector<int> active = codes(m_activeRows);
    const std::vector<int> supplementary = codes(m_supplementaryRows);
    std::vector<int> total = active;
    total.insert(total.end(), supplementary.begin(), supplementary.end());
    const std::vector<int>* perSet[3] = {&active, &supplementary, &total};
    const std::vector<CNamedCode>& categories = data->GetVariable(variable)->GetCategories();
    for (int i = 0; i < 3; ++i)
        for (CPlotPage* page : m_rowPlanes[i])
            if (auto* chart = dynamic_cast<CScatterChart*>(page)) {
                chart->SetGroupNames(categories);
                chart->SetPointGroups(*perSet[i]);
            }
    m_nRowPlaneConditioning = variable;
}

void CFactorResultsDlg::ShowRowPlane() {
    if (OwnerFactorCount() < 2 || m_nFactors < 2) {
        AfxMessageBox(kFewFactorsMessage);
        return;
    }
    CTabulonDoc* doc = theApp.GetDocument();
    const CDataTable* data = doc ? doc->GetDataSet() : nullptr;
    std::vector<CNamedCode> qualitative;
    if (data) data->GetQualitativeVariables(&qualitative);
    if (qualitative.empty()) {
        PrepareRowPlanes(nullptr, -1);
        ShowPlanes(m_rowPlanes, "Plano Factorial (Linhas)", &m_bRowIdentifiers);
        return;
    }
    CConditioningDlg choice(qualitative, this);
    const auto result = choice.DoModal();
    if (result == IDOK) {
        PrepareRowPlanes(data, choice.GetConditioningVariable());
        for (auto& set : m_rowPlanes)
            for (CPlotPage* page : set) page->ShowConditioning(m_bShowConditioning != 0);
        ShowPlanes(m_rowPlanes, "Plano Factorial (Linhas)", &m_bRowIdentifiers, &m_bShowConditioning);
    } else if (result == CConditioningDlg::RESULT_NONE) {
        PrepareRowPlanes(nullptr, -1);
        for (auto& set : m_rowPlanes)
            for (CPlotPage* page : set) page->ShowConditioning(false);
        ShowPlanes(m_rowPlanes, "Plano Factorial (Linhas)", &m_bRowIdentifiers);
    }
}

void CFactorResultsDlg::OnRowColumnPlane() {
    if (OwnerFactorCount() < 2 || m_nFactors < 2) {
        AfxMessageBox(kFewFactorsMessage);
        return;
    }
    if (m_rowColumnPlanes[2].empty()) {
        for (auto& v : m_rowColumnPlanes) DeletePages(v);
        BuildRowColumnPlanes();
    }
    ShowPlanes(m_rowColumnPlanes, "Plano Factorial (Linhas + Colunas)", &m_bRowColumnIdentifiers);
}

// --- Tables and other buttons ------------------------------------------------------------------

void CFactorResultsDlg::OnListing() {
    ShowListingFile(m_strListingPath, false);
}

void CFactorResultsDlg::OnEigenvalues() {
    if (m_eigenvalues.GetRowCount() == 0) {
        AfxMessageBox(kNoResultsMessage);
        return;
    }
    CMatrixResultsDlg dlg(&m_eigenvalues, 0, this);
    dlg.SetCaption("Valores Proprios");
    dlg.SetPreviousDisabled(true);
    dlg.DoModal();
}

void CFactorResultsDlg::OnScreePlot() {
    // Rebuilt from the table when it was released; an empty table has nothing to plot.
    if (!m_pScreePlot) LoadResults();
    if (!m_pScreePlot) {
        AfxMessageBox(kNoResultsMessage);
        return;
    }
    CSingleChartDlg dlg(m_pScreePlot, this);
    dlg.SetCaption("ScreePlot");
    dlg.DoModal();
}

void CFactorResultsDlg::OnColumnCoordinates() {
    CCoordinatesDlg dlg(&m_columnTables[0], &m_columnTables[1], &m_columnTables[2], this);
    dlg.SetCaption("Coordenadas das Colunas");
    dlg.DoModal();
}

void CFactorResultsDlg::OnRowCoordinates() {
    CCoordinatesDlg dlg(&m_rowTables[0], &m_rowTables[1], &m_rowTables[2], this);
    dlg.SetCaption("Coordenadas das Linhas");
    dlg.DoModal();
}

// --- HTML report -------------------------------------------------------------------------------

void CFactorResultsDlg::OnGenerateHtml() {
    if (!m_pHtmlOptions || m_pHtmlOptions->DoModal() != 1002) return;
    const CString folder = m_pHtmlOptions->GetFolder();
    // The images first: the page is written only when the images it shows are this
    // report's, not those an earlier report left in the folder.
    if (m_pHtmlOptions->GetScreePlot()) {
        if (!m_pScreePlot) LoadResults();
        if (!SaveChartImage(folder + "ScreePlot.bmp", m_pScreePlot)) return;
    }
    const CString path = folder + "Relatorio.html";
    const bool written = ReplaceFileWith(path, CFile::typeText, [&](CStdioFile& file) {
        WriteHtmlReport(folder, file, 1);
        // Every section, the derived dialogs' included, lies inside the body.
        file.WriteString("</body> </html>\n");
        return true;
    });
    if (!written) {
        AfxMessageBox("Erro a Abrir o ficheiro para gerar o Relatorio em HTML");
        return;
    }
    CHtmlReportNoticeDlg notice(path, this);
    notice.DoModal();
}

void CFactorResultsDlg::WriteHtmlHead(CStdioFile& file) {
    CString document;
    if (CTabulonDoc* doc = theApp.GetDocument()) document = doc->GetPathName();
    file.WriteString(FormatString("<html> <head> <meta charset=\"windows-1252\"> <title> %s </title> </head>\n",
                                  static_cast<const char*>(m_strReportTitle)));
    file.WriteString(FormatString("<body>\n <h1 align=\"center\"> %s </h1>\n <font size=\"4\"> <br /> <b> Ficheiro "
                                  "de Dados: </b> %s </font><hr>\n",
                                  static_cast<const char*>(m_strReportTitle),
                                  static_cast<const char*>(HtmlEscaped(document))));
}

int CFactorResultsDlg::WriteHtmlTableGroup(CStdioFile& file, int section, const char* title, const char* subtitle,
                                           CDataTable* tables, const int* ticked) {
    if (!ticked[0] && !ticked[1] && !ticked[2]) return section;
    static const char* const kinds[3] = {"Activas", "Suplementares", "Totais"};
    file.WriteString("<hr>\n");
    file.WriteString(FormatString("<h2 align=\"center\"> %d - %s </h2>", section, title));
    int sub = 1;
    for (int i = 0; i < 3; ++i) {
        if (!ticked[i]) continue;
        file.WriteString(FormatString("<h3> %d.%d - %s %s </h3>\n", section, sub, subtitle, kinds[i]));
        tables[i].WriteHtml(&file);
        ++sub;
    }
    file.WriteString("<br />\n");
    return section + 1;
}

int CFactorResultsDlg::WriteHtmlColumnCoordinates(CStdioFile& file, int section) {
    const int ticked[3] = {m_pHtmlOptions->GetColumnActive(), m_pHtmlOptions->GetColumnSupplementary(),
                           m_pHtmlOptions->GetColumnTotal()};
    return WriteHtmlTableGroup(file, section, "Coordenadas das Colunas", "Coordenadas das Colunas", m_columnTables,
                               ticked);
}

int CFactorResultsDlg::WriteHtmlRowCoordinates(CStdioFile& file, int section) {
    const int ticked[3] = {m_pHtmlOptions->GetRowActive(), m_pHtmlOptions->GetRowSupplementary(),
                           m_pHtmlOptions->GetRowTotal()};
    return WriteHtmlTableGroup(file, section, "Coordenadas das Linhas", "Coordenadas das Linhas", m_rowTables, ticked);
}

int CFactorResultsDlg::WriteHtmlReport(CString /*folder*/, CStdioFile& file, int first) {
    int n = first;
    WriteHtmlHead(file);
    if (m_pHtmlOptions && m_pHtmlOptions->GetEigenvalues()) {
        file.WriteString(FormatString(
            "<h2 align=\"center\"> %d - Valores Próprios e Percentagem de Explicação dos Factores </h2>\n", n));
        m_eigenvalues.WriteHtml(&file);
        file.WriteString("<br />\n");
        ++n;
    }
    if (m_pHtmlOptions && m_pHtmlOptions->GetScreePlot()) {
        // The image beside the page was saved before the page was begun (OnGenerateHtml).
        file.WriteString(FormatString("<hr>\n<h2 align=\"center\"> %d - ScreePlot </h2>\n", n));
        file.WriteString("<p align=\"center\"><img src=\"ScreePlot.bmp\"></p>\n");
        ++n;
    }
    if (m_pHtmlOptions) {
        n = WriteHtmlColumnCoordinates(file, n);
        n = WriteHtmlRowCoordinates(file, n);
    }
    return n;
}

bool CFactorResultsDlg::SaveChartImage(const CString& path, CPlotPage* page) {
    const CString metafilePath = path.Left(path.GetLength() - 3) + "emf";
    auto refuse = [](const CString& image) {
        AfxMessageBox(FormatString("Erro a gravar a imagem %s do Relatorio em HTML", image.GetString()));
        return false;
    };
    if (!page) return refuse(path);
    constexpr int kWidth = 450, kHeight = 300;
    CClientDC reference(GetSafeHwnd() ? this : nullptr);
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(&reference) || !bitmap.CreateCompatibleBitmap(&reference, kWidth, kHeight))
        return refuse(path);
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, kWidth, kHeight, RGB(255, 255, 255));
    page->Draw(&memory, 0, 0, kWidth, kHeight);
    memory.SelectObject(old);
    if (!SaveBitmapFile(path, bitmap)) return refuse(path);

    // The metafile's frame is in 0.01 mm: the 450 x 300 pixels at the reference device's
    // real resolution (25.4 mm to the inch).
    const int dpiX = reference.GetDeviceCaps(LOGPIXELSX) > 0 ? reference.GetDeviceCaps(LOGPIXELSX) : 96;
    const int dpiY = reference.GetDeviceCaps(LOGPIXELSY) > 0 ? reference.GetDeviceCaps(LOGPIXELSY) : 96;
    const RECT frame{0, 0, static_cast<LONG>(kWidth * 2540 / dpiX), static_cast<LONG>(kHeight * 2540 / dpiY)};
    CMetaFileDC metafile;
    if (!metafile.CreateEnhanced(&reference, nullptr, &frame, "Teste\0\0")) return refuse(metafilePath);
    page->Draw(&metafile, 0, 0, kWidth, kHeight);
    HENHMETAFILE picture = metafile.CloseEnhanced();
    if (!picture) return refuse(metafilePath);
    const UINT size = GetEnhMetaFileBits(picture, 0, nullptr);
    std::vector<BYTE> bytes(size);
    const bool copied = size > 0 && GetEnhMetaFileBits(picture, size, bytes.data()) == size;
    DeleteEnhMetaFile(picture);
    if (!copied || !ReplaceFileWith(metafilePath, CFile::typeBinary, [&](CStdioFile& image) {
            image.Write(bytes.data(), static_cast<UINT>(bytes.size()));
            return true;
        }))
        return refuse(metafilePath);
    return true;
}
