// Combo boxes from skins in real windows: selection, keys and the wheel while closed, the pop-up
// "ComboWnd" (opening, place and size, a pick, Escape, its scroll bar), clearing on press, a
// disabled combo, the closed box's painting, and item changes or destroyed windows while the
// pop-up is open.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ListFixture.h"
#include "kit/GuardedHeap.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/ComboWnd.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

using namespace SkinUI;
using namespace kit;
using namespace list_fixture;

namespace {

int CountDropWindows()
{
    int count = 0;
    for (HWND hWnd = nullptr; (hWnd = ::FindWindowExW(nullptr, hWnd, L"ComboWnd", nullptr)) != nullptr;)
        ++count;
    return count;
}

// A label element that can stop being a list item, for the closed box's other painting path.
struct Chameleon : CListLabelElementUI {
    void* GetInterface(const wchar_t* name) override
    {
        return hidden && std::wstring(name) == L"ListItem" ? nullptr : CListLabelElementUI::GetInterface(name);
    }
    bool hidden = false;
};

struct ComboHost : XmlHost {
    CComboUI* combo = nullptr;
    TagTable tags{{L"Chameleon", &Make<Chameleon>}};

    bool OpenCombo(const std::wstring& attributes, const std::wstring& items)
    {
        combo = Open(L"<Window><Font name=\"Arial\" size=\"12\" default=\"true\"/><VerticalLayout name=\"root\">"
                     L"<Combo name=\"combo\" " + attributes + L">" + items + L"</Combo><Control/></VerticalLayout></Window>",
                     200, 150, &tags)
                    ? Find<CComboUI>(L"combo")
                    : nullptr;
        return combo != nullptr;
    }
    POINT Center() const { return POINT{combo->GetX() + combo->GetWidth() / 2, combo->GetY() + combo->GetHeight() / 2}; }
    void ClickCenter() const { In().Click(Center().x, Center().y); }
    HWND Drop() const { return combo->GetDropWindow() != nullptr ? combo->GetDropWindow()->GetHWND() : nullptr; }
    // The items belong to the combo again: its host, the combo as parent, indexes in order.
    bool ItemsHome() const
    {
        for (int i = 0; i < combo->GetCount(); ++i) {
            CControlUI* item = combo->GetItemAt(i);
            if (item->GetManager() != Host() || item->GetParent() != combo || AsItem(item)->GetIndex() != i)
                return false;
        }
        return true;
    }
};

} // namespace

TEST(Combo, SelectionKeysAndWheelWhileClosed)
{
    ComboHost h;
    // Items 1 and 4 are disabled, item 2 hidden: refused, skipped; nothing further keeps the selection.
    ASSERT_TRUE(h.OpenCombo(L"", Labels(5, 20, [](int i) {
                                return i % 3 == 1 ? L"enabled=\"false\"" : i == 2 ? L"visible=\"false\"" : L"";
                            })));
    const int steps[][3] = {{1, false, -1}, {0, true, 0}, {2, false, -1}, {3, true, 3}, {-1, false, -1}, {-1, true, -1}};
    for (const auto& [index, result, cur] : steps) {
        EXPECT_EQ(h.combo->SelectItem(index), result != 0) << index;
        EXPECT_EQ(h.combo->GetCurSel(), cur) << index;
        EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), cur < 0 ? L"" : L"item " + std::to_wstring(cur));
    }
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"0<-1", L"3<-1"}));
    // Keys, or the wheel by its delta (key 0), from a start selection.
    const int cases[][4] = {{0, VK_DOWN, 0, 3}, {3, VK_UP, 0, 0},    {0, VK_UP, 0, 0},   {3, VK_DOWN, 0, 3},
                            {0, VK_NEXT, 0, 3}, {3, VK_PRIOR, 0, 0}, {3, VK_HOME, 0, 0}, {0, VK_END, 0, 3},
                            {0, 0, -120, 3},    {3, 0, 120, 0},      {3, 0, -120, 3}};
    h.combo->SetFocus();
    for (const auto& [start, key, delta, expected] : cases) {
        h.combo->SelectItem(start);
        key != 0 ? h.In().Key(static_cast<UINT>(key)) : h.In().Wheel(h.Center().x, h.Center().y, delta);
        EXPECT_EQ(h.combo->GetCurSel(), expected) << start << " " << key << " " << delta;
    }
    EXPECT_EQ(CountDropWindows(), 0);
    h.combo->GetItemAt(4)->SetEnabled(true);
    EXPECT_TRUE(h.combo->SelectItem(9));  // past the end: the last item
    EXPECT_EQ(h.combo->GetCurSel(), 4);
}

TEST(ComboDrop, F4AndClickOpenOnePopupBelowTheCombo)
{
    for (const bool byKey : {true, false}) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"itemendellipsis=\"true\"", Labels(3)));
        EXPECT_EQ(h.combo->GetInterface(L"IListOwner"), static_cast<IListOwnerUI*>(h.combo));
        EXPECT_EQ(h.combo->GetListInfo()->textStyle, UINT{DT_VCENTER});  // no end ellipsis in combos
        // Automatic height: the default font's line and 12.
        EXPECT_EQ(h.combo->GetHeight(), h.Host()->GetDefaultFontEntry()->metrics.tmHeight + 12);
        h.combo->SelectItem(0);
        h.combo->SetFocus();
        h.rec.Clear();
        byKey ? h.In().Key(VK_F4) : h.ClickCenter();
        EXPECT_EQ(h.combo->GetState() & kStatePushed, byKey ? 0u : kStatePushed);
        EXPECT_TRUE(h.combo->Activate());  // already open: no second window
        ASSERT_EQ(CountDropWindows(), 1);
        HWND drop = ::FindWindowExW(nullptr, nullptr, L"ComboWnd", nullptr);
        EXPECT_EQ(h.Drop(), drop);
        EXPECT_EQ(h.rec.Count(L"dropdown"), 1);
        EXPECT_EQ(::GetWindowLongW(drop, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
        EXPECT_NE(::GetWindowLongW(drop, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(::GetWindow(drop, GW_OWNER), h.win.Hwnd());
        // Below the combo, as wide, three 20-pixel items and the frame of 4 high; the items are
        // the pop-up's meanwhile.
        RECT rc = {}, box = h.combo->GetPos();
        ::GetWindowRect(drop, &rc);
        EXPECT_EQ(Text(rc), Text(RECT{40 + box.left, 40 + box.bottom, 40 + box.right, 104 + box.bottom}));
        EXPECT_EQ(h.combo->GetItemAt(2)->GetParent(), h.combo->GetDropWindow()->GetList());
        Input(drop).Key(VK_RETURN);
        EXPECT_TRUE(CountDropWindows() == 0 && h.combo->GetDropWindow() == nullptr);
        EXPECT_EQ(h.combo->GetState() & kStatePushed, 0u);
        EXPECT_TRUE(h.ItemsHome() && h.combo->GetCurSel() == 0 && h.Host()->GetFocus() == h.combo);
    }
}

TEST(ComboDrop, SizeFromDropBoxSizeItemsAndAttributesAndTheFlip)
{
    const struct {
        const wchar_t* attributes;
        int items;
        int width, height;
        bool nearBottom;  // of the work area: the list opens above the combo
    } cases[] = {{L"", 20, 200, 150, false}, {L"dropboxsize=\"120,50\"", 5, 120, 50, false},
                 {L"dropboxsize=\"120,50\"", 2, 120, 44, false}, {L"", 3, 200, 64, true},
                 {L"dropbox=\"bkcolor=&quot;#FF00FF00&quot; inset=&quot;1,1,1,1&quot;\"", 1, 200, 24, false}};
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(c.attributes, Labels(c.items)));
        RECT work = {};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        if (c.nearBottom)
            ::SetWindowPos(h.win.Hwnd(), nullptr, 40, work.bottom - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(h.combo->Activate());
        Drain();
        RECT rc = {}, box = h.combo->GetPos();
        ::GetWindowRect(h.Drop(), &rc);
        ::MapWindowPoints(h.win.Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&box), 2);
        const LONG top = c.nearBottom ? box.top - c.height : box.bottom;
        EXPECT_EQ(Text(rc), Text(RECT{box.left, top, box.left + c.width, top + c.height})) << c.items;
        CVerticalLayoutUI* list = h.combo->GetDropWindow()->GetList();
        EXPECT_EQ(list->GetBkColor(), c.items == 1 ? 0xFF00FF00u : 0xFFFFFFFFu);
        EXPECT_EQ(Text(list->GetInset()), c.items == 1 ? "1,1,1,1" : "2,2,2,2");
        EXPECT_EQ(list->GetVerticalScrollBar()->IsVisible(), c.items >= 5);
        if (c.items >= 5) {  // a click on the scroll bar keeps the list open
            const RECT& bar = list->GetVerticalScrollBar()->GetPos();
            Input(h.Drop()).Click((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
            EXPECT_EQ(CountDropWindows(), 1);
        }
    }
}

TEST(ComboDrop, PickEscapeClearOnPressAndDisabled)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
    h.combo->SelectItem(0);
    ASSERT_TRUE(h.combo->Activate());
    h.rec.Clear();
    Input(h.Drop()).Click(20, 2 + 20 + 10);  // item 1, under the list's inset of 2
    EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), L"item 1");
    EXPECT_TRUE(CountDropWindows() == 0 && h.ItemsHome());
    // Escape restores the opening selection, even after a key typed before the pop-up handled
    // the close that key asked for.
    ASSERT_TRUE(h.combo->Activate());
    ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_ESCAPE, 0);
    Drain();
    EXPECT_TRUE(SameSequence(Selections(h.rec), {L"1<0", L"2<1", L"1<2"}));
    EXPECT_EQ(CountDropWindows(), 0);
    // Clearing on press.
    h.combo->SetClearSelectionOnPress(true);
    h.ClickCenter();
    EXPECT_TRUE(h.combo->GetCurSel() == -1 && h.combo->GetText().IsEmpty() && CountDropWindows() == 1);
    Input(h.Drop()).Key(VK_ESCAPE);
    // Disabled: state cleared, no pop-up by click or Activate.
    h.In().Move(h.Center().x, h.Center().y);
    EXPECT_NE(h.combo->GetState() & kStateHot, 0u);
    h.combo->SetEnabled(false);
    EXPECT_EQ(h.combo->GetState(), 0u);
    h.rec.Clear();
    h.ClickCenter();
    EXPECT_FALSE(h.combo->Activate());
    EXPECT_TRUE(CountDropWindows() == 0 && h.rec.Count(L"dropdown") == 0);
}

TEST(Combo, ClosedBoxPaintsTheSelectedItemOnly)
{
    ComboHost h;
    ASSERT_TRUE(h.OpenCombo(L"height=\"24\" itemselectedtextcolor=\"#FFFF0000\"",
                            L"<Chameleon name=\"c\" text=\"MMMM\" height=\"20\"/>" + Labels(1)));
    const RECT box = h.combo->GetPos();
    EXPECT_EQ(h.CountNear(box, kRed), 0);
    h.combo->SelectItem(0);
    EXPECT_GT(h.CountNear(box, kRed), 0);  // through the item's text drawing
    // A selected child that is no list item paints itself at the box, background and all, and
    // is put back without a repaint request (which would repaint for ever).
    auto* chameleon = h.Find<Chameleon>(L"c");
    chameleon->hidden = true;
    ASSERT_TRUE(h.win.Layout());
    EXPECT_EQ(h.Pixel(box.left + 2, box.top + 2), 0xC1E3FFu);  // the list's selected background
    EXPECT_EQ(Text(chameleon->GetPos()), "0,0,0,0");
    Drain();
    EXPECT_FALSE(::GetUpdateRect(h.win.Hwnd(), nullptr, FALSE));
}

TEST(ComboLifetime, ItemChangesWhileOpenCloseThePopupAndKeepTheSelection)
{
    GuardedScope guard;
    const struct {
        std::function<bool(CComboUI*)> change;
        int count;
        int cur;  // selected before: item 1
        const wchar_t* text;
    } cases[] = {{[](CComboUI* c) { return c->Add(new CListLabelElementUI()); }, 4, 1, L"item 1"},
                 {[](CComboUI* c) { return c->AddAt(new CListLabelElementUI(), 0); }, 4, 2, L"item 1"},
                 {[](CComboUI* c) { return c->RemoveAt(1); }, 2, 1, L"item 2"},  // the next took its place
                 {[](CComboUI* c) { return c->Remove(c->GetItemAt(0)); }, 2, 0, L"item 1"},
                 {[](CComboUI* c) { return c->SetItemIndex(c->GetItemAt(1), 2); }, 3, 2, L"item 1"},
                 {[](CComboUI* c) { c->RemoveAll(); return !c->Add(nullptr) && !c->AddAt(nullptr, 0); }, 0, -1, L""}};
    for (const auto& c : cases) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
        h.combo->SelectItem(1);
        ASSERT_TRUE(h.combo->Activate());
        Drain();
        EXPECT_TRUE(c.change(h.combo)) << c.count;
        EXPECT_EQ(CountDropWindows(), 0);  // closed before the change
        EXPECT_TRUE(h.combo->GetCount() == c.count && h.combo->GetCurSel() == c.cur && h.ItemsHome()) << c.count;
        EXPECT_EQ(std::wstring(h.combo->GetText().GetData()), c.text);
        ASSERT_TRUE(h.win.Layout());
        ASSERT_TRUE(h.combo->Activate());  // opens again on the new items
        Input(h.Drop()).Key(VK_ESCAPE);
        EXPECT_TRUE(h.ItemsHome()) << c.count;
    }
}

TEST(ComboLifetime, DestroyingTheWindowOrTheComboWhileOpen)
{
    GuardedScope guard;
    enum Way { kDirect, kOnDropdown, kOnPick, kOnEscape, kRemoveCombo };
    for (const Way way : {kDirect, kOnDropdown, kOnPick, kOnEscape, kRemoveCombo}) {
        ComboHost h;
        ASSERT_TRUE(h.OpenCombo(L"", Labels(3)));
        h.combo->SelectItem(0);
        HWND main = h.win.Hwnd();
        // A listener destroys the window at the dropdown, or at the pick's or Escape's selection
        // (the second one, after that of the key Down).
        const int selections = way == kOnPick ? 1 : way == kOnEscape ? 2 : 0;
        h.rec.Clear();
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if ((way == kOnDropdown && msg.type == L"dropdown") ||
                (selections > 0 && msg.type == L"itemselect" && h.rec.Count(L"itemselect") == selections))
                ::DestroyWindow(main);
        };
        h.combo->Activate();
        Drain();
        if (way == kDirect) {
            ::DestroyWindow(main);
        } else if (way == kOnPick) {
            Input(h.Drop()).Click(20, 2 + 40 + 10);
        } else if (way == kOnEscape) {
            ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageW(h.Drop(), WM_KEYDOWN, VK_ESCAPE, 0);
        } else if (way == kRemoveCombo) {
            h.Remove(L"combo");
        }
        Drain();
        EXPECT_EQ(CountDropWindows(), 0) << way;
        EXPECT_EQ(h.win.IsOpen(), way == kRemoveCombo) << way;
        EXPECT_TRUE(NoFreedMemoryTouched()) << way;
    }
}
