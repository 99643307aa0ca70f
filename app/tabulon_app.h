// The application object: start-up, the start folder that engine paths are built on, and
// access to the one document.
#pragma once

#include "analyses/runners.h"
#include "platform/afx.h"

class CTabulonDoc;

class CTabulonApp : public CWinApp {
public:
    CTabulonApp();
    ~CTabulonApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The one open document (the first document of the first template).
    CTabulonDoc* GetDocument();
    // The folder that was current when the program started.
    CString GetWorkDir() const { return m_strWorkDir; }
    // Another start folder (tests and scripted runs that bring their own "dados").
    void SetWorkDir(const CString& folder) { m_strWorkDir = folder; }

    void OnFileNew() { CWinApp::OnFileNew(); }

protected:
    void OnAppAbout();

    CString m_strWorkDir;

    // The analysis commands and their runners, which keep their dialogs' settings from
    // one run to the next.
    void OnPrincipalComponents();
    void OnClassification();
    void OnBinaryCorrespondence();
    void OnMultipleCorrespondence();
    void OnUpdateAnalysisCommand(CCmdUI* cmdUI);
    CMurRunner m_murRunner;
    CClassificationRunner m_classificationRunner;
    CKeloRunner m_keloRunner;
    CDaziRunner m_daziRunner;

    DECLARE_MESSAGE_MAP()
};

// The modal about box (dialog 100).
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};

extern CTabulonApp theApp;
