#include "login/LoginConfigStorage.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <cwchar>
#include <iterator>
#include <vector>

#include "foundation/Folders.h"
#include "foundation/ProfileFile.h"
#include "foundation/TraceLog.h"
#include "launcher/LaunchParams.h"
#include "login/AccountCfgFile.h"
#include "login/AccountRecord.h"
#include "login/DecimalText.h"

namespace {

constexpr wchar_t kLoginSet[] = L"LoginSet";
constexpr wchar_t kPublic[] = L"Public";
constexpr wchar_t kLastUinKey[] = L"LastKwiUin";
// FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO: quietly, into the recycle bin.
constexpr FILEOP_FLAGS kRecycleFlags = 0x54;

uint32_t CurrentTime()
{
    return static_cast<uint32_t>(std::time(nullptr));
}

AccountRecord RecordOf(const AccountSlot& slot, uint32_t time)
{
    AccountRecord record;
    record.accountNumber = slot.accountNumber;
    // The password's digest stays on disk only when the user asked to remember it.
    if (slot.rememberPassword)
        std::copy(std::begin(slot.passwordDigest), std::end(slot.passwordDigest), record.passwordDigest.begin());
    record.rememberPassword = slot.rememberPassword ? 1 : 0;
    record.lastLoginTime = time;
    return record;
}

// Moves a folder to the recycle bin; a folder that is not there counts as removed.
bool RecycleFolder(const std::wstring& path)
{
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    std::wstring from = path;
    from.push_back(L'\0'); // the list of names ends with an empty name
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str(); // c_str adds the second terminating zero
    op.fFlags = kRecycleFlags;
    return ::SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

void TraceUnavailable(const wchar_t* function)
{
    if (IsTraceViewerPresent())
        TraceLog(L"CLoginConfigStorage::%s() Account.cfg could not be read or written, error %lu", function,
                 ::GetLastError());
}

} // namespace

CLoginConfigStorage& CLoginConfigStorage::GetInstance()
{
    static CLoginConfigStorage storage;
    return storage;
}

std::wstring CLoginConfigStorage::WorkDir()
{
    return LaunchParams::Instance().GetWorkDir();
}

std::wstring CLoginConfigStorage::AccountCfgPath()
{
    return WorkDir() + L"Account.cfg";
}

std::wstring CLoginConfigStorage::InfoIniPath()
{
    return WorkDir() + L"Info.ini";
}

std::wstring CLoginConfigStorage::AccountConfigIniPath(uint64_t accountNumber)
{
    const std::wstring folder = WorkDir() + L"Config\\User\\nvsso\\" + FormatUInt64W(accountNumber);
    EnsureFolder(folder);
    return folder + L"\\Config.ini";
}

void CLoginConfigStorage::Load(LoginInfoBlock* block)
{
    if (!block)
        return;
    LoadAccountCfg(block);
    ReadLastUin(&block->lastAccountNumber);
}

void CLoginConfigStorage::LoadRecords(const AccountCfgFile& file, LoginInfoBlock& block)
{
    file.ForEachRecord([&block](uint64_t, const AccountRecord& record) {
        if (block.accountCount >= LoginInfoBlock::kMaxAccounts)
            return false;
        if (!record.HoldsAccount())
            return true;
        AccountSlot& slot = block.accounts[block.accountCount++];
        slot = AccountSlot{};
        slot.size = AccountSlot::kFilledSize;
        slot.accountNumber = record.accountNumber;
        std::copy(record.passwordDigest.begin(), record.passwordDigest.end(), slot.passwordDigest);
        slot.rememberPassword = record.rememberPassword;
        slot.lastLoginTime = record.lastLoginTime;
        return block.accountCount < LoginInfoBlock::kMaxAccounts;
    });
}

int CLoginConfigStorage::LoadAccountCfg(LoginInfoBlock* block)
{
    if (!block)
        return 0;
    block->accountCount = 0;
    for (AccountSlot& slot : block->accounts)
        slot = AccountSlot{};
    AccountCfgFile file;
    if (AccountCfgFile::Read(AccountCfgPath(), file))
        LoadRecords(file, *block);
    else
        TraceUnavailable(L"LoadAccountCfg");
    for (uint16_t i = 0; i < block->accountCount; ++i)
        ReadAccountSettings(block->accounts[i]);
    block->SortByLastLogin();
    return 1;
}

void CLoginConfigStorage::ReadAccountSettings(AccountSlot& slot)
{
    const std::wstring ini = AccountConfigIniPath(slot.accountNumber);
    slot.incognito = ::GetPrivateProfileIntW(kLoginSet, L"IfIncog", 0, ini.c_str());
    slot.loginType = ::GetPrivateProfileIntW(kLoginSet, L"LoginType", 1, ini.c_str());
    ::GetPrivateProfileStringW(kLoginSet, L"Email", L"", slot.email, kAccountTextUnits, ini.c_str());
}

void CLoginConfigStorage::WriteAccountSettings(const AccountSlot& slot, bool withEmail)
{
    std::vector<ProfileFile::Entry> entries = {
        {kLoginSet, L"IfIncog", slot.incognito ? L"1" : L"0"},
        {kLoginSet, L"LoginType", FormatDecimalW(static_cast<int32_t>(slot.loginType))}};
    if (withEmail)
        entries.push_back({kLoginSet, L"Email", std::wstring(slot.email, wcsnlen(slot.email, kAccountTextUnits - 1))});
    ProfileFile::Write(AccountConfigIniPath(slot.accountNumber), entries);
}

int CLoginConfigStorage::WriteLoginSet(const AccountSlot* slot)
{
    if (!slot)
        return 0;
    WriteAccountSettings(*slot, false);
    return 1;
}

bool CLoginConfigStorage::ReadLastUin(uint64_t* accountNumber)
{
    wchar_t text[64] = {};
    ::GetPrivateProfileStringW(kPublic, kLastUinKey, L"", text, 64, InfoIniPath().c_str());
    uint64_t value = 0;
    if (!TryParseUInt64W(text, 10, value))
        value = 0; // a damaged value names no account
    if (accountNumber)
        *accountNumber = value;
    return value != 0;
}

void CLoginConfigStorage::WriteLastUin(uint64_t accountNumber)
{
    // Read from [Public]; [LoginSet] is kept up to date for readers that look there.
    const std::wstring text = FormatUInt64W(accountNumber);
    ProfileFile::Write(InfoIniPath(), {{kPublic, kLastUinKey, text}, {kLoginSet, kLastUinKey, text}});
}

bool CLoginConfigStorage::SaveAccount(const AccountSlot* slot)
{
    // Numbers below the first account number mark empty records and are never stored.
    if (!slot || slot->accountNumber < AccountRecord::kFirstAccountNumber)
        return false;
    // The account just used carries the current time, so it sorts first and is the last to be
    // evicted.
    const AccountRecord record = RecordOf(*slot, CurrentTime());
    std::optional<uint64_t> evicted;
    const bool written = AccountCfgFile::Update(AccountCfgPath(), [&](AccountCfgFile& file) {
        if (!RewriteAccount(file, record)) {
            evicted = TrimAccounts(file);
            file.AppendRecord(record);
        }
        return true;
    });
    if (!written) {
        TraceUnavailable(L"SaveAccount");
        return false;
    }
    // An evicted account's folders go once its record is gone from the file.
    if (evicted)
        ForgetAccount(*evicted);
    WriteAccountSettings(*slot, true);
    WriteLastUin(slot->accountNumber);
    return true;
}

bool CLoginConfigStorage::RewriteAccount(AccountCfgFile& file, const AccountRecord& record)
{
    // Indexes first, writes afterwards: no record changes under the walk.
    std::vector<uint64_t> matches;
    file.ForEachRecord([&](uint64_t index, const AccountRecord& existing) {
        if (existing.accountNumber == record.accountNumber)
            matches.push_back(index);
        return true;
    });
    for (uint64_t index : matches)
        file.WriteRecord(index, record);
    return !matches.empty();
}

std::optional<uint64_t> CLoginConfigStorage::TrimAccounts(AccountCfgFile& file)
{
    LoginInfoBlock block;
    LoadRecords(file, block);
    if (block.accountCount < kKeptAccounts)
        return std::nullopt;
    block.SortByLastLogin();
    const AccountSlot* oldest = &block.accounts[0];
    for (uint16_t i = 1; i < block.accountCount; ++i) {
        if (block.accounts[i].lastLoginTime < oldest->lastLoginTime)
            oldest = &block.accounts[i];
    }
    if (!ClearRecord(file, oldest->accountNumber))
        return std::nullopt;
    return oldest->accountNumber;
}

int CLoginConfigStorage::RemoveAccount(uint64_t accountNumber)
{
    // Smaller numbers would match the zeroed records of deleted accounts.
    if (accountNumber < AccountRecord::kFirstAccountNumber)
        return 0;

    // 1. The first record of the account becomes all zero; records never leave the file.
    bool read = false;
    bool cleared = false;
    const bool written = AccountCfgFile::Update(AccountCfgPath(), [&](AccountCfgFile& file) {
        read = true;
        cleared = ClearRecord(file, accountNumber);
        return cleared;
    });
    // A record that still stands keeps the account's folders.
    if (!read || (cleared && !written)) {
        TraceUnavailable(L"RemoveAccount");
        return 0;
    }

    // 2. Its folders, and its place as the last account.
    const bool forgotten = ForgetAccount(accountNumber);
    return cleared && forgotten ? 1 : 0;
}

bool CLoginConfigStorage::ClearRecord(AccountCfgFile& file, uint64_t accountNumber)
{
    std::optional<uint64_t> found;
    file.ForEachRecord([&](uint64_t index, const AccountRecord& record) {
        if (record.accountNumber != accountNumber)
            return true;
        found = index;
        return false;
    });
    return found && file.WriteRecord(*found, AccountRecord{});
}

bool CLoginConfigStorage::ForgetAccount(uint64_t accountNumber)
{
    // Its folders go to the recycle bin; only then is it no longer the last account.
    if (!RemoveAccountFolders(accountNumber))
        return false;
    uint64_t last = 0;
    if (ReadLastUin(&last) && last == accountNumber)
        WriteLastUin(0);
    return true;
}

bool CLoginConfigStorage::RemoveAccountFolders(uint64_t accountNumber)
{
    const std::wstring number = FormatUInt64W(accountNumber);
    const std::wstring dir = WorkDir();
    const bool users = RecycleFolder(dir + L"config\\users\\" + number);
    const bool settings = RecycleFolder(dir + L"Config\\User\\nvsso\\" + number);
    return users && settings;
}
