#include "standins/tessaly/LoginObject.h"

#include "standins/tessaly/CallLog.h"
#include "standins/tessaly/MainObject.h"
#include "standins/tessaly/ServiceObject.h"

namespace tessaly {

ComPtr<LoginObject> LoginObject::Create(MainObject* main)
{
    ComPtr<LoginObject> l;
    l = ComPtr<LoginObject>::Adopt(new LoginObject);
    l->main_ = main;
    return l;
}

HRESULT STDMETHODCALLTYPE LoginObject::Login(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account,
                                             BYTE credentialType, ISSOByteBuffer* credential, ISSOFieldContainer* extra)
{
    return Guarded([&] {
        CallLog log("login", 8, "Login");
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("serviceId", serviceId);
        log.Text("account", account);
        log.Number("credentialType", credentialType);
        log.Buffer("credential", credential);
        log.Container("extra", extra);
        const HRESULT hr = main_->Authorised(appHandle, accessKey)
                         ? main_->StartLogin(account, serviceId, credentialType, credential, extra)
                         : E_ACCESSDENIED;
        log.Result(hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::CancelVerify(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account)
{
    return Guarded([&] {
        CallLog log("login", 9, "CancelVerify");
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("serviceId", serviceId);
        log.Text("account", account);
        HRESULT hr = E_ACCESSDENIED;
        if (main_->Authorised(appHandle, accessKey)) {
            main_->CancelVerify(account ? std::wstring(account, ::SysStringLen(account)) : std::wstring());
            hr = S_OK;
        }
        log.Result(hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::Verify(DWORD appHandle, BSTR accessKey, DWORD accountNumber, DWORD reserved,
                                              ISSOFieldContainer* data)
{
    return Guarded([&] {
        CallLog log("login", 11, "Verify");
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        log.Number("accountNumber", accountNumber);
        log.Number("reserved", reserved);
        log.Container("data", data);
        HRESULT hr = E_ACCESSDENIED;
        if (main_->Authorised(appHandle, accessKey))
            hr = reserved != 0 ? E_INVALIDARG : main_->Verify(accountNumber, data);
        log.Result(hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE LoginObject::GetService(DWORD appHandle, BSTR accessKey, ISSOService** service)
{
    return Guarded([&] {
        CallLog log("login", 16, "GetService");
        log.Number("appHandle", appHandle);
        log.Text("accessKey", accessKey);
        if (!service) {
            log.Result(E_POINTER);
            return E_POINTER;
        }
        *service = nullptr;
        HRESULT hr = S_OK;
        if (!main_->Authorised(appHandle, accessKey))
            hr = E_ACCESSDENIED;
        else if (!MainObject::LoadScenario().serviceObject)
            hr = E_FAIL;
        else
            *service = ServiceObject::Create(main_.Get()).Detach();
        log.Result(hr);
        return hr;
    });
}

} // namespace tessaly
