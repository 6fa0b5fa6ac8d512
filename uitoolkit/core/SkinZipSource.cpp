#include "uitoolkit/core/SkinZipSource.h"

#include <climits>
#include <cstring>

#include "uitoolkit/core/SkinZip.h"

namespace SkinUI {

namespace {

// Error numbers of a failed seek, as the C runtime names them.
constexpr int kSeekNotSupported = 29;  // ESPIPE
constexpr int kSeekBadOrigin = 19;     // ENODEV, as the reader has always answered
constexpr int kSeekOutOfRange = 22;    // EINVAL

bool IsDiskFile(HANDLE h) { return ::GetFileType(h) == FILE_TYPE_DISK; }

SkinZipSource* SourceOf(voidpf opaque) { return static_cast<SkinZipSource*>(opaque); }

voidpf ZCALLBACK OpenFn(voidpf opaque, const char*, int) { return opaque; }
uLong ZCALLBACK ReadFn(voidpf opaque, voidpf, void* buf, uLong size) {
    return static_cast<uLong>(SourceOf(opaque)->Read(buf, 1, size));
}
uLong ZCALLBACK WriteFn(voidpf, voidpf, const void*, uLong) { return 0; }
long ZCALLBACK TellFn(voidpf opaque, voidpf) { return SourceOf(opaque)->Tell(); }
long ZCALLBACK SeekFn(voidpf opaque, voidpf, uLong offset, int origin) {
    return SourceOf(opaque)->Seek(static_cast<long>(offset), origin);
}
int ZCALLBACK CloseFn(voidpf opaque, voidpf) {
    SourceOf(opaque)->Close();
    return 0;
}
int ZCALLBACK ErrorFn(voidpf opaque, voidpf) { return SourceOf(opaque)->HasError() ? 1 : 0; }

} // namespace

uint32_t SkinZipSource::Open(const void* source, uint32_t length, uint32_t kind) {
    Close();
    m_error = false;
    m_start = 0;
    switch (kind) {
    case SkinZipHandleKind: {
        HANDLE dup = nullptr;
        if (source == nullptr ||
            !::DuplicateHandle(::GetCurrentProcess(), const_cast<void*>(source), ::GetCurrentProcess(),
                               &dup, 0, FALSE, DUPLICATE_SAME_ACCESS))
            return SkinZipDuplicateFailed;
        m_handle.Reset(dup);
        break;
    }
    case SkinZipFileKind: {
        if (source == nullptr) return SkinZipOpenFailed;
        m_handle.Reset(::CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!m_handle) return SkinZipOpenFailed;
        break;
    }
    case SkinZipMemoryKind:
        if (source == nullptr && length != 0) return SkinZipBadArgument;
        m_isHandle = false;
        m_canSeek = true;
        m_memory = static_cast<const uint8_t*>(source);
        m_memoryLength = length;
        m_memoryPos = 0;
        return SkinZipOk;
    default:
        return SkinZipBadArgument;
    }
    m_isHandle = true;
    m_canSeek = IsDiskFile(m_handle.Get());
    if (m_canSeek) {
        LARGE_INTEGER zero{}, pos{};
        if (::SetFilePointerEx(m_handle.Get(), zero, &pos, FILE_CURRENT)) m_start = pos.QuadPart;
    }
    return SkinZipOk;
}

void SkinZipSource::Close() {
    m_handle.Reset();
    m_isHandle = false;
    m_canSeek = false;
    m_memory = nullptr;
    m_memoryLength = 0;
    m_memoryPos = 0;
}

size_t SkinZipSource::Read(void* buffer, size_t size, size_t count) {
    if (size == 0 || count == 0 || buffer == nullptr) return 0;
    if (count > SIZE_MAX / size) count = SIZE_MAX / size;
    size_t wanted = size * count;
    size_t got = 0;
    if (!m_isHandle) {
        // Reads at or past the end give nothing.
        size_t left = m_memoryPos < m_memoryLength ? m_memoryLength - m_memoryPos : 0;
        got = wanted < left ? wanted : left;
        if (got) std::memcpy(buffer, m_memory + m_memoryPos, got);
        m_memoryPos += static_cast<uint32_t>(got);
        return got / size;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    while (got < wanted) {
        DWORD chunk = static_cast<DWORD>(wanted - got > 0x40000000u ? 0x40000000u : wanted - got);
        DWORD read = 0;
        if (!::ReadFile(m_handle.Get(), out + got, chunk, &read, nullptr)) {
            m_error = true;
            break;
        }
        if (read == 0) break;
        got += read;
    }
    return got / size;
}

int SkinZipSource::Seek(long offset, int origin) {
    if (!m_isHandle) {
        // Memory: the new position must stay inside 0..length.
        int64_t target;
        switch (origin) {
        case 0: target = static_cast<uint32_t>(offset); break;
        case 1: target = static_cast<int64_t>(m_memoryPos) + offset; break;
        case 2: target = static_cast<int64_t>(m_memoryLength) + offset; break;
        default: return 0;
        }
        if (target < 0 || target > m_memoryLength) return kSeekOutOfRange;
        m_memoryPos = static_cast<uint32_t>(target);
        return 0;
    }
    if (!m_canSeek) return kSeekNotSupported;
    LARGE_INTEGER move{};
    DWORD method;
    switch (origin) {
    case 0: move.QuadPart = m_start + static_cast<uint32_t>(offset); method = FILE_BEGIN; break;
    case 1: move.QuadPart = offset; method = FILE_CURRENT; break;
    case 2: move.QuadPart = offset; method = FILE_END; break;
    default: return kSeekBadOrigin;
    }
    return ::SetFilePointerEx(m_handle.Get(), move, nullptr, method) ? 0 : kSeekOutOfRange;
}

long SkinZipSource::Tell() const {
    if (!m_isHandle) return static_cast<long>(m_memoryPos);
    if (!m_canSeek) return 0;
    LARGE_INTEGER zero{}, pos{};
    if (!::SetFilePointerEx(m_handle.Get(), zero, &pos, FILE_CURRENT)) return -1;
    int64_t rel = pos.QuadPart - m_start;
    return rel < 0 || rel > LONG_MAX ? -1 : static_cast<long>(rel);
}

zlib_filefunc_def SkinZipSource::FileFunctions() {
    zlib_filefunc_def f{};
    f.zopen_file = OpenFn;
    f.zread_file = ReadFn;
    f.zwrite_file = WriteFn;
    f.ztell_file = TellFn;
    f.zseek_file = SeekFn;
    f.zclose_file = CloseFn;
    f.zerror_file = ErrorFn;
    f.opaque = this;
    return f;
}

} // namespace SkinUI
