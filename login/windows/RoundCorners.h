#pragma once
// Rounded corners for a skinned window: the window region becomes a rounded rectangle of the
// window's size with the skin's corner size ("roundcorner"). Nothing for a corner size of (0, 0).
#include <windows.h>

void ApplyRoundCorners(HWND hWnd, SIZE corner);
