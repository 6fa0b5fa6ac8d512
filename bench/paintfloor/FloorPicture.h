#pragma once
// A picture of the paint floor: decoded once into its own DIB (with the rows it may copy instead
// of blending), selected into its own memory context.
#include <windows.h>

#include <memory>
#include <string>

#include "BitmapContext.h"
#include "uitoolkit/core/OpaqueRows.h"
#include "uitoolkit/core/RenderKit.h"

namespace paintfloor {

struct FloorPicture {
    std::wstring path;
    std::unique_ptr<SkinUI::ImageEntry> image;
    SkinUI::COpaqueRows opaque;
    std::unique_ptr<BitmapContext> context;  // after the image: selected out before it goes

    // Reads and decodes the file at the path; false when it cannot.
    bool Decode();
    // Back to not decoded.
    void Release();
    HDC Dc() const { return context ? context->Get() : nullptr; }
};

} // namespace paintfloor
