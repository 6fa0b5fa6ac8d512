// The sign-in's saves across processes, with this test program started again as the other
// processes: one that saves in a loop and is killed at random moments leaves every file the old
// or the new one, never empty or half-written; launchers of two games signing in and ticking the
// agreement at the same moment lose none of each other's keys or remembered accounts.
#include "tests/login/SSOTestBed.h"

#include <set>
#include <string>
#include <vector>

#include "foundation/UniqueHandle.h"
#include "kit/ChildEntry.h"
#include "kit/Fuzz.h"
#include "login/AccountCfgFile.h"
#include "login/AccountRecord.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "tests/launcher/LauncherProcess.h"

namespace {

constexpr wchar_t kSaverEntry[] = L"account-saver";
constexpr uint64_t kLoopAccounts = 5;
constexpr uint64_t kLoopFirstAccount = 20000;
constexpr uint32_t kLoopFirstGame = 3000;
constexpr int kSignIns = 3;

// The events between the test and its saver processes; a tag names the test process and round.
std::wstring EventName(const wchar_t* what, const std::wstring& tag)
{
    return std::wstring(L"OmbrelAccountSaver_") + what + L"_" + tag;
}

std::wstring Tag(const std::wstring& round)
{
    return std::to_wstring(::GetCurrentProcessId()) + L"-" + round;
}

std::wstring Email(uint64_t version)
{
    return L"user" + std::to_wstring(version) + L"@mail.com";
}

AccountSlot SlotFor(uint64_t number, uint64_t version)
{
    AccountSlot slot;
    slot.size = AccountSlot::kFilledSize;
    slot.accountNumber = number;
    slot.loginType = static_cast<uint32_t>(1 + version % 3);
    slot.incognito = static_cast<uint32_t>(version % 2);
    slot.rememberPassword = 1;
    CopyAccountText(slot.email, Email(version).c_str());
    for (uint8_t i = 0; i < 16; ++i)
        slot.passwordDigest[i] = static_cast<uint8_t>(number + i);
    return slot;
}

// A saver process: this program started again as the saver entry (SaveAccounts, below).
class Saver {
public:
    Saver(const std::wstring& mode, const std::wstring& workDir, uint32_t appId, uint64_t first, const std::wstring& tag)
        : process_(kit::ChildEntry::Arguments(kSaverEntry, {mode, workDir, std::to_wstring(appId),
                                                            std::to_wstring(first), tag}),
                   kit::ChildEntry::Program())
    {
    }
    LauncherProcess& Process() { return process_; }

private:
    LauncherProcess process_;
};

mjz::UniqueHandle Event(const std::wstring& name)
{
    return mjz::UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

std::wstring Ini(const std::wstring& file, const std::wstring& section, const wchar_t* key)
{
    return AccountTestDir::IniString(file, section.c_str(), key);
}

// The accounts of the whole records on disk.
std::set<uint64_t> AccountsIn(const std::string& cfg)
{
    std::set<uint64_t> numbers;
    AccountCfgFile(cfg).ForEachRecord([&numbers](uint64_t, const AccountRecord& record) {
        if (record.HoldsAccount())
            numbers.insert(record.accountNumber);
        return true;
    });
    return numbers;
}

// The AppIds whose agreement "settings.ini" holds.
std::set<uint32_t> AgreedGames(const std::wstring& settings)
{
    std::set<uint32_t> agreed;
    std::vector<wchar_t> names(1 << 20);
    const DWORD n = ::GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), settings.c_str());
    for (DWORD pos = 0; pos < n && names[pos];) {
        const std::wstring name = names.data() + pos;
        pos += static_cast<DWORD>(name.size()) + 1;
        if (Ini(settings, name, L"CheckAgreeBoxSelected") == L"1")
            agreed.insert(static_cast<uint32_t>(std::wcstoul(name.c_str(), nullptr, 10)));
    }
    return agreed;
}

// An account's [LoginSet] as one save wrote it: all three keys, of one version. A kill between
// the saves of "Account.cfg" and of the account's settings may leave no settings yet.
void ExpectWholeLoginSet(const std::wstring& configIni, bool mayBeMissing = false)
{
    SCOPED_TRACE(std::string(configIni.begin(), configIni.end()));
    if (mayBeMissing && !Exists(configIni))
        return;
    EXPECT_FALSE(kit::ReadBytesFromFile(configIni).empty());
    const std::wstring email = Ini(configIni, L"LoginSet", L"Email");
    const std::wstring type = Ini(configIni, L"LoginSet", L"LoginType");
    const std::wstring incognito = Ini(configIni, L"LoginSet", L"IfIncog");
    ASSERT_EQ(email.rfind(L"user", 0), 0u) << testing::PrintToString(email);
    const uint64_t version = std::wcstoull(email.c_str() + 4, nullptr, 10);
    EXPECT_EQ(email, Email(version));
    EXPECT_EQ(type, std::to_wstring(1 + version % 3));
    EXPECT_EQ(incognito, std::to_wstring(version % 2));
}

std::string Settings(int games)
{
    std::string text;
    for (int i = 0; i < games; ++i) {
        const std::string id = std::to_string(1001 + i);
        text += "[" + id + "]\r\nGameDataVersion=" + id + ".7\r\nSSOVersion=1.0\r\n";
    }
    return text;
}

void ExpectGameSettings(const std::wstring& settings, int games)
{
    for (int i = 0; i < games; ++i) {
        const std::wstring id = std::to_wstring(1001 + i);
        EXPECT_EQ(Ini(settings, id, L"GameDataVersion"), id + L".7") << "game " << i;
        EXPECT_EQ(Ini(settings, id, L"SSOVersion"), L"1.0") << "game " << i;
    }
}

}  // namespace

// A saver killed at random moments, 40 times: every file is there and whole after each kill,
// with everything that earlier rounds saved.
TEST(AccountSaves, KilledAtRandomMomentsLeaveEveryFileOldOrNew)
{
    constexpr int kGames = 40;
    AccountTestDir dir;
    dir.Write(L"settings.ini", Settings(kGames));
    kit::FuzzRun fuzz;
    std::set<uint32_t> agreedBefore;
    std::set<uint64_t> savedBefore;
    const std::wstring settings = dir.File(L"settings.ini");
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::wstring tag = Tag(std::to_wstring(round));
        mjz::UniqueHandle started = Event(EventName(L"started", tag));
        // Each round's first save, which always lands before the kill, goes to the next account in
        // turn: every account gets saved however few saves a loaded machine lets through.
        const uint64_t first = 1 + static_cast<uint64_t>(round) * 100000 + static_cast<uint64_t>(round) % kLoopAccounts;
        Saver saver(L"loop", dir.Path(), 1001, first, tag);
        ASSERT_TRUE(saver.Process().Started());
        ASSERT_EQ(::WaitForSingleObject(started.Get(), 20000), WAIT_OBJECT_0);
        ::Sleep(fuzz.Below(40));
        saver.Process().Kill(9);
        ASSERT_EQ(saver.Process().Wait(10000), 9);

        // settings.ini: every game's settings, every agreement of earlier rounds, and this round's
        // agreements one after another from its first one.
        ExpectGameSettings(settings, kGames);
        const std::set<uint32_t> agreed = AgreedGames(settings);
        for (uint32_t id : agreedBefore)
            EXPECT_EQ(agreed.count(id), 1u) << id;
        uint32_t next = static_cast<uint32_t>(kLoopFirstGame + first);
        for (uint32_t id : agreed) {
            if (agreedBefore.count(id) == 0) {
                EXPECT_EQ(id, next);
                next = id + 1;
            }
        }
        EXPECT_GT(next, kLoopFirstGame + first) << "the first save of the round went through before the kill";
        agreedBefore = agreed;

        // Account.cfg: whole records, every account saved before.
        const std::string cfg = dir.Read(L"Account.cfg");
        EXPECT_EQ(cfg.size() % AccountRecord::kSize, 0u);
        const std::set<uint64_t> saved = AccountsIn(cfg);
        for (uint64_t number : savedBefore)
            EXPECT_EQ(saved.count(number), 1u) << number;
        savedBefore.insert(saved.begin(), saved.end());

        // Each account's Config.ini and Info.ini: whole, once written.
        for (uint64_t number : saved)
            ExpectWholeLoginSet(dir.File(L"Config\\User\\nvsso\\" + std::to_wstring(number) + L"\\Config.ini"), true);
        if (Exists(dir.File(L"Info.ini"))) {
            const std::wstring info = dir.File(L"Info.ini");
            const std::wstring last = Ini(info, L"Public", L"LastKwiUin");
            EXPECT_EQ(saved.count(std::wcstoull(last.c_str(), nullptr, 10)), 1u) << testing::PrintToString(last);
            EXPECT_EQ(Ini(info, L"LoginSet", L"LastKwiUin"), last);
        }
        if (HasFailure())
            break;
    }
    EXPECT_EQ(savedBefore.size(), kLoopAccounts);
}

// Two launchers, for games 1001 and 1002, sign three accounts in each and tick the agreement
// at the same moment, 20 times: afterwards every key and every account of both is there.
TEST(AccountSaves, TwoGamesSigningInAtOnceLoseNothing)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        AccountTestDir dir;
        dir.Write(L"settings.ini", Settings(2));
        std::string earlier(AccountRecord::kSize, '\0');
        earlier[0] = 0x11, earlier[1] = 0x27;  // 10001, remembered before
        dir.Write(L"Account.cfg", earlier);

        const std::wstring tag = Tag(L"two" + std::to_wstring(round));
        mjz::UniqueHandle go = Event(EventName(L"go", tag));
        std::vector<mjz::UniqueHandle> ready;
        std::vector<std::unique_ptr<Saver>> savers;
        for (uint32_t appId : {1001u, 1002u}) {
            const std::wstring gameTag = tag + L"_" + std::to_wstring(appId);
            ready.push_back(Event(EventName(L"ready", gameTag)));
            savers.push_back(std::make_unique<Saver>(L"signin", dir.Path(), appId, appId * 100, gameTag));
            ASSERT_TRUE(savers.back()->Process().Started());
        }
        for (const mjz::UniqueHandle& event : ready)
            ASSERT_EQ(::WaitForSingleObject(event.Get(), 20000), WAIT_OBJECT_0);
        ::SetEvent(go.Get());
        for (const auto& saver : savers)
            ASSERT_EQ(saver->Process().Wait(20000), 0);

        const std::wstring settings = dir.File(L"settings.ini");
        ExpectGameSettings(settings, 2);
        for (const wchar_t* id : {L"1001", L"1002"})
            EXPECT_EQ(Ini(settings, id, L"CheckAgreeBoxSelected"), L"1") << "game " << id;
        const std::set<uint64_t> saved = AccountsIn(dir.Read(L"Account.cfg"));
        EXPECT_EQ(saved.count(10001), 1u);
        std::set<uint64_t> signedIn;
        for (uint32_t appId : {1001u, 1002u}) {
            OmbrelLauncherAccountStorager used;
            used.Load(appId);
            EXPECT_EQ(used.GetAccounts(appId).size(), static_cast<size_t>(kSignIns)) << "game " << appId;
            for (int k = 0; k < kSignIns; ++k) {
                const uint64_t number = appId * 100 + k;
                signedIn.insert(number);
                EXPECT_EQ(saved.count(number), 1u) << number;
                ExpectWholeLoginSet(dir.File(L"Config\\User\\nvsso\\" + std::to_wstring(number) + L"\\Config.ini"));
            }
        }
        const uint64_t last = std::wcstoull(Ini(dir.File(L"Info.ini"), L"Public", L"LastKwiUin").c_str(), nullptr, 10);
        EXPECT_EQ(signedIn.count(last), 1u) << last;
        if (HasFailure())
            break;
    }
}

namespace {

// The saver half of the tests above. Arguments: mode ("loop" or "signin"), work dir, AppId,
// first account or version, tag. A "loop" saver saves until it is killed; a "signin" saver ends
// with 0 once its accounts are saved, or with the number of the step that failed.
int SaveAccounts(const kit::ChildArgs& args)
{
    if (args.size() != 5)
        return 2;
    const std::wstring& mode = args[0];
    const uint32_t appId = static_cast<uint32_t>(std::wcstoul(args[2].c_str(), nullptr, 10));
    const uint64_t first = std::wcstoull(args[3].c_str(), nullptr, 10);
    const std::wstring& tag = args[4];
    LaunchParams::Instance().Load((L"AppId=" + args[2] + L" \"WorkDir=" + args[1] + L"\"").c_str());
    CLoginConfigStorage storage;

    if (mode == L"loop") {
        // Save after save until killed: each account in turn, and each time a game's agreement.
        mjz::UniqueHandle started = Event(EventName(L"started", tag));
        for (uint64_t version = first;; ++version) {
            const AccountSlot slot = SlotFor(kLoopFirstAccount + version % kLoopAccounts, version);
            storage.SaveAccount(&slot);
            LaunchParams::Instance().appId = static_cast<uint32_t>(kLoopFirstGame + version);
            LaunchParams::Instance().SetCheckAgreeBoxSelected();
            if (version == first)
                ::SetEvent(started.Get());
        }
    }
    if (mode != L"signin")
        return 3;
    // A sign-in: the agreement ticked, then each account remembered as a successful login does.
    mjz::UniqueHandle ready = Event(EventName(L"ready", tag));
    mjz::UniqueHandle go = Event(EventName(L"go", tag.substr(0, tag.rfind(L'_'))));
    ::SetEvent(ready.Get());
    if (::WaitForSingleObject(go.Get(), 20000) != WAIT_OBJECT_0)
        return 4;
    LaunchParams::Instance().SetCheckAgreeBoxSelected();
    for (int k = 0; k < kSignIns; ++k) {
        const AccountSlot slot = SlotFor(first + static_cast<uint64_t>(k), first + static_cast<uint64_t>(k));
        storage.SaveAccount(&slot);
        OmbrelLauncherAccountStorager::GetInstance().AddAccount(appId, {slot.accountNumber, L"nick"});
    }
    return 0;
}
const kit::ChildEntry saverEntry(kSaverEntry, &SaveAccounts);

}  // namespace
