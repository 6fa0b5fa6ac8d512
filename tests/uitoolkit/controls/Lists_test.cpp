// Lists built from skins in real windows: selection and its notifications, keys and the wheel,
// scrolling items into view, item operations keeping the selection, header columns (placement,
// clicks, separator drags), the items' colours and images as pixels, text elements' cells from
// the text callback with shared link slots, damaged list skins, and listeners that empty the
// list or close the window while it selects.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ListFixture.h"
#include "kit/Fuzz.h"
#include "kit/GuardedHeap.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/IListTextCallback.h"
#include "uitoolkit/controls/ListBodyUI.h"
#include "uitoolkit/controls/ListContainerElementUI.h"
#include "uitoolkit/controls/ListHeaderItemUI.h"
#include "uitoolkit/controls/ListHeaderUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListTextElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/core/DialogBuilder.h"

using namespace SkinUI;
using namespace kit;
using namespace list_fixture;

namespace {

// A list as the window's root, with two fonts (the default, and a larger one at index 0).
struct ListHost : XmlHost {
    CListUI* list = nullptr;

    bool OpenList(const std::wstring& attributes, const std::wstring& content, int width = 200, int height = 100,
                  IDialogBuilderCallback* callback = nullptr)
    {
        list = Open(L"<Window><Font name=\"Arial\" size=\"24\"/><Font name=\"Arial\" size=\"12\" default=\"true\"/>"
                    L"<List name=\"list\" " + attributes + L">" + content + L"</List></Window>",
                    width, height, callback)
                   ? Find<CListUI>(L"list")
                   : nullptr;
        return list != nullptr;
    }
    CControlUI* Item(int i) const { return list->GetItemAt(i); }
};

// A label element that can be expanded, for the expanded index's bookkeeping.
struct ExpandingItem : CListLabelElementUI {
    bool IsExpanded() const override { return expanded; }
    bool Expand(bool expand) override
    {
        expanded = expand;
        return true;
    }
    bool expanded = false;
};

// Item colours: base red, hot green, selected blue, disabled grey, on a white list.
const wchar_t* const kItemColours =
    L"header=\"hidden\" bkcolor=\"#FFFFFFFF\" itembkcolor=\"#FFFF0000\" itemhotbkcolor=\"#FF00FF00\" "
    L"itemselectedbkcolor=\"#FF0000FF\" itemdisabledbkcolor=\"#FF808080\" ";

} // namespace

TEST(ListSelection, SelectItemRulesAndNotifications)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(4, 20, [](int i) {
                               return i == 2 ? L"enabled=\"false\"" : i == 3 ? L"visible=\"false\"" : L"";
                           })));
    CListUI* list = h.list;
    EXPECT_EQ(list->GetInterface(L"IList"), static_cast<IListUI*>(list));
    EXPECT_EQ(list->GetInterface(L"IListOwner"), static_cast<IListOwnerUI*>(list));
    // Selecting, selecting again, refused items (which clear the selection), and -1.
    const int steps[][4] = {{1, true, 1, -1}, {1, true, 1, -1}, {0, true, 0, 1}, {2, false, -1, 0},
                            {0, true, 0, -1}, {3, false, -1, 0}, {7, false, -1, -1}, {-1, true, -1, -1}};
    for (const auto& [index, result, cur, prev] : steps) {
        EXPECT_EQ(list->SelectItem(index), result != 0) << index;
        EXPECT_EQ(list->GetCurSel(), cur) << index;
        EXPECT_EQ(list->GetPrevSel(), prev) << index;
    }
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"1<-1", L"0<1", L"0<-1"}));
    EXPECT_FALSE(AsItem(h.Item(0))->IsSelected());  // deselected by the refused selection of item 3

    // An item's own Select goes through the list; hiding the selected item clears it silently.
    h.rec.Clear();
    EXPECT_TRUE(AsItem(h.Item(0))->Select(true));
    EXPECT_EQ(list->GetCurSel(), 0);
    h.Item(0)->SetVisible(false);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_FALSE(AsItem(h.Item(0))->IsSelected());
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"0<-1"}));
    EXPECT_FALSE(AsItem(h.Item(2))->Select(true));  // a disabled item refuses its own selection
}

TEST(ListSelection, ItemOperationsKeepSelectionAndExpansionOnTheirItems)
{
    TagTable tags{{L"Expanding", &Make<ExpandingItem>}};
    std::wstring items;
    for (int i = 0; i < 5; ++i)
        items += L"<Expanding name=\"i" + std::to_wstring(i) + L"\" text=\"e\" height=\"10\"/>";
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", items, 200, 100, &tags));
    CListUI* list = h.list;
    const auto names = [&] {
        std::wstring out;
        for (int i = 0; i < list->GetCount(); ++i) {
            out += h.Item(i)->GetName().GetData();
            EXPECT_EQ(AsItem(h.Item(i))->GetIndex(), i);  // every item knows its place
        }
        return out;
    };
    EXPECT_FALSE(list->Add(nullptr) || list->AddAt(nullptr, 0) || list->RemoveAt(5));
    ASSERT_TRUE(list->SelectItem(1));
    ASSERT_TRUE(list->ExpandItem(3));
    // Moving the selected item: the selection follows it.
    EXPECT_TRUE(list->SetItemIndex(h.Find(L"i1"), 4));
    EXPECT_EQ(names(), L"i0i2i3i4i1");
    EXPECT_EQ(std::to_string(list->GetCurSel()) + " " + std::to_string(list->GetExpandedItem()), "4 2");
    // Inserting before both moves them up.
    auto* added = new ExpandingItem();
    added->SetName(L"n");
    EXPECT_TRUE(list->AddAt(added, 0));
    EXPECT_EQ(names(), L"ni0i2i3i4i1");
    EXPECT_EQ(std::to_string(list->GetCurSel()) + " " + std::to_string(list->GetExpandedItem()), "5 3");
    EXPECT_EQ(static_cast<IListItemUI*>(added)->GetOwner(), static_cast<IListOwnerUI*>(list));
    // Removing before them moves them down; removing the expanded item clears it.
    EXPECT_TRUE(list->Remove(h.Find(L"i0")));
    EXPECT_EQ(std::to_string(list->GetCurSel()) + " " + std::to_string(list->GetExpandedItem()), "4 2");
    EXPECT_TRUE(list->RemoveAt(2));
    EXPECT_EQ(list->GetExpandedItem(), -1);
    EXPECT_EQ(names(), L"ni2i4i1");
    // Removing the selected item selects the nearest one at or before it, from "none".
    h.rec.Clear();
    EXPECT_TRUE(list->RemoveAt(3));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->GetPrevSel(), -1);
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"2<-1"}));
    // Multi-expanding remembers the last one; without it the previous one collapses.
    EXPECT_TRUE(list->ExpandItem(0) && list->ExpandItem(1));
    EXPECT_FALSE(static_cast<ExpandingItem*>(h.Item(0))->expanded);
    list->SetAttribute(L"multiexpanding", L"true");
    EXPECT_TRUE(list->ExpandItem(0));
    EXPECT_TRUE(static_cast<ExpandingItem*>(h.Item(1))->expanded);
    EXPECT_EQ(list->GetExpandedItem(), 0);
    EXPECT_FALSE(list->ExpandItem(9));
    list->RemoveAll();
    EXPECT_EQ(std::to_string(list->GetCount()) + " " + std::to_string(list->GetCurSel()) + " " +
                  std::to_string(list->GetExpandedItem()),
              "0 -1 -1");
}

TEST(ListInput, KeysSkipDisabledAndHiddenItemsAndKeepTheSelectionAtTheEnds)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(6, 15, [](int i) {
                               return i == 1 || i == 5 ? L"enabled=\"false\"" : i == 3 ? L"visible=\"false\"" : L"";
                           })));
    EXPECT_EQ(h.list->GetBehaviourFlags(), 1u);
    h.list->SetFocus();
    const UINT steps[][2] = {{VK_DOWN, 0}, {VK_DOWN, 2}, {VK_DOWN, 4}, {VK_DOWN, 4}, {VK_HOME, 0},
                             {VK_UP, 0},   {VK_END, 4},  {VK_UP, 2},   {VK_UP, 0}};
    for (const auto& [key, sel] : steps) {
        h.In().Key(key);
        EXPECT_EQ(h.list->GetCurSel(), static_cast<int>(sel)) << key;
        // The selection takes the focus; keys reach the list through the focused item.
        EXPECT_EQ(h.Host()->GetFocus(), h.Item(static_cast<int>(sel)));
    }
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"0<-1", L"2<0", L"4<2", L"0<4", L"4<0", L"2<4", L"0<2"}));
    h.rec.Clear();
    h.In().Key(VK_RETURN);
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"itemactivate"}), {L"itemactivate:i0"}));
    // Return on the list itself activates the selected item too.
    h.list->SetFocus();
    h.In().Key(VK_RETURN);
    EXPECT_EQ(h.rec.Count(L"itemactivate"), 2);
}

TEST(ListInput, ClickRightClickAndDoubleClickNotifyInOrder)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(3, 20, [](int i) { return i == 2 ? L"enabled=\"false\"" : L""; })));
    Input in = h.In();
    in.Click(10, 5);
    in.RightDown(10, 25);
    in.RightUp(10, 25);
    in.DoubleClick(10, 25);
    in.Click(10, 45);        // disabled: only the focus leaves
    in.DoubleClick(10, 45);  // nothing
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"setfocus", L"killfocus", L"itemclick", L"itemselect", L"itemactivate"}),
                             {L"killfocus:list", L"setfocus:i0", L"itemclick:i0", L"itemselect:list", L"killfocus:i0",
                              L"setfocus:i1", L"itemclick:i1", L"itemselect:list", L"itemclick:i1",
                              L"itemactivate:i1", L"killfocus:i1"}));
    EXPECT_EQ(h.list->GetCurSel(), 1);
}

TEST(ListScrolling, EnsureVisibleWheelAndTheBodysBars)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\" vscrollbar=\"true\" vscrollbarstyle=\"width=&quot;10&quot;\"", Labels(10)));
    CListUI* list = h.list;
    CListBodyUI* body = list->GetList();
    // The bars are the body's; the list keeps none of its own.
    ASSERT_NE(body->GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(list->GetVerticalScrollBar(), body->GetVerticalScrollBar());
    EXPECT_TRUE(body->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(body->GetVerticalScrollBar()->GetFixedWidth(), 10);
    EXPECT_EQ(Text(list->GetScrollRange()) + " " + h.Pos(L"i0"), "0,100 0,0,190,20");
    // Selecting below the view scrolls the item's bottom to the body's bottom, above it the
    // item's top to the top; a visible item scrolls nothing.
    const int steps[][2] = {{7, 60}, {5, 60}, {1, 20}, {9, 100}, {0, 0}};
    for (const auto& [index, pos] : steps) {
        ASSERT_TRUE(list->SelectItem(index));
        EXPECT_EQ(list->GetScrollPos().cy, pos) << index;
    }
    EXPECT_EQ(h.Pos(L"i1"), "0,20,190,40");
    // The wheel scrolls by a line (font height + 8), or with "scrollselect" moves the selection.
    Input in = h.In();
    in.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(list->GetScrollPos().cy, h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 8);
    EXPECT_EQ(list->GetCurSel(), 0);
    list->SetAttribute(L"scrollselect", L"true");
    in.Wheel(50, 50, -WHEEL_DELTA);
    in.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(list->GetCurSel(), 2);
    in.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(list->GetCurSel(), 1);
    list->SelectItem(9);
    in.Wheel(50, 50, -WHEEL_DELTA);  // the last item: the wheel keeps it selected
    EXPECT_EQ(list->GetCurSel(), 9);
    // Code scrolling goes to the body.
    list->SetScrollPos(SIZE{0, 30});
    EXPECT_EQ(body->GetScrollPos().cy, 30);
    list->Scroll(0, -10);
    EXPECT_EQ(body->GetScrollPos().cy, 20);
}

TEST(ListHeader, HeightsColumnsAndSidewaysScrolling)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"hscrollbar=\"true\" hscrollbarstyle=\"height=&quot;10&quot;\"",
                           L"<ListHeader name=\"head\"><ListHeaderItem name=\"c0\" width=\"100\" text=\"A\"/>"
                           L"<ListHeaderItem name=\"c1\" width=\"50\" text=\"B\"/></ListHeader>"
                           L"<ListTextElement name=\"t0\"/><ListTextElement name=\"t1\"/>",
                           120, 100));
    CListUI* list = h.list;
    CListHeaderUI* header = list->GetHeader();
    ASSERT_EQ(header, h.Find(L"head"));  // the skin's header replaced the empty one
    EXPECT_EQ(list->CVerticalLayoutUI::GetCount(), 2);
    EXPECT_EQ(list->GetItemIndex(header), 0);
    EXPECT_EQ(list->GetItemIndex(h.Find(L"c1")), 1);
    EXPECT_EQ(list->GetItemIndex(h.Find(L"t1")), 1);
    // The header is as tall as its columns want (default font height + 14).
    const int fontHeight = h.Host()->GetDefaultFontEntry()->metrics.tmHeight;
    const std::string headerHeight = std::to_string(fontHeight + 14);
    EXPECT_EQ(h.Pos(L"head"), "0,0,120," + headerHeight);
    ListInfo* info = list->GetListInfo();
    ASSERT_EQ(info->columnCount, 2);
    EXPECT_EQ(Text(info->columns[0]) + " " + Text(info->columns[1]),
              "0,0,100," + headerHeight + " 100,0,150," + headerHeight);
    // 150 of columns in 120: the body's horizontal bar scrolls 30; items are the columns' width.
    CScrollBarUI* hbar = list->GetHorizontalScrollBar();
    ASSERT_NE(hbar, nullptr);
    EXPECT_TRUE(hbar->IsVisible());
    EXPECT_EQ(hbar->GetScrollRange(), 30);
    EXPECT_EQ(h.Pos(L"t0"), "0," + headerHeight + ",150," + std::to_string(2 * fontHeight + 22));
    // Scrolling sideways moves the items and the columns.
    list->SetScrollPos(SIZE{10, 0});
    EXPECT_EQ(h.Find(L"t0")->GetPos().left, -10);
    EXPECT_EQ(std::to_string(info->columns[0].left) + " " + std::to_string(info->columns[1].right), "-10 140");
    list->LineRight();
    EXPECT_EQ(info->columns[0].left, -18);
    list->HomeLeft();
    EXPECT_EQ(info->columns[1].left, 100);
    // A hidden header takes no room but still lays its columns out.
    list->SetAttribute(L"header", L"hidden");
    ASSERT_TRUE(h.win.Layout(300, 100));
    EXPECT_FALSE(header->IsVisible() || h.Find(L"c0")->IsVisible() || hbar->IsVisible());
    EXPECT_EQ(h.Find(L"t0")->GetPos().top, 0);
    EXPECT_EQ(Text(info->columns[1]), "100,0,150,0");
    // Columns come and go through the list; removing the header leaves the list without one.
    auto* extra = new CListHeaderItemUI();
    EXPECT_TRUE(list->Add(extra));
    EXPECT_EQ(info->columnCount, 3);
    EXPECT_TRUE(list->Remove(extra));
    EXPECT_EQ(info->columnCount, 2);
    EXPECT_TRUE(list->Remove(header));
    EXPECT_EQ(list->GetHeader(), nullptr);
    EXPECT_EQ(info->columnCount, 0);
    EXPECT_FALSE(list->Add(new CListHeaderItemUI()));
    ASSERT_TRUE(h.win.Layout(200, 100));
    EXPECT_EQ(h.Find(L"t0")->GetPos().top, 0);
}

TEST(ListHeader, ColumnClicksAndSeparatorDragsWithTheMinimumWidth)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"", L"<ListHeader><ListHeaderItem name=\"c0\" width=\"100\" text=\"A\"/>"
                                L"<ListHeaderItem name=\"c1\" width=\"50\" sepwidth=\"-4\"/>"
                                L"<ListHeaderItem name=\"c2\" width=\"30\" dragable=\"false\"/></ListHeader>",
                           300, 100));
    auto* c0 = h.Find<CListHeaderItemUI>(L"c0");
    EXPECT_EQ(c0->GetMinWidth(), 16);
    EXPECT_EQ(Text(c0->GetSeparatorRect()), "96,0,100," + std::to_string(c0->GetPos().bottom));
    EXPECT_EQ(c0->GetBehaviourFlags(), 2u);
    const ListInfo* info = h.list->GetListInfo();
    Input in = h.In();
    const auto drag = [&](int from, int to) {
        in.Move(from, 5);
        in.LeftDown(from, 5);
        in.Move(to, 5, MK_LBUTTON);
        in.LeftUp(to, 5);
        h.win.Layout();
    };
    // Outside the separator a press is a click; on it a drag, never narrower than 16.
    in.Click(95, 5);
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"headerclick"}), {L"headerclick:c0"}));
    drag(97, 7);
    EXPECT_EQ(h.Pos(L"c0").substr(0, 6), "0,0,10");
    drag(97, 117);
    EXPECT_EQ(c0->GetFixedWidth(), 120);
    EXPECT_EQ(std::to_string(info->columns[0].right) + " " + std::to_string(info->columns[1].left), "120 120");
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
    EXPECT_EQ(h.CursorAt(118, 5), ::LoadCursorW(nullptr, IDC_SIZEWE));  // c0 is 120 wide now
    // A column's alignment keeps it on one line; without a separator it takes no cursor.
    CListHeaderItemUI item;
    item.SetAttribute(L"align", L"left");
    item.SetAttribute(L"endellipsis", L"true");
    EXPECT_EQ(item.GetTextStyle(), UINT{DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS});
    item.SetAttribute(L"sepwidth", L"0");
    EXPECT_EQ(item.GetBehaviourFlags(), 0u);
}

// Attribute words with their own rules (the others show in the painting tests).
TEST(ListAttributes, AlignmentEllipsisAndFlagWords)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        bool (*check)(const ListInfo&);
    } cases[] = {
        {L"itemalign", L"center", [](const ListInfo& i) { return i.textStyle == 5u; }},
        {L"itemalign", L"left right", [](const ListInfo& i) { return i.textStyle == 6u; }},
        {L"itemalign", L"right left", [](const ListInfo& i) { return i.textStyle == 6u; }},
        {L"itemendellipsis", L"true", [](const ListInfo& i) { return i.textStyle == (DT_VCENTER | DT_END_ELLIPSIS); }},
        {L"itemaltbk", L"TRUE", [](const ListInfo& i) { return !i.alternateBk; }},
        {L"enablehotbkcolor", L"0", [](const ListInfo& i) { return i.enableHotBkColor; }},
        {L"enablehotbkcolor", L"FALSE", [](const ListInfo& i) { return i.enableHotBkColor; }},
        {L"enablehotbkcolor", L"false", [](const ListInfo& i) { return !i.enableHotBkColor; }},
    };
    for (const auto& c : cases) {
        CListUI list;
        list.SetAttribute(c.name, c.value);
        EXPECT_TRUE(c.check(*list.GetListInfo())) << std::wstring(c.name).c_str() << " " << std::wstring(c.value).c_str();
    }
    CListUI list;
    list.SetAttribute(L"childpadding", L"3");
    EXPECT_EQ(list.GetList()->GetChildPadding(), 3);  // the body's
}

TEST(ListAttributes, DamagedListSkinsBuildOrFailCleanly)
{
    const std::wstring sample =
        L"<Window><List name=\"list\" header=\"hidden\" itemtextpadding=\"1,2,3,4\" itemalign=\"center\" "
        L"itembkcolor=\"#FFFF0000\" vscrollbar=\"true\" hscrollbarstyle=\"height=&quot;8&quot;\">"
        L"<ListHeader><ListHeaderItem width=\"40\" sepwidth=\"-3\" align=\"right\"/></ListHeader>"
        L"<ListLabelElement text=\"a\" selected=\"x\"/><ListTextElement/><ListContainerElement>"
        L"<Label text=\"b\"/></ListContainerElement></List></Window>";
    HostWindow win;
    ASSERT_TRUE(win.Open(nullptr, 100, 80));
    FuzzRun fuzz;
    for (int i = 0; i < 300; ++i) {
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(fuzz.Mutate(sample).c_str(), nullptr, nullptr, win.Host()));
        if (root == nullptr)
            continue;
        root->SetManager(win.Host(), nullptr, true);
        root->SetPos(RECT{0, 0, 100, 80});
        if (auto* list = static_cast<CListUI*>(root->GetInterface(L"List"))) {
            list->SelectItem(0);
            list->SelectItem(2);
            list->RemoveAt(0);
        }
    }
}

// ---- list elements -----------------------------------------------------------------------------

TEST(ListItemPaint, BackgroundColourPriorityWithAlternateRowsAndTheEnableFlags)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(std::wstring(kItemColours) + L"itemaltbk=\"true\"",
                           Labels(5, 20, [](int i) { return i == 4 ? L"enabled=\"false\"" : L""; })));
    ASSERT_TRUE(h.list->SelectItem(2));
    const auto rows = [&] {
        h.win.Layout();
        return h.Pixels({{150, 10}, {150, 30}, {150, 50}, {150, 70}, {150, 90}});
    };
    // Even rows red, odd rows none, selected blue, disabled grey; hot replaces even an odd row's
    // missing colour, and selection beats hot.
    h.In().Move(150, 70);
    EXPECT_EQ(rows(), Colors({kRed, kWhite, kBlue, kGreen, kGrey}));
    h.In().Move(150, 50);
    EXPECT_EQ(rows(), Colors({kRed, kWhite, kBlue, kWhite, kGrey}));
    h.In().Move(150, 90);  // a disabled item does not get hot
    EXPECT_EQ(rows(), Colors({kRed, kWhite, kBlue, kWhite, kGrey}));
    // Disabling the hot item drops its hot state.
    h.In().Move(150, 10);
    EXPECT_EQ(h.Pixel(150, 10), kGreen);
    h.Item(0)->SetEnabled(false);
    h.Item(0)->SetEnabled(true);
    EXPECT_EQ(rows(), Colors({kRed, kWhite, kBlue, kWhite, kGrey}));
    h.win.Destroy();

    // Container elements honour "enablehotbkcolor" and "enableselectedbkcolor"; label elements
    // ignore them.
    for (const bool containers : {true, false}) {
        ListHost flags;
        ASSERT_TRUE(flags.OpenList(std::wstring(kItemColours) + L"enablehotbkcolor=\"false\" enableselectedbkcolor=\"false\"",
                                   containers ? L"<ListContainerElement height=\"20\"/><ListContainerElement height=\"20\"/>"
                                              : Labels(2)));
        ASSERT_TRUE(flags.list->SelectItem(1));
        flags.In().Move(150, 10);
        flags.win.Layout();
        EXPECT_EQ(flags.Pixels({{150, 10}, {150, 30}}), Colors({containers ? kRed : kGreen, containers ? kRed : kBlue}));
    }
}

TEST(ListItemPaint, LinesImagesAndStateTextColours)
{
    SolidImageDir images;
    ListHost h;
    ASSERT_TRUE(h.OpenList(std::wstring(kItemColours) + L"itemlinecolor=\"#FF00FFFF\" itemselectedimage=\"yellow.png\" "
                                                        L"itemdisabledtextcolor=\"#FF00FF00\" itemtextcolor=\"#FF0000FF\"",
                           Labels(3, 20, [](int i) { return i == 2 ? L"enabled=\"false\"" : L""; })));
    ASSERT_TRUE(h.list->SelectItem(1));
    h.win.Layout();
    // A line along each item's bottom, except where the selected image covers the item.
    EXPECT_EQ(h.Pixels({{150, 19}, {150, 39}, {150, 30}, {150, 59}}), Colors({kCyan, kYellow, kYellow, kCyan}));
    // Text in the colour of the state: blue on item 0, green on the disabled item 2.
    EXPECT_GT(h.CountNear(RECT{0, 0, 100, 19}, kBlue), 5);
    EXPECT_GT(h.CountNear(RECT{0, 40, 100, 59}, kGreen), 5);
    EXPECT_EQ(h.CountNear(RECT{0, 40, 100, 59}, kBlue), 0);
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
    EXPECT_TRUE(a.cx > 6 && b.cx > a.cx + 20) << a.cx << " " << b.cx;
    // Without owner an element wants nothing.
    CListLabelElementUI loose;
    loose.SetText(L"W");
    EXPECT_EQ(Text(loose.GetDesiredSize(SIZE{100, 100})), "0,0");
}

namespace {

// Records every cell asked for and answers with a fixed text.
struct CellTexts : IListTextCallback {
    std::wstring text = L"x";
    std::set<std::pair<int, int>> asked;
    const wchar_t* GetItemText(CControlUI*, int index, int column) override
    {
        asked.emplace(index, column);
        return text.c_str();
    }
};

} // namespace

TEST(ListTextElements, CellsFromTheCallbackWithSharedLinkSlots)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\" itemshowhtml=\"true\"",
                           L"<ListHeader><ListHeaderItem width=\"60\"/><ListHeaderItem width=\"60\"/>"
                           L"<ListHeaderItem width=\"60\"/></ListHeader><ListTextElement name=\"t0\"/><ListTextElement name=\"t1\"/>"));
    CellTexts cells;
    h.list->SetTextCallback(&cells);
    EXPECT_EQ(h.list->GetTextCallback(), &cells);
    const auto repaint = [&](const wchar_t* text) {
        cells.text = text;
        h.list->Invalidate();
        h.win.Layout();
    };
    repaint(L"x");
    EXPECT_EQ(cells.asked, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
    EXPECT_EQ(h.Pos(L"t0"), "0,0,200," + std::to_string(h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 8));
    // Three links in each of three cells: the item keeps the first eight.
    auto* t0 = h.Find<CListTextElementUI>(L"t0");
    repaint(L"{a p}a{/a} {a q}b{/a} {a r}c{/a}");
    ASSERT_EQ(t0->GetLinkCount(), 8);
    EXPECT_EQ(std::wstring(t0->GetLinkText(6)), L"p");
    EXPECT_EQ(t0->GetLinkText(8), nullptr);
    EXPECT_EQ(t0->GetBehaviourFlags(), 6u);
    const RECT* link = t0->GetLinkRect(4);  // the second link of the second cell
    ASSERT_NE(link, nullptr);
    EXPECT_GE(link->left, 60);
    h.In().Click(link->left + 1, link->top + 1);
    const auto links = h.rec.OfType(L"link");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].sender + L" " + std::to_wstring(links[0].wParam), L"t0 4");
    EXPECT_EQ(h.rec.Count(L"itemclick"), 1);
    // Fewer links later: the slots past them are cleared.
    repaint(L"plain");
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
    EXPECT_EQ(c0->GetInterface(L"ListItem"), static_cast<IListItemUI*>(c0));
    EXPECT_EQ(c0->GetInterface(L"IContainer"), static_cast<IContainerUI*>(c0));
    EXPECT_EQ(h.list->GetCurSel(), 1);  // "selected" with any value selects
    h.In().DoubleClick(10, 10);
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"itemclick", L"itemselect", L"itemactivate"}),
                             {L"itemclick:c0", L"itemselect:list", L"itemactivate:c0"}));
    EXPECT_EQ(h.list->GetCurSel(), 0);
}

// Listeners that empty the list or close the window while it selects: by click (the clicked
// item is deleted inside its own press handling), by key, by code, and through the selection
// that removing the selected item hands to its successor.
TEST(ListLifetime, ListEmptiedOrWindowClosedFromItemSelect)
{
    GuardedScope guard;
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(4)));
    h.list->GetList()->SetDelayedDestroy(false);  // removed items die at once
    ASSERT_TRUE(h.list->SelectItem(2));
    h.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"itemselect")
            h.list->RemoveAll();
    };
    EXPECT_TRUE(h.list->RemoveAt(2));  // the successor's "itemselect" empties the list
    EXPECT_EQ(h.list->GetCount(), 0);
    EXPECT_EQ(h.list->GetCurSel(), -1);
    const auto refill = [&](int n) {
        for (int i = 0; i < n; ++i)
            h.list->Add(new CListLabelElementUI());
        return h.win.Layout();
    };
    ASSERT_TRUE(refill(4));
    h.In().Click(10, 25);
    EXPECT_EQ(h.list->GetCount(), 0);
    ASSERT_TRUE(refill(2));
    h.list->SetFocus();
    h.In().Key(VK_DOWN);
    EXPECT_EQ(h.list->GetCount(), 0);
    refill(3);
    ASSERT_TRUE(h.list->SelectItem(1));
    EXPECT_EQ(h.list->GetCount(), 0);
    h.In().Move(10, 10);
    ASSERT_TRUE(h.win.Layout());

    ListHost closing;
    ASSERT_TRUE(closing.OpenList(L"header=\"hidden\"", Labels(4)));
    closing.rec.onNotify = [&](NotifyMessage& m) {
        if (m.type == L"itemselect")
            ::DestroyWindow(closing.win.Hwnd());
    };
    closing.In().Click(10, 45);
    EXPECT_FALSE(closing.win.IsOpen());
}

