// The dialogs of the HTML report of the factorial analyses: the options of what the page
// holds (with the folder it goes to) and the notice with the link that opens it.
#pragma once

#include "platform/afx.h"
#include "ui/hyperlink.h"

constexpr UINT IDD_PCA_HTML_OPTIONS = 183;
constexpr UINT IDD_HTML_NOTICE = 184;
constexpr int IDC_HTML_GENERATE = 1165;        // "Gerar"
constexpr int IDC_HTML_SELECT_ALL = 1093;      // "Selecionar Todos"
constexpr int IDC_HTML_COLUMNS_ACTIVE = 1166;
constexpr int IDC_HTML_COLUMNS_SUPPLEMENTARY = 1167;
constexpr int IDC_HTML_COLUMNS_TOTAL = 1168;
constexpr int IDC_HTML_ROWS_ACTIVE = 1169;
constexpr int IDC_HTML_ROWS_SUPPLEMENTARY = 1170;
constexpr int IDC_HTML_ROWS_TOTAL = 1171;
constexpr int IDC_HTML_EIGENVALUES = 1172;
constexpr int IDC_HTML_SCREE_PLOT = 1174;
constexpr int IDC_HTML_LINK = 1173;
constexpr int HTML_GENERATE_RESULT = 1002;   // DoModal's answer when the report is asked for

class CPcaHtmlOptionsDlg : public CDialog {
public:
    explicit CPcaHtmlOptionsDlg(UINT templateId = IDD_PCA_HTML_OPTIONS, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    virtual void OnSelectAll();
    // Asks for the folder; a confirmed one ends the dialog with HTML_GENERATE_RESULT.
    void OnGenerate();

    const CString& GetFolder() const { return m_strFolder; }
    void SetFolder(const CString& folder) { m_strFolder = folder; }
    void SetSupplementaryColumns(int exist) { m_bSupplementaryColumns = exist; }
    void SetSupplementaryRows(int exist) { m_bSupplementaryRows = exist; }
    void SetRows(int exist) { m_bRows = exist; }
    int GetColumnActive() const { return m_nColumnActive; }
    int GetColumnSupplementary() const { return m_nColumnSupplementary; }
    int GetColumnTotal() const { return m_nColumnTotal; }
    int GetRowActive() const { return m_nRowActive; }
    int GetRowSupplementary() const { return m_nRowSupplementary; }
    int GetRowTotal() const { return m_nRowTotal; }
    int GetEigenvalues() const { return m_nEigenvalues; }
    int GetScreePlot() const { return m_nScreePlot; }

protected:
    // Enables the box when allowed; a disabled box is unticked.
    void Allow(int id, int& value, bool allowed);
    void Tick(int id, int& value);

    CString m_strFolder;
    int m_bSupplementaryColumns = 0;
    int m_bSupplementaryRows = 0;
    int m_bRows = 1;
    int m_nColumnActive = 0, m_nColumnSupplementary = 0, m_nColumnTotal = 0;
    int m_nRowActive = 0, m_nRowSupplementary = 0, m_nRowTotal = 0;
    int m_nEigenvalues = 0, m_nScreePlot = 0;

    DECLARE_MESSAGE_MAP()
};

// "Relatório HTML": a link to the page just written, and "OK".
class CHtmlReportNoticeDlg : public CDialog {
public:
    CHtmlReportNoticeDlg(const CString& path, CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    CHyperLink& GetLink() { return m_link; }

protected:
    CString m_strPath;
    CHyperLink m_link;
};
