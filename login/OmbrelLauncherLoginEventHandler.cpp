#include "login/OmbrelLauncherLoginEventHandler.h"

#include "foundation/TraceLog.h"
#include "launcher/ResourceUpdate.h"
#include "login/Login.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "login/windows/LoginView.h"

OmbrelLauncherLoginEventHandler& OmbrelLauncherLoginEventHandler::GetInstance()
{
    // A dialog still open at exit leaves the login controller from its destructor, and the
    // controller is a function-local static too: made first, it is destroyed after the handler.
    CLogin::GetInstance();
    static OmbrelLauncherLoginEventHandler instance;
    return instance;
}

OmbrelLauncherLoginEventHandler::OmbrelLauncherLoginEventHandler() : tasks_(std::make_unique<mjz::MsgDispatcher>())
{
}

OmbrelLauncherLoginEventHandler::~OmbrelLauncherLoginEventHandler()
{
    tasks_.reset();
    CloseLoginView();
}

int OmbrelLauncherLoginEventHandler::Login()
{
    if (IsTraceViewerPresent())
        TraceLog(L"OmbrelLauncherLoginEventHandler::Login");
    CloseLoginView();
    loginView_ = std::make_unique<LoginView>();
    loginView_->SetOwner(this);
    loginView_->CreateLoginWindow();
    return 1;
}

bool OmbrelLauncherLoginEventHandler::OnLoginSuccess(const UsedAccount* account, uint32_t /*rememberPassword*/)
{
    const uint64_t number = account != nullptr ? account->accountNumber : 0;
    if (IsTraceViewerPresent())
        TraceLog(L"OmbrelLauncherLoginEventHandler::OnLoginSuccess, uin=%I64u", number);
    // A later success (say after a verification) keeps the first account.
    if (accountTaken_ == 0) {
        accountNumber_ = number;
        accountTaken_ = 1;
    }
    return ResourceUpdate::Instance().LaunchHallWhenReady(accountNumber_);
}

void OmbrelLauncherLoginEventHandler::CloseLoginView()
{
    // The field is empty before the dialog's destructor runs, so nothing reaches it twice.
    std::unique_ptr<LoginView> view = std::move(loginView_);
    view.reset();
}
