// The launcher start-up's windows on real windows: the error box (the warning of its own, with
// the skin's title and the given text) and the login window, which counts only when the game's
// skin builds one; a skin that builds none leaves no window and no dialog behind.
#include <gtest/gtest.h>

#include "ModalScript.h"
#include "ThreadWindows.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "kit/XmlHost.h"
#include "launcher/GdiplusSession.h"
#include "launcher/LauncherMain.h"
#include "login/OmbrelLauncherLoginEventHandler.h"
#include "login/windows/LoginView.h"
#include "login/windows/MessageBoxView.h"
#include "login/windows/StartupWindows.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/core/ControlUI.h"

TEST(StartupWindows, ErrorBoxIsAWarningOfItsOwnWithTheText)
{
    LauncherTestDir dir(4300);
    CStartupWindows windows;
    std::wstring seen;
    ModalScript script(L"MessageBoxView", {[&](HWND w) {
        CMessageBoxView* box = WindowObject<CMessageBoxView>(w);
        if (box == nullptr) return ADD_FAILURE() << "no box object", true;
        SkinUI::CWindowHostUI& host = box->GetHost();
        for (const wchar_t* name : {L"lblTitle", L"edtMsg"})
            seen += std::wstring(host.FindControlByName(name)->GetText().GetData()) + L"|";
        seen += kit::WindowText(w) + L"|";
        for (const wchar_t* icon : {L"imgWarnning", L"imgSuccess", L"imgReminder"})
            seen += host.FindControlByName(icon)->IsVisible() ? L"1" : L"0";
        EXPECT_EQ(::GetWindow(w, GW_OWNER), nullptr);
        ModalScript::PostClick(w, ModalScript::Centre(host.FindControlByName(L"BtnOK")->GetPos()));
        return true;
    }});
    windows.ShowStartupError(kLauncherTextGameDataUnusable);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(seen, std::wstring(L"提示|") + kLauncherTextGameDataUnusable + L"|提示|100");
    EXPECT_EQ(::FindWindowW(L"MessageBoxView", nullptr), nullptr);
}

// Skins that build no window first: the skin search path keeps the folders of earlier dialogs.
TEST(StartupWindows, LoginWindowOnlyFromASkinThatBuildsOne)
{
    kit::GuardedScope guard;
    GdiplusSession gdiplus;
    LauncherTestDir dir(4301);
    const std::wstring skin = dir.Path() + L"data\\4301\\skin";
    MakeDirs(skin);
    ASSERT_TRUE(e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin", skin));
    const std::string sample = kit::ReadBytesFromFile(skin + L"\\LoginWindowEx.xml");
    const struct {
        const char* name;
        std::string xml;
        bool opens;
    } cases[] = {
        {"empty file", "", false},
        {"cut inside a tag", "<Window size=\"472,380\"><VerticalLayout name=\"LoginContainter\"", false},
        {"not a skin", "\xff\xfe\x00garbage", false},
        {"the sample skin", sample, true},
    };
    OmbrelLauncherLoginEventHandler& handler = OmbrelLauncherLoginEventHandler::GetInstance();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(kit::WriteBytesToFile(skin + L"\\LoginWindowEx.xml", c.xml));
        CStartupWindows windows;
        EXPECT_EQ(windows.OpenLogin(), c.opens);
        kit::Drain();
        EXPECT_EQ(CountThreadWindows(L"LoginDlg"), c.opens ? 1 : 0);
        EXPECT_EQ(CountThreadWindows(L"__IrregularWindowClass"), c.opens ? 1 : 0) << "the frame";
        EXPECT_EQ(handler.GetLoginView() != nullptr, c.opens);
    }
    handler.CloseLoginView();
    kit::Drain();
    EXPECT_EQ(CountThreadWindows(L"LoginDlg") + CountThreadWindows(L"__IrregularWindowClass"), 0);
}
