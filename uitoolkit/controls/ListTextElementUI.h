#pragma once
// CListTextElementUI: a list item that shows one text per column of its list's header. The
// cell texts come from the list's text callback; with marked-up text the links of all cells
// (eight per item at most) can be clicked ("link" with the link's number in the item).
#include "uitoolkit/controls/LinkSlots.h"
#include "uitoolkit/controls/ListLabelElementUI.h"

namespace SkinUI {

class IListUI;

class CListTextElementUI : public CListLabelElementUI {
public:
    CListTextElementUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void HandleEvent(ControlEvent& event) override;
    // Width: the fixed width (the body gives it the columns' width); height as the label's.
    SIZE GetDesiredSize(SIZE available) override;
    // Also keeps the owner's "IList" interface for the columns and the text callback.
    void SetOwner(CControlUI* owner) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;

    int GetLinkCount() const { return m_links.GetCount(); }
    // The link's rectangle and text from the last paint; null outside 0 .. count-1.
    const RECT* GetLinkRect(int index) const { return m_links.GetRect(index); }
    const wchar_t* GetLinkText(int index) const { return m_links.GetText(index); }
    int GetHoverLink() const { return m_links.GetHover(); }

private:
    CLinkSlots m_links;
    IListUI* m_listOwner = nullptr;
};

} // namespace SkinUI
