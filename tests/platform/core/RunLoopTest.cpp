#include "platform/core/RunLoop.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using core::Clock;
using core::RunLoop;

TEST(RunLoopTest, PostedWorkRunsOnTheNextTurnInFifoOrderFromAnyThread)
{
    auto& loop = RunLoop::main();
    std::vector<int> ran;
    loop.post([&] {
        ran.push_back(1);
        loop.post([&] { ran.push_back(4); });   // next turn, after what is already queued
    });
    loop.post([&] { ran.push_back(2); });
    loop.post([&] { ran.push_back(3); });
    EXPECT_TRUE(ran.empty()) << "post never runs inside the call";
    loop.processPending();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    loop.processPending();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));

    // From other threads: on the main thread, each thread's items in the order it posted them.
    const auto mainThread = std::this_thread::get_id();
    std::vector<int> last(4, -1);
    std::atomic<int> done = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                loop.post([&, t, i] {
                    EXPECT_EQ(std::this_thread::get_id(), mainThread);
                    EXPECT_EQ(i, ++last[t]);
                    ++done;
                });
        });
    for (auto& th : threads)
        th.join();
    EXPECT_TRUE(loop.runUntil([&] { return done == 800; }, 10));
}

// Each task runs at its own due time, ties in scheduling order, and work that tasks post or
// schedule joins the same advance in time order.
TEST(RunLoopTest, RunsInDueOrderAtEachTasksOwnTime)
{
    core::ManualClock clock;
    auto& loop = RunLoop::main();
    using Ran = std::vector<std::pair<std::string, double>>;
    Ran ran;
    auto record = [&](const char* name) { return [&, name] { ran.push_back({name, Clock::now()}); }; };
    loop.schedule(0.3, record("c"));
    loop.schedule(0.1, record("a"));
    loop.schedule(0.2, record("b1"));
    loop.schedule(0.2, record("b2"));
    loop.schedule(1.0, [&] {
        record("d")();
        loop.post(record("d-posted"));
        loop.schedule(0.5, [&] {
            record("f")();
            loop.schedule(0, record("g"));
        });
    });
    loop.schedule(1.2, record("e"));
    const auto cancelled = loop.schedule(0.15, record("cancelled"));
    loop.cancel(cancelled);
    loop.cancel(cancelled);   // twice is harmless

    clock.advance(0.25);
    EXPECT_EQ(ran, (Ran{{"a", 0.1}, {"b1", 0.2}, {"b2", 0.2}}));
    clock.advance(0.05);
    EXPECT_EQ(ran.back().first, "c") << "exactly reaching a due time runs the task";
    clock.advance(1.7);
    EXPECT_EQ(ran, (Ran{{"a", 0.1}, {"b1", 0.2}, {"b2", 0.2}, {"c", 0.3}, {"d", 1.0}, {"d-posted", 1.0}, {"e", 1.2},
                        {"f", 1.5}, {"g", 1.5}}));
    EXPECT_EQ(loop.scheduledCount(), 0u);
}

// On the steady clock tasks wake Qt's loop, never early, and a zero-delay chain lets other
// events in between its steps.
TEST(RunLoopTest, OnTheSteadyClockTasksWakeQtsLoopWithoutStarvingIt)
{
    auto& loop = RunLoop::main();
    const double start = Clock::now();
    loop.schedule(0.05, [&] { loop.quit(int(1000 * (Clock::now() - start))); });
    EXPECT_GE(loop.run(), 50);

    int chain = 0;
    std::function<void()> step = [&] {
        if (++chain < 1000)
            loop.schedule(0, step);
    };
    loop.schedule(0, step);
    bool qtEvent = false;
    QTimer::singleShot(0, [&] { qtEvent = true; });
    ASSERT_TRUE(loop.runUntil([&] { return qtEvent; }, 5));
    EXPECT_LT(chain, 1000);
    ASSERT_TRUE(loop.runUntil([&] { return chain == 1000; }, 5));
}

// A manual clock stands in for the steady one while it lives, moves only forward and only
// when advanced, and switching clocks keeps what remains of every task's delay.
TEST(RunLoopTest, AManualClockReplacesTheSteadyOneForItsLifetime)
{
    auto& loop = RunLoop::main();
    bool ran = false;
    bool zero = false;
    const auto id = loop.schedule(60, [&] { ran = true; });
    {
        core::ManualClock clock(1000);
        EXPECT_NEAR(loop.dueTime(id), 1060, 0.5);
        loop.schedule(0, [&] { zero = true; });
        loop.processPending();
        EXPECT_FALSE(zero) << "nothing timed runs until the clock is advanced";
        clock.advance(-1);
        EXPECT_DOUBLE_EQ(Clock::now(), 1000);
        EXPECT_TRUE(zero);
        clock.advance(59);
        EXPECT_FALSE(ran);
    }
    EXPECT_FALSE(Clock::isManual());
    EXPECT_NEAR(loop.dueTime(id) - Clock::now(), 1, 0.5);
    loop.cancel(id);
}
