#include "login/OmbrelLauncherAccountStorager.h"

#include <algorithm>

#include "foundation/ConfigFileAdapter.h"
#include "foundation/Folders.h"
#include "foundation/IniStore.h"
#include "foundation/StringUtil.h"
#include "foundation/TraceLog.h"
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

std::wstring SectionOf(uint32_t appId)
{
    return FormatDecimalW(static_cast<int32_t>(appId));
}

// The list a file holds (through the adapter or the store itself).
template <class Reader>
std::vector<UsedAccount> ReadList(Reader& file, const std::wstring& section, int maxItems)
{
    std::vector<UsedAccount> list;
    wchar_t text[kUinChars] = {};
    file.GetString(section.c_str(), kItemCount, text, kUinChars);
    uint64_t count = 0;
    if (!TryParseUInt64W(text, 10, count))
        count = 0;
    count = std::min<uint64_t>(count, static_cast<uint64_t>(maxItems));

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
    return list;
}

// The entries before the count, so that a file never counts entries it does not hold.
void WriteList(IniStore& store, const std::wstring& section, const std::vector<UsedAccount>& list)
{
    int index = 1;
    for (const UsedAccount& account : list) {
        // A line break in a nick name would start a line of its own in the file.
        std::wstring nick = account.nickName;
        StripLineBreaks(nick);
        store.Put(section.c_str(), ItemKey(kItemUin, index).c_str(), FormatUInt64W(account.accountNumber).c_str());
        store.Put(section.c_str(), ItemKey(kItemNickName, index).c_str(), nick.c_str());
        ++index;
    }
    store.Put(section.c_str(), kItemCount, FormatDecimalW(static_cast<int>(list.size())).c_str());
}

// An account listed already takes the new nick name; a new one is appended while there is room.
// False when the list is full.
bool MergeInto(std::vector<UsedAccount>& list, const UsedAccount& account, size_t maxAccounts)
{
    for (UsedAccount& used : list) {
        if (used.accountNumber == account.accountNumber) {
            used.nickName = account.nickName;
            return true;
        }
    }
    if (list.size() >= maxAccounts)
        return false;
    list.push_back(account);
    return true;
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
    if (!file.Open(UsedAccountsPath(appId).c_str(), 0)) {
        if (IsTraceViewerPresent())
            TraceLog(L"OmbrelLauncherAccountStorager::Load() used accounts of %u could not be read", appId);
        return;
    }
    list = ReadList(file, SectionOf(appId), kMaxItemCount);
    file.Close();
}

bool OmbrelLauncherAccountStorager::AddAccount(uint32_t appId, const UsedAccount& account)
{
    std::vector<UsedAccount>& list = accounts_[appId];
    const bool listed = std::any_of(list.begin(), list.end(), [&](const UsedAccount& used) {
        return used.accountNumber == account.accountNumber;
    });
    if (!MergeInto(list, account, kMaxAccounts))
        return false;
    MergeInto(unsaved_[appId], account, kMaxItemCount);
    Save();
    return !listed;
}

const std::vector<UsedAccount>& OmbrelLauncherAccountStorager::GetAccounts(uint32_t appId) const
{
    static const std::vector<UsedAccount> none;
    const auto it = accounts_.find(appId);
    return it != accounts_.end() ? it->second : none;
}

bool OmbrelLauncherAccountStorager::Save()
{
    bool all = true;
    for (auto it = unsaved_.begin(); it != unsaved_.end();) {
        if (SaveGame(it->first, it->second)) {
            it = unsaved_.erase(it);
            continue;
        }
        if (IsTraceViewerPresent())
            TraceLog(L"OmbrelLauncherAccountStorager::Save() used accounts of %u not saved", it->first);
        all = false;
        ++it;
    }
    return all;
}

bool OmbrelLauncherAccountStorager::SaveGame(uint32_t appId, const std::vector<UsedAccount>& changes)
{
    // A file that cannot be read is not rewritten from what this process holds.
    CConfigFileAdapter file;
    if (!file.Open(UsedAccountsPath(appId).c_str(), 0))
        return false;
    const std::wstring section = SectionOf(appId);
    std::vector<UsedAccount> merged;
    const bool written = file.Update([&](IniStore& store) {
        merged = ReadList(store, section, kMaxItemCount);
        for (const UsedAccount& account : changes)
            MergeInto(merged, account, kMaxAccounts);
        WriteList(store, section, merged);
    });
    file.Close();
    if (written)
        accounts_[appId] = std::move(merged);
    return written;
}
