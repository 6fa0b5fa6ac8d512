#include "PaintRecorder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/MsimgEntryPoints.h"

namespace paintfloor {

namespace {

std::vector<Call>* g_calls = nullptr;
std::map<std::string, void*> g_originals;

Call Begin(Kind kind, HDC dc)
{
    Call call;
    call.kind = kind;
    call.dc = dc;
    call.window = ::WindowFromDC(dc);
    const SkinUI::CGdiRegion clip(::CreateRectRgn(0, 0, 0, 0));
    HRGN rgn = clip.Get();
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

} // namespace

bool PaintRecorder::Install()
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
        m_patches.push_back(std::move(patch));
    }
    return true;
}

Recording::Recording(std::vector<Call>& calls)
{
    g_calls = &calls;
}

Recording::~Recording()
{
    g_calls = nullptr;
}

void* OriginalEntry(const char* name)
{
    return g_originals[name];
}

} // namespace paintfloor
