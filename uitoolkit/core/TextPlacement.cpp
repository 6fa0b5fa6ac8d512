#include "uitoolkit/core/TextPlacement.h"

namespace SkinUI {

namespace {

// Formats whose drawing is more than one line placed by its alignment.
constexpr UINT kNotPlain = DT_CALCRECT | DT_EXPANDTABS | DT_TABSTOP | DT_PATH_ELLIPSIS | DT_MODIFYSTRING |
                           DT_RTLREADING | DT_INTERNAL | DT_PREFIXONLY | DT_HIDEPREFIX;
constexpr UINT kCutting = DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_WORDBREAK;

bool PlainUnits(const wchar_t* text, int length)
{
    for (int i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n' || c == L'\t' || c == L'\0') return false;
    }
    return true;
}

} // namespace

bool CTextPlacement::Place(HDC hDC, const wchar_t* text, int length, const RECT& rc, UINT format, LinePosition& out)
{
    if (hDC == nullptr || text == nullptr || length <= 0 || (format & kNotPlain) != 0) return false;
    // Prefix characters are drawn as marks unless DT_NOPREFIX says they are text.
    if ((format & DT_NOPREFIX) == 0) {
        for (int i = 0; i < length; ++i)
            if (text[i] == L'&') return false;
    }
    if (!PlainUnits(text, length)) return false;
    SIZE size{};
    if (!::GetTextExtentPoint32W(hDC, text, length, &size)) return false;
    // A text that does not fit is cut by an ellipsis or broken into words; a single line of
    // any other kind is only clipped.
    if ((format & kCutting) != 0 && size.cx > rc.right - rc.left) return false;

    out.x = rc.left;
    if ((format & DT_CENTER) != 0)
        out.x = (rc.left + rc.right - size.cx) / 2;
    else if ((format & DT_RIGHT) != 0)
        out.x = rc.right - size.cx;
    out.y = rc.top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0)
            out.y = rc.top + (rc.bottom - rc.top) / 2 - size.cy / 2;
        else if ((format & DT_BOTTOM) != 0)
            out.y = rc.bottom - size.cy;
    }
    out.options = (format & DT_NOCLIP) != 0 ? 0 : ETO_CLIPPED;
    out.clip = rc;
    return true;
}

void CTextPlacement::Draw(HDC hDC, const wchar_t* text, int length, const LinePosition& position)
{
    ::ExtTextOutW(hDC, position.x, position.y, position.options, &position.clip, text,
                  static_cast<UINT>(length), nullptr);
}

} // namespace SkinUI
