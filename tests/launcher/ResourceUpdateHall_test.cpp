// The hall program is started for the signed-in account once no update request is pending, and
// the program ends 10 seconds later.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "launcher/ResourceUpdate.h"

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// Runs messages until done() holds, the quit message comes (its code goes to quitCode) or the
// time is up.
template <class Done>
bool Pump(DWORD timeoutMs, Done done, int* quitCode = nullptr)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quitCode)
                    *quitCode = static_cast<int>(msg.wParam);
                return true;
            }
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

} // namespace

// One test: the controller starts the hall once per process.
TEST(ResourceUpdate, StartsTheHallWhenNoUpdateIsPendingThenEnds)
{
    kit::TempDir dir;
    const std::wstring work = dir.Path() + L"\\";
    LaunchParams::Instance().Load((L"AppId=4242 ChannelId=77 \"WorkDir=" + dir.Path() + L"\"").c_str());
    ResourceUpdate& update = ResourceUpdate::Instance();
    EXPECT_EQ(update.HallPath(), work + L"Hall\\Ombrel.exe");
    ASSERT_TRUE(::CreateDirectoryW((work + L"Hall").c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"Ombrel.exe").c_str(), update.HallPath().c_str(), FALSE));
    const std::wstring hallLog = work + L"Hall\\hall-command.txt";

    // An update in flight holds the hall back.
    update.BeginRequest();
    EXPECT_TRUE(update.LaunchHallWhenReady(10001));
    Pump(300, [] { return false; });
    EXPECT_EQ(::GetFileAttributesW(hallLog.c_str()), INVALID_FILE_ATTRIBUTES);
    const DWORD released = ::GetTickCount();
    update.EndRequest();
    ASSERT_TRUE(Pump(5000, [&] { return !kit::ReadBytesFromFile(hallLog).empty(); }));

    const std::string command = kit::ReadBytesFromFile(hallLog);
    EXPECT_NE(command.find("KWIUIN:10001"), std::string::npos) << command;
    EXPECT_NE(command.find("/CID:77"), std::string::npos) << command;
    EXPECT_NE(command.find("ombrelprotocol:///ENTERAPP APPID:4242"), std::string::npos) << command;
    const std::string reports = kit::ReadBytesFromFile(work + L"report.log");
    EXPECT_NE(reports.find("\"step\":219,\"code\":0"), std::string::npos) << reports;

    // A second success does not start a second hall.
    EXPECT_TRUE(update.LaunchHallWhenReady(10002));

    // Ten seconds after the start the program ends with code 0.
    int code = -1;
    ASSERT_TRUE(Pump(13000, [] { return false; }, &code));
    const DWORD ended = ::GetTickCount() - released;
    EXPECT_EQ(code, 0);
    EXPECT_GE(ended, ResourceUpdate::kEndDelayMs);
    EXPECT_LE(ended, ResourceUpdate::kEndDelayMs + 2500);
    EXPECT_EQ(std::count(command.begin(), command.end(), '\n'), 1);
    EXPECT_EQ(kit::ReadBytesFromFile(hallLog), command) << "one hall only";
}
