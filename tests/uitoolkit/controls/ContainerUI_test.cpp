// The container base in real windows built from skins: item operations and their refusals,
// destroy rules, child rectangles with inset and floating (also relative) positions, find walks,
// scrolling by calls, keys and the wheel, the scroll-bar feed of layouts, painting with clips,
// and a "scroll" listener that deletes the container.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "XmlHost.h"
#include "kit/DibCanvas.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "uitoolkit/controls/ContainerUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

// A minimal layout for the scroll-bar feed: children are stacked, and the content height it
// reports for an inner width comes from the test.
class StackLayout : public CContainerUI {
public:
    void SetPos(RECT rc) override
    {
        ++setPosCalls;
        CControlUI::SetPos(rc);
        const RECT inner = GetInnerRect();
        ProcessScrollBar(inner, 0, content ? content(inner.right - inner.left) : 0);
    }
    int setPosCalls = 0;
    std::function<int(int width)> content;
};

struct StackCallback : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        return std::wstring(tag) == L"Stack" ? new StackLayout() : nullptr;
    }
};

// Names of the children in order.
std::wstring Names(IContainerUI* c)
{
    std::wstring names;
    for (int i = 0; i < c->GetCount(); ++i)
        names += (i ? L"," : L"") + std::wstring(c->GetItemAt(i)->GetName().GetData());
    return names;
}

// Counts deletions and what the container held while each child died.
struct DeathWatch {
    int deleted = 0;
    int indexWhileDying = 99;
    void Watch(CControlUI* child, CContainerUI* owner)
    {
        child->DestroyDelegates += MakeDelegate([this, child, owner](void*) {
            ++deleted;
            indexWhileDying = owner->GetItemIndex(child);
            return true;
        });
    }
};

const wchar_t* const kThreeChildren =
    L"<Window><Container name=\"root\"><Container name=\"c\"><Control name=\"a\"/><Control name=\"b\"/>"
    L"<Control name=\"d\"/></Container><Container name=\"other\"/></Container></Window>";

} // namespace

TEST(ContainerItems, InterfaceAndRefusedOperationsChangeNothing)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(kThreeChildren, 200, 100));
    auto* c = h.Find<CContainerUI>(L"c");
    IContainerUI* items = static_cast<IContainerUI*>(c->GetInterface(L"IContainer"));
    EXPECT_EQ(items, static_cast<IContainerUI*>(c));  // the adjusted sub-object
    EXPECT_EQ(c->GetInterface(L"Container"), c);
    EXPECT_EQ(c->GetInterface(L"Control"), c);
    EXPECT_EQ(c->GetInterface(L"icontainer"), nullptr);
    EXPECT_EQ(std::wstring(c->GetClass()), L"ContainerUI");

    CControlUI* a = h.Find(L"a");
    auto* loose = new CControlUI();
    EXPECT_EQ(items->GetItemAt(-1), nullptr);
    EXPECT_EQ(items->GetItemAt(3), nullptr);
    EXPECT_EQ(items->GetItemIndex(loose), -1);
    EXPECT_FALSE(items->SetItemIndex(a, 3));  // out of range: the child stays where it was
    EXPECT_FALSE(items->SetItemIndex(loose, 0));
    EXPECT_FALSE(items->AddAt(loose, 4));
    EXPECT_EQ(loose->GetManager(), nullptr);  // refused before it was attached
    EXPECT_FALSE(items->Add(nullptr));
    EXPECT_FALSE(items->AddAt(nullptr, 0));
    EXPECT_FALSE(items->Remove(nullptr));
    EXPECT_FALSE(items->Remove(loose));
    EXPECT_FALSE(items->RemoveAt(3));
    EXPECT_FALSE(items->SetItemIndex(nullptr, 0));
    EXPECT_EQ(Names(items), L"a,b,d");

    EXPECT_TRUE(items->SetItemIndex(a, 2));
    EXPECT_EQ(Names(items), L"b,d,a");
    loose->SetName(L"x");
    EXPECT_TRUE(items->AddAt(loose, 1));
    EXPECT_EQ(Names(items), L"b,x,d,a");
    EXPECT_EQ(loose->GetManager(), h.Host());
    EXPECT_EQ(loose->GetParent(), c);

    // Added to a hidden container, a child is hidden through its inherited visibility.
    auto* hidden = h.Find<CContainerUI>(L"other");
    hidden->SetVisible(false);
    auto* late = new CControlUI();
    EXPECT_TRUE(hidden->Add(late));
    EXPECT_FALSE(late->IsVisible());
    hidden->SetVisible(true);
    EXPECT_TRUE(late->IsVisible());
}

namespace {
struct ListItemProbe : CControlUI {
    void* GetInterface(const wchar_t* name) override
    {
        return std::wstring(name) == L"ListItem" ? this : CControlUI::GetInterface(name);
    }
};
} // namespace

// The nearest visible, enabled list item: forward from the index, or backward and then forward
// from the start.
TEST(ContainerItems, FindSelectableSkipsHiddenDisabledAndOtherChildren)
{
    CContainerUI c;
    EXPECT_EQ(c.FindSelectable(0, true), -1);
    c.Add(new CControlUI());                                // 0: not a list item
    c.Add(new ListItemProbe());                             // 1: hidden
    c.GetItemAt(1)->SetVisible(false);
    c.Add(new ListItemProbe());                             // 2
    c.Add(new ListItemProbe());                             // 3: disabled
    c.GetItemAt(3)->SetEnabled(false);
    c.Add(new ListItemProbe());                             // 4
    const int cases[][3] = {{0, 1, 2}, {3, 1, 4}, {3, 0, 2}, {1, 0, 2}, {10, 1, 4}, {-5, 0, 2}};
    for (const auto& [index, forward, expected] : cases)
        EXPECT_EQ(c.FindSelectable(index, forward != 0), expected) << index << " " << forward;
}

TEST(ContainerItems, RemovedChildrenDieAfterLeavingTheListAtOnceOrAfterAPump)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(kThreeChildren, 200, 100));
    auto* c = h.Find<CContainerUI>(L"c");
    DeathWatch watch;
    watch.Watch(h.Find(L"a"), c);
    watch.Watch(h.Find(L"b"), c);
    watch.Watch(h.Find(L"d"), c);

    // With a host, removal goes through the delayed clean-up.
    EXPECT_TRUE(c->Remove(h.Find(L"a")));
    EXPECT_EQ(watch.deleted, 0);
    EXPECT_EQ(c->GetCount(), 2);
    kit::Pump(50);
    EXPECT_EQ(watch.deleted, 1);
    EXPECT_EQ(watch.indexWhileDying, -1);

    // Without delayed destroy at once, and the slot is gone before the child dies.
    c->SetDelayedDestroy(false);
    EXPECT_TRUE(c->RemoveAt(0));
    EXPECT_EQ(watch.deleted, 2);
    EXPECT_EQ(watch.indexWhileDying, -1);

    // Auto-destroy off: the child survives removal and can be added elsewhere.
    c->SetAutoDestroy(false);
    CControlUI* d = h.Find(L"d");
    EXPECT_TRUE(c->Remove(d));
    auto* other = h.Find<CContainerUI>(L"other");
    EXPECT_TRUE(other->Add(d));
    EXPECT_EQ(d->GetParent(), other);
    EXPECT_EQ(watch.deleted, 2);

    // A dying container deletes its children at once, delayed destroy or not.
    auto* root = h.Find<CContainerUI>(L"root");
    root->SetDelayedDestroy(false);
    EXPECT_TRUE(root->Remove(other));
    EXPECT_EQ(watch.deleted, 3);
    EXPECT_TRUE(root->Remove(c));  // its own auto-destroy is off: it had no children left anyway
    EXPECT_EQ(root->GetCount(), 0);
}

TEST(ContainerLayout, ChildRectanglesWithInsetAndFloatingPositions)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Container name=\"c\" inset=\"5,6,7,8\" childpadding=\"4\">"
                       L"<Control name=\"a\"/><Control name=\"hid\" visible=\"false\"/>"
                       L"<Control name=\"right\" float=\"true\" pos=\"-60,10,-10,30\"/>"
                       L"<Control name=\"bottom\" float=\"true\" pos=\"10,-40,30,-20\"/>"
                       L"<Control name=\"rel\" float=\"true\" pos=\"10,10,60,30\" relativepos=\"50,50,50,0\"/>"
                       L"</Container></Window>",
                       200, 100));
    EXPECT_EQ(h.Find<CContainerUI>(L"c")->GetChildPadding(), 4);
    EXPECT_EQ(kit::Text(h.Find<CContainerUI>(L"c")->GetInset()), "5,6,7,8");
    EXPECT_EQ(h.Pos(L"a"), "5,6,193,92");
    EXPECT_EQ(h.Pos(L"hid"), "0,0,0,0");  // hidden children are not placed
    // Negative fixed positions anchor to the right / bottom edge (the inset does not apply).
    EXPECT_EQ(h.Pos(L"right"), "140,10,190,30");
    EXPECT_EQ(h.Pos(L"bottom"), "10,60,30,80");
    EXPECT_EQ(h.Pos(L"rel"), "10,10,60,30");  // first placement: only remembers the size

    // Wider by 100 and taller by 50: moved by half of each, widened by half the width.
    ASSERT_TRUE(h.win.Layout(300, 150));
    EXPECT_EQ(h.Pos(L"rel"), "60,35,160,55");
    EXPECT_EQ(h.Pos(L"right"), "240,10,290,30");
    // Back again: the moves accumulate from the stored placement and return to the start.
    ASSERT_TRUE(h.win.Layout(200, 100));
    EXPECT_EQ(h.Pos(L"rel"), "10,10,60,30");
}

TEST(ContainerFind, HitTestsSkipHiddenDisabledAndScrolledOutChildren)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Container name=\"c\" inset=\"0,0,0,20\">"
                       L"<Control name=\"low\" float=\"true\" pos=\"0,0,200,100\"/>"
                       L"<Control name=\"off\" enabled=\"false\" float=\"true\" pos=\"0,0,50,50\"/>"
                       L"<Control name=\"hid\" visible=\"false\" float=\"true\" pos=\"0,0,50,50\"/>"
                       L"<Container name=\"inner\" float=\"true\" pos=\"100,0,200,100\"><Control name=\"deep\"/></Container>"
                       L"</Container></Window>",
                       200, 100));
    CWindowHostUI* host = h.Host();
    const auto at = [&](int x, int y) {
        CControlUI* found = host->FindControlAtPoint(POINT{x, y});
        return found != nullptr ? std::wstring(found->GetName().GetData()) : L"-";
    };
    // Hidden controls never; disabled ones only with the enabled flag; topmost first; a
    // floating child is hit in the inset too.
    EXPECT_EQ(at(10, 10), L"off");
    EXPECT_EQ(at(10, 90), L"low");
    EXPECT_EQ(at(150, 10), L"deep");
    // A non-floating child reaching outside the inner rectangle (as if scrolled) is not hit there.
    auto* inner = h.Find<CContainerUI>(L"inner");
    inner->SetFloat(false);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Pos(L"deep"), "0,0,200,80");
    inner->SetPos(RECT{100, 0, 200, 100});
    EXPECT_EQ(at(150, 40), L"deep");
    EXPECT_EQ(at(150, 90), L"low");
    // Without mouse children only the container itself is hit.
    inner->SetMouseChildEnabled(false);
    EXPECT_EQ(at(150, 40), L"inner");
    struct Walk {
        static CControlUI* CALLBACK Any(CControlUI* c, void*) { return c; }
    };
    auto* c = h.Find<CContainerUI>(L"c");
    EXPECT_EQ(c->FindControl(Walk::Any, nullptr, kFindVisible | kFindMeFirst), c);
    EXPECT_EQ(c->FindControl(Walk::Any, nullptr, kFindVisible | kFindEnabled), h.Find(L"low"));
    EXPECT_EQ(c->FindControl(Walk::Any, nullptr, kFindVisible | kFindEnabled | kFindTopFirst), h.Find(L"deep"));
}

TEST(ContainerScroll, PositionsRangesAndClampingMoveTheContent)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Container name=\"c\" vscrollbar=\"true\" hscrollbar=\"true\" inset=\"0,10,0,10\">"
                       L"<Control name=\"a\"/><Control name=\"f\" float=\"true\" pos=\"0,0,10,10\"/>"
                       L"</Container></Window>",
                       200, 100));
    auto* c = h.Find<CContainerUI>(L"c");
    CScrollBarUI* v = c->GetVerticalScrollBar();
    CScrollBarUI* hz = c->GetHorizontalScrollBar();
    ASSERT_TRUE(v != nullptr && hz != nullptr && hz->IsHorizontal() && !v->IsHorizontal());
    EXPECT_EQ(kit::Text(SIZE{hz->GetFixedWidth(), hz->GetFixedHeight()}), "0,16");
    v->SetScrollRange(300);
    hz->SetScrollRange(50);
    EXPECT_EQ(kit::Text(c->GetScrollRange()), "50,300");
    const std::string start = h.Pos(L"a");  // 0,10,200,90

    c->EndDown();
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "0,300");
    EXPECT_EQ(h.Pos(L"a"), "0,-290,200,-210");
    EXPECT_EQ(h.Pos(L"f"), "0,0,10,10");  // floating children stay
    c->LineDown();  // clamped
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "0,300");
    c->PageUp();  // 100 - 20 of inset - 16 of the horizontal bar
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "0,236");
    c->EndRight();
    c->LineLeft();
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "42,236");
    c->PageLeft();  // 200 - 16 of the vertical bar, clamped at 0
    c->HomeUp();
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "0,0");
    EXPECT_EQ(h.Pos(L"a"), start);
    c->SetScrollPos(SIZE{-5, 5000});
    EXPECT_EQ(kit::Text(c->GetScrollPos()), "0,300");

    // A hidden bar counts 0 and does not move.
    v->SetVisible(false);
    EXPECT_EQ(kit::Text(c->GetScrollPos()) + " " + kit::Text(c->GetScrollRange()), "0,0 50,0");
    c->LineDown();
    EXPECT_EQ(v->GetScrollPos(), 300);
}

TEST(ContainerScroll, KeysAndWheelScrollTheVerticalBarFirst)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Font name=\"Arial\" size=\"20\" default=\"true\"/>"
                       L"<Container name=\"outer\" vscrollbar=\"true\" hscrollbar=\"true\">"
                       L"<Container name=\"inner\" mouse=\"false\" vscrollbar=\"true\"><Control name=\"a\"/></Container>"
                       L"</Container></Window>",
                       200, 100));
    auto* outer = h.Find<CContainerUI>(L"outer");
    auto* inner = h.Find<CContainerUI>(L"inner");
    outer->GetVerticalScrollBar()->SetScrollRange(1000);
    outer->GetHorizontalScrollBar()->SetScrollRange(1000);
    inner->GetVerticalScrollBar()->SetScrollRange(1000);
    // One line is the default font's height plus 8.
    HDC screen = ::GetDC(nullptr);
    HFONT font = ::CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    HGDIOBJ old = ::SelectObject(screen, font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen, &tm);
    ::SelectObject(screen, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    const int line = tm.tmHeight + 8;

    // Keys reach the containers from the focused child through the parents' handlers; the inner
    // container takes them (its bar is usable), the wheel passes it (mouse off) to the outer.
    h.Host()->SetFocus(h.Find(L"a"));
    kit::Input in(h.win.Hwnd());
    in.Key(VK_DOWN);
    in.Key(VK_NEXT);
    EXPECT_EQ(inner->GetScrollPos().cy, line + 100);
    in.Key(VK_HOME);
    EXPECT_EQ(inner->GetScrollPos().cy, 0);
    in.Wheel(50, 50, -120);
    EXPECT_EQ(kit::Text(outer->GetScrollPos()), "0," + std::to_string(line));
    EXPECT_EQ(inner->GetScrollPos().cy, 0);
    in.Wheel(50, 50, 120);
    EXPECT_EQ(kit::Text(outer->GetScrollPos()), "0,0");

    // Without a usable vertical bar the same keys and wheel scroll horizontally.
    inner->EnableScrollBar(false, false);
    outer->GetVerticalScrollBar()->SetEnabled(false);
    in.Key(VK_DOWN);
    in.Wheel(50, 50, -120);
    in.Key(VK_END);
    EXPECT_EQ(kit::Text(outer->GetScrollPos()), "1000,0");
    in.Key(VK_UP);
    EXPECT_EQ(outer->GetScrollPos().cx, 992);
}

TEST(ContainerScroll, ProcessScrollBarShowsSizesClampsAndHides)
{
    StackCallback cb;
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Stack name=\"s\" vscrollbar=\"true\"/></Window>", 200, 100, &cb));
    auto* s = h.Find<StackLayout>(L"s");
    CScrollBarUI* bar = s->GetVerticalScrollBar();
    EXPECT_FALSE(bar->IsVisible());  // no content: the first layout hid it
    const auto relayout = [&](std::function<int(int)> content) {
        s->content = std::move(content);
        s->setPosCalls = 0;
        s->SetPos(s->GetPos());
    };
    const auto state = [&] {
        return std::to_string(bar->IsVisible()) + " " + std::to_string(bar->GetScrollRange()) + " " +
               std::to_string(bar->GetScrollPos());
    };

    relayout([](int) { return 300; });  // shown, and laid out again to make room
    EXPECT_EQ(state(), "1 200 0");
    EXPECT_EQ(s->setPosCalls, 2);
    EXPECT_EQ(h.Pos(L"s") + " " + kit::Text(bar->GetPos()), "0,0,200,100 184,0,200,100");
    s->EndDown();
    relayout([](int) { return 250; });  // position clamped from 200: laid out again
    EXPECT_EQ(state(), "1 150 150");
    EXPECT_EQ(s->setPosCalls, 2);
    relayout([](int) { return 100; });  // fits: hidden and reset
    EXPECT_EQ(state(), "0 0 0");

    // Content that shrinks once the bar takes room: the nested pass keeps the bar shown, with
    // nothing to scroll (range 0, not the distance to empty space).
    relayout([](int width) { return width >= 200 ? 300 : 50; });
    EXPECT_EQ(state(), "1 0 0");

    // Content that changes on every pass cannot re-enter the layout without end.
    relayout([](int) { return 100; });
    relayout([](int) { return 1000000; });
    s->EndDown();
    relayout([s](int) { return 1000000 - 1000 * s->setPosCalls; });
    EXPECT_LE(s->setPosCalls, CContainerUI::kMaxScrollRelayoutDepth + 1);
}

TEST(ContainerScroll, ScrollBarAttributesKeepStylesAndUseTheHostDefaults)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Default name=\"VScrollBar\" value=\"linesize=&quot;5&quot; range=&quot;40&quot;\"/>"
                       L"<Container name=\"c\" vscrollbar=\"true\" vscrollbarstyle=\"range=&quot;70&quot;\"/></Window>",
                       200, 100));
    auto* c = h.Find<CContainerUI>(L"c");
    CScrollBarUI* bar = c->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetOwner(), c);
    EXPECT_EQ(std::to_string(bar->GetLineSize()) + " " + std::to_string(bar->GetScrollRange()), "5 70");
    c->SetAttribute(L"hscrollbar", L"true");
    EXPECT_EQ(c->GetVerticalScrollBar(), bar);  // an existing bar is kept with its style
    c->SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(c->GetVerticalScrollBar(), nullptr);
    c->SetAttribute(L"vscrollbarstyle", L"linesize=\"9\"");
    ASSERT_NE(c->GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(std::to_string(c->GetVerticalScrollBar()->GetLineSize()) + " " +
                  std::to_string(c->GetVerticalScrollBar()->GetScrollRange()),
              "9 40");
    EXPECT_NE(c->GetHorizontalScrollBar(), nullptr);
}

TEST(ContainerPaint, ChildrenAreClippedToTheInnerRectangleFloatingOnesAreNot)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Container name=\"c\" inset=\"10,10,10,10\" bkcolor=\"#FF00FF00\">"
                       L"<Control name=\"a\" bkcolor=\"#FFFF0000\"/>"
                       L"<Control name=\"f\" float=\"true\" pos=\"0,0,10,10\" bkcolor=\"#FF0000FF\"/>"
                       L"</Container></Window>",
                       60, 50));
    h.Find(L"a")->SetPos(RECT{0, 0, 60, 50});  // reaching into the inset, as if scrolled
    kit::DibCanvas canvas(60, 50, 0xFFFFFF);
    h.root->Paint(canvas.DC(), RECT{0, 0, 60, 50});
    EXPECT_TRUE(kit::CanvasIs(canvas, [](int x, int y) -> uint32_t {
        if (x < 10 && y < 10)
            return 0x0000FF;
        return (x >= 10 && x < 50 && y >= 10 && y < 40) ? 0xFF0000 : 0x00FF00;
    }));
    // A dirty rectangle entirely in the inset still paints the floating child there.
    canvas.Fill(0xFFFFFF);
    h.root->Paint(canvas.DC(), RECT{0, 0, 8, 8});
    EXPECT_TRUE(kit::CanvasIs(canvas, [](int x, int y) -> uint32_t { return x < 8 && y < 8 ? 0x0000FF : 0xFFFFFF; }));
}

// A "scroll" listener that deletes the container holding the bar, from the press and from a
// repeating tick: nothing of the bar is touched afterwards.
TEST(ContainerLifetime, ScrollListenerDeletesTheContainer)
{
    for (int deleteOn : {1, 2}) {
        SCOPED_TRACE(deleteOn);
        kit::GuardedScope guard;
        XmlHost h;
        ASSERT_TRUE(h.Open(L"<Window><Container name=\"root\"><Container name=\"box\">"
                           L"<ScrollBar name=\"sb\" float=\"true\" pos=\"0,0,16,100\" range=\"1000\"/>"
                           L"</Container></Container></Window>",
                           100, 100));
        auto* root = h.Find<CContainerUI>(L"root");
        root->SetDelayedDestroy(false);
        int scrolls = 0;
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (msg.type == L"scroll" && ++scrolls == deleteOn)
                root->Remove(h.Find(L"box"));
        };
        kit::Input in(h.win.Hwnd());
        in.Move(8, 95);
        in.LeftDown(8, 95);
        ASSERT_TRUE(kit::PumpUntil([&] { return root->GetCount() == 0; }, 3000));
        in.LeftUp(8, 95);
        kit::Pump(100);
        EXPECT_EQ(h.Find(L"sb"), nullptr);
        EXPECT_EQ(scrolls, deleteOn);
    }
}

// A layout pass asks the window to repaint once, for everything it moved.
TEST(ContainerPaint, RepaintRequestsOfAPassAreGathered)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Container/></Window>", 200, 100));
    HWND hWnd = h.win.Hwnd();
    RECT pending = {};
    ::ValidateRect(hWnd, nullptr);
    {
        CWindowHostUI::InvalidateBatch outer(h.Host());
        CWindowHostUI::InvalidateBatch inner(h.Host());
        h.Host()->Invalidate(RECT{10, 10, 20, 20});
        h.Host()->Invalidate(RECT{50, 5, 60, 15});
        EXPECT_FALSE(::GetUpdateRect(hWnd, &pending, FALSE));
    }
    ASSERT_TRUE(::GetUpdateRect(hWnd, &pending, FALSE));
    EXPECT_EQ(kit::Text(pending), "10,5,60,20");
}
