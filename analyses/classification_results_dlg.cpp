#include "analyses/classification_results_dlg.h"

#include "analyses/classification_def_dlg.h"
#include "analyses/engine_runner.h"

BEGIN_MESSAGE_MAP(CClassificationResultsDlg, CFactorResultsDlg)
    ON_BN_CLICKED(IDC_RESULTS_GROUPS, &CClassificationResultsDlg::OnGroups)
    ON_BN_CLICKED(IDC_RESULTS_GROUPS_LISTING, &CClassificationResultsDlg::OnGroupsListing)
    ON_BN_CLICKED(IDC_RESULTS_HIERARCHY_LISTING, &CClassificationResultsDlg::OnListing)
END_MESSAGE_MAP()

CClassificationResultsDlg::CClassificationResultsDlg(CClassificationDefDlg* owner)
    : CFactorResultsDlg(IDD_CLASSIFICATION_RESULTS, owner, nullptr), m_pDefinition(owner) {}

void CClassificationResultsDlg::SetGroupPaths(CString listing, CString program, CString parameters) {
    m_strPiloListing = std::move(listing);
    m_strPiloProgram = std::move(program);
    m_strPiloParameters = std::move(parameters);
}

bool CClassificationResultsDlg::ClassifiedRows() const {
    return m_pDefinition && m_pDefinition->GetModesDlg().GetMode() != 0;
}

BOOL CClassificationResultsDlg::OnInitDialog() {
    BOOL result = CDialog::OnInitDialog();
    if (CWnd* groups = GetDlgItem(IDC_RESULTS_GROUPS)) groups->EnableWindow(ClassifiedRows());
    if (CWnd* listing = GetDlgItem(IDC_RESULTS_GROUPS_LISTING)) listing->EnableWindow(FALSE);
    return result;
}

void CClassificationResultsDlg::OnGroups() {
    if (!ClassifiedRows()) return;
    // A fresh dialog each time: the cut starts at 0, and Escape keeps it there.
    CGroupDivisionDlg cutDlg;
    cutDlg.DoModal();

    CStdioFile file;
    if (!file.Open(m_strPiloParameters, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
        file.Abort();
        AfxMessageBox("Erro a Abrir o ficheiro");
        return;
    }
    try {
        cutDlg.WriteParameters(file);
        file.Close();
    } catch (CFileException&) {
        file.Abort();
        AfxMessageBox("Erro a Abrir o ficheiro");
        return;
    }

    // pilo's results are its listing: offered only when this run wrote it and ended well.
    const bool grouped = RunEngineProgram(m_strPiloProgram, m_strWorkFolder, m_strPiloListing, {m_strPiloListing});
    if (CWnd* listing = GetDlgItem(IDC_RESULTS_GROUPS_LISTING)) listing->EnableWindow(grouped);
}

void CClassificationResultsDlg::OnGroupsListing() {
    ShowListingFile(m_strPiloListing, true);
}
