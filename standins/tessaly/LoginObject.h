#pragma once

#include "login/ComPtr.h"

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"

namespace tessaly {

class MainObject;

// A login object of one registered program; it hands its work to the main object.
class LoginObject : public ComObject<ISSOLogin, &IID_ISSOLogin> {
public:
    static ComPtr<LoginObject> Create(MainObject* main);

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6) TESSALY_SLOT(7)
    HRESULT STDMETHODCALLTYPE Login(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account,
                                    BYTE credentialType, ISSOByteBuffer* credential, ISSOFieldContainer* extra) override;
    HRESULT STDMETHODCALLTYPE CancelVerify(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account) override;
    TESSALY_SLOT(10)
    HRESULT STDMETHODCALLTYPE Verify(DWORD appHandle, BSTR accessKey, DWORD accountNumber, DWORD reserved,
                                     ISSOFieldContainer* data) override;
    TESSALY_SLOT(12) TESSALY_SLOT(13) TESSALY_SLOT(14) TESSALY_SLOT(15)
    HRESULT STDMETHODCALLTYPE GetService(DWORD appHandle, BSTR accessKey, ISSOService** service) override;

private:
    explicit LoginObject(MainObject* main) : main_(main) {}

    ComPtr<MainObject> main_;
};

} // namespace tessaly
