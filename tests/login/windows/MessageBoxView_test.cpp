// The message box on real windows, driven from inside its own modal loop: results of its
// buttons, the countdown and the system; look and styles; icons by type; widening for long
// lines; the frame colour from config.ini (read back as pixels); the owner disabled meanwhile;
// WM_QUIT; control timers; and the system message box when the skin cannot be built.
#include <gtest/gtest.h>

#include <string>

#include "ModalScript.h"
#include "kit/Capture.h"
#include "kit/HostWindow.h"
#include "kit/Probe.h"
#include "kit/ResourceModule.h"
#include "kit/TempDir.h"
#include "kit/Text.h"
#include "login/windows/MessageBoxView.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/core/ControlUI.h"

using namespace SkinUI;

namespace {

constexpr int kSkinWidth = 382;
constexpr POINT kOnFrame = {300, 3};  // the tool bar's filler shows the frame's colour
constexpr DWORD kDefaultColor = 0xFF3D4253;

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"settings.ini", "[77]\r\nGameDataVersion=1.0\r\n");
        MakeDirs(dir.Path() + L"data\\77\\1.0");
        ASSERT_TRUE(owner.Open(new kit::Box(L"owner"), 100, 80));
    }
    std::wstring Config() const { return dir.File(L"data\\77\\1.0\\config.ini"); }

    // Runs the box through the steps; Check: `check` once shown, then a click on OK.
    int Run(CMessageBoxView& box, std::vector<ModalScript::Step> steps)
    {
        ModalScript script(L"MessageBoxView", std::move(steps));
        const int result = box.ShowModal(owner.Hwnd());
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(::FindWindowW(L"MessageBoxView", nullptr), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
        return result;
    }
    int Check(CMessageBoxView& box, const std::function<void(HWND)>& check)
    {
        return Run(box, {[check](HWND w) { return check(w), true; }, Click(box, L"BtnOK")});
    }
    static ModalScript::Step Click(CMessageBoxView& box, const wchar_t* name)
    {
        return [&box, name](HWND w) {
            CControlUI* button = box.GetHost().FindControlByName(name);
            if (button == nullptr || !button->IsVisible() || ::IsRectEmpty(&button->GetPos())) return false;
            ModalScript::PostClick(w, ModalScript::Centre(button->GetPos()));
            return true;
        };
    }
    static CControlUI* Find(CMessageBoxView& box, const wchar_t* name) { return box.GetHost().FindControlByName(name); }
    static std::wstring Text(CMessageBoxView& box, const wchar_t* name) { return Find(box, name)->GetText().GetData(); }

    LauncherTestDir dir{77};
    kit::HostWindow owner;
};

} // namespace

TEST_F(MessageBoxTest, ButtonsGiveTheirResults)
{
    const std::pair<const wchar_t*, int> cases[] = {{L"BtnOK", 1}, {L"BtnCancel", 2}, {L"BtnClose", 8}};
    for (const auto& [button, result] : cases) {
        CMessageBoxView box(L"Title", L"Message", CMessageBoxView::kTypeWarning);
        box.SetCancelText(L"Later");
        EXPECT_EQ(Run(box, {Click(box, button)}), result);
    }
}

TEST_F(MessageBoxTest, WindowStylesTextsAndOwner)
{
    CMessageBoxView box(L"Update failed", L"Please try again.", CMessageBoxView::kTypeWarning);
    const int result = Check(box, [&](HWND w) {
        wchar_t text[64] = {};
        ::GetClassNameW(w, text, 64);
        EXPECT_STREQ(text, L"MessageBoxView");
        ::GetWindowTextW(w, text, 64);
        EXPECT_STREQ(text, L"Update failed");
        EXPECT_EQ(::GetClassLongW(w, GCL_STYLE), 0x80Bu);
        EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & WS_CAPTION, 0);
        const LONG ex = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
        EXPECT_EQ(::GetWindowLongW(w, GWL_EXSTYLE) & ex, ex);
        EXPECT_EQ(::GetWindow(w, GW_OWNER), owner.Hwnd());
        EXPECT_FALSE(::IsWindowEnabled(owner.Hwnd()));
        EXPECT_EQ(Text(box, L"lblTitle") + L"|" + Text(box, L"edtMsg") + L"|" + Text(box, L"BtnOK"),
                  L"Update failed|Please try again.|确定");
        EXPECT_FALSE(Find(box, L"BtnCancel")->IsVisible());
    });
    EXPECT_EQ(result, 1);
    // Empty title and message keep the skin's texts.
    CMessageBoxView empty(L"", L"", 0);
    Check(empty, [&](HWND) { EXPECT_EQ(Text(empty, L"lblTitle") + L"|" + Text(empty, L"edtMsg"), L"提示|msg"); });
}

TEST_F(MessageBoxTest, IconOfEachType)
{
    const std::pair<UINT, const wchar_t*> cases[] = {{0, L"imgWarnning"}, {1, L"imgSuccess"}, {2, L"imgReminder"},
                                                     {9, L"imgWarnning"}};
    for (const auto& [type, shown] : cases) {
        CMessageBoxView box(L"t", L"m", type);
        Check(box, [&, shown = shown](HWND) {
            for (const wchar_t* icon : {L"imgWarnning", L"imgSuccess", L"imgReminder"})
                EXPECT_EQ(Find(box, icon)->IsVisible(), std::wstring(icon) == shown) << type;
        });
    }
}

TEST_F(MessageBoxTest, LongLinesWidenTheWindowUpToTheWorkArea)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const std::pair<std::wstring, long> cases[] = {
        {std::wstring(20, L'a'), kSkinWidth},
        {std::wstring(25, L'a'), kSkinWidth + 40},
        {L"short\n" + std::wstring(30, L'b') + L"\n\nx", kSkinWidth + 80},
        {std::wstring(2000, L'c'), work.right - work.left},
    };
    for (const auto& [message, width] : cases) {
        CMessageBoxView box(L"t", message, 0);
        Check(box, [&, width = width](HWND w) {
            RECT rc{};
            ::GetClientRect(w, &rc);
            EXPECT_EQ(kit::Text(SIZE{rc.right, rc.bottom}), kit::Text(SIZE{width, 201}));
        });
    }
}

TEST_F(MessageBoxTest, FrameColourFromConfigOrDefault)
{
    const std::pair<const char*, DWORD> cases[] = {
        {nullptr, kDefaultColor},  // no config.ini
        {"", kDefaultColor},       // a folder of that name
        {"[Public]\r\nBkColor=FF102030\r\n", 0xFF102030},
        {"[Public]\r\nBkColor=\r\n", kDefaultColor},
        {"[Public]\r\nBkColor=ff80c0e0zz\r\n", 0xFF80C0E0},
        {"[Other]\r\nBkColor=FF102030\r\n", kDefaultColor},
    };
    for (const auto& [config, color] : cases) {
        ::DeleteFileW(Config().c_str());
        ::RemoveDirectoryW(Config().c_str());
        if (config != nullptr && *config == 0) ::CreateDirectoryW(Config().c_str(), nullptr);
        if (config != nullptr && *config != 0) kit::WriteBytesToFile(Config(), config);
        CMessageBoxView box(L"t", L"m", 0);
        Check(box, [&, color = color](HWND w) {
            EXPECT_EQ(Find(box, L"frameLayout")->GetBkColor(), color);
            EXPECT_EQ(kit::CaptureClient(w)->Pixel(kOnFrame.x, kOnFrame.y), color & 0xFFFFFF);
        });
    }
}

TEST_F(MessageBoxTest, QuitMessageEndsTheLoopAndIsPostedAgain)
{
    CMessageBoxView box(L"t", L"m", 0);
    EXPECT_EQ(Run(box, {[](HWND) { return ::PostQuitMessage(9), true; }}), 0);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(MessageBoxTest, CountdownShowsOnOkAndCloses)
{
    CMessageBoxView box(L"t", L"m", 0);
    box.SetCountdown(1);
    EXPECT_EQ(Run(box, {[&](HWND) { return Text(box, L"BtnOK") == L"确定(1)"; }}), 32000);
}

TEST_F(MessageBoxTest, ControlTimersStillRun)
{
    CMessageBoxView box(L"t", L"m", 0);
    int ticks = 0;
    Run(box, {[&](HWND) {
                  CControlUI* icon = Find(box, L"captionIcon");
                  icon->EventDelegates += MakeDelegate([&](void* p) {
                      return ticks += static_cast<ControlEvent*>(p)->type == kEventTimer, true;
                  });
                  return box.GetHost().SetTimer(icon, 1, 10);
              },
              [&](HWND) { return ticks >= 2; }, Click(box, L"BtnOK")});
}

TEST_F(MessageBoxTest, SystemMessageBoxWhenTheSkinCannotBeBuilt)
{
    kit::TempDir temp;
    kit::ResourceModule broken(temp.File(L"broken.exe"));
    broken.Add(L"XML", CMessageBoxView::kSkinResourceId, "<Window><VerticalLayout");
    ASSERT_TRUE(broken.Load());
    const struct {
        HMODULE module;
        bool cancel;
        WPARAM answer;
        int result;
    } cases[] = {
        {::GetModuleHandleW(L"kernel32.dll"), false, IDOK, 1},  // no skin resource at all
        {broken.Handle(), true, IDCANCEL, 2},
        {broken.Handle(), true, IDOK, 1},
    };
    for (const auto& c : cases) {
        CHostResources::SetResourceModule(c.module);
        CMessageBoxView box(L"Fallback", L"The text", 0);
        if (c.cancel) box.SetCancelText(L"Later");
        ModalScript script(L"#32770", {[&](HWND w) {
                               wchar_t title[64] = {}, text[64] = {};
                               ::GetWindowTextW(w, title, 64);
                               ::GetDlgItemTextW(w, 0xFFFF, text, 64);
                               EXPECT_EQ(std::wstring(title) + L"|" + text, L"Fallback|The text");
                               EXPECT_EQ(::GetDlgItem(w, IDCANCEL) != nullptr, c.cancel);
                               return ::PostMessageW(w, WM_COMMAND, c.answer, 0), true;
                           }});
        EXPECT_EQ(box.ShowModal(owner.Hwnd()), c.result);
        EXPECT_TRUE(script.Finished());
        CHostResources::SetResourceModule(nullptr);
    }
}

// The look of a reminder with a cancel button. With OMBREL_SHOW_MS set the box stays up that
// long, for a screenshot of the display.
TEST_F(MessageBoxTest, Look)
{
    kit::WriteBytesToFile(Config(), "[Public]\r\nBkColor=FF2B5C8A\r\n");
    CMessageBoxView box(L"Reminder", L"The game data is being updated.\nPlease wait a moment.", 2);
    box.SetCancelText(L"取消");
    const DWORD showMs = ModalScript::ShowMs();
    DWORD shownAt = 0;
    Run(box, {[&](HWND w) {
                  auto shot = kit::CaptureClient(w);
                  const POINT icon = ModalScript::Centre(Find(box, L"imgReminder")->GetPos());
                  EXPECT_EQ(shot->Pixel(icon.x - 12, icon.y), 0x3A8EE6u);  // the reminder's blue disc
                  EXPECT_EQ(shot->Pixel(kOnFrame.x, kOnFrame.y), 0x2B5C8Au);
                  EXPECT_EQ(shot->Pixel(200, 60), 0xFFFFFFu);  // white body
                  return shownAt = ::GetTickCount(), true;
              },
              [&](HWND) { return ::GetTickCount() - shownAt >= showMs; }, Click(box, L"BtnOK")});
}
