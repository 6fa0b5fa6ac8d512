// Start-up of the launcher: the time from starting OmbrelLauncher.exe on a fresh copy of the
// sample work dir to its login dialog being on the screen and painted, against the time a program
// that only shows one window takes to the same point. Both are started the same way, by
// CreateProcess under the one running wineserver, and the median of several runs is compared.
//
//   wine build/bench/LoginStartupBench.exe [runs] [pause before each start, ms; default 500]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "kit/TempDir.h"
#include "tests/launcher/LauncherProcess.h"

namespace {

using bench::Median;

// The quiet pause before each program starts (see TimeToWindow).
DWORD g_settleMs = 500;

// Seconds from the start of the program to its window shown and painted (visible, update region
// empty); negative on failure. The poller keeps out of the program's way: it looks for the window
// every 5 ms (a walk over every window, which queues behind the program's own server calls) and
// then asks only that window, every millisecond.
double TimeToWindow(const std::wstring& exe, const std::wstring& arguments, const wchar_t* cls)
{
    // What just happened on the system (the previous program's windows and process going away,
    // the work dir being written) keeps Wine busy for a few hundred milliseconds, and a program
    // started meanwhile loads its libraries up to twice as slowly: each program starts after the
    // same quiet pause, so that a run compares the two programs and not their predecessors.
    ::Sleep(g_settleMs);
    const double start = bench::Seconds();
    LauncherProcess process(arguments, exe);
    if (!process.Started())
        return -1;
    HWND window = nullptr;
    double elapsed = -1;
    while (elapsed < 0 && process.Running() && bench::Seconds() - start < 20) {
        if (window == nullptr) {
            window = process.FindWindowOf(cls);
            if (window == nullptr) {
                ::Sleep(5);
                continue;
            }
        }
        if (::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE))
            elapsed = bench::Seconds() - start;
        else
            ::Sleep(1);
    }
    if (elapsed < 0 || !process.Running())
        return -1;
    // Closed as the user closes it, so that every run ends cleanly.
    ::PostMessageW(window, cls == std::wstring(L"LoginDlg") ? WM_USER + 100 : WM_CLOSE, 0, 0);
    process.Wait(10000);
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (argc > 2)
        g_settleMs = static_cast<DWORD>(std::max(0, std::atoi(argv[2])));
    const std::wstring build = ModuleFolder() + L"..\\";
    const std::wstring sample = e2e::SourceDir() + L"\\sample\\workdir";

    // A window of the bench's own keeps Wine's desktop process up for the whole run (it ends
    // when no program uses it any more): neither program then pays for starting it.
    HWND keeper = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

    // Each run starts both programs one after the other, so that a run's ratio compares them
    // under the same load; the median of the runs' ratios is the result.
    std::vector<double> launcher, baseline, ratios;
    for (int i = 0; i < runs; ++i) {
        kit::TempDir dir;
        e2e::CopyTree(sample, dir.Path());
        ::CopyFileW((build + L"standins\\Tessaly.dll").c_str(), (dir.Path() + L"\\NVSSO\\1.0\\Bin\\Tessaly.dll").c_str(), FALSE);
        const double a = TimeToWindow(build + L"OmbrelLauncher.exe",
                                      L"AppId=1001 ChannelId=1 \"WorkDir=" + dir.Path() + L"\"", L"LoginDlg");
        const double b = TimeToWindow(build + L"bench\\MinimalWindow.exe", L"", L"MinimalWindow");
        if (a < 0 || b < 0) {
            std::printf("run %d failed (launcher %.3f s, minimal %.3f s)\n", i + 1, a, b);
            return 1;
        }
        launcher.push_back(a);
        baseline.push_back(b);
        ratios.push_back(a / b);
        std::printf("run %d: launcher %.3f s, minimal window %.3f s, ratio %.2f\n", i + 1, a, b, a / b);
    }
    std::printf("median: launcher %.3f s, minimal window %.3f s, ratio %.2f (goal: at most 2)\n", Median(launcher),
                Median(baseline), Median(ratios));
    ::DestroyWindow(keeper);
    return 0;
}
