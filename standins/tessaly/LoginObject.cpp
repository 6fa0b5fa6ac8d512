#include "standins/tessaly/LoginObject.h"

#include "standins/tessaly/CallLog.h"
#include "standins/tessaly/MainObject.h"
#include "standins/tessaly/ServiceObject.h"

namespace tessaly {

ComPtr<LoginObject> LoginObject::Create(MainObject* main)
{
    return ComPtr<LoginObject>::Adopt(new LoginObject(main));
}

HRESULT STDMETHODCALLTYPE LoginObject::Login(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account,
                                             BYTE credentialType, ISSOByteBuffer* credential, ISSOFieldContainer* extra)
{
    return Logged("login", 8, "Login", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("serviceId", serviceId);
        log.Text("account", account);
        log.Number("credentialType", credentialType);
        log.Buffer("credential", credential);
        log.Container("extra", extra);
        return main_->Authorised(appHandle, accessKey)
                   ? main_->StartLogin(account, serviceId, credentialType, credential, extra)
                   : E_ACCESSDENIED;
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::CancelVerify(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account)
{
    return Logged("login", 9, "CancelVerify", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("serviceId", serviceId);
        log.Text("account", account);
        if (!main_->Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;
        main_->CancelVerify(account ? std::wstring(account, ::SysStringLen(account)) : std::wstring());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::Verify(DWORD appHandle, BSTR accessKey, DWORD accountNumber, DWORD reserved,
                                              ISSOFieldContainer* data)
{
    return Logged("login", 11, "Verify", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("accountNumber", accountNumber);
        log.Number("reserved", reserved);
        log.Container("data", data);
        if (!main_->Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;
        return reserved != 0 ? E_INVALIDARG : main_->Verify(accountNumber, data);
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::GetService(DWORD appHandle, BSTR accessKey, ISSOService** service)
{
    return Logged("login", 16, "GetService", [&](CallLog& log) {
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        if (!service)
            return E_POINTER;
        *service = nullptr;
        if (!main_->Authorised(appHandle, accessKey))
            return E_ACCESSDENIED;
        if (!MainObject::LoadScenario().serviceObject)
            return E_FAIL;
        *service = ServiceObject::Create(main_.Get()).Detach();
        return S_OK;
    });
}

} // namespace tessaly
