#include "ui/check_list.h"

// --- In-place edits -----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CInPlaceEdit, CEdit)
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void CInPlaceEdit::ShowOver(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    CRect r(rect);
    r.left += 13;
    SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
    SetFocus();
}

void CInPlaceEdit::OnKillFocus(CWnd* newWnd) {
    if (m_bAbandoning) Default();
    else OnEndEdit(newWnd);
}

UINT CInPlaceEdit::OnGetDlgCode() { return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS; }

void CInPlaceEdit::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    if (ch == VK_RETURN) {
        // The focus goes back to the list, which ends the edit; a refused text takes it back.
        if (CWnd* list = GetParent()) list->SetFocus();
    } else if (ch == VK_ESCAPE) {
        if (auto* list = dynamic_cast<CValidatingList*>(GetParent())) list->AbandonEditedValue();
        m_bAbandoning = true;
        HideEdit();
        m_bAbandoning = false;
    } else {
        CEdit::OnKeyDown(ch, repeat, flags);
    }
}

void CInPlaceEdit::HideEdit() {
    if (!IsWindowVisible()) return;
    bool hadFocus = CWnd::GetFocus() == this;
    ShowWindow(SW_HIDE);
    if (hadFocus)
        if (CWnd* list = GetParent()) list->SetFocus();
}

void CInPlaceEdit::OnEndEdit(CWnd*) {
    if (auto* list = dynamic_cast<CEditCheckListBox*>(GetParent())) list->EndEdit();
    HideEdit();
    Default();
}

void CInPlaceCellEdit::ShowOver(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
    SetFocus();
}

void CInPlaceCellEdit::OnEndEdit(CWnd*) {
    auto* list = dynamic_cast<CValidatingList*>(GetParent());
    if (list && !list->ValidateEditedValue()) {
        SetFocus();
        return;
    }
    HideEdit();
    Default();
}

// --- The editable check list ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CEditCheckListBox, CCheckListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CEditCheckListBox::CEditCheckListBox(int textLimit, int editable) : m_nTextLimit(textLimit), m_bEditable(editable) {}

CEditCheckListBox::~CEditCheckListBox() = default;

int CEditCheckListBox::GetCheckedIndex() const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetCheck(i) == BST_CHECKED) return i;
    return -1;
}

void CEditCheckListBox::NotifyParent(UINT code) {
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), code),
                            reinterpret_cast<LPARAM>(m_hWnd));
}

void CEditCheckListBox::AfterTickChange(int index, int before) {
    int after = GetCheck(index);
    if (after == before) return;
    if (m_bSingleCheck && after == BST_CHECKED)
        for (int i = 0; i < GetCount(); ++i)
            if (i != index && GetCheck(i) == BST_CHECKED) SetCheck(i, BST_UNCHECKED);
    NotifyParent(after == BST_CHECKED ? CLN_TICKED : CLN_UNTICKED);
}

void CEditCheckListBox::OnLButtonDown(UINT flags, CPoint point) {
    BOOL outside = TRUE;
    UINT item = ItemFromPoint(point, outside);
    if (outside || GetCount() == 0) {
        CCheckListBox::OnLButtonDown(flags, point);
        return;
    }
    int index = static_cast<int>(item);
    int before = GetCheck(index);
    CCheckListBox::OnLButtonDown(flags, point);
    if (m_hWnd && index < GetCount()) AfterTickChange(index, before);
}

void CEditCheckListBox::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    int index = GetCaretIndex();
    if (ch != VK_SPACE || index < 0) {
        CCheckListBox::OnKeyDown(ch, repeat, flags);
        return;
    }
    int before = GetCheck(index);
    CCheckListBox::OnKeyDown(ch, repeat, flags);
    if (m_hWnd && index < GetCount()) AfterTickChange(index, before);
}

void CEditCheckListBox::OnLButtonDblClk(UINT flags, CPoint point) {
    if (!m_bEditable) {
        CCheckListBox::OnLButtonDblClk(flags, point);
        return;
    }
    int index = GetCaretIndex();
    if (index < 0 || index >= GetCount()) return;
    CString text;
    GetText(index, text);
    CRect rect;
    if (GetItemRect(index, &rect) == LB_ERR) return;
    if (!m_pEdit) {
        m_pEdit = std::make_unique<CInPlaceEdit>();
        if (!m_pEdit->Create("EDIT", "", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), this, 100)) {
            m_pEdit.reset();
            return;
        }
        m_pEdit->SetLimitText(static_cast<UINT>(m_nTextLimit));
    }
    m_nEditIndex = index;
    m_pEdit->ShowOver(rect);
    m_pEdit->SetWindowText(text);
    m_pEdit->SetSel(0, -1);
}

void CEditCheckListBox::EndEdit() {
    int i = m_nEditIndex;
    if (!m_pEdit || i < 0 || i >= GetCount()) return;
    int tick = GetCheck(i);
    CString text;
    m_pEdit->GetWindowText(text);
    SetRedraw(FALSE);
    DeleteString(static_cast<UINT>(i));
    InsertString(i, text);
    SetCaretIndex(i);
    SetRedraw(TRUE);
    NotifyParent(CLN_TEXT_EDITED);
    SetCheck(i, tick);
    m_nEditIndex = -1;
}
