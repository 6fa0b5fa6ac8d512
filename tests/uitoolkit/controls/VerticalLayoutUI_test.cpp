// The vertical layout in real windows built from skins. Every expected rectangle below was worked
// out by hand from the placement rules (share = (height - fixed total) / automatic count, the
// last automatic child takes what the fixed remainder leaves), not by running the code. Also:
// the scroll-bar feed, one placement per child per pass, and separator drags with real mouse
// messages in both modes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "XmlHost.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

struct PlacementCase {
    const wchar_t* name;
    const wchar_t* layout;  // attributes of the root layout
    const wchar_t* children;
    int width, height;
    std::map<std::wstring, std::string> expected;
};

void CheckPlacement(const PlacementCase& c)
{
    SCOPED_TRACE(c.name);
    XmlHost h;
    ASSERT_TRUE(h.Open((std::wstring(L"<Window><VerticalLayout name=\"root\" ") + c.layout + L">" + c.children +
                        L"</VerticalLayout></Window>").c_str(),
                       c.width, c.height));
    for (const auto& [name, rect] : c.expected)
        EXPECT_EQ(h.Pos(name.c_str()), rect) << std::string(name.begin(), name.end());
}

const wchar_t* const kThreeAuto = L"<Control name=\"a\"/><Control name=\"b\"/><Control name=\"c\"/>";

} // namespace

TEST(VerticalLayoutPlacement, FixedAndAutomaticChildrenShareTheHeight)
{
    const PlacementCase cases[] = {
        // 100 / 3 = 33; the last takes the remaining 34.
        {L"three automatic", L"", kThreeAuto, 200, 100,
         {{L"a", "0,0,200,33"}, {L"b", "0,33,200,66"}, {L"c", "0,66,200,100"}}},
        // Gaps of 5: (100 - 10) / 3 = 30 each, at 0, 35 and 70.
        {L"child padding", L"childpadding=\"5\"", kThreeAuto, 200, 100,
         {{L"a", "0,0,200,30"}, {L"b", "0,35,200,65"}, {L"c", "0,70,200,100"}}},
        // Fixed 40, gap 10: the automatic child gets 100 - 50.
        {L"fixed then automatic", L"childpadding=\"10\"", L"<Control name=\"a\" height=\"40\"/><Control name=\"b\"/>",
         200, 100, {{L"a", "0,0,200,40"}, {L"b", "0,50,200,100"}}},
        // Inner 180 x 100 at 10,10; paddings 4+6 and 3+7 are fixed: (100 - 20) / 3 = 26. The last
        // automatic child gets 28 left - 20 of paddings still counted = 8 (the documented shortfall).
        {L"paddings", L"inset=\"10,10,10,10\"",
         L"<Control name=\"a\" padding=\"5,4,5,6\"/><Control name=\"b\" padding=\"0,3,0,7\"/><Control name=\"c\"/>",
         200, 120, {{L"a", "15,14,185,40"}, {L"b", "10,49,190,75"}, {L"c", "10,82,190,90"}}},
        // Fixed 10 raised to its minimum 30; share (100 - 30) / 3 = 23: a down to its maximum 20, b up
        // to 60 and then down to its smaller maximum 40, d the last 10. Widths: a at most 150, b's
        // paddings leave less than nothing.
        {L"min and max", L"",
         L"<Control name=\"a\" maxheight=\"20\" maxwidth=\"150\"/>"
         L"<Control name=\"b\" minheight=\"60\" maxheight=\"40\" padding=\"120,0,120,0\"/>"
         L"<Control name=\"c\" height=\"10\" minheight=\"30\"/><Control name=\"d\"/>",
         200, 100,
         {{L"a", "0,0,150,20"}, {L"b", "120,20,120,60"}, {L"c", "0,60,200,90"}, {L"d", "0,90,200,100"}}},
        // Fixed content larger than the layout: the automatic share is 0, then the minimum.
        {L"negative share", L"", L"<Control name=\"a\" height=\"150\"/><Control name=\"b\" minheight=\"5\"/>", 200, 100,
         {{L"a", "0,0,200,150"}, {L"b", "0,150,200,155"}}},
        // Hidden children take nothing (no gap either), floating ones are placed on their own.
        {L"hidden and floating", L"childpadding=\"10\"",
         L"<Control name=\"a\"/><Control name=\"h\" visible=\"false\"/>"
         L"<Control name=\"f\" float=\"true\" pos=\"5,5,25,25\"/><Control name=\"b\"/>",
         200, 100, {{L"a", "0,0,200,45"}, {L"h", "0,0,0,0"}, {L"f", "5,5,25,25"}, {L"b", "0,55,200,100"}}},
        // A fixed width stays; the automatic width is the available width less the side paddings.
        {L"widths", L"", L"<Control name=\"a\" width=\"70\" height=\"20\"/><Control name=\"b\" padding=\"30,0,20,0\"/>", 200,
         100, {{L"a", "0,0,70,20"}, {L"b", "30,20,180,100"}}},
    };
    for (const PlacementCase& c : cases)
        CheckPlacement(c);
}

// Content of 3 x 50 + 2 gaps of 10 = 170 in 100: the bar shows, the children are laid out again
// 16 narrower, and the range is 70; scrolling moves every non-floating child.
TEST(VerticalLayoutScroll, ContentTallerThanTheLayoutShowsTheBar)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><VerticalLayout name=\"root\" vscrollbar=\"true\" childpadding=\"10\">"
                       L"<Control name=\"a\" height=\"50\"/><Control name=\"b\" height=\"50\"/>"
                       L"<Control name=\"c\" height=\"50\"/><Control name=\"f\" float=\"true\" pos=\"0,0,10,10\"/>"
                       L"</VerticalLayout></Window>",
                       200, 100));
    auto* root = h.Find<CVerticalLayoutUI>(L"root");
    CScrollBarUI* bar = root->GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(kit::Text(root->GetScrollRange()), "0,70");
    EXPECT_EQ(kit::Text(bar->GetPos()), "184,0,200,100");
    EXPECT_EQ(h.Pos(L"a") + " " + h.Pos(L"b") + " " + h.Pos(L"c"), "0,0,184,50 0,60,184,110 0,120,184,170");
    root->SetScrollPos(SIZE{0, 30});
    EXPECT_EQ(h.Pos(L"a") + " " + h.Pos(L"c") + " " + h.Pos(L"f"), "0,-30,184,20 0,90,184,140 0,0,10,10");
    // A later layout keeps the scrolled origin.
    ASSERT_TRUE(h.win.Layout(200, 101));
    EXPECT_EQ(h.Pos(L"a") + " " + kit::Text(root->GetScrollRange()), "0,-30,184,20 0,69");
    // Room enough: the bar hides and the position returns to 0.
    ASSERT_TRUE(h.win.Layout(200, 300));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(h.Pos(L"a"), "0,0,200,50");
}

// Nested layouts place every child once per layout pass.
TEST(VerticalLayoutScroll, NestedLayoutsPlaceEachChildOncePerPass)
{
    XmlHost h;
    std::wstring skin = L"<Window><VerticalLayout name=\"root\">";
    for (int row = 0; row < 4; ++row) {
        skin += L"<HorizontalLayout><VerticalLayout>";
        for (int i = 0; i < 3; ++i)
            skin += L"<Control name=\"c" + std::to_wstring(row * 3 + i) + L"\"/>";
        skin += L"</VerticalLayout><Control/></HorizontalLayout>";
    }
    skin += L"</VerticalLayout></Window>";
    ASSERT_TRUE(h.Open(skin.c_str(), 300, 200));
    std::vector<int> placed(12, 0);
    for (int i = 0; i < 12; ++i)
        h.Find((L"c" + std::to_wstring(i)).c_str())->SizeDelegates += MakeDelegate([&placed, i](void*) {
            ++placed[static_cast<size_t>(i)];
            return true;
        });
    h.root->SetPos(RECT{0, 0, 300, 200});
    EXPECT_EQ(placed, std::vector<int>(12, 1));
}

namespace {

// A 200 x 200 window: "top" is 100 high with a 4-pixel band at its bottom (96..100), limited to
// 40..150; "rest" takes what is left.
const wchar_t* const kSeparatorSkin =
    L"<Window><VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\"><VerticalLayout name=\"top\" height=\"100\" sepheight=\"4\" minheight=\"40\" "
    L"maxheight=\"150\" %IMM%/><Control name=\"rest\"/></VerticalLayout></Window>";

std::wstring SeparatorSkin(const wchar_t* immediate)
{
    std::wstring skin = kSeparatorSkin;
    skin.replace(skin.find(L"%IMM%"), 5, immediate);
    return skin;
}

} // namespace

TEST(VerticalLayoutSeparator, DeferredDragShowsABandAndResizesOnRelease)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L"").c_str(), 200, 200));
    auto* top = h.Find<CVerticalLayoutUI>(L"top");
    EXPECT_EQ(kit::Text(top->GetSeparatorRect(false)), "0,96,200,100");
    kit::Input in(h.win.Hwnd());
    in.Move(50, 98);
    in.LeftDown(50, 98);
    in.Move(50, 120);  // 22 down from the press
    // Only the translucent band follows; the layout keeps its place until the release.
    EXPECT_EQ(h.Pos(L"top") + " " + kit::Text(top->GetSeparatorRect(true)), "0,0,200,100 0,118,200,122");
    EXPECT_EQ(top->GetFixedHeight(), 122);
    ASSERT_TRUE(h.win.Layout());
    HDC screen = ::GetDC(h.win.Hwnd());
    const COLORREF band = ::GetPixel(screen, 50, 120);
    const COLORREF below = ::GetPixel(screen, 50, 130);
    ::ReleaseDC(h.win.Hwnd(), screen);
    EXPECT_LT(GetRValue(band), 0x80);  // black at alpha 0xAA over the white window
    EXPECT_EQ(below, RGB(255, 255, 255));
    in.LeftUp(50, 120);
    EXPECT_EQ(h.Pos(L"top") + " " + h.Pos(L"rest"), "0,0,200,122 0,122,200,200");
    EXPECT_FALSE(h.Host()->RemovePostPaint(top));  // off the post-paint list again

    // Upwards past the minimum: stopped at 40, further moves that way are ignored.
    in.Move(50, 120);
    in.LeftDown(50, 120);
    in.Move(50, 10);
    EXPECT_EQ(top->GetFixedHeight(), 40);
    in.Move(50, 5);
    EXPECT_EQ(kit::Text(top->GetSeparatorRect(true)), "0,36,200,40");
    in.Move(50, 400);  // and down past the maximum
    EXPECT_EQ(top->GetFixedHeight(), 150);
    in.LeftUp(50, 400);
    EXPECT_EQ(h.Pos(L"top") + " " + h.Pos(L"rest"), "0,0,200,150 0,150,200,200");
}

TEST(VerticalLayoutSeparator, ImmediateDragRelaysTheParentAtEveryMove)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L"sepimm=\"true\"").c_str(), 200, 200));
    kit::Input in(h.win.Hwnd());
    in.Move(50, 98);
    in.LeftDown(50, 98);
    in.Move(50, 128);
    EXPECT_EQ(h.Pos(L"top") + " " + h.Pos(L"rest"), "0,0,200,130 0,130,200,200");
    in.LeftUp(50, 128);
    EXPECT_EQ(h.Find(L"top")->GetFixedHeight(), 130);
}

// A band on the top edge ("sepheight" -4) of a layout docked at the bottom: dragging up grows it.
TEST(VerticalLayoutSeparator, TopBandGrowsUpwards)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><VerticalLayout><Control name=\"rest\"/><VerticalLayout name=\"bottom\" height=\"100\" "
                       L"sepheight=\"-4\"/></VerticalLayout></Window>",
                       200, 200));
    EXPECT_EQ(kit::Text(h.Find<CVerticalLayoutUI>(L"bottom")->GetSeparatorRect(false)), "0,100,200,104");
    kit::Input in(h.win.Hwnd());
    in.Move(50, 102);
    in.LeftDown(50, 102);
    in.Move(50, 80);
    in.LeftUp(50, 80);
    EXPECT_EQ(h.Pos(L"bottom") + " " + h.Pos(L"rest"), "0,78,200,200 0,0,200,78");
}

TEST(VerticalLayoutSeparator, SizingCursorOnlyOverTheBandOfAnEnabledLayout)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L"").c_str(), 200, 200));
    kit::Input in(h.win.Hwnd());
    const auto cursorAt = [&](int x, int y) {
        in.Move(x, y);
        ::SendMessageW(h.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    const HCURSOR sizing = ::LoadCursorW(nullptr, IDC_SIZENS);
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(cursorAt(50, 98), sizing);
    EXPECT_EQ(cursorAt(50, 50), arrow);
    auto* top = h.Find<CVerticalLayoutUI>(L"top");
    top->SetEnabled(false);
    EXPECT_EQ(top->GetBehaviourFlags(), 0u);
    in.LeftDown(50, 98);
    in.Move(50, 130);
    in.LeftUp(50, 130);
    EXPECT_EQ(top->GetFixedHeight(), 100);  // no drag either
}

// A drag whose release never comes (the capture went elsewhere) ends at the next move; a layout
// deleted during a deferred drag is not painted afterwards.
TEST(VerticalLayoutSeparator, LostCaptureAndDeletionEndTheDrag)
{
    kit::GuardedScope guard;
    XmlHost h;
    ASSERT_TRUE(h.Open(SeparatorSkin(L"").c_str(), 200, 200));
    auto* top = h.Find<CVerticalLayoutUI>(L"top");
    kit::Input in(h.win.Hwnd());
    in.Move(50, 98);
    in.LeftDown(50, 98);
    in.Move(50, 110);
    ::ReleaseCapture();
    in.Move(50, 140);
    EXPECT_FALSE(h.Host()->RemovePostPaint(top));
    EXPECT_EQ(top->GetFixedHeight(), 112);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Pos(L"top"), "0,0,200,112");

    in.Move(50, 108);
    in.LeftDown(50, 108);
    in.Move(50, 130);
    auto* root = h.Find<CVerticalLayoutUI>(L"root");
    root->SetDelayedDestroy(false);
    root->Remove(top);
    ASSERT_TRUE(h.win.Layout());  // paints without the deleted layout's overlay
    in.LeftUp(50, 130);
    EXPECT_EQ(h.Pos(L"rest"), "0,0,200,200");
}
