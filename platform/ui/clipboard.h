// The clipboard, with the original platform's calls: open, empty, set or get data of a
// format, close. Data blocks are global memory handles.
#pragma once

#include <cstddef>

#include "platform/core/cstring.h"

class CWnd;

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
using HANDLE = void*;

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_ENHMETAFILE = 14;

constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);

BOOL OpenClipboard(CWnd* owner);
BOOL EmptyClipboard();
// Hands data to the clipboard, which owns it from then on (on success only): CF_TEXT a
// global block of Windows-1252 text, CF_BITMAP a bitmap handle (HBITMAP), CF_DIB a global
// block holding a packed device-independent bitmap, CF_ENHMETAFILE an enhanced metafile
// (HENHMETAFILE; offered to other programs as image/x-emf and as a picture). Returns the
// data, or nullptr on failure.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The clipboard's data of a format (owned by the clipboard, valid until it changes): CF_TEXT
// a global block, CF_BITMAP a bitmap handle, CF_ENHMETAFILE a metafile handle; nullptr when
// absent.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
BOOL CloseClipboard();

namespace afx {
// For tests: another program holds the clipboard open, so opening it fails.
void SetClipboardHeldElsewhere(bool held);
// The clipboard's text (Windows-1252), or empty.
CString ClipboardText();
void SetClipboardText(const char* text);
}  // namespace afx

// Reading the clipboard as a data object (used by paste).
class COleDataObject {
public:
    ~COleDataObject();
    BOOL AttachClipboard();
    void Release();
    BOOL IsDataAvailable(UINT format) const;
    // A copy of the clipboard's block of a format, owned by the caller; nullptr when absent.
    HGLOBAL GetGlobalData(UINT format) const;

private:
    bool m_attached = false;
};
