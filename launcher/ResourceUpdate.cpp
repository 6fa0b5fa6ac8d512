#include "launcher/ResourceUpdate.h"

#include <windows.h>

#include <string>

#include "foundation/StringUtil.h"
#include "foundation/TraceLog.h"
#include "foundation/UniqueHandle.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"

ResourceUpdate& ResourceUpdate::Instance()
{
    static ResourceUpdate controller;
    return controller;
}

void ResourceUpdate::EndRequest()
{
    if (pendingRequests_ > 0)
        --pendingRequests_;
}

std::wstring ResourceUpdate::HallPath() const
{
    return LaunchParams::Instance().GetWorkDir() + L"Hall\\Ombrel.exe";
}

bool ResourceUpdate::LaunchHallWhenReady(uint64_t accountNumber)
{
    if (hallStarted_)
        return true;
    if (pendingRequests_ > 0) {
        // One waiting retry at a time; it carries the latest account number.
        if (!waiting_) {
            waiting_ = true;
            tasks_.PostTask([this, accountNumber] {
                waiting_ = false;
                LaunchHallWhenReady(accountNumber);
            }, kRetryMs);
        }
        return true;
    }

    DWORD error = 0;
    const bool started = StartHall(accountNumber, error);
    hallStarted_ = started;
    if (started) {
        LogReport::Instance().Report(kStepHallStarted, 0, "");
    } else {
        const std::string text = "start hall failed: " + std::to_string(error);
        LogReport::Instance().Report(kStepHallStarted, kCodeHallStartFailed, text.c_str());
    }
    const int32_t exitCode = started ? 0 : 1;
    tasks_.PostTask([exitCode] { LogReport::Instance().RequestExit(exitCode); }, kEndDelayMs);
    return started;
}

bool ResourceUpdate::StartHall(uint64_t accountNumber, DWORD& error) const
{
    const LaunchParams& params = LaunchParams::Instance();
    const std::wstring path = HallPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    std::wstring cmd = L"\"" + path + L"\" KWIUIN:" + std::to_wstring(accountNumber)
                     + L" /CID:" + (params.channelId.empty() ? L"0" : params.channelId)
                     + L" \"ombrelprotocol:///ENTERAPP APPID:" + std::to_wstring(params.appId) + L"\"";
    if (IsTraceViewerPresent())
        TraceLog(L"ResourceUpdate::StartHall %s", cmd.c_str());

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &si, &pi)) {
        error = ::GetLastError();
        return false;
    }
    mjz::UniqueHandle process(pi.hProcess);
    mjz::UniqueHandle thread(pi.hThread);
    return true;
}
