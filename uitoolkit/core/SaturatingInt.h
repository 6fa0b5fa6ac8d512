#pragma once
// Saturating integer arithmetic for geometry driven by numbers from skins, user input and long
// lists: sums and products are formed in 64 bits and brought back into the int range, so that
// an absurd size ends at the edge of the plane instead of wrapping round to its far side.
// Operands are ints or 64-bit values whose exact result fits in 64 bits.
#include <windows.h>

#include <algorithm>
#include <climits>

namespace SkinUI {

// The value clamped into the range of int.
constexpr int ClampToInt(long long value)
{
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

// a + b, a - b and a x b, clamped into the range of int.
constexpr int ClampedSum(long long a, long long b) { return ClampToInt(a + b); }
constexpr int ClampedDifference(long long a, long long b) { return ClampToInt(a - b); }
constexpr int ClampedProduct(long long a, long long b) { return ClampToInt(a * b); }

// The part of the box from (left, top) to (right, bottom) that lies inside `clip`; false when
// none does. The box's edges are 64-bit, as a box may reach past the integers; the part, being
// inside the clip, never does.
inline bool PartInsideClip(const RECT& clip, long long left, long long top, long long right, long long bottom,
                           RECT& part)
{
    const long long l = std::max<long long>(left, clip.left);
    const long long t = std::max<long long>(top, clip.top);
    const long long r = std::min<long long>(right, clip.right);
    const long long b = std::min<long long>(bottom, clip.bottom);
    if (r <= l || b <= t) return false;
    part = RECT{static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r), static_cast<LONG>(b)};
    return true;
}

} // namespace SkinUI
