// A text placed for one ExtTextOutW draws exactly the pixels DrawTextW draws, for every text style
// the labels, buttons, edits and lists use (each alignment, single line or not, ellipses, word
// break, no clipping), in several fonts and rectangles of odd and even sizes; texts DrawTextW
// would change (cut by an ellipsis, broken, with line breaks, tabs or prefixes) are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/DibCanvas.h"
#include "kit/Fuzz.h"
#include "kit/Text.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/PlacedText.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/TextPlacement.h"

using SkinUI::CTextPlacement;
using SkinUI::LinePosition;

namespace {

HFONT MakeFont(const wchar_t* face, int size, bool bold, bool italic)
{
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    lf.lfHeight = -size;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    return ::CreateFontIndirectW(&lf);
}

// Whether two canvases hold the same pixels; names the first that differs.
testing::AssertionResult Same(const kit::DibCanvas& a, const kit::DibCanvas& b)
{
    return kit::CanvasIs(a, [&](int x, int y) { return b.Pixel(x, y); });
}

} // namespace

TEST(TextPlacement, PlacedTextsDrawWhatDrawTextDraws)
{
    struct Font {
        const wchar_t* face;
        int size;
        bool bold, italic;
    };
    const Font fonts[] = {{L"Tahoma", 12, false, false}, {L"Tahoma", 14, true, false}, {L"微软雅黑", 12, false, false},
                          {L"微软雅黑", 18, true, false},  {L"Arial", 13, false, true},  {L"Courier New", 20, true, false}};
    const wchar_t* texts[] = {L"Sign in", L"登 录", L"我已阅读并同意", L"《用户协议》", L"a & b", L"x", L"Forgot password?",
                              L"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", L"line\r\nbreak", L"tab\there"};
    const UINT horizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    const UINT vertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    // The label family, edits, lists and tab strips draw with these on top of an alignment.
    const UINT kinds[] = {DT_SINGLELINE, DT_SINGLELINE | DT_END_ELLIPSIS, DT_SINGLELINE | DT_WORD_ELLIPSIS, DT_WORDBREAK,
                          DT_WORDBREAK | DT_END_ELLIPSIS, 0, DT_SINGLELINE | DT_NOCLIP, DT_SINGLELINE | DT_NOPREFIX};
    kit::FuzzRun fuzz;
    kit::DibCanvas drawn(160, 60), placed(160, 60);
    int placedCount = 0, total = 0;
    for (const Font& f : fonts) {
        SkinUI::CGdiFont font(MakeFont(f.face, f.size, f.bold, f.italic));
        ASSERT_TRUE(font);
        for (int round = 0; round < 120; ++round) {
            const wchar_t* text = texts[fuzz.Below(sizeof(texts) / sizeof(texts[0]))];
            const UINT format = horizontal[fuzz.Below(3)] | vertical[fuzz.Below(3)] | kinds[fuzz.Below(8)];
            const LONG left = static_cast<LONG>(fuzz.Below(40)) - 10, top = static_cast<LONG>(fuzz.Below(30)) - 8;
            // Text paddings larger than the control give empty and inverted rectangles too.
            const RECT rc{left, top, left - 20 + static_cast<LONG>(fuzz.Below(170)), top - 10 + static_cast<LONG>(fuzz.Below(60))};
            const int length = static_cast<int>(wcslen(text));
            for (kit::DibCanvas* canvas : {&drawn, &placed}) {
                canvas->Fill(0xFFFFFF);
                ::SelectObject(canvas->DC(), font.Get());
                ::SetBkMode(canvas->DC(), TRANSPARENT);
                ::SetTextColor(canvas->DC(), RGB(0x20, 0x40, 0x80));
            }
            RECT r = rc;
            ::DrawTextW(drawn.DC(), text, length, &r, format);
            LinePosition where;
            const bool simple = CTextPlacement::Place(placed.DC(), text, length, rc, format, where);
            if (simple)
                CTextPlacement::Draw(placed.DC(), text, length, where);
            else
                ::DrawTextW(placed.DC(), text, length, &r, format);
            ++total;
            placedCount += simple ? 1 : 0;
            ASSERT_TRUE(Same(placed, drawn)) << "format " << std::hex << format << std::dec << " in " << kit::Text(rc)
                                             << " face " << f.size << (simple ? " placed" : " refused");
            // Refused exactly where DrawTextW would change the text.
            const std::wstring s(text);
            SIZE size{};
            ::GetTextExtentPoint32W(placed.DC(), text, length, &size);
            const bool changes = s.find_first_of(L"\r\n\t") != std::wstring::npos ||
                                 (s.find(L'&') != std::wstring::npos && (format & DT_NOPREFIX) == 0) ||
                                 ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_WORDBREAK)) != 0 &&
                                  size.cx > rc.right - rc.left);
            EXPECT_EQ(simple, !changes) << "format " << std::hex << format << std::dec << " in " << kit::Text(rc);
        }
        ::SelectObject(drawn.DC(), ::GetStockObject(SYSTEM_FONT));
        ::SelectObject(placed.DC(), ::GetStockObject(SYSTEM_FONT));
    }
    EXPECT_GT(placedCount, total / 3);
}

// A control's placed text follows every change of its text, font, rectangle, format and colour:
// after each change it draws what the render functions' DrawText draws.
TEST(PlacedText, DrawsWhatDrawTextDrawsAfterEveryChange)
{
    SkinUI::CHostResources host;
    host.AddFont(L"Tahoma", 12, false, false, false);
    host.AddFont(L"微软雅黑", 14, true, false, false);
    host.AddFont(L"Arial", 18, false, true, false);
    const wchar_t* texts[] = {L"Sign in", L"登 录", L"a & b", L"Forgot password?", L"two\nlines", L"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiii"};
    const UINT formats[] = {DT_VCENTER | DT_SINGLELINE, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS,
                            DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK, DT_CENTER | DT_SINGLELINE};
    kit::FuzzRun fuzz;
    SkinUI::CPlacedText placed;
    kit::DibCanvas mine(160, 60), theirs(160, 60);
    for (int step = 0; step < 300; ++step) {
        const wchar_t* text = texts[fuzz.Below(6)];
        const UINT format = formats[fuzz.Below(5)];
        const int font = static_cast<int>(fuzz.Below(4)) - 1;
        const LONG left = static_cast<LONG>(fuzz.Below(30)), top = static_cast<LONG>(fuzz.Below(20));
        RECT a{left, top, left + 5 + static_cast<LONG>(fuzz.Below(150)), top + 5 + static_cast<LONG>(fuzz.Below(40))};
        RECT b = a;
        const DWORD color = 0xFF000000 | (fuzz.Next() & 0xFFFFFF);
        // Often the very same call again, as repaints make it.
        const int repeats = 1 + static_cast<int>(fuzz.Below(3));
        for (int r = 0; r < repeats; ++r) {
            mine.Fill(0xFFFFFF);
            theirs.Fill(0xFFFFFF);
            placed.Draw(mine.DC(), &host, a, text, color, font, format);
            SkinUI::CRenderKit::DrawText(theirs.DC(), &host, b, text, color, font, format);
            ASSERT_TRUE(Same(mine, theirs)) << "step " << step << " format " << std::hex << format << std::dec << " in "
                                            << kit::Text(a) << " font " << font;
        }
    }
}
