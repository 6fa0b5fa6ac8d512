#include "login/windows/RoundCorners.h"

#include "uitoolkit/core/GdiObject.h"

void ApplyRoundCorners(HWND hWnd, SIZE corner)
{
    if (corner.cx == 0 && corner.cy == 0)
        return;
    RECT rc = {};
    if (!::GetWindowRect(hWnd, &rc))
        return;
    ::OffsetRect(&rc, -rc.left, -rc.top);
    SkinUI::CGdiRegion region(::CreateRoundRectRgn(0, 0, rc.right + 1, rc.bottom + 1, corner.cx, corner.cy));
    // The window owns a region it accepted; only a refused one is ours to delete.
    if (region.Get() != nullptr && ::SetWindowRgn(hWnd, region.Get(), TRUE) != 0)
        region.Release();
}
