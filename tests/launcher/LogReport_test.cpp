// Event reports written asynchronously as JSON lines, and the end of the program they decide.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <vector>

#include "launcher/LogReport.h"
#include "tests/launcher/LauncherTestDir.h"

namespace {

std::vector<std::string> ReportLines(const LauncherTestDir& w)
{
    std::vector<std::string> lines;
    const std::string text = w.Read(L"report.log");
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The code of a posted quit message, or -1000 without one.
int PostedQuit()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(msg.wParam) : -1000;
}

} // namespace

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
}

TEST(LogReport, TimerEndsTheMessageLoop)
{
    LauncherTestDir w(321);
    LogReport& r = LogReport::Instance();
    const DWORD start = ::GetTickCount();
    r.Report(204, 0, "");
    r.RequestExit(0);
    EXPECT_EQ(PumpUntilQuit(3000), 0);
    EXPECT_LE(::GetTickCount() - start, 2500u);
    EXPECT_EQ(ReportLines(w).size(), 1u) << "the report was out before the end";
    EXPECT_EQ(r.exitState.requested, 0);
}
