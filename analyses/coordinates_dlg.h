// The coordinates dialog (one of three related tables, active, supplementary or both, in
// a report list) and the list box of numeric values edited in place.
#pragma once

#include <memory>

#include "platform/afx.h"
#include "ui/check_list.h"
#include "ui/list_controls.h"

class CDataTable;

constexpr UINT IDD_COORDINATES = 182;
constexpr int IDC_COORDINATES_LIST = 1078;
constexpr int IDC_COORDINATES_ACTIVE = 1089;         // "Activas"
constexpr int IDC_COORDINATES_SUPPLEMENTARY = 1090;  // "Suplementares"
constexpr int IDC_COORDINATES_TOTAL = 1091;          // "Activas + Suplementares"

// Notification that CValueListBox sends its parent after an accepted edit.
constexpr UINT VLN_VALUE_EDITED = 0x8003;

class CCoordinatesDlg : public CDialog {
public:
    // The tables are not owned; the active one is shown first unless it has no rows.
    CCoordinatesDlg(CDataTable* active, CDataTable* supplementary, CDataTable* total, CWnd* parent);

    void SetCaption(CString caption) { m_strCaption = std::move(caption); }
    // The table shown, which "Copiar" copies.
    CDataTable* GetShownTable() const { return m_list.GetTable(); }

    BOOL OnInitDialog() override;

protected:
    void OnActive() { Show(m_pActive); }
    void OnSupplementary() { Show(m_pSupplementary); }
    void OnTotal() { Show(m_pTotal); }
    // Empties the list, then fills it from the table, which becomes the copy table.
    void Show(CDataTable* table);

    CString m_strCaption;
    CDataTable* m_pActive;
    CDataTable* m_pSupplementary;
    CDataTable* m_pTotal;
    int m_bShowActive = 1;
    int m_bShowSupplementary = 0;
    int m_bShowTotal = 0;
    CCopyListCtrl m_list;

    DECLARE_MESSAGE_MAP()
};

// A list box of values that a double click edits in place; an edited value can be required
// to be a number and to keep the list in ascending order.
class CValueListBox : public CListBox, public CValidatingList {
public:
    CValueListBox(int numeric, int ordered, int textLimit, int editable);
    ~CValueListBox() override;

    void SetNumeric(int numeric) { m_bNumeric = numeric ? 1 : 0; }
    void SetOrdered(int ordered) { m_bOrdered = ordered ? 1 : 0; }
    void SetEditable(int editable) { m_bEditable = editable; }
    bool IsEditing() const { return m_bEditing != 0; }
    int GetEditIndex() const { return m_nEditIndex; }
    CInPlaceCellEdit* GetInPlaceEdit() const { return m_pEdit.get(); }

    // 1: the edit's text replaces the item and the parent is told; 0: refused, with a
    // message, and the edit stays open.
    BOOL ValidateEditedValue() override;
    void AbandonEditedValue() override { ResetEditing(); }
    // Whether a text may stand at index i of the list (numeric and order checks).
    bool CheckValue(const CString& text, int i, CString* message) const;

    void PreSubclassWindow() override;
    // The list's window is gone (with its dialog): no edit is in progress any more.
    void OnWidgetDestroyed() override;

protected:
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnDestroy();
    void ResetEditing();

    BYTE m_bNumeric;
    BYTE m_bOrdered;
    int m_nTextLimit;
    std::unique_ptr<CInPlaceCellEdit> m_pEdit;
    int m_bEditing = 0;
    int m_nEditIndex = -1;
    int m_bEditable;

    DECLARE_MESSAGE_MAP()
};
