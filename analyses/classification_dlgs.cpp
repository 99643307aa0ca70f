#include "analyses/classification_dlgs.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "analyses/analysis_dlg.h"

const char kFlexibleAggregation[] = "Flexível (Lance & Williaws)";

namespace {

const char kNotFinite[] = "Os coeficientes do agrupamento flexível têm de ser números finitos";

// Whole-line reals: every one present, nothing but blanks after the last.
bool ParseReals(const CString& line, double* values, int count) {
    const char* p = line.GetString();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(p, &end);
        if (end == p) return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return *p == '\0';
}

}  // namespace

void DDX_FiniteFloat(CDataExchange* dx, int id, float& value) {
    float v = value;
    DDX_Text(dx, id, v);
    if (dx->m_bSaveAndValidate && !std::isfinite(v)) {
        AfxMessageBox("Tem de ser um número", MB_ICONEXCLAMATION);
        dx->Fail();
    }
    value = v;
}

// --- CFlexibleDlg ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFlexibleDlg, CStepDlg)
END_MESSAGE_MAP()

CFlexibleDlg::CFlexibleDlg() : CStepDlg(IDD_FLEXIBLE, nullptr) { SetCaption("Flexível"); }

void CFlexibleDlg::DoDataExchange(CDataExchange* dx) {
    CStepDlg::DoDataExchange(dx);
    DDX_FiniteFloat(dx, IDC_FLEXIBLE_ALFA1, m_coefficients[0]);
    DDX_FiniteFloat(dx, IDC_FLEXIBLE_ALFA2, m_coefficients[1]);
    DDX_FiniteFloat(dx, IDC_FLEXIBLE_BETA, m_coefficients[2]);
    DDX_FiniteFloat(dx, IDC_FLEXIBLE_GAMA, m_coefficients[3]);
}

void CFlexibleDlg::SetCoefficients(const float values[4]) {
    for (int i = 0; i < 4; ++i) m_coefficients[i] = values[i];
}

void CFlexibleDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%f %f %f %f\n", static_cast<double>(m_coefficients[0]),
                                  static_cast<double>(m_coefficients[1]), static_cast<double>(m_coefficients[2]),
                                  static_cast<double>(m_coefficients[3])));
}

BOOL CFlexibleDlg::ParseCoefficients(const CString& line, float out[4], BOOL showMessage) {
    double values[4];
    if (!ParseReals(line, values, 4)) return FALSE;
    for (int i = 0; i < 4; ++i) {
        // Checked as the engine will hold them: a double beyond the float range is infinite too.
        if (!std::isfinite(static_cast<float>(values[i]))) {
            if (showMessage) AfxMessageBox(kNotFinite);
            return FALSE;
        }
    }
    for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(values[i]);
    return TRUE;
}

BOOL CFlexibleDlg::ReadParameters(CStdioFile& file) {
    CString line;
    float values[4];
    if (!ReadConfigurationLine(file, line) || !ParseCoefficients(line, values, TRUE)) return FALSE;
    SetCoefficients(values);
    return TRUE;
}

// --- CClassificationModesDlg ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClassificationModesDlg, CStepDlg)
    ON_BN_CLICKED(IDC_MODE_Q, &CClassificationModesDlg::OnModeQ)
    ON_BN_CLICKED(IDC_MODE_R, &CClassificationModesDlg::OnModeR)
    ON_CBN_SELCHANGE(IDC_AGGREGATION_COMBO, &CClassificationModesDlg::OnAggregationChange)
    ON_CBN_SELCHANGE(IDC_DISTANCE_COMBO, &CClassificationModesDlg::OnDistanceChange)
    ON_BN_CLICKED(IDC_FLEXIBLE_BUTTON, &CClassificationModesDlg::OnFlexible)
    ON_BN_CLICKED(IDC_MODES_OK, &CClassificationModesDlg::OnClose)
END_MESSAGE_MAP()

CClassificationModesDlg::CClassificationModesDlg()
    : CStepDlg(IDD_CLASSIFICATION_MODES, nullptr),
      m_qDistance{"Cos teta", 1},
      m_rDistance{"Coeficientes de Correlação", 3},
      m_flexible{kFlexibleAggregation, FLEXIBLE_AGGREGATION_CODE} {
    SetCaption("Modos");
    m_distances = {{"Distância Euclideana Reduzida", 2}, {"Distância Euclideana", 4},
                   {"Distância do k-2", 5},              {"Distância de Gower", 6},
                   {"Distância de Steinhaus", 7},        {"Distância de Kulazinski", 8}};
    m_aggregations = {{"Salto Mínimo", 1},
                      {"Salto Máximo", 2},
                      {"Distância Média (UPGMA)", 3},
                      {"Distância média pesada (WPGMA)", 4},
                      m_flexible};
    m_distances.push_back(m_qDistance);
    m_strDistance = m_qDistance.name;
    m_strAggregation = "Distância Média (UPGMA)";
}

int CClassificationModesDlg::CodeOf(const std::vector<CNamedCode>& list, const CString& name) {
    for (const CNamedCode& entry : list)
        if (entry.name == name) return entry.code;
    return list.empty() ? 0 : list.back().code;
}

CString CClassificationModesDlg::NameOf(const std::vector<CNamedCode>& list, int code) {
    for (const CNamedCode& entry : list)
        if (entry.code == code) return entry.name;
    return list.empty() ? CString() : list.back().name;
}

BOOL CClassificationModesDlg::IsFlexible() const {
    return m_strAggregation == m_flexible.name && GetAggregationCode() == m_flexible.code;
}

void CClassificationModesDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%d %d %d\n", m_nMode, GetDistanceCode(), GetAggregationCode()));
    if (IsFlexible()) m_flexibleDlg.WriteParameters(file);
}

BOOL CClassificationModesDlg::ReadModes(CStdioFile& file, ClassificationModes& out) const {
    int values[3];
    if (!ReadConfigurationInts(file, values, 3)) return FALSE;
    out.mode = values[0] == 0 ? 0 : 1;
    // The distance list as it will be in that mode: the fixed entries, then the mode's own.
    std::vector<CNamedCode> distances;
    for (const CNamedCode& entry : m_distances)
        if (entry.name != m_qDistance.name && entry.name != m_rDistance.name) distances.push_back(entry);
    distances.push_back(out.mode ? m_qDistance : m_rDistance);
    out.distanceName = NameOf(distances, values[1]);
    out.aggregationName = NameOf(m_aggregations, values[2]);
    out.flexible = out.aggregationName == m_flexible.name && CodeOf(m_aggregations, out.aggregationName) == m_flexible.code;
    if (out.flexible) {
        CString line;
        if (!ReadConfigurationLine(file, line) || !CFlexibleDlg::ParseCoefficients(line, out.coefficients, TRUE))
            return FALSE;
    }
    return TRUE;
}

void CClassificationModesDlg::ApplyModes(const ClassificationModes& modes) {
    m_nMode = modes.mode;
    PutModeEntry(modes.mode);
    m_strDistance = modes.distanceName;
    m_strAggregation = modes.aggregationName;
    if (modes.flexible) m_flexibleDlg.SetCoefficients(modes.coefficients);
}

BOOL CClassificationModesDlg::ReadParameters(CStdioFile& file) {
    ClassificationModes modes;
    if (!ReadModes(file, modes)) return FALSE;
    ApplyModes(modes);
    return TRUE;
}

void CClassificationModesDlg::PutModeEntry(int mode) {
    const CNamedCode& other = mode ? m_rDistance : m_qDistance;
    const CNamedCode& own = mode ? m_qDistance : m_rDistance;
    bool shown = m_distanceCombo.GetSafeHwnd() != nullptr;
    for (size_t i = 0; i < m_distances.size();) {
        if (m_distances[i].name == other.name || m_distances[i].name == own.name) {
            m_distances.erase(m_distances.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (shown) {
        int at = m_distanceCombo.FindStringExact(-1, other.name);
        if (at >= 0) m_distanceCombo.DeleteString(static_cast<UINT>(at));
    }
    m_distances.push_back(own);
    if (shown && m_distanceCombo.FindStringExact(-1, own.name) < 0) m_distanceCombo.AddString(own.name);
}

void CClassificationModesDlg::SwitchMode(int mode) {
    if (mode == m_nMode) return;
    const CNamedCode& removed = mode ? m_rDistance : m_qDistance;
    const CNamedCode& own = mode ? m_qDistance : m_rDistance;
    m_nMode = mode;
    PutModeEntry(mode);
    if (m_strDistance == removed.name) {
        m_strDistance = own.name;
        if (m_distanceCombo.GetSafeHwnd()) {
            m_nDistanceIndex = m_distanceCombo.FindStringExact(-1, own.name);
            m_distanceCombo.SetCurSel(m_nDistanceIndex);
        }
    } else if (m_distanceCombo.GetSafeHwnd()) {
        // The entries moved: keep the chosen one shown.
        m_nDistanceIndex = m_distanceCombo.FindStringExact(-1, m_strDistance);
        m_distanceCombo.SetCurSel(m_nDistanceIndex);
    }
}

void CClassificationModesDlg::OnModeQ() { SwitchMode(1); }
void CClassificationModesDlg::OnModeR() { SwitchMode(0); }

BOOL CClassificationModesDlg::OnInitDialog() {
    BOOL result = CStepDlg::OnInitDialog();
    m_flexibleButton.SubclassDlgItem(IDC_FLEXIBLE_BUTTON, this);
    m_aggregationCombo.SubclassDlgItem(IDC_AGGREGATION_COMBO, this);
    m_distanceCombo.SubclassDlgItem(IDC_DISTANCE_COMBO, this);
    m_aggregationCombo.ResetContent();
    for (const CNamedCode& entry : m_aggregations) m_aggregationCombo.AddString(entry.name);
    m_nAggregationIndex = m_aggregationCombo.FindStringExact(-1, m_strAggregation);
    m_aggregationCombo.SetCurSel(m_nAggregationIndex);
    m_distanceCombo.ResetContent();
    for (const CNamedCode& entry : m_distances) m_distanceCombo.AddString(entry.name);
    m_nDistanceIndex = m_distanceCombo.FindStringExact(-1, m_strDistance);
    m_distanceCombo.SetCurSel(m_nDistanceIndex);
    CheckRadioButton(IDC_MODE_R, IDC_MODE_Q, m_nMode ? IDC_MODE_Q : IDC_MODE_R);
    m_flexibleButton.EnableWindow(m_strAggregation == m_flexible.name);
    return result;
}

void CClassificationModesDlg::OnAggregationChange() {
    m_nAggregationIndex = m_aggregationCombo.GetCurSel();
    if (m_nAggregationIndex < 0) return;
    m_aggregationCombo.GetLBText(m_nAggregationIndex, m_strAggregation);
    m_flexibleButton.EnableWindow(m_strAggregation == m_flexible.name);
}

void CClassificationModesDlg::OnDistanceChange() {
    m_nDistanceIndex = m_distanceCombo.GetCurSel();
    if (m_nDistanceIndex < 0) return;
    m_distanceCombo.GetLBText(m_nDistanceIndex, m_strDistance);
}

void CClassificationModesDlg::OnFlexible() { m_flexibleDlg.DoModal(); }

// --- CClassificationOutputDlg --------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClassificationOutputDlg, CStepDlg)
    ON_BN_CLICKED(IDC_OUTPUT_DISTANCES, &CClassificationOutputDlg::OnDistances)
    ON_BN_CLICKED(IDC_OUTPUT_DATA, &CClassificationOutputDlg::OnData)
    ON_BN_CLICKED(IDC_OUTPUT_HIERARCHY, &CClassificationOutputDlg::OnHierarchy)
END_MESSAGE_MAP()

CClassificationOutputDlg::CClassificationOutputDlg() : CStepDlg(IDD_CLASSIFICATION_OUTPUT, nullptr) {
    SetCaption("Resultados");
}

BOOL CClassificationOutputDlg::OnInitDialog() {
    BOOL result = CStepDlg::OnInitDialog();
    CheckDlgButton(IDC_OUTPUT_DISTANCES, m_bDistances ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_OUTPUT_DATA, m_bData ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_OUTPUT_HIERARCHY, m_bHierarchy ? BST_CHECKED : BST_UNCHECKED);
    return result;
}

void CClassificationOutputDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%d %d %d\n", m_bData, m_bHierarchy, m_bDistances));
}

void CClassificationOutputDlg::WriteEngineFlags(CStdioFile& file) {
    file.WriteString(FormatString("%d %d %d\n", m_bData, m_bDistances, m_bHierarchy));
}

void CClassificationOutputDlg::SetFlags(const int flags[3]) {
    m_bData = flags[0] ? 1 : 0;
    m_bHierarchy = flags[1] ? 1 : 0;
    m_bDistances = flags[2] ? 1 : 0;
}

BOOL CClassificationOutputDlg::ReadParameters(CStdioFile& file) {
    int flags[3];
    if (!ReadConfigurationInts(file, flags, 3)) return FALSE;
    SetFlags(flags);
    return TRUE;
}

// --- CClassificationColumnsDlg -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClassificationColumnsDlg, CColumnListDlgBase)
    ON_BN_CLICKED(IDC_COLUMNS_OK, &CClassificationColumnsDlg::OnOK)
    ON_BN_CLICKED(IDC_COLUMNS_CANCEL, &CClassificationColumnsDlg::OnCancel)
    ON_BN_CLICKED(IDC_COLUMNS_EDIT, &CClassificationColumnsDlg::OnEditColumns)
    ON_LBN_DBLCLK(IDC_COLUMNS_LIST, &CClassificationColumnsDlg::OnEditPage)
END_MESSAGE_MAP()

CClassificationColumnsDlg::CClassificationColumnsDlg() : CColumnListDlgBase(IDD_CLASSIFICATION_COLUMNS, nullptr) {
    SetCaption("Colunas (Variáveis) no Ficheiro de Dados");
    m_nColumnCount = 7;
    SetColumnCount(0);
}

void CClassificationColumnsDlg::DoDataExchange(CDataExchange* dx) {
    CColumnListDlgBase::DoDataExchange(dx);
    DDX_Text(dx, IDC_COLUMNS_COUNT, m_nColumnCount);
}

BOOL CClassificationColumnsDlg::OnInitDialog() {
    BOOL result = InitList(m_list, IDC_COLUMNS_LIST);
    EnableItem(IDC_COLUMNS_COUNT, FALSE);   // the count follows the chosen variables
    return result;
}

void CClassificationColumnsDlg::SetColumns(int count, const std::vector<CString>& codes) {
    m_nColumnCount = count;
    ClearPages();
    for (size_t i = 0; i < codes.size() && i < m_pages.size(); ++i) GetPage(static_cast<int>(i))->SetVariableName(codes[i]);
}

std::vector<CString> CClassificationColumnsDlg::GetCodes() const {
    std::vector<CString> codes;
    for (size_t i = 0; i < m_pages.size(); ++i) codes.push_back(GetPage(static_cast<int>(i))->GetVariableName());
    return codes;
}

// --- CGroupDivisionDlg ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGroupDivisionDlg, CStepDlg)
END_MESSAGE_MAP()

CGroupDivisionDlg::CGroupDivisionDlg() : CStepDlg(IDD_GROUP_DIVISION, nullptr) { SetCaption("Divisão em Grupos"); }

void CGroupDivisionDlg::DoDataExchange(CDataExchange* dx) {
    CStepDlg::DoDataExchange(dx);
    DDX_FiniteFloat(dx, IDC_CUT_VALUE, m_fCut);
}

void CGroupDivisionDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%f\n", static_cast<double>(m_fCut)));
}

BOOL CGroupDivisionDlg::ReadParameters(CStdioFile& file) {
    CString line;
    double value = 0;
    if (!ReadConfigurationLine(file, line) || !ParseReals(line, &value, 1) ||
        !std::isfinite(static_cast<float>(value)))
        return FALSE;
    m_fCut = static_cast<float>(value);
    return TRUE;
}
