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

void CFactorialPlaneRowsColumnsChart::BuildMarkers() {
    markers.clear();
    anchors.clear();
    placed.clear();
    labelsMayShow = labelsShown != 0;
    for (int i = 0; i < series->GetCount(); ++i) {
        const CSeriesPoint& p = series->GetPoint(i);
        const int x = WorldToDeviceX(p.x), y = WorldToDeviceY(p.y);
        auto marker = std::make_unique<CChartRect>(x, y, p.label, yAxisTopX, yAxisTopY, xAxisEndX, xAxisEndY,
                                                   i < m_nColumnPoints ? kColumnColour : kRowColour,
                                                   static_cast<short>(markerSize));
        marker->SetFilled(filled != 0);
        marker->SetLabelShown(labelsShown != 0);
        anchors.push_back(POINT{marker->x, marker->y});
        placed.push_back(HasDeviceX(p.x) && HasDeviceY(p.y) ? 1 : 0);
        markers.push_back(std::move(marker));
    }
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
