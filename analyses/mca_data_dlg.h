// The data definition of the multiple correspondence analysis (dialog 150): the row
// identifier, the row count, the recoding of the chosen columns into modalities and the
// results options; "Executar" writes "Dados.dat", the runner then dazi.par.
#pragma once

#include <vector>

#include "analyses/analysis_dlg.h"
#include "analyses/recoding_pages.h"

constexpr UINT IDD_ROW_COUNT = 163;
constexpr UINT IDD_MCA_RESULTS = 164;
constexpr int IDC_ROW_COUNT = 1080;
constexpr int IDC_MCA_DISJUNCTIVE = 1121;   // "Ficheiro com Matriz Disjuntiva Completa"
constexpr int IDC_MCA_BURT = 1122;          // "Ficheiro com Matriz de Burt"
constexpr int IDC_MCA_RECODED = 1123;       // "Ficheiro de Dados Recodificado"
constexpr int IDC_MCA_GRAPHICS_FILE = 1124; // "Ficheiro para Gráficos"
constexpr int IDC_MCA_PROJECTION = 1125;    // "Projecção dos indivíduos"
constexpr int IDC_MCA_FACTORS = 1135;
constexpr int IDC_MCA_GRAPHS = 1079;

// The number of rows that the engine reads (dialog 163).
class CRowCountDlg : public CStepDlg {
public:
    explicit CRowCountDlg(CWnd* parent = nullptr);

    int GetRowCount() const { return m_nRows; }
    void SetRowCount(int rows) { m_nRows = rows; }

    void WriteToFile(CStdioFile& file) override;
    void ReadFromFile(CStdioFile& file) override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    int m_nRows = 5;
};

// The results options of the multiple correspondence (dialog 164 "Resultados").
class CMcaResultsDlg : public CDialog {
public:
    explicit CMcaResultsDlg(CWnd* parent = nullptr);

    int GetMaxFactors() const { return m_nMaxFactors; }
    // The limit, at least 1; a larger number of factors is lowered to it.
    void SetMaxFactors(int limit);
    int GetFactorCount() const { return m_nFactors; }
    int GetGraphCount() const { return m_nGraphs; }
    int GetRecodedFlag() const { return m_bRecoded; }
    int GetDisjunctiveFlag() const { return m_bDisjunctive; }
    int GetBurtFlag() const { return m_bBurt; }
    int GetGraphicsFileFlag() const { return m_bGraphicsFile; }
    int GetProjectionFlag() const { return m_bProjection; }

    // "%d %d %d %d %d %d %d": graphics file, disjunctive, Burt, projection, recoded,
    // factors, graphs.
    void WriteConfiguration(CStdioFile& file);
    // The same line, parsed without applying it; FALSE for a bad line.
    static BOOL ParseConfiguration(CStdioFile& file, int values[7]);
    void ApplyConfiguration(const int values[7]);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnRecoded() { m_bRecoded = !m_bRecoded; }
    void OnDisjunctive() { m_bDisjunctive = !m_bDisjunctive; }
    void OnBurt() { m_bBurt = !m_bBurt; }
    void OnGraphicsFile() { m_bGraphicsFile = !m_bGraphicsFile; }
    void OnProjection() { m_bProjection = !m_bProjection; }
    void OnFactorsKillFocus();
    void OnResultsOk();
    void OnResultsCancel();

    int m_nMaxFactors = 1;
    int m_bRecoded = 1;
    int m_bDisjunctive = 1;
    int m_bBurt = 1;
    int m_bGraphicsFile = 1;
    int m_bProjection = 1;
    int m_nFactors = 1;
    int m_nGraphs = 1;
    bool m_bClosing = false;

    DECLARE_MESSAGE_MAP()
};

class CMultiCorrespDataDlg : public CAnalysisDlg {
public:
    explicit CMultiCorrespDataDlg(CWnd* parent = nullptr);
    ~CMultiCorrespDataDlg() override;

    void WriteParameters(CStdioFile& file) override;
    BOOL ReadParameters(CStdioFile& file) override;
    // The individuals: the rows without a missing value in the chosen variables.
    void GetSupplementaryRows(std::vector<int>& rows) override;
    void GetActiveRows(std::vector<int>& rows) override;
    int GetFactorCount() override { return m_options.GetFactorCount(); }
    int GetDataRowCount() override { return m_rowCount.GetRowCount(); }
    int GetColumnTotal() override { return m_columnTypes.GetModalityTotal(); }
    int GetSupplementaryRowCount() override;
    int GetActiveRowCount() override { return 0; }
    int GetActiveColumnCount() override { return m_columnTypes.GetActiveTotal(); }
    int GetSupplementaryColumnCount() override;
    // Quantitative variables first, then qualitative ones, each in the order chosen.
    void InitFromData(std::vector<int>* selection) override;
    void WriteDataMatrix() override;

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    BOOL OnInitDialog() override;

    // The .tcfg body written by "Gravar", after the head.
    void WriteConfigurationBody(CStdioFile& file);
    // The factor limit: active modalities less the columns, and rows less one; at least 1.
    int FactorLimit() const;
    void UpdateFactorLimit() { m_options.SetMaxFactors(FactorLimit()); }

    CRowCountDlg& GetRowCountPage() { return m_rowCount; }
    CMcaResultsDlg& GetResultsOptions() { return m_options; }
    CColumnTypesDlg& GetColumnTypes() { return m_columnTypes; }

protected:
    void OnRows();
    void OnColumns();
    void OnOptions();
    void OnExecute() { WriteDataMatrix(); }
    void OnSave();
    void OnPrevious() { EndDialog(STEP_PREVIOUS); }
    void OnCancelDefinition() { EndDialog(STEP_CANCEL); }
    // Why "Executar" may not run the engine on these settings; empty when it may.
    CString ExecuteRefusal();
    int CompleteRows() const;

    CRowCountDlg m_rowCount;
    CMcaResultsDlg m_options;
    CColumnTypesDlg m_columnTypes;

    DECLARE_MESSAGE_MAP()
};
