// The sample game's login skin (sample/workdir/.../skin) as a player sees it, built by the
// toolkit with the program's control factory on a real window and read back as pixels: every
// control of both pages gets its height, the inline error fits, labels sit on the line of the
// links and check boxes beside them, account rows and links answer the pointer, typed text keeps
// the skin's colour, the account list's drop-down has the skin's border, the password box says
// what it is for.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/StringUtil.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/Pump.h"
#include "kit/SkinDir.h"
#include "kit/TextInk.h"
#include "kit/XmlHost.h"
#include "login/windows/DialogBuilderCallbackEx.h"
#include "login/windows/PVAListItemEx.h"
#include "tests/launcher/LauncherProcess.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/core/GdiObject.h"

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

// The login dialog's skin from the sample, the size its window gets, on the skin search path.
class SampleSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin", skin_.Path()));
        const std::wstring xml = Utf8ToWide(kit::ReadBytesFromFile(skin_.Dir() + L"LoginWindowEx.xml"));
        ASSERT_TRUE(h.Open(xml, 450, 309, &factory_));
    }
    // Shows one of the login pages ("PVALogin", "PWDLogin") as the dialog does, and lays it out.
    void ShowPage(const wchar_t* page)
    {
        h.Find(L"PVALogin")->SetVisible(std::wcscmp(page, L"PVALogin") == 0);
        h.Find(L"PWDLogin")->SetVisible(std::wcscmp(page, L"PWDLogin") == 0);
        h.win.Layout();
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

    kit::SkinDir skin_;
    Factory factory_;
    kit::XmlHost h;
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
    PVAAccountRecord record;
    record.accountNumber = 10001;
    record.accountText = L"alice@example.com";
    record.nickName = L"Alice";
    record.faceImage = L"default_face.png";
    CPVAListItemEx row(h.Host(), record);
    CControlUI* root = row.Build();
    ASSERT_NE(root, nullptr);
    row.FormatFaceImageAttr(record.faceImage.c_str());
    CControlUI* nick = row.GetNickName();
    ASSERT_NE(nick, nullptr);
    ASSERT_TRUE(list->Add(root));
    row.ReleaseRoot();
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
