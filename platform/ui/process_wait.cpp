#include "platform/ui/process_wait.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QObject>

#include "platform/ui/automation.h"

namespace afx {

namespace {
// Eats user input and close requests while a program runs; painting, timers and the
// toolkit's own work go through.
class InputBlocker : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Close:
            e->ignore();
            return true;
        default:
            return false;
        }
    }
};
}  // namespace

bool StartHiddenProcess(const char* program, const char* folder, ProcessHandle* process, int* error) {
    int err = 0;
    bool started = StartProcess(program, folder, process, &err);
    if (error) *error = err;
    automation::NoteProcessStart(program, folder, started);
    return started;
}

bool WaitForProcessPainting(ProcessHandle& process, unsigned long timeoutMs, int* exitCode) {
    if (process.pid == 0) return true;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return WaitForProcess(process, timeoutMs, {}, exitCode);
    InputBlocker blocker;
    app->installEventFilter(&blocker);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ended = WaitForProcess(
        process, timeoutMs, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }, exitCode);
    QApplication::restoreOverrideCursor();
    app->removeEventFilter(&blocker);
    return ended;
}

}  // namespace afx
