#pragma once
// CListBodyUI: the part of a list that holds the items, a vertical layout whose items are as wide
// as the list's header columns together (a horizontal bar scrolls them when that is wider than
// the body) and whose sideways scrolling moves the header columns with the items. Every event
// goes to the owning list.
#include "uitoolkit/controls/VerticalLayoutUI.h"

namespace SkinUI {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(CListUI* owner);

    void SetPos(RECT rc) override;
    void HandleEvent(ControlEvent& event) override;
    void SetScrollPos(SIZE pos) override;

    CListUI* GetOwner() const { return m_owner; }

private:
    // Shows, sizes or hides the horizontal bar for the content width; the bottom of the client
    // box follows the bar.
    void UpdateHorizontalBar(long long contentWidth, long long availableWidth, long long& bottom);

    CListUI* m_owner;
};

} // namespace SkinUI
