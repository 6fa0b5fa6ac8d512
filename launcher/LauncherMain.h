#pragma once

#include <cstdint>

class IStartupWindows;

// The launcher's entry, called by wWinMain with its command line and the program's windows:
//   - no AppId: the start-up error box, then exit code 1 (nothing reported);
//   - the game's data unusable (its data folder or skin\LoginWindowEx.xml missing, or no login
//     window could be made from the skin): report 219 with code -6, the error box, then the end
//     with exit code 2 once the report is written;
//   - another process holds the game's login mutex "OmbrelLauncherLoginEventHandler_<AppId>":
//     report 219 with code -4 ("another instance running"), exit code -4;
//   - otherwise: report 204 and open the login window; the message loop then runs until the
//     reporter's end request, whose code is the exit code.
int LauncherMain(const wchar_t* commandLine, IStartupWindows& windows);

constexpr int kLauncherExitNoAppId = 1;
constexpr int kLauncherExitGameDataUnusable = 2;
constexpr int kLauncherExitAnotherInstance = -4;
// Step 219's code when the game's data cannot carry a login window.
constexpr int32_t kLauncherReportGameDataUnusable = -6;

// The start-up error texts.
inline constexpr wchar_t kLauncherTextBadParameters[] = L"启动参数错误，请从游戏平台重新启动。";
inline constexpr wchar_t kLauncherTextGameDataUnusable[] = L"游戏数据不完整，请重新安装或修复游戏。";
