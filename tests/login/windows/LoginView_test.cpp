// The login dialog on real windows in this process, with the sample game's skin and the stand-in
// sign-in library: input checks, the failure page, remember and auto-login coupling, the agreement
// boxes, the automatic quick login, the verification road and closing. The login controller is
// one per process, so every test shares one work dir (game 4242) and its library.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "ThreadWindows.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "kit/Stacking.h"
#include "kit/Text.h"
#include "launcher/GdiplusSession.h"
#include "launcher/LogReport.h"
#include "login/ILoginEventHandler.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "login/OmbrelLauncherLoginEventHandler.h"
#include "login/windows/FrameView.h"
#include "login/windows/LoginFailureText.h"
#include "login/windows/LoginSiteLinks.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "login/windows/LoginView.h"
#include "login/windows/MessageBoxView.h"
#include "standins/verifypage/VerifyPage.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/login/SSOTestBed.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/ScrollBarUI.h"
#include "uitoolkit/core/RichEditUI.h"

namespace {

// alice: listed by the library (a quick-login row) and remembered with her digest in Account.cfg
// and the game's used accounts; bob: a verification page; carol: always refused; dave: asked
// for a verification twice in a row.
const std::string kScenario =
    "[account.alice]\r\nUin=10001\r\nAliases=alice@example.com\r\nDigest=" + SSOTestBed::DigestHex("secret") +
    "\r\nNick=Alice\r\nListed=1\r\n"
    "[account.bob]\r\nUin=10002\r\nNick=Bob\r\nResult=verify\r\nPageUrl=about:blank\r\n"
    "[account.carol]\r\nUin=10003\r\nNick=Carol\r\nResult=fail\r\nErrorType=3\r\nReason=Wrong password\r\n"
    "[account.dave]\r\nUin=10004\r\nNick=Dave\r\nResult=verify\r\nVerifyRequests=2\r\nPageUrl=about:blank\r\n";

// The work dir of every test: the library, the sample skin as game 4242's data, alice remembered.
struct LoginBed {
    LoginBed() : sso(kScenario)
    {
        sso.Work().Write(L"settings.ini", "[4242]\r\nGameDataVersion=1.0\r\nSSOVersion=1.0\r\n");
        MakeDirs(sso.Work().Path() + L"data\\4242\\1.0");
        e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin",
                      sso.Work().Path() + L"data\\4242\\1.0\\skin");
        std::string record(29, '\0');
        record[0] = 0x11, record[1] = 0x27;  // 10001
        const std::vector<uint8_t> digest = SSOTestBed::Digest("secret");
        std::copy(digest.begin(), digest.end(), record.begin() + 8);
        record[24] = 1;
        sso.Work().Write(L"Account.cfg", record);
        MakeDirs(sso.Work().Path() + L"data\\4242\\Account");
        sso.Work().Write(L"data\\4242\\Account\\Account.cfg", "[4242]\r\nItemCount=1\r\nItemUin1=10001\r\nItemNickName1=Alice\r\n");
    }
    SSOTestBed sso;
    GdiplusSession gdiplus;
};

LoginBed& Bed()
{
    static LoginBed bed;  // made before the login controller, so it outlives it
    return bed;
}

// The launcher's side, as the real handler: it deletes the dialog when asked.
struct Owner : ILoginEventHandler {
    LoginView* view = nullptr;
    std::vector<std::string> calls;

    bool OnLoginSuccess(const UsedAccount* account, uint32_t remember) override
    {
        calls.push_back("success " + std::to_string(account->accountNumber) + " " + std::to_string(remember));
        return true;
    }
    void CloseLoginView() override
    {
        calls.push_back("close");
        delete view;
        view = nullptr;
    }
    void Reserved() override {}
    void SetStatus(int32_t mode) override { calls.push_back("status " + std::to_string(mode)); }
};

class LoginViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bed();
        LogReport::Instance().exitState = {};
        ::DeleteFileW(Bed().sso.Work().File(L"report.log").c_str());
        Bed().sso.ClearCalls();
    }
    void TearDown() override { delete owner.view; }

    void SetAgreement(bool accepted)
    {
        Bed().sso.Work().Write(L"settings.ini", std::string("[4242]\r\nGameDataVersion=1.0\r\nSSOVersion=1.0\r\n") +
                                                   "CheckAgreeBoxSelected=" + (accepted ? "1" : "0") + "\r\n");
    }
    // The dialog with the sample skin, replacing any earlier one; false (a failure) when the skin
    // was not found.
    bool Open()
    {
        delete owner.view;
        owner.view = new LoginView();
        owner.view->SetOwner(&owner);
        owner.view->CreateLoginWindow();
        kit::Drain();
        if (C().loginContainer != nullptr)
            return true;
        ADD_FAILURE() << "the sample skin is missing";
        return false;
    }
    // The password page with the account given and the password typed; false without the skin.
    bool EnterPassword(const wchar_t* account, const wchar_t* password)
    {
        SetAgreement(true);
        if (!Open())
            return false;
        Click(L"btnUsedAccount");
        C().accountEdit->SetText(account);
        C().pwdEdit->SetText(L"");
        TypeInto(C().pwdEdit, password);
        return true;
    }
    const LoginControls& C() const { return owner.view->GetControls(); }
    HWND Dialog() const { return owner.view->GetHWND(); }
    void Click(const wchar_t* name) const { Click(owner.view->GetHost().FindControlByName(name)); }
    void Click(SkinUI::CControlUI* control) const
    {
        kit::Drain();  // laid out where it shows now
        const RECT& rc = control->GetPos();
        kit::Input(Dialog()).Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    // Clicks with nothing dispatched after the button-up: the library answers from a timer, which a
    // drain on a loaded machine may reach before the test looks at the login in flight.
    void ClickHoldingAnswers(SkinUI::CControlUI* control) const
    {
        kit::Drain();
        const RECT& rc = control->GetPos();
        const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
        kit::Input(Dialog()).Move(x, y);
        const LPARAM at = MAKELPARAM(x, y);
        ::SendMessageW(Dialog(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(Dialog(), WM_LBUTTONUP, 0, at);
    }
    // Types into an edit as the keyboard does: focus, then characters to its native edit.
    void TypeInto(SkinUI::CEditUI* edit, const std::wstring& text) const
    {
        Click(edit);
        for (wchar_t ch : text)
            ::PostMessageW(edit->GetNativeWindow(), WM_CHAR, ch, 1);
        kit::Drain();
    }
    static std::string Reports()
    {
        LogReport::Instance().Flush();
        return kit::ReadBytesFromFile(Bed().sso.Work().File(L"report.log"));
    }
    static bool Reported(int step, int code)
    {
        return Reports().find("{\"step\":" + std::to_string(step) + ",\"code\":" + std::to_string(code) + ",") !=
               std::string::npos;
    }
    static std::string Text(SkinUI::CControlUI* c) { return Narrow(c->GetText().GetData()); }
    static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

    Owner owner;
};

} // namespace

// First in the process: the password page fills the account once from the game's used accounts.
TEST_F(LoginViewTest, SavedPasswordShowsAsMaskAndSendsTheZeroDigest)
{
    SetAgreement(true);
    ASSERT_TRUE(Open());
    LoginView& view = *owner.view;
    ASSERT_TRUE(C().pvaLogin->IsVisible()) << "alice is listed: the quick-login page first";
    Click(L"btnUsedAccount");
    ASSERT_TRUE(C().pwdLogin->IsVisible());
    EXPECT_EQ(Text(C().accountEdit), "10001");
    EXPECT_EQ(Text(C().pwdEdit), "************");
    ClickHoldingAnswers(C().loginBtn);
    ASSERT_TRUE(view.IsLoginInProgress());
    EXPECT_FALSE(C().loginContainer->IsEnabled());
    EXPECT_EQ(view.GetLoginRecord().passwordGiven, 0u);
    EXPECT_EQ(SSOTestBed::Hex(std::string(reinterpret_cast<const char*>(view.GetLoginRecord().secret.digest), 16)),
              SSOTestBed::DigestHex("secret"));
    EXPECT_EQ(SSOTestBed::Str(Bed().sso.LastCall("login.8")["credential"]["hex"]), std::string(32, '0'));
    EXPECT_TRUE(SSOTestBed::PumpUntil([&] { return C().errorContainer->IsVisible(); }));
}

TEST_F(LoginViewTest, FailurePageTextByPrecedenceTheWayBackAndInputChecks)
{
    const struct {
        int32_t code;
        const wchar_t* reason;
        std::wstring page;
        std::string report;
    } texts[] = {
        {0x9007, L"ignored", L"非常抱歉，登录失败。请检查您的网络和防火墙设置，或稍后重试。错误码：36871", ""},
        {0x9010, L"line one\r\nline two", L"line oneline two", "line oneline two"},
        {0x9010, nullptr, L"无法完成验证，可能是盒子的文件已损坏，您需要重新安装盒子。", ""},
        {5, L"", L"非常抱歉，登录失败。请检查您的网络和防火墙设置，或稍后重试。错误码：5", ""},
    };
    for (const auto& c : texts) {
        const LoginFailureText text = LoginFailureText::For(c.code, c.reason);
        EXPECT_EQ(text.text, c.page) << c.code;
        EXPECT_EQ(text.reportText, c.report) << c.code;
    }
    // A login that cannot be sent (the library gives no login object: nothing would ever
    // answer) fails at once.
    Bed().sso.WriteScenario(kScenario + "[library]\r\nLoginObject=0\r\n");
    ASSERT_TRUE(EnterPassword(L"10001", L"secret"));
    Click(C().loginBtn);
    Bed().sso.WriteScenario(kScenario);
    EXPECT_FALSE(owner.view->IsLoginInProgress());
    EXPECT_TRUE(C().errorContainer->IsVisible() && !C().loginContainer->IsVisible());
    EXPECT_TRUE(Reported(208, LoginView::kErrorLoginNotSent)) << Reports();
    Click(C().btnErrorOk);
    EXPECT_TRUE(C().loginContainer->IsEnabled());
    EXPECT_TRUE(C().loginContainer->IsVisible());

    // Input checks stop a login with their message.
    Reports();
    ::DeleteFileW(Bed().sso.Work().File(L"report.log").c_str());
    const struct {
        const wchar_t* account;
        const wchar_t* password;
        const wchar_t* error;    // shown in "lblError"; empty: none
        const wchar_t* focused;  // the control that gets the focus
    } cases[] = {
        {L" \t  ", L"pw", L"", L"accountedit"},
        {L"1234", L"pw", L"请输入正确的帐号！", nullptr},
        {L"not an account", L"pw", L"请输入正确的帐号！", nullptr},
        {L"10001", L"", L"请输入密码！", L"pwdedit"},
    };
    for (const auto& c : cases) {
        C().lblError->SetVisible(false);
        C().accountEdit->SetText(c.account);
        C().pwdEdit->SetText(c.password);
        Click(C().loginBtn);
        const std::wstring label = C().lblError->IsVisible() ? C().lblError->GetText().GetData() : L"";
        EXPECT_TRUE(label == c.error) << Narrow(c.account);
        if (c.focused != nullptr) {
            EXPECT_EQ(Narrow(owner.view->GetHost().GetFocus()->GetName().GetData()), Narrow(c.focused));
        }
        EXPECT_FALSE(owner.view->IsLoginInProgress());
    }
    EXPECT_FALSE(Reported(205, 0)) << Reports();
}

// A reason longer than the failure page scrolls with the wheel, and the way back keeps the focus:
// Enter still goes back. A failure shown over a scrolled one starts at its own first line, and a
// short one shows without a bar.
TEST_F(LoginViewTest, LongFailureScrollsAndEnterStillGoesBack)
{
    ASSERT_TRUE(EnterPassword(L"10001", L"secret"));
    auto* reason = static_cast<SkinUI::CRichEditUI*>(C().errorInfo->GetInterface(L"RichEdit"));
    ASSERT_NE(reason, nullptr);
    SkinUI::CScrollBarUI* bar = reason->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    const std::wstring longReason(600, L'\x8D26');
    const auto fail = [&](const wchar_t* text) {
        owner.view->OnLoginFailed(L"10001", 3, text, 0);
        kit::Drain();
        ::UpdateWindow(Dialog());
    };
    const auto firstLine = [&] {
        LRESULT line = -1;
        reason->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &line);
        return line;
    };
    const auto wheel = [&](int turns) {
        const RECT& rc = reason->GetPos();
        for (int i = 0; i < turns; ++i)
            kit::Input(Dialog()).Wheel((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, -WHEEL_DELTA);
    };
    const struct {
        const wchar_t* text;
        bool scrolls;
    } failures[] = {{longReason.c_str(), true}, {longReason.c_str(), true}, {L"No", false}, {longReason.c_str(), true}};
    for (const auto& failure : failures) {
        fail(failure.text);
        ASSERT_TRUE(C().errorContainer->IsVisible());
        EXPECT_EQ(bar->IsVisible(), failure.scrolls);
        EXPECT_EQ(bar->IsVisible() ? bar->GetScrollPos() : 0, 0) << "a reason starts at its first line";
        EXPECT_EQ(firstLine(), 0);
        wheel(3);
        EXPECT_EQ(bar->GetScrollPos() > 0, failure.scrolls);
        EXPECT_EQ(firstLine() > 0, failure.scrolls);
    }
    kit::Input(Dialog()).Key(VK_RETURN);
    EXPECT_TRUE(C().loginContainer->IsVisible() && !C().errorContainer->IsVisible()) << "Enter did not go back";
    EXPECT_TRUE(C().loginContainer->IsEnabled());
}

// Enter goes back from the failure page however the player clicked on it: the reason's text, its
// scroll bar's thumb and track, the empty page and the icon all take the keyboard focus from 返回,
// and Enter still goes back to the page that was shown before. Keys typed elsewhere keep theirs.
TEST_F(LoginViewTest, EnterGoesBackFromTheFailurePageWhereverItWasClicked)
{
    enum Where { kNowhere, kText, kThumb, kTrack, kEmptyPage, kIcon };
    const struct {
        const char* what;
        bool quickPage;  // failed from the quick-login page, else from the password page
        Where where;
    } cases[] = {
        {"no click", false, kNowhere},         {"the reason's text", false, kText},
        {"the reason's thumb", false, kThumb}, {"the reason's track", true, kTrack},
        {"the empty page", true, kEmptyPage},  {"the warning icon", false, kIcon},
        {"the reason's text, quick page", true, kText},
    };
    const std::wstring longReason(600, L'\x8D26');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.quickPage) {
            SetAgreement(true);
            ASSERT_TRUE(Open());
            ASSERT_TRUE(C().pvaLogin->IsVisible());
        } else {
            ASSERT_TRUE(EnterPassword(L"10001", L"secret"));
        }
        owner.view->OnLoginFailed(L"10001", 3, longReason.c_str(), 0);
        kit::Drain();
        ASSERT_TRUE(C().errorContainer->IsVisible());
        auto* reason = static_cast<SkinUI::CRichEditUI*>(C().errorInfo->GetInterface(L"RichEdit"));
        ASSERT_NE(reason, nullptr);
        SkinUI::CScrollBarUI* bar = reason->GetVerticalScrollBar();
        ASSERT_TRUE(bar != nullptr && bar->IsVisible());
        const RECT text = reason->GetPos(), thumb = bar->GetThumbRect(), bar_ = bar->GetPos();
        const RECT page = C().errorContainer->GetPos();
        POINT at = {};
        switch (c.where) {
        case kNowhere: break;
        case kText: at = {(text.left + bar_.left) / 2, (text.top + text.bottom) / 2}; break;
        case kThumb: at = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2}; break;
        case kTrack: at = {(bar_.left + bar_.right) / 2, (thumb.bottom + bar_.bottom) / 2}; break;
        case kEmptyPage: at = {page.left + 10, page.bottom - 4}; break;  // the inset below 返回's row
        case kIcon: at = {page.left + 60, page.top + 40}; break;
        }
        if (c.where != kNowhere) {
            ASSERT_TRUE(::PtInRect(&page, at)) << kit::Text(page);
            kit::Input(Dialog()).Click(at.x, at.y);
            ASSERT_TRUE(C().errorContainer->IsVisible()) << "the click itself went back";
        }
        kit::Input(Dialog()).Key(VK_RETURN);
        EXPECT_TRUE(C().loginContainer->IsVisible() && C().loginContainer->IsEnabled() &&
                    !C().errorContainer->IsVisible())
            << "Enter did not go back";
        EXPECT_EQ(C().pvaLogin->IsVisible(), c.quickPage);
        EXPECT_EQ(C().pwdLogin->IsVisible(), !c.quickPage);
        EXPECT_FALSE(owner.view->IsLoginInProgress());
    }
    // On the password page Enter still signs in from the password box, not "back" from a page
    // that is not shown.
    ASSERT_TRUE(EnterPassword(L"10003", L"wrong"));
    kit::Input(C().pwdEdit->GetNativeWindow()).Key(VK_RETURN);
    ASSERT_TRUE(kit::PumpUntil([&] { return C().errorContainer->IsVisible(); }, 5000)) << "Enter did not sign in";
}

// When the dialog gets the keyboard back, after the agreement reminder or after another window
// was active, typed keys reach the box that shows the focus, caret included.
TEST_F(LoginViewTest, TypedKeysReachTheFocusedBoxWhenTheKeyboardComesBack)
{
    enum Away { kReminderByOk, kReminderByClose, kOtherWindow, kOtherWindowThenFrame, kFrame };
    const struct {
        const char* what;
        bool fromPassword;  // else from the account box
        Away away;
    } cases[] = {
        {"password box, reminder closed by its button", true, kReminderByOk},
        {"account box, reminder closed by its button", false, kReminderByOk},
        {"password box, reminder closed by the system", true, kReminderByClose},
        {"password box, another window, then the dialog", true, kOtherWindow},
        {"account box, another window, then the frame", false, kOtherWindowThenFrame},
        {"password box, the frame activated (a click on its band)", true, kFrame},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetAgreement(false);
        ASSERT_TRUE(Open());
        Click(L"btnUsedAccount");
        ASSERT_TRUE(C().pwdLogin->IsVisible());
        C().accountEdit->SetText(L"");
        C().pwdEdit->SetText(L"");
        TypeInto(C().accountEdit, L"10001");
        if (c.fromPassword)
            TypeInto(C().pwdEdit, L"pass");
        SkinUI::CEditUI* box = c.fromPassword ? C().pwdEdit : C().accountEdit;
        const std::wstring before = box->GetText().GetData();
        ASSERT_NE(box->GetNativeWindow(), nullptr);
        if (c.away == kReminderByOk || c.away == kReminderByClose) {
            bool reminded = false;
            ModalScript script(L"MessageBoxView", {[&](HWND reminder) {
                reminded = true;
                auto* view = WindowObject<CMessageBoxView>(reminder);
                if (c.away == kReminderByClose || view == nullptr)
                    ::PostMessageW(reminder, WM_CLOSE, 0, 0);
                else
                    ModalScript::PostClick(reminder, ModalScript::Centre(view->GetHost().FindControlByName(L"BtnOK")->GetPos()));
                return true;
            }});
            kit::Input(box->GetNativeWindow()).Key(VK_RETURN);
            kit::Drain();
            ASSERT_TRUE(reminded) << "Enter without the agreement did not remind";
        } else if (c.away == kFrame) {
            ASSERT_EQ(::GetFocus(), box->GetNativeWindow());
            ::SetActiveWindow(owner.view->GetFrame()->GetHWND());
            kit::Drain();
        } else {
            // Another program's window takes the keyboard.
            const std::unique_ptr<HWND__, decltype(&::DestroyWindow)> other(
                ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 600, 600, 200, 40, nullptr,
                                  nullptr, nullptr, nullptr),
                &::DestroyWindow);
            ASSERT_NE(other.get(), nullptr);
            ::SetForegroundWindow(other.get());
            ::SetActiveWindow(other.get());
            ::SetFocus(other.get());
            kit::Drain();
            ASSERT_EQ(::GetFocus(), other.get());
            ASSERT_NE(::GetActiveWindow(), Dialog());
            const HWND back = c.away == kOtherWindow ? Dialog() : owner.view->GetFrame()->GetHWND();
            ::SetForegroundWindow(back);
            ::SetActiveWindow(back);
            kit::Drain();
        }
        ASSERT_TRUE(C().pwdLogin->IsVisible());
        EXPECT_TRUE(box->IsFocused()) << "the box no longer shows the focus";
        EXPECT_EQ(::GetFocus(), box->GetNativeWindow()) << "the keys go elsewhere";
        for (wchar_t ch : std::wstring(L"123"))
            ::PostMessageW(::GetFocus(), WM_CHAR, ch, 1);
        kit::Drain();
        const std::wstring after = box->GetText().GetData();
        EXPECT_EQ(after.size(), before.size() + 3) << Narrow(after);
        EXPECT_NE(after.find(L"123"), std::wstring::npos) << Narrow(after);
    }
}

// The agreement is asked for and remembered; with it, the quick login starts on the fifth tick
// unless the quick page's agreement box is unselected.
TEST_F(LoginViewTest, AgreementIsAskedForAndQuickLoginStartsOnTheFifthTick)
{
    SetAgreement(false);
    ASSERT_TRUE(Open());
    EXPECT_FALSE(C().agree->IsSelected() || C().agree2->IsSelected() || owner.view->IsAutoLoginArmed());
    // A login without the agreement only shows the reminder.
    bool reminded = false;
    ModalScript script(L"MessageBoxView", {[&](HWND box) {
        reminded = true;
        ::PostMessageW(box, WM_CLOSE, 0, 1);
        return true;
    }});
    Click(C().btnPvaLogin);
    EXPECT_TRUE(reminded);
    EXPECT_FALSE(owner.view->IsLoginInProgress());
    // Accepting it once is kept for the game.
    Click(C().agree2);
    EXPECT_NE(Bed().sso.Work().Read(L"settings.ini").find("CheckAgreeBoxSelected=1"), std::string::npos);
    ASSERT_TRUE(Open());
    EXPECT_TRUE(C().agree->IsSelected() && C().agree2->IsSelected());
    ASSERT_EQ(C().listPva->GetCount(), 1);
    ASSERT_TRUE(owner.view->IsAutoLoginArmed());
    Click(C().agree2);
    EXPECT_FALSE(owner.view->IsAutoLoginArmed());

    SetAgreement(true);
    ASSERT_TRUE(Open());
    for (int tick = 1; tick <= 4; ++tick)
        ::SendMessageW(Dialog(), WM_TIMER, LoginView::kAutoLoginTimerId, 0);
    EXPECT_TRUE(owner.view->IsAutoLoginArmed());
    EXPECT_TRUE(Bed().sso.LastCall("login.8").IsNull()) << "nothing before the fifth tick";
    ::SendMessageW(Dialog(), WM_TIMER, LoginView::kAutoLoginTimerId, 0);
    EXPECT_FALSE(owner.view->IsAutoLoginArmed());
    EXPECT_EQ(SSOTestBed::Str(Bed().sso.LastCall("login.8")["account"]), "alice@example.com");
    EXPECT_EQ(owner.calls.back(), "status 1");
    EXPECT_TRUE(Reported(205, 0));
    // alice signs in: the owner hears the account and deletes the dialog.
    ASSERT_TRUE(SSOTestBed::PumpUntil([&] { return owner.view == nullptr; }));
    EXPECT_EQ(owner.calls[owner.calls.size() - 2], "success 10001 0");
    EXPECT_TRUE(Reported(209, 0));
}

TEST_F(LoginViewTest, VerificationTicketGoesToTheLibraryAfterTheWindow)
{
    kit::GuardedScope guard;
    ASSERT_TRUE(EnterPassword(L"10002", L"pw"));
    // The page passes the check from inside the verify window's modal loop.
    HMODULE page = ::LoadLibraryW((ModuleFolder() + L"VerifyPage.dll").c_str());
    ASSERT_NE(page, nullptr);
    auto* hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(page, verifypage::kHookName)));
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, hookProc, page, ::GetCurrentThreadId());
    ModalScript script(L"WebWindow", {[](HWND verify) {
        ::PostMessageW(verify, ::RegisterWindowMessageW(verifypage::kPassMessage), 0, 0);
        return true;
    }});
    Click(C().loginBtn);
    ASSERT_TRUE(SSOTestBed::PumpUntil([&] { return owner.view == nullptr; }));
    ::UnhookWindowsHookEx(hook);

    const rapidjson::Document ticket = Bed().sso.LastCall("login.11");
    ASSERT_FALSE(ticket.IsNull());
    EXPECT_EQ(SSOTestBed::Str(ticket["data"]["bufTicket"]["hex"]),
              SSOTestBed::Hex(Narrow(verifypage::kTicket)));
    EXPECT_EQ(SSOTestBed::Str(ticket["data"]["bufRandStr"]["hex"]),
              SSOTestBed::Hex(Narrow(verifypage::kRandStr)));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"status 0", "success 10002 1", "close"}));
    ::FreeLibrary(page);
}

// The thread's retrieved messages while the hook is set: paints of verify windows and timers.
struct MessageCount {
    MessageCount() : hook(::SetWindowsHookExW(WH_GETMESSAGE, &Count, nullptr, ::GetCurrentThreadId())) { s_self = this; }
    ~MessageCount()
    {
        ::UnhookWindowsHookEx(hook);
        s_self = nullptr;
    }
    static LRESULT CALLBACK Count(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && s_self != nullptr) {
            wchar_t cls[32] = {};
            ::GetClassNameW(msg->hwnd, cls, 32);
            if (msg->message == WM_TIMER) ++s_self->timers;
            if (msg->message == WM_PAINT && std::wstring(cls) == L"WebWindow" && ++s_self->paints > kStorm) {
                // A storm starves every timer, the script's too: the windows are closed from here.
                ::PostMessageW(msg->hwnd, WM_CLOSE, 0, 0);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static constexpr int kStorm = 3000;
    static inline MessageCount* s_self = nullptr;
    HHOOK hook;
    int paints = 0;
    int timers = 0;
};

// A second verification request while the verify window is open makes no second window: the one
// window stays, the thread's timers keep ticking, nothing repaints without end, and closing it
// cancels the verification once.
TEST_F(LoginViewTest, SecondVerificationRequestKeepsTheOneWindow)
{
    kit::GuardedScope guard;
    ASSERT_TRUE(EnterPassword(L"10004", L"pw"));
    MessageCount count;
    int windows = 0, paints = 0, timers = 0;
    DWORD shown = 0;
    ModalScript script(L"WebWindow", {
        [&](HWND) { return shown = ::GetTickCount(), true; },
        // Both requests are in, and the thread's timers had a second to tick.
        [&](HWND) {
            const std::vector<std::string> calls = Bed().sso.CallNames();
            return ::GetTickCount() - shown >= 1000 && std::count(calls.begin(), calls.end(), "event.6529") >= 2;
        },
        [&](HWND w) {
            windows = CountThreadWindows(L"WebWindow");
            paints = count.paints;
            timers = count.timers;
            auto* verify = WindowObject<CLoginVerifyWebWindow>(w);
            if (verify == nullptr) return ADD_FAILURE() << "no verify window object", true;
            ModalScript::PostClick(w, ModalScript::Centre(verify->GetHost().FindControlByName(L"BtnClose")->GetPos()));
            return true;
        }});
    Click(C().loginBtn);
    ASSERT_TRUE(SSOTestBed::PumpUntil([&] { return script.Finished() && ::FindWindowW(L"WebWindow", nullptr) == nullptr; }));
    kit::Drain();

    EXPECT_EQ(windows, 1);
    EXPECT_LT(paints, 100) << "the verify window repaints without end";
    EXPECT_GE(timers, 20) << "the thread's timers stood still";
    const std::vector<std::string> calls = Bed().sso.CallNames();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "event.6529"), 2) << "two requests were sent";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "login.9"), 1) << "cancelled once";
    EXPECT_FALSE(owner.view->IsLoginInProgress());
    EXPECT_TRUE(C().loginContainer->IsEnabled());
}

TEST_F(LoginViewTest, ClosingEndsTheProgramFromEveryRoad)
{
    kit::GuardedScope guard;
    using Close = std::function<void(Owner&)>;
    const Close roads[] = {
        [](Owner& o) {  // the skin's close button
            SkinUI::NotifyMessage click;
            click.type = L"click";
            click.sender = o.view->GetHost().FindControlByName(L"btnClose");
            o.view->Notify(click);
        },
        [](Owner& o) {  // the frame's close button
            FrameButton close;
            close.name = L"Close";
            ButtonEvent event;
            event.button = &close;
            o.view->OnButtonEvent(event);
        },
        [](Owner& o) { ::SendMessageW(o.view->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](Owner& o) { ::SendMessageW(o.view->GetHWND(), LoginView::kCloseRequest, 0, 0); },
        [](Owner& o) { ::SendMessageW(o.view->GetHWND(), WM_CLOSE, 0, 0); },  // from anywhere else
    };
    for (const Close& close : roads) {
        SetUp();
        ASSERT_TRUE(Open());
        HWND frame = owner.view->GetFrame()->GetHWND();
        close(owner);
        EXPECT_EQ(owner.view, nullptr);
        EXPECT_FALSE(::IsWindow(frame));
        EXPECT_EQ(owner.calls.back(), "close");
        EXPECT_EQ(LogReport::Instance().exitState.requested, 1);
        EXPECT_TRUE(Reported(209, 1));
        EXPECT_NE(Reports().find("{\"step\":219,\"code\":-3,\"text\":\"user close\""), std::string::npos);
    }
}

// The skin's minimise button and the frame's put the whole window away alike, and a restore as
// the taskbar does brings all of it back: the dialog at its place right above the frame, the
// skin's button no longer hot or pushed.
TEST_F(LoginViewTest, BothMinimiseButtonsPutTheWholeWindowAwayAndRestoreBringsItBack)
{
    ASSERT_TRUE(Open());
    SkinUI::CButtonUI* skinButton = static_cast<SkinUI::CButtonUI*>(owner.view->GetHost().FindControlByName(L"btnMinisize"));
    ASSERT_NE(skinButton, nullptr);
    skinButton->SetVisible(true);  // the sample skin hides it
    const HWND frame = owner.view->GetFrame()->GetHWND();
    RECT placed{};
    ::GetWindowRect(Dialog(), &placed);
    const std::pair<const char*, std::function<void()>> roads[] = {
        {"skin button", [&] { Click(skinButton); }},
        {"frame button", [&] {
             FrameButton minimise;
             minimise.name = L"MinSize";
             ButtonEvent event;
             event.button = &minimise;
             owner.view->OnButtonEvent(event);
         }},
    };
    for (const auto& [name, minimise] : roads) {
        SCOPED_TRACE(name);
        minimise();
        kit::Drain();
        EXPECT_TRUE(::IsIconic(frame));
        EXPECT_FALSE(::IsWindowVisible(Dialog()));
        ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);  // over the taskbar
        ::SendMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
        kit::Drain();
        EXPECT_FALSE(::IsIconic(frame));
        EXPECT_TRUE(::IsWindowVisible(Dialog()));
        RECT now{};
        ::GetWindowRect(Dialog(), &now);
        EXPECT_TRUE(::EqualRect(&now, &placed));
        EXPECT_TRUE(kit::SettlesRightAbove(Dialog(), frame));
        EXPECT_EQ(skinButton->GetState() & (SkinUI::kStateHot | SkinUI::kStatePushed | SkinUI::kStateCaptured), 0u);
    }
}

// Remember and auto login go together; a password not remembered leaves no digest behind.
TEST_F(LoginViewTest, RememberAndAutoLoginGoTogether)
{
    ASSERT_TRUE(EnterPassword(L"10001", L"secret"));
    ASSERT_TRUE(C().savePwd->IsSelected()) << "remember is on at start";
    Click(C().savePwd);
    EXPECT_FALSE(C().savePwd->IsSelected());
    Click(C().autoLogin);
    EXPECT_TRUE(C().autoLogin->IsSelected());
    EXPECT_TRUE(C().savePwd->IsSelected()) << "auto login needs the password remembered";
    Click(C().savePwd);
    EXPECT_FALSE(C().autoLogin->IsSelected()) << "no remembered password, no auto login";
    Click(C().loginBtn);
    ASSERT_TRUE(SSOTestBed::PumpUntil([&] { return owner.view == nullptr; }));
    EXPECT_EQ(owner.calls[owner.calls.size() - 2], "success 10001 0");
    // alice's record (the file holds the records of every account signed in so far).
    const std::string records = Bed().sso.Work().Read(L"Account.cfg");
    std::string record;
    for (size_t at = 0; at + 29 <= records.size(); at += 29)
        if (records.compare(at, 8, std::string("\x11\x27\0\0\0\0\0\0", 8)) == 0) record = records.substr(at, 29);
    ASSERT_EQ(record.size(), 29u);
    EXPECT_EQ(record.substr(8, 17), std::string(17, '\0')) << "no digest, no remember flag";
}

// The launcher's handler: last, as it starts the hall stand-in and asks for the program's end.
TEST_F(LoginViewTest, HandlerReplacesDialogsAndKeepsTheFirstAccount)
{
    MakeDirs(Bed().sso.Work().Path() + L"Hall");
    ::CopyFileW((ModuleFolder() + L"Ombrel.exe").c_str(), Bed().sso.Work().File(L"Hall\\Ombrel.exe").c_str(), FALSE);
    OmbrelLauncherLoginEventHandler handler;
    handler.CloseLoginView();  // none: nothing
    EXPECT_EQ(handler.Login(), 1);
    HWND first = handler.GetLoginView()->GetHWND();
    ASSERT_TRUE(::IsWindow(first));
    EXPECT_EQ(handler.Login(), 1);
    EXPECT_FALSE(::IsWindow(first)) << "the first dialog is gone before the second shows";
    EXPECT_TRUE(::IsWindow(handler.GetLoginView()->GetHWND()));

    UsedAccount alice{10001, L"Alice"}, bob{10002, L"Bob"};
    EXPECT_TRUE(handler.OnLoginSuccess(&alice, 1));
    EXPECT_TRUE(handler.OnLoginSuccess(&bob, 0));
    EXPECT_EQ(handler.GetAccountNumber(), 10001u);
    EXPECT_TRUE(SSOTestBed::PumpUntil([] {
        return kit::ReadBytesFromFile(Bed().sso.Work().File(L"Hall\\hall-command.txt")).find("KWIUIN:10001 ") !=
               std::string::npos;
    })) << "the hall starts with the first account";
    handler.SetStatus(0);
    EXPECT_EQ(handler.GetLoginMode(), 0);
    handler.CloseLoginView();
    EXPECT_EQ(handler.GetLoginView(), nullptr);
}

TEST_F(LoginViewTest, LinkButtonsOpenOnlyWebPages)
{
    static std::vector<std::wstring> opened;
    LoginSiteLinks::SetOpener([](const wchar_t* url) { opened.push_back(url); });
    const struct {
        const wchar_t* url;
        bool opens;
    } cases[] = {
        {L"https://www.ombrel.example/x", true}, {L"HTTP://OMBREL.EXAMPLE/", true}, {L"http://", false},
        {L"file:///C:/windows/notepad.exe", false}, {L"C:\\windows\\notepad.exe", false},
        {L"javascript:alert(1)", false}, {L"", false},
    };
    for (const auto& c : cases) {
        opened.clear();
        EXPECT_EQ(LoginSiteLinks::Open(c.url), c.opens) << Narrow(c.url);
        EXPECT_EQ(opened.size(), c.opens ? 1u : 0u) << Narrow(c.url);
    }

    // Through the dialog: the skin's own targets (also after the buttons were painted and
    // pressed), a fallback page, the home page.
    ASSERT_TRUE(Open());
    opened.clear();
    for (const wchar_t* name : {L"btnOfficialWebsite", L"btnRegisterAccount", L"btnHomeWeb", L"btnOfficialWebsite"})
        Click(name);
    const std::wstring site = L"https://www.ombrel.example/game/1001";
    EXPECT_EQ(opened, (std::vector<std::wstring>{site, LoginSiteLinks::kRegisterPage, LoginSiteLinks::kHomePage, site}));
    LoginSiteLinks::SetOpener(nullptr);
}
