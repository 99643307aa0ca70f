#include "analyses/corresp_report_dlg.h"

#include "analyses/analysis_dlg.h"
#include "analyses/coordinates_dlg.h"
#include "analyses/results_message_map.h"
#include "app/status.h"
#include "res/resource_ids.h"

// --- CHtmlOptionsDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CHtmlOptionsDlg, CPcaHtmlOptionsDlg)
    ON_BN_CLICKED(IDC_HTML_GENERATE, &CHtmlOptionsDlg::OnGenerate)
    ON_BN_CLICKED(IDC_HTML_SELECT_ALL, &CHtmlOptionsDlg::OnSelectAll)
END_MESSAGE_MAP()

CHtmlOptionsDlg::CHtmlOptionsDlg(CWnd* parent) : CPcaHtmlOptionsDlg(IDD_CORRESP_HTML_OPTIONS, parent) {}

int CHtmlOptionsDlg::ControlId(int group, int which) {
    static const int ids[4][3] = {{1175, 1176, 1179}, {1180, 1181, 1182}, {1183, 1184, 1185}, {1186, 1187, 1188}};
    return ids[group][which];
}

void CHtmlOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CPcaHtmlOptionsDlg::DoDataExchange(dx);
    for (int g = 0; g < 4; ++g)
        for (int w = 0; w < 3; ++w) DDX_Check(dx, ControlId(g, w), m_contributions[g][w]);
}

BOOL CHtmlOptionsDlg::OnInitDialog() {
    BOOL result = CPcaHtmlOptionsDlg::OnInitDialog();
    const bool columns = m_bSupplementaryColumns != 0;
    const bool supplementaryRows = m_bSupplementaryRows != 0;
    const bool rows = m_bRows != 0;
    for (int g = 0; g < 4; g += 2) {
        Allow(ControlId(g, 1), m_contributions[g][1], columns);
        Allow(ControlId(g, 2), m_contributions[g][2], columns);
    }
    for (int g = 1; g < 4; g += 2) {
        Allow(ControlId(g, 1), m_contributions[g][1], supplementaryRows);
        Allow(ControlId(g, 0), m_contributions[g][0], rows);
        Allow(ControlId(g, 2), m_contributions[g][2], supplementaryRows && rows);
    }
    return result;
}

void CHtmlOptionsDlg::OnSelectAll() {
    CPcaHtmlOptionsDlg::OnSelectAll();
    for (int g = 0; g < 4; g += 2) {
        Tick(ControlId(g, 0), m_contributions[g][0]);
        if (m_bSupplementaryColumns) {
            Tick(ControlId(g, 1), m_contributions[g][1]);
            Tick(ControlId(g, 2), m_contributions[g][2]);
        }
    }
    for (int g = 1; g < 4; g += 2) {
        if (m_bRows) Tick(ControlId(g, 0), m_contributions[g][0]);
        if (m_bSupplementaryRows) Tick(ControlId(g, 1), m_contributions[g][1]);
        if (m_bSupplementaryRows && m_bRows) Tick(ControlId(g, 2), m_contributions[g][2]);
    }
}

// --- CCorrespReportDlg -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCorrespReportDlg, CFactorResultsDlg)
    FACTOR_RESULTS_MESSAGE_ENTRIES(CCorrespReportDlg)
    ON_BN_CLICKED(IDC_REPORT_ABSOLUTE_COLUMNS, &CCorrespReportDlg::OnAbsoluteColumns)
    ON_BN_CLICKED(IDC_REPORT_ABSOLUTE_ROWS, &CCorrespReportDlg::OnAbsoluteRows)
    ON_BN_CLICKED(IDC_REPORT_RELATIVE_COLUMNS, &CCorrespReportDlg::OnRelativeColumns)
    ON_BN_CLICKED(IDC_REPORT_RELATIVE_ROWS, &CCorrespReportDlg::OnRelativeRows)
END_MESSAGE_MAP()

CCorrespReportDlg::CCorrespReportDlg(CAnalysisDlg* owner, UINT templateId, CWnd* parent)
    : CFactorResultsDlg(templateId, owner, parent) {
    m_strReportTitle = "Relatório de Análise em Componentes Binários";
    m_pHtmlOptions = new CHtmlOptionsDlg;
}

CCorrespReportDlg::~CCorrespReportDlg() {
    delete m_pHtmlOptions;
    m_pHtmlOptions = nullptr;
}

bool CCorrespReportDlg::ReadBlock(CStdioFile& file, CDataTable* tables, int active, int supplementary, int factors) {
    tables[0].SetSize(active, factors + 2);
    tables[1].SetSize(supplementary, factors + 2);
    tables[2].SetSize(active + supplementary, factors + 2);
    for (int t = 0; t < 3; ++t) {
        tables[t].SetVariableName(1, "Massa");
        tables[t].SetVariableName(2, "Dist. Origem");
        for (int j = 1; j <= factors; ++j) tables[t].SetVariableName(j + 2, FormatString("%d", j));
    }
    for (int i = 1; i <= active; ++i)
        if (!ReadRecord(file, tables[0], tables[2], i, i, 1, factors + 2)) return false;
    for (int i = 1; i <= supplementary; ++i)
        if (!ReadRecord(file, tables[1], tables[2], i, active + i, 1, factors + 2)) return false;
    return true;
}

void CCorrespReportDlg::ReadResults(CString path) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        // A refused run leaves no file: nothing of an earlier run is shown as this one's.
        ClearResults();
        ComputeContributions();
        AfxMessageBox(kResultsOpenError);
        return;
    }
    StartReading(file);
    const int nf = std::max(0, m_pOwner ? m_pOwner->GetFactorCount() : 0);
    const int activeColumns = m_pOwner ? m_pOwner->GetActiveColumnCount() : 0;
    const int supplementaryColumns = m_pOwner ? m_pOwner->GetSupplementaryColumnCount() : 0;
    int activeRows = 0, supplementaryRows = 0;
    GetRowCounts(activeRows, supplementaryRows);
    bool complete = false;
    try {
        complete = FillEigenvalueTable(file);
        // kelo analyses the smaller side first: its rows block comes first then.
        if (activeRows < activeColumns) {
            complete = complete && ReadBlock(file, m_rowTables, activeRows, supplementaryRows, nf) &&
                       ReadBlock(file, m_columnTables, activeColumns, supplementaryColumns, nf);
        } else {
            complete = complete && ReadBlock(file, m_columnTables, activeColumns, supplementaryColumns, nf) &&
                       ReadBlock(file, m_rowTables, activeRows, supplementaryRows, nf);
        }
    } catch (CFileException&) {
        complete = false;
    }
    file.Close();
    EndProgress();
    if (!complete) {
        ClearResults();
        ComputeContributions();
        ReportUnreadResults(path);
        return;
    }
    m_pHtmlOptions->SetSupplementaryColumns(m_columnTables[1].GetRowCount() > 0);
    m_pHtmlOptions->SetSupplementaryRows(m_rowTables[1].GetRowCount() > 0);
    ComputeContributions();
    ReleaseCharts(true);
    LoadResults();
}

void CCorrespReportDlg::ComputeContributions() {
    const int k = m_eigenvalues.GetRowCount();
    for (int kind = 0; kind < 2; ++kind) {
        CDataTable* coordinates = kind == 0 ? m_columnTables : m_rowTables;
        for (int which = 0; which < 3; ++which) {
            const CDataTable& table = coordinates[which];
            CDataTable& absolute = m_contributions[kind][which];
            CDataTable& relative = m_contributions[kind + 2][which];
            const int n = table.GetRowCount();
            // Only the factors the coordinate table holds.
            const int factors = std::max(0, std::min(k, table.GetVariableCount() - 2));
            absolute.SetSize(n, n > 0 ? k : 0);
            relative.SetSize(n, n > 0 ? k : 0);
            if (n == 0) continue;
            for (int j = 1; j <= k; ++j) {
                absolute.SetVariableName(j, FormatString("%d", j));
                relative.SetVariableName(j, FormatString("%d", j));
            }
            for (int i = 1; i <= n; ++i) {
                absolute.SetRowName(i, table.GetRowNameCopy(i));
                relative.SetRowName(i, table.GetRowNameCopy(i));
                const double mass = table.GetValue(i, 1);
                const double distance = table.GetValue(i, 2);
                for (int j = 1; j <= factors; ++j) {
                    const double c = table.GetValue(i, j + 2);
                    const double lambda = m_eigenvalues.GetValue(j, 1);
                    absolute.SetValue(i, j, lambda > 0.0 ? c * c * mass * 100.0 / lambda : 0.0);
                    relative.SetValue(i, j, distance > 0.0 ? c * c / distance : 0.0);
                }
            }
        }
    }
}

void CCorrespReportDlg::BuildRowPlanePages(CDataTable& rows, std::vector<CPlotPage*>& pages) {
    BuildScatterPages(rows, pages, 2);
}

void CCorrespReportDlg::BuildRowColumnPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages) {
    BuildRowColumnPairPages(columns, rows, pages, 2);
}

void CCorrespReportDlg::BuildColumnPlanes() {
    CString status;
    status.LoadString(IDS_STATUS_CHARTS);
    BeginProgress(status, 3 * std::max(1, m_nFactors));
    for (int i = 0; i < 3; ++i) BuildRowPlanePages(m_columnTables[i], m_columnPlanes[i]);
    EndProgress();
}

void CCorrespReportDlg::ShowContributions(int group, const char* caption) {
    CCoordinatesDlg dlg(&m_contributions[group][0], &m_contributions[group][1], &m_contributions[group][2], this);
    dlg.SetCaption(caption);
    dlg.DoModal();
}

void CCorrespReportDlg::OnAbsoluteColumns() { ShowContributions(0, "Contribuições Absolutas das Colunas"); }
void CCorrespReportDlg::OnAbsoluteRows() { ShowContributions(1, "Contribuições Absolutas das Linhas"); }
void CCorrespReportDlg::OnRelativeColumns() { ShowContributions(2, "Contribuições Relativas das Colunas"); }
void CCorrespReportDlg::OnRelativeRows() { ShowContributions(3, "Contribuições Relativas das Linhas"); }

int CCorrespReportDlg::WriteHtmlReport(CString folder, CStdioFile& file, int first) {
    int s = CFactorResultsDlg::WriteHtmlReport(folder, file, first);
    auto* options = static_cast<CHtmlOptionsDlg*>(m_pHtmlOptions);
    static const char* const titles[4] = {"Contribuições Absolutas das Colunas", "Contribuições Absolutas das Linhas",
                                          "Contribuições Relativas das Colunas", "Contribuições Relativas das Linhas"};
    for (int g = 0; g < 4; ++g) {
        const int ticked[3] = {options->GetContribution(g, 0), options->GetContribution(g, 1),
                               options->GetContribution(g, 2)};
        s = WriteHtmlTableGroup(file, s, titles[g], titles[g], m_contributions[g], ticked);
    }
    return s;
}
