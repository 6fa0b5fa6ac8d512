#include "uitoolkit/controls/HorizontalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"HorizontalLayout") == 0)
        return this;
    return CLinearLayoutUI::GetInterface(name);
}

// The vertical layout's rules with the axes exchanged: widths are shared, heights fill. The
// content reports no height, so a vertical bar on a horizontal layout is never shown.
void CHorizontalLayoutUI::SetPos(RECT rc)
{
    // One repaint request for the whole pass.
    CWindowHostUI::InvalidateBatch batch(m_host);
    // 1. Without children the bars' thickness stays in. The own size delegates, and below each
    //    child's placement, may close the window: the pass stops as soon as it cost this layout.
    if (!SetOwnPos(rc))
        return;
    if (m_items.IsEmpty()) {
        ProcessScrollBar(GetInsetRect(), 0, 0);
        return;
    }
    const RECT inner = GetInnerRect();
    const CScrollBarUI* hbar = GetShownHorizontalScrollBar();

    // 2. The available width (widened by what a horizontal bar scrolls) and the height.
    const long long availableWidth =
        static_cast<long long>(inner.right) - inner.left + (hbar != nullptr ? hbar->GetScrollRange() : 0);
    const long long height = static_cast<long long>(inner.bottom) - inner.top;
    const int heightArg = ClampToInt(height);

    // 3. Measuring: a desired width of 0 makes a child automatic.
    int automatic = 0;
    int measured = 0;
    long long fixedTotal = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE size = child->GetDesiredSize(SIZE{ClampToInt(availableWidth), heightArg});
        const RECT padding = child->GetPadding();
        if (size.cx == 0)
            ++automatic;
        else
            fixedTotal += ClampToLimits(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        fixedTotal += static_cast<long long>(padding.left) + padding.right;
        ++measured;
    }
    fixedTotal += static_cast<long long>(measured - 1) * m_childPadding;
    long long expand = 0;
    if (automatic > 0)
        expand = std::max<long long>(0, (availableWidth - fixedTotal) / automatic);

    // 4. Only the horizontal scroll position applies; every child's top is the inner top.
    long long x = static_cast<long long>(inner.left) - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    long long remaining = availableWidth;
    long long fixedRemaining = fixedTotal;
    int automaticPlaced = 0;

    // 5. Placing, as in the vertical layout.
    const bool survived = ForEachChild([&](CControlUI* child, int index) {
        if (!child->IsVisible())
            return;
        if (child->IsFloat()) {
            SetFloatPos(index);
            return;
        }
        const RECT padding = child->GetPadding();
        const SIZE size = child->GetDesiredSize(SIZE{ClampToInt(remaining), heightArg});
        long long width;
        if (size.cx == 0) {
            width = expand;
            if (++automaticPlaced == automatic)
                width = std::max<long long>(0, remaining - fixedRemaining);
            width = ClampToLimits(width, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            width = ClampToLimits(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedRemaining -= padding.left + width + padding.right;
        }
        fixedRemaining -= m_childPadding;
        long long childHeight = child->GetFixedHeight();
        if (childHeight == 0)
            childHeight = std::max<long long>(0, height - padding.top - padding.bottom);
        childHeight = ClampToLimits(childHeight, child->GetMinHeight(), child->GetMaxHeight());
        const long long left = x + padding.left;
        const long long top = static_cast<long long>(inner.top) + padding.top;
        const long long extent = static_cast<long long>(padding.left) + width + padding.right + m_childPadding;
        x += extent;
        remaining -= extent;
        // Last: the child's SetPos may close the window.
        child->SetPos(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + childHeight)});
    });

    // 6.
    if (survived)
        ProcessScrollBar(inner, 0, 0);
}

} // namespace SkinUI
