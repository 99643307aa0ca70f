#include "ui/table_print.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "ui/bitmap_print.h"

PrintedTable TableFromText(const CString& text) {
    auto cells = std::make_shared<std::vector<std::vector<CString>>>();
    const std::string& s = text.str();
    size_t pos = 0;
    while (pos < s.size()) {
        size_t end = s.find('\n', pos);
        if (end == std::string::npos) end = s.size();
        std::vector<CString> row;
        size_t from = pos;
        for (;;) {
            const size_t tab = s.find('\t', from);
            if (tab == std::string::npos || tab >= end) {
                row.emplace_back(s.substr(from, end - from));
                break;
            }
            row.emplace_back(s.substr(from, tab - from));
            from = tab + 1;
        }
        cells->push_back(std::move(row));
        pos = end + 1;
    }
    PrintedTable table;
    table.rows = std::max(0, static_cast<int>(cells->size()) - 1);
    for (const auto& row : *cells) table.columns = std::max(table.columns, static_cast<int>(row.size()));
    table.cell = [cells](int row, int column) {
        const auto& line = (*cells)[static_cast<size_t>(row)];
        return static_cast<size_t>(column) < line.size() ? line[static_cast<size_t>(column)] : CString();
    };
    return table;
}

namespace {

constexpr int kGap = 2;        // blanks between two columns
constexpr int kFirstLine = 1;  // the headings' first line on a sheet

// Where a sheet's part of the body starts: a row (1-based) and its first wrapped line.
struct BodyMark {
    int row;
    int line;
};

// How a table lies on the sheets: its columns' widths (in characters), the groups of columns
// that share a sheet, the height of each row (in lines) and where each sheet's rows start.
class TableLayout {
public:
    TableLayout(const PrintedTable& table, int sheetColumns, int sheetLines) : m_table(table) {
        MeasureColumns(sheetColumns);
        GroupColumns(sheetColumns);
        m_headingLines = RowLines(0);
        // The headings, the rule under them and at least one line of the body.
        m_bodyLines = std::max(1, sheetLines - m_headingLines - 1);
        MarkSheets();
    }

    int SheetCount() const { return static_cast<int>(m_marks.size() * m_groups.size()); }
    int Width(int column) const { return m_width[static_cast<size_t>(column)]; }

    // The columns printed on a sheet: the row names, then a group.
    std::vector<int> Columns(int sheet) const {
        std::vector<int> columns{0};
        const auto& group = m_groups[static_cast<size_t>(sheet) % m_groups.size()];
        columns.insert(columns.end(), group.begin(), group.end());
        return columns;
    }
    BodyMark Start(int sheet) const { return m_marks[static_cast<size_t>(sheet) / m_groups.size()]; }
    BodyMark End(int sheet) const {
        const size_t next = static_cast<size_t>(sheet) / m_groups.size() + 1;
        return next < m_marks.size() ? m_marks[next] : BodyMark{m_table.rows + 1, 0};
    }
    int RowLines(int row) const {
        if (row > 0 && m_allOneLine) return 1;
        int lines = 1;
        for (int c = 0; c < m_table.columns; ++c) lines = std::max(lines, CellLines(m_table.cell(row, c), c));
        return lines;
    }
    int HeadingLines() const { return m_headingLines; }

private:
    int CellLines(const CString& text, int column) const {
        const int width = Width(column);
        return std::max(1, (text.GetLength() + width - 1) / width);
    }

    // Each column as wide as its widest text, but the row names take at most a third of a
    // sheet and any other column at most what the row names leave.
    void MeasureColumns(int sheetColumns) {
        m_width.assign(static_cast<size_t>(std::max(1, m_table.columns)), 1);
        for (int r = 0; r <= m_table.rows; ++r)
            for (int c = 0; c < m_table.columns; ++c)
                m_width[static_cast<size_t>(c)] = std::max(m_width[static_cast<size_t>(c)], m_table.cell(r, c).GetLength());
        std::vector<int> natural = m_width;
        m_width[0] = std::min(m_width[0], std::max(1, sheetColumns / 3));
        const int widest = std::max(1, sheetColumns - m_width[0] - kGap);
        for (size_t c = 1; c < m_width.size(); ++c) m_width[c] = std::min(m_width[c], widest);
        // Only a body text cut by its column makes a row taller than one line.
        m_allOneLine = natural == m_width;
    }

    void GroupColumns(int sheetColumns) {
        m_groups.assign(1, {});
        int used = m_width[0];
        for (int c = 1; c < m_table.columns; ++c) {
            const int needed = kGap + Width(c);
            if (!m_groups.back().empty() && used + needed > sheetColumns) {
                m_groups.emplace_back();
                used = m_width[0];
            }
            m_groups.back().push_back(c);
            used += needed;
        }
    }

    // A row goes whole onto the next sheet when it does not fit the rest of this one; a row
    // taller than a sheet runs on over the next sheets.
    void MarkSheets() {
        m_marks.assign(1, BodyMark{1, 0});
        int used = 0;
        for (int r = 1; r <= m_table.rows; ++r) {
            const int lines = RowLines(r);
            if (used > 0 && used + lines > m_bodyLines && lines <= m_bodyLines) {
                m_marks.push_back({r, 0});
                used = 0;
            }
            int line = 0;
            while (used + lines - line > m_bodyLines) {
                line += m_bodyLines - used;
                m_marks.push_back({r, line});
                used = 0;
            }
            used += lines - line;
        }
    }

    const PrintedTable& m_table;
    std::vector<int> m_width;
    bool m_allOneLine = true;
    std::vector<std::vector<int>> m_groups;
    int m_headingLines = 1;
    int m_bodyLines = 1;
    std::vector<BodyMark> m_marks;
};

// Line `line` of a cell's text on the sheet's text line `at`: a text that fits its column
// stands at its right edge (the row names at the left); a text cut into lines starts each
// line at the left, so that it reads on.
void PrintCellLine(CDC* dc, const CString& text, int line, int width, bool rightAligned, int left, int cell, int at,
                   int pageWidth) {
    const CString part = text.Mid(line * width, width);
    if (part.IsEmpty()) return;
    if (rightAligned && text.GetLength() <= width) PrintTextLine(part, at, dc, 2, pageWidth, left + width * cell);
    else PrintTextLine(part, at, dc, 1, pageWidth, left);
}

}  // namespace

int PrintTablePages(CDC* dc, const PrintedTable& table) {
    if (!dc || !table.cell || table.columns < 1) return 0;
    const int pageWidth = dc->GetDeviceCaps(HORZRES);
    const int pageHeight = dc->GetDeviceCaps(VERTRES);
    const CSize cellSize = dc->GetTextExtent("0", 1);
    const int cell = std::max(1, static_cast<int>(cellSize.cx));
    const int lineHeight = std::max(1, static_cast<int>(cellSize.cy));
    const int margin = cell;
    const int sheetColumns = std::max(1, (pageWidth - 2 * margin) / cell);
    // The footer sits 20 pixels above the bottom; half a line stays free above it.
    const int footerTop = pageHeight - static_cast<int>(dc->GetTextExtent("Página - 1/1").cy) - 20;
    const int sheetLines = std::max(1, (footerTop - lineHeight / 2) / lineHeight - kFirstLine);
    const TableLayout layout(table, sheetColumns, sheetLines);
    const int sheets = layout.SheetCount();
    dc->SetBkMode(TRANSPARENT);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        if (dc->StartPage() <= 0) return 0;
        const std::vector<int> columns = layout.Columns(sheet);
        // Left edge of each column, in characters from the margin.
        std::vector<int> at;
        for (size_t i = 0, x = 0; i < columns.size(); ++i) {
            at.push_back(static_cast<int>(x));
            x += static_cast<size_t>(layout.Width(columns[i]) + kGap);
        }
        auto printRowLine = [&](int row, int line, int sheetLine) {
            for (size_t i = 0; i < columns.size(); ++i)
                PrintCellLine(dc, table.cell(row, columns[i]), line, layout.Width(columns[i]), columns[i] > 0,
                              margin + at[i] * cell, cell, sheetLine, pageWidth);
        };
        int sheetLine = kFirstLine;
        for (int line = 0; line < layout.HeadingLines(); ++line) printRowLine(0, line, sheetLine++);
        for (size_t i = 0; i < columns.size(); ++i)
            PrintTextLine(CString('-', layout.Width(columns[i])), sheetLine, dc, 1, pageWidth, margin + at[i] * cell);
        ++sheetLine;
        const BodyMark start = layout.Start(sheet), end = layout.End(sheet);
        for (int row = start.row; row <= end.row && row <= table.rows; ++row) {
            const int first = row == start.row ? start.line : 0;
            const int last = row == end.row ? end.line : layout.RowLines(row);
            for (int line = first; line < last; ++line) printRowLine(row, line, sheetLine++);
        }
        PrintPageFooter(dc, sheet + 1, sheets);
        if (dc->EndPage() <= 0) return 0;
    }
    return sheets;
}

void PrintTable(CWnd* owner, const PrintedTable& table) {
    CPrintDialog dialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                        owner);
    if (dialog.DoModal() != IDOK) return;
    CDC printer;
    if (!printer.Attach(dialog.GetPrinterDC())) return;
    CFont font;
    font.CreateFont(-MulDiv(10, printer.GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                    OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    bool printed = false;
    if (printer.StartDoc(title) > 0) {
        CFont* old = printer.SelectObject(&font);
        printed = PrintTablePages(&printer, table) > 0;
        if (old) printer.SelectObject(old);
    }
    EndPrintJob(&printer, printed);
    printer.DeleteDC();
}
