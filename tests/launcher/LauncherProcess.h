#pragma once
// The built launcher as a process of its own, for tests of the whole program (and the start-up
// benchmark): started with a command line, waited for, and found by its windows; and the sample
// work dir of the source tree, copied where a test wants it.
//
//   LauncherProcess launcher(L"AppId=1001 \"WorkDir=...\"");
//   HWND dialog = launcher.WaitForWindow(L"LoginDlg", 10000);
//   EXPECT_EQ(launcher.Wait(15000), 0);
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <functional>
#include <string>

#include "foundation/Folders.h"
#include "foundation/UniqueHandle.h"

namespace e2e {

// How long the program may take to reach the state that a test waits for (a window shown, a page
// painted, an answer reported, the program ended). Generous, as a loaded machine can keep the
// program from running for seconds; the waits end as soon as the state is there.
constexpr DWORD kUiBoundMs = 30000;

// Polls until done() holds or the time is up, without pumping messages.
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
        const std::wstring name = entry.cFileName, source = from + L"\\" + name, target = to + L"\\" + name;
        if (name == L"." || name == L"..")
            continue;
        ok = ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CopyTree(source, target)
                                                                  : ::CopyFileW(source.c_str(), target.c_str(), FALSE)) &&
             ok;
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return ok;
}

// The source tree: OMBREL_SOURCE_DIR as the test runner sets it (a Unix path, made a Windows
// one), else the folder above the build tree that holds this program (<source>\<build>\<folder>\).
inline std::wstring SourceDir()
{
    char value[1024] = {};
    if (::GetEnvironmentVariableA("OMBREL_SOURCE_DIR", value, sizeof(value)) == 0)
        return ModuleFolder() + L"..\\..";
    std::wstring path(value, value + std::strlen(value));
    for (wchar_t& ch : path)
        if (ch == L'/')
            ch = L'\\';
    return path.size() > 1 && path[1] == L':' ? path : L"Z:" + path;
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
    // A launcher still running is killed, and waited for: the kill only starts its end, and the
    // next test's launcher for the same game would otherwise meet this one's instance lock and
    // end at once as a second instance.
    ~LauncherProcess()
    {
        if (!Running())
            return;
        ::TerminateProcess(process_.Get(), 99);
        ::WaitForSingleObject(process_.Get(), e2e::kUiBoundMs);
    }
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    bool Started() const { return process_.IsValid(); }
    DWORD Id() const { return id_; }
    // Ends the process at once, wherever it is (as a kill from outside would).
    void Kill(UINT code) const { ::TerminateProcess(process_.Get(), code); }
    bool Running() const { return Started() && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

    // The exit code, or -1000 when the process has not ended within the time.
    long Wait(DWORD timeoutMs) const
    {
        DWORD code = 0;
        if (!Started() || ::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
            return -1000;
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
