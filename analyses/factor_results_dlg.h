// The base of the results dialogs of the factorial analyses: the engine runner hands it the
// listing path and the working folder, has the derived class read the engine's results
// file into the base's tables, then shows it. The base owns the eigenvalue and coordinate
// tables, the scree plot, the factorial planes (built on demand), the shared buttons, the
// factor-count edit and the frame of the HTML report.
#pragma once

#include <vector>

#include "app/data_table.h"
#include "platform/afx.h"

class CAnalysisDlg;
class CPcaHtmlOptionsDlg;
class CPlotPage;
class CScreePlotChart;

// Buttons shared by every factorial results dialog.
constexpr int IDC_RESULTS_LISTING = 1162;             // "Relatório"
constexpr int IDC_RESULTS_EIGENVALUES = 1163;         // "Eixos"
constexpr int IDC_RESULTS_SCREE_PLOT = 1164;          // "ScreePlot"
constexpr int IDC_RESULTS_COLUMN_COORDINATES = 1165;  // "Colunas" under "Coordenadas"
constexpr int IDC_RESULTS_ROW_COORDINATES = 1087;     // "Linhas" under "Coordenadas"
constexpr int IDC_RESULTS_HTML = 1166;                // "Gerar HTML"
constexpr int IDC_RESULTS_COLUMN_PLANE = 1167;        // "Colunas" under "Gráfico"
constexpr int IDC_RESULTS_ROW_PLANE = 1168;           // "Linhas" under "Gráfico"
constexpr int IDC_RESULTS_ROW_COLUMN_PLANE = 1176;    // "Colunas+Linhas"
constexpr int IDC_RESULTS_FACTOR_COUNT = 1179;        // edit "Número de Factores:"

extern const char kFewFactorsMessage[];   // "Tem de escolher mais de um factor ..."
extern const char kResultsOpenError[];    // "Erro a Abrir o ficheiro de Relatorio"
extern const char kResultsShortMessage[]; // the results file holds less than the counts need

class CFactorResultsDlg : public CDialog {
public:
    // owner: the analysis data-definition dialog that answers the factor count and the
    // row lists (not owned).
    CFactorResultsDlg(UINT templateId, CAnalysisDlg* owner, CWnd* parent);
    ~CFactorResultsDlg() override;

    void SetListingPath(CString path) { m_strListingPath = std::move(path); }
    void SetWorkFolder(CString folder) { m_strWorkFolder = std::move(folder); }
    CString GetListingPath() const { return m_strListingPath; }
    CString GetWorkFolder() const { return m_strWorkFolder; }
    CAnalysisDlg* GetOwnerDialog() const { return m_pOwner; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // "Sair": closes when the factor count is within range (or no factor can be asked).
    void OnOK() override;
    void OnCancel() override;

    // Plane builders, in the order the derived dialogs override them.
    virtual void BuildRowColumnPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages);
    virtual void BuildRowPlanePages(CDataTable& rows, std::vector<CPlotPage*>& pages);
    virtual void LoadRowLists();
    virtual void BuildColumnPlanes();
    virtual void BuildRowColumnPlanes();
    // Reads the engine's results file into the dialog's tables. A file that cannot be read
    // leaves every table, the scree plot and the planes empty (never an earlier run's).
    virtual void ReadResults(CString path) = 0;
    // The head and the sections of the HTML report from section number first; returns the
    // next number. The closing tags are written after it, by OnGenerateHtml.
    virtual int WriteHtmlReport(CString folder, CStdioFile& file, int first);
    virtual void ShowColumnPlane();
    virtual void ShowRowPlane();
    // The owner's active and supplementary row counts.
    virtual void GetRowCounts(int& active, int& supplementary);

    // Buttons.
    void OnListing();
    void OnEigenvalues();
    void OnScreePlot();
    void OnColumnCoordinates();
    void OnRowCoordinates();
    void OnRowColumnPlane();
    void OnGenerateHtml();
    void OnFactorCountChange();

    // Reading helpers for the derived readers, which call StartReading on opening the file:
    // it starts the line count and the progress of reading the report over the file's length.
    // FillEigenvalueTable reads the count line and the owner's factor count of lines; false
    // (with the table still sized) when the file ends first, a line has fewer than three
    // numbers, or a field is no number or not finite.
    void StartReading(CStdioFile& file);
    bool FillEigenvalueTable(CStdioFile& file);
    // The message for a results file that was opened but not taken: the line of its first
    // field that is no number, or of its first value that is not finite, or that it holds
    // less than the analysis needs.
    void ReportUnreadResults(const CString& path);
    // The scree plot from the eigenvalue table, then the row lists.
    void LoadResults();
    // Empties every table and releases the scree plot and the planes.
    void ClearResults();
    // Pages: with the flag the scree plot goes too.
    void ReleaseCharts(bool screePlot);

    // HTML pieces.
    void WriteHtmlHead(CStdioFile& file);
    int WriteHtmlColumnCoordinates(CStdioFile& file, int section);
    int WriteHtmlRowCoordinates(CStdioFile& file, int section);
    // The page drawn into a 450 x 300 bitmap saved as path (".bmp"), and the same drawing
    // as an enhanced metafile beside it (".emf"), each put in place whole or not at all.
    // When either cannot be written (or there is no page) the user is told which, and false.
    bool SaveChartImage(const CString& path, CPlotPage* page);

    CDataTable& GetEigenvalueTable() { return m_eigenvalues; }
    CDataTable& GetColumnTable(int which) { return m_columnTables[which]; }   // 0 active, 1 supp., 2 total
    CDataTable& GetRowTable(int which) { return m_rowTables[which]; }
    CScreePlotChart* GetScreePlot() const { return m_pScreePlot; }
    const std::vector<CPlotPage*>& GetColumnPlanes(int which) const { return m_columnPlanes[which]; }
    const std::vector<CPlotPage*>& GetRowPlanes(int which) const { return m_rowPlanes[which]; }
    const std::vector<CPlotPage*>& GetRowColumnPlanes(int which) const { return m_rowColumnPlanes[which]; }
    int GetChartFactorCount() const { return m_nFactors; }
    const std::vector<int>& GetActiveRowList() const { return m_activeRows; }
    const std::vector<int>& GetSupplementaryRowList() const { return m_supplementaryRows; }
    CPcaHtmlOptionsDlg* GetHtmlOptions() const { return m_pHtmlOptions; }
    const CString& GetReportTitle() const { return m_strReportTitle; }

protected:
    // The owner's factor count (0 without an owner).
    int OwnerFactorCount() const;
    // One scatter page per factor pair of the table, factor a in column a + offset; an
    // empty table only advances the progress.
    void BuildScatterPages(CDataTable& table, std::vector<CPlotPage*>& pages, int offset);
    // One rows-and-columns page per factor pair, factor a in column a + offset of both.
    void BuildRowColumnPairPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages, int offset);
    // The three plane vectors of one kind from three pairs of tables.
    void BuildPlanes(std::vector<CPlotPage*>* target, CDataTable* first, CDataTable* second, int kind);
    // Shows three plane vectors in the chart window dialog; the identifiers option is
    // read back into *showAll. With showConditioning the "Mostrar Condicionante" check is
    // offered with that state and read back too.
    void ShowPlanes(std::vector<CPlotPage*>* planes, const char* caption, BYTE* showAll,
                    BYTE* showConditioning = nullptr);
    // Row planes built (again when they carry another conditioning than variable, -1 for
    // none), then grouped by that variable's codes in the rows of the row lists.
    void PrepareRowPlanes(const CDataTable* data, int variable);
    // Reads one "name v1 ... vn" record into row `row` of both tables from column `from`;
    // false at the end of the file, when the line has fewer fields or a value that is no
    // number or not finite.
    bool ReadRecord(CStdioFile& file, CDataTable& table, CDataTable& total, int row, int totalRow, int from,
                    int values);
    // The next line of the results file, counted; the progress bar follows the position.
    bool ReadResultLine(CStdioFile& file, CString& line);
    // The fields' numbers from from on (the caller has checked that there are count of
    // them), each field read whole as a decimal number; false (the line noted) at the first
    // one that is no number or is not finite.
    bool ParseResultValues(const std::vector<std::string>& fields, size_t from, size_t count, double* values);
    int WriteHtmlTableGroup(CStdioFile& file, int section, const char* title, const char* subtitle,
                            CDataTable* tables, const int* ticked);

    CPcaHtmlOptionsDlg* m_pHtmlOptions = nullptr;   // created and deleted by the derived class
    CString m_strReportTitle;
    CAnalysisDlg* m_pOwner;
    CString m_strListingPath;
    CString m_strWorkFolder;
    CDataTable m_eigenvalues;
    CDataTable m_columnTables[3];
    CDataTable m_rowTables[3];
    int m_nFactors = 0;
    int m_nEigenvalueCount = 0;
    CScreePlotChart* m_pScreePlot = nullptr;
    std::vector<CPlotPage*> m_columnPlanes[3];
    std::vector<CPlotPage*> m_rowPlanes[3];
    std::vector<CPlotPage*> m_rowColumnPlanes[3];
    std::vector<int> m_activeRows;
    std::vector<int> m_supplementaryRows;
    BYTE m_bColumnIdentifiers = 0;
    BYTE m_bRowIdentifiers = 0;
    BYTE m_bRowColumnIdentifiers = 0;
    BYTE m_bShowConditioning = 1;
    int m_nRowPlaneConditioning = -1;   // the variable the row plane pages are grouped by
    int m_nResultLine = 0;              // lines of the results file read so far
    int m_nNonFiniteLine = 0;           // the line of its first value that is not finite, or 0
    int m_nUnreadableLine = 0;          // the line of its first field that is no number, or 0
};
