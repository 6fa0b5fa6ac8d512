// Clip guards narrow a DC's clip for the time a control paints and restore the exact clip
// that was there before, also when nested and when the earlier clip was not a rectangle.
#include <gtest/gtest.h>

#include <algorithm>

#include "kit/DibCanvas.h"
#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CClipGuard;
using SkinUI::CGdiRegion;
using kit::DibCanvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;

// Paints the whole canvas red through the current clip and checks that exactly the pixels of
// `painted` turned red; the canvas is white again afterwards, its clip untouched.
testing::AssertionResult PaintsExactly(DibCanvas& canvas, HRGN painted)
{
    SkinUI::CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, canvas.Width(), canvas.Height()}, 0xFFFF0000);
    auto result = kit::CanvasIs(canvas, [&](int x, int y) { return ::PtInRegion(painted, x, y) ? kRed : kWhite; });
    std::fill(canvas.Bits(), canvas.Bits() + canvas.Width() * canvas.Height(), kWhite);
    return result;
}

testing::AssertionResult PaintsExactly(DibCanvas& canvas, const RECT& rc)
{
    CGdiRegion rgn(::CreateRectRgnIndirect(&rc));
    return PaintsExactly(canvas, rgn.Get());
}

// Whether the DC's clip region equals the region (null: the DC has no clip at all).
bool ClipEquals(HDC hDC, HRGN expected)
{
    CGdiRegion current(::CreateRectRgn(0, 0, 0, 0));
    const int has = ::GetClipRgn(hDC, current.Get());
    return expected == nullptr ? has == 0 : (has == 1 && ::EqualRgn(current.Get(), expected));
}

} // namespace

TEST(ClipGuard, NestedGuardsIntersectAndRestoreStepByStep)
{
    DibCanvas canvas(50, 50, kWhite);
    {
        CClipGuard outer;
        CClipGuard::ClipToRect(canvas.DC(), RECT{5, 5, 25, 25}, outer);
        {
            CClipGuard inner;
            CClipGuard::ClipToRect(canvas.DC(), RECT{15, 0, 40, 40}, inner);
            EXPECT_EQ(inner.GetRect().left, 15);
            EXPECT_TRUE(PaintsExactly(canvas, RECT{15, 5, 25, 25}));
        }
        EXPECT_TRUE(PaintsExactly(canvas, RECT{5, 5, 25, 25}));
    }
    // The outermost guard removes the clip it found absent.
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
    EXPECT_TRUE(PaintsExactly(canvas, RECT{0, 0, 50, 50}));
}

TEST(ClipGuard, RestoresANonRectangularClipExactly)
{
    DibCanvas canvas(60, 40, kWhite);
    // Two separate rectangles: restoring the clip box instead would also open the gap.
    CGdiRegion twoParts(::CreateRectRgn(0, 0, 20, 40));
    CGdiRegion right(::CreateRectRgn(40, 0, 60, 40));
    ::CombineRgn(twoParts.Get(), twoParts.Get(), right.Get(), RGN_OR);
    ::SelectClipRgn(canvas.DC(), twoParts.Get());
    {
        CClipGuard guard;
        CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 50, 30}, guard);
        EXPECT_FALSE(ClipEquals(canvas.DC(), twoParts.Get()));
    }
    EXPECT_TRUE(ClipEquals(canvas.DC(), twoParts.Get()));
    EXPECT_TRUE(PaintsExactly(canvas, twoParts.Get()));
}

TEST(ClipGuard, RoundRectClipCutsTheCorners)
{
    DibCanvas canvas(40, 40, kWhite);
    const auto paintRound = [&](const RECT& outer) {
        CClipGuard guard;
        CClipGuard::ClipToRoundRect(canvas.DC(), outer, RECT{5, 5, 34, 34}, 12, 12, guard);
        SkinUI::CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, 40, 40}, 0xFFFF0000);
    };
    paintRound(RECT{0, 0, 40, 40});
    // Inside, the straight top edge and the item's last column are painted; the rounded corners
    // and what lies outside the item are not.
    for (const POINT& p : {POINT{20, 20}, POINT{20, 5}, POINT{33, 20}})
        EXPECT_EQ(canvas.Pixel(p.x, p.y), kRed) << p.x << "," << p.y;
    for (const POINT& p : {POINT{5, 5}, POINT{34, 34}, POINT{2, 20}})
        EXPECT_EQ(canvas.Pixel(p.x, p.y), kWhite) << p.x << "," << p.y;
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));

    // The outer rectangle limits the round one too.
    canvas.Fill(kWhite);
    paintRound(RECT{0, 0, 20, 40});
    EXPECT_EQ(canvas.Pixel(19, 20), kRed);
    EXPECT_EQ(canvas.Pixel(20, 20), kWhite);
}

TEST(ClipGuard, SuspendOpensTheOuterClipAndResumeNarrowsAgain)
{
    DibCanvas canvas(50, 50, kWhite);
    CGdiRegion outerClip(::CreateRectRgn(0, 0, 40, 40));
    ::SelectClipRgn(canvas.DC(), outerClip.Get());
    CClipGuard guard;
    CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 20, 20}, guard);
    CClipGuard::SuspendClip(canvas.DC(), guard);
    EXPECT_TRUE(ClipEquals(canvas.DC(), outerClip.Get()));
    EXPECT_TRUE(PaintsExactly(canvas, outerClip.Get()));
    CClipGuard::ResumeClip(canvas.DC(), guard);
    EXPECT_TRUE(PaintsExactly(canvas, RECT{10, 10, 20, 20}));
}

TEST(ClipGuard, RefillingAGuardRestoresFirst)
{
    DibCanvas canvas(40, 40, kWhite);
    {
        CClipGuard guard;
        CClipGuard::ClipToRect(canvas.DC(), RECT{0, 0, 10, 10}, guard);
        CClipGuard::ClipToRect(canvas.DC(), RECT{20, 20, 30, 30}, guard);
        EXPECT_TRUE(PaintsExactly(canvas, RECT{20, 20, 30, 30}));
    }
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
}
