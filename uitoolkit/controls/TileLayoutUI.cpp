#include "uitoolkit/controls/TileLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/LinearAxis.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"

namespace SkinUI {

namespace {
// The height a child asks for when measuring a row: any.
constexpr int kUnboundedHeight = 9999;
constexpr LinearAxis kX = LinearAxis::X();
constexpr LinearAxis kY = LinearAxis::Y();
} // namespace

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

void* CTileLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"TileLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size)
{
    if (m_itemSize.cx == size.cx && m_itemSize.cy == size.cy)
        return;
    m_itemSize = size;
    RequestLayout();
}

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns < 1)
        return;
    m_columns = columns;
    RequestLayout();
}

namespace {
const AttributeSetterOf<CTileLayoutUI> kTileAttributes[] = {
    {L"itemsize", [](CTileLayoutUI& c, const wchar_t* v) { c.SetItemSize(ParseSize(v)); }},
    {L"columns", [](CTileLayoutUI& c, const wchar_t* v) { c.SetColumns(ParseInt(v)); }},
};
} // namespace

void CTileLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kTileAttributes, *this, name, value))
        CContainerUI::SetAttribute(name, value);
}

// The outer cells of a row give up half the child padding (on their inner side only), the
// others the full padding.
long long CTileLayoutUI::MeasureRow(int first, long long cellWidth) const
{
    const int half = m_childPadding / 2;
    long long rowHeight = 0;
    for (int i = first, k = 0; i < m_items.GetSize() && k < m_columns; ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT padding = child->GetPadding();
        const int gap = (k == 0 || k == m_columns - 1) ? half : m_childPadding;
        const long long width = kX.Clamp(*child, cellWidth - kX.Sides(padding) - gap);
        const SIZE size = child->GetDesiredSize(SIZE{ClampToInt(width), kUnboundedHeight});
        rowHeight = std::max(rowHeight, kY.Clamp(*child, size.cy) + kY.Sides(padding));
        ++k;
    }
    return rowHeight;
}

void CTileLayoutUI::SetPos(RECT rc)
{
    // One repaint request for the whole pass.
    CWindowHostUI::InvalidateBatch batch(m_host);
    // 1. Without children the bars get the inset rectangle.
    if (!BeginLayoutPass(rc, EmptyBars::OverInset))
        return;

    // 2. The shown bars' thickness comes off.
    const RECT inner = GetInnerRect();
    const CScrollBarUI* vbar = GetShownVerticalScrollBar();
    const CScrollBarUI* hbar = GetShownHorizontalScrollBar();
    const long long innerWidth = kX.Length(inner);

    // 3. An item width decides the column count.
    if (m_itemSize.cx > 0)
        m_columns = std::max(1, ClampToInt(innerWidth / m_itemSize.cx));

    // 4. Equal cells; a horizontal bar widens the rows by what it scrolls.
    const long long cellWidth = (innerWidth + (hbar != nullptr ? hbar->GetScrollRange() : 0)) / m_columns;
    const int half = m_childPadding / 2;

    // 5. Start at the scrolled origin.
    const long long vpos = vbar != nullptr ? vbar->GetScrollPos() : 0;
    long long rowTop = inner.top - vpos;
    const long long rowStart = static_cast<long long>(inner.left) - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    long long x = rowStart;
    long long rowHeight = 0;
    int count = 0;
    long long needed = 0;

    // 6. Row by row.
    const bool survived = ForEachPlacedChild([&](CControlUI* child, int index) {
        // a. The cell; a child that opens a row measures it first.
        const bool opensRow = count % m_columns == 0;
        if (opensRow)
            rowHeight = MeasureRow(index, cellWidth);
        // b. Half the child padding on each side, none before the first or after the last column.
        const RECT padding = child->GetPadding();
        long long left = x + padding.left + half;
        long long right = x + cellWidth - padding.right - half;
        if (opensRow)
            left -= half;
        ++count;
        const bool closesRow = count % m_columns == 0;
        if (closesRow)
            right += half;
        // c. From the top padding down to the row's bottom.
        const long long top = rowTop + padding.top;
        const long long bottom = rowTop + rowHeight;
        // d. Automatic sizes fill the cell.
        const SIZE size = child->GetDesiredSize(SIZE{ClampToInt(right - left), ClampToInt(bottom - top)});
        const long long width = kX.Clamp(*child, size.cx == 0 ? right - left : size.cx);
        const long long height = kY.Clamp(*child, size.cy == 0 ? bottom - top : size.cy);
        // e. Centred in the cell.
        const long long placedLeft = (left + right - width) / 2;
        const long long placedTop = (top + bottom - height) / 2;
        // f. The next cell: further along the row, or the start of the next row.
        if (closesRow) {
            x = rowStart;
            rowTop += rowHeight + m_childPadding;
            rowHeight = 0;
        } else {
            x += cellWidth;
        }
        // g. The content height in unscrolled coordinates.
        needed = bottom - inner.top + vpos;
        // The child's SetPos is its call-out: last.
        child->SetPos(RECT{ClampToInt(placedLeft), ClampToInt(placedTop), ClampToInt(placedLeft + width),
                           ClampToInt(placedTop + height)});
    });

    // 7. The content height feeds the bars.
    if (survived)
        ProcessScrollBar(inner, 0, ClampToInt(needed));
}

} // namespace SkinUI
