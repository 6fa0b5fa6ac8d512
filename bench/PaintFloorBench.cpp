// How close the toolkit paints the login window to the cheapest drawing of the same pixels.
//
// The floor: the GDI calls of one paint of the window are recorded (pictures with their source
// and destination rectangles and blend, texts with font, colour, rectangle and format, fills,
// gradients, outlines, each with the clip it was drawn under) and replayed by a plain Win32
// window the cheapest way: each picture decoded once into its own DIB and memory context, its
// opaque rows copied and only the others blended, single-line texts drawn with ExtTextOutW at
// positions computed once, state set only when it changes. The replay must give the toolkit's
// pixels exactly (0 differing pixels, or the benchmark fails).
//
// Measured for both pages of the sample skin (the login window built from "LoginWindowEx.xml" by
// the real dialog builder with the program's factory) and for the benchmarks' own login skin:
// repaint, first paint with the pictures loaded (warm) and first paint with pictures still to
// load (cold), each as the ratio of the toolkit's time to the floor's same step, medians.
// Run by hand:  wine PaintFloorBench.exe [rounds=15] [sample skin folder] [ms to show both windows]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchLoginSkin.h"
#include "kit/HostWindow.h"
#include "kit/ImportPatch.h"
#include "kit/Pump.h"
#include "kit/TempDir.h"
#include "login/windows/DialogBuilderCallbackEx.h"
#include "tests/launcher/LauncherProcess.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/OpaqueRows.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/SkinFileReader.h"
#include "uitoolkit/core/TextPlacement.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

using bench::Median;

// ---- recording ------------------------------------------------------------------------------

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

std::vector<Call>* g_calls = nullptr;
DWORD g_holdMs = 0;  // how long both windows stay up after the pixel check, to be looked at
std::map<std::string, void*> g_originals;

template <class F>
F Original(const char* name)
{
    return reinterpret_cast<F>(g_originals[name]);
}

Call Begin(Kind kind, HDC dc)
{
    Call call;
    call.kind = kind;
    call.dc = dc;
    call.window = ::WindowFromDC(dc);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetClipRgn(dc, rgn) == 1) {
        call.clipped = true;
        const DWORD size = ::GetRegionData(rgn, 0, nullptr);
        std::vector<char> data(size);
        auto* region = reinterpret_cast<RGNDATA*>(data.data());
        if (size != 0 && ::GetRegionData(rgn, size, region) != 0) {
            const auto* rects = reinterpret_cast<const RECT*>(region->Buffer);
            call.clip.assign(rects, rects + region->rdh.nCount);
        }
    }
    ::DeleteObject(rgn);
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof(call.font), &call.font);
    call.textColor = ::GetTextColor(dc);
    call.bkColor = ::GetBkColor(dc);
    call.bkMode = ::GetBkMode(dc);
    LOGBRUSH lb{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_BRUSH), sizeof(lb), &lb);
    call.hollow = lb.lbStyle == BS_HOLLOW;
    call.brush = lb.lbColor;
    ::GetObjectW(::GetCurrentObject(dc, OBJ_PEN), sizeof(call.pen), &call.pen);
    return call;
}

void Source(Call& call, HDC src, int x, int y, int w, int h)
{
    call.sourceDC = src;
    call.source = RECT{x, y, x + w, y + h};
    call.sourceBitmap = static_cast<HBITMAP>(::GetCurrentObject(src, OBJ_BITMAP));
    DIBSECTION dib{};
    if (::GetObjectW(call.sourceBitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmWidth == 1 &&
        dib.dsBm.bmHeight == 1 && dib.dsBm.bmBits != nullptr) {
        ::GdiFlush();
        call.sourcePixel = *static_cast<const DWORD*>(dib.dsBm.bmBits);
        call.onePixel = true;
    }
}

BOOL WINAPI RecBitBlt(HDC dc, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
{
    if (g_calls != nullptr && rop == SRCCOPY) {
        Call call = Begin(Kind::Blit, dc);
        call.dest = RECT{x, y, x + w, y + h};
        Source(call, src, sx, sy, w, h);
        g_calls->push_back(call);
    }
    return Original<decltype(&::BitBlt)>("BitBlt")(dc, x, y, w, h, src, sx, sy, rop);
}

BOOL WINAPI RecStretchBlt(HDC dc, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::Stretch, dc);
        call.dest = RECT{x, y, x + w, y + h};
        Source(call, src, sx, sy, sw, sh);
        g_calls->push_back(call);
    }
    return Original<decltype(&::StretchBlt)>("StretchBlt")(dc, x, y, w, h, src, sx, sy, sw, sh, rop);
}

BOOL WINAPI RecAlphaBlend(HDC dc, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, BLENDFUNCTION bf)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::Alpha, dc);
        call.dest = RECT{x, y, x + w, y + h};
        Source(call, src, sx, sy, sw, sh);
        call.blend = bf;
        g_calls->push_back(call);
    }
    return Original<SkinUI::AlphaBlendFn>("AlphaBlend")(dc, x, y, w, h, src, sx, sy, sw, sh, bf);
}

BOOL WINAPI RecGradientFill(HDC dc, PTRIVERTEX v, ULONG nv, PVOID mesh, ULONG nm, ULONG mode)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::Gradient, dc);
        call.vertices.assign(v, v + nv);
        const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
        if (mode != GRADIENT_FILL_TRIANGLE) call.mesh.assign(rects, rects + nm);
        call.mode = mode;
        g_calls->push_back(call);
    }
    return Original<SkinUI::GradientFillFn>("GradientFill")(dc, v, nv, mesh, nm, mode);
}

int WINAPI RecDrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rc, UINT format)
{
    if (g_calls != nullptr && (format & DT_CALCRECT) == 0) {
        Call call = Begin(Kind::DrawText, dc);
        call.text = length < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(length));
        call.dest = *rc;
        call.format = format;
        g_calls->push_back(call);
    }
    return Original<decltype(&::DrawTextW)>("DrawTextW")(dc, text, length, rc, format);
}

BOOL WINAPI RecTextOutW(HDC dc, int x, int y, LPCWSTR text, int length)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::TextOut, dc);
        call.text.assign(text, static_cast<size_t>(std::max(length, 0)));
        call.at = POINT{x, y};
        g_calls->push_back(call);
    }
    return Original<decltype(&::TextOutW)>("TextOutW")(dc, x, y, text, length);
}

BOOL WINAPI RecExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rc, LPCWSTR text, UINT length, const INT* dx)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::ExtText, dc);
        if (text != nullptr) call.text.assign(text, length);
        call.at = POINT{x, y};
        call.format = options;
        call.hasRect = rc != nullptr;
        if (rc != nullptr) call.dest = *rc;
        if (dx != nullptr) call.format |= 0x80000000u;  // spacing given: not replayable here
        g_calls->push_back(call);
    }
    return Original<decltype(&::ExtTextOutW)>("ExtTextOutW")(dc, x, y, options, rc, text, length, dx);
}

int WINAPI RecFillRect(HDC dc, const RECT* rc, HBRUSH brush)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::FillRect, dc);
        call.dest = *rc;
        LOGBRUSH lb{};
        const UINT_PTR value = reinterpret_cast<UINT_PTR>(brush);
        if (value > 0 && value <= COLOR_MENUBAR + 1)
            call.brush = ::GetSysColor(static_cast<int>(value - 1));
        else if (::GetObjectW(brush, sizeof(lb), &lb) != 0)
            call.brush = lb.lbColor;
        g_calls->push_back(call);
    }
    return Original<decltype(&::FillRect)>("FillRect")(dc, rc, brush);
}

BOOL WINAPI RecRectangle(HDC dc, int l, int t, int r, int b)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::Rectangle, dc);
        call.dest = RECT{l, t, r, b};
        g_calls->push_back(call);
    }
    return Original<decltype(&::Rectangle)>("Rectangle")(dc, l, t, r, b);
}

BOOL WINAPI RecRoundRect(HDC dc, int l, int t, int r, int b, int w, int h)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::RoundRect, dc);
        call.dest = RECT{l, t, r, b};
        call.at = POINT{w, h};
        g_calls->push_back(call);
    }
    return Original<decltype(&::RoundRect)>("RoundRect")(dc, l, t, r, b, w, h);
}

BOOL WINAPI RecLineTo(HDC dc, int x, int y)
{
    if (g_calls != nullptr) {
        Call call = Begin(Kind::Line, dc);
        ::GetCurrentPositionEx(dc, &call.from);
        call.at = POINT{x, y};
        g_calls->push_back(call);
    }
    return Original<decltype(&::LineTo)>("LineTo")(dc, x, y);
}

FARPROC WINAPI RecGetProcAddress(HMODULE module, LPCSTR name)
{
    const FARPROC real = Original<decltype(&::GetProcAddress)>("GetProcAddress")(module, name);
    if (real == nullptr || reinterpret_cast<UINT_PTR>(name) <= 0xFFFF) return real;
    for (const char* entry : {"AlphaBlend", "GradientFill"}) {
        if (std::strcmp(name, entry) == 0) {
            g_originals[entry] = reinterpret_cast<void*>(real);
            void* hook = std::strcmp(entry, "AlphaBlend") == 0 ? reinterpret_cast<void*>(&RecAlphaBlend)
                                                               : reinterpret_cast<void*>(&RecGradientFill);
            return reinterpret_cast<FARPROC>(hook);
        }
    }
    return real;
}

// The hooks stay for the whole run (the toolkit looks "AlphaBlend" up once); they record only
// while g_calls is set.
struct Hooks {
    std::vector<std::unique_ptr<kit::ImportPatch>> patches;
    bool Install()
    {
        const struct {
            const char* dll;
            const char* name;
            void* hook;
        } table[] = {
            {"gdi32.dll", "BitBlt", reinterpret_cast<void*>(&RecBitBlt)},
            {"gdi32.dll", "StretchBlt", reinterpret_cast<void*>(&RecStretchBlt)},
            {"gdi32.dll", "ExtTextOutW", reinterpret_cast<void*>(&RecExtTextOutW)},
            {"gdi32.dll", "TextOutW", reinterpret_cast<void*>(&RecTextOutW)},
            {"gdi32.dll", "Rectangle", reinterpret_cast<void*>(&RecRectangle)},
            {"gdi32.dll", "RoundRect", reinterpret_cast<void*>(&RecRoundRect)},
            {"gdi32.dll", "LineTo", reinterpret_cast<void*>(&RecLineTo)},
            {"user32.dll", "DrawTextW", reinterpret_cast<void*>(&RecDrawTextW)},
            {"user32.dll", "FillRect", reinterpret_cast<void*>(&RecFillRect)},
            {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&RecGetProcAddress)},
        };
        for (const auto& entry : table) {
            auto patch = std::make_unique<kit::ImportPatch>(entry.dll, entry.name, entry.hook);
            g_originals[entry.name] = patch->Original();
            if (!patch->Active() && std::strcmp(entry.name, "TextOutW") != 0 && std::strcmp(entry.name, "LineTo") != 0 &&
                std::strcmp(entry.name, "RoundRect") != 0) {
                std::printf("cannot hook %s\n", entry.name);
                return false;
            }
            patches.push_back(std::move(patch));
        }
        return true;
    }
};

// ---- the floor ------------------------------------------------------------------------------

// A picture of the floor: decoded once into its own DIB, selected into its own memory context.
struct FloorPicture {
    std::wstring path;
    std::unique_ptr<SkinUI::ImageEntry> image;
    SkinUI::COpaqueRows opaque;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;

    bool Decode()
    {
        const SkinUI::SkinFileData file = SkinUI::ReadWholeSkinFile(path.c_str());
        if (!file) return false;
        image = SkinUI::CRenderKit::DecodeImage(file.data.get(), file.size, 0);
        if (!image) return false;
        DIBSECTION dib{};
        ::GetObjectW(image->hBitmap, sizeof(dib), &dib);
        if (image->hasAlpha)
            opaque = SkinUI::COpaqueRows(static_cast<const DWORD*>(dib.dsBm.bmBits), image->width, image->height);
        dc = ::CreateCompatibleDC(nullptr);
        old = ::SelectObject(dc, image->hBitmap);
        return true;
    }
    void Release()
    {
        if (dc != nullptr) {
            ::SelectObject(dc, old);
            ::DeleteDC(dc);
        }
        dc = nullptr;
        image.reset();
    }
    ~FloorPicture() { Release(); }
};

enum class OpKind { Copy, Blend, ExtText, DrawText, TextOut, Fill, Gradient, Rectangle, RoundRect, Line, Clip };

struct Op {
    OpKind kind;
    int picture = -1;   // into the floor's pictures, or -1 - index into its pixels
    RECT dest{};
    RECT source{};
    BLENDFUNCTION blend{};
    int font = -1;      // into the floor's fonts
    COLORREF textColor = 0, bkColor = 0;
    int bkMode = TRANSPARENT;
    std::wstring text;
    SkinUI::LinePosition place;
    UINT format = 0;
    POINT at{}, from{};
    int pen = -1, brush = -1;  // into the floor's pens and brushes; brush -1: hollow
    int clip = -1;             // Clip: into the floor's regions, -1 none
    std::vector<TRIVERTEX> vertices;
    std::vector<GRADIENT_RECT> mesh;
    ULONG mode = 0;
};

// The floor's replay of one recorded paint, and its own window.
class Floor {
public:
    ~Floor()
    {
        for (HFONT f : m_fonts) ::DeleteObject(f);
        for (HPEN p : m_pens) ::DeleteObject(p);
        for (HBRUSH b : m_brushes) ::DeleteObject(b);
        for (HRGN r : m_regions) ::DeleteObject(r);
        for (auto& pixel : m_pixels) {
            ::SelectObject(pixel.dc, pixel.old);
            ::DeleteDC(pixel.dc);
            ::DeleteObject(pixel.bitmap);
        }
        Close();
    }

    // Turns the recorded calls on the offscreen context into the floor's operations; false when a
    // call cannot be replayed.
    bool Compile(const std::vector<Call>& calls, HDC offscreen, const std::map<HBITMAP, std::wstring>& pictures,
                 int width, int height)
    {
        m_width = width;
        m_height = height;
        HDC measure = ::CreateCompatibleDC(nullptr);
        std::vector<RECT> currentClip;
        bool clipOn = false;
        for (const Call& call : calls) {
            if (call.dc != offscreen) continue;
            Op op{};
            RECT bounds = call.dest;
            switch (call.kind) {
            case Kind::Blit:
            case Kind::Stretch:
            case Kind::Alpha: {
                auto named = pictures.find(call.sourceBitmap);
                if (named != pictures.end()) {
                    op.picture = PictureIndex(named->second);
                } else if (call.onePixel) {
                    op.picture = -1 - PixelIndex(call.sourcePixel);
                } else {
                    std::printf("  a blit from an unknown bitmap\n");
                    return false;
                }
                op.dest = call.dest;
                op.source = call.source;
                op.blend = call.blend;
                op.kind = call.kind == Kind::Alpha ? OpKind::Blend : OpKind::Copy;
                break;
            }
            case Kind::DrawText: {
                op.kind = OpKind::DrawText;
                op.font = FontIndex(call.font);
                op.text = call.text;
                op.dest = call.dest;
                op.format = call.format;
                HGDIOBJ old = ::SelectObject(measure, m_fonts[static_cast<size_t>(op.font)]);
                if (SkinUI::CTextPlacement::Place(measure, op.text.c_str(), static_cast<int>(op.text.size()), call.dest,
                                                  call.format, op.place))
                    op.kind = OpKind::ExtText;
                ::SelectObject(measure, old);
                break;
            }
            case Kind::TextOut:
                op.kind = OpKind::TextOut;
                op.font = FontIndex(call.font);
                op.text = call.text;
                op.at = call.at;
                bounds = RECT{-100000, -100000, 100000, 100000};
                break;
            case Kind::ExtText:
                if ((call.format & 0x80000000u) != 0 || !call.hasRect) {
                    std::printf("  an ExtTextOutW the floor does not replay\n");
                    return false;
                }
                if (call.text.empty() && (call.format & ETO_OPAQUE) != 0) {
                    op.kind = OpKind::Fill;
                    op.bkColor = call.bkColor;
                    break;
                }
                op.kind = OpKind::ExtText;
                op.font = FontIndex(call.font);
                op.text = call.text;
                op.place.x = call.at.x;
                op.place.y = call.at.y;
                op.place.options = call.format;
                op.place.clip = call.dest;
                break;
            case Kind::FillRect:
                op.kind = OpKind::Fill;
                op.bkColor = call.brush;
                break;
            case Kind::Gradient:
                op.kind = OpKind::Gradient;
                op.vertices = call.vertices;
                op.mesh = call.mesh;
                op.mode = call.mode;
                bounds = RECT{-100000, -100000, 100000, 100000};
                break;
            case Kind::Rectangle:
            case Kind::RoundRect:
            case Kind::Line:
                op.kind = call.kind == Kind::Rectangle ? OpKind::Rectangle
                          : call.kind == Kind::RoundRect ? OpKind::RoundRect
                                                         : OpKind::Line;
                op.pen = PenIndex(call.pen);
                op.brush = call.hollow ? -1 : BrushIndex(call.brush);
                op.dest = call.dest;
                op.at = call.at;
                op.from = call.from;
                bounds = RECT{-100000, -100000, 100000, 100000};
                break;
            }
            if (call.kind == Kind::ExtText || call.kind == Kind::FillRect) op.dest = call.dest;
            op.textColor = call.textColor;
            op.bkMode = call.bkMode;
            if (op.kind != OpKind::Fill) op.bkColor = call.bkColor;
            // The clip, where it cuts this call.
            const bool needed = call.clipped && !(call.clip.size() == 1 && Inside(bounds, call.clip[0]));
            if (needed != clipOn || (needed && !SameRects(call.clip, currentClip))) {
                Op clip{};
                clip.kind = OpKind::Clip;
                clip.clip = needed ? RegionIndex(call.clip) : -1;
                m_ops.push_back(clip);
                clipOn = needed;
                currentClip = call.clip;
            }
            m_ops.push_back(op);
        }
        ::DeleteDC(measure);
        return true;
    }

    // The pictures decoded (warm) or left to the first paint (cold).
    bool Decode()
    {
        for (FloorPicture& picture : m_pictures)
            if (!picture.dc && !picture.Decode()) return false;
        return true;
    }
    void Forget()
    {
        for (FloorPicture& picture : m_pictures) picture.Release();
    }

    bool Open(int x, int y)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Floor::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OmbrelPaintFloor";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"floor", WS_POPUP | WS_VISIBLE, x, y, m_width, m_height,
                                   nullptr, nullptr, wc.hInstance, this);
        return m_hwnd != nullptr;
    }
    void Close()
    {
        if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        if (m_offscreen != nullptr) {
            ::SelectObject(m_offscreen, m_oldBitmap);
            ::DeleteDC(m_offscreen);
            ::DeleteObject(m_bitmap);
        }
        m_offscreen = nullptr;
    }
    HWND Hwnd() const { return m_hwnd; }
    size_t OpCount() const { return m_ops.size(); }

private:
    struct Pixel {
        DWORD value;
        HBITMAP bitmap;
        HDC dc;
        HGDIOBJ old;
    };

    static bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
    {
        return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RECT)) == 0);
    }
    static bool Inside(const RECT& inner, const RECT& outer)
    {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    }

    int PictureIndex(const std::wstring& path)
    {
        for (size_t i = 0; i < m_pictures.size(); ++i)
            if (m_pictures[i].path == path) return static_cast<int>(i);
        m_pictures.emplace_back();
        m_pictures.back().path = path;
        return static_cast<int>(m_pictures.size() - 1);
    }
    int PixelIndex(DWORD value)
    {
        for (size_t i = 0; i < m_pixels.size(); ++i)
            if (m_pixels[i].value == value) return static_cast<int>(i);
        void* bits = nullptr;
        SkinUI::CGdiBitmap bitmap = SkinUI::CreateDib32(1, 1, &bits);
        *static_cast<DWORD*>(bits) = value;
        Pixel pixel{value, bitmap.Release(), ::CreateCompatibleDC(nullptr), nullptr};
        pixel.old = ::SelectObject(pixel.dc, pixel.bitmap);
        m_pixels.push_back(pixel);
        return static_cast<int>(m_pixels.size() - 1);
    }
    int FontIndex(const LOGFONTW& lf)
    {
        for (size_t i = 0; i < m_fontKeys.size(); ++i)
            if (std::memcmp(&m_fontKeys[i], &lf, sizeof(lf)) == 0) return static_cast<int>(i);
        m_fontKeys.push_back(lf);
        m_fonts.push_back(::CreateFontIndirectW(&lf));
        return static_cast<int>(m_fonts.size() - 1);
    }
    int PenIndex(const LOGPEN& lp)
    {
        m_pens.push_back(::CreatePen(static_cast<int>(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor));
        return static_cast<int>(m_pens.size() - 1);
    }
    int BrushIndex(COLORREF color)
    {
        m_brushes.push_back(::CreateSolidBrush(color));
        return static_cast<int>(m_brushes.size() - 1);
    }
    int RegionIndex(const std::vector<RECT>& rects)
    {
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        for (const RECT& rc : rects) {
            HRGN part = ::CreateRectRgnIndirect(&rc);
            ::CombineRgn(region, region, part, RGN_OR);
            ::DeleteObject(part);
        }
        m_regions.push_back(region);
        return static_cast<int>(m_regions.size() - 1);
    }

    HDC SourceOf(int picture) const
    {
        return picture >= 0 ? m_pictures[static_cast<size_t>(picture)].dc : m_pixels[static_cast<size_t>(-1 - picture)].dc;
    }

    // A plain copy of the source rectangle, stretched only when the sizes differ.
    static void Copy(HDC dc, const RECT& dest, HDC src, const RECT& source)
    {
        const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
        const int sw = source.right - source.left, sh = source.bottom - source.top;
        if (dw == sw && dh == sh)
            ::BitBlt(dc, dest.left, dest.top, dw, dh, src, source.left, source.top, SRCCOPY);
        else
            ::StretchBlt(dc, dest.left, dest.top, dw, dh, src, source.left, source.top, sw, sh, SRCCOPY);
    }
    void Blend(HDC dc, const RECT& dest, HDC src, const RECT& source, BLENDFUNCTION blend) const
    {
        m_alphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, source.left,
                     source.top, source.right - source.left, source.bottom - source.top, blend);
    }

    void Blit(HDC dc, const Op& op) const
    {
        const HDC src = SourceOf(op.picture);
        const FloorPicture* picture = op.picture >= 0 ? &m_pictures[static_cast<size_t>(op.picture)] : nullptr;
        const bool fullFade = op.blend.SourceConstantAlpha == 255;
        if (op.kind != OpKind::Blend || (picture != nullptr && !picture->image->hasAlpha && fullFade)) {
            Copy(dc, op.dest, src, op.source);
            return;
        }
        if (picture == nullptr || !fullFade) {
            Blend(dc, op.dest, src, op.source, op.blend);
            return;
        }
        picture->opaque.Split(op.dest, op.source, [&](const SkinUI::COpaqueRows::Part& part) {
            if (part.copy)
                Copy(dc, part.dest, src, part.source);
            else
                Blend(dc, part.dest, src, part.source, op.blend);
        });
    }

    void Replay(HDC dc)
    {
        int font = -1, bkMode = -1;
        COLORREF textColor = CLR_INVALID, bkColor = CLR_INVALID;
        HGDIOBJ oldFont = nullptr;
        const auto text = [&](const Op& op) {
            if (op.font != font) {
                HGDIOBJ previous = ::SelectObject(dc, m_fonts[static_cast<size_t>(op.font)]);
                if (oldFont == nullptr) oldFont = previous;
                font = op.font;
            }
            if (op.textColor != textColor) ::SetTextColor(dc, textColor = op.textColor);
            if (op.bkMode != bkMode) ::SetBkMode(dc, bkMode = op.bkMode);
            if (op.bkMode == OPAQUE && op.bkColor != bkColor) ::SetBkColor(dc, bkColor = op.bkColor);
        };
        for (const Op& op : m_ops) {
            switch (op.kind) {
            case OpKind::Copy:
            case OpKind::Blend:
                Blit(dc, op);
                break;
            case OpKind::ExtText:
                text(op);
                ::ExtTextOutW(dc, op.place.x, op.place.y, op.place.options, &op.place.clip, op.text.c_str(),
                              static_cast<UINT>(op.text.size()), nullptr);
                break;
            case OpKind::DrawText: {
                text(op);
                RECT rc = op.dest;
                ::DrawTextW(dc, op.text.c_str(), static_cast<int>(op.text.size()), &rc, op.format);
                break;
            }
            case OpKind::TextOut:
                text(op);
                ::TextOutW(dc, op.at.x, op.at.y, op.text.c_str(), static_cast<int>(op.text.size()));
                break;
            case OpKind::Fill:
                if (op.bkColor != bkColor) ::SetBkColor(dc, bkColor = op.bkColor);
                ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &op.dest, nullptr, 0, nullptr);
                break;
            case OpKind::Gradient:
                m_gradientFill(dc, const_cast<TRIVERTEX*>(op.vertices.data()), static_cast<ULONG>(op.vertices.size()),
                               const_cast<GRADIENT_RECT*>(op.mesh.data()), static_cast<ULONG>(op.mesh.size()), op.mode);
                break;
            case OpKind::Rectangle:
            case OpKind::RoundRect:
            case OpKind::Line: {
                HGDIOBJ oldPen = ::SelectObject(dc, m_pens[static_cast<size_t>(op.pen)]);
                HGDIOBJ oldBrush = ::SelectObject(dc, op.brush < 0 ? ::GetStockObject(HOLLOW_BRUSH)
                                                                  : m_brushes[static_cast<size_t>(op.brush)]);
                if (op.kind == OpKind::Rectangle)
                    ::Rectangle(dc, op.dest.left, op.dest.top, op.dest.right, op.dest.bottom);
                else if (op.kind == OpKind::RoundRect)
                    ::RoundRect(dc, op.dest.left, op.dest.top, op.dest.right, op.dest.bottom, op.at.x, op.at.y);
                else {
                    ::MoveToEx(dc, op.from.x, op.from.y, nullptr);
                    ::LineTo(dc, op.at.x, op.at.y);
                }
                ::SelectObject(dc, oldPen);
                ::SelectObject(dc, oldBrush);
                break;
            }
            case OpKind::Clip:
                ::SelectClipRgn(dc, op.clip < 0 ? nullptr : m_regions[static_cast<size_t>(op.clip)]);
                break;
            }
        }
        ::SelectClipRgn(dc, nullptr);
        if (oldFont != nullptr) ::SelectObject(dc, oldFont);
    }

    void Paint()
    {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hwnd, &ps);
        Decode();  // cold: the first paint decodes the pictures
        if (m_offscreen == nullptr) {
            m_offscreen = ::CreateCompatibleDC(dc);
            m_bitmap = ::CreateCompatibleBitmap(dc, m_width, m_height);
            m_oldBitmap = ::SelectObject(m_offscreen, m_bitmap);
            ::SetStretchBltMode(m_offscreen, COLORONCOLOR);
        }
        Replay(m_offscreen);
        const RECT& rc = ps.rcPaint;
        ::BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_offscreen, rc.left, rc.top, SRCCOPY);
        ::EndPaint(m_hwnd, &ps);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<Floor*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_PAINT && self != nullptr) {
            self->Paint();
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    int m_width = 0, m_height = 0;
    HWND m_hwnd = nullptr;
    HDC m_offscreen = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::deque<FloorPicture> m_pictures;
    std::vector<Pixel> m_pixels;
    std::vector<LOGFONTW> m_fontKeys;
    std::vector<HFONT> m_fonts;
    std::vector<HPEN> m_pens;
    std::vector<HBRUSH> m_brushes;
    std::vector<HRGN> m_regions;
    std::vector<Op> m_ops;
    SkinUI::AlphaBlendFn m_alphaBlend = Original<SkinUI::AlphaBlendFn>("AlphaBlend");
    SkinUI::GradientFillFn m_gradientFill = Original<SkinUI::GradientFillFn>("GradientFill");
};

// ---- the toolkit's window -------------------------------------------------------------------

struct Skin {
    const char* title;
    std::wstring folder;  // with a trailing backslash
    std::wstring markup;  // a file name in the folder, or XML text
    const wchar_t* page;  // the page made visible, or null
    int width, height;
};

class BenchCallback : public CDialogBuilderCallbackEx {
public:
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override
    {
        if (std::wcscmp(tag, L"TimedVerticalLayout") == 0) return new SkinUI::CVerticalLayoutUI();
        return CDialogBuilderCallbackEx::CreateControl(tag);
    }
};

// The window with the skin built, attached and the page shown; not painted yet.
bool OpenToolkit(kit::HostWindow& win, const Skin& skin, bool warm, const std::vector<std::wstring>& pictures)
{
    if (!win.Open(nullptr, skin.width, skin.height)) return false;
    SkinUI::CWindowHostUI* host = win.Host();
    ::ValidateRect(win.Hwnd(), nullptr);
    BenchCallback callback;
    SkinUI::CDialogBuilder builder;
    SkinUI::CControlUI* root = builder.Create(skin.markup.c_str(), nullptr, &callback, host);
    if (root == nullptr || !host->AttachRoot(root)) return false;
    if (skin.page != nullptr) {
        SkinUI::CControlUI* page = host->FindControlByName(skin.page);
        if (page == nullptr) return false;
        page->SetVisible(true);
    }
    if (warm)
        for (const std::wstring& name : pictures) host->GetOrLoadImage(name.c_str(), nullptr, 0);
    return true;
}

std::vector<uint32_t> WindowPixels(HWND hwnd, int width, int height)
{
    SkinUI::CWindowDC screen(hwnd);
    void* bits = nullptr;
    SkinUI::CGdiBitmap dib = SkinUI::CreateDib32(width, height, &bits);
    SkinUI::CMemoryDC mem(screen.Get());
    SkinUI::CSelectObject select(mem.Get(), dib.Get());
    Original<decltype(&::BitBlt)>("BitBlt")(mem.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// One whole paint of the window: a repaint, or the first paint of a window just opened.
double TimePaint(HWND hwnd)
{
    ::InvalidateRect(hwnd, nullptr, FALSE);
    const double t0 = bench::Seconds();
    ::UpdateWindow(hwnd);
    return bench::Seconds() - t0;
}

struct Ratios {
    double repaint, warm, cold;
};

bool MeasureSkin(const Skin& skin, int rounds, Ratios& out)
{
    SkinUI::CHostResources::AddResourcePath(skin.folder.c_str(), true);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((skin.folder + L"*.png").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }

    // 1. One paint of the toolkit's window, recorded.
    kit::HostWindow win;
    if (!OpenToolkit(win, skin, true, names)) {
        std::printf("%s: the window could not be built\n", skin.title);
        return false;
    }
    kit::Drain();
    std::vector<Call> calls;
    g_calls = &calls;
    TimePaint(win.Hwnd());
    g_calls = nullptr;
    HDC offscreen = nullptr;
    for (const Call& call : calls)
        if (call.kind == Kind::Blit && call.window == win.Hwnd()) offscreen = call.sourceDC;
    std::map<HBITMAP, std::wstring> pictures;
    for (const std::wstring& name : names)
        if (const SkinUI::ImageEntry* image = win.Host()->GetImage(name.c_str()))
            pictures[image->hBitmap] = skin.folder + name;
    size_t drawn = 0;
    for (const Call& call : calls) drawn += call.dc == offscreen ? 1 : 0;

    // 2. The floor, checked against the toolkit's pixels.
    Floor floor;
    if (offscreen == nullptr || !floor.Compile(calls, offscreen, pictures, skin.width, skin.height) || !floor.Decode() ||
        !floor.Open(kit::HostWindow::kScreenX + skin.width + 20, kit::HostWindow::kScreenY)) {
        std::printf("%s: the recorded paint (%zu calls, %s) cannot be replayed\n", skin.title, calls.size(),
                    offscreen == nullptr ? "no copy to the window" : "see above");
        return false;
    }
    kit::Drain();
    TimePaint(win.Hwnd());
    TimePaint(floor.Hwnd());
    const std::vector<uint32_t> mine = WindowPixels(win.Hwnd(), skin.width, skin.height);
    const std::vector<uint32_t> theirs = WindowPixels(floor.Hwnd(), skin.width, skin.height);
    size_t differing = 0;
    RECT where{skin.width, skin.height, 0, 0};
    for (size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] == theirs[i]) continue;
        ++differing;
        const LONG x = static_cast<LONG>(i % static_cast<size_t>(skin.width)), y = static_cast<LONG>(i / static_cast<size_t>(skin.width));
        where = RECT{std::min(where.left, x), std::min(where.top, y), std::max(where.right, x + 1), std::max(where.bottom, y + 1)};
    }
    if (differing != 0) {
        std::printf("  differing within %ld,%ld,%ld,%ld\n", where.left, where.top, where.right, where.bottom);
        for (size_t i = 0, shown = 0; i < mine.size() && shown < 12; ++i)
            if (mine[i] != theirs[i] && ++shown)
                std::printf("    at %zu,%zu: %06x against %06x\n", i % static_cast<size_t>(skin.width),
                            i / static_cast<size_t>(skin.width), mine[i], theirs[i]);

        for (const Call& call : calls)
            if (call.dc == offscreen)
                std::printf("    kind %d dest %ld,%ld,%ld,%ld src %ld,%ld,%ld,%ld clip %d/%zu text %zu units, format %x\n",
                            static_cast<int>(call.kind), call.dest.left, call.dest.top, call.dest.right, call.dest.bottom,
                            call.source.left, call.source.top, call.source.right, call.source.bottom, call.clipped ? 1 : 0,
                            call.clip.size(), call.text.size(), call.format);
    }
    std::printf("%s: %zu recorded calls, %zu floor operations; %zu differing pixels of %zu\n", skin.title, drawn,
                floor.OpCount(), differing, mine.size());
    if (g_holdMs != 0) kit::Pump(g_holdMs);
    if (differing != 0) return false;

    // 3. Repaints, side by side.
    std::vector<double> toolkitRepaint, floorRepaint;
    for (int r = 0; r < rounds * 4; ++r) {
        toolkitRepaint.push_back(TimePaint(win.Hwnd()));
        floorRepaint.push_back(TimePaint(floor.Hwnd()));
    }
    floor.Close();
    win.Destroy();
    kit::Drain();

    // 4. First paints of new windows: warm (pictures loaded before) and cold.
    std::vector<double> toolkitWarm, floorWarm, toolkitCold, floorCold;
    for (int r = 0; r < rounds; ++r) {
        for (bool warm : {true, false}) {
            kit::HostWindow fresh;
            if (!OpenToolkit(fresh, skin, warm, names)) return false;
            (warm ? toolkitWarm : toolkitCold).push_back(TimePaint(fresh.Hwnd()));
            fresh.Destroy();
            if (warm)
                floor.Decode();
            else
                floor.Forget();
            floor.Open(kit::HostWindow::kScreenX + skin.width + 20, kit::HostWindow::kScreenY);
            (warm ? floorWarm : floorCold).push_back(TimePaint(floor.Hwnd()));
            floor.Close();
            kit::Drain();
        }
    }
    out.repaint = Median(toolkitRepaint) / Median(floorRepaint);
    out.warm = Median(toolkitWarm) / Median(floorWarm);
    out.cold = Median(toolkitCold) / Median(floorCold);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.5)\n", "repaint",
                Median(toolkitRepaint) * 1000, Median(floorRepaint) * 1000, out.repaint);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.25)\n", "first paint, warm",
                Median(toolkitWarm) * 1000, Median(floorWarm) * 1000, out.warm);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.25)\n", "first paint, cold",
                Median(toolkitCold) * 1000, Median(floorCold) * 1000, out.cold);
    SkinUI::CHostResources::GetResourcePathList().Clear();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    std::wstring sample = e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin\\";
    if (argc > 2 && std::strcmp(argv[2], "-") != 0) {
        const std::string given(argv[2]);
        sample.assign(given.begin(), given.end());
        if (sample.back() != L'\\') sample += L'\\';
    }
    if (argc > 3) g_holdMs = static_cast<DWORD>(std::max(0, std::atoi(argv[3])));
    Hooks hooks;
    if (!hooks.Install()) return 1;

    kit::TempDir dir;
    bench::WriteLoginPictures(dir);

    const Skin skins[] = {
        {"sample skin, password page", sample, L"LoginWindowEx.xml", L"PWDLogin", 450, 309},
        {"sample skin, quick-login page", sample, L"LoginWindowEx.xml", L"PVALogin", 450, 309},
        {"bench skin", dir.Path() + L"\\", bench::kLoginSkin, nullptr, bench::kLoginWidth, bench::kLoginHeight},
    };
    std::printf("toolkit against the floor, medians of %d rounds (repaints: %d)\n\n", rounds, rounds * 4);
    bool met = true;
    for (const Skin& skin : skins) {
        Ratios ratios{};
        if (!MeasureSkin(skin, rounds, ratios)) return 1;
        met = met && ratios.repaint <= 1.5 && ratios.warm <= 1.25 && ratios.cold <= 1.25;
        std::printf("\n");
    }
    std::printf("%s\n", met ? "goals met: yes" : "goals met: NO");
    return met ? 0 : 2;
}
