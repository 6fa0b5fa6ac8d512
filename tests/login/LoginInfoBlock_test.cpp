#include <gtest/gtest.h>

#include <cstring>
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

TEST(ClassifyAccountText, Numbers)
{
    EXPECT_EQ(ClassifyAccountText(L"12345"), kAccountTextNumber);
    EXPECT_EQ(ClassifyAccountText(L"10000"), kAccountTextNumber);
    EXPECT_EQ(ClassifyAccountText(L"1234"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"9999"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L""), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(nullptr), kAccountTextInvalid);
    // 15 digits still name an account, 16 do not (even with leading zeros).
    EXPECT_EQ(ClassifyAccountText(L"999999999999999"), kAccountTextNumber);
    EXPECT_EQ(ClassifyAccountText(L"1000000000000000"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"0000000000012345"), kAccountTextInvalid);
    // Leading zeros count as digits; the value decides.
    EXPECT_EQ(ClassifyAccountText(L"00012345"), kAccountTextNumber);
    EXPECT_EQ(ClassifyAccountText(L"000009999"), kAccountTextInvalid);
    // Blanks are not digits: the dialog trims before asking.
    EXPECT_EQ(ClassifyAccountText(L" 12345"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"12345 "), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"123a45"), kAccountTextInvalid);
}

TEST(ClassifyAccountText, EmailShapes)
{
    EXPECT_EQ(ClassifyAccountText(L"user@mail.com"), kAccountTextEmail);
    EXPECT_EQ(ClassifyAccountText(L"12345@qq.com"), kAccountTextEmail);
    EXPECT_EQ(ClassifyAccountText(L"a@bc.d"), kAccountTextEmail);
    // At sign first.
    EXPECT_EQ(ClassifyAccountText(L"@mail.com"), kAccountTextInvalid);
    // Dot right after the character that follows the at sign, or right after the at sign.
    EXPECT_EQ(ClassifyAccountText(L"a@b.cd"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"a@.bcd"), kAccountTextInvalid);
    // A later dot far enough away still counts.
    EXPECT_EQ(ClassifyAccountText(L"a@b.cd.e"), kAccountTextEmail);
    // Nothing after the dot, no dot, no at sign.
    EXPECT_EQ(ClassifyAccountText(L"a@bcd."), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"a@bcdef"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"name.mail.com"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"a@"), kAccountTextInvalid);
    EXPECT_EQ(ClassifyAccountText(L"a@b"), kAccountTextInvalid);
}

TEST(LoginInfoBlock, SetLoginInputNumbers)
{
    LoginInfoBlock block;
    Fill(block, 0, 12345, L"", 10);
    Fill(block, 1, 123456789012345ULL, L"", 20);

    EXPECT_EQ(block.SetLoginInput(L"12345", false), 1);
    EXPECT_EQ(block.loginType, kAccountTextNumber);
    EXPECT_EQ(block.currentAccountNumber, 12345u);
    EXPECT_EQ(block.currentSlot, &block.accounts[0]);
    EXPECT_EQ(block.typedText, L"12345");

    // 15 digits are read as a 64-bit number, not cut at 32 bits.
    EXPECT_EQ(block.SetLoginInput(L"123456789012345", false), 1);
    EXPECT_EQ(block.currentAccountNumber, 123456789012345ULL);
    EXPECT_EQ(block.currentSlot, &block.accounts[1]);

    EXPECT_EQ(block.SetLoginInput(L"00012345", false), 1);
    EXPECT_EQ(block.currentAccountNumber, 12345u);
    EXPECT_EQ(block.currentSlot, &block.accounts[0]);

    // A number nobody saved has no slot.
    EXPECT_EQ(block.SetLoginInput(L"55555", false), 1);
    EXPECT_EQ(block.currentAccountNumber, 55555u);
    EXPECT_EQ(block.currentSlot, nullptr);

    // Invalid input clears what the previous one set.
    EXPECT_EQ(block.SetLoginInput(L" 12345", false), 0);
    EXPECT_EQ(block.loginType, kAccountTextInvalid);
    EXPECT_EQ(block.currentAccountNumber, 0u);
    EXPECT_EQ(block.currentSlot, nullptr);
    EXPECT_EQ(block.typedText, L" 12345");

    EXPECT_EQ(block.SetLoginInput(L"1234567890123456", false), 0);
    EXPECT_EQ(block.currentAccountNumber, 0u);
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
    ASSERT_NE(block.currentSlot, nullptr);

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
    uint32_t previous = UINT32_MAX;
    for (uint16_t i = 0; i < block.accountCount; ++i) {
        EXPECT_LE(block.accounts[i].lastLoginTime, previous) << "slot " << i;
        previous = block.accounts[i].lastLoginTime;
    }
    EXPECT_EQ(block.accounts[0].lastLoginTime, 50u);
    EXPECT_EQ(block.accounts[4].lastLoginTime, 5u);
}

TEST(LoginInfoBlock, ProcessWideInstance)
{
    LoginInfoBlock& block = LoginInfoBlock::GetInstance();
    EXPECT_EQ(&block, &LoginInfoBlock::GetInstance());
    EXPECT_EQ(block.accountCount, 0u);
    EXPECT_EQ(block.loginType, 0u);
}
