#include "tests/charts/chart_test_support.h"

namespace charttest {

BEGIN_MESSAGE_MAP(CPageWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CPageWnd::OnPaint() {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    CDC memory;
    CBitmap buffer;
    if (!memory.CreateCompatibleDC(&dc) || !buffer.CreateCompatibleBitmap(&dc, r.Width(), r.Height())) return;
    CBitmap* old = memory.SelectObject(&buffer);
    if (page) {
        page->ReleaseElementBitmaps();
        page->Draw(&memory, r.left, r.top, r.right, r.bottom);
    }
    dc.BitBlt(0, 0, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    ++paints;
}

ShownPage::ShownPage(CPlotPage* page, int w, int h) {
    EXPECT_TRUE(top.Create(nullptr, "Grafico", WS_POPUP, CRect(0, 0, w, h), nullptr, 0));
    top.ShowWindow(SW_SHOW);
    view.page = page;
    EXPECT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, w, h), &top, 100));
    afx::ProcessPendingEvents();
}

COLORREF ShownPage::At(int x, int y) {
    CClientDC dc(&view);
    return dc.GetPixel(x, y);
}

}  // namespace charttest
