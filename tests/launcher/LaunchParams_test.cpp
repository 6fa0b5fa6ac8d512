// Launch parameters from the command line, and the paths and settings derived from them.
#include <gtest/gtest.h>

#include "tests/launcher/LauncherTestDir.h"

TEST(LaunchParams, ReadsKeyValueAndKeyColonValue)
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
}

TEST(LaunchParams, WorkDirDefaultsToTheProgramFolderAndIsMadeAbsolute)
{
    LaunchParams& p = LaunchParams::Instance();
    p.Load(L"AppId=1");
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
