#include "stats/boxplot_options.h"

#include "ui/dialog_bases.h"

namespace {
constexpr int IDC_MULTIPLE_YES = 1027;
constexpr int IDC_MULTIPLE_NO = 1028;
constexpr int IDC_PER_CHART = 1145;
constexpr int IDC_IDENTIFY_OUTLIERS = 1120;
constexpr int IDC_OPTIONS_NEXT = 1192;
constexpr int IDC_OPTIONS_PREVIOUS = 1193;
}  // namespace

BEGIN_MESSAGE_MAP(CBoxPlotOptionsDlg, CDialog)
    ON_BN_CLICKED(IDC_MULTIPLE_YES, &CBoxPlotOptionsDlg::OnMultiple)
    ON_BN_CLICKED(IDC_MULTIPLE_NO, &CBoxPlotOptionsDlg::OnSingle)
    ON_BN_CLICKED(IDC_OPTIONS_NEXT, &CBoxPlotOptionsDlg::OnNext)
    ON_BN_CLICKED(IDC_OPTIONS_PREVIOUS, &CBoxPlotOptionsDlg::OnPrevious)
END_MESSAGE_MAP()

CBoxPlotOptionsDlg::CBoxPlotOptionsDlg(CWnd* parent) : CDialog(175, parent) {}

void CBoxPlotOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_IDENTIFY_OUTLIERS, m_bIdentify);
    // The count is read and checked only while "Sim" has its edit in use: with "Não" the
    // greyed edit counts for nothing and keeps the last count that passed.
    if (!dx->m_bSaveAndValidate || m_nMultiple) {
        DDX_Text(dx, IDC_PER_CHART, m_nPerChart);
        DDV_MinMaxInt(dx, m_nPerChart, 2, 5);
    }
}

BOOL CBoxPlotOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_MULTIPLE_YES, m_nMultiple ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MULTIPLE_NO, m_nMultiple ? BST_UNCHECKED : BST_CHECKED);
    GetDlgItem(IDC_PER_CHART)->EnableWindow(m_nMultiple != 0);
    return TRUE;
}

void CBoxPlotOptionsDlg::OnMultiple() {
    m_nMultiple = 1;
    GetDlgItem(IDC_PER_CHART)->EnableWindow(TRUE);
}

void CBoxPlotOptionsDlg::OnSingle() {
    m_nMultiple = 0;
    GetDlgItem(IDC_PER_CHART)->EnableWindow(FALSE);
}

void CBoxPlotOptionsDlg::OnNext() {
    if (UpdateData(TRUE)) EndDialog(STEP_NEXT);
}

void CBoxPlotOptionsDlg::OnPrevious() { EndDialog(STEP_PREVIOUS); }
void CBoxPlotOptionsDlg::OnOK() {}
void CBoxPlotOptionsDlg::OnCancel() { EndDialog(STEP_CANCEL); }
