#include "charts/chart_wnd.h"

#include <cstdio>
#include <exception>

#include "app/data_table.h"
#include "platform/ui/shell.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "ui/bitmap_print.h"
#include "ui/list_controls.h"

namespace {
// Posted to the chart window by its paint when drawing met errors, so that their boxes
// open after the paint has ended.
constexpr UINT WM_CHART_DRAW_ERRORS = WM_USER + 0x142;
}  // namespace

// --- CMemDC ------------------------------------------------------------------------------------

CMemDC::CMemDC(CDC* target, CBitmap* bitmap, const CRect* rect) : m_target(target) {
    m_memory = !target->IsPrinting();
    m_rect = rect ? *rect : CRect(0, 0, target->GetDeviceCaps(HORZRES), target->GetDeviceCaps(VERTRES));
    if (!m_memory) {
        Attach(target->GetSafeHdc());
        return;
    }
    CreateCompatibleDC(target);
    CBitmap* into = bitmap;
    if (!into) {
        m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
        into = &m_bitmap;
    }
    m_oldBitmap = SelectObject(into);
}

CMemDC::~CMemDC() {
    if (!m_memory) {
        Detach();
        return;
    }
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                     SRCCOPY);
    if (m_oldBitmap) SelectObject(m_oldBitmap);
}

// --- CChartWnd ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CChartWnd, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_POPUP_PRINT, &CChartWnd::OnPrint)
    ON_COMMAND(ID_POPUP_COPY, &CChartWnd::OnCopy)
    ON_COMMAND(ID_POPUP_RESTORE_POSITION, &CChartWnd::OnRestorePosition)
    ON_COMMAND(ID_POPUP_SELECTED_SAMPLES, &CChartWnd::OnSelectedSamples)
    ON_MESSAGE(WM_CHART_DRAW_ERRORS, &CChartWnd::OnShowDrawErrors)
END_MESSAGE_MAP()

CChartWnd::CChartWnd()
    : m_titleFont(std::make_unique<CFont>()), m_textFont(std::make_unique<CFont>()),
      m_labelFont(std::make_unique<CFont>()) {
    m_tip.Create(this);
}

CChartWnd::~CChartWnd() = default;

void CChartWnd::SetPage(CPlotPage* page, BOOL noRedraw) {
    m_page = page;
    if (!noRedraw && GetSafeHwnd()) {
        Invalidate();
        UpdateWindow();
    }
}

BOOL CChartWnd::OnEraseBkgnd(CDC*) { return FALSE; }

void CChartWnd::OnPaint() {
    {
        CDrawErrorScope holdMessages;
        CPaintDC dc(this);
        const int saved = dc.SaveDC();
        CRect client;
        GetClientRect(&client);
        // The buffer follows the window's size: one made for a smaller window would leave
        // the rest of the window black.
        if (m_backBuffer) {
            BITMAP info{};
            if (!m_backBuffer->GetBitmap(&info) || info.bmWidth != client.Width() || info.bmHeight != client.Height())
                m_backBuffer.reset();
        }
        if (!m_backBuffer) {
            auto buffer = std::make_unique<CBitmap>();
            if (buffer->CreateCompatibleBitmap(&dc, client.Width(), client.Height())) m_backBuffer = std::move(buffer);
            else ReportDrawLastError();
        }
        try {
            CMemDC memory(&dc, m_backBuffer.get(), &client);
            if (m_page) m_page->Draw(&memory, client.left, client.top, client.right, client.bottom);
            else memory.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
            dc.RestoreDC(saved);
            if (m_page) m_page->AfterPaint(this);
        } catch (const std::exception& e) {
            char text[1025];
            std::snprintf(text, sizeof text, "%s", e.what());
            ReportDrawError(text);
        }
        for (CDrawError& e : CDrawErrorScope::TakePending()) m_drawErrors.push_back(std::move(e));
    }
    if (!m_drawErrors.empty()) PostMessage(WM_CHART_DRAW_ERRORS);
}

LRESULT CChartWnd::OnShowDrawErrors(WPARAM, LPARAM) {
    std::vector<CDrawError> errors;
    errors.swap(m_drawErrors);
    ShowDrawErrors(errors);
    return 0;
}

void CChartWnd::OnMouseMove(UINT, CPoint point) {
    if (!m_page) return;
    std::vector<CString> texts;
    if (m_page->GetHoverTexts(texts, point.x, point.y)) {
        m_tip.ClearText();
        m_tip.SetText(texts);
        m_tip.OnOwnerMouseMove(point.x, point.y);
    }
    m_page->OnMouseMove(this, point.x, point.y);
}

void CChartWnd::OnLButtonDown(UINT, CPoint point) {
    if (m_page) m_page->OnButtonDown(this, point.x, point.y);
}

void CChartWnd::OnLButtonUp(UINT, CPoint point) {
    if (!m_page) return;
    if (m_page->OnButtonUp(this, point.x, point.y)) {
        Invalidate();
        UpdateWindow();
    }
    if (m_page->HasSelection()) {
        CMenu menu;
        if (!menu.LoadMenu(IDR_POPUP_MENUS)) return;
        CMenu* popup = menu.GetSubMenu(2);
        if (!popup) return;
        // A zoom to the rectangle is not offered.
        popup->EnableMenuItem(ID_POPUP_ZOOM, MF_BYCOMMAND | MF_GRAYED);
        CPoint screen = point;
        ClientToScreen(&screen);
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
    }
}

void CChartWnd::OnContextMenu(CWnd*, CPoint point) {
    m_tip.Hide();
    CPoint client = point;
    ScreenToClient(&client);
    m_menuItem = m_page ? m_page->ItemAt(client.x, client.y) : -1;
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP_MENUS)) return;
    CMenu* popup = menu.GetSubMenu(m_menuItem == -1 ? 0 : 1);
    if (!popup) return;
    if (m_menuItem != -1) popup->SetDefaultItem(3, TRUE);
    // Without a page there is nothing to print or copy.
    if (!m_page) {
        popup->EnableMenuItem(ID_POPUP_COPY, MF_BYCOMMAND | MF_GRAYED);
        popup->EnableMenuItem(ID_POPUP_PRINT, MF_BYCOMMAND | MF_GRAYED);
    }
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CChartWnd::OnRestorePosition() {
    if (m_page) m_page->RestoreInitialPosition(this, m_menuItem);
}

void CChartWnd::CreatePrintFonts(CDC* printer) {
    const int dpi = printer->GetDeviceCaps(LOGPIXELSY);
    auto make = [&](std::unique_ptr<CFont>& font, int points, int weight) {
        // A new font object at every print: the old one and its font go first.
        font = std::make_unique<CFont>();
        font->CreateFont(-MulDiv(points, dpi, 72), 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                         CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    };
    make(m_titleFont, 20, 700);
    make(m_labelFont, 14, 700);
    make(m_textFont, 13, 400);
}

void CChartWnd::OnPrint() {
    if (!m_page) return;
    CPrintDialog dialog(FALSE,
                        PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION, this);
    if (dialog.DoModal() != IDOK) return;
    CDC printer;
    if (!printer.Attach(dialog.GetPrinterDC())) return;
    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    if (printer.StartDoc(title) <= 0) {
        EndPrintJob(&printer, false);
        return;
    }
    CreatePrintFonts(&printer);
    bool printed = false;
    if (printer.StartPage() > 0) {
        // The page as the window shows it, in an image of the window's size, centred on the
        // sheet and enlarged by the ratio of the two resolutions.
        CRect client;
        GetClientRect(&client);
        CClientDC screen(this);
        CDC image;
        CBitmap pixels;
        if (image.CreateCompatibleDC(&screen) && pixels.CreateCompatibleBitmap(&screen, client.Width(), client.Height())) {
            CBitmap* old = image.SelectObject(&pixels);
            {
                CDrawErrorScope holdMessages;
                m_page->Draw(&image, client.left, client.top, client.right, client.bottom);
            }
            PrintWindowBitmap(&image, &printer, client);
            image.SelectObject(old);
        }
        m_page->DrawHeader(&printer, m_titleFont.get(), m_labelFont.get(), m_textFont.get());
        printed = printer.EndPage() > 0;
    }
    EndPrintJob(&printer, printed);
}

void CChartWnd::OnCopy() {
    if (!m_page) return;
    CClientDC reference(this);
    CMetaFileDC metafile;
    if (!metafile.CreateEnhanced(&reference, nullptr, nullptr, "Grafico Tesmo\0\0")) return;
    CRect client;
    GetClientRect(&client);
    {
        CDrawErrorScope holdMessages;
        m_page->Draw(&metafile, client.left, client.top, client.right, client.bottom);
    }
    HENHMETAFILE picture = metafile.CloseEnhanced();
    if (!picture) return;
    if (!OpenClipboard(this)) {
        DeleteEnhMetaFile(picture);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_ENHMETAFILE, picture)) DeleteEnhMetaFile(picture);
    CloseClipboard();
}

void CChartWnd::OnSelectedSamples() {
    if (!m_page) return;
    std::vector<CSeriesPoint> samples;
    m_page->CollectSelectedSamples(samples);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    m_page->GetSelectionWorldRect(x1, y1, x2, y2);
    if (samples.empty()) return;
    CDataTable table;
    table.SetSize(static_cast<int>(samples.size()), 2);
    table.SetTitle("Ids");
    table.SetVariableName(1, "Valor X");
    table.SetVariableName(2, "Valor Y");
    for (size_t i = 0; i < samples.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        table.SetRowName(row, samples[i].label);
        table.SetValue(row, 1, samples[i].x);
        table.SetValue(row, 2, samples[i].y);
    }
    CSelectedSamplesDlg dialog(&table, x1, y1, x2, y2, this);
    dialog.DoModal();
}

// --- CSelectedSamplesDlg -----------------------------------------------------------------------

namespace {
CString CornerText(float x, float y) {
    char text[128];
    std::snprintf(text, sizeof text, "(%.3f ; %.3f)", static_cast<double>(x), static_cast<double>(y));
    return CString(text);
}
}  // namespace

CSelectedSamplesDlg::CSelectedSamplesDlg(CDataTable* table, float x1, float y1, float x2, float y2, CWnd* parent)
    : CDialog(IDD_SELECTED_SAMPLES, parent), m_table(table), m_list(std::make_unique<CCopyListCtrl>()),
      m_firstCorner(CornerText(x1, y1)), m_secondCorner(CornerText(x2, y2)) {
    m_list->SetTable(table);
}

CSelectedSamplesDlg::~CSelectedSamplesDlg() = default;

void CSelectedSamplesDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SELECTED_LIST, *m_list);
    DDX_Text(dx, IDC_SELECTED_FIRST_CORNER, m_firstCorner);
    DDX_Text(dx, IDC_SELECTED_SECOND_CORNER, m_secondCorner);
}

BOOL CSelectedSamplesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_table) m_table->FillListCtrl(m_list.get());
    return TRUE;
}
