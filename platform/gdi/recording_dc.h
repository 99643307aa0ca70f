// A device context for tests: it draws nothing and records every drawing call with its
// arguments and the attributes in force, on a device of chosen capabilities. Texts are
// measured with a fixed metric, so positions can be worked out by hand: a character is
// charWidth wide and charHeight high in the default font; with a font selected, |lfHeight|
// high and lfWidth (or |lfHeight| / 2) wide.
#pragma once

#include <vector>

#include "platform/gdi/dc.h"

struct GdiRecord {
    CString op;               // "MoveTo", "LineTo", "Rectangle", "Ellipse", "Polyline", "Polygon",
                              // "FillRect", "FillSolidRect",
                              // "TextOut", "DrawText", "BitBlt", "StretchBlt", "StretchDIBits",
                              // "StartDoc", "StartPage", "EndPage", "EndDoc", "AbortDoc"
    std::vector<int> args;    // see CRecordingDC
    CString text;             // TextOut, DrawText: the text; StartDoc: the document name
    LOGFONT font{};
    LOGPEN pen{};
    LOGBRUSH brush{};
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    int rop2 = 0;
    UINT textAlign = 0;
    // StretchDIBits: the bitmap header and the bits as given.
    BITMAPINFOHEADER dib{};
    std::vector<unsigned char> bits;
};

struct RecordingDevice {
    int horzRes = 800;
    int vertRes = 600;
    int dpiX = 96;
    int dpiY = 96;
    int bitsPixel = 24;
    bool printer = false;
    int charWidth = 8;
    int charHeight = 16;
};

// Arguments recorded:
//   MoveTo {x, y}; LineTo {x1, y1, x2, y2}; Rectangle, Ellipse {left, top, right, bottom};
//   Polyline, Polygon {x1, y1, x2, y2, ...};
//   FillRect {left, top, right, bottom, brush colour}; FillSolidRect {left, top, right, bottom, colour};
//   TextOut {x, y}; DrawText {left, top, right, bottom, format};
//   BitBlt {x, y, width, height, xSrc, ySrc, rop};
//   StretchBlt {x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, rop};
//   StretchDIBits {x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, usage, rop}.
class CRecordingDC : public CDC {
public:
    explicit CRecordingDC(const RecordingDevice& device = RecordingDevice());
    const std::vector<GdiRecord>& Records() const;
    // The records of one operation, in order.
    std::vector<GdiRecord> Find(const char* op) const;
    void Clear();
};
