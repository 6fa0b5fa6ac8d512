// The launcher's entry: the per-game login mutex, step 204, the end through the reporter, and a
// second launcher for the same game.
#include <gtest/gtest.h>

#include "foundation/MsgDispatcher.h"
#include "launcher/LauncherMain.h"
#include "launcher/LogReport.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/LauncherTestDir.h"

namespace {

// Runs the built launcher and waits for its end; its exit code, or -1000 when it did not end. A
// login dialog that it opens (a game without a launcher already running) is closed as the user
// would close it.
long RunLauncher(const std::wstring& arguments)
{
    LauncherProcess launcher(arguments);
    if (!launcher.Started())
        return -2000;
    e2e::WaitUntil([&] {
        if (HWND dialog = launcher.FindWindowOf(L"LoginDlg"))
            ::PostMessageW(dialog, WM_USER + 100, 0, 0);
        return !launcher.Running();
    }, 15000);
    return launcher.Wait(0);
}

int Count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(LauncherMain, ReportsStep204AndOpensTheLoginOnlyWithAnAppId)
{
    kit::TempDir dir;
    const std::wstring work = L"\"WorkDir=" + dir.Path() + L"\"";
    EXPECT_EQ(LauncherMain(work.c_str()), 1);
    EXPECT_FALSE(Exists(dir.File(L"report.log"))) << "without an AppId there is nothing to do";

    int opened = 0;
    const int code = LauncherMain((L"AppId=4250 " + work).c_str(), [&] {
        ++opened;
        LogReport::Instance().RequestExit(3);
    });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(opened, 1);
    const std::string reports = kit::ReadBytesFromFile(dir.File(L"report.log"));
    EXPECT_NE(reports.find("\"step\":204,\"code\":0"), std::string::npos) << reports;
}

TEST(LauncherMain, SecondLauncherForTheSameGameStepsAside)
{
    kit::TempDir dir;
    const std::wstring args = L"AppId=4251 \"WorkDir=" + dir.Path() + L"\"";
    mjz::MsgDispatcher tasks;
    long second = 0;
    long other = 0;
    // While this launcher holds the game's mutex, the built program runs for the same game and
    // for another one.
    tasks.PostTask([&] {
        second = RunLauncher(args);
        other = RunLauncher(L"AppId=4252 \"WorkDir=" + dir.Path() + L"\"");
    });
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(LauncherMain(args.c_str()), 0);
    EXPECT_LT(::GetTickCount() - start, 20000u);
    EXPECT_EQ(second, kLauncherExitAnotherInstance);
    EXPECT_EQ(other, 0);

    const std::string reports = kit::ReadBytesFromFile(dir.File(L"report.log"));
    EXPECT_NE(reports.find("{\"step\":219,\"code\":-4,\"text\":\"another instance running\",\"appId\":4251"),
              std::string::npos) << reports;
    EXPECT_EQ(Count(reports, "{\"step\":204,\"code\":0,\"text\":\"\",\"appId\":4251"), 1) << reports;
    EXPECT_EQ(Count(reports, "{\"step\":204,\"code\":0,\"text\":\"\",\"appId\":4252"), 1) << reports;
}
