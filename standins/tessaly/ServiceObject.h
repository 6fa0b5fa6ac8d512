#pragma once

#include "login/ComPtr.h"

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"

namespace tessaly {

class MainObject;

// The service object: the service's account store (kind 3) and settings (kind 2), kept in the
// library's state between runs.
class ServiceObject : public ComObject<ISSOService, &IID_ISSOService> {
public:
    static constexpr DWORD kKindSettings = 2;
    static constexpr DWORD kKindAccountStore = 3;

    static ComPtr<ServiceObject> Create(MainObject* main);

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6) TESSALY_SLOT(7) TESSALY_SLOT(8)
    TESSALY_SLOT(9) TESSALY_SLOT(10) TESSALY_SLOT(11) TESSALY_SLOT(12) TESSALY_SLOT(13) TESSALY_SLOT(14)
    TESSALY_SLOT(15) TESSALY_SLOT(16) TESSALY_SLOT(17)
    HRESULT STDMETHODCALLTYPE GetAccountStore(DWORD kind, DWORD serviceId, ISSOList** store) override;
    TESSALY_SLOT(19)
    HRESULT STDMETHODCALLTYPE SetAccountStore(DWORD kind, DWORD serviceId, ISSOList* store) override;
    TESSALY_SLOT(21) TESSALY_SLOT(22) TESSALY_SLOT(23)
    HRESULT STDMETHODCALLTYPE SetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer* data) override;
    HRESULT STDMETHODCALLTYPE GetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer** data) override;

private:
    explicit ServiceObject(MainObject* main) : main_(main) {}

    ComPtr<MainObject> main_;
};

} // namespace tessaly
