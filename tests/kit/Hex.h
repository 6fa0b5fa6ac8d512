#pragma once
// Bytes as lower-case hexadecimal text, two digits a byte ("\x5e\xbe" -> "5ebe"), as the
// stand-in library's call log writes buffers.
#include <string>

namespace kit {

template <class Bytes>
std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

} // namespace kit
