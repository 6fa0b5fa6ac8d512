#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The launch parameters of this process: the game (AppId), the install channel and the
// working directory, read once from the command line, plus the account number that the
// login dialog fills in. Paths below the working directory are derived from "settings.ini"
// there, whose sections are named by AppId in decimal:
//   [<AppId>] GameDataVersion=<folder name>  SSOVersion=<folder name>  CheckAgreeBoxSelected=0|1
class LaunchParams {
public:
    static LaunchParams& Instance();

    // Reads "AppId", "ChannelId" and "WorkDir" given as Key=Value or Key:Value (keys in any
    // case; a value with blanks in double quotes). Everything read before is replaced; an
    // absent WorkDir means the program's own folder; an AppId that is no number is 0.
    // Unknown arguments are ignored. The first use reads the process's own command line.
    void Load(const wchar_t* commandLine);

    uint32_t appId = 0;
    std::wstring channelId;
    uint64_t accountNumber = 0;

    // The working directory, absolute and ending in a backslash.
    std::wstring GetWorkDir() const { return workDir_; }
    // "<WorkDir>data\<appId>\"
    std::wstring GetAppDataDir(uint32_t appId) const;
    // "<WorkDir>data\<AppId>\<GameDataVersion>\" (the version folder left out while unknown).
    std::wstring GetCurrentGameDataDir() const;
    // "<current game data dir>skin\": the game's skin folder, where its windows' skins live.
    std::wstring GetCurrentSkinDir() const { return GetCurrentGameDataDir() + L"skin\\"; }
    // "<WorkDir>NVSSO\<SSOVersion>\" (the version folder left out while unknown).
    std::wstring GetCurrentSsoDir() const;
    // Section "info" of "config.ini" in the current game-data directory; empty when absent.
    std::wstring GetGameInfo(const wchar_t* key) const;
    bool GetCheckAgreeBoxSelected() const;
    void SetCheckAgreeBoxSelected();
    // The AppIds named by the sections of "settings.ini"; sections that are no AppId are left out.
    std::vector<uint32_t> GetSettingsAppIds() const;

    std::wstring SettingsPath() const { return workDir_ + L"settings.ini"; }

private:
    LaunchParams();
    std::wstring ReadSetting(const wchar_t* key) const;

    std::wstring workDir_;
};
