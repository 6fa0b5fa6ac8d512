#include "login/SafeLibraryLoader.h"

#include <objbase.h>

#include <string>

#include "foundation/Folders.h"

namespace {

constexpr UINT kFolderChars = 1024;
constexpr size_t kMaxNameChars = 259;

// A system folder as the getter gives it, ending in a backslash; empty when unavailable.
std::wstring SystemFolderOf(UINT(WINAPI* getter)(LPWSTR, UINT))
{
    wchar_t path[kFolderChars] = {};
    const UINT n = getter(path, kFolderChars);
    return n == 0 || n >= kFolderChars ? std::wstring() : WithBackslash(std::wstring(path, n));
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
    // Each folder is looked up once per process; an empty one is not available.
    static const std::wstring folders[] = {ModuleFolder(), SystemFolderOf(&::GetSystemDirectoryW),
                                           SystemFolderOf(&::GetWindowsDirectoryW)};
    for (const std::wstring& folder : folders) {
        if (folder.empty())
            continue;
        if (HMODULE module = LoadFromPath(folder + name))
            return module;
    }
    return nullptr;
}
