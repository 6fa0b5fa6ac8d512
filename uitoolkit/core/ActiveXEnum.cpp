#include "uitoolkit/core/ActiveXEnum.h"

namespace SkinUI {

HRESULT CActiveXEnum::QueryInterface(REFIID riid, void** out)
{
    IEnumUnknown* self = this;
    return Answer(riid, out, {{&IID_IUnknown, self}, {&IID_IEnumUnknown, self}});
}

// The arguments are checked first: an array to fill, and a fetched count unless exactly one
// element is asked for.
HRESULT CActiveXEnum::Next(ULONG count, IUnknown** objects, ULONG* fetched)
{
    if (objects == nullptr || (fetched == nullptr && count != 1))
        return E_POINTER;
    if (fetched != nullptr)
        *fetched = 0;
    if (count == 0)
        return S_OK;
    const bool first = m_position++ == 0;
    if (!first || !m_object)
        return S_FALSE;
    objects[0] = m_object.Get();
    objects[0]->AddRef();
    if (fetched != nullptr)
        *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
}

HRESULT CActiveXEnum::Skip(ULONG count)
{
    m_position += count;
    return S_OK;
}

HRESULT CActiveXEnum::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT CActiveXEnum::Clone(IEnumUnknown** copy)
{
    if (copy != nullptr)
        *copy = nullptr;
    return E_NOTIMPL;
}

} // namespace SkinUI
