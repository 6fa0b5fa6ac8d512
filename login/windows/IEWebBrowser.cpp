#include "login/windows/IEWebBrowser.h"

#include <exdispid.h>

#include <new>

#include "foundation/TraceLog.h"
#include "login/windows/WebBrowserHost.h"
#include "uitoolkit/core/OleControlUtil.h"

namespace {

constexpr wchar_t kBlankPage[] = L"about:blank";

// ---- event arguments: checked for type before they are read ------------------------------------

// The argument at declaration position i (the record holds them last first), a by-reference
// VARIANT followed to the value it refers to.
const VARIANT* Arg(const DISPPARAMS* params, UINT i)
{
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - i];
    for (int depth = 0; depth < 4 && v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal != nullptr; ++depth)
        v = v->pvarVal;
    return v;
}

// The text of a string value (a null BSTR is empty text); null for any other type.
const wchar_t* TextOf(const VARIANT* v)
{
    BSTR text = nullptr;
    if (v->vt == VT_BSTR)
        text = v->bstrVal;
    else if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal != nullptr)
        text = *v->pbstrVal;
    else
        return nullptr;
    return text != nullptr ? text : L"";
}

IDispatch* DispatchOf(const VARIANT* v)
{
    if (v->vt == VT_DISPATCH)
        return v->pdispVal;
    if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal != nullptr)
        return *v->ppdispVal;
    return nullptr;
}

// A numeric value as 32 bits (VARIANT_BOOL true becomes -1).
bool NumberOf(const VARIANT* v, LONG& number)
{
    VARIANT converted = {};
    VARIANT* source = const_cast<VARIANT*>(v);
    if (SUCCEEDED(::VariantChangeType(&converted, source, 0, VT_I4))) {
        number = converted.lVal;
        return true;
    }
    if (SUCCEEDED(::VariantChangeType(&converted, source, 0, VT_UI4))) {
        number = static_cast<LONG>(converted.ulVal);
        return true;
    }
    return false;
}

VARIANT_BOOL* BoolOut(const VARIANT* v)
{
    return v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

IDispatch** DispatchOut(const VARIANT* v)
{
    return v->vt == (VT_BYREF | VT_DISPATCH) ? v->ppdispVal : nullptr;
}

} // namespace

// ProgressChange, SetSecureLockIcon, StatusTextChange and WindowClosing report nothing; neither
// does any other event.
const CIEWebBrowser::BrowserEvent CIEWebBrowser::kBrowserEvents[] = {
    {DISPID_BEFORENAVIGATE2, 7, &CIEWebBrowser::OnBeforeNavigate2},
    {DISPID_NAVIGATEERROR, 5, &CIEWebBrowser::OnNavigateError},
    {DISPID_NAVIGATECOMPLETE2, 2, &CIEWebBrowser::OnNavigateComplete2},
    {DISPID_DOCUMENTCOMPLETE, 2, &CIEWebBrowser::OnDocumentComplete},
    {DISPID_TITLECHANGE, 1, &CIEWebBrowser::OnTitleChange},
    {DISPID_COMMANDSTATECHANGE, 2, &CIEWebBrowser::OnCommandStateChange},
    {DISPID_NEWWINDOW3, 5, &CIEWebBrowser::OnNewWindow3},
};

// The window goes while this class still handles its messages; the page may hold
// window.external longer, and the browser may still hold the sink: both let go of this object.
CIEWebBrowser::~CIEWebBrowser()
{
    Destroy();
    if (m_sink)
        m_sink->Detach();
    if (m_external)
        m_external->Detach();
}

std::shared_ptr<IEmbeddedBrowser> CIEWebBrowser::Make()
{
    try {
        return std::make_shared<CIEWebBrowser>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HWND CIEWebBrowser::Create(HWND parent, const RECT& rc)
{
    if (m_hWnd != nullptr)
        return m_hWnd;
    m_hParent = parent;
    m_rcPos = rc;
    static bool s_oleReady = false;  // the UI thread's OLE stays initialised for the process
    if (!s_oleReady) {
        s_oleReady = true;
        ::OleInitialize(nullptr);
    }
    // The container registers its window class on the way.
    HWND hWnd = CreateContainer(parent, L"", WS_CHILD | WS_CLIPCHILDREN, 0, rc);
    if (hWnd == nullptr && IsTraceViewerPresent())
        TraceLogA("CIEBrowserWnd::Create() failed.");
    return hWnd;
}

void CIEWebBrowser::Navigate(const wchar_t* url)
{
    if (m_webBrowser && url != nullptr && url[0] != L'\0')
        SkinUI::NavigateWebBrowser(m_webBrowser.Get(), url);
}

void CIEWebBrowser::FocusBrowserWindow()
{
    HWND embedding = ::FindWindowExW(m_hWnd, nullptr, L"Shell Embedding", nullptr);
    HWND view = embedding != nullptr ? ::FindWindowExW(embedding, nullptr, L"Shell DocObject View", nullptr) : nullptr;
    HWND page = view != nullptr ? ::FindWindowExW(view, nullptr, L"Internet Explorer_Server", nullptr) : nullptr;
    if (page == nullptr)
        return;
    HWND flash = ::FindWindowExW(page, nullptr, L"MacromediaFlashPlayerActiveX", nullptr);
    ::SetFocus(flash != nullptr ? flash : page);
}

ComPtr<SkinUI::CAxClientSite> CIEWebBrowser::MakeSite()
{
    return ComPtr<SkinUI::CAxClientSite>::Adopt(new (std::nothrow) CWebBrowserHost());
}

LRESULT CIEWebBrowser::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (OnCreate() == -1)
            return -1;
        break;
    case WM_DESTROY:
        if (m_sink)
            m_sink->Detach();  // no events from a browser being torn down
        break;
    case WM_TIMER:
    case WM_ACTIVATE:
    case WM_COPYDATA:
        return 0;
    default:
        break;
    }
    return CAxContainerWnd::ProcessMessage(message, wParam, lParam);
}

// The browser on a blank page, window.external, the event sink, and the browser's own settings:
// registered as a browser and a drop target, and silent (no dialogs of its own).
LRESULT CIEWebBrowser::OnCreate()
{
    CreateControl(kBlankPage);
    SkinUI::CAxClientSite* site = GetSite();
    m_external = ComPtr<ICustomDispatch>::Adopt(new (std::nothrow) ICustomDispatch(this));
    if (site == nullptr || !m_external)
        return -1;
    site->SetExternalDispatch(m_external.Get());

    ComPtr<IUnknown> control;
    if (FAILED(QueryControl(IID_IUnknown, reinterpret_cast<void**>(control.GetAddressOf()))))
        return 0;  // no browser: navigation and focus requests do nothing
    m_sink = ComPtr<SkinUI::CDispEventSink>::Adopt(new (std::nothrow) SkinUI::CDispEventSink(this, DIID_DWebBrowserEvents2));
    if (m_sink)
        m_sink->Connect(control.Get());
    if (SUCCEEDED(control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(m_webBrowser.GetAddressOf())))) {
        m_webBrowser->put_RegisterAsBrowser(VARIANT_TRUE);
        m_webBrowser->put_RegisterAsDropTarget(VARIANT_TRUE);
        m_webBrowser->put_Silent(VARIANT_TRUE);
    }
    control->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(m_inPlaceActive.GetAddressOf()));
    return 0;
}

void CIEWebBrowser::OnWindowDestroyed(HWND hWnd)
{
    m_webBrowser = nullptr;
    m_inPlaceActive = nullptr;
    CAxContainerWnd::OnWindowDestroyed(hWnd);
}

// ---- dispatch ----------------------------------------------------------------------------------

HRESULT CIEWebBrowser::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids)
{
    return ICustomDispatch::ResolveNames(names, count, ids);
}

HRESULT CIEWebBrowser::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result)
{
    switch (id) {
    case ICustomDispatch::kNotifyPageLoaded:
    case ICustomDispatch::kNotifyStartEditContent:
    case ICustomDispatch::kClose:
        return OnScriptCall(id, flags, params, result);
    default:
        return OnBrowserEvent(id, params);
    }
}

// The answer is written first: the handler may destroy this object, and nothing of it is touched
// after the call.
HRESULT CIEWebBrowser::OnScriptCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result)
{
    if ((flags & DISPATCH_METHOD) == 0) {
        if ((flags & DISPATCH_PROPERTYGET) == 0)
            return DISP_E_MEMBERNOTFOUND;
        ICustomDispatch::AnswerTrue(result);
        return S_OK;
    }
    ICustomDispatch::AnswerTrue(result);
    const wchar_t* argument = L"";
    if (id == ICustomDispatch::kNotifyStartEditContent) {
        // Exactly one text argument, or no call at all.
        if (params == nullptr || params->cArgs != 1 || params->rgvarg == nullptr || params->rgvarg[0].vt != VT_BSTR)
            return S_OK;
        argument = TextOf(&params->rgvarg[0]);
    }
    if (m_handler != nullptr)
        m_handler->OnScriptCall(this, ICustomDispatch::ScriptName(id), argument);
    return S_OK;
}

HRESULT CIEWebBrowser::OnBrowserEvent(DISPID id, DISPPARAMS* params)
{
    for (const BrowserEvent& event : kBrowserEvents) {
        if (event.id != id)
            continue;
        if (params == nullptr || params->cArgs != event.argCount || params->rgvarg == nullptr)
            return DISP_E_BADPARAMCOUNT;
        (this->*event.handle)(params);  // may destroy this object
        return S_OK;
    }
    return S_OK;
}

// An event of the hosted page itself, not of a frame inside it: the source is the browser.
bool CIEWebBrowser::IsTopLevel(IDispatch* source) const
{
    if (source == nullptr || !m_webBrowser)
        return false;
    ComPtr<IUnknown> a;
    ComPtr<IUnknown> b;
    if (FAILED(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(a.GetAddressOf()))) ||
        FAILED(m_webBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.GetAddressOf()))))
        return false;
    return a.Get() == b.Get();
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
void CIEWebBrowser::OnBeforeNavigate2(DISPPARAMS* params)
{
    const wchar_t* url = TextOf(Arg(params, 1));
    VARIANT_BOOL* cancelOut = BoolOut(Arg(params, 6));
    if (url == nullptr || m_handler == nullptr)
        return;
    bool cancel = false;
    m_handler->OnBeforeNavigate(this, IsTopLevel(DispatchOf(Arg(params, 0))), url, cancel);
    if (cancelOut != nullptr)
        *cancelOut = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

// NavigateError(pDisp, URL, Frame, StatusCode, Cancel): the browser never shows its error page.
void CIEWebBrowser::OnNavigateError(DISPPARAMS* params)
{
    if (VARIANT_BOOL* cancelOut = BoolOut(Arg(params, 4)))
        *cancelOut = VARIANT_TRUE;
    const wchar_t* url = TextOf(Arg(params, 1));
    if (url == nullptr || m_handler == nullptr)
        return;
    LONG status = 0;
    NumberOf(Arg(params, 3), status);
    m_handler->OnNavigateError(this, IsTopLevel(DispatchOf(Arg(params, 0))), url, status);
}

// NavigateComplete2(pDisp, URL)
void CIEWebBrowser::OnNavigateComplete2(DISPPARAMS* params)
{
    const wchar_t* url = TextOf(Arg(params, 1));
    if (url != nullptr && m_handler != nullptr)
        m_handler->OnNavigateComplete(this, IsTopLevel(DispatchOf(Arg(params, 0))), url);
}

// DocumentComplete(pDisp, URL)
void CIEWebBrowser::OnDocumentComplete(DISPPARAMS* params)
{
    const wchar_t* url = TextOf(Arg(params, 1));
    if (url != nullptr && m_handler != nullptr)
        m_handler->OnDocumentComplete(this, IsTopLevel(DispatchOf(Arg(params, 0))), url);
}

// TitleChange(Text)
void CIEWebBrowser::OnTitleChange(DISPPARAMS* params)
{
    const wchar_t* title = TextOf(Arg(params, 0));
    if (title != nullptr && m_handler != nullptr)
        m_handler->OnTitleChange(this, title);
}

// CommandStateChange(Command, Enable)
void CIEWebBrowser::OnCommandStateChange(DISPPARAMS* params)
{
    LONG command = 0;
    LONG enabled = 0;
    if (NumberOf(Arg(params, 0), command) && NumberOf(Arg(params, 1), enabled) && m_handler != nullptr)
        m_handler->OnCommandStateChange(this, command, enabled);
}

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): refused unless the handler gives
// a browser for the window; an empty address is refused without asking.
void CIEWebBrowser::OnNewWindow3(DISPPARAMS* params)
{
    IDispatch** windowOut = DispatchOut(Arg(params, 0));
    VARIANT_BOOL* cancelOut = BoolOut(Arg(params, 1));
    if (cancelOut != nullptr)
        *cancelOut = VARIANT_TRUE;
    LONG flags = 0;
    NumberOf(Arg(params, 2), flags);
    const wchar_t* referrer = TextOf(Arg(params, 3));
    const wchar_t* url = TextOf(Arg(params, 4));
    if (url == nullptr || url[0] == L'\0' || m_handler == nullptr)
        return;
    ComPtr<IDispatch> window =
        m_handler->OnNewWindow(this, static_cast<DWORD>(flags), referrer != nullptr ? referrer : L"", url);
    if (!window || windowOut == nullptr)
        return;
    *windowOut = window.Detach();
    if (cancelOut != nullptr)
        *cancelOut = VARIANT_FALSE;
}
