#pragma once

#include <cstdint>

#include "login/LoginRecords.h"

struct SSOAccountTable;

// The single-sign-on provider's callbacks, in slot order.
struct ISSODataProviderEventHandler {
    virtual void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* server,
                                const _tagKwiBASEUSERINFO* user) = 0;
    virtual void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) = 0;
    virtual void OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) = 0;
    virtual void OnAccountListChanged(const SSOAccountTable* table) = 0;
    virtual void OnServerTime(uint32_t serverTime) = 0;
    virtual void OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber) = 0;

protected:
    ~ISSODataProviderEventHandler() = default;
};
