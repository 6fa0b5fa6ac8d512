#pragma once
// The toolkit's stateless drawing functions over a GDI device context. Every colour is 32-bit
// ARGB (0xAARRGGBB); GDI gets it with red and blue swapped and the alpha dropped.
#include <windows.h>

#include <memory>

#include "uitoolkit/core/ImageEntry.h"

namespace SkinUI {

class CHostResources;
class CWindowHostUI;

// The GDI colour reference of an ARGB colour.
inline COLORREF ArgbToColorRef(DWORD argb)
{
    return RGB(GetBValue(argb), GetGValue(argb), GetRValue(argb));
}

// Colour arithmetic behind AdjustColor. The colour's LOW byte is read and written as red,
// the middle as green, the third as blue; h is in degrees, s and l in 0..1.
void RgbToHsl(DWORD color, float* h, float* s, float* l);
void HslToRgb(DWORD* color, float h, float s, float l);  // keeps the top byte
// Each of the three low bytes: trunc(a * wa + b * wb) & 0xFF; the top byte of the result is 0.
DWORD BlendPixel(DWORD a, double wa, DWORD b, double wb);

class CRenderKit {
public:
    // Largest side of an image that is decoded or composed: skin images come from game data and
    // must fail closed.
    static constexpr int kMaxImageSide = 16384;
    // Largest pixel count of an image that is decoded (256 MiB of pixels at 32 bits).
    static constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;
    // Largest corner ellipse side drawn or clipped: corner sizes come from skin numbers, and the
    // cost of a round region grows with them.
    static constexpr int kMaxRoundSize = 4096;
    // Coordinates handed to GDI from skin numbers stay within the range GDI works in, so that
    // adding one never overflows.
    static constexpr LONG kMaxGdiCoord = (1 << 27) - 1;

    // A rectangle and corner ellipse from skin numbers made safe for GDI: coordinates within the
    // GDI range, the ellipse no larger than the rectangle nor kMaxRoundSize, never negative.
    static void ClampRoundRect(RECT& rc, int& ellipseWidth, int& ellipseHeight);
    // The part of rc that the device context's clip lets through (all of rc when the clip cannot
    // be read): draws work on that only, whatever size a skin gives them. False when none.
    static bool VisiblePart(HDC hDC, const RECT& rc, RECT& visible);

    // Hue shift and saturation / lightness scaling; (180, 100, 100) returns the colour as is.
    static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);

    // Fill: alpha 0 draws nothing, 0xFF a solid fill, anything between a blended fill.
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    // Two-colour gradient, the first colour at the top (vertical) or left. `steps` picks the band
    // count where the system offers no GradientFill.
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical,
                             int steps);
    // Line from the rectangle's left-top to its right-bottom corner.
    static void DrawLine(HDC hDC, const RECT& rc, int penWidth, DWORD color);
    static void DrawRect(HDC hDC, const RECT& rc, int penWidth, DWORD color);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int penWidth, int ellipseWidth,
                              int ellipseHeight, DWORD color);
    // Plain text in the host's font `font` (negative or unknown: the default font). The
    // rectangle is written back when the format asks DrawTextW to (DT_CALCRECT).
    static void DrawText(HDC hDC, CHostResources* host, RECT& rc, const wchar_t* text, DWORD color,
                         int font, UINT format);

    // Software AlphaBlend for systems whose msimg32 lacks it (same arguments and formula).
    static BOOL WINAPI AlphaBlendFallback(HDC hDest, int xDest, int yDest, int wDest, int hDest2,
                                          HDC hSrc, int xSrc, int ySrc, int wSrc, int hSrc2,
                                          BLENDFUNCTION blend);

    // Image loading. With a type, `name` is a resource id or name of the resource module;
    // without, a file looked up in the resource paths and then the resource zip (when set).
    static std::unique_ptr<ImageEntry> LoadImage(const wchar_t* name, const wchar_t* type,
                                                 DWORD mask);
    // As LoadImage, but a file is looked up only as directory + name (or in the zip when set).
    static std::unique_ptr<ImageEntry> LoadImageFromDir(const wchar_t* directory,
                                                        const wchar_t* name, const wchar_t* type,
                                                        DWORD mask);
    // Decodes an encoded image (PNG, JPEG, BMP, ...) held in memory; null for bad data.
    static std::unique_ptr<ImageEntry> DecodeImage(const BYTE* data, size_t size, DWORD mask);

    // Draws the image string (a bare file name or key='value' items) and then the modifier
    // string into rc, limited to rcPaint. False for a null DC, host or image string and when an
    // image the strings name cannot be loaded (no such entry, an unreadable or undecodable
    // file); true when all loaded, also when nothing of them fell inside rcPaint.
    static bool DrawImageBySpec(HDC hDC, CHostResources* host, const RECT& rc, const RECT& rcPaint,
                                const wchar_t* image, const wchar_t* modify = nullptr);
    // Draws one image of the host's image map (loaded on first use). False when it is missing.
    static bool DrawImageEntry(HDC hDC, CHostResources* host, const RECT& rc, const RECT& rcPaint,
                               const wchar_t* name, const wchar_t* type, const RECT& rcDest,
                               const RECT& rcSource, const RECT& rcCorners, DWORD mask, BYTE fade,
                               bool hole, bool xTiled, bool yTiled);
    // Nine-grid blit of the source part of a bitmap onto rc: corners unstretched, edges stretched
    // along their length, middle stretched or tiled (or left out with `hole`). With `opaque`
    // (where the bitmap is opaque), opaque parts are copied rather than blended.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint,
                          const RECT& rcSource, const RECT& rcCorners, bool alpha, BYTE fade = 255,
                          bool hole = false, bool xTiled = false, bool yTiled = false,
                          const COpaqueRows* opaque = nullptr);

    // Marked-up text (tags for fonts, colours, links, images ...), wrapped into rc; reports the
    // rectangles and texts of the links drawn (linkCount: capacity in, count out; a null array
    // means no capacity). With DT_CALCRECT it measures instead and writes the needed size back
    // into rc; a single line drawn centred or right-aligned moves rc to where it went.
    static void DrawMarkedUpText(HDC hDC, CWindowHostUI* host, RECT& rc, const wchar_t* text,
                                 DWORD color, RECT* linkRects, CUIString* linkTexts,
                                 int& linkCount, UINT format);
};

} // namespace SkinUI
