// The tile layout in real windows built from skins. Expected rectangles worked out by hand: cell
// width = inner width / columns; the outer cells of a row give up half the child padding on their
// inner side, the others half on each side; a row is as tall as its tallest child (paddings
// included) and each child is centred in its cell.
#include <gtest/gtest.h>

#include "XmlHost.h"
#include "uitoolkit/controls/TileLayoutUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

const wchar_t* const kTiles =
    L"<Window><TileLayout name=\"tiles\" itemsize=\"100,80\" childpadding=\"10\" vscrollbar=\"true\">"
    L"<Control name=\"c0\" width=\"60\" height=\"30\"/><Control name=\"hidden\" visible=\"false\"/>"
    L"<Control name=\"c1\" width=\"60\" height=\"50\"/><Control name=\"c2\" width=\"60\" height=\"40\"/>"
    L"<Control name=\"c3\" width=\"60\" height=\"20\"/></TileLayout></Window>";

} // namespace

TEST(TileLayoutPlacement, CellsRowsAndCentring)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(kTiles, 350, 200));
    auto* tiles = h.Find<CTileLayoutUI>(L"tiles");
    // 350 / 100 = 3 columns of 116. Row 1 is 50 high; row 2 starts 10 below it.
    EXPECT_EQ(tiles->GetColumns(), 3);
    EXPECT_EQ(h.Pos(L"c0") + " " + h.Pos(L"c1") + " " + h.Pos(L"c2") + " " + h.Pos(L"c3"),
              "25,10,85,40 144,0,204,50 262,5,322,45 25,60,85,80");
    EXPECT_EQ(h.Pos(L"hidden"), "0,0,0,0");
    EXPECT_FALSE(tiles->GetVerticalScrollBar()->IsVisible());  // 80 of content in 200

    // Narrower: the columns follow the width (250 / 100 = 2 of 125).
    ASSERT_TRUE(h.win.Layout(250, 200));
    EXPECT_EQ(tiles->GetColumns(), 2);
    EXPECT_EQ(h.Pos(L"c0") + " " + h.Pos(L"c1") + " " + h.Pos(L"c2") + " " + h.Pos(L"c3"),
              "30,10,90,40 160,0,220,50 30,60,90,100 160,70,220,90");

    // Too narrow for one item: still one column. Four rows of 30, 50, 40, 20 with gaps of 10 need
    // 170 of 60: the bar shows and the range is the difference.
    ASSERT_TRUE(h.win.Layout(90, 60));
    EXPECT_EQ(tiles->GetColumns(), 1);
    EXPECT_TRUE(tiles->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(tiles->GetScrollRange().cy, 170 - 60);
}

TEST(TileLayoutPlacement, ColumnsAttributeAndItemSize)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TileLayout name=\"t\" columns=\"2\"><Control name=\"a\" height=\"20\"/>"
                       L"<Control name=\"b\"/><Control name=\"c\"/></TileLayout></Window>",
                       200, 100));
    auto* t = h.Find<CTileLayoutUI>(L"t");
    // Two cells of 100; row 1 is 20 high (b asks for no height and gets the row's), c opens row 2
    // of height 0.
    EXPECT_EQ(h.Pos(L"a") + " " + h.Pos(L"b") + " " + h.Pos(L"c"), "0,0,100,20 100,0,200,20 0,20,100,20");
    t->SetAttribute(L"columns", L"0");
    t->SetAttribute(L"columns", L"-3");
    EXPECT_EQ(t->GetColumns(), 2);
    t->SetAttribute(L"itemsize", L"60x30");  // any single separator
    EXPECT_EQ(kit::Text(t->GetItemSize()), "60,30");
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(t->GetColumns(), 3);  // 200 / 60
}
