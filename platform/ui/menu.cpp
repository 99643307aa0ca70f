#include "platform/ui/menu.h"

#include <QAction>
#include <QCursor>
#include <QFont>
#include <QMenu>

#include "platform/core/resources.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_bridge.h"

namespace {
void FillFromTemplate(std::vector<CMenu::Item>& out, const std::vector<afx::MenuItem>& items) {
    for (const afx::MenuItem& t : items) {
        CMenu::Item it;
        if (!t.text) {
            it.separator = true;
        } else {
            it.text = t.text;
            it.id = t.id;
            if (!t.popup.empty() || t.id == 0) {
                it.popup = std::make_unique<CMenu>();
                FillFromTemplate(it.popup->Items(), t.popup);
            }
        }
        out.push_back(std::move(it));
    }
}

const CMenu::Item* FindIn(const std::vector<CMenu::Item>& items, UINT id) {
    for (const CMenu::Item& it : items) {
        if (!it.popup && !it.separator && it.id == id) return &it;
        if (it.popup)
            if (const CMenu::Item* f = FindIn(it.popup->Items(), id)) return f;
    }
    return nullptr;
}
}  // namespace

BOOL CMenu::LoadMenu(UINT id) {
    const afx::MenuTemplate* t = afx::FindMenu(id);
    if (!t) return FALSE;
    m_items.clear();
    FillFromTemplate(m_items, t->items);
    return TRUE;
}

BOOL CMenu::CreateMenu() {
    m_items.clear();
    return TRUE;
}

BOOL CMenu::CreatePopupMenu() { return CreateMenu(); }

BOOL CMenu::DestroyMenu() {
    m_items.clear();
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) const {
    if (position < 0 || static_cast<size_t>(position) >= m_items.size()) return nullptr;
    return m_items[static_cast<size_t>(position)].popup.get();
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || static_cast<size_t>(position) >= m_items.size()) return static_cast<UINT>(-1);
    const Item& it = m_items[static_cast<size_t>(position)];
    if (it.popup) return static_cast<UINT>(-1);
    return it.separator ? 0 : it.id;
}

CMenu::Item* CMenu::FindItem(UINT item, UINT flags) {
    return const_cast<Item*>(static_cast<const CMenu*>(this)->FindItem(item, flags));
}

const CMenu::Item* CMenu::FindItem(UINT item, UINT flags) const {
    if (flags & MF_BYPOSITION) return item < m_items.size() ? &m_items[item] : nullptr;
    return FindIn(m_items, item);
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
    const Item* it = FindItem(item, flags);
    text = it ? it->text : CString();
    return text.GetLength();
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const Item* it = FindItem(item, flags);
    if (!it) return static_cast<UINT>(-1);
    return it->state | (it->separator ? MF_SEPARATOR : 0) | (it->popup ? MF_POPUP : 0);
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
    if (m_systemOwner && !(enable & MF_BYPOSITION) && item == SC_CLOSE) {
        UINT old = m_systemOwner->IsSystemCloseGrayed() ? MF_GRAYED : MF_ENABLED;
        m_systemOwner->SetSystemCloseGrayed((enable & (MF_GRAYED | MF_DISABLED)) != 0);
        return old;
    }
    Item* it = FindItem(item, enable);
    if (!it) return static_cast<UINT>(-1);
    UINT old = it->state & (MF_GRAYED | MF_DISABLED);
    it->state = (it->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

UINT CMenu::CheckMenuItem(UINT item, UINT check) {
    Item* it = FindItem(item, check);
    if (!it) return static_cast<UINT>(-1);
    UINT old = it->state & MF_CHECKED;
    it->state = (it->state & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

BOOL CMenu::SetDefaultItem(UINT item, BOOL byPosition) {
    for (Item& it : m_items) it.isDefault = false;
    Item* it = FindItem(item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!it) return FALSE;
    it->isDefault = true;
    return TRUE;
}

static CMenu::Item MakeItem(UINT flags, UINT_PTR id, const char* text) {
    CMenu::Item it;
    if (flags & MF_SEPARATOR) {
        it.separator = true;
        return it;
    }
    it.text = text;
    it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (flags & MF_POPUP) {
        auto* sub = reinterpret_cast<CMenu*>(id);
        it.popup = std::make_unique<CMenu>();
        if (sub) it.popup->CopyFrom(*sub);
    } else {
        it.id = static_cast<UINT>(id);
    }
    return it;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    m_items.push_back(MakeItem(flags, id, text));
    return TRUE;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const char* text) {
    size_t at = m_items.size();
    if (flags & MF_BYPOSITION) {
        if (position < m_items.size()) at = position;
    } else {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].id == position && !m_items[i].popup) at = i;
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), MakeItem(flags & ~MF_BYPOSITION, id, text));
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT item, UINT flags) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        bool match = (flags & MF_BYPOSITION) ? i == item : (!m_items[i].popup && m_items[i].id == item);
        if (match) {
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMenu::ModifyMenu(UINT item, UINT flags, UINT_PTR id, const char* text) {
    Item* it = FindItem(item, flags);
    if (!it) return FALSE;
    *it = MakeItem(flags & ~MF_BYPOSITION, id, text);
    return TRUE;
}

void CMenu::CopyFrom(const CMenu& other) {
    m_items.clear();
    for (const Item& o : other.m_items) {
        Item it;
        it.text = o.text;
        it.id = o.id;
        it.state = o.state;
        it.separator = o.separator;
        it.isDefault = o.isDefault;
        if (o.popup) {
            it.popup = std::make_unique<CMenu>();
            it.popup->CopyFrom(*o.popup);
        }
        m_items.push_back(std::move(it));
    }
}

std::unique_ptr<CMenu> CMenu::MakeSystemMenu(CWnd* owner) {
    auto m = std::make_unique<CMenu>();
    m->m_systemOwner = owner;
    m->AppendMenu(MF_STRING, SC_CLOSE, "&Close");
    return m;
}

namespace afx {
// Builds toolkit menu entries for a menu; chosen actions carry their command id.
void BuildQtMenu(QMenu* target, const CMenu& menu) {
    for (const CMenu::Item& it : menu.Items()) {
        if (it.separator) {
            target->addSeparator();
        } else if (it.popup) {
            QMenu* sub = target->addMenu(ToQ(it.text));
            BuildQtMenu(sub, *it.popup);
            sub->setEnabled(!(it.state & (MF_GRAYED | MF_DISABLED)));
        } else {
            QAction* a = target->addAction(ToQ(it.text));
            a->setData(it.id);
            a->setEnabled(!(it.state & (MF_GRAYED | MF_DISABLED)));
            if (it.state & MF_CHECKED) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            if (it.isDefault) {
                QFont f = a->font();
                f.setBold(true);
                a->setFont(f);
            }
        }
    }
}
}  // namespace afx

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT*) {
    if (owner) owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(this), 0);
    UINT chosen = 0;
    if (afx::automation::Active()) {
        chosen = afx::automation::ChoosePopupCommand(*this, CPoint(x, y));
    } else {
        QMenu menu;
        afx::BuildQtMenu(&menu, *this);
        QAction* a = menu.exec(QPoint(x, y));
        if (a) chosen = a->data().toUInt();
    }
    if (chosen == 0) return 0;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (owner) owner->SendMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}
