#include "launcher/LauncherMain.h"

#include <windows.h>

#include <string>

#include "foundation/Folders.h"
#include "foundation/MsgDispatcher.h"
#include "foundation/TraceLog.h"
#include "launcher/IStartupWindows.h"
#include "launcher/InstanceMutex.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"

namespace {

constexpr uint32_t kStepLoginStart = 204;
constexpr uint32_t kStepEnd = 219;

int RunMessageLoop()
{
    MSG msg = {};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

// What is missing of the game's data for a login window, as the report's text; null when
// nothing is.
const char* MissingGameData()
{
    const LaunchParams& params = LaunchParams::Instance();
    if (!IsFolder(params.GetCurrentGameDataDir()))
        return "game data missing";
    if (!IsFile(params.GetCurrentSkinDir() + kLoginSkinFile))
        return "login skin missing";
    return nullptr;
}

// Reports why the game cannot be played, shows the box, and ends the program once the report
// is out. The end is requested only after the box: the reporter's quit would end its loop.
int EndWithGameDataError(IStartupWindows& windows, const char* reason)
{
    LogReport& reporter = LogReport::Instance();
    reporter.Report(kStepEnd, kLauncherReportGameDataUnusable, reason);
    windows.ShowStartupError(kLauncherTextGameDataUnusable);
    reporter.RequestExit(kLauncherExitGameDataUnusable);
    return RunMessageLoop();
}

} // namespace

int LauncherMain(const wchar_t* commandLine, IStartupWindows& windows)
{
    LaunchParams& params = LaunchParams::Instance();
    params.Load(commandLine);
    if (params.appId == 0) {
        if (IsTraceViewerPresent())
            TraceLog(L"LauncherMain: no AppId on the command line");
        windows.ShowStartupError(kLauncherTextBadParameters);
        return kLauncherExitNoAppId;
    }
    mjz::MsgDispatcher::InitOnUiThread();
    LogReport& reporter = LogReport::Instance();

    // The game's data comes first: without it no login window can show.
    if (const char* missing = MissingGameData())
        return EndWithGameDataError(windows, missing);

    // Held until the message loop ends, so a second launcher for this game stays out.
    InstanceMutex loginMutex(L"OmbrelLauncherLoginEventHandler_" + std::to_wstring(params.appId));
    if (!loginMutex.Owned()) {
        reporter.Report(kStepEnd, kLauncherExitAnotherInstance, "another instance running");
        reporter.RequestExit(kLauncherExitAnotherInstance);
        return RunMessageLoop();
    }
    reporter.Report(kStepLoginStart, 0, "");
    if (!windows.OpenLogin())
        return EndWithGameDataError(windows, "login window not created");
    return RunMessageLoop();
}
