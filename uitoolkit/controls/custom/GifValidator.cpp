#include "uitoolkit/controls/custom/GifValidator.h"

#include <cstring>

namespace SkinUI {

namespace {

constexpr BYTE kExtension = 0x21;
constexpr BYTE kFrame = 0x2C;
constexpr BYTE kTrailer = 0x3B;
constexpr BYTE kGraphicControl = 0xF9;
constexpr size_t kScreenSize = 7;            // logical screen descriptor after the header
constexpr size_t kFrameDescriptorSize = 9;   // image descriptor after its introducer
constexpr BYTE kColorTableFlag = 0x80;       // in the screen's and the frame's flags
constexpr unsigned kMaxCodeBits = 12;
constexpr unsigned kMaxCodes = 1u << kMaxCodeBits;
constexpr unsigned kNoCode = kMaxCodes;

} // namespace

bool CGifValidator::Check(const BYTE* data, size_t size)
{
    *this = CGifValidator();
    if (data == nullptr)
        return false;
    m_data = data;
    m_size = size;
    if (!ReadScreen())
        return false;
    // Blocks up to the trailer; the end of the file between two blocks ends them too.
    for (;;) {
        BYTE introducer = 0;
        if (!TakeByte(&introducer) || introducer == kTrailer)
            break;
        const bool read = introducer == kExtension ? ReadExtension() : introducer == kFrame && ReadFrame();
        if (!read)
            return false;
    }
    return m_frames > 0;
}

bool CGifValidator::ReadScreen()
{
    const BYTE* header = Take(6 + kScreenSize);
    if (header == nullptr || (std::memcmp(header, "GIF87a", 6) != 0 && std::memcmp(header, "GIF89a", 6) != 0))
        return false;
    m_width = Word(header + 6);
    m_height = Word(header + 8);
    if (m_width == 0 || m_height == 0 || m_width > CRenderKit::kMaxImageSide || m_height > CRenderKit::kMaxImageSide ||
        static_cast<long long>(m_width) * m_height > CRenderKit::kMaxImagePixels)
        return false;
    m_globalColors = (header[10] & kColorTableFlag) != 0;
    return SkipColorTable(header[10]);
}

bool CGifValidator::ReadExtension()
{
    BYTE label = 0;
    if (!TakeByte(&label))
        return false;
    if (label == kGraphicControl) {
        // One block of 4 bytes (flags, delay, transparent index), then the empty block.
        const BYTE* block = Take(6);
        return block != nullptr && block[0] == 4 && block[5] == 0;
    }
    return SkipSubBlocks();
}

bool CGifValidator::ReadFrame()
{
    const BYTE* descriptor = Take(kFrameDescriptorSize);
    if (descriptor == nullptr)
        return false;
    // 1. Inside the screen, with colours of its own or the global ones.
    const int left = Word(descriptor);
    const int top = Word(descriptor + 2);
    const int width = Word(descriptor + 4);
    const int height = Word(descriptor + 6);
    const BYTE flags = descriptor[8];
    if (width == 0 || height == 0 || left + width > m_width || top + height > m_height)
        return false;
    if (!m_globalColors && (flags & kColorTableFlag) == 0)
        return false;
    if (!SkipColorTable(flags))
        return false;
    // 2. Within the frame and pixel budgets.
    const long long pixels = static_cast<long long>(width) * height;
    m_pixels += pixels;
    if (++m_frames > kMaxFrames || m_pixels > kMaxTotalPixels)
        return false;
    // 3. Its codes.
    BYTE minCodeSize = 0;
    return TakeByte(&minCodeSize) && minCodeSize >= 2 && minCodeSize <= 8 && ReadCodes(minCodeSize, pixels);
}

bool CGifValidator::ReadCodes(unsigned minCodeSize, long long pixels)
{
    // The decoder's table is followed by the length of each string only: what a code stands for
    // does not matter, only whether the table holds it and how many pixels it gives.
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    uint16_t lengths[kMaxCodes];
    for (unsigned code = 0; code < clear; ++code)
        lengths[code] = 1;
    unsigned codeBits = minCodeSize + 1;
    unsigned next = end + 1;  // the entry the next code after a string adds
    unsigned previous = kNoCode;
    uint32_t bitBuffer = 0;
    unsigned bitCount = 0;
    long long produced = 0;
    bool ended = false;
    for (;;) {
        const BYTE* block = nullptr;
        BYTE length = 0;
        if (!TakeSubBlock(&block, &length))
            return false;
        if (length == 0)
            return true;
        for (size_t i = 0; i < length && !ended; ++i) {
            // 1. Codes are packed least significant bit first, across block boundaries.
            bitBuffer |= static_cast<uint32_t>(block[i]) << bitCount;
            bitCount += 8;
            while (bitCount >= codeBits) {
                const unsigned code = bitBuffer & ((1u << codeBits) - 1);
                bitBuffer >>= codeBits;
                bitCount -= codeBits;
                // 2. A clear code empties the table; the end code ends the frame's data.
                if (code == clear) {
                    codeBits = minCodeSize + 1;
                    next = end + 1;
                    previous = kNoCode;
                    continue;
                }
                if (code == end) {
                    ended = true;
                    break;
                }
                // 3. A code the table holds, or the one it is about to add (the previous string
                // and its own first pixel); the first code after a clear is a single pixel.
                unsigned stringLength = 0;
                if (code < next)
                    stringLength = lengths[code];
                else if (code == next && previous != kNoCode)
                    stringLength = lengths[previous] + 1u;
                else
                    return false;
                produced += stringLength;
                if (produced > pixels)
                    return false;
                // 4. Every code after the first adds an entry; the code size grows when the
                // table reaches it, up to 12 bits, and a full table adds nothing more.
                if (previous != kNoCode && next < kMaxCodes) {
                    lengths[next] = static_cast<uint16_t>(lengths[previous] + 1);
                    ++next;
                    if (next == (1u << codeBits) && codeBits < kMaxCodeBits)
                        ++codeBits;
                }
                previous = code;
            }
        }
    }
}

bool CGifValidator::SkipSubBlocks()
{
    const BYTE* block = nullptr;
    BYTE length = 0;
    do {
        if (!TakeSubBlock(&block, &length))
            return false;
    } while (length != 0);
    return true;
}

bool CGifValidator::SkipColorTable(BYTE flags)
{
    return (flags & kColorTableFlag) == 0 || Take(3u * (2u << (flags & 7))) != nullptr;
}

const BYTE* CGifValidator::Take(size_t count)
{
    if (count > m_size - m_pos)
        return nullptr;
    const BYTE* at = m_data + m_pos;
    m_pos += count;
    return at;
}

bool CGifValidator::TakeSubBlock(const BYTE** block, BYTE* length)
{
    if (!TakeByte(length))
        return false;
    *block = Take(*length);
    return *block != nullptr;
}

bool CGifValidator::TakeByte(BYTE* value)
{
    const BYTE* at = Take(1);
    if (at != nullptr)
        *value = *at;
    return at != nullptr;
}

} // namespace SkinUI
