#include "platform/gdi/gdi_objects.h"

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/core/cp1252.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"

namespace afx::gdi {

namespace {
// Deliberately never destroyed: objects may be let go of during static destruction.
std::unordered_set<Object*>& Live() {
    static auto* live = new std::unordered_set<Object*>;
    return *live;
}

// Bitmaps larger than this many pixels are refused as out of memory.
constexpr long long kMaxPixels = 1LL << 28;

bool ValidBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// The twenty static colours of the default palette.
constexpr std::array<std::array<int, 3>, 20> kStaticColours = {{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128},
    {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};
}  // namespace

Object::~Object() {
    if (attached) attached->m_hObject = nullptr;
    if (standIn) standIn->m_hObject = nullptr;
}

HGDIOBJ Register(std::unique_ptr<Object> object) {
    Object* o = object.release();
    Live().insert(o);
    return o;
}

Object* Find(HGDIOBJ handle) {
    if (!handle) return nullptr;
    auto* o = static_cast<Object*>(handle);
    return Live().count(o) ? o : nullptr;
}

void Destroy(Object* object) {
    if (!object || !Live().erase(object)) return;
    delete object;
}

void Hold(HGDIOBJ handle) {
    if (Object* o = Find(handle)) ++o->selections;
}

void Unhold(HGDIOBJ handle) {
    Object* o = Find(handle);
    if (!o) return;
    if (o->selections > 0) --o->selections;
    if (o->selections > 0) return;
    if (o->kind == Kind::Bitmap) static_cast<Bitmap*>(o)->selectedIn = nullptr;
    if (o->deletePending && !o->clipboardOwned) Destroy(o);
}

std::vector<QRgb> DefaultColourTable(int bitsPixel) {
    std::vector<QRgb> t;
    if (bitsPixel == 1) {
        t = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (bitsPixel == 4) {
        const int vga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},
                                {0, 0, 128},   {128, 0, 128}, {0, 128, 128},   {192, 192, 192},
                                {128, 128, 128}, {255, 0, 0}, {0, 255, 0},     {255, 255, 0},
                                {0, 0, 255},   {255, 0, 255}, {0, 255, 255},   {255, 255, 255}};
        for (const auto& c : vga) t.push_back(qRgb(c[0], c[1], c[2]));
    } else if (bitsPixel == 8) {
        // The system palette's layout: ten static colours at each end, a colour cube and
        // greys between them, each colour once (so indices survive a round trip).
        std::vector<QRgb> statics;
        for (const auto& c : kStaticColours) statics.push_back(qRgb(c[0], c[1], c[2]));
        auto known = [&](QRgb c) { return std::find(statics.begin(), statics.end(), c) != statics.end() ||
                                          std::find(t.begin(), t.end(), c) != t.end(); };
        t.assign(statics.begin(), statics.begin() + 10);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    if (!known(qRgb(r * 51, g * 51, b * 51))) t.push_back(qRgb(r * 51, g * 51, b * 51));
        for (int v = 8; t.size() < 246 && v < 255; v += 8)
            if (!known(qRgb(v, v, v))) t.push_back(qRgb(v, v, v));
        for (int v = 4; t.size() < 246 && v < 255; v += 8)
            if (!known(qRgb(v, v, v))) t.push_back(qRgb(v, v, v));
        t.insert(t.end(), statics.begin() + 10, statics.end());
    }
    return t;
}

namespace {
int NearestIndex(const std::vector<QRgb>& table, QRgb c, std::unordered_map<QRgb, int>& cache) {
    c |= 0xFF000000u;
    auto it = cache.find(c);
    if (it != cache.end()) return it->second;
    int best = 0;
    long bestDistance = LONG_MAX;
    for (size_t i = 0; i < table.size(); ++i) {
        long dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]), db = qBlue(c) - qBlue(table[i]);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    cache.emplace(c, best);
    return best;
}

uchar Five(int c) { return static_cast<uchar>((c & 0xF8) | (c >> 5)); }
}  // namespace

QImage PixelsOf(Bitmap& bitmap) {
    // The painter of the context that draws into the bitmap stays open between drawing
    // calls; it is closed before the pixels are shared.
    if (bitmap.selectedIn) bitmap.selectedIn->FinishDrawing();
    if (bitmap.bitsPixel > 16) return bitmap.image;
    QImage out = bitmap.image.copy();
    std::unordered_map<QRgb, int> cache;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (bitmap.bitsPixel == 16)
                row[x] = qRgb(Five(qRed(row[x])), Five(qGreen(row[x])), Five(qBlue(row[x])));
            else
                row[x] = bitmap.table[static_cast<size_t>(NearestIndex(bitmap.table, row[x], cache))];
        }
    }
    return out;
}

HBITMAP NewBitmap(int width, int height, int bitsPixel) {
    if (width <= 0 || height <= 0 || !ValidBitCount(bitsPixel)) {
        SetLastError(EINVAL);
        return nullptr;
    }
    if (static_cast<long long>(width) * height > kMaxPixels) {
        SetLastError(ENOMEM);
        return nullptr;
    }
    auto b = std::make_unique<Bitmap>();
    b->image = QImage(width, height, QImage::Format_RGB32);
    if (b->image.isNull()) {
        SetLastError(ENOMEM);
        return nullptr;
    }
    b->image.fill(qRgb(0, 0, 0));
    b->image.setDotsPerMeterX(3780);
    b->image.setDotsPerMeterY(3780);
    b->bitsPixel = bitsPixel;
    b->table = DefaultColourTable(bitsPixel);
    return static_cast<HBITMAP>(Register(std::move(b)));
}

HBITMAP NewBitmapFromImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    HBITMAP h = NewBitmap(image.width(), image.height(), 24);
    if (!h) return nullptr;
    auto* b = FindAs<Bitmap>(h, Kind::Bitmap);
    b->image = image.convertToFormat(QImage::Format_RGB32);
    b->image.setDotsPerMeterX(3780);
    b->image.setDotsPerMeterY(3780);
    return h;
}

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

COLORREF FromQColor(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }

namespace {
QString FaceFor(const LOGFONT& log, QFont::StyleHint* hint) {
    char face[LF_FACESIZE + 1];
    std::memcpy(face, log.lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = '\0';
    CString name(face);
    name.Trim();
    CString lower = name;
    lower.MakeLower();
    *hint = QFont::SansSerif;
    if (lower == "arial" || lower == "helvetica") return QStringLiteral("Liberation Sans");
    if (lower == "courier new" || lower == "courier") {
        *hint = QFont::Monospace;
        return QStringLiteral("Liberation Mono");
    }
    if (lower == "times new roman" || lower == "times") {
        *hint = QFont::Serif;
        return QStringLiteral("Liberation Serif");
    }
    if (lower.IsEmpty()) {
        int family = log.lfPitchAndFamily & 0xF0;
        if (family == FF_ROMAN) {
            *hint = QFont::Serif;
            return QStringLiteral("Liberation Serif");
        }
        if (family == FF_MODERN || (log.lfPitchAndFamily & 0x3) == FIXED_PITCH) {
            *hint = QFont::Monospace;
            return QStringLiteral("Liberation Mono");
        }
        return DialogFont().family();
    }
    if (lower == "ms sans serif" || lower == "ms shell dlg" || lower == "ms shell dlg 2" || lower == "system")
        return DialogFont().family();
    return ToQ(name);
}

// Cell height (ascent + descent) over the em size of a face.
double CellRatio(const QString& family) {
    static std::unordered_map<std::string, double> cache;
    std::string key = family.toStdString();
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QFont f(family);
    f.setPixelSize(100);
    QFontMetricsF fm(f);
    double ratio = (fm.ascent() + fm.descent()) / 100.0;
    if (ratio <= 0.5 || ratio > 3.0) ratio = 1.15;
    cache.emplace(key, ratio);
    return ratio;
}
}  // namespace

QFont ToQFont(const LOGFONT& log, const QPaintDevice*) {
    QFont::StyleHint hint;
    QString family = FaceFor(log, &hint);
    QFont f(family);
    f.setStyleHint(hint);
    f.setKerning(false);
    double em;
    if (log.lfHeight < 0) em = -static_cast<double>(log.lfHeight);
    else if (log.lfHeight > 0) em = log.lfHeight / CellRatio(family);
    else em = 12.0;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
    int weight = log.lfWeight <= 0 ? 400 : std::clamp(static_cast<int>(log.lfWeight), 1, 1000);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(log.lfItalic != 0);
    f.setUnderline(log.lfUnderline != 0);
    f.setStrikeOut(log.lfStrikeOut != 0);
    if (log.lfWidth > 0) {
        double natural = QFontMetricsF(f).averageCharWidth();
        if (natural > 0) f.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * log.lfWidth / natural)), 1, 4000));
    }
    return f;
}

namespace {
HGDIOBJ MakeStock(int index) {
    auto brush = [](UINT style, COLORREF c) {
        auto b = std::make_unique<Brush>();
        b->log = {style, c, 0};
        return std::unique_ptr<Object>(std::move(b));
    };
    auto pen = [](UINT style, COLORREF c) {
        auto p = std::make_unique<Pen>();
        p->log = {style, {1, 0}, c};
        return std::unique_ptr<Object>(std::move(p));
    };
    auto font = [](const char* face, int height, int weight, BYTE pitch) {
        auto f = std::make_unique<Font>();
        f->log.lfHeight = height;
        f->log.lfWeight = weight;
        f->log.lfCharSet = ANSI_CHARSET;
        f->log.lfPitchAndFamily = pitch;
        std::strncpy(f->log.lfFaceName, face, LF_FACESIZE - 1);
        return std::unique_ptr<Object>(std::move(f));
    };
    std::unique_ptr<Object> o;
    switch (index) {
    case WHITE_BRUSH: o = brush(BS_SOLID, RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = brush(BS_SOLID, RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = brush(BS_SOLID, RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = brush(BS_SOLID, RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = brush(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = brush(BS_NULL, 0); break;
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, 0); break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: o = font("Courier", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN); break;
    case ANSI_VAR_FONT: o = font("MS Sans Serif", 12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: o = font("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS); break;
    case DEFAULT_GUI_FONT: o = font("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS); break;
    case DEFAULT_PALETTE: {
        auto p = std::make_unique<Palette>();
        for (const auto& c : kStaticColours)
            p->entries.push_back({static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[2]), 0});
        o = std::move(p);
        break;
    }
    default: return nullptr;
    }
    o->stock = true;
    return Register(std::move(o));
}

// Decodes one pixel of a row of a device-independent bitmap.
QRgb DibPixel(const uchar* row, int x, int bits, const std::vector<QRgb>& table) {
    auto index = [&](int i) { return i < static_cast<int>(table.size()) ? table[static_cast<size_t>(i)] : qRgb(0, 0, 0); };
    switch (bits) {
    case 1: return index((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return index((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8: return index(row[x]);
    case 16: {
        int v = row[2 * x] | (row[2 * x + 1] << 8);
        int r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
        return qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case 24: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

long long DibStride(long long width, int bits) { return ((width * bits + 31) / 32) * 4; }
}  // namespace

bool DecodeDib(const BITMAPINFO* info, const void* bits, UINT usage, QImage* out) {
    if (!info || !bits || !out) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int bpp = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || !ValidBitCount(bpp) ||
        h.biCompression != BI_RGB || usage != DIB_RGB_COLORS)
        return false;
    long long width = h.biWidth;
    long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (width * height > kMaxPixels) return false;
    std::vector<QRgb> table;
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? std::min<size_t>(h.biClrUsed, 256) : (size_t{1} << bpp);
        const auto* colours = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uchar*>(info) + h.biSize);
        for (size_t i = 0; i < n; ++i) table.push_back(qRgb(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue));
    }
    QImage img(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (img.isNull()) return false;
    long long stride = DibStride(width, bpp);
    const auto* base = static_cast<const uchar*>(bits);
    for (int y = 0; y < img.height(); ++y) {
        long long row = h.biHeight > 0 ? height - 1 - y : y;
        const uchar* src = base + row * stride;
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) dst[x] = DibPixel(src, x, bpp, table);
    }
    *out = img;
    return true;
}

}  // namespace afx::gdi

using namespace afx::gdi;

// --- Plain functions -----------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index) {
    static std::array<HGDIOBJ, 18> stock{};
    if (index < 0 || index >= static_cast<int>(stock.size())) return nullptr;
    if (!stock[static_cast<size_t>(index)]) stock[static_cast<size_t>(index)] = MakeStock(index);
    return stock[static_cast<size_t>(index)];
}

BOOL DeleteObject(HGDIOBJ object) {
    Object* o = Find(object);
    if (!o) {
        SetLastError(EINVAL);
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->clipboardOwned) return FALSE;
    if (o->selections > 0) {
        o->deletePending = true;
        return TRUE;
    }
    Destroy(o);
    return TRUE;
}

int GetObject(HGDIOBJ object, int size, void* buffer) {
    Object* o = Find(object);
    if (!o) {
        SetLastError(EINVAL);
        return 0;
    }
    auto copy = [&](const void* data, int bytes) {
        if (!buffer) return bytes;
        if (size < bytes) {
            SetLastError(EINVAL);
            return 0;
        }
        std::memcpy(buffer, data, static_cast<size_t>(bytes));
        return bytes;
    };
    switch (o->kind) {
    case Kind::Pen: return copy(&static_cast<Pen*>(o)->log, sizeof(LOGPEN));
    case Kind::Brush: return copy(&static_cast<Brush*>(o)->log, sizeof(LOGBRUSH));
    case Kind::Font: return copy(&static_cast<Font*>(o)->log, sizeof(LOGFONT));
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        BITMAP bm{};
        bm.bmWidth = b->image.width();
        bm.bmHeight = b->image.height();
        bm.bmWidthBytes = ((bm.bmWidth * b->bitsPixel + 15) / 16) * 2;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
        return copy(&bm, sizeof(BITMAP));
    }
    case Kind::Palette: {
        WORD n = static_cast<WORD>(static_cast<Palette*>(o)->entries.size());
        return copy(&n, sizeof(WORD));
    }
    }
    return 0;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    auto* b = FindAs<Bitmap>(bitmap, Kind::Bitmap);
    if (!DeviceContext::Of(dc) || !b || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
        SetLastError(EINVAL);
        return 0;
    }
    BITMAPINFOHEADER& h = info->bmiHeader;
    const int width = b->image.width();
    const int height = b->image.height();
    if (h.biBitCount == 0) {
        // Only the bitmap's description.
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(b->bitsPixel);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibStride(width, b->bitsPixel) * height);
        return 1;
    }
    const int bpp = h.biBitCount;
    if (!ValidBitCount(bpp) || h.biCompression != BI_RGB || usage != DIB_RGB_COLORS || h.biWidth <= 0 ||
        h.biHeight == 0) {
        SetLastError(EINVAL);
        return 0;
    }
    const long long dibWidth = h.biWidth;
    const long long dibHeight = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    const long long stride = DibStride(dibWidth, bpp);
    if (stride * dibHeight > 0xFFFFFFFFLL) {
        SetLastError(ENOMEM);
        return 0;
    }
    h.biSizeImage = static_cast<DWORD>(stride * dibHeight);
    std::vector<QRgb> table;
    if (bpp <= 8) {
        table = bpp == b->bitsPixel ? b->table : DefaultColourTable(bpp);
        auto* colours = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uchar*>(info) + h.biSize);
        for (size_t i = 0; i < table.size(); ++i)
            colours[i] = {static_cast<BYTE>(qBlue(table[i])), static_cast<BYTE>(qGreen(table[i])),
                          static_cast<BYTE>(qRed(table[i])), 0};
    }
    if (!bits) return static_cast<int>(dibHeight);
    if (start >= dibHeight) return 0;
    const long long count = std::min<long long>(lines, dibHeight - start);
    QImage pixels = PixelsOf(*b);
    std::unordered_map<QRgb, int> cache;
    auto* out = static_cast<uchar*>(bits);
    for (long long r = 0; r < count; ++r) {
        long long dibRow = start + r;
        // Bottom-up rows count from the bitmap's last row; top-down from its first.
        long long y = h.biHeight > 0 ? height - 1 - dibRow : dibRow;
        uchar* dst = out + r * stride;
        std::memset(dst, 0, static_cast<size_t>(stride));
        for (long long x = 0; x < dibWidth; ++x) {
            QRgb c = (y >= 0 && y < height && x < width) ? pixels.pixel(static_cast<int>(x), static_cast<int>(y))
                                                         : qRgb(0, 0, 0);
            switch (bpp) {
            case 1: dst[x >> 3] |= static_cast<uchar>((NearestIndex(table, c, cache) & 1) << (7 - (x & 7))); break;
            case 4: dst[x >> 1] |= static_cast<uchar>((NearestIndex(table, c, cache) & 0xF) << ((x & 1) ? 0 : 4)); break;
            case 8: dst[x] = static_cast<uchar>(NearestIndex(table, c, cache)); break;
            case 16: {
                int v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
                dst[2 * x] = static_cast<uchar>(v & 0xFF);
                dst[2 * x + 1] = static_cast<uchar>(v >> 8);
                break;
            }
            case 24:
                dst[3 * x] = static_cast<uchar>(qBlue(c));
                dst[3 * x + 1] = static_cast<uchar>(qGreen(c));
                dst[3 * x + 2] = static_cast<uchar>(qRed(c));
                break;
            default:
                dst[4 * x] = static_cast<uchar>(qBlue(c));
                dst[4 * x + 1] = static_cast<uchar>(qGreen(c));
                dst[4 * x + 2] = static_cast<uchar>(qRed(c));
                dst[4 * x + 3] = 0;
                break;
            }
        }
    }
    return static_cast<int>(count);
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long absP = p < 0 ? -p : p;
    long long absC = c < 0 ? -static_cast<long long>(c) : c;
    // Halves round away from zero.
    long long q = (absP + absC / 2) / absC;
    if ((p < 0) != (c < 0)) q = -q;
    if (q > INT_MAX || q < INT_MIN) return -1;
    return static_cast<int>(q);
}

// --- CGdiObject and the object classes ---------------------------------------------------------------

namespace {
std::unique_ptr<CGdiObject> NewStandIn(Kind kind) {
    switch (kind) {
    case Kind::Pen: return std::make_unique<CPen>();
    case Kind::Brush: return std::make_unique<CBrush>();
    case Kind::Font: return std::make_unique<CFont>();
    case Kind::Bitmap: return std::make_unique<CBitmap>();
    case Kind::Palette: return std::make_unique<CPalette>();
    }
    return nullptr;
}

// Replaces the object's handle by a newly made one.
BOOL AttachNew(CGdiObject* target, HGDIOBJ handle) {
    if (!handle) return FALSE;
    target->DeleteObject();
    return target->Attach(handle);
}
}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) {
    Object* o = Find(handle);
    if (!o) return nullptr;
    if (o->attached) return o->attached;
    if (!o->standIn) {
        o->standIn = NewStandIn(o->kind);
        o->standIn->m_hObject = handle;
    }
    return o->standIn.get();
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    Object* o = Find(handle);
    if (!o || m_hObject) return FALSE;
    m_hObject = handle;
    if (!o->attached) o->attached = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    if (Object* o = Find(h); o && o->attached == this) o->attached = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) { return AttachNew(this, ::GetStockObject(index)); }

int CGdiObject::GetObject(int size, void* buffer) const { return ::GetObject(m_hObject, size, buffer); }

CPen::CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

CPen* CPen::FromHandle(HPEN handle) { return static_cast<CPen*>(CGdiObject::FromHandle(FindAs<Pen>(handle, Kind::Pen) ? handle : nullptr)); }

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    LOGPEN log{static_cast<UINT>(style), {width, 0}, colour};
    return CreatePenIndirect(&log);
}

BOOL CPen::CreatePenIndirect(const LOGPEN* pen) {
    if (!pen || pen->lopnStyle > PS_INSIDEFRAME || pen->lopnWidth.x < 0) {
        SetLastError(EINVAL);
        return FALSE;
    }
    auto p = std::make_unique<Pen>();
    p->log = *pen;
    p->log.lopnColor &= 0x00FFFFFFu;
    return AttachNew(this, Register(std::move(p)));
}

int CPen::GetLogPen(LOGPEN* pen) const { return GetObject(sizeof(LOGPEN), pen); }

CBrush::CBrush(COLORREF colour) { CreateSolidBrush(colour); }

CBrush* CBrush::FromHandle(HBRUSH handle) {
    return static_cast<CBrush*>(CGdiObject::FromHandle(FindAs<Brush>(handle, Kind::Brush) ? handle : nullptr));
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    LOGBRUSH log{BS_SOLID, colour, 0};
    return CreateBrushIndirect(&log);
}

BOOL CBrush::CreateHatchBrush(int index, COLORREF colour) {
    LOGBRUSH log{BS_HATCHED, colour, static_cast<std::uintptr_t>(index)};
    return CreateBrushIndirect(&log);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL && brush->lbStyle != BS_HATCHED) ||
        (brush->lbStyle == BS_HATCHED && brush->lbHatch > static_cast<std::uintptr_t>(HS_DIAGCROSS))) {
        SetLastError(EINVAL);
        return FALSE;
    }
    auto b = std::make_unique<Brush>();
    b->log = *brush;
    b->log.lbColor &= 0x00FFFFFFu;
    return AttachNew(this, Register(std::move(b)));
}

int CBrush::GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof(LOGBRUSH), brush); }

CFont* CFont::FromHandle(HFONT handle) {
    return static_cast<CFont*>(CGdiObject::FromHandle(FindAs<Font>(handle, Kind::Font) ? handle : nullptr));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName) {
    LOGFONT log{};
    log.lfHeight = height;
    log.lfWidth = width;
    log.lfEscapement = escapement;
    log.lfOrientation = orientation;
    log.lfWeight = weight;
    log.lfItalic = italic;
    log.lfUnderline = underline;
    log.lfStrikeOut = strikeOut;
    log.lfCharSet = charSet;
    log.lfOutPrecision = outPrecision;
    log.lfClipPrecision = clipPrecision;
    log.lfQuality = quality;
    log.lfPitchAndFamily = pitchAndFamily;
    if (faceName) std::strncpy(log.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&log);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* font) {
    if (!font) {
        SetLastError(EINVAL);
        return FALSE;
    }
    auto f = std::make_unique<Font>();
    f->log = *font;
    f->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return AttachNew(this, Register(std::move(f)));
}

int CFont::GetLogFont(LOGFONT* font) const { return GetObject(sizeof(LOGFONT), font); }

CBitmap* CBitmap::FromHandle(HBITMAP handle) {
    return static_cast<CBitmap*>(CGdiObject::FromHandle(FindAs<Bitmap>(handle, Kind::Bitmap) ? handle : nullptr));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    DeviceContext* context = dc ? DeviceContext::Of(dc->GetSafeHdc()) : nullptr;
    if (!context) {
        SetLastError(EINVAL);
        return FALSE;
    }
    if (width == 0 || height == 0) return AttachNew(this, NewBitmap(1, 1, 1));
    if (width < 0 || height < 0) {
        SetLastError(EINVAL);
        return FALSE;
    }
    return AttachNew(this, NewBitmap(width, height, context->CompatibleBits()));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    int bpp = static_cast<int>(planes * bitsPerPixel);
    HBITMAP h = NewBitmap(width, height, bpp);
    if (!h) return FALSE;
    if (bits) {
        auto* b = FindAs<Bitmap>(h, Kind::Bitmap);
        const long long stride = ((static_cast<long long>(width) * bpp + 15) / 16) * 2;
        const auto* src = static_cast<const uchar*>(bits);
        for (int y = 0; y < height; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(b->image.scanLine(y));
            for (int x = 0; x < width; ++x) dst[x] = DibPixel(src + y * stride, x, bpp, b->table);
        }
    }
    return AttachNew(this, h);
}

int CBitmap::GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }

CPalette* CPalette::FromHandle(HPALETTE handle) {
    return static_cast<CPalette*>(CGdiObject::FromHandle(FindAs<Palette>(handle, Kind::Palette) ? handle : nullptr));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0) {
        SetLastError(EINVAL);
        return FALSE;
    }
    auto p = std::make_unique<Palette>();
    p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    return AttachNew(this, Register(std::move(p)));
}

int CPalette::GetEntryCount() const {
    auto* p = FindAs<Palette>(m_hObject, Kind::Palette);
    return p ? static_cast<int>(p->entries.size()) : 0;
}

namespace afx {
bool SaveBitmapPng(HBITMAP bitmap, const char* path) {
    auto* b = FindAs<Bitmap>(bitmap, Kind::Bitmap);
    if (!b || !path) return false;
    return PixelsOf(*b).save(QString::fromUtf8(Cp1252ToUtf8(path)), "PNG");
}
}  // namespace afx
