#pragma once
// The launcher start-up's windows on the toolkit: the game's login dialog through the launcher
// login handler, and the fatal start-up message as the program's own message box (warning type,
// the skin's title, no owner).
//
//   CStartupWindows windows;
//   return LauncherMain(commandLine, windows);
#include "launcher/IStartupWindows.h"

class CStartupWindows : public IStartupWindows {
public:
    // The handler's dialog, when its window came up from the skin; else the dialog is deleted.
    bool OpenLogin() override;
    void ShowStartupError(const std::wstring& text) override;
};
