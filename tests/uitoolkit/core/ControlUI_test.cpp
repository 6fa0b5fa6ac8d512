// The control base: attribute parsing, the attribute-list grammar, layout requests, SetPos,
// delegates, event routing, the find walk and the paint steps (read back as pixels).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/HostWindow.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

using namespace SkinUI;
using kit::Box;
using kit::DibCanvas;
using kit::ProbeControl;

namespace {

// A parent that records what reaches its own HandleEvent.
class RecordingBox : public Box {
public:
    using Box::Box;
    void HandleEvent(ControlEvent& event) override
    {
        handled.push_back(event.type);
        Box::HandleEvent(event);
    }
    std::vector<int> handled;
};

// Opens a window whose root is a Box holding the given children, laid out at 200 x 100.
struct Tree {
    kit::HostWindow win;
    Box* root = new Box(L"root");

    bool Open(int width = 200, int height = 100)
    {
        return win.Open(root, width, height) && win.Layout();
    }
    CWindowHostUI* Host() const { return win.Host(); }
};

} // namespace

// ---- attributes ---------------------------------------------------------------------------------

TEST(ControlAttributes, PositionAndSizeFamily)
{
    CControlUI c;
    c.SetAttribute(L"pos", L"10,20,110,60");
    EXPECT_EQ(c.GetFixedXY().cx, 10);
    EXPECT_EQ(c.GetFixedXY().cy, 20);
    EXPECT_EQ(c.GetFixedWidth(), 100);
    EXPECT_EQ(c.GetFixedHeight(), 40);

    // Negative left / top: anchored to the right / bottom edge.
    c.SetAttribute(L"pos", L"-110,-60,-10,-20");
    EXPECT_EQ(c.GetFixedXY().cx, -10);
    EXPECT_EQ(c.GetFixedXY().cy, -20);
    EXPECT_EQ(c.GetFixedWidth(), 100);
    EXPECT_EQ(c.GetFixedHeight(), 40);

    // A short text: missing numbers are 0; a negative size is ignored.
    c.SetAttribute(L"pos", L"5,6");
    EXPECT_EQ(c.GetFixedXY().cx, 5);
    EXPECT_EQ(c.GetFixedXY().cy, 6);
    EXPECT_EQ(c.GetFixedWidth(), 100);

    c.SetAttribute(L"relativepos", L"10,20,30,40");
    EXPECT_TRUE(c.IsRelativePos());
    EXPECT_EQ(c.GetRelativePos().moveX, 10);
    EXPECT_EQ(c.GetRelativePos().zoomY, 40);

    c.SetAttribute(L"padding", L"1,2,3,4");
    EXPECT_EQ(c.GetPadding().left, 1);
    EXPECT_EQ(c.GetPadding().bottom, 4);

    c.SetAttribute(L"width", L"77");
    c.SetAttribute(L"height", L"33px");
    EXPECT_EQ(c.GetFixedWidth(), 77);
    EXPECT_EQ(c.GetFixedHeight(), 33);
    c.SetAttribute(L"width", L"-4");
    EXPECT_EQ(c.GetFixedWidth(), 77);

    c.SetAttribute(L"minwidth", L"5");
    c.SetAttribute(L"minheight", L"6");
    c.SetAttribute(L"maxwidth", L"500");
    c.SetAttribute(L"maxheight", L"600");
    EXPECT_EQ(c.GetMinWidth(), 5);
    EXPECT_EQ(c.GetMinHeight(), 6);
    EXPECT_EQ(c.GetMaxWidth(), 500);
    EXPECT_EQ(c.GetMaxHeight(), 600);
    EXPECT_EQ(c.GetDesiredSize(SIZE{1000, 1000}).cx, 77);
}

TEST(ControlAttributes, ColoursAndBorders)
{
    CControlUI c;
    c.SetAttribute(L"bkcolor", L" #FF102030");
    EXPECT_EQ(c.GetBkColor(), 0xFF102030u);
    c.SetAttribute(L"bkcolor1", L"FF405060");
    EXPECT_EQ(c.GetBkColor(), 0xFF405060u);
    c.SetAttribute(L"bkcolor2", L"\t#80000000");
    EXPECT_EQ(c.GetBkColor2(), 0x80000000u);
    c.SetAttribute(L"bkcolor3", L"#FFFFFFFF");
    EXPECT_EQ(c.GetBkColor3(), 0xFFFFFFFFu);

    // Border colours skip no blanks.
    c.SetAttribute(L"bordercolor", L" #FF102030");
    EXPECT_EQ(c.GetBorderColor(), 0u);
    c.SetAttribute(L"bordercolor", L"#FF102030");
    EXPECT_EQ(c.GetBorderColor(), 0xFF102030u);
    c.SetAttribute(L"focusbordercolor", L"FF0000FF");
    EXPECT_EQ(c.GetFocusBorderColor(), 0xFF0000FFu);
    c.SetAttribute(L"bkcolor", L"zz");
    EXPECT_EQ(c.GetBkColor(), 0u);

    c.SetAttribute(L"bordersize", L"3");
    EXPECT_EQ(c.GetBorderSize(), 3);
    c.SetAttribute(L"borderround", L"4,5");
    EXPECT_EQ(c.GetBorderRound().cx, 4);
    EXPECT_EQ(c.GetBorderRound().cy, 5);
    c.SetAttribute(L"borderround", L"7");
    EXPECT_EQ(c.GetBorderRound().cx, 7);
    EXPECT_EQ(c.GetBorderRound().cy, 0);

    c.SetAttribute(L"colorhsl", L"true");
    EXPECT_TRUE(c.IsColorHsl());
    // With the process defaults (180, 100, 100) the colour passes unchanged.
    EXPECT_EQ(c.ApplyColorHsl(0x80123456u), 0x80123456u);
    c.SetAttribute(L"colorhsl", L"TRUE");
    EXPECT_FALSE(c.IsColorHsl());

    c.SetAttribute(L"bkimage", L"file='a.png' corner='1,1,1,1'");
    EXPECT_STREQ(c.GetBkImage(), L"file='a.png' corner='1,1,1,1'");
}

TEST(ControlAttributes, TextsFlagsAndUnknownNames)
{
    CControlUI c;
    c.SetAttribute(L"name", L"ok");
    c.SetAttribute(L"text", L"Hello");
    c.SetAttribute(L"tooltip", L"tip");
    c.SetAttribute(L"userdata", L"ud");
    c.SetAttribute(L"shortcut", L"x");
    EXPECT_STREQ(c.GetName().GetData(), L"ok");
    EXPECT_STREQ(c.GetText().GetData(), L"Hello");
    EXPECT_STREQ(c.GetToolTip().GetData(), L"tip");
    EXPECT_STREQ(c.GetUserData().GetData(), L"ud");
    EXPECT_EQ(c.GetShortcut(), L'x');
    c.SetAttribute(L"shortcut", L"");
    EXPECT_EQ(c.GetShortcut(), 0);

    // Only the exact text "true" is true.
    c.SetAttribute(L"enabled", L"True");
    EXPECT_FALSE(c.IsEnabled());
    c.SetAttribute(L"enabled", L"true");
    EXPECT_TRUE(c.IsEnabled());
    c.SetAttribute(L"mouse", L"false");
    c.SetAttribute(L"keyboard", L"0");
    c.SetAttribute(L"float", L"true");
    c.SetAttribute(L"menu", L"true");
    EXPECT_FALSE(c.IsMouseEnabled());
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_TRUE(c.IsFloat());
    EXPECT_TRUE(c.IsMenuNotifyEnabled());
    c.SetAttribute(L"visible", L"yes");
    EXPECT_FALSE(c.IsVisible());

    // Names are compared exactly; unknown ones change nothing.
    c.SetAttribute(L"Text", L"other");
    c.SetAttribute(L"text ", L"other");
    c.SetAttribute(nullptr, L"x");
    c.SetAttribute(L"text", nullptr);
    EXPECT_STREQ(c.GetText().GetData(), L"");
    EXPECT_STREQ(c.GetClass(), L"ControlUI");
    EXPECT_EQ(c.GetInterface(L"Control"), &c);
    EXPECT_EQ(c.GetInterface(L"control"), nullptr);
}

TEST(ControlAttributes, AttributeListGrammar)
{
    CControlUI a;
    a.ApplyAttributeText(L"name=\"n\" text=\"t t\" width=\"5\"");
    EXPECT_STREQ(a.GetName().GetData(), L"n");
    EXPECT_STREQ(a.GetText().GetData(), L"t t");
    EXPECT_EQ(a.GetFixedWidth(), 5);

    // Two blanks between pairs: only the first pair.
    CControlUI b;
    b.ApplyAttributeText(L"name=\"n\"  text=\"t\"");
    EXPECT_STREQ(b.GetName().GetData(), L"n");
    EXPECT_STREQ(b.GetText().GetData(), L"");

    // Deviations stop silently after the pairs before them.
    CControlUI c;
    c.ApplyAttributeText(L"name=\"n\" text=t\" width=\"5\"");
    EXPECT_STREQ(c.GetName().GetData(), L"n");
    EXPECT_EQ(c.GetFixedWidth(), 0);
    CControlUI d;
    d.ApplyAttributeText(L"name=\"n\" text=\"unterminated");
    EXPECT_STREQ(d.GetName().GetData(), L"n");
    EXPECT_STREQ(d.GetText().GetData(), L"");
    CControlUI e;
    e.ApplyAttributeText(L"name\"n\"");
    EXPECT_STREQ(e.GetName().GetData(), L"");
    CControlUI f;
    f.ApplyAttributeText(L"name=\"n\",text=\"t\"");
    EXPECT_STREQ(f.GetName().GetData(), L"n");
    EXPECT_STREQ(f.GetText().GetData(), L"");
    CControlUI g;
    g.ApplyAttributeText(L"");
    g.ApplyAttributeText(nullptr);
    g.ApplyAttributeText(L"text=\"\" ");
    EXPECT_STREQ(g.GetText().GetData(), L"");
}

TEST(ControlAttributes, RandomAttributeListsNeverCrashOrHang)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
    const std::wstring samples[] = {
        L"name=\"a\" pos=\"10,20,110,60\" bkcolor=\"#FF102030\" bordersize=\"2\"",
        L"padding=\"1,2,3,4\" borderround=\"4,4\" visible=\"true\" shortcut=\"k\"",
        L"relativepos=\"-1,-2\" minwidth=\"3\" maxheight=\"-9\" text=\"x\" float=\"true\"",
    };
    Tree tree;
    auto* target = new Box(L"target");
    tree.root->Add(target);
    ASSERT_TRUE(tree.Open());
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = fuzz.Mutate(samples[i % 3], 8);
        target->ApplyAttributeText(text.c_str());
        CControlUI loose;
        loose.ApplyAttributeText(text.c_str());
    }
    EXPECT_TRUE(tree.win.Layout());
}

// ---- layout requests and SetPos --------------------------------------------------------------------

TEST(ControlLayout, SetPosRulesDelegatesAndFloatWriteBack)
{
    Tree tree;
    auto* child = new ProbeControl(L"c");
    tree.root->Add(child);
    ASSERT_TRUE(tree.Open(300, 300));

    int sizeCalls = 0;
    child->SizeDelegates += MakeDelegate([&](void* p) {
        ++sizeCalls;
        EXPECT_EQ(p, child);
        child->SetPos(RECT{1, 1, 2, 2});  // nested: does not fire again
        return true;
    });
    child->SetPos(RECT{50, 60, 40, 30});  // right / bottom raised to left / top
    EXPECT_EQ(sizeCalls, 1);
    EXPECT_EQ(child->GetPos().left, 1);  // the nested call wins, it ran last

    CControlUI loose;  // without a host nothing more than storing happens
    loose.SetPos(RECT{50, 60, 40, 30});
    EXPECT_EQ(loose.GetPos().right, 50);
    EXPECT_EQ(loose.GetPos().bottom, 60);
    EXPECT_TRUE(loose.IsUpdateNeeded());

    // A floating child keeps its fixed position in step with where it was put.
    auto* floating = new ProbeControl(L"f");
    tree.root->Add(floating);
    floating->SetFloat(true);
    tree.root->SetPos(RECT{100, 100, 300, 300});
    floating->SetFixedXY(SIZE{-20, 10});
    floating->SetPos(RECT{150, 120, 260, 180});
    EXPECT_EQ(floating->GetFixedXY().cx, 260 - 300);  // negative: from the right edge
    EXPECT_EQ(floating->GetFixedXY().cy, 120 - 100);
    EXPECT_EQ(floating->GetFixedWidth(), 110);
    EXPECT_EQ(floating->GetFixedHeight(), 60);
    EXPECT_FALSE(floating->IsUpdateNeeded());
}

TEST(ControlLayout, UnchangedOrNegativeMinMaxRequestNoLayout)
{
    Tree tree;
    auto* child = new ProbeControl(L"c");
    tree.root->Add(child);
    ASSERT_TRUE(tree.Open());
    ASSERT_FALSE(tree.Host()->IsUpdateNeeded());

    child->SetMinWidth(-5);
    child->SetMaxWidth(child->GetMaxWidth());
    child->SetMinHeight(0);
    child->SetFixedWidth(-1);
    EXPECT_FALSE(tree.Host()->IsUpdateNeeded());
    EXPECT_FALSE(tree.root->IsUpdateNeeded());

    child->SetMaxWidth(50);
    EXPECT_TRUE(tree.Host()->IsUpdateNeeded());
    EXPECT_TRUE(tree.root->IsUpdateNeeded());  // the parent lays it out
    ASSERT_TRUE(tree.win.Layout());
    EXPECT_FALSE(tree.Host()->IsUpdateNeeded());

    // A floating control lays itself out.
    child->SetFloat(true);
    ASSERT_TRUE(tree.win.Layout());
    child->SetFixedWidth(30);
    EXPECT_TRUE(child->IsUpdateNeeded());
    EXPECT_FALSE(tree.root->IsUpdateNeeded());

    // Hidden controls ask for nothing.
    ASSERT_TRUE(tree.win.Layout());
    tree.root->SetVisible(false);
    tree.win.Layout();
    child->RequestLayout();
    EXPECT_FALSE(child->IsUpdateNeeded());
}

TEST(ControlLayout, HidingTheFocusedControlClearsTheHostFocus)
{
    Tree tree;
    auto* a = new ProbeControl(L"a");
    auto* b = new ProbeControl(L"b");
    tree.root->Add(a);
    tree.root->Add(b);
    ASSERT_TRUE(tree.Open());
    a->SetFocus();
    ASSERT_EQ(tree.Host()->GetFocus(), a);
    EXPECT_TRUE(a->IsFocused());
    a->SetVisible(false);
    EXPECT_EQ(tree.Host()->GetFocus(), nullptr);
    EXPECT_FALSE(a->IsFocused());

    b->SetFocus();
    tree.root->SetVisible(false);  // inherited: the child is no longer visible either
    EXPECT_FALSE(b->IsVisible());
    EXPECT_EQ(tree.Host()->GetFocus(), nullptr);
    // A hidden or disabled control does not take the focus.
    b->SetFocus();
    EXPECT_EQ(tree.Host()->GetFocus(), nullptr);
    tree.root->SetVisible(true);
    b->SetEnabled(false);
    b->SetFocus();
    EXPECT_EQ(tree.Host()->GetFocus(), nullptr);
}

// ---- delegates and events ---------------------------------------------------------------------------

TEST(ControlDelegates, ListFiresInOrderAndStopsAtFalse)
{
    std::vector<int> order;
    CUIDelegateList list;
    EXPECT_FALSE(static_cast<bool>(list));
    EXPECT_TRUE(list.Fire(nullptr));
    list += MakeDelegate([&](void*) { order.push_back(1); return true; });
    list += MakeDelegate([&](void*) { order.push_back(2); return false; });
    list += MakeDelegate([&](void*) { order.push_back(3); return true; });
    EXPECT_TRUE(static_cast<bool>(list));
    EXPECT_FALSE(list.Fire(nullptr));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));

    // A delegate that destroys the list's owner stops the firing and reports false.
    auto* owner = new CControlUI;
    int after = 0;
    owner->EventDelegates += MakeDelegate([&](void*) { delete owner; return true; });
    owner->EventDelegates += MakeDelegate([&](void*) { ++after; return true; });
    ControlEvent event;
    event.type = kEventButtonDown;
    owner->Event(event);  // HandleEvent must not run on the deleted control
    EXPECT_EQ(after, 0);
}

TEST(ControlDelegates, InitDestroyAndEventDelegates)
{
    Tree tree;
    ASSERT_TRUE(tree.Open());
    int inits = 0, destroys = 0;
    auto* c = new ProbeControl(L"c");
    c->InitDelegates += MakeDelegate([&](void* p) { inits += p == c; return true; });
    c->DestroyDelegates += MakeDelegate([&](void* p) { destroys += p == c; return true; });
    tree.root->Add(c);  // attached with init
    EXPECT_EQ(inits, 1);

    // An event delegate returning false keeps the event from the control's own handling.
    bool block = true;
    c->EventDelegates += MakeDelegate([&](void* p) {
        return !(block && static_cast<ControlEvent*>(p)->type == kEventSetFocus);
    });
    c->SetFocus();
    EXPECT_FALSE(c->IsFocused());  // the set-focus event never reached HandleEvent
    EXPECT_EQ(tree.Host()->GetFocus(), c);
    tree.Host()->SetFocus(nullptr);
    block = false;
    c->SetFocus();
    EXPECT_TRUE(c->IsFocused());

    tree.root->Remove(c);
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(tree.Host()->GetFocus(), nullptr);
}

TEST(ControlEvents, UnhandledEventsGoToTheParentsHandlerOnly)
{
    Tree tree;
    auto* parent = new RecordingBox(L"p");
    auto* child = new ProbeControl(L"c");
    tree.root->Add(parent);
    parent->Add(child);
    ASSERT_TRUE(tree.Open());
    int parentDelegates = 0;
    parent->EventDelegates += MakeDelegate([&](void*) { ++parentDelegates; return true; });

    ControlEvent event;
    event.type = kEventButtonDown;
    child->Event(event);
    EXPECT_EQ(parent->handled, (std::vector<int>{kEventButtonDown}));
    EXPECT_EQ(parentDelegates, 0);

    // Focus and cursor events stay with the control.
    parent->handled.clear();
    event.type = kEventSetCursor;
    child->Event(event);
    event.type = kEventKillFocus;
    child->Event(event);
    EXPECT_TRUE(parent->handled.empty());

    // The context menu goes up too unless the control sends "menu".
    event.type = kEventContextMenu;
    child->Event(event);
    EXPECT_EQ(parent->handled.size(), 1u);
    kit::NotifyRecorder rec;
    tree.Host()->AddNotifyListener(&rec);
    child->SetMenuNotifyEnabled(true);
    event.wParam = 3;
    event.lParam = 4;
    child->Event(event);
    EXPECT_EQ(parent->handled.size(), 1u);
    ASSERT_EQ(rec.Count(L"menu"), 1);
    EXPECT_EQ(rec.OfType(L"menu")[0].sender, L"c");
    EXPECT_EQ(rec.OfType(L"menu")[0].wParam, 3u);

    // A timer event becomes the "timer" notification with the control's id.
    event.type = kEventTimer;
    event.wParam = 9;
    child->Event(event);
    ASSERT_EQ(rec.Count(L"timer"), 1);
    EXPECT_EQ(rec.OfType(L"timer")[0].wParam, 9u);
    tree.Host()->RemoveNotifyListener(&rec);
}

namespace {
CControlUI* CALLBACK ReturnSelf(CControlUI* control, void*)
{
    return control;
}
} // namespace

TEST(ControlFind, FlagsOfASimpleControl)
{
    CControlUI c;
    c.SetPos(RECT{10, 10, 50, 30});
    const FindControlProc proc = ReturnSelf;
    POINT inside{20, 20}, outside{5, 5};
    EXPECT_EQ(c.FindControl(proc, nullptr, 0), &c);
    EXPECT_EQ(c.FindControl(proc, &inside, kFindHitTest), &c);
    EXPECT_EQ(c.FindControl(proc, &outside, kFindHitTest), nullptr);
    c.SetMouseEnabled(false);
    EXPECT_EQ(c.FindControl(proc, &inside, kFindHitTest), nullptr);
    c.SetEnabled(false);
    EXPECT_EQ(c.FindControl(proc, nullptr, kFindEnabled), nullptr);
    EXPECT_EQ(c.FindControl(proc, nullptr, kFindVisible), &c);
    c.SetVisible(false);
    EXPECT_EQ(c.FindControl(proc, nullptr, kFindVisible), nullptr);
    EXPECT_EQ(c.FindControl(proc, nullptr, 0), &c);
    EXPECT_FALSE(c.Activate());
}

// ---- painting -------------------------------------------------------------------------------------

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
}

TEST(ControlPaint, OpaqueFillsTheDirtyPartTranslucentTheWholeControl)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 40, 20});
    DibCanvas canvas(40, 20, kWhite);
    c.SetBkColor(0xFFFF0000);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 20});
    EXPECT_EQ(canvas.Pixel(5, 10), 0xFF0000u);
    EXPECT_EQ(canvas.Pixel(30, 10), kWhite);

    canvas.Fill(kWhite);
    c.SetBkColor(0x80FF0000);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 20});
    EXPECT_NE(canvas.Pixel(30, 10), kWhite);  // blended beyond the dirty part
    EXPECT_LE(kit::ColorDistance(canvas.Pixel(30, 10), 0xFF7F7F), 3);

    // Nothing outside the dirty rectangle's meeting with the control.
    canvas.Fill(kWhite);
    c.SetBkColor(0xFF00FF00);
    c.Paint(canvas.DC(), RECT{100, 100, 120, 120});
    EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
}

TEST(ControlPaint, GradientsForTwoAndThreeColours)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 10, 64});
    DibCanvas canvas(10, 64, kWhite);
    c.SetBkColor(0xFF000000);
    c.SetBkColor2(0xFFFFFFFF);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 64});
    EXPECT_LT(canvas.Pixel(5, 1) & 0xFF, 0x20u);
    EXPECT_GT(canvas.Pixel(5, 62) & 0xFF, 0xE0u);
    EXPECT_LT(canvas.Pixel(5, 20) & 0xFF, canvas.Pixel(5, 40) & 0xFF);

    // Three colours: black -> white in the upper half, white -> black in the lower.
    c.SetBkColor3(0xFF000000);
    canvas.Fill(0x00FF00);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 64});
    EXPECT_LT(canvas.Pixel(5, 1) & 0xFF, 0x30u);
    EXPECT_GT(canvas.Pixel(5, 31) & 0xFF, 0xD0u);
    EXPECT_GT(canvas.Pixel(5, 33) & 0xFF, 0xD0u);
    EXPECT_LT(canvas.Pixel(5, 62) & 0xFF, 0x30u);
}

TEST(ControlPaint, BorderFocusBorderAndRoundBorder)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 30, 20});
    DibCanvas canvas(30, 20, kWhite);
    // Colour 0: no square border.
    c.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(0, 10), kWhite);

    c.SetBorderColor(0xFF0000FF);
    c.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(0, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(29, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(15, 10), kWhite);

    c.SetBorderSize(3);
    canvas.Fill(kWhite);
    c.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(2, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(3, 10), kWhite);

    // Focused with a focus border colour: that colour.
    c.SetFocusBorderColor(0xFF00FF00);
    ControlEvent focus;
    focus.type = kEventSetFocus;
    c.Event(focus);
    ASSERT_TRUE(c.IsFocused());
    c.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(1, 10), 0x00FF00u);

    c.SetBorderSize(0);
    canvas.Fill(kWhite);
    c.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(0, 10), kWhite);

    // Round corners: drawn even with colour 0 (black), and the fill is clipped at the corner.
    CControlUI r;
    r.SetPos(RECT{0, 0, 30, 20});
    r.SetBorderRound(SIZE{12, 12});
    r.SetBkColor(0xFFFF0000);
    canvas.Fill(kWhite);
    r.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    EXPECT_EQ(canvas.Pixel(0, 0), kWhite);     // outside the rounded corner
    EXPECT_EQ(canvas.Pixel(15, 0), 0x000000u);  // the outline, colour 0
    EXPECT_EQ(canvas.Pixel(15, 10), 0xFF0000u);
    // The clip is restored afterwards.
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetClipRgn(canvas.DC(), rgn), 0);
    ::DeleteObject(rgn);
}

TEST(ControlPaint, UndrawableBackgroundImageIsForgotten)
{
    CControlUI c;  // no host: the image text cannot be drawn
    c.SetPos(RECT{0, 0, 10, 10});
    c.SetBkImage(L"missing.png");
    DibCanvas canvas(10, 10, kWhite);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 10});
    EXPECT_STREQ(c.GetBkImage(), L"");
}
