// Buttons, options, menu buttons and host / slave buttons in real windows built from skins:
// activation by mouse and keys, state words, state images and colours read back as pixels,
// option groups, "menu", and listeners that close the window.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "kit/GuardedHeap.h"
#include "kit/Input.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/HostButtonUI.h"
#include "uitoolkit/controls/MenuButton.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/SlaveButtonUI.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;

namespace {

const wchar_t* const kImages =
    L" normalimage=\"red.png\" hotimage=\"green.png\" pushedimage=\"blue.png\" focusedimage=\"yellow.png\"";

struct Buttons : ::testing::Test {
    SkinFolder skin;
    XmlHost h;
    bool Open(const std::wstring& controls) { return h.Open(Skin(controls).c_str(), 300, 100); }
    kit::Input In() const { return kit::Input(h.win.Hwnd()); }
    std::vector<std::wstring> Lines() const { return h.rec.Lines({L"click", L"selectchanged", L"menu"}); }
};

} // namespace

TEST_F(Buttons, MouseAndKeysActivate)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\" text=\"OK\"/>"
                     L"<Button name=\"k\" float=\"true\" pos=\"100,0,180,30\" keyboard=\"false\"/>"));
    auto* b = h.Find<CButtonUI>(L"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::wstring(b->GetClass()), L"ButtonUI");
    EXPECT_EQ(b->GetInterface(L"Button"), b);
    EXPECT_EQ(b->GetInterface(L"Label"), b);
    EXPECT_EQ(b->GetInterface(L"button"), nullptr);
    EXPECT_EQ(b->GetBehaviourFlags(), 3u);
    EXPECT_EQ(h.Find(L"k")->GetBehaviourFlags(), 2u);

    In().Click(10, 10);
    In().DoubleClick(10, 10);  // down, up, double click, up: two clicks
    EXPECT_TRUE(kit::SameSequence(Lines(), {L"click:b", L"click:b", L"click:b"}));

    h.rec.Clear();
    b->SetFocus();
    In().Key(VK_RETURN);
    In().Key(VK_SPACE);
    In().Key('A');
    h.Find(L"k")->SetFocus();
    In().Key(VK_RETURN);  // keyboard off: no activation
    EXPECT_TRUE(kit::SameSequence(Lines(), {L"click:b", L"click:b"}));

    // Released outside: unpressed, no click.
    h.rec.Clear();
    In().LeftDown(10, 10);
    EXPECT_EQ(b->GetState() & (kStatePushed | kStateCaptured), kStatePushed | kStateCaptured);
    In().Move(60, 60, MK_LBUTTON);
    In().LeftUp(60, 60);
    EXPECT_EQ(b->GetState() & (kStatePushed | kStateCaptured), 0u);
    EXPECT_EQ(h.rec.Count(L"click"), 0);
}

TEST_F(Buttons, DisabledAndMouseOffButtons)
{
    ASSERT_TRUE(Open(L"<Button name=\"d\" float=\"true\" pos=\"0,0,80,30\" enabled=\"false\"/>"
                     L"<Button name=\"m\" float=\"true\" pos=\"100,0,180,30\" mouse=\"false\"/>"));
    In().Click(10, 10);
    In().Click(110, 10);
    EXPECT_EQ(h.rec.Count(L"click"), 0);
    EXPECT_EQ(h.Find<CButtonUI>(L"m")->GetState() & kStateHot, 0u);
    // Disabling clears the whole state word.
    auto* m = h.Find<CButtonUI>(L"m");
    m->SetMouseEnabled(true);
    In().Move(110, 10);
    In().LeftDown(110, 10);
    EXPECT_NE(m->GetState(), 0u);
    m->SetEnabled(false);
    EXPECT_EQ(m->GetState(), 0u);
    EXPECT_FALSE(m->Activate());
    In().LeftUp(110, 10);
}

TEST_F(Buttons, StateImagesAndColoursPerState)
{
    ASSERT_TRUE(Open(std::wstring(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"") + kImages + L"/>" +
                     L"<Button name=\"d\" float=\"true\" pos=\"100,0,180,30\"" + kImages + L" enabled=\"false\"/>" +
                     L"<Button name=\"g\" float=\"true\" pos=\"200,0,280,30\"" + kImages +
                     L" disabledimage=\"grey.png\" enabled=\"false\"/>"));
    EXPECT_EQ(PixelAt(h, 40, 15), kYellow);  // the window gave its first tab stop the focus
    h.Host()->SetFocus(nullptr);
    EXPECT_EQ(PixelAt(h, 40, 15), kRed);
    // A disabled button without a disabled image shows the normal one.
    EXPECT_EQ(PixelAt(h, 140, 15), kRed);
    EXPECT_EQ(PixelAt(h, 240, 15), kGrey);
    In().Move(40, 15);
    EXPECT_EQ(PixelAt(h, 40, 15), kGreen);
    In().LeftDown(40, 15);
    EXPECT_EQ(PixelAt(h, 40, 15), kBlue);
    In().Move(200, 90, MK_LBUTTON);
    EXPECT_EQ(PixelAt(h, 40, 15), kYellow);  // captured, pointer outside: not pushed, not hot, focused
    In().LeftUp(200, 90);
}

TEST_F(Buttons, TextColoursFollowTheState)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,100,30\" font=\"-1\" text=\"MMMMMMMM\" "
                     L"textcolor=\"#FF000000\" hottextcolor=\"FFFF0000\" pushedtextcolor=\"#FF0000FF\" "
                     L"hottext=\"WWWWWWWW\" bkcolor=\"#FFFFFFFF\"/>"));
    const auto count = [&](uint32_t rgb) {
        auto shot = kit::CaptureClient(h.win.Hwnd());
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 100; ++x) n += kit::ColorDistance(shot->Pixel(x, y), rgb) < 60 ? 1 : 0;
        return n;
    };
    EXPECT_GT(count(0x000000), 10);
    In().Move(50, 15);
    EXPECT_GT(count(kRed), 10);
    EXPECT_EQ(count(0x000000), 0);
    In().LeftDown(50, 15);
    EXPECT_GT(count(kBlue), 10);
    In().LeftUp(50, 15);
}

TEST_F(Buttons, OptionsWithAndWithoutGroups)
{
    ASSERT_TRUE(Open(L"<Option name=\"c\" float=\"true\" pos=\"0,0,50,30\"/>"
                     L"<Option name=\"r1\" float=\"true\" pos=\"60,0,110,30\" group=\"g\" selected=\"true\"/>"
                     L"<Option name=\"r2\" float=\"true\" pos=\"120,0,170,30\" group=\"g\"/>"
                     L"<Option name=\"r3\" float=\"true\" pos=\"180,0,230,30\" group=\"g\"/>"));
    auto* c = h.Find<COptionUI>(L"c");
    auto* r1 = h.Find<COptionUI>(L"r1");
    auto* r2 = h.Find<COptionUI>(L"r2");
    EXPECT_EQ(c->GetInterface(L"Option"), c);
    EXPECT_EQ(h.Host()->GetOptionGroup(L"g")->GetSize(), 3);

    In().Click(10, 10);
    In().Click(10, 10);
    EXPECT_FALSE(c->IsSelected());
    EXPECT_TRUE(kit::SameSequence(Lines(), {L"click:c", L"selectchanged:c", L"click:c", L"selectchanged:c"}));

    h.rec.Clear();
    In().Click(130, 10);  // selects r2, silently deselects r1
    In().Click(130, 10);  // already selected: click only
    EXPECT_TRUE(kit::SameSequence(Lines(), {L"click:r2", L"selectchanged:r2", L"click:r2"}));
    EXPECT_FALSE(r1->IsSelected());
    EXPECT_TRUE(r2->IsSelected());
    EXPECT_EQ(r1->GetState() & kStateSelected, 0u);

    // Disabled: the selection stays, the rest of the state goes.
    In().Move(130, 10);
    r2->SetEnabled(false);
    EXPECT_TRUE(r2->IsSelected());
    EXPECT_EQ(r2->GetState(), kStateSelected);
    h.rec.Clear();
    In().Click(130, 10);
    EXPECT_TRUE(Lines().empty());

    // Leaving a group and deleting an option take it out of the host's list.
    r1->SetGroup(L"other");
    EXPECT_EQ(h.Host()->GetOptionGroup(L"g")->GetSize(), 2);
    EXPECT_EQ(h.Host()->GetOptionGroup(L"other")->GetSize(), 1);
    r1->SetSelected(true);
    EXPECT_TRUE(r2->IsSelected());
}

TEST_F(Buttons, OptionImagesBySelectionAndHover)
{
    ASSERT_TRUE(Open(L"<Option name=\"o\" float=\"true\" pos=\"0,0,40,30\" normalimage=\"red.png\" hotimage=\"green.png\" "
                     L"selectedimage=\"blue.png\" hotselectedimage=\"cyan.png\"/>"
                     L"<Option name=\"f\" float=\"true\" pos=\"100,0,140,30\" normalimage=\"red.png\" "
                     L"foreimage=\"file='yellow.png' dest='0,0,4,4'\"/>"));
    EXPECT_EQ(PixelAt(h, 20, 15), kRed);
    h.Find<COptionUI>(L"o")->SetSelected(true);
    EXPECT_EQ(PixelAt(h, 20, 15), kBlue);
    In().Move(20, 15);
    EXPECT_EQ(PixelAt(h, 20, 15), kCyan);
    h.Find<COptionUI>(L"o")->SetSelected(false);
    EXPECT_EQ(PixelAt(h, 20, 15), kGreen);
    // The fore image goes over the state image.
    EXPECT_EQ(PixelAt(h, 101, 1), kYellow);
    EXPECT_EQ(PixelAt(h, 120, 15), kRed);
}

TEST_F(Buttons, MenuOnTheRightButtonOnlyWhenAskedFor)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\" menu=\"true\"/>"
                     L"<Button name=\"n\" float=\"true\" pos=\"100,0,180,30\"/>"
                     L"<MenuButton name=\"mb\" float=\"true\" pos=\"200,0,280,30\" menu=\"true\"/>"));
    for (int x : {10, 110, 210}) {
        In().RightDown(x, 10);
        In().ContextMenu(x, 10);
        In().RightUp(x, 10);
    }
    EXPECT_TRUE(kit::SameSequence(h.rec.Lines({L"menu"}), {L"menu:b", L"menu:mb"}));
}

TEST_F(Buttons, MenuButtonLayersAndLogo)
{
    ASSERT_TRUE(Open(L"<MenuButton name=\"m\" float=\"true\" pos=\"0,0,60,40\" normalimage=\"red.png\" "
                     L"hotimage=\"file='green.png' dest='0,0,30,40'\" logoimage=\"blue.png\" hotlogoimage=\"cyan.png\" "
                     L"logo_x=\"40\" logo_y=\"10\" logo_width=\"10\" logo_height=\"10\" focusedimage=\"http://x\"/>"
                     L"<MenuButton name=\"n\" float=\"true\" pos=\"100,0,160,40\" normalimage=\"red.png\" logoimage=\"blue.png\" "
                     L"focusedimage=\"http://y\"/>"));
    auto* m = h.Find<CMenuButton>(L"m");
    EXPECT_EQ(std::wstring(m->GetClass()), L"MenuButton");
    EXPECT_EQ(m->GetInterface(L"MenuButton"), m);
    // The first paint focused m: its focused image names no picture, so that draw failed and
    // cleared it; n was never painted focused and keeps its text.
    EXPECT_EQ(std::wstring(m->GetFocusedImage()), L"");
    EXPECT_EQ(std::wstring(h.Find<CMenuButton>(L"n")->GetFocusedImage()), L"http://y");
    EXPECT_EQ(PixelAt(h, 5, 5), kRed);
    EXPECT_EQ(PixelAt(h, 45, 15), kBlue);
    EXPECT_EQ(PixelAt(h, 45, 5), kRed);
    // Without a logo position no logo is drawn.
    EXPECT_EQ(PixelAt(h, 101, 1), kRed);
    In().Move(45, 30);
    EXPECT_EQ(PixelAt(h, 5, 5), kGreen);   // hot image over the left half
    EXPECT_EQ(PixelAt(h, 55, 5), kRed);    // normal image still behind the rest
    EXPECT_EQ(PixelAt(h, 45, 15), kCyan);  // hot logo
    In().Click(45, 30);
    EXPECT_EQ(h.rec.Count(L"click"), 1);
}

TEST_F(Buttons, HostAndSlaveButtonsPassHoverToTheirLinkedControl)
{
    ASSERT_TRUE(Open(L"<CHostButtonUI name=\"h\" float=\"true\" pos=\"0,0,50,30\" linkedcontrol=\"panel\"/>"
                     L"<Label name=\"panel\" float=\"true\" pos=\"0,50,50,80\" visible=\"false\"/>"
                     L"<CSlaveButtonUI name=\"s\" float=\"true\" pos=\"100,0,150,30\" linkedcontrol=\"t\"/>"
                     L"<CSlaveButtonUI name=\"t\" float=\"true\" pos=\"200,0,250,30\" linkedcontrol=\"s\"/>"));
    auto* panel = h.Find(L"panel");
    In().Move(10, 10);
    EXPECT_TRUE(panel->IsVisible());
    In().Move(10, 90);
    EXPECT_FALSE(panel->IsVisible());
    // Two slaves linked to each other light up together and pass the event on only once.
    In().Move(110, 10);
    EXPECT_NE(h.Find<CButtonUI>(L"s")->GetState() & kStateHot, 0u);
    EXPECT_NE(h.Find<CButtonUI>(L"t")->GetState() & kStateHot, 0u);
    In().Move(110, 90);
    EXPECT_EQ(h.Find<CButtonUI>(L"t")->GetState() & kStateHot, 0u);
    In().Click(10, 10);
    EXPECT_EQ(h.rec.Count(L"click"), 1);
}

TEST_F(Buttons, DesiredHeightsFromTheMeasuredFont)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" width=\"70\"/><Label name=\"l\"/><Button name=\"f\" height=\"33\"/>"
                     L"<MenuButton name=\"m\"/>"));
    const int font = h.Host()->GetFontEntry(-1)->metrics.tmHeight;
    ASSERT_GT(font, 0);
    EXPECT_EQ(kit::Text(h.Find(L"b")->GetDesiredSize(SIZE{300, 100})), kit::Text(SIZE{70, font + 8}));
    EXPECT_EQ(kit::Text(h.Find(L"l")->GetDesiredSize(SIZE{300, 100})), kit::Text(SIZE{0, font + 4}));
    EXPECT_EQ(kit::Text(h.Find(L"f")->GetDesiredSize(SIZE{300, 100})), kit::Text(SIZE{0, 33}));
    EXPECT_EQ(kit::Text(h.Find(L"m")->GetDesiredSize(SIZE{300, 100})), kit::Text(SIZE{0, font + 8}));
}

// A "click" listener that closes the window deletes the option before it would change its
// selection: nothing of it may be touched afterwards.
TEST(ButtonLifetime, ClickListenerClosesTheWindow)
{
    kit::GuardedScope guard;
    for (const wchar_t* control : {L"Option", L"Button", L"MenuButton"}) {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(std::wstring(L"<") + control + L" name=\"o\" float=\"true\" pos=\"0,0,50,30\"/>").c_str(),
                           100, 50));
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (std::wstring(msg.type) == L"click") h.win.Destroy();
        };
        kit::Input(h.win.Hwnd()).Click(10, 10);
        EXPECT_FALSE(h.win.IsOpen());
        EXPECT_TRUE(kit::SameSequence(h.rec.Types(), {L"click"}));
    }
    // Only the option goes, at once; the window stays.
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"<Option name=\"o\" float=\"true\" pos=\"0,0,50,30\"/>").c_str(), 100, 50));
    static_cast<CContainerUI*>(h.Find(L"root"))->SetDelayedDestroy(false);
    h.rec.onNotify = [&](NotifyMessage& msg) {
        if (std::wstring(msg.type) == L"click") static_cast<CContainerUI*>(h.Find(L"root"))->Remove(h.Find(L"o"));
    };
    kit::Input(h.win.Hwnd()).Click(10, 10);
    EXPECT_EQ(h.Find(L"o"), nullptr);
    EXPECT_TRUE(kit::SameSequence(h.rec.Types(), {L"click"}));
    EXPECT_TRUE(h.win.Layout());
}
