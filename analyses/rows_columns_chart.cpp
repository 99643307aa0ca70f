#include "analyses/rows_columns_chart.h"

#include <memory>

CFactorialPlaneRowsColumnsChart::CFactorialPlaneRowsColumnsChart(const CPointSeries& columns, const CString& xTitle,
                                                                 const CString& yTitle, const CString& name,
                                                                 const CPointSeries& rows)
    : CScatterChart(columns, xTitle, yTitle, name), m_nColumnPoints(columns.GetCount()) {
    series->Append(rows);
    Setup();
    title = "Plano Factorial (Linhas + Colunas)";
    conditioningShown = 1;
    showZeroLines = 1;
}

CFactorialPlaneRowsColumnsChart::~CFactorialPlaneRowsColumnsChart() = default;

COLORREF CFactorialPlaneRowsColumnsChart::MarkerColour(int i, const CSeriesPoint&) const {
    return i < m_nColumnPoints ? kColumnColour : kRowColour;
}

void CFactorialPlaneRowsColumnsChart::BuildLegend() {
    legend = std::make_unique<CPlaneRowColumnLegend>(xAxisEndX, xAxisEndY, yAxisTopX, yAxisTopY, xAxisEndX, xAxisEndY);
}

void CPlaneRowColumnLegend::BuildEntries(CDC* dc) {
    if (!entries.empty()) return;
    entryNames = {CString("Colunas"), CString("Linhas")};
    int currentY = y + 7;
    AddEntry(dc,
             std::make_unique<CChartRect>(x + 7, currentY, boundsLeft, boundsTop, boundsRight, boundsBottom,
                                          CFactorialPlaneRowsColumnsChart::kColumnColour, 5),
             entryNames[0], currentY);
    AddEntry(dc,
             std::make_unique<CChartRect>(x + 7, currentY, boundsLeft, boundsTop, boundsRight, boundsBottom,
                                             CFactorialPlaneRowsColumnsChart::kRowColour, 5),
             entryNames[1], currentY);
}
