#pragma once

#include <functional>

// The launcher's entry, called by wWinMain with its command line. It reads the launch
// parameters, takes the per-game login mutex "OmbrelLauncherLoginEventHandler_<AppId>",
// reports step 204 and calls openLogin; without openLogin the program ends at once through
// the reporter's exit request. When another process holds the mutex it reports step 219
// with code -4 ("another instance running") and ends with exit code -4. Without an AppId
// it returns 1. Otherwise it runs the message loop and returns the quit message's code.
int LauncherMain(const wchar_t* commandLine, const std::function<void()>& openLogin = {});

constexpr int kLauncherExitAnotherInstance = -4;
