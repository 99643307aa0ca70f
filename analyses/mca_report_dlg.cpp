#include "analyses/mca_report_dlg.h"

#include <algorithm>

#include "analyses/analysis_dlg.h"
#include "analyses/engine_runner.h"
#include "app/status.h"
#include "res/resource_ids.h"

BEGIN_MESSAGE_MAP(CMultiCorrespReportDlg, CCorrespReportDlg)
    ON_BN_CLICKED(IDC_RESULTS_LISTING, &CMultiCorrespReportDlg::OnListings)
END_MESSAGE_MAP()

CMultiCorrespReportDlg::CMultiCorrespReportDlg(CAnalysisDlg* owner, CWnd* parent)
    : CCorrespReportDlg(owner, IDD_CORRESP_REPORT, parent) {
    m_strReportTitle = "Relatório de Análise Factorial das Correspondências Múltiplas";
}

void CMultiCorrespReportDlg::SetListingFiles(CString recoding, CString dazi) {
    SetListingPath(std::move(recoding));
    m_strDaziListing = std::move(dazi);
}

void CMultiCorrespReportDlg::LoadRowLists() {
    m_activeRows.clear();
    m_supplementaryRows.clear();
    if (m_pOwner) m_pOwner->GetSupplementaryRows(m_activeRows);
}

void CMultiCorrespReportDlg::GetRowCounts(int& active, int& supplementary) {
    active = m_pOwner ? m_pOwner->GetSupplementaryRowCount() : 0;
    supplementary = 0;
}

void CMultiCorrespReportDlg::OnListings() {
    // Each listing is tried, whatever became of the other.
    for (const CString& path : {m_strListingPath, m_strDaziListing})
        ShowListingFile(path, false);
}

void CMultiCorrespReportDlg::ReadResults(CString path) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        // dazi failed or was not found: nothing of an earlier run is shown as this one's.
        ClearResults();
        ComputeContributions();
        AfxMessageBox(FormatString("%s - %s", kResultsOpenError, path.GetString()));
        return;
    }
    StartReading(file);
    const int nf = std::max(0, m_pOwner ? m_pOwner->GetFactorCount() : 0);
    const int activeModalities = m_pOwner ? m_pOwner->GetActiveColumnCount() : 0;
    const int inactiveModalities = m_pOwner ? m_pOwner->GetSupplementaryColumnCount() : 0;
    int individuals = 0, unused = 0;
    GetRowCounts(individuals, unused);
    bool complete = false;
    try {
        complete = FillEigenvalueTable(file) &&
                   ReadBlock(file, m_columnTables, activeModalities, inactiveModalities, nf);
        if (individuals != 0) {
            complete = complete && ReadBlock(file, m_rowTables, individuals, 0, nf);
        } else {
            // No individuals this run: no rows, rather than an earlier run's.
            for (CDataTable& t : m_rowTables) t.SetSize(0, 0);
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
    m_pHtmlOptions->SetSupplementaryRows(0);
    m_pHtmlOptions->SetRows(m_rowTables[0].GetRowCount() > 0);
    ComputeContributions();
    ReleaseCharts(true);
    LoadResults();
}
