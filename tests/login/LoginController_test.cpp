// The login controller: newest-first delivery from a snapshot, handlers that add, remove or
// delete handlers during a delivery, and the records it keeps per account.
#include "tests/login/SSOTestBed.h"

#include <memory>

#include "login/Login.h"

namespace {

using Order = std::vector<std::string>;

_tagKwiSERVERLOGININFO ServerRecord(uint64_t number, uint8_t ticketByte)
{
    _tagKwiSERVERLOGININFO r = {};
    r.size = sizeof(r);
    r.accountNumber = number;
    r.serviceTicketLength = 1;
    r.serviceTicket[0] = ticketByte;
    return r;
}

_tagKwiBASEUSERINFO UserRecord(uint64_t number, const wchar_t* nick)
{
    _tagKwiBASEUSERINFO r = {};
    r.size = sizeof(r);
    r.accountNumber = number;
    wcscpy(r.nickName, nick);
    r.nickNameLength = static_cast<uint8_t>(wcslen(nick));
    return r;
}

// A handler that also writes its name into an order list shared by every handler.
struct Named : EventLog {
    Named(Order& order, const std::string& name) : EventLog(name)
    {
        onEvent = [&order, name] { order.push_back(name); };
    }
};

// A handler that, hearing a failure, removes itself from the controller and deletes itself.
struct SelfDeleting : Named {
    SelfDeleting(CLogin& login, Order& order, bool& deleted) : Named(order, "self"), login(login), deleted(deleted) {}
    ~SelfDeleting() override { deleted = true; }
    void OnLoginFailed(const wchar_t*, int32_t, const wchar_t*, uint32_t) override
    {
        onEvent();
        login.RemoveHandler(this);
        std::unique_ptr<SelfDeleting> gone(this);
    }
    CLogin& login;
    bool& deleted;
};

} // namespace

TEST(LoginController, EventsReachTheNewestHandlerFirst)
{
    CLogin login;
    Order order;
    Named a(order, "A");
    Named b(order, "B");
    login.AddHandler(&a, 3);
    login.AddHandler(&b, 0);

    login.OnLoginFailed(L"alice", 7, L"why", 0);
    EXPECT_EQ(order, (Order{"B", "A"}));
    EXPECT_EQ(a.events, (Order{"A: failed alice 7"}));
    EXPECT_EQ(a.lastReason, L"why");

    // Adding A again moves it to the newest place without listing it twice; tags never decide
    // delivery.
    login.AddHandler(&a, 5);
    login.SetHandlerValue(5, 9);
    login.SetHandlerValue(4, 1);
    EXPECT_EQ(login.HandlerCount(), 2u);
    order.clear();
    login.FireEvent0(&ILoginEvent::OnAccountListEmpty);
    EXPECT_EQ(order, (Order{"A", "B"}));

    login.RemoveHandler(&a);
    order.clear();
    login.OnVerifyCodeRequired(L"https://v/", 1ull << 40);
    EXPECT_EQ(order, (Order{"B"}));
    EXPECT_EQ(b.events.back(), "B: verify https://v/ 1099511627776");

    login.RemoveHandler(&b);
    login.OnEvent2(1, 2, 3, 4, 5);
    EXPECT_EQ(b.events.size(), 3u) << "no handler, nothing delivered";
}

TEST(LoginController, EveryProviderCallbackBecomesItsEvent)
{
    CLogin login;
    EventLog log;
    login.AddHandler(&log, 0);
    const _tagKwiSERVERLOGININFO server = ServerRecord(10001, 9);
    const _tagKwiBASEUSERINFO user = UserRecord(10001, L"Alice");
    SSOAccountTable table = {};
    table.count = 3;

    ISSODataProviderEventHandler& provider = login;
    provider.OnLoginSuccess(L"alice", &server, &user);
    provider.OnLoginFailed(L"alice", 36880, nullptr, 0);
    provider.OnEvent2(1, 2, 3, 4, 5);
    provider.OnAccountListChanged(&table);
    provider.OnAccountListChanged(nullptr);
    provider.OnServerTime(123456);
    provider.OnVerifyCodeRequired(L"u", 10001);
    const SSOAccountTable* reloaded = &table;
    login.FireEvent1(&ILoginEvent::OnAccountListReloaded, &reloaded);

    EXPECT_EQ(log.events, (Order{"success alice", "failed alice 36880", "event2 12345", "list 3", "list 0",
                                 "verify u 10001", "reloaded 3"}));
    EXPECT_EQ(log.lastReason, L"<null>");
    EXPECT_EQ(log.server.serviceTicket[0], 9);
    EXPECT_STREQ(log.user.nickName, L"Alice");
    EXPECT_EQ(login.ServerTime(), 123456u);
    EXPECT_NE(login.ServerTimeTick(), 0u);
    login.RemoveHandler(&log);
}

// Handlers removed, added or deleted by a handler during an event follow the snapshot taken
// before it: a removed one is skipped, an added one waits for the next event, and one that
// deletes itself is never touched again.
TEST(LoginController, HandlersChangedDuringAnEventFollowTheSnapshot)
{
    CLogin login;
    Order order;
    Named a(order, "A");
    Named b(order, "B");
    Named c(order, "C");
    Named late(order, "late");
    bool deleted = false;
    login.AddHandler(&a, 0);
    login.AddHandler(&b, 0);
    login.AddHandler(new SelfDeleting(login, order, deleted), 0);
    login.AddHandler(&c, 0);
    c.onEvent = [&] {
        order.push_back("C");
        login.RemoveHandler(&b);
        login.AddHandler(&late, 0);
    };
    login.OnLoginFailed(L"x", 1, nullptr, 0);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(order, (Order{"C", "self", "A"}));
    EXPECT_TRUE(b.events.empty());

    c.onEvent = [&] { order.push_back("C"); };
    order.clear();
    login.FireEvent0(&ILoginEvent::OnAccountListEmpty);
    EXPECT_EQ(order, (Order{"late", "C", "A"}));
    EXPECT_EQ(login.HandlerCount(), 3u);
}

TEST(LoginController, SecondLoginOfAnAccountOverwritesItsRecordsInPlace)
{
    CLogin login;
    const _tagKwiSERVERLOGININFO first = ServerRecord(10001, 1);
    const _tagKwiBASEUSERINFO firstUser = UserRecord(10001, L"One");
    login.OnLoginSuccess(L"alice", &first, &firstUser);
    const std::shared_ptr<const _tagKwiSERVERLOGININFO> kept = login.ServerLoginInfo(L"alice");
    ASSERT_NE(kept, nullptr);

    const _tagKwiSERVERLOGININFO second = ServerRecord(10001, 2);
    const _tagKwiBASEUSERINFO secondUser = UserRecord(10001, L"Two");
    login.OnLoginSuccess(L"alice", &second, &secondUser);
    const _tagKwiSERVERLOGININFO other = ServerRecord(10002, 3);
    const _tagKwiBASEUSERINFO otherUser = UserRecord(10002, L"Bob");
    login.OnLoginSuccess(L"bob", &other, &otherUser);

    EXPECT_EQ(login.ServerLoginInfo(L"alice"), kept) << "the same record, reused";
    EXPECT_EQ(kept->serviceTicket[0], 2);
    EXPECT_STREQ(login.BaseUserInfo(L"alice")->nickName, L"Two");
    EXPECT_STREQ(login.BaseUserInfo(L"bob")->nickName, L"Bob");
    EXPECT_EQ(login.CurrentAccount(), L"alice") << "the first account stays current";
    EXPECT_EQ(login.ServerLoginInfo(L"carol"), nullptr);
}

TEST(LoginController, StartsTheProviderOnceAndDetachesItAtTheEnd)
{
    {
        SSOTestBed bed("", nullptr);
        CLogin login;
        ASSERT_TRUE(login.InitSSO());
        CSSODataProvider* provider = login.provider.get();
        ASSERT_NE(provider, nullptr);
        EXPECT_FALSE(provider->LibraryLoaded()) << "started even without the library";
        EXPECT_EQ(CSSODataProvider::Current(), provider);
        EXPECT_TRUE(login.InitSSO());
        EXPECT_EQ(login.provider.get(), provider);
    }
    SSOTestBed bed("[account.a]\r\nUin=10001\r\nListed=1\r\n");
    HWND window = nullptr;
    {
        CLogin login;
        EventLog log;
        login.AddHandler(&log, 0);
        ASSERT_TRUE(login.InitSSO());
        window = login.provider->EventWindow();
        ASSERT_TRUE(::IsWindow(window));
        // The provider's events reach the controller's handlers.
        ::SendMessageW(window, 3004, 0, 0);
        EXPECT_EQ(log.events, (Order{"list 1"}));
        login.RemoveHandler(&log);
        bed.ClearCalls();
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(CSSODataProvider::Current(), nullptr);
    EXPECT_EQ(bed.CallNames(), (std::vector<std::string>{"main.14", "main.9"}));
}
