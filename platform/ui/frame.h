// CFrameWnd: the main window with its menu bar, accelerators, control bars and view.
#pragma once

#include <memory>

#include "platform/ui/bars.h"
#include "platform/ui/docview.h"
#include "platform/ui/menu.h"

class QTimer;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Frame; }

    // Creates the frame with menu, accelerators and title of resource id.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                           CCreateContext* context = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view, BOOL notify = TRUE);
    virtual CDocument* GetActiveDocument();

    void EnableDocking(DWORD style);
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, const RECT* rect = nullptr);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    void RecalcLayout(BOOL notify = TRUE);

    // Shows a text (or a string of the table) in the message pane of the status bar.
    void SetMessageText(const char* text);
    void SetMessageText(UINT id);
    CWnd* GetMessageBar();

    CMenu* GetMenu() const override;
    // Runs the command routing's update for a command: whether it is enabled now.
    BOOL IsCommandEnabled(UINT id);
    // Whether the menu item of a command shows a check mark now.
    BOOL IsCommandChecked(UINT id);
    // Brings the toolbar's buttons up to date (done periodically while the program idles).
    void RunIdleUpdate();
    // The commands of the menu bar as they would be shown now.
    struct MenuEntry {
        CString text;
        UINT id;
        bool enabled;
        int depth;
    };
    std::vector<MenuEntry> DescribeMenu();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnDropFiles(HDROP drop);
    void OnSysCommand(UINT id, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    BOOL OnBarCheck(UINT id);
    void OnUpdateControlBarMenu(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

protected:
    void BuildMenuBar();
    void OnWidgetDestroyed() override;
    void PostNcDestroy() override;

    UINT m_nIDResource = 0;
    UINT m_nIdleMessage = AFX_IDS_IDLEMESSAGE;
    CView* m_pViewActive = nullptr;
    CMenu m_menu;
    QTimer* m_idleTimer = nullptr;
    DWORD m_dockStyle = 0;
};
