// The common controls: buttons, edits, statics, list and combo boxes, progress bar,
// header and report-style list control.
#pragma once

#include <vector>

#include "platform/ui/wnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Static; }
};

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Button; }
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Edit; }
    void SetLimitText(UINT max);
    void LimitText(int max = 0) { SetLimitText(static_cast<UINT>(max)); }
    UINT GetLimitText() const;
    // Selects characters start..end-1; start 0 and end -1 select everything, start -1 none.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(const char* text, BOOL canUndo = FALSE);
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    int LineScroll(int lines, int chars = 0);
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::ListBox; }
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetSel(int index) const;
    int SetSel(int index, BOOL select = TRUE);
    int GetSelCount() const;
    int GetText(int index, CString& text) const;
    int GetText(int index, char* buffer) const;
    int GetTextLen(int index) const;
    int GetCaretIndex() const;
    int SetCaretIndex(int index, BOOL scroll = TRUE);
    int GetTopIndex() const;
    int SetTopIndex(int index);
    int GetItemRect(int index, RECT* rect) const;
    int GetItemHeight(int index) const;
    // The item under a client point; outside is set when the point lies below the last item.
    UINT ItemFromPoint(CPoint point, BOOL& outside) const;
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    int FindStringExact(int start, const char* text) const;
};

// Check-list notification: the user changed an item's tick.
constexpr UINT CLBN_CHKCHANGE = 40;

// A list box with a tick box in front of each item. A click on the box, or Space on the
// caret item, changes the tick (during the default handling of the message).
class CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::CheckList; }
    int GetCheck(int index) const;
    void SetCheck(int index, int check);
    void Enable(int index, BOOL enabled = TRUE);
    BOOL IsEnabled(int index) const;
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::ComboBox; }
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    int FindStringExact(int start, const char* text) const;
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Progress; }
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;
    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int position);
    int GetPos() const { return m_pos; }
    int OffsetPos(int delta) { return SetPos(m_pos + delta); }
    int SetStep(int step);
    int StepIt();

private:
    void Show();
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    int m_step = 10;
    int m_shown = -1;   // the position last handed to the widget
};

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Header; }
    int GetItemCount() const;
    BOOL GetItem(int index, HDITEM* item) const;
    BOOL SetItem(int index, HDITEM* item);
};

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
};
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;

// Owner-data report lists (LVS_OWNERDATA) hold no texts: the list asks its owner for the
// text of each cell when it shows it, with LVN_GETDISPINFO.
constexpr DWORD LVS_OWNERDATA = 0x1000;
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVN_GETDISPINFO = static_cast<UINT>(-150);

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;   // the buffer to fill (the owner may point it at a text of its own)
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

struct HDC__;

// The custom-draw notification of report lists (NM_CUSTOMDRAW), sent at each drawing stage.
struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC__* hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iSubItem;
};

constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_FOCUS = 0x0010;

namespace afx {
class ListCtrlModel;
}

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl();
    ~CListCtrl() override;
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::ListCtrl; }

    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int column);
    BOOL GetColumn(int column, LVCOLUMN* info) const;
    BOOL SetColumn(int column, const LVCOLUMN* info);
    int GetColumnWidth(int column) const;
    BOOL SetColumnWidth(int column, int width);
    int GetColumnCount() const;

    // The number of items of an owner-data list (LVS_OWNERDATA); FALSE for other lists.
    BOOL SetItemCountEx(int count, DWORD flags = 0);
    // Shows the items first..last again (an owner-data list asks for their texts anew).
    BOOL RedrawItems(int first, int last);

    int InsertItem(int item, const char* text);
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    BOOL SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    int GetNextItem(int start, UINT flags) const;
    UINT GetSelectedCount() const;
    BOOL EnsureVisible(int item, BOOL partialOK);
    BOOL GetItemRect(int item, RECT* rect, UINT code) const;
    BOOL GetSubItemRect(int item, int subItem, int area, RECT* rect) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;

    DWORD GetExtendedStyle() const { return m_extendedStyle; }
    DWORD SetExtendedStyle(DWORD style);
    CHeaderCtrl* GetHeaderCtrl();

    // The list as its model holds it (the widget shows it once the event loop runs).
    afx::ListCtrlModel* Model() const;

protected:
    void OnWidgetDestroyed() override;
    void OnWidgetReleased() override;
    void PreSubclassWindow() override;
    void AttachModel();

    DWORD m_extendedStyle = 0;
    CHeaderCtrl m_header;
    mutable QWidget* m_modelWidget = nullptr;   // the widget whose model is cached below
    mutable afx::ListCtrlModel* m_model = nullptr;
};
