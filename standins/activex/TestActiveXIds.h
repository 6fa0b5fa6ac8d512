#pragma once
// The test ActiveX library "OmbrelTestActiveX.dll": its class ids and the exports through which
// tests read what happened. Shared by the library and its tests.
#include <windows.h>

// A windowless control; the same asking for its client site first; a windowed control.
constexpr CLSID kTestWindowlessClsid = {0x7e57a001, 0x0b1e, 0x4c7a, {0x9e, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
constexpr CLSID kTestSiteFirstClsid = {0x7e57a002, 0x0b1e, 0x4c7a, {0x9e, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};
constexpr CLSID kTestWindowedClsid = {0x7e57a003, 0x0b1e, 0x4c7a, {0x9e, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};

// A windowless control draws its left half in this colour and its right half in the other; only
// the left half takes the mouse.
constexpr COLORREF kTestHitColor = RGB(0, 0, 255);
constexpr COLORREF kTestMissColor = RGB(0, 160, 0);

constexpr wchar_t kTestActiveXFile[] = L"OmbrelTestActiveX.dll";
constexpr wchar_t kTestActiveXWindowClass[] = L"OmbrelTestActiveXWindow";

// Exports (cdecl):
//   const wchar_t* TestActiveXLog()     every call so far, one line each; valid until the next call
//   void TestActiveXClearLog()
//   long TestActiveXObjects()           live control objects
//   long TestActiveXReferences()        references held on them
//   long TestActiveXHostReferences()    host objects (sites, frames) the controls hold
using TestActiveXLogFn = const wchar_t* (*)();
using TestActiveXClearLogFn = void (*)();
using TestActiveXCountFn = long (*)();
