#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/CriticalSection.h"
#include "foundation/MsgDispatcher.h"

// The event reporter. Each report is sent asynchronously: it is queued at once and appended,
// at the next turn of the UI thread's message loop, as one JSON line to "report.log" in the
// working directory:
//   {"step":204,"code":0,"text":"","appId":123,"time":1700000000}
// The reporter also decides when the program ends: a check every 1000 ms posts the quit
// message once an end was requested and no report is pending, or 300000 ms after the request.
class LogReport {
public:
    // The request to end the program, as set by whoever wants it to end.
    struct ExitState {
        uint8_t requested = 0;
        uint32_t tick = 0;      // GetTickCount at the request
        int32_t exitCode = 0;
    };

    static constexpr unsigned kCheckIntervalMs = 1000;
    static constexpr uint32_t kExitTimeoutMs = 300000;

    // Created on first use, on the UI thread; the check timer starts with it.
    static LogReport& Instance();
    ~LogReport();

    // Queues one event (text in UTF-8; null counts as empty). Callable from any thread.
    void Report(uint32_t step, int32_t code, const char* text);
    // requested := 1, tick := now, exit code := code.
    void RequestExit(int32_t code);

    ExitState exitState;

    size_t PendingCount() const;
    std::wstring LogPath() const;
    // Writes every queued report now (the queued task does the same).
    void Flush();
    // The check the 1000 ms timer runs: posts the quit message once, when an end was requested
    // and no report is pending or the time limit has passed.
    void CheckExit();

private:
    LogReport();

    mutable mjz::CriticalSection lock_;
    std::vector<std::string> pending_;
    mjz::MsgDispatcher tasks_;
};
