// CHyperLink: a static control that behaves as a web link. It shows its text underlined
// in the link colour, in the highlight colour while the mouse is over it and in the
// visited colour once opened; it shows a hand cursor and a tip with its target, and a
// click opens the target (a file path or an address) with the desktop's opener.
#pragma once

#include "platform/afx.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/tooltip.h"

class CHyperLink : public CStatic {
    DECLARE_DYNAMIC(CHyperLink)
public:
    CHyperLink();
    ~CHyperLink() override;

    void SetURL(const CString& url);
    CString GetURL() const { return m_strURL; }
    void SetVisited(BOOL visited = TRUE);
    BOOL GetVisited() const { return m_bVisited; }
    COLORREF GetHoverColour() const { return m_crHoverColour; }
    const CToolTipCtrl& GetToolTip() const { return m_ToolTip; }

    // Opens a target; above 32 is success, otherwise an error code for ReportError.
    // The desktop's opener has no show command, so showCommand has no effect.
    int GotoURL(const char* url, int showCommand);
    // Tells the user why a target could not be opened.
    void ReportError(int error);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, CPoint point);
    void OnClicked();
    // Fits the control to its text.
    void PositionWindow();
    void SetDefaultCursor();

    COLORREF m_crLinkColour;
    COLORREF m_crVisitedColour;
    COLORREF m_crHoverColour;
    BOOL m_bOverControl = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strURL;
    CFont m_Font;
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_ToolTip;

    DECLARE_MESSAGE_MAP()
};
