// Enhanced metafiles: a device context that records what is drawn on it as the records of
// an enhanced metafile (.emf), kept in memory, and also paints it onto a picture of the
// reference device's size, so that programs without a metafile reader get an image.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/gdi/dc.h"

struct HENHMETAFILE__;
using HENHMETAFILE = HENHMETAFILE__*;

class CMetaFileDC : public CDC {
public:
    CMetaFileDC() = default;
    ~CMetaFileDC() override;

    // A metafile in memory (fileName must be null) on the reference device (the screen when
    // null). bounds: the picture frame in 0.01 mm, or null to take it from what is drawn.
    // description: "application\0picture\0\0" style text of size bytes, or null; the
    // reader never goes past those bytes, whether or not they end with two zeros.
    BOOL CreateEnhanced(CDC* refDC, const char* fileName, const RECT* bounds, const char* description, size_t size);
    // A literal description, read up to its own end.
    template <size_t N>
    BOOL CreateEnhanced(CDC* refDC, const char* fileName, const RECT* bounds, const char (&description)[N]) {
        return CreateEnhanced(refDC, fileName, bounds, description, N);
    }
    BOOL CreateEnhanced(CDC* refDC, const char* fileName, const RECT* bounds, std::nullptr_t) {
        return CreateEnhanced(refDC, fileName, bounds, nullptr, 0);
    }
    // Ends the recording; the caller owns the metafile (DeleteEnhMetaFile), null on failure.
    HENHMETAFILE CloseEnhanced();
};

// The metafile's bytes: returns the size; copies up to size bytes when buffer is given.
UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* buffer);
BOOL DeleteEnhMetaFile(HENHMETAFILE metafile);
// A metafile from .emf bytes (checked to be well formed), or null.
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* bytes);
