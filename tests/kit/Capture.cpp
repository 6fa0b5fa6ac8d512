#include "kit/Capture.h"

namespace kit {

std::unique_ptr<DibCanvas> CaptureClient(HWND hWnd, uint32_t background)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    auto canvas = std::make_unique<DibCanvas>(rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1, background);
    ::SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->DC()), PRF_CLIENT);
    ::GdiFlush();
    return canvas;
}

std::unique_ptr<DibCanvas> CaptureScreen(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    auto canvas = std::make_unique<DibCanvas>(rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1, 0x123456);
    HDC dc = ::GetDC(hWnd);
    ::BitBlt(canvas->DC(), 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, dc);
    ::GdiFlush();
    return canvas;
}

std::unique_ptr<DibCanvas> CaptureScreen(const RECT& rc)
{
    const int width = rc.right > rc.left ? rc.right - rc.left : 1, height = rc.bottom > rc.top ? rc.bottom - rc.top : 1;
    auto canvas = std::make_unique<DibCanvas>(width, height, 0x123456);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas->DC(), 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
    return canvas;
}

} // namespace kit
