#include "uitoolkit/core/AxClientSite.h"

#include <exdisp.h>

#include <cwctype>
#include <new>

#include "uitoolkit/core/AxInPlaceFrame.h"
#include "uitoolkit/core/OleControlUtil.h"

namespace SkinUI {

namespace {

// An address has a scheme of two or more letters before its first colon ("about:", "https:");
// a single letter would be a drive.
bool IsAddress(const wchar_t* text)
{
    int letters = 0;
    for (; text[letters] != L'\0' && std::iswalpha(text[letters]); ++letters) {
    }
    return letters >= 2 && text[letters] == L':';
}

} // namespace

HRESULT CAxClientSite::CreateControl(const wchar_t* name, HWND hWnd)
{
    if (name == nullptr || name[0] == L'\0')
        return E_INVALIDARG;
    CLSID clsid = {};
    const bool address = !ClassIdFromText(name, clsid);
    if (address) {
        if (!IsAddress(name))
            return CO_E_CLASSSTRING;
        clsid = CLSID_WebBrowser;
    }
    ComPtr<IUnknown> control;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(control.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    hr = AttachControl(control.Get(), hWnd);
    if (SUCCEEDED(hr) && address)
        hr = NavigateWebBrowser(control.Get(), name);
    return hr;
}

// The usual activation order of an OLE control: client site first when the control asks for it,
// a fresh state, the client site, the extent of the window, then in-place activation unless the
// control is invisible at run time.
HRESULT CAxClientSite::AttachControl(IUnknown* control, HWND hWnd)
{
    if (control == nullptr)
        return E_POINTER;
    if (m_control)
        return E_FAIL;
    m_hWnd = hWnd;
    m_control = control;
    HRESULT hr = control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(m_oleObject.GetAddressOf()));
    if (FAILED(hr))
        return S_OK;  // not an OLE object: held, with nothing to activate
    IOleClientSite* self = this;
    DWORD misc = 0;
    m_oleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        m_oleObject->SetClientSite(self);
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.GetAddressOf())))) {
        hr = persist->InitNew();
        if (FAILED(hr))
            return hr;
    }
    if (!siteFirst)
        m_oleObject->SetClientSite(self);
    RECT rc = ClientRect();
    SIZE extent = PixelsToHimetric(SIZE{rc.right - rc.left, rc.bottom - rc.top});
    m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);
    if ((misc & OLEMISC_INVISIBLEATRUNTIME) != 0)
        return S_OK;
    return m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, self, 0, m_hWnd, &rc);
}

HRESULT CAxClientSite::QueryControl(REFIID riid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!m_control)
        return E_PENDING;
    return m_control->QueryInterface(riid, out);
}

void CAxClientSite::SetExternalDispatch(IDispatch* external)
{
    m_external = external;
}

void CAxClientSite::Resize(const RECT& rc)
{
    if (m_oleObject) {
        SIZE extent = PixelsToHimetric(SIZE{rc.right - rc.left, rc.bottom - rc.top});
        m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);
    }
    if (ComPtr<IOleInPlaceObject> inPlace = m_inPlaceObject)
        inPlace->SetObjectRects(&rc, &rc);
}

// The control calls back into the site while it deactivates and closes, and may drop the last
// reference to it meanwhile; the site holds itself until it is done.
void CAxClientSite::ReleaseAll()
{
    ComPtr<CAxClientSite> keep(this);
    if (ComPtr<IOleInPlaceObject> inPlace = m_inPlaceObject)
        inPlace->InPlaceDeactivate();
    if (ComPtr<IOleObject> object = m_oleObject) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    m_inPlaceObject = nullptr;
    m_oleObject = nullptr;
    m_control = nullptr;
    m_external = nullptr;
    m_inPlaceActive = false;
    m_hWnd = nullptr;
}

RECT CAxClientSite::ClientRect() const
{
    RECT rc = {};
    if (m_hWnd == nullptr || !::GetClientRect(m_hWnd, &rc))
        ::SetRectEmpty(&rc);
    return rc;
}

HRESULT CAxClientSite::QueryInterface(REFIID riid, void** out)
{
    IOleClientSite* client = this;
    IOleInPlaceSite* inPlace = this;
    IDocHostUIHandler* ui = this;
    return Answer(riid, out, {{&IID_IUnknown, client}, {&IID_IOleClientSite, client}, {&IID_IOleWindow, inPlace},
                              {&IID_IOleInPlaceSite, inPlace}, {&IID_IDocHostUIHandler, ui}});
}

// ---- IOleWindow / IOleInPlaceSite ----------------------------------------------------------------

HRESULT CAxClientSite::GetWindow(HWND* hWnd)
{
    if (hWnd == nullptr)
        return E_POINTER;
    *hWnd = m_hWnd;
    return m_hWnd != nullptr ? S_OK : E_FAIL;
}

HRESULT CAxClientSite::CanInPlaceActivate() { return m_hWnd != nullptr ? S_OK : S_FALSE; }

HRESULT CAxClientSite::OnInPlaceActivate()
{
    if (!m_control)
        return E_UNEXPECTED;
    const HRESULT hr =
        m_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(m_inPlaceObject.GetAddressOf()));
    m_inPlaceActive = SUCCEEDED(hr);
    return hr;
}

// The frame is the top-level window the container lives in; the control takes the whole client
// area of the container window.
HRESULT CAxClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                        LPOLEINPLACEFRAMEINFO info)
{
    if (frame == nullptr || doc == nullptr || pos == nullptr || clip == nullptr || info == nullptr)
        return E_POINTER;
    *doc = nullptr;
    HWND top = m_hWnd != nullptr ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    *frame = new (std::nothrow) CAxInPlaceFrame(top);
    if (*frame == nullptr)
        return E_OUTOFMEMORY;
    FillWindowContext(pos, clip, info, ClientRect(), top, nullptr, 0);
    return S_OK;
}

HRESULT CAxClientSite::OnInPlaceDeactivate()
{
    m_inPlaceActive = false;
    m_inPlaceObject = nullptr;
    return S_OK;
}

HRESULT CAxClientSite::OnPosRectChange(LPCRECT pos)
{
    if (pos == nullptr)
        return E_POINTER;
    if (ComPtr<IOleInPlaceObject> inPlace = m_inPlaceObject)
        inPlace->SetObjectRects(pos, pos);
    return S_OK;
}

// ---- IDocHostUIHandler: the browser's own behaviour unless a derived host shapes it ----------------

HRESULT CAxClientSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
HRESULT CAxClientSite::GetHostInfo(DOCHOSTUIINFO*) { return E_NOTIMPL; }

HRESULT CAxClientSite::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                              IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

HRESULT CAxClientSite::HideUI() { return S_OK; }
HRESULT CAxClientSite::UpdateUI() { return S_OK; }
HRESULT CAxClientSite::EnableModeless(BOOL) { return S_OK; }
HRESULT CAxClientSite::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CAxClientSite::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CAxClientSite::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT CAxClientSite::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

HRESULT CAxClientSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key != nullptr)
        *key = nullptr;
    return S_FALSE;
}

HRESULT CAxClientSite::GetDropTarget(IDropTarget*, IDropTarget** replacement)
{
    if (replacement != nullptr)
        *replacement = nullptr;
    return E_NOTIMPL;
}

HRESULT CAxClientSite::GetExternal(IDispatch** external)
{
    if (external == nullptr)
        return E_POINTER;
    *external = m_external.Get();
    if (*external == nullptr)
        return S_FALSE;
    (*external)->AddRef();
    return S_OK;
}

HRESULT CAxClientSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated != nullptr)
        *translated = nullptr;
    return S_FALSE;
}

HRESULT CAxClientSite::FilterDataObject(IDataObject*, IDataObject** replacement)
{
    if (replacement != nullptr)
        *replacement = nullptr;
    return S_FALSE;
}

} // namespace SkinUI
