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

int CountColor(const DibCanvas& canvas, uint32_t rgb, const RECT& rc)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (canvas.Pixel(x, y) == (rgb & 0xFFFFFF))
                ++n;
    return n;
}

} // namespace kit
