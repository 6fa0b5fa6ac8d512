#include "standins/tessaly/ServiceObject.h"

#include "standins/tessaly/CallLog.h"
#include "standins/tessaly/FieldContainer.h"
#include "standins/tessaly/FieldList.h"
#include "standins/tessaly/MainObject.h"

namespace tessaly {

ComPtr<ServiceObject> ServiceObject::Create(MainObject* main)
{
    return ComPtr<ServiceObject>::Adopt(new ServiceObject(main));
}

HRESULT STDMETHODCALLTYPE ServiceObject::GetAccountStore(DWORD kind, DWORD serviceId, ISSOList** store)
{
    return Logged("service", 18, "GetAccountStore", [&](CallLog& log) {
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        if (!store)
            return E_POINTER;
        *store = nullptr;
        if (kind != kKindAccountStore || serviceId == 0)
            return E_INVALIDARG;
        // The live store: changes made through it are kept when the library saves its state.
        FieldList* list = main_->State().store.Get();
        list->AddRef();
        *store = list;
        log.List("store", list);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::SetAccountStore(DWORD kind, DWORD serviceId, ISSOList* store)
{
    return Logged("service", 20, "SetAccountStore", [&](CallLog& log) {
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        log.List("store", store);
        ComPtr<FieldList> own = FieldList::From(store);
        if (kind != kKindAccountStore || serviceId == 0 || !own)
            return E_INVALIDARG;
        main_->State().store = own;
        main_->State().Save();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::SetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer* data)
{
    return Logged("service", 24, "SetServiceData", [&](CallLog& log) {
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        log.Container("data", data);
        ComPtr<FieldContainer> own = FieldContainer::From(data);
        if (kind != kKindSettings || serviceId == 0 || !own)
            return E_INVALIDARG;
        main_->State().serviceData = own->Clone();
        main_->State().Save();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::GetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer** data)
{
    return Logged("service", 25, "GetServiceData", [&](CallLog& log) {
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        if (!data)
            return E_POINTER;
        *data = nullptr;
        if (kind != kKindSettings || serviceId == 0)
            return E_INVALIDARG;
        ComPtr<FieldContainer> out;
        if (main_->State().serviceData) {
            out = main_->State().serviceData->Clone();
        } else {
            out = FieldContainer::Create();
            const Scenario scenario = MainObject::LoadScenario();
            if (scenario.hasTgtPriority)
                out->PutDWord(L"dwServiceTGTPriority", scenario.tgtPriority);
        }
        log.Container("data", *out.Get());
        *data = out.Detach();
        return S_OK;
    });
}

} // namespace tessaly
