#pragma once
// One open zip archive: entry lookup, entry descriptions and extraction over minizip.
#include <windows.h>
#include <cstdint>
#include <memory>
#include <unzip.h>
#include "uitoolkit/core/SkinZip.h"
#include "uitoolkit/core/SkinZipSource.h"

namespace SkinUI {

class SkinZipArchive {
public:
    SkinZipArchive() = default;
    ~SkinZipArchive();
    SkinZipArchive(const SkinZipArchive&) = delete;
    SkinZipArchive& operator=(const SkinZipArchive&) = delete;

    uint32_t Open(const void* source, uint32_t length, uint32_t kind);
    // Closes the open entry and the archive; 0 or a result code.
    uint32_t Close();
    // Locates an entry by name; found: index and (when asked) its description.
    uint32_t FindItem(const wchar_t* name, bool ignoreCase, int* index, SkinZipEntry* entry);
    // Describes entry `index`; -1 describes the archive (index field = entry count).
    uint32_t GetItem(int index, SkinZipEntry* entry);
    uint32_t UnzipItem(int index, void* destination, uint32_t length, uint32_t kind);

    int GetEntryCount() const { return m_count; }

private:
    uint32_t GoToEntry(int index);
    void CloseOpenEntry();
    uint32_t CloseOpenEntryChecked();
    uint32_t UnzipToMemory(int index, void* destination, uint32_t length);
    uint32_t UnzipToHandle(int index, void* destination, uint32_t kind);
    uint32_t CopyEntryTo(int index, HANDLE out);
    bool EnsureDirectory(const wchar_t* relativeDir) const;

    unzFile m_zip = nullptr;
    std::unique_ptr<SkinZipSource> m_source;
    int m_count = 0;
    int m_current = -1;           // entry minizip is positioned on
    int m_openEntry = -1;         // entry open for reading (-1 = none)
    uint64_t m_openDeclared = 0;  // the open entry's declared uncompressed size
    uint64_t m_openRead = 0;      // bytes read from it so far
    SkinZipEntry m_cached;        // last described entry
    int m_cachedIndex = -1;
    wchar_t m_baseDir[MAX_PATH] = {};
};

} // namespace SkinUI
