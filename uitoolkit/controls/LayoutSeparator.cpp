#include "uitoolkit/controls/LayoutSeparator.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

void CLayoutSeparator::SetImmediate(CControlUI& layout, bool immediate)
{
    if (m_immediate == immediate)
        return;
    if (m_dragging && !m_immediate && layout.GetManager() != nullptr)
        layout.GetManager()->RemovePostPaint(&layout);
    m_immediate = immediate;
}

UINT CLayoutSeparator::BehaviourFlags(const CControlUI& layout) const
{
    return layout.IsEnabled() && m_size != 0 ? static_cast<UINT>(kBehaviourSetCursor) : 0u;
}

bool CLayoutSeparator::SetAttribute(CControlUI& layout, const wchar_t* sizeName, const wchar_t* name,
                                    const wchar_t* value)
{
    if (std::wcscmp(name, sizeName) == 0) {
        m_size = ParseInt(value);  // no relayout
        return true;
    }
    if (std::wcscmp(name, L"sepimm") == 0) {
        SetImmediate(layout, ParseBool(value));
        return true;
    }
    return false;
}

// A band on the start edge reaches |s| pixels in, one on the end edge s pixels; a vertical
// layout's band never leaves the rectangle, a horizontal one's is not limited.
RECT CLayoutSeparator::GetRect(const RECT& rcItem, bool useDrag) const
{
    const RECT& b = (m_dragging && useDrag) ? m_rcDrag : rcItem;
    const long long s = m_size;
    if (m_horizontal) {
        if (s < 0)
            return RECT{b.left, b.top, ClampToInt(b.left - s), b.bottom};
        return RECT{ClampToInt(b.right - s), b.top, b.right, b.bottom};
    }
    if (s < 0)
        return RECT{b.left, b.top, b.right, ClampToInt(std::min<long long>(b.top - s, b.bottom))};
    return RECT{b.left, ClampToInt(std::max<long long>(b.bottom - s, b.top)), b.right, b.bottom};
}

bool CLayoutSeparator::HasLostCapture(CControlUI& layout) const
{
    const CWindowHostUI* host = layout.GetManager();
    return host != nullptr && ::GetCapture() != host->GetPaintWindow();
}

bool CLayoutSeparator::HandleEvent(const ControlEvent& event, CControlUI& layout, RECT& rcItem, LONG& fixedExtent)
{
    const RECT band = GetRect(rcItem, false);
    switch (event.type) {
    case kEventButtonDown:
        if (!layout.IsEnabled() || !::PtInRect(&band, event.point))
            return false;
        m_dragging = true;
        m_lastMouse = event.point;
        m_rcDrag = rcItem;
        if (!m_immediate && layout.GetManager() != nullptr)
            layout.GetManager()->AddPostPaint(&layout);
        return true;
    case kEventButtonUp:
        if (!m_dragging)
            return false;
        EndDrag(layout, rcItem);
        return true;
    case kEventMouseMove:
        if (!m_dragging)
            return false;
        // A release that went to another window never comes: the drag ends here instead.
        if (HasLostCapture(layout))
            EndDrag(layout, rcItem);
        else
            Drag(event.point, layout, rcItem, fixedExtent);
        return true;
    case kEventSetCursor:
        if (!layout.IsEnabled() || !::PtInRect(&band, event.point))
            return false;
        ::SetCursor(::LoadCursorW(nullptr, m_horizontal ? IDC_SIZEWE : IDC_SIZENS));
        return true;
    default:
        return false;
    }
}

bool CLayoutSeparator::Drag(POINT pt, CControlUI& layout, RECT& rcItem, LONG& fixedExtent)
{
    const long long d = static_cast<long long>(Along(pt)) - Along(m_lastMouse);
    const long long at = Along(pt);
    m_lastMouse = pt;
    RECT moved = m_rcDrag;

    // 1. The band's edge follows the pointer; a move away from the band while the pointer is
    //    still on the far side of it is ignored, so that the band catches up with the pointer
    //    before it moves again.
    if (m_size < 0) {
        if ((d > 0 && at < Start(moved)) || (d < 0 && at > Start(moved) - static_cast<long long>(m_size)))
            return false;
        Start(moved) = ClampToInt(Start(moved) + d);
    } else {
        if ((d > 0 && at < End(moved) - static_cast<long long>(m_size)) || (d < 0 && at > End(moved)))
            return false;
        End(moved) = ClampToInt(End(moved) + d);
    }

    // 2. The layout's own minimum and maximum; at a limit, further moves beyond it are ignored.
    const int min = m_horizontal ? layout.GetMinWidth() : layout.GetMinHeight();
    const int max = m_horizontal ? layout.GetMaxWidth() : layout.GetMaxHeight();
    const long long dragExtent = static_cast<long long>(End(m_rcDrag)) - Start(m_rcDrag);
    const auto extent = [&] { return static_cast<long long>(End(moved)) - Start(moved); };
    const auto setExtent = [&](int length) {
        if (m_size < 0)
            Start(moved) = ClampToInt(End(moved) - static_cast<long long>(length));
        else
            End(moved) = ClampToInt(Start(moved) + static_cast<long long>(length));
    };
    if (extent() <= min) {
        if (dragExtent <= min)
            return false;
        setExtent(min);
    }
    if (extent() >= max) {
        if (dragExtent >= max)
            return false;
        setExtent(max);
    }

    // 3. The new size; immediate mode lays the parent out now, deferred mode repaints the band.
    RECT invalid = GetRect(rcItem, true);
    m_rcDrag = moved;
    fixedExtent = ClampToInt(extent());
    if (m_immediate) {
        rcItem = moved;
        layout.RequestParentLayout();
        return true;
    }
    const RECT now = GetRect(rcItem, true);
    const RECT atRest = GetRect(rcItem, false);
    ::UnionRect(&invalid, &invalid, &now);
    ::UnionRect(&invalid, &invalid, &atRest);
    if (layout.GetManager() != nullptr)
        layout.GetManager()->Invalidate(invalid);
    return true;
}

void CLayoutSeparator::EndDrag(CControlUI& layout, RECT& rcItem)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    rcItem = m_rcDrag;
    if (!m_immediate && layout.GetManager() != nullptr)
        layout.GetManager()->RemovePostPaint(&layout);
    layout.RequestParentLayout();
}

void CLayoutSeparator::Detach(CControlUI& layout)
{
    if (m_dragging && !m_immediate && layout.GetManager() != nullptr)
        layout.GetManager()->RemovePostPaint(&layout);
    m_dragging = false;
}

void CLayoutSeparator::PaintOverlay(HDC hDC) const
{
    if (m_dragging && !m_immediate)
        CRenderKit::DrawColor(hDC, GetRect(m_rcDrag, true), kOverlayColor);
}

} // namespace SkinUI
