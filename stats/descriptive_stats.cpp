#include "stats/descriptive_stats.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "res/resource_ids.h"
#include "ui/bitmap_print.h"
#include "ui/dialog_bases.h"

namespace {
constexpr UINT IDD_DESCRIPTIVE_STATS = 171;
constexpr int IDC_STATS_LIST = 1078;
constexpr int IDC_PREVIOUS = 1193;
const char kNotAvailable[] = "N/A";

// "%.4f", or "N/A" for a figure that is not a finite number.
CString Number(double value) { return std::isfinite(value) ? FormatString("%.4f", value) : CString(kNotAvailable); }

// A statistic taken in single precision, as the values are kept, when that can hold it;
// beyond its range the double is taken, so an extreme figure is shown and not "inf".
double Single(double value) { return std::fabs(value) <= FLT_MAX ? static_cast<float>(value) : value; }
}  // namespace

const std::vector<CString>& DescriptiveHeadings() {
    static const std::vector<CString> headings = {
        "Identificador", "n",           "Média",          "Moda",      "Mediana",           "Mínimo",
        "1º Quartil",    "3º Quartil",  "Máximo",         "Variância", "Desvio Padrão",     "Coef. Variação",
        "Amplitude",     "Int. Interquartil", "Coef. Assimetria", "S'"};
    return headings;
}

const std::vector<int>& DescriptiveColumnWidths() {
    static const std::vector<int> widths = {76, 37, 58, 58, 58, 58, 58, 58, 58, 58, 84, 84, 58, 90, 90, 58};
    return widths;
}

std::vector<CString> DescribeVariable(const COrderStatistics& stats, int i) {
    std::vector<CString> cells(DESCRIPTIVE_COLUMNS, CString(kNotAvailable));
    cells[0] = stats.GetVariableName(i);
    const int n = stats.GetValueCount(i);
    cells[1].Format("%d", n);
    // Without a present value nothing but the count is defined.
    if (n == 0) return cells;
    if (stats.GetVariableType(i + 1) != 1) {
        cells[3] = Number(stats.GetMode(i));
        return cells;
    }
    // The mean, quartiles and extremes are single-precision values (doubles beyond that
    // range); what is derived from them is computed in double.
    const double mean = Single(stats.GetMean(i));
    double q1 = 0, q3 = 0;
    const double median = Single(stats.GetQuartiles(i, q1, q3));
    q1 = Single(q1);
    q3 = Single(q3);
    const double minimum = Single(stats.GetMin(i));
    const double maximum = Single(stats.GetMax(i));
    const double iqr = q3 - q1;
    cells[2] = Number(mean);
    cells[4] = Number(median);
    cells[5] = Number(minimum);
    cells[6] = Number(q1);
    cells[7] = Number(q3);
    cells[8] = Number(maximum);
    cells[12] = Number(maximum - minimum);
    cells[13] = Number(iqr);
    if (iqr != 0.0) cells[15] = Number((mean - median) / iqr);
    // The sample variance needs two values.
    if (n < 2) return cells;
    double variance = stats.GetVariance(i);
    // A variance that rounded below 0 is 0; one that is not a number stays so.
    if (variance < 0.0) variance = 0.0;
    const double s = std::sqrt(variance);
    cells[9] = Number(variance);
    cells[10] = Number(s);
    if (mean != 0.0) cells[11] = Number(s / mean);
    // Skewness needs a spread among the sorted values themselves: when they are all equal
    // the sum of cubes is noise, whatever tiny variance the cells' sums left.
    const bool spread = s != 0.0 && minimum != maximum;
    if (spread && n >= 3) cells[14] = Number(stats.GetSkewness(i, s));
    return cells;
}

CString DescriptiveText(const std::vector<std::vector<CString>>& rows) {
    CString text;
    const std::vector<CString>& headings = DescriptiveHeadings();
    for (size_t c = 0; c < headings.size(); ++c) {
        if (c) text += "\t";
        text += headings[c];
    }
    text += "\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r) text += "\n";
        for (size_t c = 0; c < rows[r].size(); ++c) {
            if (c) text += "\t";
            text += rows[r][c];
        }
    }
    return text;
}

// --- Printing -------------------------------------------------------------------------------------

namespace {
// Text lines on which the bands of a page may start.
constexpr int kBandStarts[] = {10, 30, 50};

struct PrintLayout {
    int pageWidth = 0;
    int lineHeight = 1;
    int left = 0;          // left x of the table
    int labelWidth = 0;    // width of the column of statistic names
    int columnWidth = 0;   // width of one variable's column
    int pad = 0;
    int bandsPerPage = 1;
};

PrintLayout MeasurePage(CDC* dc) {
    PrintLayout l;
    l.pageWidth = dc->GetDeviceCaps(HORZRES);
    const int pageHeight = dc->GetDeviceCaps(VERTRES);
    l.lineHeight = std::max(1, static_cast<int>(dc->GetTextExtent("Mg", 2).cy));
    l.pad = std::max(1, static_cast<int>(dc->GetTextExtent("M", 1).cx) / 2);
    l.columnWidth = l.pageWidth / 6;
    for (const CString& h : DescriptiveHeadings())
        l.labelWidth = std::max(l.labelWidth, static_cast<int>(dc->GetTextExtent(h).cx) + 2 * l.pad);
    l.labelWidth = std::max(l.labelWidth, l.columnWidth);
    const int tableWidth = l.labelWidth + PRINT_BAND_VARIABLES * l.columnWidth;
    l.left = std::max(l.pad, (l.pageWidth - tableWidth) / 2);
    // A band fits when its last line ends above the footer, which sits 20 pixels above the
    // bottom of the printable area.
    const int footerTop = pageHeight - static_cast<int>(dc->GetTextExtent("Página - 1/1").cy) - 20;
    l.bandsPerPage = 0;
    for (int start : kBandStarts)
        if ((start + PRINT_BAND_LINES) * l.lineHeight <= footerTop - l.lineHeight / 2) ++l.bandsPerPage;
    // A page too small even for one band still prints one band per page.
    l.bandsPerPage = std::max(1, l.bandsPerPage);
    return l;
}

void PrintBand(CDC* dc, const PrintLayout& l, int startLine, const std::vector<std::vector<CString>>& rows,
               size_t first, size_t count, CPen* gridPen) {
    const std::vector<CString>& headings = DescriptiveHeadings();
    for (int j = 0; j < PRINT_BAND_LINES; ++j) {
        const int line = startLine + j;
        PrintTextLine(headings[static_cast<size_t>(j)], line, dc, 1, l.pageWidth, l.left + l.pad);
        for (size_t v = 0; v < count; ++v) {
            const CString& text = rows[first + v][static_cast<size_t>(j)];
            const int right = l.left + l.labelWidth + static_cast<int>(v + 1) * l.columnWidth - l.pad;
            if (j == 0 || text == kNotAvailable)
                PrintTextLine(text, line, dc, 2, l.pageWidth, right);
            else
                PrintNumber(std::atof(text), line, dc, 2, l.pageWidth, right, j == 1);
        }
    }
    CPen* oldPen = gridPen ? dc->SelectObject(gridPen) : nullptr;
    const int top = startLine * l.lineHeight;
    const int bottom = (startLine + PRINT_BAND_LINES) * l.lineHeight;
    const int right = l.left + l.labelWidth + static_cast<int>(count) * l.columnWidth;
    for (int j = 0; j <= PRINT_BAND_LINES; ++j) {
        dc->MoveTo(l.left, top + j * l.lineHeight);
        dc->LineTo(right, top + j * l.lineHeight);
    }
    for (size_t v = 0; v <= count + 1; ++v) {
        const int x = v == 0 ? l.left : l.left + l.labelWidth + static_cast<int>(v - 1) * l.columnWidth;
        dc->MoveTo(x, top);
        dc->LineTo(x, bottom);
    }
    if (oldPen) dc->SelectObject(oldPen);
}
}  // namespace

int PrintDescriptivePages(CDC* dc, const std::vector<std::vector<CString>>& rows, const CString& path,
                          const DescriptivePrintFonts& fonts) {
    CFont* oldFont = fonts.regular ? dc->SelectObject(fonts.regular) : nullptr;
    const PrintLayout layout = MeasurePage(dc);
    const size_t bands = (rows.size() + PRINT_BAND_VARIABLES - 1) / PRINT_BAND_VARIABLES;
    const size_t perPage = static_cast<size_t>(layout.bandsPerPage);
    const int pages = std::max(1, static_cast<int>((bands + perPage - 1) / perPage));
    dc->SetBkMode(TRANSPARENT);
    size_t next = 0;  // the next variable to print
    int printed = 0;
    for (int page = 1; page <= pages; ++page) {
        if (dc->StartPage() <= 0) break;
        if (fonts.bold) dc->SelectObject(fonts.bold);
        PrintTextLine("Estatística Descritiva", 2, dc, 0, layout.pageWidth, 0);
        if (fonts.regular) dc->SelectObject(fonts.regular);
        const char label[] = "Ficheiro:";
        PrintTextLine(label, 7, dc, 1, layout.pageWidth, 200);
        const int pathX = 200 + static_cast<int>(dc->GetTextExtent(label, static_cast<int>(sizeof label - 1)).cx) + 20;
        dc->TextOut(pathX, 7 * layout.lineHeight + 7, path);
        for (size_t b = 0; b < perPage && next < rows.size(); ++b) {
            const size_t count = std::min<size_t>(PRINT_BAND_VARIABLES, rows.size() - next);
            PrintBand(dc, layout, kBandStarts[b], rows, next, count, fonts.gridPen);
            next += count;
        }
        PrintPageFooter(dc, page, pages);
        if (dc->EndPage() <= 0) break;
        ++printed;
    }
    if (oldFont) dc->SelectObject(oldFont);
    return printed == pages ? printed : 0;
}

// --- The dialog -----------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDescriptiveStatsDlg, CDialog)
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_POPUP_COPY, &CDescriptiveStatsDlg::OnCopy)
    ON_COMMAND(ID_POPUP_PRINT, &CDescriptiveStatsDlg::OnPrint)
    ON_BN_CLICKED(IDC_PREVIOUS, &CDescriptiveStatsDlg::OnPrevious)
END_MESSAGE_MAP()

CDescriptiveStatsDlg::CDescriptiveStatsDlg(COrderStatistics* stats, CWnd* parent)
    : CDialog(IDD_DESCRIPTIVE_STATS, parent), m_pStats(stats) {
    m_blackPen.CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
}

CDescriptiveStatsDlg::~CDescriptiveStatsDlg() = default;

BOOL CDescriptiveStatsDlg::OnInitDialog() {
    m_list.SubclassDlgItem(IDC_STATS_LIST, this);
    const std::vector<CString>& headings = DescriptiveHeadings();
    const std::vector<int>& widths = DescriptiveColumnWidths();
    for (int c = 0; c < m_nColumns; ++c)
        m_list.InsertColumn(c, headings[static_cast<size_t>(c)], LVCFMT_RIGHT, widths[static_cast<size_t>(c)]);
    for (int i = 0; m_pStats && i < m_pStats->GetVariableCount(); ++i) {
        std::vector<CString> cells = DescribeVariable(*m_pStats, i);
        int item = m_list.InsertItem(i, cells[0]);
        for (int c = 1; c < m_nColumns; ++c) m_list.SetItemText(item, c, cells[static_cast<size_t>(c)]);
    }
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES);
    return CDialog::OnInitDialog();
}

std::vector<std::vector<CString>> CDescriptiveStatsDlg::GetRows() const {
    std::vector<std::vector<CString>> rows;
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        std::vector<CString> row;
        for (int c = 0; c < m_nColumns; ++c) row.push_back(m_list.GetItemText(i, c));
        rows.push_back(std::move(row));
    }
    return rows;
}

void CDescriptiveStatsDlg::OnContextMenu(CWnd* wnd, CPoint point) {
    // Only a click inside the list offers the menu.
    CRect listRect;
    m_list.GetWindowRect(&listRect);
    const bool fromKeyboard = point.x == -1 && point.y == -1;
    if (fromKeyboard) {
        if (wnd != &m_list && wnd != this) return;
        point = CPoint(listRect.left + 10, listRect.top + 10);
    } else if (!listRect.PtInRect(point)) {
        return;
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP_MENUS)) return;
    if (CMenu* popup = menu.GetSubMenu(0)) popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CDescriptiveStatsDlg::OnCopy() { CopyTextToClipboard(this, DescriptiveText(GetRows())); }

void CDescriptiveStatsDlg::OnPrint() {
    CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                     this);
    if (dlg.DoModal() != IDOK) return;
    CDC printer;
    if (!printer.Attach(dlg.GetPrinterDC())) return;
    const int dpi = printer.GetDeviceCaps(LOGPIXELSY);
    m_boldFont.DeleteObject();
    m_regularFont.DeleteObject();
    m_boldFont.CreateFont(-MulDiv(14, dpi, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                          CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    m_regularFont.CreateFont(-MulDiv(13, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                             CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    CString path;
    if (CTabulonDoc* doc = theApp.GetDocument()) path = doc->GetPathName();
    bool printed = false;
    if (printer.StartDoc(title) > 0)
        printed = PrintDescriptivePages(&printer, GetRows(), path, {&m_boldFont, &m_regularFont, &m_blackPen}) > 0;
    EndPrintJob(&printer, printed);
    printer.DeleteDC();
}

void CDescriptiveStatsDlg::OnPrevious() { EndDialog(STEP_PREVIOUS); }

void CDescriptiveStatsDlg::OnCancel() { EndDialog(STEP_FINISH); }
