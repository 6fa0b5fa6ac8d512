#pragma once
// The login dialog's record of the login it started: who (as the account storage classified the
// input) and with what (the typed password, or the digest remembered for the account).
#include <cstddef>
#include <cstdint>
#include <string>

#include "login/LoginInfoBlock.h"

struct LoginRecord {
    static constexpr uint32_t kSize = 1600;
    static constexpr size_t kPasswordUnits = 256;  // at most 255 characters and a zero

    uint32_t size = kSize;
    uint32_t loginType = 0;          // 1 account number, 2 e-mail text, 3 other text
    uint64_t accountNumber = 0;
    wchar_t email[kAccountTextUnits] = {};
    wchar_t otherText[kAccountTextUnits] = {};
    uint32_t passwordGiven = 0;      // 1: `password` holds the typed text; 0: `digest` the stored one
    union {
        wchar_t password[kPasswordUnits];
        uint8_t digest[16];
    } secret = {};
    uint8_t reserved[kSize - 788] = {};

    LoginRecord() = default;
    // The password does not outlive the record.
    ~LoginRecord();
    LoginRecord(const LoginRecord&) = delete;
    LoginRecord& operator=(const LoginRecord&) = delete;

    // Everything zero again (the size stays).
    void Clear();
    // Takes the current input of the block. With a digest stored for the matched account and no
    // password typed since it was shown, the record keeps that digest; otherwise the typed text.
    void Fill(const LoginInfoBlock& block, bool passwordEdited, const std::wstring& typedPassword);
};

static_assert(sizeof(LoginRecord) == LoginRecord::kSize);
