#pragma once
// CDispatchForwarder: a reference-counted IDispatch that hands names and calls to its target
// (IDispatchTarget) through a back pointer. Outside code may hold it after the target is gone:
// the target detaches it first, and from then on it answers on its own (see the two
// ...WithoutTarget operations).
#include <windows.h>
#include <oaidl.h>

#include "foundation/ComImpl.h"
#include "uitoolkit/core/DispatchTarget.h"

namespace SkinUI {

class CDispatchForwarder : public ComImpl<IDispatch> {
public:
    explicit CDispatchForwarder(IDispatchTarget* target) : m_target(target) {}

    // The target is going away.
    void Detach() { m_target = nullptr; }
    bool IsDetached() const { return m_target == nullptr; }

    // IDispatch (no type information)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

protected:
    // The answers once detached: unknown names, and calls that do nothing.
    virtual HRESULT NamesWithoutTarget(LPOLESTR* names, UINT count, DISPID* ids);
    virtual HRESULT InvokeWithoutTarget(DISPID id, VARIANT* result);

private:
    IDispatchTarget* m_target;
};

} // namespace SkinUI
