// The edit in real windows built from skins, with the keyboard focus given explicitly: the
// native edit's placement and styles, typing and "textchanged", Tab, Return, limits, read-only,
// disabled and hidden edits, password characters as pixels, and an edit deleted while its native
// edit is open.
#include <gtest/gtest.h>

#include <string>

#include "ButtonsFixture.h"
#include "EditDriver.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/EditUI.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;
using edit_driver::Type;
using edit_driver::WindowText;

namespace {

struct Edits : ::testing::Test {
    XmlHost h;
    bool Open(const std::wstring& controls) { return h.Open(Skin(controls).c_str(), 300, 120); }
    CEditUI* Edit(const wchar_t* name) const { return h.Find<CEditUI>(name); }
    // Gives the edit the host's focus, which opens its native edit.
    HWND Focus(const wchar_t* name) { return edit_driver::Focus(Edit(name)); }
};

const wchar_t* const kTwoEdits = L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\"/>"
                                 L"<Edit name=\"b\" float=\"true\" pos=\"10,50,210,80\"/>";

} // namespace

TEST_F(Edits, NativeEditPlacementStylesAndTyping)
{
    ASSERT_TRUE(Open(L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\" text=\"hi\"/>"));
    CEditUI* a = Edit(L"a");
    EXPECT_EQ(std::wstring(a->GetClass()), L"EditUI");
    EXPECT_EQ(a->GetInterface(L"Edit"), a);
    EXPECT_EQ(a->GetInterface(L"Label"), a);
    EXPECT_EQ(a->GetBehaviourFlags(), 3u);
    const HWND native = Focus(L"a");
    ASSERT_NE(native, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(native, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"EditWnd");
    const LONG style = ::GetWindowLongW(native, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | ES_AUTOHSCROLL | ES_PASSWORD | ES_READONLY), WS_CHILD | ES_AUTOHSCROLL);
    EXPECT_EQ(::GetParent(native), h.win.Hwnd());
    EXPECT_EQ(::GetFocus(), native);

    // Text padding 4,3,4,3 leaves 14,13,206,37; the font height is centred in it.
    const int font = h.Host()->GetFontEntry(-1)->metrics.tmHeight;
    const int top = 13 + (24 - font) / 2;
    RECT rc;
    ::GetWindowRect(native, &rc);
    ::MapWindowPoints(nullptr, h.win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(kit::Text(rc), kit::Text(RECT{14, top, 206, top + font}));
    EXPECT_EQ(WindowText(native), L"hi");

    ::SendMessageW(native, EM_SETSEL, 2, 2);
    Type(native, L"yo");
    EXPECT_EQ(std::wstring(a->GetText()), L"hiyo");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 2);
    // A text set by the program reaches the open edit and is reported too.
    a->SetText(L"set");
    EXPECT_EQ(WindowText(native), L"set");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 3);
    // Return in the native edit.
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(kit::SameSequence(h.rec.Types({L"return"}), {L"return"}));
    EXPECT_EQ(std::wstring(a->GetText()), L"set");
    // Moving the control moves the native edit.
    a->SetPos(RECT{20, 60, 220, 90});
    ::GetWindowRect(native, &rc);
    ::MapWindowPoints(nullptr, h.win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 24);
}

TEST_F(Edits, TabLeavesTheFieldAndTheNativeEditGoesAway)
{
    ASSERT_TRUE(Open(std::wstring(kTwoEdits) + L"<Edit name=\"c\" float=\"true\" pos=\"10,90,210,115\" enabled=\"false\"/>"));
    const HWND first = Focus(L"a");
    ASSERT_NE(first, nullptr);
    ::SendMessageW(first, WM_CHAR, VK_TAB, 1);
    kit::Drain();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(Edit(L"a")->GetNativeWindow(), nullptr);
    EXPECT_EQ(h.Host()->GetFocus(), Edit(L"b"));
    const HWND second = Edit(L"b")->GetNativeWindow();
    ASSERT_NE(second, nullptr);
    // The disabled edit is skipped: Tab goes round to the first again.
    ::SendMessageW(second, WM_CHAR, VK_TAB, 1);
    kit::Drain();
    EXPECT_EQ(h.Host()->GetFocus(), Edit(L"a"));
    EXPECT_EQ(Edit(L"c")->GetBehaviourFlags(), 0u);
    Edit(L"c")->SetFocus();
    kit::Drain();
    EXPECT_EQ(Edit(L"c")->GetNativeWindow(), nullptr);
}

TEST_F(Edits, LimitsReadOnlyAndHiding)
{
    ASSERT_TRUE(Open(L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\" maxchar=\"3\"/>"
                     L"<Edit name=\"r\" float=\"true\" pos=\"10,50,210,80\" readonly=\"true\" text=\"fixed\"/>"));
    HWND native = Focus(L"a");
    Type(native, L"abcdef");
    EXPECT_EQ(std::wstring(Edit(L"a")->GetText()), L"abc");
    Edit(L"a")->SetMaxChar(10);
    EXPECT_EQ(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 10);

    native = Focus(L"r");
    EXPECT_NE(::GetWindowLongW(native, GWL_STYLE) & ES_READONLY, 0);
    Type(native, L"xyz");
    EXPECT_EQ(std::wstring(Edit(L"r")->GetText()), L"fixed");
    Edit(L"r")->SetReadOnly(false);
    Type(native, L"!");
    EXPECT_EQ(std::wstring(Edit(L"r")->GetText()).size(), 6u);

    // Hiding the open edit drops the focus, which closes the native edit.
    Edit(L"r")->SetVisible(false);
    kit::Drain();
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(h.Host()->GetFocus(), nullptr);
    // So does hiding its container.
    native = Focus(L"a");
    h.Find(L"root")->SetVisible(false);
    kit::Drain();
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_FALSE(Edit(L"a")->IsVisible());
}

TEST_F(Edits, PasswordCharactersArePaintedAndMaskTheOpenEdit)
{
    ASSERT_TRUE(Open(L"<Edit name=\"p\" float=\"true\" pos=\"0,0,150,30\" password=\"true\" text=\"abc\"/>"
                     L"<Edit name=\"q\" float=\"true\" pos=\"0,40,150,70\" password=\"true\" text=\"xyz\"/>"
                     L"<Edit name=\"t\" float=\"true\" pos=\"0,80,150,110\" text=\"abc\"/>"));
    h.Host()->SetFocus(nullptr);
    kit::Drain();  // the native edit of the first focus closes
    auto shot = kit::CaptureClient(h.win.Hwnd());
    int differP = 0, differT = 0, ink = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 150; ++x) {
            differP += shot->Pixel(x, y) != shot->Pixel(x, y + 40) ? 1 : 0;
            differT += shot->Pixel(x, y) != shot->Pixel(x, y + 80) ? 1 : 0;
            ink += shot->Pixel(x, y) != kWhite ? 1 : 0;
        }
    }
    EXPECT_EQ(differP, 0);  // three '*' whatever the text
    EXPECT_GT(differT, 0);
    EXPECT_GT(ink, 10);

    // A password edit opens with the password style; mode and character reach an open edit.
    EXPECT_NE(::GetWindowLongW(Focus(L"p"), GWL_STYLE) & ES_PASSWORD, 0);
    const HWND native = Focus(L"t");
    EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);
    Edit(L"t")->SetPasswordMode(true);
    EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'*');
    Edit(L"t")->SetPasswordChar(L'#');
    EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'#');
    Edit(L"t")->SetPasswordMode(false);
    EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(Edits, DesiredSizeAndAttributes)
{
    ASSERT_TRUE(Open(L"<Edit name=\"a\" width=\"90\" nativebkcolor=\"#FF102030\" captiontextcolor=\"FF405060\" "
                     L"enablecaption=\"true\"/>"));
    const int font = h.Host()->GetFontEntry(-1)->metrics.tmHeight;
    EXPECT_EQ(kit::Text(Edit(L"a")->GetDesiredSize(SIZE{300, 100})), kit::Text(SIZE{90, font + 6}));
    EXPECT_EQ(Edit(L"a")->GetNativeBkColor(), 0xFF102030u);
    EXPECT_EQ(Edit(L"a")->GetCaptionTextColor(), 0xFF405060u);
    EXPECT_TRUE(Edit(L"a")->IsEnableCaption());
    EXPECT_EQ(Edit(L"a")->GetBkColor(), 0xFFFFFFFFu);
    EXPECT_EQ(kit::Text(Edit(L"a")->GetTextPadding()), "4,3,4,3");
}

// The control deleted while its native edit is open: the native edit goes with it and never
// reaches the dead control; a "textchanged" listener may close the whole window.
TEST(EditLifetime, DeletedWhileTheNativeEditIsOpen)
{
    kit::GuardedScope guard;
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(kTwoEdits).c_str(), 300, 100));
        h.Find(L"a")->SetFocus();
        kit::Drain();
        const HWND native = h.Find<CEditUI>(L"a")->GetNativeWindow();
        ASSERT_NE(native, nullptr);
        static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"a"));
        kit::Drain();
        EXPECT_FALSE(::IsWindow(native));
        h.win.Layout();
    }
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(kTwoEdits).c_str(), 300, 100));
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (std::wstring(msg.type) == L"textchanged") h.win.Destroy();
        };
        h.Find(L"b")->SetFocus();
        kit::Drain();
        ::SendMessageW(h.Find<CEditUI>(L"b")->GetNativeWindow(), WM_CHAR, L'x', 1);
        kit::Drain();
        EXPECT_FALSE(h.win.IsOpen());
    }
}
