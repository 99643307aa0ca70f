// CWnd: a window of the class library, backed by a toolkit widget that exists only
// between Create (or DoModal) and destruction. Constructors never touch the toolkit.
#pragma once

#include <map>
#include <memory>

#include "platform/ui/msgmap.h"

class QWidget;
class CMenu;
class CFont;
class CScrollBar;
class CDataExchange;

struct HDROP__;
using HDROP = HDROP__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    UINT hMenu = 0;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{0, 0};
    UINT keyState = 0;   // MK_SHIFT, MK_CONTROL and MK_ALT held with a key message
};
constexpr UINT MK_ALT = 0x0020;
// WM_CTLCOLOR's kind of control, and WM_SETCURSOR's hit-test code.
constexpr UINT CTLCOLOR_STATIC = 6;
constexpr UINT HTCLIENT = 1;

namespace afx {
struct WindowBinding;
// The kinds of window that the platform can create.
enum class WindowKind {
    Generic,      // a plain child or top-level window drawn by its owner
    Button,
    CheckBox,
    Radio,
    GroupBox,
    Static,
    Edit,
    ListBox,
    CheckList,
    ComboBox,
    ListCtrl,
    Progress,
    Header,
    Dialog,
    Frame,
    StatusBar,
    ToolBar,
    Slider,
};
QWidget* WidgetOf(const CWnd* wnd);
}  // namespace afx

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The window object of a handle: the attached one, or a wrapper owned by the window.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);

    // --- Creation and destruction -----------------------------------------------------
    // Class names follow the original platform: "BUTTON", "EDIT", "STATIC", "LISTBOX",
    // "COMBOBOX", "SysListView32", "msctls_progress32"; anything else is a plain window.
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, void* context = nullptr);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* context = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Refers to a window that another object receives the messages of (the list control
    // of a list view, the header of a list control).
    BOOL AttachShadow(HWND hwnd);

    // --- Messages -----------------------------------------------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being dispatched (the toolkit's own behaviour).
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Offers a message to the PreTranslateMessage of hwnd's window and its parents up to this one.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // --- Identity and relations ---------------------------------------------------------
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner) { m_pOwner = owner; }
    CWnd* GetTopLevelParent() const;
    BOOL IsChild(const CWnd* wnd) const;
    static CWnd* GetFocus();
    static CWnd* GetActiveWindow();
    static CWnd* GetForegroundWindow();
    static CWnd* GetCapture();
    static CWnd* GetDesktopWindow();

    // --- Text -----------------------------------------------------------------------------
    void SetWindowText(const char* text);
    int GetWindowText(char* buffer, int max) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const char* text);
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int first, int last, int check);
    int GetCheckedRadioButton(int first, int last);

    // --- State and geometry -----------------------------------------------------------
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL IsWindow() const { return m_hWnd != nullptr; }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(RECT* rect) const;   // screen coordinates
    void GetClientRect(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void CenterWindow(CWnd* alternate = nullptr);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(const RECT* rect = nullptr, void* region = nullptr, UINT flags = RDW_INVALIDATE);
    void SetRedraw(BOOL redraw = TRUE);
    CWnd* SetFocus();
    CWnd* SetCapture();
    static BOOL ReleaseCapture();
    DWORD GetStyle() const;
    DWORD GetExStyle() const { return m_dwExStyle; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    void DragAcceptFiles(BOOL accept = TRUE);

    // A timer that sends WM_TIMER with the id every elapse milliseconds.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* unused = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // --- Menus ----------------------------------------------------------------------------
    virtual CMenu* GetMenu() const;
    CMenu* GetSystemMenu(BOOL revert) const;
    // The Close command of the system menu: greyed, the title-bar close button does nothing.
    void SetSystemCloseGrayed(bool grayed);
    bool IsSystemCloseGrayed() const { return m_systemCloseGrayed; }

    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // --- Drawing (platform/gdi) ----------------------------------------------------------
    // A context on the client area, kept with the window until ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    // --- Fonts (wnd_gdi.cpp) ------------------------------------------------------------
    // The font the window shows its text in: the one given to SetFont while it lives,
    // otherwise one made from what the window shows.
    CFont* GetFont() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);

    // --- Data exchange -------------------------------------------------------------------
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    // --- Default handlers of window messages ---------------------------------------------
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWnd);
    void OnSetFocus(CWnd* oldWnd);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    UINT OnGetDlgCode();
    void OnDropFiles(HDROP drop);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);

    // The kind of widget this window class creates when it has no class name of its own.
    virtual afx::WindowKind DefaultKind() const { return afx::WindowKind::Generic; }

    DECLARE_MESSAGE_MAP()

protected:
    friend struct afx::WindowBinding;
    friend QWidget* afx::WidgetOf(const CWnd* wnd);
    friend class CDialog;

    // Binds this object to an existing widget (and the widget to this object).
    void AttachWidget(QWidget* widget);
    // Creates the widget of a kind as a child of parent (or top-level) and attaches it.
    BOOL CreateWidget(afx::WindowKind kind, const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Called when the widget is gone: the object no longer has a window.
    virtual void OnWidgetDestroyed();
    // Called when the object lets go of its widget (Detach).
    virtual void OnWidgetReleased() {}

    QWidget* m_widget = nullptr;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    CWnd* m_pOwner = nullptr;
    bool m_ownsWidget = false;   // created by this object, destroyed with it
    bool m_shadow = false;       // refers to a widget owned by another window object
    bool m_systemCloseGrayed = false;
    std::unique_ptr<CMenu> m_systemMenu;
};

// Files dropped on a window (WM_DROPFILES): index 0xFFFFFFFF gives the count.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
void DragFinish(HDROP drop);

// Windows of the whole program.
CWnd* AfxGetMainWnd();
