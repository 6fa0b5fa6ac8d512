#include "login/SafeLibraryLoader.h"

#include <objbase.h>

#include <string>

namespace {

constexpr UINT kFolderChars = 1024;
constexpr size_t kMaxNameChars = 259;

std::wstring WithBackslash(const wchar_t* folder, UINT length)
{
    std::wstring s(folder, length);
    if (!s.empty() && s.back() != L'\\')
        s += L'\\';
    return s;
}

// Each folder is looked up once per process; an empty result means "not available".
const std::wstring& ProgramFolder()
{
    static const std::wstring folder = [] {
        wchar_t path[kFolderChars] = {};
        const DWORD n = ::GetModuleFileNameW(nullptr, path, kFolderChars);
        if (n == 0 || n >= kFolderChars)
            return std::wstring();
        std::wstring s(path, n);
        return s.substr(0, s.find_last_of(L'\\') + 1);
    }();
    return folder;
}

const std::wstring& SystemFolder()
{
    static const std::wstring folder = [] {
        wchar_t path[kFolderChars] = {};
        const UINT n = ::GetSystemDirectoryW(path, kFolderChars);
        return n == 0 || n >= kFolderChars ? std::wstring() : WithBackslash(path, n);
    }();
    return folder;
}

const std::wstring& WindowsFolder()
{
    static const std::wstring folder = [] {
        wchar_t path[kFolderChars] = {};
        const UINT n = ::GetWindowsDirectoryW(path, kFolderChars);
        return n == 0 || n >= kFolderChars ? std::wstring() : WithBackslash(path, n);
    }();
    return folder;
}

HMODULE LoadFromPath(const std::wstring& path)
{
    return ::CoLoadLibrary(const_cast<LPOLESTR>(path.c_str()), TRUE);
}

} // namespace

HMODULE LoadLibraryFromSafeDirs(const wchar_t* name)
{
    if (!name || !*name)
        return nullptr;
    if (wcschr(name, L'\\'))
        return LoadFromPath(name);
    if (wcslen(name) > kMaxNameChars)
        return nullptr;
    for (const std::wstring* folder : {&ProgramFolder(), &SystemFolder(), &WindowsFolder()}) {
        if (folder->empty())
            continue;
        if (HMODULE module = LoadFromPath(*folder + name))
            return module;
    }
    return nullptr;
}
