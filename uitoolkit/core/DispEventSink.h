#pragma once
// CDispEventSink: receives the events of an outgoing dispatch interface (for example the web
// browser's DWebBrowserEvents2) through the source's IConnectionPointContainer and hands every
// call to its target. The sink is a COM object of its own: the source holds it while connected,
// and the target detaches it before going away, after which calls do nothing.
//
//   auto sink = ComPtr<CDispEventSink>::Adopt(new CDispEventSink(this, DIID_DWebBrowserEvents2));
//   sink->Connect(browser);      // E_FAIL when already connected
//   ...
//   sink->Detach();              // disconnects and forgets the target
#include <windows.h>
#include <ocidl.h>

#include "foundation/ComPtr.h"
#include "uitoolkit/core/DispatchForwarder.h"

namespace SkinUI {

class CDispEventSink : public CDispatchForwarder {
public:
    // The cookie while not connected.
    static constexpr DWORD kNotConnected = 0xFEFEFEFE;

    CDispEventSink(IDispatchTarget* target, REFIID events) : CDispatchForwarder(target), m_events(events) {}
    ~CDispEventSink() override;

    // Advises the source's connection point for the event interface.
    HRESULT Connect(IUnknown* source);
    // Unadvises; nothing when not connected.
    void Disconnect();
    // Disconnects and forgets the target.
    void Detach();
    DWORD GetCookie() const { return m_cookie; }
    bool IsConnected() const { return m_cookie != kNotConnected; }

    // IUnknown: IUnknown, IDispatch and the event interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;

private:
    void Unadvise();

    IID m_events;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = kNotConnected;
};

} // namespace SkinUI
