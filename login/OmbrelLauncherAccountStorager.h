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
    // not a number are skipped. A file that exists but could not be read (another
    // process holds it) leaves the list empty and is traced.
    void Load(uint32_t appId);
    // Appends the account and saves; true when it was appended. An account already
    // listed only takes the new nick name (saved, false); a full list stays as it is.
    bool AddAccount(uint32_t appId, const UsedAccount& account);
    // The AppId's list, or an empty one.
    const std::vector<UsedAccount>& GetAccounts(uint32_t appId) const;
    // Writes the accounts this process added or renamed into their games' files,
    // each merged with what the file holds at that moment (under the file's lock
    // of all processes), so that no account another launcher wrote is lost. A
    // file that cannot be read is not rewritten; its changes wait for the next
    // save. True when every change was written; failures are traced.
    bool Save();

private:
    // The AppId's file; its folder is created when missing.
    static std::wstring UsedAccountsPath(uint32_t appId);
    // One game's changes merged into its file; false when not written.
    bool SaveGame(uint32_t appId, const std::vector<UsedAccount>& changes);

    std::vector<uint32_t> appIds_;
    std::map<uint32_t, std::vector<UsedAccount>> accounts_;
    // Per AppId, the accounts added or renamed here and not yet written.
    std::map<uint32_t, std::vector<UsedAccount>> unsaved_;
};
