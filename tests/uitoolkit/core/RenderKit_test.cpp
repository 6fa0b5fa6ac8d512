// Pixel tests of the render functions: fills, gradients, lines, rectangles, text, colour
// arithmetic and the software blend, each drawn into a 32-bit DIB and read back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/Text.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CMsimgEntryPoints;
using SkinUI::CRenderKit;
using kit::ColorDistance;
using kit::DibCanvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// Runs a test body once with the system's msimg32 entry points and once with the fallbacks.
class RenderPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { CMsimgEntryPoints::ForceFallbacks(GetParam()); }
    void TearDown() override { CMsimgEntryPoints::ForceFallbacks(false); }
};

std::string PathName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "Fallbacks" : "System";
}

// Blends may differ by rounding between the system and the software path.
bool Near(uint32_t actual, uint32_t expected)
{
    return ColorDistance(actual, expected) <= 2;
}

// Pixels outside rc keep the background colour.
testing::AssertionResult OutsideUntouched(const DibCanvas& canvas, const RECT& rc, uint32_t background)
{
    return kit::CanvasIs(canvas, [&](int x, int y) { return kit::In(x, y, rc) ? kit::kAnyColor : background; });
}

} // namespace

// ---- DrawColor ----

TEST_P(RenderPaths, DrawColorOpaqueFillsExactlyTheRectangleAndAlphaZeroNothing)
{
    DibCanvas canvas(30, 30, kWhite);
    const RECT rc{5, 6, 17, 20};
    CRenderKit::DrawColor(canvas.DC(), rc, 0xFFFF8000);
    CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, 30, 30}, 0x00123456);
    EXPECT_TRUE(kit::CanvasIs(canvas, [&](int x, int y) { return kit::In(x, y, rc) ? 0xFF8000u : kWhite; }));
}

TEST_P(RenderPaths, DrawColorTranslucentBlendsWithPremultipliedColour)
{
    // Half-transparent white over black gives mid grey; half-transparent red over white keeps
    // red at full and halves green and blue. An unpremultiplied pixel would over-brighten.
    DibCanvas dark(20, 20, kBlack);
    const RECT rc{2, 3, 15, 18};
    CRenderKit::DrawColor(dark.DC(), rc, 0x80FFFFFF);
    EXPECT_PRED2(Near, dark.Pixel(8, 10), 0x808080u) << std::hex << dark.Pixel(8, 10);
    EXPECT_PRED2(Near, dark.Pixel(2, 3), 0x808080u);
    EXPECT_PRED2(Near, dark.Pixel(14, 17), 0x808080u);
    EXPECT_TRUE(OutsideUntouched(dark, rc, kBlack));

    DibCanvas light(20, 20, kWhite);
    CRenderKit::DrawColor(light.DC(), rc, 0x80FF0000);
    EXPECT_PRED2(Near, light.Pixel(8, 10), 0xFF7F7Fu) << std::hex << light.Pixel(8, 10);
    EXPECT_TRUE(OutsideUntouched(light, rc, kWhite));

    DibCanvas mid(20, 20, 0x204060);
    CRenderKit::DrawColor(mid.DC(), rc, 0x40C08040);
    // 0.25 * src + 0.75 * dst per channel.
    const uint32_t expected = ((0xC0 / 4 + 0x20 * 3 / 4) << 16) | ((0x80 / 4 + 0x40 * 3 / 4) << 8) |
                              (0x40 / 4 + 0x60 * 3 / 4);
    EXPECT_PRED2(Near, mid.Pixel(5, 5), expected) << std::hex << mid.Pixel(5, 5);
}

// ---- DrawGradient ----

TEST_P(RenderPaths, VerticalGradientRunsFromFirstToSecondColour)
{
    DibCanvas canvas(24, 64, 0x00FF00);
    const RECT rc{2, 0, 22, 64};
    CRenderKit::DrawGradient(canvas.DC(), rc, 0xFFFFFFFF, 0xFF000000, true, 16);
    EXPECT_GE(canvas.Pixel(10, 0) & 0xFF, 0xE0u);
    EXPECT_LE(canvas.Pixel(10, 63) & 0xFF, 0x20u);
    for (int y = 0; y < 64; ++y) {
        const uint32_t first = canvas.Pixel(rc.left, y);
        for (int x = rc.left; x < rc.right; ++x) ASSERT_EQ(canvas.Pixel(x, y), first) << y;
        // grey: all channels equal
        ASSERT_EQ((first >> 16) & 0xFF, first & 0xFF);
        if (y > 0) {
            ASSERT_LE(first & 0xFF, canvas.Pixel(rc.left, y - 1) & 0xFF) << "row " << y;
        }
    }
    EXPECT_EQ(canvas.Pixel(0, 30), 0x00FF00u);
    EXPECT_EQ(canvas.Pixel(23, 30), 0x00FF00u);
}

TEST_P(RenderPaths, HorizontalGradientRunsLeftToRight)
{
    DibCanvas canvas(64, 20, kWhite);
    const RECT rc{0, 4, 64, 16};
    CRenderKit::DrawGradient(canvas.DC(), rc, 0xFF0000FF, 0xFFFF0000, false, 32);
    EXPECT_GE(canvas.Pixel(0, 8) & 0xFF, 0xE0u);          // blue at the left
    EXPECT_GE((canvas.Pixel(63, 8) >> 16) & 0xFF, 0xE0u);  // red at the right
    for (int x = 0; x < 64; ++x) {
        const uint32_t column = canvas.Pixel(x, rc.top);
        for (int y = rc.top; y < rc.bottom; ++y) ASSERT_EQ(canvas.Pixel(x, y), column);
        if (x > 0) {
            ASSERT_GE((column >> 16) & 0xFF, (canvas.Pixel(x - 1, rc.top) >> 16) & 0xFF);
            ASSERT_LE(column & 0xFF, canvas.Pixel(x - 1, rc.top) & 0xFF);
        }
    }
    EXPECT_EQ(canvas.Pixel(10, 3), kWhite);
    EXPECT_EQ(canvas.Pixel(10, 16), kWhite);
}

TEST_P(RenderPaths, TranslucentGradientBlendsWithConstantAlphaOnly)
{
    // Both colours black at alpha 0x80: half of white everywhere, whatever alpha bytes the
    // working surface holds.
    DibCanvas canvas(30, 40, kWhite);
    const RECT rc{5, 5, 25, 35};
    CRenderKit::DrawGradient(canvas.DC(), rc, 0x80000000, 0x80000000, true, 16);
    for (int y = rc.top; y < rc.bottom; y += 3) {
        for (int x = rc.left; x < rc.right; x += 3) {
            ASSERT_PRED2(Near, canvas.Pixel(x, y), 0x7F7F7Fu) << x << "," << y << " " << std::hex
                                                              << canvas.Pixel(x, y);
        }
    }
    EXPECT_TRUE(OutsideUntouched(canvas, rc, kWhite));

    // Alphas 0x00 and 0x01 average to 0: nothing is drawn.
    DibCanvas clear(20, 20, kWhite);
    CRenderKit::DrawGradient(clear.DC(), RECT{0, 0, 20, 20}, 0x00FF0000, 0x01FF0000, true, 16);
    EXPECT_TRUE(OutsideUntouched(clear, RECT{0, 0, 0, 0}, kWhite));

    // Alphas 0xFF and 0xFE average to 0xFE: nearly opaque red over white.
    DibCanvas red(10, 10, kWhite);
    CRenderKit::DrawGradient(red.DC(), RECT{0, 0, 10, 10}, 0xFFFF0000, 0xFEFF0000, false, 8);
    EXPECT_PRED2(Near, red.Pixel(5, 5), 0xFF0101u) << std::hex << red.Pixel(5, 5);
}

INSTANTIATE_TEST_SUITE_P(Paths, RenderPaths, ::testing::Values(false, true), PathName);

TEST(RenderKitBands, BandCountFollowsTheStepCount)
{
    CMsimgEntryPoints::ForceFallbacks(true);
    const struct {
        int steps;
        size_t bands;
    } cases[] = {{3, 2}, {4, 4}, {16, 16}, {63, 32}, {100, 64}};
    for (const auto& c : cases) {
        DibCanvas canvas(4, 256, kWhite);
        CRenderKit::DrawGradient(canvas.DC(), RECT{0, 0, 4, 256}, 0xFF000000, 0xFFFFFFFF, true, c.steps);
        std::set<uint32_t> colours;
        for (int y = 0; y < 256; ++y) colours.insert(canvas.Pixel(1, y));
        EXPECT_EQ(colours.size(), c.bands) << c.steps << " steps";
        // Band 0 lies at the bottom in the second colour.
        EXPECT_EQ(canvas.Pixel(1, 255), kWhite) << c.steps;
    }
    CMsimgEntryPoints::ForceFallbacks(false);
}

// ---- lines and rectangles ----

TEST(RenderKitShapes, LineRunsFromLeftTopToRightBottomWithItsWidth)
{
    DibCanvas canvas(30, 30, kWhite);
    CRenderKit::DrawLine(canvas.DC(), RECT{3, 10, 25, 10}, 1, 0xFF0000FF);
    for (int x = 3; x < 25; ++x) ASSERT_EQ(canvas.Pixel(x, 10), 0x0000FFu) << x;
    EXPECT_EQ(canvas.Pixel(3, 9), kWhite);
    EXPECT_EQ(canvas.Pixel(3, 11), kWhite);

    DibCanvas wide(30, 30, kWhite);
    CRenderKit::DrawLine(wide.DC(), RECT{3, 15, 25, 15}, 5, 0xFF00FF00);
    for (int y = 13; y <= 17; ++y) EXPECT_EQ(wide.Pixel(14, y), 0x00FF00u) << y;
    EXPECT_EQ(wide.Pixel(14, 11), kWhite);
    EXPECT_EQ(wide.Pixel(14, 19), kWhite);

    DibCanvas diagonal(30, 30, kWhite);
    CRenderKit::DrawLine(diagonal.DC(), RECT{0, 0, 20, 20}, 1, 0xFF000000);
    EXPECT_EQ(diagonal.Pixel(10, 10), kBlack);
    EXPECT_EQ(diagonal.Pixel(10, 2), kWhite);
}

TEST(RenderKitShapes, RectOutlineStaysInsideAndLeavesTheMiddle)
{
    DibCanvas canvas(30, 30, kWhite);
    const RECT rc{4, 5, 24, 25};
    ::SelectObject(canvas.DC(), ::GetStockObject(GRAY_BRUSH));
    HGDIOBJ oldPen = ::GetCurrentObject(canvas.DC(), OBJ_PEN);
    CRenderKit::DrawRect(canvas.DC(), rc, 3, 0xFFFF0000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(canvas.Pixel(rc.left + i, 15), 0xFF0000u) << i;
        EXPECT_EQ(canvas.Pixel(rc.right - 1 - i, 15), 0xFF0000u) << i;
        EXPECT_EQ(canvas.Pixel(14, rc.top + i), 0xFF0000u) << i;
        EXPECT_EQ(canvas.Pixel(14, rc.bottom - 1 - i), 0xFF0000u) << i;
    }
    EXPECT_EQ(canvas.Pixel(rc.left + 3, 15), kWhite);
    EXPECT_EQ(canvas.Pixel(14, 15), kWhite);
    EXPECT_TRUE(OutsideUntouched(canvas, rc, kWhite));
    // The caller's pen and brush are back.
    EXPECT_EQ(::GetCurrentObject(canvas.DC(), OBJ_PEN), oldPen);
    EXPECT_EQ(::GetCurrentObject(canvas.DC(), OBJ_BRUSH), ::GetStockObject(GRAY_BRUSH));
}

TEST(RenderKitShapes, RoundRectCutsItsCorners)
{
    DibCanvas canvas(40, 40, kWhite);
    const RECT rc{2, 2, 38, 38};
    ::SelectObject(canvas.DC(), ::GetStockObject(GRAY_BRUSH));
    HGDIOBJ oldPen = ::GetCurrentObject(canvas.DC(), OBJ_PEN);
    CRenderKit::DrawRoundRect(canvas.DC(), rc, 1, 16, 16, 0xFF000000);
    EXPECT_EQ(::GetCurrentObject(canvas.DC(), OBJ_PEN), oldPen);
    EXPECT_EQ(::GetCurrentObject(canvas.DC(), OBJ_BRUSH), ::GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(canvas.Pixel(20, 2), kBlack);    // top edge middle
    EXPECT_EQ(canvas.Pixel(2, 20), kBlack);    // left edge middle
    EXPECT_EQ(canvas.Pixel(37, 20), kBlack);   // right edge middle
    EXPECT_EQ(canvas.Pixel(2, 2), kWhite);     // the corner is rounded away
    EXPECT_EQ(canvas.Pixel(37, 37), kWhite);
    EXPECT_EQ(canvas.Pixel(20, 20), kWhite);   // hollow
    EXPECT_TRUE(OutsideUntouched(canvas, rc, kWhite));
}

// Rectangles and corners from skin numbers reach GDI within its range and no larger than the
// rectangle; a huge round rectangle is drawn at once.
TEST(RenderKitShapes, RoundCornersFromSkinNumbersAreClamped)
{
    struct Case {
        RECT rc;
        SIZE round;
        const char* rcAfter;
        const char* roundAfter;
    } const cases[] = {
        {{2, 2, 38, 38}, {16, 16}, "2,2,38,38", "16,16"},
        {{0, 0, 10, 20}, {50, 50}, "0,0,10,20", "10,20"},
        {{0, 0, 10000000, 10000000}, {10000000, 10000000}, "0,0,10000000,10000000", "4096,4096"},
        {{0, 0, LONG_MAX, LONG_MAX}, {-5, 7}, "0,0,134217727,134217727", "0,7"},
        {{LONG_MIN, 5, 10, 2}, {3, 3}, "-134217727,5,10,5", "3,0"},
    };
    for (const Case& c : cases) {
        RECT rc = c.rc;
        int cx = c.round.cx, cy = c.round.cy;
        CRenderKit::ClampRoundRect(rc, cx, cy);
        EXPECT_EQ(kit::Text(rc), c.rcAfter);
        EXPECT_EQ(kit::Text(SIZE{cx, cy}), c.roundAfter);
    }
    DibCanvas canvas(40, 40, kWhite);
    CRenderKit::DrawRoundRect(canvas.DC(), RECT{-5000, 0, 10000000, 10000000}, 1, 10000000, 10000000, 0xFF000000);
    EXPECT_EQ(canvas.Pixel(20, 0), kBlack);  // the straight top edge, past the 4096-pixel corner
    EXPECT_EQ(canvas.Pixel(20, 1), kWhite);
}

// ---- text ----

TEST(RenderKitText, DrawsInTheColourAndStaysInsideTheRectangle)
{
    SkinUI::CHostResources host;
    ASSERT_NE(host.AddFont(L"Tahoma", 20, true, false, false), nullptr);
    DibCanvas canvas(120, 40, kWhite);
    RECT rc{10, 5, 40, 30};  // narrower than the text
    CRenderKit::DrawText(canvas.DC(), &host, rc, L"WWWWWWWW", 0xFF0000FF, 0, DT_SINGLELINE | DT_VCENTER);
    int blue = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const uint32_t p = canvas.Pixel(x, y);
            if (p == 0x0000FFu) ++blue;
            // Anti-aliased edges mix blue into white; nothing else appears.
            ASSERT_EQ((p >> 16) & 0xFF, (p >> 8) & 0xFF) << std::hex << p;
        }
    EXPECT_GT(blue, 20);
    EXPECT_TRUE(OutsideUntouched(canvas, rc, kWhite));
    EXPECT_EQ(::GetBkMode(canvas.DC()), TRANSPARENT);

    // DT_CALCRECT measures: a bigger font gives a bigger rectangle; nothing is drawn.
    DibCanvas measure(10, 10, kWhite);
    RECT small{0, 0, 0, 0}, big{0, 0, 0, 0};
    CRenderKit::DrawText(measure.DC(), &host, small, L"Hello", 0xFF000000, -1, DT_SINGLELINE | DT_CALCRECT);
    CRenderKit::DrawText(measure.DC(), &host, big, L"Hello", 0xFF000000, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(small.right, 0);
    EXPECT_GT(big.bottom, small.bottom);
    EXPECT_EQ(measure.Pixel(5, 5), kWhite);
}

TEST(RenderKitText, NullTextOrHostTouchesNothing)
{
    SkinUI::CHostResources host;
    DibCanvas canvas(20, 20, kWhite);
    ::SetTextColor(canvas.DC(), RGB(1, 2, 3));
    ::SetBkMode(canvas.DC(), OPAQUE);
    HGDIOBJ font = ::GetCurrentObject(canvas.DC(), OBJ_FONT);
    RECT rc{0, 0, 20, 20};
    CRenderKit::DrawText(canvas.DC(), &host, rc, nullptr, 0xFFFF0000, 0, 0);
    CRenderKit::DrawText(canvas.DC(), nullptr, rc, L"x", 0xFFFF0000, 0, 0);
    EXPECT_EQ(::GetTextColor(canvas.DC()), RGB(1, 2, 3));
    EXPECT_EQ(::GetBkMode(canvas.DC()), OPAQUE);
    EXPECT_EQ(::GetCurrentObject(canvas.DC(), OBJ_FONT), font);
    EXPECT_TRUE(OutsideUntouched(canvas, RECT{0, 0, 0, 0}, kWhite));
}

// ---- colour arithmetic ----

TEST(RenderKitColour, NeutralAdjustmentKeepsEveryBit)
{
    for (DWORD c : {0x00000000u, 0xFFFFFFFFu, 0x12345678u, 0x80FF00FFu, 0x01020304u})
        EXPECT_EQ(CRenderKit::AdjustColor(c, 180, 100, 100), c);
}

TEST(RenderKitColour, HueOfPureColoursAndRotation)
{
    float h, s, l;
    SkinUI::RgbToHsl(0x000000FF, &h, &s, &l);  // the low byte is read as red
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    SkinUI::RgbToHsl(0x0000FF00, &h, &s, &l);
    EXPECT_FLOAT_EQ(h, 120.0f);
    SkinUI::RgbToHsl(0x00FF0000, &h, &s, &l);
    EXPECT_FLOAT_EQ(h, 240.0f);
    SkinUI::RgbToHsl(0x00808080, &h, &s, &l);
    EXPECT_FLOAT_EQ(s, 0.0f);

    // A hue shift of +120 degrees moves the low byte's colour to the middle byte; the alpha stays.
    EXPECT_EQ(CRenderKit::AdjustColor(0x7F0000FF, 300, 100, 100), 0x7F00FF00u);
    // Lightness 0 is black; saturation 0 is grey.
    EXPECT_EQ(CRenderKit::AdjustColor(0xFF3366CC, 180, 100, 0) & 0xFFFFFF, 0u);
    const DWORD grey = CRenderKit::AdjustColor(0xFF3366CC, 180, 0, 100);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
    EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
}

TEST(RenderKitColour, HslRoundTripStaysWithinOneStep)
{
    kit::Fuzz random(1234);
    for (int i = 0; i < 2000; ++i) {
        const DWORD c = random.Next();
        float h, s, l;
        SkinUI::RgbToHsl(c, &h, &s, &l);
        DWORD back = c;
        SkinUI::HslToRgb(&back, h, s, l);
        ASSERT_EQ(back >> 24, c >> 24);
        ASSERT_LE(ColorDistance(back & 0xFFFFFF, c & 0xFFFFFF), 1) << std::hex << c << " " << back;
    }
}

TEST(RenderKitColour, BlendPixelWeighsTheThreeLowBytes)
{
    EXPECT_EQ(SkinUI::BlendPixel(0xFF204080, 0.5, 0xFF000000, 0.5), 0x00102040u);
    EXPECT_EQ(SkinUI::BlendPixel(0x00FFFFFF, 1.0, 0x00FFFFFF, 1.0), 0x00FFFFFFu);  // saturates
    EXPECT_EQ(SkinUI::BlendPixel(0x00808080, 128.0 / 255.0, 0x00FFFFFF, 127.0 / 255.0), 0x00BFBFBFu);
}

// ---- software AlphaBlend against the system's ----

namespace {

// A canvas holding exactly these raw (premultiplied ARGB) pixels.
std::unique_ptr<DibCanvas> SourceImage(int w, int h, const std::vector<uint32_t>& pixels)
{
    auto image = std::make_unique<DibCanvas>(w, h);
    std::memcpy(image->Bits(), pixels.data(), pixels.size() * 4);
    return image;
}

} // namespace

TEST(RenderKitBlend, FallbackMatchesTheSystemAlphaBlend)
{
    kit::FuzzRun random;
    const int w = 16, h = 12;
    std::vector<uint32_t> src(w * h), dst(w * h);
    for (auto& p : src) {
        // premultiplied: no channel above the alpha
        const uint32_t a = random.Below(256);
        const auto ch = [&] { return a == 0 ? 0u : random.Below(a + 1); };
        p = (a << 24) | (ch() << 16) | (ch() << 8) | ch();
    }
    for (auto& p : dst) p = random.Next() & 0xFFFFFF;
    const auto image = SourceImage(w, h, src);

    CMsimgEntryPoints::ForceFallbacks(false);
    const SkinUI::AlphaBlendFn system = CMsimgEntryPoints::AlphaBlend();
    ASSERT_NE(system, &CRenderKit::AlphaBlendFallback) << "this system offers AlphaBlend";

    for (const BLENDFUNCTION blend : {BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA},
                                      BLENDFUNCTION{AC_SRC_OVER, 0, 0x60, AC_SRC_ALPHA},
                                      BLENDFUNCTION{AC_SRC_OVER, 0, 0x80, 0}}) {
        DibCanvas expected(w, h), actual(w, h);
        memcpy(expected.Bits(), dst.data(), dst.size() * 4);
        memcpy(actual.Bits(), dst.data(), dst.size() * 4);
        ASSERT_TRUE(system(expected.DC(), 0, 0, w, h, image->DC(), 0, 0, w, h, blend));
        ASSERT_TRUE(CRenderKit::AlphaBlendFallback(actual.DC(), 0, 0, w, h, image->DC(), 0, 0, w, h, blend));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_LE(ColorDistance(actual.Pixel(x, y), expected.Pixel(x, y)), 2)
                    << x << "," << y << std::hex << " src " << src[y * w + x] << " dst "
                    << dst[y * w + x] << " got " << actual.Pixel(x, y) << " want "
                    << expected.Pixel(x, y) << " alpha " << int(blend.SourceConstantAlpha);
    }

    // Stretching: a 2x2 source over an 8x8 destination, offset in both.
    DibCanvas expected(12, 12, 0x336699), actual(12, 12, 0x336699);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 200, AC_SRC_ALPHA};
    system(expected.DC(), 2, 3, 8, 8, image->DC(), 1, 1, 2, 2, blend);
    CRenderKit::AlphaBlendFallback(actual.DC(), 2, 3, 8, 8, image->DC(), 1, 1, 2, 2, blend);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_LE(ColorDistance(actual.Pixel(x, y), expected.Pixel(x, y)), 2) << x << "," << y;
}

TEST(RenderKitBlend, FallbackRefusesEmptySizes)
{
    DibCanvas canvas(4, 4, kWhite);
    const auto image = SourceImage(1, 1, {0xFF000000});
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(CRenderKit::AlphaBlendFallback(canvas.DC(), 0, 0, 0, 4, image->DC(), 0, 0, 1, 1, blend));
    EXPECT_FALSE(CRenderKit::AlphaBlendFallback(canvas.DC(), 0, 0, 4, 4, image->DC(), 0, 0, 1, -1, blend));
    EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
}
