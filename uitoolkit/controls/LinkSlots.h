#pragma once
// CLinkSlots: the clickable links that a control's marked-up text showed at its last paint (the
// text control's, a list text element's): up to eight rectangles and link texts, filled by the
// renderer, and the link under the mouse.
#include <windows.h>

#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CLinkSlots {
public:
    static constexpr int kMaxLinks = 8;

    int GetCount() const { return m_count; }
    // The renderer fills the slots from `first` on; the count then covers them.
    void SetCount(int count) { m_count = count < 0 ? 0 : count > kMaxLinks ? kMaxLinks : count; }
    // The link's rectangle and text; null outside 0 .. count-1.
    const RECT* GetRect(int index) const { return Holds(index) ? &m_rects[index] : nullptr; }
    const wchar_t* GetText(int index) const { return Holds(index) ? m_texts[index].GetData() : nullptr; }
    // The first link whose rectangle holds the point, else -1.
    int At(POINT pt) const
    {
        for (int i = 0; i < m_count; ++i) {
            if (::PtInRect(&m_rects[i], pt))
                return i;
        }
        return -1;
    }
    int GetHover() const { return m_hover; }
    void SetHover(int index) { m_hover = index; }

    // The slots from `first` on, for the renderer; null when none is left.
    RECT* Rects(int first) { return first >= 0 && first < kMaxLinks ? &m_rects[first] : nullptr; }
    CUIString* Texts(int first) { return first >= 0 && first < kMaxLinks ? &m_texts[first] : nullptr; }
    // Empties every slot from `first` on.
    void ClearFrom(int first)
    {
        for (int i = first < 0 ? 0 : first; i < kMaxLinks; ++i) {
            ::SetRectEmpty(&m_rects[i]);
            m_texts[i].Empty();
        }
    }

private:
    bool Holds(int index) const { return index >= 0 && index < kMaxLinks && index < m_count; }

    int m_count = 0;
    RECT m_rects[kMaxLinks] = {};
    CUIString m_texts[kMaxLinks];
    int m_hover = -1;
};

} // namespace SkinUI
