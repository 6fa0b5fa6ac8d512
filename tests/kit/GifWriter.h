#pragma once
// Encodes small GIF pictures for tests: a global palette and any number of frames, each with an
// optional graphic control block that carries its delay (hundredths of a second). The image data
// is valid LZW that never grows its code size (a clear code before every second pixel), so that
// every decoder reads it.
//
//   kit::GifFrame red{std::vector<uint8_t>(64, 0), 10}, blue{std::vector<uint8_t>(64, 1), 20};
//   kit::WriteBytesToFile(dir.File(L"a.gif"), kit::EncodeGif(8, 8, {0xFF0000, 0x0000FF}, {red, blue}));
#include <cstdint>
#include <string>
#include <vector>

namespace kit {

struct GifFrame {
    std::vector<uint8_t> pixels;  // palette indices, row by row, width x height of them
    uint16_t delay = 0;           // hundredths of a second
    bool withDelay = true;        // false: no graphic control block (the file gives no delay)
};

// The palette holds 0xRRGGBB colours (at most 256).
std::string EncodeGif(int width, int height, const std::vector<uint32_t>& palette, const std::vector<GifFrame>& frames);

} // namespace kit
