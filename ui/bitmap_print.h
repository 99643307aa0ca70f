// Clipboard, bitmap and print helpers shared by the views, dialogs and charts. They keep no
// state; only CopyTextToClipboard, ReportLastError and EndPrintJob speak to the user.
#pragma once

#include "platform/afx.h"

// The window's image (window-rectangle size, from the client area's origin) onto the
// clipboard as a bitmap, which the clipboard owns afterwards. Silent on failure.
void CopyWindowToClipboard(CWnd* wnd);
// The same image into the caller's bitmap object.
void CaptureWindowBitmap(CWnd* wnd, CBitmap* bitmap);
// A packed device-independent bitmap (header, colour table, bottom-up rows) of the bitmap
// in its own bit count, in a global memory block the caller frees; null on failure or for
// BI_BITFIELDS. The palette may be null (the default palette is used).
HGLOBAL BitmapToDIB(CBitmap& bitmap, DWORD compression, CPalette* palette);
// Writes a .bmp file: the 14-byte file header, then the whole block, into a new file put in
// place of path (a link there is replaced). TRUE when written; otherwise any earlier file of
// that name stays as it was.
BOOL WriteDIBFile(const char* path, HGLOBAL dib);
// The bitmap as a 24-bit (or its own bit count) .bmp file through WriteDIBFile; TRUE when
// the file was written.
BOOL SaveBitmapFile(const char* path, CBitmap& bitmap);
// The text onto the clipboard as CF_TEXT, the owner window holding the clipboard.
void CopyTextToClipboard(CWnd* owner, const CString& text);

// One text line at y = text height × line: alignment 0 centres it on pageWidth / 2, 1
// starts it at x, 2 ends it at x.
void PrintTextLine(const char* text, int line, CDC* dc, int alignment, int pageWidth, int x);
// "%d" of the value truncated toward zero (asInteger), else "%.3f", as PrintTextLine.
void PrintNumber(double value, int line, CDC* dc, int alignment, int pageWidth, int x, BOOL asInteger);
// "Página - page/pages" in the bottom-right corner of the page.
void PrintPageFooter(CDC* dc, int page, int pages);
// The rectangle's size of the screen context's image, centred on the printer's page and
// enlarged by the ratio of the two resolutions.
void PrintWindowBitmap(CDC* screenDC, CDC* printerDC, const CRect& rect);

// a to the power b, truncated toward zero (limited to the int range).
int IntPower(int a, int b);
// The nearest integer, halves rounded down (limited to the int range; 0 for a NaN).
int RoundToInt(double x);
// The system's text for the last error, in a box captioned "Error".
void ReportLastError();

// Ends a print job begun with StartDoc: EndDoc when every page was printed, AbortDoc
// otherwise. A job that did not end well shows "Erro a imprimir". True when it ended well.
bool EndPrintJob(CDC* printer, bool pagesPrinted);
