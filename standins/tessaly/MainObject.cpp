#include "standins/tessaly/MainObject.h"

#include <algorithm>
#include <ctime>

#include "standins/tessaly/ByteBuffer.h"
#include "standins/tessaly/CallLog.h"
#include "standins/tessaly/ContainerCodec.h"
#include "standins/tessaly/Courier.h"
#include "standins/tessaly/FieldContainer.h"
#include "standins/tessaly/FieldList.h"
#include "standins/tessaly/LoginObject.h"

namespace tessaly {

namespace {

constexpr uint32_t kMaxTicketBytes = 65536;

std::wstring Text(BSTR s)
{
    return s ? std::wstring(s, ::SysStringLen(s)) : std::wstring();
}

// The credential handed out for a remembered password.
std::vector<uint8_t> SavedCredential(uint32_t uin)
{
    const std::string token = "s2sc:" + std::to_string(uin);
    return std::vector<uint8_t>(token.begin(), token.end());
}

// Ticket bytes that tell accounts and kinds apart.
std::vector<uint8_t> TicketBytes(uint32_t uin, uint32_t length, uint8_t salt)
{
    std::vector<uint8_t> bytes(std::min(length, kMaxTicketBytes));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(uin + i * 7 + salt);
    return bytes;
}

template <class T, class I>
HRESULT HandOut(ComPtr<T> object, I** out)
{
    if (!object)
        return E_OUTOFMEMORY;
    *out = object.Detach();
    return S_OK;
}

} // namespace

ComPtr<MainObject> MainObject::Create()
{
    return ComPtr<MainObject>::Adopt(new MainObject);
}

MainObject::~MainObject()
{
    if (registered_)
        state_.Save();
}

Scenario MainObject::LoadScenario()
{
    return Scenario::Load(LibraryFolder() + L"scenario.ini");
}

bool MainObject::Authorised(DWORD appHandle, BSTR accessKey) const
{
    return registered_ && appHandle == appHandle_ && Text(accessKey) == accessKey_;
}

HRESULT STDMETHODCALLTYPE MainObject::Startup(DWORD reserved1, DWORD reserved2)
{
    return Logged("main", 8, "Startup", [&](CallLog& log) {
        log.Number("a", reserved1);
        log.Number("b", reserved2);
        const HRESULT hr = (reserved1 || reserved2) ? E_INVALIDARG : LoadScenario().startup;
        started_ = hr == S_OK;
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE MainObject::Shutdown()
{
    return Logged("main", 9, "Shutdown", [&](CallLog&) {
        if (registered_)
            state_.Save();
        registered_ = false;
        started_ = false;
        pending_.clear();
        courier_.reset();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MainObject::Initialize(DWORD processId, BSTR programName, HWND eventWindow, DWORD flags,
                                                 ISSOFieldContainer* versions, ISSOFieldContainer** result)
{
    return Logged("main", 13, "Initialize", [&](CallLog& log) {
        log.Number("processId", processId);
        log.Text("programName", programName);
        log.Number("windowIsEventWindow", eventWindow && ::IsWindow(eventWindow) ? 1 : 0);
        log.Number("flags", flags);
        log.Container("versions", versions);
        if (!result)
            return E_POINTER;
        *result = nullptr;

        const Scenario scenario = LoadScenario();
        ComPtr<FieldContainer> v = FieldContainer::From(versions);
        HRESULT hr = S_OK;
        if (!started_)
            hr = E_UNEXPECTED;
        else if (!scenario.initialize)
            hr = E_FAIL;
        else if (processId != ::GetCurrentProcessId() || Text(programName).empty() || !::IsWindow(eventWindow) || !v)
            hr = E_INVALIDARG;
        else {
            for (const wchar_t* name : {L"cAppIMHeaderMainVer", L"cAppIMHeaderSubVer", L"cAppNonIMHeaderMainVer",
                                        L"cAppNonIMHeaderSubVer"}) {
                const FieldValue* f = v->Find(name);
                if (!f || f->type != FieldType::Byte)
                    hr = E_INVALIDARG;
            }
        }
        if (FAILED(hr))
            return hr;

        static long registrations = 0;
        const long n = ++registrations;
        appHandle_ = 0x5A000000u | static_cast<DWORD>(n);
        accessKey_ = L"TSK-" + std::to_wstring(processId) + L"-" + std::to_wstring(n);
        eventWindow_ = eventWindow;
        delayMs_ = scenario.delayMs;
        state_.Load();
        courier_ = std::make_unique<Courier>();
        registered_ = true;

        ComPtr<FieldContainer> answer = FieldContainer::Create();
        answer->PutDWord(L"dwSSO_Init_hAppHandle", appHandle_);
        answer->PutText(L"strSSO_Init_strAccessKey", accessKey_);
        log.Container("result", *answer.Get());
        *result = answer.Detach();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MainObject::Detach(DWORD appHandle, BSTR accessKey)
{
    return Logged("main", 14, "Detach", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        if (!Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;
        state_.Save();
        registered_ = false;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MainObject::GetAccountList(DWORD appHandle, BSTR accessKey, ISSOList** list)
{
    return Logged("main", 10, "GetAccountList", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        if (!list)
            return E_POINTER;
        *list = nullptr;
        if (!Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;

        // The accounts that signed in here, newest first, then those the scenario lists.
        const Scenario scenario = LoadScenario();
        std::vector<const ScenarioAccount*> accounts;
        for (uint32_t uin : state_.signedIn) {
            if (const ScenarioAccount* a = scenario.FindByUin(uin))
                accounts.push_back(a);
        }
        for (const ScenarioAccount& a : scenario.accounts) {
            if (a.listed && std::find(accounts.begin(), accounts.end(), &a) == accounts.end())
                accounts.push_back(&a);
        }

        ComPtr<FieldList> out = FieldList::Create();
        for (const ScenarioAccount* a : accounts) {
            ComPtr<FieldContainer> item = FieldContainer::Create();
            item->PutDWord(L"dwSSO_Account_dwAccountUin", a->uin);
            if (a->hasPriority)
                item->PutDWord(L"dwMaxTGTPriority", a->priority);
            ComPtr<FieldList> values = FieldList::Create();
            for (const std::wstring& alias : a->aliases)
                values->AddText(alias);
            values->AddText(std::to_wstring(a->uin));
            item->PutList(L"SSO_Account_AccountValueList", values);
            item->PutText(L"strSSO_Account_strNickName", a->nick);
            out->AddContainer(item);
        }
        log.Number("count", static_cast<uint32_t>(out->items.size()));
        *list = out.Detach();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MainObject::GetLogin(DWORD appHandle, BSTR accessKey, ISSOLogin** login)
{
    return Logged("main", 15, "GetLogin", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        if (!login)
            return E_POINTER;
        *login = nullptr;
        if (!Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;
        if (!LoadScenario().loginObject)
            return E_FAIL;
        return HandOut(LoginObject::Create(this), login);
    });
}

HRESULT STDMETHODCALLTYPE MainObject::CreateContainer(ISSOFieldContainer** container)
{
    if (!container)
        return E_POINTER;
    return Guarded([&] { return HandOut(FieldContainer::Create(), container); });
}

HRESULT STDMETHODCALLTYPE MainObject::CreateBuffer(ISSOByteBuffer** buffer)
{
    if (!buffer)
        return E_POINTER;
    return Guarded([&] { return HandOut(ByteBuffer::Create(), buffer); });
}

HRESULT STDMETHODCALLTYPE MainObject::CreateList(ISSOList** list)
{
    if (!list)
        return E_POINTER;
    return Guarded([&] { return HandOut(FieldList::Create(), list); });
}

// ---------------------------------------------------------------------------------------------
// Logins

HRESULT MainObject::StartLogin(BSTR account, DWORD serviceId, BYTE credentialType, ISSOByteBuffer* credential,
                               ISSOFieldContainer* extra)
{
    const std::wstring text = Text(account);
    if (text.empty())
        return E_INVALIDARG;

    bool remember = false;
    if (ComPtr<FieldContainer> e = FieldContainer::From(extra)) {
        if (const FieldContainer* specify = e->ReadContainer(L"dataSpecifyLoginData"))
            specify->ReadBool(L"bRememberPwdLogin", remember);
    }
    std::vector<uint8_t> bytes;
    const bool hasCredential = credential && ByteBuffer::ReadAll(credential, bytes);

    const Scenario scenario = LoadScenario();
    const ScenarioAccount* a = scenario.Find(text);
    if (!a) {
        AnswerFailure(text, 0, serviceId, kErrorUnknownAccount, L"account does not exist");
        return S_OK;
    }
    switch (credentialType) {
    case 2:
        if (!hasCredential || bytes.size() != 16) {
            AnswerFailure(text, a->uin, serviceId, kErrorBadCredential, L"bad credential");
            return S_OK;
        }
        if (!a->digest.empty() && bytes != a->digest) {
            AnswerFailure(text, a->uin, serviceId, kErrorWrongPassword, L"wrong password");
            return S_OK;
        }
        break;
    case 0:
        if (!a->listed && !state_.IsSignedIn(a->uin)) {
            AnswerFailure(text, a->uin, serviceId, kErrorNotStored, L"no stored sign-in for this account");
            return S_OK;
        }
        break;
    case kCredentialSaved:
        if (!hasCredential || bytes != SavedCredential(a->uin)) {
            AnswerFailure(text, a->uin, serviceId, kErrorSavedCredentialInvalid, L"remembered password expired");
            return S_OK;
        }
        break;
    default:
        AnswerFailure(text, a->uin, serviceId, kErrorUnsupportedCredential, L"unsupported credential type");
        return S_OK;
    }

    if (a->result == L"success" || a->result == L"old") {
        AnswerSuccess(scenario, *a, text, serviceId, remember, a->result == L"old");
    } else if (a->result == L"fail") {
        AnswerFailure(text, a->uin, serviceId, a->errorType, a->reason);
    } else if (a->result == L"verify") {
        pending_[a->uin] = PendingVerify{text, serviceId, remember};
        for (uint32_t i = 0; i < a->verifyRequests; ++i)
            AnswerCheckPic(*a, text, serviceId);
    } else if (a->result != L"silent") {
        AnswerFailure(text, a->uin, serviceId, kErrorScenario, L"unknown scenario result " + a->result);
    }
    return S_OK;
}

HRESULT MainObject::Verify(DWORD accountNumber, ISSOFieldContainer* data)
{
    const auto it = pending_.find(accountNumber);
    if (it == pending_.end())
        return E_UNEXPECTED;
    const Scenario scenario = LoadScenario();
    const ScenarioAccount* a = scenario.FindByUin(accountNumber);
    if (!a) {
        pending_.erase(it);
        return E_UNEXPECTED;
    }
    if (!data) {
        // A fresh verification page.
        AnswerCheckPic(*a, it->second.account, it->second.serviceId);
        return S_OK;
    }
    ComPtr<FieldContainer> d = FieldContainer::From(data);
    std::vector<uint8_t> ticket;
    std::vector<uint8_t> randStr;
    std::wstring code;
    const bool hasTicket = d && d->ReadBytes(L"bufTicket", ticket) && d->ReadBytes(L"bufRandStr", randStr)
                        && !ticket.empty() && !randStr.empty();
    const bool hasCode = d && d->ReadText(L"strVerifyCode", code) && !code.empty();
    if (!hasTicket && !hasCode)
        return E_INVALIDARG;

    const PendingVerify pending = it->second;
    pending_.erase(it);
    if (a->afterVerify == L"fail")
        AnswerFailure(pending.account, a->uin, pending.serviceId, kErrorVerifyFailed, L"verification failed");
    else
        AnswerSuccess(scenario, *a, pending.account, pending.serviceId, pending.remember, false);
    return S_OK;
}

void MainObject::CancelVerify(const std::wstring& account)
{
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->second.account == account || std::to_wstring(it->first) == account)
            it = pending_.erase(it);
        else
            ++it;
    }
}

ComPtr<FieldContainer> MainObject::EventContainer(const std::wstring& text, uint32_t uin, DWORD serviceId) const
{
    ComPtr<FieldContainer> c = FieldContainer::Create();
    c->PutText(L"strSSO_In_Params_strInAccountValue", text);
    c->PutDWord(L"dwSSO_Account_dwAccountUin", uin);
    c->PutDWord(L"dwSSO_In_Params_dwInServiceID", serviceId);
    return c;
}

void MainObject::AnswerSuccess(const Scenario& scenario, const ScenarioAccount& a, const std::wstring& text,
                               DWORD serviceId, bool remember, bool withoutWebTicket)
{
    ComPtr<FieldContainer> c = EventContainer(text, a.uin, serviceId);
    c->PutBool(L"bSSO_Result_bSucceed", true);
    c->PutDWord(L"dwServerTime", static_cast<uint32_t>(std::time(nullptr)));
    if (a.hasUinFlag)
        c->PutDWord(L"dwSSO_Account_dwUinFlag", a.uinFlag);
    c->PutByte(L"cSSO_Account_cAge", a.age);
    c->PutByte(L"cSSO_Account_cGender", a.gender);
    c->PutWord(L"wSSO_Account_wFaceIndex", a.face);
    c->PutText(L"strSSO_Account_strNickName", a.nick);

    ComPtr<FieldContainer> info = FieldContainer::Create();
    info->PutBytes(L"bufServiceTicket", TicketBytes(a.uin, a.ticketLength, 1));
    if (!withoutWebTicket)
        info->PutBytes(L"bufServiceTicketHttp", TicketBytes(a.uin, a.webTicketLength, 2));
    info->PutBytes(L"buf16bytesGTKey_ST", TicketBytes(a.uin, a.keyLength, 3));
    uint32_t priority = scenario.tgtPriority;
    if (state_.serviceData)
        state_.serviceData->ReadDWord(L"dwServiceTGTPriority", priority);
    if (scenario.hasTgtPriority || state_.serviceData)
        info->PutDWord(L"dwServiceTGTPriority", priority);
    c->PutContainer(L"SSO_Account_ServiceInfo", *info.Get());

    if (remember) {
        c->PutBytes(L"bufSSO_Account_S2SC", SavedCredential(a.uin));
        c->PutByte(L"cSSO_Account_S2SCType", kCredentialSaved);
    }
    const bool firstSignIn = state_.MarkSignedIn(a.uin);
    state_.Save();
    Deliver(kSSOCopyGetSTResult, c, firstSignIn && scenario.notifyListChange);
}

void MainObject::AnswerFailure(const std::wstring& text, uint32_t uin, DWORD serviceId, int32_t errorType,
                               const std::wstring& reason)
{
    ComPtr<FieldContainer> c = EventContainer(text, uin, serviceId);
    c->PutBool(L"bSSO_Result_bSucceed", false);
    c->PutInt(L"nSSO_Result_nErrorType", errorType);
    c->PutText(L"strSSO_Result_Failed_strReason", reason);
    Deliver(kSSOCopyGetSTResult, c, false);
}

void MainObject::AnswerCheckPic(const ScenarioAccount& a, const std::wstring& text, DWORD serviceId)
{
    ComPtr<FieldContainer> c = EventContainer(text, a.uin, serviceId);
    c->PutText(L"strPageUrl", a.pageUrl);
    Deliver(kSSOCopyLoginCheckPic, c, false);
}

void MainObject::Deliver(ULONG_PTR code, ComPtr<FieldContainer> event, bool thenListChanged)
{
    if (!courier_)
        return;
    // The job holds copies only: the answer may end this object before it returns.
    const HWND target = eventWindow_;
    const HWND sender = courier_->Window();
    courier_->Schedule(delayMs_, [target, sender, code, event, thenListChanged] {
        const std::vector<uint8_t> bytes = EncodeContainer(*event.Get());
        {
            CallLog log("event", -1, nullptr);
            log.Number("code", static_cast<uint32_t>(code));
            log.Container("container", *event.Get());
        }
        COPYDATASTRUCT data = {};
        data.dwData = code;
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = const_cast<uint8_t*>(bytes.data());
        ::SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data));
        if (thenListChanged) {
            CallLog log("event", -1, nullptr);
            log.Number("message", kSSOMsgAccountListChanged);
            ::PostMessageW(target, kSSOMsgAccountListChanged, 0, 0);
        }
    });
}

} // namespace tessaly
