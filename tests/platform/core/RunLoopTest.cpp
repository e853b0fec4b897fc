#include "platform/core/RunLoop.h"

#include "platform/core/Clock.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using core::Clock;
using core::RunLoop;

TEST(RunLoopTest, PostedWorkRunsOnTheNextTurnInFifoOrder)
{
    auto& loop = RunLoop::main();
    std::vector<int> ran;
    loop.post([&] {
        ran.push_back(1);
        loop.post([&] { ran.push_back(3); });   // next turn, after what is already queued
    });
    loop.post([&] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty()) << "post never runs inside the call";
    loop.processPending();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    loop.processPending();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(RunLoopTest, ScheduledTasksWakeTheQtEventLoopInDueOrder)
{
    auto& loop = RunLoop::main();
    std::vector<int> ran;
    const double start = Clock::now();
    loop.schedule(0.06, [&] { ran.push_back(2); });
    loop.schedule(0.02, [&] { ran.push_back(1); });
    const auto cancelled = loop.schedule(0.04, [&] { ran.push_back(99); });
    loop.cancel(cancelled);
    loop.cancel(cancelled);   // twice is harmless
    ASSERT_TRUE(loop.runUntil([&] { return ran.size() == 2; }, 5));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_GE(Clock::now() - start, 0.06);
}

TEST(RunLoopTest, RunAndQuitDriveQtsEventLoop)
{
    auto& loop = RunLoop::main();
    loop.schedule(0.01, [&] { loop.quit(7); });
    EXPECT_EQ(loop.run(), 7);
}

TEST(RunLoopTest, ZeroDelayChainsYieldToOtherWorkEachTurn)
{
    auto& loop = RunLoop::main();
    int chain = 0;
    std::function<void()> step = [&] {
        if (++chain < 1000)
            loop.schedule(0, step);
    };
    loop.schedule(0, step);
    bool qtEvent = false;
    QTimer::singleShot(0, [&] { qtEvent = true; });
    ASSERT_TRUE(loop.runUntil([&] { return qtEvent; }, 5));
    EXPECT_LT(chain, 1000) << "a self-rescheduling task must not starve Qt's events";
    ASSERT_TRUE(loop.runUntil([&] { return chain == 1000; }, 5));
}

TEST(RunLoopTest, RunUntilGivesUpAfterItsRealTimeLimit)
{
    const double start = Clock::steadyNow();
    EXPECT_FALSE(RunLoop::main().runUntil([] { return false; }, 0.05));
    EXPECT_GE(Clock::steadyNow() - start, 0.05);
}
