// The data-definition dialog of the hierarchical classification: the row identifier and the
// chosen variables of the analysis base, the modes, output and column-code sub-dialogs, the
// engine's parameter file and the body of the classification's configuration file.
#pragma once

#include "analyses/analysis_dlg.h"
#include "analyses/classification_dlgs.h"

constexpr int IDC_CLASSIFICATION_ROWS = 1009;       // "Linhas", read-only
constexpr int IDC_CLASSIFICATION_MODES = 1115;      // "Modos"
constexpr int IDC_CLASSIFICATION_COLUMNS = 1088;    // "Colunas"
constexpr int IDC_CLASSIFICATION_OUTPUT = 1089;     // "Resultados"
constexpr int IDC_CLASSIFICATION_SAVE = 1157;       // "Gravar"
constexpr int IDC_CLASSIFICATION_PREVIOUS = 1193;   // "Anterior"
constexpr int IDC_CLASSIFICATION_CANCEL = 1007;     // "Cancelar"

class CClassificationDefDlg : public CAnalysisDlg {
public:
    CClassificationDefDlg();

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // fenola.par: counts, modes, data path, title, column codes, output switches.
    void WriteParameters(CStdioFile& file) override;
    // The body of a configuration: counts, modes, column codes, output switches, and the
    // chosen variables when the file has them (older files stop after the switches and
    // keep the variables chosen last on the selection page).
    BOOL ReadParameters(CStdioFile& file) override;
    void InitFromData(std::vector<int>* selection) override;
    void WriteToFile(CStdioFile& file) override { WriteBody(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }

    // The configuration body that "Gravar" writes after the head.
    void WriteBody(CStdioFile& file);

    void OnModes() { m_modesDlg.DoModal(); }
    void OnColumns() { m_columnsDlg.DoModal(); }
    void OnOutput() { m_outputDlg.DoModal(); }
    void OnSave();
    // "Executar": refuses a table too small for the mode, then writes "Dados.dat".
    void OnExecute();
    void OnPreviousPage() { EndDialog(STEP_PREVIOUS); }
    void OnCancelPage() { EndDialog(STEP_CANCEL); }

    int GetRowCount() const { return m_nRowCount; }
    CClassificationColumnsDlg& GetColumnsDlg() { return m_columnsDlg; }
    CClassificationOutputDlg& GetOutputDlg() { return m_outputDlg; }
    CClassificationModesDlg& GetModesDlg() { return m_modesDlg; }
    const CClassificationModesDlg& GetModesDlg() const { return m_modesDlg; }

protected:
    // The rows without a missing value in any chosen variable.
    int CompleteRowCount() const;

    CClassificationColumnsDlg m_columnsDlg;
    CClassificationOutputDlg m_outputDlg;
    CClassificationModesDlg m_modesDlg;
    int m_nRowCount = 0;

    DECLARE_MESSAGE_MAP()
};
