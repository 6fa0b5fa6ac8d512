#include "standins/activex/TestControl.h"

#include <set>

#include "standins/activex/ControlLog.h"
#include "standins/activex/TestActiveXIds.h"

namespace testax {

namespace {

const Variant kVariants[] = {
    {&kTestWindowlessClsid, L"windowless", OLEMISC_RECOMPOSEONRESIZE, true},
    {&kTestSiteFirstClsid, L"site-first", OLEMISC_SETCLIENTSITEFIRST, true},
    {&kTestWindowedClsid, L"windowed", OLEMISC_RECOMPOSEONRESIZE, false},
};

std::set<const TestControl*>& LiveControls()
{
    static std::set<const TestControl*> controls;
    return controls;
}

const wchar_t* SiteName(IUnknown* site)
{
    return site != nullptr ? L"site" : L"null";
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The windowed control's own window: a plain child painted red.
HWND CreateControlWindow(HWND parent, const RECT& rc)
{
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ThisModule();
        wc.hbrBackground = ::CreateSolidBrush(RGB(255, 0, 0));
        wc.lpszClassName = kTestActiveXWindowClass;
        return ::RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return ::CreateWindowExW(0, kTestActiveXWindowClass, L"", WS_CHILD | WS_VISIBLE, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, parent, nullptr, ThisModule(), nullptr);
}

bool InLeftHalf(const RECT& bounds, POINT pt)
{
    RECT left = bounds;
    left.right = (bounds.left + bounds.right) / 2;
    return ::PtInRect(&left, pt) != FALSE;
}

} // namespace

long HostReferences()
{
    long count = 0;
    for (const TestControl* control : LiveControls())
        count += control->HostReferences();
    return count;
}

const Variant* FindVariant(REFCLSID clsid)
{
    for (const Variant& variant : kVariants) {
        if (::IsEqualCLSID(*variant.clsid, clsid))
            return &variant;
    }
    return nullptr;
}

TestControl::TestControl(const Variant& variant) : m_variant(variant)
{
    ++g_objects;
    ++g_references;
    LiveControls().insert(this);
    Log(L"created %ls", variant.name);
}

TestControl::~TestControl()
{
    if (m_window != nullptr)
        ::DestroyWindow(m_window);
    LiveControls().erase(this);
    --g_objects;
    Log(L"deleted %ls", m_variant.name);
}

long TestControl::HostReferences() const
{
    return (m_clientSite ? 1 : 0) + (m_inPlaceSite ? 1 : 0) + (m_frame ? 1 : 0) + (m_doc ? 1 : 0) + (m_site ? 1 : 0);
}

ULONG TestControl::AddRef()
{
    ++g_references;
    return ComImpl::AddRef();
}

ULONG TestControl::Release()
{
    --g_references;
    return ComImpl::Release();
}

HRESULT TestControl::QueryInterface(REFIID riid, void** out)
{
    IOleObject* object = this;
    IOleInPlaceObjectWindowless* inPlace = this;
    IViewObjectEx* view = this;
    IPersistStreamInit* persist = this;
    if (!m_variant.windowless && ::IsEqualIID(riid, IID_IOleInPlaceObjectWindowless)) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return Answer(riid, out,
                  {{&IID_IUnknown, object}, {&IID_IOleObject, object}, {&IID_IOleWindow, inPlace},
                   {&IID_IOleInPlaceObject, inPlace}, {&IID_IOleInPlaceObjectWindowless, inPlace},
                   {&IID_IViewObject, view}, {&IID_IViewObject2, view}, {&IID_IViewObjectEx, view},
                   {&IID_IPersist, persist}, {&IID_IPersistStreamInit, persist},
                   {&IID_IObjectWithSite, static_cast<IObjectWithSite*>(this)}});
}

// ---- IOleObject ----------------------------------------------------------------------------------

HRESULT TestControl::SetClientSite(IOleClientSite* site)
{
    Log(L"SetClientSite(%ls)", SiteName(site));
    m_clientSite = site;
    return S_OK;
}

HRESULT TestControl::GetClientSite(IOleClientSite** site)
{
    Log(L"GetClientSite");
    *site = m_clientSite.Get();
    if (*site != nullptr)
        (*site)->AddRef();
    return S_OK;
}

HRESULT TestControl::SetHostNames(LPCOLESTR app, LPCOLESTR)
{
    Log(L"SetHostNames(%ls)", app != nullptr ? app : L"");
    return S_OK;
}

HRESULT TestControl::Close(DWORD option)
{
    Log(L"Close(%lu)", option);
    return InPlaceDeactivate();
}

HRESULT TestControl::SetMoniker(DWORD, IMoniker*) { Log(L"SetMoniker"); return E_NOTIMPL; }
HRESULT TestControl::GetMoniker(DWORD, DWORD, IMoniker**) { Log(L"GetMoniker"); return E_NOTIMPL; }
HRESULT TestControl::InitFromData(IDataObject*, BOOL, DWORD) { Log(L"InitFromData"); return E_NOTIMPL; }
HRESULT TestControl::GetClipboardData(DWORD, IDataObject**) { Log(L"GetClipboardData"); return E_NOTIMPL; }

HRESULT TestControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT rect)
{
    Log(L"DoVerb(%ld, %ld,%ld,%ld,%ld)", verb, rect ? rect->left : -1, rect ? rect->top : -1, rect ? rect->right : -1,
        rect ? rect->bottom : -1);
    switch (verb) {
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_SHOW:
        return Activate(false);
    case OLEIVERB_UIACTIVATE:
        return Activate(true);
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT TestControl::EnumVerbs(IEnumOLEVERB**) { Log(L"EnumVerbs"); return E_NOTIMPL; }
HRESULT TestControl::Update() { Log(L"Update"); return S_OK; }
HRESULT TestControl::IsUpToDate() { Log(L"IsUpToDate"); return S_OK; }

HRESULT TestControl::GetUserClassID(CLSID* clsid)
{
    Log(L"GetUserClassID");
    *clsid = *m_variant.clsid;
    return S_OK;
}

HRESULT TestControl::GetUserType(DWORD, LPOLESTR*) { Log(L"GetUserType"); return E_NOTIMPL; }

HRESULT TestControl::SetExtent(DWORD aspect, SIZEL* size)
{
    Log(L"SetExtent(%lu, %ld,%ld)", aspect, size->cx, size->cy);
    m_extent = *size;
    return S_OK;
}

HRESULT TestControl::GetExtent(DWORD, SIZEL* size)
{
    Log(L"GetExtent");
    *size = m_extent;
    return S_OK;
}

HRESULT TestControl::Advise(IAdviseSink*, DWORD*) { Log(L"Advise"); return E_NOTIMPL; }
HRESULT TestControl::Unadvise(DWORD) { Log(L"Unadvise"); return E_NOTIMPL; }
HRESULT TestControl::EnumAdvise(IEnumSTATDATA**) { Log(L"EnumAdvise"); return E_NOTIMPL; }

HRESULT TestControl::GetMiscStatus(DWORD aspect, DWORD* status)
{
    Log(L"GetMiscStatus(%lu)", aspect);
    *status = m_variant.misc;
    return S_OK;
}

HRESULT TestControl::SetColorScheme(LOGPALETTE*) { Log(L"SetColorScheme"); return E_NOTIMPL; }

// In-place activation as controls do it: windowless when the variant can and the site agrees,
// then the window context, and a window of its own otherwise.
HRESULT TestControl::Activate(bool uiActivate)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceActive) {
        if (FAILED(m_clientSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(m_inPlaceSite.GetAddressOf()))))
            return E_NOINTERFACE;
        if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        ComPtr<IOleInPlaceSiteWindowless> windowless;
        m_windowlessActive = m_variant.windowless &&
                             SUCCEEDED(m_inPlaceSite->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                                                     reinterpret_cast<void**>(windowless.GetAddressOf()))) &&
                             windowless->CanWindowlessActivate() == S_OK;
        BOOL noRedraw = FALSE;
        const HRESULT hr = m_windowlessActive ? windowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS)
                                              : m_inPlaceSite->OnInPlaceActivate();
        if (FAILED(hr))
            return hr;
        m_inPlaceActive = true;
        HWND parent = nullptr;
        m_inPlaceSite->GetWindow(&parent);
        RECT pos = {}, clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof(info);
        m_inPlaceSite->GetWindowContext(m_frame.GetAddressOf(), m_doc.GetAddressOf(), &pos, &clip, &info);
        wchar_t parentClass[64] = {};
        ::GetClassNameW(parent, parentClass, 64);
        Log(L"active %ls in %ls at %ld,%ld,%ld,%ld clip %ld,%ld,%ld,%ld accelerators %u",
            m_windowlessActive ? L"windowless" : L"windowed", parentClass, pos.left, pos.top, pos.right, pos.bottom,
            clip.left, clip.top, clip.right, clip.bottom, info.cAccelEntries);
        if (!m_windowlessActive)
            m_window = CreateControlWindow(parent, pos);
    }
    if (uiActivate && !m_uiActive) {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
    }
    return S_OK;
}

// ---- IOleInPlaceObject(Windowless) -----------------------------------------------------------------

HRESULT TestControl::GetWindow(HWND* hWnd)
{
    Log(L"GetWindow");
    *hWnd = m_window;
    return m_window != nullptr ? S_OK : E_FAIL;
}

HRESULT TestControl::ContextSensitiveHelp(BOOL) { Log(L"ContextSensitiveHelp"); return E_NOTIMPL; }

HRESULT TestControl::InPlaceDeactivate()
{
    Log(L"InPlaceDeactivate");
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    if (m_window != nullptr)
        ::DestroyWindow(m_window);
    m_window = nullptr;
    m_frame = nullptr;
    m_doc = nullptr;
    ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
    ComPtr<IOleInPlaceSiteEx> siteEx;
    if (m_windowlessActive &&
        SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteEx, reinterpret_cast<void**>(siteEx.GetAddressOf()))))
        return siteEx->OnInPlaceDeactivateEx(TRUE);
    return site->OnInPlaceDeactivate();
}

HRESULT TestControl::UIDeactivate()
{
    Log(L"UIDeactivate");
    if (m_uiActive && m_inPlaceSite) {
        m_uiActive = false;
        m_inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT TestControl::SetObjectRects(LPCRECT pos, LPCRECT clip)
{
    Log(L"SetObjectRects(%ld,%ld,%ld,%ld clip %ld,%ld,%ld,%ld)", pos->left, pos->top, pos->right, pos->bottom,
        clip->left, clip->top, clip->right, clip->bottom);
    if (m_window != nullptr)
        ::MoveWindow(m_window, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

HRESULT TestControl::ReactivateAndUndo() { Log(L"ReactivateAndUndo"); return E_NOTIMPL; }

// A press takes the capture and the focus through the site, a release gives the capture back.
HRESULT TestControl::OnWindowMessage(UINT message, WPARAM, LPARAM, LRESULT* result)
{
    Log(L"OnWindowMessage(0x%04x)", message);
    *result = 0;
    ComPtr<IOleInPlaceSiteWindowless> site;
    if (m_inPlaceSite)
        m_inPlaceSite->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(site.GetAddressOf()));
    if (site && message == WM_LBUTTONDOWN) {
        site->SetCapture(TRUE);
        site->SetFocus(TRUE);
    } else if (site && message == WM_LBUTTONUP) {
        site->SetCapture(FALSE);
    }
    return S_OK;
}

HRESULT TestControl::GetDropTarget(IDropTarget**) { Log(L"GetDropTarget"); return E_NOTIMPL; }

// ---- IViewObjectEx -----------------------------------------------------------------------------------

HRESULT TestControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hDC, LPCRECTL bounds, LPCRECTL,
                          BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    Log(L"Draw(%lu, %ld,%ld,%ld,%ld)", aspect, bounds->left, bounds->top, bounds->right, bounds->bottom);
    RECT left = {bounds->left, bounds->top, (bounds->left + bounds->right) / 2, bounds->bottom};
    RECT right = {left.right, bounds->top, bounds->right, bounds->bottom};
    HBRUSH hit = ::CreateSolidBrush(kTestHitColor);
    HBRUSH miss = ::CreateSolidBrush(kTestMissColor);
    ::FillRect(hDC, &left, hit);
    ::FillRect(hDC, &right, miss);
    ::DeleteObject(hit);
    ::DeleteObject(miss);
    return S_OK;
}

HRESULT TestControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) { Log(L"GetColorSet"); return E_NOTIMPL; }
HRESULT TestControl::Freeze(DWORD, LONG, void*, DWORD*) { Log(L"Freeze"); return E_NOTIMPL; }
HRESULT TestControl::Unfreeze(DWORD) { Log(L"Unfreeze"); return E_NOTIMPL; }
HRESULT TestControl::SetAdvise(DWORD, DWORD, IAdviseSink*) { Log(L"SetAdvise"); return E_NOTIMPL; }
HRESULT TestControl::GetAdvise(DWORD*, DWORD*, IAdviseSink**) { Log(L"GetAdvise"); return E_NOTIMPL; }

HRESULT TestControl::GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    Log(L"GetViewExtent");
    *size = m_extent;
    return S_OK;
}

HRESULT TestControl::GetRect(DWORD, LPRECTL) { Log(L"GetRect"); return E_NOTIMPL; }

HRESULT TestControl::GetViewStatus(DWORD* status)
{
    Log(L"GetViewStatus");
    *status = VIEWSTATUS_OPAQUE;
    return S_OK;
}

HRESULT TestControl::QueryHitPoint(DWORD, LPCRECT bounds, POINT pt, LONG, DWORD* hit)
{
    Log(L"QueryHitPoint(%ld,%ld)", pt.x, pt.y);
    *hit = InLeftHalf(*bounds, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT TestControl::QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) { Log(L"QueryHitRect"); return E_NOTIMPL; }

HRESULT TestControl::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL)
{
    Log(L"GetNaturalExtent");
    return E_NOTIMPL;
}

// ---- IPersistStreamInit ---------------------------------------------------------------------------------

HRESULT TestControl::GetClassID(CLSID* clsid)
{
    Log(L"GetClassID");
    *clsid = *m_variant.clsid;
    return S_OK;
}

HRESULT TestControl::IsDirty() { Log(L"IsDirty"); return S_FALSE; }
HRESULT TestControl::Load(LPSTREAM) { Log(L"Load"); return E_NOTIMPL; }
HRESULT TestControl::Save(LPSTREAM, BOOL) { Log(L"Save"); return E_NOTIMPL; }
HRESULT TestControl::GetSizeMax(ULARGE_INTEGER*) { Log(L"GetSizeMax"); return E_NOTIMPL; }

HRESULT TestControl::InitNew()
{
    Log(L"InitNew");
    return S_OK;
}

// ---- IObjectWithSite ---------------------------------------------------------------------------------------

HRESULT TestControl::SetSite(IUnknown* site)
{
    Log(L"SetSite(%ls)", SiteName(site));
    m_site = site;
    return S_OK;
}

HRESULT TestControl::GetSite(REFIID riid, void** site)
{
    Log(L"GetSite");
    *site = nullptr;
    return m_site ? m_site->QueryInterface(riid, site) : E_FAIL;
}

} // namespace testax
