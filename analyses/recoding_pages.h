// The recoding pages of the multiple correspondence analysis: how each chosen column turns
// into modalities. One modalities page per column (identifiers, codes, activity); a
// quantitative column also has a class-division page telling the engine how to cut it.
#pragma once

#include <vector>

#include "analyses/coordinates_dlg.h"
#include "platform/afx.h"
#include "ui/check_list.h"
#include "ui/dialog_bases.h"

struct CNamedCode;

constexpr UINT IDD_COLUMN_TYPES = 165;
constexpr UINT IDD_CLASS_DIVISION = 166;
constexpr UINT IDD_MODALITIES = 167;
constexpr UINT IDD_MODALITY_VALUE = 168;

// Column types.
constexpr int IDC_TYPES_COLUMNS = 1125;
constexpr int IDC_TYPES_QUANTITATIVE = 1126;
constexpr int IDC_TYPES_QUALITATIVE = 1127;
constexpr int IDC_TYPES_MODALITIES = 1130;   // "Informacao Variáveis"
constexpr int IDC_TYPES_DIVISIONS = 1131;    // "Divisão em\nClasses"
// Modalities page.
constexpr int IDC_MODALITIES_IDENTIFIER = 1128;
constexpr int IDC_MODALITIES_CLASSES = 1129;
constexpr int IDC_MODALITIES_DIVISION = 1131;
constexpr int IDC_MODALITIES_NAMES = 1133;
constexpr int IDC_MODALITIES_CODES = 1079;
constexpr int IDC_MODALITIES_EDIT_NAMES = 1134;   // "Identificadores"
constexpr int IDC_MODALITIES_EDIT_CODES = 1135;   // "Códigos"
// Class-division page.
constexpr int IDC_DIVISION_FREQUENCY = 1124;   // "Igual Frequência"
constexpr int IDC_DIVISION_WIDTH = 1125;       // "Igual Amplitude"
constexpr int IDC_DIVISION_LIMITS = 1126;      // "Definição de Limites"
constexpr int IDC_DIVISION_CLASSES = 1129;
constexpr int IDC_DIVISION_VALUES = 1078;
constexpr int IDC_DIVISION_LABELS = 1178;
// Modality value page.
constexpr int IDC_VALUE_CODE = 1000;

// Class-division rules as the engine numbers them.
constexpr int RULE_EQUAL_WIDTH = 1;
constexpr int RULE_EQUAL_FREQUENCY = 2;
constexpr int RULE_GIVEN_LIMITS = 3;

class CModalitiesDlg;

// The default identifier of modality i (from 1) of a column: its first three characters,
// then "1".."9", "0" for the 10th, "a".."z" from the 11th, "z" beyond.
CString DefaultModalityIdentifier(const CString& column, int i);

// The engine code of one modality (dialog 168).
class CModalityValueDlg : public CVariableDlgBase {
public:
    CModalityValueDlg(int modality, int code, CWnd* parent = nullptr);

    int GetCode() const { return m_nCode; }
    void SetCode(int code);
    CString GetCodeText() const { return m_strCodeText; }

    // "%d" of the code.
    void WriteToFile(CStdioFile& file) override;
    // One line: its text, and the code it holds.
    void ReadFromFile(CStdioFile& file) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    int m_nCode;
    CString m_strCodeText;

    DECLARE_MESSAGE_MAP()
};

// How the engine cuts one quantitative column into classes (dialog 166).
class CClassDivisionDlg : public CWizardStepDlg {
public:
    CClassDivisionDlg(int number, const CString& name, CWnd* parent = nullptr);

    void SetModalitiesPage(CModalitiesDlg* page) { m_pModalities = page; }
    CModalitiesDlg* GetModalitiesPage() const { return m_pModalities; }
    int GetRule() const { return m_nRule; }
    void SetRule(int rule) { m_nRule = rule; }
    int GetClassCount() const { return m_nClasses; }
    const std::vector<float>& GetLimits() const { return m_limits; }
    void SetLimits(const std::vector<float>& limits) { m_limits = limits; }
    // n classes: limits added (each 1.0 above the last) or cut to n + 1.
    void ResizeClasses(int n);
    // Shown alone (OK and "Cancelar") rather than as a page of the sequence.
    void SetSingleMode(int single) { m_bSingleMode = single; }

    // Rule, class count and, for given limits, the limits "%.3f".
    void WriteToFile(CStdioFile& file) override;
    // The configuration form: the rule and, for given limits, count and limits.
    void WriteConfiguration(CStdioFile& file);
    void ReadFromFile(CStdioFile& file) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void EndStep(int code) override;

protected:
    void OnRuleClicked();
    void OnClassesKillFocus() {
        if (!FocusGoesToCancel()) ApplyClassCount();
    }
    void OnSingleOk();
    // The class count typed in edit 1129: fewer than 2 is refused with a message (the
    // old count stays); else both linked pages take it. FALSE when refused.
    bool ApplyClassCount();
    void OnValueEdited();
    void OnValuesSelected();
    void OnLabelsSelected();
    void FillLists();
    void EnableLists();

    int m_nNumber;
    CString m_strName;
    CValueListBox m_values;
    CListBox m_labels;
    CModalitiesDlg* m_pModalities = nullptr;
    int m_nClasses = 3;
    int m_nRule = RULE_EQUAL_FREQUENCY;
    std::vector<float> m_limits{1.0f, 2.0f, 3.0f, 4.0f};
    int m_bSingleMode = 0;

    DECLARE_MESSAGE_MAP()
};

// One column's modalities (dialog 167): its identifier, and per modality an identifier
// page, a code page and an activity flag. The page value is the column identifier.
class CModalitiesDlg : public CVariableDlgBase {
public:
    // division: the class-division page of a quantitative column, none for a qualitative one.
    CModalitiesDlg(int column, const CString& caption, CClassDivisionDlg* division, CWnd* parent = nullptr);
    ~CModalitiesDlg() override;

    bool IsQuantitative() const { return m_pDivision != nullptr; }
    CClassDivisionDlg* GetDivision() const { return m_pDivision; }
    // Quantitative: n classes, identifiers and codes made by default for the new ones.
    void SetClassCount(int n);
    // Qualitative: one modality per category, named and coded by it, all active.
    void SetCategories(const std::vector<CNamedCode>& categories);
    void AddModality(const CString& identifier, int code, int active);
    void ClearModalities();

    int GetModalityCount() const { return static_cast<int>(m_active.size()); }
    int GetActiveCount() const;
    CString GetModalityIdentifier(int i) const;
    int GetModalityCode(int i) const;
    int IsModalityActive(int i) const { return m_active[static_cast<size_t>(i)]; }
    void SetModalityActive(int i, int active) { m_active[static_cast<size_t>(i)] = active ? 1 : 0; }
    void SetModalityIdentifier(int i, const CString& identifier);

    void WriteCodes(CStdioFile& file);
    void WriteIdentifiers(CStdioFile& file);
    // "1" or "0" per modality, appended.
    void AppendActivity(CString& flags) const;
    // Column line, modality lines and, for a quantitative column, its class division.
    void WriteConfiguration(CStdioFile& file);

    void WriteToFile(CStdioFile& file) override { WriteConfiguration(file); }
    // The lines of WriteConfiguration; nothing changes unless all of them hold.
    void ReadFromFile(CStdioFile& file) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void EndStep(int code) override;

protected:
    void OnDivision();
    void OnEditNames();
    void OnEditCodes();
    void OnCodeDoubleClick();
    void OnClassesKillFocus() {
        if (!FocusGoesToCancel()) ApplyClassCount();
    }
    bool ApplyClassCount();
    void OnTicksChanged();
    void OnNameEdited();
    void OnSingleOk();
    void FillLists();
    void TakeTicks();

    CClassDivisionDlg* m_pDivision;
    std::vector<CWizardStepDlg*> m_identifierPages;
    std::vector<CWizardStepDlg*> m_codePages;
    std::vector<int> m_active;
    CEditCheckListBox m_names;
    CListBox m_codes;
    int m_nClasses = 0;
    CString m_strShownIdentifier;   // the identifier as last put into the edit

    DECLARE_MESSAGE_MAP()
};

// The columns of the multiple correspondence (dialog 165): one modalities page per column,
// quantitative columns first, and a class-division page per quantitative column.
class CColumnTypesDlg : public CColumnListDlgBase {
public:
    explicit CColumnTypesDlg(CWnd* parent = nullptr);
    ~CColumnTypesDlg() override;

    // The pages of the chosen columns (quantitative first, as the counts say).
    void BuildFromSelection(const std::vector<int>& selection, int quantitative, int qualitative);
    // Totals from the pages: J modalities, A active ones, M the most of one column.
    void RecomputeTotals();
    int GetModalityTotal() const { return m_nModalities; }
    int GetActiveTotal() const { return m_nActive; }
    int GetMaxModalities() const { return m_nMaxModalities; }
    int GetQuantitativeCount() const { return m_nQuantitative; }
    int GetQualitativeCount() const { return m_nQualitative; }
    CModalitiesDlg* GetColumn(int i) const { return static_cast<CModalitiesDlg*>(GetPage(i)); }
    const std::vector<CWizardStepDlg*>& GetDivisions() const { return m_divisions; }

    // The engine parameter lines, each in page order.
    void WriteColumnIdentifiers(CStdioFile& file);
    void WriteClassDivisions(CStdioFile& file);
    void WriteModalityCounts(CStdioFile& file);
    void WriteCodes(CStdioFile& file);
    void WriteIdentifiers(CStdioFile& file);
    // The modalities' activity flags, then extra "0"s, in lines of 80, the last ended.
    void WriteActivityFlags(CStdioFile& file, int trailingZeros);
    CString GetActivityFlags() const;

    // The configuration lines; reading checks every line and rebuilds the pages only when
    // all of them hold (FALSE leaves the pages as they were).
    void WriteConfiguration(CStdioFile& file);
    BOOL ReadConfiguration(CStdioFile& file);

    void WriteToFile(CStdioFile& file) override { WriteConfiguration(file); }
    void ReadFromFile(CStdioFile& file) override { ReadConfiguration(file); }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnModalities();
    void OnDivisions();
    void OnColumnDoubleClick();
    void RemoveAll();

    std::vector<CWizardStepDlg*> m_divisions;
    CListBox m_list;
    int m_nMaxModalities = 0;
    int m_nModalities = 0;
    int m_nActive = 0;
    int m_nQuantitative = 0;
    int m_nQualitative = 0;
    std::vector<int> m_selection;

    DECLARE_MESSAGE_MAP()
};
