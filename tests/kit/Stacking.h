#pragma once
// The stacking of top-level windows, read once Wine has settled it.
//
//   EXPECT_TRUE(kit::SettlesRightAbove(dialog, frame));
//
// Wine's X11 driver takes each exposure the X server reports as a sign that the exposed window
// lies on top there, and lifts it in its own order above the windows that cover that part. Two
// windows shown one after the other, the lower first, are each exposed when mapped: until the
// upper one's exposure arrives (late on a loaded machine), the lower one stands above it in Wine's
// order, though the X server, and so the screen, has it below. Once both are in, Wine's order is
// the one the user sees.
#include <windows.h>

namespace kit {

// Whether `upper` comes to lie right above `lower`, pumping messages for at most `timeoutMs`.
bool SettlesRightAbove(HWND upper, HWND lower, DWORD timeoutMs = 1000);

} // namespace kit
