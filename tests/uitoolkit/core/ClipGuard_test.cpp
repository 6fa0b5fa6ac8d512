// Clip guards narrow a DC's clip for the time a control paints and restore the exact clip
// that was there before, also when nested and when the earlier clip was not a rectangle.
#include <gtest/gtest.h>

#include "kit/DibCanvas.h"
#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CClipGuard;
using SkinUI::CRenderKit;
using kit::DibCanvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;

// Paints the whole canvas red through the current clip and returns which pixels changed.
void PaintAll(DibCanvas& canvas)
{
    CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, canvas.Width(), canvas.Height()}, 0xFFFF0000);
}

// Every pixel is red inside `painted` (a region) and white elsewhere.
void ExpectPainted(const DibCanvas& canvas, HRGN painted)
{
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const uint32_t want = ::PtInRegion(painted, x, y) ? kRed : kWhite;
            ASSERT_EQ(canvas.Pixel(x, y), want) << x << "," << y;
        }
    }
}

void ExpectPainted(const DibCanvas& canvas, const RECT& rc)
{
    HRGN rgn = ::CreateRectRgnIndirect(&rc);
    ExpectPainted(canvas, rgn);
    ::DeleteObject(rgn);
}

// Whether the DC's clip region equals the region (null: the DC has no clip at all).
bool ClipEquals(HDC hDC, HRGN expected)
{
    HRGN current = ::CreateRectRgn(0, 0, 0, 0);
    const int has = ::GetClipRgn(hDC, current);
    bool same = expected == nullptr ? has == 0 : (has == 1 && ::EqualRgn(current, expected));
    ::DeleteObject(current);
    return same;
}

} // namespace

TEST(ClipGuard, NestedGuardsIntersectAndRestoreStepByStep)
{
    DibCanvas canvas(50, 50, kWhite);
    {
        CClipGuard outer;
        CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 30, 30}, outer);
        {
            CClipGuard inner;
            CClipGuard::ClipToRect(canvas.DC(), RECT{20, 0, 45, 45}, inner);
            EXPECT_EQ(inner.GetRect().left, 20);
            PaintAll(canvas);
            ExpectPainted(canvas, RECT{20, 10, 30, 30});
        }
        canvas.Fill(kWhite);  // Fill drops the clip; paint through the outer one again
        CClipGuard again;
        CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 30, 30}, again);
        PaintAll(canvas);
        ExpectPainted(canvas, RECT{10, 10, 30, 30});
    }
    // Without Fill in between: inner restores exactly the outer clip.
    canvas.Fill(kWhite);
    {
        CClipGuard outer;
        CClipGuard::ClipToRect(canvas.DC(), RECT{5, 5, 25, 25}, outer);
        {
            CClipGuard inner;
            CClipGuard::ClipToRect(canvas.DC(), RECT{15, 15, 40, 40}, inner);
        }
        PaintAll(canvas);
        ExpectPainted(canvas, RECT{5, 5, 25, 25});
    }
    // The outermost guard removes the clip it found absent.
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
    canvas.Fill(kWhite);
    PaintAll(canvas);
    ExpectPainted(canvas, RECT{0, 0, 50, 50});
}

TEST(ClipGuard, RestoresANonRectangularClipExactly)
{
    DibCanvas canvas(60, 40, kWhite);
    // Two separate rectangles: restoring the clip box instead would also open the gap.
    HRGN twoParts = ::CreateRectRgn(0, 0, 20, 40);
    HRGN right = ::CreateRectRgn(40, 0, 60, 40);
    ::CombineRgn(twoParts, twoParts, right, RGN_OR);
    ::DeleteObject(right);
    ::SelectClipRgn(canvas.DC(), twoParts);
    {
        CClipGuard guard;
        CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 50, 30}, guard);
        EXPECT_FALSE(ClipEquals(canvas.DC(), twoParts));
    }
    EXPECT_TRUE(ClipEquals(canvas.DC(), twoParts));
    PaintAll(canvas);
    ExpectPainted(canvas, twoParts);
    ::DeleteObject(twoParts);
}

TEST(ClipGuard, RoundRectClipCutsTheCorners)
{
    DibCanvas canvas(40, 40, kWhite);
    {
        CClipGuard guard;
        const RECT rc{0, 0, 40, 40};
        CClipGuard::ClipToRoundRect(canvas.DC(), rc, RECT{5, 5, 34, 34}, 12, 12, guard);
        PaintAll(canvas);
    }
    EXPECT_EQ(canvas.Pixel(20, 20), kRed);
    EXPECT_EQ(canvas.Pixel(20, 5), kRed);    // straight top edge
    EXPECT_EQ(canvas.Pixel(33, 20), kRed);   // the item's last column
    EXPECT_EQ(canvas.Pixel(5, 5), kWhite);   // rounded corner
    EXPECT_EQ(canvas.Pixel(34, 34), kWhite);
    EXPECT_EQ(canvas.Pixel(2, 20), kWhite);  // outside the item
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));

    // The outer rectangle limits the round one too.
    canvas.Fill(kWhite);
    {
        CClipGuard guard;
        CClipGuard::ClipToRoundRect(canvas.DC(), RECT{0, 0, 20, 40}, RECT{5, 5, 34, 34}, 12, 12, guard);
        PaintAll(canvas);
    }
    EXPECT_EQ(canvas.Pixel(19, 20), kRed);
    EXPECT_EQ(canvas.Pixel(20, 20), kWhite);
}

TEST(ClipGuard, SuspendOpensTheOuterClipAndResumeNarrowsAgain)
{
    DibCanvas canvas(50, 50, kWhite);
    HRGN outerClip = ::CreateRectRgn(0, 0, 40, 40);
    ::SelectClipRgn(canvas.DC(), outerClip);
    CClipGuard guard;
    CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 20, 20}, guard);
    CClipGuard::SuspendClip(canvas.DC(), guard);
    EXPECT_TRUE(ClipEquals(canvas.DC(), outerClip));
    PaintAll(canvas);
    ExpectPainted(canvas, outerClip);

    canvas.Fill(kWhite);
    ::SelectClipRgn(canvas.DC(), outerClip);
    CClipGuard::SuspendClip(canvas.DC(), guard);
    CClipGuard::ResumeClip(canvas.DC(), guard);
    PaintAll(canvas);
    ExpectPainted(canvas, RECT{10, 10, 20, 20});
    ::DeleteObject(outerClip);
}

TEST(ClipGuard, RefillingAGuardRestoresFirst)
{
    DibCanvas canvas(40, 40, kWhite);
    {
        CClipGuard guard;
        CClipGuard::ClipToRect(canvas.DC(), RECT{0, 0, 10, 10}, guard);
        CClipGuard::ClipToRect(canvas.DC(), RECT{20, 20, 30, 30}, guard);
        PaintAll(canvas);
        ExpectPainted(canvas, RECT{20, 20, 30, 30});
    }
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
}
