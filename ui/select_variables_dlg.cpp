#include "ui/select_variables_dlg.h"

#include <algorithm>

#include "app/file_names.h"
#include "app/tabulon_doc.h"
#include "ui/dialog_bases.h"

namespace {
constexpr int IDC_VARIABLE_LIST = 1078;
constexpr int IDC_SELECT_ALL = 1139;
constexpr int IDC_OPEN_CONFIGURATION = 1155;
constexpr int IDC_SELECT_QUANTITATIVE = 1156;
constexpr int IDC_NEXT = 1191;
const char kConfigurationFilter[] = "Ficheiros Configuração(*.tcfg)\0*.tcfg\0Todos Ficheiros(*.*)\0*.*\0";
}  // namespace

BEGIN_MESSAGE_MAP(CSelectVariablesDlg, CDialog)
    ON_BN_CLICKED(IDC_SELECT_ALL, &CSelectVariablesDlg::OnSelectAll)
    ON_BN_CLICKED(IDC_SELECT_QUANTITATIVE, &CSelectVariablesDlg::OnSelectQuantitative)
    ON_BN_CLICKED(IDC_OPEN_CONFIGURATION, &CSelectVariablesDlg::OnOpenConfiguration)
    ON_BN_CLICKED(IDC_NEXT, &CSelectVariablesDlg::OnNext)
END_MESSAGE_MAP()

CSelectVariablesDlg::CSelectVariablesDlg(CTabulonDoc* doc, const CString& title, int allVariables,
                                         int showOpenConfiguration, int enableQuantitative, UINT templateId,
                                         CWnd* parent)
    : CDialog(templateId, parent),
      m_pDoc(doc),
      m_bAllVariables(allVariables),
      m_strTitle(title),
      m_bShowOpenConfiguration(showOpenConfiguration),
      m_bEnableQuantitative(enableQuantitative),
      m_list(4, 0) {}

CSelectVariablesDlg::~CSelectVariablesDlg() = default;

BOOL CSelectVariablesDlg::OnInitDialog() {
    m_list.SubclassDlgItem(IDC_VARIABLE_LIST, this);
    FillList();
    SetWindowText(m_strTitle);
    BOOL result = CDialog::OnInitDialog();
    if (CWnd* open = GetDlgItem(IDC_OPEN_CONFIGURATION)) open->ShowWindow(m_bShowOpenConfiguration ? SW_SHOW : SW_HIDE);
    if (CWnd* quant = GetDlgItem(IDC_SELECT_QUANTITATIVE)) quant->EnableWindow(m_bEnableQuantitative);
    return result;
}

void CSelectVariablesDlg::FillList() {
    m_list.ResetContent();
    m_itemVariables.clear();
    CDataSet* data = m_pDoc ? m_pDoc->GetDataSet() : nullptr;
    if (!data) return;
    for (int v = 1; v <= data->GetVariableCount(); ++v) {
        if (!m_bAllVariables && data->GetVariableType(v) == 0) continue;
        int item = m_list.AddString(data->GetVariableName(v));
        m_itemVariables.push_back(v);
        // Shown again within one command, the page keeps the last selection ticked.
        if (std::find(m_selection.begin(), m_selection.end(), v) != m_selection.end())
            m_list.SetCheck(item, BST_CHECKED);
    }
}

void CSelectVariablesDlg::OnSelectAll() {
    for (int i = 0; i < m_list.GetCount(); ++i) m_list.SetCheck(i, BST_CHECKED);
}

void CSelectVariablesDlg::OnSelectQuantitative() {
    CDataSet* data = m_pDoc ? m_pDoc->GetDataSet() : nullptr;
    if (!data) return;
    for (int i = 0; i < m_list.GetCount(); ++i) {
        int v = m_itemVariables[static_cast<size_t>(i)];
        m_list.SetCheck(i, data->GetVariableType(v) != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool CSelectVariablesDlg::CollectSelection() {
    m_selection.clear();
    for (int i = 0; i < m_list.GetCount(); ++i)
        if (m_list.GetCheck(i) == BST_CHECKED) m_selection.push_back(m_itemVariables[static_cast<size_t>(i)]);
    if (!m_selection.empty()) return true;
    AfxMessageBox("Tem de escolher pelo menos uma variável");
    return false;
}

void CSelectVariablesDlg::OnNext() {
    if (CollectSelection()) EndDialog(STEP_NEXT);
}

void CSelectVariablesDlg::OnOK() {
    if (CollectSelection()) EndDialog(IDOK);
}

void CSelectVariablesDlg::OnCancel() { EndDialog(STEP_CANCEL); }

void CSelectVariablesDlg::OnOpenConfiguration() {
    CString path = m_configurationPath;
    if (PromptFileName(path, kConfigurationFilter, TRUE) != IDOK) return;
    m_configurationPath = path;
    EndDialog(SELECT_OPEN_CONFIGURATION);
}
