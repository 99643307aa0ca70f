// The results of the binary correspondence analysis: kelo.tmp's eigenvalues and its
// coordinate blocks (mass, distance to the origin, coordinates), the absolute and relative
// contributions computed from them, plain scatter planes and the HTML report with the
// contribution sections.
#pragma once

#include "analyses/factor_results_dlg.h"
#include "analyses/html_report.h"

constexpr UINT IDD_CORRESP_REPORT = 186;
constexpr UINT IDD_CORRESP_HTML_OPTIONS = 187;
constexpr int IDC_REPORT_ABSOLUTE_COLUMNS = 1170;
constexpr int IDC_REPORT_ABSOLUTE_ROWS = 1088;
constexpr int IDC_REPORT_RELATIVE_COLUMNS = 1171;
constexpr int IDC_REPORT_RELATIVE_ROWS = 1089;

// The options of the correspondence report: the principal components' boxes and twelve
// contribution boxes (absolute/relative × columns/rows × active/supplementary/total).
class CHtmlOptionsDlg : public CPcaHtmlOptionsDlg {
public:
    explicit CHtmlOptionsDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnSelectAll() override;
    // group: 0 absolute columns, 1 absolute rows, 2 relative columns, 3 relative rows;
    // which: 0 active, 1 supplementary, 2 total.
    int GetContribution(int group, int which) const { return m_contributions[group][which]; }
    static int ControlId(int group, int which);

protected:
    int m_contributions[4][3] = {};

    DECLARE_MESSAGE_MAP()
};

class CCorrespReportDlg : public CFactorResultsDlg {
public:
    CCorrespReportDlg(CAnalysisDlg* owner, UINT templateId = IDD_CORRESP_REPORT, CWnd* parent = nullptr);
    ~CCorrespReportDlg() override;

    void BuildRowColumnPages(CDataTable& columns, CDataTable& rows, std::vector<CPlotPage*>& pages) override;
    void BuildRowPlanePages(CDataTable& rows, std::vector<CPlotPage*>& pages) override;
    void BuildColumnPlanes() override;
    void ReadResults(CString path) override;
    int WriteHtmlReport(CString folder, CStdioFile& file, int first) override;

    void OnAbsoluteColumns();
    void OnAbsoluteRows();
    void OnRelativeColumns();
    void OnRelativeRows();

    // The contribution tables: 0 absolute columns, 1 absolute rows, 2 relative columns,
    // 3 relative rows; which as for the coordinate tables.
    CDataTable& GetContributionTable(int group, int which) { return m_contributions[group][which]; }
    // Fills the twelve contribution tables from the coordinate and eigenvalue tables.
    void ComputeContributions();

protected:
    // Reads one coordinate block into three tables; false when the file is short.
    bool ReadBlock(CStdioFile& file, CDataTable* tables, int active, int supplementary, int factors);
    void ShowContributions(int group, const char* caption);

    CDataTable m_contributions[4][3];

    DECLARE_MESSAGE_MAP()
};
