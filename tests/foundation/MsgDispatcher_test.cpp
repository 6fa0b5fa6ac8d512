#include "foundation/MsgDispatcher.h"
#include "foundation/UniqueHandle.h"
#include "kit/Pump.h"
#include "kit/TimeBound.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

using mjz::MsgDispatcher;

class Owner : public MsgDispatcher {};

TEST(MsgDispatcher, TaskWindowIsAMessageOnlyWindowOfClassMessage)
{
    const HWND window = MsgDispatcher::MessageWindow();
    ASSERT_NE(window, nullptr);  // made at program start
    EXPECT_TRUE(MsgDispatcher::InitOnUiThread());
    EXPECT_EQ(MsgDispatcher::MessageWindow(), window);  // idempotent
    wchar_t cls[32] = {};
    ::GetClassNameW(window, cls, 32);
    EXPECT_STREQ(cls, L"Message");
    EXPECT_EQ(::GetWindowThreadProcessId(window, nullptr), ::GetCurrentThreadId());
    EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Message", nullptr), window);
}

TEST(MsgDispatcher, TasksPostedFromOtherThreadsRunOnTheUiThread)
{
    Owner owner;
    std::atomic<int> ran{0};
    std::atomic<int> wrongThread{0};
    const DWORD ui = ::GetCurrentThreadId();
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                owner.PostTask([&] {
                    if (::GetCurrentThreadId() != ui)
                        ++wrongThread;
                    ++ran;
                }, i % 3 == 0 ? 15 : 0);
            }
        });
    }
    for (auto& p : posters)
        p.join();
    ASSERT_TRUE(kit::PumpUntil([&] { return ran == 100; }, 3000)) << ran;
    EXPECT_EQ(wrongThread, 0);
}

// Tasks run on the UI thread by due time, those due together in the order they were posted,
// never before their delay and never inside PostTask.
TEST(MsgDispatcher, TasksRunInDueOrderAndNeverEarly)
{
    Owner owner;
    const unsigned delays[] = {150, 0, 40, 90, 0, 15, 0};
    std::vector<int> order;
    std::vector<double> early;
    int wrongThread = 0;
    const DWORD ui = ::GetCurrentThreadId();
    const double posted = kit::NowMs();
    for (int i = 0; i < 7; ++i) {
        EXPECT_NE(owner.PostTask([&, i] {
            const double elapsed = kit::NowMs() - posted;
            if (elapsed < delays[i])
                early.push_back(elapsed);
            wrongThread += ::GetCurrentThreadId() != ui;
            order.push_back(i);
        }, delays[i]), 0u);
    }
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(kit::PumpUntil([&] { return order.size() == 7; }, 3000));
    EXPECT_TRUE(early.empty()) << "a task ran after " << early.front() << " ms";
    EXPECT_EQ(order, (std::vector<int>{1, 4, 6, 5, 2, 3, 0}));
    EXPECT_EQ(wrongThread, 0);
}

TEST(MsgDispatcher, RepeatCounts)
{
    Owner owner;
    std::vector<double> times;
    const double posted = kit::NowMs();
    owner.PostTask([&] { times.push_back(kit::NowMs()); }, 30, 3);
    int immediate = 0;
    owner.PostTask([&] { ++immediate; }, 0, 4);
    int forever = 0;
    mjz::TaskId foreverId = 0;
    foreverId = owner.PostTask([&] {
        if (++forever == 6)
            owner.CancelTask(foreverId);  // from inside its own run
    }, 10, 0);

    ASSERT_TRUE(kit::PumpUntil([&] { return times.size() == 3 && immediate == 4 && forever == 6; }, 3000));
    kit::Pump(200);  // nothing more comes
    EXPECT_EQ(times.size(), 3u);
    EXPECT_EQ(immediate, 4);
    EXPECT_EQ(forever, 6);
    // Each run is due a whole delay after the start of the one before it. The start is taken just
    // before the callback runs, so a callback seen late (a busy machine) may be followed sooner by
    // the next; what always holds is that run k comes at least (k + 1) delays after the post.
    for (size_t i = 0; i < times.size(); ++i)
        EXPECT_GE(times[i] - posted, 30.0 * static_cast<double>(i + 1)) << "run " << i;
}

// Cancelled tasks, tasks of another owner's cancel-all, and tasks of destroyed owners never run.
TEST(MsgDispatcher, CancelledTasksAndTasksOfDestroyedOwnersNeverRun)
{
    int ran = 0;
    Owner owner;
    Owner other;
    const mjz::TaskId now = owner.PostTask([&] { ran += 1; });
    const mjz::TaskId later = owner.PostTask([&] { ran += 10; }, 30);
    const mjz::TaskId kept = owner.PostTask([&] { ran += 100; }, 30);
    owner.CancelTask(now);
    owner.CancelTask(later);
    other.CancelTask(kept);  // not its task: no effect
    other.PostTask([&] { ran += 1000; }, 20, 0);
    other.CancelAllTasks();
    {
        Owner gone;
        gone.PostTask([&] { ran += 1000; });
        gone.PostTask([&] { ran += 1000; }, 20);
        gone.PostTask([&] { ran += 1000; }, 10, 0);
    }
    // Posted from another thread; the owner goes before the UI thread looks.
    auto fromThread = std::make_unique<Owner>();
    std::thread poster([&] {
        fromThread->PostTask([&] { ran += 1000; });
        fromThread->PostTask([&] { ran += 1000; }, 5);
    });
    poster.join();
    fromThread.reset();

    // A task that destroys its own owner: the rest of its repeats never come.
    auto selfDestroying = std::make_unique<Owner>();
    int selfRuns = 0;
    selfDestroying->PostTask([&] {
        ++selfRuns;
        selfDestroying.reset();
    }, 10, 5);

    kit::Pump(300);
    EXPECT_EQ(ran, 100);
    EXPECT_EQ(selfRuns, 1);
}

// An owner destroyed on another thread while its task runs on the UI thread
// waits for that run to end.
TEST(MsgDispatcher, DestroyingOnAnotherThreadWaitsForARunningTask)
{
    auto owner = std::make_unique<Owner>();
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> finishedSeenByDestroyer{false};
    mjz::UniqueHandle goOn(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    owner->PostTask([&] {
        started = true;
        ::WaitForSingleObject(goOn.Get(), 150);  // the task's work
        finished = true;
    });
    std::thread destroyer([&] {
        while (!started)
            ::SwitchToThread();
        owner.reset();
        finishedSeenByDestroyer = finished.load();
    });
    ASSERT_TRUE(kit::PumpUntil([&] { return finished.load(); }, 2000));
    destroyer.join();
    EXPECT_TRUE(finishedSeenByDestroyer);
}

// Workers run off the UI thread, at most 64 at once, and the owner's destructor waits for all.
TEST(MsgDispatcher, WorkersRunOffTheUiThreadAtMost64AtOnceAndAreJoined)
{
    std::atomic<int> running{0};
    std::atomic<int> peak{0};
    std::atomic<int> done{0};
    std::atomic<int> onUiThread{0};
    const DWORD ui = ::GetCurrentThreadId();
    {
        Owner owner;
        for (int i = 0; i < 90; ++i) {
            owner.RunOnWorker([&] {
                onUiThread += ::GetCurrentThreadId() == ui ? 1 : 0;
                const int now = ++running;
                int seen = peak;
                while (now > seen && !peak.compare_exchange_weak(seen, now)) {
                }
                mjz::UniqueHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
                ::WaitForSingleObject(never.Get(), 40);
                --running;
                ++done;
            });
        }
        EXPECT_LT(done, 90);  // still running
    }
    EXPECT_EQ(done, 90);  // the destructor waited
    EXPECT_EQ(onUiThread, 0);
    EXPECT_LE(peak, 64);
    EXPECT_GT(peak, 1);
    kit::Pump(50);  // finished-worker reports arrive for an owner long gone
}

}  // namespace
