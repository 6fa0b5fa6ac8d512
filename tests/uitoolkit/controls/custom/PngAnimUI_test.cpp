// The PNG strip animation in a real window with real timers: a 400 x 50 strip of four coloured
// frames shown in turn, autosize, hiding and showing, strips without image, frames or frame
// time, random strips and numbers that never paint outside the control, and a strip deleted
// while it plays.
#include <gtest/gtest.h>

#include <string>

#include "AnimationHost.h"
#include "kit/Fuzz.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"
#include "uitoolkit/controls/ContainerUI.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;

namespace {

const uint32_t kFrameColors[] = {kRed, kGreen, kBlue, kYellow};

// Four 100 x 50 frames side by side.
std::string Strip()
{
    std::vector<uint32_t> pixels(400 * 50);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | kFrameColors[(i % 400) / 100];
    return kit::EncodePng(400, 50, pixels);
}

struct StripFolder {
    kit::TempDir dir;
    StripFolder()
    {
        kit::WriteBytesToFile(dir.File(L"strip.png"), Strip());
        CHostResources::AddResourcePath((dir.Path() + L"\\").c_str(), true);
    }
};

struct PngAnim : ::testing::Test, animation_host::AnimationHost<CPngAnimUI> {
    StripFolder folder;
    bool Open(const std::wstring& attributes) { return AnimationHost::Open(L"PngAnim", attributes); }
    CPngAnimUI* Strip() const { return Anim(); }
};

} // namespace

TEST_F(PngAnim, FramesOfTheStripInTurn)
{
    ASSERT_TRUE(Open(L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"50\" autosize=\"true\""));
    CPngAnimUI* p = Strip();
    EXPECT_EQ(std::wstring(p->GetClass()), L"PngAnimUI");
    EXPECT_EQ(p->GetInterface(L"PngAnim"), p);
    EXPECT_EQ(kit::Text(SIZE{p->GetFixedWidth(), p->GetFixedHeight()}), "100,50");
    EXPECT_TRUE(p->IsPlaying());
    p->SetVisible(false);
    p->SetVisible(true);
    h.win.Layout();
    DWORD last = ::GetTickCount();
    for (UINT frame : {1u, 2u, 3u, 0u}) {
        const DWORD now = WaitForFrame(frame);
        EXPECT_EQ(PixelAt(h, 50, 25), kFrameColors[frame]) << "frame " << frame;
        EXPECT_EQ(PixelAt(h, 150, 25), kWhite);
        EXPECT_NEAR(static_cast<double>(now - last), 50.0, 40.0);
        last = now;
    }
    // The same name keeps it running; hiding stops it at the first frame.
    p->SetAttribute(L"bkimage", L"strip.png");
    EXPECT_TRUE(p->IsPlaying());
    WaitForFrame(2);
    p->SetVisible(false);
    EXPECT_FALSE(p->IsPlaying());
    EXPECT_EQ(p->GetCurrentFrame(), 0u);
}

TEST_F(PngAnim, StripsWithNothingToPlay)
{
    const struct {
        const wchar_t* attributes;
        bool playing;
    } cases[] = {
        {L"bkimage=\"missing.png\" framecount=\"4\" frametime=\"50\" autosize=\"true\"", true},
        {L"bkimage=\"strip.png\" framecount=\"0\" frametime=\"50\" autosize=\"true\"", false},
        {L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"0\"", false},
        {L"bkimage=\"strip.png\" framecount=\"1\" frametime=\"50\"", false},
        {L"bkimage=\"strip.png\" framecount=\"4\" frametime=\"50\" autoplay=\"false\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
        XmlHost host;
        ASSERT_TRUE(host.Open(Skin(std::wstring(L"<PngAnim name=\"p\" float=\"true\" pos=\"0,0,40,40\" ") + c.attributes +
                                   L"/>").c_str(), 100, 60, &tags));
        CPngAnimUI* p = host.Find<CPngAnimUI>(L"p");
        EXPECT_EQ(p->IsPlaying(), c.playing);
        EXPECT_EQ(p->GetFixedWidth(), 40);  // autosize needs an image and frames
        kit::Pump(80);
        if (!c.playing) {
            EXPECT_EQ(p->GetCurrentFrame(), 0u);
        }
    }
    // No image or no frames: nothing painted.
    XmlHost host;
    ASSERT_TRUE(host.Open(Skin(L"<PngAnim name=\"a\" float=\"true\" pos=\"0,0,40,40\" bkimage=\"missing.png\" framecount=\"2\"/>"
                               L"<PngAnim name=\"b\" float=\"true\" pos=\"50,0,90,40\" bkimage=\"strip.png\"/>").c_str(),
                          100, 60, &tags));
    EXPECT_EQ(PixelAt(host, 20, 20), kWhite);
    EXPECT_EQ(PixelAt(host, 70, 20), kWhite);
}

// Random strips (mutated picture bytes) with random frame counts: never a paint outside the
// control, whatever is decoded.
TEST_F(PngAnim, RandomStripsPaintOnlyInsideTheControl)
{
    ASSERT_TRUE(Open(L"pos=\"20,20,60,60\" frametime=\"5\""));
    kit::FuzzRun fuzz;
    const std::string small = kit::EncodePng(40, 10, std::vector<uint32_t>(400, 0xFF000000u | kBlue));
    for (int i = 0; i < 60; ++i) {
        const std::wstring name = L"fuzz" + std::to_wstring(i) + L".png";
        kit::WriteBytesToFile(folder.dir.File(name), fuzz.Below(4) == 0 ? small : fuzz.Mutate(small, 3));
        const int counts[] = {0, 1, 3, 7, 40, 41, 1000, -5, 0x7FFFFFFF};
        Strip()->SetAttribute(L"framecount", std::to_wstring(counts[fuzz.Below(9)]).c_str());
        Strip()->SetAttribute(L"bkimage", name.c_str());
        kit::Pump(fuzz.Below(15));
        auto shot = kit::CaptureClient(h.win.Hwnd());
        ASSERT_TRUE(kit::CanvasIs(*shot, [](int x, int y) {
            return kit::In(x, y, RECT{20, 20, 60, 60}) ? kit::kAnyColor : kWhite;
        }));
    }
}

// A playing strip deleted on its own or with its window.
TEST(PngAnimLifetime, DeletedWhilePlaying)
{
    StripFolder folder;
    custom_tags::CustomTags tags;
    kit::GuardedScope guard;
    const std::wstring skin =
        Skin(L"<PngAnim name=\"p\" float=\"true\" pos=\"0,0,40,40\" bkimage=\"strip.png\" framecount=\"4\" frametime=\"20\"/>");
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(skin.c_str(), 100, 60, &tags));
        ASSERT_TRUE(h.Find<CPngAnimUI>(L"p")->IsPlaying());
        static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"p"));
        kit::Pump(100);
    }
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(skin.c_str(), 100, 60, &tags));
        kit::Pump(50);
        h.win.Destroy();
        kit::Pump(60);
    }
}
