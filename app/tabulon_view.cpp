#include "app/tabulon_view.h"

#include <cstdio>

#include "app/status.h"
#include "app/tabulon_doc.h"
#include "app/variable_dialogs.h"
#include "res/resource_ids.h"
#include "ui/bitmap_print.h"
#include "ui/list_cells.h"
#include "ui/table_print.h"

IMPLEMENT_DYNCREATE(CTabulonView, CListView)

BEGIN_MESSAGE_MAP(CTabulonView, CListView)
    ON_WM_CREATE()
    ON_WM_CONTEXTMENU()
    ON_NOTIFY(HDN_ITEMCLICK, 0, &CTabulonView::OnHeaderItemClick)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFO, &CTabulonView::OnGetDispInfo)
    ON_COMMAND(ID_EDIT_COPY, &CTabulonView::OnEditCopy)
    ON_COMMAND(ID_POPUP_COPY, &CTabulonView::OnEditCopy)
    ON_COMMAND(ID_POPUP_PRINT, &CTabulonView::OnPrint)
END_MESSAGE_MAP()

CTabulonView::CTabulonView() = default;
CTabulonView::~CTabulonView() {
    if (CTabulonDoc* doc = GetDocument(); doc && doc->GetView() == this) doc->SetView(nullptr);
}

CTabulonDoc* CTabulonView::GetDocument() const { return static_cast<CTabulonDoc*>(m_pDocument); }

BOOL CTabulonView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CListView::PreCreateWindow(cs)) return FALSE;
    cs.lpszClass = "SysListView32";
    // The list holds no texts: a cell is formatted when it is shown (a table may have a
    // million rows).
    cs.style |= WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_OWNERDATA;
    return TRUE;
}

int CTabulonView::OnCreate(LPCREATESTRUCT cs) {
    if (CListView::OnCreate(cs) == -1) return -1;
    CListCtrl& list = GetListCtrl();
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES);
    if (CTabulonDoc* doc = GetDocument()) doc->SetView(this);
    return 0;
}

void CTabulonView::FillTable() {
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data || !m_hWnd) return;
    CListCtrl& list = GetListCtrl();
    int variables = data->GetVariableCount();
    int rows = data->GetRowCount();
    CString text;
    text.LoadString(IDS_STATUS_FILLING);
    BeginProgressStep(text, variables + 2 * rows, 1);
    ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    list.InsertColumn(0, HeadingText(0), LVCFMT_RIGHT, m_nColumnWidth);
    for (int v = 1; v <= variables; ++v) {
        StepProgress();
        list.InsertColumn(v, HeadingText(v), LVCFMT_RIGHT, m_nColumnWidth);
    }
    // Real values show three decimals until their column is rewritten.
    m_decimals.assign(static_cast<size_t>(variables) + 1, 3);
    list.SetItemCountEx(rows);
    SetProgressPos(variables + 2 * rows);
    EndProgress();
}

void CTabulonView::OnGetDispInfo(NMHDR* header, LRESULT* result) {
    if (result) *result = 0;
    auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
    LVITEM& item = info->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const CString text = CellText(item.iItem + 1, item.iSubItem);
    std::snprintf(item.pszText, static_cast<size_t>(item.cchTextMax), "%s", text.GetString());
}

CString CTabulonView::HeadingText(int column) const {
    if (column == 0) return "Linhas";
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data || column > data->GetVariableCount()) return CString();
    CString heading = data->GetVariableName(column);
    if (data->GetVariableType(column) == 0) heading += " *";
    return heading;
}

CString CTabulonView::CellText(int row, int column) const {
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    CString text;
    if (!data || row < 1 || row > data->GetRowCount() || column < 0 || column > data->GetVariableCount()) return text;
    if (column == 0) {
        data->GetRowName(row, text);
        return text;
    }
    const double value = data->GetValue(row, column);
    const int decimals = static_cast<size_t>(column) < m_decimals.size() ? m_decimals[static_cast<size_t>(column)] : 3;
    return data->GetVariableType(column) == 0 ? FormatIntegerCell(value) : FormatFixed(value, decimals);
}

void CTabulonView::ClearTable() {
    if (!m_hWnd) return;
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    CHeaderCtrl* header = list.GetHeaderCtrl();
    for (int c = header ? header->GetItemCount() + 1 : 0; c >= 0; --c) list.DeleteColumn(c);
    ModifyStyle(LVS_TYPEMASK, LVS_LIST);
}

void CTabulonView::RefreshColumn(int variable) {
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data || !m_hWnd) return;
    // A rewritten column shows real values with six decimals.
    if (static_cast<size_t>(variable) >= m_decimals.size()) m_decimals.resize(static_cast<size_t>(variable) + 1, 3);
    m_decimals[static_cast<size_t>(variable)] = 6;
    GetListCtrl().RedrawItems(0, data->GetRowCount() - 1);
}

void CTabulonView::OnContextMenu(CWnd*, CPoint point) {
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP_MENUS)) return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup) return;
    // A table without data has nothing to print.
    if (CTabulonDoc* doc = GetDocument(); !doc || !doc->HasData())
        popup->EnableMenuItem(ID_POPUP_PRINT, MF_BYCOMMAND | MF_GRAYED);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CTabulonView::OnHeaderItemClick(NMHDR* header, LRESULT* result) {
    if (result) *result = 0;
    auto* nm = reinterpret_cast<NMHEADER*>(header);
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    int c = nm ? nm->iItem : 0;
    if (!data || c < 1 || c > data->GetVariableCount()) return;  // "Linhas" does nothing
    CHeaderCtrl* headerCtrl = GetListCtrl().GetHeaderCtrl();
    if (headerCtrl) headerCtrl->EnableWindow(FALSE);
    CVariableDesc* var = data->GetVariable(c);
    int oldType = var->GetType() == 0 ? 0 : 1;
    CVariableDescDlg dlg(c, this);
    dlg.SetName(var->GetName());
    dlg.SetQuantitative(oldType);
    if (oldType == 0) dlg.SetModalities(&var->GetCategories());
    dlg.DoModal();
    doc->RenameItem(c, dlg.GetName());
    int newType = dlg.GetQuantitative() ? 1 : 0;
    doc->SetTableFlag(c, newType);
    CString heading = HeadingText(c);
    if (headerCtrl) {
        HDITEM item;
        item.mask = HDI_TEXT;
        item.pszText = heading.GetBuffer(0);
        headerCtrl->SetItem(c, &item);
        heading.ReleaseBuffer();
    }
    if (newType != oldType) {
        if (newType == 0) {
            data->TruncateVariable(c);
            data->ComputeMeanVariance();
        }
        RefreshColumn(c);
    }
    if (headerCtrl) headerCtrl->EnableWindow(TRUE);
}

// The list's image goes to the clipboard as a bitmap.
void CTabulonView::OnEditCopy() { CopyWindowToClipboard(this); }

// The whole table as text: every row and variable, as the list shows them.
void CTabulonView::OnPrint() {
    CTabulonDoc* doc = GetDocument();
    CDataSet* data = doc && doc->HasData() ? doc->GetDataSet() : nullptr;
    if (!data) return;
    PrintedTable table;
    table.rows = data->GetRowCount();
    table.columns = data->GetVariableCount() + 1;
    table.cell = [this](int row, int column) { return row == 0 ? HeadingText(column) : CellText(row, column); };
    PrintTable(this, table);
}
