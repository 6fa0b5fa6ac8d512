#include "standins/tessaly/ServiceObject.h"

#include "standins/tessaly/CallLog.h"
#include "standins/tessaly/FieldContainer.h"
#include "standins/tessaly/FieldList.h"
#include "standins/tessaly/MainObject.h"

namespace tessaly {

ComPtr<ServiceObject> ServiceObject::Create(MainObject* main)
{
    ComPtr<ServiceObject> s;
    s = ComPtr<ServiceObject>::Adopt(new ServiceObject);
    s->main_ = main;
    return s;
}

HRESULT STDMETHODCALLTYPE ServiceObject::GetAccountStore(DWORD kind, DWORD serviceId, ISSOList** store)
{
    return Guarded([&] {
        CallLog log("service", 18, "GetAccountStore");
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        if (!store) {
            log.Result(E_POINTER);
            return E_POINTER;
        }
        *store = nullptr;
        if (kind != kKindAccountStore || serviceId == 0) {
            log.Result(E_INVALIDARG);
            return E_INVALIDARG;
        }
        // The live store: changes made through it are kept when the library saves its state.
        FieldList* list = main_->State().store.Get();
        list->AddRef();
        *store = list;
        log.List("store", list);
        log.Result(S_OK);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::SetAccountStore(DWORD kind, DWORD serviceId, ISSOList* store)
{
    return Guarded([&] {
        CallLog log("service", 20, "SetAccountStore");
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        log.List("store", store);
        ComPtr<FieldList> own = FieldList::From(store);
        HRESULT hr = S_OK;
        if (kind != kKindAccountStore || serviceId == 0 || !own) {
            hr = E_INVALIDARG;
        } else {
            main_->State().store = own;
            main_->State().Save();
        }
        log.Result(hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::SetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer* data)
{
    return Guarded([&] {
        CallLog log("service", 24, "SetServiceData");
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        log.Container("data", data);
        ComPtr<FieldContainer> own = FieldContainer::From(data);
        HRESULT hr = S_OK;
        if (kind != kKindSettings || serviceId == 0 || !own) {
            hr = E_INVALIDARG;
        } else {
            main_->State().serviceData = own->Clone();
            main_->State().Save();
        }
        log.Result(hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE ServiceObject::GetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer** data)
{
    return Guarded([&] {
        CallLog log("service", 25, "GetServiceData");
        log.Number("kind", kind);
        log.Number("serviceId", serviceId);
        if (!data) {
            log.Result(E_POINTER);
            return E_POINTER;
        }
        *data = nullptr;
        if (kind != kKindSettings || serviceId == 0) {
            log.Result(E_INVALIDARG);
            return E_INVALIDARG;
        }
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
        log.Result(S_OK);
        *data = out.Detach();
        return S_OK;
    });
}

} // namespace tessaly
