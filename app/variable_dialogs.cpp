#include "app/variable_dialogs.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "app/data_set.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "ui/dialog_bases.h"

namespace {
constexpr UINT IDD_VARIABLE_DESC = 169;
constexpr UINT IDD_MISSING_CODE = 172;
constexpr int IDC_NAME = 1000;
constexpr int IDC_CODES = 1079;
constexpr int IDC_COUNT = 1129;
constexpr int IDC_IDENTIFIERS = 1133;
constexpr int IDC_EDIT_IDENTIFIERS = 1134;
constexpr int IDC_QUANTITATIVE = 1137;
constexpr int IDC_QUALITATIVE = 1138;
constexpr int IDC_IDENTIFIERS_GROUP = 1158;
constexpr int IDC_CODES_GROUP = 1159;
constexpr int IDC_MISSING_CODE = 1140;
const int kModalityControls[5] = {IDC_IDENTIFIERS_GROUP, IDC_CODES_GROUP, IDC_IDENTIFIERS, IDC_CODES,
                                  IDC_EDIT_IDENTIFIERS};

void MarkDocumentModified() {
    if (CTabulonDoc* doc = theApp.GetDocument()) doc->SetModifiedFlag(TRUE);
}
}  // namespace

// --- Variable description ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CVariableDescDlg, CDialog)
    ON_BN_CLICKED(IDC_QUANTITATIVE, &CVariableDescDlg::OnQuantitative)
    ON_BN_CLICKED(IDC_QUALITATIVE, &CVariableDescDlg::OnQualitative)
    ON_LBN_SELCHANGE(IDC_CODES, &CVariableDescDlg::OnCodesSelChange)
    ON_LBN_SELCHANGE(IDC_IDENTIFIERS, &CVariableDescDlg::OnIdentifiersSelChange)
    ON_LBN_DBLCLK(IDC_IDENTIFIERS, &CVariableDescDlg::OnIdentifierDblClk)
    ON_BN_CLICKED(IDC_EDIT_IDENTIFIERS, &CVariableDescDlg::OnEditIdentifiers)
END_MESSAGE_MAP()

CVariableDescDlg::CVariableDescDlg(int variable, CWnd* parent) : CDialog(IDD_VARIABLE_DESC, parent), m_nVariable(variable) {}

void CVariableDescDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_NAME, m_strName);
    // The limit holds for typing; a longer name that comes unchanged from the file stays.
    if (!dx->m_bSaveAndValidate) m_strShownName = m_strName;
    if (!dx->m_bSaveAndValidate || m_strName != m_strShownName) DDV_MaxChars(dx, m_strName, 30);
    DDX_Text(dx, IDC_COUNT, m_strCount);
}

BOOL CVariableDescDlg::OnInitDialog() {
    m_codes.SubclassDlgItem(IDC_CODES, this);
    m_identifiers.SubclassDlgItem(IDC_IDENTIFIERS, this);
    if (m_nType == 1) {
        CheckRadioButton(IDC_QUANTITATIVE, IDC_QUALITATIVE, IDC_QUANTITATIVE);
        for (int id : kModalityControls) GetDlgItem(id)->EnableWindow(FALSE);
        m_codes.ResetContent();
        m_identifiers.ResetContent();
        m_strCount.Empty();
    } else {
        CheckRadioButton(IDC_QUANTITATIVE, IDC_QUALITATIVE, IDC_QUALITATIVE);
        FillLists();
        m_strCount.Format("%d", m_pModalities ? static_cast<int>(m_pModalities->size()) : 0);
    }
    if (CMenu* system = GetSystemMenu(FALSE)) system->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    return CDialog::OnInitDialog();
}

void CVariableDescDlg::FillLists() {
    m_codes.ResetContent();
    m_identifiers.ResetContent();
    if (!m_pModalities) return;
    for (const CNamedCode& m : *m_pModalities) {
        m_codes.AddString(FormatString("%d", m.code));
        m_identifiers.AddString(m.name);
    }
}

void CVariableDescDlg::EnableModalityControls(BOOL enable) {
    for (int id : kModalityControls) GetDlgItem(id)->EnableWindow(enable);
    if (!enable) {
        m_codes.ResetContent();
        m_identifiers.ResetContent();
        m_strCount.Empty();
        return;
    }
    if (!m_pModalities) {
        CTabulonDoc* doc = theApp.GetDocument();
        CDataSet* data = doc ? doc->GetDataSet() : nullptr;
        if (data && m_nVariable >= 1 && m_nVariable <= data->GetVariableCount()) {
            data->BuildVariableModalities(m_nVariable, false);
            m_pModalities = &data->GetVariable(m_nVariable)->GetCategories();
        }
    }
    FillLists();
    m_strCount.Format("%d", m_pModalities ? static_cast<int>(m_pModalities->size()) : 0);
}

void CVariableDescDlg::OnQuantitative() {
    // A name being typed is kept while the count is refreshed.
    GetDlgItemText(IDC_NAME, m_strName);
    EnableModalityControls(FALSE);
    m_nType = 1;
    UpdateData(FALSE);
}

void CVariableDescDlg::OnQualitative() {
    GetDlgItemText(IDC_NAME, m_strName);
    EnableModalityControls(TRUE);
    m_nType = 0;
    UpdateData(FALSE);
}

void CVariableDescDlg::OnCodesSelChange() { m_identifiers.SetCurSel(m_codes.GetCurSel()); }

void CVariableDescDlg::OnIdentifiersSelChange() { m_codes.SetCurSel(m_identifiers.GetCurSel()); }

void CVariableDescDlg::SetIdentifier(int index, const CString& name) {
    CNamedCode& modality = (*m_pModalities)[static_cast<size_t>(index)];
    if (modality.name != name) {
        modality.name = name;
        MarkDocumentModified();
    }
    m_identifiers.DeleteString(static_cast<UINT>(index));
    m_identifiers.InsertString(index, name);
}

void CVariableDescDlg::OnIdentifierDblClk() {
    int index = m_identifiers.GetCurSel();
    if (!m_pModalities || index < 0 || index >= static_cast<int>(m_pModalities->size())) return;
    CVariableCodeDlg dlg(index + 1, "Identificador da Coluna(Variável)", this);
    dlg.SetSingleMode(1);
    dlg.SetCaption("Identificador da Modalidade");
    dlg.SetCode((*m_pModalities)[static_cast<size_t>(index)].name);
    if (dlg.DoModal() != IDCANCEL) SetIdentifier(index, dlg.GetVariableName());
    m_identifiers.SetCurSel(index);
    m_codes.SetCurSel(index);
}

void CVariableDescDlg::OnEditIdentifiers() {
    if (!m_pModalities || m_pModalities->empty()) return;
    const int count = static_cast<int>(m_pModalities->size());
    int i = 0;
    for (;;) {
        CVariableCodeDlg dlg(i + 1, "Identificador da Coluna(Variável)", this);
        dlg.SetCode((*m_pModalities)[static_cast<size_t>(i)].name);
        dlg.SetCaption(FormatString("%dª modalidade", i + 1));
        dlg.SetPreviousEnabled(i != 0);
        bool last = i == count - 1;
        dlg.SetNextEnabled(!last);
        dlg.SetFinishShown(last);
        int result = dlg.DoModal();
        if (result == STEP_CANCEL || result == -1) return;
        SetIdentifier(i, dlg.GetVariableName());
        if (result == STEP_NEXT && i + 1 < count) ++i;
        else if (result == STEP_PREVIOUS && i > 0) --i;
        else if (result == STEP_FINISH) return;
    }
}

void CVariableDescDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_strName.IsEmpty()) {
        AfxMessageBox("O nome da variável nao pode estar vazio");
        return;
    }
    EndDialog(IDOK);
}

// --- Missing-value code -----------------------------------------------------------------------------

CMissingCodeDlg::CMissingCodeDlg(const CString& code, CWnd* parent) : CDialog(IDD_MISSING_CODE, parent), m_strCode(code) {}

void CMissingCodeDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_MISSING_CODE, m_strCode);
}

void CMissingCodeDlg::Refuse(const char* message) {
    AfxMessageBox(message);
    if (CWnd* edit = GetDlgItem(IDC_MISSING_CODE)) edit->SetFocus();
}

void CMissingCodeDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_strCode.Find(' ') >= 0) {
        Refuse("O Código de Ausência não pode conter espaços");
        return;
    }
    if (!IsNumericString(m_strCode)) {
        Refuse("O Código de Ausência tem de ser um número real");
        return;
    }
    // The code is kept in single precision: a number beyond it cannot be a code.
    double value = std::atof(m_strCode);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        Refuse("O código de ausência está fora dos limites");
        return;
    }
    EndDialog(IDOK);
}
