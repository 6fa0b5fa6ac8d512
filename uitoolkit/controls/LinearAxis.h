#pragma once
// LinearAxis: one direction of a layout, x or y. It says which coordinates of rectangles, sizes
// and paddings lie along that direction and which of a control's fixed size and limits apply, so
// that one placement rule serves both orientations: the vertical layout runs it along y, the
// horizontal one along x, each with the other axis across.
#include <windows.h>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

class LinearAxis {
public:
    static constexpr LinearAxis X() { return LinearAxis(true); }
    static constexpr LinearAxis Y() { return LinearAxis(false); }

    constexpr bool IsX() const { return m_x; }
    constexpr LinearAxis Across() const { return LinearAxis(!m_x); }

    // Of two values given as (x, y), the one along this axis.
    template <typename T>
    constexpr T Pick(T x, T y) const { return m_x ? x : y; }
    LONG Of(const SIZE& size) const { return m_x ? size.cx : size.cy; }
    // The left or top, and the right or bottom, of a rectangle (a padding's sides too).
    LONG Start(const RECT& rc) const { return m_x ? rc.left : rc.top; }
    LONG End(const RECT& rc) const { return m_x ? rc.right : rc.bottom; }
    // End minus start, in 64 bits: a skin may give any coordinates.
    long long Length(const RECT& rc) const { return static_cast<long long>(End(rc)) - Start(rc); }
    // Both sides of a padding along the axis.
    long long Sides(const RECT& padding) const { return static_cast<long long>(Start(padding)) + End(padding); }

    int FixedOf(CControlUI& control) const { return m_x ? control.GetFixedWidth() : control.GetFixedHeight(); }
    // A length brought within the control's minimum, then maximum along the axis.
    long long Clamp(CControlUI& control, long long length) const
    {
        return m_x ? ClampToLimits(length, control.GetMinWidth(), control.GetMaxWidth())
                   : ClampToLimits(length, control.GetMinHeight(), control.GetMaxHeight());
    }

    // A size of `along` on this axis and `across` on the other, each clamped into int.
    SIZE MakeSize(long long along, long long across) const
    {
        const int a = ClampToInt(along), b = ClampToInt(across);
        return m_x ? SIZE{a, b} : SIZE{b, a};
    }
    // The rectangle starting at (`start`, `acrossStart`) that is `length` long on this axis and
    // `thickness` on the other; each coordinate clamped into int.
    RECT MakeRect(long long start, long long length, long long acrossStart, long long thickness) const
    {
        const int a0 = ClampToInt(start), a1 = ClampToInt(start + length);
        const int b0 = ClampToInt(acrossStart), b1 = ClampToInt(acrossStart + thickness);
        return m_x ? RECT{a0, b0, a1, b1} : RECT{b0, a0, b1, a1};
    }

private:
    explicit constexpr LinearAxis(bool x) : m_x(x) {}

    bool m_x;
};

} // namespace SkinUI
