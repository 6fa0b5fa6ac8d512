// The shared parser of number lists, single numbers, colours and booleans.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "uitoolkit/core/NumberList.h"

using namespace SkinUI;

TEST(NumberList, OneSeparatorBetweenNumbersStopsAtTheEndAndCountsMissingAsZero)
{
    const struct {
        const wchar_t* text;
        int count;  // numbers asked for
        int read;   // numbers the text held
        std::vector<long> values;
    } cases[] = {
        {L"10,20,110,60", 4, 4, {10, 20, 110, 60}},
        {L"-110,20,-10,60", 4, 4, {-110, 20, -10, 60}},
        {L"1;2x3 4", 4, 4, {1, 2, 3, 4}},  // any single unit separates
        {L"10,20", 4, 2, {10, 20, 0, 0}},
        {L"", 4, 0, {0, 0, 0, 0}},
        {nullptr, 4, 0, {0, 0, 0, 0}},
        {L"5,", 4, 1, {5, 0, 0, 0}},
        {L"1,,3,4", 4, 3, {1, 0, 3, 4}},  // an empty field is 0; the fields after it keep their places
        {L"1,2,3,4,5,6", 2, 2, {1, 2}},  // never more than asked for
        {L"1", 0, 0, {}},
    };
    for (const auto& c : cases) {
        std::vector<long> v(c.values.size(), 9);
        EXPECT_EQ(ParseNumberList(c.text, v.data(), c.count), c.read) << (c.text ? "" : "null") << c.count;
        EXPECT_EQ(v, c.values);
    }
}

TEST(NumberList, SingleValueParsers)
{
    EXPECT_EQ(ParseRect(L"1,2,3").right, 3);
    EXPECT_EQ(ParseSize(L"4,6").cy, 6);
    for (const auto& [text, want] : std::vector<std::pair<const wchar_t*, int>>{
             {L"42px", 42}, {L"-7", -7}, {L"x", 0}, {nullptr, 0}})
        EXPECT_EQ(ParseInt(text), want);
    // Colours: an optional '#', blanks skipped only when asked; anything else is 0.
    EXPECT_EQ(ParseColor(L"#FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L"FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L" #FF102030", true), 0xFF102030ul);
    for (const wchar_t* bad : {L" #FF102030", L"##FF", L"-1", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(ParseColor(bad, false), 0ul);
    // Only the exact text "true" is true.
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* no : {L"True", L"true ", L"1", static_cast<const wchar_t*>(nullptr)})
        EXPECT_FALSE(ParseBool(no));
}

TEST(NumberList, RandomMalformedTextNeverReadsPastTheEnd)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {L"10,20,110,60", L"-1,-2", L"0x10,#FF,3", L"  7 , 8"};
    for (int i = 0; i < 5000; ++i) {
        std::wstring text = fuzz.Mutate(samples[i % 4], 6);
        // Each text sits in its own exact-size heap block: a read past the terminator would
        // show up as more numbers than the text holds or as a crash.
        const size_t len = text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0');
        long v[8];
        const int n = ParseNumberList(text.c_str(), v, 8);
        ASSERT_GE(n, 0);
        ASSERT_LE(static_cast<size_t>(n), len + 1);
        ParseRect(text.c_str());
        ParseColor(text.c_str(), true);
    }
}
