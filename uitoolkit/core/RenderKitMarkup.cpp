#include "uitoolkit/core/RenderKit.h"

#include "uitoolkit/core/HostResources.h"

namespace SkinUI {

// Interim: draws the text without reading its tags until the marked-up renderer lands.
void CRenderKit::DrawMarkedUpText(HDC hDC, CHostResources* host, RECT& rc, const wchar_t* text,
                                  DWORD color, RECT* /*linkRects*/, CUIString* /*linkTexts*/,
                                  int& linkCount, UINT format)
{
    linkCount = 0;
    if (text == nullptr || host == nullptr || ::IsRectEmpty(&rc)) return;
    DrawText(hDC, host, rc, text, color, -1, format);
}

} // namespace SkinUI
