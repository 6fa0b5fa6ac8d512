// Image loading (resources, skin folders, the skin zip), decoding into premultiplied DIBs,
// image strings and the nine-grid blit.
#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <new>

#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/ImagePaintScope.h"
#include "uitoolkit/core/ImageStringReader.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/PngReader.h"
#include "uitoolkit/core/PremultipliedPixels.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/SkinFileReader.h"

// The decoder's allocator hands its allocation of the given size to this block (null: none);
// see cmake/deps/stb_image_impl.c.
extern "C" void ombrel_stbi_set_target(void* block, size_t size);

namespace SkinUI {

namespace {

// Largest destination side that is drawn.
constexpr long long kMaxDrawExtent = 1 << 24;

std::unique_ptr<ImageEntry> LoadFromResource(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    const HMODULE module = CHostResources::GetResourceModule();
    HRSRC resource = ::FindResourceW(module, name, type);
    if (resource == nullptr) return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return nullptr;
    // Resource memory stays mapped while the module is loaded: decode it in place.
    return CRenderKit::DecodeImage(static_cast<const BYTE*>(bytes), size, mask);
}

bool IsZeroRect(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

bool HasArea(const RECT& rc)
{
    return rc.right > rc.left && rc.bottom > rc.top;
}

// a + b without overflow: skin texts may hold any number.
LONG AddClamped(LONG a, LONG b)
{
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<LONG>(std::clamp<long long>(sum, LONG_MIN, LONG_MAX));
}

// The general decoder into a DIB of width x height: its pixels straight into the DIB (a decoder
// that needed a block of its own leaves them elsewhere), then one pass that turns RGBA into
// premultiplied BGRA (in place when they are already in the DIB).
bool DecodeGeneral(const BYTE* data, int length, int width, int height, DWORD mask, DWORD* pixels,
                   bool* blended)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int decodedWidth = 0, decodedHeight = 0, channels = 0;
    ombrel_stbi_set_target(pixels, count * 4);
    stbi_uc* decoded = stbi_load_from_memory(data, length, &decodedWidth, &decodedHeight, &channels, 4);
    ombrel_stbi_set_target(nullptr, 0);
    std::unique_ptr<stbi_uc, void (*)(void*)> elsewhere(
        decoded != reinterpret_cast<stbi_uc*>(pixels) ? decoded : nullptr, &stbi_image_free);
    if (decoded == nullptr || decodedWidth != width || decodedHeight != height) return false;
    *blended = StorePremultiplied(decoded, pixels, count, mask);
    return true;
}

} // namespace

// ---- loading ----

std::unique_ptr<ImageEntry> CRenderKit::DecodeImage(const BYTE* data, size_t size, DWORD mask)
{
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return nullptr;
    const int length = static_cast<int>(size);
    // 1. The header first: absurd sizes are refused before anything is allocated. PNGs of the
    //    common forms go to the PNG reader, everything else to the general decoder.
    CPngReader png;
    const bool common = png.Open(data, size);
    int width = png.Width(), height = png.Height(), channels = 0;
    if (!common && !stbi_info_from_memory(data, length, &width, &height, &channels)) return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        static_cast<long long>(width) * height > kMaxImagePixels)
        return nullptr;

    // 2. The DIB section, and the pixels straight into it: from the PNG reader, or from the
    //    general decoder when the reader does not take the file or finds its data damaged.
    void* bits = nullptr;
    CGdiBitmap bitmap = CreateDib32(width, height, &bits);
    if (!bitmap) return nullptr;
    auto entry = std::make_unique<ImageEntry>();
    auto* pixels = static_cast<DWORD*>(bits);
    if (!(common && png.Decode(pixels, mask, &entry->hasAlpha)) &&
        !DecodeGeneral(data, length, width, height, mask, pixels, &entry->hasAlpha))
        return nullptr;
    if (entry->hasAlpha) entry->opaque = COpaqueRows(pixels, width, height);
    entry->hBitmap = bitmap.Release();
    entry->width = width;
    entry->height = height;
    return entry;
}

std::unique_ptr<ImageEntry> CRenderKit::LoadImage(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    if (type != nullptr) return LoadFromResource(name, type, mask);
    const SkinFileData file = ReadSkinFile(name);
    if (!file) return nullptr;
    return DecodeImage(file.data.get(), file.size, mask);
}

std::unique_ptr<ImageEntry> CRenderKit::LoadImageFromDir(const wchar_t* directory, const wchar_t* name,
                                                         const wchar_t* type, DWORD mask)
{
    if (type != nullptr) return LoadFromResource(name, type, mask);
    if (name == nullptr || name[0] == L'\0') return nullptr;

    SkinFileData file;
    if (!CHostResources::GetResourceZip().IsEmpty()) {
        OwnedSkinZip owned;
        file = ReadSkinZipEntry(OpenResourceZip(directory != nullptr ? directory : L"", owned), name);
    }
    if (!file) {
        CUIString path(directory);
        path += name;
        file = ReadWholeSkinFile(path.GetData());
    }
    if (!file) return nullptr;
    return DecodeImage(file.data.get(), file.size, mask);
}

// ---- image strings ----

namespace {

// The working record of one image string: what to draw, where, and how.
struct ImageDrawParams {
    CUIString name;
    CUIString type;
    RECT dest{};
    RECT source{};
    RECT corners{};
    DWORD mask = 0;
    BYTE fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
};

} // namespace

bool CRenderKit::DrawImageBySpec(HDC hDC, CHostResources* host, const RECT& rc, const RECT& rcPaint,
                                 const wchar_t* image, const wchar_t* modify)
{
    if (hDC == nullptr || host == nullptr || image == nullptr || image[0] == L'\0') return false;

    ImageDrawParams params;
    params.name = image;  // a bare name is a file name
    params.dest = rc;
    // Whether every image the strings name could be loaded. A caller forgets a string that
    // names an image that cannot, so that it is not looked for again at every paint.
    bool loaded = true;
    const auto drawGathered = [&] {
        loaded &= DrawImageEntry(hDC, host, rc, rcPaint, params.name.GetData(), params.type.GetData(),
                                 params.dest, params.source, params.corners, params.mask, params.fade,
                                 params.hole, params.xTiled, params.yTiled);
    };

    for (const wchar_t* text : {image, modify}) {
        if (text == nullptr || text[0] == L'\0') continue;
        // Counts "file" and "restype" items: the image gathered so far is drawn before the next
        // one starts, so one string can draw several images.
        int counter = 0;
        CImageStringReader reader(text);
        CUIString key, value;
        while (reader.Next(key, value)) {
            if (key == L"file" || key == L"res") {
                if (counter > 0) drawGathered();
                params.name = value;
                if (key == L"file") ++counter;
            } else if (key == L"restype") {
                if (counter > 0) drawGathered();
                params.type = value;
                ++counter;
            } else if (key == L"dest") {
                const CUIRect d = ParseRect(value.GetData());
                params.dest = RECT{AddClamped(rc.left, d.left), AddClamped(rc.top, d.top),
                                   std::min<LONG>(rc.right, AddClamped(rc.left, d.right)),
                                   std::min<LONG>(rc.bottom, AddClamped(rc.top, d.bottom))};
            } else if (key == L"source") {
                params.source = ParseRect(value.GetData());
            } else if (key == L"corner") {
                params.corners = ParseRect(value.GetData());
            } else if (key == L"mask") {
                params.mask = ParseColor(value.GetData());
            } else if (key == L"fade") {
                params.fade = static_cast<BYTE>(std::wcstoul(value.GetData(), nullptr, 10) & 0xFF);
            } else if (key == L"hole") {
                params.hole = ParseBool(value.GetData());
            } else if (key == L"xtiled") {
                params.xTiled = ParseBool(value.GetData());
            } else if (key == L"ytiled") {
                params.yTiled = ParseBool(value.GetData());
            }
        }
    }
    drawGathered();
    return loaded;
}

bool CRenderKit::DrawImageEntry(HDC hDC, CHostResources* host, const RECT& rc, const RECT& rcPaint,
                                const wchar_t* name, const wchar_t* type, const RECT& rcDest,
                                const RECT& rcSource, const RECT& rcCorners, DWORD mask, BYTE fade,
                                bool hole, bool xTiled, bool yTiled)
{
    if (host == nullptr) return false;
    if (type != nullptr && type[0] == L'\0') type = nullptr;
    const ImageEntry* entry = host->GetOrLoadImage(name, type, mask);
    if (entry == nullptr) return false;

    RECT source = IsZeroRect(rcSource) ? RECT{0, 0, entry->width, entry->height} : rcSource;
    source.right = std::min<LONG>(source.right, entry->width);
    source.bottom = std::min<LONG>(source.bottom, entry->height);

    RECT visible;
    if (!::IntersectRect(&visible, &rcDest, &rc) || !::IntersectRect(&visible, &rcDest, &rcPaint))
        return true;
    DrawImage(hDC, entry->hBitmap, rcDest, rcPaint, source, rcCorners, entry->hasAlpha, fade, hole,
              xTiled, yTiled, entry->hasAlpha ? &entry->opaque : nullptr);
    return true;
}

// ---- nine-grid blit ----

namespace {

// A bitmap selected into a memory device context for one draw: the paint's shared context when
// a paint scope is open, else a context of its own. The context's own bitmap is selected back at
// the end.
class CImageSource {
public:
    CImageSource(HDC target, HBITMAP bitmap)
    {
        CImagePaintScope* scope = CImagePaintScope::Current();
        m_dc = scope != nullptr ? scope->AcquireDC() : nullptr;
        if (m_dc != nullptr) {
            m_scope = scope;
        } else {
            m_own = std::make_unique<CMemoryDC>(target);
            m_dc = m_own->Get();
        }
        if (m_dc == nullptr)
            return;
        m_old = ::SelectObject(m_dc, bitmap);
        if (m_old == HGDI_ERROR)
            m_old = nullptr;
    }
    ~CImageSource()
    {
        if (m_old != nullptr)
            ::SelectObject(m_dc, m_old);
        if (m_scope != nullptr)
            m_scope->ReleaseDC();
    }
    CImageSource(const CImageSource&) = delete;
    CImageSource& operator=(const CImageSource&) = delete;

    // Null when the bitmap could not be selected.
    HDC Get() const { return m_old != nullptr ? m_dc : nullptr; }

private:
    CImagePaintScope* m_scope = nullptr;
    std::unique_ptr<CMemoryDC> m_own;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Draws pieces of one bitmap (selected into a memory DC) onto the target, limited to what is
// visible: the paint rectangle within the target's clip. Whatever size a skin gives a piece, the
// work is bounded by that area. Pieces without area are skipped, so oversized corners never
// mirror an image, and every source piece is kept inside the source part (and so inside the
// bitmap).
class CPieceBlitter {
public:
    CPieceBlitter(HDC target, HDC source, const RECT& visible, const RECT& part, bool blended,
                  BYTE fade, const COpaqueRows* opaque)
        : m_target(target), m_source(source), m_visible(visible), m_part(part), m_blended(blended),
          m_opaque(fade == 255 ? opaque : nullptr), m_alphaBlend(CMsimgEntryPoints::AlphaBlend())
    {
        m_blend = BLENDFUNCTION{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    }

    void Piece(const RECT& dest, RECT source)
    {
        RECT visible;
        if (!HasArea(dest) || !::IntersectRect(&visible, &dest, &m_visible)) return;
        if (!::IntersectRect(&source, &source, &m_part)) return;
        const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
        const int sw = source.right - source.left, sh = source.bottom - source.top;
        if (dw == sw && dh == sh) {
            // Unstretched: the visible part alone, from the same offset of the source.
            const LONG left = source.left + (visible.left - dest.left);
            const LONG top = source.top + (visible.top - dest.top);
            Blit(visible, RECT{left, top, left + (visible.right - visible.left), top + (visible.bottom - visible.top)});
            return;
        }
        // Stretched: which source pixel lands where depends on the whole piece's sizes, so the
        // whole piece goes to GDI, clipped to what is visible (GDI then works on that area only).
        if (!::EqualRect(&visible, &dest) && !m_clipped) {
            CClipGuard::ClipToRect(m_target, m_visible, m_clip);
            m_clipped = true;
        }
        Blit(dest, source);
    }

    // The middle, tiled along x and / or y: tiles of the source's size from the destination's
    // left-top, the last ones cut. Only tiles that meet the visible area are visited; the tile
    // arithmetic runs in 64 bits, as destinations may span the whole coordinate range.
    void Tiled(const RECT& dest, const RECT& source, bool xTiled, bool yTiled)
    {
        const long long tw = static_cast<long long>(source.right) - source.left;
        const long long th = static_cast<long long>(source.bottom) - source.top;
        if (tw <= 0 || th <= 0) return;
        const long long stepX = xTiled ? tw : static_cast<long long>(dest.right) - dest.left;
        const long long stepY = yTiled ? th : static_cast<long long>(dest.bottom) - dest.top;
        if (stepX <= 0 || stepY <= 0) return;
        const auto firstTile = [](long long from, long long visibleFrom, long long step) {
            return visibleFrom > from ? from + (visibleFrom - from) / step * step : from;
        };
        const long long endX = std::min(dest.right, m_visible.right);
        const long long endY = std::min(dest.bottom, m_visible.bottom);
        for (long long y = firstTile(dest.top, m_visible.top, stepY); y < endY; y += stepY) {
            const long long bottom = std::min<long long>(y + stepY, dest.bottom);
            for (long long x = firstTile(dest.left, m_visible.left, stepX); x < endX; x += stepX) {
                const long long right = std::min<long long>(x + stepX, dest.right);
                RECT src = source;
                if (xTiled) src.right = static_cast<LONG>(src.left + (right - x));
                if (yTiled) src.bottom = static_cast<LONG>(src.top + (bottom - y));
                Piece(RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(right),
                           static_cast<LONG>(bottom)},
                      src);
            }
        }
    }

private:
    void Blit(const RECT& dest, const RECT& source) const
    {
        if (m_blended && m_opaque != nullptr) {
            // Opaque parts copied, only the others blended: the same pixels at a fraction of
            // the cost.
            m_opaque->Split(dest, source, [this](const COpaqueRows::Part& part) {
                if (part.copy)
                    Copy(part.dest, part.source);
                else
                    Blend(part.dest, part.source);
            });
        } else if (m_blended) {
            Blend(dest, source);
        } else {
            Copy(dest, source);
        }
    }

    void Blend(const RECT& dest, const RECT& source) const
    {
        m_alphaBlend(m_target, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, m_source,
                     source.left, source.top, source.right - source.left, source.bottom - source.top, m_blend);
    }

    void Copy(const RECT& dest, const RECT& source) const
    {
        const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
        const int sw = source.right - source.left, sh = source.bottom - source.top;
        if (dw == sw && dh == sh) {
            ::BitBlt(m_target, dest.left, dest.top, dw, dh, m_source, source.left, source.top, SRCCOPY);
        } else {
            ::StretchBlt(m_target, dest.left, dest.top, dw, dh, m_source, source.left, source.top,
                         sw, sh, SRCCOPY);
        }
    }

    HDC m_target;
    HDC m_source;
    RECT m_visible;
    RECT m_part;
    bool m_blended;
    const COpaqueRows* m_opaque;  // where the picture is opaque, when blended at full fade
    AlphaBlendFn m_alphaBlend;
    BLENDFUNCTION m_blend{};
    // Narrows the target's clip to the visible area while a stretched piece reaches past it.
    CClipGuard m_clip;
    bool m_clipped = false;
};

} // namespace

void CRenderKit::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint,
                           const RECT& rcSource, const RECT& rcCorners, bool alpha, BYTE fade,
                           bool hole, bool xTiled, bool yTiled, const COpaqueRows* opaque)
{
    if (hDC == nullptr || hBitmap == nullptr) return;
    BITMAP bm{};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return;

    // The source part never reaches outside the bitmap; insets are never negative.
    RECT part = rcSource;
    part.left = std::max<LONG>(part.left, 0);
    part.top = std::max<LONG>(part.top, 0);
    part.right = std::min<LONG>(part.right, bm.bmWidth);
    part.bottom = std::min<LONG>(part.bottom, std::abs(bm.bmHeight));
    if (!HasArea(part) || !HasArea(rc)) return;
    // Rectangles beyond any screen come only from absurd skin numbers; their sizes would not
    // even fit the blit functions' integers.
    const long long rcWidth = static_cast<long long>(rc.right) - rc.left;
    const long long rcHeight = static_cast<long long>(rc.bottom) - rc.top;
    if (rcWidth > kMaxDrawExtent || rcHeight > kMaxDrawExtent) return;
    // Insets are never negative, nor wider than the part they cut (a wider inset could only map
    // source pixels that do not exist), nor together wider than the rectangle (unstretched
    // corners would be drawn past its edges).
    const LONG partWidth = part.right - part.left, partHeight = part.bottom - part.top;
    const LONG cl = std::clamp<LONG>(rcCorners.left, 0, std::min<LONG>(partWidth, static_cast<LONG>(rcWidth)));
    const LONG ct = std::clamp<LONG>(rcCorners.top, 0, std::min<LONG>(partHeight, static_cast<LONG>(rcHeight)));
    const LONG cr = std::clamp<LONG>(rcCorners.right, 0, std::min<LONG>(partWidth, static_cast<LONG>(rcWidth) - cl));
    const LONG cb = std::clamp<LONG>(rcCorners.bottom, 0, std::min<LONG>(partHeight, static_cast<LONG>(rcHeight) - ct));

    // Only the paint rectangle within the target's clip is ever worked on.
    RECT visible;
    if (!VisiblePart(hDC, rcPaint, visible)) return;
    RECT reached;
    if (!::IntersectRect(&reached, &rc, &visible)) return;

    const CImageSource mem(hDC, hBitmap);
    if (mem.Get() == nullptr) return;
    ::SetStretchBltMode(hDC, COLORONCOLOR);

    const bool blended = alpha || fade < 255;
    if (!blended && !hole && cl == 0 && ct == 0 && cr == 0 && cb == 0 && rcWidth == partWidth &&
        rcHeight == partHeight) {
        // Same size and opaque: copy just the visible part.
        ::BitBlt(hDC, reached.left, reached.top, reached.right - reached.left,
                 reached.bottom - reached.top, mem.Get(), part.left + (reached.left - rc.left),
                 part.top + (reached.top - rc.top), SRCCOPY);
        return;
    }

    CPieceBlitter blit(hDC, mem.Get(), visible, part, blended, fade, opaque);
    if (!hole) {
        const RECT dest{rc.left + cl, rc.top + ct, rc.right - cr, rc.bottom - cb};
        const RECT source{part.left + cl, part.top + ct, part.right - cr, part.bottom - cb};
        if (!xTiled && !yTiled) blit.Piece(dest, source);
        else blit.Tiled(dest, source, xTiled, yTiled);
    }
    // Corners keep their size; edges stretch along their length only.
    if (cl > 0 && ct > 0)
        blit.Piece({rc.left, rc.top, rc.left + cl, rc.top + ct},
                   {part.left, part.top, part.left + cl, part.top + ct});
    if (ct > 0)
        blit.Piece({rc.left + cl, rc.top, rc.right - cr, rc.top + ct},
                   {part.left + cl, part.top, part.right - cr, part.top + ct});
    if (cr > 0 && ct > 0)
        blit.Piece({rc.right - cr, rc.top, rc.right, rc.top + ct},
                   {part.right - cr, part.top, part.right, part.top + ct});
    if (cl > 0)
        blit.Piece({rc.left, rc.top + ct, rc.left + cl, rc.bottom - cb},
                   {part.left, part.top + ct, part.left + cl, part.bottom - cb});
    if (cr > 0)
        blit.Piece({rc.right - cr, rc.top + ct, rc.right, rc.bottom - cb},
                   {part.right - cr, part.top + ct, part.right, part.bottom - cb});
    if (cl > 0 && cb > 0)
        blit.Piece({rc.left, rc.bottom - cb, rc.left + cl, rc.bottom},
                   {part.left, part.bottom - cb, part.left + cl, part.bottom});
    if (cb > 0)
        blit.Piece({rc.left + cl, rc.bottom - cb, rc.right - cr, rc.bottom},
                   {part.left + cl, part.bottom - cb, part.right - cr, part.bottom});
    if (cr > 0 && cb > 0)
        blit.Piece({rc.right - cr, rc.bottom - cb, rc.right, rc.bottom},
                   {part.right - cr, part.bottom - cb, part.right, part.bottom});
}

} // namespace SkinUI
