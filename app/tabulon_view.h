// The list view of the document's data set: one column per variable.
#pragma once

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

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnHeaderItemClick(NMHDR* header, LRESULT* result);
    void OnEditCopy();
    void OnPrint();

    int m_nColumnWidth = 70;

    DECLARE_MESSAGE_MAP()
};
