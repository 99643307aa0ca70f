// Factorial planes drawn with characters in an engine listing (kelo, mur, dazi).
//
//   std::vector<PlanePoint> points = {{"Nome", x, y}, ...};   // columns, then rows
//   PrintPlane(listing, points, 1, 2, {pages, lines, deviations});
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engines/common/factor_points.h"
#include "engines/common/record_io.h"

struct PlanePoint {
    std::string name;  // 4 characters
    double x = 0.0;
    double y = 0.0;
};

struct PlaneSettings {
    int pages = 1;            // pages per graph: 4 gives four pages of 30 wide cells, else 1 page
    int lines = 65;           // lines per graph; 0 or less: from the ranges' proportions
    double deviations = 2.5;  // points beyond this many standard deviations go on the sides
};

constexpr int kMaxClippedPoints = 750;
constexpr int kMaxDoublePoints = 2000;
constexpr int kMaxPlaneLines = 1000;

// The grid of one plane: ranges, cell sizes and the cell of a value.
struct PlaneGrid {
    double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
    int columns = 122;  // cells across all pages
    int lines = 12;
    double cellWidth = 1.0;
    double cellHeight = 1.0;

    int ColumnOf(double x) const;  // 1..columns
    int LineOf(double y) const;    // 1..lines
    double XOfColumn(int column) const;
    double YOfLine(int line) const;
};

// Ranges of the points (a zero range is widened), cell sizes and line count.
PlaneGrid MakePlaneGrid(const std::vector<PlanePoint>& points, bool withOrigin, int columns,
                        int pages, int lines);

struct DoublePoint {
    int shown = 0;   // index of the point that keeps the cell
    int hidden = 0;  // index of the point it hides
    int column = 0;
    int line = 0;
};

// Points sharing a cell, in the order they were placed: the first one in a cell stays visible.
std::vector<DoublePoint> FindDoublePoints(const std::vector<PlanePoint>& points, const PlaneGrid& grid);

// Prints the plane of factors p and q (1-based numbers, for the titles) of the points.
void PrintPlane(RecordWriter& out, std::vector<PlanePoint> points, int p, int q,
                const PlaneSettings& settings);

// The planes drawn for a graph count asked for: each plane g needs factor g + 1, so at most
// factors - 1, and none for a negative count. Computed in 64 bits: the counts are those read,
// checked only later.
inline int PlaneCount(int graphs, int factors) {
    return static_cast<int>(std::max(0LL, std::min<long long>(graphs, factors - 1LL)));
}

// Prints the planes of factors g and g + 1 for g = 1..graphs (graphs at most PlaneCount's),
// each with the points of the sets in order (kelo and mur: the columns, then the rows).
void PrintPlanes(RecordWriter& out, const std::vector<CoordinatePoints>& sets, int graphs,
                 const PlaneSettings& settings);
