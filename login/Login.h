#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "login/EventProducer.h"
#include "login/LoginEvent.h"
#include "login/LoginRecords.h"
#include "login/SSODataProviderEventHandler.h"

class CSSODataProvider;
struct SSOAccountTable;

// The process-wide login controller. It owns the single-sign-on provider, keeps the records
// of each successful login by account text, and turns the provider's callbacks into login
// events for its handlers (newest first). Everything runs on the UI thread.
class CLogin : public IEventProducerImpl<ILoginEvent, IEventProducer, 1>,
               public ISSODataProviderEventHandler {
public:
    static CLogin& GetInstance();

    CLogin();
    ~CLogin() override;
    CLogin(const CLogin&) = delete;
    CLogin& operator=(const CLogin&) = delete;

    // Creates and initialises the provider once. True whenever the provider exists, also when
    // its library could not be loaded (its operations then do nothing).
    bool InitSSO();

    // The login dialog calls the provider's operations directly, after InitSSO.
    std::shared_ptr<CSSODataProvider> provider;

    // The firing family: each calls the given ILoginEvent slot on every handler, newest first,
    // with the values read afresh from the pointed-to variables for each handler.
    void FireEvent0(void (ILoginEvent::*op)());
    void FireEvent1(void (ILoginEvent::*op)(const SSOAccountTable*), const SSOAccountTable* const* table);
    void FireEvent3(void (ILoginEvent::*op)(const wchar_t*, const _tagKwiSERVERLOGININFO*, const _tagKwiBASEUSERINFO*),
                    const wchar_t* const* account, const _tagKwiSERVERLOGININFO* const* server,
                    const _tagKwiBASEUSERINFO* const* user);
    void FireEvent4(void (ILoginEvent::*op)(const wchar_t*, int32_t, const wchar_t*, uint32_t),
                    const wchar_t* const* account, const int32_t* code, const wchar_t* const* reason,
                    const uint32_t* reserved);
    void FireEvent5(void (ILoginEvent::*op)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t),
                    const uint32_t* a, const uint32_t* b, const uint32_t* c, const uint32_t* d, const uint32_t* e);
    void FireEvent3b(void (ILoginEvent::*op)(const wchar_t*, uint64_t), const wchar_t* const* text,
                     const uint64_t* number);

    // ISSODataProviderEventHandler
    void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* server,
                        const _tagKwiBASEUSERINFO* user) override;
    void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) override;
    void OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) override;
    void OnAccountListChanged(const SSOAccountTable* table) override;
    void OnServerTime(uint32_t serverTime) override;
    void OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber) override;

    // The records kept for an account text (null when it never signed in).
    std::shared_ptr<const _tagKwiSERVERLOGININFO> ServerLoginInfo(const std::wstring& account) const;
    std::shared_ptr<const _tagKwiBASEUSERINFO> BaseUserInfo(const std::wstring& account) const;
    // The account of the first successful login; empty before.
    const std::wstring& CurrentAccount() const { return currentAccount_; }
    uint32_t ServerTime() const { return serverTime_; }
    uint32_t ServerTimeTick() const { return serverTimeTick_; }

private:
    template <class Record>
    static void StoreRecord(std::map<std::wstring, std::shared_ptr<Record>>& records,
                            const std::wstring& account, const Record* received);

    std::map<std::wstring, std::shared_ptr<_tagKwiSERVERLOGININFO>> serverInfos_;
    std::map<std::wstring, std::shared_ptr<_tagKwiBASEUSERINFO>> userInfos_;
    std::wstring currentAccount_;
    uint32_t serverTime_ = 0;
    uint32_t serverTimeTick_ = 0;
};
