#include "kit/GifWriter.h"

#include <map>
#include <utility>

namespace kit {

namespace {

void PutWord(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// LZW codes packed least significant bit first, cut into sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    void Put(unsigned code, int bits)
    {
        m_buffer |= static_cast<uint32_t>(code) << m_bits;
        m_bits += bits;
        while (m_bits >= 8) {
            m_bytes += static_cast<char>(m_buffer & 0xFF);
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    std::string Blocks()
    {
        if (m_bits > 0)
            m_bytes += static_cast<char>(m_buffer & 0xFF);
        std::string out;
        for (size_t at = 0; at < m_bytes.size(); at += 255) {
            const std::string block = m_bytes.substr(at, 255);
            out += static_cast<char>(block.size());
            out += block;
        }
        return out + '\0';
    }

private:
    std::string m_bytes;
    uint32_t m_buffer = 0;
    int m_bits = 0;
};

// Greedy LZW: the longest string the table holds, then a new entry for it and the next pixel.
// The code size grows once the table reaches it, checked after each code as decoders expect.
void PutGrowingCodes(CodeWriter& codes, const std::vector<uint8_t>& pixels, int minCodeSize, bool keepFullTable)
{
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::map<std::pair<unsigned, unsigned>, unsigned> table;
    unsigned next = end + 1;
    int bits = minCodeSize + 1;
    const auto put = [&](unsigned code) {
        codes.Put(code, bits);
        if (next >= (1u << bits) && bits < 12)
            ++bits;
    };
    codes.Put(clear, bits);
    unsigned current = pixels.empty() ? 0 : pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const auto found = table.find({current, pixels[i]});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        put(current);
        if (next < (keepFullTable ? 4096u : 4095u)) {
            table[{current, pixels[i]}] = next++;
        } else if (!keepFullTable) {
            codes.Put(clear, bits);
            table.clear();
            next = end + 1;
            bits = minCodeSize + 1;
        }
        current = pixels[i];
    }
    if (!pixels.empty())
        put(current);
    codes.Put(end, bits);
}

} // namespace

std::string EncodeGif(int width, int height, const std::vector<uint32_t>& palette, const std::vector<GifFrame>& frames)
{
    int depth = 1;  // the palette holds 2^depth entries
    while ((1u << depth) < palette.size() && depth < 8)
        ++depth;
    const int minCodeSize = depth < 2 ? 2 : depth;
    std::string out = "GIF89a";
    PutWord(out, width);
    PutWord(out, height);
    out += static_cast<char>(0x80 | ((depth - 1) << 4) | (depth - 1));  // global palette
    out += '\0';                                                      // background index
    out += '\0';                                                      // aspect
    for (int i = 0; i < (1 << depth); ++i) {
        const uint32_t rgb = i < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(i)] : 0;
        out += static_cast<char>((rgb >> 16) & 0xFF);
        out += static_cast<char>((rgb >> 8) & 0xFF);
        out += static_cast<char>(rgb & 0xFF);
    }
    const unsigned clear = 1u << minCodeSize;
    const int codeBits = minCodeSize + 1;
    for (const GifFrame& frame : frames) {
        if (frame.withDelay) {
            out += "\x21\xF9\x04";
            out += '\x04';  // disposal: do not dispose
            PutWord(out, frame.delay);
            out += '\0';  // transparent index (unused)
            out += '\0';
        }
        out += '\x2C';
        PutWord(out, frame.left);
        PutWord(out, frame.top);
        PutWord(out, frame.width != 0 ? frame.width : width);
        PutWord(out, frame.height != 0 ? frame.height : height);
        out += '\0';  // no local palette, not interlaced
        out += static_cast<char>(minCodeSize);
        CodeWriter codes;
        if (frame.codes != GifCodes::Short) {
            PutGrowingCodes(codes, frame.pixels, minCodeSize, frame.codes == GifCodes::GrowingKeepFull);
            out += codes.Blocks();
            continue;
        }
        for (size_t i = 0; i < frame.pixels.size(); ++i) {
            if (i % 2 == 0)
                codes.Put(clear, codeBits);
            codes.Put(frame.pixels[i], codeBits);
        }
        codes.Put(clear + 1, codeBits);  // end of information
        out += codes.Blocks();
    }
    return out + '\x3B';
}

} // namespace kit
