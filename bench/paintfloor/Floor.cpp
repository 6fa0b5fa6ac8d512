#include "Floor.h"

#include <cstdio>
#include <cstring>

#include "PaintRecorder.h"
#include "uitoolkit/core/GdiObject.h"

namespace paintfloor {

// The msimg32 entry points the toolkit itself was given (the recorder's hooks lie in between).
Floor::Floor()
    : m_alphaBlend(Original<SkinUI::AlphaBlendFn>("AlphaBlend")),
      m_gradientFill(Original<SkinUI::GradientFillFn>("GradientFill"))
{
}

Floor::~Floor()
{
    Close();
}

bool Floor::Compile(const std::vector<Call>& calls, HDC offscreen, const std::map<HBITMAP, std::wstring>& pictures,
                    int width, int height)
{
    m_width = width;
    m_height = height;
    const SkinUI::CMemoryDC measure(nullptr);
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
            const SkinUI::CSelectObject font(measure.Get(), m_fonts[static_cast<size_t>(op.font)].Get());
            if (SkinUI::CTextPlacement::Place(measure.Get(), op.text.c_str(), static_cast<int>(op.text.size()),
                                              call.dest, call.format, op.place))
                op.kind = OpKind::ExtText;
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
    return true;
}

bool Floor::Decode()
{
    for (FloorPicture& picture : m_pictures)
        if (!picture.context && !picture.Decode()) return false;
    return true;
}

void Floor::Forget()
{
    for (FloorPicture& picture : m_pictures) picture.Release();
}

bool Floor::Open(int x, int y)
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

void Floor::Close()
{
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_offscreen.Release();
}

bool Floor::SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RECT)) == 0);
}

bool Floor::Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int Floor::PictureIndex(const std::wstring& path)
{
    for (size_t i = 0; i < m_pictures.size(); ++i)
        if (m_pictures[i].path == path) return static_cast<int>(i);
    m_pictures.emplace_back();
    m_pictures.back().path = path;
    return static_cast<int>(m_pictures.size() - 1);
}

int Floor::PixelIndex(DWORD value)
{
    for (size_t i = 0; i < m_pixels.size(); ++i)
        if (m_pixels[i].value == value) return static_cast<int>(i);
    void* bits = nullptr;
    SkinUI::CGdiBitmap bitmap = SkinUI::CreateDib32(1, 1, &bits);
    *static_cast<DWORD*>(bits) = value;
    auto context = std::make_unique<BitmapContext>(bitmap.Get());
    m_pixels.push_back(Pixel{value, std::move(bitmap), std::move(context)});
    return static_cast<int>(m_pixels.size() - 1);
}

int Floor::FontIndex(const LOGFONTW& lf)
{
    for (size_t i = 0; i < m_fontKeys.size(); ++i)
        if (std::memcmp(&m_fontKeys[i], &lf, sizeof(lf)) == 0) return static_cast<int>(i);
    m_fontKeys.push_back(lf);
    m_fonts.emplace_back(::CreateFontIndirectW(&lf));
    return static_cast<int>(m_fonts.size() - 1);
}

int Floor::PenIndex(const LOGPEN& lp)
{
    m_pens.emplace_back(::CreatePen(static_cast<int>(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor));
    return static_cast<int>(m_pens.size() - 1);
}

int Floor::BrushIndex(COLORREF color)
{
    m_brushes.emplace_back(::CreateSolidBrush(color));
    return static_cast<int>(m_brushes.size() - 1);
}

int Floor::RegionIndex(const std::vector<RECT>& rects)
{
    SkinUI::CGdiRegion region(::CreateRectRgn(0, 0, 0, 0));
    for (const RECT& rc : rects) {
        const SkinUI::CGdiRegion part(::CreateRectRgnIndirect(&rc));
        ::CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
    }
    m_regions.push_back(std::move(region));
    return static_cast<int>(m_regions.size() - 1);
}

HDC Floor::SourceOf(int picture) const
{
    return picture >= 0 ? m_pictures[static_cast<size_t>(picture)].Dc()
                        : m_pixels[static_cast<size_t>(-1 - picture)].context->Get();
}

void Floor::Copy(HDC dc, const RECT& dest, HDC src, const RECT& source)
{
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    if (dw == sw && dh == sh)
        ::BitBlt(dc, dest.left, dest.top, dw, dh, src, source.left, source.top, SRCCOPY);
    else
        ::StretchBlt(dc, dest.left, dest.top, dw, dh, src, source.left, source.top, sw, sh, SRCCOPY);
}

void Floor::Blend(HDC dc, const RECT& dest, HDC src, const RECT& source, BLENDFUNCTION blend) const
{
    m_alphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, source.left,
                 source.top, source.right - source.left, source.bottom - source.top, blend);
}

void Floor::Blit(HDC dc, const Op& op) const
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

void Floor::Replay(HDC dc)
{
    int font = -1, bkMode = -1;
    COLORREF textColor = CLR_INVALID, bkColor = CLR_INVALID;
    HGDIOBJ oldFont = nullptr;
    const auto text = [&](const Op& op) {
        if (op.font != font) {
            HGDIOBJ previous = ::SelectObject(dc, m_fonts[static_cast<size_t>(op.font)].Get());
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
            HGDIOBJ oldPen = ::SelectObject(dc, m_pens[static_cast<size_t>(op.pen)].Get());
            HGDIOBJ oldBrush = ::SelectObject(dc, op.brush < 0 ? ::GetStockObject(HOLLOW_BRUSH)
                                                              : m_brushes[static_cast<size_t>(op.brush)].Get());
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
            ::SelectClipRgn(dc, op.clip < 0 ? nullptr : m_regions[static_cast<size_t>(op.clip)].Get());
            break;
        }
    }
    ::SelectClipRgn(dc, nullptr);
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
}

void Floor::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hwnd, &ps);
    Decode();  // cold: the first paint decodes the pictures
    bool made = false;
    HDC offscreen = m_offscreen.Prepare(dc, m_width, m_height, &made);
    if (made)
        ::SetStretchBltMode(offscreen, COLORONCOLOR);
    Replay(offscreen);
    const RECT& rc = ps.rcPaint;
    ::BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, offscreen, rc.left, rc.top, SRCCOPY);
    ::EndPaint(m_hwnd, &ps);
}

LRESULT CALLBACK Floor::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
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

} // namespace paintfloor
