#pragma once
// Read access to skin zip archives: open from a file handle, a file name or a memory block,
// find entries by name and extract them into memory, an open handle or a file.
// Every function stores its result code as the process-wide last result.
#include <windows.h>
#include <cstdint>
#include <memory>

namespace SkinUI {

// Result codes of the zip functions.
enum SkinZipResult : uint32_t {
    SkinZipOk = 0,
    SkinZipDuplicateFailed = 0x100,   // duplicating the given handle failed
    SkinZipOpenFailed = 0x200,        // opening or creating a file failed (or its path is too long)
    SkinZipWriteFailed = 0x400,       // extracting into a handle or file failed
    SkinZipNotFound = 0x500,          // no entry of that name
    SkinZipMoreData = 0x600,          // memory extraction read data; the entry stays open
    SkinZipBadLocalHeader = 0x700,    // the entry's local header is inconsistent or its sizes absurd
    SkinZipExtraFieldFailed = 0x800,  // reading the entry's local extra field failed
    SkinZipBadArgument = 0x10000,     // null handle, index out of range, unknown kind
    SkinZipNotArchive = 0x80000,      // the handle is not an archive reader
    SkinZipAlreadyOpen = 0x1000000,   // the archive object is already open
    SkinZipNotDiskFile = 0x2000000,   // the given handle is not a disk file
    SkinZipReadFailed = 0x5000000,    // reading or checking the entry data failed
};

// What a source or destination pointer is.
enum SkinZipKind : uint32_t {
    SkinZipHandleKind = 1,  // an open file handle (HANDLE)
    SkinZipFileKind = 2,    // a file name (const wchar_t*)
    SkinZipMemoryKind = 3,  // a memory block with its length
};

// Entries larger than this are refused: skins hold layouts and pictures, never this much.
constexpr int32_t kSkinZipMaxEntrySize = 64 * 1024 * 1024;

// Description of one entry. Index -1 describes the archive: its index field holds the count.
struct SkinZipEntry {
    int32_t index = -1;
    wchar_t name[MAX_PATH] = {};   // converted from the system ANSI code page
    uint32_t attributes = 0;       // Windows file attributes
    FILETIME accessTime = {};
    FILETIME creationTime = {};
    FILETIME modificationTime = {};
    int32_t compressedSize = 0;
    int32_t uncompressedSize = 0;
};

class SkinZipArchive;

// What OpenSkinZip returns: an archive reader.
struct SkinZipHandle {
    static constexpr uint32_t kArchiveReader = 1;
    SkinZipHandle();
    ~SkinZipHandle();
    SkinZipHandle(const SkinZipHandle&) = delete;
    SkinZipHandle& operator=(const SkinZipHandle&) = delete;

    uint32_t kind = kArchiveReader;
    std::unique_ptr<SkinZipArchive> archive;
};

// Closes an archive when its owner goes away.
struct SkinZipCloser {
    void operator()(SkinZipHandle* zip) const;
};
using OwnedSkinZip = std::unique_ptr<SkinZipHandle, SkinZipCloser>;

// Opens an archive; null on failure (see SkinZipLastResult).
SkinZipHandle* OpenSkinZip(const void* source, uint32_t length, uint32_t kind);
// Closes the open entry and the archive and frees the handle.
uint32_t CloseSkinZip(SkinZipHandle* zip);
// Finds an entry by name; index and entry may be null. Not found: index -1 and 0x500.
uint32_t FindSkinZipEntry(SkinZipHandle* zip, const wchar_t* name, bool ignoreCase,
                          int* index, SkinZipEntry* entry);
// Extracts entry `index` into memory (kind 3: up to `length` bytes per call, 0x600 while data
// came, 0 at the end), into an open handle (kind 1) or into a file (kind 2).
uint32_t ExtractSkinZipEntry(SkinZipHandle* zip, int index, void* destination, uint32_t length,
                             uint32_t kind);
// The result of the last zip function called.
uint32_t SkinZipLastResult();

} // namespace SkinUI
