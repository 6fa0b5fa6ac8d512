// The container base and the layouts in real windows built from skins. Every expected rectangle
// was worked out by hand from the placement rules, not by running the code: a linear layout's
// share = (length - fixed total) / automatic count, the last automatic child taking what the fixed
// remainder leaves; a tile's cell = inner width / columns, rows as tall as their tallest child.
// Also: item operations and destroy rules, find walks, scrolling by calls, keys and the wheel,
// the scroll-bar feed, painting with clips, separator drags, tab pages, and listeners that
// delete the container they scroll.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/GuardedHeap.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/HorizontalLayoutUI.h"
#include "uitoolkit/controls/TabLayoutUI.h"
#include "uitoolkit/controls/TileLayoutUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

using namespace SkinUI;
using namespace kit;

namespace {

// A minimal layout for the scroll-bar feed: the content height it reports for an inner width
// comes from the test.
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

struct ListItemProbe : CControlUI {
    void* GetInterface(const wchar_t* name) override
    {
        return std::wstring(name) == L"ListItem" ? this : CControlUI::GetInterface(name);
    }
};

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

TEST(ContainerItems, AdjustedInterfaceAndRefusedOperationsChangeNothing)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(kThreeChildren, 200, 100));
    auto* c = h.Find<CContainerUI>(L"c");
    auto* items = static_cast<IContainerUI*>(c->GetInterface(L"IContainer"));
    EXPECT_EQ(items, static_cast<IContainerUI*>(c));  // the adjusted sub-object
    CControlUI* a = h.Find(L"a");
    auto* loose = new CControlUI();
    EXPECT_TRUE(items->GetItemAt(-1) == nullptr && items->GetItemAt(3) == nullptr);
    EXPECT_EQ(items->GetItemIndex(loose), -1);
    EXPECT_FALSE(items->SetItemIndex(a, 3));  // out of range: the child stays where it was
    EXPECT_FALSE(items->SetItemIndex(loose, 0));
    EXPECT_FALSE(items->AddAt(loose, 4));
    EXPECT_EQ(loose->GetManager(), nullptr);  // refused before it was attached
    EXPECT_FALSE(items->Add(nullptr) || items->AddAt(nullptr, 0) || items->Remove(nullptr));
    EXPECT_FALSE(items->Remove(loose) || items->RemoveAt(3) || items->SetItemIndex(nullptr, 0));
    EXPECT_EQ(Names(items), L"a,b,d");

    EXPECT_TRUE(items->SetItemIndex(a, 2));
    EXPECT_EQ(Names(items), L"b,d,a");
    loose->SetName(L"x");
    EXPECT_TRUE(items->AddAt(loose, 1));
    EXPECT_EQ(Names(items), L"b,x,d,a");
    EXPECT_TRUE(loose->GetManager() == h.Host() && loose->GetParent() == c);

    // Added to a hidden container, a child is hidden through its inherited visibility.
    auto* hidden = h.Find<CContainerUI>(L"other");
    hidden->SetVisible(false);
    auto* late = new CControlUI();
    EXPECT_TRUE(hidden->Add(late));
    EXPECT_FALSE(late->IsVisible());
    hidden->SetVisible(true);
    EXPECT_TRUE(late->IsVisible());
}

// The nearest visible, enabled list item: forward from the index, or backward and then forward
// from the start.
TEST(ContainerItems, FindSelectableSkipsHiddenDisabledAndOtherChildren)
{
    CContainerUI c;
    EXPECT_EQ(c.FindSelectable(0, true), -1);
    c.Add(new CControlUI());     // 0: not a list item
    c.Add(new ListItemProbe());  // 1: hidden
    c.GetItemAt(1)->SetVisible(false);
    c.Add(new ListItemProbe());  // 2
    c.Add(new ListItemProbe());  // 3: disabled
    c.GetItemAt(3)->SetEnabled(false);
    c.Add(new ListItemProbe());  // 4
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
    for (const wchar_t* name : {L"a", L"b", L"d"})
        watch.Watch(h.Find(name), c);

    // With a host, removal goes through the delayed clean-up.
    EXPECT_TRUE(c->Remove(h.Find(L"a")));
    EXPECT_EQ(watch.deleted, 0);
    EXPECT_EQ(c->GetCount(), 2);
    Pump(50);
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
    // Hidden children are not placed; negative fixed positions anchor to the right / bottom edge
    // (the inset does not apply); the first relative placement only remembers the size.
    EXPECT_EQ(h.Pos({L"a", L"hid", L"right", L"bottom", L"rel"}),
              "5,6,193,92 0,0,0,0 140,10,190,30 10,60,30,80 10,10,60,30");
    // Wider by 100 and taller by 50: moved by half of each, widened by half the width.
    ASSERT_TRUE(h.win.Layout(300, 150));
    EXPECT_EQ(h.Pos({L"rel", L"right"}), "60,35,160,55 240,10,290,30");
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
    const auto at = [&](int x, int y) {
        CControlUI* found = h.Host()->FindControlAtPoint(POINT{x, y});
        return found != nullptr ? std::wstring(found->GetName().GetData()) : L"-";
    };
    // Hidden controls never; disabled ones only with the enabled flag; topmost first; a
    // floating child is hit in the inset too.
    EXPECT_EQ(at(10, 10) + L" " + at(10, 90) + L" " + at(150, 10), L"off low deep");
    // A non-floating child reaching outside the inner rectangle (as if scrolled) is not hit there.
    auto* inner = h.Find<CContainerUI>(L"inner");
    inner->SetFloat(false);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Pos(L"deep"), "0,0,200,80");
    inner->SetPos(RECT{100, 0, 200, 100});
    EXPECT_EQ(at(150, 40) + L" " + at(150, 90), L"deep low");
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
    EXPECT_EQ(Text(SIZE{hz->GetFixedWidth(), hz->GetFixedHeight()}), "0,16");
    v->SetScrollRange(300);
    hz->SetScrollRange(50);
    EXPECT_EQ(Text(c->GetScrollRange()), "50,300");
    const std::string start = h.Pos(L"a");  // 0,10,200,90

    const struct {
        std::function<void()> call;
        const char* pos;
    } steps[] = {
        {[&] { c->EndDown(); }, "0,300"},
        {[&] { c->LineDown(); }, "0,300"},  // clamped
        {[&] { c->PageUp(); }, "0,236"},    // 100 - 20 of inset - 16 of the horizontal bar
        {[&] { c->EndRight(); c->LineLeft(); }, "42,236"},
        {[&] { c->PageLeft(); c->HomeUp(); }, "0,0"},  // a page is 200 - 16 of the vertical bar
        {[&] { c->SetScrollPos(SIZE{-5, 5000}); }, "0,300"},
    };
    for (const auto& step : steps) {
        step.call();
        EXPECT_EQ(Text(c->GetScrollPos()), step.pos);
        if (std::string(step.pos) == "0,300") {
            EXPECT_EQ(h.Pos({L"a", L"f"}), "0,-290,200,-210 0,0,10,10");  // floating children stay
        }
    }
    c->HomeUp();
    EXPECT_EQ(h.Pos(L"a"), start);
    c->EndDown();
    // A hidden bar counts 0 and does not move.
    v->SetVisible(false);
    EXPECT_EQ(Text(c->GetScrollPos()) + " " + Text(c->GetScrollRange()), "0,0 50,0");
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
    const int line = h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 8;

    // Keys reach the containers from the focused child through the parents' handlers; the inner
    // container takes them (its bar is usable), the wheel passes it (mouse off) to the outer.
    h.Host()->SetFocus(h.Find(L"a"));
    Input in = h.In();
    in.Key(VK_DOWN);
    in.Key(VK_NEXT);
    EXPECT_EQ(inner->GetScrollPos().cy, line + 100);
    in.Key(VK_HOME);
    EXPECT_EQ(inner->GetScrollPos().cy, 0);
    in.Wheel(50, 50, -120);
    EXPECT_EQ(Text(outer->GetScrollPos()), "0," + std::to_string(line));
    EXPECT_EQ(inner->GetScrollPos().cy, 0);
    in.Wheel(50, 50, 120);
    EXPECT_EQ(Text(outer->GetScrollPos()), "0,0");

    // Without a usable vertical bar the same keys and wheel scroll horizontally.
    inner->EnableScrollBar(false, false);
    outer->GetVerticalScrollBar()->SetEnabled(false);
    in.Key(VK_DOWN);
    in.Wheel(50, 50, -120);
    in.Key(VK_END);
    EXPECT_EQ(Text(outer->GetScrollPos()), "1000,0");
    in.Key(VK_UP);
    EXPECT_EQ(outer->GetScrollPos().cx, 992);
}

TEST(ContainerScroll, ProcessScrollBarShowsSizesClampsAndHides)
{
    TagTable tags{{L"Stack", &Make<StackLayout>}};
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Stack name=\"s\" vscrollbar=\"true\"/></Window>", 200, 100, &tags));
    auto* s = h.Find<StackLayout>(L"s");
    CScrollBarUI* bar = s->GetVerticalScrollBar();
    EXPECT_FALSE(bar->IsVisible());  // no content: the first layout hid it
    const auto relayout = [&](std::function<int(int)> content) {
        s->content = std::move(content);
        s->setPosCalls = 0;
        s->SetPos(s->GetPos());
        return std::to_string(bar->IsVisible()) + " " + std::to_string(bar->GetScrollRange()) + " " +
               std::to_string(bar->GetScrollPos());
    };
    EXPECT_EQ(relayout([](int) { return 300; }), "1 200 0");  // shown, and laid out again to make room
    EXPECT_EQ(s->setPosCalls, 2);
    EXPECT_EQ(h.Pos(L"s") + " " + Text(bar->GetPos()), "0,0,200,100 184,0,200,100");
    s->EndDown();
    EXPECT_EQ(relayout([](int) { return 250; }), "1 150 150");  // position clamped from 200: laid out again
    EXPECT_EQ(s->setPosCalls, 2);
    EXPECT_EQ(relayout([](int) { return 100; }), "0 0 0");  // fits: hidden and reset
    // Content that shrinks once the bar takes room: the nested pass keeps the bar shown, with
    // nothing to scroll (range 0, not the distance to empty space).
    EXPECT_EQ(relayout([](int width) { return width >= 200 ? 300 : 50; }), "1 0 0");
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
    const auto style = [&] {
        CScrollBarUI* bar = c->GetVerticalScrollBar();
        return bar ? std::to_string(bar->GetLineSize()) + " " + std::to_string(bar->GetScrollRange()) : "none";
    };
    CScrollBarUI* bar = c->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetOwner(), c);
    EXPECT_EQ(style(), "5 70");
    c->SetAttribute(L"hscrollbar", L"true");
    EXPECT_EQ(c->GetVerticalScrollBar(), bar);  // an existing bar is kept with its style
    EXPECT_NE(c->GetHorizontalScrollBar(), nullptr);
    c->SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(style(), "none");
    c->SetAttribute(L"vscrollbarstyle", L"linesize=\"9\"");
    EXPECT_EQ(style(), "9 40");
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
    DibCanvas canvas(60, 50, kWhite);
    h.root->Paint(canvas.DC(), RECT{0, 0, 60, 50});
    EXPECT_TRUE(CanvasIs(canvas, [](int x, int y) -> uint32_t {
        if (x < 10 && y < 10)
            return kBlue;
        return (x >= 10 && x < 50 && y >= 10 && y < 40) ? kRed : kGreen;
    }));
    // A dirty rectangle entirely in the inset still paints the floating child there.
    canvas.Fill(kWhite);
    h.root->Paint(canvas.DC(), RECT{0, 0, 8, 8});
    EXPECT_TRUE(CanvasIs(canvas, [](int x, int y) { return x < 8 && y < 8 ? kBlue : kWhite; }));
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
    EXPECT_EQ(Text(pending), "10,5,60,20");
}

// A "scroll" listener that deletes the container holding the bar, from the press and from a
// repeating tick: nothing of the bar is touched afterwards.
TEST(ContainerLifetime, ScrollListenerDeletesTheContainer)
{
    for (int deleteOn : {1, 2}) {
        SCOPED_TRACE(deleteOn);
        GuardedScope guard;
        XmlHost h;
        ASSERT_TRUE(h.Open(L"<Window><Container name=\"root\"><Container name=\"box\">"
                           L"<ScrollBar name=\"sb\" float=\"true\" pos=\"0,0,16,100\" range=\"1000\"/>"
                           L"</Container></Container></Window>",
                           100, 100));
        auto* root = h.Find<CContainerUI>(L"root");
        int scrolls = 0;
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (msg.type == L"scroll" && ++scrolls == deleteOn)
                h.Remove(L"box", true);
        };
        Input in = h.In();
        in.Move(8, 95);
        in.LeftDown(8, 95);
        ASSERT_TRUE(PumpUntil([&] { return root->GetCount() == 0; }, 3000));
        in.LeftUp(8, 95);
        Pump(100);
        EXPECT_EQ(h.Find(L"sb"), nullptr);
        EXPECT_EQ(scrolls, deleteOn);
    }
}

// ---- linear and tile layouts -------------------------------------------------------------------

TEST(LayoutPlacement, FixedAndAutomaticChildrenShareTheLength)
{
    const wchar_t* const threeAuto = L"<Control name=\"a\"/><Control name=\"b\"/><Control name=\"c\"/>";
    const struct {
        const wchar_t* tag;  // of the window's layout
        const wchar_t* attributes;
        std::wstring children;
        int width, height;
        std::vector<const wchar_t*> names;
        const char* rects;
    } cases[] = {
        // 100 / 3 = 33; the last takes the remaining 34.
        {L"VerticalLayout", L"", threeAuto, 200, 100, {L"a", L"b", L"c"}, "0,0,200,33 0,33,200,66 0,66,200,100"},
        // Gaps of 5: (100 - 10) / 3 = 30 each, at 0, 35 and 70.
        {L"VerticalLayout", L"childpadding=\"5\"", threeAuto, 200, 100, {L"a", L"b", L"c"},
         "0,0,200,30 0,35,200,65 0,70,200,100"},
        // Fixed 40, gap 10: the automatic child gets 100 - 50.
        {L"VerticalLayout", L"childpadding=\"10\"", L"<Control name=\"a\" height=\"40\"/><Control name=\"b\"/>", 200, 100,
         {L"a", L"b"}, "0,0,200,40 0,50,200,100"},
        // Inner 180 x 100 at 10,10; paddings 4+6 and 3+7 are fixed: (100 - 20) / 3 = 26. The last
        // automatic child gets 28 left - 20 of paddings still counted = 8 (the documented shortfall).
        {L"VerticalLayout", L"inset=\"10,10,10,10\"",
         L"<Control name=\"a\" padding=\"5,4,5,6\"/><Control name=\"b\" padding=\"0,3,0,7\"/><Control name=\"c\"/>", 200,
         120, {L"a", L"b", L"c"}, "15,14,185,40 10,49,190,75 10,82,190,90"},
        // Fixed 10 raised to its minimum 30; share (100 - 30) / 3 = 23: a down to its maximum 20, b up
        // to 60 and then down to its smaller maximum 40, d the last 10. Widths: a at most 150, b's
        // paddings leave less than nothing.
        {L"VerticalLayout", L"",
         L"<Control name=\"a\" maxheight=\"20\" maxwidth=\"150\"/>"
         L"<Control name=\"b\" minheight=\"60\" maxheight=\"40\" padding=\"120,0,120,0\"/>"
         L"<Control name=\"c\" height=\"10\" minheight=\"30\"/><Control name=\"d\"/>",
         200, 100, {L"a", L"b", L"c", L"d"}, "0,0,150,20 120,20,120,60 0,60,200,90 0,90,200,100"},
        // Fixed content larger than the layout: the automatic share is 0, then the minimum.
        {L"VerticalLayout", L"", L"<Control name=\"a\" height=\"150\"/><Control name=\"b\" minheight=\"5\"/>", 200, 100,
         {L"a", L"b"}, "0,0,200,150 0,150,200,155"},
        // Hidden children take nothing (no gap either), floating ones are placed on their own.
        {L"VerticalLayout", L"childpadding=\"10\"",
         L"<Control name=\"a\"/><Control name=\"h\" visible=\"false\"/>"
         L"<Control name=\"f\" float=\"true\" pos=\"5,5,25,25\"/><Control name=\"b\"/>",
         200, 100, {L"a", L"h", L"f", L"b"}, "0,0,200,45 0,0,0,0 5,5,25,25 0,55,200,100"},
        // A fixed width stays; the automatic width is the available width less the side paddings.
        {L"VerticalLayout", L"", L"<Control name=\"a\" width=\"70\" height=\"20\"/><Control name=\"b\" padding=\"30,0,20,0\"/>",
         200, 100, {L"a", L"b"}, "0,0,70,20 30,20,180,100"},
        // Fixed 50, two automatic children (c with paddings 5 + 5 counted as fixed), gaps of 10:
        // (300 - 80) / 2 = 110 for b; c, the last, takes 120 left - 10 still counted = 110. Heights
        // fill the layout, and it reports no content height: its vertical bar stays hidden.
        {L"HorizontalLayout", L"childpadding=\"10\" vscrollbar=\"true\"",
         L"<Control name=\"a\" width=\"50\"/><Control name=\"b\" height=\"30\"/><Control name=\"c\" padding=\"5,10,5,0\"/>",
         300, 100, {L"a", L"b", L"c"}, "0,0,50,100 60,0,170,30 185,10,295,100"},
        // Three automatic children of 100: 33, 33, 34; minimum and maximum widths apply.
        {L"HorizontalLayout", L"", L"<Control name=\"a\"/><Control name=\"b\" maxwidth=\"20\"/><Control name=\"c\" minwidth=\"60\"/>",
         100, 40, {L"a", L"b", L"c"}, "0,0,33,40 33,0,53,40 53,0,113,40"},
    };
    for (const auto& c : cases) {
        const std::wstring tag = c.tag;
        SCOPED_TRACE((tag + L" " + c.attributes + L" " + c.children).c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open(L"<Window><" + tag + L" name=\"root\" " + c.attributes + L">" + c.children + L"</" + tag +
                               L"></Window>",
                           c.width, c.height));
        EXPECT_EQ(h.Pos(c.names), c.rects);
        const CScrollBarUI* bar = h.Find<CContainerUI>(L"root")->GetVerticalScrollBar();
        EXPECT_FALSE(bar != nullptr && bar->IsVisible());
    }
}

// Content of 3 x 50 + 2 gaps of 10 = 170 in 100: the bar shows, the children are laid out again
// 16 narrower, and the range is 70; scrolling moves every non-floating child.
TEST(LayoutScroll, ContentTallerThanTheLayoutShowsTheBar)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><VerticalLayout name=\"root\" vscrollbar=\"true\" childpadding=\"10\">"
                       L"<Control name=\"a\" height=\"50\"/><Control name=\"b\" height=\"50\"/>"
                       L"<Control name=\"c\" height=\"50\"/><Control name=\"f\" float=\"true\" pos=\"0,0,10,10\"/>"
                       L"</VerticalLayout></Window>",
                       200, 100));
    auto* root = h.Find<CVerticalLayoutUI>(L"root");
    CScrollBarUI* bar = root->GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(Text(root->GetScrollRange()) + " " + Text(bar->GetPos()), "0,70 184,0,200,100");
    EXPECT_EQ(h.Pos({L"a", L"b", L"c"}), "0,0,184,50 0,60,184,110 0,120,184,170");
    root->SetScrollPos(SIZE{0, 30});
    EXPECT_EQ(h.Pos({L"a", L"c", L"f"}), "0,-30,184,20 0,90,184,140 0,0,10,10");
    // A later layout keeps the scrolled origin.
    ASSERT_TRUE(h.win.Layout(200, 101));
    EXPECT_EQ(h.Pos(L"a") + " " + Text(root->GetScrollRange()), "0,-30,184,20 0,69");
    // Room enough: the bar hides and the position returns to 0.
    ASSERT_TRUE(h.win.Layout(200, 300));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(h.Pos(L"a"), "0,0,200,50");
}

// Nested layouts place every child once per layout pass.
TEST(LayoutScroll, NestedLayoutsPlaceEachChildOncePerPass)
{
    XmlHost h;
    std::wstring skin = L"<Window><VerticalLayout name=\"root\">";
    for (int row = 0; row < 4; ++row) {
        skin += L"<HorizontalLayout><VerticalLayout>";
        for (int i = 0; i < 3; ++i)
            skin += L"<Control name=\"c" + std::to_wstring(row * 3 + i) + L"\"/>";
        skin += L"</VerticalLayout><Control/></HorizontalLayout>";
    }
    ASSERT_TRUE(h.Open(skin + L"</VerticalLayout></Window>", 300, 200));
    std::vector<int> placed(12, 0);
    for (int i = 0; i < 12; ++i)
        h.Find((L"c" + std::to_wstring(i)).c_str())->SizeDelegates += MakeDelegate([&placed, i](void*) {
            ++placed[static_cast<size_t>(i)];
            return true;
        });
    h.root->SetPos(RECT{0, 0, 300, 200});
    EXPECT_EQ(placed, std::vector<int>(12, 1));
}

TEST(TileLayoutPlacement, CellsRowsCentringAndColumnsThatFollowTheWidth)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TileLayout name=\"tiles\" itemsize=\"100,80\" childpadding=\"10\" vscrollbar=\"true\">"
                       L"<Control name=\"c0\" width=\"60\" height=\"30\"/><Control name=\"hidden\" visible=\"false\"/>"
                       L"<Control name=\"c1\" width=\"60\" height=\"50\"/><Control name=\"c2\" width=\"60\" height=\"40\"/>"
                       L"<Control name=\"c3\" width=\"60\" height=\"20\"/></TileLayout></Window>",
                       350, 200));
    auto* tiles = h.Find<CTileLayoutUI>(L"tiles");
    // 350 / 100 = 3 columns of 116; the outer cells of a row give up half the child padding on
    // their inner side. Row 1 is 50 high; row 2 starts 10 below it.
    EXPECT_EQ(tiles->GetColumns(), 3);
    EXPECT_EQ(h.Pos({L"c0", L"c1", L"c2", L"c3", L"hidden"}),
              "25,10,85,40 144,0,204,50 262,5,322,45 25,60,85,80 0,0,0,0");
    EXPECT_FALSE(tiles->GetVerticalScrollBar()->IsVisible());  // 80 of content in 200
    // Narrower: the columns follow the width (250 / 100 = 2 of 125).
    ASSERT_TRUE(h.win.Layout(250, 200));
    EXPECT_EQ(tiles->GetColumns(), 2);
    EXPECT_EQ(h.Pos({L"c0", L"c1", L"c2", L"c3"}), "30,10,90,40 160,0,220,50 30,60,90,100 160,70,220,90");
    // Too narrow for one item: still one column. Four rows of 30, 50, 40, 20 with gaps of 10 need
    // 170 of 60: the bar shows and the range is the difference.
    ASSERT_TRUE(h.win.Layout(90, 60));
    EXPECT_EQ(tiles->GetColumns(), 1);
    EXPECT_TRUE(tiles->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(tiles->GetScrollRange().cy, 170 - 60);
}

TEST(TileLayoutPlacement, ColumnsAttributeAndItemSize)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TileLayout name=\"t\" columns=\"2\"><Control name=\"a\" height=\"20\"/>"
                       L"<Control name=\"b\"/><Control name=\"c\"/></TileLayout></Window>",
                       200, 100));
    auto* t = h.Find<CTileLayoutUI>(L"t");
    // Two cells of 100; row 1 is 20 high (b asks for no height and gets the row's), c opens row 2
    // of height 0.
    EXPECT_EQ(h.Pos({L"a", L"b", L"c"}), "0,0,100,20 100,0,200,20 0,20,100,20");
    t->SetAttribute(L"columns", L"0");
    t->SetAttribute(L"columns", L"-3");
    EXPECT_EQ(t->GetColumns(), 2);
    t->SetAttribute(L"itemsize", L"60x30");  // any single separator
    EXPECT_EQ(Text(t->GetItemSize()), "60,30");
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(t->GetColumns(), 3);  // 200 / 60
}

// ---- separators --------------------------------------------------------------------------------

namespace {

// A 200 x 200 window: "top" is 100 high with a 4-pixel band at its bottom (96..100), limited to
// 40..150; "rest" takes what is left.
std::wstring SeparatorSkin(const std::wstring& extra)
{
    return L"<Window><VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\"><VerticalLayout name=\"top\" height=\"100\" "
           L"sepheight=\"4\" minheight=\"40\" maxheight=\"150\" " + extra + L"/><Control name=\"rest\"/></VerticalLayout></Window>";
}

} // namespace

TEST(LayoutSeparator, DragsResizeAtTheRightMomentWithinTheLimitsAndTheSizingCursor)
{
    const struct {
        std::wstring skin;
        SIZE window;
        POINT from;
        std::vector<POINT> moves;  // the last is the release point
        const wchar_t* cursor;     // at the press point
        std::vector<const wchar_t*> names;
        const char* afterFirstMove;  // null: unchanged until the release
        const char* released;
    } cases[] = {
        // Immediate: the parent is laid out again at every move.
        {SeparatorSkin(L"sepimm=\"true\""), {200, 200}, {50, 98}, {{50, 128}}, IDC_SIZENS, {L"top", L"rest"},
         "0,0,200,130 0,130,200,200", "0,0,200,130 0,130,200,200"},
        // A band on the top edge ("sepheight" -4) of a layout docked at the bottom: dragging up grows it.
        {L"<Window><VerticalLayout><Control name=\"rest\"/><VerticalLayout name=\"bottom\" height=\"100\" "
         L"sepheight=\"-4\"/></VerticalLayout></Window>",
         {200, 200}, {50, 102}, {{50, 80}}, IDC_SIZENS, {L"bottom", L"rest"}, nullptr, "0,78,200,200 0,0,200,78"},
        // "left" is 100 wide with a 5-pixel band at its right edge (95..100); it stops at its minimum.
        {L"<Window><HorizontalLayout><HorizontalLayout name=\"left\" width=\"100\" sepwidth=\"5\" "
         L"sepimm=\"true\" minwidth=\"50\"/><Control name=\"rest\"/></HorizontalLayout></Window>",
         {300, 100}, {97, 50}, {{130, 50}, {10, 50}}, IDC_SIZEWE, {L"left", L"rest"}, "0,0,133,100 133,0,300,100",
         "0,0,50,100 50,0,300,100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.skin.c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open(c.skin, c.window.cx, c.window.cy));
        const std::string start = h.Pos(c.names);
        EXPECT_EQ(h.CursorAt(c.from.x, c.from.y), ::LoadCursorW(nullptr, c.cursor));
        h.In().LeftDown(c.from.x, c.from.y);
        h.In().Move(c.moves[0].x, c.moves[0].y, MK_LBUTTON);
        EXPECT_EQ(h.Pos(c.names), c.afterFirstMove ? c.afterFirstMove : start);
        for (const POINT& pt : c.moves)
            h.In().Move(pt.x, pt.y, MK_LBUTTON);
        h.In().LeftUp(c.moves.back().x, c.moves.back().y);
        EXPECT_EQ(h.Pos(c.names), c.released);
    }
}

TEST(LayoutSeparator, DeferredDragShowsABandAndResizesOnRelease)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L""), 200, 200));
    auto* top = h.Find<CVerticalLayoutUI>(L"top");
    EXPECT_EQ(Text(top->GetSeparatorRect(false)), "0,96,200,100");
    EXPECT_EQ(h.CursorAt(50, 50), ::LoadCursorW(nullptr, IDC_ARROW));
    Input in = h.In();
    in.Move(50, 98);
    in.LeftDown(50, 98);
    in.Move(50, 120);  // 22 down from the press
    // Only the translucent band follows; the layout keeps its place until the release.
    EXPECT_EQ(h.Pos(L"top") + " " + Text(top->GetSeparatorRect(true)), "0,0,200,100 0,118,200,122");
    EXPECT_EQ(top->GetFixedHeight(), 122);
    ASSERT_TRUE(h.win.Layout());
    HDC screen = ::GetDC(h.win.Hwnd());
    const COLORREF band = ::GetPixel(screen, 50, 120);
    const COLORREF below = ::GetPixel(screen, 50, 130);
    ::ReleaseDC(h.win.Hwnd(), screen);
    EXPECT_LT(GetRValue(band), 0x80);  // black at alpha 0xAA over the white window
    EXPECT_EQ(below, RGB(255, 255, 255));
    in.LeftUp(50, 120);
    EXPECT_EQ(h.Pos({L"top", L"rest"}), "0,0,200,122 0,122,200,200");
    EXPECT_FALSE(h.Host()->RemovePostPaint(top));  // off the post-paint list again

    // Upwards past the minimum: stopped at 40, further moves that way are ignored.
    in.Move(50, 120);
    in.LeftDown(50, 120);
    in.Move(50, 10);
    EXPECT_EQ(top->GetFixedHeight(), 40);
    in.Move(50, 5);
    EXPECT_EQ(Text(top->GetSeparatorRect(true)), "0,36,200,40");
    in.Move(50, 400);  // and down past the maximum
    EXPECT_EQ(top->GetFixedHeight(), 150);
    in.LeftUp(50, 400);
    EXPECT_EQ(h.Pos({L"top", L"rest"}), "0,0,200,150 0,150,200,200");

    // A disabled layout takes no drag.
    top->SetEnabled(false);
    EXPECT_EQ(top->GetBehaviourFlags(), 0u);
    in.LeftDown(50, 148);
    in.Move(50, 100);
    in.LeftUp(50, 100);
    EXPECT_EQ(top->GetFixedHeight(), 150);
}

// A drag whose release never comes (the capture went elsewhere) ends at the next move; a layout
// deleted during a deferred drag is not painted afterwards.
TEST(LayoutSeparator, LostCaptureAndDeletionEndTheDrag)
{
    GuardedScope guard;
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L""), 200, 200));
    auto* top = h.Find<CVerticalLayoutUI>(L"top");
    Input in = h.In();
    in.Move(50, 98);
    in.LeftDown(50, 98);
    in.Move(50, 110);
    ::ReleaseCapture();
    in.Move(50, 140);
    EXPECT_FALSE(h.Host()->RemovePostPaint(top));
    EXPECT_EQ(top->GetFixedHeight(), 112);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Pos(L"top"), "0,0,200,112");

    in.Move(50, 108);
    in.LeftDown(50, 108);
    in.Move(50, 130);
    h.Remove(L"top", true);
    ASSERT_TRUE(h.win.Layout());  // paints without the deleted layout's overlay
    in.LeftUp(50, 130);
    EXPECT_EQ(h.Pos(L"rest"), "0,0,200,200");
}

// ---- tab pages ---------------------------------------------------------------------------------

TEST(TabLayout, SelectionPlacementAndNotifications)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TabLayout name=\"tabs\" inset=\"5,5,5,5\" selectedid=\"1\">"
                       L"<VerticalLayout name=\"p0\"><Button name=\"b0\"/></VerticalLayout>"
                       L"<VerticalLayout name=\"p1\" padding=\"10,0,0,10\"><Button name=\"b1\"/></VerticalLayout>"
                       L"<VerticalLayout name=\"p2\"><Button name=\"b2\"/></VerticalLayout></TabLayout></Window>",
                       200, 100));
    auto* tabs = h.Find<CTabLayoutUI>(L"tabs");
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(std::to_string(h.Find(L"p0")->IsVisible()) + std::to_string(h.Find(L"p1")->IsVisible()) +
                  std::to_string(h.Find(L"p2")->IsVisible()),
              "010");
    // Only the selected page is placed: the inset and its own padding off.
    EXPECT_EQ(h.Pos({L"p1", L"p0"}), "15,5,195,85 0,0,0,0");
    EXPECT_TRUE(tabs->SelectItem(1));  // the current one: nothing sent
    EXPECT_FALSE(tabs->SelectItem(3) || tabs->SelectItem(-1));
    EXPECT_EQ(h.rec.Count(L"tabselect"), 0);
    EXPECT_TRUE(tabs->SelectItem(2));
    ASSERT_EQ(h.rec.Count(L"tabselect"), 1);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].wParam, 2u);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].lParam, 1);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Host()->GetFocus(), h.Find(L"b2"));  // the focus went into the page
    EXPECT_EQ(h.Pos({L"p2", L"p1"}), "5,5,195,95 15,5,195,85");  // p1 keeps its old place
}

TEST(TabLayout, AddAndRemoveKeepTheSelectionOnItsPage)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TabLayout name=\"tabs\"><Control name=\"p0\"/><Control name=\"p1\"/>"
                       L"<Control name=\"p2\"/></TabLayout></Window>",
                       200, 100));
    auto* tabs = h.Find<CTabLayoutUI>(L"tabs");
    EXPECT_EQ(tabs->GetCurSel(), 0);  // the first visible page added
    EXPECT_FALSE(h.Find(L"p1")->IsVisible());
    tabs->SelectItem(1);
    auto* early = new CControlUI();
    EXPECT_TRUE(tabs->AddAt(early, 0));
    EXPECT_FALSE(early->IsVisible());
    EXPECT_EQ(tabs->GetCurSel(), 2);  // still p1
    EXPECT_EQ(tabs->GetItemAt(2), h.Find(L"p1"));
    // Removing the selected page shows page 0; removing one before the selection shifts it.
    EXPECT_TRUE(tabs->Remove(h.Find(L"p1")));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(early->IsVisible());
    tabs->SelectItem(2);  // p2
    EXPECT_TRUE(tabs->Remove(early));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(tabs->GetItemAt(1), h.Find(L"p2"));
    // RemoveAt goes through the same bookkeeping.
    EXPECT_TRUE(tabs->RemoveAt(1));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(h.Find(L"p0")->IsVisible());
    tabs->RemoveAll();
    EXPECT_EQ(tabs->GetCurSel(), -1);
    // Hidden pages select nothing; the first selection reports -1 as the previous one.
    auto* hidden = new CControlUI();
    hidden->SetVisible(false);
    EXPECT_TRUE(tabs->Add(hidden));
    EXPECT_EQ(tabs->GetCurSel(), -1);
    h.rec.Clear();
    EXPECT_TRUE(tabs->SelectItem(0));
    ASSERT_EQ(h.rec.Count(L"tabselect"), 1);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].lParam, -1);
}
