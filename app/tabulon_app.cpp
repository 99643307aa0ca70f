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
    ON_COMMAND(ID_ANALYSIS_PRINCIPAL, &CTabulonApp::OnPrincipalComponents)
    ON_COMMAND(ID_ANALYSIS_CLASSIFICATION, &CTabulonApp::OnClassification)
    ON_COMMAND(ID_ANALYSIS_BINARY, &CTabulonApp::OnBinaryCorrespondence)
    ON_COMMAND(ID_ANALYSIS_MULTIPLE, &CTabulonApp::OnMultipleCorrespondence)
    ON_UPDATE_COMMAND_UI_RANGE(ID_ANALYSIS_PRINCIPAL, ID_ANALYSIS_CLASSIFICATION, &CTabulonApp::OnUpdateAnalysisCommand)
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

// --- Analysis commands ------------------------------------------------------------------

void CTabulonApp::OnPrincipalComponents() {
    RunAnalysisCommand(GetDocument(), "Selecionar Variáveis para Componentes Principais", 1, m_murRunner);
}

void CTabulonApp::OnClassification() {
    RunAnalysisCommand(GetDocument(), "Seleccionar Variáveis para Classificação Automática", 1, m_classificationRunner);
}

void CTabulonApp::OnBinaryCorrespondence() {
    RunAnalysisCommand(GetDocument(), "Seleccionar Variáveis para Correspondências Binárias", 0, m_keloRunner);
}

void CTabulonApp::OnMultipleCorrespondence() {
    RunAnalysisCommand(GetDocument(), "Selecionar Variáveis para Correspondências Múltiplas", 0, m_daziRunner);
}

// Enabled while the document holds data and the analysis has its data-definition dialog.
void CTabulonApp::OnUpdateAnalysisCommand(CCmdUI* cmdUI) {
    const CRunnerBase* runner = nullptr;
    switch (cmdUI->m_nID) {
    case ID_ANALYSIS_PRINCIPAL: runner = &m_murRunner; break;
    case ID_ANALYSIS_CLASSIFICATION: runner = &m_classificationRunner; break;
    case ID_ANALYSIS_BINARY: runner = &m_keloRunner; break;
    case ID_ANALYSIS_MULTIPLE: runner = &m_daziRunner; break;
    default: break;
    }
    CTabulonDoc* doc = GetDocument();
    cmdUI->Enable(runner && runner->GetAnalysisDialog() && doc && doc->HasData());
}
