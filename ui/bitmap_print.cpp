#include "ui/bitmap_print.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "ui/list_cells.h"

namespace {

// Copies the window's image (window-rectangle size, from the client origin) into a new
// bitmap of the client context's format. False when nothing could be made.
bool CaptureInto(CWnd* wnd, CBitmap& bitmap) {
    if (!wnd || !wnd->GetSafeHwnd()) return false;
    CClientDC client(wnd);
    if (!client.GetSafeHdc()) return false;
    CRect window;
    wnd->GetWindowRect(&window);
    CDC memory;
    if (!memory.CreateCompatibleDC(&client)) return false;
    if (!bitmap.CreateCompatibleBitmap(&client, window.Width(), window.Height())) return false;
    CBitmap* old = memory.SelectObject(&bitmap);
    if (!old) return true;   // an empty image, as a failed copy leaves it
    memory.BitBlt(0, 0, window.Width(), window.Height(), &client, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    return true;
}

int ColourTableEntries(int bitCount) { return bitCount <= 8 ? 1 << bitCount : 0; }

void PutWord(unsigned char* p, unsigned v) {
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void PutDword(unsigned char* p, unsigned v) {
    PutWord(p, v & 0xFFFF);
    PutWord(p + 2, v >> 16);
}

// The larger of two resolutions over the smaller, in single precision (1 when unknown).
float ScaleFactor(int screen, int printer) {
    if (screen <= 0 || printer <= 0) return 1.0f;
    return static_cast<float>(std::max(screen, printer)) / static_cast<float>(std::min(screen, printer));
}

int ClampToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

void CopyWindowToClipboard(CWnd* wnd) {
    CBitmap bitmap;
    if (!CaptureInto(wnd, bitmap)) return;
    // On any failure the bitmap and the contexts are released by their destructors.
    if (!OpenClipboard(wnd)) return;
    if (EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap.GetSafeHandle())) bitmap.Detach();   // now the clipboard's
    CloseClipboard();
}

void CaptureWindowBitmap(CWnd* wnd, CBitmap* bitmap) {
    if (bitmap) CaptureInto(wnd, *bitmap);
}

HGLOBAL BitmapToDIB(CBitmap& bitmap, DWORD compression, CPalette* palette) {
    if (compression == BI_BITFIELDS) return nullptr;
    BITMAP bm;
    if (!bitmap.GetSafeHandle() || !bitmap.GetBitmap(&bm)) return nullptr;
    HPALETTE pal = palette && palette->GetSafeHandle() ? static_cast<HPALETTE>(palette->GetSafeHandle())
                                                       : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));

    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(BITMAPINFOHEADER);
    bi.biWidth = bm.bmWidth;
    bi.biHeight = bm.bmHeight;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(bm.bmPlanes * bm.bmBitsPixel);
    bi.biCompression = compression;
    const size_t headerSize = bi.biSize + sizeof(RGBQUAD) * static_cast<size_t>(ColourTableEntries(bi.biBitCount));

    HDC dc = GetDC(nullptr);
    HPALETTE oldPalette = SelectPalette(dc, pal, FALSE);
    RealizePalette(dc);
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, headerSize);
    HGLOBAL result = nullptr;
    if (dib) {
        auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
        *info = bi;
        // The layout of the bits, which fills in the image size.
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr, reinterpret_cast<BITMAPINFO*>(info),
                  DIB_RGB_COLORS);
        bi = *info;
        GlobalUnlock(dib);
        unsigned long long image = bi.biSizeImage;
        if (image == 0) {
            image = (((static_cast<unsigned long long>(bi.biBitCount) * static_cast<unsigned long long>(bi.biWidth) + 31) &
                      ~31ULL) / 8) * static_cast<unsigned long long>(bi.biHeight);
            if (compression != BI_RGB) image = image * 3 / 2;
        }
        HGLOBAL grown = image <= 0xFFFFFFFFULL ? GlobalReAlloc(dib, headerSize + image, GMEM_MOVEABLE) : nullptr;
        if (grown) {
            dib = grown;
            info = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
            auto* bits = reinterpret_cast<unsigned char*>(info) + headerSize;
            if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(info->biHeight), bits, reinterpret_cast<BITMAPINFO*>(info),
                          DIB_RGB_COLORS))
                result = dib;
            GlobalUnlock(dib);
        }
        if (!result) GlobalFree(dib);
    }
    SelectPalette(dc, oldPalette, FALSE);
    ReleaseDC(nullptr, dc);
    return result;
}

namespace {
// The 14-byte file header of a packed bitmap; false for a block that is no bitmap.
bool DIBFileHeader(HGLOBAL dib, unsigned char header[14]) {
    if (!dib) return false;
    const size_t size = GlobalSize(dib);
    const auto* block = static_cast<const unsigned char*>(GlobalLock(dib));
    if (!block || size < sizeof(BITMAPINFOHEADER) || size > 0xFFFFFFFFu - 14) {
        GlobalUnlock(dib);
        return false;
    }
    BITMAPINFOHEADER info;
    std::memcpy(&info, block, sizeof info);
    GlobalUnlock(dib);
    header[0] = 'B';
    header[1] = 'M';
    PutDword(header + 2, static_cast<unsigned>(size + 14));
    PutWord(header + 6, 0);
    PutWord(header + 8, 0);
    PutDword(header + 10, static_cast<unsigned>(14 + info.biSize + 4 * ColourTableEntries(info.biBitCount)));
    return true;
}

// The file header, then the block itself.
void WriteWithHeader(CFile& file, HGLOBAL dib, const unsigned char (&header)[14]) {
    const void* block = GlobalLock(dib);
    try {
        file.Write(header, sizeof header);
        file.Write(block, static_cast<UINT>(GlobalSize(dib)));
    } catch (const CFileException&) {
        GlobalUnlock(dib);
        throw;
    }
    GlobalUnlock(dib);
}

// A bitmap's packed copy, freed when it goes.
struct PackedBitmap {
    explicit PackedBitmap(CBitmap& bitmap) : dib(BitmapToDIB(bitmap, BI_RGB, nullptr)) {}
    ~PackedBitmap() {
        if (dib) GlobalFree(dib);
    }
    PackedBitmap(const PackedBitmap&) = delete;
    PackedBitmap& operator=(const PackedBitmap&) = delete;
    HGLOBAL dib;
};
}  // namespace

BOOL WriteDIBFile(const char* path, HGLOBAL dib) {
    unsigned char header[14];
    // A block that is no bitmap leaves any file of that name alone.
    if (!path || !DIBFileHeader(dib, header)) return FALSE;
    // Written beside the name and renamed over it: a write that fails (a full disk) leaves
    // the earlier file as it was, and a link at the name (the folder may be a shared one) is
    // replaced, never written through.
    CReplacingFile file;
    if (!file.OpenReplacing(path, nullptr, CFile::typeBinary | CReplacingFile::replaceLinks)) return FALSE;
    try {
        WriteWithHeader(file, dib, header);
        file.Commit();
        return TRUE;
    } catch (const CFileException&) {
        // The file's destructor removes what was written.
    }
    return FALSE;
}

BOOL SaveBitmapFile(const char* path, CBitmap& bitmap) {
    const PackedBitmap packed(bitmap);
    return WriteDIBFile(path, packed.dib);
}

void CopyTextToClipboard(CWnd* owner, const CString& text) {
    if (!OpenClipboard(owner)) {
        AfxMessageBox("Cannot open the Clipboard");
        return;
    }
    if (!EmptyClipboard()) {
        AfxMessageBox("Cannot empty the Clipboard");
        CloseClipboard();
        return;
    }
    const size_t size = static_cast<size_t>(text.GetLength()) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    auto* copy = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    bool set = false;
    if (copy) {
        std::memcpy(copy, text.GetString(), size);
        GlobalUnlock(block);
        set = SetClipboardData(CF_TEXT, block) != nullptr;
    }
    if (!set) {
        // The clipboard did not take the block: it is still ours to free.
        if (block) GlobalFree(block);
        AfxMessageBox("Unable to set Clipboard data");
    }
    CloseClipboard();
}

void PrintTextLine(const char* text, int line, CDC* dc, int alignment, int pageWidth, int x) {
    if (!dc || !text) return;
    CString s(text);
    CSize extent = dc->GetTextExtent(s);
    int y = extent.cy * line;
    int left = x;
    if (alignment == 0) left = pageWidth / 2 - extent.cx / 2;
    else if (alignment == 2) left = x - extent.cx;
    dc->TextOut(left, y, s);
}

void PrintNumber(double value, int line, CDC* dc, int alignment, int pageWidth, int x, BOOL asInteger) {
    CString s;
    if (asInteger) s = FormatIntegerCell(value);
    else s.Format("%.3f", value);
    PrintTextLine(s, line, dc, alignment, pageWidth, x);
}

void PrintPageFooter(CDC* dc, int page, int pages) {
    if (!dc) return;
    CString s;
    s.Format("Página - %d/%d", page, pages);
    CSize extent = dc->GetTextExtent(s);
    dc->TextOut(dc->GetDeviceCaps(HORZRES) - extent.cx - 50, dc->GetDeviceCaps(VERTRES) - extent.cy - 20, s);
}

void PrintWindowBitmap(CDC* screenDC, CDC* printerDC, const CRect& rect) {
    if (!screenDC || !printerDC) return;
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(screenDC) || !bitmap.CreateCompatibleBitmap(screenDC, w, h)) return;
    CBitmap* old = memory.SelectObject(&bitmap);
    if (!old) return;
    memory.BitBlt(0, 0, w, h, screenDC, 0, 0, SRCCOPY);
    memory.SelectObject(old);

    const float fx = ScaleFactor(screenDC->GetDeviceCaps(LOGPIXELSX), printerDC->GetDeviceCaps(LOGPIXELSX));
    const float fy = ScaleFactor(screenDC->GetDeviceCaps(LOGPIXELSY), printerDC->GetDeviceCaps(LOGPIXELSY));
    const int printedWidth = ClampToInt(static_cast<float>(w) * fx);
    const int printedHeight = ClampToInt(static_cast<float>(h) * fy);
    const int x = printerDC->GetDeviceCaps(HORZRES) / 2 - printedWidth / 2;
    const int y = printerDC->GetDeviceCaps(VERTRES) / 2 - printedHeight / 2;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;   // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t stride = ((static_cast<size_t>(w) * 24 + 31) / 32) * 4;
    std::vector<unsigned char> bits(stride * static_cast<size_t>(h));
    if (!GetDIBits(memory.GetSafeHdc(), bitmap, 0, static_cast<UINT>(h), bits.data(), &info, DIB_RGB_COLORS)) return;
    printerDC->StretchDIBits(x, y, printedWidth, printedHeight, 0, 0, w, h, bits.data(), &info, DIB_RGB_COLORS,
                             SRCCOPY);
}

int IntPower(int a, int b) {
    double p = std::pow(static_cast<double>(a), static_cast<double>(b));
    return ClampToInt(std::trunc(p));
}

int RoundToInt(double x) { return ClampToInt(std::ceil(x - 0.5)); }

void ReportLastError() {
    CString text = afx::SystemErrorText(GetLastError());
    afx::ShowMessageBox(nullptr, text, "Error", MB_OK | MB_ICONINFORMATION);
}

bool EndPrintJob(CDC* printer, bool pagesPrinted) {
    bool ended = false;
    if (pagesPrinted) ended = printer->EndDoc() > 0;
    else printer->AbortDoc();
    if (!ended) afx::ReportPrintFailure(nullptr);
    return ended;
}
