#include "uitoolkit/controls/VerticalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"VerticalLayout") == 0)
        return this;
    return CLinearLayoutUI::GetInterface(name);
}

// Sums run in 64 bits: a skin may give any child any height.
void CVerticalLayoutUI::SetPos(RECT rc)
{
    // One repaint request for the whole pass.
    CWindowHostUI::InvalidateBatch batch(m_host);
    // 1. The own size delegates, and below each child's placement, may close the window:
    //    the pass stops as soon as it cost this layout.
    if (!SetOwnPos(rc))
        return;

    // 2. The inner rectangle leaves out the inset and the shown bars.
    const RECT inner = GetInnerRect();
    const CScrollBarUI* vbar = GetShownVerticalScrollBar();
    const CScrollBarUI* hbar = GetShownHorizontalScrollBar();

    // 3.
    if (m_items.IsEmpty()) {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    // 4. The available size; a horizontal bar widens it by what it scrolls.
    const long long availableWidth =
        static_cast<long long>(inner.right) - inner.left + (hbar != nullptr ? hbar->GetScrollRange() : 0);
    const long long availableHeight = static_cast<long long>(inner.bottom) - inner.top;
    const SIZE available = {ClampToInt(availableWidth), ClampToInt(availableHeight)};

    // 5. Measuring: a desired height of 0 makes a child automatic; every measured child's
    //    vertical paddings count as fixed.
    int automatic = 0;
    int measured = 0;
    long long fixedTotal = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE size = child->GetDesiredSize(available);
        const RECT padding = child->GetPadding();
        if (size.cy == 0)
            ++automatic;
        else
            fixedTotal += ClampToLimits(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        fixedTotal += static_cast<long long>(padding.top) + padding.bottom;
        ++measured;
    }

    // 6-7. Gaps, and the share of each automatic child.
    fixedTotal += static_cast<long long>(measured - 1) * m_childPadding;
    long long expand = 0;
    if (automatic > 0)
        expand = std::max<long long>(0, (availableHeight - fixedTotal) / automatic);

    // 8. Start at the scrolled origin.
    long long y = static_cast<long long>(inner.top) - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    const long long x = static_cast<long long>(inner.left) - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    long long remaining = availableHeight;
    long long fixedRemaining = fixedTotal;
    long long needed = 0;
    int automaticPlaced = 0;

    // 9. Placing. Only fixed children take their paddings off the fixed remainder, so the last
    //    automatic child is short by the paddings of the automatic children before it.
    const bool survived = ForEachChild([&](CControlUI* child, int index) {
        if (!child->IsVisible())
            return;
        if (child->IsFloat()) {
            SetFloatPos(index);
            return;
        }
        // a.
        const RECT padding = child->GetPadding();
        const SIZE size = child->GetDesiredSize(SIZE{available.cx, ClampToInt(remaining)});
        // b.
        long long height;
        if (size.cy == 0) {
            height = expand;
            if (++automaticPlaced == automatic)
                height = std::max<long long>(0, remaining - fixedRemaining);
            height = ClampToLimits(height, child->GetMinHeight(), child->GetMaxHeight());
        } else {
            height = ClampToLimits(size.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedRemaining -= padding.top + height + padding.bottom;
        }
        // c.
        fixedRemaining -= m_childPadding;
        // d.
        long long width = child->GetFixedWidth();
        if (width == 0)
            width = std::max<long long>(0, availableWidth - padding.left - padding.right);
        width = ClampToLimits(width, child->GetMinWidth(), child->GetMaxWidth());
        // e-f. The place, then the advance; the child's SetPos comes last, as it may close the
        //      window.
        const long long left = x + padding.left;
        const long long top = y + padding.top;
        const long long extent = static_cast<long long>(padding.top) + height + padding.bottom;
        y += extent + m_childPadding;
        needed += extent;
        remaining -= extent + m_childPadding;
        child->SetPos(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + height)});
    });
    if (!survived)
        return;

    // 10-11. The content height feeds the vertical bar.
    needed += static_cast<long long>(measured - 1) * m_childPadding;
    ProcessScrollBar(inner, 0, ClampToInt(needed));
}

} // namespace SkinUI
