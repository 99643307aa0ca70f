// Control bars of a frame: the toolbar and the status bar.
#pragma once

#include <vector>

#include "platform/ui/wnd.h"

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    void EnableDocking(DWORD style) { m_dockStyle = style; }
    DWORD GetBarStyle() const { return m_barStyle; }
    void SetBarStyle(DWORD style) { m_barStyle = style; }

protected:
    DWORD m_dockStyle = 0;
    DWORD m_barStyle = 0;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::ToolBar; }
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    using CWnd::Create;
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);
    // Loads the buttons and pictures of toolbar resource id.
    BOOL LoadToolBar(UINT id);

    int GetCount() const { return static_cast<int>(m_commands.size()); }
    // The command of button index (0 for a separator).
    UINT GetItemID(int index) const;
    int CommandToIndex(UINT id) const;
    void GetItemRect(int index, RECT* rect) const;
    BOOL IsButtonEnabled(int index) const;
    // Enables each button as the frame's command routing says.
    void UpdateButtons(CCmdTarget* target);

private:
    std::vector<UINT> m_commands;
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::StatusBar; }
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    using CWnd::Create;
    // Sets the panes: ID_SEPARATOR is the stretching message pane; any other id is a
    // pane as wide as its string.
    BOOL SetIndicators(const UINT* ids, int count);
    int GetCount() const { return static_cast<int>(m_ids.size()); }
    UINT GetItemID(int index) const;
    int CommandToIndex(UINT id) const;
    BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    // The rectangle of a pane in the status bar's client coordinates.
    void GetItemRect(int index, RECT* rect) const;

private:
    std::vector<UINT> m_ids;
    std::vector<QWidget*> m_panes;
};
