#include "platform/ui/window_owner.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {
QWidget* MainWindow() {
    QWidget* main = WidgetOf(AfxGetMainWnd());
    return main ? main->window() : nullptr;
}

// Watches the owner of a modeless window: when the owner hides (its dialog ends), the
// window is handed to the main window before the owner and its children go.
class OwnerWatch : public QObject {
public:
    OwnerWatch(QWidget* owner, QWidget* window) : QObject(owner), m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Hide && watched == parent() && m_window) Rehome();
        return false;
    }

private:
    void Rehome() {
        QWidget* window = m_window;
        m_window = nullptr;
        QWidget* main = MainWindow();
        if (!window->isVisible() || !main || main == window->parentWidget()) return;
        // Where the person left it: its frame's position and its size.
        const QPoint at = window->pos();
        const QSize size = window->size();
        window->setParent(main, window->windowFlags());
        window->resize(size);
        window->move(at);
        window->show();
        // The window system places a window shown anew: it is put back where it was.
        if (QWindow* handle = window->windowHandle()) handle->setFramePosition(at);
    }
    QPointer<QWidget> m_window;
};
}  // namespace

QWidget* OwnerForNewWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal->window();
    return MainWindow();
}

QWidget* AskingWindow(CWnd* given) {
    QWidget* asking = WidgetOf(given);
    if (!asking) {
        QWidget* active = QApplication::activeWindow();
        QWindow* modal = QGuiApplication::modalWindow();
        QWindow* handle = active ? active->windowHandle() : nullptr;
        if (handle && active->isVisible() &&
            (!modal || modal == handle || modal->isAncestorOf(handle, QWindow::IncludeTransients)))
            asking = active;
    }
    if (!asking) asking = QApplication::activeModalWidget();
    if (!asking) asking = MainWindow();
    return asking ? asking->window() : nullptr;
}

void OutliveOwner(QWidget* window) {
    if (!window) return;
    QWidget* owner = window->parentWidget();
    if (!owner || owner == MainWindow()) return;
    owner = owner->window();
    owner->installEventFilter(new OwnerWatch(owner, window));
}

}  // namespace afx
