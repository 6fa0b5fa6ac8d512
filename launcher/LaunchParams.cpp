#include "launcher/LaunchParams.h"

#include <windows.h>
#include <shellapi.h>

#include <stdexcept>

#include "foundation/Folders.h"
#include "foundation/ProfileFile.h"
#include "foundation/StringUtil.h"

namespace {

constexpr DWORD kProfileChars = 512;
constexpr DWORD kSectionNamesChars = 2048;

std::wstring AbsolutePath(const std::wstring& path)
{
    const DWORD need = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0)
        return path;
    std::wstring full(need, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (n == 0 || n >= need)
        return path;
    full.resize(n);
    return full;
}

std::wstring Decimal(uint32_t value)
{
    return std::to_wstring(value);
}

// A number that does not fit counts as no number.
uint32_t ToAppId(const std::wstring& text)
{
    try {
        return static_cast<uint32_t>(WStringToULong(text));
    } catch (const std::out_of_range&) {
        return 0;
    }
}

} // namespace

LaunchParams& LaunchParams::Instance()
{
    static LaunchParams params;
    return params;
}

LaunchParams::LaunchParams()
{
    Load(::GetCommandLineW());
}

void LaunchParams::Load(const wchar_t* commandLine)
{
    appId = 0;
    channelId.clear();
    accountNumber = 0;
    std::wstring workDir;

    int argc = 0;
    LPWSTR* argv = (commandLine && *commandLine) ? ::CommandLineToArgvW(commandLine, &argc) : nullptr;
    for (int i = 0; i < argc; ++i) {
        std::wstring arg = argv[i];
        const size_t sep = arg.find_first_of(L"=:");
        if (sep == std::wstring::npos || sep == 0)
            continue;
        const std::wstring key = arg.substr(0, sep);
        std::wstring value = arg.substr(sep + 1);
        // A quoted value that ends in a backslash leaves its closing quote behind.
        WStringTrimLeft(value, L"\" ");
        WStringTrimRight(value, L"\" ");
        if (_wcsicmp(key.c_str(), L"AppId") == 0)
            appId = ToAppId(value);
        else if (_wcsicmp(key.c_str(), L"ChannelId") == 0)
            channelId = value;
        else if (_wcsicmp(key.c_str(), L"WorkDir") == 0)
            workDir = value;
    }
    if (argv)
        ::LocalFree(argv);

    workDir_ = WithBackslash(workDir.empty() ? ModuleFolder() : AbsolutePath(workDir));
}

std::wstring LaunchParams::GetAppDataDir(uint32_t id) const
{
    return workDir_ + L"data\\" + Decimal(id) + L"\\";
}

std::wstring LaunchParams::ReadSetting(const wchar_t* key) const
{
    wchar_t value[kProfileChars] = {};
    ::GetPrivateProfileStringW(Decimal(appId).c_str(), key, L"", value, kProfileChars,
                               SettingsPath().c_str());
    return value;
}

std::wstring LaunchParams::GetCurrentGameDataDir() const
{
    const std::wstring version = ReadSetting(L"GameDataVersion");
    std::wstring dir = GetAppDataDir(appId);
    return version.empty() ? dir : WithBackslash(dir + version);
}

std::wstring LaunchParams::GetCurrentSsoDir() const
{
    const std::wstring version = ReadSetting(L"SSOVersion");
    std::wstring dir = workDir_ + L"NVSSO\\";
    return version.empty() ? dir : WithBackslash(dir + version);
}

std::wstring LaunchParams::GetGameInfo(const wchar_t* key) const
{
    wchar_t value[kProfileChars] = {};
    const std::wstring config = GetCurrentGameDataDir() + L"config.ini";
    ::GetPrivateProfileStringW(L"info", key, L"", value, kProfileChars, config.c_str());
    return value;
}

bool LaunchParams::GetCheckAgreeBoxSelected() const
{
    wchar_t value[kProfileChars] = {};
    ::GetPrivateProfileStringW(Decimal(appId).c_str(), L"CheckAgreeBoxSelected", L"0", value,
                               kProfileChars, SettingsPath().c_str());
    return wcscmp(value, L"1") == 0;
}

void LaunchParams::SetCheckAgreeBoxSelected()
{
    // The file holds every game's settings: launchers of other games may write it at this moment.
    ProfileFile::Write(SettingsPath(), {{Decimal(appId), L"CheckAgreeBoxSelected", L"1"}});
}

std::vector<uint32_t> LaunchParams::GetSettingsAppIds() const
{
    std::vector<uint32_t> ids;
    wchar_t names[kSectionNamesChars] = {};
    const DWORD n = ::GetPrivateProfileSectionNamesW(names, kSectionNamesChars, SettingsPath().c_str());
    // The buffer holds zero-terminated names one after another, closed by an empty one.
    for (DWORD pos = 0; pos < n && names[pos] != L'\0';) {
        const std::wstring name = names + pos;
        pos += static_cast<DWORD>(name.size()) + 1;
        if (const uint32_t id = ToAppId(name))
            ids.push_back(id);
    }
    return ids;
}
