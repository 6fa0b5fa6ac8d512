// The horizontal layout in real windows built from skins: widths shared as the vertical layout
// shares heights (expected rectangles worked out by hand), heights filling the layout, a vertical
// bar that never shows, and an immediate separator drag along the x axis with its cursor.
#include <gtest/gtest.h>

#include "XmlHost.h"
#include "kit/Input.h"
#include "uitoolkit/controls/HorizontalLayoutUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

// Fixed 50, two automatic children (c with paddings 5 + 5 counted as fixed), gaps of 10:
// (300 - 80) / 2 = 110 for b; c, the last, takes 120 left - 10 still counted = 110.
TEST(HorizontalLayoutPlacement, WidthsSharedHeightsFilled)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><HorizontalLayout name=\"root\" childpadding=\"10\" vscrollbar=\"true\">"
                       L"<Control name=\"a\" width=\"50\"/><Control name=\"b\" height=\"30\"/>"
                       L"<Control name=\"c\" padding=\"5,10,5,0\"/></HorizontalLayout></Window>",
                       300, 100));
    EXPECT_EQ(h.Pos(L"a") + " " + h.Pos(L"b") + " " + h.Pos(L"c"), "0,0,50,100 60,0,170,30 185,10,295,100");
    // A horizontal layout reports no content height: its vertical bar stays hidden.
    EXPECT_FALSE(h.Find<CHorizontalLayoutUI>(L"root")->GetVerticalScrollBar()->IsVisible());

    // Three automatic children of 100: 33, 33, 34; minimum and maximum widths apply.
    XmlHost three;
    ASSERT_TRUE(three.Open(L"<Window><HorizontalLayout><Control name=\"a\"/><Control name=\"b\" maxwidth=\"20\"/>"
                           L"<Control name=\"c\" minwidth=\"60\"/></HorizontalLayout></Window>",
                           100, 40));
    EXPECT_EQ(three.Pos(L"a") + " " + three.Pos(L"b") + " " + three.Pos(L"c"), "0,0,33,40 33,0,53,40 53,0,113,40");
}

// "left" is 100 wide with a 5-pixel band at its right edge (95..100), resized at every move.
TEST(HorizontalLayoutSeparator, ImmediateDragAlongXWithItsCursor)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><HorizontalLayout><HorizontalLayout name=\"left\" width=\"100\" sepwidth=\"5\" "
                       L"sepimm=\"true\" minwidth=\"50\"/><Control name=\"rest\"/></HorizontalLayout></Window>",
                       300, 100));
    auto* left = h.Find<CHorizontalLayoutUI>(L"left");
    EXPECT_EQ(kit::Text(left->GetSeparatorRect(false)), "95,0,100,100");
    kit::Input in(h.win.Hwnd());
    in.Move(97, 50);
    ::SendMessageW(h.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
    in.LeftDown(97, 50);
    in.Move(130, 50);
    EXPECT_EQ(h.Pos(L"left") + " " + h.Pos(L"rest"), "0,0,133,100 133,0,300,100");
    in.Move(10, 50);  // stops at the minimum width
    in.LeftUp(10, 50);
    EXPECT_EQ(h.Pos(L"left") + " " + h.Pos(L"rest"), "0,0,50,100 50,0,300,100");
}
