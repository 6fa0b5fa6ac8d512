#include "uitoolkit/core/ImagePaintScope.h"

namespace SkinUI {

namespace {
// Per thread: a draw on another thread never uses the scope of a paint running on this one.
thread_local CImagePaintScope* g_current = nullptr;
} // namespace

CImagePaintScope::CImagePaintScope(HDC target, HDC lentDC)
    : m_target(target), m_outer(g_current), m_dc(lentDC), m_dcLent(lentDC != nullptr)
{
    g_current = this;
}

CImagePaintScope::~CImagePaintScope()
{
    if (m_dc != nullptr && !m_dcLent)
        ::DeleteDC(m_dc);
    g_current = m_outer;
}

CImagePaintScope* CImagePaintScope::Current() { return g_current; }

HDC CImagePaintScope::AcquireDC()
{
    if (m_dcBusy)
        return nullptr;
    if (m_dc == nullptr)
        m_dc = ::CreateCompatibleDC(m_target);
    m_dcBusy = m_dc != nullptr;
    return m_dc;
}

void CImagePaintScope::ReleaseDC() { m_dcBusy = false; }

HBITMAP CImagePaintScope::Pixel(DWORD argb)
{
    if (!m_pixel) {
        void* bits = nullptr;
        m_pixel = CreateDib32(1, 1, &bits);
        m_pixelBits = static_cast<DWORD*>(bits);
        if (!m_pixel)
            return nullptr;
    }
    // A draw that read the pixel may still be queued by GDI: finished before the pixel changes.
    ::GdiFlush();
    *m_pixelBits = argb;
    return m_pixel.Get();
}

} // namespace SkinUI
