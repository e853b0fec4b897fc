#include "platform/core/Clock.h"

#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"

#include <gtest/gtest.h>

#include <vector>

using core::Clock;
using core::ManualClock;
using core::RunLoop;

TEST(ClockTest, SteadyClockMovesForwardAndManualClockReplacesIt)
{
    const double a = Clock::now();
    const double b = Clock::now();
    EXPECT_LE(a, b);
    EXPECT_FALSE(Clock::isManual());
    {
        ManualClock clock(100);
        EXPECT_TRUE(Clock::isManual());
        EXPECT_DOUBLE_EQ(Clock::now(), 100);
        clock.advance(2.5);
        EXPECT_DOUBLE_EQ(Clock::now(), 102.5);
        clock.advance(-1);   // time never runs backwards
        EXPECT_DOUBLE_EQ(Clock::now(), 102.5);
    }
    EXPECT_FALSE(Clock::isManual());
    EXPECT_GE(Clock::now(), b);
}

TEST(ClockTest, AdvanceRunsTasksInTimeOrderAtTheirDueTimes)
{
    ManualClock clock;
    std::vector<std::pair<int, double>> ran;
    auto& loop = RunLoop::main();
    loop.schedule(0.3, [&] { ran.push_back({3, Clock::now()}); });
    loop.schedule(0.1, [&] { ran.push_back({1, Clock::now()}); });
    loop.schedule(0.2, [&] { ran.push_back({2, Clock::now()}); });
    loop.schedule(0.2, [&] { ran.push_back({22, Clock::now()}); });   // ties keep scheduling order
    loop.schedule(5.0, [&] { ran.push_back({5, Clock::now()}); });

    clock.advance(0.25);
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], std::make_pair(1, 0.1));
    EXPECT_EQ(ran[1], std::make_pair(2, 0.2));
    EXPECT_EQ(ran[2], std::make_pair(22, 0.2));
    EXPECT_DOUBLE_EQ(clock.now(), 0.25);

    clock.advance(0.05);   // exactly reaching a due time runs the task
    ASSERT_EQ(ran.size(), 4u);
    EXPECT_EQ(ran[3].first, 3);
    loop.reset();
}

TEST(ClockTest, WorkScheduledAndPostedByWorkRunsWithinTheSameAdvance)
{
    ManualClock clock;
    auto& loop = RunLoop::main();
    std::vector<std::pair<std::string, double>> ran;
    loop.schedule(1.0, [&] {
        ran.push_back({"a", Clock::now()});
        loop.post([&] { ran.push_back({"a-posted", Clock::now()}); });
        loop.schedule(0.5, [&] {
            ran.push_back({"b", Clock::now()});
            loop.schedule(0, [&] { ran.push_back({"c", Clock::now()}); });
            loop.schedule(10, [&] { ran.push_back({"late", Clock::now()}); });
        });
    });
    loop.schedule(1.2, [&] { ran.push_back({"d", Clock::now()}); });

    clock.advance(2);
    const std::vector<std::pair<std::string, double>> expected{
        {"a", 1.0}, {"a-posted", 1.0}, {"d", 1.2}, {"b", 1.5}, {"c", 1.5}};
    EXPECT_EQ(ran, expected);
    EXPECT_DOUBLE_EQ(clock.now(), 2);
    EXPECT_EQ(loop.scheduledCount(), 1u);
    loop.reset();
}

TEST(ClockTest, NothingTimedFiresUnderAManualClockUntilAdvanced)
{
    ManualClock clock;
    bool ran = false;
    bool posted = false;
    RunLoop::main().schedule(0, [&] { ran = true; });
    RunLoop::main().post([&] { posted = true; });
    RunLoop::main().processPending();
    EXPECT_TRUE(posted);    // posted work is not time-based
    EXPECT_FALSE(ran);
    clock.advance(0);
    EXPECT_TRUE(ran);
}

TEST(ClockTest, SwitchingClocksKeepsEachTasksRemainingDelay)
{
    auto& loop = RunLoop::main();
    bool ran = false;
    const auto id = loop.schedule(60, [&] { ran = true; });
    {
        ManualClock clock(1000);
        EXPECT_NEAR(loop.dueTime(id), 1060, 0.5);
        clock.advance(59);
        EXPECT_FALSE(ran);
    }
    // Back on the steady clock, about one second remains.
    EXPECT_NEAR(loop.dueTime(id) - Clock::now(), 1, 0.5);
    loop.cancel(id);
    EXPECT_FALSE(loop.isScheduled(id));
}
