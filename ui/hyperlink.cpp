#include "ui/hyperlink.h"

#include <cerrno>

#include "platform/ui/shell.h"

namespace {
constexpr int kToolId = 1;
constexpr int kOpened = 33;   // results above 32 mean the target was opened

// Error codes of a failed open, and their texts.
constexpr int kOutOfResources = 0;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kOutOfMemory = 8;
constexpr int kBadFormat = 11;
constexpr int kNoAssociation = 31;

const char* ErrorText(int error) {
    switch (error) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return nullptr;
    }
}

// A code for an outcome that has no text of its own: the value itself when it is free
// (not one of the codes above and not a success), else its negative.
int UnknownCode(int value) {
    if (value > 0 && value <= 32 && !ErrorText(value)) return value;
    return value > 0 ? -value : value;
}

// Why the opener could not be started.
int StartFailureCode(int error) {
    switch (error) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM: return kAccessDenied;
    case ENOMEM: return kOutOfMemory;
    case EAGAIN: return kOutOfResources;
    case ENOEXEC: return kBadFormat;
    default: return UnknownCode(error);
    }
}
}  // namespace

IMPLEMENT_DYNAMIC(CHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, &CHyperLink::OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CHyperLink::CHyperLink()
    : m_crLinkColour(RGB(0, 0, 238)), m_crVisitedColour(RGB(85, 26, 139)), m_crHoverColour(GetSysColor(COLOR_HIGHLIGHT)) {}

CHyperLink::~CHyperLink() { m_Font.DeleteObject(); }

BOOL CHyperLink::PreTranslateMessage(MSG* msg) {
    m_ToolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

void CHyperLink::PreSubclassWindow() {
    // Clicks are notified to the dialog, which reflects them here.
    ModifyStyle(0, SS_NOTIFY);
    m_bOverControl = FALSE;

    if (m_strURL.IsEmpty()) GetWindowText(m_strURL);
    CString text;
    GetWindowText(text);
    if (text.IsEmpty()) SetWindowText(m_strURL);

    LOGFONT log;
    if (CFont* font = GetFont(); font && font->GetLogFont(&log)) {
        log.lfUnderline = static_cast<BYTE>(m_bUnderline ? 1 : 0);
        m_Font.DeleteObject();
        if (m_Font.CreateFontIndirect(&log)) SetFont(&m_Font);
    }

    PositionWindow();
    SetDefaultCursor();

    CRect rect;
    GetClientRect(rect);
    m_ToolTip.Create(this);
    m_ToolTip.AddTool(this, m_strURL, rect, kToolId);

    CStatic::PreSubclassWindow();
}

HBRUSH CHyperLink::CtlColor(CDC* dc, UINT) {
    if (m_bOverControl) dc->SetTextColor(m_crHoverColour);
    else if (m_bVisited) dc->SetTextColor(m_crVisitedColour);
    else dc->SetTextColor(m_crLinkColour);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CHyperLink::OnMouseMove(UINT flags, CPoint point) {
    CStatic::OnMouseMove(flags, point);
    if (!m_bOverControl) {
        m_bOverControl = TRUE;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetCapture();
        return;
    }
    CRect rect;
    GetClientRect(rect);
    if (!rect.PtInRect(point)) {
        m_bOverControl = FALSE;
        ReleaseCapture();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hLinkCursor) return FALSE;
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CHyperLink::OnClicked() {
    // The mouse is let go first: a message box or the opened program must get it.
    if (m_bOverControl) {
        m_bOverControl = FALSE;
        ReleaseCapture();
        Invalidate();
    }
    int result = GotoURL(m_strURL, SW_SHOW);
    m_bVisited = result > 32;
    if (m_bVisited) {
        SetVisited(TRUE);
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
        ReportError(result);
    }
}

void CHyperLink::SetURL(const CString& url) {
    m_strURL = url;
    if (GetSafeHwnd()) {
        PositionWindow();
        m_ToolTip.UpdateTipText(url, this, kToolId);
    }
}

void CHyperLink::SetVisited(BOOL visited) {
    m_bVisited = visited;
    if (GetSafeHwnd()) Invalidate();
}

void CHyperLink::SetDefaultCursor() {
    // The desktop's pointing hand.
    if (!m_hLinkCursor) m_hLinkCursor = LoadStandardCursor(IDC_HAND);
}

void CHyperLink::PositionWindow() {
    if (!GetSafeHwnd() || !m_bAdjustToFit) return;

    CRect rect;
    GetWindowRect(rect);
    if (CWnd* parent = GetParent()) parent->ScreenToClient(rect);

    CString text;
    GetWindowText(text);
    CSize extent;
    {
        CClientDC dc(this);
        CFont* old = dc.SelectObject(&m_Font);
        extent = dc.GetTextExtent(text);
        if (old) dc.SelectObject(old);
    }
    // The measure is rounded to whole pixels while the text is laid out at its exact
    // width, up to half a pixel more: one pixel of room keeps it on one line.
    if (extent.cx > 0) extent.cx += 1;

    DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) rect.DeflateRect(0, (rect.Height() - extent.cy) / 2);
    else rect.bottom = rect.top + extent.cy;

    if (style & SS_CENTER) rect.DeflateRect((rect.Width() - extent.cx) / 2, 0);
    else if (style & SS_RIGHT) rect.left = rect.right - extent.cx;
    else rect.right = rect.left + extent.cx;

    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
}

int CHyperLink::GotoURL(const char* url, int) {
    afx::OpenOutcome outcome = afx::OpenLink(url);
    switch (outcome.kind) {
    case afx::OpenOutcome::Exited:
        // xdg-open: 0 opened, 2 no such file, 3 no program for it.
        if (outcome.value == 0) return kOpened;
        if (outcome.value == 2) return kFileNotFound;
        if (outcome.value == 3) return kNoAssociation;
        return UnknownCode(outcome.value);
    case afx::OpenOutcome::StillRunning: return kOpened;
    case afx::OpenOutcome::StartFailed: return StartFailureCode(outcome.value);
    case afx::OpenOutcome::Signalled: return UnknownCode(128 + outcome.value);
    }
    return UnknownCode(outcome.value);
}

void CHyperLink::ReportError(int error) {
    CString text;
    if (const char* known = ErrorText(error)) text = known;
    else text.Format("Unknown Error (%d) occurred.", error);
    AfxMessageBox("Unable to open hyperlink:\n\n" + text, MB_ICONEXCLAMATION);
}
