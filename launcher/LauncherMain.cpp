#include "launcher/LauncherMain.h"

#include <windows.h>

#include <string>

#include "foundation/MsgDispatcher.h"
#include "foundation/TraceLog.h"
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

} // namespace

int LauncherMain(const wchar_t* commandLine, const std::function<void()>& openLogin)
{
    LaunchParams& params = LaunchParams::Instance();
    params.Load(commandLine);
    if (params.appId == 0) {
        if (IsTraceViewerPresent())
            TraceLog(L"LauncherMain: no AppId on the command line");
        return 1;
    }
    mjz::MsgDispatcher::InitOnUiThread();
    LogReport& reporter = LogReport::Instance();

    // Held until the message loop ends, so a second launcher for this game stays out.
    InstanceMutex loginMutex(L"OmbrelLauncherLoginEventHandler_" + std::to_wstring(params.appId));
    if (!loginMutex.Owned()) {
        reporter.Report(kStepEnd, kLauncherExitAnotherInstance, "another instance running");
        reporter.RequestExit(kLauncherExitAnotherInstance);
    } else {
        reporter.Report(kStepLoginStart, 0, "");
        if (openLogin)
            openLogin();
        else
            reporter.RequestExit(0);
    }
    return RunMessageLoop();
}
