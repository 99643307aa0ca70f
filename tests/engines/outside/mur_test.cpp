// mur: principal components checked against an independent computation, its listing,
// refusals and result file, and the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <limits>

#include "engines/outside/mur/mur.h"
#include "tests/engines/outside/outside_test_support.h"
#include "tests/engines/planted_names.h"
#include "tests/support/memory_limit.h"

namespace {

using namespace outside_test;

// One analysis as the GUI writes it: mur.par (CR LF) and Dados.dat.
struct MurCase {
    std::vector<std::string> rowNames, colNames;
    std::vector<std::vector<double>> rows;
    std::string rowFlags, colFlags;  // empty: all active
    int nf = 2;
    std::string graphs = "1 1 65 2.5";
    std::string options = "1 0";
    const char* format = "%f";  // of the data values

    int Active(const std::string& flags, size_t total) const {
        if (flags.empty())
            return static_cast<int>(total);
        return static_cast<int>(std::count(flags.begin(), flags.end(), '1'));
    }
    void Write(const WorkFolder& folder) const {
        const int nl = static_cast<int>(rowNames.size()), nc = static_cast<int>(colNames.size());
        const int nla = Active(rowFlags, rowNames.size()), nca = Active(colFlags, colNames.size());
        std::string par = std::to_string(nl) + " " + std::to_string(nla) + " " + std::to_string(nc) + " " +
                          std::to_string(nca) + " " + std::to_string(nf) + "\r\n";
        par += folder.File("Dados.dat") + "\r\n" + folder.File("exemplo.tsm") + "\r\n";
        if (nl != nla || nc != nca)
            par += (rowFlags.empty() ? std::string(rowNames.size(), '1') : rowFlags) + "\r\n" +
                   (colFlags.empty() ? std::string(colNames.size(), '1') : colFlags) + "\r\n";
        par += graphs + "\r\n";
        for (const std::string& name : colNames)
            par += name + "\r\n";
        par += options + "\r\n";
        WriteFile(folder.File("mur.par"), par);
        std::string data;
        for (const std::string& name : rowNames)
            data += name + "\r\n";
        char text[64];
        for (const auto& row : rows) {
            for (size_t j = 0; j < row.size(); ++j) {
                std::snprintf(text, sizeof text, format, row[j]);
                data.append(j ? " " : "").append(text);
            }
            data += "\r\n";
        }
        WriteFile(folder.File("Dados.dat"), data);
    }
};

// Nine rows, five columns; row 5 and column 3 are supplementary.
MurCase SmallCase() {
    MurCase c;
    c.rowNames = {"R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "R9"};
    c.colNames = {"A", "B", "S", "C", "D"};
    c.rows = {{2.0, 5.1, 10, 3.3, 7}, {4.5, 3.2, 12, 2.1, 6},  {6.1, 7.7, 9, 5.5, 9},
              {3.3, 2.0, 15, 1.2, 4}, {5.0, 5.0, 11, 4.0, 8},  {7.8, 6.4, 8, 6.9, 8},
              {1.2, 4.4, 13, 2.2, 5}, {5.6, 8.1, 7, 7.3, 10}, {8.9, 3.9, 11, 4.8, 7}};
    c.rowFlags = "111101111";
    c.colFlags = "11011";
    c.nf = 3;
    return c;
}

struct Point {
    std::string name;
    std::vector<double> values;
};
struct MurTmp {
    int count = -1;
    std::vector<std::vector<double>> eigen;
    std::vector<Point> points;
};

// Reads mur.tmp as the results dialog does: the count line, k eigenvalue lines, then one
// line per point: a one-word name and k numbers. Every line must hold exactly its fields.
MurTmp ReadMurTmp(const std::string& path, int k, size_t points) {
    MurTmp tmp;
    const std::vector<std::string> lines = Lines(ReadFile(path));
    EXPECT_EQ(lines.size(), 1 + static_cast<size_t>(k) + points);
    if (lines.size() != 1 + static_cast<size_t>(k) + points)
        return tmp;
    EXPECT_EQ(Tokens(lines[0]).size(), 1u);
    tmp.count = std::atoi(lines[0].c_str());
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::vector<std::string> tokens = Tokens(lines[n]);
        const bool eigen = n <= static_cast<size_t>(k);
        EXPECT_EQ(tokens.size(), eigen ? 3u : 1u + static_cast<size_t>(k)) << lines[n];
        std::vector<double> values;
        for (size_t t = eigen ? 0 : 1; t < tokens.size(); ++t) {
            char* end = nullptr;
            values.push_back(std::strtod(tokens[t].c_str(), &end));
            EXPECT_TRUE(*end == '\0' && std::isfinite(values.back())) << lines[n];
        }
        if (eigen)
            tmp.eigen.push_back(values);
        else
            tmp.points.push_back({tokens.at(0), values});
    }
    return tmp;
}

// The principal components of a case computed here, independently of the engine.
struct Reference {
    std::vector<double> lambda;
    std::vector<std::vector<double>> activeCols, suppCols, activeRows, suppRows;  // [point][factor]
};

Reference Compute(const MurCase& c, int k) {
    std::vector<size_t> ar, sr, ac, sc;
    for (size_t i = 0; i < c.rows.size(); ++i)
        (c.rowFlags.empty() || c.rowFlags[i] == '1' ? ar : sr).push_back(i);
    for (size_t j = 0; j < c.colNames.size(); ++j)
        (c.colFlags.empty() || c.colFlags[j] == '1' ? ac : sc).push_back(j);
    const double n = static_cast<double>(ar.size());
    auto moments = [&](size_t j, double& mean, double& sd) {
        mean = 0;
        for (size_t i : ar)
            mean += c.rows[i][j] / n;
        double ss = 0;
        for (size_t i : ar)
            ss += (c.rows[i][j] - mean) * (c.rows[i][j] - mean);
        sd = std::sqrt(ss / n);
    };
    const int p = static_cast<int>(ac.size());
    std::vector<double> mean(ac.size()), sd(ac.size());
    for (size_t a = 0; a < ac.size(); ++a)
        moments(ac[a], mean[a], sd[a]);
    auto z = [&](size_t i, size_t a) { return (c.rows[i][ac[a]] - mean[a]) / sd[a]; };
    std::vector<double> r(static_cast<size_t>(p * p), 0.0);
    for (int a = 0; a < p; ++a)
        for (int b = 0; b < p; ++b)
            for (size_t i : ar)
                r[static_cast<size_t>(a * p + b)] += z(i, static_cast<size_t>(a)) * z(i, static_cast<size_t>(b)) / n;
    const Eigen eigen = PowerEigen(r, p, std::min(k, p));
    Reference ref;
    ref.lambda = eigen.values;
    const int kk = static_cast<int>(eigen.values.size());
    auto score = [&](size_t i) {
        std::vector<double> s(static_cast<size_t>(kk), 0.0);
        for (int f = 0; f < kk; ++f)
            for (int a = 0; a < p; ++a)
                s[static_cast<size_t>(f)] += z(i, static_cast<size_t>(a)) * eigen.vectors[static_cast<size_t>(f)][static_cast<size_t>(a)];
        return s;
    };
    for (size_t i : ar)
        ref.activeRows.push_back(score(i));
    for (size_t i : sr)
        ref.suppRows.push_back(score(i));
    for (int a = 0; a < p; ++a) {
        std::vector<double> coords;
        for (int f = 0; f < kk; ++f)
            coords.push_back(std::sqrt(eigen.values[static_cast<size_t>(f)]) * eigen.vectors[static_cast<size_t>(f)][static_cast<size_t>(a)]);
        ref.activeCols.push_back(coords);
    }
    // Pearson correlation of each supplementary column with each score, over the active rows.
    for (size_t j : sc) {
        std::vector<double> coords;
        for (int f = 0; f < kk; ++f) {
            double mx = 0, my = 0;
            for (size_t t = 0; t < ar.size(); ++t) {
                mx += c.rows[ar[t]][j] / n;
                my += ref.activeRows[t][static_cast<size_t>(f)] / n;
            }
            double sxy = 0, sxx = 0, syy = 0;
            for (size_t t = 0; t < ar.size(); ++t) {
                const double dx = c.rows[ar[t]][j] - mx, dy = ref.activeRows[t][static_cast<size_t>(f)] - my;
                sxy += dx * dy;
                sxx += dx * dx;
                syy += dy * dy;
            }
            coords.push_back(sxy / std::sqrt(sxx * syy));
        }
        ref.suppCols.push_back(coords);
    }
    return ref;
}

void ExpectPoints(const std::vector<Point>& got, size_t first, const std::vector<std::vector<double>>& expected,
                  const std::vector<double>& signs, const std::vector<std::string>& names, double tolerance) {
    ASSERT_GE(got.size(), first + expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[first + i].name, names[i]);
        for (size_t f = 0; f < expected[i].size(); ++f)
            EXPECT_NEAR(got[first + i].values[f] * signs[f], expected[i][f], tolerance)
                << names[i] << " factor " << f + 1;
    }
}

TEST(MurAnalysis, MatchesAnIndependentDecompositionOfTheCorrelationMatrix) {
    WorkFolder folder;
    const MurCase c = SmallCase();
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 5 + 9);
    ASSERT_EQ(tmp.points.size(), 14u);
    EXPECT_EQ(tmp.count, 3);
    const Reference ref = Compute(c, 3);
    double cumulative = 0;
    for (size_t f = 0; f < 3; ++f) {
        EXPECT_NEAR(tmp.eigen[f][0], ref.lambda[f], 1e-10);
        EXPECT_NEAR(tmp.eigen[f][1], ref.lambda[f] * 100 / 4, 1e-8);  // trace = 4 active columns
        cumulative += ref.lambda[f] * 100 / 4;
        EXPECT_NEAR(tmp.eigen[f][2], cumulative, 1e-8);
    }
    std::vector<double> signs;
    for (size_t f = 0; f < 3; ++f) {
        std::vector<double> got, expected;
        for (size_t a = 0; a < 4; ++a) {
            got.push_back(tmp.points[a].values[f]);
            expected.push_back(ref.activeCols[a][f]);
        }
        signs.push_back(Alignment(got, expected));
    }
    // Active columns, the supplementary column, active rows in data order, then the
    // supplementary row.
    ExpectPoints(tmp.points, 0, ref.activeCols, signs, {"A", "B", "C", "D"}, 1e-9);
    ExpectPoints(tmp.points, 4, ref.suppCols, signs, {"S"}, 1e-9);
    ExpectPoints(tmp.points, 5, ref.activeRows, signs, {"R1", "R2", "R3", "R4", "R6", "R7", "R8", "R9"}, 1e-9);
    ExpectPoints(tmp.points, 13, ref.suppRows, signs, {"R5"}, 1e-9);
    // With the divisor n, each score's variance over the active rows is its eigenvalue.
    for (size_t f = 0; f < 3; ++f) {
        double sum = 0, squares = 0;
        for (size_t i = 5; i < 13; ++i) {
            sum += tmp.points[i].values[f];
            squares += tmp.points[i].values[f] * tmp.points[i].values[f];
        }
        EXPECT_NEAR(sum, 0.0, 1e-9);
        EXPECT_NEAR(squares / 8, ref.lambda[f], 1e-9);
    }
}

TEST(MurAnalysis, LargeValuesWithASmallSpreadKeepTheirVariance) {
    // A column near 5e4 whose values differ by thousandths: shifting it by 5e4 must not
    // change anything.
    MurCase near = SmallCase(), shifted = SmallCase();
    near.rowFlags = shifted.rowFlags = "";
    near.colFlags = shifted.colFlags = "";
    const double spread[] = {0.001, 0.004, 0.002, 0.007, 0.003, 0.000, 0.006, 0.005, 0.001};
    for (size_t i = 0; i < near.rows.size(); ++i) {
        near.rows[i][2] = 50000.0 + spread[i];
        shifted.rows[i][2] = spread[i];
    }
    WorkFolder a, b;
    near.Write(a);
    shifted.Write(b);
    ASSERT_EQ(MurMain(a.Path()), kMurOk);
    ASSERT_EQ(MurMain(b.Path()), kMurOk);
    const MurTmp ta = ReadMurTmp(a.File("mur.tmp"), 3, 14), tb = ReadMurTmp(b.File("mur.tmp"), 3, 14);
    ASSERT_EQ(ta.points.size(), 14u);
    ASSERT_EQ(tb.points.size(), 14u);
    for (size_t f = 0; f < 3; ++f)
        EXPECT_NEAR(ta.eigen[f][0], tb.eigen[f][0], 1e-8);
    for (size_t k = 0; k < 14; ++k)
        for (size_t f = 0; f < 3; ++f)
            EXPECT_NEAR(ta.points[k].values[f], tb.points[k].values[f], 1e-7) << ta.points[k].name;
    // And the column is really part of the analysis: its correlation with factor 1 is not 0.
    EXPECT_GT(std::fabs(ta.points[2].values[0]), 0.1);
}

TEST(MurAnalysis, FactorsBeyondTheRankAreWrittenAsZeros) {
    // Three active rows span a plane: of three factors asked, the third is null.
    WorkFolder folder;
    MurCase c;
    c.rowNames = {"Um", "Dois", "Tres", "Sup"};
    c.colNames = {"A", "B", "C"};
    c.rows = {{1, 2, 0}, {2, 0, 1}, {4, 5, 3}, {3, 3, 3}};
    c.rowFlags = "1110";
    c.nf = 3;
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 3 + 4);
    ASSERT_EQ(tmp.points.size(), 7u);
    EXPECT_EQ(tmp.count, 3);
    EXPECT_NEAR(tmp.eigen[0][0] + tmp.eigen[1][0], 3.0, 1e-9);
    EXPECT_NEAR(tmp.eigen[1][2], 100.0, 1e-8);
    for (size_t f = 2; f < 3; ++f) {
        EXPECT_EQ(tmp.eigen[f][0], 0.0);
        EXPECT_EQ(tmp.eigen[f][1], 0.0);
        EXPECT_NEAR(tmp.eigen[f][2], 100.0, 1e-8);
        for (const Point& point : tmp.points)
            EXPECT_EQ(point.values[f], 0.0) << point.name;
    }
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")), "valor próprio nulo no factor  3"));
}

TEST(MurAnalysis, NamesBecomeSingleTokensAndConstantSupplementaryColumnsGiveZeros) {
    WorkFolder folder;
    MurCase c = SmallCase();
    c.rowNames[0] = "Linha com nome";
    c.rowNames[1] = "Dois\rlinhas\x01";  // control characters would split the line
    c.colNames[2] = "Const ante";
    for (auto& row : c.rows)
        row[2] = 7.5;
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 14);
    ASSERT_EQ(tmp.points.size(), 14u);
    EXPECT_EQ(tmp.points[4].name, "Const_ante");
    EXPECT_EQ(tmp.points[4].values, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(tmp.points[5].name, "Linha_com_nome");
    EXPECT_EQ(tmp.points[6].name, "Dois_linhas");
}

TEST(MurAnalysis, TheScaleOfTheDataDoesNotChangeTheComponents) {
    // Standardised columns do not depend on scale: the table times 1e200 (squares beyond the
    // largest double) and times 1e-300 (squares below the smallest) give the components of
    // the table itself.
    MurCase plain = SmallCase();
    plain.format = "%.17g";
    WorkFolder reference;
    plain.Write(reference);
    ASSERT_EQ(MurMain(reference.Path()), kMurOk);
    const MurTmp expected = ReadMurTmp(reference.File("mur.tmp"), 3, 14);
    ASSERT_EQ(expected.points.size(), 14u);
    for (double factor : {1e200, 1e-300}) {
        MurCase scaled = plain;
        for (auto& row : scaled.rows)
            for (double& value : row)
                value *= factor;
        WorkFolder folder;
        scaled.Write(folder);
        ASSERT_EQ(MurMain(folder.Path()), kMurOk) << factor << "\n" << ReadFile(folder.File("mur.prn"));
        const MurTmp got = ReadMurTmp(folder.File("mur.tmp"), 3, 14);
        ASSERT_EQ(got.points.size(), 14u) << factor;
        auto same = [&](double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b)); };
        for (size_t f = 0; f < 3; ++f)
            for (size_t k = 0; k < 3; ++k)
                EXPECT_TRUE(same(got.eigen[f][k], expected.eigen[f][k])) << factor << " " << f;
        for (size_t p = 0; p < 14; ++p)
            for (size_t f = 0; f < 3; ++f)
                EXPECT_TRUE(same(got.points[p].values[f], expected.points[p].values[f]))
                    << factor << " " << got.points[p].name << " " << got.points[p].values[f] << " "
                    << expected.points[p].values[f];
    }
}

// Records of a result file without their CR LF.
std::vector<std::string> Records(const std::string& path) { return Lines(ReadFile(path)); }

TEST(MurOptions, PlanesCoordinateFilesAndPrintedDataTakeEffect) {
    WorkFolder folder;
    MurCase c = SmallCase();
    c.options = "1 1";
    c.graphs = "5 1 65 0";  // 5 planes asked of 3 factors: 2 are drawn; nothing is clipped
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 14);
    ASSERT_EQ(tmp.points.size(), 14u);
    const std::string listing = ReadFile(folder.File("mur.prn"));

    // The data as read, active rows and columns first (A B C D S; R5 last), kind 1 (F12.2).
    const size_t data = listing.find("\f          QUADRO DOS DADOS BRUTOS (EVENTUALMENTE REORDENADOS)\r\n");
    ASSERT_NE(data, std::string::npos);
    std::string heading = "\r\n\r\n\r\n" + std::string(10, ' ');  // a blank and 9 leading blanks
    for (const char* name : {"A", "B", "C", "D", "S"})
        heading += "    " + (name + std::string(3, ' ')) + "    ";  // 4 blanks, the name in 4, 4 blanks
    EXPECT_TRUE(Contains(listing.substr(data), heading + "\r\n"));
    char row[128];
    std::snprintf(row, sizeof row, " R5    %12.2f%12.2f%12.2f%12.2f%12.2f\r\n", 5.0, 5.0, 4.0, 8.0, 11.0);
    EXPECT_TRUE(Contains(listing.substr(data), row));
    EXPECT_LT(data, listing.find("EDICAO DOS VALORES PROPRIOS"));

    // Two planes of the 14 points, after the coordinates.
    EXPECT_TRUE(Contains(listing, "PLANO DE PROJECCAO DOS    14 PONTOS SOBRE OS EIXOS 1  E  2"));
    EXPECT_TRUE(Contains(listing, "PLANO DE PROJECCAO DOS    14 PONTOS SOBRE OS EIXOS 2  E  3"));
    EXPECT_FALSE(Contains(listing, "SOBRE OS EIXOS 3  E  4"));
    EXPECT_FALSE(Contains(listing, "ATENCAO"));

    // vpc: the four eigenvalues of the correlation matrix; lic and coc: the coordinates of
    // mur.tmp in its order, a name of 4 columns and F7.3 values.
    const std::vector<std::string> vpc = Records(folder.File("exemplo.vpc"));
    ASSERT_EQ(vpc.size(), 1u);
    ASSERT_EQ(vpc[0].size(), 40u);
    const Reference ref = Compute(c, 4);
    double sum = 0;
    for (size_t k = 0; k < 4; ++k) {
        const double value = std::atof(vpc[0].substr(k * 10, 10).c_str());
        EXPECT_NEAR(value, ref.lambda[k], 5e-7);
        sum += value;
    }
    EXPECT_NEAR(sum, 4.0, 2.5e-6);  // the trace of a correlation matrix
    auto expectFile = [&](const char* name, size_t first, size_t count) {
        const std::vector<std::string> lines = Records(folder.File(name));
        ASSERT_EQ(lines.size(), count) << name;
        for (size_t k = 0; k < count; ++k) {
            const Point& point = tmp.points[first + k];
            EXPECT_EQ(lines[k], CoordinateRecord(point.name, point.values)) << name;
        }
    };
    expectFile("exemplo.coc", 0, 5);
    expectFile("exemplo.lic", 5, 9);

    // Every option off: nothing of the above.
    WorkFolder off;
    c.options = "0 0";
    c.graphs = "0 1 65 2.5";
    c.Write(off);
    ASSERT_EQ(MurMain(off.Path()), kMurOk);
    const std::string plain = ReadFile(off.File("mur.prn"));
    EXPECT_FALSE(Contains(plain, "QUADRO DOS DADOS"));
    EXPECT_FALSE(Contains(plain, "PLANO DE PROJECCAO"));
    for (const char* name : {"exemplo.vpc", "exemplo.lic", "exemplo.coc"})
        EXPECT_FALSE(off.Exists(name)) << name;
    EXPECT_EQ(ReadFile(off.File("mur.tmp")), ReadFile(folder.File("mur.tmp")));
}

// Links and fifos planted at the coordinate files' names beside the document: links are
// replaced (their targets kept), fifos refused without being opened, and the run goes on.
TEST(MurOptions, CoordinateFilesReplaceLinksAndRefuseFifos) {
    WorkFolder folder;
    SmallCase().Write(folder);
    engine_test::ExpectCoordinateNamesKept(folder.File("exemplo"), folder.File("mur.prn"), kMurOk,
                                           [&] { return MurMain(folder.Path()); });
}

TEST(MurAnalysis, ValuesInAnyUsualNotationReadTheSame) {
    // The same table with exponents, a leading '+', tabs, commas and a row across two lines.
    const MurCase c = SmallCase();
    WorkFolder plain, other;
    c.Write(plain);
    c.Write(other);
    std::string data;
    for (const std::string& name : c.rowNames)
        data += name + "\r\n";
    char text[64];
    for (size_t i = 0; i < c.rows.size(); ++i) {
        for (size_t j = 0; j < c.rows[i].size(); ++j) {
            std::snprintf(text, sizeof text, j % 2 ? "%e" : "+%.3E", c.rows[i][j]);
            data += (j == 0 ? "" : j == 2 ? "\t" : j == 3 ? ", " : " ") + std::string(text);
            if (i == 4 && j == 1)
                data += "\r\n";
        }
        data += "\r\n";
    }
    WriteFile(other.File("Dados.dat"), data);
    ASSERT_EQ(MurMain(plain.Path()), kMurOk);
    ASSERT_EQ(MurMain(other.Path()), kMurOk) << ReadFile(other.File("mur.prn"));
    EXPECT_EQ(ReadFile(plain.File("mur.tmp")), ReadFile(other.File("mur.tmp")));
}

TEST(MurListing, BannerParametersAndEigenvalues) {
    WorkFolder folder;
    const MurCase c = SmallCase();
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const std::vector<std::string> lines = Lines(ReadFile(folder.File("mur.prn")));
    ASSERT_GT(lines.size(), 40u);
    EXPECT_EQ(lines[0], "   ANÁLISE EM COMPONENTES PRINCIPAIS               Versão 7.00");
    EXPECT_EQ(lines[2].substr(0, 1 + folder.File("exemplo.tsm").size()), " " + folder.File("exemplo.tsm"));
    const std::string pad(8, ' ');
    EXPECT_EQ(lines[10], "           N. total de linhas =>   9" + pad + "        N. de linhas activas =>   8");
    EXPECT_EQ(lines[12], "  Linhas activas (1) ou suplementares (0)");
    EXPECT_EQ(lines[13], " 111101111");
    const Reference ref = Compute(c, 3);
    size_t head = 0;
    while (head < lines.size() && lines[head].rfind("\fEDICAO DOS VALORES PROPRIOS", 0) != 0)
        ++head;
    ASSERT_LT(head + 6, lines.size());
    EXPECT_EQ(lines[head], "\fEDICAO DOS VALORES PROPRIOS (SOMA = 4.000000 )");
    char expected[128];
    const double percent = ref.lambda[0] * 25;
    std::snprintf(expected, sizeof expected, "   1 %10.5f%7.2f%7.2f ", ref.lambda[0], percent, percent);
    EXPECT_EQ(lines[head + 4], expected + std::string(static_cast<size_t>(percent + 0.5), '.'));
    const std::string listing = ReadFile(folder.File("mur.prn"));
    EXPECT_TRUE(Contains(listing, "Colunas suplementares\r\n S   "));
    EXPECT_TRUE(Contains(listing, "Linhas suplementares\r\n R5  "));
    // Point lines: name, squared distance, 6 coordinates, 6 absolute and 6 relative
    // contributions. Column A on factor 1: 100 v^2 and r^2; the supplementary row takes no part.
    const auto pointLine = [&](const std::string& start) {
        for (const std::string& line : lines)
            if (line.rfind(start, 0) == 0)
                return line;
        return std::string();
    };
    const std::string a = pointLine(" A      1.00 *");
    ASSERT_EQ(a.size(), 1u + 4 + 1 + 6 + 2 + 36 + 2 + 30 + 2 + 30 + 2);
    const double r = ref.activeCols[0][0];
    char field[32];
    std::snprintf(field, sizeof field, "%5.1f", 100 * r * r / ref.lambda[0]);
    EXPECT_EQ(a.substr(52, 5), field);
    std::snprintf(field, sizeof field, "%5.2f", r * r);
    EXPECT_EQ(a.substr(84, 5), field);
    EXPECT_EQ(pointLine(" R5 ").substr(50, 32), " *  0.0  0.0  0.0  0.0  0.0  0.0");
}

// Whether a listing holds a field that reads as an infinity or as not a number.
bool HoldsNonFinite(const std::string& listing) {
    std::string token;
    for (size_t k = 0; k <= listing.size(); ++k) {
        const char c = k < listing.size() ? listing[k] : ' ';
        if (c == ' ' || c == '*' || c == '\r' || c == '\n' || c == '\f') {
            std::string word;
            for (char t : token)
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(t)));
            if (!word.empty() && (word[0] == '-' || word[0] == '+'))
                word.erase(0, 1);
            if (word == "inf" || word == "infinity" || word == "nan")
                return true;
            token.clear();
        } else {
            token += c;
        }
    }
    return false;
}

TEST(MurListing, AHugeSupplementaryValueKeepsEveryFigureANumber) {
    // R5 (supplementary) holds 1e160 in column A: its squared distance passes the largest
    // double, its coordinates (about 1e159) do not. The distance's field and the
    // coordinates' fields are too narrow for them (asterisks); its relative contributions are
    // those of column A's direction, v(A, a)^2 = G(A, a)^2 / lambda(a), from the result file.
    WorkFolder folder;
    MurCase c = SmallCase();
    c.format = "%.17g";
    c.rows[4][0] = 1e160;
    c.Write(folder);
    ASSERT_EQ(MurMain(folder.Path()), kMurOk);
    const std::string listing = ReadFile(folder.File("mur.prn"));
    EXPECT_FALSE(HoldsNonFinite(listing));
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 14);
    ASSERT_EQ(tmp.points.size(), 14u);
    ASSERT_EQ(tmp.points[13].name, "R5");
    EXPECT_GT(std::fabs(tmp.points[13].values[0]), 1e150);
    const size_t at = listing.find("\r\n R5   ");
    ASSERT_NE(at, std::string::npos);
    const std::string line = listing.substr(at + 2, listing.find("\r\n", at + 2) - at - 2);
    // A blank, the name in 4, a blank, d2 F6.2, " *", 6 coordinates F6.2, " *", 6 absolute
    // contributions F5.1, " *", 6 relative ones F5.2, " *".
    ASSERT_EQ(line.size(), 116u) << line;
    EXPECT_EQ(line.substr(6, 6), "******");
    EXPECT_EQ(line.substr(14, 18), std::string(18, '*'));
    EXPECT_EQ(line.substr(52, 30), "  0.0  0.0  0.0  0.0  0.0  0.0");
    for (size_t a = 0; a < 3; ++a) {
        const double g = tmp.points[0].values[a];
        EXPECT_NEAR(std::atof(line.substr(84 + 5 * a, 5).c_str()), g * g / tmp.eigen[a][0], 0.0051) << a;
    }
    EXPECT_EQ(line.substr(99, 17), " 0.00 0.00 0.00 *");

    // Where column A's active values spread over 0.008 only, 1e308 lies beyond the largest
    // double in standard deviations: refused, naming the row and the column.
    for (size_t i = 0; i < c.rows.size(); ++i)
        c.rows[i][0] = 1.0 + 0.001 * static_cast<double>(i);
    c.rows[4][0] = 1e308;
    c.Write(folder);
    EXPECT_EQ(MurMain(folder.Path()), kMurNumericError);
    const std::string refusal = ReadFile(folder.File("mur.prn"));
    EXPECT_TRUE(Contains(refusal, " O valor da linha R5 na coluna A é grande demais para o cálculo")) << refusal;
    EXPECT_FALSE(HoldsNonFinite(refusal));
    EXPECT_FALSE(folder.Exists("mur.tmp"));
}

TEST(MurRefusals, BadInputGivesAMessageAStatusAndNoResults) {
    struct Refusal {
        const char* what;
        MurCase c;
        std::string dataOverride;  // replaces Dados.dat when not empty
        int status;
        const char* message;
    };
    std::vector<Refusal> refusals;
    MurCase constant = SmallCase();
    for (auto& row : constant.rows)
        row[1] = 3.0;
    refusals.push_back({"constant active column", constant, "", kMurRefused,
                        "A coluna activa B tem variância nula nas linhas activas"});
    MurCase oneRow = SmallCase();
    oneRow.rowFlags = "100000000";
    refusals.push_back({"one active row", oneRow, "", kMurRefused,
                        "São precisas pelo menos 2 linhas activas e 2 colunas activas"});
    MurCase noFactor = SmallCase();
    noFactor.nf = 0;
    refusals.push_back({"no factor", noFactor, "", kMurRefused, "tem de ser pelo menos 1"});
    noFactor.nf = std::numeric_limits<int>::min();
    refusals.push_back({"the smallest factor count", noFactor, "", kMurRefused, "tem de ser pelo menos 1"});
    MurCase tooMany = SmallCase();
    tooMany.nf = 5;
    refusals.push_back({"more factors than active columns", tooMany, "", kMurRefused,
                        "O Nº de factores (5) não pode passar o Nº de colunas activas (4)"});
    MurCase text = SmallCase();
    refusals.push_back({"text value", text, "R1\r\nR2\r\nR3\r\nR4\r\nR5\r\nR6\r\nR7\r\nR8\r\nR9\r\n" + std::string("1 2 3 4 5\r\n1 2 x3 4 5\r\n"),
                        kMurDataError, "valor real inválido \"x3\""});
    MurCase shortFile = SmallCase();
    refusals.push_back({"short data", shortFile, "R1\r\nR2\r\nR3\r\nR4\r\nR5\r\nR6\r\nR7\r\nR8\r\nR9\r\n1 2 3 4 5\r\n6 7 8 9 10\r\n",
                        kMurDataError, "(apenas foram lidas    2)"});
    refusals.push_back({"more columns than announced", SmallCase(),
                        "R1\r\nR2\r\nR3\r\nR4\r\nR5\r\nR6\r\nR7\r\nR8\r\nR9\r\n1 2 3 4 5 6\r\n", kMurDataError,
                        "Linha      10 do ficheiro de dados: a linha tem mais de     5 valores"});
    MurCase fewer = SmallCase();
    fewer.rowNames.pop_back();
    fewer.rowFlags.pop_back();
    std::string extra;  // eight names, nine rows of values
    for (const std::string& name : fewer.rowNames)
        extra += name + "\r\n";
    for (int k = 0; k < 9; ++k)
        extra += std::to_string(k) + " 2 " + std::to_string(k * k) + " 4 5\r\n";
    refusals.push_back({"more rows than announced", fewer, extra, kMurDataError,
                        "o ficheiro tem mais linhas do que as       8 indicadas"});
    for (const Refusal& refusal : refusals) {
        WorkFolder folder;
        refusal.c.Write(folder);
        if (!refusal.dataOverride.empty())
            WriteFile(folder.File("Dados.dat"), refusal.dataOverride);
        WriteFile(folder.File("mur.tmp"), "results of an earlier run\n");
        EXPECT_EQ(MurMain(folder.Path()), refusal.status) << refusal.what;
        EXPECT_FALSE(folder.Exists("mur.tmp")) << refusal.what;
        const std::string listing = ReadFile(folder.File("mur.prn"));
        EXPECT_TRUE(Contains(listing, refusal.message)) << refusal.what << "\n" << listing;
        EXPECT_TRUE(Contains(listing, "ATENÇÃO")) << refusal.what;
    }
    // flags: nine rows marked active against eight announced.
    WorkFolder folder;
    SmallCase().Write(folder);
    std::string par = ReadFile(folder.File("mur.par"));
    par.replace(par.find("111101111"), 9, "111111111");
    WriteFile(folder.File("mur.par"), par);
    EXPECT_EQ(MurMain(folder.Path()), kMurRefused);
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")),
                         "O Nº de linhas marcadas activas (    9) difere do Nº de linhas activas (    8)"));
}

TEST(MurRefusals, MissingFiles) {
    WorkFolder folder;
    EXPECT_EQ(MurMain(folder.Path()), kMurParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")), "ERRO NO FICHEIRO mur.par"));
    SmallCase().Write(folder);
    std::filesystem::remove(folder.File("Dados.dat"));
    EXPECT_EQ(MurMain(folder.Path()), kMurDataError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")), "Não foi possível abrir o ficheiro de dados"));
    // A parameter file cut after the data path.
    SmallCase().Write(folder);
    const std::string par = ReadFile(folder.File("mur.par"));
    WriteFile(folder.File("mur.par"), par.substr(0, par.find("\r\n") + 2));
    EXPECT_EQ(MurMain(folder.Path()), kMurParameterError);
    EXPECT_FALSE(folder.Exists("mur.tmp"));
}

TEST(MurProgram, RunsInItsWorkingFolderWithLfLines) {
    WorkFolder folder;
    const MurCase c = SmallCase();
    c.Write(folder);
    // The same files with LF line ends.
    for (const char* name : {"mur.par", "Dados.dat"}) {
        std::string text = ReadFile(folder.File(name)), lf;
        for (char ch : text)
            if (ch != '\r')
                lf += ch;
        WriteFile(folder.File(name), lf);
    }
    EXPECT_EQ(RunProgram(MUR_PROGRAM, folder.Path()), kMurOk);
    const MurTmp tmp = ReadMurTmp(folder.File("mur.tmp"), 3, 14);
    ASSERT_EQ(tmp.eigen.size(), 3u);
    EXPECT_NEAR(tmp.eigen[0][0], Compute(c, 3).lambda[0], 1e-10);
    const std::string listing = ReadFile(folder.File("mur.prn"));
    EXPECT_EQ(listing.substr(listing.size() - 3), "\f\r\n");
    std::filesystem::remove(folder.File("Dados.dat"));
    EXPECT_EQ(RunProgram(MUR_PROGRAM, folder.Path()), kMurDataError);
}

// Runs the built program in folder after a shell command that limits it (kMemoryLimit512: 512 MB
// of memory; "ulimit -f 2": files of at most 1 KB, SIGXFSZ ignored so that a write past it fails
// as on a full disk). The exit status, or -1.
int RunLimited(const std::string& folder, const std::string& limit) {
    const std::string command = "cd '" + folder + "' && " + limit + " && trap '' XFSZ && timeout 60 '" +
                                MUR_PROGRAM + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MurProgram, CountsTheFilesCannotHoldAreRefusedBeforeReservingMemory) {
    // 500 million rows announced over a data file of nine.
    WorkFolder folder;
    MurCase c = SmallCase();
    c.rowFlags = c.colFlags = "";
    c.Write(folder);
    std::string par = ReadFile(folder.File("mur.par"));
    par.replace(0, par.find("\r\n"), "500000000 500000000 5 5 3");
    WriteFile(folder.File("mur.par"), par);
    EXPECT_EQ(RunLimited(folder.Path(), kMemoryLimit512), kMurDataError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")), "(apenas foram lidas    0)"));
    // A hundred million factors of five columns: refused, naming the count.
    par.replace(0, par.find("\r\n"), "9 9 5 5 100000000");
    WriteFile(folder.File("mur.par"), par);
    EXPECT_EQ(RunLimited(folder.Path(), kMemoryLimit512), kMurRefused);
    EXPECT_TRUE(Contains(ReadFile(folder.File("mur.prn")), "O Nº de factores (100000000) não pode passar"));
    EXPECT_FALSE(folder.Exists("mur.tmp"));
}

TEST(MurRun, AListingThatCannotBeWrittenFailsTheRun) {
    // mur.prn on a full device: every write of it fails once its buffer is flushed.
    WorkFolder folder;
    SmallCase().Write(folder);
    std::filesystem::create_symlink("/dev/full", folder.File("mur.prn"));
    EXPECT_EQ(MurMain(folder.Path()), kMurOutputError);
    EXPECT_FALSE(folder.Exists("mur.tmp"));
}

}  // namespace
