// Lists built from skins in real windows: selection and its notifications, keyboard and wheel
// navigation, scrolling items into view, item operations keeping the selection, header and
// column placement, the body's scroll bars, the order of click notifications, and listeners that
// empty the list or close the window while it selects.
#include <gtest/gtest.h>

#include "ListFixture.h"
#include "kit/Fuzz.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "kit/Text.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListHeaderItemUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/core/DialogBuilder.h"

using namespace SkinUI;
using list_fixture::Labels;
using list_fixture::ListHost;

namespace {

// A label element that can be expanded, for the expanded index's bookkeeping.
class ExpandingItem : public CListLabelElementUI {
public:
    bool IsExpanded() const override { return expanded; }
    bool Expand(bool expand) override
    {
        expanded = expand;
        return true;
    }
    bool expanded = false;
};

struct ExpandingCallback : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        return std::wstring(tag) == L"Expanding" ? new ExpandingItem() : nullptr;
    }
};

std::vector<std::wstring> Selections(const kit::NotifyRecorder& rec)
{
    std::vector<std::wstring> out;
    for (const auto& r : rec.OfType(L"itemselect"))
        out.push_back(std::to_wstring(r.wParam) + L"<" + std::to_wstring(static_cast<int>(r.lParam)));
    return out;
}

} // namespace

TEST(ListSelection, SelectItemRulesAndNotifications)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(4, 20, [](int i) {
                               return std::wstring(i == 2 ? L"enabled=\"false\"" : i == 3 ? L"visible=\"false\"" : L"");
                           })));
    CListUI* list = h.list;
    EXPECT_EQ(std::wstring(list->GetClass()), L"ListUI");
    EXPECT_EQ(list->GetInterface(L"IList"), static_cast<IListUI*>(list));
    EXPECT_EQ(list->GetInterface(L"IListOwner"), static_cast<IListOwnerUI*>(list));
    EXPECT_EQ(list->GetInterface(L"VerticalLayout"), list);
    EXPECT_EQ(list->GetBehaviourFlags(), 1u);
    EXPECT_EQ(h.Item(0)->GetBehaviourFlags(), 4u);

    // Selecting, selecting again, refused items (which clear the selection), and -1.
    const struct {
        int index;
        bool result;
        int cur;
        int prev;
    } steps[] = {{1, true, 1, -1}, {1, true, 1, -1}, {0, true, 0, 1}, {2, false, -1, 0},
                 {0, true, 0, -1}, {3, false, -1, 0}, {7, false, -1, -1}, {-1, true, -1, -1}};
    for (const auto& s : steps) {
        EXPECT_EQ(list->SelectItem(s.index), s.result) << s.index;
        EXPECT_EQ(list->GetCurSel(), s.cur) << s.index;
        EXPECT_EQ(list->GetPrevSel(), s.prev) << s.index;
    }
    EXPECT_TRUE(kit::SameSequence(Selections(h.rec), {L"1<-1", L"0<1", L"0<-1"}));
    auto* item0 = static_cast<IListItemUI*>(h.Item(0)->GetInterface(L"ListItem"));
    EXPECT_FALSE(item0->IsSelected());  // deselected by the refused selection of item 3

    // An item's own Select goes through the list; hiding the selected item clears it silently.
    h.rec.Clear();
    EXPECT_TRUE(item0->Select(true));
    EXPECT_EQ(list->GetCurSel(), 0);
    h.Item(0)->SetVisible(false);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_FALSE(item0->IsSelected());
    EXPECT_TRUE(kit::SameSequence(Selections(h.rec), {L"0<-1"}));

    // A disabled item refuses its own selection.
    auto* item2 = static_cast<IListItemUI*>(h.Item(2)->GetInterface(L"ListItem"));
    EXPECT_FALSE(item2->Select(true));
}

TEST(ListSelection, ItemOperationsKeepSelectionAndExpansionOnTheirItems)
{
    ListHost h;
    ExpandingCallback callback;
    std::wstring items;
    for (int i = 0; i < 5; ++i)
        items += L"<Expanding name=\"i" + std::to_wstring(i) + L"\" text=\"e\" height=\"10\"/>";
    const std::wstring skin = L"<Window><List name=\"list\" header=\"hidden\">" + items + L"</List></Window>";
    ASSERT_TRUE(h.Open(skin.c_str(), 200, 100, &callback));
    h.list = h.Find<CListUI>(L"list");
    CListUI* list = h.list;
    const auto names = [&] {
        std::wstring out;
        for (int i = 0; i < list->GetCount(); ++i) {
            out += h.Item(i)->GetName().GetData();
            EXPECT_EQ(h.IndexOf(i), i);  // every item knows its place
        }
        return out;
    };
    EXPECT_FALSE(list->Add(nullptr));
    EXPECT_FALSE(list->AddAt(nullptr, 0));
    EXPECT_FALSE(list->RemoveAt(5));

    ASSERT_TRUE(list->SelectItem(1));
    ASSERT_TRUE(list->ExpandItem(3));
    EXPECT_EQ(list->GetExpandedItem(), 3);
    // Moving the selected item: the selection follows it.
    EXPECT_TRUE(list->SetItemIndex(h.Find(L"i1"), 4));
    EXPECT_EQ(names(), L"i0i2i3i4i1");
    EXPECT_EQ(list->GetCurSel(), 4);
    EXPECT_EQ(list->GetExpandedItem(), 2);
    // Inserting before both moves them up.
    auto* added = new ExpandingItem();
    added->SetName(L"n");
    EXPECT_TRUE(list->AddAt(added, 0));
    EXPECT_EQ(names(), L"ni0i2i3i4i1");
    EXPECT_EQ(list->GetCurSel(), 5);
    EXPECT_EQ(list->GetExpandedItem(), 3);
    EXPECT_EQ(static_cast<IListItemUI*>(added)->GetOwner(), static_cast<IListOwnerUI*>(list));
    // Removing before them moves them down; removing the expanded item clears it.
    EXPECT_TRUE(list->Remove(h.Find(L"i0")));
    EXPECT_EQ(list->GetCurSel(), 4);
    EXPECT_EQ(list->GetExpandedItem(), 2);
    EXPECT_TRUE(list->RemoveAt(2));
    EXPECT_EQ(list->GetExpandedItem(), -1);
    EXPECT_EQ(names(), L"ni2i4i1");

    // Removing the selected item selects the nearest one at or before it, from "none".
    h.rec.Clear();
    EXPECT_TRUE(list->RemoveAt(3));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->GetPrevSel(), -1);
    EXPECT_TRUE(kit::SameSequence(Selections(h.rec), {L"2<-1"}));

    // Multi-expanding remembers the last one; without it the previous one collapses.
    EXPECT_TRUE(list->ExpandItem(0));
    EXPECT_TRUE(list->ExpandItem(1));
    EXPECT_FALSE(static_cast<ExpandingItem*>(h.Item(0))->expanded);
    list->SetMultiExpanding(true);
    EXPECT_TRUE(list->ExpandItem(0));
    EXPECT_TRUE(static_cast<ExpandingItem*>(h.Item(1))->expanded);
    EXPECT_EQ(list->GetExpandedItem(), 0);
    EXPECT_FALSE(list->ExpandItem(9));

    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->GetExpandedItem(), -1);
}

TEST(ListKeys, NavigationSkipsDisabledAndHiddenItemsAndKeepsTheSelectionAtTheEnds)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(6, 15, [](int i) {
                               return std::wstring(i == 1 || i == 5 ? L"enabled=\"false\"" : i == 3 ? L"visible=\"false\"" : L"");
                           })));
    kit::Input in(h.win.Hwnd());
    h.list->SetFocus();
    const struct {
        UINT key;
        int sel;
    } steps[] = {{VK_DOWN, 0}, {VK_DOWN, 2}, {VK_DOWN, 4}, {VK_DOWN, 4}, {VK_HOME, 0},
                 {VK_UP, 0},   {VK_END, 4},  {VK_UP, 2},   {VK_UP, 0}};
    for (const auto& s : steps) {
        in.Key(s.key);
        EXPECT_EQ(h.list->GetCurSel(), s.sel) << s.key;
        // The selection takes the focus; keys reach the list through the focused item.
        EXPECT_EQ(h.Host()->GetFocus(), h.Item(s.sel));
    }
    EXPECT_TRUE(kit::SameSequence(Selections(h.rec), {L"0<-1", L"2<0", L"4<2", L"0<4", L"4<0", L"2<4", L"0<2"}));

    h.rec.Clear();
    in.Key(VK_RETURN);
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"itemactivate"}), {L"itemactivate:i0"}));
    // Return on the list itself activates the selected item too.
    h.list->SetFocus();
    in.Key(VK_RETURN);
    EXPECT_EQ(h.rec.Count(L"itemactivate"), 2);
}

TEST(ListScrolling, EnsureVisibleWheelAndTheBodysBars)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\" vscrollbar=\"true\" vscrollbarstyle=\"width=&quot;10&quot;\"",
                           Labels(10, 20), 200, 100));
    CListUI* list = h.list;
    CListBodyUI* body = list->GetList();
    // The bars are the body's; the list keeps none of its own.
    ASSERT_NE(body->GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(list->GetVerticalScrollBar(), body->GetVerticalScrollBar());
    EXPECT_TRUE(body->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(body->GetVerticalScrollBar()->GetFixedWidth(), 10);
    EXPECT_EQ(kit::Text(list->GetScrollRange()), "0,100");
    EXPECT_EQ(h.Pos(L"i0"), "0,0,190,20");

    // Selecting below the view scrolls the item's bottom to the body's bottom, above it the
    // item's top to the top; a visible item scrolls nothing.
    const struct {
        int index;
        int pos;
    } steps[] = {{7, 60}, {5, 60}, {1, 20}, {9, 100}, {0, 0}};
    for (const auto& s : steps) {
        ASSERT_TRUE(list->SelectItem(s.index));
        EXPECT_EQ(list->GetScrollPos().cy, s.pos) << s.index;
    }
    EXPECT_EQ(h.Pos(L"i1"), "0,20,190,40");

    // The wheel scrolls by a line (font height + 8), or with "scrollselect" moves the selection.
    kit::Input in(h.win.Hwnd());
    const int line = h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 8;
    in.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(list->GetScrollPos().cy, line);
    EXPECT_EQ(list->GetCurSel(), 0);
    list->SetAttribute(L"scrollselect", L"true");
    in.Wheel(50, 50, -WHEEL_DELTA);
    in.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(list->GetCurSel(), 2);
    in.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(list->GetCurSel(), 1);
    // The last item: the wheel keeps it selected.
    list->SelectItem(9);
    in.Wheel(50, 50, -WHEEL_DELTA);
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
    const std::wstring columns = L"<ListHeader name=\"head\"><ListHeaderItem name=\"c0\" width=\"100\" text=\"A\"/>"
                                 L"<ListHeaderItem name=\"c1\" width=\"50\" text=\"B\"/></ListHeader>";
    ASSERT_TRUE(h.OpenList(L"hscrollbar=\"true\" hscrollbarstyle=\"height=&quot;10&quot;\"",
                           columns + L"<ListTextElement name=\"t0\"/><ListTextElement name=\"t1\"/>", 120, 100));
    CListUI* list = h.list;
    CListHeaderUI* header = list->GetHeader();
    ASSERT_EQ(header, h.Find(L"head"));  // the skin's header replaced the empty one
    EXPECT_EQ(list->CVerticalLayoutUI::GetCount(), 2);
    EXPECT_EQ(list->GetItemIndex(header), 0);
    EXPECT_EQ(list->GetItemIndex(h.Find(L"c1")), 1);
    EXPECT_EQ(list->GetItemIndex(h.Find(L"t1")), 1);
    EXPECT_EQ(std::wstring(header->GetClass()), L"ListHeaderUI");
    EXPECT_EQ(std::wstring(list->GetList()->GetClass()), L"VerticalLayoutUI");

    // The header is as tall as its columns want (default font height + 14).
    const int fontHeight = h.Host()->GetDefaultFontEntry()->metrics.tmHeight;
    const int headerHeight = fontHeight + 14;
    const int itemHeight = fontHeight + 8;
    EXPECT_EQ(h.Pos(L"head"), "0,0,120," + std::to_string(headerHeight));
    ListInfo* info = list->GetListInfo();
    ASSERT_EQ(info->columnCount, 2);
    EXPECT_EQ(kit::Text(info->columns[0]), "0,0,100," + std::to_string(headerHeight));
    EXPECT_EQ(kit::Text(info->columns[1]), "100,0,150," + std::to_string(headerHeight));

    // 150 of columns in 120: the body's horizontal bar scrolls 30; items are the columns' width.
    CScrollBarUI* hbar = list->GetHorizontalScrollBar();
    ASSERT_NE(hbar, nullptr);
    EXPECT_TRUE(hbar->IsVisible());
    EXPECT_EQ(hbar->GetScrollRange(), 30);
    EXPECT_EQ(h.Pos(L"t0"), "0," + std::to_string(headerHeight) + ",150," + std::to_string(headerHeight + itemHeight));
    // Scrolling sideways moves the items and the columns.
    list->SetScrollPos(SIZE{10, 0});
    EXPECT_EQ(h.Find(L"t0")->GetPos().left, -10);
    EXPECT_EQ(info->columns[0].left, -10);
    EXPECT_EQ(info->columns[1].right, 140);
    list->LineRight();
    EXPECT_EQ(info->columns[0].left, -18);
    list->HomeLeft();
    EXPECT_EQ(info->columns[1].left, 100);

    // A hidden header takes no room but still lays its columns out.
    list->SetAttribute(L"header", L"hidden");
    ASSERT_TRUE(h.win.Layout(300, 100));
    EXPECT_FALSE(header->IsVisible());
    EXPECT_EQ(h.Find(L"t0")->GetPos().top, 0);
    EXPECT_EQ(kit::Text(info->columns[1]), "100,0,150,0");
    EXPECT_FALSE(h.Find(L"c0")->IsVisible());
    EXPECT_FALSE(hbar->IsVisible());

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

TEST(ListInput, ClickRightClickAndDoubleClickNotifyInOrder)
{
    ListHost h;
    ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(3, 20, [](int i) {
                               return std::wstring(i == 2 ? L"enabled=\"false\"" : L"");
                           })));
    kit::Input in(h.win.Hwnd());
    const std::vector<std::wstring> only = {L"setfocus", L"killfocus", L"itemclick", L"itemselect", L"itemactivate"};
    in.Click(10, 5);
    in.RightDown(10, 25);
    in.RightUp(10, 25);
    in.DoubleClick(10, 25);
    in.Click(10, 45);        // disabled: only the focus leaves
    in.DoubleClick(10, 45);  // nothing
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines(only),
                                  {L"killfocus:list", L"setfocus:i0", L"itemclick:i0", L"itemselect:list",
                                   L"killfocus:i0", L"setfocus:i1", L"itemclick:i1", L"itemselect:list",
                                   L"itemclick:i1", L"itemactivate:i1", L"killfocus:i1"}));
    EXPECT_EQ(h.list->GetCurSel(), 1);
}

TEST(ListAttributes, ItemLookAndFlags)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        bool (*check)(const ListInfo&);
    } cases[] = {
        {L"itemalign", L"center", [](const ListInfo& i) { return i.textStyle == 5u; }},
        {L"itemalign", L"left right", [](const ListInfo& i) { return i.textStyle == 6u; }},
        {L"itemalign", L"right left", [](const ListInfo& i) { return i.textStyle == 6u; }},
        {L"itemendellipsis", L"true", [](const ListInfo& i) { return i.textStyle == (DT_VCENTER | DT_END_ELLIPSIS); }},
        {L"itemtextpadding", L"1,2,3,4", [](const ListInfo& i) { return kit::Text(i.textPadding) == "1,2,3,4"; }},
        {L"itemtextcolor", L"#FF102030", [](const ListInfo& i) { return i.textColor == 0xFF102030u; }},
        {L"itemlinecolor", L"FF0000FF", [](const ListInfo& i) { return i.lineColor == 0xFF0000FFu; }},
        {L"itemhotimage", L"a.png", [](const ListInfo& i) { return i.hotImage == L"a.png"; }},
        {L"itemfont", L"2", [](const ListInfo& i) { return i.font == 2; }},
        {L"itemaltbk", L"TRUE", [](const ListInfo& i) { return !i.alternateBk; }},
        {L"itemshowhtml", L"true", [](const ListInfo& i) { return i.showHtml; }},
        {L"enablehotbkcolor", L"0", [](const ListInfo& i) { return i.enableHotBkColor; }},
        {L"enablehotbkcolor", L"FALSE", [](const ListInfo& i) { return i.enableHotBkColor; }},
        {L"enablehotbkcolor", L"false", [](const ListInfo& i) { return !i.enableHotBkColor; }},
        {L"enableselectedbkcolor", L"false", [](const ListInfo& i) { return !i.enableSelectedBkColor; }},
        {L"multiexpanding", L"true", [](const ListInfo& i) { return i.multiExpanding; }},
    };
    for (const Case& c : cases) {
        CListUI list;
        list.SetAttribute(c.name, c.value);
        EXPECT_TRUE(c.check(*list.GetListInfo())) << std::string(c.name, c.name + wcslen(c.name));
    }
    // Defaults.
    CListUI list;
    const ListInfo& info = *list.GetListInfo();
    EXPECT_EQ(info.hotBkColor, 0xFFE9F5FFu);
    EXPECT_EQ(info.disabledTextColor, 0xFFCCCCCCu);
    EXPECT_EQ(info.textStyle, UINT{DT_VCENTER});
    EXPECT_EQ(list.GetChildPadding(), 0);
    list.SetAttribute(L"childpadding", L"3");
    EXPECT_EQ(list.GetList()->GetChildPadding(), 3);
}

TEST(ListAttributes, DamagedListSkinsBuildOrFailCleanly)
{
    const std::wstring sample =
        L"<Window><List name=\"list\" header=\"hidden\" itemtextpadding=\"1,2,3,4\" itemalign=\"center\" "
        L"itembkcolor=\"#FFFF0000\" vscrollbar=\"true\" hscrollbarstyle=\"height=&quot;8&quot;\">"
        L"<ListHeader><ListHeaderItem width=\"40\" sepwidth=\"-3\" align=\"right\"/></ListHeader>"
        L"<ListLabelElement text=\"a\" selected=\"x\"/><ListTextElement/><ListContainerElement>"
        L"<Label text=\"b\"/></ListContainerElement></List></Window>";
    kit::HostWindow win;
    ASSERT_TRUE(win.Open(nullptr, 100, 80));
    kit::FuzzRun fuzz;
    for (int i = 0; i < 300; ++i) {
        const std::wstring skin = fuzz.Mutate(sample);
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(skin.c_str(), nullptr, nullptr, win.Host()));
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

// ---- listeners that empty the list or close the window while it selects ----------------------

namespace {

struct ListLifetime : kit::GuardedTest {
    ListHost h;
    bool Open()
    {
        if (!h.OpenList(L"header=\"hidden\"", Labels(4)))
            return false;
        h.list->GetList()->SetDelayedDestroy(false);  // removed items die at once
        return true;
    }
    void OnSelect(std::function<void()> act)
    {
        h.rec.onNotify = [act](NotifyMessage& m) {
            if (m.type == L"itemselect")
                act();
        };
    }
};

} // namespace

TEST_F(ListLifetime, ListEmptiedFromItemSelectByClickKeyAndCode)
{
    ASSERT_TRUE(Open());
    OnSelect([this] { h.list->RemoveAll(); });
    kit::Input in(h.win.Hwnd());
    in.Click(10, 25);  // the clicked item is deleted inside its own press handling
    EXPECT_EQ(h.list->GetCount(), 0);
    EXPECT_EQ(h.rec.Count(L"itemselect"), 1);

    h.list->Add(new CListLabelElementUI());
    h.list->Add(new CListLabelElementUI());
    h.list->SetFocus();
    in.Key(VK_DOWN);
    EXPECT_EQ(h.list->GetCount(), 0);

    for (int i = 0; i < 3; ++i)
        h.list->Add(new CListLabelElementUI());
    ASSERT_TRUE(h.list->SelectItem(1));
    EXPECT_EQ(h.list->GetCount(), 0);
    in.Move(10, 10);
    ASSERT_TRUE(h.win.Layout());
}

TEST_F(ListLifetime, WindowClosedFromItemSelect)
{
    ASSERT_TRUE(Open());
    OnSelect([this] { ::DestroyWindow(h.win.Hwnd()); });
    kit::Input in(h.win.Hwnd());
    in.Click(10, 45);
    EXPECT_FALSE(h.win.IsOpen());
}

TEST_F(ListLifetime, RemovingTheSelectedItemWhoseSuccessorEmptiesTheList)
{
    ASSERT_TRUE(Open());
    ASSERT_TRUE(h.list->SelectItem(2));
    OnSelect([this] { h.list->RemoveAll(); });
    EXPECT_TRUE(h.list->RemoveAt(2));  // the successor's "itemselect" empties the list
    EXPECT_EQ(h.list->GetCount(), 0);
    EXPECT_EQ(h.list->GetCurSel(), -1);
}
