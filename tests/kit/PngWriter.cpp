#include "PngWriter.h"

#include <zlib.h>

namespace kit {

namespace {

void PutU32(std::string& out, uint32_t v)
{
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    out += PngChunk(type, data);
}

// RGBA (colour type 6) or RGB (colour type 2) pixels, 8 bits per channel, unfiltered.
std::string Encode(int claimedWidth, int claimedHeight, int width, int height, const std::vector<uint32_t>& argb,
                   bool withAlpha)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter type: none
        for (int x = 0; x < width; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y) * width + x];
            raw += static_cast<char>(p >> 16);
            raw += static_cast<char>(p >> 8);
            raw += static_cast<char>(p);
            if (withAlpha)
                raw += static_cast<char>(p >> 24);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    std::string header;
    PutU32(header, static_cast<uint32_t>(claimedWidth));
    PutU32(header, static_cast<uint32_t>(claimedHeight));
    header += '\x08';  // bit depth
    header += withAlpha ? '\x06' : '\x02';  // colour type: RGBA or RGB
    header += std::string(3, '\0');  // compression, filter, interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", std::string());
    return png;
}

} // namespace

std::string PngChunk(const char* type, const std::string& data)
{
    std::string chunk;
    PutU32(chunk, static_cast<uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    chunk += body;
    PutU32(chunk, static_cast<uint32_t>(
                      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    return chunk;
}

std::string EncodePngClaiming(int claimedWidth, int claimedHeight, int width, int height,
                              const std::vector<uint32_t>& argb)
{
    return Encode(claimedWidth, claimedHeight, width, height, argb, true);
}

std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb)
{
    return Encode(width, height, width, height, argb, true);
}

std::string EncodePngRgb(int width, int height, const std::vector<uint32_t>& argb)
{
    return Encode(width, height, width, height, argb, false);
}

std::string EncodePng(int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> argb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            argb.push_back(pixel(x, y));
    return EncodePng(width, height, argb);
}

std::string SolidPng(int width, int height, uint32_t argb)
{
    return EncodePng(width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb));
}

} // namespace kit
