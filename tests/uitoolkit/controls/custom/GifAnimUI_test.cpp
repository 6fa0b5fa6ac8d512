// The GIF animation in a real window with real timers: a generated two-frame GIF (delays 10 and
// 20 hundredths) shows its frames in turn for about 100 and 200 ms, autoplay and autosize,
// hiding and showing, a new picture name, missing and broken files, delays the file lacks, a
// control deleted while it plays, and mutated GIF bytes.
#include <gtest/gtest.h>

#include <string>

#include "AnimationHost.h"
#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/GdiplusSession.h"
#include "kit/GifWriter.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/custom/GifFrames.h"
#include "uitoolkit/core/RenderKit.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;

namespace {

// A red frame for 10 hundredths, then a blue one for 20; 8 x 6 pixels.
std::string TwoFrameGif()
{
    return kit::EncodeGif(8, 6, {kRed, kBlue}, {{std::vector<uint8_t>(48, 0), 10}, {std::vector<uint8_t>(48, 1), 20}});
}

struct GifFolder {
    kit::TempDir dir;
    GifFolder()
    {
        kit::WriteBytesToFile(dir.File(L"two.gif"), TwoFrameGif());
        kit::WriteBytesToFile(dir.File(L"one.gif"), kit::EncodeGif(4, 4, {kGreen}, {{std::vector<uint8_t>(16, 0), 10}}));
        kit::WriteBytesToFile(dir.File(L"broken.gif"), TwoFrameGif().substr(0, 30));
        CHostResources::AddResourcePath((dir.Path() + L"\\").c_str(), true);
    }
};

struct GifAnim : ::testing::Test, animation_host::AnimationHost<CGifAnimUI> {
    GifFolder folder;
    bool Open(const std::wstring& attributes) { return AnimationHost::Open(L"GifAnim", attributes); }
    CGifAnimUI* Gif() const { return Anim(); }
    uint32_t Shown() { return PixelAt(h, 20, 20); }
};

} // namespace

TEST_F(GifAnim, FramesFollowTheirDelays)
{
    ASSERT_TRUE(Open(L"bkimage=\"two.gif\" autosize=\"true\""));
    CGifAnimUI* g = Gif();
    EXPECT_EQ(std::wstring(g->GetClass()), L"GifAnimUI");
    EXPECT_EQ(g->GetInterface(L"GifAnim"), g);
    EXPECT_EQ(g->GetFrameCount(), 2u);
    EXPECT_EQ(kit::Text(SIZE{g->GetFixedWidth(), g->GetFixedHeight()}), "8,6");
    EXPECT_TRUE(g->IsPlaying());
    // Hiding and showing starts again from the first frame.
    g->SetVisible(false);
    EXPECT_FALSE(g->IsPlaying());
    g->SetPos(RECT{0, 0, 40, 40});
    g->SetVisible(true);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(g->GetCurrentFrame(), 0u);
    EXPECT_EQ(Shown(), kRed);
    const DWORD second = WaitForFrame(1);
    EXPECT_EQ(Shown(), kBlue);
    const DWORD first = WaitForFrame(0);
    EXPECT_EQ(Shown(), kRed);
    EXPECT_NEAR(static_cast<double>(second - start), 100.0, 60.0);
    EXPECT_NEAR(static_cast<double>(first - second), 200.0, 80.0);
}

TEST_F(GifAnim, AutoplayOffWaitsUntilShown)
{
    ASSERT_TRUE(Open(L"autoplay=\"false\" bkimage=\"two.gif\""));
    kit::Pump(150);
    EXPECT_FALSE(Gif()->IsPlaying());
    EXPECT_EQ(Gif()->GetCurrentFrame(), 0u);
    Gif()->SetVisible(false);
    Gif()->SetVisible(true);
    EXPECT_TRUE(Gif()->IsPlaying());
}

TEST_F(GifAnim, APictureNameChangeStopsAndReloads)
{
    ASSERT_TRUE(Open(L"bkimage=\"two.gif\""));
    WaitForFrame(1);
    // The same name changes nothing.
    Gif()->SetAttribute(L"bkimage", L"two.gif");
    EXPECT_EQ(Gif()->GetCurrentFrame(), 1u);
    EXPECT_TRUE(Gif()->IsPlaying());
    // A one-frame picture, from a plain path: shown, but nothing to play.
    Gif()->SetAttribute(L"bkimage", folder.dir.File(L"one.gif").c_str());
    EXPECT_FALSE(Gif()->IsPlaying());
    EXPECT_EQ(Gif()->GetCurrentFrame(), 0u);
    EXPECT_EQ(Shown(), kGreen);
    EXPECT_EQ(Gif()->GetFrameCount(), 1u);
    EXPECT_FALSE(Gif()->IsPlaying());
}

TEST_F(GifAnim, MissingAndBrokenPicturesLeaveTheControlBlank)
{
    for (const wchar_t* name : {L"missing.gif", L"broken.gif", L""}) {
        SCOPED_TRACE(::testing::Message() << "bkimage " << (name[0] ? "set" : "empty"));
        XmlHost host;
        ASSERT_TRUE(host.Open(Skin(std::wstring(L"<GifAnim name=\"g\" float=\"true\" pos=\"0,0,40,40\" bkimage=\"") +
                                   name + L"\"/>").c_str(), 100, 60, &tags));
        EXPECT_FALSE(host.Find<CGifAnimUI>(L"g")->IsPlaying());
        EXPECT_EQ(PixelAt(host, 20, 20), kWhite);
    }
}

TEST(GifFrameDelays, MissingOrZeroDelaysAreOneTenthOfASecond)
{
    kit::GdiplusSession gdiplus;
    const std::vector<uint8_t> pixels(4, 0);
    const struct {
        std::vector<kit::GifFrame> frames;
        std::vector<UINT> delays;
    } cases[] = {
        {{{pixels, 5}, {pixels, 0}, {pixels, 30}}, {50, 100, 300}},
        {{{pixels, 0, false}, {pixels, 0, false}}, {100, 100}},
        {{{pixels, 7}, {pixels, 0, false}}, {70, 100}},
    };
    for (const auto& c : cases) {
        const std::string gif = kit::EncodeGif(2, 2, {kRed, kBlue}, c.frames);
        const auto frames = CGifFrames::Load(reinterpret_cast<const BYTE*>(gif.data()), gif.size());
        ASSERT_NE(frames, nullptr);
        ASSERT_EQ(frames->GetFrameCount(), c.delays.size());
        for (UINT i = 0; i < c.delays.size(); ++i)
            EXPECT_EQ(frames->GetFrameDelay(i), c.delays[i]) << "frame " << i;
    }
}

// Mutated GIF bytes: each is refused or gives frames within the limits that draw without harm.
TEST(GifFrameFuzz, MutatedBytesAreRefusedOrDrawn)
{
    kit::GdiplusSession gdiplus;
    kit::FuzzRun fuzz;
    const std::string sample = TwoFrameGif();
    kit::DibCanvas canvas(20, 20);
    int decoded = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string bytes = fuzz.Mutate(sample, 3);
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
    // A logical screen beyond the image limits is refused before decoding.
    std::string huge = sample;
    huge[6] = huge[7] = huge[8] = huge[9] = '\xFF';
    EXPECT_EQ(CGifFrames::Load(reinterpret_cast<const BYTE*>(huge.data()), huge.size()), nullptr);
}

// A playing animation deleted with its window or on its own; its timer never reaches it again.
TEST(GifAnimLifetime, DeletedWhilePlaying)
{
    kit::GdiplusSession gdiplus;
    GifFolder folder;
    custom_tags::CustomTags tags;
    kit::GuardedScope guard;
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(L"<GifAnim name=\"g\" float=\"true\" pos=\"0,0,40,40\" bkimage=\"two.gif\"/>").c_str(),
                           100, 60, &tags));
        ASSERT_TRUE(h.Find<CGifAnimUI>(L"g")->IsPlaying());
        static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"g"));
        kit::Pump(250);
    }
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(L"<GifAnim name=\"g\" float=\"true\" pos=\"0,0,40,40\" bkimage=\"two.gif\"/>").c_str(),
                           100, 60, &tags));
        kit::Pump(120);
        h.win.Destroy();
        kit::Pump(150);
    }
}
