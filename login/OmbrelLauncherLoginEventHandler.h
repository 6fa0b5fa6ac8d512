#pragma once
// The launcher's side of a login. The entry creates it once it holds the game's login mutex and
// calls Login, which opens the login dialog; the dialog reports back through ILoginEventHandler.
// The first successful account goes to the update controller, which starts the hall once no
// update runs; the handler owns the dialog and deletes it when the dialog asks to go.
//
//   OmbrelLauncherLoginEventHandler::GetInstance().Login();
#include <cstdint>
#include <memory>

#include "foundation/MsgDispatcher.h"
#include "login/ILoginEventHandler.h"

class LoginView;

class OmbrelLauncherLoginEventHandler : public ILoginEventHandler {
public:
    static constexpr int32_t kModePassword = 0;
    static constexpr int32_t kModeStoredAccount = 1;

    // The process-wide handler, created on first use and destroyed at exit (deleting a dialog
    // that is still open).
    static OmbrelLauncherLoginEventHandler& GetInstance();

    OmbrelLauncherLoginEventHandler();
    ~OmbrelLauncherLoginEventHandler() override;
    OmbrelLauncherLoginEventHandler(const OmbrelLauncherLoginEventHandler&) = delete;
    OmbrelLauncherLoginEventHandler& operator=(const OmbrelLauncherLoginEventHandler&) = delete;

    // Opens a new login dialog (a previous one is deleted first). Always 1: whether the window
    // came up is the dialog's affair.
    int Login();

    // ILoginEventHandler
    // Keeps the first account number it hears and hands it to the update controller; the
    // controller's answer (false when the hall could not be started).
    bool OnLoginSuccess(const UsedAccount* account, uint32_t rememberPassword) override;
    // Takes the dialog out of the handler, then deletes it; nothing without one.
    void CloseLoginView() override;
    void Reserved() override {}
    void SetStatus(int32_t mode) override { loginMode_ = mode; }

    LoginView* GetLoginView() const { return loginView_.get(); }
    int32_t GetLoginMode() const { return loginMode_; }
    uint64_t GetAccountNumber() const { return accountNumber_; }
    bool HasAccountNumber() const { return accountTaken_ != 0; }

private:
    // Destroyed after the dispatcher (members go in reverse order).
    std::unique_ptr<LoginView> loginView_;
    int32_t loginMode_ = kModeStoredAccount;
    uint64_t accountNumber_ = 0;
    uint32_t accountTaken_ = 0;
    // The handler's own posted tasks; cancelled and waited for first at exit.
    std::unique_ptr<mjz::MsgDispatcher> tasks_;
};
