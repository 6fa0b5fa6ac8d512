#pragma once
// CGifValidator: a strict reader of a GIF's structure, run on skin bytes before they reach the
// system's GIF decoder, which does not survive every damaged file (a frame without any colour
// table has it read a null palette). It walks the whole file and decodes each frame's LZW codes
// far enough to prove them sound, without producing pixels, and takes only:
//  - the "GIF87a" or "GIF89a" header and a logical screen within the toolkit's image limits;
//  - blocks up to the trailer: extensions made of complete sub-blocks (a graphic control block of
//    exactly 4 bytes), and frames inside the screen, with colours (their own table or the global
//    one), an LZW code size of 2 to 8 and complete data sub-blocks;
//  - LZW codes that the decoder's table holds at the time, a frame giving at most width x height
//    pixels;
//  - at most kMaxFrames frames of at most kMaxTotalPixels pixels together.
// Like a tolerant decoder it takes a file that ends after complete blocks without the trailer,
// a frame whose codes stop early or without the end code, and bytes after the end code or the
// trailer.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "uitoolkit/core/RenderKit.h"

namespace SkinUI {

class CGifValidator {
public:
    static constexpr UINT kMaxFrames = 1024;
    // The decoder holds every frame's pixels at once: together no more than one largest image.
    static constexpr long long kMaxTotalPixels = CRenderKit::kMaxImagePixels;

    // Whether the bytes are a GIF that may be handed to the decoder.
    bool Check(const BYTE* data, size_t size);

    // After a successful Check: the logical screen and the frame count.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    UINT FrameCount() const { return m_frames; }

private:
    bool ReadScreen();
    bool ReadExtension();
    bool ReadFrame();
    // The LZW data sub-blocks of a frame of `pixels` pixels.
    bool ReadCodes(unsigned minCodeSize, long long pixels);
    // Sub-blocks up to and including the empty one.
    bool SkipSubBlocks();
    // The colour table that the flags byte announces, if any.
    bool SkipColorTable(BYTE flags);

    // `count` bytes from the read position on; false when the file ends first.
    const BYTE* Take(size_t count);
    bool TakeByte(BYTE* value);
    // A sub-block: its length byte and that many bytes (length 0: the block list ends).
    bool TakeSubBlock(const BYTE** block, BYTE* length);
    static int Word(const BYTE* at) { return at[0] | (at[1] << 8); }

    const BYTE* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_globalColors = false;
    UINT m_frames = 0;
    long long m_pixels = 0;  // over all frames so far
};

} // namespace SkinUI
