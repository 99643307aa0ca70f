// Report lists whose drawing can be coloured item by item, and the list that shows a data
// table and copies it as text.
#pragma once

#include "platform/afx.h"

class CDataTable;

class CColorListCtrl : public CListCtrl {
public:
    CColorListCtrl() = default;

    // Hooks asked at each drawing stage; CLR_DEFAULT and no font keep the list's own.
    virtual bool IsDraw() { return false; }
    virtual bool OnDraw(CDC*) { return false; }
    virtual bool IsNotifyItemDraw() { return false; }
    virtual bool IsNotifyPostPaint() { return false; }
    virtual bool IsPostDraw() { return false; }
    virtual bool OnPostDraw(CDC*) { return false; }
    virtual CFont* TextFont(int, UINT, LPARAM) { return nullptr; }
    virtual COLORREF TextColor(int, UINT, LPARAM) { return CLR_DEFAULT; }
    virtual COLORREF BkColor(int, UINT, LPARAM) { return CLR_DEFAULT; }
    virtual bool IsItemDraw(int, UINT, LPARAM) { return false; }
    virtual bool OnItemDraw(CDC*, int, UINT, LPARAM) { return false; }
    virtual bool IsNotifySubItemDraw(int, UINT, LPARAM) { return false; }
    virtual bool IsNotifyItemPostPaint(int, UINT, LPARAM) { return false; }
    virtual bool IsItemPostDraw() { return false; }
    virtual bool OnItemPostDraw(CDC*, int, UINT, LPARAM) { return false; }
    virtual CFont* SubItemTextFont(int, int, UINT, LPARAM) { return nullptr; }
    virtual COLORREF SubItemTextColor(int, int, UINT, LPARAM) { return CLR_DEFAULT; }
    virtual COLORREF SubItemBkColor(int, int, UINT, LPARAM) { return CLR_DEFAULT; }
    virtual bool IsSubItemDraw(int, int, UINT, LPARAM) { return false; }
    virtual bool OnSubItemDraw(CDC*, int, int, UINT, LPARAM) { return false; }
    virtual bool IsNotifySubItemPostPaint(int, int, UINT, LPARAM) { return false; }
    virtual bool IsSubItemPostDraw() { return false; }
    virtual bool OnSubItemPostDraw(CDC*, int, int, UINT, LPARAM) { return false; }

protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result);

    CFont* m_pOldItemFont = nullptr;
    CFont* m_pOldSubItemFont = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CCopyListCtrl : public CColorListCtrl {
public:
    CCopyListCtrl() = default;

    // The table that "Copiar" puts on the clipboard (not owned).
    void SetTable(CDataTable* table) { m_pTable = table; }
    CDataTable* GetTable() const { return m_pTable; }
    // Colours the triangles of a square matrix: above the diagonal red, below blue.
    void SetTriangleColours(int on) { m_nTriangleColours = on; }

    bool IsDraw() override { return true; }
    bool IsNotifyItemDraw() override { return true; }
    bool IsNotifySubItemDraw(int, UINT, LPARAM) override { return true; }
    COLORREF SubItemTextColor(int item, int subItem, UINT state, LPARAM data) override;

protected:
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnCopy();
    void OnPrint();

    CDataTable* m_pTable = nullptr;
    int m_nTriangleColours = 0;

    DECLARE_MESSAGE_MAP()
};
