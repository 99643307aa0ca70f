// The data definition of principal components and binary correspondence (dialog 150):
// the row identifier, the active and supplementary rows and columns, the results options;
// "Executar" writes "Dados.dat", the runner then the parameter file (mur.par, kelo.par).
#pragma once

#include <memory>
#include <vector>

#include "analyses/analysis_dlg.h"
#include "analyses/analysis_pages.h"

constexpr UINT IDD_DATA_DEFINITION = 150;
constexpr int IDC_DEFINITION_ROWS = 1087;      // "Linhas"
constexpr int IDC_DEFINITION_COLUMNS = 1088;   // "Colunas"
constexpr int IDC_DEFINITION_OPTIONS = 1089;   // "Resultados"
constexpr int IDC_DEFINITION_SAVE = 1139;      // "Gravar"
constexpr int IDC_DEFINITION_PREVIOUS = 1193;  // "Anterior"
constexpr int IDC_DEFINITION_CANCEL = 1007;    // "Cancelar"

class CDataDefinitionDlg : public CAnalysisDlg {
public:
    // With createOptions the options page is the principal components one ("Opções");
    // without it a derived class supplies its own.
    CDataDefinitionDlg(CWnd* parent, int createOptions, int programId = PROGRAM_PRINCIPAL_COMPONENTS);
    ~CDataDefinitionDlg() override;

    void WriteParameters(CStdioFile& file) override;
    BOOL ReadParameters(CStdioFile& file) override;
    void GetSupplementaryRows(std::vector<int>& rows) override;
    void GetActiveRows(std::vector<int>& rows) override;
    int GetFactorCount() override;
    int GetSupplementaryRowCount() override;
    int GetActiveRowCount() override;
    int GetActiveColumnCount() override;
    int GetSupplementaryColumnCount() override;
    void InitFromData(std::vector<int>* selection) override;
    void WriteDataMatrix() override;

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    BOOL OnInitDialog() override;

    // The .tcfg body written by "Gravar", after the head.
    void WriteConfigurationBody(CStdioFile& file);

    CColumnsSelectDlg& GetColumnsPage() { return m_columnsPage; }
    CRowsSelectDlg& GetRowsPage() { return m_rowsPage; }
    CResultsOptionsDlg* GetOptionsPage() const { return m_pOptionsPage.get(); }
    // Row and column totals, and the column identifiers (0-based), for the results dialogs.
    int GetRowTotal() const { return m_rowsPage.GetTotal(); }
    int GetColumnItemTotal() const { return m_columnsPage.GetTotal(); }
    CString GetColumnName(int i) const { return m_columnsPage.GetItemName(i); }

protected:
    void OnRows();
    void OnColumns();
    void ShowOptions();
    void OnExecute() { WriteDataMatrix(); }
    void OnSave();
    void OnPrevious() { EndDialog(STEP_PREVIOUS); }
    void OnCancelDefinition() { EndDialog(STEP_CANCEL); }

    // FALSE after "Tem de selecionar um identificador" when "Outro" has nothing ticked;
    // else the rows page gets the identifier code.
    BOOL CheckIdentifier();
    // The smaller of the active counts, ties taking the rows'.
    int SmallerActiveCount() const;
    // Why "Executar" may not run the engine on these settings; empty when it may.
    CString ExecuteRefusal();

    CColumnsSelectDlg m_columnsPage;
    CRowsSelectDlg m_rowsPage;
    std::unique_ptr<CResultsOptionsDlg> m_pOptionsPage;

    DECLARE_MESSAGE_MAP()
};

// Binary correspondence: the same dialog with the "Resultados" options page, whose factor
// limit is the smaller active count less one.
class CCorrespDataDlg : public CDataDefinitionDlg {
public:
    explicit CCorrespDataDlg(CWnd* parent);
};
