// kelo's files: listing texts, refusals, result files, and the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <limits>

#include "engines/kelo/kelo.h"
#include "tests/engines/kelo/kelo_test_support.h"
#include "tests/engines/planted_names.h"
#include "tests/support/memory_limit.h"

namespace {

using kelo_test::KeloCase;
using kelo_test::Lines;
using kelo_test::ReadFile;
using kelo_test::ReadTmp;
using kelo_test::WorkFolder;
using kelo_test::WriteFile;
namespace fs = std::filesystem;

// A 4 x 3 table, all active.
KeloCase SmallCase() {
    KeloCase c;
    c.rowNames = {"R1", "R2", "R3", "R4"};
    c.colNames = {"C1", "C2", "C3"};
    c.rows = {{1, 0, 1}, {1, 1, 0}, {0, 1, 1}, {1, 1, 1}};
    c.nf = 2;
    return c;
}

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

TEST(KeloRun, BannerAndParametersRead) {
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.nla = 3;
    c.rowFlags = "1011";
    c.colFlags = "111";
    c.nf = 1;
    c.graphs = "5 1 65 2.5";  // more planes than factors: becomes NF - 1
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const std::vector<std::string> lines = Lines(ReadFile(folder.File("kelo.prn")));
    ASSERT_GT(lines.size(), 24u);
    // The rule is 65 " ." pairs, as in the other engines' listings.
    std::string dots;
    for (int k = 0; k < 65; ++k)
        dots += " .";
    std::string title = ' ' + folder.File("exemplo.tsm");
    title.resize(129, ' ');
    EXPECT_EQ(lines[0], "   ANÁLISE DAS CORRESPONDÊNCIAS BINÁRIAS           Versão 7.00");
    EXPECT_EQ(lines[1], dots);
    EXPECT_EQ(lines[2], title);
    EXPECT_EQ(lines[3], dots);
    EXPECT_EQ(lines[4], " UTILIZAÇÃO DE MEMÓRIA");
    EXPECT_EQ(lines[1].size(), 130u);
    EXPECT_EQ(lines[5].substr(0, 17), "       . numérica");
    EXPECT_EQ(lines[5].size(), 25u);
    EXPECT_EQ(lines[6].substr(0, 17), "       .  literal");
    EXPECT_EQ(lines[6].size(), 25u);
    // Inertia of the three active rows: profiles (1/2,0,1/2), (0,1/2,1/2), (1/3,1/3,1/3) of
    // masses 2/7, 2/7, 3/7 against (2/7,2/7,3/7): squared distances 11/24, 11/24, 1/27; 5/18.
    const std::string pad(8, ' ');
    const std::vector<std::string> parameters(lines.begin() + 7, lines.begin() + 23);
    EXPECT_EQ(parameters, (std::vector<std::string>{
                              "",
                              " PARÂMETROS LIDOS",
                              "",
                              "           N. total de linhas =>   4" + pad + "        N. de linhas activas =>   3",
                              "          N. total de colunas =>   3" + pad + "       N. de colunas activas =>   3",
                              "  Linhas activas (1) ou ilustrativas (0)",
                              " 1011",
                              " Colunas activas (1) ou ilustrativas (0)",
                              " 111",
                              " N. de factores seleccionados =>   1" + pad + "N. de graficos seleccionados =>   0",
                              "    N. de paginas por grafico =>   1" + pad + "    N. de linhas por grafico =>  65",
                              "         N. de desvios padrao => 2.5",
                              " Cria ficheiro (1) ou nao (0) => 0" + pad + "  Imprime dados (1) ou nao (0) => 0",
                              "           Formato de leitura => Sem formato",
                              "\fEDICAO DOS VALORES PROPRIOS (SOMA = 0.277778 )",
                              "",
                          }));
}

TEST(KeloRun, ShortDataFileReportsTheRowsReadAndLeavesNoResults) {
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.Write(folder);
    WriteFile(folder.File("kelo.tmp"), "results of an earlier run\n");
    // Drop the last row of values.
    std::string data = ReadFile(folder.File("Dados.dat"));
    data.erase(data.rfind("1.000000 1.000000 1.000000"));
    WriteFile(folder.File("Dados.dat"), data);
    EXPECT_EQ(KeloMain(folder.Path()), kKeloDataError);
    std::string stars;
    for (int k = 0; k < 35; ++k)
        stars += " *";
    const std::string block = "\r\n\r\n" + stars + "\r\n\r\n" + std::string(25, ' ') +
                              "ATENÇÃO - FIM DE FICHEIRO\r\n\r\n Verifique:\r\n"
                              "    - Nº de Linhas (apenas foram lidas    3)\r\n"
                              "    - Nº de Colunas\r\n    - Formato dos Dados\r\n\r\n" +
                              stars + "\r\n";
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    ASSERT_GE(listing.size(), block.size());
    EXPECT_EQ(listing.substr(listing.size() - block.size()), block);
    EXPECT_FALSE(fs::exists(folder.File("kelo.tmp")));
}

TEST(KeloRun, RefusalsWriteAMessageAndNoResultFile) {
    struct Refusal {
        const char* what;
        KeloCase c;
        const char* message;
    };
    std::vector<Refusal> refusals;
    KeloCase flags = SmallCase();
    flags.nla = 3;
    flags.rowFlags = "1111";  // four rows flagged active for NLA = 3
    flags.colFlags = "111";
    refusals.push_back({"flag count", flags, "O Nº de linhas marcadas activas (    4) difere do Nº de linhas activas (    3)"});
    KeloCase oneColumn = SmallCase();
    oneColumn.nca = 1;
    oneColumn.rowFlags = "1111";
    oneColumn.colFlags = "100";
    oneColumn.nf = 1;
    refusals.push_back({"one active column", oneColumn, "São precisas pelo menos 2 linhas activas e 2 colunas activas"});
    for (int nf : {0, 3, std::numeric_limits<int>::min()}) {
        KeloCase factors = SmallCase();
        factors.nf = nf;
        refusals.push_back({"factors", factors, "tem de estar entre 1 e    2"});
    }
    KeloCase negative = SmallCase();
    negative.rows[2][1] = -1;
    refusals.push_back({"negative", negative, "Os dados não podem ter valores negativos: linha R3, coluna C2"});
    KeloCase empty = SmallCase();  // presence only in the supplementary column
    empty.rows = {{0, 0, 4}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}};
    empty.nca = 2;
    empty.rowFlags = "1111";
    empty.colFlags = "110";
    empty.nf = 1;
    refusals.push_back({"no presence", empty, "A tabela activa não tem nenhum valor positivo"});
    for (const Refusal& refusal : refusals) {
        WorkFolder folder;
        refusal.c.Write(folder);
        EXPECT_EQ(KeloMain(folder.Path()), kKeloRefused) << refusal.what;
        EXPECT_TRUE(Contains(ReadFile(folder.File("kelo.prn")), refusal.message)) << refusal.what;
        EXPECT_FALSE(fs::exists(folder.File("kelo.tmp"))) << refusal.what;
    }
}

TEST(KeloRun, MissingFilesAreReportedInTheListing) {
    WorkFolder folder;
    EXPECT_EQ(KeloMain(folder.Path()), kKeloParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("kelo.prn")), "ERRO NO FICHEIRO kelo.par"));

    SmallCase().Write(folder);
    fs::remove(folder.File("Dados.dat"));
    WriteFile(folder.File("kelo.tmp"), "old");
    EXPECT_EQ(KeloMain(folder.Path()), kKeloDataError);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_TRUE(Contains(listing, "Não foi possível abrir o ficheiro de dados:\r\n " + folder.File("Dados.dat")));
    EXPECT_FALSE(fs::exists(folder.File("kelo.tmp")));
}

TEST(KeloRun, LongDataPathAndResultFilesBesideADottedFolder) {
    WorkFolder folder;
    const std::string longFolder = std::string(140, 'p');
    fs::create_directories(folder.File(longFolder));
    fs::create_directories(folder.File("dados.x"));
    // 12 x 12 table with 11 factors: coordinates take a continuation record, eigenvalues two.
    KeloCase c;
    for (int k = 1; k <= 12; ++k) {
        c.rowNames.push_back('L' + std::to_string(k));
        c.colNames.push_back('K' + std::to_string(k));
        std::vector<double> row;
        for (int j = 1; j <= 12; ++j)
            row.push_back((k * 7 + j * 3) % 5 + (k == j ? 3 : 0));
        c.rows.push_back(row);
    }
    c.nf = 11;
    c.options = "1 0";
    c.title = "dados.x/relat";
    c.dataName = longFolder + "/Dados.dat";
    c.dataLineEnd = "   ";
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const auto tmp = ReadTmp(folder.File("kelo.tmp"), 11);
    double sum = 0;
    for (const auto& eigen : tmp.eigen)
        sum += eigen[0];
    EXPECT_NEAR(sum, tmp.inertia, 1e-5);

    const std::vector<std::string> vpc = Lines(ReadFile(folder.File("dados.x/relat.vpc")));
    ASSERT_EQ(vpc.size(), 2u);
    EXPECT_EQ(vpc[0].size(), 80u);
    EXPECT_EQ(vpc[1].size(), 30u);
    EXPECT_NEAR(std::atof(vpc[0].substr(0, 10).c_str()), tmp.eigen[0][0], 1e-6);
    const std::vector<std::string> lic = Lines(ReadFile(folder.File("dados.x/relat.lic")));
    ASSERT_EQ(lic.size(), 24u);
    EXPECT_EQ(lic[0].substr(0, 4), "L1  ");
    EXPECT_EQ(lic[0].size(), 74u);
    EXPECT_EQ(lic[1].substr(0, 4), "    ");
    EXPECT_EQ(lic[1].size(), 11u);
    // lic holds the row block of kelo.tmp (the second one), coc the first.
    EXPECT_NEAR(std::atof(lic[0].substr(4, 7).c_str()), tmp.points[12].values[2], 1e-3);
    const std::vector<std::string> coc = Lines(ReadFile(folder.File("dados.x/relat.coc")));
    ASSERT_EQ(coc.size(), 24u);
    EXPECT_EQ(coc[2].substr(0, 4), "K2  ");
    EXPECT_NEAR(std::atof(coc[2].substr(4, 7).c_str()), tmp.points[1].values[2], 1e-3);
}

TEST(KeloRun, LongTitleIsReadWholeAndNamesTheResultFilesBesideTheDocument) {
    WorkFolder folder;
    const std::string documentFolder = std::string(150, 'd') + ".v2";
    fs::create_directories(folder.File(documentFolder));
    KeloCase c = SmallCase();
    c.options = "1 0";
    c.title = documentFolder + "/estudo.tsm";
    c.Write(folder);
    ASSERT_GT(folder.File(c.title).size(), 128u);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    EXPECT_EQ(Lines(ReadFile(folder.File("kelo.prn")))[2], " " + folder.File(c.title));
    for (const char* extension : {"vpc", "lic", "coc"})
        EXPECT_TRUE(fs::exists(folder.File(documentFolder + "/estudo." + extension))) << extension;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 5);  // no stray files
}

TEST(KeloRun, CountsTheFilesCannotHoldAreRefusedBeforeReservingMemory) {
    // The program, limited to 512 MB of address space, with the counts of kelo.par's first
    // record replaced; its exit status.
    WorkFolder folder;
    const std::string command = "cd '" + folder.Path() + "' && " + std::string(kMemoryLimit512) +
                                " && timeout 20 '" KELO_PROGRAM "' >/dev/null 2>&1";
    auto runWithCounts = [&](const char* counts) {
        SmallCase().Write(folder);
        std::string par = ReadFile(folder.File("kelo.par"));
        par.replace(0, par.find("\r\n"), counts);
        WriteFile(folder.File("kelo.par"), par);
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    // 677,000,107 rows announced over a data file of 4 rows: the end of the data file, at once.
    EXPECT_EQ(runWithCounts("677000107 677000107 3 3 2"), kKeloDataError);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_TRUE(Contains(listing, "ATENÇÃO - FIM DE FICHEIRO"));
    EXPECT_TRUE(Contains(listing, "    - Nº de Linhas (apenas foram lidas    0)"));

    // As many columns: kelo.par has no room for their names.
    EXPECT_EQ(runWithCounts("4 4 677000107 677000107 2"), kKeloParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("kelo.prn")), " O ficheiro não pode conter os nomes das  677000107 colunas"));
    EXPECT_FALSE(fs::exists(folder.File("kelo.tmp")));

    // The largest counts: the work areas they would need pass a 64-bit count (asterisks).
    EXPECT_EQ(runWithCounts("2147483647 2147483647 2147483647 2147483647 2"), kKeloParameterError);
    EXPECT_TRUE(Contains(ReadFile(folder.File("kelo.prn")), "       . numérica********\r\n"));
}

TEST(KeloRun, TheBuiltProgramRunsInItsWorkingFolder) {
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.graphs = "1 1 65 2.5";
    c.Write(folder);
    const std::string command = "cd '" + folder.Path() + "' && '" KELO_PROGRAM "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kKeloOk);
    // Profiles (1,0,1)/2, (1,1,0)/2, (0,1,1)/2, (1,1,1)/3 against equal column masses 1/3:
    // squared distances 1/2 (three rows) and 0, row masses 2/9 and 3/9: inertia 3 x 2/9 x 1/2.
    const auto tmp = ReadTmp(folder.File("kelo.tmp"), 2);
    EXPECT_NEAR(tmp.inertia, 1.0 / 3, 1e-6);
    EXPECT_EQ(tmp.points.size(), 7u);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_TRUE(Contains(listing, "PLANO DE PROJECCAO DOS     7 PONTOS SOBRE OS EIXOS 1  E  2"));
    EXPECT_TRUE(Contains(listing, "DADOS ORDENADOS SOBRE O FACTOR 1"));
    EXPECT_EQ(listing.substr(listing.size() - 3), "\f\r\n");
}

TEST(KeloRun, ExtremeValuesAreRefusedRatherThanWrittenAsResults) {
    // 4.9e-324 beside 1e306: the profiles (value x 1000 / sum) pass the largest double.
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.rows[0][1] = 4.9e-324;
    c.rows[1][0] = 1e306;
    c.Write(folder);
    EXPECT_EQ(KeloMain(folder.Path()), kKeloNumericError);
    const std::string listing = ReadFile(folder.File("kelo.prn"));
    EXPECT_TRUE(Contains(listing, "ATENÇÃO - ERRO NUMÉRICO")) << listing;
    EXPECT_FALSE(Contains(listing, "Infinity"));
    EXPECT_FALSE(fs::exists(folder.File("kelo.tmp")));
}

TEST(KeloRun, ControlCharactersInNamesBecomeUnderscores) {
    // A carriage return inside a row name and another control character in a column name
    // would break kelo.tmp's records.
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.rowNames[1] = "R\r2";
    c.colNames[2] = "C\x01" "3";
    c.options = "1 0";
    c.Write(folder);
    ASSERT_EQ(KeloMain(folder.Path()), kKeloOk);
    const std::string tmp = ReadFile(folder.File("kelo.tmp"));
    for (size_t k = 0; k < tmp.size(); ++k) {
        if (static_cast<unsigned char>(tmp[k]) < 0x20) {
            EXPECT_TRUE(tmp[k] == '\n' || (tmp[k] == '\r' && k + 1 < tmp.size() && tmp[k + 1] == '\n')) << k;
        }
    }
    const auto result = ReadTmp(folder.File("kelo.tmp"), 2);
    ASSERT_EQ(result.points.size(), 7u);
    EXPECT_EQ(result.points[2].name, "C_3");
    EXPECT_EQ(result.points[4].name, "R_2");
    EXPECT_EQ(Lines(ReadFile(folder.File("exemplo.lic")))[1].substr(0, 4), "R_2 ");
}

// Runs the built program with its files limited to 512-byte blocks (SIGXFSZ ignored, so that
// a write past the limit fails as on a full disk); its exit status.
int RunOnAFullDisk(const std::string& folder, int blocks) {
    const std::string command = "cd '" + folder + "' && ulimit -f " + std::to_string(blocks) +
                                " && trap '' XFSZ && '" KELO_PROGRAM "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(KeloRun, AWriteThatFailsFailsTheRun) {
    // The listing cannot be written whole.
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.graphs = "1 1 65 2.5";
    c.Write(folder);
    EXPECT_EQ(RunOnAFullDisk(folder.Path(), 2), kKeloOutputError);
    EXPECT_FALSE(fs::exists(folder.File("kelo.tmp")));
}

// The coordinate files lie beside the document, in a folder the user chose: a link planted at
// one of their names is replaced and its target left alone, a fifo is refused without being
// opened (noted in the listing), and the run goes on.
TEST(KeloRun, CoordinateFilesReplaceLinksAndRefuseFifos) {
    WorkFolder folder;
    KeloCase c = SmallCase();
    c.options = "1 0";
    c.Write(folder);
    engine_test::ExpectCoordinateNamesKept(folder.File("exemplo"), folder.File("kelo.prn"), kKeloOk,
                                           [&] { return KeloMain(folder.Path()); });
}

}  // namespace
