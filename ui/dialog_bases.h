// The bases of the program's own dialogs: placement and caption, wizard steps with their
// four buttons and result codes, and the text lines that a dialog writes to and reads
// from an analysis configuration file.
#pragma once

#include <vector>

#include "platform/afx.h"

// Results of a wizard page's modal run.
constexpr int STEP_NEXT = 200001;
constexpr int STEP_PREVIOUS = 200002;
constexpr int STEP_CANCEL = 200003;
constexpr int STEP_FINISH = 200004;
// Whether a page's result ends its command: finish, cancel, or a page that could not be
// shown (-1), which must never be shown again in a loop.
constexpr bool EndsPageChain(int result) {
    return result == STEP_FINISH || result == STEP_CANCEL || result == -1;
}

// The step buttons, in the order that InitStepButtons takes them.
constexpr int IDC_STEP_PREVIOUS = 1004;   // "Anterior"
constexpr int IDC_STEP_NEXT = 1005;       // "Seguinte"
constexpr int IDC_STEP_FINISH = 1006;     // "Terminar"
constexpr int IDC_STEP_CANCEL = 1007;     // "Cancelar"
constexpr int IDC_SINGLE_OK = 1074;
constexpr int IDC_SINGLE_CANCEL = 1075;
extern const int kStepButtonIds[4];       // {1004, 1007, 1006, 1005}

// Whether the focus is going to a button that cancels its page ("Cancelar"): an edit that
// checks its text when it loses the focus does not check it then, since cancelling keeps
// nothing of what was typed and a refusal would keep the page from being cancelled.
bool FocusGoesToCancel();

class CBaseDlg : public CDialog {
public:
    CBaseDlg(UINT templateId, CWnd* parent);

    void SetCaption(const char* caption) { m_caption = caption; }
    CString GetCaption() const { return m_caption; }
    void SetXOffset(int x) { m_xOffset = x; }
    void SetYOffset(int y) { m_yOffset = y; }

    // The dialog's settings as text lines of a configuration file, and back.
    virtual void WriteToFile(CStdioFile& file) = 0;
    virtual void ReadFromFile(CStdioFile& file) = 0;

    BOOL OnInitDialog() override;

    void EnableItem(int id, BOOL enable);
    void ShowItem(int id, int showCommand);
    // Each listed control that exists: enabled or greyed.
    void EnableItems(const int* ids, int count, BOOL enable);
    // Each listed control that exists: shown and enabled, or hidden and disabled.
    void ShowItems(const int* ids, int count, BOOL show);

protected:
    int m_xOffset = 0;
    int m_yOffset = 0;
    CString m_caption;

    DECLARE_MESSAGE_MAP()
};

class CWizardStepDlg : public CBaseDlg {
public:
    CWizardStepDlg(UINT templateId, CWnd* parent);

    virtual void EndStep(int code);
    virtual void OnCancelStep();
    virtual void OnNextStep();
    virtual void OnPreviousStep();
    void OnFinishStep();

    void SetPreviousEnabled(int enabled) { m_bPreviousEnabled = enabled; }
    void SetNextEnabled(int enabled) { m_bNextEnabled = enabled; }
    void SetFinishShown(int shown) { m_bFinishShown = shown; }
    int IsPreviousEnabled() const { return m_bPreviousEnabled; }
    int IsNextEnabled() const { return m_bNextEnabled; }
    int IsFinishShown() const { return m_bFinishShown; }
    // Enables, greys, shows or hides the four step buttons from the flags.
    void InitStepButtons(const int ids[4]);

    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int m_bFinishShown = 0;
    int m_bPreviousEnabled = 1;
    int m_bNextEnabled = 1;
    int m_bCancelEnabled = 1;
    int m_stepIds[4] = {0, 0, 0, 0};
    bool m_bStepIdsTaken = false;

    DECLARE_MESSAGE_MAP()
};

class CStepDlg : public CBaseDlg {
public:
    CStepDlg(UINT templateId, CWnd* parent) : CBaseDlg(templateId, parent) {}
    void DoDataExchange(CDataExchange* dx) override;

protected:
    DECLARE_MESSAGE_MAP()
};

// A page that edits one text value of one column; it can also run alone as a dialog.
class CVariableDlgBase : public CWizardStepDlg {
public:
    CVariableDlgBase(UINT templateId, int column, CWnd* parent);

    int GetColumnValue() const { return m_nColumn; }
    CString GetVariableName() const { return m_strValue; }
    void SetVariableName(const CString& value) { m_strValue = value; }
    void SetSingleMode(int single) { m_bSingleMode = single; }
    int IsSingleMode() const { return m_bSingleMode; }

protected:
    int m_bSingleMode = 0;
    int m_nColumn;
    CString m_strValue;
};

// Dialog 146: a code of at most 4 characters for one column.
class CVariableCodeDlg : public CVariableDlgBase {
public:
    CVariableCodeDlg(int column, const CString& label, CWnd* parent);

    void SetCode(const CString& code) { m_strValue = code; }
    CString GetLabel() const { return m_strLabel; }

    void WriteToFile(CStdioFile& file) override;
    void ReadFromFile(CStdioFile& file) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    CString m_strLabel;
    CString m_strShownValue;   // the value as last put into the edit

    DECLARE_MESSAGE_MAP()
};

// Runs a chain of pages; returns STEP_FINISH or STEP_CANCEL.
int RunStepDialogs(const std::vector<CWizardStepDlg*>& pages);
// Removes the last n pages of a list (at most all of them) and deletes them.
void RemoveStepDialogs(std::vector<CWizardStepDlg*>& pages, int n);

// A dialog that shows one code page per column in a list box and runs them as a chain.
class CColumnListDlgBase : public CStepDlg {
public:
    CColumnListDlgBase(UINT templateId, CWnd* parent);
    ~CColumnListDlgBase() override;

    virtual CString FormatPageEntry(CVariableDlgBase* page);
    virtual void ReadPages(CStdioFile& file);
    virtual void WritePages(CStdioFile& file);
    virtual void EditPage(CListBox& list);
    virtual void RefreshList(CListBox& list);
    virtual void ApplyColumnCount(CListBox& list);
    virtual void FillList(int index, int add, CListBox& list, const std::vector<CWizardStepDlg*>& pages);
    virtual void SetColumnCount(int existing);
    virtual BOOL InitList(CListBox& list, int id);

    void EditColumns(CListBox& list);
    void ClearPages();
    // The i-th page takes the name of the i-th selected variable of the document.
    void SetPageNames(const std::vector<int>& selection);

    int GetColumnCount() const { return m_nColumnCount; }
    void SetColumnCountValue(int count) { m_nColumnCount = count; }
    const std::vector<CWizardStepDlg*>& GetPages() const { return m_pages; }
    CVariableDlgBase* GetPage(int index) const;

protected:
    std::vector<CWizardStepDlg*> m_pages;
    int m_nColumnCount = 0;
};
