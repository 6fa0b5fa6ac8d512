#include "uitoolkit/core/SkinZipArchive.h"

#include <cstring>
#include <ctime>
#include <cwchar>
#include <string>
#include <vector>

namespace SkinUI {

namespace {

constexpr uint32_t kReadChunk = 16384;
constexpr uint16_t kExtendedTimestampTag = 0x5455;  // "UT"
constexpr int kMethodStored = 0;
constexpr int kMethodDeflated = 8;
// minizip refuses to look up names of this many bytes or more.
constexpr int kMaxLookupName = 256;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A path that stays under the folder it is joined to: relative, no drive, no ".." step.
bool IsContainedRelativePath(const wchar_t* path) {
    if (path == nullptr || IsSeparator(path[0]) || std::wcschr(path, L':') != nullptr) return false;
    if (std::wcsstr(path, L"../") != nullptr || std::wcsstr(path, L"..\\") != nullptr) return false;
    const wchar_t* part = path;
    for (const wchar_t* p = path;; ++p) {
        if (*p == 0 || IsSeparator(*p)) {
            if (p - part == 2 && part[0] == L'.' && part[1] == L'.') return false;
            if (*p == 0) break;
            part = p + 1;
        }
    }
    return true;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A Unix time as local FILETIME; false (time left alone) when the conversion fails.
bool UnixTimeToFileTime(uint32_t unixTime, FILETIME* out) {
    time_t t = static_cast<time_t>(unixTime);
    struct tm* lt = std::localtime(&t);
    if (lt == nullptr) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(lt->tm_year + 1900);
    st.wMonth = static_cast<WORD>(lt->tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(lt->tm_wday);
    st.wDay = static_cast<WORD>(lt->tm_mday);
    st.wHour = static_cast<WORD>(lt->tm_hour);
    st.wMinute = static_cast<WORD>(lt->tm_min);
    st.wSecond = static_cast<WORD>(lt->tm_sec);
    st.wMilliseconds = 0;
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft)) return false;
    *out = ft;
    return true;
}

// Applies an extended-timestamp block ("UT") of a local extra field: flag bits 0, 1, 2 select
// modification, access and creation times, stored in that order as 32-bit Unix times.
void ApplyExtendedTimestamp(const uint8_t* extra, size_t length, SkinZipEntry* entry) {
    size_t pos = 0;
    while (length - pos >= 4) {
        uint16_t tag = Le16(extra + pos);
        uint16_t size = Le16(extra + pos + 2);
        pos += 4;
        if (size > length - pos) return;
        if (tag == kExtendedTimestampTag && size >= 1) {
            const uint8_t* data = extra + pos;
            uint8_t flags = data[0];
            size_t at = 1;
            FILETIME* targets[3] = {&entry->modificationTime, &entry->accessTime, &entry->creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit))) continue;
                if (size - at < 4) break;
                UnixTimeToFileTime(Le32(data + at), targets[bit]);
                at += 4;
            }
            return;
        }
        pos += size;
    }
}

// Windows attributes from a zip entry's external attributes. The upper 16 bits hold Unix mode
// bits only when the archiver wrote them; zips made on Windows leave them 0.
uint32_t MapAttributes(uint32_t external) {
    const uint32_t unixMode = external >> 16;
    const bool hasUnix = unixMode != 0;
    uint32_t attr = FILE_ATTRIBUTE_NORMAL;
    if ((hasUnix && (external & 0x40000000u)) || (external & 0x10)) attr |= FILE_ATTRIBUTE_DIRECTORY;
    if (external & 0x20) attr |= FILE_ATTRIBUTE_ARCHIVE;
    if (external & 0x02) attr |= FILE_ATTRIBUTE_HIDDEN;
    if ((external & 0x01) || (hasUnix && !(external & 0x00800000u))) attr |= FILE_ATTRIBUTE_READONLY;
    if (external & 0x04) attr |= FILE_ATTRIBUTE_SYSTEM;
    return attr;
}

bool IsDiskFile(HANDLE h) { return ::GetFileType(h) == FILE_TYPE_DISK; }

// Entries the reader can decode: stored or deflated, not encrypted. (minizip would hand out
// other methods' bytes undecoded.)
bool IsDecodable(const unz_file_info& info) {
    return (info.compression_method == kMethodStored || info.compression_method == kMethodDeflated) &&
           (info.flag & 1) == 0;
}

} // namespace

SkinZipArchive::~SkinZipArchive() { Close(); }

uint32_t SkinZipArchive::Open(const void* source, uint32_t length, uint32_t kind) {
    if (m_zip != nullptr || m_openEntry != -1) return SkinZipAlreadyOpen;

    DWORD n = ::GetCurrentDirectoryW(MAX_PATH, m_baseDir);
    if (n == 0 || n >= MAX_PATH - 1) {
        m_baseDir[0] = 0;  // too long to extend: nothing can be created under it
    } else if (!IsSeparator(m_baseDir[n - 1])) {
        m_baseDir[n] = L'\\';
        m_baseDir[n + 1] = 0;
    }

    if (kind == SkinZipHandleKind && source != nullptr &&
        !IsDiskFile(const_cast<void*>(source)))
        return SkinZipNotDiskFile;

    auto src = std::make_unique<SkinZipSource>();
    uint32_t err = src->Open(source, length, kind);
    if (err != SkinZipOk) return err;
    m_source = std::move(src);

    zlib_filefunc_def functions = m_source->FileFunctions();
    m_zip = unzOpen2("", &functions);
    if (m_zip == nullptr) {
        m_source.reset();
        return SkinZipReadFailed;
    }
    unz_global_info global{};
    if (unzGetGlobalInfo(m_zip, &global) != UNZ_OK || global.number_entry > 0x7FFFFFFF) {
        Close();
        return SkinZipReadFailed;
    }
    m_count = static_cast<int>(global.number_entry);
    m_current = m_count > 0 ? 0 : -1;
    return SkinZipOk;
}

uint32_t SkinZipArchive::Close() {
    CloseOpenEntry();
    int err = UNZ_OK;
    if (m_zip != nullptr) err = unzClose(m_zip);
    m_zip = nullptr;
    m_source.reset();
    m_count = 0;
    m_current = -1;
    m_cachedIndex = -1;
    return err == UNZ_OK ? SkinZipOk : SkinZipReadFailed;
}

void SkinZipArchive::CloseOpenEntry() { CloseOpenEntryChecked(); }

uint32_t SkinZipArchive::CloseOpenEntryChecked() {
    if (m_openEntry == -1) return SkinZipOk;
    m_openEntry = -1;
    // The data's checksum is compared here, once the whole entry was read.
    return unzCloseCurrentFile(m_zip) == UNZ_OK ? SkinZipOk : SkinZipReadFailed;
}

uint32_t SkinZipArchive::GoToEntry(int index) {
    if (m_zip == nullptr || index < 0 || index >= m_count) return SkinZipBadArgument;
    if (m_current < 0 || index < m_current) {
        if (unzGoToFirstFile(m_zip) != UNZ_OK) {
            m_current = -1;
            return SkinZipReadFailed;
        }
        m_current = 0;
    }
    while (m_current < index) {
        if (unzGoToNextFile(m_zip) != UNZ_OK) {
            m_current = -1;
            return SkinZipReadFailed;
        }
        ++m_current;
    }
    return SkinZipOk;
}

uint32_t SkinZipArchive::FindItem(const wchar_t* name, bool ignoreCase, int* index, SkinZipEntry* entry) {
    auto notFound = [&](uint32_t code) {
        if (index) *index = -1;
        if (entry) *entry = SkinZipEntry{};
        return code;
    };
    if (m_zip == nullptr || name == nullptr) return notFound(SkinZipBadArgument);

    char narrow[kMaxLookupName];
    int len = ::WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof(narrow), nullptr, nullptr);
    if (len <= 0) return notFound(SkinZipNotFound);  // no such name fits in an archive

    if (m_current < 0) {
        if (m_count == 0 || unzGoToFirstFile(m_zip) != UNZ_OK) return notFound(SkinZipNotFound);
        m_current = 0;
    }
    if (unzLocateFile(m_zip, narrow, ignoreCase ? 2 : 1) != UNZ_OK) return notFound(SkinZipNotFound);

    CloseOpenEntry();
    unz_file_pos pos{};
    if (unzGetFilePos(m_zip, &pos) != UNZ_OK || pos.num_of_file > 0x7FFFFFFF) {
        m_current = -1;
        return notFound(SkinZipReadFailed);
    }
    m_current = static_cast<int>(pos.num_of_file);
    if (index) *index = m_current;
    if (entry) return GetItem(m_current, entry);
    return SkinZipOk;
}

uint32_t SkinZipArchive::GetItem(int index, SkinZipEntry* entry) {
    // 1. Range; reading a description ends any extraction in progress.
    if (m_zip == nullptr || index < -1 || index >= m_count || entry == nullptr) return SkinZipBadArgument;
    CloseOpenEntry();

    // 2. The last description.
    if (index == m_cachedIndex && index != -1) {
        *entry = m_cached;
        return SkinZipOk;
    }
    // 3. The archive itself.
    if (index == -1) {
        *entry = SkinZipEntry{};
        entry->index = m_count;
        return SkinZipOk;
    }

    // 4. Central directory record and the local extra field.
    uint32_t err = GoToEntry(index);
    if (err != SkinZipOk) return err;
    unz_file_info info{};
    char name[MAX_PATH + 1] = {};
    if (unzGetCurrentFileInfo(m_zip, &info, name, MAX_PATH, nullptr, 0, nullptr, 0) != UNZ_OK)
        return SkinZipReadFailed;
    if (info.compressed_size > static_cast<uLong>(kSkinZipMaxEntrySize) ||
        info.uncompressed_size > static_cast<uLong>(kSkinZipMaxEntrySize))
        return SkinZipBadLocalHeader;

    int method = 0, level = 0;
    if (unzOpenCurrentFile2(m_zip, &method, &level, 1) != UNZ_OK) return SkinZipBadLocalHeader;
    std::vector<uint8_t> extra;
    int extraSize = unzGetLocalExtrafield(m_zip, nullptr, 0);
    bool extraOk = extraSize >= 0;
    if (extraOk && extraSize > 0) {
        extra.resize(static_cast<size_t>(extraSize));
        extraOk = unzGetLocalExtrafield(m_zip, extra.data(), static_cast<unsigned>(extraSize)) == extraSize;
    }
    unzCloseCurrentFile(m_zip);
    if (!extraOk) return SkinZipExtraFieldFailed;

    SkinZipEntry out{};
    out.index = index;
    // The name as UTF-16, cut to 259 units when longer.
    wchar_t wide[MAX_PATH + 1] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH + 1) == 0) wide[0] = 0;
    wcsncpy_s(out.name, MAX_PATH, wide, _TRUNCATE);

    // 5. Attributes.
    out.attributes = MapAttributes(static_cast<uint32_t>(info.external_fa));

    // 6. Times: the DOS stamp, replaced by any extended Unix times.
    FILETIME dos{};
    ::DosDateTimeToFileTime(HIWORD(info.dosDate), LOWORD(info.dosDate), &dos);
    out.accessTime = out.creationTime = out.modificationTime = dos;
    if (!extra.empty()) ApplyExtendedTimestamp(extra.data(), extra.size(), &out);

    // 7. Sizes; remember the description.
    out.compressedSize = static_cast<int32_t>(info.compressed_size);
    out.uncompressedSize = static_cast<int32_t>(info.uncompressed_size);
    m_cached = out;
    m_cachedIndex = index;
    *entry = out;
    return SkinZipOk;
}

uint32_t SkinZipArchive::UnzipItem(int index, void* destination, uint32_t length, uint32_t kind) {
    if (m_zip == nullptr) return SkinZipBadArgument;
    if (kind == SkinZipMemoryKind) return UnzipToMemory(index, destination, length);
    if (kind == SkinZipHandleKind || kind == SkinZipFileKind) return UnzipToHandle(index, destination, kind);
    return SkinZipBadArgument;
}

uint32_t SkinZipArchive::UnzipToMemory(int index, void* destination, uint32_t length) {
    if (index < 0 || index != m_openEntry) {
        CloseOpenEntry();
        if (index < 0 || index >= m_count || destination == nullptr) return SkinZipBadArgument;
        uint32_t err = GoToEntry(index);
        if (err != SkinZipOk) return err;
        unz_file_info info{};
        if (unzGetCurrentFileInfo(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            !IsDecodable(info) || info.uncompressed_size > static_cast<uLong>(kSkinZipMaxEntrySize))
            return SkinZipReadFailed;
        if (unzOpenCurrentFile(m_zip) != UNZ_OK) return SkinZipReadFailed;
        m_openEntry = index;
        m_openDeclared = info.uncompressed_size;
        m_openRead = 0;
    }
    if (destination == nullptr) {
        CloseOpenEntry();
        return SkinZipBadArgument;
    }
    unsigned want = length > 0x7FFFFFFFu ? 0x7FFFFFFFu : length;
    int got = unzReadCurrentFile(m_zip, destination, want);
    if (got > 0) {
        m_openRead += static_cast<uint64_t>(got);
        return SkinZipMoreData;
    }
    uint32_t closed = CloseOpenEntryChecked();
    if (got < 0) return SkinZipReadFailed;
    // A stream that ends before the declared size is damaged, like a checksum mismatch (whose
    // test only runs when the declared size was read).
    if (closed == SkinZipOk && m_openRead != m_openDeclared) return SkinZipReadFailed;
    return closed;
}

uint32_t SkinZipArchive::UnzipToHandle(int index, void* destination, uint32_t kind) {
    CloseOpenEntry();
    if (index < 0 || index >= m_count) return SkinZipBadArgument;
    SkinZipEntry entry;
    uint32_t err = GetItem(index, &entry);
    if (err != SkinZipOk) return err;

    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (kind == SkinZipHandleKind) return SkinZipOk;
        // The entry's own name is the folder to create; it must stay under the base folder.
        if (!IsContainedRelativePath(entry.name) || !EnsureDirectory(entry.name)) return SkinZipOpenFailed;
        return SkinZipOk;
    }

    CWinHandle created;
    HANDLE out = nullptr;
    if (kind == SkinZipHandleKind) {
        out = destination;
    } else {
        const wchar_t* target = static_cast<const wchar_t*>(destination);
        if (target == nullptr || std::wcslen(target) >= MAX_PATH) return SkinZipOpenFailed;
        // Create the target's folder under the base folder when it is a plain relative one.
        const wchar_t* slash = nullptr;
        for (const wchar_t* p = target; *p; ++p)
            if (IsSeparator(*p)) slash = p;
        if (slash != nullptr && slash != target) {
            std::wstring dir(target, slash);
            if (IsContainedRelativePath(dir.c_str()) && !EnsureDirectory(dir.c_str())) return SkinZipOpenFailed;
        }
        DWORD attrs = entry.attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
        if (attrs != FILE_ATTRIBUTE_NORMAL) attrs &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
        created.Reset(::CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attrs, nullptr));
        out = created.Get();
    }
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return SkinZipOpenFailed;

    bool ok = CopyEntryTo(index, out) == SkinZipOk;
    if (ok && IsDiskFile(out))
        ::SetFileTime(out, &entry.creationTime, &entry.accessTime, &entry.modificationTime);
    return ok ? SkinZipOk : SkinZipWriteFailed;
}

uint32_t SkinZipArchive::CopyEntryTo(int index, HANDLE out) {
    // A cached description does not move the reader: go to the entry itself.
    unz_file_info info{};
    if (GoToEntry(index) != SkinZipOk ||
        unzGetCurrentFileInfo(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        !IsDecodable(info))
        return SkinZipReadFailed;
    if (unzOpenCurrentFile(m_zip) != UNZ_OK) return SkinZipReadFailed;
    std::vector<uint8_t> buffer(kReadChunk);
    bool ok = true;
    uint64_t total = 0;
    for (;;) {
        int got = unzReadCurrentFile(m_zip, buffer.data(), kReadChunk);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0) {
            ok = total == info.uncompressed_size;  // a stream cut short is damaged
            break;
        }
        total += static_cast<uint64_t>(got);
        DWORD written = 0;
        if (!::WriteFile(out, buffer.data(), static_cast<DWORD>(got), &written, nullptr) ||
            written != static_cast<DWORD>(got)) {
            ok = false;
            break;
        }
    }
    // A checksum mismatch shows only when the entry is closed.
    if (unzCloseCurrentFile(m_zip) != UNZ_OK) ok = false;
    return ok ? SkinZipOk : SkinZipReadFailed;
}

bool SkinZipArchive::EnsureDirectory(const wchar_t* relativeDir) const {
    if (m_baseDir[0] == 0) return false;
    std::wstring path(m_baseDir);
    size_t baseLen = path.size();
    path += relativeDir;
    if (path.size() >= MAX_PATH) return false;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    // Each folder from the outermost inward.
    for (size_t i = baseLen; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != L'\\') continue;
        if (i == baseLen || path[i - 1] == L'\\') continue;
        std::wstring part = path.substr(0, i);
        if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

} // namespace SkinUI
