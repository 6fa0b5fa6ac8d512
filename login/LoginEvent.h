#pragma once

#include <cstdint>

#include "login/LoginRecords.h"

struct SSOAccountTable;

// The marker base of every event interface; handler lists store handlers by it.
struct IEvent {
protected:
    ~IEvent() = default;
};

// What a login-event handler hears, in slot order.
struct ILoginEvent : IEvent {
    virtual void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* server,
                                const _tagKwiBASEUSERINFO* user) = 0;
    // reason may be null; reserved is always 0.
    virtual void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) = 0;
    virtual void OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) = 0;
    // The provider's account table, or null when it took no account.
    virtual void OnAccountListChanged(const SSOAccountTable* table) = 0;
    virtual void OnAccountListEmpty() = 0;
    virtual void OnAccountListReloaded(const SSOAccountTable* table) = 0;
    virtual void OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber) = 0;

protected:
    ~ILoginEvent() = default;
};
