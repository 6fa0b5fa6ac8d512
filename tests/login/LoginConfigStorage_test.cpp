#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "AccountTestDir.h"
#include "login/AccountCfgFile.h"
#include "login/AccountRecord.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"

namespace {

AccountRecord Record(uint64_t number, uint32_t time, uint8_t digestSeed = 0, uint8_t remember = 1)
{
    AccountRecord r;
    r.accountNumber = number;
    for (size_t i = 0; i < r.passwordDigest.size(); ++i)
        r.passwordDigest[i] = static_cast<uint8_t>(digestSeed + i);
    r.rememberPassword = remember;
    r.lastLoginTime = time;
    return r;
}

std::vector<uint8_t> Bytes(const std::vector<AccountRecord>& records, size_t tail = 0)
{
    std::vector<uint8_t> bytes;
    for (const AccountRecord& r : records) {
        const AccountRecord::Bytes b = r.Encode();
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    bytes.insert(bytes.end(), tail, 0x5A);
    return bytes;
}

AccountRecord RecordAt(const std::vector<uint8_t>& bytes, size_t index)
{
    AccountRecord::Bytes b{};
    std::copy_n(bytes.begin() + index * AccountRecord::kSize, AccountRecord::kSize, b.begin());
    return AccountRecord::Decode(b);
}

AccountSlot Slot(uint64_t number, uint8_t digestSeed, const wchar_t* email = L"", uint32_t loginType = 1)
{
    AccountSlot slot;
    slot.size = AccountSlot::kFilledSize;
    slot.accountNumber = number;
    slot.loginType = loginType;
    slot.rememberPassword = 1;
    CopyAccountText(slot.email, email);
    for (uint8_t i = 0; i < 16; ++i)
        slot.passwordDigest[i] = static_cast<uint8_t>(digestSeed + i);
    return slot;
}

uint32_t Now() { return static_cast<uint32_t>(std::time(nullptr)); }

class LoginConfigStorageTest : public ::testing::Test {
protected:
    std::wstring Cfg() const { return dir.Path() + L"Account.cfg"; }
    std::wstring InfoIni() const { return dir.Path() + L"Info.ini"; }
    std::wstring SettingsIni(uint64_t n) const
    {
        return dir.Path() + L"Config\\User\\nvsso\\" + std::to_wstring(n) + L"\\Config.ini";
    }
    void WriteCfg(const std::vector<AccountRecord>& records, size_t tail = 0)
    {
        ASSERT_TRUE(AccountTestDir::WriteBytes(Cfg(), Bytes(records, tail)));
    }

    AccountTestDir dir;
    CLoginConfigStorage storage;
};

} // namespace

TEST_F(LoginConfigStorageTest, LoadSkipsEmptyRecordsAndSortsNewestFirst)
{
    WriteCfg({Record(10000, 900), Record(0, 0), Record(10001, 100, 1), Record(5, 999),
              Record(20002, 300, 2, 0), Record(0, 0), Record(20003, 200, 3)},
             /*tail*/ 17);
    AccountTestDir::MakeDirs(dir.Path() + L"Config\\User\\nvsso\\20002");
    ::WritePrivateProfileStringW(L"LoginSet", L"IfIncog", L"1", SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"LoginSet", L"LoginType", L"2", SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"LoginSet", L"Email", (std::wstring(80, L'e') + L"@x.com").c_str(),
                                 SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"Public", L"LastKwiUin", L"20003", InfoIni().c_str());

    LoginInfoBlock block;
    storage.Load(&block);

    // 10000 and below are empty; the cut-short tail is no record at all.
    ASSERT_EQ(block.accountCount, 3u);
    EXPECT_EQ(block.accounts[0].accountNumber, 20002u);
    EXPECT_EQ(block.accounts[1].accountNumber, 20003u);
    EXPECT_EQ(block.accounts[2].accountNumber, 10001u);
    EXPECT_EQ(block.accounts[0].lastLoginTime, 300u);
    EXPECT_EQ(block.accounts[2].lastLoginTime, 100u);
    for (uint16_t i = 0; i < 3; ++i)
        EXPECT_EQ(block.accounts[i].size, AccountSlot::kFilledSize);
    EXPECT_EQ(block.accounts[0].rememberPassword, 0u);
    EXPECT_EQ(block.accounts[1].rememberPassword, 1u);
    EXPECT_EQ(block.accounts[2].passwordDigest[0], 1);
    EXPECT_EQ(block.accounts[2].passwordDigest[15], 16);

    // Settings of Config.ini, the e-mail cut to 63 units; defaults where the file is missing.
    EXPECT_EQ(block.accounts[0].incognito, 1u);
    EXPECT_EQ(block.accounts[0].loginType, 2u);
    EXPECT_EQ(std::wstring(block.accounts[0].email), std::wstring(63, L'e'));
    EXPECT_EQ(block.accounts[1].incognito, 0u);
    EXPECT_EQ(block.accounts[1].loginType, 1u);
    EXPECT_STREQ(block.accounts[1].email, L"");

    EXPECT_EQ(block.lastAccountNumber, 20003u);
    EXPECT_EQ(storage.LoadAccountCfg(nullptr), 0);
}

TEST_F(LoginConfigStorageTest, LoadHoldsAtMostTwentyAccounts)
{
    std::vector<AccountRecord> records;
    for (uint32_t i = 0; i < 21; ++i) {
        records.push_back(Record(30000 + i, 1000 + i));
        if (i % 5 == 0)
            records.push_back(Record(0, 0)); // deleted ones do not count
    }
    WriteCfg(records);

    LoginInfoBlock block;
    EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
    ASSERT_EQ(block.accountCount, 20u);
    // The 21st in file order is the one left out; the rest sorted newest first.
    EXPECT_EQ(block.FindByNumber(30020), nullptr);
    EXPECT_EQ(block.accounts[0].accountNumber, 30019u);
    EXPECT_EQ(block.accounts[19].accountNumber, 30000u);
}

TEST_F(LoginConfigStorageTest, MissingFileLoadsEmptyAndIsCreated)
{
    LoginInfoBlock block;
    block.accountCount = 3;
    EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
    EXPECT_EQ(block.accountCount, 0u);
    EXPECT_TRUE(AccountTestDir::Exists(Cfg()));
    uint64_t last = 99;
    EXPECT_FALSE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 0u);
}

TEST_F(LoginConfigStorageTest, SaveRewritesInPlaceWithTheCurrentTime)
{
    WriteCfg({Record(40001, 500, 1), Record(40002, 600, 2), Record(40003, 700, 3), Record(40002, 50, 4)});
    const size_t sizeBefore = AccountTestDir::ReadBytes(Cfg()).size();

    const AccountSlot slot = Slot(40002, 0x80, L"me@mail.com", 2);
    const uint32_t before = Now();
    ASSERT_TRUE(storage.SaveAccount(&slot));
    const uint32_t after = Now();

    // Same place, no growth; every copy of the account carries the new digest and time.
    const std::vector<uint8_t> bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), sizeBefore);
    for (size_t index : {size_t(1), size_t(3)}) {
        const AccountRecord r = RecordAt(bytes, index);
        EXPECT_EQ(r.accountNumber, 40002u);
        EXPECT_EQ(r.passwordDigest[0], 0x80);
        EXPECT_GE(r.lastLoginTime, before);
        EXPECT_LE(r.lastLoginTime, after);
    }
    EXPECT_EQ(RecordAt(bytes, 0).lastLoginTime, 500u);
    EXPECT_EQ(RecordAt(bytes, 2).passwordDigest[0], 3);

    EXPECT_EQ(AccountTestDir::IniString(SettingsIni(40002), L"LoginSet", L"LoginType"), L"2");
    EXPECT_EQ(AccountTestDir::IniString(SettingsIni(40002), L"LoginSet", L"IfIncog"), L"0");
    EXPECT_EQ(AccountTestDir::IniString(SettingsIni(40002), L"LoginSet", L"Email"), L"me@mail.com");
    // The last account is written where it is read back.
    EXPECT_EQ(AccountTestDir::IniString(InfoIni(), L"Public", L"LastKwiUin"), L"40002");
    EXPECT_EQ(AccountTestDir::IniString(InfoIni(), L"LoginSet", L"LastKwiUin"), L"40002");

    // The account just used comes first on the next load.
    LoginInfoBlock block;
    storage.Load(&block);
    EXPECT_EQ(block.accounts[0].accountNumber, 40002u);
    EXPECT_EQ(block.lastAccountNumber, 40002u);
}

TEST_F(LoginConfigStorageTest, AppendLandsOnRecordBoundary)
{
    // Two whole records and a tail of 10 bytes from a write cut short.
    WriteCfg({Record(50001, 1), Record(50002, 2)}, 10);

    const AccountSlot slot = Slot(50003, 7);
    ASSERT_TRUE(storage.SaveAccount(&slot));
    std::vector<uint8_t> bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), 3 * AccountRecord::kSize);
    EXPECT_EQ(RecordAt(bytes, 2).accountNumber, 50003u);
    EXPECT_EQ(RecordAt(bytes, 2).passwordDigest[0], 7);
    EXPECT_EQ(RecordAt(bytes, 2).rememberPassword, 1);

    const AccountSlot another = Slot(50004, 9);
    ASSERT_TRUE(storage.SaveAccount(&another));
    bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), 4 * AccountRecord::kSize);

    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    ASSERT_EQ(block.accountCount, 4u);
    EXPECT_NE(block.FindByNumber(50003), nullptr);
    EXPECT_NE(block.FindByNumber(50004), nullptr);

    // Without the remember choice no digest of the password is kept.
    AccountSlot forgetful = Slot(50005, 0x44);
    forgetful.rememberPassword = 0;
    ASSERT_TRUE(storage.SaveAccount(&forgetful));
    bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), 5 * AccountRecord::kSize);
    EXPECT_EQ(RecordAt(bytes, 4).accountNumber, 50005u);
    EXPECT_EQ(RecordAt(bytes, 4).rememberPassword, 0);
    EXPECT_EQ(RecordAt(bytes, 4).passwordDigest, (std::array<uint8_t, 16>{}));

    // Numbers that mark empty records are never stored.
    const AccountSlot empty = Slot(10000, 1);
    EXPECT_FALSE(storage.SaveAccount(&empty));
    EXPECT_FALSE(storage.SaveAccount(nullptr));
    EXPECT_EQ(AccountTestDir::ReadBytes(Cfg()).size(), 5 * AccountRecord::kSize);
}

TEST_F(LoginConfigStorageTest, EleventhAccountEvictsTheOldest)
{
    // Ten accounts; 60005 (index 4) is the oldest. A deleted record sits in between.
    std::vector<AccountRecord> records;
    for (uint32_t i = 0; i < 10; ++i)
        records.push_back(Record(60000 + i, i == 5 ? 10 : 1000 + i));
    records.insert(records.begin() + 2, Record(0, 0));
    WriteCfg(records);
    const std::wstring users = dir.Path() + L"config\\users\\60005";
    const std::wstring settings = dir.Path() + L"Config\\User\\nvsso\\60005";
    AccountTestDir::MakeDirs(users);
    AccountTestDir::MakeDirs(settings);
    AccountTestDir::WriteBytes(users + L"\\data.bin", {1, 2, 3});
    ::WritePrivateProfileStringW(L"LoginSet", L"LoginType", L"1", (settings + L"\\Config.ini").c_str());
    const std::wstring keptSettings = dir.Path() + L"Config\\User\\nvsso\\60006";
    AccountTestDir::MakeDirs(keptSettings);

    const AccountSlot slot = Slot(60100, 3);
    ASSERT_TRUE(storage.SaveAccount(&slot));

    const std::vector<uint8_t> bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), 12 * AccountRecord::kSize);
    // The evicted record is zeroed in place, the new one appended.
    for (size_t i = 0; i < AccountRecord::kSize; ++i)
        EXPECT_EQ(bytes[6 * AccountRecord::kSize + i], 0) << "byte " << i;
    EXPECT_EQ(RecordAt(bytes, 11).accountNumber, 60100u);
    EXPECT_FALSE(AccountTestDir::Exists(users));
    EXPECT_FALSE(AccountTestDir::Exists(settings));
    EXPECT_TRUE(AccountTestDir::Exists(keptSettings));
    // Into the recycle bin, not deleted for good.
    if (!TestRecycleBin::Get().FilesDir().empty()) {
        EXPECT_TRUE(TestRecycleBin::Get().HoldsFolderWith(L"60005", L"data.bin"));
        EXPECT_TRUE(TestRecycleBin::Get().HoldsFolderWith(L"60005", L"Config.ini"));
    }

    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 10u);
    EXPECT_EQ(block.FindByNumber(60005), nullptr);
    EXPECT_EQ(block.accounts[0].accountNumber, 60100u);

    // With nine accounts a new one is simply added.
    ASSERT_EQ(storage.RemoveAccount(60009), 1);
    const AccountSlot twelfth = Slot(60200, 4);
    ASSERT_TRUE(storage.SaveAccount(&twelfth));
    EXPECT_EQ(AccountTestDir::ReadBytes(Cfg()).size(), 13 * AccountRecord::kSize);
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 10u);
    EXPECT_NE(block.FindByNumber(60000), nullptr);
    EXPECT_NE(block.FindByNumber(60200), nullptr);
}

TEST_F(LoginConfigStorageTest, RemoveAccountClearsRecordFoldersAndLastAccount)
{
    WriteCfg({Record(70001, 5), Record(70002, 6), Record(70001, 7)});
    AccountTestDir::MakeDirs(dir.Path() + L"config\\users\\70001\\sub");
    AccountTestDir::MakeDirs(dir.Path() + L"Config\\User\\nvsso\\70001");
    storage.WriteLastUin(70001);

    EXPECT_EQ(storage.RemoveAccount(70001), 1);
    std::vector<uint8_t> bytes = AccountTestDir::ReadBytes(Cfg());
    ASSERT_EQ(bytes.size(), 3 * AccountRecord::kSize);
    // Only the first record of the account is cleared.
    EXPECT_EQ(RecordAt(bytes, 0).accountNumber, 0u);
    EXPECT_EQ(RecordAt(bytes, 0).lastLoginTime, 0u);
    EXPECT_EQ(RecordAt(bytes, 2).accountNumber, 70001u);
    EXPECT_FALSE(AccountTestDir::Exists(dir.Path() + L"config\\users\\70001"));
    EXPECT_FALSE(AccountTestDir::Exists(dir.Path() + L"Config\\User\\nvsso\\70001"));
    uint64_t last = 1;
    EXPECT_FALSE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 0u);

    // The last account stays when another one goes; folders that are not there count as gone.
    storage.WriteLastUin(70001);
    EXPECT_EQ(storage.RemoveAccount(70002), 1);
    EXPECT_TRUE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 70001u);

    // No record: nothing to clear.
    EXPECT_EQ(storage.RemoveAccount(79999), 0);
    EXPECT_EQ(storage.RemoveAccount(0), 0);
    bytes = AccountTestDir::ReadBytes(Cfg());
    EXPECT_EQ(RecordAt(bytes, 2).accountNumber, 70001u);
}

TEST_F(LoginConfigStorageTest, LastAccountNumberText)
{
    ::WritePrivateProfileStringW(L"Public", L"LastKwiUin", L"123456789012345", InfoIni().c_str());
    uint64_t last = 0;
    EXPECT_TRUE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 123456789012345ULL);
    for (const wchar_t* bad : {L"abc", L"-5", L"99999999999999999999", L"12x"}) {
        ::WritePrivateProfileStringW(L"Public", L"LastKwiUin", bad, InfoIni().c_str());
        last = 1;
        EXPECT_FALSE(storage.ReadLastUin(&last)) << bad;
        EXPECT_EQ(last, 0u) << bad;
    }
}

TEST_F(LoginConfigStorageTest, LoginSetAndConfigPath)
{
    const std::wstring ini = storage.AccountConfigIniPath(80001);
    EXPECT_EQ(ini, SettingsIni(80001));
    EXPECT_TRUE(AccountTestDir::Exists(dir.Path() + L"Config\\User\\nvsso\\80001"));

    AccountSlot slot = Slot(80001, 1, L"not@written.com", 3);
    slot.incognito = 7;
    EXPECT_EQ(storage.WriteLoginSet(&slot), 1);
    EXPECT_EQ(AccountTestDir::IniString(ini, L"LoginSet", L"IfIncog"), L"1");
    EXPECT_EQ(AccountTestDir::IniString(ini, L"LoginSet", L"LoginType"), L"3");
    EXPECT_EQ(AccountTestDir::IniString(ini, L"LoginSet", L"Email"), L"<absent>");
    EXPECT_EQ(storage.WriteLoginSet(nullptr), 0);
}

TEST_F(LoginConfigStorageTest, FileHeldByAnotherProcess)
{
    WriteCfg({Record(90001, 10, 1), Record(90002, 20, 2)});
    AccountTestDir::MakeDirs(dir.Path() + L"config\\users\\90001");
    const std::vector<uint8_t> original = AccountTestDir::ReadBytes(Cfg());
    {
        // Another launcher holds the file, opened as this program opens it.
        AccountCfgFile other(Cfg());
        ASSERT_TRUE(other.IsOpen());
        AccountCfgFile second(Cfg());
        EXPECT_FALSE(second.IsOpen());

        LoginInfoBlock block;
        block.accountCount = 5;
        EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
        EXPECT_EQ(block.accountCount, 0u);

        const AccountSlot slot = Slot(90003, 3);
        EXPECT_FALSE(storage.SaveAccount(&slot));
        EXPECT_EQ(storage.RemoveAccount(90001), 0);
        // Nothing else was written either.
        EXPECT_FALSE(AccountTestDir::Exists(InfoIni()));
        EXPECT_FALSE(AccountTestDir::Exists(SettingsIni(90003)));
        EXPECT_TRUE(AccountTestDir::Exists(dir.Path() + L"config\\users\\90001"));
    }
    EXPECT_EQ(AccountTestDir::ReadBytes(Cfg()), original);

    // Once released, the same operations go through.
    const AccountSlot slot = Slot(90003, 3);
    EXPECT_TRUE(storage.SaveAccount(&slot));
    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 3u);
}

TEST(LoginConfigStorage, ProcessWideInstance)
{
    EXPECT_EQ(&CLoginConfigStorage::GetInstance(), &CLoginConfigStorage::GetInstance());
}
