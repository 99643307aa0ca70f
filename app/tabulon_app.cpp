#include "app/tabulon_app.h"

#include "app/main_frame.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "res/resource_ids.h"
#include "res/resources.h"

CTabulonApp theApp;

BEGIN_MESSAGE_MAP(CTabulonApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CTabulonApp::OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CTabulonApp::CTabulonApp() : CWinApp("Tabulon") { RegisterTabulonResources(); }

CTabulonApp::~CTabulonApp() = default;

BOOL CTabulonApp::InitInstance() {
    RegisterTabulonResources();
    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTabulonDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CTabulonView)));
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) {
        // A named file that was refused (its messages shown) leaves the program with a new
        // table; one that cannot be opened at all ends it.
        CTabulonDoc* doc = GetDocument();
        if (cmdInfo.m_nShellCommand != CCommandLineInfo::FileOpen || !doc || !doc->WasOpenRefused()) return FALSE;
        OnFileNew();
        if (!m_pMainWnd) return FALSE;
    }
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->DragAcceptFiles();
    // Engine paths are built on the folder current at start-up.
    if (!afx::GetCurrentFolder(&m_strWorkDir)) m_strWorkDir = ".";
    return TRUE;
}

int CTabulonApp::ExitInstance() { return CWinApp::ExitInstance(); }

CTabulonDoc* CTabulonApp::GetDocument() {
    POSITION pos = GetFirstDocTemplatePosition();
    CDocTemplate* t = pos ? GetNextDocTemplate(pos) : nullptr;
    if (!t) return nullptr;
    POSITION docPos = t->GetFirstDocPosition();
    return docPos ? static_cast<CTabulonDoc*>(t->GetNextDoc(docPos)) : nullptr;
}

void CTabulonApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
