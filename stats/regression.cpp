// Scatter diagrams and the least-squares line of Y on each X: the pages, the charts and the
// variable page of the two commands.
#include "stats/regression.h"

#include <algorithm>
#include <cmath>

#include "res/chart_resource_ids.h"
#include "ui/dialog_bases.h"

namespace {
constexpr int IDC_Y_LIST = 1146;
constexpr int IDC_X_LIST = 1079;
constexpr int IDC_IDENTIFIER_LIST = 1154;
constexpr int IDC_CONDITIONING_LIST = 1155;
constexpr int IDC_DEFAULT_IDENTIFIER = 1152;
constexpr int IDC_OTHER_IDENTIFIER = 1153;
constexpr int IDC_SELECT_ALL = 1139;
constexpr int IDC_VARIABLES_NEXT = 1192;
constexpr int IDC_OBSERVED_RESIDUALS = 1147;
constexpr int IDC_FITTED_RESIDUALS = 1148;
constexpr int IDC_BETWEEN_VARIABLES = 1149;

CString FloatText(float v) {
    CString s;
    s.Format("%f", static_cast<double>(v));
    return s;
}
// Two points or more, all with the same x: why such a pair has no line.
bool AllXEqual(const CPointSeries& series) {
    if (series.GetCount() < 2) return false;
    for (int i = 1; i < series.GetCount(); ++i)
        if (!(series.GetX(i) == series.GetX(0))) return false;
    return true;
}

}  // namespace

// --- CRegressionPage -------------------------------------------------------------------------

CRegressionPage::CRegressionPage(CPairedStatistics* stats, int pair, const CString& pageName)
    : CPlotPage(pageName), pairIndex(pair), statistics(stats), pairSeries(stats->GetSeries(pair)) {
    font = std::make_unique<CFont>();
    if (!font->CreateFont(15, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH, "Arial"))
        font.reset();
    intercept = pairSeries->GetIntercept();
    slope = pairSeries->GetSlope();
    correlation = pairSeries->GetCorrelation();
}

CRegressionPage::~CRegressionPage() = default;

CString CRegressionPage::InterceptText() const { return pairSeries->HasFit() ? FloatText(intercept) : CString("N/A"); }
CString CRegressionPage::SlopeText() const { return pairSeries->HasFit() ? FloatText(slope) : CString("N/A"); }
CString CRegressionPage::CorrelationText() const {
    return pairSeries->HasFit() && pairSeries->HasCorrelation() ? FloatText(correlation) : CString("N/A");
}

void CRegressionPage::Draw(CDC* dc, int l, int t, int r, int b) {
    if (!dc) return;
    CPlotPage::Draw(dc, l, t, r, b);
    CFont* before = font ? dc->SelectObject(font.get()) : nullptr;
    dc->TextOut(l + 20, t + 20, "Ordenada (a) = ");
    dc->TextOut(l + 20, t + 40, "Declive (b) = ");
    dc->TextOut(l + 20, t + 60, "Correlacao (r) = ");
    const COLORREF colour = dc->SetTextColor(0xFF0000);
    const int x = l + 20 + 6 * 17;
    dc->TextOut(x, t + 20, InterceptText());
    dc->TextOut(x, t + 40, SlopeText());
    dc->TextOut(x, t + 60, CorrelationText());
    dc->SetTextColor(colour);
    if (before) dc->SelectObject(before);
}

void CRegressionPage::BuildResiduals() {
    if (residuals) return;
    // The labels and groups are copied only for the residual series, which are asked for
    // seldom: the page itself shows three numbers.
    pairSeries->GetGroups(groups);
    pairSeries->GetLabels(labels);
    fittedValues = std::make_unique<std::vector<float>>();
    residuals = std::make_unique<std::vector<float>>();
    observedValues = std::make_unique<std::vector<float>>();
    const size_t n = static_cast<size_t>(pairSeries->GetCount());
    fittedValues->reserve(n);
    residuals->reserve(n);
    observedValues->reserve(n);
    for (int i = 0; i < pairSeries->GetCount(); ++i) {
        const float x = pairSeries->GetX(i), y = pairSeries->GetY(i);
        const float fitted = x * slope + intercept;
        fittedValues->push_back(fitted);
        residuals->push_back(y - fitted);
        observedValues->push_back(y);
    }
}

CPointSeries* CRegressionPage::GetObservedSeries() {
    if (!observedSeries) {
        BuildResiduals();
        observedSeries = std::make_unique<CPointSeries>(*residuals, *observedValues, labels, groups);
    }
    return observedSeries.get();
}

CPointSeries* CRegressionPage::GetFittedSeries() {
    if (!fittedSeries) {
        BuildResiduals();
        fittedSeries = std::make_unique<CPointSeries>(*residuals, *fittedValues, labels, groups);
    }
    return fittedSeries.get();
}

// --- CRegressionChart ------------------------------------------------------------------------

CRegressionChart::CRegressionChart(const CPointSeries& points, const CString& xText, const CString& yText,
                                   const CString& chartName)
    : CScatterChart(points, xText, yText, chartName) {
    title = "Regressão Linear";
    // Without two distinct x values there is no line.
    hasLine = points.HasFit() && points.GetCount() > 0;
    if (!hasLine) return;
    intercept = points.GetIntercept();
    slope = points.GetSlope();
    fittedAtMax = slope * maxX + intercept;
    fittedAtMin = slope * minX + intercept;
    minY = std::min({minY, fittedAtMax, fittedAtMin});
    maxY = std::max({maxY, fittedAtMax, fittedAtMin});
    ComputeAxisScale(minX, maxX, xLow, xHigh, xStep, xTickCount, xHasDecimals, xDecimals);
    ComputeAxisScale(minY, maxY, yLow, yHigh, yStep, yTickCount, yHasDecimals, yDecimals);
}

CRegressionChart::~CRegressionChart() = default;

void CRegressionChart::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    DrawFrame(dc, left, top, right, bottom);
    // A line with an end beyond the scale's reach is not drawn.
    if (hasLine && HasDeviceX(maxX) && HasDeviceY(fittedAtMax) && HasDeviceX(minX) && HasDeviceY(fittedAtMin)) {
        CPen red;
        red.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* before = dc->SelectObject(&red);
        dc->MoveTo(WorldToDeviceX(maxX), WorldToDeviceY(fittedAtMax));
        dc->LineTo(WorldToDeviceX(minX), WorldToDeviceY(fittedAtMin));
        if (before) dc->SelectObject(before);
    }
    DrawPoints(dc, left, top, right, bottom);
}

// --- CRegressionDlg --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRegressionDlg, CChartWindowDlg)
    ON_BN_CLICKED(IDC_BETWEEN_VARIABLES, &CRegressionDlg::OnBetweenVariables)
    ON_BN_CLICKED(IDC_OBSERVED_RESIDUALS, &CRegressionDlg::OnObservedResiduals)
    ON_BN_CLICKED(IDC_FITTED_RESIDUALS, &CRegressionDlg::OnFittedResiduals)
END_MESSAGE_MAP()

CRegressionDlg::CRegressionDlg(const std::vector<CPlotPage*>& pages, int conditioningVariable,
                               const CDataTable* data, CWnd* parent)
    : CChartWindowDlg(pages, 1, 0, 177, parent), conditioning(conditioningVariable), table(data) {}

BOOL CRegressionDlg::OnInitDialog() {
    const BOOL result = CChartWindowDlg::OnInitDialog();
    SetWindowText("Regressão Linear");
    return result;
}

void CRegressionDlg::OnBetweenVariables() { ShowCharts(Kind::Points); }
void CRegressionDlg::OnObservedResiduals() { ShowCharts(Kind::Observed); }
void CRegressionDlg::OnFittedResiduals() { ShowCharts(Kind::Fitted); }

void CRegressionDlg::ShowCharts(Kind kind) {
    std::vector<std::unique_ptr<CRegressionChart>> charts;
    std::vector<CPlotPage*> pages;
    int index = 0;
    for (size_t p = 0; p < GetShownPages().size(); ++p) {
        auto* regression = dynamic_cast<CRegressionPage*>(GetShownPages()[p]);
        if (!regression) continue;
        // A pair without a fitted line has no residuals to plot.
        if (kind != Kind::Points && !regression->GetSeries()->HasFit()) continue;
        if (static_cast<int>(p) <= GetCurrentIndex()) index = static_cast<int>(pages.size());
        CString x, y;
        regression->GetXVariableName(x);
        regression->GetYVariableName(y);
        const CString name = y + "/" + x;
        if (kind == Kind::Points)
            charts.push_back(std::make_unique<CRegressionChart>(*regression->GetSeries(), x, y, name));
        else if (kind == Kind::Observed)
            charts.push_back(std::make_unique<CRegressionChart>(*regression->GetObservedSeries(), "Resíduos", y,
                                                                name + " (Residuos)"));
        else
            charts.push_back(std::make_unique<CRegressionChart>(*regression->GetFittedSeries(), "Resíduos", "Y*",
                                                                name + " (Y*)"));
        if (hasConditioning && table && conditioning > 0)
            charts.back()->SetGroupNames(table->GetVariable(conditioning)->GetCategories());
        pages.push_back(charts.back().get());
    }
    if (pages.empty()) {
        // Every pair lacks a line: there are no residuals to plot. Equal X values are named
        // only when they are why for every pair (not for a pair of fewer than two points).
        if (kind != Kind::Points) {
            bool sameX = false;
            for (CPlotPage* page : GetShownPages())
                if (auto* regression = dynamic_cast<CRegressionPage*>(page)) {
                    sameX = AllXEqual(*regression->GetSeries());
                    if (!sameX) break;
                }
            AfxMessageBox(sameX ? "Não há recta de regressão: todos os X são iguais" : "Não há recta de regressão", MB_OK);
        }
        return;
    }
    index = std::clamp(index, 0, static_cast<int>(pages.size()) - 1);
    CChartWindowDlg window(pages, 1, index, 174, nullptr);
    window.ShowIdentifiersOption(true);
    window.ShowConditioningOption(hasConditioning != 0);
    window.SetCaption(kind == Kind::Points     ? "Diagrama de Dispersão e Recta de Regressão Linear (Y/X)"
                      : kind == Kind::Observed ? "Diagrama de Dispersão e Recta de Regressão Linear (Y/Residuos)"
                                               : "Diagrama de Dispersão e Recta de Regressão Linear (Y*/Residuos)");
    window.DoModal();
}

// --- CScatterVariablesDlg --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScatterVariablesDlg, CDialog)
    ON_CONTROL(CLBN_CHKCHANGE, IDC_Y_LIST, &CScatterVariablesDlg::OnYChanged)
    ON_CONTROL(CLBN_CHKCHANGE, IDC_X_LIST, &CScatterVariablesDlg::OnXChanged)
    ON_CONTROL(CLBN_CHKCHANGE, IDC_IDENTIFIER_LIST, &CScatterVariablesDlg::OnIdentifierChanged)
    ON_CONTROL(CLBN_CHKCHANGE, IDC_CONDITIONING_LIST, &CScatterVariablesDlg::OnConditioningChanged)
    ON_BN_CLICKED(IDC_SELECT_ALL, &CScatterVariablesDlg::OnSelectAll)
    ON_BN_CLICKED(IDC_DEFAULT_IDENTIFIER, &CScatterVariablesDlg::OnDefaultIdentifier)
    ON_BN_CLICKED(IDC_OTHER_IDENTIFIER, &CScatterVariablesDlg::OnOtherIdentifier)
    ON_BN_CLICKED(IDC_VARIABLES_NEXT, &CScatterVariablesDlg::OnNext)
END_MESSAGE_MAP()

CScatterVariablesDlg::CScatterVariablesDlg(const CDataTable* data, CWnd* parent) : CDialog(176, parent), m_pData(data) {}

BOOL CScatterVariablesDlg::OnInitDialog() {
    m_yList.SubclassDlgItem(IDC_Y_LIST, this);
    m_xList.SubclassDlgItem(IDC_X_LIST, this);
    m_identifierList.SubclassDlgItem(IDC_IDENTIFIER_LIST, this);
    m_conditioningList.SubclassDlgItem(IDC_CONDITIONING_LIST, this);
    CheckDlgButton(IDC_DEFAULT_IDENTIFIER, m_bDefaultIdentifier ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_OTHER_IDENTIFIER, m_bDefaultIdentifier ? BST_UNCHECKED : BST_CHECKED);
    GetDlgItem(IDC_IDENTIFIER_LIST)->EnableWindow(!m_bDefaultIdentifier);
    for (int v = 1; v <= m_pData->GetVariableCount(); ++v) {
        m_xList.AddString(m_pData->GetVariableName(v));
        m_yList.AddString(m_pData->GetVariableName(v));
    }
    std::vector<CNamedCode> qualitative;
    m_pData->GetQualitativeVariables(&qualitative);
    m_identifierCandidates.clear();
    m_conditioningCandidates.clear();
    for (const CNamedCode& q : qualitative) {
        m_identifierCandidates.push_back(q);
        m_identifierList.AddString(q.name);
        if (m_pData->GetVariable(q.code)->GetCategoryCount() < 11) {
            m_conditioningCandidates.push_back(q);
            m_conditioningList.AddString(q.name);
        }
    }
    if (m_identifierCandidates.empty()) GetDlgItem(IDC_OTHER_IDENTIFIER)->EnableWindow(FALSE);
    // Shown again within one command ("Anterior"), the page keeps the last choice ticked.
    for (int v : m_xVariables)
        if (v >= 1 && v <= m_xList.GetCount()) m_xList.SetCheck(v - 1, BST_CHECKED);
    for (int v : m_yVariables)
        if (v >= 1 && v <= m_yList.GetCount()) m_yList.SetCheck(v - 1, BST_CHECKED);
    for (size_t i = 0; i < m_identifierCandidates.size(); ++i)
        if (m_identifierCandidates[i].code == m_nIdentifier) m_identifierList.SetCheck(static_cast<int>(i), BST_CHECKED);
    for (size_t i = 0; i < m_conditioningCandidates.size(); ++i)
        if (m_conditioningCandidates[i].code == m_nConditioning)
            m_conditioningList.SetCheck(static_cast<int>(i), BST_CHECKED);
    m_yTicks = Ticks(m_yList);
    m_xTicks = Ticks(m_xList);
    m_identifierTicks = Ticks(m_identifierList);
    m_conditioningTicks = Ticks(m_conditioningList);
    SetWindowText(m_strTitle);
    return CDialog::OnInitDialog();
}

std::vector<int> CScatterVariablesDlg::Ticks(const CCheckListBox& list) {
    std::vector<int> ticks;
    for (int i = 0; i < list.GetCount(); ++i) ticks.push_back(list.GetCheck(i) == BST_CHECKED ? 1 : 0);
    return ticks;
}

void CScatterVariablesDlg::Exclude(CCheckListBox& changed, std::vector<int>& before, CCheckListBox& other) {
    const std::vector<int> now = Ticks(changed);
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] && (i >= before.size() || !before[i])) other.SetCheck(static_cast<int>(i), BST_UNCHECKED);
    before = now;
}

void CScatterVariablesDlg::KeepOnlyNewTick(CCheckListBox& list, std::vector<int>& before) {
    const std::vector<int> now = Ticks(list);
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] && (i >= before.size() || !before[i]))
            for (size_t j = 0; j < now.size(); ++j)
                if (j != i) list.SetCheck(static_cast<int>(j), BST_UNCHECKED);
    before = Ticks(list);
}

void CScatterVariablesDlg::OnYChanged() {
    Exclude(m_yList, m_yTicks, m_xList);
    m_xTicks = Ticks(m_xList);
}

void CScatterVariablesDlg::OnXChanged() {
    Exclude(m_xList, m_xTicks, m_yList);
    m_yTicks = Ticks(m_yList);
}

void CScatterVariablesDlg::OnIdentifierChanged() { KeepOnlyNewTick(m_identifierList, m_identifierTicks); }
void CScatterVariablesDlg::OnConditioningChanged() { KeepOnlyNewTick(m_conditioningList, m_conditioningTicks); }

void CScatterVariablesDlg::OnSelectAll() {
    for (int i = 0; i < m_xList.GetCount(); ++i) m_xList.SetCheck(i, BST_CHECKED);
    for (int i = 0; i < m_yList.GetCount(); ++i) m_yList.SetCheck(i, BST_UNCHECKED);
    m_xTicks = Ticks(m_xList);
    m_yTicks = Ticks(m_yList);
}

void CScatterVariablesDlg::OnDefaultIdentifier() {
    m_bDefaultIdentifier = 1;
    GetDlgItem(IDC_IDENTIFIER_LIST)->EnableWindow(FALSE);
}

void CScatterVariablesDlg::OnOtherIdentifier() {
    m_bDefaultIdentifier = 0;
    GetDlgItem(IDC_IDENTIFIER_LIST)->EnableWindow(TRUE);
}

void CScatterVariablesDlg::OnNext() {
    m_xVariables.clear();
    m_yVariables.clear();
    for (int i = 0; i < m_xList.GetCount(); ++i)
        if (m_xList.GetCheck(i) == BST_CHECKED) m_xVariables.push_back(i + 1);
    for (int i = 0; i < m_yList.GetCount(); ++i)
        if (m_yList.GetCheck(i) == BST_CHECKED) m_yVariables.push_back(i + 1);
    if (m_xVariables.empty() || m_yVariables.empty()) {
        AfxMessageBox("Tem de escolher pelo menos uma variável", MB_OK);
        return;
    }
    if (m_yVariables.size() > 1) {
        AfxMessageBox("Só pode escolher uma variável para o eixo do y", MB_OK);
        return;
    }
    if (std::find(m_xVariables.begin(), m_xVariables.end(), m_yVariables.front()) != m_xVariables.end()) {
        AfxMessageBox("Não pode selecionar a mesma variável para os dois eixos", MB_OK);
        return;
    }
    m_nConditioning = -1;
    for (int i = 0; i < m_conditioningList.GetCount(); ++i)
        if (m_conditioningList.GetCheck(i) == BST_CHECKED) {
            m_nConditioning = m_conditioningCandidates[static_cast<size_t>(i)].code;
            break;
        }
    // The identifier list counts only while "Outro" is chosen.
    m_nIdentifier = -1;
    if (!m_bDefaultIdentifier) {
        for (int i = 0; i < m_identifierList.GetCount(); ++i)
            if (m_identifierList.GetCheck(i) == BST_CHECKED) {
                m_nIdentifier = m_identifierCandidates[static_cast<size_t>(i)].code;
                break;
            }
        if (m_nIdentifier == -1) {
            AfxMessageBox("Tem de selecionar uma variável para o identificador", MB_OK);
            return;
        }
    }
    EndDialog(STEP_NEXT);
}

void CScatterVariablesDlg::OnOK() {}
void CScatterVariablesDlg::OnCancel() { EndDialog(STEP_CANCEL); }

// --- CConditioningDlg ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CConditioningDlg, CDialog)
    ON_CONTROL(CLBN_CHKCHANGE, 1078, &CConditioningDlg::OnTicked)
END_MESSAGE_MAP()

CConditioningDlg::CConditioningDlg(const std::vector<CNamedCode>& candidates, CWnd* parent)
    : CDialog(188, parent), m_candidates(candidates) {}

BOOL CConditioningDlg::OnInitDialog() {
    m_list.SubclassDlgItem(1078, this);
    for (const CNamedCode& c : m_candidates) m_list.AddString(c.name);
    m_ticks.assign(m_candidates.size(), 0);
    return CDialog::OnInitDialog();
}

// At most one item is ticked: a new tick clears the others.
void CConditioningDlg::OnTicked() {
    for (int i = 0; i < m_list.GetCount(); ++i) {
        const int now = m_list.GetCheck(i) == BST_CHECKED ? 1 : 0;
        if (now && !m_ticks[static_cast<size_t>(i)])
            for (int j = 0; j < m_list.GetCount(); ++j)
                if (j != i) m_list.SetCheck(j, BST_UNCHECKED);
    }
    for (int i = 0; i < m_list.GetCount(); ++i) m_ticks[static_cast<size_t>(i)] = m_list.GetCheck(i) == BST_CHECKED ? 1 : 0;
}

void CConditioningDlg::OnOK() {
    for (int i = 0; i < m_list.GetCount(); ++i)
        if (m_list.GetCheck(i) == BST_CHECKED) {
            m_nChosen = m_candidates[static_cast<size_t>(i)].code;
            EndDialog(IDOK);
            return;
        }
    EndDialog(RESULT_NONE);
}
