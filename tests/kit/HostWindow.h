#pragma once
// A real top-level window with a CWindowHostUI and a root built from code.
//
//   auto* root = new kit::Box(L"root");                 // the host owns the root once opened
//   root->Add(new kit::ProbeControl(L"a", &log));
//   kit::HostWindow win;
//   ASSERT_TRUE(win.Open(root, 200, 100));               // popup at screen (40, 40), visible
//   win.Host()->AddNotifyListener(&recorder);
//   win.Layout();                                        // pump until laid out and painted
//
// The window deletes its host when it is destroyed (as the program's dialogs do), so a test may
// destroy the window from inside a callback: Host() is null afterwards and IsOpen() false.
// Client coordinates equal window coordinates (no frame). Open parks the pointer away from the
// window first, so that no control is hovered before the test moves there.
#include <windows.h>

#include <functional>
#include <memory>

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/core/WindowWnd.h"

namespace kit {

class HostWindow : public SkinUI::CWindowWnd {
public:
    static constexpr int kScreenX = 40;
    static constexpr int kScreenY = 40;
    // Where Open puts the pointer, away from every test window.
    static constexpr int kParkX = 1200;
    static constexpr int kParkY = 1000;

    HostWindow() = default;
    ~HostWindow() override;

    // Creates the window (client size width x height), its host, and attaches the root.
    bool Open(SkinUI::CControlUI* root, int width = 200, int height = 150, HWND owner = nullptr,
              DWORD style = WS_POPUP | WS_VISIBLE);
    SkinUI::CWindowHostUI* Host() const { return m_host.get(); }
    HWND Hwnd() const { return m_hWnd; }
    bool IsOpen() const { return m_hWnd != nullptr; }
    // Pumps until the host has painted (the tree is laid out), at most 2 s. With a size, the
    // client area is resized first.
    bool Layout(int width = -1, int height = -1);
    int DestroyedCount() const { return m_destroyed; }

    // The window's own handling of a message the host left unhandled: return true to take it.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;

    const wchar_t* GetWindowClass() const override { return L"OmbrelKitHostWindow"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hWnd) override;

private:
    std::unique_ptr<SkinUI::CWindowHostUI> m_host;
    bool m_painted = false;
    int m_destroyed = 0;
};

} // namespace kit
