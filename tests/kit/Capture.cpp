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

} // namespace kit
