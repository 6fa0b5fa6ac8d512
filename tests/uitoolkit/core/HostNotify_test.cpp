// The window host's delivery side on a real window: synchronous and queued notifications,
// message filters and pre-translation, control timers, reflection of child-window messages.
#include <gtest/gtest.h>

#include <vector>

#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "HostFixture.h"

using namespace SkinUI;
using kit::SameSequence;
using namespace host_fixture;

// ---- notifications ------------------------------------------------------------------------------

TEST(HostNotify, SynchronousGoesToSenderDelegatesThenListenersInOrder)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    std::vector<std::wstring> order;
    f.a->NotifyDelegates += MakeDelegate([&](void* p) {
        order.push_back(L"delegate:" + std::wstring(static_cast<NotifyMessage*>(p)->type.GetData()));
        return false;  // the result is ignored: listeners still get it
    });
    kit::NotifyRecorder second;
    f.Host()->AddNotifyListener(&second);
    f.rec.onNotify = [&](NotifyMessage& m) { order.push_back(L"first:" + std::wstring(m.type.GetData())); };
    second.onNotify = [&](NotifyMessage& m) { order.push_back(L"second:" + std::wstring(m.type.GetData())); };

    kit::Input(f.win.Hwnd()).Move(40, 30);
    order.clear();
    f.Host()->SendNotify(f.a, L"ping", 5, 6);
    EXPECT_TRUE(SameSequence(order, {L"delegate:ping", L"first:ping", L"second:ping"}));
    const kit::NotifyRecord last = f.rec.records.back();
    EXPECT_EQ(last.sender, L"a");
    EXPECT_EQ(last.wParam, 5u);
    EXPECT_EQ(last.lParam, 6);

    // The record carries the last mouse position and the time.
    NotifyMessage msg;
    msg.type = L"raw";
    msg.sender = f.b;
    f.Host()->DispatchNotify(msg);
    EXPECT_EQ(msg.point.x, 40);
    EXPECT_EQ(msg.point.y, 30);
    EXPECT_NE(msg.timestamp, 0u);

    EXPECT_TRUE(f.Host()->RemoveNotifyListener(&second));
    EXPECT_FALSE(f.Host()->RemoveNotifyListener(&second));
}

TEST(HostNotify, QueuedNotificationsArriveInOrderAfterTheMessage)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    int seenDuring = -1;
    f.a->onEvent = [&](ControlEvent& e) {
        if (e.type == kEventButtonDown) {
            f.Host()->SendNotify(f.a, L"one", 1, 0, true);
            f.Host()->SendNotify(f.a, L"two", 2, 0, true);
            seenDuring = f.rec.Count(L"one");
        }
        return true;
    };
    kit::Input in(f.win.Hwnd());
    in.LeftDown(10, 10);
    EXPECT_EQ(seenDuring, 0);
    EXPECT_TRUE(SameSequence(f.rec.Types({L"one", L"two"}), {L"one", L"two"}));

    // Queued outside any message: delivered when the next message starts, even a handled one.
    f.rec.Clear();
    f.Host()->SendNotify(f.b, L"later", 0, 0, true);
    EXPECT_EQ(f.rec.Count(L"later"), 0);
    ::SendMessageW(f.win.Hwnd(), WM_ERASEBKGND, 0, 0);
    EXPECT_TRUE(SameSequence(f.rec.Lines({L"later"}), {L"later:b"}));
}

TEST(HostNotify, QueuedNotificationOfADeletedControlArrivesWithoutSender)
{
    kit::GuardedScope guard;
    Fixture f;
    ASSERT_TRUE(f.Open());
    int delegateCalls = 0;
    f.b->NotifyDelegates += MakeDelegate([&](void*) { ++delegateCalls; return true; });
    f.Host()->SendNotify(f.b, L"orphan", 0, 0, true);
    f.root->Remove(f.b);
    ::SendMessageW(f.win.Hwnd(), WM_NULL, 0, 0);
    ASSERT_EQ(f.rec.Count(L"orphan"), 1);
    EXPECT_EQ(f.rec.OfType(L"orphan")[0].sender, L"");
    EXPECT_EQ(delegateCalls, 0);
}

TEST(HostNotify, ListenerDeletingTheSenderLeavesLaterListenersWithoutIt)
{
    kit::GuardedScope guard;
    Fixture f;
    ASSERT_TRUE(f.Open());
    f.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"bye")
            f.root->Remove(f.a);
    };
    CControlUI* senderSeenLater = reinterpret_cast<CControlUI*>(1);
    kit::NotifyRecorder later;
    later.onNotify = [&](NotifyMessage& m) { senderSeenLater = m.sender; };
    f.Host()->AddNotifyListener(&later);
    f.Host()->SendNotify(f.a, L"bye");
    EXPECT_EQ(senderSeenLater, nullptr);
    f.Host()->RemoveNotifyListener(&later);
}

// ---- filters ------------------------------------------------------------------------------------

TEST(HostFilters, AFilterThatTakesAMessageHidesItFromHostAndWindow)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    Filter first, second;
    first.take = WM_USER + 7;
    first.result = 42;
    f.Host()->AddMessageFilter(&first);
    f.Host()->AddMessageFilter(&second);
    int windowSaw = 0;
    f.win.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
        windowSaw += m == WM_USER + 7;
        return false;
    };
    EXPECT_EQ(::SendMessageW(f.win.Hwnd(), WM_USER + 7, 0, 0), 42);
    EXPECT_EQ(windowSaw, 0);
    EXPECT_EQ(std::count(second.seen.begin(), second.seen.end(), static_cast<UINT>(WM_USER + 7)), 0);
    ::SendMessageW(f.win.Hwnd(), WM_USER + 8, 0, 0);
    EXPECT_EQ(windowSaw, 0);
    EXPECT_EQ(std::count(second.seen.begin(), second.seen.end(), static_cast<UINT>(WM_USER + 8)), 1);

    // A filter that takes the left button: the control never sees it.
    first.take = WM_LBUTTONDOWN;
    f.log.Clear();
    kit::Input(f.win.Hwnd()).LeftDown(10, 10);
    EXPECT_TRUE(f.log.Without({L"move", L"enter"}).empty());
    EXPECT_TRUE(f.Host()->RemoveMessageFilter(&first));
    EXPECT_TRUE(f.Host()->RemoveMessageFilter(&second));
    EXPECT_FALSE(f.Host()->RemoveMessageFilter(&second));
}

TEST(HostFilters, PreFiltersAndTranslateMessageForOwnAndChildWindows)
{
    Fixture f;
    f.a->SetBehaviour(kBehaviourTabStop);
    f.b->SetBehaviour(kBehaviourTabStop);
    ASSERT_TRUE(f.Open());
    ASSERT_EQ(f.Host()->GetFocus(), f.a);

    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, f.win.Hwnd(), nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    MSG msg = {child, WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));  // the parent's host takes Tab
    EXPECT_EQ(f.Host()->GetFocus(), f.b);
    msg.message = WM_KEYDOWN;
    msg.wParam = 'A';
    EXPECT_FALSE(CWindowHostUI::TranslateMessage(&msg));
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    msg.hwnd = other;
    msg.wParam = VK_TAB;
    EXPECT_FALSE(CWindowHostUI::TranslateMessage(&msg));  // no host of that window
    ::DestroyWindow(other);

    Filter pre;
    pre.take = WM_KEYDOWN;
    pre.result = 1;
    f.Host()->AddPreFilter(&pre);
    msg.hwnd = f.win.Hwnd();
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));
    EXPECT_EQ(f.Host()->GetFocus(), f.b);  // the pre-filter took it before the Tab walk
    EXPECT_TRUE(f.Host()->RemovePreFilter(&pre));

    // A pre-filter that destroys the window: the walk stops without touching the host.
    Filter killer;
    killer.action = [&](UINT) {
        ::DestroyWindow(f.win.Hwnd());
        return true;
    };
    f.Host()->AddPreFilter(&killer);
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));
    EXPECT_FALSE(f.win.IsOpen());
}

// ---- timers -------------------------------------------------------------------------------------

namespace {
using Lines = std::vector<std::wstring>;
// What the controls logged while the window got WM_TIMER with this id.
Lines Fire(Fixture& f, WPARAM id)
{
    f.log.Clear();
    ::SendMessageW(f.win.Hwnd(), WM_TIMER, id, 0);
    return f.log.lines;
}
} // namespace

TEST(HostTimers, IdsRestartReservedIdsAndUnknownIds)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    CWindowHostUI* host = f.Host();
    std::vector<WPARAM> passedOn;
    f.win.onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER)
            passedOn.push_back(w);
        return false;
    };

    // The first window timer id is 17; the event and the notification carry the control's own id.
    ASSERT_TRUE(host->SetTimer(f.a, 5, 100000));
    EXPECT_FALSE(host->SetTimer(f.a, 5, 100000));  // running
    EXPECT_EQ(Fire(f, 17), Lines{L"a:timer"});
    EXPECT_EQ(f.a->events.back().wParam, 5u);
    ASSERT_EQ(f.rec.Count(L"timer"), 1);
    EXPECT_EQ(f.rec.OfType(L"timer")[0].wParam, 5u);
    EXPECT_EQ(passedOn, (std::vector<WPARAM>{17}));  // not handled: the window sees it too
    EXPECT_EQ(Fire(f, 99), Lines{});  // unknown ids are passed on only

    // Killed: stays in the list as stopped; a restart reuses its window id.
    EXPECT_TRUE(host->KillTimer(f.a, 5));
    EXPECT_FALSE(host->KillTimer(f.a, 5));
    EXPECT_EQ(Fire(f, 17), Lines{});
    ASSERT_TRUE(host->SetTimer(f.a, 5, 100000));
    EXPECT_EQ(Fire(f, 17), Lines{L"a:timer"});

    // Ids the window reserves for itself are never handed out.
    host->ReserveTimerId(18);
    ASSERT_TRUE(host->SetTimer(f.b, 1, 100000));
    EXPECT_EQ(Fire(f, 18), Lines{});
    EXPECT_EQ(Fire(f, 19), Lines{L"b:timer"});

    // A real timer fires through the system.
    f.log.Clear();
    ASSERT_TRUE(host->SetTimer(f.b, 2, 20));
    EXPECT_TRUE(kit::PumpUntil([&] { return f.log.lines.size() >= 2; }, 2000));
    EXPECT_EQ(f.log.lines.front(), L"b:timer");
    EXPECT_EQ(f.b->events.back().wParam, 2u);

    // A deleted control's timers are killed and forgotten.
    f.root->Remove(f.b);
    f.log.Clear();
    kit::Pump(80);
    EXPECT_EQ(f.log.lines, Lines{});
    EXPECT_EQ(Fire(f, 19), Lines{});
}

TEST(HostTimers, IdsWrapSkippingTakenOnesAndRunOutInsteadOfColliding)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    CWindowHostUI* host = f.Host();
    host->ReserveTimerId(28);
    host->ReserveTimerId(101);
    // 1..254 without the two reserved ones.
    int started = 0;
    for (UINT id = 0; id < 300; ++id)
        started += host->SetTimer(f.a, id, 1000000) ? 1 : 0;
    EXPECT_EQ(started, 252);

    // Every id is held: the 256th timer does not reuse the first one's id.
    EXPECT_EQ(Fire(f, 17), Lines{L"a:timer"});
    EXPECT_EQ(f.a->events.back().wParam, 0u);
    EXPECT_EQ(Fire(f, 28), Lines{});

    // Freed ids are taken again, after the counter's position.
    host->KillAllTimers(f.a);
    ASSERT_TRUE(host->SetTimer(f.b, 7, 1000000));
    f.log.Clear();
    for (WPARAM id = 1; id < 255; ++id)
        ::SendMessageW(f.win.Hwnd(), WM_TIMER, id, 0);
    EXPECT_TRUE(SameSequence(f.log.lines, {L"b:timer"}));
}

// ---- reflection ---------------------------------------------------------------------------------

namespace {
struct Reflected {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Reflected> g_reflected;
LRESULT CALLBACK ReflectChildProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= 0x2000 && message < 0x3000) {
        g_reflected.push_back({message, wParam, lParam});
        return 0x1234 + message;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
} // namespace

TEST(HostReflection, ChildMessagesComeBackToTheChildPlus0x2000)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReflectChildProc;
    wc.lpszClassName = L"OmbrelReflectChild";
    ::RegisterClassW(&wc);
    HWND child = ::CreateWindowExW(0, L"OmbrelReflectChild", L"", WS_CHILD, 0, 0, 5, 5, f.win.Hwnd(), nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    HWND h = f.win.Hwnd();

    // Each message comes back to the child unchanged but for the offset, with the child's result.
    NMHDR header = {child, 4, NM_CLICK};
    HDC dc = ::GetDC(child);
    const Reflected sent[] = {
        {WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(child)},
        {WM_NOTIFY, 4, reinterpret_cast<LPARAM>(&header)},
        {WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)},
        {WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)},
    };
    for (const Reflected& m : sent) {
        g_reflected.clear();
        EXPECT_EQ(::SendMessageW(h, m.message, m.wParam, m.lParam), static_cast<LRESULT>(0x1234 + m.message + 0x2000));
        ASSERT_EQ(g_reflected.size(), 1u) << m.message;
        EXPECT_EQ(g_reflected[0].message, m.message + 0x2000);
        EXPECT_EQ(g_reflected[0].wParam, m.wParam);
        EXPECT_EQ(g_reflected[0].lParam, m.lParam);
    }
    ::ReleaseDC(child, dc);

    // A menu command (no child window) is left to the window.
    int windowSaw = 0;
    f.win.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
        windowSaw += m == WM_COMMAND;
        return false;
    };
    ::SendMessageW(h, WM_COMMAND, 100, 0);
    EXPECT_EQ(windowSaw, 1);
    EXPECT_EQ(g_reflected.size(), 1u);
}

