#pragma once
// A 32-bit top-down DIB section selected into a memory DC, for drawing tests: draw into DC(),
// then read pixels back. GDI leaves the alpha byte at 0, so Pixel masks it off.
//
//   kit::DibCanvas canvas(40, 30, 0xFFFFFF);
//   SkinUI::CRenderKit::DrawColor(canvas.DC(), rc, 0xFFFF0000);
//   EXPECT_EQ(canvas.Pixel(5, 5), 0xFF0000u);
//   EXPECT_TRUE(kit::CanvasIs(canvas, [&](int x, int y) { return kit::In(x, y, rc) ? kRed : kWhite; }));
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "uitoolkit/core/GdiObject.h"

namespace kit {

class DibCanvas {
public:
    DibCanvas(int width, int height, uint32_t rgb = 0xFFFFFF);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC DC() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Fills every pixel with 0xRRGGBB (alpha byte 0), and removes any clip region.
    void Fill(uint32_t rgb);
    // 0xRRGGBB of a pixel (the alpha byte masked off); 0xDEADBEEF outside the canvas.
    uint32_t Pixel(int x, int y) const;
    // The pixels at several points, in order, to be compared in one check.
    std::vector<uint32_t> Pixels(std::initializer_list<POINT> points) const;
    // The raw 32-bit pixels, row by row from the top.
    uint32_t* Bits() const { return m_bits; }

private:
    int m_width;
    int m_height;
    SkinUI::CMemoryDC m_dc{nullptr};
    SkinUI::CGdiBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// Expected colour value for CanvasIs: any colour is fine at that pixel.
constexpr uint32_t kAnyColor = 0xFFFFFFFF;

// Whether every pixel is expected(x, y) (0xRRGGBB, or kAnyColor); names the first that is not.
testing::AssertionResult CanvasIs(const DibCanvas& canvas, const std::function<uint32_t(int, int)>& expected);

inline bool In(int x, int y, const RECT& rc)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

// Channel-wise distance of two 0xRRGGBB colours: the largest difference of one channel.
int ColorDistance(uint32_t a, uint32_t b);

} // namespace kit
