#pragma once
// What the verify web window (CLoginVerifyWebWindow) tells the login dialog.
#include <string>

class ILoginVerifyWebWindowEventHandler {
public:
    // The window's native window is gone. The handler owns the window object and deletes it,
    // by a posted message: the window's ShowVerifyPage is still on the stack here.
    virtual void OnVerifyWindowDestroyed() = 0;
    // The user closed the window with "BtnClose".
    virtual void OnVerifyCancelled() = 0;
    // The page reported success. Fired once the window's modal loop has ended, never from
    // inside the page's own call.
    virtual void OnVerifyTicket(const std::wstring& ticket, const std::wstring& randstr) = 0;
    // The page could not be loaded.
    virtual void OnVerifyPageFailed() = 0;

protected:
    ~ILoginVerifyWebWindowEventHandler() = default;
};
