#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AccountTestDir.h"
#include "login/OmbrelLauncherAccountStorager.h"

namespace {

constexpr uint32_t kApp = 1001;

class AccountStoragerTest : public ::testing::Test {
protected:
    std::wstring UsedFile(uint32_t appId) const
    {
        return dir.Path() + L"data\\" + std::to_wstring(appId) + L"\\Account\\Account.cfg";
    }
    // A used-accounts file as another program version may have left it (code page 936).
    void WriteUsedFile(uint32_t appId, const std::string& text)
    {
        AccountTestDir::MakeDirs(dir.Path() + L"data\\" + std::to_wstring(appId) + L"\\Account");
        ASSERT_TRUE(AccountTestDir::WriteBytes(UsedFile(appId), std::vector<uint8_t>(text.begin(), text.end())));
    }
    static std::vector<UsedAccount> Reloaded(uint32_t appId)
    {
        OmbrelLauncherAccountStorager fresh;
        fresh.Load(appId);
        return fresh.GetAccounts(appId);
    }

    AccountTestDir dir;
};

void ExpectSame(const std::vector<UsedAccount>& a, const std::vector<UsedAccount>& b)
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
    EXPECT_TRUE(storager.AddAccount(kApp, {4294967296ULL, L"李四的号 [主]=x"}));
    EXPECT_TRUE(storager.AddAccount(kApp, {123456789012345ULL, L""}));
    EXPECT_TRUE(storager.AddAccount(2002, {55555, L"王五"}));

    EXPECT_TRUE(AccountTestDir::Exists(UsedFile(kApp)));
    EXPECT_TRUE(AccountTestDir::Exists(UsedFile(2002)));
    // Numbers above 32 bits come back whole.
    ExpectSame(Reloaded(kApp), storager.GetAccounts(kApp));
    ExpectSame(Reloaded(2002), {{55555, L"王五"}});
    EXPECT_EQ(Reloaded(kApp)[1].accountNumber, 4294967296ULL);
}

TEST_F(AccountStoragerTest, NinthAccountIsRefused)
{
    OmbrelLauncherAccountStorager storager;
    for (uint64_t i = 0; i < 8; ++i)
        EXPECT_TRUE(storager.AddAccount(kApp, {20000 + i, L"n" + std::to_wstring(i)}));
    EXPECT_FALSE(storager.AddAccount(kApp, {29999, L"ninth"}));
    ASSERT_EQ(storager.GetAccounts(kApp).size(), 8u);
    EXPECT_EQ(storager.GetAccounts(kApp).front().accountNumber, 20000u);
    EXPECT_EQ(storager.GetAccounts(kApp).back().accountNumber, 20007u);
    ExpectSame(Reloaded(kApp), storager.GetAccounts(kApp));

    // A listed account still gets its new nick name on a full list.
    EXPECT_FALSE(storager.AddAccount(kApp, {20003, L"新名字"}));
    EXPECT_EQ(storager.GetAccounts(kApp)[3].nickName, L"新名字");
    EXPECT_EQ(Reloaded(kApp)[3].nickName, L"新名字");
    EXPECT_EQ(Reloaded(kApp).size(), 8u);
}

TEST_F(AccountStoragerTest, ExistingAccountTakesNewNickName)
{
    OmbrelLauncherAccountStorager storager;
    ASSERT_TRUE(storager.AddAccount(kApp, {30001, L"old"}));
    ASSERT_TRUE(storager.AddAccount(kApp, {30002, L"other"}));
    EXPECT_FALSE(storager.AddAccount(kApp, {30001, L"new\r\nitemuin9=1"}));
    ASSERT_EQ(storager.GetAccounts(kApp).size(), 2u);
    // A line break cannot smuggle a key into the file.
    const std::vector<UsedAccount> back = Reloaded(kApp);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].accountNumber, 30001u);
    EXPECT_EQ(back[0].nickName, L"newitemuin9=1");
    EXPECT_EQ(back[1].nickName, L"other");
}

TEST_F(AccountStoragerTest, GarbageEntriesAreSkipped)
{
    WriteUsedFile(kApp, "[1001]\r\n"
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
    const std::vector<UsedAccount>& list = storager.GetAccounts(kApp);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].accountNumber, 12345u);
    EXPECT_EQ(list[0].nickName, L"a");
    EXPECT_EQ(list[1].accountNumber, 4294967296ULL);
    EXPECT_EQ(list[1].nickName, L"big");
    EXPECT_EQ(list[2].accountNumber, 0x3040u);
    EXPECT_EQ(list[2].nickName, L"");

    // Saving numbers the good entries from 1 and writes 64-bit numbers in decimal.
    EXPECT_TRUE(storager.AddAccount(kApp, {66666, L"new"}));
    EXPECT_EQ(AccountTestDir::IniString(UsedFile(kApp), L"1001", L"itemuin2"), L"4294967296");
    ExpectSame(Reloaded(kApp), list);
}

TEST_F(AccountStoragerTest, ItemCountIsBounded)
{
    std::string text = "[1001]\r\nItemCount=4000000000\r\n";
    for (int i = 1; i <= 70; ++i)
        text += "ItemUin" + std::to_string(i) + "=" + std::to_string(40000 + i) + "\r\n";
    WriteUsedFile(kApp, text);
    OmbrelLauncherAccountStorager storager;
    storager.Load(kApp);
    EXPECT_EQ(storager.GetAccounts(kApp).size(), static_cast<size_t>(OmbrelLauncherAccountStorager::kMaxItemCount));

    WriteUsedFile(kApp, "[1001]\r\nItemCount=-3\r\nItemUin1=40001\r\n");
    storager.Load(kApp);
    EXPECT_TRUE(storager.GetAccounts(kApp).empty());
}

TEST_F(AccountStoragerTest, GetInstanceLoadsEveryGameOfSettings)
{
    ::WritePrivateProfileStringW(L"1001", L"GameDataVersion", L"1", (dir.Path() + L"settings.ini").c_str());
    ::WritePrivateProfileStringW(L"3003", L"GameDataVersion", L"1", (dir.Path() + L"settings.ini").c_str());
    {
        OmbrelLauncherAccountStorager writer;
        writer.AddAccount(1001, {10101, L"one"});
        writer.AddAccount(3003, {30303, L"three"});
        writer.AddAccount(4004, {40404, L"not listed"});
    }
    OmbrelLauncherAccountStorager& storager = OmbrelLauncherAccountStorager::GetInstance();
    EXPECT_EQ(&storager, &OmbrelLauncherAccountStorager::GetInstance());
    ExpectSame(storager.GetAccounts(1001), {{10101, L"one"}});
    ExpectSame(storager.GetAccounts(3003), {{30303, L"three"}});
    EXPECT_TRUE(storager.GetAccounts(4004).empty());
}
