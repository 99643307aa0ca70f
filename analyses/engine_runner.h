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
    // results dialog, or the listing in the text viewer when there is none. A program that
    // cannot be started ends the run with "Erro a executar o %s".
    void Run() override;

    CFactorResultsDlg* GetResultsDialog() const { return m_pResultsDlg; }

protected:
    CFactorResultsDlg* m_pResultsDlg = nullptr;   // owned; created by the derived constructor
};

// An analysis command: the selection page (with "Abrir Configuração"), then the runner,
// and the page again while the analysis answers "Anterior".
void RunAnalysisCommand(CTabulonDoc* doc, const char* title, int enableQuantitative, CRunnerBase& runner);
