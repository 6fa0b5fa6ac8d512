#pragma once
// CHotKeyEditUI: an edit-looking field in which the user presses a key combination. While it is
// edited, a native hot-key control (CHotKeyEditWnd) lies over it and captures the keys; the field
// shows the combination as key names joined by " + " (Ctrl, Shift, Alt, then the key), or "无"
// when nothing is set, and reports every change with "hotkeychanged".
#include "uitoolkit/controls/EditUI.h"

namespace SkinUI {

class CHotKeyEditWnd;

class CHotKeyEditUI : public CEditUI {
public:
    CHotKeyEditUI() = default;
    // An open native window is detached and destroyed with the control.
    ~CHotKeyEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;

    // The combination: a virtual key and HOTKEYF_ modifiers (0, 0: none).
    WORD GetVirtualKey() const { return m_virtualKey; }
    WORD GetModifiers() const { return m_modifiers; }
    // Stores the combination and shows its key text.
    void SetHotKey(WORD virtualKey, WORD modifiers);
    // The HKM_SETRULES arguments handed to the native window when it opens.
    void SetRules(WORD invalidCombinations, WORD replacementModifiers);
    WORD GetInvalidCombinations() const { return m_invalidCombinations; }
    WORD GetReplacementModifiers() const { return m_replacementModifiers; }

    HWND GetNativeWindow() const override;

    // "Ctrl + Shift + A" style text of a combination, the names from the keyboard layout;
    // "无" when nothing is set.
    static CUIString FormatKeyText(WORD virtualKey, WORD modifiers);

    // Where the native window goes: the control less its text padding.
    RECT GetNativeRect() const override { return GetTextRect(); }

protected:
    void OpenNativeWindow() override;
    void OnNativeClosed() override { m_hotKeyWnd = nullptr; }

private:
    friend class CHotKeyEditWnd;
    // From the native window: the combination it holds now (low byte key, high byte modifiers).
    // On leaving, modifiers without a key count as nothing. Sends "hotkeychanged" last.
    void OnNativeHotKey(WORD hotKey, bool leaving);
    // The native window is shown while the control is visible and enabled.
    void ShowNativeWindow();

    CHotKeyEditWnd* m_hotKeyWnd = nullptr;
    WORD m_virtualKey = 0;
    WORD m_modifiers = 0;
    WORD m_invalidCombinations = 0;
    WORD m_replacementModifiers = 0;
};

} // namespace SkinUI
