#include "platform/gdi/recording_dc.h"

#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi_internal.h"

namespace afx::gdi {

namespace {
class RecordingContext : public DeviceContext {
public:
    explicit RecordingContext(const RecordingDevice& device) : m_device(device) { printing = device.printer; }

    std::vector<GdiRecord> records;

    Device Caps() const override {
        Device d;
        d.horzRes = m_device.horzRes;
        d.vertRes = m_device.vertRes;
        d.dpiX = m_device.dpiX;
        d.dpiY = m_device.dpiY;
        d.bitsPixel = m_device.bitsPixel;
        return d;
    }

    CSize TextExtent(const CString& text) override {
        int width = m_device.charWidth, height = m_device.charHeight;
        Font* f = CurrentFont();
        if (f && !f->stock && f->log.lfHeight != 0) {
            height = std::abs(f->log.lfHeight);
            width = f->log.lfWidth > 0 ? f->log.lfWidth : height / 2;
        }
        return CSize(text.GetLength() * width, height);
    }

    bool MoveTo(int x, int y) override {
        Record("MoveTo", {x, y});
        return DeviceContext::MoveTo(x, y);
    }
    bool LineTo(int x, int y) override {
        Record("LineTo", {state.position.x, state.position.y, x, y});
        state.position = {x, y};
        return true;
    }
    bool Rectangle(const RECT& r) override { return Record("Rectangle", {r.left, r.top, r.right, r.bottom}); }
    bool Ellipse(const RECT& r) override { return Record("Ellipse", {r.left, r.top, r.right, r.bottom}); }
    bool Polyline(const std::vector<POINT>& points) override { return Record("Polyline", Flat(points)); }
    bool Polygon(const std::vector<POINT>& points) override { return Record("Polygon", Flat(points)); }
    bool TextMetrics(TEXTMETRIC* out) override {
        CSize one = TextExtent(CString("x"));
        TEXTMETRIC tm{};
        tm.tmHeight = one.cy;
        tm.tmAscent = one.cy - one.cy / 4;
        tm.tmDescent = one.cy / 4;
        tm.tmAveCharWidth = one.cx;
        tm.tmMaxCharWidth = one.cx;
        tm.tmWeight = FW_NORMAL;
        if (Font* f = CurrentFont(); f && f->log.lfWeight > 0) tm.tmWeight = f->log.lfWeight;
        *out = tm;
        return true;
    }
    bool FillRect(const RECT& r, HBRUSH brush) override {
        auto* b = FindAs<Brush>(brush, Kind::Brush);
        if (!b) return false;
        return Record("FillRect", {r.left, r.top, r.right, r.bottom, static_cast<int>(b->log.lbColor)});
    }
    bool FillSolidRect(const RECT& r, COLORREF colour) override {
        return Record("FillSolidRect", {r.left, r.top, r.right, r.bottom, static_cast<int>(colour)});
    }
    bool TextOut(int x, int y, const CString& text) override { return Record("TextOut", {x, y}, text); }
    int DrawText(const CString& text, RECT* r, UINT format) override {
        CSize extent = TextExtent(text);
        if (format & DT_CALCRECT) {
            r->right = r->left + extent.cx;
            r->bottom = r->top + extent.cy;
            return extent.cy;
        }
        Record("DrawText", {r->left, r->top, r->right, r->bottom, static_cast<int>(format)}, text);
        return extent.cy;
    }
    bool Blt(const RECT& d, DeviceContext*, const RECT& s, DWORD rop, bool stretch) override {
        if (stretch)
            return Record("StretchBlt", {d.left, d.top, d.right - d.left, d.bottom - d.top, s.left, s.top,
                                         s.right - s.left, s.bottom - s.top, static_cast<int>(rop)});
        return Record("BitBlt", {d.left, d.top, d.right - d.left, d.bottom - d.top, s.left, s.top, static_cast<int>(rop)});
    }
    int DIBits(const RECT& d, const RECT& s, const BITMAPINFO* info, const void* bits, UINT usage,
               DWORD rop) override {
        Record("StretchDIBits", {d.left, d.top, d.right - d.left, d.bottom - d.top, s.left, s.top, s.right - s.left,
                                 s.bottom - s.top, static_cast<int>(usage), static_cast<int>(rop)});
        GdiRecord& r = records.back();
        r.dib = info->bmiHeader;
        const BITMAPINFOHEADER& h = info->bmiHeader;
        long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
        long long size = ((static_cast<long long>(h.biWidth) * h.biBitCount + 31) / 32) * 4 * rows;
        if (size > 0 && size < (1LL << 30)) {
            const auto* p = static_cast<const unsigned char*>(bits);
            r.bits.assign(p, p + size);
        }
        return s.bottom - s.top;
    }
    COLORREF Pixel(int, int) override { return CLR_INVALID; }
    bool Read(const QRect&, QImage*) override { return false; }

    int StartDoc(const CString& name) override { return Record("StartDoc", {}, name) ? 1 : SP_ERROR; }
    int StartPage() override { return Record("StartPage", {}) ? 1 : SP_ERROR; }
    int EndPage() override { return Record("EndPage", {}) ? 1 : SP_ERROR; }
    int EndDoc() override { return Record("EndDoc", {}) ? 1 : SP_ERROR; }
    int AbortDoc() override { return Record("AbortDoc", {}) ? 1 : SP_ERROR; }

private:
    static std::vector<int> Flat(const std::vector<POINT>& points) {
        std::vector<int> out;
        for (const POINT& p : points) {
            out.push_back(p.x);
            out.push_back(p.y);
        }
        return out;
    }
    bool Record(const char* op, std::vector<int> args, const CString& text = CString()) {
        GdiRecord r;
        r.op = op;
        r.args = std::move(args);
        r.text = text;
        if (Font* f = CurrentFont()) r.font = f->log;
        if (Pen* p = CurrentPen()) r.pen = p->log;
        if (Brush* b = CurrentBrush()) r.brush = b->log;
        r.textColor = state.textColor;
        r.bkColor = state.bkColor;
        r.bkMode = state.bkMode;
        r.rop2 = state.rop2;
        r.textAlign = state.textAlign;
        records.push_back(std::move(r));
        return true;
    }

    RecordingDevice m_device;
};

RecordingContext* RecorderOf(HDC dc) { return dynamic_cast<RecordingContext*>(DeviceContext::Of(dc)); }
}  // namespace

}  // namespace afx::gdi

CRecordingDC::CRecordingDC(const RecordingDevice& device) {
    Attach((new afx::gdi::RecordingContext(device))->Handle());
}

const std::vector<GdiRecord>& CRecordingDC::Records() const {
    static const std::vector<GdiRecord> none;
    auto* r = afx::gdi::RecorderOf(m_hDC);
    return r ? r->records : none;
}

std::vector<GdiRecord> CRecordingDC::Find(const char* op) const {
    std::vector<GdiRecord> out;
    for (const GdiRecord& r : Records())
        if (r.op == op) out.push_back(r);
    return out;
}

void CRecordingDC::Clear() {
    if (auto* r = afx::gdi::RecorderOf(m_hDC)) r->records.clear();
}
