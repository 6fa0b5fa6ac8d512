// The window host's input side on a real window: mouse event order across two controls,
// capture, double click, wheel, context menu, hover tooltip, set-cursor, keyboard routing, focus,
// Tab order and Alt shortcuts through the pre-translation, and the window size.
#include <gtest/gtest.h>

#include <algorithm>

#include "HostFixture.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "kit/XmlHost.h"

using namespace SkinUI;
using namespace host_fixture;

TEST_F(HostTest, MouseEnterLeaveDownUpAndThePressedControlKeepsTheMoves)
{
    kit::Input in = In();
    in.Move(10, 10);
    EXPECT_TRUE(SameSequence(Steps(), {L"a:enter"}));
    ASSERT_FALSE(a->events.empty());
    const ControlEvent move = a->events.back();
    EXPECT_TRUE(move.type == kEventMouseMove && move.point.x == 10 && move.sender == a);
    in.LeftDown(10, 10);
    EXPECT_EQ(Host()->GetFocus(), a);
    EXPECT_EQ(::GetCapture(), Hwnd());
    EXPECT_EQ(a->events.back().wParam, static_cast<WPARAM>(MK_LBUTTON));
    // Hover follows the pointer while the moves go to the pressed control.
    a->events.clear();
    in.Move(150, 20);
    EXPECT_TRUE(SameSequence(Steps(), {L"a:enter", L"a:setfocus", L"a:down", L"a:leave", L"b:enter"}));
    EXPECT_EQ(Host()->GetHovered(), b);
    EXPECT_EQ(Host()->GetMousePos().x, 150);
    ASSERT_FALSE(a->events.empty());
    EXPECT_EQ(a->events.back().type, kEventMouseMove);
    EXPECT_TRUE(std::none_of(b->events.begin(), b->events.end(), [](const ControlEvent& e) { return e.type == kEventMouseMove; }));
    in.LeftUp(150, 20);
    EXPECT_EQ(Steps().back(), L"a:up");
    EXPECT_EQ(Host()->GetPressed(), nullptr);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(SameSequence(rec.Types({L"setfocus", L"killfocus"}), {L"setfocus"}));
    // A release without a pressed control goes nowhere; leaving the window leaves the hovered.
    log.Clear();
    in.LeftUp(150, 20);
    in.Post(WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(SameSequence(Steps(), {L"b:leave"}));
    EXPECT_EQ(Host()->GetHovered(), nullptr);
}

TEST_F(HostTest, DoubleClickRightButtonWheelAndContextMenu)
{
    kit::Input in = In();
    in.DoubleClick(20, 20);
    EXPECT_TRUE(SameSequence(Steps(), {L"a:enter", L"a:setfocus", L"a:down", L"a:up", L"a:dblclick", L"a:up"}));
    log.Clear();
    in.Move(150, 50);
    in.RightDown(150, 50);
    EXPECT_TRUE(SameSequence(Steps(), {L"a:leave", L"b:enter", L"a:killfocus", L"b:setfocus", L"b:rdown"}));
    // The right button's release makes the system send WM_CONTEXTMENU: it goes to the pressed
    // control, which is then no longer pressed.
    log.Clear();
    in.RightUp(150, 50);
    EXPECT_TRUE(SameSequence(Steps(), {L"b:menu"}));
    EXPECT_EQ(b->events.back().lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(b->events.back().point.x, 150);
    EXPECT_EQ(Host()->GetPressed(), nullptr);
    log.Clear();
    in.ContextMenu(150, 50);  // nothing pressed: nothing sent
    EXPECT_TRUE(Steps().empty());

    // The wheel goes to the control under the point: 1 towards the user, 0 away.
    a->events.clear();
    in.Wheel(30, 30, -120);
    in.Wheel(30, 30, 120);
    std::vector<WPARAM> wheels;
    for (const ControlEvent& e : a->events)
        if (e.type == kEventScrollWheel)
            wheels.push_back(e.point.x == 0 ? e.wParam : 99);
    EXPECT_EQ(wheels, (std::vector<WPARAM>{1, 0}));
    EXPECT_EQ(Host()->GetHovered(), a);  // hover followed the wheel's point
}

TEST_F(HostTest, HoverShowsTheTooltipAndSetCursorReachesOnlyControlsThatAskForIt)
{
    a->SetToolTip(L"about a");
    b->SetBehaviour(kBehaviourSetCursor);
    kit::Input in = In();
    in.Move(30, 30);
    // The system posts WM_MOUSEHOVER once the pointer rests (400 ms without a tooltip window).
    EXPECT_TRUE(kit::PumpUntil([&] { return !log.Without({L"move", L"enter"}).empty(); }, 3000));
    EXPECT_TRUE(SameSequence(log.Without({L"move"}), {L"a:enter", L"a:hover"}));
    HWND tip = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"tooltips_class32", nullptr))
        tip = ::GetWindow(w, GW_OWNER) == Hwnd() ? w : tip;
    EXPECT_NE(tip, nullptr);

    const auto setCursor = [&](int x, UINT hit) {
        in.Move(x, 50);
        log.Clear();
        return ::SendMessageW(Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(hit, WM_MOUSEMOVE));
    };
    EXPECT_EQ(setCursor(150, HTCLIENT), 0);
    EXPECT_TRUE(SameSequence(Steps(), {L"b:cursor"}));
    EXPECT_EQ(b->events.back().sender, nullptr);
    setCursor(50, HTCLIENT);
    EXPECT_TRUE(Steps().empty());
    setCursor(150, HTCAPTION);
    EXPECT_TRUE(Steps().empty());
}

// The pointer rests on a button (the system's hover ends the mouse tracking), then leaves the
// window with no move between: the leave still reaches the button, once, and its hot look goes.
TEST(HostHover, LeavingTheWindowAfterAHoverLeavesTheHoveredControl)
{
    int leaves = 0;
    Filter messages;
    const auto arrived = [&](UINT message) {
        return std::find(messages.seen.begin(), messages.seen.end(), message) != messages.seen.end();
    };
    kit::SolidImageDir images;
    kit::XmlHost h;
    ASSERT_TRUE(h.Open(kit::Skin(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\" normalimage=\"red.png\" "
                                 L"hotimage=\"green.png\"/>"), 200, 100));
    h.Find(L"b")->EventDelegates += MakeDelegate([&](void* event) {
        leaves += static_cast<ControlEvent*>(event)->type == kEventMouseLeave ? 1 : 0;
        return true;
    });
    h.Host()->AddMessageFilter(&messages);
    h.In().Move(20, 10);
    ASSERT_TRUE(kit::PumpUntil([&] { return arrived(WM_MOUSEHOVER); }, 3000));
    EXPECT_EQ(h.Pixel(20, 10), kit::kGreen);
    messages.seen.clear();
    ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
    ASSERT_TRUE(kit::PumpUntil([&] { return arrived(WM_MOUSELEAVE); }, 3000));
    kit::Pump(100);  // room for a second leave
    EXPECT_EQ(messages.seen.front(), static_cast<UINT>(WM_MOUSELEAVE)) << "a move came before the leave";
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(h.Host()->GetHovered(), nullptr);
    EXPECT_EQ(h.Pixel(20, 10), kit::kRed);
    h.Host()->RemoveMessageFilter(&messages);
}

TEST_F(HostTest, KeysGoToTheFocusAndTheReleaseToTheKeyControl)
{
    kit::Input in = In();
    a->SetFocus();
    log.Clear();
    a->events.clear();
    in.KeyDown('K');  // the system adds the character
    b->SetFocus();
    in.KeyUp('K');
    EXPECT_TRUE(SameSequence(Steps(), {L"a:keydown", L"a:char", L"a:killfocus", L"b:setfocus", L"a:keyup"}));
    ASSERT_GE(a->events.size(), 2u);
    EXPECT_TRUE(a->events[0].key == L'K' && a->events[0].sender == nullptr && a->events[1].key == L'k');
    b->events.clear();
    {
        kit::HeldKeys ctrl({VK_CONTROL, VK_SHIFT});
        in.KeyDown('Z');
    }
    ASSERT_FALSE(b->events.empty());
    EXPECT_EQ(b->events.front().type, kEventKeyDown);
    EXPECT_EQ(b->events.front().keyState, kKeyStateControl | kKeyStateShift);
    in.KeyUp('Z');
    // Without a focused control keys go nowhere.
    Host()->SetFocus(nullptr);
    log.Clear();
    in.Key('Q');
    EXPECT_TRUE(SameSequence(Steps(), {}));

    // The window's size goes to the focus, and the root is laid out anew.
    a->SetFocus();
    log.Clear();
    ASSERT_TRUE(win.Layout(300, 120));
    EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), L"a:size"), log.lines.end());
    EXPECT_EQ(kit::Text(root->GetPos()), "0,0,300,120");
}

namespace {

// A row of 30 x 30 controls, left to right in the order added; by default t1, t2 (Tab stops),
// h (hidden Tab stop), d (disabled Tab stop), n (no Tab stop), t3.
struct Row : Fixture {
    explicit Row(bool tabTree = true) : Fixture(false)
    {
        if (!tabTree)
            return;
        for (const wchar_t* name : {L"t1", L"t2", L"h", L"d", L"n", L"t3"})
            Add(name, name[0] == L'n' ? 0u : static_cast<UINT>(kBehaviourTabStop));
        root->At(2)->SetVisible(false);
        root->At(3)->SetEnabled(false);
    }
    ProbeControl* Add(const wchar_t* name, UINT behaviour = kBehaviourTabStop)
    {
        auto* p = Probe(name, &log, 30 * root->Count(), 30, 0, 30, behaviour);
        root->Add(p);
        return p;
    }
    bool Open() { return Fixture::Open(false, 200, 50) && win.Layout(); }
    // The focus after each of n Tab keys.
    Lines Tabs(int n)
    {
        Lines focus;
        for (int i = 0; i < n; ++i) {
            In(true).Key(VK_TAB);
            focus.push_back(Focus());
        }
        return focus;
    }
};

} // namespace

TEST(HostFocus, TabAndShiftTabWalkVisibleEnabledTabStopsAndWrap)
{
    Row t;
    ASSERT_TRUE(t.Open());
    // The first paint sends "windowinit", then focuses the first Tab stop.
    EXPECT_TRUE(SameSequence(t.rec.Lines({L"windowinit", L"setfocus"}), {L"windowinit:root", L"setfocus:t1"}));
    EXPECT_TRUE(SameSequence(t.Tabs(4), {L"t2", L"t3", L"t1", L"t2"}));
    {
        kit::HeldKeys shift({VK_SHIFT});
        EXPECT_TRUE(SameSequence(t.Tabs(4), {L"t1", L"t3", L"t2", L"t1"}));
    }
    // Focus on a control that is no Tab stop: forward finds the next after it.
    t.Host()->SetFocus(t.root->At(4));
    EXPECT_TRUE(SameSequence(t.Tabs(1), {L"t3"}));
    // Without pre-translation (the program's plain loop) Tab is an ordinary key.
    t.log.Clear();
    t.In(false).KeyDown(VK_TAB);
    EXPECT_EQ(t.Focus(), L"t3");
    EXPECT_TRUE(SameSequence(t.log.lines, {L"t3:keydown", L"t3:char"}));
}

TEST(HostFocus, RequestFocusLandsOnTheControlAtTheNextPaint)
{
    Row t;
    ASSERT_TRUE(t.Open());
    CControlUI* t3 = t.root->At(5);
    t.Host()->RequestFocus(t3);
    EXPECT_EQ(t.Focus(), L"t2");  // the Tab stop before it, silently
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t3");
    EXPECT_TRUE(t3->IsFocused());
    t.Host()->RequestFocus(t.root->At(0));  // the first: no Tab stop before it
    EXPECT_EQ(t.Focus(), L"");
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t1");
    // While a layout is pending a forward move only marks the focus as needed.
    t.root->RequestLayout();
    EXPECT_TRUE(t.Host()->MoveTabFocus(true));
    EXPECT_EQ(t.Focus(), L"t1");
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t2");
}

TEST(HostFocus, AltShortcutsFocusAndActivateInWalkOrder)
{
    Row t(false);
    ProbeControl* first = t.Add(L"first");
    ProbeControl* label = t.Add(L"label", 0);
    t.Add(L"field");
    ProbeControl* button = t.Add(L"button");
    label->SetClass(L"LabelUI");
    label->SetShortcut(L'n');
    button->SetShortcut(L'B');
    ASSERT_TRUE(t.Open());
    kit::Input in = t.In(true);
    // A button's own shortcut: upper-cased on both sides.
    in.Alt(L'b');
    EXPECT_EQ(t.Focus() + std::to_wstring(button->activations), L"button1");
    // A label passes its shortcut on to the control after it in the walk, which visits the
    // topmost (last) children first: here "first".
    in.Alt(L'N');
    EXPECT_EQ(t.Focus() + std::to_wstring(first->activations) + std::to_wstring(label->activations), L"first10");
    // The focused control sees the system key.
    t.log.Clear();
    in.Alt(L'q');  // no such shortcut: not taken
    EXPECT_EQ(t.Focus(), L"first");
    EXPECT_EQ(t.log.lines.front(), L"first:syskey");
    // A hidden label's shortcut matches nothing; a disabled target is skipped.
    label->SetVisible(false);
    in.Alt(L'n');
    label->SetVisible(true);
    first->SetEnabled(false);
    in.Alt(L'n');
    EXPECT_EQ(first->activations, 1);
}
