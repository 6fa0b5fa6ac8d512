#pragma once
#include <windows.h>

namespace SkinUI {

// The common controls library (comctl32.dll), loaded on first need instead of with the program:
// only tooltips and the hot-key field use it, and mapping it at start-up delays the first window.
class CCommonControls {
public:
    // Loads the library once (kept for the life of the process) and registers the window classes
    // of `classes` (ICC_* flags) with InitCommonControlsEx. False when the library or the entry
    // point is missing, or the classes could not be registered.
    static bool Init(DWORD classes);
    // The library's major version (DllGetVersion), loading it when needed; 0 when it tells none.
    static DWORD MajorVersion();
};

} // namespace SkinUI
