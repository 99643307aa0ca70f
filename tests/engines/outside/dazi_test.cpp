// dazi: multiple correspondence analysis checked against an independent computation, the
// reading of dazi.par, refusals, and the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engines/outside/dazi/dazi.h"
#include "tests/engines/outside/dazi_test_support.h"
#include "tests/engines/planted_names.h"
#include "tests/support/memory_limit.h"

namespace {

using namespace outside_test;

// Twelve people: age (cut into 3 classes of equal frequency), sex, colour (its third
// modality inactive) and zone coded 10, 20, 30.
DaziCase PeopleCase() {
    DaziCase c;
    DaziColumn age{"Idade", true, 2, {}, {1, 2, 3}, {"Ida1", "Ida2", "Ida3"}, {}};
    DaziColumn sex{"Sexo", false, 0, {}, {1, 2}, {"M", "F"}, {}};
    DaziColumn colour{"Cor", false, 0, {}, {1, 2, 3}, {"Azul", "Verd", "Verm"}, {1, 1, 0}};
    DaziColumn zone{"Zona", false, 0, {}, {10, 20, 30}, {"Nort", "Sul", "Cent"}, {}};
    c.columns = {age, sex, colour, zone};
    c.rowNames = {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10", "P11", "P12"};
    c.rows = {{23, 1, 1, 10}, {35, 2, 2, 20}, {41, 1, 3, 30}, {35, 2, 1, 10}, {52, 1, 2, 20}, {35, 2, 3, 10},
              {60, 1, 1, 30}, {18, 2, 2, 20}, {44, 1, 1, 10}, {35, 2, 3, 30}, {27, 1, 2, 20}, {50, 2, 1, 10}};
    c.projected = true;
    c.nf = 3;
    return c;
}

// Modality of each person (0-based, global order Ida1 Ida2 Ida3 M F Azul Verd Verm Nort Sul
// Cent), worked out by hand: the sorted ages put the 4th value, 35, at the first cut and all
// four 35s in the first class; the 8th value, 41, is the second cut.
const std::vector<std::vector<int>> kPeopleModalities = {
    {0, 3, 5, 8}, {0, 4, 6, 9}, {1, 3, 7, 10}, {0, 4, 5, 8}, {2, 3, 6, 9}, {0, 4, 7, 8},
    {2, 3, 5, 10}, {0, 4, 6, 9}, {2, 3, 5, 8}, {0, 4, 7, 10}, {0, 3, 6, 9}, {2, 4, 5, 8}};

struct CaReference {
    double inertia = 0;
    std::vector<double> lambda;
    std::vector<DaziPoint> modalities;  // active ones, then inactive ones
    std::vector<DaziPoint> rows;
};

// Correspondence analysis of the indicator table of the active modalities, by the
// eigen-decomposition of S'S, S = D_r^-1/2 (P - r c') D_c^-1/2; inactive modalities by the
// transition formula from the row coordinates.
CaReference IndicatorAnalysis(const std::vector<std::vector<int>>& modalities, const std::vector<int>& active,
                              const std::vector<std::string>& modNames, const std::vector<std::string>& rowNames,
                              int nf) {
    const size_t n = modalities.size(), J = active.size();
    std::vector<size_t> cols, others;
    for (size_t j = 0; j < J; ++j)
        (active[j] ? cols : others).push_back(j);
    const size_t p = cols.size();
    std::vector<std::vector<double>> x(n, std::vector<double>(J, 0.0));
    for (size_t i = 0; i < n; ++i)
        for (int j : modalities[i])
            x[i][static_cast<size_t>(j)] = 1.0;
    double total = 0;
    std::vector<double> rowSum(n, 0.0), colSum(J, 0.0);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < J; ++j) {
            colSum[j] += x[i][j];
            if (active[j]) {
                rowSum[i] += x[i][j];
                total += x[i][j];
            }
        }
    std::vector<double> r(n), c(J);
    for (size_t i = 0; i < n; ++i)
        r[i] = rowSum[i] / total;
    for (size_t j = 0; j < J; ++j)
        c[j] = colSum[j] / total;
    std::vector<std::vector<double>> s(n, std::vector<double>(p));
    for (size_t i = 0; i < n; ++i)
        for (size_t a = 0; a < p; ++a)
            s[i][a] = (x[i][cols[a]] / total - r[i] * c[cols[a]]) / std::sqrt(r[i] * c[cols[a]]);
    std::vector<double> sts(p * p, 0.0);
    for (size_t a = 0; a < p; ++a)
        for (size_t b = 0; b < p; ++b)
            for (size_t i = 0; i < n; ++i)
                sts[a * p + b] += s[i][a] * s[i][b];
    CaReference ref;
    for (size_t a = 0; a < p; ++a)
        ref.inertia += sts[a * p + a];
    const Eigen eigen = PowerEigen(sts, static_cast<int>(p), nf);
    ref.lambda = eigen.values;
    for (size_t i = 0; i < n; ++i) {
        DaziPoint point{rowNames[i], r[i], 0, {}};
        for (size_t a = 0; a < p; ++a)
            point.d2 += std::pow(x[i][cols[a]] / rowSum[i] - c[cols[a]], 2) / c[cols[a]];
        for (int f = 0; f < nf; ++f) {
            double sv = 0;
            for (size_t a = 0; a < p; ++a)
                sv += s[i][a] * eigen.vectors[static_cast<size_t>(f)][a];
            point.coords.push_back(sv / std::sqrt(r[i]));
        }
        ref.rows.push_back(point);
    }
    auto columnD2 = [&](size_t j) {
        double d2 = 0;
        for (size_t i = 0; i < n; ++i)
            d2 += std::pow(x[i][j] / colSum[j] - r[i], 2) / r[i];
        return d2;
    };
    for (size_t a = 0; a < p; ++a) {
        DaziPoint point{modNames[cols[a]], c[cols[a]], columnD2(cols[a]), {}};
        for (int f = 0; f < nf; ++f)
            point.coords.push_back(std::sqrt(eigen.values[static_cast<size_t>(f)]) *
                                   eigen.vectors[static_cast<size_t>(f)][a] / std::sqrt(c[cols[a]]));
        ref.modalities.push_back(point);
    }
    for (size_t j : others) {
        DaziPoint point{modNames[j], c[j], columnD2(j), {}};
        for (int f = 0; f < nf; ++f) {
            double g = 0;
            for (size_t i = 0; i < n; ++i)
                g += x[i][j] / colSum[j] * ref.rows[i].coords[static_cast<size_t>(f)];
            point.coords.push_back(g / std::sqrt(eigen.values[static_cast<size_t>(f)]));
        }
        ref.modalities.push_back(point);
    }
    return ref;
}

void ExpectPointsMatch(const std::vector<DaziPoint>& got, size_t first, const std::vector<DaziPoint>& expected,
                       const std::vector<double>& signs, double tolerance) {
    ASSERT_GE(got.size(), first + expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        const DaziPoint& g = got[first + k];
        EXPECT_EQ(g.name, expected[k].name);
        EXPECT_NEAR(g.mass, expected[k].mass, tolerance) << g.name;
        EXPECT_NEAR(g.d2, expected[k].d2, tolerance) << g.name;
        for (size_t f = 0; f < expected[k].coords.size(); ++f)
            EXPECT_NEAR(g.coords[f] * signs[f], expected[k].coords[f], tolerance) << g.name << " factor " << f + 1;
    }
}

TEST(DaziAnalysis, MatchesAnIndependentIndicatorAnalysis) {
    WorkFolder folder;
    const DaziCase c = PeopleCase();
    c.Write(folder);
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 3, 11 + 12);
    ASSERT_EQ(tmp.points.size(), 23u);
    const std::vector<std::string> names = {"Ida1", "Ida2", "Ida3", "M", "F", "Azul", "Verd", "Verm", "Nort", "Sul", "Cent"};
    const CaReference ref = IndicatorAnalysis(kPeopleModalities, {1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}, names, c.rowNames, 3);
    EXPECT_NEAR(tmp.inertia, ref.inertia, 1e-10);
    double cumulative = 0;
    for (size_t f = 0; f < 3; ++f) {
        EXPECT_NEAR(tmp.eigen[f][0], ref.lambda[f], 1e-9);
        cumulative += 100 * ref.lambda[f] / ref.inertia;
        EXPECT_NEAR(tmp.eigen[f][1], 100 * ref.lambda[f] / ref.inertia, 1e-7);
        EXPECT_NEAR(tmp.eigen[f][2], cumulative, 1e-7);
    }
    std::vector<double> signs;
    for (size_t f = 0; f < 3; ++f) {
        std::vector<double> got, expected;
        for (size_t k = 0; k < 10; ++k) {
            got.push_back(tmp.points[k].coords[f]);
            expected.push_back(ref.modalities[k].coords[f]);
        }
        signs.push_back(Alignment(got, expected));
    }
    ExpectPointsMatch(tmp.points, 0, ref.modalities, signs, 1e-8);
    ExpectPointsMatch(tmp.points, 11, ref.rows, signs, 1e-8);
}

TEST(DaziAnalysis, CompleteDisjunctiveTableHasTheTextbookInertiaAndNoRowsUnlessProjected) {
    // With every modality active each row has one modality per column: the total inertia
    // is J / m - 1, here 11 / 4 - 1.
    WorkFolder folder;
    DaziCase c = PeopleCase();
    c.columns[2].active.clear();
    c.projected = false;
    c.nf = 2;
    c.Write(folder);
    EXPECT_EQ(c.Par(folder.File("Dados.dat")).find("11110"), std::string::npos);  // no flag lines
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 2, 11);
    ASSERT_EQ(tmp.points.size(), 11u);
    EXPECT_NEAR(tmp.inertia, 11.0 / 4 - 1, 1e-12);
    const std::vector<std::string> names = {"Ida1", "Ida2", "Ida3", "M", "F", "Azul", "Verd", "Verm", "Nort", "Sul", "Cent"};
    const CaReference ref = IndicatorAnalysis(kPeopleModalities, std::vector<int>(11, 1), names, c.rowNames, 2);
    std::vector<double> signs;
    for (size_t f = 0; f < 2; ++f) {
        EXPECT_NEAR(tmp.eigen[f][0], ref.lambda[f], 1e-9);
        std::vector<double> got, expected;
        for (size_t k = 0; k < 11; ++k) {
            got.push_back(tmp.points[k].coords[f]);
            expected.push_back(ref.modalities[k].coords[f]);
        }
        signs.push_back(Alignment(got, expected));
    }
    ExpectPointsMatch(tmp.points, 0, ref.modalities, signs, 1e-8);
    // The modality masses of each column add up to 1 / m.
    EXPECT_NEAR(tmp.points[3].mass + tmp.points[4].mass, 0.25, 1e-12);
}

TEST(DaziAnalysis, AModalityThatNoIndividualTakesKeepsItsLineWithZeros) {
    WorkFolder folder;
    DaziCase c = PeopleCase();
    c.columns[3].codes.push_back(40);  // a fourth zone that nobody lives in
    c.columns[3].modalities.push_back("Ilha");
    c.projected = false;
    c.Write(folder);
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 3, 12);
    ASSERT_EQ(tmp.points.size(), 12u);
    EXPECT_EQ(tmp.points[10].name, "Ilha");  // the last active modality, before the inactive one
    EXPECT_EQ(tmp.points[10].mass, 0.0);
    EXPECT_EQ(tmp.points[10].d2, 0.0);
    EXPECT_EQ(tmp.points[10].coords, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(tmp.points[11].name, "Verm");
    // The analysis is that of the table without the empty modality.
    const std::vector<std::string> names = {"Ida1", "Ida2", "Ida3", "M", "F", "Azul", "Verd", "Verm", "Nort", "Sul", "Cent"};
    const CaReference ref = IndicatorAnalysis(kPeopleModalities, {1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}, names, c.rowNames, 3);
    for (size_t f = 0; f < 3; ++f)
        EXPECT_NEAR(tmp.eigen[f][0], ref.lambda[f], 1e-9);
}

TEST(DaziAnalysis, AnIndividualWithNoActiveModalityStaysAtTheOrigin) {
    // P1 takes Ida1, M, Azul and Nort, all made inactive: its profile is empty, it weighs
    // (almost) nothing and the analysis is that of the other eleven.
    WorkFolder folder;
    DaziCase c = PeopleCase();
    c.columns[0].active = {0, 1, 1};
    c.columns[1].active = {0, 1};
    c.columns[2].active = {0, 1, 1};
    c.columns[3].active = {0, 1, 1};
    c.nf = 2;
    c.Write(folder);
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 2, 11 + 12);
    ASSERT_EQ(tmp.points.size(), 23u);
    const DaziPoint& p1 = tmp.points[11];
    EXPECT_EQ(p1.name, "P1");
    EXPECT_LT(p1.mass, 1e-6);
    EXPECT_EQ(p1.coords, (std::vector<double>{0, 0}));
    std::vector<std::vector<int>> others(kPeopleModalities.begin() + 1, kPeopleModalities.end());
    const std::vector<std::string> names = {"Ida1", "Ida2", "Ida3", "M", "F", "Azul", "Verd", "Verm", "Nort", "Sul", "Cent"};
    const std::vector<std::string> rows(c.rowNames.begin() + 1, c.rowNames.end());
    const CaReference ref = IndicatorAnalysis(others, {0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 1}, names, rows, 2);
    EXPECT_NEAR(tmp.inertia, ref.inertia, 1e-6);
    for (size_t f = 0; f < 2; ++f)
        EXPECT_NEAR(tmp.eigen[f][0], ref.lambda[f], 1e-6);
}

// A result table in the layout of the data file: names, then one row of integers per name.
struct Table {
    std::vector<std::string> names;
    std::vector<std::vector<long long>> rows;
};
Table ReadTable(const std::string& path, size_t count) {
    Table table;
    const std::vector<std::string> lines = Lines(ReadFile(path));
    EXPECT_EQ(lines.size(), 2 * count) << path;
    if (lines.size() != 2 * count)
        return table;
    table.names.assign(lines.begin(), lines.begin() + static_cast<long>(count));
    for (size_t k = count; k < lines.size(); ++k) {
        std::vector<long long> row;
        for (const std::string& token : Tokens(lines[k]))
            row.push_back(std::stoll(token));
        table.rows.push_back(row);
    }
    return table;
}

TEST(DaziOptions, TablesCoordinateFilesAndPlanesTakeEffect) {
    WorkFolder folder;
    DaziCase c = PeopleCase();
    c.rowNames[11] = "P\r12";  // a control character in a name becomes '_'
    c.graphs = 5;               // 5 planes of 3 factors: 2 are drawn
    c.Write(folder);
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 3, 11 + 12);
    ASSERT_EQ(tmp.points.size(), 23u);
    EXPECT_EQ(tmp.points[22].name, "P_12");
    const std::vector<int> codes = {1, 2, 3, 1, 2, 1, 2, 3, 10, 20, 30};
    const std::vector<std::string> names = {"Ida1", "Ida2", "Ida3", "M", "F", "Azul", "Verd", "Verm", "Nort", "Sul", "Cent"};
    std::vector<std::string> rowNames = c.rowNames;
    rowNames[11] = "P_12";

    // The recoded table: the modality code of each person in each column.
    const Table recoded = ReadTable(folder.File("recod.dat"), 12);
    EXPECT_EQ(recoded.names, rowNames);
    // The complete disjunctive table from the same modalities, and Burt = Z'Z.
    const Table disjunctive = ReadTable(folder.File("disjunt.dat"), 12);
    EXPECT_EQ(disjunctive.names, rowNames);
    std::vector<std::vector<long long>> z(12, std::vector<long long>(11, 0));
    for (size_t i = 0; i < 12 && i < recoded.rows.size() && i < disjunctive.rows.size(); ++i) {
        std::vector<long long> expected;
        for (int j : kPeopleModalities[i]) {
            expected.push_back(codes[static_cast<size_t>(j)]);
            z[i][static_cast<size_t>(j)] = 1;
        }
        EXPECT_EQ(recoded.rows[i], expected) << i;
        EXPECT_EQ(disjunctive.rows[i], z[i]) << i;
    }
    const Table burt = ReadTable(folder.File("burt.dat"), 11);
    EXPECT_EQ(burt.names, names);
    for (size_t a = 0; a < 11 && a < burt.rows.size(); ++a)
        for (size_t b = 0; b < 11; ++b) {
            long long sum = 0;
            for (size_t i = 0; i < 12; ++i)
                sum += z[i][a] * z[i][b];
            EXPECT_EQ(burt.rows[a].at(b), sum) << a << " " << b;
        }
    const std::string listing = ReadFile(folder.File("dazi.prn"));
    for (const char* name : {"recod.dat", "disjunt.dat", "burt.dat"})
        EXPECT_TRUE(Contains(listing, std::string(name) + "\r\n")) << name;

    // Coordinate files beside the document: vpc the 9 eigenvalues of the analysed matrix
    // (10 active modalities, the trivial axis left out), adding up to the total inertia;
    // coc the modalities and lic the individuals of dazi.tmp.
    const std::vector<std::string> vpc = Lines(ReadFile(folder.File("C:\\dados\\exemplo.vpc")));
    ASSERT_EQ(vpc.size(), 2u);
    EXPECT_EQ(vpc[0].size(), 80u);
    EXPECT_EQ(vpc[1].size(), 10u);
    const CaReference ref = IndicatorAnalysis(kPeopleModalities, {1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}, names, rowNames, 3);
    double sum = 0;
    for (size_t k = 0; k < 9; ++k) {
        const double value = std::atof(vpc[k / 8].substr(k % 8 * 10, 10).c_str());
        if (k < 3) {
            EXPECT_NEAR(value, ref.lambda[k], 5e-7);
        }
        sum += value;
    }
    EXPECT_NEAR(sum, ref.inertia, 5e-6);
    auto expectFile = [&](const char* name, size_t first, size_t count) {
        const std::vector<std::string> lines = Lines(ReadFile(folder.File(name)));
        ASSERT_EQ(lines.size(), count) << name;
        for (size_t k = 0; k < count; ++k) {
            const DaziPoint& point = tmp.points[first + k];
            EXPECT_EQ(lines[k], CoordinateRecord(point.name, point.coords)) << name;
        }
    };
    expectFile("C:\\dados\\exemplo.coc", 0, 11);
    expectFile("C:\\dados\\exemplo.lic", 11, 12);

    // Planes of the 11 modalities and 12 individuals.
    EXPECT_TRUE(Contains(listing, "PLANO DE PROJECCAO DOS    23 PONTOS SOBRE OS EIXOS 1  E  2"));
    EXPECT_TRUE(Contains(listing, "PLANO DE PROJECCAO DOS    23 PONTOS SOBRE OS EIXOS 2  E  3"));
    EXPECT_FALSE(Contains(listing, "SOBRE OS EIXOS 3  E  4"));

    // Every option off: nothing of the above, the same results.
    WorkFolder off;
    c.files = false;
    c.graphs = 0;
    c.Write(off);
    ASSERT_EQ(DaziMain(off.Path()), kDaziOk);
    const std::string plain = ReadFile(off.File("dazi.prn"));
    EXPECT_FALSE(Contains(plain, "PLANO DE PROJECCAO"));
    EXPECT_FALSE(Contains(plain, ".dat"));
    for (const char* name : {"recod.dat", "disjunt.dat", "burt.dat", "C:\\dados\\exemplo.vpc", "C:\\dados\\exemplo.lic",
                             "C:\\dados\\exemplo.coc"})
        EXPECT_FALSE(off.Exists(name)) << name;
    EXPECT_EQ(ReadFile(off.File("dazi.tmp")), ReadFile(folder.File("dazi.tmp")));
}

// Links and fifos planted at the coordinate files' names beside the document: links are
// replaced (their targets kept), fifos refused without being opened, and the run goes on.
TEST(DaziOptions, CoordinateFilesReplaceLinksAndRefuseFifos) {
    WorkFolder folder;
    PeopleCase().Write(folder);
    engine_test::ExpectCoordinateNamesKept(folder.File("C:\\dados\\exemplo"), folder.File("dazi.prn"), kDaziOk,
                                           [&] { return DaziMain(folder.Path()); });
}

TEST(DaziParameters, EightyFiveModalityFlagsAndProjectedIndividualsAreReadByTheirCounts) {
    // 85 modalities (83 categories and 2), the 3rd and 80th inactive, 90 individuals: the flag
    // stream is a line of 80, a line of 5 modality flags and 75 row flags, a line of 15 row
    // flags; then the 85 modality flags again in lines of 80 and 5.
    DaziCase c;
    DaziColumn big{"Cat", false, 0, {}, {}, {}, {}};
    for (int k = 1; k <= 83; ++k) {
        big.codes.push_back(k);
        big.modalities.push_back("K" + std::to_string(k));
        big.active.push_back(k == 3 || k == 80 ? 0 : 1);
    }
    DaziColumn two{"Dois", false, 0, {}, {1, 2}, {"Sim", "Nao"}, {}};
    c.columns = {big, two};
    for (int i = 0; i < 90; ++i) {
        c.rowNames.push_back('I' + std::to_string(i + 1));
        c.rows.push_back({static_cast<double>(i % 83 + 1), static_cast<double>(i % 3 == 0 ? 1 : 2)});
    }
    c.projected = true;
    c.nf = 2;
    WorkFolder folder;
    c.Write(folder);
    const std::vector<std::string> par = Lines(ReadFile(folder.File("dazi.par")));
    const auto line11 = std::find(par.begin(), par.end(), "175 83 85 83 2");
    ASSERT_NE(line11, par.end());
    const std::string first80 = "11011" + std::string(74, '1') + "0";
    EXPECT_EQ(line11[1], first80);
    EXPECT_EQ(line11[2], "11111" + std::string(75, '0'));
    EXPECT_EQ(line11[3], std::string(15, '0'));
    EXPECT_EQ(line11[4], first80);
    EXPECT_EQ(line11[5], "11111");
    EXPECT_EQ(line11[6], "1 1 65 2.5");
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 2, 85 + 90);
    ASSERT_EQ(tmp.points.size(), 175u);
    EXPECT_EQ(tmp.points[82].name, "Nao");
    EXPECT_EQ(tmp.points[83].name, "K3");
    EXPECT_EQ(tmp.points[84].name, "K80");
    EXPECT_EQ(tmp.points[85].name, "I1");
    EXPECT_EQ(tmp.points[174].name, "I90");
}

TEST(DaziRecoding, ListingShowsEachRuleWithItsBoundsAndCounts) {
    WorkFolder folder;
    DaziCase c = PeopleCase();
    DaziColumn width{"Peso", true, 1, {}, {1, 2, 3}, {"Pes1", "Pes2", "Pes3"}, {}};
    DaziColumn given{"Alt", true, 3, {150, 160, 170, 180}, {5, 6, 7}, {"Bai", "Med", "Alt"}, {}};
    c.columns.insert(c.columns.begin() + 1, {width, given});
    const double weights[] = {40, 55, 70, 60, 45, 50, 52, 41, 66, 59, 70, 43};
    const double heights[] = {149, 150, 160, 165, 170, 171, 185, 190, 155, 175, 162, 140};
    for (size_t i = 0; i < c.rows.size(); ++i)
        c.rows[i].insert(c.rows[i].begin() + 1, {weights[i], heights[i]});
    c.Write(folder);
    ASSERT_EQ(DaziMain(folder.Path()), kDaziOk) << ReadFile(folder.File("dazi.prn"));
    const std::string listing = ReadFile(folder.File("recod.prn"));
    auto row = [](int k, const char* id, int code, const char* open, double low, double high, int count) {
        char text[160];
        std::snprintf(text, sizeof text, " %8d %-10s%8d   %s%17.6f %17.6f ]%16d\r\n", k, id, code, open, low, high, count);
        return std::string(text);
    };
    // Equal frequency: ages 18 23 27 35 35 35 35 41 44 50 52 60, cuts at ranks 4 and 8.
    EXPECT_TRUE(Contains(listing, " Variável Idade - regra 2 (igual frequência),   3 classes,     12 valores"));
    EXPECT_TRUE(Contains(listing, row(1, "Ida1", 1, "[", 18, 35, 7) + row(2, "Ida2", 2, "]", 35, 41, 1) +
                                      row(3, "Ida3", 3, "]", 41, 60, 4)))
        << listing;
    // Equal width between 40 and 70: cuts 50 and 60; 50 and 60 stay in the lower class.
    EXPECT_TRUE(Contains(listing, row(1, "Pes1", 1, "[", 40, 50, 5) + row(2, "Pes2", 2, "]", 50, 60, 4) +
                                      row(3, "Pes3", 3, "]", 60, 70, 3)))
        << listing;
    // Given limits 150 160 170 180: 149 and 140 below, 185 and 190 above.
    EXPECT_TRUE(Contains(listing, row(1, "Bai", 5, "[", 150, 160, 5) + row(2, "Med", 6, "]", 160, 170, 3) +
                                      row(3, "Alt", 7, "]", 170, 180, 4) +
                                      " Valores abaixo do primeiro limite (postos na primeira classe):       2\r\n" +
                                      " Valores acima do último limite (postos na última classe):            2\r\n"))
        << listing;
}

TEST(DaziRefusals, BadInputGivesAMessageAStatusAndNoResults) {
    struct Refusal {
        const char* what;
        std::function<void(DaziCase&)> changeCase;
        std::function<void(std::string&)> changePar;
        int status;
        const char* message;
    };
    const std::vector<Refusal> refusals = {
        {"value without modality", [](DaziCase& c) { c.rows[4][3] = 25; }, nullptr, kDaziRefused,
         "O valor 25.000000 da linha 5 (P5), coluna Zona,"},
        {"classes differ from modalities",
         nullptr, [](std::string& par) { par.replace(par.find("\r\n2\r\n3\r\n"), 8, "\r\n2\r\n4\r\n"); }, kDaziRefused,
         "A coluna Idade tem 4 classes e 3 modalidades"},
        {"second flag list differs",
         nullptr, [](std::string& par) { par.replace(par.rfind("11111110111"), 11, "11111111111"); }, kDaziRefused,
         "As duas listas de modalidades activas do ficheiro dazi.par diferem"},
        {"row count of the analysis", nullptr, [](std::string& par) { par.replace(par.find("23 10 11 10 3"), 13, "22 10 11 10 3"); },
         kDaziRefused, "O Nº de linhas da análise (22) tem de ser 11 ou, com projecção dos indivíduos, 23"},
        {"active count", nullptr, [](std::string& par) { par.replace(par.find("23 10 11 10 3"), 13, "23 9 11 9 3"); },
         kDaziRefused, "O Nº de modalidades marcadas activas (   10) difere do Nº de modalidades activas (    9)"},
        {"modality total", nullptr, [](std::string& par) { par.replace(par.find("11 3 \r\n"), 7, "12 3 \r\n"); },
         kDaziRefused, "O Nº total de modalidades (12) difere da soma das modalidades das colunas (11)"},
        {"no factor", [](DaziCase& c) { c.nf = 0; }, nullptr, kDaziRefused, "tem de ser pelo menos 1"},
        {"the smallest factor count", [](DaziCase& c) { c.nf = std::numeric_limits<int>::min(); }, nullptr,
         kDaziRefused, "tem de ser pelo menos 1"},
        {"row count of the analysis beside the largest individual count", nullptr,
         [](std::string& par) { par.replace(0, par.find("\r\n"), "2147483647 1 3"); }, kDaziRefused,
         "O Nº de linhas da análise (23) tem de ser 11 ou, com projecção dos indivíduos, 2147483658"},
        {"more factors than active modalities", [](DaziCase& c) { c.nf = 11; }, nullptr, kDaziRefused,
         "O Nº de factores (11) não pode passar o Nº de modalidades activas (10)"},
        {"column counts beyond an int", nullptr, [](std::string& par) { par.replace(0, par.find("\r\n"), "10 2147483647 1"); },
         kDaziRefused, "ATENÇÃO - PARÂMETROS INVÁLIDOS"},
        {"short data", [](DaziCase& c) { c.rows.pop_back(); }, nullptr, kDaziDataError, "(apenas foram lidas   11)"},
        {"cut parameter file", nullptr, [](std::string& par) { par.erase(par.find("1 1 65 2.5")); },
         kDaziParameterError, "ERRO NO FICHEIRO dazi.par"},
    };
    for (const Refusal& refusal : refusals) {
        WorkFolder folder;
        DaziCase c = PeopleCase();
        if (refusal.changeCase)
            refusal.changeCase(c);
        c.Write(folder);
        if (refusal.changePar) {
            std::string par = ReadFile(folder.File("dazi.par"));
            refusal.changePar(par);
            WriteFile(folder.File("dazi.par"), par);
        }
        WriteFile(folder.File("dazi.tmp"), "results of an earlier run\n");
        EXPECT_EQ(DaziMain(folder.Path()), refusal.status) << refusal.what;
        EXPECT_FALSE(folder.Exists("dazi.tmp")) << refusal.what;
        const std::string listing = ReadFile(folder.File("dazi.prn"));
        EXPECT_TRUE(Contains(listing, refusal.message)) << refusal.what << "\n" << listing;
        // The classes are listed once the values are read, whatever is refused afterwards.
        const bool recoded = std::string(refusal.what) == "value without modality";
        EXPECT_EQ(Contains(ReadFile(folder.File("recod.prn")), "regra 2 (igual frequência)"), recoded)
            << refusal.what;
    }
}

TEST(DaziRefusals, MissingFilesAndTooFewRows) {
    WorkFolder folder;
    EXPECT_EQ(DaziMain(folder.Path()), kDaziParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("dazi.prn")), "O ficheiro não existe ou não pode ser lido"));
    PeopleCase().Write(folder);
    std::filesystem::remove(folder.File("Dados.dat"));
    EXPECT_EQ(DaziMain(folder.Path()), kDaziDataError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("dazi.prn")), "Não foi possível abrir o ficheiro de dados"));
    EXPECT_TRUE(Contains(ReadFile(folder.File("recod.prn")), "a recodificação não foi feita"));
    DaziCase one = PeopleCase();
    one.rowNames.resize(1);
    one.rows.resize(1);
    one.Write(folder);
    EXPECT_EQ(DaziMain(folder.Path()), kDaziRefused);
    EXPECT_TRUE(Contains(ReadFile(folder.File("dazi.prn")), "(são precisas pelo menos 2)"));
    EXPECT_FALSE(folder.Exists("dazi.tmp"));
}

TEST(DaziProgram, RunsInItsWorkingFolder) {
    WorkFolder folder;
    const DaziCase c = PeopleCase();
    c.Write(folder);
    EXPECT_EQ(RunProgram(DAZI_PROGRAM, folder.Path()), kDaziOk);
    const DaziTmp tmp = ReadDaziTmp(folder.File("dazi.tmp"), 3, 23);
    EXPECT_EQ(tmp.points.size(), 23u);
    const std::string listing = ReadFile(folder.File("dazi.prn"));
    EXPECT_EQ(listing.rfind("   ANÁLISE DAS CORRESPONDÊNCIAS MÚLTIPLAS", 0), 0u);
    EXPECT_TRUE(Contains(listing, "Modalidades suplementares\r\n Verm "));
    EXPECT_EQ(listing.substr(listing.size() - 3), "\f\r\n");
    EXPECT_TRUE(Contains(ReadFile(folder.File("recod.prn")), " Variável Idade"));
    std::filesystem::remove(folder.File("dazi.par"));
    EXPECT_EQ(RunProgram(DAZI_PROGRAM, folder.Path()), kDaziParameterError);
}

// Runs the built program in folder under a shell limit (see the mur tests); the exit status.
int RunDaziLimited(const std::string& folder, const std::string& limit) {
    const std::string command = "cd '" + folder + "' && " + limit + " && trap '' XFSZ && timeout 60 '" +
                                DAZI_PROGRAM + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DaziProgram, CountsTheFilesCannotHoldAreRefusedBeforeReservingMemory) {
    // 500 million individuals announced over a data file of twelve, in 1 GB of address space.
    WorkFolder folder;
    DaziCase c = PeopleCase();
    c.projected = false;
    c.columns[2].active.clear();
    c.Write(folder);
    std::string par = ReadFile(folder.File("dazi.par"));
    par.replace(0, par.find("\r\n"), "500000000 1 3");
    WriteFile(folder.File("dazi.par"), par);
    EXPECT_EQ(RunDaziLimited(folder.Path(), kMemoryLimit512), kDaziDataError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("dazi.prn")), "(apenas foram lidas    0)"));
    // The largest individual count, a modality inactive: the marks of the modalities and of
    // the individuals would take 26843547 lines more than dazi.par holds.
    DaziCase inactive = PeopleCase();
    inactive.projected = false;
    inactive.Write(folder);
    par = ReadFile(folder.File("dazi.par"));
    par.replace(0, par.find("\r\n"), "2147483647 1 3");
    WriteFile(folder.File("dazi.par"), par);
    EXPECT_EQ(RunDaziLimited(folder.Path(), kMemoryLimit512), kDaziParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("dazi.prn")),
                         " O ficheiro não pode conter as marcas das 11 modalidades e dos 2147483647 indivíduos"));
}

TEST(DaziRun, ListingsThatCannotBeWrittenFailTheRun) {
    // dazi.prn, then recod.prn, on a full device.
    for (const char* listing : {"dazi.prn", "recod.prn"}) {
        WorkFolder folder;
        PeopleCase().Write(folder);
        std::filesystem::create_symlink("/dev/full", folder.File(listing));
        EXPECT_EQ(DaziMain(folder.Path()), kDaziOutputError) << listing;
        EXPECT_FALSE(folder.Exists("dazi.tmp")) << listing;
    }
}

}  // namespace
