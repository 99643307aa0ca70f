#include "analyses/recoding_pages.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "analyses/analysis_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace {
const char kTwoClasses[] = "Tem de existir pelo menos 2 classes";
// More modalities than any column of a table can have.
constexpr int kMaxModalities = 999999;

std::vector<CString> Words(const CString& line) {
    std::vector<CString> words;
    const char* p = line.GetString();
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        const char* start = p;
        while (*p && *p != ' ' && *p != '\t') ++p;
        if (p > start) words.emplace_back(start, static_cast<int>(p - start));
    }
    return words;
}

bool ToInt(const CString& text, int& value) {
    const char* s = text.GetString();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 10);
    if (end == s || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

bool ToFloat(const CString& text, float& value) {
    const char* s = text.GetString();
    while (*s == ' ' || *s == '\t') ++s;
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0' || !std::isfinite(v) || std::fabs(v) > 3.0e38) return false;
    value = static_cast<float>(v);
    return true;
}

// A name as one word of a configuration line: "\\s" a blank, "\\t" a tab, "\\\\" a
// backslash, "\\e" the empty name; any name a table holds survives.
CString EscapedName(const CString& name) {
    if (name.IsEmpty()) return "\\e";
    CString word;
    for (int i = 0; i < name.GetLength(); ++i) {
        const char c = name[i];
        if (c == ' ') word += "\\s";
        else if (c == '\t') word += "\\t";
        else if (c == '\\') word += "\\\\";
        else word += c;
    }
    return word;
}

// The name of such a word. Other backslashes stand as they are: earlier files wrote names
// unescaped.
CString UnescapedName(const CString& word) {
    if (word == "\\e") return CString();
    CString name;
    for (int i = 0; i < word.GetLength(); ++i) {
        const char c = word[i];
        const char next = i + 1 < word.GetLength() ? word[i + 1] : '\0';
        if (c == '\\' && (next == 's' || next == 't' || next == '\\')) {
            name += next == 's' ? ' ' : next == 't' ? '\t' : '\\';
            ++i;
        } else {
            name += c;
        }
    }
    return name;
}

// A whole line: names may make it longer than the bounded read allows.
bool ReadNameLine(CStdioFile& file, CString& line) { return file.ReadString(line) != FALSE; }

// A line of exactly count integers.
bool ReadInts(CStdioFile& file, int* values, int count) { return ReadConfigurationInts(file, values, count) != FALSE; }

CString QuantitativeCaption(int n) { return FormatString("%dª Coluna (Quantitativa)", n); }
CString QualitativeCaption(int n) { return FormatString("%dª Coluna (Qualitativa)", n); }
CString DivisionCaption(int n, const CString& name) { return FormatString("%dª Variável Quantitativa - %s", n, name); }
}  // namespace

CString DefaultModalityIdentifier(const CString& column, int i) {
    char last = i >= 1 && i <= 9 ? static_cast<char>('0' + i)
                : i == 10        ? '0'
                : i <= 36        ? static_cast<char>('a' + (i - 11))
                                 : 'z';
    CString id = column.Left(3);
    id += last;
    return id;
}

namespace {
struct ModalityLine {
    CString identifier;
    int code = 0;
    int active = 1;
};
struct ColumnLines {
    CString identifier;
    int column = 0;
    std::vector<ModalityLine> modalities;
    int rule = RULE_EQUAL_FREQUENCY;
    std::vector<float> limits;
};

// count + 1 limits, one a line.
bool ParseLimits(CStdioFile& file, int count, std::vector<float>& limits) {
    limits.clear();
    for (int k = 0; k <= count; ++k) {
        CString line;
        float limit = 0;
        if (!ReadConfigurationLine(file, line) || line.GetLength() > 98 || !ToFloat(line, limit)) return false;
        limits.push_back(limit);
    }
    return true;
}

// One column's configuration lines: "identifier column modalities active", a line per
// modality "identifier code active", then for a quantitative column its rule and, for
// given limits, the class count (the column's modalities) and the limits.
bool ParseColumnLines(CStdioFile& file, bool quantitative, ColumnLines& col) {
    CString line;
    if (!ReadNameLine(file, line)) return false;
    std::vector<CString> w = Words(line);
    int count = 0, active = 0;
    if (w.size() != 4 || !ToInt(w[1], col.column) || !ToInt(w[2], count) || !ToInt(w[3], active)) return false;
    if (col.column < 1 || count < 0 || count > kMaxModalities) return false;
    col.identifier = UnescapedName(w[0]);
    for (int m = 0; m < count; ++m) {
        ModalityLine mod;
        if (!ReadNameLine(file, line)) return false;
        w = Words(line);
        if (w.size() != 3 || !ToInt(w[1], mod.code) || !ToInt(w[2], mod.active)) return false;
        if (mod.code < 0 || mod.code > 99999 || (mod.active != 0 && mod.active != 1)) return false;
        mod.identifier = UnescapedName(w[0]);
        col.modalities.push_back(mod);
    }
    if (!quantitative) return true;
    if (!ReadInts(file, &col.rule, 1) || col.rule < RULE_EQUAL_WIDTH || col.rule > RULE_GIVEN_LIMITS) return false;
    if (col.rule != RULE_GIVEN_LIMITS) return true;
    int classes = 0;
    return ReadInts(file, &classes, 1) && classes == count && ParseLimits(file, classes, col.limits);
}

// The page takes the lines: its identifier, column, modalities and class division.
void ApplyColumnLines(CModalitiesDlg* page, const ColumnLines& col) {
    page->SetVariableName(col.identifier);
    page->ClearModalities();
    for (const ModalityLine& mod : col.modalities) page->AddModality(mod.identifier, mod.code, mod.active);
    if (CClassDivisionDlg* division = page->GetDivision()) {
        division->SetRule(col.rule);
        division->ResizeClasses(page->GetModalityCount());
        if (col.rule == RULE_GIVEN_LIMITS) division->SetLimits(col.limits);
    }
}
}  // namespace

// --- CModalityValueDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CModalityValueDlg, CVariableDlgBase)
    ON_BN_CLICKED(IDC_STEP_PREVIOUS, &CModalityValueDlg::OnPreviousStep)
    ON_BN_CLICKED(IDC_STEP_NEXT, &CModalityValueDlg::OnNextStep)
    ON_BN_CLICKED(IDC_STEP_FINISH, &CModalityValueDlg::OnFinishStep)
    ON_BN_CLICKED(IDC_STEP_CANCEL, &CModalityValueDlg::OnCancelStep)
    ON_BN_CLICKED(IDC_SINGLE_OK, &CModalityValueDlg::OnOK)
    ON_BN_CLICKED(IDC_SINGLE_CANCEL, &CModalityValueDlg::OnCancel)
END_MESSAGE_MAP()

CModalityValueDlg::CModalityValueDlg(int modality, int code, CWnd* parent)
    : CVariableDlgBase(IDD_MODALITY_VALUE, modality, parent), m_nCode(code) {
    m_strCodeText.Format("%d", code);
}

void CModalityValueDlg::SetCode(int code) {
    m_nCode = code;
    m_strCodeText.Format("%d", code);
}

void CModalityValueDlg::WriteToFile(CStdioFile& file) { file.WriteString(FormatString("%d\n", m_nCode)); }

void CModalityValueDlg::ReadFromFile(CStdioFile& file) {
    CString line;
    int code = 0;
    if (ReadConfigurationLine(file, line) && ToInt(line, code)) SetCode(code);
}

BOOL CModalityValueDlg::OnInitDialog() {
    const int single[2] = {IDC_SINGLE_OK, IDC_SINGLE_CANCEL};
    if (m_bSingleMode) ShowItems(kStepButtonIds, 4, FALSE);
    else InitStepButtons(kStepButtonIds);
    ShowItems(single, 2, m_bSingleMode);
    return CBaseDlg::OnInitDialog();
}

void CModalityValueDlg::DoDataExchange(CDataExchange* dx) {
    CVariableDlgBase::DoDataExchange(dx);
    // A refused code is not taken.
    int code = m_nCode;
    DDX_Text(dx, IDC_VALUE_CODE, code);
    DDV_MinMaxInt(dx, code, 0, 99999);
    if (dx->m_bSaveAndValidate) SetCode(code);
}

// --- CClassDivisionDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClassDivisionDlg, CWizardStepDlg)
    ON_BN_CLICKED(IDC_STEP_PREVIOUS, &CClassDivisionDlg::OnPreviousStep)
    ON_BN_CLICKED(IDC_STEP_NEXT, &CClassDivisionDlg::OnNextStep)
    ON_BN_CLICKED(IDC_STEP_FINISH, &CClassDivisionDlg::OnFinishStep)
    ON_BN_CLICKED(IDC_STEP_CANCEL, &CClassDivisionDlg::OnCancelStep)
    ON_BN_CLICKED(IDC_SINGLE_OK, &CClassDivisionDlg::OnSingleOk)
    ON_BN_CLICKED(IDC_SINGLE_CANCEL, &CClassDivisionDlg::OnCancel)
    ON_BN_CLICKED(IDC_DIVISION_WIDTH, &CClassDivisionDlg::OnRuleClicked)
    ON_BN_CLICKED(IDC_DIVISION_FREQUENCY, &CClassDivisionDlg::OnRuleClicked)
    ON_BN_CLICKED(IDC_DIVISION_LIMITS, &CClassDivisionDlg::OnRuleClicked)
    ON_EN_KILLFOCUS(IDC_DIVISION_CLASSES, &CClassDivisionDlg::OnClassesKillFocus)
    ON_CONTROL(VLN_VALUE_EDITED, IDC_DIVISION_VALUES, &CClassDivisionDlg::OnValueEdited)
    ON_LBN_SELCHANGE(IDC_DIVISION_VALUES, &CClassDivisionDlg::OnValuesSelected)
    ON_LBN_SELCHANGE(IDC_DIVISION_LABELS, &CClassDivisionDlg::OnLabelsSelected)
END_MESSAGE_MAP()

CClassDivisionDlg::CClassDivisionDlg(int number, const CString& name, CWnd* parent)
    : CWizardStepDlg(IDD_CLASS_DIVISION, parent), m_nNumber(number), m_strName(name), m_values(1, 1, 20, 1) {
    SetCaption(DivisionCaption(number, name));
}

void CClassDivisionDlg::ResizeClasses(int n) {
    m_nClasses = n;
    size_t wanted = static_cast<size_t>(n) + 1;
    while (m_limits.size() < wanted) m_limits.push_back(m_limits.empty() ? 1.0f : m_limits.back() + 1.0f);
    m_limits.resize(wanted);
}

void CClassDivisionDlg::WriteToFile(CStdioFile& file) {
    file.WriteString(FormatString("%d\n%d\n", m_nRule, m_nClasses));
    if (m_nRule == RULE_GIVEN_LIMITS)
        for (float limit : m_limits) file.WriteString(FormatString("%.3f\n", static_cast<double>(limit)));
}

void CClassDivisionDlg::WriteConfiguration(CStdioFile& file) {
    file.WriteString(FormatString("%d\n", m_nRule));
    if (m_nRule != RULE_GIVEN_LIMITS) return;
    file.WriteString(FormatString("%d\n", m_nClasses));
    for (float limit : m_limits) file.WriteString(FormatString("%.3f\n", static_cast<double>(limit)));
}

void CClassDivisionDlg::ReadFromFile(CStdioFile& file) {
    // The lines of WriteToFile, taken only when all of them hold.
    int rule = 0, classes = 0;
    if (!ReadInts(file, &rule, 1) || rule < RULE_EQUAL_WIDTH || rule > RULE_GIVEN_LIMITS) return;
    if (!ReadInts(file, &classes, 1) || classes < 2 || classes > kMaxModalities) return;
    std::vector<float> limits;
    if (rule == RULE_GIVEN_LIMITS && !ParseLimits(file, classes, limits)) return;
    m_nRule = rule;
    if (m_pModalities) m_pModalities->SetClassCount(classes);
    else ResizeClasses(classes);
    if (rule == RULE_GIVEN_LIMITS) m_limits = limits;
}

void CModalitiesDlg::ReadFromFile(CStdioFile& file) {
    ColumnLines col;
    if (!ParseColumnLines(file, IsQuantitative(), col)) return;
    m_nColumn = col.column;
    ApplyColumnLines(this, col);
}

void CClassDivisionDlg::FillLists() {
    if (!m_values.GetSafeHwnd() || !m_labels.GetSafeHwnd()) return;
    m_values.ResetContent();
    m_labels.ResetContent();
    for (size_t i = 0; i < m_limits.size(); ++i) {
        m_values.AddString(FormatString("%.3f", static_cast<double>(m_limits[i])));
        CString label = i == 0                   ? CString("Inferior")
                        : i + 1 == m_limits.size() ? CString("Superior")
                                                   : FormatString("%dª Divisão", static_cast<int>(i));
        m_labels.AddString(label);
    }
}

void CClassDivisionDlg::EnableLists() {
    BOOL given = m_nRule == RULE_GIVEN_LIMITS;
    if (m_values.GetSafeHwnd()) m_values.EnableWindow(given);
    if (m_labels.GetSafeHwnd()) m_labels.EnableWindow(given);
}

BOOL CClassDivisionDlg::OnInitDialog() {
    const int single[2] = {IDC_SINGLE_OK, IDC_SINGLE_CANCEL};
    if (m_bSingleMode) ShowItems(kStepButtonIds, 4, FALSE);
    else InitStepButtons(kStepButtonIds);
    ShowItems(single, 2, m_bSingleMode);
    m_values.SubclassDlgItem(IDC_DIVISION_VALUES, this);
    m_labels.SubclassDlgItem(IDC_DIVISION_LABELS, this);
    int radio = m_nRule == RULE_EQUAL_WIDTH       ? IDC_DIVISION_WIDTH
                : m_nRule == RULE_GIVEN_LIMITS    ? IDC_DIVISION_LIMITS
                                                  : IDC_DIVISION_FREQUENCY;
    CheckRadioButton(IDC_DIVISION_FREQUENCY, IDC_DIVISION_LIMITS, radio);
    FillLists();
    EnableLists();
    return CWizardStepDlg::OnInitDialog();
}

void CClassDivisionDlg::DoDataExchange(CDataExchange* dx) {
    CWizardStepDlg::DoDataExchange(dx);
    int classes = m_nClasses;
    DDX_Text(dx, IDC_DIVISION_CLASSES, classes);
    DDV_MinMaxInt(dx, classes, 0, kMaxModalities);
    m_nClasses = classes;
}

void CClassDivisionDlg::OnRuleClicked() {
    if (IsDlgButtonChecked(IDC_DIVISION_WIDTH)) m_nRule = RULE_EQUAL_WIDTH;
    else if (IsDlgButtonChecked(IDC_DIVISION_LIMITS)) m_nRule = RULE_GIVEN_LIMITS;
    else m_nRule = RULE_EQUAL_FREQUENCY;
    EnableLists();
}

bool CClassDivisionDlg::ApplyClassCount() {
    int before = m_nClasses;
    if (!UpdateData(TRUE)) return false;
    if (m_nClasses < 2) {
        m_nClasses = before;
        UpdateData(FALSE);
        AfxMessageBox(kTwoClasses);
        if (CWnd* edit = GetDlgItem(IDC_DIVISION_CLASSES)) edit->SetFocus();
        return false;
    }
    if (m_nClasses + 1 == static_cast<int>(m_limits.size())) return true;
    int n = m_nClasses;
    if (m_pModalities) m_pModalities->SetClassCount(n);
    else ResizeClasses(n);
    FillLists();
    return true;
}

void CClassDivisionDlg::EndStep(int code) {
    if (code != STEP_CANCEL && !ApplyClassCount()) return;
    CWizardStepDlg::EndStep(code);
}

void CClassDivisionDlg::OnSingleOk() {
    if (ApplyClassCount()) OnOK();
}

void CClassDivisionDlg::OnValueEdited() {
    int i = m_values.GetEditIndex();
    CString text;
    if (i < 0 || i >= static_cast<int>(m_limits.size()) || m_values.GetText(i, text) == LB_ERR) return;
    m_limits[static_cast<size_t>(i)] = static_cast<float>(std::atof(text));
}

void CClassDivisionDlg::OnValuesSelected() { m_labels.SetCurSel(m_values.GetCurSel()); }
void CClassDivisionDlg::OnLabelsSelected() { m_values.SetCurSel(m_labels.GetCurSel()); }

// --- CModalitiesDlg ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CModalitiesDlg, CVariableDlgBase)
    ON_BN_CLICKED(IDC_STEP_PREVIOUS, &CModalitiesDlg::OnPreviousStep)
    ON_BN_CLICKED(IDC_STEP_NEXT, &CModalitiesDlg::OnNextStep)
    ON_BN_CLICKED(IDC_STEP_FINISH, &CModalitiesDlg::OnFinishStep)
    ON_BN_CLICKED(IDC_STEP_CANCEL, &CModalitiesDlg::OnCancelStep)
    ON_BN_CLICKED(IDC_SINGLE_OK, &CModalitiesDlg::OnSingleOk)
    ON_BN_CLICKED(IDC_SINGLE_CANCEL, &CModalitiesDlg::OnCancel)
    ON_BN_CLICKED(IDC_MODALITIES_DIVISION, &CModalitiesDlg::OnDivision)
    ON_BN_CLICKED(IDC_MODALITIES_EDIT_NAMES, &CModalitiesDlg::OnEditNames)
    ON_BN_CLICKED(IDC_MODALITIES_EDIT_CODES, &CModalitiesDlg::OnEditCodes)
    ON_LBN_DBLCLK(IDC_MODALITIES_CODES, &CModalitiesDlg::OnCodeDoubleClick)
    ON_EN_KILLFOCUS(IDC_MODALITIES_CLASSES, &CModalitiesDlg::OnClassesKillFocus)
    ON_CONTROL(CLN_TICKED, IDC_MODALITIES_NAMES, &CModalitiesDlg::OnTicksChanged)
    ON_CONTROL(CLN_UNTICKED, IDC_MODALITIES_NAMES, &CModalitiesDlg::OnTicksChanged)
    ON_CONTROL(CLN_TEXT_EDITED, IDC_MODALITIES_NAMES, &CModalitiesDlg::OnNameEdited)
END_MESSAGE_MAP()

CModalitiesDlg::CModalitiesDlg(int column, const CString& caption, CClassDivisionDlg* division, CWnd* parent)
    : CVariableDlgBase(IDD_MODALITIES, column, parent), m_pDivision(division), m_names(4, 1) {
    SetCaption(caption);
    if (m_pDivision) m_pDivision->SetModalitiesPage(this);
}

CModalitiesDlg::~CModalitiesDlg() { ClearModalities(); }

void CModalitiesDlg::ClearModalities() {
    RemoveStepDialogs(m_identifierPages, static_cast<int>(m_identifierPages.size()));
    RemoveStepDialogs(m_codePages, static_cast<int>(m_codePages.size()));
    m_active.clear();
    m_nClasses = 0;
}

void CModalitiesDlg::AddModality(const CString& identifier, int code, int active) {
    int i = static_cast<int>(m_active.size()) + 1;
    auto* name = new CVariableCodeDlg(i, "Identificador da Modalidade", nullptr);
    name->SetCaption(FormatString("%dª Modalidade", i));
    name->SetCode(identifier);
    m_identifierPages.push_back(name);
    m_codePages.push_back(new CModalityValueDlg(i, code));
    m_active.push_back(active ? 1 : 0);
    m_nClasses = static_cast<int>(m_active.size());
}

void CModalitiesDlg::SetClassCount(int n) {
    n = std::clamp(n, 0, kMaxModalities);
    int have = GetModalityCount();
    for (int i = have + 1; i <= n; ++i) AddModality(DefaultModalityIdentifier(m_strValue, i), i, 1);
    if (n < have) {
        RemoveStepDialogs(m_identifierPages, have - n);
        RemoveStepDialogs(m_codePages, have - n);
        m_active.resize(static_cast<size_t>(n));
    }
    m_nClasses = n;
    if (m_pDivision) m_pDivision->ResizeClasses(n);
    FillLists();
}

void CModalitiesDlg::SetCategories(const std::vector<CNamedCode>& categories) {
    ClearModalities();
    for (const CNamedCode& c : categories) AddModality(c.name, c.code, 1);
}

int CModalitiesDlg::GetActiveCount() const { return static_cast<int>(std::count(m_active.begin(), m_active.end(), 1)); }

CString CModalitiesDlg::GetModalityIdentifier(int i) const {
    return static_cast<CVariableDlgBase*>(m_identifierPages[static_cast<size_t>(i)])->GetVariableName();
}

void CModalitiesDlg::SetModalityIdentifier(int i, const CString& identifier) {
    static_cast<CVariableDlgBase*>(m_identifierPages[static_cast<size_t>(i)])->SetVariableName(identifier);
}

int CModalitiesDlg::GetModalityCode(int i) const {
    return static_cast<CModalityValueDlg*>(m_codePages[static_cast<size_t>(i)])->GetCode();
}

void CModalitiesDlg::WriteCodes(CStdioFile& file) {
    for (CWizardStepDlg* page : m_codePages) page->WriteToFile(file);
}

void CModalitiesDlg::WriteIdentifiers(CStdioFile& file) {
    for (CWizardStepDlg* page : m_identifierPages) page->WriteToFile(file);
}

void CModalitiesDlg::AppendActivity(CString& flags) const {
    for (int a : m_active) flags += a ? '1' : '0';
}

void CModalitiesDlg::WriteConfiguration(CStdioFile& file) {
    file.WriteString(
        FormatString("%s %d %d %d\n", EscapedName(m_strValue), m_nColumn, GetModalityCount(), GetActiveCount()));
    for (int i = 0; i < GetModalityCount(); ++i) {
        auto* code = static_cast<CModalityValueDlg*>(m_codePages[static_cast<size_t>(i)]);
        file.WriteString(FormatString("%s %s %d\n", EscapedName(GetModalityIdentifier(i)), code->GetCodeText(),
                                      m_active[static_cast<size_t>(i)]));
    }
    if (m_pDivision) m_pDivision->WriteConfiguration(file);
}

void CModalitiesDlg::FillLists() {
    if (!m_names.GetSafeHwnd() || !m_codes.GetSafeHwnd()) return;
    m_names.ResetContent();
    m_codes.ResetContent();
    for (int i = 0; i < GetModalityCount(); ++i) {
        m_names.AddString(GetModalityIdentifier(i));
        m_names.SetCheck(i, m_active[static_cast<size_t>(i)] ? BST_CHECKED : BST_UNCHECKED);
        m_codes.AddString(static_cast<CModalityValueDlg*>(m_codePages[static_cast<size_t>(i)])->GetCodeText());
    }
}

void CModalitiesDlg::TakeTicks() {
    if (!m_names.GetSafeHwnd()) return;
    for (int i = 0; i < m_names.GetCount() && i < GetModalityCount(); ++i)
        m_active[static_cast<size_t>(i)] = m_names.GetCheck(i) == BST_CHECKED ? 1 : 0;
}

BOOL CModalitiesDlg::OnInitDialog() {
    const int single[2] = {IDC_SINGLE_OK, IDC_SINGLE_CANCEL};
    if (m_bSingleMode) ShowItems(kStepButtonIds, 4, FALSE);
    else InitStepButtons(kStepButtonIds);
    ShowItems(single, 2, m_bSingleMode);
    m_names.SubclassDlgItem(IDC_MODALITIES_NAMES, this);
    m_codes.SubclassDlgItem(IDC_MODALITIES_CODES, this);
    // A qualitative column's modalities are its categories.
    const int quantitativeOnly[3] = {IDC_MODALITIES_CLASSES, IDC_MODALITIES_DIVISION, IDC_MODALITIES_EDIT_CODES};
    EnableItems(quantitativeOnly, 3, IsQuantitative());
    m_nClasses = GetModalityCount();
    FillLists();
    return CBaseDlg::OnInitDialog();
}

void CModalitiesDlg::DoDataExchange(CDataExchange* dx) {
    CVariableDlgBase::DoDataExchange(dx);
    // At most 4 characters when typed; a longer name given by the selection or a file
    // stays as long as it is not changed (as on the column code pages).
    CString identifier = m_strValue;
    DDX_Text(dx, IDC_MODALITIES_IDENTIFIER, identifier);
    if (!dx->m_bSaveAndValidate) m_strShownIdentifier = identifier;
    if (!dx->m_bSaveAndValidate || identifier != m_strShownIdentifier) DDV_MaxChars(dx, identifier, 4);
    m_strValue = identifier;
    int classes = m_nClasses;
    DDX_Text(dx, IDC_MODALITIES_CLASSES, classes);
    DDV_MinMaxInt(dx, classes, 0, kMaxModalities);
    m_nClasses = classes;
}

void CModalitiesDlg::EndStep(int code) {
    TakeTicks();
    if (code != STEP_CANCEL && !ApplyClassCount()) return;
    CVariableDlgBase::EndStep(code);
}

void CModalitiesDlg::OnSingleOk() {
    TakeTicks();
    if (ApplyClassCount()) OnOK();
}

void CModalitiesDlg::OnDivision() {
    if (!m_pDivision) return;
    TakeTicks();
    // What was typed on this page first (identifier and class count).
    if (!ApplyClassCount()) return;
    m_pDivision->SetSingleMode(1);
    m_pDivision->DoModal();
    m_pDivision->SetSingleMode(0);
    m_nClasses = GetModalityCount();
    UpdateData(FALSE);
    FillLists();
}

void CModalitiesDlg::OnEditNames() {
    TakeTicks();
    RunStepDialogs(m_identifierPages);
    FillLists();
}

void CModalitiesDlg::OnEditCodes() {
    TakeTicks();
    RunStepDialogs(m_codePages);
    FillLists();
}

void CModalitiesDlg::OnCodeDoubleClick() {
    int i = m_codes.GetCurSel();
    if (i < 0 || i >= static_cast<int>(m_codePages.size())) return;
    TakeTicks();
    auto* page = static_cast<CVariableDlgBase*>(m_codePages[static_cast<size_t>(i)]);
    page->SetSingleMode(1);
    page->DoModal();
    page->SetSingleMode(0);
    FillLists();
}

bool CModalitiesDlg::ApplyClassCount() {
    if (!IsQuantitative()) return UpdateData(TRUE) != FALSE;
    int before = m_nClasses;
    if (!UpdateData(TRUE)) return false;
    if (m_nClasses < 2) {
        m_nClasses = before;
        UpdateData(FALSE);
        AfxMessageBox(kTwoClasses);
        if (CWnd* edit = GetDlgItem(IDC_MODALITIES_CLASSES)) edit->SetFocus();
        return false;
    }
    if (m_nClasses == GetModalityCount()) return true;
    TakeTicks();
    SetClassCount(m_nClasses);
    return true;
}

void CModalitiesDlg::OnTicksChanged() { TakeTicks(); }

void CModalitiesDlg::OnNameEdited() {
    int i = m_names.GetCaretIndex();
    CString text;
    if (i >= 0 && i < GetModalityCount() && m_names.GetText(i, text) != LB_ERR) SetModalityIdentifier(i, text);
}

// --- CColumnTypesDlg -----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CColumnTypesDlg, CColumnListDlgBase)
    ON_BN_CLICKED(IDC_TYPES_MODALITIES, &CColumnTypesDlg::OnModalities)
    ON_BN_CLICKED(IDC_TYPES_DIVISIONS, &CColumnTypesDlg::OnDivisions)
    ON_LBN_DBLCLK(IDC_TYPES_COLUMNS, &CColumnTypesDlg::OnColumnDoubleClick)
END_MESSAGE_MAP()

CColumnTypesDlg::CColumnTypesDlg(CWnd* parent) : CColumnListDlgBase(IDD_COLUMN_TYPES, parent) {
    SetCaption("Colunas (Variáveis) no Ficheiro de Dados");
}

CColumnTypesDlg::~CColumnTypesDlg() { RemoveAll(); }

void CColumnTypesDlg::RemoveAll() {
    RemoveStepDialogs(m_pages, static_cast<int>(m_pages.size()));
    RemoveStepDialogs(m_divisions, static_cast<int>(m_divisions.size()));
    m_nColumnCount = 0;
}

void CColumnTypesDlg::BuildFromSelection(const std::vector<int>& selection, int quantitative, int /*qualitative*/) {
    RemoveAll();
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    m_selection = selection;
    m_nQuantitative = std::clamp(quantitative, 0, static_cast<int>(selection.size()));
    // The qualitative columns are the rest of the selection.
    m_nQualitative = static_cast<int>(selection.size()) - m_nQuantitative;
    auto nameOf = [&](int v) { return data && v >= 1 && v <= data->GetVariableCount() ? data->GetVariableName(v) : CString("var"); };
    for (int q = 0; q < m_nQuantitative; ++q)
        m_divisions.push_back(new CClassDivisionDlg(q + 1, nameOf(selection[static_cast<size_t>(q)])));
    for (size_t i = 0; i < selection.size(); ++i) {
        int v = selection[i];
        bool quant = static_cast<int>(i) < m_nQuantitative;
        auto* division = quant ? static_cast<CClassDivisionDlg*>(m_divisions[i]) : nullptr;
        auto* page = new CModalitiesDlg(v, quant ? QuantitativeCaption(v) : QualitativeCaption(v), division);
        page->SetVariableName(nameOf(v));
        if (quant) page->SetClassCount(3);
        else if (data && v >= 1 && v <= data->GetVariableCount()) page->SetCategories(data->GetVariable(v)->GetCategories());
        m_pages.push_back(page);
    }
    m_nColumnCount = static_cast<int>(m_pages.size());
    RecomputeTotals();
}

void CColumnTypesDlg::RecomputeTotals() {
    m_nModalities = m_nActive = m_nMaxModalities = 0;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        CModalitiesDlg* page = GetColumn(static_cast<int>(i));
        m_nModalities += page->GetModalityCount();
        m_nActive += page->GetActiveCount();
        m_nMaxModalities = std::max(m_nMaxModalities, page->GetModalityCount());
    }
}

void CColumnTypesDlg::WriteColumnIdentifiers(CStdioFile& file) {
    for (CWizardStepDlg* p : m_pages) file.WriteString(static_cast<CModalitiesDlg*>(p)->GetVariableName() + "\n");
}

void CColumnTypesDlg::WriteClassDivisions(CStdioFile& file) {
    for (CWizardStepDlg* d : m_divisions) d->WriteToFile(file);
}

void CColumnTypesDlg::WriteModalityCounts(CStdioFile& file) {
    for (CWizardStepDlg* p : m_pages)
        file.WriteString(FormatString("%d\n", static_cast<CModalitiesDlg*>(p)->GetModalityCount()));
}

void CColumnTypesDlg::WriteCodes(CStdioFile& file) {
    for (CWizardStepDlg* p : m_pages) static_cast<CModalitiesDlg*>(p)->WriteCodes(file);
}

void CColumnTypesDlg::WriteIdentifiers(CStdioFile& file) {
    for (CWizardStepDlg* p : m_pages) static_cast<CModalitiesDlg*>(p)->WriteIdentifiers(file);
}

CString CColumnTypesDlg::GetActivityFlags() const {
    CString flags;
    for (CWizardStepDlg* p : m_pages) static_cast<CModalitiesDlg*>(p)->AppendActivity(flags);
    return flags;
}

void CColumnTypesDlg::WriteActivityFlags(CStdioFile& file, int trailingZeros) {
    CString flags = GetActivityFlags();
    for (int i = 0; i < trailingZeros; ++i) flags += '0';
    for (int at = 0; at < flags.GetLength(); at += 80) file.WriteString(flags.Mid(at, 80) + "\n");
}

void CColumnTypesDlg::WriteConfiguration(CStdioFile& file) {
    RecomputeTotals();
    file.WriteString(FormatString("%d %d %d %d %d\n", m_nQuantitative, m_nQualitative, m_nModalities, m_nActive,
                                  m_nMaxModalities));
    for (CWizardStepDlg* p : m_pages) static_cast<CModalitiesDlg*>(p)->WriteConfiguration(file);
}

BOOL CColumnTypesDlg::ReadConfiguration(CStdioFile& file) {
    int head[5];
    if (!ReadInts(file, head, 5)) return FALSE;
    const int quantitative = head[0], qualitative = head[1], modalities = head[2];
    if (quantitative < 0 || qualitative < 0 || quantitative > 99999 || qualitative > 99999) return FALSE;
    std::vector<ColumnLines> columns(static_cast<size_t>(quantitative + qualitative));
    int total = 0;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!ParseColumnLines(file, static_cast<int>(c) < quantitative, columns[c])) return FALSE;
        total += static_cast<int>(columns[c].modalities.size());
    }
    if (total != modalities) return FALSE;

    // Every line held: the pages are rebuilt from them.
    RemoveAll();
    m_nQuantitative = quantitative;
    m_nQualitative = qualitative;
    m_selection.clear();
    for (size_t c = 0; c < columns.size(); ++c) {
        const ColumnLines& col = columns[c];
        bool quant = static_cast<int>(c) < quantitative;
        int number = static_cast<int>(c) + 1;
        CClassDivisionDlg* division = nullptr;
        if (quant) {
            division = new CClassDivisionDlg(number, col.identifier);
            m_divisions.push_back(division);
        }
        auto* page = new CModalitiesDlg(col.column, quant ? QuantitativeCaption(number) : QualitativeCaption(number),
                                        division);
        ApplyColumnLines(page, col);
        m_pages.push_back(page);
        m_selection.push_back(col.column);
    }
    m_nColumnCount = static_cast<int>(m_pages.size());
    RecomputeTotals();
    return TRUE;
}

BOOL CColumnTypesDlg::OnInitDialog() {
    RecomputeTotals();
    BOOL result = InitList(m_list, IDC_TYPES_COLUMNS);
    UpdateData(FALSE);
    return result;
}

void CColumnTypesDlg::DoDataExchange(CDataExchange* dx) {
    CColumnListDlgBase::DoDataExchange(dx);
    DDX_Text(dx, IDC_TYPES_QUANTITATIVE, m_nQuantitative);
    DDV_MinMaxInt(dx, m_nQuantitative, 0, 99999);
    DDX_Text(dx, IDC_TYPES_QUALITATIVE, m_nQualitative);
    DDV_MinMaxInt(dx, m_nQualitative, 0, 99999);
}

void CColumnTypesDlg::OnModalities() {
    RunStepDialogs(m_pages);
    RecomputeTotals();
    RefreshList(m_list);
}

void CColumnTypesDlg::OnDivisions() {
    RunStepDialogs(m_divisions);
    RecomputeTotals();
    RefreshList(m_list);
}

void CColumnTypesDlg::OnColumnDoubleClick() {
    EditPage(m_list);
    RecomputeTotals();
}
