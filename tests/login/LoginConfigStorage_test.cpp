#include "tests/login/SSOTestBed.h"

#include <cstring>
#include <ctime>

#include "foundation/UniqueHandle.h"
#include "kit/Fuzz.h"
#include "login/AccountCfgFile.h"
#include "login/AccountRecord.h"
#include "login/DecimalText.h"
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

std::string Bytes(const AccountRecord& record)
{
    const AccountRecord::Bytes b = record.Encode();
    return std::string(b.begin(), b.end());
}

AccountRecord RecordAt(const std::string& bytes, size_t index)
{
    AccountRecord::Bytes b{};
    std::memcpy(b.data(), bytes.data() + index * AccountRecord::kSize, AccountRecord::kSize);
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
        for (const AccountRecord& r : records)
            bytes += Bytes(r);
        ASSERT_TRUE(kit::WriteBytesToFile(Cfg(), bytes + std::string(tail, '\x5A')));
    }
    std::wstring Info(const wchar_t* section) const { return AccountTestDir::IniString(InfoIni(), section, L"LastKwiUin"); }
    std::wstring LoginSet(uint64_t n, const wchar_t* key) const { return AccountTestDir::IniString(SettingsIni(n), L"LoginSet", key); }

    AccountTestDir dir;
    CLoginConfigStorage storage;
};

// Random bytes, or a realistic file with a few accounts (some deleted) that was damaged.
std::string RandomAccountCfg(kit::Fuzz& fuzz)
{
    std::string bytes;
    if (fuzz.Below(2) == 0) {
        for (uint32_t n = fuzz.Below(30 * AccountRecord::kSize); n > 0; --n)
            bytes += static_cast<char>(fuzz.Below(256));
        return bytes;
    }
    for (uint32_t i = fuzz.Below(14); i > 0; --i)
        bytes += fuzz.Below(4) == 0 ? std::string(AccountRecord::kSize, '\0') : Bytes(Record(10001 + fuzz.Below(500), fuzz.Next()));
    return fuzz.Mutate(bytes, 3);
}

} // namespace

TEST(AccountRecord, EncodesLittleEndianWithoutPadding)
{
    const AccountRecord record = Record(0x0102030405060708ULL, 0x11223344, 0xA0);
    const AccountRecord::Bytes expected = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                                           0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
                                           0x01, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(record.Encode(), expected);
    const AccountRecord back = AccountRecord::Decode(expected);
    EXPECT_EQ(back.accountNumber, record.accountNumber);
    EXPECT_EQ(back.passwordDigest, record.passwordDigest);
    EXPECT_EQ(back.rememberPassword, 1);
    EXPECT_EQ(back.lastLoginTime, 0x11223344u);
}

TEST(DecimalText, FormatAndParse)
{
    EXPECT_EQ(FormatDecimalW(-42), L"-42");
    EXPECT_EQ(FormatDecimalW(2147483647), L"2147483647");
    EXPECT_EQ(FormatUInt64W(18446744073709551615ULL), L"18446744073709551615");

    const std::tuple<const wchar_t*, int, uint64_t> good[] = {
        {L"18446744073709551615", 10, 18446744073709551615ULL}, {L" 4294967296 ", 10, 4294967296ULL},
        {L"0x10", 0, 16}, {L"010", 0, 8}};
    for (const auto& [text, base, value] : good) {
        uint64_t v = 7;
        EXPECT_TRUE(TryParseUInt64W(text, base, v)) << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(v, value);
    }
    for (const wchar_t* bad : {L"18446744073709551616", L"-5", L"+5", L"12abc", L"", L"   ", static_cast<const wchar_t*>(nullptr)}) {
        uint64_t v = 7;
        EXPECT_FALSE(TryParseUInt64W(bad, 10, v)) << testing::PrintToString(std::wstring(bad ? bad : L"<null>"));
        EXPECT_EQ(v, 7u);
    }
}

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

// A missing file loads empty and is created; a long one loads the first twenty accounts.
TEST_F(LoginConfigStorageTest, LoadHoldsAtMostTwentyAccounts)
{
    LoginInfoBlock block;
    block.accountCount = 3;
    EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
    EXPECT_EQ(block.accountCount, 0u);
    EXPECT_TRUE(Exists(Cfg()));
    uint64_t last = 99;
    EXPECT_FALSE(storage.ReadLastUin(&last));
    EXPECT_EQ(last, 0u);

    std::vector<AccountRecord> records;
    for (uint32_t i = 0; i < 21; ++i) {
        records.push_back(Record(30000 + i, 1000 + i));
        if (i % 5 == 0)
            records.push_back(Record(0, 0)); // deleted ones do not count
    }
    WriteCfg(records);
    EXPECT_EQ(storage.LoadAccountCfg(&block), 1);
    ASSERT_EQ(block.accountCount, 20u);
    // The 21st in file order is the one left out; the rest sorted newest first.
    EXPECT_EQ(block.FindByNumber(30020), nullptr);
    EXPECT_EQ(block.accounts[0].accountNumber, 30019u);
    EXPECT_EQ(block.accounts[19].accountNumber, 30000u);
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
        // Another program (or an older launcher) holds the file open without sharing: it is
        // waited for a moment, then left alone.
        mjz::UniqueHandle other(::CreateFileW(Cfg().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(other);
        AccountCfgFile unread;
        EXPECT_FALSE(AccountCfgFile::Read(Cfg(), unread));
        EXPECT_EQ(unread.RecordCount(), 0u);

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

// Random or damaged account files load into a clean block and take a new account on a record
// boundary, as the newest one.
TEST_F(LoginConfigStorageTest, RandomAccountCfgLoadsAndSavesCleanly)
{
    constexpr uint64_t kSaved = 987654321;  // an account number the random inputs never hold
    kit::FuzzRun fuzz;
    const auto expectClean = [](const LoginInfoBlock& block) {
        ASSERT_LE(block.accountCount, LoginInfoBlock::kMaxAccounts);
        for (uint16_t i = 0; i < block.accountCount; ++i) {
            EXPECT_GE(block.accounts[i].accountNumber, AccountRecord::kFirstAccountNumber);
            EXPECT_EQ(block.accounts[i].size, AccountSlot::kFilledSize);
            EXPECT_LT(wcsnlen(block.accounts[i].email, kAccountTextUnits), kAccountTextUnits);
            if (i > 0) {
                EXPECT_LE(block.accounts[i].lastLoginTime, block.accounts[i - 1].lastLoginTime);
            }
        }
    };
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string input = RandomAccountCfg(fuzz);
        size_t accounts = 0;
        for (size_t i = 0; i < input.size() / AccountRecord::kSize; ++i)
            accounts += RecordAt(input, i).HoldsAccount() ? 1 : 0;
        ASSERT_TRUE(kit::WriteBytesToFile(Cfg(), input));

        LoginInfoBlock block;
        ASSERT_EQ(storage.LoadAccountCfg(&block), 1);
        expectClean(block);
        EXPECT_EQ(block.accountCount, std::min<size_t>(accounts, LoginInfoBlock::kMaxAccounts));

        AccountSlot slot = Slot(kSaved, 0xEE);
        ASSERT_TRUE(storage.SaveAccount(&slot));
        const std::string after = CfgBytes();
        EXPECT_EQ(after.size() % AccountRecord::kSize, 0u);
        EXPECT_EQ(after.size() / AccountRecord::kSize, input.size() / AccountRecord::kSize + 1);
        storage.LoadAccountCfg(&block);
        expectClean(block);
        const size_t left = accounts >= CLoginConfigStorage::kKeptAccounts ? accounts - 1 : accounts;
        if (left < LoginInfoBlock::kMaxAccounts) {
            const AccountSlot* saved = block.FindByNumber(kSaved);
            ASSERT_NE(saved, nullptr);
            EXPECT_EQ(saved->passwordDigest[0], 0xEE);
            EXPECT_EQ(block.accountCount, left + 1);
        }
    }
}

// The record walk under the loader, over many more inputs than the whole load above can take
// (which reads every account's settings): exactly the whole records, in order, each decoded from
// its own 29 bytes; a cut tail is never visited.
TEST_F(LoginConfigStorageTest, RandomAccountCfgRecordWalk)
{
    kit::FuzzRun fuzz;
    for (int round = 0; round < 1500; ++round) {
        const std::string input = RandomAccountCfg(fuzz);
        ASSERT_TRUE(kit::WriteBytesToFile(Cfg(), input));
        AccountCfgFile file;
        ASSERT_TRUE(AccountCfgFile::Read(Cfg(), file));
        uint64_t visited = 0;
        file.ForEachRecord([&](uint64_t index, const AccountRecord& record) {
            const AccountRecord expected = RecordAt(input, static_cast<size_t>(index));
            EXPECT_EQ(index, visited);
            EXPECT_EQ(record.accountNumber, expected.accountNumber);
            EXPECT_EQ(record.lastLoginTime, expected.lastLoginTime);
            EXPECT_EQ(record.passwordDigest, expected.passwordDigest);
            ++visited;
            return true;
        });
        ASSERT_EQ(visited, input.size() / AccountRecord::kSize) << "round " << round;
        ASSERT_EQ(file.RecordCount(), visited);
    }
}
