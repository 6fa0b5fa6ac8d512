#include "kit/Stacking.h"

#include "kit/Pump.h"

namespace kit {

bool SettlesRightAbove(HWND upper, HWND lower, DWORD timeoutMs)
{
    return PumpUntil([&] { return ::GetWindow(lower, GW_HWNDPREV) == upper; }, timeoutMs);
}

} // namespace kit
