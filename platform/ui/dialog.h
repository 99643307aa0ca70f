// CDialog, built from a dialog template of the resources, and dialog data exchange.
#pragma once

#include <exception>

#include "platform/ui/wnd.h"

// Thrown by CDataExchange::Fail to abandon a data exchange.
class CUserException : public std::exception {
public:
    const char* what() const noexcept override { return "data exchange failed"; }
};

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    // The control id being exchanged: its window (nullptr when missing).
    CWnd* PrepareCtrl(int id);
    CWnd* PrepareEditCtrl(int id);
    // Puts the focus back on the last control and abandons the exchange.
    [[noreturn]] void Fail();

    // A number typed beyond what its variable holds. It is refused by the range check of
    // the same control that follows (DDV_MinMax...), with that check's bounds; without one,
    // as the next control is exchanged or the exchange ends, with the variable's bounds.
    void NoteOutOfRange(double low, double high, bool integer);
    // Refuses a number noted out of range, if any.
    void RefuseOutOfRange();
    // Whether the last control's number was noted out of range (a range check then refuses
    // it with its own bounds).
    bool LastOutOfRange() const { return m_outOfRange && m_idOutOfRange == m_idLastControl; }
    void ClearOutOfRange() { m_outOfRange = false; }

private:
    bool m_outOfRange = false;
    int m_idOutOfRange = 0;
    double m_outOfRangeLow = 0;
    double m_outOfRangeHigh = 0;
    bool m_outOfRangeInteger = false;
};

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns the code given to EndDialog, or -1 when the
    // dialog could not be created.
    virtual int DoModal();
    // Creates the dialog modeless.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    using CWnd::Create;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    BOOL PreTranslateMessage(MSG* msg) override;
    // Handles the dialog keys: Enter (default button) and Escape (Cancel).
    BOOL IsDialogMessage(MSG* msg);
    DWORD GetDefID() const;
    void SetDefID(UINT id);
    void GotoDlgCtrl(CWnd* control);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void MapDialogRect(RECT* rect) const;

    UINT GetTemplateId() const { return m_nIDTemplate; }
    BOOL IsModalRunning() const { return m_bModalRunning; }
    BOOL HasEnded() const { return m_bEnded; }
    int GetModalResult() const { return m_nModalResult; }

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::Dialog; }

    UINT m_nIDTemplate = 0;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

protected:
    // Whether the control that has the focus takes this key itself (an edit that wants all
    // keys, Enter in a multi-line edit), so that the dialog leaves it alone.
    bool FocusTakesKey(const MSG* msg);
    // Builds the window and its controls from the template.
    BOOL CreateFromTemplate(CWnd* parent);
    void DestroyDialogWidget();

    int m_nModalResult = -1;
    BOOL m_bModalRunning = FALSE;
    BOOL m_bEnded = FALSE;
    UINT m_defId = 0;
};

// --- Dialog data exchange ---------------------------------------------------------------
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxFloat(CDataExchange* dx, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double minVal, double maxVal);
