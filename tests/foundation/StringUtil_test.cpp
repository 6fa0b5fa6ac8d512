#include "foundation/StringUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The message of an out-of-range error is empty: callers only look at the type.
template <typename Fn>
void ExpectOutOfRange(Fn fn, const wchar_t* text)
{
    try {
        fn(text);
        ADD_FAILURE() << "no out_of_range for " << testing::PrintToString(std::wstring(text));
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "") << testing::PrintToString(std::wstring(text));
    }
}

TEST(NumberConversion, BasePrefixesAndWhiteSpace)
{
    EXPECT_EQ(WStringToLong(L"42"), 42);
    EXPECT_EQ(WStringToLong(L"0x1A"), 26);
    EXPECT_EQ(WStringToLong(L"0X1a"), 26);
    EXPECT_EQ(WStringToLong(L"010"), 8);  // leading 0: octal
    EXPECT_EQ(WStringToLong(L"-15"), -15);
    EXPECT_EQ(WStringToLong(L" \t\r\n 77"), 77);
    EXPECT_EQ(WStringToLong(L"12,34"), 12);  // stops at the first character that does not fit
    EXPECT_EQ(WStringToLong(L"019"), 1);     // 9 is no octal digit

    EXPECT_EQ(WStringToULong(L"4294967295"), 4294967295UL);
    EXPECT_EQ(WStringToULong(L"0xFFFFFFFF"), 4294967295UL);
    EXPECT_EQ(WStringToULong(L"  0777"), 511UL);
    EXPECT_EQ(WStringToULong(L"10001 "), 10001UL);

    EXPECT_EQ(WStringToUInt64(L"18446744073709551615"), 18446744073709551615ULL);
    EXPECT_EQ(WStringToUInt64(L"0x100000000"), 0x100000000ULL);
    EXPECT_EQ(WStringToUInt64(L"  4294967296"), 4294967296ULL);
    EXPECT_EQ(WStringToUInt64(L"017"), 15ULL);
}

TEST(NumberConversion, TextThatIsNoNumberGivesZero)
{
    for (const wchar_t* text : {L"", L"abc", L"   ", L"x12", L"-", L"0x"}) {
        EXPECT_EQ(WStringToLong(text), 0) << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(WStringToULong(text), 0UL) << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(WStringToUInt64(text), 0ULL) << testing::PrintToString(std::wstring(text));
    }
}

TEST(NumberConversion, OutOfRangeThrowsWithEmptyMessage)
{
    ExpectOutOfRange(WStringToLong, L"2147483648");
    ExpectOutOfRange(WStringToLong, L"-2147483649");
    ExpectOutOfRange(WStringToLong, L"0x80000000");
    ExpectOutOfRange(WStringToULong, L"4294967296");
    ExpectOutOfRange(WStringToULong, L"0x100000000");
    ExpectOutOfRange(WStringToUInt64, L"18446744073709551616");
    ExpectOutOfRange(WStringToUInt64, L"0x10000000000000000");
    // The limits themselves are in range.
    EXPECT_EQ(WStringToLong(L"2147483647"), 2147483647L);
    EXPECT_EQ(WStringToLong(L"-2147483648"), -2147483647L - 1);
}

TEST(Trim, RemovesOnlyCharactersOfTheSetAtTheEnds)
{
    std::wstring s = L"xyabcyx";
    WStringTrimLeft(s, L"xy");
    EXPECT_EQ(s, L"abcyx");
    WStringTrimRight(s, L"xy");
    EXPECT_EQ(s, L"abc");

    std::wstring inner = L" a b ";
    WStringTrimLeft(inner, L" ");
    WStringTrimRight(inner, L" ");
    EXPECT_EQ(inner, L"a b");

    std::wstring all = L"xxxx";
    WStringTrimLeft(all, L"x");
    EXPECT_EQ(all, L"");
    all = L"xxxx";
    WStringTrimRight(all, L"x");
    EXPECT_EQ(all, L"");

    std::wstring untouched = L"  a  ";
    WStringTrimLeft(untouched, L"");
    WStringTrimRight(untouched, L"");
    EXPECT_EQ(untouched, L"  a  ");
    std::wstring empty;
    WStringTrimLeft(empty, L" ");
    WStringTrimRight(empty, L" ");
    EXPECT_EQ(empty, L"");
}

TEST(StripLineBreaks, RemovesEveryCrAndLf)
{
    std::wstring s = L"\r\nline one\r\nline\ttwo\n\r\r";
    StripLineBreaks(s);
    EXPECT_EQ(s, L"line oneline\ttwo");
}

TEST(Utf8, OutsideTheBmpAndChinese)
{
    // U+1F600 as a surrogate pair; U+4E2D U+6587 ("Chinese" in Chinese).
    const std::wstring wide = L"a\xD83D\xDE00\x4E2D\x6587z";
    const std::string utf8 = WideToUtf8(wide);
    EXPECT_EQ(utf8, "a\xF0\x9F\x98\x80\xE4\xB8\xAD\xE6\x96\x87z");
    EXPECT_EQ(Utf8ToWide(utf8), wide);
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(Utf8ToWide(""), L"");
    // Embedded terminators are text like any other.
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(SplitString, KeepsInnerEmptyPiecesButNoTrailingOne)
{
    using V = std::vector<std::wstring>;
    EXPECT_EQ(SplitString(L"a,b,c", L','), (V{L"a", L"b", L"c"}));
    EXPECT_EQ(SplitString(L"a,,b", L','), (V{L"a", L"", L"b"}));
    EXPECT_EQ(SplitString(L",a", L','), (V{L"", L"a"}));
    EXPECT_EQ(SplitString(L"a,b,", L','), (V{L"a", L"b"}));
    EXPECT_EQ(SplitString(L"a,,", L','), (V{L"a", L""}));
    EXPECT_EQ(SplitString(L"abc", L','), (V{L"abc"}));
    EXPECT_EQ(SplitString(L"", L','), V{});
    EXPECT_EQ(SplitString(L"line1\n\nline3\n", L'\n'), (V{L"line1", L"", L"line3"}));
}

}  // namespace
