#include "uitoolkit/core/DispatchForwarder.h"

#include "foundation/ComPtr.h"

namespace SkinUI {

HRESULT CDispatchForwarder::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
HRESULT CDispatchForwarder::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CDispatchForwarder::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return m_target != nullptr ? m_target->GetIDsOfNames(names, count, ids) : NamesWithoutTarget(names, count, ids);
}

// The target may detach this object during the call (by destroying itself) and drop the last
// reference but the caller's, which need not exist: the object holds itself meanwhile.
HRESULT CDispatchForwarder::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*)
{
    if (m_target == nullptr)
        return InvokeWithoutTarget(id, result);
    ComPtr<CDispatchForwarder> keep(this);
    return m_target->Invoke(id, flags, params, result);
}

HRESULT CDispatchForwarder::NamesWithoutTarget(LPOLESTR*, UINT count, DISPID* ids)
{
    for (UINT i = 0; ids != nullptr && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CDispatchForwarder::InvokeWithoutTarget(DISPID, VARIANT*) { return S_OK; }

} // namespace SkinUI
