// Library loading that never looks in the current directory or along the search path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "login/SafeLibraryLoader.h"
#include "tests/launcher/LauncherTestDir.h"

// Bare names come from the program's or the system folder, paths from exactly there; a library
// that only the current directory holds (where the ordinary search finds it), a missing one, and
// empty or overlong names load nothing.
TEST(SafeLibraryLoader, LoadsOnlyFromTheProgramOrSystemFolderOrTheGivenPath)
{
    kit::TempDir dir;
    const std::wstring copy = dir.File(L"OnlyInCurrentDir.dll");
    ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"TessalyNoExport.dll").c_str(), copy.c_str(), FALSE));
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));

    const std::wstring missing = dir.File(L"Missing.dll");
    const std::wstring longName = std::wstring(256, L'v') + L".dll";
    // The name asked for, and the start of the path it must come from ("" = must not load).
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"TessalyNoExport.dll", ModuleFolder() + L"TessalyNoExport.dll"},
        {L"version.dll", system},
        {L"OnlyInCurrentDir.dll", L""},
        {copy.c_str(), copy},
        {missing.c_str(), L""},
        {nullptr, L""},
        {L"", L""},
        {longName.c_str(), L""}};
    for (const auto& [name, from] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name ? name : L"<null>")));
        const HMODULE module = LoadLibraryFromSafeDirs(name);
        ASSERT_EQ(module != nullptr, !from.empty());
        if (!module)
            continue;
        wchar_t path[MAX_PATH * 2] = {};
        ::GetModuleFileNameW(module, path, MAX_PATH * 2);
        EXPECT_EQ(_wcsnicmp(path, from.c_str(), from.size()), 0) << testing::PrintToString(std::wstring(path));
        ::FreeLibrary(module);
    }
    const HMODULE plain = ::LoadLibraryW(L"OnlyInCurrentDir.dll");
    EXPECT_NE(plain, nullptr) << "the ordinary search finds it";
    if (plain)
        ::FreeLibrary(plain);
    ::SetCurrentDirectoryW(previous);
}
