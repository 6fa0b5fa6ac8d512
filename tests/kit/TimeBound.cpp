#include "kit/TimeBound.h"

#include <windows.h>

#include <cstdio>
#include <thread>

#include "foundation/UniqueHandle.h"

namespace kit {

double NowMs()
{
    static const double perMs = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / perMs;
}

double WithinTime(unsigned boundMs, const std::string& what, const std::function<void()>& work)
{
    const mjz::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        std::fprintf(stderr, "WithinTime: no event for \"%s\"\n", what.c_str());
        std::fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    }
    // The work runs on the calling thread (windows and their text services belong to it); a
    // watchdog ends the process when the work is late.
    std::thread watchdog([&] {
        if (::WaitForSingleObject(done.Get(), boundMs) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "\nFAILED: \"%s\" did not finish within %u ms\n", what.c_str(), boundMs);
            std::fflush(stderr);
            std::fflush(stdout);
            ::TerminateProcess(::GetCurrentProcess(), 3);
        }
    });
    const double start = NowMs();
    work();
    const double elapsed = NowMs() - start;
    ::SetEvent(done.Get());
    watchdog.join();
    return elapsed;
}

} // namespace kit
