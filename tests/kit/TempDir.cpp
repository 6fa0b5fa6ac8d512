#include "TempDir.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <stdexcept>

namespace kit {

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH, base);
    std::wstring root = (n > 0 && n <= MAX_PATH) ? std::wstring(base, n) : L".\\";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring path = root + L"ombrel-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++);
        if (::CreateDirectoryW(path.c_str(), nullptr)) {
            m_path = path;
            return;
        }
    }
    throw std::runtime_error("TempDir: cannot create a folder");
}

TempDir::~TempDir()
{
    RemoveTree(m_path);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE first = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (first != INVALID_HANDLE_VALUE) {
        const std::unique_ptr<void, decltype(&::FindClose)> find(first, &::FindClose);
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find.get(), &fd));
    }
    ::RemoveDirectoryW(path.c_str());
}

int CountMatching(const std::wstring& pattern)
{
    WIN32_FIND_DATAW fd;
    HANDLE first = ::FindFirstFileW(pattern.c_str(), &fd);
    if (first == INVALID_HANDLE_VALUE)
        return 0;
    const std::unique_ptr<void, decltype(&::FindClose)> find(first, &::FindClose);
    int count = 0;
    do {
        ++count;
    } while (::FindNextFileW(find.get(), &fd));
    return count;
}

} // namespace kit
