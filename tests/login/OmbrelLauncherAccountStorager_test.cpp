#include "tests/login/SSOTestBed.h"

#include "foundation/UniqueHandle.h"
#include "kit/Fuzz.h"
#include "login/OmbrelLauncherAccountStorager.h"

namespace {

constexpr uint32_t kApp = 1001;

using List = std::vector<UsedAccount>;

class AccountStoragerTest : public ::testing::Test {
protected:
    std::wstring UsedFile(uint32_t appId) const
    {
        return dir.File(L"data\\" + std::to_wstring(appId) + L"\\Account\\Account.cfg");
    }
    // A used-accounts file as another program version may have left it (code page 936).
    void WriteUsedFile(const std::string& text)
    {
        MakeDirs(dir.File(L"data\\1001\\Account"));
        ASSERT_TRUE(kit::WriteBytesToFile(UsedFile(kApp), text));
    }

    AccountTestDir dir;
};

List Reloaded(uint32_t appId)
{
    OmbrelLauncherAccountStorager fresh;
    fresh.Load(appId);
    return fresh.GetAccounts(appId);
}

void ExpectSame(const List& a, const List& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].accountNumber, b[i].accountNumber) << "entry " << i;
        EXPECT_EQ(a[i].nickName, b[i].nickName) << "entry " << i;
    }
}

} // namespace

TEST_F(AccountStoragerTest, ChineseNickNamesRoundTrip)
{
    OmbrelLauncherAccountStorager storager;
    EXPECT_TRUE(storager.GetAccounts(kApp).empty());
    EXPECT_TRUE(storager.AddAccount(kApp, {12345, L"张三"}));
    EXPECT_TRUE(storager.AddAccount(kApp, {4294967296ULL, L"李四的号 [主]=x"}));  // above 32 bits
    EXPECT_TRUE(storager.AddAccount(kApp, {123456789012345ULL, L""}));
    EXPECT_TRUE(storager.AddAccount(2002, {55555, L"王五"}));

    ExpectSame(Reloaded(kApp), {{12345, L"张三"}, {4294967296ULL, L"李四的号 [主]=x"}, {123456789012345ULL, L""}});
    ExpectSame(Reloaded(2002), {{55555, L"王五"}});
}

TEST_F(AccountStoragerTest, NinthAccountIsRefusedAndAListedOneTakesItsNewNickName)
{
    OmbrelLauncherAccountStorager storager;
    for (uint64_t i = 0; i < 8; ++i)
        EXPECT_TRUE(storager.AddAccount(kApp, {20000 + i, L"n" + std::to_wstring(i)}));
    EXPECT_FALSE(storager.AddAccount(kApp, {29999, L"ninth"}));
    ASSERT_EQ(storager.GetAccounts(kApp).size(), 8u);
    EXPECT_EQ(storager.GetAccounts(kApp).back().accountNumber, 20007u);
    ExpectSame(Reloaded(kApp), storager.GetAccounts(kApp));

    // A listed account keeps its place and takes the new nick name, also on a full list; a line
    // break cannot smuggle a key into the file.
    EXPECT_FALSE(storager.AddAccount(kApp, {20003, L"新名字\r\nitemuin9=1"}));
    EXPECT_EQ(storager.GetAccounts(kApp)[3].nickName, L"新名字\r\nitemuin9=1");
    const List back = Reloaded(kApp);
    ASSERT_EQ(back.size(), 8u);
    EXPECT_EQ(back[3].accountNumber, 20003u);
    EXPECT_EQ(back[3].nickName, L"新名字itemuin9=1");
}

TEST_F(AccountStoragerTest, GarbageEntriesAreSkipped)
{
    WriteUsedFile("[1001]\r\n"
                  "ItemCount=8\r\n"
                  "ItemUin1=12345\r\nItemNickName1=a\r\n"
                  "ItemUin2=abc\r\nItemNickName2=b\r\n"
                  "ItemUin3=99999999999999999999999\r\nItemNickName3=c\r\n"
                  "ItemUin4=4294967296\r\nItemNickName4=big\r\n"
                  "ItemUin5=0x3040\r\n"
                  "ItemUin7=-20001\r\nItemNickName7=neg\r\n"
                  "ItemUin8=0\r\nItemNickName8=zero\r\n"
                  "ItemUin9=77777\r\nItemNickName9=beyond count\r\n");
    OmbrelLauncherAccountStorager storager;
    storager.Load(kApp);
    const List expected = {{12345, L"a"}, {4294967296ULL, L"big"}, {0x3040, L""}};
    ExpectSame(storager.GetAccounts(kApp), expected);

    // Saving numbers the good entries from 1 and writes 64-bit numbers in decimal.
    EXPECT_TRUE(storager.AddAccount(kApp, {66666, L"new"}));
    EXPECT_EQ(AccountTestDir::IniString(UsedFile(kApp), L"1001", L"itemuin2"), L"4294967296");
    ExpectSame(Reloaded(kApp), storager.GetAccounts(kApp));
}

TEST_F(AccountStoragerTest, ItemCountIsBounded)
{
    std::string text = "[1001]\r\nItemCount=4000000000\r\n";
    for (int i = 1; i <= 70; ++i)
        text += "ItemUin" + std::to_string(i) + "=" + std::to_string(40000 + i) + "\r\n";
    WriteUsedFile(text);
    EXPECT_EQ(Reloaded(kApp).size(), static_cast<size_t>(OmbrelLauncherAccountStorager::kMaxItemCount));

    WriteUsedFile("[1001]\r\nItemCount=-3\r\nItemUin1=40001\r\n");
    EXPECT_TRUE(Reloaded(kApp).empty());
}

TEST_F(AccountStoragerTest, GetInstanceLoadsEveryGameOfSettings)
{
    dir.Write(L"settings.ini", "[1001]\r\nGameDataVersion=1\r\n[3003]\r\nGameDataVersion=1\r\n");
    {
        OmbrelLauncherAccountStorager writer;
        writer.AddAccount(1001, {10101, L"one"});
        writer.AddAccount(3003, {30303, L"three"});
        writer.AddAccount(4004, {40404, L"not listed"});
    }
    OmbrelLauncherAccountStorager& storager = OmbrelLauncherAccountStorager::GetInstance();
    ExpectSame(storager.GetAccounts(1001), {{10101, L"one"}});
    ExpectSame(storager.GetAccounts(3003), {{30303, L"three"}});
    EXPECT_TRUE(storager.GetAccounts(4004).empty());
}

// Two launchers of two games, each holding both games' lists, save in turn: each writes only the
// list it changed, merged with the file, so neither loses the other's accounts.
TEST_F(AccountStoragerTest, TwoLaunchersSavingInTurnLoseNoEntry)
{
    dir.Write(L"settings.ini", "[1001]\r\nGameDataVersion=1\r\n[2002]\r\nGameDataVersion=1\r\n");
    OmbrelLauncherAccountStorager first, second;
    first.LoadAll();
    second.LoadAll();
    EXPECT_TRUE(second.AddAccount(2002, {22001, L"b1"}));
    EXPECT_TRUE(first.AddAccount(1001, {11001, L"a1"}));
    EXPECT_TRUE(second.AddAccount(2002, {22002, L"b2"}));
    EXPECT_TRUE(first.AddAccount(1001, {11002, L"a2"}));
    // Two launchers of one game, each loaded before the other added.
    OmbrelLauncherAccountStorager late;
    late.Load(1001);
    EXPECT_TRUE(first.AddAccount(1001, {11003, L"a3"}));
    EXPECT_TRUE(late.AddAccount(1001, {11004, L"a4"}));
    ExpectSame(late.GetAccounts(1001), {{11001, L"a1"}, {11002, L"a2"}, {11003, L"a3"}, {11004, L"a4"}});

    ExpectSame(Reloaded(1001), {{11001, L"a1"}, {11002, L"a2"}, {11003, L"a3"}, {11004, L"a4"}});
    ExpectSame(Reloaded(2002), {{22001, L"b1"}, {22002, L"b2"}});
}

// The file held by another process while it loads: the list is empty, but the next save merges
// with the file once it can be read, so every remembered account stays; while it cannot be read,
// nothing is written and the failure is reported.
TEST_F(AccountStoragerTest, FileHeldDuringTheLoadLosesNoRememberedAccount)
{
    WriteUsedFile("[1001]\r\nItemCount=2\r\nItemUin1=10001\r\nItemNickName1=one\r\nItemUin2=10002\r\n");
    const std::string before = kit::ReadBytesFromFile(UsedFile(kApp));
    OmbrelLauncherAccountStorager storager;
    {
        mjz::UniqueHandle held(::CreateFileW(UsedFile(kApp).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        storager.Load(kApp);
        EXPECT_TRUE(storager.GetAccounts(kApp).empty());
        EXPECT_TRUE(storager.AddAccount(kApp, {10003, L"three"}));
        EXPECT_FALSE(storager.Save());
    }
    EXPECT_EQ(kit::ReadBytesFromFile(UsedFile(kApp)), before);
    EXPECT_TRUE(storager.AddAccount(kApp, {10004, L"four"}));
    const List all = {{10001, L"one"}, {10002, L""}, {10003, L"three"}, {10004, L"four"}};
    ExpectSame(storager.GetAccounts(kApp), all);
    ExpectSame(Reloaded(kApp), all);
    EXPECT_TRUE(storager.Save());  // nothing left to write
}

// Random or damaged used-accounts files load into a bounded list of good entries, which a save
// (with one more account while there is room) writes back exactly.
TEST_F(AccountStoragerTest, RandomUsedAccountsFileLoadsAndSavesCleanly)
{
    kit::FuzzRun fuzz;
    for (int round = 0; round < 1000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string text;
        if (fuzz.Below(3) == 0) {
            for (uint32_t n = fuzz.Below(600); n > 0; --n)
                text += static_cast<char>(fuzz.Below(256));
        } else {
            text = "[1001]\r\nItemCount=" + std::to_string(fuzz.Below(12)) + "\r\n";
            for (uint32_t i = 1; i <= 10; ++i) {
                text += "ItemUin" + std::to_string(i) + "=" + std::to_string(10000 + fuzz.Below(100000)) + "\r\n";
                text += "ItemNickName" + std::to_string(i) + "=\xD5\xC5nick" + std::to_string(i) + "\r\n";
            }
            text = fuzz.Mutate(text, 6);
        }
        WriteUsedFile(text);

        OmbrelLauncherAccountStorager storager;
        storager.Load(kApp);
        const List& list = storager.GetAccounts(kApp);
        ASSERT_LE(list.size(), static_cast<size_t>(OmbrelLauncherAccountStorager::kMaxItemCount));
        for (const UsedAccount& a : list) {
            EXPECT_NE(a.accountNumber, 0u);
            EXPECT_LE(a.nickName.size(), 40u);
        }
        const bool roomLeft = list.size() < OmbrelLauncherAccountStorager::kMaxAccounts;
        EXPECT_EQ(storager.AddAccount(kApp, {987654321, L"保存"}), roomLeft);
        storager.Save();
        ExpectSame(Reloaded(kApp), list);
    }
}
