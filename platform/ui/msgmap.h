// CObject, run-time classes, command targets and message maps.
//
// A message map is a static table of entries {message, notification code, id range,
// handler}, chained to the base class's table. Handlers are bound through small
// captureless lambdas, so each entry checks its member's signature at compile time.
#pragma once

#include "platform/core/cstring.h"
#include "platform/ui/win_messages.h"

class CObject;
class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const { return GetThisClass(); }
    BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
};

#define RUNTIME_CLASS(cls) (cls::GetThisClass())

#define DECLARE_DYNAMIC(cls)                                  \
public:                                                       \
    static const CRuntimeClass* GetThisClass();               \
    const CRuntimeClass* GetRuntimeClass() const override {   \
        return GetThisClass();                                \
    }

#define DECLARE_DYNCREATE(cls) \
    DECLARE_DYNAMIC(cls)       \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(cls, base)                                       \
    const CRuntimeClass* cls::GetThisClass() {                             \
        static const CRuntimeClass rc = {#cls, nullptr, &base::GetThisClass}; \
        return &rc;                                                        \
    }

#define IMPLEMENT_DYNCREATE(cls, base)                                              \
    CObject* cls::CreateObject() { return new cls; }                               \
    const CRuntimeClass* cls::GetThisClass() {                                     \
        static const CRuntimeClass rc = {#cls, &cls::CreateObject, &base::GetThisClass}; \
        return &rc;                                                                \
    }

// The message being dispatched, as the handlers of an entry receive it.
struct AfxMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT nID = 0;
    UINT nCode = 0;
    void* pExtra = nullptr;
    LRESULT result = 0;
};

using AfxHandler = bool (*)(CCmdTarget*, AfxMessage&);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    AfxHandler pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Command notification codes passed to OnCmdMsg.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

class CCmdTarget : public CObject {
public:
    static const CRuntimeClass* GetThisClass();
    const CRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    // Routes a command (nCode: CN_COMMAND, CN_UPDATE_COMMAND_UI, or MAKELONG(code, message)
    // for control notifications). With handler info the handler is only looked for.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Looks up the first entry of this object's map chain for a window message.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one user-interface item (menu item, toolbar button) during an update.
class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    CWnd* m_pOther = nullptr;

    virtual void Enable(BOOL on = TRUE) { m_bEnableChanged = TRUE; (void)on; }
    virtual void SetCheck(int check = 1) { (void)check; }
    virtual void SetRadio(BOOL on = TRUE) { SetCheck(on ? 1 : 0); }
    virtual void SetText(const char* text) { (void)text; }
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks target to update this item; when nothing handles the update and
    // disableIfNoHandler is set, the item is enabled exactly when a command handler exists.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};

// --- Message-map macros -------------------------------------------------------------

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                             \
        using ThisClass = theClass;                                              \
        using TheBaseClass = baseClass;                                          \
        static_assert(sizeof(ThisClass) > 0);                                    \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                   \
            {0, 0, 0, 0, nullptr}};                                                         \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                                 \
    }

#define AFX_TARGET(t) static_cast<ThisClass*>(t)

// Commands and control notifications.
#define ON_COMMAND(id, memberFxn)                                                   \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id), [](CCmdTarget* t, AfxMessage&) -> bool { \
         (AFX_TARGET(t)->*(memberFxn))();                                           \
         return true;                                                               \
     }},
#define ON_COMMAND_EX(id, memberFxn)                                                 \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id), [](CCmdTarget* t, AfxMessage& m) -> bool { \
         return (AFX_TARGET(t)->*(memberFxn))(m.nID) != FALSE;                       \
     }},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                          \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), [](CCmdTarget* t, AfxMessage& m) -> bool { \
         (AFX_TARGET(t)->*(memberFxn))(m.nID);                                           \
         return true;                                                                    \
     }},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                 \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id),                        \
     [](CCmdTarget* t, AfxMessage& m) -> bool {                                             \
         (AFX_TARGET(t)->*(memberFxn))(static_cast<CCmdUI*>(m.pExtra));                     \
         return true;                                                                       \
     }},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                   \
    {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast),                    \
     [](CCmdTarget* t, AfxMessage& m) -> bool {                                             \
         (AFX_TARGET(t)->*(memberFxn))(static_cast<CCmdUI*>(m.pExtra));                     \
         return true;                                                                       \
     }},
#define ON_CONTROL(code, id, memberFxn)                                                     \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), [](CCmdTarget* t, AfxMessage&) -> bool { \
         (AFX_TARGET(t)->*(memberFxn))();                                                   \
         return true;                                                                       \
     }},
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn)                                           \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast), [](CCmdTarget* t, AfxMessage& m) -> bool { \
         (AFX_TARGET(t)->*(memberFxn))(m.nID);                                                  \
         return true;                                                                           \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

#define ON_NOTIFY(code, id, memberFxn)                                                       \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), [](CCmdTarget* t, AfxMessage& m) -> bool { \
         auto* n = static_cast<AFX_NOTIFY*>(m.pExtra);                                       \
         (AFX_TARGET(t)->*(memberFxn))(n->pNMHDR, n->pResult);                               \
         return true;                                                                        \
     }},
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn)                                              \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast), [](CCmdTarget* t, AfxMessage& m) -> bool { \
         auto* n = static_cast<AFX_NOTIFY*>(m.pExtra);                                            \
         (AFX_TARGET(t)->*(memberFxn))(m.nID, n->pNMHDR, n->pResult);                             \
         return true;                                                                             \
     }},

// Notifications reflected back to the control that sent them.
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                        \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, [](CCmdTarget* t, AfxMessage& m) -> bool {  \
         auto* n = static_cast<AFX_NOTIFY*>(m.pExtra);                                            \
         (AFX_TARGET(t)->*(memberFxn))(n->pNMHDR, n->pResult);                                    \
         return true;                                                                             \
     }},
#define ON_CONTROL_REFLECT(code, memberFxn)                                                    \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, [](CCmdTarget* t, AfxMessage&) -> bool { \
         (AFX_TARGET(t)->*(memberFxn))();                                                      \
         return true;                                                                          \
     }},
#define ON_STN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(STN_CLICKED, memberFxn)
#define ON_WM_CTLCOLOR_REFLECT()                                                            \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, [](CCmdTarget* t, AfxMessage& m) -> bool {    \
         m.result = reinterpret_cast<LRESULT>(                                              \
             AFX_TARGET(t)->CtlColor(reinterpret_cast<CDC*>(m.wParam), static_cast<UINT>(m.lParam))); \
         return true;                                                                       \
     }},

// Any message with the raw parameters.
#define ON_MESSAGE(message, memberFxn)                                              \
    {(UINT)(message), 0, 0, 0, [](CCmdTarget* t, AfxMessage& m) -> bool {           \
         m.result = (AFX_TARGET(t)->*(memberFxn))(m.wParam, m.lParam);              \
         return true;                                                               \
     }},

// Window messages, bound to the handler names of the class library.
#define AFX_WM_ENTRY(msg, body) \
    {(UINT)(msg), 0, 0, 0, [](CCmdTarget* t, [[maybe_unused]] AfxMessage& m) -> bool { body; return true; }},

#define ON_WM_CREATE() \
    AFX_WM_ENTRY(WM_CREATE, m.result = AFX_TARGET(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(m.lParam)))
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, AFX_TARGET(t)->OnDestroy())
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, AFX_TARGET(t)->OnClose())
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, AFX_TARGET(t)->OnPaint())
#define ON_WM_ERASEBKGND() \
    AFX_WM_ENTRY(WM_ERASEBKGND, m.result = AFX_TARGET(t)->OnEraseBkgnd(reinterpret_cast<CDC*>(m.wParam)))
#define ON_WM_SIZE()                                                                          \
    AFX_WM_ENTRY(WM_SIZE, AFX_TARGET(t)->OnSize(static_cast<UINT>(m.wParam), LOWORD(static_cast<std::uintptr_t>(m.lParam)), \
                                                HIWORD(static_cast<std::uintptr_t>(m.lParam))))
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, AFX_TARGET(t)->OnTimer(static_cast<UINT_PTR>(m.wParam)))
#define AFX_MOUSE_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, AFX_TARGET(t)->fn(static_cast<UINT>(m.wParam), CPoint(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam))))
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_CONTEXTMENU()                                                            \
    AFX_WM_ENTRY(WM_CONTEXTMENU, AFX_TARGET(t)->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam)), \
                                                              CPoint(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam))))
#define AFX_KEY_ENTRY(msg, fn)                                                                      \
    AFX_WM_ENTRY(msg, AFX_TARGET(t)->fn(static_cast<UINT>(m.wParam), LOWORD(static_cast<std::uintptr_t>(m.lParam)), \
                                        HIWORD(static_cast<std::uintptr_t>(m.lParam))))
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_KILLFOCUS() \
    AFX_WM_ENTRY(WM_KILLFOCUS, AFX_TARGET(t)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam))))
#define ON_WM_SETFOCUS() \
    AFX_WM_ENTRY(WM_SETFOCUS, AFX_TARGET(t)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam))))
#define ON_WM_SETCURSOR()                                                                           \
    AFX_WM_ENTRY(WM_SETCURSOR, m.result = AFX_TARGET(t)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam)), \
                                                                     LOWORD(static_cast<std::uintptr_t>(m.lParam)),         \
                                                                     HIWORD(static_cast<std::uintptr_t>(m.lParam))))
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, m.result = static_cast<LRESULT>(AFX_TARGET(t)->OnGetDlgCode()))
#define ON_WM_DROPFILES() AFX_WM_ENTRY(WM_DROPFILES, AFX_TARGET(t)->OnDropFiles(reinterpret_cast<HDROP>(m.wParam)))
#define ON_WM_SYSCOMMAND() AFX_WM_ENTRY(WM_SYSCOMMAND, AFX_TARGET(t)->OnSysCommand(static_cast<UINT>(m.wParam), m.lParam))
#define ON_WM_HSCROLL()                                                                            \
    AFX_WM_ENTRY(WM_HSCROLL, AFX_TARGET(t)->OnHScroll(LOWORD(m.wParam), HIWORD(m.wParam),           \
                                                      reinterpret_cast<CScrollBar*>(m.lParam)))
#define ON_WM_VSCROLL()                                                                            \
    AFX_WM_ENTRY(WM_VSCROLL, AFX_TARGET(t)->OnVScroll(LOWORD(m.wParam), HIWORD(m.wParam),           \
                                                      reinterpret_cast<CScrollBar*>(m.lParam)))
