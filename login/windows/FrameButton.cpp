#include "login/windows/FrameButton.h"

#include <climits>

RECT FrameButton::FrameRect() const
{
    const RECT& src = CurrentSource();
    // Skin numbers may be anything: the sum is kept in 64 bits and clamped.
    const auto add = [](long long a, long long b) {
        const long long sum = a + b;
        return static_cast<LONG>(sum > LONG_MAX ? LONG_MAX : (sum < LONG_MIN ? LONG_MIN : sum));
    };
    return RECT{x, y, add(x, static_cast<long long>(src.right) - src.left),
                add(y, static_cast<long long>(src.bottom) - src.top)};
}

bool FrameButton::HitTest(POINT pt) const
{
    const RECT rc = FrameRect();
    return ::PtInRect(&rc, pt) != FALSE;
}

bool FrameButton::IsUsable(UINT s) const
{
    if (s >= kStateCount || image[s].empty()) return false;
    const RECT& rc = source[s];
    return rc.right > rc.left && rc.bottom > rc.top;
}

bool FrameButton::SetState(UINT s)
{
    if (s == state || !IsUsable(s)) return false;
    state = s;
    dirty = true;
    return true;
}
