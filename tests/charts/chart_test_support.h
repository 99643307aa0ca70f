// Helpers of the chart tests: a memory bitmap to draw into and a window that shows a page
// through a back buffer, as the chart window does.
#pragma once

#include <memory>
#include <string>

#include "charts/plot_page.h"
#include "platform/ui/shell.h"
#include "tests/support/gui_test.h"

namespace charttest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrid = RGB(192, 192, 192);

struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    int width, height;
    Canvas(int w, int h) : width(w), height(h) {
        EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
        CDC* screen = CDC::FromHandle(GetDC(nullptr));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(screen, w, h));
        ReleaseDC(nullptr, screen->GetSafeHdc());
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, kWhite);
    }
    ~Canvas() { dc.SelectObject(old); }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    void Save(const std::string& name) {
        std::string path = testsupport::PictureFolder() + "/" + name;
        dc.SelectObject(old);
        EXPECT_TRUE(afx::SaveBitmapPng(bitmap, path.c_str()));
        old = dc.SelectObject(&bitmap);
    }
};

// Shows a page the way the chart window will: drawn into a back buffer, then copied.
class CPageWnd : public CWnd {
public:
    CPlotPage* page = nullptr;
    int paints = 0;
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};

// A window of the given client size with the page in it, shown and painted.
struct ShownPage {
    CWnd top;
    CPageWnd view;
    ShownPage(CPlotPage* page, int w, int h);
    COLORREF At(int x, int y);
};

}  // namespace charttest
