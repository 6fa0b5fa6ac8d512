#pragma once

#include <windows.h>

#include <functional>

namespace mjz {

using TaskId = unsigned int;

// Base of every object that owns posted tasks and worker threads. Tasks run on
// the UI thread (the thread that called InitOnUiThread) through a message-only
// window; they never run after their owner is destroyed. The first owner
// constructed initialises the UI thread when InitOnUiThread was not called.
class MsgDispatcher {
public:
    MsgDispatcher();            // registers as task owner
    virtual ~MsgDispatcher();   // cancels pending tasks, joins worker threads
    MsgDispatcher(const MsgDispatcher&) = delete;
    MsgDispatcher& operator=(const MsgDispatcher&) = delete;

    // Runs fn on the UI thread after delayMs (0 = at the next turn of the message loop),
    // `repeat` times in all (0 = until cancelled), delayMs apart. Callable from any thread.
    TaskId PostTask(std::function<void()> fn, unsigned delayMs = 0, unsigned repeat = 1);
    void CancelTask(TaskId id);
    void CancelAllTasks();
    // Runs fn on an owner-bound worker thread; the destructor waits for it.
    // At most 64 workers run at once; further calls wait for one to finish.
    void RunOnWorker(std::function<void()> fn);
    static bool InitOnUiThread();   // creates the message-only window of class "Message"; idempotent
    static HWND MessageWindow();

private:
    // Owners are told apart by a serial number, never by address, so a task
    // of a destroyed owner cannot be taken for one of a new owner at the same place.
    unsigned ownerId_;
};

}  // namespace mjz
