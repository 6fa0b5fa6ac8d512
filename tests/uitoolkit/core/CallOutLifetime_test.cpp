// Call-outs of the control base and the window host (notifications, delegates, focus changes,
// init, layout and paint) whose callback closes the window or deletes a control: the caller stops
// and never reads the freed objects. Each case runs under the guarding allocator, so a read of
// freed memory fails the case even where Wine swallows the fault (inside WM_PAINT).
#include <gtest/gtest.h>

#include <functional>

#include "HostFixture.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"

using namespace SkinUI;
using namespace host_fixture;

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

void CloseOn(Fixture& f, const wchar_t* type)
{
    const std::wstring wanted = type;
    f.rec.onNotify = [&f, wanted](NotifyMessage& m) {
        if (m.type == wanted.c_str())
            ::DestroyWindow(f.win.Hwnd());
    };
}

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
    {"hiding the focused control whose killfocus listener closes the window", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SetFocus();
         CloseOn(f, L"killfocus");
         f.a->SetVisible(false);
     }},
    {"a visible attribute that hides the focused control, then more attributes", true,
     [](Fixture& f) {
         ASSERT_TRUE(f.Open());
         f.a->SetFocus();
         CloseOn(f, L"killfocus");
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
         CloseOn(f, L"laidout");
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
         CloseOn(f, L"painting");
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
        EXPECT_TRUE(watch.ControlDeleted());
        EXPECT_TRUE(watch.Lost());
    }
    // A control outside the tree outlives its host: it forgets the host.
    ProbeControl loose(L"loose");
    loose.SetManager(f.Host(), nullptr, false);
    CControlUI::Watch watch(&loose);
    CControlUI::Watch nested(&loose);
    EXPECT_FALSE(watch.Lost());
    ::DestroyWindow(f.win.Hwnd());
    EXPECT_FALSE(watch.ControlDeleted());
    EXPECT_TRUE(watch.Lost());
    EXPECT_EQ(loose.GetManager(), nullptr);
    EXPECT_TRUE(nested.Lost());
    CControlUI::Watch none(nullptr);
    EXPECT_FALSE(none.Lost());
}
