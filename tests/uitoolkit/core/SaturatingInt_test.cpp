// The saturating arithmetic: results past the ends of the int range stop at its edge, and the
// visible part of a box whose far edges lie past the integers stays inside the clip.
#include <gtest/gtest.h>

#include <climits>

#include "uitoolkit/core/SaturatingInt.h"

using namespace SkinUI;

TEST(SaturatingInt, ResultsStopAtTheEdgesOfIntAndClipParts)
{
    const int sums[][2] = {
        {ClampToInt(1LL << 40), INT_MAX},          {ClampToInt(-(1LL << 40)), INT_MIN},
        {ClampedSum(INT_MAX, 1), INT_MAX},         {ClampedSum(INT_MAX, INT_MIN), -1},
        {ClampedDifference(0, INT_MIN), INT_MAX},  {ClampedDifference(INT_MIN, 1), INT_MIN},
        {ClampedProduct(-65536, 65536), INT_MIN},  {ClampedProduct(-3, 7), -21},
    };
    for (const auto& c : sums) EXPECT_EQ(c[0], c[1]);

    const RECT clip{-10, -10, 100, 50};
    const long long past = 1LL << 33;
    const struct {
        long long left, top, right, bottom;
        RECT part;  // empty: nothing inside
    } boxes[] = {
        {0, 0, past, past, {0, 0, 100, 50}},
        {-past, -past, 5, 6, {-10, -10, 5, 6}},
        {100, 0, past, 10, {}},  // touching the clip's right edge is outside
        {20, 30, 10, 40, {}},    // an inverted box holds nothing
    };
    for (const auto& b : boxes) {
        RECT part{};
        EXPECT_EQ(PartInsideClip(clip, b.left, b.top, b.right, b.bottom, part), !::IsRectEmpty(&b.part)) << b.left;
        if (!::IsRectEmpty(&b.part)) {
            EXPECT_TRUE(::EqualRect(&part, &b.part)) << b.left << "," << b.top;
        }
    }
}
