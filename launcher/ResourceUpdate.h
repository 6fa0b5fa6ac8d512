#pragma once

#include <cstdint>
#include <string>

#include "foundation/MsgDispatcher.h"

// The update controller, as far as a login needs it: it starts the platform's hall program
// for the signed-in account once no update request is pending, then ends the program.
// The hall is "<WorkDir>Hall\Ombrel.exe", started in its folder with the command line
//   "<path>" KWIUIN:<account> /CID:<ChannelId> "ombrelprotocol:///ENTERAPP APPID:<AppId>"
class ResourceUpdate {
public:
    static constexpr unsigned kRetryMs = 50;
    static constexpr unsigned kEndDelayMs = 10000;
    static constexpr int32_t kStepHallStarted = 219;
    static constexpr int32_t kCodeHallStartFailed = -5;

    static ResourceUpdate& Instance();

    // While update requests are pending, tries again every 50 ms. Then starts the hall with
    // the account, reports step 219 (code 0, or -5 with the error when the hall could not be
    // started) and requests the end of the program 10000 ms later (exit code 0, or 1 after a
    // failed start). The hall is started once per process; later calls only return true.
    // Returns false when the hall could not be started.
    bool LaunchHallWhenReady(uint64_t accountNumber);

    // Update requests in flight; the hall waits for them.
    void BeginRequest() { ++pendingRequests_; }
    void EndRequest();
    unsigned PendingRequests() const { return pendingRequests_; }

    std::wstring HallPath() const;

private:
    ResourceUpdate() = default;
    bool StartHall(uint64_t accountNumber, DWORD& error) const;

    unsigned pendingRequests_ = 0;
    bool hallStarted_ = false;
    bool waiting_ = false;
    mjz::MsgDispatcher tasks_;
};
