#pragma once
// Driving another process's windows as a user does, for tests of the whole program: real mouse
// and keyboard input through the system's input queue (SendInput), pixels read back from the
// screen, and screenshots saved to <build>\e2e-shots\.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/PngWriter.h"

namespace e2e {

// Moves the pointer to a client point of the window and clicks the left button there.
inline void Click(HWND window, POINT at)
{
    ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        ::Sleep(45);
        input.mi.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }
    ::Sleep(150);
}

// Types the text as the keyboard would, character by character, into the focused window.
inline void Type(const std::wstring& text)
{
    for (wchar_t ch : text) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wScan = keys[1].ki.wScan = ch;
        keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        ::Sleep(25);
    }
    ::Sleep(100);
}

// A rectangle of the window's client area as the screen shows it.
inline std::unique_ptr<kit::DibCanvas> ScreenOf(HWND window, RECT rc)
{
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return kit::CaptureScreen(rc);
}

inline uint32_t ScreenPixel(HWND window, POINT at)
{
    return ScreenOf(window, RECT{at.x, at.y, at.x + 1, at.y + 1})->Pixel(0, 0);
}

// The window as the screen shows it, saved as <build>\e2e-shots\<name>; false when not saved.
inline bool Shot(HWND window, const wchar_t* name)
{
    RECT rc = {};
    ::GetWindowRect(window, &rc);
    const auto shot = kit::CaptureScreen(rc);
    std::vector<uint32_t> pixels(shot->Bits(), shot->Bits() + shot->Width() * shot->Height());
    for (uint32_t& px : pixels) px |= 0xFF000000u;
    const std::wstring folder = ModuleFolder() + L"..\\e2e-shots\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return kit::WriteBytesToFile(folder + name, kit::EncodePng(shot->Width(), shot->Height(), pixels));
}

} // namespace e2e
