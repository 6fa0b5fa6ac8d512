#pragma once
// A PNG reader for the forms skins are drawn in: 8 bits per sample, grey, grey with alpha, RGB,
// RGBA or palette (with or without tRNS), not interlaced. It inflates the whole picture in one
// call and unfilters each row straight into the picture's DIB pixels, which is several times
// faster than a general decoder.
//
// Skin bytes are untrusted: every length is checked against the file, every size is bounded, and
// the reader takes only files that the general decoder would take too (the same chunk rules);
// anything else, other forms included, is left to the general decoder.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace SkinUI {

class CPngReader {
public:
    // Reads the signature and the chunk list up to IEND. False when the bytes are no PNG, break a
    // chunk rule, or are of a form this reader does not decode.
    bool Open(const BYTE* data, size_t size);

    int Width() const { return static_cast<int>(m_width); }
    int Height() const { return static_cast<int>(m_height); }

    // After a successful Open: the pixels into `pixels` (Width() * Height() words, top row
    // first) as premultiplied BGRA, a pixel equal to `mask` made transparent; `blended` tells
    // whether some pixel is not opaque. False when the image data is damaged (a bad deflate
    // stream or checksum, too little or too much data, an unknown row filter); `pixels` then
    // holds no picture.
    bool Decode(DWORD* pixels, DWORD mask, bool* blended) const;

private:
    struct Span {
        const BYTE* data;
        uint32_t size;
    };

    bool ReadHeader(const BYTE* body, uint32_t length);
    bool ReadPalette(const BYTE* body, uint32_t length);
    bool ReadTransparency(const BYTE* body, uint32_t length);
    // One unfiltered row (`channels` bytes a pixel) as straight-alpha RGBA.
    void ExpandRow(const BYTE* row, BYTE* rgba) const;

    uint32_t m_width = 0;
    uint32_t m_height = 0;
    BYTE m_colorType = 0;
    int m_channels = 0;            // samples a pixel in the image data
    std::vector<Span> m_data;      // the IDAT chunks, in order
    BYTE m_palette[256 * 4] = {};  // RGBA; entries the file does not give stay transparent black
    uint32_t m_paletteSize = 0;
    bool m_paletteSeen = false;
    bool m_transparencySeen = false;
    bool m_hasKey = false;  // grey or RGB: the one colour that is transparent
    BYTE m_key[3] = {};
};

} // namespace SkinUI
