#include "analyses/coordinates_dlg.h"

#include <cstdlib>

#include "app/data_set.h"
#include "app/data_table.h"

// --- CCoordinatesDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCoordinatesDlg, CDialog)
    ON_BN_CLICKED(IDC_COORDINATES_ACTIVE, &CCoordinatesDlg::OnActive)
    ON_BN_CLICKED(IDC_COORDINATES_SUPPLEMENTARY, &CCoordinatesDlg::OnSupplementary)
    ON_BN_CLICKED(IDC_COORDINATES_TOTAL, &CCoordinatesDlg::OnTotal)
END_MESSAGE_MAP()

CCoordinatesDlg::CCoordinatesDlg(CDataTable* active, CDataTable* supplementary, CDataTable* total, CWnd* parent)
    : CDialog(IDD_COORDINATES, parent), m_pActive(active), m_pSupplementary(supplementary), m_pTotal(total) {
    m_list.SetTable(active);
}

namespace {
bool HasRows(const CDataTable* table) { return table && table->GetRowCount() > 0; }
}  // namespace

BOOL CCoordinatesDlg::OnInitDialog() {
    m_list.SubclassDlgItem(IDC_COORDINATES_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES);
    m_bShowActive = 1;
    m_bShowSupplementary = m_bShowTotal = 0;
    if (!HasRows(m_pSupplementary)) {
        if (CWnd* w = GetDlgItem(IDC_COORDINATES_SUPPLEMENTARY)) w->EnableWindow(FALSE);
        if (CWnd* w = GetDlgItem(IDC_COORDINATES_TOTAL)) w->EnableWindow(FALSE);
    }
    if (!HasRows(m_pActive)) {
        if (CWnd* w = GetDlgItem(IDC_COORDINATES_ACTIVE)) w->EnableWindow(FALSE);
        if (CWnd* w = GetDlgItem(IDC_COORDINATES_TOTAL)) w->EnableWindow(FALSE);
        m_bShowActive = 0;
        m_bShowSupplementary = 1;
    }
    CDataTable* shown = m_bShowActive ? m_pActive : m_bShowSupplementary ? m_pSupplementary : m_pTotal;
    int radio = m_bShowActive        ? IDC_COORDINATES_ACTIVE
                : m_bShowSupplementary ? IDC_COORDINATES_SUPPLEMENTARY
                                       : IDC_COORDINATES_TOTAL;
    Show(shown);
    CheckRadioButton(IDC_COORDINATES_ACTIVE, IDC_COORDINATES_TOTAL, radio);
    if (!m_strCaption.IsEmpty()) SetWindowText(m_strCaption);
    return CDialog::OnInitDialog();
}

void CCoordinatesDlg::Show(CDataTable* table) {
    // The copy table is always the one on show.
    m_list.SetTable(table);
    m_list.DeleteAllItems();
    if (CHeaderCtrl* header = m_list.GetHeaderCtrl())
        for (int c = header->GetItemCount() - 1; c >= 0; --c) m_list.DeleteColumn(c);
    if (table) table->FillListCtrl(&m_list);
}

// --- CValueListBox -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CValueListBox, CListBox)
    ON_WM_LBUTTONDBLCLK()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CValueListBox::CValueListBox(int numeric, int ordered, int textLimit, int editable)
    : m_bNumeric(numeric ? 1 : 0), m_bOrdered(ordered ? 1 : 0), m_nTextLimit(textLimit), m_bEditable(editable) {}

CValueListBox::~CValueListBox() = default;

void CValueListBox::ResetEditing() {
    m_bEditing = 0;
    m_nEditIndex = -1;
}

void CValueListBox::PreSubclassWindow() {
    // A list attached afresh has no edit in progress, whatever an earlier showing left.
    ResetEditing();
    CListBox::PreSubclassWindow();
}

void CValueListBox::OnDestroy() {
    ResetEditing();
    CListBox::OnDestroy();
}

void CValueListBox::OnWidgetDestroyed() {
    ResetEditing();
    CListBox::OnWidgetDestroyed();
}

void CValueListBox::OnLButtonDblClk(UINT, CPoint) {
    if (!m_bEditable) return;
    // An edit left behind hidden (its window gone with an earlier one) ends here.
    if (m_bEditing && m_pEdit && m_pEdit->GetSafeHwnd() && m_pEdit->IsWindowVisible()) return;
    int index = GetCurSel();
    if (index < 0) return;
    CString text;
    GetText(index, text);
    CRect rect;
    if (GetItemRect(index, &rect) == LB_ERR) return;
    m_pEdit.reset();
    auto edit = std::make_unique<CInPlaceCellEdit>();
    if (!edit->Create("EDIT", "", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), this, 100)) return;
    edit->SetFont(GetFont());
    edit->SetLimitText(static_cast<UINT>(m_nTextLimit));
    m_pEdit = std::move(edit);
    m_bEditing = 1;
    m_nEditIndex = index;
    m_pEdit->SetWindowText(text);
    m_pEdit->ShowOver(rect);
    m_pEdit->SetSel(0, -1);
}

bool CValueListBox::CheckValue(const CString& text, int i, CString* message) const {
    if (m_bNumeric && !IsNumericString(text)) {
        if (message) *message = "Tem de ser um número";
        return false;
    }
    if (m_bOrdered) {
        auto valueAt = [this](int k) {
            CString item;
            GetText(k, item);
            return std::atof(item);
        };
        double t = std::atof(text);
        int n = GetCount();
        // A list of one value has no neighbour to keep in order.
        bool ordered = true;
        if (i > 0 && valueAt(i - 1) > t) ordered = false;
        if (i + 1 < n && t > valueAt(i + 1)) ordered = false;
        if (!ordered) {
            if (message) *message = "A lista de valores tem de continuar ordenada";
            return false;
        }
    }
    return true;
}

BOOL CValueListBox::ValidateEditedValue() {
    if (!m_pEdit) return TRUE;
    CString text;
    m_pEdit->GetWindowText(text);
    int i = m_nEditIndex;
    if (i < 0 || i >= GetCount()) {
        m_bEditing = 0;
        return TRUE;
    }
    CString message;
    if (!CheckValue(text, i, &message)) {
        AfxMessageBox(message);
        return FALSE;
    }
    SetRedraw(FALSE);
    DeleteString(static_cast<UINT>(i));
    InsertString(i, text);
    SetCurSel(i);
    SetRedraw(TRUE);
    m_bEditing = 0;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), VLN_VALUE_EDITED),
                            reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
}
