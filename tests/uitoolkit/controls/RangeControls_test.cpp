// The controls that show a value in a range, in real windows built from skins. The scroll bar:
// button and thumb geometry (expected rectangles worked out by hand: track = length less a
// thickness per shown button, thumb = max(length x track / (range + length), thickness), offset
// = (track - thumb) x pos / range), its five painted layers, presses on buttons and track with
// auto-repeat on real timers, thumb drags applied on the ticks, and bars owned by a layout. The
// slider: thumb placement, drags, clicks on the track, the wheel, limits not normalised yet. The
// progress bar: the fore image over the value's share.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "kit/Capture.h"
#include "kit/Fuzz.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/ProgressUI.h"
#include "uitoolkit/controls/SliderUI.h"

using namespace SkinUI;
using namespace kit;

namespace {

// A skin with one floating bar "sb" (vertical, 16 x 200 at x 10 unless the attributes move it).
std::wstring BarSkin(const std::wstring& attributes)
{
    return Skin(L"<ScrollBar name=\"sb\" float=\"true\" pos=\"10,0,26,200\" " + attributes + L"/>");
}

} // namespace

TEST(ScrollBarGeometry, ButtonsAndThumbFollowRangePositionAndLength)
{
    const struct {
        const wchar_t* attributes;
        const char* rects;  // button 1, button 2, thumb
    } cases[] = {
        {L"range=\"100\" value=\"0\"", "10,0,26,16 10,184,26,200 10,16,26,128"},
        {L"value=\"50\"", "10,0,26,16 10,184,26,200 10,44,26,156"},
        {L"value=\"150\"", "10,0,26,16 10,184,26,200 10,72,26,184"},  // clamped to 100
        {L"range=\"0\"", "10,0,26,16 10,184,26,200 10,16,26,184"},     // the thumb fills the track
        {L"range=\"-5\" value=\"3\"", "10,0,26,16 10,184,26,200 10,16,26,184"},
        {L"pos=\"10,0,26,30\"", "10,0,26,15 10,15,26,30 0,0,0,0"},  // no room: no thumb
        {L"showbutton1=\"false\" showbutton2=\"false\" value=\"100\"", "10,0,10,0 10,200,10,200 10,67,26,200"},
        {L"showbutton2=\"false\" value=\"100\"", "10,0,26,16 10,200,10,200 10,78,26,200"},
        {L"pos=\"0,50,300,66\" hor=\"true\" range=\"1000\" value=\"500\"", "0,50,16,66 284,50,300,66 119,50,180,66"},
        {L"pos=\"0,50,20,66\" hor=\"true\" showbutton1=\"false\"", "0,50,0,50 10,50,20,66 0,0,0,0"},
        // 152 x 1500000000 does not fit 32 bits.
        {L"range=\"2000000000\" value=\"1500000000\"", "10,0,26,16 10,184,26,200 10,130,26,146"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.attributes).c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open(BarSkin(c.attributes), 320, 220));
        auto* bar = h.Find<CScrollBarUI>(L"sb");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(Text(bar->GetButton1Rect()) + " " + Text(bar->GetButton2Rect()) + " " + Text(bar->GetThumbRect()),
                  c.rects);
        EXPECT_TRUE(bar->GetScrollPos() >= 0 && bar->GetScrollPos() <= bar->GetScrollRange());
    }
}

// Random sizes, ranges and positions (extremes included): the parts never leave the bar and the
// position stays in its range.
TEST(ScrollBarGeometry, RandomSizesKeepThePartsInsideTheBar)
{
    FuzzRun fuzz;
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
            if (part == &bar.GetThumbRect() && Text(*part) == "0,0,0,0")
                continue;
            ASSERT_TRUE(part->left >= bounds.left && part->right <= bounds.right && part->top >= bounds.top &&
                        part->bottom <= bounds.bottom && part->left <= part->right && part->top <= part->bottom)
                << Text(*part) << " in " << Text(bounds);
        }
        ASSERT_TRUE(bar.GetScrollPos() >= 0 && bar.GetScrollPos() <= bar.GetScrollRange());
    }
}

TEST(ScrollBarPaint, FiveLayersWithFramesForPartsWithoutImages)
{
    SolidImageDir images;
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"bknormalimage=\"grey.png\" button1normalimage=\"red.png\" thumbnormalimage=\"blue.png\" "
                               L"thumbhotimage=\"yellow.png\" railnormalimage=\"green.png\""),
                       40, 220));
    // Button 2 has no image: a 2-pixel frame on the background. The rail is centred on the thumb
    // (16..128): 72 - 8 + 2 = 66 to 78.
    const auto expected = [](uint32_t thumb) {
        return [thumb](int x, int y) -> uint32_t {
            if (x < 10 || x >= 26 || y >= 200)
                return kWhite;
            if (y < 16)
                return kRed;
            if (y >= 184)
                return (x < 12 || x >= 24 || y < 186 || y >= 198) ? 0x85E4FF : kGrey;
            if (y >= 66 && y < 78)
                return kGreen;
            return y < 128 ? thumb : kGrey;
        };
    };
    EXPECT_TRUE(CanvasIs(*CaptureClient(h.win.Hwnd()), expected(kBlue)));
    // Over the thumb it turns hot.
    h.In().Move(18, 40);
    EXPECT_EQ(h.Find<CScrollBarUI>(L"sb")->GetThumbState() & kStateHot, kStateHot);
    EXPECT_TRUE(CanvasIs(*CaptureClient(h.win.Hwnd()), expected(kYellow)));
}

TEST(ScrollBarInput, ButtonsAndTrackRepeatWhileHeldAndEachScrollIsReported)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L"range=\"1000\" linesize=\"10\""), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    Input in = h.In();
    in.Move(18, 190);
    in.LeftDown(18, 190);  // button 2: one line at once
    EXPECT_EQ(bar->GetScrollPos(), 10);
    EXPECT_EQ(bar->GetButton2State() & kStatePushed, kStatePushed);
    Pump(200);  // at most four ticks: nothing repeats yet, it repeats from the sixth
    EXPECT_EQ(bar->GetScrollPos(), 10);
    ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() >= 40; }, 3000));
    in.LeftUp(18, 190);
    const int released = bar->GetScrollPos();
    EXPECT_EQ(bar->GetButton2State() & kStatePushed, 0u);
    Pump(150);
    EXPECT_EQ(bar->GetScrollPos(), released);  // the timer stopped
    // The press and every repeating tick reported one "scroll".
    EXPECT_EQ(h.rec.Count(L"scroll"), 1 + (released - 10) / 10);
    in.LeftDown(18, 5);  // button 1 steps back the same way
    in.LeftUp(18, 5);
    EXPECT_EQ(bar->GetScrollPos(), released - 10);

    // The thumb of range 1000 in 168 of track: 200 x 168 / 1200 = 28 long, at 16..44. After it a
    // press pages by the bar's length, repeating; pages stop once the thumb reaches the pointer.
    bar->SetScrollPos(0);
    ASSERT_EQ(Text(bar->GetThumbRect()), "10,16,26,44");
    in.Move(18, 170);
    in.LeftDown(18, 170);
    EXPECT_EQ(bar->GetScrollPos(), 200);
    ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() >= 400; }, 3000));
    in.LeftUp(18, 170);
    // Before the thumb pages go back.
    const int pos = bar->GetScrollPos();
    in.Move(18, 20);
    in.LeftDown(18, 20);
    in.LeftUp(18, 20);
    EXPECT_EQ(bar->GetScrollPos(), pos - 200);
}

TEST(ScrollBarInput, ThumbDragIsAppliedOnTheTicks)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(BarSkin(L""), 40, 220));
    auto* bar = h.Find<CScrollBarUI>(L"sb");
    Input in = h.In();
    // Thumb 16..128; room = 200 - 112 - 32 = 56, so 28 pixels are half the range.
    in.Move(18, 50);
    in.LeftDown(18, 50);
    EXPECT_EQ(bar->GetThumbState() & (kStatePushed | kStateCaptured), kStatePushed | kStateCaptured);
    in.Move(18, 78);
    ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() == 50; }, 2000));
    in.Move(18, 500);  // far beyond: clamped to the range
    ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() == 100; }, 2000));
    in.LeftUp(18, 500);
    EXPECT_EQ(bar->GetThumbState() & (kStatePushed | kStateCaptured), 0u);
    in.Move(18, 20);
    Pump(120);
    EXPECT_EQ(bar->GetScrollPos(), 100);

    // Without buttons and with range 1 the thumb takes 199 of 200 pixels: the drag divisor
    // 200 - 199 - 2 x 16 is negative, which must not turn an upward drag into a downward scroll.
    XmlHost full;
    ASSERT_TRUE(full.Open(BarSkin(L"showbutton1=\"false\" showbutton2=\"false\" range=\"1\""), 40, 220));
    bar = full.Find<CScrollBarUI>(L"sb");
    ASSERT_EQ(Text(bar->GetThumbRect()), "10,0,26,199");
    full.In().Move(18, 150);
    full.In().LeftDown(18, 150);
    full.In().Move(18, 10);
    Pump(150);
    full.In().LeftUp(18, 10);
    EXPECT_EQ(bar->GetScrollPos(), 0);
}

// A drag keeps the thumb under the point where it was pressed: the thumb's start moves by the
// drag's length (within a pixel) and the position is the one that start shows. Held past either
// end, inside the window or outside it, the thumb stays at that end, also when the system tells
// the window that the pointer left it while the button is still down. Vertical and horizontal
// bars, 200 long, with buttons shown and hidden, long thumbs and short ones.
TEST(ScrollBarInput, DragsKeepTheThumbUnderThePointerAndHoldTheEndPastTheEdge)
{
    enum Past { kInside, kPastEnd, kPastStart };
    const struct {
        bool horizontal;
        const wchar_t* attributes;
        int grab;   // where the thumb is pressed, along the bar from its start
        int drag;   // pixels moved along the bar; with Past, how far beyond the window's edge
        Past past;
    } cases[] = {
        {false, L"range=\"100\"", 50, 28, kInside},                          // buttons: room 56, as ever
        {false, L"range=\"1000\"", 20, 40, kInside},                         // buttons, short thumb
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"100\"", 60, 30, kInside},
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"1000\"", 10, 40, kInside},
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"1000\"", 10, 10, kInside},
        // Long thumbs: the track less the thumb is below two thicknesses.
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"20\"", 100, 10, kInside},
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"30\" value=\"15\"", 100, -5, kInside},
        {false, L"showbutton2=\"false\" range=\"40\"", 100, 12, kInside},
        {true, L"range=\"100\"", 50, 28, kInside},
        {true, L"showbutton1=\"false\" showbutton2=\"false\" range=\"1000\"", 10, 40, kInside},
        {true, L"showbutton1=\"false\" showbutton2=\"false\" range=\"20\"", 100, 10, kInside},
        {false, L"range=\"100\"", 50, 3, kPastEnd},
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"1000\"", 10, 40, kPastEnd},
        {false, L"showbutton1=\"false\" showbutton2=\"false\" range=\"20\" value=\"20\"", 100, 3, kPastStart},
        {true, L"showbutton1=\"false\" showbutton2=\"false\" range=\"1000\"", 10, 8, kPastEnd},
        {true, L"range=\"100\" value=\"100\"", 150, 30, kPastStart},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.horizontal ? L"horizontal " : L"vertical ") + c.attributes + L" drag " +
                     std::to_wstring(c.drag) + L" past " + std::to_wstring(c.past));
        // A failed step ends its own case only.
        [&] {
            // The bar runs from the window's edge (0) to 200, the window's other edge.
            const std::wstring place = c.horizontal ? L"pos=\"0,10,200,26\" hor=\"true\" " : L"pos=\"10,0,26,200\" ";
            XmlHost h;
            ASSERT_TRUE(h.Open(Skin(L"<ScrollBar name=\"sb\" float=\"true\" " + place + c.attributes + L"/>"), 200, 200));
            auto* bar = h.Find<CScrollBarUI>(L"sb");
            ASSERT_NE(bar, nullptr);
            const auto start = [&] { return c.horizontal ? bar->GetThumbRect().left : bar->GetThumbRect().top; };
            const auto at = [&](int along) { return c.horizontal ? POINT{along, 18} : POINT{18, along}; };
            const int start0 = start();
            const int pos0 = bar->GetScrollPos();
            const int thumbLength = c.horizontal ? bar->GetThumbRect().right - start0 : bar->GetThumbRect().bottom - start0;
            const int trackStart = bar->IsButton1Shown() ? 16 : 0;
            const int room = 200 - (bar->IsButton1Shown() ? 16 : 0) - (bar->IsButton2Shown() ? 16 : 0) - thumbLength;
            ASSERT_GT(room, 0);
            Input in = h.In();
            POINT p = at(c.grab);
            in.Move(p.x, p.y);
            in.LeftDown(p.x, p.y);
            ASSERT_EQ(bar->GetThumbState() & kStateCaptured, kStateCaptured);
            const int target = c.past == kPastEnd ? 200 + c.drag : c.past == kPastStart ? -c.drag : c.grab + c.drag;
            p = at(target);
            if (c.past != kInside) {
                // Outside the window the other coordinate leaves it too.
                (c.horizontal ? p.y : p.x) = 230;
            }
            in.Move(p.x, p.y);
            ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() != pos0; }, 2000));
            if (c.past == kInside) {
                EXPECT_NEAR(start(), start0 + c.drag, 1);
            } else {
                // The system says the pointer left the window; the button is still held.
                in.Post(WM_MOUSELEAVE, 0, 0);
                EXPECT_FALSE(PumpUntil([&] { return bar->GetScrollPos() != (c.past == kPastEnd ? bar->GetScrollRange() : 0); },
                                       300));
                EXPECT_EQ(start(), c.past == kPastEnd ? trackStart + room : trackStart);
            }
            // The position is the one the thumb's start shows.
            EXPECT_NEAR(bar->GetScrollPos(), (start() - trackStart) * bar->GetScrollRange() / room,
                        bar->GetScrollRange() / room + 1);
            in.LeftUp(p.x, p.y);
            EXPECT_EQ(bar->GetThumbState() & kStateCaptured, 0u);
        }();
    }
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
    ASSERT_EQ(Text(layout->GetVerticalScrollBar()->GetThumbRect()), "184,16,200,50");
    Input in = h.In();
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
    ASSERT_TRUE(PumpUntil([&] { return layout->GetScrollPos().cy == 50; }, 2000));
    in.LeftUp(192, 43);
    EXPECT_EQ(h.Pos(L"a"), "0,-50,184,0");
    EXPECT_EQ(h.rec.Count(L"scroll"), 0);
}

// ---- slider ------------------------------------------------------------------------------------

namespace {

void Release(CSliderUI* s, POINT pt)
{
    ControlEvent up;
    up.type = kEventButtonUp;
    up.point = pt;
    s->Event(up);
}

} // namespace

// A 110 x 20 slider at the window's top-left: the thumb (10 x 10) travels 100 pixels, so one
// pixel is one unit of 0..100 and the value at x is x - 5.
TEST(SliderInput, DragClickWheelAndTheirNotifications)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"<Slider name=\"s\" float=\"true\" pos=\"0,0,110,20\" thumbsize=\"10,10\" value=\"50\" "
                            L"step=\"30\"/>"),
                       150, 40));
    auto* s = h.Find<CSliderUI>(L"s");
    EXPECT_EQ(Text(s->GetThumbRect()), "50,5,60,15");
    Input in = h.In();
    // Drag: the value follows the pointer, one "valuechanged" on release.
    in.Move(55, 10);
    in.LeftDown(55, 10);
    EXPECT_EQ(s->GetThumbState() & kStateCaptured, kStateCaptured);
    in.Move(85, 10);
    EXPECT_EQ(s->GetValue(), 80);
    EXPECT_EQ(h.rec.Count(L"valuechanged"), 0);
    in.LeftUp(85, 10);
    EXPECT_EQ(s->GetThumbState() & kStateCaptured, 0u);
    EXPECT_EQ(h.rec.Count(L"valuechanged"), 1);
    // A click on the track: nothing on the press, the value of the point on release.
    in.Move(25, 10);
    in.LeftDown(25, 10);
    EXPECT_EQ(s->GetValue(), 80);
    in.LeftUp(25, 10);
    EXPECT_EQ(s->GetValue(), 20);
    EXPECT_EQ(h.rec.Count(L"valuechanged"), 2);
    in.Click(108, 10);
    EXPECT_EQ(s->GetValue(), 100);
    in.Click(3, 10);
    EXPECT_EQ(s->GetValue(), 0);

    // The wheel steps without clamping (as the listener sees it); the next paint clamps.
    std::vector<int> notified;
    h.rec.onNotify = [&](NotifyMessage&) { notified.push_back(s->GetValue()); };
    in.Wheel(50, 10, -120);
    s->SetValue(90);
    in.Wheel(50, 10, 120);
    EXPECT_EQ(notified, (std::vector<int>{-30, 120}));
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(s->GetValue(), 100);
    // A disabled slider keeps its value.
    s->SetEnabled(false);
    in.Click(25, 10);
    EXPECT_EQ(s->GetValue(), 100);
}

TEST(SliderInput, LimitsNotNormalisedYetAndVerticalSliders)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"<Slider name=\"s\" float=\"true\" pos=\"0,0,110,20\"/>"
                            L"<Slider name=\"v\" float=\"true\" hor=\"false\" pos=\"120,0,140,110\"/>"),
                       150, 120));
    // max <= min before any paint: hit tests count max as min + 1, and nothing is stored.
    auto* s = h.Find<CSliderUI>(L"s");
    s->SetMinValue(10);
    s->SetMaxValue(10);
    Release(s, POINT{50, 10});
    EXPECT_EQ(s->GetValue(), 10);
    Release(s, POINT{109, 10});
    EXPECT_EQ(s->GetValue(), 11);
    EXPECT_EQ(s->GetMaxValue(), 10);
    s->SetMaxValue(-2000000000);  // a span that does not fit 32 bits
    s->SetMinValue(2000000000);
    Release(s, POINT{109, 10});
    EXPECT_EQ(s->GetValue(), 2000000001);
    // Vertical: the minimum at the bottom.
    auto* v = h.Find<CSliderUI>(L"v");
    const int points[][2] = {{105, 0}, {108, 0}, {55, 50}, {4, 100}, {15, 90}};
    for (const auto& [y, value] : points) {
        Release(v, POINT{130, y});
        EXPECT_EQ(v->GetValue(), value) << "y " << y;
    }
    v->SetValue(30);
    EXPECT_EQ(Text(v->GetThumbRect()), "125,70,135,80");
}

// The value at a point over ranges wider than int and wholly negative, both orientations, every
// pixel along the track: the formula (span x distance / travel, from the minimum) worked in 64
// bits, clamped into the limits.
TEST(SliderInput, ValueAtAPointOverWideAndNegativeRanges)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"<Slider name=\"s\" float=\"true\" pos=\"0,0,110,20\" thumbsize=\"10,10\"/>"
                            L"<Slider name=\"v\" float=\"true\" hor=\"false\" pos=\"120,0,140,111\" thumbsize=\"10,11\"/>"),
                       150, 120));
    auto* s = h.Find<CSliderUI>(L"s");
    auto* v = h.Find<CSliderUI>(L"v");
    // The value the formula gives at a distance d into a track of length L (thumb half h).
    const auto formula = [](long long min, long long max, long long d, long long length, int thumb) {
        if (max <= min)
            max = min + 1;
        const int half = thumb / 2;
        if (d >= length - half)
            return max;
        if (d <= half)
            return min;
        const long long value = min + (max - min) * (d - half) / (length - thumb);
        return value < min ? min : value > max ? max : value;
    };
    const long long ranges[][2] = {{-2000000000, 2000000000}, {INT_MIN, INT_MAX}, {-2000000000, -1000000000},
                                   {INT_MIN, INT_MIN + 3}, {0, INT_MAX}, {INT_MIN, 0}, {-7, 5},
                                   {0, 100}, {1000000000, 2100000000}, {5, 5}, {INT_MAX - 1, INT_MIN}};
    for (const auto& [min, max] : ranges) {
        for (CSliderUI* slider : {s, v}) {
            slider->SetMinValue(static_cast<int>(min));
            slider->SetMaxValue(static_cast<int>(max));
            const bool horizontal = slider == s;
            const RECT rc = slider->GetPos();
            const long long length = horizontal ? rc.right - rc.left : rc.bottom - rc.top;
            for (long long d = -2; d <= length + 2; ++d) {
                // Horizontal: d from the left edge; vertical: from the bottom edge.
                const POINT pt = horizontal ? POINT{static_cast<LONG>(rc.left + d), 10}
                                            : POINT{130, static_cast<LONG>(rc.bottom - d)};
                Release(slider, pt);
                ASSERT_EQ(slider->GetValue(), formula(min, max, d, length, horizontal ? 10 : 11))
                    << (horizontal ? "horizontal" : "vertical") << " " << min << ".." << max << " at " << d;
            }
        }
    }
    // The case that clamped the scaled distance into int: 80 of 100 pixels of 4e9.
    s->SetMinValue(-2000000000);
    s->SetMaxValue(2000000000);
    Release(s, POINT{85, 10});
    EXPECT_EQ(s->GetValue(), 1200000000);
    v->SetMinValue(-2000000000);
    v->SetMaxValue(2000000000);
    Release(v, POINT{130, 111 - 85});
    EXPECT_EQ(v->GetValue(), -2000000000 + 4000000000LL * 80 / 100);
}

// ---- progress ----------------------------------------------------------------------------------

// The fore image covers the part of the control that the value stands for (from the left, or
// from the bottom when vertical); limits are normalised and the value clamped by the paint, and
// wide limits do not overflow.
TEST(ProgressPaint, ForeImageCoversTheValuesShareAndPaintClamps)
{
    SolidImageDir images;
    const struct {
        const wchar_t* attributes;
        RECT red;  // where the fore image lands, in the 100 x 100 window
        const char* stored;  // maximum and value after the paint
    } cases[] = {
        {L"max=\"200\" value=\"50\"", {0, 0, 25, 20}, "200 50"},
        {L"value=\"150\"", {0, 0, 100, 20}, "100 100"},  // clamped to the maximum
        {L"value=\"-4\"", {0, 0, 0, 0}, "100 0"},
        {L"max=\"0\" value=\"5\"", {0, 0, 100, 20}, "1 1"},  // painted as if the maximum were 1
        {L"min=\"-2000000000\" max=\"2000000000\" value=\"0\"", {0, 0, 50, 20}, "2000000000 0"},
        {L"hor=\"false\" pos=\"0,0,20,100\" value=\"25\"", {0, 75, 20, 100}, "100 25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.attributes).c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(L"<Progress name=\"p\" float=\"true\" pos=\"0,0,100,20\" foreimage=\"red.png\" " +
                                std::wstring(c.attributes) + L"/>"),
                           100, 100));
        EXPECT_TRUE(CanvasIs(*CaptureClient(h.win.Hwnd()), [&](int x, int y) { return In(x, y, c.red) ? kRed : kWhite; }));
        auto* p = h.Find<CProgressUI>(L"p");
        EXPECT_EQ(std::to_string(p->GetMaxValue()) + " " + std::to_string(p->GetValue()), c.stored);
    }
}
