#include "uitoolkit/core/DispEventSink.h"

namespace SkinUI {

// A connected source holds the sink, so it is normally disconnected by now.
CDispEventSink::~CDispEventSink()
{
    Unadvise();
}

HRESULT CDispEventSink::Connect(IUnknown* source)
{
    if (IsConnected())
        return E_FAIL;
    if (source == nullptr)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(m_events, point.GetAddressOf());
    if (FAILED(hr))
        return hr;
    DWORD cookie = 0;
    hr = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (FAILED(hr))
        return hr;
    m_point = point;
    m_cookie = cookie;
    return S_OK;
}

void CDispEventSink::Disconnect()
{
    if (!IsConnected())
        return;
    // Unadvise drops the source's reference, which may be the last one but the caller's.
    ComPtr<CDispEventSink> keep(this);
    Unadvise();
}

void CDispEventSink::Unadvise()
{
    if (!IsConnected())
        return;
    ComPtr<IConnectionPoint> point = std::move(m_point);
    const DWORD cookie = m_cookie;
    m_cookie = kNotConnected;
    if (point)
        point->Unadvise(cookie);
}

void CDispEventSink::Detach()
{
    CDispatchForwarder::Detach();
    Disconnect();
}

HRESULT CDispEventSink::QueryInterface(REFIID riid, void** out)
{
    IDispatch* self = this;
    return Answer(riid, out, {{&IID_IUnknown, self}, {&IID_IDispatch, self}, {&m_events, self}});
}

} // namespace SkinUI
