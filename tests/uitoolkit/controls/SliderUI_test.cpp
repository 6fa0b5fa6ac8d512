// The slider in a real window: thumb placement, dragging with real mouse messages, a click on
// the track, the wheel beyond the limits, "valuechanged" only on release and wheel, limits that
// are not normalised yet, and vertical sliders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XmlHost.h"
#include "kit/Input.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/SliderUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

// A 110 x 20 slider at the window's top-left: the thumb (10 x 10) travels 100 pixels, so one
// pixel is one unit of 0..100 and the value at x is x - 5.
const wchar_t* const kSlider =
    L"<Window><Container><Slider name=\"s\" float=\"true\" pos=\"0,0,110,20\" thumbsize=\"10,10\" value=\"50\" "
    L"step=\"30\"/></Container></Window>";

void Release(CSliderUI* s, POINT pt)
{
    ControlEvent up;
    up.type = kEventButtonUp;
    up.point = pt;
    s->Event(up);
}

} // namespace

TEST(SliderInput, DragClickWheelAndTheirNotifications)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(kSlider, 150, 40));
    auto* s = h.Find<CSliderUI>(L"s");
    EXPECT_EQ(kit::Text(s->GetThumbRect()), "50,5,60,15");
    kit::Input in(h.win.Hwnd());

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
    ASSERT_TRUE(h.Open(L"<Window><Container><Slider name=\"s\" float=\"true\" pos=\"0,0,110,20\"/>"
                       L"<Slider name=\"v\" float=\"true\" hor=\"false\" pos=\"120,0,140,110\"/></Container></Window>",
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
    const struct {
        int y;
        int value;
    } points[] = {{105, 0}, {108, 0}, {55, 50}, {4, 100}, {15, 90}};
    for (const auto& p : points) {
        Release(v, POINT{130, p.y});
        EXPECT_EQ(v->GetValue(), p.value) << "y " << p.y;
    }
    v->SetValue(30);
    EXPECT_EQ(kit::Text(v->GetThumbRect()), "125,70,135,80");
}
