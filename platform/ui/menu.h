// CMenu: a menu held as data (items, ids, states); shown by the toolkit when tracked
// or placed in a frame's menu bar.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/wnd.h"

class CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Loads menu resource id (its bar or list of popups).
    BOOL LoadMenu(UINT id);
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();

    CMenu* GetSubMenu(int position) const;
    UINT GetMenuItemCount() const { return static_cast<UINT>(m_items.size()); }
    UINT GetMenuItemID(int position) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    UINT GetMenuState(UINT item, UINT flags) const;

    // The previous state (MF_GRAYED / MF_ENABLED), or -1 when the item does not exist.
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT CheckMenuItem(UINT item, UINT check);
    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE);
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    BOOL DeleteMenu(UINT item, UINT flags);
    BOOL RemoveMenu(UINT item, UINT flags) { return DeleteMenu(item, flags); }
    BOOL ModifyMenu(UINT item, UINT flags, UINT_PTR id = 0, const char* text = nullptr);

    // Shows the menu at a screen point. The chosen command goes to the owner as WM_COMMAND;
    // with TPM_RETURNCMD it is returned instead. Returns 0 when nothing was chosen.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);

    struct Item {
        CString text;
        UINT id = 0;
        UINT state = 0;           // MF_GRAYED, MF_CHECKED
        bool separator = false;
        bool isDefault = false;
        std::unique_ptr<CMenu> popup;
    };
    const std::vector<Item>& Items() const { return m_items; }
    std::vector<Item>& Items() { return m_items; }
    Item* FindItem(UINT item, UINT flags);
    const Item* FindItem(UINT item, UINT flags) const;

    static std::unique_ptr<CMenu> MakeSystemMenu(CWnd* owner);
    void CopyFrom(const CMenu& other);

private:
    std::vector<Item> m_items;
    CWnd* m_systemOwner = nullptr;
};
