#pragma once

#include <windows.h>

// Loads a library without ever searching the current directory or the search path.
// A name that holds a backslash is loaded from exactly that path (CoLoadLibrary, auto-free).
// A bare file name of at most 259 characters is tried only in the program's own folder,
// then the system folder, then the Windows folder, stopping at the first that loads.
// Null when nothing loads.
HMODULE LoadLibraryFromSafeDirs(const wchar_t* name);
