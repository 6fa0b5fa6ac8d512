// The program's own edit fields in real windows. The extended edit: its native edit opening and
// closing with "editwndcreate" / "editwndclose", a click selecting all, typing and pasting
// without spaces and commas, auto-size with and without password characters. The hot-key field:
// the native hot-key control's class, placement and visibility, combinations pressed in it shown
// with the keyboard layout's key names, "hotkeychanged" on every change and on leaving. And
// fields deleted while their native window is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "CustomTags.h"
#include "kit/GuardedHeap.h"

using namespace SkinUI;
using namespace kit;

namespace {

struct Fields : ::testing::Test {
    custom_tags::CustomTags tags;
    XmlHost h;
    // The window focuses its first field when it opens: that native window is closed again.
    bool Open(const std::wstring& fields)
    {
        if (!h.Open(Skin(fields), 400, 120, &tags))
            return false;
        h.Host()->SetFocus(nullptr);
        Drain();
        h.rec.Clear();
        return true;
    }
    static DWORD Caret(HWND hWnd)
    {
        DWORD start = 0, end = 0;
        ::SendMessageW(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }
};

const wchar_t kTwoFields[] = L"<EditEx name=\"e\" float=\"true\" pos=\"10,10,210,40\" text=\"hi\"/>"
                             L"<EditEx name=\"f\" float=\"true\" pos=\"10,50,210,80\"/>";

} // namespace

TEST_F(Fields, EditExOpensOnFocusAndClosesOnFocusLoss)
{
    ASSERT_TRUE(Open(kTwoFields));
    auto* e = h.Find<CEditExUI>(L"e");
    EXPECT_EQ(e->GetBehaviourFlags(), 3u);
    // What the listener sees of the native edit at each notification.
    std::vector<std::wstring> seen;
    HWND opened = nullptr;
    h.rec.onNotify = [&](NotifyMessage& msg) {
        const std::wstring type = msg.type.GetData();
        if (msg.sender == e && type == L"editwndcreate")
            seen.push_back(type + (e->GetNativeWindow() == nullptr ? L":none" : L":open"));
        if (msg.sender == e && type == L"editwndclose")
            seen.push_back(type + (e->GetNativeWindow() == nullptr && !::IsWindowVisible(opened) ? L":gone" : L":open"));
    };
    opened = h.FocusField(L"e");
    ASSERT_NE(opened, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(opened, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"EditWnd");
    EXPECT_EQ(WindowText(opened), L"hi");
    EXPECT_EQ(::GetFocus(), opened);
    h.FocusField(L"f");
    EXPECT_FALSE(::IsWindow(opened));
    EXPECT_EQ(e->GetNativeWindow(), nullptr);
    EXPECT_TRUE(SameSequence(seen, {L"editwndcreate:none", L"editwndclose:gone"}));
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"editwndcreate", L"editwndclose"}),
                             {L"editwndcreate:e", L"editwndcreate:f", L"editwndclose:e"}));

    // A click opens the native edit with all selected; Return there is reported.
    h.In().Click(100, 25);
    Drain();
    const HWND native = e->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    DWORD start = 9, end = 0;
    ::SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::to_string(start) + "," + std::to_string(end), "0,2");
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(h.rec.Count(L"return"), 1);
    EXPECT_EQ(std::wstring(e->GetText()), L"hi");
}

TEST_F(Fields, EditExKeepsSpacesAndCommasOut)
{
    ASSERT_TRUE(Open(kTwoFields));
    auto* f = h.Find<CEditExUI>(L"f");
    const HWND native = h.FocusField(L"f");
    Type(native, L"a b,c");
    EXPECT_EQ(std::wstring(f->GetText()), L"abc");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 3);
    // Inserted text (as a paste or an input method does) is cleaned with the caret kept after it.
    ::SendMessageW(native, EM_SETSEL, 1, 1);
    h.rec.Clear();
    ::SendMessageW(native, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" x,y "));
    EXPECT_EQ(WindowText(native), L"axybc");
    EXPECT_EQ(std::wstring(f->GetText()), L"axybc");
    EXPECT_EQ(Caret(native), 3u);
    EXPECT_EQ(h.rec.Count(L"textchanged"), 1);
    // A real paste from the clipboard.
    ::SetWindowTextW(native, L"");
    ASSERT_TRUE(::OpenClipboard(h.win.Hwnd()));
    ::EmptyClipboard();
    const wchar_t pasted[] = L"a b,c";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(pasted));
    std::memcpy(::GlobalLock(memory), pasted, sizeof(pasted));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    ::SendMessageW(native, WM_PASTE, 0, 0);
    EXPECT_EQ(std::wstring(f->GetText()), L"abc");
    EXPECT_EQ(Caret(native), 3u);
}

TEST_F(Fields, EditExAutoSizeFollowsTheTextBetweenItsLimits)
{
    ASSERT_TRUE(Open(L"<EditEx name=\"e\" autosize=\"true\" minwidth=\"40\" maxwidth=\"200\" activatemaxwidth=\"250\"/>"
                     L"<EditEx name=\"p\" autosize=\"true\" password=\"true\" maxwidth=\"300\"/>"
                     L"<EditEx name=\"f\" float=\"true\" pos=\"0,90,50,110\"/>"));
    auto* e = h.Find<CEditExUI>(L"e");
    const auto widthFor = [](CEditExUI* field, const wchar_t* text) {
        field->SetText(text);
        return field->GetFixedWidth();
    };
    EXPECT_EQ(widthFor(e, L""), 40);                               // the minimum
    EXPECT_EQ(widthFor(e, std::wstring(100, L'm').c_str()), 200);  // the maximum
    const int narrow = widthFor(e, L"iii");
    const int wide = widthFor(e, L"MMMMMM");
    EXPECT_TRUE(wide > narrow && narrow >= 40) << narrow << " " << wide;
    // Password characters measure alike whatever they hide.
    auto* p = h.Find<CEditExUI>(L"p");
    EXPECT_EQ(widthFor(p, L"iii"), widthFor(p, L"MMM"));
    EXPECT_GT(widthFor(p, L"MMMM"), widthFor(p, L"MMM"));
    // While edited the field takes the activate maximum width, and its text's width again after.
    h.FocusField(L"e");
    EXPECT_EQ(e->GetFixedWidth(), 250);
    h.FocusField(L"f");
    EXPECT_EQ(e->GetFixedWidth(), wide);
    // Activate limits ignore negative and unchanged values.
    e->SetActivateMaxWidth(-1);
    EXPECT_EQ(e->GetActivateMaxWidth(), 250);
    e->SetAttribute(L"activateminheight", L"7");
    EXPECT_EQ(e->GetActivateMinHeight(), 7);
    const int font = h.Host()->GetFontEntry(-1)->metrics.tmHeight;
    EXPECT_EQ(Text(e->GetDesiredSize(SIZE{500, 500})), Text(SIZE{wide, font + 6}));
}

// ---- hot-key field -----------------------------------------------------------------------------

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

const wchar_t kHotKey[] = L"<HotKeyEdit name=\"k\" float=\"true\" pos=\"10,10,210,40\"/>"
                          L"<Edit name=\"other\" float=\"true\" pos=\"10,50,210,80\"/>";

struct HotKeys : Fields {
    void SetUp() override { ASSERT_TRUE(h.Open(Skin(kHotKey), 300, 120, &tags)); }
    CHotKeyEditUI* Field() const { return h.Find<CHotKeyEditUI>(L"k"); }
    void Leave() const { h.FocusField(L"other"); }
    static void Press(HWND native, UINT vk) { ::SendMessageW(native, WM_KEYDOWN, vk, 1 | (::MapVirtualKeyW(vk, 0) << 16)); }
    std::wstring Shown() const { return std::wstring(Field()->GetText()); }
};

} // namespace

TEST_F(HotKeys, NativeWindowPlacementVisibilityAndEnabledState)
{
    const HWND native = h.FocusField(L"k");
    ASSERT_NE(native, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(native, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"HotKeyEditWnd");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(native, GWL_STYLE)) & (WS_CHILD | 0x80), DWORD{WS_CHILD | 0x80});
    EXPECT_EQ(::GetParent(native), h.win.Hwnd());
    EXPECT_EQ(::GetFocus(), native);
    const auto placed = [&] {
        RECT rc;
        ::GetWindowRect(native, &rc);
        ::MapWindowPoints(nullptr, h.win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return Text(rc);
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
    Drain();
    EXPECT_EQ(h.Host()->GetFocus(), nullptr);
    EXPECT_TRUE(::IsWindow(native));
    EXPECT_FALSE(::IsWindowVisible(native));
    Field()->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(native));
    // Focusing the field again hands the keyboard to the open window.
    Leave();
    EXPECT_NE(::GetFocus(), native);
    EXPECT_EQ(h.FocusField(L"k"), native);
    EXPECT_EQ(::GetFocus(), native);
}

TEST_F(HotKeys, PressedCombinationsShowTheLayoutsKeyNames)
{
    const HWND native = h.FocusField(L"k");
    ASSERT_NE(native, nullptr);
    for (UINT vk : std::initializer_list<UINT>{VK_CONTROL, VK_SHIFT, 'A'})
        Press(native, vk);
    const std::wstring expected = LayoutName(VK_CONTROL) + L" + " + LayoutName(VK_SHIFT) + L" + " + LayoutName('A');
    EXPECT_EQ(Shown(), expected);
    EXPECT_GE(h.rec.Count(L"hotkeychanged"), 1);
    EXPECT_EQ(Field()->GetVirtualKey(), 'A');
    EXPECT_EQ(Field()->GetModifiers(), HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    // Leaving reports the final combination once more; the native window stays.
    h.rec.Clear();
    Leave();
    EXPECT_TRUE(SameSequence(h.rec.Types({L"hotkeychanged"}), {L"hotkeychanged"}));
    EXPECT_EQ(Shown(), expected);
    EXPECT_TRUE(::IsWindow(native));
    // Return in the native window is "return" and keeps the combination.
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(h.rec.Count(L"return"), 1);
    EXPECT_EQ(Field()->GetVirtualKey(), 'A');
}

TEST_F(HotKeys, ExtendedKeysAndTheEmptyCombination)
{
    // Nothing pressed: "无" on leaving.
    const HWND native = h.FocusField(L"k");
    Leave();
    EXPECT_EQ(Shown(), kNone);
    EXPECT_EQ(h.rec.Count(L"hotkeychanged"), 1);
    // Ctrl alone is no combination.
    EXPECT_EQ(h.FocusField(L"k"), native);
    ::SendMessageW(native, HKM_SETHOTKEY, MAKEWORD(0, HOTKEYF_CONTROL), 0);
    Leave();
    EXPECT_EQ(Field()->GetModifiers(), 0);
    EXPECT_EQ(Shown(), kNone);
    EXPECT_EQ(h.rec.Count(L"hotkeychanged"), 2);
    // An extended key set in the native window is named as extended.
    h.FocusField(L"k");
    ::SendMessageW(native, HKM_SETHOTKEY, MAKEWORD(VK_INSERT, HOTKEYF_EXT | HOTKEYF_ALT), 0);
    Leave();
    EXPECT_EQ(Shown(), LayoutName(VK_MENU) + L" + " + LayoutName(VK_INSERT, true));
    // Set by the program, into the open native window too.
    Field()->SetHotKey(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(Shown(), LayoutName(VK_CONTROL) + L" + " + LayoutName(VK_MENU) + L" + " + LayoutName(VK_F5));
    EXPECT_EQ(::SendMessageW(native, HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT));
    Field()->SetHotKey(0, 0);
    EXPECT_EQ(Shown(), kNone);
}

// Fields deleted while their native window is open: the window goes with the field and never
// reaches it, also when it reports on its way out ("hotkeychanged", "editwndclose"); a window
// closed from "editwndclose".
TEST(CustomEditLifetime, DeletedWhileTheNativeWindowIsOpen)
{
    GuardedScope guard;
    custom_tags::CustomTags tags;
    for (const wchar_t* name : {L"e", L"k"}) {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(std::wstring(kTwoFields) + kHotKey), 300, 120, &tags));
        const HWND native = h.FocusField(name);
        ASSERT_NE(native, nullptr);
        if (name[0] == L'k')
            ::SendMessageW(native, HKM_SETHOTKEY, 'B', 0);
        h.rec.Clear();
        h.Remove(name);
        Drain();
        EXPECT_FALSE(::IsWindow(native));
        EXPECT_EQ(h.rec.Count(L"hotkeychanged") + h.rec.Count(L"editwndclose"), 0);
        h.win.Layout();
    }
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(kTwoFields), 300, 100, &tags));
    h.rec.onNotify = [&](NotifyMessage& msg) {
        if (std::wstring(msg.type) == L"editwndclose")
            h.win.Destroy();
    };
    h.FocusField(L"e");
    h.FocusField(L"f");
    EXPECT_FALSE(h.win.IsOpen());
}
