#include "uitoolkit/core/ActiveXUI.h"

#include <cwchar>
#include <new>

#include "uitoolkit/core/ActiveXCtrl.h"
#include "uitoolkit/core/ActiveXModuleLoader.h"
#include "uitoolkit/core/OleControlUtil.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

constexpr size_t kClsidChars = 99;

bool IsZero(const CLSID& clsid)
{
    return ::IsEqualCLSID(clsid, CLSID_NULL) != FALSE;
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSEHWHEEL;
}

// The point a mouse message is about. WM_SETCURSOR and the wheel messages carry none in client
// coordinates: the cursor position says where the mouse is.
POINT HitPoint(HWND hWnd, UINT message, LPARAM lParam)
{
    if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) {
        POINT pt = {};
        ::GetCursorPos(&pt);
        ::ScreenToClient(hWnd, &pt);
        return pt;
    }
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The object from the module's own class factory; null when the module or its factory fails.
ComPtr<IUnknown> CreateFromModule(const wchar_t* module, const CLSID& clsid)
{
    HMODULE library = CActiveXModuleLoader::Load(module);
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        library != nullptr
            ? reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(::GetProcAddress(library, "DllGetClassObject")))
            : nullptr;
    ComPtr<IUnknown> object;
    ComPtr<IClassFactory> factory;
    if (getClassObject != nullptr &&
        SUCCEEDED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))) && factory)
        factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

} // namespace

CActiveXUI::CActiveXUI() = default;

CActiveXUI::~CActiveXUI()
{
    ReleaseControl();
}

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveXUI"; }

void* CActiveXUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ActiveX") == 0)
        return static_cast<CActiveXUI*>(this);
    return CControlUI::GetInterface(name);
}

HWND CActiveXUI::GetPaintWindow() const
{
    return m_host != nullptr ? m_host->GetPaintWindow() : nullptr;
}

// A windowed object lives in its own window, so its rectangle starts at that window's origin.
RECT CActiveXUI::GetObjectRect() const
{
    RECT rc = m_rcItem;
    if (m_site && !m_site->IsWindowless())
        ::OffsetRect(&rc, -rc.left, -rc.top);
    return rc;
}

void CActiveXUI::SetPos(RECT rc)
{
    if (!Survives([&] { CControlUI::SetPos(rc); }))
        return;
    if (!m_created && !Survives([this] { CreateControl(); }))
        return;
    if (!m_object || !m_site)
        return;
    SIZE extent = PixelsToHimetric(SIZE{m_rcItem.right - m_rcItem.left, m_rcItem.bottom - m_rcItem.top});
    m_object->SetExtent(DVASPECT_CONTENT, &extent);
    if (IOleInPlaceObject* inPlace = m_site->GetInPlaceObject()) {
        const RECT rcObject = GetObjectRect();
        inPlace->SetObjectRects(&rcObject, &rcObject);
    }
    if (!m_site->IsWindowless() && m_hostWindow != nullptr)
        ::MoveWindow(m_hostWindow, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                     m_rcItem.bottom - m_rcItem.top, TRUE);
}

void CActiveXUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (m_site && !m_site->IsWindowless() && m_hostWindow != nullptr)
        ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetInheritedVisible(bool visible)
{
    CControlUI::SetInheritedVisible(visible);
    if (m_site && !m_site->IsWindowless() && m_hostWindow != nullptr)
        ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (std::wcscmp(name, L"clsid") == 0) {
        wchar_t text[kClsidChars + 1] = {};
        std::wcsncpy(text, value, kClsidChars);
        CLSID clsid = {};
        ClassIdFromText(text, clsid);  // all zero when the text names nothing, which is refused
        SetClsid(clsid);
    } else if (std::wcscmp(name, L"modulename") == 0) {
        SetModuleName(value);
    } else if (std::wcscmp(name, L"delaycreate") == 0) {
        SetDelayCreate(std::wcscmp(value, L"true") == 0);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CActiveXUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    if (m_site && m_site->IsWindowless() && m_site->IsInPlaceActive())
        m_site->DrawView(hDC);
}

// 1. Mouse messages need the mouse flag; 2. mouse messages and WM_SETCURSOR need a hit (or the
// capture); 3. keyboard messages need the focus; 4. help and context menus pass through. The
// object's answer is the result; WM_SETCURSOR, WM_HELP and WM_CONTEXTMENU go on to the host.
LRESULT CActiveXUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (!m_site || !m_site->IsInPlaceActive() || !m_site->IsWindowless() || m_site->GetInPlaceObject() == nullptr)
        return 0;
    bool takes = true;
    if (IsMouseMessage(message) || message == WM_SETCURSOR) {
        if (IsMouseMessage(message) && !IsMouseEnabled())
            return 0;
        if (!m_site->IsCaptured()) {
            ComPtr<IViewObjectEx> view;
            if (m_site->GetViewObject() == nullptr ||
                FAILED(m_site->GetViewObject()->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(view.GetAddressOf()))))
                return 0;
            DWORD hit = HITRESULT_OUTSIDE;
            view->QueryHitPoint(DVASPECT_CONTENT, &m_rcItem, HitPoint(m_hostWindow, message, lParam), 0, &hit);
            if (hit != HITRESULT_HIT)
                return 0;
        }
        takes = message != WM_SETCURSOR;
    } else if (message >= WM_KEYFIRST && message <= WM_UNICHAR) {
        if (!IsFocused())
            return 0;
    } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
        takes = false;
    } else {
        return 0;
    }
    // The object may do anything here: nothing of this control is used after the call.
    ComPtr<IOleInPlaceObjectWindowless> windowless(static_cast<IOleInPlaceObjectWindowless*>(m_site->GetInPlaceObject()));
    LRESULT result = 0;
    if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK)
        handled = takes;
    return result;
}

bool CActiveXUI::SetClsid(const CLSID& clsid)
{
    if (IsZero(clsid))
        return false;
    m_created = false;
    m_clsid = clsid;
    if (!m_delayCreate)
        CreateControl();
    return true;
}

void CActiveXUI::SetModuleName(const wchar_t* module)
{
    m_moduleName = module != nullptr ? module : L"";
}

void CActiveXUI::SetDelayCreate(bool delay)
{
    if (m_delayCreate == delay)
        return;
    if (!delay && !m_created && !IsZero(m_clsid))
        CreateControl();
    m_delayCreate = delay;
}

HRESULT CActiveXUI::GetControl(REFIID riid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!m_object)
        return E_PENDING;
    return m_object->QueryInterface(riid, out);
}

// 1. A fresh start, marked created at once (a class id that makes nothing is tried only once).
// 2. The skin's module and its class factory, when named. 3. Else the registered server.
// 4. The object's IOleObject. 5. The site. 6. The usual activation order: client site first
// when the object asks for it, a fresh state, the client site, the view object, host names,
// "showactivex", in-place activation unless invisible at run time, the site-holder.
// 7. The result is that of the last call that gave one.
bool CActiveXUI::CreateControl()
{
    ReleaseControl();
    m_created = true;

    ComPtr<IUnknown> created;
    if (!m_moduleName.IsEmpty())
        created = CreateFromModule(m_moduleName, m_clsid);
    if (!created &&
        FAILED(::CoCreateInstance(m_clsid, nullptr, CLSCTX_ALL, IID_IOleControl, reinterpret_cast<void**>(created.GetAddressOf()))))
        return false;

    if (FAILED(created->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(m_object.GetAddressOf()))))
        return false;
    created = nullptr;

    m_site = ComPtr<CActiveXCtrl>::Adopt(new (std::nothrow) CActiveXCtrl(this));
    if (!m_site)
        return false;
    DWORD misc = 0;
    m_object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    ComPtr<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(clientSite.GetAddressOf()));

    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        m_object->SetClientSite(clientSite.Get());

    HRESULT hr = S_OK;
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(m_object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.GetAddressOf()))))
        hr = persist->InitNew();
    if (FAILED(hr))
        return false;

    if (!siteFirst)
        m_object->SetClientSite(clientSite.Get());
    ComPtr<IViewObject> view;
    for (const IID* iid : {&IID_IViewObjectEx, &IID_IViewObject2, &IID_IViewObject}) {
        hr = m_object->QueryInterface(*iid, reinterpret_cast<void**>(view.GetAddressOf()));
        if (SUCCEEDED(hr))
            break;
    }
    m_site->SetViewObject(view.Get());
    m_object->SetHostNames(L"UIActiveX", nullptr);

    if (m_host != nullptr && !Survives([this] { m_host->SendNotify(this, L"showactivex", 0, 0); }))
        return false;
    // The object is held over the activation: its answers may release this control.
    ComPtr<IOleObject> object = m_object;
    if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0) {
        RECT rc = m_rcItem;
        hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite.Get(), 0, GetPaintWindow(), &rc);
    }
    ComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.GetAddressOf()))))
        withSite->SetSite(clientSite.Get());
    return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseControl()
{
    m_hostWindow = nullptr;
    if (ComPtr<IOleObject> object = std::move(m_object)) {
        ComPtr<IObjectWithSite> withSite;
        if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.GetAddressOf()))))
            withSite->SetSite(nullptr);
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    if (ComPtr<CActiveXCtrl> site = std::move(m_site))
        site->ClearOwner();
    if (m_host != nullptr)
        m_host->RemoveMessageFilter(this);
}

} // namespace SkinUI
