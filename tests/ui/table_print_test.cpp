// A table printed as text over several sheets, on a recording printer whose characters are
// 8 by 16 pixels: where the sheets break, what each repeats, and where every text lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/gdi/recording_dc.h"
#include "tests/support/gui_test.h"
#include "ui/table_print.h"

namespace {

// 416 pixels hold a margin of one character each side and 50 characters; 300 pixels hold,
// above the footer (16 high, 20 from the bottom, half a line clear of it), 15 lines below
// the first: the headings, their rule and 13 lines of the body.
RecordingDevice Sheet() {
    RecordingDevice device;
    device.printer = true;
    device.horzRes = 416;
    device.vertRes = 300;
    return device;
}

// Rows "r1"... named under "Nome", columns "Coluna 1"... holding "row.column".
PrintedTable Numbered(int rows, int columns) {
    PrintedTable table;
    table.rows = rows;
    table.columns = columns + 1;
    table.cell = [](int row, int column) {
        if (row == 0) return column == 0 ? CString("Nome") : FormatString("Coluna %d", column);
        return column == 0 ? FormatString("r%d", row) : FormatString("%d.%d", row, column);
    };
    return table;
}

struct Placed {
    int sheet;   // 1-based
    int x, y;
};

// Every text drawn, with its sheet and position.
std::multimap<std::string, Placed> Texts(const CRecordingDC& dc) {
    std::multimap<std::string, Placed> texts;
    int sheet = 0;
    for (const GdiRecord& r : dc.Records()) {
        if (r.op == "StartPage") ++sheet;
        if (r.op == "TextOut") texts.insert({r.text.str(), {sheet, r.args[0], r.args[1]}});
    }
    return texts;
}

std::vector<int> SheetsOf(const std::multimap<std::string, Placed>& texts, const std::string& text) {
    std::vector<int> sheets;
    auto [from, to] = texts.equal_range(text);
    for (auto it = from; it != to; ++it) sheets.push_back(it->second.sheet);
    return sheets;
}

TEST(TablePrint, ColumnsThatDoNotFitGoOnTheNextSheetAndEverySheetRepeatsHeadingsAndRowNames) {
    // Columns 10 wide with their gap after the row names (4): 1 to 4 fill 44 of the 50
    // characters, 5 and 6 go on a sheet of their own; 20 rows take two bands of 13 and 7.
    CRecordingDC dc(Sheet());
    const PrintedTable table = Numbered(20, 6);
    ASSERT_EQ(PrintTablePages(&dc, table), 4);
    EXPECT_EQ(dc.Find("StartPage").size(), 4u);
    EXPECT_EQ(dc.Find("EndPage").size(), 4u);
    const auto texts = Texts(dc);
    for (int sheet = 1; sheet <= 4; ++sheet)
        EXPECT_EQ(SheetsOf(texts, FormatString("Página - %d/4", sheet).str()), std::vector<int>{sheet});
    // Over first, then down: rows 1-13 with columns 1-4, then with 5-6; then rows 14-20.
    EXPECT_EQ(SheetsOf(texts, "Nome"), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(SheetsOf(texts, "Coluna 4"), (std::vector<int>{1, 3}));
    EXPECT_EQ(SheetsOf(texts, "Coluna 5"), (std::vector<int>{2, 4}));
    EXPECT_EQ(SheetsOf(texts, "r13"), (std::vector<int>{1, 2}));
    EXPECT_EQ(SheetsOf(texts, "r14"), (std::vector<int>{3, 4}));
    for (int row = 1; row <= 20; ++row)
        for (int column = 1; column <= 6; ++column) {
            const std::string cell = FormatString("%d.%d", row, column).str();
            ASSERT_EQ(texts.count(cell), 1u) << cell;
            const Placed at = texts.find(cell)->second;
            EXPECT_EQ(at.sheet, (row > 13 ? 2 : 0) + (column > 4 ? 2 : 1)) << cell;
            // Right-aligned in its column; the row on its line below the headings and rule.
            const int slot = column > 4 ? column - 5 : column - 1;
            EXPECT_EQ(at.x + 8 * static_cast<int>(cell.size()), 8 + 8 * (4 + 2 + 10 * slot + 8)) << cell;
            EXPECT_EQ(at.y, 16 * (3 + (row - 1) % 13)) << cell;
        }
    // The row names stand at the left margin; nothing reaches down to the footer.
    EXPECT_EQ(texts.find("r7")->second.x, 8);
    for (const auto& [text, at] : texts) {
        if (text.rfind("Página", 0) != 0) {
            EXPECT_LE(at.y + 16, 300 - 36 - 8) << text;
        }
    }
}

TEST(TablePrint, ATextWiderThanItsColumnRunsOnOverMoreLinesAndSheets) {
    // The row names take at most a third of the sheet (16 characters), any other column what
    // they leave (50 - 16 - 2 = 32). Row 2's value of 80 digits takes three lines of its row;
    // row 5's name of 400 characters takes 25 lines, over the end of the first sheet and into the
    // second.
    const std::string digits = std::string("0123456789").append("0123456789").append(60, '7');
    std::string name;
    for (int i = 0; i < 100; ++i) name += FormatString("%03d,", i).str();
    PrintedTable table;
    table.rows = 6;
    table.columns = 2;
    table.cell = [&](int row, int column) {
        if (row == 0) return CString(column == 0 ? "Nome" : "Valor");
        if (column == 0) return row == 5 ? CString(name) : FormatString("r%d", row);
        return row == 2 ? CString(digits) : FormatString("%d", row);
    };
    CRecordingDC dc(Sheet());
    ASSERT_EQ(PrintTablePages(&dc, table), 3);
    const auto texts = Texts(dc);
    // Row 1 on line 3, row 2 on lines 4 to 6 (32, 32 and 16 digits from the column's left
    // edge at 8 + 8 * 18), rows 3 and 4 on lines 7 and 8.
    std::string joined;
    int line = 4;
    for (const auto& part : {digits.substr(0, 32), digits.substr(32, 32), digits.substr(64)}) {
        ASSERT_EQ(texts.count(part), 1u) << part;
        const Placed at = texts.find(part)->second;
        EXPECT_EQ(at.x, 8 + 8 * 18);
        EXPECT_EQ(at.y, 16 * line++);
        joined += part;
    }
    EXPECT_EQ(joined, digits);
    EXPECT_EQ(texts.find("4")->second.y, 16 * 8);
    // Row 5 starts on line 9: 7 lines fit the first sheet, 13 the second, 5 the third, where
    // row 6 follows. Its pieces, in drawing order, give the whole name back.
    std::string printedName;
    std::vector<int> sheets;
    for (const GdiRecord& r : dc.Records())
        if (r.op == "TextOut" && r.text.GetLength() == 16 && name.find(r.text.str()) != std::string::npos)
            printedName += r.text.str();
    for (int i = 0; i < 25; ++i) sheets.push_back(SheetsOf(texts, name.substr(16 * static_cast<size_t>(i), 16)).front());
    EXPECT_EQ(printedName, name);
    EXPECT_EQ(std::count(sheets.begin(), sheets.end(), 1), 7);
    EXPECT_EQ(std::count(sheets.begin(), sheets.end(), 2), 13);
    EXPECT_EQ(std::count(sheets.begin(), sheets.end(), 3), 5);
    EXPECT_EQ(SheetsOf(texts, "r6"), std::vector<int>{3});
    EXPECT_EQ(SheetsOf(texts, "Valor"), (std::vector<int>{1, 2, 3}));
}

}  // namespace
