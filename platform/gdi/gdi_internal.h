// Internal to the platform: drawing objects and device contexts behind their handles.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/last_error.h"

class QPrinter;

namespace afx::gdi {

class DeviceContext;

enum class Kind { Pen, Brush, Font, Bitmap, Palette };

// The object behind a drawing-object handle.
struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Kind kind;
    bool stock = false;
    bool clipboardOwned = false;   // the clipboard holds it: DeleteObject leaves it alone
    bool deletePending = false;    // deleted while selected: goes when the last context lets go
    int selections = 0;            // device contexts (and saved states) that hold it
    CGdiObject* attached = nullptr;
    std::unique_ptr<CGdiObject> standIn;
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    LOGPEN log{};
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    LOGBRUSH log{};
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONT log{};
};

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    QImage image;                    // Format_RGB32, the pixels as colours
    int bitsPixel = 24;
    std::vector<QRgb> table;         // colour table of bitmaps of 8 bits or fewer
    DeviceContext* selectedIn = nullptr;
};

struct Palette : Object {
    Palette() : Object(Kind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

// Handles: the address of a live object. Find gives null for a null or dead handle.
HGDIOBJ Register(std::unique_ptr<Object> object);
Object* Find(HGDIOBJ handle);
template <class T>
T* FindAs(HGDIOBJ handle, Kind kind) {
    Object* o = Find(handle);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}
// A context lets go of an object it held; a pending deletion happens now.
void Unhold(HGDIOBJ handle);
void Hold(HGDIOBJ handle);
// Frees an object (clipboard use: the clipboard's own bitmaps).
void Destroy(Object* object);

// Bitmaps.
HBITMAP NewBitmap(int width, int height, int bitsPixel);
HBITMAP NewBitmapFromImage(const QImage& image);
std::vector<QRgb> DefaultColourTable(int bitsPixel);
// The bitmap's pixels with colours limited to its colour table (for 8 bits or fewer).
QImage PixelsOf(Bitmap& bitmap);

// Enhanced metafiles: the recorded bytes and the picture painted alongside.
struct EnhMetaFile {
    std::vector<unsigned char> bytes;
    QImage picture;
};
EnhMetaFile* FindMetafile(void* handle);

// Fonts: a logical font for a device of the given vertical resolution.
QFont ToQFont(const LOGFONT& log, const QPaintDevice* device);
QColor ToQColor(COLORREF c);
COLORREF FromQColor(QRgb c);

// Decodes a device-independent bitmap (BI_RGB) into an image, rows top-down.
bool DecodeDib(const BITMAPINFO* info, const void* bits, UINT usage, QImage* out);

// State of a device context that SaveDC keeps.
struct State {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ palette = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    int mapMode = MM_TEXT;
    POINT position{0, 0};
};

// Capabilities of a device.
struct Device {
    int horzRes = 800;
    int vertRes = 600;
    int dpiX = 96;
    int dpiY = 96;
    int bitsPixel = 24;
    int planes = 1;
};
Device ScreenDevice();

// A device context. The common part keeps the selected objects and the attributes; the
// kinds of context (memory bitmap, window, printer, recording) draw.
class DeviceContext {
public:
    DeviceContext();
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    static DeviceContext* Of(HDC dc);
    HDC Handle() { return reinterpret_cast<HDC>(this); }

    CDC* attached = nullptr;
    std::unique_ptr<CDC> standIn;
    HWND window = nullptr;   // the window of a GetDC context
    bool printing = false;

    State state;
    std::vector<State> saved;

    // Selects an object; returns the one it replaces, null on failure.
    HGDIOBJ Select(HGDIOBJ object, bool palette = false);
    int Save();
    bool Restore(int level);

    Pen* CurrentPen() const { return FindAs<Pen>(state.pen, Kind::Pen); }
    Brush* CurrentBrush() const { return FindAs<Brush>(state.brush, Kind::Brush); }
    Font* CurrentFont() const { return FindAs<Font>(state.font, Kind::Font); }
    Bitmap* CurrentBitmap() const { return FindAs<Bitmap>(state.bitmap, Kind::Bitmap); }

    virtual Device Caps() const = 0;
    // Bits per pixel of the bitmaps that CreateCompatibleBitmap makes for this context.
    virtual int CompatibleBits() const { return Caps().bitsPixel; }
    virtual bool AcceptsBitmaps() const { return false; }
    virtual CSize TextExtent(const CString& text) = 0;

    virtual bool MoveTo(int x, int y);
    virtual bool LineTo(int x, int y) = 0;
    virtual bool Rectangle(const RECT& r) = 0;
    virtual bool Ellipse(const RECT& r) = 0;
    // Lines through the points, the last pixel left out as by LineTo; the current
    // position is neither used nor changed.
    virtual bool Polyline(const std::vector<POINT>& points) = 0;
    // Outline in the current pen, inside in the current brush (alternate filling).
    virtual bool Polygon(const std::vector<POINT>& points) = 0;
    virtual bool TextMetrics(TEXTMETRIC* out) = 0;
    virtual bool FillRect(const RECT& r, HBRUSH brush) = 0;
    virtual bool FillSolidRect(const RECT& r, COLORREF colour) = 0;
    virtual bool TextOut(int x, int y, const CString& text) = 0;
    virtual int DrawText(const CString& text, RECT* r, UINT format) = 0;
    virtual bool Blt(const RECT& dest, DeviceContext* source, const RECT& src, DWORD rop, bool stretch) = 0;
    virtual int DIBits(const RECT& dest, const RECT& src, const BITMAPINFO* info, const void* bits, UINT usage,
                       DWORD rop) = 0;
    virtual COLORREF Pixel(int x, int y) = 0;
    // The pixels of a rectangle of this context, for copying from it; false when the
    // device cannot be read.
    virtual bool Read(const QRect& r, QImage* out) = 0;

    // Makes everything drawn so far readable in the selected bitmap's pixels.
    virtual void FinishDrawing() {}

    virtual int StartDoc(const CString& name);
    virtual int StartPage();
    virtual int EndPage();
    virtual int EndDoc();
    virtual int AbortDoc();

protected:
    // A bitmap was selected into the context (memory contexts draw into it).
    virtual void BitmapChanged() {}
};

// A context that draws with a painter on an image, a widget or a printer.
class RasterContext : public DeviceContext {
public:
    CSize TextExtent(const CString& text) override;
    bool LineTo(int x, int y) override;
    bool Rectangle(const RECT& r) override;
    bool Ellipse(const RECT& r) override;
    bool Polyline(const std::vector<POINT>& points) override;
    bool Polygon(const std::vector<POINT>& points) override;
    bool TextMetrics(TEXTMETRIC* out) override;
    bool FillRect(const RECT& r, HBRUSH brush) override;
    bool FillSolidRect(const RECT& r, COLORREF colour) override;
    bool TextOut(int x, int y, const CString& text) override;
    int DrawText(const CString& text, RECT* r, UINT format) override;
    bool Blt(const RECT& dest, DeviceContext* source, const RECT& src, DWORD rop, bool stretch) override;
    int DIBits(const RECT& dest, const RECT& src, const BITMAPINFO* info, const void* bits, UINT usage,
               DWORD rop) override;
    COLORREF Pixel(int x, int y) override;

protected:
    // A painter ready to draw (its state is saved and restored around each call), or null
    // when nothing can be drawn now.
    virtual QPainter* Painter() = 0;
    // Places the context's coordinates on the painter.
    virtual void Prepare(QPainter&) {}
    // The device that fonts are measured on.
    virtual const QPaintDevice* MetricsDevice() = 0;
    // Called after something was drawn.
    virtual void Drawn() {}

private:
    bool Shape(const RECT& r, bool ellipse);
    // One-pixel or wide line from a to b in the current pen, b left out; false when the
    // pen or painter is missing.
    bool Segment(QPoint a, QPoint b);
    bool DrawImage(const QRect& dest, const QImage& image, DWORD rop);
};

// Memory context: draws into its selected bitmap.
class MemoryContext : public RasterContext {
public:
    explicit MemoryContext(const Device& reference);
    ~MemoryContext() override;
    Device Caps() const override;
    int CompatibleBits() const override;
    bool AcceptsBitmaps() const override { return true; }
    bool Read(const QRect& r, QImage* out) override;
    COLORREF Pixel(int x, int y) override;
    void FinishDrawing() override { EndPainting(); }

protected:
    QPainter* Painter() override;
    const QPaintDevice* MetricsDevice() override;
    void BitmapChanged() override;

private:
    void EndPainting();
    Device m_reference;
    HGDIOBJ m_initial = nullptr;
    std::unique_ptr<QPainter> m_painter;
    Bitmap* m_painting = nullptr;
    QImage m_metrics{1, 1, QImage::Format_RGB32};
};

// The screen: measures, but neither draws nor reads.
class ScreenContext : public RasterContext {
public:
    Device Caps() const override { return ScreenDevice(); }
    bool Read(const QRect&, QImage*) override { return false; }

protected:
    QPainter* Painter() override { return nullptr; }
    const QPaintDevice* MetricsDevice() override { return &m_metrics; }

private:
    QImage m_metrics{1, 1, QImage::Format_RGB32};
};

// A window's client area. Outside painting, drawing goes onto a copy of what the window
// shows and stays on the window until it is next invalidated; reading gives what the
// window (and what lies around it in its top-level window) shows. During the window's
// own painting, drawing goes straight onto the window.
class WindowContext : public RasterContext {
public:
    explicit WindowContext(QWidget* widget);
    ~WindowContext() override;
    Device Caps() const override { return ScreenDevice(); }
    bool Read(const QRect& r, QImage* out) override;
    // The context's (0, 0) in the coordinates of the widget that shows the client area.
    QPoint Origin() const { return m_origin; }

protected:
    QPainter* Painter() override;
    void Prepare(QPainter& painter) override;
    const QPaintDevice* MetricsDevice() override;
    void Drawn() override;

private:
    void Flush();
    QPointer<QWidget> m_client;   // the widget that shows the client area
    QPoint m_origin;
    bool m_direct = false;        // inside the window's own painting
    std::shared_ptr<QPainter> m_shared;
    // Outside painting: the client widget's pixels without this program's drawing on
    // them, and with it.
    QImage m_base;
    QImage m_work;
    std::unique_ptr<QPainter> m_painter;
    bool m_drawn = false;
};

// A context over a painter that some toolkit painting already holds (the cells of a
// list during its custom drawing): it draws with that painter and cannot be read.
class PainterContext : public RasterContext {
public:
    explicit PainterContext(QPainter* painter) : m_painter(painter) {}
    Device Caps() const override { return ScreenDevice(); }
    bool Read(const QRect&, QImage*) override { return false; }

protected:
    QPainter* Painter() override { return m_painter; }
    const QPaintDevice* MetricsDevice() override { return m_painter->device(); }

private:
    QPainter* m_painter;
};

// A printer chosen in the print dialog.
class PrinterContext : public RasterContext {
public:
    explicit PrinterContext(std::shared_ptr<QPrinter> printer);
    ~PrinterContext() override;
    Device Caps() const override;
    bool Read(const QRect&, QImage*) override { return false; }
    int StartDoc(const CString& name) override;
    int StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int AbortDoc() override;
    QPrinter* Printer() const { return m_printer.get(); }

protected:
    QPainter* Painter() override;
    const QPaintDevice* MetricsDevice() override;

private:
    std::shared_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    bool m_inPage = false;
    int m_pages = 0;
};


}  // namespace afx::gdi
