#pragma once
// Encodes small GIF pictures for tests: a global palette and any number of frames, each with an
// optional graphic control block that carries its delay (hundredths of a second). The image data
// is valid LZW; by default it never grows its code size (a clear code before every second pixel),
// so that every decoder reads it.
//
//   kit::GifFrame red{std::vector<uint8_t>(64, 0), 10}, blue{std::vector<uint8_t>(64, 1), 20};
//   kit::WriteBytesToFile(dir.File(L"a.gif"), kit::EncodeGif(8, 8, {0xFF0000, 0x0000FF}, {red, blue}));
#include <cstdint>
#include <string>
#include <vector>

namespace kit {

// How a frame's pixels become LZW codes.
enum class GifCodes {
    Short,            // a clear code before every second pixel: the code size never grows
    Growing,          // as common encoders write them: growing code sizes, a full table cleared
    GrowingKeepFull,  // the same, but a full table is kept and the codes go on at 12 bits
};

struct GifFrame {
    std::vector<uint8_t> pixels;  // palette indices, row by row, width x height of them
    uint16_t delay = 0;           // hundredths of a second
    bool withDelay = true;        // false: no graphic control block (the file gives no delay)
    GifCodes codes = GifCodes::Short;
    // The frame's place in the logical screen; a width or height of 0 is the screen's.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The palette holds 0xRRGGBB colours (at most 256); width and height are the logical screen's.
std::string EncodeGif(int width, int height, const std::vector<uint32_t>& palette, const std::vector<GifFrame>& frames);

} // namespace kit
