#pragma once
// A fresh working directory per test, made the launcher's work dir and removed
// afterwards, with small file helpers for the account tests.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/LaunchParams.h"

// Removes a folder and everything in it.
inline void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

// Under Wine the recycle bin is the desktop's trash folder of the user running the
// tests. The account tests move folders there; this points Wine at a private one
// for the whole process (Wine reads the place once) and removes it at exit.
class TestRecycleBin {
public:
    static TestRecycleBin& Get()
    {
        static TestRecycleBin bin;
        return bin;
    }
    ~TestRecycleBin()
    {
        if (!root_.empty())
            RemoveTree(root_);
    }
    // The folder that holds what was recycled, empty when not under Wine.
    const std::wstring& FilesDir() const { return files_; }

    // Whether a recycled folder named `name` (or "name-<suffix>" after a clash)
    // holds the file.
    bool HoldsFolderWith(const std::wstring& name, const std::wstring& file) const
    {
        bool found = false;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((files_ + L"\\" + name + L"*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        do {
            const std::wstring entry = fd.cFileName;
            if (entry != name && entry.rfind(name + L"-", 0) != 0)
                continue;
            found = found || ::GetFileAttributesW((files_ + L"\\" + entry + L"\\" + file).c_str()) !=
                                 INVALID_FILE_ATTRIBUTES;
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return found;
    }

private:
    TestRecycleBin()
    {
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName)
            return;
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"acct_bin_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(root_.c_str(), nullptr);
        const char* unixRoot = unixName(root_.c_str());
        if (!unixRoot)
            return;
        const std::string narrow(unixRoot);
        ::HeapFree(::GetProcessHeap(), 0, const_cast<char*>(unixRoot));
        ::SetEnvironmentVariableW(L"XDG_DATA_HOME", std::wstring(narrow.begin(), narrow.end()).c_str());
        files_ = root_ + L"\\Trash\\files";
    }

    std::wstring root_;
    std::wstring files_;
};

class AccountTestDir {
public:
    AccountTestDir()
    {
        TestRecycleBin::Get();
        static unsigned counter = 0;
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"acct_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(++counter) + L"\\";
        ::CreateDirectoryW(path_.substr(0, path_.size() - 1).c_str(), nullptr);
        LaunchParams::Instance().Load((L"WorkDir=\"" + path_ + L"\"").c_str());
    }
    ~AccountTestDir() { RemoveTree(path_.substr(0, path_.size() - 1)); }
    AccountTestDir(const AccountTestDir&) = delete;
    AccountTestDir& operator=(const AccountTestDir&) = delete;

    // Ends in a backslash.
    const std::wstring& Path() const { return path_; }

    static std::vector<uint8_t> ReadBytes(const std::wstring& file)
    {
        std::vector<uint8_t> bytes;
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return bytes;
        uint8_t buf[4096];
        DWORD got = 0;
        while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
            bytes.insert(bytes.end(), buf, buf + got);
        ::CloseHandle(h);
        return bytes;
    }

    static bool WriteBytes(const std::wstring& file, const std::vector<uint8_t>& bytes)
    {
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const bool ok = bytes.empty() ||
                        (::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                         written == bytes.size());
        ::CloseHandle(h);
        return ok;
    }

    static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static std::wstring IniString(const std::wstring& file, const wchar_t* section, const wchar_t* key)
    {
        wchar_t buf[256] = {};
        ::GetPrivateProfileStringW(section, key, L"<absent>", buf, 256, file.c_str());
        return buf;
    }

    // Makes every folder of the path.
    static void MakeDirs(const std::wstring& dir)
    {
        for (size_t i = 3; i <= dir.size(); ++i) {
            if (i == dir.size() || dir[i] == L'\\')
                ::CreateDirectoryW(dir.substr(0, i).c_str(), nullptr);
        }
    }

private:
    std::wstring path_;
};
