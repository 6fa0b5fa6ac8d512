#include "uitoolkit/core/PngReader.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "uitoolkit/core/PremultipliedPixels.h"

namespace SkinUI {

namespace {

constexpr uint32_t ChunkType(char a, char b, char c, char d)
{
    return (static_cast<uint32_t>(static_cast<BYTE>(a)) << 24) | (static_cast<uint32_t>(static_cast<BYTE>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<BYTE>(c)) << 8) | static_cast<uint32_t>(static_cast<BYTE>(d));
}

constexpr uint32_t kHeader = ChunkType('I', 'H', 'D', 'R');
constexpr uint32_t kPalette = ChunkType('P', 'L', 'T', 'E');
constexpr uint32_t kTransparency = ChunkType('t', 'R', 'N', 'S');
constexpr uint32_t kImageData = ChunkType('I', 'D', 'A', 'T');
constexpr uint32_t kEnd = ChunkType('I', 'E', 'N', 'D');
// Bit 5 of a chunk type's first letter: set for chunks a reader may skip.
constexpr uint32_t kAncillaryBit = 1u << 29;

// The general decoder's own limits, kept so that this reader never takes a file it would refuse.
constexpr uint32_t kMaxSide = 1u << 24;
constexpr uint32_t kMaxImageBytes = 1u << 30;

// The colour types read here: the samples a pixel has in the image data.
struct ColorForm {
    BYTE type;
    int channels;
};
constexpr ColorForm kForms[] = {{0, 1}, {2, 3}, {3, 1}, {4, 2}, {6, 4}};
constexpr BYTE kGrey = 0, kRgb = 2, kPaletted = 3, kGreyAlpha = 4, kRgba = 6;

uint32_t ReadU32(const BYTE* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

BYTE Paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<BYTE>(a);
    return static_cast<BYTE>(pb <= pc ? b : c);
}

// Undoes one row's filter in place. `prior` is the row above, already unfiltered (zeros above
// the first row); Bpp is the bytes a pixel, the distance to the left neighbour.
template <int Bpp>
void UnfilterRow(int filter, BYTE* cur, const BYTE* prior, size_t n)
{
    switch (filter) {
    case 1:  // sub
        for (size_t i = Bpp; i < n; ++i) cur[i] = static_cast<BYTE>(cur[i] + cur[i - Bpp]);
        break;
    case 2:  // up
        for (size_t i = 0; i < n; ++i) cur[i] = static_cast<BYTE>(cur[i] + prior[i]);
        break;
    case 3:  // average
        for (size_t i = 0; i < Bpp && i < n; ++i) cur[i] = static_cast<BYTE>(cur[i] + (prior[i] >> 1));
        for (size_t i = Bpp; i < n; ++i) cur[i] = static_cast<BYTE>(cur[i] + ((cur[i - Bpp] + prior[i]) >> 1));
        break;
    case 4:  // paeth
        for (size_t i = 0; i < Bpp && i < n; ++i) cur[i] = static_cast<BYTE>(cur[i] + prior[i]);
        for (size_t i = Bpp; i < n; ++i)
            cur[i] = static_cast<BYTE>(cur[i] + Paeth(cur[i - Bpp], prior[i], prior[i - Bpp]));
        break;
    default:  // none
        break;
    }
}

using UnfilterFn = void (*)(int, BYTE*, const BYTE*, size_t);
constexpr UnfilterFn kUnfilter[] = {nullptr, &UnfilterRow<1>, &UnfilterRow<2>, &UnfilterRow<3>, &UnfilterRow<4>};

struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

} // namespace

bool CPngReader::Open(const BYTE* data, size_t size)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    *this = CPngReader();
    if (data == nullptr || size < sizeof(kSignature) || std::memcmp(data, kSignature, sizeof(kSignature)) != 0)
        return false;

    // Chunk by chunk: length, type, body and CRC, each wholly inside the file. The CRCs are not
    // checked: the general decoder, which would get a file refused here, ignores them too; the
    // image data carries its own checksum, which the inflater checks.
    size_t at = sizeof(kSignature);
    bool haveHeader = false;
    for (;;) {
        if (size - at < 12) return false;
        const uint32_t length = ReadU32(data + at);
        const uint32_t type = ReadU32(data + at + 4);
        if (length > size - at - 12) return false;
        const BYTE* body = data + at + 8;
        at += 12 + static_cast<size_t>(length);

        if (!haveHeader && type != kHeader) return false;
        switch (type) {
        case kHeader:
            if (haveHeader || !ReadHeader(body, length)) return false;
            haveHeader = true;
            break;
        case kPalette:
            if (!ReadPalette(body, length)) return false;
            break;
        case kTransparency:
            if (!ReadTransparency(body, length)) return false;
            break;
        case kImageData:
            if (m_colorType == kPaletted && m_paletteSize == 0) return false;
            m_data.push_back(Span{body, length});
            break;
        case kEnd:
            return !m_data.empty();
        default:
            if ((type & kAncillaryBit) == 0) return false;  // a critical chunk not known here
            break;
        }
    }
}

bool CPngReader::ReadHeader(const BYTE* body, uint32_t length)
{
    if (length != 13) return false;
    m_width = ReadU32(body);
    m_height = ReadU32(body + 4);
    const BYTE depth = body[8], compression = body[10], filtering = body[11], interlace = body[12];
    m_colorType = body[9];
    if (m_width == 0 || m_height == 0 || m_width > kMaxSide || m_height > kMaxSide) return false;
    if (depth != 8 || compression != 0 || filtering != 0 || interlace != 0) return false;
    m_channels = 0;
    for (const ColorForm& form : kForms) {
        if (form.type == m_colorType) m_channels = form.channels;
    }
    if (m_channels == 0) return false;
    // Palette pixels become four bytes; every form must fit the size limit.
    const uint64_t rowBytes = static_cast<uint64_t>(m_width) * (m_colorType == kPaletted ? 4 : m_channels);
    return (rowBytes + 1) * m_height <= kMaxImageBytes;
}

bool CPngReader::ReadPalette(const BYTE* body, uint32_t length)
{
    // A second palette, or one after the image data, is left to the general decoder.
    if (m_paletteSeen || !m_data.empty() || length > 256 * 3 || length % 3 != 0) return false;
    m_paletteSeen = true;
    m_paletteSize = length / 3;
    for (uint32_t i = 0; i < m_paletteSize; ++i) {
        BYTE* entry = m_palette + i * 4;
        entry[0] = body[i * 3];
        entry[1] = body[i * 3 + 1];
        entry[2] = body[i * 3 + 2];
        entry[3] = 255;
    }
    return true;
}

bool CPngReader::ReadTransparency(const BYTE* body, uint32_t length)
{
    if (m_transparencySeen || !m_data.empty()) return false;
    m_transparencySeen = true;
    if (m_colorType == kPaletted) {
        // Alpha of the first entries; the others stay opaque.
        if (m_paletteSize == 0 || length > m_paletteSize) return false;
        for (uint32_t i = 0; i < length; ++i) m_palette[i * 4 + 3] = body[i];
        return true;
    }
    // Grey or RGB: one key colour, two bytes a sample, of which 8-bit images use the low byte.
    if (m_colorType == kGreyAlpha || m_colorType == kRgba) return false;
    const uint32_t samples = m_colorType == kRgb ? 3 : 1;
    if (length != samples * 2) return false;
    for (uint32_t k = 0; k < samples; ++k) m_key[k] = body[k * 2 + 1];
    m_hasKey = true;
    return true;
}

void CPngReader::ExpandRow(const BYTE* row, BYTE* rgba) const
{
    const uint32_t width = m_width;
    switch (m_colorType) {
    case kGrey:
        for (uint32_t x = 0; x < width; ++x, rgba += 4) {
            const BYTE grey = row[x];
            rgba[0] = rgba[1] = rgba[2] = grey;
            rgba[3] = m_hasKey && grey == m_key[0] ? 0 : 255;
        }
        break;
    case kGreyAlpha:
        for (uint32_t x = 0; x < width; ++x, rgba += 4, row += 2) {
            rgba[0] = rgba[1] = rgba[2] = row[0];
            rgba[3] = row[1];
        }
        break;
    case kRgb:
        for (uint32_t x = 0; x < width; ++x, rgba += 4, row += 3) {
            rgba[0] = row[0];
            rgba[1] = row[1];
            rgba[2] = row[2];
            rgba[3] = m_hasKey && row[0] == m_key[0] && row[1] == m_key[1] && row[2] == m_key[2] ? 0 : 255;
        }
        break;
    case kPaletted:
        for (uint32_t x = 0; x < width; ++x, rgba += 4) std::memcpy(rgba, m_palette + row[x] * 4, 4);
        break;
    default:  // RGBA rows are stored as they are
        break;
    }
}

bool CPngReader::Decode(DWORD* pixels, DWORD mask, bool* blended) const
{
    if (m_data.empty() || pixels == nullptr || blended == nullptr) return false;
    const size_t rowBytes = static_cast<size_t>(m_width) * m_channels;
    const size_t imageBytes = (rowBytes + 1) * m_height;

    // 1. The deflate stream: the one IDAT chunk in place, or the chunks joined.
    const BYTE* packed = m_data.front().data;
    size_t packedSize = m_data.front().size;
    std::unique_ptr<BYTE[]> joined;
    if (m_data.size() > 1) {
        packedSize = 0;
        for (const Span& span : m_data) packedSize += span.size;  // within the file's size
        joined.reset(new (std::nothrow) BYTE[packedSize]);
        if (joined == nullptr) return false;
        size_t at = 0;
        for (const Span& span : m_data) {
            std::memcpy(joined.get() + at, span.data, span.size);
            at += span.size;
        }
        packed = joined.get();
    }

    // 2. Inflated whole, to exactly the image's bytes: a stream that holds less is damaged, one
    //    that holds more is left to the general decoder.
    std::unique_ptr<BYTE[]> raw(new (std::nothrow) BYTE[imageBytes]);
    std::unique_ptr<libdeflate_decompressor, DecompressorFree> inflater(libdeflate_alloc_decompressor());
    if (raw == nullptr || inflater == nullptr) return false;
    size_t produced = 0;
    if (libdeflate_zlib_decompress(inflater.get(), packed, packedSize, raw.get(), imageBytes, &produced) !=
            LIBDEFLATE_SUCCESS ||
        produced != imageBytes)
        return false;

    // 3. Row by row: the filter undone in place against the row above, then the row stored
    //    premultiplied into its line of the picture (through an RGBA line unless it is RGBA).
    std::unique_ptr<BYTE[]> zeros(new (std::nothrow) BYTE[rowBytes]());
    std::unique_ptr<BYTE[]> line;
    if (m_colorType != kRgba) line.reset(new (std::nothrow) BYTE[static_cast<size_t>(m_width) * 4]);
    if (zeros == nullptr || (m_colorType != kRgba && line == nullptr)) return false;
    const UnfilterFn unfilter = kUnfilter[m_channels];
    const BYTE* prior = zeros.get();
    bool anyBlended = false;
    for (uint32_t y = 0; y < m_height; ++y) {
        BYTE* row = raw.get() + y * (rowBytes + 1);
        const int filter = row[0];
        if (filter > 4) return false;
        BYTE* cur = row + 1;
        unfilter(filter, cur, prior, rowBytes);
        const BYTE* rgba = cur;
        if (line != nullptr) {
            ExpandRow(cur, line.get());
            rgba = line.get();
        }
        anyBlended |= StorePremultiplied(rgba, pixels + static_cast<size_t>(y) * m_width, m_width, mask);
        prior = cur;
    }
    *blended = anyBlended;
    return true;
}

} // namespace SkinUI
