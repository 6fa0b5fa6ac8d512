// The window base: class registration, binding the object to its window, destruction, the owner
// hook, centring and resizing, on real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "WindowWndProbe.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "uitoolkit/core/WindowWnd.h"

using namespace SkinUI;
using namespace windowwnd_probe;

TEST(WindowWnd, OwnClassBindsThroughUserDataAndUnbindsBeforeDestroyedCallback)
{
    OwnWnd a;
    HWND h = CreatePopup(a);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(a.GetHWND(), h);
    EXPECT_EQ(::GetWindowLongPtrW(h, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
    EXPECT_EQ(::GetPropW(h, L"WndX"), nullptr);

    // A second object of the same class finds the class registered.
    OwnWnd b;
    HWND h2 = CreatePopup(b);
    ASSERT_NE(h2, nullptr);
    EXPECT_NE(h2, h);

    a.Destroy();
    EXPECT_EQ(a.destroyedCalls, 1);
    EXPECT_EQ(a.destroyedArg, h);
    EXPECT_EQ(a.handleDuringDestroyed, nullptr);
    EXPECT_EQ(a.userDataDuringDestroyed, 0);
    EXPECT_EQ(a.GetHWND(), nullptr);
    EXPECT_FALSE(::IsWindow(h));

    // Nothing happens without a window.
    a.Destroy();
    a.Close(3);
    a.ShowWindow(true);
    EXPECT_EQ(a.destroyedCalls, 1);

    // The object can bind a new window afterwards.
    ASSERT_NE(CreatePopup(a), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(a.GetHWND(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
}

TEST(WindowWnd, MessagesReachProcessMessageAndDestructorDestroysTheWindow)
{
    HWND h = nullptr;
    std::vector<UINT> seen;
    {
        OwnWnd w;
        w.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
            seen.push_back(m);
            return false;
        };
        h = CreatePopup(w);
        ASSERT_NE(h, nullptr);
        ::SendMessageW(h, WM_USER + 5, 0, 0);
    }
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_NCCREATE));  // bound from WM_NCCREATE on
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_USER + 5)), seen.end());
}

TEST(WindowWnd, ObjectMayDeleteItselfWhenItsWindowIsDestroyed)
{
    bool deleted = false;
    auto* w = new OwnWnd;
    w->deleteSelf = true;
    w->deletedFlag = &deleted;
    HWND h = CreatePopup(*w);
    ASSERT_NE(h, nullptr);
    ::DestroyWindow(h);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(h));
}

TEST(WindowWnd, SuperclassKeepsTheObjectInWndXAndTheBaseBehaviour)
{
    EditWnd edit;
    HWND h = CreatePopup(edit);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(::GetPropW(h, L"WndX"), static_cast<HANDLE>(&edit));
    EXPECT_NE(::GetWindowLongPtrW(h, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&edit));
    wchar_t className[64] = {};
    ::GetClassNameW(h, className, 64);
    EXPECT_STREQ(className, L"OmbrelTestEditWnd");

    // The edit's own procedure handles what the object leaves alone.
    ::SetWindowTextW(h, L"typed");
    wchar_t text[32] = {};
    ::GetWindowTextW(h, text, 32);
    EXPECT_STREQ(text, L"typed");
    EXPECT_EQ(::SendMessageW(h, EM_GETLIMITTEXT, 0, 0) > 0, true);

    edit.Destroy();
    EXPECT_EQ(edit.destroyedCalls, 1);
    EXPECT_EQ(edit.propDuringDestroyed, nullptr);
    EXPECT_EQ(edit.GetHWND(), nullptr);

    // A second superclassed window finds the class registered.
    EditWnd second;
    EXPECT_NE(CreatePopup(second), nullptr);
}

TEST(WindowWnd, CreateFailsForAnUnknownSuperclassBase)
{
    NoSuchBaseWnd w;
    EXPECT_EQ(CreatePopup(w), nullptr);
    EXPECT_EQ(w.GetHWND(), nullptr);
}

namespace {
LRESULT CALLBACK PassThroughProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
} // namespace

TEST(WindowWnd, SubclassedWindowGetsItsProcedureBackOnDestruction)
{
    OwnWnd w;
    HWND h = CreatePopup(w);
    ASSERT_NE(h, nullptr);
    // Pretend the object had subclassed the window: its saved procedure is the one to restore.
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(h, GWLP_WNDPROC));
    w.MarkSubclassed(PassThroughProc);
    w.Unsubclass();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(h, GWLP_WNDPROC)), PassThroughProc);
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(current));
    // Unsubclass without the flag changes nothing.
    w.Unsubclass();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(h, GWLP_WNDPROC)), current);
}

TEST(WindowWnd, OwnerHookFollowsShowAndClose)
{
    OwnWnd owner;
    ASSERT_NE(CreatePopup(owner, nullptr, 10, 10, 200, 100, WS_POPUP | WS_VISIBLE), nullptr);
    OwnWnd child;
    ASSERT_NE(CreatePopup(child, owner.GetHWND()), nullptr);
    child.HookOwners(true);

    ::ShowWindow(child.GetHWND(), SW_SHOW);
    EXPECT_FALSE(::IsWindowEnabled(owner.GetHWND()));
    ::ShowWindow(child.GetHWND(), SW_HIDE);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    ::ShowWindow(child.GetHWND(), SW_SHOW);
    ::ShowWindow(owner.GetHWND(), SW_HIDE);
    // Closing (the default procedure then destroys the window) shows and enables the owner.
    child.SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(child.GetHWND()));
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    EXPECT_TRUE(::IsWindowVisible(owner.GetHWND()));

    // Without the hook nothing follows.
    OwnWnd plain;
    ASSERT_NE(CreatePopup(plain, owner.GetHWND()), nullptr);
    ::ShowWindow(plain.GetHWND(), SW_SHOW);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
}

// ---- geometry -----------------------------------------------------------------------------------

TEST(WindowWndGeometry, CentresOnAVisibleOwnerAndInTheWorkAreaWithout)
{
    const RECT work = WorkArea();
    const int workX = (work.left + work.right) / 2, workY = (work.top + work.bottom) / 2;
    const auto topLeft = [](const CWindowWnd& w) {
        const RECT rc = WindowRect(w.GetHWND());
        return kit::Text(SIZE{rc.left, rc.top});
    };
    OwnWnd owner;
    ASSERT_NE(CreatePopup(owner, nullptr, 200, 150, 400, 300, WS_POPUP | WS_VISIBLE), nullptr);
    OwnWnd w;
    ASSERT_NE(CreatePopup(w, owner.GetHWND(), 0, 0, 100, 50), nullptr);
    w.CenterWindow();
    EXPECT_EQ(topLeft(w), kit::Text(SIZE{(200 + 600) / 2 - 50, (150 + 450) / 2 - 25}));
    EXPECT_EQ(WindowRect(w.GetHWND()).right - WindowRect(w.GetHWND()).left, 100);

    // A hidden owner is no reference: the owner monitor's work area is.
    ::ShowWindow(owner.GetHWND(), SW_HIDE);
    w.CenterWindow();
    EXPECT_EQ(topLeft(w), kit::Text(SIZE{workX - 50, workY - 25}));

    // An owner near the edge: clamped into the work area.
    ::SetWindowPos(owner.GetHWND(), nullptr, work.left - 350, work.top - 250, 400, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    w.CenterWindow();
    EXPECT_EQ(topLeft(w), kit::Text(SIZE{work.left, work.top}));

    OwnWnd free;
    ASSERT_NE(CreatePopup(free, nullptr, 0, 0, 120, 80), nullptr);
    free.CenterWindow();
    EXPECT_EQ(topLeft(free), kit::Text(SIZE{workX - 60, workY - 40}));

    // Larger than the work area: aligned to its left and top edges.
    OwnWnd huge;
    ASSERT_NE(CreatePopup(huge, nullptr, 0, 0, work.right - work.left + 200, work.bottom - work.top + 100), nullptr);
    huge.CenterWindow();
    EXPECT_EQ(topLeft(huge), kit::Text(SIZE{work.left, work.top}));
}

TEST(WindowWndGeometry, ResizeClientKeepsTheOtherDimension)
{
    const auto client = [](const CWindowWnd& w) {
        RECT rc = {};
        ::GetClientRect(w.GetHWND(), &rc);
        return kit::Text(SIZE{rc.right, rc.bottom});
    };
    OwnWnd w;
    ASSERT_NE(w.Create(nullptr, L"t", WS_OVERLAPPEDWINDOW, 0, 50, 50, 300, 250), nullptr);
    RECT before = {};
    ::GetClientRect(w.GetHWND(), &before);
    w.ResizeClient(-1, 200);
    EXPECT_EQ(client(w), kit::Text(SIZE{before.right, 200}));
    w.ResizeClient(150, -1);
    EXPECT_EQ(client(w), "150,200");

    OwnWnd plain;
    ASSERT_NE(CreatePopup(plain), nullptr);
    plain.ResizeClient(90, 40);
    EXPECT_EQ(client(plain), "90,40");
}
