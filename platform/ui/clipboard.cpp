#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/metafile_dc.h"
#include "platform/ui/qt_bridge.h"

namespace {
struct GlobalBlock {
    std::vector<char> bytes;
    int locks = 0;
};

GlobalBlock* BlockOf(HGLOBAL h) { return reinterpret_cast<GlobalBlock*>(h); }

// Enhanced metafiles travel as .emf bytes, with a picture of them for other readers.
const QString kEmfMime = QStringLiteral("image/x-emf");
// The metafile that GetClipboardData hands out stays owned by the clipboard.
HENHMETAFILE g_readMetafile = nullptr;

bool g_open = false;
bool g_heldElsewhere = false;
// The text block that GetClipboardData hands out stays owned by the clipboard.
HGLOBAL g_readText = nullptr;
// The bitmap the clipboard owns (handed over, or made for a reader) and the toolkit data
// whose image it is.
HGDIOBJ g_bitmap = nullptr;
const QMimeData* g_bitmapFor = nullptr;
// The toolkit data this program last put on the clipboard: formats set while the clipboard
// is open add up, as they do on the original platform.
const QMimeData* g_published = nullptr;

void FreeBitmap() {
    using namespace afx::gdi;
    if (Object* o = Find(g_bitmap)) {
        o->clipboardOwned = false;
        if (o->selections == 0) Destroy(o);
        else o->deletePending = true;
    }
    g_bitmap = nullptr;
    g_bitmapFor = nullptr;
}

void KeepBitmap(HGDIOBJ handle, const QMimeData* data) {
    if (g_bitmap != handle) FreeBitmap();
    if (afx::gdi::Object* o = afx::gdi::Find(handle)) o->clipboardOwned = true;
    g_bitmap = handle;
    g_bitmapFor = data;
}

// Publishes the formats already set in this session plus one more.
void Publish(QClipboard* cb, const std::function<void(QMimeData*)>& add) {
    auto* md = new QMimeData;
    const QMimeData* old = cb->mimeData();
    if (old && old == g_published) {
        if (old->hasImage()) md->setImageData(old->imageData());
        if (old->hasText()) md->setText(old->text());
        if (old->hasFormat(kEmfMime)) md->setData(kEmfMime, old->data(kEmfMime));
    }
    add(md);
    const bool carried = old && old == g_bitmapFor && md->hasImage();
    cb->setMimeData(md);
    g_published = cb->mimeData();
    if (carried) g_bitmapFor = g_published;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    auto* b = new GlobalBlock;
    b->bytes.assign(bytes, '\0');
    return reinterpret_cast<HGLOBAL>(b);
}

HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT) {
    if (!block) return nullptr;
    BlockOf(block)->bytes.resize(bytes, '\0');
    return block;
}

void* GlobalLock(HGLOBAL block) {
    if (!block) return nullptr;
    GlobalBlock* b = BlockOf(block);
    ++b->locks;
    return b->bytes.empty() ? nullptr : b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    if (!block) return FALSE;
    GlobalBlock* b = BlockOf(block);
    if (b->locks > 0) --b->locks;
    return b->locks > 0;
}

size_t GlobalSize(HGLOBAL block) { return block ? BlockOf(block)->bytes.size() : 0; }

HGLOBAL GlobalFree(HGLOBAL block) {
    delete BlockOf(block);
    return nullptr;
}

BOOL OpenClipboard(CWnd*) {
    if (g_heldElsewhere || g_open) return FALSE;
    g_open = true;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!g_open) return FALSE;
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->clear();
    FreeBitmap();
    g_published = nullptr;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!g_open || !data) return nullptr;
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return nullptr;
    if (format == CF_TEXT) {
        GlobalBlock* b = BlockOf(static_cast<HGLOBAL>(data));
        std::string text(b->bytes.data(), strnlen(b->bytes.data(), b->bytes.size()));
        QString q = afx::ToQ(text.c_str());
        Publish(cb, [&q](QMimeData* md) { md->setText(q); });
        delete b;
        return data;
    }
    if (format == CF_BITMAP) {
        auto* b = afx::gdi::FindAs<afx::gdi::Bitmap>(data, afx::gdi::Kind::Bitmap);
        if (!b) return nullptr;
        QImage image = afx::gdi::PixelsOf(*b).copy();
        Publish(cb, [&image](QMimeData* md) { md->setImageData(image); });
        KeepBitmap(data, g_published);
        return data;
    }
    if (format == CF_ENHMETAFILE) {
        auto* handle = static_cast<HENHMETAFILE>(data);
        afx::gdi::EnhMetaFile* mf = afx::gdi::FindMetafile(handle);
        if (!mf) return nullptr;
        QByteArray emf(reinterpret_cast<const char*>(mf->bytes.data()), static_cast<qsizetype>(mf->bytes.size()));
        QImage picture = mf->picture;
        Publish(cb, [&](QMimeData* md) {
            md->setData(kEmfMime, emf);
            if (!picture.isNull()) md->setImageData(picture);
        });
        DeleteEnhMetaFile(handle);   // the clipboard has its own copy
        return data;
    }
    if (format == CF_DIB) {
        GlobalBlock* block = BlockOf(static_cast<HGLOBAL>(data));
        const size_t size = block->bytes.size();
        if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
        BITMAPINFOHEADER header;
        std::memcpy(&header, block->bytes.data(), sizeof header);
        size_t colours = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : size_t{1} << header.biBitCount) : 0;
        size_t offset = header.biSize + 4 * colours;
        long long rows = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
        long long stride = ((static_cast<long long>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
        QImage image;
        if (header.biSize < sizeof header || header.biWidth <= 0 || offset > size ||
            static_cast<unsigned long long>(stride * rows) > size - offset ||
            !afx::gdi::DecodeDib(reinterpret_cast<const BITMAPINFO*>(block->bytes.data()), block->bytes.data() + offset,
                                 DIB_RGB_COLORS, &image))
            return nullptr;
        FreeBitmap();
        Publish(cb, [&image](QMimeData* md) { md->setImageData(image); });
        delete block;
        return data;
    }
    return nullptr;
}

HANDLE GetClipboardData(UINT format) {
    if (!g_open) return nullptr;
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* md = cb ? cb->mimeData() : nullptr;
    if (format == CF_BITMAP) {
        if (!md || !md->hasImage()) return nullptr;
        if (afx::gdi::Find(g_bitmap) && md == g_bitmapFor) return g_bitmap;
        HBITMAP made = afx::gdi::NewBitmapFromImage(cb->image());
        if (!made) return nullptr;
        KeepBitmap(made, md);
        return made;
    }
    if (format == CF_ENHMETAFILE) {
        if (!md || !md->hasFormat(kEmfMime)) return nullptr;
        const QByteArray emf = md->data(kEmfMime);
        if (g_readMetafile) DeleteEnhMetaFile(g_readMetafile);
        g_readMetafile = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), reinterpret_cast<const BYTE*>(emf.constData()));
        return g_readMetafile;
    }
    if (format != CF_TEXT) return nullptr;
    if (!md || !md->hasText()) return nullptr;
    CString text = afx::FromQ(md->text());
    if (g_readText) GlobalFree(g_readText);
    g_readText = GlobalAlloc(GMEM_MOVEABLE, static_cast<size_t>(text.GetLength()) + 1);
    std::memcpy(GlobalLock(g_readText), text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
    GlobalUnlock(g_readText);
    return g_readText;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* md = cb ? cb->mimeData() : nullptr;
    if (!md) return FALSE;
    if (format == CF_TEXT) return md->hasText();
    if (format == CF_BITMAP || format == CF_DIB) return md->hasImage();
    if (format == CF_ENHMETAFILE) return md->hasFormat(kEmfMime);
    return FALSE;
}

BOOL CloseClipboard() {
    if (!g_open) return FALSE;
    g_open = false;
    return TRUE;
}

namespace afx {
void SetClipboardHeldElsewhere(bool held) { g_heldElsewhere = held; }

CString ClipboardText() {
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* md = cb ? cb->mimeData() : nullptr;
    return md && md->hasText() ? FromQ(md->text()) : CString();
}

void SetClipboardText(const char* text) {
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->setText(ToQ(text));
}
}  // namespace afx

COleDataObject::~COleDataObject() { Release(); }

BOOL COleDataObject::AttachClipboard() {
    if (g_heldElsewhere) return FALSE;
    m_attached = true;
    return TRUE;
}

void COleDataObject::Release() { m_attached = false; }

BOOL COleDataObject::IsDataAvailable(UINT format) const { return m_attached && IsClipboardFormatAvailable(format); }

HGLOBAL COleDataObject::GetGlobalData(UINT format) const {
    if (!m_attached || format != CF_TEXT) return nullptr;
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* md = cb ? cb->mimeData() : nullptr;
    if (!md || !md->hasText()) return nullptr;
    CString text = afx::FromQ(md->text());
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, static_cast<size_t>(text.GetLength()) + 1);
    std::memcpy(GlobalLock(h), text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
    GlobalUnlock(h);
    return h;
}
