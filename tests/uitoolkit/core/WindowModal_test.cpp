// The window base's modal loop on real windows: the result of Close, WM_QUIT, a window destroyed
// inside the loop, and the owners disabled meanwhile and restored afterwards.
#include <gtest/gtest.h>

#include "WindowWndProbe.h"
#include "uitoolkit/core/WindowWnd.h"

using namespace SkinUI;
using namespace windowwnd_probe;

namespace {

struct ModalFixture {
    OwnWnd outer;   // owner of the owner, hidden at the start
    OwnWnd owner;
    OwnWnd* dialog = new OwnWnd;  // deletes itself when its window goes

    bool Open()
    {
        if (CreatePopup(outer, nullptr, 10, 10, 300, 200) == nullptr)
            return false;
        if (CreatePopup(owner, outer.GetHWND(), 20, 20, 300, 200, WS_POPUP | WS_VISIBLE) == nullptr)
            return false;
        dialog->deleteSelf = true;
        return CreatePopup(*dialog, owner.GetHWND(), 0, 0, 100, 60) != nullptr;
    }
};

} // namespace

TEST(WindowWndModal, CloseFromATimerEndsTheLoopWithItsCodeAndOwnersAreRestored)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    HWND dialogWnd = f.dialog->GetHWND();
    bool ownerEnabledInside = true, outerEnabledInside = true, outerShownInside = false;
    int sentCloses = 0;
    OwnWnd* dialog = f.dialog;
    dialog->onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_CLOSE) {
            ++sentCloses;  // a sent WM_CLOSE: eaten here, the loop goes on
            return true;
        }
        if (m == WM_TIMER && w == 1) {
            ::KillTimer(dialogWnd, 1);
            ownerEnabledInside = ::IsWindowEnabled(f.owner.GetHWND()) != FALSE;
            outerEnabledInside = ::IsWindowEnabled(f.outer.GetHWND()) != FALSE;
            outerShownInside = ::IsWindowVisible(f.outer.GetHWND()) != FALSE;
            ::SendMessageW(dialogWnd, WM_CLOSE, 0, 99);
            dialog->Close(7);
            return true;
        }
        return false;
    };
    ::SetTimer(dialogWnd, 1, 30, nullptr);
    const UINT result = f.dialog->ShowModal();

    EXPECT_EQ(result, 7u);
    EXPECT_EQ(sentCloses, 1);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_FALSE(outerEnabledInside);
    EXPECT_TRUE(outerShownInside);  // hidden owners are shown
    EXPECT_TRUE(::IsWindowEnabled(f.owner.GetHWND()));
    EXPECT_TRUE(::IsWindowEnabled(f.outer.GetHWND()));
    EXPECT_FALSE(::IsWindow(dialogWnd));  // destroyed on return (and the object deleted itself)
}

TEST(WindowWndModal, QuitEndsTheLoopWithZeroAndIsPostedAgain)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    HWND dialogWnd = f.dialog->GetHWND();
    f.dialog->onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER && w == 1) {
            ::KillTimer(dialogWnd, 1);
            ::PostQuitMessage(3);
            return true;
        }
        return false;
    };
    ::SetTimer(dialogWnd, 1, 30, nullptr);
    EXPECT_EQ(f.dialog->ShowModal(), 0u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(::IsWindowEnabled(f.owner.GetHWND()));
}

TEST(WindowWndModal, WindowDestroyedInsideTheLoopEndsItWithZero)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    HWND dialogWnd = f.dialog->GetHWND();
    f.dialog->onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER && w == 1) {
            ::KillTimer(dialogWnd, 1);
            ::DestroyWindow(dialogWnd);  // a handler (or Alt+F4) destroys the dialog; it deletes itself
            return true;
        }
        return false;
    };
    ::SetTimer(dialogWnd, 1, 30, nullptr);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(f.dialog->ShowModal(), 0u);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_TRUE(::IsWindowEnabled(f.owner.GetHWND()));
    EXPECT_TRUE(::IsWindowEnabled(f.outer.GetHWND()));
}

TEST(WindowWndModal, DefaultCloseDestroysTheWindowAndEndsTheLoop)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    HWND dialogWnd = f.dialog->GetHWND();
    f.dialog->onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER && w == 1) {
            ::KillTimer(dialogWnd, 1);
            ::SendMessageW(dialogWnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // system menu "Close"
            return true;
        }
        return false;
    };
    ::SetTimer(dialogWnd, 1, 30, nullptr);
    EXPECT_EQ(f.dialog->ShowModal(), 0u);
    EXPECT_FALSE(::IsWindow(dialogWnd));
    EXPECT_TRUE(::IsWindowEnabled(f.owner.GetHWND()));
}

TEST(WindowWndModal, WithoutAWindowReturnsAtOnceAndLeavesOwnersAlone)
{
    OwnWnd owner;
    ASSERT_NE(CreatePopup(owner), nullptr);
    OwnWnd none;
    EXPECT_EQ(none.ShowModal(), 0u);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
}

