// The window host's tree bookkeeping on a real window (names, points, subtrees, delayed clean-up,
// forgetting deleted controls), call-outs of the host and the control base (notifications,
// delegates, filters, focus changes, init, layout and paint) whose callback closes the window or
// deletes a control, the close message, and a host that lives until process exit. Each call-out
// runs under the guarding allocator, so a read of freed memory fails it even where Wine swallows
// the fault (inside WM_PAINT).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "HostFixture.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"

using namespace SkinUI;
using namespace host_fixture;

// ---- tree bookkeeping ---------------------------------------------------------------------------

TEST_F(HostTest, NamesPointsSubtreesAndForgettingDeletedControls)
{
    auto* inner = new Box(L"Inner");
    auto* deep = new ProbeControl(L"Deep");
    inner->Add(deep);
    inner->SetFixedXY(SIZE{50, 20});
    inner->SetFixedWidth(100);
    inner->SetFixedHeight(30);
    root->Add(inner);  // added last: topmost at its points
    ASSERT_TRUE(win.Layout());
    CWindowHostUI* host = Host();
    EXPECT_EQ(host->FindControlByName(L"a"), a);
    EXPECT_EQ(host->FindControlByName(L"deep"), nullptr);  // exact
    EXPECT_EQ(host->FindSubControlByName(nullptr, L"deep"), deep);  // ignoring case
    EXPECT_EQ(host->FindSubControlByName(a, L"deep"), nullptr);
    const auto at = [&](int x, int y) { return host->FindControlAtPoint(POINT{x, y}); };
    EXPECT_EQ(std::vector<CControlUI*>({at(60, 25), at(60, 80), at(500, 80)}), std::vector<CControlUI*>({deep, a, nullptr}));
    deep->SetMouseEnabled(false);
    EXPECT_EQ(at(60, 25), inner);
    // A later control of the same name replaces the earlier in the map; hidden ones are named too.
    auto* twin = new ProbeControl(L"a");
    twin->SetVisible(false);
    root->Add(twin);
    EXPECT_EQ(host->FindControlByName(L"a"), twin);

    // Deleting a focused, hovered and pressed control with a timer and a post-paint leaves nothing.
    kit::Input in = In();
    in.Move(150, 80);
    in.LeftDown(150, 80);
    ASSERT_TRUE(host->GetFocus() == b && host->GetHovered() == b && host->GetPressed() == b);
    host->SetTimer(b, 1, 100000);
    host->AddPostPaint(b);
    root->Remove(b);
    EXPECT_TRUE(host->GetFocus() == nullptr && host->GetHovered() == nullptr && host->GetPressed() == nullptr);
    EXPECT_EQ(host->FindControlByName(L"b"), nullptr);
    EXPECT_FALSE(host->RemovePostPaint(b));  // gone from the post-paint list too
    in.Move(160, 70);
    in.LeftUp(160, 70);
    ::SendMessageW(Hwnd(), WM_TIMER, 17, 0);
    EXPECT_TRUE(win.Layout());
    // A renamed control is forgotten under the name it was registered with.
    a->SetName(L"renamed");
    root->Remove(a);
    EXPECT_EQ(host->FindControlByName(L"a"), twin);
    root->Remove(twin);
    EXPECT_EQ(host->FindControlByName(L"a"), nullptr);
}

TEST_F(HostTest, ReplacedRootIsDeletedByTheDelayedCleanUp)
{
    int destroyed = 0;
    root->DestroyDelegates += MakeDelegate([&](void*) { ++destroyed; return true; });
    auto* second = new Box(L"second");
    auto* c = new ProbeControl(L"c", &log, kBehaviourTabStop);
    second->Add(c);
    ASSERT_TRUE(Host()->AttachRoot(second));
    EXPECT_EQ(destroyed, 0);  // not yet: a handler of the old tree may still run
    EXPECT_EQ(Host()->GetRoot(), second);
    EXPECT_EQ(Host()->FindControlByName(L"c"), c);
    ASSERT_TRUE(win.Layout());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Host()->FindControlByName(L"a"), nullptr);
    EXPECT_TRUE(SameSequence(rec.Lines({L"windowinit", L"setfocus"}), {L"windowinit:second", L"setfocus:c"}));
    EXPECT_FALSE(Host()->AttachRoot(nullptr));
}

// ---- a callback destroys the window or a control ---------------------------------------------------

namespace {

// Sends a notification at the end of its layout, as layout-driven controls do.
class LayoutNotifier : public ProbeControl {
public:
    LayoutNotifier() : ProbeControl(L"notifier") {}
    void SetPos(RECT rc) override
    {
        CControlUI::SetPos(rc);
        if (m_host != nullptr)
            m_host->SendNotify(this, L"laidout");
    }
};

// Calls out while painting, as controls with text callbacks do.
class PaintNotifier : public ProbeControl {
public:
    PaintNotifier() : ProbeControl(L"painter") {}
    void PaintText(HDC) override
    {
        if (m_host != nullptr)
            m_host->SendNotify(this, L"painting");
    }
};

CUIDelegate* Closer(Fixture& f)
{
    return MakeDelegate([&f](void*) {
        ::DestroyWindow(f.win.Hwnd());
        return true;
    });
}

struct CallOutCase {
    const char* name;
    bool closes;  // the window is gone afterwards
    std::function<void(Fixture&)> run;
};

const CallOutCase kCases[] = {
    {"a listener destroys the window inside a click; the button stops at the alive token", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         auto touchedAfter = std::make_shared<bool>(false);
         f.a->onEvent = [&f, touchedAfter](ControlEvent& e) {
             if (e.type != kEventButtonUp)
                 return true;
             std::weak_ptr<char> alive = f.Host()->GetAliveToken();
             f.Host()->SendNotify(f.a, L"click");
             return alive.expired() ? false : (*touchedAfter = true);
         };
         f.CloseOn(L"click");
         f.In().Click(20, 20);
         EXPECT_EQ(f.win.Host(), nullptr);
         EXPECT_FALSE(*touchedAfter);
         EXPECT_EQ(f.win.DestroyedCount(), 1);
     }},
    {"a listener destroys the window during windowinit: no focus afterwards", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open(false));
         f.CloseOn(L"windowinit");
         kit::Pump(100);
         EXPECT_EQ(f.rec.Count(L"setfocus"), 0);
     }},
    {"a queued listener destroys the window: the rest of the queue arrives once", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.CloseOn(L"first");
         for (const wchar_t* type : {L"first", L"second", L"third"})
             f.Host()->SendNotify(f.a, type, 0, 0, true);
         ::PostMessageW(f.win.Hwnd(), WM_NULL, 0, 0);
         kit::Pump(30);
         // The messages of the window's destruction still reach the living host, which delivers
         // the rest of its queue then; the host's end frees what is left.
         EXPECT_TRUE(SameSequence(f.rec.Types(), {L"first", L"second", L"third"}));
     }},
    {"a filter destroys the window: the filter after it is never reached", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         // The killer leaves the message unhandled: only the host's death may stop the walk.
         Filter killer, later;
         killer.action = [&f](UINT m) {
             if (m == WM_LBUTTONDOWN)
                 ::DestroyWindow(f.win.Hwnd());
             return false;
         };
         f.Host()->AddMessageFilter(&killer);
         f.Host()->AddMessageFilter(&later);
         f.In().Click(20, 20);
         EXPECT_EQ(std::count(later.seen.begin(), later.seen.end(), static_cast<UINT>(WM_LBUTTONDOWN)), 0);
         EXPECT_TRUE(f.log.Without({L"move", L"enter"}).empty());
     }},
    {"a control deleted by its own button-down handler", false,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.b->onEvent = [&f](ControlEvent& e) {
             if (e.type == kEventButtonDown)
                 f.root->Remove(f.b);  // the handler deletes its own control
             return e.type != kEventButtonDown;
         };
         kit::Input in = f.In();
         in.Move(150, 50);
         in.LeftDown(150, 50);
         EXPECT_EQ(f.Host()->FindControlByName(L"b"), nullptr);
         EXPECT_TRUE(f.Host()->GetPressed() == nullptr && f.Host()->GetHovered() == nullptr);
         in.Move(140, 40);
         in.LeftUp(140, 40);
         EXPECT_TRUE(f.win.Layout());
         EXPECT_EQ(::GetCapture() == f.win.Hwnd(), f.Host()->IsCaptured());
     }},
    {"a queued notification whose sender was deleted arrives without it", false,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         auto delegateCalls = std::make_shared<int>(0);
         f.b->NotifyDelegates += MakeDelegate([delegateCalls](void*) { ++*delegateCalls; return true; });
         f.Host()->SendNotify(f.b, L"orphan", 0, 0, true);
         f.root->Remove(f.b);
         ::SendMessageW(f.win.Hwnd(), WM_NULL, 0, 0);
         EXPECT_EQ(f.rec.Lines({L"orphan"}), Lines{L"orphan:"});
         EXPECT_EQ(*delegateCalls, 0);
     }},
    {"a listener deletes the sender: later listeners get no sender", false,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.rec.onNotify = [&f](NotifyMessage& m) {
             if (m.type == L"bye")
                 f.root->Remove(f.a);
         };
         kit::NotifyRecorder later;
         f.Host()->AddNotifyListener(&later);
         f.Host()->SendNotify(f.a, L"bye");
         EXPECT_EQ(later.Lines(), Lines{L"bye:"});
         f.Host()->RemoveNotifyListener(&later);
     }},
    {"hiding the focused control whose killfocus listener closes the window", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SetFocus();
         f.CloseOn(L"killfocus");
         f.a->SetVisible(false);
     }},
    {"a visible attribute that hides the focused control, then more attributes", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SetFocus();
         f.CloseOn(L"killfocus");
         f.a->ApplyAttributeText(L"visible=\"false\" name=\"gone\" text=\"x\"");
     }},
    {"a size delegate that closes the window during SetPos", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SizeDelegates += Closer(f);
         f.a->SetPos(RECT{0, 0, 50, 50});
     }},
    {"a layout notification that closes the window during the first paint", true,
     [](Fixture& f) {
         f.root->Add(new LayoutNotifier);
         ASSERT_TRUE(f.Open(false));
         f.CloseOn(L"laidout");
         kit::Pump(100);
     }},
    {"a size delegate of the root that closes the window during the first paint", true,
     [](Fixture& f) {
         f.root->SizeDelegates += Closer(f);
         ASSERT_TRUE(f.Open(false));
         kit::Pump(100);
     }},
    {"a notification sent while painting that closes the window", true,
     [](Fixture& f) {
         f.root->Add(new PaintNotifier);
         ASSERT_TRUE(f.Open(false));
         f.Host()->AddPostPaint(f.a);
         f.CloseOn(L"painting");
         kit::Pump(100);
     }},
    {"the old focus's killfocus listener deletes the control gaining the focus", false,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SetFocus();
         f.rec.Clear();
         f.rec.onNotify = [&f](NotifyMessage& m) {
             if (m.type == L"killfocus")
                 f.root->Remove(f.b);
         };
         f.Host()->SetFocus(f.b);
         EXPECT_EQ(f.Host()->GetFocus(), nullptr);
         EXPECT_EQ(f.rec.Count(L"setfocus"), 0);
     }},
    {"a destroy delegate that closes the window", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.b->DestroyDelegates += Closer(f);
         f.root->Remove(f.b);
     }},
    {"an init delegate that closes the window before the names are registered", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         auto* c = new ProbeControl(L"c");
         c->InitDelegates += Closer(f);
         f.root->Add(c);
     }},
};

} // namespace

TEST(CallOutLifetime, CallerStopsWhenTheCallbackDestroysTheWindowOrTheControl)
{
    for (const CallOutCase& c : kCases) {
        SCOPED_TRACE(c.name);
        kit::GuardedScope guard;
        Fixture f;
        c.run(f);
        EXPECT_EQ(f.win.IsOpen(), !c.closes);
        kit::Pump(20);  // what the window's end posted
        f.rec.onNotify = nullptr;
    }
}

TEST(CallOutLifetime, WatchTellsADeletedControlFromAClosedHost)
{
    kit::GuardedScope guard;
    Fixture f;
    ASSERT_TRUE(f.Open());
    {
        CControlUI::Watch watch(f.b);
        f.root->Remove(f.b);
        EXPECT_TRUE(watch.ControlDeleted() && watch.Lost());
    }
    // A control outside the tree outlives its host: it forgets the host.
    ProbeControl loose(L"loose");
    loose.SetManager(f.Host(), nullptr, false);
    CControlUI::Watch watch(&loose), nested(&loose), none(nullptr);
    EXPECT_FALSE(watch.Lost());
    ::DestroyWindow(f.win.Hwnd());
    EXPECT_FALSE(watch.ControlDeleted());
    EXPECT_TRUE(watch.Lost() && nested.Lost());
    EXPECT_EQ(loose.GetManager(), nullptr);
    EXPECT_FALSE(none.Lost());
}

TEST(HostClose, CloseLeavesTheHoveredReleasesThePressedAndClearsTheFocus)
{
    kit::HostWindow owner;
    ASSERT_TRUE(owner.Open(new Box(L"ownerRoot"), 100, 50));
    Fixture f(false);
    f.root->Add(f.a = Probe(L"a", &f.log, 0, 100));
    ASSERT_TRUE(f.win.Open(f.root, 100, 100, owner.Hwnd()));
    ASSERT_TRUE(f.win.Layout());
    kit::Input in = f.In();
    in.Move(10, 10);
    in.LeftDown(10, 10);
    f.log.Clear();
    f.win.onMessage = [](UINT m, WPARAM, LPARAM, LRESULT&) { return m == WM_CLOSE; };  // keep the window
    ::SendMessageW(f.win.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(SameSequence(f.log.lines, {L"a:leave", L"a:up", L"a:killfocus"}));
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
    EXPECT_EQ(::GetFocus(), owner.Hwnd());
}

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
