#pragma once
// CLayoutSeparator: the draggable band on one edge of a vertical or horizontal layout with which
// the user changes the layout's own height (vertical) or width (horizontal). One object per
// layout; the drag works the same along either axis.
//
// Size s: 0 = no band; negative = |s| pixels along the start edge (top / left); positive = s
// pixels along the end edge (bottom / right). Deferred mode (the default) shows a translucent
// band that follows the pointer (through the host's post-paint list) and resizes the layout at
// release; immediate mode resizes at every move.
#include <windows.h>

#include "uitoolkit/core/ControlEvent.h"

namespace SkinUI {

class CControlUI;

class CLayoutSeparator {
public:
    static constexpr DWORD kOverlayColor = 0xAA000000;

    explicit CLayoutSeparator(bool horizontal) : m_horizontal(horizontal) {}

    int GetSize() const { return m_size; }
    void SetSize(int size) { m_size = size; }
    bool IsImmediate() const { return m_immediate; }
    // Switching during a deferred drag takes the layout off the post-paint list.
    void SetImmediate(CControlUI& layout, bool immediate);
    bool IsDragging() const { return m_dragging; }

    // The band at the control rectangle, or at the dragged rectangle while a drag runs and
    // useDrag is set.
    RECT GetRect(const RECT& rcItem, bool useDrag) const;

    // The layout's behaviour flags: set-cursor events while it is enabled and has a band.
    UINT BehaviourFlags(const CControlUI& layout) const;
    // The layout's separator attributes: `sizeName` ("sepheight" / "sepwidth") and "sepimm".
    // False for any other name.
    bool SetAttribute(CControlUI& layout, const wchar_t* sizeName, const wchar_t* name, const wchar_t* value);

    // Handles one of the layout's events; false when it is not the separator's (the container's
    // handling follows). `rcItem` and `fixedExtent` are the layout's own control rectangle and
    // fixed height (vertical) or width (horizontal), changed directly as a drag requires.
    bool HandleEvent(const ControlEvent& event, CControlUI& layout, RECT& rcItem, LONG& fixedExtent);
    // The translucent band of a deferred drag.
    void PaintOverlay(HDC hDC) const;
    // Ends a running drag as a release would (also when the window lost the mouse capture).
    void EndDrag(CControlUI& layout, RECT& rcItem);
    // Leaves the host's post-paint list; for the layout's destructor.
    void Detach(CControlUI& layout);

private:
    // Coordinates along the axis.
    int Along(POINT pt) const { return m_horizontal ? pt.x : pt.y; }
    LONG& Start(RECT& rc) const { return m_horizontal ? rc.left : rc.top; }
    LONG& End(RECT& rc) const { return m_horizontal ? rc.right : rc.bottom; }
    // Applies a move of the pointer; false when the move is ignored.
    bool Drag(POINT pt, CControlUI& layout, RECT& rcItem, LONG& fixedExtent);
    bool HasLostCapture(CControlUI& layout) const;

    bool m_horizontal;
    int m_size = 0;
    bool m_dragging = false;  // the captured bit of the drag state
    POINT m_lastMouse = {0, 0};
    RECT m_rcDrag = {0, 0, 0, 0};
    bool m_immediate = false;
};

} // namespace SkinUI
