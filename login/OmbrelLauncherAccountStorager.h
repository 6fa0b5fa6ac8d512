#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One account that started a game on this machine.
struct UsedAccount {
    uint64_t accountNumber = 0;
    std::wstring nickName;
};

// Each game's list of used accounts, oldest first, kept in the INI file
// "<game data folder>Account\Account.cfg": section = the AppId, "ItemCount", then
// "ItemUin<i>" and "ItemNickName<i>" for i = 1 .. ItemCount.
class OmbrelLauncherAccountStorager {
public:
    // Accounts a game remembers; further ones are not added.
    static constexpr size_t kMaxAccounts = 8;
    // "ItemCount" comes from a file; larger counts are read as this many.
    static constexpr int kMaxItemCount = 64;

    OmbrelLauncherAccountStorager() = default;
    virtual ~OmbrelLauncherAccountStorager() = default;
    OmbrelLauncherAccountStorager(const OmbrelLauncherAccountStorager&) = delete;
    OmbrelLauncherAccountStorager& operator=(const OmbrelLauncherAccountStorager&) = delete;

    // The process-wide storager; the first call loads every game of settings.ini.
    static OmbrelLauncherAccountStorager& GetInstance();

    // Load for every AppId listed in settings.ini.
    void LoadAll();
    // Replaces the AppId's list with the one in its file; entries whose number is
    // not a number are skipped.
    void Load(uint32_t appId);
    // Appends the account and saves; true when it was appended. An account already
    // listed only takes the new nick name (saved, false); a full list stays as it is.
    bool AddAccount(uint32_t appId, const UsedAccount& account);
    // The AppId's list, or an empty one.
    const std::vector<UsedAccount>& GetAccounts(uint32_t appId) const;
    // Writes every AppId's list to its file.
    void Save();

private:
    // The AppId's file; its folder is created when missing.
    static std::wstring UsedAccountsPath(uint32_t appId);

    std::vector<uint32_t> appIds_;
    std::map<uint32_t, std::vector<UsedAccount>> accounts_;
};
