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
    EXPECT_EQ(Narrow(c.GetText()), "");
    c.SetAttribute(L"bkimage", L"file='a.png' corner='1,1,1,1'");
    EXPECT_STREQ(c.GetBkImage(), L"file='a.png' corner='1,1,1,1'");
    // With the process defaults (180, 100, 100) a colour passes the HSL adjustment unchanged.
    EXPECT_EQ(c.ApplyColorHsl(0x80123456u), 0x80123456u);
    EXPECT_STREQ(c.GetClass(), L"ControlUI");
    EXPECT_EQ(c.GetInterface(L"Control"), &c);
    EXPECT_EQ(c.GetInterface(L"control"), nullptr);
}

TEST(ControlAttributes, AttributeListGrammar)
{
    // name | text | fixed width after applying the list to a fresh control.
    const struct {
        const wchar_t* list;
        const char* want;
    } cases[] = {
        {L"name=\"n\" text=\"t t\" width=\"5\"", "n|t t|5"},
        {L"name=\"n\"  text=\"t\"", "n||0"},  // two blanks between pairs: only the first pair
        // Deviations stop silently after the pairs before them.
        {L"name=\"n\" text=t\" width=\"5\"", "n||0"},
        {L"name=\"n\" text=\"unterminated", "n||0"},
        {L"name\"n\"", "||0"},
        {L"name=\"n\",text=\"t\"", "n||0"},
        {L"", "||0"},
        {nullptr, "||0"},
        {L"text=\"\" ", "||0"},
    };
    for (const auto& c : cases) {
        CControlUI control;
        control.ApplyAttributeText(c.list);
        EXPECT_EQ(Narrow(control.GetName()) + "|" + Narrow(control.GetText()) + "|" + S(control.GetFixedWidth()),
                  c.want)
            << (c.list ? Narrow(CUIString(c.list)) : "null");
    }
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

// Every random list applies exactly the pairs before its first deviation, in order, on a
// control in a window and on a loose one.
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

TEST(ControlLayout, UnchangedOrNegativeMinMaxRequestNoLayout)
{
    Fixture f;
    ProbeControl* child = f.a;
    ASSERT_TRUE(f.Open());
    ASSERT_FALSE(f.Host()->IsUpdateNeeded());

    child->SetMinWidth(-5);
    child->SetMaxWidth(child->GetMaxWidth());
    child->SetMinHeight(0);
    child->SetFixedWidth(-1);
    EXPECT_FALSE(f.Host()->IsUpdateNeeded());
    EXPECT_FALSE(f.root->IsUpdateNeeded());

    child->SetMaxWidth(50);
    EXPECT_TRUE(f.Host()->IsUpdateNeeded());
    EXPECT_TRUE(f.root->IsUpdateNeeded());  // the parent lays it out
    ASSERT_TRUE(f.win.Layout());
    EXPECT_FALSE(f.Host()->IsUpdateNeeded());

    // A floating control lays itself out.
    child->SetFloat(true);
    ASSERT_TRUE(f.win.Layout());
    child->SetFixedWidth(30);
    EXPECT_TRUE(child->IsUpdateNeeded());
    EXPECT_FALSE(f.root->IsUpdateNeeded());

    // Hidden controls ask for nothing.
    ASSERT_TRUE(f.win.Layout());
    f.root->SetVisible(false);
    f.win.Layout();
    child->RequestLayout();
    EXPECT_FALSE(child->IsUpdateNeeded());
}

TEST(ControlLayout, HidingTheFocusedControlClearsTheHostFocus)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
    f.a->SetFocus();
    ASSERT_EQ(f.Host()->GetFocus(), f.a);
    EXPECT_TRUE(f.a->IsFocused());
    f.a->SetVisible(false);
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
    EXPECT_FALSE(f.a->IsFocused());

    f.b->SetFocus();
    f.root->SetVisible(false);  // inherited: the child is no longer visible either
    EXPECT_FALSE(f.b->IsVisible());
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
    // A hidden or disabled control does not take the focus.
    f.b->SetFocus();
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
    f.root->SetVisible(true);
    f.b->SetEnabled(false);
    f.b->SetFocus();
    EXPECT_EQ(f.Host()->GetFocus(), nullptr);
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

TEST(ControlDelegates, InitDestroyAndEventDelegates)
{
    Fixture f;
    ASSERT_TRUE(f.Open());
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

TEST(ControlPaint, OpaqueFillsTheDirtyPartTranslucentTheWholeControl)
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

    // Nothing outside the dirty rectangle's meeting with the control.
    canvas.Fill(kWhite);
    c.SetBkColor(0xFF00FF00);
    c.Paint(canvas.DC(), RECT{100, 100, 120, 120});
    EXPECT_TRUE(kit::CanvasIs(canvas, [](int, int) { return kWhite; }));
}

TEST(ControlPaint, GradientsForTwoAndThreeColours)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 10, 64});
    DibCanvas canvas(10, 64, kWhite);
    const auto blue = [&](int y) { return canvas.Pixel(5, y) & 0xFF; };
    c.SetBkColor(0xFF000000);
    c.SetBkColor2(0xFFFFFFFF);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 64});
    EXPECT_LT(blue(1), 0x20u);
    EXPECT_GT(blue(62), 0xE0u);
    EXPECT_LT(blue(20), blue(40));

    // Three colours: black -> white in the upper half, white -> black in the lower.
    c.SetBkColor3(0xFF000000);
    canvas.Fill(0x00FF00);
    c.Paint(canvas.DC(), RECT{0, 0, 10, 64});
    EXPECT_LT(blue(1), 0x30u);
    EXPECT_GT(blue(31), 0xD0u);
    EXPECT_GT(blue(33), 0xD0u);
    EXPECT_LT(blue(62), 0x30u);
}

TEST(ControlPaint, BorderFocusBorderAndRoundBorder)
{
    CControlUI c;
    c.SetPos(RECT{0, 0, 30, 20});
    DibCanvas canvas(30, 20, kWhite);
    const auto paint = [&](CControlUI& control) {
        canvas.Fill(kWhite);
        control.Paint(canvas.DC(), RECT{0, 0, 30, 20});
    };
    paint(c);
    EXPECT_EQ(canvas.Pixel(0, 10), kWhite);  // colour 0: no square border

    c.SetBorderColor(0xFF0000FF);
    paint(c);
    EXPECT_EQ(canvas.Pixel(0, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(29, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(15, 10), kWhite);

    c.SetBorderSize(3);
    paint(c);
    EXPECT_EQ(canvas.Pixel(2, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(3, 10), kWhite);

    // Focused with a focus border colour: that colour.
    c.SetFocusBorderColor(0xFF00FF00);
    ControlEvent focus = EventOf(kEventSetFocus);
    c.Event(focus);
    ASSERT_TRUE(c.IsFocused());
    paint(c);
    EXPECT_EQ(canvas.Pixel(1, 10), 0x00FF00u);

    c.SetBorderSize(0);
    paint(c);
    EXPECT_EQ(canvas.Pixel(0, 10), kWhite);

    // Round corners: drawn even with colour 0 (black), and the fill is clipped at the corner.
    CControlUI r;
    r.SetPos(RECT{0, 0, 30, 20});
    r.SetBorderRound(SIZE{12, 12});
    r.SetBkColor(0xFFFF0000);
    paint(r);
    EXPECT_EQ(canvas.Pixel(0, 0), kWhite);      // outside the rounded corner
    EXPECT_EQ(canvas.Pixel(15, 0), 0x000000u);  // the outline, colour 0
    EXPECT_EQ(canvas.Pixel(15, 10), 0xFF0000u);
    // The clip is restored afterwards.
    CGdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetClipRgn(canvas.DC(), rgn.Get()), 0);
}

// Sizes and corners from a hostile skin: the paint ends at once, clipped to the control's round
// rectangle within GDI's range.
TEST(ControlPaint, HugeRoundCornersPaintAtOnce)
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
