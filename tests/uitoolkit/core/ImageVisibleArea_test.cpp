// Image drawing costs what is visible: image strings drawn into destinations far larger than any
// screen (nine-grid corners with fades, stretches, tiles, masks, through the system's blend and
// the software blend) finish at once, and inside the paint rectangle they draw exactly what a
// small destination of the same shape draws there. Drawing limited to a paint rectangle gives
// the same pixels there as drawing everything, whatever the stretch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "kit/TimeBound.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CHostResources;
using SkinUI::CRenderKit;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kCanvasWidth = 240, kCanvasHeight = 130;
// A draw that is bounded by what is visible takes milliseconds; the bound leaves room for a
// loaded machine, and a hang ends the test run at twice the bound.
constexpr double kBoundMs = 1000;

// Whether the pixels of `a` inside a rectangle agree with those of `b` at the same place shifted
// by (dx, dy); names the first that does not.
testing::AssertionResult SameInside(const kit::DibCanvas& a, const kit::DibCanvas& b, const RECT& rc, int dx = 0,
                                    int dy = 0)
{
    return kit::CanvasIs(a, [&](int x, int y) { return kit::In(x, y, rc) ? b.Pixel(x + dx, y + dy) : kit::kAnyColor; });
}

class ImageVisibleArea : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        SkinUI::CMsimgEntryPoints::ForceFallbacks(GetParam());
        // 12 x 12: 4-pixel blue corners, green edges, red middle: every piece of one colour, so
        // a stretch of any factor draws the same colours in the same places.
        m_skin.Write(L"frame.png", kit::EncodePng(12, 12, [](int x, int y) {
                         const bool edgeX = x < 4 || x >= 8, edgeY = y < 4 || y >= 8;
                         return edgeX && edgeY ? 0xFF0000FFu : edgeX || edgeY ? 0xFF00FF00u : 0xFFFF0000u;
                     }));
        // The same with translucent edges and corners.
        m_skin.Write(L"glass.png", kit::EncodePng(12, 12, [](int x, int y) {
                         const bool edgeX = x < 4 || x >= 8, edgeY = y < 4 || y >= 8;
                         return edgeX && edgeY ? 0x400000FFu : edgeX || edgeY ? 0xA000FF00u : 0xFFFF0000u;
                     }));
        // A nine-grid whose middle is striped, so that tiles show where they start.
        m_skin.Write(L"tiles.png", kit::EncodePng(12, 12, [](int x, int y) {
                         const bool edgeX = x < 4 || x >= 8, edgeY = y < 4 || y >= 8;
                         return edgeX && edgeY ? 0xFF0000FFu : edgeX || edgeY ? 0x8000FF00u : x < 6 ? 0xFFFF0000u : 0xFF0000FFu;
                     }));
        m_skin.Write(L"red.png", kit::SolidPng(4, 4, 0xFFFF0000));
        m_skin.Write(L"half.png", kit::SolidPng(2, 2, 0x80FF0000));
        m_skin.Write(L"stripes.png", kit::EncodePng(4, 4, [](int x, int) { return x < 2 ? 0xFFFF0000u : 0xFF0000FFu; }));
        m_skin.Write(L"rows.png", kit::EncodePng(4, 4, [](int, int y) { return y < 2 ? 0x80FF0000u : 0xFF0000FFu; }));
        m_skin.Write(L"magenta.png", kit::EncodePng(3, 3, [](int x, int y) {
                         return (x + y) % 2 ? 0xFFFF00FFu : 0xFF00FF00u;
                     }));
        // Every pixel different: a stretch shows exactly which source pixel lands where.
        m_skin.Write(L"ramp.png", kit::EncodePng(12, 12, [](int x, int y) {
                         return 0xFF000000u | (static_cast<uint32_t>(x * 20) << 16) | (static_cast<uint32_t>(y * 20) << 8) |
                                static_cast<uint32_t>((x * 7 + y * 13) & 0xFF);
                     }));
        m_skin.Write(L"ramp-alpha.png", kit::EncodePng(12, 12, [](int x, int y) {
                         return (static_cast<uint32_t>(40 + x * 15 + y) << 24) | (static_cast<uint32_t>(x * 20) << 16) |
                                (static_cast<uint32_t>(y * 20) << 8) | 0x40u;
                     }));
    }
    void TearDown() override { SkinUI::CMsimgEntryPoints::ForceFallbacks(false); }

    void Draw(kit::DibCanvas& canvas, const RECT& rc, const RECT& paint, const wchar_t* image)
    {
        canvas.Fill(kWhite);
        CRenderKit::DrawImageBySpec(canvas.DC(), &m_host, rc, paint, image);
    }

    kit::SkinDir m_skin;
    CHostResources m_host;
};

} // namespace

// Destinations 16,777,216 pixels wide or high, with small paint rectangles, in every stretch
// mode: each drawn within the bound, and inside the paint rectangle like a small destination
// with the same visible edges.
TEST_P(ImageVisibleArea, HugeDestinationsDrawOnlyWhatIsVisible)
{
    constexpr LONG kHuge = 16777216;
    const struct {
        const wchar_t* image;
        RECT huge;
        RECT small;
        RECT paint;
    } cases[] = {
        // A nine-grid with a fade, running far down and far right; a hole leaves the middle.
        {L"file='frame.png' source='0,0,12,12' corner='4,4,4,4' hole='false' fade='200'", {124, 13, 146, kHuge + 1},
         {124, 13, 146, 130}, {67, 20, 223, 115}},
        {L"file='frame.png' source='0,0,12,12' corner='4,4,4,4' hole='false' fade='200'", {-kHuge + 150, 30, 150, 52},
         {60, 30, 150, 52}, {67, 20, 223, 115}},
        {L"file='frame.png' corner='4,4,4,4' hole='true' fade='90'", {20, 20, kHuge - 20, kHuge - 20}, {20, 20, 300, 200},
         {0, 0, 240, 130}},
        {L"file='glass.png' corner='4,4,4,4'", {-kHuge / 2, 10, kHuge / 2, 100}, {-30, 10, 300, 100}, {5, 0, 200, 130}},
        {L"file='glass.png' corner='4,4,4,4' fade='17'", {10, -kHuge + 100, 200, 100}, {10, -30, 200, 100}, {0, 50, 240, 130}},
        // Plain stretches: opaque, with alpha, with a fade.
        {L"red.png", {0, 0, kHuge, 100}, {0, 0, 240, 100}, {30, 10, 90, 60}},
        {L"half.png", {-kHuge / 2, -kHuge / 2, kHuge / 2, kHuge / 2}, {0, 0, 240, 130}, {0, 0, 240, 130}},
        {L"file='red.png' fade='100'", {-5, -kHuge + 60, 235, 60}, {-5, 0, 235, 60}, {1, 1, 239, 129}},
        // Tiles from the destination's left-top (the huge left is a multiple of the tile size).
        {L"file='stripes.png' xtiled='true'", {-kHuge + 200, 10, 200, 60}, {0, 10, 200, 60}, {0, 0, 240, 130}},
        {L"file='rows.png' ytiled='true'", {10, 0, 60, kHuge}, {10, 0, 60, 130}, {20, 5, 50, 125}},
        {L"file='magenta.png' mask='#FFFF00FF' xtiled='true' ytiled='true'", {0, 0, kHuge - 1, kHuge - 1},
         {0, 0, 240, 130}, {3, 4, 233, 124}},
        {L"file='tiles.png' corner='4,4,4,4' xtiled='true' ytiled='true' fade='150'", {-kHuge + 201, -kHuge + 101, 201, 101},
         {-23, -23, 201, 101}, {0, 0, 240, 130}},
    };
    kit::DibCanvas huge(kCanvasWidth, kCanvasHeight), small(kCanvasWidth, kCanvasHeight);
    for (const auto& c : cases) {
        const std::string what = kit::Text(c.huge) + " " + std::string(c.image, c.image + wcslen(c.image));
        const double ms = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), what, [&] { Draw(huge, c.huge, c.paint, c.image); });
        EXPECT_LT(ms, kBoundMs) << what;
        Draw(small, c.small, c.paint, c.image);
        EXPECT_TRUE(SameInside(huge, small, c.paint)) << what;
        // Something was drawn, so the comparison compared a picture.
        EXPECT_FALSE(SameInside(huge, kit::DibCanvas(kCanvasWidth, kCanvasHeight), c.paint)) << what;
    }
}

// Any paint rectangle: inside it, exactly the pixels of drawing the whole destination onto a
// surface that holds all of it, for stretches by any factor, nine-grids and tiles, opaque and
// blended, also where the destination reaches outside the surface drawn on.
TEST_P(ImageVisibleArea, PartsInsideThePaintRectangleMatchTheWholeDrawing)
{
    const wchar_t* images[] = {
        L"ramp.png",
        L"ramp-alpha.png",
        L"file='ramp.png' fade='180'",
        L"file='ramp.png' source='1,2,11,9'",
        L"file='ramp.png' corner='3,4,5,2'",
        L"file='ramp-alpha.png' corner='4,4,4,4' hole='true'",
        L"file='ramp.png' corner='2,2,3,3' xtiled='true'",
        L"file='ramp-alpha.png' corner='2,2,3,3' xtiled='true' ytiled='true'",
        L"file='ramp.png' ytiled='true' fade='77'",
    };
    kit::FuzzRun fuzz;
    kit::DibCanvas part(kCanvasWidth, kCanvasHeight);
    // The software blend of a whole large destination is slow; the reference stays smaller there.
    const uint32_t large = GetParam() ? 1200 : 3000;
    for (int i = 0; i < 180; ++i) {
        const wchar_t* image = images[i % (sizeof(images) / sizeof(images[0]))];
        // Destinations from smaller than the image to many times larger.
        const LONG left = static_cast<LONG>(fuzz.Below(300)) - 150, top = static_cast<LONG>(fuzz.Below(200)) - 100;
        const LONG width = 1 + static_cast<LONG>(fuzz.Below(i % 3 == 0 ? large : 400));
        const LONG height = 1 + static_cast<LONG>(fuzz.Below(i % 3 == 1 ? large : 300));
        const RECT rc{left, top, left + width, top + height};
        const LONG px = static_cast<LONG>(fuzz.Below(kCanvasWidth)), py = static_cast<LONG>(fuzz.Below(kCanvasHeight));
        const RECT paint{px, py, px + 1 + static_cast<LONG>(fuzz.Below(90)), py + 1 + static_cast<LONG>(fuzz.Below(70))};
        kit::DibCanvas whole(width, height);
        Draw(whole, RECT{0, 0, width, height}, RECT{0, 0, width, height}, image);
        Draw(part, rc, paint, image);
        RECT compared{};
        ::IntersectRect(&compared, &rc, &paint);
        ASSERT_TRUE(SameInside(part, whole, compared, -left, -top))
            << "case " << i << ": " << kit::Text(rc) << " paint " << kit::Text(paint) << " "
            << std::string(image, image + wcslen(image));
    }
}

// Fills and gradients over rectangles beyond any screen cost what is visible too.
TEST_P(ImageVisibleArea, HugeFillsAndGradientsFinishAtOnce)
{
    constexpr LONG kHuge = 16777216;
    const RECT huge{-kHuge / 2, -kHuge / 2, kHuge / 2, kHuge / 2};
    const struct {
        const char* what;
        void (*draw)(HDC, const RECT&);
        uint32_t centre;  // the colour at the canvas's centre afterwards
    } cases[] = {
        {"translucent fill", [](HDC dc, const RECT& rc) { CRenderKit::DrawColor(dc, rc, 0x80000000); }, 0x7F7F7F},
        {"translucent gradient", [](HDC dc, const RECT& rc) {
             CRenderKit::DrawGradient(dc, rc, 0x80000000, 0x80000000, true, 16);
         }, 0x7F7F7F},
        {"opaque gradient", [](HDC dc, const RECT& rc) { CRenderKit::DrawGradient(dc, rc, 0xFF000000, 0xFF000000, false, 16); },
         0x000000},
    };
    kit::DibCanvas canvas(kCanvasWidth, kCanvasHeight);
    for (const auto& c : cases) {
        canvas.Fill(kWhite);
        const double ms = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), c.what, [&] { c.draw(canvas.DC(), huge); });
        EXPECT_LT(ms, kBoundMs) << c.what;
        EXPECT_LE(kit::ColorDistance(canvas.Pixel(kCanvasWidth / 2, kCanvasHeight / 2), c.centre), 2) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ImageVisibleArea, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Fallbacks" : "System");
                         });
