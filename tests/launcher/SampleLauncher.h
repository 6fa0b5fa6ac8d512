#pragma once
// The built launcher on the sample game, for tests of the whole program: a fresh copy of the
// source tree's sample work dir with the built stand-ins (sign-in library, hall program) in place,
// and the login dialog and its frame once the first page shows.
//
//   SampleWorkDir work;
//   ASSERT_TRUE(work.Make());
//   LauncherProcess launcher(L"AppId=1001 \"WorkDir=" + work.Path() + L"\"");
//   const e2e::LoginWindows windows = e2e::WaitForQuickLoginPage(launcher);
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/Folders.h"
#include "kit/TempDir.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/ScreenInput.h"

class SampleWorkDir {
public:
    // Copies the sample work dir and the stand-ins built beside the test programs.
    ::testing::AssertionResult Make() const
    {
        if (!e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir", dir_.Path()))
            return ::testing::AssertionFailure() << "no sample work dir";
        for (const wchar_t* file : {L"NVSSO\\1.0\\Bin\\Tessaly.dll", L"Hall\\Ombrel.exe"}) {
            const std::wstring target = path_ + file, name = target.substr(target.rfind(L'\\') + 1);
            if (!::CopyFileW((ModuleFolder() + name).c_str(), target.c_str(), FALSE))
                return ::testing::AssertionFailure() << "no built stand-in for " << ::testing::PrintToString(std::wstring(file));
        }
        return ::testing::AssertionSuccess();
    }
    // The folder, ending in a backslash.
    const std::wstring& Path() const { return path_; }

private:
    kit::TempDir dir_;
    std::wstring path_ = dir_.Path() + L"\\";
};

namespace e2e {

// The top of "btnPVALogin", which only the quick-login page paints (dialog client coordinates).
constexpr POINT kQuickPageMark = {225, 183};

// True once the primary button of a page shows at the mark, usable (normal, hot or pushed face
// of button_primary.png), within the bound.
inline bool ShowsButton(HWND dialog, POINT mark)
{
    return WaitForPixel(dialog, mark, {0x2F6FD6, 0x4584E6, 0x255BB4});
}

struct LoginWindows {
    HWND dialog = nullptr;
    HWND frame = nullptr;
};

// The launcher's login dialog and its frame once the dialog shows the quick-login page that the
// sample's remembered account brings first; null handles when it does not come to that.
inline LoginWindows WaitForQuickLoginPage(const LauncherProcess& launcher)
{
    LoginWindows windows;
    windows.dialog = launcher.WaitForWindow(L"LoginDlg", kUiBoundMs);
    windows.frame = launcher.WaitForWindow(L"__IrregularWindowClass", kUiBoundMs);
    if (windows.dialog == nullptr || windows.frame == nullptr || !ShowsButton(windows.dialog, kQuickPageMark))
        return {};
    return windows;
}

} // namespace e2e
