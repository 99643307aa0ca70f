// The runners of the analyses: each one owns its data-definition dialog (and results
// dialog) for the whole life of the program, shows them, and starts its engine program
// hidden in the working folder "dados" below the start folder.
#pragma once

#include <vector>

#include "platform/afx.h"

class CAnalysisDlg;
class CFactorResultsDlg;
class CTabulonDoc;

// The files of an engine, relative to the working folder; named, so that no runner can
// hand them over in the wrong order.
struct EngineFileNames {
    CString parameterFile;   // e.g. "kelo.par"
    CString program;         // e.g. "kelo.exe"
    CString folder;          // "dados"
    CString listing;         // e.g. "kelo.prn"
    CString results;         // e.g. "kelo.tmp"
};

// How long a run waits for its engine (2 h 46 min 40 s); the engine is never killed.
constexpr unsigned long ENGINE_WAIT_MS = 10000000;
// For tests: the wait of every engine run (ENGINE_WAIT_MS unless set).
void SetEngineWaitLimit(unsigned long ms);

// Starts an engine program hidden in folder and waits for it. True when it ran to a good
// end: it ended within the wait, with status 0, having written output during the run.
// Otherwise the user is told why ("Erro a executar o %s", an ended run with its status,
// or the wait limit), may open those of the listings that the run wrote, and nothing of
// the run is to be shown: false.
bool RunEngineProgram(const CString& program, const CString& folder, const CString& output,
                      const std::vector<CString>& listings);

// Shows a listing in the text viewer (modal or not); when it cannot be shown the user is
// told once: "Erro a abrir o notepad", unless the viewer already said why it refused it.
void ShowListingFile(const CString& path, bool modal);

class CRunnerBase {
public:
    CRunnerBase(const EngineFileNames& names, int programId);
    virtual ~CRunnerBase();
    CRunnerBase(const CRunnerBase&) = delete;
    CRunnerBase& operator=(const CRunnerBase&) = delete;

    // Writes the engine's files, starts it and shows its results. Called after the
    // analysis dialog ended with STEP_FINISH.
    virtual void Run() = 0;

    // The analysis dialog for the variables ticked on the selection page; runs the engine
    // when it ends with STEP_FINISH. Returns the dialog's result.
    int ShowAndRun(std::vector<int>* selection);
    // The analysis dialog filled from a configuration file; STEP_CANCEL when the file
    // cannot be opened or is refused.
    int RunFromConfiguration(CString* path);

    CAnalysisDlg* GetAnalysisDialog() const { return m_pAnalysisDlg; }
    const CString& GetParameterFileName() const { return m_strParameterFile; }
    const CString& GetProgramName() const { return m_strProgram; }
    const CString& GetFolderName() const { return m_strFolder; }
    const CString& GetListingName() const { return m_strListing; }
    const CString& GetResultsName() const { return m_strResults; }
    int GetProgramId() const { return m_nProgramId; }

    // Full paths below the start folder: "<start>/<folder>" and "<start>/<folder>/<name>".
    CString WorkFolderPath() const;
    CString WorkFilePath(const CString& name) const;

protected:
    // Writes the parameter file through the dialog's WriteParameters; on failure shows
    // "Erro a Abrir o ficheiro" and the run goes on with whatever file is there.
    void WriteParameterFile();

    CStdioFile m_parameterFile;
    CString m_strParameterFile;
    CString m_strProgram;
    CString m_strFolder;
    CString m_strListing;
    CString m_strResults;
    CAnalysisDlg* m_pAnalysisDlg = nullptr;   // owned; created by the derived constructor
    int m_nProgramId;
};

class CEngineRunner : public CRunnerBase {
public:
    CEngineRunner(const EngineFileNames& names, int programId);
    ~CEngineRunner() override;

    // Starts the engine hidden in the working folder and waits for it; then shows the
    // results dialog, or the listing in the text viewer when there is none. A run that
    // does not come to a good end (RunEngineProgram) shows neither.
    void Run() override;

    CFactorResultsDlg* GetResultsDialog() const { return m_pResultsDlg; }

protected:
    // The file that a good run writes: the results file that the results dialog reads, or
    // the listing when the listing is what the run shows.
    virtual CString OutputName() const { return m_pResultsDlg ? m_strResults : m_strListing; }

    CFactorResultsDlg* m_pResultsDlg = nullptr;   // owned; created by the derived constructor
};

// An analysis command: the selection page (with "Abrir Configuração"), then the runner,
// and the page again while the analysis answers "Anterior".
void RunAnalysisCommand(CTabulonDoc* doc, const char* title, int enableQuantitative, CRunnerBase& runner);
