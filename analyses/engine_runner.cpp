#include "analyses/engine_runner.h"

#include "analyses/analysis_dlg.h"
#include "analyses/factor_results_dlg.h"
#include "app/status.h"
#include "app/tabulon_app.h"
#include "platform/ui/process_wait.h"
#include "platform/ui/text_viewer.h"
#include "res/resource_ids.h"
#include "ui/dialog_bases.h"
#include "ui/select_variables_dlg.h"

namespace {
unsigned long g_engineWaitMs = ENGINE_WAIT_MS;
}  // namespace

void SetEngineWaitLimit(unsigned long ms) { g_engineWaitMs = ms; }

void ShowListingFile(const CString& path, bool modal) {
    bool told = false;
    if (!afx::ShowTextFile(path, modal, &told) && !told) AfxMessageBox("Erro a abrir o notepad");
}

namespace {
// Whether the run wrote the file and left something in it: an empty file (a full disk) has
// nothing to show.
bool WroteContent(const CString& path, const afx::FileStamp& before) {
    return afx::WrittenSince(path, before) && afx::StampOfFile(path).size > 0;
}

}  // namespace

bool RunEngineProgram(const CString& program, const CString& folder, const CString& output,
                      const std::vector<CString>& listings) {
    // The output and listings as they are before the run (an earlier run's, perhaps written
    // in this very second): afterwards a file that is no longer the same was written by it.
    const afx::FileStamp outputBefore = afx::StampOfFile(output);
    std::vector<afx::FileStamp> listingsBefore;
    for (const CString& listing : listings) listingsBefore.push_back(afx::StampOfFile(listing));
    const CString name = afx::FileNameOfPath(program);
    // The status bar names the engine while it runs, and shows "Ready" once its wait is over.
    CString running;
    running.LoadString(IDS_STATUS_RUNNING);
    BeginProgress(FormatString(running, name.GetString()), 1);
    afx::ProcessHandle process;
    const bool started = afx::StartHiddenProcess(program, folder, &process);
    int exitStatus = 0;   // 128 + the signal's number for an engine ended by a signal
    const bool ended = started && afx::WaitForProcessPainting(process, g_engineWaitMs, &exitStatus);
    EndProgress();
    if (!started) {
        // Nothing ran: the files on disk are an earlier run's, so none of them is shown.
        AfxMessageBox(FormatString("Erro a executar o %s", program));
        return false;
    }
    if (!ended) {
        AfxMessageBox(FormatString("O programa %s não terminou no tempo limite", name));
        return false;
    }
    if (exitStatus == 0 && WroteContent(output, outputBefore)) return true;
    // An engine that stopped, or left no results of this run: none are shown, and only the
    // listings that this run wrote are offered.
    std::vector<CString> written;
    for (size_t i = 0; i < listings.size(); ++i)
        if (WroteContent(listings[i], listingsBefore[i])) written.push_back(listings[i]);
    if (written.empty()) {
        AfxMessageBox(exitStatus == 0
                          ? FormatString("O programa %s terminou sem escrever os resultados nem a listagem", name)
                          : FormatString("O programa %s terminou com erro (estado %d) e não escreveu a listagem",
                                         name, exitStatus));
        return false;
    }
    const CString question =
        exitStatus == 0 ? FormatString("O programa %s terminou sem escrever os resultados. Ver a listagem?", name)
                        : FormatString("O programa %s terminou com erro (estado %d). Ver a listagem?", name, exitStatus);
    if (AfxMessageBox(question, MB_YESNO) == IDYES)
        for (const CString& listing : written) ShowListingFile(listing, false);
    return false;
}

CRunnerBase::CRunnerBase(const EngineFileNames& names, int programId)
    : m_strParameterFile(names.parameterFile),
      m_strProgram(names.program),
      m_strFolder(names.folder),
      m_strListing(names.listing),
      m_strResults(names.results),
      m_nProgramId(programId) {}

CRunnerBase::~CRunnerBase() { delete m_pAnalysisDlg; }

CString CRunnerBase::WorkFolderPath() const { return FormatString("%s/%s", theApp.GetWorkDir(), m_strFolder); }

CString CRunnerBase::WorkFilePath(const CString& name) const {
    return FormatString("%s/%s/%s", theApp.GetWorkDir(), m_strFolder, name);
}

int CRunnerBase::ShowAndRun(std::vector<int>* selection) {
    if (!m_pAnalysisDlg) return STEP_CANCEL;
    m_pAnalysisDlg->InitFromData(selection);
    int r = m_pAnalysisDlg->DoModal();
    if (r == STEP_FINISH) Run();
    return r;
}

int CRunnerBase::RunFromConfiguration(CString* path) {
    if (!m_pAnalysisDlg) return STEP_CANCEL;
    CStdioFile file;
    if (!file.Open(*path, CFile::modeRead | CFile::typeText)) {
        AfxMessageBox(FormatString("Erro a abrir o ficheiro de configuracao de programa - %s\n", *path));
        return STEP_CANCEL;
    }
    // A refused file leaves the dialog as it was.
    CAnalysisDlg::IdentifierState before = m_pAnalysisDlg->SaveIdentifierState();
    if (!m_pAnalysisDlg->LoadConfiguration(file)) {
        file.Abort();
        return STEP_CANCEL;
    }
    if (!m_pAnalysisDlg->ReadParameters(file)) {
        file.Abort();
        m_pAnalysisDlg->RestoreIdentifierState(before);
        AfxMessageBox(kDamagedConfigurationMessage);
        return STEP_CANCEL;
    }
    file.Abort();
    int r = m_pAnalysisDlg->DoModal();
    if (r == STEP_FINISH) Run();
    return r;
}

void CRunnerBase::WriteParameterFile() {
    if (!m_pAnalysisDlg) return;
    CString path = WorkFilePath(m_strParameterFile);
    if (!m_parameterFile.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
        m_parameterFile.Abort();
        AfxMessageBox("Erro a Abrir o ficheiro");
        return;
    }
    try {
        m_pAnalysisDlg->WriteParameters(m_parameterFile);
        m_parameterFile.Close();
    } catch (CFileException&) {
        m_parameterFile.Abort();
        AfxMessageBox("Erro a Abrir o ficheiro");
    }
}

CEngineRunner::CEngineRunner(const EngineFileNames& names, int programId) : CRunnerBase(names, programId) {}

CEngineRunner::~CEngineRunner() {
    delete m_pResultsDlg;
    m_pResultsDlg = nullptr;
}

void CEngineRunner::Run() {
    CString folder = WorkFolderPath();
    CString listing = WorkFilePath(m_strListing);
    if (!RunEngineProgram(WorkFilePath(m_strProgram), folder, WorkFilePath(OutputName()), {listing})) return;
    if (!m_pResultsDlg) {
        ShowListingFile(listing, false);
        return;
    }
    m_pResultsDlg->SetListingPath(listing);
    m_pResultsDlg->SetWorkFolder(folder);
    m_pResultsDlg->ReadResults(WorkFilePath(m_strResults));
    m_pResultsDlg->DoModal();
}

void RunAnalysisCommand(CTabulonDoc* doc, const char* title, int enableQuantitative, CRunnerBase& runner) {
    CSelectVariablesDlg page(doc, title, 1, 1, enableQuantitative, 170, nullptr);
    int r;
    do {
        r = page.DoModal();
        if (r == STEP_NEXT) {
            r = runner.ShowAndRun(&page.GetSelection());
        } else if (r == SELECT_OPEN_CONFIGURATION) {
            CString path = page.GetConfigurationPath();
            r = runner.RunFromConfiguration(&path);
        }
    } while (r == STEP_PREVIOUS);
}
