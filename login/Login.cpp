#include "login/Login.h"

#include <windows.h>

#include "foundation/TraceLog.h"
#include "login/SSODataProvider.h"

CLogin& CLogin::GetInstance()
{
    static CLogin login;
    return login;
}

CLogin::CLogin() = default;

CLogin::~CLogin()
{
    if (provider) {
        provider->SetEventHandler(nullptr);
        provider->Uninit();
    }
    // The records go first (members in reverse order), then the provider, then the handler list.
    currentAccount_.clear();
    userInfos_.clear();
    serverInfos_.clear();
    provider.reset();
}

bool CLogin::InitSSO()
{
    if (provider)
        return true;
    if (IsTraceViewerPresent())
        TraceLog(L"CLogin::InitSSO()");
    provider = std::make_shared<CSSODataProvider>();
    provider->Init();
    provider->SetEventHandler(this);
    return true;
}

void CLogin::FireEvent0(void (ILoginEvent::*op)())
{
    Fire([&](ILoginEvent* h) { (h->*op)(); });
}

void CLogin::FireEvent1(void (ILoginEvent::*op)(const SSOAccountTable*), const SSOAccountTable* const* table)
{
    Fire([&](ILoginEvent* h) { (h->*op)(*table); });
}

void CLogin::FireEvent3(void (ILoginEvent::*op)(const wchar_t*, const _tagKwiSERVERLOGININFO*, const _tagKwiBASEUSERINFO*),
                        const wchar_t* const* account, const _tagKwiSERVERLOGININFO* const* server,
                        const _tagKwiBASEUSERINFO* const* user)
{
    Fire([&](ILoginEvent* h) { (h->*op)(*account, *server, *user); });
}

void CLogin::FireEvent4(void (ILoginEvent::*op)(const wchar_t*, int32_t, const wchar_t*, uint32_t),
                        const wchar_t* const* account, const int32_t* code, const wchar_t* const* reason,
                        const uint32_t* reserved)
{
    Fire([&](ILoginEvent* h) { (h->*op)(*account, *code, *reason, *reserved); });
}

void CLogin::FireEvent5(void (ILoginEvent::*op)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t),
                        const uint32_t* a, const uint32_t* b, const uint32_t* c, const uint32_t* d, const uint32_t* e)
{
    Fire([&](ILoginEvent* h) { (h->*op)(*a, *b, *c, *d, *e); });
}

void CLogin::FireEvent3b(void (ILoginEvent::*op)(const wchar_t*, uint64_t), const wchar_t* const* text,
                         const uint64_t* number)
{
    Fire([&](ILoginEvent* h) { (h->*op)(*text, *number); });
}

template <class Record>
void CLogin::StoreRecord(std::map<std::wstring, std::shared_ptr<Record>>& records, const std::wstring& account,
                         const Record* received)
{
    std::shared_ptr<Record>& slot = records[account];
    if (!slot)
        slot = std::make_shared<Record>();
    if (received)
        *slot = *received;
}

void CLogin::OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* server,
                            const _tagKwiBASEUSERINFO* user)
{
    const std::wstring key = account ? account : L"";
    if (currentAccount_.empty())
        currentAccount_ = key;
    StoreRecord(serverInfos_, key, server);
    StoreRecord(userInfos_, key, user);
    FireEvent3(&ILoginEvent::OnLoginSuccess, &account, &server, &user);
}

void CLogin::OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved)
{
    FireEvent4(&ILoginEvent::OnLoginFailed, &account, &code, &reason, &reserved);
}

void CLogin::OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e)
{
    FireEvent5(&ILoginEvent::OnEvent2, &a, &b, &c, &d, &e);
}

void CLogin::OnAccountListChanged(const SSOAccountTable* table)
{
    FireEvent1(&ILoginEvent::OnAccountListChanged, &table);
}

void CLogin::OnServerTime(uint32_t serverTime)
{
    serverTime_ = serverTime;
    serverTimeTick_ = ::GetTickCount();
}

void CLogin::OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber)
{
    FireEvent3b(&ILoginEvent::OnVerifyCodeRequired, &pageUrl, &accountNumber);
}

std::shared_ptr<const _tagKwiSERVERLOGININFO> CLogin::ServerLoginInfo(const std::wstring& account) const
{
    const auto it = serverInfos_.find(account);
    return it == serverInfos_.end() ? nullptr : it->second;
}

std::shared_ptr<const _tagKwiBASEUSERINFO> CLogin::BaseUserInfo(const std::wstring& account) const
{
    const auto it = userInfos_.find(account);
    return it == userInfos_.end() ? nullptr : it->second;
}
