// A hall program that cannot be started is reported as a failure, never as a start.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "launcher/ResourceUpdate.h"

TEST(ResourceUpdate, MissingHallIsReportedAsFailure)
{
    kit::TempDir dir;
    LaunchParams::Instance().Load((L"AppId=4242 \"WorkDir=" + dir.Path() + L"\"").c_str());
    EXPECT_FALSE(ResourceUpdate::Instance().LaunchHallWhenReady(10001));
    LogReport::Instance().Flush();
    const std::string reports = kit::ReadBytesFromFile(dir.File(L"report.log"));
    EXPECT_NE(reports.find("\"step\":219,\"code\":-5,\"text\":\"start hall failed: "), std::string::npos) << reports;
    EXPECT_EQ(reports.find("\"code\":0"), std::string::npos) << reports;
}
