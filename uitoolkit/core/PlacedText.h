#pragma once
// One control's plain text, drawn as CRenderKit::DrawText draws it. A text that DrawTextW draws
// as one unchanged line is drawn with one ExtTextOutW at the place DrawTextW would put it; the
// place is found once and kept until the text, font, rectangle or format changes. Any other
// text goes to DrawTextW as before.
#include <windows.h>

#include "uitoolkit/core/TextPlacement.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CHostResources;

class CPlacedText {
public:
    void Draw(HDC hDC, CHostResources* host, RECT& rc, const wchar_t* text, DWORD color, int font, UINT format);

private:
    bool m_known = false;  // the fields below describe the last text drawn
    bool m_placed = false;
    CUIString m_text;
    HFONT m_font = nullptr;
    RECT m_rc{};
    UINT m_format = 0;
    LinePosition m_place;
};

} // namespace SkinUI
