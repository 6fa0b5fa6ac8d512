// Start-up of the single-sign-on provider against the stand-in library, its failures, the account
// list and the library's window messages.
// First: it sets how JSON lookups fail.
#include "tests/login/SSOTestBed.h"

namespace {

const std::string kOneAccount =
    "[library]\r\nTGTPriority=700\r\n"
    "[account.alice]\r\nUin=10001\r\nAliases=alice\r\nNick=Alice\r\nListed=1\r\n";

const auto Str = SSOTestBed::Str;
const auto Json = SSOTestBed::Json;

} // namespace

TEST(SSODataProviderStartup, CallsTheLibraryInOrderWithTheNamedFields)
{
    SSOTestBed bed(kOneAccount);
    CSSODataProvider provider;
    ASSERT_TRUE(provider.Init());
    EXPECT_EQ(CSSODataProvider::Current(), &provider);
    EXPECT_TRUE(provider.LibraryLoaded());

    const std::vector<std::string> expected = {"main.8", "main.13", "main.15", "login.16", "service.25",
                                               "service.18"};
    EXPECT_EQ(bed.CallNames(), expected);

    EXPECT_EQ(Json(bed.LastCall("main.8")), R"({"obj":"main","slot":8,"call":"Startup","a":0,"b":0,"hr":0})");
    const rapidjson::Document init = bed.LastCall("main.13");
    EXPECT_EQ(init["processId"].GetUint(), ::GetCurrentProcessId());
    EXPECT_EQ(Str(init["programName"]), "SSO_Program");
    EXPECT_EQ(init["windowIsEventWindow"].GetUint(), 1u);
    EXPECT_EQ(init["flags"].GetUint(), 256u);
    EXPECT_EQ(Json(init["versions"]), R"({"cAppIMHeaderMainVer":33,"cAppIMHeaderSubVer":1,)"
                                      R"("cAppNonIMHeaderMainVer":80,"cAppNonIMHeaderSubVer":6})");
    EXPECT_EQ(provider.AppHandle(), init["result"]["dwSSO_Init_hAppHandle"].GetUint());
    EXPECT_EQ(Json(bed.LastCall("service.25")), R"({"obj":"service","slot":25,"call":"GetServiceData","kind":2,)"
                                                R"("serviceId":769047801,"data":{"dwServiceTGTPriority":700},"hr":0})");
    EXPECT_EQ(bed.LastCall("service.18")["kind"].GetUint(), 3u);
    EXPECT_EQ(provider.TicketPriorityLimit(), 700u);

    // The hidden window the library answers to.
    const HWND window = provider.EventWindow();
    ASSERT_TRUE(::IsWindow(window));
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, 64);
    EXPECT_STREQ(cls, L"SSODataRecvWnd");
    EXPECT_FALSE(::IsWindowVisible(window));

    bed.ClearCalls();
    provider.Uninit();
    EXPECT_EQ(bed.CallNames(), (std::vector<std::string>{"main.14", "main.9"}));
    const rapidjson::Document detach = bed.LastCall("main.14");
    EXPECT_EQ(detach["appHandle"].GetUint(), provider.AppHandle());
    EXPECT_EQ(detach["hr"].GetInt(), 0) << "detach with the registration's handle and key";
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(provider.HasMainObject());
}

TEST(SSODataProviderStartup, MissingLibraryFailsAndEveryOperationDoesNothing)
{
    SSOTestBed bed(kOneAccount, nullptr);
    CSSODataProvider provider;
    EventLog events;
    EXPECT_FALSE(provider.Init());
    provider.SetEventHandler(&events);
    EXPECT_FALSE(provider.LibraryLoaded());
    EXPECT_TRUE(::IsWindow(provider.EventWindow())) << "the event window exists without a library";

    EXPECT_EQ(provider.RefreshAccountList(), nullptr);
    EXPECT_EQ(provider.AccountTable().count, 0u);
    const BYTE digest[16] = {1};
    EXPECT_FALSE(provider.LoginByHashedPassword(L"alice", digest, 16, 0, nullptr));
    EXPECT_FALSE(provider.LoginFromPVAList(L"alice", nullptr));
    EXPECT_FALSE(provider.WebVerifyTicket(L"t", L"r", 10001));
    EXPECT_TRUE(provider.EnterVerifyCode(L"1234", 10001));
    provider.ReGetVerifyCode(10001);
    provider.CancelVerify(L"alice");
    provider.DeleteAccount(10001);
    ::SendMessageW(provider.EventWindow(), 3004, 0, 0);
    kit::Pump(50);
    EXPECT_EQ(events.events, (std::vector<std::string>{"list 0"}));
}

TEST(SSODataProviderStartup, LibraryWithoutItsExportOrRefusingToStartFails)
{
    {
        SSOTestBed bed(kOneAccount, L"TessalyNoExport.dll");
        CSSODataProvider provider;
        EXPECT_FALSE(provider.Init());
        EXPECT_FALSE(provider.HasMainObject());
        EXPECT_EQ(provider.RefreshAccountList(), nullptr);
    }
    {
        SSOTestBed bed("[library]\r\nStartup=0x80004005\r\n");
        CSSODataProvider provider;
        EXPECT_FALSE(provider.Init());
        // The service settings are still asked for, and refused to an unregistered program.
        EXPECT_EQ(bed.CallNames(), (std::vector<std::string>{"main.8", "main.15"}));
        EXPECT_EQ(bed.LastCall("main.8")["hr"].GetInt(), static_cast<int>(0x80004005));
        EXPECT_EQ(provider.TicketPriorityLimit(), 1000u);
    }
    SSOTestBed bed("[library]\r\nInitialize=0\r\n");  // registration without a result
    CSSODataProvider provider;
    EXPECT_FALSE(provider.Init());
    EXPECT_TRUE(provider.HasMainObject());
    EXPECT_EQ(provider.AppHandle(), 0u);
}

TEST(SSODataProviderStartup, LibraryPathLongerThanItsBufferIsNeverLoaded)
{
    // "<WorkDir>NVSSO\<version>\Bin\Tessaly.dll" one character longer than the buffer holds.
    SSOTestBed bed(kOneAccount, nullptr, L"v");
    CSSODataProvider provider;
    const size_t base = provider.LibraryPath().size() - 1;
    const std::string version(CSSODataProvider::kLibraryPathChars - base, 'v');
    bed.Work().Write(L"settings.ini", "[4242]\r\nSSOVersion=" + version + "\r\n");
    const std::wstring path = provider.LibraryPath();
    ASSERT_EQ(path.size(), CSSODataProvider::kLibraryPathChars);
    // The library is there, and so is a copy at the path cut by one character.
    MakeDirs(path.substr(0, path.find_last_of(L'\\')));
    const std::wstring source = ModuleFolder() + L"Tessaly.dll";
    ASSERT_TRUE(::CopyFileW(source.c_str(), path.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(source.c_str(), path.substr(0, path.size() - 1).c_str(), FALSE));
    EXPECT_FALSE(provider.Init());
    EXPECT_FALSE(provider.LibraryLoaded());
}

// ---------------------------------------------------------------------------------------------
// The account list

TEST(SSODataProviderAccounts, ListKeepsAccountsWithinThePriorityLimitAndANumber)
{
    const std::string longNick(50, 'n');
    const std::string longAlias(70, 'a');
    SSOTestBed bed("[library]\r\nTGTPriority=1000\r\n"
                   "[account.a]\r\nUin=10001\r\nAliases=alice,alice@x.org\r\nNick=Alice\r\nListed=1\r\nPriority=100\r\n"
                   "[account.b]\r\nUin=10002\r\nNick=Bob\r\nListed=1\r\nPriority=2000\r\n"
                   "[account.c]\r\nUin=10003\r\nNick=Carol\r\nListed=1\r\nPriority=none\r\n"
                   "[account.d]\r\nUin=0\r\nNick=Nobody\r\nListed=1\r\n"
                   "[account.e]\r\nUin=10005\r\nAliases=" + longAlias + "\r\nNick=" + longNick + "\r\nListed=1\r\nPriority=1000\r\n"
                   "[account.f]\r\nUin=10006\r\nNick=Unlisted\r\n");
    CSSODataProvider provider;
    ASSERT_TRUE(provider.Init());
    const SSOAccountTable* table = provider.RefreshAccountList();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table, &provider.AccountTable());
    ASSERT_EQ(table->count, 2u);
    EXPECT_EQ(table->entries[0].accountNumber, 10001u);
    EXPECT_STREQ(table->entries[0].accountValue, L"alice");
    EXPECT_STREQ(table->entries[0].nickName, L"Alice");
    EXPECT_EQ(table->entries[1].accountNumber, 10005u);
    EXPECT_EQ(std::wstring(table->entries[1].accountValue), std::wstring(63, L'a'));
    EXPECT_EQ(std::wstring(table->entries[1].nickName), std::wstring(39, L'n'));
    EXPECT_EQ(table->entries[2].accountNumber, 0u) << "entries past the count stay zero";
}

TEST(SSODataProviderAccounts, ListStopsAt120Entries)
{
    std::string scenario = "[library]\r\n";
    for (int i = 0; i < 130; ++i)
        scenario += "[account." + std::to_string(i) + "]\r\nUin=" + std::to_string(20000 + i) + "\r\nListed=1\r\n";
    SSOTestBed bed(scenario);
    CSSODataProvider provider;
    ASSERT_TRUE(provider.Init());
    const SSOAccountTable* table = provider.RefreshAccountList();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->count, 120u);
    EXPECT_EQ(table->entries[119].accountNumber, 20119u);
}

TEST(SSODataProviderAccounts, ListChangedMessageRefreshesAndTellsTheHandler)
{
    StartedProvider s(kOneAccount);
    EXPECT_EQ(::SendMessageW(s.provider.EventWindow(), 3004, 0, 0), 1);
    EXPECT_EQ(s.events.events, (std::vector<std::string>{"list 1"}));
    EXPECT_EQ(s.events.lastTable, &s.provider.AccountTable());

    // The account leaves the list (or is above the priority limit): the same message now reports
    // null.
    s.bed.WriteScenario("[account.alice]\r\nUin=10001\r\n[account.b]\r\nUin=10002\r\nListed=1\r\nPriority=5000\r\n");
    ::PostMessageW(s.provider.EventWindow(), 3004, 0, 0);
    SSOTestBed::PumpUntil([&] { return s.events.events.size() == 2; });
    EXPECT_EQ(s.events.events.back(), "list 0");
    EXPECT_EQ(s.events.lastTable, nullptr);
    EXPECT_EQ(s.provider.AccountTable().count, 0u);
}

// ---------------------------------------------------------------------------------------------
// Messages

TEST(SSODataProviderMessages, TicketRenewalLogsTheAccountInForItsServiceOnly)
{
    StartedProvider s(kOneAccount);
    s.bed.ClearCalls();

    // Another service's renewal is not ours.
    EXPECT_EQ(::SendMessageW(s.provider.EventWindow(), 3008, 12345, 10001), 1);
    EXPECT_TRUE(s.bed.CallNames().empty());

    EXPECT_EQ(::SendMessageW(s.provider.EventWindow(), 3008, CSSODataProvider::kServiceId, 10001), 1);
    const rapidjson::Document login = s.bed.LastCall("login.8");
    ASSERT_TRUE(login.IsObject());
    EXPECT_EQ(Str(login["account"]), "10001");
    EXPECT_EQ(login["credentialType"].GetUint(), 0u);
    EXPECT_TRUE(login["credential"].IsNull());
    EXPECT_TRUE(login["extra"].IsNull());
    EXPECT_EQ(login["serviceId"].GetUint(), CSSODataProvider::kServiceId);

    // The listed account is signed in again.
    ASSERT_TRUE(s.WaitFor(1));
    EXPECT_EQ(s.events.Outcomes(), (std::vector<std::string>{"success 10001"}));
}

TEST(SSODataProviderMessages, NoticesWaitingWhenTheWindowGoesAreNotLeftBehind)
{
    StartedProvider s(kOneAccount);
    // The second notice comes right after the first one: it waits for the pacing timer.
    ASSERT_EQ(::SendMessageW(s.provider.EventWindow(), 3004, 0, 0), 1);
    ASSERT_EQ(::SendMessageW(s.provider.EventWindow(), 3004, 0, 0), 1);
    EXPECT_EQ(s.events.events, (std::vector<std::string>{"list 1"}));

    // A restart takes the window and its timer away; the next notice alone is served at once.
    s.provider.Uninit();
    ASSERT_TRUE(s.provider.Init());
    ::Sleep(2 * SSONoticeThrottle::kSpacingMs);
    EXPECT_EQ(::SendMessageW(s.provider.EventWindow(), 3004, 0, 0), 1);
    EXPECT_EQ(s.events.events, (std::vector<std::string>{"list 1", "list 1"}));
}

TEST(SSODataProviderMessages, WindowOfAnotherProviderIsNotServed)
{
    SSOTestBed bed(kOneAccount);
    ProviderRun a;
    const HWND oldWindow = a.provider.EventWindow();
    {
        ProviderRun b;
        EXPECT_EQ(CSSODataProvider::Current(), &b.provider);
        // The first window no longer belongs to the provider in service.
        EXPECT_EQ(::SendMessageW(oldWindow, 3004, 0, 0), 0);
        EXPECT_EQ(::SendMessageW(b.provider.EventWindow(), 3004, 0, 0), 1);
        b.provider.Uninit();
        EXPECT_EQ(b.events.events, (std::vector<std::string>{"list 1"}));
    }
    EXPECT_EQ(CSSODataProvider::Current(), nullptr);
    EXPECT_EQ(::SendMessageW(oldWindow, 3004, 0, 0), 0);
    EXPECT_TRUE(a.events.events.empty());
    a.provider.Uninit();
}
