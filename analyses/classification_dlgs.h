// The sub-dialogs of the hierarchical classification: the modes (what is classified, the
// distance and the aggregation, with the flexible coefficients), the output switches of
// the engine listing, the column codes, and the cut value of the division into groups.
#pragma once

#include <vector>

#include "app/data_table.h"
#include "platform/afx.h"
#include "ui/dialog_bases.h"

// Templates.
constexpr UINT IDD_CLASSIFICATION_DEFINITION = 153;
constexpr UINT IDD_CLASSIFICATION_COLUMNS = 154;
constexpr UINT IDD_CLASSIFICATION_OUTPUT = 155;
constexpr UINT IDD_CLASSIFICATION_MODES = 156;
constexpr UINT IDD_FLEXIBLE = 157;
constexpr UINT IDD_GROUP_DIVISION = 159;
constexpr UINT IDD_CLASSIFICATION_RESULTS = 191;

// Flexible coefficients.
constexpr int IDC_FLEXIBLE_ALFA1 = 1002;
constexpr int IDC_FLEXIBLE_ALFA2 = 1117;
constexpr int IDC_FLEXIBLE_BETA = 1003;
constexpr int IDC_FLEXIBLE_GAMA = 1004;
// Modes.
constexpr int IDC_MODES_OK = 3;
constexpr int IDC_MODE_Q = 1117;
constexpr int IDC_MODE_R = 1116;
constexpr int IDC_AGGREGATION_COMBO = 1112;
constexpr int IDC_FLEXIBLE_BUTTON = 1113;
constexpr int IDC_DISTANCE_COMBO = 1114;
// Output switches.
constexpr int IDC_OUTPUT_DISTANCES = 1111;
constexpr int IDC_OUTPUT_DATA = 1107;
constexpr int IDC_OUTPUT_HIERARCHY = 1112;
// Column codes.
constexpr int IDC_COLUMNS_COUNT = 1008;
constexpr int IDC_COLUMNS_LIST = 1078;
constexpr int IDC_COLUMNS_OK = 1096;
constexpr int IDC_COLUMNS_CANCEL = 1007;
constexpr int IDC_COLUMNS_EDIT = 1020;
// Cut value.
constexpr int IDC_CUT_VALUE = 1119;

// The name the aggregation list gives the flexible method, and its engine code.
extern const char kFlexibleAggregation[];
constexpr int FLEXIBLE_AGGREGATION_CODE = 5;

// A float edit that also refuses infinities and NaN, which the engines cannot read back.
void DDX_FiniteFloat(CDataExchange* dx, int id, float& value);

// Dialog 157: the four coefficients of the flexible aggregation.
class CFlexibleDlg : public CStepDlg {
public:
    CFlexibleDlg();

    // "%f %f %f %f" of alfa1, alfa2, beta, gama.
    void WriteParameters(CStdioFile& file);
    // One whole line of four numbers. FALSE, with the coefficients unchanged, when the line
    // is missing or malformed; coefficients that are not finite are refused with a message.
    BOOL ReadParameters(CStdioFile& file);
    // The same check on one line, without applying it.
    static BOOL ParseCoefficients(const CString& line, float out[4], BOOL showMessage);

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    void DoDataExchange(CDataExchange* dx) override;

    const float* GetCoefficients() const { return m_coefficients; }
    void SetCoefficients(const float values[4]);

protected:
    float m_coefficients[4] = {0.5f, 0.5f, 0.0f, -0.5f};   // alfa1, alfa2, beta, gama

    DECLARE_MESSAGE_MAP()
};

// What one modes line (and its coefficient line) of a configuration says, before it is applied.
struct ClassificationModes {
    int mode = 1;
    CString distanceName;
    CString aggregationName;
    bool flexible = false;
    float coefficients[4] = {0, 0, 0, 0};
};

// Dialog 156: mode Q (rows) or R (columns), distance and aggregation. Choices are kept as
// they are made, so "Cancelar" undoes nothing.
class CClassificationModesDlg : public CStepDlg {
public:
    CClassificationModesDlg();

    // "%d %d %d": mode, distance code, aggregation code; then the coefficients when the
    // aggregation is the flexible one.
    void WriteParameters(CStdioFile& file);
    // Reads the lines WriteParameters writes. FALSE, with nothing changed, when they are
    // missing or malformed.
    BOOL ReadParameters(CStdioFile& file);
    BOOL ReadModes(CStdioFile& file, ClassificationModes& out) const;
    void ApplyModes(const ClassificationModes& modes);

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    BOOL OnInitDialog() override;

    void OnModeQ();
    void OnModeR();
    void OnAggregationChange();
    void OnDistanceChange();
    void OnFlexible();
    void OnClose() { EndDialog(IDOK); }

    int GetMode() const { return m_nMode; }
    CString GetDistanceName() const { return m_strDistance; }
    CString GetAggregationName() const { return m_strAggregation; }
    int GetDistanceCode() const { return CodeOf(m_distances, m_strDistance); }
    int GetAggregationCode() const { return CodeOf(m_aggregations, m_strAggregation); }
    BOOL IsFlexible() const;
    const std::vector<CNamedCode>& GetDistances() const { return m_distances; }
    const std::vector<CNamedCode>& GetAggregations() const { return m_aggregations; }
    CFlexibleDlg& GetFlexibleDlg() { return m_flexibleDlg; }

    // Lookups walk from the head and take the first match; with none, the last entry.
    static int CodeOf(const std::vector<CNamedCode>& list, const CString& name);
    static CString NameOf(const std::vector<CNamedCode>& list, int code);

protected:
    // Makes the list hold the entry of the mode, not the other's (and the combo, when shown).
    void SwitchMode(int mode);
    void PutModeEntry(int mode);

    std::vector<CNamedCode> m_distances;
    std::vector<CNamedCode> m_aggregations;
    int m_nMode = 1;   // 1 = "Modo Q" (rows), 0 = "Modo R" (columns)
    const CNamedCode m_qDistance;
    const CNamedCode m_rDistance;
    const CNamedCode m_flexible;
    int m_nDistanceIndex = 0;
    int m_nAggregationIndex = 0;
    CString m_strDistance;
    CString m_strAggregation;
    CFlexibleDlg m_flexibleDlg;
    CButton m_flexibleButton;
    CComboBox m_aggregationCombo;
    CComboBox m_distanceCombo;

    DECLARE_MESSAGE_MAP()
};

// Dialog 155: what the engine prints besides the hierarchy. A click toggles its switch at once.
class CClassificationOutputDlg : public CStepDlg {
public:
    CClassificationOutputDlg();

    // "%d %d %d": print the data, describe the hierarchy, print the distance matrix.
    void WriteParameters(CStdioFile& file);
    // The same switches in the order the engine reads them: data, distance table, classes.
    void WriteEngineFlags(CStdioFile& file);
    // One line of three integers (non-zero is 1); FALSE, with nothing changed, otherwise.
    // SetFlags takes them in the same order.
    BOOL ReadParameters(CStdioFile& file);
    void SetFlags(const int flags[3]);

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    BOOL OnInitDialog() override;

    void OnDistances() { m_bDistances = !m_bDistances; }
    void OnData() { m_bData = !m_bData; }
    void OnHierarchy() { m_bHierarchy = !m_bHierarchy; }

    int PrintsDistances() const { return m_bDistances; }
    int PrintsData() const { return m_bData; }
    int DescribesHierarchy() const { return m_bHierarchy; }

protected:
    int m_bDistances = 0;
    int m_bData = 0;
    int m_bHierarchy = 0;

    DECLARE_MESSAGE_MAP()
};

// Dialog 154: the code of each column, as the engine names the variables.
class CClassificationColumnsDlg : public CColumnListDlgBase {
public:
    CClassificationColumnsDlg();

    // One line per column, its code.
    void WriteParameters(CStdioFile& file) { WritePages(file); }
    // A fresh page per column (value "var"), then the codes.
    void SetColumns(int count, const std::vector<CString>& codes);
    std::vector<CString> GetCodes() const;

    void WriteToFile(CStdioFile& file) override { WritePages(file); }
    void ReadFromFile(CStdioFile& file) override { ReadPages(file); }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    void OnEditColumns() { EditColumns(m_list); }
    void OnEditPage() { EditPage(m_list); }

protected:
    CListBox m_list;

    DECLARE_MESSAGE_MAP()
};

// Dialog 159: the level at which the hierarchy is cut into groups.
class CGroupDivisionDlg : public CStepDlg {
public:
    CGroupDivisionDlg();

    // "%f" of the cut, whole whatever its size.
    void WriteParameters(CStdioFile& file);
    BOOL ReadParameters(CStdioFile& file);

    void WriteToFile(CStdioFile& file) override { WriteParameters(file); }
    void ReadFromFile(CStdioFile& file) override { ReadParameters(file); }
    void DoDataExchange(CDataExchange* dx) override;

    float GetCut() const { return m_fCut; }

protected:
    float m_fCut = 0.0f;

    DECLARE_MESSAGE_MAP()
};
