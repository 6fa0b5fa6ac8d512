#pragma once

// Folder paths: the folder of a module's file, the trailing backslash of a folder path, whether
// a folder or file exists, and a folder made on demand.

#include <windows.h>
#include <shlobj.h>

#include <string>

// The path with a backslash at its end; an empty path stays empty.
inline std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

// The folder of a module's file (null: the program's), ending in a backslash; empty when the
// path cannot be read whole.
inline std::wstring ModuleFolder(HMODULE module = nullptr)
{
    constexpr DWORD kChars = 1024;
    wchar_t path[kChars] = {};
    const DWORD n = ::GetModuleFileNameW(module, path, kChars);
    if (n == 0 || n >= kChars)
        return std::wstring();
    const std::wstring file(path, n);
    return file.substr(0, file.find_last_of(L"\\/") + 1);
}

// Whether the path names an existing folder / an existing file that is no folder.
inline bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
inline bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Creates the folder, and the folders above it, when it is missing.
inline void EnsureFolder(const std::wstring& folder)
{
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::SHCreateDirectory(nullptr, folder.c_str());
}
