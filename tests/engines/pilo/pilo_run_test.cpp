#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engines/fenola/fenola.h"
#include "engines/pilo/group_summary.h"
#include "engines/pilo/pilo.h"
#include "tests/engines/fenola/engine_files.h"
#include "tests/support/memory_limit.h"

namespace {

using engine_test::Contains;
using engine_test::Find;
using engine_test::Pad;
using engine_test::TempFolder;

// Six samples on X, Y, Z (Z = 5 everywhere, so it changes no distance). Euclidean (squared
// differences over 9) single link: S2-S3 at 2/9, S4-S5 at 4/9, S1-(S2 S3) at 5/9, then 145/9
// and 724/9. A cut at 10 makes the groups {S1 S2 S3}, {S4 S5}, {S6}.
void WriteClassification(const TempFolder& folder, const std::string& codes = "1 4 1",
                         const std::string& coefficients = "") {
    folder.Write("Dados.dat", {"S1", "S2", "S3", "S4", "S5", "S6", "0 0 5", "1 2 5", "2 1 5", "10 10 5", "10 12 5",
                               "30 30 5"});
    std::vector<std::string> par{"6 3", codes};
    if (!coefficients.empty()) par.push_back(coefficients);
    for (const std::string& line : {(folder / "Dados.dat").string(), std::string("Titulo"), std::string("X"),
                                    std::string("Y"), std::string("Z"), std::string("0 0 0")})
        par.push_back(line);
    folder.Write("fenola.par", par);
}

std::string Summary(const std::string& name, const std::string& figures) { return std::string(21, ' ') + name + figures; }

TEST(PiloRun, GroupsWithTheirSummariesCorrelationsAndGroupFile) {
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    folder.Write("pilo.par", {"10.000000"});
    ASSERT_EQ(PiloMain(folder.str()), 0);
    const std::vector<std::string> lines = folder.Lines("pilo.prn");

    EXPECT_EQ(lines[0], Pad("   SEPARAÇÃO EM GRUPOS", 51) + "Versão 7.00");
    EXPECT_EQ(lines[3], ' ' + Pad("Titulo", 128));
    EXPECT_TRUE(Contains(lines, "NUMERO DE GRUPOS= 3"));
    EXPECT_TRUE(Contains(lines, "     1    S1   S2   S3   "));
    EXPECT_TRUE(Contains(lines, "     2    S4   S5   "));
    EXPECT_TRUE(Contains(lines, "     3    S6   "));

    // Group 1: X = (0 1 2), Y = (0 2 1): means 1, deviations 1; r(X,Y) = (1 + 0 + 0) / 2 = 0.5;
    // Z is constant: s = 0 and asterisks in its row of the matrix.
    const std::size_t g1 = Find(lines, '1' + std::string(47, ' ') + "Grupo  1");
    ASSERT_LT(g1 + 30, lines.size());
    EXPECT_EQ(lines[g1 + 3], std::string(35, ' ') + "DESCRICAO SUMARIA DAS VARIAVEIS");
    EXPECT_EQ(lines[g1 + 7], std::string(19, ' ') + "VARIAVEL     MEDIA     DESVIO PADRAO      MINIMO      MAXIMO");
    EXPECT_EQ(lines[g1 + 9], Summary("X   ", "       1.000            1.0000       0.000       2.000"));
    EXPECT_EQ(lines[g1 + 10], Summary("Y   ", "       1.000            1.0000       0.000       2.000"));
    EXPECT_EQ(lines[g1 + 11], Summary("Z   ", "       5.000            0.0000       5.000       5.000"));
    EXPECT_EQ(lines[g1 + 17], std::string(43, ' ') + "MATRIZ DE CORRELACAO");
    EXPECT_EQ(lines[g1 + 18], std::string(42, ' ') + std::string(22, '-'));
    EXPECT_EQ(lines[g1 + 22], "          X       Y       Z   ");
    EXPECT_EQ(lines[g1 + 24], " X    |   1.000");
    EXPECT_EQ(lines[g1 + 25], " Y    |   0.500   1.000");
    EXPECT_EQ(lines[g1 + 26], " Z    |************************");

    // Group 2: two samples, a summary and no matrix. Y = (10 12): s = sqrt(2).
    const std::size_t g2 = Find(lines, '1' + std::string(47, ' ') + "Grupo  2");
    ASSERT_LT(g2 + 11, lines.size());
    EXPECT_EQ(lines[g2 + 9], Summary("X   ", "      10.000            0.0000      10.000      10.000"));
    EXPECT_EQ(lines[g2 + 10], Summary("Y   ", "      11.000            1.4142      10.000      12.000"));
    EXPECT_EQ(g2 + 12, lines.size());
    // Group 3 has one sample: no page.
    EXPECT_FALSE(Contains(lines, '1' + std::string(47, ' ') + "Grupo  3"));

    EXPECT_EQ(folder.Read("Dados.gru"), "S1    1\r\nS2    1\r\nS3    1\r\nS4    2\r\nS5    2\r\nS6    3\r\n");
}

TEST(PiloRun, CutsWithNoGroupsStillWriteTheGroupFile) {
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    // Below every level: each sample apart, numbered left to right.
    folder.Write("pilo.par", {"0.100000"});
    ASSERT_EQ(PiloMain(folder.str()), 0);
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "NAO HA AGRUPAMENTOS PARA ESTE CORTE");
    EXPECT_EQ(folder.Read("Dados.gru"), "S1    1\r\nS2    2\r\nS3    3\r\nS4    4\r\nS5    5\r\nS6    6\r\n");
    // Above every level: one group of all.
    folder.Write("pilo.par", {"500.000000"});
    ASSERT_EQ(PiloMain(folder.str()), 0);
    const std::vector<std::string> lines = folder.Lines("pilo.prn");
    EXPECT_EQ(lines[lines.size() - 2], "COEFICIENTE DE CORTE MUITO BAIXO");
    EXPECT_FALSE(Contains(lines, '1' + std::string(47, ' ') + "Grupo  1"));
    EXPECT_EQ(folder.Read("Dados.gru"), "S1    1\r\nS2    1\r\nS3    1\r\nS4    1\r\nS5    1\r\nS6    1\r\n");
}

TEST(PiloRun, UnreadableCutStopsWithoutGroupFile) {
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    for (const std::vector<std::string>& cut : {std::vector<std::string>{}, std::vector<std::string>{"abc"}}) {
        folder.Write("Dados.gru", {"old"});
        folder.Write("pilo.par", cut);
        EXPECT_EQ(PiloMain(folder.str()), 1);
        EXPECT_EQ(folder.Lines("pilo.prn").back(), "     Erro na leitura");
        EXPECT_FALSE(folder.Exists("Dados.gru"));
    }
    std::filesystem::remove(folder / "pilo.par");
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "     Erro na leitura");
}

TEST(PiloRun, FlexibleClassificationSkipsTheCoefficientRecord) {
    TempFolder folder;
    WriteClassification(folder, "1 4 5", "0.500000 0.500000 0.000000 -0.500000");
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    folder.Write("pilo.par", {"10.000000"});
    ASSERT_EQ(PiloMain(folder.str()), 0);
    EXPECT_EQ(folder.Read("Dados.gru"), "S1    1\r\nS2    1\r\nS3    1\r\nS4    2\r\nS5    2\r\nS6    3\r\n");
}

TEST(PiloRun, HierarchyThatDoesNotFitTheDataIsRefused) {
    TempFolder folder;
    WriteClassification(folder);
    folder.Write("pilo.par", {"10.000000"});
    // No hierarchy: the classification stopped (a zero row under Steinhaus removes sepop.inp).
    folder.Write("Dados.dat", {"S1", "S2", "S3", "S4", "S5", "S6", "0 0 0", "1 2 5", "2 1 5", "10 10 5", "10 12 5",
                               "30 30 5"});
    folder.Write("fenola.par", {"6 3", "1 7 1", (folder / "Dados.dat").string(), "T", "X", "Y", "Z", "0 0 0"});
    EXPECT_EQ(FenolaMain(folder.str()), 1);
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "  Não há ficheiro sepop.inp: a classificação não terminou");

    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    std::vector<std::string> records = folder.Lines("sepop.inp");
    // Another sample's name.
    std::vector<std::string> changed = records;
    changed[2].replace(0, 4, "XX  ");
    folder.Write("sepop.inp", changed);
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(),
              "  O ficheiro sepop.inp não corresponde aos dados: os nomes diferem dos dados");
    // Two samples at the same position.
    changed = records;
    changed[1].replace(4, 8, "       1");
    folder.Write("sepop.inp", changed);
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(),
              "  O ficheiro sepop.inp não corresponde aos dados: as posições não são uma permutação");
    // A step that names a sample out of range.
    changed = records;
    changed[0].replace(12, 8, "       9");
    folder.Write("sepop.inp", changed);
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "  O ficheiro sepop.inp não corresponde aos dados: o passo 1 não une dois grupos");

    // A hierarchy of variables (R mode) is not separated.
    WriteClassification(folder, "0 3 1");
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "  A separação em grupos só se faz numa classificação em modo Q");
}

TEST(GroupSummary, VarianceIsNeverNegativeAndZeroForEqualValues) {
    // 0.1 three times: a one-pass formula may give a tiny negative or positive variance.
    const std::vector<float> rows{0.1f, 1e6f, 0.1f, 1e6f + 1, 0.1f, 1e6f + 2};
    const pilo::GroupSummary s = pilo::SummariseGroup(rows, 3, 2);
    EXPECT_EQ(s.variables[0].sd, 0.0);
    EXPECT_DOUBLE_EQ(s.variables[1].sd, 1.0);
    EXPECT_EQ(s.correlation[1], pilo::kNoCorrelation);
    EXPECT_FLOAT_EQ(s.correlation[3], 1.0f);
}

TEST(PiloRun, AMissingDataFileLeavesNoEarlierGroupFile) {
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    folder.Write("pilo.par", {"10.000000"});
    ASSERT_EQ(PiloMain(folder.str()), 0);
    ASSERT_TRUE(folder.Exists("Dados.gru"));
    // The title (the document's path) is printed whole, however long.
    std::vector<std::string> par = folder.Lines("fenola.par");
    const std::string title = "/home/analista/" + std::string(140, 'x') + "/estudo.tsm";
    par[3] = title;
    folder.Write("fenola.par", par);
    ASSERT_EQ(PiloMain(folder.str()), 0);
    EXPECT_EQ(folder.Lines("pilo.prn")[3], " " + title);
    std::filesystem::rename(folder / "Dados.dat", folder / "Outro.dat");
    EXPECT_EQ(PiloMain(folder.str()), 1);
    EXPECT_FALSE(folder.Exists("Dados.gru"));
}

TEST(PiloRun, CountsTheFilesCannotHoldAreRefusedBeforeReservingMemory) {
    // fenola.par announcing 677,000,107 samples over the six of the data file and sepop.inp.
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    folder.Write("pilo.par", {"10.000000"});
    std::vector<std::string> par = folder.Lines("fenola.par");
    par[0] = "677000107 3";
    folder.Write("fenola.par", par);
    const std::string command = "cd '" + folder.str() + "' && " + std::string(kMemoryLimit512) +
                                " && timeout 20 '" PILO_PROGRAM "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 1 << 8);
    ASSERT_FALSE(folder.Lines("pilo.prn").empty());
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "  O ficheiro de dados não pode conter 677000107 amostras de 3 valores");
    par[0] = "6 677000107";
    folder.Write("fenola.par", par);
    EXPECT_EQ(std::system(command.c_str()), 1 << 8);
    ASSERT_FALSE(folder.Lines("pilo.prn").empty());
    EXPECT_EQ(folder.Lines("pilo.prn").back(), "  O ficheiro fenola.par não pode conter os nomes das 677000107 variáveis");
    EXPECT_FALSE(folder.Exists("Dados.gru"));
}

TEST(PiloRun, BuiltProgramRunsInItsFolder) {
    TempFolder folder;
    WriteClassification(folder);
    ASSERT_EQ(FenolaMain(folder.str()), 0);
    folder.Write("pilo.par", {"10.000000"});
    const std::string command = "cd '" + folder.str() + "' && '" PILO_PROGRAM "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(folder.Lines("Dados.gru").size(), 6u);
    EXPECT_TRUE(Contains(folder.Lines("pilo.prn"), "NUMERO DE GRUPOS= 3"));
    // With files limited to 512 bytes (SIGXFSZ ignored), the listing fails as on a full disk.
    ASSERT_GT(folder.Read("pilo.prn").size(), 512u);
    const std::string full = "cd '" + folder.str() + "' && ulimit -f 1 && trap '' XFSZ && '" PILO_PROGRAM "' > /dev/null";
    EXPECT_NE(std::system(full.c_str()), 0);
}

}  // namespace
