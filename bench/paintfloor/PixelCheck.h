#pragma once
// The paint floor's pixel check: both windows read back, and where they differ reported with the
// recorded calls, so that a floor that does not give the toolkit's pixels shows why.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "RecordedCall.h"

namespace paintfloor {

// The window's client pixels as 0xRRGGBB, read with the real BitBlt (not the recorder's hook).
std::vector<uint32_t> WindowPixels(HWND hwnd, int width, int height);

// The number of pixels where the two differ. When some do: the rectangle around them, the first
// ones, and the recorded calls on the offscreen context are printed.
size_t ReportDifferences(const std::vector<uint32_t>& mine, const std::vector<uint32_t>& theirs, int width, int height,
                         const std::vector<Call>& calls, HDC offscreen);

} // namespace paintfloor
