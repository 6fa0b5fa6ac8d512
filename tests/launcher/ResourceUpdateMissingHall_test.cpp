// A hall program that cannot be started is reported as a failure, never as a start.
#include <gtest/gtest.h>

#include "launcher/LogReport.h"
#include "launcher/ResourceUpdate.h"
#include "tests/launcher/LauncherTestDir.h"

TEST(ResourceUpdate, MissingHallIsReportedAsFailure)
{
    LauncherTestDir w(4242);
    EXPECT_FALSE(ResourceUpdate::Instance().LaunchHallWhenReady(10001));
    LogReport::Instance().Flush();
    const std::string reports = w.Read(L"report.log");
    EXPECT_NE(reports.find("\"step\":219,\"code\":-5,\"text\":\"start hall failed: "), std::string::npos) << reports;
    EXPECT_EQ(reports.find("\"code\":0"), std::string::npos) << reports;
}
