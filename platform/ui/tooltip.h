// CToolTipCtrl: tips shown over windows. The toolkit shows a window's tip when the mouse
// rests on it, so relaying mouse messages is not needed; RelayEvent is kept for callers.
#pragma once

#include <memory>

#include "platform/ui/wnd.h"

class CToolTipCtrl : public CObject {
public:
    CToolTipCtrl();
    ~CToolTipCtrl() override;
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL IsCreated() const { return m_created; }
    // Removes every tool (and its tip from its window).
    void DestroyToolTipCtrl();
    // A tool covers a window (its whole client area: the rectangle is taken as that).
    BOOL AddTool(CWnd* wnd, const char* text, const RECT* rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id = 0);
    void GetText(CString& text, CWnd* wnd, UINT_PTR id = 0) const;
    int GetToolCount() const;
    void Activate(BOOL activate);
    void RelayEvent(MSG* msg);

private:
    struct Tools;
    std::unique_ptr<Tools> m_tools;
    bool m_created = false;
    bool m_active = true;
};
