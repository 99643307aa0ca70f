// Internal to the platform: the link between window objects and toolkit widgets.
#pragma once

#include <QAbstractScrollArea>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/ui/wnd.h"

class QFont;
class QPainter;
class QRadioButton;
class QStyleOptionViewItem;
class QTableView;
class QTimer;

namespace afx {

struct DialogTemplate;

QString ToQ(const char* text);
inline QString ToQ(const CString& text) { return ToQ(text.GetString()); }
// Windows-1252 form of a toolkit text; characters the code page lacks become '?'.
CString FromQ(const QString& text);

inline HWND ToHwnd(const QWidget* w) { return reinterpret_cast<HWND>(const_cast<QWidget*>(w)); }
inline QWidget* ToWidget(HWND h) { return reinterpret_cast<QWidget*>(h); }

// Attached to every widget that a window object stands for.
struct WindowBinding : public QObject {
    explicit WindowBinding(QWidget* w, WindowKind k);
    ~WindowBinding() override;

    QWidget* widget;
    WindowKind kind;
    int id = 0;
    CWnd* owner = nullptr;                  // the window object attached to the widget
    std::unique_ptr<CWnd> wrapper;          // a stand-in object when nobody attached one
    DWORD style = 0;
    QRect pendingOuter;                     // top-level windows: outer rectangle to apply once shown
    int radioGroup = -1;                    // radio buttons: the group they belong to
    std::map<UINT_PTR, QTimer*> timers;
    std::vector<CWnd*> shadows;             // objects that refer to the widget without owning it

    static WindowBinding* Of(const QWidget* w);
    static WindowBinding* Ensure(QWidget* w, WindowKind kind);
    // The window object for the widget, creating a stand-in when needed.
    CWnd* Window();
};

// The message being dispatched from a toolkit event: Default() runs the toolkit's handling.
struct DispatchFrame {
    CWnd* wnd;
    UINT message;
    QEvent* event;
    std::function<bool()> runDefault;
    bool defaultDone = false;
    bool defaultResult = false;
    QPainter* painter = nullptr;   // during WM_PAINT
    QWidget* paintDevice = nullptr;
    DispatchFrame* previous = nullptr;
};
DispatchFrame* CurrentFrame();

// Translates a toolkit event of a hosted widget into window messages.
// viewport: the event arrived at a scroll area's viewport.
bool HostEvent(QWidget* w, QEvent* e, const std::function<bool(QEvent*)>& base, bool viewport);

template <class Base>
class Host : public Base {
public:
    using Base::Base;

protected:
    bool event(QEvent* e) override {
        return HostEvent(this, e, [this](QEvent* ev) { return Base::event(ev); }, false);
    }
};

template <class Base>
class ScrollHost : public Host<Base> {
public:
    using Host<Base>::Host;

protected:
    bool viewportEvent(QEvent* e) override {
        return HostEvent(this, e, [this](QEvent* ev) { return Base::viewportEvent(ev); }, true);
    }
};

// Where a scrolling control's viewport stands in its client area: a report list's client
// area begins above its header row, as on the original platform.
QPoint ClientOffset(const QWidget* w);

// Sends WM_COMMAND with a notification code from a control to the window above it.
void NotifyParent(QWidget* control, UINT code);
// Sends WM_NOTIFY with a header from a control to the window above it.
LRESULT NotifyParent(QWidget* control, NMHDR* header);

// Creates the widget of a window kind.
QWidget* CreateKindWidget(WindowKind kind, DWORD style, const char* text, QWidget* parent);
// Creates the window object that stands for a widget of a kind (CButton for buttons ...).
CWnd* CreateStandIn(WindowKind kind);

// Virtual-key code of a toolkit key, and the key of a virtual-key code.
UINT VirtualKeyOf(int qtKey);
int QtKeyOf(UINT vk);

// Hooks of hosted widgets (wnd_gdi.cpp): WM_SETCURSOR when the mouse enters or moves
// over a window that handles it, and the reflected WM_CTLCOLOR that gives a static
// control its colours before it paints. CursorTarget is the widget whose WM_SETCURSOR
// is being handled (null otherwise).
void HostSetCursor(CWnd* wnd, QWidget* w);
void HostCtlColor(CWnd* wnd, QWidget* w);
QWidget* CursorTarget();

// Drops what was drawn on a window outside its painting (the window is being invalidated).
void DiscardWindowSurface(QWidget* widget);

// Has the style draw its focus frame on the window's focused control from the moment it
// shows, not only after a first Tab (dialog.cpp).
void ShowFocusCues(QWidget* window);

// What a cell of a report list shows of its text in room pixels: a number whose fixed form
// is wider would be cut to its first digits and read as another number, so it is shown in
// exponent form with the decimals of its fixed form ("1.0000e+308"); other texts as they are.
QString FitNumber(const QString& text, const QFont& font, int room);
// The room for the text in a cell's option, between the margins the style leaves.
int CellTextRoom(const QStyleOptionViewItem& option);
// The text that a cell of a report list shows (FitNumber at its column's width), and its room.
QString ShownCellText(const QTableView* list, int row, int column, int* room = nullptr);
// Has the toolkit's own dialogs and buttons speak the program's language (language.cpp).
void UseProgramLanguage();

// The dialog font and the size of a dialog unit.
QFont DialogFont();
void DialogBaseUnits(int* baseX, int* baseY);
QRect DialogUnitsToPixels(const RECT& du);
// Builds the controls of a dialog template inside a dialog widget, each bound to its id;
// gives the id of the default button.
void BuildDialogControls(QWidget* dialog, const DialogTemplate& t, UINT* defaultId);
// Makes the Tab stop of a radio button's group its checked button, else its first one.
void UpdateRadioTabStop(QRadioButton* button);

}  // namespace afx
