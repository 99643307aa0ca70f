#include "platform/ui/wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/ui/menu.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"

namespace afx {
bool NotificationsLockedOut(const CWnd* wnd);
}

// ----------------------------------------------------------------------------------------
// Run-time classes and command targets

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr)
        if (c == base) return TRUE;
    return FALSE;
}

const CRuntimeClass* CObject::GetThisClass() {
    static const CRuntimeClass rc = {"CObject", nullptr, nullptr};
    return &rc;
}

const CRuntimeClass* CCmdTarget::GetThisClass() {
    static const CRuntimeClass rc = {"CCmdTarget", nullptr, &CObject::GetThisClass};
    return &rc;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {
constexpr UINT kUpdateCode = static_cast<UINT>(CN_UPDATE_COMMAND_UI);

bool CodeMatches(UINT message, UINT entryCode, UINT code) {
    if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_COMMAND ||
        message == WM_REFLECT_BASE + WM_NOTIFY) {
        if (code == kUpdateCode || entryCode == kUpdateCode) return code == entryCode;
        return static_cast<WORD>(entryCode) == static_cast<WORD>(code);
    }
    return true;
}
}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message) continue;
            if (!CodeMatches(message, e->nCode, code)) continue;
            if ((message == WM_COMMAND || message == WM_NOTIFY) && (id < e->nID || id > e->nLastID)) continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    UINT message = WM_COMMAND;
    UINT code;
    if (nCode == CN_UPDATE_COMMAND_UI) {
        code = kUpdateCode;
    } else {
        UINT packed = static_cast<UINT>(nCode);
        if (HIWORD(packed) != 0) message = HIWORD(packed);
        code = LOWORD(packed);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message || nID < e->nID || nID > e->nLastID) continue;
            if (!CodeMatches(message, e->nCode, code)) continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                return TRUE;
            }
            AfxMessage m;
            m.message = message;
            m.nID = nID;
            m.nCode = code;
            m.pExtra = pExtra;
            if (e->pfn(this, m)) return TRUE;
        }
    }
    return FALSE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
    if (m_nID == 0 || !target) return TRUE;
    m_bEnableChanged = FALSE;
    m_bContinueRouting = FALSE;
    BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!handled || m_bContinueRouting) {
        // nothing updated the item: it is enabled exactly when a handler exists
    }
    if (disableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

// ----------------------------------------------------------------------------------------
// Toolkit bridge

namespace afx {

QString ToQ(const char* text) {
    if (!text) return QString();
    QString out;
    size_t n = std::char_traits<char>::length(text);
    out.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        out += c < 0x80 ? QChar(c) : QChar(static_cast<char16_t>(Cp1252ToUnicode(c)));
    }
    return out;
}

CString FromQ(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        int b = u < 0x80 ? u : UnicodeToCp1252(u);
        out += static_cast<char>(b < 0 ? '?' : b);
    }
    return CString(std::move(out));
}

static const char* kBindingProperty = "afxBinding";

WindowBinding::WindowBinding(QWidget* w, WindowKind k) : QObject(w), widget(w), kind(k) {
    w->setProperty(kBindingProperty, QVariant::fromValue(static_cast<void*>(this)));
}

WindowBinding::~WindowBinding() {
    for (auto& t : timers) delete t.second;
    timers.clear();
    // Objects that only refer to the widget forget it first: the owner's reaction may
    // delete objects that hold them.
    std::vector<CWnd*> refs;
    refs.swap(shadows);
    for (CWnd* s : refs) s->OnWidgetDestroyed();
    if (wrapper) wrapper->OnWidgetDestroyed();
    if (owner) {
        CWnd* o = owner;
        owner = nullptr;
        o->OnWidgetDestroyed();
    }
}

WindowBinding* WindowBinding::Of(const QWidget* w) {
    if (!w) return nullptr;
    QVariant v = w->property(kBindingProperty);
    return v.isValid() ? static_cast<WindowBinding*>(v.value<void*>()) : nullptr;
}

WindowBinding* WindowBinding::Ensure(QWidget* w, WindowKind kind) {
    WindowBinding* b = Of(w);
    return b ? b : new WindowBinding(w, kind);
}

CWnd* WindowBinding::Window() {
    if (owner) return owner;
    if (!wrapper) {
        wrapper.reset(CreateStandIn(kind));
        wrapper->m_widget = widget;
        wrapper->m_hWnd = ToHwnd(widget);
    }
    return wrapper.get();
}

QWidget* WidgetOf(const CWnd* wnd) { return wnd ? wnd->m_widget : nullptr; }

static DispatchFrame* g_frame = nullptr;
DispatchFrame* CurrentFrame() { return g_frame; }

namespace {
struct FrameScope {
    DispatchFrame frame;
    FrameScope(CWnd* wnd, UINT message, QEvent* e, std::function<bool()> def) {
        frame.wnd = wnd;
        frame.message = message;
        frame.event = e;
        frame.runDefault = std::move(def);
        frame.previous = g_frame;
        g_frame = &frame;
    }
    ~FrameScope() { g_frame = frame.previous; }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;
};

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    UINT f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (buttons & Qt::RightButton) f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
    if (mods & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

// Dispatches one message for an event; runs the toolkit's default when no entry of the
// window's map takes the message, or when the handler asks for it.
bool Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, QEvent* e,
              const std::function<bool(QEvent*)>& base, LRESULT* result = nullptr) {
    FrameScope scope(wnd, message, e, [&base, e] { return base(e); });
    LRESULT r = wnd->WindowProc(message, wParam, lParam);
    if (result) *result = r;
    if (scope.frame.defaultDone) return scope.frame.defaultResult;
    e->accept();
    return true;
}

bool IsScrollArea(QWidget* w) { return qobject_cast<QAbstractScrollArea*>(w) != nullptr; }
}  // namespace

QPoint ClientOffset(const QWidget* w) {
    auto* sa = qobject_cast<const QAbstractScrollArea*>(w);
    if (!sa) return QPoint(0, 0);
    return sa->viewport()->geometry().topLeft() - sa->contentsRect().topLeft();
}

namespace {

QWidget* ClientWidget(QWidget* w) {
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(w)) return sa->viewport();
    return w;
}
}  // namespace

// Edits and list boxes tell their parent when they get or lose the focus.
static void NotifyFocus(QWidget* w, WindowKind kind, bool in, Qt::FocusReason reason) {
    if (reason == Qt::PopupFocusReason) return;
    if (kind == WindowKind::Edit) NotifyParent(w, in ? EN_SETFOCUS : EN_KILLFOCUS);
    else if (kind == WindowKind::ListBox || kind == WindowKind::CheckList) NotifyParent(w, in ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

bool HostEvent(QWidget* w, QEvent* e, const std::function<bool(QEvent*)>& base, bool viewport) {
    WindowBinding* b = WindowBinding::Of(w);
    CWnd* wnd = b ? b->owner : nullptr;
    if (!wnd) {
        // A control that no object stands for still tells its parent about focus changes.
        bool r = base(e);
        if (b && !viewport && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut))
            NotifyFocus(w, b->kind, e->type() == QEvent::FocusIn, static_cast<QFocusEvent*>(e)->reason());
        return r;
    }
    const bool scroll = IsScrollArea(w);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (scroll && !viewport) return base(e);
        auto* me = static_cast<QMouseEvent*>(e);
        UINT msg = WM_MOUSEMOVE;
        bool right = me->button() == Qt::RightButton;
        if (me->button() == Qt::MiddleButton) return base(e);
        if (e->type() == QEvent::MouseButtonPress) msg = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
        else if (e->type() == QEvent::MouseButtonRelease) msg = right ? WM_RBUTTONUP : WM_LBUTTONUP;
        else if (e->type() == QEvent::MouseButtonDblClick) msg = right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
        QPoint p = me->position().toPoint() + (viewport ? ClientOffset(w) : QPoint(0, 0));
        if (msg == WM_MOUSEMOVE) HostSetCursor(wnd, w);
        if (!wnd->FindMessageEntry(msg, 0, 0)) return base(e);
        return Dispatch(wnd, msg, MouseFlags(me->buttons(), me->modifiers()), MAKELPARAM(p.x(), p.y()), e, base);
    }
    case QEvent::Enter:
        HostSetCursor(wnd, w);
        return base(e);
    case QEvent::Paint: {
        if (scroll && !viewport) return base(e);
        if (b->kind == WindowKind::Static) HostCtlColor(wnd, w);
        if (!wnd->FindMessageEntry(WM_PAINT, 0, 0)) return base(e);
        return Dispatch(wnd, WM_PAINT, 0, 0, e, base);
    }
    case QEvent::KeyPress: {
        if (viewport) return base(e);
        auto* ke = static_cast<QKeyEvent*>(e);
        UINT vk = VirtualKeyOf(ke->key());
        // A key without a virtual-key code (punctuation) has no WM_KEYDOWN to send: unless
        // the window takes its character, the control handles it as it is.
        bool hasDown = vk != 0 && wnd->FindMessageEntry(WM_KEYDOWN, 0, 0) != nullptr;
        bool hasChar = wnd->FindMessageEntry(WM_CHAR, 0, 0) != nullptr;
        if (!hasDown && !hasChar) return base(e);
        FrameScope scope(wnd, WM_KEYDOWN, e, [&base, e] { return base(e); });
        QPointer<QWidget> guard(w);
        LPARAM lp = MAKELPARAM(ke->isAutoRepeat() ? 2 : 1, 0);
        if (hasDown) wnd->WindowProc(WM_KEYDOWN, vk, lp);
        QString text = ke->text();
        if (hasChar && guard && !text.isEmpty()) {
            int ch = UnicodeToCp1252(text.at(0).unicode());
            if (ch >= 0) {
                scope.frame.message = WM_CHAR;
                wnd->WindowProc(WM_CHAR, static_cast<WPARAM>(ch), lp);
            }
        }
        if (scope.frame.defaultDone) return scope.frame.defaultResult;
        e->accept();
        return true;
    }
    case QEvent::KeyRelease: {
        if (viewport || !wnd->FindMessageEntry(WM_KEYUP, 0, 0)) return base(e);
        auto* ke = static_cast<QKeyEvent*>(e);
        return Dispatch(wnd, WM_KEYUP, VirtualKeyOf(ke->key()), MAKELPARAM(1, 0), e, base);
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        if (viewport) return base(e);
        auto* fe = static_cast<QFocusEvent*>(e);
        bool in = e->type() == QEvent::FocusIn;
        bool result = true;
        QPointer<QWidget> guard(w);
        if (wnd->FindMessageEntry(in ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0)) {
            QWidget* other = in ? nullptr : QApplication::focusWidget();
            result = Dispatch(wnd, in ? WM_SETFOCUS : WM_KILLFOCUS, reinterpret_cast<WPARAM>(ToHwnd(other)), 0, e, base);
        } else {
            result = base(e);
        }
        if (guard) NotifyFocus(w, b->kind, in, fe->reason());
        return result;
    }
    case QEvent::Resize: {
        bool r = base(e);
        if (wnd->FindMessageEntry(WM_SIZE, 0, 0)) {
            QSize s = ClientWidget(w)->size();
            if (scroll) s = static_cast<QResizeEvent*>(e)->size();
            FrameScope scope(wnd, WM_SIZE, e, [] { return true; });
            wnd->WindowProc(WM_SIZE, 0, MAKELPARAM(s.width(), s.height()));
        }
        return r;
    }
    case QEvent::ContextMenu: {
        if (scroll && !viewport) return base(e);
        if (!wnd->FindMessageEntry(WM_CONTEXTMENU, 0, 0)) return base(e);
        auto* ce = static_cast<QContextMenuEvent*>(e);
        QPoint g = ce->globalPos();
        if (ce->reason() == QContextMenuEvent::Keyboard) g = QPoint(-1, -1);
        return Dispatch(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ToHwnd(w)), MAKELPARAM(g.x(), g.y()), e, base);
    }
    case QEvent::Close: {
        if (!w->isWindow()) return base(e);
        // The title-bar close button: the system menu's Close command.
        e->ignore();
        wnd->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    case QEvent::Show: {
        bool r = base(e);
        if (w->isWindow() && b->pendingOuter.isValid()) {
            QRect outer = b->pendingOuter;
            b->pendingOuter = QRect();
            wnd->MoveWindow(outer.x(), outer.y(), outer.width(), outer.height(), TRUE);
        }
        return r;
    }
    case QEvent::DragEnter: {
        auto* de = static_cast<QDragEnterEvent*>(e);
        if (w->acceptDrops() && de->mimeData()->hasUrls()) {
            de->acceptProposedAction();
            return true;
        }
        return base(e);
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(e);
        if (!w->acceptDrops() || !de->mimeData()->hasUrls()) return base(e);
        auto* drop = new std::vector<CString>;
        for (const QUrl& url : de->mimeData()->urls()) {
            if (!url.isLocalFile()) continue;
            CString path;
            if (ProgramPath(url.toLocalFile().toStdString(), &path)) drop->push_back(path);
        }
        de->acceptProposedAction();
        wnd->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        return true;
    }
    default:
        return base(e);
    }
}

void NotifyParent(QWidget* control, UINT code) {
    WindowBinding* b = WindowBinding::Of(control);
    if (!b) return;
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        WindowBinding* pb = WindowBinding::Of(p);
        if (pb && pb->owner) {
            pb->owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(b->id), code),
                                   reinterpret_cast<LPARAM>(ToHwnd(control)));
            return;
        }
        if (p->isWindow()) return;
    }
}

LRESULT NotifyParent(QWidget* control, NMHDR* header) {
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        WindowBinding* pb = WindowBinding::Of(p);
        if (pb && pb->owner)
            return pb->owner->SendMessage(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
        if (p->isWindow()) break;
    }
    return 0;
}

UINT VirtualKeyOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
    }
}

int QtKeyOf(UINT vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= VK_F1 && vk < VK_F1 + 24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return 0;
    }
}

}  // namespace afx

using afx::FromQ;
using afx::ToHwnd;
using afx::ToQ;
using afx::ToWidget;
using afx::WindowBinding;
using afx::WindowKind;

// ----------------------------------------------------------------------------------------
// CWnd

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_widget && m_shadow) {
        // (a shadow whose widget is gone has m_widget cleared already)
        WindowBinding* b = WindowBinding::Of(m_widget);
        if (b) std::erase(b->shadows, this);
        return;
    }
    if (m_widget) {
        QWidget* w = m_widget;
        WindowBinding* b = WindowBinding::Of(w);
        if (b && b->owner == this) b->owner = nullptr;
        m_widget = nullptr;
        m_hWnd = nullptr;
        if (m_ownsWidget) delete w;
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    QWidget* w = ToWidget(hwnd);
    return WindowBinding::Ensure(w, WindowKind::Generic)->Window();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    WindowBinding* b = WindowBinding::Of(ToWidget(hwnd));
    return b ? b->owner : nullptr;
}

void CWnd::AttachWidget(QWidget* widget) {
    WindowBinding* b = WindowBinding::Ensure(widget, DefaultKind());
    if (b->owner && b->owner != this) {
        b->owner->m_widget = nullptr;
        b->owner->m_hWnd = nullptr;
    }
    b->owner = this;
    m_widget = widget;
    m_hWnd = ToHwnd(widget);
    // Windows that follow the mouse or choose its cursor hear of every move over them.
    if (FindMessageEntry(WM_MOUSEMOVE, 0, 0) || FindMessageEntry(WM_SETCURSOR, 0, 0)) widget->setMouseTracking(true);
}

void CWnd::OnWidgetDestroyed() {
    m_widget = nullptr;
    m_hWnd = nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

static WindowKind KindOfClassName(const char* name, WindowKind fallback, DWORD style) {
    if (!name) return fallback;
    CString n(name);
    if (n.CompareNoCase("BUTTON") == 0) {
        DWORD t = style & 0xF;
        if (t == BS_GROUPBOX) return WindowKind::GroupBox;
        if (t == BS_CHECKBOX || t == BS_AUTOCHECKBOX) return WindowKind::CheckBox;
        if (t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON) return WindowKind::Radio;
        return WindowKind::Button;
    }
    if (n.CompareNoCase("EDIT") == 0) return WindowKind::Edit;
    if (n.CompareNoCase("STATIC") == 0) return WindowKind::Static;
    if (n.CompareNoCase("LISTBOX") == 0) return WindowKind::ListBox;
    if (n.CompareNoCase("COMBOBOX") == 0) return WindowKind::ComboBox;
    if (n.CompareNoCase("SysListView32") == 0) return WindowKind::ListCtrl;
    if (n.CompareNoCase("msctls_progress32") == 0) return WindowKind::Progress;
    if (n.CompareNoCase("SysHeader32") == 0) return WindowKind::Header;
    return fallback;
}

BOOL CWnd::CreateWidget(WindowKind kind, const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    QWidget* parentWidget = parent ? parent->m_widget : nullptr;
    // Children of a list or other scrolling control live in its client area (the viewport).
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(parentWidget); sa && (style & WS_CHILD)) parentWidget = sa->viewport();
    if ((style & WS_CHILD) && !parentWidget) return FALSE;
    QWidget* w = afx::CreateKindWidget(kind, style, text, (style & WS_CHILD) ? parentWidget : nullptr);
    if (!w) return FALSE;
    WindowBinding* b = WindowBinding::Ensure(w, kind);
    b->id = static_cast<int>(id);
    b->style = style;
    m_dwStyle = style;
    m_ownsWidget = true;
    AttachWidget(w);
    CRect r(rect);
    if (w->isWindow()) {
        if (!r.IsRectNull()) MoveWindow(r.left, r.top, r.Width(), r.Height(), FALSE);
    } else {
        w->setGeometry(r.left, r.top, r.Width(), r.Height());
    }
    if (style & WS_DISABLED) w->setEnabled(false);
    return TRUE;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void* context) {
    return CreateEx(0, className, windowName, style, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* context) {
    CREATESTRUCT cs;
    cs.lpCreateParams = context;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = id;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = style;
    cs.dwExStyle = exStyle;
    cs.lpszName = windowName;
    cs.lpszClass = className;
    if (!PreCreateWindow(cs)) return FALSE;
    WindowKind kind = KindOfClassName(cs.lpszClass, DefaultKind(), cs.style);
    CRect r(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
    if (!CreateWidget(kind, cs.lpszName, cs.style, r, parent, id)) return FALSE;
    m_dwExStyle = cs.dwExStyle;
    if ((cs.dwExStyle & WS_EX_TOOLWINDOW) && m_widget->isWindow()) {
        m_widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        m_widget->setAttribute(Qt::WA_ShowWithoutActivating);
        m_widget->setGeometry(r.left, r.top, r.Width(), r.Height());
    }
    if (cs.lpszName && kind != WindowKind::Edit) SetWindowText(cs.lpszName);
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if ((cs.style & WS_VISIBLE) && m_widget) m_widget->show();
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_widget) return FALSE;
    SendMessage(WM_DESTROY);
    QWidget* w = m_widget;
    WindowBinding* b = WindowBinding::Of(w);
    if (b) b->owner = nullptr;
    m_widget = nullptr;
    m_hWnd = nullptr;
    w->hide();
    w->deleteLater();
    PostNcDestroy();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    CWnd* item = parent ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd) return FALSE;
    QWidget* w = ToWidget(hwnd);
    WindowBinding* b = WindowBinding::Of(w);
    if (b && b->owner && b->owner != this) return FALSE;
    AttachWidget(w);
    m_ownsWidget = false;
    PreSubclassWindow();
    return TRUE;
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd) return FALSE;
    AttachWidget(ToWidget(hwnd));
    m_ownsWidget = false;
    return TRUE;
}

BOOL CWnd::AttachShadow(HWND hwnd) {
    if (!hwnd) return FALSE;
    QWidget* w = ToWidget(hwnd);
    WindowBinding* b = WindowBinding::Ensure(w, DefaultKind());
    b->shadows.push_back(this);
    m_widget = w;
    m_hWnd = hwnd;
    m_shadow = true;
    m_ownsWidget = false;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (m_widget && m_shadow) {
        WindowBinding* b = WindowBinding::Of(m_widget);
        if (b) std::erase(b->shadows, this);
        m_shadow = false;
    } else if (m_widget) {
        WindowBinding* b = WindowBinding::Of(m_widget);
        if (b && b->owner == this) b->owner = nullptr;
    }
    m_widget = nullptr;
    m_hWnd = nullptr;
    m_ownsWidget = false;
    OnWidgetReleased();
    return h;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) { return WindowProc(message, wParam, lParam); }

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    QPointer<QWidget> guard(m_widget);
    if (!guard) return FALSE;
    QMetaObject::invokeMethod(
        qApp,
        [guard, message, wParam, lParam] {
            if (!guard) return;
            WindowBinding* b = WindowBinding::Of(guard);
            if (b && b->owner) b->owner->SendMessage(message, wParam, lParam);
        },
        Qt::QueuedConnection);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            if (result) *result = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (OnNotify(wParam, lParam, &r)) {
            if (result) *result = r;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
    if (!e) return FALSE;
    AfxMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    if (!e->pfn(this, m)) return FALSE;
    if (result) *result = m.result;
    return TRUE;
}

LRESULT CWnd::Default() {
    afx::DispatchFrame* f = afx::CurrentFrame();
    if (!f || f->wnd != this || f->defaultDone) return 0;
    f->defaultDone = true;
    f->defaultResult = f->runDefault();
    return f->defaultResult ? 1 : 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    afx::DispatchFrame* f = afx::CurrentFrame();
    if (f && f->wnd == this && f->message == message) return Default();
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && !m_systemCloseGrayed) SendMessage(WM_CLOSE);
        return 0;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_SETTEXT:
        SetWindowText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_DROPFILES:
        delete reinterpret_cast<std::vector<CString>*>(wParam);
        return 0;
    default:
        return 0;
    }
}

namespace {
// The state that a command would show: used to refuse disabled commands.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL on) override {
        m_bEnabled = on;
        m_bEnableChanged = TRUE;
    }
};
}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    int code = HIWORD(wParam);
    if (!control) {
        if (id == 0) return FALSE;
        CTestCmdUI state;
        state.m_nID = id;
        OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled) return TRUE;
        code = CN_COMMAND;
    } else {
        if (afx::NotificationsLockedOut(this)) return TRUE;
        CWnd* child = FromHandlePermanent(control);
        LRESULT r = 0;
        if (child && child != this && child->OnChildNotify(WM_COMMAND, wParam, lParam, &r)) return TRUE;
        if (id == 0) return FALSE;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) return FALSE;
    CWnd* child = FromHandlePermanent(header->hwndFrom);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, header->idFrom, lParam, result)) return TRUE;
    AFX_NOTIFY notify{result, header};
    return OnCmdMsg(static_cast<UINT>(header->idFrom), static_cast<int>(MAKEWPARAM(header->code, WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    UINT code = 0;
    AFX_NOTIFY notify{result, nullptr};
    AfxMessage m;
    m.message = WM_REFLECT_BASE + message;
    m.wParam = wParam;
    m.lParam = lParam;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        notify.pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        code = notify.pNMHDR->code;
        m.pExtra = &notify;
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + message, code, 0);
    if (!e) return FALSE;
    m.nCode = code;
    if (!e->pfn(this, m)) return FALSE;
    if (result && message != WM_NOTIFY) *result = m.result;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (QWidget* w = ToWidget(msg->hwnd); w; w = w->parentWidget()) {
        WindowBinding* b = WindowBinding::Of(w);
        if (b && b->owner) {
            QPointer<QWidget> guard(w);
            if (b->owner->PreTranslateMessage(msg)) return TRUE;
            if (!guard) return TRUE;
        }
        if (ToHwnd(w) == stop || w->isWindow()) break;
    }
    return FALSE;
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (!m_widget) return nullptr;
    for (QObject* o : m_widget->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        WindowBinding* b = WindowBinding::Of(w);
        if (b && b->id == id) return b->Window();
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const {
    WindowBinding* b = WindowBinding::Of(m_widget);
    return b ? b->id : 0;
}

int CWnd::SetDlgCtrlID(int id) {
    WindowBinding* b = WindowBinding::Of(m_widget);
    if (!b) return 0;
    int old = b->id;
    b->id = id;
    return old;
}

// The window a widget belongs to: a scroll area's viewport stands for the scroll area.
static QWidget* ParentWindowWidget(QWidget* w) {
    QWidget* p = w->parentWidget();
    if (p && !WindowBinding::Of(p))
        if (auto* sa = qobject_cast<QAbstractScrollArea*>(p->parentWidget()); sa && sa->viewport() == p) p = sa;
    return p;
}

CWnd* CWnd::GetParent() const {
    if (!m_widget) return nullptr;
    QWidget* p = ParentWindowWidget(m_widget);
    return p ? FromHandle(ToHwnd(p)) : nullptr;
}

CWnd* CWnd::GetOwner() const { return m_pOwner ? m_pOwner : GetParent(); }

CWnd* CWnd::GetTopLevelParent() const {
    if (!m_widget) return nullptr;
    return FromHandle(ToHwnd(m_widget->window()));
}

BOOL CWnd::IsChild(const CWnd* wnd) const {
    if (!m_widget || !wnd || !wnd->m_widget) return FALSE;
    return m_widget->isAncestorOf(wnd->m_widget) ? TRUE : FALSE;
}

static CWnd* NearestWindow(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        WindowBinding* b = WindowBinding::Of(w);
        if (b) return b->Window();
    }
    return nullptr;
}

CWnd* CWnd::GetFocus() { return NearestWindow(QApplication::focusWidget()); }
CWnd* CWnd::GetActiveWindow() { return NearestWindow(QApplication::activeWindow()); }
CWnd* CWnd::GetForegroundWindow() { return NearestWindow(QApplication::activeWindow()); }
CWnd* CWnd::GetCapture() { return NearestWindow(QWidget::mouseGrabber()); }
CWnd* CWnd::GetDesktopWindow() { return nullptr; }

namespace afx {
bool NotificationsLockedOut(const CWnd* wnd);
void SetWidgetText(QWidget* w, const QString& text);
QString WidgetText(const QWidget* w);
}  // namespace afx

void CWnd::SetWindowText(const char* text) {
    if (m_widget) afx::SetWidgetText(m_widget, ToQ(text));
}

void CWnd::GetWindowText(CString& text) const { text = m_widget ? FromQ(afx::WidgetText(m_widget)) : CString(); }

int CWnd::GetWindowText(char* buffer, int max) const {
    if (!buffer || max <= 0) return 0;
    CString t;
    GetWindowText(t);
    int n = t.GetLength() < max - 1 ? t.GetLength() : max - 1;
    std::memcpy(buffer, t.GetString(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

int CWnd::GetWindowTextLength() const {
    CString t;
    GetWindowText(t);
    return t.GetLength();
}

void CWnd::SetDlgItemText(int id, const char* text) {
    if (CWnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    text.Empty();
    if (CWnd* w = GetDlgItem(id)) w->GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
    CString s;
    if (isSigned) s.Format("%d", static_cast<int>(value));
    else s.Format("%u", value);
    SetDlgItemText(id, s);
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
    CString s;
    GetDlgItemText(id, s);
    s.Trim();
    char* end = nullptr;
    long long v = isSigned ? std::strtoll(s, &end, 10) : static_cast<long long>(std::strtoull(s, &end, 10));
    bool ok = !s.IsEmpty() && end && *end == '\0';
    if (translated) *translated = ok;
    return ok ? static_cast<UINT>(v) : 0;
}

namespace afx {
void SetButtonCheck(QWidget* w, int check);
int ButtonCheck(const QWidget* w);
}  // namespace afx

void CWnd::CheckDlgButton(int id, UINT check) {
    if (CWnd* w = GetDlgItem(id)) afx::SetButtonCheck(w->m_widget, static_cast<int>(check));
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    CWnd* w = GetDlgItem(id);
    return w ? static_cast<UINT>(afx::ButtonCheck(w->m_widget)) : 0;
}

void CWnd::CheckRadioButton(int first, int last, int check) {
    for (int id = first; id <= last; ++id) CheckDlgButton(id, id == check ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int first, int last) {
    for (int id = first; id <= last; ++id)
        if (IsDlgButtonChecked(id)) return id;
    return 0;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_widget) return FALSE;
    BOOL wasDisabled = !m_widget->isEnabled();
    m_widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_widget && m_widget->isEnabled(); }

BOOL CWnd::ShowWindow(int command) {
    if (!m_widget) return FALSE;
    BOOL was = m_widget->isVisible();
    switch (command) {
    case SW_HIDE: m_widget->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: m_widget->showMinimized(); break;
    case SW_SHOWMAXIMIZED: m_widget->showMaximized(); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL: m_widget->isWindow() ? m_widget->showNormal() : m_widget->show(); break;
    default: m_widget->show(); break;
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const { return m_widget && m_widget->isVisible(); }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (!m_widget) return;
    if (m_widget->isWindow()) {
        // The frame's size is known once the window is shown: apply the outer size then.
        if (!m_widget->isVisible())
            if (WindowBinding* b = WindowBinding::Of(m_widget)) b->pendingOuter = QRect(x, y, width, height);
        QRect frame = m_widget->frameGeometry();
        QRect inner = m_widget->geometry();
        int dw = frame.width() - inner.width();
        int dh = frame.height() - inner.height();
        m_widget->move(x, y);
        m_widget->resize(std::max(0, width - dw), std::max(0, height - dh));
    } else {
        m_widget->setGeometry(x, y, width, height);
    }
    if (repaint) m_widget->update();
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    if (!m_widget) return FALSE;
    CRect r;
    GetWindowRect(&r);
    if (!m_widget->isWindow() && GetParent()) GetParent()->ScreenToClient(&r);
    if (flags & SWP_NOMOVE) { x = r.left; y = r.top; }
    if (flags & SWP_NOSIZE) { cx = r.Width(); cy = r.Height(); }
    if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) MoveWindow(x, y, cx, cy, !(flags & SWP_NOREDRAW));
    if (flags & SWP_SHOWWINDOW) m_widget->show();
    if (flags & SWP_HIDEWINDOW) m_widget->hide();
    return TRUE;
}

void CWnd::GetWindowRect(RECT* rect) const {
    if (!rect) return;
    if (!m_widget) {
        *rect = CRect();
        return;
    }
    if (m_widget->isWindow()) {
        QRect f = m_widget->frameGeometry();
        *rect = CRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height());
        return;
    }
    QPoint g = m_widget->mapToGlobal(QPoint(0, 0));
    *rect = CRect(g.x(), g.y(), g.x() + m_widget->width(), g.y() + m_widget->height());
}

void CWnd::GetClientRect(RECT* rect) const {
    if (!rect) return;
    if (!m_widget) {
        *rect = CRect();
        return;
    }
    // A scroll area lays out its viewport when it first gets its size, as it is shown; asked
    // for its client area before that (in a dialog's OnInitDialog), it lays it out now.
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(m_widget); sa && sa->testAttribute(Qt::WA_PendingResizeEvent)) {
        sa->setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent resize(sa->size(), QSize());
        QCoreApplication::sendEvent(sa, &resize);
    }
    QWidget* c = afx::ClientWidget(m_widget);
    QPoint o = afx::ClientOffset(m_widget);
    *rect = CRect(0, 0, c->width() + o.x(), c->height() + o.y());
}

void CWnd::ScreenToClient(POINT* point) const {
    if (!point || !m_widget) return;
    QPoint p = afx::ClientWidget(m_widget)->mapFromGlobal(QPoint(point->x, point->y)) + afx::ClientOffset(m_widget);
    point->x = p.x();
    point->y = p.y();
}

void CWnd::ScreenToClient(RECT* rect) const {
    if (!rect) return;
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rect = CRect(a.x, a.y, b.x, b.y);
}

void CWnd::ClientToScreen(POINT* point) const {
    if (!point || !m_widget) return;
    QPoint p = afx::ClientWidget(m_widget)->mapToGlobal(QPoint(point->x, point->y) - afx::ClientOffset(m_widget));
    point->x = p.x();
    point->y = p.y();
}

void CWnd::ClientToScreen(RECT* rect) const {
    if (!rect) return;
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *rect = CRect(a.x, a.y, b.x, b.y);
}

void CWnd::CenterWindow(CWnd* alternate) {
    if (!m_widget) return;
    QWidget* ref = alternate && alternate->m_widget ? alternate->m_widget : m_widget->parentWidget();
    QRect area = ref ? ref->frameGeometry() : QRect(0, 0, 1024, 768);
    QRect f = m_widget->frameGeometry();
    m_widget->move(area.center().x() - f.width() / 2, area.center().y() - f.height() / 2);
}

void CWnd::Invalidate(BOOL) {
    if (!m_widget) return;
    afx::DiscardWindowSurface(m_widget);
    afx::ClientWidget(m_widget)->update();
}

void CWnd::InvalidateRect(const RECT* rect, BOOL) {
    if (!m_widget) return;
    afx::DiscardWindowSurface(m_widget);
    if (rect) afx::ClientWidget(m_widget)->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
    else afx::ClientWidget(m_widget)->update();
}

void CWnd::UpdateWindow() {
    if (m_widget && m_widget->isVisible()) afx::ClientWidget(m_widget)->repaint();
}

BOOL CWnd::RedrawWindow(const RECT* rect, void*, UINT flags) {
    if (!m_widget) return FALSE;
    if (flags & RDW_INVALIDATE) InvalidateRect(rect, (flags & RDW_ERASE) != 0);
    if (flags & RDW_UPDATENOW) UpdateWindow();
    return TRUE;
}

void CWnd::SetRedraw(BOOL redraw) {
    if (!m_widget) return;
    m_widget->setUpdatesEnabled(redraw != FALSE);
    if (redraw) m_widget->update();
}

CWnd* CWnd::SetFocus() {
    CWnd* old = GetFocus();
    if (m_widget) m_widget->setFocus(Qt::OtherFocusReason);
    return old;
}

CWnd* CWnd::SetCapture() {
    CWnd* old = GetCapture();
    if (m_widget) m_widget->grabMouse();
    return old;
}

BOOL CWnd::ReleaseCapture() {
    if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
    return TRUE;
}

namespace afx {
void ApplyStyle(QWidget* w, WindowKind kind, DWORD oldStyle, DWORD newStyle);
}

DWORD CWnd::GetStyle() const {
    WindowBinding* b = WindowBinding::Of(m_widget);
    return b ? b->style : m_dwStyle;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    DWORD old = GetStyle();
    m_dwStyle = (old & ~remove) | add;   // from the window's style: a subclassed window has its own
    if (m_widget && old != m_dwStyle) {
        WindowBinding* b = WindowBinding::Of(m_widget);
        if (b) b->style = m_dwStyle;
        afx::ApplyStyle(m_widget, b ? b->kind : DefaultKind(), old, m_dwStyle);
    }
    return old != m_dwStyle;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    DWORD old = m_dwExStyle;
    m_dwExStyle = (m_dwExStyle & ~remove) | add;
    if (m_widget && (m_dwExStyle & WS_EX_ACCEPTFILES)) m_widget->setAcceptDrops(true);
    return old != m_dwExStyle;
}

void CWnd::DragAcceptFiles(BOOL accept) {
    if (m_widget) m_widget->setAcceptDrops(accept != FALSE);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*) {
    if (!m_widget) return 0;
    WindowBinding* b = WindowBinding::Ensure(m_widget, DefaultKind());
    QTimer*& t = b->timers[id];
    if (!t) {
        t = new QTimer;
        QPointer<QWidget> guard(m_widget);
        QObject::connect(t, &QTimer::timeout, [guard, id] {
            if (!guard) return;
            WindowBinding* wb = WindowBinding::Of(guard);
            if (wb && wb->owner) wb->owner->SendMessage(WM_TIMER, id, 0);
        });
    }
    t->start(static_cast<int>(elapse));
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    WindowBinding* b = WindowBinding::Of(m_widget);
    if (!b) return FALSE;
    auto it = b->timers.find(id);
    if (it == b->timers.end()) return FALSE;
    delete it->second;
    b->timers.erase(it);
    return TRUE;
}

CMenu* CWnd::GetMenu() const { return nullptr; }

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    auto* self = const_cast<CWnd*>(this);
    if (revert) {
        self->m_systemCloseGrayed = false;
        return nullptr;
    }
    if (!self->m_systemMenu) self->m_systemMenu = CMenu::MakeSystemMenu(self);
    return self->m_systemMenu.get();
}

void CWnd::SetSystemCloseGrayed(bool grayed) { m_systemCloseGrayed = grayed; }

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return afx::ShowMessageBox(this, text, caption, type);
}

void CWnd::DoDataExchange(CDataExchange*) {}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size) {
    auto* files = reinterpret_cast<std::vector<CString>*>(drop);
    if (!files) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(files->size());
    if (index >= files->size()) return 0;
    const CString& f = (*files)[index];
    if (!buffer) return static_cast<UINT>(f.GetLength());
    if (size == 0) return 0;
    UINT n = std::min<UINT>(static_cast<UINT>(f.GetLength()), size - 1);
    std::memcpy(buffer, f.GetString(), n);
    buffer[n] = '\0';
    return n;
}

void DragFinish(HDROP drop) { delete reinterpret_cast<std::vector<CString>*>(drop); }
