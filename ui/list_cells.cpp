#include "ui/list_cells.h"

#include <climits>
#include <cmath>

CString FormatIntegerCell(double value) {
    if (!std::isfinite(value)) return "N/A";
    double t = std::trunc(value);
    if (t >= static_cast<double>(INT_MIN) && t <= static_cast<double>(INT_MAX)) {
        CString s;
        s.Format("%d", static_cast<int>(t));
        return s;
    }
    return FormatFixed(t, 0);
}

void SetListItemNumber(int item, double value, BOOL asInteger, int subItem, CListCtrl* list) {
    if (!list) return;
    list->SetItemText(item, subItem, asInteger ? FormatIntegerCell(value) : FormatFixed(value, 4));
}

void SetListItemText(int item, const char* text, int subItem, CListCtrl* list) {
    if (list) list->SetItemText(item, subItem, text);
}
