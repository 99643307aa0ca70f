#include <gtest/gtest.h>

#include "platform/ui/win_messages.h"
#include "tests/play/script.h"

using play::ParseError;
using play::ParseScript;

namespace {

// The line number of the parse error a script gives, or 0 when it parses.
int ErrorLine(const std::string& text) {
    try {
        ParseScript(text, "/cases/x/script");
    } catch (const ParseError& e) {
        return e.Line();
    }
    return 0;
}

}  // namespace

TEST(ScriptTokens, BlanksQuotesAndSemicolons) {
    EXPECT_EQ(play::Tokenize("  a  \"b c\"\td ", 1, false), (std::vector<std::string>{"a", "b c", "d"}));
    EXPECT_EQ(play::Tokenize("x\"y z\"w", 1, false), (std::vector<std::string>{"xy zw"}));
    EXPECT_EQ(play::Tokenize("\"\"", 1, false), (std::vector<std::string>{""}));
    EXPECT_EQ(play::Tokenize("click 1; type 2 \"a;b\";key TAB", 1, true),
              (std::vector<std::string>{"click", "1", ";", "type", "2", "a;b", ";", "key", "TAB"}));
    EXPECT_EQ(play::Tokenize("a;b", 1, false), (std::vector<std::string>{"a;b"}));
    try {
        play::Tokenize("type 1 \"open", 7, false);
        FAIL() << "an unclosed quote was accepted";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.Line(), 7);
    }
}

TEST(ScriptParse, LinesDialogsAndSettings) {
    play::Script s = ParseScript(
        "# a comment\r\n"
        "\n"
        "timeout 30\n"
        "engines kelo.exe fenola.exe\n"
        "open data/x.tsm\n"
        "   # indented comment\n"
        "dialog 169: type 1000 \"Peso em kg\"; check 1138;click 1\n"
        "dialog 190 : key RETURN\n"
        "box yes \"Deseja gravar\"\n"
        "menu \"Ficheiro/Gravar como...\"\n",
        "/cases/x/script");
    EXPECT_EQ(s.folder, "/cases/x");
    EXPECT_EQ(s.timeoutSeconds, 30);
    EXPECT_TRUE(s.enginesGiven);
    EXPECT_EQ(s.engines, (std::vector<std::string>{"kelo.exe", "fenola.exe"}));
    ASSERT_EQ(s.lines.size(), 5u);
    EXPECT_EQ(s.lines[0].verb, "open");
    EXPECT_EQ(s.lines[0].number, 5);
    const play::Line& d = s.lines[1];
    EXPECT_EQ(d.verb, "dialog");
    EXPECT_EQ(d.number, 7);
    EXPECT_EQ(d.dialogId, 169u);
    ASSERT_EQ(d.actions.size(), 3u);
    EXPECT_EQ(d.actions[0].name, "type");
    EXPECT_EQ(d.actions[0].args, (std::vector<std::string>{"1000", "Peso em kg"}));
    EXPECT_EQ(d.actions[1].name, "check");
    EXPECT_EQ(d.actions[2].args, (std::vector<std::string>{"1"}));
    EXPECT_EQ(s.lines[2].dialogId, 190u);
    EXPECT_EQ(s.lines[3].args, (std::vector<std::string>{"yes", "Deseja gravar"}));
    EXPECT_EQ(s.lines[4].args, (std::vector<std::string>{"Ficheiro/Gravar como..."}));

    play::Script d2 = ParseScript("open x\n", "script");
    EXPECT_EQ(d2.folder, ".");
    EXPECT_EQ(d2.timeoutSeconds, 120);
    EXPECT_FALSE(d2.enginesGiven);
}

TEST(ScriptParse, MistakesNameTheirLine) {
    EXPECT_EQ(ErrorLine("open a\nfrobnicate\n"), 2);
    EXPECT_EQ(ErrorLine("open\n"), 1);                          // a path is needed
    EXPECT_EQ(ErrorLine("open a b\n"), 1);                      // one path only
    EXPECT_EQ(ErrorLine("command abc\n"), 1);
    EXPECT_EQ(ErrorLine("command -5\n"), 1);
    EXPECT_EQ(ErrorLine("box maybe\n"), 1);
    EXPECT_EQ(ErrorLine("box ok \"a\" \"b\"\n"), 1);
    EXPECT_EQ(ErrorLine("\n\ndialog 169 click 1\n"), 3);        // no ':'
    EXPECT_EQ(ErrorLine("dialog x: click 1\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 169:\n"), 1);                   // no actions
    EXPECT_EQ(ErrorLine("dialog 169: click\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 169: click 1; jump 2\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 169: tick 1078\n"), 1);         // an index is needed
    EXPECT_EQ(ErrorLine("dialog 169: key NOSUCHKEY\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 169: rclick 5 10\n"), 1);       // X without Y
    EXPECT_EQ(ErrorLine("dialog 169: close 1\n"), 1);
    EXPECT_EQ(ErrorLine("timeout 0\n"), 1);
    EXPECT_EQ(ErrorLine("timeout 5\ntimeout 6\n"), 2);
    EXPECT_EQ(ErrorLine("compare-numbers a b -1\n"), 1);
    EXPECT_EQ(ErrorLine("menu \"Ficheiro/\xE4\xB8\xAD\"\n"), 1);  // a character outside the code page
    EXPECT_EQ(ErrorLine("viewer\n"), 1);                       // a path is needed
    EXPECT_EQ(ErrorLine("viewer a b\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 200: edit-cell 5 1 1\n"), 1);  // the text is needed
    EXPECT_EQ(ErrorLine("dialog 181: viewer\n"), 1);           // an action is needed
    EXPECT_EQ(ErrorLine("dialog 181: viewer scroll 3\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 181: viewer key\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 174: with 192 viewer key NEXT\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 174: hover 1142 10\n"), 1);    // a point needs its y
    EXPECT_EQ(ErrorLine("dialog 174: lclick 1142\n"), 1);      // a point is needed
    EXPECT_EQ(ErrorLine("dialog 174: slider 1181\n"), 1);      // a position is needed
    EXPECT_EQ(ErrorLine("dialog 174: tip\n"), 1);              // a path is needed
    EXPECT_EQ(ErrorLine("dialog 174: with 192\n"), 1);         // an action is needed
    EXPECT_EQ(ErrorLine("dialog 174: with x click 1\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 174: with 192 jump 1\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 174: with 192 click\n"), 1);   // the inner action's arguments are checked
    EXPECT_EQ(ErrorLine("dialog 174: with 192 with 193 click 1\n"), 1);
    EXPECT_EQ(ErrorLine("dialog 174: drag 1142 1 2 3\n"), 1);  // a corner without its y
    // Well formed.
    EXPECT_EQ(ErrorLine("dialog 169: rclick 5; rclick 5 10 -3; tick 1078 0 2 3; wait-ms 10\n"), 0);
    EXPECT_EQ(ErrorLine("dialog 174: drag 1142 10 20 30 40; texts 1142 out.txt\n"), 0);
    EXPECT_EQ(ErrorLine("dialog 174: lclick 1142 5 6; hover 1142 7 8; tip t.txt; with 192 slider 1181 3; "
                        "with 192 tick 1186 0 1\n"),
              0);
    EXPECT_EQ(ErrorLine("compare-numbers a b 0.0005\nfile cancel\npopup none\nprint cancel\n"), 0);
    EXPECT_EQ(ErrorLine("viewer $TMP/listing.txt\n"), 0);
}

TEST(ScriptParse, KeysByNameOrNumber) {
    EXPECT_EQ(play::KeyCode("RETURN"), VK_RETURN);
    EXPECT_EQ(play::KeyCode("ESCAPE"), VK_ESCAPE);
    EXPECT_EQ(play::KeyCode("SPACE"), VK_SPACE);
    EXPECT_EQ(play::KeyCode("TAB"), VK_TAB);
    EXPECT_EQ(play::KeyCode("DELETE"), VK_DELETE);
    EXPECT_EQ(play::KeyCode("65"), 65u);
    EXPECT_EQ(play::KeyCode("0"), 0u);
    EXPECT_EQ(play::KeyCode("300"), 0u);
    EXPECT_EQ(play::KeyCode("return"), 0u);
}

TEST(Comparisons, NumbersWithinToleranceAndWordsExactly) {
    EXPECT_EQ(play::CompareNumbers("a 1.0000 2\nb -3.5\n", "a  1 2.0004\r\nb -3.5", 0.0005), "");
    EXPECT_NE(play::CompareNumbers("a 1.001\n", "a 1\n", 0.0005), "");
    EXPECT_EQ(play::CompareNumbers("1.000001 -2.500001\n", "1.000000 -2.500000\n", 0.000001), "");
    EXPECT_NE(play::CompareNumbers("1.000002\n", "1.000000\n", 0.000001), "");
    EXPECT_EQ(play::CompareNumbers("12345.678\n", "12345.678\n", 0), "");
    EXPECT_NE(play::CompareNumbers("Media 1\n", "Média 1\n", 1), "");       // words compare exactly
    EXPECT_NE(play::CompareNumbers("a 1 2\n", "a 1\n", 0), "");             // a token too many
    EXPECT_NE(play::CompareNumbers("1.5x\n", "1.5\n", 1), "");              // not a whole number
    EXPECT_NE(play::CompareNumbers("nan\n", "nan0\n", 1), "");
    std::string where = play::CompareNumbers("x\ny 2\nz 3\n", "x\ny 2\nz 4\n", 0.5);
    EXPECT_NE(where.find("output line 3"), std::string::npos) << where;
}

TEST(Comparisons, BytesSayWhereTheyDiffer) {
    EXPECT_EQ(play::CompareBytes("a\r\nb", "a\r\nb"), "");
    EXPECT_NE(play::CompareBytes("a\r\nb", "a\nb"), "");
    std::string where = play::CompareBytes("l1\nl2\nxx", "l1\nl2\nxy");
    EXPECT_NE(where.find("byte 7 (line 3)"), std::string::npos) << where;
    EXPECT_NE(play::CompareBytes("abc", "ab"), "");
}
