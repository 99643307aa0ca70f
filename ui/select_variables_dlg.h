// The first page of the commands that work on a set of variables: tick the variables,
// or open a saved analysis configuration.
#pragma once

#include <vector>

#include "platform/afx.h"
#include "ui/check_list.h"

class CTabulonDoc;

// The page ends with this code when a configuration file was chosen.
constexpr int SELECT_OPEN_CONFIGURATION = 1001;

class CSelectVariablesDlg : public CDialog {
public:
    CSelectVariablesDlg(CTabulonDoc* doc, const CString& title, int allVariables, int showOpenConfiguration,
                        int enableQuantitative, UINT templateId = 170, CWnd* parent = nullptr);
    ~CSelectVariablesDlg() override;

    // The 1-based numbers of the ticked variables, in list order (set by "Seguinte").
    std::vector<int>& GetSelection() { return m_selection; }
    CString GetConfigurationPath() const { return m_configurationPath; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void FillList();
    // Collects the ticked variables; false (with the message) when there is none.
    bool CollectSelection();
    void OnSelectAll();
    void OnSelectQuantitative();
    void OnOpenConfiguration();
    void OnNext();

    CTabulonDoc* m_pDoc;
    std::vector<int> m_selection;
    std::vector<int> m_itemVariables;
    int m_bAllVariables;
    CString m_strTitle;
    int m_bShowOpenConfiguration;
    int m_bEnableQuantitative;
    CString m_configurationPath;
    CEditCheckListBox m_list;

    DECLARE_MESSAGE_MAP()
};
