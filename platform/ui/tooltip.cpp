#include "platform/ui/tooltip.h"

#include <QPointer>
#include <vector>

#include "platform/ui/qt_bridge.h"

struct CToolTipCtrl::Tools {
    struct Tool {
        QPointer<QWidget> widget;
        UINT_PTR id;
        CString text;
    };
    std::vector<Tool> list;

    Tool* Find(CWnd* wnd, UINT_PTR id) {
        QWidget* w = afx::WidgetOf(wnd);
        for (Tool& t : list)
            if (w && t.widget == w && t.id == id) return &t;
        return nullptr;
    }
};

CToolTipCtrl::CToolTipCtrl() : m_tools(std::make_unique<Tools>()) {}

CToolTipCtrl::~CToolTipCtrl() { DestroyToolTipCtrl(); }

BOOL CToolTipCtrl::Create(CWnd*, DWORD) {
    // Tools of windows that are gone are forgotten.
    std::erase_if(m_tools->list, [](const Tools::Tool& t) { return t.widget.isNull(); });
    m_created = true;
    m_active = true;
    return TRUE;
}

void CToolTipCtrl::DestroyToolTipCtrl() {
    for (const Tools::Tool& t : m_tools->list)
        if (t.widget) t.widget->setToolTip(QString());
    m_tools->list.clear();
    m_created = false;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, const RECT*, UINT_PTR id) {
    QWidget* w = afx::WidgetOf(wnd);
    if (!m_created || !w) return FALSE;
    Tools::Tool* t = m_tools->Find(wnd, id);
    if (!t) {
        m_tools->list.push_back({w, id, CString()});
        t = &m_tools->list.back();
    }
    t->text = text;
    w->setToolTip(m_active ? afx::ToQ(t->text) : QString());
    return TRUE;
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
    if (Tools::Tool* t = m_tools->Find(wnd, id)) {
        if (t->widget) t->widget->setToolTip(QString());
        m_tools->list.erase(m_tools->list.begin() + (t - m_tools->list.data()));
    }
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id) {
    if (Tools::Tool* t = m_tools->Find(wnd, id)) {
        t->text = text;
        if (t->widget) t->widget->setToolTip(m_active ? afx::ToQ(t->text) : QString());
    }
}

void CToolTipCtrl::GetText(CString& text, CWnd* wnd, UINT_PTR id) const {
    text.Empty();
    if (const Tools::Tool* t = m_tools->Find(wnd, id)) text = t->text;
}

int CToolTipCtrl::GetToolCount() const { return static_cast<int>(m_tools->list.size()); }

void CToolTipCtrl::Activate(BOOL activate) {
    m_active = activate != FALSE;
    for (const Tools::Tool& t : m_tools->list)
        if (t.widget) t.widget->setToolTip(m_active ? afx::ToQ(t.text) : QString());
}

void CToolTipCtrl::RelayEvent(MSG*) {}
