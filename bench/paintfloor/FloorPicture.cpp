#include "FloorPicture.h"

#include "uitoolkit/core/SkinFileReader.h"

namespace paintfloor {

bool FloorPicture::Decode()
{
    const SkinUI::SkinFileData file = SkinUI::ReadWholeSkinFile(path.c_str());
    if (!file) return false;
    image = SkinUI::CRenderKit::DecodeImage(file.data.get(), file.size, 0);
    if (!image) return false;
    DIBSECTION dib{};
    ::GetObjectW(image->hBitmap, sizeof(dib), &dib);
    if (image->hasAlpha)
        opaque = SkinUI::COpaqueRows(static_cast<const DWORD*>(dib.dsBm.bmBits), image->width, image->height);
    dc = ::CreateCompatibleDC(nullptr);
    old = ::SelectObject(dc, image->hBitmap);
    return true;
}

void FloorPicture::Release()
{
    if (dc != nullptr) {
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    dc = nullptr;
    image.reset();
}

} // namespace paintfloor
