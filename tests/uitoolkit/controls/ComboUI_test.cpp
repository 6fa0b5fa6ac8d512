// Combo boxes built from skins in real windows: selection, keys and the wheel while closed, item
// operations keeping the selection, the pop-up "ComboWnd" (how it opens, where and how big, a
// pick with the mouse, Escape, the scroll bar, the flip above the combo), clearing on press, a
// disabled combo, the closed box's painting, and item changes or destroyed windows while the
// pop-up is open.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ListFixture.h"
#include "kit/Capture.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "kit/Text.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/ComboWnd.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

using namespace SkinUI;
using list_fixture::Labels;

namespace {

BOOL CALLBACK CollectDropWindow(HWND hWnd, LPARAM data)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    if (std::wstring(name) == L"ComboWnd")
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(hWnd);
    return TRUE;
}

// Every "ComboWnd" window of this thread.
std::vector<HWND> DropWindows()
{
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectDropWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A label element that can stop being a list item, for the closed box's other painting path.
class Chameleon : public CListLabelElementUI {
public:
    void* GetInterface(const wchar_t* name) override
    {
        return hidden && std::wstring(name) == L"ListItem" ? nullptr : CListLabelElementUI::GetInterface(name);
    }
    bool hidden = false;
};

struct ChameleonTag : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        return std::wstring(tag) == L"Chameleon" ? new Chameleon() : nullptr;
    }
};

struct ComboHost : xml_host::XmlHost {
    CComboUI* combo = nullptr;
    ChameleonTag tags;

    bool OpenCombo(const std::wstring& attributes, const std::wstring& items, int width = 200, int height = 150)
    {
        const std::wstring skin = L"<Window><Font name=\"Arial\" size=\"12\" default=\"true\"/>"
                                  L"<VerticalLayout name=\"root\"><Combo name=\"combo\" " + attributes + L">" +
                                  items + L"</Combo><Button name=\"other\" height=\"20\"/><Control/>"
                                  L"</VerticalLayout></Window>";
        if (!Open(skin.c_str(), width, height, &tags))
            return false;
        combo = Find<CComboUI>(L"combo");
        return combo != nullptr;
    }
    POINT Center() const
    {
        const RECT& rc = combo->GetPos();
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    HWND Drop() const { return combo->GetDropWindow() != nullptr ? combo->GetDropWindow()->GetHWND() : nullptr; }
    // The items belong to the combo again: its host, the combo as parent, indexes in order.
    bool ItemsHome() const
    {
        for (int i = 0; i < combo->GetCount(); ++i) {
            CControlUI* item = combo->GetItemAt(i);
            auto* listItem = static_cast<IListItemUI*>(item->GetInterface(L"ListItem"));
            if (item->GetManager() != Host() || item->GetParent() != combo || listItem->GetIndex() != i)
                return false;
        }
        return true;
    }
    std::vector<std::wstring> Selections() const
    {
        std::vector<std::wstring> out;
        for (const auto& r : rec.OfType(L"itemselect"))
            out.push_back(std::to_wstring(r.wParam) + L"<" + std::to_wstring(static_cast<int>(r.lParam)));
        return out;
    }
};

struct ComboLifetime : kit::GuardedTest {};

} // namespace

TEST(Combo, InterfacesAttributesAndSize)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"textpadding=\"1,2,3,4\" dropboxsize=\"120,50\" dropbox=\"inset=&quot;1,1,1,1&quot;\" "
                            L"itemtextcolor=\"#FF112233\" itemalign=\"center\" itemendellipsis=\"true\"",
                            Labels(2)));
    CComboUI* c = h.combo;
    EXPECT_EQ(std::wstring(c->GetClass()), L"ComboUI");
    EXPECT_EQ(c->GetInterface(L"Combo"), c);
    EXPECT_EQ(c->GetInterface(L"IListOwner"), static_cast<IListOwnerUI*>(c));
    EXPECT_EQ(c->GetInterface(L"IContainer"), static_cast<IContainerUI*>(c));
    EXPECT_EQ(c->GetBehaviourFlags(), 1u);
    EXPECT_EQ(kit::Text(c->GetTextPadding()), "1,2,3,4");
    EXPECT_EQ(kit::Text(c->GetDropBoxSize()), "120,50");
    EXPECT_EQ(std::wstring(c->GetDropBoxAttributeList().GetData()), L"inset=\"1,1,1,1\"");
    const ListInfo* info = c->GetListInfo();
    EXPECT_EQ(info->textColor, 0xFF112233u);
    EXPECT_EQ(info->textStyle, UINT{DT_VCENTER | DT_CENTER});  // no end ellipsis in combos
    EXPECT_EQ(info->selectedBkColor, 0xFFC1E3FFu);
    EXPECT_TRUE(info->enableHotBkColor && info->enableSelectedBkColor);
    // Automatic height: the default font's line and 12; a fixed height wins.
    const int line = h.Host()->GetDefaultFontEntry()->metrics.tmHeight;
    EXPECT_EQ(c->GetHeight(), line + 12);
    c->SetFixedHeight(30);
    EXPECT_EQ(c->GetDesiredSize(SIZE{200, 100}).cy, 30);
    EXPECT_FALSE(c->Add(nullptr));
    EXPECT_FALSE(c->AddAt(nullptr, 0));
}

TEST(Combo, SelectItemClampsRefusesAndNotifies)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"", Labels(4, 20, [](int i) {
                                return std::wstring(i == 1 ? L"enabled=\"false\"" : i == 2 ? L"visible=\"false\"" : L"");
                            })));
    const struct {
        int index;
        bool result;
        int cur;
        const wchar_t* text;
    } steps[] = {{0, true, 0, L"item 0"}, {9, true, 3, L"item 3"}, {3, true, 3, L"item 3"},
                 {1, false, -1, L""},     {0, true, 0, L"item 0"}, {2, false, -1, L""}, {-1, true, -1, L""}};
    for (const auto& s : steps) {
        EXPECT_EQ(h.combo->SelectItem(s.index), s.result) << s.index;
        EXPECT_EQ(h.combo->GetCurSel(), s.cur) << s.index;
        EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), s.text) << s.index;
    }
    EXPECT_TRUE(kit::SameSequence(h.Selections(), {L"0<-1", L"3<0", L"0<-1"}));
}

TEST(Combo, KeysAndWheelMoveTheSelectionWhileClosed)
{
    // Items 1 and 4 are disabled: keys skip them, and a move with nothing further keeps the
    // selection.
    const struct {
        int start;
        UINT key;     // 0: the wheel
        int delta;
        int expected;
    } cases[] = {{0, VK_DOWN, 0, 2},  {2, VK_UP, 0, 0},     {0, VK_UP, 0, 0},   {3, VK_DOWN, 0, 3},
                 {0, VK_NEXT, 0, 2},  {3, VK_PRIOR, 0, 2},  {3, VK_HOME, 0, 0}, {0, VK_END, 0, 3},
                 {0, 0, -120, 2},     {2, 0, 120, 0},       {3, 0, -120, 3}};
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(5, 20, [](int i) {
                                    return std::wstring(i == 1 || i == 4 ? L"enabled=\"false\"" : L"");
                                })));
        h.combo->SelectItem(c.start);
        h.combo->SetFocus();
        kit::Input in(h.win.Hwnd());
        if (c.key != 0)
            in.Key(c.key);
        else
            in.Wheel(h.Center().x, h.Center().y, c.delta);
        EXPECT_EQ(h.combo->GetCurSel(), c.expected) << c.start << " " << c.key << " " << c.delta;
        EXPECT_TRUE(DropWindows().empty());
    }
}

TEST(Combo, ItemOperationsKeepTheSelection)
{
    const struct {
        const char* what;
        std::function<void(CComboUI*)> change;
        int cur;
        const wchar_t* text;
    } cases[] = {
        {"AddAt before", [](CComboUI* c) { c->AddAt(new CListLabelElementUI(), 0); }, 2, L"item 1"},
        {"AddAt after", [](CComboUI* c) { c->AddAt(new CListLabelElementUI(), 2); }, 1, L"item 1"},
        {"remove selected", [](CComboUI* c) { c->RemoveAt(1); }, 1, L"item 2"},
        {"remove before", [](CComboUI* c) { c->Remove(c->GetItemAt(0)); }, 0, L"item 1"},
        {"move selected", [](CComboUI* c) { c->SetItemIndex(c->GetItemAt(1), 2); }, 2, L"item 1"},
        {"move before", [](CComboUI* c) { c->SetItemIndex(c->GetItemAt(0), 2); }, 0, L"item 1"},
        {"remove all", [](CComboUI* c) { c->RemoveAll(); }, -1, L""},
    };
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
        h.combo->SelectItem(1);
        c.change(h.combo);
        EXPECT_EQ(h.combo->GetCurSel(), c.cur) << c.what;
        EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), c.text) << c.what;
        EXPECT_TRUE(h.ItemsHome()) << c.what;
    }
}

TEST(ComboDrop, F4AndClickOpenOnePopupBelowTheCombo)
{
    for (const bool byKey : {true, false}) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"height=\"24\"", Labels(3)));
        h.combo->SelectItem(0);
        h.rec.Clear();
        kit::Input in(h.win.Hwnd());
        if (byKey) {
            h.combo->SetFocus();
            in.Key(VK_F4);
        } else {
            in.Click(h.Center().x, h.Center().y);
            EXPECT_NE(h.combo->GetState() & kStatePushed, 0u);
        }
        const std::vector<HWND> drops = DropWindows();
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(h.Drop(), drops[0]);
        EXPECT_EQ(h.rec.Count(L"dropdown"), 1);
        EXPECT_TRUE(h.combo->Activate());  // already open: no second window
        EXPECT_EQ(DropWindows().size(), 1u);
        const LONG style = ::GetWindowLongW(drops[0], GWL_STYLE);
        EXPECT_TRUE((style & WS_POPUP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_CHILD) == 0);
        EXPECT_NE(::GetWindowLongW(drops[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(::GetWindow(drops[0], GW_OWNER), h.win.Hwnd());
        // Below the combo, as wide, three 20-pixel items and the frame of 4 high.
        RECT rc = {};
        ::GetWindowRect(drops[0], &rc);
        const RECT& box = h.combo->GetPos();
        EXPECT_EQ(kit::Text(rc), kit::Text(RECT{40 + box.left, 40 + box.bottom, 40 + box.right, 40 + box.bottom + 64}));
        // The items are the pop-up's while it is open.
        CComboWnd* wnd = h.combo->GetDropWindow();
        EXPECT_EQ(h.combo->GetItemAt(2)->GetManager(), &wnd->GetHost());
        EXPECT_EQ(h.combo->GetItemAt(2)->GetParent(), wnd->GetList());
        kit::Input(drops[0]).Key(VK_RETURN);
        EXPECT_TRUE(DropWindows().empty());
        EXPECT_EQ(h.combo->GetDropWindow(), nullptr);
        EXPECT_EQ(h.combo->GetState() & kStatePushed, 0u);
        EXPECT_TRUE(h.ItemsHome());
        EXPECT_EQ(h.combo->GetCurSel(), 0);
        EXPECT_EQ(h.Host()->GetFocus(), h.combo);
    }
}

TEST(ComboDrop, SizeFollowsDropBoxSizeItemsAndDropBoxAttributes)
{
    const struct {
        const wchar_t* attributes;
        int items;
        int width;
        int height;
        bool scrolls;
    } cases[] = {{L"", 20, 200, 150, true},
                 {L"dropboxsize=\"120,50\"", 5, 120, 50, true},
                 {L"dropboxsize=\"120,50\"", 2, 120, 44, false},
                 {L"dropbox=\"bkcolor=&quot;#FF00FF00&quot; inset=&quot;1,1,1,1&quot;\"", 1, 200, 24, false}};
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(c.attributes, Labels(c.items)));
        ASSERT_TRUE(h.combo->Activate());
        kit::Drain();
        RECT rc = {};
        ::GetWindowRect(h.Drop(), &rc);
        EXPECT_EQ(kit::Text(SIZE{rc.right - rc.left, rc.bottom - rc.top}), kit::Text(SIZE{c.width, c.height}));
        CVerticalLayoutUI* list = h.combo->GetDropWindow()->GetList();
        EXPECT_EQ(list->GetVerticalScrollBar()->IsVisible(), c.scrolls);
        EXPECT_EQ(list->GetBorderColor(), 0xFF85E4FFu);
        if (c.items == 1) {
            EXPECT_EQ(list->GetBkColor(), 0xFF00FF00u);
            EXPECT_EQ(kit::Text(list->GetInset()), "1,1,1,1");
        }
        if (c.scrolls) {
            // A click on the scroll bar keeps the list open.
            const RECT& bar = list->GetVerticalScrollBar()->GetPos();
            kit::Input(h.Drop()).Click((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
            EXPECT_EQ(DropWindows().size(), 1u);
        }
    }
}

TEST(ComboDrop, OpensAboveTheComboNearTheWorkAreaBottom)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"height=\"24\"", Labels(3)));
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(h.win.Hwnd(), nullptr, 40, work.bottom - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(h.combo->Activate());
    RECT rc = {}, box = h.combo->GetPos();
    ::GetWindowRect(h.Drop(), &rc);
    ::MapWindowPoints(h.win.Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(kit::Text(rc), kit::Text(RECT{box.left, box.top - 64, box.right, box.top}));
}

TEST(ComboDrop, MousePickSelectsNotifiesAndCloses)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
    h.combo->SelectItem(0);
    ASSERT_TRUE(h.combo->Activate());
    h.rec.Clear();
    kit::Input(h.Drop()).Click(20, 2 + 20 + 10);  // item 1, under the list's inset of 2
    kit::Drain();
    EXPECT_TRUE(kit::SameSequence(h.Selections(), {L"1<0"}));
    EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), L"item 1");
    EXPECT_TRUE(DropWindows().empty());
    EXPECT_TRUE(h.ItemsHome());
}

TEST(ComboDrop, EscapeRestoresTheSelectionItOpenedWith)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
    h.combo->SelectItem(0);
    ASSERT_TRUE(h.combo->Activate());
    h.rec.Clear();
    // Two keys typed before the pop-up handles the close the first one asks for.
    ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_ESCAPE, 0);
    kit::Drain();
    EXPECT_TRUE(kit::SameSequence(h.Selections(), {L"1<0", L"0<1"}));
    EXPECT_EQ(h.combo->GetCurSel(), 0);
    EXPECT_TRUE(DropWindows().empty());
}

TEST(Combo, ClearOnPressAndDisabledCombo)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
    h.combo->SelectItem(1);
    h.combo->SetClearSelectionOnPress(true);
    kit::Input in(h.win.Hwnd());
    in.Click(h.Center().x, h.Center().y);
    EXPECT_EQ(h.combo->GetCurSel(), -1);
    EXPECT_TRUE(h.combo->GetText().IsEmpty());
    EXPECT_EQ(DropWindows().size(), 1u);
    kit::Input(h.Drop()).Key(VK_ESCAPE);

    // Disabled: no pop-up by click or Activate, its state cleared.
    in.Move(h.Center().x, h.Center().y);
    EXPECT_NE(h.combo->GetState() & kStateHot, 0u);
    h.combo->SetEnabled(false);
    EXPECT_EQ(h.combo->GetState(), 0u);
    h.rec.Clear();
    in.Click(h.Center().x, h.Center().y);
    EXPECT_FALSE(h.combo->Activate());
    EXPECT_TRUE(DropWindows().empty());
    EXPECT_EQ(h.rec.Count(L"dropdown"), 0);
}

TEST(Combo, ClosedBoxPaintsTheSelectedItemOnly)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"height=\"24\" itemselectedtextcolor=\"#FFFF0000\"",
                            L"<Chameleon name=\"c\" text=\"MMMM\" height=\"20\"/>" + Labels(1)));
    auto* chameleon = h.Find<Chameleon>(L"c");
    const RECT box = h.combo->GetPos();
    const auto countRed = [&] {
        auto shot = kit::CaptureClient(h.win.Hwnd());
        int red = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                red += shot->Pixel(x, y) == 0xFF0000u;
        return red;
    };
    EXPECT_EQ(countRed(), 0);
    h.combo->SelectItem(0);
    EXPECT_GT(countRed(), 0);  // through the item's text drawing
    // A selected child that is no list item is painted itself at the box, background and all,
    // and put back without a repaint request (which would repaint for ever).
    chameleon->hidden = true;
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(kit::CaptureClient(h.win.Hwnd())->Pixel(box.left + 2, box.top + 2), 0xC1E3FFu);
    EXPECT_EQ(kit::Text(chameleon->GetPos()), "0,0,0,0");
    kit::Drain();
    EXPECT_FALSE(::GetUpdateRect(h.win.Hwnd(), nullptr, FALSE));
}

TEST_F(ComboLifetime, ItemChangesWhileOpenCloseThePopupFirst)
{
    const struct {
        const char* what;
        std::function<void(CComboUI*)> change;
        int count;
    } cases[] = {
        {"Add", [](CComboUI* c) { EXPECT_TRUE(c->Add(new CListLabelElementUI())); }, 4},
        {"AddAt", [](CComboUI* c) { EXPECT_TRUE(c->AddAt(new CListLabelElementUI(), 1)); }, 4},
        {"Remove", [](CComboUI* c) { EXPECT_TRUE(c->Remove(c->GetItemAt(2))); }, 2},
        {"RemoveAt", [](CComboUI* c) { EXPECT_TRUE(c->RemoveAt(0)); }, 2},
        {"RemoveAll", [](CComboUI* c) { c->RemoveAll(); }, 0},
        {"SetItemIndex", [](CComboUI* c) { EXPECT_TRUE(c->SetItemIndex(c->GetItemAt(0), 2)); }, 3},
    };
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
        h.combo->SelectItem(1);
        ASSERT_TRUE(h.combo->Activate());
        kit::Drain();
        c.change(h.combo);
        EXPECT_TRUE(DropWindows().empty()) << c.what;  // closed before the change
        EXPECT_EQ(h.combo->GetCount(), c.count) << c.what;
        EXPECT_TRUE(h.ItemsHome()) << c.what;
        ASSERT_TRUE(h.win.Layout());
        ASSERT_TRUE(h.combo->Activate()) << c.what;  // opens again on the new items
        kit::Drain();
        kit::Input(h.Drop()).Key(VK_ESCAPE);
        EXPECT_TRUE(h.ItemsHome()) << c.what;
    }
}

TEST_F(ComboLifetime, DestroyingTheWindowOrTheComboWhileOpen)
{
    enum Way { kDirect, kOnDropdown, kOnPick, kOnEscape, kRemoveCombo };
    for (const Way way : {kDirect, kOnDropdown, kOnPick, kOnEscape, kRemoveCombo}) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
        h.combo->SelectItem(0);
        HWND main = h.win.Hwnd();
        // The listener destroys the window at the dropdown, or at the pick's or Escape's
        // selection (the second one, after the key Down's).
        const int selections = way == kOnPick ? 1 : way == kOnEscape ? 2 : 0;
        h.rec.Clear();
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if ((way == kOnDropdown && msg.type == L"dropdown") ||
                (selections > 0 && msg.type == L"itemselect" && h.rec.Count(L"itemselect") == selections))
                ::DestroyWindow(main);
        };
        h.combo->Activate();
        kit::Drain();
        if (way == kDirect) {
            ::DestroyWindow(main);
        } else if (way == kOnPick) {
            kit::Input(h.Drop()).Click(20, 2 + 40 + 10);
        } else if (way == kOnEscape) {
            ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_ESCAPE, 0);
        } else if (way == kRemoveCombo) {
            static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.combo);
        }
        kit::Drain();
        EXPECT_TRUE(DropWindows().empty()) << way;
        EXPECT_EQ(h.win.IsOpen(), way == kRemoveCombo) << way;
        EXPECT_TRUE(kit::NoFreedMemoryTouched()) << way;
    }
}
