// The hot-key field in a real window: the native hot-key control's class, placement and
// visibility, combinations pressed in it shown with the keyboard layout's key names,
// "hotkeychanged" on every change and on leaving, Return, and a field deleted while its native
// window is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "CustomTags.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"
#include "uitoolkit/controls/EditDriver.h"
#include "uitoolkit/controls/ContainerUI.h"

using namespace SkinUI;
using buttons_fixture::Skin;
using xml_host::XmlHost;

namespace {

const wchar_t kNone[] = L"\u65E0";

// The layout's own name of a key, as the field must show it.
std::wstring LayoutName(UINT vk, bool extended = false)
{
    wchar_t name[256] = {};
    const LONG data = static_cast<LONG>((::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16) | (extended ? 1u << 24 : 0u));
    ::GetKeyNameTextW(data, name, 256);
    return name;
}

const wchar_t kFields[] = L"<HotKeyEdit name=\"k\" float=\"true\" pos=\"10,10,210,40\"/>"
                          L"<Edit name=\"other\" float=\"true\" pos=\"10,50,210,80\"/>";

struct HotKeys : ::testing::Test {
    custom_tags::CustomTags tags;
    XmlHost h;
    void SetUp() override { ASSERT_TRUE(h.Open(Skin(kFields).c_str(), 300, 120, &tags)); }
    CHotKeyEditUI* Field() const { return h.Find<CHotKeyEditUI>(L"k"); }
    HWND Focus() { return edit_driver::Focus(Field()); }
    void Leave()
    {
        h.Find(L"other")->SetFocus();
        kit::Drain();
    }
    static void Press(HWND native, UINT vk) { ::SendMessageW(native, WM_KEYDOWN, vk, 1 | (::MapVirtualKeyW(vk, 0) << 16)); }
    std::wstring Text() const { return std::wstring(Field()->GetText()); }
};

} // namespace

TEST_F(HotKeys, NamesAndInterfaces)
{
    EXPECT_EQ(std::wstring(Field()->GetClass()), L"HotKeyEditUI");
    EXPECT_EQ(Field()->GetInterface(L"HotKeyEdit"), Field());
    EXPECT_EQ(Field()->GetInterface(L"Edit"), Field());
    const HWND native = Focus();
    ASSERT_NE(native, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(native, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"HotKeyEditWnd");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(native, GWL_STYLE)) & (WS_CHILD | 0x80), DWORD{WS_CHILD | 0x80});
    EXPECT_EQ(::GetParent(native), h.win.Hwnd());
    EXPECT_EQ(::GetFocus(), native);
}

TEST_F(HotKeys, PressedCombinationsShowTheLayoutsKeyNames)
{
    const HWND native = Focus();
    ASSERT_NE(native, nullptr);
    Press(native, VK_CONTROL);
    Press(native, VK_SHIFT);
    Press(native, 'A');
    const std::wstring expected = LayoutName(VK_CONTROL) + L" + " + LayoutName(VK_SHIFT) + L" + " + LayoutName('A');
    EXPECT_EQ(Text(), expected);
    EXPECT_GE(h.rec.Count(L"hotkeychanged"), 1);
    EXPECT_EQ(Field()->GetVirtualKey(), 'A');
    EXPECT_EQ(Field()->GetModifiers(), HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    // Leaving reports the final combination once more; the native window stays.
    h.rec.Clear();
    Leave();
    EXPECT_TRUE(kit::SameSequence(h.rec.Types({L"hotkeychanged"}), {L"hotkeychanged"}));
    EXPECT_EQ(Text(), expected);
    EXPECT_TRUE(::IsWindow(native));
    // Return in the native window is "return" and keeps the combination.
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(h.rec.Count(L"return"), 1);
    EXPECT_EQ(Field()->GetVirtualKey(), 'A');
}

TEST_F(HotKeys, ExtendedKeysAndTheEmptyCombination)
{
    // Nothing pressed: "无" on leaving.
    const HWND native = Focus();
    Leave();
    EXPECT_EQ(Text(), kNone);
    EXPECT_EQ(h.rec.Count(L"hotkeychanged"), 1);
    // Ctrl alone is no combination.
    EXPECT_EQ(Focus(), native);
    ::SendMessageW(native, HKM_SETHOTKEY, MAKEWORD(0, HOTKEYF_CONTROL), 0);
    Leave();
    EXPECT_EQ(Field()->GetModifiers(), 0);
    EXPECT_EQ(Text(), kNone);
    EXPECT_EQ(h.rec.Count(L"hotkeychanged"), 2);
    // An extended key set in the native window is named as extended.
    Focus();
    ::SendMessageW(native, HKM_SETHOTKEY, MAKEWORD(VK_INSERT, HOTKEYF_EXT | HOTKEYF_ALT), 0);
    Leave();
    EXPECT_EQ(Text(), LayoutName(VK_MENU) + L" + " + LayoutName(VK_INSERT, true));
    // Set by the program, into the open native window too.
    Field()->SetHotKey(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(Text(), LayoutName(VK_CONTROL) + L" + " + LayoutName(VK_MENU) + L" + " + LayoutName(VK_F5));
    EXPECT_EQ(::SendMessageW(native, HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT));
    Field()->SetHotKey(0, 0);
    EXPECT_EQ(Text(), kNone);
}

TEST_F(HotKeys, PlacementVisibilityAndEnabledState)
{
    const HWND native = Focus();
    ASSERT_NE(native, nullptr);
    const auto placed = [&] {
        RECT rc;
        ::GetWindowRect(native, &rc);
        ::MapWindowPoints(nullptr, h.win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return kit::Text(rc);
    };
    EXPECT_EQ(placed(), "14,13,206,37");  // the control less its text padding
    Field()->SetPos(RECT{20, 60, 120, 100});
    EXPECT_EQ(placed(), "24,63,116,97");
    Field()->SetEnabled(false);
    EXPECT_FALSE(::IsWindowVisible(native));
    Field()->SetEnabled(true);
    EXPECT_TRUE(::IsWindowVisible(native));
    // Hidden: the host's focus goes, the window stays but is not shown over other controls.
    Field()->SetVisible(false);
    kit::Drain();
    EXPECT_EQ(h.Host()->GetFocus(), nullptr);
    EXPECT_TRUE(::IsWindow(native));
    EXPECT_FALSE(::IsWindowVisible(native));
    Field()->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(native));
    // Focusing the field again hands the keyboard to the open window.
    Leave();
    EXPECT_NE(::GetFocus(), native);
    Focus();
    EXPECT_EQ(::GetFocus(), native);
}

// The field deleted while its native window is open: the window goes with it and never reaches
// the dead field, also when it reports the combination on its way out.
TEST(HotKeyLifetime, DeletedWhileTheNativeWindowIsOpen)
{
    kit::GuardedScope guard;
    custom_tags::CustomTags tags;
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(kFields).c_str(), 300, 120, &tags));
    h.Find(L"k")->SetFocus();
    kit::Drain();
    const HWND native = h.Find<CHotKeyEditUI>(L"k")->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    ::SendMessageW(native, HKM_SETHOTKEY, 'B', 0);
    static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"k"));
    kit::Drain();
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(h.rec.Count(L"hotkeychanged"), 0);
    h.win.Layout();
}
