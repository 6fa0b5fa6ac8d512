#include <windows.h>

#include "launcher/GdiplusSession.h"
#include "launcher/LauncherMain.h"
#include "login/windows/StartupWindows.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    // Static, made before the login handler: at exit they end after the handler has deleted a
    // login dialog still open (its background picture and browser need them until then).
    static const GdiplusSession gdiplus;
    CStartupWindows windows;
    return LauncherMain(commandLine, windows);
}
