#include "engines/common/planes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// ---------------------------------------------------------------------------------------
// Grid

namespace {

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// Cell number of an offset measured in cells, as the line printer rounds it.
int CellNumber(double cells) {
    const double shifted = cells + 0.500001;
    if (!(shifted < 1e9))
        return 1000000000;
    if (shifted < 0.0)
        return 0;
    return static_cast<int>(shifted);
}

void Widen(double& low, double& high) {
    if (high - low > 0.0)
        return;
    const double half = std::fabs(high) > 0.0 ? std::fabs(high) * 0.5 : 1.0;
    low -= half;
    high += half;
}

}  // namespace

int PlaneGrid::ColumnOf(double x) const { return Clamp(CellNumber((x - xmin) / cellWidth), 1, columns); }

int PlaneGrid::LineOf(double y) const { return Clamp(CellNumber((ymax - y) / cellHeight), 1, lines); }

double PlaneGrid::XOfColumn(int column) const { return xmin + static_cast<double>(column) * cellWidth; }

double PlaneGrid::YOfLine(int line) const { return ymax - static_cast<double>(line) * cellHeight; }

PlaneGrid MakePlaneGrid(const std::vector<PlanePoint>& points, bool withOrigin, int columns,
                        int pages, int lines) {
    PlaneGrid grid;
    bool first = true;
    auto take = [&](double x, double y) {
        if (first) {
            grid.xmin = grid.xmax = x;
            grid.ymin = grid.ymax = y;
            first = false;
            return;
        }
        grid.xmin = std::min(grid.xmin, x);
        grid.xmax = std::max(grid.xmax, x);
        grid.ymin = std::min(grid.ymin, y);
        grid.ymax = std::max(grid.ymax, y);
    };
    if (withOrigin)
        take(0.0, 0.0);
    for (const PlanePoint& point : points)
        take(point.x, point.y);
    Widen(grid.xmin, grid.xmax);
    Widen(grid.ymin, grid.ymax);

    grid.columns = columns > 0 ? columns : 1;
    const double xrange = grid.xmax - grid.xmin;
    const double yrange = grid.ymax - grid.ymin;
    if (lines <= 0) {
        const double proportional = yrange / xrange * static_cast<double>(pages) * 74.0;
        lines = proportional < static_cast<double>(kMaxPlaneLines) ? static_cast<int>(proportional)
                                                                   : kMaxPlaneLines;
    }
    grid.lines = Clamp(lines, 12, kMaxPlaneLines);
    grid.cellWidth = xrange / static_cast<double>(grid.columns);
    grid.cellHeight = yrange / static_cast<double>(grid.lines);
    return grid;
}

std::vector<DoublePoint> FindDoublePoints(const std::vector<PlanePoint>& points, const PlaneGrid& grid) {
    std::vector<int> owner(static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.lines), -1);
    std::vector<DoublePoint> doubles;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const int column = grid.ColumnOf(points[k].x);
        const int line = grid.LineOf(points[k].y);
        int& cell = owner[static_cast<std::size_t>(line - 1) * static_cast<std::size_t>(grid.columns) +
                          static_cast<std::size_t>(column - 1)];
        if (cell < 0)
            cell = static_cast<int>(k);
        else
            doubles.push_back({cell, static_cast<int>(k), column, line});
    }
    return doubles;
}

// ---------------------------------------------------------------------------------------
// Plane drawing

namespace {

void PrintRefusal(RecordWriter& out) {
    out.WriteBlank(3);
    out.Write(Blanks(10) + "GRAFICO RECUSADO ");
    out.Write(Blanks(10) + "MAIS DE 2000 PONTOS DUPLOS EM A4");
    out.Write(Blanks(10) + "MAIS DE 750 PONTOS SOBRE O QUADRO");
    out.Write("\f");
}

void WriteTrimmed(RecordWriter& out, std::string line) {
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    out.Write(line);
}

}  // namespace

void PrintPlane(RecordWriter& out, std::vector<PlanePoint> points, int p, int q,
                const PlaneSettings& settings) {
    const int n = static_cast<int>(points.size());
    out.Write('\f' + Blanks(25) + "PLANO DE PROJECCAO DOS" + FormatI(n, 6) + " PONTOS " +
              "SOBRE OS EIXOS" + FormatI(p, 2) + "  E " + FormatI(q, 2));
    out.Write(" " + std::string(130, '-'));

    // Points far from the centre are listed and later put on the sides of the drawing.
    const bool clipping = settings.deviations > 0.0;
    std::vector<char> clipped(points.size(), 0);
    std::vector<int> clippedList;
    if (clipping && n > 0) {
        double sumX = 0.0;
        double sumY = 0.0;
        for (const PlanePoint& point : points) {
            sumX += point.x * point.x;
            sumY += point.y * point.y;
        }
        const double limitX = settings.deviations * std::sqrt(sumX / static_cast<double>(n));
        const double limitY = settings.deviations * std::sqrt(sumY / static_cast<double>(n));
        for (int k = 0; k < n; ++k)
            if (std::fabs(points[k].x) > limitX || std::fabs(points[k].y) > limitY) {
                clipped[k] = 1;
                clippedList.push_back(k);
            }
    }
    if (static_cast<int>(clippedList.size()) > kMaxClippedPoints) {
        PrintRefusal(out);
        return;
    }
    if (!clippedList.empty()) {
        out.WriteBlank(3);
        out.Write(Blanks(25) + "ATENCAO");
        out.WriteBlank();
        out.Write(" OS PONTOS ABAIXO ESTAVAM A MAIS DE " + FormatF(settings.deviations, 4, 1) +
                  " DESVIOS PADRAO DO CENTRO.");
        out.Write(" FORAM POSTOS SOBRE OS LADOS DO GRAFICO");
        out.WriteBlank();
        out.Write(Repeat(" *", 28));
        for (int k : clippedList)
            out.Write("  *" + FormatText(points[k].name, 4) + " *" + FormatF(points[k].x, 15, 5) +
                      Blanks(8) + "*" + FormatF(points[k].y, 15, 5) + Blanks(8) + "*");
        out.Write(Repeat(" *", 28));
    }

    const bool wide = settings.pages == 4;  // four pages of 30 cells of 4 characters
    const int pages = wide ? 4 : 1;
    const int perPage = wide ? 30 : 122;
    const int cellChars = wide ? 4 : 1;
    std::vector<PlanePoint> inside;
    for (int k = 0; k < n; ++k)
        if (!clipped[k])
            inside.push_back(points[k]);
    const PlaneGrid grid = MakePlaneGrid(inside, clipping, perPage * pages, pages, settings.lines);
    for (int k : clippedList) {
        points[k].x = std::clamp(points[k].x, grid.xmin, grid.xmax);
        points[k].y = std::clamp(points[k].y, grid.ymin, grid.ymax);
    }
    const std::vector<DoublePoint> doubles = FindDoublePoints(points, grid);
    if (static_cast<int>(doubles.size()) > kMaxDoublePoints) {
        PrintRefusal(out);
        return;
    }

    out.Write(' ' + Blanks(43) + "EIXO" + FormatI(p, 2) + "-- HORIZONTAL " + Blanks(9) + "EIXO" +
              FormatI(q, 2) + "-- VERTICAL");
    out.WriteBlank();

    // The drawing, one string of cells per line.
    const int columns = grid.columns;
    const int lines = grid.lines;
    auto word = [&](const char* one, const char* four) { return std::string(wide ? four : one); };
    const std::string border = word("-", "----"), blank = word(" ", "    "), left = word("I", "I   "),
                      right = word("I", "   I"), axis = word(".", " .  "), origin = word("+", " +  ");
    std::vector<std::string> rows(static_cast<std::size_t>(lines));
    const int zeroColumn = CellNumber((0.0 - grid.xmin) / grid.cellWidth);
    const int zeroLine = CellNumber((grid.ymax - 0.0) / grid.cellHeight);
    auto put = [&](int line, int column, const std::string& text) {
        rows[static_cast<std::size_t>(line - 1)].replace(static_cast<std::size_t>(column - 1) * cellChars,
                                                         static_cast<std::size_t>(cellChars), text);
    };
    for (int line = 1; line <= lines; ++line) {
        std::string& row = rows[static_cast<std::size_t>(line - 1)];
        if (line == 1 || line == lines) {
            row = Repeat(border, columns);
            continue;
        }
        row = Repeat(blank, columns);
        if (zeroColumn >= 1 && zeroColumn <= columns)
            put(line, zeroColumn, axis);
        if (line == zeroLine) {
            row = Repeat(axis, columns);
        } else {
            put(line, 1, left);
            put(line, columns, right);
        }
    }
    if (clipping && zeroColumn >= 1 && zeroColumn <= columns && zeroLine >= 1 && zeroLine <= lines)
        put(zeroLine, zeroColumn, origin);
    std::vector<char> hidden(points.size(), 0);
    for (const DoublePoint& d : doubles)
        hidden[static_cast<std::size_t>(d.hidden)] = 1;
    for (int k = 0; k < n; ++k) {
        if (hidden[k])
            continue;
        const std::string name = FormatText(points[k].name, 4);
        put(grid.LineOf(points[k].y), grid.ColumnOf(points[k].x), wide ? name : name.substr(0, 1));
    }

    const int ticks = pages * 5;
    const double tickStep = (grid.xmax - grid.xmin) / static_cast<double>(ticks);
    for (int page = 0; page < pages; ++page) {
        const std::size_t from = static_cast<std::size_t>(page * perPage * cellChars);
        const std::size_t width = static_cast<std::size_t>(perPage * cellChars);
        for (int line = 1; line <= lines; ++line) {
            const std::string cells = rows[static_cast<std::size_t>(line - 1)].substr(from, width);
            const std::string ordinate = FormatF(grid.YOfLine(line), 8, 3);
            out.Write(wide ? " " + cells + " " + ordinate : " " + ordinate + " " + cells);
        }
        // Abscissa values of the page's ticks under the drawing, alternately on a line that
        // starts with 2 blanks and on one that starts with 18; fields 24 columns apart.
        std::string even = Blanks(2);
        std::string odd = Blanks(18);
        for (int i = page * 5; i <= page * 5 + 5; ++i) {
            const int k = i - page * 5;
            std::string& line = k % 2 == 0 ? even : odd;
            if (k >= 2)
                line += Blanks(14);
            line += FormatF(grid.xmin + static_cast<double>(i) * tickStep, 10, 3);
        }
        WriteTrimmed(out, even);
        WriteTrimmed(out, odd);
    }

    // Points hidden by others, with the coordinates of their cell.
    out.Write('\f' + Blanks(45) + "PONTOS MULTIPLOS (PARES)");
    out.WriteBlank();
    const std::string stars = " " + std::string(71, '*');
    out.Write(stars);
    out.Write(" * PONTO  *  ABCISSA   *  ORDENADA  * PONTO  *  ABCISSA   *  ORDENADA  *");
    out.Write(" * VISTO  * APROXIMADA * APROXIMADA * OCULTO * APROXIMADA * APROXIMADA *");
    out.Write(stars);
    for (const DoublePoint& d : doubles) {
        const std::string x = ' ' + FormatF(grid.XOfColumn(d.column), 10, 5) + " *";
        const std::string y = ' ' + FormatF(grid.YOfLine(d.line), 10, 5) + " *";
        out.Write(" *  " + FormatText(points[d.shown].name, 4) + "  *" + x + y + "  " +
                  FormatText(points[d.hidden].name, 4) + "  *" + x + y);
    }
    out.Write(stars);
    out.WriteBlank();
    out.Write(" NUMERO DE PONTOS DUPLOS =" + FormatI(static_cast<long long>(doubles.size()), 5));
}

void PrintPlanes(RecordWriter& out, const std::vector<CoordinatePoints>& sets, int graphs,
                 const PlaneSettings& settings) {
    size_t total = 0;
    for (const CoordinatePoints& set : sets) total += set.names->size();
    for (int g = 1; g <= graphs; ++g) {
        const auto p = static_cast<size_t>(g - 1), q = static_cast<size_t>(g);
        std::vector<PlanePoint> points;
        points.reserve(total);
        for (const CoordinatePoints& set : sets) {
            const std::vector<double>& c = *set.coordinates;
            const size_t n = set.names->size();
            for (size_t k = 0; k < n; ++k) points.push_back({(*set.names)[k], c[k + p * n], c[k + q * n]});
        }
        PrintPlane(out, std::move(points), g, g + 1, settings);
    }
}
