// The window host's tree bookkeeping on a real window (names, points, subtrees, delayed clean-up,
// forgetting deleted controls), survival when a callback destroys the window or a control, the
// close message, and a host that lives until process exit.
#include <gtest/gtest.h>

#include <vector>

#include "HostFixture.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "kit/Pump.h"

using namespace SkinUI;
using kit::SameSequence;
using namespace host_fixture;

// ---- tree bookkeeping ---------------------------------------------------------------------------

TEST(HostTree, NamesPointsSubtreesAndForgettingDeletedControls)
{
    Fixture f;
    auto* inner = new Box(L"Inner");
    auto* deep = new ProbeControl(L"Deep");
    inner->Add(deep);
    inner->SetFixedXY(SIZE{50, 20});
    inner->SetFixedWidth(100);
    inner->SetFixedHeight(30);
    ASSERT_TRUE(f.Open());
    f.root->Add(inner);  // added last: topmost at its points
    ASSERT_TRUE(f.win.Layout());
    CWindowHostUI* host = f.Host();

    EXPECT_EQ(host->FindControlByName(L"a"), f.a);
    EXPECT_EQ(host->FindControlByName(L"deep"), nullptr);  // exact
    EXPECT_EQ(host->FindSubControlByName(nullptr, L"deep"), deep);  // ignoring case
    EXPECT_EQ(host->FindSubControlByName(f.a, L"deep"), nullptr);
    EXPECT_EQ(host->FindControlAtPoint(POINT{60, 25}), deep);
    EXPECT_EQ(host->FindControlAtPoint(POINT{60, 80}), f.a);
    EXPECT_EQ(host->FindControlAtPoint(POINT{500, 80}), nullptr);
    deep->SetMouseEnabled(false);
    EXPECT_EQ(host->FindControlAtPoint(POINT{60, 25}), inner);

    // A later control of the same name replaces the earlier in the map.
    auto* twin = new ProbeControl(L"a");
    twin->SetVisible(false);  // hidden controls are named too
    f.root->Add(twin);
    EXPECT_EQ(host->FindControlByName(L"a"), twin);

    // Deleting a focused, hovered and pressed control leaves nothing behind.
    kit::Input in(f.win.Hwnd());
    in.Move(150, 80);
    in.LeftDown(150, 80);
    ASSERT_EQ(host->GetFocus(), f.b);
    ASSERT_EQ(host->GetHovered(), f.b);
    ASSERT_EQ(host->GetPressed(), f.b);
    host->SetTimer(f.b, 1, 100000);
    host->AddPostPaint(f.b);
    f.root->Remove(f.b);
    EXPECT_EQ(host->GetFocus(), nullptr);
    EXPECT_EQ(host->GetHovered(), nullptr);
    EXPECT_EQ(host->GetPressed(), nullptr);
    EXPECT_EQ(host->FindControlByName(L"b"), nullptr);
    EXPECT_FALSE(host->RemovePostPaint(f.b));  // gone from the post-paint list too
    in.Move(160, 70);
    in.LeftUp(160, 70);
    ::SendMessageW(f.win.Hwnd(), WM_TIMER, 17, 0);
    EXPECT_TRUE(f.win.Layout());

    // A renamed control is forgotten under the name it was registered with.
    f.a->SetName(L"renamed");
    f.root->Remove(f.a);
    EXPECT_EQ(host->FindControlByName(L"a"), twin);
    f.root->Remove(twin);
    EXPECT_EQ(host->FindControlByName(L"a"), nullptr);
}

TEST(HostTree, ReplacedRootIsDeletedByTheDelayedCleanUp)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    int destroyed = 0;
    f.root->DestroyDelegates += MakeDelegate([&](void*) { ++destroyed; return true; });
    auto* second = new Box(L"second");
    auto* c = new ProbeControl(L"c", &f.log, kBehaviourTabStop);
    second->Add(c);
    f.rec.Clear();
    ASSERT_TRUE(f.Host()->AttachRoot(second));
    EXPECT_EQ(destroyed, 0);  // not yet: a handler of the old tree may still run
    EXPECT_EQ(f.Host()->GetRoot(), second);
    EXPECT_EQ(f.Host()->FindControlByName(L"c"), c);
    ASSERT_TRUE(f.win.Layout());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(f.Host()->FindControlByName(L"a"), nullptr);
    EXPECT_TRUE(SameSequence(f.rec.Lines({L"windowinit", L"setfocus"}), {L"windowinit:second", L"setfocus:c"}));
    EXPECT_FALSE(f.Host()->AttachRoot(nullptr));
}

// ---- a callback destroys the window ----------------------------------------------------------------

TEST(HostSurvival, ListenerDestroysTheWindowInsideAClick)
{
    kit::GuardedScope guard;  // a freed host or control read anywhere fails the test
    Fixture f;
    ASSERT_TRUE(f.Open());
    // "a" behaves like a button: "click" on release, then nothing more once the host is gone.
    bool touchedAfter = false;
    f.a->onEvent = [&](ControlEvent& e) {
        if (e.type != kEventButtonUp)
            return true;
        std::weak_ptr<char> alive = f.Host()->GetAliveToken();
        f.Host()->SendNotify(f.a, L"click");
        if (alive.expired())
            return false;
        touchedAfter = true;
        return true;
    };
    f.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"click")
            ::DestroyWindow(f.win.Hwnd());
    };
    kit::Input in(f.win.Hwnd());
    in.Click(20, 20);
    EXPECT_FALSE(f.win.IsOpen());
    EXPECT_EQ(f.win.Host(), nullptr);
    EXPECT_FALSE(touchedAfter);
    EXPECT_EQ(f.win.DestroyedCount(), 1);
    kit::Pump(30);
}

TEST(HostSurvival, ListenerDestroysTheWindowDuringWindowInit)
{
    kit::GuardedScope guard;  // a freed host or control read anywhere fails the test
    Fixture f;
    ASSERT_TRUE(f.Open(false));
    f.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"windowinit")
            ::DestroyWindow(f.win.Hwnd());
    };
    kit::Pump(100);
    EXPECT_FALSE(f.win.IsOpen());
    EXPECT_EQ(f.rec.Count(L"setfocus"), 0);
}

TEST(HostSurvival, QueuedListenerOrFilterDestroyingTheWindowStopsDelivery)
{
    kit::GuardedScope guard;  // a freed host or control read anywhere fails the test
    {
        Fixture f;
        ASSERT_TRUE(f.Open());
        int after = 0;
        f.rec.onNotify = [&](NotifyMessage& m) {
            if (m.type == L"first")
                ::DestroyWindow(f.win.Hwnd());
            else
                ++after;
        };
        f.Host()->SendNotify(f.a, L"first", 0, 0, true);
        f.Host()->SendNotify(f.a, L"second", 0, 0, true);
        f.Host()->SendNotify(f.a, L"third", 0, 0, true);
        ::PostMessageW(f.win.Hwnd(), WM_NULL, 0, 0);
        kit::Pump(30);
        EXPECT_FALSE(f.win.IsOpen());
        // The messages of the window's destruction still reach the living host, which delivers
        // the rest of its queue then; the host's end frees what is left. Each arrives once.
        EXPECT_EQ(after, 2);
        EXPECT_TRUE(SameSequence(f.rec.Types({L"first", L"second", L"third"}), {L"first", L"second", L"third"}));
    }
    {
        Fixture f;
        ASSERT_TRUE(f.Open());
        // The killer leaves the message unhandled: only the host's death may stop the walk, so
        // the filter after it must never be reached through the dead host's list.
        Filter killer, later;
        int laterCalls = 0;
        killer.action = [&](UINT m) {
            if (m == WM_LBUTTONDOWN)
                ::DestroyWindow(f.win.Hwnd());
            return false;
        };
        later.action = [&](UINT m) {
            if (m == WM_LBUTTONDOWN)
                ++laterCalls;
            return false;
        };
        f.Host()->AddMessageFilter(&killer);
        f.Host()->AddMessageFilter(&later);
        kit::Input(f.win.Hwnd()).Click(20, 20);
        EXPECT_FALSE(f.win.IsOpen());
        EXPECT_EQ(laterCalls, 0);
        EXPECT_TRUE(f.log.Without({L"move", L"enter"}).empty());
    }
}

TEST(HostSurvival, ControlDeletedByItsOwnEventHandler)
{
    kit::GuardedScope guard;  // a freed host or control read anywhere fails the test
    Fixture f;
    ASSERT_TRUE(f.Open());
    f.b->onEvent = [&](ControlEvent& e) {
        if (e.type != kEventButtonDown)
            return true;
        f.root->Remove(f.b);  // the handler deletes its own control
        return false;
    };
    kit::Input in(f.win.Hwnd());
    in.Move(150, 50);
    in.LeftDown(150, 50);
    EXPECT_EQ(f.Host()->FindControlByName(L"b"), nullptr);
    EXPECT_EQ(f.Host()->GetPressed(), nullptr);
    EXPECT_EQ(f.Host()->GetHovered(), nullptr);
    in.Move(140, 40);
    in.LeftUp(140, 40);
    EXPECT_TRUE(f.win.Layout());
    EXPECT_EQ(::GetCapture() == f.win.Hwnd(), f.Host()->IsCaptured());
}

TEST(HostClose, CloseLeavesTheHoveredReleasesThePressedAndClearsTheFocus)
{
    kit::HostWindow owner;
    ASSERT_TRUE(owner.Open(new Box(L"ownerRoot"), 100, 50));
    kit::EventLog log;
    kit::HostWindow win;
    auto* root = new Box(L"root");
    auto* a = Probe(L"a", &log, 0, 100);
    root->Add(a);
    ASSERT_TRUE(win.Open(root, 100, 100, owner.Hwnd()));
    ASSERT_TRUE(win.Layout());
    kit::Input in(win.Hwnd());
    in.Move(10, 10);
    in.LeftDown(10, 10);
    log.Clear();
    win.onMessage = [](UINT m, WPARAM, LPARAM, LRESULT&) { return m == WM_CLOSE; };  // keep the window
    ::SendMessageW(win.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(SameSequence(log.lines, {L"a:leave", L"a:up", L"a:killfocus"}));
    EXPECT_EQ(win.Host()->GetFocus(), nullptr);
    EXPECT_EQ(::GetFocus(), owner.Hwnd());
}

// ---- process exit -------------------------------------------------------------------------------

namespace {
// Destroyed at process exit, after main: its host leaves the process-wide host list then, which
// must still exist.
kit::HostWindow g_windowAtExit;
} // namespace

TEST(HostExit, AHostOwnedByAStaticObjectIsOpenAtExit)
{
    ASSERT_TRUE(g_windowAtExit.Open(new Box(L"staticRoot"), 40, 40));
    ASSERT_TRUE(g_windowAtExit.Layout());
    MSG msg = {g_windowAtExit.Hwnd(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(CWindowHostUI::TranslateMessage(&msg));  // registered in the list
}
