// Box plots of quantitative variables: one box with its legend of values, or two to five
// boxes side by side on a common value axis. The numbers come from the order statistics.
#pragma once

#include <memory>
#include <vector>

#include "charts/plot_page.h"
#include "stats/order_statistics.h"

class CBoxPlotChart : public CPlotChart {
public:
    // widthDivisor narrows the box and whiskers (the number of boxes sharing a chart).
    CBoxPlotChart(COrderStatistics* statistics, int variable, int identifyOutliers, const CString& name,
                  int widthDivisor);

    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    void DrawXTicks(CDC* dc, const CRect& frame) override;

    // Used by the multiple box plot to place this box in one of its columns.
    void SetValueRange(double high, double low);
    void SetCentre(int x, int tickOrigin, int lastTick);
    void SetFrame(int x0, int y0, int xEnd, int yEnd, int xTop, int yTop);
    void DrawBox(CDC* dc);
    void DrawName(CDC* dc);
    void DrawLegend(CDC* dc, int l, int t, int r, int b);

    // The legend's text of a value: decimals as chosen, shortened to 10 characters by its
    // decimals only; an integer part too long for them is written with an exponent; "N/A"
    // for a value that is not a finite number.
    static CString FormatLegendValue(double value, int decimals);

    int boxCentreX = 0;
    // In double, so that values beyond single precision keep their place on the axis.
    double median = 0, q1 = 0, q3 = 0, maximum = 0, minimum = 0, mean = 0;
    // One interquartile range from the median on each side.
    double upperFence = 0, lowerFence = 0;
    COrderStatistics* statistics;
    int legendDecimals = 2;
    int widthDivisor = 1;
    int identifyOutliers = 1;
    int variable;
    CString variableName;
};

class CMultipleBoxplotChart : public CPlotChart {
public:
    // The variables first .. first + count - 1 that exist in the statistics.
    CMultipleBoxplotChart(COrderStatistics* statistics, int firstVariable, int count, int identifyOutliers);
    ~CMultipleBoxplotChart() override;

    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    void DrawXTicks(CDC* dc, const CRect& frame) override;

    int firstVariable;
    double overallMax = 0, overallMin = 0;
    BYTE identifyOutliers;
    std::vector<std::unique_ptr<CBoxPlotChart>> boxes;
    int boxCount = 0;
};
