#include "engines/common/record_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TEST(FreeFormatRead, ValuesSpanLinesAndTheRestOfTheLastLineIsDropped) {
    RecordReader in;
    in.OpenText("1 2\r\n\r\n3,4\t5 99\n6\n");
    int v[5] = {};
    ASSERT_EQ(in.ReadInts(v, 5), ReadStatus::Ok);
    EXPECT_EQ((std::vector<int>(v, v + 5)), (std::vector<int>{1, 2, 3, 4, 5}));
    int next = 0;
    ASSERT_EQ(in.ReadInts(&next, 1), ReadStatus::Ok);  // 99 was dropped with its line
    EXPECT_EQ(next, 6);
    EXPECT_EQ(in.ReadInts(&next, 1), ReadStatus::EndOfFile);
}

TEST(FreeFormatRead, RealsInTheUsualNotations) {
    RecordReader in;
    in.OpenText("1.5E2 -3d-1 .5 +2 7\n");
    float v[5] = {};
    ASSERT_EQ(in.ReadReals(v, 5), ReadStatus::Ok);
    EXPECT_FLOAT_EQ(v[0], 150.0f);
    EXPECT_FLOAT_EQ(v[1], -0.3f);
    EXPECT_FLOAT_EQ(v[2], 0.5f);
    EXPECT_FLOAT_EQ(v[3], 2.0f);
    EXPECT_FLOAT_EQ(v[4], 7.0f);
}

TEST(FreeFormatRead, EndOfFileAndErrorsAreReported) {
    RecordReader in;
    in.OpenText("1 2\n3\n");
    int v[4] = {};
    EXPECT_EQ(in.ReadInts(v, 4), ReadStatus::EndOfFile);
    EXPECT_EQ(in.ValuesRead(), 3);

    in.OpenText("1\n2 abc\n");
    float r[3] = {};
    EXPECT_EQ(in.ReadReals(r, 3), ReadStatus::Error);
    EXPECT_EQ(in.LineNumber(), 2);
    EXPECT_NE(in.ErrorText().find("abc"), std::string::npos);

    in.OpenText("2.5\n");
    EXPECT_EQ(in.ReadInts(v, 1), ReadStatus::Error);  // an integer has no decimal point
    in.OpenText("1e39 nan\n");
    EXPECT_EQ(in.ReadReals(r, 1), ReadStatus::Error);  // beyond single precision
}

TEST(FreeFormatRead, SlashEndsTheReadAndNullValuesKeepTheirTargets) {
    RecordReader in;
    in.OpenText("1 2 / 3\n4,,6\n");
    int v[3] = {7, 7, 7};
    ASSERT_EQ(in.ReadInts(v, 3), ReadStatus::Ok);
    EXPECT_EQ((std::vector<int>(v, v + 3)), (std::vector<int>{1, 2, 7}));
    ASSERT_EQ(in.ReadInts(v, 3), ReadStatus::Ok);
    EXPECT_EQ((std::vector<int>(v, v + 3)), (std::vector<int>{4, 2, 6}));
}

TEST(FreeFormatRead, NamesAreCutAtFourCharactersAndAtBlankCommaSlash) {
    RecordReader in;
    in.OpenText("ABCDEF\n  AB CD\n7\nX,Y\nP/Q\nZ\n");
    std::string name;
    ASSERT_EQ(in.ReadName(name), ReadStatus::Ok);
    EXPECT_EQ(name, "ABCD");
    ASSERT_EQ(in.ReadName(name), ReadStatus::Ok);
    EXPECT_EQ(name, "AB  ");
    int next = 0;
    ASSERT_EQ(in.ReadInts(&next, 1), ReadStatus::Ok);  // "CD" went with the rest of its line
    EXPECT_EQ(next, 7);
    in.ReadName(name);
    EXPECT_EQ(name, "X   ");
    in.ReadName(name);
    EXPECT_EQ(name, "P   ");
    in.ReadName(name);
    EXPECT_EQ(name, "Z   ");
}

TEST(FreeFormatRead, MixedItemsInOneRecord) {
    RecordReader in;
    in.OpenText("3 1 65 2.5 extra\nnext\n");
    int graphs = 0, pages = 0, lines = 0;
    float deviations = 0;
    ASSERT_EQ(in.ReadItems({FreeInt(graphs), FreeInt(pages), FreeInt(lines), FreeReal(deviations)}),
              ReadStatus::Ok);
    EXPECT_EQ(graphs, 3);
    EXPECT_EQ(lines, 65);
    EXPECT_FLOAT_EQ(deviations, 2.5f);
    std::string line;
    in.ReadLine(line);
    EXPECT_EQ(line, "next");
}

TEST(FixedRead, TextsNamesAndWholeLines) {
    const std::string longPath = "/tmp/" + std::string(150, 'p') + "/Dados.dat";
    RecordReader in;
    in.OpenText("AB C\r\nshort\r\n" + std::string(130, 't') + "\n" + longPath + "   \r\n");
    std::string text;
    ASSERT_EQ(in.ReadText(text, 4), ReadStatus::Ok);
    EXPECT_EQ(text, "AB C");
    in.ReadText(text, 128);
    EXPECT_EQ(text, "short" + std::string(123, ' '));
    in.ReadText(text, 128);
    EXPECT_EQ(text, std::string(128, 't'));
    in.ReadLine(text);
    EXPECT_EQ(text, longPath);
    EXPECT_EQ(in.ReadText(text, 4), ReadStatus::EndOfFile);
}

TEST(TableCapacity, CountsAreJudgedFromTheLinesAndCharactersLeft) {
    // Two rows of three values: four lines with something on them, 6 values of 1 character
    // at least. Blank lines hold no record.
    RecordReader in;
    in.OpenText("A\r\n\r\nB\r\n  \r\n1 2 3\r\n4 5 6\r\n");
    EXPECT_EQ(in.LinesLeft(), 6);
    EXPECT_TRUE(in.CanHoldTable(2, 3));
    EXPECT_FALSE(in.CanHoldTable(3, 3));
    EXPECT_FALSE(in.CanHoldTable(2, 20));
    EXPECT_FALSE(in.CanHoldTable(677000107, 2));
    EXPECT_TRUE(in.CanHoldTable(0, 5));
    // Null values take one comma each; a "/" may end a row of any length.
    in.OpenText("A\nB\n,,,,,,,,\n/");
    EXPECT_EQ(in.LinesLeft(), 4);
    EXPECT_TRUE(in.CanHoldTable(2, 5));
    EXPECT_FALSE(in.CanHoldTable(3, 5));
    in.OpenText("A\nB\n,,,,,,,,\n1");
    EXPECT_FALSE(in.CanHoldTable(2, 12));
    // Only what is left to read counts.
    in.OpenText("X\nA\nB\n1\n2\n");
    std::string name;
    ASSERT_EQ(in.ReadName(name), ReadStatus::Ok);
    EXPECT_EQ(in.LinesLeft(), 4);
    EXPECT_TRUE(in.CanHoldTable(2, 1));
    ASSERT_EQ(in.ReadName(name), ReadStatus::Ok);
    EXPECT_FALSE(in.CanHoldTable(2, 1));
}

TEST(FixedRead, DigitFlagsEightyToALine) {
    RecordReader in;
    in.OpenText(std::string(79, '1') + "0\r\n1 \n10x\n");
    std::vector<int> flags(82, 9);
    ASSERT_EQ(in.ReadDigits(flags.data(), 82), ReadStatus::Ok);
    EXPECT_EQ(flags[78], 1);
    EXPECT_EQ(flags[79], 0);
    EXPECT_EQ(flags[80], 1);
    EXPECT_EQ(flags[81], 0);  // a blank column reads as 0
    EXPECT_EQ(in.ReadDigits(flags.data(), 3), ReadStatus::Error);
    EXPECT_EQ(in.ReadDigits(flags.data(), 1), ReadStatus::EndOfFile);
}

TEST(FieldFormat, RealsFixedForm) {
    EXPECT_EQ(FormatF(12.0, 5, 0), "  12.");
    EXPECT_EQ(FormatF(3.14159, 8, 3), "   3.142");
    EXPECT_EQ(FormatF(-2.5, 6, 2), " -2.50");
    EXPECT_EQ(FormatF(0.5, 4, 2), "0.50");
    EXPECT_EQ(FormatF(-0.5, 4, 2), "-.50");  // the optional leading zero gives way
    EXPECT_EQ(FormatF(-0.5, 3, 2), "***");
    EXPECT_EQ(FormatF(12345.6, 6, 2), "******");
    EXPECT_EQ(FormatF(1000.0, 7, 2), "1000.00");
    EXPECT_EQ(FormatF(0.125, 9, 5), "  0.12500");
}

TEST(FieldFormat, RealsExponentForm) {
    EXPECT_EQ(FormatE(123.456, 13, 6), " 0.123456E+03");
    EXPECT_EQ(FormatE(0.0, 13, 6), " 0.000000E+00");
    EXPECT_EQ(FormatE(-0.000123456, 13, 6), "-0.123456E-03");
    EXPECT_EQ(FormatE(0.99999999, 13, 6), " 0.100000E+01");
    EXPECT_EQ(FormatE(1e120, 13, 6), " 0.100000+121");
    EXPECT_EQ(FormatE(1.0, 8, 6), "********");
}

TEST(FieldFormat, IntegersAndTexts) {
    EXPECT_EQ(FormatI(42, 5), "   42");
    EXPECT_EQ(FormatI(-5, 3), " -5");
    EXPECT_EQ(FormatI(12345, 4), "****");
    EXPECT_EQ(FormatText("AB", 4), "AB  ");
    EXPECT_EQ(FormatText("ABCDEF", 4), "ABCD");
    EXPECT_EQ(Repeat(" *", 3), " * * *");
}

TEST(FieldFormat, FreeValuesReadBackExactly) {
    for (float v : {0.1f, 87.75585f, 1.234e-7f, 3.0e30f}) {
        RecordReader in;
        in.OpenText(FreeRecord({v, -v}) + "\n");
        float back[2] = {};
        ASSERT_EQ(in.ReadReals(back, 2), ReadStatus::Ok);
        EXPECT_EQ(back[0], v);
        EXPECT_EQ(back[1], -v);
    }
}

TEST(RecordWriter, CreatesOrReplacesWithCrLfRecordsAndContinuations) {
    // A folder of the test's own: tests running at the same time share no file.
    std::string folder = (std::filesystem::temp_directory_path() / "tesmo_record_io_XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::filesystem::path dir = folder;
    {
        std::ofstream old(dir / "out.txt");
        old << "an older and longer content that must disappear\n";
    }
    RecordWriter out;
    ASSERT_TRUE(out.Create("out.txt   ", dir.string()));  // trailing blanks are not part of the name
    out.Write("A");
    out.WriteBlank();
    std::vector<std::string> fields;
    for (int k = 1; k <= 12; ++k)
        fields.push_back(FormatI(k, 3));
    WriteContinued(out, "NAME", "    ", fields, 5);
    ASSERT_TRUE(out.Close());
    std::ifstream in(dir / "out.txt", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(),
              "A\r\n\r\nNAME  1  2  3  4  5\r\n      6  7  8  9 10\r\n     11 12\r\n");
    std::filesystem::remove_all(dir);
}

}  // namespace
