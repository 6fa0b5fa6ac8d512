#pragma once
// A memory device context with a 32-bit picture of one size selected into it: what the window host
// paints into before one copy to the window. It is kept, picture selected, from paint to paint
// while the size stays. The picture is a DIB section rather than a screen-compatible bitmap: making
// and selecting one of those asks the window system's server for the display's layout each time,
// which costs more than the whole copy to the window. Both hold the same 32-bit pixels.
#include <windows.h>

#include "uitoolkit/core/GdiObject.h"

namespace SkinUI {

class COffscreenSurface {
public:
    COffscreenSurface() = default;
    ~COffscreenSurface() { Release(); }
    COffscreenSurface(const COffscreenSurface&) = delete;
    COffscreenSurface& operator=(const COffscreenSurface&) = delete;

    // The context, compatible with `compatibleWith`, with a width x height picture selected; made
    // anew when there is none yet or the size changed (`made` then says so). Null when it cannot be
    // made (an empty size included).
    HDC Prepare(HDC compatibleWith, int width, int height, bool* made = nullptr);
    // Lets go of the context and the picture.
    void Release();

private:
    HDC m_dc = nullptr;
    CGdiBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;  // the context's own, selected back before it is deleted
    SIZE m_size = {0, 0};
};

} // namespace SkinUI
