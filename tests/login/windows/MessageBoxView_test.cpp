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
#include "kit/Pump.h"
#include "kit/ResourceModule.h"
#include "kit/TempDir.h"
#include "login/windows/MessageBoxView.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/core/ControlUI.h"

using namespace SkinUI;

namespace {

constexpr int kSkinWidth = 382;
constexpr int kSkinHeight = 201;
constexpr POINT kOnFrame = {300, 3};  // the tool bar's filler shows the frame's colour

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"settings.ini", "[77]\r\nGameDataVersion=1.0\r\n");
        MakeDirs(dir.Path() + L"data\\77\\1.0");
        ASSERT_TRUE(owner.Open(new kit::Box(L"owner"), 100, 80));
    }
    void WriteConfig(const std::string& text) { dir.Write(L"data\\77\\1.0\\config.ini", text); }

    // Runs the box with the steps; the result of ShowModal.
    int Run(CMessageBoxView& box, std::vector<ModalScript::Step> steps)
    {
        ModalScript script(L"MessageBoxView", std::move(steps));
        const int result = box.ShowModal(owner.Hwnd());
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(::FindWindowW(L"MessageBoxView", nullptr), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
        return result;
    }
    // A step that clicks a named button.
    static ModalScript::Step Click(CMessageBoxView& box, const wchar_t* name)
    {
        return [&box, name](HWND w) {
            CControlUI* button = box.GetHost().FindControlByName(name);
            if (button == nullptr || !button->IsVisible() || ::IsRectEmpty(&button->GetPos())) return false;
            ModalScript::PostClick(w, ModalScript::Centre(button->GetPos()));
            return true;
        };
    }
    static std::wstring Text(CMessageBoxView& box, const wchar_t* name)
    {
        return box.GetHost().FindControlByName(name)->GetText().GetData();
    }

    LauncherTestDir dir{77};
    kit::HostWindow owner;
};

} // namespace

TEST_F(MessageBoxTest, ButtonsGiveTheirResults)
{
    const struct {
        const wchar_t* button;
        int result;
    } cases[] = {{L"BtnOK", 1}, {L"BtnCancel", 2}, {L"BtnClose", 8}};
    for (const auto& c : cases) {
        CMessageBoxView box(L"Title", L"Message", CMessageBoxView::kTypeWarning);
        box.SetCancelText(L"Later");
        EXPECT_EQ(Run(box, {Click(box, c.button)}), c.result);
    }
}

TEST_F(MessageBoxTest, WindowStylesTextsAndOwner)
{
    CMessageBoxView box(L"Update failed", L"Please try again.", CMessageBoxView::kTypeWarning);
    bool checked = false;
    const int result = Run(box, {[&](HWND w) {
                                     wchar_t text[64] = {};
                                     ::GetClassNameW(w, text, 64);
                                     EXPECT_STREQ(text, L"MessageBoxView");
                                     ::GetWindowTextW(w, text, 64);
                                     EXPECT_STREQ(text, L"Update failed");
                                     EXPECT_EQ(::GetClassLongW(w, GCL_STYLE), 0x80Bu);
                                     EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & WS_CAPTION, 0);
                                     EXPECT_EQ(::GetWindowLongW(w, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
                                               WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
                                     EXPECT_EQ(::GetWindow(w, GW_OWNER), owner.Hwnd());
                                     EXPECT_FALSE(::IsWindowEnabled(owner.Hwnd()));
                                     EXPECT_EQ(Text(box, L"lblTitle"), L"Update failed");
                                     EXPECT_EQ(Text(box, L"edtMsg"), L"Please try again.");
                                     EXPECT_EQ(Text(box, L"BtnOK"), L"确定");
                                     EXPECT_FALSE(box.GetHost().FindControlByName(L"BtnCancel")->IsVisible());
                                     checked = true;
                                     return true;
                                 },
                                 Click(box, L"BtnOK")});
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, 1);
}

TEST_F(MessageBoxTest, EmptyTitleAndMessageKeepTheSkinsTexts)
{
    CMessageBoxView box(L"", L"", CMessageBoxView::kTypeWarning);
    Run(box, {[&](HWND) {
                  EXPECT_EQ(Text(box, L"lblTitle"), L"提示");
                  EXPECT_EQ(Text(box, L"edtMsg"), L"msg");
                  return true;
              },
              Click(box, L"BtnOK")});
}

TEST_F(MessageBoxTest, IconOfEachType)
{
    const struct {
        UINT type;
        bool warning, success, reminder;
    } cases[] = {{0, true, false, false}, {1, false, true, false}, {2, false, false, true}, {9, true, false, false}};
    for (const auto& c : cases) {
        CMessageBoxView box(L"t", L"m", c.type);
        Run(box, {[&](HWND) {
                      EXPECT_EQ(box.GetHost().FindControlByName(L"imgWarnning")->IsVisible(), c.warning) << c.type;
                      EXPECT_EQ(box.GetHost().FindControlByName(L"imgSuccess")->IsVisible(), c.success) << c.type;
                      EXPECT_EQ(box.GetHost().FindControlByName(L"imgReminder")->IsVisible(), c.reminder) << c.type;
                      return true;
                  },
                  Click(box, L"BtnOK")});
    }
}

TEST_F(MessageBoxTest, LongLinesWidenTheWindowUpToTheWorkArea)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const struct {
        std::wstring message;
        long width;
    } cases[] = {
        {std::wstring(20, L'a'), kSkinWidth},
        {std::wstring(25, L'a'), kSkinWidth + 40},
        {L"short\n" + std::wstring(30, L'b') + L"\n\nx", kSkinWidth + 80},
        {std::wstring(2000, L'c'), work.right - work.left},
    };
    for (const auto& c : cases) {
        CMessageBoxView box(L"t", c.message, 0);
        Run(box, {[&](HWND w) {
                      RECT rc{};
                      ::GetClientRect(w, &rc);
                      EXPECT_EQ(rc.right, c.width) << c.message.size();
                      EXPECT_EQ(rc.bottom, kSkinHeight);
                      return true;
                  },
                  Click(box, L"BtnOK")});
    }
}

TEST_F(MessageBoxTest, FrameColourFromConfigOrDefault)
{
    const struct {
        const char* config;  // null: no config.ini
        DWORD color;
    } cases[] = {
        {nullptr, 0xFF3D4253},
        {"[Public]\r\nBkColor=FF102030\r\n", 0xFF102030},
        {"[Public]\r\nBkColor=\r\n", 0xFF3D4253},
        {"[Public]\r\nBkColor=ff80c0e0zz\r\n", 0xFF80C0E0},
        {"[Other]\r\nBkColor=FF102030\r\n", 0xFF3D4253},
    };
    for (const auto& c : cases) {
        ::DeleteFileW(dir.File(L"data\\77\\1.0\\config.ini").c_str());
        if (c.config != nullptr) WriteConfig(c.config);
        CMessageBoxView box(L"t", L"m", 0);
        Run(box, {[&](HWND w) {
                      EXPECT_EQ(box.GetHost().FindControlByName(L"frameLayout")->GetBkColor(), c.color);
                      EXPECT_EQ(kit::CaptureClient(w)->Pixel(kOnFrame.x, kOnFrame.y), c.color & 0xFFFFFF);
                      return true;
                  },
                  Click(box, L"BtnOK")});
    }
    // A folder named config.ini gives the default.
    ::DeleteFileW(dir.File(L"data\\77\\1.0\\config.ini").c_str());
    ::CreateDirectoryW(dir.File(L"data\\77\\1.0\\config.ini").c_str(), nullptr);
    CMessageBoxView box(L"t", L"m", 0);
    Run(box, {[&](HWND) {
                  EXPECT_EQ(box.GetHost().FindControlByName(L"frameLayout")->GetBkColor(), 0xFF3D4253u);
                  return true;
              },
              Click(box, L"BtnOK")});
}

TEST_F(MessageBoxTest, QuitMessageEndsTheLoopAndIsPostedAgain)
{
    CMessageBoxView box(L"t", L"m", 0);
    EXPECT_EQ(Run(box, {[](HWND) {
                  ::PostQuitMessage(9);
                  return true;
              }}),
              0);
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
                  CControlUI* icon = box.GetHost().FindControlByName(L"captionIcon");
                  icon->EventDelegates += MakeDelegate([&](void* p) {
                      if (static_cast<ControlEvent*>(p)->type == kEventTimer) ++ticks;
                      return true;
                  });
                  return box.GetHost().SetTimer(icon, 1, 10);
              },
              [&](HWND) { return ticks >= 2; }, Click(box, L"BtnOK")});
    EXPECT_GE(ticks, 2);
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
                               wchar_t text[64] = {};
                               ::GetWindowTextW(w, text, 64);
                               EXPECT_STREQ(text, L"Fallback");
                               ::GetDlgItemTextW(w, 0xFFFF, text, 64);
                               EXPECT_STREQ(text, L"The text");
                               EXPECT_EQ(::GetDlgItem(w, IDCANCEL) != nullptr, c.cancel);
                               ::PostMessageW(w, WM_COMMAND, c.answer, 0);
                               return true;
                           }});
        EXPECT_EQ(box.ShowModal(owner.Hwnd()), c.result);
        EXPECT_TRUE(script.Finished());
        CHostResources::SetResourceModule(nullptr);
    }
    EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
}

// The look of a reminder with a cancel button. With OMBREL_SHOW_MS set the box stays up that
// long, for a screenshot of the display.
TEST_F(MessageBoxTest, Look)
{
    WriteConfig("[Public]\r\nBkColor=FF2B5C8A\r\n");
    CMessageBoxView box(L"Reminder", L"The game data is being updated.\nPlease wait a moment.", 2);
    box.SetCancelText(L"取消");
    char show[16] = {};
    const DWORD showMs = ::GetEnvironmentVariableA("OMBREL_SHOW_MS", show, 16) ? std::strtoul(show, nullptr, 10) : 0;
    DWORD shownAt = 0;
    Run(box, {[&](HWND w) {
                  auto shot = kit::CaptureClient(w);
                  const RECT icon = box.GetHost().FindControlByName(L"imgReminder")->GetPos();
                  const POINT c = ModalScript::Centre(icon);
                  EXPECT_EQ(shot->Pixel(c.x - 12, c.y), 0x3A8EE6u);     // the reminder's blue disc
                  EXPECT_EQ(shot->Pixel(kOnFrame.x, kOnFrame.y), 0x2B5C8Au);
                  EXPECT_EQ(shot->Pixel(200, 60), 0xFFFFFFu);             // white body
                  shownAt = ::GetTickCount();
                  return true;
              },
              [&](HWND) { return ::GetTickCount() - shownAt >= showMs; }, Click(box, L"BtnOK")});
}
