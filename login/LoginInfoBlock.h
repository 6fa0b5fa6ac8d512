#pragma once

#include <cstdint>
#include <string>

// What a typed account text is (also the login type of the current input).
enum AccountTextKind : uint32_t {
    kAccountTextInvalid = 0,
    kAccountTextNumber = 1,
    kAccountTextEmail = 2,
    kAccountTextOther = 3, // given as such by the login dialog, never classified
};

// Number or e-mail address, by shape only.
AccountTextKind ClassifyAccountText(const wchar_t* text);

// The account number that a text of the number's shape names (5 to 15 decimal digits, at least
// 10000); false for any other text.
bool ParseAccountNumber(const wchar_t* text, uint64_t& number);

// Text fields of the block hold at most this many units including the terminator.
constexpr size_t kAccountTextUnits = 64;

// The fields of a remembered account that the login dialog works with.
struct AccountSlotBase {
    static constexpr uint16_t kFilledSize = 176;

    uint16_t size = 0;      // kFilledSize when the slot is filled
    uint32_t loginType = 0; // [LoginSet] "LoginType"
    uint64_t accountNumber = 0;
    wchar_t email[kAccountTextUnits] = {}; // [LoginSet] "Email"
    uint32_t lastLoginTime = 0;            // seconds since 1970
    uint32_t incognito = 0;                // [LoginSet] "IfIncog"
    uint32_t rememberPassword = 0;         // non-zero: the digest holds the remembered password
};

// One remembered account of "Account.cfg" with its settings.
struct AccountSlot : AccountSlotBase {
    uint8_t passwordDigest[16] = {};
};

// The remembered accounts of this machine and the login dialog's current input.
class LoginInfoBlock {
public:
    static constexpr uint16_t kMaxAccounts = 20;
    // Numbers below this never name a remembered account.
    static constexpr uint64_t kMinLookupNumber = 10000;

    LoginInfoBlock() = default;
    LoginInfoBlock(const LoginInfoBlock&) = delete; // currentSlot points into the block
    LoginInfoBlock& operator=(const LoginInfoBlock&) = delete;

    // The process-wide block, created on first use.
    static LoginInfoBlock& GetInstance();

    // Makes the text the current input. Returns 1 when it is an account number or
    // e-mail address; an other text (otherText true) and a text that is neither give 0.
    int SetLoginInput(const wchar_t* text, bool otherText);

    // The last filled slot with that number; null for numbers below 10000.
    AccountSlot* FindByNumber(uint64_t accountNumber);
    // The last filled slot whose e-mail equals the text exactly.
    AccountSlot* FindByEmail(const wchar_t* email);

    // Newest last-login time first.
    void SortByLastLogin();

    uint16_t reserved = 0;
    uint16_t accountCount = 0;
    AccountSlot accounts[kMaxAccounts];
    uint64_t lastAccountNumber = 0; // "LastKwiUin" of Info.ini

    // The current input.
    uint32_t loginType = kAccountTextInvalid;
    uint64_t currentAccountNumber = 0;
    wchar_t currentEmail[kAccountTextUnits] = {};
    AccountSlot* currentSlot = nullptr; // the slot that matches the input, or null
    wchar_t currentOtherText[kAccountTextUnits] = {};
    AccountSlotBase workingAccount;     // filled by the login dialog
    std::wstring typedText;             // the input in full, for the login itself

private:
    void ClearCurrentInput();
};

// Copies at most kAccountTextUnits-1 units of the text and terminates.
void CopyAccountText(wchar_t (&dest)[kAccountTextUnits], const wchar_t* text);
