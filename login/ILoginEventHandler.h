#pragma once
// What the login dialog tells the launcher about a login, in slot order.
#include <cstdint>

struct UsedAccount;

class ILoginEventHandler {
public:
    virtual ~ILoginEventHandler() = default;
    // The login succeeded. `account` is the account as the game's used accounts keep it (its
    // first field is the account number); `rememberPassword` is the dialog's remember choice.
    virtual bool OnLoginSuccess(const UsedAccount* account, uint32_t rememberPassword) = 0;
    // The dialog asks to be deleted (its window is gone).
    virtual void CloseLoginView() = 0;
    // Unused slot of the interface.
    virtual void Reserved() = 0;
    // The login mode of the request just started: 0 password, 1 stored account.
    virtual void SetStatus(int32_t mode) = 0;
};
