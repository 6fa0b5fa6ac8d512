#include <gtest/gtest.h>

#include <string>

#include "login/LoginInfoBlock.h"

namespace {

void Fill(LoginInfoBlock& block, uint16_t index, uint64_t number, const wchar_t* email, uint32_t time)
{
    AccountSlot& slot = block.accounts[index];
    slot = AccountSlot{};
    slot.size = AccountSlot::kFilledSize;
    slot.accountNumber = number;
    CopyAccountText(slot.email, email);
    slot.lastLoginTime = time;
    if (block.accountCount <= index)
        block.accountCount = static_cast<uint16_t>(index + 1);
}

} // namespace

TEST(ClassifyAccountText, NumbersAndEmailShapes)
{
    const std::pair<const wchar_t*, AccountTextKind> cases[] = {
        {L"12345", kAccountTextNumber}, {L"10000", kAccountTextNumber}, {L"1234", kAccountTextInvalid},
        {L"9999", kAccountTextInvalid}, {L"", kAccountTextInvalid}, {nullptr, kAccountTextInvalid},
        // 15 digits still name an account, 16 do not (even with leading zeros).
        {L"999999999999999", kAccountTextNumber}, {L"1000000000000000", kAccountTextInvalid},
        {L"0000000000012345", kAccountTextInvalid},
        // Leading zeros count as digits; the value decides.
        {L"00012345", kAccountTextNumber}, {L"000009999", kAccountTextInvalid},
        // Blanks are not digits: the dialog trims before asking.
        {L" 12345", kAccountTextInvalid}, {L"12345 ", kAccountTextInvalid}, {L"123a45", kAccountTextInvalid},

        {L"user@mail.com", kAccountTextEmail}, {L"12345@qq.com", kAccountTextEmail}, {L"a@bc.d", kAccountTextEmail},
        {L"@mail.com", kAccountTextInvalid},  // at sign first
        // Dot right after the character that follows the at sign, or right after the at sign;
        // a later dot far enough away still counts.
        {L"a@b.cd", kAccountTextInvalid}, {L"a@.bcd", kAccountTextInvalid}, {L"a@b.cd.e", kAccountTextEmail},
        // Nothing after the dot, no dot, no at sign.
        {L"a@bcd.", kAccountTextInvalid}, {L"a@bcdef", kAccountTextInvalid}, {L"name.mail.com", kAccountTextInvalid},
        {L"a@", kAccountTextInvalid}, {L"a@b", kAccountTextInvalid}};
    for (const auto& [text, kind] : cases)
        EXPECT_EQ(ClassifyAccountText(text), kind) << testing::PrintToString(std::wstring(text ? text : L"<null>"));
}

TEST(LoginInfoBlock, SetLoginInputNumbers)
{
    LoginInfoBlock block;
    Fill(block, 0, 12345, L"", 10);
    Fill(block, 1, 123456789012345ULL, L"", 20);

    struct Case {
        const wchar_t* text;
        int result;
        uint64_t number;
        const AccountSlot* slot;
    };
    const Case cases[] = {
        {L"12345", 1, 12345, &block.accounts[0]},
        {L"123456789012345", 1, 123456789012345ULL, &block.accounts[1]},  // read as 64 bits, not cut at 32
        {L"00012345", 1, 12345, &block.accounts[0]},
        {L"55555", 1, 55555, nullptr},  // a number nobody saved has no slot
        // Invalid input clears what the previous one set.
        {L" 12345", 0, 0, nullptr}, {L"1234567890123456", 0, 0, nullptr}};
    for (const Case& c : cases) {
        ASSERT_EQ(block.SetLoginInput(L"12345", false), 1);
        EXPECT_EQ(block.SetLoginInput(c.text, false), c.result) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(block.loginType, c.result ? kAccountTextNumber : kAccountTextInvalid);
        EXPECT_EQ(block.currentAccountNumber, c.number);
        EXPECT_EQ(block.currentSlot, c.slot);
        EXPECT_EQ(block.typedText, c.text);
    }
    EXPECT_EQ(block.SetLoginInput(nullptr, false), 0);
}

TEST(LoginInfoBlock, SetLoginInputEmail)
{
    LoginInfoBlock block;
    Fill(block, 0, 20001, L"first@mail.com", 10);
    Fill(block, 1, 20002, L"Second@mail.com", 20);
    Fill(block, 2, 20003, L"first@mail.com", 30);

    // The last slot with the address wins; the comparison is case-sensitive.
    EXPECT_EQ(block.SetLoginInput(L"first@mail.com", false), 1);
    EXPECT_EQ(block.loginType, kAccountTextEmail);
    EXPECT_EQ(block.currentSlot, &block.accounts[2]);
    EXPECT_EQ(block.currentAccountNumber, 20003u);
    EXPECT_STREQ(block.currentEmail, L"first@mail.com");

    EXPECT_EQ(block.SetLoginInput(L"second@mail.com", false), 1);
    EXPECT_EQ(block.currentSlot, nullptr);
    EXPECT_EQ(block.currentAccountNumber, 0u);

    // A long address keeps 63 units and a terminator; the full text stays for the login
    // and never matches a saved address that is only its prefix.
    const std::wstring longMail = std::wstring(70, L'x') + L"@mail.com";
    Fill(block, 3, 20004, longMail.substr(0, 63).c_str(), 40);
    EXPECT_EQ(block.SetLoginInput(longMail.c_str(), false), 1);
    EXPECT_EQ(std::wstring(block.currentEmail), longMail.substr(0, 63));
    EXPECT_EQ(block.currentEmail[63], L'\0');
    EXPECT_EQ(block.typedText, longMail);
    EXPECT_EQ(block.currentSlot, nullptr);
}

TEST(LoginInfoBlock, SetLoginInputOtherText)
{
    LoginInfoBlock block;
    Fill(block, 0, 12345, L"a@mail.com", 10);
    ASSERT_EQ(block.SetLoginInput(L"12345", false), 1);

    // Other text is never classified and leaves nothing of the previous account behind.
    EXPECT_EQ(block.SetLoginInput(L"12345", true), 0);
    EXPECT_EQ(block.loginType, kAccountTextOther);
    EXPECT_STREQ(block.currentOtherText, L"12345");
    EXPECT_EQ(block.currentSlot, nullptr);
    EXPECT_EQ(block.currentAccountNumber, 0u);

    const std::wstring longText(200, L'n');
    EXPECT_EQ(block.SetLoginInput(longText.c_str(), true), 0);
    EXPECT_EQ(std::wstring(block.currentOtherText), longText.substr(0, 63));
    EXPECT_EQ(block.typedText, longText);
}

TEST(LoginInfoBlock, FindAndSort)
{
    LoginInfoBlock block;
    Fill(block, 0, 10000, L"", 5);
    Fill(block, 1, 30001, L"", 5);
    Fill(block, 2, 30002, L"", 50);
    Fill(block, 3, 30003, L"", 7);
    Fill(block, 4, 30004, L"", 50);

    // Numbers below 10000 never match; 10000 itself may.
    EXPECT_EQ(block.FindByNumber(0), nullptr);
    EXPECT_EQ(block.FindByNumber(9999), nullptr);
    EXPECT_EQ(block.FindByNumber(10000), &block.accounts[0]);
    // Slots past the count are not searched.
    block.accounts[10].accountNumber = 40000;
    EXPECT_EQ(block.FindByNumber(40000), nullptr);

    block.SortByLastLogin();
    const uint32_t sorted[] = {50, 50, 7, 5, 5};
    for (uint16_t i = 0; i < 5; ++i)
        EXPECT_EQ(block.accounts[i].lastLoginTime, sorted[i]) << "slot " << i;
}
