// Launch parameters from the command line, and the paths and settings derived from them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// Points the launch parameters at a fresh work dir for AppId 123.
struct WorkDir {
    WorkDir()
    {
        path = dir.Path() + L"\\";
        LaunchParams::Instance().Load((L"AppId=123 \"WorkDir=" + dir.Path() + L"\"").c_str());
    }
    void Settings(const std::string& text) const { kit::WriteBytesToFile(path + L"settings.ini", text); }

    kit::TempDir dir;
    std::wstring path;
};

} // namespace

TEST(LaunchParams, ReadsKeyValueAndKeyColonValue)
{
    LaunchParams& p = LaunchParams::Instance();
    p.Load(L"C:\\x\\OmbrelLauncher.exe AppId=123 ChannelId:abc \"WorkDir=C:\\some dir\" StartTime=5 --SelfUpdateChecked");
    EXPECT_EQ(p.appId, 123u);
    EXPECT_EQ(p.channelId, L"abc");
    EXPECT_EQ(p.GetWorkDir(), L"C:\\some dir\\");

    p.Load(L"appid:77 WORKDIR:C:\\games\\ombrel\\");
    EXPECT_EQ(p.appId, 77u);
    EXPECT_TRUE(p.channelId.empty()) << "a new command line replaces the old values";
    EXPECT_EQ(p.GetWorkDir(), L"C:\\games\\ombrel\\");

    // A quoted value that ends in a backslash.
    p.Load(L"AppId=1 WorkDir=\"C:\\quoted dir\\\"");
    EXPECT_EQ(p.GetWorkDir(), L"C:\\quoted dir\\");
}

TEST(LaunchParams, AppIdThatIsNoNumberIsZero)
{
    LaunchParams& p = LaunchParams::Instance();
    p.Load(L"AppId=game");
    EXPECT_EQ(p.appId, 0u);
    p.Load(L"AppId=99999999999");
    EXPECT_EQ(p.appId, 0u);
    p.Load(L"AppId=0x10");
    EXPECT_EQ(p.appId, 16u);
    p.accountNumber = 5;
    p.Load(L"");
    EXPECT_EQ(p.appId, 0u);
    EXPECT_EQ(p.accountNumber, 0u);
}

TEST(LaunchParams, WorkDirDefaultsToTheProgramFolderAndIsMadeAbsolute)
{
    LaunchParams& p = LaunchParams::Instance();
    p.Load(L"AppId=1");
    EXPECT_EQ(p.GetWorkDir(), ProgramFolder());

    kit::TempDir dir;
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
    p.Load(L"WorkDir=sub");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(p.GetWorkDir(), dir.Path() + L"\\sub\\");
}

TEST(LaunchParams, FoldersFollowTheSettings)
{
    WorkDir w;
    const LaunchParams& p = LaunchParams::Instance();
    EXPECT_EQ(p.GetAppDataDir(7), w.path + L"data\\7\\");
    EXPECT_EQ(p.GetCurrentGameDataDir(), w.path + L"data\\123\\") << "no version known yet";
    EXPECT_EQ(p.GetCurrentSsoDir(), w.path + L"NVSSO\\");

    w.Settings("[123]\r\nGameDataVersion=2.0.1\r\nSSOVersion=3.5\r\n[9]\r\nGameDataVersion=other\r\n");
    EXPECT_EQ(p.GetCurrentGameDataDir(), w.path + L"data\\123\\2.0.1\\");
    EXPECT_EQ(p.GetCurrentSsoDir(), w.path + L"NVSSO\\3.5\\");
}

TEST(LaunchParams, GameInfoComesFromTheGameDataConfig)
{
    WorkDir w;
    w.Settings("[123]\r\nGameDataVersion=1\r\n");
    EXPECT_EQ(LaunchParams::Instance().GetGameInfo(L"GameName"), L"");
    ::CreateDirectoryW((w.path + L"data").c_str(), nullptr);
    ::CreateDirectoryW((w.path + L"data\\123").c_str(), nullptr);
    ::CreateDirectoryW((w.path + L"data\\123\\1").c_str(), nullptr);
    kit::WriteBytesToFile(w.path + L"data\\123\\1\\config.ini", "[info]\r\nGameName=Star Chess\r\n");
    EXPECT_EQ(LaunchParams::Instance().GetGameInfo(L"GameName"), L"Star Chess");
    EXPECT_EQ(LaunchParams::Instance().GetGameInfo(L"Missing"), L"");
}

TEST(LaunchParams, AgreementBoxIsRememberedPerGame)
{
    WorkDir w;
    LaunchParams& p = LaunchParams::Instance();
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected());
    w.Settings("[123]\r\nCheckAgreeBoxSelected=yes\r\n");
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected()) << "only \"1\" counts";
    p.SetCheckAgreeBoxSelected();
    EXPECT_TRUE(p.GetCheckAgreeBoxSelected());
    p.Load((L"AppId=124 \"WorkDir=" + w.dir.Path() + L"\"").c_str());
    EXPECT_FALSE(p.GetCheckAgreeBoxSelected()) << "another game's box";
}

TEST(LaunchParams, SettingsSectionsNameTheAppIds)
{
    WorkDir w;
    EXPECT_TRUE(LaunchParams::Instance().GetSettingsAppIds().empty());
    w.Settings("[123]\r\nA=1\r\n[notanumber]\r\nB=2\r\n[456]\r\n[99999999999]\r\n[0]\r\n[0x20]\r\n");
    EXPECT_EQ(LaunchParams::Instance().GetSettingsAppIds(), (std::vector<uint32_t>{123, 456, 32}));
}
