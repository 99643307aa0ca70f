#include "engines/common/file_names.h"

#include <gtest/gtest.h>

namespace {

std::string Padded(const std::string& text, size_t width = 128) {
    std::string out = text;
    out.resize(width, ' ');
    return out;
}

TEST(MakeFileNameWithExtension, ReplacesTheExtensionOfTheLastComponent) {
    EXPECT_EQ(MakeFileNameWithExtension(Padded("/home/ana/exemplo.tsm"), "vpc"), Padded("/home/ana/exemplo.vpc"));
    // A dot in a folder name is not an extension.
    EXPECT_EQ(MakeFileNameWithExtension(Padded("/home/ana/dados.x/relat"), "lic"),
              Padded("/home/ana/dados.x/relat.lic"));
    EXPECT_EQ(MakeFileNameWithExtension(Padded("C:\\dados.x\\relat"), "vpc"), Padded("C:\\dados.x\\relat.vpc"));
    EXPECT_EQ(MakeFileNameWithExtension(Padded("/d/a.b.c"), "coc"), Padded("/d/a.b.coc"));
    int status = 7;
    EXPECT_EQ(MakeFileNameWithExtension(Padded(""), "gru", &status), Padded(".gru"));
    EXPECT_EQ(status, 0);
}

TEST(MakeFileNameWithExtension, TheExtensionNeverPassesColumn128) {
    // A dot at column 127: the extension starts at column 125.
    const std::string late = std::string(126, 'a') + ".t";
    EXPECT_EQ(MakeFileNameWithExtension(late, "vpc"), std::string(124, 'a') + ".vpc");
    // No dot in a full 128-column name: its first 124 characters, then the extension.
    EXPECT_EQ(MakeFileNameWithExtension(std::string(128, 'b'), "vpc"), std::string(124, 'b') + ".vpc");
    // A longer path (data paths are read whole) keeps its own width.
    const std::string longPath = "/" + std::string(140, 'c') + "/Dados.dat";
    EXPECT_EQ(MakeFileNameWithExtension(longPath, "gru"), "/" + std::string(140, 'c') + "/Dados.gru");
}

TEST(SystemFileName, TrimsConvertsAndPlacesRelativeNamesInTheFolder) {
    EXPECT_EQ(Cp1252ToUtf8("An\xE1lise \x80\x93"), "An\xC3\xA1lise \xE2\x82\xAC\xE2\x80\x9C");
    EXPECT_EQ(TrimTrailingBlanks("abc  \t\r\n"), "abc");
    EXPECT_EQ(SystemFileName("kelo.par   ", "/w/dados"), "/w/dados/kelo.par");
    EXPECT_EQ(SystemFileName("kelo.par", "/w/dados/"), "/w/dados/kelo.par");
    EXPECT_EQ(SystemFileName("/abs/Dados.dat  ", "/w/dados"), "/abs/Dados.dat");
    EXPECT_EQ(SystemFileName("Relat\xF3rio", ""), "Relat\xC3\xB3rio");
}

}  // namespace
