// The launcher's parts in one process: the launch parameters and the folders and settings they
// lead to, the event reporter (JSON lines written later, in order) and the end of the program it
// decides, and a hall program that cannot be started (last: the controller starts the hall once
// per process; the started hall has a process of its own, ResourceUpdateHall_test).
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <sstream>
#include <vector>

#include "launcher/LogReport.h"
#include "launcher/ResourceUpdate.h"
#include "tests/launcher/LauncherTestDir.h"

namespace {

std::vector<std::string> ReportLines(const LauncherTestDir& w)
{
    std::vector<std::string> lines;
    std::istringstream text(w.Read(L"report.log"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

// The code of a posted quit message, or -1000 without one.
int PostedQuit()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(msg.wParam) : -1000;
}

} // namespace

TEST(LaunchParams, ReadsKeyValueAndKeyColonValueAndAnAbsoluteWorkDir)
{
    LaunchParams& p = LaunchParams::Instance();
    p.Load(L"C:\\x\\OmbrelLauncher.exe AppId=123 ChannelId:abc \"WorkDir=C:\\some dir\" StartTime=5 --SelfUpdateChecked");
    EXPECT_EQ(p.appId, 123u);
    EXPECT_EQ(p.channelId, L"abc");
    EXPECT_EQ(p.GetWorkDir(), L"C:\\some dir\\");
    p.accountNumber = 5;
    p.Load(L"appid:77 WORKDIR:C:\\games\\ombrel\\");
    EXPECT_EQ(p.appId, 77u);
    EXPECT_TRUE(p.channelId.empty()) << "a new command line replaces the old values";
    EXPECT_EQ(p.accountNumber, 0u);
    EXPECT_EQ(p.GetWorkDir(), L"C:\\games\\ombrel\\");
    p.Load(L"AppId=1 WorkDir=\"C:\\quoted dir\\\"");  // a quoted value that ends in a backslash
    EXPECT_EQ(p.GetWorkDir(), L"C:\\quoted dir\\");
    const std::pair<const wchar_t*, uint32_t> appIds[] = {
        {L"AppId=game", 0}, {L"AppId=99999999999", 0}, {L"AppId=0x10", 16}, {L"", 0}};
    for (const auto& [line, id] : appIds) {
        p.Load(line);
        EXPECT_EQ(p.appId, id) << testing::PrintToString(std::wstring(line));
    }
    // No work dir: the program's folder; a relative one is made absolute.
    EXPECT_EQ(p.GetWorkDir(), ModuleFolder());
    kit::TempDir dir;
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
    p.Load(L"WorkDir=sub");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(p.GetWorkDir(), dir.Path() + L"\\sub\\");
}

// Folders, game information, the agreement box and the games named by settings.ini.
TEST(LaunchParams, FoldersAndSettingsFollowTheSettingsFile)
{
    LauncherTestDir w(123);
    LaunchParams& p = LaunchParams::Instance();
    EXPECT_EQ(p.GetAppDataDir(7), w.Path() + L"data\\7\\");
    EXPECT_EQ(p.GetCurrentGameDataDir(), w.Path() + L"data\\123\\") << "no version known yet";
    EXPECT_EQ(p.GetCurrentSsoDir(), w.Path() + L"NVSSO\\");
    EXPECT_TRUE(p.GetSettingsAppIds().empty());
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected());

    w.Write(L"settings.ini", "[123]\r\nGameDataVersion=2.0.1\r\nSSOVersion=3.5\r\nCheckAgreeBoxSelected=yes\r\n"
                             "[9]\r\nGameDataVersion=other\r\n[notanumber]\r\nB=2\r\n[456]\r\n[99999999999]\r\n[0]\r\n[0x20]\r\n");
    EXPECT_EQ(p.GetCurrentGameDataDir(), w.Path() + L"data\\123\\2.0.1\\");
    EXPECT_EQ(p.GetCurrentSsoDir(), w.Path() + L"NVSSO\\3.5\\");
    EXPECT_EQ(p.GetSettingsAppIds(), (std::vector<uint32_t>{123, 9, 456, 32}));
    EXPECT_EQ(p.GetGameInfo(L"GameName"), L"");
    MakeDirs(w.Path() + L"data\\123\\2.0.1");
    w.Write(L"data\\123\\2.0.1\\config.ini", "[info]\r\nGameName=Star Chess\r\n");
    EXPECT_EQ(p.GetGameInfo(L"GameName"), L"Star Chess");
    EXPECT_EQ(p.GetGameInfo(L"Missing"), L"");
    // The agreement box is remembered per game; only "1" counts.
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected());
    p.SetCheckAgreeBoxSelected();
    EXPECT_TRUE(p.GetCheckAgreeBoxSelected());
    w.Point(124);
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected()) << "another game's box";
}

TEST(LogReport, ReportsAreWrittenLaterAsJsonLinesInOrder)
{
    LauncherTestDir w(321);
    LogReport& r = LogReport::Instance();
    r.Report(204, 0, "");
    r.Report(208, -17, "bad \"news\"\nsecond line \xe4\xb8\x96");
    r.Report(209, 1, nullptr);
    EXPECT_EQ(r.PendingCount(), 3u);
    EXPECT_TRUE(ReportLines(w).empty()) << "nothing is written inside the call";
    PumpUntilQuit(100);
    EXPECT_EQ(r.PendingCount(), 0u);

    const std::vector<std::string> lines = ReportLines(w);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("\"step\":204"), std::string::npos);
    rapidjson::Document d;
    d.Parse(lines[1].c_str());
    ASSERT_FALSE(d.HasParseError()) << lines[1];
    EXPECT_EQ(d["step"].GetUint(), 208u);
    EXPECT_EQ(d["code"].GetInt(), -17);
    EXPECT_STREQ(d["text"].GetString(), "bad \"news\"\nsecond line \xe4\xb8\x96");
    EXPECT_EQ(d["appId"].GetUint(), 321u);
    EXPECT_GT(d["time"].GetInt64(), 1600000000);
    d.Parse(lines[2].c_str());
    EXPECT_STREQ(d["text"].GetString(), "");
}

TEST(LogReport, EndWaitsForPendingReportsOrTheTimeLimitAndQuitsOnce)
{
    LauncherTestDir w(321);
    LogReport& r = LogReport::Instance();
    r.Report(219, -3, "user close");
    r.RequestExit(7);
    r.CheckExit();
    EXPECT_EQ(PostedQuit(), -1000) << "a report is still pending";
    r.Flush();
    r.CheckExit();
    EXPECT_EQ(PostedQuit(), 7);
    r.CheckExit();
    EXPECT_EQ(PostedQuit(), -1000) << "the quit message is posted once";
    EXPECT_EQ(ReportLines(w).size(), 1u);

    r.Report(219, 0, "");
    r.RequestExit(2);
    r.exitState.tick = ::GetTickCount() - LogReport::kExitTimeoutMs - 1;
    r.CheckExit();
    EXPECT_EQ(PostedQuit(), 2) << "past the time limit pending reports no longer hold the end";
    r.Flush();

    // The reporter's own timer ends the message loop, once the report is out.
    r.Report(204, 0, "");
    r.RequestExit(0);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(PumpUntilQuit(3000), 0);
    EXPECT_LE(::GetTickCount() - start, 2500u);
    EXPECT_EQ(ReportLines(w).size(), 3u) << "the report was out before the end";
    EXPECT_EQ(r.exitState.requested, 0);
}

TEST(ResourceUpdate, MissingHallIsReportedAsFailure)
{
    LauncherTestDir w(4242);
    EXPECT_FALSE(ResourceUpdate::Instance().LaunchHallWhenReady(10001));
    LogReport::Instance().Flush();
    const std::string reports = w.Read(L"report.log");
    EXPECT_NE(reports.find("\"step\":219,\"code\":-5,\"text\":\"start hall failed: "), std::string::npos) << reports;
    EXPECT_EQ(reports.find("\"code\":0"), std::string::npos) << reports;
}
