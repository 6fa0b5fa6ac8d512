#include "login/LoginInfoBlock.h"

#include <cwchar>
#include <utility>

#include "login/DecimalText.h"

namespace {

constexpr size_t kMaxNumberDigits = 15;
constexpr uint64_t kMinTypedNumber = 10000;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

} // namespace

AccountTextKind ClassifyAccountText(const wchar_t* text)
{
    if (!text)
        return kAccountTextInvalid;
    const size_t length = std::wcslen(text);
    size_t firstOther = 0;
    while (firstOther < length && IsDigit(text[firstOther]))
        ++firstOther;

    // 1. Digits only (an empty text counts so): a number of 5 to 15 digits' worth.
    if (firstOther == length) {
        uint64_t value = 0;
        if (length == 0 || length > kMaxNumberDigits || !TryParseUInt64W(text, 10, value))
            return kAccountTextInvalid;
        return value >= kMinTypedNumber ? kAccountTextNumber : kAccountTextInvalid;
    }

    // 2. name@host.domain: an at sign after the first character, then a dot with
    //    at least two characters between it and the at sign, then at least one more.
    const wchar_t* at = std::wcschr(text + firstOther, L'@');
    if (!at || at == text)
        return kAccountTextInvalid;
    const size_t atIndex = static_cast<size_t>(at - text);
    if (atIndex + 3 >= length)
        return kAccountTextInvalid;
    const wchar_t* dot = std::wcschr(at + 3, L'.');
    if (!dot || dot[1] == L'\0')
        return kAccountTextInvalid;
    return kAccountTextEmail;
}

bool ParseAccountNumber(const wchar_t* text, uint64_t& number)
{
    // Classified as at most 15 digits, so the 64-bit read cannot fail.
    return ClassifyAccountText(text) == kAccountTextNumber && TryParseUInt64W(text, 10, number);
}

void CopyAccountText(wchar_t (&dest)[kAccountTextUnits], const wchar_t* text)
{
    size_t i = 0;
    for (; text && text[i] && i + 1 < kAccountTextUnits; ++i)
        dest[i] = text[i];
    for (; i < kAccountTextUnits; ++i)
        dest[i] = L'\0';
}

LoginInfoBlock& LoginInfoBlock::GetInstance()
{
    static LoginInfoBlock block;
    return block;
}

void LoginInfoBlock::ClearCurrentInput()
{
    loginType = kAccountTextInvalid;
    currentAccountNumber = 0;
    CopyAccountText(currentEmail, nullptr);
    currentSlot = nullptr;
    CopyAccountText(currentOtherText, nullptr);
}

int LoginInfoBlock::SetLoginInput(const wchar_t* text, bool otherText)
{
    if (!text)
        return 0;
    typedText = text;
    // A previous input's number, e-mail and matching slot never carry over, so an
    // other-text login cannot pick up the stored digest of an earlier account.
    ClearCurrentInput();

    if (otherText) {
        loginType = kAccountTextOther;
        CopyAccountText(currentOtherText, text);
        return 0;
    }

    loginType = ClassifyAccountText(text);
    switch (loginType) {
    case kAccountTextNumber: {
        uint64_t number = 0;
        ParseAccountNumber(text, number);
        currentAccountNumber = number;
        currentSlot = FindByNumber(number);
        return 1;
    }
    case kAccountTextEmail:
        CopyAccountText(currentEmail, text);
        // Matched on the full text: a longer address never matches a stored prefix.
        currentSlot = FindByEmail(text);
        currentAccountNumber = currentSlot ? currentSlot->accountNumber : 0;
        return 1;
    default:
        return 0;
    }
}

AccountSlot* LoginInfoBlock::FindByNumber(uint64_t accountNumber)
{
    if (accountNumber < kMinLookupNumber)
        return nullptr;
    AccountSlot* found = nullptr;
    for (uint16_t i = 0; i < accountCount && i < kMaxAccounts; ++i) {
        if (accounts[i].accountNumber == accountNumber)
            found = &accounts[i];
    }
    return found;
}

AccountSlot* LoginInfoBlock::FindByEmail(const wchar_t* email)
{
    if (!email)
        return nullptr;
    AccountSlot* found = nullptr;
    for (uint16_t i = 0; i < accountCount && i < kMaxAccounts; ++i) {
        if (std::wcscmp(accounts[i].email, email) == 0)
            found = &accounts[i];
    }
    return found;
}

void LoginInfoBlock::SortByLastLogin()
{
    const uint16_t count = accountCount < kMaxAccounts ? accountCount : kMaxAccounts;
    for (uint16_t i = 0; i < count; ++i) {
        for (uint16_t j = i + 1; j < count; ++j) {
            if (accounts[j].lastLoginTime > accounts[i].lastLoginTime)
                std::swap(accounts[j], accounts[i]);
        }
    }
}
