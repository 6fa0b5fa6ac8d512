#include "login/windows/LoginView.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "login/DecimalText.h"
#include "login/ILoginEventHandler.h"
#include "login/Login.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "login/SSODataProvider.h"
#include "login/windows/LoginFailureText.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "login/windows/LoginViewHelpers.h"
#include "login/windows/MessageBoxView.h"
#include "login/windows/PVAListItemEx.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/core/ControlUI.h"

using SkinUI::CControlUI;
using SkinUI::NotifyMessage;
using namespace LoginViewHelpers;

namespace {

// Steps reported from here.
constexpr uint32_t kStepLoginRequest = 205;
constexpr uint32_t kStepLoginFailed = 208;

constexpr wchar_t kWrongAccount[] = L"请输入正确的帐号！";
constexpr wchar_t kNoPassword[] = L"请输入密码！";
constexpr wchar_t kAgreementTitle[] = L"温馨提示(1.0.0.196)";
constexpr wchar_t kAgreementText[] =
    L"请详细阅读并同意下方的用户协议、隐私政策和儿童隐私政策，方可进入游戏哦。";
constexpr wchar_t kVerifyTitle[] = L"为了您的账号安全，本次登陆需输验证码";

// A typed account as a number: decimal, "0x" hexadecimal or leading-0 octal; 0 for anything that
// is no number (an e-mail address, other text) or out of range.
uint64_t AccountNumberOf(const std::wstring& text)
{
    uint64_t number = 0;
    return TryParseUInt64W(text.c_str(), 0, number) ? number : 0;
}

} // namespace

// ---- logins -----------------------------------------------------------------------------------

void LoginView::StopAutoLogin()
{
    if (!autoLoginArmed_)
        return;
    autoLoginArmed_ = false;
    autoLoginTicks_ = 0;
    if (m_hWnd != nullptr)
        ::KillTimer(m_hWnd, kAutoLoginTimerId);
}

void LoginView::OnAutoLoginTimer()
{
    if (++autoLoginTicks_ != kAutoLoginTicks)
        return;
    if (autoLoginArmed_) {
        autoLoginArmed_ = false;
        autoLoginTicks_ = 0;
        ::KillTimer(m_hWnd, kAutoLoginTimerId);
    }
    LoginFromSelectedRow();
}

void LoginView::LoginFromSelectedRow()
{
    if (controls_.listPva == nullptr)
        return;
    const int selected = controls_.listPva->GetCurSel();
    if (selected < 0)
        return;
    if (CPVAListItemEx* row = FindRow(controls_.listPva->GetItemAt(selected)))
        LoginFromRow(row);
}

bool LoginView::CheckInput()
{
    if (controls_.accountCombo == nullptr || controls_.accountEdit == nullptr || controls_.pwdEdit == nullptr)
        return false;
    const std::wstring account = Trimmed(TextOf(controls_.accountEdit));
    if (account.empty()) {
        controls_.accountEdit->SetFocus();
        return false;
    }
    if (LoginInfoBlock::GetInstance().SetLoginInput(account.c_str(), false) == 0) {
        ShowErrorText(kWrongAccount);
        return false;
    }
    if (TextOf(controls_.pwdEdit).empty()) {
        ShowErrorText(kNoPassword);
        controls_.pwdEdit->SetFocus();
        return false;
    }
    return true;
}

void LoginView::StartLogin()
{
    // 1. Only with the agreement accepted and the input sound.
    if (!IsSelected(controls_.agree)) {
        ConfirmAgreement();
        return;
    }
    if (!CheckInput())
        return;
    // 2. The form is locked while the login runs.
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(false);
    const std::wstring account = Trimmed(TextOf(controls_.accountEdit));
    const bool remember = IsSelected(controls_.savePwd);
    // 3. The digest of what was typed; zero while the remembered password's mask stands.
    const std::wstring password = TextOf(controls_.pwdEdit);
    sentDigest_.fill(0);
    if (passwordEdited_ != 0)
        sentDigest_ = PasswordDigest(password);
    // 4. The login record and the account number for the reports; the request is reported.
    LoginInfoBlock& block = LoginInfoBlock::GetInstance();
    loginRecord_.Fill(block, passwordEdited_ != 0, password);
    LaunchParams::Instance().accountNumber = AccountNumberOf(account);
    LogReport::Instance().Report(kStepLoginRequest, 0, "");
    // 5. The request; one that could not be sent fails at once.
    CLogin& login = CLogin::GetInstance();
    const bool sent = login.InitSSO() && login.provider != nullptr &&
                      login.provider->LoginByHashedPassword(account.c_str(), sentDigest_.data(),
                                                            static_cast<uint32_t>(sentDigest_.size()),
                                                            remember ? 1 : 0, nullptr);
    rememberFlag_ = remember ? 1 : 0;
    loginInProgress_ = 1;
    if (owner_ != nullptr)
        owner_->SetStatus(0);
    if (!sent)
        LoginNotSent();
}

void LoginView::LoginFromRow(CPVAListItemEx* row)
{
    // 1. Only with the quick-login page's agreement accepted.
    if (!IsSelected(controls_.agree2)) {
        ConfirmAgreement();
        return;
    }
    // 2. A row with an account signs in with it.
    const PVAAccountRecord* record = row != nullptr ? &row->GetRecord() : nullptr;
    LoginInfoBlock& block = LoginInfoBlock::GetInstance();
    if (record != nullptr && !record->accountText.empty()) {
        block.SetLoginInput(record->accountText.c_str(), true);
        // 3. As a typed login does, without a password: form locked, request reported and sent.
        if (controls_.loginContainer != nullptr)
            controls_.loginContainer->SetEnabled(false);
        loginRecord_.Fill(block, passwordEdited_ != 0, L"");
        sentDigest_.fill(0);
        LaunchParams::Instance().accountNumber =
            static_cast<uint64_t>(std::wcstoll(record->accountText.c_str(), nullptr, 10));
        LogReport::Instance().Report(kStepLoginRequest, 0, "");
        CLogin& login = CLogin::GetInstance();
        const bool sent = login.InitSSO() && login.provider != nullptr &&
                          login.provider->LoginFromPVAList(record->accountText.c_str(), nullptr);
        loginInProgress_ = 1;
        if (owner_ != nullptr)
            owner_->SetStatus(1);
        if (!sent)
            LoginNotSent();
        return;
    }
    // 4. A row without an account sends nothing; the mode is the stored account's all the same.
    if (owner_ != nullptr)
        owner_->SetStatus(1);
}

void LoginView::LoginNotSent()
{
    // Without the library no answer would ever come: fail at once instead of waiting.
    const std::wstring account = LoginInfoBlock::GetInstance().typedText;
    OnLoginFailed(account.c_str(), kErrorLoginNotSent, nullptr, 0);
}

void LoginView::ConfirmAgreement()
{
    CMessageBoxView box(kAgreementTitle, kAgreementText, CMessageBoxView::kTypeReminder);
    box.ShowModal(m_hWnd);
}

// ---- login events -----------------------------------------------------------------------------

void LoginView::OnLoginSuccess(const wchar_t* /*account*/, const _tagKwiSERVERLOGININFO* server,
                               const _tagKwiBASEUSERINFO* user)
{
    const _tagKwiSERVERLOGININFO serverCopy = server != nullptr ? *server : _tagKwiSERVERLOGININFO{};
    const _tagKwiBASEUSERINFO userCopy = user != nullptr ? *user : _tagKwiBASEUSERINFO{};
    LaunchParams::Instance().accountNumber = userCopy.accountNumber;
    LogReport::Instance().Report(kStepLoginResult, 0, "");
    FinishLogin(serverCopy, userCopy);
}

void LoginView::FinishLogin(const _tagKwiSERVERLOGININFO& server, const _tagKwiBASEUSERINFO& user)
{
    CLogin::GetInstance().RemoveHandler(static_cast<ILoginEvent*>(this));
    SaveLoginSettings(server);
    loginInProgress_ = 0;
    succeeded_ = 1;

    UsedAccount account;
    account.accountNumber = user.accountNumber;
    account.nickName.assign(user.nickName, wcsnlen(user.nickName, _tagKwiBASEUSERINFO::kNickNameUnits));
    if (IsSelected(controls_.savePwd) && loginRecord_.loginType != kAccountTextOther)
        OmbrelLauncherAccountStorager::GetInstance().AddAccount(LaunchParams::Instance().appId, account);
    const bool survived = alive_.Survives([&] {
        if (owner_ != nullptr)
            owner_->OnLoginSuccess(&account, rememberFlag_ != 0 ? 1 : 0);
    });
    if (survived)
        DestroyWindows();
}

void LoginView::SaveLoginSettings(const _tagKwiSERVERLOGININFO& server)
{
    const uint32_t type = loginRecord_.loginType;
    if (type != kAccountTextNumber && type != kAccountTextEmail && type != kAccountTextOther)
        return;
    AccountSlot slot;
    slot.size = AccountSlot::kFilledSize;
    slot.loginType = type;
    slot.accountNumber = server.accountNumber;
    CopyAccountText(slot.email, type == kAccountTextOther ? loginRecord_.otherText : loginRecord_.email);
    // Only a remembered password keeps its digest: the typed one, or the one used again.
    const bool remember = IsSelected(controls_.savePwd);
    slot.rememberPassword = remember ? 1 : 0;
    if (remember) {
        if (loginRecord_.passwordGiven != 0)
            std::memcpy(slot.passwordDigest, sentDigest_.data(), sizeof(slot.passwordDigest));
        else
            std::memcpy(slot.passwordDigest, loginRecord_.secret.digest, sizeof(slot.passwordDigest));
    }
    CLoginConfigStorage::GetInstance().SaveAccount(&slot);
}

void LoginView::OnLoginFailed(const wchar_t* /*account*/, int32_t code, const wchar_t* reason, uint32_t /*reserved*/)
{
    // 1. The login is over: the error page, noting whether the password page was showing.
    loginInProgress_ = 0;
    failedOnPasswordPage_ = IsShown(controls_.pwdLogin) ? 1 : 0;
    ShowPage(controls_.errorContainer);
    Focus(controls_.btnErrorOk);
    // 2. The failure's text on the page and in the report.
    const LoginFailureText failure = LoginFailureText::For(code, reason);
    if (controls_.errorInfo != nullptr)
        controls_.errorInfo->SetText(failure.text.c_str());
    LogReport::Instance().Report(kStepLoginFailed, code, failure.reportText.c_str());
}

void LoginView::OnAccountListChanged(const SSOAccountTable* table)
{
    // 1. No table: the password page.
    if (table == nullptr) {
        ShowPasswordPage();
        return;
    }
    // 2. The old rows go.
    if (controls_.listPva == nullptr)
        return;
    ClearRows();
    // 3. New rows only while no login runs and no used account was chosen; the quick-login page
    //    comes up unless a login failed on the password page.
    if (loginInProgress_ != 0 || usedAccountChosen_ != 0)
        return;
    if (failedOnPasswordPage_ == 0)
        ShowQuickLoginPage();
    RebuildRows(*table);
}

void LoginView::OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber)
{
    pendingVerifyAccount_ = accountNumber;
    if (verifyWindow_ == nullptr)
        verifyWindow_ = new (std::nothrow) CLoginVerifyWebWindow();
    if (verifyWindow_ == nullptr)
        return;
    verifyWindow_->SetEventHandler(this);
    pendingTicket_.reset();
    // Modal: the window only keeps what the page brings; the rest of the login runs here,
    // after its loop has returned.
    const wchar_t* url = pageUrl != nullptr ? pageUrl : L"";
    if (!alive_.Survives([&] { verifyWindow_->ShowVerifyPage(m_hWnd, kVerifyTitle, url); }) || !pendingTicket_)
        return;
    const auto [ticket, randstr] = *pendingTicket_;
    pendingTicket_.reset();
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->WebVerifyTicket(ticket.c_str(), randstr.c_str(), pendingVerifyAccount_);
}

// ---- verification -----------------------------------------------------------------------------

void LoginView::OnVerifyWindowDestroyed()
{
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(true);
    // Its ShowVerifyPage is still on the stack: deleted once that has returned.
    if (verifyWindow_ != nullptr) {
        retiredVerifyWindows_.push_back(verifyWindow_);
        verifyWindow_ = nullptr;
    }
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, kDeleteRetiredVerifyWindows, 0, 0);
}

void LoginView::DeleteRetiredVerifyWindows()
{
    std::vector<CLoginVerifyWebWindow*> retired;
    retired.swap(retiredVerifyWindows_);
    for (CLoginVerifyWebWindow* window : retired)
        delete window;
}

void LoginView::OnVerifyCancelled()
{
    CancelVerify();
}

void LoginView::OnVerifyTicket(const std::wstring& ticket, const std::wstring& randstr)
{
    if (ticket.empty() || randstr.empty())
        return;
    pendingTicket_.emplace(ticket, randstr);
}

void LoginView::CancelVerify()
{
    std::wstring account;
    switch (loginRecord_.loginType) {
    case kAccountTextEmail:
        account = loginRecord_.email;
        break;
    case kAccountTextOther:
        account = loginRecord_.otherText;
        break;
    default:
        account = FormatUInt64W(loginRecord_.accountNumber);
        break;
    }
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->CancelVerify(account.c_str());
    loginInProgress_ = 0;
}

void LoginView::SubmitVerifyCode()
{
    if (controls_.verifyCode == nullptr)
        return;
    const std::wstring code = TextOf(controls_.verifyCode);
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->EnterVerifyCode(code.c_str(), pendingVerifyAccount_);
}
