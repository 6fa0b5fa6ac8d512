#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "login/LoginInfoBlock.h"

class AccountCfgFile;
struct AccountRecord;

// Reads and writes the accounts remembered on this machine, all under the working
// directory: the records of "Account.cfg", each account's [LoginSet] in
// "Config\User\nvsso\<number>\Config.ini", and the last account in "Info.ini".
//
// "Account.cfg" is shared by the launchers of every game: a save or removal is one
// read-modify-write under the file's lock of all processes, merged into what is on
// disk at that moment, and replaces the file in one step (AccountCfgFile), so no
// launcher loses another one's account and a kill leaves the old or the new file.
// The settings files are changed the same way (ProfileFile). While the file cannot
// be read (held elsewhere without sharing, past a short wait), loading sees no
// accounts and saving or removing writes nothing.
class CLoginConfigStorage {
public:
    // Accounts kept in "Account.cfg"; saving a new one beyond this evicts the oldest.
    static constexpr uint16_t kKeptAccounts = 10;

    CLoginConfigStorage() = default;
    virtual ~CLoginConfigStorage() = default;
    CLoginConfigStorage(const CLoginConfigStorage&) = delete;
    CLoginConfigStorage& operator=(const CLoginConfigStorage&) = delete;

    // The process-wide instance, created on first use.
    static CLoginConfigStorage& GetInstance();

    // LoadAccountCfg, then ReadLastUin into the block's last account number.
    void Load(LoginInfoBlock* block);
    // Fills the block's slots from "Account.cfg" and the accounts' Config.ini,
    // newest login first. 0 for a null block, else 1.
    int LoadAccountCfg(LoginInfoBlock* block);
    // "LastKwiUin" of Info.ini; true when it is non-zero.
    bool ReadLastUin(uint64_t* accountNumber);
    // Stores the account's record and settings and makes it the last account.
    // False when nothing was written (no slot, "Account.cfg" unreadable, write error).
    bool SaveAccount(const AccountSlot* slot);
    // [LoginSet] "IfIncog" and "LoginType" of the slot. 0 for a null slot, else 1.
    int WriteLoginSet(const AccountSlot* slot);
    // Clears the account's record and removes its folders. 1 when the record was
    // found and cleared and the folders are gone.
    int RemoveAccount(uint64_t accountNumber);
    void WriteLastUin(uint64_t accountNumber);
    // "<work dir>Config\User\nvsso\<number>\Config.ini"; the folder is created.
    std::wstring AccountConfigIniPath(uint64_t accountNumber);

private:
    static std::wstring WorkDir();
    static std::wstring AccountCfgPath();
    static std::wstring InfoIniPath();

    // Reads up to 20 accounts' records into the block.
    static void LoadRecords(const AccountCfgFile& file, LoginInfoBlock& block);
    void ReadAccountSettings(AccountSlot& slot);
    void WriteAccountSettings(const AccountSlot& slot, bool withEmail);

    // Rewrites every record of the account; false when it has none.
    static bool RewriteAccount(AccountCfgFile& file, const AccountRecord& record);
    // Makes room for one more account by clearing the oldest one's record; its number, if any.
    static std::optional<uint64_t> TrimAccounts(AccountCfgFile& file);
    // Zeroes the first record of the account; false when it has none.
    static bool ClearRecord(AccountCfgFile& file, uint64_t accountNumber);
    // What goes with a cleared record: the account's folders and, once they are gone, its place
    // as the last account. False when the folders stayed.
    bool ForgetAccount(uint64_t accountNumber);
    bool RemoveAccountFolders(uint64_t accountNumber);
};
