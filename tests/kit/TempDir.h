#pragma once
// A fresh, empty folder for one test, removed with everything in it afterwards.
//
//   kit::TempDir dir;
//   const std::wstring ini = dir.File(L"a.ini");   // "<temp>\ombrel-<pid>-<n>\a.ini"
#include <string>

namespace kit {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    // A path inside the folder.
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Removes a folder and everything below it; files are made writable first.
void RemoveTree(const std::wstring& path);
// The number of files and folders whose names match the wildcard pattern (e.g. "<file>*.tmp").
int CountMatching(const std::wstring& pattern);

} // namespace kit
