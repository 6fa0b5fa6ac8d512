#pragma once
// CVerticalLayoutExUI: a vertical layout that reports every scroll request ("layoutscroll"), by
// wheel, keys, its scroll bar or code, even one that leaves the position as it was.
#include "uitoolkit/controls/VerticalLayoutUI.h"

namespace SkinUI {

class CVerticalLayoutExUI : public CVerticalLayoutUI {
public:
    CVerticalLayoutExUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // The layout's scrolling, then "layoutscroll" (0, 0) while the layout has a window host.
    void SetScrollPos(SIZE pos) override;
};

} // namespace SkinUI
