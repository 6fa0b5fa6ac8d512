#pragma once
// Driving another process's windows as a user does, for tests of the whole program: real mouse
// and keyboard input through the system's input queue (SendInput), pixels read back from the
// screen, and screenshots saved to <build>\e2e-shots\.
//
// The program answers input when the machine lets it, so a test waits for what it can see (a
// pixel of the skin, the edit a click opened, the text typed into it), never for a fixed time:
//   e2e::Click(dialog, kButton);
//   ASSERT_TRUE(e2e::WaitForPixel(dialog, kOnNextPage, {kBlue}));
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/PngWriter.h"
#include "tests/launcher/LauncherProcess.h"

namespace e2e {

// One mouse event at the pointer's place, a little after the previous one.
inline void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::Sleep(45);
    ::SendInput(1, &input, sizeof(input));
}

enum class MouseButton { kLeft, kRight };

// Moves the pointer to a client point of the window and clicks a button there, `times` times
// in a row (2: a double click).
inline void Click(HWND window, POINT at, MouseButton button = MouseButton::kLeft, int times = 1)
{
    const bool left = button == MouseButton::kLeft;
    ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x, at.y);
    for (int i = 0; i < times; ++i) {
        SendMouse(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN);
        SendMouse(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP);
    }
    ::Sleep(150);
}

// Moves the pointer to a client point of the window (a screen point without a window), as the
// mouse does: the window under it sees the move.
inline void MoveTo(HWND window, POINT at)
{
    if (window != nullptr)
        ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x, at.y);
    SendMouse(MOUSEEVENTF_MOVE);
}

// Presses the left button at a client point of the window, moves the pointer by `by` in a few
// steps and lets the button go there.
inline void Drag(HWND window, POINT from, SIZE by)
{
    constexpr int kSteps = 4;
    ::ClientToScreen(window, &from);  // once: the window may follow the pointer
    MoveTo(nullptr, from);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= kSteps; ++i)
        MoveTo(nullptr, POINT{from.x + by.cx * i / kSteps, from.y + by.cy * i / kSteps});
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(150);
}

// Moves the pointer to a client point of the window and turns the wheel by notches (negative:
// towards the user, as to read further down).
inline void Wheel(HWND window, POINT at, int notches)
{
    ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA);
    for (int i = 0; i < std::abs(notches); ++i) {
        ::Sleep(45);
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

// Waits until the screen shows one of the colours at the window's client point.
inline bool WaitForPixel(HWND window, POINT at, std::initializer_list<uint32_t> colours, DWORD timeoutMs = kUiBoundMs)
{
    return WaitUntil([&] { return std::find(colours.begin(), colours.end(), ScreenPixel(window, at)) != colours.end(); },
                     timeoutMs);
}

// Waits until the window has painted all that it asked to have painted (no update region left):
// a paint waits behind the program's posted messages and input.
inline bool WaitPainted(HWND window, DWORD timeoutMs = kUiBoundMs)
{
    return WaitUntil([&] { return !::GetUpdateRect(window, nullptr, FALSE); }, timeoutMs);
}

// The window's text, read across processes; empty when it does not answer.
inline std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied))
        return {};
    return text;
}

// The window that has the keyboard focus of the window's thread; null when that thread does not
// have the foreground, so that keys typed now would go elsewhere.
inline HWND KeyTarget(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!::GetGUIThreadInfo(thread, &info) || ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr) != thread)
        return nullptr;
    return info.hwndFocus;
}

// Clicks into the field at the client point and types the text once the window under the point
// (the native edit that the click opens there) takes the keys; then waits until it holds the text.
inline ::testing::AssertionResult Fill(HWND window, POINT at, const std::wstring& text)
{
    Click(window, at);
    POINT screen = at;
    ::ClientToScreen(window, &screen);
    HWND edit = nullptr;
    const bool opened = WaitUntil([&] {
        edit = KeyTarget(window);
        RECT rc = {};
        return edit != nullptr && edit != window && ::GetWindowRect(edit, &rc) && ::PtInRect(&rc, screen);
    }, kUiBoundMs);
    if (!opened) {
        wchar_t cls[64] = L"none: the program has not the foreground";
        if (edit != nullptr)
            ::GetClassNameW(edit, cls, 64);
        return ::testing::AssertionFailure() << "no edit under " << at.x << "," << at.y
                                             << " takes the keys; the focus: " << std::wstring(cls);
    }
    Type(text);
    if (!WaitUntil([&] { return TextOf(edit) == text; }, kUiBoundMs))
        return ::testing::AssertionFailure() << "the edit holds " << ::testing::PrintToString(TextOf(edit));
    return ::testing::AssertionSuccess();
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
