#include "analyses/html_report.h"

#include "ui/folder_dialog.h"

BEGIN_MESSAGE_MAP(CPcaHtmlOptionsDlg, CDialog)
    ON_BN_CLICKED(IDC_HTML_GENERATE, &CPcaHtmlOptionsDlg::OnGenerate)
    ON_BN_CLICKED(IDC_HTML_SELECT_ALL, &CPcaHtmlOptionsDlg::OnSelectAll)
END_MESSAGE_MAP()

CPcaHtmlOptionsDlg::CPcaHtmlOptionsDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

void CPcaHtmlOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_HTML_COLUMNS_ACTIVE, m_nColumnActive);
    DDX_Check(dx, IDC_HTML_COLUMNS_SUPPLEMENTARY, m_nColumnSupplementary);
    DDX_Check(dx, IDC_HTML_COLUMNS_TOTAL, m_nColumnTotal);
    DDX_Check(dx, IDC_HTML_ROWS_ACTIVE, m_nRowActive);
    DDX_Check(dx, IDC_HTML_ROWS_SUPPLEMENTARY, m_nRowSupplementary);
    DDX_Check(dx, IDC_HTML_ROWS_TOTAL, m_nRowTotal);
    DDX_Check(dx, IDC_HTML_EIGENVALUES, m_nEigenvalues);
    DDX_Check(dx, IDC_HTML_SCREE_PLOT, m_nScreePlot);
}

void CPcaHtmlOptionsDlg::Allow(int id, int& value, bool allowed) {
    if (!allowed) {
        value = 0;
        CheckDlgButton(id, 0);
    }
    if (CWnd* w = GetDlgItem(id)) w->EnableWindow(allowed ? TRUE : FALSE);
}

void CPcaHtmlOptionsDlg::Tick(int id, int& value) {
    value = 1;
    CheckDlgButton(id, 1);
}

BOOL CPcaHtmlOptionsDlg::OnInitDialog() {
    BOOL result = CDialog::OnInitDialog();
    Allow(IDC_HTML_COLUMNS_SUPPLEMENTARY, m_nColumnSupplementary, m_bSupplementaryColumns != 0);
    Allow(IDC_HTML_COLUMNS_TOTAL, m_nColumnTotal, m_bSupplementaryColumns != 0);
    Allow(IDC_HTML_ROWS_SUPPLEMENTARY, m_nRowSupplementary, m_bSupplementaryRows != 0);
    Allow(IDC_HTML_ROWS_TOTAL, m_nRowTotal, m_bSupplementaryRows != 0 && m_bRows != 0);
    Allow(IDC_HTML_ROWS_ACTIVE, m_nRowActive, m_bRows != 0);
    return result;
}

void CPcaHtmlOptionsDlg::OnSelectAll() {
    Tick(IDC_HTML_COLUMNS_ACTIVE, m_nColumnActive);
    if (m_bSupplementaryColumns) {
        Tick(IDC_HTML_COLUMNS_SUPPLEMENTARY, m_nColumnSupplementary);
        Tick(IDC_HTML_COLUMNS_TOTAL, m_nColumnTotal);
    }
    if (m_bRows) Tick(IDC_HTML_ROWS_ACTIVE, m_nRowActive);
    if (m_bSupplementaryRows) Tick(IDC_HTML_ROWS_SUPPLEMENTARY, m_nRowSupplementary);
    if (m_bSupplementaryRows && m_bRows) Tick(IDC_HTML_ROWS_TOTAL, m_nRowTotal);
    Tick(IDC_HTML_EIGENVALUES, m_nEigenvalues);
    Tick(IDC_HTML_SCREE_PLOT, m_nScreePlot);
}

void CPcaHtmlOptionsDlg::OnGenerate() {
    CFolderDialog chooser(m_strFolder.IsEmpty() ? nullptr : static_cast<const char*>(m_strFolder), nullptr, this);
    if (chooser.DoModal() != IDOK) return;
    m_strFolder = chooser.GetFolder();
    UpdateData(TRUE);
    EndDialog(HTML_GENERATE_RESULT);
}

CHtmlReportNoticeDlg::CHtmlReportNoticeDlg(const CString& path, CWnd* parent)
    : CDialog(IDD_HTML_NOTICE, parent), m_strPath(path) {
    // Given before the control is attached, so that the link shows the path as its text.
    m_link.SetURL(m_strPath);
}

BOOL CHtmlReportNoticeDlg::OnInitDialog() {
    BOOL result = CDialog::OnInitDialog();
    m_link.SubclassDlgItem(IDC_HTML_LINK, this);
    return result;
}
