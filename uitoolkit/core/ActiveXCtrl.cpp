#include "uitoolkit/core/ActiveXCtrl.h"

#include <new>

#include "uitoolkit/core/ActiveXEnum.h"
#include "uitoolkit/core/ActiveXFrameWnd.h"
#include "uitoolkit/core/ActiveXUI.h"
#include "uitoolkit/core/ActiveXWnd.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner) : m_owner(owner) {}

CActiveXCtrl::~CActiveXCtrl()
{
    UnlockRunning();
    DestroyActiveXWindow();
}

void CActiveXCtrl::ClearOwner()
{
    UnlockRunning();
    m_owner = nullptr;
    m_viewObject = nullptr;
    m_inPlaceObject = nullptr;
    m_inPlaceActive = false;
    DestroyActiveXWindow();
}

void CActiveXCtrl::UnlockRunning()
{
    if (ComPtr<IOleObject> object = std::move(m_runningLock))
        ::OleLockRunning(object.Get(), FALSE, FALSE);
}

HRESULT CActiveXCtrl::DrawView(HDC hDC)
{
    if (m_owner == nullptr || !m_viewObject)
        return E_UNEXPECTED;
    RECTL bounds = {m_owner->GetPos().left, m_owner->GetPos().top, m_owner->GetPos().right, m_owner->GetPos().bottom};
    return m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hDC, &bounds, nullptr, nullptr, 0);
}

HRESULT CActiveXCtrl::CreateActiveXWindow()
{
    if (m_window)
        return S_OK;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    m_window.reset(new (std::nothrow) CActiveXWnd(this));
    if (!m_window)
        return E_OUTOFMEMORY;
    HWND hWnd = m_window->Init(m_owner->GetPaintWindow());
    if (hWnd == nullptr) {
        m_window.reset();
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    m_owner->SetHostWindow(hWnd);
    return S_OK;
}

void CActiveXCtrl::DestroyActiveXWindow()
{
    std::unique_ptr<CActiveXWnd> window = std::move(m_window);
    if (!window)
        return;
    if (m_owner != nullptr && m_owner->GetHostWindow() == window->GetHWND())
        m_owner->SetHostWindow(nullptr);
    window->Destroy();
}

HRESULT CActiveXCtrl::QueryInterface(REFIID riid, void** out)
{
    IOleClientSite* client = this;
    IOleInPlaceSiteWindowless* inPlace = this;
    return Answer(riid, out,
                  {{&IID_IUnknown, client}, {&IID_IOleClientSite, client}, {&IID_IOleInPlaceSiteWindowless, inPlace},
                   {&IID_IOleInPlaceSiteEx, inPlace}, {&IID_IOleInPlaceSite, inPlace}, {&IID_IOleWindow, inPlace},
                   {&IID_IOleControlSite, static_cast<IOleControlSite*>(this)},
                   {&IID_IOleContainer, static_cast<IOleContainer*>(this)},
                   {&IID_IObjectWithSite, static_cast<IObjectWithSite*>(this)}});
}

// ---- IOleClientSite ----------------------------------------------------------------------------

// The container of whoever sited this site, else the site itself.
HRESULT CActiveXCtrl::GetContainer(IOleContainer** container)
{
    if (container == nullptr)
        return E_POINTER;
    *container = nullptr;
    if (m_siteUnknown &&
        SUCCEEDED(m_siteUnknown->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container))))
        return S_OK;
    return QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
}

HRESULT CActiveXCtrl::ShowObject()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    CWindowDC dc(m_owner->GetHostWindow());
    if (!dc)
        return E_FAIL;
    DrawView(dc.Get());
    return S_OK;
}

HRESULT CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }

// ---- IOleWindow / IOleInPlaceSite ----------------------------------------------------------------

HRESULT CActiveXCtrl::GetWindow(HWND* hWnd)
{
    if (hWnd == nullptr)
        return E_POINTER;
    *hWnd = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_owner->GetHostWindow() == nullptr)
        CreateActiveXWindow();
    *hWnd = m_owner->GetHostWindow();
    return *hWnd != nullptr ? S_OK : E_FAIL;
}

HRESULT CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

HRESULT CActiveXCtrl::OnUIActivate()
{
    m_uiActivated = true;
    return S_OK;
}

// Position and clip are the control's rectangle in the object's window (out values the object
// sizes its window from); the accelerator table is made once per site.
HRESULT CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                       LPOLEINPLACEFRAMEINFO info)
{
    if (frame == nullptr || doc == nullptr || pos == nullptr || clip == nullptr || info == nullptr)
        return E_POINTER;
    *frame = nullptr;
    *doc = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (!m_accelerators) {
        ACCEL empty = {};
        m_accelerators.reset(::CreateAcceleratorTableW(&empty, 1));
    }
    *frame = new (std::nothrow) CActiveXFrameWnd(this);
    if (*frame == nullptr)
        return E_OUTOFMEMORY;
    FillWindowContext(pos, clip, info, m_owner->GetObjectRect(), m_owner->GetPaintWindow(), m_accelerators.get(), 1);
    return S_OK;
}

HRESULT CActiveXCtrl::OnUIDeactivate(BOOL)
{
    m_uiActivated = false;
    return S_OK;
}

HRESULT CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }

// ---- IOleInPlaceSiteEx -------------------------------------------------------------------------

// 1. The object is kept running while active.
// 2. Windowless: it draws in the window host's window and takes its messages through the owner.
// 3. Otherwise (or when it has no windowless interface): in the site's own child window.
// 4. It learns its rectangle.
HRESULT CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags)
{
    IOleObject* object = m_owner != nullptr ? m_owner->GetOleObject() : nullptr;
    if (object == nullptr)
        return E_UNEXPECTED;
    if (!m_runningLock && SUCCEEDED(::OleLockRunning(object, TRUE, FALSE)))
        m_runningLock = object;

    HRESULT hr = E_FAIL;
    m_inPlaceObject = nullptr;
    if ((flags & ACTIVATE_WINDOWLESS) != 0) {
        m_windowless = true;
        ComPtr<IOleInPlaceObjectWindowless> windowless;
        hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(windowless.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            m_inPlaceObject = windowless;
            m_owner->SetHostWindow(m_owner->GetPaintWindow());
            if (CWindowHostUI* host = m_owner->GetManager()) {
                host->RemoveMessageFilter(m_owner);  // once, also when activated again
                host->AddMessageFilter(m_owner);
            }
        }
    }
    if (!m_inPlaceObject) {
        m_windowless = false;
        hr = CreateActiveXWindow();
        if (FAILED(hr))
            return hr;
        hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(m_inPlaceObject.GetAddressOf()));
    }
    if (m_inPlaceObject) {
        const RECT rc = m_owner->GetObjectRect();
        m_inPlaceObject->SetObjectRects(&rc, &rc);
    }
    m_inPlaceActive = SUCCEEDED(hr);
    return hr;
}

HRESULT CActiveXCtrl::OnInPlaceDeactivateEx(BOOL)
{
    UnlockRunning();
    m_inPlaceActive = false;
    m_inPlaceObject = nullptr;
    DestroyActiveXWindow();
    return S_OK;
}

HRESULT CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceSiteWindowless -------------------------------------------------------------------

HRESULT CActiveXCtrl::CanWindowlessActivate() { return S_OK; }
HRESULT CActiveXCtrl::GetCapture() { return m_captured ? S_OK : S_FALSE; }

HRESULT CActiveXCtrl::SetCapture(BOOL capture)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    m_captured = capture == TRUE;
    if (m_captured)
        ::SetCapture(m_owner->GetHostWindow());
    else
        ::ReleaseCapture();
    return S_OK;
}

HRESULT CActiveXCtrl::GetFocus() { return m_focused ? S_OK : S_FALSE; }

// Focusing the owner runs the window host's focus notifications, which may delete the owner.
HRESULT CActiveXCtrl::SetFocus(BOOL focus)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    ComPtr<CActiveXCtrl> keep(this);
    if (focus)
        m_owner->SetFocus();
    m_focused = focus == TRUE;
    return S_OK;
}

HRESULT CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* hDC)
{
    if (hDC == nullptr)
        return E_POINTER;
    *hDC = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    *hDC = ::GetDC(m_owner->GetHostWindow());
    if (*hDC == nullptr)
        return E_FAIL;
    if ((flags & OLEDC_PAINTBKGND) != 0) {
        const RECT rc = m_owner->GetObjectRect();
        ::FillRect(*hDC, &rc, ::GetSysColorBrush(COLOR_WINDOW));
    }
    return S_OK;
}

HRESULT CActiveXCtrl::ReleaseDC(HDC hDC)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    ::ReleaseDC(m_owner->GetHostWindow(), hDC);
    return S_OK;
}

HRESULT CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_owner->GetHostWindow() == nullptr)
        return E_FAIL;
    return ::InvalidateRect(m_owner->GetHostWindow(), rect, erase) ? S_OK : E_FAIL;
}

HRESULT CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return ::InvalidateRgn(m_owner->GetHostWindow(), region, erase) ? S_OK : E_FAIL;
}

HRESULT CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
HRESULT CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

HRESULT CActiveXCtrl::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    const LRESULT answer = ::DefWindowProcW(m_owner->GetHostWindow(), message, wParam, lParam);
    if (result != nullptr)
        *result = answer;
    return S_OK;
}

// ---- IOleControlSite -----------------------------------------------------------------------------

HRESULT CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
HRESULT CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

HRESULT CActiveXCtrl::GetExtendedControl(IDispatch** control)
{
    if (control == nullptr)
        return E_POINTER;
    *control = nullptr;
    IOleObject* object = m_owner != nullptr ? m_owner->GetOleObject() : nullptr;
    if (object == nullptr)
        return E_UNEXPECTED;
    return object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control));
}

HRESULT CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
HRESULT CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

HRESULT CActiveXCtrl::OnFocus(BOOL gotFocus)
{
    m_focused = gotFocus == TRUE;
    return S_OK;
}

HRESULT CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IObjectWithSite -------------------------------------------------------------------------------

HRESULT CActiveXCtrl::SetSite(IUnknown* site)
{
    m_siteUnknown = site;
    return S_OK;
}

HRESULT CActiveXCtrl::GetSite(REFIID riid, void** site)
{
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    if (!m_siteUnknown)
        return E_FAIL;
    return m_siteUnknown->QueryInterface(riid, site);
}

// ---- IOleContainer ---------------------------------------------------------------------------------

HRESULT CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) { return E_NOTIMPL; }

HRESULT CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** objects)
{
    if (objects == nullptr)
        return E_POINTER;
    *objects = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    *objects = new (std::nothrow) CActiveXEnum(m_owner->GetOleObject());
    return *objects != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CActiveXCtrl::LockContainer(BOOL lock)
{
    m_locked = lock != FALSE;
    return S_OK;
}

} // namespace SkinUI
