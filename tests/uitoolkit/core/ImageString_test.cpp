// Image strings: the item grammar, and what each item does to the drawing (source, dest,
// corners, tiling, hole, fade, mask, several images, modifiers), checked pixel by pixel.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "kit/ResourceModule.h"
#include "kit/TempDir.h"
#include "kit/Text.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/ImageStringReader.h"
#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CHostResources;
using SkinUI::CImageStringReader;
using SkinUI::CRenderKit;
using SkinUI::CUIString;
using kit::DibCanvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

using Items = std::vector<std::pair<std::wstring, std::wstring>>;

Items ReadAll(const wchar_t* text)
{
    Items items;
    CImageStringReader reader(text);
    CUIString key, value;
    while (reader.Next(key, value)) items.emplace_back(key.GetData(), value.GetData());
    return items;
}

// An image of w x h whose pixel (x, y) is colour(x, y) (0xAARRGGBB).
std::string Picture(int w, int h, const std::function<uint32_t(int, int)>& colour)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels.push_back(colour(x, y));
    return kit::EncodePng(w, h, pixels);
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
        EXPECT_EQ(ReadAll(c.text), c.items) << (c.text ? std::string(c.text, c.text + std::wcslen(c.text)) : "null");
}

TEST(ImageStringReader, RandomTextNeverHangsOrOverruns)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {L"file='a.png' source='1,2,3,4' corner='4,4,4,4' fade='128'",
                                    L"res='140' restype='PNG' dest='0,0,10,10' hole='true'",
                                    L"x = 'y' z='' mask='#FFFF00FF' xtiled='true'"};
    for (int i = 0; i < 20000; ++i) {
        const std::wstring text =
            (i % 4 == 0) ? fuzz.RandomText(80) : fuzz.Mutate(samples[i % 3], 6);
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
        CMsimgEntryPointsForce(GetParam());
        CHostResources::GetResourcePathList().Clear();
        CHostResources::AddResourcePath(m_dir.Path().c_str(), false);
        Write(L"red.png", Picture(4, 4, [](int, int) { return 0xFFFF0000u; }));
        Write(L"blue.png", Picture(4, 4, [](int, int) { return 0xFF0000FFu; }));
        // 2 x 2: red, green / blue, black
        Write(L"quad.png", Picture(2, 2, [](int x, int y) {
                  static const uint32_t c[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
                  return c[y * 2 + x];
              }));
        // 12 x 12: 4-pixel blue corners, green edges, red middle.
        Write(L"frame.png", Picture(12, 12, [](int x, int y) {
                  const bool edgeX = x < 4 || x >= 8, edgeY = y < 4 || y >= 8;
                  if (edgeX && edgeY) return 0xFF0000FFu;
                  if (edgeX || edgeY) return 0xFF00FF00u;
                  return 0xFFFF0000u;
              }));
        Write(L"stripes.png", Picture(4, 4, [](int x, int) { return x < 2 ? 0xFFFF0000u : 0xFF0000FFu; }));
        Write(L"rows.png", Picture(4, 4, [](int, int y) { return y < 2 ? 0xFFFF0000u : 0xFF0000FFu; }));
        Write(L"magenta.png", Picture(4, 4, [](int x, int) { return x < 2 ? 0xFFFF00FFu : 0xFF00FF00u; }));
        Write(L"half.png", Picture(2, 2, [](int, int) { return 0x80FF0000u; }));
    }
    void TearDown() override
    {
        CMsimgEntryPointsForce(false);
        CHostResources::GetResourcePathList().Clear();
    }

    static void CMsimgEntryPointsForce(bool force) { SkinUI::CMsimgEntryPoints::ForceFallbacks(force); }

    void Write(const wchar_t* name, const std::string& bytes)
    {
        ASSERT_TRUE(kit::WriteBytesToFile(m_dir.File(name), bytes));
    }

    // Draws into the canvas with the whole canvas as paint rectangle.
    bool Draw(const RECT& rc, const wchar_t* image, const wchar_t* modify = nullptr)
    {
        const RECT paint{0, 0, m_canvas.Width(), m_canvas.Height()};
        return CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, rc, paint, image, modify);
    }

    // `colour` inside the rectangle, white elsewhere.
    static std::function<uint32_t(int, int)> Only(const RECT& rc, uint32_t colour)
    {
        return [rc, colour](int x, int y) { return kit::In(x, y, rc) ? colour : kWhite; };
    }

    // Every pixel of the canvas: expected(x, y) gives the colour (or kit::kAnyColor).
    void ExpectCanvas(const std::function<uint32_t(int, int)>& expected)
    {
        EXPECT_TRUE(kit::CanvasIs(m_canvas, expected));
    }

    kit::TempDir m_dir;
    CHostResources m_host;
    DibCanvas m_canvas{48, 40, kWhite};
};

TEST_P(ImageStrings, ABareNameIsAFileStretchedOverTheRectangle)
{
    const RECT rc{10, 10, 30, 30};
    EXPECT_TRUE(Draw(rc, L"quad.png"));
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (!kit::In(x, y, rc)) return kWhite;
        const bool right = x >= 20, bottom = y >= 20;
        return bottom ? (right ? 0x000000u : kBlue) : (right ? kGreen : kRed);
    });
    EXPECT_NE(m_host.GetImage(L"quad.png"), nullptr);
}

TEST_P(ImageStrings, SourcePicksAPartAndIsKeptInsideTheImage)
{
    const RECT rc{4, 4, 20, 20};
    Draw(rc, L"file='quad.png' source='1,0,2,1'");
    ExpectCanvas(Only(rc, kGreen));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='quad.png' source='1,1,9,9'");  // cut to the image: the black pixel only
    ExpectCanvas(Only(rc, 0x000000u));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='quad.png' source='2,0,1,2'");  // left >= right: nothing, never mirrored
    Draw(rc, L"file='quad.png' source='-5,-5,1,1'");  // cut at 0: the red pixel
    ExpectCanvas(Only(rc, kRed));
}

TEST_P(ImageStrings, DestIsRelativeAndCutAtTheRectangle)
{
    const RECT rc{10, 10, 40, 30};
    Draw(rc, L"file='red.png' dest='5,5,15,15'");
    ExpectCanvas(Only(RECT{15, 15, 25, 25}, kRed));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='blue.png' dest='20,10,100,100'");
    ExpectCanvas(Only(RECT{30, 20, 40, 30}, kBlue));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='blue.png' dest='1,2'");  // missing numbers are 0: an empty destination
    ExpectCanvas(Only(RECT{}, kWhite));
}

TEST_P(ImageStrings, CornersStayUnstretchedAndHoleLeavesTheMiddle)
{
    const RECT rc{2, 3, 42, 33};
    const auto frame = [&](bool hole) {
        return [&, hole](int x, int y) -> uint32_t {
            if (!kit::In(x, y, rc)) return kWhite;
            const bool edgeX = x < rc.left + 4 || x >= rc.right - 4;
            const bool edgeY = y < rc.top + 4 || y >= rc.bottom - 4;
            if (edgeX && edgeY) return kBlue;
            if (edgeX || edgeY) return kGreen;
            return hole ? kWhite : kRed;
        };
    };
    Draw(rc, L"file='frame.png' corner='4,4,4,4'");
    ExpectCanvas(frame(false));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='frame.png' corner='4,4,4,4' hole='true'");
    ExpectCanvas(frame(true));

    // Corners larger than the rectangle: pieces without area are skipped, nothing mirrored and
    // no middle appears.
    m_canvas.Fill(kWhite);
    const RECT tiny{5, 5, 11, 11};
    Draw(tiny, L"file='frame.png' corner='4,4,4,4'");
    ExpectCanvas([&](int x, int y) { return kit::In(x, y, tiny) ? kit::kAnyColor : kWhite; });
    for (int y = tiny.top; y < tiny.bottom; ++y) {
        for (int x = tiny.left; x < tiny.right; ++x) {
            const uint32_t p = m_canvas.Pixel(x, y);
            ASSERT_TRUE(p == kBlue || p == kGreen) << x << "," << y << std::hex << " " << p;
        }
    }
    EXPECT_EQ(m_canvas.Pixel(5, 5), kBlue);
    EXPECT_EQ(m_canvas.Pixel(10, 10), kBlue);
}

TEST_P(ImageStrings, TilingRepeatsTheMiddleAndCutsTheLastTile)
{
    const RECT rc{0, 0, 18, 6};
    Draw(rc, L"file='stripes.png' xtiled='true'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (!kit::In(x, y, rc)) return kWhite;
        return (x % 4) < 2 ? kRed : kBlue;
    });

    m_canvas.Fill(kWhite);
    const RECT tall{3, 0, 9, 10};
    Draw(tall, L"file='rows.png' ytiled='true'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (!kit::In(x, y, tall)) return kWhite;
        return (y % 4) < 2 ? kRed : kBlue;
    });

    m_canvas.Fill(kWhite);
    const RECT both{1, 1, 6, 6};
    Draw(both, L"file='quad.png' xtiled='true' ytiled='true'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (!kit::In(x, y, both)) return kWhite;
        static const uint32_t c[4] = {kRed, kGreen, kBlue, 0x000000};
        return c[((y - 1) % 2) * 2 + (x - 1) % 2];
    });

    // Only tiles that meet the paint rectangle are drawn (whole: the DC's clip cuts them).
    m_canvas.Fill(kWhite);
    const RECT paint{5, 0, 9, 40};
    CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, RECT{0, 0, 48, 40}, paint,
                                L"file='stripes.png' xtiled='true' ytiled='true'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (!kit::In(x, y, RECT{4, 0, 12, 40})) return kWhite;
        return (x % 4) < 2 ? kRed : kBlue;
    });
}

TEST_P(ImageStrings, FadeBlendsEvenOpaqueImages)
{
    const RECT rc{0, 0, 10, 10};
    Draw(rc, L"file='red.png' fade='128'");
    EXPECT_LE(kit::ColorDistance(m_canvas.Pixel(5, 5), 0xFF7F7F), 2) << std::hex << m_canvas.Pixel(5, 5);
    EXPECT_EQ(m_canvas.Pixel(12, 5), kWhite);

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='red.png' fade='256'");  // low 8 bits: fade 0
    EXPECT_EQ(m_canvas.Pixel(5, 5), kWhite);

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='half.png'");  // an image with alpha over white
    EXPECT_LE(kit::ColorDistance(m_canvas.Pixel(5, 5), 0xFF7F7F), 2) << std::hex << m_canvas.Pixel(5, 5);
}

TEST_P(ImageStrings, MaskMakesItsColourTransparent)
{
    Draw(RECT{0, 0, 8, 4}, L"file='magenta.png' mask='#FFFF00FF'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (y >= 4 || x >= 8) return kWhite;
        return x < 4 ? kWhite : kGreen;
    });
    // The mask of the first load stays with the cached image.
    Draw(RECT{0, 10, 8, 14}, L"file='magenta.png'");
    EXPECT_EQ(m_canvas.Pixel(1, 11), kWhite);

    CHostResources other;
    CRenderKit::DrawImageBySpec(m_canvas.DC(), &other, RECT{0, 20, 8, 24}, RECT{0, 0, 48, 40},
                                L"magenta.png");
    EXPECT_EQ(m_canvas.Pixel(1, 21), 0xFF00FFu);
}

TEST_P(ImageStrings, OneStringCanDrawTwoImages)
{
    Draw(RECT{0, 0, 40, 10}, L"file='red.png' dest='0,0,10,10' file='blue.png' dest='10,0,20,10'");
    ExpectCanvas([&](int x, int y) -> uint32_t {
        if (y >= 10 || x >= 20) return kWhite;
        return x < 10 ? kRed : kBlue;
    });
}

TEST_P(ImageStrings, TheModifierOverridesTheImageString)
{
    const RECT rc{0, 0, 40, 40};
    Draw(rc, L"file='red.png' dest='0,0,10,10'", L"dest='10,10,20,20'");
    ExpectCanvas(Only(RECT{10, 10, 20, 20}, kRed));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='red.png' dest='0,0,10,10'", L"file='blue.png'");  // no red drawn first
    ExpectCanvas(Only(RECT{0, 0, 10, 10}, kBlue));

    m_canvas.Fill(kWhite);
    Draw(rc, L"red.png", L"dest='30,30,40,40'");  // a bare name with a modifier
    ExpectCanvas(Only(RECT{30, 30, 40, 40}, kRed));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='red.png' dest='0,0,5,5'", L"");
    ExpectCanvas(Only(RECT{0, 0, 5, 5}, kRed));
}

TEST_P(ImageStrings, MalformedStringsFallBackToTheWholeText)
{
    const RECT rc{0, 0, 10, 10};
    EXPECT_FALSE(Draw(rc, L"file=\"red.png\""));  // taken as a file name: no such file
    ExpectCanvas(Only(RECT{}, kWhite));

    Draw(rc, L"file='red.png',dest='0,0,5,5'");  // the comma ends the string after the file
    ExpectCanvas(Only(rc, kRed));

    m_canvas.Fill(kWhite);
    Draw(rc, L"file='blue.png' ");
    ExpectCanvas(Only(rc, kBlue));

    // Numbers beyond any screen neither overflow nor draw.
    m_canvas.Fill(kWhite);
    EXPECT_TRUE(Draw(rc, L"file='red.png' dest='-2147483648,-2147483648,2147483647,2147483647'"));
    EXPECT_TRUE(Draw(rc, L"file='red.png' corner='2147483647,2147483647,2147483647,2147483647'"));
    EXPECT_EQ(m_canvas.Pixel(15, 15), kWhite);

    EXPECT_FALSE(CRenderKit::DrawImageBySpec(nullptr, &m_host, rc, rc, L"red.png"));
    EXPECT_FALSE(CRenderKit::DrawImageBySpec(m_canvas.DC(), nullptr, rc, rc, L"red.png"));
    EXPECT_FALSE(CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, rc, rc, L""));
    EXPECT_FALSE(CRenderKit::DrawImageBySpec(m_canvas.DC(), &m_host, rc, rc, nullptr));
    EXPECT_FALSE(Draw(rc, L"missing.png"));
    EXPECT_FALSE(Draw(rc, L"file='red.png' dest='0,0,5,5' file='missing.png'"));  // one of two
    EXPECT_TRUE(Draw(rc, L"file='red.png' dest='40,40,50,50'"));  // loaded, nothing inside
    EXPECT_FALSE(CRenderKit::DrawImageEntry(m_canvas.DC(), &m_host, rc, rc, L"missing.png", L"",
                                            rc, RECT{}, RECT{}, 0, 255, false, false, false));
}

TEST_P(ImageStrings, ImagesAreLoadedOnceAndServedFromTheCache)
{
    const RECT rc{0, 0, 8, 8};
    Draw(rc, L"red.png");
    const SkinUI::ImageEntry* entry = m_host.GetImage(L"red.png");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(::DeleteFileW(m_dir.File(L"red.png").c_str()));
    m_canvas.Fill(kWhite);
    Draw(RECT{8, 8, 16, 16}, L"file='red.png'");
    EXPECT_EQ(m_host.GetImage(L"red.png"), entry);
    EXPECT_EQ(m_canvas.Pixel(10, 10), kRed);
}

TEST_P(ImageStrings, ResourceImagesByResAndRestype)
{
    kit::TempDir dir;
    kit::ResourceModule module(dir.File(L"res.dll"));
    module.Add(L"PNG", 140, Picture(2, 2, [](int x, int y) {
                   static const uint32_t c[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
                   return c[y * 2 + x];
               }));
    ASSERT_TRUE(module.Load());
    CHostResources::SetResourceModule(module.Handle());
    const RECT rc{0, 0, 10, 10};
    Draw(rc, L"res='140' restype='PNG' source='1,0,2,1'");
    ExpectCanvas(Only(rc, kGreen));
    EXPECT_NE(m_host.GetImage(L"140"), nullptr);

    // "file" then "restype": the untyped file is drawn when the type arrives, then the typed
    // name, which is no resource number and draws nothing.
    m_canvas.Fill(kWhite);
    Draw(rc, L"file='blue.png' restype='PNG'");
    ExpectCanvas(Only(rc, kBlue));
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
        m_canvas.Fill(kWhite);
        const bool drawn = Draw(rc, image.c_str(), modify.c_str());
        if (image.c_str()[0] == L'\0') {
            ASSERT_FALSE(drawn);
        }
        ASSERT_TRUE(kit::CanvasIs(m_canvas, [&](int x, int y) {
            return x >= rc.right || y >= rc.bottom ? kWhite : kit::kAnyColor;
        })) << "string " << i << " in " << kit::Text(rc);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ImageStrings, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Fallbacks" : "System");
                         });
