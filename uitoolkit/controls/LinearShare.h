#pragma once
// How a linear layout shares its length: LinearMeasure sums what its children ask for along the
// axis in the measuring pass, LinearShare hands the lengths out in the placing pass. A child whose
// desired length along the axis is 0 is automatic: the automatic children get equal shares of
// the room the fixed ones leave (not below 0), except the last, which takes what its layout still
// has for it, so the remainder of the division goes to it. Every length then keeps within the
// child's minimum and maximum along the axis.
#include <windows.h>

#include <algorithm>

#include "uitoolkit/controls/LinearAxis.h"

namespace SkinUI {

struct LinearMeasure {
    int automatic = 0;  // measured children with a desired length of 0
    int measured = 0;   // the visible, non-floating children
    // The fixed children's lengths (within their limits) and every measured child's paddings
    // along the axis; the gaps between children are the layout's to add.
    long long fixedTotal = 0;

    // Counts one measured child that desired `desired`.
    void Add(CControlUI& child, LinearAxis axis, const SIZE& desired)
    {
        const LONG length = axis.Of(desired);
        if (length == 0)
            ++automatic;
        else
            fixedTotal += axis.Clamp(child, length);
        fixedTotal += axis.Sides(child.GetPadding());
        ++measured;
    }
};

class LinearShare {
public:
    // `room`: the layout's length less the fixed total.
    LinearShare(int automatic, long long room)
        : m_automatic(automatic), m_share(automatic > 0 ? std::max<long long>(0, room / automatic) : 0)
    {
    }

    // The length of the next child placed that desired `desired` along the axis: its own for a
    // fixed child, the share for an automatic one, `roomForLast` (not below 0) for the last
    // automatic one; then within the child's limits.
    long long LengthOf(CControlUI& child, LinearAxis axis, LONG desired, long long roomForLast)
    {
        if (desired != 0)
            return axis.Clamp(child, desired);
        const long long length = ++m_automaticPlaced == m_automatic ? std::max<long long>(0, roomForLast) : m_share;
        return axis.Clamp(child, length);
    }

private:
    int m_automatic;
    long long m_share;
    int m_automaticPlaced = 0;
};

} // namespace SkinUI
