#pragma once
// ICustomDispatch: the object a page's script reaches as window.external. Its names and calls are
// the embedded browser's (CIEWebBrowser), reached through a back pointer. The page may keep the
// object and call it after the browser is gone: the browser detaches it when it is destroyed, and
// from then on every call answers true and does nothing. The object lives while anyone holds it.
#include <windows.h>
#include <oaidl.h>

#include "uitoolkit/core/DispatchForwarder.h"

class ICustomDispatch : public SkinUI::CDispatchForwarder {
public:
    // The script's names, compared exactly (case-sensitive).
    static constexpr DISPID kTestJsFunc = 1;
    static constexpr DISPID kNotifyPageLoaded = 5010;
    static constexpr DISPID kNotifyStartEditContent = 5011;
    static constexpr DISPID kClose = 5013;
    // The identifier of a script name; DISPID_UNKNOWN for any other name.
    static DISPID ScriptId(const wchar_t* name);
    // The name of a script identifier; null for an unknown one.
    static const wchar_t* ScriptName(DISPID id);

    explicit ICustomDispatch(SkinUI::IDispatchTarget* browser) : CDispatchForwarder(browser) {}
    ~ICustomDispatch() override;

    // IUnknown: IUnknown and IDispatch.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;

    // Resolves every name with ScriptId (the answer of both of the browser's dispatch faces).
    static HRESULT ResolveNames(LPOLESTR* names, UINT count, DISPID* ids);
    // The answer of every script call: VT_BOOL 1.
    static void AnswerTrue(VARIANT* result);

protected:
    // Once the browser is gone the names still resolve, and every call answers true.
    HRESULT NamesWithoutTarget(LPOLESTR* names, UINT count, DISPID* ids) override;
    HRESULT InvokeWithoutTarget(DISPID id, VARIANT* result) override;
};
