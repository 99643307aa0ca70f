#include "platform/ui/window_owner.h"

#include <QApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {
QWidget* MainWindow() {
    QWidget* main = WidgetOf(AfxGetMainWnd());
    return main ? main->window() : nullptr;
}

// The mark that the toolkit's notices leave on a window that a modal window holds up.
constexpr char kHeldUp[] = "afxHeldUp";
}  // namespace

QWidget* OwnerForNewWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal->window();
    return MainWindow();
}

QWidget* AskingWindow(CWnd* given) {
    QWidget* asking = WidgetOf(given);
    if (!asking) {
        QWidget* active = QApplication::activeWindow();
        if (active && active->isVisible() && !BlockedByModal(active)) asking = active;
    }
    if (!asking) asking = QApplication::activeModalWidget();
    if (!asking) asking = MainWindow();
    return asking ? asking->window() : nullptr;
}

void SetModality(QWidget* dialog) {
    QWidget* main = MainWindow();
    bool family = false;
    for (QWidget* w = dialog->parentWidget(); w && main && !family; w = w->parentWidget()) family = w->window() == main;
    dialog->setWindowModality(family ? Qt::WindowModal : Qt::ApplicationModal);
}

bool BlockedByModal(const QWidget* window) {
    const QWindow* handle = window ? window->window()->windowHandle() : nullptr;
    return handle && handle->property(kHeldUp).toBool();
}

void NoteBlocked(QWindow* window, bool blocked) { window->setProperty(kHeldUp, blocked); }

void PlaceBeside(QWidget* window, QWidget* asker) {
    if (!window || !asker) return;
    const QRect beside = asker->frameGeometry();
    QScreen* screen = asker->screen();
    const QRect room = screen ? screen->availableGeometry() : beside;
    // The frame that the window system will add: as wide as the asker's.
    const QSize frame = beside.size() - asker->size();
    const int width = window->width() + std::max(0, frame.width());
    const int height = window->height() + std::max(0, frame.height());
    constexpr int kGap = 8;
    const int right = room.right() - beside.right() - kGap;
    const int left = beside.left() - room.left() - kGap;
    int x;
    if (width <= right) x = beside.right() + 1 + kGap;
    else if (width <= left) x = beside.left() - kGap - width;
    else x = right >= left ? room.right() + 1 - width : room.left();
    x = std::max(room.left(), x);
    const int y = std::max(room.top(), std::min(beside.top(), room.bottom() + 1 - height));
    window->move(x, y);
}

}  // namespace afx
