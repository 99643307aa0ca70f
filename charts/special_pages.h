// Pages that serve one result each: the scree plot of a factorial analysis, the two-line
// header above a correlation matrix, and the factorial plane of the columns.
#pragma once

#include <vector>

#include "charts/plot_page.h"
#include "charts/scatter_chart.h"

// The eigenvalues as dots joined by red lines, one labelled tick a factor, from 0 up.
class CScreePlotChart : public CPlotChart {
public:
    CScreePlotChart(const std::vector<CString>& labels, const std::vector<float>& values, const CString& name);
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    // On the first paint the window's image is kept (for the report's picture).
    void AfterPaint(CWnd* wnd) override;

    std::vector<CString> labels;
    std::vector<float> values;
};

// "Spearman" in red and "Clássica (Pearson)" in blue: the colours of the two triangles of
// the correlation matrix below it.
class CCorrelationPage : public CPlotPage {
public:
    CCorrelationPage();
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
};

// A scatter chart on the fixed window -1.6..1.6 by -1.2..1.2, with the same scale on both
// axes and the unit circle.
class CFactorialPlaneColumnsChart : public CScatterChart {
public:
    CFactorialPlaneColumnsChart(const CPointSeries& series, const CString& xTitle, const CString& yTitle,
                                const CString& name);
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
};
