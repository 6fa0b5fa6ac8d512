#include "foundation/FileLock.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <vector>

FileLock::FileLock(const std::wstring& path, unsigned long timeoutMs)
    : mutex_(::CreateMutexW(nullptr, FALSE, MutexName(path).c_str()))
{
    if (!mutex_)
        return;
    const DWORD waited = ::WaitForSingleObject(mutex_.Get(), timeoutMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

FileLock::~FileLock()
{
    if (held_)
        ::ReleaseMutex(mutex_.Get());
}

std::wstring FileLock::MutexName(const std::wstring& path)
{
    // 1. The full path in lower case, so that relative and differently cased spellings agree.
    std::wstring full = path;
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed > 0) {
        std::vector<wchar_t> buf(needed + 1);
        const DWORD got = ::GetFullPathNameW(path.c_str(), needed + 1, buf.data(), nullptr);
        if (got > 0 && got <= needed)
            full.assign(buf.data(), got);
    }
    if (!full.empty())
        ::CharLowerBuffW(full.data(), static_cast<DWORD>(full.size()));
    // 2. A mutex name holds no backslash and has a length limit: a 64-bit FNV-1a hash of it.
    uint64_t hash = 14695981039346656037ULL;
    for (wchar_t c : full) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ULL;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"OmbrelFileLock_%08lX%08lX", static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}
