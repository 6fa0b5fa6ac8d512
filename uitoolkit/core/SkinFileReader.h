#pragma once
// Reads skin files (layouts, images) whole into memory: from the skin search paths, front to
// back, and then from the skin zip when one is set.
#include <cstdint>
#include <memory>

#include "uitoolkit/core/SkinZip.h"

namespace SkinUI {

// Skin files larger than this are refused.
constexpr uint32_t kMaxSkinFileSize = 64 * 1024 * 1024;

struct SkinFileData {
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    explicit operator bool() const { return data != nullptr && size > 0; }
};

// The whole file; empty when it is missing, empty, too large, unreadable or read short.
SkinFileData ReadWholeSkinFile(const wchar_t* path);
// The first search path that yields the whole file.
SkinFileData ReadSkinFileFromPaths(const wchar_t* name);
// The cached skin zip, else the zip opened from `directory` + the zip name (null directory:
// the first search path that holds it); a zip opened here is handed to `owned`.
SkinZipHandle* OpenResourceZip(const wchar_t* directory, OwnedSkinZip& owned);
// The entry named `name` (letter case ignored), read whole and checked to its end. With
// `unpackFailed`, it tells an entry that is there but cannot be unpacked from a missing one.
SkinFileData ReadSkinZipEntry(SkinZipHandle* zip, const wchar_t* name, bool* unpackFailed = nullptr);
// The search paths, then the skin zip when a zip name is set.
SkinFileData ReadSkinFile(const wchar_t* name);

} // namespace SkinUI
