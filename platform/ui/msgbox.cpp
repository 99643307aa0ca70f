#include "platform/ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "platform/ui/automation.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

namespace afx {

CString AppTitle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pszAppName ? CString(app->m_pszAppName) : CString("Tesmo");
}

int ShowMessageBox(CWnd* owner, const char* text, const char* caption, UINT type) {
    CString title = caption ? CString(caption) : AppTitle();
    // Above the window that asks.
    QWidget* parent = AskingWindow(owner);
    if (automation::Active())
        return automation::AnswerMessageBox(text ? text : "", title, type,
                                            parent ? FromQ(parent->windowTitle()) : CString());

    QMessageBox box(parent);
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
    struct Choice {
        QMessageBox::StandardButton button;
        int result;
    };
    std::vector<Choice> choices;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_YESNOCANCEL:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: choices = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        choices = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    default: choices = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    // The buttons speak the program's language, as the system's own boxes do on a Portuguese desktop.
    static const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } kLabels[] = {{QMessageBox::Ok, "OK"},         {QMessageBox::Cancel, "Cancelar"}, {QMessageBox::Yes, "&Sim"},
                   {QMessageBox::No, "&Não"},       {QMessageBox::Retry, "&Repetir"},  {QMessageBox::Abort, "&Anular"},
                   {QMessageBox::Ignore, "&Ignorar"}};
    for (const auto& label : kLabels)
        if (QAbstractButton* b = box.button(label.button)) b->setText(ToQ(label.text));
    box.setDefaultButton(choices.front().button);
    SetModality(&box);
    int clicked = box.exec();
    for (const Choice& c : choices)
        if (c.button == clicked) return c.result;
    // Closed without a button: the Cancel answer when there is one, else the first.
    for (const Choice& c : choices)
        if (c.result == IDCANCEL) return IDCANCEL;
    return choices.size() == 1 ? choices.front().result : IDNO;
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
