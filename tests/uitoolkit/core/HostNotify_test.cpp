// The window host's delivery side on a real window: synchronous and queued notifications,
// message filters and pre-translation, control timers, reflection of child-window messages.
// (Deliveries whose listener deletes the sender or closes the window: HostLifetime_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "HostFixture.h"
#include "kit/Pump.h"

using namespace SkinUI;
using namespace host_fixture;

TEST_F(HostTest, SynchronousNotifyGoesToSenderDelegatesThenListenersInOrder)
{
    Lines order;
    a->NotifyDelegates += MakeDelegate([&](void* p) {
        order.push_back(L"delegate:" + std::wstring(static_cast<NotifyMessage*>(p)->type.GetData()));
        return false;  // the result is ignored: listeners still get it
    });
    kit::NotifyRecorder second;
    Host()->AddNotifyListener(&second);
    rec.onNotify = [&](NotifyMessage& m) { order.push_back(L"first:" + std::wstring(m.type.GetData())); };
    second.onNotify = [&](NotifyMessage& m) { order.push_back(L"second:" + std::wstring(m.type.GetData())); };
    In().Move(40, 30);
    order.clear();
    Host()->SendNotify(a, L"ping", 5, 6);
    EXPECT_TRUE(SameSequence(order, {L"delegate:ping", L"first:ping", L"second:ping"}));
    const kit::NotifyRecord last = rec.records.back();
    EXPECT_TRUE(last.sender == L"a" && last.wParam == 5u && last.lParam == 6);
    // The record carries the last mouse position and the time.
    NotifyMessage msg;
    msg.type = L"raw";
    msg.sender = b;
    Host()->DispatchNotify(msg);
    EXPECT_TRUE(msg.point.x == 40 && msg.point.y == 30);
    EXPECT_NE(msg.timestamp, 0u);
    EXPECT_TRUE(Host()->RemoveNotifyListener(&second));
    EXPECT_FALSE(Host()->RemoveNotifyListener(&second));
}

TEST_F(HostTest, QueuedNotificationsArriveInOrderAfterTheMessage)
{
    int seenDuring = -1;
    a->onEvent = [&](ControlEvent& e) {
        if (e.type == kEventButtonDown) {
            Host()->SendNotify(a, L"one", 1, 0, true);
            Host()->SendNotify(a, L"two", 2, 0, true);
            seenDuring = rec.Count(L"one");
        }
        return true;
    };
    In().LeftDown(10, 10);
    EXPECT_EQ(seenDuring, 0);
    EXPECT_TRUE(SameSequence(rec.Types({L"one", L"two"}), {L"one", L"two"}));
    // Queued outside any message: delivered when the next message starts, even a handled one.
    rec.Clear();
    Host()->SendNotify(b, L"later", 0, 0, true);
    EXPECT_EQ(rec.Count(L"later"), 0);
    ::SendMessageW(Hwnd(), WM_ERASEBKGND, 0, 0);
    EXPECT_TRUE(SameSequence(rec.Lines({L"later"}), {L"later:b"}));
}

// ---- filters ------------------------------------------------------------------------------------

TEST_F(HostTest, AFilterThatTakesAMessageHidesItFromHostAndWindow)
{
    Filter first, second;
    first.take = WM_USER + 7;
    first.result = 42;
    Host()->AddMessageFilter(&first);
    Host()->AddMessageFilter(&second);
    std::vector<UINT> windowSaw;
    win.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
        windowSaw.push_back(m);
        return false;
    };
    const auto saw = [](const std::vector<UINT>& seen, UINT m) { return std::count(seen.begin(), seen.end(), m); };
    EXPECT_EQ(::SendMessageW(Hwnd(), WM_USER + 7, 0, 0), 42);
    ::SendMessageW(Hwnd(), WM_USER + 8, 0, 0);
    EXPECT_EQ(saw(windowSaw, WM_USER + 7) + saw(second.seen, WM_USER + 7), 0);
    EXPECT_EQ(saw(second.seen, WM_USER + 8), 1);
    // A filter that takes the left button: the control never sees it.
    first.take = WM_LBUTTONDOWN;
    log.Clear();
    In().LeftDown(10, 10);
    EXPECT_TRUE(log.Without({L"move", L"enter"}).empty());
    EXPECT_TRUE(Host()->RemoveMessageFilter(&first) && Host()->RemoveMessageFilter(&second));
    EXPECT_FALSE(Host()->RemoveMessageFilter(&second));
}

TEST_F(HostTest, PreFiltersAndTranslateMessageForOwnAndChildWindows)
{
    a->SetBehaviour(kBehaviourTabStop);
    b->SetBehaviour(kBehaviourTabStop);
    a->SetFocus();
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Hwnd(), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    MSG msg = {child, WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));  // the parent's host takes Tab
    EXPECT_EQ(Host()->GetFocus(), b);
    msg.wParam = 'A';
    EXPECT_FALSE(CWindowHostUI::TranslateMessage(&msg));
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    msg = {other, WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_FALSE(CWindowHostUI::TranslateMessage(&msg));  // no host of that window
    ::DestroyWindow(other);

    Filter pre;
    pre.take = WM_KEYDOWN;
    pre.result = 1;
    Host()->AddPreFilter(&pre);
    msg.hwnd = Hwnd();
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));
    EXPECT_EQ(Host()->GetFocus(), b);  // the pre-filter took it before the Tab walk
    EXPECT_TRUE(Host()->RemovePreFilter(&pre));
    // A pre-filter that destroys the window: the walk stops without touching the host.
    Filter killer;
    killer.action = [&](UINT) { return ::DestroyWindow(Hwnd()) != FALSE; };
    Host()->AddPreFilter(&killer);
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));
    EXPECT_FALSE(win.IsOpen());
}

// ---- timers -------------------------------------------------------------------------------------

TEST_F(HostTest, TimerIdsRestartReservedIdsAndUnknownIds)
{
    std::vector<WPARAM> passedOn;
    win.onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER)
            passedOn.push_back(w);
        return false;
    };
    // The first window timer id is 17; the event and the notification carry the control's own id.
    ASSERT_TRUE(Host()->SetTimer(a, 5, 100000));
    EXPECT_FALSE(Host()->SetTimer(a, 5, 100000));  // running
    EXPECT_EQ(Fire(17), Lines{L"a:timer"});
    EXPECT_EQ(a->events.back().wParam, 5u);
    ASSERT_EQ(rec.Count(L"timer"), 1);
    EXPECT_EQ(rec.OfType(L"timer")[0].wParam, 5u);
    EXPECT_EQ(passedOn, (std::vector<WPARAM>{17}));  // not handled: the window sees it too
    EXPECT_EQ(Fire(99), Lines{});  // unknown ids are passed on only
    // Killed: stays in the list as stopped; a restart reuses its window id.
    EXPECT_TRUE(Host()->KillTimer(a, 5));
    EXPECT_FALSE(Host()->KillTimer(a, 5));
    EXPECT_EQ(Fire(17), Lines{});
    ASSERT_TRUE(Host()->SetTimer(a, 5, 100000));
    EXPECT_EQ(Fire(17), Lines{L"a:timer"});
    // Ids the window reserves for itself are never handed out.
    Host()->ReserveTimerId(18);
    ASSERT_TRUE(Host()->SetTimer(b, 1, 100000));
    EXPECT_EQ(Fire(18), Lines{});
    EXPECT_EQ(Fire(19), Lines{L"b:timer"});
    // A real timer fires through the system.
    log.Clear();
    ASSERT_TRUE(Host()->SetTimer(b, 2, 20));
    EXPECT_TRUE(kit::PumpUntil([&] { return log.lines.size() >= 2; }, 2000));
    EXPECT_EQ(log.lines.front(), L"b:timer");
    EXPECT_EQ(b->events.back().wParam, 2u);
    // A deleted control's timers are killed and forgotten.
    root->Remove(b);
    log.Clear();
    kit::Pump(80);
    EXPECT_EQ(log.lines, Lines{});
    EXPECT_EQ(Fire(19), Lines{});
}

TEST_F(HostTest, TimerIdsWrapSkippingTakenOnesAndRunOutInsteadOfColliding)
{
    Host()->ReserveTimerId(28);
    Host()->ReserveTimerId(101);
    int started = 0;  // 1..254 without the two reserved ones
    for (UINT id = 0; id < 300; ++id)
        started += Host()->SetTimer(a, id, 1000000) ? 1 : 0;
    EXPECT_EQ(started, 252);
    // Every id is held: the 256th timer does not reuse the first one's id.
    EXPECT_EQ(Fire(17), Lines{L"a:timer"});
    EXPECT_EQ(a->events.back().wParam, 0u);
    EXPECT_EQ(Fire(28), Lines{});
    // Freed ids are taken again, after the counter's position.
    Host()->KillAllTimers(a);
    ASSERT_TRUE(Host()->SetTimer(b, 7, 1000000));
    log.Clear();
    for (WPARAM id = 1; id < 255; ++id)
        ::SendMessageW(Hwnd(), WM_TIMER, id, 0);
    EXPECT_TRUE(SameSequence(log.lines, {L"b:timer"}));
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
    if (message < 0x2000 || message >= 0x3000)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    g_reflected.push_back({message, wParam, lParam});
    return 0x1234 + message;
}
} // namespace

TEST_F(HostTest, ChildMessagesComeBackToTheChildPlus0x2000)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReflectChildProc;
    wc.lpszClassName = L"OmbrelReflectChild";
    ::RegisterClassW(&wc);
    HWND child = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 5, 5, Hwnd(), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
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
        EXPECT_EQ(::SendMessageW(Hwnd(), m.message, m.wParam, m.lParam), static_cast<LRESULT>(0x1234 + m.message + 0x2000));
        ASSERT_EQ(g_reflected.size(), 1u) << m.message;
        EXPECT_TRUE(g_reflected[0].message == m.message + 0x2000 && g_reflected[0].wParam == m.wParam &&
                    g_reflected[0].lParam == m.lParam) << m.message;
    }
    ::ReleaseDC(child, dc);
    // A menu command (no child window) is left to the window.
    int windowSaw = 0;
    win.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) { windowSaw += m == WM_COMMAND; return false; };
    ::SendMessageW(Hwnd(), WM_COMMAND, 100, 0);
    EXPECT_EQ(windowSaw, 1);
    EXPECT_EQ(g_reflected.size(), 1u);
}
