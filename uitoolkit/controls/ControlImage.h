#pragma once
// Image drawing shared by the value controls (progress, slider, scroll bar): a "dest" modifier
// that places an image at a part of the control, and a draw that forgets a broken image.
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// Writes "dest='l,t,r,b'" for a rectangle in window coordinates, relative to the control's
// top-left corner; returns the text.
inline const wchar_t* FormatDestModifier(CUIString& out, const RECT& rc, const RECT& control)
{
    out.Format(L"dest='%d,%d,%d,%d'", rc.left - control.left, rc.top - control.top, rc.right - control.left,
               rc.bottom - control.top);
    return out.GetData();
}

// Draws a non-empty image text of the control; a text that cannot be drawn is cleared so that it
// is not tried again. True when it was drawn.
inline bool DrawImageOrForget(CControlUI& control, HDC hDC, CUIString& image, const wchar_t* modifier)
{
    if (image.IsEmpty())
        return false;
    if (control.DrawImage(hDC, image.GetData(), modifier))
        return true;
    image.Empty();
    return false;
}

} // namespace SkinUI
