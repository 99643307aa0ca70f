// Data tips: shown after the pointer rests, placed beside it, hidden by a move away, a key
// or a click (which goes on to the owner), and the keyboard hook's life.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "charts/chart_wnd.h"
#include "charts/data_tip.h"
#include "charts/scatter_chart.h"
#include "platform/ui/hooks.h"
#include "platform/ui/shell.h"
#include "tests/charts/chart_test_support.h"

using namespace charttest;

namespace {

void Wait(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        afx::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    afx::ProcessPendingEvents();
}

// An owner that remembers the clicks it receives.
class CClickedWnd : public CWnd {
public:
    std::vector<CPoint> downs;
    void OnLButtonDown(UINT, CPoint point) { downs.push_back(point); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickedWnd, CWnd)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

struct Owner {
    CWnd top;
    CClickedWnd view;
    explicit Owner(int left, int width = 200) {
        EXPECT_TRUE(top.Create(nullptr, "Dono", WS_POPUP, CRect(left, 0, left + width, 150), nullptr, 0));
        top.ShowWindow(SW_SHOW);
        EXPECT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, width, 150), &top, 100));
        afx::ProcessPendingEvents();
    }
    CPoint Screen(int x, int y) {
        CPoint p(x, y);
        view.ClientToScreen(&p);
        return p;
    }
};

// Rests the pointer on (x, y) of the owner's client area until the hover delay has passed.
void Rest(TFXDataTip& tip, Owner& owner, int x, int y) {
    const CPoint screen = owner.Screen(x, y);
    SetCursorPos(screen.x, screen.y);
    tip.OnOwnerMouseMove(x, y);
    Wait(TFXDataTip::kHoverDelay + 150);
}

TEST(DataTip, ShownBesideAPointerThatRestedAndHiddenWhenItMovesAway) {
    Owner owner(50);
    TFXDataTip tip;
    ASSERT_TRUE(tip.Create(&owner.view));
    tip.SetText({CString("ponto 7"), CString("ponto 12")});
    Rest(tip, owner, 40, 30);
    ASSERT_TRUE(tip.IsShown());
    EXPECT_EQ(TFXDataTip::Showing(), &tip);
    CRect r;
    tip.GetWindowRect(&r);
    const CPoint at = owner.Screen(40, 30);
    // 5 to the right, grown by 4, offset 10; grown 2 upwards, offset 5.
    EXPECT_EQ(r.TopLeft(), CPoint(at.x + 11, at.y + 3));
    EXPECT_GT(r.Height(), 20);   // two lines
    std::string png = testsupport::PictureFolder() + "/data_tip.png";
    EXPECT_TRUE(afx::SaveWindowPng(&tip, png.c_str()));

    // Still inside the hover rectangle (2 pixels left and up, 1 right and down): stays.
    // Three pixels away: goes.
    CPoint near(at.x + 1 - r.left, at.y - 2 - r.top);
    tip.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(near.x, near.y));
    EXPECT_TRUE(tip.IsShown());
    CPoint away(at.x + 3 - r.left, at.y - r.top);
    tip.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(away.x, away.y));
    EXPECT_FALSE(tip.IsShown());
    EXPECT_EQ(TFXDataTip::Showing(), nullptr);
}

TEST(DataTip, APointerThatKeepsMovingShowsNothing) {
    Owner owner(50);
    TFXDataTip tip;
    ASSERT_TRUE(tip.Create(&owner.view));
    tip.SetText({CString("p1")});
    for (int i = 0; i < 5; ++i) {
        const CPoint screen = owner.Screen(20 + 10 * i, 40);
        SetCursorPos(screen.x, screen.y);
        tip.OnOwnerMouseMove(20 + 10 * i, 40);
        Wait(150);
    }
    // The pointer moved on before the delay ended at its last point.
    const CPoint elsewhere = owner.Screen(100, 100);
    SetCursorPos(elsewhere.x, elsewhere.y);
    Wait(TFXDataTip::kHoverDelay + 100);
    EXPECT_FALSE(tip.IsShown());
    // Outside the owner's client area nothing arms; without lines nothing shows.
    tip.OnOwnerMouseMove(500, 40);
    Wait(TFXDataTip::kHoverDelay + 100);
    EXPECT_FALSE(tip.IsShown());
    tip.ClearText();
    Rest(tip, owner, 60, 60);
    EXPECT_FALSE(tip.IsShown());
}

TEST(DataTip, AKeyHidesTheTipAndAClickGoesOnToTheOwner) {
    Owner owner(50);
    TFXDataTip tip;
    ASSERT_TRUE(tip.Create(&owner.view));
    tip.SetText({CString("p1")});
    Rest(tip, owner, 40, 30);
    ASSERT_TRUE(tip.IsShown());
    testsupport::PressKey(&owner.view, VK_SPACE);
    EXPECT_FALSE(tip.IsShown());

    Rest(tip, owner, 60, 70);
    ASSERT_TRUE(tip.IsShown());
    CRect r;
    tip.GetWindowRect(&r);
    tip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
    EXPECT_FALSE(tip.IsShown());
    ASSERT_EQ(owner.view.downs.size(), 1u);
    // The tip's (3, 2) is the owner's point under it.
    const CPoint origin = owner.Screen(0, 0);
    EXPECT_EQ(owner.view.downs[0], CPoint(r.left + 3 - origin.x, r.top + 2 - origin.y));
}

TEST(DataTip, NearTheRightEdgeOfTheScreenTheTipGoesLeftOfThePointer) {
    CClientDC screen(nullptr);
    const int width = screen.GetDeviceCaps(HORZRES);
    Owner owner(width - 120, 120);
    TFXDataTip tip;
    ASSERT_TRUE(tip.Create(&owner.view));
    tip.SetText({CString("um identificador comprido")});
    Rest(tip, owner, 110, 30);
    ASSERT_TRUE(tip.IsShown());
    CRect r;
    tip.GetWindowRect(&r);
    const CPoint at = owner.Screen(110, 30);
    EXPECT_LT(r.right, at.x + 5);
    EXPECT_EQ(r.top, at.y - 2);
}

TEST(DataTip, TheLastTipRemovesTheKeyboardHook) {
    {
        TFXDataTip a;
        TFXDataTip b;
        EXPECT_TRUE(TFXDataTip::KeyboardHooked());
        EXPECT_EQ(TFXDataTip::Count(), 2);
    }
    EXPECT_FALSE(TFXDataTip::KeyboardHooked());
    EXPECT_EQ(afx::KeyboardHookCount(), 0);
    TFXDataTip later;
    EXPECT_TRUE(TFXDataTip::KeyboardHooked());
    EXPECT_EQ(afx::KeyboardHookCount(), 1);
}

TEST(DataTip, TheChartWindowFeedsItTheLabelsUnderThePointer) {
    CScatterChart page(CPointSeries({0, 6, 10, 3}, {0, 4, 10, 9}, {"A", "B", "C", "D"}, {}), "x", "y", "dica");
    CWnd top;
    ASSERT_TRUE(top.Create(nullptr, "Grafico", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    top.ShowWindow(SW_SHOW);
    CChartWnd chart;
    ASSERT_TRUE(chart.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &top, 1142));
    chart.SetPage(&page, TRUE);
    afx::ProcessPendingEvents();
    CPoint screen(219, 180);
    chart.ClientToScreen(&screen);
    SetCursorPos(screen.x, screen.y);
    chart.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(219, 180));
    Wait(TFXDataTip::kHoverDelay + 150);
    EXPECT_TRUE(chart.GetDataTip().IsShown());
    EXPECT_EQ(chart.GetDataTip().GetLines(), std::vector<CString>{CString("B")});
}

}  // namespace
