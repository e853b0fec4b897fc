#include "platform/core/Timer.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"

#include <gtest/gtest.h>

#include <vector>

using core::Clock;
using core::ManualClock;
using core::RunLoop;
using core::Timer;

namespace {
class TimerTest : public ::testing::Test {
protected:
    void TearDown() override { RunLoop::main().reset(); }
    ManualClock clock;
};
} // namespace

TEST_F(TimerTest, OneShotFiresOnceAtItsIntervalAndIsKeptAliveByTheRunLoop)
{
    std::vector<double> fired;
    std::weak_ptr<Timer> weak;
    {
        auto timer = Timer::scheduledTimer(0.5, false, [&](Timer&) { fired.push_back(Clock::now()); });
        weak = timer;
        EXPECT_TRUE(timer->isValid());
        EXPECT_DOUBLE_EQ(timer->fireDate(), 0.5);
    }
    ASSERT_FALSE(weak.expired()) << "a scheduled timer lives while valid, like NSTimer on its run loop";
    clock.advance(0.49);
    EXPECT_TRUE(fired.empty());
    clock.advance(1);
    EXPECT_EQ(fired, std::vector<double>{0.5});
    EXPECT_TRUE(weak.expired()) << "an ended one-shot timer is released";
}

TEST_F(TimerTest, RepeatingTimerFiresOnItsGridUntilInvalidatedFromItsCallback)
{
    std::vector<double> fired;
    auto timer = Timer::scheduledTimer(0.3, true, [&](Timer& t) {
        fired.push_back(Clock::now());
        if (fired.size() == 4)
            t.invalidate();
    });
    clock.advance(0.9);   // the third fire is due at 3 * 0.3, which must not round past 0.9
    ASSERT_EQ(fired.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(fired[i], 0.3 * (i + 1), 1e-12);
    clock.advance(0.1);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_TRUE(timer->isValid());
    clock.advance(10);
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_NEAR(fired[3], 1.2, 1e-9);
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(RunLoop::main().scheduledCount(), 0u);
}

TEST_F(TimerTest, FireRunsNowAndInvalidateStopsPendingFires)
{
    int oneShot = 0;
    int repeating = 0;
    auto a = Timer::scheduledTimer(1, false, [&](Timer&) { ++oneShot; });
    auto b = Timer::scheduledTimer(1, true, [&](Timer&) { ++repeating; });
    a->fire();
    b->fire();
    EXPECT_EQ(oneShot, 1);
    EXPECT_EQ(repeating, 1);
    EXPECT_FALSE(a->isValid()) << "firing a one-shot timer by hand ends it";
    EXPECT_TRUE(b->isValid()) << "a repeating timer keeps its schedule";
    clock.advance(1);
    EXPECT_EQ(oneShot, 1);
    EXPECT_EQ(repeating, 2);
    b->invalidate();
    b->fire();
    clock.advance(5);
    EXPECT_EQ(repeating, 2);
}

TEST_F(TimerTest, TimerTiedToADestroyedOwnerNeverFires)
{
    struct Owner {
        int fired = 0;
    };
    auto owner = std::make_shared<Owner>();
    int fired = 0;
    auto timer = Timer::scheduledTimer(0.2, true, owner, [&](Timer&) { ++fired; });
    clock.advance(0.2);
    EXPECT_EQ(fired, 1);
    owner.reset();
    clock.advance(1);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(TimerTest, ZeroIntervalRepeatingTimerCannotLockUpAdvance)
{
    int fired = 0;
    auto timer = Timer::scheduledTimer(0, true, [&](Timer&) { ++fired; });
    clock.advance(0.00105);
    EXPECT_EQ(fired, 10);   // NSTimer's 0.1 ms floor
    timer->invalidate();
}

TEST(TimerRealClockTest, FiresFromTheQtEventLoop)
{
    bool fired = false;
    const double start = Clock::now();
    double at = 0;
    Timer::scheduledTimer(0.05, false, [&](Timer&) {
        fired = true;
        at = Clock::now();
    });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return fired; }, 5));
    EXPECT_GE(at - start, 0.05);
}
