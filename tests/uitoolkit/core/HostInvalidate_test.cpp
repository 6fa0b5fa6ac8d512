// How the window host hands repaint requests to the window: a layout pass that runs while the
// whole client area waits for a paint asks for nothing more, one over a part of the window asks
// once, and what the screen shows afterwards is the laid-out tree all the same.
#include <gtest/gtest.h>

#include "kit/Capture.h"
#include "kit/ImportPatch.h"
#include "kit/Pump.h"
#include "HostFixture.h"

using namespace SkinUI;
using namespace host_fixture;

namespace {

// Every InvalidateRect the program makes, counted and passed on.
int g_requests = 0;
kit::ImportPatch* g_patch = nullptr;

BOOL WINAPI CountingInvalidateRect(HWND hWnd, const RECT* rc, BOOL erase)
{
    ++g_requests;
    using Fn = BOOL(WINAPI*)(HWND, const RECT*, BOOL);
    return reinterpret_cast<Fn>(g_patch->Original())(hWnd, rc, erase);
}

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kBlue = 0xFF0000FF;

// A window whose root holds a red control "a" and a box "inner" (right half) of five blue
// controls stacked 20 high; every InvalidateRect of the test is counted.
struct InvalidateFixture : testing::Test {
    kit::HostWindow win;
    Box* root = new Box(L"root");
    ProbeControl* a = Probe(L"a", nullptr, 0, 40, 0, 40);
    Box* inner = new Box(L"inner");
    std::unique_ptr<kit::ImportPatch> patch;

    void SetUp() override
    {
        patch = std::make_unique<kit::ImportPatch>("user32.dll", "InvalidateRect",
                                                   reinterpret_cast<void*>(&CountingInvalidateRect));
        g_patch = patch.get();
        ASSERT_TRUE(patch->Active());
        a->SetBkColor(kRed);
        root->SetBkColor(0xFFFFFFFF);
        inner->SetFixedXY(SIZE{100, 0});
        inner->SetFixedWidth(100);
        inner->SetFixedHeight(100);
        for (int i = 0; i < 5; ++i) {
            ProbeControl* p = Probe(L"", nullptr, 0, 50, i * 20, 20);
            p->SetBkColor(kBlue);
            inner->Add(p);
        }
        root->Add(a);
        root->Add(inner);
        g_requests = 0;
        ASSERT_TRUE(win.Open(root, 200, 100));
    }
    void TearDown() override
    {
        win.Destroy();
        patch.reset();
        g_patch = nullptr;
    }
    // Dispatches the pending paint at once and returns the requests made meanwhile.
    int PaintCounting()
    {
        g_requests = 0;
        ::UpdateWindow(win.Hwnd());
        return g_requests;
    }
};

// A freshly shown window waits for a paint of all of it: its first layout asks for nothing.
TEST_F(InvalidateFixture, FirstLayoutOfAShownWindowAsksForNoRepaint)
{
    EXPECT_EQ(PaintCounting(), 0);
    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(screen->Pixel(105, 95), 0x0000FFu);
    EXPECT_EQ(screen->Pixel(175, 50), 0xFFFFFFu);
}

// After a whole-window request (as a resize makes), moving controls and laying the tree out
// again add no request, and the screen shows the controls at their new places only.
TEST_F(InvalidateFixture, RequestsWhileTheWholeWindowWaitsAddNothing)
{
    PaintCounting();
    kit::Drain();
    g_requests = 0;
    root->RequestLayout();
    EXPECT_EQ(g_requests, 1);
    a->SetFixedXY(SIZE{50, 50});  // out of the corner
    a->SetBkColor(kBlue);
    inner->SetFixedXY(SIZE{120, 0});
    EXPECT_EQ(g_requests, 1);
    EXPECT_EQ(PaintCounting(), 0);
    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(5, 5), 0xFFFFFFu);    // a left its old place
    EXPECT_EQ(screen->Pixel(60, 60), 0x0000FFu);  // and shows at the new one
    EXPECT_EQ(screen->Pixel(105, 5), 0xFFFFFFu);  // inner moved right
    EXPECT_EQ(screen->Pixel(125, 5), 0x0000FFu);

    // The paint is over: a request asks the window again.
    g_requests = 0;
    a->Invalidate();
    EXPECT_EQ(g_requests, 1);
}

// A layout over a part of the window gathers the requests of all its controls into one.
TEST_F(InvalidateFixture, LayoutOfAPartAsksOnce)
{
    PaintCounting();
    kit::Drain();
    g_requests = 0;
    inner->RequestLayout();  // repaints the right half only
    EXPECT_EQ(g_requests, 1);
    for (int i = 0; i < inner->Count(); ++i)
        inner->At(i)->SetFixedWidth(80);  // each asks its parent again, within the same half
    const int before = g_requests;
    EXPECT_EQ(PaintCounting(), 1);  // five controls placed, one request
    EXPECT_GE(before, 1);
    kit::Drain();
    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(175, 95), 0x0000FFu);  // the controls are wider now
    EXPECT_EQ(screen->Pixel(185, 5), 0xFFFFFFu);
    EXPECT_EQ(screen->Pixel(5, 5), 0xFF0000u);
}

// A window grown after a whole-window request has more client area than was asked for: the new
// part is painted with the laid-out tree too.
TEST_F(InvalidateFixture, GrowingTheWindowRepaintsTheNewPart)
{
    PaintCounting();
    kit::Drain();
    root->RequestLayout();
    inner->SetFixedXY(SIZE{220, 0});  // only inside the grown window
    ASSERT_TRUE(win.Layout(300, 100));
    auto screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(225, 5), 0x0000FFu);
    EXPECT_EQ(screen->Pixel(150, 5), 0xFFFFFFu);
    EXPECT_EQ(screen->Pixel(5, 5), 0xFF0000u);
}

} // namespace
