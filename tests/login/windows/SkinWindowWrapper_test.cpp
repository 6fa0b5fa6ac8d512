// The dialog base on real windows: the message router's order, hit testing of the caption band,
// the round-corner region, PressControl, a skin that cannot be built, self-deletion, control
// timers that reach the host although the dialog swallows WM_TIMER, and the factory's tags.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/GuardedHeap.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "login/windows/SkinWindowWrapper.h"
#include "uitoolkit/controls/custom/CheckButtonUI.h"
#include "uitoolkit/controls/custom/ComboExUI.h"
#include "uitoolkit/controls/custom/EditExUI.h"
#include "uitoolkit/controls/custom/GifAnimUI.h"
#include "uitoolkit/controls/custom/HotKeyEditUI.h"
#include "uitoolkit/controls/custom/PngAnimUI.h"
#include "uitoolkit/controls/custom/TabBodyUI.h"
#include "uitoolkit/controls/custom/TabUI.h"
#include "uitoolkit/controls/custom/HoverLabel.h"
#include "uitoolkit/controls/custom/ListControl.h"
#include "uitoolkit/controls/custom/VerticalLayoutExUI.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/GdiObject.h"

using namespace SkinUI;

namespace {

constexpr UINT kTakenByDialog = WM_APP + 1;
constexpr UINT kLeftToHost = WM_APP + 2;
constexpr UINT_PTR kDialogTimer = 77;

// Caption band 0..30 with margins 5 and 6; a label, a button, an extended edit and a probe in it.
constexpr wchar_t kSkin[] =
    L"<Window size=\"200,120\" caption=\"5,0,6,30\" roundcorner=\"8,8\">"
    L"<VerticalLayout name=\"root\"><HorizontalLayout height=\"30\">"
    L"<Label name=\"title\" width=\"50\" padding=\"5,0,0,0\" />"
    L"<Button name=\"button\" width=\"50\" />"
    L"<EditEx name=\"edit\" width=\"40\" /><Probe name=\"other\" width=\"40\" />"
    L"</HorizontalLayout><Probe name=\"body\" /></VerticalLayout></Window>";

// A probe that also records what reaches HandleEvent directly.
class PressProbe : public kit::ProbeControl {
public:
    PressProbe() : ProbeControl(L"") {}
    void HandleEvent(ControlEvent& event) override { handled.push_back(event); }
    std::vector<ControlEvent> handled;
};

class TestDialog : public CSkinWindowWrapper {
public:
    explicit TestDialog(const wchar_t* skin, int* deletions = nullptr) : m_deletions(deletions)
    {
        m_skin = skin;
        m_className = L"OmbrelSkinWindowTest";
        m_classStyle = CS_DBLCLKS;
        m_host.ReserveTimerId(kDialogTimer);
    }
    ~TestDialog() override
    {
        if (m_deletions != nullptr) ++*m_deletions;
    }
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        return std::wstring(tag) == L"Probe" ? new PressProbe() : CSkinWindowWrapper::CreateControl(tag);
    }
    void Notify(NotifyMessage& msg) override
    {
        if (onNotify) onNotify(msg);
    }
    LRESULT HandleCustomMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        custom.push_back(message);
        handled = message == kTakenByDialog;
        return handled ? 42 : 0;
    }
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, bool& handled) override
    {
        dialogTimers.push_back(wParam);
        handled = swallowTimers;
        return 0;
    }
    void InitWindow() override { ++inits; }
    PressProbe* Probe(const wchar_t* name) { return static_cast<PressProbe*>(m_host.FindControlByName(name)); }

    std::vector<UINT> custom;
    std::vector<WPARAM> dialogTimers;
    std::function<void(NotifyMessage&)> onNotify;
    bool swallowTimers = true;
    int inits = 0;

private:
    int* m_deletions;
};

// Records the messages that reach the host.
class HostSeen : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool&) override
    {
        seen.push_back(message);
        return 0;
    }
    bool Saw(UINT message) const { return std::find(seen.begin(), seen.end(), message) != seen.end(); }
    std::vector<UINT> seen;
};

class SkinWindowTest : public kit::GuardedTest {
protected:
    void SetUp() override
    {
        kit::GuardedTest::SetUp();
        dialog = new TestDialog(kSkin, &deletions);
        hwnd = dialog->Create(nullptr, L"dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
        ASSERT_NE(hwnd, nullptr);
        ::SetWindowPos(hwnd, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog->GetHost().AddMessageFilter(&host);
        kit::PumpUntil([&] { return !::IsRectEmpty(&dialog->Probe(L"body")->GetPos()); }, 2000);
    }
    void TearDown() override
    {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
        EXPECT_EQ(deletions, 1);
        kit::GuardedTest::TearDown();
    }
    LRESULT HitTest(int x, int y) { return ::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(50 + x, 50 + y)); }

    TestDialog* dialog = nullptr;
    HWND hwnd = nullptr;
    HostSeen host;
    int deletions = 0;
};

} // namespace

TEST_F(SkinWindowTest, CreatedFromTheSkinWithoutCaptionAndRoutesMessagesInOrder)
{
    EXPECT_EQ(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    EXPECT_EQ(kit::Text(SIZE{rc.right - rc.left, rc.bottom - rc.top}), "200,120");
    EXPECT_EQ(dialog->inits, 1);
    EXPECT_EQ(dialog->GetHost().GetRoot(), dialog->GetHost().FindControlByName(L"root"));
    // Taken by the subclass: the host never sees it.
    EXPECT_EQ(::SendMessageW(hwnd, kTakenByDialog, 0, 0), 42);
    EXPECT_FALSE(host.Saw(kTakenByDialog));
    // Left alone: subclass, then host.
    ::SendMessageW(hwnd, kLeftToHost, 0, 0);
    EXPECT_EQ(dialog->custom.back(), kLeftToHost);
    EXPECT_TRUE(host.Saw(kLeftToHost));
    // WM_SIZE is left unhandled by OnSize: subclass and host see it too.
    ::SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(200, 120));
    EXPECT_EQ(dialog->custom.back(), static_cast<UINT>(WM_SIZE));
    EXPECT_TRUE(host.Saw(WM_SIZE));
    // A timer the dialog takes goes no further; one it leaves goes on to both.
    host.seen.clear();
    ::SendMessageW(hwnd, WM_TIMER, kDialogTimer, 0);
    EXPECT_FALSE(host.Saw(WM_TIMER));
    dialog->swallowTimers = false;
    ::SendMessageW(hwnd, WM_TIMER, kDialogTimer, 0);
    EXPECT_TRUE(host.Saw(WM_TIMER));
    EXPECT_EQ(dialog->custom.back(), static_cast<UINT>(WM_TIMER));
    // Non-client activation: TRUE when deactivating.
    EXPECT_EQ(::SendMessageW(hwnd, WM_NCACTIVATE, 0, 0), TRUE);
    EXPECT_EQ(::SendMessageW(hwnd, WM_NCACTIVATE, 1, 0), FALSE);
    // Control timers reach the host past the dialog's OnTimer, which never sees them.
    dialog->dialogTimers.clear();
    dialog->swallowTimers = true;
    PressProbe* body = dialog->Probe(L"body");
    int ticks = 0;
    body->EventDelegates += MakeDelegate([&](void* p) {
        return ticks += static_cast<ControlEvent*>(p)->type == kEventTimer, true;
    });
    ASSERT_TRUE(dialog->GetHost().SetTimer(body, 3, 10));
    EXPECT_TRUE(kit::PumpUntil([&] { return ticks >= 2; }, 2000));
    EXPECT_TRUE(dialog->dialogTimers.empty());
}

TEST_F(SkinWindowTest, HitTestingTheCaptionBand)
{
    dialog->Probe(L"other")->SetClass(L"editexui");  // classes compare exactly
    const struct {
        int x, y;
        LRESULT expected;
    } cases[] = {
        {2, 10, HTCLIENT},     // within the left margin
        {196, 10, HTCLIENT},   // within the right margin
        {20, 10, HTCAPTION},   // label
        {70, 10, HTCLIENT},    // button
        {120, 10, HTCLIENT},   // extended edit
        {160, 10, HTCAPTION},  // another class
        {20, 40, HTCLIENT},    // below the band
    };
    for (const auto& c : cases) EXPECT_EQ(HitTest(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST_F(SkinWindowTest, RoundCornerRegionFollowsTheSize)
{
    auto regionBox = [&] {
        CGdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
        RECT box{};
        if (::GetWindowRgn(hwnd, rgn.Get()) == ERROR) return std::string("none");
        ::GetRgnBox(rgn.Get(), &box);
        return kit::Text(box) + (::PtInRegion(rgn.Get(), 0, 0) ? " corner" : " round");
    };
    EXPECT_EQ(regionBox(), "0,0,200,120 round");
    ::SetWindowPos(hwnd, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(regionBox(), "0,0,260,150 round");
    // A minimised window keeps its region.
    ::ShowWindow(hwnd, SW_MINIMIZE);
    if (::IsIconic(hwnd)) {
        EXPECT_EQ(regionBox(), "0,0,260,150 round");
    }
}

TEST_F(SkinWindowTest, PressControlFocusesAndDoubleClicksTheCentre)
{
    PressProbe* other = dialog->Probe(L"other");
    other->SetKeyboardEnabled(true);
    dialog->PressControl(nullptr);
    dialog->PressControl(other);
    EXPECT_EQ(dialog->GetHost().GetFocus(), other);
    // Focus first, then the double click.
    ASSERT_EQ(other->handled.size(), 2u);
    EXPECT_EQ(other->handled[0].type, kEventSetFocus);
    const RECT& rc = other->GetPos();
    const ControlEvent& e = other->handled[1];
    EXPECT_EQ(e.type, kEventDblClick);
    EXPECT_EQ(kit::Text(SIZE{e.point.x, e.point.y}),
              kit::Text(SIZE{rc.left + (rc.right - rc.left) / 2, rc.top + (rc.bottom - rc.top) / 2}));
    EXPECT_EQ(e.sender, nullptr);
    EXPECT_EQ(e.timestamp, 0u);
}

TEST_F(SkinWindowTest, ClickThatDestroysTheWindowDeletesTheDialogOnce)
{
    dialog->onNotify = [&](NotifyMessage& msg) {
        if (msg.type == L"click") ::DestroyWindow(hwnd);
    };
    const RECT rc = dialog->GetHost().FindControlByName(L"button")->GetPos();
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
    kit::PumpUntil([&] { return deletions > 0; }, 2000);
    EXPECT_FALSE(::IsWindow(hwnd));
    kit::Pump(50);
}

// Deleted with its window open, or by the final message of a creation that fails (a skin that
// cannot be built), the dialog goes once and nothing touches it after.
TEST(SkinWindow, DeletedOnceWithItsWindowOrWhenTheSkinCannotBeBuilt)
{
    kit::GuardedScope guard;
    int deletions = 0;
    auto* open = new TestDialog(kSkin, &deletions);
    const HWND hwnd = open->Create(nullptr, L"d", WS_POPUP, 0);
    ASSERT_NE(hwnd, nullptr);
    delete open;
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(deletions, 1);
    const wchar_t* unbuildable[] = {nullptr, L"<Window><Broken", L"<Window size=\"10,10\"></Window>",
                                    L"missing-skin-file.xml"};
    for (const wchar_t* skin : unbuildable) {
        deletions = 0;
        EXPECT_EQ((new TestDialog(skin, &deletions))->Create(nullptr, L"d", WS_POPUP, 0), nullptr);
        EXPECT_EQ(deletions, 1);
    }
}

template <class T>
bool Is(CControlUI* control)
{
    return dynamic_cast<T*>(control) != nullptr;
}

TEST(DialogFactory, TagsAreExactAndCaseSensitive)
{
    TestDialog factory(kSkin);
    const std::pair<const wchar_t*, bool (*)(CControlUI*)> cases[] = {
        {L"Tab", &Is<CTabUI>}, {L"TabBody", &Is<CTabBodyUI>}, {L"CheckButton", &Is<CCheckButtonUI>},
        {L"HoverLabel", &Is<CHoverLabel>}, {L"ComboEx", &Is<CComboExUI>}, {L"ListControl", &Is<CListControl>},
        {L"HotKeyEdit", &Is<CHotKeyEditUI>}, {L"EditEx", &Is<CEditExUI>}, {L"VerticalLayoutEx", &Is<CVerticalLayoutExUI>},
        {L"WebBrowser", &Is<CWebBrowserUI>}, {L"GifAnim", &Is<CGifAnimUI>}, {L"PngAnim", &Is<CPngAnimUI>},
        {L"Probe", &Is<PressProbe>},  // the test's own
        {L"tab", nullptr}, {L"webbrowser", nullptr}, {L"editex", nullptr}, {L"checkbutton", nullptr},
        {L"WebBrowser ", nullptr}, {L"Button", nullptr}, {L"", nullptr},  // null: not one of the program's tags
    };
    for (const auto& [tag, is] : cases) {
        std::unique_ptr<CControlUI> control(factory.CreateControl(tag));
        EXPECT_TRUE(is == nullptr ? control == nullptr : control != nullptr && is(control.get()))
            << testing::PrintToString(std::wstring(tag));
    }
    EXPECT_EQ(factory.CSkinWindowWrapper::CreateControl(nullptr), nullptr);
}
