// The saturating arithmetic: results at and past the ends of the int range stop at its edge, and
// the visible part of a box whose far edges lie past the integers stays inside the clip.
#include <gtest/gtest.h>

#include <climits>
#include <iterator>

#include "uitoolkit/core/SaturatingInt.h"

using namespace SkinUI;

TEST(SaturatingInt, SumsDifferencesAndProductsStopAtTheEdgesOfInt)
{
    constexpr long long kBig = 1LL << 40;
    const struct {
        int got;
        int expected;
    } cases[] = {
        {ClampToInt(kBig), INT_MAX},           {ClampToInt(-kBig), INT_MIN},
        {ClampToInt(INT_MIN), INT_MIN},        {ClampedSum(INT_MAX, 0), INT_MAX},
        {ClampedSum(INT_MAX, 1), INT_MAX},     {ClampedSum(INT_MIN, -1), INT_MIN},
        {ClampedSum(INT_MAX, INT_MIN), -1},    {ClampedSum(-7, 3), -4},
        {ClampedDifference(INT_MIN, 1), INT_MIN}, {ClampedDifference(0, INT_MIN), INT_MAX},
        {ClampedDifference(INT_MAX, INT_MAX), 0}, {ClampedProduct(-1, INT_MIN), INT_MAX},
        {ClampedProduct(65536, 65536), INT_MAX},  {ClampedProduct(-65536, 65536), INT_MIN},
        {ClampedProduct(-3, 7), -21},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
}

TEST(SaturatingInt, PartInsideClipOfBoxesReachingPastTheIntegers)
{
    const RECT clip{-10, -10, 100, 50};
    const long long past = 1LL << 33;
    const struct {
        long long left, top, right, bottom;
        bool meets;
        RECT part;
    } cases[] = {
        {0, 0, past, past, true, {0, 0, 100, 50}},
        {-past, -past, 5, 6, true, {-10, -10, 5, 6}},
        {INT_MAX - 5LL, 0, INT_MAX + 20LL, 10, false, {}},
        {100, 0, past, 10, false, {}},  // touching the clip's right edge is outside
        {20, 30, 10, 40, false, {}},    // an inverted box holds nothing
    };
    for (const auto& c : cases) {
        RECT part{1, 2, 3, 4};
        ASSERT_EQ(PartInsideClip(clip, c.left, c.top, c.right, c.bottom, part), c.meets) << c.left << "," << c.top;
        if (c.meets) EXPECT_TRUE(::EqualRect(&part, &c.part)) << part.left << "," << part.top << " " << part.right << "," << part.bottom;
    }
}
