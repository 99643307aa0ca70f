#include "app/main_frame.h"

#include "res/resource_ids.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_PROGRESS};
}

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    cs.x = 0;
    cs.y = 0;
    cs.cx = 700;
    cs.cy = 400;
    cs.style &= ~FWS_ADDTOTITLE;
    cs.lpszName = "Tesmo";
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                   CBRS_SIZE_DYNAMIC,
                               CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_TOOLBAR))
        return -1;
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    if (!m_wndStatusBar.Create(this) ||
        !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(sizeof kIndicators / sizeof kIndicators[0])))
        return -1;
    m_bProgressCreated = 0;
    return 0;
}

CProgressCtrl* CMainFrame::GetProgressCtrl() {
    if (!m_bProgressCreated) {
        CRect pane;
        m_wndStatusBar.GetItemRect(1, &pane);
        if (!m_wndProgress.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, pane, &m_wndStatusBar, 1)) return nullptr;
        m_wndProgress.SetRange(0, 500);
        m_bProgressCreated = 1;
    }
    return &m_wndProgress;
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    CFrameWnd::OnSize(type, cx, cy);
    if (m_bProgressCreated && m_wndProgress.m_hWnd) {
        CRect pane;
        m_wndStatusBar.GetItemRect(1, &pane);
        m_wndProgress.MoveWindow(&pane);
    }
}
