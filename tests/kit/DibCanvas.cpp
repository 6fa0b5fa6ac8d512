#include "DibCanvas.h"

#include <cstdlib>

namespace kit {

DibCanvas::DibCanvas(int width, int height, uint32_t rgb) : m_width(width), m_height(height)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    if (m_dc != nullptr && m_bitmap != nullptr) m_old = ::SelectObject(m_dc, m_bitmap);
    Fill(rgb);
}

DibCanvas::~DibCanvas()
{
    if (m_old != nullptr) ::SelectObject(m_dc, m_old);
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    if (m_dc != nullptr) ::DeleteDC(m_dc);
}

void DibCanvas::Fill(uint32_t rgb)
{
    ::GdiFlush();
    if (m_dc != nullptr) ::SelectClipRgn(m_dc, nullptr);
    if (m_bits == nullptr) return;
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = rgb & 0xFFFFFF;
}

uint32_t DibCanvas::Raw(int x, int y) const
{
    ::GdiFlush();
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xDEADBEEF;
    return m_bits[static_cast<size_t>(y) * m_width + x];
}

int ColorDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > worst) worst = d;
    }
    return worst;
}

} // namespace kit
