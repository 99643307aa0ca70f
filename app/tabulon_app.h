// The application object: start-up, the start folder that engine paths are built on, and
// access to the one document.
#pragma once

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

    void OnFileNew() { CWinApp::OnFileNew(); }

protected:
    void OnAppAbout();

    CString m_strWorkDir;

    DECLARE_MESSAGE_MAP()
};

// The modal about box (dialog 100).
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};

extern CTabulonApp theApp;
