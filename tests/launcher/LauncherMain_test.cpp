// The launcher's entry: the start-up error box and its exit codes, the game-data check, the
// per-game login mutex, step 204, the end through the reporter, and a second launcher for the
// same game.
#include <gtest/gtest.h>

#include "foundation/MsgDispatcher.h"
#include "launcher/IStartupWindows.h"
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
    }, e2e::kUiBoundMs);
    return launcher.Wait(0);
}

int Count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Game data for a login window in the work dir (no settings: the version folder is left out):
// the sample game's skin.
void AddGameData(const kit::TempDir& dir, uint32_t appId)
{
    const std::wstring data = dir.Path() + L"\\data\\" + std::to_wstring(appId);
    MakeDirs(data);
    ASSERT_TRUE(e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin", data + L"\\skin"));
}

// The start-up's windows as the entry sees them: what it was asked to show, in order, and the
// login window's answer. While the error box "shows", the reporter must not have asked for the
// end yet (its quit message would end the box's own loop).
struct RecordedWindows : IStartupWindows {
    bool loginComes = true;
    std::vector<std::wstring> shown;

    bool OpenLogin() override
    {
        shown.push_back(L"login");
        if (loginComes)
            LogReport::Instance().RequestExit(3);  // the dialog's end, at once
        return loginComes;
    }
    void ShowStartupError(const std::wstring& text) override
    {
        EXPECT_EQ(LogReport::Instance().exitState.requested, 0) << "the end was asked for before the box closed";
        shown.push_back(text);
    }
};

} // namespace

// Each start: the windows shown, the exit code and the reports.
TEST(LauncherMain, ErrorBoxesExitCodesAndReportsByStart)
{
    const std::wstring badParams = kLauncherTextBadParameters, badData = kLauncherTextGameDataUnusable;
    const struct {
        const wchar_t* name;
        const wchar_t* appId;  // empty: none on the command line
        bool gameData;
        bool skin;
        bool loginComes;
        std::vector<std::wstring> shown;
        int exitCode;
        std::vector<std::string> reports;  // "step/code/text"
    } cases[] = {
        {L"no AppId", L"", true, true, true, {badParams}, 1, {}},
        {L"AppId not a number", L"AppId=game", true, true, true, {badParams}, 1, {}},
        {L"unknown game", L"AppId=4249", false, false, true, {badData}, 2, {"219/-6/game data missing"}},
        {L"no login skin", L"AppId=4250", true, false, true, {badData}, 2, {"219/-6/login skin missing"}},
        {L"no login window", L"AppId=4250", true, true, false, {L"login", badData}, 2,
         {"204/0/", "219/-6/login window not created"}},
        {L"login opens", L"AppId=4250", true, true, true, {L"login"}, 3, {"204/0/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        kit::TempDir dir;
        if (c.gameData)
            MakeDirs(dir.Path() + L"\\data\\4250\\skin");
        if (c.skin)
            AddGameData(dir, 4250);
        RecordedWindows windows;
        windows.loginComes = c.loginComes;
        LogReport::Instance().exitState = {};
        const std::wstring line = std::wstring(c.appId) + L" \"WorkDir=" + dir.Path() + L"\"";
        EXPECT_EQ(LauncherMain(line.c_str(), windows), c.exitCode);
        EXPECT_EQ(windows.shown, c.shown);
        EXPECT_EQ(ReportList(dir.File(L"report.log")), c.reports) << "the reports are written before the end";
    }
}

TEST(LauncherMain, SecondLauncherForTheSameGameStepsAside)
{
    kit::TempDir dir;
    AddGameData(dir, 4251);
    AddGameData(dir, 4252);
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
    // The login "opens" and asks for the end at once; the launchers run from the loop before it.
    RecordedWindows windows;
    LogReport::Instance().exitState = {};
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(LauncherMain(args.c_str(), windows), 3);
    EXPECT_LT(::GetTickCount() - start, 20000u);
    EXPECT_EQ(second, kLauncherExitAnotherInstance);
    EXPECT_EQ(other, 0);

    const std::string reports = kit::ReadBytesFromFile(dir.File(L"report.log"));
    EXPECT_NE(reports.find("{\"step\":219,\"code\":-4,\"text\":\"another instance running\",\"appId\":4251"),
              std::string::npos) << reports;
    EXPECT_EQ(Count(reports, "{\"step\":204,\"code\":0,\"text\":\"\",\"appId\":4251"), 1) << reports;
    EXPECT_EQ(Count(reports, "{\"step\":204,\"code\":0,\"text\":\"\",\"appId\":4252"), 1) << reports;
}
