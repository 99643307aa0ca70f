#include "ui/list_controls.h"

#include "app/data_table.h"
#include "res/resource_ids.h"
#include "ui/bitmap_print.h"
#include "ui/table_print.h"

// --- CColorListCtrl ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CColorListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CColorListCtrl::OnCustomDraw)
END_MESSAGE_MAP()

void CColorListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(cd->nmcd.hdc));
    int item = static_cast<int>(cd->nmcd.dwItemSpec);
    UINT state = cd->nmcd.uItemState;
    LPARAM data = cd->nmcd.lItemlParam;
    LRESULT flags = CDRF_DODEFAULT;
    bool drew = false;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        m_pOldItemFont = nullptr;
        m_pOldSubItemFont = nullptr;
        if (IsNotifyPostPaint()) flags |= CDRF_NOTIFYPOSTPAINT;
        if (IsNotifyItemDraw()) flags |= CDRF_NOTIFYITEMDRAW;
        if (IsDraw()) drew = OnDraw(dc);
        break;
    case CDDS_POSTPAINT:
        if (IsPostDraw()) OnPostDraw(dc);
        break;
    case CDDS_ITEMPREPAINT: {
        m_pOldItemFont = nullptr;
        if (IsNotifyItemPostPaint(item, state, data)) flags |= CDRF_NOTIFYPOSTPAINT;
        if (IsNotifySubItemDraw(item, state, data)) flags |= CDRF_NOTIFYSUBITEMDRAW;
        cd->clrText = TextColor(item, state, data);
        cd->clrTextBk = BkColor(item, state, data);
        if (CFont* font = TextFont(item, state, data); font && dc) {
            m_pOldItemFont = dc->SelectObject(font);
            flags |= CDRF_NOTIFYPOSTPAINT;
        }
        if (IsItemDraw(item, state, data)) drew = OnItemDraw(dc, item, state, data);
        break;
    }
    case CDDS_ITEMPOSTPAINT:
        if (m_pOldItemFont && dc) dc->SelectObject(m_pOldItemFont);
        m_pOldItemFont = nullptr;
        if (IsItemPostDraw()) OnItemPostDraw(dc, item, state, data);
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int sub = cd->iSubItem;
        m_pOldSubItemFont = nullptr;
        cd->clrText = SubItemTextColor(item, sub, state, data);
        cd->clrTextBk = SubItemBkColor(item, sub, state, data);
        if (CFont* font = SubItemTextFont(item, sub, state, data); font && dc) {
            m_pOldSubItemFont = dc->SelectObject(font);
            flags |= CDRF_NOTIFYPOSTPAINT;
        }
        if (IsNotifySubItemPostPaint(item, sub, state, data)) flags |= CDRF_NOTIFYPOSTPAINT;
        if (IsSubItemDraw(item, sub, state, data)) drew = OnSubItemDraw(dc, item, sub, state, data);
        break;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        if (m_pOldSubItemFont && dc) dc->SelectObject(m_pOldSubItemFont);
        m_pOldSubItemFont = nullptr;
        if (IsSubItemPostDraw()) OnSubItemPostDraw(dc, item, cd->iSubItem, state, data);
        break;
    default:
        break;
    }
    if (drew) flags |= CDRF_SKIPDEFAULT;
    *result = flags;
}

// --- CCopyListCtrl ----------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCopyListCtrl, CColorListCtrl)
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_POPUP_COPY, &CCopyListCtrl::OnCopy)
    ON_COMMAND(ID_POPUP_PRINT, &CCopyListCtrl::OnPrint)
END_MESSAGE_MAP()

COLORREF CCopyListCtrl::SubItemTextColor(int item, int subItem, UINT, LPARAM) {
    if (!m_nTriangleColours || subItem == 0) return CLR_DEFAULT;
    if (subItem > item + 1) return RGB(255, 0, 0);
    if (subItem < item + 1) return RGB(0, 0, 255);
    return RGB(0, 0, 0);
}

void CCopyListCtrl::OnContextMenu(CWnd*, CPoint point) {
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP_MENUS)) return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup) return;
    // A list that shows no table has nothing to print.
    if (!m_pTable) popup->EnableMenuItem(ID_POPUP_PRINT, MF_BYCOMMAND | MF_GRAYED);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CCopyListCtrl::OnCopy() {
    // A list that shows no table has nothing to copy.
    if (!m_pTable) return;
    CopyTextToClipboard(this, m_pTable->WriteText());
}

// The text that "Copiar" copies, laid out in columns over as many sheets as it needs.
void CCopyListCtrl::OnPrint() {
    if (!m_pTable) return;
    PrintTable(this, TableFromText(m_pTable->WriteText()));
}
