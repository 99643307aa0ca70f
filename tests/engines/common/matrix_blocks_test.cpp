#include "engines/common/matrix_blocks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Print(int kind, int nrows, int ncols, const std::vector<float>& a,
                  const std::vector<std::string>& rows, const std::vector<std::string>& cols) {
    // A folder of this call's own: tests running at the same time share no file.
    std::string folder = (std::filesystem::temp_directory_path() / "tesmo_matrix_blocks_XXXXXX").string();
    EXPECT_NE(mkdtemp(folder.data()), nullptr);
    const std::filesystem::path dir = folder;
    {
        RecordWriter out;
        EXPECT_TRUE(out.Create("m.prn", dir.string()));
        PrintMatrixBlocks(out, kind, nrows, ncols, a.data(), nrows, rows, cols);
    }
    std::ifstream in(dir / "m.prn", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove_all(dir);
    return text.str();
}

TEST(PrintMatrixBlocks, KindOneLayout) {
    const std::string rule = " " + std::string(31, '-') + "\r\n";
    const std::string heading = ' ' + std::string(9, ' ') + "    AAAA        BB      \r\n";
    EXPECT_EQ(Print(1, 2, 2, {1.0f, 2.5f, -3.25f, 1234.567f}, {"R1  ", "R2"}, {"AAAA", "BB"}),
              "\r\n\r\n" + heading + rule +
                  " R1            1.00       -3.25\r\n"
                  " R2            2.50     1234.57\r\n" +
                  rule + heading);
}

TEST(PrintMatrixBlocks, SixteenColumnsOfKindTwoMakeTwoBlocks) {
    std::vector<std::string> cols;
    for (int j = 0; j < 16; ++j)
        cols.push_back('C' + std::to_string(j));
    const std::string text = Print(2, 1, 16, std::vector<float>(16, 0.5f), {"R"}, cols);
    const std::string firstRule = " " + std::string(8 * 15 + 7, '-') + "\r\n";
    const std::string secondRule = " " + std::string(15, '-') + "\r\n";
    const std::string secondHeading = ' ' + std::string(7, ' ') + "  C15   \r\n";
    size_t count = 0;
    for (size_t at = text.find(firstRule); at != std::string::npos; at = text.find(firstRule, at + 1))
        ++count;
    EXPECT_EQ(count, 2u);  // the first block, with its 15 columns
    EXPECT_NE(text.find(secondHeading + secondRule + " R         0.50\r\n" + secondRule + secondHeading),
              std::string::npos);
    // A kind-3 value has no decimals: "12."
    EXPECT_NE(Print(3, 1, 1, {12.0f}, {"R"}, {"C"}).find(" R        12.\r\n"), std::string::npos);
}

TEST(PrintMatrixBlocks, NoRowsGivesHeadingsAndRulesOnly) {
    const std::string rule = " " + std::string(8 + 7, '-') + "\r\n";
    const std::string heading = ' ' + std::string(7, ' ') + "  CC    \r\n";
    EXPECT_EQ(Print(4, 0, 1, {}, {}, {"CC"}), "\r\n\r\n" + heading + rule + rule + heading);
}

}  // namespace
