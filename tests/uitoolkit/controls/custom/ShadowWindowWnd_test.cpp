// The dialogs' window base: its own class and procedure, binding through the user data from
// WM_NCCREATE to WM_NCDESTROY, Create ignoring place and size, focus, the countdown timer, and a
// subclass that destroys its window (and itself) inside a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/custom/ShadowWindowWnd.h"

using namespace SkinUI;

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
        if (deleteOnDestroy) delete this;
    }
    void SetCountdown(UINT n) { m_countdown = n; }
    UINT Countdown() const { return m_countdown; }

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
    const DWORD end = ::GetTickCount() + 300;
    while (::GetTickCount() < end) {
        if (::PeekMessageW(&msg, hWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE)) return true;
        kit::Pump(10);
    }
    return false;
}

} // namespace

TEST(ShadowWindow, ClassBindingAndUnbinding)
{
    Shadow a, b;
    const HWND ha = a.Create(nullptr, L"a", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, 10, 20, 30, 40);
    ASSERT_NE(ha, nullptr);
    // The second object finds the class registered.
    const HWND hb = b.Create(nullptr, L"b", WS_POPUP, 0);
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
    kit::PumpUntil([&] { return std::count(s.seen.begin(), s.seen.end(), static_cast<UINT>(WM_TIMER)) >= 1; }, 1000);
    EXPECT_FALSE(TimerFires(s.GetHWND()));
    EXPECT_EQ(s.Countdown(), 0u);
    // Three further ticks, then no more.
    s.seen.clear();
    s.SetCountdown(3);
    ::SetTimer(s.GetHWND(), CShadowWindowWnd::kCountdownTimer, 10, nullptr);
    kit::PumpUntil([&] { return std::count(s.seen.begin(), s.seen.end(), static_cast<UINT>(WM_TIMER)) >= 3; }, 2000);
    EXPECT_FALSE(TimerFires(s.GetHWND()));
    EXPECT_EQ(std::count(s.seen.begin(), s.seen.end(), static_cast<UINT>(WM_TIMER)), 3);
}

TEST(ShadowWindow, SubclassDestroysItselfInsideAMessage)
{
    kit::GuardedScope guard;
    auto* s = new Shadow();
    s->deleteOnDestroy = true;
    const HWND hWnd = s->Create(nullptr, L"d", WS_POPUP, 0);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, kDestroyYourself, 0, 0), 5);
    EXPECT_FALSE(::IsWindow(hWnd));
    kit::Drain();
}
