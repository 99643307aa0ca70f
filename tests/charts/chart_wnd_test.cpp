// The chart window driven as a person would: painted through its back buffer, the mouse,
// right-click menus, the selected samples dialog, printing, and drawing errors shown after
// the paint.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <functional>

#include "app/data_table.h"
#include "charts/chart_wnd.h"
#include "charts/scatter_chart.h"
#include "res/chart_resource_ids.h"
#include "res/resource_ids.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

CPointSeries FourPoints() {
    // The points of the small table: A (0, 0), B (6, 4), C (10, 10), D (3, 9), groups 1 2 3 1;
    // drawn on 400 x 300 at (60, 260), (219, 180), (325, 60), (140, 80).
    return CPointSeries({0, 6, 10, 3}, {0, 4, 10, 9}, {"A", "B", "C", "D"}, {1, 2, 3, 1});
}

struct ChartWindow {
    CWnd top;
    CChartWnd chart;
    explicit ChartWindow(CPlotPage* page) {
        EXPECT_TRUE(top.Create(nullptr, "Grafico", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
        top.ShowWindow(SW_SHOW);
        EXPECT_TRUE(chart.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &top, 1142));
        chart.SetPage(page, TRUE);
        afx::ProcessPendingEvents();
    }
    COLORREF At(int x, int y) {
        CClientDC dc(&chart);
        return dc.GetPixel(x, y);
    }
    void Mouse(UINT message, int x, int y) {
        chart.SendMessage(message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        afx::ProcessPendingEvents();
    }
    void RightClick(int x, int y) {
        CPoint screen(x, y);
        chart.ClientToScreen(&screen);
        chart.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(chart.GetSafeHwnd()), MAKELPARAM(screen.x, screen.y));
        afx::ProcessPendingEvents();
    }
};

// What the window shows now: one colour a pixel, row by row from the top.
struct Picture {
    int width = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Shown(CWnd& wnd) {
    CRect r;
    wnd.GetClientRect(&r);
    CClientDC dc(&wnd);
    CDC memory;
    CBitmap copy;
    EXPECT_TRUE(memory.CreateCompatibleDC(&dc));
    EXPECT_TRUE(copy.CreateCompatibleBitmap(&dc, r.Width(), r.Height()));
    CBitmap* old = memory.SelectObject(&copy);
    memory.BitBlt(0, 0, r.Width(), r.Height(), &dc, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    BITMAPINFO info{};
    info.bmiHeader = {40, r.Width(), -r.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<unsigned char> bits(static_cast<size_t>(r.Width()) * r.Height() * 4);
    EXPECT_EQ(GetDIBits(memory.GetSafeHdc(), copy, 0, static_cast<UINT>(r.Height()), bits.data(), &info, DIB_RGB_COLORS),
              r.Height());
    Picture p;
    p.width = r.Width();
    for (size_t i = 0; i + 3 < bits.size(); i += 4) p.pixels.push_back(RGB(bits[i + 2], bits[i + 1], bits[i]));
    return p;
}

// The pixels where two pictures differ, as "x,y", leaving out those that allowed(x, y) accepts.
std::vector<std::string> Differences(const Picture& a, const Picture& b,
                                     const std::function<bool(int, int)>& allowed = nullptr) {
    std::vector<std::string> out;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        const int x = static_cast<int>(i) % a.width, y = static_cast<int>(i) / a.width;
        if (a.pixels[i] != b.pixels[i] && !(allowed && allowed(x, y)))
            out.push_back(std::to_string(x) + "," + std::to_string(y));
    }
    return out;
}

std::vector<CString> Texts(const afx::PopupMenuRequest& r) {
    std::vector<CString> out;
    for (const auto& item : r.items)
        if (!item.first.IsEmpty()) out.push_back(item.first);
    return out;
}

TEST(ChartWindow, PaintsThePageAndPutsAMovedLabelBackFromTheMenu) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "janela");
    ChartWindow w(&page);
    EXPECT_EQ(w.At(219, 180), kYellow);
    EXPECT_EQ(w.At(140, 80), kRed);
    EXPECT_EQ(w.At(389, 100), kBlack);

    afx::ScriptedUser user;
    // Empty space: print and copy only.
    user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
        EXPECT_EQ(Texts(r), (std::vector<CString>{CString("Imprimir"), CString("Copiar")}));
        EXPECT_TRUE(r.enabled[0]);
        EXPECT_TRUE(r.enabled[1]);
        return 0u;
    });
    w.RightClick(250, 240);
    EXPECT_EQ(w.chart.GetMenuItem(), -1);

    // Show B's label with a click, drag it away, then put it back from the menu of the point.
    w.Mouse(WM_LBUTTONDOWN, 219, 180);
    w.Mouse(WM_LBUTTONUP, 219, 180);
    CChartText* label = page.GetMarker(1)->GetLabel();
    ASSERT_TRUE(page.GetMarker(1)->labelShown);
    ASSERT_TRUE(label->extent.has_value());
    w.Mouse(WM_LBUTTONDOWN, 226, 185);
    w.Mouse(WM_MOUSEMOVE, 256, 215);
    w.Mouse(WM_LBUTTONUP, 256, 215);
    EXPECT_EQ(label->x, 254);
    user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
        EXPECT_EQ(Texts(r), (std::vector<CString>{CString("Imprimir"), CString("Copiar"),
                                                  CString("Voltar à Posição Inicial")}));
        return static_cast<UINT>(ID_POPUP_RESTORE_POSITION);
    });
    w.RightClick(219, 180);
    EXPECT_EQ(w.chart.GetMenuItem(), 1);
    EXPECT_EQ(label->x, 224);
    EXPECT_EQ(label->y, 180);
    EXPECT_TRUE(user.AllAnswered());
    std::string png = testsupport::PictureFolder() + "/chart_window.png";
    EXPECT_TRUE(afx::SaveWindowPng(&w.top, png.c_str()));
}

TEST(ChartWindow, ClickingOrDraggingTheLegendLeavesNoFrameBehind) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "legenda");
    ChartWindow w(&page);
    CChartLegend* legend = page.GetLegend();
    ASSERT_NE(legend, nullptr);
    const Picture painted = Shown(w.chart);
    const int x0 = legend->x, y0 = legend->y;

    // A click shows the dotted frame while the button is down, and nothing is left after.
    w.Mouse(WM_MOUSEMOVE, x0 + 10, y0 + 10);
    w.Mouse(WM_LBUTTONDOWN, x0 + 10, y0 + 10);
    EXPECT_TRUE(legend->IsHighlighted());
    const Picture pressed = Shown(w.chart);
    // The frame's top row starts with a dot, inverted, two pixels above and left of the box.
    EXPECT_EQ(pressed.At(x0 - 2, y0 - 2), painted.At(x0 - 2, y0 - 2) ^ 0xFFFFFF);
    EXPECT_EQ(pressed.At(x0 - 2, y0 + 1), painted.At(x0 - 2, y0 + 1) ^ 0xFFFFFF);
    w.Mouse(WM_LBUTTONUP, x0 + 10, y0 + 10);
    EXPECT_FALSE(legend->IsHighlighted());
    EXPECT_EQ(Differences(Shown(w.chart), painted), std::vector<std::string>{});

    // Dragged away in two steps, the window shows what a new painting of the moved legend
    // shows. Only where the drag drew the box over the grey dots of the grid does its
    // inverting mix give other colours; no pixel is left blank where a painting draws, or
    // drawn where it leaves the plot white.
    w.Mouse(WM_LBUTTONDOWN, x0 + 10, y0 + 10);
    w.Mouse(WM_MOUSEMOVE, x0 - 40, y0 + 20);
    w.Mouse(WM_MOUSEMOVE, x0 - 90, y0 + 40);
    w.Mouse(WM_LBUTTONUP, x0 - 90, y0 + 40);
    ASSERT_EQ(legend->x, x0 - 100);
    ASSERT_EQ(legend->y, y0 + 30);
    const Picture dragged = Shown(w.chart);
    EXPECT_TRUE(afx::SaveWindowPng(&w.top, (testsupport::PictureFolder() + "/legend_dragged.png").c_str()));
    w.chart.Invalidate();
    w.chart.UpdateWindow();
    afx::ProcessPendingEvents();
    const Picture repainted = Shown(w.chart);
    const CSize box = *legend->GetBoxSize();
    EXPECT_EQ(Differences(dragged, repainted,
                          [&](int x, int y) {
                              return x >= legend->x && x < legend->x + box.cx && y >= legend->y &&
                                     y < legend->y + box.cy && dragged.At(x, y) != kWhite &&
                                     repainted.At(x, y) != kWhite;
                          }),
              std::vector<std::string>{});
}

TEST(ChartWindow, ASelectionOffersTheSelectedSamples) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "selecao");
    ChartWindow w(&page);
    afx::ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
        EXPECT_EQ(Texts(r), (std::vector<CString>{CString("Zoom"), CString("Amostras Selecionadas")}));
        EXPECT_FALSE(r.enabled[0]);
        EXPECT_TRUE(r.enabled[1]);
        return static_cast<UINT>(ID_POPUP_SELECTED_SAMPLES);
    });
    user.OnDialog(IDD_SELECTED_SAMPLES, [](afx::DialogDriver& d) {
        afx::ProcessPendingEvents();
        EXPECT_EQ(d.Caption(), "Identificadores Selecionadas");
        // Corners (100, 50) and (250, 240) in world values.
        EXPECT_EQ(d.Text(IDC_SELECTED_FIRST_CORNER), "(1.509 ; 10.500)");
        EXPECT_EQ(d.Text(IDC_SELECTED_SECOND_CORNER), "(7.170 ; 1.000)");
        auto* list = static_cast<CListCtrl*>(d.Dialog().GetDlgItem(IDC_SELECTED_LIST));
        EXPECT_EQ(list->GetItemCount(), 2);
        EXPECT_EQ(list->GetItemText(0, 0), "B");
        EXPECT_EQ(list->GetItemText(1, 0), "D");
        EXPECT_EQ(list->GetItemText(1, 2), "9.0000");
        std::string png = testsupport::PictureFolder() + "/selected_samples.png";
        EXPECT_TRUE(d.SavePng(png.c_str()));
        d.Click(IDOK);
    });
    w.Mouse(WM_LBUTTONDOWN, 100, 50);
    w.Mouse(WM_MOUSEMOVE, 250, 240);
    w.Mouse(WM_LBUTTONUP, 250, 240);
    EXPECT_TRUE(user.AllAnswered());

    // A rectangle with no sample inside shows no dialog.
    afx::ScriptedUser again;
    again.OnPopupMenu([](const afx::PopupMenuRequest&) { return static_cast<UINT>(ID_POPUP_SELECTED_SAMPLES); });
    w.Mouse(WM_LBUTTONDOWN, 240, 200);
    w.Mouse(WM_MOUSEMOVE, 300, 250);
    w.Mouse(WM_LBUTTONUP, 300, 250);
    EXPECT_TRUE(again.AllAnswered());
}

TEST(ChartWindow, PrintsThePageWithItsHeaderToPdf) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "impressao");
    ChartWindow w(&page);
    testsupport::TempFolder folder;
    const std::string pdf = folder.File("grafico.pdf");
    afx::ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return static_cast<UINT>(ID_POPUP_PRINT); });
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        r.resolution = 300;
        return true;
    });
    w.RightClick(250, 240);
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
}

TEST(ChartWindow, APrinterThatRefusesTheJobIsNamed) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "recusa");
    ChartWindow w(&page);
    testsupport::TempFolder folder;
    const std::string pdf = folder.File("grafico.pdf");
    afx::ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return static_cast<UINT>(ID_POPUP_PRINT); });
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        r.printerFails = true;
        return true;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a imprimir");
        return IDOK;
    });
    w.RightClick(250, 240);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ChartWindow, TheBackBufferFollowsTheWindowsSize) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "maior");
    ChartWindow w(&page);
    // Made larger after its first paint, the window is painted all over: no black band at
    // the right or at the bottom.
    w.top.MoveWindow(0, 0, 500, 400);
    w.chart.MoveWindow(0, 0, 500, 400);
    w.chart.Invalidate();
    afx::ProcessPendingEvents();
    // The plot now reaches x 490 and y 360: its corner was outside the first buffer.
    EXPECT_EQ(w.At(450, 20), kWhite);
    EXPECT_EQ(w.At(465, 345), kWhite);
}

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(ChartWindow, CopiarPutsAnEnhancedMetafileAndItsPictureOnTheClipboard) {
    CScatterChart page(FourPoints(), "Peso", "Altura", "copia");
    ChartWindow w(&page);
    afx::SetClipboardText("antes");
    afx::ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return static_cast<UINT>(ID_POPUP_COPY); });
    w.RightClick(250, 240);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(&w.chart));
    auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(metafile, nullptr);
    std::vector<unsigned char> bytes(GetEnhMetaFileBits(metafile, 0, nullptr));
    ASSERT_GT(bytes.size(), 200u);
    EXPECT_EQ(GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data()), bytes.size());
    // The other readers get the picture: B's marker in yellow.
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap* old = memory.SelectObject(CBitmap::FromHandle(bitmap));
    EXPECT_EQ(memory.GetPixel(219, 180), kYellow);
    EXPECT_EQ(memory.GetPixel(60, 110), kBlack);
    memory.SelectObject(old);
    CloseClipboard();

    // The records, read as a metafile reader would: a header, records whose sizes are
    // multiples of 4 and add up to the header's count, an end record last.
    ASSERT_EQ(U32(bytes, 0), 1u);
    EXPECT_EQ(U32(bytes, 40), 0x464D4520u);   // " EMF"
    EXPECT_EQ(U32(bytes, 44), 0x10000u);
    EXPECT_EQ(U32(bytes, 48), bytes.size());
    const uint32_t records = U32(bytes, 52);
    // The picture's frame in 0.01 mm: 400 × 300 pixels at 96 per inch.
    EXPECT_EQ(static_cast<int32_t>(U32(bytes, 32)), 400 * 2540 / 96);
    EXPECT_EQ(static_cast<int32_t>(U32(bytes, 36)), 300 * 2540 / 96);
    // The description "Grafico Tesmo" in UTF-16 at its offset, ended by a zero, and nothing after it.
    const uint32_t descriptionAt = U32(bytes, 64);
    ASSERT_EQ(U32(bytes, 60), 14u);
    std::string description;
    for (uint32_t i = 0; i < 14; ++i) description += static_cast<char>(bytes[descriptionAt + 2 * i]);
    EXPECT_EQ(description, std::string("Grafico Tesmo\0", 14));
    std::vector<uint32_t> types;
    size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = U32(bytes, at + 4);
        ASSERT_EQ(size % 4, 0u);
        ASSERT_GE(size, 8u);
        ASSERT_LE(at + size, bytes.size());
        types.push_back(U32(bytes, at));
        at += size;
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(types.size(), records);
    EXPECT_EQ(types.back(), 14u);   // EOF
    auto count = [&](uint32_t type) { return std::count(types.begin(), types.end(), type); };
    EXPECT_GE(count(43), 6);   // rectangles: background, frame, four markers
    EXPECT_GE(count(54), 20);  // ticks and grid lines
    EXPECT_GE(count(84), 14);  // texts: tick labels and titles
    EXPECT_GE(count(38), 1);   // pens made
    EXPECT_GE(count(82), 2);   // fonts made
}

// A page whose drawing fails the same way twice.
class CFailingPage : public CPlotPage {
public:
    CFailingPage() : CPlotPage("falha") {}
    int draws = 0;
    void Draw(CDC* dc, int l, int t, int r, int b) override {
        CPlotPage::Draw(dc, l, t, r, b);
        ++draws;
        EXPECT_TRUE(CDrawErrorScope::Active());
        ReportDrawError("Erro a seleciona Pen3");
        ReportDrawError("Erro a seleciona Pen3");
    }
};

TEST(ChartWindow, DrawingErrorsAreShownOnceAfterThePaint) {
    afx::ScriptedUser user;
    int shown = 0;
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a seleciona Pen3");
        EXPECT_FALSE(CDrawErrorScope::Active());
        ++shown;
        return IDOK;
    });
    CFailingPage page;
    ChartWindow w(&page);
    afx::ProcessPendingEvents();
    EXPECT_GE(page.draws, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ChartWindow, WithoutAPageOnlyTheBackgroundIsPaintedAndNothingIsOffered) {
    ChartWindow w(nullptr);
    EXPECT_EQ(w.At(200, 150), GetSysColor(COLOR_BTNFACE));
    afx::ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
        EXPECT_FALSE(r.enabled[0]);
        EXPECT_FALSE(r.enabled[1]);
        return 0u;
    });
    w.RightClick(200, 150);
    w.Mouse(WM_LBUTTONDOWN, 200, 150);
    w.Mouse(WM_LBUTTONUP, 200, 150);
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
