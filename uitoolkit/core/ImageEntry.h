#pragma once
#include <windows.h>

#include "uitoolkit/core/OpaqueRows.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// One decoded image: a 32-bit top-down DIB section (owned) with premultiplied colour, its size,
// whether it needs alpha blending, and how the host loaded it.
struct ImageEntry {
    ImageEntry() = default;
    ~ImageEntry()
    {
        if (hBitmap != nullptr) ::DeleteObject(hBitmap);
    }
    ImageEntry(const ImageEntry&) = delete;
    ImageEntry& operator=(const ImageEntry&) = delete;

    HBITMAP hBitmap = nullptr;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;    // some pixel is not opaque: draw with alpha blending
    COpaqueRows opaque;       // with alpha: where it is opaque all the same
    CUIString resourceType;   // empty for files
    DWORD mask = 0;           // ARGB colour made transparent at load time, 0 = none
};

} // namespace SkinUI
