#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engines/common/record_io.h"
#include "engines/fenola/aggregation.h"
#include "engines/fenola/fenola.h"
#include "engines/fenola/listing.h"
#include "tests/engines/fenola/engine_files.h"
#include "tests/support/memory_limit.h"

namespace {

using engine_test::Contains;
using engine_test::Find;
using engine_test::Pad;
using engine_test::TempFolder;

// Four samples on two variables: A (0 0), B (1 0), C (5 0), D (5 2). Euclidean (squared
// differences over ncol^2 = 4): d(B,A) = 0.25, d(C,A) = 6.25, d(C,B) = 4, d(D,A) = 7.25,
// d(D,B) = 5, d(D,C) = 1. Single link joins A-B at 0.25, C-D at 1, then the two at 4.
void WriteFourSamples(const TempFolder& folder, const std::string& codes, const std::string& flags) {
    folder.Write("Dados.dat", {"A", "B", "C", "D", "0 0", "1 0", "5 0", "5 2"});
    folder.Write("fenola.par", {"4 2", codes, (folder / "Dados.dat").string() + "   ", "Titulo", "X", "Y", flags});
}

// A dendrogram line: the 6-character lead, then 101 cells with '-' runs and '|' marks.
std::string Drawing(const std::string& lead, std::vector<std::pair<int, int>> dashes, std::vector<int> bars) {
    std::string cells(101, ' ');
    for (auto [from, to] : dashes)
        for (int c = from; c <= to; ++c) cells[c - 1] = '-';
    for (int c : bars) cells[c - 1] = '|';
    return lead + cells;
}

TEST(FenolaRun, SingleLinkListingAndHierarchyFile) {
    TempFolder folder;
    WriteFourSamples(folder, "1 4 1", "0 1 1");
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    const std::vector<std::string> lines = folder.Lines("fenola.prn");

    EXPECT_EQ(lines[0], Pad("   CLASSIFICAÇÃO ASCENDENTE HIERARQUICA", 51) + "Versão 7.00");
    EXPECT_EQ(lines[2], ' ' + Pad("Titulo", 128));
    const std::size_t params = Find(lines, " PARÂMETROS LIDOS");
    ASSERT_LT(params + 10, lines.size());
    const std::vector<std::string> echo(lines.begin() + static_cast<long>(params) + 2,
                                        lines.begin() + static_cast<long>(params) + 10);
    EXPECT_EQ(echo, (std::vector<std::string>{"     Nº de variáveis =   2", "      Nº de amostras =   4",
                                               "                nlin =   4", "                ncol =   2",
                                               "                modo =   1", "               idist =   4",
                                               "                iagr =   1", "             formato = Sem formato"}));

    // The distance table (second flag of the record).
    const std::size_t table = Find(lines, '\f' + std::string(15, ' ') + "QUADRO TRIANGULAR DO QUADRADO DAS DISTANCIAS (EUCLIDEANA)");
    ASSERT_LT(table + 10, lines.size());
    EXPECT_EQ(lines[table + 1], std::string(128, '-'));
    const std::string heading = "      " + std::string("  A     ") + "  B     " + "  C     ";
    EXPECT_EQ(lines[table + 5], heading);
    EXPECT_EQ(lines[table + 7], " B     0.2500");
    EXPECT_EQ(lines[table + 8], " C     6.2500  4.0000");
    EXPECT_EQ(lines[table + 9], " D     7.2500  5.0000  1.0000");
    EXPECT_EQ(lines[table + 10], heading);

    // The steps.
    EXPECT_TRUE(Contains(lines, '\f' + std::string(37, ' ') + "CLASSIFICACAO ASCENDENTE HIERARQUICA (MODO-Q)"));
    EXPECT_TRUE(Contains(lines, std::string(48, ' ') + "ALGORITMO DO SALTO MINIMO"));
    const std::size_t steps = Find(lines, std::string(39, ' ') + "NO I  DISTANCIA  I   ANTIGO   I    NOVO    I PESO");
    ASSERT_LT(steps + 5, lines.size());
    const std::string rule = std::string(37, ' ') + std::string(52, '-');
    EXPECT_EQ(lines[steps + 1], rule);
    EXPECT_EQ(lines[steps + 2], std::string(37, ' ') + "   5 I       0.250 I     1 A    I     2 B    I    2");
    EXPECT_EQ(lines[steps + 3], std::string(37, ' ') + "   6 I       1.000 I     3 C    I     4 D    I    2");
    EXPECT_EQ(lines[steps + 4], std::string(37, ' ') + "   7 I       4.000 I     5 A    I     6 C    I    4");
    EXPECT_EQ(lines[steps + 5], rule);

    // The classes (third flag).
    const std::size_t classes = Find(lines, "\f  NO     INDICE  ANTIGO  NOVO  PESO      DESCRICAO DAS CLASSES DA HIERARQUIA");
    ASSERT_LT(classes + 8, lines.size());
    EXPECT_EQ(lines[classes + 4], "    5      0.250       1     2     2     A    B   ");
    EXPECT_EQ(lines[classes + 6], "    6      1.000       3     4     2     C    D   ");
    EXPECT_EQ(lines[classes + 8], "    7      4.000       5     6     4     A    B    C    D   ");

    // The dendrogram: levels 0.25 to 4 give lo = 0, hi = 5, columns int(20 L + 1.5):
    // 6, 21 and 81; two lines per object.
    const std::size_t dendrogram = Find(lines, '\f' + std::string(50, ' ') + "DENDROGRAMA");
    ASSERT_LT(dendrogram + 14, lines.size());
    EXPECT_EQ(lines[dendrogram + 4], "     0.00      0.50      1.00      1.50      2.00      2.50      3.00      3.50"
                                     "      4.00      4.50      5.00");
    EXPECT_EQ(lines[dendrogram + 5], "      +---------+---------+---------+---------+---------+---------+---------+"
                                     "---------+---------+---------+----");
    const std::vector<std::string> drawing(lines.begin() + static_cast<long>(dendrogram) + 7,
                                           lines.begin() + static_cast<long>(dendrogram) + 15);
    const std::string blank = "      ";
    EXPECT_EQ(drawing, (std::vector<std::string>{
                           Drawing(" A    ", {{1, 5}}, {6}),
                           Drawing(blank, {{7, 80}}, {6, 81}),
                           Drawing(" B    ", {{1, 5}}, {6, 81}),
                           Drawing(blank, {}, {81}),
                           Drawing(" C    ", {{1, 20}}, {21, 81}),
                           Drawing(blank, {{22, 80}}, {21, 81}),
                           Drawing(" D    ", {{1, 20}}, {21}),
                           Drawing(blank, {}, {}),
                       }));
    EXPECT_EQ(dendrogram + 15, lines.size());

    EXPECT_EQ(folder.Read("sepop.inp"),
              "A          1       1       2 0.250000E+00\r\n"
              "B          2       3       4 0.100000E+01\r\n"
              "C          3       1       3 0.400000E+01\r\n"
              "D          4       0       0 0.000000E+00\r\n");
}

TEST(FenolaRun, OptionalPagesFollowTheFlagsInTheirOrder) {
    TempFolder folder;
    // Print data (kind 4), no distance table, no classes.
    WriteFourSamples(folder, "1 4 1", "4 0 0");
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    std::vector<std::string> lines = folder.Lines("fenola.prn");
    EXPECT_TRUE(Contains(lines, '\f' + std::string(33, ' ') + "QUADRO DOS DADOS DE PARTIDA"));
    EXPECT_TRUE(Contains(lines, " A       0.0000  0.0000"));
    EXPECT_TRUE(Contains(lines, " D       5.0000  2.0000"));
    EXPECT_EQ(Find(lines, " D     7.2500  5.0000  1.0000"), lines.size());
    EXPECT_EQ(Find(lines, "    5      0.250       1     2     2     A    B   "), lines.size());

    WriteFourSamples(folder, "1 4 1", "0 0 1");
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    lines = folder.Lines("fenola.prn");
    EXPECT_EQ(Find(lines, '\f' + std::string(33, ' ') + "QUADRO DOS DADOS DE PARTIDA"), lines.size());
    EXPECT_EQ(Find(lines, " D     7.2500  5.0000  1.0000"), lines.size());
    EXPECT_TRUE(Contains(lines, "    5      0.250       1     2     2     A    B   "));
}

TEST(FenolaRun, FlexibleCoefficientsRecordAndCompleteLink) {
    TempFolder folder;
    // c4 = +0.5 is complete link: A-B at 0.25, C-D at 1, then max(6.25, 4, 7.25, 5) = 7.25.
    folder.Write("Dados.dat", {"A", "B", "C", "D", "0 0", "1 0", "5 0", "5 2"});
    folder.Write("fenola.par", {"4 2", "1 4 5", "0.500000 0.500000 0.000000 0.500000",
                                (folder / "Dados.dat").string(), "Titulo", "X", "Y", "0 0 0"});
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    const std::vector<std::string> lines = folder.Lines("fenola.prn");
    EXPECT_TRUE(Contains(lines, std::string(32, ' ') + "AGRUPAMENTO FLEXIVEL (  0.5000  0.5000  0.0000  0.5000 )"));
    EXPECT_TRUE(Contains(lines, std::string(37, ' ') + "   7 I       7.250 I     5 A    I     6 C    I    4"));
}

TEST(FenolaRun, RModeClassifiesTheVariables) {
    TempFolder folder;
    // Variables over 3 samples: P (1 2 3), Q (2 4 6) proportional to P, R (3 1 2).
    // Correlations: r(P,Q) = 1, r(P,R) = r(Q,R) = -0.5; dissimilarities 0 and 1.5.
    folder.Write("Dados.dat", {"s1", "s2", "s3", "1 2 3", "2 4 1", "3 6 2"});
    folder.Write("fenola.par", {"3 3", "0 3 2", (folder / "Dados.dat").string(), "Titulo", "P", "Q", "R", "0 1 0"});
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    const std::vector<std::string> lines = folder.Lines("fenola.prn");
    EXPECT_TRUE(Contains(lines, '\f' + std::string(37, ' ') + "CLASSIFICACAO ASCENDENTE HIERARQUICA (MODO-R)"));
    // The table shows the correlations themselves.
    EXPECT_TRUE(Contains(lines, " Q     1.0000"));
    EXPECT_TRUE(Contains(lines, " R    -0.5000 -0.5000"));
    EXPECT_TRUE(Contains(lines, std::string(37, ' ') + "   4 I       0.000 I     1 P    I     2 Q    I    2"));
    EXPECT_TRUE(Contains(lines, std::string(37, ' ') + "   5 I       1.500 I     4 P    I     3 R    I    3"));
    // Five lines per object: P on the first, Q on the sixth, R on the eleventh.
    const std::size_t top = Find(lines, '\f' + std::string(50, ' ') + "DENDROGRAMA") + 7;
    ASSERT_EQ(lines.size(), top + 15);
    EXPECT_EQ(lines[top].substr(0, 6), " P    ");
    EXPECT_EQ(lines[top + 5].substr(0, 6), " Q    ");
    EXPECT_EQ(lines[top + 10].substr(0, 6), " R    ");
    EXPECT_EQ(folder.Lines("sepop.inp")[0], "P          1       1       2 0.000000E+00");
}

TEST(FenolaRun, RefusalsGoToTheListingAndLeaveNoHierarchyFile) {
    struct Case {
        std::string codes;
        std::vector<std::string> data;
        std::string message;
    };
    const std::vector<Case> cases{
        {"1 9 1", {"A", "B", "1 2", "3 4"}, "  Código de distância inválido: 9"},
        {"1 5 1", {"A", "B", "1 2", "0 0"}, "  O objecto B    tem soma nula: a distância KI-2 não está definida"},
        {"1 7 1", {"A", "B", "0 0", "3 4"}, "  O objecto A    tem soma nula: a distância STEINHAUS não está definida"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.Write("sepop.inp", {"old"});
        folder.Write("Dados.dat", c.data);
        folder.Write("fenola.par", {"2 2", c.codes, (folder / "Dados.dat").string(), "T", "X", "Y", "0 0 0"});
        EXPECT_EQ(FenolaMain(folder.str()), 1) << c.codes;
        EXPECT_EQ(folder.Lines("fenola.prn").back(), c.message);
        EXPECT_FALSE(folder.Exists("sepop.inp")) << c.codes;
    }

    TempFolder folder;
    folder.Write("Dados.dat", {"A", "1 2"});
    folder.Write("fenola.par", {"1 2", "1 4 1", (folder / "Dados.dat").string(), "T", "X", "Y", "0 0 0"});
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("fenola.prn").back(), "  A classificação precisa de pelo menos 2 objectos");

    folder.Write("fenola.par", {"1 2", "1 4 1", (folder / "Nada.dat").string(), "T", "X", "Y", "0 0 0"});
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("fenola.prn"), std::vector<std::string>{"  Erro no ficheiro de dados"});

    // A data file one row short is refused before reading; one whose rows run over two lines
    // has the lines but not the values, and the read stops where it ends.
    folder.Write("Dados.dat", {"A", "B", "C", "1 2", "3 4"});
    folder.Write("fenola.par", {"3 2", "1 4 1", (folder / "Dados.dat").string(), "T", "X", "Y", "0 0 0"});
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("fenola.prn").back(), "  O ficheiro de dados não pode conter 3 amostras de 2 valores");
    folder.Write("Dados.dat", {"A", "B", "C", "1", "2", "3 4"});
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("fenola.prn").back(), "  Erro na leitura do ficheiro de dados (linha 6)");

    std::filesystem::remove(folder / "fenola.par");
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("fenola.prn"), std::vector<std::string>{"  Erro no ficheiro de parâmetros fenola.par"});
}

TEST(FenolaRun, DendrogramScaleSpansTheSmallestAndLargestLevels) {
    auto steps = [](std::vector<float> levels) {
        std::vector<fenola::Step> s;
        for (float l : levels) s.push_back({1, 2, 1, 2, l, 2});
        return s;
    };
    // Levels 0.2 to 3.7: lo = 0, hi = 4.
    fenola::DendrogramScale scale = fenola::ScaleOf(steps({0.2f, 1.0f, 3.7f}));
    EXPECT_EQ(scale.lo, 0.0);
    EXPECT_EQ(scale.hi, 4.0);
    EXPECT_EQ(scale.Column(0.2f), 6u);    // int(5 + 1.5)
    EXPECT_EQ(scale.Column(3.7f), 94u);   // int(92.5 + 1.5)
    // The extremes need not be the first and last steps (flexible coefficients).
    scale = fenola::ScaleOf(steps({2.5f, 0.7f, 6.2f, 3.0f}));
    EXPECT_EQ(scale.lo, 0.0);
    EXPECT_EQ(scale.hi, 7.0);
    // Equal levels: the divisor stays 1; columns stay on the line.
    scale = fenola::ScaleOf(steps({2.0f, 2.0f}));
    EXPECT_EQ(scale.range, 1.0);
    EXPECT_EQ(scale.Column(2.0f), 1u);
    EXPECT_EQ(scale.Column(50.0f), 101u);
    EXPECT_EQ(scale.Column(-50.0f), 1u);
    // Negative levels: hi = int(-0.5 + 1) - 1 = -1, lo = int(-2.5) = -2.
    scale = fenola::ScaleOf(steps({-2.5f, -0.5f}));
    EXPECT_EQ(scale.lo, -2.0);
    EXPECT_EQ(scale.hi, -1.0);
}

TEST(FenolaRun, TriangularTableLayout) {
    auto print = [](const std::vector<float>& rows, std::size_t n) {
        const fenola::Triangle d = fenola::Triangle::FromRows(n, rows);
        std::vector<std::string> names;
        for (std::size_t i = 1; i <= n; ++i) names.push_back('N' + std::to_string(i));
        TempFolder folder;
        RecordWriter out;
        EXPECT_TRUE(out.Create("t.prn", folder.str()));
        fenola::PrintTriangularTable(out, 4, d, names);
        out.Close();
        return folder.Lines("t.prn");
    };
    // 100.0 keeps F8.4; one entry of 100.5 turns the whole table to E8.2.
    EXPECT_EQ(print({100.0f, 1.0f, 2.0f}, 3)[8], " N3    1.0000  2.0000");
    EXPECT_EQ(print({100.5f, 1.0f, 2.0f}, 3)[8], " N3  0.10E+010.20E+01");
    // 18 objects: the second block holds column 16 and 17, with rows 17 and 18 only.
    const std::vector<std::string> lines = print(std::vector<float>(18 * 17 / 2, 0.5f), 18);
    const std::size_t second = 4 + 3 + 17 + 1;  // title lines, then block 1
    ASSERT_EQ(lines.size(), second + 6);
    EXPECT_EQ(lines[second + 1], "        N16     N17   ");
    EXPECT_EQ(lines[second + 3], " N17   0.5000");
    EXPECT_EQ(lines[second + 4], " N18   0.5000  0.5000");
}

TEST(FenolaRun, TwentyThousandObjects) {
    // Points 0, 1, 2, ... on one variable: every neighbouring pair is at 1, so single link
    // builds one chain, joining the last pair in storage order first.
    const std::size_t n = 20000;
    TempFolder folder;
    std::vector<std::string> data;
    for (std::size_t i = 0; i < n; ++i) data.push_back('O' + std::to_string(i % 1000));
    for (std::size_t i = 0; i < n; ++i) data.push_back(std::to_string(i));
    folder.Write("Dados.dat", data);
    folder.Write("fenola.par", {"20000 1", "1 4 1", (folder / "Dados.dat").string(), "T", "X", "0 0 0"});
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    const std::vector<std::string> records = folder.Lines("sepop.inp");
    ASSERT_EQ(records.size(), n);
    EXPECT_EQ(records[0].substr(4), "       1   19999   20000 0.100000E+01");
    EXPECT_EQ(records[1].substr(12), "   19998   19999 0.100000E+01");
    EXPECT_EQ(records[n - 1].substr(12), "       0       0 0.000000E+00");
    std::set<std::size_t> positions;
    for (const std::string& r : records) positions.insert(std::stoul(r.substr(4, 8)));
    EXPECT_EQ(positions.size(), n);
    EXPECT_EQ(*positions.begin(), 1u);
    EXPECT_EQ(*positions.rbegin(), n);
}

TEST(FenolaRun, NonFiniteDistancesAndLevelsAreRefused) {
    // A value of 1e30 makes a squared Euclidean distance pass the single-precision range. With
    // flexible coefficients of 1e30 the distances grow by 1e30 at each step: steps 1 and 2 join
    // A-B at 0.25 and C-D at 1, and the third level passes the range. Neither may reach the
    // hierarchy file.
    struct Case {
        std::string codes, coefficients;
        std::vector<std::string> values;
        std::string message;
    };
    const std::vector<Case> cases{
        {"1 4 1", "", {"0 0", "1e30 0", "5 0", "5 2"},
         "  A distância entre B e A não é um número finito: valores grandes demais para o cálculo"},
        {"1 4 5", "1e30 1e30 1e30 1e30", {"0 0", "1 0", "5 0", "5 2"},
         "  O nível de agregação do passo 3 não é um número finito: valores ou coeficientes grandes demais para o "
         "cálculo"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.Write("sepop.inp", {"old"});
        std::vector<std::string> data{"A", "B", "C", "D"};
        data.insert(data.end(), c.values.begin(), c.values.end());
        folder.Write("Dados.dat", data);
        std::vector<std::string> par{"4 2", c.codes};
        if (!c.coefficients.empty()) par.push_back(c.coefficients);
        for (const std::string& line : {(folder / "Dados.dat").string(), std::string("T"), std::string("X"),
                                        std::string("Y"), std::string("0 1 1")})
            par.push_back(line);
        folder.Write("fenola.par", par);
        EXPECT_EQ(FenolaMain(folder.str()), 1) << c.codes;
        EXPECT_EQ(folder.Lines("fenola.prn").back(), c.message);
        EXPECT_FALSE(folder.Exists("sepop.inp")) << c.codes;
        const std::string listing = folder.Read("fenola.prn");
        EXPECT_EQ(listing.find("inf"), std::string::npos);
        EXPECT_EQ(listing.find("nan"), std::string::npos);
    }
}

TEST(FenolaRun, CountsTheFilesCannotHoldAreRefusedBeforeReservingMemory) {
    // 677,000,107 samples announced over a data file of 10 rows: refused at once by the program
    // limited to 512 MB of address space (the work areas would take gigabytes).
    TempFolder folder;
    std::vector<std::string> data;
    for (int i = 1; i <= 10; ++i) data.push_back('S' + std::to_string(i));
    for (int i = 1; i <= 10; ++i) data.push_back(std::to_string(i) + " " + std::to_string(i * i));
    folder.Write("Dados.dat", data);
    folder.Write("fenola.par", {"677000107 2", "1 4 1", (folder / "Dados.dat").string(), "T", "X", "Y", "0 0 0"});
    const std::string command = "cd '" + folder.str() + "' && " + std::string(kMemoryLimit512) +
                                " && timeout 20 '" FENOLA_PROGRAM "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 1 << 8);
    ASSERT_FALSE(folder.Lines("fenola.prn").empty());
    EXPECT_EQ(folder.Lines("fenola.prn").back(), "  O ficheiro de dados não pode conter 677000107 amostras de 2 valores");
    // As many variables: fenola.par has no room for their names.
    folder.Write("fenola.par", {"10 677000107", "1 4 1", (folder / "Dados.dat").string(), "T", "X", "Y", "0 0 0"});
    EXPECT_EQ(std::system(command.c_str()), 1 << 8);
    ASSERT_FALSE(folder.Lines("fenola.prn").empty());
    EXPECT_EQ(folder.Lines("fenola.prn").back(), "  O ficheiro fenola.par não pode conter os nomes das 677000107 variáveis");
    EXPECT_FALSE(folder.Exists("sepop.inp"));
}

TEST(FenolaRun, LongTitleIsPrintedWhole) {
    TempFolder folder;
    WriteFourSamples(folder, "1 4 1", "0 0 0");
    const std::string title = "/home/analista/" + std::string(140, 'x') + "/estudo.tsm";
    std::vector<std::string> par = folder.Lines("fenola.par");
    par[3] = title;
    folder.Write("fenola.par", par);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    EXPECT_EQ(folder.Lines("fenola.prn")[2], " " + title);
}

TEST(FenolaRun, BuiltProgramRunsInItsFolder) {
    TempFolder folder;
    WriteFourSamples(folder, "1 4 1", "0 0 0");
    const std::string command = "cd '" + folder.str() + "' && '" FENOLA_PROGRAM "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(folder.Lines("sepop.inp").size(), 4u);
    EXPECT_EQ(folder.Lines("fenola.prn")[0], Pad("   CLASSIFICAÇÃO ASCENDENTE HIERARQUICA", 51) + "Versão 7.00");
    // With files limited to 512 bytes (SIGXFSZ ignored), the listing fails as on a full disk.
    ASSERT_GT(folder.Read("fenola.prn").size(), 512u);
    const std::string full = "cd '" + folder.str() + "' && ulimit -f 1 && trap '' XFSZ && '" FENOLA_PROGRAM "' > /dev/null";
    EXPECT_NE(std::system(full.c_str()), 0);
}

}  // namespace
