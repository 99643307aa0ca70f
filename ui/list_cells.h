// Writing single cells of report lists.
#pragma once

#include "platform/afx.h"

// The integer part of a value as a cell shows it: "%d" within the int range, "%.0f"
// beyond it, "N/A" for a value that is not finite.
CString FormatIntegerCell(double value);

// Writes "%d" of the value truncated toward zero (asInteger) or "%.4f" of the value as the
// text of (item, sub-item); the item must exist.
void SetListItemNumber(int item, double value, BOOL asInteger, int subItem, CListCtrl* list);
// Writes a text into (item, sub-item); the item must exist.
void SetListItemText(int item, const char* text, int subItem, CListCtrl* list);
