// The control base: attribute parsing, the attribute-list grammar, layout requests, SetPos,
// delegates, event routing, the find walk and the paint steps (read back as pixels).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "HostFixture.h"
#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/Text.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

using namespace SkinUI;
using host_fixture::Fixture;
using host_fixture::HostTest;
using kit::Box;
using kit::DibCanvas;
using kit::ProbeControl;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

std::string S(long v) { return std::to_string(v); }
std::string Hex(DWORD v)
{
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%08lX", static_cast<unsigned long>(v));
    return buf;
}
std::string Narrow(const CUIString& s) { return std::string(s.GetData(), s.GetData() + s.GetLength()); }

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

ControlEvent EventOf(int type)
{
    ControlEvent event;
    event.type = type;
    return event;
}

} // namespace

// ---- attributes ---------------------------------------------------------------------------------

TEST(ControlAttributes, EachNameSetsItsPropertyStepByStep)
{
    using Read = std::function<std::string(CControlUI&)>;
    const Read pos = [](CControlUI& c) {
        return kit::Text(c.GetFixedXY()) + " " + S(c.GetFixedWidth()) + "x" + S(c.GetFixedHeight());
    };
    const Read relative = [](CControlUI& c) {
        const RelativePosUI r = c.GetRelativePos();
        return S(r.relative) + ":" + S(r.moveX) + "," + S(r.moveY) + "," + S(r.zoomX) + "," + S(r.zoomY);
    };
    const Read limits = [](CControlUI& c) {
        return S(c.GetMinWidth()) + "," + S(c.GetMinHeight()) + "," + S(c.GetMaxWidth()) + "," + S(c.GetMaxHeight());
    };
    const Read bk = [](CControlUI& c) { return Hex(c.GetBkColor()) + Hex(c.GetBkColor2()) + Hex(c.GetBkColor3()); };
    const Read border = [](CControlUI& c) {
        return Hex(c.GetBorderColor()) + Hex(c.GetFocusBorderColor()) + " " + S(c.GetBorderSize()) + " " +
               kit::Text(c.GetBorderRound());
    };
    const Read texts = [](CControlUI& c) {
        return Narrow(c.GetName()) + "|" + Narrow(c.GetText()) + "|" + Narrow(c.GetToolTip()) + "|" +
               Narrow(c.GetUserData()) + "|" + S(c.GetShortcut());
    };
    const Read flags = [](CControlUI& c) {
        return S(c.IsEnabled()) + S(c.IsMouseEnabled()) + S(c.IsKeyboardEnabled()) + S(c.IsFloat()) +
               S(c.IsMenuNotifyEnabled()) + S(c.IsVisible()) + S(c.IsColorHsl());
    };
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        const Read& read;
        const char* want;
    } steps[] = {
        {L"pos", L"10,20,110,60", pos, "10,20 100x40"},
        {L"pos", L"-110,-60,-10,-20", pos, "-10,-20 100x40"},  // anchored to the right / bottom edge
        {L"pos", L"5,6", pos, "5,6 100x40"},                   // missing numbers 0; negative size ignored
        {L"width", L"77", pos, "5,6 77x40"},
        {L"height", L"33px", pos, "5,6 77x33"},
        {L"width", L"-4", pos, "5,6 77x33"},
        {L"relativepos", L"10,20,30,40", relative, "1:10,20,30,40"},
        {L"padding", L"1,2,3,4", [](CControlUI& c) { return kit::Text(c.GetPadding()); }, "1,2,3,4"},
        {L"minwidth", L"5", limits, "5,0,9999,9999"},
        {L"minheight", L"6", limits, "5,6,9999,9999"},
        {L"maxwidth", L"500", limits, "5,6,500,9999"},
        {L"maxheight", L"600", limits, "5,6,500,600"},
        // Background colours skip leading blanks and an optional '#'; "bkcolor1" is "bkcolor".
        {L"bkcolor", L" #FF102030", bk, "FF1020300000000000000000"},
        {L"bkcolor1", L"FF405060", bk, "FF4050600000000000000000"},
        {L"bkcolor2", L"\t#80000000", bk, "FF4050608000000000000000"},
        {L"bkcolor3", L"#FFFFFFFF", bk, "FF40506080000000FFFFFFFF"},
        {L"bkcolor", L"zz", bk, "0000000080000000FFFFFFFF"},
        // Border colours skip no blanks.
        {L"bordercolor", L" #FF102030", border, "0000000000000000 1 0,0"},
        {L"bordercolor", L"#FF102030", border, "FF10203000000000 1 0,0"},
        {L"focusbordercolor", L"FF0000FF", border, "FF102030FF0000FF 1 0,0"},
        {L"bordersize", L"3", border, "FF102030FF0000FF 3 0,0"},
        {L"borderround", L"4,5", border, "FF102030FF0000FF 3 4,5"},
        {L"borderround", L"7", border, "FF102030FF0000FF 3 7,0"},
        {L"name", L"ok", texts, "ok||||0"},
        {L"text", L"Hello", texts, "ok|Hello|||0"},
        {L"tooltip", L"tip", texts, "ok|Hello|tip||0"},
        {L"userdata", L"ud", texts, "ok|Hello|tip|ud|0"},
        {L"shortcut", L"x", texts, "ok|Hello|tip|ud|120"},
        {L"shortcut", L"", texts, "ok|Hello|tip|ud|0"},
        // Names compare exactly; unknown ones change nothing.
        {L"Text", L"other", texts, "ok|Hello|tip|ud|0"},
        {L"text ", L"other", texts, "ok|Hello|tip|ud|0"},
        // Only the exact text "true" is true.
        {L"enabled", L"True", flags, "0110010"},
        {L"enabled", L"true", flags, "1110010"},
        {L"mouse", L"false", flags, "1010010"},
        {L"keyboard", L"0", flags, "1000010"},
        {L"float", L"true", flags, "1001010"},
        {L"menu", L"true", flags, "1001110"},
        {L"visible", L"yes", flags, "1001100"},
        {L"colorhsl", L"true", flags, "1001101"},
        {L"colorhsl", L"TRUE", flags, "1001100"},
    };
    CControlUI c;
    for (const auto& step : steps) {
        c.SetAttribute(step.name, step.value);
        EXPECT_EQ(step.read(c), step.want) << "after " << Narrow(CUIString(step.name)) << "="
                                           << Narrow(CUIString(step.value));
    }
    EXPECT_EQ(c.GetDesiredSize(SIZE{1000, 1000}).cx, 77);
    c.SetAttribute(nullptr, L"x");
    EXPECT_EQ(Narrow(c.GetText()), "Hello");
    c.SetAttribute(L"text", nullptr);  // a missing value counts as empty
    c.SetAttribute(L"bkimage", L"file='a.png' corner='1,1,1,1'");
    EXPECT_EQ(Narrow(c.GetText()) + Narrow(c.GetBkImage()), "file='a.png' corner='1,1,1,1'");
    // With the process defaults (180, 100, 100) a colour passes the HSL adjustment unchanged.
    EXPECT_EQ(c.ApplyColorHsl(0x80123456u), 0x80123456u);
    EXPECT_TRUE(c.GetInterface(L"Control") == &c && c.GetInterface(L"control") == nullptr);
}

namespace {
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// Records every attribute it is given before its base applies it.
class AttributeRecorder : public CControlUI {
public:
    void SetAttribute(const wchar_t* name, const wchar_t* value) override
    {
        seen.emplace_back(name, value);
        CControlUI::SetAttribute(name, value);
    }
    Pairs seen;
};

// The pairs an attribute list holds, read the plain way: name, =, "value", one blank, ... up to
// the first deviation (and the text ends at its first zero unit).
Pairs ExpectedPairs(const std::wstring& whole)
{
    const std::wstring t = whole.c_str();
    Pairs pairs;
    size_t p = 0;
    while (p < t.size()) {
        const size_t eq = t.find(L'=', p);
        if (eq == std::wstring::npos || eq + 1 >= t.size() || t[eq + 1] != L'"')
            break;
        const size_t close = t.find(L'"', eq + 2);
        if (close == std::wstring::npos)
            break;
        pairs.emplace_back(t.substr(p, eq - p), t.substr(eq + 2, close - eq - 2));
        p = close + 1;
        if (p >= t.size() || t[p] != L' ' || (p + 1 < t.size() && t[p + 1] == L' '))
            break;
        ++p;
    }
    return pairs;
}
} // namespace

// The attribute-list grammar: name="value" pairs one blank apart. Every random list applies
// exactly the pairs before its first deviation, in order, on a control in a window and on a
// loose one.
TEST(ControlAttributes, RandomAttributeListsApplyExactlyTheirWellFormedPairs)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {
        L"name=\"a\" pos=\"10,20,110,60\" bkcolor=\"#FF102030\" bordersize=\"2\"",
        L"padding=\"1,2,3,4\" borderround=\"4,4\" visible=\"true\" shortcut=\"k\"",
        L"relativepos=\"-1,-2\" minwidth=\"3\" maxheight=\"-9\" text=\"x\" float=\"true\"",
    };
    Fixture f;
    ASSERT_TRUE(f.Open());
    auto* attached = new AttributeRecorder;
    f.root->Add(attached);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = fuzz.Mutate(samples[i % 3], 8);
        const Pairs expected = ExpectedPairs(text);
        attached->seen.clear();
        attached->ApplyAttributeText(text.c_str());
        ASSERT_EQ(attached->seen, expected) << "list " << i;
        AttributeRecorder loose;
        loose.ApplyAttributeText(text.c_str());
        ASSERT_EQ(loose.seen, expected) << "list " << i;
    }
    EXPECT_TRUE(f.win.Layout());
    AttributeRecorder none;
    none.ApplyAttributeText(nullptr);
    EXPECT_TRUE(none.seen.empty());
}

// ---- layout requests and SetPos --------------------------------------------------------------------

TEST(ControlLayout, SetPosRulesDelegatesAndFloatWriteBack)
{
    Fixture f;
    auto* child = new ProbeControl(L"c");
    f.root->Add(child);
    ASSERT_TRUE(f.Open(true, 300, 300));

    int sizeCalls = 0;
    child->SizeDelegates += MakeDelegate([&](void* p) {
        ++sizeCalls;
        EXPECT_EQ(p, child);
        child->SetPos(RECT{1, 1, 2, 2});  // nested: does not fire again
        return true;
    });
    child->SetPos(RECT{50, 60, 40, 30});
    EXPECT_EQ(sizeCalls, 1);
    EXPECT_EQ(child->GetPos().left, 1);  // the nested call wins, it ran last

    CControlUI loose;  // without a host nothing more than storing happens
    loose.SetPos(RECT{50, 60, 40, 30});
    EXPECT_EQ(kit::Text(loose.GetPos()), "50,60,50,60");  // right / bottom raised to left / top
    EXPECT_TRUE(loose.IsUpdateNeeded());

    // A floating child keeps its fixed position in step with where it was put.
    auto* floating = new ProbeControl(L"f");
    f.root->Add(floating);
    floating->SetFloat(true);
    f.root->SetPos(RECT{100, 100, 300, 300});
    floating->SetFixedXY(SIZE{-20, 10});
    floating->SetPos(RECT{150, 120, 260, 180});
    EXPECT_EQ(kit::Text(floating->GetFixedXY()), "-40,20");  // negative: from the right edge
    EXPECT_EQ(floating->GetFixedWidth(), 110);
    EXPECT_EQ(floating->GetFixedHeight(), 60);
    EXPECT_FALSE(floating->IsUpdateNeeded());
}

TEST_F(HostTest, UnchangedOrNegativeMinMaxRequestNoLayoutAndHiddenControlsLoseTheFocus)
{
    ASSERT_FALSE(Host()->IsUpdateNeeded());
    a->SetMinWidth(-5);
    a->SetMaxWidth(a->GetMaxWidth());
    a->SetMinHeight(0);
    a->SetFixedWidth(-1);
    EXPECT_FALSE(Host()->IsUpdateNeeded() || root->IsUpdateNeeded());
    a->SetMaxWidth(50);
    EXPECT_TRUE(Host()->IsUpdateNeeded() && root->IsUpdateNeeded());  // the parent lays it out
    ASSERT_TRUE(win.Layout());
    EXPECT_FALSE(Host()->IsUpdateNeeded());
    // A floating control lays itself out.
    a->SetFloat(true);
    ASSERT_TRUE(win.Layout());
    a->SetFixedWidth(30);
    EXPECT_TRUE(a->IsUpdateNeeded());
    EXPECT_FALSE(root->IsUpdateNeeded());
    ASSERT_TRUE(win.Layout());

    // Hiding the focused control clears the host's focus, also when a parent hides; a hidden or
    // disabled control does not take the focus, and hidden controls ask for no layout.
    a->SetFocus();
    ASSERT_TRUE(Host()->GetFocus() == a && a->IsFocused());
    a->SetVisible(false);
    EXPECT_TRUE(Host()->GetFocus() == nullptr && !a->IsFocused());
    b->SetFocus();
    root->SetVisible(false);
    EXPECT_TRUE(Host()->GetFocus() == nullptr && !b->IsVisible());
    b->SetFocus();
    EXPECT_EQ(Host()->GetFocus(), nullptr);
    a->SetVisible(true);  // still hidden by its parent
    win.Layout();
    a->RequestLayout();
    EXPECT_FALSE(a->IsUpdateNeeded());
    root->SetVisible(true);
    b->SetEnabled(false);
    b->SetFocus();
    EXPECT_EQ(Host()->GetFocus(), nullptr);
}

// ---- delegates and events ---------------------------------------------------------------------------

TEST(ControlDelegates, ListFiresInOrderAndStopsAtFalse)
{
    std::vector<int> order;
    CUIDelegateList list;
    EXPECT_FALSE(static_cast<bool>(list));
    EXPECT_TRUE(list.Fire(nullptr));
    for (int i = 1; i <= 3; ++i)
        list += MakeDelegate([&order, i](void*) { order.push_back(i); return i != 2; });
    EXPECT_TRUE(static_cast<bool>(list));
    EXPECT_FALSE(list.Fire(nullptr));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));

    // A delegate that destroys the list's owner stops the firing and reports false.
    auto* owner = new CControlUI;
    int after = 0;
    owner->EventDelegates += MakeDelegate([&](void*) { delete owner; return true; });
    owner->EventDelegates += MakeDelegate([&](void*) { ++after; return true; });
    ControlEvent event = EventOf(kEventButtonDown);
    owner->Event(event);  // HandleEvent must not run on the deleted control
    EXPECT_EQ(after, 0);
}

TEST_F(HostTest, InitDestroyAndEventDelegates)
{
    Fixture& f = *this;
    int inits = 0, destroys = 0;
    auto* c = new ProbeControl(L"c");
    c->InitDelegates += MakeDelegate([&](void* p) { inits += p == c; return true; });
    c->DestroyDelegates += MakeDelegate([&](void* p) { destroys += p == c; return true; });
    f.root->Add(c);  // attached with init
    EXPECT_EQ(inits, 1);

    // An event delegate returning false keeps the event from the control's own handling.
    bool block = true;
    c->EventDelegates += MakeDelegate([&](void* p) {
        return !(block && static_cast<ControlEvent*>(p)->type == kEventSetFocus);
    });
    c->SetFocus();
    EXPECT_FALSE(c->IsFocused());  // the set-focus event never reached HandleEvent
    EXPECT_EQ(f.Host()->GetFocus(), c);
    f.Host()->SetFocus(nullptr);
    block = false;
    c->SetFocus();
    EXPECT_TRUE(c->IsFocused());

    f.root->Remove(c);
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
}

TEST(ControlEvents, UnhandledEventsGoToTheParentsHandlerOnly)
{
    Fixture f;
    auto* parent = new RecordingBox(L"p");
    auto* child = new ProbeControl(L"c");
    f.root->Add(parent);
    parent->Add(child);
    ASSERT_TRUE(f.Open());
    int parentDelegates = 0;
    parent->EventDelegates += MakeDelegate([&](void*) { ++parentDelegates; return true; });

    // Focus and cursor events stay with the control; the others go up.
    for (int type : {kEventButtonDown, kEventSetCursor, kEventKillFocus}) {
        ControlEvent event = EventOf(type);
        child->Event(event);
    }
    EXPECT_EQ(parent->handled, (std::vector<int>{kEventButtonDown}));
    EXPECT_EQ(parentDelegates, 0);

    // The context menu goes up too unless the control sends "menu".
    ControlEvent menu = EventOf(kEventContextMenu);
    child->Event(menu);
    EXPECT_EQ(parent->handled.size(), 2u);
    child->SetMenuNotifyEnabled(true);
    menu.wParam = 3;
    menu.lParam = 4;
    child->Event(menu);
    EXPECT_EQ(parent->handled.size(), 2u);
    ASSERT_EQ(f.rec.Count(L"menu"), 1);
    EXPECT_EQ(f.rec.OfType(L"menu")[0].sender, L"c");
    EXPECT_EQ(f.rec.OfType(L"menu")[0].wParam, 3u);

    // A timer event becomes the "timer" notification with the control's id.
    ControlEvent timer = EventOf(kEventTimer);
    timer.wParam = 9;
    child->Event(timer);
    ASSERT_EQ(f.rec.Count(L"timer"), 1);
    EXPECT_EQ(f.rec.OfType(L"timer")[0].wParam, 9u);
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
    POINT inside{20, 20}, outside{5, 5};
    const auto find = [&](POINT* pt, UINT flags) { return c.FindControl(ReturnSelf, pt, flags); };
    using Found = std::vector<CControlUI*>;
    EXPECT_EQ(Found({find(nullptr, 0), find(&inside, kFindHitTest), find(&outside, kFindHitTest)}), Found({&c, &c, nullptr}));
    c.SetMouseEnabled(false);
    EXPECT_EQ(find(&inside, kFindHitTest), nullptr);
    c.SetEnabled(false);
    EXPECT_EQ(Found({find(nullptr, kFindEnabled), find(nullptr, kFindVisible)}), Found({nullptr, &c}));
    c.SetVisible(false);
    EXPECT_EQ(Found({find(nullptr, kFindVisible), find(nullptr, 0)}), Found({nullptr, &c}));
    EXPECT_FALSE(c.Activate());
}

// ---- painting -------------------------------------------------------------------------------------

// An opaque background fills the dirty part, a translucent one the whole control, nothing
// outside the dirty rectangle's meeting with the control; gradients of two and three colours.
TEST(ControlPaint, BackgroundsAndGradients)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 40, 20});
    DibCanvas canvas(40, 20, kWhite);
    c.SetBkColor(0xFFFF0000);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 20});
    EXPECT_TRUE(kit::CanvasIs(canvas, [](int x, int) { return x < 10 ? 0xFF0000u : kWhite; }));
    canvas.Fill(kWhite);
    c.SetBkColor(0x80FF0000);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 20});
    EXPECT_LE(kit::ColorDistance(canvas.Pixel(30, 10), 0xFF7F7F), 3);  // blended beyond the dirty part
    canvas.Fill(kWhite);
    c.SetBkColor(0xFF00FF00);
    c.Paint(canvas.DC(), RECT{100, 100, 120, 120});
    EXPECT_TRUE(kit::CanvasIs(canvas, [](int, int) { return kWhite; }));

    // Black to white from the top; with a third colour back to black in the lower half.
    CControlUI g;
    g.SetPos(RECT{0, 0, 10, 64});
    DibCanvas tall(10, 64, kWhite);
    const auto blue = [&](int y) { return tall.Pixel(5, y) & 0xFF; };
    g.SetBkColor(0xFF000000);
    g.SetBkColor2(0xFFFFFFFF);
    g.Paint(tall.DC(), RECT{0, 0, 10, 64});
    EXPECT_TRUE(blue(1) < 0x20u && blue(62) > 0xE0u && blue(20) < blue(40)) << blue(1) << " " << blue(62);
    g.SetBkColor3(0xFF000000);
    tall.Fill(0x00FF00);
    g.Paint(tall.DC(), RECT{0, 0, 10, 64});
    EXPECT_TRUE(blue(1) < 0x30u && blue(31) > 0xD0u && blue(33) > 0xD0u && blue(62) < 0x30u) << blue(1) << " " << blue(31);
}

TEST(ControlPaint, BorderFocusBorderAndRoundBorder)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 30, 20});
    DibCanvas canvas(30, 20, kWhite);
    // The pixels across the middle row at x 0, 1, 2, 3, 15 and 29.
    const auto paint = [&](CControlUI& control) {
        canvas.Fill(kWhite);
        control.Paint(canvas.DC(), RECT{0, 0, 30, 20});
        return canvas.Pixels({{0, 10}, {1, 10}, {2, 10}, {3, 10}, {15, 10}, {29, 10}});
    };
    using Row = std::vector<uint32_t>;
    const uint32_t w = kWhite, blue = 0x0000FF, green = 0x00FF00;
    EXPECT_EQ(paint(c), Row({w, w, w, w, w, w}));  // colour 0: no square border
    c.SetBorderColor(0xFF0000FF);
    EXPECT_EQ(paint(c), Row({blue, w, w, w, w, blue}));
    c.SetBorderSize(3);
    EXPECT_EQ(paint(c), Row({blue, blue, blue, w, w, blue}));
    // Focused with a focus border colour: that colour.
    c.SetFocusBorderColor(0xFF00FF00);
    ControlEvent focus = EventOf(kEventSetFocus);
    c.Event(focus);
    ASSERT_TRUE(c.IsFocused());
    EXPECT_EQ(paint(c), Row({green, green, green, w, w, green}));
    c.SetBorderSize(0);
    EXPECT_EQ(paint(c), Row({w, w, w, w, w, w}));

    // Round corners: drawn even with colour 0 (black), and the fill is clipped at the corner.
    CControlUI r;
    r.SetPos(RECT{0, 0, 30, 20});
    r.SetBorderRound(SIZE{12, 12});
    r.SetBkColor(0xFFFF0000);
    paint(r);
    EXPECT_EQ(canvas.Pixels({{0, 0}, {15, 0}, {15, 10}}), Row({w, 0x000000, 0xFF0000}));
    // The clip is restored afterwards.
    CGdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetClipRgn(canvas.DC(), rgn.Get()), 0);
}

// Sizes and corners from a hostile skin: the paint ends at once, clipped to the control's round
// rectangle within GDI's range. A background image that cannot be drawn is forgotten.
TEST(ControlPaint, HugeRoundCornersPaintAtOnceAndUndrawableImagesAreForgotten)
{
    CControlUI c;
    c.ApplyAttributeText(L"width=\"10000000\" height=\"10000000\" borderround=\"10000000,10000000\" "
                         L"bkcolor=\"#FFFF0000\" bordercolor=\"#FF0000FF\"");
    for (const RECT& rc : {RECT{-5000, -5000, 10000000, 10000000}, RECT{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}}) {
        c.SetPos(rc);
        DibCanvas canvas(40, 20, kWhite);
        c.Paint(canvas.DC(), RECT{0, 0, 40, 20});
        EXPECT_EQ(canvas.Pixel(20, 10), 0xFF0000u) << rc.left;  // inside, away from every corner
    }
    CControlUI loose;  // no host: the image text cannot be drawn
    loose.SetPos(RECT{0, 0, 10, 10});
    loose.SetBkImage(L"missing.png");
    DibCanvas canvas(10, 10, kWhite);
    loose.Paint(canvas.DC(), RECT{0, 0, 10, 10});
    EXPECT_STREQ(loose.GetBkImage(), L"");
}
