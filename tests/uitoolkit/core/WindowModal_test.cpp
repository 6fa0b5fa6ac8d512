// The window base's modal loop on real windows: the result of Close, WM_QUIT, a window destroyed
// inside the loop, and the owners disabled meanwhile and restored afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "WindowWndProbe.h"
#include "uitoolkit/core/WindowWnd.h"

using namespace SkinUI;
using namespace windowwnd_probe;

namespace {

struct ModalFixture {
    OwnWnd outer;   // owner of the owner, hidden at the start
    OwnWnd owner;
    OwnWnd* dialog = new OwnWnd;  // deletes itself when its window goes
    HWND dialogWnd = nullptr;

    bool Open()
    {
        if (CreatePopup(outer, nullptr, 10, 10, 300, 200) == nullptr)
            return false;
        if (CreatePopup(owner, outer.GetHWND(), 20, 20, 300, 200, WS_POPUP | WS_VISIBLE) == nullptr)
            return false;
        dialog->deleteSelf = true;
        return (dialogWnd = CreatePopup(*dialog, owner.GetHWND(), 0, 0, 100, 60)) != nullptr;
    }
    // Runs the modal loop; once it runs, a timer does `inside`.
    UINT ShowModalAndThen(const std::function<void()>& inside)
    {
        const auto previous = dialog->onMessage;
        dialog->onMessage = [this, inside, previous](UINT m, WPARAM w, LPARAM l, LRESULT& result) {
            if (m != WM_TIMER || w != 1)
                return previous && previous(m, w, l, result);
            ::KillTimer(dialogWnd, 1);
            inside();
            return true;
        };
        ::SetTimer(dialogWnd, 1, 30, nullptr);
        return dialog->ShowModal();
    }
    bool OwnersEnabled() const
    {
        return ::IsWindowEnabled(owner.GetHWND()) && ::IsWindowEnabled(outer.GetHWND());
    }
};

} // namespace

TEST(WindowWndModal, CloseFromATimerEndsTheLoopWithItsCodeAndOwnersAreRestored)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    bool ownerEnabledInside = true, outerEnabledInside = true, outerShownInside = false;
    int sentCloses = 0;
    f.dialog->onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
        sentCloses += m == WM_CLOSE;  // a sent WM_CLOSE: eaten here, the loop goes on
        return m == WM_CLOSE;
    };
    OwnWnd* dialog = f.dialog;
    const UINT result = f.ShowModalAndThen([&] {
        ownerEnabledInside = ::IsWindowEnabled(f.owner.GetHWND()) != FALSE;
        outerEnabledInside = ::IsWindowEnabled(f.outer.GetHWND()) != FALSE;
        outerShownInside = ::IsWindowVisible(f.outer.GetHWND()) != FALSE;
        ::SendMessageW(f.dialogWnd, WM_CLOSE, 0, 99);
        dialog->Close(7);
    });
    EXPECT_EQ(result, 7u);
    EXPECT_EQ(sentCloses, 1);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_FALSE(outerEnabledInside);
    EXPECT_TRUE(outerShownInside);  // hidden owners are shown
    EXPECT_TRUE(f.OwnersEnabled());
    EXPECT_FALSE(::IsWindow(f.dialogWnd));  // destroyed on return (and the object deleted itself)
}

TEST(WindowWndModal, QuitEndsTheLoopWithZeroAndIsPostedAgain)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    EXPECT_EQ(f.ShowModalAndThen([] { ::PostQuitMessage(3); }), 0u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(f.OwnersEnabled());
}

TEST(WindowWndModal, WindowDestroyedOrClosedInsideTheLoopEndsItWithZero)
{
    {
        ModalFixture f;  // a handler (or Alt+F4) destroys the dialog; it deletes itself
        ASSERT_TRUE(f.Open());
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(f.ShowModalAndThen([&] { ::DestroyWindow(f.dialogWnd); }), 0u);
        EXPECT_LT(::GetTickCount() - start, 5000u);
        EXPECT_TRUE(f.OwnersEnabled());
    }
    {
        ModalFixture f;  // the system menu's "Close": the default handling destroys the window
        ASSERT_TRUE(f.Open());
        EXPECT_EQ(f.ShowModalAndThen([&] { ::SendMessageW(f.dialogWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }), 0u);
        EXPECT_FALSE(::IsWindow(f.dialogWnd));
        EXPECT_TRUE(f.OwnersEnabled());
    }
}

TEST(WindowWndModal, WithoutAWindowReturnsAtOnceAndLeavesOwnersAlone)
{
    OwnWnd owner;
    ASSERT_NE(CreatePopup(owner), nullptr);
    OwnWnd none;
    EXPECT_EQ(none.ShowModal(), 0u);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
}
