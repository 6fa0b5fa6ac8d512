#pragma once
// The paint floor: one recorded paint of the toolkit's window replayed the cheapest way by a
// plain Win32 window of its own. Each picture is decoded once into its own DIB and memory context
// and its opaque rows copied, only the others blended; single-line texts are drawn with
// ExtTextOutW at positions computed once; state is set only when it changes.
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FloorPicture.h"
#include "uitoolkit/core/OffscreenSurface.h"
#include "RecordedCall.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/TextPlacement.h"

namespace paintfloor {

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

class Floor {
public:
    Floor();
    ~Floor();
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    // Turns the recorded calls on the offscreen context into the floor's operations; false when a
    // call cannot be replayed.
    bool Compile(const std::vector<Call>& calls, HDC offscreen, const std::map<HBITMAP, std::wstring>& pictures,
                 int width, int height);

    // The pictures decoded (warm) or left to the first paint (cold).
    bool Decode();
    void Forget();

    bool Open(int x, int y);
    void Close();
    HWND Hwnd() const { return m_hwnd; }
    size_t OpCount() const { return m_ops.size(); }

private:
    struct Pixel {
        DWORD value;
        SkinUI::CGdiBitmap bitmap;
        std::unique_ptr<BitmapContext> context;  // after the bitmap: selected out before it goes
    };

    static bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b);
    static bool Inside(const RECT& inner, const RECT& outer);

    int PictureIndex(const std::wstring& path);
    int PixelIndex(DWORD value);
    int FontIndex(const LOGFONTW& lf);
    int PenIndex(const LOGPEN& lp);
    int BrushIndex(COLORREF color);
    int RegionIndex(const std::vector<RECT>& rects);
    HDC SourceOf(int picture) const;

    // A plain copy of the source rectangle, stretched only when the sizes differ.
    static void Copy(HDC dc, const RECT& dest, HDC src, const RECT& source);
    void Blend(HDC dc, const RECT& dest, HDC src, const RECT& source, BLENDFUNCTION blend) const;
    void Blit(HDC dc, const Op& op) const;
    void Replay(HDC dc);
    void Paint();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int m_width = 0, m_height = 0;
    HWND m_hwnd = nullptr;
    SkinUI::COffscreenSurface m_offscreen;
    std::deque<FloorPicture> m_pictures;
    std::vector<Pixel> m_pixels;
    std::vector<LOGFONTW> m_fontKeys;
    std::vector<SkinUI::CGdiFont> m_fonts;
    std::vector<SkinUI::CGdiPen> m_pens;
    std::vector<SkinUI::CGdiBrush> m_brushes;
    std::vector<SkinUI::CGdiRegion> m_regions;
    std::vector<Op> m_ops;
    SkinUI::AlphaBlendFn m_alphaBlend;
    SkinUI::GradientFillFn m_gradientFill;
};

} // namespace paintfloor
