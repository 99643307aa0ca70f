// The chart window driven as a person would: painted through its back buffer, the mouse,
// right-click menus, the selected samples dialog, printing, and drawing errors shown after
// the paint.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    // Empty space: print and copy only (the metafile copy is not offered yet).
    user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
        EXPECT_EQ(Texts(r), (std::vector<CString>{CString("Imprimir"), CString("Copiar")}));
        EXPECT_TRUE(r.enabled[0]);
        EXPECT_FALSE(r.enabled[1]);
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
