#pragma once
// CHotKeyEditWnd: the native hot-key control that a CHotKeyEditUI lays over itself, a superclass
// of the common controls' "msctls_hotkey32" named "HotKeyEditWnd". It takes the combination from
// its owner, reports every change and, when it loses the focus, the final combination. It stays
// open after losing the focus; it goes with its parent window, or with its owner.
#include "uitoolkit/controls/NativeFieldWnd.h"

namespace SkinUI {

class CHotKeyEditUI;

class CHotKeyEditWnd : public CNativeFieldWnd {
public:
    CHotKeyEditWnd() = default;

    // Creates the window over the owner, with its font, rules and combination, shown and
    // focused. False when no window could be made (the object then deletes itself).
    bool Init(CHotKeyEditUI* owner);

    const wchar_t* GetWindowClass() const override { return L"HotKeyEditWnd"; }
    const wchar_t* GetSuperclassBase() const override { return L"msctls_hotkey32"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    ~CHotKeyEditWnd() override = default;  // only its final message deletes it
    void CreateAndSetUp(CWindowHostUI& host) override;

private:
    // The owner while it is attached.
    CHotKeyEditUI* HotKeyOwner() const;

    CHotKeyEditUI* m_hotKeyOwner = nullptr;
};

} // namespace SkinUI
