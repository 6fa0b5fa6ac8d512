#include "tests/login/SSOTestBed.h"

#include <cstring>

#include "kit/Fuzz.h"
#include "login/AccountCfgFile.h"
#include "login/AccountRecord.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"
#include "login/OmbrelLauncherAccountStorager.h"

namespace {

// Account numbers the random inputs are made to avoid.
constexpr uint64_t kSavedNumber = 987654321;
constexpr uint32_t kApp = 1001;

std::string RecordBytes(uint64_t number, uint32_t time)
{
    AccountRecord r;
    r.accountNumber = number;
    r.rememberPassword = 1;
    r.lastLoginTime = time;
    const AccountRecord::Bytes b = r.Encode();
    return std::string(b.begin(), b.end());
}

std::string RandomBytes(kit::Fuzz& fuzz, uint32_t maxSize)
{
    std::string bytes(fuzz.Below(maxSize), '\0');
    for (char& c : bytes)
        c = static_cast<char>(fuzz.Below(256));
    return bytes;
}

// Random bytes, or a realistic file with a few accounts that was damaged.
std::string RandomAccountCfg(kit::Fuzz& fuzz)
{
    if (fuzz.Below(2) == 0)
        return RandomBytes(fuzz, 30 * AccountRecord::kSize);
    std::string bytes;
    const uint32_t count = fuzz.Below(14);
    for (uint32_t i = 0; i < count; ++i)
        bytes += fuzz.Below(4) == 0 ? std::string(AccountRecord::kSize, '\0') : RecordBytes(10001 + fuzz.Below(500), fuzz.Next());
    return fuzz.Mutate(bytes, 3);
}

// Whole records in the data that hold an account.
size_t AccountsIn(const std::string& bytes, bool& holdsSaved)
{
    size_t accounts = 0;
    holdsSaved = false;
    for (size_t off = 0; off + AccountRecord::kSize <= bytes.size(); off += AccountRecord::kSize) {
        AccountRecord::Bytes b{};
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(off), AccountRecord::kSize, b.begin());
        const AccountRecord r = AccountRecord::Decode(b);
        accounts += r.HoldsAccount() ? 1 : 0;
        holdsSaved = holdsSaved || r.accountNumber == kSavedNumber;
    }
    return accounts;
}

void ExpectCleanBlock(const LoginInfoBlock& block)
{
    ASSERT_LE(block.accountCount, LoginInfoBlock::kMaxAccounts);
    for (uint16_t i = 0; i < block.accountCount; ++i) {
        EXPECT_GE(block.accounts[i].accountNumber, AccountRecord::kFirstAccountNumber);
        EXPECT_EQ(block.accounts[i].size, AccountSlot::kFilledSize);
        EXPECT_LT(wcsnlen(block.accounts[i].email, kAccountTextUnits), kAccountTextUnits);
        if (i > 0) {
            EXPECT_LE(block.accounts[i].lastLoginTime, block.accounts[i - 1].lastLoginTime);
        }
    }
}

std::string RandomUsedFile(kit::Fuzz& fuzz)
{
    if (fuzz.Below(3) == 0)
        return RandomBytes(fuzz, 600);
    std::string text = "[1001]\r\nItemCount=" + std::to_string(fuzz.Below(12)) + "\r\n";
    for (uint32_t i = 1; i <= 10; ++i) {
        text += "ItemUin" + std::to_string(i) + "=" + std::to_string(10000 + fuzz.Below(100000)) + "\r\n";
        text += "ItemNickName" + std::to_string(i) + "=\xD5\xC5nick" + std::to_string(i) + "\r\n";
    }
    return fuzz.Mutate(text, 6);
}

} // namespace

TEST(AccountFilesFuzz, RandomAccountCfgLoadsAndSavesCleanly)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
    AccountTestDir dir;
    CLoginConfigStorage storage;
    const std::wstring cfg = dir.File(L"Account.cfg");

    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string input = RandomAccountCfg(fuzz);
        bool holdsSaved = false;
        const size_t accounts = AccountsIn(input, holdsSaved);
        if (holdsSaved)
            continue;
        ASSERT_TRUE(kit::WriteBytesToFile(cfg, input));

        LoginInfoBlock block;
        ASSERT_EQ(storage.LoadAccountCfg(&block), 1);
        ExpectCleanBlock(block);
        EXPECT_EQ(block.accountCount, std::min<size_t>(accounts, LoginInfoBlock::kMaxAccounts));

        AccountSlot slot;
        slot.accountNumber = kSavedNumber;
        slot.loginType = 1;
        slot.rememberPassword = 1;
        slot.passwordDigest[0] = 0xEE;
        ASSERT_TRUE(storage.SaveAccount(&slot));

        // The new record sits on a record boundary and is the newest account.
        const std::string after = kit::ReadBytesFromFile(cfg);
        EXPECT_EQ(after.size() % AccountRecord::kSize, 0u);
        EXPECT_EQ(after.size() / AccountRecord::kSize, input.size() / AccountRecord::kSize + 1);
        storage.LoadAccountCfg(&block);
        ExpectCleanBlock(block);
        const size_t left = accounts >= CLoginConfigStorage::kKeptAccounts ? accounts - 1 : accounts;
        if (left < LoginInfoBlock::kMaxAccounts) {
            const AccountSlot* saved = block.FindByNumber(kSavedNumber);
            ASSERT_NE(saved, nullptr);
            EXPECT_EQ(saved->passwordDigest[0], 0xEE);
            EXPECT_EQ(block.accountCount, left + 1);
        }
    }
}

// The record walk under the loader, over many more inputs than the whole load above can take
// (which reads every account's settings): exactly the whole records, in order, each decoded from
// its own 29 bytes; a cut tail is never visited.
TEST(AccountFilesFuzz, RandomAccountCfgRecordWalk)
{
    kit::FuzzRun fuzz;
    AccountTestDir dir;
    const std::wstring cfg = dir.File(L"walk.cfg");
    for (int round = 0; round < 1500; ++round) {
        const std::string input = RandomAccountCfg(fuzz);
        ASSERT_TRUE(kit::WriteBytesToFile(cfg, input));
        AccountCfgFile file(cfg);
        ASSERT_TRUE(file.IsOpen());
        uint64_t visited = 0;
        ASSERT_TRUE(file.ForEachRecord([&](uint64_t index, const AccountRecord& record) {
            AccountRecord::Bytes bytes;
            std::memcpy(bytes.data(), input.data() + index * AccountRecord::kSize, AccountRecord::kSize);
            const AccountRecord expected = AccountRecord::Decode(bytes);
            EXPECT_EQ(index, visited);
            EXPECT_EQ(record.accountNumber, expected.accountNumber);
            EXPECT_EQ(record.lastLoginTime, expected.lastLoginTime);
            EXPECT_EQ(record.passwordDigest, expected.passwordDigest);
            ++visited;
            return true;
        })) << "round " << round;
        ASSERT_EQ(visited, input.size() / AccountRecord::kSize) << "round " << round;
        ASSERT_EQ(file.RecordCount(), visited);
    }
}

TEST(AccountFilesFuzz, RandomUsedAccountsFileLoadsAndSavesCleanly)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
    AccountTestDir dir;
    const std::wstring folder = dir.File(L"data\\1001\\Account");
    MakeDirs(folder);

    for (int round = 0; round < 1000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string input = RandomUsedFile(fuzz);
        ASSERT_TRUE(kit::WriteBytesToFile(folder + L"\\Account.cfg", input));

        OmbrelLauncherAccountStorager storager;
        storager.Load(kApp);
        const std::vector<UsedAccount>& list = storager.GetAccounts(kApp);
        ASSERT_LE(list.size(), static_cast<size_t>(OmbrelLauncherAccountStorager::kMaxItemCount));
        for (const UsedAccount& a : list) {
            EXPECT_NE(a.accountNumber, 0u);
            EXPECT_LE(a.nickName.size(), 40u);
        }

        const bool roomLeft = list.size() < OmbrelLauncherAccountStorager::kMaxAccounts;
        EXPECT_EQ(storager.AddAccount(kApp, {kSavedNumber, L"保存"}), roomLeft);
        storager.Save();

        // What was kept reads back exactly.
        OmbrelLauncherAccountStorager reread;
        reread.Load(kApp);
        const std::vector<UsedAccount>& back = reread.GetAccounts(kApp);
        ASSERT_EQ(back.size(), list.size());
        for (size_t i = 0; i < back.size(); ++i)
            EXPECT_TRUE(back[i].accountNumber == list[i].accountNumber && back[i].nickName == list[i].nickName) << i;
    }
}
