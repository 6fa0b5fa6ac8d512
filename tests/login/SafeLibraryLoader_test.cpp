// Library loading that never looks in the current directory or along the search path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "login/SafeLibraryLoader.h"
#include "tests/launcher/LauncherTestDir.h"

namespace {

std::wstring ModulePath(HMODULE module)
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH * 2);
    return std::wstring(path, n);
}

} // namespace

TEST(SafeLibraryLoader, BareNameIsFoundInTheProgramFolder)
{
    HMODULE module = LoadLibraryFromSafeDirs(L"TessalyNoExport.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(_wcsicmp(ModulePath(module).c_str(), (ModuleFolder() + L"TessalyNoExport.dll").c_str()), 0);
    ::FreeLibrary(module);
}

TEST(SafeLibraryLoader, BareNameIsFoundInTheSystemFolder)
{
    HMODULE module = LoadLibraryFromSafeDirs(L"version.dll");
    ASSERT_NE(module, nullptr);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(ModulePath(module).c_str(), system, wcslen(system)), 0) << ModulePath(module).c_str();
    ::FreeLibrary(module);
}

TEST(SafeLibraryLoader, CurrentDirectoryIsNeverSearched)
{
    kit::TempDir dir;
    const std::wstring copy = dir.File(L"OnlyInCurrentDir.dll");
    ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"TessalyNoExport.dll").c_str(), copy.c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));

    EXPECT_EQ(LoadLibraryFromSafeDirs(L"OnlyInCurrentDir.dll"), nullptr);
    // The ordinary search would have found it there.
    HMODULE plain = ::LoadLibraryW(L"OnlyInCurrentDir.dll");
    EXPECT_NE(plain, nullptr);
    if (plain)
        ::FreeLibrary(plain);
    ::SetCurrentDirectoryW(previous);
}

TEST(SafeLibraryLoader, PathIsLoadedFromExactlyThere)
{
    kit::TempDir dir;
    const std::wstring copy = dir.File(L"Exact.dll");
    ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"TessalyNoExport.dll").c_str(), copy.c_str(), FALSE));
    HMODULE module = LoadLibraryFromSafeDirs(copy.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(_wcsicmp(ModulePath(module).c_str(), copy.c_str()), 0);
    ::FreeLibrary(module);
    EXPECT_EQ(LoadLibraryFromSafeDirs(dir.File(L"Missing.dll").c_str()), nullptr);
}

TEST(SafeLibraryLoader, EmptyAndOverlongNamesLoadNothing)
{
    EXPECT_EQ(LoadLibraryFromSafeDirs(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryFromSafeDirs(L""), nullptr);
    const std::wstring longName = std::wstring(256, L'v') + L".dll";
    EXPECT_EQ(LoadLibraryFromSafeDirs(longName.c_str()), nullptr);
}
