// Printing a table of texts over as many sheets as it needs: the main table and the report
// lists print through here.
#pragma once

#include <functional>

#include "platform/afx.h"

// A table as it is printed: row 0 holds the headings, rows 1 to `rows` the body; column 0
// names the rows.
struct PrintedTable {
    int rows = 0;      // body rows, the headings not counted
    int columns = 0;   // the row names' column included
    std::function<CString(int row, int column)> cell;
};

// The table of a tab-separated text, one row a line, its first line the headings (the text
// that a list's "Copiar" puts on the clipboard). A short line leaves its last cells empty.
PrintedTable TableFromText(const CString& text);

// Prints the table, in the context's current font (a fixed-pitch one), on a printer context
// whose document has started. Every sheet repeats the headings and the row names; the
// columns that do not fit a sheet's width continue on the sheets that follow it, before the
// next rows; a text wider than a whole sheet runs on over further lines of its row. Each
// sheet ends with "Página - n/N". Returns the number of sheets, 0 when one failed.
int PrintTablePages(CDC* dc, const PrintedTable& table);

// The whole print: the print dialog above owner, the table in a 10-point fixed-pitch font,
// and "Erro a imprimir" when the job fails. Nothing is printed when the dialog is cancelled.
void PrintTable(CWnd* owner, const PrintedTable& table);
