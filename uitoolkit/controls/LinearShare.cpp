#include "uitoolkit/controls/LinearShare.h"

#include <algorithm>

namespace SkinUI {

void LinearMeasure::Add(CControlUI& child, LinearAxis axis, const SIZE& desired)
{
    const LONG length = axis.Of(desired);
    if (length == 0)
        ++automatic;
    else
        fixedTotal += axis.Clamp(child, length);
    fixedTotal += axis.Sides(child.GetPadding());
    ++measured;
}

LinearShare::LinearShare(int automatic, long long room)
    : m_automatic(automatic), m_share(automatic > 0 ? std::max<long long>(0, room / automatic) : 0)
{
}

long long LinearShare::LengthOf(CControlUI& child, LinearAxis axis, LONG desired, long long roomForLast)
{
    if (desired != 0)
        return axis.Clamp(child, desired);
    const long long length = ++m_automaticPlaced == m_automatic ? std::max<long long>(0, roomForLast) : m_share;
    return axis.Clamp(child, length);
}

} // namespace SkinUI
