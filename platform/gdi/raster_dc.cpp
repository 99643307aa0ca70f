// Drawing with a painter, with the pixel rules of the original graphics interface: lines
// leave out their last pixel, rectangles and ellipses leave out their right and bottom
// edges, styled pens fill their gaps with the background colour in OPAQUE mode, and the
// mix modes of SetROP2 apply to pens and brushes.
#include <QFontMetrics>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"

namespace afx::gdi {

namespace {

struct Mix {
    bool skip = false;                 // R2_NOP
    bool forced = false;               // R2_BLACK, R2_WHITE: a fixed colour
    QColor colour;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
};

Mix MixOf(int rop2) {
    Mix m;
    switch (rop2) {
    case R2_BLACK: m.forced = true; m.colour = Qt::black; break;
    case R2_WHITE: m.forced = true; m.colour = Qt::white; break;
    case R2_NOP: m.skip = true; break;
    case R2_NOT: m.mode = QPainter::RasterOp_NotDestination; break;
    case R2_NOTCOPYPEN: m.mode = QPainter::RasterOp_NotSource; break;
    case R2_XORPEN: m.mode = QPainter::RasterOp_SourceXorDestination; break;
    case R2_NOTXORPEN: m.mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case R2_MERGEPEN: m.mode = QPainter::RasterOp_SourceOrDestination; break;
    case R2_MASKPEN: m.mode = QPainter::RasterOp_SourceAndDestination; break;
    case R2_NOTMERGEPEN: m.mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case R2_NOTMASKPEN: m.mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case R2_MASKNOTPEN: m.mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case R2_MASKPENNOT: m.mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case R2_MERGENOTPEN: m.mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case R2_MERGEPENNOT: m.mode = QPainter::RasterOp_SourceOrNotDestination; break;
    default: break;
    }
    return m;
}

QColor Coloured(const Mix& m, COLORREF c) { return m.forced ? m.colour : ToQColor(c); }

// On/off run lengths of the styled pens, in pixels.
std::vector<int> DashesOf(UINT style) {
    switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

bool Thin(const LOGPEN& pen) { return pen.lopnWidth.x <= 1; }

// The pixels of a one-pixel line from a to b, b left out (Bresenham).
std::vector<QPoint> LinePixels(QPoint a, QPoint b) {
    std::vector<QPoint> out;
    int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x(), y = a.y();
    while (x != b.x() || y != b.y()) {
        out.emplace_back(x, y);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return out;
}

QRect Normalised(const RECT& r) {
    int l = std::min(r.left, r.right), rr = std::max(r.left, r.right);
    int t = std::min(r.top, r.bottom), b = std::max(r.top, r.bottom);
    return QRect(QPoint(l, t), QPoint(rr - 1, b - 1));
}

// Composition of a block transfer; false for an operation not supported.
bool BltMode(DWORD rop, QPainter::CompositionMode* mode, bool* needsSource) {
    *needsSource = true;
    switch (rop) {
    case SRCCOPY: *mode = QPainter::CompositionMode_Source; return true;
    case SRCPAINT: *mode = QPainter::RasterOp_SourceOrDestination; return true;
    case SRCAND: *mode = QPainter::RasterOp_SourceAndDestination; return true;
    case SRCINVERT: *mode = QPainter::RasterOp_SourceXorDestination; return true;
    case NOTSRCCOPY: *mode = QPainter::RasterOp_NotSource; return true;
    default: break;
    }
    *needsSource = false;
    switch (rop) {
    case PATCOPY:
    case BLACKNESS:
    case WHITENESS: *mode = QPainter::CompositionMode_Source; return true;
    case PATINVERT: *mode = QPainter::RasterOp_SourceXorDestination; return true;
    case DSTINVERT: *mode = QPainter::RasterOp_NotDestination; return true;
    default: return false;
    }
}

QString TextOf(const CString& text) { return ToQ(text); }

// The painter's brush for a solid or hatched brush.
QBrush BrushOf(const LOGBRUSH& log, const Mix& mix) {
    QColor c = Coloured(mix, log.lbColor);
    if (log.lbStyle != BS_HATCHED) return QBrush(c);
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (log.lbHatch) {
    case HS_HORIZONTAL: style = Qt::HorPattern; break;
    case HS_VERTICAL: style = Qt::VerPattern; break;
    case HS_FDIAGONAL: style = Qt::FDiagPattern; break;
    case HS_BDIAGONAL: style = Qt::BDiagPattern; break;
    case HS_CROSS: style = Qt::CrossPattern; break;
    case HS_DIAGCROSS: style = Qt::DiagCrossPattern; break;
    default: break;
    }
    return QBrush(c, style);
}

}  // namespace

CSize RasterContext::TextExtent(const CString& text) {
    Font* f = CurrentFont();
    if (!f) return CSize();
    QFontMetrics fm(ToQFont(f->log, MetricsDevice()), const_cast<QPaintDevice*>(MetricsDevice()));
    return CSize(fm.horizontalAdvance(TextOf(text)), fm.ascent() + fm.descent());
}

bool RasterContext::LineTo(int x, int y) {
    QPoint from(state.position.x, state.position.y), to(x, y);
    state.position = {x, y};
    if (!Segment(from, to)) return false;
    Drawn();
    return true;
}

bool RasterContext::Segment(QPoint from, QPoint to) {
    Pen* pen = CurrentPen();
    QPainter* p = Painter();
    if (!pen || !p) {
        SetLastError(EINVAL);
        return false;
    }
    Mix mix = MixOf(state.rop2);
    if (pen->log.lopnStyle == PS_NULL || mix.skip) return true;
    p->save();
    Prepare(*p);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setCompositionMode(mix.mode);
    if (Thin(pen->log)) {
        std::vector<int> dashes = DashesOf(pen->log.lopnStyle);
        std::vector<QPoint> pixels = LinePixels(from, to);
        QPolygon on, off;
        if (dashes.empty()) {
            for (const QPoint& q : pixels) on << q;
        } else {
            size_t run = 0;
            int left = dashes[0];
            for (const QPoint& q : pixels) {
                (run % 2 == 0 ? on : off) << q;
                if (--left == 0) {
                    run = (run + 1) % dashes.size();
                    left = dashes[run];
                }
            }
        }
        p->setPen(QPen(Coloured(mix, pen->log.lopnColor), 1));
        p->drawPoints(on);
        if (state.bkMode == OPAQUE && !off.isEmpty()) {
            p->setPen(QPen(mix.forced ? mix.colour : ToQColor(state.bkColor), 1));
            p->drawPoints(off);
        }
    } else {
        QPen qp(Coloured(mix, pen->log.lopnColor), pen->log.lopnWidth.x, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p->setPen(qp);
        p->drawLine(from, to);
    }
    p->restore();
    return true;
}

bool RasterContext::Polyline(const std::vector<POINT>& points) {
    if (points.size() < 2) {
        SetLastError(EINVAL);
        return false;
    }
    for (size_t i = 1; i < points.size(); ++i)
        if (!Segment(QPoint(points[i - 1].x, points[i - 1].y), QPoint(points[i].x, points[i].y))) return false;
    Drawn();
    return true;
}

bool RasterContext::Polygon(const std::vector<POINT>& points) {
    Pen* pen = CurrentPen();
    Brush* brush = CurrentBrush();
    QPainter* p = Painter();
    if (points.size() < 2 || !pen || !brush || !p) {
        SetLastError(EINVAL);
        return false;
    }
    Mix mix = MixOf(state.rop2);
    if (mix.skip) return true;
    QPolygon poly;
    for (const POINT& pt : points) poly << QPoint(pt.x, pt.y);
    if (brush->log.lbStyle != BS_NULL) {
        p->save();
        Prepare(*p);
        p->setRenderHint(QPainter::Antialiasing, false);
        p->setCompositionMode(mix.mode);
        p->setPen(Qt::NoPen);
        if (brush->log.lbStyle == BS_HATCHED && state.bkMode == OPAQUE) {
            p->setBrush(mix.forced ? mix.colour : ToQColor(state.bkColor));
            p->drawPolygon(poly, Qt::OddEvenFill);
        }
        p->setBrush(BrushOf(brush->log, mix));
        p->drawPolygon(poly, Qt::OddEvenFill);
        p->restore();
    }
    if (pen->log.lopnStyle != PS_NULL) {
        for (qsizetype i = 0; i < poly.size(); ++i)
            if (!Segment(poly[i], poly[(i + 1) % poly.size()])) return false;
    }
    Drawn();
    return true;
}

bool RasterContext::TextMetrics(TEXTMETRIC* out) {
    Font* f = CurrentFont();
    if (!f || !out) {
        SetLastError(EINVAL);
        return false;
    }
    QFont font = ToQFont(f->log, MetricsDevice());
    QFontMetrics fm(font, const_cast<QPaintDevice*>(MetricsDevice()));
    TEXTMETRIC tm{};
    tm.tmAscent = fm.ascent();
    tm.tmDescent = fm.descent();
    tm.tmHeight = fm.ascent() + fm.descent();
    tm.tmInternalLeading = std::max(0, tm.tmHeight - font.pixelSize());
    tm.tmExternalLeading = std::max(0, fm.leading());
    tm.tmAveCharWidth = fm.averageCharWidth();
    tm.tmMaxCharWidth = fm.maxWidth();
    tm.tmWeight = f->log.lfWeight <= 0 ? FW_NORMAL : f->log.lfWeight;
    tm.tmItalic = f->log.lfItalic;
    tm.tmUnderlined = f->log.lfUnderline;
    tm.tmStruckOut = f->log.lfStrikeOut;
    tm.tmPitchAndFamily = f->log.lfPitchAndFamily;
    tm.tmCharSet = f->log.lfCharSet;
    *out = tm;
    return true;
}

bool RasterContext::Rectangle(const RECT& r) { return Shape(r, false); }

bool RasterContext::Ellipse(const RECT& r) { return Shape(r, true); }

bool RasterContext::Shape(const RECT& r, bool ellipse) {
    Pen* pen = CurrentPen();
    Brush* brush = CurrentBrush();
    QPainter* p = Painter();
    if (!pen || !brush || !p) {
        SetLastError(EINVAL);
        return false;
    }
    Mix mix = MixOf(state.rop2);
    if (mix.skip) return true;
    QRect box = Normalised(r);   // right and bottom edges left out
    if (box.width() < 1 || box.height() < 1) return true;
    const bool outline = pen->log.lopnStyle != PS_NULL;
    p->save();
    Prepare(*p);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setCompositionMode(mix.mode);
    if (brush->log.lbStyle == BS_SOLID || brush->log.lbStyle == BS_HATCHED) {
        // Without a pen the filled area is one pixel smaller on the right and bottom; with
        // one the outline covers the edge pixels, which are filled only once.
        QRect inside = outline ? box.adjusted(1, 1, -1, -1) : box.adjusted(0, 0, -1, -1);
        p->setPen(Qt::NoPen);
        auto fill = [&](const QBrush& b) {
            p->setBrush(b);
            if (ellipse) p->drawEllipse(outline ? QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(inside));
            else p->drawRect(inside);
        };
        if (inside.isValid()) {
            if (brush->log.lbStyle == BS_HATCHED && state.bkMode == OPAQUE)
                fill(QBrush(mix.forced ? mix.colour : ToQColor(state.bkColor)));
            fill(BrushOf(brush->log, mix));
        }
    }
    if (outline) {
        p->setBrush(Qt::NoBrush);
        if (ellipse || !Thin(pen->log)) {
            QPen qp(Coloured(mix, pen->log.lopnColor), Thin(pen->log) ? 1 : pen->log.lopnWidth.x);
            qp.setCosmetic(Thin(pen->log));
            if (!Thin(pen->log)) qp.setJoinStyle(Qt::MiterJoin);
            p->setPen(qp);
            if (ellipse) p->drawEllipse(box.x(), box.y(), box.width() - 1, box.height() - 1);
            else p->drawRect(box.x(), box.y(), box.width() - 1, box.height() - 1);
        } else if (pen->log.lopnStyle == PS_SOLID && box.width() > 1 && box.height() > 1) {
            // One-pixel solid outline: the four sides, each pixel once, in one call (the
            // pixels the four LineTo calls below would draw).
            const int l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
            QPolygon ring;
            ring.reserve(2 * (box.width() + box.height()));
            for (int x = l; x < r; ++x) ring << QPoint(x, t);
            for (int y = t; y < b; ++y) ring << QPoint(r, y);
            for (int x = r; x > l; --x) ring << QPoint(x, b);
            for (int y = b; y > t; --y) ring << QPoint(l, y);
            p->setPen(QPen(Coloured(mix, pen->log.lopnColor), 1));
            p->drawPoints(ring);
        } else {
            p->restore();
            // One-pixel outline: the four sides as lines, each pixel once.
            POINT saved = state.position;
            QPoint c[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
            state.position = {c[0].x(), c[0].y()};
            for (int i = 1; i <= 4; ++i) LineTo(c[i % 4].x(), c[i % 4].y());
            state.position = saved;
            Drawn();
            return true;
        }
    }
    p->restore();
    Drawn();
    return true;
}

bool RasterContext::FillRect(const RECT& r, HBRUSH brushHandle) {
    auto* brush = FindAs<Brush>(brushHandle, Kind::Brush);
    QPainter* p = Painter();
    if (!brush || !p) {
        SetLastError(EINVAL);
        return false;
    }
    if (brush->log.lbStyle != BS_SOLID && brush->log.lbStyle != BS_HATCHED) return true;
    QRect box = Normalised(r);
    if (box.isValid()) {
        p->save();
        Prepare(*p);
        p->setCompositionMode(QPainter::CompositionMode_Source);
        if (brush->log.lbStyle == BS_HATCHED) {
            // FillRect paints the gaps of a hatch in the background colour.
            p->fillRect(box, ToQColor(state.bkColor));
            p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        p->fillRect(box, BrushOf(brush->log, Mix()));
        p->restore();
        Drawn();
    }
    return true;
}

bool RasterContext::FillSolidRect(const RECT& r, COLORREF colour) {
    QPainter* p = Painter();
    if (!p) {
        SetLastError(EINVAL);
        return false;
    }
    QRect box = Normalised(r);
    if (box.isValid()) {
        p->save();
        Prepare(*p);
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(box, ToQColor(colour));
        p->restore();
        Drawn();
    }
    return true;
}

bool RasterContext::TextOut(int x, int y, const CString& text) {
    Font* f = CurrentFont();
    QPainter* p = Painter();
    if (!f || !p) {
        SetLastError(EINVAL);
        return false;
    }
    QFont font = ToQFont(f->log, MetricsDevice());
    QFontMetrics fm(font, const_cast<QPaintDevice*>(MetricsDevice()));
    QString s = TextOf(text);
    p->save();
    Prepare(*p);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->translate(x, y);
    if (f->log.lfEscapement != 0) p->rotate(-f->log.lfEscapement / 10.0);
    // The reference point is the cell's corner, middle or baseline that the alignment
    // names, in the direction the text runs.
    const int width = fm.horizontalAdvance(s);
    int dx = 0, dy = 0;
    const UINT horizontal = state.textAlign & TA_CENTER;
    if (horizontal == TA_CENTER) dx = -width / 2;
    else if (horizontal == TA_RIGHT) dx = -width;
    const UINT vertical = state.textAlign & TA_BASELINE;
    if (vertical == TA_BASELINE) dy = -fm.ascent();
    else if (vertical == TA_BOTTOM) dy = -(fm.ascent() + fm.descent());
    p->translate(dx, dy);
    if (state.bkMode == OPAQUE) p->fillRect(QRect(0, 0, width, fm.ascent() + fm.descent()), ToQColor(state.bkColor));
    p->setFont(font);
    p->setPen(ToQColor(state.textColor));
    p->drawText(0, fm.ascent(), s);
    p->restore();
    Drawn();
    return true;
}

int RasterContext::DrawText(const CString& text, RECT* r, UINT format) {
    Font* f = CurrentFont();
    if (!f || !r) {
        SetLastError(EINVAL);
        return 0;
    }
    QString s = TextOf(text);
    if (!(format & DT_NOPREFIX)) {
        // "&&" stands for "&"; a single "&" marks a mnemonic and is not drawn.
        QString plain;
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] == QLatin1Char('&') && i + 1 < s.size()) ++i;
            else if (s[i] == QLatin1Char('&')) continue;
            plain += s[i];
        }
        s = plain;
    }
    int flags = (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        s.remove(QLatin1Char('\r'));
        flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
        flags |= Qt::TextSingleLine;
    } else {
        s.remove(QLatin1Char('\r'));
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    }
    QFont font = ToQFont(f->log, MetricsDevice());
    QFontMetrics fm(font, const_cast<QPaintDevice*>(MetricsDevice()));
    QRect box(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1));
    QRect bound = fm.boundingRect(QRect(r->left, r->top, std::max(0, r->right - r->left), (format & DT_SINGLELINE) ? std::max(0, r->bottom - r->top) : 1 << 20), flags, s);
    if (format & DT_CALCRECT) {
        r->right = r->left + bound.width();
        r->bottom = r->top + bound.height();
        return bound.height();
    }
    QPainter* p = Painter();
    if (!p) {
        SetLastError(EINVAL);
        return 0;
    }
    p->save();
    Prepare(*p);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!(format & DT_NOCLIP)) p->setClipRect(box, Qt::IntersectClip);
    QRect drawn = fm.boundingRect(box, flags, s);
    if (state.bkMode == OPAQUE) p->fillRect(drawn, ToQColor(state.bkColor));
    p->setFont(font);
    p->setPen(ToQColor(state.textColor));
    p->drawText(box, flags, s);
    p->restore();
    Drawn();
    return drawn.height();
}

bool RasterContext::DrawImage(const QRect& dest, const QImage& image, DWORD rop) {
    QPainter::CompositionMode mode;
    bool needsSource;
    if (!BltMode(rop, &mode, &needsSource)) {
        SetLastError(EINVAL);
        return false;
    }
    QPainter* p = Painter();
    if (!p) {
        SetLastError(EINVAL);
        return false;
    }
    p->save();
    Prepare(*p);
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->setCompositionMode(mode);
    if (needsSource) {
        p->drawImage(dest, image);
    } else {
        QColor c = Qt::black;
        if (rop == WHITENESS) c = Qt::white;
        if (rop == PATCOPY || rop == PATINVERT) {
            Brush* b = CurrentBrush();
            if (!b || b->log.lbStyle != BS_SOLID) {
                p->restore();
                return true;
            }
            c = ToQColor(b->log.lbColor);
        }
        p->fillRect(dest, c);
    }
    p->restore();
    Drawn();
    return true;
}

bool RasterContext::Blt(const RECT& dest, DeviceContext* source, const RECT& src, DWORD rop, bool) {
    QPainter::CompositionMode mode;
    bool needsSource;
    if (!BltMode(rop, &mode, &needsSource)) {
        SetLastError(EINVAL);
        return false;
    }
    int w = dest.right - dest.left, h = dest.bottom - dest.top;
    int sw = src.right - src.left, sh = src.bottom - src.top;
    if (w == 0 || h == 0) return true;
    if (w < 0 || h < 0 || sw < 0 || sh < 0) {
        SetLastError(EINVAL);
        return false;
    }
    QImage image;
    if (needsSource) {
        if (!source || sw == 0 || sh == 0 || !source->Read(QRect(src.left, src.top, sw, sh), &image)) {
            SetLastError(EINVAL);
            return false;
        }
    }
    return DrawImage(QRect(dest.left, dest.top, w, h), image, rop);
}

int RasterContext::DIBits(const RECT& dest, const RECT& src, const BITMAPINFO* info, const void* bits, UINT usage,
                          DWORD rop) {
    QImage image;
    if (!DecodeDib(info, bits, usage, &image)) {
        SetLastError(EINVAL);
        return 0;
    }
    int sw = src.right - src.left, sh = src.bottom - src.top;
    int w = dest.right - dest.left, h = dest.bottom - dest.top;
    if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) {
        SetLastError(EINVAL);
        return 0;
    }
    // The source's y counts from the bottom row of a bottom-up bitmap.
    int top = info->bmiHeader.biHeight > 0 ? image.height() - src.top - sh : src.top;
    QImage part = image.copy(QRect(src.left, top, sw, sh));
    if (!DrawImage(QRect(dest.left, dest.top, w, h), part, rop)) return 0;
    return sh;
}

COLORREF RasterContext::Pixel(int x, int y) {
    QImage one;
    if (!Read(QRect(x, y, 1, 1), &one) || one.isNull()) return CLR_INVALID;
    return FromQColor(one.pixel(0, 0));
}

// --- Memory contexts ---------------------------------------------------------------------------------

MemoryContext::MemoryContext(const Device& reference) : m_reference(reference) {
    // A fresh memory context holds a one-pixel monochrome bitmap of its own.
    m_initial = NewBitmap(1, 1, 1);
    if (Object* o = Find(m_initial)) o->stock = true;
    Select(m_initial);
}

MemoryContext::~MemoryContext() {
    EndPainting();
    // Let go of everything, then of the initial bitmap.
    for (HGDIOBJ* h : {&state.pen, &state.brush, &state.font, &state.bitmap, &state.palette}) {
        Unhold(*h);
        *h = nullptr;
    }
    for (State& s : saved)
        for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap, s.palette}) Unhold(h);
    saved.clear();
    if (Object* o = Find(m_initial)) {
        if (o->selections == 0) {
            Destroy(o);
        } else {
            o->stock = false;
            o->deletePending = true;
        }
    }
}

Device MemoryContext::Caps() const {
    Device d = m_reference;
    return d;
}

int MemoryContext::CompatibleBits() const {
    Bitmap* b = CurrentBitmap();
    return b ? b->bitsPixel : m_reference.bitsPixel;
}

QPainter* MemoryContext::Painter() {
    if (m_painter) return m_painter.get();
    Bitmap* b = CurrentBitmap();
    if (!b) return nullptr;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&b->image)) {
        m_painter.reset();
        return nullptr;
    }
    m_painting = b;
    return m_painter.get();
}

const QPaintDevice* MemoryContext::MetricsDevice() { return &m_metrics; }

void MemoryContext::EndPainting() {
    m_painter.reset();
    m_painting = nullptr;
}

void MemoryContext::BitmapChanged() { EndPainting(); }


bool MemoryContext::Read(const QRect& r, QImage* out) {
    Bitmap* b = CurrentBitmap();
    if (!b || !out) return false;
    EndPainting();
    QImage pixels = PixelsOf(*b);
    QImage result(r.size(), QImage::Format_RGB32);
    result.fill(qRgb(0, 0, 0));
    QRect inside = r.intersected(pixels.rect());
    if (!inside.isEmpty()) {
        QPainter p(&result);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(inside.topLeft() - r.topLeft(), pixels, inside);
    }
    *out = result;
    return true;
}

COLORREF MemoryContext::Pixel(int x, int y) {
    Bitmap* b = CurrentBitmap();
    if (!b || !b->image.rect().contains(x, y)) return CLR_INVALID;
    EndPainting();
    if (b->bitsPixel > 16) return FromQColor(b->image.pixel(x, y));
    QImage one;
    return Read(QRect(x, y, 1, 1), &one) ? FromQColor(one.pixel(0, 0)) : CLR_INVALID;
}

}  // namespace afx::gdi
