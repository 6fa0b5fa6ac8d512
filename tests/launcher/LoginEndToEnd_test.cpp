// The whole program: the built launcher on a fresh copy of the sample work dir (sample skin, the
// stand-in sign-in library and hall), driven with real mouse and keyboard input (SendInput goes
// through the system's input queue, as a user's does). Screenshots of the pages land in
// <build>\e2e-shots\.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "kit/FileBytes.h"
#include "kit/Hex.h"
#include "kit/TempDir.h"
#include "standins/verifypage/VerifyPage.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/ScreenInput.h"

namespace {

using e2e::Click;
using e2e::ScreenPixel;
using e2e::Type;

// Where the sample skin puts its controls, in the dialog's client coordinates.
constexpr POINT kUsedAccount = {373, 270};   // "btnUsedAccount"
constexpr POINT kAccountEdit = {195, 90};    // "accountedit"
constexpr POINT kPasswordEdit = {195, 134};  // "pwdedit"
constexpr POINT kAgreeBox = {48, 245};       // "checkboxAgreeLicense"
constexpr POINT kLoginButton = {225, 207};   // "loginBtn"
constexpr POINT kErrorOk = {225, 202};       // "btnErrorOK"
constexpr POINT kWarningIcon = {47, 100};    // the failure page's icon (left of its mark)
constexpr POINT kFrameClose = {446, 32};     // the frame's close button (skin\Button.ini), frame coordinates
constexpr POINT kFrameMinimise = {416, 32};  // the frame's minimise button
constexpr POINT kOnLoginButton = {110, 207};  // "loginBtn", beside its text
constexpr uint32_t kWarningOrange = 0xF59A23;

class LoginEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        work_ = dir_.Path() + L"\\";
        ASSERT_TRUE(e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir", dir_.Path())) << "no sample work dir";
        for (const wchar_t* file : {L"NVSSO\\1.0\\Bin\\Tessaly.dll", L"Hall\\Ombrel.exe"}) {
            const std::wstring target = work_ + file, name = target.substr(target.rfind(L'\\') + 1);
            ASSERT_TRUE(::CopyFileW((ModuleFolder() + name).c_str(), target.c_str(), FALSE));
        }
    }
    std::wstring Arguments() const { return L"AppId=1001 ChannelId=7 \"WorkDir=" + work_ + L"\""; }

    // The launcher's login dialog once shown and painted (and its frame); with toPasswordPage,
    // past the quick-login page that the sample's remembered account brings first.
    HWND OpenDialog(const LauncherProcess& launcher, bool toPasswordPage = false)
    {
        HWND dialog = launcher.WaitForWindow(L"LoginDlg", 15000);
        ::Sleep(600);
        frame_ = launcher.FindWindowOf(L"__IrregularWindowClass");
        if (dialog != nullptr && toPasswordPage) Click(dialog, kUsedAccount);
        return dialog;
    }
    void PasswordLogin(HWND dialog, const std::wstring& account, const std::wstring& password) const
    {
        Click(dialog, kAccountEdit);
        Type(account);
        Click(dialog, kPasswordEdit);
        Type(password);
        Click(dialog, kAgreeBox);
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

    kit::TempDir dir_;
    std::wstring work_;
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
    Click(dialog, kUsedAccount);
    ::Sleep(600);
    EXPECT_TRUE(e2e::Shot(frame_, L"password-page.png"));
    PasswordLogin(dialog, L"10001", L"secret");
    EXPECT_EQ(launcher.Wait(20000), 0);

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

TEST_F(LoginEndToEnd, FailureShowsTheReasonAndGoesBack)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher, true);
    ASSERT_NE(dialog, nullptr);
    // carol's password is always wrong.
    PasswordLogin(dialog, L"10003", L"guess");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Reported("\"step\":208"); }, 10000));
    ::Sleep(600);
    EXPECT_TRUE(e2e::Shot(frame_, L"failure-page.png"));
    EXPECT_EQ(ScreenPixel(dialog, kWarningIcon), kWarningOrange);

    Click(dialog, kErrorOk);
    ::Sleep(600);
    EXPECT_NE(ScreenPixel(dialog, kWarningIcon), kWarningOrange) << "still on the failure page";
    // Back on the password page, a second try goes out again.
    Click(dialog, kLoginButton);
    EXPECT_TRUE(e2e::WaitUntil([&] { return Steps().size() >= 5; }, 10000));
    CloseFrame();
    EXPECT_EQ(launcher.Wait(10000), 0);

    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "208/3", "205/0", "208/3", "209/1", "219/-3"}));
    EXPECT_TRUE(Reported("\"step\":208,\"code\":3,\"text\":\"Wrong password\""));
    EXPECT_EQ(Read(L"Account.cfg").size(), 0u) << "a failed login remembers nothing";
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
    HWND verify = launcher.WaitForWindow(L"WebWindow", 10000);
    ASSERT_NE(verify, nullptr);
    ::Sleep(600);
    EXPECT_TRUE(e2e::Shot(verify, L"verify-window.png"));

    HMODULE pageDll = ::LoadLibraryW((ModuleFolder() + L"VerifyPage.dll").c_str());
    ASSERT_NE(pageDll, nullptr);
    auto* hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(pageDll, verifypage::kHookName)));
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, hookProc, pageDll, LauncherProcess::ThreadOf(verify));
    ASSERT_NE(hook, nullptr);
    ::PostMessageW(verify, ::RegisterWindowMessageW(verifypage::kPassMessage), 0, 0);
    EXPECT_EQ(launcher.Wait(20000), 0);
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
    Click(dialog, kAccountEdit);
    Type(L"10001");
    Click(dialog, kPasswordEdit);
    Type(L"secret");
    Click(dialog, kAgreeBox);
    ::Sleep(300);
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
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsIconic(frame_) != FALSE; }, 5000)) << "not minimised";
        ::Sleep(300);
        r.restore(frame_);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsIconic(frame_) && ::IsWindowVisible(dialog); }, 5000));
        ::Sleep(600);
        RECT now = {};
        ::GetWindowRect(dialog, &now);
        EXPECT_TRUE(::EqualRect(&now, &placed)) << "the dialog left its place on the frame";
        POINT at = kOnLoginButton;
        ::ClientToScreen(dialog, &at);
        const HWND hit = ::WindowFromPoint(at);
        EXPECT_TRUE(hit == dialog || ::IsChild(dialog, hit)) << "the dialog is not above the frame";
        EXPECT_EQ(ScreenPixel(dialog, kOnLoginButton), button) << "the login button is not shown";
    }
    EXPECT_TRUE(e2e::Shot(frame_, L"restored.png"));
    Click(dialog, kLoginButton);
    EXPECT_EQ(launcher.Wait(20000), 0);
    EXPECT_EQ(Steps(), (StepList{"204/0", "205/0", "209/0", "219/0"}));
}

// A second launcher for the game steps aside; closing the first one's frame then ends it as the
// user's close, starting no hall.
TEST_F(LoginEndToEnd, SecondLauncherStepsAsideAndClosingTheFrameEndsTheProgram)
{
    LauncherProcess first(Arguments());
    ASSERT_NE(OpenDialog(first), nullptr);
    LauncherProcess second(Arguments());
    EXPECT_EQ(second.Wait(10000), -4);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(second.FindWindowOf(L"LoginDlg"), nullptr);

    CloseFrame();
    EXPECT_EQ(first.Wait(10000), 0);
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
    EXPECT_EQ(launcher.Wait(10000), 5);
}
