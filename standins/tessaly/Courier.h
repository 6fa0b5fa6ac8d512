#pragma once

#include <windows.h>

#include <functional>
#include <map>

namespace tessaly {

// Delivers the library's answers later, on the thread that registered the program: each job
// runs from a timer of a message-only window, never inside the call that scheduled it.
//
// The window also answers a probe for tests of the program's message loop: the registered
// message "TessalyProbe" posted to it sets the named event "TessalyProbe_<wParam>" once the
// thread has taken every message posted before it.
class Courier {
public:
    Courier();
    ~Courier();
    Courier(const Courier&) = delete;
    Courier& operator=(const Courier&) = delete;

    void Schedule(unsigned delayMs, std::function<void()> job);
    HWND Window() const { return window_; }
    static void UnregisterWindowClass();
    size_t PendingJobs() const { return jobs_.size(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::map<UINT_PTR, std::function<void()>> jobs_;
};

} // namespace tessaly
