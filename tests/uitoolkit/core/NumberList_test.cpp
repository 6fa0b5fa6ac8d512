// The shared parser of number lists, single numbers, colours and booleans.
#include <gtest/gtest.h>

#include <string>

#include "kit/Fuzz.h"
#include "uitoolkit/core/NumberList.h"

using namespace SkinUI;

TEST(NumberList, ReadsOneSeparatorBetweenNumbers)
{
    long v[4];
    EXPECT_EQ(ParseNumberList(L"10,20,110,60", v, 4), 4);
    EXPECT_EQ(v[0], 10);
    EXPECT_EQ(v[3], 60);
    EXPECT_EQ(ParseNumberList(L"-110,20,-10,60", v, 4), 4);
    EXPECT_EQ(v[0], -110);
    EXPECT_EQ(v[2], -10);
    // Any single unit separates.
    EXPECT_EQ(ParseNumberList(L"1;2x3 4", v, 4), 4);
    EXPECT_EQ(v[1], 2);
    EXPECT_EQ(v[2], 3);
    EXPECT_EQ(v[3], 4);
}

TEST(NumberList, StopsAtTheEndAndCountsMissingAsZero)
{
    long v[4] = {9, 9, 9, 9};
    EXPECT_EQ(ParseNumberList(L"10,20", v, 4), 2);
    EXPECT_EQ(v[0], 10);
    EXPECT_EQ(v[1], 20);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0);

    EXPECT_EQ(ParseNumberList(L"", v, 4), 0);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(ParseNumberList(nullptr, v, 4), 0);
    EXPECT_EQ(ParseNumberList(L"5,", v, 4), 1);
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(v[1], 0);
    // An empty field is 0 and the fields after it keep their places.
    EXPECT_EQ(ParseNumberList(L"1,,3,4", v, 4), 3);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], 3);
    // Never more than asked for.
    EXPECT_EQ(ParseNumberList(L"1,2,3,4,5,6", v, 2), 2);
    EXPECT_EQ(v[1], 2);
    EXPECT_EQ(ParseNumberList(L"1", v, 0), 0);
}

TEST(NumberList, Wrappers)
{
    const CUIRect r = ParseRect(L"1,2,3");
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 0);
    const CUISize s = ParseSize(L"4,6");
    EXPECT_EQ(s.cx, 4);
    EXPECT_EQ(s.cy, 6);

    EXPECT_EQ(ParseInt(L"42px"), 42);
    EXPECT_EQ(ParseInt(L"-7"), -7);
    EXPECT_EQ(ParseInt(L"x"), 0);
    EXPECT_EQ(ParseInt(nullptr), 0);

    EXPECT_EQ(ParseColor(L"#FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L"FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L" #FF102030", true), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L" #FF102030", false), 0ul);
    EXPECT_EQ(ParseColor(L"##FF"), 0ul);
    EXPECT_EQ(ParseColor(L"-1"), 0ul);
    EXPECT_EQ(ParseColor(nullptr), 0ul);

    EXPECT_TRUE(ParseBool(L"true"));
    EXPECT_FALSE(ParseBool(L"True"));
    EXPECT_FALSE(ParseBool(L"true "));
    EXPECT_FALSE(ParseBool(L"1"));
    EXPECT_FALSE(ParseBool(nullptr));
}

TEST(NumberList, RandomMalformedTextNeverReadsPastTheEnd)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
    const std::wstring samples[] = {L"10,20,110,60", L"-1,-2", L"0x10,#FF,3", L"  7 , 8"};
    for (int i = 0; i < 5000; ++i) {
        std::wstring text = fuzz.Mutate(samples[i % 4], 6);
        // Each text sits in its own exact-size heap block: a read past the terminator would
        // show up as garbage numbers beyond what the text holds or as a crash.
        const size_t len = text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0');
        long v[8];
        const int n = ParseNumberList(text.c_str(), v, 8);
        ASSERT_GE(n, 0);
        ASSERT_LE(static_cast<size_t>(n), len / 1 + 1);
        ParseRect(text.c_str());
        ParseColor(text.c_str(), true);
    }
}
