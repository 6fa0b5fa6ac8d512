#include "kit/CaretWatch.h"

#include <algorithm>

#include "kit/Capture.h"
#include "kit/Pump.h"

namespace kit {

namespace {

constexpr UINT kSysTimer = 0x118;         // WM_SYSTIMER
constexpr WPARAM kCaretTimer = 0xFFFF;    // the system timer that blinks the caret

LRESULT CALLBACK DropBlinks(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && msg->message == kSysTimer && msg->wParam == kCaretTimer)
        msg->message = WM_NULL;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

CaretWatch::CaretWatch() : m_hook(::SetWindowsHookExW(WH_GETMESSAGE, &DropBlinks, nullptr, ::GetCurrentThreadId())) {}

CaretWatch::~CaretWatch()
{
    if (m_hook != nullptr)
        ::UnhookWindowsHookEx(m_hook);
}

RECT CaretWatch::Drawn(HWND hWnd) const
{
    Drain();
    const auto screen = CaptureScreen(hWnd);
    const auto painted = CaptureClient(hWnd);
    RECT drawn = {screen->Width(), screen->Height(), 0, 0};
    for (int y = 0; y < screen->Height(); ++y)
        for (int x = 0; x < screen->Width(); ++x)
            if (screen->Pixel(x, y) != painted->Pixel(x, y))
                drawn = {std::min<LONG>(drawn.left, x), std::min<LONG>(drawn.top, y), std::max<LONG>(drawn.right, x + 1),
                         std::max<LONG>(drawn.bottom, y + 1)};
    return drawn.left < drawn.right ? drawn : RECT{0, 0, 0, 0};
}

} // namespace kit
