#pragma once
// Runs a piece of work that must finish within a time bound, for tests of inputs that once made
// the program hang. The work runs on the calling thread while a watchdog waits; when it is late,
// the test's process ends at once with a message naming the case (a thread stuck in a system
// call cannot be stopped, and a hang must fail the test rather than stall the run).
//
//   const double ms = kit::WithinTime(2000, "huge frame", [&] { Draw(...); });
//   EXPECT_LT(ms, 1000.0);
#include <functional>
#include <string>

namespace kit {

// Milliseconds the work took; never returns when it takes longer than boundMs.
double WithinTime(unsigned boundMs, const std::string& what, const std::function<void()>& work);

// Milliseconds since some fixed point, with the performance counter's resolution.
double NowMs();

} // namespace kit
