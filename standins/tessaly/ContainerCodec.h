#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/tessaly/FieldContainer.h"

namespace tessaly {

// The library's own wire form of a field container, used for its messages and its state file:
//   "TSC1", u32 body length, u32 FNV-1a hash of the body, body
//   body      := u32 field count, field*
//   field     := u8 type, u16 name units, name (UTF-16LE), value
//   value     := Bool/Byte: u8 | Word: u16 | DWord/Int: u32 | Text: u32 units, UTF-16LE
//              | Buffer: u32 length, bytes | Container: body | List: u32 count, item*
//   item      := u8 1, u32 units, UTF-16LE (a text) | u8 2, body (a container)
// All numbers little-endian. Nesting is bounded.
std::vector<uint8_t> EncodeContainer(const FieldContainer& container);

// Decodes a whole, intact encoding (header, hash, exact length); false for anything else,
// never reading outside [data, data + size).
bool DecodeContainer(const uint8_t* data, size_t size, Fields& out);

inline constexpr int kMaxNesting = 16;

} // namespace tessaly
