// The GIF and PNG-strip animations in real windows with real timers: a generated two-frame GIF
// (delays 10 and 20 hundredths) shows its frames for about 100 and 200 ms, a 400 x 50 strip of
// four coloured frames shows them in turn; autoplay and autosize, hiding and showing, a new
// picture name, pictures, frames or frame times missing, delays the file lacks, the GIF checks
// that keep damaged files from the decoder (a table of sound and damaged files), mutated GIF
// bytes and random strips that never paint outside the control, and animations deleted while
// they play.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CustomTags.h"
#include "kit/Capture.h"
#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/GdiplusSession.h"
#include "kit/GifWriter.h"
#include "kit/GuardedHeap.h"
#include "kit/PngWriter.h"
#include "kit/SkinDir.h"
#include "kit/TempDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/controls/custom/GifFrames.h"
#include "uitoolkit/controls/custom/GifValidator.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/RenderKit.h"

using namespace SkinUI;
using namespace kit;

namespace {

const uint32_t kFrameColors[] = {kRed, kGreen, kBlue, kYellow};

// A red frame for 10 hundredths, then a blue one for 20; 8 x 6 pixels.
std::string TwoFrameGif()
{
    return EncodeGif(8, 6, {kRed, kBlue}, {{std::vector<uint8_t>(48, 0), 10}, {std::vector<uint8_t>(48, 1), 20}});
}

// Where the blocks of TwoFrameGif() lie: header and screen 0-12 (flags at 10), colour table
// 13-18, graphic control 19-26, the frame's descriptor 27-36, code size 37, code blocks 38-67
// (codes from 39), then the second frame from 68.
constexpr size_t kScreenFlags = 10, kControlSize = 21, kFrameLeft = 28, kFrameWidth = 32, kFrameHeight = 34,
                 kCodeSize = 37, kCodes = 39, kSecondFrame = 68;
// GrowingGif()'s first frame height (after a 4-colour table).
constexpr size_t kGrowingFrameHeight = kFrameHeight + 6;

std::string Set(std::string bytes, size_t at, char value)
{
    bytes[at] = value;
    return bytes;
}

// 4 colours in runs of 4, 16 x 16: strings the table learns, and runs that use the entry the
// table is about to add.
std::vector<uint8_t> Runs()
{
    std::vector<uint8_t> pixels(256);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>((i % 16 / 4 + i / 32) % 4);
    return pixels;
}

// 256 colours at random, 120 x 120: the table fills up.
std::vector<uint8_t> Noise()
{
    Fuzz random(7);
    std::vector<uint8_t> pixels(120 * 120);
    for (auto& pixel : pixels)
        pixel = static_cast<uint8_t>(random.Below(256));
    return pixels;
}

std::vector<uint32_t> Palette(size_t size)
{
    std::vector<uint32_t> colors(size);
    for (size_t i = 0; i < size; ++i)
        colors[i] = static_cast<uint32_t>(i * 0x3F1D29u) & 0xFFFFFFu;
    return colors;
}

// A GIF with growing codes, as common encoders write it.
std::string GrowingGif(GifCodes codes = GifCodes::Growing)
{
    return EncodeGif(16, 16, Palette(4), {{Runs(), 5, true, codes}, {std::vector<uint8_t>(256, 3), 5, true, codes}});
}

std::string NoiseGif(GifCodes codes)
{
    return EncodeGif(120, 120, Palette(256), {{Noise(), 0, false, codes}});
}

// Four 100 x 50 frames side by side.
std::string Strip()
{
    std::vector<uint32_t> pixels(400 * 50);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | kFrameColors[(i % 400) / 100];
    return EncodePng(400, 50, pixels);
}

// A window with one animation "a" at 0,0,40,40, GDI+ started for its lifetime, and the pictures
// two.gif, one.gif (green), broken.gif and strip.png on the resource path.
struct Animations : ::testing::Test {
    GdiplusSession gdiplus;  // first: it outlives the window and its pictures
    SkinDir folder{true};
    custom_tags::CustomTags tags;
    XmlHost h;

    Animations()
    {
        folder.Write(L"two.gif", TwoFrameGif());
        folder.Write(L"one.gif", EncodeGif(4, 4, {kGreen}, {{std::vector<uint8_t>(16, 0), 10}}));
        folder.Write(L"broken.gif", TwoFrameGif().substr(0, 30));
        folder.Write(L"strip.png", Strip());
    }
    bool Open(const wchar_t* tag, const std::wstring& attributes)
    {
        return h.Open(Skin(std::wstring(L"<") + tag + L" name=\"a\" float=\"true\" pos=\"0,0,40,40\" " + attributes + L"/>"),
                      200, 80, &tags);
    }
    template <class T = CAnimationUI>
    T* Anim() const
    {
        return h.Find<T>(L"a");
    }
    // Pumps until the animation shows the frame; the tick count then.
    DWORD WaitForFrame(UINT frame) const
    {
        PumpUntil([&] { return Anim()->GetCurrentFrame() == frame; }, 2000);
        return ::GetTickCount();
    }
};

} // namespace

TEST_F(Animations, GifFramesFollowTheirDelaysAndShowingStartsAgain)
{
    ASSERT_TRUE(Open(L"GifAnim", L"bkimage=\"two.gif\" autosize=\"true\""));
    auto* g = Anim<CGifAnimUI>();
    EXPECT_EQ(g->GetFrameCount(), 2u);
    EXPECT_EQ(Text(SIZE{g->GetFixedWidth(), g->GetFixedHeight()}), "8,6");
    EXPECT_TRUE(g->IsPlaying());
    // Hiding stops; showing starts again from the first frame.
    g->SetVisible(false);
    EXPECT_FALSE(g->IsPlaying());
    g->SetPos(RECT{0, 0, 40, 40});
    g->SetVisible(true);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(g->GetCurrentFrame(), 0u);
    EXPECT_EQ(h.Pixel(20, 20), kRed);
    const DWORD second = WaitForFrame(1);
    EXPECT_EQ(h.Pixel(20, 20), kBlue);
    const DWORD first = WaitForFrame(0);
    EXPECT_EQ(h.Pixel(20, 20), kRed);
    EXPECT_NEAR(static_cast<double>(second - start), 100.0, 60.0);
    EXPECT_NEAR(static_cast<double>(first - second), 200.0, 80.0);

    // The same picture name changes nothing; a one-frame picture from a plain path is shown, with
    // nothing to play.
    WaitForFrame(1);
    g->SetAttribute(L"bkimage", L"two.gif");
    EXPECT_TRUE(g->GetCurrentFrame() == 1u && g->IsPlaying());
    g->SetAttribute(L"bkimage", folder.File(L"one.gif").c_str());
    EXPECT_FALSE(g->IsPlaying());
    EXPECT_EQ(g->GetCurrentFrame(), 0u);
    EXPECT_EQ(h.Pixel(2, 2), kGreen);
    EXPECT_EQ(g->GetFrameCount(), 1u);  // loaded by that paint
}

TEST_F(Animations, StripFramesInTurn)
{
    ASSERT_TRUE(Open(L"PngAnim", L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"50\" autosize=\"true\""));
    auto* p = Anim<CPngAnimUI>();
    EXPECT_EQ(Text(SIZE{p->GetFixedWidth(), p->GetFixedHeight()}), "100,50");
    EXPECT_TRUE(p->IsPlaying());
    h.win.Layout();
    DWORD last = ::GetTickCount();
    for (UINT frame : {1u, 2u, 3u, 0u}) {
        const DWORD now = WaitForFrame(frame);
        EXPECT_EQ(h.Pixels({{50, 25}, {150, 25}}), Colors({kFrameColors[frame], kWhite})) << "frame " << frame;
        EXPECT_NEAR(static_cast<double>(now - last), 50.0, 40.0);
        last = now;
    }
    // Hiding stops it at the first frame.
    WaitForFrame(2);
    p->SetVisible(false);
    EXPECT_FALSE(p->IsPlaying());
    EXPECT_EQ(p->GetCurrentFrame(), 0u);
}

TEST_F(Animations, NothingToPlayOrNothingToPaint)
{
    const struct {
        const wchar_t* tag;
        const wchar_t* attributes;
        bool playing;
        bool blank;  // nothing painted
    } cases[] = {
        {L"GifAnim", L"bkimage=\"missing.gif\"", false, true},
        {L"GifAnim", L"bkimage=\"broken.gif\"", false, true},
        {L"GifAnim", L"bkimage=\"\"", false, true},
        {L"GifAnim", L"bkimage=\"two.gif\" autoplay=\"false\"", false, false},
        {L"PngAnim", L"bkimage=\"missing.png\" framecount=\"4\" frametime=\"50\" autosize=\"true\"", true, true},
        {L"PngAnim", L"bkimage=\"strip.png\" framecount=\"0\" frametime=\"50\" autosize=\"true\"", false, true},
        {L"PngAnim", L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"0\"", false, false},
        {L"PngAnim", L"bkimage=\"strip.png\" framecount=\"1\" frametime=\"50\"", false, false},
        {L"PngAnim", L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"50\" autoplay=\"false\"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.attributes).c_str());
        XmlHost host;
        ASSERT_TRUE(host.Open(Skin(std::wstring(L"<") + c.tag + L" name=\"a\" float=\"true\" pos=\"0,0,40,40\" " +
                                   c.attributes + L"/>"),
                              100, 60, &tags));
        auto* a = host.Find<CAnimationUI>(L"a");
        EXPECT_EQ(a->IsPlaying(), c.playing);
        EXPECT_EQ(a->GetFixedWidth(), 40);  // autosize needs a picture and frames
        Pump(80);
        EXPECT_TRUE(c.playing || a->GetCurrentFrame() == 0u);
        if (c.blank) {
            EXPECT_EQ(host.Pixel(20, 20), kWhite);
        }
        // Without autoplay it waits until shown.
        a->SetVisible(false);
        a->SetVisible(true);
        EXPECT_EQ(a->IsPlaying(), c.playing || std::wstring(c.attributes).find(L"autoplay") != std::wstring::npos);
    }
}

TEST(GifFrameDelays, MissingOrZeroDelaysAreOneTenthOfASecond)
{
    GdiplusSession gdiplus;
    const std::vector<uint8_t> pixels(4, 0);
    const struct {
        std::vector<GifFrame> frames;
        std::vector<UINT> delays;
    } cases[] = {
        {{{pixels, 5}, {pixels, 0}, {pixels, 30}}, {50, 100, 300}},
        {{{pixels, 0, false}, {pixels, 0, false}}, {100, 100}},
        {{{pixels, 7}, {pixels, 0, false}}, {70, 100}},
    };
    for (const auto& c : cases) {
        const std::string gif = EncodeGif(2, 2, {kRed, kBlue}, c.frames);
        const auto frames = CGifFrames::Load(reinterpret_cast<const BYTE*>(gif.data()), gif.size());
        ASSERT_NE(frames, nullptr);
        ASSERT_EQ(frames->GetFrameCount(), c.delays.size());
        for (UINT i = 0; i < c.delays.size(); ++i)
            EXPECT_EQ(frames->GetFrameDelay(i), c.delays[i]) << "frame " << i;
    }
}

// A GIF's frames may be smaller than its logical screen and lie anywhere in it: the picture has
// the screen's size, and every frame with its delay is as the file gives it.
TEST(GifFrameGeometry, FramesSmallerThanTheScreenAnywhereInIt)
{
    GdiplusSession gdiplus;
    const auto frame = [](int left, int top, int width, int height, uint16_t delay) {
        GifFrame f{std::vector<uint8_t>(static_cast<size_t>(width * height), 1), delay};
        f.left = left;
        f.top = top;
        f.width = width;
        f.height = height;
        return f;
    };
    struct Case {
        std::string name;
        int width, height;
        std::vector<GifFrame> frames;
    };
    std::vector<Case> cases = {
        {"a small first frame at the origin", 20, 16, {frame(0, 0, 4, 4, 10), frame(0, 0, 20, 16, 20)}},
        {"a small first frame in the middle", 20, 16, {frame(7, 5, 6, 3, 5), frame(0, 0, 20, 16, 0)}},
        {"frames in the bottom right corner", 20, 16, {frame(16, 12, 4, 4, 30), frame(19, 15, 1, 1, 7)}},
        {"every frame a pixel, each in another corner", 32, 24,
         {frame(0, 0, 1, 1, 1), frame(31, 0, 1, 1, 2), frame(0, 23, 1, 1, 3), frame(31, 23, 1, 1, 4)}},
        {"a one-row first frame at the bottom", 40, 10, {frame(0, 9, 40, 1, 15), frame(0, 0, 40, 10, 25)}},
    };
    // And frames of random sizes at random places. (Every file has two frames or more: the
    // decoder reports no delays for a single frame, which never changes anyway.)
    Fuzz random(35);
    for (int i = 0; i < 40; ++i) {
        Case c{"random " + std::to_string(i), 1 + static_cast<int>(random.Below(64)), 1 + static_cast<int>(random.Below(64)), {}};
        for (uint32_t n = 2 + random.Below(4); n > 0; --n) {
            const int w = 1 + static_cast<int>(random.Below(static_cast<uint32_t>(c.width)));
            const int h = 1 + static_cast<int>(random.Below(static_cast<uint32_t>(c.height)));
            c.frames.push_back(frame(static_cast<int>(random.Below(static_cast<uint32_t>(c.width - w + 1))),
                                     static_cast<int>(random.Below(static_cast<uint32_t>(c.height - h + 1))), w, h,
                                     static_cast<uint16_t>(random.Below(50))));
        }
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string gif = EncodeGif(c.width, c.height, {kRed, kBlue}, c.frames);
        const auto frames = CGifFrames::Load(reinterpret_cast<const BYTE*>(gif.data()), gif.size());
        ASSERT_NE(frames, nullptr);
        EXPECT_EQ(Text(SIZE{frames->GetWidth(), frames->GetHeight()}), Text(SIZE{c.width, c.height}));
        ASSERT_EQ(frames->GetFrameCount(), c.frames.size());
        for (UINT i = 0; i < c.frames.size(); ++i) {
            const UINT delay = c.frames[i].delay;
            EXPECT_EQ(frames->GetFrameDelay(i), delay == 0 ? CGifFrames::kDefaultDelayMs : delay * 10) << "frame " << i;
        }
    }
}

// Where a GIF's bytes come from: every search path in turn, the last one that holds the name
// winning; with a skin zip, the entry in each path's zip (a plain file of that name is passed
// over), and an entry that cannot be unpacked ends the search; the name as a file path only when
// no path gave anything. The three pictures differ in size and frame count.
TEST(GifSearch, TheLastSearchPathThatHoldsTheNameGivesTheBytes)
{
    GdiplusSession gdiplus;
    custom_tags::CustomTags tags;
    const auto gif = [](char which) {
        const int frames = which - 'A' + 1;
        const int width = 3 + frames, height = 7 - frames;
        return EncodeGif(width, height, {kRed, kGreen},
                         std::vector<GifFrame>(static_cast<size_t>(frames),
                                               GifFrame{std::vector<uint8_t>(static_cast<size_t>(width * height), 1), 10}));
    };
    struct PathHolds {
        char plain;     // the picture as a file there, 0 for none
        char zipped;    // the picture as an entry of the zip there; '-': a zip without it; 0: no zip
        bool damaged;   // the entry's checksum is wrong
    };
    const struct {
        const char* name;
        std::vector<PathHolds> paths;
        bool zip;       // a skin zip is set
        char expected;  // 0: no picture
        bool asFilePath = false;  // the name is a full path outside the search paths
    } cases[] = {
        {"plain files in two paths: the last one's", {{'A', 0, false}, {'B', 0, false}}, false, 'B'},
        {"three paths, the middle one without it", {{'A', 0, false}, {0, 0, false}, {'C', 0, false}}, false, 'C'},
        {"a zip entry against a plain file of the name: the zip's", {{'A', 'B', false}}, true, 'B'},
        {"a plain file beside a zip without the name: nothing", {{'A', '-', false}}, true, 0},
        {"zip entries in two paths: the last one's", {{0, 'A', false}, {0, 'B', false}}, true, 'B'},
        {"a path without the zip goes on", {{0, 'A', false}, {'C', 0, false}, {0, 'B', false}}, true, 'B'},
        {"a damaged entry ends the search with what came before", {{0, 'A', false}, {0, 'B', true}, {0, 'C', false}}, true, 'A'},
        {"a damaged entry first: nothing", {{0, 'B', true}, {0, 'C', false}}, true, 0},
        {"no path holds it: the name as a file path", {{0, 0, false}}, false, 'C', true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<SkinDir>> dirs;  // searched in this order
        for (const PathHolds& path : c.paths) {
            dirs.push_back(std::make_unique<SkinDir>());
            if (path.plain != 0)
                dirs.back()->Write(L"pick.gif", gif(path.plain));
            if (path.zipped != 0) {
                ZipWriter zip;
                zip.Add("other.gif", gif('A'));
                if (path.zipped != '-')
                    zip.Add("pick.gif", gif(path.zipped)).damageCrc = path.damaged;
                dirs.back()->Write(L"skin.zip", zip.Build());
            }
        }
        TempDir elsewhere;
        const std::wstring outside = elsewhere.File(L"pick.gif");
        if (c.asFilePath)
            WriteBytesToFile(outside, gif(c.expected));
        if (c.zip)
            CHostResources::SetResourceZip(L"skin.zip", false);
        const std::wstring name = c.asFilePath ? outside : L"pick.gif";
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(L"<GifAnim name=\"a\" float=\"true\" pos=\"0,0,40,40\" autosize=\"true\" bkimage=\"" +
                                name + L"\"/>"),
                           100, 60, &tags));
        auto* a = h.Find<CGifAnimUI>(L"a");
        if (c.expected == 0) {
            EXPECT_EQ(a->GetFrameCount(), 0u);
            continue;
        }
        const int frames = c.expected - 'A' + 1;
        EXPECT_EQ(a->GetFrameCount(), static_cast<UINT>(frames));
        EXPECT_EQ(Text(SIZE{a->GetFixedWidth(), a->GetFixedHeight()}), Text(SIZE{3 + frames, 7 - frames}));
    }
}

// Sound GIFs are taken and reach GDI+; damaged ones never do.
TEST(GifValidator, TakesSoundGifsAndRefusesDamagedOnes)
{
    GdiplusSession gdiplus;
    const std::string two = TwoFrameGif();
    const auto frames = [](size_t count, int side) {
        return EncodeGif(side, side, {kRed}, std::vector<GifFrame>(count, GifFrame{{0}, 0, false}));
    };
    const struct {
        const char* name;
        std::string bytes;
        UINT frames;  // 0: refused
    } cases[] = {
        {"short codes", two, 2},
        {"GIF87a", Set(two, 4, '7'), 2},
        {"growing codes", GrowingGif(), 2},
        {"full table cleared", NoiseGif(GifCodes::Growing), 1},
        {"full table kept", NoiseGif(GifCodes::GrowingKeepFull), 1},
        {"no trailer", two.substr(0, two.size() - 1), 2},
        {"no trailer after the first frame", two.substr(0, kSecondFrame), 1},
        {"bytes after the trailer", two + "GIF", 2},
        {"1024 frames", frames(1024, 1), 1024},
        {"1025 frames", frames(1025, 1), 0},
        {"frames of more pixels than the largest picture", frames(2, 8192), 0},
        {"screen beyond the image limits", Set(Set(two, 7, '\x7F'), 9, '\x7F'), 0},
        {"empty screen", Set(two, 6, 0), 0},
        {"not a GIF", Set(two, 3, '9'), 0},
        {"cut in the screen", two.substr(0, 11), 0},
        {"cut in the colour table", two.substr(0, 16), 0},
        {"cut in the graphic control", two.substr(0, 24), 0},
        {"cut in the frame descriptor", two.substr(0, 31), 0},
        {"cut in the codes", two.substr(0, 50), 0},
        {"cut before the codes' end block", two.substr(0, kSecondFrame - 1), 0},
        {"cut in the second frame", two.substr(0, 90), 0},
        {"no colours at all (crashed the decoder; fuzz seed 23770)", std::string(two).erase(kScreenFlags, 6), 0},
        {"graphic control of 5 bytes", Set(two, kControlSize, 5), 0},
        {"unknown block", Set(two, kSecondFrame, 0x2B), 0},
        {"code size 1", Set(two, kCodeSize, 1), 0},
        {"code size 9", Set(two, kCodeSize, 9), 0},
        {"code beyond the table", Set(two, kCodes, 0x3C), 0},       // clear, then 7
        {"code to be added, after a clear", Set(two, kCodes, 0x34), 0},  // clear, then 6
        {"more pixels than the frame", Set(two, kFrameHeight, 5), 0},
        {"more growing-code pixels than the frame", Set(GrowingGif(), kGrowingFrameHeight, 15), 0},
        {"frame beyond the screen", Set(two, kFrameLeft, 1), 0},
        {"frame wider than the screen", Set(two, kFrameWidth, 9), 0},
        {"empty frame", Set(two, kFrameWidth, 0), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* data = reinterpret_cast<const BYTE*>(c.bytes.data());
        CGifValidator gif;
        EXPECT_EQ(gif.Check(data, c.bytes.size()) ? gif.FrameCount() : 0u, c.frames);
        if (c.frames <= 2) {
            EXPECT_EQ(CGifFrames::Load(data, c.bytes.size()) != nullptr, c.frames > 0);
        }
    }
    // The growing codes are the pixels they stand for.
    for (const std::string& bytes : {GrowingGif(), NoiseGif(GifCodes::Growing), NoiseGif(GifCodes::GrowingKeepFull)}) {
        const auto gif = CGifFrames::Load(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
        ASSERT_NE(gif, nullptr);
        const int side = gif->GetWidth();
        DibCanvas canvas(side, side);
        gif->Draw(canvas.DC(), RECT{0, 0, side, side}, RECT{0, 0, side, side}, 0);
        const auto pixels = side == 16 ? Runs() : Noise();
        const auto palette = Palette(side == 16 ? 4 : 256);
        EXPECT_TRUE(CanvasIs(canvas, [&](int x, int y) { return palette[pixels[static_cast<size_t>(y * side + x)]]; }));
    }
}

// Mutated GIF bytes: each is refused or gives frames within the limits that draw without harm.
TEST(GifFrameFuzz, MutatedBytesAreRefusedOrDrawn)
{
    GdiplusSession gdiplus;
    FuzzRun fuzz;
    const std::string samples[] = {TwoFrameGif(), GrowingGif()};
    DibCanvas canvas(20, 20);
    int decoded = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string bytes = fuzz.Mutate(samples[i % 2], 3);
        const auto frames = CGifFrames::Load(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
        if (frames == nullptr)
            continue;
        ++decoded;
        ASSERT_GE(frames->GetFrameCount(), 1u);
        ASSERT_LE(static_cast<long long>(frames->GetWidth()) * frames->GetHeight(), CRenderKit::kMaxImagePixels);
        for (UINT f = 0; f < frames->GetFrameCount() && f < 4; ++f) {
            EXPECT_GT(frames->GetFrameDelay(f), 0u);
            frames->Draw(canvas.DC(), RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20}, f);
        }
    }
    EXPECT_GT(decoded, 0);
    // The checks alone, on many more: what they take stays within their limits.
    const std::string noise = NoiseGif(GifCodes::Growing);
    for (int i = 0; i < 3000; ++i) {
        const std::string bytes = fuzz.Mutate(i % 3 ? samples[i % 2] : noise, 6);
        CGifValidator gif;
        if (gif.Check(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size())) {
            ASSERT_TRUE(gif.FrameCount() >= 1 && gif.FrameCount() <= CGifValidator::kMaxFrames);
            ASSERT_LE(static_cast<long long>(gif.Width()) * gif.Height(), CRenderKit::kMaxImagePixels);
        }
    }
}

// Random strips (mutated picture bytes) with random frame counts: never a paint outside the
// control, whatever is decoded.
TEST_F(Animations, RandomStripsPaintOnlyInsideTheControl)
{
    ASSERT_TRUE(Open(L"PngAnim", L"pos=\"20,20,60,60\" frametime=\"5\""));
    FuzzRun fuzz;
    const std::string small = EncodePng(40, 10, std::vector<uint32_t>(400, 0xFF000000u | kBlue));
    const int counts[] = {0, 1, 3, 7, 40, 41, 1000, -5, 0x7FFFFFFF};
    for (int i = 0; i < 60; ++i) {
        const std::wstring name = L"fuzz" + std::to_wstring(i) + L".png";
        folder.Write(name, fuzz.Below(4) == 0 ? small : fuzz.Mutate(small, 3));
        Anim()->SetAttribute(L"framecount", std::to_wstring(counts[fuzz.Below(9)]).c_str());
        Anim()->SetAttribute(L"bkimage", name.c_str());
        Pump(fuzz.Below(15));
        ASSERT_TRUE(CanvasIs(*CaptureClient(h.win.Hwnd()),
                             [](int x, int y) { return In(x, y, RECT{20, 20, 60, 60}) ? kAnyColor : kWhite; }));
    }
}

// A playing animation deleted on its own or with its window; its timer never reaches it again.
TEST_F(Animations, DeletedWhilePlaying)
{
    GuardedScope guard;
    for (const wchar_t* tag : {L"GifAnim", L"PngAnim"}) {
        for (const bool window : {false, true}) {
            XmlHost host;
            ASSERT_TRUE(host.Open(Skin(std::wstring(L"<") + tag + L" name=\"a\" float=\"true\" pos=\"0,0,40,40\" "
                                       L"bkimage=\"" + (tag[0] == L'G' ? L"two.gif" : L"strip.png") +
                                       L"\" framecount=\"4\" frametime=\"20\"/>"),
                                  100, 60, &tags));
            ASSERT_TRUE(host.Find<CAnimationUI>(L"a")->IsPlaying());
            Pump(60);
            window ? host.win.Destroy() : void(host.Remove(L"a"));
            Pump(250);
        }
    }
}
