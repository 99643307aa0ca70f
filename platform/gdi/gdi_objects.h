// Drawing objects: pens, brushes, fonts, bitmaps and palettes. An object owns its handle
// and deletes it when destroyed (Detach hands the handle over). Constructors that take no
// arguments never touch the toolkit.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/ui/msgmap.h"

class CDC;

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // The object standing for a handle: the one attached to it, or one kept with the
    // handle (valid while the handle lives). Null for a null or dead handle.
    static CGdiObject* FromHandle(HGDIOBJ handle);

    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    BOOL CreateStockObject(int index);
    int GetObject(int size, void* buffer) const;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour);
    static CPen* FromHandle(HPEN handle);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL CreatePenIndirect(const LOGPEN* pen);
    int GetLogPen(LOGPEN* pen) const;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour);
    static CBrush* FromHandle(HBRUSH handle);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF colour);
    // A brush of lines of the colour in one of the HS_ patterns.
    BOOL CreateHatchBrush(int index, COLORREF colour);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush);
    int GetLogBrush(LOGBRUSH* brush) const;
};

// Faces "Arial", "Courier New" and "Times New Roman" are drawn with the metric-compatible
// "Liberation Sans", "Liberation Mono" and "Liberation Serif"; "MS Sans Serif" (and an
// empty face) with the dialog font's face.
class CFont : public CGdiObject {
public:
    CFont() = default;
    static CFont* FromHandle(HFONT handle);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirect(const LOGFONT* font);
    int GetLogFont(LOGFONT* font) const;
};

// A bitmap: width × height pixels of 1, 4, 8, 16, 24 or 32 bits. Bitmaps of 8 bits or
// fewer hold colours of their colour table (the default system palette's layout).
class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    static CBitmap* FromHandle(HBITMAP handle);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // A bitmap of the device's format (for a memory context: the format of its selected
    // bitmap), black. A zero size gives a 1 × 1 one-bit bitmap.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // A bitmap of the given format; bits (rows top-down, each padded to 2 bytes; for 8 bits
    // or fewer, indices into the colour table) may be null for a black bitmap.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    int GetBitmap(BITMAP* info) const;
};

class CPalette : public CGdiObject {
public:
    CPalette() = default;
    static CPalette* FromHandle(HPALETTE handle);
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    BOOL CreatePalette(const LOGPALETTE* palette);
    int GetEntryCount() const;
};

namespace afx {
// For tests: writes a bitmap's pixels as a PNG file (path in Windows-1252).
bool SaveBitmapPng(HBITMAP bitmap, const char* path);
}  // namespace afx
