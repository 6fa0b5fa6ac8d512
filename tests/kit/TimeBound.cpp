#include "kit/TimeBound.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

namespace {

// Processor time (user and kernel) the thread has used, in milliseconds.
double ThreadCpuMs(HANDLE thread)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

[[noreturn]] void EndRun(const std::string& message)
{
    std::fprintf(stderr, "\n%s\n", message.c_str());
    std::fflush(stderr);
    std::fflush(stdout);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    std::abort();
}

} // namespace

double WithinTime(unsigned boundMs, const std::string& what, const std::function<void()>& work)
{
    HANDLE self = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    const mjz::UniqueHandle thread(self);
    const mjz::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done || !thread)
        EndRun("WithinTime: no event or thread handle for \"" + what + "\"");
    // The work runs on the calling thread (windows and their text services belong to it); a
    // watchdog reads the thread's processor time and ends the process when the work is late.
    const double start = ThreadCpuMs(thread.Get());
    std::thread watchdog([&] {
        const double wallStart = NowMs();
        while (::WaitForSingleObject(done.Get(), 20) != WAIT_OBJECT_0) {
            if (ThreadCpuMs(thread.Get()) - start > boundMs)
                EndRun("FAILED: \"" + what + "\" did not finish within " + std::to_string(boundMs) + " ms");
            if (NowMs() - wallStart > static_cast<double>(boundMs) + kBlockedMs)
                EndRun("FAILED: \"" + what + "\" did not finish within " + std::to_string(boundMs + kBlockedMs) +
                       " ms on the clock");
        }
    });
    work();
    const double elapsed = ThreadCpuMs(thread.Get()) - start;
    ::SetEvent(done.Get());
    watchdog.join();
    return elapsed;
}

} // namespace kit
