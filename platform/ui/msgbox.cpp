#include "platform/ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QTimer>

#include "platform/ui/automation.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {
// The window system writes the title in the title bar beside the window's icon and buttons
// and cuts it short when the window is narrower: a box is made at least that wide.
void FitTitle(QMessageBox& box, const QString& title) {
    QFont font = box.font();
    font.setBold(true);
    const QFontMetrics fm(font);
    // The icon and three buttons, each about as wide as the bar is high, and the bar's ends.
    const int bar = fm.height() + 8;
    const int width = fm.horizontalAdvance(title) + 5 * bar;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}
}  // namespace

CString AppTitle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pszAppName ? CString(app->m_pszAppName) : CString("Tesmo");
}

namespace {
struct Choice {
    QMessageBox::StandardButton button;
    int result;
};

// The buttons of a box type and the answers they give, the first being the default.
std::vector<Choice> ChoicesOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

// Puts the title, text, icon and buttons of a box in place; its buttons speak the program's
// language through the toolkit's translation (language.cpp).
void Prepare(QMessageBox& box, const CString& title, const char* text, UINT type) {
    ShowFocusCues(&box);
    box.setWindowTitle(ToQ(title));
    box.setText(ToQ(text));
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon((type & MB_TYPEMASK) == MB_OK ? QMessageBox::Warning : QMessageBox::Question); break;
    }
    const std::vector<Choice> choices = ChoicesOf(type);
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices.front().button);
    FitTitle(box, box.windowTitle());
}
}  // namespace

namespace {
unsigned g_boxesShown = 0;

// A press on a button that takes the focus from an edit whose check refuses its text shows
// the refusal before the press reaches the button; the release then goes to the box, and
// the button would stay drawn pressed with no button held.
void ReleaseStrandedButtons() {
    QTimer::singleShot(0, [] {
        if (QGuiApplication::mouseButtons() != Qt::NoButton) return;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isDown()) button->setDown(false);
    });
}
}  // namespace

unsigned MessageBoxesShown() { return g_boxesShown; }

int ShowMessageBox(CWnd* owner, const char* text, const char* caption, UINT type) {
    CString title = caption ? CString(caption) : AppTitle();
    // Above the window that asks.
    QWidget* parent = AskingWindow(owner);
    ++g_boxesShown;
    if (automation::Active()) {
        const int answer = automation::AnswerMessageBox(text ? text : "", title, type,
                                                        parent ? FromQ(parent->windowTitle()) : CString());
        ReleaseStrandedButtons();
        return answer;
    }

    QMessageBox box(parent);
    Prepare(box, title, text, type);
    SetModality(&box);
    int clicked = box.exec();
    ReleaseStrandedButtons();
    const std::vector<Choice> choices = ChoicesOf(type);
    for (const Choice& c : choices)
        if (c.button == clicked) return c.result;
    // Closed without a button: the Cancel answer when there is one, else the first.
    for (const Choice& c : choices)
        if (c.result == IDCANCEL) return IDCANCEL;
    return choices.size() == 1 ? choices.front().result : IDNO;
}

CSize MessageBoxSize(const char* text, const char* caption, UINT type) {
    QMessageBox box;
    Prepare(box, caption, text, type);
    box.show();
    const CSize size(box.width(), box.height());
    box.hide();
    return size;
}

}  // namespace afx

int AfxMessageBox(const char* text, UINT type, UINT) { return afx::ShowMessageBox(nullptr, text, nullptr, type); }

int AfxMessageBox(UINT stringId, UINT type, UINT) {
    CString text;
    text.LoadString(stringId);
    return afx::ShowMessageBox(nullptr, text, nullptr, type);
}

void MessageBeep(UINT) {
    if (!afx::automation::Active()) QApplication::beep();
}
