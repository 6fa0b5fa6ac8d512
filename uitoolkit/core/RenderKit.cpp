#include "uitoolkit/core/RenderKit.h"

#include <algorithm>
#include <cmath>

#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/ImagePaintScope.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/SaturatingInt.h"

namespace SkinUI {

namespace {
// Pen widths come from skin numbers ("bordersize"); a wide pen costs in proportion to its width.
int SanePenWidth(int width)
{
    return std::clamp(width, 0, CRenderKit::kMaxRoundSize);
}
} // namespace

namespace {

BYTE AlphaOf(DWORD argb) { return static_cast<BYTE>(argb >> 24); }

// The part of the box (its far edges in 64 bits) that the device context's clip lets through;
// the whole box, brought into the integers, when the clip cannot be read. False when none.
bool VisibleBoxPart(HDC hDC, long long left, long long top, long long right, long long bottom, RECT& visible)
{
    RECT clipBox;
    switch (::GetClipBox(hDC, &clipBox)) {
    case NULLREGION:
        return false;
    case ERROR:
        visible = RECT{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
        return true;
    default:
        return PartInsideClip(clipBox, left, top, right, bottom, visible);
    }
}

// Band count exponent of the banded gradient: 2 bands below 4 steps up to 64 bands from 64 on.
int BandShift(int steps)
{
    if (steps < 4) return 1;
    if (steps < 8) return 2;
    if (steps < 16) return 3;
    if (steps < 32) return 4;
    if (steps < 64) return 5;
    return 6;
}

void DrawBandedGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const int shift = BandShift(steps);
    const int n = 1 << shift;
    const long long height = static_cast<long long>(rc.bottom) - rc.top;
    const long long width = static_cast<long long>(rc.right) - rc.left;
    for (int i = 0; i < n; ++i) {
        const auto mix = [&](int bit) {
            const int a = (first >> bit) & 0xFF;
            const int b = (second >> bit) & 0xFF;
            return static_cast<BYTE>((b * (n - i) + a * i) >> shift);
        };
        RECT band = rc;
        if (vertical) {
            band.top = static_cast<LONG>(rc.bottom - ((height * (i + 1)) >> shift));
            band.bottom = static_cast<LONG>(rc.bottom - ((height * i) >> shift));
        } else {
            band.left = static_cast<LONG>(rc.right - ((width * (i + 1)) >> shift));
            band.right = static_cast<LONG>(rc.right - ((width * i) >> shift));
        }
        if (band.top >= band.bottom || band.left >= band.right) continue;
        CGdiBrush brush(::CreateSolidBrush(RGB(mix(16), mix(8), mix(0))));
        if (brush) ::FillRect(hDC, &band, brush.Get());
    }
}

void DrawSystemGradient(GradientFillFn gradientFill, HDC hDC, const RECT& rc, DWORD first,
                        DWORD second, bool vertical)
{
    const auto vertex = [](LONG x, LONG y, DWORD argb) {
        TRIVERTEX v{};
        v.x = x;
        v.y = y;
        v.Red = static_cast<COLOR16>(((argb >> 16) & 0xFF) << 8);
        v.Green = static_cast<COLOR16>(((argb >> 8) & 0xFF) << 8);
        v.Blue = static_cast<COLOR16>((argb & 0xFF) << 8);
        v.Alpha = 0xFF00;
        return v;
    };
    TRIVERTEX vertices[2] = {vertex(rc.left, rc.top, first), vertex(rc.right, rc.bottom, second)};
    GRADIENT_RECT gradient{0, 1};
    gradientFill(hDC, vertices, 2, &gradient, 1,
                 vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

} // namespace

// ---- colour arithmetic ----

void RgbToHsl(DWORD color, float* h, float* s, float* l)
{
    const auto unit = [](DWORD byte) { return std::clamp(static_cast<float>(byte) / 255.0f, 0.0f, 1.0f); };
    const float red = unit(color & 0xFF);
    const float green = unit((color >> 8) & 0xFF);
    const float blue = unit((color >> 16) & 0xFF);
    const float mx = std::max({red, green, blue});
    const float mn = std::min({red, green, blue});
    *l = (mx + mn) / 2.0f;
    if (mx == mn) {
        *s = 0.0f;
        *h = 0.0f;
        return;
    }
    const float d = mx - mn;
    float hue;
    if (red != mn) {
        hue = (green == mn) ? 5.0f - (blue - red) / d : 1.0f - (red - green) / d;
    } else {
        hue = 3.0f - (green - blue) / d;
    }
    if (hue >= 6.0f) hue -= 6.0f;
    *h = hue * 60.0f;
    *s = (2.0f * *l > 1.0f) ? d / (2.0f - mx - mn) : d / (mx + mn);
}

void HslToRgb(DWORD* color, float h, float s, float l)
{
    const float q = (2.0f * l < 1.0f) ? l * (1.0f + s) : l + s - l * s;
    const float p = 2.0f * l - q;
    const float t = h / 360.0f;
    const auto channel = [&](float tc) {
        if (tc < 0.0f) tc += 1.0f;
        else if (tc > 1.0f) tc -= 1.0f;
        float value;
        if (6.0f * tc < 1.0f) value = p + (q - p) * 6.0f * tc;
        else if (2.0f * tc < 1.0f) value = q;
        else if (3.0f * tc < 2.0f) value = p + (q - p) * (2.0f / 3.0f - tc) * 6.0f;
        else value = p;
        return static_cast<DWORD>(std::clamp(value * 255.0f, 0.0f, 255.0f));
    };
    const DWORD red = channel(t + 1.0f / 3.0f);
    const DWORD green = channel(t);
    const DWORD blue = channel(t - 1.0f / 3.0f);
    *color = (*color & 0xFF000000) | (blue << 16) | (green << 8) | red;
}

DWORD BlendPixel(DWORD a, double wa, DWORD b, double wb)
{
    DWORD result = 0;
    for (int bit = 0; bit < 24; bit += 8) {
        // The tiny bias keeps exact results (127.0 computed as 126.99999...) from truncating
        // one step low; sums beyond a byte saturate rather than wrap.
        const double value = ((a >> bit) & 0xFF) * wa + ((b >> bit) & 0xFF) * wb + 1e-7;
        const DWORD byte = static_cast<DWORD>(std::clamp(value, 0.0, 255.0));
        result |= (byte & 0xFF) << bit;
    }
    return result;
}

DWORD CRenderKit::AdjustColor(DWORD color, short hue, short saturation, short lightness)
{
    if (hue == 180 && saturation == 100 && lightness == 100) return color;
    float h, s, l;
    RgbToHsl(color, &h, &s, &l);
    h = static_cast<float>(hue - 180) + h;
    if (h <= 0.0f) h += 360.0f;
    s = s * saturation / 100.0f;
    l = l * lightness / 100.0f;
    HslToRgb(&color, h, s, l);
    return color;
}

// ---- fills, lines, text ----

void CRenderKit::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    const BYTE alpha = AlphaOf(color);
    if (alpha == 0) return;
    if (alpha == 0xFF) {
        ::SetBkColor(hDC, ArgbToColorRef(color));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        return;
    }
    // A translucent fill is a one-pixel image stretched over the rectangle (the paint's shared
    // one when a paint scope is open). AlphaBlend expects premultiplied colour, so the pixel's
    // colour bytes are scaled by its alpha.
    const auto premultiply = [&](int bit) { return (((color >> bit) & 0xFF) * alpha / 255) << bit; };
    const DWORD pixel = (static_cast<DWORD>(alpha) << 24) | premultiply(16) | premultiply(8) | premultiply(0);
    CGdiBitmap own;
    CImagePaintScope* scope = CImagePaintScope::Current();
    HBITMAP bitmap = scope != nullptr ? scope->Pixel(pixel) : nullptr;
    if (bitmap == nullptr) {
        void* bits = nullptr;
        own = CreateDib32(1, 1, &bits);
        if (!own) return;
        *static_cast<DWORD*>(bits) = pixel;
        bitmap = own.Get();
    }
    const RECT rcSource{0, 0, 1, 1};
    const RECT rcCorners{0, 0, 0, 0};
    DrawImage(hDC, bitmap, rc, rc, rcSource, rcCorners, true, 255);
}

void CRenderKit::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical,
                              int steps)
{
    const AlphaBlendFn alphaBlend = CMsimgEntryPoints::AlphaBlend();
    const GradientFillFn gradientFill = CMsimgEntryPoints::GradientFill();
    const int alpha = (AlphaOf(first) + AlphaOf(second)) / 2;
    if (alpha == 0) return;
    // Sides beyond the range GDI works in come only from absurd skin numbers.
    const long long wide = static_cast<long long>(rc.right) - rc.left;
    const long long high = static_cast<long long>(rc.bottom) - rc.top;
    if (wide <= 0 || high <= 0 || wide > kMaxGdiCoord || high > kMaxGdiCoord) return;
    const int width = static_cast<int>(wide);
    const int height = static_cast<int>(high);

    const auto draw = [&](HDC target, const RECT& area) {
        if (gradientFill != nullptr) DrawSystemGradient(gradientFill, target, area, first, second, vertical);
        else DrawBandedGradient(target, area, first, second, vertical, steps);
    };
    if (alpha == 255) {
        draw(hDC, rc);
        return;
    }
    // Translucent: draw on a working surface, then blend it with a constant alpha. The surface's
    // own alpha bytes are meaningless after a GDI fill, so they take no part in the blend. The
    // surface holds only the part inside the target's clip (the rectangle may be far larger
    // than any screen); the gradient is laid over it where the whole one would lie.
    RECT visible;
    if (!VisiblePart(hDC, rc, visible)) return;
    const int visibleWidth = visible.right - visible.left;
    const int visibleHeight = visible.bottom - visible.top;
    CMemoryDC work(hDC);
    CGdiBitmap surface(::CreateCompatibleBitmap(hDC, visibleWidth, visibleHeight));
    if (!work || !surface) return;
    CSelectObject select(work.Get(), surface.Get());
    const LONG dx = rc.left - visible.left, dy = rc.top - visible.top;
    draw(work.Get(), RECT{dx, dy, dx + width, dy + height});
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    alphaBlend(hDC, visible.left, visible.top, visibleWidth, visibleHeight, work.Get(), 0, 0,
               visibleWidth, visibleHeight, blend);
}

bool CRenderKit::VisiblePart(HDC hDC, const RECT& rc, RECT& visible)
{
    return VisibleBoxPart(hDC, rc.left, rc.top, rc.right, rc.bottom, visible);
}

void CRenderKit::DrawLine(HDC hDC, const RECT& rc, int penWidth, DWORD color)
{
    CGdiPen pen(::CreatePen(PS_SOLID, SanePenWidth(penWidth), ArgbToColorRef(color)));
    CSelectObject select(hDC, pen.Get());
    ::MoveToEx(hDC, rc.left, rc.top, nullptr);
    ::LineTo(hDC, rc.right, rc.bottom);
}

void CRenderKit::ClampRoundRect(RECT& rc, int& ellipseWidth, int& ellipseHeight)
{
    rc.left = std::clamp<LONG>(rc.left, -kMaxGdiCoord, kMaxGdiCoord);
    rc.top = std::clamp<LONG>(rc.top, -kMaxGdiCoord, kMaxGdiCoord);
    rc.right = std::clamp<LONG>(rc.right, rc.left, kMaxGdiCoord);
    rc.bottom = std::clamp<LONG>(rc.bottom, rc.top, kMaxGdiCoord);
    const LONG width = std::min<LONG>(rc.right - rc.left, kMaxRoundSize);
    const LONG height = std::min<LONG>(rc.bottom - rc.top, kMaxRoundSize);
    ellipseWidth = static_cast<int>(std::clamp<LONG>(ellipseWidth, 0, width));
    ellipseHeight = static_cast<int>(std::clamp<LONG>(ellipseHeight, 0, height));
}

// Both outlines select back the pen and the hollow brush they select into the caller's DC.
void CRenderKit::DrawRect(HDC hDC, const RECT& rc, int penWidth, DWORD color)
{
    CGdiPen pen(::CreatePen(PS_INSIDEFRAME, SanePenWidth(penWidth), ArgbToColorRef(color)));
    CSelectObject select(hDC, pen.Get());
    CSelectObject brush(hDC, ::GetStockObject(HOLLOW_BRUSH));
    ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CRenderKit::DrawRoundRect(HDC hDC, const RECT& rc, int penWidth, int ellipseWidth,
                               int ellipseHeight, DWORD color)
{
    RECT safe = rc;
    ClampRoundRect(safe, ellipseWidth, ellipseHeight);
    CGdiPen pen(::CreatePen(PS_INSIDEFRAME, SanePenWidth(penWidth), ArgbToColorRef(color)));
    CSelectObject select(hDC, pen.Get());
    CSelectObject brush(hDC, ::GetStockObject(HOLLOW_BRUSH));
    ::RoundRect(hDC, safe.left, safe.top, safe.right, safe.bottom, ellipseWidth, ellipseHeight);
}

void CRenderKit::DrawText(HDC hDC, CHostResources* host, RECT& rc, const wchar_t* text, DWORD color,
                          int font, UINT format)
{
    if (text == nullptr || host == nullptr) return;
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ArgbToColorRef(color));
    CSelectObject select(hDC, host->GetFont(font));
    ::DrawTextW(hDC, text, -1, &rc, format | DT_NOPREFIX);
}

// ---- software AlphaBlend ----

BOOL WINAPI CRenderKit::AlphaBlendFallback(HDC hDest, int xDest, int yDest, int wDest, int hDest2,
                                           HDC hSrc, int xSrc, int ySrc, int wSrc, int hSrc2,
                                           BLENDFUNCTION blend)
{
    if (wDest <= 0 || hDest2 <= 0 || wSrc <= 0 || hSrc2 <= 0) return FALSE;
    // Only the part of the destination inside its clip is blended: the destination may be far
    // larger than any surface, and may end past the integers.
    RECT visible;
    if (!VisibleBoxPart(hDest, xDest, yDest, static_cast<long long>(xDest) + wDest,
                        static_cast<long long>(yDest) + hDest2, visible))
        return TRUE;
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;

    CMemoryDC mem(hDest);
    if (!mem) return FALSE;
    void* srcBits = nullptr;
    void* dstBits = nullptr;
    const CGdiBitmap srcDib = CreateDib32(width, height, &srcBits, hDest);
    const CGdiBitmap dstDib = CreateDib32(width, height, &dstBits, hDest);
    if (!srcDib || !dstDib) return FALSE;

    // The whole stretch placed so that its visible part lands in the working picture: GDI cuts
    // it to the picture, and each pixel comes from where the whole stretch would take it.
    HGDIOBJ old = ::SelectObject(mem.Get(), srcDib.Get());
    ::SetStretchBltMode(mem.Get(), COLORONCOLOR);
    ::StretchBlt(mem.Get(), xDest - visible.left, yDest - visible.top, wDest, hDest2, hSrc, xSrc, ySrc,
                 wSrc, hSrc2, SRCCOPY);
    ::SelectObject(mem.Get(), dstDib.Get());
    ::BitBlt(mem.Get(), 0, 0, width, height, hDest, visible.left, visible.top, SRCCOPY);

    // AlphaBlend's own formula: with AC_SRC_ALPHA the source is premultiplied, so
    //   dst = src * ca + dst * (1 - srcAlpha * ca),   ca = constant alpha / 255;
    // without it every source pixel counts as opaque.
    const double ca = blend.SourceConstantAlpha / 255.0;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const auto* src = static_cast<const DWORD*>(srcBits);
    auto* dst = static_cast<DWORD*>(dstBits);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        const double srcAlpha = perPixel ? (src[i] >> 24) / 255.0 : 1.0;
        const double keep = std::max(0.0, 1.0 - srcAlpha * ca);
        const DWORD rgb = BlendPixel(src[i], ca, dst[i], keep);
        const double alpha = (src[i] >> 24) * ca + (dst[i] >> 24) * keep + 1e-7;
        dst[i] = rgb | (static_cast<DWORD>(std::clamp(alpha, 0.0, 255.0)) << 24);
    }

    ::BitBlt(hDest, visible.left, visible.top, width, height, mem.Get(), 0, 0, SRCCOPY);
    ::SelectObject(mem.Get(), old);
    return TRUE;
}

} // namespace SkinUI
