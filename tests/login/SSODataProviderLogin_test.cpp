// Logins through the single-sign-on provider and the stand-in library: password and stored
// account logins, failures, verification, the old library's missing web ticket, the remembered
// password and the library's account store.
// First: it sets how JSON lookups fail.
#include "tests/login/SSOTestBed.h"

#include <algorithm>

namespace {

std::string Scenario(const std::string& aliceExtra = "", const std::string& library = "")
{
    return "[library]\r\n" + library
         + "[account.alice]\r\nUin=10001\r\nAliases=alice,alice@example.org,13800138000\r\nDigest=" + SSOTestBed::DigestHex("secret")
         + "\r\nNick=Alice\r\nAge=20\r\nGender=1\r\nFace=3\r\nUinFlag=64\r\nListed=1\r\n" + aliceExtra
         + "[account.bob]\r\nUin=10002\r\nAliases=bob\r\nDigest=" + SSOTestBed::DigestHex("hunter2")
         + "\r\nNick=Bob\r\n";
}

const auto Str = SSOTestBed::Str;
const auto Json = SSOTestBed::Json;
std::string Hex(const std::string& bytes) { return SSOTestBed::Hex(bytes); }
using Texts = std::vector<std::string>;

// The account numbers of the account store handed back to the library last.
std::vector<uint32_t> StoredAccounts(const SSOTestBed& bed)
{
    std::vector<uint32_t> out;
    const rapidjson::Document call = bed.LastCall("service.20");
    if (call.IsObject()) {
        for (const rapidjson::Value& item : call["store"].GetArray())
            out.push_back(item["dwAccoutUin"].GetUint());
    }
    return out;
}

bool LoginWith(CSSODataProvider& provider, const wchar_t* account, const std::string& password, int remember = 0)
{
    const std::vector<uint8_t> digest = SSOTestBed::Digest(password);
    return provider.LoginByHashedPassword(account, digest.data(), 16, remember, nullptr);
}

} // namespace

TEST(SSODataProviderLogin, PasswordLoginFillsTheRecordsAndKeepsTheAccountFirstInTheStore)
{
    StartedProvider s(Scenario());
    ASSERT_TRUE(s.provider.LibraryLoaded());
    ASSERT_TRUE(LoginWith(s.provider, L"bob", "hunter2", 1));
    ASSERT_TRUE(s.WaitFor(1));
    EXPECT_EQ(StoredAccounts(s.bed), (std::vector<uint32_t>{10002}));

    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret", 1));
    EXPECT_EQ(s.events.Outcomes().size(), 1u) << "the answer never comes inside the call";
    ASSERT_TRUE(s.WaitFor(2));
    EXPECT_EQ(s.events.Outcomes(), (Texts{"success bob", "success alice"}));
    EXPECT_EQ(StoredAccounts(s.bed), (std::vector<uint32_t>{10001, 10002})) << "the last login comes first";

    // What went to the library: the whole call, the registration's handle and key included.
    const rapidjson::Document init = s.bed.LastCall("main.13");
    EXPECT_EQ(Json(s.bed.LastCall("login.8")),
              R"({"obj":"login","slot":8,"call":"Login","appHandle":)" + std::to_string(s.provider.AppHandle()) +
                  R"(,"accessKey":")" + Str(init["result"]["strSSO_Init_strAccessKey"]) +
                  R"(","serviceId":769047801,"account":"alice","credentialType":2,"credential":{"hex":")" +
                  SSOTestBed::DigestHex("secret") +
                  R"("},"extra":{"dataSpecifyLoginData":{"bRememberPwdLogin":true},"dataProxyData":{"cProxy_Type":0}},"hr":0})");
    EXPECT_EQ(s.bed.LastCall("service.24")["data"]["dwServiceTGTPriority"].GetUint(), 1000u);
    EXPECT_EQ(Json(s.bed.LastCall("service.20")["store"][0]),
              R"({"strAccountValue":"alice","dwAccoutUin":10001,"bSavedPwd":true,"cSCT":5,"pSC":{"hex":")" +
                  Hex("s2sc:10001") + R"("}})");

    // The records handed to the handler (their tickets are checked below).
    EXPECT_EQ(s.events.server.size, 312);
    EXPECT_EQ(s.events.server.accountNumber, 10001u);
    EXPECT_EQ(s.events.server.accountFlags, 64u);
    const _tagKwiBASEUSERINFO& u = s.events.user;
    EXPECT_EQ(u.size, 104);
    EXPECT_EQ(u.accountNumber, 10001u);
    EXPECT_EQ(u.age, 20);
    EXPECT_EQ(u.gender, 1);
    EXPECT_EQ(u.faceIndex, 3);
    EXPECT_EQ(u.nickNameLength, 5);
    EXPECT_STREQ(u.nickName, L"Alice");

    // Signing bob in again moves him to the front, once.
    ASSERT_TRUE(LoginWith(s.provider, L"bob", "hunter2", 1));
    ASSERT_TRUE(s.WaitFor(3));
    EXPECT_EQ(StoredAccounts(s.bed), (std::vector<uint32_t>{10002, 10001}));
}

// Tickets and key are copied byte for byte and cut to their fields; a short key leaves the rest
// zero; the old library reports its missing web ticket before the success.
TEST(SSODataProviderLogin, TicketsAndKeyFillTheirFields)
{
    struct Case {
        const char* scenario;
        Texts outcomes;
        size_t service, web, key;
    };
    const Case cases[] = {
        {"", {"success alice"}, 64, 96, 16},
        {"Result=old\r\n", {"failed alice 36880", "success alice"}, 64, 0, 16},
        {"TicketLength=300\r\nWebTicketLength=200\r\nKeyLength=40\r\n", {"success alice"}, 128, 134, 16},
        {"TicketLength=0\r\nKeyLength=4\r\n", {"success alice"}, 0, 96, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        StartedProvider s(Scenario(c.scenario));
        ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret"));
        ASSERT_TRUE(s.WaitFor(c.outcomes.size()));
        EXPECT_EQ(s.events.Outcomes(), c.outcomes);
        const _tagKwiSERVERLOGININFO& r = s.events.server;
        ASSERT_EQ(r.serviceTicketLength, c.service);
        ASSERT_EQ(r.webTicketLength, c.web);
        // Each ticket byte tells the account, its place and the kind of ticket apart.
        const auto expectBytes = [](const uint8_t* bytes, size_t filled, size_t size, int kind) {
            for (size_t i = 0; i < size; ++i)
                ASSERT_EQ(bytes[i], i < filled ? static_cast<uint8_t>(10001 + i * 7 + kind) : 0) << kind << " at " << i;
        };
        expectBytes(r.serviceTicket, c.service, c.service, 1);
        expectBytes(r.webTicket, c.web, c.web, 2);
        expectBytes(r.ticketKey, c.key, sizeof r.ticketKey, 3);
    }
}

// The reason reaches the handler whole, however long: 1,000 characters ending in an appeal's
// address, which a cut would lose first.
TEST(SSODataProviderLogin, FailuresCarryTheCodeAndTheWholeReason)
{
    std::string longReason;
    for (int i = 0; longReason.size() < 950; ++i) longReason += "held " + std::to_string(i) + ", ";
    longReason += "appeal at https://security.ombrel.example/appeal";
    longReason.resize(1000, 'x');
    StartedProvider s(Scenario("Result=fail\r\nErrorType=77\r\nReason=" + longReason + "\r\n"));
    const std::vector<uint8_t> digest = SSOTestBed::Digest("secret");
    // Digests of any length but 16 bytes, and missing arguments, never reach the library.
    EXPECT_FALSE(s.provider.LoginByHashedPassword(L"alice", digest.data(), 15, 0, nullptr));
    EXPECT_FALSE(s.provider.LoginByHashedPassword(L"alice", digest.data(), 17, 0, nullptr));
    EXPECT_FALSE(s.provider.LoginByHashedPassword(nullptr, digest.data(), 16, 0, nullptr));
    EXPECT_FALSE(s.provider.LoginByHashedPassword(L"alice", nullptr, 16, 0, nullptr));
    EXPECT_FALSE(s.bed.LastCall("login.8").IsObject());

    const std::tuple<const wchar_t*, const char*, const char*, std::wstring> cases[] = {
        {L"alice", "secret", "failed alice 77", std::wstring(longReason.begin(), longReason.end())},
        {L"bob", "wrong", "failed bob 2", L"wrong password"},
        {L"nobody", "x", "failed nobody 1", L""}};  // any reason
    for (const auto& [account, password, outcome, reason] : cases) {
        const size_t heard = s.events.Outcomes().size();
        ASSERT_TRUE(LoginWith(s.provider, account, password));
        ASSERT_TRUE(s.WaitFor(heard + 1));
        EXPECT_EQ(s.events.Outcomes().back(), outcome);
        if (!reason.empty()) {
            EXPECT_EQ(s.events.lastReason, reason);
        }
    }
    EXPECT_EQ(s.events.Outcomes().size(), 3u);
    EXPECT_TRUE(StoredAccounts(s.bed).empty()) << "nothing is stored after a failure";
}

// Failure answers as the library sends them: a reason up to the bound reaches the handler whole;
// a longer one keeps its start and ends in an ellipsis, and never in half of a surrogate pair.
TEST(SSODataProviderLogin, OverlongReasonsKeepTheirStartAndEndInAnEllipsis)
{
    StartedProvider s(Scenario());
    LibraryObjects lib(s.bed);
    ASSERT_TRUE(lib.main);
    const auto text = [](size_t length) {
        std::wstring t;
        while (t.size() < length) t += L"帐号已冻结，申诉 https://ombrel.example/a ";
        t.resize(length);
        return t;
    };
    const size_t bound = CSSODataProvider::kMaxReasonChars;
    const std::wstring pair = L"\xD83D\xDE00";
    const struct {
        const char* what;
        std::wstring reason, heard;
    } cases[] = {
        {"empty", L"", L""},
        {"at the bound", text(bound), text(bound)},
        {"a pair ending at the bound", text(bound - 2) + pair, text(bound - 2) + pair},
        {"one over", text(bound + 1), text(bound - 1) + L"\x2026"},
        {"400,000 characters", text(400000), text(bound - 1) + L"\x2026"},
        {"a pair across the cut", text(bound - 2) + pair + L"more", text(bound - 2) + L"\x2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<ISSOFieldContainer> failure = lib.Container();
        SSOFields f(failure.Get());
        f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
        f.SetBool(L"bSSO_Result_bSucceed", false);
        f.SetString(L"strSSO_Result_Failed_strReason", c.reason);
        const size_t heard = s.events.Outcomes().size();
        ASSERT_EQ(SendCopyData(s.provider.EventWindow(), 6528, lib.Encode(failure.Get())), TRUE);
        ASSERT_EQ(s.events.Outcomes().size(), heard + 1);
        EXPECT_EQ(s.events.Outcomes().back(), "failed alice 0");  // no error type sent
        EXPECT_EQ(s.events.lastReason.size(), c.heard.size());
        EXPECT_TRUE(s.events.lastReason == c.heard) << "the reason differs from the one sent";
    }
}

TEST(SSODataProviderLogin, VerificationByCodeOrWebTicket)
{
    StartedProvider s(Scenario("Result=verify\r\nPageUrl=https://verify.example/page\r\n"));
    const std::string page = "verify https://verify.example/page 10001";
    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret", 1));
    ASSERT_TRUE(s.WaitFor(1));
    EXPECT_EQ(s.events.Outcomes(), (Texts{page}));

    // A new page, then the code typed by the user.
    s.provider.ReGetVerifyCode(10001);
    EXPECT_TRUE(s.bed.LastCall("login.11")["data"].IsNull());
    ASSERT_TRUE(s.WaitFor(2));
    EXPECT_EQ(s.events.Outcomes().back(), page);
    EXPECT_FALSE(s.provider.EnterVerifyCode(nullptr, 10001));
    EXPECT_TRUE(s.provider.EnterVerifyCode(L"abcd", 10001));
    EXPECT_EQ(Str(s.bed.LastCall("login.11")["data"]["strVerifyCode"]), "abcd");
    ASSERT_TRUE(s.WaitFor(3));
    EXPECT_EQ(s.events.Outcomes().back(), "success alice");
    EXPECT_EQ(StoredAccounts(s.bed), (std::vector<uint32_t>{10001})) << "the remember choice survives verification";

    // The page's ticket and random string, in UTF-8.
    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret"));
    ASSERT_TRUE(s.WaitFor(4));
    EXPECT_FALSE(s.provider.WebVerifyTicket(nullptr, L"rand", 10001));
    EXPECT_FALSE(s.provider.WebVerifyTicket(L"tick", nullptr, 10001));
    EXPECT_TRUE(s.provider.WebVerifyTicket(L"t\u00e9ck", L"rand", 10001));
    const rapidjson::Document call = s.bed.LastCall("login.11");
    EXPECT_EQ(call["accountNumber"].GetUint(), 10001u);
    EXPECT_EQ(call["reserved"].GetUint(), 0u);
    EXPECT_EQ(Json(call["data"]), R"({"bufRandStr":{"hex":")" + Hex("rand") + R"("},"bufTicket":{"hex":")" +
                                      Hex("t\xc3\xa9" "ck") + R"("}})");
    ASSERT_TRUE(s.WaitFor(5));
    EXPECT_EQ(s.events.Outcomes().back(), "success alice");

    // Nothing waits for a ticket any more: the library refuses, and so does the call.
    EXPECT_FALSE(s.provider.WebVerifyTicket(L"tick", L"rand", 10001));
}

TEST(SSODataProviderLogin, CancelledFailedAndPagelessVerification)
{
    StartedProvider s(Scenario("Result=verify\r\nPageUrl=https://v.example/\r\nAfterVerify=fail\r\n"));
    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret"));
    ASSERT_TRUE(s.WaitFor(1));

    s.provider.CancelVerify(nullptr);
    s.provider.CancelVerify(L"alice");
    const rapidjson::Document cancel = s.bed.LastCall("login.9");
    EXPECT_EQ(Str(cancel["account"]), "alice");
    EXPECT_EQ(cancel["serviceId"].GetUint(), 769047801u);
    EXPECT_FALSE(s.provider.WebVerifyTicket(L"tick", L"rand", 10001)) << "nothing waits after the cancel";

    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret"));
    ASSERT_TRUE(s.WaitFor(2));
    EXPECT_TRUE(s.provider.WebVerifyTicket(L"tick", L"rand", 10001));
    ASSERT_TRUE(s.WaitFor(3));
    EXPECT_EQ(s.events.Outcomes(), (Texts{"verify https://v.example/ 10001", "verify https://v.example/ 10001",
                                          "failed alice 5"}));

    // A verification request without a page is not reported.
    s.bed.WriteScenario(Scenario("Result=verify\r\n"));
    s.bed.ClearCalls();
    ASSERT_TRUE(LoginWith(s.provider, L"alice", "secret"));
    ASSERT_TRUE(SSOTestBed::PumpUntil([&] {
        const Texts calls = s.bed.CallNames();
        return std::find(calls.begin(), calls.end(), "event.6529") != calls.end();
    }));
    kit::Pump(50);
    EXPECT_EQ(s.events.Outcomes().size(), 3u);
}

TEST(SSODataProviderLogin, RememberedPasswordIsUsedForAnEmptyDigestInTheNextRun)
{
    SSOTestBed bed(Scenario());
    {
        ProviderRun first;
        ASSERT_TRUE(LoginWith(first.provider, L"alice", "secret", 1));
        ASSERT_TRUE(first.WaitFor(1));
        first.provider.Uninit();
    }
    ProviderRun s;
    const BYTE zeros[16] = {};
    ASSERT_TRUE(s.provider.LoginByHashedPassword(L"alice", zeros, 16, 0, nullptr));
    rapidjson::Document call = bed.LastCall("login.8");
    EXPECT_EQ(call["credentialType"].GetUint(), 5u);
    EXPECT_EQ(Str(call["credential"]["hex"]), Hex("s2sc:10001"));
    ASSERT_TRUE(s.WaitFor(1));
    EXPECT_EQ(s.events.Outcomes().back(), "success alice");

    // An account without a remembered password sends the zero digest as it is.
    ASSERT_TRUE(s.provider.LoginByHashedPassword(L"bob", zeros, 16, 0, nullptr));
    call = bed.LastCall("login.8");
    EXPECT_EQ(call["credentialType"].GetUint(), 2u);
    EXPECT_EQ(Str(call["credential"]["hex"]), std::string(32, '0'));
    ASSERT_TRUE(s.WaitFor(2));
    EXPECT_EQ(s.events.Outcomes().back(), "failed bob 2");

    // Deleting by a number above 32 bits matches nothing; the real number removes the entry.
    bed.ClearCalls();
    s.provider.DeleteAccount(10001ull + (1ull << 32));
    EXPECT_FALSE(bed.LastCall("service.20").IsObject());
    s.provider.DeleteAccount(10001);
    EXPECT_TRUE(bed.LastCall("service.20").IsObject());
    EXPECT_TRUE(StoredAccounts(bed).empty());
    ASSERT_TRUE(s.provider.LoginByHashedPassword(L"alice", zeros, 16, 0, nullptr));
    EXPECT_EQ(bed.LastCall("login.8")["credentialType"].GetUint(), 2u) << "the remembered password is gone";
    ASSERT_TRUE(s.WaitFor(3));
}

// The login dialog offers a remembered account by its number, whatever text it was first signed
// in with: with the zero digest the number finds the remembered password kept under that text,
// and the library takes it. A text that names no remembered account, by itself or as a number
// (a number above 32 bits included), sends the zero digest it was given.
TEST(SSODataProviderLogin, RememberedPasswordIsFoundByItsTextOrItsNumber)
{
    const struct {
        const wchar_t* first;   // signed in with the password, remembered
        const wchar_t* second;  // signed in with the zero digest in the next run
        bool remembered;        // the remembered password goes out (else the zero digest)
    } cases[] = {
        {L"10001", L"10001", true},
        {L"alice@example.org", L"10001", true},
        {L"13800138000", L"10001", true},
        {L"alice@example.org", L"alice@example.org", true},
        {L"13800138000", L"13800138000", true},
        {L"alice@example.org", L"alice", false},
        {L"alice@example.org", L"4294977297", false},  // 10001 + 2^32
        {L"alice@example.org", L"010001x", false},
        {L"alice@example.org", L"10002", false},
    };
    const BYTE zeros[16] = {};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << EventLog::Narrow(c.first) << " then " << EventLog::Narrow(c.second));
        SSOTestBed bed(Scenario());
        {
            ProviderRun first;
            ASSERT_TRUE(LoginWith(first.provider, c.first, "secret", 1));
            ASSERT_TRUE(first.WaitFor(1));
            ASSERT_EQ(first.events.Outcomes().back(), "success " + EventLog::Narrow(c.first));
            first.provider.Uninit();
        }
        ProviderRun s;
        ASSERT_TRUE(s.provider.LoginByHashedPassword(c.second, zeros, 16, 0, nullptr));
        const rapidjson::Document call = bed.LastCall("login.8");
        EXPECT_EQ(call["credentialType"].GetUint(), c.remembered ? 5u : 2u);
        EXPECT_EQ(Str(call["credential"]["hex"]), c.remembered ? Hex("s2sc:10001") : std::string(32, '0'));
        ASSERT_TRUE(s.WaitFor(1));
        const std::string outcome = s.events.Outcomes().back();
        EXPECT_EQ(outcome.rfind(c.remembered ? "success " : "failed ", 0), 0u) << outcome;
        s.provider.Uninit();
    }
}

TEST(SSODataProviderLogin, StoredAccountLoginCarriesTheProxy)
{
    StartedProvider s(Scenario());
    SSOProxySettings proxy = {};
    proxy.enabled = 1;
    proxy.kind = SSOProxySettings::kKindSocks5;
    proxy.port = 1080;
    wcscpy(proxy.address, L"proxy.local");
    wcscpy(proxy.userName, L"u");
    wcscpy(proxy.password, L"p");
    // A text that fills its field without a terminating zero.
    std::fill(std::begin(proxy.domain), std::end(proxy.domain), L'd');

    EXPECT_FALSE(s.provider.LoginFromPVAList(nullptr, &proxy));
    ASSERT_TRUE(s.provider.LoginFromPVAList(L"alice", &proxy));
    rapidjson::Document call = s.bed.LastCall("login.8");
    EXPECT_EQ(call["credentialType"].GetUint(), 0u);
    EXPECT_TRUE(call["credential"].IsNull());
    EXPECT_EQ(Json(call["extra"]["dataProxyData"]),
              R"({"cProxy_Type":4,"strProxy_Addr":"proxy.local","wProxy_Port":1080,"strProxy_UserName":"u",)"
              R"("strProxy_Password":"p","strProxy_Domain":")" + std::string(128, 'd') + R"(","bOnlyUserProxy":true})");
    ASSERT_TRUE(s.WaitFor(1));
    EXPECT_EQ(s.events.Outcomes().back(), "success alice");

    proxy.kind = SSOProxySettings::kKindHttp;
    ASSERT_TRUE(s.provider.LoginFromPVAList(L"alice", &proxy));
    EXPECT_EQ(s.bed.LastCall("login.8")["extra"]["dataProxyData"]["cProxy_Type"].GetUint(), 1u);
    proxy.kind = 3;
    ASSERT_TRUE(s.provider.LoginFromPVAList(L"alice", &proxy));
    EXPECT_EQ(Json(s.bed.LastCall("login.8")["extra"]), "{}") << "an unknown kind adds nothing";
    proxy.enabled = 0;
    ASSERT_TRUE(s.provider.LoginFromPVAList(L"alice", &proxy));
    EXPECT_EQ(Json(s.bed.LastCall("login.8")["extra"]), R"({"dataProxyData":{"cProxy_Type":0}})");

    // An account the library holds no sign-in for.
    ASSERT_TRUE(s.provider.LoginFromPVAList(L"bob", nullptr));
    ASSERT_TRUE(s.WaitFor(5));
    EXPECT_EQ(s.events.Outcomes().back(), "failed bob 4");
}

TEST(SSODataProviderLogin, FirstSignInOfAnAccountChangesTheLibrarysList)
{
    StartedProvider s(Scenario("", "NotifyListChange=1\r\n"));
    ASSERT_TRUE(LoginWith(s.provider, L"bob", "hunter2"));
    ASSERT_TRUE(s.WaitFor(2));
    EXPECT_EQ(s.events.Outcomes(), (Texts{"success bob", "list 2"}));
    const SSOAccountTable* table = s.events.lastTable;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->entries[0].accountNumber, 10002u) << "the newest sign-in first";
    EXPECT_STREQ(table->entries[0].accountValue, L"bob");
}

TEST(SSODataProviderLogin, AnswersWithoutAHandlerAreDropped)
{
    SSOTestBed bed(Scenario("DelayMs=20\r\n"));
    CSSODataProvider provider;
    ASSERT_TRUE(provider.Init());
    ASSERT_TRUE(LoginWith(provider, L"alice", "secret", 1));
    SSOTestBed::PumpUntil([&] { return bed.LastCall("service.20").IsObject(); }, 2000);
    EXPECT_EQ(StoredAccounts(bed), (std::vector<uint32_t>{10001})) << "the answer was handled without a handler";
}
