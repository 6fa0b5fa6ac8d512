#include "kit/Input.h"

#include <cstring>

#include "kit/Pump.h"

namespace kit {

namespace {
LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}
} // namespace

POINT Input::ToScreen(int x, int y) const
{
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    return pt;
}

void Input::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    ::PostMessageW(m_hWnd, message, wParam, lParam);
    Drain(m_preTranslate);
}

void Input::Move(int x, int y, WPARAM keys)
{
    const POINT screen = ToScreen(x, y);
    ::SetCursorPos(screen.x, screen.y);
    Post(WM_MOUSEMOVE, keys, ClientPoint(x, y));
}

void Input::LeftDown(int x, int y) { Post(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(x, y)); }
void Input::LeftUp(int x, int y) { Post(WM_LBUTTONUP, 0, ClientPoint(x, y)); }
void Input::RightDown(int x, int y) { Post(WM_RBUTTONDOWN, MK_RBUTTON, ClientPoint(x, y)); }
void Input::RightUp(int x, int y) { Post(WM_RBUTTONUP, 0, ClientPoint(x, y)); }

void Input::Click(int x, int y)
{
    Move(x, y);
    LeftDown(x, y);
    LeftUp(x, y);
}

void Input::DoubleClick(int x, int y)
{
    Click(x, y);
    Post(WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(x, y));
    LeftUp(x, y);
}

void Input::ContextMenu(int x, int y)
{
    const POINT screen = ToScreen(x, y);
    Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), ClientPoint(screen.x, screen.y));
}

void Input::Wheel(int x, int y, int delta)
{
    const POINT screen = ToScreen(x, y);
    ::SetCursorPos(screen.x, screen.y);
    Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), ClientPoint(screen.x, screen.y));
}

void Input::KeyDown(UINT vk) { Post(WM_KEYDOWN, vk, 1); }
void Input::KeyUp(UINT vk) { Post(WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u)); }

void Input::Key(UINT vk)
{
    KeyDown(vk);
    KeyUp(vk);
}

void Input::Alt(wchar_t ch)
{
    HeldKeys alt({VK_MENU});
    const LPARAM altDown = static_cast<LPARAM>(0x20000001u);  // context code: Alt held
    const wchar_t upper = (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
    // TranslateMessage makes the WM_SYSCHAR from the key down, as for a real key press.
    Post(WM_SYSKEYDOWN, upper, altDown);
    Post(WM_SYSKEYUP, upper, static_cast<LPARAM>(0xE0000001u));
}

HeldKeys::HeldKeys(std::initializer_list<int> keys)
{
    ::GetKeyboardState(m_saved);
    BYTE state[256];
    std::memcpy(state, m_saved, sizeof(state));
    for (int vk : keys)
        state[vk & 0xFF] |= 0x80;
    ::SetKeyboardState(state);
}

HeldKeys::~HeldKeys()
{
    ::SetKeyboardState(m_saved);
}

} // namespace kit
