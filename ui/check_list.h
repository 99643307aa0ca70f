// In-place edits laid over list items, and the check list whose items can be edited.
#pragma once

#include <memory>

#include "platform/afx.h"

// Notifications of CEditCheckListBox to its parent.
constexpr UINT CLN_TICKED = 0x8001;
constexpr UINT CLN_UNTICKED = 0x8002;
constexpr UINT CLN_TEXT_EDITED = 0x8003;

// A single-line edit over a list-box item; leaving it ends the edit. Enter and Escape belong
// to the edit, not to the dialog's buttons: Enter ends it as leaving it does, Escape ends it
// and leaves the item as it was.
class CInPlaceEdit : public CEdit {
public:
    // Places and shows the edit over an item (13 pixels in, so the tick box stays visible).
    virtual void ShowOver(const CRect& rect);
    virtual void OnEndEdit(CWnd* newFocus);

protected:
    void OnKillFocus(CWnd* newWnd);
    UINT OnGetDlgCode();
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    // Hides the edit; the focus goes back to the list when the edit had it.
    void HideEdit();

    bool m_bAbandoning = false;   // Escape: the edit goes without its text being taken

    DECLARE_MESSAGE_MAP()
};

// An in-place edit whose parent list validates the text (ValidateEditedValue).
class CInPlaceCellEdit : public CInPlaceEdit {
public:
    void ShowOver(const CRect& rect) override;
    void OnEndEdit(CWnd* newFocus) override;
};

// A list that offers ValidateEditedValue to a CInPlaceCellEdit.
class CValidatingList {
public:
    virtual ~CValidatingList() = default;
    virtual BOOL ValidateEditedValue() = 0;
    // The edit was ended with Escape: the item keeps its value.
    virtual void AbandonEditedValue() {}
};

class CEditCheckListBox : public CCheckListBox {
public:
    CEditCheckListBox(int textLimit, int editable);
    ~CEditCheckListBox() override;

    void SetEditable(int editable) { m_bEditable = editable; }
    void SetSingleCheck(BOOL single) { m_bSingleCheck = single ? 1 : 0; }
    // The first ticked item, or -1.
    int GetCheckedIndex() const;
    // Called by the in-place edit when it is left: its text replaces the item's.
    void EndEdit();
    CInPlaceEdit* GetInPlaceEdit() const { return m_pEdit.get(); }

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    // The single path of every change of a tick: the single-tick rule, then the notice.
    void AfterTickChange(int index, int before);
    void NotifyParent(UINT code);

    int m_nTextLimit;
    std::unique_ptr<CInPlaceEdit> m_pEdit;
    int m_nEditIndex = -1;
    int m_bEditable;
    BYTE m_bSingleCheck = 0;

    DECLARE_MESSAGE_MAP()
};
