// Labels and texts in real windows built from skins: attribute parsing, padding, colours and
// marked-up text read back as pixels, measured sizes, and clickable links ("link").
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "kit/Fuzz.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "kit/Input.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/TextUI.h"
#include "uitoolkit/core/BuiltinControls.h"

using namespace SkinUI;
using namespace buttons_fixture;
using xml_host::XmlHost;

namespace {

struct Labels : ::testing::Test {
    XmlHost h;
    bool Open(const std::wstring& controls) { return h.Open(Skin(controls).c_str(), 300, 100); }
    // Pixels near a colour inside a rectangle of the painted window.
    int Count(const RECT& rc, uint32_t rgb)
    {
        auto shot = kit::CaptureClient(h.win.Hwnd());
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) n += kit::ColorDistance(shot->Pixel(x, y), rgb) < 60 ? 1 : 0;
        return n;
    }
    int LineHeight()
    {
        const TEXTMETRICW& tm = h.Host()->GetFontEntry(-1)->metrics;
        return tm.tmHeight + tm.tmExternalLeading;
    }
};

} // namespace

TEST(LabelAttributes, AlignEllipsisAndColours)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        UINT style;
    } cases[] = {
        {L"align", L"left", DT_VCENTER},
        {L"align", L"center", DT_VCENTER | DT_CENTER},
        {L"align", L"right", DT_VCENTER | DT_RIGHT},
        {L"align", L"top", 0},
        {L"align", L"bottom", DT_BOTTOM},
        // Both words: the centre rule, then the bottom rule.
        {L"align", L"center bottom", DT_CENTER | DT_BOTTOM},
        // The bottom rule also clears the right bit.
        {L"align", L"right,bottom", DT_BOTTOM},
        {L"endellipsis", L"true", DT_VCENTER | DT_END_ELLIPSIS},
        {L"endellipsis", L"True", DT_VCENTER},
    };
    for (const Case& c : cases) {
        CLabelUI label;
        label.SetAttribute(c.name, c.value);
        EXPECT_EQ(label.GetTextStyle(), c.style) << std::string(c.value, c.value + wcslen(c.value));
    }
    CLabelUI label;
    label.SetAttribute(L"textcolor", L"#FF123456");
    label.SetAttribute(L"disabledtextcolor", L"FF123456");
    EXPECT_EQ(label.GetTextColor(), 0xFF123456u);
    EXPECT_EQ(label.GetDisabledTextColor(), label.GetTextColor());
    label.SetAttribute(L"textpadding", L"1,2,3,4");
    label.SetAttribute(L"font", L"3");
    label.SetAttribute(L"showhtml", L"true");
    EXPECT_EQ(kit::Text(label.GetTextPadding()), "1,2,3,4");
    EXPECT_EQ(label.GetFont(), 3);
    EXPECT_TRUE(label.IsShowHtml());
    EXPECT_EQ(std::wstring(label.GetClass()), L"LabelUI");
    EXPECT_EQ(label.GetInterface(L"Label"), &label);
    EXPECT_EQ(label.GetInterface(L"Control"), &label);
    EXPECT_EQ(label.GetInterface(L"Text"), nullptr);
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
    kit::FuzzRun fuzz;
    XmlHost h;
    ASSERT_TRUE(h.Open(Skin(L"").c_str(), 200, 100));
    auto* root = static_cast<CContainerUI*>(h.Find(L"root"));
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

TEST_F(Labels, PaddingColoursAndMarkup)
{
    ASSERT_TRUE(Open(L"<Label name=\"l\" float=\"true\" pos=\"0,0,120,30\" text=\"MMMMMM\" textcolor=\"#FFFF0000\" "
                     L"textpadding=\"60,0,0,0\" disabledtextcolor=\"#FF0000FF\"/>"
                     L"<Label name=\"h\" float=\"true\" pos=\"0,40,120,70\" showhtml=\"true\" "
                     L"text=\"ab{c #FF00FF00}MMMMMMMMMM{/c}\"/>"));
    EXPECT_EQ(Count(RECT{0, 0, 60, 30}, kRed), 0);
    EXPECT_GT(Count(RECT{60, 0, 120, 30}, kRed), 10);
    h.Find(L"l")->SetEnabled(false);
    EXPECT_EQ(Count(RECT{60, 0, 120, 30}, kRed), 0);
    EXPECT_GT(Count(RECT{60, 0, 120, 30}, kBlue), 10);
    EXPECT_GT(Count(RECT{0, 40, 120, 70}, kGreen), 10);
    EXPECT_GT(Count(RECT{0, 40, 120, 70}, 0x000000), 3);  // "ab" in the host's default colour
}

TEST_F(Labels, TextLinksAreClickedAndHovered)
{
    ASSERT_TRUE(Open(L"<Text name=\"t\" float=\"true\" pos=\"0,0,300,40\" showhtml=\"true\" "
                     L"text=\"see {a one}first{/a} or {a two}second{/a}\"/>"
                     L"<Text name=\"p\" float=\"true\" pos=\"0,50,300,90\" text=\"plain\"/>"));
    auto* t = h.Find<CTextUI>(L"t");
    EXPECT_EQ(std::wstring(t->GetClass()), L"TextUI");
    EXPECT_EQ(t->GetInterface(L"Text"), t);
    ASSERT_EQ(t->GetLinkCount(), 2);
    EXPECT_EQ(std::wstring(t->GetLinkText(1)), L"two");
    EXPECT_EQ(t->GetBehaviourFlags(), 2u);
    EXPECT_EQ(h.Find(L"p")->GetBehaviourFlags(), 0u);

    const RECT second = *t->GetLinkRect(1);
    kit::Input in(h.win.Hwnd());
    in.Move(second.left + 2, second.top + 2);
    EXPECT_EQ(t->GetHoverLink(), 1);
    in.Click(second.left + 2, second.top + 2);
    in.Click(1, 30);  // not on a link
    const auto links = h.rec.OfType(L"link");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].sender, L"t");
    EXPECT_EQ(links[0].wParam, 1u);
    in.Move(200, 95);
    EXPECT_EQ(t->GetHoverLink(), -1);

    // No text, no links; nine links report eight.
    std::wstring nine;
    for (int i = 0; i < 9; ++i) nine += L"{a " + std::to_wstring(i) + L"}x{/a} ";
    t->SetText(nine.c_str());
    h.win.Layout();
    EXPECT_EQ(t->GetLinkCount(), 8);
    t->SetText(L"");
    h.win.Layout();
    EXPECT_EQ(t->GetLinkCount(), 0);
}

TEST_F(Labels, TextMeasuresItsDesiredSize)
{
    ASSERT_TRUE(Open(L"<Text name=\"t\" showhtml=\"true\" text=\"ab{n}cd\"/>"
                     L"<Text name=\"e\" showhtml=\"true\" endellipsis=\"true\" text=\"abcdef\"/>"
                     L"<Text name=\"f\" showhtml=\"true\" text=\"ab\" height=\"50\"/>"
                     L"<Text name=\"w\" text=\"one two three four five six\"/>"));
    const int line = LineHeight();
    const SIZE t = h.Find(L"t")->GetDesiredSize(SIZE{200, 0});
    EXPECT_EQ(t.cy, 2 * line);
    EXPECT_GT(t.cx, 4);
    EXPECT_LT(t.cx, 200);
    // Narrower than a character: one character per line, and measuring ends.
    EXPECT_EQ(h.Find(L"e")->GetDesiredSize(SIZE{5, 0}).cy, 6 * line);
    EXPECT_EQ(h.Find(L"f")->GetDesiredSize(SIZE{200, 0}).cy, 50);
    // Plain text wraps by words.
    EXPECT_GT(h.Find(L"w")->GetDesiredSize(SIZE{60, 0}).cy, 2 * line);
}
