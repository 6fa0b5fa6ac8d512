#include "launcher/LogReport.h"

#include <windows.h>

#include <ctime>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "foundation/TraceLog.h"
#include "foundation/UniqueHandle.h"
#include "launcher/LaunchParams.h"

namespace {

std::string ReportLine(uint32_t step, int32_t code, const char* text)
{
    rapidjson::StringBuffer out;
    rapidjson::Writer<rapidjson::StringBuffer> w(out);
    w.StartObject();
    w.Key("step");
    w.Uint(step);
    w.Key("code");
    w.Int(code);
    w.Key("text");
    w.String(text ? text : "");
    w.Key("appId");
    w.Uint(LaunchParams::Instance().appId);
    w.Key("time");
    w.Int64(static_cast<int64_t>(std::time(nullptr)));
    w.EndObject();
    return std::string(out.GetString(), out.GetSize()) + "\n";
}

} // namespace

LogReport& LogReport::Instance()
{
    static LogReport reporter;
    return reporter;
}

LogReport::LogReport()
{
    // The launch parameters are built first, so they outlive the reporter's last flush at exit.
    LaunchParams::Instance();
    tasks_.PostTask([this] { CheckExit(); }, kCheckIntervalMs, 0);
}

LogReport::~LogReport()
{
    // Reports still queued at exit are written rather than lost.
    Flush();
}

void LogReport::Report(uint32_t step, int32_t code, const char* text)
{
    std::string line = ReportLine(step, code, text);
    {
        mjz::CriticalSectionLock hold(lock_);
        pending_.push_back(std::move(line));
    }
    tasks_.PostTask([this] { Flush(); });
}

void LogReport::RequestExit(int32_t code)
{
    exitState.exitCode = code;
    exitState.tick = ::GetTickCount();
    exitState.requested = 1;
}

size_t LogReport::PendingCount() const
{
    mjz::CriticalSectionLock hold(lock_);
    return pending_.size();
}

std::wstring LogReport::LogPath() const
{
    return LaunchParams::Instance().GetWorkDir() + L"report.log";
}

void LogReport::Flush()
{
    std::vector<std::string> lines;
    {
        mjz::CriticalSectionLock hold(lock_);
        lines.swap(pending_);
    }
    if (lines.empty())
        return;
    std::string text;
    for (const std::string& line : lines)
        text += line;

    // Other launcher processes may append to the same log at the same time.
    mjz::UniqueHandle file(::CreateFileW(LogPath().c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
        || written != text.size()) {
        // A report that cannot be delivered is dropped, as a failed send would be.
        if (IsTraceViewerPresent())
            TraceLog(L"LogReport: writing %s failed (%lu)", LogPath().c_str(), ::GetLastError());
    }
}

void LogReport::CheckExit()
{
    if (!exitState.requested)
        return;
    const bool timedOut = ::GetTickCount() - exitState.tick >= kExitTimeoutMs;
    if (PendingCount() != 0 && !timedOut)
        return;
    exitState.requested = 0;  // the quit message is posted once
    ::PostQuitMessage(exitState.exitCode);
}
