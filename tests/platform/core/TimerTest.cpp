#include "platform/core/Timer.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"

#include <gtest/gtest.h>

#include <vector>

using core::Clock;
using core::Timer;

// The run loop keeps a valid timer alive; a one-shot one ends after its fire, whether due or
// by hand, while a repeating one fired by hand keeps its schedule.
TEST(TimerTest, OneShotFiresOnceAtItsIntervalAndThenEnds)
{
    core::ManualClock clock;
    std::vector<double> fired;
    std::weak_ptr<Timer> weak = Timer::scheduledTimer(0.5, false, [&](Timer&) { fired.push_back(Clock::now()); });
    ASSERT_FALSE(weak.expired());
    clock.advance(0.499);
    EXPECT_TRUE(fired.empty());
    clock.advance(1);
    EXPECT_EQ(fired, std::vector<double>{0.5});
    EXPECT_TRUE(weak.expired());

    const double now = Clock::now();
    auto byHand = Timer::scheduledTimer(1, false, [&](Timer&) { fired.push_back(-1); });
    auto repeating = Timer::scheduledTimer(1, true, [&](Timer&) { fired.push_back(Clock::now()); });
    byHand->fire();
    repeating->fire();
    EXPECT_FALSE(byHand->isValid());
    clock.advance(1);
    repeating->invalidate();
    repeating->fire();
    clock.advance(5);
    EXPECT_EQ(fired, (std::vector<double>{0.5, -1, now, now + 1}));
}

// Fires stay on the grid start + k * interval, stop once invalidated from the callback, and
// stop once the owner is gone; a zero interval repeats every tenth of a millisecond.
TEST(TimerTest, RepeatingTimerFiresOnItsGridUntilInvalidatedOrOrphaned)
{
    core::ManualClock clock;
    std::vector<double> fired;
    auto timer = Timer::scheduledTimer(0.3, true, [&](Timer& t) {
        fired.push_back(Clock::now());
        if (fired.size() == 4)
            t.invalidate();
    });
    clock.advance(0.9);   // the third fire is due at 3 * 0.3, which must not round past 0.9
    EXPECT_EQ(fired.size(), 3u);
    clock.advance(10);
    EXPECT_EQ(fired, (std::vector<double>{0.3, 0.6, 0.3 * 3, 0.3 * 4}));
    EXPECT_EQ(core::RunLoop::main().scheduledCount(), 0u);

    auto owner = std::make_shared<int>(0);
    int ownedFires = 0;
    auto tied = Timer::scheduledTimer(0.2, true, owner, [&](Timer&) { ++ownedFires; });
    clock.advance(0.2);
    owner.reset();
    clock.advance(1);
    EXPECT_EQ(ownedFires, 1);
    EXPECT_FALSE(tied->isValid());

    int zero = 0;
    auto fast = Timer::scheduledTimer(0, true, [&](Timer&) { ++zero; });
    clock.advance(0.00105);
    EXPECT_EQ(zero, 10);
    fast->invalidate();
}
