#include "ui/dialog_bases.h"

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

const int kStepButtonIds[4] = {IDC_STEP_PREVIOUS, IDC_STEP_CANCEL, IDC_STEP_FINISH, IDC_STEP_NEXT};

bool FocusGoesToCancel() {
    const CWnd* focus = CWnd::GetFocus();
    if (!focus) return false;
    const int id = focus->GetDlgCtrlID();
    return id == IDCANCEL || id == IDC_STEP_CANCEL || id == IDC_SINGLE_CANCEL;
}

// --- CBaseDlg ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
END_MESSAGE_MAP()

CBaseDlg::CBaseDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

BOOL CBaseDlg::OnInitDialog() {
    CRect r;
    GetWindowRect(&r);
    r.OffsetRect(m_xOffset, m_yOffset);
    MoveWindow(r.left, r.top, r.Width(), r.Height(), TRUE);
    // A dialog whose owner gave no caption keeps the one of its template.
    if (!m_caption.IsEmpty()) SetWindowText(m_caption);
    if (CMenu* system = GetSystemMenu(FALSE)) system->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    return CDialog::OnInitDialog();
}

void CBaseDlg::EnableItem(int id, BOOL enable) {
    if (CWnd* w = GetDlgItem(id)) w->EnableWindow(enable);
}

void CBaseDlg::ShowItem(int id, int showCommand) {
    if (CWnd* w = GetDlgItem(id)) w->ShowWindow(showCommand);
}

void CBaseDlg::EnableItems(const int* ids, int count, BOOL enable) {
    for (int i = 0; i < count; ++i)
        if (CWnd* w = GetDlgItem(ids[i])) w->EnableWindow(enable);
}

void CBaseDlg::ShowItems(const int* ids, int count, BOOL show) {
    for (int i = 0; i < count; ++i) {
        CWnd* w = GetDlgItem(ids[i]);
        if (!w) continue;
        w->ShowWindow(show ? SW_SHOW : SW_HIDE);
        w->EnableWindow(show);
    }
}

// --- CWizardStepDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWizardStepDlg, CBaseDlg)
END_MESSAGE_MAP()

CWizardStepDlg::CWizardStepDlg(UINT templateId, CWnd* parent) : CBaseDlg(templateId, parent) {}

void CWizardStepDlg::DoDataExchange(CDataExchange* dx) { CBaseDlg::DoDataExchange(dx); }

void CWizardStepDlg::InitStepButtons(const int ids[4]) {
    if (!m_bStepIdsTaken) {
        for (int i = 0; i < 4; ++i) m_stepIds[i] = ids[i];
        m_bStepIdsTaken = true;
    }
    EnableItem(m_stepIds[0], m_bPreviousEnabled);
    EnableItem(m_stepIds[1], m_bCancelEnabled);
    ShowItem(m_stepIds[2], m_bFinishShown ? SW_SHOW : SW_HIDE);
    EnableItem(m_stepIds[2], m_bFinishShown);
    EnableItem(m_stepIds[3], m_bNextEnabled);
}

void CWizardStepDlg::EndStep(int code) {
    if (code != STEP_CANCEL && !UpdateData(TRUE)) return;
    EndDialog(code);
}

void CWizardStepDlg::OnCancelStep() { EndStep(STEP_CANCEL); }
void CWizardStepDlg::OnNextStep() { EndStep(STEP_NEXT); }
void CWizardStepDlg::OnPreviousStep() { EndStep(STEP_PREVIOUS); }
void CWizardStepDlg::OnFinishStep() { EndStep(STEP_FINISH); }

BOOL CWizardStepDlg::PreTranslateMessage(MSG* msg) {
    // Enter in a control that takes it (an edit over a list item) is that control's.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && CWnd::GetForegroundWindow() == this &&
        !FocusTakesKey(msg)) {
        const int nextId = m_bStepIdsTaken ? m_stepIds[3] : IDC_STEP_NEXT;
        const int finishId = m_bStepIdsTaken ? m_stepIds[2] : IDC_STEP_FINISH;
        CWnd* next = GetDlgItem(nextId);
        CWnd* finish = GetDlgItem(finishId);
        if (next && next->IsWindowEnabled()) OnNextStep();
        else if (!finish || !finish->IsWindowEnabled()) OnOK();
        else OnFinishStep();
        return TRUE;
    }
    return CBaseDlg::PreTranslateMessage(msg);
}

// --- CStepDlg, CVariableDlgBase, CVariableCodeDlg ----------------------------------------------

BEGIN_MESSAGE_MAP(CStepDlg, CBaseDlg)
END_MESSAGE_MAP()

void CStepDlg::DoDataExchange(CDataExchange* dx) { CBaseDlg::DoDataExchange(dx); }

CVariableDlgBase::CVariableDlgBase(UINT templateId, int column, CWnd* parent)
    : CWizardStepDlg(templateId, parent), m_nColumn(column) {}

namespace {
constexpr UINT IDD_VARIABLE_CODE = 146;
constexpr int IDC_CODE_EDIT = 1000;
constexpr int IDC_CODE_LABEL = 1136;
}  // namespace

BEGIN_MESSAGE_MAP(CVariableCodeDlg, CVariableDlgBase)
    ON_BN_CLICKED(IDC_STEP_PREVIOUS, &CVariableCodeDlg::OnPreviousStep)
    ON_BN_CLICKED(IDC_STEP_NEXT, &CVariableCodeDlg::OnNextStep)
    ON_BN_CLICKED(IDC_STEP_FINISH, &CVariableCodeDlg::OnFinishStep)
    ON_BN_CLICKED(IDC_STEP_CANCEL, &CVariableCodeDlg::OnCancelStep)
    ON_BN_CLICKED(IDC_SINGLE_OK, &CVariableCodeDlg::OnOK)
    ON_BN_CLICKED(IDC_SINGLE_CANCEL, &CVariableCodeDlg::OnCancel)
END_MESSAGE_MAP()

CVariableCodeDlg::CVariableCodeDlg(int column, const CString& label, CWnd* parent)
    : CVariableDlgBase(IDD_VARIABLE_CODE, column, parent), m_strLabel(label) {
    m_strValue = "var";
}

void CVariableCodeDlg::DoDataExchange(CDataExchange* dx) {
    CVariableDlgBase::DoDataExchange(dx);
    DDX_Text(dx, IDC_CODE_EDIT, m_strValue);
    // The limit holds for typing; a longer value that comes unchanged from a file stays.
    if (!dx->m_bSaveAndValidate) m_strShownValue = m_strValue;
    if (!dx->m_bSaveAndValidate || m_strValue != m_strShownValue) DDV_MaxChars(dx, m_strValue, 4);
    DDX_Text(dx, IDC_CODE_LABEL, m_strLabel);
}

BOOL CVariableCodeDlg::OnInitDialog() {
    const int single[2] = {IDC_SINGLE_OK, IDC_SINGLE_CANCEL};
    if (m_bSingleMode) ShowItems(kStepButtonIds, 4, FALSE);
    else InitStepButtons(kStepButtonIds);
    ShowItems(single, 2, m_bSingleMode);
    return CBaseDlg::OnInitDialog();
}

void CVariableCodeDlg::WriteToFile(CStdioFile& file) { file.WriteString(m_strValue + "\n"); }

void CVariableCodeDlg::ReadFromFile(CStdioFile& file) {
    // One line, without its line end; at the end of the file the value stays.
    CString line;
    if (file.ReadString(line)) m_strValue = line;
}

// --- Chains of pages ---------------------------------------------------------------------------

int RunStepDialogs(const std::vector<CWizardStepDlg*>& pages) {
    if (pages.empty()) return STEP_FINISH;
    size_t i = 0;
    for (;;) {
        CWizardStepDlg* page = pages[i];
        page->SetNextEnabled(1);
        page->SetPreviousEnabled(1);
        page->SetFinishShown(0);
        if (i == 0) page->SetPreviousEnabled(0);
        if (i + 1 == pages.size()) {
            page->SetNextEnabled(0);
            page->SetFinishShown(1);
        }
        int result = page->DoModal();
        switch (result) {
        case STEP_PREVIOUS:
            if (i > 0) --i;
            break;
        case STEP_NEXT:
            if (i + 1 < pages.size()) ++i;
            break;
        case STEP_FINISH: return STEP_FINISH;
        case STEP_CANCEL: return STEP_CANCEL;
        case -1: return STEP_CANCEL;  // the page could not be shown: never loop on it
        default: break;               // IDOK, or Escape's IDCANCEL: the same page again
        }
    }
}

void RemoveStepDialogs(std::vector<CWizardStepDlg*>& pages, int n) {
    for (int k = 0; k < n && !pages.empty(); ++k) {
        delete pages.back();
        pages.pop_back();
    }
}

// --- CColumnListDlgBase --------------------------------------------------------------------------

CColumnListDlgBase::CColumnListDlgBase(UINT templateId, CWnd* parent) : CStepDlg(templateId, parent) {}

CColumnListDlgBase::~CColumnListDlgBase() { RemoveStepDialogs(m_pages, static_cast<int>(m_pages.size())); }

CVariableDlgBase* CColumnListDlgBase::GetPage(int index) const {
    if (index < 0 || index >= static_cast<int>(m_pages.size())) return nullptr;
    return static_cast<CVariableDlgBase*>(m_pages[static_cast<size_t>(index)]);
}

CString CColumnListDlgBase::FormatPageEntry(CVariableDlgBase* page) {
    return FormatString("%dª Coluna - %s", page->GetColumnValue(), page->GetVariableName());
}

void CColumnListDlgBase::ReadPages(CStdioFile& file) {
    for (CWizardStepDlg* page : m_pages) page->ReadFromFile(file);
}

void CColumnListDlgBase::WritePages(CStdioFile& file) {
    for (CWizardStepDlg* page : m_pages) page->WriteToFile(file);
}

void CColumnListDlgBase::SetColumnCount(int existing) {
    if (existing == m_nColumnCount) return;
    for (int k = existing + 1; k <= m_nColumnCount; ++k) {
        auto* page = new CVariableCodeDlg(k, "Identificador da Coluna(Variável)", nullptr);
        page->SetXOffset(30);
        page->SetYOffset(15);
        page->SetCaption(FormatString("%dª Coluna", k));
        m_pages.push_back(page);
    }
}

void CColumnListDlgBase::FillList(int index, int add, CListBox& list, const std::vector<CWizardStepDlg*>& pages) {
    if (add) {
        for (size_t i = static_cast<size_t>(std::max(index, 0)); index >= 0 && i < pages.size(); ++i)
            list.AddString(FormatPageEntry(static_cast<CVariableDlgBase*>(pages[i])));
        return;
    }
    for (int k = 0; k < index && list.GetCount() > 0; ++k) list.DeleteString(static_cast<UINT>(list.GetCount() - 1));
}

void CColumnListDlgBase::RefreshList(CListBox& list) {
    list.ResetContent();
    FillList(0, 1, list, m_pages);
}

void CColumnListDlgBase::ApplyColumnCount(CListBox& list) {
    if (!UpdateData(TRUE)) return;
    int n = static_cast<int>(m_pages.size());
    int c = m_nColumnCount;
    if (c > n) {
        SetColumnCount(n);
        FillList(n, 1, list, m_pages);
    } else if (c < n) {
        RemoveStepDialogs(m_pages, n - c);
        FillList(n - c, 0, list, m_pages);
    }
}

void CColumnListDlgBase::EditColumns(CListBox& list) {
    if (!UpdateData(TRUE)) return;
    RunStepDialogs(m_pages);
    RefreshList(list);
}

void CColumnListDlgBase::EditPage(CListBox& list) {
    int i = list.GetCaretIndex();
    CVariableDlgBase* page = GetPage(i);
    if (!page) return;
    page->SetSingleMode(1);
    page->DoModal();
    list.DeleteString(static_cast<UINT>(i));
    list.InsertString(i, FormatString("%dª Coluna - %s", page->GetColumnValue(), page->GetVariableName()));
    page->SetSingleMode(0);
}

void CColumnListDlgBase::ClearPages() {
    RemoveStepDialogs(m_pages, static_cast<int>(m_pages.size()));
    SetColumnCount(0);
}

void CColumnListDlgBase::SetPageNames(const std::vector<int>& selection) {
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data) return;
    for (size_t i = 0; i < selection.size() && i < m_pages.size(); ++i) {
        int v = selection[i];
        if (v < 1 || v > data->GetVariableCount()) continue;
        static_cast<CVariableDlgBase*>(m_pages[i])->SetVariableName(data->GetVariableName(v));
    }
}

BOOL CColumnListDlgBase::InitList(CListBox& list, int id) {
    if (!list.m_hWnd) list.SubclassDlgItem(static_cast<UINT>(id), this);
    RefreshList(list);
    return CBaseDlg::OnInitDialog();
}
