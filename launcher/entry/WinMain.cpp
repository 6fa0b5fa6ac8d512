#include <windows.h>

#include "launcher/LauncherMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    return LauncherMain(commandLine);
}
