// The list view of the document's data set: one column per variable.
#pragma once

#include <vector>

#include "platform/afx.h"

class CTabulonDoc;

class CTabulonView : public CListView {
    DECLARE_DYNCREATE(CTabulonView)
public:
    CTabulonView();
    ~CTabulonView() override;

    CTabulonDoc* GetDocument() const;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Builds every column and item from the data set.
    void FillTable();
    // Removes every item and column (only while the window exists).
    void ClearTable();
    // Rewrites the cells of one variable's column (1-based).
    void RefreshColumn(int variable);

    // A column's heading: "Linhas", then each variable's name, followed by " *" when it is
    // qualitative.
    CString HeadingText(int column) const;
    // The text of a cell (row and column 1-based, column 0 the row's name) as the list
    // shows it; empty outside the table.
    CString CellText(int row, int column) const;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnHeaderItemClick(NMHDR* header, LRESULT* result);
    // The text of a cell, formatted when the list shows it.
    void OnGetDispInfo(NMHDR* header, LRESULT* result);
    void OnEditCopy();
    void OnPrint();

    int m_nColumnWidth = 70;
    std::vector<int> m_decimals;   // per column (1-based): decimals of its real values

    DECLARE_MESSAGE_MAP()
};
