// Image strings: the item grammar, and what each item does to the drawing (source, dest,
// corners, tiling, hole, fade, mask, several images, modifiers), checked pixel by pixel through
// the system's blend functions and through the fallbacks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "kit/ResourceModule.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/ImageStringReader.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CHostResources;
using SkinUI::CImageStringReader;
using SkinUI::CRenderKit;
using SkinUI::CUIString;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0;

using Items = std::vector<std::pair<std::wstring, std::wstring>>;

Items ReadAll(const wchar_t* text)
{
    Items items;
    CImageStringReader reader(text);
    CUIString key, value;
    while (reader.Next(key, value)) items.emplace_back(key.GetData(), value.GetData());
    return items;
}

// 2 x 2: red, green / blue, black.
uint32_t Quad(int x, int y)
{
    static const uint32_t c[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
    return c[y * 2 + x];
}

} // namespace

// ---- the item grammar ----

TEST(ImageStringReader, ItemsAreSeparatedByOneSpaceAndAnythingUnexpectedEndsTheString)
{
    const struct {
        const wchar_t* text;
        Items items;
    } cases[] = {
        {L"file='a.png' dest='1,2,3,4'", {{L"file", L"a.png"}, {L"dest", L"1,2,3,4"}}},
        {L" \t\r\n file = 'a b' ", {{L"file", L"a b"}}},
        {L"a='1'  b='2'", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"x='' y='2'", {{L"y", L"2"}}},  // empty values are skipped
        {L"='v'", {{L"", L"v"}}},
        {L"k='a=b \"c\"'", {{L"k", L"a=b \"c\""}}},
        {L"a.png", {}},  // a bare name holds no item
        {L"", {}},
        {nullptr, {}},
        {L"file=\"a.png\"", {}},  // double quotes
        {L"file='a.png',dest='1,1,2,2'", {{L"file", L"a.png"}}},  // comma
        {L"file='a.png' dest='1,1", {{L"file", L"a.png"}}},       // open quote
        {L"file='a.png' dest", {{L"file", L"a.png"}}},            // no equals sign
        {L"file='a.png' dest=1", {{L"file", L"a.png"}}},          // no quote
        {L"fi le='a'", {}},                                       // a blank inside the key
        {L"a='1'\tb='2'", {{L"a", L"1"}}},                        // only a space continues
        {L"a='1' ", {{L"a", L"1"}}},                              // trailing space
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAll(c.text), c.items) << c.text;
}

TEST(ImageStringReader, RandomTextNeverHangsOrOverruns)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {L"file='a.png' source='1,2,3,4' corner='4,4,4,4' fade='128'",
                                    L"res='140' restype='PNG' dest='0,0,10,10' hole='true'",
                                    L"x = 'y' z='' mask='#FFFF00FF' xtiled='true'"};
    for (int i = 0; i < 20000; ++i) {
        const std::wstring text = (i % 4 == 0) ? fuzz.RandomText(80) : fuzz.Mutate(samples[i % 3], 6);
        CImageStringReader reader(text.c_str());
        CUIString key, value;
        size_t items = 0;
        while (reader.Next(key, value)) {
            ASSERT_LE(++items, text.size()) << "an item needs at least three units";
            for (int k = 0; k < key.GetLength(); ++k) ASSERT_TRUE(key.GetAt(k) > L' ' && key.GetAt(k) != L'=');
            ASSERT_FALSE(value.IsEmpty());
            ASSERT_EQ(value.Find(L"'"), -1);
        }
    }
}

// ---- drawing ----

class ImageStrings : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        SkinUI::CMsimgEntryPoints::ForceFallbacks(GetParam());
        m_skin.Write(L"red.png", kit::SolidPng(4, 4, 0xFFFF0000));
        m_skin.Write(L"blue.png", kit::SolidPng(4, 4, 0xFF0000FF));
        m_skin.Write(L"quad.png", kit::EncodePng(2, 2, Quad));
        // 12 x 12: 4-pixel blue corners, green edges, red middle.
        m_skin.Write(L"frame.png", kit::EncodePng(12, 12, [](int x, int y) {
                         const bool edgeX = x < 4 || x >= 8, edgeY = y < 4 || y >= 8;
                         return edgeX && edgeY ? 0xFF0000FFu : edgeX || edgeY ? 0xFF00FF00u : 0xFFFF0000u;
                     }));
        m_skin.Write(L"stripes.png", kit::EncodePng(4, 4, [](int x, int) { return x < 2 ? 0xFFFF0000u : 0xFF0000FFu; }));
        m_skin.Write(L"rows.png", kit::EncodePng(4, 4, [](int, int y) { return y < 2 ? 0xFFFF0000u : 0xFF0000FFu; }));
        m_skin.Write(L"magenta.png", kit::EncodePng(4, 4, [](int x, int) { return x < 2 ? 0xFFFF00FFu : 0xFF00FF00u; }));
        m_skin.Write(L"half.png", kit::SolidPng(2, 2, 0x80FF0000));
    }
    void TearDown() override { SkinUI::CMsimgEntryPoints::ForceFallbacks(false); }

    // Draws into a white canvas with the whole canvas as paint rectangle.
    bool Draw(const RECT& rc, const wchar_t* image, const wchar_t* modify = nullptr)
    {
        m_canvas.Fill(kWhite);
        return DrawOver(rc, image, modify);
    }
    bool DrawOver(const RECT& rc, const wchar_t* image, const wchar_t* modify = nullptr)
    {
        return CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, rc, RECT{0, 0, 48, 40}, image, modify);
    }
    // Every pixel of the canvas: expected(x, y) gives the colour (or kit::kAnyColor).
    testing::AssertionResult Canvas(const std::function<uint32_t(int, int)>& expected) const
    {
        return kit::CanvasIs(m_canvas, expected);
    }
    // Inside the rectangle expected(x - left, y - top), white elsewhere.
    testing::AssertionResult Within(const RECT& rc, const std::function<uint32_t(int, int)>& expected) const
    {
        return Canvas([&](int x, int y) { return kit::In(x, y, rc) ? expected(x - rc.left, y - rc.top) : kWhite; });
    }

    kit::SkinDir m_skin;
    CHostResources m_host;
    kit::DibCanvas m_canvas{48, 40, kWhite};
};

// Strings whose drawing is one or two plain rectangles of colour on white.
TEST_P(ImageStrings, SourceDestModifiersAndMalformedStringsDrawTheirRectangles)
{
    const struct {
        RECT rc;
        const wchar_t* image;
        const wchar_t* modify;
        RECT first;
        uint32_t firstColour;
        RECT second;  // empty for none
        uint32_t secondColour;
    } cases[] = {
        // A source picks a part, kept inside the image; left >= right draws nothing, never mirrored.
        {{4, 4, 20, 20}, L"file='quad.png' source='1,0,2,1'", nullptr, {4, 4, 20, 20}, kGreen, {}, 0},
        {{4, 4, 20, 20}, L"file='quad.png' source='1,1,9,9'", nullptr, {4, 4, 20, 20}, kBlack, {}, 0},
        {{4, 4, 20, 20}, L"file='quad.png' source='2,0,1,2'", nullptr, {}, 0, {}, 0},
        {{4, 4, 20, 20}, L"file='quad.png' source='-5,-5,1,1'", nullptr, {4, 4, 20, 20}, kRed, {}, 0},
        // A dest is relative and cut at the rectangle; missing numbers are 0: an empty destination.
        {{10, 10, 40, 30}, L"file='red.png' dest='5,5,15,15'", nullptr, {15, 15, 25, 25}, kRed, {}, 0},
        {{10, 10, 40, 30}, L"file='blue.png' dest='20,10,100,100'", nullptr, {30, 20, 40, 30}, kBlue, {}, 0},
        {{10, 10, 40, 30}, L"file='blue.png' dest='1,2'", nullptr, {}, 0, {}, 0},
        // One string can draw two images.
        {{0, 0, 40, 10}, L"file='red.png' dest='0,0,10,10' file='blue.png' dest='10,0,20,10'", nullptr, {0, 0, 10, 10}, kRed,
         {10, 0, 20, 10}, kBlue},
        // The modifier overrides the image string (no red drawn first when it names another file).
        {{0, 0, 40, 40}, L"file='red.png' dest='0,0,10,10'", L"dest='10,10,20,20'", {10, 10, 20, 20}, kRed, {}, 0},
        {{0, 0, 40, 40}, L"file='red.png' dest='0,0,10,10'", L"file='blue.png'", {0, 0, 10, 10}, kBlue, {}, 0},
        {{0, 0, 40, 40}, L"red.png", L"dest='30,30,40,40'", {30, 30, 40, 40}, kRed, {}, 0},
        {{0, 0, 40, 40}, L"file='red.png' dest='0,0,5,5'", L"", {0, 0, 5, 5}, kRed, {}, 0},
        // Malformed strings: taken whole as a file name (no such file), or ended where they go wrong.
        {{0, 0, 10, 10}, L"file=\"red.png\"", nullptr, {}, 0, {}, 0},
        {{0, 0, 10, 10}, L"file='red.png',dest='0,0,5,5'", nullptr, {0, 0, 10, 10}, kRed, {}, 0},
        {{0, 0, 10, 10}, L"file='blue.png' ", nullptr, {0, 0, 10, 10}, kBlue, {}, 0},
    };
    for (const auto& c : cases) {
        Draw(c.rc, c.image, c.modify);
        EXPECT_TRUE(Canvas([&](int x, int y) {
            return kit::In(x, y, c.first) ? c.firstColour : kit::In(x, y, c.second) ? c.secondColour : kWhite;
        })) << c.image << " | " << c.modify;
    }
}

TEST_P(ImageStrings, ABareNameIsStretchedCornersStayAndHoleLeavesTheMiddle)
{
    const RECT rc{10, 10, 30, 30};
    EXPECT_TRUE(Draw(rc, L"quad.png"));
    EXPECT_TRUE(Within(rc, [](int x, int y) { return Quad(x / 10, y / 10) & 0xFFFFFF; }));
    EXPECT_NE(m_host.GetImage(L"quad.png"), nullptr);

    const RECT frameRc{2, 3, 42, 33};
    for (bool hole : {false, true}) {
        Draw(frameRc, hole ? L"file='frame.png' corner='4,4,4,4' hole='true'" : L"file='frame.png' corner='4,4,4,4'");
        EXPECT_TRUE(Within(frameRc, [hole](int x, int y) {
            const bool edgeX = x < 4 || x >= 36, edgeY = y < 4 || y >= 26;
            return edgeX && edgeY ? kBlue : edgeX || edgeY ? kGreen : hole ? kWhite : kRed;
        })) << hole;
    }
    // Corners larger than the rectangle: pieces without area are skipped, nothing mirrored and
    // no middle appears.
    const RECT tiny{5, 5, 11, 11};
    Draw(tiny, L"file='frame.png' corner='4,4,4,4'");
    EXPECT_TRUE(Within(tiny, [&](int x, int y) {
        const uint32_t p = m_canvas.Pixel(x + 5, y + 5);
        return p == kBlue || p == kGreen ? p : kBlue;
    }));
    EXPECT_EQ(m_canvas.Pixels({{5, 5}, {10, 10}}), (std::vector<uint32_t>{kBlue, kBlue}));
}

TEST_P(ImageStrings, TilingRepeatsTheMiddleAndCutsTheLastTile)
{
    const RECT rc{0, 0, 18, 6}, tall{3, 0, 9, 10}, both{1, 1, 6, 6};
    Draw(rc, L"file='stripes.png' xtiled='true'");
    EXPECT_TRUE(Within(rc, [](int x, int) { return (x % 4) < 2 ? kRed : kBlue; }));
    Draw(tall, L"file='rows.png' ytiled='true'");
    EXPECT_TRUE(Within(tall, [](int, int y) { return (y % 4) < 2 ? kRed : kBlue; }));
    Draw(both, L"file='quad.png' xtiled='true' ytiled='true'");
    EXPECT_TRUE(Within(both, [](int x, int y) { return Quad(x % 2, y % 2) & 0xFFFFFF; }));
    // Only the paint rectangle is drawn: the tiles that meet it, cut at its edges.
    m_canvas.Fill(kWhite);
    CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, RECT{0, 0, 48, 40}, RECT{5, 0, 9, 40},
                                L"file='stripes.png' xtiled='true' ytiled='true'");
    EXPECT_TRUE(Within(RECT{5, 0, 9, 40}, [](int x, int) { return ((x + 5) % 4) < 2 ? kRed : kBlue; }));
}

TEST_P(ImageStrings, FadeBlendsEvenOpaqueImagesAndMaskMakesItsColourTransparent)
{
    const RECT rc{0, 0, 10, 10};
    for (const wchar_t* image : {L"file='red.png' fade='128'", L"file='half.png'"}) {  // faded, or with alpha
        Draw(rc, image);
        EXPECT_LE(kit::ColorDistance(m_canvas.Pixel(5, 5), 0xFF7F7F), 2) << image << std::hex << " " << m_canvas.Pixel(5, 5);
        EXPECT_EQ(m_canvas.Pixel(12, 5), kWhite);
    }
    Draw(rc, L"file='red.png' fade='256'");  // low 8 bits: fade 0
    EXPECT_EQ(m_canvas.Pixel(5, 5), kWhite);

    Draw(RECT{0, 0, 8, 4}, L"file='magenta.png' mask='#FFFF00FF'");
    EXPECT_TRUE(Within(RECT{0, 0, 8, 4}, [](int x, int) { return x < 4 ? kWhite : kGreen; }));
    // The mask of the first load stays with the cached image; another host loads its own.
    DrawOver(RECT{0, 10, 8, 14}, L"file='magenta.png'");
    CHostResources other;
    CRenderKit::DrawImageBySpec(m_canvas.DC(), &other, RECT{0, 20, 8, 24}, RECT{0, 0, 48, 40}, L"magenta.png");
    EXPECT_EQ(m_canvas.Pixels({{1, 11}, {1, 21}}), (std::vector<uint32_t>{kWhite, 0xFF00FF}));
}

TEST_P(ImageStrings, FailuresAndNumbersBeyondAnyScreen)
{
    const RECT rc{0, 0, 10, 10};
    // Numbers beyond any screen neither overflow nor draw.
    m_canvas.Fill(kWhite);
    EXPECT_TRUE(DrawOver(rc, L"file='red.png' dest='-2147483648,-2147483648,2147483647,2147483647'"));
    EXPECT_TRUE(DrawOver(rc, L"file='red.png' corner='2147483647,2147483647,2147483647,2147483647'"));
    EXPECT_EQ(m_canvas.Pixel(15, 15), kWhite);
    EXPECT_FALSE(CRenderKit::DrawImageBySpec(nullptr, &m_host, rc, rc, L"red.png"));
    EXPECT_FALSE(CRenderKit::DrawImageBySpec(m_canvas.DC(), nullptr, rc, rc, L"red.png"));
    EXPECT_FALSE(Draw(rc, L"") || Draw(rc, nullptr) || Draw(rc, L"missing.png") || Draw(rc, L"file=\"red.png\""));
    EXPECT_FALSE(Draw(rc, L"file='red.png' dest='0,0,5,5' file='missing.png'"));  // one of two
    EXPECT_TRUE(Draw(rc, L"file='red.png' dest='40,40,50,50'"));  // loaded, nothing inside
    EXPECT_FALSE(CRenderKit::DrawImageEntry(m_canvas.DC(), &m_host, rc, rc, L"missing.png", L"", rc, RECT{}, RECT{}, 0, 255,
                                            false, false, false));

    // Images are loaded once and served from the cache, even once the file is gone.
    Draw(RECT{0, 0, 8, 8}, L"red.png");
    const SkinUI::ImageEntry* entry = m_host.GetImage(L"red.png");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(::DeleteFileW(m_skin.File(L"red.png").c_str()));
    Draw(RECT{8, 8, 16, 16}, L"file='red.png'");
    EXPECT_EQ(m_host.GetImage(L"red.png"), entry);
    EXPECT_EQ(m_canvas.Pixel(10, 10), kRed);
}

TEST_P(ImageStrings, ResourceImagesByResAndRestype)
{
    kit::ResourceModule module(m_skin.File(L"res.dll"));
    module.Add(L"PNG", 140, kit::EncodePng(2, 2, Quad));
    ASSERT_TRUE(module.Load());
    CHostResources::SetResourceModule(module.Handle());
    const RECT rc{0, 0, 10, 10};
    Draw(rc, L"res='140' restype='PNG' source='1,0,2,1'");
    EXPECT_TRUE(Within(rc, [](int, int) { return kGreen; }));
    EXPECT_NE(m_host.GetImage(L"140"), nullptr);
    // "file" then "restype": the untyped file is drawn when the type arrives, then the typed
    // name, which is no resource number and draws nothing.
    Draw(rc, L"file='blue.png' restype='PNG'");
    EXPECT_TRUE(Within(rc, [](int, int) { return kBlue; }));
    CHostResources::SetResourceModule(nullptr);
}

// Whatever the strings hold, nothing is drawn right of or below the call's rectangle (a "dest"
// is cut there, and tiles and corners stay inside it), and only an empty string answers false
// for sure (the others name files that may not exist).
TEST_P(ImageStrings, RandomStringsDrawNothingPastTheRectangle)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {
        L"file='frame.png' source='0,0,12,12' corner='4,4,4,4' hole='false' fade='200'",
        L"file='stripes.png' dest='-5,-5,100,100' xtiled='true' ytiled='true' mask='#FF0000FF'",
        L"file='quad.png' corner='99999,-99999,2147483647,-2147483648' source='-1,-1,99999,3'",
        L"file='red.png' dest='-2147483648,-2147483648,2147483647,2147483647' xtiled='true'"};
    for (int i = 0; i < 800; ++i) {
        const std::wstring image = fuzz.Mutate(samples[i % 4], 5);
        const std::wstring modify = (i % 2) ? fuzz.RandomText(40) : std::wstring();
        const RECT rc{static_cast<LONG>(fuzz.Below(40)) - 10, static_cast<LONG>(fuzz.Below(40)) - 10,
                      static_cast<LONG>(fuzz.Below(60)), static_cast<LONG>(fuzz.Below(60))};
        const bool drawn = Draw(rc, image.c_str(), modify.c_str());
        ASSERT_FALSE(image.c_str()[0] == L'\0' && drawn);
        ASSERT_TRUE(Canvas([&](int x, int y) { return x >= rc.right || y >= rc.bottom ? kWhite : kit::kAnyColor; }))
            << "string " << i << " in " << kit::Text(rc);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ImageStrings, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Fallbacks" : "System");
                         });
