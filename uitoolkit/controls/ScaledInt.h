#pragma once
// Proportions and limits for geometry driven by user-controlled sizes (scroll ranges, list
// lengths, slider limits, layout sums), on top of the saturating arithmetic: a proportion is
// formed in 64 bits so that long lists cannot overflow it, and a divisor of 0 never traps.
#include "uitoolkit/core/SaturatingInt.h"

namespace SkinUI {

// a x b / c in 64 bits, truncated toward zero like plain integer arithmetic; 0 when c is 0.
// Every caller keeps |a x b| below 2^63 (a span below 2^32 times a distance in pixels).
inline long long ScaleLong(long long a, long long b, long long c)
{
    if (c == 0) return 0;
    return a * b / c;
}

// ScaleLong brought back into the int range.
inline int ScaleInt(long long a, long long b, long long c)
{
    return ClampToInt(ScaleLong(a, b, c));
}

// A size clamped to a control's limits: below the minimum it becomes the minimum, then above
// the maximum the maximum (so the maximum wins when it is the smaller).
inline long long ClampToLimits(long long value, int min, int max)
{
    if (value < min) value = min;
    if (value > max) value = max;
    return value;
}

} // namespace SkinUI
