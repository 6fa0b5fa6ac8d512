#pragma once
// A window's client area, painted by the window itself on WM_PRINTCLIENT (the host paints its
// control tree there), captured into a DibCanvas (32-bit top-down DIB, pixels read as 0xRRGGBB).
//
//   auto shot = kit::CaptureClient(win.Hwnd());
//   EXPECT_EQ(shot->Pixel(5, 5), 0xFF0000u);
#include <windows.h>

#include <cstdint>
#include <memory>

#include "kit/DibCanvas.h"

namespace kit {

std::unique_ptr<DibCanvas> CaptureClient(HWND hWnd, uint32_t background = 0xFFFFFF);

// The client area as it shows on the screen (what the window's WM_PAINT put there), read back
// from the window's device context.
std::unique_ptr<DibCanvas> CaptureScreen(HWND hWnd);
// A rectangle of the screen (screen coordinates) as the display shows it, layered windows with
// their alpha included: the raw pixels are in Bits(), 0xAARRGGBB.
std::unique_ptr<DibCanvas> CaptureScreen(const RECT& rc);

} // namespace kit
