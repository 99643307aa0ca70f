// The control that shows one chart page in a dialog: painted through a back buffer, the
// mouse handed to the page, right-click menus to print the chart, copy it as a metafile and
// put a moved identifier back, and the samples inside a selection rectangle in their own
// dialog.
#pragma once

#include <memory>
#include <vector>

#include "app/data_table.h"
#include "charts/data_tip.h"
#include "charts/draw_errors.h"
#include "charts/plot_page.h"
#include "platform/afx.h"

// An off-screen context: drawing goes into a bitmap (the one given, or one of its own) and
// is copied to the same place of the target when the object ends. On a printer it draws
// straight onto the target.
class CMemDC : public CDC {
public:
    CMemDC(CDC* target, CBitmap* bitmap = nullptr, const CRect* rect = nullptr);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_target;
    CRect m_rect;
    BOOL m_memory;
};

class CChartWnd : public CStatic {
public:
    CChartWnd();
    ~CChartWnd() override;

    // Shows the page (not owned); unless noRedraw, repaints at once.
    void SetPage(CPlotPage* page, BOOL noRedraw = FALSE);
    CPlotPage* GetPage() const { return m_page; }
    // The page item under the mouse at the last right-click (-1 for none).
    int GetMenuItem() const { return m_menuItem; }
    TFXDataTip& GetDataTip() { return m_tip; }

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnPrint();
    // The page as an enhanced metafile on the clipboard.
    void OnCopy();
    void OnRestorePosition();
    void OnSelectedSamples();
    LRESULT OnShowDrawErrors(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    void CreatePrintFonts(CDC* printer);

    int m_menuItem = -1;
    TFXDataTip m_tip;
    std::unique_ptr<CFont> m_titleFont, m_textFont, m_labelFont;
    CPlotPage* m_page = nullptr;
    std::unique_ptr<CBitmap> m_backBuffer;
    std::vector<CDrawError> m_drawErrors;
};

// The samples inside a selection rectangle, with its two corners (dialog 194).
class CSelectedSamplesDlg : public CDialog {
public:
    CSelectedSamplesDlg(CDataTable* table, float x1, float y1, float x2, float y2, CWnd* parent = nullptr);
    ~CSelectedSamplesDlg() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const CString& GetFirstCorner() const { return m_firstCorner; }
    const CString& GetSecondCorner() const { return m_secondCorner; }

private:
    CDataTable* m_table;
    std::unique_ptr<class CCopyListCtrl> m_list;
    CString m_firstCorner;
    CString m_secondCorner;
};
