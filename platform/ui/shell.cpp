#include "platform/ui/shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QPalette>
#include <QScreen>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/paths.h"
#include "platform/ui/qt_bridge.h"

extern char** environ;

namespace afx {

namespace {
LinkOpener& InstalledOpener() {
    static LinkOpener opener;
    return opener;
}

// Openers left running by an earlier call, reaped once they end.
std::vector<pid_t>& Pending() {
    static std::vector<pid_t> pending;
    return pending;
}

void ReapPending() {
    std::erase_if(Pending(), [](pid_t pid) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

OpenOutcome OutcomeOf(int status) {
    if (WIFEXITED(status)) return {OpenOutcome::Exited, WEXITSTATUS(status)};
    if (WIFSIGNALED(status)) return {OpenOutcome::Signalled, WTERMSIG(status)};
    return {OpenOutcome::Exited, 0};
}
}  // namespace

LinkOpener SetLinkOpener(LinkOpener opener) {
    LinkOpener previous = std::move(InstalledOpener());
    InstalledOpener() = std::move(opener);
    return previous;
}

OpenOutcome OpenLink(const CString& target) {
    if (InstalledOpener()) return InstalledOpener()(target);
    return RunXdgOpen(target);
}

OpenOutcome RunXdgOpen(const CString& target, int waitMs) {
    ReapPending();
    std::string program = "xdg-open";
    std::string argument = NativePath(target);
    char* argv[] = {program.data(), argument.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {OpenOutcome::StartFailed, rc};

    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return OutcomeOf(status);
        if (r < 0 && errno != EINTR) return {OpenOutcome::Exited, 0};   // reaped elsewhere: no status to report
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Pending().push_back(pid);
    return {OpenOutcome::StillRunning, 0};
}

}  // namespace afx

// --- System colours --------------------------------------------------------------------------

COLORREF GetSysColor(int index) {
    QPalette::ColorRole role;
    QPalette::ColorGroup group = QPalette::Active;
    COLORREF fallback;
    switch (index) {
    case COLOR_WINDOW: role = QPalette::Base; fallback = RGB(255, 255, 255); break;
    case COLOR_WINDOWTEXT: role = QPalette::Text; fallback = RGB(0, 0, 0); break;
    case COLOR_HIGHLIGHT: role = QPalette::Highlight; fallback = RGB(0, 120, 215); break;
    case COLOR_HIGHLIGHTTEXT: role = QPalette::HighlightedText; fallback = RGB(255, 255, 255); break;
    case COLOR_BTNFACE: role = QPalette::Button; fallback = RGB(240, 240, 240); break;
    case COLOR_GRAYTEXT:
        role = QPalette::Text;
        group = QPalette::Disabled;
        fallback = RGB(109, 109, 109);
        break;
    case COLOR_INFOTEXT: role = QPalette::ToolTipText; fallback = RGB(0, 0, 0); break;
    case COLOR_INFOBK: role = QPalette::ToolTipBase; fallback = RGB(255, 255, 225); break;
    default: return 0;
    }
    // Before the toolkit is up (static initialisation) the usual desktop colours stand in.
    if (!qApp) return fallback;
    QColor c = QApplication::palette().color(group, role);
    return RGB(c.red(), c.green(), c.blue());
}

// --- Work area -----------------------------------------------------------------------------------

BOOL SystemParametersInfo(UINT action, UINT, void* value, UINT) {
    if (action != SPI_GETWORKAREA || !value || !qApp) return FALSE;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return FALSE;
    const QRect area = screen->availableGeometry();
    *static_cast<RECT*>(value) = RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return TRUE;
}

// --- Cursors -------------------------------------------------------------------------------------

BOOL GetCursorPos(POINT* point) {
    if (!point || !qApp) return FALSE;
    const QPoint p = QCursor::pos();
    *point = {p.x(), p.y()};
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    if (!qApp) return FALSE;
    QCursor::setPos(x, y);
    return TRUE;
}

UINT GetDoubleClickTime() {
    return qApp ? static_cast<UINT>(QApplication::doubleClickInterval()) : 500u;
}

struct HCURSOR__ {
    Qt::CursorShape shape;
};

namespace {
HCURSOR__ g_arrow{Qt::ArrowCursor};
HCURSOR__ g_hand{Qt::PointingHandCursor};
HCURSOR g_current = &g_arrow;
}  // namespace

HCURSOR LoadStandardCursor(UINT id) {
    switch (id) {
    case IDC_ARROW: return &g_arrow;
    case IDC_HAND: return &g_hand;
    default: return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = g_current;
    g_current = cursor ? cursor : &g_arrow;
    if (QWidget* target = afx::CursorTarget()) {
        if (g_current == &g_arrow) target->unsetCursor();
        else target->setCursor(QCursor(g_current->shape));
    }
    return previous;
}

HCURSOR GetCursor() { return g_current; }

bool afx::IsWaitCursorShown() {
    const QCursor* c = qApp ? QGuiApplication::overrideCursor() : nullptr;
    return c && c->shape() == Qt::WaitCursor;
}
