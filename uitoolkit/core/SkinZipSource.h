#pragma once
// The byte source under the zip reader: an open file handle (duplicated), a file opened by
// name, or a memory block. Handed to minizip as its file functions.
#include <windows.h>
#include <cstdint>
#include <ioapi.h>
#include "uitoolkit/core/WinHandle.h"

namespace SkinUI {

class SkinZipSource {
public:
    SkinZipSource() = default;
    SkinZipSource(const SkinZipSource&) = delete;
    SkinZipSource& operator=(const SkinZipSource&) = delete;

    // Opens the source (kind 1 handle, 2 file name, 3 memory); 0 or a result code.
    uint32_t Open(const void* source, uint32_t length, uint32_t kind);
    // Closes the handle of a handle or file source; a memory source is just forgotten.
    void Close();
    // Reads up to size * count bytes; returns whole items read.
    size_t Read(void* buffer, size_t size, size_t count);
    // origin 0 = set, 1 = current, 2 = end; 0 on success, else an error number.
    int Seek(long offset, int origin);
    // Position relative to where the source started.
    long Tell() const;
    bool HasError() const { return m_error; }

    // minizip's file functions over this source (the source is the opaque pointer).
    zlib_filefunc_def FileFunctions();

private:
    bool m_isHandle = false;
    bool m_canSeek = false;
    CWinHandle m_handle;
    bool m_error = false;
    int64_t m_start = 0;
    const uint8_t* m_memory = nullptr;
    uint32_t m_memoryLength = 0;
    uint32_t m_memoryPos = 0;
};

} // namespace SkinUI
