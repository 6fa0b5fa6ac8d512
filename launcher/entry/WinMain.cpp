#include <windows.h>

#include "launcher/GdiplusSession.h"
#include "launcher/LauncherMain.h"
#include "login/OmbrelLauncherLoginEventHandler.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    // Static, made before the login handler: at exit they end after the handler has deleted a
    // login dialog still open (its background picture and browser need them until then).
    static const GdiplusSession gdiplus;
    return LauncherMain(commandLine, [] { OmbrelLauncherLoginEventHandler::GetInstance().Login(); });
}
