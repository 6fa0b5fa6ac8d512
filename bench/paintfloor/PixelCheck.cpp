#include "PixelCheck.h"

#include <algorithm>
#include <cstdio>

#include "PaintRecorder.h"
#include "uitoolkit/core/GdiObject.h"

namespace paintfloor {

std::vector<uint32_t> WindowPixels(HWND hwnd, int width, int height)
{
    SkinUI::CWindowDC screen(hwnd);
    void* bits = nullptr;
    SkinUI::CGdiBitmap dib = SkinUI::CreateDib32(width, height, &bits);
    SkinUI::CMemoryDC mem(screen.Get());
    SkinUI::CSelectObject select(mem.Get(), dib.Get());
    Original<decltype(&::BitBlt)>("BitBlt")(mem.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

size_t ReportDifferences(const std::vector<uint32_t>& mine, const std::vector<uint32_t>& theirs, int width, int height,
                         const std::vector<Call>& calls, HDC offscreen)
{
    size_t differing = 0;
    RECT where{width, height, 0, 0};
    for (size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] == theirs[i]) continue;
        ++differing;
        const LONG x = static_cast<LONG>(i % static_cast<size_t>(width)), y = static_cast<LONG>(i / static_cast<size_t>(width));
        where = RECT{std::min(where.left, x), std::min(where.top, y), std::max(where.right, x + 1), std::max(where.bottom, y + 1)};
    }
    if (differing != 0) {
        std::printf("  differing within %ld,%ld,%ld,%ld\n", where.left, where.top, where.right, where.bottom);
        for (size_t i = 0, shown = 0; i < mine.size() && shown < 12; ++i)
            if (mine[i] != theirs[i] && ++shown)
                std::printf("    at %zu,%zu: %06x against %06x\n", i % static_cast<size_t>(width),
                            i / static_cast<size_t>(width), mine[i], theirs[i]);

        for (const Call& call : calls)
            if (call.dc == offscreen)
                std::printf("    kind %d dest %ld,%ld,%ld,%ld src %ld,%ld,%ld,%ld clip %d/%zu text %zu units, format %x\n",
                            static_cast<int>(call.kind), call.dest.left, call.dest.top, call.dest.right, call.dest.bottom,
                            call.source.left, call.source.top, call.source.right, call.source.bottom, call.clipped ? 1 : 0,
                            call.clip.size(), call.text.size(), call.format);
    }
    return differing;
}

} // namespace paintfloor
