#include "uitoolkit/controls/EditWnd.h"

#include <string>

#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// The window host reflects child notifications back to the child as the message plus this.
constexpr UINT kReflectOffset = 0x2000;

} // namespace

bool CEditWnd::Init(CEditUI* owner)
{
    // While Init runs, a window destroyed under it leaves the object to Init to delete.
    m_inInit = true;
    // 1. The owner and where the edit goes.
    m_owner = owner;
    CWindowHostUI* host = owner->GetManager();
    const RECT rc = owner->GetEditRect();
    // 2. A child of the host's window, with password characters in password mode.
    const DWORD style = WS_CHILD | ES_AUTOHSCROLL | (owner->IsPasswordMode() ? ES_PASSWORD : 0);
    if (host != nullptr && CreateWithRect(host->GetPaintWindow(), nullptr, style, 0, rc) != nullptr) {
        // 3.-8. Font, limit, password character, text, margins, enabled and read-only state.
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(host->GetFont(owner->GetFont())), TRUE);
        SendMessage(EM_LIMITTEXT, owner->GetMaxChar());
        if (owner->IsPasswordMode())
            SendMessage(EM_SETPASSWORDCHAR, owner->GetPasswordChar());
        ::SetWindowTextW(m_hWnd, owner->GetText());
        SendMessage(EM_SETMODIFY, FALSE);
        SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        ::EnableWindow(m_hWnd, owner->IsEnabled());
        SendMessage(EM_SETREADONLY, owner->IsReadOnly());
        // 9. Shown without activating the window, and focused.
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        ::SetFocus(m_hWnd);
    }
    m_inInit = false;
    if (m_hWnd == nullptr) {
        delete this;
        return false;
    }
    m_initialised = true;
    return true;
}

LRESULT CEditWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KILLFOCUS: {
        const LRESULT result = CWindowWnd::ProcessMessage(message, wParam, lParam);
        PostMessage(WM_CLOSE);
        return result;
    }
    case WM_COMMAND + kReflectOffset:
        return OnReflectedCommand(wParam);
    case WM_CTLCOLOREDIT + kReflectOffset:
    case WM_CTLCOLORSTATIC + kReflectOffset:
        return OnReflectedColor(reinterpret_cast<HDC>(wParam));
    case WM_KEYDOWN:
        if (wParam != VK_RETURN)
            break;
        if (m_owner != nullptr && m_owner->GetManager() != nullptr)
            m_owner->GetManager()->SendNotify(m_owner, L"return");  // last: may close the window
        return 0;
    case WM_CHAR:
        if (wParam == VK_TAB) {
            if (m_owner != nullptr && m_owner->GetManager() != nullptr)
                m_owner->GetManager()->MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
            return 0;
        }
        if (wParam == VK_RETURN)
            return 0;
        break;
    default:
        break;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

LRESULT CEditWnd::OnReflectedCommand(WPARAM wParam)
{
    switch (HIWORD(wParam)) {
    case EN_CHANGE: {
        if (!m_initialised || m_owner == nullptr)
            return 0;
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
        const int length = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        m_owner->OnNativeTextChanged(text.c_str());  // last: a listener may close the window
        return 0;
    }
    case EN_UPDATE:
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    default:
        return 0;
    }
}

LRESULT CEditWnd::OnReflectedColor(HDC hDC)
{
    if (m_owner == nullptr || m_owner->GetNativeBkColor() == 0xFFFFFFFF)
        return 0;
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ArgbToColorRef(m_owner->GetTextColor()));
    if (!m_bkBrush)
        m_bkBrush.Reset(::CreateSolidBrush(ArgbToColorRef(m_owner->GetNativeBkColor())));
    return reinterpret_cast<LRESULT>(m_bkBrush.Get());
}

void CEditWnd::OnWindowDestroyed(HWND hWnd)
{
    CWindowWnd::OnWindowDestroyed(hWnd);
    if (m_owner != nullptr)
        m_owner->OnNativeClosed();
    m_owner = nullptr;
    m_bkBrush.Reset();
    if (!m_inInit)
        delete this;
}

} // namespace SkinUI
