#pragma once
// CTextUI: word-wrapped text whose marked-up links can be clicked ("link" with the link's
// index). It remembers the rectangles and texts of up to eight links from its last paint, hit-
// tests them for the hand cursor and clicks, and repaints when the link under the mouse changes
// (the renderer draws that link in the host's hover colour). Its desired size is measured from
// its text, so a new text has its parent place it again.
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/LinkSlots.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = CLinkSlots::kMaxLinks;

    CTextUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetText(const wchar_t* text) override;
    void HandleEvent(ControlEvent& event) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintText(HDC hDC) override;

    int GetLinkCount() const { return m_links.GetCount(); }
    // The link's rectangle and text from the last paint; null outside 0 .. count-1.
    const RECT* GetLinkRect(int index) const { return m_links.GetRect(index); }
    const wchar_t* GetLinkText(int index) const { return m_links.GetText(index); }
    int GetHoverLink() const { return m_links.GetHover(); }

private:
    CLinkSlots m_links;
};

} // namespace SkinUI
