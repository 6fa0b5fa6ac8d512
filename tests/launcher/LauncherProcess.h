#pragma once
// The built launcher as a process of its own, for tests of the whole program: started with a
// command line, found by its windows, driven with real input (SendInput goes through the
// system's input queue, like a user's mouse and keyboard), and seen through screenshots.
//
//   LauncherProcess launcher(L"AppId=1001 \"WorkDir=...\"");
//   HWND dialog = launcher.WaitForWindow(L"LoginDlg", 10000);
//   e2e::Click(e2e::At(dialog, {225, 207}));
//   EXPECT_EQ(launcher.Wait(15000), 0);
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "foundation/UniqueHandle.h"
#include "kit/FileBytes.h"
#include "kit/PngWriter.h"

namespace e2e {

// Polls until done() holds or the time is up (the test process has no windows to pump).
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
}

// A point of a window's client area on the screen.
inline POINT At(HWND window, POINT client)
{
    ::ClientToScreen(window, &client);
    return client;
}

inline void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// Moves the pointer there and clicks the left button.
inline void Click(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(30);
    SendMouse(MOUSEEVENTF_LEFTUP);
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

// The screen's pixels in a rectangle, 0xAARRGGBB (alpha 255), row by row.
inline std::vector<uint32_t> Grab(const RECT& rc)
{
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
        ::SelectObject(memory, old);
        const auto* src = static_cast<const uint32_t*>(bits);
        pixels.assign(src, src + static_cast<size_t>(width) * height);
        for (uint32_t& px : pixels)
            px |= 0xFF000000u;
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// 0xRRGGBB of one screen pixel.
inline uint32_t ScreenPixel(POINT pt)
{
    const std::vector<uint32_t> px = Grab(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
    return px.empty() ? 0xDEADBEEF : (px[0] & 0xFFFFFFu);
}

// Saves the screen's rectangle as a PNG; the path, or empty on failure.
inline bool SaveScreenshot(const RECT& rc, const std::wstring& path)
{
    const std::vector<uint32_t> px = Grab(rc);
    return !px.empty() && kit::WriteBytesToFile(path, kit::EncodePng(rc.right - rc.left, rc.bottom - rc.top, px));
}

// Where end-to-end screenshots go: <build>\e2e-shots\ (created).
inline std::wstring ShotFolder()
{
    const std::wstring folder = ModuleFolder() + L"..\\e2e-shots\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Copies a folder's files and folders into another folder (created), recursively.
inline bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return ok;
}

// A Unix path from the test's environment (e.g. OMBREL_SOURCE_DIR) as a Windows path.
inline std::wstring EnvPath(const char* name)
{
    char value[1024] = {};
    if (::GetEnvironmentVariableA(name, value, sizeof(value)) == 0)
        return L"";
    std::wstring path(value, value + std::strlen(value));
    for (wchar_t& ch : path)
        if (ch == L'/')
            ch = L'\\';
    return path.size() > 1 && path[1] == L':' ? path : L"Z:" + path;
}

// The source tree: OMBREL_SOURCE_DIR as the test runner sets it, else the folder above the build
// tree that holds this program (<source>\<build>\<folder>\program.exe).
inline std::wstring SourceDir()
{
    const std::wstring fromEnvironment = EnvPath("OMBREL_SOURCE_DIR");
    return !fromEnvironment.empty() ? fromEnvironment : ModuleFolder() + L"..\\..";
}

} // namespace e2e

class LauncherProcess {
public:
    // `exe`: the program to run; the built launcher when empty.
    explicit LauncherProcess(const std::wstring& arguments, std::wstring exe = {})
    {
        if (exe.empty())
            exe = ModuleFolder() + L"..\\OmbrelLauncher.exe";
        std::wstring cmd = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            process_.Reset(pi.hProcess);
            thread_.Reset(pi.hThread);
            id_ = pi.dwProcessId;
        }
    }
    ~LauncherProcess()
    {
        if (Running())
            ::TerminateProcess(process_.Get(), 99);
    }
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    bool Started() const { return process_.IsValid(); }
    DWORD Id() const { return id_; }
    bool Running() const { return Started() && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

    // The exit code, or -1000 when the process has not ended within the time.
    long Wait(DWORD timeoutMs) const
    {
        if (!Started() || ::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
            return -1000;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.Get(), &code);
        return static_cast<long>(code);
    }

    // A visible top-level window of this process with that class; null when there is none.
    HWND FindWindowOf(const wchar_t* cls) const
    {
        WindowSearch search = {id_, cls, nullptr};
        ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND WaitForWindow(const wchar_t* cls, DWORD timeoutMs) const
    {
        HWND found = nullptr;
        e2e::WaitUntil([&] { return (found = FindWindowOf(cls)) != nullptr || !Running(); }, timeoutMs);
        return found;
    }

    // The thread that owns the window (the launcher's UI thread).
    static DWORD ThreadOf(HWND window) { return ::GetWindowThreadProcessId(window, nullptr); }

private:
    struct WindowSearch {
        DWORD id;
        const wchar_t* cls;
        HWND found;
    };
    static BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM data)
    {
        auto* search = reinterpret_cast<WindowSearch*>(data);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        wchar_t name[128] = {};
        ::GetClassNameW(hWnd, name, 128);
        if (pid != search->id || !::IsWindowVisible(hWnd) || std::wcscmp(name, search->cls) != 0)
            return TRUE;
        search->found = hWnd;
        return FALSE;
    }

    mjz::UniqueHandle process_;
    mjz::UniqueHandle thread_;
    DWORD id_ = 0;
};
