#include "uitoolkit/core/ActiveXWnd.h"

#include "uitoolkit/core/ActiveXCtrl.h"
#include "uitoolkit/core/ActiveXUI.h"

namespace SkinUI {

HWND CActiveXWnd::Init(HWND parent)
{
    return Create(parent, L"UIActiveX", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, 0);
}

void CActiveXWnd::OnWindowDestroyed(HWND) {}

bool CActiveXWnd::DoVerb(LONG verb)
{
    CActiveXUI* owner = m_site->GetOwner();
    ComPtr<IOleObject> object(owner != nullptr ? owner->GetOleObject() : nullptr);
    if (!object)
        return true;
    // The object may deactivate (the site then deletes this window object) or drop its owner.
    CActiveXCtrl* site = m_site;
    ComPtr<CActiveXCtrl> keepSite(site);
    ComPtr<IOleClientSite> clientSite;
    site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(clientSite.GetAddressOf()));
    RECT rc = owner->GetObjectRect();
    object->DoVerb(verb, nullptr, clientSite.Get(), 0, m_hWnd, &rc);
    return site->GetActiveXWindow() == this;
}

LRESULT CActiveXWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        m_site->SetFocused(true);
        if (!m_site->IsUIActivated() && !DoVerb(OLEIVERB_UIACTIVATE))
            return 0;
        break;
    case WM_KILLFOCUS:
        m_site->SetFocused(false);
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps = {};
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        if (m_site->GetViewObject() != nullptr)
            return 1;
        break;
    case WM_MOUSEACTIVATE: {
        CActiveXUI* owner = m_site->GetOwner();
        IOleObject* object = owner != nullptr ? owner->GetOleObject() : nullptr;
        DWORD misc = 0;
        if (object == nullptr || FAILED(object->GetMiscStatus(DVASPECT_CONTENT, &misc)) ||
            (misc & OLEMISC_NOUIACTIVATE) != 0)
            return 0;
        if (!m_site->IsInPlaceActive() && !DoVerb(OLEIVERB_INPLACEACTIVATE))
            return 0;
        break;
    }
    default:
        break;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

} // namespace SkinUI
