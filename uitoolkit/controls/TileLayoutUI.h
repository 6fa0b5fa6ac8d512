#pragma once
// CTileLayoutUI: a grid of equal-width cells filled row by row, each child centred in its cell.
// The column count is given ("columns") or follows from an item width ("itemsize"); a row is
// as tall as its tallest child. The content height feeds the vertical scroll bar.
#include "uitoolkit/controls/ContainerUI.h"

namespace SkinUI {

class CTileLayoutUI : public CContainerUI {
public:
    CTileLayoutUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    SIZE GetItemSize() const { return m_itemSize; }
    // Nothing when unchanged. A width above 0 decides the column count at every placement; the
    // height is kept but not used.
    void SetItemSize(SIZE size);
    int GetColumns() const { return m_columns; }
    // A count below 1 is ignored.
    void SetColumns(int columns);

private:
    // The height of the row that the child at `first` opens: the tallest of up to `columns`
    // visible, non-floating children from there on, paddings included.
    long long MeasureRow(int first, long long cellWidth) const;

    SIZE m_itemSize = {0, 0};
    int m_columns = 1;
};

} // namespace SkinUI
