// The window base on real windows: class registration, binding the object to its window,
// destruction, the superclassed and subclassed kinds, the owner hook, centring and resizing, and
// the modal loop (the result of Close, WM_QUIT, a window destroyed inside the loop, the owners
// disabled meanwhile and restored afterwards).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "kit/Text.h"
#include "uitoolkit/core/WindowWnd.h"

using namespace SkinUI;

namespace {

// A window of an own class that records what the base tells it.
class OwnWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClass() const override { return L"OmbrelTestOwnWnd"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (message == WM_TIMER && wParam == 1 && onTimer) {
            ::KillTimer(m_hWnd, 1);
            onTimer();
            return 0;
        }
        if (onMessage && onMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    }
    void OnWindowDestroyed(HWND hWnd) override
    {
        ++destroyedCalls;
        // The window, the object's handle and the user data while the object hears of the end.
        seenAtDestroyed = {hWnd, m_hWnd, reinterpret_cast<HWND>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA))};
        CWindowWnd::OnWindowDestroyed(hWnd);
        if (deleteSelf)
            delete this;
    }
    ~OwnWnd() override
    {
        if (deletedFlag != nullptr)
            *deletedFlag = true;
    }
    void MarkSubclassed(WNDPROC previous)
    {
        m_oldWndProc = previous;
        SetSubclassed(true);
    }
    using CWindowWnd::SetOwnerHook;

    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;
    std::function<void()> onTimer;  // timer 1, which the modal tests start
    int destroyedCalls = 0;
    std::vector<HWND> seenAtDestroyed;
    bool deleteSelf = false;
    bool* deletedFlag = nullptr;
};

// A superclass of the system's "Edit", or of a base that does not exist.
class EditWnd : public CWindowWnd {
public:
    explicit EditWnd(bool known = true) : m_known(known) {}
    const wchar_t* GetWindowClass() const override { return m_known ? L"OmbrelTestEditWnd" : L"OmbrelTestNoBase"; }
    const wchar_t* GetSuperclassBase() const override { return m_known ? L"Edit" : L"OmbrelNoSuchClassAnywhere"; }
    void OnWindowDestroyed(HWND hWnd) override
    {
        ++destroyedCalls;
        propAtDestroyed = ::GetPropW(hWnd, L"WndX");
        CWindowWnd::OnWindowDestroyed(hWnd);
    }
    int destroyedCalls = 0;
    HANDLE propAtDestroyed = reinterpret_cast<HANDLE>(1);

private:
    bool m_known;
};

HWND CreatePopup(CWindowWnd& wnd, HWND owner = nullptr, int x = 100, int y = 100, int w = 200, int h = 120,
                 DWORD style = WS_POPUP)
{
    return wnd.Create(owner, L"t", style, WS_EX_TOOLWINDOW, x, y, w, h);
}

// "left,top" of a window, or "width,height" of its client area.
std::string TopLeft(const CWindowWnd& w)
{
    RECT rc = {};
    ::GetWindowRect(w.GetHWND(), &rc);
    return kit::Text(SIZE{rc.left, rc.top});
}
std::string ClientSize(const CWindowWnd& w)
{
    RECT rc = {};
    ::GetClientRect(w.GetHWND(), &rc);
    return kit::Text(SIZE{rc.right, rc.bottom});
}

LRESULT CALLBACK PassThroughProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

} // namespace

TEST(WindowWnd, OwnClassBindsThroughUserDataAndUnbindsBeforeTheDestroyedCallback)
{
    OwnWnd a;
    std::vector<UINT> seen;
    a.onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) { seen.push_back(m); return false; };
    HWND h = CreatePopup(a);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(a.GetHWND(), h);
    EXPECT_EQ(::GetWindowLongPtrW(h, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
    EXPECT_EQ(::GetPropW(h, L"WndX"), nullptr);
    ::SendMessageW(h, WM_USER + 5, 0, 0);
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_NCCREATE));  // bound from WM_NCCREATE on
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_USER + 5)), seen.end());

    OwnWnd b;  // a second object of the same class finds the class registered
    HWND h2 = CreatePopup(b);
    ASSERT_NE(h2, nullptr);
    EXPECT_NE(h2, h);

    a.Destroy();
    EXPECT_EQ(a.destroyedCalls, 1);
    EXPECT_EQ(a.seenAtDestroyed, (std::vector<HWND>{h, nullptr, nullptr}));
    EXPECT_EQ(a.GetHWND(), nullptr);
    EXPECT_FALSE(::IsWindow(h));
    // Nothing happens without a window.
    a.Destroy();
    a.Close(3);
    a.ShowWindow(true);
    EXPECT_EQ(a.destroyedCalls, 1);
    // The object can bind a new window afterwards; its destructor destroys that window.
    ASSERT_NE(CreatePopup(a), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(a.GetHWND(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
    {
        OwnWnd scoped;
        h = CreatePopup(scoped);
    }
    EXPECT_FALSE(::IsWindow(h));

    // An object may delete itself when its window is destroyed.
    bool deleted = false;
    auto* self = new OwnWnd;
    self->deleteSelf = true;
    self->deletedFlag = &deleted;
    ::DestroyWindow(CreatePopup(*self));
    EXPECT_TRUE(deleted);
}

TEST(WindowWnd, SuperclassKeepsTheObjectInWndXAndTheBaseBehaviour)
{
    EditWnd edit;
    HWND h = CreatePopup(edit);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(::GetPropW(h, L"WndX"), static_cast<HANDLE>(&edit));
    EXPECT_NE(::GetWindowLongPtrW(h, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&edit));
    wchar_t text[64] = {};
    ::GetClassNameW(h, text, 64);
    EXPECT_STREQ(text, L"OmbrelTestEditWnd");
    // The edit's own procedure handles what the object leaves alone.
    ::SetWindowTextW(h, L"typed");
    ::GetWindowTextW(h, text, 64);
    EXPECT_STREQ(text, L"typed");
    EXPECT_GT(::SendMessageW(h, EM_GETLIMITTEXT, 0, 0), 0);

    edit.Destroy();
    EXPECT_EQ(edit.destroyedCalls, 1);
    EXPECT_EQ(edit.propAtDestroyed, nullptr);
    EXPECT_EQ(edit.GetHWND(), nullptr);
    EditWnd second;  // a second superclassed window finds the class registered
    EXPECT_NE(CreatePopup(second), nullptr);
    EditWnd unknown(false);  // an unknown base fails the creation
    EXPECT_EQ(CreatePopup(unknown), nullptr);
    EXPECT_EQ(unknown.GetHWND(), nullptr);
}

TEST(WindowWnd, SubclassedWindowGetsItsProcedureBack)
{
    OwnWnd w;
    HWND h = CreatePopup(w);
    ASSERT_NE(h, nullptr);
    // Pretend the object had subclassed the window: its saved procedure is the one to restore.
    const auto procedure = [&] { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(h, GWLP_WNDPROC)); };
    const WNDPROC current = procedure();
    w.MarkSubclassed(PassThroughProc);
    w.Unsubclass();
    EXPECT_EQ(procedure(), PassThroughProc);
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(current));
    w.Unsubclass();  // without the flag: nothing changes
    EXPECT_EQ(procedure(), current);
}

TEST(WindowWnd, OwnerHookFollowsShowAndClose)
{
    OwnWnd owner, child, plain;
    ASSERT_NE(CreatePopup(owner, nullptr, 10, 10, 200, 100, WS_POPUP | WS_VISIBLE), nullptr);
    ASSERT_NE(CreatePopup(child, owner.GetHWND()), nullptr);
    child.SetOwnerHook(true);
    ::ShowWindow(child.GetHWND(), SW_SHOW);
    EXPECT_FALSE(::IsWindowEnabled(owner.GetHWND()));
    ::ShowWindow(child.GetHWND(), SW_HIDE);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    ::ShowWindow(child.GetHWND(), SW_SHOW);
    ::ShowWindow(owner.GetHWND(), SW_HIDE);
    // Closing (the default procedure then destroys the window) shows and enables the owner.
    child.SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(child.GetHWND()));
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()) && ::IsWindowVisible(owner.GetHWND()));
    // Without the hook nothing follows.
    ASSERT_NE(CreatePopup(plain, owner.GetHWND()), nullptr);
    ::ShowWindow(plain.GetHWND(), SW_SHOW);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
}

TEST(WindowWnd, CentresOnAVisibleOwnerOrInTheWorkAreaAndResizesTheClient)
{
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int workX = (work.left + work.right) / 2, workY = (work.top + work.bottom) / 2;
    OwnWnd owner, w, free, huge;
    ASSERT_NE(CreatePopup(owner, nullptr, 200, 150, 400, 300, WS_POPUP | WS_VISIBLE), nullptr);
    ASSERT_NE(CreatePopup(w, owner.GetHWND(), 0, 0, 100, 50), nullptr);
    w.CenterWindow();
    EXPECT_EQ(TopLeft(w), kit::Text(SIZE{(200 + 600) / 2 - 50, (150 + 450) / 2 - 25}));
    EXPECT_EQ(ClientSize(w), "100,50");
    // A hidden owner is no reference: the owner monitor's work area is.
    ::ShowWindow(owner.GetHWND(), SW_HIDE);
    w.CenterWindow();
    EXPECT_EQ(TopLeft(w), kit::Text(SIZE{workX - 50, workY - 25}));
    // An owner near the edge: clamped into the work area.
    ::SetWindowPos(owner.GetHWND(), nullptr, work.left - 350, work.top - 250, 400, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    w.CenterWindow();
    EXPECT_EQ(TopLeft(w), kit::Text(SIZE{work.left, work.top}));
    ASSERT_NE(CreatePopup(free, nullptr, 0, 0, 120, 80), nullptr);
    free.CenterWindow();
    EXPECT_EQ(TopLeft(free), kit::Text(SIZE{workX - 60, workY - 40}));
    // Larger than the work area: aligned to its left and top edges.
    ASSERT_NE(CreatePopup(huge, nullptr, 0, 0, work.right - work.left + 200, work.bottom - work.top + 100), nullptr);
    huge.CenterWindow();
    EXPECT_EQ(TopLeft(huge), kit::Text(SIZE{work.left, work.top}));

    // Resizing the client keeps the dimension given as -1, with a frame and without.
    OwnWnd framed;
    ASSERT_NE(framed.Create(nullptr, L"t", WS_OVERLAPPEDWINDOW, 0, 50, 50, 300, 250), nullptr);
    const std::string before = ClientSize(framed);
    framed.ResizeClient(-1, 200);
    EXPECT_EQ(ClientSize(framed), before.substr(0, before.find(',')) + ",200");
    framed.ResizeClient(150, -1);
    EXPECT_EQ(ClientSize(framed), "150,200");
    free.ResizeClient(90, 40);
    EXPECT_EQ(ClientSize(free), "90,40");
}

// ---- the modal loop -----------------------------------------------------------------------------

namespace {

struct ModalFixture {
    OwnWnd outer;  // owner of the owner, hidden at the start
    OwnWnd owner;
    OwnWnd* dialog = new OwnWnd;  // deletes itself when its window goes
    HWND dialogWnd = nullptr;

    bool Open()
    {
        dialog->deleteSelf = true;
        return CreatePopup(outer, nullptr, 10, 10, 300, 200) != nullptr &&
               CreatePopup(owner, outer.GetHWND(), 20, 20, 300, 200, WS_POPUP | WS_VISIBLE) != nullptr &&
               (dialogWnd = CreatePopup(*dialog, owner.GetHWND(), 0, 0, 100, 60)) != nullptr;
    }
    // Runs the modal loop; once it runs, a timer does `inside`.
    UINT ShowModalAndThen(const std::function<void()>& inside)
    {
        dialog->onTimer = inside;
        ::SetTimer(dialogWnd, 1, 30, nullptr);
        return dialog->ShowModal();
    }
    bool OwnersEnabled() const { return ::IsWindowEnabled(owner.GetHWND()) && ::IsWindowEnabled(outer.GetHWND()); }
};

} // namespace

TEST(WindowWndModal, CloseFromATimerEndsTheLoopWithItsCodeAndOwnersAreRestored)
{
    ModalFixture f;
    ASSERT_TRUE(f.Open());
    bool ownersEnabledInside = true, outerShownInside = false;
    int sentCloses = 0;
    f.dialog->onMessage = [&](UINT m, WPARAM, LPARAM, LRESULT&) {
        sentCloses += m == WM_CLOSE;  // a sent WM_CLOSE: eaten here, the loop goes on
        return m == WM_CLOSE;
    };
    OwnWnd* dialog = f.dialog;
    const UINT result = f.ShowModalAndThen([&] {
        ownersEnabledInside = ::IsWindowEnabled(f.owner.GetHWND()) || ::IsWindowEnabled(f.outer.GetHWND());
        outerShownInside = ::IsWindowVisible(f.outer.GetHWND()) != FALSE;  // hidden owners are shown
        ::SendMessageW(f.dialogWnd, WM_CLOSE, 0, 99);
        dialog->Close(7);
    });
    EXPECT_EQ(result, 7u);
    EXPECT_EQ(sentCloses, 1);
    EXPECT_FALSE(ownersEnabledInside);
    EXPECT_TRUE(outerShownInside);
    EXPECT_TRUE(f.OwnersEnabled());
    EXPECT_FALSE(::IsWindow(f.dialogWnd));  // destroyed on return (and the object deleted itself)
}

// WM_QUIT (posted again for the outer loop), a handler or Alt+F4 destroying the dialog, and the
// system menu's "Close" end the loop with 0 and restore the owners.
TEST(WindowWndModal, QuitOrADestroyedWindowEndsTheLoopWithZero)
{
    const std::function<void(HWND)> ends[] = {
        [](HWND) { ::PostQuitMessage(3); },
        [](HWND dialog) { ::DestroyWindow(dialog); },
        [](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ModalFixture f;
        ASSERT_TRUE(f.Open());
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(f.ShowModalAndThen([&] { ends[i](f.dialogWnd); }), 0u);
        EXPECT_LT(::GetTickCount() - start, 5000u);
        EXPECT_TRUE(f.OwnersEnabled());
        MSG msg;
        EXPECT_EQ(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3, i == 0);
        EXPECT_TRUE(i == 0 || !::IsWindow(f.dialogWnd));
    }
    // Without a window: at once, and the owners are left alone.
    OwnWnd owner, none;
    ASSERT_NE(CreatePopup(owner), nullptr);
    EXPECT_EQ(none.ShowModal(), 0u);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
}
