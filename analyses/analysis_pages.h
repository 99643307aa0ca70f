// The pages of the principal components and binary correspondence data definition: which
// columns and rows are active or supplementary (with the columns' short identifiers), and
// the results options (factor count, graph count, data print, coordinate files).
#pragma once

#include <vector>

#include "platform/afx.h"
#include "ui/check_list.h"
#include "ui/dialog_bases.h"

constexpr UINT IDD_COLUMNS_SELECT = 151;
constexpr UINT IDD_RESULTS_OPTIONS = 152;

// Controls of the columns and rows page.
constexpr int IDC_PAGE_LIST = 1078;
constexpr int IDC_PAGE_TOTAL = 1088;
constexpr int IDC_PAGE_ACTIVE_MODE = 1089;        // "Activas"
constexpr int IDC_PAGE_SUPPLEMENTARY_MODE = 1090; // "Suplementares"
constexpr int IDC_PAGE_ACTIVE_COUNT = 1091;
constexpr int IDC_PAGE_SUPPLEMENTARY_COUNT = 1092;
constexpr int IDC_PAGE_SELECT_ALL = 1093;         // "Seleccionar Tudo"
constexpr int IDC_PAGE_IDENTIFIERS = 1094;        // "Identificadores das Colunas"
constexpr int IDC_PAGE_OK = 1096;
constexpr int IDC_PAGE_CANCEL = 1007;
constexpr int IDC_PAGE_COUNT_LABEL = 1104;
constexpr int IDC_PAGE_ITEMS_GROUP = 1105;
constexpr int IDC_PAGE_COUNTS_GROUP = 1106;

// Controls of the options page.
constexpr int IDC_OPTIONS_DATA = 1107;            // "Dados"
constexpr int IDC_OPTIONS_COORDINATE_FILES = 1108;// "Ficheiros de Coordenadas"
constexpr int IDC_OPTIONS_FACTORS = 1098;
constexpr int IDC_OPTIONS_GRAPHS = 1099;

// Flag lines: one character per item, "1" active and "0" supplementary, 80 a line.
void WriteFlagLines(CStdioFile& file, const std::vector<int>& active);
// Reads count flags written by WriteFlagLines; FALSE when a line is missing, holds a
// character other than '0' or '1', or has more flags than its share.
BOOL ReadFlagLines(CStdioFile& file, int count, std::vector<int>& flags);

// The columns page: one check-list item per column, its identifier editable in place.
// An item is active when its flag equals the mode (mode 1: a ticked item is active,
// mode 0: a ticked item is supplementary); the flag of an item is 1 exactly when it is
// ticked. The total is the page count of the base (edit 1088).
class CColumnsSelectDlg : public CColumnListDlgBase {
public:
    explicit CColumnsSelectDlg(CWnd* parent = nullptr);

    // n items, all active; the identifier pages are made afresh ("var").
    void SetTotal(int n);
    // k active items (the flags are not touched).
    void SetActive(int k);
    int GetTotal() const { return m_nColumnCount; }
    int GetActive() const { return m_nActive; }
    int GetSupplementary() const { return m_nSupplementary; }
    int GetMode() const { return m_nMode; }
    const std::vector<int>& GetFlags() const { return m_flags; }
    // Whether item i is active.
    bool IsActiveItem(size_t i) const { return i < m_flags.size() && m_flags[i] == m_nMode; }
    // The item's identifier (its page's value).
    CString GetItemName(int i) const;
    void SetItemName(int i, const CString& name);

    // Flag lines of the items, active "1".
    virtual void WriteFlags(CStdioFile& file);
    // Reads the flag lines of the current total, then mode 1 and the counts recounted
    // from the flags. FALSE (nothing changed) for a missing or bad line.
    virtual BOOL ReadFlags(CStdioFile& file);
    // Takes flags in which 1 is active, as read from a file: mode 1, counts recounted.
    void ApplyActiveFlags(const std::vector<int>& active);

    void WriteToFile(CStdioFile& file) override { WriteFlags(file); }
    void ReadFromFile(CStdioFile& file) override { ReadFlags(file); }
    CString FormatPageEntry(CVariableDlgBase* page) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnActiveMode();
    void OnSupplementaryMode();
    void OnSelectAll();
    void OnIdentifiers();
    void OnPageOk();
    void OnPageCancel();
    void OnTotalChanged();
    void OnTicked();
    void OnUnticked();
    void OnTextEdited();

    // Every flag 0 <-> 1, the checks rewritten; the counts stay.
    void Invert();
    // Counts from the checks (mode 1: checked active).
    void Recount();
    void FlagsFromChecks();
    void ChecksFromFlags();
    // Flags of ticked or unticked items move their counts by the mode.
    void TakeTickChanges();
    void UpdateCountTexts();
    // Lengthens (with 1) or cuts the flags to the total.
    void FitFlags();

    CEditCheckListBox m_list;
    int m_nActive = 7;
    int m_nSupplementary = 0;
    CString m_strActiveCount;
    CString m_strSupplementaryCount;
    CString m_strCountLabel = "Número de Colunas (Variáveis):";
    CString m_strItemsCaption = "Colunas (Variáveis):";
    CString m_strCountsCaption = "Número de Colunas (Variáveis):";
    int m_nMode = 1;
    int m_bShowIdentifiers = 1;
    std::vector<int> m_flags;

    DECLARE_MESSAGE_MAP()
};

// The rows page: one item per complete row of the selected variables, labelled with the
// row name or the identifier variable's value; not editable.
class CRowsSelectDlg : public CColumnsSelectDlg {
public:
    explicit CRowsSelectDlg(CWnd* parent = nullptr);

    // -1: the rows' own names; else the identifier variable's number.
    void SetIdentifier(int code) { m_nIdentifier = code; }
    int GetIdentifier() const { return m_nIdentifier; }
    // The selected columns of the data definition; the first pointer given is kept.
    void SetSelection(const std::vector<int>* selection) {
        if (!m_pSelection) m_pSelection = selection;
    }
    // The complete rows of the document for the selection: their data-set indices and
    // the item labels.
    void Refresh();
    // 0-based data-set rows of the active (or supplementary) items, appended.
    void GetActiveRows(std::vector<int>& rows);
    void GetSupplementaryRows(std::vector<int>& rows);
    const std::vector<int>& GetRowIndices() const { return m_rows; }

    BOOL OnInitDialog() override;

protected:
    void AppendRows(std::vector<int>& rows, bool active);

    std::vector<int> m_rows;
    int m_nIdentifier = -1;
    const std::vector<int>* m_pSelection = nullptr;
};

// The options page of principal components: factor and graph counts, data print and
// coordinate files. The factor count may not pass the limit set by SetMaxFactors.
class CResultsOptionsDlg : public CStepDlg {
public:
    explicit CResultsOptionsDlg(CWnd* parent = nullptr);

    int GetFactorCount() const { return m_nFactors; }
    int GetGraphCount() const { return m_nGraphs; }
    int GetFactorLimit() const { return m_nLimit; }
    int GetDataFlag() const { return m_bData; }
    int GetCoordinateFilesFlag() const { return m_bCoordinateFiles; }
    void SetOptions(int coordinateFiles, int data, int factors, int graphs);

    // "1 " or "0 " for the coordinate files, then "1\n" or "0\n" for the data print.
    virtual void WriteParameterLine(CStdioFile& file);
    // The factor count against the limit (edit 1098 left): message and focus back.
    virtual void CheckFactorCount();
    // The limit from the smaller active count n (at least 1); with init the factor
    // count becomes the limit, else a count above it is lowered (warned when asked).
    virtual void SetMaxFactors(int n, int init, int warn);

    // "%d %d %d %d": coordinate files, data, factors, graphs.
    void WriteConfiguration(CStdioFile& file);
    BOOL ReadConfiguration(CStdioFile& file);
    // The same line, parsed without applying it; FALSE for a bad line.
    static BOOL ParseConfiguration(CStdioFile& file, int values[4]);

    void WriteToFile(CStdioFile& file) override { WriteConfiguration(file); }
    void ReadFromFile(CStdioFile& file) override { ReadConfiguration(file); }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnDataClicked();
    void OnCoordinateFilesClicked();
    void OnFactorsKillFocus();
    void OnOptionsOk();
    void OnOptionsCancel();
    // The limit for n active items of the smaller page.
    virtual int LimitFor(int n) const;
    virtual CString LoweredMessage(int limit) const;
    virtual CString AboveLimitMessage(int limit) const;
    // The lowered message is shown only when warned (principal components).
    virtual bool AlwaysWarnLowered() const { return false; }

    int m_bData = 0;
    int m_bCoordinateFiles = 1;
    int m_nFactors = 0;
    int m_nGraphs = 0;
    int m_nLimit = 0;
    bool m_bClosing = false;

    DECLARE_MESSAGE_MAP()
};

// The options page of the binary correspondence: at most the smaller count less one.
class CFactorOptionsDlg : public CResultsOptionsDlg {
public:
    explicit CFactorOptionsDlg(CWnd* parent = nullptr) : CResultsOptionsDlg(parent) {}

protected:
    int LimitFor(int n) const override;
    CString LoweredMessage(int limit) const override;
    CString AboveLimitMessage(int limit) const override;
    bool AlwaysWarnLowered() const override { return true; }
};
