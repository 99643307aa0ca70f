// The main window: toolbar, status bar and the progress bar that lives in status pane 1.
#pragma once

#include "platform/afx.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    CStatusBar* GetStatusBar() { return &m_wndStatusBar; }
    CToolBar* GetToolBar() { return &m_wndToolBar; }
    // The progress bar, created inside status pane 1 on the first call.
    CProgressCtrl* GetProgressCtrl();

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);

    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    CProgressCtrl m_wndProgress;
    int m_bProgressCreated = 0;

    DECLARE_MESSAGE_MAP()
};
