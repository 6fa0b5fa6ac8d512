#pragma once
// Runs a piece of work that must finish within a time bound, for tests of inputs that once made
// the program hang. The work runs on the calling thread while a watchdog waits; when it is late,
// the test's process ends at once with a message naming the case (a thread stuck in a system
// call cannot be stopped, and a hang must fail the test rather than stall the run).
//
// The bound is the processor time the work's thread spends, not the time on the clock: that is
// what the work costs, and a loaded machine, which keeps the thread waiting for a processor, does
// not inflate it. Work that waits without using the processor (a deadlock) is ended when it has
// not finished kBlockedMs after its bound on the clock.
//
//   const double ms = kit::WithinTime(2000, "huge frame", [&] { Draw(...); });
//   EXPECT_LT(ms, 1000.0);
#include <functional>
#include <string>

namespace kit {

constexpr unsigned kBlockedMs = 30000;

// Milliseconds of processor time the work took; never returns when it takes more than boundMs.
double WithinTime(unsigned boundMs, const std::string& what, const std::function<void()>& work);

// Milliseconds since some fixed point, with the performance counter's resolution.
double NowMs();

} // namespace kit
