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
    // The items' size delegates may close the window.
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
    // 1. The client box: the inset and the shown bars taken off. The own size delegates, and
    //    below each item's placement, may close the window: the pass stops as soon as it cost
    //    the body.
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
    int automatic = 0;
    int measured = 0;
    long long fixedTotal = 0;
    long long contentWidth = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* item = static_cast<CControlUI*>(m_items[i]);
        if (!item->IsVisible() || item->IsFloat())
            continue;
        const SIZE size = item->GetDesiredSize(available);
        const RECT padding = item->GetPadding();
        if (size.cy == 0)
            ++automatic;
        else
            fixedTotal += ClampToLimits(size.cy, item->GetMinHeight(), item->GetMaxHeight());
        fixedTotal += static_cast<long long>(padding.top) + padding.bottom;
        contentWidth = std::max(contentWidth, ClampToLimits(std::max<LONG>(size.cx, 0), item->GetMinWidth(), item->GetMaxWidth()));
        ++measured;
    }
    const long long gaps = static_cast<long long>(std::max(measured - 1, 0)) * m_childPadding;
    fixedTotal += gaps;

    // 3. The header's columns, when there are any, set the content width.
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header != nullptr && header->GetCount() > 0)
        contentWidth = std::max<LONG>(0, header->GetDesiredSize(SIZE{ClampToInt(availableWidth), available.cy}).cx);

    // 4. The horizontal bar follows the content width before the items are placed, so that
    //    they are offered the width it scrolls now (not the range of an earlier pass).
    UpdateHorizontalBar(contentWidth, availableWidth, bottom);
    const CScrollBarUI* shownHbar = GetShownHorizontalScrollBar();
    const long long placedWidth = availableWidth + (shownHbar != nullptr ? shownHbar->GetScrollRange() : 0);
    const long long automaticHeight = automatic > 0 ? std::max<long long>(0, (availableHeight - fixedTotal) / automatic) : 0;

    // 5. The scrolled origin.
    long long y = top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    const long long x = left - (shownHbar != nullptr ? shownHbar->GetScrollPos() : 0);
    long long remaining = availableHeight;
    long long needed = 0;
    int automaticPlaced = 0;

    // 6. Placing; an item's bottom padding lies inside its rectangle.
    const bool survived = ForEachChild([&](CControlUI* item, int index) {
        if (!item->IsVisible())
            return;
        if (item->IsFloat()) {
            SetFloatPos(index);
            return;
        }
        const RECT padding = item->GetPadding();
        remaining -= padding.top;
        const SIZE size = item->GetDesiredSize(SIZE{ClampToInt(placedWidth), ClampToInt(remaining)});
        long long height;
        if (size.cy == 0) {
            height = ++automaticPlaced == automatic ? std::max<long long>(0, remaining - padding.bottom - fixedTotal)
                                                    : automaticHeight;
            height = ClampToLimits(height, item->GetMinHeight(), item->GetMaxHeight());
        } else {
            height = ClampToLimits(size.cy, item->GetMinHeight(), item->GetMaxHeight());
            fixedTotal -= height;
        }
        const long long width = ClampToLimits(std::max(placedWidth - padding.left - padding.right, contentWidth),
                                              item->GetMinWidth(), item->GetMaxWidth());
        const long long itemLeft = x + padding.left;
        const long long itemTop = y + padding.top;
        y += padding.top + height + padding.bottom + m_childPadding;
        remaining -= padding.bottom + height + m_childPadding;
        needed += padding.top + height + padding.bottom;
        // Last: the item's SetPos may close the window.
        item->SetPos(RECT{ClampToInt(itemLeft), ClampToInt(itemTop), ClampToInt(itemLeft + width),
                          ClampToInt(itemTop + height + padding.bottom)});
    });
    if (!survived)
        return;
    // 7.
    needed += gaps;

    // 8. The vertical bar.
    ProcessScrollBar(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)},
                     ClampToInt(contentWidth), ClampToInt(needed));
}

} // namespace SkinUI
