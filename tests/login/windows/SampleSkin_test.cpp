// The sample game's login skin (sample/workdir/.../skin) as a player sees it, built by the
// toolkit with the program's control factory on a real window and read back as pixels: every
// control of both pages gets its height, the inline error fits, labels sit on the line of the
// links and check boxes beside them, account rows and links answer the pointer, typed text keeps
// the skin's colour, the account list's drop-down has the skin's border, the password box says
// what it is for, every text of every page shows whole inside the room its row gives it, a
// failure reason of any length can be read to its last character, and every scroll bar wears the
// skin's thumb.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/StringUtil.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/Pump.h"
#include "kit/SkinDir.h"
#include "kit/TextInk.h"
#include "kit/XmlHost.h"
#include "login/windows/DialogBuilderCallbackEx.h"
#include "login/windows/LoginFailureText.h"
#include "login/windows/PVAListItemEx.h"
#include "tests/launcher/LauncherProcess.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/ComboWnd.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/ScrollBarUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/PngReader.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/RichEditUI.h"
#include "uitoolkit/core/TxtWinHost.h"

using namespace SkinUI;

namespace {

struct Factory : CDialogBuilderCallbackEx {};

CControlUI* CALLBACK ByText(CControlUI* control, void* text)
{
    return std::wcscmp(control->GetText().GetData(), static_cast<const wchar_t*>(text)) == 0 ? control : nullptr;
}

RECT Inner(RECT rc, int by)
{
    ::InflateRect(&rc, -by, -by);
    return rc;
}

long MiddleY(const RECT& rc) { return (rc.top + rc.bottom) / 2; }

// How many pixels of `area` are ink in one and not in the other.
int InkDifference(const kit::TextInk& a, const kit::TextInk& b, const RECT& area)
{
    int differing = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            differing += a.At(x, y) != b.At(x, y) ? 1 : 0;
    return differing;
}

// The ink rows of the first line of a text: from the top of its ink to the first row without ink.
std::pair<long, long> FirstLineRows(const kit::TextInk& ink, const RECT& box)
{
    long bottom = box.top;
    while (bottom < box.bottom) {
        const RECT row = {box.left, bottom, box.right, bottom + 1};
        const RECT found = ink.Bounds(row);
        if (::IsRectEmpty(&found)) break;
        ++bottom;
    }
    return {box.top, bottom};
}

// `text` repeated to `units` UTF-16 units, ending in no blank.
std::wstring Repeated(const std::wstring& text, size_t units)
{
    std::wstring out;
    while (out.size() < units) out += text;
    out.resize(units);
    while (!out.empty() && out.back() == L' ') out.pop_back();
    return out;
}

// One character drawn alone, in a font and colour, from the top-left corner of its cell on
// white: the box of its ink and how many pixels it inks.
struct GlyphInk {
    RECT box;
    int pixels;
};
GlyphInk InkAlone(HFONT font, DWORD argb, wchar_t ch)
{
    kit::DibCanvas with(64, 64), without(64, 64);
    CSelectObject select(with.DC(), font);
    ::SetBkMode(with.DC(), TRANSPARENT);
    ::SetTextColor(with.DC(), ArgbToColorRef(argb));
    ::TextOutW(with.DC(), 0, 0, &ch, 1);
    const RECT all = {0, 0, 64, 64};
    const kit::TextInk ink(with, without, all);
    return {ink.Bounds(), ink.Count(all)};
}

// The pixels of `ink` that lie outside `inside` and outside `skip`.
int InkOutside(const kit::TextInk& ink, const RECT& area, const RECT& inside, const RECT& skip)
{
    int outside = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            outside += ink.At(x, y) && !kit::In(x, y, inside) && !kit::In(x, y, skip) ? 1 : 0;
    return outside;
}

// The colour (0xRRGGBB) of an opaque pixel of a skin picture; 0xDEADBEEF when it cannot be read.
uint32_t PicturePixel(const std::wstring& file, int x, int y)
{
    const std::string bytes = kit::ReadBytesFromFile(file);
    CPngReader png;
    if (!png.Open(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()) || x >= png.Width() || y >= png.Height())
        return 0xDEADBEEF;
    std::vector<DWORD> pixels(static_cast<size_t>(png.Width()) * png.Height());
    bool blended = false;
    if (!png.Decode(pixels.data(), 0, &blended))
        return 0xDEADBEEF;
    const DWORD pixel = pixels[static_cast<size_t>(y) * png.Width() + x];
    return (pixel >> 24) == 0xFF ? pixel & 0xFFFFFF : 0xDEADBEEF;
}

// The login dialog's skin from the sample, the size its window gets, on the skin search path.
class SampleSkin : public ::testing::Test {
protected:
    static constexpr int kWidth = 450, kHeight = 309;

    void SetUp() override
    {
        ASSERT_TRUE(e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin", skin_.Path()));
        const std::wstring xml = Utf8ToWide(kit::ReadBytesFromFile(skin_.Dir() + L"LoginWindowEx.xml"));
        ASSERT_TRUE(h.Open(xml, kWidth, kHeight, &factory_));
    }
    // Shows one page as the dialog does ("PVALogin", "PWDLogin" in the login box,
    // "LoginErrorContainer", "VerifyCodeContainer"): every page hidden, then the one shown, so
    // that the next paint lays the page out anew. `fill` puts the page's texts in before that
    // paint, as the dialog fills a page it has just shown.
    void ShowPage(const wchar_t* page, const std::function<void()>& fill = nullptr)
    {
        for (const wchar_t* each :
             {L"PVALogin", L"PWDLogin", L"LoginContainter", L"LoginErrorContainer", L"VerifyCodeContainer"})
            h.Find(each)->SetVisible(false);
        h.Find(page)->SetVisible(true);
        if (std::wcscmp(page, L"PVALogin") == 0 || std::wcscmp(page, L"PWDLogin") == 0)
            h.Find(L"LoginContainter")->SetVisible(true);
        if (fill) fill();
        h.win.Layout();
    }
    // A quick-login row added to the account list as the dialog adds one: its root and its name
    // label (nulls when it could not be built or added).
    struct AddedRow {
        CControlUI* root = nullptr;
        CControlUI* nick = nullptr;
    };
    AddedRow AddAccountRow(const std::wstring& nick, const std::wstring& account)
    {
        PVAAccountRecord record;
        record.accountNumber = 10001 + rows_.size();
        record.accountText = account;
        record.nickName = nick;
        record.faceImage = L"default_face.png";
        rows_.push_back(std::make_unique<CPVAListItemEx>(h.Host(), record));
        CControlUI* root = rows_.back()->Build();
        if (root == nullptr) return {};
        rows_.back()->FormatFaceImageAttr(record.faceImage.c_str());
        CControlUI* label = rows_.back()->GetNickName();  // forgotten by the row once the list owns it
        if (!h.Find<CListUI>(L"ListPVA")->Add(root)) return {};
        rows_.back()->ReleaseRoot();
        return {root, label};
    }
    CControlUI* Labelled(const wchar_t* page, const wchar_t* text) const
    {
        return h.Find(page)->FindControl(&ByText, const_cast<wchar_t*>(text), 0);
    }
    std::unique_ptr<kit::DibCanvas> Shot() const
    {
        kit::Drain();
        return kit::CaptureClient(h.win.Hwnd());
    }
    // A label's text as the window shows it, and as the label draws it by itself on the same
    // picture, where no container clips it: all of the text that its place and its layout give
    // it, even what they cut. A one-line text that ends in no ellipsis is drawn there with its
    // box opened to the window's edge on the side(s) its alignment grows into, so that what its
    // own box cuts is drawn too.
    std::pair<kit::TextInk, kit::TextInk> InksOf(CLabelUI* label) const
    {
        const auto with = Shot();
        const std::wstring text = label->GetText().GetData();
        label->SetText(L"");
        const auto without = Shot();
        label->SetText(text.c_str());
        // A measured text is placed again for its text: back where the window showed it.
        kit::Drain();
        const int width = without->Width(), height = without->Height();
        kit::DibCanvas alone(width, height);
        ::BitBlt(alone.DC(), 0, 0, width, height, without->DC(), 0, 0, SRCCOPY);
        const RECT padding = label->GetTextPadding();
        RECT open = padding;
        const RECT pos = label->GetPos();
        const UINT style = label->GetTextStyle();
        if ((style & (DT_WORDBREAK | DT_END_ELLIPSIS)) == 0) {
            if (style & DT_CENTER) {
                const long by = std::min<long>(pos.left, width - pos.right);
                open.left -= by, open.right -= by;
            } else if (style & DT_RIGHT) {
                open.left -= pos.left;
            } else {
                open.right -= width - pos.right;
            }
        }
        label->SetTextPadding(open);
        label->PaintText(alone.DC());
        label->SetTextPadding(padding);
        const RECT all = {0, 0, width, height};
        return {kit::TextInk(*with, *without, all), kit::TextInk(alone, *without, all)};
    }

    // The skin's scroll bars with something to scroll, each with the window it shows in: the
    // quick-login list with rows, the account drop-down opened with accounts, a failure reason of
    // so many characters. Null when the bar could not be had.
    using BarInWindow = std::pair<CScrollBarUI*, HWND>;
    BarInWindow QuickLoginBar(int rows)
    {
        for (int i = 0; i < rows; ++i) AddAccountRow(L"Player " + std::to_wstring(i), std::to_wstring(10001 + i));
        h.win.Layout();
        return {h.Find<CListUI>(L"ListPVA")->GetVerticalScrollBar(), h.win.Hwnd()};
    }
    BarInWindow AccountDropDownBar(int accounts)
    {
        auto* combo = h.Find<CComboUI>(L"accountcombo");
        combo->RemoveAll();
        for (int i = 0; i < accounts; ++i) {
            auto* item = new CListLabelElementUI();
            item->SetText(std::to_wstring(10001 + i).c_str());
            combo->Add(item);
        }
        h.win.Layout();
        if (!combo->Activate() || combo->GetDropWindow() == nullptr) return {nullptr, nullptr};
        kit::Drain();
        return {combo->GetDropWindow()->GetList()->GetVerticalScrollBar(), combo->GetDropWindow()->GetHWND()};
    }
    BarInWindow FailureReasonBar(size_t characters)
    {
        CControlUI* reason = h.Find(L"redtErrorInfo");
        reason->SetText(std::wstring(characters, L'\x5E10').c_str());
        h.win.Layout();
        auto* scrolling = static_cast<CContainerUI*>(reason->GetInterface(L"Container"));
        return {scrolling != nullptr ? scrolling->GetVerticalScrollBar() : nullptr, h.win.Hwnd()};
    }

    kit::SkinDir skin_;
    Factory factory_;
    kit::XmlHost h;
    std::vector<std::unique_ptr<CPVAListItemEx>> rows_;  // gone before the window
};

} // namespace

// Each control of either page has the height the skin gives it, and the page ends above the
// site links, with room to spare.
TEST_F(SampleSkin, BothPagesFitAboveTheSiteLinks)
{
    const RECT area = h.Find(L"LoginContainter")->GetPos();
    for (const wchar_t* page : {L"PVALogin", L"PWDLogin"}) {
        SCOPED_TRACE(WideToUtf8(page));
        ShowPage(page);
        auto* box = static_cast<CContainerUI*>(h.Find(page));
        long bottom = 0;
        for (int i = 0; i < box->GetCount(); ++i) {
            CControlUI* child = box->GetItemAt(i);
            if (!child->IsVisible()) continue;
            const RECT rc = child->GetPos();
            EXPECT_EQ(rc.bottom - rc.top, child->GetFixedHeight()) << "child " << i << " squeezed";
            bottom = rc.bottom;
        }
        EXPECT_LE(bottom, area.bottom - 4) << "the page runs into the separator";
    }
    // The quick page's way to the password page shows its whole text.
    CControlUI* used = h.Find(L"btnUsedAccount");
    ShowPage(L"PVALogin");
    const auto with = Shot();
    const std::wstring text = used->GetText().GetData();
    used->SetText(L"");
    const RECT ink = kit::TextInk(*with, *Shot(), used->GetPos()).Bounds();
    used->SetText(text.c_str());
    EXPECT_GE(ink.right - ink.left, static_cast<long>(text.size()) * 10) << "使用其他帐号 cut";
}

// The inline input errors show whole, on the row of the check boxes.
TEST_F(SampleSkin, InlineErrorShowsTheWholeMessage)
{
    ShowPage(L"PWDLogin");
    auto* error = h.Find<CLabelUI>(L"lblError");
    for (const wchar_t* message : {L"请输入正确的帐号！", L"请输入密码！"}) {
        error->SetText(message);
        error->SetVisible(true);
        h.win.Layout();
        RECT room = error->GetPos();
        const RECT padding = error->GetTextPadding();
        room.left += padding.left, room.right -= padding.right;
        RECT need = {0, 0, 1000, 100};
        kit::DibCanvas canvas(8, 8);
        CSelectObject font(canvas.DC(), h.Host()->GetFont(error->GetFont()));
        ::DrawTextW(canvas.DC(), message, -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_LE(need.right, room.right - room.left) << "the message is cut";
    }
}

// Labels beside links and check boxes share their middle line (within a pixel for text, two for
// the check box pictures).
TEST_F(SampleSkin, LabelsSitOnTheLineOfTheirRow)
{
    const struct {
        const wchar_t* page;
        const wchar_t* label;   // found by its text
        const wchar_t* link;    // a link of the same row
        const wchar_t* check;   // the check box before the label
    } rows[] = {
        {L"PVALogin", L"我已阅读并同意", L"btnAgreeLicense2", L"checkboxAgreeLicense2"},
        {L"PWDLogin", L"我已阅读并同意", L"btnAgreeLicense", L"checkboxAgreeLicense"},
        {L"PWDLogin", L"记住密码", L"btnRetrieveAccount", L"btnSavePWD"},
        {L"PWDLogin", L"自动登录", L"btnRetrieveAccount", L"btnAutoLogin"},
        {L"PWDLogin", L"请输入密码！", L"btnRetrieveAccount", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(WideToUtf8(row.label) + " beside " + WideToUtf8(row.link));
        ShowPage(row.page);
        auto* error = h.Find(L"lblError");
        error->SetText(L"请输入密码！");
        error->SetVisible(true);
        h.win.Layout();
        CControlUI* label = Labelled(row.page, row.label);
        ASSERT_NE(label, nullptr);
        CControlUI* link = h.Find(row.link);
        const auto with = Shot();
        const std::wstring linkText = link->GetText().GetData();
        label->SetText(L"");
        link->SetText(L"");
        const auto without = Shot();
        label->SetText(row.label);
        link->SetText(linkText.c_str());
        const RECT labelInk = kit::TextInk(*with, *without, label->GetPos()).Bounds();
        const RECT linkInk = kit::TextInk(*with, *without, link->GetPos()).Bounds();
        ASSERT_FALSE(::IsRectEmpty(&labelInk));
        ASSERT_FALSE(::IsRectEmpty(&linkInk));
        EXPECT_NEAR(MiddleY(labelInk), MiddleY(linkInk), 1) << "label text and link text";
        if (row.check != nullptr) {
            EXPECT_NEAR(MiddleY(labelInk), MiddleY(h.Find(row.check)->GetPos()), 2) << "label text and check box";
        }
    }
}

// Under the pointer an account row shows the list's hover colour, wherever on the row the
// pointer is (its name and face included), and a link changes its text colour.
TEST_F(SampleSkin, RowsAndLinksAnswerThePointer)
{
    ShowPage(L"PVALogin");
    auto* list = h.Find<CListUI>(L"ListPVA");
    const auto [root, nick] = AddAccountRow(L"Alice", L"alice@example.com");
    ASSERT_NE(root, nullptr);
    ASSERT_NE(nick, nullptr);
    h.win.Layout();
    const RECT rowRect = root->GetPos();
    const POINT blank = {rowRect.right - 60, MiddleY(rowRect)};  // no text, no mark
    const uint32_t hot = list->GetListInfo()->hotBkColor & 0xFFFFFF;
    const uint32_t idle = h.Pixel(blank.x, blank.y);
    ASSERT_NE(idle, hot);
    const struct {
        const char* where;
        POINT at;
    } spots[] = {
        {"on the name", {nick->GetPos().left + 4, MiddleY(rowRect)}},
        {"on the face", {rowRect.left + 14, MiddleY(rowRect)}},
        {"on the row", blank},
    };
    // The dialog selects the first row at once: the selected row must light up as well.
    for (const bool selected : {false, true}) {
        list->SelectItem(selected ? 0 : -1, false);
        for (const auto& spot : spots) {
            SCOPED_TRACE(std::string(spot.where) + (selected ? ", selected" : ""));
            h.In().Move(spot.at.x, spot.at.y);
            EXPECT_EQ(h.Pixel(blank.x, blank.y), hot);
            h.In().Move(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
            EXPECT_NE(h.Pixel(blank.x, blank.y), hot);
        }
    }

    for (const wchar_t* name : {L"btnRegisterAccount", L"btnAgreeLicense2", L"btnUsedAccount"}) {
        SCOPED_TRACE(WideToUtf8(name));
        CControlUI* link = h.Find(name);
        const RECT rc = link->GetPos();
        const auto idleShot = Shot();
        h.In().Move((rc.left + rc.right) / 2, MiddleY(rc));
        const auto hotShot = Shot();
        const std::wstring text = link->GetText().GetData();
        link->SetText(L"");
        const auto without = Shot();
        link->SetText(text.c_str());
        h.In().Move(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
        const uint32_t idleInk = kit::TextInk(*idleShot, *without, rc).StrongestColor();
        const uint32_t hotInk = kit::TextInk(*hotShot, *without, rc).StrongestColor();
        EXPECT_GT(kit::ColorDistance(idleInk, hotInk), 40) << std::hex << idleInk << " " << hotInk;
    }
}

// Text typed into the account and password boxes shows in the skin's text colour, not the
// system's black.
TEST_F(SampleSkin, TypedTextKeepsTheSkinColour)
{
    ShowPage(L"PWDLogin");
    for (const wchar_t* name : {L"accountedit", L"pwdedit"}) {
        SCOPED_TRACE(WideToUtf8(name));
        auto* field = h.Find<CLabelUI>(name);
        field->SetText(L"");
        HWND native = h.FocusField(name);
        ASSERT_NE(native, nullptr);
        kit::Type(native, L"10001");
        ::HideCaret(native);  // black in any skin
        ::RedrawWindow(native, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        kit::Drain();
        const auto shot = kit::CaptureScreen(native);
        const auto blank = std::make_unique<kit::DibCanvas>(shot->Width(), shot->Height(), 0xFFFFFF);
        const RECT all = {0, 0, shot->Width(), shot->Height()};
        const kit::TextInk ink(*shot, *blank, all);
        const RECT typed = ink.Bounds();
        ASSERT_FALSE(::IsRectEmpty(&typed)) << "nothing typed shows";
        EXPECT_LT(kit::ColorDistance(ink.StrongestColor(), field->GetTextColor() & 0xFFFFFF), 24)
            << std::hex << ink.StrongestColor();
        h.Find(L"loginBtn")->SetFocus();
        kit::Drain();
    }
}

// The used accounts' drop-down is framed in the skin's colours, not the toolkit's cyan.
TEST_F(SampleSkin, AccountDropDownHasTheSkinsBorder)
{
    ShowPage(L"PWDLogin");
    auto* combo = h.Find<CComboUI>(L"accountcombo");
    auto* item = new CListLabelElementUI();
    item->SetText(L"10001");
    ASSERT_TRUE(combo->Add(item));
    ASSERT_TRUE(combo->Activate());
    kit::Drain();
    HWND drop = ::FindWindowW(L"ComboWnd", nullptr);
    ASSERT_NE(drop, nullptr);
    RECT rc = {};
    ::GetClientRect(drop, &rc);
    const auto shot = kit::CaptureClient(drop);
    const uint32_t edge = shot->Pixel(0, rc.bottom / 2);
    EXPECT_GT(kit::ColorDistance(edge, 0x85E4FF), 40) << std::hex << edge;
    EXPECT_LT(kit::ColorDistance(edge, 0xC9D3DE), 40) << std::hex << edge << " is not the edit frame's border";
    ::SendMessageW(drop, WM_CLOSE, 0, 0);
    kit::Drain();
}

// The empty password box, not focused, shows what it is for.
TEST_F(SampleSkin, PasswordBoxSaysWhatItIsFor)
{
    ShowPage(L"PWDLogin");
    CControlUI* pwd = h.Find(L"pwdedit");
    pwd->SetText(L"");
    h.Find(L"loginBtn")->SetFocus();
    const auto shot = Shot();
    const kit::DibCanvas white(shot->Width(), shot->Height(), 0xFFFFFF);
    const RECT box = Inner(pwd->GetPos(), 4);
    EXPECT_GT(kit::TextInk(*shot, white, box).Bounds().right, 0) << "an empty box with no hint";
}

// Every text of every page shows whole inside the room its row gives it: all of its ink lies in
// its container's inner rectangle, and the window shows all of it (no glyph cut at the edge of a
// row or of its own box). The failure page's text wraps to the room beside the warning icon,
// whatever the failure says, with its first line beside the middle of the icon.
TEST_F(SampleSkin, EveryTextShowsWholeInItsRow)
{
    enum class Fill { kSkin, kText, kAccountRow };
    const struct Case {
        const char* what;
        const wchar_t* page;
        const wchar_t* control;  // its name, or the text of an unnamed label
        Fill fill;
        std::wstring text;       // put in by the page's filler (kText, kAccountRow)
    } cases[] = {
        {"back", L"LoginErrorContainer", L"btnErrorOK", Fill::kSkin, L""},
        {"title", L"PVALogin", L"Ombrel Sample Game", Fill::kSkin, L""},
        {"welcome", L"PVALogin", L"欢迎回来，请登录您的 Kwi 帐号", Fill::kSkin, L""},
        {"quick hint", L"PVALogin", L"选择已登录过的帐号，一键进入游戏", Fill::kSkin, L""},
        {"long nick name", L"PVALogin", L"NickName", Fill::kAccountRow, L"一个非常非常长的昵称用来看看行里放不放得下"},
        {"quick sign-in", L"PVALogin", L"btnPVALogin", Fill::kSkin, L""},
        {"quick agree", L"PVALogin", L"我已阅读并同意", Fill::kSkin, L""},
        {"quick terms", L"PVALogin", L"btnAgreeLicense2", Fill::kSkin, L""},
        {"quick privacy", L"PVALogin", L"btnAgreeLicense2_1", Fill::kSkin, L""},
        {"quick children's privacy", L"PVALogin", L"btnAgreeLicense2_2", Fill::kSkin, L""},
        {"other account", L"PVALogin", L"btnUsedAccount", Fill::kSkin, L""},
        {"account caption", L"PWDLogin", L"帐号", Fill::kSkin, L""},
        {"password caption", L"PWDLogin", L"密码", Fill::kSkin, L""},
        {"remember", L"PWDLogin", L"记住密码", Fill::kSkin, L""},
        {"auto sign-in", L"PWDLogin", L"自动登录", Fill::kSkin, L""},
        {"account error", L"PWDLogin", L"lblError", Fill::kText, L"请输入正确的帐号！"},
        {"password error", L"PWDLogin", L"lblError", Fill::kText, L"请输入密码！"},
        {"retrieve", L"PWDLogin", L"btnRetrieveAccount", Fill::kSkin, L""},
        {"sign-in", L"PWDLogin", L"loginBtn", Fill::kSkin, L""},
        {"agree", L"PWDLogin", L"我已阅读并同意", Fill::kSkin, L""},
        {"terms", L"PWDLogin", L"btnAgreeLicense", Fill::kSkin, L""},
        {"privacy", L"PWDLogin", L"btnAgreeLicense1_1", Fill::kSkin, L""},
        {"children's privacy", L"PWDLogin", L"btnAgreeLicense1_2", Fill::kSkin, L""},
        {"code caption", L"VerifyCodeContainer", L"请输入验证码", Fill::kSkin, L""},
        {"new code", L"VerifyCodeContainer", L"btnRegetCode", Fill::kSkin, L""},
        {"code ok", L"VerifyCodeContainer", L"btnVerifyOK", Fill::kSkin, L""},
        {"code cancel", L"VerifyCodeContainer", L"btnVerifyCancel", Fill::kSkin, L""},
        {"register", L"VerifyCodeContainer", L"btnRegisterAccount", Fill::kSkin, L""},
        {"website", L"VerifyCodeContainer", L"btnOfficialWebsite", Fill::kSkin, L""},
        {"charging", L"VerifyCodeContainer", L"btnChargingSystem", Fill::kSkin, L""},
        {"forum", L"VerifyCodeContainer", L"btnGameForum", Fill::kSkin, L""},
        {"service", L"VerifyCodeContainer", L"btnCustomerService", Fill::kSkin, L""},
        {"Kwi home", L"VerifyCodeContainer", L"btnKwiHome", Fill::kSkin, L""},
        {"home page", L"VerifyCodeContainer", L"btnHomeWeb", Fill::kSkin, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CControlUI* control = nullptr;
        ShowPage(c.page, [&] {
            if (c.fill == Fill::kAccountRow) {
                control = AddAccountRow(c.text, L"someone.with.a.long.address@example.com").nick;
                return;
            }
            control = h.Find(c.control);
            if (control == nullptr) control = Labelled(c.page, c.control);
            if (control == nullptr) control = h.root->FindControl(&ByText, const_cast<wchar_t*>(c.control), 0);
            if (control != nullptr && c.fill == Fill::kText) {
                control->SetText(c.text.c_str());
                control->SetVisible(true);
            }
        });
        ASSERT_NE(control, nullptr);
        auto* label = static_cast<CLabelUI*>(control->GetInterface(L"Label"));
        ASSERT_NE(label, nullptr);
        const auto [shown, whole] = InksOf(label);
        const RECT window = {0, 0, kWidth, kHeight};
        const RECT painted = shown.Bounds();
        ASSERT_FALSE(::IsRectEmpty(&painted)) << "no text painted";
        // All of the text lies in the room of its row.
        const RECT ink = whole.Bounds();
        auto* row = static_cast<CContainerUI*>(control->GetParent()->GetInterface(L"Container"));
        ASSERT_NE(row, nullptr);
        const RECT room = row->GetInsetRect();
        EXPECT_LE(ink.right, room.right) << "runs past its row's inner right edge by " << ink.right - room.right
                                         << " px";
        EXPECT_GE(ink.left, room.left) << "runs past its row's inner left edge by " << room.left - ink.left << " px";
        EXPECT_LE(ink.bottom, room.bottom) << "runs below its row by " << ink.bottom - room.bottom << " px";
        EXPECT_GE(ink.top, room.top) << "runs above its row by " << room.top - ink.top << " px";
        // And the window shows all of it.
        EXPECT_EQ(InkDifference(shown, whole, window), 0) << "pixels of the text cut off";
    }
}

// Reasons of every length, worded as the dialog words them (CR and LF removed, codes formatted),
// can each be read to the last character on the failure page. The reason starts beside the
// middle of the warning icon. One that fits shows whole without a scroll bar, and the page's room
// holds more than the row of five lines it once had. A longer one scrolls with the wheel until
// its last line shows whole. A word longer than a line (a web address) wraps inside itself. No
// ink leaves the text area, and the way back stays whole and clear of the text.
TEST_F(SampleSkin, EveryFailureReasonCanBeReadToItsLastCharacter)
{
    const std::wstring notice =
        L"您的帐号因存在异常登录行为，已被系统暂时冻结。冻结期间无法登录游戏、进行充值或交易。"
        L"如有疑问，请通过官方网站的安全中心提交申诉，我们将在三个工作日内通知您处理结果。";
    const std::wstring english =
        L"Your account was signed in from a device we do not recognise and has been locked for its "
        L"protection. While it is locked you cannot sign in, buy or trade. To unlock it, confirm your "
        L"identity in the security centre of the official website. ";
    std::wstring address = L"https://security.ombrel.example/appeal/form?account=10001&ticket=";
    for (int i = 0; address.size() < 90; ++i) address += L"0123456789ABCDEF"[i * 7 % 16];
    const struct {
        const char* what;
        std::wstring reason;
        bool scrolls;  // longer than the page
    } cases[] = {
        {"one line", LoginFailureText::For(3, L"Wrong password").text, false},
        {"network failure, formatted", LoginFailureText::For(LoginFailureText::kNetworkError, L"ignored").text,
         false},
        {"damaged install", LoginFailureText::For(LoginFailureText::kDamagedInstall, nullptr).text, false},
        {"another code, formatted", LoginFailureText::For(static_cast<int32_t>(0x80004005), nullptr).text,
         false},
        {"two English lines with CR LF", LoginFailureText::For(2, L"Your account was signed in on another device.\r\n"
                                                                 L"Please sign in again, or change your password.").text,
         false},
        {"Chinese, 6 lines", Repeated(notice, 130), false},
        {"Chinese, 150 characters", Repeated(notice, 150), false},
        {"Chinese, 8 lines", Repeated(notice, 180), false},
        {"Chinese, 15 lines", Repeated(notice, 340), true},
        {"Chinese, 1000 characters", Repeated(notice, 1000), true},
        {"English, 300 characters", Repeated(english, 300), false},
        {"English, 8 lines", Repeated(english, 420), false},
        {"English, 15 lines", Repeated(english, 800), true},
        {"English, 1000 characters", Repeated(english, 1000), true},
        {"a 90-character web address", L"帐号已冻结，申诉请访问 " + address, false},
        {"a web address alone", address, false},
    };
    const RECT window = {0, 0, kWidth, kHeight};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShowPage(L"LoginErrorContainer", [&] { h.Find(L"redtErrorInfo")->SetText(c.reason.c_str()); });
        auto* edit = static_cast<CRichEditUI*>(h.Find(L"redtErrorInfo")->GetInterface(L"RichEdit"));
        ASSERT_NE(edit, nullptr) << "the reason is in no text that scrolls";
        ASSERT_NE(edit->GetTextHost(), nullptr);
        CScrollBarUI* bar = edit->GetVerticalScrollBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->IsVisible(), c.scrolls);
        const RECT area = edit->GetTextHost()->GetControlRect();
        const auto atStart = Shot();

        // To the end with the wheel over the text, as far as it goes.
        const RECT& rc = edit->GetPos();
        for (int turn = 0, before = -1; bar->IsVisible() && bar->GetScrollPos() != before && turn < 200; ++turn) {
            before = bar->GetScrollPos();
            h.In().Wheel((rc.left + rc.right) / 2, MiddleY(rc), -WHEEL_DELTA);
        }
        if (bar->IsVisible()) {
            EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange()) << "the wheel stops short of the end";
        }
        const auto atEnd = Shot();
        POINTL end = {};
        LRESULT ignored = 0;
        edit->GetTextHost()->GetTextServices()->TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end),
                                                              static_cast<LPARAM>(c.reason.size() - 1), &ignored);
        const RECT barRect = bar->IsVisible() ? bar->GetPos() : RECT{};
        edit->SetText(L"");
        const auto blank = Shot();

        // All of its ink lies in the text area, from the start and at the end.
        const kit::TextInk startInk(*atStart, *blank, window), endInk(*atEnd, *blank, window);
        EXPECT_EQ(InkOutside(startInk, window, area, barRect), 0) << "ink outside " << kit::Text(area);
        EXPECT_EQ(InkOutside(endInk, window, area, barRect), 0) << "ink outside " << kit::Text(area);

        // It starts beside the middle of the icon, clear of it.
        auto* row = static_cast<CContainerUI*>(edit->GetParent()->GetInterface(L"Container"));
        ASSERT_NE(row, nullptr);
        const RECT icon = row->GetItemAt(0)->GetPos();
        RECT text = startInk.Bounds(area);
        ASSERT_FALSE(::IsRectEmpty(&text)) << "no text painted";
        const auto [top, bottom] = FirstLineRows(startInk, text);
        EXPECT_NEAR((top + bottom) / 2, MiddleY(icon), 3) << "the first line is not beside the middle of the icon";
        EXPECT_GE(text.left - icon.right, 14) << "the text crowds the icon";

        // Its last character shows whole: where the text puts it lies in the area, with the ink
        // it has when drawn alone.
        const GlyphInk alone = InkAlone(h.Host()->GetFont(edit->GetFont()), edit->GetTextColor(), c.reason.back());
        RECT expected = alone.box;
        ::OffsetRect(&expected, end.x, end.y);
        EXPECT_TRUE(expected.left >= area.left && expected.right <= area.right && expected.top >= area.top &&
                    expected.bottom <= area.bottom)
            << "the last character at " << kit::Text(expected) << " is not all inside " << kit::Text(area);
        RECT around = expected;
        ::InflateRect(&around, 2, 1);
        const RECT found = endInk.Bounds(around);
        const int pixels = endInk.Count(around);
        EXPECT_GE(found.bottom - found.top, alone.box.bottom - alone.box.top - 1) << "the last character is cut";
        EXPECT_GE(pixels * 10, alone.pixels * 7) << "the last character shows " << pixels << " of " << alone.pixels
                                                 << " pixels";

        // The way back: whole, in the window, clear of the text.
        auto* back = h.Find<CLabelUI>(L"btnErrorOK");
        RECT overlap = {};
        EXPECT_FALSE(::IntersectRect(&overlap, &back->GetPos(), &edit->GetPos())) << "返回 overlaps the text";
        const RECT page = static_cast<CContainerUI*>(h.Find(L"LoginErrorContainer"))->GetInsetRect();
        EXPECT_TRUE(::IntersectRect(&overlap, &back->GetPos(), &page) && ::EqualRect(&overlap, &back->GetPos()))
            << "返回 at " << kit::Text(back->GetPos()) << " leaves the page " << kit::Text(page);
        const auto [shown, whole] = InksOf(back);
        const RECT backInk = shown.Bounds();
        EXPECT_FALSE(::IsRectEmpty(&backInk));
        EXPECT_EQ(InkDifference(shown, whole, window), 0) << "返回 is cut";
    }
}

// Every scroll bar the sample skin can show wears the skin's thumb: the quick-login list with more
// rows than it shows, the used accounts' drop-down with the most accounts a game keeps (8), and a
// failure reason longer than its page. The thumb shows the picture of scroll_thumb.png, and no
// pixel of the bar has the toolkit's frame colour (its fallback for a part without a picture).
TEST_F(SampleSkin, EveryScrollBarWearsTheSkinsThumb)
{
    // The middle of the normal thumb, opaque: source 0,0,8,24.
    const uint32_t thumbColor = PicturePixel(skin_.Dir() + L"scroll_thumb.png", 4, 12);
    ASSERT_NE(thumbColor, 0xDEADBEEFu);
    const struct {
        const char* what;
        const wchar_t* page;
        // Fills the page so that it scrolls; the bar and the window it shows in.
        std::function<BarInWindow()> fill;
    } cases[] = {
        {"quick-login list", L"PVALogin", [&] { return QuickLoginBar(6); }},
        {"account drop-down with 8 accounts", L"PWDLogin", [&] { return AccountDropDownBar(8); }},
        {"failure reason", L"LoginErrorContainer", [&] { return FailureReasonBar(1000); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        h.In().Move(kit::HostWindow::kParkX, kit::HostWindow::kParkY);  // no thumb is hot
        ShowPage(c.page);
        const auto [bar, hwnd] = c.fill();
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(bar->IsVisible()) << "nothing to scroll";
        kit::Drain();
        const auto shot = kit::CaptureClient(hwnd);
        const RECT thumb = bar->GetThumbRect();
        ASSERT_GT(thumb.bottom - thumb.top, 8) << kit::Text(thumb);
        // The thumb's opaque middle column, between its rounded ends, is the picture's.
        const int x = (thumb.left + thumb.right) / 2;
        for (int y = thumb.top + 4; y < thumb.bottom - 4; ++y)
            ASSERT_LE(kit::ColorDistance(shot->Pixel(x, y), thumbColor), 2)
                << "at " << x << "," << y << ": " << std::hex << shot->Pixel(x, y) << " is not the thumb's "
                << thumbColor;
        const RECT rc = bar->GetPos();
        int frame = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int px = rc.left; px < rc.right; ++px) frame += kit::ColorDistance(shot->Pixel(px, y), 0x85E4FF) <= 24;
        EXPECT_EQ(frame, 0) << "pixels of the fallback frame in the bar at " << kit::Text(rc);
        if (hwnd != h.win.Hwnd()) {
            ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
            kit::Drain();
        }
    }
}

// Every scroll bar of the sample skin under the player's hand: a drag keeps the thumb under the
// pointer (the skin's bars have no arrow buttons, and their thumbs are long and short), and a
// drag held down past the bar's end and out of its window keeps the end, also after the system
// says the pointer left the window.
TEST_F(SampleSkin, EveryThumbFollowsThePointerAndHoldsItsEndPastTheEdge)
{
    const struct {
        const char* what;
        const wchar_t* page;
        std::function<BarInWindow()> fill;
        int drag;
    } cases[] = {
        {"quick-login list with 6 rows", L"PVALogin", [&] { return QuickLoginBar(6); }, 10},
        {"drop-down with 6 accounts", L"PWDLogin", [&] { return AccountDropDownBar(6); }, 8},
        {"drop-down with 7 accounts", L"PWDLogin", [&] { return AccountDropDownBar(7); }, 10},
        {"reason of 245 characters", L"LoginErrorContainer", [&] { return FailureReasonBar(245); }, 6},
        {"reason of 1,000 characters", L"LoginErrorContainer", [&] { return FailureReasonBar(1000); }, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            h.In().Move(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
            ShowPage(c.page);
            const auto [bar, hwnd] = c.fill();
            ASSERT_NE(bar, nullptr);
            ASSERT_TRUE(bar->IsVisible()) << "nothing to scroll";
            kit::Drain();
            const RECT thumb = bar->GetThumbRect(), rc = bar->GetPos();
            const int room = (rc.bottom - rc.top) - (thumb.bottom - thumb.top);
            ASSERT_GT(room, c.drag);
            kit::Input in(hwnd);
            const int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
            in.Move(x, y);
            in.LeftDown(x, y);
            in.Move(x, y + c.drag);
            ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() > 0; }, 2000)) << "the thumb did not move";
            EXPECT_NEAR(bar->GetThumbRect().top, thumb.top + c.drag, 1) << "the thumb left the pointer";
            // Held below the window's bottom edge and beside it.
            RECT client = {};
            ::GetClientRect(hwnd, &client);
            in.Move(client.right + 20, client.bottom + 3);
            ASSERT_TRUE(kit::PumpUntil([&] { return bar->GetScrollPos() == bar->GetScrollRange(); }, 2000));
            in.Post(WM_MOUSELEAVE, 0, 0);
            EXPECT_FALSE(kit::PumpUntil([&] { return bar->GetScrollPos() != bar->GetScrollRange(); }, 300))
                << "the end was lost when the pointer left the window";
            EXPECT_EQ(bar->GetThumbRect().bottom, rc.bottom);
            in.LeftUp(client.right + 20, client.bottom + 3);
        }();
        if (h.Find<CComboUI>(L"accountcombo")->GetDropWindow() != nullptr) {
            ::SendMessageW(h.Find<CComboUI>(L"accountcombo")->GetDropWindow()->GetHWND(), WM_CLOSE, 0, 0);
            kit::Drain();
        }
    }
}

