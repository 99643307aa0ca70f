// The regression command's pages: the page that writes the fitted line of one pair, the
// scatter chart with that line, the dialog that lists the pairs, and the page on which the
// user picks the Y, X, identifier and conditioning variables.
#pragma once

#include <memory>
#include <vector>

#include "charts/chart_dialogs.h"
#include "charts/scatter_chart.h"
#include "stats/paired_statistics.h"

class CDataSet;

// The coefficients of one pair's least-squares line, and the residual series built from it.
class CRegressionPage : public CPlotPage {
public:
    CRegressionPage(CPairedStatistics* statistics, int pairIndex, const CString& name);
    ~CRegressionPage() override;

    void Draw(CDC* dc, int left, int top, int right, int bottom) override;

    CPointSeries* GetSeries() const { return pairSeries; }
    void GetXVariableName(CString& out) const { statistics->GetXVariableName(pairIndex, out); }
    void GetYVariableName(CString& out) const { statistics->GetYVariableName(out); }
    // x = residual y - (b x + a), y = the observed y ("Y / Resíduos").
    CPointSeries* GetObservedSeries();
    // x = residual, y = the fitted value ("Y* / Resíduos").
    CPointSeries* GetFittedSeries();
    // The three values as the page writes them: "%f", or "N/A" when undefined.
    CString InterceptText() const;
    CString SlopeText() const;
    CString CorrelationText() const;

private:
    void BuildResiduals();

    int pairIndex;
    CPairedStatistics* statistics;
    std::unique_ptr<CFont> font;
    float intercept = 0, slope = 0, correlation = 0;
    CPointSeries* pairSeries;
    std::vector<int> groups;
    std::vector<CString> labels;
    std::unique_ptr<std::vector<float>> fittedValues, residuals, observedValues;
    std::unique_ptr<CPointSeries> observedSeries, fittedSeries;
};

// A scatter chart with its least-squares line in red, across the x range of the data.
class CRegressionChart : public CScatterChart {
public:
    CRegressionChart(const CPointSeries& series, const CString& xTitle, const CString& yTitle, const CString& name);
    ~CRegressionChart() override;
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;

    bool HasLine() const { return hasLine; }
    float intercept = 0, slope = 0;
    float fittedAtMax = 0, fittedAtMin = 0;

private:
    bool hasLine = false;
};

// Dialog 177: one regression page per pair, and the buttons that open the charts of the
// pairs (the points with the line, or the residuals).
class CRegressionDlg : public CChartWindowDlg {
public:
    CRegressionDlg(const std::vector<CPlotPage*>& pages, int conditioning, const CDataTable* table,
                   CWnd* parent = nullptr);
    void SetHasConditioning(bool has) { hasConditioning = has ? 1 : 0; }
    BOOL OnInitDialog() override;
    void OnBetweenVariables();
    void OnObservedResiduals();
    void OnFittedResiduals();

    DECLARE_MESSAGE_MAP()

private:
    enum class Kind { Points, Observed, Fitted };
    void ShowCharts(Kind kind);

    int conditioning;
    const CDataTable* table;
    BYTE hasConditioning = 0;
};

// Dialog 176: the Y variable, the X variables, the identifier of the points and the
// conditioning variable.
class CScatterVariablesDlg : public CDialog {
public:
    CScatterVariablesDlg(const CDataTable* data, CWnd* parent = nullptr);
    void SetTitle(const CString& text) { m_strTitle = text; }

    const std::vector<int>& GetXVariables() const { return m_xVariables; }
    int GetXVariable(int i) const { return m_xVariables[static_cast<size_t>(i)]; }
    int GetYVariable() const { return m_yVariables.empty() ? -1 : m_yVariables.front(); }
    int GetIdentifierVariable() const { return m_nIdentifier; }
    int GetConditioningVariable() const { return m_nConditioning; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnYChanged();
    void OnXChanged();
    void OnIdentifierChanged();
    void OnConditioningChanged();
    void OnSelectAll();
    void OnDefaultIdentifier();
    void OnOtherIdentifier();
    void OnNext();

    DECLARE_MESSAGE_MAP()

private:
    // Unticks in other the items newly ticked in changed.
    void Exclude(CCheckListBox& changed, std::vector<int>& before, CCheckListBox& other);
    static std::vector<int> Ticks(const CCheckListBox& list);
    static void KeepOnlyNewTick(CCheckListBox& list, std::vector<int>& before);

    const CDataTable* m_pData;
    CString m_strTitle;
    CCheckListBox m_yList, m_xList, m_identifierList, m_conditioningList;
    std::vector<int> m_yTicks, m_xTicks, m_identifierTicks, m_conditioningTicks;
    std::vector<CNamedCode> m_identifierCandidates, m_conditioningCandidates;
    std::vector<int> m_xVariables, m_yVariables;
    int m_nIdentifier = -1;
    int m_nConditioning = -1;
    int m_bDefaultIdentifier = 1;
};

// Dialog 188: one conditioning variable chosen among candidates ({name, variable number}).
// Ends with IDOK and the choice, 1003 when nothing is ticked, IDCANCEL on "Sair".
class CConditioningDlg : public CDialog {
public:
    static constexpr int RESULT_NONE = 1003;
    CConditioningDlg(const std::vector<CNamedCode>& candidates, CWnd* parent = nullptr);
    int GetConditioningVariable() const { return m_nChosen; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnTicked();

    DECLARE_MESSAGE_MAP()

private:
    std::vector<CNamedCode> m_candidates;
    CCheckListBox m_list;
    std::vector<int> m_ticks;
    int m_nChosen = -1;
};
