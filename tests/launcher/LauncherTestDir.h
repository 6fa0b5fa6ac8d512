#pragma once
// A fresh launcher work dir per test that the launch parameters point at, its report log read
// back, and a message pump that stops at the quit message. Shared by the launcher and the
// sign-in tests. The built stand-ins lie beside the test programs (ModuleFolder()), the launcher
// one level up.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"

// Creates every folder of the path; a last part without a backslash counts as a folder too.
inline void MakeDirs(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\')
            ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
}

inline bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "step/code/text" of every report in the reporter's log file, in order (texts up to 63 bytes).
inline std::vector<std::string> ReportList(const std::wstring& logFile)
{
    std::vector<std::string> reports;
    std::istringstream lines(kit::ReadBytesFromFile(logFile));
    for (std::string line; std::getline(lines, line);) {
        int step = 0, code = 0;
        char text[64] = {};
        if (std::sscanf(line.c_str(), "{\"step\":%d,\"code\":%d,\"text\":\"%63[^\"]", &step, &code, text) >= 2)
            reports.push_back(std::to_string(step) + "/" + std::to_string(code) + "/" + text);
    }
    return reports;
}

class LauncherTestDir {
public:
    // appId 0 leaves the AppId out of the command line.
    explicit LauncherTestDir(uint32_t appId = 0, const std::wstring& moreArguments = L"")
        : path_(dir_.Path() + L"\\")
    {
        Point(appId, moreArguments);
    }

    // Points the launch parameters at this folder again, for another game.
    void Point(uint32_t appId, const std::wstring& moreArguments = L"") const
    {
        const std::wstring app = appId ? L"AppId=" + std::to_wstring(appId) + L" " : L"";
        LaunchParams::Instance().Load((app + moreArguments + L" \"WorkDir=" + dir_.Path() + L"\"").c_str());
    }

    // The folder, ending in a backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }
    void Write(const std::wstring& name, const std::string& bytes) const { kit::WriteBytesToFile(File(name), bytes); }
    std::string Read(const std::wstring& name) const { return kit::ReadBytesFromFile(File(name)); }

private:
    kit::TempDir dir_;
    std::wstring path_;
};

// Runs messages until done() holds, the quit message comes or the time is up. The quit
// message's code, else -1000.
inline int PumpUntilQuit(DWORD timeoutMs, const std::function<bool()>& done = [] { return false; })
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return -1000;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < timeoutMs);
    return -1000;
}
