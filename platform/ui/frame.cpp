#include "platform/ui/frame.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "platform/core/resources.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

using afx::FromQ;
using afx::ToQ;
using afx::WindowBinding;
using afx::WindowKind;

namespace afx {
void BuildQtMenu(QMenu* target, const CMenu& menu);
QPixmap ProgramIconPixmap(int size);

// The two parts of a command's string: the status-bar prompt and the tool tip.
static void CommandStrings(UINT id, CString* prompt, CString* tip) {
    CString s;
    s.LoadString(id);
    int nl = s.Find('\n');
    if (prompt) *prompt = nl >= 0 ? s.Left(nl) : s;
    if (tip) *tip = nl >= 0 ? s.Mid(nl + 1) : CString();
}

// Puts the idle text back in the status bar when the pointer leaves the toolbar.
class ToolbarLeaveWatch : public QObject {
public:
    explicit ToolbarLeaveWatch(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Leave && watched->isWidgetType())
            if (auto* frame = dynamic_cast<CFrameWnd*>(
                    CWnd::FromHandlePermanent(afx::ToHwnd(static_cast<QWidget*>(watched)->window()))))
                frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
        return false;
    }
};

static QPixmap PictureOf(const std::vector<const char*>& rows, int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < height && y < static_cast<int>(rows.size()); ++y) {
        const char* row = rows[static_cast<size_t>(y)];
        for (int x = 0; x < width && row[x]; ++x) {
            COLORREF c;
            if (row[x] != ' ' && FindPaletteColour(row[x], &c))
                img.setPixelColor(x, y, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    }
    return QPixmap::fromImage(img);
}
}  // namespace afx

// --- Control bars -------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) { return CreateEx(parent, 0, style, CRect(), id); }

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect, UINT id) {
    auto* frame = qobject_cast<QMainWindow*>(afx::WidgetOf(parent));
    if (!frame) return FALSE;
    if (!CreateWidget(WindowKind::ToolBar, nullptr, style | WS_CHILD, CRect(), parent, id)) return FALSE;
    auto* tb = static_cast<QToolBar*>(m_widget);
    tb->setObjectName(QStringLiteral("toolbar%1").arg(id));
    tb->setWindowTitle(QStringLiteral("Barra de Comandos"));
    tb->setMovable((style & CBRS_GRIPPER) != 0);
    tb->setFloatable(false);
    tb->setIconSize(QSize(16, 15));
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // A button's prompt stays in the status bar only while the pointer is over the toolbar.
    tb->installEventFilter(new afx::ToolbarLeaveWatch(tb));
    if (!(ctrlStyle & TBSTYLE_FLAT)) tb->setStyleSheet(QStringLiteral("QToolButton { border: 1px outset palette(mid); }"));
    m_barStyle = style;
    frame->addToolBar(Qt::TopToolBarArea, tb);
    if (style & WS_VISIBLE) tb->show();
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) {
    auto* tb = qobject_cast<QToolBar*>(m_widget);
    const afx::ToolbarTemplate* t = afx::FindToolbar(id);
    if (!tb || !t) return FALSE;
    tb->clear();
    m_commands.clear();
    size_t picture = 0;
    tb->setIconSize(QSize(t->buttonWidth, t->buttonHeight));
    QPointer<QToolBar> guard(tb);
    for (UINT cmd : t->commands) {
        m_commands.push_back(cmd);
        if (cmd == 0) {
            tb->addSeparator();
            continue;
        }
        CString prompt, tip;
        afx::CommandStrings(cmd, &prompt, &tip);
        QAction* a = tb->addAction(tip.IsEmpty() ? ToQ(prompt) : ToQ(tip));
        if (picture < t->pictures.size())
            a->setIcon(QIcon(afx::PictureOf(t->pictures[picture], t->buttonWidth, t->buttonHeight)));
        ++picture;
        a->setData(cmd);
        a->setToolTip(ToQ(tip));
        a->setStatusTip(ToQ(prompt));
        QObject::connect(a, &QAction::triggered, tb, [guard, cmd] {
            if (!guard) return;
            CWnd* frame = CWnd::FromHandlePermanent(afx::ToHwnd(guard->window()));
            if (frame) frame->SendMessage(WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
        });
        QObject::connect(a, &QAction::hovered, tb, [guard, cmd] {
            if (!guard) return;
            if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(afx::ToHwnd(guard->window())))) {
                CString prompt2;
                afx::CommandStrings(cmd, &prompt2, nullptr);
                frame->SetMessageText(prompt2);
            }
        });
    }
    return TRUE;
}

UINT CToolBar::GetItemID(int index) const {
    return index >= 0 && index < GetCount() ? m_commands[static_cast<size_t>(index)] : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_commands[static_cast<size_t>(i)] == id && id != 0) return i;
    return -1;
}

void CToolBar::GetItemRect(int index, RECT* rect) const {
    auto* tb = qobject_cast<QToolBar*>(m_widget);
    if (!rect) return;
    *rect = CRect();
    if (!tb || index < 0 || index >= tb->actions().size()) return;
    QRect r = tb->actionGeometry(tb->actions().at(index));
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

BOOL CToolBar::IsButtonEnabled(int index) const {
    auto* tb = qobject_cast<QToolBar*>(m_widget);
    if (!tb || index < 0 || index >= tb->actions().size()) return FALSE;
    return tb->actions().at(index)->isEnabled();
}

namespace {
// Updates one toolbar button or menu item from the command routing.
class ActionCmdUI : public CCmdUI {
public:
    explicit ActionCmdUI(QAction* a) : m_action(a) {}
    void Enable(BOOL on) override {
        m_bEnableChanged = TRUE;
        m_action->setEnabled(on != FALSE);
    }
    void SetCheck(int check) override {
        m_action->setCheckable(check != 0 || m_action->isCheckable());
        m_action->setChecked(check != 0);
    }
    void SetText(const char* text) override { m_action->setText(ToQ(text)); }

private:
    QAction* m_action;
};

class StateCmdUI : public CCmdUI {
public:
    BOOL enabled = TRUE;
    int checked = 0;
    void Enable(BOOL on) override {
        m_bEnableChanged = TRUE;
        enabled = on;
    }
    void SetCheck(int check) override { checked = check; }
};
}  // namespace

void CToolBar::UpdateButtons(CCmdTarget* target) {
    auto* tb = qobject_cast<QToolBar*>(m_widget);
    if (!tb || !target) return;
    for (QAction* a : tb->actions()) {
        if (a->isSeparator()) continue;
        ActionCmdUI ui(a);
        ui.m_nID = a->data().toUInt();
        ui.DoUpdate(target, TRUE);
    }
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    auto* frame = qobject_cast<QMainWindow*>(afx::WidgetOf(parent));
    if (!CreateWidget(WindowKind::StatusBar, nullptr, style | WS_CHILD, CRect(), parent, id)) return FALSE;
    auto* sb = static_cast<QStatusBar*>(m_widget);
    sb->setSizeGripEnabled(true);
    if (frame) frame->setStatusBar(sb);
    if (style & WS_VISIBLE) sb->show();
    m_barStyle = style;
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    auto* sb = qobject_cast<QStatusBar*>(m_widget);
    if (!sb || !ids || count <= 0) return FALSE;
    for (QWidget* p : m_panes) delete p;
    m_panes.clear();
    m_ids.assign(ids, ids + count);
    for (int i = 0; i < count; ++i) {
        auto* pane = new QLabel(sb);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setTextFormat(Qt::PlainText);
        if (ids[i] == ID_SEPARATOR) {
            pane->setMinimumWidth(40);
            sb->addWidget(pane, 1);
        } else {
            CString s;
            s.LoadString(ids[i]);
            int w = pane->fontMetrics().horizontalAdvance(ToQ(s)) + 2 * pane->frameWidth() + 6;
            pane->setFixedWidth(w);
            pane->setText(ToQ(s));
            sb->addPermanentWidget(pane, 0);
        }
        m_panes.push_back(pane);
    }
    return TRUE;
}

UINT CStatusBar::GetItemID(int index) const {
    return index >= 0 && index < GetCount() ? m_ids[static_cast<size_t>(index)] : 0;
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_ids[static_cast<size_t>(i)] == id) return i;
    return -1;
}

BOOL CStatusBar::SetPaneText(int index, const char* text, BOOL update) {
    if (index < 0 || index >= static_cast<int>(m_panes.size())) return FALSE;
    auto* pane = static_cast<QLabel*>(m_panes[static_cast<size_t>(index)]);
    pane->setText(ToQ(text));
    if (update && pane->isVisible()) pane->repaint();
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= static_cast<int>(m_panes.size())) return CString();
    return FromQ(static_cast<QLabel*>(m_panes[static_cast<size_t>(index)])->text());
}

void CStatusBar::GetItemRect(int index, RECT* rect) const {
    if (!rect) return;
    *rect = CRect();
    if (index < 0 || index >= static_cast<int>(m_panes.size())) return;
    if (m_widget && m_widget->layout()) m_widget->layout()->activate();
    QRect r = m_panes[static_cast<size_t>(index)]->geometry();
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

// --- CFrameWnd ------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    delete m_idleTimer;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.cx == 0 && cs.cy == 0) {
        cs.x = 40;
        cs.y = 40;
        cs.cx = 800;
        cs.cy = 560;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDResource = resourceId;
    CString title;
    title.LoadString(resourceId);
    int nl = title.Find('\n');
    if (nl >= 0) title = title.Left(nl);
    m_menu.LoadMenu(resourceId);
    if (!CreateEx(WS_EX_ACCEPTFILES, nullptr, title, style, CRect(), parent, 0, context)) return FALSE;
    auto* mw = static_cast<QMainWindow*>(m_widget);
    mw->setWindowIcon(QIcon(afx::ProgramIconPixmap(32)));
    BuildMenuBar();
    m_idleTimer = new QTimer;
    m_idleTimer->setInterval(250);
    QPointer<QWidget> guard(m_widget);
    QObject::connect(m_idleTimer, &QTimer::timeout, [this, guard] {
        if (guard) RunIdleUpdate();
    });
    m_idleTimer->start();
    SetMessageText(m_nIdleMessage);
    return TRUE;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (context && context->m_pNewViewClass) return CreateView(context) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    auto* view = static_cast<CWnd*>(context->m_pNewViewClass->CreateObject());
    if (!view) return nullptr;
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, id, context)) {
        delete view;
        return nullptr;
    }
    if (auto* mw = qobject_cast<QMainWindow*>(m_widget)) mw->setCentralWidget(afx::WidgetOf(view));
    return view;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    if (m_dwExStyle & WS_EX_ACCEPTFILES) DragAcceptFiles(TRUE);
    auto* context = static_cast<CCreateContext*>(cs ? cs->lpCreateParams : nullptr);
    if (!OnCreateClient(cs, context)) return -1;
    return 0;
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, BOOL makeVisible) {
    CView* view = m_pViewActive;
    if (!view && doc) {
        POSITION pos = doc->GetFirstViewPosition();
        view = pos ? doc->GetNextView(pos) : nullptr;
    }
    if (view) {
        SetActiveView(view, FALSE);
        view->OnInitialUpdate();
    }
    if (makeVisible && m_widget) {
        CWinApp* app = AfxGetApp();
        ShowWindow(app && app->m_pMainWnd == this ? app->m_nCmdShow : SW_SHOW);
        UpdateWindow();
    }
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
    CView* old = m_pViewActive;
    if (old == view) return;
    m_pViewActive = view;
    if (notify && old) old->OnActivateView(FALSE, view, old);
    if (notify && view) view->OnActivateView(TRUE, view, old);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::EnableDocking(DWORD style) { m_dockStyle = style; }

void CFrameWnd::DockControlBar(CControlBar* bar, UINT, const RECT*) {
    auto* mw = qobject_cast<QMainWindow*>(m_widget);
    auto* tb = qobject_cast<QToolBar*>(afx::WidgetOf(bar));
    if (mw && tb) {
        tb->setAllowedAreas(m_dockStyle ? Qt::AllToolBarAreas : Qt::TopToolBarArea);
        mw->addToolBar(Qt::TopToolBarArea, tb);
    }
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL) {
    if (QWidget* w = afx::WidgetOf(bar)) w->setVisible(show != FALSE);
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_widget && m_widget->layout()) m_widget->layout()->activate();
}

CWnd* CFrameWnd::GetMessageBar() {
    CWnd* bar = GetDlgItem(AFX_IDW_STATUS_BAR);
    return bar;
}

void CFrameWnd::SetMessageText(const char* text) {
    if (auto* bar = dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(GetMessageBar() ? GetMessageBar()->m_hWnd : nullptr)))
        bar->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT id) {
    CString s;
    s.LoadString(id);
    SetMessageText(s);
}

CMenu* CFrameWnd::GetMenu() const { return const_cast<CMenu*>(&m_menu); }

void CFrameWnd::BuildMenuBar() {
    auto* mw = qobject_cast<QMainWindow*>(m_widget);
    if (!mw || m_menu.GetMenuItemCount() == 0) return;
    QMenuBar* bar = mw->menuBar();
    bar->clear();
    QPointer<QWidget> guard(m_widget);
    for (const CMenu::Item& top : m_menu.Items()) {
        if (!top.popup) continue;
        QMenu* menu = bar->addMenu(ToQ(top.text));
        afx::BuildQtMenu(menu, *top.popup);
        std::function<void(QMenu*)> wire = [this, guard, &wire](QMenu* m) {
            QObject::connect(m, &QMenu::aboutToShow, m, [this, guard, m] {
                if (!guard) return;
                for (QAction* a : m->actions()) {
                    if (a->isSeparator() || a->menu()) continue;
                    UINT id = a->data().toUInt();
                    if (id == ID_FILE_MRU_FILE1) {
                        // The recent-file list replaces its placeholder.
                        if (CWinApp* app = AfxGetApp()) {
                            for (QAction* old : m->actions())
                                if (old->property("afxRecent").toBool()) m->removeAction(old), old->deleteLater();
                            const auto& files = app->GetRecentFiles();
                            a->setVisible(files.empty());
                            a->setEnabled(false);
                            QAction* before = a;
                            for (size_t i = files.size(); i-- > 0;) {
                                CString label;
                                label.Format("&%d %s", static_cast<int>(i + 1), files[i].GetString());
                                auto* r = new QAction(ToQ(label), m);
                                r->setData(ID_FILE_MRU_FILE1 + static_cast<UINT>(i));
                                r->setProperty("afxRecent", true);
                                m->insertAction(before, r);
                                before = r;
                            }
                        }
                        continue;
                    }
                    if (a->property("afxRecent").toBool()) continue;
                    ActionCmdUI ui(a);
                    ui.m_nID = id;
                    ui.DoUpdate(this, TRUE);
                }
            });
            // Qt hands a sub-menu's choice to its parent menus as well: each menu carries
            // out only its own items, so a command runs once.
            QObject::connect(m, &QMenu::triggered, m, [this, guard, m](QAction* a) {
                if (!guard || !a->data().isValid() || !m->actions().contains(a)) return;
                UINT id = a->data().toUInt();
                if (id) SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
            });
            QObject::connect(m, &QMenu::hovered, m, [this, guard](QAction* a) {
                if (!guard) return;
                CString prompt;
                afx::CommandStrings(a->data().toUInt(), &prompt, nullptr);
                SetMessageText(prompt);
            });
            QObject::connect(m, &QMenu::aboutToHide, m, [this, guard] {
                if (guard) SetMessageText(m_nIdleMessage);
            });
            for (QAction* a : m->actions())
                if (a->menu()) wire(a->menu());
        };
        wire(menu);
    }
}

BOOL CFrameWnd::IsCommandEnabled(UINT id) {
    StateCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(this, TRUE);
    return ui.enabled;
}

BOOL CFrameWnd::IsCommandChecked(UINT id) {
    StateCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(this, TRUE);
    return ui.checked;
}

std::vector<CFrameWnd::MenuEntry> CFrameWnd::DescribeMenu() {
    std::vector<MenuEntry> out;
    std::function<void(const CMenu&, int)> walk = [&](const CMenu& m, int depth) {
        for (const CMenu::Item& it : m.Items()) {
            if (it.separator) continue;
            if (it.popup) {
                out.push_back({it.text, 0, true, depth});
                walk(*it.popup, depth + 1);
            } else {
                out.push_back({it.text, it.id, IsCommandEnabled(it.id) != FALSE, depth});
            }
        }
    };
    walk(m_menu, 0);
    return out;
}

void CFrameWnd::RunIdleUpdate() {
    if (!m_widget) return;
    for (QToolBar* tb : m_widget->findChildren<QToolBar*>()) {
        if (auto* bar = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(afx::ToHwnd(tb)))) bar->UpdateButtons(this);
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    BOOL r = CWnd::OnCommand(wParam, lParam);
    if (m_widget) RunIdleUpdate();
    return r;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    // F10 opens the menu bar on its first menu, as on Linux desktops.
    if (msg->wParam == VK_F10 && !(msg->keyState & (MK_SHIFT | MK_CONTROL | MK_ALT))) {
        auto* mw = qobject_cast<QMainWindow*>(m_widget);
        QMenuBar* bar = mw ? mw->menuBar() : nullptr;
        if (!bar || !bar->isVisible()) return FALSE;
        for (QAction* a : bar->actions())
            if (a->isVisible() && a->isEnabled() && a->menu()) {
                bar->setActiveAction(a);
                return TRUE;
            }
        return FALSE;
    }
    const afx::AcceleratorTable* table = afx::FindAccelerators(m_nIDResource);
    if (!table) return FALSE;
    bool shift = msg->keyState & MK_SHIFT, ctrl = msg->keyState & MK_CONTROL, alt = msg->keyState & MK_ALT;
    for (const afx::AcceleratorEntry& e : table->entries) {
        if (e.key != msg->wParam) continue;
        if (bool(e.flags & afx::FSHIFT) != shift || bool(e.flags & afx::FCONTROL) != ctrl ||
            bool(e.flags & afx::FALT) != alt)
            continue;
        bool enabled = IsCommandEnabled(e.command) != FALSE;
        afx::CommandTrace::Note(e.command, enabled);
        if (enabled) SendMessage(WM_COMMAND, MAKEWPARAM(e.command, 1), 0);
        return TRUE;
    }
    return FALSE;
}

void CFrameWnd::OnClose() {
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    bool mainWindow = app && app->m_pMainWnd == this;
    if (mainWindow) {
        if (!doc && !app->SaveAllModified()) return;
        app->CloseAllDocuments(FALSE);
        app->m_pMainWnd = nullptr;
    }
    DestroyWindow();
    if (mainWindow) QCoreApplication::quit();
}

void CFrameWnd::OnSize(UINT, int, int) { Default(); }

void CFrameWnd::OnDropFiles(HDROP drop) {
    char name[4096];
    UINT n = DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    CString path;
    if (n > 0) {
        DragQueryFile(drop, 0, name, sizeof name);
        path = name;
    }
    DragFinish(drop);
    if (!path.IsEmpty())
        if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(path);
}

void CFrameWnd::OnSysCommand(UINT, LPARAM) { Default(); }

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM wParam, LPARAM) {
    auto* menu = reinterpret_cast<CMenu*>(wParam);
    if (!menu) return 0;
    for (CMenu::Item& it : menu->Items()) {
        if (it.separator || it.popup || it.id == 0) continue;
        StateCmdUI ui;
        ui.m_nID = it.id;
        ui.DoUpdate(this, TRUE);
        it.state = (it.state & ~(MF_GRAYED | MF_CHECKED)) | (ui.enabled ? 0 : MF_GRAYED) | (ui.checked ? MF_CHECKED : 0);
    }
    return 0;
}

BOOL CFrameWnd::OnBarCheck(UINT id) {
    CWnd* bar = GetDlgItem(static_cast<int>(id));
    if (!bar) return FALSE;
    bar->ShowWindow(bar->IsWindowVisible() ? SW_HIDE : SW_SHOW);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* cmdUI) {
    CWnd* bar = GetDlgItem(static_cast<int>(cmdUI->m_nID));
    if (!bar) {
        cmdUI->ContinueRouting();
        return;
    }
    cmdUI->SetCheck(bar->IsWindowVisible() ? 1 : 0);
}

void CFrameWnd::OnWidgetDestroyed() {
    CWnd::OnWidgetDestroyed();
    m_pViewActive = nullptr;
}

// Frames live on the heap, made by their document template; they go with their window.
void CFrameWnd::PostNcDestroy() { delete this; }
