// The label family in real windows built from skins: labels and texts (alignment words, padding,
// colours and marked-up text as pixels, links, measured sizes), buttons, options, menu buttons and
// host / slave buttons (activation, state images and colours as pixels, option groups, "menu"),
// edits with their native edit (placement, typing, Tab, limits, password characters), pictures
// that cannot be loaded, the built-in tags' class and interface names, and listeners or removals
// that delete a control in the middle of its input.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/Capture.h"
#include "kit/Fuzz.h"
#include "kit/GuardedHeap.h"
#include "kit/ImportPatch.h"
#include "kit/PngWriter.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "kit/XmlHost.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/MenuButton.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/ProgressUI.h"
#include "uitoolkit/controls/TextUI.h"
#include "uitoolkit/core/BuiltinControls.h"

using namespace SkinUI;
using namespace kit;

namespace {

struct Controls : ::testing::Test {
    SolidImageDir images;
    XmlHost h;
    bool Open(const std::wstring& controls, int width = 300, int height = 100)
    {
        return h.Open(Skin(controls), width, height);
    }
    int FontHeight() const { return h.Host()->GetFontEntry(-1)->metrics.tmHeight; }
};

const wchar_t* const kImages =
    L" normalimage=\"red.png\" hotimage=\"green.png\" pushedimage=\"blue.png\" focusedimage=\"yellow.png\"";

} // namespace

// Every built-in tag makes its class, which answers its own interface names (case counts).
TEST(BuiltinControls, ClassAndInterfaceNames)
{
    const struct {
        const wchar_t* tag;
        const wchar_t* cls;
        std::vector<const wchar_t*> answered;  // each the control itself
        const wchar_t* refused;
    } rows[] = {
        {L"Label", L"LabelUI", {L"Label", L"Control"}, L"Text"},
        {L"Text", L"TextUI", {L"Text", L"Label"}, L"text"},
        {L"Button", L"ButtonUI", {L"Button", L"Label"}, L"button"},
        {L"Option", L"OptionUI", {L"Option", L"Button"}, L"option"},
        {L"MenuButton", L"MenuButton", {L"MenuButton", L"Label"}, L"menubutton"},
        {L"Edit", L"EditUI", {L"Edit", L"Label"}, L"edit"},
        {L"Progress", L"ProgressUI", {L"Progress", L"Label"}, L"progress"},
        {L"Container", L"ContainerUI", {L"Container", L"Control"}, L"icontainer"},
        {L"List", L"ListUI", {L"List", L"VerticalLayout"}, L"list"},
        {L"ListHeader", L"ListHeaderUI", {L"ListHeader"}, L"listheader"},
        {L"ListContainerElement", L"ListContainerElementUI", {}, nullptr},
        {L"Combo", L"ComboUI", {L"Combo"}, L"combo"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::wstring(row.tag).c_str());
        std::unique_ptr<CControlUI> c(CreateBuiltinControl(row.tag));
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c->GetClass(), row.cls);
        for (const wchar_t* name : row.answered)
            EXPECT_EQ(c->GetInterface(name), c.get()) << std::wstring(name).c_str();
        if (row.refused != nullptr) {
            EXPECT_EQ(c->GetInterface(row.refused), nullptr);
        }
    }
}

TEST(LabelAttributes, AlignmentWordsAndEllipsis)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        UINT style;
    } cases[] = {
        {L"align", L"left", DT_VCENTER},
        {L"align", L"center", DT_VCENTER | DT_CENTER},
        {L"align", L"right", DT_VCENTER | DT_RIGHT},
        {L"align", L"top", 0},
        {L"align", L"bottom", DT_BOTTOM},
        {L"align", L"center bottom", DT_CENTER | DT_BOTTOM},  // the centre rule, then the bottom rule
        {L"align", L"right,bottom", DT_BOTTOM},               // the bottom rule also clears the right bit
        {L"endellipsis", L"true", DT_VCENTER | DT_END_ELLIPSIS},
        {L"endellipsis", L"True", DT_VCENTER},
    };
    for (const auto& c : cases) {
        CLabelUI label;
        label.SetAttribute(c.name, c.value);
        EXPECT_EQ(label.GetTextStyle(), c.style) << std::wstring(c.value).c_str();
    }
}

// Every tag of this family takes null names and values and random attribute texts, built into a
// window and painted.
TEST(LabelAttributes, RandomValuesNeverCrash)
{
    const wchar_t* const tags[] = {L"Label", L"Text", L"Button", L"Option", L"MenuButton",
                                   L"CHostButtonUI", L"CSlaveButtonUI", L"Edit"};
    const wchar_t* const names[] = {L"align", L"endellipsis", L"font", L"textcolor", L"textpadding", L"showhtml",
                                    L"normalimage", L"hottextcolor", L"group", L"selected", L"logo_x",
                                    L"logo_width", L"maxchar", L"password", L"linkedcontrol", L"text"};
    FuzzRun fuzz;
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L""), 200, 100));
    auto* root = h.Find<CContainerUI>(L"root");
    for (const wchar_t* tag : tags) {
        CControlUI* control = CreateBuiltinControl(tag);
        ASSERT_NE(control, nullptr);
        control->SetAttribute(nullptr, L"x");
        control->SetAttribute(L"text", nullptr);
        for (int i = 0; i < 40; ++i)
            control->SetAttribute(names[fuzz.Below(16)], fuzz.RandomText(12).c_str());
        control->SetAttribute(L"showhtml", L"true");
        control->SetAttribute(L"text", fuzz.RandomText(30).c_str());
        ASSERT_TRUE(root->Add(control));
    }
    EXPECT_TRUE(h.win.Layout());
}

TEST_F(Controls, LabelPaddingColoursAndMarkup)
{
    ASSERT_TRUE(Open(L"<Label name=\"l\" float=\"true\" pos=\"0,0,120,30\" text=\"MMMMMM\" textcolor=\"#FFFF0000\" "
                     L"textpadding=\"60,0,0,0\" disabledtextcolor=\"#FF0000FF\"/>"
                     L"<Label name=\"h\" float=\"true\" pos=\"0,40,120,70\" showhtml=\"true\" "
                     L"text=\"ab{c #FF00FF00}MMMMMMMMMM{/c}\"/>"));
    EXPECT_EQ(h.CountNear(RECT{0, 0, 60, 30}, kRed), 0);
    EXPECT_GT(h.CountNear(RECT{60, 0, 120, 30}, kRed), 10);
    h.Find(L"l")->SetEnabled(false);
    EXPECT_EQ(h.CountNear(RECT{60, 0, 120, 30}, kRed), 0);
    EXPECT_GT(h.CountNear(RECT{60, 0, 120, 30}, kBlue), 10);
    EXPECT_GT(h.CountNear(RECT{0, 40, 120, 70}, kGreen), 10);
    EXPECT_GT(h.CountNear(RECT{0, 40, 120, 70}, kBlack), 3);  // "ab" in the host's default colour
}

TEST_F(Controls, TextLinksAreClickedAndHovered)
{
    ASSERT_TRUE(Open(L"<Text name=\"t\" float=\"true\" pos=\"0,0,300,40\" showhtml=\"true\" "
                     L"text=\"see {a one}first{/a} or {a two}second{/a}\"/>"
                     L"<Text name=\"p\" float=\"true\" pos=\"0,50,300,90\" text=\"plain\"/>"));
    auto* t = h.Find<CTextUI>(L"t");
    ASSERT_EQ(t->GetLinkCount(), 2);
    EXPECT_EQ(std::wstring(t->GetLinkText(1)), L"two");
    EXPECT_EQ(t->GetBehaviourFlags(), 2u);
    EXPECT_EQ(h.Find(L"p")->GetBehaviourFlags(), 0u);

    const RECT second = *t->GetLinkRect(1);
    h.In().Move(second.left + 2, second.top + 2);
    EXPECT_EQ(t->GetHoverLink(), 1);
    h.In().Click(second.left + 2, second.top + 2);
    h.In().Click(1, 30);  // not on a link
    const auto links = h.rec.OfType(L"link");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].sender + L" " + std::to_wstring(links[0].wParam), L"t 1");
    h.In().Move(200, 95);
    EXPECT_EQ(t->GetHoverLink(), -1);

    // Nine links report eight; no text, no links.
    std::wstring nine;
    for (int i = 0; i < 9; ++i)
        nine += L"{a " + std::to_wstring(i) + L"}x{/a} ";
    t->SetText(nine.c_str());
    h.win.Layout();
    EXPECT_EQ(t->GetLinkCount(), 8);
    t->SetText(L"");
    h.win.Layout();
    EXPECT_EQ(t->GetLinkCount(), 0);
}

TEST_F(Controls, TextMeasuresItsDesiredSize)
{
    ASSERT_TRUE(Open(L"<Text name=\"t\" showhtml=\"true\" text=\"ab{n}cd\"/>"
                     L"<Text name=\"e\" showhtml=\"true\" endellipsis=\"true\" text=\"abcdef\"/>"
                     L"<Text name=\"f\" showhtml=\"true\" text=\"ab\" height=\"50\"/>"
                     L"<Text name=\"w\" text=\"one two three four five six\"/>"));
    const TEXTMETRICW& tm = h.Host()->GetFontEntry(-1)->metrics;
    const int line = tm.tmHeight + tm.tmExternalLeading;
    const SIZE t = h.Find(L"t")->GetDesiredSize(SIZE{200, 0});
    EXPECT_EQ(t.cy, 2 * line);
    EXPECT_TRUE(t.cx > 4 && t.cx < 200) << t.cx;
    // Narrower than a character: one character per line, and measuring ends.
    EXPECT_EQ(h.Find(L"e")->GetDesiredSize(SIZE{5, 0}).cy, 6 * line);
    EXPECT_EQ(h.Find(L"f")->GetDesiredSize(SIZE{200, 0}).cy, 50);
    // Plain text wraps by words.
    EXPECT_GT(h.Find(L"w")->GetDesiredSize(SIZE{60, 0}).cy, 2 * line);
}

// A text placed by its measured size is placed again when its text changes, as it would be had it
// been built with the new text: each changing text in a row beside a fixed control, next to a row
// built with its last text.
TEST_F(Controls, NewTextIsPlacedForItsOwnSize)
{
    const std::wstring longText = L"one two three four five six seven eight nine ten eleven twelve";
    const struct {
        std::wstring first;
        std::vector<std::wstring> then;
    } cases[] = {
        {L"ab", {longText}},
        {L"", {longText}},
        {L"one two", {longText, L"ab"}},
        {L"one two", {L"ab", longText}},
        {L"ab", {L"ab"}},
    };
    std::wstring rows;
    const auto row = [](const std::wstring& name, const std::wstring& text) {
        return L"<HorizontalLayout height=\"20\"><Control width=\"40\"/><Text name=\"" + name + L"\" text=\"" + text +
               L"\"/></HorizontalLayout>";
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        rows += row(L"c" + std::to_wstring(i), cases[i].first) + row(L"b" + std::to_wstring(i), cases[i].then.back());
    ASSERT_TRUE(Open(L"<VerticalLayout>" + rows + L"</VerticalLayout>", 300, 300));
    for (size_t step = 0; step < 2; ++step) {
        for (size_t i = 0; i < std::size(cases); ++i) {
            if (step < cases[i].then.size())
                h.Find((L"c" + std::to_wstring(i)).c_str())->SetText(cases[i].then[step].c_str());
        }
        h.win.Layout();
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        const RECT changed = h.Find((L"c" + std::to_wstring(i)).c_str())->GetPos();
        const RECT built = h.Find((L"b" + std::to_wstring(i)).c_str())->GetPos();
        EXPECT_EQ(changed.left, built.left) << "case " << i;
        EXPECT_EQ(changed.right, built.right) << "case " << i;
    }
}

TEST_F(Controls, DesiredSizesFromTheMeasuredFont)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" width=\"70\"/><Label name=\"l\"/><Button name=\"f\" height=\"33\"/>"
                     L"<MenuButton name=\"m\"/><Edit name=\"e\" width=\"90\"/>"));
    ASSERT_GT(FontHeight(), 0);
    const struct {
        const wchar_t* name;
        int width, height;
    } rows[] = {{L"b", 70, FontHeight() + 8}, {L"l", 0, FontHeight() + 4}, {L"f", 0, 33},
                {L"m", 0, FontHeight() + 8},  {L"e", 90, FontHeight() + 6}};
    for (const auto& row : rows)
        EXPECT_EQ(Text(h.Find(row.name)->GetDesiredSize(SIZE{300, 100})), Text(SIZE{row.width, row.height}))
            << std::wstring(row.name).c_str();
}

TEST_F(Controls, ButtonsActivateByMouseAndKeysUnlessTurnedOff)
{
    ASSERT_TRUE(Open(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\" text=\"OK\"/>"
                     L"<Button name=\"k\" float=\"true\" pos=\"100,0,180,30\" keyboard=\"false\"/>"
                     L"<Button name=\"d\" float=\"true\" pos=\"200,0,280,30\" enabled=\"false\"/>"
                     L"<Button name=\"m\" float=\"true\" pos=\"0,50,80,80\" mouse=\"false\"/>"));
    auto* b = h.Find<CButtonUI>(L"b");
    auto* m = h.Find<CButtonUI>(L"m");
    EXPECT_EQ(b->GetBehaviourFlags(), 3u);
    EXPECT_EQ(h.Find(L"k")->GetBehaviourFlags(), 2u);
    h.In().Click(10, 10);
    h.In().DoubleClick(10, 10);  // down, up, double click, up: two clicks
    h.In().Click(210, 10);       // disabled
    h.In().Click(10, 60);        // mouse off
    EXPECT_EQ(m->GetState() & kStateHot, 0u);
    b->SetFocus();
    for (UINT key : std::initializer_list<UINT>{VK_RETURN, VK_SPACE, 'A'})
        h.In().Key(key);
    h.Find(L"k")->SetFocus();
    h.In().Key(VK_RETURN);  // keyboard off: no activation
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"click", L"menu"}), std::vector<std::wstring>(5, L"click:b")));

    // Released outside: unpressed, no click.
    h.rec.Clear();
    h.In().LeftDown(10, 10);
    EXPECT_EQ(b->GetState() & (kStatePushed | kStateCaptured), kStatePushed | kStateCaptured);
    h.In().Move(150, 90, MK_LBUTTON);
    h.In().LeftUp(150, 90);
    EXPECT_EQ(b->GetState() & (kStatePushed | kStateCaptured), 0u);
    EXPECT_EQ(h.rec.Count(L"click"), 0);

    // Disabling clears the whole state word.
    m->SetMouseEnabled(true);
    h.In().Move(10, 60);
    h.In().LeftDown(10, 60);
    EXPECT_NE(m->GetState(), 0u);
    m->SetEnabled(false);
    EXPECT_EQ(m->GetState(), 0u);
    EXPECT_FALSE(m->Activate());
    h.In().LeftUp(10, 60);
}

TEST_F(Controls, ButtonStateImagesAndTextColours)
{
    ASSERT_TRUE(Open(std::wstring(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\"") + kImages + L"/>" +
                     L"<Button name=\"d\" float=\"true\" pos=\"100,0,180,30\"" + kImages + L" enabled=\"false\"/>" +
                     L"<Button name=\"g\" float=\"true\" pos=\"200,0,280,30\"" + kImages +
                     L" disabledimage=\"grey.png\" enabled=\"false\"/>"
                     L"<Button name=\"t\" float=\"true\" pos=\"0,50,100,80\" font=\"-1\" text=\"MMMMMMMM\" "
                     L"textcolor=\"#FF000000\" hottextcolor=\"FFFF0000\" pushedtextcolor=\"#FF0000FF\" "
                     L"hottext=\"WWWWWWWW\" bkcolor=\"#FFFFFFFF\"/>"));
    EXPECT_EQ(h.Pixel(40, 15), kYellow);  // the window gave its first tab stop the focus
    h.Host()->SetFocus(nullptr);
    // Disabled without a disabled image: the normal one.
    EXPECT_EQ(h.Pixels({{40, 15}, {140, 15}, {240, 15}}), Colors({kRed, kRed, kGrey}));
    h.In().Move(40, 15);
    EXPECT_EQ(h.Pixel(40, 15), kGreen);
    h.In().LeftDown(40, 15);
    EXPECT_EQ(h.Pixel(40, 15), kBlue);
    h.In().Move(200, 90, MK_LBUTTON);
    EXPECT_EQ(h.Pixel(40, 15), kYellow);  // captured, pointer outside: not pushed, not hot, focused
    h.In().LeftUp(200, 90);

    const RECT text = {0, 50, 100, 80};
    EXPECT_GT(h.CountNear(text, kBlack), 10);
    h.In().Move(50, 65);
    EXPECT_GT(h.CountNear(text, kRed), 10);
    EXPECT_EQ(h.CountNear(text, kBlack), 0);
    h.In().LeftDown(50, 65);
    EXPECT_GT(h.CountNear(text, kBlue), 10);
    h.In().LeftUp(50, 65);
}

TEST_F(Controls, OptionImagesGroupsAndSelection)
{
    ASSERT_TRUE(Open(L"<Option name=\"c\" float=\"true\" pos=\"0,0,50,30\"/>"
                     L"<Option name=\"r1\" float=\"true\" pos=\"60,0,110,30\" group=\"g\" selected=\"true\"/>"
                     L"<Option name=\"r2\" float=\"true\" pos=\"120,0,170,30\" group=\"g\"/>"
                     L"<Option name=\"r3\" float=\"true\" pos=\"180,0,230,30\" group=\"g\"/>"
                     L"<Option name=\"o\" float=\"true\" pos=\"0,50,40,80\" normalimage=\"red.png\" hotimage=\"green.png\" "
                     L"selectedimage=\"blue.png\" hotselectedimage=\"cyan.png\"/>"
                     L"<Option name=\"f\" float=\"true\" pos=\"100,50,140,80\" normalimage=\"red.png\" "
                     L"foreimage=\"file='yellow.png' dest='0,0,4,4'\"/>"));
    // The fore image goes over the state image.
    EXPECT_EQ(h.Pixels({{20, 65}, {101, 51}, {120, 65}}), Colors({kRed, kYellow, kRed}));
    auto* o = h.Find<COptionUI>(L"o");
    o->SetSelected(true);
    EXPECT_EQ(h.Pixel(20, 65), kBlue);
    h.In().Move(20, 65);
    EXPECT_EQ(h.Pixel(20, 65), kCyan);
    o->SetSelected(false);
    EXPECT_EQ(h.Pixel(20, 65), kGreen);

    auto* c = h.Find<COptionUI>(L"c");
    auto* r1 = h.Find<COptionUI>(L"r1");
    auto* r2 = h.Find<COptionUI>(L"r2");
    const std::vector<std::wstring> only = {L"click", L"selectchanged"};
    EXPECT_EQ(h.Host()->GetOptionGroup(L"g")->GetSize(), 3);
    h.rec.Clear();
    h.In().Click(10, 10);
    h.In().Click(10, 10);
    EXPECT_FALSE(c->IsSelected());
    EXPECT_TRUE(SameSequence(h.rec.Lines(only), {L"click:c", L"selectchanged:c", L"click:c", L"selectchanged:c"}));
    h.rec.Clear();
    h.In().Click(130, 10);  // selects r2, silently deselects r1
    h.In().Click(130, 10);  // already selected: click only
    EXPECT_TRUE(SameSequence(h.rec.Lines(only), {L"click:r2", L"selectchanged:r2", L"click:r2"}));
    EXPECT_TRUE(!r1->IsSelected() && r2->IsSelected());
    EXPECT_EQ(r1->GetState() & kStateSelected, 0u);

    // Disabled: the selection stays, the rest of the state goes.
    h.In().Move(130, 10);
    r2->SetEnabled(false);
    EXPECT_TRUE(r2->IsSelected());
    EXPECT_EQ(r2->GetState(), kStateSelected);
    h.rec.Clear();
    h.In().Click(130, 10);
    EXPECT_TRUE(h.rec.Lines(only).empty());

    // Leaving a group takes the option out of the host's list of it.
    r1->SetGroup(L"other");
    EXPECT_EQ(h.Host()->GetOptionGroup(L"g")->GetSize(), 2);
    EXPECT_EQ(h.Host()->GetOptionGroup(L"other")->GetSize(), 1);
    r1->SetSelected(true);
    EXPECT_TRUE(r2->IsSelected());
}

TEST_F(Controls, MenuButtonLayersLogoAndTheMenuOnTheRightButton)
{
    ASSERT_TRUE(Open(L"<MenuButton name=\"m\" float=\"true\" pos=\"0,0,60,40\" menu=\"true\" normalimage=\"red.png\" "
                     L"hotimage=\"file='green.png' dest='0,0,30,40'\" logoimage=\"blue.png\" hotlogoimage=\"cyan.png\" "
                     L"logo_x=\"40\" logo_y=\"10\" logo_width=\"10\" logo_height=\"10\" focusedimage=\"http://x\"/>"
                     L"<MenuButton name=\"n\" float=\"true\" pos=\"100,0,160,40\" normalimage=\"red.png\" logoimage=\"blue.png\" "
                     L"focusedimage=\"http://y\"/>"
                     L"<Button name=\"b\" float=\"true\" pos=\"200,0,280,30\" menu=\"true\"/>"
                     L"<Button name=\"p\" float=\"true\" pos=\"200,50,280,80\"/>"));
    // The first paint focused m: its focused image names no picture, so that draw failed and
    // cleared it; n was never painted focused and keeps its text.
    EXPECT_EQ(std::wstring(h.Find<CMenuButton>(L"m")->GetFocusedImage()), L"");
    EXPECT_EQ(std::wstring(h.Find<CMenuButton>(L"n")->GetFocusedImage()), L"http://y");
    // Without a logo position (n) no logo is drawn.
    EXPECT_EQ(h.Pixels({{5, 5}, {45, 15}, {45, 5}, {101, 1}}), Colors({kRed, kBlue, kRed, kRed}));
    h.In().Move(45, 30);
    // The hot image over the left half, the normal one still behind the rest, the hot logo.
    EXPECT_EQ(h.Pixels({{5, 5}, {55, 5}, {45, 15}}), Colors({kGreen, kRed, kCyan}));
    h.In().Click(45, 30);
    // The menu comes from the right button only where "menu" asks for it.
    for (const POINT pt : {POINT{45, 30}, POINT{110, 10}, POINT{210, 10}, POINT{210, 60}}) {
        h.In().RightDown(pt.x, pt.y);
        h.In().ContextMenu(pt.x, pt.y);
        h.In().RightUp(pt.x, pt.y);
    }
    EXPECT_TRUE(SameSequence(h.rec.Lines({L"click", L"menu"}), {L"click:m", L"menu:m", L"menu:b"}));
}

TEST_F(Controls, HostAndSlaveButtonsPassHoverToTheirLinkedControl)
{
    ASSERT_TRUE(Open(L"<CHostButtonUI name=\"h\" float=\"true\" pos=\"0,0,50,30\" linkedcontrol=\"panel\"/>"
                     L"<Label name=\"panel\" float=\"true\" pos=\"0,50,50,80\" visible=\"false\"/>"
                     L"<CSlaveButtonUI name=\"s\" float=\"true\" pos=\"100,0,150,30\" linkedcontrol=\"t\"/>"
                     L"<CSlaveButtonUI name=\"t\" float=\"true\" pos=\"200,0,250,30\" linkedcontrol=\"s\"/>"));
    auto* panel = h.Find(L"panel");
    h.In().Move(10, 10);
    EXPECT_TRUE(panel->IsVisible());
    h.In().Move(10, 90);
    EXPECT_FALSE(panel->IsVisible());
    // Two slaves linked to each other light up together and pass the event on only once.
    h.In().Move(110, 10);
    EXPECT_NE(h.Find<CButtonUI>(L"s")->GetState() & kStateHot, 0u);
    EXPECT_NE(h.Find<CButtonUI>(L"t")->GetState() & kStateHot, 0u);
    h.In().Move(110, 90);
    EXPECT_EQ(h.Find<CButtonUI>(L"t")->GetState() & kStateHot, 0u);
    h.In().Click(10, 10);
    EXPECT_EQ(h.rec.Count(L"click"), 1);
}

// A "click" listener that closes the window deletes the option before it would change its
// selection; one that removes the option deletes only it, at once: nothing of it may be touched.
TEST(ButtonLifetime, ClickListenerClosesTheWindowOrRemovesTheButton)
{
    GuardedScope guard;
    for (const wchar_t* control : {L"Option", L"Button", L"MenuButton", L"Option removed"}) {
        const bool remove = std::wstring(control) == L"Option removed";
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(std::wstring(L"<") + (remove ? L"Option" : control) +
                                L" name=\"o\" float=\"true\" pos=\"0,0,50,30\"/>"),
                           100, 50));
        h.rec.onNotify = [&](NotifyMessage& msg) {
            if (std::wstring(msg.type) == L"click")
                remove ? void(h.Remove(L"o", true)) : h.win.Destroy();
        };
        h.In().Click(10, 10);
        EXPECT_EQ(h.win.IsOpen(), remove);
        EXPECT_TRUE(SameSequence(h.rec.Types(), {L"click"}));
        if (remove) {
            EXPECT_TRUE(h.Find(L"o") == nullptr && h.win.Layout());
        }
    }
}

// ---- edits ------------------------------------------------------------------------------------

namespace {

const wchar_t* const kTwoEdits = L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\"/>"
                                 L"<Edit name=\"b\" float=\"true\" pos=\"10,50,210,80\"/>";

RECT ClientRect(HWND child, HWND parent)
{
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

} // namespace

TEST_F(Controls, EditOpensItsNativeEditOverTheTextAndTypes)
{
    ASSERT_TRUE(Open(L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\" text=\"hi\"/>", 300, 120));
    auto* a = h.Find<CEditUI>(L"a");
    EXPECT_EQ(a->GetBehaviourFlags(), 3u);
    const HWND native = h.FocusField(L"a");
    ASSERT_NE(native, nullptr);
    wchar_t cls[32] = {};
    ::GetClassNameW(native, cls, 32);
    EXPECT_EQ(std::wstring(cls), L"EditWnd");
    const LONG style = ::GetWindowLongW(native, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | ES_AUTOHSCROLL | ES_PASSWORD | ES_READONLY), WS_CHILD | ES_AUTOHSCROLL);
    EXPECT_EQ(::GetParent(native), h.win.Hwnd());
    EXPECT_EQ(::GetFocus(), native);
    // Text padding 4,3,4,3 leaves 14,13,206,37; the font height is centred in it.
    const int top = 13 + (24 - FontHeight()) / 2;
    EXPECT_EQ(Text(ClientRect(native, h.win.Hwnd())), Text(RECT{14, top, 206, top + FontHeight()}));
    EXPECT_EQ(WindowText(native), L"hi");

    ::SendMessageW(native, EM_SETSEL, 2, 2);
    Type(native, L"yo");
    EXPECT_EQ(std::wstring(a->GetText()), L"hiyo");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 2);
    // A text set by the program reaches the open edit and is reported too.
    a->SetText(L"set");
    EXPECT_EQ(WindowText(native), L"set");
    EXPECT_EQ(h.rec.Count(L"textchanged"), 3);
    ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(SameSequence(h.rec.Types({L"return"}), {L"return"}));
    EXPECT_EQ(std::wstring(a->GetText()), L"set");
    // Moving the control moves the native edit.
    a->SetPos(RECT{20, 60, 220, 90});
    EXPECT_EQ(ClientRect(native, h.win.Hwnd()).left, 24);
}

TEST_F(Controls, EditTabLeavesTheFieldAndTheNativeEditGoesAway)
{
    ASSERT_TRUE(Open(std::wstring(kTwoEdits) + L"<Edit name=\"c\" float=\"true\" pos=\"10,90,210,115\" enabled=\"false\"/>",
                     300, 120));
    const HWND first = h.FocusField(L"a");
    ASSERT_NE(first, nullptr);
    ::SendMessageW(first, WM_CHAR, VK_TAB, 1);
    Drain();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(h.Find<CEditUI>(L"a")->GetNativeWindow(), nullptr);
    EXPECT_EQ(h.Host()->GetFocus(), h.Find(L"b"));
    const HWND second = h.Find<CEditUI>(L"b")->GetNativeWindow();
    ASSERT_NE(second, nullptr);
    // The disabled edit is skipped: Tab goes round to the first again.
    ::SendMessageW(second, WM_CHAR, VK_TAB, 1);
    Drain();
    EXPECT_EQ(h.Host()->GetFocus(), h.Find(L"a"));
    EXPECT_EQ(h.Find(L"c")->GetBehaviourFlags(), 0u);
    EXPECT_EQ(h.FocusField(L"c"), nullptr);
}

TEST_F(Controls, EditLimitsReadOnlyAndHiding)
{
    ASSERT_TRUE(Open(L"<Edit name=\"a\" float=\"true\" pos=\"10,10,210,40\" maxchar=\"3\"/>"
                     L"<Edit name=\"r\" float=\"true\" pos=\"10,50,210,80\" readonly=\"true\" text=\"fixed\"/>",
                     300, 120));
    HWND native = h.FocusField(L"a");
    Type(native, L"abcdef");
    EXPECT_EQ(std::wstring(h.Find<CEditUI>(L"a")->GetText()), L"abc");
    h.Find(L"a")->SetAttribute(L"maxchar", L"10");
    EXPECT_EQ(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 10);

    auto* r = h.Find<CEditUI>(L"r");
    native = h.FocusField(L"r");
    EXPECT_NE(::GetWindowLongW(native, GWL_STYLE) & ES_READONLY, 0);
    Type(native, L"xyz");
    EXPECT_EQ(std::wstring(r->GetText()), L"fixed");
    r->SetReadOnly(false);
    Type(native, L"!");
    EXPECT_EQ(std::wstring(r->GetText()).size(), 6u);

    // Hiding the open edit drops the focus, which closes the native edit; so does hiding its
    // container.
    r->SetVisible(false);
    Drain();
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(h.Host()->GetFocus(), nullptr);
    native = h.FocusField(L"a");
    h.Find(L"root")->SetVisible(false);
    Drain();
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_FALSE(h.Find(L"a")->IsVisible());
}

TEST_F(Controls, EditPasswordCharactersArePaintedAndMaskTheOpenEdit)
{
    ASSERT_TRUE(Open(L"<Edit name=\"p\" float=\"true\" pos=\"0,0,150,30\" password=\"true\" text=\"abc\"/>"
                     L"<Edit name=\"q\" float=\"true\" pos=\"0,40,150,70\" password=\"true\" text=\"xyz\"/>"
                     L"<Edit name=\"t\" float=\"true\" pos=\"0,80,150,110\" text=\"abc\"/>",
                     300, 120));
    h.Host()->SetFocus(nullptr);
    Drain();  // the native edit of the first focus closes
    auto shot = CaptureClient(h.win.Hwnd());
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
    EXPECT_NE(::GetWindowLongW(h.FocusField(L"p"), GWL_STYLE) & ES_PASSWORD, 0);
    const HWND native = h.FocusField(L"t");
    auto* t = h.Find<CEditUI>(L"t");
    const auto passwordChar = [&] { return ::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0); };
    EXPECT_EQ(passwordChar(), 0);
    t->SetPasswordMode(true);
    EXPECT_EQ(passwordChar(), L'*');
    t->SetPasswordChar(L'#');
    EXPECT_EQ(passwordChar(), L'#');
    t->SetPasswordMode(false);
    EXPECT_EQ(passwordChar(), 0);
}

// The control deleted while its native edit is open: the native edit goes with it and never
// reaches the dead control; a "textchanged" listener may close the whole window.
TEST(EditLifetime, DeletedWhileTheNativeEditIsOpen)
{
    GuardedScope guard;
    {
        XmlHost h;
        ASSERT_TRUE(h.Open(Skin(kTwoEdits), 300, 100));
        const HWND native = h.FocusField(L"a");
        ASSERT_NE(native, nullptr);
        h.Remove(L"a");
        Drain();
        EXPECT_FALSE(::IsWindow(native));
        h.win.Layout();
    }
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(kTwoEdits), 300, 100));
    h.rec.onNotify = [&](NotifyMessage& msg) {
        if (std::wstring(msg.type) == L"textchanged")
            h.win.Destroy();
    };
    ::SendMessageW(h.FocusField(L"b"), WM_CHAR, L'x', 1);
    Drain();
    EXPECT_FALSE(h.win.IsOpen());
}

// ---- pictures that cannot be loaded --------------------------------------------------------------

namespace {

// Opens of files whose name holds "pic-", counted and passed on.
int g_opens = 0;
ImportPatch* g_patch = nullptr;

HANDLE WINAPI CountingCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE tmpl)
{
    if (name != nullptr && std::wcsstr(name, L"pic-") != nullptr)
        ++g_opens;
    using Fn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    return reinterpret_cast<Fn>(g_patch->Original())(name, access, share, security, disposition, flags, tmpl);
}

} // namespace

// A picture that cannot be loaded (no such file, or a file that is no picture) is looked for
// once: the draw that fails tells the control, which forgets the image text, and later paints
// open no file for it. A picture that loads is kept and drawn at every paint.
TEST(BrokenImage, IsLookedForOnceAndForgotten)
{
    const struct {
        const wchar_t* element;  // %ls where the image text goes
        std::function<const wchar_t*(CControlUI*)> imageText;
    } controls[] = {
        {L"<Control name=\"c\" bkimage=\"%ls\"/>", [](CControlUI* c) { return c->GetBkImage(); }},
        {L"<Button name=\"c\" normalimage=\"%ls\"/>",
         [](CControlUI* c) { return static_cast<CButtonUI*>(c)->GetNormalImage(); }},
        {L"<Option name=\"c\" selected=\"true\" selectedimage=\"%ls\"/>",
         [](CControlUI* c) { return static_cast<COptionUI*>(c)->GetSelectedImage(); }},
        {L"<Progress name=\"c\" value=\"50\" foreimage=\"%ls\"/>",
         [](CControlUI* c) { return static_cast<CProgressUI*>(c)->GetForeImage(); }},
    };
    const struct {
        const wchar_t* image;
        bool loads;
    } files[] = {{L"pic-missing.png", false},
                 {L"file='pic-garbage.png' corner='2,2,2,2'", false},
                 {L"file='pic-good.png' dest='0,0,10,10'", true}};
    SkinDir dir;
    dir.Write(L"pic-garbage.png", "\x89PNG but nothing a decoder takes");
    dir.Write(L"pic-good.png", EncodePng(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000}));
    for (const auto& c : controls) {
        for (const auto& file : files) {
            SCOPED_TRACE(testing::Message() << std::wstring(c.element).c_str() << " " << std::wstring(file.image).c_str());
            wchar_t element[256];
            std::swprintf(element, 256, c.element, file.image);
            ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountingCreateFileW));
            g_patch = &patch;
            ASSERT_TRUE(patch.Active());
            g_opens = 0;
            XmlHost h;
            ASSERT_TRUE(h.Open(L"<Window><VerticalLayout>" + std::wstring(element) + L"</VerticalLayout></Window>", 100, 40));
            EXPECT_EQ(g_opens, 1);  // the first paint
            CControlUI* control = h.Find(L"c");
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(c.imageText(control)[0] != L'\0', file.loads);
            for (int paint = 0; paint < 3; ++paint)
                ASSERT_TRUE(h.win.Layout());
            EXPECT_EQ(g_opens, 1);  // loaded once, or looked for once
            EXPECT_EQ(c.imageText(control)[0] != L'\0', file.loads);
            h.win.Destroy();
            g_patch = nullptr;
        }
    }
}
