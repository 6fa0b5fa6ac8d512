// The window host's painting on a real window: the tree painted through WM_PRINTCLIENT and
// through WM_PAINT (double-buffered or not), post-paint overlays, the dirty outline, lazy layout
// with its bounded passes, the repaint requests a layout makes (one at most, none while the whole
// window waits for a paint), the double buffer kept from paint to paint while the size stays, one
// memory context shared by the pictures of every paint, the modal loop's pre-translation, and the
// window look (transparency, tracking sizes, initial size).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "HostFixture.h"
#include "kit/Capture.h"
#include "kit/DibCanvas.h"
#include "kit/ImportPatch.h"
#include "kit/PngWriter.h"
#include "kit/Pump.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "uitoolkit/core/ImagePaintScope.h"

using namespace SkinUI;
using namespace host_fixture;

namespace {

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kBlue = 0xFF0000FF;

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

TEST(HostPaint, TreePaintsThroughPrintClientAndWmPaintWithOverlaysAndTheDirtyOutline)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    root->SetBkColor(kRed);
    root->Add(Coloured(L"blue", kBlue, 20, 10, 40, 30));
    root->Add(Coloured(L"half", 0x80000000, 100, 10, 40, 30));
    auto* overlay = new Overlay(L"overlay");
    overlay->SetFixedXY(SIZE{150, 50});
    overlay->SetFixedWidth(10);
    root->Add(overlay);
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

    // A change repaints through the off-screen bitmap, where overlays paint after the tree;
    // straight painting without it gives the same picture of the tree.
    auto* blue = win.Host()->FindControlByName(L"blue");
    win.Host()->AddPostPaint(overlay);
    for (bool offscreen : {true, false}) {
        win.Host()->SetOffscreenPaint(offscreen);
        blue->SetBkColor(offscreen ? 0xFF00FF00 : 0xFFFFFF00);
        win.Host()->Invalidate(RECT{0, 0, 200, 100});
        ASSERT_TRUE(win.Layout());
        screen = kit::CaptureScreen(win.Hwnd());
        EXPECT_EQ(screen->Pixel(30, 20), offscreen ? 0x00FF00u : 0xFFFF00u);
        EXPECT_EQ(screen->Pixel(150, 80), 0xFF0000u);
        EXPECT_EQ(screen->Pixel(5, 5), offscreen ? 0x00FF00u : 0xFF0000u);  // the overlay over the tree's red
    }
    EXPECT_GE(overlay->overlays, 1);
    win.Host()->RemovePostPaint(overlay);
    win.Host()->SetShowUpdateRect(true);
    const int before = overlay->overlays;
    ASSERT_TRUE(win.Layout());
    EXPECT_EQ(overlay->overlays, before);
    screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixel(0, 50), 0xDC0000u);  // the outline of the update rectangle
    EXPECT_EQ(screen->Pixel(100, 50), 0xFF0000u);
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
    EXPECT_EQ(kit::Text(late->GetPos()), "10,10,30,30");
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

TEST(HostPaint, PrintClientWithChildrenAndAHostWithoutAWindow)
{
    kit::HostWindow win, child;
    auto* root = new Box(L"root");
    root->SetBkColor(0xFFFFFFFF);
    ASSERT_TRUE(win.Open(root, 120, 60));
    ASSERT_TRUE(win.Layout());
    auto* childRoot = new Box(L"childRoot");
    childRoot->SetBkColor(0xFF00FF00);
    ASSERT_TRUE(child.Open(childRoot, 20, 10, win.Hwnd(), WS_CHILD | WS_VISIBLE));
    ::SetWindowPos(child.Hwnd(), nullptr, 50, 30, 20, 10, SWP_NOZORDER);
    ASSERT_TRUE(child.Layout());
    kit::DibCanvas canvas(120, 60, 0x000000);
    ::SendMessageW(win.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(canvas.Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(55, 35), 0x00FF00u);  // the child window at its place
    EXPECT_EQ(canvas.Pixel(75, 35), 0xFFFFFFu);

    // A host not bound to a window yet (as while a skin is being built) repaints nothing else,
    // not even another program's window.
    ::UpdateWindow(win.Hwnd());
    kit::Pump(50);
    ASSERT_FALSE(::GetUpdateRect(win.Hwnd(), nullptr, FALSE));
    CWindowHostUI host;
    host.Invalidate(RECT{0, 0, 200, 200});
    EXPECT_FALSE(::GetUpdateRect(win.Hwnd(), nullptr, FALSE));
}

TEST(HostPaint, ModalLoopGivesTheDialogTabAndEndsWithItsCode)
{
    kit::HostWindow owner, dialog;
    ASSERT_TRUE(owner.Open(new Box(L"ownerRoot"), 300, 200));
    ASSERT_TRUE(owner.Layout());
    auto* root = new Box(L"root");
    root->Add(Probe(L"first", nullptr, 0, 20, 0, 60, kBehaviourTabStop));
    root->Add(Probe(L"second", nullptr, 30, 20, 0, 60, kBehaviourTabStop));
    ASSERT_TRUE(dialog.Open(root, 100, 60, owner.Hwnd(), WS_POPUP));
    std::wstring focusAfterTab;
    bool ownerDisabled = false;
    HWND h = dialog.Hwnd();
    dialog.onMessage = [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m != WM_TIMER || (w != 500 && w != 501))
            return false;
        ::KillTimer(h, w);
        if (w == 500) {
            ownerDisabled = !::IsWindowEnabled(owner.Hwnd());
            ::PostMessageW(h, WM_KEYDOWN, VK_TAB, 1);  // through the modal loop's pre-translation
            ::SetTimer(h, 501, 30, nullptr);
            return true;
        }
        CControlUI* f = dialog.Host()->GetFocus();
        focusAfterTab = f ? f->GetName().GetData() : L"";
        dialog.Close(5);
        return true;
    };
    ::SetTimer(h, 500, 50, nullptr);
    EXPECT_EQ(dialog.ShowModal(), 5u);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(focusAfterTab, L"second");
    EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
    EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(HostTest, TransparencyMinMaxAndInitSize)
{
    for (int level : {255, 128}) {
        Host()->SetTransparent(level);
        EXPECT_NE(::GetWindowLongW(Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, level);
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    }
    Host()->SetTransparent(256);
    EXPECT_EQ(::GetWindowLongW(Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    Host()->SetMinInfo(300, 0);
    Host()->SetMaxInfo(0, 400);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    ::SendMessageW(Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(info.ptMinTrackSize.x == 300 && info.ptMaxTrackSize.y == 400 && info.ptMaxTrackSize.x != 0);

    // Without a root the initial size resizes the window at once; with a root it is only stored.
    kit::HostWindow bare;
    ASSERT_TRUE(bare.Open(nullptr, 50, 50));
    bare.Host()->SetInitSize(120, 70);
    Host()->SetInitSize(10, 10);
    RECT rc = {}, own = {};
    ::GetWindowRect(bare.Hwnd(), &rc);
    ::GetWindowRect(Hwnd(), &own);
    EXPECT_EQ(kit::Text(rc) + " " + kit::Text(bare.Host()->GetInitSize()) + " " + kit::Text(own), "40,40,160,110 120,70 40,40,240,140");
}

// ---- repaint requests ----------------------------------------------------------------------------

namespace {

// Every InvalidateRect and CreateCompatibleDC the program makes, counted and passed on.
int g_requests = 0, g_memoryDCs = 0;
kit::ImportPatch* g_invalidate = nullptr;
kit::ImportPatch* g_createDC = nullptr;

BOOL WINAPI CountingInvalidateRect(HWND hWnd, const RECT* rc, BOOL erase)
{
    ++g_requests;
    return reinterpret_cast<decltype(&CountingInvalidateRect)>(g_invalidate->Original())(hWnd, rc, erase);
}

HDC WINAPI CountingCreateCompatibleDC(HDC hDC)
{
    ++g_memoryDCs;
    return reinterpret_cast<decltype(&CountingCreateCompatibleDC)>(g_createDC->Original())(hDC);
}

// A window whose root holds a red control "a" and a box "inner" (right half) of five blue
// controls stacked 20 high; every InvalidateRect is counted.
struct InvalidateFixture : testing::Test {
    kit::ImportPatch patch{"user32.dll", "InvalidateRect", reinterpret_cast<void*>(&CountingInvalidateRect)};
    kit::HostWindow win;
    Box* root = new Box(L"root");
    ProbeControl* a = Coloured(L"a", kRed, 0, 0, 40, 40);
    Box* inner = new Box(L"inner");

    void SetUp() override
    {
        g_invalidate = &patch;
        ASSERT_TRUE(patch.Active());
        root->SetBkColor(0xFFFFFFFF);
        inner->SetFixedXY(SIZE{100, 0});
        inner->SetFixedWidth(100);
        inner->SetFixedHeight(100);
        for (int i = 0; i < 5; ++i)
            inner->Add(Coloured(L"", kBlue, 0, i * 20, 50, 20));
        root->Add(a);
        root->Add(inner);
        ASSERT_TRUE(win.Open(root, 200, 100));
    }
    void TearDown() override { win.Destroy(); }
    // Dispatches the pending paint at once and returns the requests made meanwhile.
    int PaintCounting()
    {
        g_requests = 0;
        ::UpdateWindow(win.Hwnd());
        return g_requests;
    }
    // What the screen shows at the points (0xRRGGBB).
    std::vector<uint32_t> Screen(std::initializer_list<POINT> points)
    {
        auto screen = kit::CaptureScreen(win.Hwnd());
        std::vector<uint32_t> pixels;
        for (const POINT& p : points) pixels.push_back(screen->Pixel(p.x, p.y));
        return pixels;
    }
};

using Pixels = std::vector<uint32_t>;

} // namespace

// A freshly shown window waits for a paint of all of it: its first layout asks for nothing. After
// a whole-window request (as a resize makes), moving controls and laying the tree out again add
// no request, and the screen shows the controls at their new places only.
TEST_F(InvalidateFixture, RequestsWhileTheWholeWindowWaitsAddNothing)
{
    EXPECT_EQ(PaintCounting(), 0);
    EXPECT_EQ(Screen({{5, 5}, {105, 95}, {175, 50}}), (Pixels{0xFF0000, 0x0000FF, 0xFFFFFF}));
    kit::Drain();
    g_requests = 0;
    root->RequestLayout();
    EXPECT_EQ(g_requests, 1);
    a->SetFixedXY(SIZE{50, 50});  // out of the corner
    a->SetBkColor(kBlue);
    inner->SetFixedXY(SIZE{120, 0});
    EXPECT_EQ(g_requests, 1);
    EXPECT_EQ(PaintCounting(), 0);
    // a left its old place and shows at the new one; inner moved right.
    EXPECT_EQ(Screen({{5, 5}, {60, 60}, {105, 5}, {125, 5}}), (Pixels{0xFFFFFF, 0x0000FF, 0xFFFFFF, 0x0000FF}));
    // The paint is over: a request asks the window again.
    g_requests = 0;
    a->Invalidate();
    EXPECT_EQ(g_requests, 1);
}

// A layout over a part of the window gathers the requests of all its controls into one; a window
// grown after a whole-window request paints its new part with the laid-out tree too.
TEST_F(InvalidateFixture, LayoutOfAPartAsksOnceAndGrowingRepaintsTheNewPart)
{
    PaintCounting();
    kit::Drain();
    g_requests = 0;
    inner->RequestLayout();  // repaints the right half only
    EXPECT_EQ(g_requests, 1);
    for (int i = 0; i < inner->Count(); ++i)
        inner->At(i)->SetFixedWidth(80);  // each asks its parent again, within the same half
    EXPECT_EQ(PaintCounting(), 1);  // five controls placed, one request
    kit::Drain();
    EXPECT_EQ(Screen({{175, 95}, {185, 5}, {5, 5}}), (Pixels{0x0000FF, 0xFFFFFF, 0xFF0000}));  // wider now

    root->RequestLayout();
    inner->SetFixedXY(SIZE{220, 0});  // only inside the grown window
    ASSERT_TRUE(win.Layout(300, 100));
    EXPECT_EQ(Screen({{225, 5}, {150, 5}, {5, 5}}), (Pixels{0x0000FF, 0xFFFFFF, 0xFF0000}));
}

// ---- the double buffer -------------------------------------------------------------------------

namespace {

// The calls of a paint that cost a round trip to the window system's server or make GDI objects.
struct PaintCalls {
    int updateQueries = 0;      // GetUpdateRgn
    int bitmapsMade = 0;        // CreateCompatibleBitmap, or a DIB section of the client's size
    int clientBitmapsSelected = 0;  // a bitmap of the client's size selected into a context
    int contextsMade = 0;       // CreateCompatibleDC (counted in g_memoryDCs)
};
PaintCalls g_paintCalls;
SIZE g_clientSize = {0, 0};
kit::ImportPatch* g_updateRgn = nullptr;
kit::ImportPatch* g_makeBitmap = nullptr;
kit::ImportPatch* g_makeDib = nullptr;
kit::ImportPatch* g_select = nullptr;

std::string Text(const PaintCalls& c)
{
    return std::to_string(c.updateQueries) + " " + std::to_string(c.bitmapsMade) + " " +
           std::to_string(c.clientBitmapsSelected) + " " + std::to_string(c.contextsMade);
}

int WINAPI CountingGetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL erase)
{
    ++g_paintCalls.updateQueries;
    return reinterpret_cast<decltype(&CountingGetUpdateRgn)>(g_updateRgn->Original())(hWnd, hRgn, erase);
}

HBITMAP WINAPI CountingCreateCompatibleBitmap(HDC hDC, int cx, int cy)
{
    ++g_paintCalls.bitmapsMade;
    return reinterpret_cast<decltype(&CountingCreateCompatibleBitmap)>(g_makeBitmap->Original())(hDC, cx, cy);
}

HBITMAP WINAPI CountingCreateDIBSection(HDC hDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                        DWORD offset)
{
    if (info->bmiHeader.biWidth == g_clientSize.cx && std::abs(info->bmiHeader.biHeight) == g_clientSize.cy)
        ++g_paintCalls.bitmapsMade;
    return reinterpret_cast<decltype(&CountingCreateDIBSection)>(g_makeDib->Original())(hDC, info, usage, bits, section,
                                                                                         offset);
}

HGDIOBJ WINAPI CountingSelectObject(HDC hDC, HGDIOBJ object)
{
    BITMAP bm{};
    if (::GetObjectType(object) == OBJ_BITMAP && ::GetObjectW(object, sizeof(bm), &bm) != 0 &&
        bm.bmWidth == g_clientSize.cx && bm.bmHeight == g_clientSize.cy)
        ++g_paintCalls.clientBitmapsSelected;
    return reinterpret_cast<decltype(&CountingSelectObject)>(g_select->Original())(hDC, object);
}

} // namespace

// The double buffer stays, its bitmap selected, from paint to paint while the client size stays:
// a repaint, whole or in part, makes no bitmap, context or selection and asks the server nothing
// beyond its own paint; a layout at the same size asks for what waits to be painted only; a new
// size or straight painting and back make a buffer anew. Every paint shows what the tree paints
// straight into a canvas.
TEST_F(InvalidateFixture, TheDoubleBufferStaysWhileTheSizeStays)
{
    root->Add(Coloured(L"veil", 0x80FFFF00, 30, 30, 100, 50));  // translucent, over a and inner
    PaintCounting();
    kit::Drain();
    kit::ImportPatch updateRgn("user32.dll", "GetUpdateRgn", reinterpret_cast<void*>(&CountingGetUpdateRgn));
    kit::ImportPatch makeBitmap("gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&CountingCreateCompatibleBitmap));
    kit::ImportPatch makeDib("gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&CountingCreateDIBSection));
    kit::ImportPatch select("gdi32.dll", "SelectObject", reinterpret_cast<void*>(&CountingSelectObject));
    kit::ImportPatch createDC("gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&CountingCreateCompatibleDC));
    g_updateRgn = &updateRgn;
    g_makeBitmap = &makeBitmap;
    g_makeDib = &makeDib;
    g_select = &select;
    g_createDC = &createDC;
    ASSERT_TRUE(updateRgn.Active() && makeBitmap.Active() && makeDib.Active() && select.Active() && createDC.Active());
    const HWND hwnd = win.Hwnd();
    const struct {
        const char* step;
        std::function<void()> act;
        PaintCalls expected;
    } steps[] = {
        {"repaint of all", [&] { ::InvalidateRect(hwnd, nullptr, FALSE); }, {0, 0, 0, 0}},
        {"repaint of a part", [&] { a->SetBkColor(kBlue); }, {0, 0, 0, 0}},
        {"layout at the same size", [&] { root->RequestLayout(); inner->SetFixedXY(SIZE{110, 10}); }, {1, 0, 0, 0}},
        {"new size", [&] { win.ResizeClient(260, 130); }, {1, 1, 1, 1}},
        {"repaint at the new size", [&] { ::InvalidateRect(hwnd, nullptr, FALSE); }, {0, 0, 0, 0}},
        {"straight painting", [&] { win.Host()->SetOffscreenPaint(false); ::InvalidateRect(hwnd, nullptr, FALSE); },
         {0, 0, 0, 0}},
        {"double buffer again", [&] { win.Host()->SetOffscreenPaint(true); a->SetBkColor(kRed); }, {0, 1, 1, 1}},
    };
    for (const auto& step : steps) {
        RECT rc = {};
        ::GetClientRect(hwnd, &rc);
        g_paintCalls = PaintCalls{};
        g_memoryDCs = 0;
        g_clientSize = SIZE{rc.right, rc.bottom};
        step.act();
        ::GetClientRect(hwnd, &rc);
        g_clientSize = SIZE{rc.right, rc.bottom};
        ::UpdateWindow(hwnd);
        PaintCalls made = g_paintCalls;
        made.contextsMade = g_memoryDCs;
        EXPECT_EQ(Text(made), Text(step.expected)) << step.step;
        kit::Drain();
        auto screen = kit::CaptureScreen(hwnd);
        kit::DibCanvas own(rc.right, rc.bottom);
        root->Paint(own.DC(), rc);
        ::GdiFlush();
        EXPECT_TRUE(kit::CanvasIs(*screen, [&](int x, int y) { return own.Pixel(x, y); })) << step.step;
    }
    // The last step really painted: the veil over a's red.
    auto screen = kit::CaptureScreen(hwnd);
    EXPECT_LE(kit::ColorDistance(screen->Pixel(35, 35), 0xFF7F00), 3);
}

// With "bktrans", what lay under the window at its first paint is the background of every paint at
// that size: where a control moved away, that background shows again, not the control's old pixels
// (nor a copy of them, as re-copying the background after a layout would take).
TEST(HostPaint, TheTransparentBackgroundIsCopiedOncePerSize)
{
    kit::HostWindow win;
    auto* root = new Box(L"root");
    auto* red = Coloured(L"red", kRed, 0, 0, 40, 40);
    root->Add(red);
    ASSERT_TRUE(win.Open(root, 200, 100));
    win.Host()->SetBackgroundTransparent(true);
    ASSERT_TRUE(win.Layout());
    auto screen = kit::CaptureScreen(win.Hwnd());
    const uint32_t under = screen->Pixel(150, 70);
    ASSERT_NE(under, 0xFF0000u);
    EXPECT_EQ(screen->Pixel(10, 10), 0xFF0000u);
    red->SetFixedXY(SIZE{60, 0});
    ASSERT_TRUE(win.Layout());
    screen = kit::CaptureScreen(win.Hwnd());
    EXPECT_EQ(screen->Pixels({{10, 10}, {70, 10}, {150, 70}}), (Pixels{under, 0xFF0000u, under}));
}

// ---- one memory context per paint -------------------------------------------------------------

// Pictures stretched, cut into corners, tiled and faded, and translucent fills over them: a
// repaint makes no memory context (the host lends the one it keeps), a print into a canvas one,
// with one translucent-fill pixel; draws exactly what draws with contexts of their own make, and
// leaves no picture selected anywhere.
TEST(ImagePaintScope, ARepaintSharesOneMemoryContextAndDrawsWhatOwnContextsDraw)
{
    kit::SkinDir skin;
    const auto picture = [](bool translucent) {
        return kit::EncodePng(12, 12, [translucent](int x, int y) {
            return ((translucent ? 0x40u + 0x20u * (x % 6) : 0xFFu) << 24) | (x * 20u << 16) | (y * 20u << 8) | 0x80u;
        });
    };
    skin.Write(L"soft.png", picture(true));
    skin.Write(L"hard.png", picture(false));
    const struct {
        const wchar_t* image;  // the control's background image text
        DWORD color;           // its background colour
        int x, y, w, h;
    } controls[] = {
        {L"soft.png", 0, 0, 0, 40, 30},
        {L"file='soft.png' corner='3,3,3,3'", 0xFF204060, 40, 0, 70, 40},
        {L"file='hard.png' xtiled='true'", 0, 110, 0, 90, 12},
        {L"file='hard.png' fade='128' source='2,2,10,10'", 0xFFFFFFFF, 0, 40, 60, 40},
        {L"hard.png", 0, 60, 40, 12, 12},
        {L"", 0x80FF0000, 20, 20, 100, 30},
        {L"", 0x4000FF00, 90, 30, 100, 50},
    };
    kit::HostWindow win;
    auto* root = new Box(L"root");
    root->SetBkColor(0xFFF0F0F0);
    for (const auto& c : controls) {
        ProbeControl* p = Coloured(L"", c.color, c.x, c.y, c.w, c.h);
        p->SetBkImage(c.image);
        root->Add(p);
    }
    ASSERT_TRUE(win.Open(root, 200, 100));
    ASSERT_TRUE(win.Layout());
    {
        kit::ImportPatch patch("gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&CountingCreateCompatibleDC));
        g_createDC = &patch;
        ASSERT_TRUE(patch.Active());
        ::InvalidateRect(win.Hwnd(), nullptr, FALSE);
        g_memoryDCs = 0;
        ::UpdateWindow(win.Hwnd());
        EXPECT_EQ(g_memoryDCs, 0);  // five pictures and two translucent fills: the host keeps one
        kit::DibCanvas canvas(200, 100);
        g_memoryDCs = 0;
        ::SendMessageW(win.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
        EXPECT_EQ(g_memoryDCs, 1);
    }
    // The host's paint (a scope) and the tree painted straight into a canvas (every draw with its
    // own context and pixel) give the same pixels, bit for bit.
    auto shared = kit::CaptureClient(win.Hwnd(), 0xFFFFFF);
    ASSERT_EQ(CImagePaintScope::Current(), nullptr);
    kit::DibCanvas own(200, 100, 0xFFFFFF);
    root->Paint(own.DC(), RECT{0, 0, 200, 100});
    ::GdiFlush();
    EXPECT_TRUE(kit::CanvasIs(*shared, [&](int x, int y) { return own.Pixel(x, y); }));
    EXPECT_NE(own.Pixel(30, 25), shared->Pixel(130, 70));  // the fills differ from each other
    // After a paint no picture stays selected: each can go into another context at once.
    CMemoryDC other(nullptr);
    for (const wchar_t* name : {L"soft.png", L"hard.png"}) {
        const ImageEntry* entry = win.Host()->GetImage(name);
        ASSERT_NE(entry, nullptr) << name;
        CSelectObject select(other.Get(), entry->hBitmap);
        EXPECT_EQ(::GetCurrentObject(other.Get(), OBJ_BITMAP), entry->hBitmap) << name;
    }
    win.Destroy();
}

// Scopes nest; the innermost serves and one draw at a time holds the context.
TEST(ImagePaintScope, ScopesNestAndOneDrawHoldsTheContext)
{
    kit::DibCanvas canvas(4, 4);
    EXPECT_EQ(CImagePaintScope::Current(), nullptr);
    {
        CImagePaintScope outer(canvas.DC());
        {
            CImagePaintScope inner(canvas.DC());
            EXPECT_EQ(CImagePaintScope::Current(), &inner);
            HDC dc = inner.AcquireDC();
            ASSERT_NE(dc, nullptr);
            EXPECT_EQ(inner.AcquireDC(), nullptr);  // held
            inner.ReleaseDC();
            EXPECT_EQ(inner.AcquireDC(), dc);  // the same context again
            inner.ReleaseDC();
        }
        EXPECT_EQ(CImagePaintScope::Current(), &outer);
        HBITMAP pixel = outer.Pixel(0x80402010);
        ASSERT_NE(pixel, nullptr);
        EXPECT_EQ(outer.Pixel(0x11223344), pixel);
        DIBSECTION dib{};
        ASSERT_EQ(::GetObjectW(pixel, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
        EXPECT_EQ(*static_cast<DWORD*>(dib.dsBm.bmBits), 0x11223344u);
    }
    EXPECT_EQ(CImagePaintScope::Current(), nullptr);
}
