// CSSODataProvider: the library's answers. They arrive as messages to the event window and are
// decoded into calls of the event handler.
#include "login/SSODataProvider.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <string>

#include "login/SSODataProviderHelpers.h"
#include "login/SSOFields.h"

using sso_provider::CopyBounded;
using sso_provider::CutWithEllipsis;
using sso_provider::Trace;

namespace {

constexpr UINT_PTR kNoticeTimer = 1;

// Copies a library buffer into a fixed field, cut to the field; false when it cannot be read.
bool CopyBufferBounded(ISSOByteBuffer* buffer, uint8_t* dest, size_t capacity, size_t& copied)
{
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (!ReadBufferBytes(buffer, data, size))
        return false;
    copied = std::min<size_t>(size, capacity);
    if (copied)
        std::memcpy(dest, data, copied);
    return true;
}

} // namespace

LRESULT CALLBACK CSSODataProvider::EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Until the initialised provider owns this window (its creation messages included),
    // the library's messages are not served.
    CSSODataProvider* provider = Current();
    if (!provider || provider->eventWindow_ != window) {
        if (message == kSSOMsgAccountListChanged || message == kSSOMsgServiceTicketRenew || message == WM_COPYDATA)
            return 0;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return provider->OnEventMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        Trace(L"[CSSODataProvider]message %u stopped: %S", message, e.what());
        return 0;
    }
}

LRESULT CSSODataProvider::OnEventMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kSSOMsgAccountListChanged:
    case kSSOMsgServiceTicketRenew:
        OnNotice(message, wParam, lParam);
        return 1;
    case WM_TIMER:
        if (wParam != kNoticeTimer)
            return 0;
        OnNoticeTimer();
        return 0;
    case WM_COPYDATA:
        OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        return 0;
    default:
        return ::DefWindowProcW(eventWindow_, message, wParam, lParam);
    }
}

void CSSODataProvider::OnNotice(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Another service's renewal costs nothing: it is not paced.
    if (message == kSSOMsgServiceTicketRenew && (wParam != serviceId_ || !main_)) {
        OnSTRenew(wParam, lParam);
        return;
    }
    const SSONoticeThrottle::Notice notice{message, wParam, lParam};
    const bool timerRuns = notices_.Waiting();
    if (notices_.Admit(notice, ::GetTickCount())) {
        ServeNotice(notice);
        return;
    }
    // One timer serves the waiting notices one by one; a flood does not restart it.
    if (!timerRuns)
        ::SetTimer(eventWindow_, kNoticeTimer, SSONoticeThrottle::kSpacingMs, nullptr);
}

void CSSODataProvider::OnNoticeTimer()
{
    SSONoticeThrottle::Notice notice;
    const bool next = notices_.Next(notice);
    if (!notices_.Waiting())
        ::KillTimer(eventWindow_, kNoticeTimer);
    if (next)
        ServeNotice(notice);
}

void CSSODataProvider::ServeNotice(const SSONoticeThrottle::Notice& notice)
{
    // The spacing counts from the end of this one, however it ends: the library's list and the
    // dialog's rows may take longer than the spacing itself.
    struct Finish {
        mjz::AliveToken::Life life;
        SSONoticeThrottle& notices;
        ~Finish()
        {
            if (!life.Ended())
                notices.Finished(::GetTickCount());
        }
    } finish{alive_.GetLife(), notices_};
    if (notice.message == kSSOMsgServiceTicketRenew) {
        OnSTRenew(notice.wParam, notice.lParam);
        return;
    }
    accountTable_ = {};
    const SSOAccountTable* table = RefreshAccountList();
    if (handler_)
        handler_->OnAccountListChanged(table);
}

void CSSODataProvider::OnCopyData(const COPYDATASTRUCT* data)
{
    if (!data || !main_)
        return;
    const ULONG_PTR code = data->dwData;
    const bool known = code == kSSOCopyGetSTResult || code == kSSOCopyLoginCheckPic
                    || std::find(std::begin(kSSOCopyIgnored), std::end(kSSOCopyIgnored), code)
                           != std::end(kSSOCopyIgnored);
    if (!known || !data->lpData || data->cbData == 0)
        return;

    ComPtr<ISSOFieldContainer> event = NewContainer();
    ComPtr<ISSOByteBuffer> bytes = NewBuffer();
    if (!event || !bytes)
        return;
    // A damaged message is dropped whole; nothing is read from a half-loaded container.
    if (FAILED(bytes->TakeMessageBytes(static_cast<const BYTE*>(data->lpData), data->cbData, 0))
        || FAILED(event->LoadFromBuffer(bytes.Get())))
        return;

    SSOFields f(event.Get());
    std::wstring account;
    DWORD accountNumber = 0;
    DWORD serviceId = 0;
    f.GetString(L"strSSO_In_Params_strInAccountValue", account);
    f.GetDWord(L"dwSSO_Account_dwAccountUin", accountNumber);
    f.GetDWord(L"dwSSO_In_Params_dwInServiceID", serviceId);
    if (code == kSSOCopyGetSTResult)
        OnSSOEvent_GetSTResult(event.Get(), account, accountNumber);
    else if (code == kSSOCopyLoginCheckPic)
        OnSSOEvent_LoginCheckPic(event.Get(), account, accountNumber);
}

void CSSODataProvider::OnSSOEvent_GetSTResult(ISSOFieldContainer* event, const std::wstring& account,
                                              uint64_t accountNumber)
{
    Trace(L"[CSSODataProvider]OnSSOEvent_GetSTResult");
    SSOFields ev(event);

    // 1. Failure: the error type and the reason. The reason tells the player why and what to do
    //    next (an appeal's address often comes last), so any real one passes whole; only a
    //    runaway one is cut, which the failure page could not lay out without stalling.
    bool succeeded = false;
    ev.GetBool(L"bSSO_Result_bSucceed", succeeded);
    if (!succeeded) {
        LONG errorType = 0;
        ev.GetInt(L"nSSO_Result_nErrorType", errorType);
        Trace(L"[CSSODataProvider]OnSSOEvent_GetSTResult Failed. The nErrType is %d", static_cast<int>(errorType));
        std::wstring reason;
        ev.GetString(L"strSSO_Result_Failed_strReason", reason);
        CutWithEllipsis(reason, kMaxReasonChars);
        if (handler_)
            handler_->OnLoginFailed(account.c_str(), errorType, reason.c_str(), 0);
        return;
    }

    // 2. Server time, and the credential to remember.
    DWORD serverTime = 0;
    if (ev.GetDWord(L"dwServerTime", serverTime) && handler_)
        handler_->OnServerTime(serverTime);
    SaveSSOInfoWhenGetSTOK(event, account, accountNumber);

    // 3. The server login record; tickets and key are cut to their fields.
    _tagKwiSERVERLOGININFO server = {};
    server.size = sizeof(_tagKwiSERVERLOGININFO);
    server.accountNumber = accountNumber;
    DWORD flags = 0;
    if (ev.GetDWord(L"dwSSO_Account_dwUinFlag", flags))
        server.accountFlags = flags;

    ComPtr<ISSOFieldContainer> info;
    ev.GetContainer(L"SSO_Account_ServiceInfo", info);
    auto fieldBuffer = [&info](const wchar_t* name) {
        ComPtr<ISSOByteBuffer> buffer;
        if (info)
            SSOFields(info.Get()).GetBuffer(name, buffer);
        return buffer;
    };
    size_t copied = 0;
    if (CopyBufferBounded(fieldBuffer(L"bufServiceTicket").Get(), server.serviceTicket,
                          _tagKwiSERVERLOGININFO::kServiceTicketBytes, copied))
        server.serviceTicketLength = static_cast<uint8_t>(copied);
    else
        Trace(L"[CSSODataProvider]获取签名错误");

    const ComPtr<ISSOByteBuffer> webTicket = fieldBuffer(L"bufServiceTicketHttp");
    if (!webTicket) {
        Trace(L"[CSSODataProvider]使用的SSO版本是旧的，获取Web票据错误");
        if (handler_)
            handler_->OnLoginFailed(account.c_str(), kErrorOldLibrary, nullptr, 0);
    } else if (CopyBufferBounded(webTicket.Get(), server.webTicket, _tagKwiSERVERLOGININFO::kWebTicketBytes, copied)) {
        server.webTicketLength = static_cast<uint8_t>(copied);
    } else {
        Trace(L"[CSSODataProvider]获取Web票据错误");
    }

    if (!CopyBufferBounded(fieldBuffer(L"buf16bytesGTKey_ST").Get(), server.ticketKey,
                           _tagKwiSERVERLOGININFO::kTicketKeyBytes, copied))
        Trace(L"[CSSODataProvider]获取key错误");

    // 4. The base user record.
    _tagKwiBASEUSERINFO user = {};
    user.size = sizeof(_tagKwiBASEUSERINFO);
    user.accountNumber = accountNumber;
    BYTE age = 0;
    BYTE gender = 0;
    WORD face = 0;
    if (ev.GetByte(L"cSSO_Account_cAge", age))
        user.age = age;
    if (ev.GetByte(L"cSSO_Account_cGender", gender))
        user.gender = gender;
    if (ev.GetWord(L"wSSO_Account_wFaceIndex", face))
        user.faceIndex = face;
    std::wstring nick;
    if (ev.GetString(L"strSSO_Account_strNickName", nick))
        user.nickNameLength = static_cast<uint8_t>(CopyBounded(user.nickName, _tagKwiBASEUSERINFO::kNickNameUnits, nick));

    // 5. Success.
    Trace(L"[CSSODataProvider]OnLoginSSOSuccess");
    if (handler_)
        handler_->OnLoginSuccess(account.c_str(), &server, &user);
}

void CSSODataProvider::OnSSOEvent_LoginCheckPic(ISSOFieldContainer* event, const std::wstring&, uint64_t accountNumber)
{
    Trace(L"[CSSODataProvider]OnSSOEvent_LoginCheckPic");
    std::wstring url;
    if (!SSOFields(event).GetString(L"strPageUrl", url) || url.empty()) {
        Trace(L"[CSSODataProvider]获取验证码失败");
        return;
    }
    if (handler_)
        handler_->OnVerifyCodeRequired(url.c_str(), accountNumber);
}

void CSSODataProvider::OnSTRenew(WPARAM wParam, LPARAM lParam)
{
    Trace(L"[CSSODataProvider]OnSTRenew");
    if (wParam != serviceId_ || !main_)
        return;
    const std::wstring account = std::to_wstring(static_cast<unsigned long>(static_cast<DWORD>(lParam)));
    Trace(L"[CSSODataProvider]OnSTRenew RequestServiceTicket. %s", account.c_str());
    if (ComPtr<ISSOLogin> login = LoginObject())
        login->Login(appHandle_, accessKey_.Get(), serviceId_, BStr(account).Get(), 0, nullptr, nullptr);
}
