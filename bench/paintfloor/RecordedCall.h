#pragma once
// One drawing call of a recorded paint: what was drawn where, from which source, with the
// context's state (font, colours, brush, pen, clip) at that moment.
#include <windows.h>

#include <string>
#include <vector>

namespace paintfloor {

enum class Kind { Blit, Stretch, Alpha, DrawText, TextOut, ExtText, FillRect, Gradient, Rectangle, RoundRect, Line };

struct Call {
    Kind kind;
    HDC dc = nullptr;
    HWND window = nullptr;   // the window whose DC it is
    RECT dest{};
    RECT source{};
    HBITMAP sourceBitmap = nullptr;
    DWORD sourcePixel = 0;   // a one-pixel source's pixel, read when drawn
    bool onePixel = false;
    HDC sourceDC = nullptr;
    BLENDFUNCTION blend{};
    std::wstring text;
    UINT format = 0;         // DrawTextW format, or ExtTextOutW options
    POINT at{};              // text origin, line end, ellipse size
    bool hasRect = false;    // ExtTextOutW rectangle given
    LOGFONTW font{};
    COLORREF textColor = 0, bkColor = 0;
    int bkMode = 0;
    COLORREF brush = 0;      // FillRect's or the selected brush's colour
    bool hollow = false;     // the selected brush is the hollow one
    LOGPEN pen{};
    POINT from{};            // a line's start
    std::vector<TRIVERTEX> vertices;
    std::vector<GRADIENT_RECT> mesh;
    ULONG mode = 0;
    std::vector<RECT> clip;  // the clip region's rectangles; none: no clip
    bool clipped = false;
};

} // namespace paintfloor
