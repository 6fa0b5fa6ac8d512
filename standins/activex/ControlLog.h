#pragma once
// The library's record of every call its controls receive, and its reference counts.
#include <windows.h>

#include <string>

namespace testax {

void Log(const wchar_t* format, ...);

extern long g_objects;
extern long g_references;
// Host objects the live controls hold (in TestControl.cpp).
long HostReferences();

} // namespace testax
