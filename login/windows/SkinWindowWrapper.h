#pragma once
// CSkinWindowWrapper: the base of the program's skinned dialogs. A shadow window joined to a
// window host whose control tree is built from a skin (a resource or a file) when the window is
// created; the skin's caption band drags the window (except over buttons and extended edits),
// its "roundcorner" rounds the window, and the program's own controls come from the factory
// this class also is.
//
// A subclass sets m_skin, m_skinType, m_className (and m_classStyle), then calls Create. The
// object owns itself once its window exists: the final message deletes it (OnWindowDestroyed),
// unless a subclass says otherwise. A skin that cannot be built makes creation fail.
//
// Messages go, in this order: WM_CREATE, WM_SIZE, WM_NCHITTEST, WM_NCACTIVATE and WM_TIMER to
// their own operation; what that leaves unhandled, and every other message, to
// HandleCustomMessage, then to the host, then to the window base. A WM_TIMER of one of the
// host's control timers skips OnTimer, so that those timers fire whatever OnTimer does; a
// dialog reserves its own timer ids with the host (ReserveTimerId).
#include <windows.h>

#include <string>

#include "login/windows/DialogBuilderCallbackEx.h"
#include "uitoolkit/controls/custom/ShadowWindowWnd.h"
#include "uitoolkit/core/NotifyMessage.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {
class CControlUI;
}

class CSkinWindowWrapper : public SkinUI::CShadowWindowWnd,
                           public SkinUI::INotifyUI,
                           public SkinUI::IMessageFilterUI,
                           public CDialogBuilderCallbackEx {
public:
    CSkinWindowWrapper() = default;
    ~CSkinWindowWrapper() override;

    const wchar_t* GetWindowClass() const override { return m_className.c_str(); }
    const wchar_t* GetSuperclassBase() const override { return nullptr; }
    UINT GetClassStyle() const override { return m_classStyle; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Leaves the host's filters and listeners and deletes the object.
    void OnWindowDestroyed(HWND hWnd) override;

    // For subclasses: messages the own operations left unhandled; `handled` arrives false.
    virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Called once the skin's tree is attached to the host.
    virtual void InitWindow() {}
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Leaves the timer to the host.
    virtual LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Focuses the control and gives it a double click at its centre; null does nothing.
    virtual void PressControl(SkinUI::CControlUI* control);

    // A pre-message filter that takes nothing.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    SkinUI::CWindowHostUI& GetHost() { return m_host; }

protected:
    // Leaves the host's pre-message filters and notify listeners.
    void UnhookFromHost();
    // True while the destructor destroys a window that still existed: the final message then
    // arrives during the object's deletion and must not delete (or hand out) it again.
    bool IsBeingDestroyed() const { return m_inDestructor; }

    const wchar_t* m_skin = nullptr;      // file name, or a resource id (MAKEINTRESOURCE)
    const wchar_t* m_skinType = nullptr;  // resource type ("XML"), null for a file
    std::wstring m_className;             // window class name, also the skin's name
    UINT m_classStyle = 0;
    SkinUI::CWindowHostUI m_host;

private:
    bool m_inDestructor = false;
};
