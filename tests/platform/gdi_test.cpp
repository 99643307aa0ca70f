// Drawing objects and device contexts: the pixel rules the charts rely on, bitmaps and
// their device-independent form, window contexts, printers and the clipboard's bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/gdi/recording_dc.h"
#include "tests/support/gui_test.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// A memory context holding a fresh bitmap of the screen's format.
struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int w, int h, COLORREF background) {
        EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
        CDC* ref = CDC::FromHandle(GetDC(nullptr));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(ref, w, h));
        ReleaseDC(nullptr, ref->GetSafeHdc());
        old = dc.SelectObject(&bitmap);
        EXPECT_NE(old, nullptr);
        dc.FillSolidRect(0, 0, w, h, background);
    }
    ~Canvas() { dc.SelectObject(old); }
    // One character a pixel: '#' for the colour, '.' for anything else.
    std::string Row(int y, int x0, int x1, COLORREF colour) const {
        std::string s;
        for (int x = x0; x < x1; ++x) s += dc.GetPixel(x, y) == colour ? '#' : '.';
        return s;
    }
};

// A window that paints itself in one colour.
class CPaintedWnd : public CWnd {
public:
    COLORREF colour = kRed;
    int paints = 0;
    void OnPaint() {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, colour);
        ++paints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(GdiPixels, LinesAndRectanglesLeaveOutTheirLastPixelAndEdges) {
    Canvas c(12, 8, kWhite);
    CPen red(PS_SOLID, 1, kRed);
    CPen* oldPen = c.dc.SelectObject(&red);
    ASSERT_NE(oldPen, nullptr);
    c.dc.MoveTo(1, 1);
    EXPECT_TRUE(c.dc.LineTo(6, 1));
    EXPECT_EQ(c.Row(1, 0, 8, kRed), ".#####..");   // x = 1..5, not 6
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(6, 1));

    CBrush blue(kBlue);
    CBrush* oldBrush = c.dc.SelectObject(&blue);
    EXPECT_TRUE(c.dc.Rectangle(2, 3, 7, 7));       // outline x 2..6, y 3..6
    EXPECT_EQ(c.Row(3, 0, 9, kRed), "..#####..");
    EXPECT_EQ(c.Row(4, 0, 9, kRed), "..#...#..");
    EXPECT_EQ(c.Row(4, 0, 9, kBlue), "...###...");
    EXPECT_EQ(c.Row(6, 0, 9, kRed), "..#####..");
    EXPECT_EQ(c.Row(7, 0, 9, kWhite), "#########");
    c.dc.SelectObject(oldBrush);
    c.dc.SelectObject(oldPen);

    // Without a pen the fill stops one pixel short on the right and bottom.
    c.dc.FillSolidRect(0, 0, 12, 8, kWhite);
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.SelectObject(&blue);
    c.dc.Rectangle(2, 2, 6, 5);
    EXPECT_EQ(c.Row(2, 0, 8, kBlue), "..###...");
    EXPECT_EQ(c.Row(4, 0, 8, kBlue), "........");
    c.dc.SelectStockObject(BLACK_PEN);
    c.dc.SelectStockObject(WHITE_BRUSH);

    EXPECT_EQ(c.dc.GetPixel(12, 0), CLR_INVALID);
    EXPECT_EQ(c.dc.GetPixel(-1, 0), CLR_INVALID);
}

TEST(GdiPixels, NotXorRubberBandDrawnTwiceRestoresThePicture) {
    Canvas c(20, 12, kWhite);
    c.dc.FillSolidRect(0, 0, 10, 12, kGrey);
    CPen dotted(PS_DOT, 1, kBlack);
    c.dc.SelectObject(&dotted);
    c.dc.SelectStockObject(HOLLOW_BRUSH);
    c.dc.SetROP2(R2_NOTXORPEN);
    c.dc.SetBkMode(TRANSPARENT);

    c.dc.Rectangle(2, 2, 15, 10);
    // On grey, NOT(black XOR 128) is 127: three dots, three gaps along the top side.
    EXPECT_EQ(c.Row(2, 2, 10, RGB(127, 127, 127)), "###...##");
    // On white, NOT(black XOR white) is black. The corners are drawn once each, so they
    // show (twice would erase them).
    EXPECT_EQ(c.dc.GetPixel(14, 2), kBlack);
    EXPECT_EQ(c.dc.GetPixel(14, 9), kBlack);
    EXPECT_EQ(c.dc.GetPixel(2, 9), RGB(127, 127, 127));

    c.dc.Rectangle(2, 2, 15, 10);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(c.dc.GetPixel(x, y), x < 10 ? kGrey : kWhite) << x << "," << y;
    c.dc.SelectStockObject(BLACK_PEN);
    c.dc.SelectStockObject(WHITE_BRUSH);
}

TEST(GdiPixels, DottedPenFillsItsGapsWithTheBackgroundOnlyWhenOpaque) {
    Canvas c(12, 4, kGrey);
    CPen dotted(PS_DOT, 1, kBlack);
    CPen* old = c.dc.SelectObject(&dotted);
    c.dc.SetBkColor(kWhite);
    c.dc.SetBkMode(OPAQUE);
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(12, 1);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.MoveTo(0, 2);
    c.dc.LineTo(12, 2);
    EXPECT_EQ(c.Row(1, 0, 12, kBlack), "###...###...");
    EXPECT_EQ(c.Row(1, 0, 12, kWhite), "...###...###");
    EXPECT_EQ(c.Row(2, 0, 12, kGrey), "...###...###");
    c.dc.SelectObject(old);
}

TEST(GdiText, OpaqueTextFillsItsCellAndFacesMapToMetricCompatibleFonts) {
    Canvas c(200, 40, kGrey);
    CFont arial;
    ASSERT_TRUE(arial.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                                 CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial"));
    CFont* old = c.dc.SelectObject(&arial);
    CSize extent = c.dc.GetTextExtent("Frequência");
    EXPECT_GT(extent.cx, 40);
    EXPECT_NEAR(extent.cy, 15, 1);   // a 13-pixel em of a face whose cell is 1.15 em

    c.dc.SetBkColor(kWhite);
    c.dc.SetTextColor(kBlue);
    ASSERT_TRUE(c.dc.TextOut(5, 5, "Frequência"));
    // The whole cell takes the background colour; nothing outside it changes.
    EXPECT_EQ(c.dc.GetPixel(5, 5), kWhite);
    EXPECT_EQ(c.dc.GetPixel(5 + extent.cx - 1, 5 + extent.cy - 1), kWhite);
    EXPECT_EQ(c.dc.GetPixel(5 + extent.cx + 1, 5), kGrey);
    EXPECT_EQ(c.dc.GetPixel(4, 5), kGrey);
    // The glyphs: blue, or blue blended into the white cell at their edges.
    int ink = 0;
    for (int x = 5; x < 5 + extent.cx; ++x)
        for (int y = 5; y < 5 + extent.cy; ++y) {
            COLORREF p = c.dc.GetPixel(x, y);
            if (p == kWhite) continue;
            ++ink;
            EXPECT_GE(GetBValue(p), GetRValue(p)) << x << "," << y;
        }
    EXPECT_GT(ink, 60);
    std::string png = testsupport::PictureFolder() + "/gdi_text.png";
    c.dc.SelectObject(c.old);
    EXPECT_TRUE(afx::SaveBitmapPng(c.bitmap, png.c_str()));
    c.old = c.dc.SelectObject(&c.bitmap);

    // "Arial" is drawn as "Liberation Sans" (same widths); "Courier New" is monospaced;
    // a positive height is the cell height.
    CFont liberation, courier, cell;
    liberation.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Liberation Sans");
    courier.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
    cell.CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
    c.dc.SelectObject(&liberation);
    EXPECT_EQ(c.dc.GetTextExtent("Frequência"), extent);
    c.dc.SelectObject(&courier);
    EXPECT_EQ(c.dc.GetTextExtent("iiii").cx, c.dc.GetTextExtent("WWWW").cx);
    c.dc.SelectObject(&cell);
    EXPECT_NEAR(c.dc.GetTextExtent("Hg").cy, 20, 1);
    c.dc.SelectObject(old);
}

// A small chart page: frame, dotted grid, tick labels, an upward axis title and dots.
TEST(GdiText, UpwardTextRunsFromItsAnchorTowardsTheTop) {
    Canvas c(240, 160, RGB(212, 208, 200));
    CBrush white(kWhite);
    CBrush* oldBrush = c.dc.SelectObject(&white);
    c.dc.Rectangle(60, 10, 230, 120);
    CPen grid(PS_DOT, 1, RGB(192, 192, 192));
    CPen* oldPen = c.dc.SelectObject(&grid);
    EXPECT_EQ(c.dc.GetBkColor(), RGB(212, 208, 200));   // FillSolidRect left its colour
    c.dc.SetBkColor(kWhite);
    for (int y = 30; y < 120; y += 30) {
        c.dc.MoveTo(61, y);
        c.dc.LineTo(229, y);
    }
    c.dc.SelectObject(oldPen);
    CFont text, title;
    text.CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    title.CreateFont(15, 0, 900, 0, 800, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman");
    CFont* oldFont = c.dc.SelectObject(&text);
    c.dc.SetBkMode(TRANSPARENT);
    for (int i = 0; i < 4; ++i) {
        CString label;
        label.Format("%d", i * 3);
        c.dc.TextOut(60 - c.dc.GetTextExtent(label).cx - 5, 120 - 30 * i - 5, label);
    }
    c.dc.SelectObject(&title);
    c.dc.TextOut(10, 100, "Valor");
    c.dc.SelectObject(oldFont);
    CBrush red(kRed);
    c.dc.SelectObject(&red);
    c.dc.Ellipse(118, 58, 123, 63);
    c.dc.Ellipse(178, 38, 183, 43);
    c.dc.SelectObject(oldBrush);

    // The upward title's ink lies above its anchor and right of it, within one line height.
    int above = 0, below = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 160; ++y)
            if (c.dc.GetPixel(x, y) == kBlack) (y < 100 && x >= 10 && x < 10 + 20 ? above : below)++;
    EXPECT_GT(above, 20);
    EXPECT_EQ(below, 0);
    EXPECT_EQ(c.dc.GetPixel(120, 60), kRed);
    EXPECT_EQ(c.dc.GetPixel(62, 30), RGB(192, 192, 192));
    EXPECT_EQ(c.dc.GetPixel(65, 30), kWhite);   // the dotted grid's gap, opaque on white
    std::string png = testsupport::PictureFolder() + "/gdi_chart.png";
    c.dc.SelectObject(c.old);
    EXPECT_TRUE(afx::SaveBitmapPng(c.bitmap, png.c_str()));
    c.old = c.dc.SelectObject(&c.bitmap);
}

TEST(GdiObjects, SelectionSaveRestoreAndObjectsDeletedWhileSelected) {
    Canvas c(8, 8, kWhite);
    CPen red(PS_SOLID, 1, kRed);
    CPen* original = c.dc.SelectObject(&red);
    c.dc.SetTextColor(kBlue);
    int level = c.dc.SaveDC();
    EXPECT_GT(level, 0);
    {
        CPen blue(PS_SOLID, 1, kBlue);
        EXPECT_EQ(c.dc.SelectObject(&blue), &red);
        c.dc.SetTextColor(kRed);
    }   // deleted while selected: it stays usable until it is let go of
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(3, 0);
    EXPECT_EQ(c.dc.GetPixel(0, 0), kBlue);
    EXPECT_TRUE(c.dc.RestoreDC(-1));
    EXPECT_EQ(c.dc.GetTextColor(), kBlue);
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(3, 1);
    EXPECT_EQ(c.dc.GetPixel(0, 1), kRed);
    EXPECT_FALSE(c.dc.RestoreDC(-1));   // nothing saved any more

    // An empty object or a dead handle cannot be selected.
    CPen none;
    EXPECT_EQ(c.dc.SelectObject(&none), nullptr);
    CBrush gone(kRed);
    HGDIOBJ handle = gone.GetSafeHandle();
    gone.DeleteObject();
    EXPECT_EQ(c.dc.SelectObject(handle), nullptr);

    // A bitmap goes into one memory context at a time.
    CDC other;
    ASSERT_TRUE(other.CreateCompatibleDC(&c.dc));
    EXPECT_EQ(other.SelectObject(&c.bitmap), nullptr);
    c.dc.SelectObject(original);
}

TEST(GdiBitmaps, TwentyFourBitRowsAreBottomUpPaddedToFourBytes) {
    Canvas c(3, 2, kBlack);
    c.dc.FillSolidRect(0, 0, 1, 1, RGB(1, 2, 3));
    c.dc.FillSolidRect(2, 1, 1, 1, RGB(10, 20, 30));

    BITMAP bm;
    ASSERT_TRUE(c.bitmap.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmBitsPixel, 24);

    BITMAPINFO info{};
    info.bmiHeader = {40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<unsigned char> bits(24, 0xEE);
    ASSERT_EQ(GetDIBits(c.dc.GetSafeHdc(), c.bitmap, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);   // two rows of 9 bytes padded to 12
    const std::vector<unsigned char> expected = {
        0, 0, 0, 0, 0, 0, 30, 20, 10, 0, 0, 0,   // bottom row first: (2,1) in blue, green, red order
        3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,      // top row: (0,0)
    };
    EXPECT_EQ(bits, expected);

    // The same bits drawn back, stretched to double size.
    Canvas big(6, 4, kWhite);
    EXPECT_EQ(big.dc.StretchDIBits(0, 0, 6, 4, 0, 0, 3, 2, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(big.dc.GetPixel(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(big.dc.GetPixel(5, 3), RGB(10, 20, 30));
    EXPECT_EQ(big.dc.GetPixel(5, 0), kBlack);
}

TEST(GdiBitmaps, EightBitBitmapsKeepTheirIndicesAndAFullColourTable) {
    const unsigned char indices[4] = {0, 1, 255, 9};   // rows padded to 2 bytes: 4 is already even
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(4, 1, 1, 8, indices));
    HDC screen = GetDC(nullptr);
    std::vector<unsigned char> block(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader = {40, 4, 1, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    unsigned char bits[4] = {};
    ASSERT_EQ(GetDIBits(screen, bitmap, 0, 1, bits, info, DIB_RGB_COLORS), 1);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(std::vector<unsigned char>(bits, bits + 4), std::vector<unsigned char>(indices, indices + 4));
    const RGBQUAD* table = info->bmiColors;
    EXPECT_EQ((std::vector<int>{table[0].rgbRed, table[0].rgbGreen, table[0].rgbBlue}), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ((std::vector<int>{table[1].rgbRed, table[1].rgbGreen, table[1].rgbBlue}), (std::vector<int>{128, 0, 0}));
    EXPECT_EQ((std::vector<int>{table[255].rgbRed, table[255].rgbGreen, table[255].rgbBlue}),
              (std::vector<int>{255, 255, 255}));
}

TEST(GdiDevices, ScreenAndMemoryContextsReportTheScreenAndTheirBitmapFormat) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    // A fresh memory context holds a one-pixel monochrome bitmap, so bitmaps compatible with
    // it are monochrome; those compatible with the screen are not.
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(CDC::FromHandle(screen)));
    CBitmap mono, colour;
    ASSERT_TRUE(mono.CreateCompatibleBitmap(&memory, 4, 4));
    ASSERT_TRUE(colour.CreateCompatibleBitmap(CDC::FromHandle(screen), 4, 4));
    BITMAP a, b;
    mono.GetBitmap(&a);
    colour.GetBitmap(&b);
    EXPECT_EQ(a.bmBitsPixel, 1);
    EXPECT_EQ(b.bmBitsPixel, 24);
    ReleaseDC(nullptr, screen);
}

TEST(GdiRecording, RecordsEachDrawingCallWithItsArgumentsAndAttributes) {
    RecordingDevice device;
    device.horzRes = 1000;
    device.charWidth = 7;
    device.charHeight = 12;
    CRecordingDC dc(device);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 1000);
    EXPECT_EQ(dc.GetTextExtent("abc"), CSize(21, 12));
    CFont font;
    font.CreateFont(-30, 0, 900, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
    dc.SelectObject(&font);
    EXPECT_EQ(dc.GetTextExtent("abc"), CSize(45, 30));
    dc.SetTextColor(kRed);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(3, 4, "Eixo");
    CPen grid(PS_DOT, 1, RGB(192, 192, 192));
    dc.SelectObject(&grid);
    dc.MoveTo(10, 20);
    dc.LineTo(30, 20);

    std::vector<GdiRecord> texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].args, (std::vector<int>{3, 4}));
    EXPECT_EQ(texts[0].text, "Eixo");
    EXPECT_STREQ(texts[0].font.lfFaceName, "Times New Roman");
    EXPECT_EQ(texts[0].font.lfEscapement, 900);
    EXPECT_EQ(texts[0].textColor, kRed);
    EXPECT_EQ(texts[0].bkMode, TRANSPARENT);
    std::vector<GdiRecord> lines = dc.Find("LineTo");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{10, 20, 30, 20}));
    EXPECT_EQ(lines[0].pen.lopnStyle, PS_DOT);
    EXPECT_EQ(lines[0].pen.lopnColor, RGB(192, 192, 192));
    dc.SelectStockObject(BLACK_PEN);
    dc.SelectStockObject(SYSTEM_FONT);
}

TEST(GdiWindows, WindowContextsReadWhatTheWindowShowsAndDrawingLastsUntilInvalidated) {
    CWnd top;
    ASSERT_TRUE(top.Create(nullptr, "Teste", WS_POPUP, CRect(0, 0, 200, 150), nullptr, 0));
    top.ShowWindow(SW_SHOW);
    CPaintedWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 130, 90), &top, 100));
    afx::ProcessPendingEvents();

    {
        CClientDC dc(&child);
        EXPECT_EQ(dc.GetPixel(0, 0), kRed);
        EXPECT_EQ(dc.GetPixel(119, 79), kRed);
        EXPECT_NE(dc.GetPixel(120, 40), kRed);   // the parent beside the child
        dc.FillSolidRect(5, 5, 10, 10, kBlue);
    }
    afx::ProcessPendingEvents();
    {
        CDC* dc = child.GetDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(dc->GetPixel(6, 6), kBlue);    // still on the window
        EXPECT_EQ(dc->GetPixel(20, 20), kRed);
        child.ReleaseDC(dc);
    }
    std::string png = testsupport::PictureFolder() + "/window_dc.png";
    EXPECT_TRUE(afx::SaveWindowPng(&top, png.c_str()));

    child.Invalidate();
    afx::ProcessPendingEvents();
    {
        CClientDC again(&child);
        EXPECT_EQ(again.GetPixel(6, 6), kRed);   // repainted: the drawing is gone
    }
    EXPECT_GT(child.paints, 0);

    // A rubber band drawn with R2_NOTXORPEN on two contexts, one after the other, leaves
    // the window as it was.
    for (int pass = 0; pass < 2; ++pass) {
        CClientDC band(&child);
        band.SetROP2(R2_NOTXORPEN);
        band.SelectStockObject(HOLLOW_BRUSH);
        band.Rectangle(20, 20, 60, 50);
        band.SelectStockObject(WHITE_BRUSH);
        afx::ProcessPendingEvents();
    }
    CClientDC after(&child);
    EXPECT_EQ(after.GetPixel(20, 20), kRed);
    EXPECT_EQ(after.GetPixel(59, 49), kRed);
    {
        CClientDC once(&child);
        once.SetROP2(R2_NOTXORPEN);
        once.MoveTo(0, 70);
        once.LineTo(50, 70);
    }
    CClientDC shown(&child);
    EXPECT_EQ(shown.GetPixel(10, 70), RGB(0, 255, 255));   // NOT(black XOR red)
}

// Painting through a back buffer, as the chart window does, with a second context taken on
// the window during its painting.
class CBufferedWnd : public CWnd {
public:
    void OnPaint() {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        CDC memory;
        CBitmap buffer;
        ASSERT_TRUE(memory.CreateCompatibleDC(&dc));
        ASSERT_TRUE(buffer.CreateCompatibleBitmap(&dc, r.Width(), r.Height()));
        CBitmap* old = memory.SelectObject(&buffer);
        memory.FillSolidRect(&r, kWhite);
        memory.FillSolidRect(10, 10, 20, 20, kBlue);
        dc.BitBlt(0, 0, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
        CDC* overlay = GetDC();
        CPen red(PS_SOLID, 1, kRed);
        CPen* oldPen = overlay->SelectObject(&red);
        overlay->MoveTo(0, 50);
        overlay->LineTo(r.Width(), 50);
        overlay->SelectObject(oldPen);
        ReleaseDC(overlay);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBufferedWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(GdiWindows, PaintingThroughABackBufferShowsOnTheWindow) {
    CWnd top;
    ASSERT_TRUE(top.Create(nullptr, "Teste", WS_POPUP, CRect(0, 0, 160, 120), nullptr, 0));
    top.ShowWindow(SW_SHOW);
    CBufferedWnd chart;
    ASSERT_TRUE(chart.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 80), &top, 100));
    afx::ProcessPendingEvents();
    CClientDC dc(&chart);
    EXPECT_EQ(dc.GetPixel(5, 5), kWhite);
    EXPECT_EQ(dc.GetPixel(15, 15), kBlue);
    EXPECT_EQ(dc.GetPixel(29, 29), kBlue);
    EXPECT_EQ(dc.GetPixel(30, 30), kWhite);
    EXPECT_EQ(dc.GetPixel(60, 50), kRed);
}

TEST(GdiPrinting, APrinterChosenInThePrintDialogPrintsToPdf) {
    testsupport::TempFolder folder;
    std::string path = folder.File("job.pdf");
    ScriptedUser user;
    user.OnPrintDialog([&](afx::PrintDialogRequest& request) {
        EXPECT_FALSE(request.setupOnly);
        EXPECT_TRUE(request.flags & PD_NOPAGENUMS);
        request.outputFile = path.c_str();
        request.resolution = 300;
        return true;
    });
    user.OnPrintDialog([](afx::PrintDialogRequest&) { return false; });

    CPrintDialog dialog(FALSE);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    CDC dc;
    ASSERT_TRUE(dc.Attach(dialog.GetPrinterDC()));
    EXPECT_TRUE(dc.IsPrinting());
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_GT(dc.GetDeviceCaps(HORZRES), 2000);   // a sheet of 7 to 8.5 inches at 300 dpi
    EXPECT_LT(dc.GetDeviceCaps(HORZRES), 2600);
    EXPECT_GT(dc.StartDoc("Tesmo"), 0);
    for (int page = 1; page <= 2; ++page) {
        EXPECT_GT(dc.StartPage(), 0);
        dc.TextOut(100, 100, page == 1 ? "Primeira" : "Segunda");
        EXPECT_GT(dc.EndPage(), 0);
    }
    EXPECT_GT(dc.EndDoc(), 0);
    std::string pdf = testsupport::ReadBytes(path);
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);

    CPrintDialog cancelled(FALSE);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetPrinterDC(), nullptr);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(GdiPrinting, AJobThatCannotBeWrittenFailsAtStartDoc) {
    testsupport::TempFolder folder;
    std::string path = folder.File("job.pdf");
    ScriptedUser user;
    user.OnPrintDialog([&](afx::PrintDialogRequest& request) {
        request.outputFile = path.c_str();
        request.printerFails = true;
        return true;
    });
    CPrintDialog dialog(FALSE);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    CDC dc;
    dc.Attach(dialog.GetPrinterDC());
    EXPECT_EQ(dc.StartDoc("Tesmo"), SP_ERROR);
    EXPECT_EQ(dc.EndDoc(), SP_ERROR);
}

TEST(GdiClipboard, TheClipboardOwnsABitmapHandedToItAndKeepsOtherFormats) {
    {
        Canvas c(4, 3, kBlue);
        c.dc.SelectObject(c.old);
        c.old = nullptr;
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_TRUE(EmptyClipboard());
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
        std::memcpy(GlobalLock(text), "Ol\xE1!", 5);
        GlobalUnlock(text);
        ASSERT_NE(SetClipboardData(CF_TEXT, text), nullptr);
        ASSERT_NE(SetClipboardData(CF_BITMAP, c.bitmap.GetSafeHandle()), nullptr);
        // Deleting it now is refused: the clipboard owns it.
        EXPECT_FALSE(DeleteObject(c.bitmap.GetSafeHandle()));
        CloseClipboard();
    }   // the bitmap object is gone; its handle is the clipboard's
    EXPECT_EQ(afx::ClipboardText(), "Ol\xE1!");
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), bitmap);   // the same handle while nothing changes
    BITMAP bm;
    ASSERT_TRUE(GetObject(bitmap, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(CBitmap::FromHandle(bitmap));
    EXPECT_EQ(dc.GetPixel(3, 2), kBlue);
    dc.SelectObject(old);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

// --- What the charts draw with: alignment, polylines, polygons, hatches, metrics --------------

// The bounding box of the pixels of a colour other than the background, or an empty rect.
CRect InkBox(const Canvas& c, int w, int h, COLORREF background) {
    CRect box(w, h, -1, -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (c.dc.GetPixel(x, y) != background) {
                box.left = std::min<int>(box.left, x);
                box.top = std::min<int>(box.top, y);
                box.right = std::max<int>(box.right, x + 1);
                box.bottom = std::max<int>(box.bottom, y + 1);
            }
    return box;
}

TEST(GdiText, AlignmentPlacesTheNamedPointOfTheTextCellAtTheAnchor) {
    CFont font;
    ASSERT_TRUE(font.CreateFont(-20, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                                CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial"));
    Canvas c(200, 80, kWhite);
    CFont* old = c.dc.SelectObject(&font);
    c.dc.SetBkMode(OPAQUE);
    c.dc.SetBkColor(kBlue);
    const CSize size = c.dc.GetTextExtent("MMMM", 4);
    ASSERT_GT(size.cx, 20);

    // The opaque cell shows exactly where the text cell lies.
    EXPECT_EQ(c.dc.GetTextAlign(), TA_LEFT | TA_TOP);
    EXPECT_EQ(c.dc.SetTextAlign(TA_RIGHT | TA_BOTTOM), TA_LEFT | TA_TOP);
    c.dc.TextOut(150, 60, "MMMM", 4);
    CRect box = InkBox(c, 200, 80, kWhite);
    EXPECT_EQ(box, CRect(150 - size.cx, 60 - size.cy, 150, 60));

    c.dc.FillSolidRect(0, 0, 200, 80, kWhite);
    c.dc.SetBkColor(kBlue);
    c.dc.SetTextAlign(TA_CENTER | TA_TOP);
    c.dc.TextOut(100, 10, "MMMM", 4);
    box = InkBox(c, 200, 80, kWhite);
    EXPECT_EQ(box.left, 100 - size.cx / 2);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.Width(), size.cx);

    // Baseline: the ascent lies above the anchor.
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    c.dc.FillSolidRect(0, 0, 200, 80, kWhite);
    c.dc.SetBkColor(kBlue);
    c.dc.SetTextAlign(TA_LEFT | TA_BASELINE);
    c.dc.TextOut(10, 50, "MMMM", 4);
    box = InkBox(c, 200, 80, kWhite);
    EXPECT_EQ(box.top, 50 - tm.tmAscent);
    EXPECT_EQ(box.left, 10);

    // ExtTextOut with ETO_OPAQUE fills its rectangle in the background colour first.
    c.dc.FillSolidRect(0, 0, 200, 80, kWhite);
    c.dc.SetTextAlign(TA_LEFT | TA_TOP);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetBkColor(kRed);
    CRect cell(5, 5, 190, 70);
    EXPECT_TRUE(c.dc.ExtTextOut(10, 10, ETO_OPAQUE, &cell, CString("MMMM"), nullptr));
    EXPECT_EQ(c.dc.GetPixel(5, 5), kRed);
    EXPECT_EQ(c.dc.GetPixel(189, 69), kRed);
    EXPECT_EQ(c.dc.GetPixel(190, 70), kWhite);
    c.dc.SelectObject(old);
}

TEST(GdiText, FontHeightsAndMetrics) {
    Canvas c(10, 10, kWhite);
    CFont cell, character;
    // Positive: the cell height (ascent + descent); negative: the character height, which is
    // the cell less the internal leading.
    ASSERT_TRUE(cell.CreateFont(13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                                CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial"));
    ASSERT_TRUE(character.CreateFont(-30, 0, 0, 0, 800, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                                     CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman"));
    CFont* old = c.dc.SelectObject(&cell);
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_NEAR(tm.tmHeight, 13, 1);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(c.dc.GetTextExtent("Ag", 2).cy, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);

    c.dc.SelectObject(&character);
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 30, 1);
    EXPECT_GT(tm.tmHeight, 30);
    EXPECT_EQ(tm.tmWeight, 800);
    c.dc.SelectObject(old);

    // Only the text mapping mode is drawn.
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(c.dc.SetMapMode(MM_TEXT), MM_TEXT);
    EXPECT_EQ(c.dc.SetMapMode(2), 0);
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
}

TEST(GdiPixels, PolylinesLeaveOutTheirLastPixelAndPolygonsFillInside) {
    Canvas c(20, 20, kWhite);
    CPen red(PS_SOLID, 1, kRed);
    CPen* oldPen = c.dc.SelectObject(&red);
    c.dc.MoveTo(0, 19);
    POINT line[3] = {{2, 2}, {8, 2}, {8, 6}};
    EXPECT_TRUE(c.dc.Polyline(line, 3));
    EXPECT_EQ(c.Row(2, 0, 10, kRed), "..#######.");   // x 2..8: the corner is drawn
    EXPECT_EQ(c.dc.GetPixel(8, 5), kRed);
    EXPECT_EQ(c.dc.GetPixel(8, 6), kWhite);           // the last point is left out
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(0, 19));
    EXPECT_FALSE(c.dc.Polyline(line, 1));

    // A triangle: outline in the pen, inside in the brush, every corner drawn.
    c.dc.FillSolidRect(0, 0, 20, 20, kWhite);
    CBrush blue(kBlue);
    CBrush* oldBrush = c.dc.SelectObject(&blue);
    POINT triangle[3] = {{4, 14}, {10, 4}, {16, 14}};
    EXPECT_TRUE(c.dc.Polygon(triangle, 3));
    EXPECT_EQ(c.dc.GetPixel(10, 4), kRed);
    EXPECT_EQ(c.dc.GetPixel(4, 14), kRed);
    EXPECT_EQ(c.dc.GetPixel(16, 14), kRed);
    EXPECT_EQ(c.dc.GetPixel(10, 14), kRed);
    EXPECT_EQ(c.dc.GetPixel(10, 10), kBlue);
    EXPECT_EQ(c.dc.GetPixel(4, 6), kWhite);
    EXPECT_EQ(c.dc.GetPixel(10, 16), kWhite);
    c.dc.SelectObject(oldBrush);
    c.dc.SelectObject(oldPen);
}

TEST(GdiPixels, HatchedBrushesPaintLinesAndTheirGapsOnlyWhenOpaque) {
    CBrush hatch;
    ASSERT_TRUE(hatch.CreateHatchBrush(HS_DIAGCROSS, kBlue));
    LOGBRUSH log{};
    ASSERT_GT(hatch.GetLogBrush(&log), 0);
    EXPECT_EQ(log.lbStyle, BS_HATCHED);
    EXPECT_EQ(log.lbHatch, static_cast<std::uintptr_t>(HS_DIAGCROSS));
    CBrush bad;
    EXPECT_FALSE(bad.CreateHatchBrush(9, kBlue));

    auto count = [](const Canvas& c, COLORREF colour) {
        int n = 0;
        for (int y = 1; y < 31; ++y)
            for (int x = 1; x < 31; ++x) n += c.dc.GetPixel(x, y) == colour ? 1 : 0;
        return n;
    };
    for (int mode : {TRANSPARENT, OPAQUE}) {
        Canvas c(40, 40, kGrey);
        c.dc.SetBkMode(mode);
        c.dc.SetBkColor(kWhite);
        c.dc.SelectStockObject(NULL_PEN);
        CBrush* old = c.dc.SelectObject(&hatch);
        c.dc.Rectangle(0, 0, 33, 33);
        const int lines = count(c, kBlue);
        // Two diagonals in every 8 x 8 cell: about a quarter of the pixels.
        EXPECT_GT(lines, 900 / 8) << mode;
        EXPECT_LT(lines, 900 / 2) << mode;
        EXPECT_EQ(count(c, mode == OPAQUE ? kWhite : kGrey), 900 - lines) << mode;
        EXPECT_EQ(c.dc.GetPixel(35, 35), kGrey);
        c.dc.SelectObject(old);
        c.dc.SelectStockObject(BLACK_PEN);
    }
}

TEST(GdiRecording, RecordsPolygonsAndTheTextAlignment) {
    CRecordingDC dc;
    dc.SetTextAlign(TA_CENTER);
    dc.TextOut(5, 6, "ab", 2);
    POINT pts[3] = {{1, 2}, {3, 4}, {5, 6}};
    dc.Polygon(pts, 3);
    dc.Polyline(pts, 2);
    ASSERT_EQ(dc.Find("TextOut").size(), 1u);
    EXPECT_EQ(dc.Find("TextOut")[0].textAlign, TA_CENTER);
    ASSERT_EQ(dc.Find("Polygon").size(), 1u);
    EXPECT_EQ(dc.Find("Polygon")[0].args, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(dc.Find("Polyline")[0].args, (std::vector<int>{1, 2, 3, 4}));
    TEXTMETRIC tm{};
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
}

TEST(GdiMetafiles, RecordsTheDrawingAndWritesItToAFile) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("grafico.emf");
    CMetaFileDC mf;
    CRect frame(0, 0, 2540, 1270);   // 1 × 0.5 inch
    ASSERT_TRUE(mf.CreateEnhanced(nullptr, path.c_str(), &frame, "Teste\0Desenho\0\0"));
    CPen red(PS_SOLID, 1, kRed);
    CPen* old = mf.SelectObject(&red);
    mf.MoveTo(1, 2);
    mf.LineTo(30, 2);
    mf.SelectObject(old);
    EXPECT_EQ(mf.GetPixel(5, 2), CLR_INVALID);   // a metafile cannot be read
    HENHMETAFILE h = mf.CloseEnhanced();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(mf.GetSafeHdc(), nullptr);
    const UINT size = GetEnhMetaFileBits(h, 0, nullptr);
    std::vector<unsigned char> bytes(size);
    GetEnhMetaFileBits(h, size, bytes.data());
    EXPECT_EQ(testsupport::ReadBytes(path), std::string(bytes.begin(), bytes.end()));
    auto at = [&](size_t i) {
        return static_cast<int>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | bytes[i + 3] << 24);
    };
    // Bounds (1, 2)-(30, 2) in pixels, the frame as given.
    EXPECT_EQ(at(8), 1);
    EXPECT_EQ(at(12), 2);
    EXPECT_EQ(at(16), 30);
    EXPECT_EQ(at(32), 2540);
    EXPECT_EQ(at(36), 1270);
    EXPECT_EQ(at(60), 14);   // "Teste", "Desenho", each ended by a zero
    EXPECT_TRUE(DeleteEnhMetaFile(h));
    EXPECT_FALSE(DeleteEnhMetaFile(h));

    HENHMETAFILE copy = SetEnhMetaFileBits(size, bytes.data());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GetEnhMetaFileBits(copy, 0, nullptr), size);
    DeleteEnhMetaFile(copy);
    bytes[40] = 'X';
    EXPECT_EQ(SetEnhMetaFileBits(size, bytes.data()), nullptr);
    EXPECT_EQ(SetEnhMetaFileBits(10, bytes.data()), nullptr);
}

TEST(GdiMetafiles, TheDescriptionEndsWithTheBytesItWasGiven) {
    // The header's description as (count of UTF-16 units, text).
    auto described = [](auto&&... description) {
        CMetaFileDC mf;
        EXPECT_TRUE(mf.CreateEnhanced(nullptr, nullptr, nullptr, description...));
        HENHMETAFILE h = mf.CloseEnhanced();
        std::vector<unsigned char> bytes(GetEnhMetaFileBits(h, 0, nullptr));
        GetEnhMetaFileBits(h, static_cast<UINT>(bytes.size()), bytes.data());
        DeleteEnhMetaFile(h);
        const uint32_t count = bytes[60] | bytes[61] << 8;
        std::string text;
        for (uint32_t i = 0; count && i < count; ++i) text += static_cast<char>(bytes[88 + 2 * i]);
        return std::make_pair(count, text);
    };
    using Description = std::pair<uint32_t, std::string>;
    EXPECT_EQ(described("Teste\0\0"), Description(6, std::string("Teste\0", 6)));
    EXPECT_EQ(described("Grafico Tesmo\0\0"), Description(14, std::string("Grafico Tesmo\0", 14)));
    // One part only, or bytes that stop before any zero: nothing beyond them is read.
    EXPECT_EQ(described("Teste"), Description(6, std::string("Teste\0", 6)));
    const char unended[] = {'A', 'p', 'p', '\0', 'F', 'i', 'g'};
    EXPECT_EQ(described(unended, sizeof unended), Description(8, std::string("App\0Fig\0", 8)));
    EXPECT_EQ(described(unended, 2), Description(3, std::string("Ap\0", 3)));
    EXPECT_EQ(described(nullptr), Description(0, ""));
}

}  // namespace
