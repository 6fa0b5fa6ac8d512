#pragma once
// A picture of the paint floor: decoded once into its own DIB (with the rows it may copy instead
// of blending), selected into its own memory context.
#include <windows.h>

#include <memory>
#include <string>

#include "uitoolkit/core/OpaqueRows.h"
#include "uitoolkit/core/RenderKit.h"

namespace paintfloor {

struct FloorPicture {
    std::wstring path;
    std::unique_ptr<SkinUI::ImageEntry> image;
    SkinUI::COpaqueRows opaque;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;

    // Reads and decodes the file at the path; false when it cannot.
    bool Decode();
    // Back to not decoded.
    void Release();
    ~FloorPicture() { Release(); }
};

} // namespace paintfloor
