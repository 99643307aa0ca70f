#include "platform/ui/automation.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <QClipboard>
#include <QImage>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>
#include <QDropEvent>
#include <QTableView>
#include <cstdio>

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/text_viewer.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {
ScriptedUser* g_current = nullptr;

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter = [](const std::string& what) {
        std::fprintf(stderr, "scripted user: %s\n", what.c_str());
    };
    return reporter;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button) {
    if (type == QEvent::MouseButtonPress) {
        // As for a person's press: the first control from the pointer up that takes the
        // focus on a click gets it (the one that had it may object, and keep it).
        QPointer<QWidget> guard(target);
        for (QWidget* w = target; w; w = w->parentWidget()) {
            if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
                if (QApplication::focusWidget() != w) w->setFocus(Qt::MouseFocusReason);
                break;
            }
            if (w->isWindow()) break;
        }
        if (!guard) return;
    }
    Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void Activate(QWidget* w) {
    QWidget* top = w->window();
    if (!top->isVisible()) top->show();
    // A pop-up (an open drop-down list) keeps the input until it closes.
    if (!QApplication::activePopupWidget()) QApplication::setActiveWindow(top);
}

// Where a person's key goes: the open pop-up (a drop-down list, a menu), else the control
// that has the focus, else the active window.
QWidget* KeyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->focusWidget() ? popup->focusWidget() : popup;
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    return QApplication::activeWindow();
}

// One key pressed and let go where a person's key goes; the release goes where the focus
// is after the press (the key may have moved it or closed a window).
void SendKeyStroke(int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
    QWidget* target = KeyTarget();
    if (!target) return;
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(target, &press);
    if (QWidget* after = KeyTarget()) {
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(after, &release);
    }
}

QString KeyText(UINT vk) {
    switch (vk) {
    case VK_RETURN: return QStringLiteral("\r");
    case VK_ESCAPE: return QStringLiteral("\x1b");
    case VK_TAB: return QStringLiteral("\t");
    case VK_BACK: return QStringLiteral("\b");
    case VK_SPACE: return QStringLiteral(" ");
    default: return QString();
    }
}

Qt::KeyboardModifiers ModifiersOf(UINT keyState) {
    Qt::KeyboardModifiers mods;
    if (keyState & MK_CONTROL) mods |= Qt::ControlModifier;
    if (keyState & MK_SHIFT) mods |= Qt::ShiftModifier;
    if (keyState & MK_ALT) mods |= Qt::AltModifier;
    return mods;
}

void SendVirtualKey(UINT vk, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendKeyStroke(QtKeyOf(vk), mods, (mods & (Qt::ControlModifier | Qt::AltModifier)) ? QString() : KeyText(vk));
}

// Characters typed one by one where a person's keys go; the typing stops when `window`,
// if given, goes (a key closed it).
void SendCharacters(const char* text, QWidget* window = nullptr) {
    QPointer<QWidget> guard(window);
    for (const char* p = text; p && *p && (!window || guard); ++p) {
        unsigned char ch = static_cast<unsigned char>(*p);
        QString s(QChar(static_cast<char16_t>(Cp1252ToUnicode(ch))));
        int key = Qt::Key_unknown;
        if (ch >= 0x20 && ch < 0x7F) key = (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
        SendKeyStroke(key, Qt::NoModifier, s);
    }
}

// Where a person clicks a control: a check box or radio button on its box, any other
// control in its middle.
QPoint ClickPoint(QWidget* q) {
    QStyle::SubElement box = QStyle::SE_CustomBase;
    if (qobject_cast<QCheckBox*>(q)) box = QStyle::SE_CheckBoxIndicator;
    else if (qobject_cast<QRadioButton*>(q)) box = QStyle::SE_RadioButtonIndicator;
    if (box != QStyle::SE_CustomBase) {
        QStyleOptionButton opt;
        opt.initFrom(q);
        opt.text = static_cast<QAbstractButton*>(q)->text();
        QRect r = q->style()->subElementRect(box, &opt, q);
        if (r.isValid()) return r.center();
    }
    return q->rect().center();
}

// The left button pressed and let go on a point of a widget. A message box that the press
// brought up (a refusal from the control that lost the focus) takes the release, as it does
// under a person's hand: the widget then never sees it.
void LeftClick(QWidget* target, QPoint at) {
    QPointer<QWidget> guard(target);
    const unsigned boxes = MessageBoxesShown();
    SendMouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton);
    if (guard && MessageBoxesShown() == boxes) SendMouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}

// Closes every open pop-up menu and leaves the menu bar, with Escape.
void EscapeMenus() {
    for (int i = 0; i < 8 && QApplication::activePopupWidget(); ++i) SendVirtualKey(VK_ESCAPE);
    if (qobject_cast<QMenuBar*>(QApplication::focusWidget())) SendVirtualKey(VK_ESCAPE);
}

// Chooses item `index` of a drop-down list with the mouse: a click opens the list, the
// pointer moves onto the item and clicks it.
bool ChooseComboItem(QComboBox* cb, int index, std::string* problem) {
    QPoint at = ClickPoint(cb);
    SendMouse(cb, QEvent::MouseButtonPress, at, Qt::LeftButton);
    QAbstractItemView* view = cb->view();
    if (!QApplication::activePopupWidget() || !view || !view->isVisible()) {
        SendMouse(cb, QEvent::MouseButtonRelease, at, Qt::LeftButton);
        *problem = "its list did not open";
        return false;
    }
    QModelIndex item = cb->model()->index(index, cb->modelColumn(), cb->rootModelIndex());
    view->scrollTo(item);
    QRect r = view->visualRect(item);
    QWidget* vp = view->viewport();
    // The pointer travels from where it pressed to the item.
    const QPoint pressed = cb->mapToGlobal(at);
    QPoint via = r.center();
    for (QPoint p : {QPoint(r.left() + 2, r.center().y()), QPoint(r.right() - 2, r.center().y())})
        if ((vp->mapToGlobal(p) - pressed).manhattanLength() > (vp->mapToGlobal(via) - pressed).manhattanLength()) via = p;
    SendMouse(vp, QEvent::MouseMove, via, Qt::NoButton);
    SendMouse(vp, QEvent::MouseMove, r.center(), Qt::NoButton);
    LeftClick(vp, r.center());
    if (QApplication::activePopupWidget()) {
        EscapeMenus();
        *problem = "its item " + std::to_string(index) + " could not be chosen";
        return false;
    }
    return true;
}
}  // namespace

// --- DialogDriver ----------------------------------------------------------------------------

UINT DialogDriver::TemplateId() const { return m_dialog.GetTemplateId(); }

CString DialogDriver::Caption() const {
    CString s;
    m_dialog.GetWindowText(s);
    return s;
}

CString PlainMenuText(const CString& text) {
    const std::string& s = text.str();
    std::string out;
    for (size_t i = 0; i < s.size() && s[i] != '\t'; ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return CString(std::move(out));
}

QWidget* DialogDriver::Control(int id, const char* action) const {
    CWnd* w = m_dialog.GetDlgItem(id);
    QWidget* q = WidgetOf(w);
    if (!q && g_current)
        g_current->Fail("dialog " + std::to_string(m_dialog.GetTemplateId()) + " has no control " + std::to_string(id) +
                        " to " + action);
    return q;
}

// A dialog below a modal one that does not own it takes no input: reported as a failure.
static bool FailIfBlocked(QWidget* q, CDialog& dlg, const char* action) {
    if (!BlockedByModal(q)) return false;
    if (g_current)
        g_current->Fail("dialog " + std::to_string(dlg.GetTemplateId()) +
                        " takes no input while a modal dialog above it is open: cannot " + action);
    return true;
}

static bool Usable(QWidget* q, CDialog& dlg, int id, const char* action) {
    QWidget* top = WidgetOf(&dlg);
    if (FailIfBlocked(q, dlg, action)) return false;
    if (q->isEnabled() && q->isVisibleTo(top)) return true;
    if (g_current)
        g_current->Fail("control " + std::to_string(id) + " of dialog " + std::to_string(dlg.GetTemplateId()) + " is " +
                        (q->isEnabled() ? "hidden" : "disabled") + ": cannot " + action);
    return false;
}

void DialogDriver::Click(int id) {
    QWidget* q = Control(id, "click");
    if (!q || !Usable(q, m_dialog, id, "click")) return;
    Activate(q);
    LeftClick(q, ClickPoint(q));
}

void DialogDriver::Focus(int id) {
    QWidget* q = Control(id, "focus");
    if (!q || !Usable(q, m_dialog, id, "focus")) return;
    Activate(q);
    q->setFocus(Qt::TabFocusReason);
}

void DialogDriver::Type(int id, const char* text) {
    QWidget* q = Control(id, "type into");
    if (!q || !Usable(q, m_dialog, id, "type into")) return;
    Activate(q);
    q->setFocus(Qt::TabFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(q)) {
        // Typed key by key over the selected old text, so the edit's limits apply.
        e->selectAll();
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(e, &del);
        TypeKeys(text);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(q)) {
        p->selectAll();
        p->insertPlainText(ToQ(text));
    } else if (auto* c = qobject_cast<QComboBox*>(q); c && c->isEditable()) {
        c->setEditText(ToQ(text));
    } else if (g_current) {
        g_current->Fail("control " + std::to_string(id) + " takes no typing");
    }
}

void DialogDriver::Key(UINT vk) {
    QWidget* dlg = WidgetOf(&m_dialog);
    if (!dlg || FailIfBlocked(dlg, m_dialog, "press a key")) return;
    Activate(dlg);
    // As a person's key: to the open drop-down list or the control that has the focus.
    SendVirtualKey(vk);
}

void DialogDriver::TypeKeys(const char* text) {
    QWidget* dlg = WidgetOf(&m_dialog);
    if (!dlg || !text) return;
    Activate(dlg);
    SendCharacters(text, dlg);
}

void DialogDriver::Select(int id, int index) {
    QWidget* q = Control(id, "select in");
    if (!q || !Usable(q, m_dialog, id, "select in")) return;
    Activate(q);
    if (auto* lw = qobject_cast<QListWidget*>(q)) {
        if (index < 0 || index >= lw->count()) {
            if (g_current) g_current->Fail("list " + std::to_string(id) + " has no item " + std::to_string(index));
            return;
        }
        lw->setFocus(Qt::MouseFocusReason);
        lw->scrollToItem(lw->item(index));
        QRect r = lw->visualItemRect(lw->item(index));
        QPoint p(r.right() - 4, r.center().y());
        SendMouse(lw->viewport(), QEvent::MouseButtonPress, p, Qt::LeftButton);
        SendMouse(lw->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton);
    } else if (auto* cb = qobject_cast<QComboBox*>(q)) {
        if (index < 0 || index >= cb->count()) {
            if (g_current) g_current->Fail("combo " + std::to_string(id) + " has no item " + std::to_string(index));
            return;
        }
        std::string problem;
        if (!ChooseComboItem(cb, index, &problem) && g_current)
            g_current->Fail("combo " + std::to_string(id) + ": " + problem);
    } else if (g_current) {
        g_current->Fail("control " + std::to_string(id) + " has no items to select");
    }
}

void DialogDriver::DoubleClick(int id, int index) {
    QWidget* q = Control(id, "double-click");
    if (!q || !Usable(q, m_dialog, id, "double-click")) return;
    Activate(q);
    auto* lw = qobject_cast<QListWidget*>(q);
    if (!lw || index < 0 || index >= lw->count()) {
        if (g_current) g_current->Fail("list " + std::to_string(id) + " has no item " + std::to_string(index));
        return;
    }
    lw->setFocus(Qt::MouseFocusReason);
    lw->scrollToItem(lw->item(index));
    QRect r = lw->visualItemRect(lw->item(index));
    QPoint p(r.right() - 4, r.center().y());
    QWidget* vp = lw->viewport();
    SendMouse(vp, QEvent::MouseButtonPress, p, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonRelease, p, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonDblClick, p, Qt::LeftButton);
    if (WidgetOf(&m_dialog)) SendMouse(vp, QEvent::MouseButtonRelease, p, Qt::LeftButton);
}

void DialogDriver::Tick(int id, int index) {
    QWidget* q = Control(id, "tick");
    if (!q || !Usable(q, m_dialog, id, "tick")) return;
    Activate(q);
    auto* lw = qobject_cast<QListWidget*>(q);
    if (!lw || index < 0 || index >= lw->count()) {
        if (g_current) g_current->Fail("check list " + std::to_string(id) + " has no item " + std::to_string(index));
        return;
    }
    lw->setFocus(Qt::MouseFocusReason);
    lw->scrollToItem(lw->item(index));
    QStyleOptionViewItem opt;
    opt.initFrom(lw->viewport());
    opt.rect = lw->visualItemRect(lw->item(index));
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    opt.features |= QStyleOptionViewItem::HasDisplay;
    QRect box = lw->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, lw);
    QPoint p = box.isValid() ? box.center() : QPoint(opt.rect.left() + 8, opt.rect.center().y());
    SendMouse(lw->viewport(), QEvent::MouseButtonPress, p, Qt::LeftButton);
    if (WidgetOf(&m_dialog)) SendMouse(lw->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton);
}

void DialogDriver::EditCell(int id, int row, int column, const char* text, UINT endKey) {
    QWidget* q = Control(id, "edit a cell of");
    if (!q || !Usable(q, m_dialog, id, "edit a cell of")) return;
    auto* lw = qobject_cast<QListWidget*>(q);
    if (!lw) {
        if (g_current) g_current->Fail("control " + std::to_string(id) + " has no items to edit in place");
        return;
    }
    if (column != 0) {
        if (g_current) g_current->Fail("list " + std::to_string(id) + " has one column: no column " + std::to_string(column));
        return;
    }
    DoubleClick(id, row);
    if (!WidgetOf(&m_dialog)) return;
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!edit || !lw->isAncestorOf(edit) || !edit->isVisible()) {
        if (g_current)
            g_current->Fail("list " + std::to_string(id) + " opened no edit over its item " + std::to_string(row));
        return;
    }
    // The old text is selected: the new one replaces it key by key, then a key ends the edit.
    edit->selectAll();
    SendVirtualKey(VK_DELETE);
    TypeKeys(text);
    if (WidgetOf(&m_dialog) && QApplication::focusWidget() == edit) SendVirtualKey(endKey);
}

void DialogDriver::RightClick(int id) {
    QWidget* q = Control(id, "right-click");
    if (!q) return;
    QWidget* target = q;
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(q)) target = sa->viewport();
    RightClickAt(id, target->width() / 2, target->height() / 2);
}

void DialogDriver::RightClickAt(int id, int x, int y) {
    QWidget* q = Control(id, "right-click");
    if (!q || !Usable(q, m_dialog, id, "right-click")) return;
    Activate(q);
    QWidget* target = q;
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(q)) target = sa->viewport();
    QPoint p(x, y);
    SendMouse(target, QEvent::MouseButtonPress, p, Qt::RightButton);
    SendMouse(target, QEvent::MouseButtonRelease, p, Qt::RightButton);
    QContextMenuEvent ce(QContextMenuEvent::Mouse, p, target->mapToGlobal(p));
    QApplication::sendEvent(target, &ce);
}

void DialogDriver::CloseBox() {
    QWidget* dlg = WidgetOf(&m_dialog);
    if (!dlg) return;
    QCloseEvent e;
    QApplication::sendEvent(dlg, &e);
}

CString DialogDriver::Text(int id) const {
    CWnd* w = m_dialog.GetDlgItem(id);
    CString s;
    if (w) w->GetWindowText(s);
    else if (g_current) g_current->Fail("dialog has no control " + std::to_string(id) + " to read");
    return s;
}

bool DialogDriver::Exists(int id) const { return m_dialog.GetDlgItem(id) != nullptr; }

bool DialogDriver::IsEnabled(int id) const {
    QWidget* q = Control(id, "inspect");
    return q && q->isEnabled();
}

bool DialogDriver::IsVisible(int id) const {
    QWidget* q = Control(id, "inspect");
    return q && q->isVisibleTo(WidgetOf(&m_dialog));
}

int DialogDriver::Checked(int id) const {
    QWidget* q = Control(id, "inspect");
    auto* b = qobject_cast<QAbstractButton*>(q);
    return b && b->isChecked() ? 1 : 0;
}

int DialogDriver::FocusId() const {
    QWidget* f = QApplication::focusWidget();
    for (QWidget* w = f; w; w = w->parentWidget()) {
        WindowBinding* b = WindowBinding::Of(w);
        if (b && !w->isWindow()) return b->id;
        if (w->isWindow()) break;
    }
    return 0;
}

std::vector<CString> DialogDriver::Items(int id) const {
    std::vector<CString> out;
    QWidget* q = Control(id, "list");
    if (auto* lw = qobject_cast<QListWidget*>(q))
        for (int i = 0; i < lw->count(); ++i) out.push_back(FromQ(lw->item(i)->text()));
    else if (auto* cb = qobject_cast<QComboBox*>(q))
        for (int i = 0; i < cb->count(); ++i) out.push_back(FromQ(cb->itemText(i)));
    return out;
}

int DialogDriver::Selected(int id) const {
    QWidget* q = Control(id, "inspect");
    if (auto* lw = qobject_cast<QListWidget*>(q)) {
        auto sel = lw->selectedItems();
        return sel.isEmpty() ? -1 : lw->row(sel.first());
    }
    if (auto* cb = qobject_cast<QComboBox*>(q)) return cb->currentIndex();
    return -1;
}

bool DialogDriver::IsTicked(int id, int index) const {
    auto* lw = qobject_cast<QListWidget*>(Control(id, "inspect"));
    return lw && index >= 0 && index < lw->count() && lw->item(index)->checkState() == Qt::Checked;
}

CDialog* FindOpenDialog(UINT templateId) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(w)));
        if (dlg && dlg->GetTemplateId() == templateId && !dlg->HasEnded() && dlg->IsWindowVisible()) return dlg;
    }
    return nullptr;
}

std::vector<CString> DialogDriver::Dump(int id) const {
    std::vector<CString> out;
    QWidget* q = Control(id, "dump");
    if (!q) return out;
    if (qobject_cast<QLabel*>(q)) {
        CString text;
        m_dialog.GetDlgItem(id)->GetWindowText(text);
        out.push_back(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(q)) {
        out.push_back(FromQ(e->text()));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(q)) {
        out.push_back(FromQ(p->toPlainText()));
    } else if (qobject_cast<QListWidget*>(q) || qobject_cast<QComboBox*>(q)) {
        out = Items(id);
    } else if (auto* t = qobject_cast<QTableView*>(q); t && t->model()) {
        afx::ProcessPendingEvents();
        QAbstractItemModel* m = t->model();
        QString line;
        for (int c = 0; c < m->columnCount(); ++c)
            line += (c ? QStringLiteral("\t") : QString()) + m->headerData(c, Qt::Horizontal).toString();
        out.push_back(FromQ(line));
        for (int r = 0; r < m->rowCount(); ++r) {
            line.clear();
            for (int c = 0; c < m->columnCount(); ++c)
                line += (c ? QStringLiteral("\t") : QString()) + ShownCellText(t, r, c);
            out.push_back(FromQ(line));
        }
    } else if (g_current) {
        g_current->Fail("control " + std::to_string(id) + " shows nothing to dump");
    }
    return out;
}

bool DialogDriver::SavePng(const char* path) const {
    QWidget* dlg = WidgetOf(&m_dialog);
    if (!dlg) return false;
    return dlg->grab().save(QString::fromUtf8(Cp1252ToUtf8(path ? path : "")), "PNG");
}

// --- ScriptedUser ----------------------------------------------------------------------------

ScriptedUser::ScriptedUser() : m_previous(g_current) { g_current = this; }

ScriptedUser::~ScriptedUser() {
    g_current = m_previous;
    for (auto& d : m_dialogs)
        if (!d.second.empty())
            Reporter()("dialog " + std::to_string(d.first) + " was expected but never opened (" +
                       std::to_string(d.second.size()) + " handler(s) left)");
    if (!m_messageBoxes.empty())
        Reporter()(std::to_string(m_messageBoxes.size()) + " expected message box(es) never appeared");
    if (!m_fileDialogs.empty()) Reporter()("an expected file prompt never appeared");
    if (!m_popups.empty()) Reporter()("an expected pop-up menu never appeared");
    if (!m_printDialogs.empty()) Reporter()("an expected print dialog never appeared");
}

void ScriptedUser::SetFailureReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

void ScriptedUser::OnDialog(UINT templateId, std::function<void(DialogDriver&)> handler) {
    m_dialogs[templateId].push_back(std::move(handler));
}

void ScriptedUser::OnMessageBox(std::function<int(const CString&, UINT)> answer) {
    m_messageBoxes.push_back(std::move(answer));
}

void ScriptedUser::OnFileDialog(std::function<bool(FileDialogRequest&)> answer) {
    m_fileDialogs.push_back(std::move(answer));
}

void ScriptedUser::OnPopupMenu(std::function<UINT(const PopupMenuRequest&)> answer) {
    m_popups.push_back(std::move(answer));
}

void ScriptedUser::OnPrintDialog(std::function<bool(PrintDialogRequest&)> answer) {
    m_printDialogs.push_back(std::move(answer));
}

bool ScriptedUser::AllAnswered() const {
    for (const auto& d : m_dialogs)
        if (!d.second.empty()) return false;
    return m_messageBoxes.empty() && m_fileDialogs.empty() && m_popups.empty() && m_printDialogs.empty() &&
           m_failures.empty();
}

std::vector<std::string> ScriptedUser::TakeUnused() {
    std::vector<std::string> out;
    for (auto& d : m_dialogs) {
        if (!d.second.empty())
            out.push_back("dialog " + std::to_string(d.first) + " was expected but never opened (" +
                          std::to_string(d.second.size()) + " handler(s) left)");
        d.second.clear();
    }
    if (!m_messageBoxes.empty())
        out.push_back(std::to_string(m_messageBoxes.size()) + " expected message box(es) never appeared");
    if (!m_fileDialogs.empty())
        out.push_back(std::to_string(m_fileDialogs.size()) + " expected file prompt(s) never appeared");
    if (!m_popups.empty()) out.push_back(std::to_string(m_popups.size()) + " expected pop-up menu(s) never appeared");
    if (!m_printDialogs.empty())
        out.push_back(std::to_string(m_printDialogs.size()) + " expected print dialog(s) never appeared");
    m_messageBoxes.clear();
    m_fileDialogs.clear();
    m_popups.clear();
    m_printDialogs.clear();
    return out;
}

void ScriptedUser::Fail(const std::string& what) {
    m_failures.push_back(what);
    Reporter()(what);
}

int ScriptedUser::RunModal(CDialog& dialog) {
    UINT id = dialog.GetTemplateId();
    auto& queue = m_dialogs[id];
    CString caption;
    dialog.GetWindowText(caption);
    if (queue.empty()) {
        Fail("unexpected dialog " + std::to_string(id) + " \"" + Cp1252ToUtf8(caption.str()) + "\"");
        // The first unexpected dialog is cancelled; after that, dialogs fail to open, so a
        // chain of pages that shows a cancelled page again cannot loop for ever.
        dialog.EndDialog(m_unexpectedDialogs++ == 0 ? IDCANCEL : -1);
        return dialog.GetModalResult();
    }
    while (!dialog.HasEnded()) {
        if (queue.empty()) {
            Fail("dialog " + std::to_string(id) + " \"" + Cp1252ToUtf8(caption.str()) +
                 "\" stayed open with no handler left");
            dialog.EndDialog(m_unexpectedDialogs++ == 0 ? IDCANCEL : -1);
            break;
        }
        auto handler = std::move(queue.front());
        queue.pop_front();
        DialogDriver driver(dialog);
        handler(driver);
    }
    return dialog.GetModalResult();
}

int ScriptedUser::AnswerMessageBox(const CString& text, const CString& caption, UINT type, const CString& owner) {
    m_messages.push_back(text);
    m_captions.push_back(caption);
    m_messageOwners.push_back(owner);
    if (m_messageBoxes.empty()) {
        Fail("unexpected message box \"" + Cp1252ToUtf8(text.str()) + "\"");
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL: return IDCANCEL;
        case MB_YESNO: return IDNO;
        default: return IDOK;
        }
    }
    auto answer = std::move(m_messageBoxes.front());
    m_messageBoxes.pop_front();
    return answer(text, type);
}

bool ScriptedUser::AnswerFileDialog(FileDialogRequest& request) {
    if (m_fileDialogs.empty()) {
        Fail("unexpected file prompt \"" + Cp1252ToUtf8(request.title.str()) + "\"");
        return false;
    }
    auto answer = std::move(m_fileDialogs.front());
    m_fileDialogs.pop_front();
    return answer(request);
}

bool ScriptedUser::AnswerPrintDialog(PrintDialogRequest& request) {
    if (m_printDialogs.empty()) {
        Fail("unexpected print dialog");
        return false;
    }
    auto answer = std::move(m_printDialogs.front());
    m_printDialogs.pop_front();
    return answer(request);
}

UINT ScriptedUser::ChoosePopupCommand(const CMenu& menu, CPoint point) {
    PopupMenuRequest req;
    req.point = point;
    for (const CMenu::Item& it : menu.Items()) {
        req.items.emplace_back(it.separator ? CString() : it.text, it.popup || it.separator ? 0u : it.id);
        req.enabled.push_back(!(it.state & (MF_GRAYED | MF_DISABLED)));
    }
    if (m_popups.empty()) {
        Fail("unexpected pop-up menu");
        return 0;
    }
    auto answer = std::move(m_popups.front());
    m_popups.pop_front();
    UINT chosen = answer(req);
    for (size_t i = 0; i < req.items.size(); ++i)
        if (chosen != 0 && req.items[i].second == chosen && !req.enabled[i]) {
            Fail("chose a greyed menu item " + std::to_string(chosen));
            return 0;
        }
    return chosen;
}

void PressKey(CWnd* wnd, UINT vk, UINT keyState) {
    QWidget* w = WidgetOf(wnd);
    if (!w) return;
    Activate(w);
    QWidget* target = QApplication::focusWidget();
    if (!target || (target != w && !w->isAncestorOf(target))) target = w;
    const Qt::KeyboardModifiers mods = ModifiersOf(keyState);
    QString text = (keyState & (MK_CONTROL | MK_ALT)) ? QString() : KeyText(vk);
    QKeyEvent press(QEvent::KeyPress, QtKeyOf(vk), mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, QtKeyOf(vk), mods, text);
    QApplication::sendEvent(target, &release);
}

bool SaveWindowPng(CWnd* wnd, const char* path) {
    QWidget* w = WidgetOf(wnd);
    if (!w) return false;
    QApplication::processEvents();
    return w->grab().save(QString::fromUtf8(Cp1252ToUtf8(path ? path : "")), "PNG");
}

CString ShownItemText(CWnd* list, int item, int subItem) {
    ProcessPendingEvents();
    return FromQ(ShownCellText(qobject_cast<QTableView*>(WidgetOf(list)), item, subItem));
}

void DropFiles(CWnd* wnd, const std::vector<CString>& paths) {
    QWidget* w = WidgetOf(wnd);
    if (!w) return;
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const CString& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(Cp1252ToUtf8(p.str())));
    data->setUrls(urls);
    QPoint at = w->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    if (enter.isAccepted()) {
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &drop);
    }
    delete data;
}

void ClickHeader(CWnd* list, int column) {
    auto* view = qobject_cast<QTableView*>(WidgetOf(list));
    if (!view) return;
    afx::ProcessPendingEvents();
    QHeaderView* header = view->horizontalHeader();
    int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QPoint p(x, header->height() / 2);
    SendMouse(header->viewport(), QEvent::MouseButtonPress, p, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton);
}

void PointAtToolbarButton(CWnd* toolbar, int index) {
    auto* tb = qobject_cast<QToolBar*>(WidgetOf(toolbar));
    if (!tb || index < 0 || index >= tb->actions().size()) return;
    QWidget* button = tb->widgetForAction(tb->actions().at(index));
    for (QWidget* w : {static_cast<QWidget*>(tb), button}) {
        if (!w) continue;
        QPoint at = w == tb ? button->geometry().center() : button->rect().center();
        const QPointF local(at);
        QEnterEvent enter(local, local, QPointF(w->mapToGlobal(at)));
        QApplication::sendEvent(w, &enter);
    }
}

void PointerLeaves(CWnd* wnd) {
    QWidget* w = WidgetOf(wnd);
    if (!w) return;
    // Every control under the pointer is left, then the window itself.
    for (QWidget* child : w->findChildren<QWidget*>())
        if (child->underMouse() || child->testAttribute(Qt::WA_UnderMouse)) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(child, &leave);
        }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
}

bool SaveClipboardImagePng(const char* path) {
    QImage image = QApplication::clipboard()->image();
    if (image.isNull()) return false;
    return image.save(QString::fromUtf8(Cp1252ToUtf8(path ? path : "")), "PNG");
}

bool ScriptedUser::RunPrintDialog(QDialog& dialog, PrintDialogRequest& request) {
    // What the person will do, asked before the dialog shows, so a test sees its settings.
    const bool print = AnswerPrintDialog(request);
    if (print && request.outputFile.IsEmpty()) Fail("the print dialog was accepted without an output file");
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    // The dialog's own questions: overwriting the file asked for is confirmed; any other
    // message is a failure and is closed.
    QTimer boxes;
    boxes.setInterval(20);
    QObject::connect(&boxes, &QTimer::timeout, &boxes, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (box->icon() == QMessageBox::Question && box->button(QMessageBox::Yes)) {
            LeftClick(box->button(QMessageBox::Yes), box->button(QMessageBox::Yes)->rect().center());
            return;
        }
        Fail("the print dialog said \"" + Cp1252ToUtf8(FromQ(box->text()).str()) + "\"");
        box->reject();
    });
    boxes.start();
    if (!print || request.outputFile.IsEmpty()) {
        SendVirtualKey(VK_ESCAPE);
    } else {
        auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
        auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
        int pdf = printers ? printers->count() - 1 : -1;
        std::string problem;
        if (!printers || !file || !ok || pdf < 0) {
            Fail("the print dialog has no printer list, file name or Print button");
        } else if (!printers->itemText(pdf).contains(QStringLiteral("PDF"))) {
            Fail("the print dialog offers no PDF output");
        } else if (!ChooseComboItem(printers, pdf, &problem)) {
            Fail("the print dialog's printer list: " + problem);
        } else if (!file->isEnabled()) {
            Fail("the print dialog takes no file name for the PDF output");
        } else {
            file->setFocus(Qt::MouseFocusReason);
            file->selectAll();
            SendVirtualKey(VK_DELETE);
            SendCharacters(request.outputFile);
            // A list of completions that opened while typing is closed, as a person would.
            if (QApplication::activePopupWidget()) SendVirtualKey(VK_ESCAPE);
            LeftClick(ok, ok->rect().center());
        }
    }
    boxes.stop();
    bool accepted = !dialog.isVisible() && dialog.result() == QDialog::Accepted;
    if (dialog.isVisible()) {
        Fail(print ? "the print dialog stayed open after \"Print\"" : "the print dialog stayed open after Escape");
        dialog.reject();
    }
    dialog.hide();
    // A list of completions that opened late goes with its dialog.
    for (int i = 0; i < 4 && QApplication::activePopupWidget(); ++i) QApplication::activePopupWidget()->close();
    return print && accepted;
}

MenuChoice ChooseMenuCommand(CWnd* frame, const std::vector<CString>& path, std::string* problem) {
    auto* window = qobject_cast<QMainWindow*>(WidgetOf(frame));
    QMenuBar* bar = window ? window->menuBar() : nullptr;
    if (!bar || path.empty()) {
        *problem = "there is no menu bar";
        return MenuChoice::Other;
    }
    if (BlockedByModal(window)) {
        *problem = "the main window takes no input while a modal dialog is open";
        return MenuChoice::Other;
    }
    auto find = [](const QList<QAction*>& actions, const CString& text) -> QAction* {
        for (QAction* a : actions)
            if (!a->isSeparator() && a->isVisible() && PlainMenuText(FromQ(a->text())) == text) return a;
        return nullptr;
    };
    QAction* top = find(bar->actions(), path[0]);
    if (!top || !top->menu()) {
        *problem = "the menu has no command";
        return MenuChoice::NoCommand;
    }
    Activate(window);
    SendVirtualKey(VK_F10);
    if (!qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        EscapeMenus();
        *problem = "F10 opened no menu";
        return MenuChoice::Other;
    }
    for (int i = 0; bar->activeAction() != top && i <= static_cast<int>(bar->actions().size()); ++i)
        SendVirtualKey(VK_RIGHT);
    QMenu* menu = top->menu();
    if (bar->activeAction() != top || QApplication::activePopupWidget() != menu) {
        EscapeMenus();
        *problem = "the arrow keys did not reach the menu";
        return MenuChoice::Other;
    }
    for (size_t level = 1; level < path.size(); ++level) {
        const bool last = level + 1 == path.size();
        QAction* want = find(menu->actions(), path[level]);
        if (!want || last == (want->menu() != nullptr)) {
            EscapeMenus();
            *problem = "the menu has no command";
            return MenuChoice::NoCommand;
        }
        if (!want->isEnabled()) {
            EscapeMenus();
            *problem = "the menu item is greyed";
            return MenuChoice::Greyed;
        }
        for (int i = 0; menu->activeAction() != want && i <= static_cast<int>(menu->actions().size()); ++i)
            SendVirtualKey(VK_DOWN);
        if (menu->activeAction() != want) {
            EscapeMenus();
            *problem = "the arrow keys did not reach the item";
            return MenuChoice::Other;
        }
        if (last) {
            SendVirtualKey(VK_RETURN);
            return MenuChoice::Chosen;
        }
        SendVirtualKey(VK_RIGHT);
        menu = want->menu();
        if (QApplication::activePopupWidget() != menu) {
            EscapeMenus();
            *problem = "the sub-menu did not open";
            return MenuChoice::Other;
        }
    }
    EscapeMenus();
    *problem = "the path names a menu, not a command";
    return MenuChoice::Other;
}

namespace {
QWidget* UsableTextViewer(std::string* problem) {
    QWidget* viewer = MostRecentTextViewer();
    if (!viewer) *problem = "no text viewer is open";
    else if (BlockedByModal(viewer)) *problem = "the text viewer takes no input while a modal dialog is open";
    else return viewer;
    return nullptr;
}
}  // namespace

bool TextViewerKey(UINT vk, std::string* problem, UINT keyState) {
    QWidget* viewer = UsableTextViewer(problem);
    if (!viewer) return false;
    Activate(viewer);
    // A window that has no focused control gives the focus to its first one.
    if (!viewer->isAncestorOf(QApplication::focusWidget()))
        for (QWidget* w = viewer->nextInFocusChain(); w && w != viewer; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
    SendVirtualKey(vk, ModifiersOf(keyState));
    return true;
}

bool TextViewerClick(const CString& caption, std::string* problem) {
    QWidget* viewer = UsableTextViewer(problem);
    if (!viewer) return false;
    for (QAbstractButton* b : viewer->findChildren<QAbstractButton*>())
        if (b->isVisible() && PlainMenuText(FromQ(b->text())) == caption) {
            Activate(viewer);
            LeftClick(b, b->rect().center());
            return true;
        }
    *problem = "the text viewer has no button \"" + Cp1252ToUtf8(caption.str()) + "\"";
    return false;
}

std::string TextViewerState() {
    if (!MostRecentTextViewer()) return "closed";
    return TextViewerTopLine() > 0 ? "open, scrolled" : "open, at the top";
}

namespace {
CommandTrace* g_trace = nullptr;
}

CommandTrace::CommandTrace() : m_previous(g_trace) { g_trace = this; }
CommandTrace::~CommandTrace() { g_trace = m_previous; }
void CommandTrace::Note(UINT id, bool enabled) {
    if (g_trace) g_trace->m_entries.push_back({id, enabled});
}

namespace automation {
bool Active() { return g_current != nullptr; }
ScriptedUser* Current() { return g_current; }
int RunModal(CDialog& dialog) { return g_current ? g_current->RunModal(dialog) : IDCANCEL; }
int AnswerMessageBox(const CString& text, const CString& caption, UINT type, const CString& owner) {
    return g_current ? g_current->AnswerMessageBox(text, caption, type, owner) : IDCANCEL;
}
bool AnswerFileDialog(FileDialogRequest& request) { return g_current && g_current->AnswerFileDialog(request); }
UINT ChoosePopupCommand(const CMenu& menu, CPoint point) {
    return g_current ? g_current->ChoosePopupCommand(menu, point) : 0;
}
bool AnswerPrintDialog(PrintDialogRequest& request) { return g_current && g_current->AnswerPrintDialog(request); }
bool RunPrintDialog(QDialog& dialog, PrintDialogRequest& request) {
    return g_current && g_current->RunPrintDialog(dialog, request);
}
void NoteProcessStart(const char* program, const char* folder, bool started) {
    if (g_current) g_current->NoteProcessStart({CString(program), CString(folder), started});
}
void NoteTextViewer(const TextViewerRequest& request) {
    if (g_current) g_current->NoteTextViewer(request);
}
}  // namespace automation

}  // namespace afx
