#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cstring>
#include <vector>

#include "platform/ui/qt_bridge.h"

namespace {
struct GlobalBlock {
    std::vector<char> bytes;
    int locks = 0;
};

GlobalBlock* BlockOf(HGLOBAL h) { return reinterpret_cast<GlobalBlock*>(h); }

bool g_open = false;
bool g_heldElsewhere = false;
// The text block that GetClipboardData hands out stays owned by the clipboard.
HGLOBAL g_readText = nullptr;
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
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!g_open || !data) return nullptr;
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return nullptr;
    if (format == CF_TEXT) {
        GlobalBlock* b = BlockOf(static_cast<HGLOBAL>(data));
        std::string text(b->bytes.data(), strnlen(b->bytes.data(), b->bytes.size()));
        cb->setText(afx::ToQ(text.c_str()));
        delete b;
        return data;
    }
    if (format == CF_BITMAP || format == CF_DIB) {
        // A bitmap handle: the platform's image object.
        auto* image = static_cast<QImage*>(data);
        cb->setImage(*image);
        return data;
    }
    return nullptr;
}

HANDLE GetClipboardData(UINT format) {
    if (!g_open || format != CF_TEXT) return nullptr;
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* md = cb ? cb->mimeData() : nullptr;
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
