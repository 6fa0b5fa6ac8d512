#include "uitoolkit/controls/EditWnd.h"

#include <string>

#include "uitoolkit/controls/IEditWndOwner.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

bool CEditWnd::Init(IEditWndOwner* owner) { return Open(owner); }

IEditWndOwner* CEditWnd::EditOwner() const { return static_cast<IEditWndOwner*>(Owner()); }

RECT CEditWnd::FitToFontHeight(RECT rc, int fontHeight)
{
    if (fontHeight < rc.bottom - rc.top) {
        rc.top += (rc.bottom - rc.top - fontHeight) / 2;
        rc.bottom = rc.top + fontHeight;
    }
    return rc;
}

void CEditWnd::CreateAndSetUp(CWindowHostUI& host)
{
    IEditWndOwner* owner = EditOwner();
    CLabelUI& label = owner->GetFieldLabel();
    // 1. A child of the host's window over the edit rectangle, with password characters in
    // password mode.
    const DWORD style = WS_CHILD | ES_AUTOHSCROLL | (owner->IsPasswordMode() ? ES_PASSWORD : 0);
    if (CreateWithRect(host.GetPaintWindow(), nullptr, style, 0, owner->GetEditRect()) == nullptr)
        return;
    // 2. Font, limit, password character, text, margins, enabled and read-only state.
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(host.GetFont(label.GetFont())), TRUE);
    SendMessage(EM_LIMITTEXT, owner->GetMaxChar());
    if (owner->IsPasswordMode())
        SendMessage(EM_SETPASSWORDCHAR, owner->GetPasswordChar());
    ::SetWindowTextW(m_hWnd, label.GetText());
    SendMessage(EM_SETMODIFY, FALSE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::EnableWindow(m_hWnd, label.IsEnabled());
    SendMessage(EM_SETREADONLY, owner->IsReadOnly());
    // 3. Shown without activating the window, and focused.
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
}

LRESULT CEditWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    IEditWndOwner* owner = EditOwner();
    CWindowHostUI* host = owner != nullptr ? owner->GetFieldLabel().GetManager() : nullptr;
    switch (message) {
    case WM_KILLFOCUS: {
        const LRESULT result = CNativeFieldWnd::ProcessMessage(message, wParam, lParam);
        PostMessage(WM_CLOSE);
        return result;
    }
    case WM_CLOSE:
        // The close that a lost keyboard posted is void once the field has the keyboard again
        // (its window got it back and handed it on before the close arrived).
        if (::GetFocus() == m_hWnd)
            return 0;
        break;
    case WM_COMMAND + kReflectOffset:
        if (HIWORD(wParam) == EN_CHANGE)
            return OnTextChanged();
        break;
    case WM_CHAR:
        if (wParam == VK_TAB) {
            if (host != nullptr)
                host->MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
            return 0;
        }
        if (wParam == VK_RETURN)
            return 0;
        break;
    default:
        break;
    }
    return CNativeFieldWnd::ProcessMessage(message, wParam, lParam);
}

LRESULT CEditWnd::OnTextChanged()
{
    if (!IsInitialised() || EditOwner() == nullptr)
        return 0;
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    const int length = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    EditOwner()->OnNativeTextChanged(text.c_str());  // last: the call-out rule
    return 0;
}

} // namespace SkinUI
