#include "foundation/StringUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Shown(const wchar_t* text)
{
    return testing::PrintToString(std::wstring(text));
}

TEST(NumberConversion, BasePrefixesWhiteSpaceAndNoNumber)
{
    const std::pair<const wchar_t*, long> longs[] = {
        {L"42", 42}, {L"0x1A", 26}, {L"0X1a", 26}, {L"010", 8},  // leading 0: octal
        {L"-15", -15}, {L" \t\r\n 77", 77},
        {L"12,34", 12}, {L"019", 1},  // stops at the first character that does not fit
        {L"2147483647", 2147483647L}, {L"-2147483648", -2147483647L - 1}};
    for (const auto& [text, value] : longs)
        EXPECT_EQ(WStringToLong(text), value) << Shown(text);

    const std::pair<const wchar_t*, unsigned long long> unsigneds[] = {
        {L"4294967295", 4294967295ULL}, {L"0xFFFFFFFF", 4294967295ULL}, {L"  0777", 511}, {L"10001 ", 10001}};
    for (const auto& [text, value] : unsigneds) {
        EXPECT_EQ(WStringToULong(text), value) << Shown(text);
        EXPECT_EQ(WStringToUInt64(text), value) << Shown(text);
    }
    EXPECT_EQ(WStringToUInt64(L"18446744073709551615"), 18446744073709551615ULL);
    EXPECT_EQ(WStringToUInt64(L"0x100000000"), 0x100000000ULL);
    EXPECT_EQ(WStringToUInt64(L"  4294967296"), 4294967296ULL);

    for (const wchar_t* text : {L"", L"abc", L"   ", L"x12", L"-", L"0x"}) {
        EXPECT_EQ(WStringToLong(text), 0) << Shown(text);
        EXPECT_EQ(WStringToULong(text), 0UL) << Shown(text);
        EXPECT_EQ(WStringToUInt64(text), 0ULL) << Shown(text);
    }
}

// The message of an out-of-range error is empty: callers only look at the type.
TEST(NumberConversion, OutOfRangeThrowsWithEmptyMessage)
{
    using Convert = void (*)(const wchar_t*);
    const Convert toLong = [](const wchar_t* t) { WStringToLong(t); };
    const Convert toULong = [](const wchar_t* t) { WStringToULong(t); };
    const Convert toUInt64 = [](const wchar_t* t) { WStringToUInt64(t); };
    const std::pair<Convert, const wchar_t*> cases[] = {
        {toLong, L"2147483648"}, {toLong, L"-2147483649"}, {toLong, L"0x80000000"}, {toULong, L"4294967296"},
        {toULong, L"0x100000000"}, {toUInt64, L"18446744073709551616"}, {toUInt64, L"0x10000000000000000"}};
    for (const auto& [convert, text] : cases) {
        try {
            convert(text);
            ADD_FAILURE() << "no out_of_range for " << Shown(text);
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "") << Shown(text);
        }
    }
}

TEST(Trim, RemovesOnlyCharactersOfTheSetAtTheEnds)
{
    struct Case {
        const wchar_t *text, *set, *left, *right;
    };
    const Case cases[] = {{L"xyabcyx", L"xy", L"abcyx", L"xyabc"}, {L" a b ", L" ", L"a b ", L" a b"},
                          {L"xxxx", L"x", L"", L""},                 {L"  a  ", L"", L"  a  ", L"  a  "},
                          {L"", L" ", L"", L""}};
    for (const Case& c : cases) {
        std::wstring left = c.text, right = c.text;
        WStringTrimLeft(left, c.set);
        WStringTrimRight(right, c.set);
        EXPECT_EQ(left, c.left) << Shown(c.text);
        EXPECT_EQ(right, c.right) << Shown(c.text);
    }
    std::wstring lines = L"\r\nline one\r\nline\ttwo\n\r\r";
    StripLineBreaks(lines);
    EXPECT_EQ(lines, L"line oneline\ttwo");
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

TEST(FileText, Utf16BytesBothOrdersAndCodePages)
{
    const std::wstring wide = L"a\xD83D\xDE00\x4E2D\x6587z";
    const std::string le("a\0\x3D\xD8\x00\xDE\x2D\x4E\x87\x65z\0", 12);
    const std::string be("\0a\xD8\x3D\xDE\x00\x4E\x2D\x65\x87\0z", 12);
    EXPECT_EQ(WideToUtf16Bytes(wide), le);
    EXPECT_EQ(WideToUtf16Bytes(wide, true), be);
    EXPECT_EQ(Utf16BytesToWide(le), wide);
    EXPECT_EQ(Utf16BytesToWide(be, true), wide);
    // An odd last byte is no character.
    EXPECT_EQ(Utf16BytesToWide(le + 'x'), wide);
    EXPECT_EQ(Utf16BytesToWide("x"), L"");

    // The Chinese code page and UTF-8 both ways; nothing to convert gives nothing, not an exception.
    const std::string gbk = "a\xD6\xD0\xCE\xC4z";
    EXPECT_EQ(CodePageToWide(936, gbk), L"a\x4E2D\x6587z");
    EXPECT_EQ(WideToCodePage(936, L"a\x4E2D\x6587z"), gbk);
    EXPECT_EQ(CodePageToWide(65001, WideToUtf8(wide)), wide);
    EXPECT_EQ(WideToCodePage(65001, wide), WideToUtf8(wide));
    EXPECT_EQ(CodePageToWide(936, ""), L"");
    EXPECT_EQ(WideToCodePage(936, L""), "");
    EXPECT_EQ(CodePageToWide(0xFFFF, "abc"), L"");
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
