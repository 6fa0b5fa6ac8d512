// The program's thin control subclasses in real windows built from skins: the check button's
// toggling (click, Space, silent SetCheck, a disabled box refusing), hover labels passing input to
// what lies beneath, the extended vertical layout's "layoutscroll", and the list control's guarded
// item operations.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/XmlHost.h"
#include "uitoolkit/controls/custom/CheckButtonUI.h"
#include "uitoolkit/controls/custom/HoverLabel.h"
#include "uitoolkit/controls/custom/ListControl.h"
#include "uitoolkit/controls/custom/VerticalLayoutExUI.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

// A container that counts the events its handler gets.
class CountingBox : public CContainerUI {
public:
    void HandleEvent(ControlEvent& event) override
    {
        ++events[event.type];
        CContainerUI::HandleEvent(event);
    }
    std::map<int, int> events;
};

struct Tags : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        const std::wstring t = tag;
        if (t == L"CheckButton") return new CCheckButtonUI();
        if (t == L"HoverLabel") return new CHoverLabel();
        if (t == L"VerticalLayoutEx") return new CVerticalLayoutExUI();
        if (t == L"ListControl") return new CListControl();
        if (t == L"Box") return new CountingBox();
        return nullptr;
    }
};

struct Custom : ::testing::Test {
    XmlHost h;
    Tags tags;
    bool Open(const std::wstring& controls)
    {
        const std::wstring skin = L"<Window><Box name=\"box\">" + controls + L"</Box></Window>";
        return h.Open(skin.c_str(), 200, 120, &tags);
    }
    CountingBox* Box() { return h.Find<CountingBox>(L"box"); }
};

struct CustomLifetime : kit::GuardedTest {
    XmlHost h;
    Tags tags;
};

} // namespace

TEST_F(Custom, CheckButtonTogglesByClickAndSpaceAndSilentlyBySetCheck)
{
    ASSERT_TRUE(Open(L"<CheckButton name=\"cb\" float=\"true\" pos=\"0,0,80,30\"/>"
                     L"<CheckButton name=\"off\" float=\"true\" pos=\"0,40,80,70\" enabled=\"false\"/>"));
    auto* cb = h.Find<CCheckButtonUI>(L"cb");
    EXPECT_EQ(std::wstring(cb->GetClass()), L"CheckButtonUI");
    EXPECT_EQ(cb->GetInterface(L"CheckButton"), cb);
    EXPECT_EQ(cb->GetInterface(L"Option"), cb);
    kit::Input in(h.win.Hwnd());
    in.Click(10, 10);
    EXPECT_TRUE(cb->IsSelected());
    in.Click(10, 10);
    EXPECT_FALSE(cb->IsSelected());
    cb->SetFocus();
    in.Key(VK_SPACE);
    EXPECT_TRUE(cb->IsSelected());
    EXPECT_TRUE(kit::SameSequence(h.rec.Types({L"click", L"selectchanged"}),
                                  {L"selectchanged", L"selectchanged", L"selectchanged"}));

    // SetCheck changes the flag and the state bit, and says nothing.
    h.rec.Clear();
    cb->SetCheck(false);
    EXPECT_FALSE(cb->IsSelected());
    EXPECT_EQ(cb->GetState() & 0x02u, 0u);
    cb->SetCheck(true);
    cb->SetCheck(true);
    EXPECT_TRUE(cb->IsSelected());
    EXPECT_EQ(cb->GetState() & 0x02u, 0x02u);
    // A hidden box still toggles by activation; a disabled one refuses, by click or directly.
    cb->SetVisible(false);
    EXPECT_TRUE(cb->Activate());
    EXPECT_FALSE(cb->IsSelected());
    auto* off = h.Find<CCheckButtonUI>(L"off");
    in.Click(10, 50);
    EXPECT_FALSE(off->Activate());
    EXPECT_FALSE(off->IsSelected());
    EXPECT_TRUE(kit::SameSequence(h.rec.Types({L"click", L"selectchanged"}), {L"selectchanged"}));
}

TEST_F(Custom, HoverLabelPassesPressesToTheControlBeneathAndItsParentOnce)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"/>"
                     L"<HoverLabel name=\"hl\" float=\"true\" pos=\"0,0,180,30\" text=\"over\"/>"
                     L"<HoverLabel name=\"hl2\" float=\"true\" pos=\"40,0,180,30\"/>"));
    EXPECT_EQ(h.Find(L"hl")->GetBehaviourFlags(), 2u);
    kit::Input in(h.win.Hwnd());
    // Over the button, under two hover labels.
    in.Click(50, 10);
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"click"}), {L"click:b"}));
    EXPECT_EQ(Box()->events[kEventButtonDown], 1);
    EXPECT_EQ(Box()->events[kEventButtonUp], 1);
    // Over nothing but the parent: the parent hears it once.
    in.Click(150, 10);
    EXPECT_EQ(Box()->events[kEventButtonDown], 2);
    EXPECT_EQ(h.rec.Count(L"click"), 1);
    h.Find(L"hl")->SetEnabled(false);
    EXPECT_EQ(h.Find(L"hl")->GetBehaviourFlags(), 0u);
}

TEST_F(Custom, HoverLabelOverAnEditGivesTheEditsCursor)
{
    ASSERT_TRUE(Open(L"<Edit name=\"e\" float=\"true\" pos=\"0,0,150,30\"/>"
                     L"<HoverLabel name=\"hl\" float=\"true\" pos=\"0,0,150,30\"/>"));
    kit::Input in(h.win.Hwnd());
    in.Move(20, 10);
    ::SendMessageW(h.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
    in.Move(20, 60);
    ::SendMessageW(h.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(CustomLifetime, HoverLabelOverAButtonThatClosesTheWindow)
{
    ASSERT_TRUE(h.Open(L"<Window><Container><Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"/>"
                       L"<HoverLabel float=\"true\" pos=\"0,0,80,30\"/></Container></Window>",
                       200, 100, &tags));
    h.rec.onNotify = [this](NotifyMessage& m) {
        if (m.type == L"click")
            ::DestroyWindow(h.win.Hwnd());
    };
    kit::Input in(h.win.Hwnd());
    in.Click(10, 10);
    EXPECT_FALSE(h.win.IsOpen());
}

TEST_F(Custom, ExtendedLayoutReportsEveryScroll)
{
    ASSERT_TRUE(Open(L"<VerticalLayoutEx name=\"v\" vscrollbar=\"true\"><Control height=\"300\"/></VerticalLayoutEx>"));
    auto* v = h.Find<CVerticalLayoutExUI>(L"v");
    EXPECT_EQ(std::wstring(v->GetClass()), L"VerticalLayoutExUI");
    EXPECT_EQ(v->GetInterface(L"VerticalLayoutEx"), v);
    EXPECT_EQ(v->GetInterface(L"VerticalLayout"), v);
    kit::Input in(h.win.Hwnd());
    in.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_GT(v->GetScrollPos().cy, 0);
    EXPECT_EQ(h.rec.Count(L"layoutscroll"), 1);
    v->HomeUp();
    v->SetScrollPos(SIZE{0, 0});  // no change: reported all the same
    in.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(h.rec.Count(L"layoutscroll"), 4);
    const RECT down = v->GetVerticalScrollBar()->GetButton2Rect();
    in.Click(down.left + 2, down.top + 2);
    EXPECT_GE(h.rec.Count(L"layoutscroll"), 5);
    EXPECT_EQ(h.rec.OfType(L"layoutscroll")[0].sender, L"v");
}

TEST_F(Custom, ListControlRefusesMissingControlsAndIndexes)
{
    ASSERT_TRUE(Open(L"<ListControl name=\"l\" header=\"hidden\"><ListLabelElement text=\"a\"/></ListControl>"));
    auto* list = h.Find<CListControl>(L"l");
    EXPECT_EQ(std::wstring(list->GetClass()), L"ListUI");
    EXPECT_EQ(list->GetOwner(), nullptr);
    EXPECT_FALSE(list->Add(nullptr));
    EXPECT_FALSE(list->AddAt(nullptr, 0));
    EXPECT_FALSE(list->Remove(nullptr));
    EXPECT_FALSE(list->RemoveAt(1));
    EXPECT_FALSE(list->RemoveAt(-1));
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_TRUE(list->AddAt(new CListLabelElementUI(), 0));
    EXPECT_TRUE(list->SelectItem(1));
    EXPECT_TRUE(list->RemoveAt(0));
    EXPECT_EQ(list->GetCurSel(), 0);
    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
    CListControl bound(h.Host());
    EXPECT_EQ(bound.GetOwner(), h.Host());
    EXPECT_FALSE(bound.GetBuilder().GetMarkup().IsValid());
}
