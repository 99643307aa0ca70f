// The dialogs that edit the data set's metadata: a variable's name, type and modality
// identifiers (opened from its column header), and the missing-value code.
#pragma once

#include <vector>

#include "app/data_table.h"
#include "platform/afx.h"

class CVariableDescDlg : public CDialog {
public:
    CVariableDescDlg(int variable, CWnd* parent = nullptr);

    void SetName(const CString& name) { m_strName = name; }
    CString GetName() const { return m_strName; }
    void SetQuantitative(int quantitative) { m_nType = quantitative; }
    int GetQuantitative() const { return m_nType; }
    // The variable's own modality list, edited in place.
    void SetModalities(std::vector<CNamedCode>* modalities) { m_pModalities = modalities; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void FillLists();
    void EnableModalityControls(BOOL enable);
    void OnQuantitative();
    void OnQualitative();
    void OnCodesSelChange();
    void OnIdentifiersSelChange();
    void OnIdentifierDblClk();
    void OnEditIdentifiers();
    // Puts a new identifier into the modality list and the list box.
    void SetIdentifier(int index, const CString& name);

    int m_nType = 0;
    int m_nVariable;
    std::vector<CNamedCode>* m_pModalities = nullptr;
    CListBox m_codes;
    CListBox m_identifiers;
    CString m_strName;
    CString m_strCount;
    CString m_strShownName;   // the name as last put into the edit

    DECLARE_MESSAGE_MAP()
};

class CMissingCodeDlg : public CDialog {
public:
    CMissingCodeDlg(const CString& code, CWnd* parent = nullptr);

    CString GetMissingCode() const { return m_strCode; }

    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void Refuse(const char* message);

    CString m_strCode;
};
