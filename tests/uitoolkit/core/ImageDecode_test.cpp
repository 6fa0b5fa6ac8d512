// Decoding into the picture's own DIB section: whether the decoder's pixels land in the DIB
// directly (RGBA and RGB PNG, BMP, GIF) or pass through a block of the decoder's own (a one
// pixel wide RGB PNG, whose inflated data is as large as the finished picture; TGA), the DIB holds
// the decoder's pixels, premultiplied, in blue-green-red-alpha order, and decoding one picture
// after another leaves nothing behind.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <string>
#include <vector>

#include "kit/PngWriter.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CRenderKit;
using SkinUI::ImageEntry;

namespace {

std::vector<uint32_t> Pixels(int w, int h, uint32_t seed, bool translucent)
{
    std::vector<uint32_t> px;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t alpha = translucent ? (seed >> 24) : 0xFF;
        px.push_back((alpha << 24) | (seed & 0xFFFFFF));
    }
    return px;
}

// What the DIB must hold: the decoder's own answer, premultiplied and reordered.
std::vector<uint32_t> Expected(const std::string& bytes, bool* alpha)
{
    int w = 0, h = 0, n = 0;
    stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &w, &h, &n, 4);
    std::vector<uint32_t> out;
    *alpha = false;
    for (int i = 0; rgba != nullptr && i < w * h; ++i) {
        const uint32_t a = rgba[i * 4 + 3];
        const auto ch = [&](int k) { return a < 255 ? rgba[i * 4 + k] * a / 255 : rgba[i * 4 + k]; };
        *alpha = *alpha || a < 255;
        out.push_back((a << 24) | (ch(0) << 16) | (ch(1) << 8) | ch(2));
    }
    stbi_image_free(rgba);
    return out;
}

std::vector<uint32_t> DibPixels(const ImageEntry& entry)
{
    DIBSECTION dib{};
    EXPECT_EQ(::GetObjectW(entry.hBitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + entry.width * entry.height);
}

std::string Bmp24(int w, int h, const std::vector<uint32_t>& argb)
{
    const int row = (w * 3 + 3) & ~3;
    const auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::string bmp = "BM";
    for (uint32_t v : {uint32_t(54 + row * h), 0u, 54u, 40u, uint32_t(w), uint32_t(h)})
        bmp += u32(v);
    bmp += std::string("\x01\0\x18\0", 4);  // one plane, 24 bits
    for (uint32_t v : {0u, uint32_t(row * h), 0u, 0u, 0u, 0u})
        bmp += u32(v);
    for (int y = h - 1; y >= 0; --y) {
        std::string line;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y * w + x)];
            line += {char(p), char(p >> 8), char(p >> 16)};
        }
        line.resize(static_cast<size_t>(row), '\0');  // rows end on four bytes
        bmp += line;
    }
    return bmp;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
};

TEST(ImageDecode, TheDibHoldsTheDecodersPixelsWhereverTheyWereDecoded)
{
    const DecodeCase cases[] = {
        {"translucent RGBA PNG", kit::EncodePng(7, 5, Pixels(7, 5, 1, true))},
        {"RGB PNG", kit::EncodePngRgb(6, 4, Pixels(6, 4, 2, false))},
        {"one pixel wide RGB PNG", kit::EncodePngRgb(1, 9, Pixels(1, 9, 3, false))},
        {"opaque RGBA PNG, one row", kit::EncodePng(13, 1, Pixels(13, 1, 4, false))},
        {"24-bit BMP", Bmp24(3, 2, Pixels(3, 2, 5, false))},
        {"24-bit TGA", std::string("\0\0\x02\0\0\0\0\0\0\0\0\0\x02\0\x01\0\x18\x20\x56\x34\x12\x01\x02\x03", 24)},
        {"GIF", std::string("GIF89a\x01\0\x01\0\x80\0\0\x12\x34\x56\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02" "D\x01\0;", 35)},
    };
    for (int round = 0; round < 2; ++round) {
        for (const DecodeCase& c : cases) {
            bool alpha = false;
            const std::vector<uint32_t> expected = Expected(c.bytes, &alpha);
            ASSERT_FALSE(expected.empty()) << c.what;
            auto entry = CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(c.bytes.data()), c.bytes.size(), 0);
            ASSERT_NE(entry, nullptr) << c.what;
            EXPECT_EQ(DibPixels(*entry), expected) << c.what;
            EXPECT_EQ(entry->hasAlpha, alpha) << c.what;
        }
    }
}

// A picture that fails half-way (its data cut) leaves the next decode of the same size intact.
TEST(ImageDecode, AFailedDecodeLeavesTheNextIntact)
{
    const std::vector<uint32_t> px = Pixels(8, 8, 9, true);
    const std::string good = kit::EncodePng(8, 8, px);
    const std::string cut = good.substr(0, good.size() / 2);
    EXPECT_EQ(CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(cut.data()), cut.size(), 0), nullptr);
    bool alpha = false;
    auto entry = CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(good.data()), good.size(), 0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(DibPixels(*entry), Expected(good, &alpha));
}

} // namespace
