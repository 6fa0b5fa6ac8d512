// The whole program: the built launcher on a fresh copy of the sample work dir (sample skin, the
// stand-in sign-in library and hall), driven with real mouse and keyboard input. Screenshots of
// the pages land in <build>\e2e-shots\.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "kit/Hex.h"
#include "kit/TempDir.h"
#include "standins/verifypage/VerifyPage.h"
#include "tests/launcher/LauncherProcess.h"

namespace {

// Where the sample skin puts its controls, in the dialog's client coordinates.
constexpr POINT kUsedAccount = {373, 270};   // "btnUsedAccount"
constexpr POINT kAccountEdit = {195, 90};    // "accountedit"
constexpr POINT kPasswordEdit = {195, 134};  // "pwdedit"
constexpr POINT kAgreeBox = {48, 245};       // "checkboxAgreeLicense" (and ...2 on the quick page)
constexpr POINT kLoginButton = {225, 207};   // "loginBtn" (and "btnPVALogin")
constexpr POINT kErrorOk = {225, 202};       // "btnErrorOK"
constexpr POINT kWarningIcon = {47, 100};    // the failure page's icon (left of its mark)
// The frame's close button (skin\Button.ini), in the frame's coordinates.
constexpr POINT kFrameClose = {446, 32};
constexpr uint32_t kWarningOrange = 0xF59A23;

struct Report {
    int step;
    int code;
    std::string text;
};

class LoginEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::wstring sample = e2e::SourceDir() + L"\\sample\\workdir";
        work_ = dir_.Path() + L"\\";
        ASSERT_TRUE(e2e::CopyTree(sample, dir_.Path())) << "cannot copy " << std::string(sample.begin(), sample.end());
        ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"Tessaly.dll").c_str(), (work_ + L"NVSSO\\1.0\\Bin\\Tessaly.dll").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((ModuleFolder() + L"Ombrel.exe").c_str(), (work_ + L"Hall\\Ombrel.exe").c_str(), FALSE));
    }

    std::wstring Arguments() const { return L"AppId=1001 ChannelId=7 \"WorkDir=" + work_ + L"\""; }

    // The login dialog of the launcher, once shown and painted.
    HWND OpenDialog(const LauncherProcess& launcher)
    {
        HWND dialog = launcher.WaitForWindow(L"LoginDlg", 15000);
        if (dialog != nullptr)
            Settle();
        frame_ = launcher.FindWindowOf(L"__IrregularWindowClass");
        return dialog;
    }
    static void Settle() { ::Sleep(600); }

    void Shot(const wchar_t* name) const
    {
        RECT rc = {};
        ::GetWindowRect(frame_, &rc);
        EXPECT_TRUE(e2e::SaveScreenshot(rc, e2e::ShotFolder() + name));
    }

    std::string Read(const std::wstring& file) const { return kit::ReadBytesFromFile(work_ + file); }
    // A text file that may be UTF-16 (the INI store writes it so), as plain ASCII.
    std::string ReadText(const std::wstring& file) const
    {
        std::string text = Read(file);
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
        return text;
    }

    std::vector<Report> Reports() const
    {
        std::vector<Report> out;
        std::istringstream lines(Read(L"report.log"));
        for (std::string line; std::getline(lines, line);) {
            Report r = {};
            char text[256] = {};
            if (std::sscanf(line.c_str(), "{\"step\":%d,\"code\":%d,\"text\":\"%255[^\"]", &r.step, &r.code, text) >= 2)
                r.text = text;
            out.push_back(r);
        }
        return out;
    }
    // "step/code" of every report, in order.
    std::vector<std::string> Steps() const
    {
        std::vector<std::string> steps;
        for (const Report& r : Reports())
            steps.push_back(std::to_string(r.step) + "/" + std::to_string(r.code));
        return steps;
    }
    bool HasReport(int step) const
    {
        for (const Report& r : Reports())
            if (r.step == step)
                return true;
        return false;
    }
    void WaitForReport(int step) const
    {
        EXPECT_TRUE(e2e::WaitUntil([&] { return HasReport(step); }, 10000)) << "no report " << step;
    }
    std::string Calls() const { return Read(L"NVSSO\\1.0\\Bin\\calls.log"); }
    void WriteScenario(const std::string& ini) const
    {
        ASSERT_TRUE(kit::WriteBytesToFile(work_ + L"NVSSO\\1.0\\Bin\\scenario.ini", ini));
    }

    void TypeInto(HWND dialog, POINT at, const std::wstring& text) const
    {
        e2e::Click(e2e::At(dialog, at));
        e2e::Type(text);
    }
    void PasswordLogin(HWND dialog, const std::wstring& account, const std::wstring& password) const
    {
        TypeInto(dialog, kAccountEdit, account);
        TypeInto(dialog, kPasswordEdit, password);
        e2e::Click(e2e::At(dialog, kAgreeBox));
        e2e::Click(e2e::At(dialog, kLoginButton));
    }
    void CloseFrame() const { e2e::Click(e2e::At(frame_, kFrameClose)); }

    kit::TempDir dir_;
    std::wstring work_;
    HWND frame_ = nullptr;
};

} // namespace

TEST_F(LoginEndToEnd, PasswordLoginStartsTheHallAndEnds)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher);
    ASSERT_NE(dialog, nullptr);
    // The sample's library remembers alice: the quick-login page comes first.
    Shot(L"quick-login-page.png");
    e2e::Click(e2e::At(dialog, kUsedAccount));
    Settle();
    Shot(L"password-page.png");

    PasswordLogin(dialog, L"10001", L"secret");
    EXPECT_EQ(launcher.Wait(20000), 0);

    const std::vector<std::string> expected = {"204/0", "205/0", "209/0", "219/0"};
    EXPECT_EQ(Steps(), expected);
    // The library got the MD5 digest of the password.
    const std::string md5Secret = "5ebe2294ecd0e0f08eab7690d2a6ee69";
    EXPECT_NE(Calls().find("\"credentialType\":2,\"credential\":{\"hex\":\"" + md5Secret + "\"}"), std::string::npos)
        << Calls();
    // Remembered: the record with the digest, the last account, the game's used accounts.
    const std::string record = Read(L"Account.cfg");
    ASSERT_EQ(record.size(), 29u);
    EXPECT_EQ(kit::Hex(record.substr(0, 8)), "1127000000000000");
    EXPECT_EQ(kit::Hex(record.substr(8, 16)), md5Secret);
    EXPECT_EQ(record[24], 1);
    EXPECT_NE(Read(L"Info.ini").find("LastKwiUin=10001"), std::string::npos);
    EXPECT_NE(ReadText(L"data\\1001\\Account\\Account.cfg").find("itemuin1=10001"), std::string::npos)
        << ReadText(L"data\\1001\\Account\\Account.cfg");
    EXPECT_NE(Read(L"settings.ini").find("CheckAgreeBoxSelected=1"), std::string::npos);
    // The hall was started with the account.
    EXPECT_NE(Read(L"Hall\\hall-command.txt").find("KWIUIN:10001 /CID:7 \"ombrelprotocol:///ENTERAPP APPID:1001\""),
              std::string::npos) << Read(L"Hall\\hall-command.txt");
}

TEST_F(LoginEndToEnd, FailureShowsTheReasonAndGoesBack)
{
    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher);
    ASSERT_NE(dialog, nullptr);
    e2e::Click(e2e::At(dialog, kUsedAccount));
    // carol's password is always wrong.
    PasswordLogin(dialog, L"10003", L"guess");
    WaitForReport(208);
    Settle();
    Shot(L"failure-page.png");
    EXPECT_EQ(e2e::ScreenPixel(e2e::At(dialog, kWarningIcon)), kWarningOrange);

    e2e::Click(e2e::At(dialog, kErrorOk));
    Settle();
    EXPECT_NE(e2e::ScreenPixel(e2e::At(dialog, kWarningIcon)), kWarningOrange) << "still on the failure page";
    // Back on the password page, a second try goes out again.
    e2e::Click(e2e::At(dialog, kLoginButton));
    EXPECT_TRUE(e2e::WaitUntil([&] { return Steps().size() >= 5; }, 10000));
    CloseFrame();
    EXPECT_EQ(launcher.Wait(10000), 0);

    const std::vector<std::string> expected = {"204/0", "205/0", "208/3", "205/0", "208/3", "209/1", "219/-3"};
    EXPECT_EQ(Steps(), expected);
    EXPECT_EQ(Reports()[2].text, "Wrong password");
    EXPECT_EQ(Read(L"Account.cfg").size(), 0u) << "a failed login remembers nothing";
}

TEST_F(LoginEndToEnd, VerificationPageTicketReachesTheLibrary)
{
    // bob must pass a verification page; the stand-in page passes it.
    std::string scenario = Read(L"NVSSO\\1.0\\Bin\\scenario.ini");
    const size_t at = scenario.find("PageUrl=https://example.com/verify");
    ASSERT_NE(at, std::string::npos);
    scenario.replace(at, std::strlen("PageUrl=https://example.com/verify"), "PageUrl=about:blank");
    WriteScenario(scenario);

    LauncherProcess launcher(Arguments());
    HWND dialog = OpenDialog(launcher);
    ASSERT_NE(dialog, nullptr);
    e2e::Click(e2e::At(dialog, kUsedAccount));
    PasswordLogin(dialog, L"10002", L"anything");

    HWND verify = launcher.WaitForWindow(L"WebWindow", 10000);
    ASSERT_NE(verify, nullptr);
    Settle();
    RECT rc = {};
    ::GetWindowRect(verify, &rc);
    EXPECT_TRUE(e2e::SaveScreenshot(rc, e2e::ShotFolder() + L"verify-window.png"));

    HMODULE page = ::LoadLibraryW((ModuleFolder() + L"VerifyPage.dll").c_str());
    ASSERT_NE(page, nullptr);
    auto* hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(page, verifypage::kHookName)));
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, hookProc, page, LauncherProcess::ThreadOf(verify));
    ASSERT_NE(hook, nullptr);
    ::PostMessageW(verify, ::RegisterWindowMessageW(verifypage::kPassMessage), 0, 0);

    EXPECT_EQ(launcher.Wait(20000), 0);
    ::UnhookWindowsHookEx(hook);
    ::FreeLibrary(page);

    const std::vector<std::string> expected = {"204/0", "205/0", "206/0", "209/0", "219/0"};
    EXPECT_EQ(Steps(), expected);
    // The ticket and random string reached the library with the account.
    auto hexOf = [](const wchar_t* text) { return kit::Hex(std::string(text, text + std::wcslen(text))); };
    EXPECT_NE(Calls().find(hexOf(verifypage::kTicket)), std::string::npos) << Calls();
    EXPECT_NE(Calls().find(hexOf(verifypage::kRandStr)), std::string::npos);
    EXPECT_NE(Read(L"Hall\\hall-command.txt").find("KWIUIN:10002"), std::string::npos);
}

TEST_F(LoginEndToEnd, ClosingTheFrameEndsTheProgram)
{
    LauncherProcess launcher(Arguments());
    ASSERT_NE(OpenDialog(launcher), nullptr);
    CloseFrame();
    EXPECT_EQ(launcher.Wait(10000), 0);
    const std::vector<std::string> expected = {"204/0", "209/1", "219/-3"};
    EXPECT_EQ(Steps(), expected);
    EXPECT_EQ(Reports().back().text, "user close");
    EXPECT_EQ(::GetFileAttributesW((work_ + L"Hall\\hall-command.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LoginEndToEnd, SecondLauncherForTheGameStepsAside)
{
    LauncherProcess first(Arguments());
    ASSERT_NE(OpenDialog(first), nullptr);
    LauncherProcess second(Arguments());
    EXPECT_EQ(second.Wait(10000), -4);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(second.FindWindowOf(L"LoginDlg"), nullptr);

    CloseFrame();
    EXPECT_EQ(first.Wait(10000), 0);
    const std::vector<std::string> expected = {"204/0", "219/-4", "209/1", "219/-3"};
    EXPECT_EQ(Steps(), expected);
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
