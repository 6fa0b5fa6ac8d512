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
    context = std::make_unique<BitmapContext>(image->hBitmap);
    return true;
}

void FloorPicture::Release()
{
    context.reset();
    image.reset();
}

} // namespace paintfloor
