#include "uitoolkit/core/MarkupRenderer.h"
#include "uitoolkit/core/RenderKit.h"

namespace SkinUI {

void CRenderKit::DrawMarkedUpText(HDC hDC, CWindowHostUI* host, RECT& rc, const wchar_t* text,
                                  DWORD color, RECT* linkRects, CUIString* linkTexts,
                                  int& linkCount, UINT format)
{
    const int capacity = linkCount;
    linkCount = 0;
    if (hDC == nullptr || text == nullptr || host == nullptr || ::IsRectEmpty(&rc)) return;
    linkCount = CMarkupRenderer(hDC, host, rc, color, linkRects, linkTexts, capacity, format).Run(text);
}

} // namespace SkinUI
