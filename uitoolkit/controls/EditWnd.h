#pragma once
// CEditWnd: the native single-line edit that a CEditUI lays over itself while it has the focus,
// a superclass of the system's "Edit" named "EditWnd" (the superclass keeps the system class's
// window extra bytes). It lives from focus gain to focus loss: losing the focus posts WM_CLOSE,
// and its final message deletes it. Its owner can detach it first (when the control dies), after
// which it forwards nothing.
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CEditUI;

class CEditWnd : public CWindowWnd {
public:
    CEditWnd() = default;

    // Creates the window over the owner's edit rectangle, configured from the owner, shown and
    // focused. False when no window could be made (the object then deletes itself).
    bool Init(CEditUI* owner);
    // The owner is going away: nothing is forwarded to it any more.
    void Detach() { m_owner = nullptr; }

    const wchar_t* GetWindowClass() const override { return L"EditWnd"; }
    const wchar_t* GetSuperclassBase() const override { return L"Edit"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hWnd) override;

private:
    ~CEditWnd() override = default;  // only its final message deletes it
    LRESULT OnReflectedCommand(WPARAM wParam);
    LRESULT OnReflectedColor(HDC hDC);

    CEditUI* m_owner = nullptr;
    CGdiBrush m_bkBrush;
    bool m_initialised = false;
    bool m_inInit = false;
};

} // namespace SkinUI
