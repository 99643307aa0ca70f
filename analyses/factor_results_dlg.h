// The base of the results dialogs of the analyses: the engine runner hands it the listing
// path and the working folder, has it read the engine's results file, then shows it.
#pragma once

#include "platform/afx.h"

class CAnalysisDlg;

class CFactorResultsDlg : public CDialog {
public:
    // owner: the analysis data-definition dialog that answers the factor count and the
    // row lists (not owned).
    CFactorResultsDlg(UINT templateId, CAnalysisDlg* owner, CWnd* parent);
    ~CFactorResultsDlg() override;

    void SetListingPath(CString path) { m_strListingPath = std::move(path); }
    void SetWorkFolder(CString folder) { m_strWorkFolder = std::move(folder); }
    CString GetListingPath() const { return m_strListingPath; }
    CString GetWorkFolder() const { return m_strWorkFolder; }
    CAnalysisDlg* GetOwnerDialog() const { return m_pOwner; }

    // Reads the engine's results file into the dialog's tables.
    virtual void ReadResults(CString path) = 0;

    // "Relatório": the engine's listing in the text viewer, not waited for.
    void OnListing();

protected:
    CAnalysisDlg* m_pOwner;
    CString m_strListingPath;
    CString m_strWorkFolder;
};
