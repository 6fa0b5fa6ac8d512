// The extended edit in a real window: its native edit's opening and closing with
// "editwndcreate" / "editwndclose", typing and pasting without spaces and commas, limits,
// read-only, Return, auto-size with and without password characters, and a field deleted
// while its native edit is open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CustomTags.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"
#include "uitoolkit/controls/EditDriver.h"
#include "uitoolkit/controls/ContainerUI.h"

using namespace SkinUI;
using buttons_fixture::Skin;
using xml_host::XmlHost;
using edit_driver::Type;
using edit_driver::WindowText;

namespace {

struct EditEx : ::testing::Test {
    custom_tags::CustomTags tags;
    XmlHost h;
    // The window focuses its first field when it opens: that native edit is closed again.
    bool Open(const std::wstring& fields)
    {
        if (!h.Open(Skin(fields).c_str(), 400, 120, &tags))
            return false;
        h.Host()->SetFocus(nullptr);
        kit::Drain();
        h.rec.Clear();
        return true;
    }
    CEditExUI* Field(const wchar_t* name = L"e") const { return h.Find<CEditExUI>(name); }
    HWND Focus(const wchar_t* name = L"e") { return edit_driver::Focus(Field(name)); }
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

TEST_F(EditEx, OpensOnFocusAndClosesOnFocusLoss)
{
    ASSERT_TRUE(Open(kTwoFields));
    CEditExUI* e = Field();
    EXPECT_EQ(std::wstring(e->GetClass()), L"EditExUI");
    EXPECT_EQ(e->GetInterface(L"EditEx"), e);
    EXPECT_EQ(e->GetInterface(L"Label"), e);
    EXPECT_EQ(e->GetBehaviourFlags(), 3u);
    EXPECT_EQ(kit::Text(e->GetTextPadding()), "4,3,4,3");
    // What the listener sees of the native edit at each notification.
    std::vector<std::wstring> seen;
    HWND opened = nullptr;
    h.rec.onNotify = [&](NotifyMessage& msg) {
        const std::wstring type = msg.type.GetData();
        if (msg.sender != e)
            return;
        if (type == L"editwndcreate")
            seen.push_back(type + (e->GetNativeWindow() == nullptr ? L":none" : L":open"));
        if (type == L"editwndclose")
            seen.push_back(type + (e->GetNativeWindow() == nullptr && !::IsWindowVisible(opened) ? L":gone" : L":open"));
    };
    opened = Focus();
    ASSERT_NE(opened, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(opened, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"EditWnd");
    EXPECT_EQ(WindowText(opened), L"hi");
    EXPECT_EQ(::GetFocus(), opened);
    Focus(L"f");
    EXPECT_FALSE(::IsWindow(opened));
    EXPECT_EQ(e->GetNativeWindow(), nullptr);
    EXPECT_TRUE(kit::SameSequence(seen, {L"editwndcreate:none", L"editwndclose:gone"}));
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"editwndcreate", L"editwndclose"}),
                                  {L"editwndcreate:e", L"editwndcreate:f", L"editwndclose:e"}));
}

TEST_F(EditEx, ClickSelectsAllAndReturnIsReported)
{
    ASSERT_TRUE(Open(kTwoFields));
    kit::Input in(h.win.Hwnd());
    in.Click(100, 25);
    kit::Drain();
    const HWND native = Field()->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    DWORD start = 9, end = 0;
    ::SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(h.rec.Count(L"return"), 1);
    EXPECT_EQ(std::wstring(Field()->GetText()), L"hi");
}

TEST_F(EditEx, SpacesAndCommasNeverGetIn)
{
    ASSERT_TRUE(Open(kTwoFields));
    HWND native = Focus(L"f");
    Type(native, L"a b,c");
    EXPECT_EQ(std::wstring(Field(L"f")->GetText()), L"abc");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 3);
    // Inserted text (as a paste or an input method does) is cleaned with the caret kept after it.
    ::SendMessageW(native, EM_SETSEL, 1, 1);
    h.rec.Clear();
    ::SendMessageW(native, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" x,y "));
    EXPECT_EQ(WindowText(native), L"axybc");
    EXPECT_EQ(std::wstring(Field(L"f")->GetText()), L"axybc");
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
    EXPECT_EQ(std::wstring(Field(L"f")->GetText()), L"abc");
    EXPECT_EQ(Caret(native), 3u);
}

TEST_F(EditEx, LimitsAndReadOnly)
{
    ASSERT_TRUE(Open(L"<EditEx name=\"e\" float=\"true\" pos=\"10,10,210,40\" maxchar=\"3\"/>"
                     L"<EditEx name=\"r\" float=\"true\" pos=\"10,50,210,80\" readonly=\"true\" text=\"fixed\"/>"));
    HWND native = Focus();
    Type(native, L"abcdef");
    EXPECT_EQ(std::wstring(Field()->GetText()), L"abc");
    Field()->SetAttribute(L"maxchar", L"10");
    EXPECT_EQ(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 10);
    native = Focus(L"r");
    EXPECT_NE(::GetWindowLongW(native, GWL_STYLE) & ES_READONLY, 0);
    Type(native, L"xyz");
    EXPECT_EQ(std::wstring(Field(L"r")->GetText()), L"fixed");
    Field(L"r")->SetReadOnly(false);
    Type(native, L"!");
    EXPECT_EQ(std::wstring(Field(L"r")->GetText()).size(), 6u);
    // Hiding the field drops the focus, which closes the native edit.
    Field(L"r")->SetVisible(false);
    kit::Drain();
    EXPECT_FALSE(::IsWindow(native));
}

TEST_F(EditEx, AutoSizeFollowsTheTextBetweenItsLimits)
{
    ASSERT_TRUE(Open(L"<EditEx name=\"e\" autosize=\"true\" minwidth=\"40\" maxwidth=\"200\" activatemaxwidth=\"250\"/>"
                     L"<EditEx name=\"p\" autosize=\"true\" password=\"true\" maxwidth=\"300\"/>"
                     L"<EditEx name=\"f\" float=\"true\" pos=\"0,90,50,110\"/>"));
    CEditExUI* e = Field();
    const auto widthFor = [](CEditExUI* field, const wchar_t* text) {
        field->SetText(text);
        return field->GetFixedWidth();
    };
    EXPECT_EQ(widthFor(e, L""), 40);                            // the minimum
    EXPECT_EQ(widthFor(e, std::wstring(100, L'm').c_str()), 200);  // the maximum
    const int narrow = widthFor(e, L"iii");
    const int wide = widthFor(e, L"MMMMMM");
    EXPECT_GT(wide, narrow);
    EXPECT_GE(narrow, 40);
    // Password characters measure alike whatever they hide.
    CEditExUI* p = Field(L"p");
    EXPECT_EQ(widthFor(p, L"iii"), widthFor(p, L"MMM"));
    EXPECT_GT(widthFor(p, L"MMMM"), widthFor(p, L"MMM"));
    // While edited the field takes the activate maximum width, and its text's width again after.
    Focus();
    EXPECT_EQ(e->GetFixedWidth(), 250);
    Focus(L"f");
    EXPECT_EQ(e->GetFixedWidth(), wide);
    // Activate limits ignore negative and unchanged values.
    e->SetActivateMaxWidth(-1);
    EXPECT_EQ(e->GetActivateMaxWidth(), 250);
    e->SetAttribute(L"activateminheight", L"7");
    EXPECT_EQ(e->GetActivateMinHeight(), 7);
    const int font = h.Host()->GetFontEntry(-1)->metrics.tmHeight;
    EXPECT_EQ(kit::Text(e->GetDesiredSize(SIZE{500, 500})), kit::Text(SIZE{wide, font + 6}));
}

// The field deleted while its native edit is open, and a window closed from "editwndclose".
TEST(EditExLifetime, DeletedWhileTheNativeEditIsOpen)
{
    kit::GuardedScope guard;
    custom_tags::CustomTags tags;
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(kTwoFields).c_str(), 300, 100, &tags));
        h.Find(L"e")->SetFocus();
        kit::Drain();
        const HWND native = h.Find<CEditExUI>(L"e")->GetNativeWindow();
        ASSERT_NE(native, nullptr);
        static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"e"));
        kit::Drain();
        EXPECT_FALSE(::IsWindow(native));
        EXPECT_EQ(h.rec.Count(L"editwndclose"), 0);
        h.win.Layout();
    }
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(kTwoFields).c_str(), 300, 100, &tags));
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (std::wstring(msg.type) == L"editwndclose") h.win.Destroy();
        };
        h.Find(L"e")->SetFocus();
        kit::Drain();
        h.Find(L"f")->SetFocus();
        kit::Drain();
        EXPECT_FALSE(h.win.IsOpen());
    }
}
