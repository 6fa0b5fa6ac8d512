#include "foundation/MsgDispatcher.h"

#include "foundation/CriticalSection.h"
#include "foundation/UniqueHandle.h"

#include <process.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace mjz {
namespace {

constexpr UINT kRunTaskMessage = WM_USER + 100;
constexpr UINT kWorkerDoneMessage = WM_USER + 103;
constexpr size_t kMaxWorkers = 64;
constexpr wchar_t kWindowClass[] = L"Message";

struct Task {
    unsigned owner;
    std::shared_ptr<std::function<void()>> fn;  // shared so a run can copy it cheaply
    unsigned delayMs;
    unsigned remaining;  // runs left; 0 = until cancelled
    LONGLONG due;        // performance-counter time of the next run
};

struct Worker {
    unsigned owner;
    DWORD threadId = 0;
    UniqueHandle thread;
    bool finished = false;
};

// Everything the dispatcher shares between threads, guarded by one lock.
// A function-local static: built before the first owner, destroyed after the last.
struct DispatcherState {
    CriticalSection lock;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;  // a worker or task run ended
    HWND window = nullptr;
    DWORD uiThread = 0;
    LONGLONG ticksPerSecond = 1;

    std::set<unsigned> owners;            // live owners
    std::map<TaskId, Task> tasks;
    std::multiset<unsigned> runningOwners; // owners whose task runs now (nested runs possible)
    std::vector<Worker> workers;
    size_t activeWorkers = 0;             // started and not yet finished
    TaskId nextTask = 1;
    unsigned nextOwner = 1;

    DispatcherState()
    {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        ticksPerSecond = f.QuadPart > 0 ? f.QuadPart : 1;
    }
    ~DispatcherState()
    {
        if (window && ::GetCurrentThreadId() == uiThread)
            ::DestroyWindow(window);
    }
    DispatcherState(const DispatcherState&) = delete;
    DispatcherState& operator=(const DispatcherState&) = delete;
};

DispatcherState& State()
{
    static DispatcherState state;
    return state;
}

LONGLONG Now()
{
    LARGE_INTEGER t{};
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

LONGLONG MsToTicks(unsigned ms)
{
    return static_cast<LONGLONG>(ms) * State().ticksPerSecond / 1000;
}

// Milliseconds until `due`, rounded up so that a timer never fires early.
UINT MsUntil(LONGLONG due, LONGLONG now)
{
    const LONGLONG ticks = due - now;
    const LONGLONG perSecond = State().ticksPerSecond;
    const LONGLONG ms = (ticks * 1000 + perSecond - 1) / perSecond;
    return static_cast<UINT>(std::clamp<LONGLONG>(ms, 1, 0x7FFFFFFF));
}

// Runs one due task. Called on the UI thread with the lock held through `guard`;
// the callback itself runs outside the lock.
void RunDueTask(DispatcherState& s, std::map<TaskId, Task>::iterator it)
{
    const TaskId id = it->first;
    Task& task = it->second;
    const unsigned owner = task.owner;
    auto fn = task.fn;
    bool postAgain = false;
    if (task.remaining == 1) {
        s.tasks.erase(it);
    } else {
        if (task.remaining > 1)
            --task.remaining;
        // The next run counts from now, so a late run does not bunch the following ones.
        const LONGLONG now = Now();
        task.due = now + MsToTicks(task.delayMs);
        if (task.delayMs == 0)
            postAgain = true;
        else
            ::SetTimer(s.window, id, MsUntil(task.due, now), nullptr);
    }
    if (postAgain)
        ::PostMessageW(s.window, kRunTaskMessage, id, 0);

    // Marks the owner as running for the length of the call, the lock released;
    // the marks are undone even if the callback throws.
    struct RunningMark {
        DispatcherState& s;
        std::multiset<unsigned>::iterator mark;
        RunningMark(DispatcherState& state, unsigned owner) : s(state), mark(state.runningOwners.insert(owner))
        {
            s.lock.Unlock();
        }
        ~RunningMark()
        {
            s.lock.Lock();
            s.runningOwners.erase(mark);
            ::WakeAllConditionVariable(&s.changed);
        }
        RunningMark(const RunningMark&) = delete;
        RunningMark& operator=(const RunningMark&) = delete;
    } running(s, owner);
    (*fn)();  // may cancel tasks, destroy owners or pump messages
}

// WM_USER+100: run the task now or start its delay.
void OnRunTask(TaskId id)
{
    DispatcherState& s = State();
    CriticalSectionLock guard(s.lock);
    const auto it = s.tasks.find(id);
    if (it == s.tasks.end())
        return;  // cancelled meanwhile
    const LONGLONG now = Now();
    if (now >= it->second.due)
        RunDueTask(s, it);
    else
        ::SetTimer(s.window, id, MsUntil(it->second.due, now), nullptr);
}

// WM_TIMER: the task's delay has passed (timers are one-shot here).
void OnTimer(TaskId id)
{
    DispatcherState& s = State();
    ::KillTimer(s.window, id);
    CriticalSectionLock guard(s.lock);
    const auto it = s.tasks.find(id);
    if (it == s.tasks.end())
        return;
    const LONGLONG now = Now();
    if (now >= it->second.due)
        RunDueTask(s, it);
    else
        ::SetTimer(s.window, id, MsUntil(it->second.due, now), nullptr);
}

// WM_USER+103: join the workers that have finished.
void ReapWorkers()
{
    DispatcherState& s = State();
    std::vector<Worker> done;
    {
        CriticalSectionLock guard(s.lock);
        auto finished = std::stable_partition(s.workers.begin(), s.workers.end(),
                                              [](const Worker& w) { return !w.finished; });
        std::move(finished, s.workers.end(), std::back_inserter(done));
        s.workers.erase(finished, s.workers.end());
    }
    for (const Worker& w : done)
        ::WaitForSingleObject(w.thread.Get(), INFINITE);  // past its last statement already
}

LRESULT CALLBACK TaskWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kRunTaskMessage:
        OnRunTask(static_cast<TaskId>(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<TaskId>(wParam));
        return 0;
    case kWorkerDoneMessage:
        ReapWorkers();
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

struct WorkerStart {
    std::function<void()> fn;
};

unsigned __stdcall WorkerMain(void* arg)
{
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(arg));
    start->fn();
    start.reset();  // the job's captures go before the owner is told

    DispatcherState& s = State();
    HWND window;
    {
        CriticalSectionLock guard(s.lock);
        const DWORD self = ::GetCurrentThreadId();
        for (Worker& w : s.workers) {
            if (w.threadId == self)
                w.finished = true;
        }
        --s.activeWorkers;
        ::WakeAllConditionVariable(&s.changed);
        window = s.window;
    }
    if (window)
        ::PostMessageW(window, kWorkerDoneMessage, 0, 0);
    return 0;
}

// The task window is made while the program's globals are built, on the main thread.
[[maybe_unused]] const bool g_taskWindowReady = MsgDispatcher::InitOnUiThread();

}  // namespace

bool MsgDispatcher::InitOnUiThread()
{
    DispatcherState& s = State();
    {
        CriticalSectionLock guard(s.lock);
        if (s.window)
            return true;
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TaskWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window)
        return false;
    CriticalSectionLock guard(s.lock);
    if (s.window) {  // another thread won the race
        ::DestroyWindow(window);
        return true;
    }
    s.window = window;
    s.uiThread = ::GetCurrentThreadId();
    return true;
}

HWND MsgDispatcher::MessageWindow()
{
    DispatcherState& s = State();
    CriticalSectionLock guard(s.lock);
    return s.window;
}

MsgDispatcher::MsgDispatcher()
{
    // Globals that own tasks may be built before this file's start-up code.
    InitOnUiThread();
    DispatcherState& s = State();
    CriticalSectionLock guard(s.lock);
    ownerId_ = s.nextOwner++;
    s.owners.insert(ownerId_);
}

MsgDispatcher::~MsgDispatcher()
{
    DispatcherState& s = State();
    const bool onUiThread = ::GetCurrentThreadId() == s.uiThread;
    std::vector<Worker> mine;
    {
        CriticalSectionLock guard(s.lock);
        // From here on nothing new can be posted for this owner.
        s.owners.erase(ownerId_);
        for (auto it = s.tasks.begin(); it != s.tasks.end();) {
            if (it->second.owner == ownerId_) {
                if (onUiThread)
                    ::KillTimer(s.window, it->first);
                it = s.tasks.erase(it);  // a pending timer of another thread finds nothing
            } else {
                ++it;
            }
        }
        // A task of this owner that runs on the UI thread right now must end
        // before the owner goes; on the UI thread itself it is our caller.
        while (!onUiThread && s.runningOwners.count(ownerId_) > 0)
            ::SleepConditionVariableCS(&s.changed, s.lock.Native(), INFINITE);

        auto own = std::stable_partition(s.workers.begin(), s.workers.end(),
                                         [this](const Worker& w) { return w.owner != ownerId_; });
        std::move(own, s.workers.end(), std::back_inserter(mine));
        s.workers.erase(own, s.workers.end());
    }
    // Join outside the lock: the workers take it on their way out. A worker
    // that destroys its own owner cannot wait for itself.
    const DWORD self = ::GetCurrentThreadId();
    for (const Worker& w : mine) {
        if (w.threadId != self)
            ::WaitForSingleObject(w.thread.Get(), INFINITE);
    }
}

TaskId MsgDispatcher::PostTask(std::function<void()> fn, unsigned delayMs, unsigned repeat)
{
    if (!fn)
        return 0;
    DispatcherState& s = State();
    TaskId id;
    HWND window;
    {
        CriticalSectionLock guard(s.lock);
        if (!s.window || s.owners.count(ownerId_) == 0)
            return 0;
        id = s.nextTask++;
        if (s.nextTask == 0)
            s.nextTask = 1;  // 0 means "no task"
        s.tasks.emplace(id, Task{ownerId_, std::make_shared<std::function<void()>>(std::move(fn)), delayMs,
                                 repeat, Now() + MsToTicks(delayMs)});
        window = s.window;
    }
    if (!::PostMessageW(window, kRunTaskMessage, id, 0)) {
        CriticalSectionLock guard(s.lock);
        s.tasks.erase(id);
        return 0;
    }
    return id;
}

void MsgDispatcher::CancelTask(TaskId id)
{
    DispatcherState& s = State();
    CriticalSectionLock guard(s.lock);
    const auto it = s.tasks.find(id);
    if (it == s.tasks.end() || it->second.owner != ownerId_)
        return;
    s.tasks.erase(it);
    // Timers belong to the UI thread; elsewhere the timer finds no task and stops.
    if (::GetCurrentThreadId() == s.uiThread)
        ::KillTimer(s.window, id);
}

void MsgDispatcher::CancelAllTasks()
{
    DispatcherState& s = State();
    CriticalSectionLock guard(s.lock);
    const bool onUiThread = ::GetCurrentThreadId() == s.uiThread;
    for (auto it = s.tasks.begin(); it != s.tasks.end();) {
        if (it->second.owner == ownerId_) {
            if (onUiThread)
                ::KillTimer(s.window, it->first);
            it = s.tasks.erase(it);
        } else {
            ++it;
        }
    }
}

void MsgDispatcher::RunOnWorker(std::function<void()> fn)
{
    if (!fn)
        return;
    DispatcherState& s = State();
    auto start = std::make_unique<WorkerStart>();
    start->fn = std::move(fn);
    {
        CriticalSectionLock guard(s.lock);
        while (s.activeWorkers >= kMaxWorkers)
            ::SleepConditionVariableCS(&s.changed, s.lock.Native(), INFINITE);
        ++s.activeWorkers;
        // Started suspended so that the table knows the thread before it can finish.
        unsigned threadId = 0;
        const uintptr_t thread = _beginthreadex(nullptr, 0, &WorkerMain, start.get(), CREATE_SUSPENDED, &threadId);
        if (thread) {
            Worker w;
            w.owner = ownerId_;
            w.threadId = threadId;
            w.thread.Reset(reinterpret_cast<HANDLE>(thread));
            s.workers.push_back(std::move(w));
            ::ResumeThread(reinterpret_cast<HANDLE>(thread));
            start.release();  // the thread owns it now
            return;
        }
        --s.activeWorkers;
    }
    // No thread could be started: do the work here rather than lose it.
    start->fn();
}

}  // namespace mjz
