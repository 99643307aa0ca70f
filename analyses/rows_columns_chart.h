// The factorial plane of rows and columns together: the column points first (blue), then
// the row points (red), with a legend that shows the same marks.
#pragma once

#include "charts/graphic_elements.h"
#include "charts/scatter_chart.h"

class CFactorialPlaneRowsColumnsChart : public CScatterChart {
public:
    CFactorialPlaneRowsColumnsChart(const CPointSeries& columns, const CString& xTitle, const CString& yTitle,
                                    const CString& name, const CPointSeries& rows);
    ~CFactorialPlaneRowsColumnsChart() override;

    void BuildLegend() override;
    // The legend belongs to the chart: no conditioning switches it off.
    void ShowConditioning(bool) override {}

    int GetColumnPointCount() const { return m_nColumnPoints; }

    static constexpr COLORREF kColumnColour = 0xFF0000;   // blue
    static constexpr COLORREF kRowColour = 0x0000FF;      // red

protected:
    // Column points blue, row points red.
    COLORREF MarkerColour(int i, const CSeriesPoint& point) const override;

    int m_nColumnPoints;
};

// "Colunas" with the column mark and "Linhas" with the row mark of the chart above.
class CPlaneRowColumnLegend : public CRowColumnLegend {
public:
    using CRowColumnLegend::CRowColumnLegend;
    void BuildEntries(CDC* dc) override;
};
