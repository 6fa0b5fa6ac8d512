#include "login/OmbrelLauncherAccountStorager.h"

#include <algorithm>

#include "foundation/ConfigFileAdapter.h"
#include "foundation/Folders.h"
#include "foundation/StringUtil.h"
#include "launcher/LaunchParams.h"
#include "login/DecimalText.h"

namespace {

constexpr wchar_t kItemCount[] = L"ItemCount";
constexpr wchar_t kItemUin[] = L"ItemUin";
constexpr wchar_t kItemNickName[] = L"ItemNickName";
constexpr int kUinChars = 260;
constexpr int kNickNameChars = 40;

std::wstring ItemKey(const wchar_t* name, int index)
{
    return name + FormatDecimalW(index);
}

} // namespace

OmbrelLauncherAccountStorager& OmbrelLauncherAccountStorager::GetInstance()
{
    struct Holder {
        Holder() { storager.LoadAll(); }
        OmbrelLauncherAccountStorager storager;
    };
    static Holder holder;
    return holder.storager;
}

std::wstring OmbrelLauncherAccountStorager::UsedAccountsPath(uint32_t appId)
{
    const std::wstring folder = LaunchParams::Instance().GetAppDataDir(appId) + L"Account";
    EnsureFolder(folder);
    return folder + L"\\Account.cfg";
}

void OmbrelLauncherAccountStorager::LoadAll()
{
    appIds_ = LaunchParams::Instance().GetSettingsAppIds();
    for (uint32_t appId : appIds_)
        Load(appId);
}

void OmbrelLauncherAccountStorager::Load(uint32_t appId)
{
    std::vector<UsedAccount>& list = accounts_[appId];
    list.clear();

    CConfigFileAdapter file;
    if (!file.Open(UsedAccountsPath(appId).c_str(), 0))
        return;
    const std::wstring section = FormatDecimalW(static_cast<int32_t>(appId));

    wchar_t text[kUinChars] = {};
    file.GetString(section.c_str(), kItemCount, text, kUinChars);
    uint64_t count = 0;
    if (!TryParseUInt64W(text, 10, count))
        count = 0;
    count = std::min<uint64_t>(count, kMaxItemCount);

    for (int i = 1; i <= static_cast<int>(count); ++i) {
        wchar_t uin[kUinChars] = {};
        file.GetString(section.c_str(), ItemKey(kItemUin, i).c_str(), uin, kUinChars);
        UsedAccount account;
        // A damaged or missing number skips the entry instead of ending the program.
        if (!TryParseUInt64W(uin, 0, account.accountNumber) || account.accountNumber == 0)
            continue;
        wchar_t nick[kNickNameChars + 1] = {};
        file.GetString(section.c_str(), ItemKey(kItemNickName, i).c_str(), nick, kNickNameChars + 1);
        account.nickName = nick;
        list.push_back(std::move(account));
    }
    file.Close();
}

bool OmbrelLauncherAccountStorager::AddAccount(uint32_t appId, const UsedAccount& account)
{
    std::vector<UsedAccount>& list = accounts_[appId];
    for (UsedAccount& used : list) {
        if (used.accountNumber == account.accountNumber) {
            used.nickName = account.nickName;
            Save();
            return false;
        }
    }
    if (list.size() >= kMaxAccounts)
        return false;
    list.push_back(account);
    Save();
    return true;
}

const std::vector<UsedAccount>& OmbrelLauncherAccountStorager::GetAccounts(uint32_t appId) const
{
    static const std::vector<UsedAccount> none;
    const auto it = accounts_.find(appId);
    return it != accounts_.end() ? it->second : none;
}

void OmbrelLauncherAccountStorager::Save()
{
    for (const auto& [appId, list] : accounts_) {
        CConfigFileAdapter file;
        if (!file.Open(UsedAccountsPath(appId).c_str(), 0))
            continue;
        const std::wstring section = FormatDecimalW(static_cast<int32_t>(appId));
        // The entries before the count, so a save cut short never counts entries it
        // did not write.
        int index = 1;
        for (const UsedAccount& account : list) {
            // A line break in a nick name would start a line of its own in the file.
            std::wstring nick = account.nickName;
            StripLineBreaks(nick);
            file.SetString(section.c_str(), ItemKey(kItemUin, index).c_str(),
                           FormatUInt64W(account.accountNumber).c_str());
            file.SetString(section.c_str(), ItemKey(kItemNickName, index).c_str(), nick.c_str());
            ++index;
        }
        file.SetInt(section.c_str(), kItemCount, static_cast<int>(list.size()));
        file.Close();
    }
}
