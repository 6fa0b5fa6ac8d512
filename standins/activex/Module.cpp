// The entry points of the test ActiveX library: a class factory per control variant.
#include <windows.h>
#include <ole2.h>

#include "foundation/ComImpl.h"
#include "standins/activex/ControlLog.h"
#include "standins/activex/TestControl.h"

namespace {

class Factory : public ComImpl<IClassFactory> {
public:
    explicit Factory(const testax::Variant& variant) : m_variant(variant) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        IClassFactory* self = this;
        return Answer(riid, out, {{&IID_IUnknown, self}, {&IID_IClassFactory, self}});
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* control = new testax::TestControl(m_variant);
        const HRESULT hr = control->QueryInterface(riid, out);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const testax::Variant& m_variant;
};

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    *out = nullptr;
    const testax::Variant* variant = testax::FindVariant(clsid);
    if (variant == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory(*variant);
    const HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return testax::g_objects == 0 ? S_OK : S_FALSE;
}
