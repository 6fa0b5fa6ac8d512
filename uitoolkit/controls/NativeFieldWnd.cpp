#include "uitoolkit/controls/NativeFieldWnd.h"

#include "uitoolkit/controls/INativeFieldOwner.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

bool CNativeFieldWnd::Open(INativeFieldOwner* owner)
{
    m_owner = owner;
    m_opening = true;
    if (CWindowHostUI* host = owner->GetFieldLabel().GetManager())
        CreateAndSetUp(*host);
    m_opening = false;
    if (m_hWnd == nullptr) {
        delete this;
        return false;
    }
    m_initialised = true;
    return true;
}

LRESULT CNativeFieldWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN: {
        CWindowHostUI* host = m_owner != nullptr ? m_owner->GetFieldLabel().GetManager() : nullptr;
        if (wParam != VK_RETURN || host == nullptr)
            break;
        host->SendNotify(&m_owner->GetFieldLabel(), L"return");  // last: the call-out rule
        return 0;
    }
    case WM_COMMAND + kReflectOffset:
        if (HIWORD(wParam) == EN_UPDATE)
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_CTLCOLOREDIT + kReflectOffset:
    case WM_CTLCOLORSTATIC + kReflectOffset:
        return OnReflectedColor(reinterpret_cast<HDC>(wParam));
    default:
        break;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

LRESULT CNativeFieldWnd::OnReflectedColor(HDC hDC)
{
    if (m_owner == nullptr || m_owner->GetNativeBkColor() == 0xFFFFFFFF)
        return 0;  // the system colours
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ArgbToColorRef(m_owner->GetFieldLabel().GetTextColor()));
    if (!m_bkBrush)
        m_bkBrush.Reset(::CreateSolidBrush(ArgbToColorRef(m_owner->GetNativeBkColor())));
    return reinterpret_cast<LRESULT>(m_bkBrush.Get());
}

void CNativeFieldWnd::OnWindowDestroyed(HWND hWnd)
{
    CWindowWnd::OnWindowDestroyed(hWnd);
    INativeFieldOwner* owner = m_owner;
    m_owner = nullptr;
    m_bkBrush.Reset();
    // Nothing of this object is touched after the owner is told: its listener may do anything.
    if (!m_opening)
        delete this;
    if (owner != nullptr)
        owner->OnNativeClosed();
}

} // namespace SkinUI
