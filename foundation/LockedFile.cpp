#include "foundation/LockedFile.h"

#include "foundation/FileLock.h"
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <memory>

namespace {

// How long a file held open elsewhere (without sharing) is waited for, and the step between tries.
constexpr DWORD kRetryMs = 500;
constexpr DWORD kRetryStepMs = 20;

// Errors of a file that another process holds for the moment.
bool HeldElsewhere(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Runs `attempt` until it succeeds, fails for good, or the retry time is over.
template <class Attempt>
bool Retried(Attempt attempt)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (attempt())
            return true;
        if (!HeldElsewhere(::GetLastError()) || ::GetTickCount() - start >= kRetryMs)
            return false;
        ::Sleep(kRetryStepMs);
    }
}

bool ReadOpen(HANDLE file, std::string& bytes)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > LockedFile::kMaxBytes)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return false;
        if (got == 0)
            break;  // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

// "<file>.<process id>-<counter>.tmp": a temporary beside the file that no other save (of this
// or another process) uses.
std::wstring TempName(const std::wstring& path, unsigned long process, long counter)
{
    wchar_t suffix[48];
    std::swprintf(suffix, 48, L".%lu-%ld.tmp", process, counter);
    return path + suffix;
}

mjz::UniqueHandle CreateUniqueTemp(const std::wstring& path, std::wstring& temp)
{
    static LONG counter = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = TempName(path, ::GetCurrentProcessId(), ::InterlockedIncrement(&counter));
        mjz::UniqueHandle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return mjz::UniqueHandle();
}

// Whether a name found beside the file is one of its temporaries: "<digits>-<digits>" between
// the file's name and ".tmp".
bool IsTempOf(const std::wstring& fileName, const wchar_t* found)
{
    const size_t n = std::wcslen(found);
    constexpr size_t kTail = 4;  // ".tmp"
    if (n <= fileName.size() + 1 + kTail || _wcsnicmp(found, fileName.c_str(), fileName.size()) != 0 ||
        found[fileName.size()] != L'.' || _wcsicmp(found + n - kTail, L".tmp") != 0)
        return false;
    const std::wstring middle(found + fileName.size() + 1, found + n - kTail);
    const size_t dash = middle.find(L'-');
    if (dash == 0 || dash == std::wstring::npos || dash + 1 == middle.size())
        return false;
    for (size_t i = 0; i < middle.size(); ++i) {
        if (i != dash && !std::iswdigit(middle[i]))
            return false;
    }
    return true;
}

struct FindCloser {
    void operator()(HANDLE find) const
    {
        if (find != INVALID_HANDLE_VALUE)
            ::FindClose(find);
    }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

}  // namespace

bool LockedFile::Read(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    // Shared for writing and deleting: a reader never stops another process's replacement.
    mjz::UniqueHandle file;
    const bool opened = Retried([&] {
        file.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.IsValid();
    });
    if (!opened) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (ReadOpen(file.Get(), bytes))
        return true;
    bytes.clear();
    return false;
}

bool LockedFile::Update(const std::wstring& path, const std::function<bool(std::string& bytes)>& change)
{
    FileLock lock(path);
    if (!lock.Held())
        return false;
    std::string bytes;
    if (!Read(path, bytes) || !change(bytes))
        return false;
    return Replace(path, bytes);
}

bool LockedFile::Replace(const std::wstring& path, const std::string& bytes)
{
    // 1. Under the lock no other save of this file is under way: a temporary still there was
    //    left by a process that ended in the middle of its save.
    RemoveLeftTemporaries(path);

    // 2. The new contents into a temporary of their own, flushed to disk, so that a failure or
    //    a kill leaves the original untouched.
    std::wstring temp;
    {
        mjz::UniqueHandle file = CreateUniqueTemp(path, temp);
        if (!file)
            return false;
        if (!WriteAll(file.Get(), bytes) || !::FlushFileBuffers(file.Get())) {
            file.Reset();
            ::DeleteFileW(temp.c_str());
            return false;
        }
    }

    // 3. The original replaced in one step; a reader that holds it without sharing is waited for.
    const bool moved = Retried([&] {
        return ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved)
        ::DeleteFileW(temp.c_str());
    return moved;
}

void LockedFile::RemoveLeftTemporaries(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    const std::wstring fileName = path.substr(folder.size());
    WIN32_FIND_DATAW found;
    const FindHandle find(::FindFirstFileW((path + L".*.tmp").c_str(), &found));
    if (find.get() == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempOf(fileName, found.cFileName))
            ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &found));
}
