// The window host's painting on a real window: the tree painted through WM_PRINTCLIENT and
// through WM_PAINT (double-buffered or not), post-paint overlays, the dirty outline, lazy
// layout with its bounded passes, the modal loop's pre-translation, and the window look
// (transparency, tracking sizes, initial size).
#include <gtest/gtest.h>

#include "kit/Capture.h"
#include "kit/DibCanvas.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "HostFixture.h"

using namespace SkinUI;
using namespace host_fixture;

namespace {

ProbeControl* Coloured(const wchar_t* name, DWORD color, int x, int y, int w, int h)
{
    ProbeControl* p = Probe(name, nullptr, x, w, y, h);
    p->SetBkColor(color);
    return p;
}

// Draws a green square over everything after the tree has painted.
class Overlay : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    void PaintOverlay(HDC hDC, const RECT& /*rcPaint*/) override
    {
        ++overlays;
        RECT rc = {0, 0, 10, 10};
        ::SetBkColor(hDC, RGB(0, 255, 0));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, L"", 0, nullptr);
    }
    int overlays = 0;
};

// Asks for layout again every time it is laid out.
class Restless : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    void SetPos(RECT rc) override
    {
        ++layouts;
        ProbeControl::SetPos(rc);
        m_updateNeeded = true;
        if (m_host != nullptr)
            m_host->SetUpdateNeeded();
    }
    int layouts = 0;
};

} // namespace

TEST(HostPaint, TreePaintsThroughPrintClientAndWmPaint)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    root->SetBkColor(0xFFFF0000);
    root->Add(Coloured(L"blue", 0xFF0000FF, 20, 10, 40, 30));
    root->Add(Coloured(L"half", 0x80000000, 100, 10, 40, 30));
    ASSERT_TRUE(win.Open(root, 200, 100));
    ASSERT_TRUE(win.Layout());

    // Red everywhere but the blue control and the translucent one.
    auto shot = kit::CaptureClient(win.Hwnd());
    EXPECT_TRUE(kit::CanvasIs(*shot, [](int x, int y) {
        return kit::In(x, y, RECT{20, 10, 60, 40}) ? 0x0000FFu : kit::In(x, y, RECT{100, 10, 140, 40}) ? kit::kAnyColor : 0xFF0000u;
    }));
    EXPECT_LE(kit::ColorDistance(shot->Pixel(110, 20), 0x7F0000), 3);  // black at alpha 0x80 over red

    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(screen->Pixel(30, 20), 0x0000FFu);

    // A change repaints only what it invalidates, through the off-screen bitmap.
    auto* blue = win.Host()->FindControlByName(L"blue");
    blue->SetBkColor(0xFF00FF00);
    ASSERT_TRUE(win.Layout());
    screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(30, 20), 0x00FF00u);
    EXPECT_EQ(screen->Pixel(5, 5), 0xFF0000u);

    // Straight painting without the off-screen bitmap gives the same picture.
    win.Host()->SetOffscreenPaint(false);
    blue->SetBkColor(0xFFFFFF00);
    ASSERT_TRUE(win.Layout());
    screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(30, 20), 0xFFFF00u);
    EXPECT_EQ(screen->Pixel(150, 80), 0xFF0000u);
}

TEST(HostPaint, OverlaysRunAfterTheTreeAndTheDirtyOutlineIsRed)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    root->SetBkColor(0xFF0000FF);
    auto* overlay = new Overlay(L"overlay");
    overlay->SetFixedXY(SIZE{150, 50});
    overlay->SetFixedWidth(10);
    root->Add(overlay);
    ASSERT_TRUE(win.Open(root, 200, 100));
    win.Host()->AddPostPaint(overlay);
    ASSERT_TRUE(win.Layout());
    EXPECT_GE(overlay->overlays, 1);
    EXPECT_EQ(kit::CaptureScreen(win.Hwnd())->Pixel(5, 5), 0x00FF00u);  // over the tree's blue

    win.Host()->RemovePostPaint(overlay);
    win.Host()->SetShowUpdateRect(true);
    const int before = overlay->overlays;
    ASSERT_TRUE(win.Layout());
    EXPECT_EQ(overlay->overlays, before);
    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(0, 50), 0xDC0000u);  // the outline of the update rectangle
    EXPECT_EQ(screen->Pixel(100, 50), 0x0000FFu);
}

TEST(HostPaint, LayoutIsLazyAndItsPassesAreBounded)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    ASSERT_TRUE(win.Open(root, 200, 100));
    ASSERT_TRUE(win.Layout());
    auto* late = Coloured(L"late", 0xFF00FF00, 10, 10, 20, 20);
    root->Add(late);
    EXPECT_TRUE(::IsRectEmpty(&late->GetPos()));  // laid out at the next paint
    EXPECT_TRUE(win.Host()->IsUpdateNeeded());
    ASSERT_TRUE(win.Layout());
    EXPECT_EQ(late->GetPos().left, 10);
    EXPECT_EQ(late->GetPos().right, 30);

    // A control that never settles: each paint stops after a bounded number of passes, paints,
    // and asks for another paint.
    auto* restless = new Restless(L"restless");
    restless->SetFixedWidth(5);
    root->Add(restless);
    ASSERT_TRUE(win.Layout());
    EXPECT_GE(restless->layouts, 2);
    const int afterFirst = restless->layouts;
    kit::Pump(50);
    EXPECT_GT(restless->layouts, afterFirst);  // another paint came
    EXPECT_TRUE(win.Host()->IsUpdateNeeded());
    root->Remove(restless);
    kit::Drain();
    ASSERT_TRUE(win.Layout());
}

TEST(HostPaint, PrintClientWithChildrenPrintsChildWindowsAtTheirPlace)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    root->SetBkColor(0xFFFFFFFF);
    ASSERT_TRUE(win.Open(root, 120, 60));
    ASSERT_TRUE(win.Layout());
    kit::HostWindow child;
    auto* childRoot = new Box(L"childRoot");
    childRoot->SetBkColor(0xFF00FF00);
    ASSERT_TRUE(child.Open(childRoot, 20, 10, win.Hwnd(), WS_CHILD | WS_VISIBLE));
    ::SetWindowPos(child.Hwnd(), nullptr, 50, 30, 20, 10, SWP_NOZORDER);
    ASSERT_TRUE(child.Layout());

    kit::DibCanvas canvas(120, 60, 0x000000);
    ::SendMessageW(win.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(canvas.Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(55, 35), 0x00FF00u);
    EXPECT_EQ(canvas.Pixel(75, 35), 0xFFFFFFu);
}

TEST(HostModal, ModalLoopGivesTheDialogTabAndEndsWithItsCode)
{
    kit::HostWindow owner;
    ASSERT_TRUE(owner.Open(new Box(L"ownerRoot"), 300, 200));
    ASSERT_TRUE(owner.Layout());
    kit::HostWindow dialog;
    auto* root = new Box(L"root");
    root->Add(Probe(L"first", nullptr, 0, 20, 0, 60, kBehaviourTabStop));
    root->Add(Probe(L"second", nullptr, 30, 20, 0, 60, kBehaviourTabStop));
    ASSERT_TRUE(dialog.Open(root, 100, 60, owner.Hwnd(), WS_POPUP));
    std::wstring focusAfterTab;
    bool ownerDisabled = false;
    HWND h = dialog.Hwnd();
    dialog.onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_TIMER && w == 500) {
            ::KillTimer(h, 500);
            ownerDisabled = !::IsWindowEnabled(owner.Hwnd());
            ::PostMessageW(h, WM_KEYDOWN, VK_TAB, 1);  // through the modal loop's pre-translation
            ::SetTimer(h, 501, 30, nullptr);
            return true;
        }
        if (m == WM_TIMER && w == 501) {
            ::KillTimer(h, 501);
            CControlUI* f = dialog.Host()->GetFocus();
            focusAfterTab = f ? f->GetName().GetData() : L"";
            dialog.Close(5);
            return true;
        }
        return false;
    };
    ::SetTimer(h, 500, 50, nullptr);
    EXPECT_EQ(dialog.ShowModal(), 5u);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(focusAfterTab, L"second");
    EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
    EXPECT_FALSE(dialog.IsOpen());
}

TEST(HostLook, TransparencyMinMaxAndInitSize)
{
    host_fixture::Fixture f;
    ASSERT_TRUE(f.Open());
    HWND h = f.win.Hwnd();
    for (int level : {255, 128}) {
        f.Host()->SetTransparent(level);
        EXPECT_NE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, level);
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    }
    f.Host()->SetTransparent(256);
    EXPECT_EQ(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    f.Host()->SetMinInfo(300, 0);
    f.Host()->SetMaxInfo(0, 400);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    ::SendMessageW(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);
    EXPECT_NE(info.ptMaxTrackSize.x, 0);

    // Without a root the initial size resizes the window at once.
    kit::HostWindow bare;
    ASSERT_TRUE(bare.Open(nullptr, 50, 50));
    bare.Host()->SetInitSize(120, 70);
    RECT rc = {};
    ::GetWindowRect(bare.Hwnd(), &rc);
    EXPECT_EQ(kit::Text(rc), "40,40,160,110");
    EXPECT_EQ(kit::Text(bare.Host()->GetInitSize()), "120,70");
    f.Host()->SetInitSize(10, 10);  // with a root: only stored
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(kit::Text(rc), "40,40,240,140");
}


TEST(HostPaint, AHostWithoutAWindowRepaintsNothingElse)
{
    // Another program's window, fully painted.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ::UpdateWindow(other);
    kit::Pump(50);
    ASSERT_FALSE(::GetUpdateRect(other, nullptr, FALSE));

    CWindowHostUI host;  // not bound to a window yet, as while a skin is being built
    host.Invalidate(RECT{0, 0, 200, 200});
    EXPECT_FALSE(::GetUpdateRect(other, nullptr, FALSE));
    ::DestroyWindow(other);
}
