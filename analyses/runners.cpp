#include "analyses/runners.h"

#include "analyses/analysis_dlg.h"
#include "analyses/classification_def_dlg.h"
#include "analyses/classification_results_dlg.h"
#include "analyses/corresp_report_dlg.h"
#include "analyses/data_definition_dlg.h"
#include "analyses/mca_data_dlg.h"
#include "analyses/mca_report_dlg.h"
#include "analyses/pca_results_dlg.h"

CMurRunner::CMurRunner()
    : CEngineRunner({.parameterFile = "mur.par",
                     .program = "mur.exe",
                     .folder = "dados",
                     .listing = "mur.prn",
                     .results = "mur.tmp"},
                    PROGRAM_PRINCIPAL_COMPONENTS) {
    m_pAnalysisDlg = new CDataDefinitionDlg(nullptr, 1);
    m_pAnalysisDlg->SetCaption("Definições de Dados");
    m_pResultsDlg = new CPcaResultsDlg(m_pAnalysisDlg);
}

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
                    PROGRAM_BINARY_CORRESPONDENCE) {
    m_pAnalysisDlg = new CCorrespDataDlg(nullptr);
    m_pAnalysisDlg->SetCaption("Definições de Dados");
    m_pResultsDlg = new CCorrespReportDlg(m_pAnalysisDlg);
}

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
                    PROGRAM_MULTIPLE_CORRESPONDENCE) {
    m_pAnalysisDlg = new CMultiCorrespDataDlg(nullptr);
    m_pResultsDlg = new CMultiCorrespReportDlg(m_pAnalysisDlg);
}

void CDaziRunner::Run() {
    // Without its parameter file dazi would read an earlier run's: nothing is started.
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
        return;
    }

    CString folder = WorkFolderPath();
    CString recoding = WorkFilePath(m_strRecodingListing);
    CString listing = WorkFilePath(m_strListing);
    if (!RunEngineProgram(WorkFilePath(m_strProgram), folder, WorkFilePath(OutputName()), {recoding, listing})) return;
    if (!m_pResultsDlg) {
        // The recoding listing first, then dazi's own.
        for (const CString& text : {recoding, listing})
            ShowListingFile(text, false);
        return;
    }
    static_cast<CMultiCorrespReportDlg*>(m_pResultsDlg)->SetListingFiles(recoding, listing);
    m_pResultsDlg->SetWorkFolder(folder);
    m_pResultsDlg->ReadResults(WorkFilePath(m_strResults));
    m_pResultsDlg->DoModal();
}
