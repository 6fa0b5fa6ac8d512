#include "uitoolkit/core/OffscreenSurface.h"

#include <utility>

namespace SkinUI {

HDC COffscreenSurface::Prepare(HDC compatibleWith, int width, int height, bool* made)
{
    if (made != nullptr)
        *made = false;
    if (m_dc != nullptr && m_size.cx == width && m_size.cy == height)
        return m_dc;
    Release();
    if (width <= 0 || height <= 0)
        return nullptr;
    void* bits = nullptr;
    CGdiBitmap bitmap = CreateDib32(width, height, &bits);
    if (!bitmap)
        return nullptr;
    HDC dc = ::CreateCompatibleDC(compatibleWith);
    if (dc == nullptr)
        return nullptr;
    m_oldBitmap = ::SelectObject(dc, bitmap.Get());
    m_dc = dc;
    m_bitmap = std::move(bitmap);
    m_size = {width, height};
    if (made != nullptr)
        *made = true;
    return m_dc;
}

void COffscreenSurface::Release()
{
    if (m_dc != nullptr) {
        ::SelectObject(m_dc, m_oldBitmap);
        ::DeleteDC(m_dc);
    }
    m_dc = nullptr;
    m_oldBitmap = nullptr;
    m_bitmap.Reset();
    m_size = {0, 0};
}

} // namespace SkinUI
