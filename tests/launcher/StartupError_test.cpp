// The built launcher started in ways it cannot serve: without an AppId, for a game without data,
// without the login skin, and with a login skin that builds no window. Each shows the start-up
// error box with its text; closing the box ends the program with its exit code, after the
// report of why (none without an AppId). Screenshots land in <build>\e2e-shots\.
#include <gtest/gtest.h>

#include <algorithm>

#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/LauncherTestDir.h"
#include "tests/launcher/ScreenInput.h"

namespace {

// The box's OK and close buttons and the strip its message shows in, in client coordinates.
constexpr POINT kOk = {324, 178};
constexpr POINT kClose = {361, 16};
constexpr RECT kMessage = {95, 55, 375, 125};

// The sample work dir, changed as the case asks.
struct WorkDir {
    kit::TempDir dir;
    std::wstring path = dir.Path() + L"\\";
    bool Copy() { return e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir", dir.Path()); }
    std::wstring Skin() const { return path + L"data\\1001\\1.0\\skin\\LoginWindowEx.xml"; }
};

// The dark pixels of the message strip, as a picture of the text: row-major, one bit a pixel.
// Empty while the screen does not show the strip painted: white around its text (a window not
// drawn yet shows black).
std::vector<bool> TextPixels(HWND box)
{
    const auto strip = e2e::ScreenOf(box, kMessage);
    std::vector<bool> dark;
    if (strip->Pixel(0, 0) != 0xFFFFFF)
        return dark;
    for (int y = 0; y < strip->Height(); ++y)
        for (int x = 0; x < strip->Width(); ++x) {
            const uint32_t px = strip->Pixel(x, y);
            dark.push_back(((px >> 16) & 0xFF) < 0x90 && ((px >> 8) & 0xFF) < 0x90 && (px & 0xFF) < 0x90);
        }
    return dark;
}

} // namespace

TEST(StartupError, BoxShowsItsTextAndClosingItEndsTheProgram)
{
    const struct {
        const char* name;
        const wchar_t* appId;  // empty: none
        const char* skin;      // null: the sample's; "": none
        POINT closeAt;
        long exitCode;
        std::vector<std::string> reports;
    } cases[] = {
        {"no AppId", L"", nullptr, kOk, 1, {}},
        {"unknown game", L"AppId=9999", nullptr, kClose, 2, {"219/-6/game data missing"}},
        {"no login skin", L"AppId=1001", "", kOk, 2, {"219/-6/login skin missing"}},
        {"broken login skin", L"AppId=1001", "<Window size=\"10,10\"><VerticalLayout", kOk, 2,
         {"204/0/", "219/-6/login window not created"}},
    };
    std::vector<std::vector<bool>> texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkDir work;
        ASSERT_TRUE(work.Copy()) << "no sample work dir";
        if (c.skin != nullptr && *c.skin == 0) {
            ASSERT_TRUE(::DeleteFileW(work.Skin().c_str()));
        } else if (c.skin != nullptr) {
            ASSERT_TRUE(kit::WriteBytesToFile(work.Skin(), c.skin));
        }

        LauncherProcess launcher(std::wstring(c.appId) + L" ChannelId=7 \"WorkDir=" + work.path + L"\"");
        HWND box = launcher.WaitForWindow(L"MessageBoxView", e2e::kUiBoundMs);
        ASSERT_NE(box, nullptr) << "no box; exit code " << launcher.Wait(0);
        // Once the screen shows it painted.
        std::vector<bool> text;
        EXPECT_TRUE(e2e::WaitUntil([&] {
            text = TextPixels(box);
            return !::GetUpdateRect(box, nullptr, FALSE) && std::count(text.begin(), text.end(), true) > 150;
        }, e2e::kUiBoundMs)) << "no text in the message strip";
        // The warning box on its own, with the skin's title, above everything.
        EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
        EXPECT_NE(::GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
        wchar_t title[16] = {};
        ::GetWindowTextW(box, title, 16);
        EXPECT_EQ(std::wstring(title), L"提示");
        EXPECT_EQ(launcher.FindWindowOf(L"LoginDlg"), nullptr);
        EXPECT_EQ(launcher.FindWindowOf(L"__IrregularWindowClass"), nullptr);
        texts.push_back(text);
        EXPECT_TRUE(e2e::Shot(box, (L"startup-error-" + std::to_wstring(texts.size()) + L".png").c_str()));

        e2e::Click(box, c.closeAt);
        EXPECT_EQ(launcher.Wait(e2e::kUiBoundMs), c.exitCode);
        EXPECT_EQ(ReportList(work.path + L"report.log"), c.reports);
    }
    // Each box shows the text of its case: the same text draws the same pixels.
    ASSERT_EQ(texts.size(), 4u);
    for (const std::vector<bool>& text : texts)
        EXPECT_GT(std::count(text.begin(), text.end(), true), 150) << "no text in the message strip";
    EXPECT_NE(texts[0], texts[1]) << "bad parameters and unusable game data read alike";
    EXPECT_EQ(texts[1], texts[2]);
    EXPECT_EQ(texts[1], texts[3]);
}
