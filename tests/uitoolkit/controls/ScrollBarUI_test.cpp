// The scroll bar in real windows built from skins: button and thumb geometry (ranges, lengths,
// hidden buttons, ranges that overflow 32-bit products), its five painted layers, presses on
// buttons and track with auto-repeat on real timers, thumb drags applied on the ticks, and the
// free-standing bar's "scroll" notification.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XmlHost.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/Input.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/core/HostResources.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

// A skin with one floating bar "sb" (vertical, 16 x 200 at x 10 unless the attributes move it).
std::wstring BarSkin(const std::wstring& attributes)
{
    return L"<Window><Container><ScrollBar name=\"sb\" float=\"true\" pos=\"10,0,26,200\" " + attributes +
           L"/></Container></Window>";
}

struct GeometryCase {
    const wchar_t* attributes;
    const char* button1;
    const char* button2;
    const char* thumb;
};

} // namespace

// Expected rectangles worked out by hand from the layout rules: track = length less a thickness
// per shown button, thumb = max(length x track / (range + length), thickness), offset =
// (track - thumb) x pos / range.
TEST(ScrollBarGeometry, ButtonsAndThumbFollowRangePositionAndLength)
{
    const GeometryCase cases[] = {
        {L"range=\"100\" value=\"0\"", "10,0,26,16", "10,184,26,200", "10,16,26,128"},
        {L"value=\"50\"", "10,0,26,16", "10,184,26,200", "10,44,26,156"},
        {L"value=\"150\"", "10,0,26,16", "10,184,26,200", "10,72,26,184"},  // clamped to 100
        {L"range=\"0\"", "10,0,26,16", "10,184,26,200", "10,16,26,184"},     // thumb fills the track
        {L"range=\"-5\" value=\"3\"", "10,0,26,16", "10,184,26,200", "10,16,26,184"},
        {L"pos=\"10,0,26,30\"", "10,0,26,15", "10,15,26,30", "0,0,0,0"},      // no room: no thumb
        {L"showbutton1=\"false\" showbutton2=\"false\" value=\"100\"", "10,0,10,0", "10,200,10,200", "10,67,26,200"},
        {L"showbutton2=\"false\" value=\"100\"", "10,0,26,16", "10,200,10,200", "10,78,26,200"},
        {L"pos=\"0,50,300,66\" hor=\"true\" range=\"1000\" value=\"500\"", "0,50,16,66", "284,50,300,66", "119,50,180,66"},
        {L"pos=\"0,50,20,66\" hor=\"true\" showbutton1=\"false\"", "0,50,0,50", "10,50,20,66", "0,0,0,0"},
        // 152 x 1500000000 does not fit 32 bits.
        {L"range=\"2000000000\" value=\"1500000000\"", "10,0,26,16", "10,184,26,200", "10,130,26,146"},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(std::wstring(c.attributes).c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open(BarSkin(c.attributes).c_str(), 320, 220));
        auto* bar = h.Find<CScrollBarUI>(L"sb");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(kit::Text(bar->GetButton1Rect()) + " " + kit::Text(bar->GetButton2Rect()) + " " +
                      kit::Text(bar->GetThumbRect()),
                  std::string(c.button1) + " " + c.button2 + " " + c.thumb);
        EXPECT_GE(bar->GetScrollPos(), 0);
        EXPECT_LE(bar->GetScrollPos(), bar->GetScrollRange());
    }
}

// Random sizes, ranges and positions (extremes included): the parts never leave the bar and the
// position stays in its range.
TEST(ScrollBarGeometry, RandomSizesKeepThePartsInsideTheBar)
{
    kit::FuzzRun fuzz;
    CScrollBarUI bar;
    const int extremes[] = {0, 1, -1, 16, 0x7FFFFFFF, -0x7FFFFFFF, 65535};
    const auto pick = [&] { return fuzz.Below(3) == 0 ? extremes[fuzz.Below(7)] : static_cast<int>(fuzz.Below(3000)); };
    for (int i = 0; i < 3000; ++i) {
        bar.SetHorizontal(fuzz.Below(2) == 0);
        bar.SetAttribute(L"showbutton1", fuzz.Below(2) ? L"true" : L"false");
        bar.SetAttribute(L"showbutton2", fuzz.Below(2) ? L"true" : L"false");
        bar.SetScrollRange(pick());
        bar.SetScrollPos(pick());
        const int length = static_cast<int>(fuzz.Below(5000));
        bar.SetPos(bar.IsHorizontal() ? RECT{0, 0, length, 16} : RECT{0, 0, 16, length});
        const RECT& bounds = bar.GetPos();
        for (const RECT* part : {&bar.GetButton1Rect(), &bar.GetButton2Rect(), &bar.GetThumbRect()}) {
            if (part == &bar.GetThumbRect() && kit::Text(*part) == "0,0,0,0")
                continue;
            ASSERT_TRUE(part->left >= bounds.left && part->right <= bounds.right && part->top >= bounds.top &&
                        part->bottom <= bounds.bottom && part->left <= part->right && part->top <= part->bottom)
                << kit::Text(*part) << " in " << kit::Text(bounds);
        }
        ASSERT_GE(bar.GetScrollPos(), 0);
        ASSERT_LE(bar.GetScrollPos(), bar.GetScrollRange());
    }
}

TEST(ScrollBarPaint, FiveLayersWithFramesForPartsWithoutImages)
{
    kit::TempDir dir;
    const auto png = [&](const wchar_t* name, uint32_t argb) {
        ASSERT_TRUE(kit::WriteBytesToFile(dir.File(name), kit::EncodePng(4, 4, std::vector<uint32_t>(16, argb))));
    };
    png(L"bk.png", 0xFF808080);
    png(L"red.png", 0xFFFF0000);
    png(L"blue.png", 0xFF0000FF);
    png(L"green.png", 0xFF00FF00);
    png(L"yellow.png", 0xFFFFFF00);
    CHostResources::AddResourcePath(dir.Path().c_str(), false);
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"bknormalimage=\"bk.png\" button1normalimage=\"red.png\" thumbnormalimage=\"blue.png\" "
                               L"thumbhotimage=\"yellow.png\" railnormalimage=\"green.png\"")
                           .c_str(),
                       40, 220));
    // Button 2 has no image: a 2-pixel frame on the background. The rail is centred on the thumb
    // (16..128): 72 - 8 + 2 = 66 to 78.
    const auto expected = [](uint32_t thumb) {
        return [thumb](int x, int y) -> uint32_t {
            if (x < 10 || x >= 26 || y >= 200)
                return 0xFFFFFF;
            if (y < 16)
                return 0xFF0000;
            if (y >= 184)
                return (x < 12 || x >= 24 || y < 186 || y >= 198) ? 0x85E4FF : 0x808080;
            if (y >= 66 && y < 78)
                return 0x00FF00;
            return y < 128 ? thumb : 0x808080;
        };
    };
    auto shot = kit::CaptureClient(h.win.Hwnd());
    EXPECT_TRUE(kit::CanvasIs(*shot, expected(0x0000FF)));

    // Over the thumb it turns hot.
    kit::Input in(h.win.Hwnd());
    in.Move(18, 40);
    EXPECT_EQ(h.Find<CScrollBarUI>(L"sb")->GetThumbState() & kStateHot, kStateHot);
    shot = kit::CaptureClient(h.win.Hwnd());
    EXPECT_TRUE(kit::CanvasIs(*shot, expected(0xFFFF00)));
    CHostResources::GetResourcePathList().Clear();
}

TEST(ScrollBarInput, ButtonsRepeatFromTheSixthTickAndEachScrollIsReported)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"range=\"1000\" linesize=\"10\"").c_str(), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    kit::Input in(h.win.Hwnd());
    in.Move(18, 190);
    in.LeftDown(18, 190);  // button 2: one line at once
    EXPECT_EQ(bar->GetScrollPos(), 10);
    EXPECT_EQ(bar->GetButton2State() & kStatePushed, kStatePushed);
    kit::Pump(200);  // at most four ticks: nothing repeats yet
    EXPECT_EQ(bar->GetScrollPos(), 10);
    ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() >= 40; }, 3000));
    in.LeftUp(18, 190);
    const int released = bar->GetScrollPos();
    EXPECT_EQ(bar->GetButton2State() & kStatePushed, 0u);
    kit::Pump(150);
    EXPECT_EQ(bar->GetScrollPos(), released);  // the timer stopped
    // The press and every repeating tick reported one "scroll".
    EXPECT_EQ(h.rec.Count(L"scroll"), 1 + (released - 10) / 10);

    // Button 1 steps back the same way.
    in.LeftDown(18, 5);
    in.LeftUp(18, 5);
    EXPECT_EQ(bar->GetScrollPos(), released - 10);
}

TEST(ScrollBarInput, TrackPagesTowardsThePointerAndRepeatsWhileHeld)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"range=\"1000\"").c_str(), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    kit::Input in(h.win.Hwnd());
    // Thumb of range 1000 in 168 of track: 200 x 168 / 1200 = 28 long, at 16..44.
    ASSERT_EQ(kit::Text(bar->GetThumbRect()), "10,16,26,44");
    in.Move(18, 170);
    in.LeftDown(18, 170);  // after the thumb: a page of the bar's length
    EXPECT_EQ(bar->GetScrollPos(), 200);
    ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() >= 400; }, 3000));
    in.LeftUp(18, 170);
    // Pages stop once the thumb reaches the pointer; before the thumb they go back.
    const int pos = bar->GetScrollPos();
    in.Move(18, 20);
    in.LeftDown(18, 20);
    in.LeftUp(18, 20);
    EXPECT_EQ(bar->GetScrollPos(), pos - 200);
}

TEST(ScrollBarInput, ThumbDragIsAppliedOnTheTicks)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"").c_str(), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    kit::Input in(h.win.Hwnd());
    // Thumb 16..128; room = 200 - 112 - 32 = 56, so 28 pixels are half the range.
    in.Move(18, 50);
    in.LeftDown(18, 50);
    EXPECT_EQ(bar->GetThumbState() & (kStatePushed | kStateCaptured), kStatePushed | kStateCaptured);
    in.Move(18, 78);
    ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() == 50; }, 2000));
    in.Move(18, 500);  // far beyond: clamped to the range
    ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() == 100; }, 2000));
    in.LeftUp(18, 500);
    EXPECT_EQ(bar->GetThumbState() & (kStatePushed | kStateCaptured), 0u);
    in.Move(18, 20);
    kit::Pump(120);
    EXPECT_EQ(bar->GetScrollPos(), 100);
}

// Without buttons and with range 1 the thumb takes 199 of 200 pixels: the drag divisor
// 200 - 199 - 2 x 16 is negative, which must not turn an upward drag into a downward scroll.
TEST(ScrollBarInput, DragWithNoRoomLeftDoesNotScroll)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"showbutton1=\"false\" showbutton2=\"false\" range=\"1\"").c_str(), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    ASSERT_EQ(kit::Text(bar->GetThumbRect()), "10,0,26,199");
    kit::Input in(h.win.Hwnd());
    in.Move(18, 150);
    in.LeftDown(18, 150);
    in.Move(18, 10);
    kit::Pump(150);
    in.LeftUp(18, 10);
    EXPECT_EQ(bar->GetScrollPos(), 0);
}

// A bar owned by a layout scrolls the layout (lines, pages, drags) and reports nothing itself.
// Four children of 50 in 100: range 100; the thumb is max(100 x 68 / 200, 16) = 34 long.
TEST(ScrollBarInput, OwnedBarScrollsItsContainer)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><VerticalLayout name=\"l\" vscrollbar=\"true\"><Control name=\"a\" height=\"50\"/>"
                       L"<Control height=\"50\"/><Control height=\"50\"/><Control height=\"50\"/></VerticalLayout></Window>",
                       200, 100));
    auto* layout = h.Find<CContainerUI>(L"l");
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    ASSERT_EQ(kit::Text(bar->GetThumbRect()), "184,16,200,50");
    kit::Input in(h.win.Hwnd());
    in.Move(192, 92);
    in.LeftDown(192, 92);  // button 2: one line of the layout
    in.LeftUp(192, 92);
    const int line = layout->GetScrollPos().cy;
    EXPECT_GT(line, 8);  // the default font's height + 8
    EXPECT_EQ(h.Pos(L"a"), "0," + std::to_string(-line) + ",184," + std::to_string(50 - line));
    in.Move(192, 70);
    in.LeftDown(192, 70);  // the track after the thumb: a page, clamped to the end
    in.LeftUp(192, 70);
    EXPECT_EQ(layout->GetScrollPos().cy, 100);
    // Thumb at 50..84; 17 pixels up are -17 x 100 / (100 - 34 - 32) = -50.
    in.Move(192, 60);
    in.LeftDown(192, 60);
    in.Move(192, 43);
    ASSERT_TRUE(kit::PumpUntil([&] { return layout->GetScrollPos().cy == 50; }, 2000));
    in.LeftUp(192, 43);
    EXPECT_EQ(h.Pos(L"a"), "0,-50,184,0");
    EXPECT_EQ(h.rec.Count(L"scroll"), 0);
}
