// The whole program: the built launcher on a fresh copy of the sample work dir (sample skin, the
// stand-in sign-in library and hall), driven with real mouse and keyboard input (SendInput goes
// through the system's input queue, as a user's does). Screenshots of the pages land in
// <build>\e2e-shots\.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "kit/FileBytes.h"
#include "kit/Hex.h"
#include "standins/verifypage/VerifyPage.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/SampleLauncher.h"
#include "tests/launcher/ScreenInput.h"

namespace {

using e2e::Click;
using e2e::kQuickPageMark;
using e2e::kUiBoundMs;
using e2e::ScreenPixel;
using e2e::ShowsButton;
using e2e::WaitForPixel;
using e2e::WaitUntil;

// Where the sample skin puts its controls, in the dialog's client coordinates.
constexpr POINT kUsedAccount = {373, 270};   // "btnUsedAccount"
constexpr POINT kAccountEdit = {195, 90};    // "accountedit"
constexpr POINT kPasswordEdit = {195, 134};  // "pwdedit"
constexpr POINT kAgreeBox = {48, 245};       // "checkboxAgreeLicense"
constexpr POINT kLoginButton = {225, 207};   // "loginBtn"
constexpr POINT kErrorOk = {225, 248};       // "btnErrorOK"
constexpr POINT kWarningIcon = {47, 100};    // the failure page's icon (left of its mark)
constexpr POINT kFailureText = {250, 150};   // "redtErrorInfo"
constexpr RECT kFailureLines = {100, 100, 370, 210};  // lines of "redtErrorInfo", left of its bar
constexpr POINT kFrameClose = {446, 32};     // the frame's close button (skin\Button.ini), frame coordinates
constexpr POINT kFrameMinimise = {416, 32};  // the frame's minimise button
constexpr POINT kOnLoginButton = {110, 207};  // "loginBtn", beside its text
// A point that only the password page paints, as kQuickPageMark marks the quick-login page: the
// bottom of "loginBtn", below where "btnPVALogin" ends. And the edge of the agree box's tick.
constexpr POINT kPasswordPageMark = {225, 219};
constexpr POINT kAgreeTick = {42, 241};
constexpr uint32_t kWarningOrange = 0xF59A23;
constexpr uint32_t kTickBlue = 0x2F6FD6;

class LoginEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sample_.Make());
    }
    std::wstring Arguments() const { return L"AppId=1001 ChannelId=7 \"WorkDir=" + work_ + L"\""; }

    // The launcher's login dialog (and its frame) once it shows the quick-login page that the
    // sample's remembered account brings first; with toPasswordPage, once it shows the password
    // page. Null when it does not come to that.
    HWND OpenDialog(const LauncherProcess& launcher, bool toPasswordPage = false)
    {
        const e2e::LoginWindows windows = e2e::WaitForQuickLoginPage(launcher);
        HWND dialog = windows.dialog;
        frame_ = windows.frame;
        if (dialog == nullptr) {
            ADD_FAILURE() << "no quick-login page";
            return nullptr;
        }
        if (toPasswordPage && !ToPasswordPage(dialog))
            return nullptr;
        return dialog;
    }
    bool ToPasswordPage(HWND dialog) const
    {
        Click(dialog, kUsedAccount);
        const bool shown = ShowsButton(dialog, kPasswordPageMark);
        EXPECT_TRUE(shown) << "no password page";
        return shown;
    }
    // Fills in the fields and ticks the agree box, each step once the previous one shows.
    void FillIn(HWND dialog, const std::wstring& account, const std::wstring& password) const
    {
        EXPECT_TRUE(e2e::Fill(dialog, kAccountEdit, account)) << "the account was not typed";
        EXPECT_TRUE(e2e::Fill(dialog, kPasswordEdit, password)) << "the password was not typed";
        Click(dialog, kAgreeBox);
        EXPECT_TRUE(WaitForPixel(dialog, kAgreeTick, {kTickBlue})) << "the agree box is not ticked";
    }
    void PasswordLogin(HWND dialog, const std::wstring& account, const std::wstring& password) const
    {
        FillIn(dialog, account, password);
        Click(dialog, kLoginButton);
    }
    void CloseFrame() const { Click(frame_, kFrameClose); }

    std::string Read(const std::wstring& file) const { return kit::ReadBytesFromFile(work_ + file); }
    // "step/code" of every report in order.
    std::vector<std::string> Steps() const
    {
        std::vector<std::string> steps;
        std::istringstream lines(Read(L"report.log"));
        int step = 0, code = 0;
        for (std::string line; std::getline(lines, line);)
            if (std::sscanf(line.c_str(), "{\"step\":%d,\"code\":%d", &step, &code) == 2)
                steps.push_back(std::to_string(step) + "/" + std::to_string(code));
        return steps;
    }
    bool Reported(const std::string& text) const { return Read(L"report.log").find(text) != std::string::npos; }
    std::string Calls() const { return Read(L"NVSSO\\1.0\\Bin\\calls.log"); }

    SampleWorkDir sample_;
    const std::wstring& work_ = sample_.Path();
    HWND frame_ = nullptr;
};

using StepList = std::vector<std::string>;

} // namespace

TEST_F(LoginEndToEnd, PasswordLoginStartsTheHallAndEnds)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(e2e::Shot(frame_, L"quick-login-page.png"));
    ASSERT_TRUE(ToPasswordPage(dialog));
    EXPECT_TRUE(e2e::Shot(frame_, L"password-page.png"));
    PasswordLogin(dialog, L"10001", L"secret");
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);

    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "209/0", "219/0"}));
    // The library got the MD5 digest of the password.
    const std::string md5Secret = "5ebe2294ecd0e0f08eab7690d2a6ee69";
    EXPECT_NE(Calls().find("\"credentialType\":2,\"credential\":{\"hex\":\"" + md5Secret + "\"}"), std::string::npos)
        << Calls();
    // Remembered: the record with the digest, the last account, the game's used accounts.
    const std::string record = Read(L"Account.cfg");
    EXPECT_EQ(record.size(), 29u);
    EXPECT_EQ(kit::Hex(record.substr(0, 25)), "1127000000000000" + md5Secret + "01");
    EXPECT_NE(Read(L"Info.ini").find("LastKwiUin=10001"), std::string::npos);
    std::string used = Read(L"data\\1001\\Account\\Account.cfg");  // UTF-16, read as ASCII
    used.erase(std::remove(used.begin(), used.end(), '\0'), used.end());
    EXPECT_NE(used.find("itemuin1=10001"), std::string::npos) << used;
    EXPECT_NE(Read(L"settings.ini").find("CheckAgreeBoxSelected=1"), std::string::npos);
    // The hall was started with the account.
    EXPECT_NE(Read(L"Hall\\hall-command.txt").find("KWIUIN:10001 /CID:7 \"ombrelprotocol:///ENTERAPP APPID:1001\""),
              std::string::npos) << Read(L"Hall\\hall-command.txt");
}

// Signed in by e-mail address with the password remembered, the account comes back by its number
// on the password page of the next start, its password masked: logging in without typing it
// sends the remembered password, which the library takes.
TEST_F(LoginEndToEnd, PasswordRememberedUnderAnEmailLogsInByTheAccountNumber)
{
    {
        LauncherProcess first(Arguments());
        HWND dialog = OpenDialog(first, true);
        ASSERT_NE(dialog, nullptr);
        PasswordLogin(dialog, L"alice@example.com", L"secret");
        ASSERT_EQ(first.Wait(kUiBoundMs), 0);
    }
    ASSERT_EQ(Steps(), (StepList{"204/0", "205/0", "209/0", "219/0"}));
    // Started again with the agreement not yet accepted, so no quick login starts by itself.
    std::string settings = Read(L"settings.ini");
    const size_t agreed = settings.find("CheckAgreeBoxSelected=1");
    ASSERT_NE(agreed, std::string::npos) << settings;
    settings[agreed + std::strlen("CheckAgreeBoxSelected=")] = '0';
    ASSERT_TRUE(kit::WriteBytesToFile(work_ + L"settings.ini", settings));
    ASSERT_TRUE(::DeleteFileW((work_ + L"NVSSO\\1.0\\Bin\\calls.log").c_str()));
    ::DeleteFileW((work_ + L"Hall\\hall-command.txt").c_str());

    LauncherProcess second(Arguments());
    HWND dialog = OpenDialog(second, true);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(e2e::Shot(frame_, L"remembered-password-page.png"));
    Click(dialog, kAgreeBox);
    EXPECT_TRUE(WaitForPixel(dialog, kAgreeTick, {kTickBlue})) << "the agree box is not ticked";
    Click(dialog, kLoginButton);
    EXPECT_EQ(second.Wait(kUiBoundMs), 0) << Calls();

    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "209/0", "219/0", "204/0", "205/0", "209/0", "219/0"}));
    EXPECT_NE(Calls().find("\"account\":\"10001\",\"credentialType\":5,\"credential\":{\"hex\":\"" +
                           kit::Hex(std::string("s2sc:10001")) + "\"}"),
              std::string::npos)
        << Calls();
    EXPECT_NE(Read(L"Hall\\hall-command.txt").find("KWIUIN:10001 "), std::string::npos);
}

TEST_F(LoginEndToEnd, FailureShowsTheReasonAndGoesBack)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher, true);
    ASSERT_NE(dialog, nullptr);
    // carol's password is always wrong.
    PasswordLogin(dialog, L"10003", L"guess");
    EXPECT_TRUE(WaitUntil([&] { return Reported("\"step\":208"); }, kUiBoundMs)) << Calls();
    EXPECT_TRUE(WaitForPixel(dialog, kWarningIcon, {kWarningOrange})) << "no failure page";
    EXPECT_TRUE(e2e::Shot(frame_, L"failure-page.png"));

    Click(dialog, kErrorOk);
    EXPECT_TRUE(ShowsButton(dialog, kPasswordPageMark)) << "not back on the password page";
    EXPECT_NE(ScreenPixel(dialog, kWarningIcon), kWarningOrange) << "still on the failure page";
    // Back on the password page, a second try goes out again.
    Click(dialog, kLoginButton);
    EXPECT_TRUE(WaitUntil([&] { return Steps().size() >= 5; }, kUiBoundMs)) << Calls();
    CloseFrame();
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);

    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "208/3", "205/0", "208/3", "209/1", "219/-3"}));
    EXPECT_TRUE(Reported("\"step\":208,\"code\":3,\"text\":\"Wrong password\""));
    EXPECT_EQ(Read(L"Account.cfg").size(), 0u) << "a failed login remembers nothing";
}

// A reason far longer than the failure page reaches it whole, from the library through the
// provider to the page (its report carries the page's text), and the page scrolls it to its end.
TEST_F(LoginEndToEnd, LongFailureReasonReachesThePageWhole)
{
    std::string reason;
    for (int i = 1; reason.size() < 940; ++i)
        reason += "Notice " + std::to_string(i) + ": the account is held while its sign-in is checked. ";
    reason += "Appeal at https://security.ombrel.example/appeal/form?account=10003 END";
    std::string scenario = Read(L"NVSSO\\1.0\\Bin\\scenario.ini");
    const std::string wrong = "Reason=Wrong password";
    ASSERT_NE(scenario.find(wrong), std::string::npos);
    scenario.replace(scenario.find(wrong), wrong.size(), "Reason=" + reason);
    ASSERT_TRUE(kit::WriteBytesToFile(work_ + L"NVSSO\\1.0\\Bin\\scenario.ini", scenario));

    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher, true);
    ASSERT_NE(dialog, nullptr);
    PasswordLogin(dialog, L"10003", L"guess");
    EXPECT_TRUE(WaitUntil([&] { return Reported("\"step\":208"); }, kUiBoundMs)) << Calls();
    EXPECT_TRUE(Reported("\"step\":208,\"code\":3,\"text\":\"" + reason + "\"")) << Read(L"report.log");
    EXPECT_TRUE(WaitForPixel(dialog, kWarningIcon, {kWarningOrange})) << "no failure page";
    EXPECT_TRUE(e2e::Shot(frame_, L"failure-page-long-reason.png"));

    // The wheel over the reason scrolls it: the lines on screen change.
    const auto lines = [&] {
        const auto shot = e2e::ScreenOf(dialog, kFailureLines);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < shot->Height(); ++y)
            for (int x = 0; x < shot->Width(); ++x) pixels.push_back(shot->Pixel(x, y));
        return pixels;
    };
    const std::vector<uint32_t> atStart = lines();
    e2e::Wheel(dialog, kFailureText, -40);
    EXPECT_TRUE(WaitUntil([&] { return lines() != atStart; }, kUiBoundMs)) << "the wheel did not scroll the reason";
    EXPECT_TRUE(e2e::WaitPainted(dialog));
    EXPECT_TRUE(e2e::Shot(frame_, L"failure-page-long-reason-end.png"));
    Click(dialog, kErrorOk);
    EXPECT_TRUE(ShowsButton(dialog, kPasswordPageMark)) << "not back on the password page";
    CloseFrame();
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);
}

TEST_F(LoginEndToEnd, VerificationPageTicketReachesTheLibrary)
{
    // bob must pass a verification page; the stand-in page passes it.
    std::string scenario = Read(L"NVSSO\\1.0\\Bin\\scenario.ini");
    const std::string page = "PageUrl=https://example.com/verify";
    ASSERT_NE(scenario.find(page), std::string::npos);
    scenario.replace(scenario.find(page), page.size(), "PageUrl=about:blank");
    ASSERT_TRUE(kit::WriteBytesToFile(work_ + L"NVSSO\\1.0\\Bin\\scenario.ini", scenario));

    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher, true);
    ASSERT_NE(dialog, nullptr);
    PasswordLogin(dialog, L"10002", L"anything");
    HWND verify = launcher.WaitForWindow(L"WebWindow", kUiBoundMs);
    ASSERT_NE(verify, nullptr);
    EXPECT_TRUE(e2e::WaitPainted(verify));
    EXPECT_TRUE(e2e::Shot(verify, L"verify-window.png"));

    HMODULE pageDll = ::LoadLibraryW((ModuleFolder() + L"VerifyPage.dll").c_str());
    ASSERT_NE(pageDll, nullptr);
    auto* hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(pageDll, verifypage::kHookName)));
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, hookProc, pageDll, LauncherProcess::ThreadOf(verify));
    ASSERT_NE(hook, nullptr);
    ::PostMessageW(verify, ::RegisterWindowMessageW(verifypage::kPassMessage), 0, 0);
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);
    ::UnhookWindowsHookEx(hook);
    ::FreeLibrary(pageDll);

    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "206/0", "209/0", "219/0"}));
    // The ticket and random string reached the library with the account.
    auto hexOf = [](const wchar_t* text) { return kit::Hex(std::string(text, text + std::wcslen(text))); };
    EXPECT_NE(Calls().find(hexOf(verifypage::kTicket)), std::string::npos) << Calls();
    EXPECT_NE(Calls().find(hexOf(verifypage::kRandStr)), std::string::npos);
    EXPECT_NE(Read(L"Hall\\hall-command.txt").find("KWIUIN:10002"), std::string::npos);
}

// Minimised with the frame's button and restored as a taskbar click does, the whole window comes
// back: the dialog at its place above the frame, its controls on the screen and working.
TEST_F(LoginEndToEnd, RestoredAfterMinimiseTheDialogIsBackAndStillLogsIn)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher, true);
    ASSERT_NE(dialog, nullptr);
    FillIn(dialog, L"10001", L"secret");
    RECT placed = {};
    ::GetWindowRect(dialog, &placed);
    const uint32_t button = ScreenPixel(dialog, kOnLoginButton);
    const struct {
        const char* name;
        void (*restore)(HWND frame);
    } restores[] = {
        {"SW_RESTORE", [](HWND frame) { ::ShowWindow(frame, SW_RESTORE); }},
        {"SC_RESTORE", [](HWND frame) { ::PostMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0); }},
    };
    for (const auto& r : restores) {
        SCOPED_TRACE(r.name);
        Click(frame_, kFrameMinimise);
        ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(frame_) && !::IsWindowVisible(dialog); }, kUiBoundMs))
            << "not minimised";
        r.restore(frame_);
        EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(frame_) && ::IsWindowVisible(dialog); }, kUiBoundMs));
        RECT now = {};
        HWND hit = nullptr;
        const auto back = [&] {
            ::GetWindowRect(dialog, &now);
            POINT at = kOnLoginButton;
            ::ClientToScreen(dialog, &at);
            hit = ::WindowFromPoint(at);
            return ::EqualRect(&now, &placed) && (hit == dialog || ::IsChild(dialog, hit)) &&
                   ScreenPixel(dialog, kOnLoginButton) == button;
        };
        WaitUntil(back, kUiBoundMs);
        EXPECT_TRUE(::EqualRect(&now, &placed)) << "the dialog left its place on the frame";
        EXPECT_TRUE(hit == dialog || ::IsChild(dialog, hit)) << "the dialog is not above the frame";
        EXPECT_EQ(ScreenPixel(dialog, kOnLoginButton), button) << "the login button is not shown";
    }
    EXPECT_TRUE(e2e::Shot(frame_, L"restored.png"));
    Click(dialog, kLoginButton);
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);
    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "209/0", "219/0"}));
}

// A second launcher for the game steps aside; closing the first one's frame then ends it as the
// user's close, starting no hall.
TEST_F(LoginEndToEnd, SecondLauncherStepsAsideAndClosingTheFrameEndsTheProgram)
{
    LauncherProcess first(Arguments());
    ASSERT_NE(OpenDialog(first), nullptr);
    LauncherProcess second(Arguments());
    EXPECT_EQ(second.Wait(kUiBoundMs), -4);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(second.FindWindowOf(L"LoginDlg"), nullptr);

    CloseFrame();
    EXPECT_EQ(first.Wait(kUiBoundMs), 0);
    EXPECT_EQ(Steps(), (StepList{"204/0", "219/-4", "209/1", "219/-3"}));
    EXPECT_TRUE(Reported("\"step\":219,\"code\":-3,\"text\":\"user close\""));
    EXPECT_EQ(::GetFileAttributesW((work_ + L"Hall\\hall-command.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LoginEndToEnd, ProgramEndingWithTheDialogOpenEndsCleanly)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher);
    ASSERT_NE(dialog, nullptr);
    // The end comes while the dialog is still up: the handler deletes it among the program's
    // objects at exit, before GDI+ (which its background needs) goes down.
    ::PostThreadMessageW(LauncherProcess::ThreadOf(dialog), WM_QUIT, 5, 0);
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 5);
}
