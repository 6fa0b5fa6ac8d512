#include "uitoolkit/controls/custom/ShadowWindowWnd.h"

#include "uitoolkit/core/HostResources.h"

namespace SkinUI {

bool CShadowWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = CHostResources::GetInstanceHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClass();
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CShadowWindowWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int /*x*/,
                              int /*y*/, int /*width*/, int /*height*/, HMENU /*menu*/)
{
    const bool registered = GetSuperclassBase() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    HWND hWnd = ::CreateWindowExW(exStyle, GetWindowClass(), title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                  CHostResources::GetInstanceHandle(), this);
    if (hWnd == nullptr)
        return nullptr;
    m_hWnd = hWnd;
    ::SetFocus(hWnd);
    return hWnd;
}

void CShadowWindowWnd::OnShadowActivate() { ::SetFocus(m_hWnd); }

LRESULT CALLBACK CShadowWindowWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CShadowWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        // 1. Bind the object of the creation parameter.
        self = static_cast<CShadowWindowWnd*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->m_hWnd = hWnd;
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<CShadowWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        // 2. Let go of the window: the saved procedure first, then unbind, then tell the object.
        if (message == WM_NCDESTROY) {
            if (self == nullptr)
                return ::DefWindowProcW(hWnd, message, wParam, lParam);
            const LRESULT result = ::CallWindowProcW(self->m_oldWndProc, hWnd, message, wParam, lParam);
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_oldWndProc));
            self->m_hWnd = nullptr;
            self->OnWindowDestroyed(hWnd);  // may delete the object
            return result;
        }
        // 3. The countdown timer: killed once no further tick is due (a countdown of 0 included).
        if (message == WM_TIMER && wParam == kCountdownTimer && self != nullptr) {
            if (self->m_countdown <= 1) {
                self->m_countdown = 0;
                ::KillTimer(hWnd, kCountdownTimer);
            } else {
                --self->m_countdown;
            }
        }
    }
    // 4. Everything else to the object while it has a window.
    if (self != nullptr && ::IsWindow(hWnd))
        return self->ProcessMessage(message, wParam, lParam);
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

} // namespace SkinUI
