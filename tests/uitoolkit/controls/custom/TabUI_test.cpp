// The tab strip in a real window: items sharing the strip's width, selection and its
// synchronous notification, presses on items, on their buttons at "btnpos" and past the last
// item, a strip too narrow for its items, tooltips, and the item and button images as pixels;
// the tab body keeping its selection on the same or a neighbouring page when pages go.
#include <gtest/gtest.h>

#include <string>

#include "CustomTags.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;

namespace {

// Three items 100 wide in a 301-wide strip; buttons 15 x 15 at 20..5 before an item's end.
const wchar_t kStrip[] = L"<Tab name=\"t\" float=\"true\" pos=\"0,0,301,30\" btnpos=\"-20,5,-5,20\" "
                         L"itemnormalimage=\"grey.png\" itemhotimage=\"green.png\" itemselectedimage=\"red.png\" "
                         L"btnnormalimage=\"yellow.png\" btnhotimage=\"cyan.png\" btnInactivenormalimage=\"blue.png\" "
                         L"btnInactivehotimage=\"cyan.png\"/>";

struct Tabs : ::testing::Test {
    SkinFolder images;
    custom_tags::CustomTags tags;
    XmlHost h;
    bool Open(const std::wstring& strip, int items = 3)
    {
        if (!h.Open(Skin(strip).c_str(), 320, 60, &tags))
            return false;
        for (int i = 0; i < items; ++i)
            Tab()->AddItem((L"tab" + std::to_wstring(i)).c_str());
        return h.win.Layout();
    }
    CTabUI* Tab() const { return h.Find<CTabUI>(L"t"); }
    std::vector<std::wstring> Notified()
    {
        std::vector<std::wstring> lines;
        for (const auto& r : h.rec.records)
            if (r.type == L"tabselectchanged" || r.type == L"tabbtnclick")
                lines.push_back(r.type + L":" + std::to_wstring(static_cast<int>(r.wParam)) + L"," +
                                std::to_wstring(r.lParam));
        h.rec.Clear();
        return lines;
    }
};

} // namespace

TEST_F(Tabs, SelectionIsNotifiedAtOnce)
{
    ASSERT_TRUE(Open(kStrip));
    CTabUI* t = Tab();
    EXPECT_EQ(std::wstring(t->GetClass()), L"TabUI");
    EXPECT_EQ(t->GetInterface(L"Tab"), t);
    EXPECT_EQ(t->GetInterface(L"Label"), t);
    EXPECT_EQ(t->GetItemWidth(), 100);
    EXPECT_EQ(kit::Text(t->GetPos()), "0,0,301,30");
    // Each row: the index asked for, whether accepted, the notifications at once, the selection.
    const struct {
        int index;
        bool accepted;
        std::vector<std::wstring> notified;
        int selected;
    } steps[] = {
        {1, true, {L"tabselectchanged:1,1"}, 1},
        {1, true, {L"tabselectchanged:1,1"}, 1},
        {3, false, {}, 1},
        {-2, false, {}, 1},
        {-1, true, {L"tabselectchanged:-1,1"}, -1},
        {2, true, {L"tabselectchanged:2,1"}, 2},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.index);
        EXPECT_EQ(t->SelectItem(step.index), step.accepted);
        EXPECT_TRUE(kit::SameSequence(Notified(), step.notified));
        EXPECT_EQ(t->GetCurSel(), step.selected);
    }
}

TEST_F(Tabs, PressesOnItemsButtonsAndPastTheLastItem)
{
    ASSERT_TRUE(Open(kStrip));
    kit::Input in(h.win.Hwnd());
    const struct {
        POINT at;
        std::vector<std::wstring> notified;
        int selected;
    } presses[] = {
        {{50, 15}, {L"tabselectchanged:0,1"}, 0},
        {{50, 15}, {}, 0},                      // the selected item again
        {{90, 10}, {L"tabbtnclick:0,0"}, 0},    // its button
        {{190, 19}, {L"tabbtnclick:1,0"}, 0},   // another item's button
        {{179, 10}, {L"tabselectchanged:1,1"}, 1},  // just before that button
        {{300, 15}, {}, 1},                     // past the last item
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(::testing::Message() << press.at.x << "," << press.at.y);
        in.Click(press.at.x, press.at.y);
        EXPECT_TRUE(kit::SameSequence(Notified(), press.notified));
        EXPECT_EQ(Tab()->GetCurSel(), press.selected);
    }
    // The item under the mouse is hot and tells its text.
    in.Move(250, 25);
    EXPECT_EQ(Tab()->GetHotIndex(), 2);
    EXPECT_EQ(std::wstring(Tab()->GetToolTip()), L"tab2");
}

TEST_F(Tabs, StatesAsPixels)
{
    ASSERT_TRUE(Open(kStrip));
    Tab()->SelectItem(1);
    kit::Input(h.win.Hwnd()).Move(290, 10);  // on the last item's button
    auto shot = kit::CaptureClient(h.win.Hwnd());
    EXPECT_EQ(shot->Pixel(10, 25), kGrey);    // normal item
    EXPECT_EQ(shot->Pixel(110, 25), kRed);    // selected item
    EXPECT_EQ(shot->Pixel(210, 25), kGreen);  // hot item
    EXPECT_EQ(shot->Pixel(87, 12), kBlue);    // another item's button
    EXPECT_EQ(shot->Pixel(187, 12), kYellow); // the selected item's button
    EXPECT_EQ(shot->Pixel(287, 12), kCyan);   // the button under the mouse
    EXPECT_EQ(shot->Pixel(305, 15), kWhite);  // past the strip
    // Each item's text lies between its start and its button.
    int ink = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 78; ++x)
            ink += shot->Pixel(x, y) != kGrey ? 1 : 0;
    EXPECT_GT(ink, 5);
}

TEST_F(Tabs, AStripTooNarrowForItsItemsTakesNoPress)
{
    ASSERT_TRUE(Open(L"<Tab name=\"t\" float=\"true\" pos=\"0,0,2,30\" btnpos=\"-20,5,-5,20\" itemnormalimage=\"red.png\"/>"));
    EXPECT_EQ(Tab()->GetItemWidth(), 0);
    kit::Input in(h.win.Hwnd());
    in.Click(0, 15);
    in.Move(1, 15);
    EXPECT_TRUE(Notified().empty());
    EXPECT_EQ(PixelAt(h, 0, 15), kWhite);
    EXPECT_EQ(std::wstring(Tab()->GetToolTip()), L"");
    // A strip without items keeps its size and item width.
    XmlHost empty;
    ASSERT_TRUE(empty.Open(Skin(kStrip).c_str(), 320, 60, &tags));
    EXPECT_EQ(empty.Find<CTabUI>(L"t")->GetItemWidth(), 180);
    kit::Input(empty.win.Hwnd()).Click(50, 15);
}

TEST_F(Tabs, WidthLimitsTheItems)
{
    ASSERT_TRUE(Open(L"<Tab name=\"t\" float=\"true\" pos=\"0,0,301,30\" width=\"240\" btnpos=\"1,2,3,4\" titleimagepos=\"5,6,7,8\"/>", 2));
    // "width" limits each item and sizes the strip.
    EXPECT_EQ(Tab()->GetItemWidth(), 119);
    EXPECT_EQ(kit::Text(Tab()->GetPos()), "0,0,239,30");
    EXPECT_EQ(kit::Text(Tab()->GetButtonPos()), "1,2,3,4");
    EXPECT_EQ(kit::Text(Tab()->GetTitleImagePos()), "5,6,7,8");
    // A negative limit makes the items 0 wide; the strip never ends before it starts.
    Tab()->SetAttribute(L"width", L"-50");
    Tab()->SetPos(RECT{0, 0, 100, 30});
    EXPECT_EQ(Tab()->GetItemWidth(), 0);
    EXPECT_EQ(kit::Text(Tab()->GetPos()), "0,0,1,30");
}

// Pages p0..p2 with one of them selected; a page removed; then the selected index and page.
TEST(TabBody, RemovalKeepsASensibleSelection)
{
    custom_tags::CustomTags tags;
    const struct {
        int selected;
        int removed;
        int selectedAfter;
        const wchar_t* pageAfter;
    } cases[] = {
        {2, 2, 1, L"p1"},  // the last page: the one before it
        {1, 1, 1, L"p2"},  // a middle page: the one that took its place
        {2, 0, 1, L"p2"},  // a page before the selection: the same page
        {0, 2, 0, L"p0"},  // a page after it: nothing changes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.selected << " without " << c.removed);
        XmlHost h;
        ASSERT_TRUE(h.Open(L"<Window><TabBody name=\"b\"><Control name=\"p0\"/><Control name=\"p1\"/>"
                           L"<Control name=\"p2\"/></TabBody></Window>",
                           100, 60, &tags));
        auto* body = h.Find<CTabBodyUI>(L"b");
        EXPECT_EQ(std::wstring(body->GetClass()), L"TabBodyUI");
        EXPECT_EQ(body->GetInterface(L"TabBody"), body);
        EXPECT_EQ(body->GetInterface(L"TabLayout"), body);
        body->SelectItem(c.selected);
        ASSERT_TRUE(body->RemoveAt(c.removed));
        EXPECT_EQ(body->GetCurSel(), c.selectedAfter);
        CControlUI* page = body->GetItemAt(body->GetCurSel());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::wstring(page->GetName()), c.pageAfter);
        EXPECT_TRUE(page->IsVisible());
    }
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TabBody name=\"b\"><Control name=\"p0\"/></TabBody></Window>", 100, 60, &tags));
    auto* body = h.Find<CTabBodyUI>(L"b");
    EXPECT_FALSE(body->Remove(nullptr));
    EXPECT_TRUE(body->Remove(body->GetItemAt(0)));
    EXPECT_EQ(body->GetCurSel(), -1);
}
