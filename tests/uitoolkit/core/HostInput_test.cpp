// The window host's input side on a real window: mouse event order across two controls,
// capture, double click, wheel, context menu, keyboard routing, focus, Tab order and Alt
// shortcuts through the pre-translation, set-cursor.
#include <gtest/gtest.h>

#include <algorithm>

#include "HostFixture.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "kit/Text.h"

using namespace SkinUI;
using namespace host_fixture;
using kit::SameSequence;

TEST(HostMouse, EnterLeaveDownUpAcrossTwoControls)
{
    Fixture t;
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    in.Move(10, 10);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:enter"}));
    ASSERT_FALSE(t.a->events.empty());
    const ControlEvent& move = t.a->events.back();
    EXPECT_TRUE(move.type == kEventMouseMove && move.point.x == 10 && move.sender == t.a);

    in.Move(150, 20);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:enter", L"a:leave", L"b:enter"}));
    EXPECT_EQ(t.win.Host()->GetHovered(), t.b);

    t.log.Clear();
    in.LeftDown(150, 20);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"b:setfocus", L"b:down"}));
    EXPECT_EQ(t.win.Host()->GetFocus(), t.b);
    EXPECT_EQ(::GetCapture(), t.win.Hwnd());
    EXPECT_EQ(t.b->events.back().wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(t.win.Host()->GetMousePos().x, 150);
    in.LeftUp(150, 20);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"b:setfocus", L"b:down", L"b:up"}));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(SameSequence(t.rec.Types({L"setfocus", L"killfocus"}), {L"setfocus"}));

    // Leaving the window leaves the hovered control.
    t.log.Clear();
    in.Post(WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"b:leave"}));
    EXPECT_EQ(t.win.Host()->GetHovered(), nullptr);
}

TEST(HostMouse, PressedControlKeepsMovesAndTheReleaseWhileHoverFollowsThePointer)
{
    Fixture t;
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    in.Move(10, 10);
    in.LeftDown(10, 10);
    t.log.Clear();
    t.a->events.clear();
    t.b->events.clear();
    in.Move(150, 10);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:leave", L"b:enter"}));
    ASSERT_FALSE(t.a->events.empty());
    EXPECT_EQ(t.a->events.back().type, kEventMouseMove);  // moves go to the pressed control
    for (const ControlEvent& e : t.b->events)
        EXPECT_NE(e.type, kEventMouseMove);
    in.LeftUp(150, 10);
    EXPECT_EQ(t.Steps().back(), L"a:up");
    EXPECT_EQ(t.win.Host()->GetPressed(), nullptr);

    // A release without a pressed control goes nowhere.
    t.log.Clear();
    in.LeftUp(150, 10);
    EXPECT_TRUE(t.Steps().empty());
}

TEST(HostMouse, DoubleClickRightButtonWheelAndContextMenu)
{
    Fixture t;
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    in.DoubleClick(20, 20);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:enter", L"a:setfocus", L"a:down", L"a:up", L"a:dblclick", L"a:up"}));

    t.log.Clear();
    in.Move(150, 50);
    in.RightDown(150, 50);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:leave", L"b:enter", L"a:killfocus", L"b:setfocus", L"b:rdown"}));
    // The right button's release makes the system send WM_CONTEXTMENU: it goes to the pressed
    // control, which is then no longer pressed.
    t.log.Clear();
    in.RightUp(150, 50);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"b:menu"}));
    ASSERT_FALSE(t.b->events.empty());
    EXPECT_EQ(t.b->events.back().lParam, reinterpret_cast<LPARAM>(t.b));
    EXPECT_EQ(t.b->events.back().point.x, 150);
    EXPECT_EQ(t.win.Host()->GetPressed(), nullptr);
    t.log.Clear();
    in.ContextMenu(150, 50);  // nothing pressed: nothing sent
    EXPECT_TRUE(t.Steps().empty());

    // The wheel goes to the control under the point: 1 towards the user, 0 away.
    t.a->events.clear();
    in.Wheel(30, 30, -120);
    in.Wheel(30, 30, 120);
    std::vector<WPARAM> wheels;
    for (const ControlEvent& e : t.a->events)
        if (e.type == kEventScrollWheel) {
            wheels.push_back(e.wParam);
            EXPECT_EQ(e.point.x, 0);
        }
    EXPECT_EQ(wheels, (std::vector<WPARAM>{1, 0}));
    EXPECT_EQ(t.win.Host()->GetHovered(), t.a);  // hover followed the wheel's point
}

TEST(HostMouse, HoverShowsTheTooltipOfTheControlUnderThePointer)
{
    Fixture t;
    t.a->SetToolTip(L"about a");
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    in.Move(30, 30);
    // The system posts WM_MOUSEHOVER once the pointer rests (400 ms without a tooltip window).
    EXPECT_TRUE(kit::PumpUntil([&] { return !t.log.Without({L"move", L"enter"}).empty(); }, 3000));
    EXPECT_TRUE(SameSequence(t.log.Without({L"move"}), {L"a:enter", L"a:hover"}));
    HWND tip = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"tooltips_class32", nullptr))
        if (::GetWindow(w, GW_OWNER) == t.win.Hwnd())
            tip = w;
    EXPECT_NE(tip, nullptr);
}

TEST(HostMouse, SetCursorReachesOnlyControlsThatAskForIt)
{
    Fixture t;
    t.b->SetBehaviour(kBehaviourSetCursor);
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    HWND h = t.win.Hwnd();
    in.Move(150, 50);
    t.log.Clear();
    EXPECT_EQ(::SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    EXPECT_TRUE(SameSequence(t.Steps(), {L"b:cursor"}));
    EXPECT_EQ(t.b->events.back().sender, nullptr);
    in.Move(50, 50);
    t.log.Clear();
    ::SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ::SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    EXPECT_TRUE(t.Steps().empty());
}

TEST(HostKeyboard, KeysGoToTheFocusAndTheReleaseToTheKeyControl)
{
    Fixture t;
    ASSERT_TRUE(t.Open());
    kit::Input in(t.win.Hwnd());
    t.a->SetFocus();
    t.log.Clear();
    t.a->events.clear();
    in.KeyDown('K');  // the system adds the character
    t.b->SetFocus();
    in.KeyUp('K');
    EXPECT_TRUE(SameSequence(t.Steps(), {L"a:keydown", L"a:char", L"a:killfocus", L"b:setfocus", L"a:keyup"}));
    ASSERT_GE(t.a->events.size(), 2u);
    EXPECT_EQ(t.a->events[0].key, L'K');
    EXPECT_EQ(t.a->events[0].sender, nullptr);
    EXPECT_EQ(t.a->events[1].key, L'k');
    t.b->events.clear();
    {
        kit::HeldKeys ctrl({VK_CONTROL, VK_SHIFT});
        in.KeyDown('Z');
    }
    ASSERT_FALSE(t.b->events.empty());
    EXPECT_EQ(t.b->events.front().type, kEventKeyDown);
    EXPECT_EQ(t.b->events.front().keyState, kKeyStateControl | kKeyStateShift);
    in.KeyUp('Z');

    // Without a focused control keys go nowhere.
    t.win.Host()->SetFocus(nullptr);
    t.log.Clear();
    in.Key('Q');
    EXPECT_TRUE(SameSequence(t.Steps(), {}));
}

namespace {

// A row of 30 x 30 controls, left to right in the order added.
struct Row {
    kit::EventLog log;
    kit::HostWindow win;
    kit::NotifyRecorder rec;
    Box* root = new Box(L"root");

    ProbeControl* Add(const wchar_t* name, UINT behaviour = kBehaviourTabStop)
    {
        auto* p = Probe(name, &log, 30 * root->Count(), 30, 0, 30, behaviour);
        root->Add(p);
        return p;
    }
    bool Open()
    {
        if (!win.Open(root, 200, 50))
            return false;
        win.Host()->AddNotifyListener(&rec);
        return win.Layout();
    }
    std::wstring Focus() const
    {
        CControlUI* f = win.Host()->GetFocus();
        return f ? f->GetName().GetData() : L"";
    }
};

// t1, t2 (Tab stops), h (hidden Tab stop), d (disabled Tab stop), n (no Tab stop), t3.
struct TabTree : Row {
    ProbeControl* t1 = Add(L"t1");
    ProbeControl* t2 = Add(L"t2");
    ProbeControl* h = Add(L"h");
    ProbeControl* d = Add(L"d");
    ProbeControl* n = Add(L"n", 0);
    ProbeControl* t3 = Add(L"t3");
    TabTree()
    {
        h->SetVisible(false);
        d->SetEnabled(false);
    }
};

} // namespace

TEST(HostFocus, TabAndShiftTabWalkVisibleEnabledTabStopsAndWrap)
{
    TabTree t;
    ASSERT_TRUE(t.Open());
    // The first paint sends "windowinit", then focuses the first Tab stop.
    EXPECT_TRUE(SameSequence(t.rec.Lines({L"windowinit", L"setfocus"}), {L"windowinit:root", L"setfocus:t1"}));
    kit::Input in(t.win.Hwnd(), true);
    std::vector<std::wstring> forward;
    for (int i = 0; i < 4; ++i) {
        in.Key(VK_TAB);
        forward.push_back(t.Focus());
    }
    EXPECT_TRUE(SameSequence(forward, {L"t2", L"t3", L"t1", L"t2"}));

    std::vector<std::wstring> backward;
    {
        kit::HeldKeys shift({VK_SHIFT});
        for (int i = 0; i < 4; ++i) {
            in.Key(VK_TAB);
            backward.push_back(t.Focus());
        }
    }
    EXPECT_TRUE(SameSequence(backward, {L"t1", L"t3", L"t2", L"t1"}));

    // Focus on a control that is no Tab stop: forward finds the next after it.
    t.win.Host()->SetFocus(t.n);
    in.Key(VK_TAB);
    EXPECT_EQ(t.Focus(), L"t3");

    // Without pre-translation (the program's plain loop) Tab is an ordinary key.
    kit::Input plain(t.win.Hwnd(), false);
    t.log.Clear();
    plain.KeyDown(VK_TAB);
    EXPECT_EQ(t.Focus(), L"t3");
    EXPECT_TRUE(SameSequence(t.log.lines, {L"t3:keydown", L"t3:char"}));
}

TEST(HostFocus, RequestFocusLandsOnTheControlAtTheNextPaint)
{
    TabTree t;
    ASSERT_TRUE(t.Open());
    t.win.Host()->RequestFocus(t.t3);
    EXPECT_EQ(t.Focus(), L"t2");  // the Tab stop before it, silently
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t3");
    EXPECT_TRUE(t.t3->IsFocused());

    t.win.Host()->RequestFocus(t.t1);  // the first: no Tab stop before it
    EXPECT_EQ(t.Focus(), L"");
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t1");

    // While a layout is pending a forward move only marks the focus as needed.
    t.root->RequestLayout();
    EXPECT_TRUE(t.win.Host()->MoveTabFocus(true));
    EXPECT_EQ(t.Focus(), L"t1");
    ASSERT_TRUE(t.win.Layout());
    EXPECT_EQ(t.Focus(), L"t2");
}

TEST(HostFocus, AltShortcutsFocusAndActivateInWalkOrder)
{
    Row t;
    ProbeControl* first = t.Add(L"first");
    ProbeControl* label = t.Add(L"label", 0);
    t.Add(L"field");
    ProbeControl* button = t.Add(L"button");
    label->SetClass(L"LabelUI");
    label->SetShortcut(L'n');
    button->SetShortcut(L'B');
    ASSERT_TRUE(t.Open());
    kit::EventLog& log = t.log;
    CWindowHostUI* host = t.win.Host();
    kit::Input in(t.win.Hwnd(), true);

    // A button's own shortcut: upper-cased on both sides.
    in.Alt(L'b');
    EXPECT_EQ(host->GetFocus(), button);
    EXPECT_EQ(button->activations, 1);

    // A label passes its shortcut on to the control after it in the walk, which visits the
    // topmost (last) children first: here "first".
    in.Alt(L'N');
    EXPECT_EQ(host->GetFocus(), first);
    EXPECT_EQ(first->activations, 1);
    EXPECT_EQ(label->activations, 0);

    // The focused control sees the system key.
    log.Clear();
    in.Alt(L'q');  // no such shortcut: not taken
    EXPECT_EQ(host->GetFocus(), first);
    EXPECT_EQ(log.lines.front(), L"first:syskey");

    // A hidden label's shortcut matches nothing; a disabled target is skipped.
    label->SetVisible(false);
    in.Alt(L'n');
    EXPECT_EQ(first->activations, 1);
    label->SetVisible(true);
    first->SetEnabled(false);
    in.Alt(L'n');
    EXPECT_EQ(first->activations, 1);
}

TEST(HostFocus, WindowSizeGoesToTheFocusAndRelaysOutTheRoot)
{
    Fixture t;
    ASSERT_TRUE(t.Open());
    t.a->SetFocus();
    t.log.Clear();
    ASSERT_TRUE(t.win.Layout(300, 120));
    EXPECT_NE(std::find(t.log.lines.begin(), t.log.lines.end(), L"a:size"), t.log.lines.end());
    EXPECT_EQ(kit::Text(t.root->GetPos()), "0,0,300,120");
}
