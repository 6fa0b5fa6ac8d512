// Pixel tests of the render functions: fills, gradients, lines, rectangles, text, colour
// arithmetic and the software blend, each drawn into a 32-bit DIB and read back; and the clip
// guards that narrow a DC's clip while a control paints and restore the exact clip that was there
// before, also when nested and when the earlier clip was not a rectangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/Text.h"
#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CClipGuard;
using SkinUI::CGdiRegion;
using SkinUI::CMsimgEntryPoints;
using SkinUI::CRenderKit;
using kit::ColorDistance;
using kit::DibCanvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
using Pixels = std::vector<uint32_t>;

// Runs a test body once with the system's msimg32 entry points and once with the fallbacks.
class RenderPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { CMsimgEntryPoints::ForceFallbacks(GetParam()); }
    void TearDown() override { CMsimgEntryPoints::ForceFallbacks(false); }
};

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

// A canvas holding exactly these raw (premultiplied ARGB) pixels.
std::unique_ptr<DibCanvas> SourceImage(int w, int h, const std::vector<uint32_t>& pixels)
{
    auto image = std::make_unique<DibCanvas>(w, h);
    std::memcpy(image->Bits(), pixels.data(), pixels.size() * 4);
    return image;
}

} // namespace

// ---- fills and gradients ----

TEST_P(RenderPaths, DrawColorFillsExactlyTheRectangleAndBlendsPremultiplied)
{
    DibCanvas canvas(30, 30, kWhite);
    const RECT rc{5, 6, 17, 20};
    CRenderKit::DrawColor(canvas.DC(), rc, 0xFFFF8000);
    CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, 30, 30}, 0x00123456);  // alpha 0: nothing
    EXPECT_TRUE(kit::CanvasIs(canvas, [&](int x, int y) { return kit::In(x, y, rc) ? 0xFF8000u : kWhite; }));

    // Half-transparent white over black gives mid grey over the whole rectangle; half-transparent
    // red over white keeps red at full and halves green and blue; a quarter blends 1:3. An
    // unpremultiplied pixel would over-brighten.
    const RECT part{2, 3, 15, 18};
    const struct {
        uint32_t background, color, expected;
    } blends[] = {{kBlack, 0x80FFFFFF, 0x808080},
                  {kWhite, 0x80FF0000, 0xFF7F7F},
                  {0x204060, 0x40C08040,
                   ((0xC0 / 4 + 0x20 * 3 / 4) << 16) | ((0x80 / 4 + 0x40 * 3 / 4) << 8) | (0x40 / 4 + 0x60 * 3 / 4)}};
    for (const auto& b : blends) {
        DibCanvas dib(20, 20, b.background);
        CRenderKit::DrawColor(dib.DC(), part, b.color);
        for (const uint32_t p : dib.Pixels({{8, 10}, {2, 3}, {14, 17}}))
            EXPECT_PRED2(Near, p, b.expected) << std::hex << b.color;
        EXPECT_TRUE(OutsideUntouched(dib, part, b.background));
    }
}

TEST_P(RenderPaths, GradientsRunFromTheFirstToTheSecondColourInBands)
{
    // Vertical: white at the top to black at the bottom, grey rows that only darken.
    DibCanvas canvas(24, 64, 0x00FF00);
    const RECT rc{2, 0, 22, 64};
    CRenderKit::DrawGradient(canvas.DC(), rc, 0xFFFFFFFF, 0xFF000000, true, 16);
    EXPECT_TRUE((canvas.Pixel(10, 0) & 0xFF) >= 0xE0u && (canvas.Pixel(10, 63) & 0xFF) <= 0x20u);
    for (int y = 0; y < 64; ++y) {
        const uint32_t first = canvas.Pixel(rc.left, y);
        for (int x = rc.left; x < rc.right; ++x) ASSERT_EQ(canvas.Pixel(x, y), first) << y;
        ASSERT_EQ((first >> 16) & 0xFF, first & 0xFF);  // grey: all channels equal
        ASSERT_TRUE(y == 0 || (first & 0xFF) <= (canvas.Pixel(rc.left, y - 1) & 0xFF)) << "row " << y;
    }
    EXPECT_EQ(canvas.Pixels({{0, 30}, {23, 30}}), (Pixels{0x00FF00, 0x00FF00}));

    // Horizontal: blue at the left to red at the right, columns of one colour.
    DibCanvas wide(64, 20, kWhite);
    const RECT band{0, 4, 64, 16};
    CRenderKit::DrawGradient(wide.DC(), band, 0xFF0000FF, 0xFFFF0000, false, 32);
    EXPECT_TRUE((wide.Pixel(0, 8) & 0xFF) >= 0xE0u && ((wide.Pixel(63, 8) >> 16) & 0xFF) >= 0xE0u);
    for (int x = 0; x < 64; ++x) {
        const uint32_t column = wide.Pixel(x, band.top), left = wide.Pixel(std::max(x - 1, 0), band.top);
        for (int y = band.top; y < band.bottom; ++y) ASSERT_EQ(wide.Pixel(x, y), column);
        ASSERT_TRUE(((column >> 16) & 0xFF) >= ((left >> 16) & 0xFF) && (column & 0xFF) <= (left & 0xFF)) << x;
    }
    EXPECT_EQ(wide.Pixels({{10, 3}, {10, 16}}), (Pixels{kWhite, kWhite}));
}

TEST_P(RenderPaths, TranslucentGradientBlendsWithConstantAlphaOnly)
{
    // Both colours black at alpha 0x80: half of white everywhere, whatever alpha bytes the
    // working surface holds.
    DibCanvas canvas(30, 40, kWhite);
    const RECT rc{5, 5, 25, 35};
    CRenderKit::DrawGradient(canvas.DC(), rc, 0x80000000, 0x80000000, true, 16);
    for (int y = rc.top; y < rc.bottom; y += 3)
        for (int x = rc.left; x < rc.right; x += 3)
            ASSERT_PRED2(Near, canvas.Pixel(x, y), 0x7F7F7Fu) << x << "," << y << " " << std::hex << canvas.Pixel(x, y);
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

INSTANTIATE_TEST_SUITE_P(Paths, RenderPaths, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Fallbacks" : "System"; });

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
        EXPECT_EQ(canvas.Pixel(1, 255), kWhite) << c.steps;  // band 0 lies at the bottom in the second colour
    }
    CMsimgEntryPoints::ForceFallbacks(false);
}

// ---- lines and rectangles ----

TEST(RenderKitShapes, LinesRunFromLeftTopToRightBottomWithTheirWidth)
{
    DibCanvas canvas(30, 30, kWhite);
    CRenderKit::DrawLine(canvas.DC(), RECT{3, 10, 25, 10}, 1, 0xFF0000FF);
    CRenderKit::DrawLine(canvas.DC(), RECT{3, 20, 25, 20}, 5, 0xFF00FF00);
    for (int x = 3; x < 25; ++x) ASSERT_EQ(canvas.Pixel(x, 10), 0x0000FFu) << x;
    EXPECT_EQ(canvas.Pixels({{3, 9}, {3, 11}, {14, 16}, {14, 18}, {14, 20}, {14, 22}, {14, 24}}),
              (Pixels{kWhite, kWhite, kWhite, 0x00FF00, 0x00FF00, 0x00FF00, kWhite}));
    DibCanvas diagonal(30, 30, kWhite);
    CRenderKit::DrawLine(diagonal.DC(), RECT{0, 0, 20, 20}, 1, 0xFF000000);
    EXPECT_EQ(diagonal.Pixels({{10, 10}, {10, 2}}), (Pixels{kBlack, kWhite}));
}

// The outline stays inside the rectangle and leaves the middle; round corners are cut; the
// caller's pen and brush are back afterwards.
TEST(RenderKitShapes, RectanglesAndRoundRectangles)
{
    DibCanvas canvas(30, 30, kWhite), round(40, 40, kWhite);
    for (DibCanvas* dib : {&canvas, &round})
        ::SelectObject(dib->DC(), ::GetStockObject(GRAY_BRUSH));
    HGDIOBJ oldPen = ::GetCurrentObject(canvas.DC(), OBJ_PEN);
    const RECT rc{4, 5, 24, 25}, rrc{2, 2, 38, 38};
    CRenderKit::DrawRect(canvas.DC(), rc, 3, 0xFFFF0000);
    CRenderKit::DrawRoundRect(round.DC(), rrc, 1, 16, 16, 0xFF000000);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(canvas.Pixels({{rc.left + i, 15}, {rc.right - 1 - i, 15}, {14, rc.top + i}, {14, rc.bottom - 1 - i}}),
                  (Pixels{kRed, kRed, kRed, kRed})) << i;
    EXPECT_EQ(canvas.Pixels({{rc.left + 3, 15}, {14, 15}}), (Pixels{kWhite, kWhite}));
    // Edge middles drawn; the corners rounded away; hollow.
    EXPECT_EQ(round.Pixels({{20, 2}, {2, 20}, {37, 20}, {2, 2}, {37, 37}, {20, 20}}),
              (Pixels{kBlack, kBlack, kBlack, kWhite, kWhite, kWhite}));
    for (const auto& [dib, r] : {std::make_pair(&canvas, rc), std::make_pair(&round, rrc)}) {
        EXPECT_TRUE(OutsideUntouched(*dib, r, kWhite));
        EXPECT_EQ(::GetCurrentObject(dib->DC(), OBJ_PEN), oldPen);
        EXPECT_EQ(::GetCurrentObject(dib->DC(), OBJ_BRUSH), ::GetStockObject(GRAY_BRUSH));
    }
}

// Rectangles and corners from skin numbers reach GDI within its range and no larger than the
// rectangle; a huge round rectangle is drawn at once.
TEST(RenderKitShapes, RoundCornersFromSkinNumbersAreClamped)
{
    struct Case {
        RECT rc;
        SIZE round;
        const char* after;
    } const cases[] = {
        {{2, 2, 38, 38}, {16, 16}, "2,2,38,38 16,16"},
        {{0, 0, 10, 20}, {50, 50}, "0,0,10,20 10,20"},
        {{0, 0, 10000000, 10000000}, {10000000, 10000000}, "0,0,10000000,10000000 4096,4096"},
        {{0, 0, LONG_MAX, LONG_MAX}, {-5, 7}, "0,0,134217727,134217727 0,7"},
        {{LONG_MIN, 5, 10, 2}, {3, 3}, "-134217727,5,10,5 3,0"},
    };
    for (const Case& c : cases) {
        RECT rc = c.rc;
        int cx = c.round.cx, cy = c.round.cy;
        CRenderKit::ClampRoundRect(rc, cx, cy);
        EXPECT_EQ(kit::Text(rc) + " " + kit::Text(SIZE{cx, cy}), c.after);
    }
    DibCanvas canvas(40, 40, kWhite);
    CRenderKit::DrawRoundRect(canvas.DC(), RECT{-5000, 0, 10000000, 10000000}, 1, 10000000, 10000000, 0xFF000000);
    EXPECT_EQ(canvas.Pixels({{20, 0}, {20, 1}}), (Pixels{kBlack, kWhite}));  // the straight top edge, past the corner
}

// ---- text ----

TEST(RenderKitText, DrawsInTheColourInsideTheRectangleAndNullTextOrHostTouchesNothing)
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
            blue += p == 0x0000FFu;
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
    EXPECT_TRUE(small.right > 0 && big.bottom > small.bottom);
    EXPECT_EQ(measure.Pixel(5, 5), kWhite);

    // No text or no host: the DC's colour, mode and font stay and nothing is drawn.
    ::SetTextColor(measure.DC(), RGB(1, 2, 3));
    ::SetBkMode(measure.DC(), OPAQUE);
    HGDIOBJ font = ::GetCurrentObject(measure.DC(), OBJ_FONT);
    RECT all{0, 0, 10, 10};
    CRenderKit::DrawText(measure.DC(), &host, all, nullptr, 0xFFFF0000, 0, 0);
    CRenderKit::DrawText(measure.DC(), nullptr, all, L"x", 0xFFFF0000, 0, 0);
    EXPECT_TRUE(::GetTextColor(measure.DC()) == RGB(1, 2, 3) && ::GetBkMode(measure.DC()) == OPAQUE &&
                ::GetCurrentObject(measure.DC(), OBJ_FONT) == font);
    EXPECT_TRUE(OutsideUntouched(measure, RECT{0, 0, 0, 0}, kWhite));
}

// ---- colour arithmetic ----

TEST(RenderKitColour, HueSaturationLightnessAndBlendPixel)
{
    // With the neutral adjustment every bit stays.
    for (DWORD c : {0x00000000u, 0xFFFFFFFFu, 0x12345678u, 0x80FF00FFu, 0x01020304u})
        EXPECT_EQ(CRenderKit::AdjustColor(c, 180, 100, 100), c);
    // Hues of pure colours (the low byte is read as red), and grey has no saturation (-1: any).
    const struct { DWORD color; float h, s, l; } pure[] = {
        {0x000000FF, 0, 1, 0.5f}, {0x0000FF00, 120, 1, 0.5f}, {0x00FF0000, 240, 1, 0.5f}, {0x00808080, -1, 0, -1}};
    for (const auto& p : pure) {
        float hsl[3];
        SkinUI::RgbToHsl(p.color, &hsl[0], &hsl[1], &hsl[2]);
        const float want[3] = {p.h, p.s, p.l};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(want[i] < 0 || std::abs(hsl[i] - want[i]) < 1e-4) << std::hex << p.color << " " << i;
    }
    // A hue shift of +120 degrees moves the low byte's colour to the middle byte; the alpha stays.
    EXPECT_EQ(CRenderKit::AdjustColor(0x7F0000FF, 300, 100, 100), 0x7F00FF00u);
    // Lightness 0 is black; saturation 0 is grey.
    EXPECT_EQ(CRenderKit::AdjustColor(0xFF3366CC, 180, 100, 0) & 0xFFFFFF, 0u);
    const DWORD grey = CRenderKit::AdjustColor(0xFF3366CC, 180, 0, 100);
    EXPECT_TRUE((grey & 0xFF) == ((grey >> 8) & 0xFF) && (grey & 0xFF) == ((grey >> 16) & 0xFF)) << std::hex << grey;
    // Round trips stay within one step.
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
    // The blend weighs the three low bytes and saturates.
    EXPECT_EQ(SkinUI::BlendPixel(0xFF204080, 0.5, 0xFF000000, 0.5), 0x00102040u);
    EXPECT_EQ(SkinUI::BlendPixel(0x00FFFFFF, 1.0, 0x00FFFFFF, 1.0), 0x00FFFFFFu);
    EXPECT_EQ(SkinUI::BlendPixel(0x00808080, 128.0 / 255.0, 0x00FFFFFF, 127.0 / 255.0), 0x00BFBFBFu);
}

// ---- software AlphaBlend against the system's ----

TEST(RenderKitBlend, FallbackMatchesTheSystemAlphaBlendAndRefusesEmptySizes)
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
    // Whole pictures at three constant alphas, with and without per-pixel alpha; then a 2x2
    // source stretched over an 8x8 destination, offset in both.
    const struct {
        int dx, dy, dw, dh, sx, sy, sw, sh;
        BLENDFUNCTION blend;
    } cases[] = {{0, 0, w, h, 0, 0, w, h, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}},
                 {0, 0, w, h, 0, 0, w, h, {AC_SRC_OVER, 0, 0x60, AC_SRC_ALPHA}},
                 {0, 0, w, h, 0, 0, w, h, {AC_SRC_OVER, 0, 0x80, 0}},
                 {2, 3, 8, 8, 1, 1, 2, 2, {AC_SRC_OVER, 0, 200, AC_SRC_ALPHA}}};
    for (const auto& c : cases) {
        DibCanvas expected(w, h), actual(w, h);
        memcpy(expected.Bits(), dst.data(), dst.size() * 4);
        memcpy(actual.Bits(), dst.data(), dst.size() * 4);
        ASSERT_TRUE(system(expected.DC(), c.dx, c.dy, c.dw, c.dh, image->DC(), c.sx, c.sy, c.sw, c.sh, c.blend));
        ASSERT_TRUE(CRenderKit::AlphaBlendFallback(actual.DC(), c.dx, c.dy, c.dw, c.dh, image->DC(), c.sx, c.sy, c.sw, c.sh,
                                                   c.blend));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_LE(ColorDistance(actual.Pixel(x, y), expected.Pixel(x, y)), 2)
                    << x << "," << y << std::hex << " src " << src[y * w + x] << " dst " << dst[y * w + x] << " got "
                    << actual.Pixel(x, y) << " want " << expected.Pixel(x, y) << " alpha " << int(c.blend.SourceConstantAlpha);
    }
    DibCanvas canvas(4, 4, kWhite);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(CRenderKit::AlphaBlendFallback(canvas.DC(), 0, 0, 0, 4, image->DC(), 0, 0, 1, 1, blend));
    EXPECT_FALSE(CRenderKit::AlphaBlendFallback(canvas.DC(), 0, 0, 4, 4, image->DC(), 0, 0, 1, -1, blend));
    EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
}

// ---- clip guards ----

namespace {

// Paints the whole canvas red through the current clip and checks that exactly the pixels of
// `painted` turned red; the canvas is white again afterwards, its clip untouched.
testing::AssertionResult PaintsExactly(DibCanvas& canvas, HRGN painted)
{
    SkinUI::CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, canvas.Width(), canvas.Height()}, 0xFFFF0000);
    auto result = kit::CanvasIs(canvas, [&](int x, int y) { return ::PtInRegion(painted, x, y) ? kRed : kWhite; });
    std::fill(canvas.Bits(), canvas.Bits() + canvas.Width() * canvas.Height(), kWhite);
    return result;
}

testing::AssertionResult PaintsExactly(DibCanvas& canvas, const RECT& rc)
{
    CGdiRegion rgn(::CreateRectRgnIndirect(&rc));
    return PaintsExactly(canvas, rgn.Get());
}

// Whether the DC's clip region equals the region (null: the DC has no clip at all).
bool ClipEquals(HDC hDC, HRGN expected)
{
    CGdiRegion current(::CreateRectRgn(0, 0, 0, 0));
    const int has = ::GetClipRgn(hDC, current.Get());
    return expected == nullptr ? has == 0 : (has == 1 && ::EqualRgn(current.Get(), expected));
}

} // namespace

TEST(ClipGuard, NestedGuardsIntersectAndRestoreStepByStepAndRefillingRestoresFirst)
{
    DibCanvas canvas(50, 50, kWhite);
    {
        CClipGuard outer;
        CClipGuard::ClipToRect(canvas.DC(), RECT{5, 5, 25, 25}, outer);
        {
            CClipGuard inner;
            CClipGuard::ClipToRect(canvas.DC(), RECT{15, 0, 40, 40}, inner);
            EXPECT_EQ(inner.GetRect().left, 15);
            EXPECT_TRUE(PaintsExactly(canvas, RECT{15, 5, 25, 25}));
        }
        EXPECT_TRUE(PaintsExactly(canvas, RECT{5, 5, 25, 25}));
        CClipGuard refilled;  // filled twice: the second clip replaces the first
        CClipGuard::ClipToRect(canvas.DC(), RECT{0, 0, 10, 10}, refilled);
        CClipGuard::ClipToRect(canvas.DC(), RECT{20, 20, 30, 30}, refilled);
        EXPECT_TRUE(PaintsExactly(canvas, RECT{20, 20, 25, 25}));
    }
    // The outermost guard removes the clip it found absent.
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
    EXPECT_TRUE(PaintsExactly(canvas, RECT{0, 0, 50, 50}));
}

TEST(ClipGuard, RestoresANonRectangularClipExactlyAndSuspendOpensIt)
{
    DibCanvas canvas(60, 40, kWhite);
    // Two separate rectangles: restoring the clip box instead would also open the gap.
    CGdiRegion twoParts(::CreateRectRgn(0, 0, 20, 40));
    CGdiRegion right(::CreateRectRgn(40, 0, 60, 40));
    ::CombineRgn(twoParts.Get(), twoParts.Get(), right.Get(), RGN_OR);
    ::SelectClipRgn(canvas.DC(), twoParts.Get());
    {
        CClipGuard guard;
        CClipGuard::ClipToRect(canvas.DC(), RECT{10, 10, 50, 30}, guard);
        EXPECT_FALSE(ClipEquals(canvas.DC(), twoParts.Get()));
        // Suspending opens the outer clip again; resuming narrows it anew.
        CClipGuard::SuspendClip(canvas.DC(), guard);
        EXPECT_TRUE(ClipEquals(canvas.DC(), twoParts.Get()));
        CClipGuard::ResumeClip(canvas.DC(), guard);
        CGdiRegion narrowed(::CreateRectRgn(10, 10, 50, 30));
        ::CombineRgn(narrowed.Get(), narrowed.Get(), twoParts.Get(), RGN_AND);
        EXPECT_TRUE(PaintsExactly(canvas, narrowed.Get()));
    }
    EXPECT_TRUE(ClipEquals(canvas.DC(), twoParts.Get()));
    EXPECT_TRUE(PaintsExactly(canvas, twoParts.Get()));
}

TEST(ClipGuard, RoundRectClipCutsTheCorners)
{
    DibCanvas canvas(40, 40, kWhite);
    const auto paintRound = [&](const RECT& outer) {
        canvas.Fill(kWhite);
        CClipGuard guard;
        CClipGuard::ClipToRoundRect(canvas.DC(), outer, RECT{5, 5, 34, 34}, 12, 12, guard);
        SkinUI::CRenderKit::DrawColor(canvas.DC(), RECT{0, 0, 40, 40}, 0xFFFF0000);
    };
    paintRound(RECT{0, 0, 40, 40});
    // Inside, the straight top edge and the item's last column are painted; the rounded corners
    // and what lies outside the item are not.
    EXPECT_EQ(canvas.Pixels({{20, 20}, {20, 5}, {33, 20}, {5, 5}, {34, 34}, {2, 20}}),
              (Pixels{kRed, kRed, kRed, kWhite, kWhite, kWhite}));
    EXPECT_TRUE(ClipEquals(canvas.DC(), nullptr));
    // The outer rectangle limits the round one too.
    paintRound(RECT{0, 0, 20, 40});
    EXPECT_EQ(canvas.Pixels({{19, 20}, {20, 20}}), (Pixels{kRed, kWhite}));
}
