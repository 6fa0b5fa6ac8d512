#include "uitoolkit/controls/custom/HotKeyEditUI.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "uitoolkit/controls/custom/HotKeyEditWnd.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// Shown when no combination is set ("无", none).
const wchar_t kNoKey[] = L"\u65E0";

// Key names longer than this are cut: the buffer doubles only up to here.
constexpr int kMaxKeyName = 4096;

// The modifier keys, in the order their names lead the text.
const struct {
    WORD flag;
    UINT virtualKey;
} kModifierKeys[] = {
    {HOTKEYF_CONTROL, VK_CONTROL},
    {HOTKEYF_SHIFT, VK_SHIFT},
    {HOTKEYF_ALT, VK_MENU},
};

// The layout's name of a key, from its scan code (extended keys flagged).
std::wstring KeyName(UINT virtualKey, bool extended)
{
    const LONG keyData = static_cast<LONG>((::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) << 16) |
                                           (extended ? 1u << 24 : 0u));
    std::wstring name;
    for (int size = 128;; size *= 2) {
        name.assign(static_cast<size_t>(size), L'\0');
        const int length = ::GetKeyNameTextW(keyData, name.data(), size);
        // A name that fills the buffer may have been cut: try again with twice the room.
        if (length < size - 1 || size >= kMaxKeyName) {
            name.resize(static_cast<size_t>(length > 0 ? length : 0));
            return name;
        }
    }
}

} // namespace

CHotKeyEditUI::~CHotKeyEditUI()
{
    // The native window must not reach a dead owner: it is detached and goes with the control.
    if (CHotKeyEditWnd* wnd = m_hotKeyWnd) {
        m_hotKeyWnd = nullptr;
        wnd->Detach();
        wnd->Destroy();
    }
}

const wchar_t* CHotKeyEditUI::GetClass() const { return L"HotKeyEditUI"; }

void* CHotKeyEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"HotKeyEdit") == 0)
        return this;
    return CEditUI::GetInterface(name);
}

HWND CHotKeyEditUI::GetNativeWindow() const { return m_hotKeyWnd != nullptr ? m_hotKeyWnd->GetHWND() : nullptr; }

void CHotKeyEditUI::OpenNativeWindow()
{
    if (m_hotKeyWnd != nullptr)
        return;
    auto* wnd = new CHotKeyEditWnd();
    if (wnd->Init(this))
        m_hotKeyWnd = wnd;
}

void CHotKeyEditUI::HandleEvent(ControlEvent& event)
{
    // The window stays open after the field lost the focus: focusing the field again hands the
    // keyboard back to it.
    if (event.type == kEventSetFocus && IsEnabled() && m_hotKeyWnd != nullptr)
        ::SetFocus(m_hotKeyWnd->GetHWND());
    CEditUI::HandleEvent(event);
}

void CHotKeyEditUI::ShowNativeWindow()
{
    if (m_hotKeyWnd != nullptr)
        ::ShowWindow(m_hotKeyWnd->GetHWND(), IsVisible() && IsEnabled() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CHotKeyEditUI::SetVisible(bool visible)
{
    if (Survives([&] { CEditUI::SetVisible(visible); }))
        ShowNativeWindow();
}

void CHotKeyEditUI::SetInheritedVisible(bool visible)
{
    if (Survives([&] { CEditUI::SetInheritedVisible(visible); }))
        ShowNativeWindow();
}

void CHotKeyEditUI::SetEnabled(bool enabled)
{
    CEditUI::SetEnabled(enabled);
    ShowNativeWindow();
}

void CHotKeyEditUI::SetHotKey(WORD virtualKey, WORD modifiers)
{
    m_virtualKey = virtualKey;
    m_modifiers = modifiers;
    if (m_hotKeyWnd != nullptr)
        ::SendMessageW(m_hotKeyWnd->GetHWND(), HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
    SetText(FormatKeyText(virtualKey, modifiers));
}

void CHotKeyEditUI::SetRules(WORD invalidCombinations, WORD replacementModifiers)
{
    m_invalidCombinations = invalidCombinations;
    m_replacementModifiers = replacementModifiers;
    if (m_hotKeyWnd != nullptr)
        ::SendMessageW(m_hotKeyWnd->GetHWND(), HKM_SETRULES, invalidCombinations,
                       MAKELPARAM(replacementModifiers, 0));
}

void CHotKeyEditUI::OnNativeHotKey(WORD hotKey, bool leaving)
{
    m_virtualKey = LOBYTE(hotKey);
    m_modifiers = HIBYTE(hotKey);
    if (leaving && m_virtualKey == 0)
        m_modifiers = 0;  // Ctrl alone is no combination
    SetText(FormatKeyText(m_virtualKey, m_modifiers));
    if (m_host != nullptr)
        m_host->SendNotify(this, L"hotkeychanged");
}

CUIString CHotKeyEditUI::FormatKeyText(WORD virtualKey, WORD modifiers)
{
    if (virtualKey == 0 && modifiers == 0)
        return kNoKey;
    std::wstring text;
    for (const auto& modifier : kModifierKeys) {
        if ((modifiers & modifier.flag) != 0)
            text += KeyName(modifier.virtualKey, false) + L" + ";
    }
    text += KeyName(virtualKey, (modifiers & HOTKEYF_EXT) != 0);
    return text.empty() ? CUIString(kNoKey) : CUIString(text.c_str());
}

} // namespace SkinUI
