#include "uitoolkit/core/SkinFileReader.h"

#include <windows.h>

#include <new>

#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/WinHandle.h"

namespace SkinUI {

SkinFileData ReadWholeSkinFile(const wchar_t* path) {
    SkinFileData file;
    if (path == nullptr) return file;
    CWinHandle h(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return file;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxSkinFileSize) return file;
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[length]);
    DWORD read = 0;
    if (data == nullptr || !::ReadFile(h.Get(), data.get(), length, &read, nullptr) || read != length)
        return file;  // a short read counts as missing
    file.data = std::move(data);
    file.size = length;
    return file;
}

SkinFileData ReadSkinFileFromPaths(const wchar_t* name) {
    SkinFileData file;
    if (name == nullptr || name[0] == 0) return file;
    const CResourcePathList& paths = CHostResources::GetResourcePathList();
    for (int i = 0; i < paths.GetSize() && !file; ++i) {
        CUIString path(paths.GetAt(i));
        path += name;
        file = ReadWholeSkinFile(path.GetData());
    }
    return file;
}

SkinZipHandle* OpenResourceZip(const wchar_t* directory, OwnedSkinZip& owned) {
    if (CHostResources::IsResourceZipCached() && CHostResources::GetResourceZipHandle() != nullptr)
        return CHostResources::GetResourceZipHandle();
    const CUIString& zipName = CHostResources::GetResourceZip();
    if (zipName.IsEmpty()) return nullptr;
    const auto tryOpen = [&](const wchar_t* dir) {
        CUIString path(dir);
        path += zipName.GetData();
        owned.reset(OpenSkinZip(path.GetData(), 0, SkinZipFileKind));
    };
    if (directory != nullptr) {
        tryOpen(directory);
    } else {
        const CResourcePathList& paths = CHostResources::GetResourcePathList();
        for (int i = 0; i < paths.GetSize() && owned == nullptr; ++i) tryOpen(paths.GetAt(i));
    }
    return owned.get();
}

SkinFileData ReadSkinZipEntry(SkinZipHandle* zip, const wchar_t* name, bool* unpackFailed) {
    SkinFileData file;
    int index = -1;
    SkinZipEntry entry;
    bool failed = false;
    if (unpackFailed == nullptr) unpackFailed = &failed;
    *unpackFailed = false;
    if (zip == nullptr || name == nullptr || FindSkinZipEntry(zip, name, true, &index, &entry) != SkinZipOk)
        return file;
    if (entry.uncompressedSize == 0) return file;
    *unpackFailed = true;  // until the whole entry has been read
    if (entry.uncompressedSize < 0 || static_cast<uint32_t>(entry.uncompressedSize) > kMaxSkinFileSize) return file;
    const uint32_t length = static_cast<uint32_t>(entry.uncompressedSize);
    // Zeroed, so that an entry shorter than its directory claims leaves no stale bytes.
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[length]());
    if (data == nullptr) return file;
    uint32_t result = ExtractSkinZipEntry(zip, index, data.get(), length, SkinZipMemoryKind);
    if (result == SkinZipMoreData) {
        // One more read reaches the end of the entry, where its checksum is verified.
        uint8_t probe = 0;
        result = ExtractSkinZipEntry(zip, index, &probe, 1, SkinZipMemoryKind);
    }
    if (result != SkinZipOk) return file;
    *unpackFailed = false;
    file.data = std::move(data);
    file.size = length;
    return file;
}

SkinFileData ReadSkinFile(const wchar_t* name) {
    SkinFileData file = ReadSkinFileFromPaths(name);
    if (file || CHostResources::GetResourceZip().IsEmpty()) return file;
    OwnedSkinZip owned;
    return ReadSkinZipEntry(OpenResourceZip(nullptr, owned), name);
}

} // namespace SkinUI
