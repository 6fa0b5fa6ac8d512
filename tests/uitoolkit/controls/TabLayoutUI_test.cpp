// The tab layout in real windows built from skins: "selectedid" among the pages already added,
// only the selected page placed, selection bookkeeping of AddAt / Remove / RemoveAt / RemoveAll,
// "tabselect" once per change, and the focus moving into the selected page.
#include <gtest/gtest.h>

#include "XmlHost.h"
#include "uitoolkit/controls/TabLayoutUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

TEST(TabLayout, SelectionPlacementAndNotifications)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TabLayout name=\"tabs\" inset=\"5,5,5,5\" selectedid=\"1\">"
                       L"<VerticalLayout name=\"p0\"><Button name=\"b0\"/></VerticalLayout>"
                       L"<VerticalLayout name=\"p1\" padding=\"10,0,0,10\"><Button name=\"b1\"/></VerticalLayout>"
                       L"<VerticalLayout name=\"p2\"><Button name=\"b2\"/></VerticalLayout></TabLayout></Window>",
                       200, 100));
    auto* tabs = h.Find<CTabLayoutUI>(L"tabs");
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(std::to_string(h.Find(L"p0")->IsVisible()) + std::to_string(h.Find(L"p1")->IsVisible()) +
                  std::to_string(h.Find(L"p2")->IsVisible()),
              "010");
    // Only the selected page is placed: the inset and its own padding off.
    EXPECT_EQ(h.Pos(L"p1") + " " + h.Pos(L"p0"), "15,5,195,85 0,0,0,0");

    EXPECT_TRUE(tabs->SelectItem(1));  // the current one: nothing sent
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_FALSE(tabs->SelectItem(-1));
    EXPECT_EQ(h.rec.Count(L"tabselect"), 0);
    EXPECT_TRUE(tabs->SelectItem(2));
    ASSERT_EQ(h.rec.Count(L"tabselect"), 1);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].wParam, 2u);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].lParam, 1);
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Host()->GetFocus(), h.Find(L"b2"));  // the focus went into the page
    EXPECT_EQ(h.Pos(L"p2") + " " + h.Pos(L"p1"), "5,5,195,95 15,5,195,85");  // p1 keeps its old place
}

TEST(TabLayout, AddAndRemoveKeepTheSelectionOnItsPage)
{
    XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><TabLayout name=\"tabs\"><Control name=\"p0\"/><Control name=\"p1\"/>"
                       L"<Control name=\"p2\"/></TabLayout></Window>",
                       200, 100));
    auto* tabs = h.Find<CTabLayoutUI>(L"tabs");
    EXPECT_EQ(tabs->GetCurSel(), 0);  // the first visible page added
    EXPECT_FALSE(h.Find(L"p1")->IsVisible());
    tabs->SelectItem(1);
    auto* early = new CControlUI();
    EXPECT_TRUE(tabs->AddAt(early, 0));
    EXPECT_FALSE(early->IsVisible());
    EXPECT_EQ(tabs->GetCurSel(), 2);  // still p1
    EXPECT_EQ(tabs->GetItemAt(2), h.Find(L"p1"));

    // Removing the selected page shows page 0; removing one before the selection shifts it.
    EXPECT_TRUE(tabs->Remove(h.Find(L"p1")));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(early->IsVisible());
    tabs->SelectItem(2);  // p2
    EXPECT_TRUE(tabs->Remove(early));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(tabs->GetItemAt(1), h.Find(L"p2"));
    // RemoveAt goes through the same bookkeeping.
    EXPECT_TRUE(tabs->RemoveAt(1));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(h.Find(L"p0")->IsVisible());
    tabs->RemoveAll();
    EXPECT_EQ(tabs->GetCurSel(), -1);

    // Hidden pages select nothing; the first selection reports -1 as the previous one.
    auto* hidden = new CControlUI();
    hidden->SetVisible(false);
    EXPECT_TRUE(tabs->Add(hidden));
    EXPECT_EQ(tabs->GetCurSel(), -1);
    h.rec.Clear();
    EXPECT_TRUE(tabs->SelectItem(0));
    ASSERT_EQ(h.rec.Count(L"tabselect"), 1);
    EXPECT_EQ(h.rec.OfType(L"tabselect")[0].lParam, -1);
}
