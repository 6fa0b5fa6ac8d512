#pragma once
// A 32-bit top-down DIB section selected into a memory DC, for drawing tests: draw into DC(),
// then read pixels back. GDI leaves the alpha byte at 0, so Pixel masks it off.
//
//   kit::DibCanvas canvas(40, 30, 0xFFFFFF);
//   SkinUI::CRenderKit::DrawColor(canvas.DC(), rc, 0xFFFF0000);
//   EXPECT_EQ(canvas.Pixel(5, 5), 0xFF0000u);
#include <windows.h>

#include <cstdint>

namespace kit {

class DibCanvas {
public:
    DibCanvas(int width, int height, uint32_t rgb = 0xFFFFFF);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC DC() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Fills every pixel with 0xRRGGBB (alpha byte 0), and removes any clip region.
    void Fill(uint32_t rgb);
    // 0xRRGGBB of a pixel (the alpha byte masked off).
    uint32_t Pixel(int x, int y) const { return Raw(x, y) & 0xFFFFFF; }
    // The whole 32-bit pixel, alpha byte included.
    uint32_t Raw(int x, int y) const;
    uint32_t* Bits() const { return m_bits; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// Channel-wise distance of two 0xRRGGBB colours: the largest difference of one channel.
int ColorDistance(uint32_t a, uint32_t b);

} // namespace kit
