#include "uitoolkit/core/PlacedText.h"

#include <cwchar>

#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/RenderKit.h"

namespace SkinUI {

void CPlacedText::Draw(HDC hDC, CHostResources* host, RECT& rc, const wchar_t* text, DWORD color, int font, UINT format)
{
    if (text == nullptr || host == nullptr) return;
    const UINT drawn = format | DT_NOPREFIX;
    HFONT hFont = host->GetFont(font);
    if ((drawn & DT_CALCRECT) != 0 || hFont == nullptr) {
        CRenderKit::DrawText(hDC, host, rc, text, color, font, format);
        return;
    }
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ArgbToColorRef(color));
    CSelectObject select(hDC, hFont);
    const int length = static_cast<int>(std::wcslen(text));
    if (!m_known || m_font != hFont || m_format != drawn || !::EqualRect(&m_rc, &rc) ||
        std::wcscmp(m_text.GetData(), text) != 0) {
        m_placed = CTextPlacement::Place(hDC, text, length, rc, drawn, m_place);
        m_text = text;
        m_font = hFont;
        m_format = drawn;
        m_rc = rc;
        m_known = true;
    }
    if (m_placed)
        CTextPlacement::Draw(hDC, text, length, m_place);
    else
        ::DrawTextW(hDC, text, -1, &rc, drawn);
}

} // namespace SkinUI
