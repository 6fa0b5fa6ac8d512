#pragma once
// How decoded pixels become the pixels of an image's DIB section: blue-green-red-alpha words,
// colour premultiplied by alpha, the mask colour made transparent.
#include <windows.h>

#include <cstddef>

namespace SkinUI {

// Stores `count` straight-alpha RGBA pixels as premultiplied BGRA words; a pixel that then
// equals `mask` becomes 0. May run in place (`out` over `rgba`). Returns whether some pixel is
// not opaque or was masked, so that the image must be drawn blended.
inline bool StorePremultiplied(const BYTE* rgba, DWORD* out, size_t count, DWORD mask)
{
    bool blended = false;
    for (size_t i = 0; i < count; ++i, rgba += 4) {
        DWORD red = rgba[0], green = rgba[1], blue = rgba[2];
        const DWORD alpha = rgba[3];
        if (alpha < 255) {
            red = red * alpha / 255;
            green = green * alpha / 255;
            blue = blue * alpha / 255;
            blended = true;
        }
        DWORD pixel = (alpha << 24) | (red << 16) | (green << 8) | blue;
        if (pixel == mask) {
            pixel = 0;
            blended = true;
        }
        out[i] = pixel;
    }
    return blended;
}

} // namespace SkinUI
