#include "tests/login/SSOTestBed.h"

#include <ctime>

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

AccountRecord RecordAt(const std::string& bytes, size_t index)
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
    std::wstring Cfg() const { return dir.File(L"Account.cfg"); }
    std::wstring InfoIni() const { return dir.File(L"Info.ini"); }
    std::wstring SettingsIni(uint64_t n) const { return dir.File(L"Config\\User\\nvsso\\" + std::to_wstring(n) + L"\\Config.ini"); }
    std::string CfgBytes() const { return kit::ReadBytesFromFile(Cfg()); }
    // The records, then a tail of a write cut short.
    void WriteCfg(const std::vector<AccountRecord>& records, size_t tail = 0)
    {
        std::string bytes;
        for (const AccountRecord& r : records) {
            const AccountRecord::Bytes b = r.Encode();
            bytes.append(b.begin(), b.end());
        }
        ASSERT_TRUE(kit::WriteBytesToFile(Cfg(), bytes + std::string(tail, '\x5A')));
    }
    std::wstring Info(const wchar_t* section) const { return AccountTestDir::IniString(InfoIni(), section, L"LastKwiUin"); }
    std::wstring LoginSet(uint64_t n, const wchar_t* key) const { return AccountTestDir::IniString(SettingsIni(n), L"LoginSet", key); }

    AccountTestDir dir;
    CLoginConfigStorage storage;
};

} // namespace

TEST_F(LoginConfigStorageTest, LoadSkipsEmptyRecordsAndSortsNewestFirst)
{
    WriteCfg({Record(10000, 900), Record(0, 0), Record(10001, 100, 1), Record(5, 999),
              Record(20002, 300, 2, 0), Record(0, 0), Record(20003, 200, 3)},
             /*tail*/ 17);
    MakeDirs(dir.File(L"Config\\User\\nvsso\\20002"));
    ::WritePrivateProfileStringW(L"LoginSet", L"IfIncog", L"1", SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"LoginSet", L"LoginType", L"2", SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"LoginSet", L"Email", (std::wstring(80, L'e') + L"@x.com").c_str(),
                                 SettingsIni(20002).c_str());
    ::WritePrivateProfileStringW(L"Public", L"LastKwiUin", L"20003", InfoIni().c_str());

    LoginInfoBlock block;
    storage.Load(&block);

    // 10000 and below are empty; the cut-short tail is no record at all.
    ASSERT_EQ(block.accountCount, 3u);
    const uint64_t numbers[] = {20002, 20003, 10001};
    const uint32_t times[] = {300, 200, 100};
    for (uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(block.accounts[i].accountNumber, numbers[i]);
        EXPECT_EQ(block.accounts[i].lastLoginTime, times[i]);
        EXPECT_EQ(block.accounts[i].size, AccountSlot::kFilledSize);
        EXPECT_EQ(block.accounts[i].rememberPassword, i == 0 ? 0u : 1u);
    }
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
    EXPECT_TRUE(Exists(Cfg()));
    uint64_t last = 99;
    EXPECT_FALSE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 0u);
}

TEST_F(LoginConfigStorageTest, SaveRewritesInPlaceWithTheCurrentTime)
{
    WriteCfg({Record(40001, 500, 1), Record(40002, 600, 2), Record(40003, 700, 3), Record(40002, 50, 4)});
    const size_t sizeBefore = CfgBytes().size();

    const AccountSlot slot = Slot(40002, 0x80, L"me@mail.com", 2);
    const uint32_t before = Now();
    ASSERT_TRUE(storage.SaveAccount(&slot));
    const uint32_t after = Now();

    // Same place, no growth; every copy of the account carries the new digest and time.
    const std::string bytes = CfgBytes();
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

    EXPECT_EQ(LoginSet(40002, L"LoginType"), L"2");
    EXPECT_EQ(LoginSet(40002, L"IfIncog"), L"0");
    EXPECT_EQ(LoginSet(40002, L"Email"), L"me@mail.com");
    // The last account is written where it is read back.
    EXPECT_EQ(Info(L"Public"), L"40002");
    EXPECT_EQ(Info(L"LoginSet"), L"40002");

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
    ASSERT_EQ(CfgBytes().size(), 3 * AccountRecord::kSize);
    EXPECT_EQ(RecordAt(CfgBytes(), 2).accountNumber, 50003u);
    EXPECT_EQ(RecordAt(CfgBytes(), 2).passwordDigest[0], 7);
    EXPECT_EQ(RecordAt(CfgBytes(), 2).rememberPassword, 1);

    const AccountSlot another = Slot(50004, 9);
    ASSERT_TRUE(storage.SaveAccount(&another));
    ASSERT_EQ(CfgBytes().size(), 4 * AccountRecord::kSize);
    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    ASSERT_EQ(block.accountCount, 4u);
    EXPECT_NE(block.FindByNumber(50003), nullptr);

    // Without the remember choice no digest of the password is kept.
    AccountSlot forgetful = Slot(50005, 0x44);
    forgetful.rememberPassword = 0;
    ASSERT_TRUE(storage.SaveAccount(&forgetful));
    ASSERT_EQ(CfgBytes().size(), 5 * AccountRecord::kSize);
    EXPECT_EQ(RecordAt(CfgBytes(), 4).accountNumber, 50005u);
    EXPECT_EQ(RecordAt(CfgBytes(), 4).rememberPassword, 0);
    EXPECT_EQ(RecordAt(CfgBytes(), 4).passwordDigest, (std::array<uint8_t, 16>{}));

    // Numbers that mark empty records are never stored.
    const AccountSlot empty = Slot(10000, 1);
    EXPECT_FALSE(storage.SaveAccount(&empty));
    EXPECT_FALSE(storage.SaveAccount(nullptr));
    EXPECT_EQ(CfgBytes().size(), 5 * AccountRecord::kSize);
}

TEST_F(LoginConfigStorageTest, EleventhAccountEvictsTheOldest)
{
    // Ten accounts; 60005 (index 4) is the oldest. A deleted record sits in between.
    std::vector<AccountRecord> records;
    for (uint32_t i = 0; i < 10; ++i)
        records.push_back(Record(60000 + i, i == 5 ? 10 : 1000 + i));
    records.insert(records.begin() + 2, Record(0, 0));
    WriteCfg(records);
    const std::wstring users = dir.File(L"config\\users\\60005");
    const std::wstring settings = dir.File(L"Config\\User\\nvsso\\60005");
    MakeDirs(users);
    MakeDirs(settings);
    kit::WriteBytesToFile(users + L"\\data.bin", "\1\2\3");
    ::WritePrivateProfileStringW(L"LoginSet", L"LoginType", L"1", (settings + L"\\Config.ini").c_str());
    const std::wstring keptSettings = dir.File(L"Config\\User\\nvsso\\60006");
    MakeDirs(keptSettings);

    const AccountSlot slot = Slot(60100, 3);
    ASSERT_TRUE(storage.SaveAccount(&slot));

    const std::string bytes = CfgBytes();
    ASSERT_EQ(bytes.size(), 12 * AccountRecord::kSize);
    // The evicted record is zeroed in place, the new one appended.
    EXPECT_EQ(bytes.substr(6 * AccountRecord::kSize, AccountRecord::kSize), std::string(AccountRecord::kSize, '\0'));
    EXPECT_EQ(RecordAt(bytes, 11).accountNumber, 60100u);
    EXPECT_FALSE(Exists(users));
    EXPECT_FALSE(Exists(settings));
    EXPECT_TRUE(Exists(keptSettings));
    // Into the recycle bin, not deleted for good.
    EXPECT_TRUE(TestRecycleBin::Get().HoldsFolderWith(L"60005", L"data.bin"));
    EXPECT_TRUE(TestRecycleBin::Get().HoldsFolderWith(L"60005", L"Config.ini"));

    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 10u);
    EXPECT_EQ(block.FindByNumber(60005), nullptr);
    EXPECT_EQ(block.accounts[0].accountNumber, 60100u);

    // With nine accounts a new one is simply added.
    ASSERT_EQ(storage.RemoveAccount(60009), 1);
    const AccountSlot twelfth = Slot(60200, 4);
    ASSERT_TRUE(storage.SaveAccount(&twelfth));
    EXPECT_EQ(CfgBytes().size(), 13 * AccountRecord::kSize);
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 10u);
    EXPECT_NE(block.FindByNumber(60000), nullptr);
    EXPECT_NE(block.FindByNumber(60200), nullptr);
}

TEST_F(LoginConfigStorageTest, RemoveAccountClearsRecordFoldersAndLastAccount)
{
    WriteCfg({Record(70001, 5), Record(70002, 6), Record(70001, 7)});
    MakeDirs(dir.File(L"config\\users\\70001\\sub"));
    MakeDirs(dir.File(L"Config\\User\\nvsso\\70001"));
    storage.WriteLastUin(70001);

    EXPECT_EQ(storage.RemoveAccount(70001), 1);
    ASSERT_EQ(CfgBytes().size(), 3 * AccountRecord::kSize);
    // Only the first record of the account is cleared.
    EXPECT_EQ(RecordAt(CfgBytes(), 0).accountNumber, 0u);
    EXPECT_EQ(RecordAt(CfgBytes(), 0).lastLoginTime, 0u);
    EXPECT_EQ(RecordAt(CfgBytes(), 2).accountNumber, 70001u);
    EXPECT_FALSE(Exists(dir.File(L"config\\users\\70001")));
    EXPECT_FALSE(Exists(dir.File(L"Config\\User\\nvsso\\70001")));
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
    EXPECT_EQ(RecordAt(CfgBytes(), 2).accountNumber, 70001u);
}

TEST_F(LoginConfigStorageTest, LastAccountNumberIsA64BitDecimal)
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

TEST_F(LoginConfigStorageTest, LoginSetLeavesTheEmailAlone)
{
    EXPECT_EQ(storage.AccountConfigIniPath(80001), SettingsIni(80001));
    EXPECT_TRUE(Exists(dir.File(L"Config\\User\\nvsso\\80001")));

    AccountSlot slot = Slot(80001, 1, L"not@written.com", 3);
    slot.incognito = 7;
    EXPECT_EQ(storage.WriteLoginSet(&slot), 1);
    EXPECT_EQ(LoginSet(80001, L"IfIncog"), L"1");
    EXPECT_EQ(LoginSet(80001, L"LoginType"), L"3");
    EXPECT_EQ(LoginSet(80001, L"Email"), L"<absent>");
    EXPECT_EQ(storage.WriteLoginSet(nullptr), 0);
}

TEST_F(LoginConfigStorageTest, FileHeldByAnotherProcess)
{
    WriteCfg({Record(90001, 10, 1), Record(90002, 20, 2)});
    MakeDirs(dir.File(L"config\\users\\90001"));
    const std::string original = CfgBytes();
    const AccountSlot slot = Slot(90003, 3);
    {
        // Another launcher holds the file, opened as this program opens it.
        AccountCfgFile other(Cfg());
        ASSERT_TRUE(other.IsOpen());
        EXPECT_FALSE(AccountCfgFile(Cfg()).IsOpen());

        LoginInfoBlock block;
        block.accountCount = 5;
        EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
        EXPECT_EQ(block.accountCount, 0u);
        EXPECT_FALSE(storage.SaveAccount(&slot));
        EXPECT_EQ(storage.RemoveAccount(90001), 0);
        // Nothing else was written either.
        EXPECT_FALSE(Exists(InfoIni()));
        EXPECT_FALSE(Exists(SettingsIni(90003)));
        EXPECT_TRUE(Exists(dir.File(L"config\\users\\90001")));
    }
    EXPECT_EQ(CfgBytes(), original);

    // Once released, the same operations go through.
    EXPECT_TRUE(storage.SaveAccount(&slot));
    LoginInfoBlock block;
    storage.LoadAccountCfg(&block);
    EXPECT_EQ(block.accountCount, 3u);
}
