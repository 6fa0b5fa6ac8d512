// List elements and header columns in lists built from skins: the item background's colour
// priority and images read back as pixels, label heights from the list's font, the text
// element's cells from the text callback with shared link slots, container elements clicked
// through their children, and header columns clicked and resized by their separators.
#include <gtest/gtest.h>

#include <set>

#include "ButtonsFixture.h"
#include "ListFixture.h"
#include "kit/Input.h"
#include "kit/Text.h"
#include "uitoolkit/controls/IListTextCallback.h"
#include "uitoolkit/controls/ListContainerElementUI.h"
#include "uitoolkit/controls/ListHeaderItemUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListTextElementUI.h"

using namespace SkinUI;
using namespace buttons_fixture;
using list_fixture::Labels;
using list_fixture::ListHost;

namespace {

// Item colours: base red, hot green, selected blue, disabled grey, on a white list.
const wchar_t* const kItemColours =
    L"header=\"hidden\" bkcolor=\"#FFFFFFFF\" itembkcolor=\"#FFFF0000\" itemhotbkcolor=\"#FF00FF00\" "
    L"itemselectedbkcolor=\"#FF0000FF\" itemdisabledbkcolor=\"#FF808080\" ";

// Records every cell asked for and answers with a fixed text.
struct CellTexts : IListTextCallback {
    std::wstring text = L"x";
    std::vector<std::pair<int, int>> calls;
    const wchar_t* GetItemText(CControlUI*, int index, int column) override
    {
        calls.emplace_back(index, column);
        return text.c_str();
    }
};

// Pixels within `distance` of a colour inside a rectangle of the window.
int Count(ListHost& h, const RECT& rc, uint32_t rgb)
{
    auto shot = kit::CaptureClient(h.win.Hwnd());
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) n += kit::ColorDistance(shot->Pixel(x, y), rgb) < 60 ? 1 : 0;
    return n;
}

} // namespace

TEST(ListItemPaint, BackgroundColourPriorityWithAlternateRows)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(std::wstring(kItemColours) + L"itemaltbk=\"true\"", Labels(5, 20, [](int i) {
                               return std::wstring(i == 4 ? L"enabled=\"false\"" : L"");
                           }).c_str()));
    ASSERT_TRUE(h.list->SelectItem(2));
    kit::Input in(h.win.Hwnd());
    const auto rows = [&] {
        h.win.Layout();
        std::vector<uint32_t> out;
        for (int i = 0; i < 5; ++i) out.push_back(h.Pixel(150, 20 * i + 10));
        return out;
    };
    // Even rows red, odd rows none, selected blue, disabled grey; hot replaces even an odd row's
    // missing colour, and selection beats hot.
    in.Move(150, 70);
    EXPECT_EQ(rows(), (std::vector<uint32_t>{kRed, kWhite, kBlue, kGreen, kGrey}));
    in.Move(150, 50);
    EXPECT_EQ(rows(), (std::vector<uint32_t>{kRed, kWhite, kBlue, kWhite, kGrey}));
    in.Move(150, 90);  // a disabled item does not get hot
    EXPECT_EQ(rows(), (std::vector<uint32_t>{kRed, kWhite, kBlue, kWhite, kGrey}));
    // Disabling the hot item drops its hot state.
    in.Move(150, 10);
    EXPECT_EQ(h.Pixel(150, 10), kGreen);
    h.Item(0)->SetEnabled(false);
    h.Item(0)->SetEnabled(true);
    EXPECT_EQ(rows()[0], kRed);
}

TEST(ListItemPaint, ContainerElementsHonourTheEnableFlags)
{
    ListHost h;
    std::wstring items;
    for (int i = 0; i < 3; ++i) items += L"<ListContainerElement name=\"c" + std::to_wstring(i) + L"\" height=\"20\"/>";
    ASSERT_TRUE(h.OpenList(std::wstring(kItemColours) + L"enablehotbkcolor=\"false\" enableselectedbkcolor=\"false\"",
                           items));
    ASSERT_TRUE(h.list->SelectItem(1));
    kit::Input in(h.win.Hwnd());
    in.Move(150, 10);
    h.win.Layout();
    EXPECT_EQ(h.Pixel(150, 10), kRed);
    EXPECT_EQ(h.Pixel(150, 30), kRed);
    // Label elements ignore those flags.
    ListHost labels;
    ASSERT_TRUE(labels.OpenList(std::wstring(kItemColours) + L"enablehotbkcolor=\"false\" enableselectedbkcolor=\"false\"",
                                Labels(2)));
    labels.list->SelectItem(1);
    labels.win.Layout();
    EXPECT_EQ(labels.Pixel(150, 30), kBlue);
}

TEST(ListItemPaint, LinesImagesAndStateTextColours)
{
    SkinFolder skins;
    ListHost h;
    ASSERT_TRUE(h.OpenList(std::wstring(kItemColours) + L"itemlinecolor=\"#FF00FFFF\" itemselectedimage=\"yellow.png\" "
                                                        L"itemdisabledtextcolor=\"#FF00FF00\" itemtextcolor=\"#FF0000FF\"",
                           Labels(3, 20, [](int i) { return std::wstring(i == 2 ? L"enabled=\"false\"" : L""); })));
    ASSERT_TRUE(h.list->SelectItem(1));
    h.win.Layout();
    // A line along each item's bottom, except where the selected image covers the item.
    EXPECT_EQ(h.Pixel(150, 19), kCyan);
    EXPECT_EQ(h.Pixel(150, 39), kYellow);
    EXPECT_EQ(h.Pixel(150, 30), kYellow);
    EXPECT_EQ(h.Pixel(150, 59), kCyan);
    // Text in the colour of the state: blue on item 0, green on the disabled item 2.
    EXPECT_GT(Count(h, RECT{0, 0, 100, 19}, 0x0000FF), 5);
    EXPECT_GT(Count(h, RECT{0, 40, 100, 59}, kGreen), 5);
    EXPECT_EQ(Count(h, RECT{0, 40, 100, 59}, 0x0000FF), 0);
}

TEST(ListItemSize, LabelHeightsAndWidthsComeFromTheListFont)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\" itemfont=\"0\" itemtextpadding=\"2,3,4,5\"",
                           L"<ListLabelElement name=\"a\" text=\"W\"/><ListLabelElement name=\"b\" text=\"WWWW\"/>"
                           L"<ListLabelElement name=\"c\" text=\"W\" height=\"11\"/>"));
    const int big = h.Host()->GetFontEntry(0)->metrics.tmHeight;
    ASSERT_GT(big, h.Host()->GetDefaultFontEntry()->metrics.tmHeight);
    EXPECT_EQ(h.Pos(L"a"), "0,0,200," + std::to_string(big + 16));
    EXPECT_EQ(h.Find(L"c")->GetPos().bottom - h.Find(L"c")->GetPos().top, 11);
    const SIZE a = h.Find(L"a")->GetDesiredSize(SIZE{200, 100});
    const SIZE b = h.Find(L"b")->GetDesiredSize(SIZE{200, 100});
    EXPECT_GT(a.cx, 6);
    EXPECT_GT(b.cx, a.cx + 20);
    // Without owner an element wants nothing.
    CListLabelElementUI loose;
    loose.SetText(L"W");
    EXPECT_EQ(kit::Text(loose.GetDesiredSize(SIZE{100, 100})), "0,0");
}

TEST(ListTextElements, CellsFromTheCallbackWithSharedLinkSlots)
{
    ListHost h;
    const std::wstring header = L"<ListHeader><ListHeaderItem width=\"60\"/><ListHeaderItem width=\"60\"/>"
                                L"<ListHeaderItem width=\"60\"/></ListHeader>";
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\" itemshowhtml=\"true\"",
                           header + L"<ListTextElement name=\"t0\"/><ListTextElement name=\"t1\"/>", 200, 100));
    CellTexts cells;
    h.list->SetTextCallback(&cells);
    EXPECT_EQ(h.list->GetTextCallback(), &cells);
    h.list->Invalidate();
    h.win.Layout();
    const std::set<std::pair<int, int>> asked(cells.calls.begin(), cells.calls.end());
    EXPECT_EQ(asked, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
    EXPECT_EQ(h.Pos(L"t0"), "0,0,200," + std::to_string(h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 8));

    // Three links in each of three cells: the item keeps the first eight.
    auto* t0 = h.Find<CListTextElementUI>(L"t0");
    cells.text = L"{a p}a{/a} {a q}b{/a} {a r}c{/a}";
    h.list->Invalidate();
    h.win.Layout();
    ASSERT_EQ(t0->GetLinkCount(), 8);
    EXPECT_EQ(std::wstring(t0->GetLinkText(6)), L"p");
    EXPECT_EQ(t0->GetLinkText(8), nullptr);
    EXPECT_EQ(t0->GetBehaviourFlags(), 6u);
    const RECT* link = t0->GetLinkRect(4);  // the second link of the second cell
    ASSERT_NE(link, nullptr);
    EXPECT_GE(link->left, 60);
    kit::Input in(h.win.Hwnd());
    in.Click(link->left + 1, link->top + 1);
    const auto links = h.rec.OfType(L"link");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].sender, L"t0");
    EXPECT_EQ(links[0].wParam, 4u);
    EXPECT_EQ(h.rec.Count(L"itemclick"), 1);

    // Fewer links later: the slots past them are cleared.
    cells.text = L"plain";
    h.list->Invalidate();
    h.win.Layout();
    EXPECT_EQ(t0->GetLinkCount(), 0);
    EXPECT_EQ(t0->GetBehaviourFlags(), 4u);
}

TEST(ListContainerElements, ClicksOnChildrenAreClicksOnTheItem)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"",
                           L"<ListContainerElement name=\"c0\" height=\"30\"><Label name=\"lab\" text=\"x\"/>"
                           L"</ListContainerElement><ListContainerElement name=\"c1\" height=\"30\" selected=\"1\"/>"));
    auto* c0 = h.Find<CListContainerElementUI>(L"c0");
    EXPECT_EQ(std::wstring(c0->GetClass()), L"ListContainerElementUI");
    EXPECT_EQ(c0->GetInterface(L"ListItem"), static_cast<IListItemUI*>(c0));
    EXPECT_EQ(c0->GetInterface(L"IContainer"), static_cast<IContainerUI*>(c0));
    EXPECT_EQ(h.list->GetCurSel(), 1);  // "selected" with any value selects
    kit::Input in(h.win.Hwnd());
    in.DoubleClick(10, 10);
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"itemclick", L"itemselect", L"itemactivate"}),
                                  {L"itemclick:c0", L"itemselect:list", L"itemactivate:c0"}));
    EXPECT_EQ(h.list->GetCurSel(), 0);
}

TEST(ListHeaderItems, ClicksAndSeparatorDragsWithTheMinimumWidth)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"", L"<ListHeader><ListHeaderItem name=\"c0\" width=\"100\" text=\"A\"/>"
                                L"<ListHeaderItem name=\"c1\" width=\"50\" sepwidth=\"-4\"/>"
                                L"<ListHeaderItem name=\"c2\" width=\"30\" dragable=\"false\"/></ListHeader>",
                           300, 100));
    auto* c0 = h.Find<CListHeaderItemUI>(L"c0");
    EXPECT_EQ(c0->GetMinWidth(), 16);
    EXPECT_EQ(kit::Text(c0->GetSeparatorRect()), "96,0,100," + std::to_string(c0->GetPos().bottom));
    EXPECT_EQ(c0->GetBehaviourFlags(), 2u);
    const ListInfo* info = h.list->GetListInfo();
    kit::Input in(h.win.Hwnd());
    const auto drag = [&](int from, int to) {
        in.Move(from, 5);
        in.LeftDown(from, 5);
        in.Move(to, 5, MK_LBUTTON);
        in.LeftUp(to, 5);
        h.win.Layout();
    };
    // Outside the separator a press is a click; on it a drag, never narrower than 16.
    in.Click(95, 5);
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"headerclick"}), {L"headerclick:c0"}));
    drag(97, 7);
    EXPECT_EQ(h.Pos(L"c0").substr(0, 6), "0,0,10");
    drag(97, 117);
    EXPECT_EQ(c0->GetFixedWidth(), 120);
    EXPECT_EQ(info->columns[0].right, 120);
    EXPECT_EQ(info->columns[1].left, 120);
    // A separator on the left edge: dragging it left widens the column.
    drag(121, 111);
    EXPECT_EQ(h.Find(L"c1")->GetFixedWidth(), 60);
    EXPECT_EQ(info->columns[1].right, 180);
    // No drag without "dragable": the separator does nothing, the rest still clicks.
    drag(208, 230);
    EXPECT_EQ(h.Find(L"c2")->GetFixedWidth(), 30);
    EXPECT_EQ(h.rec.Count(L"headerclick"), 1);
    in.Click(190, 5);
    EXPECT_EQ(h.rec.Count(L"headerclick"), 2);
    EXPECT_EQ(h.rec.Count(L"itemclick"), 0);

    // The sizing cursor over a separator (c0 is 120 wide now).
    in.Move(118, 5);
    ::SendMessageW(h.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));

    // Header item attributes.
    CListHeaderItemUI item;
    item.SetAttribute(L"align", L"left");
    EXPECT_EQ(item.GetTextStyle(), UINT{DT_VCENTER | DT_SINGLELINE});
    item.SetAttribute(L"endellipsis", L"true");
    item.SetAttribute(L"textcolor", L"#FF010203");
    EXPECT_EQ(item.GetTextStyle(), UINT{DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS});
    EXPECT_EQ(item.GetTextColor(), 0xFF010203u);
    item.SetAttribute(L"sepwidth", L"0");
    EXPECT_EQ(item.GetBehaviourFlags(), 0u);
}
