#pragma once
// Where DrawTextW puts a text that it draws as one unchanged line, so that the line can be drawn
// with one ExtTextOutW: DrawTextW measures and lays out the text again at every call, which costs
// about twice the drawing itself. Only texts DrawTextW would not change qualify: no line breaks,
// tabs or prefixes, no ellipsis or word break that would cut them; everything else is left to
// DrawTextW.
#include <windows.h>

namespace SkinUI {

// Where and how one ExtTextOutW draws a line that DrawTextW would draw unchanged.
struct LinePosition {
    int x = 0;
    int y = 0;
    UINT options = 0;  // ETO_CLIPPED unless DT_NOCLIP
    RECT clip{};       // the rectangle DrawTextW clips to
};

class CTextPlacement {
public:
    // With the text's font selected into hDC: whether DrawTextW(hDC, text, length, rc, format)
    // would draw the text as one line unchanged, and if so where (out).
    static bool Place(HDC hDC, const wchar_t* text, int length, const RECT& rc, UINT format, LinePosition& out);
    // Draws a placed text as DrawTextW would.
    static void Draw(HDC hDC, const wchar_t* text, int length, const LinePosition& position);
};

} // namespace SkinUI
