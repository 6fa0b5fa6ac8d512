#include "login/windows/LoginRecord.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

LoginRecord::~LoginRecord()
{
    ::SecureZeroMemory(&secret, sizeof(secret));
}

void LoginRecord::Clear()
{
    loginType = 0;
    accountNumber = 0;
    std::memset(email, 0, sizeof(email));
    std::memset(otherText, 0, sizeof(otherText));
    passwordGiven = 0;
    ::SecureZeroMemory(&secret, sizeof(secret));
}

void LoginRecord::Fill(const LoginInfoBlock& block, bool passwordEdited, const std::wstring& typedPassword)
{
    Clear();
    loginType = block.loginType;
    accountNumber = block.currentAccountNumber;
    std::memcpy(email, block.currentEmail, sizeof(email));
    std::memcpy(otherText, block.currentOtherText, sizeof(otherText));
    const AccountSlot* slot = block.currentSlot;
    if (slot != nullptr && slot->rememberPassword != 0 && !passwordEdited) {
        passwordGiven = 0;
        std::memcpy(secret.digest, slot->passwordDigest, sizeof(secret.digest));
        return;
    }
    passwordGiven = 1;
    wcsncpy(secret.password, typedPassword.c_str(), kPasswordUnits - 1);
}
