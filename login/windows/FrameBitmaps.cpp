#include "login/windows/FrameBitmaps.h"

#include <cstring>
#include <vector>

#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/SkinFileReader.h"

using SkinUI::CRenderKit;

std::unique_ptr<SkinUI::ImageEntry> LoadBmpFileToDib(const std::wstring& path)
{
    const SkinUI::SkinFileData file = SkinUI::ReadWholeSkinFile(path.c_str());
    if (!file) return nullptr;
    // A mask of 0 leaves colours alone and marks fully transparent black pixels as alpha.
    return CRenderKit::DecodeImage(file.data.get(), file.size, 0);
}

std::unique_ptr<Gdiplus::Bitmap> HBitmapToGdiplusBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(bm), &bm) == 0) return nullptr;
    const int width = bm.bmWidth;
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (width <= 0 || height <= 0 || width > CRenderKit::kMaxImageSide || height > CRenderKit::kMaxImageSide)
        return nullptr;

    // 1. The pixels as 32-bit rows, top row first.
    BITMAPINFO bmi = SkinUI::Dib32Info(width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    {
        SkinUI::CWindowDC screen(nullptr);
        if (!screen ||
            ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bmi, DIB_RGB_COLORS) != height)
            return nullptr;
    }

    // 2. A GDI+ bitmap in the same premultiplied layout, filled row by row.
    auto result = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (result->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (result->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    pixels.data() + static_cast<size_t>(y) * width, rowBytes);
    }
    if (result->UnlockBits(&data) != Gdiplus::Ok) return nullptr;
    return result;
}
