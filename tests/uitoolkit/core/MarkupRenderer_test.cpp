// Marked-up text: measured heights and widths against the fonts' own extents, link rectangles and
// texts with capacity limits, colours, hover colour, escapes, raw runs, images, wrapping and
// ellipsis, unbalanced tags, and random markup that must never crash.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/PngWriter.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "kit/TimeBound.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

using namespace SkinUI;
using kit::DibCanvas;

namespace {

constexpr DWORD kLink = 0xFF0000FF;
constexpr DWORD kHover = 0xFFFF0000;
const RECT kWide = {0, 0, 9999, 9999};

struct Links {
    RECT rects[8] = {};
    CUIString texts[8];
    int count = 8;
};

class Markup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(win.Open(new CControlUI(), 300, 200));
        Host()->SetLinkFontColor(kLink);
        Host()->SetLinkHoverFontColor(kHover);
        const FontEntry* def = Host()->GetDefaultFontEntry();
        face = def->faceName.GetData();
        size = def->size;
    }
    CWindowHostUI* Host() const { return win.Host(); }

    // The needed size (DT_CALCRECT) of a text laid into rc.
    RECT Measure(const wchar_t* text, RECT rc = kWide, UINT format = 0, Links* links = nullptr)
    {
        int none = 0;
        CRenderKit::DrawMarkedUpText(canvas.DC(), Host(), rc, text, 0xFF000000, links ? links->rects : nullptr,
                                     links ? links->texts : nullptr, links ? links->count : none,
                                     format | DT_CALCRECT);
        return rc;
    }
    int Width(const wchar_t* text, RECT rc = kWide, UINT format = 0) { return Measure(text, rc, format).right - rc.left; }
    int Height(const wchar_t* text, RECT rc = kWide, UINT format = 0) { return Measure(text, rc, format).bottom - rc.top; }

    // Extent and line height of plain text in a host font of the given style.
    HFONT Font(bool bold = false, bool underline = false, bool italic = false)
    {
        HFONT f = Host()->FindFont(face.c_str(), size, bold, underline, italic);
        return f ? f : (bold || underline || italic ? Host()->AddFont(face.c_str(), size, bold, underline, italic)
                                                     : Host()->GetFont(-1));
    }
    int Extent(const wchar_t* text, HFONT font)
    {
        CSelectObject select(canvas.DC(), font);
        SIZE s{};
        ::GetTextExtentPoint32W(canvas.DC(), text, static_cast<int>(wcslen(text)), &s);
        return s.cx;
    }
    int LineHeight(HFONT font)
    {
        CSelectObject select(canvas.DC(), font);
        TEXTMETRICW tm{};
        ::GetTextMetricsW(canvas.DC(), &tm);
        return tm.tmHeight + tm.tmExternalLeading;
    }
    // Pixels near a colour (text edges may be smoothed), in the whole canvas or a part.
    int CountNear(const DibCanvas& c, uint32_t rgb, RECT within = kWide)
    {
        int n = 0;
        for (int y = std::max(0L, within.top); y < std::min<LONG>(c.Height(), within.bottom); ++y)
            for (int x = std::max(0L, within.left); x < std::min<LONG>(c.Width(), within.right); ++x)
                n += kit::ColorDistance(c.Pixel(x, y), rgb) < 40 ? 1 : 0;
        return n;
    }
    void Draw(DibCanvas& c, const wchar_t* text, RECT rc, Links* links = nullptr, UINT format = 0)
    {
        int none = 0;
        CRenderKit::DrawMarkedUpText(c.DC(), Host(), rc, text, 0xFF000000, links ? links->rects : nullptr,
                                     links ? links->texts : nullptr, links ? links->count : none, format);
    }

    kit::HostWindow win;
    DibCanvas canvas{4, 4};
    std::wstring face;
    int size = 0;
};

} // namespace

TEST_F(Markup, HeightsOfBreaksParagraphsAndExplicitLineHeights)
{
    const int line = LineHeight(Font());
    struct Case {
        const wchar_t* text;
        int height;
    } cases[] = {
        {L"abc", line},
        {L"", line},
        {L"a<n>b", 2 * line},
        {L"a{n}b{n}c", 3 * line},
        {L"a\nb", 2 * line},
        {L"<y 40>abc", 40},
        {L"<p 10>abc</p>", line + 10},
        {L"a<p 6>b</p>c", line + (line + 6) + line},
    };
    for (const Case& c : cases) EXPECT_EQ(Height(c.text), c.height) << c.text;
    // Single-line text ignores "n".
    EXPECT_EQ(Height(L"a<n>b", kWide, DT_SINGLELINE), line);
}

TEST_F(Markup, WidthsFollowTheFontsOfTheTags)
{
    const HFONT plain = Font(), bold = Font(true);
    struct Case {
        const wchar_t* text;
        int width;
    } cases[] = {
        {L"hello", Extent(L"hello", plain)},
        {L"<b>hello</b>", Extent(L"hello", bold)},
        {L"{b}hello{/b}", Extent(L"hello", bold)},
        {L"<b}hello{/b>", Extent(L"hello", bold)},
        // Nested style tags: the inner one changes nothing, and closing it keeps the outer style.
        {L"<b>ab<b>cd</b>ef</b>", Extent(L"abcdef", bold)},
        {L"<b><b>ab</b></b>cd", Extent(L"ab", bold) + Extent(L"cd", plain)},
        // Closing tags with nothing open are no-ops.
        {L"</b></c></a></p></f>ab<b>cd", Extent(L"ab", plain) + Extent(L"cd", bold)},
        {L"<{>", Extent(L"{", plain)},
        {L"<}>x{<}{>}", Extent(L"}x<>", plain)},
        {L"a<q>b", Extent(L"a", plain) + Extent(L"b", plain)},
        {L"a<5b", Extent(L"a<5b", plain)},
        {L"<r><b>x</r>", Extent(L"<b>x", plain)},
        {L"<x 7>ab", 7 + Extent(L"ab", plain)},
        {L"<f 0>ab</f>", Extent(L"ab", Host()->GetFont(0))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Width(c.text), c.width) << c.text;
}

// Link rectangles and texts, up to the capacity; a link that wraps yields one rectangle per line
// with the same text.
TEST_F(Markup, LinksReportRectanglesAndTextsUpToTheCapacity)
{
    const HFONT plain = Font(), under = Font(false, true);
    const int line = LineHeight(plain);
    const wchar_t* text = L"xx<a one>link</a> y<a two>more</a>";
    Links links;
    Measure(text, kWide, 0, &links);
    ASSERT_EQ(links.count, 2);
    EXPECT_TRUE(links.texts[0] == L"one" && links.texts[1] == L"two");
    const int first = Extent(L"xx", plain), second = first + Extent(L"link", under) + Extent(L" y", plain);
    EXPECT_EQ(kit::Text(links.rects[0]) + " " + kit::Text(links.rects[1]),
              kit::Text(RECT{first, 0, first + Extent(L"link", under), line}) + " " +
                  kit::Text(RECT{second, 0, second + Extent(L"more", under), line}));
    // Capacity limits: one slot, none, and null arrays with a capacity.
    for (int capacity : {1, 0}) {
        Links few;
        few.count = capacity;
        Measure(text, kWide, 0, &few);
        EXPECT_EQ(few.count, capacity);
        EXPECT_EQ(few.texts[capacity], L"");
    }
    RECT rc = kWide;
    int count = 5;
    CRenderKit::DrawMarkedUpText(canvas.DC(), Host(), rc, text, 0, nullptr, links.texts, count, DT_CALCRECT);
    EXPECT_EQ(count, 0);

    Links wrapped;
    Measure(L"ab <a go>cd ef</a>", RECT{0, 0, Extent(L"ab cd", plain) + 2, 9999}, DT_WORDBREAK, &wrapped);
    ASSERT_EQ(wrapped.count, 2);
    EXPECT_TRUE(wrapped.texts[0] == L"go" && wrapped.texts[1] == L"go");
    const RECT* r = wrapped.rects;
    EXPECT_EQ((std::vector<LONG>{r[0].top, r[0].bottom, r[1].left, r[1].top, r[1].bottom}),
              (std::vector<LONG>{0, line, 0, line, 2 * line}));
}

TEST_F(Markup, WordWrapEllipsisAndNarrowRectangles)
{
    const HFONT plain = Font();
    const int line = LineHeight(plain);
    const int width = Extent(L"aaa bb", plain);
    const RECT narrow = {0, 0, width, 9999};
    // Word wrap moves "bbb" to the second line whole; the right edge never grows.
    const RECT wrapped = Measure(L"aaa bbb", narrow, DT_WORDBREAK);
    EXPECT_EQ(wrapped.bottom, 2 * line);
    EXPECT_EQ(wrapped.right, Extent(L"aaa ", plain));
    // Without word wrap the line is filled up to the edge.
    EXPECT_EQ(Measure(L"aaa bbb", narrow).right, width);
    // A rectangle narrower than one character: every line still takes one character, with and
    // without the ellipsis, so measuring ends.
    for (UINT format : {0u, UINT(DT_END_ELLIPSIS), UINT(DT_END_ELLIPSIS | DT_WORDBREAK)})
        EXPECT_EQ(Height(L"abcd", RECT{0, 0, 2, 9999}, format), 4 * line) << format;
    // An ellipsis line runs to the right edge.
    EXPECT_EQ(Measure(L"abcdefghijklmnop", RECT{0, 0, 40, 9999}, DT_END_ELLIPSIS | DT_SINGLELINE).right, 40);
}

TEST_F(Markup, SingleLineCentringMovesTheRectangle)
{
    const int line = LineHeight(Font());
    const int width = Extent(L"ab", Font());
    DibCanvas c(100, 60);
    RECT rc = {0, 0, 100, 60};
    int none = 0;
    CRenderKit::DrawMarkedUpText(c.DC(), Host(), rc, L"ab", 0, nullptr, nullptr, none,
                                 DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    EXPECT_EQ(kit::Text(rc), kit::Text(RECT{50 - width / 2, 30 - line / 2, 50 - width / 2 + width, 30 - line / 2 + line}));
    // Only text pixels inside the moved rectangle changed.
    EXPECT_TRUE(kit::CanvasIs(c, [&](int x, int y) { return kit::In(x, y, rc) ? kit::kAnyColor : 0xFFFFFFu; }));
    EXPECT_GT(CountNear(c, 0x000000), 0);
}

TEST_F(Markup, ColourTagsAndLinkColours)
{
    struct Case {
        const wchar_t* text;
        uint32_t rgb;
    } cases[] = {
        {L"<c #FF0000>MMMM</c>", 0xFF0000},
        {L"<c FF0000>MMMM</c>", 0xFF0000},
        // Eight digits keep their alpha byte: the colour is still red, not white.
        {L"<c #FFFF0000>MMMM</c>", 0xFF0000},
        {L"<c 8000C000>MMMM</c>", 0x00C000},
        {L"<c #00FF00><c #0000FF>MMMMMM</c>MM</c>", 0x0000FF},
        {L"<a x>MMMM</a>", 0x0000FF},
    };
    for (const Case& c : cases) {
        DibCanvas dib(120, 30);
        Draw(dib, c.text, RECT{0, 0, 120, 30});
        EXPECT_GT(CountNear(dib, c.rgb), 5) << c.text;
        EXPECT_EQ(CountNear(dib, 0x000000), 0) << c.text;
    }
}

TEST_F(Markup, TheLinkUnderTheMouseDrawsInTheHoverColour)
{
    const wchar_t* text = L"<a first>MMMM</a> <a second>MMMM</a>";
    Links links;
    DibCanvas dib(200, 30);
    Draw(dib, text, RECT{0, 0, 200, 30}, &links);
    ASSERT_EQ(links.count, 2);
    EXPECT_EQ(CountNear(dib, 0xFF0000), 0);
    const int normal = CountNear(dib, 0x0000FF);

    // The host's last mouse position over the second link.
    kit::Input(win.Hwnd()).Move(links.rects[1].left + 2, links.rects[1].top + 2);
    ASSERT_TRUE(::PtInRect(&links.rects[1], Host()->GetMousePos()));
    dib.Fill(0xFFFFFF);
    Draw(dib, text, RECT{0, 0, 200, 30}, &links);
    const int hover = CountNear(dib, 0xFF0000);
    EXPECT_GT(hover, 5);
    EXPECT_NEAR(hover + CountNear(dib, 0x0000FF), normal, normal / 4);
    EXPECT_EQ(CountNear(dib, 0xFF0000, links.rects[0]), 0);  // only the second link is red
}

TEST_F(Markup, ImageFramesAndSelection)
{
    // Three frames of 4 x 24 (taller than a line of text, so the line takes the image's height).
    kit::SkinDir skin(true);
    skin.Write(L"strip.png", kit::EncodePng(12, 24, [](int x, int) { return x < 4 ? 0xFFFF0000u : x < 8 ? 0xFF00FF00u : 0xFF0000FFu; }));
    struct Case {
        const wchar_t* text;
        uint32_t rgb;
    } cases[] = {
        {L"<i strip.png 3 1>", 0x00FF00},
        {L"<i strip.png 3 3>", 0xFF0000},
        {L"<i strip.png>", 0xFF0000},
        {L"<i file='strip.png' 3 1>", 0x00FF00},
    };
    for (const Case& c : cases) {
        DibCanvas dib(40, 30);
        Draw(dib, c.text, RECT{0, 0, 40, 30});
        // A lone image makes its own line: drawn at the top-left, one frame wide.
        const int frameWidth = std::wstring(c.text).find(L" 3 ") != std::wstring::npos ? 4 : 12;
        EXPECT_EQ(dib.Pixels({{1, 1}, {frameWidth + 1, 1}}), (std::vector<uint32_t>{c.rgb, 0xFFFFFF})) << c.text;
    }
    EXPECT_EQ(Height(L"<i strip.png 3 1>"), 24);
    // A missing image is skipped; the text after it is measured as if it were not there.
    EXPECT_EQ(Width(L"<i nowhere.png>ab"), Extent(L"ab", Font()));

    // Selected text fills behind itself with the selection colour.
    Host()->SetSelectedColor(0xFF00FF00);
    DibCanvas dib(100, 30);
    Draw(dib, L"ab<s>MMMM</s>cd", RECT{0, 0, 100, 30});
    EXPECT_GT(CountNear(dib, 0x00FF00), 20);
}

TEST_F(Markup, RandomMarkupNeverCrashes)
{
    const std::vector<std::wstring> samples = {
        L"<b>bold</b> <i>it</i> <u>u</u> <c #FF0000>red</c> <a link>text</a>{n}<p 4>para</p><x 5><y 20>",
        L"<f 0>a</f><f Arial 12 bold italic>b</f><r><b>raw</r><s>sel</s>{<}{>}<{><}>\nline",
        L"<i missing.png 3 1><i file='x.png' restype='PNG'><a>wrap wrap wrap wrap wrap</a></b></a>",
    };
    kit::FuzzRun fuzz;
    DibCanvas dib(60, 40);
    const UINT formats[] = {0, DT_WORDBREAK, DT_END_ELLIPSIS, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                            DT_WORDBREAK | DT_END_ELLIPSIS};
    for (int i = 0; i < 600; ++i) {
        const std::wstring text =
            i % 5 == 4 ? fuzz.RandomText(40) : fuzz.Mutate(samples[static_cast<size_t>(i) % samples.size()], 6);
        const UINT format = formats[fuzz.Below(5)];
        const RECT rc = {0, 0, static_cast<LONG>(fuzz.Below(70)), static_cast<LONG>(fuzz.Below(50))};
        Links links;
        links.count = static_cast<int>(fuzz.Below(9));
        Draw(dib, text.c_str(), rc, &links, format);
        ASSERT_LE(links.count, 8);
        links.count = 8;
        const RECT measured = Measure(text.c_str(), rc, format, &links);
        ASSERT_LE(measured.right, rc.right);
    }
}

// ---- cost ----

namespace {

// About 100 KB of text built from a piece repeated.
std::wstring Repeat(const std::wstring& piece, size_t units = 100 * 1024)
{
    std::wstring text;
    text.reserve(units + piece.size());
    while (text.size() < units) text += piece;
    return text;
}

// Measuring and drawing cost in proportion to the text; a hang ends the run at twice this.
constexpr double kBoundMs = 1000;

} // namespace

// Long texts with unbalanced tags, huge numbers in tags and rectangles at the ends of the
// coordinate range: each measured and drawn within the bound, the measured right edge never
// past the rectangle's.
TEST_F(Markup, LongTextsAndExtremeRectanglesCostWhatTheTextIs)
{
    const std::wstring texts[] = {
        Repeat(L"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii"),         // one run of narrow letters
        Repeat(L"lorem ipsum dolor sit amet, "),                    // words
        Repeat(L"<b>bold <i>it <u>under <c #FF0000>red <a x>link "),  // tags never closed
        Repeat(L"</b></i></a></c></p></s>{/u}"),                     // closing tags of nothing
        Repeat(L"<p 7>para<x -30>graph<y 3><n>"),                    // paragraphs never closed
        Repeat(L"w<x 2147483647>w<x -2147483647>w<y 2147483647>w<p 2147483647>w\n"),
        Repeat(L"<f Arial 30000 bold>big</f><f 999999>idx"),       // fonts beyond any screen
        Repeat(L"<r><b>raw <i x.png 2147483647 -5>"),                // a raw run never ended
        Repeat(L"<s>sel{<}{>}<{><}>\n\n"),
    };
    const RECT rects[] = {
        {0, INT_MIN, 200, 100},
        {0, INT_MIN, 20000, 100},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {INT_MAX - 300, 0, INT_MAX, INT_MAX},
        {-100, -5000000, 150, 50},
        {0, 0, 3, 9999},
    };
    const UINT formats[] = {0, DT_WORDBREAK, DT_WORDBREAK | DT_END_ELLIPSIS, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                            DT_SINGLELINE | DT_RIGHT | DT_END_ELLIPSIS};
    DibCanvas dib(200, 100);
    int n = 0;
    for (const std::wstring& text : texts) {
        for (const RECT& rc : rects) {
            const UINT format = formats[static_cast<size_t>(n++) % (sizeof(formats) / sizeof(formats[0]))];
            const std::string what = "text " + std::to_string(&text - texts) + " in " + kit::Text(rc) + " format " +
                                     std::to_string(format);
            Links links;
            RECT measured = rc;
            const double measureMs = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), "measure " + what,
                                                     [&] { measured = Measure(text.c_str(), rc, format, &links); });
            EXPECT_LT(measureMs, kBoundMs) << "measure " << what;
            EXPECT_LE(measured.right, rc.right) << what;
            EXPECT_LE(links.count, 8) << what;
            links.count = 8;
            const double drawMs = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), "draw " + what,
                                                  [&] { Draw(dib, text.c_str(), rc, &links, format); });
            EXPECT_LT(drawMs, kBoundMs) << "draw " << what;
        }
    }
}

// Random texts of random lengths (mutated samples and random units, up to tens of kilobytes)
// in random rectangles, also at the ends of the coordinate range: every one within the bound.
TEST_F(Markup, RandomLongTextsStayWithinTheBound)
{
    const std::vector<std::wstring> samples = {
        L"<b>bold</b> <i>it</i> <u>u</u> <c #FF0000>red</c> <a link>text</a>{n}<p 4>para</p><x 5><y 20>",
        L"<f 0>a</f><f Arial 12 bold italic>b</f><r><b>raw</r><s>sel</s>{<}{>}<{><}>\nline",
        L"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii lllllllllllllllllllllllllllllll",
        L"<x -2147483648><y 2147483647><p 2147483647><f Arial 2147483647>",
    };
    const LONG edges[] = {INT_MIN, INT_MIN + 1, -5000000, -100, 0, 1, 3, 60, 200, 9999, 5000000, INT_MAX - 1, INT_MAX};
    const UINT formats[] = {0, DT_WORDBREAK, DT_END_ELLIPSIS, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                            DT_WORDBREAK | DT_END_ELLIPSIS, DT_SINGLELINE | DT_RIGHT};
    kit::FuzzRun fuzz;
    DibCanvas dib(200, 100);
    const auto edge = [&] { return edges[fuzz.Below(sizeof(edges) / sizeof(edges[0]))]; };
    for (int i = 0; i < 160; ++i) {
        std::wstring text = i % 4 == 3 ? fuzz.RandomText(400) : fuzz.Mutate(samples[static_cast<size_t>(i) % samples.size()], 8);
        // Grown by doubling with more mutations, to up to about 50 KB.
        const int doublings = static_cast<int>(fuzz.Below(11));
        for (int d = 0; d < doublings && text.size() < 50000; ++d) text += fuzz.Mutate(text, 2);
        RECT rc = {edge(), edge(), edge(), edge()};
        if (rc.right < rc.left) std::swap(rc.left, rc.right);
        if (rc.bottom < rc.top) std::swap(rc.top, rc.bottom);
        const UINT format = formats[fuzz.Below(sizeof(formats) / sizeof(formats[0]))];
        const std::string what = "text " + std::to_string(i) + " of " + std::to_string(text.size()) + " units in " +
                                 kit::Text(rc) + " format " + std::to_string(format);
        Links links;
        links.count = static_cast<int>(fuzz.Below(9));
        RECT measured = rc;
        const double ms = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), what, [&] {
            measured = Measure(text.c_str(), rc, format, &links);
            Draw(dib, text.c_str(), rc, &links, format);
        });
        EXPECT_LT(ms, kBoundMs) << what;
        ASSERT_LE(measured.right, rc.right) << what;
        ASSERT_LE(links.count, 8) << what;
    }
}

namespace {

// Units of many scripts on one run: Latin, CJK, Hangul, Yi, Ethiopic, control characters and
// right-to-left letters (Arabic presentation forms, Hebrew), as random texts mix them. The system
// reorders a string with right-to-left letters as a whole, at a cost far above its length.
const wchar_t kMixedScripts[] = L"q\x84D1\xB4DB" L"6\xA3C2+>y\x06n\xFD9Fx\xC842\x2246=\x11" L"c;fk\x1330\xB219"
                                L"\x05D0\x05D1" L"7\x0628\x0644";
// Right-to-left words between left-to-right ones, with digits and a combining mark.
const wchar_t kArabicWords[] = L"\x0628\x064A\x062A \x0643\x062A\x0627\x0628 12 abc \x0645\x0651\x0646 de\x0301 ";

} // namespace

// Long runs on a visible line of a very wide rectangle: the whole run used to go to the system,
// which took seconds for a run with right-to-left letters. Each within the bound, measured and
// drawn, whatever part of the run shows.
TEST_F(Markup, LongRunsOnAVisibleLineCostWhatTheTextIs)
{
    const struct {
        const char* name;
        std::wstring text;
    } texts[] = {
        {"mixed scripts", Repeat(kMixedScripts)},
        {"right-to-left words", Repeat(kArabicWords)},
        {"one right-to-left letter in a Latin run", L"\x0628" + Repeat(L"iiiiiiiiii")},
        {"right-to-left letters without a left-to-right one", Repeat(L"\x0628\x0644 \x05D0- ")},
        {"selected", L"<s>" + Repeat(kMixedScripts)},
        {"short runs between tags", Repeat(L"\x0628<b>q</b>\x84D1<c #FF0000>\xFD9F</c>")},
    };
    const struct {
        RECT rc;
        UINT format;
    } places[] = {
        {{3, 3, INT_MAX, 5000000}, DT_END_ELLIPSIS},
        {{-100000, 0, INT_MAX, 100}, 0},
        {{-5000, 10, INT_MAX, 30}, DT_SINGLELINE},
        {{0, 0, 150, 100}, DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    DibCanvas dib(200, 100);
    for (const auto& t : texts) {
        for (const auto& place : places) {
            const std::string what = std::string(t.name) + " in " + kit::Text(place.rc) + " format " +
                                     std::to_string(place.format);
            Links links;
            const double ms = kit::WithinTime(static_cast<unsigned>(2 * kBoundMs), what, [&] {
                Measure(t.text.c_str(), place.rc, place.format, &links);
                dib.Fill(0xFFFFFF);
                Draw(dib, t.text.c_str(), place.rc, &links, place.format);
            });
            EXPECT_LT(ms, kBoundMs) << what;
            EXPECT_GT(CountNear(dib, 0xFFFFFF), 0) << what;
            EXPECT_LT(CountNear(dib, 0xFFFFFF), dib.Width() * dib.Height()) << what << ": nothing drawn";
        }
    }
}

// A long run is handed to the system only in parts around what shows; the pixels are those of
// the whole run drawn at once, wherever the visible part lies in the run.
TEST_F(Markup, ALongRunDrawsTheSamePixelsAsTheWholeRun)
{
    const std::wstring texts[] = {
        Repeat(L"plain Latin words, \x4E2D\x6587 \xD55C\xAE00 e\x0301 \xD83D\xDE00 ", 3000),
        Repeat(kMixedScripts, 3000),
        Repeat(kArabicWords, 3000),
    };
    const LONG lefts[] = {0, -3000, -12000};
    for (const std::wstring& text : texts) {
        for (const bool bold : {false, true}) {
            for (const LONG left : lefts) {
                const RECT rc = {left, 4, INT_MAX, 90};
                DibCanvas drawn(200, 100), whole(200, 100);
                const std::wstring markup = (bold ? L"<b>" : L"") + text;
                Draw(drawn, markup.c_str(), rc);
                CSelectObject font(whole.DC(), Font(bold));
                ::SetBkMode(whole.DC(), TRANSPARENT);
                ::SetTextColor(whole.DC(), RGB(0, 0, 0));
                ::TextOutW(whole.DC(), rc.left, rc.top, text.c_str(), static_cast<int>(text.size()));
                const std::string what = "text " + std::to_string(&text - texts) + (bold ? " bold" : "") +
                                         " from " + std::to_string(left);
                ASSERT_GT(CountNear(whole, 0x000000), 50) << what;
                EXPECT_TRUE(kit::CanvasIs(drawn, [&](int x, int y) { return whole.Pixel(x, y); })) << what;
            }
        }
    }
}

// Random long runs of many scripts, marks, digits, controls and random units, drawn from a random
// place in the run: the same pixels as the whole run drawn at once.
TEST_F(Markup, RandomLongRunsDrawTheSamePixelsAsTheWholeRun)
{
    // First unit and count of each range: Latin, digits, space, Arabic letters and vowel marks,
    // Hebrew, accents, CJK, Arabic-Indic digits, punctuation with brackets, direction controls, Thai.
    const std::pair<wchar_t, int> ranges[] = {
        {L'a', 26},   {L'0', 10},   {L' ', 1},    {0x0621, 42}, {0x064B, 8},  {0x05D0, 27},
        {0x0300, 16}, {0x4E00, 200}, {0x0660, 10}, {L'!', 15},   {0x202A, 5},  {0x0E01, 48},
    };
    kit::FuzzRun fuzz;
    for (int round = 0; round < 24; ++round) {
        // A letter first: spaces at a run's start are drawn on their own.
        std::wstring text = L"q";
        const size_t length = 600 + fuzz.Below(2400);
        while (text.size() < length) {
            // Words of one range, some with random units of any kind.
            const auto& range = ranges[fuzz.Below(sizeof(ranges) / sizeof(ranges[0]))];
            const int word = 1 + static_cast<int>(fuzz.Below(8));
            for (int i = 0; i < word; ++i)
                text += static_cast<wchar_t>(range.first + fuzz.Below(static_cast<uint32_t>(range.second)));
            if (fuzz.Below(6) == 0) text += fuzz.RandomText(3);
        }
        // One run: no tag, escape or line break.
        for (wchar_t& c : text)
            if (c == L'<' || c == L'{' || c == L'\n' || c == L'\0') c = L'x';
        const LONG left = -static_cast<LONG>(fuzz.Below(static_cast<uint32_t>(4 * length)));
        const RECT rc = {left, 4, INT_MAX, 90};
        DibCanvas drawn(200, 100), whole(200, 100);
        Draw(drawn, text.c_str(), rc);
        CSelectObject font(whole.DC(), Font());
        ::SetBkMode(whole.DC(), TRANSPARENT);
        ::SetTextColor(whole.DC(), RGB(0, 0, 0));
        ::TextOutW(whole.DC(), rc.left, rc.top, text.c_str(), static_cast<int>(text.size()));
        EXPECT_TRUE(kit::CanvasIs(drawn, [&](int x, int y) { return whole.Pixel(x, y); }))
            << "round " << round << ": " << text.size() << " units from " << left;
    }
}
