// The metafile context records each drawing call as an enhanced-metafile record, preceded
// by the records that bring the player's pen, brush, font and attributes to those in force,
// and draws it on a picture too (a memory context on a bitmap of the reference size).
#include "platform/gdi/metafile_dc.h"

#include <QFontMetrics>
#include <algorithm>
#include <string>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <unordered_set>

#include "platform/core/cp1252.h"
#include "platform/core/cstring.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"

namespace afx::gdi {

namespace {

// Record types.
constexpr uint32_t EMR_HEADER = 1;
constexpr uint32_t EMR_EOF = 14;
[[maybe_unused]] constexpr uint32_t EMR_SETMAPMODE = 17;
constexpr uint32_t EMR_SETBKMODE = 18;
constexpr uint32_t EMR_SETROP2 = 20;
constexpr uint32_t EMR_SETTEXTALIGN = 22;
constexpr uint32_t EMR_SETTEXTCOLOR = 24;
constexpr uint32_t EMR_SETBKCOLOR = 25;
constexpr uint32_t EMR_MOVETOEX = 27;
constexpr uint32_t EMR_SELECTOBJECT = 37;
constexpr uint32_t EMR_CREATEPEN = 38;
constexpr uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr uint32_t EMR_DELETEOBJECT = 40;
constexpr uint32_t EMR_ELLIPSE = 42;
constexpr uint32_t EMR_RECTANGLE = 43;
constexpr uint32_t EMR_LINETO = 54;
constexpr uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr uint32_t EMR_EXTTEXTOUTW = 84;
constexpr uint32_t EMR_POLYGON16 = 86;
constexpr uint32_t EMR_POLYLINE16 = 87;
constexpr uint32_t kStock = 0x80000000u;
constexpr uint32_t kHeaderSize = 88;

std::unordered_set<EnhMetaFile*>& LiveMetafiles() {
    static auto* live = new std::unordered_set<EnhMetaFile*>;
    return *live;
}

// Little-endian record bytes.
class Record {
public:
    explicit Record(uint32_t type) {
        U32(type);
        U32(0);
    }
    Record& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    Record& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Record& I16(int v) {
        const auto u = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -32768, 32767)));
        bytes.push_back(static_cast<unsigned char>(u & 0xFF));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
        return *this;
    }
    Record& Byte(unsigned char b) {
        bytes.push_back(b);
        return *this;
    }
    Record& Rect(const RECT& r) { return I32(r.left).I32(r.top).I32(r.right).I32(r.bottom); }
    // UTF-16 text, padded with zeros to a multiple of 4 bytes.
    Record& Text(const std::u16string& s) {
        for (char16_t c : s) bytes.push_back(static_cast<unsigned char>(c & 0xFF)), bytes.push_back(static_cast<unsigned char>(c >> 8));
        Pad();
        return *this;
    }
    void Pad() {
        while (bytes.size() % 4) bytes.push_back(0);
    }
    size_t Size() const { return bytes.size(); }
    std::vector<unsigned char> Done() {
        Pad();
        const auto n = static_cast<uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i) bytes[4 + static_cast<size_t>(i)] = static_cast<unsigned char>(n >> (8 * i));
        return std::move(bytes);
    }

private:
    std::vector<unsigned char> bytes;
};

std::u16string Utf16(const CString& text) {
    QString q = afx::ToQ(text);
    return std::u16string(reinterpret_cast<const char16_t*>(q.utf16()), static_cast<size_t>(q.size()));
}

int StockIndexOf(HGDIOBJ handle) {
    for (int i : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN,
                  NULL_PEN, SYSTEM_FONT, ANSI_VAR_FONT, ANSI_FIXED_FONT, DEFAULT_GUI_FONT})
        if (::GetStockObject(i) == handle) return i;
    return -1;
}

class MetafileContext : public MemoryContext {
public:
    MetafileContext(const Device& reference, const RECT* frame, const std::u16string& description, const CString& path)
        : MemoryContext(reference), m_reference(reference), m_description(description), m_path(path) {
        if (frame) {
            m_frame = *frame;
            m_frameGiven = true;
        }
        m_picture = NewBitmap(std::max(1, reference.horzRes), std::max(1, reference.vertRes), 32);
        if (auto* b = FindAs<Bitmap>(m_picture, Kind::Bitmap)) b->image.fill(qRgb(255, 255, 255));
        Select(m_picture);
        ::DeleteObject(m_picture);   // goes with the context
        m_sealed = true;
    }

    bool AcceptsBitmaps() const override { return !m_sealed; }
    bool Read(const QRect&, QImage*) override { return false; }
    COLORREF Pixel(int, int) override { return CLR_INVALID; }

    bool MoveTo(int x, int y) override {
        if (!m_quiet) Add(Record(EMR_MOVETOEX).I32(x).I32(y).Done());
        return DeviceContext::MoveTo(x, y);
    }
    bool LineTo(int x, int y) override {
        if (!m_quiet) {
            EmitState(true, false, false);
            Add(Record(EMR_LINETO).I32(x).I32(y).Done());
            Extend(state.position.x, state.position.y);
            Extend(x, y);
        }
        return RasterContext::LineTo(x, y);
    }
    bool Rectangle(const RECT& r) override { return Shape(EMR_RECTANGLE, r) && Quietly([&] { return RasterContext::Rectangle(r); }); }
    bool Ellipse(const RECT& r) override { return Shape(EMR_ELLIPSE, r) && Quietly([&] { return RasterContext::Ellipse(r); }); }
    bool Polyline(const std::vector<POINT>& points) override {
        Points(EMR_POLYLINE16, points, true, false);
        return RasterContext::Polyline(points);
    }
    bool Polygon(const std::vector<POINT>& points) override {
        Points(EMR_POLYGON16, points, true, true);
        return RasterContext::Polygon(points);
    }
    bool FillSolidRect(const RECT& r, COLORREF colour) override {
        FilledRect(r, colour);
        return RasterContext::FillSolidRect(r, colour);
    }
    bool FillRect(const RECT& r, HBRUSH brush) override {
        if (auto* b = FindAs<Brush>(brush, Kind::Brush); b && b->log.lbStyle == BS_SOLID) FilledRect(r, b->log.lbColor);
        return RasterContext::FillRect(r, brush);
    }
    bool TextOut(int x, int y, const CString& text) override {
        TextRecord(x, y, text);
        return RasterContext::TextOut(x, y, text);
    }
    int DrawText(const CString& text, RECT* r, UINT format) override {
        if (!(format & DT_CALCRECT) && r) {
            // Recorded as a line of text at the place the rectangle and format give it.
            RECT measured = *r;
            RasterContext::DrawText(text, &measured, format | DT_CALCRECT);
            int x = r->left;
            if (format & DT_CENTER) x = (r->left + r->right - (measured.right - measured.left)) / 2;
            else if (format & DT_RIGHT) x = r->right - (measured.right - measured.left);
            const UINT align = state.textAlign;
            state.textAlign = TA_LEFT | TA_TOP;
            TextRecord(x, r->top, text);
            state.textAlign = align;
        }
        return RasterContext::DrawText(text, r, format);
    }

    // The whole metafile: header, records, end.
    EnhMetaFile* Finish() {
        auto* mf = new EnhMetaFile;
        const RECT bounds = m_any ? m_bounds : RECT{0, 0, 0, 0};
        RECT frame = m_frame;
        if (!m_frameGiven) {
            const int dx = std::max(1, m_reference.dpiX), dy = std::max(1, m_reference.dpiY);
            frame = {bounds.left * 2540 / dx, bounds.top * 2540 / dy, (bounds.right + 1) * 2540 / dx,
                     (bounds.bottom + 1) * 2540 / dy};
        }
        const std::u16string& description = m_description;
        std::vector<unsigned char> eof = Record(EMR_EOF).U32(0).U32(16).U32(20).Done();
        Record header(EMR_HEADER);
        header.Rect(bounds).Rect(frame).U32(0x464D4520u).U32(0x10000u);
        const size_t headerSize = kHeaderSize + ((description.size() * 2 + 3) / 4) * 4;
        const size_t total = headerSize + m_body.size() + eof.size();
        header.U32(static_cast<uint32_t>(total)).U32(static_cast<uint32_t>(m_records + 2));
        header.I16(m_usedHandles ? 7 : 1).I16(0);
        header.U32(static_cast<uint32_t>(description.size())).U32(description.empty() ? 0 : kHeaderSize).U32(0);
        header.I32(m_reference.horzRes).I32(m_reference.vertRes);
        header.I32(m_reference.horzRes * 254 / (10 * std::max(1, m_reference.dpiX)));
        header.I32(m_reference.vertRes * 254 / (10 * std::max(1, m_reference.dpiY)));
        header.Text(description);
        mf->bytes = header.Done();
        mf->bytes.insert(mf->bytes.end(), m_body.begin(), m_body.end());
        mf->bytes.insert(mf->bytes.end(), eof.begin(), eof.end());
        // The picture, cut to what was drawn.
        FinishDrawing();
        if (auto* b = FindAs<Bitmap>(m_picture, Kind::Bitmap)) {
            const int w = m_any ? std::min(b->image.width(), static_cast<int>(bounds.right) + 1) : 1;
            const int h = m_any ? std::min(b->image.height(), static_cast<int>(bounds.bottom) + 1) : 1;
            mf->picture = b->image.copy(0, 0, std::max(1, w), std::max(1, h));
        }
        return mf;
    }
    const CString& Path() const { return m_path; }

private:
    void Add(const std::vector<unsigned char>& record) {
        m_body.insert(m_body.end(), record.begin(), record.end());
        ++m_records;
    }
    template <class F>
    bool Quietly(F draw) {
        m_quiet = true;
        const bool ok = draw();
        m_quiet = false;
        return ok;
    }
    void Extend(int x, int y) {
        if (!m_any) {
            m_bounds = {x, y, x, y};
            m_any = true;
            return;
        }
        m_bounds.left = std::min<LONG>(m_bounds.left, x);
        m_bounds.top = std::min<LONG>(m_bounds.top, y);
        m_bounds.right = std::max<LONG>(m_bounds.right, x);
        m_bounds.bottom = std::max<LONG>(m_bounds.bottom, y);
    }

    // The pen, brush and font in force, and the attributes, brought to the player.
    void EmitState(bool pen, bool brush, bool font) {
        if (state.bkMode != m_bkMode) Add(Record(EMR_SETBKMODE).U32(static_cast<uint32_t>(m_bkMode = state.bkMode)).Done());
        if (state.rop2 != m_rop2) Add(Record(EMR_SETROP2).U32(static_cast<uint32_t>(m_rop2 = state.rop2)).Done());
        if (state.bkColor != m_bkColor) Add(Record(EMR_SETBKCOLOR).U32(m_bkColor = state.bkColor).Done());
        if (pen && state.pen != m_pen) {
            m_pen = state.pen;
            if (int stock = StockIndexOf(m_pen); stock >= 0) {
                Add(Record(EMR_SELECTOBJECT).U32(kStock | static_cast<uint32_t>(stock)).Done());
            } else if (Pen* p = CurrentPen()) {
                const uint32_t slot = Next(m_penSlot, 1);
                Add(Record(EMR_CREATEPEN).U32(slot).U32(p->log.lopnStyle).I32(p->log.lopnWidth.x).I32(0).U32(p->log.lopnColor).Done());
                SelectSlot(slot, m_penSlot);
            }
        }
        if (brush && state.brush != m_brush) {
            m_brush = state.brush;
            if (int stock = StockIndexOf(m_brush); stock >= 0) {
                Add(Record(EMR_SELECTOBJECT).U32(kStock | static_cast<uint32_t>(stock)).Done());
            } else if (Brush* b = CurrentBrush()) {
                const uint32_t slot = Next(m_brushSlot, 3);
                Add(Record(EMR_CREATEBRUSHINDIRECT).U32(slot).U32(b->log.lbStyle).U32(b->log.lbColor)
                        .U32(static_cast<uint32_t>(b->log.lbHatch)).Done());
                SelectSlot(slot, m_brushSlot);
            }
        }
        if (font) {
            if (state.textColor != m_textColor) Add(Record(EMR_SETTEXTCOLOR).U32(m_textColor = state.textColor).Done());
            if (state.textAlign != m_textAlign) Add(Record(EMR_SETTEXTALIGN).U32(m_textAlign = state.textAlign).Done());
            if (state.font != m_font) {
                m_font = state.font;
                if (int stock = StockIndexOf(m_font); stock >= 0) {
                    Add(Record(EMR_SELECTOBJECT).U32(kStock | static_cast<uint32_t>(stock)).Done());
                } else if (Font* f = CurrentFont()) {
                    const uint32_t slot = Next(m_fontSlot, 5);
                    const LOGFONT& lf = f->log;
                    Record r(EMR_EXTCREATEFONTINDIRECTW);
                    r.U32(slot).I32(lf.lfHeight).I32(lf.lfWidth).I32(lf.lfEscapement).I32(lf.lfOrientation).I32(lf.lfWeight);
                    for (BYTE b : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision,
                                   lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily})
                        r.Byte(b);
                    std::u16string face = Utf16(CString(lf.lfFaceName));
                    face.resize(32, u'\0');
                    Add(r.Text(face).Done());
                    SelectSlot(slot, m_fontSlot);
                }
            }
        }
    }
    // Two handle slots a kind, used in turn, so that the new object is made before the old
    // one is let go.
    uint32_t Next(uint32_t current, uint32_t first) {
        m_usedHandles = true;
        return current == first ? first + 1 : first;
    }
    void SelectSlot(uint32_t slot, uint32_t& current) {
        Add(Record(EMR_SELECTOBJECT).U32(slot).Done());
        if (current) Add(Record(EMR_DELETEOBJECT).U32(current).Done());
        current = slot;
    }

    bool Shape(uint32_t type, const RECT& r) {
        if (m_quiet) return true;
        EmitState(true, true, false);
        Add(Record(type).Rect(r).Done());
        Extend(std::min(r.left, r.right), std::min(r.top, r.bottom));
        Extend(std::max(r.left, r.right) - 1, std::max(r.top, r.bottom) - 1);
        return true;
    }
    void Points(uint32_t type, const std::vector<POINT>& points, bool pen, bool brush) {
        if (points.empty()) return;
        EmitState(pen, brush, false);
        RECT box{points[0].x, points[0].y, points[0].x, points[0].y};
        for (const POINT& p : points) {
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x);
            box.bottom = std::max(box.bottom, p.y);
        }
        Record r(type);
        r.Rect(box).U32(static_cast<uint32_t>(points.size()));
        for (const POINT& p : points) r.I16(p.x).I16(p.y);
        Add(r.Done());
        Extend(box.left, box.top);
        Extend(box.right, box.bottom);
    }
    // A rectangle of one colour: a solid brush without an outline (which fills one pixel
    // less on the right and bottom, hence the larger rectangle).
    void FilledRect(const RECT& r, COLORREF colour) {
        EmitState(false, false, false);
        const uint32_t slot = Next(m_brushSlot, 3);
        Add(Record(EMR_CREATEBRUSHINDIRECT).U32(slot).U32(BS_SOLID).U32(colour).U32(0).Done());
        SelectSlot(slot, m_brushSlot);
        Add(Record(EMR_SELECTOBJECT).U32(kStock | static_cast<uint32_t>(NULL_PEN)).Done());
        Add(Record(EMR_RECTANGLE).I32(r.left).I32(r.top).I32(r.right + 1).I32(r.bottom + 1).Done());
        m_brush = nullptr;   // the player's brush and pen are no longer the context's
        m_pen = nullptr;
        Extend(r.left, r.top);
        Extend(r.right - 1, r.bottom - 1);
    }
    void TextRecord(int x, int y, const CString& text) {
        EmitState(false, false, true);
        const std::u16string s = Utf16(text);
        const CSize size = TextExtent(text);
        const RECT box{x, y, x + size.cx, y + size.cy};
        Record r(EMR_EXTTEXTOUTW);
        r.Rect(box).U32(1).U32(0).U32(0);   // compatible graphics mode, no scaling
        const uint32_t offString = 76;
        const uint32_t offDx = offString + static_cast<uint32_t>(((s.size() * 2 + 3) / 4) * 4);
        r.I32(x).I32(y).U32(static_cast<uint32_t>(s.size())).U32(offString).U32(0).Rect(RECT{0, 0, -1, -1}).U32(offDx);
        r.Text(s);
        // Advances of the characters.
        Font* f = CurrentFont();
        QFontMetrics fm(ToQFont(f ? f->log : LOGFONT{}, MetricsDevice()), const_cast<QPaintDevice*>(MetricsDevice()));
        const QString q = afx::ToQ(text);
        for (qsizetype i = 0; i < q.size(); ++i) r.I32(fm.horizontalAdvance(q[i]));
        Add(r.Done());
        Extend(box.left, box.top);
        Extend(box.right, box.bottom);
    }

    Device m_reference;
    std::u16string m_description;
    CString m_path;
    RECT m_frame{0, 0, 0, 0};
    bool m_frameGiven = false;
    HGDIOBJ m_picture = nullptr;
    bool m_sealed = false;
    bool m_quiet = false;
    std::vector<unsigned char> m_body;
    size_t m_records = 0;
    RECT m_bounds{0, 0, 0, 0};
    bool m_any = false;
    bool m_usedHandles = false;
    // What the player has now.
    HGDIOBJ m_pen = ::GetStockObject(BLACK_PEN);
    HGDIOBJ m_brush = ::GetStockObject(WHITE_BRUSH);
    HGDIOBJ m_font = ::GetStockObject(SYSTEM_FONT);
    uint32_t m_penSlot = 0, m_brushSlot = 0, m_fontSlot = 0;
    COLORREF m_textColor = 0, m_bkColor = 0xFFFFFF;
    int m_bkMode = OPAQUE, m_rop2 = R2_COPYPEN;
    UINT m_textAlign = TA_LEFT | TA_TOP;
};

}  // namespace

EnhMetaFile* FindMetafile(void* handle) {
    auto* mf = static_cast<EnhMetaFile*>(handle);
    return mf && LiveMetafiles().count(mf) ? mf : nullptr;
}

}  // namespace afx::gdi

using afx::gdi::EnhMetaFile;

CMetaFileDC::~CMetaFileDC() {
    if (m_hDC) ::DeleteDC(Detach());
}

BOOL CMetaFileDC::CreateEnhanced(CDC* refDC, const char* fileName, const RECT* bounds, const char* description,
                                 size_t size) {
    if (m_hDC) return FALSE;
    afx::gdi::Device reference = afx::gdi::ScreenDevice();
    if (refDC) {
        afx::gdi::DeviceContext* ref = afx::gdi::DeviceContext::Of(refDC->GetSafeHdc());
        if (!ref) {
            SetLastError(EINVAL);
            return FALSE;
        }
        reference = ref->Caps();
    }
    // The description: the application's name and the picture's, each ended by a zero; an
    // empty part or the end of the given bytes ends it.
    std::u16string text;
    if (description) {
        const char* p = description;
        const char* const end = description + size;
        for (int part = 0; part < 2 && p < end && *p; ++part) {
            const char* stop = std::find(p, end, '\0');
            text += afx::gdi::Utf16(CString(std::string(p, stop)));
            text.push_back(u'\0');
            p = stop == end ? end : stop + 1;
        }
    }
    auto* c = new afx::gdi::MetafileContext(reference, bounds, text, CString(fileName ? fileName : ""));
    return Attach(c->Handle());
}

HENHMETAFILE CMetaFileDC::CloseEnhanced() {
    auto* c = dynamic_cast<afx::gdi::MetafileContext*>(afx::gdi::DeviceContext::Of(m_hDC));
    if (!c) return nullptr;
    EnhMetaFile* mf = c->Finish();
    const CString path = c->Path();
    ::DeleteDC(Detach());
    if (!path.IsEmpty()) {
        std::ofstream out(afx::Cp1252ToUtf8(path.str()), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(mf->bytes.data()), static_cast<std::streamsize>(mf->bytes.size()));
        if (!out) {
            delete mf;
            SetLastError(EIO);
            return nullptr;
        }
    }
    afx::gdi::LiveMetafiles().insert(mf);
    return reinterpret_cast<HENHMETAFILE>(mf);
}

UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* buffer) {
    EnhMetaFile* mf = afx::gdi::FindMetafile(metafile);
    if (!mf) return 0;
    if (buffer) std::memcpy(buffer, mf->bytes.data(), std::min<size_t>(size, mf->bytes.size()));
    return static_cast<UINT>(mf->bytes.size());
}

BOOL DeleteEnhMetaFile(HENHMETAFILE metafile) {
    EnhMetaFile* mf = afx::gdi::FindMetafile(metafile);
    if (!mf) return FALSE;
    afx::gdi::LiveMetafiles().erase(mf);
    delete mf;
    return TRUE;
}

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* bytes) {
    // At least a header and an end record, a header that says it is one, and the size it gives.
    if (!bytes || size < afx::gdi::kHeaderSize + 20) return nullptr;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
               static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    };
    if (u32(0) != afx::gdi::EMR_HEADER || u32(40) != 0x464D4520u || u32(48) != size) return nullptr;
    auto* mf = new EnhMetaFile;
    mf->bytes.assign(bytes, bytes + size);
    afx::gdi::LiveMetafiles().insert(mf);
    return reinterpret_cast<HENHMETAFILE>(mf);
}
