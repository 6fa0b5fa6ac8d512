#include "kit/DibCanvas.h"

#include <cstdlib>

namespace kit {

DibCanvas::DibCanvas(int width, int height, uint32_t rgb) : m_width(width), m_height(height)
{
    void* bits = nullptr;
    m_bitmap = SkinUI::CreateDib32(width, height, &bits);
    m_bits = static_cast<uint32_t*>(bits);
    if (m_dc && m_bitmap) m_old = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    Fill(rgb);
}

DibCanvas::~DibCanvas()
{
    if (m_old != nullptr) ::SelectObject(m_dc.Get(), m_old);
}

void DibCanvas::Fill(uint32_t rgb)
{
    ::GdiFlush();
    if (m_dc) ::SelectClipRgn(m_dc.Get(), nullptr);
    if (m_bits == nullptr) return;
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = rgb & 0xFFFFFF;
}

uint32_t DibCanvas::Pixel(int x, int y) const
{
    ::GdiFlush();
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xDEADBEEF;
    return m_bits[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
}

std::vector<uint32_t> DibCanvas::Pixels(std::initializer_list<POINT> points) const
{
    std::vector<uint32_t> pixels;
    for (const POINT& p : points)
        pixels.push_back(Pixel(p.x, p.y));
    return pixels;
}

testing::AssertionResult CanvasIs(const DibCanvas& canvas, const std::function<uint32_t(int, int)>& expected)
{
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const uint32_t want = expected(x, y);
            if (want != kAnyColor && canvas.Pixel(x, y) != want)
                return testing::AssertionFailure() << "at " << x << "," << y << std::hex << " got "
                                                   << canvas.Pixel(x, y) << " want " << want;
        }
    }
    return testing::AssertionSuccess();
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
