// The points of a two-variable chart, each with a label and a group code, and their
// least-squares line of y on x.
#pragma once

#include <vector>

#include "charts/plot_page.h"
#include "platform/core/large_block.h"

class CDataTable;

class CPointSeries {
public:
    // Parallel vectors (as many points as the shorter of xs and ys; a missing label is
    // empty). Without group codes every group is -1 and the series has no groups.
    CPointSeries(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<CString>& labels,
                 const std::vector<int>& groups);
    // One point for every row where neither x nor y is the missing-value code; columns are
    // variable numbers from 1. The label is the row name (labelColumn -1) or "%d" of the
    // label column's value; the group is the group column's value truncated, or -1.
    CPointSeries(const CDataTable& table, int xColumn, int yColumn, int labelColumn, int groupColumn,
                 float missingCode);
    CPointSeries(const CPointSeries& other);
    CPointSeries& operator=(const CPointSeries&) = delete;
    virtual ~CPointSeries();

    int GetCount() const { return static_cast<int>(points.size()); }
    float GetX(int i) const { return points[static_cast<size_t>(i)].x; }
    float GetY(int i) const { return points[static_cast<size_t>(i)].y; }
    const CString& GetLabel(int i) const { return points[static_cast<size_t>(i)].label; }
    int GetGroup(int i) const { return points[static_cast<size_t>(i)].group; }
    bool HasGroups() const { return hasGroups != 0; }
    const CSeriesPoint& GetPoint(int i) const { return points[static_cast<size_t>(i)]; }

    // Extremes over the points; only for a non-empty series.
    float GetMaxY() const;
    float GetMinY() const;
    float GetMaxX() const;
    float GetMinX() const;

    // The least-squares line; meaningful only when HasFit (two or more points whose x
    // values are not all equal). The correlation needs y values that are not all equal
    // too (HasCorrelation); otherwise the three are 0.
    float GetSlope() const { return slope; }
    float GetIntercept() const { return intercept; }
    float GetCorrelation() const { return correlation; }
    bool HasFit() const { return fitted; }
    bool HasCorrelation() const { return correlated; }

    void GetLabels(std::vector<CString>& labels) const;
    // Appends the group codes, only when the series has groups.
    void GetGroups(std::vector<int>& groups) const;
    // Appends the codes the list does not hold yet, then sorts the list.
    void CollectGroupCodes(std::vector<int>& codes) const;
    // One code a point; a vector of another length changes nothing (false).
    bool SetGroups(const std::vector<int>& codes);
    void Append(const CPointSeries& other);

    float sumXY = 0, sumX = 0, sumY = 0, sumXX = 0, sumYY = 0;

private:
    void Fit();

    std::vector<CSeriesPoint, afx::LargeBlockAllocator<CSeriesPoint>> points;
    float slope = 0, intercept = 0, correlation = 0;
    bool fitted = false;
    bool correlated = false;
    BYTE hasGroups = 0;
};
