#include "analyses/runners.h"

#include "analyses/analysis_dlg.h"
#include "analyses/classification_def_dlg.h"
#include "analyses/classification_results_dlg.h"

CMurRunner::CMurRunner()
    : CEngineRunner({.parameterFile = "mur.par",
                     .program = "mur.exe",
                     .folder = "dados",
                     .listing = "mur.prn",
                     .results = "mur.tmp"},
                    PROGRAM_PRINCIPAL_COMPONENTS) {}

void CMurRunner::Run() {
    WriteParameterFile();
    CEngineRunner::Run();
}

CClassificationRunner::CClassificationRunner()
    : CEngineRunner({.parameterFile = "fenola.par",
                     .program = "fenola.exe",
                     .folder = "dados",
                     .listing = "fenola.prn",
                     .results = "fenola.tmp"},
                    PROGRAM_CLASSIFICATION) {
    auto* definition = new CClassificationDefDlg;
    m_pAnalysisDlg = definition;
    m_pResultsDlg = new CClassificationResultsDlg(definition);
}

void CClassificationRunner::Run() {
    WriteParameterFile();
    // pilo runs from the results dialog, in the same folder as fenola.
    static_cast<CClassificationResultsDlg*>(m_pResultsDlg)
        ->SetGroupPaths(WorkFilePath(m_strPiloListing), WorkFilePath(m_strPiloProgram),
                        WorkFilePath(m_strPiloParameterFile));
    CEngineRunner::Run();
}

CKeloRunner::CKeloRunner()
    : CEngineRunner({.parameterFile = "kelo.par",
                     .program = "kelo.exe",
                     .folder = "dados",
                     .listing = "kelo.prn",
                     .results = "kelo.tmp"},
                    PROGRAM_BINARY_CORRESPONDENCE) {}

void CKeloRunner::Run() {
    WriteParameterFile();
    CEngineRunner::Run();
}

CDaziRunner::CDaziRunner()
    : CEngineRunner({.parameterFile = "dazi.par",
                     .program = "dazi.exe",
                     .folder = "dados",
                     .listing = "dazi.prn",
                     .results = "dazi.tmp"},
                    PROGRAM_MULTIPLE_CORRESPONDENCE) {}

void CDaziRunner::Run() {
    WriteParameterFile();
    CEngineRunner::Run();
}
