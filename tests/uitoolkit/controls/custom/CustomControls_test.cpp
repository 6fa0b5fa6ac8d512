// The program's own controls in real windows built from skins: their class and interface names,
// the check button's toggling, hover labels passing input to what lies beneath, the extended
// vertical layout's "layoutscroll", the list control's guarded item operations, the tab strip
// (items sharing its width, selection notified at once, presses on items and their buttons,
// states as pixels) and the tab body's selection when pages go; and the dialogs' window base
// (binding through the user data, the countdown timer, a subclass destroying itself).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CustomTags.h"
#include "kit/Capture.h"
#include "kit/GuardedHeap.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/custom/ShadowWindowWnd.h"

using namespace SkinUI;
using namespace kit;

namespace {

// A container that counts the events its handler gets.
struct CountingBox : CContainerUI {
    void HandleEvent(ControlEvent& event) override
    {
        ++events[event.type];
        CContainerUI::HandleEvent(event);
    }
    std::map<int, int> events;
};

struct Custom : ::testing::Test {
    SolidImageDir images;
    custom_tags::CustomTags tags;
    XmlHost h;
    Custom() { tags.Add(L"Box", &Make<CountingBox>); }
    bool Open(const std::wstring& controls, int width = 200, int height = 120)
    {
        return h.Open(L"<Window><Box name=\"root\">" + controls + L"</Box></Window>", width, height, &tags);
    }
    CountingBox* Box() const { return h.Find<CountingBox>(L"root"); }
};

} // namespace

TEST(CustomControls, ClassAndInterfaceNames)
{
    custom_tags::CustomTags tags;
    const struct {
        const wchar_t* tag;
        const wchar_t* cls;
        std::vector<const wchar_t*> answered;  // each the control itself
    } rows[] = {
        {L"CheckButton", L"CheckButtonUI", {L"CheckButton", L"Option"}},
        {L"ComboEx", L"ComboExUI", {L"ComboEx", L"Combo"}},
        {L"EditEx", L"EditExUI", {L"EditEx", L"Label"}},
        {L"HotKeyEdit", L"HotKeyEditUI", {L"HotKeyEdit", L"Edit"}},
        {L"GifAnim", L"GifAnimUI", {L"GifAnim"}},
        {L"PngAnim", L"PngAnimUI", {L"PngAnim"}},
        {L"Tab", L"TabUI", {L"Tab", L"Label"}},
        {L"TabBody", L"TabBodyUI", {L"TabBody", L"TabLayout"}},
        {L"VerticalLayoutEx", L"VerticalLayoutExUI", {L"VerticalLayoutEx", L"VerticalLayout"}},
        {L"ListControl", L"ListUI", {L"List"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::wstring(row.tag).c_str());
        std::unique_ptr<CControlUI> c(tags.CreateControl(row.tag));
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c->GetClass(), row.cls);
        for (const wchar_t* name : row.answered)
            EXPECT_EQ(c->GetInterface(name), c.get()) << std::wstring(name).c_str();
    }
}

TEST_F(Custom, CheckButtonTogglesByClickAndSpaceAndSilentlyBySetCheck)
{
    ASSERT_TRUE(Open(L"<CheckButton name=\"cb\" float=\"true\" pos=\"0,0,80,30\"/>"
                     L"<CheckButton name=\"off\" float=\"true\" pos=\"0,40,80,70\" enabled=\"false\"/>"));
    auto* cb = h.Find<CCheckButtonUI>(L"cb");
    const std::vector<std::wstring> only = {L"click", L"selectchanged"};
    h.In().Click(10, 10);
    EXPECT_TRUE(cb->IsSelected());
    h.In().Click(10, 10);
    EXPECT_FALSE(cb->IsSelected());
    cb->SetFocus();
    h.In().Key(VK_SPACE);
    EXPECT_TRUE(cb->IsSelected());
    EXPECT_TRUE(SameSequence(h.rec.Types(only), std::vector<std::wstring>(3, L"selectchanged")));
    // SetCheck changes the flag and the state bit, and says nothing.
    h.rec.Clear();
    cb->SetCheck(false);
    EXPECT_FALSE(cb->IsSelected());
    EXPECT_EQ(cb->GetState() & kStateSelected, 0u);
    cb->SetCheck(true);
    cb->SetCheck(true);
    EXPECT_TRUE(cb->IsSelected());
    EXPECT_EQ(cb->GetState() & kStateSelected, kStateSelected);
    // A hidden box still toggles by activation; a disabled one refuses, by click or directly.
    cb->SetVisible(false);
    EXPECT_TRUE(cb->Activate());
    EXPECT_FALSE(cb->IsSelected());
    auto* off = h.Find<CCheckButtonUI>(L"off");
    h.In().Click(10, 50);
    EXPECT_FALSE(off->Activate() || off->IsSelected());
    EXPECT_TRUE(SameSequence(h.rec.Types(only), {L"selectchanged"}));
}

TEST_F(Custom, HoverLabelsPassPressesAndTheCursorToWhatLiesBeneath)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"/>"
                     L"<HoverLabel name=\"hl\" float=\"true\" pos=\"0,0,180,30\" text=\"over\"/>"
                     L"<HoverLabel name=\"hl2\" float=\"true\" pos=\"40,0,180,30\"/>"
                     L"<Edit name=\"e\" float=\"true\" pos=\"0,40,150,70\"/>"
                     L"<HoverLabel float=\"true\" pos=\"0,40,150,70\"/>"));
    EXPECT_EQ(h.Find(L"hl")->GetBehaviourFlags(), 2u);
    // Over the button, under two hover labels: the button clicks, the parent hears it once.
    h.In().Click(50, 10);
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"click"}), {L"click:b"}));
    EXPECT_EQ(Box()->events[kEventButtonDown], 1);
    EXPECT_EQ(Box()->events[kEventButtonUp], 1);
    // Over nothing but the parent: the parent hears it once.
    h.In().Click(150, 10);
    EXPECT_EQ(Box()->events[kEventButtonDown], 2);
    EXPECT_EQ(h.rec.Count(L"click"), 1);
    // Over an edit the edit's cursor, elsewhere the arrow.
    EXPECT_EQ(h.CursorAt(20, 50), ::LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(h.CursorAt(20, 100), ::LoadCursorW(nullptr, IDC_ARROW));
    h.Find(L"hl")->SetEnabled(false);
    EXPECT_EQ(h.Find(L"hl")->GetBehaviourFlags(), 0u);
}

TEST(CustomLifetime, HoverLabelOverAButtonThatClosesTheWindow)
{
    GuardedScope guard;
    custom_tags::CustomTags tags;
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"/>"
                            L"<HoverLabel float=\"true\" pos=\"0,0,80,30\"/>"),
                       200, 100, &tags));
    h.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"click")
            ::DestroyWindow(h.win.Hwnd());
    };
    h.In().Click(10, 10);
    EXPECT_FALSE(h.win.IsOpen());
}

TEST_F(Custom, ExtendedLayoutReportsEveryScroll)
{
    ASSERT_TRUE(Open(L"<VerticalLayoutEx name=\"v\" vscrollbar=\"true\"><Control height=\"300\"/></VerticalLayoutEx>"));
    auto* v = h.Find<CVerticalLayoutExUI>(L"v");
    h.In().Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_GT(v->GetScrollPos().cy, 0);
    EXPECT_EQ(h.rec.Count(L"layoutscroll"), 1);
    v->HomeUp();
    v->SetScrollPos(SIZE{0, 0});  // no change: reported all the same
    h.In().Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(h.rec.Count(L"layoutscroll"), 4);
    const RECT down = v->GetVerticalScrollBar()->GetButton2Rect();
    h.In().Click(down.left + 2, down.top + 2);
    EXPECT_GE(h.rec.Count(L"layoutscroll"), 5);
    EXPECT_EQ(h.rec.OfType(L"layoutscroll")[0].sender, L"v");
}

TEST_F(Custom, ListControlRefusesMissingControlsAndIndexes)
{
    ASSERT_TRUE(Open(L"<ListControl name=\"l\" header=\"hidden\"><ListLabelElement text=\"a\"/></ListControl>"));
    auto* list = h.Find<CListControl>(L"l");
    EXPECT_EQ(list->GetOwner(), nullptr);
    EXPECT_FALSE(list->Add(nullptr) || list->AddAt(nullptr, 0) || list->Remove(nullptr));
    EXPECT_FALSE(list->RemoveAt(1) || list->RemoveAt(-1));
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_TRUE(list->AddAt(new CListLabelElementUI(), 0));
    EXPECT_TRUE(list->SelectItem(1));
    EXPECT_TRUE(list->RemoveAt(0));
    EXPECT_EQ(list->GetCurSel(), 0);
    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
    CListControl bound(h.Host());
    EXPECT_EQ(bound.GetOwner(), h.Host());
    EXPECT_FALSE(bound.GetBuilder().GetMarkup().IsValid());
}

// ---- tab strip and tab body ----------------------------------------------------------------------

namespace {

// Three items 100 wide in a 301-wide strip; buttons 15 x 15 at 20..5 before an item's end.
const wchar_t kStrip[] = L"<Tab name=\"t\" float=\"true\" pos=\"0,0,301,30\" btnpos=\"-20,5,-5,20\" "
                         L"itemnormalimage=\"grey.png\" itemhotimage=\"green.png\" itemselectedimage=\"red.png\" "
                         L"btnnormalimage=\"yellow.png\" btnhotimage=\"cyan.png\" btnInactivenormalimage=\"blue.png\" "
                         L"btnInactivehotimage=\"cyan.png\"/>";

struct Tabs : Custom {
    bool OpenStrip(const std::wstring& strip, int items = 3)
    {
        if (!Open(strip, 320, 60))
            return false;
        for (int i = 0; i < items; ++i)
            Tab()->AddItem((L"tab" + std::to_wstring(i)).c_str());
        return h.win.Layout();
    }
    CTabUI* Tab() const { return h.Find<CTabUI>(L"t"); }
    // "type:index,lParam" of the strip's notifications since the last call.
    std::vector<std::wstring> Notified()
    {
        std::vector<std::wstring> lines;
        for (const auto& r : h.rec.records)
            if (r.type == L"tabselectchanged" || r.type == L"tabbtnclick")
                lines.push_back(r.type + L":" + std::to_wstring(static_cast<int>(r.wParam)) + L"," +
                                std::to_wstring(r.lParam));
        h.rec.Clear();
        return lines;
    }
};

} // namespace

TEST_F(Tabs, SelectionAndPressesAreNotifiedAtOnce)
{
    ASSERT_TRUE(OpenStrip(kStrip));
    CTabUI* t = Tab();
    EXPECT_EQ(t->GetItemWidth(), 100);
    EXPECT_EQ(Text(t->GetPos()), "0,0,301,30");
    // The index asked for, whether accepted, the notifications at once, the selection.
    const struct {
        int index;
        bool accepted;
        std::vector<std::wstring> notified;
        int selected;
    } steps[] = {
        {1, true, {L"tabselectchanged:1,1"}, 1},  {1, true, {L"tabselectchanged:1,1"}, 1},
        {3, false, {}, 1},                        {-2, false, {}, 1},
        {-1, true, {L"tabselectchanged:-1,1"}, -1}, {2, true, {L"tabselectchanged:2,1"}, 2},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.index);
        EXPECT_EQ(t->SelectItem(step.index), step.accepted);
        EXPECT_TRUE(SameSequence(Notified(), step.notified));
        EXPECT_EQ(t->GetCurSel(), step.selected);
    }
    t->SelectItem(-1);
    Notified();
    const struct {
        POINT at;
        std::vector<std::wstring> notified;
        int selected;
    } presses[] = {
        {{50, 15}, {L"tabselectchanged:0,1"}, 0},
        {{50, 15}, {}, 0},                          // the selected item again
        {{90, 10}, {L"tabbtnclick:0,0"}, 0},        // its button
        {{190, 19}, {L"tabbtnclick:1,0"}, 0},       // another item's button
        {{179, 10}, {L"tabselectchanged:1,1"}, 1},  // just before that button
        {{300, 15}, {}, 1},                         // past the last item
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(::testing::Message() << press.at.x << "," << press.at.y);
        h.In().Click(press.at.x, press.at.y);
        EXPECT_TRUE(SameSequence(Notified(), press.notified));
        EXPECT_EQ(t->GetCurSel(), press.selected);
    }
    // The item under the mouse is hot and tells its text.
    h.In().Move(250, 25);
    EXPECT_EQ(t->GetHotIndex(), 2);
    EXPECT_EQ(std::wstring(t->GetToolTip()), L"tab2");
}

TEST_F(Tabs, StatesAsPixels)
{
    ASSERT_TRUE(OpenStrip(kStrip));
    Tab()->SelectItem(1);
    h.In().Move(290, 10);  // on the last item's button
    // A normal, the selected and the hot item; another item's button, the selected item's, the
    // one under the mouse; past the strip.
    EXPECT_EQ(h.Pixels({{10, 25}, {110, 25}, {210, 25}, {87, 12}, {187, 12}, {287, 12}, {305, 15}}),
              Colors({kGrey, kRed, kGreen, kBlue, kYellow, kCyan, kWhite}));
    // Each item's text lies between its start and its button.
    auto shot = CaptureClient(h.win.Hwnd());
    int ink = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 78; ++x)
            ink += shot->Pixel(x, y) != kGrey ? 1 : 0;
    EXPECT_GT(ink, 5);
}

TEST_F(Tabs, AStripTooNarrowForItsItemsTakesNoPress)
{
    ASSERT_TRUE(OpenStrip(L"<Tab name=\"t\" float=\"true\" pos=\"0,0,2,30\" btnpos=\"-20,5,-5,20\" itemnormalimage=\"red.png\"/>"));
    EXPECT_EQ(Tab()->GetItemWidth(), 0);
    h.In().Click(0, 15);
    h.In().Move(1, 15);
    EXPECT_TRUE(Notified().empty());
    EXPECT_EQ(h.Pixel(0, 15), kWhite);
    EXPECT_EQ(std::wstring(Tab()->GetToolTip()), L"");
    // A strip without items keeps its size and item width.
    XmlHost empty;
    ASSERT_TRUE(empty.Open(Skin(kStrip), 320, 60, &tags));
    EXPECT_EQ(empty.Find<CTabUI>(L"t")->GetItemWidth(), 180);
    empty.In().Click(50, 15);
}

TEST_F(Tabs, WidthLimitsTheItems)
{
    ASSERT_TRUE(OpenStrip(L"<Tab name=\"t\" float=\"true\" pos=\"0,0,301,30\" width=\"240\" btnpos=\"1,2,3,4\" "
                          L"titleimagepos=\"5,6,7,8\"/>",
                          2));
    // "width" limits each item and sizes the strip.
    EXPECT_EQ(Tab()->GetItemWidth(), 119);
    EXPECT_EQ(Text(Tab()->GetPos()) + " " + Text(Tab()->GetButtonPos()) + " " + Text(Tab()->GetTitleImagePos()),
              "0,0,239,30 1,2,3,4 5,6,7,8");
    // A negative limit makes the items 0 wide; the strip never ends before it starts.
    Tab()->SetAttribute(L"width", L"-50");
    Tab()->SetPos(RECT{0, 0, 100, 30});
    EXPECT_EQ(Tab()->GetItemWidth(), 0);
    EXPECT_EQ(Text(Tab()->GetPos()), "0,0,1,30");
}

// Pages p0..p2 with one of them selected; a page removed; then the selected index and page.
TEST(TabBody, RemovalKeepsASensibleSelection)
{
    custom_tags::CustomTags tags;
    const struct {
        int selected, removed, selectedAfter;
        const wchar_t* pageAfter;
    } cases[] = {
        {2, 2, 1, L"p1"},  // the last page: the one before it
        {1, 1, 1, L"p2"},  // a middle page: the one that took its place
        {2, 0, 1, L"p2"},  // a page before the selection: the same page
        {0, 2, 0, L"p0"},  // a page after it: nothing changes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.selected << " without " << c.removed);
        XmlHost h;
        ASSERT_TRUE(h.Open(L"<Window><TabBody name=\"b\"><Control name=\"p0\"/><Control name=\"p1\"/>"
                           L"<Control name=\"p2\"/></TabBody></Window>",
                           100, 60, &tags));
        auto* body = h.Find<CTabBodyUI>(L"b");
        body->SelectItem(c.selected);
        ASSERT_TRUE(body->RemoveAt(c.removed));
        EXPECT_EQ(body->GetCurSel(), c.selectedAfter);
        CControlUI* page = body->GetItemAt(body->GetCurSel());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::wstring(page->GetName()), c.pageAfter);
        EXPECT_TRUE(page->IsVisible());
        if (c.removed == 0) {  // down to none
            EXPECT_FALSE(body->Remove(nullptr));
            EXPECT_TRUE(body->Remove(body->GetItemAt(0)) && body->Remove(body->GetItemAt(0)));
            EXPECT_EQ(body->GetCurSel(), -1);
        }
    }
}

// ---- the dialogs' window base ------------------------------------------------------------------

namespace {

constexpr UINT kDestroyYourself = WM_APP + 7;

class Shadow : public CShadowWindowWnd {
public:
    const wchar_t* GetWindowClass() const override { return L"OmbrelShadowTest"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == kDestroyYourself) {
            ::DestroyWindow(m_hWnd);
            return 5;  // the object is gone when it deletes itself on destruction
        }
        return CShadowWindowWnd::ProcessMessage(message, wParam, lParam);
    }
    void OnWindowDestroyed(HWND hWnd) override
    {
        handleAtDestroyed = m_hWnd;
        userDataAtDestroyed = ::GetWindowLongPtrW(hWnd, GWLP_USERDATA);
        ++destroyed;
        if (deleteOnDestroy)
            delete this;
    }
    void SetCountdown(UINT n) { m_countdown = n; }
    int Timers() const { return static_cast<int>(std::count(seen.begin(), seen.end(), static_cast<UINT>(WM_TIMER))); }

    std::vector<UINT> seen;
    HWND handleAtDestroyed = reinterpret_cast<HWND>(1);
    LONG_PTR userDataAtDestroyed = -1;
    int destroyed = 0;
    bool deleteOnDestroy = false;
};

// The number of live timers is not readable: a timer that still runs shows as a WM_TIMER.
bool TimerFires(HWND hWnd)
{
    MSG msg;
    return PumpUntil([&] { return ::PeekMessageW(&msg, hWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE; }, 300);
}

} // namespace

TEST(ShadowWindow, ClassBindingAndUnbinding)
{
    Shadow a, b;
    const HWND ha = a.Create(nullptr, L"a", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, 10, 20, 30, 40);
    ASSERT_NE(ha, nullptr);
    const HWND hb = b.Create(nullptr, L"b", WS_POPUP, 0);  // the second object finds the class registered
    ASSERT_NE(hb, nullptr);
    EXPECT_EQ(a.GetHWND(), ha);
    EXPECT_EQ(::GetClassLongW(ha, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
    EXPECT_EQ(::GetClassLongW(ha, GCL_CBWNDEXTRA), 0u);
    EXPECT_EQ(::GetWindowLongPtrW(ha, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
    EXPECT_EQ(::GetWindowLongPtrW(ha, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CShadowWindowWnd::WindowProc));
    // Focus on create, and on activation.
    EXPECT_EQ(::GetFocus(), hb);
    a.OnShadowActivate();
    EXPECT_EQ(::GetFocus(), ha);
    // Place and size come from the skin later, never from Create's arguments.
    RECT rc;
    ::GetWindowRect(ha, &rc);
    EXPECT_FALSE(rc.left == 10 && rc.top == 20 && rc.right - rc.left == 30 && rc.bottom - rc.top == 40);
    // The first message the object sees is WM_NCCREATE (earlier ones go to DefWindowProcW).
    ASSERT_FALSE(a.seen.empty());
    EXPECT_EQ(a.seen.front(), static_cast<UINT>(WM_NCCREATE));
    ::DestroyWindow(ha);
    EXPECT_EQ(a.destroyed, 1);
    EXPECT_EQ(a.handleAtDestroyed, nullptr);
    EXPECT_EQ(a.userDataAtDestroyed, 0);
    EXPECT_EQ(a.GetHWND(), nullptr);
    EXPECT_EQ(std::count(a.seen.begin(), a.seen.end(), static_cast<UINT>(WM_NCDESTROY)), 0);
}

TEST(ShadowWindow, CountdownTimerIsKilledAfterItsTicks)
{
    Shadow s;
    ASSERT_NE(s.Create(nullptr, L"t", WS_POPUP, 0), nullptr);
    // A countdown of 0 stops the timer at its first tick instead of wrapping around.
    ::SetTimer(s.GetHWND(), CShadowWindowWnd::kCountdownTimer, 10, nullptr);
    PumpUntil([&] { return s.Timers() >= 1; }, 1000);
    EXPECT_FALSE(TimerFires(s.GetHWND()));
    // Three further ticks, then no more.
    s.seen.clear();
    s.SetCountdown(3);
    ::SetTimer(s.GetHWND(), CShadowWindowWnd::kCountdownTimer, 10, nullptr);
    PumpUntil([&] { return s.Timers() >= 3; }, 2000);
    EXPECT_FALSE(TimerFires(s.GetHWND()));
    EXPECT_EQ(s.Timers(), 3);
}

TEST(ShadowWindow, SubclassDestroysItselfInsideAMessage)
{
    GuardedScope guard;
    auto* s = new Shadow();
    s->deleteOnDestroy = true;
    const HWND hWnd = s->Create(nullptr, L"d", WS_POPUP, 0);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, kDestroyYourself, 0, 0), 5);
    EXPECT_FALSE(::IsWindow(hWnd));
    Drain();
}
