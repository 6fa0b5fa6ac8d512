// The hall program is started for the signed-in account once no update request is pending, and
// the program ends 10 seconds later.
#include <gtest/gtest.h>

#include <algorithm>

#include "launcher/LogReport.h"
#include "launcher/ResourceUpdate.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/LauncherTestDir.h"

// One test: the controller starts the hall once per process.
TEST(ResourceUpdate, StartsTheHallWhenNoUpdateIsPendingThenEnds)
{
    LauncherTestDir w(4242, L"ChannelId=77");
    ResourceUpdate& update = ResourceUpdate::Instance();
    EXPECT_EQ(update.HallPath(), w.File(L"Hall\\Ombrel.exe"));
    MakeDirs(w.File(L"Hall"));
    ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"Ombrel.exe").c_str(), update.HallPath().c_str(), FALSE));
    const std::wstring hallLog = L"Hall\\hall-command.txt";

    // An update in flight holds the hall back.
    update.BeginRequest();
    EXPECT_TRUE(update.LaunchHallWhenReady(10001));
    PumpUntilQuit(300);
    EXPECT_FALSE(Exists(w.File(hallLog)));
    const DWORD released = ::GetTickCount();
    update.EndRequest();
    PumpUntilQuit(e2e::kUiBoundMs, [&] { return !w.Read(hallLog).empty(); });

    const std::string command = w.Read(hallLog);
    EXPECT_NE(command.find("KWIUIN:10001"), std::string::npos) << command;
    EXPECT_NE(command.find("/CID:77"), std::string::npos) << command;
    EXPECT_NE(command.find("ombrelprotocol:///ENTERAPP APPID:4242"), std::string::npos) << command;
    const std::string reports = w.Read(L"report.log");
    EXPECT_NE(reports.find("\"step\":219,\"code\":0"), std::string::npos) << reports;

    // A second success does not start a second hall.
    EXPECT_TRUE(update.LaunchHallWhenReady(10002));

    // Ten seconds after the start the program ends with code 0.
    const int code = PumpUntilQuit(13000);
    const DWORD ended = ::GetTickCount() - released;
    EXPECT_EQ(code, 0);
    EXPECT_GE(ended, ResourceUpdate::kEndDelayMs);
    EXPECT_LE(ended, ResourceUpdate::kEndDelayMs + 2500);
    EXPECT_EQ(std::count(command.begin(), command.end(), '\n'), 1);
    EXPECT_EQ(w.Read(hallLog), command) << "one hall only";
}
