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
    const uint8_t expected[29] = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                                  0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                  0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
                                  0x01, 0x44, 0x33, 0x22, 0x11};
    for (size_t i = 0; i < 29; ++i)
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;

    const AccountRecord back = AccountRecord::Decode(bytes);
    EXPECT_EQ(back.accountNumber, record.accountNumber);
    EXPECT_EQ(back.passwordDigest, record.passwordDigest);
    EXPECT_EQ(back.rememberPassword, 1);
    EXPECT_EQ(back.lastLoginTime, 0x11223344u);
}

TEST(AccountRecord, EmptyRecords)
{
    AccountRecord record;
    EXPECT_FALSE(record.HoldsAccount());
    record.accountNumber = 10000;
    EXPECT_FALSE(record.HoldsAccount());
    record.accountNumber = 10001;
    EXPECT_TRUE(record.HoldsAccount());
    for (uint8_t b : AccountRecord{}.Encode())
        EXPECT_EQ(b, 0);
}

TEST(DecimalText, FormatAndParse)
{
    EXPECT_EQ(FormatDecimalW(-42), L"-42");
    EXPECT_EQ(FormatDecimalW(2147483647), L"2147483647");
    EXPECT_EQ(FormatUInt64W(18446744073709551615ULL), L"18446744073709551615");

    uint64_t v = 7;
    EXPECT_TRUE(TryParseUInt64W(L"18446744073709551615", 10, v));
    EXPECT_EQ(v, 18446744073709551615ULL);
    EXPECT_TRUE(TryParseUInt64W(L" 4294967296 ", 10, v));
    EXPECT_EQ(v, 4294967296ULL);
    EXPECT_TRUE(TryParseUInt64W(L"0x10", 0, v));
    EXPECT_EQ(v, 16u);
    EXPECT_TRUE(TryParseUInt64W(L"010", 0, v));
    EXPECT_EQ(v, 8u);

    v = 7;
    EXPECT_FALSE(TryParseUInt64W(L"18446744073709551616", 10, v));
    EXPECT_FALSE(TryParseUInt64W(L"-5", 10, v));
    EXPECT_FALSE(TryParseUInt64W(L"+5", 10, v));
    EXPECT_FALSE(TryParseUInt64W(L"12abc", 10, v));
    EXPECT_FALSE(TryParseUInt64W(L"", 10, v));
    EXPECT_FALSE(TryParseUInt64W(L"   ", 10, v));
    EXPECT_FALSE(TryParseUInt64W(nullptr, 10, v));
    EXPECT_EQ(v, 7u);
}
