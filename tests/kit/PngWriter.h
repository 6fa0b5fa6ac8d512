#pragma once
// Encodes small RGBA PNG images for tests (8 bits per channel, colour type 6, no filtering),
// so that tests make their own pictures.
//
//   std::vector<uint32_t> px(4 * 4, 0xFFFF0000);           // opaque red, 0xAARRGGBB
//   kit::WriteBytesToFile(dir.File(L"red.png"), kit::EncodePng(4, 4, px));
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kit {

// Pixels row by row, top row first, each 0xAARRGGBB with straight (not premultiplied) alpha.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb);

// A picture whose pixel (x, y) is pixel(x, y) (0xAARRGGBB), and one of a single colour.
std::string EncodePng(int width, int height, const std::function<uint32_t(int, int)>& pixel);
std::string SolidPng(int width, int height, uint32_t argb);

// The same pixels as an RGB picture (colour type 2): the alpha bytes are dropped.
std::string EncodePngRgb(int width, int height, const std::vector<uint32_t>& argb);

// One chunk of a PNG file: length, type, body and CRC; for tests that write their own files.
std::string PngChunk(const char* type, const std::string& body);

// The same image with an explicit header size, for tests of size limits: the IHDR claims
// width x height while the pixel data holds the given pixels.
std::string EncodePngClaiming(int claimedWidth, int claimedHeight, int width, int height,
                              const std::vector<uint32_t>& argb);

} // namespace kit
