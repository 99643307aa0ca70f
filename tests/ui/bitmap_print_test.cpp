// Clipboard, bitmap and print helpers: the .bmp bytes, the printed page's footer and
// window image, a real print to PDF, text and images on the clipboard.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/afx.h"
#include "platform/gdi/recording_dc.h"
#include "tests/support/gui_test.h"
#include "ui/bitmap_print.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

unsigned Dword(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<unsigned>(static_cast<unsigned char>(b[at + 3])) << 24;
}
unsigned Word(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

// A bitmap of the screen's format, filled by a drawing function.
template <class Draw>
void MakeBitmap(CBitmap& bitmap, int w, int h, Draw draw) {
    CDC* screen = CDC::FromHandle(GetDC(nullptr));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, w, h));
    CDC dc;
    dc.CreateCompatibleDC(screen);
    CBitmap* old = dc.SelectObject(&bitmap);
    draw(dc);
    dc.SelectObject(old);
    ReleaseDC(nullptr, screen->GetSafeHdc());
}

// A window that paints itself in one colour.
class CPaintedWnd : public CWnd {
public:
    COLORREF colour = kRed;
    void OnPaint() {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, colour);
        dc.FillSolidRect(0, 0, 4, 4, kBlue);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

struct PaintedWindow {
    CWnd top;
    CPaintedWnd child;
    PaintedWindow() {
        EXPECT_TRUE(top.Create(nullptr, "Teste", WS_POPUP, CRect(0, 0, 220, 160), nullptr, 0));
        top.ShowWindow(SW_SHOW);
        EXPECT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 80), &top, 100));
        afx::ProcessPendingEvents();
    }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(CBitmap::FromHandle(bitmap));
    COLORREF c = dc.GetPixel(x, y);
    dc.SelectObject(old);
    return c;
}

TEST(BitmapFile, TwentyFourBitFileHasNoColourTableAndPaddedBottomUpRows) {
    testsupport::TempFolder folder;
    CBitmap bitmap;
    MakeBitmap(bitmap, 3, 2, [](CDC& dc) {
        dc.FillSolidRect(0, 0, 3, 2, RGB(0, 0, 0));
        dc.FillSolidRect(0, 0, 1, 1, RGB(255, 128, 1));   // top-left
        dc.FillSolidRect(2, 1, 1, 1, RGB(7, 8, 9));       // bottom-right
    });
    std::string path = folder.File("small.bmp");
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), bitmap));
    std::string b = testsupport::ReadBytes(path);
    // 14 + 40 header bytes, then two rows of 3 × 3 bytes each padded to 12.
    ASSERT_EQ(b.size(), 78u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(Dword(b, 2), 78u);
    EXPECT_EQ(Dword(b, 6), 0u);
    EXPECT_EQ(Dword(b, 10), 54u);
    EXPECT_EQ(Dword(b, 14), 40u);   // header size
    EXPECT_EQ(Dword(b, 18), 3u);    // width
    EXPECT_EQ(Dword(b, 22), 2u);    // height: bottom-up
    EXPECT_EQ(Word(b, 26), 1u);     // planes
    EXPECT_EQ(Word(b, 28), 24u);    // bits
    EXPECT_EQ(Dword(b, 30), 0u);    // BI_RGB
    EXPECT_EQ(Dword(b, 34), 24u);   // image size
    const std::string rows("\0\0\0\0\0\0\x09\x08\x07\0\0\0"
                           "\x01\x80\xFF\0\0\0\0\0\0\0\0\0",
                           24);
    EXPECT_EQ(b.substr(54), rows);
}

TEST(BitmapFile, EightBitFileCarriesAllTwoHundredFiftySixColours) {
    testsupport::TempFolder folder;
    const unsigned char indices[2] = {255, 1};
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 1, 1, 8, indices));
    std::string path = folder.File("indexed.bmp");
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), bitmap));
    std::string b = testsupport::ReadBytes(path);
    ASSERT_EQ(b.size(), 14u + 40u + 1024u + 4u);
    EXPECT_EQ(Dword(b, 2), 1082u);
    EXPECT_EQ(Dword(b, 10), 1078u);
    EXPECT_EQ(Word(b, 28), 8u);
    EXPECT_EQ(b.substr(54 + 4 * 255, 4), std::string("\xFF\xFF\xFF\0", 4));   // entry 255 white
    EXPECT_EQ(b.substr(54 + 4 * 1, 4), std::string("\0\0\x80\0", 4));         // entry 1 dark red
    EXPECT_EQ(b.substr(1078), std::string("\xFF\x01\0\0", 4));
}

TEST(BitmapFile, SavingReportsFailuresAndLeavesNoBrokenFile) {
    testsupport::TempFolder folder;
    CBitmap bitmap;
    MakeBitmap(bitmap, 40, 30, [](CDC& dc) { dc.FillSolidRect(0, 0, 40, 30, kRed); });
    EXPECT_FALSE(SaveBitmapFile((folder.Path() + "/missing/plot.bmp").c_str(), bitmap));

    std::string path = folder.File("full.bmp");
    afx::FailFileWritesAfter(100);   // the disk fills up in the middle of the pixels
    EXPECT_FALSE(SaveBitmapFile(path.c_str(), bitmap));
    afx::FailFileWritesAfter(-1);
    EXPECT_FALSE(afx::PathExists(path.c_str()));
    // An earlier image of that name stays whole, and no temporary file is left beside it.
    testsupport::WriteBytes(path, "imagem anterior");
    afx::FailFileWritesAfter(100);
    EXPECT_FALSE(SaveBitmapFile(path.c_str(), bitmap));
    afx::FailFileWritesAfter(-1);
    EXPECT_EQ(testsupport::ReadBytes(path), "imagem anterior");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 1);
    // A link at the name is replaced by the image; its target is left alone.
    const std::string target = folder.File("alvo.txt");
    testsupport::WriteBytes(target, "intocado");
    std::filesystem::remove(path);
    std::filesystem::create_symlink(target, path);
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), bitmap));
    EXPECT_EQ(testsupport::ReadBytes(target), "intocado");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(testsupport::ReadBytes(path).substr(0, 2), "BM");
    std::filesystem::remove(path);

    CBitmap empty;
    EXPECT_FALSE(SaveBitmapFile(path.c_str(), empty));
    EXPECT_EQ(BitmapToDIB(bitmap, BI_BITFIELDS, nullptr), nullptr);
    EXPECT_FALSE(WriteDIBFile(path.c_str(), nullptr));

    // A DIB block of the bitmap: header, no colour table, 40 × 3 bytes a row.
    HGLOBAL dib = BitmapToDIB(bitmap, BI_RGB, nullptr);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), 40u + 120u * 30u);
    GlobalFree(dib);
}

TEST(PrintHelpers, FooterTextLinesAndNumbersLandWhereTheLayoutSays) {
    RecordingDevice device;
    device.horzRes = 4800;
    device.vertRes = 6600;
    device.charWidth = 40;
    device.charHeight = 80;
    device.printer = true;
    CRecordingDC dc(device);

    PrintPageFooter(&dc, 1, 1);
    std::vector<GdiRecord> texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "P\xE1gina - 1/1");
    // 12 characters of 40: x = 4800 - 480 - 50, y = 6600 - 80 - 20.
    EXPECT_EQ(texts[0].args, (std::vector<int>{4270, 6500}));

    dc.Clear();
    PrintTextLine("Média", 3, &dc, 0, 1000, 0);      // centred: 500 - 200 / 2
    PrintTextLine("Média", 4, &dc, 1, 1000, 70);     // from x
    PrintTextLine("Média", 5, &dc, 2, 1000, 900);    // ending at x
    PrintNumber(-2.7, 6, &dc, 1, 1000, 10, TRUE);
    PrintNumber(-2.7, 7, &dc, 1, 1000, 10, FALSE);
    PrintNumber(3e12, 8, &dc, 1, 1000, 10, TRUE);
    texts = dc.Find("TextOut");
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0].args, (std::vector<int>{400, 240}));
    EXPECT_EQ(texts[1].args, (std::vector<int>{70, 320}));
    EXPECT_EQ(texts[2].args, (std::vector<int>{700, 400}));
    EXPECT_EQ(texts[3].text, "-2");
    EXPECT_EQ(texts[4].text, "-2.700");
    EXPECT_EQ(texts[5].text, "3000000000000");
}

// The window image is centred on the printed page and enlarged by the resolutions' ratio.
TEST(PrintHelpers, WindowBitmapIsScaledByTheResolutionsAndSentBottomUp) {
    CBitmap picture;
    MakeBitmap(picture, 101, 50, [](CDC& dc) {
        dc.FillSolidRect(0, 0, 101, 25, kRed);     // top half
        dc.FillSolidRect(0, 25, 101, 25, kBlue);   // bottom half
    });
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CBitmap* old = screen.SelectObject(&picture);
    ASSERT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);

    RecordingDevice laser;
    laser.horzRes = 4800;
    laser.vertRes = 6600;
    laser.dpiX = laser.dpiY = 600;
    CRecordingDC printer(laser);
    PrintWindowBitmap(&screen, &printer, CRect(0, 0, 101, 50));
    std::vector<GdiRecord> blits = printer.Find("StretchDIBits");
    ASSERT_EQ(blits.size(), 1u);
    // 600 / 96 = 6.25: 631.25 × 312.5 pixels, truncated, centred with halves truncated.
    EXPECT_EQ(blits[0].args,
              (std::vector<int>{2400 - 315, 3300 - 156, 631, 312, 0, 0, 101, 50, DIB_RGB_COLORS, (int)SRCCOPY}));
    EXPECT_EQ(blits[0].dib.biBitCount, 24);
    EXPECT_EQ(blits[0].dib.biHeight, 50);
    // Rows of 303 bytes padded to 304; the first row sent is the picture's bottom one.
    ASSERT_EQ(blits[0].bits.size(), 304u * 50u);
    EXPECT_EQ(blits[0].bits[0], 0xFF);          // blue, green, red of a blue pixel
    EXPECT_EQ(blits[0].bits[2], 0x00);
    EXPECT_EQ(blits[0].bits[303], 0x00);        // padding
    EXPECT_EQ(blits[0].bits[49 * 304 + 2], 0xFF);   // the top row is red

    // A printer of lower resolution than the screen enlarges too: 96 / 72 = 1.333….
    RecordingDevice coarse;
    coarse.horzRes = 612;
    coarse.vertRes = 792;
    coarse.dpiX = coarse.dpiY = 72;
    CRecordingDC low(coarse);
    PrintWindowBitmap(&screen, &low, CRect(0, 0, 101, 50));
    blits = low.Find("StretchDIBits");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(std::vector<int>(blits[0].args.begin(), blits[0].args.begin() + 4),
              (std::vector<int>{306 - 67, 396 - 33, 134, 66}));
    screen.SelectObject(old);
}

TEST(PrintHelpers, APageWithFooterAndWindowImagePrintsToPdf) {
    testsupport::TempFolder folder;
    std::string path = folder.File("page.pdf");
    PaintedWindow window;
    ScriptedUser user;
    user.OnPrintDialog([&](afx::PrintDialogRequest& request) {
        request.outputFile = path.c_str();
        return true;
    });
    CPrintDialog dialog(FALSE);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    CDC printer;
    ASSERT_TRUE(printer.Attach(dialog.GetPrinterDC()));
    ASSERT_GT(printer.StartDoc("Tesmo"), 0);
    ASSERT_GT(printer.StartPage(), 0);
    CFont font;
    font.CreateFont(-MulDiv(13, printer.GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                    OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    CFont* oldFont = printer.SelectObject(&font);
    {
        CClientDC screen(&window.child);
        CRect r;
        window.child.GetClientRect(&r);
        PrintWindowBitmap(&screen, &printer, r);
    }
    PrintPageFooter(&printer, 1, 1);
    printer.SelectObject(oldFont);
    EXPECT_GT(printer.EndPage(), 0);
    EXPECT_GT(printer.EndDoc(), 0);
    std::string pdf = testsupport::ReadBytes(path);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Image"), std::string::npos);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ClipboardHelpers, TabSeparatedTextReachesTheClipboardUnlessItIsHeldElsewhere) {
    const CString table = "\tAltura\tPeso\r\na1\t1.7000\t62.0000\r\nPaçoca\t1.6250\t58.5000\r\n";
    ScriptedUser user;
    CopyTextToClipboard(nullptr, table);
    EXPECT_EQ(afx::ClipboardText(), table);

    user.OnMessageBox([](const CString& text, UINT type) {
        EXPECT_EQ(text, "Cannot open the Clipboard");
        EXPECT_EQ(type & MB_TYPEMASK, MB_OK);
        return IDOK;
    });
    afx::SetClipboardHeldElsewhere(true);
    CopyTextToClipboard(nullptr, "outro");
    afx::SetClipboardHeldElsewhere(false);
    EXPECT_EQ(afx::ClipboardText(), table);   // unchanged
    EXPECT_TRUE(user.AllAnswered());

    // The clipboard is free again afterwards.
    CopyTextToClipboard(nullptr, "x\ty");
    EXPECT_EQ(afx::ClipboardText(), "x\ty");
}

TEST(ClipboardHelpers, WindowImageGoesToTheClipboardAndIntoABitmap) {
    PaintedWindow window;
    ScriptedUser user;   // no message is expected, even on failure
    CopyWindowToClipboard(&window.child);
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto copied = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(copied, nullptr);
    BITMAP bm;
    ASSERT_TRUE(GetObject(copied, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 100);   // the window rectangle's size
    EXPECT_EQ(bm.bmHeight, 60);
    EXPECT_EQ(PixelOf(copied, 0, 0), kBlue);
    EXPECT_EQ(PixelOf(copied, 50, 30), kRed);
    std::string png = testsupport::PictureFolder() + "/clipboard_window.png";
    EXPECT_TRUE(afx::SaveBitmapPng(copied, png.c_str()));
    CloseClipboard();

    CBitmap captured;
    CaptureWindowBitmap(&window.child, &captured);
    ASSERT_TRUE(captured.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 100);
    EXPECT_EQ(PixelOf(captured, 99, 59), kRed);

    // Held elsewhere: nothing is shown and the clipboard keeps its bitmap.
    afx::SetClipboardHeldElsewhere(true);
    window.child.colour = RGB(0, 255, 0);
    window.child.Invalidate();
    afx::ProcessPendingEvents();
    CopyWindowToClipboard(&window.child);
    afx::SetClipboardHeldElsewhere(false);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(PixelOf(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), 50, 30), kRed);
    CloseClipboard();
    EXPECT_TRUE(user.AllAnswered());
}

TEST(NumberHelpers, RoundToIntRoundsHalvesDownAndIntPowerTruncates) {
    EXPECT_EQ(RoundToInt(2.5), 2);
    EXPECT_EQ(RoundToInt(2.51), 3);
    EXPECT_EQ(RoundToInt(-0.5), -1);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(1e300), INT_MAX);
    EXPECT_EQ(RoundToInt(std::nan("")), 0);
    EXPECT_EQ(IntPower(10, 3), 1000);
    EXPECT_EQ(IntPower(-2, 3), -8);
    EXPECT_EQ(IntPower(10, -1), 0);   // 0.1 truncated
    EXPECT_EQ(IntPower(10, 12), INT_MAX);
}

TEST(ErrorHelpers, TheLastErrorIsShownInABoxCaptionedError) {
    CDC* screen = CDC::FromHandle(GetDC(nullptr));
    CBitmap huge;
    SetLastError(0);
    EXPECT_FALSE(huge.CreateCompatibleBitmap(screen, 100000, 100000));
    ReleaseDC(nullptr, screen->GetSafeHdc());
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ENOMEM));

    ScriptedUser user;
    user.OnMessageBox([](const CString& text, UINT type) {
        EXPECT_EQ(text, std::strerror(ENOMEM));
        EXPECT_EQ(type & MB_ICONMASK, MB_ICONINFORMATION);
        return IDOK;
    });
    ReportLastError();
    ASSERT_EQ(user.Captions().size(), 1u);
    EXPECT_EQ(user.Captions()[0], "Error");
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
