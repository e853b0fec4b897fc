#include "platform/core/Dispatch.h"

#include "platform/core/ManualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// after() runs at its delay unless its owner has died or cancelled it; cancelAll touches only
// that owner's work, and an owner lives through its own call.
TEST(DispatchTest, AfterRunsAtItsDelayForALiveOwnerUntilCancelled)
{
    core::ManualClock clock;
    std::vector<std::string> ran;
    auto a = std::make_shared<int>(1);
    auto b = std::make_shared<int>(2);
    core::after(1, a, [&] { ran.push_back("a1"); });
    core::after(2, a, [&] { ran.push_back("a2"); });
    core::after(1.5, b, [&] { ran.push_back("b"); });
    clock.advance(0.999);
    EXPECT_TRUE(ran.empty());
    clock.advance(0.001);
    EXPECT_EQ(ran, std::vector<std::string>{"a1"});
    core::cancelAll(a.get());
    EXPECT_EQ(core::pendingCount(a.get()), 0u);
    core::cancel(core::afterDelay(0.25, [&] { ran.push_back("block"); }));   // no owner: by its id
    std::weak_ptr<int> weak = b;
    b.reset();
    EXPECT_TRUE(weak.expired()) << "after() must not keep its owner alive";
    clock.advance(5);
    EXPECT_EQ(ran, std::vector<std::string>{"a1"});

    bool aliveInside = false;
    weak = a;
    core::after(0, a, [&] {
        a.reset();   // the last outside reference goes away inside the call
        aliveInside = !weak.expired();
    });
    clock.advance(0);
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(weak.expired());
}

// An owner's pending count falls as its tasks run, whether the owner was there to run them
// or had died, and counts what a task schedules for later.
TEST(DispatchTest, PendingCountFallsAsTheOwnersTasksRun)
{
    core::ManualClock clock;
    auto owner = std::make_shared<int>(1);
    auto doomed = std::make_shared<int>(2);
    const void* doomedKey = doomed.get();
    int runs = 0;
    core::after(1, owner, [&] {
        ++runs;
        core::after(1, owner, [&] { ++runs; });
    });
    core::after(2, owner, [&] { ++runs; });
    core::after(1, doomed, [&] { ++runs; });
    EXPECT_EQ(core::pendingCount(owner.get()), 2u);
    EXPECT_EQ(core::pendingCount(doomedKey), 1u);

    doomed.reset();
    clock.advance(1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(core::pendingCount(owner.get()), 2u);   // the one at 2 and the one just scheduled
    EXPECT_EQ(core::pendingCount(doomedKey), 0u);
    clock.advance(1);
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(core::pendingCount(owner.get()), 0u);
}
