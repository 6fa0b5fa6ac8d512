// Loops over children that call out, when the call closes the window: every kind of container
// (vertical, horizontal, tile and tab layouts, the plain container, the list, the combo's drop
// list and the rich edit) holds children "a" and "b"; a size delegate of "a" (or its "killfocus",
// or its painting) destroys the main window, whose host deletes the whole tree, while the
// container is
//   resize  - laying out after its window changed size,
//   wheel   - scrolling by the mouse wheel,
//   scroll  - moved by SetScrollPos,
//   hide    - hidden while "a" holds the focus,
//   paint   - painting its children (as a text callback calls out).
// Each case runs under the guarding allocator: a read of the freed container after the call
// fails it, even inside WM_PAINT where Wine swallows the fault.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/ComboWnd.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

using namespace SkinUI;
using namespace kit;

namespace {

// Children whose painting calls out, as a list's text callback does.
struct PaintCallout {
    std::function<void()> onPaint;
};
struct CalloutControl : CControlUI, PaintCallout {
    void PaintText(HDC hDC) override
    {
        if (onPaint)
            onPaint();
        else
            CControlUI::PaintText(hDC);
    }
};
struct CalloutItem : CListLabelElementUI, PaintCallout {
    void DrawItemText(HDC hDC, const RECT& rc) override
    {
        if (onPaint)
            onPaint();
        else
            CListLabelElementUI::DrawItemText(hDC, rc);
    }
};

struct ContainerKind {
    const char* name;
    std::wstring controls;  // inside the skin's root container; the container under test is "box"
    bool scrollsChildren;   // scrolling moves the children (the rich edit scrolls its text)
    bool popup;             // the container is the combo's drop list, in the pop-up window
};

// Children "a" and "b", each 150 high and wide, so that a 200 x 100 container overflows.
const wchar_t kPair[] = L"<Callout name=\"a\" width=\"150\" height=\"150\"/><Control name=\"b\" width=\"150\" height=\"150\"/>";
const wchar_t kItems[] = L"<CalloutItem name=\"a\" text=\"a\" height=\"60\"/><ListLabelElement name=\"b\" text=\"b\" "
                         L"height=\"60\"/><ListLabelElement name=\"c\" text=\"c\" height=\"60\"/>";

const ContainerKind kKinds[] = {
    {"vertical", std::wstring(L"<VerticalLayout name=\"box\" vscrollbar=\"true\">") + kPair + L"</VerticalLayout>", true, false},
    {"horizontal", std::wstring(L"<HorizontalLayout name=\"box\" hscrollbar=\"true\">") + kPair + L"</HorizontalLayout>", true, false},
    {"tile", std::wstring(L"<TileLayout name=\"box\" columns=\"1\" vscrollbar=\"true\">") + kPair + L"</TileLayout>", true, false},
    {"tab", std::wstring(L"<TabLayout name=\"box\" vscrollbar=\"true\">") + kPair + L"</TabLayout>", true, false},
    {"container", std::wstring(L"<Container name=\"box\" vscrollbar=\"true\">") + kPair + L"</Container>", true, false},
    {"list", std::wstring(L"<List name=\"box\" vscrollbar=\"true\">") + kItems + L"</List>", true, false},
    {"combo's list", std::wstring(L"<Combo name=\"combo\" dropboxsize=\"0,80\" height=\"20\">") + kItems + L"</Combo>", true, true},
    {"rich edit", std::wstring(L"<RichEdit name=\"box\" text=\"x\">") + kPair + L"</RichEdit>", false, false},
};

struct Scene {
    TagTable tags{{L"Callout", &Make<CalloutControl>}, {L"CalloutItem", &Make<CalloutItem>}};
    XmlHost h;
    CContainerUI* box = nullptr;
    CControlUI* a = nullptr;
    HWND window = nullptr;  // the window the container lies in

    bool Open(const ContainerKind& kind)
    {
        if (!h.Open(Skin(L"<Font name=\"Arial\" size=\"12\" default=\"true\"/>" + kind.controls), 200, 100, &tags))
            return false;
        a = h.Find(L"a");
        window = h.win.Hwnd();
        if (kind.popup) {
            auto* combo = h.Find<CComboUI>(L"combo");
            if (combo == nullptr || !combo->SelectItem(1) || !combo->Activate() || combo->GetDropWindow() == nullptr)
                return false;
            box = combo->GetDropWindow()->GetList();
            window = combo->GetDropWindow()->GetHWND();
            PumpUntil([&] { return !box->IsUpdateNeeded(); }, 2000);
        } else {
            box = static_cast<CContainerUI*>(h.Find(L"box")->GetInterface(L"Container"));
        }
        if (box == nullptr || a == nullptr)
            return false;
        // Every container can scroll: a bar its layout does not show is shown with a range.
        for (CScrollBarUI* bar : {box->GetVerticalScrollBar(), box->GetHorizontalScrollBar()}) {
            if (bar != nullptr && (!bar->IsVisible() || bar->GetScrollRange() == 0)) {
                bar->SetVisible(true);
                bar->SetScrollRange(200);
            }
        }
        return true;
    }

    // The main window goes, with its host and the whole tree (and the combo's pop-up with it).
    std::function<void()> CloseMain()
    {
        HWND main = h.win.Hwnd();
        return [main] { ::DestroyWindow(main); };
    }
};

struct Action {
    const char* name;
    std::function<void(Scene&)> run;
};

const Action kActions[] = {
    {"resize",
     [](Scene& s) {
         RECT rc;
         ::GetWindowRect(s.window, &rc);
         ::SetWindowPos(s.window, nullptr, 0, 0, rc.right - rc.left + 37, rc.bottom - rc.top + 23,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         Pump(100);
     }},
    {"wheel",
     [](Scene& s) {
         const RECT& rc = s.a->GetPos();
         Input(s.window).Wheel((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, -120);
         Pump(50);
     }},
    {"scroll", [](Scene& s) { s.box->SetScrollPos(SIZE{60, 60}); }},
    {"hide", [](Scene& s) { s.box->SetVisible(false); }},
    {"paint",
     [](Scene& s) {
         s.box->Invalidate();
         Pump(100);
     }},
};

} // namespace

TEST(ContainerLifetime, ALoopOverChildrenStopsWhenAChildsCallbackClosesTheWindow)
{
    for (const ContainerKind& kind : kKinds) {
        for (const Action& action : kActions) {
            SCOPED_TRACE(std::string(kind.name) + ", " + action.name);
            const std::string name = action.name;
            const bool expectClosed = name == "hide" || name == "paint" || name == "resize" || kind.scrollsChildren;
            GuardedScope guard;  // fails the case at its end on a touch of freed memory
            {
                Scene s;
                ASSERT_TRUE(s.Open(kind));
                const std::function<void()> close = s.CloseMain();
                if (name == "paint") {
                    dynamic_cast<PaintCallout&>(*s.a).onPaint = close;
                } else if (name == "hide") {
                    s.a->SetFocus();
                    ASSERT_EQ(s.a->GetManager()->GetFocus(), s.a);
                    s.a->NotifyDelegates += MakeDelegate([close](void* p) {
                        if (static_cast<NotifyMessage*>(p)->type == L"killfocus")
                            close();
                        return true;
                    });
                } else {
                    s.a->SizeDelegates += MakeDelegate([close](void*) {
                        close();
                        return true;
                    });
                }
                action.run(s);
                EXPECT_EQ(s.h.win.IsOpen(), !expectClosed);
                Pump(20);  // what the windows' end posted
            }
        }
    }
}

// A container outside the window's tree outlives the host it worked for. When a child's size
// delegate closes the window during the second layout pass that showing the scroll bar starts,
// the container's own scroll bar state is left as it was: on a new host, content that fits hides
// the bar again.
TEST(ContainerLifetime, AScrollBarPassCutShortByTheHostsEndLeavesTheContainerSound)
{
    GuardedScope guard;
    HostWindow first, second;
    ASSERT_TRUE(first.Open(new Box(L"root"), 200, 100));
    ASSERT_TRUE(second.Open(new Box(L"root"), 200, 100));
    auto layout = std::make_unique<CVerticalLayoutUI>();
    layout->EnableScrollBar(true, false);
    layout->GetVerticalScrollBar()->SetVisible(false);  // shown once the content overflows
    auto* child = new CControlUI();
    child->SetFixedHeight(150);
    layout->Add(child);
    layout->SetManager(first.Host(), nullptr, false);
    int resized = 0;
    const HWND main = first.Hwnd();
    child->SizeDelegates += MakeDelegate([&resized, main](void*) {
        if (++resized == 2)  // the pass that makes room for the bar
            ::DestroyWindow(main);
        return true;
    });
    layout->SetPos(RECT{0, 0, 100, 100});
    ASSERT_FALSE(first.IsOpen()) << resized << " resizes";
    EXPECT_TRUE(layout->GetVerticalScrollBar()->IsVisible());

    layout->SetManager(second.Host(), nullptr, false);
    child->SetFixedHeight(50);
    layout->SetPos(RECT{0, 0, 100, 100});
    EXPECT_FALSE(layout->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(Text(child->GetPos()), "0,0,100,50");
}
