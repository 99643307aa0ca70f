// The factorial planes drawn with characters: cells, double points and the limits of a plane.
#include "engines/common/planes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "tests/engines/engine_test_files.h"

namespace {

using engine_test::WorkFolder;

using engine_test::Lines;
using engine_test::ReadFile;

std::string PrintToText(const std::vector<PlanePoint>& points, const PlaneSettings& settings) {
    WorkFolder folder;
    {
        RecordWriter out;
        EXPECT_TRUE(out.Create("plane.prn", folder.Path()));
        PrintPlane(out, points, 1, 2, settings);
    }
    return ReadFile(folder.File("plane.prn"));
}

TEST(PlaneGrid, CellsOfValuesAndWidenedRanges) {
    const PlaneGrid grid = MakePlaneGrid({{"A", -1.0f, -0.5f}, {"B", 1.0f, 0.5f}}, false, 122, 1, 0);
    // Proportional lines: 1/2 x 74 = 37.
    EXPECT_EQ(grid.lines, 37);
    EXPECT_EQ(grid.ColumnOf(-1.0f), 1);
    EXPECT_EQ(grid.ColumnOf(1.0f), 122);
    EXPECT_EQ(grid.ColumnOf(0.0f), 61);  // 61 cells of 2/122 from -1, rounded up at .5
    EXPECT_EQ(grid.LineOf(0.5f), 1);
    EXPECT_EQ(grid.LineOf(-0.5f), 37);
    // All points on one abscissa: the range is widened.
    const PlaneGrid line = MakePlaneGrid({{"A", 2.0f, 0.0f}, {"B", 2.0f, 1.0f}}, false, 122, 1, 0);
    EXPECT_LT(line.xmin, 2.0f);
    EXPECT_GT(line.xmax, 2.0f);
    EXPECT_EQ(line.ColumnOf(2.0f), 61);
    // A flat plane still has 12 lines.
    EXPECT_EQ(MakePlaneGrid({{"A", -1.0f, 0.0f}, {"B", 1.0f, 0.01f}}, false, 122, 1, 0).lines, 12);
}

TEST(PlanePrint, DoublePointsAreListedAndCounted) {
    const std::vector<PlanePoint> points = {
        {"ALFA", -1.0f, -1.0f}, {"BETA", 1.0f, 1.0f}, {"GAMA", 1.0f, 1.0f}, {"DELT", 0.2f, -0.4f}};
    const std::string text = PrintToText(points, {1, 20, 0.0f});
    EXPECT_EQ(text.find("ATENCAO"), std::string::npos);  // no clipping with 0 deviations
    EXPECT_NE(text.find("NUMERO DE PONTOS DUPLOS =    1"), std::string::npos);
    // Cell height 2/20; BETA's cell is the top line (y = 1 rounds to line 0, held at line 1):
    // 1 - 0.1 = 0.9.
    EXPECT_NE(text.find(" *  BETA  *    1.00000 *    0.90000 *  GAMA  *    1.00000 *    0.90000 *"),
              std::string::npos);
    // The visible point shows its first letter in the top right cell, before the border.
    EXPECT_NE(text.find(std::string(121, '-') + "B\r\n"), std::string::npos);
    // The drawing has 20 lines of an ordinate and 122 cells.
    int lines = 0;
    for (const std::string& line : Lines(text))
        lines += line.size() == 132 && line[9] == ' ' ? 1 : 0;
    EXPECT_EQ(lines, 20);
    EXPECT_NE(text.find("   -1.000 A---"), std::string::npos);
    // Under the drawing the six ticks from -1 to 1, alternately on a line of 2 leading blanks
    // and one of 18, their fields 24 columns apart.
    const std::string ticks = "\r\n      -1.000                  -0.200                   0.600\r\n"
                              "                      -0.600                   0.200                   1.000\r\n\f";
    EXPECT_NE(text.find(ticks), std::string::npos);
}

TEST(PlanePrint, FarPointsGoOnTheSidesAndTooManyRefuseThePlane) {
    std::vector<PlanePoint> points = {{"NEAR", 0.1f, 0.1f}, {"FAR ", 100.0f, 0.0f}};
    for (int k = 0; k < 40; ++k)
        points.push_back({"P", 0.01f * static_cast<float>(k % 7) - 0.03f, 0.01f * static_cast<float>(k % 5)});
    std::string text = PrintToText(points, {1, 30, 2.5f});
    EXPECT_NE(text.find("OS PONTOS ABAIXO ESTAVAM A MAIS DE  2.5 DESVIOS PADRAO DO CENTRO."), std::string::npos);
    EXPECT_NE(text.find("  *FAR  *      100.00000        *        0.00000        *"), std::string::npos);
    EXPECT_EQ(text.find("GRAFICO RECUSADO"), std::string::npos);

    // 1000 of 9000 points at 1 lie beyond 2.5 x sqrt(1000/9000): more than 750 clipped.
    std::vector<PlanePoint> crowd(8000, {"Z", 0.0f, 0.0f});
    crowd.insert(crowd.end(), 1000, {"O", 1.0f, 0.0f});
    text = PrintToText(crowd, {1, 30, 2.5f});
    EXPECT_NE(text.find("          GRAFICO RECUSADO \r\n          MAIS DE 2000 PONTOS DUPLOS EM A4\r\n"
                        "          MAIS DE 750 PONTOS SOBRE O QUADRO\r\n\f\r\n"),
              std::string::npos);
    // 2002 points in one cell make 2001 double points.
    std::vector<PlanePoint> stack(2002, {"S", 0.5f, 0.5f});
    stack.push_back({"T", -0.5f, -0.5f});
    EXPECT_NE(PrintToText(stack, {1, 30, 0.0f}).find("GRAFICO RECUSADO"), std::string::npos);
}

// Plane g needs factor g + 1: at most factors - 1 planes, none for counts at the ends of an int.
TEST(PlaneCount, AtMostOneLessThanTheFactorsForAnyCounts) {
    EXPECT_EQ(PlaneCount(5, 3), 2);
    EXPECT_EQ(PlaneCount(1, 3), 1);
    EXPECT_EQ(PlaneCount(-1, 3), 0);
    EXPECT_EQ(PlaneCount(5, std::numeric_limits<int>::min()), 0);
    EXPECT_EQ(PlaneCount(std::numeric_limits<int>::max(), std::numeric_limits<int>::max()),
              std::numeric_limits<int>::max() - 1);
}

}  // namespace
