#include <gtest/gtest.h>

#include "login/AccountRecord.h"
#include "login/DecimalText.h"

TEST(AccountRecord, EncodesLittleEndianWithoutPadding)
{
    AccountRecord record;
    record.accountNumber = 0x0102030405060708ULL;
    for (uint8_t i = 0; i < 16; ++i)
        record.passwordDigest[i] = static_cast<uint8_t>(0xA0 + i);
    record.rememberPassword = 1;
    record.lastLoginTime = 0x11223344;

    const AccountRecord::Bytes bytes = record.Encode();
    const AccountRecord::Bytes expected = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                                           0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
                                           0x01, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(bytes, expected);

    const AccountRecord back = AccountRecord::Decode(bytes);
    EXPECT_EQ(back.accountNumber, record.accountNumber);
    EXPECT_EQ(back.passwordDigest, record.passwordDigest);
    EXPECT_EQ(back.rememberPassword, 1);
    EXPECT_EQ(back.lastLoginTime, 0x11223344u);
}

TEST(DecimalText, FormatAndParse)
{
    EXPECT_EQ(FormatDecimalW(-42), L"-42");
    EXPECT_EQ(FormatDecimalW(2147483647), L"2147483647");
    EXPECT_EQ(FormatUInt64W(18446744073709551615ULL), L"18446744073709551615");

    const std::tuple<const wchar_t*, int, uint64_t> good[] = {
        {L"18446744073709551615", 10, 18446744073709551615ULL}, {L" 4294967296 ", 10, 4294967296ULL},
        {L"0x10", 0, 16}, {L"010", 0, 8}};
    for (const auto& [text, base, value] : good) {
        uint64_t v = 7;
        EXPECT_TRUE(TryParseUInt64W(text, base, v)) << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(v, value);
    }
    for (const wchar_t* bad : {L"18446744073709551616", L"-5", L"+5", L"12abc", L"", L"   "}) {
        uint64_t v = 7;
        EXPECT_FALSE(TryParseUInt64W(bad, 10, v)) << testing::PrintToString(std::wstring(bad));
        EXPECT_EQ(v, 7u);
    }
    uint64_t v = 7;
    EXPECT_FALSE(TryParseUInt64W(nullptr, 10, v));
}
