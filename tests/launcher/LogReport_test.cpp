// Event reports written asynchronously as JSON lines, and the end of the program they decide.
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <windows.h>

#include <string>
#include <vector>

#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"

namespace {

struct WorkDir {
    WorkDir() { LaunchParams::Instance().Load((L"AppId=321 \"WorkDir=" + dir.Path() + L"\"").c_str()); }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        const std::string text = kit::ReadBytesFromFile(dir.File(L"report.log"));
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    kit::TempDir dir;
};

// Runs messages until the quit message or the time limit; the quit code, or -1000 without one.
int PumpUntilQuit(DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return -1000;
}

bool QuitPosted(int& code)
{
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    code = static_cast<int>(msg.wParam);
    return true;
}

} // namespace

TEST(LogReport, ReportsAreWrittenLaterAsJsonLinesInOrder)
{
    WorkDir w;
    LogReport& r = LogReport::Instance();
    r.Report(204, 0, "");
    r.Report(208, -17, "bad \"news\"\nsecond line \xe4\xb8\x96");
    r.Report(209, 1, nullptr);
    EXPECT_EQ(r.PendingCount(), 3u);
    EXPECT_TRUE(w.Lines().empty()) << "nothing is written inside the call";
    PumpUntilQuit(100);
    EXPECT_EQ(r.PendingCount(), 0u);

    const std::vector<std::string> lines = w.Lines();
    ASSERT_EQ(lines.size(), 3u);
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
    EXPECT_NE(lines[0].find("\"step\":204"), std::string::npos);
}

TEST(LogReport, EndWaitsForPendingReportsAndQuitsOnce)
{
    WorkDir w;
    LogReport& r = LogReport::Instance();
    r.Report(219, -3, "user close");
    r.RequestExit(7);
    int code = 0;
    r.CheckExit();
    EXPECT_FALSE(QuitPosted(code)) << "a report is still pending";
    r.Flush();
    r.CheckExit();
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 7);
    r.CheckExit();
    EXPECT_FALSE(QuitPosted(code)) << "the quit message is posted once";
    EXPECT_EQ(w.Lines().size(), 1u);
}

TEST(LogReport, EndComesAfterTheTimeLimitEvenWithReportsPending)
{
    WorkDir w;
    LogReport& r = LogReport::Instance();
    r.Report(219, 0, "");
    r.RequestExit(2);
    r.exitState.tick = ::GetTickCount() - LogReport::kExitTimeoutMs - 1;
    r.CheckExit();
    int code = 0;
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 2);
    r.Flush();
}

TEST(LogReport, TimerEndsTheMessageLoop)
{
    WorkDir w;
    LogReport& r = LogReport::Instance();
    const DWORD start = ::GetTickCount();
    r.Report(204, 0, "");
    r.RequestExit(0);
    EXPECT_EQ(PumpUntilQuit(3000), 0);
    EXPECT_LE(::GetTickCount() - start, 2500u);
    EXPECT_EQ(w.Lines().size(), 1u) << "the report was out before the end";
    EXPECT_EQ(r.exitState.requested, 0);
}
