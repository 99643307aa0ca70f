#include "charts/point_series.h"

#include <algorithm>
#include <cmath>
#include <charconv>

#include "app/data_table.h"

CPointSeries::CPointSeries(const std::vector<float>& xs, const std::vector<float>& ys,
                           const std::vector<CString>& labels, const std::vector<int>& groups) {
    const size_t n = std::min(xs.size(), ys.size());
    hasGroups = groups.empty() ? 0 : 1;
    points.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        CSeriesPoint& p = points.emplace_back();
        p.x = xs[i];
        p.y = ys[i];
        if (i < labels.size()) p.label = labels[i];
        p.group = hasGroups && i < groups.size() ? groups[i] : -1;
    }
    Fit();
}

CPointSeries::CPointSeries(const CDataTable& table, int xColumn, int yColumn, int labelColumn, int groupColumn,
                           float missingCode) {
    hasGroups = groupColumn != -1 ? 1 : 0;
    const int rows = table.GetRowCount();
    // Room for every row at once, so that a million points are placed once and never moved;
    // the room of the rows left out is never touched and so costs no memory.
    points.reserve(static_cast<size_t>(std::max(rows, 0)));
    for (int row = 1; row <= rows; ++row) {
        const double x = table.GetValue(row, xColumn);
        const double y = table.GetValue(row, yColumn);
        if (FloatEquals(x, missingCode) || FloatEquals(y, missingCode)) continue;
        CSeriesPoint& p = points.emplace_back();
        p.x = static_cast<float>(x);
        p.y = static_cast<float>(y);
        if (labelColumn == -1) {
            table.GetRowName(row, p.label);
        } else {
            // The text "%d" writes, without the formatting machinery.
            char text[16];
            const auto written = std::to_chars(text, text + sizeof text, static_cast<int>(table.GetValue(row, labelColumn)));
            p.label.str().assign(text, written.ptr);
        }
        p.group = groupColumn == -1 ? -1 : static_cast<int>(table.GetValue(row, groupColumn));
    }
    Fit();
}

CPointSeries::CPointSeries(const CPointSeries& other) : points(other.points), hasGroups(other.hasGroups) {
    if (!hasGroups)
        for (CSeriesPoint& p : points) p.group = -1;
    Fit();
}

CPointSeries::~CPointSeries() = default;

float CPointSeries::GetMaxY() const {
    float m = points.front().y;
    for (const CSeriesPoint& p : points) m = std::max(m, p.y);
    return m;
}

float CPointSeries::GetMinY() const {
    float m = points.front().y;
    for (const CSeriesPoint& p : points) m = std::min(m, p.y);
    return m;
}

float CPointSeries::GetMaxX() const {
    float m = points.front().x;
    for (const CSeriesPoint& p : points) m = std::max(m, p.x);
    return m;
}

float CPointSeries::GetMinX() const {
    float m = points.front().x;
    for (const CSeriesPoint& p : points) m = std::min(m, p.x);
    return m;
}

void CPointSeries::GetLabels(std::vector<CString>& labels) const {
    if (labels.empty()) labels.reserve(points.size());
    for (const CSeriesPoint& p : points) labels.push_back(p.label);
}

void CPointSeries::GetGroups(std::vector<int>& groups) const {
    if (!hasGroups) return;
    if (groups.empty()) groups.reserve(points.size());
    for (const CSeriesPoint& p : points) groups.push_back(p.group);
}

void CPointSeries::CollectGroupCodes(std::vector<int>& codes) const {
    for (const CSeriesPoint& p : points)
        if (std::find(codes.begin(), codes.end(), p.group) == codes.end()) codes.push_back(p.group);
    std::sort(codes.begin(), codes.end());
}

bool CPointSeries::SetGroups(const std::vector<int>& codes) {
    if (codes.size() != points.size()) return false;
    for (size_t i = 0; i < points.size(); ++i) points[i].group = codes[i];
    hasGroups = 1;
    return true;
}

void CPointSeries::Append(const CPointSeries& other) {
    for (const CSeriesPoint& q : other.points) {
        CSeriesPoint p = q;
        if (!other.hasGroups) p.group = -1;
        points.push_back(std::move(p));
    }
    Fit();
}

// Sums in double; the line from sums of squares about the means, which keep their digits
// when the values are large next to their spread.
void CPointSeries::Fit() {
    double sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0;
    for (const CSeriesPoint& p : points) {
        const double x = p.x, y = p.y;
        sx += x;
        sy += y;
        sxy += x * y;
        sxx += x * x;
        syy += y * y;
    }
    sumX = static_cast<float>(sx);
    sumY = static_cast<float>(sy);
    sumXY = static_cast<float>(sxy);
    sumXX = static_cast<float>(sxx);
    sumYY = static_cast<float>(syy);
    slope = intercept = correlation = 0.0f;
    fitted = correlated = false;
    const size_t n = points.size();
    if (n < 2) return;
    const double mx = sx / static_cast<double>(n), my = sy / static_cast<double>(n);
    double cxx = 0, cyy = 0, cxy = 0;
    for (const CSeriesPoint& p : points) {
        const double dx = p.x - mx, dy = p.y - my;
        cxx += dx * dx;
        cyy += dy * dy;
        cxy += dx * dy;
    }
    if (!(cxx > 0) || !std::isfinite(cxx)) return;
    const double b = cxy / cxx;
    slope = static_cast<float>(b);
    intercept = static_cast<float>(my - mx * b);
    fitted = true;
    if (cyy > 0 && std::isfinite(cyy)) {
        correlation = static_cast<float>(cxy / (std::sqrt(cxx) * std::sqrt(cyy)));
        correlated = true;
    }
}
