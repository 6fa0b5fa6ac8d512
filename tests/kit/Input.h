#pragma once
// Synthetic mouse and keyboard input at client coordinates of one window. Each call posts the
// messages (as the system would queue them) and drains the queue, so consecutive calls are
// separate steps. Moves first put the real pointer there with SetCursorPos: Wine's mouse
// tracking (hover, leave) reads the real pointer.
//
//   kit::Input in(win.Hwnd());
//   in.Move(10, 10); in.Click(10, 10);
//   { kit::HeldKeys shift({VK_SHIFT}); in.Key(VK_TAB); }
//
// Key downs pass through TranslateMessage like real ones, which adds WM_CHAR / WM_SYSCHAR (unless
// the host's pre-translation takes the key). With preTranslate the drain offers messages to CWindowHostUI::TranslateMessage first, as the
// toolkit's modal loop does (needed for Tab and Alt shortcuts).
#include <windows.h>

#include <initializer_list>
#include <vector>

namespace kit {

class Input {
public:
    explicit Input(HWND hWnd, bool preTranslate = false) : m_hWnd(hWnd), m_preTranslate(preTranslate) {}

    void Move(int x, int y, WPARAM keys = 0);
    void LeftDown(int x, int y);
    void LeftUp(int x, int y);
    void Click(int x, int y);           // move, down, up
    void DoubleClick(int x, int y);     // move, down, up, double click, up
    void RightDown(int x, int y);
    void RightUp(int x, int y);
    void ContextMenu(int x, int y);     // WM_CONTEXTMENU at the client point (sent in screen coordinates)
    void Wheel(int x, int y, int delta);  // WM_MOUSEWHEEL at the client point; negative = towards the user
    void Key(UINT vk);                  // key down, key up
    void KeyDown(UINT vk);
    void KeyUp(UINT vk);
    void Alt(wchar_t ch);               // Alt+ch: WM_SYSKEYDOWN (-> WM_SYSCHAR), WM_SYSKEYUP
    void Post(UINT message, WPARAM wParam, LPARAM lParam);  // any message, then drain

private:
    POINT ToScreen(int x, int y) const;

    HWND m_hWnd;
    bool m_preTranslate;
};

// Marks keys as held in this thread's key state (GetKeyState sees them) until destroyed.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE m_saved[256];
};

} // namespace kit
