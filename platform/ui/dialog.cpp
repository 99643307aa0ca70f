#include "platform/ui/dialog.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "platform/core/resources.h"
#include "platform/ui/automation.h"
#include "platform/ui/controls.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

using afx::Ctl;
using afx::WindowBinding;
using afx::WindowKind;

namespace afx {

void SetButtonCheck(QWidget* w, int check);
int ButtonCheck(const QWidget* w);

QFont DialogFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(12);
    return f;
}

void DialogBaseUnits(int* baseX, int* baseY) {
    static int bx = 0, by = 0;
    if (bx == 0) {
        QFontMetrics fm(DialogFont());
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        bx = (fm.horizontalAdvance(alphabet) / 26 + 1) / 2;
        by = fm.height();
        if (bx < 4) bx = 6;
        if (by < 8) by = 13;
    }
    if (baseX) *baseX = bx;
    if (baseY) *baseY = by;
}

QRect DialogUnitsToPixels(const RECT& du) {
    int bx, by;
    DialogBaseUnits(&bx, &by);
    return QRect(du.left * bx / 4, du.top * by / 8, du.right * bx / 4, du.bottom * by / 8);
}

// The program's icon: a small table drawn in the toolbar's colours.
QPixmap ProgramIconPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    int m = size / 8;
    QRect r(m, m, size - 2 * m - 1, size - 2 * m - 1);
    p.fillRect(r, QColor(255, 255, 255));
    p.fillRect(QRect(r.left(), r.top(), r.width(), r.height() / 4), QColor(0, 102, 204));
    p.setPen(QColor(51, 102, 255));
    p.drawRect(r);
    for (int i = 1; i < 4; ++i) {
        int y = r.top() + r.height() * i / 4;
        p.drawLine(r.left(), y, r.right(), y);
    }
    int x = r.left() + r.width() / 3;
    p.drawLine(x, r.top(), x, r.bottom());
    p.setPen(QColor(204, 0, 0));
    p.setBrush(QColor(204, 0, 0));
    int bw = std::max(2, size / 10);
    for (int i = 0; i < 3; ++i) {
        int h = (r.height() / 2) * (i + 1) / 3;
        p.drawRect(x + 3 + i * (bw + 2), r.bottom() - h - 1, bw, h);
    }
    return pm;
}

namespace {
struct Mapped {
    WindowKind kind;
    DWORD style;
};

Mapped MapControl(const ControlTemplate& c) {
    DWORD s = WS_CHILD | WS_TABSTOP;
    if (!(c.style & Style::Hidden)) s |= WS_VISIBLE;
    if (c.style & Style::Disabled) s |= WS_DISABLED;
    if (c.style & Style::Group) s |= WS_GROUP;
    if (c.style & Style::VScroll) s |= WS_VSCROLL;
    if (c.style & Style::HScroll) s |= WS_HSCROLL;
    DWORD align = (c.style & Style::Right) ? 2u : (c.style & Style::Center) ? 1u : 0u;
    switch (c.kind) {
    case Ctl::PushButton: return {WindowKind::Button, s | ((c.style & Style::Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    case Ctl::CheckBox: return {WindowKind::CheckBox, s | BS_AUTOCHECKBOX};
    case Ctl::Radio: return {WindowKind::Radio, s | BS_AUTORADIOBUTTON};
    case Ctl::GroupBox: return {WindowKind::GroupBox, (s & ~WS_TABSTOP) | BS_GROUPBOX};
    case Ctl::Static: return {WindowKind::Static, (s & ~WS_TABSTOP) | align};
    case Ctl::Icon: return {WindowKind::Static, (s & ~WS_TABSTOP) | SS_CENTERIMAGE | SS_CENTER};
    case Ctl::Edit: {
        DWORD e = s | align | ES_AUTOHSCROLL;
        if (c.style & Style::Multiline) e |= ES_MULTILINE;
        if (c.style & Style::ReadOnly) e |= ES_READONLY;
        if (c.style & Style::Number) e |= ES_NUMBER;
        if (c.style & Style::WantReturn) e |= ES_WANTRETURN;
        return {WindowKind::Edit, e};
    }
    case Ctl::ListBox:
    case Ctl::CheckList: {
        DWORD l = s | LBS_NOTIFY | WS_VSCROLL;
        if (c.style & Style::Sort) l |= LBS_SORT;
        if (c.style & Style::ExtendedSel) l |= LBS_EXTENDEDSEL;
        if (c.style & Style::MultiColumn) l |= LBS_MULTICOLUMN;
        if (c.kind == Ctl::CheckList) l |= LBS_AFX_CHECKLIST | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
        return {c.kind == Ctl::CheckList ? WindowKind::CheckList : WindowKind::ListBox, l};
    }
    case Ctl::ComboBox: return {WindowKind::ComboBox, s | CBS_DROPDOWNLIST | ((c.style & Style::Sort) ? CBS_SORT : 0u)};
    case Ctl::ListCtrl:
        return {WindowKind::ListCtrl,
                s | LVS_REPORT | ((c.style & Style::NoHeader) ? LVS_NOCOLUMNHEADER : 0u) |
                    ((c.style & Style::SingleSel) ? LVS_SINGLESEL : 0u)};
    case Ctl::Progress: return {WindowKind::Progress, s & ~WS_TABSTOP};
    case Ctl::Slider: return {WindowKind::Slider, s};
    case Ctl::Custom:
    default: return {WindowKind::Generic, s};
    }
}
}  // namespace

// Builds the controls of a template inside a dialog widget.
void BuildDialogControls(QWidget* dialog, const DialogTemplate& t, UINT* defaultId) {
    int radioGroup = -1;
    bool previousRadio = false;
    std::vector<QWidget*> groups;
    for (const ControlTemplate& c : t.controls) {
        Mapped m = MapControl(c);
        QWidget* w = CreateKindWidget(m.kind, m.style, c.text, dialog);
        w->setFont(DialogFont());
        WindowBinding* b = WindowBinding::Ensure(w, m.kind);
        b->id = c.id;
        b->style = m.style;
        QRect r = DialogUnitsToPixels(c.rect);
        if (m.kind == WindowKind::ComboBox) r.setHeight(std::max(w->sizeHint().height(), DialogUnitsToPixels(RECT{0, 0, 0, 12}).height()));
        w->setGeometry(r);
        if (m.kind == WindowKind::Radio) {
            if (!previousRadio || (c.style & Style::Group)) ++radioGroup;
            b->radioGroup = radioGroup;
            previousRadio = true;
        } else {
            previousRadio = false;
        }
        if (m.kind == WindowKind::GroupBox) groups.push_back(w);
        if (c.kind == Ctl::Icon) {
            if (auto* l = qobject_cast<QLabel*>(w)) l->setPixmap(ProgramIconPixmap(std::min(r.width(), r.height())));
        }
        if (c.style & Style::NoTabStop) w->setFocusPolicy(Qt::NoFocus);
        if ((c.style & Style::Default) && defaultId) *defaultId = static_cast<UINT>(c.id);
        if (m.style & WS_DISABLED) w->setEnabled(false);
        if (m.style & WS_VISIBLE) w->show();
    }
    // Group boxes stay behind the controls they frame.
    for (QWidget* g : groups) g->lower();
    // Each group of radio buttons is one Tab stop.
    for (QRadioButton* r : dialog->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) UpdateRadioTabStop(r);
}

namespace {
// Showing a window clears its keyboard-focus mark; it is set again once it shows.
class FocusCues : public QObject {
public:
    explicit FocusCues(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show && watched->isWidgetType())
            static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
        return false;
    }
};
}  // namespace

void ShowFocusCues(QWidget* window) {
    if (!window) return;
    window->installEventFilter(new FocusCues(window));
    if (window->isVisible()) window->setAttribute(Qt::WA_KeyboardFocusChange);
}

}  // namespace afx

// --- CDataExchange ------------------------------------------------------------------------

CWnd* CDataExchange::PrepareCtrl(int id) {
    RefuseOutOfRange();
    m_idLastControl = id;
    m_bEditLastControl = FALSE;
    return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
}

CWnd* CDataExchange::PrepareEditCtrl(int id) {
    CWnd* w = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return w;
}

void CDataExchange::Fail() {
    if (!m_bSaveAndValidate) throw CUserException();
    if (m_pDlgWnd && m_idLastControl != 0) {
        if (CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
            control->SetFocus();
            if (m_bEditLastControl) static_cast<CEdit*>(control)->SetSel(0, -1);
        }
    }
    throw CUserException();
}

// --- CDialog ------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() { DestroyDialogWidget(); }

BOOL CDialog::CreateFromTemplate(CWnd* parent) {
    const afx::DialogTemplate* t = afx::FindDialog(m_nIDTemplate);
    if (!t) return FALSE;
    QWidget* owner = afx::WidgetOf(parent);
    if (!owner) owner = afx::WidgetOf(AfxGetMainWnd());
    if (owner) owner = owner->window();
    QWidget* w = afx::CreateKindWidget(WindowKind::Dialog, WS_POPUP | WS_CAPTION | WS_SYSMENU, t->caption, owner);
    auto* dlg = static_cast<QDialog*>(w);
    dlg->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                        Qt::CustomizeWindowHint);
    dlg->setFont(afx::DialogFont());
    afx::ShowFocusCues(dlg);
    QRect r = afx::DialogUnitsToPixels(t->rect);
    dlg->setFixedSize(r.width(), r.height());
    m_defId = 0;
    afx::BuildDialogControls(dlg, *t, &m_defId);
    WindowBinding::Ensure(dlg, WindowKind::Dialog)->style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    m_ownsWidget = true;
    m_systemCloseGrayed = false;
    AttachWidget(dlg);
    // Opens centred over its owner, as the original dialogs do.
    if (owner) {
        QRect o = owner->frameGeometry();
        dlg->move(o.center().x() - r.width() / 2, o.center().y() - r.height() / 2);
    } else {
        dlg->move(std::max(0, 512 - r.width() / 2), std::max(0, 384 - r.height() / 2));
    }
    return TRUE;
}

void CDialog::DestroyDialogWidget() {
    if (!m_widget) return;
    QWidget* w = m_widget;
    WindowBinding* b = WindowBinding::Of(w);
    SendMessage(WM_DESTROY);
    if (b && b->owner == this) b->owner = nullptr;
    m_widget = nullptr;
    m_hWnd = nullptr;
    w->hide();
    delete w;
}

int CDialog::DoModal() {
    if (m_widget) return -1;
    if (!CreateFromTemplate(m_pParentWnd)) return -1;
    m_nModalResult = -1;
    m_bEnded = FALSE;
    m_bModalRunning = TRUE;
    BOOL focusDefault = static_cast<BOOL>(SendMessage(WM_INITDIALOG, 0, 0));
    if (focusDefault && m_widget && !m_bEnded) {
        auto* dlg = static_cast<QDialog*>(m_widget);
        QWidget* first = dlg->nextInFocusChain();
        while (first && first != dlg &&
               (!first->isEnabled() || !(first->focusPolicy() & Qt::TabFocus) || !first->isVisibleTo(dlg)))
            first = first->nextInFocusChain();
        if (first && first != dlg) first->setFocus(Qt::TabFocusReason);
    }
    if (!m_bEnded && m_widget) {
        auto* dlg = static_cast<QDialog*>(m_widget);
        if (afx::automation::Active()) {
            // Modal as for a person: the windows below take no input while it is open.
            afx::SetModality(dlg);
            dlg->show();
            QApplication::setActiveWindow(dlg);
            afx::automation::RunModal(*this);
        } else {
            afx::SetModality(dlg);
            int r = dlg->exec();
            if (!m_bEnded) m_nModalResult = r;
        }
    }
    m_bModalRunning = FALSE;
    DestroyDialogWidget();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    if (!CreateFromTemplate(parent)) return FALSE;
    m_bEnded = FALSE;
    SendMessage(WM_INITDIALOG, 0, 0);
    if (m_widget) m_widget->show();
    return TRUE;
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        BOOL r = OnInitDialog();
        if (result) *result = r;
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    afx::DispatchFrame* f = afx::CurrentFrame();
    if (f && f->wnd == this && f->message == message) return Default();
    if (message == WM_CLOSE) {
        CWnd* cancel = GetDlgItem(IDCANCEL);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    reinterpret_cast<LPARAM>(cancel ? cancel->m_hWnd : nullptr));
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_bEnded = TRUE;
    if (auto* dlg = qobject_cast<QDialog*>(m_widget)) {
        if (afx::automation::Active() || !m_bModalRunning) dlg->hide();
        else dlg->done(result);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) { return IsDialogMessage(msg); }

BOOL CDialog::IsDialogMessage(MSG* msg) {
    if (!m_widget || msg->message != WM_KEYDOWN) return FALSE;
    if (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE) return FALSE;
    if (FocusTakesKey(msg)) return FALSE;
    CWnd* focus = CWnd::FromHandle(msg->hwnd);
    UINT id;
    if (msg->wParam == VK_ESCAPE) {
        id = IDCANCEL;
    } else {
        id = 0;
        if (focus && focus != this && qobject_cast<QPushButton*>(afx::WidgetOf(focus))) id = static_cast<UINT>(focus->GetDlgCtrlID());
        if (id == 0) id = LOWORD(GetDefID());
        if (id == 0) id = IDOK;
    }
    CWnd* button = GetDlgItem(static_cast<int>(id));
    if (button && !button->IsWindowEnabled()) {
        MessageBeep(0);
        return TRUE;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button ? button->m_hWnd : nullptr));
    return TRUE;
}

bool CDialog::FocusTakesKey(const MSG* msg) {
    CWnd* focus = CWnd::FromHandle(msg->hwnd);
    if (!focus || focus == this) return false;
    UINT code = static_cast<UINT>(focus->SendMessage(WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)));
    WindowBinding* b = WindowBinding::Of(afx::WidgetOf(focus));
    bool multiline = (focus->GetStyle() & ES_MULTILINE) && (focus->GetStyle() & ES_WANTRETURN) && b &&
                     b->kind == WindowKind::Edit;
    return (code & DLGC_WANTALLKEYS) || (msg->wParam == VK_RETURN && multiline);
}

DWORD CDialog::GetDefID() const { return m_defId ? MAKEWPARAM(m_defId, 0x534B) : 0; }

void CDialog::SetDefID(UINT id) {
    if (CWnd* old = GetDlgItem(static_cast<int>(m_defId))) old->ModifyStyle(0xF, BS_PUSHBUTTON);
    m_defId = id;
    if (CWnd* b = GetDlgItem(static_cast<int>(id)))
        if (qobject_cast<QPushButton*>(afx::WidgetOf(b))) b->ModifyStyle(0xF, BS_DEFPUSHBUTTON);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (!control) return;
    control->SetFocus();
    if (qobject_cast<QLineEdit*>(afx::WidgetOf(control))) static_cast<CEdit*>(control)->SetSel(0, -1);
}

void CDialog::NextDlgCtrl() const {
    if (QWidget* f = QApplication::focusWidget()) f->nextInFocusChain()->setFocus(Qt::TabFocusReason);
}

void CDialog::PrevDlgCtrl() const {
    if (QWidget* f = QApplication::focusWidget()) f->previousInFocusChain()->setFocus(Qt::BacktabFocusReason);
}

void CDialog::MapDialogRect(RECT* rect) const {
    if (!rect) return;
    QRect r = afx::DialogUnitsToPixels(RECT{rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

// --- UpdateData and the exchange functions ---------------------------------------------------

namespace {
CWnd* g_lockout = nullptr;
bool g_inValidationMessage = false;

// The message of a failed exchange. While it is shown, focus changes can start another
// exchange (an edit that loses the focus); that one stops at once instead of showing a
// second message.
void ValidationMessage(const CString& text) {
    g_inValidationMessage = true;
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    g_inValidationMessage = false;
}

enum class Parsed { Number, NotNumber, OutOfRange };

// A whole number with blanks around it; one beyond 64 bits is still a whole number.
Parsed ParseInt(const CString& text, long long* value) {
    const char* s = text.GetString();
    while (*s == ' ' || *s == '\t') ++s;
    if (!*s) return Parsed::NotNumber;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s) return Parsed::NotNumber;
    const bool overflow = errno == ERANGE;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return Parsed::NotNumber;
    *value = v;
    return overflow ? Parsed::OutOfRange : Parsed::Number;
}

// A finite number with blanks around it; one beyond a double is out of range ("inf" and
// "nan" are no numbers).
Parsed ParseReal(const CString& text, double* value) {
    const char* s = text.GetString();
    while (*s == ' ' || *s == '\t') ++s;
    if (!*s) return Parsed::NotNumber;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s, &end);
    if (end == s) return Parsed::NotNumber;
    const bool overflow = errno == ERANGE && std::isinf(v);
    while (*end == ' ' || *end == '\t') ++end;
    if (*end || (!overflow && !std::isfinite(v))) return Parsed::NotNumber;
    *value = v;
    return overflow ? Parsed::OutOfRange : Parsed::Number;
}

const char kNotInteger[] = "Tem de ser um número inteiro";
const char kNotNumber[] = "Tem de ser um número";

void ExchangeInteger(CDataExchange* dx, int id, long long& value, long long lo, long long hi, bool isSigned) {
    CWnd* w = dx->PrepareEditCtrl(id);
    if (!w) return;
    if (dx->m_bSaveAndValidate) {
        CString text;
        w->GetWindowText(text);
        long long v = 0;
        const Parsed parsed = ParseInt(text, &v);
        if (parsed == Parsed::NotNumber) {
            ValidationMessage(kNotInteger);
            dx->Fail();
        }
        if (parsed == Parsed::OutOfRange || v < lo || v > hi) {
            dx->NoteOutOfRange(static_cast<double>(lo), static_cast<double>(hi), true);
            return;
        }
        value = v;
    } else {
        CString text;
        if (isSigned) text.Format("%lld", value);
        else text.Format("%llu", static_cast<unsigned long long>(value));
        w->SetWindowText(text);
    }
}

// A real number of an edit, within ±limit.
bool ExchangeReal(CDataExchange* dx, int id, double* value, double limit) {
    CWnd* w = dx->PrepareEditCtrl(id);
    if (!w) return false;
    CString text;
    w->GetWindowText(text);
    double v = 0;
    const Parsed parsed = ParseReal(text, &v);
    if (parsed == Parsed::NotNumber) {
        ValidationMessage(kNotNumber);
        dx->Fail();
    }
    if (parsed == Parsed::OutOfRange || std::fabs(v) > limit) {
        dx->NoteOutOfRange(-limit, limit, false);
        return false;
    }
    *value = v;
    return true;
}

// The refusal of a number out of range, with the bounds of the check that refuses it.
[[noreturn]] void RefuseRange(CDataExchange* dx, const CString& message) {
    dx->ClearOutOfRange();
    ValidationMessage(message);
    dx->Fail();
}
}  // namespace

void CDataExchange::RefuseOutOfRange() {
    if (!m_outOfRange) return;
    m_idLastControl = m_idOutOfRange;
    m_bEditLastControl = TRUE;
    CString message;
    if (m_outOfRangeInteger)
        message.Format("Tem de ser um número inteiro entre %.0f e %.0f", m_outOfRangeLow, m_outOfRangeHigh);
    else
        message.Format("Tem de ser um número entre %g e %g", m_outOfRangeLow, m_outOfRangeHigh);
    RefuseRange(this, message);
}

void CDataExchange::NoteOutOfRange(double low, double high, bool integer) {
    m_outOfRange = true;
    m_idOutOfRange = m_idLastControl;
    m_outOfRangeLow = low;
    m_outOfRangeHigh = high;
    m_outOfRangeInteger = integer;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    if (g_inValidationMessage) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    CWnd* previous = g_lockout;
    g_lockout = this;
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
        dx.RefuseOutOfRange();
    } catch (const CUserException&) {
        ok = FALSE;
    }
    g_lockout = previous;
    return ok;
}

namespace afx {
bool NotificationsLockedOut(const CWnd* wnd) { return wnd && wnd == g_lockout; }
}  // namespace afx

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    CWnd* w = dx->PrepareEditCtrl(id);
    if (!w) return;
    if (dx->m_bSaveAndValidate) w->GetWindowText(value);
    else w->SetWindowText(value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    long long v = value;
    ExchangeInteger(dx, id, v, INT32_MIN, INT32_MAX, true);
    value = static_cast<int>(v);
}

void DDX_Text(CDataExchange* dx, int id, long& value) {
    long long v = value;
    ExchangeInteger(dx, id, v, INT32_MIN, INT32_MAX, true);
    value = static_cast<long>(v);
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
    long long v = value;
    ExchangeInteger(dx, id, v, 0, UINT32_MAX, false);
    value = static_cast<UINT>(v);
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
    if (dx->m_bSaveAndValidate) {
        double v = 0;
        if (ExchangeReal(dx, id, &v, DBL_MAX)) value = v;
        return;
    }
    CWnd* w = dx->PrepareEditCtrl(id);
    if (!w) return;
    CString text;
    text.Format("%.*g", DBL_DIG, value);
    w->SetWindowText(text);
}

void DDX_Text(CDataExchange* dx, int id, float& value) {
    if (dx->m_bSaveAndValidate) {
        double v = 0;
        if (ExchangeReal(dx, id, &v, FLT_MAX)) value = static_cast<float>(v);
        return;
    }
    CWnd* w = dx->PrepareEditCtrl(id);
    if (!w) return;
    CString text;
    text.Format("%.*g", FLT_DIG, static_cast<double>(value));
    w->SetWindowText(text);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    CWnd* w = dx->PrepareCtrl(id);
    if (!w) return;
    if (dx->m_bSaveAndValidate) value = static_cast<int>(dx->m_pDlgWnd->IsDlgButtonChecked(id));
    else dx->m_pDlgWnd->CheckDlgButton(id, static_cast<UINT>(value));
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    CWnd* first = dx->PrepareCtrl(id);
    if (!first) return;
    WindowBinding* fb = WindowBinding::Of(afx::WidgetOf(first));
    if (!fb) return;
    QWidget* parent = afx::WidgetOf(first)->parentWidget();
    std::vector<QWidget*> radios;
    bool started = false;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        WindowBinding* b = w ? WindowBinding::Of(w) : nullptr;
        if (!b) continue;
        if (w == afx::WidgetOf(first)) started = true;
        if (!started) continue;
        if (b->kind != WindowKind::Radio || b->radioGroup != fb->radioGroup) break;
        radios.push_back(w);
    }
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < radios.size(); ++i)
            if (afx::ButtonCheck(radios[i])) value = static_cast<int>(i);
    } else {
        for (size_t i = 0; i < radios.size(); ++i) afx::SetButtonCheck(radios[i], static_cast<int>(i) == value);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    CWnd* w = dx->PrepareCtrl(id);
    if (w) control.SubclassWindow(w->m_hWnd);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    auto* lb = static_cast<CListBox*>(dx->PrepareCtrl(id));
    if (!lb) return;
    if (dx->m_bSaveAndValidate) index = lb->GetCurSel();
    else lb->SetCurSel(index);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    auto* cb = static_cast<CComboBox*>(dx->PrepareCtrl(id));
    if (!cb) return;
    if (dx->m_bSaveAndValidate) index = cb->GetCurSel();
    else cb->SetCurSel(index);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
    auto* lb = static_cast<CListBox*>(dx->PrepareCtrl(id));
    if (!lb) return;
    if (dx->m_bSaveAndValidate) {
        int i = lb->GetCurSel();
        if (i >= 0) lb->GetText(i, value);
        else value.Empty();
    } else {
        int i = lb->FindStringExact(-1, value);
        lb->SetCurSel(i);
    }
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    auto* cb = static_cast<CComboBox*>(dx->PrepareCtrl(id));
    if (!cb) return;
    if (dx->m_bSaveAndValidate) {
        int i = cb->GetCurSel();
        if (i >= 0) cb->GetLBText(i, value);
        else value.Empty();
    } else {
        cb->SetCurSel(cb->FindStringExact(-1, value));
    }
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > maxChars) {
            CString msg;
            msg.Format("Não pode ter mais de %d caracteres", maxChars);
            ValidationMessage(msg);
            dx->Fail();
        }
    } else if (dx->m_idLastControl && dx->m_bEditLastControl) {
        if (CWnd* w = dx->m_pDlgWnd->GetDlgItem(dx->m_idLastControl))
            static_cast<CEdit*>(w)->SetLimitText(static_cast<UINT>(maxChars));
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minVal, int maxVal) {
    if (!dx->m_bSaveAndValidate || (!dx->LastOutOfRange() && value >= minVal && value <= maxVal)) return;
    RefuseRange(dx, FormatString("Tem de ser um número inteiro entre %d e %d", minVal, maxVal));
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minVal, UINT maxVal) {
    if (!dx->m_bSaveAndValidate || (!dx->LastOutOfRange() && value >= minVal && value <= maxVal)) return;
    RefuseRange(dx, FormatString("Tem de ser um número inteiro entre %u e %u", minVal, maxVal));
}

void DDV_MinMaxFloat(CDataExchange* dx, float value, float minVal, float maxVal) {
    DDV_MinMaxDouble(dx, value, minVal, maxVal);
}

void DDV_MinMaxDouble(CDataExchange* dx, double value, double minVal, double maxVal) {
    if (!dx->m_bSaveAndValidate || (!dx->LastOutOfRange() && value >= minVal && value <= maxVal)) return;
    RefuseRange(dx, FormatString("Tem de ser um número entre %g e %g", minVal, maxVal));
}
