#pragma once
// CActiveXEnum: the container's object enumerator (IOleContainer::EnumObjects) over the one
// object a CActiveXUI hosts.
#include <windows.h>
#include <objidl.h>

#include "foundation/ComImpl.h"
#include "foundation/ComPtr.h"

namespace SkinUI {

class CActiveXEnum : public ComImpl<IEnumUnknown> {
public:
    explicit CActiveXEnum(IUnknown* object) : m_object(object) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    // The object once (at the first position), then nothing.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** objects, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumUnknown** copy) override;

private:
    ULONG m_position = 0;
    ComPtr<IUnknown> m_object;
};

} // namespace SkinUI
