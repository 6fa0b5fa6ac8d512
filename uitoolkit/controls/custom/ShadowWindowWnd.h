#pragma once
// CShadowWindowWnd: the native window of the program's skinned dialogs. Unlike the window base it
// registers its class with its own window procedure and keeps the object in the window's user
// data; the object is bound at WM_NCCREATE and let go at WM_NCDESTROY, before OnWindowDestroyed
// (which may delete it). Create takes no position or size: the skin places the window later.
// It also runs down the 0xA010 timer: after `countdown` further ticks the timer is killed.
#include <windows.h>

#include "uitoolkit/controls/custom/ShadowWindow.h"
#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CShadowWindowWnd : public CWindowWnd, public CShadowWindow::CShadowWindowDelegate {
public:
    static constexpr UINT_PTR kCountdownTimer = 0xA010;

    CShadowWindowWnd() = default;

    // Registers the class (a superclass when GetSuperclassBase names one), creates the window
    // at the system's default place and size, focuses it and returns it; null on failure.
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
                HMENU menu = nullptr);
    void OnShadowActivate() override;

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The own class with this class's procedure; an existing class counts as registered.
    bool RegisterWindowClass();

    UINT m_countdown = 0;  // further ticks of the 0xA010 timer before it is killed
};

} // namespace SkinUI
