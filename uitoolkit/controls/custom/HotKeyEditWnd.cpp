#include "uitoolkit/controls/custom/HotKeyEditWnd.h"

#include <commctrl.h>

#include "uitoolkit/controls/custom/HotKeyEditUI.h"
#include "uitoolkit/core/CommonControls.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// WS_CHILD plus the low style bit the field's native windows are made with.
constexpr DWORD kHotKeyStyle = WS_CHILD | 0x80;

} // namespace

bool CHotKeyEditWnd::Init(CHotKeyEditUI* owner)
{
    // The common controls register "msctls_hotkey32" on request.
    CCommonControls::Init(ICC_HOTKEY_CLASS);
    m_hotKeyOwner = owner;
    return Open(owner);
}

CHotKeyEditUI* CHotKeyEditWnd::HotKeyOwner() const
{
    // Null once the owner has detached.
    return Owner() != nullptr ? m_hotKeyOwner : nullptr;
}

void CHotKeyEditWnd::CreateAndSetUp(CWindowHostUI& host)
{
    CHotKeyEditUI* owner = HotKeyOwner();
    // 1. A child of the host's window over the control less its text padding.
    if (CreateWithRect(host.GetPaintWindow(), nullptr, kHotKeyStyle, 0, owner->GetNativeRect()) == nullptr)
        return;
    // 2. The control's font.
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(host.GetFont(owner->GetFont())), TRUE);
    // 3. Rules for invalid combinations, then the combination itself.
    SendMessage(HKM_SETRULES, owner->GetInvalidCombinations(), MAKELPARAM(owner->GetReplacementModifiers(), 0));
    SendMessage(HKM_SETHOTKEY, MAKEWORD(owner->GetVirtualKey(), owner->GetModifiers()));
    // 4. Shown without activating the window, and focused.
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
}

LRESULT CHotKeyEditWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CHotKeyEditUI* owner = HotKeyOwner();
    switch (message) {
    case WM_KILLFOCUS: {
        // The window stays open; the owner takes the final combination.
        const LRESULT result = CNativeFieldWnd::ProcessMessage(message, wParam, lParam);
        if (owner != nullptr)
            owner->OnNativeHotKey(static_cast<WORD>(SendMessage(HKM_GETHOTKEY)), true);  // last
        return result;
    }
    case WM_COMMAND + kReflectOffset:
        if (HIWORD(wParam) != EN_CHANGE)
            break;
        if (IsInitialised() && owner != nullptr)
            owner->OnNativeHotKey(static_cast<WORD>(SendMessage(HKM_GETHOTKEY)), false);  // last
        return 0;
    default:
        break;
    }
    return CNativeFieldWnd::ProcessMessage(message, wParam, lParam);
}

} // namespace SkinUI
