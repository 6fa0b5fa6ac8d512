#pragma once
// CListHeaderUI: the row of column headers above a list's body, a horizontal layout of
// CListHeaderItemUI columns. Its desired width is the sum of its columns' widths, which the body
// takes as the width of its items.
#include "uitoolkit/controls/HorizontalLayoutUI.h"

namespace SkinUI {

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    CListHeaderUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Width: the sum of every item's desired width (hidden ones too). Height: the fixed height,
    // or the tallest item, at least the default font's height plus 6.
    SIZE GetDesiredSize(SIZE available) override;
};

} // namespace SkinUI
