#pragma once
// What the image draws of one paint share. Making a memory device context for every image draw
// costs more than many of the draws themselves, so the window host opens a scope around each
// paint: its one memory context serves every image draw of the paint, one bitmap selected at a
// time (each draw selects its bitmap and puts the context's own back when done, so a picture is
// never left selected), and its one-pixel picture serves every translucent fill. Scopes nest;
// the innermost serves. Without an open scope, each draw makes its own objects.
// Scopes belong to the thread that opens them.
#include <windows.h>

#include "uitoolkit/core/GdiObject.h"

namespace SkinUI {

class CImagePaintScope {
public:
    // The shared objects are made compatible with the paint's target, on first use. A caller that
    // paints again and again (the window host) may lend a memory context of its own instead, which
    // the scope uses and leaves to it: making a context costs more than many draws.
    explicit CImagePaintScope(HDC target, HDC lentDC = nullptr);
    ~CImagePaintScope();
    CImagePaintScope(const CImagePaintScope&) = delete;
    CImagePaintScope& operator=(const CImagePaintScope&) = delete;

    // The innermost scope this thread has open, or null.
    static CImagePaintScope* Current();

    // The shared memory context for one draw, or null when it cannot be made or another draw
    // holds it; give it back with ReleaseDC (with its own bitmap selected again).
    HDC AcquireDC();
    void ReleaseDC();
    // The shared one-pixel 32-bit picture with its pixel set to `argb`, or null when it cannot
    // be made. It stays valid until the next call or the end of the scope.
    HBITMAP Pixel(DWORD argb);

private:
    HDC m_target;
    CImagePaintScope* m_outer;
    HDC m_dc = nullptr;
    bool m_dcLent = false;  // m_dc is the caller's
    bool m_dcBusy = false;
    CGdiBitmap m_pixel;
    DWORD* m_pixelBits = nullptr;
};

} // namespace SkinUI
