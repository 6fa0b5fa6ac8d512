#include "uitoolkit/controls/ListBodyUI.h"

#include <algorithm>

#include "uitoolkit/controls/ListHeaderUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) { m_inset = RECT{0, 0, 0, 0}; }

void CListBodyUI::HandleEvent(ControlEvent& event)
{
    if (m_owner != nullptr)
        m_owner->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
}

void CListBodyUI::SetScrollPos(SIZE pos)
{
    const int oldX = GetScrollPos().cx;
    if (!Survives([&] { CVerticalLayoutUI::SetScrollPos(pos); }))
        return;
    const int dx = GetScrollPos().cx - oldX;
    if (dx != 0 && m_owner != nullptr)
        m_owner->ShiftColumns(dx, nullptr);
}

void CListBodyUI::UpdateHorizontalBar(long long contentWidth, long long availableWidth, long long& bottom)
{
    CScrollBarUI* bar = m_horizontalScrollBar.get();
    if (bar == nullptr)
        return;
    if (contentWidth > availableWidth) {
        const int range = ClampToInt(contentWidth - availableWidth);
        if (!bar->IsVisible()) {
            bar->SetVisible(true);
            bar->SetScrollRange(range);
            bar->SetScrollPos(0);
            bottom -= bar->GetFixedHeight();
        } else {
            bar->SetScrollRange(range);
        }
    } else if (bar->IsVisible()) {
        bar->SetVisible(false);
        bar->SetScrollRange(0);
        bar->SetScrollPos(0);
        bottom += bar->GetFixedHeight();
    }
}

// Sums run in 64 bits: a skin may give any item any height.
void CListBodyUI::SetPos(RECT rc)
{
    // 1. The client box: the inset and the shown bars taken off.
    if (!SetOwnPos(rc))
        return;
    CWindowHostUI::InvalidateBatch batch(m_host);
    const long long left = static_cast<long long>(m_rcItem.left) + m_inset.left;
    const long long top = static_cast<long long>(m_rcItem.top) + m_inset.top;
    long long right = static_cast<long long>(m_rcItem.right) - m_inset.right;
    long long bottom = static_cast<long long>(m_rcItem.bottom) - m_inset.bottom;
    const CScrollBarUI* vbar = GetShownVerticalScrollBar();
    const CScrollBarUI* hbar = GetShownHorizontalScrollBar();
    if (vbar != nullptr)
        right -= vbar->GetFixedWidth();
    if (hbar != nullptr)
        bottom -= hbar->GetFixedHeight();
    const long long availableWidth = right - left;
    const long long availableHeight = bottom - top;
    const long long offeredWidth = availableWidth + (hbar != nullptr ? hbar->GetScrollRange() : 0);
    const SIZE available = {ClampToInt(offeredWidth), ClampToInt(availableHeight)};

    // 2. Measuring: a desired height of 0 makes an item automatic; the widest item sets the
    //    content width.
    const LinearAxis along = LinearAxis::Y();
    long long contentWidth = 0;
    const LinearMeasure measure = MeasureChildren(along, available, [&](CControlUI& item, SIZE desired) {
        contentWidth = std::max(contentWidth, LinearAxis::X().Clamp(item, std::max<LONG>(desired.cx, 0)));
    });
    const long long gaps = static_cast<long long>(std::max(measure.measured - 1, 0)) * m_childPadding;
    long long fixedTotal = measure.fixedTotal + gaps;

    // 3. The header's columns, when there are any, set the content width.
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header != nullptr && header->GetCount() > 0)
        contentWidth = std::max<LONG>(0, header->GetDesiredSize(SIZE{ClampToInt(availableWidth), available.cy}).cx);

    // 4. The horizontal bar follows the content width before the items are placed, so that
    //    they are offered the width it scrolls now (not the range of an earlier pass).
    UpdateHorizontalBar(contentWidth, availableWidth, bottom);
    const CScrollBarUI* shownHbar = GetShownHorizontalScrollBar();
    const long long placedWidth = availableWidth + (shownHbar != nullptr ? shownHbar->GetScrollRange() : 0);
    LinearShare share(measure.automatic, availableHeight - fixedTotal);

    // 5. The scrolled origin.
    long long y = top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    const long long x = left - (shownHbar != nullptr ? shownHbar->GetScrollPos() : 0);
    long long remaining = availableHeight;
    long long needed = 0;

    // 6. Placing; an item's bottom padding lies inside its rectangle, and only the fixed items'
    //    heights come off the fixed total.
    const bool survived = ForEachPlacedChild([&](CControlUI* item, int) {
        const RECT padding = item->GetPadding();
        remaining -= padding.top;
        const SIZE size = item->GetDesiredSize(SIZE{ClampToInt(placedWidth), ClampToInt(remaining)});
        const long long height = share.LengthOf(*item, along, size.cy, remaining - padding.bottom - fixedTotal);
        if (size.cy != 0)
            fixedTotal -= height;
        const long long width =
            LinearAxis::X().Clamp(*item, std::max(placedWidth - LinearAxis::X().Sides(padding), contentWidth));
        const long long itemTop = y + padding.top;
        y += along.Sides(padding) + height + m_childPadding;
        remaining -= padding.bottom + height + m_childPadding;
        needed += along.Sides(padding) + height;
        // The item's SetPos is its call-out: last.
        item->SetPos(along.MakeRect(itemTop, height + padding.bottom, x + padding.left, width));
    });
    if (!survived)
        return;
    // 7. The gaps between the items count towards the content height.
    needed += gaps;

    // 8. The vertical bar.
    ProcessScrollBar(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)},
                     ClampToInt(contentWidth), ClampToInt(needed));
}

} // namespace SkinUI
