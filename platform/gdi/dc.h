// Device contexts: a window's client area (GetDC, CClientDC, CPaintDC during WM_PAINT), a
// memory bitmap (CreateCompatibleDC), a printer (CPrintDialog::GetPrinterDC) and, for
// tests, a recording context. A context starts with the black pen, the white brush, the
// system font, black text on an opaque white background and R2_COPYPEN.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_types.h"

class CWnd;

class CDC : public CObject {
public:
    CDC() = default;
    // A context made or attached by this object is deleted with it.
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    // The object standing for a handle: the attached one, or one kept with the context.
    static CDC* FromHandle(HDC dc);

    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL DeleteDC();
    // A memory context for drawing into bitmaps like those of dc (the screen when null).
    BOOL CreateCompatibleDC(CDC* dc);
    // A printer context.
    BOOL IsPrinting() const;

    // --- Objects ------------------------------------------------------------------------------
    // Each returns the object selected before, or null when the object cannot be selected.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    HGDIOBJ SelectObject(HGDIOBJ object);
    CGdiObject* SelectStockObject(int index);
    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    UINT RealizePalette();

    // --- Attributes ---------------------------------------------------------------------------
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int SetROP2(int mode);
    int GetROP2() const;
    // TA_LEFT/TA_CENTER/TA_RIGHT with TA_TOP/TA_BASELINE/TA_BOTTOM: the point of the text
    // cell that TextOut places at its (x, y). Returns the previous alignment, GDI_ERROR on
    // failure.
    UINT SetTextAlign(UINT flags);
    UINT GetTextAlign() const;
    // Only MM_TEXT is drawn; other modes are refused (0).
    int SetMapMode(int mode);
    int GetMapMode() const;
    int GetDeviceCaps(int index) const;
    int SaveDC();
    // A positive level goes back to that SaveDC; -1 to the last one.
    BOOL RestoreDC(int level);

    // --- Drawing ------------------------------------------------------------------------------
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    CPoint GetCurrentPosition() const;
    // Draws with the current pen up to, but not including, the point.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    // Outline in the current pen, inside in the current brush; right and bottom excluded.
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* rect);
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const RECT* rect);
    // Lines from point to point in the current pen (the last pixel left out, as LineTo);
    // the current position does not move.
    BOOL Polyline(const POINT* points, int count);
    // A closed shape: outline in the current pen, inside in the current brush.
    BOOL Polygon(const POINT* points, int count);
    void FillRect(const RECT* rect, CBrush* brush);
    // Fills with a colour; the background colour becomes that colour.
    void FillSolidRect(const RECT* rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    // The text's top-left corner at (x, y), in the current font and text colour, on the
    // background colour when the background mode is OPAQUE.
    BOOL TextOut(int x, int y, const char* text, int count);
    BOOL TextOut(int x, int y, const CString& text);
    // TextOut with options: ETO_OPAQUE fills the rectangle (when given) with the background
    // colour first; without a rectangle the text is drawn as by TextOut. Widths are not
    // used (the font's own advances are).
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count, const int* widths);
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const int* widths);
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
    // Returns the height of the text drawn (or measured with DT_CALCRECT).
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    int DrawText(const CString& text, RECT* rect, UINT format);
    // Width and height of a text in the current font.
    CSize GetTextExtent(const char* text, int count) const;
    CSize GetTextExtent(const CString& text) const;
    // CLR_INVALID outside the device or when it cannot be read.
    COLORREF GetPixel(int x, int y) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, DWORD rop);
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                      int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

    // --- Printing (printer contexts) ----------------------------------------------------------
    // StartDoc returns a positive job number, or SP_ERROR; the page calls return a
    // positive number on success.
    int StartDoc(DOCINFO* info);
    int StartDoc(const char* docName);
    int StartPage();
    int EndPage();
    int EndDoc();
    int AbortDoc();
};

// The client area of a window, for drawing outside WM_PAINT (and reading what it shows);
// the screen for a null window.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint{0, 0, 0, 0};
};

// During WM_PAINT: draws on the window being painted. rcPaint is the area to paint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd = nullptr;
};
