// The table of sixteen summary statistics, one row per analysed variable, its dialog with
// copy and print, and the printed layout.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx.h"
#include "stats/order_statistics.h"

constexpr int DESCRIPTIVE_COLUMNS = 16;

// The column headings and their widths in pixels.
const std::vector<CString>& DescriptiveHeadings();
const std::vector<int>& DescriptiveColumnWidths();

// The sixteen cell texts of variable i (counted from 0): name, count ("%d"), then numbers
// in "%.4f" or "N/A" where a statistic is not defined.
std::vector<CString> DescribeVariable(const COrderStatistics& stats, int i);

// The table as tab-separated text: the headings, then each row; rows are separated by "\n"
// and the last one ends without it.
CString DescriptiveText(const std::vector<std::vector<CString>>& rows);

// The printed table: a heading, the data file's path, and per page up to three bands of
// four variables each, transposed (statistics down, variables across). A band that does not
// fit the printable height goes to the next page. The context must have a document started
// and a regular font to measure with; bold is used for the heading. Returns the number of
// pages printed, or 0 when the printer refused a page.
struct DescriptivePrintFonts {
    CFont* bold = nullptr;
    CFont* regular = nullptr;
    CPen* gridPen = nullptr;
};
int PrintDescriptivePages(CDC* dc, const std::vector<std::vector<CString>>& rows, const CString& path,
                          const DescriptivePrintFonts& fonts);
// Variables per band and the lines of text each band needs (its header line included).
constexpr int PRINT_BAND_VARIABLES = 4;
constexpr int PRINT_BAND_LINES = DESCRIPTIVE_COLUMNS;

class CDescriptiveStatsDlg : public CDialog {
public:
    CDescriptiveStatsDlg(COrderStatistics* stats, CWnd* parent = nullptr);
    ~CDescriptiveStatsDlg() override;

    BOOL OnInitDialog() override;
    // "Sair" and Escape end the command.
    void OnCancel() override;

    // The rows as the list shows them.
    std::vector<std::vector<CString>> GetRows() const;

protected:
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnCopy();
    void OnPrint();
    void OnPrevious();

    COrderStatistics* m_pStats;
    CListCtrl m_list;
    int m_nColumns = DESCRIPTIVE_COLUMNS;
    CFont m_boldFont;
    CFont m_regularFont;
    CPen m_blackPen;

    DECLARE_MESSAGE_MAP()
};
