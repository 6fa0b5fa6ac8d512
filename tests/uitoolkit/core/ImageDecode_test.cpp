// Decoding into the picture's own DIB section. PNGs of the common forms go through the
// toolkit's own PNG reader, everything else through the general decoder (straight into the DIB,
// or through a block of the decoder's own where it needs one): either way the DIB holds the
// general decoder's pixels, premultiplied, in blue-green-red-alpha order. The PNG reader is
// compared pixel for pixel with the general decoder over generated pictures of every form it
// reads (each row filter, palettes with tRNS, key colours, split image data), and over damaged
// files it must never take a file the general decoder refuses.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "uitoolkit/core/PngReader.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CPngReader;
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

// What the DIB must hold: the general decoder's own answer, premultiplied and reordered, the
// mask colour made transparent. Empty when the general decoder refuses the bytes.
std::vector<uint32_t> Expected(const std::string& bytes, bool* alpha, uint32_t mask = 0)
{
    int w = 0, h = 0, n = 0;
    stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &w, &h, &n, 4);
    std::vector<uint32_t> out;
    *alpha = false;
    for (int i = 0; rgba != nullptr && i < w * h; ++i) {
        const uint32_t a = rgba[i * 4 + 3];
        const auto ch = [&](int k) { return a < 255 ? rgba[i * 4 + k] * a / 255 : rgba[i * 4 + k]; };
        uint32_t pixel = (a << 24) | (ch(0) << 16) | (ch(1) << 8) | ch(2);
        *alpha = *alpha || a < 255 || pixel == mask;
        out.push_back(pixel == mask ? 0 : pixel);
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

// ---- PNGs of every form ---------------------------------------------------------------------

struct PngForm {
    const char* what;
    int colorType;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    int depth;
    bool interlaced;
    int paletteSize;    // palette: entries in PLTE
    int alphaEntries;   // palette: entries in tRNS (0: no tRNS)
    bool key;           // grey or RGB: a tRNS key colour that about a quarter of the pixels have
};

// The forms the PNG reader decodes, and forms it leaves to the general decoder.
const PngForm kReaderForms[] = {
    {"grey", 0, 8, false, 0, 0, false},          {"grey with a key colour", 0, 8, false, 0, 0, true},
    {"grey and alpha", 4, 8, false, 0, 0, false}, {"RGB", 2, 8, false, 0, 0, false},
    {"RGB with a key colour", 2, 8, false, 0, 0, true}, {"RGBA", 6, 8, false, 0, 0, false},
    {"palette of 5", 3, 8, false, 5, 0, false},   {"palette of 256", 3, 8, false, 256, 0, false},
    {"palette with tRNS", 3, 8, false, 17, 9, false},
};
const PngForm kGeneralForms[] = {
    {"16-bit RGBA", 6, 16, false, 0, 0, false}, {"interlaced RGBA", 6, 8, true, 0, 0, false},
    {"4-bit grey", 0, 4, false, 0, 0, false},   {"interlaced palette", 3, 8, true, 7, 3, false},
};

void PutU32(std::string& out, uint32_t v)
{
    out += {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

void PutChunk(std::string& out, const char* type, const std::string& body)
{
    out += kit::PngChunk(type, body);
}

// The encoder's side of the five row filters.
std::string FilterRow(int filter, const std::string& row, const std::string& prior, size_t bpp)
{
    std::string out(1, char(filter));
    for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? uint8_t(row[i - bpp]) : 0, b = uint8_t(prior[i]);
        const int c = i >= bpp ? uint8_t(prior[i - bpp]) : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int predictor[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
        out += char(uint8_t(row[i]) - predictor[filter]);
    }
    return out;
}

// A picture of the form with random samples and a random filter on every row. `rawRows` adds
// (or, negative, drops) rows of image data; `level` is the deflate level; the image data is split
// into IDAT chunks of `split` bytes (0: one chunk).
std::string EncodeForm(const PngForm& form, int w, int h, uint32_t seed, int split = 0, int rawRows = 0, int level = 6)
{
    kit::Fuzz rng(seed);
    const int channels = form.colorType == 3 ? 1 : (form.colorType & 2 ? 3 : 1) + (form.colorType & 4 ? 1 : 0);
    const size_t bpp = std::max<size_t>(1, static_cast<size_t>(channels * form.depth / 8));
    const uint8_t key[3] = {uint8_t(rng.Next()), uint8_t(rng.Next()), uint8_t(rng.Next())};
    const auto sample = [&](std::string& row, int width) {
        const size_t bytes = (static_cast<size_t>(width) * channels * form.depth + 7) / 8;
        for (size_t i = 0; row.size() < bytes; ++i) {
            if (form.colorType == 3) {
                row += char(rng.Below(static_cast<uint32_t>(form.paletteSize)));
            } else if (form.key && i % channels == 0 && rng.Below(4) == 0) {
                row.append(reinterpret_cast<const char*>(key), static_cast<size_t>(channels));
            } else {
                row += char(rng.Next());
            }
        }
        row.resize(bytes);
    };
    // Non-interlaced: one pass of the whole picture; interlaced: the seven passes.
    std::string raw;
    const int passes = form.interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        static const int x0[] = {0, 4, 0, 2, 0, 1, 0}, y0[] = {0, 0, 4, 0, 2, 0, 1};
        static const int dx[] = {8, 8, 4, 4, 2, 2, 1}, dy[] = {8, 8, 8, 4, 4, 2, 2};
        const int pw = form.interlaced ? (w - x0[pass] + dx[pass] - 1) / dx[pass] : w;
        const int ph = (form.interlaced ? (h - y0[pass] + dy[pass] - 1) / dy[pass] : h) + rawRows;
        if (pw <= 0 || ph <= 0) continue;
        std::string prior((static_cast<size_t>(pw) * channels * form.depth + 7) / 8, '\0');
        for (int y = 0; y < ph; ++y) {
            std::string row;
            sample(row, pw);
            raw += FilterRow(static_cast<int>(rng.Below(5)), row, prior, bpp);
            prior = row;
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), level);
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8), header;
    PutU32(header, static_cast<uint32_t>(w));
    PutU32(header, static_cast<uint32_t>(h));
    header += {char(form.depth), char(form.colorType), 0, 0, char(form.interlaced ? 1 : 0)};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "tEXt", std::string("Comment\0skin", 12));  // an ancillary chunk is skipped
    if (form.colorType == 3) {
        std::string palette, alpha;
        for (int i = 0; i < form.paletteSize * 3; ++i) palette += char(rng.Next());
        for (int i = 0; i < form.alphaEntries; ++i) alpha += char(rng.Next());
        PutChunk(png, "PLTE", palette);
        if (form.alphaEntries > 0) PutChunk(png, "tRNS", alpha);
    } else if (form.key) {
        std::string trns;
        for (int k = 0; k < channels; ++k) trns += {'\0', char(key[k])};
        PutChunk(png, "tRNS", trns);
    }
    const size_t step = split > 0 ? static_cast<size_t>(split) : packed.size();
    for (size_t at = 0; at < packed.size(); at += step) PutChunk(png, "IDAT", packed.substr(at, step));
    PutChunk(png, "IEND", std::string());
    return png;
}

// The reader's pixels of a file, empty when it does not open or decode it.
std::vector<uint32_t> ReaderPixels(const std::string& bytes, bool* alpha, uint32_t mask = 0)
{
    CPngReader reader;
    if (!reader.Open(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size())) return {};
    std::vector<uint32_t> px(static_cast<size_t>(reader.Width()) * reader.Height());
    if (!reader.Decode(reinterpret_cast<DWORD*>(px.data()), mask, alpha)) return {};
    return px;
}

// DecodeImage's pixels, empty when it refuses the bytes.
std::vector<uint32_t> ToolkitPixels(const std::string& bytes, bool* alpha, uint32_t mask = 0)
{
    auto entry = CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), mask);
    if (entry == nullptr) return {};
    *alpha = entry->hasAlpha;
    return DibPixels(*entry);
}

TEST(PngReader, DecodesEveryFormItReadsAsTheGeneralDecoderDoes)
{
    kit::Fuzz rng(20240611);
    for (const PngForm& form : kReaderForms) {
        for (int i = 0; i < 30; ++i) {
            const int w = 1 + static_cast<int>(rng.Below(i < 3 ? 2 : 40)), h = 1 + static_cast<int>(rng.Below(i < 3 ? 2 : 20));
            const int split = static_cast<int>(rng.Below(3)) * static_cast<int>(1 + rng.Below(40));
            const std::string png = EncodeForm(form, w, h, rng.Next(), split, 0, static_cast<int>(rng.Below(10)));
            SCOPED_TRACE(testing::Message() << form.what << " " << w << "x" << h << " split " << split);
            bool alpha = false, readerAlpha = false, toolkitAlpha = false;
            std::vector<uint32_t> expected = Expected(png, &alpha);
            ASSERT_FALSE(expected.empty());
            // Every other picture with a mask: one of its own colours.
            const uint32_t mask = i % 2 ? expected[rng.Below(static_cast<uint32_t>(expected.size()))] : 0;
            if (mask != 0) expected = Expected(png, &alpha, mask);
            EXPECT_EQ(ReaderPixels(png, &readerAlpha, mask), expected);
            EXPECT_EQ(readerAlpha, alpha);
            EXPECT_EQ(ToolkitPixels(png, &toolkitAlpha, mask), expected);
            EXPECT_EQ(toolkitAlpha, alpha);
        }
    }
}

TEST(PngReader, LeavesOtherFormsToTheGeneralDecoder)
{
    for (const PngForm& form : kGeneralForms) {
        const std::string png = EncodeForm(form, 13, 11, 77);
        bool alpha = false, toolkitAlpha = false;
        CPngReader reader;
        EXPECT_FALSE(reader.Open(reinterpret_cast<const BYTE*>(png.data()), png.size())) << form.what;
        const std::vector<uint32_t> expected = Expected(png, &alpha);
        ASSERT_FALSE(expected.empty()) << form.what;
        EXPECT_EQ(ToolkitPixels(png, &toolkitAlpha), expected) << form.what;
    }
}

// Damaged image data: the reader refuses it, and the picture is what the general decoder makes of
// it (it ignores the checksum and data past the last row, and refuses the rest).
TEST(PngReader, DamagedImageDataIsLeftToTheGeneralDecoder)
{
    const PngForm& rgba = kReaderForms[5];
    const auto withFilterFive = [&] {
        std::string png = EncodeForm(rgba, 4, 3, 5, 0, 0, 0);  // stored: the first row's filter is readable
        const size_t data = png.find("IDAT") + 4 + 2 + 5;      // zlib header, stored block header
        png[data] = 5;
        return png;
    };
    const auto withBadChecksum = [&] {
        std::string png = EncodeForm(rgba, 4, 3, 6);
        png[png.find("IEND") - 4 - 4 - 1] ^= 0x55;  // last byte of the deflate stream's Adler-32
        return png;
    };
    const struct {
        const char* what;
        std::string png;
        bool drawn;
    } cases[] = {
        {"a row short", EncodeForm(rgba, 6, 5, 1, 0, -1), false},
        {"a row too many", EncodeForm(rgba, 6, 5, 2, 0, 1), true},
        {"cut image data", EncodeForm(rgba, 6, 5, 3).substr(0, 60) + EncodeForm(rgba, 6, 5, 3).substr(60 + 20), false},
        {"filter 5", withFilterFive(), false},
        {"wrong checksum", withBadChecksum(), true},
    };
    for (const auto& c : cases) {
        bool alpha = false, readerAlpha = false, toolkitAlpha = false;
        EXPECT_TRUE(ReaderPixels(c.png, &readerAlpha).empty()) << c.what;
        const std::vector<uint32_t> expected = Expected(c.png, &alpha);
        EXPECT_EQ(!expected.empty(), c.drawn) << c.what;
        EXPECT_EQ(ToolkitPixels(c.png, &toolkitAlpha), expected) << c.what;
    }
}

// Fills the stack below the caller with one byte, so that a decoder called next finds it in
// memory it reads without setting.
__attribute__((noinline)) void FillStack(uint8_t pattern)
{
    volatile uint8_t block[64 * 1024];
    for (size_t i = 0; i < sizeof(block); ++i) block[i] = pattern;
}

// Randomly damaged files of every form: nothing crashes, and a file is drawn exactly as the
// general decoder draws it (the reader never takes one that decoder refuses or reads otherwise).
// The general decoder takes the colours of palette indices past the palette from stack memory
// it never set: mutants whose picture changes with what that memory holds are not compared.
TEST(PngReader, DamagedFilesAreDrawnAsTheGeneralDecoderDrawsThem)
{
    std::vector<std::string> samples;
    uint32_t seed = 1;
    for (const PngForm& form : kReaderForms) samples.push_back(EncodeForm(form, 9, 7, ++seed, 40));
    kit::FuzzRun fuzz;
    constexpr int kMutants = 3000;
    int undefined = 0;
    for (int i = 0; i < kMutants; ++i) {
        const std::string png = fuzz.Mutate(samples[i % samples.size()], 3);
        bool alpha = false, again = false, toolkitAlpha = false;
        FillStack(0x00);
        const std::vector<uint32_t> expected = Expected(png, &alpha);
        FillStack(0xFF);
        if (expected != Expected(png, &again)) {
            ++undefined;
            continue;
        }
        ASSERT_EQ(ToolkitPixels(png, &toolkitAlpha), expected) << "mutant " << i;
    }
    EXPECT_LT(undefined, kMutants / 20);
}
