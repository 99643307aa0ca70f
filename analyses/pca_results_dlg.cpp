#include "analyses/pca_results_dlg.h"

#include "analyses/analysis_dlg.h"
#include "analyses/html_report.h"
#include "analyses/results_message_map.h"
#include "app/status.h"
#include "res/resource_ids.h"

BEGIN_MESSAGE_MAP(CPcaResultsDlg, CFactorResultsDlg)
    FACTOR_RESULTS_MESSAGE_ENTRIES(CPcaResultsDlg)
END_MESSAGE_MAP()

CPcaResultsDlg::CPcaResultsDlg(CAnalysisDlg* owner, CWnd* parent) : CFactorResultsDlg(IDD_PCA_RESULTS, owner, parent) {
    m_strReportTitle = "Relatório de Análise em Componentes Principais";
    m_pHtmlOptions = new CPcaHtmlOptionsDlg(IDD_PCA_HTML_OPTIONS);
}

CPcaResultsDlg::~CPcaResultsDlg() {
    delete m_pHtmlOptions;
    m_pHtmlOptions = nullptr;
}

namespace {
void NameFactors(CDataTable* tables, int active, int supplementary, int k) {
    tables[0].SetSize(active, k);
    tables[1].SetSize(supplementary, k);
    tables[2].SetSize(active + supplementary, k);
    for (int t = 0; t < 3; ++t)
        for (int j = 1; j <= k; ++j) tables[t].SetVariableName(j, FormatString("%d", j));
}
}  // namespace

void CPcaResultsDlg::ReadResults(CString path) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        // A refused run leaves no mur.tmp: an earlier run's results are not shown as this one's.
        ClearResults();
        AfxMessageBox(kResultsOpenError);
        return;
    }
    StartReading(file);
    const int k = std::max(0, m_pOwner ? m_pOwner->GetFactorCount() : 0);
    const int ac = m_pOwner ? m_pOwner->GetActiveColumnCount() : 0;
    const int sc = m_pOwner ? m_pOwner->GetSupplementaryColumnCount() : 0;
    const int ar = m_pOwner ? m_pOwner->GetActiveRowCount() : 0;
    const int sr = m_pOwner ? m_pOwner->GetSupplementaryRowCount() : 0;
    bool complete = false;
    try {
        complete = FillEigenvalueTable(file);
        NameFactors(m_columnTables, ac, sc, k);
        for (int i = 1; complete && i <= ac; ++i)
            complete = ReadRecord(file, m_columnTables[0], m_columnTables[2], i, i, 1, k);
        for (int i = 1; complete && i <= sc; ++i)
            complete = ReadRecord(file, m_columnTables[1], m_columnTables[2], i, ac + i, 1, k);
        NameFactors(m_rowTables, ar, sr, k);
        for (int i = 1; complete && i <= ar; ++i)
            complete = ReadRecord(file, m_rowTables[0], m_rowTables[2], i, i, 1, k);
        for (int i = 1; complete && i <= sr; ++i)
            complete = ReadRecord(file, m_rowTables[1], m_rowTables[2], i, ar + i, 1, k);
    } catch (CFileException&) {
        complete = false;
    }
    file.Close();
    EndProgress();
    if (!complete) {
        ClearResults();
        ReportUnreadResults(path);
        return;
    }
    m_pHtmlOptions->SetSupplementaryColumns(m_columnTables[1].GetRowCount() > 0);
    m_pHtmlOptions->SetSupplementaryRows(m_rowTables[1].GetRowCount() > 0);
    ReleaseCharts(true);
    LoadResults();
}
