// A library without DllGetClassObject, installed in the single-sign-on library's place by the
// tests of a broken installation.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
