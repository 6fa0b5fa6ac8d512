#pragma once
// IDispatchTarget: the name lookup and call of a dispatch interface without its COM identity.
// A small reference-counted dispatch object (an event sink, a script's external object) forwards
// to a target through a back pointer, so that the target can go away while outside code still
// holds the object: the target clears the back pointer, and the object answers on its own.
#include <windows.h>
#include <oaidl.h>

namespace SkinUI {

class IDispatchTarget {
public:
    virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) = 0;

protected:
    ~IDispatchTarget() = default;
};

} // namespace SkinUI
